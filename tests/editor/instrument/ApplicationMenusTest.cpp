// The popup menus of the main panel's FILE, EDIT, SETUP and HELP buttons, on the bundled script
// with the simulated Talvarix: what each menu shows in English and Japanese, which entries are
// greyed, and what each chosen entry runs; the manual and the about box of the Help menu.
#include "editor/CApplicationMenus.h"
#include "editor/CDocumentDialog.h"
#include "editor/CEditorAbout.h"
#include "editor/CEditorCommands.h"
#include "editor/EditorNames.h"
#include "editor/instrument/CBufferAccessor.h"
#include "midi/framework/CVeyFunctorRegistry.h"
#include "midi/framework/VeyFunctors.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyStruct.h"
#include "model/CVeyValue.h"
#include "platform/Controls.h"
#include "platform/Shell.h"
#include "platform/ShellOpen.h"
#include "tests/editor/instrument/InstrumentRig.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "tests/toolkit/ul/InteractiveTestSupport.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/gt/VersionInfo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace
{
using Lines = std::vector<std::string>;

// Runs `run` (which shows a menu); `inMenu` runs while the menu is open, then whatever is still
// open is closed.
bool WithMenu(const std::function<bool()>& run, std::function<void()> inMenu)
{
    UlTest::CPostedActions actions;
    actions.Post(std::move(inMenu));
    actions.PostEndEverything();
    return run();
}

// Chooses the entry at `positions` (separators counted) of the menu `run` shows.
bool Choose(const std::function<bool()>& run, std::vector<int> positions)
{
    return WithMenu(run, [positions] { EXPECT_TRUE(UiDriver::ChoosePopupMenuItem(positions)); });
}

// The menu's top level and the sub-menus at the given positions, as the user sees them.
Lines Describe(const std::function<bool()>& run, std::vector<int> subMenu = {})
{
    Lines lines;
    WithMenu(run, [&lines, subMenu] { lines = UiDriver::DescribePopupMenu(subMenu); });
    return lines;
}

// The shown dialog with that caption, or null.
CDialog* ShownDialog(const std::string& caption)
{
    for (CWnd* window : CWnd::GetTopLevelWindows())
        if (auto* dialog = dynamic_cast<CDialog*>(window); dialog && dialog->IsWindowVisible() && dialog->GetWindowText() == caption)
            return dialog;
    return nullptr;
}

// Chooses the entry at `positions` of the menu `run` shows; once the modal dialog with `caption`
// that the entry opens is shown, `inDialog` runs on it, then whatever is still open is closed.
bool ChooseIntoDialog(const std::function<bool()>& run, std::vector<int> positions, const std::string& caption,
                      const std::function<void(CDialog&)>& inDialog)
{
    UlTest::CPostedActions actions;
    actions.Post([positions] { EXPECT_TRUE(UiDriver::ChoosePopupMenuItem(positions)); });
    // The menu's loop may still turn once after the choice: wait for the dialog to be shown.
    int turns = 0;
    std::function<void()> whenShown = [&] {
        CDialog* dialog = ShownDialog(caption);
        if (!dialog && ++turns < 1000)
        {
            actions.Post(whenShown);
            return;
        }
        if (dialog)
            inDialog(*dialog);
        else
            ADD_FAILURE() << "no dialog \"" << caption << "\" was shown";
        actions.PostEndEverything();
    };
    actions.Post(whenShown);
    return run();
}

// The hex text of a message as the MIDI message value shows it.
std::string HexText(const std::vector<BYTE>& bytes)
{
    std::string text;
    char hex[4];
    for (BYTE b : bytes)
    {
        std::snprintf(hex, sizeof hex, "%s%02X", text.empty() ? "" : " ", b);
        text += hex;
    }
    return text;
}
}

class ApplicationMenusTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_rig.SetUp(m_folder.File("ViewState.txt"))) << m_trace.Text();
        // The application registers the main panel's menu buttons as it opens the panel.
        ApplicationMenus::RegisterMenuFunctors();
        GetMessageTable().SelectSet(GT::CIndexedStringTable::kEnglishSet);
        m_savedHook = SetMessageBoxHook([this](const char* text, const char*, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
        // Which file dialog a command opened, and in which mode; each is cancelled.
        m_documents.SetChooser([this](bool open, const std::string&, const std::string&) {
            m_chosen.push_back(open ? "open document" : "save document");
            return std::string();
        });
        m_documents.SetAsker([](const std::string&) { return IDNO; });
        CSmfDialog::GetInstance().SetChooser([this](bool open, const std::string&, const std::string&) {
            m_chosen.push_back(open ? "open SMF" : "save SMF");
            return std::string();
        });
    }
    void TearDown() override
    {
        CSmfDialog::GetInstance().SetChooser(nullptr);
        SetMessageBoxHook(m_savedHook);
        GetMessageTable().SelectSet(GT::CIndexedStringTable::kEnglishSet);
        m_rig.TearDown();
    }

    CVeyValue& Value(const std::string& path) { return *CVeyBufferManager::GetInstance().FindValueOrNull(path); }
    const std::vector<BYTE>& Data(const std::string& path)
    {
        return *CVeyBufferManager::GetInstance().FindStructOrNull(path)->GetData();
    }
    void Set(const std::string& path, int32_t number) { CommitValue(path, number); }
    std::function<bool()> FileMenu()
    {
        return [this] { return ApplicationMenus::RunFileMenu(m_commands); };
    }
    std::function<bool()> EditMenu()
    {
        return [this] { return ApplicationMenus::RunEditMenu(m_rig.accessor); };
    }

    CTraceCapture m_trace;
    CTempDir m_folder;
    CInstrumentRig m_rig;
    CDocumentDialog m_documents;
    CEditorCommands m_commands{m_rig.accessor, m_documents};
    std::vector<std::string> m_chosen;
    std::vector<std::string> m_boxes;
    MessageBoxHook m_savedHook;
};

TEST_F(ApplicationMenusTest, TheFileMenuRunsTheMainMenusCommandsByLeafPastItsSeparators)
{
    EXPECT_EQ(Describe(FileMenu()), (Lines{"Open...        Ctrl+O", "-", "Save             Ctrl+S", "SaveAs...", "-",
                                           "Import SMF...", "Export SMF>"}));
    EXPECT_EQ(Describe(FileMenu(), {6}), Lines{"Patch..."}) << "the rig's instrument plays user patch 6";

    struct SCase
    {
        std::vector<int> positions;
        const char* dialog;
    };
    const SCase cases[] = {
        {{0}, "open document"},
        {{2}, "save document"},   // Save is leaf 1: an untitled document asks for a name
        {{3}, "save document"},
        {{5}, "open SMF"},
        {{6, 0}, "save SMF"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.dialog);
        m_chosen.clear();
        EXPECT_TRUE(Choose(FileMenu(), c.positions));
        EXPECT_EQ(m_chosen, Lines{c.dialog});
    }

    // Dismissed: nothing runs.
    m_chosen.clear();
    EXPECT_FALSE(WithMenu(FileMenu(), [] { UiDriver::ClosePopupMenus(); }));
    EXPECT_TRUE(m_chosen.empty());
    EXPECT_TRUE(m_boxes.empty()) << ::testing::PrintToString(m_boxes);
}

TEST_F(ApplicationMenusTest, ThePatchExportIsGreyedWhileTheInstrumentPlaysNoUserPatch)
{
    // A preset bank (the image's values set behind the handlers' back, as a read could leave them).
    Value("fm.setup.kbdPatchBankSelectMsb").SetNumber(81);
    ASSERT_NE(m_rig.accessor.GetEditContext().GetCurrentEntityId().GetKey1(), 0);
    EXPECT_EQ(Describe(FileMenu(), {6}), Lines{"~Patch..."});
    // The greyed entry does not take the choice; the menu is dismissed and nothing runs.
    EXPECT_FALSE(WithMenu(FileMenu(), [] {
        UiDriver::ChoosePopupMenuItem({6, 0});
        UiDriver::ClosePopupMenus();
    }));
    EXPECT_TRUE(m_chosen.empty());
}

TEST_F(ApplicationMenusTest, TheEditMenuHandsEachLeafsOperationToThePatchClipboard)
{
    EXPECT_EQ(Describe(EditMenu()),
              (Lines{"Initialize>", "Copy>", "Paste>", "-", "Copy MIDI Message to Clipboard"}));
    EXPECT_EQ(Describe(EditMenu(), {0}), Lines{"Patch"});
    const Lines parts{"Patch Tone 1", "Patch Tone 2", "Patch Tone 3", "Patch Tone 4", "Patch Set MFX", "Patch Chorus", "Patch Reverb"};
    EXPECT_EQ(Describe(EditMenu(), {1}), parts);
    Lines greyed;
    for (const std::string& part : parts)
        greyed.push_back("~" + part);
    EXPECT_EQ(Describe(EditMenu(), {2}), greyed) << "nothing has been copied yet";

    // Each tone copied through the menu and pasted into the next one through the menu.
    for (int tone = 0; tone < 4; ++tone)
    {
        SCOPED_TRACE("tone " + std::to_string(tone + 1));
        const int next = (tone + 1) % 4;
        const std::string source = "fm.pat.tone[" + std::to_string(tone) + "]";
        const std::string target = "fm.pat.tone[" + std::to_string(next) + "]";
        Set(source + ".toneLevel", 10 + tone);
        Set(target + ".toneLevel", 100);
        ASSERT_TRUE(Choose(EditMenu(), {1, tone}));
        ASSERT_TRUE(Choose(EditMenu(), {2, next}));
        EXPECT_EQ(Data(target), Data(source));
    }
    // Each effect copied, changed, and pasted back.
    const struct
    {
        const char* block;
        const char* parameter;
        int position;
    } effects[] = {
        {"fm.pat.mfx", "fm.pat.mfx.mfxParameter1", 4},
        {"fm.pat.cho", "fm.pat.cho.chorusLevel", 5},
        {"fm.pat.rev", "fm.pat.rev.reverbLevel", 6},
    };
    for (const auto& effect : effects)
    {
        SCOPED_TRACE(effect.block);
        const std::vector<BYTE> copied = Data(effect.block);
        ASSERT_TRUE(Choose(EditMenu(), {1, effect.position}));
        CVeyValue& parameter = Value(effect.parameter);
        Set(effect.parameter, parameter.GetNumber() == parameter.GetDefinition()->GetMin() ? parameter.GetDefinition()->GetMin() + 1
                                                                                          : parameter.GetDefinition()->GetMin());
        ASSERT_NE(Data(effect.block), copied);
        ASSERT_TRUE(Choose(EditMenu(), {2, effect.position}));
        EXPECT_EQ(Data(effect.block), copied);
    }
    // Initialize > Patch: the patch's values back at their defaults, sent to the instrument.
    m_rig.instrument.ClearLogs();
    ASSERT_TRUE(Choose(EditMenu(), {0, 0}));
    CVeyValue& level = Value("fm.pat.tone[0].toneLevel");
    EXPECT_EQ(level.GetNumber(), level.GetDefinition()->defaultNumber);
    EXPECT_FALSE(m_rig.instrument.GetAcceptedDataSets().empty());

    // Dismissed: nothing runs, nothing is sent.
    m_rig.instrument.ClearLogs();
    EXPECT_FALSE(WithMenu(EditMenu(), [] { UiDriver::ClosePopupMenus(); }));
    EXPECT_TRUE(m_rig.instrument.GetReceived().empty());

    // The leaves past the last operation have none.
    EXPECT_EQ(ApplicationMenus::EditOperationOf(14), CPatchClipboard::kPasteReverb);
    EXPECT_EQ(ApplicationMenus::EditOperationOf(ApplicationMenus::kCopyMidiMessageLeaf), -1);
    EXPECT_EQ(ApplicationMenus::EditOperationOf(-1), -1);
}

TEST_F(ApplicationMenusTest, CopyMidiMessagePutsTheLastSentMessageOnTheClipboard)
{
    SetClipboardText("before");
    Set("fm.pat.tone[1].toneLevel", 77);
    const auto sent = m_rig.instrument.GetAcceptedDataSets();
    ASSERT_FALSE(sent.empty());
    ASSERT_GT(Value("vs.midi.message").GetText().size(), HexText(sent.back().bytes).size())
        << "the value pads the text with blanks";
    ASSERT_TRUE(Choose(EditMenu(), {4}));
    std::string text;
    ASSERT_TRUE(GetClipboardText(&text));
    EXPECT_EQ(text, HexText(sent.back().bytes));
}

TEST_F(ApplicationMenusTest, InJapaneseTheMenusShowTheJapaneseTexts)
{
    GetMessageTable().SelectSet(GT::CIndexedStringTable::kJapaneseSet);
    EXPECT_EQ(Describe(FileMenu()), (Lines{"開く...        Ctrl+O", "-", "保存        Ctrl+S", "名前を付けて保存...", "-",
                                           "SMF をインポート...", "SMF をエクスポート>"}));
    const Lines edit = Describe(EditMenu());
    EXPECT_EQ(edit, (Lines{"初期化>", "コピー>", "貼り付け>", "-", "MIDI メッセージﾞをクリップボードにコピー"}));
    EXPECT_EQ(Describe(ApplicationMenus::RunSetupMenu), Lines{"MIDI 機器の設定..."});
    EXPECT_EQ(Describe(ApplicationMenus::RunHelpMenu), (Lines{"Talvarix Editor の使いかた", "Talvarix Editor について..."}));
}

TEST_F(ApplicationMenusTest, TheScriptsMenuFunctorsOpenTheirMenusAndAnswerNothing)
{
    CVeyFunctorRegistry& registry = CVeyFunctorRegistry::GetInstance();
    struct SCase
    {
        const char* name;
        Lines menu;
    };
    const SCase cases[] = {
        {"SelectEditMenu", {"Initialize>", "Copy>", "Paste>", "-", "Copy MIDI Message to Clipboard"}},
        {"SelectSetupMenu", {"Set Up MIDI Devices..."}},
        {"SelectHelpMenu", {"Talvarix Editor Manual", "About Talvarix Editor..."}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        Lines shown;
        std::string answer = "unchanged";
        WithMenu([&] {
            answer = registry.Invoke(c.name, "any argument", CVeyFunctorRegistry::kRunNow);
            return true;
        }, [&shown] { shown = UiDriver::DescribePopupMenu(); });
        EXPECT_EQ(shown, c.menu);
        EXPECT_EQ(answer, "");
    }
    // The File menu works on the application's documents: without an application it stays shut.
    Lines shown;
    WithMenu([&] {
        registry.Invoke("SelectFileMenu", "", CVeyFunctorRegistry::kRunNow);
        return true;
    }, [&shown] { shown = UiDriver::DescribePopupMenu(); });
    EXPECT_TRUE(shown.empty());
}

TEST_F(ApplicationMenusTest, TheAboutBoxShowsTheProgramsNameVersionAndCopyrightUntilOk)
{
    struct SShown
    {
        std::string caption, description, version, legal;
        bool icon = false;
    } shown;
    // The program folder the build lays out, with the program's icon in its resources.
    SetProgramFolder(std::filesystem::path(CBundledScript::Folder()).parent_path().parent_path().parent_path().string());
    EXPECT_TRUE(ChooseIntoDialog(ApplicationMenus::RunHelpMenu, {1}, "About Talvarix Editor", [&shown](CDialog& about) {
        shown.caption = about.GetWindowText();
        shown.description = about.GetDlgItemText(IDC_ABOUT_DESCRIPTION);
        shown.version = about.GetDlgItemText(IDC_ABOUT_VERSION);
        shown.legal = about.GetDlgItemText(IDC_ABOUT_LEGAL);
        auto* icon = dynamic_cast<CStatic*>(about.GetDlgItem(IDC_ABOUT_ICON));
        shown.icon = icon && icon->HasIcon();
        EXPECT_TRUE(UiDriver::SaveWindowPicture(about, UlTest::ScreenshotPath("editor-about-box.png")));
        // OK is the default button: Enter closes the box.
        UiDriver::PressKey(VK_RETURN);
    }));
    SetProgramFolder("");
    EXPECT_EQ(shown.caption, "About Talvarix Editor");
    EXPECT_EQ(shown.description, "Talvarix Editor");
    EXPECT_EQ(shown.version, "Version " + GT::GetVersionString("FileVersion"));
    EXPECT_NE(shown.legal.find("Copyright"), std::string::npos);
    EXPECT_NE(shown.legal.find("Vantor"), std::string::npos);
    EXPECT_TRUE(shown.icon);
    EXPECT_EQ(CModalLoop::EndAll(IDCANCEL), 0) << "OK closed the box";
}

TEST_F(ApplicationMenusTest, TheSetupMenuOpensTheMidiSetUp)
{
    bool shown = false;
    EXPECT_TRUE(ChooseIntoDialog(ApplicationMenus::RunSetupMenu, {0}, "Set Up MIDI Devices", [&shown](CDialog& dialog) {
        shown = true;
        dialog.EndDialog(IDCANCEL);
    }));
    EXPECT_TRUE(shown);
    EXPECT_EQ(CModalLoop::EndAll(IDCANCEL), 0);
}

TEST_F(ApplicationMenusTest, TheManualThatCannotBeShownIsNamedInAMessage)
{
    const std::string path = CEditorCommands::GetManualPath();
    EXPECT_NE(path.find("/Manual/TalvarixEditorManualE.pdf"), std::string::npos) << path;
    std::vector<std::string> opened;
    bool accept = true;
    SetShellOpenHandler([&](const std::string& file) {
        opened.push_back(file);
        return accept;
    });

    // No manual installed: the message names the file, the desktop is not asked.
    const bool existed = std::filesystem::exists(path);
    if (!existed)
    {
        EXPECT_TRUE(Choose(ApplicationMenus::RunHelpMenu, {0}));
        EXPECT_EQ(m_boxes, Lines{"The manual was not found:\n" + path});
        EXPECT_TRUE(opened.empty());
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    // A manual the desktop shows: no message; one it refuses: the message says so.
    m_boxes.clear();
    EXPECT_TRUE(CEditorCommands::OpenManual());
    EXPECT_TRUE(m_boxes.empty());
    accept = false;
    EXPECT_FALSE(CEditorCommands::OpenManual());
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].rfind("The manual could not be opened:\n" + path, 0), 0u) << m_boxes[0];
    EXPECT_EQ(opened, (Lines{path, path}));
    SetShellOpenHandler(nullptr);
    if (!existed)
    {
        std::filesystem::remove(path);
        std::filesystem::remove(std::filesystem::path(path).parent_path());
    }
}
