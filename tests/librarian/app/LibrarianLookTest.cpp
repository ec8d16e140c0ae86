// Pictures of the librarian as the user sees it, for a person to judge: the main frame with the
// image and a librarian file side by side, a name being edited, and the transfer progress window.
#include "librarian/app/LibrarianCommands.h"
#include "librarian/app/LibrarianDialogs.h"
#include "librarian/app/LibrarianFrames.h"
#include "librarian/app/TransferProgress.h"
#include "platform/UiDriver.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "tests/librarian/gp/GpTestSupport.h"
#include "tests/librarian/app/LibrarianAppFixture.h"
#include "tests/support/ScopedLocale.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/progress/CProgressBarB.h"

#include <sys/stat.h>

#include <algorithm>

namespace
{
std::string ScreenshotPath(const std::string& name)
{
    mkdir("screenshots", 0755);
    return "screenshots/" + name;
}

const char* const kNames[] = {"Warm Pad", "Glass Bells", "Fat Brass", "Soft Strings", "Dyno EP",  "Rez Sweep",
                              "Bass Drop", "Choir Aahs", "Saw Lead",  "Kalimba",      "Tape Flute", "Sub Bass"};

class LibrarianLookTest : public CLibrarianAppTest
{
};

TEST_F(LibrarianLookTest, MainFrameWithImageAndFileWhileANameIsEdited)
{
    CPatchArray initial;
    initial.Add(std::make_unique<CPatch>(MakeLayoutPatch("INIT PATCH")));
    WriteInitialFile(initial);
    ASSERT_TRUE(Start());
    for (size_t i = 0; i < Image().GetSize(); ++i)
    {
        Image().At(i).SetName(kNames[i % 12]);
        if (i % 5 == 0)
            Image().At(i).SetText(0, "from the factory set");
    }
    ImageDoc().UpdateAllViews();
    m_app->OnAppCommand(LibrarianCommands::kFileNew);
    ASSERT_EQ(1u, FileDocs().size());
    CFileDoc& file = *FileDocs()[0];
    CPatchArray& patches = file.GetData().GetCurrent().GetPatches();
    for (size_t i = 0; i < 6; ++i)
    {
        patches.Add(Image()[i * 3].Clone());
        patches.At(i).SetText(1, i % 2 ? "live set" : "studio");
    }
    file.SetModifiedFlag(TRUE);
    file.UpdateAllViews();
    CMainFrame& frame = *m_app->GetMainFrame();
    frame.MoveWindow(CRect(0, 0, 1100, 560));
    frame.MDITile(ID_WINDOW_TILE_VERT);
    Idle();
    CPatchListCtrl& list = ViewOf(file).GetList();
    SelectRows(ViewOf(file), {2});
    ASSERT_TRUE(list.BeginEdit(2, 1));
    ASSERT_TRUE(UiDriver::TypeText("Fat Brass 2"));
    Idle();
    EXPECT_TRUE(UiDriver::SaveWindowPicture(frame, ScreenshotPath("librarian-main.png")));
    EXPECT_TRUE(list.EndEdit(true));
    EXPECT_EQ("Fat Brass 2 ", patches.At(2).GetName());
}

TEST_F(LibrarianLookTest, TransferProgressWindow)
{
    ASSERT_TRUE(Start());
    CProgressBarB& window = CProgressBarB::GetWindow();
    {
        CTransferProgress progress(&CProgressBarB::GetInstance(), 256);
        for (int i = 0; i < 100; ++i)
            progress.StepPatch();
        ASSERT_TRUE(progress.BeginBlock("User Patch 4-5: TONE 3"));
        Idle();
        EXPECT_TRUE(UiDriver::SaveWindowPicture(window, ScreenshotPath("librarian-progress.png")));
    }
    EXPECT_FALSE(window.IsShown());
}

// The progress window's one button speaks the language of the user's locale, as the programs do.
TEST(TransferProgressWindowLanguage, TheCancelButtonFollowsTheLocale)
{
    const struct
    {
        const char* locale;
        const char* cancel;
    } cases[] = {{"ja_JP.UTF-8", "キャンセル"}, {"en_US.UTF-8", "Cancel"}, {"C", "Cancel"}};
    for (const auto& c : cases)
    {
        const CScopedLocale locale(c.locale);
        CProgressBarB::RegisterTemplate();
        const CDialogTemplate* progress = FindDialogTemplate(IDD_PROGRESS);
        ASSERT_NE(nullptr, progress);
        const auto cancel = std::find_if(progress->items.begin(), progress->items.end(),
                                         [](const CDialogItemTemplate& item) { return item.id == IDCANCEL; });
        ASSERT_NE(progress->items.end(), cancel);
        EXPECT_EQ(c.cancel, cancel->text) << c.locale;
    }
}
}

namespace
{
TEST_F(LibrarianLookTest, WarningBeforeAWrite)
{
    ASSERT_TRUE(Start());
    CMidiWarningDlg::SetAnswerHook(nullptr);
    GpTest::CPostedActions actions;
    actions.Post([] {
        for (CWnd* window : CWnd::GetTopLevelWindows())
            if (auto* dialog = dynamic_cast<CDialog*>(window);
                dialog && dialog->GetTemplateId() == LibrarianIds::kWarningDialog)
            {
                EXPECT_TRUE(UiDriver::SaveWindowPicture(*dialog, ScreenshotPath("librarian-warning.png")));
                if (auto* button = dynamic_cast<CButton*>(dialog->GetDlgItem(IDCANCEL)))
                    button->Click();
            }
    });
    actions.PostEndEverything();
    EXPECT_FALSE(CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteUser, m_app->GetMainFrame()));
}
}

// Under a Japanese locale: the Japanese menus, message 2 in Japanese when the instrument does not
// answer, and list cells in UTF-8 (memos in Japanese, a name from a file with a byte outside ASCII
// shown as its Latin-1 character).
TEST_F(LibrarianLookTest, UnderAJapaneseLocaleTheMenusMessagesAndListsAreJapanese)
{
    const CScopedLocale japanese("ja_JP.UTF-8");
    CPatchArray initial;
    initial.Add(std::make_unique<CPatch>(MakeLayoutPatch("INIT PATCH")));
    WriteInitialFile(initial);
    ASSERT_TRUE(Start());
    CMainFrame& frame = *m_app->GetMainFrame();
    EXPECT_EQ(UiDriver::DescribeMenuBar(frame),
              (std::vector<std::string>{"ファイル(&F)", "編集(&E)", "MIDI(&M)", "設定(&S)", "ウィンドウ(&W)", "ヘルプ(&H)"}));

    for (size_t i = 0; i < 12; ++i)
    {
        Image().At(i).SetName(kNames[i]);
        Image().At(i).SetText(0, i % 2 ? "ライブ用" : "スタジオ");
    }
    // "Caf\xE9 Pad" as an old file or the instrument may hold it: the byte stays in the name.
    auto& common = Image().At(1).GetParts()[CPatch::kCommon][0];
    const std::string stray = "Caf\xE9 Pad    ";
    for (size_t i = 0; i < stray.size(); ++i)
        common[i] = static_cast<uint8_t>(stray[i]);
    ImageDoc().UpdateAllViews();
    EXPECT_EQ(stray, ImageView().GetList().GetItemText(1, 1));
    frame.MoveWindow(CRect(0, 0, 900, 520));
    Idle();
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(frame, 2));
    EXPECT_EQ(UiDriver::DescribePopupMenu(),
              (std::vector<std::string>{"すべてのデータを読み込む(&R)", "~選択したデータを読み込む(&S)", "-",
                                        "すべてのデータを書き込む(&W)", "~選択したデータを書き込む(&E)"}));
    // The idle text stays through the idle pass and an open menu.
    EXPECT_EQ("レディ", frame.GetBars().GetStatusText());
    CRect outer;
    frame.GetWindowRect(&outer);
    EXPECT_TRUE(UiDriver::SaveScreenPicture(ScreenshotPath("librarian-japanese.png"), outer));
    UiDriver::ClosePopupMenus();

    m_instrument.SetIdentity(CSimulatedInstrument::EIdentity::Silent);
    m_boxes.clear();
    EXPECT_FALSE(ImageView().ReadPatches(true));
    const std::string readWriteFailed =
        "データを読み込み／書き込みできませんでした。\n「ヘルプ － Talvarix Librarianの使いかた」を選択し、"
        "『7. 「データを読み込み／書き込みできませんでした」と表示された場合』をご覧ください。";
    EXPECT_NE(std::find(m_boxes.begin(), m_boxes.end(), readWriteFailed), m_boxes.end())
        << ::testing::PrintToString(m_boxes);

    // The file dialog's title, before the folder.
    std::string caption;
    GpTest::CPostedActions dialogActions;
    dialogActions.Post([&caption] {
        caption = UiDriver::GetFileDialogCaption();
        UiDriver::FinishFileDialog("", false);
    });
    dialogActions.PostEndEverything();
    frame.SendMessage(WM_COMMAND, LibrarianCommands::kFileOpen);
    Idle();
    EXPECT_EQ(0u, caption.rfind("開く - ", 0)) << caption;
    // The toolkit's font dialog speaks Japanese too.
    dialogActions.Post([&caption] {
        caption = UiDriver::GetFontDialogCaption();
        UiDriver::FinishFontDialog("", 0, 0, false, false);
    });
    dialogActions.PostEndEverything();
    frame.SendMessage(WM_COMMAND, LibrarianCommands::kSetUpFont);
    Idle();
    EXPECT_EQ("フォントの選択", caption);
    GetMessageTable().SelectSet(GT::CIndexedStringTable::kEnglishSet);
}
