// The editor's start-up, idle pass and shut-down against small scripts in a temporary program
// folder, with the settings, the user data and the single-instance channel in temporary folders.
#include "editor/CApp.h"
#include "editor/EditorTextWindows.h"
#include "editor/CDocumentDialog.h"
#include "editor/CEditorCommands.h"
#include "editor/CEditorFrames.h"
#include "editor/CSplashWindow.h"
#include "editor/CViewUpdateProgress.h"
#include "editor/EditorResources.h"
#include "midi/framework/CVeyFunctorRegistry.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"
#include "model/CVeyErrorOut.h"
#include "model/CVeyStruct.h"
#include "model/CVeyValue.h"
#include "platform/Profile.h"
#include "platform/Gdi.h"
#include "platform/Shell.h"
#include "platform/UiDriver.h"
#include "platform/WindowPlacement.h"
#include "tests/support/ChildProcess.h"
#include "tests/editor/resources/EditorTestHome.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/VirtualClock.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/gt/InstanceManager.h"
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/ul/TextOutWindow.h"
#include "toolkit/ul/TipBar.h"
#include "ui/panels/CVeyViewManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace
{
const char* const kScript = R"(<?xml version="1.0" encoding="ISO-8859-1"?>
<script>
<structType><type>commonT</type><name>$name</name><address>$address</address>
  <value><type>int1x7</type><name>level</name><default>100</default></value>
  <value><type>int1x7</type><name>pan</name><range>-64S,63S</range><default>0S</default></value>
</structType>
<structType><type>fmT</type><name>$name</name><address>$address</address>
  <struct><type>commonT</type><name>common</name><address>00 00 00 00</address></struct>
</structType>
<struct><type>fmT</type><name>fm</name><address>10 00 00 00</address></struct>
<panelType><type>mainT</type><name>main</name><position>0,0</position><size>200,100</size></panelType>
<panelType><type>subT</type><name>sub</name><size>60,40</size><windowPosition>300,200</windowPosition></panelType>
<panel><type>mainT</type></panel>
<panel><type>subT</type></panel>
</script>
)";

const char* const kMidiNotSetUp = "MIDI devices aren't set up correctly.";
const char* const kLoadFailed = "The file could not be loaded.";

// A functor that notes when it runs.
class CNotingFunctor : public IVeyFunctor
{
public:
    explicit CNotingFunctor(std::vector<std::string>* events) : m_events(events) {}
    void Run(std::string&, const std::string&) override { m_events->push_back("functor"); }

private:
    std::vector<std::string>* m_events;
};

// A picture for a fixture script, its pixels given by `colour` (0xAARRGGBB).
bool WritePicture(const std::string& path, int width, int height, const std::function<uint32_t(int x, int y)>& colour)
{
    CBitmap picture;
    if (!picture.CreateBitmap(width, height))
        return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.GetRow(y)[x] = colour(x, y);
    return picture.SaveFile(path.c_str(), "PNG") != FALSE;
}

class EditorStartupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_home.Enter(m_program.Path());
        GetMessageTable().Set(GT::CIndexedStringTable::kEnglishSet, CApp::kMidiNotSetUpMessage, kMidiNotSetUp);
        GetMessageTable().Set(GT::CIndexedStringTable::kEnglishSet, CVeyDataFile::kLoadFailedMessage, kLoadFailed);
        m_app = std::make_unique<CApp>();
    }

    void TearDown() override
    {
        if (m_app && !m_exited)
            m_app->ExitInstance();
        m_app.reset();
        m_home.Leave();
        SetResourceString(IDS_LANGUAGE, "English");
        GetMessageTable().SelectSet(GT::CIndexedStringTable::kEnglishSet);
    }

    void WriteScript(const std::string& xml)
    {
        mkdir((m_program.Path() + "/Script").c_str(), 0700);
        mkdir((m_program.Path() + "/Script/Q9EE").c_str(), 0700);
        ASSERT_TRUE(WriteFileBytes(m_program.Path() + "/Script/Q9EE/Script.xml", xml));
    }

    // A panel "main" of 360 by 120 with a drawn background and a few text controls.
    void WriteLookScript()
    {
        WriteScript(R"(<?xml version="1.0" encoding="ISO-8859-1"?>
<script>
<textWriter><name>caption</name><fontFaceName>DEFAULT</fontFaceName><fontHeight>14</fontHeight><fontColor>230,230,230</fontColor><backgroundMode>transparent</backgroundMode></textWriter>
<textWriter><name>lcd</name><fontFaceName>DEFAULT</fontFaceName><fontHeight>16</fontHeight><fontColor>40,255,120</fontColor><backgroundMode>transparent</backgroundMode></textWriter>
<bitmap><name>back.png</name></bitmap>
<structType><type>commonT</type><name>$name</name><address>$address</address>
  <value><type>string</type><name>patchName</name><size>0C</size><default>Warm Strings</default></value>
  <value><type>int1x7</type><name>level</name><default>100</default></value>
</structType>
<structType><type>fmT</type><name>$name</name><address>$address</address>
  <struct><type>commonT</type><name>common</name><address>00 00 00 00</address></struct>
</structType>
<struct><type>fmT</type><name>fm</name><address>1F 00 00 00</address></struct>
<panelType><type>mainT</type><name>main</name><position>0,0</position><size>360,120</size><bitmapRef>back.png</bitmapRef>
  <control><type>label</type><name>title</name><position>16,12</position><size>200,18</size><textWriterRef>caption</textWriterRef><label>TALVARIX  Patch</label></control>
  <control><type>label</type><name>name</name><position>16,40</position><size>160,22</size><textWriterRef>lcd</textWriterRef><label>Warm Strings</label></control>
  <control><type>label</type><name>levelCaption</name><position>200,40</position><size>60,18</size><textWriterRef>caption</textWriterRef><label>Level</label></control>
  <control><type>label</type><name>level</name><position>260,40</position><size>60,22</size><textWriterRef>lcd</textWriterRef><label>100</label></control>
</panelType>
<panel><type>mainT</type></panel>
</script>
)");
        ASSERT_TRUE(WritePicture(m_program.Path() + "/Script/Q9EE/back.png", 360, 120, [](int, int y) {
            const uint32_t shade = static_cast<uint32_t>(70 - y / 4);
            return 0xFF000000u | (shade << 16) | (shade << 8) | (shade + 6);
        }));
    }

    int Exit()
    {
        m_exited = true;
        const int code = m_app->ExitInstance();
        PumpAllMessages();
        return code;
    }

    // Starts a new application object after the current one has exited.
    void Restart(const std::string& commandLine)
    {
        if (!m_exited)
            Exit();   // the program ends its single-instance channel itself
        m_app.reset();
        m_app = std::make_unique<CApp>();
        m_exited = false;
        m_app->SetCommandLine(commandLine);
    }

    CVeyValue* FindValue(const std::string& path)
    {
        CVeyValue* value = nullptr;
        CVeyBufferManager::GetInstance().FindValue(path, value);
        return value;
    }

    CTempDir m_program;
    CEditorTestHome m_home;
    std::unique_ptr<CApp> m_app;
    bool m_exited = false;
};
}

TEST_F(EditorStartupTest, StartsWithTheMainPanelInTheMainFrameAndShutsDownInOrder)
{
    WriteScript(kScript);
    ASSERT_TRUE(m_app->InitInstance());
    EXPECT_TRUE(m_app->HasStarted());

    auto* frame = dynamic_cast<CEditorMainFrame*>(m_app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->IsWindowVisible());
    EXPECT_EQ(frame->GetRootPanel(), CVeyViewManager::GetInstance().FindRootPanel("main"));
    EXPECT_EQ(frame->GetIconId(), CApp::kFrameResourceId);
    CRect client;
    frame->GetClientRect(&client);
    EXPECT_EQ(client.Width(), 200);
    EXPECT_EQ(client.Height(), 100);
    EXPECT_EQ(frame->GetWindowText(), "Talvarix Editor - Untitled");
    EXPECT_FALSE(CSplash::GetInstance().IsShown());

    // No MIDI devices are chosen: message 10, once, and nothing else.
    EXPECT_EQ(m_home.boxes, std::vector<std::string>{kMidiNotSetUp});

    CVeyDataFile& dataFile = CVeyDataFile::GetInstance();
    ASSERT_NE(dataFile.GetRootStruct(), nullptr);
    EXPECT_EQ(dataFile.GetRootStruct()->GetName(), "fm");
    EXPECT_EQ(dataFile.GetProductName(), "Talvarix");
    EXPECT_FALSE(dataFile.GetRootStruct()->IsModified());

    const CVeyFolders& folders = CVeyFolders::GetInstance();
    EXPECT_EQ(folders.scriptFolder, m_program.Path() + "/Script/Q9EE/");
    EXPECT_EQ(folders.userDataFolder, m_home.data.Path() + "/Vantor/Talvarix Editor/");
    struct stat info;
    EXPECT_EQ(stat(folders.userDataFolder.c_str(), &info), 0);
    EXPECT_EQ(GetRegistryKey(), "Vantor");

    // A sub panel opens in a frame of its own.
    ASSERT_TRUE(CVeyViewManager::GetInstance().OpenRootPanel("sub"));
    auto* sub = dynamic_cast<CWindowRootPanel*>(CVeyViewManager::GetInstance().FindRootPanel("sub"));
    ASSERT_NE(sub, nullptr);
    EXPECT_NE(dynamic_cast<CEditorSubFrame*>(sub->GetWindow()), nullptr);

    EXPECT_EQ(Exit(), 0);
    // The window positions were saved before the managers went.
    EXPECT_NE(ReadFileBytes(folders.userDataFolder + "WindowPosition.txt").find("sub"), std::string::npos);
    EXPECT_EQ(CVeyViewManager::GetInstance().FindRootPanel("main"), nullptr);
    EXPECT_EQ(FindValue("fm.common.level"), nullptr);
    EXPECT_EQ(dataFile.GetRootStruct(), nullptr);
    EXPECT_EQ(m_app->m_pMainWnd, nullptr);
}

TEST_F(EditorStartupTest, ThePanelsShowTheScriptFoldersPicturesAndTextsInThePlatformsFonts)
{
    // A background named without its extension (back.bmp), a two-state knob in a PNG file and a
    // text writer: read by the resource manager through the editor's factory.
    std::string script = kScript;
    script.replace(script.find("<structType>"), 0,
                   "<bitmap><name>back</name></bitmap>"
                   "<bitmap><name>knob.png</name><stateCount>2</stateCount><direction>1</direction></bitmap>"
                   "<textWriter><name>text</name><fontFaceName>DEFAULT</fontFaceName><fontHeight>14</fontHeight>"
                   "<fontColor>65280,65280,0</fontColor><backgroundMode>transparent</backgroundMode></textWriter>\n");
    script.replace(script.find("<size>200,100</size></panelType>"), 32,
                   "<size>200,100</size><bitmapRef>back</bitmapRef>"
                   "<control><type>knob</type><name>k</name><position>10,10</position><bitmapRef>knob.png</bitmapRef>"
                   "<valueRef>fm.common.level</valueRef></control>"
                   "<control><type>staticText</type><name>t</name><position>60,10</position><size>100,30</size>"
                   "<textWriterRef>text</textWriterRef><valueRef>fm.common.level</valueRef></control></panelType>");
    WriteScript(script);
    const std::string folder = m_program.Path() + "/Script/Q9EE/";
    CBitmap back, knob;
    CDC dc;
    ASSERT_TRUE(back.CreateBitmap(200, 100));
    dc.SelectObject(&back);
    dc.FillSolidRect(RECT{0, 0, 200, 100}, RGB(20, 60, 90));
    ASSERT_TRUE(back.SaveFile((folder + "back.bmp").c_str(), "BMP"));
    ASSERT_TRUE(knob.CreateBitmap(40, 20));
    dc.SelectObject(&knob);
    dc.FillSolidRect(RECT{0, 0, 20, 20}, RGB(200, 0, 0));
    dc.FillSolidRect(RECT{20, 0, 40, 20}, RGB(0, 200, 0));
    ASSERT_TRUE(knob.SaveFile((folder + "knob.png").c_str(), "PNG"));

    ASSERT_TRUE(m_app->InitInstance());
    CWnd* frame = m_app->m_pMainWnd;
    ASSERT_NE(frame, nullptr);
    PumpAllMessages();
    frame->UpdateWindow();
    CClientDC client(frame);
    EXPECT_EQ(client.GetPixel(190, 90) & 0xFFFFFF, RGB(20, 60, 90)) << "the background";
    EXPECT_EQ(client.GetPixel(20, 20) & 0xFFFFFF, RGB(0, 200, 0)) << "the knob's state for level 100";
    int lit = 0;
    for (int y = 10; y < 40; ++y)
        for (int x = 60; x < 160; ++x)
            lit += (client.GetPixel(x, y) & 0xFFFFFF) == RGB(255, 255, 0);
    EXPECT_GT(lit, 20) << "the level's text in the writer's colour";
}

TEST_F(EditorStartupTest, FailedStartShowsOneMessageWithTheFileAndTheReasonAndEndsWithoutWindows)
{
    struct CCase
    {
        const char* name;
        const char* script;   // null: no script file at all
        const char* message;  // the first line of the one box
        const char* reason;   // what the box says about the cause
    };
    const std::vector<CCase> cases = {
        {"missing script", nullptr, "Unable to open script.", "No such file or directory"},
        {"not a script", "\x01\x02 this is no XML <<<", "Unable to open script.", "Unknown tag. : <<"},
        {"unknown struct type", "<script><struct><type>noSuchT</type><name>fm</name></struct>"
                                "<panelType><type>mainT</type><name>main</name><size>10,10</size></panelType>"
                                "<panel><type>mainT</type></panel></script>",
         "Unable to create.", "Unable to find struct type definition. : noSuchT"},
        {"no root struct fm", "<script><panelType><type>mainT</type><name>main</name><size>10,10</size></panelType>"
                              "<panel><type>mainT</type></panel></script>",
         "Unable to find root struct for data file.", "The script declares no root struct \"fm\"."},
        {"no panel main", "<script><structType><type>cT</type><name>$name</name><address>$address</address>"
                          "<value><type>int1x7</type><name>v</name></value></structType>"
                          "<structType><type>fmT</type><name>$name</name><address>$address</address>"
                          "<struct><type>cT</type><name>c</name><address>00 00 00 00</address></struct></structType>"
                          "<struct><type>fmT</type><name>fm</name><address>10 00 00 00</address></struct></script>",
         "Unable to open main panel.", "no root panel \"main\""},
    };
    // Positions saved by an earlier run must survive a start that never opened the panels.
    const std::string positions = m_home.data.Path() + "/Vantor/Talvarix Editor/WindowPosition.txt";
    mkdir((m_home.data.Path() + "/Vantor").c_str(), 0700);
    mkdir((m_home.data.Path() + "/Vantor/Talvarix Editor").c_str(), 0700);
    ASSERT_TRUE(WriteFileBytes(positions, "main\n5,6\n"));
    const std::string script = m_program.Path() + "/Script/Q9EE/Script.xml";
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        Restart("");
        m_home.boxes.clear();
        if (c.script)
            WriteScript(c.script);
        else
            std::remove(script.c_str());
        EXPECT_FALSE(m_app->InitInstance());
        ASSERT_EQ(m_home.boxes.size(), 1u) << "one box says what went wrong";
        const std::string& box = m_home.boxes[0];
        EXPECT_EQ(box.substr(0, box.find('\n')), c.message);
        EXPECT_NE(box.find("\n" + script + "\n"), std::string::npos) << box;
        EXPECT_NE(box.find(c.reason), std::string::npos) << box;
        EXPECT_EQ(m_app->m_pMainWnd, nullptr);
        EXPECT_FALSE(CSplash::GetInstance().IsShown());
        EXPECT_NE(Exit(), 0) << "a failed start-up ends the program with a failure";
        for (CWnd* window : CWnd::GetTopLevelWindows())
            EXPECT_FALSE(window->IsWindowVisible()) << window->GetWindowText();
        EXPECT_EQ(ReadFileBytes(positions), "main\n5,6\n");
    }
}

namespace
{
// An instrument layer that binds and keeps its view state in a plain file.
class CFileViewStateInstrument : public IEditorInstrumentLayer
{
public:
    bool Initialize() override { return true; }
    bool ReadAll() override { return true; }
    bool WriteAllChecked() override { return true; }
    bool WriteAll() override { return true; }
    bool SaveViewState(const std::string& path) override { return WriteFileBytes(path, "view state"); }
};
}

TEST_F(EditorStartupTest, DataFolderThatCannotBeMadeIsNamedAndEachSaveIntoItSaysWhyItFailed)
{
    WriteScript(kScript);
    CFileViewStateInstrument instrument;
    m_app->SetInstrumentLayer(&instrument);
    // A file where the maker's folder should be: the user data folder cannot be created.
    ASSERT_TRUE(WriteFileBytes(m_home.data.Path() + "/Vantor", "not a folder"));
    const std::string folder = m_home.data.Path() + "/Vantor/Talvarix Editor/";
    CTraceCapture trace;
    ASSERT_TRUE(m_app->InitInstance()) << trace.Text();
    EXPECT_EQ(m_home.boxes, std::vector<std::string>{kMidiNotSetUp}) << "the editor starts as usual";
    EXPECT_NE(trace.Text().find("Unable to create the folder for the editor's settings. : " + folder + " : "), std::string::npos)
        << trace.Text();
    ASSERT_NE(m_app->m_pMainWnd, nullptr);

    EXPECT_EQ(Exit(), 0);
    EXPECT_NE(trace.Text().find("Unable to save the view state. : " + folder + "ViewState.txt : "), std::string::npos) << trace.Text();
    EXPECT_NE(trace.Text().find("Unable to save the window positions. : " + folder), std::string::npos) << trace.Text();
    EXPECT_EQ(ReadFileBytes(m_home.data.Path() + "/Vantor"), "not a folder");
}

namespace
{
// An instrument layer whose binding finds a path missing, as a misspelt script would.
class CUnboundInstrument : public IEditorInstrumentLayer
{
public:
    bool Initialize() override
    {
        GetTraceTextOut().Write("Unable to bind fm.setup.programChange.\n");
        return false;
    }
    bool ReadAll() override { return ++transfers, true; }
    bool WriteAllChecked() override { return ++transfers, true; }
    bool WriteAll() override { return ++transfers, true; }
    bool SaveViewState(const std::string&) override { return ++saves, true; }
    int transfers = 0;
    int saves = 0;
};
}

TEST_F(EditorStartupTest, InstrumentLayerThatCannotBindEndsTheStartWithTheMissingPaths)
{
    WriteScript(kScript);
    CUnboundInstrument instrument;
    m_app->SetInstrumentLayer(&instrument);
    EXPECT_FALSE(m_app->InitInstance());
    ASSERT_EQ(m_home.boxes.size(), 1u);
    const std::string& box = m_home.boxes[0];
    EXPECT_EQ(box.substr(0, box.find('\n')), "Unable to bind the script's values.");
    EXPECT_NE(box.find("Unable to bind fm.setup.programChange."), std::string::npos) << box;
    EXPECT_NE(Exit(), 0);
    EXPECT_EQ(instrument.transfers, 0) << "nothing is read from or sent to the instrument";
    EXPECT_EQ(instrument.saves, 0) << "no view state is written over";
    EXPECT_EQ(ReadFileBytes(m_home.data.Path() + "/Vantor/Talvarix Editor/WindowPosition.txt"), "");
}

TEST_F(EditorStartupTest, LanguageStringChoosesTheMessageSet)
{
    WriteScript(kScript);
    GetMessageTable().Set(GT::CIndexedStringTable::kJapaneseSet, CApp::kMidiNotSetUpMessage, "japanese 10");
    const struct
    {
        const char* language;
        uint32_t set;
        const char* message;
    } cases[] = {
        {"English", GT::CIndexedStringTable::kEnglishSet, kMidiNotSetUp},
        {"english", GT::CIndexedStringTable::kJapaneseSet, "japanese 10"},
        {"", GT::CIndexedStringTable::kJapaneseSet, "japanese 10"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.language);
        Restart("");
        m_home.boxes.clear();
        SetResourceString(IDS_LANGUAGE, c.language);
        ASSERT_TRUE(m_app->InitInstance());
        EXPECT_EQ(GetMessageTable().GetSelectedSet(), c.set);
        EXPECT_EQ(m_home.boxes, std::vector<std::string>{c.message});
    }
}

TEST_F(EditorStartupTest, IdlePassRefreshesTitleThenTipBarThenDiagnosticsThenDueCalls)
{
    WriteScript(kScript);
    ASSERT_TRUE(m_app->InitInstance());
    m_home.boxes.clear();

    std::vector<std::string> events;
    CWnd* frame = m_app->m_pMainWnd;
    auto* tipBar = dynamic_cast<CWnd*>(UL::GetTipBar());
    ASSERT_NE(tipBar, nullptr);
    SetMessageBoxHook([&](const char* text, const char*, UINT) {
        events.push_back(std::string("box:") + text);
        events.push_back("title:" + frame->GetWindowText());
        events.push_back(tipBar->IsWindowVisible() ? "tip shown" : "tip hidden");
        return IDOK;
    });
    CNotingFunctor functor(&events);
    ASSERT_TRUE(CVeyFunctorRegistry::GetInstance().Register("noteIdle", &functor));
    CVirtualClock clock;

    CVeyValue* level = FindValue("fm.common.level");
    ASSERT_NE(level, nullptr);
    CVeyBufferManager::GetInstance().SetValue(level, 5);
    UL::GetTipBar()->SetText("level 5", CPoint(10, 10));
    UL::GetTipBar()->Show(true);
    CVeyBufferedErrorOut::GetInstance().Write(kLoadFailed);
    CVeyFunctorRegistry::GetInstance().Invoke("noteIdle", "", 0);
    // A delayed call is due once the tick has moved past its due tick.
    clock.Advance(1);

    m_app->OnIdle(0);
    const std::vector<std::string> expected = {std::string("box:") + kLoadFailed, "title:Talvarix Editor - Untitled *",
                                               "tip shown", "functor"};
    EXPECT_EQ(events, expected);

    // Nothing waits any more: the next pass shows nothing and runs nothing.
    events.clear();
    m_app->OnIdle(1);
    EXPECT_TRUE(events.empty());
    UL::GetTipBar()->Show(false);
}

TEST_F(EditorStartupTest, CommandLineDocumentIsLoadedOrEndsTheStart)
{
    WriteScript(kScript);
    ASSERT_TRUE(m_app->InitInstance());
    CVeyValue* level = FindValue("fm.common.level");
    ASSERT_NE(level, nullptr);
    CVeyBufferManager::GetInstance().SetValue(level, 77);
    const std::string document = m_program.File("patch.q9e");
    ASSERT_TRUE(CVeyDataFile::GetInstance().Save(document));

    Restart("\"" + document + "\"");
    m_home.boxes.clear();
    ASSERT_TRUE(m_app->InitInstance());
    EXPECT_EQ(FindValue("fm.common.level")->GetNumber(), 77);
    EXPECT_EQ(m_app->m_pMainWnd->GetWindowText(), "Talvarix Editor - " + document);
    EXPECT_FALSE(CVeyDataFile::GetInstance().GetRootStruct()->IsModified());
    EXPECT_EQ(m_home.boxes, std::vector<std::string>{kMidiNotSetUp});
    // A change marks the title at the next idle pass.
    CVeyBufferManager::GetInstance().SetValue(FindValue("fm.common.level"), 3);
    m_app->OnIdle(0);
    EXPECT_EQ(m_app->m_pMainWnd->GetWindowText(), "Talvarix Editor - " + document + " *");

    // A document that cannot be read ends the start once its reasons are shown, with its path;
    // a damaged one is left as it is.
    const std::string damaged = m_program.File("damaged.q9e");
    ASSERT_TRUE(WriteFileBytes(damaged, "VeyDataFile00001 and then far too short"));
    const struct
    {
        std::string path;
        const char* reason;
    } failures[] = {{m_program.File("missing.q9e"), "No such file or directory"}, {damaged, ""}};
    for (const auto& failure : failures)
    {
        SCOPED_TRACE(failure.path);
        Restart(failure.path);
        m_home.boxes.clear();
        EXPECT_FALSE(m_app->InitInstance());
        ASSERT_EQ(m_home.boxes.size(), 1u);
        EXPECT_EQ(m_home.boxes[0].rfind(std::string(kLoadFailed) + "\n\n" + failure.path, 0), 0u) << m_home.boxes[0];
        EXPECT_NE(m_home.boxes[0].find(failure.reason), std::string::npos) << m_home.boxes[0];
        EXPECT_NE(Exit(), 0);
    }
    EXPECT_EQ(ReadFileBytes(damaged), "VeyDataFile00001 and then far too short");
}

TEST_F(EditorStartupTest, DroppedFilesOpenInTurn)
{
    WriteScript(kScript);
    ASSERT_TRUE(m_app->InitInstance());
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.SetValue(FindValue("fm.common.level"), 11);
    ASSERT_TRUE(CVeyDataFile::GetInstance().Save(m_program.File("a.q9e")));
    buffers.SetValue(FindValue("fm.common.level"), 22);
    ASSERT_TRUE(CVeyDataFile::GetInstance().Save(m_program.File("b.q9e")));

    auto* frame = dynamic_cast<CEditorMainFrame*>(m_app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(UiDriver::DropFiles(*frame, {m_program.File("a.q9e"), m_program.File("b.q9e")}));
    EXPECT_EQ(FindValue("fm.common.level")->GetNumber(), 22);
    EXPECT_EQ(frame->GetWindowText(), "Talvarix Editor - " + m_program.File("b.q9e"));
}

TEST_F(EditorStartupTest, ClosingTheMainFrameStoresItsStateAndEndsTheLoop)
{
    WriteScript(kScript);
    ASSERT_TRUE(m_app->InitInstance());
    SetWindowMaximized(CEditorMainFrame::kClassName, true);
    ASSERT_TRUE(IsWindowMaximized(CEditorMainFrame::kClassName));
    m_app->m_pMainWnd->SendMessage(WM_CLOSE);
    EXPECT_FALSE(IsWindowMaximized(CEditorMainFrame::kClassName));
    EXPECT_EQ(GetProfileInt("IsWindowMaximized", "CEditorMainFrame", -1), 0);
    EXPECT_FALSE(GetProfileString("Version", "FileVersion").empty());
    EXPECT_EQ(m_app->Run(), 0);
    EXPECT_EQ(Exit(), 0);
}

TEST_F(EditorStartupTest, SecondStartHandsItsDocumentToTheFirst)
{
    WriteScript(kScript);
    ASSERT_TRUE(m_app->InitInstance());
    CVeyBufferManager::GetInstance().SetValue(FindValue("fm.common.level"), 42);
    const std::string document = m_program.File("handed.q9e");
    ASSERT_TRUE(CVeyDataFile::GetInstance().Save(document));
    CVeyBufferManager::GetInstance().SetValue(FindValue("fm.common.level"), 1);
    m_home.boxes.clear();
    // The user has put the editor away.
    ShowWindowState(m_app->m_pMainWnd, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(m_app->m_pMainWnd));

    CChildProcess second(Q9_EDITOR_SECOND_START, {m_home.channel.Path(), m_home.config.Path(), "\"" + document + "\""});
    ASSERT_TRUE(GT::CInstanceManager::WaitForRequests(1, CChildProcess::kBoundMs));
    EXPECT_EQ(second.ReadLine(), "exit:0");
    EXPECT_EQ(second.Wait(), 0);
    // The request is carried out at the main loop's next idle pass, not inside whatever loop
    // received it.
    EXPECT_EQ(m_app->GetPendingRequestCount(), 1u);
    EXPECT_EQ(FindValue("fm.common.level")->GetNumber(), 1);
    m_app->OnIdle(0);
    EXPECT_EQ(m_app->GetPendingRequestCount(), 0u);
    EXPECT_EQ(FindValue("fm.common.level")->GetNumber(), 42);
    EXPECT_FALSE(IsIconic(m_app->m_pMainWnd)) << "the first instance comes back to the front";
    EXPECT_TRUE(m_app->m_pMainWnd->IsWindowVisible());
    EXPECT_EQ(m_app->m_pMainWnd->GetWindowText(), "Talvarix Editor - " + document);
    EXPECT_TRUE(m_home.boxes.empty()) << "the second start shows nothing";
}

TEST(OpenRequest, PathOfTheShellsOpenCommand)
{
    struct CCase
    {
        const char* request;
        const char* path;
    };
    const CCase cases[] = {
        {"[open(\"/home/u/a patch.q9e\")]", "/home/u/a patch.q9e"},
        {"", ""},
        {"[open(\"\")]", ""},
        {"[open(\"/x.q9e\")", ""},
        {"[print(\"/x.q9e\")]", ""},
        {"[open(\"", ""},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.request);
        EXPECT_EQ(CApp::ParseOpenRequest(c.request), c.path);
    }
    EXPECT_EQ(CApp::ParseOpenRequest(CApp::MakeOpenRequest("/a/b.q9e")), "/a/b.q9e");
}

TEST_F(EditorStartupTest, ScreenshotOfTheMainFrameWithThePanelMain)
{
    // The bundled script beside the program when the build has placed it there; else a small
    // panel of our own with a drawn background and a few text controls.
    const std::string programFolder = std::filesystem::path(Q9EE_PROGRAM).parent_path().string();
    const bool bundled = std::filesystem::exists(programFolder + "/Script/Q9EE/Script.xml");
    if (bundled)
        SetProgramFolder(programFolder);
    else
    {
        WriteLookScript();
    }
    // The documents as the program has them, so the tool bar shows what the user would.
    m_app->SetDocumentRecord(std::make_unique<CDocumentDialog>());
    ASSERT_TRUE(m_app->InitInstance()) << ::testing::PrintToString(m_home.boxes);
    PumpAllMessages();
    mkdir("screenshots", 0755);
    const std::string picture = std::string("screenshots/editor-main-frame") + (bundled ? "" : "-fixture") + ".png";
    ASSERT_TRUE(UiDriver::SaveWindowPicture(*m_app->m_pMainWnd, picture));
    CBitmap saved;
    ASSERT_TRUE(saved.LoadFile(picture.c_str()));
    const CVeyRootPanel* main = CVeyViewManager::GetInstance().FindRootPanel("main");
    ASSERT_NE(main, nullptr);
    // The menu bar stands above the panel, which keeps its whole size below it.
    EXPECT_EQ(saved.GetSize().cx, main->GetRect().Width());
    EXPECT_GT(saved.GetSize().cy, main->GetRect().Height());
    CRect client;
    m_app->m_pMainWnd->GetClientRect(&client);
    EXPECT_EQ(client.Width(), main->GetRect().Width());
    EXPECT_EQ(client.Height(), main->GetRect().Height());

    // With the tool bar and the status bar shown, the status bar naming the button under the
    // pointer.
    auto* frame = dynamic_cast<CEditorMainFrame*>(m_app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    frame->RunCommand(CEditorMainFrame::kToolBarCommand);
    frame->RunCommand(CEditorMainFrame::kStatusBarCommand);
    frame->SendMessage(WM_TIMER, 1);
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 0));
    ASSERT_TRUE(UiDriver::HoverPopupMenuItem({0}));
    UiDriver::ClosePopupMenus();
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 4));
    ASSERT_TRUE(UiDriver::HoverPopupMenuItem({1}));
    const std::string prompt = frame->GetMenuBar().GetStatusText();
    UiDriver::ClosePopupMenus();
    EXPECT_EQ(prompt, "Display program information, version number and copyright");
    PumpAllMessages();
    const std::string withBars = std::string("screenshots/editor-main-frame-bars") + (bundled ? "" : "-fixture") + ".png";
    ASSERT_TRUE(UiDriver::SaveWindowPicture(*frame, withBars));
    m_app->m_pMainWnd->GetClientRect(&client);
    EXPECT_EQ(client.Width(), main->GetRect().Width());
    EXPECT_EQ(client.Height(), main->GetRect().Height());
}

namespace
{
// An instrument layer that notes what stands when start-up reaches it.
class CRecordingInstrument : public IEditorInstrumentLayer
{
public:
    explicit CRecordingInstrument(std::vector<std::string>* events) : m_events(events) {}
    std::function<void()> onInitialize;
    bool Initialize() override
    {
        m_events->push_back("initialize");
        if (onInitialize)
            onInitialize();
        return true;
    }
    bool ReadAll() override { return m_events->push_back("read all"), true; }
    bool WriteAllChecked() override { return m_events->push_back("write all checked"), true; }
    bool WriteAll() override { return m_events->push_back("write all"), true; }
    bool SaveViewState(const std::string& path) override
    {
        m_events->push_back("save view state");
        return WriteFileBytes(path, "view state\n");
    }

private:
    std::vector<std::string>* m_events;
};
}

TEST_F(EditorStartupTest, StartUpRunsInOrderAndALaterStartsDocumentWaitsUntilItHasFinished)
{
    WriteScript(kScript);
    CVeyValue* level = nullptr;
    std::vector<std::string> events;
    CRecordingInstrument instrument(&events);
    m_app->SetInstrumentLayer(&instrument);
    SetMessageBoxHook([&](const char* text, const char*, UINT) {
        events.push_back(std::string("box:") + text);
        if (level)
            events.push_back("level " + std::to_string(level->GetNumber()));
        return IDOK;
    });

    // A document handed over by a later start while this one is still starting.
    const std::string document = m_program.File("early.q9e");
    std::unique_ptr<CChildProcess> second;
    instrument.onInitialize = [&] {
        // The managers exist, the data file is bound, the main frame shows the panel "main", the
        // splash is gone and the language is chosen before the instrument layer is set up.
        level = FindValue("fm.common.level");
        ASSERT_NE(level, nullptr);
        EXPECT_NE(CVeyDataFile::GetInstance().GetRootStruct(), nullptr);
        ASSERT_NE(m_app->m_pMainWnd, nullptr);
        EXPECT_TRUE(m_app->m_pMainWnd->IsWindowVisible());
        EXPECT_FALSE(CSplash::GetInstance().IsShown());
        EXPECT_EQ(GetMessageTable().GetSelectedSet(), GT::CIndexedStringTable::kEnglishSet);

        CVeyBufferManager::GetInstance().SetValue(level, 64);
        ASSERT_TRUE(CVeyDataFile::GetInstance().Save(document));
        CVeyBufferManager::GetInstance().SetValue(level, 1);
        second = std::make_unique<CChildProcess>(Q9_EDITOR_SECOND_START,
                                                 std::vector<std::string>{m_home.channel.Path(), m_home.config.Path(), document});
        ASSERT_TRUE(GT::CInstanceManager::WaitForRequests(1, CChildProcess::kBoundMs));
        events.push_back("request received");
    };

    ASSERT_TRUE(m_app->InitInstance());
    ASSERT_NE(level, nullptr);
    // The request was held while starting: no devices, so message 10 (the last step of the
    // start-up) with the document not yet opened, and nothing read. Once start-up has finished,
    // the queued request opens the document.
    const std::vector<std::string> expected = {"initialize", "request received", std::string("box:") + kMidiNotSetUp,
                                               "level 1"};
    EXPECT_EQ(events, expected);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(CChildProcess::kBoundMs);
    for (LONG pass = 0; FindValue("fm.common.level")->GetNumber() != 64 && std::chrono::steady_clock::now() < deadline; ++pass)
    {
        PumpAllMessages();
        m_app->OnIdle(pass);
    }
    EXPECT_EQ(FindValue("fm.common.level")->GetNumber(), 64);
    EXPECT_EQ(m_app->m_pMainWnd->GetWindowText(), "Talvarix Editor - " + document);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->ReadLine(), "exit:0");
    EXPECT_EQ(second->Wait(), 0);

    // Exit saves the view state and the window positions into the user data folder.
    events.clear();
    EXPECT_EQ(Exit(), 0);
    EXPECT_EQ(events, std::vector<std::string>{"save view state"});
    const std::string userData = m_home.data.Path() + "/Vantor/Talvarix Editor/";
    EXPECT_EQ(ReadFileBytes(userData + "ViewState.txt"), "view state\n");
    EXPECT_NE(ReadFileBytes(userData + "WindowPosition.txt").find("main"), std::string::npos);
}

TEST_F(EditorStartupTest, MenuBarRunsTheEditorsCommandsAndLeavesGreyedOnesAlone)
{
    WriteScript(kScript);
    ASSERT_TRUE(m_app->InitInstance());
    std::vector<bool> chooserModes;
    std::string chosenPath = m_program.File("saved.q9e");
    auto documents = std::make_unique<CDocumentDialog>();
    documents->SetChooser([&](bool open, const std::string&, const std::string&) {
        chooserModes.push_back(open);
        return chosenPath;
    });
    documents->SetAsker([](const std::string&) { return IDNO; });
    m_app->SetDocumentRecord(std::move(documents));
    auto* frame = dynamic_cast<CEditorMainFrame*>(m_app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    PumpAllMessages();

    EXPECT_EQ(UiDriver::DescribeMenuBar(*frame),
              (std::vector<std::string>{"&File", "&Edit", "&View", "&Setup", "&Help"}));
    // The panel keeps its whole size below the bar.
    CRect client;
    frame->GetClientRect(&client);
    EXPECT_EQ(client.Width(), 200);
    EXPECT_EQ(client.Height(), 100);

    // No user patch is current, so the patch cannot be exported: the entry is greyed when the menu
    // opens, and choosing it runs nothing (no file dialog).
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 0));
    EXPECT_EQ(UiDriver::DescribePopupMenu(),
              (std::vector<std::string>{"&Open...\tCtrl+O", "-", "&Save\tCtrl+S", "Save &As...", "-",
                                        "Import S&MF...", "~Export SM&F...", "-", "E&xit"}));
    EXPECT_FALSE(frame->GetMenuBar().IsCommandEnabled(CEditorCommands::kExportSmf));
    UiDriver::ChoosePopupMenuItem({6});
    PumpAllMessages();
    EXPECT_TRUE(chooserModes.empty());
    UiDriver::ClosePopupMenus();

    // Save As asks for a name in save mode and writes the document there.
    CVeyBufferManager::GetInstance().SetValue(FindValue("fm.common.level"), 42);
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 0));
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({3}));
    PumpAllMessages();
    EXPECT_EQ(chooserModes, std::vector<bool>{false});
    ASSERT_TRUE(std::filesystem::exists(chosenPath));
    EXPECT_EQ(m_app->GetDocumentRecord().GetCurrentPath(), chosenPath);

    // Ctrl+S saves to the same file without asking again.
    CVeyBufferManager::GetInstance().SetValue(FindValue("fm.common.level"), 43);
    frame->SetActiveWindow();
    frame->SetFocus();
    ASSERT_TRUE(UiDriver::PressKey('S', MK_CONTROL));
    PumpAllMessages();
    EXPECT_EQ(chooserModes, std::vector<bool>{false});
    CVeyBufferManager::GetInstance().SetValue(FindValue("fm.common.level"), 42);

    // Open through the menu reads it back.
    CVeyBufferManager::GetInstance().SetValue(FindValue("fm.common.level"), 5);
    ASSERT_TRUE(CVeyDataFile::GetInstance().Save(m_program.File("scratch.q9e")));
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 0));
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({0}));
    PumpAllMessages();
    EXPECT_EQ(chooserModes, (std::vector<bool>{false, true}));
    EXPECT_EQ(FindValue("fm.common.level")->GetNumber(), 43);

    // The Setup menu opens the MIDI set-up at any time (the dialog itself is tested with the
    // MIDI framework, over this same layout).
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 3));
    EXPECT_EQ(UiDriver::DescribePopupMenu(), std::vector<std::string>{"Set Up &MIDI Devices..."});
    EXPECT_TRUE(frame->GetMenuBar().IsCommandEnabled(CEditorCommands::kSetUpMidi));
    UiDriver::ClosePopupMenus();

    // The Edit menu holds the patch clipboard's copy and paste parts as sub-menus.
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 1));
    EXPECT_EQ(UiDriver::DescribePopupMenu({1}),
              (std::vector<std::string>{"Patch Tone 1", "Patch Tone 2", "Patch Tone 3", "Patch Tone 4", "-",
                                        "Patch MFX", "Patch Chorus", "Patch Reverb"}));
    mkdir("screenshots", 0755);
    UiDriver::ChoosePopupMenuItem({1, 0});
    UiDriver::ClosePopupMenus();
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 0));
    // The frame and its open menu, and nothing of the panel windows beside it.
    const std::string menuPicture = "screenshots/editor-main-frame-file-menu.png";
    ASSERT_TRUE(UiDriver::SaveWindowWithMenusPicture(*frame, menuPicture));
    {
        CBitmap saved;
        ASSERT_TRUE(saved.LoadFile(menuPicture.c_str()));
        CRect inner;
        frame->GetClientRect(&inner);
        EXPECT_GE(saved.GetSize().cx, inner.Width());
        EXPECT_GT(saved.GetSize().cy, inner.Height());
        // The menu bar's own colour at its right end, where no title lies.
        EXPECT_NE(saved.GetRow(4)[inner.Width() - 4] & 0xFFFFFFu, 0u) << "the menu bar, not black";
    }

    // Exit closes the frame as its close box does, which ends the message loop.
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({8}));
    EXPECT_EQ(m_app->Run(), 0);
    EXPECT_EQ(Exit(), 0);
}

TEST_F(EditorStartupTest, TheDiagnosticWindowHoldsEveryLineAndIsShownFromTheViewMenu)
{
    WriteScript(kScript);
    GetTraceTextOut().Write("Unable to find bitmap. : before the window\n");
    ASSERT_TRUE(m_app->InitInstance());
    auto* frame = dynamic_cast<CEditorMainFrame*>(m_app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    PumpAllMessages();
    EXPECT_EQ(UL::GetTraceWindow(), nullptr) << "made when the user first asks for it";
    GetTraceTextOut().Write("Unable to create control knob. : after start-up\n");
    PumpAllMessages();

    // View > Diagnostics makes it with every line so far, shows it, marked, and hides it again.
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 2));
    EXPECT_EQ(UiDriver::DescribePopupMenu().back(), "&Diagnostics");
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({3}));
    PumpAllMessages();
    UL::CTextOutWindow* window = UL::GetTraceWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->IsWindowVisible());
    GetTraceTextOut().Write("Unable to create control slider. : while shown\n");
    PumpAllMessages();
    const std::string text = window->GetControl().GetText();
    EXPECT_NE(text.find("before the window"), std::string::npos) << text;
    EXPECT_NE(text.find("after start-up"), std::string::npos) << text;
    EXPECT_NE(text.find("while shown"), std::string::npos) << text;
    window->SendMessage(WM_CLOSE);
    EXPECT_TRUE(window->IsWindowVisible()) << "only the menu hides it";
    window->MoveWindow(RECT{120, 130, 620, 430});
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 2));
    EXPECT_EQ(UiDriver::DescribePopupMenu().back(), "*&Diagnostics");
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({3}));
    PumpAllMessages();
    EXPECT_FALSE(window->IsWindowVisible());

    // Its place is kept for the next start.
    CRect left;
    window->GetWindowRect(&left);
    frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(m_app->Run(), 0);
    EXPECT_EQ(Exit(), 0);
    EXPECT_EQ(UL::GetTraceWindow(), nullptr);
    char stored[64];
    std::snprintf(stored, sizeof stored, "%d,%d,%d,%d,0", int(left.left), int(left.top), int(left.right), int(left.bottom));
    EXPECT_EQ(GetProfileString("TextOutWindow", "Position"), stored);
    Restart("");
    ASSERT_TRUE(m_app->InitInstance());
    EXPECT_EQ(UL::GetTraceWindow(), nullptr);
    // Made (as the View menu makes it before showing it) where it was left.
    ASSERT_NE(CreateTraceTextOutWindow(), nullptr);
    CRect placed;
    UL::GetTraceWindow()->GetWindowRect(&placed);
    EXPECT_EQ(placed, left);
}

// The tool bar and the status bar start hidden; the View menu shows them, the panel keeps its size
// and place under the pointer, the status bar names what the pointer is over, and the next start
// shows the bars as they were left, unless the program's version has changed since.
TEST_F(EditorStartupTest, ViewMenuShowsTheBarsAndTheNextStartKeepsThemUnlessTheVersionChanged)
{
    WriteScript(kScript);
    ASSERT_TRUE(m_app->InitInstance());
    auto* frame = dynamic_cast<CEditorMainFrame*>(m_app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    PumpAllMessages();
    CWindowMenuBar& bars = frame->GetMenuBar();
    EXPECT_FALSE(bars.IsToolBarShown());
    EXPECT_FALSE(bars.IsStatusBarShown());
    CRect outer;
    frame->GetWindowRect(&outer);
    const int hiddenHeight = outer.Height();

    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 2));
    EXPECT_EQ(UiDriver::DescribePopupMenu(), (std::vector<std::string>{"&Tool Bar", "&Status Bar", "-", "&Diagnostics"}));
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({0}));
    PumpAllMessages();
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 2));
    EXPECT_EQ(UiDriver::DescribePopupMenu(), (std::vector<std::string>{"*&Tool Bar", "&Status Bar", "-", "&Diagnostics"}));
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({1}));
    PumpAllMessages();
    EXPECT_TRUE(bars.IsToolBarShown());
    EXPECT_TRUE(bars.IsStatusBarShown());

    // The window grew by the bars; the panel did not move within its client area nor change size.
    frame->GetWindowRect(&outer);
    EXPECT_GT(outer.Height(), hiddenHeight);
    CRect client;
    frame->GetClientRect(&client);
    EXPECT_EQ(client.Width(), 200);
    EXPECT_EQ(client.Height(), 100);
    CPoint origin(0, 0);
    frame->ClientToScreen(&origin);
    EXPECT_GT(origin.y, outer.top);
    EXPECT_LT(origin.y + 100, outer.bottom);

    // Prompts: the status bar shows the command's line while a menu entry is under the pointer.
    EXPECT_EQ(CEditorMainFrame::CommandPrompt(CEditorCommands::kAbout),
              "Display program information, version number and copyright");
    EXPECT_EQ(CEditorMainFrame::CommandPrompt(CEditorCommands::kCopyTone1 + 2), "Copy Patch Tone 3");
    EXPECT_EQ(CEditorMainFrame::CommandPrompt(1), "");
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 0));
    EXPECT_TRUE(UiDriver::HoverPopupMenuItem({2}));
    EXPECT_EQ(bars.GetStatusText(), "Save the active document");
    UiDriver::ClosePopupMenus();
    PumpAllMessages();
    EXPECT_EQ(bars.GetStatusText(), "");

    // Hide the tool bar again, close: the next start shows only the status bar.
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 2));
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({0}));
    PumpAllMessages();
    frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(m_app->Run(), 0);
    Restart("");
    ASSERT_TRUE(m_app->InitInstance());
    frame = dynamic_cast<CEditorMainFrame*>(m_app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(frame->GetMenuBar().IsToolBarShown());
    EXPECT_TRUE(frame->GetMenuBar().IsStatusBarShown());
    frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(m_app->Run(), 0);

    // Another version of the program since the last close: the bars start hidden once.
    ASSERT_TRUE(WriteProfileString("Version", "FileVersion", "0.9.0.0"));
    Restart("");
    ASSERT_TRUE(m_app->InitInstance());
    frame = dynamic_cast<CEditorMainFrame*>(m_app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(frame->GetMenuBar().IsToolBarShown());
    EXPECT_FALSE(frame->GetMenuBar().IsStatusBarShown());
}

// Maximised, the main frame has neither caption nor menu bar and shows the panel at its size,
// centred on black; a double click beside the panel or the window manager's restore brings the
// window back as it was, and a close while maximised makes the next start maximised.
TEST_F(EditorStartupTest, MaximisedMainFrameShowsThePanelCentredOnBlackWithoutCaptionOrMenu)
{
    WriteLookScript();
    ASSERT_TRUE(m_app->InitInstance());
    auto* frame = dynamic_cast<CEditorMainFrame*>(m_app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    PumpAllMessages();
    CRect normal;
    frame->GetWindowRect(&normal);

    // The window manager maximises the window.
    ASSERT_TRUE(ShowWindowState(frame, SW_MAXIMIZE));
    PumpAllMessages();
    EXPECT_TRUE(frame->IsCaptionlessMaximized());
    EXPECT_FALSE(frame->GetMenuBar().IsShown());
    auto expectCentred = [&] {
        CRect outer, client;
        frame->GetWindowRect(&outer);
        frame->GetClientRect(&client);
        EXPECT_EQ(client.Width(), 360);
        EXPECT_EQ(client.Height(), 120);
        EXPECT_GT(outer.Width(), 360);
        CPoint origin(0, 0);
        frame->ClientToScreen(&origin);
        EXPECT_EQ(origin.x - outer.left, (outer.Width() - 360) / 2);
        EXPECT_EQ(origin.y - outer.top, (outer.Height() - 120) / 2);
    };
    expectCentred();
    mkdir("screenshots", 0755);
    const std::string picture = "screenshots/editor-main-frame-maximized.png";
    ASSERT_TRUE(UiDriver::SaveWindowPicture(*frame, picture));
    CBitmap saved;
    ASSERT_TRUE(saved.LoadFile(picture.c_str()));
    const CSize size = saved.GetSize();
    ASSERT_GT(size.cx, 360);
    ASSERT_GT(size.cy, 120);
    EXPECT_EQ(saved.GetRow(2)[2] & 0xFFFFFFu, 0u) << "black around the panel";
    const uint32_t middle = saved.GetRow(size.cy / 2)[size.cx / 2] & 0xFFFFFFu;
    EXPECT_NE(middle, 0u) << "the panel's background in the middle";

    // A double click on the black beside the panel leaves the mode: caption, menu and size back.
    ASSERT_TRUE(UiDriver::DoubleClick(*frame, CPoint(-8, -8)));
    PumpAllMessages();
    EXPECT_FALSE(frame->IsCaptionlessMaximized());
    EXPECT_FALSE(IsZoomed(frame));
    EXPECT_TRUE(frame->GetMenuBar().IsShown());
    CRect restored, client;
    frame->GetWindowRect(&restored);
    frame->GetClientRect(&client);
    EXPECT_EQ(restored.Size(), normal.Size());
    EXPECT_EQ(client.Width(), 360);
    EXPECT_EQ(client.Height(), 120);

    // Maximised at close: the next start opens maximised, and the window manager's restore ends it
    // where the window was before.
    const CRect placed(CPoint(120, 90), restored.Size());
    ASSERT_TRUE(SetWindowOuterRect(frame, placed));
    PumpAllMessages();
    ASSERT_TRUE(ShowWindowState(frame, SW_MAXIMIZE));
    PumpAllMessages();
    frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(m_app->Run(), 0);
    EXPECT_TRUE(IsWindowMaximized(CEditorMainFrame::kClassName));
    Restart("");
    ASSERT_TRUE(m_app->InitInstance());
    frame = dynamic_cast<CEditorMainFrame*>(m_app->m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    PumpAllMessages();
    EXPECT_TRUE(frame->IsCaptionlessMaximized());
    EXPECT_TRUE(IsZoomed(frame));
    EXPECT_FALSE(frame->GetMenuBar().IsShown());
    expectCentred();
    ASSERT_TRUE(ShowWindowState(frame, SW_RESTORE));
    PumpAllMessages();
    EXPECT_FALSE(frame->IsCaptionlessMaximized());
    EXPECT_TRUE(frame->GetMenuBar().IsShown());
    frame->GetWindowRect(&restored);
    EXPECT_EQ(restored.TopLeft(), placed.TopLeft());
    frame->GetClientRect(&client);
    EXPECT_EQ(client.Width(), 360);
    EXPECT_EQ(client.Height(), 120);
    frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(m_app->Run(), 0);
    EXPECT_FALSE(IsWindowMaximized(CEditorMainFrame::kClassName));
}

TEST_F(EditorStartupTest, FramesSavedOffTheScreenComeBackOntoIt)
{
    WriteScript(kScript);
    // Positions from a larger screen layout than this one.
    const std::string userData = m_home.data.Path() + "/Vantor/Talvarix Editor/";
    std::filesystem::create_directories(userData);
    ASSERT_TRUE(WriteFileBytes(userData + "WindowPosition.txt", "main\n9000,7000\nsub\n-5000,8000\n"));
    ASSERT_TRUE(m_app->InitInstance());
    ASSERT_TRUE(CVeyViewManager::GetInstance().OpenRootPanel("sub"));
    auto* sub = dynamic_cast<CWindowRootPanel*>(CVeyViewManager::GetInstance().FindRootPanel("sub"));
    ASSERT_NE(sub, nullptr);
    CRect work;
    ASSERT_TRUE(GetScreenWorkArea(&work));
    for (CWnd* frame : {m_app->m_pMainWnd, static_cast<CWnd*>(sub->GetWindow())})
    {
        ASSERT_NE(frame, nullptr);
        CRect outer;
        frame->GetWindowRect(&outer);
        EXPECT_GE(outer.left, work.left);
        EXPECT_GE(outer.top, work.top);
        EXPECT_LE(outer.right, work.right);
        EXPECT_LE(outer.bottom, work.bottom);
    }
}

TEST_F(EditorStartupTest, PanelTicksWaitWhileATransferShowsItsProgressWindow)
{
    // A held increment button steps its value on the panel timer's ticks.
    WriteScript(R"(<?xml version="1.0" encoding="ISO-8859-1"?>
<script>
<bitmap><name>button.png</name><stateCount>2</stateCount></bitmap>
<structType><type>commonT</type><name>$name</name><address>$address</address>
  <value><type>int1x7</type><name>level</name><default>0</default></value>
</structType>
<structType><type>fmT</type><name>$name</name><address>$address</address>
  <struct><type>commonT</type><name>common</name><address>00 00 00 00</address></struct>
</structType>
<struct><type>fmT</type><name>fm</name><address>1F 00 00 00</address></struct>
<panelType><type>mainT</type><name>main</name><position>0,0</position><size>100,60</size>
  <control><type>incrementButton</type><name>up</name><position>10,10</position><size>20,10</size><bitmapRef>button.png</bitmapRef><valueRef>fm.common.level</valueRef></control>
</panelType>
<panel><type>mainT</type></panel>
</script>
)");
    // Two states, one above the other.
    ASSERT_TRUE(WritePicture(m_program.Path() + "/Script/Q9EE/button.png", 20, 20,
                             [](int, int y) { return y < 10 ? 0xFF808080u : 0xFFC0C0C0u; }));
    CVirtualClock clock;
    ASSERT_TRUE(m_app->InitInstance());
    CVeyValue* level = FindValue("fm.common.level");
    ASSERT_NE(level, nullptr);
    CWnd* frame = m_app->m_pMainWnd;
    const LPARAM onButton = (15 << 16) | 15;
    frame->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, onButton);
    const int32_t pressed = level->GetNumber();

    // The progress window, as a transfer (or a long view refresh) shows it.
    IVeyUpdateProgress& progress = CViewUpdateProgress::GetInstance();
    progress.SetRange(3);
    progress.Begin();
    clock.Advance(1000);
    frame->SendMessage(WM_TIMER, CPanelWindow::kTimerId);
    EXPECT_EQ(level->GetNumber(), pressed) << "no panel tick runs inside the transfer";
    progress.End();

    frame->SendMessage(WM_TIMER, CPanelWindow::kTimerId);
    EXPECT_EQ(level->GetNumber(), pressed + 1) << "the held button repeats again once the transfer is over";
    frame->SendMessage(WM_LBUTTONUP, 0, onButton);
}
