// The MIDI setup dialog over the editor's layout, the virtual backend and a temporary settings
// file: what it shows, what OK and Cancel leave in the ports and the settings.
#include "editor/CEditorMidiSetup.h"
#include "midi/devices/CNormalMidiDeviceFactory.h"
#include "midi/framework/CMidiSetupDialog.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiSetup.h"
#include "platform/Controls.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/UiDriver.h"
#include "platform/VirtualMidiBackend.h"
#include "tests/midi/framework/PortFixture.h"
#include "tests/support/PostedActions.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace
{
using namespace EditorMidiSetup;

class MidiSetupDialog : public CPortTest
{
protected:
    void SetUp() override
    {
        SetProfileFolder(m_folder.Path());
        SetVeyMidiDeviceFactory(&CNormalMidiDeviceFactory::GetInstance());
        for (const char* name : {"Talvarix", "Thru Box"})
        {
            m_backend.AddInput(name);
            m_backend.AddOutput(name, nullptr);
        }
        ASSERT_TRUE(Create());   // input "in"; outputs "out" and "thru"
        m_setup.AttachInput(CVeyMidiInputs::GetInstance()[0], "Talvarix");
        m_setup.AttachOutput(CVeyMidiOutputs::GetInstance()[0], "Talvarix");
        m_setup.AttachOutput(CVeyMidiOutputs::GetInstance()[1], "Gone Box");
    }

    void TearDown() override
    {
        m_setup.CloseAllDevices();
        while (PumpAllMessages())
        {
        }
        CPortTest::TearDown();
        SetVeyMidiDeviceFactory(nullptr);
        SetProfileFolder("");
    }

    // Shows the dialog; `look` runs inside it, then `finish` ends it (OK or Cancel by a click).
    intptr_t Run(std::function<void(CMidiSetupDialog&)> look, UINT finishWith,
                 const CMidiSetupDialogSettings& settings = Layout())
    {
        CMidiSetupDialog dialog(settings);
        m_actions.Post([&] { look(dialog); });
        m_actions.Post([&] { UiDriver::Click(*dialog.GetDlgItem(finishWith), POINT{5, 5}); });
        m_actions.Post([] { CModalLoop::EndAll(IDCANCEL); });
        return dialog.DoModal();
    }

    static std::string Stored(const std::string& entry) { return GetProfileString("MIDIConnection", entry, "<absent>"); }

    static std::vector<std::string> Entries(CWnd& dialog, UINT id)
    {
        auto* combo = static_cast<CComboBox*>(dialog.GetDlgItem(id));
        std::vector<std::string> entries;
        for (int i = 0; i < combo->GetCount(); ++i)
            entries.push_back(combo->GetLBText(i));
        return entries;
    }

    CTempDir m_folder;
    CVirtualMidiBackend m_backend;
    CScopedMidiBackend m_scoped{&m_backend};
    CVeyMidiSetup& m_setup = CVeyMidiSetup::GetInstance();
    CPostedActions m_actions;
};
}

TEST_F(MidiSetupDialog, ShowsThePortsDevicesAndTheSharedDeviceId)
{
    CVeyMidiOutputs::GetInstance()[1].SetDeviceId(0x13);
    const intptr_t result = Run(
        [&](CMidiSetupDialog& d) {
            EXPECT_EQ(d.GetDlgItemText(kGroup), "Talvarix");
            EXPECT_EQ(d.GetDlgItemText(kInput), "Talvarix");
            EXPECT_EQ(Entries(d, kInput), (std::vector<std::string>{"Talvarix", "Thru Box", "(none)"}));
            EXPECT_EQ(d.GetDlgItemText(kThruOutput), "Gone Box (Unconnected)");
            EXPECT_EQ(Entries(d, kThruOutput),
                      (std::vector<std::string>{"Talvarix", "Thru Box", "(none)", "Gone Box (Unconnected)"}));
            EXPECT_FALSE(d.GetDlgItem(kThruInput)->IsWindowEnabled()) << "a row beyond the script's inputs";
            EXPECT_FALSE(d.GetDlgItem(kLocalOn)->IsWindowVisible());
            EXPECT_EQ(Entries(d, kDeviceId).front(), "17");
            EXPECT_EQ(Entries(d, kDeviceId).back(), "32");
            EXPECT_EQ(d.GetDlgItemText(kDeviceId), "20") << "the shared box shows the last row's ID";
            EXPECT_FALSE(d.GetDlgItem(kDeviceId)->IsWindowEnabled()) << "a disabled row disables the shared box too";
            mkdir("screenshots", 0755);
            EXPECT_TRUE(UiDriver::SaveWindowPicture(d, "screenshots/midi-setup-dialog.png"));
        },
        IDCANCEL);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(Stored("MIDIOutDevice0"), "<absent>") << "Cancel stores nothing";
}

TEST_F(MidiSetupDialog, OkAppliesTheChoicesAndSavesThem)
{
    // Without the Through input row nothing disables the shared ID box; the user can pick an ID.
    CMidiSetupDialogSettings settings = Layout();
    settings.inputRows.resize(1);
    const intptr_t result = Run(
        [&](CMidiSetupDialog& d) {
            // "(none)" for the instrument's output; Thru Box for the Through output; ID "18".
            EXPECT_TRUE(UiDriver::ClickComboDropDown(*d.GetDlgItem(kOutput), 2));
            EXPECT_TRUE(UiDriver::ClickComboDropDown(*d.GetDlgItem(kThruOutput), 1));
            // The editor hides the ID box; a layout that shows it lets the user pick.
            d.GetDlgItem(kDeviceId)->ShowWindow(SW_SHOW);
            EXPECT_TRUE(UiDriver::ClickComboDropDown(*d.GetDlgItem(kDeviceId), 1));
        },
        IDOK, settings);
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(m_setup.IsConnected()) << "the instrument's output has no device now";
    EXPECT_EQ(CVeyMidiSetup::GetSettingName(CVeyMidiOutputs::GetInstance()[1]), "Thru Box");
    EXPECT_EQ(CVeyMidiInputs::GetInstance()[0].GetDeviceId(), 0x11) << "\"18\" is device ID 11h";
    EXPECT_EQ(CVeyMidiOutputs::GetInstance()[1].GetDeviceId(), 0x11) << "every port takes the shared box's value";

    // What was saved comes back from the settings.
    EXPECT_EQ(Stored("MIDIOutDevice0"), "(none)");
    EXPECT_EQ(Stored("MIDIOutDevice1"), "Thru Box");
    EXPECT_EQ(Stored("MIDIInDevice0"), "Talvarix");
    EXPECT_EQ(Stored("MIDIInVantorMessageDeviceId0"), "17");
    m_setup.CloseAllDevices();
    CVeyMidiOutputs::GetInstance()[1].SetDeviceId(0x10);
    m_setup.Load();
    EXPECT_EQ(CVeyMidiSetup::GetSettingName(CVeyMidiOutputs::GetInstance()[1]), "Thru Box");
    EXPECT_EQ(CVeyMidiOutputs::GetInstance()[1].GetDeviceId(), 0x11);
}

TEST_F(MidiSetupDialog, DeviceIdsOutsideDataBytesAreNeverOfferedOrTaken)
{
    CMidiSetupDialogSettings::CPortRow wide{kInput, kDeviceId, 120, 300};
    const std::vector<std::string> offered = CMidiSetupDialog::DeviceIdChoices(wide);
    ASSERT_FALSE(offered.empty());
    EXPECT_EQ(offered.front(), "121");
    EXPECT_EQ(offered.back(), "128") << "ID 7Fh is the last a data byte carries";

    // A port whose ID lies outside the row's range shows no ID; OK then leaves the ID alone.
    CVeyMidiInputs::GetInstance()[0].SetDeviceId(0x05);
    for (size_t k = 0; k < CVeyMidiOutputs::GetInstance().size(); ++k)
        CVeyMidiOutputs::GetInstance()[k].SetDeviceId(0x05);
    Run([&](CMidiSetupDialog& d) { EXPECT_EQ(d.GetDlgItemText(kDeviceId), ""); }, IDOK);
    EXPECT_EQ(CVeyMidiInputs::GetInstance()[0].GetDeviceId(), 0x05) << "not FFh from an empty box";
    EXPECT_EQ(CVeyMidiOutputs::GetInstance()[0].GetDeviceId(), 0x05);
}
