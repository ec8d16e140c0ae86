// The application object on the bundled script with the simulated Talvarix behind the devices the
// settings name: start-up reads the instrument, or writes the document given on the command line
// to it.
#include "editor/CApp.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"
#include "model/CVeyValue.h"
#include "platform/Messages.h"
#include "tests/editor/instrument/EditorAppFixture.h"
#include "tests/editor/resources/BundledScript.h"
#include "tests/support/SimulatedTalvarix.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<BYTE>;
}

class EditorAppInstrumentTest : public EditorAppFixture
{
protected:
    CVeyValue& Value(const char* path) { return *CVeyBufferManager::GetInstance().FindValueOrNull(path); }
    uint32_t NameAddress() { return uint32_t(Value("fm.pat.common.patchName").GetAbsoluteAddressRange().begin); }

    CTempDir m_documents;
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
