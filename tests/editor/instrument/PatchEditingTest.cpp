// Editing whole parts of the patch, the program watch, documents and the file commands, on the
// bundled script with the simulated Talvarix behind the first MIDI output.
#include "editor/CDocumentDialog.h"
#include "editor/CEditorCommands.h"
#include "editor/instrument/CBufferAccessor.h"
#include "editor/instrument/CPatchClipboard.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiDevice.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"
#include "model/CVeyErrorOut.h"
#include "model/CVeyStruct.h"
#include "model/CVeyValue.h"
#include "model/IVeyModelLinks.h"
#include "platform/Shell.h"
#include "tests/editor/instrument/InstrumentRig.h"
#include "tests/editor/resources/BundledScript.h"
#include "tests/support/SimulatedTalvarix.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<BYTE>;

// The instrument at the far end of the script's first output port.
class CInstrumentCable : public CVeyMidiOutDevice
{
public:
    explicit CInstrumentCable(CSimulatedInstrument& instrument) : CVeyMidiOutDevice("cable"), m_instrument(instrument) {}
    bool Send(const std::vector<uint8_t>& bytes) override
    {
        m_instrument.Receive(bytes);
        return true;
    }

private:
    CSimulatedInstrument& m_instrument;
};
}

// Notes the values whose views are refreshed.
class CRecordingViews : public IVeyViewUpdater
{
public:
    bool UpdateViews(const std::vector<CVeyValue*>& changes) override
    {
        updated.insert(updated.end(), changes.begin(), changes.end());
        return !changes.empty();
    }
    std::vector<CVeyValue*> updated;
};

class PatchEditingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_script.Read());
        CVeyMidiOutputs::GetInstance()[0].AttachDevice(&m_cable);
        CVeyDataFile::GetInstance().SetRootStruct(dynamic_cast<CVeyRootStruct*>(&Struct("fm")));
        CVeyDataFile::GetInstance().SetProductName("Talvarix");
        m_accessor.SetInitialDataPath(CBundledScript::Folder() + "InitialData.q9e");
        m_accessor.SetViewStatePath(m_folder.File("ViewState.txt"));
        CVeyMidiRequester::SetMessageShower([this](int32_t id) { m_shown.push_back(id); });
        m_savedHook = SetMessageBoxHook([this](const char* text, const char*, UINT) {
            m_boxes.push_back(text);
            return m_answer;
        });
        ASSERT_TRUE(m_accessor.Initialize());
        m_instrument.ClearLogs();
    }
    void TearDown() override
    {
        SetMessageBoxHook(m_savedHook);
        CVeyMidiRequester::SetMessageShower(nullptr);
        for (CVeyMidiOut& output : CVeyMidiOutputs::GetInstance())
            output.DetachAllDevices();
        CVeyDataFile::GetInstance().SetRootStruct(nullptr);
    }

    CVeyStruct& Struct(const std::string& path) { return *CVeyBufferManager::GetInstance().FindStructOrNull(path); }
    CVeyValue& Value(const std::string& path) { return *CVeyBufferManager::GetInstance().FindValueOrNull(path); }
    void Set(const std::string& path, int32_t number) { CommitValue(path, number); }
    std::vector<std::string> DataSetAddresses() const
    {
        std::vector<std::string> addresses;
        for (const auto& entry : m_instrument.GetAcceptedDataSets())
        {
            char text[16];
            std::snprintf(text, sizeof text, "%02X %02X %02X %02X", entry.bytes[7], entry.bytes[8], entry.bytes[9], entry.bytes[10]);
            addresses.push_back(text);
        }
        return addresses;
    }
    static std::string AddressOf(const CVeyStruct& s)
    {
        const Bytes bytes = CSimulatedInstrument::AddressBytes(uint32_t(s.GetAbsoluteAddressRange().begin), 4);
        char text[16];
        std::snprintf(text, sizeof text, "%02X %02X %02X %02X", bytes[0], bytes[1], bytes[2], bytes[3]);
        return text;
    }

    CTraceCapture m_trace;
    CBundledScript m_script;
    CSimulatedTalvarix m_instrument;
    CInstrumentCable m_cable{m_instrument};
    CTempDir m_folder;
    CBufferAccessor& m_accessor = CBufferAccessor::GetInstance();
    std::vector<int32_t> m_shown;
    std::vector<std::string> m_boxes;
    int m_answer = IDOK;
    MessageBoxHook m_savedHook;
};

TEST_F(PatchEditingTest, CopyAndPasteOfATonePutsItIntoAnotherToneAndSendsIt)
{
    CPatchClipboard& clipboard = m_accessor.GetPatchClipboard();
    // Paste waits for a copy; copy, paste and initialise only name parts that exist.
    EXPECT_FALSE(clipboard.IsCommandEnabled(0x20412));
    EXPECT_TRUE(clipboard.IsCommandEnabled(0x10410));
    EXPECT_TRUE(clipboard.IsCommandEnabled(0x200));
    EXPECT_FALSE(clipboard.IsCommandEnabled(0x10414));
    EXPECT_FALSE(clipboard.IsCommandEnabled(0x10621));
    EXPECT_FALSE(clipboard.IsCommandEnabled(0x30410));

    Set("fm.pat.tone[0].toneLevel", 33);
    m_instrument.ClearLogs();
    ASSERT_TRUE(clipboard.Execute(0x10410));
    EXPECT_TRUE(m_instrument.GetReceived().empty()) << "a copy sends nothing";
    EXPECT_TRUE(clipboard.IsCommandEnabled(0x20412));
    EXPECT_FALSE(clipboard.IsCommandEnabled(0x20620)) << "the effects have a buffer of their own";
    ASSERT_TRUE(clipboard.Execute(0x20412));
    EXPECT_EQ(*Struct("fm.pat.tone[2]").GetData(), *Struct("fm.pat.tone[0]").GetData());
    EXPECT_EQ(DataSetAddresses(), std::vector<std::string>{AddressOf(Struct("fm.pat.tone[2]"))});
    EXPECT_TRUE(CVeyBufferManager::GetInstance().GetChangeList().empty());

    // Initialise: every value back to its default, the whole patch sent.
    m_instrument.ClearLogs();
    ASSERT_TRUE(clipboard.Execute(0x200));
    EXPECT_EQ(Value("fm.pat.tone[0].toneLevel").GetNumber(), Value("fm.pat.tone[0].toneLevel").GetDefinition()->defaultNumber);
    EXPECT_EQ(DataSetAddresses().size(), 9u);
}

TEST_F(PatchEditingTest, SwappingTheMfxTypeKeepsEachTypesParametersAndShowsThemAtOnce)
{
    CVeyValue& type = Value("fm.pat.mfx.mfxType");
    CVeyValue& parameter = Value("fm.pat.mfx.mfxParameter1");
    const int32_t first = type.GetNumber();
    const int32_t second = first == 1 ? 2 : 1;
    Set("fm.pat.mfx.mfxParameter1", parameter.GetDefinition()->GetMin() + 3);
    const Bytes firstBlock = *Struct("fm.pat.mfx").GetData();

    // The views of the parameters are told of the change the swap made to their bytes, and the
    // parameters are not listed for sending one by one.
    CRecordingViews views;
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    IVeyViewUpdater* const panels = buffers.GetViewUpdater();
    buffers.SetViewUpdater(&views);
    m_instrument.ClearLogs();
    buffers.SetValue(&type, second);
    EXPECT_EQ(buffers.GetChangeList(), std::vector<CVeyValue*>{&type});
    buffers.Flush();
    buffers.ClearChanges();
    buffers.SetViewUpdater(panels);
    EXPECT_NE(std::find(views.updated.begin(), views.updated.end(), &parameter), views.updated.end());
    EXPECT_EQ(type.GetNumber(), second);
    EXPECT_NE(*Struct("fm.pat.mfx").GetData(), firstBlock);
    EXPECT_EQ(DataSetAddresses().front(), AddressOf(Struct("fm.pat.mfx"))) << "the block is sent whole";

    Set("fm.pat.mfx.mfxType", first);
    EXPECT_EQ(*Struct("fm.pat.mfx").GetData(), firstBlock) << "the first type's parameters come back";
    m_instrument.ClearLogs();
    Set("fm.pat.mfx.mfxType", first);
    EXPECT_TRUE(m_instrument.GetReceived().empty()) << "the same type sends nothing";
}

TEST_F(PatchEditingTest, ANonUserProgramPointsTheImageAtUserPatch1AndRaisesTheFlag)
{
    CEditContext& context = m_accessor.GetEditContext();
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    CVeyValue* msb = &Value("fm.setup.kbdPatchBankSelectMsb");
    CVeyValue* lsb = &Value("fm.setup.kbdPatchBankSelectLsb");
    CVeyValue* program = &Value("fm.setup.kbdPatchProgramNumber");
    struct SCase
    {
        int32_t msb, lsb, program;
        int32_t expectedMsb, expectedLsb, expectedProgram;
        bool notRegular;
    };
    const SCase cases[] = {
        {87, 1, 5, 87, 1, 5, false},
        {0, 1, 5, 87, 0, 0, true},
        {81, 64, 3, 87, 0, 0, true},
        {87, 2, 0, 87, 0, 0, true},   // past the eight user banks
    };
    for (const SCase& c : cases)
    {
        buffers.SetValues({{msb, c.msb}, {lsb, c.lsb}, {program, c.program}});
        buffers.ClearChanges();
        EXPECT_EQ(msb->GetNumber(), c.expectedMsb);
        EXPECT_EQ(lsb->GetNumber(), c.expectedLsb);
        EXPECT_EQ(program->GetNumber(), c.expectedProgram);
        EXPECT_EQ(context.IsNotRegular(), c.notRegular);
    }
    // A change of other values leaves the flag alone.
    Set("fm.pat.tone[0].toneLevel", 20);
    EXPECT_TRUE(context.IsNotRegular());

    // Patch state by the navigation value.
    for (const auto& [state, expected] : std::vector<std::pair<int32_t, int32_t>>{{-3, 2}, {0, 0}, {7, 1}})
    {
        m_accessor.Bound().navigationState->SetNumber(state);
        if (m_accessor.Bound().navigationState->GetNumber() == state)
        {
            EXPECT_EQ(context.GetPatchState(), expected) << state;
        }
    }
}

TEST_F(PatchEditingTest, DocumentsSaveAtomicallyAndADamagedOneIsRefusedWithoutChangingTheImage)
{
    CDocumentDialog documents;
    documents.SetFilters("Talvarix Editor (*.q9e)|*.q9e||", ".q9e");
    std::string chosen;
    documents.SetChooser([&chosen](bool, const std::string&, const std::string&) { return chosen; });
    int answer = IDNO;
    documents.SetAsker([&answer](const std::string&) { return answer; });

    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.SetText(&Value("fm.pat.common.patchName"), "Saved       ");
    chosen = m_folder.File("a.q9e");
    ASSERT_EQ(documents.Save(), IEditorDocumentRecord::kDone) << "without a path Save asks for one";
    EXPECT_EQ(documents.GetCurrentPath(), chosen);
    EXPECT_FALSE(IsDocumentModified());

    // A damaged copy is refused: the image and the current path stay.
    std::ifstream in(chosen, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string damaged = m_folder.File("damaged.q9e");
    std::ofstream(damaged, std::ios::binary) << bytes.substr(0, bytes.size() - 40);
    buffers.SetText(&Value("fm.pat.common.patchName"), "Edited      ");
    buffers.ClearChanges();
    EXPECT_FALSE(documents.Open(damaged));
    EXPECT_EQ(CVeyBufferedErrorOut::GetInstance().GetBufferedText(), "The file could not be loaded.");
    CVeyBufferedErrorOut::GetInstance().Flush();
    EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), "Edited      ");
    EXPECT_EQ(documents.GetCurrentPath(), chosen);

    ASSERT_TRUE(documents.Open(chosen));
    EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), "Saved       ");

    // Yes to the prompt, then a cancelled Save dialog: the open is cancelled, nothing is lost.
    CDocumentDialog untitled;
    untitled.SetAsker([](const std::string&) { return IDYES; });
    untitled.SetChooser([](bool, const std::string&, const std::string&) { return std::string(); });
    buffers.SetText(&Value("fm.pat.common.patchName"), "Unsaved     ");
    EXPECT_EQ(untitled.QuerySave(), IEditorDocumentRecord::kCancelled);
    EXPECT_FALSE(untitled.Open(chosen));
    EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), "Unsaved     ");
    // Closing asks only while modified.
    CVeyDataFile::GetInstance().GetRootStruct()->SetModified(false);
    EXPECT_EQ(untitled.QuerySaveOnClose(), IEditorDocumentRecord::kDone);
}

TEST_F(PatchEditingTest, ExportAndImportCommandsGoThroughTheFileAndShowTheirMessages)
{
    CDocumentDialog documents;
    CEditorCommands commands(m_accessor, documents);
    std::string chosen = m_folder.File("patch.mid");
    CSmfDialog::GetInstance().SetChooser([&chosen](bool, const std::string&, const std::string&) { return chosen; });

    EXPECT_EQ(CEditorCommands::PatchCodeOf(32795), 0x10412);
    EXPECT_EQ(CEditorCommands::PatchCodeOf(32830), 0x20413);
    EXPECT_EQ(CEditorCommands::PatchCodeOf(32799), 0x200);
    EXPECT_EQ(CEditorCommands::PatchCodeOf(32840), -1);

    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.SetText(&Value("fm.pat.common.patchName"), "In the file ");
    buffers.ClearChanges();
    ASSERT_TRUE(commands.ExportSmf());
    buffers.SetText(&Value("fm.pat.common.patchName"), "Other       ");
    buffers.ClearChanges();
    m_instrument.ClearLogs();
    ASSERT_TRUE(commands.ImportSmf());
    EXPECT_EQ(Value("fm.pat.common.patchName").GetText(), "In the file ");
    EXPECT_EQ(m_instrument.GetAcceptedDataSets().size(), 9u) << "the file's data goes to the instrument too";

    // A file that is no Standard MIDI File: message 4, nothing changed.
    std::ofstream(m_folder.File("text.mid")) << "not a midi file";
    chosen = m_folder.File("text.mid");
    m_boxes.clear();
    EXPECT_FALSE(commands.ImportSmf());
    EXPECT_EQ(m_boxes, std::vector<std::string>{"The file could not be loaded."});
    // An export into a folder that does not exist: message 5.
    chosen = m_folder.File("missing/patch.mid");
    m_boxes.clear();
    EXPECT_FALSE(commands.ExportSmf());
    EXPECT_EQ(m_boxes, std::vector<std::string>{"The file could not be saved."});
    CSmfDialog::GetInstance().SetChooser(nullptr);
}
