// The MIDI setup kept in the settings: which device serves which port, the ports' device IDs,
// opening, and the choices a dialog row offers. Over a temporary settings file and the virtual
// backend.
#include "midi/devices/CNormalMidiDeviceFactory.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiSetup.h"
#include "midi/framework/CVeyMidiSetupState.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/VirtualMidiBackend.h"
#include "tests/midi/framework/PortFixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace
{
CVeyElementDefinition Port(const std::string& name)
{
    CVeyElementDefinition element;
    element.Add("name", name);
    element.Add("modelID", "00 00 3C");
    return element;
}

class MidiSetup : public CPortTest
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
    }

    void TearDown() override
    {
        CVeyMidiSetup::GetInstance().CloseAllDevices();
        while (PumpAllMessages())
        {
        }
        CPortTest::TearDown();
        SetVeyMidiDeviceFactory(nullptr);
        SetProfileFolder("");
    }

    // The librarian's ports: two inputs and two outputs, all named "Talvarix".
    bool CreateTwins()
    {
        CFixtureScript script;
        script.inputs = {Port("Talvarix"), Port("Talvarix")};
        script.outputs = {Port("Talvarix"), Port("Talvarix")};
        return Create(script);
    }

    static std::string Stored(const std::string& entry)
    {
        return GetProfileString("MIDIConnection", entry, "<absent>");
    }

    CTempDir m_folder;
    CVirtualMidiBackend m_backend;
    CScopedMidiBackend m_scoped{&m_backend};
    CVeyMidiSetup& m_setup = CVeyMidiSetup::GetInstance();
};

TEST_F(MidiSetup, WithoutSettingsNoDeviceIsAttached)
{
    ASSERT_TRUE(Create());
    m_setup.Load();
    EXPECT_FALSE(m_setup.IsConnected());
    EXPECT_TRUE(CVeyMidiInDevices::GetInstance().empty());
    EXPECT_EQ(CVeyMidiInputs::GetInstance()[0].GetDeviceId(), 0x10);
    EXPECT_EQ(CVeyMidiSetup::GetShownName(CVeyMidiOutputs::GetInstance()[0]), "(none)");
}

TEST_F(MidiSetup, SavedChoicesComeBackOpened)
{
    ASSERT_TRUE(Create());
    CVeyMidiIn& in = *CVeyMidiInputs::GetInstance().Find("in");
    CVeyMidiOut& out = *CVeyMidiOutputs::GetInstance().Find("out");
    m_setup.AttachInput(in, "Talvarix");
    m_setup.AttachOutput(out, "Talvarix (Unconnected)");
    out.SetDeviceId(0x11);
    m_setup.Save();
    EXPECT_EQ(Stored("MIDIIn0"), "in");
    EXPECT_EQ(Stored("MIDIInDevice0"), "Talvarix");
    EXPECT_EQ(Stored("MIDIInVantorMessageDeviceId0"), "16");
    EXPECT_EQ(Stored("MIDIOut0"), "out");
    EXPECT_EQ(Stored("MIDIOutDevice0"), "Talvarix") << "stored without the suffix";
    EXPECT_EQ(Stored("MIDIOutVantorMessageDeviceId0"), "17");
    EXPECT_EQ(Stored("MIDIOutDevice1"), "(none)");

    m_setup.CloseAllDevices();
    out.SetDeviceId(0x10);
    EXPECT_FALSE(m_setup.IsConnected());
    m_setup.Load();
    EXPECT_TRUE(m_setup.IsConnected());
    EXPECT_TRUE(CVeyMidiSetupState::GetInstance().GetState()) << "both devices opened";
    EXPECT_EQ(out.GetDeviceId(), 0x11);
    EXPECT_EQ(CVeyMidiSetup::GetShownName(out), "Talvarix");
}

TEST_F(MidiSetup, StoredRowsApplyOnlyToPortsOfTheirName)
{
    ASSERT_TRUE(Create());
    // Index 0 names a port the script no longer has; "out" sits at index 0 now.
    WriteProfileString("MIDIConnection", "MIDIOut0", "old port");
    WriteProfileString("MIDIConnection", "MIDIOutDevice0", "Talvarix");
    WriteProfileString("MIDIConnection", "MIDIOut1", "out");
    WriteProfileString("MIDIConnection", "MIDIOutDevice1", "Thru Box");
    m_setup.Load();
    CVeyMidiOut& out = *CVeyMidiOutputs::GetInstance().Find("out");
    EXPECT_EQ(CVeyMidiSetup::GetSettingName(out), "Thru Box");
    EXPECT_EQ(CVeyMidiOutDevices::GetInstance().size(), 1u);
}

TEST_F(MidiSetup, OnlyDataBytesAreTakenAsDeviceIds)
{
    ASSERT_TRUE(Create());
    const struct
    {
        const char* stored;
        uint8_t expected;
    } cases[] = {
        {"16", 0x10}, {"0", 0x00}, {"127", 0x7F},
        {"128", 0x10}, {"200", 0x10}, {"255", 0x10}, {"-1", 0x10}, {"65552", 0x10},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.stored);
        CVeyMidiInputs::GetInstance()[0].SetDeviceId(0x10);
        WriteProfileString("MIDIConnection", "MIDIIn0", "in");
        WriteProfileString("MIDIConnection", "MIDIInVantorMessageDeviceId0", c.stored);
        m_setup.Load();
        EXPECT_EQ(CVeyMidiInputs::GetInstance()[0].GetDeviceId(), c.expected);
    }
}

TEST_F(MidiSetup, PortsOfOneNameKeepTheirOwnRows)
{
    ASSERT_TRUE(CreateTwins());
    CVeyMidiInputs& inputs = CVeyMidiInputs::GetInstance();
    CVeyMidiOutputs& outputs = CVeyMidiOutputs::GetInstance();
    m_setup.AttachInput(inputs[0], "Talvarix");
    m_setup.AttachInput(inputs[1], "Thru Box");
    m_setup.AttachOutput(outputs[0], "Talvarix");
    m_setup.AttachOutput(outputs[1], "Thru Box");
    inputs[1].SetDeviceId(0x1F);
    m_setup.Save();
    m_setup.CloseAllDevices();
    inputs[1].SetDeviceId(0x10);

    m_setup.Load();
    EXPECT_EQ(CVeyMidiSetup::GetSettingName(inputs[0]), "Talvarix");
    EXPECT_EQ(CVeyMidiSetup::GetSettingName(inputs[1]), "Thru Box");
    EXPECT_EQ(CVeyMidiSetup::GetSettingName(outputs[0]), "Talvarix");
    EXPECT_EQ(CVeyMidiSetup::GetSettingName(outputs[1]), "Thru Box");
    EXPECT_EQ(outputs[0].GetDevices().size(), 1u) << "the instrument's output does not also feed the Thru box";
    EXPECT_EQ(inputs[0].GetDeviceId(), 0x10);
    EXPECT_EQ(inputs[1].GetDeviceId(), 0x1F);
    m_setup.Save();
    EXPECT_EQ(Stored("MIDIOutDevice1"), "Thru Box") << "the second row's choice survives another save";
}

TEST_F(MidiSetup, ChoicesListPresentDevicesNoneAndAnAbsentChoice)
{
    ASSERT_TRUE(Create());
    CVeyMidiOut& out = *CVeyMidiOutputs::GetInstance().Find("out");
    m_setup.AttachOutput(out, "Gone");
    m_setup.OpenAllDevices();
    EXPECT_EQ(m_setup.GetOutputChoices(out),
              (std::vector<std::string>{"Talvarix", "Thru Box", "(none)", "Gone (Unconnected)"}));
    m_setup.CloseAllDevices();
    m_setup.AttachOutput(out, "Talvarix");
    EXPECT_EQ(m_setup.GetOutputChoices(out), (std::vector<std::string>{"Talvarix", "Thru Box", "(none)", "Talvarix (Unconnected)"}))
        << "a device not opened yet shows as unconnected";
}

TEST_F(MidiSetup, ShownDeviceIdsAreOneBasedAndChecked)
{
    const struct
    {
        const char* text;
        bool accepted;
        uint8_t id;
    } cases[] = {
        {"17", true, 0x10}, {"32", true, 0x1F}, {"16", false, 0}, {"33", false, 0},
        {"", false, 0}, {"0", false, 0}, {"17x", false, 0}, {"abc", false, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        uint8_t id = 0x55;
        EXPECT_EQ(CVeyMidiSetup::ParseShownDeviceId(c.text, 16, 31, id), c.accepted);
        EXPECT_EQ(id, c.accepted ? c.id : 0x55);
    }
    uint8_t id = 0x55;
    EXPECT_FALSE(CVeyMidiSetup::ParseShownDeviceId("200", 0, 255, id)) << "never beyond a data byte";
}
}
