// The application object on the bundled script with the simulated Talvarix behind the devices the
// settings name: start-up reads the instrument, or writes the document given on the command line
// to it.
#include "editor/CApp.h"
#include "editor/instrument/CBufferAccessor.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"
#include "model/CVeyValue.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/Shell.h"
#include "platform/VirtualMidiBackend.h"
#include "tests/editor/resources/BundledScript.h"
#include "tests/support/SimulatedTalvarix.h"
#include "tests/support/TempDir.h"
#include "tests/support/VirtualClock.h"
#include "toolkit/gt/InstanceManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<BYTE>;
}

class EditorAppInstrumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_backend.SetScheduler([this](DWORD delay, std::function<void()> action) { m_clock.After(delay, std::move(action)); });
        m_instrument.AttachTo(m_backend, "Talvarix", &m_clock);
        m_backend.SetDoneAtWireRate("Talvarix", true);
        SetProgramFolder(std::filesystem::path(CBundledScript::Folder()).parent_path().parent_path().parent_path().string());
        SetProfileFolder(m_config.Path());
        std::filesystem::create_directories(m_config.Path() + "/Vantor");
        ASSERT_TRUE(WriteFileBytes(m_config.Path() + "/Vantor/Talvarix Editor.ini",
                                   "[MIDIConnection]\nMIDIInDevice0=Talvarix\nMIDIOutDevice0=Talvarix\n"));
        const char* data = std::getenv("XDG_DATA_HOME");
        m_savedDataHome = data ? data : "";
        setenv("XDG_DATA_HOME", m_data.Path().c_str(), 1);
        GT::CInstanceManager::SetChannelFolder(m_channel.Path());
        m_savedHook = SetMessageBoxHook([this](const char* text, const char*, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
        CBufferAccessor& accessor = CBufferAccessor::GetInstance();
        accessor.SetInitialDataPath(std::string());
        accessor.SetViewStatePath(std::string());
        m_app = std::make_unique<CApp>();
        m_app->SetInstrumentLayer(&accessor);
    }

    void TearDown() override
    {
        m_app->ExitInstance();
        m_app.reset();
        PumpAllMessages();
        GT::CInstanceManager::Close();
        GT::CInstanceManager::SetRequestHandler(nullptr);
        GT::CInstanceManager::SetChannelFolder("");
        SetMessageBoxHook(m_savedHook);
        if (m_savedDataHome.empty())
            unsetenv("XDG_DATA_HOME");
        else
            setenv("XDG_DATA_HOME", m_savedDataHome.c_str(), 1);
        SetProfileFolder("");
        SetProgramFolder("");
    }

    CVeyValue& Value(const char* path) { return *CVeyBufferManager::GetInstance().FindValueOrNull(path); }
    uint32_t NameAddress() { return uint32_t(Value("fm.pat.common.patchName").GetAbsoluteAddressRange().begin); }

    CVirtualClock m_clock{1000};
    CVirtualMidiBackend m_backend;
    CScopedMidiBackend m_scoped{&m_backend};
    CSimulatedTalvarix m_instrument;
    CTempDir m_config;
    CTempDir m_data;
    CTempDir m_channel;
    CTempDir m_documents;
    std::string m_savedDataHome;
    MessageBoxHook m_savedHook;
    std::vector<std::string> m_boxes;
    std::unique_ptr<CApp> m_app;
};

TEST_F(EditorAppInstrumentTest, StartUpReadsEverythingFromTheInstrument)
{
    const std::string name = "On the synth";
    // The temporary patch's name: the address is the script's, 1F 00 00 00 onwards.
    ASSERT_TRUE(m_instrument.Write(CSimulatedTalvarix::kTemporaryPatch, Bytes(name.begin(), name.end())));
    ASSERT_TRUE(m_app->InitInstance()) << ::testing::PrintToString(m_boxes);
    PumpAllMessages();
    EXPECT_TRUE(m_boxes.empty()) << ::testing::PrintToString(m_boxes);
    EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), name);
    EXPECT_EQ(NameAddress(), CSimulatedTalvarix::kTemporaryPatch);
    const auto received = m_instrument.GetReceived();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front().bytes, (Bytes{0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7}));
    EXPECT_FALSE(CVeyDataFile::GetInstance().GetRootStruct()->IsModified());
}

TEST_F(EditorAppInstrumentTest, ADocumentOnTheCommandLineIsWrittenToTheInstrument)
{
    // A document made by an earlier run: the initial data with another name.
    const std::string document = m_documents.File("song.q9e");
    {
        CBundledScript script;
        ASSERT_TRUE(script.Read());
        CVeyDataFile& file = CVeyDataFile::GetInstance();
        file.SetRootStruct(dynamic_cast<CVeyRootStruct*>(CVeyBufferManager::GetInstance().FindStructOrNull("fm")));
        file.SetProductName("Talvarix");
        ASSERT_TRUE(file.Load(CBundledScript::Folder() + "InitialData.q9e"));
        CVeyBufferManager::GetInstance().SetText(&Value("fm.pat.common.patchName"), "From a file ");
        ASSERT_TRUE(file.Save(document));
        file.SetRootStruct(nullptr);
    }
    m_app->SetCommandLine(document);
    ASSERT_TRUE(m_app->InitInstance()) << ::testing::PrintToString(m_boxes);
    PumpAllMessages();
    EXPECT_TRUE(m_boxes.empty()) << ::testing::PrintToString(m_boxes);
    Bytes stored;
    ASSERT_TRUE(m_instrument.Read(NameAddress(), 12, stored));
    EXPECT_EQ(std::string(stored.begin(), stored.end()), "From a file ");
    EXPECT_FALSE(CVeyDataFile::GetInstance().GetRootStruct()->IsModified());
}
