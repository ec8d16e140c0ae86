#include "librarian/app/LibrarianFrames.h"

#include "librarian/app/LibrarianApp.h"
#include "librarian/app/LibrarianCommands.h"
#include "librarian/app/LibrarianData.h"
#include "librarian/app/LibrarianDocuments.h"
#include "librarian/app/LibrarianViews.h"
#include "librarian/app/RecentFiles.h"
#include "librarian/gp/VersionStrings.h"
#include "platform/Profile.h"
#include "platform/WinApp.h"

#include <map>
#include <string>

using namespace LibrarianCommands;

namespace
{
CApp* App() { return dynamic_cast<CApp*>(AfxGetApp()); }

// The Japanese resources' menu texts, by the English text they stand for.
const std::map<std::string, std::string>& JapaneseMenuTexts()
{
    static const std::map<std::string, std::string> texts = {
        {"&File", "ファイル(&F)"},
        {"&New", "新規作成(&N)"},
        {"&Open...", "開く(&O)..."},
        {"&Close", "閉じる(&C)"},
        {"&Save", "保存(&S)"},
        {"Save &As...", "名前を付けて保存(&A)..."},
        {"&Duplicate", "複製(&D)"},
        {"Export SMF... All Data", "SMF をエクスポート... すべてのデータ"},
        {"Export SMF... Selected Data", "SMF をエクスポート... 選択したデータ"},
        {"&Import SMF...", "SMF をインポート(&I)..."},
        {"Recent File", "最近使ったファイル"},
        {"E&xit", "終了(&X)"},
        {"&Edit", "編集(&E)"},
        {"&Undo", "元に戻す(&U)"},
        {"Cu&t", "切り取り(&T)"},
        {"&Copy", "コピー(&C)"},
        {"&Insert", "挿入(&I)"},
        {"&Replace", "置き換え(&R)"},
        {"&Delete", "削除(&D)"},
        {"I&nitialize", "初期化(&N)"},
        {"Select &All", "すべて選択(&A)"},
        {"&MIDI", "MIDI(&M)"},
        {"&Read All Data", "すべてのデータを読み込む(&R)"},
        {"Read &Selected Data", "選択したデータを読み込む(&S)"},
        {"&Write All Data", "すべてのデータを書き込む(&W)"},
        {"Write S&elected Data", "選択したデータを書き込む(&E)"},
        {"&Setup", "設定(&S)"},
        {"Set Up &MIDI Devices...", "MIDI 機器の設定(&M)..."},
        {"Set Up &Font...", "フォントの設定(&F)..."},
        {"Set Up &Grid...", "グリッドの設定(&G)..."},
        {"&Window", "ウィンドウ(&W)"},
        {"Move to &Top\tCtrl+G", "先頭へ移動(&T)\tCtrl+G"},
        {"Window &List...", "ウィンドウの一覧(&L)..."},
        {"Maximize &Height", "高さを最大にする(&H)"},
        {"Maximize &Width", "幅を最大にする(&W)"},
        {"&Save Current Position", "現在の位置を保存(&S)"},
        {"&Cascade", "重ねて表示(&C)"},
        {"Tile H&orizontally", "上下に並べて表示(&O)"},
        {"Tile &Vertically", "左右に並べて表示(&V)"},
        {"&Arrange Icons", "アイコンの整列(&A)"},
        {"&Help", "ヘルプ(&H)"},
        {"Talvarix Librarian &Manual", "Talvarix Librarian の使いかた(&M)"},
        {"&About Talvarix Librarian...", "Talvarix Librarian について(&A)..."},
        // The tool bar's buttons.
        {"New", "新規"},
        {"Open", "開く"},
        {"Save", "保存"},
        {"Cut", "切り取り"},
        {"Copy", "コピー"},
        {"Insert", "挿入"},
        {"Undo", "元に戻す"},
        {"Read All", "すべて読込"},
        {"Write All", "すべて書込"},
    };
    return texts;
}

bool UsesEnglishMenus()
{
    const CApp* app = App();
    return !app || app->IsEnglish();
}

// A menu text in the program's language.
const char* MenuText(const char* english)
{
    if (UsesEnglishMenus())
        return english;
    const auto found = JapaneseMenuTexts().find(english);
    return found != JapaneseMenuTexts().end() ? found->second.c_str() : english;
}

std::vector<CBarMenu> MakeMenus(CMenu* windowMenu)
{
    std::vector<CBarMenu> menus{
        {"&File",
         {{kFileNew, "&New", "Ctrl+N"},
          {kFileOpen, "&Open...", "Ctrl+O"},
          {kFileClose, "&Close", ""},
          {kFileSave, "&Save", "Ctrl+S"},
          {kFileSaveAs, "Save &As...", ""},
          {kFileDuplicate, "&Duplicate", "Ctrl+D"},
          {0, "", ""},
          {kExportSmfAll, "Export SMF... All Data", ""},
          {kExportSmfSelected, "Export SMF... Selected Data", ""},
          {kImportSmf, "&Import SMF...", ""},
          {0, "", ""},
          {kFileRecent, "Recent File", ""},
          {0, "", ""},
          {kAppExit, "E&xit", ""}}},
        {"&Edit",
         {{kEditUndo, "&Undo", "Ctrl+Z"},
          {0, "", ""},
          {kEditCut, "Cu&t", "Ctrl+X"},
          {kEditCopy, "&Copy", "Ctrl+C"},
          {kEditInsert, "&Insert", "Ctrl+V"},
          {kEditReplace, "&Replace", "Ctrl+R"},
          {kEditDelete, "&Delete", "Del"},
          {kEditInitialize, "I&nitialize", "Ctrl+I"},
          {0, "", ""},
          {kEditSelectAll, "Select &All", "Ctrl+A"}}},
        {"&MIDI",
         {{kReadAll, "&Read All Data", ""},
          {kReadSelected, "Read &Selected Data", ""},
          {0, "", ""},
          {kWriteAll, "&Write All Data", ""},
          {kWriteSelected, "Write S&elected Data", ""}}},
        {"&Setup",
         {{kSetUpMidi, "Set Up &MIDI Devices...", ""},
          {kSetUpFont, "Set Up &Font...", ""},
          {kSetUpGrid, "Set Up &Grid...", ""},
          {0, "", ""},
          {ID_VIEW_TOOLBAR, "&Tool Bar", ""},
          {ID_VIEW_STATUS_BAR, "&Status Bar", ""}}},
        {"&Window", {}},
        {"&Help",
         {{kManual, "Talvarix Librarian &Manual", ""}, {kAbout, "&About Talvarix Librarian...", ""}}},
    };
    menus[0].listFirstId = kFileRecent;
    menus[0].listItems = [] { return RecentFiles::Get(); };
    menus[4].popup = windowMenu;
    if (!UsesEnglishMenus())
        TranslateBarMenus(menus, JapaneseMenuTexts());
    return menus;
}

std::vector<CBarCommand> MakeTools()
{
    std::vector<CBarCommand> tools{{kFileNew, "New", ""},   {kFileOpen, "Open", ""},       {kFileSave, "Save", ""},
                                   {0, "", ""},             {kEditCut, "Cut", ""},         {kEditCopy, "Copy", ""},
                                   {kEditInsert, "Insert", ""}, {kEditUndo, "Undo", ""},    {0, "", ""},
                                   {kReadAll, "Read All", ""}, {kWriteAll, "Write All", ""}};
    if (!UsesEnglishMenus())
        TranslateBarCommands(tools, JapaneseMenuTexts());
    return tools;
}
}

void CStatusBarTextOut::WriteRaw(const std::string& text)
{
    for (char c : text)
    {
        if (c != '\n')
        {
            m_line += c;
            continue;
        }
        m_bars.SetStatusText(m_line);
        m_line.clear();
    }
    if (!m_line.empty())
    {
        m_bars.SetStatusText(m_line);
        m_line.clear();
    }
}

// ---- main frame ----

CMainFrame::CMainFrame()
{
    m_windowGoPosition = 0;
}

void CMainFrame::BuildWindowMenu()
{
    if (!m_windowMenu.IsNull())
        return;
    m_windowGoStart.CreatePopupMenu();
    m_windowMenu.CreatePopupMenu();
    m_windowMenu.AppendMenu(MF_POPUP, &m_windowGoStart, MenuText("Move to &Top\tCtrl+G"));
    m_windowMenu.AppendMenu(MF_STRING, GP::ID_WINDOW_LIST, MenuText("Window &List..."));
    m_windowMenu.AppendMenu(MF_SEPARATOR, UINT_PTR{0}, nullptr);
    m_windowMenu.AppendMenu(MF_STRING, GP::ID_WINDOW_FULL_HEIGHT, MenuText("Maximize &Height"));
    m_windowMenu.AppendMenu(MF_STRING, GP::ID_WINDOW_FULL_WIDTH, MenuText("Maximize &Width"));
    m_windowMenu.AppendMenu(MF_STRING, GP::ID_WINDOW_SAVE_POSITION, MenuText("&Save Current Position"));
    m_windowMenu.AppendMenu(MF_SEPARATOR, UINT_PTR{0}, nullptr);
    m_windowMenu.AppendMenu(MF_STRING, ID_WINDOW_CASCADE, MenuText("&Cascade"));
    m_windowMenu.AppendMenu(MF_STRING, ID_WINDOW_TILE_HORZ, MenuText("Tile H&orizontally"));
    m_windowMenu.AppendMenu(MF_STRING, ID_WINDOW_TILE_VERT, MenuText("Tile &Vertically"));
    // The list of children is rebuilt after the last "Arrange Icons": it stays the last entry.
    m_windowMenu.AppendMenu(MF_STRING, ID_WINDOW_ARRANGE, MenuText("&Arrange Icons"));
}

bool CMainFrame::LoadFrame(const std::string& title)
{
    if (!Create(title.c_str(), CRect(0, 0, 800, 600)))
        return false;
    BuildWindowMenu();
    if (!m_bars.Create(this, MakeMenus(&m_windowMenu), MakeTools()))
        return false;
    if (!UsesEnglishMenus())
        m_bars.SetStatusText("レディ");   // the bars start with "Ready"
    SetWindowMenu(&m_windowMenu);
    // A bar state stored by another version of the program may not fit this one's bars.
    if (!GP::IsFileVersionChanged())
        LoadBarState();
    // Only a key: the menu shows it beside "Move to Top".
    m_bars.AddKey(GP::ID_WINDOW_GO_POPUP, "Ctrl+G");
    m_bars.AcceptDroppedFiles([this](const std::vector<std::string>& paths) { OnDropFiles(paths); });
    return true;
}

int CMainFrame::OnCreate()
{
    return GP::CMDIFrameWndEx::OnCreate();
}

std::string CMainFrame::MakeTitle() const
{
    const std::string& name = CLibrarianData::GetApplicationTitle();
    BOOL maximized = FALSE;
    auto* child = dynamic_cast<CChildFrame*>(MDIGetActive(&maximized));
    if (!child || maximized)
        return name;
    return name + " - " + child->MakeTitle();
}

void CMainFrame::RefreshTitle()
{
    if (!GetSafeHwnd())
        return;
    for (CMDIChildWnd* child : GetMDIChildren())
        if (auto* frame = dynamic_cast<CChildFrame*>(child))
            frame->RefreshTitle();
    const std::string title = MakeTitle();
    if (GetWindowText() != title)
        SetWindowText(title.c_str());
    m_bars.UpdateCommandStates();
}

BOOL CMainFrame::OnCommand(UINT id)
{
    CApp* app = App();
    if (app && app->OnAppCommand(id))
        return TRUE;
    if (id == kSetUpGrid && app)
    {
        if (CImageView* view = app->GetImageView())
            view->SetUpGrid();
        return TRUE;
    }
    return GP::CMDIFrameWndEx::OnCommand(id);
}

void CMainFrame::OnUpdateCommandUI(CCmdUI* ui)
{
    switch (ui->m_nID)
    {
    // Without an active file document there is nothing to close, save or edit.
    case kFileClose:
    case kFileSave:
    case kFileSaveAs:
    case kEditUndo:
    case kEditCut:
    case kEditCopy:
    case kEditInsert:
    case kEditReplace:
    case kEditDelete:
    case kEditInitialize:
    case kEditSelectAll:
    case kFileDuplicate:
    case kReadAll:
    case kReadSelected:
    case kWriteAll:
    case kWriteSelected:
    case kExportSmfAll:
    case kExportSmfSelected:
    case kImportSmf: ui->Enable(FALSE); break;
    // What a child frame does to itself needs one.
    case GP::ID_WINDOW_FULL_HEIGHT:
    case GP::ID_WINDOW_FULL_WIDTH:
    case GP::ID_WINDOW_SAVE_POSITION: ui->Enable(MDIGetActive() != nullptr); break;
    default: GP::CMDIFrameWndEx::OnUpdateCommandUI(ui);
    }
}

void CMainFrame::OnDropFiles(const std::vector<std::string>& paths)
{
    SetActiveWindow();
    if (CApp* app = App())
        for (const std::string& path : paths)
            app->OpenFile(path);
}

void CMainFrame::OnClose()
{
    // Every modified file is offered for saving first; one cancel keeps the program running.
    if (CApp* app = App())
        if (!app->SaveAllModified())
            return;
    WriteProfileInt("Window", "Maximized", 0);
    GP::CMDIFrameWndEx::OnClose();
}

void CMainFrame::OnDestroy()
{
    m_bars.Destroy();
    GP::CMDIFrameWndEx::OnDestroy();
    PostQuitMessage(0);
}

// ---- child frames ----

CParamView* CChildFrame::GetView() const
{
    for (CDocTemplate* docTemplate : AfxGetDocTemplates())
        for (CDocument* document : docTemplate->GetDocuments())
            if (auto* doc = dynamic_cast<CDoc*>(document))
                if (doc->GetFrame() == this)
                    return dynamic_cast<CParamView*>(doc->GetView());
    return nullptr;
}

BOOL CChildFrame::OnCommand(UINT id)
{
    CParamView* view = GetView();
    if (view && view->OnViewCommand(id))
        return TRUE;
    if (id == kFileClose || id == kFileSave || id == kFileSaveAs)
    {
        CDoc* document = view ? view->GetDoc() : nullptr;
        CApp* app = App();
        if (document && app && !document->IsImage())
            app->OnDocumentCommand(document, id);
        return TRUE;
    }
    return GP::CMDIChildWndEx::OnCommand(id);
}

void CChildFrame::OnUpdateCommandUI(CCmdUI* ui)
{
    CParamView* view = GetView();
    if (view)
    {
        CCmdUI probe(ui->m_nID);
        view->OnViewUpdateCommandUI(&probe);
        if (probe.m_handled)
        {
            *ui = probe;
            return;
        }
    }
    switch (ui->m_nID)
    {
    case kFileClose:
    case kFileSave:
    case kFileSaveAs: ui->Enable(view != nullptr); return;
    case LibrarianCommands::kReadAll:
    case LibrarianCommands::kReadSelected:
    case LibrarianCommands::kWriteAll:
    case LibrarianCommands::kWriteSelected:
    case LibrarianCommands::kExportSmfAll:
    case LibrarianCommands::kExportSmfSelected:
    case LibrarianCommands::kImportSmf: ui->Enable(FALSE); return;
    default: GP::CMDIChildWndEx::OnUpdateCommandUI(ui);
    }
}

void CChildFrame::OnNcRButtonDown(UINT hitTest, CPoint point)
{
    GP::CMDIChildWndEx::OnNcRButtonDown(hitTest, point);
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->SendMessage(WM_COMMAND, GP::ID_WINDOW_GO_POPUP);
}

void CChildFrame::OnContextMenu(CWnd*, CPoint) {}

void CChildFrame::RefreshTitle()
{
    const std::string title = MakeTitle();
    if (GetWindowText() != title)
        SetTitle(title.c_str());
}

CFileFrame::CFileFrame() : CChildFrame(CDoc::kFileTemplateId) {}

std::string CFileFrame::MakeTitle() const
{
    CParamView* view = GetView();
    CDoc* document = view ? view->GetDoc() : nullptr;
    if (!document)
        return GetWindowText();
    // The mark of unsaved changes follows the name; an unchanged file shows its name alone.
    return document->IsModified() ? document->GetTitle() + " *" : document->GetTitle();
}

void CFileFrame::OnClose()
{
    CParamView* view = GetView();
    CDoc* document = view ? view->GetDoc() : nullptr;
    CApp* app = App();
    if (!document || !app)
        return CChildFrame::OnClose();
    if (!SaveModified(document))
        return;
    app->CloseDocument(document);
}

CImageFrame::CImageFrame() : CChildFrame(CDoc::kImageTemplateId) {}

bool SaveModified(CDoc* document)
{
    if (!document || !document->IsModified())
        return true;
    switch (CLibrarianData::AskYesNoCancel("Save changes to " + document->GetTitle() + "?"))
    {
    case 1: return document->DoSave(document->GetPathName().c_str()) != FALSE;
    case 0: return true;
    default: return false;
    }
}
