// The librarian's MIDI set-up dialog through the application: one device ID for every port.
#include "librarian/app/LibrarianCommands.h"
#include "librarian/app/LibrarianDialogs.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "platform/Controls.h"
#include "platform/Profile.h"
#include "platform/UiDriver.h"
#include "tests/librarian/app/LibrarianAppFixture.h"
#include "tests/librarian/gp/GpTestSupport.h"

using namespace LibrarianCommands;

namespace
{
class LibrarianMidiSetupTest : public CLibrarianAppTest
{
protected:
    static CDialog* OpenSetupDialog()
    {
        for (CWnd* window : CWnd::GetTopLevelWindows())
            if (auto* dialog = dynamic_cast<CDialog*>(window))
                if (dialog->GetTemplateId() == LibrarianIds::kMidiSetupDialog && dialog->IsWindowVisible())
                    return dialog;
        return nullptr;
    }
    // The device IDs of the two inputs and the two outputs.
    static std::vector<int> PortIds()
    {
        std::vector<int> ids;
        for (size_t k = 0; k < CVeyMidiInputs::GetInstance().size(); ++k)
            ids.push_back(CVeyMidiInputs::GetInstance()[k].GetDeviceId());
        for (size_t k = 0; k < CVeyMidiOutputs::GetInstance().size(); ++k)
            ids.push_back(CVeyMidiOutputs::GetInstance()[k].GetDeviceId());
        return ids;
    }
    static std::vector<int> StoredIds()
    {
        std::vector<int> ids;
        for (const char* entry : {"MIDIInVantorMessageDeviceId0", "MIDIInVantorMessageDeviceId1",
                                  "MIDIOutVantorMessageDeviceId0", "MIDIOutVantorMessageDeviceId1"})
            ids.push_back(GetProfileInt("MIDIConnection", entry, -1));
        return ids;
    }
};

TEST_F(LibrarianMidiSetupTest, OneDeviceIdBoxGivesEveryPortTheSameId)
{
    ASSERT_TRUE(Start());
    std::string shownBefore;
    bool ownBoxes = true;
    GpTest::CPostedActions actions;
    actions.Post([&] {
        CDialog* dialog = OpenSetupDialog();
        ASSERT_NE(nullptr, dialog);
        shownBefore = dialog->GetDlgItemText(LibrarianIds::kMidiDeviceId);
        // The rows of the earlier layout had a box each.
        ownBoxes = false;
        for (UINT id : {4102u, 4113u, 4105u, 4114u})
            ownBoxes = ownBoxes || dialog->GetDlgItem(id) != nullptr;
        EXPECT_TRUE(UiDriver::ClickComboDropDown(*dialog->GetDlgItem(LibrarianIds::kMidiDeviceId), 3));
        static_cast<CButton*>(dialog->GetDlgItem(IDOK))->Click();
    });
    actions.PostEndEverything();
    m_app->OnAppCommand(kSetUpMidi);
    EXPECT_EQ("17", shownBefore);
    EXPECT_FALSE(ownBoxes);
    EXPECT_EQ((std::vector<int>{0x13, 0x13, 0x13, 0x13}), PortIds()) << "\"20\" is device ID 13h";
    EXPECT_EQ((std::vector<int>{0x13, 0x13, 0x13, 0x13}), StoredIds());
}

// Settings from a version with a device ID per port: every port takes the first output's, which
// the dialog then shows, so OK without a change keeps the instrument's ID.
TEST_F(LibrarianMidiSetupTest, PerPortIdsOfEarlierSettingsBecomeTheInstrumentsOne)
{
    WriteProfileInt("MIDIConnection", "MIDIInVantorMessageDeviceId0", 0x11);
    WriteProfileInt("MIDIConnection", "MIDIOutVantorMessageDeviceId0", 0x11);
    WriteProfileInt("MIDIConnection", "MIDIInVantorMessageDeviceId1", 0x10);
    WriteProfileInt("MIDIConnection", "MIDIOutVantorMessageDeviceId1", 0x1F);
    ASSERT_TRUE(Start());
    EXPECT_EQ((std::vector<int>{0x11, 0x11, 0x11, 0x11}), PortIds());

    std::string shown;
    GpTest::CPostedActions actions;
    actions.Post([&] {
        CDialog* dialog = OpenSetupDialog();
        ASSERT_NE(nullptr, dialog);
        shown = dialog->GetDlgItemText(LibrarianIds::kMidiDeviceId);
        static_cast<CButton*>(dialog->GetDlgItem(IDOK))->Click();
    });
    actions.PostEndEverything();
    m_app->OnAppCommand(kSetUpMidi);
    EXPECT_EQ("18", shown);
    EXPECT_EQ((std::vector<int>{0x11, 0x11, 0x11, 0x11}), StoredIds());
}
}
