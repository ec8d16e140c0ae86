// The librarian's start-up, documents, lists and commands, through the application object.
#include "librarian/app/LibrarianCommands.h"
#include "librarian/app/LibrarianData.h"
#include "librarian/app/LibrarianDialogs.h"
#include "librarian/app/LibrarianFrames.h"
#include "librarian/app/PatchListOperations.h"
#include "platform/Profile.h"
#include "platform/UiDriver.h"
#include "tests/librarian/app/LibrarianAppFixture.h"
#include "tests/librarian/gp/GpTestSupport.h"
#include "toolkit/gt/IndexedStringTable.h"

#include <sys/stat.h>

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
    m_app->GetMainFrame()->OnDropFiles({m_files.File("missing.q9l"), path});
    EXPECT_EQ(1u, FileDocs().size());
    EXPECT_EQ("The file could not be loaded.", m_boxes.back());
}

TEST_F(LibrarianStartupTest, MessagesInEitherLanguage)
{
    m_app->SetLanguage("Japanese");
    ASSERT_TRUE(Start());
    // Shift-JIS of the Japanese text of message 5.
    EXPECT_EQ("\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82"
              "\xC5\x82\xB5\x82\xBD\x81\x42",
              CLibrarianData::GetMessage(CLibrarianData::kMessageNotSaved));
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

TEST_F(LibrarianListTest, SavingKeepsTheOldFileWhenItFails)
{
    const std::string folder = m_files.File("locked");
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    const std::string path = folder + "/list.q9l";
    ASSERT_TRUE(m_file->DoSave(path.c_str()));
    EXPECT_FALSE(m_file->IsModified());
    const std::string saved = ReadFileBytes(path);
    Patches().At(0).SetName("changed");
    m_file->SetModifiedFlag(TRUE);
    ASSERT_EQ(0, chmod(folder.c_str(), 0500));
    const bool written = m_file->DoSave(path.c_str()) != FALSE;
    chmod(folder.c_str(), 0700);
    if (geteuid() != 0)
    {
        EXPECT_FALSE(written);
        EXPECT_EQ("The file could not be saved.", m_boxes.back());
        EXPECT_TRUE(m_file->IsModified());
        EXPECT_EQ(saved, ReadFileBytes(path));
    }
    // Reopened, the file shows what was saved.
    m_app->CloseDocument(m_file);
    ASSERT_TRUE(m_app->OpenFile(path));
    ASSERT_EQ(1u, FileDocs().size());
    EXPECT_EQ(written ? "changed" : "beta", Trimmed(FileDocs()[0]->GetData().GetCurrent().GetPatches().At(0).GetName()));
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
