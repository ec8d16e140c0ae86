// The application object on the bundled script with the simulated Talvarix behind the devices the
// settings name: start-up reads the instrument, or writes the document given on the command line
// to it.
#include "editor/CApp.h"
#include "editor/CDocumentDialog.h"
#include "editor/CEditorCommands.h"
#include "editor/CEditorFrames.h"
#include "editor/EditorResources.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"
#include "model/CVeyValue.h"
#include "platform/Messages.h"
#include "platform/ShellOpen.h"
#include "tests/editor/instrument/EditorAppFixture.h"
#include "tests/editor/resources/BundledScript.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/SimulatedTalvarix.h"
#include "tests/support/TempDir.h"
#include "tests/toolkit/ul/InteractiveTestSupport.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "ui/controls/CVeyView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
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
    ASSERT_TRUE(m_app->InitInstance()) << ::testing::PrintToString(m_home.boxes);
    PumpAllMessages();
    EXPECT_TRUE(m_home.boxes.empty()) << ::testing::PrintToString(m_home.boxes);
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
    ASSERT_TRUE(m_app->InitInstance()) << ::testing::PrintToString(m_home.boxes);
    PumpAllMessages();
    EXPECT_TRUE(m_home.boxes.empty()) << ::testing::PrintToString(m_home.boxes);
    Bytes stored;
    ASSERT_TRUE(m_instrument.Read(NameAddress(), 12, stored));
    EXPECT_EQ(std::string(stored.begin(), stored.end()), "From a file ");
    EXPECT_FALSE(CVeyDataFile::GetInstance().GetRootStruct()->IsModified());
}

// The main panel's FILE, EDIT and HELP buttons, clicked as the user clicks them, open the
// application's popup menus beside the pointer; the menu bar's Help menu comes last.
TEST_F(EditorAppInstrumentTest, TheMainPanelsMenuButtonsOpenTheApplicationsPopupMenus)
{
    std::vector<std::string> dialogs;
    auto documents = std::make_unique<CDocumentDialog>();
    documents->SetChooser([&dialogs](bool open, const std::string&, const std::string&) {
        dialogs.push_back(open ? "open" : "save");
        return std::string();
    });
    m_app->SetDocumentRecord(std::move(documents));
    ASSERT_TRUE(m_app->InitInstance()) << ::testing::PrintToString(m_home.boxes);
    PumpAllMessages();
    CWnd* frame = m_app->m_pMainWnd;
    ASSERT_NE(frame, nullptr);
    const std::vector<std::string> menuBar = UiDriver::DescribeMenuBar(*frame);
    ASSERT_FALSE(menuBar.empty());
    EXPECT_EQ(menuBar.back(), "&Help");
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, int(menuBar.size()) - 1));
    EXPECT_EQ(UiDriver::DescribePopupMenu(), (std::vector<std::string>{"Talvarix Editor &Manual", "&About Talvarix Editor..."}));
    UiDriver::ClosePopupMenus();

    CRect outer;
    frame->GetWindowRect(&outer);
    // Clicks the button and runs `inMenu` while its menu is open; the picture shows the button's
    // corner of the window with the menus.
    auto clickWithMenu = [&](const char* button, std::function<void()> inMenu) {
        CVeyControl* control = CBundledScript::FindControl("main", button);
        ASSERT_NE(control, nullptr) << button;
        const CRect rect = control->GetRect();
        CPoint at((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        CPoint screen = at;
        frame->ClientToScreen(&screen);
        SetCursorPos(screen.x, screen.y);
        UlTest::CPostedActions actions;
        actions.Post(std::move(inMenu));
        actions.PostEndEverything();
        EXPECT_TRUE(UiDriver::Click(*frame, at));
        PumpAllMessages();
    };
    // The offscreen screen is narrower than the panel: menus that reach its edge open leftwards.
    const RECT corner{outer.left + 300, outer.top, outer.left + 1000, outer.top + 340};

    std::vector<std::string> file;
    clickWithMenu("button211", [&] {
        file = UiDriver::DescribePopupMenu();
        EXPECT_TRUE(UiDriver::SaveScreenPicture(UlTest::ScreenshotPath("editor-file-popup.png"), corner));
        EXPECT_TRUE(UiDriver::ChoosePopupMenuItem({3}));
    });
    EXPECT_EQ(file, (std::vector<std::string>{"Open...        Ctrl+O", "-", "Save             Ctrl+S", "SaveAs...", "-",
                                              "Import SMF...", "Export SMF>"}));
    EXPECT_EQ(dialogs, std::vector<std::string>{"save"}) << "Save As asked for a name";

    std::vector<std::string> copy;
    clickWithMenu("button212", [&] {
        EXPECT_TRUE(UiDriver::ChoosePopupMenuItem({1}));
        copy = UiDriver::DescribePopupMenu({1});
        EXPECT_TRUE(UiDriver::SaveScreenPicture(UlTest::ScreenshotPath("editor-edit-popup-copy.png"), corner));
    });
    EXPECT_EQ(copy, (std::vector<std::string>{"Patch Tone 1", "Patch Tone 2", "Patch Tone 3", "Patch Tone 4",
                                              "Patch Set MFX", "Patch Chorus", "Patch Reverb"}));

    // Help > Talvarix Editor Manual: the build's English manual beside the program goes to the
    // desktop; this one shows nothing, and the box says where the manual is.
    m_home.boxes.clear();
    std::vector<std::string> opened;
    SetShellOpenHandler([&opened](const std::string& path) {
        opened.push_back(path);
        return false;
    });
    clickWithMenu("button214", [] { EXPECT_TRUE(UiDriver::ChoosePopupMenuItem({0})); });
    SetShellOpenHandler(nullptr);
    const std::string manual = CEditorCommands::GetManualPath();
    EXPECT_EQ(opened, std::vector<std::string>{manual});
    EXPECT_NE(manual.find("/Manual/TalvarixEditorManualE.pdf"), std::string::npos) << manual;
    ASSERT_EQ(m_home.boxes.size(), 1u);
    EXPECT_NE(m_home.boxes[0].find(manual), std::string::npos) << m_home.boxes[0];
}

// Under a Japanese locale the editor starts with its Japanese menus, and an instrument that does
// not answer gets message 2 in Japanese.
TEST_F(EditorAppInstrumentTest, UnderAJapaneseLocaleTheMenusAndMessagesAreJapanese)
{
    const CScopedLocale japanese("ja_JP.UTF-8");
    ResetResourceString(IDS_LANGUAGE);
    m_instrument.SetIdentity(CSimulatedInstrument::EIdentity::Silent);
    m_app->InitInstance();
    PumpAllMessages();
    const std::string readWriteFailed =
        "データを読み込み／書き込みできませんでした。\n「ヘルプ － Talvarix Editorの使いかた」を選択し、"
        "『6. 「データを読み込み／書き込みできませんでした」と表示された場合』をご覧ください。";
    EXPECT_NE(std::find(m_home.boxes.begin(), m_home.boxes.end(), readWriteFailed), m_home.boxes.end())
        << ::testing::PrintToString(m_home.boxes);

    CWnd* frame = m_app->m_pMainWnd;
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(UiDriver::DescribeMenuBar(*frame),
              (std::vector<std::string>{"ファイル(&F)", "編集(&E)", "表示(&V)", "設定(&S)", "ヘルプ(&H)"}));
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 0));
    EXPECT_EQ(UiDriver::DescribePopupMenu(),
              (std::vector<std::string>{"開く(&O)...\tCtrl+O", "-", "保存(&S)\tCtrl+S", "名前を付けて保存(&A)...", "-",
                                        "SMF をインポート(&M)...", "SMF をエクスポート(&F)...", "-", "終了(&X)"}));
    CRect outer;
    frame->GetWindowRect(&outer);
    EXPECT_TRUE(UiDriver::SaveScreenPicture(UlTest::ScreenshotPath("editor-japanese-file-menu.png"),
                                            RECT{outer.left, outer.top, outer.left + 700, outer.top + 420}));
    UiDriver::ClosePopupMenus();
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(*frame, 4));
    EXPECT_EQ(UiDriver::DescribePopupMenu(),
              (std::vector<std::string>{"Talvarix Editor の使いかた(&M)", "Talvarix Editor について(&A)..."}));
    // The status bar's line for the entry under the pointer.
    ASSERT_TRUE(UiDriver::HoverPopupMenuItem({1}));
    auto* mainFrame = dynamic_cast<CEditorMainFrame*>(frame);
    ASSERT_NE(mainFrame, nullptr);
    EXPECT_EQ(mainFrame->GetMenuBar().GetStatusText(), "プログラム情報、バージョン、著作権を表示します");
    EXPECT_EQ(CEditorMainFrame::CommandPrompt(CEditorCommands::kPasteTone1 + 1), "パッチ トーン 2 を貼り付けます");
    UiDriver::ClosePopupMenus();
    EXPECT_EQ("Manual\\TalvarixEditorManualJ.pdf", GetMessageTable().Find(9)) << "the manual's path";
    GetMessageTable().SelectSet(GT::CIndexedStringTable::kEnglishSet);
}
