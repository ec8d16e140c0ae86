// The librarian's start-up, documents, lists and commands, through the application object.
#include "librarian/app/LibrarianCommands.h"
#include "librarian/app/LibrarianData.h"
#include "librarian/app/LibrarianDialogs.h"
#include "librarian/app/LibrarianFrames.h"
#include "librarian/app/PatchListOperations.h"
#include "librarian/app/RecentFiles.h"
#include "platform/Profile.h"
#include "platform/ShellOpen.h"
#include "platform/UiDriver.h"
#include "tests/librarian/app/LibrarianAppFixture.h"
#include "tests/librarian/gp/GpTestSupport.h"
#include "toolkit/gt/IndexedStringTable.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

using namespace LibrarianCommands;

namespace
{
CPatchArray NamedPatches(const std::vector<std::string>& names)
{
    CPatchArray patches;
    for (const std::string& name : names)
        patches.Add(std::make_unique<CPatch>(MakeLayoutPatch(name)));
    return patches;
}

std::string Trimmed(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// The shown column of every row, trailing blanks cut, joined by commas.
std::string Column(CParamView& view, int column)
{
    std::string texts;
    CPatchListCtrl& list = view.GetList();
    for (int row = 0; row < list.GetItemCount(); ++row)
        texts += (row ? "," : "") + Trimmed(list.GetItemText(row, column));
    return texts;
}

class LibrarianStartupTest : public CLibrarianAppTest
{
};

TEST_F(LibrarianStartupTest, WithoutInitialFileTheImageHoldsInitialisedPatches)
{
    ASSERT_TRUE(Start());
    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ("Unable to read initial file.", m_boxes[0]);
    ASSERT_EQ(256u, Image().GetSize());
    EXPECT_EQ("INIT PATCH  ", Image().At(255).GetName());
    CPatchListCtrl& list = ImageView().GetList();
    ASSERT_EQ(256, list.GetItemCount());
    EXPECT_EQ("1-1", list.GetItemText(0, 0));
    EXPECT_EQ("1-32", list.GetItemText(31, 0));
    EXPECT_EQ("2-1", list.GetItemText(32, 0));
    EXPECT_EQ("8-32", list.GetItemText(255, 0));
    EXPECT_EQ("INIT PATCH  ", list.GetItemText(0, 1));
    EXPECT_EQ("Talvarix Librarian - Main", m_app->GetMainFrame()->GetWindowText());
    EXPECT_TRUE(FileDocs().empty());
}

TEST_F(LibrarianStartupTest, InitialFileAndCommandLineFileAreOpened)
{
    CPatchArray initial = NamedPatches({"Template"});
    initial.At(0).SetText(0, "from the initial file");
    WriteInitialFile(initial);
    const std::string path = m_files.File("two.q9l");
    ASSERT_TRUE(WriteFileBytes(path, WriteBytes(MakeTwoPatchFixture())));
    // A link to the file, named as the desktop passes it, quoted.
    ASSERT_EQ(0, symlink(path.c_str(), m_files.File("link.lnk").c_str()));
    ASSERT_TRUE(Start("\"" + m_files.File("link.lnk") + "\""));
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ("Template    ", Image().At(17).GetName());
    EXPECT_EQ("from the initial file", Image().At(17).GetText(0));
    const std::vector<CFileDoc*> files = FileDocs();
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ(path, files[0]->GetPathName());
    EXPECT_FALSE(files[0]->IsModified());
    CParamView& view = ViewOf(*files[0]);
    EXPECT_EQ("1,2,End of Line", Column(view, 0));
    EXPECT_EQ(m_files.Path(), GetProfileString("Document", "InitialDirectory", ""));
    // The image's buttons for selected patches start disabled, though the file's window is the
    // active one.
    for (UINT id : {LibrarianIds::kReadSelectedButton, LibrarianIds::kWriteSelectedButton})
    {
        CWnd* button = ImageView().GetDlgItem(id);
        ASSERT_NE(nullptr, button);
        EXPECT_FALSE(button->IsWindowEnabled()) << id;
    }
}

TEST_F(LibrarianStartupTest, UnreadableCommandLineFileEndsStartUpCleanly)
{
    const std::string path = m_files.File("foreign.q9l");
    ASSERT_TRUE(WriteFileBytes(path, std::string(200, 'x')));
    EXPECT_FALSE(Start(path));
    EXPECT_EQ(std::vector<std::string>({"Unable to read initial file.", "Cannot read files of this type."}), m_boxes);
    // Releasing the reader, the writer and the windows twice would show under the sanitizers.
    EXPECT_EQ(1, Exit());
}

TEST_F(LibrarianStartupTest, HandedOverOpenRequests)
{
    ASSERT_TRUE(Start());
    const std::string path = m_files.File("a b.q9l");
    ASSERT_TRUE(WriteFileBytes(path, WriteBytes(MakeTwoPatchFixture())));
    EXPECT_FALSE(m_app->OnDDECommand("[open(\"" + path)) << "no closing quote";
    EXPECT_FALSE(m_app->OnDDECommand("[print(\"" + path + "\")]"));
    EXPECT_TRUE(FileDocs().empty());
    EXPECT_TRUE(m_app->OnDDECommand("[open(\"" + path + "\")]"));
    ASSERT_EQ(1u, FileDocs().size());
    // The same file again comes forward instead of opening twice (two documents on one path
    // would refuse each other's saves).
    EXPECT_TRUE(m_app->OnDDECommand("[open(\"" + path + "\")]"));
    EXPECT_EQ(1u, FileDocs().size());
    // Dropped files open one after the other; one that cannot be read says so.
    const std::string other = m_files.File("other.q9l");
    ASSERT_TRUE(WriteFileBytes(other, WriteBytes(MakeTwoPatchFixture())));
    ASSERT_TRUE(UiDriver::DropFiles(*m_app->GetMainFrame(), {m_files.File("missing.q9l"), other, path}));
    ASSERT_EQ(2u, FileDocs().size());
    EXPECT_EQ(other, FileDocs()[1]->GetPathName());
    EXPECT_EQ("The file could not be loaded.", m_boxes.back());
}

TEST_F(LibrarianStartupTest, MessagesInEitherLanguage)
{
    m_app->SetLanguage("Japanese");
    ASSERT_TRUE(Start());
    // The Japanese text of message 5, in UTF-8 as the message boxes read it.
    EXPECT_EQ("ファイルが保存できませんでした。", CLibrarianData::GetMessage(CLibrarianData::kMessageNotSaved));
    GetMessageTable().SelectSet(GT::CIndexedStringTable::kEnglishSet);
    EXPECT_EQ("The file could not be saved.", CLibrarianData::GetMessage(CLibrarianData::kMessageNotSaved));
    for (int32_t id : {0, 2, 3, 4, 5, 7, 8, 9, 10, 12, 14, 15, 16, 17, 18, 19, 20})
    {
        GetMessageTable().SelectSet(GT::CIndexedStringTable::kJapaneseSet);
        EXPECT_FALSE(CLibrarianData::GetMessage(id).empty()) << id;
        GetMessageTable().SelectSet(GT::CIndexedStringTable::kEnglishSet);
        EXPECT_FALSE(CLibrarianData::GetMessage(id).empty()) << id;
    }
}

class LibrarianListTest : public CLibrarianAppTest
{
protected:
    void SetUp() override
    {
        CLibrarianAppTest::SetUp();
        WriteInitialFile(NamedPatches({"INIT"}));
        ASSERT_TRUE(Start());
        m_app->OnAppCommand(kFileNew);
        ASSERT_EQ(1u, FileDocs().size());
        m_file = FileDocs()[0];
        m_file->GetData().GetCurrent().GetPatches() = NamedPatches({"beta", "Alpha", "gamma", "alpha"});
        m_file->UpdateAllViews();
    }
    CParamView& View() { return ViewOf(*m_file); }
    CPatchArray& Patches() { return m_file->GetData().GetCurrent().GetPatches(); }
    // Runs a command as the menus do: through the main frame to the active child.
    void Command(UINT id) { m_app->GetMainFrame()->SendMessage(WM_COMMAND, id); }
    bool Enabled(UINT id)
    {
        CCmdUI ui(id);
        m_app->GetMainFrame()->UpdateCommandUI(&ui);
        return ui.m_enabled;
    }
    CFileDoc* m_file = nullptr;
};

TEST_F(LibrarianListTest, SortingByColumnKeepsEndOfLineLast)
{
    CPatchListCtrl& list = View().GetList();
    Patches().At(0).SetText(0, "b");
    Patches().At(3).SetText(0, "a");
    list.SortByColumn(1);
    EXPECT_EQ("Alpha,alpha,beta,gamma,", Column(View(), 1));
    EXPECT_EQ("2,4,1,3,End of Line", Column(View(), 0));
    list.SortByColumn(1);
    EXPECT_EQ("gamma,beta,alpha,Alpha,", Column(View(), 1));
    list.SortByColumn(2);
    EXPECT_TRUE(list.IsAscending());
    EXPECT_EQ(",,a,b,", Column(View(), 2));
    EXPECT_EQ("End of Line", list.GetItemText(4, 0));
    // The selection handed to the commands follows the order shown.
    SelectRows(View(), {2, 3, 4});
    EXPECT_EQ(std::vector<int>({3, 0}), list.GetSelection());
}

TEST_F(LibrarianListTest, EditCommandsWithUndo)
{
    CPatchListCtrl& list = View().GetList();
    EXPECT_FALSE(Enabled(kEditCopy));
    SelectRows(View(), {0, 2});
    EXPECT_TRUE(Enabled(kEditCopy));
    EXPECT_FALSE(Enabled(kEditInsert)) << "empty clipboard";
    Command(kEditCopy);
    EXPECT_FALSE(m_file->IsModified()) << "Copy changes nothing";
    EXPECT_FALSE(Enabled(kEditUndo));
    // Insert at "End of Line" appends and selects the inserted rows.
    SelectRows(View(), {4});
    EXPECT_FALSE(Enabled(kEditCopy)) << "the topmost selected row is End of Line";
    EXPECT_TRUE(Enabled(kEditInsert));
    Command(kEditInsert);
    EXPECT_EQ("beta,Alpha,gamma,alpha,beta,gamma,", Column(View(), 1));
    EXPECT_EQ(std::vector<int>({4, 5}), list.GetSelection());
    EXPECT_TRUE(m_file->IsModified());
    EXPECT_EQ("Talvarix Librarian - Untitled1 *", m_app->GetMainFrame()->MakeTitle());

    SelectRows(View(), {1, 2});
    Command(kEditDelete);
    EXPECT_EQ("beta,alpha,beta,gamma,", Column(View(), 1));
    Command(kEditUndo);
    EXPECT_EQ("beta,Alpha,gamma,alpha,beta,gamma,", Column(View(), 1));
    Command(kEditUndo);
    EXPECT_EQ("beta,alpha,beta,gamma,", Column(View(), 1)) << "a second Undo redoes";

    SelectRows(View(), {0, 1, 2});
    Command(kEditReplace);
    EXPECT_EQ("beta,gamma,beta,gamma,", Column(View(), 1));
    EXPECT_EQ(std::vector<int>({0, 1, 2}), list.GetSelection()) << "Replace keeps the selection";
    SelectRows(View(), {1});
    Command(kEditCut);
    Command(kEditInitialize);   // nothing selected any more
    EXPECT_EQ("beta,beta,gamma,", Column(View(), 1));
    EXPECT_EQ("gamma", Trimmed(CLibrarianData::GetInstance().GetClipboard().At(0).GetName()));
    SelectRows(View(), {0});
    Command(kEditInitialize);
    EXPECT_EQ("INIT,beta,gamma,", Column(View(), 1));

    Command(kEditSelectAll);
    EXPECT_EQ(std::vector<int>({0, 1, 2}), list.GetSelection());
    // Duplicate opens a modified copy.
    Command(kFileDuplicate);
    ASSERT_EQ(2u, FileDocs().size());
    EXPECT_TRUE(FileDocs()[1]->IsModified());
    EXPECT_TRUE(SamePatches(Patches(), FileDocs()[1]->GetData().GetCurrent().GetPatches()));
}

TEST_F(LibrarianListTest, ImageKeeps256PatchesAndIsNeverModified)
{
    CPatchArray& image = Image();
    for (size_t i = 0; i < image.GetSize(); ++i)
        image.At(i).SetName("P" + std::to_string(i));
    ImageDoc().UpdateAllViews();
    m_app->GetMainFrame()->MDIActivate(ImageDoc().GetFrame());
    SelectRows(ImageView(), {2, 3, 4});
    Command(kEditDelete);
    ASSERT_EQ(256u, image.GetSize());
    EXPECT_EQ("P5", Trimmed(image.At(2).GetName()));
    EXPECT_EQ("INIT", Trimmed(image.At(255).GetName()));
    CLibrarianData::GetInstance().GetClipboard() = NamedPatches({"C0", "C1"});
    SelectRows(ImageView(), {254});
    Command(kEditInsert);
    ASSERT_EQ(256u, image.GetSize());
    EXPECT_EQ("C0,C1", Trimmed(image.At(254).GetName()) + "," + Trimmed(image.At(255).GetName()));
    EXPECT_EQ(std::vector<int>({254, 255}), ImageView().GetList().GetSelection());
    EXPECT_FALSE(ImageDoc().IsModified());
    EXPECT_FALSE(Enabled(kFileSave));
    EXPECT_FALSE(Enabled(kFileClose));
    // The image's frame stays open when asked to close.
    ImageDoc().GetFrame()->SendMessage(WM_CLOSE);
    Idle();
    ASSERT_NE(nullptr, m_app->GetImageView());
    EXPECT_TRUE(ImageDoc().GetFrame()->GetSafeHwnd() != nullptr);
}

TEST_F(LibrarianListTest, NamesAndMemosAreEditedInPlace)
{
    CPatchListCtrl& list = View().GetList();
    m_app->GetMainFrame()->MDIActivate(m_file->GetFrame());
    const struct
    {
        int column;
        const char* typed;
        const char* shown;
    } cases[] = {
        {1, "Lead\xE9" "Brass", "Lead Brass"},
        {1, "ピアノPad", "   Pad"},   // a character outside ASCII takes one place
        {1, "FourteenChars!", "FourteenChar"},
        {2, "a memo", "a memo"},
        {5, "last memo", "last memo"},
    };
    for (const auto& c : cases)
    {
        SelectRows(View(), {1});
        ASSERT_TRUE(list.BeginEdit(1, c.column));
        ASSERT_TRUE(UiDriver::TypeText(c.typed));
        ASSERT_TRUE(list.EndEdit(true));
        EXPECT_EQ(c.shown, Trimmed(list.GetItemText(1, c.column))) << c.typed;
    }
    EXPECT_TRUE(m_file->IsModified());
    EXPECT_EQ("last memo", Patches().At(1).GetText(3));
    Command(kEditUndo);
    EXPECT_EQ("", Patches().At(1).GetText(3)) << "each edit is one undo step";
    EXPECT_EQ("a memo", Patches().At(1).GetText(0));
    EXPECT_FALSE(list.BeginEdit(4, 1)) << "End of Line has nothing to edit";
}

// Replacing text in the selected rows is an edit like typing: one undo step, the list sorted
// again and the file marked modified.
TEST_F(LibrarianListTest, ReplacingTextIsUndoableAndMarksTheFileModified)
{
    CPatchListCtrl& list = View().GetList();
    list.SortByColumn(1);
    SelectRows(View(), {0, 1});   // Alpha, alpha
    GP::CEditListCtrl::LastSearch() = "a";
    GP::CEditListCtrl::LastReplacement() = "z";
    GpTest::CPostedActions actions;
    actions.Post([] {
        for (CWnd* window : CWnd::GetTopLevelWindows())
            if (auto* dialog = dynamic_cast<CDialog*>(window); dialog && dialog->GetTemplateId() == 28417)
                if (auto* button = dynamic_cast<CButton*>(dialog->GetDlgItem(IDOK)))
                    return button->Click();
    });
    actions.PostEndEverything();
    ASSERT_TRUE(list.ReplaceString(1));
    EXPECT_EQ("Alphz,beta,gamma,zlphz,", Column(View(), 1));
    EXPECT_TRUE(m_file->IsModified());
    Command(kEditUndo);
    EXPECT_EQ("Alpha", Trimmed(Patches().At(1).GetName()));
}

TEST_F(LibrarianListTest, RowButtonsFollowTheVisibleRows)
{
    m_file->GetData().GetCurrent().GetPatches() = NamedPatches(std::vector<std::string>(30, "x"));
    m_file->UpdateAllViews();
    CParamView& view = View();
    CPatchListCtrl& list = view.GetList();
    const int perPage = list.GetCountPerPage();
    ASSERT_GT(perPage, 3);
    EXPECT_EQ(static_cast<size_t>(std::min(perPage, 30)), view.GetRowButtonCount());
    // Scrolled so that the last visible row is End of Line: one button fewer than rows.
    list.ScrollItemToTop(31 - perPage);
    view.RecreateRowButtons();
    EXPECT_EQ(static_cast<size_t>(perPage - 1), view.GetRowButtonCount());

    const struct
    {
        int height;
        RECT expected;
    } cases[] = {
        {7, {68, 101, 88, 106}},
        {10, {68, 101, 88, 109}},
        {16, {68, 101, 88, 115}},
        {13, {68, 101, 88, 109}},
        {14, {68, 101, 88, 115}},
    };
    for (const auto& c : cases)
    {
        const RECT rect = CParamView::RowButtonRect(RECT{100, 100, 300, 100 + c.height});
        EXPECT_EQ(CRect(c.expected), CRect(rect)) << c.height;
    }
    // A button sends its row's patch to the temporary patch after the warning.
    m_warningAnswer = false;
    view.GetRowButton(0)->Click();
    EXPECT_EQ(std::vector<int>({CMidiWarningDlg::kWriteTemporary}), m_warnings);
    EXPECT_TRUE(m_instrument.GetAcceptedDataSets().empty());
}

TEST_F(LibrarianListTest, WarningsRememberDontShowAgainOnlyOnOk)
{
    m_warningAnswer = false;
    m_dontShowAgain = true;
    EXPECT_FALSE(CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteUser, nullptr));
    EXPECT_EQ(0, GetProfileInt("Option", "WriteUser", 0)) << "Cancel stores nothing";
    m_warningAnswer = true;
    EXPECT_TRUE(CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteUser, nullptr));
    EXPECT_EQ(1, GetProfileInt("Option", "WriteUser", 0));
    EXPECT_TRUE(CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteUser, nullptr));
    EXPECT_EQ(2u, m_warnings.size()) << "set to 1, the warning is not shown";
}

// A save that cannot be completed (a full disk, a folder the user may not write) says so, keeps
// the document modified and leaves the previous file as it was.
TEST_F(LibrarianListTest, SavingKeepsTheOldFileWhenItFails)
{
    enum class EFault { FullDisk, ReadOnlyFolder };
    for (EFault fault : {EFault::FullDisk, EFault::ReadOnlyFolder})
    {
        SCOPED_TRACE(static_cast<int>(fault));
        // The administrator writes into any folder: the read-only case needs a plain user.
        if (fault == EFault::ReadOnlyFolder && geteuid() == 0)
            continue;
        const std::string folder = m_files.File(fault == EFault::FullDisk ? "full" : "locked");
        ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
        const std::string path = folder + "/list.q9l";
        Patches().At(0).SetName("saved");
        ASSERT_TRUE(m_file->DoSave(path.c_str()));
        EXPECT_FALSE(m_file->IsModified());
        const std::string saved = ReadFileBytes(path);
        // Longer than the room left, so the new file cannot be written whole.
        Patches().Resize(40);
        m_file->SetModifiedFlag(TRUE);
        m_boxes.clear();
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        // Past the file-size limit the write fails instead of ending the process: the program's
        // start (which this test program shares) sees to it, the test does not.
        if (fault == EFault::FullDisk)
        {
            rlimit room = previous;
            room.rlim_cur = saved.size() + 100;
            ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &room));
        }
        else
            ASSERT_EQ(0, chmod(folder.c_str(), 0500));
        EXPECT_FALSE(m_file->DoSave(path.c_str()));
        setrlimit(RLIMIT_FSIZE, &previous);
        chmod(folder.c_str(), 0700);
        EXPECT_EQ(std::vector<std::string>({"The file could not be saved."}), m_boxes);
        EXPECT_EQ(std::vector<std::string>({"list.q9l"}), FolderEntryNames(folder)) << "no half-written file is left";
        EXPECT_TRUE(m_file->IsModified());
        EXPECT_EQ(saved, ReadFileBytes(path));
        EXPECT_EQ(40u, Patches().GetSize()) << "the document keeps what the user made";
        Patches().Resize(4);
    }
}

TEST_F(LibrarianListTest, ClosingAModifiedFileAsksFirst)
{
    Patches().At(0).SetName("changed");
    m_file->SetModifiedFlag(TRUE);
    m_saveAnswer = -1;
    m_file->GetFrame()->SendMessage(WM_CLOSE);
    Idle();
    EXPECT_EQ(1u, FileDocs().size());
    m_saveAnswer = 0;
    m_file->GetFrame()->SendMessage(WM_CLOSE);
    Idle();
    EXPECT_TRUE(FileDocs().empty());
}
}

namespace
{
// Clicks a button of the open dialog made from `templateId`.
void ClickDialogButton(UINT templateId, UINT id)
{
    for (CWnd* window : CWnd::GetTopLevelWindows())
        if (auto* dialog = dynamic_cast<CDialog*>(window); dialog && dialog->GetTemplateId() == templateId)
            if (auto* button = dynamic_cast<CButton*>(dialog->GetDlgItem(id)))
                return button->Click();
}

TEST_F(LibrarianListTest, GridDialogSwitchesEveryListAndIsRemembered)
{
    GpTest::CPostedActions actions;
    actions.Post([] { ClickDialogButton(LibrarianIds::kGridDialog, LibrarianIds::kGridOn); });
    actions.Post([] { ClickDialogButton(LibrarianIds::kGridDialog, IDOK); });
    actions.PostEndEverything();
    Command(kSetUpGrid);
    EXPECT_EQ(1, CLibrarianData::GetInstance().GetGridSw());
    EXPECT_TRUE(View().GetList().GetExtendedStyle() & LVS_EX_GRIDLINES);
    EXPECT_TRUE(ImageView().GetList().GetExtendedStyle() & LVS_EX_GRIDLINES);
    // Kept in the profile at the end, and the next start draws the grid at once.
    Exit();
    EXPECT_EQ(1, GetProfileInt("Option", "GridSw", 0));
}

TEST_F(LibrarianListTest, MidiSetUpAndAboutOpenAndClose)
{
    for (UINT command : {kSetUpMidi, kAbout})
    {
        const UINT templateId = command == kSetUpMidi ? LibrarianIds::kMidiSetupDialog : CApp::kAboutTemplateId;
        bool shown = false;
        GpTest::CPostedActions actions;
        actions.Post([&shown, templateId, command] {
            for (CWnd* window : CWnd::GetTopLevelWindows())
                if (auto* dialog = dynamic_cast<CDialog*>(window); dialog && dialog->GetTemplateId() == templateId)
                    shown = dialog->IsWindowVisible() != FALSE;
            ClickDialogButton(templateId, command == kSetUpMidi ? IDCANCEL : IDOK);
        });
        actions.PostEndEverything();
        Command(command);
        EXPECT_TRUE(shown) << command;
    }
}
}

namespace
{
// No manual ships with every installation: Help > Manual names the file it looked for, or says
// that the desktop would not show it, instead of doing nothing.
TEST_F(LibrarianListTest, TheManualThatCannotBeShownIsNamedInAMessage)
{
    std::vector<std::string> opened;
    bool accept = false;
    SetShellOpenHandler([&](const std::string& file) {
        opened.push_back(file);
        return accept;
    });
    m_boxes.clear();
    Command(kManual);
    ASSERT_EQ(m_boxes.size(), 1u);
    const std::string missing = "The manual was not found:\n";
    ASSERT_EQ(m_boxes[0].rfind(missing, 0), 0u) << m_boxes[0];
    const std::string path = m_boxes[0].substr(missing.size());
    EXPECT_NE(path.find("/Manual/TalvarixLibrarianManualE.pdf"), std::string::npos) << path;
    EXPECT_TRUE(opened.empty()) << "the desktop is not asked for a file that is not there";

    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    { std::ofstream(path) << "manual"; }
    m_boxes.clear();
    Command(kManual);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].rfind("The manual could not be opened:\n" + path, 0), 0u) << m_boxes[0];
    accept = true;
    m_boxes.clear();
    Command(kManual);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(opened, (std::vector<std::string>{path, path}));
    SetShellOpenHandler(nullptr);
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

TEST_F(LibrarianStartupTest, RecentFilesSurviveARestartAndOpenFromTheFileMenu)
{
    ASSERT_TRUE(Start());
    const std::string first = m_files.File("first.q9l");
    const std::string second = m_files.File("second.q9l");
    ASSERT_TRUE(WriteFileBytes(first, WriteBytes(MakeTwoPatchFixture())));
    ASSERT_TRUE(WriteFileBytes(second, WriteBytes(MakeTwoPatchFixture())));
    ASSERT_TRUE(m_app->OpenFile(first));
    ASSERT_TRUE(m_app->OpenFile(second));
    EXPECT_EQ(std::vector<std::string>({second, first}), RecentFiles::Get());
    Exit();

    m_app = std::make_unique<CApp>();
    m_app->SetProgramFolder(m_program.Path());
    m_app->SetInstanceFolder(m_channel.Path());
    m_exited = false;
    ASSERT_TRUE(Start());
    EXPECT_TRUE(FileDocs().empty());
    EXPECT_TRUE(m_app->OnAppCommand(kFileRecent + 1));
    ASSERT_EQ(1u, FileDocs().size());
    EXPECT_EQ(first, FileDocs()[0]->GetPathName());
    EXPECT_EQ(std::vector<std::string>({first, second}), RecentFiles::Get());
}
}

namespace
{
// Any "Mode" but 1: the lists show no rows at all, not even "End of Line", so no edit has rows
// to work on; the transfers still run their checks with the instrument and then address no patch.
TEST_F(LibrarianStartupTest, OtherModesShowNoRowsAndTransferNoPatches)
{
    WriteProfileInt("Option", "Mode", 2);
    ASSERT_TRUE(Start());
    EXPECT_EQ(0, ImageView().GetList().GetItemCount());
    EXPECT_EQ(0u, ImageView().GetRowButtonCount());
    EXPECT_EQ(-1, CLibrarianData::GetInstance().GetArea());
    auto enabled = [this](UINT id) {
        CCmdUI ui(id);
        m_app->GetMainFrame()->UpdateCommandUI(&ui);
        return ui.m_enabled;
    };

    // A file's list stays empty: nothing to select, nowhere to insert.
    ASSERT_TRUE(WriteFileBytes(m_files.File("two.q9l"), WriteBytes(MakeTwoPatchFixture())));
    ASSERT_TRUE(m_app->OpenFile(m_files.File("two.q9l")));
    ASSERT_EQ(1u, FileDocs().size());
    CParamView& fileView = ViewOf(*FileDocs()[0]);
    EXPECT_EQ(0, fileView.GetList().GetItemCount());
    CLibrarianData::GetInstance().GetClipboard() = NamedPatches({"CLIP"});
    fileView.GetList().SelectAll();
    EXPECT_FALSE(enabled(kEditInsert));
    EXPECT_FALSE(enabled(kEditCopy));
    fileView.Insert();
    EXPECT_EQ(2u, FileDocs()[0]->GetData().GetCurrent().GetPatches().GetSize());
    EXPECT_FALSE(FileDocs()[0]->IsModified());

    // The image's transfers of all patches are offered; those of a selection are not.
    m_app->GetMainFrame()->MDIActivate(ImageDoc().GetFrame());
    for (UINT id : {kReadAll, kWriteAll, kExportSmfAll, kImportSmf})
        EXPECT_TRUE(enabled(id)) << id;
    for (UINT id : {kReadSelected, kWriteSelected, kExportSmfSelected})
        EXPECT_FALSE(enabled(id)) << id;
    const CPatchArray before = Image();
    m_instrument.ClearLogs();
    EXPECT_TRUE(ImageView().ReadPatches(true)) << (m_boxes.empty() ? "" : m_boxes.back());
    EXPECT_TRUE(ImageView().WritePatches(true));
    EXPECT_EQ(2u, m_instrument.GetAcceptedRequests().size()) << "one tone check per transfer";
    EXPECT_TRUE(m_instrument.GetAcceptedDataSets().empty());
    EXPECT_TRUE(SamePatches(before, Image()));
    ImageView().Delete();
    EXPECT_FALSE(ImageDoc().GetData().CanUndo(2));
    EXPECT_EQ(256u, Image().GetSize());
}

TEST_F(LibrarianStartupTest, TitleNamesTheActiveChildUnlessMaximised)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = *m_app->GetMainFrame();
    EXPECT_EQ("Talvarix Librarian - Main", frame.MakeTitle());
    ImageDoc().GetFrame()->MDIMaximize();
    EXPECT_EQ("Talvarix Librarian", frame.MakeTitle());
    m_app->OnIdle(0);
    EXPECT_EQ("Talvarix Librarian", frame.GetWindowText());
}
}

namespace
{
// The menu's keys work while the list has the focus, as the user works.
TEST_F(LibrarianListTest, MenuKeysReachTheListsCommands)
{
    m_app->GetMainFrame()->SetActiveWindow();
    m_app->GetMainFrame()->MDIActivate(m_file->GetFrame());
    CPatchListCtrl& list = View().GetList();
    list.SetFocus();
    Idle();
    ASSERT_TRUE(m_app->GetMainFrame()->IsActiveWindow());
    ASSERT_TRUE(UiDriver::PressKey('A', MK_CONTROL));
    EXPECT_EQ(std::vector<int>({0, 1, 2, 3}), list.GetSelection());
    ASSERT_TRUE(UiDriver::PressKey('C', MK_CONTROL));
    EXPECT_EQ(4u, CLibrarianData::GetInstance().GetClipboard().GetSize());
    SelectRows(View(), {1});
    ASSERT_TRUE(UiDriver::PressKey(VK_DELETE));
    EXPECT_EQ("beta,gamma,alpha,", Column(View(), 1));
    ASSERT_TRUE(UiDriver::PressKey('Z', MK_CONTROL));
    EXPECT_EQ("beta,Alpha,gamma,alpha,", Column(View(), 1));
}
}

namespace
{
// The list font chosen in the font dialog is the font of every list, whose rows grow with it,
// and of the next start.
TEST_F(LibrarianListTest, ChosenListFontShowsInEveryList)
{
    const int before = View().GetList().GetRowHeight();
    GpTest::CPostedActions actions;
    actions.Post([] { EXPECT_TRUE(UiDriver::FinishFontDialog("", 30, 700, false, true)); });
    actions.PostEndEverything();
    Command(kSetUpFont);
    EXPECT_GT(View().GetList().GetRowHeight(), before);
    EXPECT_EQ(View().GetList().GetRowHeight(), ImageView().GetList().GetRowHeight());
    EXPECT_EQ(&CLibrarianData::GetInstance().GetListFont(), static_cast<CFont*>(View().GetList().GetFont()));
    Exit();
    EXPECT_FALSE(GetProfileString("Option", "FontAttribute", "").empty());
}
}

namespace
{
// Damaged and foreign files open no document and say why; the program goes on.
TEST_F(LibrarianStartupTest, DamagedOrForeignFilesOpenNoDocument)
{
    ASSERT_TRUE(Start());
    const std::string whole = WriteBytes(MakeTwoPatchFixture());
    const struct
    {
        const char* name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"foreign.q9l", "not a librarian file at all, but long enough to have a head" + std::string(200, ' '),
         "Cannot read files of this type."},
        {"cut.q9l", whole.substr(0, whole.size() - 100), "The file could not be loaded."},
        {"empty.q9l", "", "Cannot read files of this type."},
    };
    for (const auto& c : cases)
    {
        m_boxes.clear();
        ASSERT_TRUE(WriteFileBytes(m_files.File(c.name), c.bytes));
        EXPECT_FALSE(m_app->OpenFile(m_files.File(c.name))) << c.name;
        EXPECT_EQ(std::vector<std::string>({c.message}), m_boxes) << c.name;
    }
    EXPECT_FALSE(m_app->OpenFile(m_files.Path())) << "a folder";
    EXPECT_TRUE(FileDocs().empty());
}
}

namespace
{
// A file whose patches lack blocks or hold them short opens, shows its patches and saves them as
// they were.
TEST_F(LibrarianStartupTest, FilesOfOtherBlockCountsOpenAndSaveAsTheyAre)
{
    ASSERT_TRUE(Start());
    m_boxes.clear();
    const std::string odd = LoadHexFixture("odd-blocks.q9l.hex");
    ASSERT_TRUE(WriteFileBytes(m_files.File("odd.q9l"), odd));
    ASSERT_TRUE(m_app->OpenFile(m_files.File("odd.q9l")));
    EXPECT_TRUE(m_boxes.empty());
    ASSERT_EQ(1u, FileDocs().size());
    CParamView& view = ViewOf(*FileDocs()[0]);
    EXPECT_EQ("Short name,,", Column(view, 1));
    EXPECT_EQ("odd,,", Column(view, 2));
    view.GetList().SortByColumn(1);
    EXPECT_EQ(",Short name,", Column(view, 1));
    const std::string copy = m_files.File("copy.q9l");
    ASSERT_TRUE(FileDocs()[0]->DoSave(copy.c_str()));
    EXPECT_EQ(odd, ReadFileBytes(copy));
}
}

namespace
{
// Before the user sets column widths, the name column shows a whole name of the font's widest
// characters.
TEST_F(LibrarianStartupTest, NameColumnFitsTwelveWideCharacters)
{
    ASSERT_TRUE(Start());
    CPatchListCtrl& list = ImageView().GetList();
    for (const char* name : {"WWWWWWWWWWWW", "MMMMMMMMMMMM", "@@@@@@@@@@@@"})
        EXPECT_GE(list.GetColumnWidth(1), list.ColumnWidthFor(name)) << name;
    EXPECT_EQ(list.GetColumnWidth(2), 130);
}
}

namespace
{
// The Setup menu hides and shows the tool bar and the status bar; closing the program keeps their state for the next
// start, unless the next start is of another version.
TEST_F(LibrarianStartupTest, BarsKeepTheirStateAcrossStartsOfTheSameVersion)
{
    ASSERT_TRUE(Start());
    CMainFrame* frame = m_app->GetMainFrame();
    CFrameBars& bars = frame->GetBars();
    EXPECT_TRUE(bars.IsToolBarShown());
    EXPECT_TRUE(bars.IsStatusBarShown());
    RECT before;
    frame->GetMDIClientRect(&before);
    CCmdUI check(ID_VIEW_STATUS_BAR);
    frame->UpdateCommandUI(&check);
    EXPECT_EQ(1, check.m_check);

    frame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(bars.IsStatusBarShown());
    EXPECT_TRUE(bars.IsToolBarShown());
    RECT after;
    frame->GetMDIClientRect(&after);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top) << "the client takes the bar's room";
    CCmdUI unchecked(ID_VIEW_STATUS_BAR);
    frame->UpdateCommandUI(&unchecked);
    EXPECT_EQ(0, unchecked.m_check);

    // Closes the program as the user does and starts it again; `version` replaces the version
    // the closing stored.
    auto restart = [this](const char* version = nullptr) {
        m_app->GetMainFrame()->SendMessage(WM_CLOSE);
        Exit();
        if (version)
            WriteProfileString("Version", "FileVersion", version);
        m_app = std::make_unique<CApp>();
        m_app->SetProgramFolder(m_program.Path());
        m_app->SetInstanceFolder(m_channel.Path());
        m_exited = false;
        return Start();
    };
    ASSERT_TRUE(restart());
    EXPECT_FALSE(m_app->GetMainFrame()->GetBars().IsStatusBarShown());
    EXPECT_TRUE(m_app->GetMainFrame()->GetBars().IsToolBarShown());

    m_app->GetMainFrame()->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    ASSERT_TRUE(restart());
    EXPECT_FALSE(m_app->GetMainFrame()->GetBars().IsToolBarShown());
    // Stored by another version: the bars start as they always do.
    ASSERT_TRUE(restart("0.0.0.1"));
    EXPECT_TRUE(m_app->GetMainFrame()->GetBars().IsToolBarShown());
    EXPECT_TRUE(m_app->GetMainFrame()->GetBars().IsStatusBarShown());
}
}
