#include "editor/CEditorFrames.h"

#include "editor/CDocumentDialog.h"
#include "editor/CEditorApp.h"
#include "editor/CEditorCommands.h"
#include "editor/CEditorMidiSetup.h"
#include "editor/EditorNames.h"
#include "editor/EditorTextWindows.h"
#include "editor/EditorResources.h"
#include "editor/instrument/CBufferAccessor.h"
#include "platform/WinApp.h"
#include "platform/WindowPlacement.h"
#include "toolkit/gt/IniProfile.h"
#include "toolkit/gt/VersionInfo.h"
#include "toolkit/progress/CProgressBarB.h"
#include "toolkit/ul/TipBar.h"
#include "ui/controls/VeyTipBar.h"

#include <algorithm>
#include <map>

namespace
{
std::string MaximizedKey(const std::string& className) { return "IsWindowMaximized/" + className; }

// Which bars were shown at the last close.
constexpr const char* kToolBarKey = "ControlBar/ToolBar";
constexpr const char* kStatusBarKey = "ControlBar/StatusBar";

// A position saved under another screen layout can lie off every screen now: the window is moved
// back into the work area (its size stays), so the user can always reach it.
void KeepOnScreen(CWnd& window)
{
    CRect work;
    if (!GetScreenWorkArea(&work))
        return;
    CRect outer;
    window.GetWindowRect(&outer);
    CRect fitted = outer;
    FitRectIntoBounds(fitted, work);
    if (fitted.left != outer.left || fitted.top != outer.top)
        window.SetWindowPos(nullptr, fitted.left, fitted.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
}

bool IsTransferRunning() { return CProgressBarB::GetWindow().IsShown(); }

bool IsWindowMaximized(const std::string& className)
{
    return GT::CIniProfile::Instance().GetInt(MaximizedKey(className), 0) != 0;
}

void SetWindowMaximized(const std::string& className, bool maximized)
{
    GT::CIniProfile::Instance().SetInt(MaximizedKey(className), maximized ? 1 : 0);
}

CEditorMainFrame::CEditorMainFrame(CWindowRootPanel* panel, UINT iconId) : CPanelWindow(panel), m_iconId(iconId) {}

CEditorMainFrame::~CEditorMainFrame()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
}

bool CEditorMainFrame::Create()
{
    CWinApp* app = AfxGetApp();
    if (app)
        app->m_pMainWnd = this;
    if (!CPanelWindow::Create())
    {
        if (app && app->m_pMainWnd == this)
            app->m_pMainWnd = nullptr;
        return false;
    }
    // The bar first: the window grows by its height before it is kept on the screen.
    if (!m_menuBar.Create(
            this, MainMenu(), [this](UINT id) { return IsCommandEnabled(id); }, [this](UINT id) { RunCommand(id); }))
    {
        DestroyWindow();
        return false;
    }
    m_menuBar.CreateBars(
        ToolBar(),
        [this](UINT id) {
            if (id == kToolBarCommand)
                return m_menuBar.IsToolBarShown() ? 1 : 0;
            if (id == kStatusBarCommand)
                return m_menuBar.IsStatusBarShown() ? 1 : 0;
            if (id == kDiagnosticsCommand)
                return IsTraceTextOutWindowShown() ? 1 : 0;
            return -1;
        },
        CommandPrompt);
    // A new version of the program may lay its bars out otherwise: their state is not taken over.
    if (!GT::IsFileVersionChanged())
    {
        GT::CIniProfile& profile = GT::CIniProfile::Instance();
        m_menuBar.ShowToolBar(profile.GetInt(kToolBarKey, 0) != 0);
        m_menuBar.ShowStatusBar(profile.GetInt(kStatusBarKey, 0) != 0);
    }
    KeepOnScreen(*this);
    SetWindowText(CEditorNames::GetApplicationName().c_str());
    if (!UL::GetTipBar()->Create())
    {
        DestroyWindow();
        return false;
    }
    // The panels' controls show their values in this tip bar while they have the focus.
    VeyUseToolkitTipBar();
    if (IsWindowMaximized(kClassName))
        EnterCaptionlessMaximized();
    else
        ShowWindow(SW_SHOW);
    return true;
}

// The window returns to the rectangle it had before, menu bar included: a frame that changes
// its caption may forget its normal rectangle, so the frame keeps it.
void CEditorMainFrame::EnterCaptionlessMaximized()
{
    if (m_maximized || !GetSafeHwnd())
        return;
    m_maximized = true;
    WINDOWPLACEMENT placement;
    if (GetWindowPlacement(this, &placement))
        m_normalRect = placement.rcNormalPosition;
    ShowWindowCaption(this, false);
    ShowWindowState(this, SW_MAXIMIZE);
    m_menuBar.Show(false);
    CenterClientArea(this, PanelSize());
}

void CEditorMainFrame::LeaveCaptionlessMaximized()
{
    if (!m_maximized || !GetSafeHwnd())
        return;
    m_maximized = false;
    CenterClientArea(this, SIZE{0, 0});
    ShowWindowCaption(this, true);
    ShowWindowState(this, SW_RESTORE);
    m_menuBar.Show(true);
    if (!m_normalRect.IsRectEmpty())
        SetWindowOuterRect(this, m_normalRect);
}

SIZE CEditorMainFrame::PanelSize() const
{
    const CWindowRootPanel* panel = GetPanel();
    if (!panel)
        return SIZE{0, 0};
    return SIZE{std::max<int32_t>(1, panel->GetRect().Width()), std::max<int32_t>(1, panel->GetRect().Height())};
}

LRESULT CEditorMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SYSCOMMAND)
    {
        const WPARAM command = wParam & 0xFFF0;
        if (command == SC_MAXIMIZE)
            EnterCaptionlessMaximized();
        else if (command == SC_RESTORE)
            LeaveCaptionlessMaximized();
    }
    return CPanelWindow::WindowProc(message, wParam, lParam);
}

void CEditorMainFrame::OnLButtonDblClk(UINT flags, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    if (m_maximized && !client.PtInRect(point))
    {
        LeaveCaptionlessMaximized();
        return;
    }
    CPanelWindow::OnLButtonDblClk(flags, point);
}

void CEditorMainFrame::OnPanelResized(int32_t dw, int32_t dh)
{
    if (m_maximized)
        CenterClientArea(this, PanelSize());
    else
        CPanelWindow::OnPanelResized(dw, dh);
}

void CEditorMainFrame::OnDropFiles(const std::vector<std::string>& paths)
{
    SetActiveWindow();
    auto* app = CEditorApp::GetEditorApp();
    if (!app)
        return;
    for (const std::string& path : paths)
        app->OpenDocument(path);
}

namespace
{
// The Japanese resources' menu texts, by the English text they stand for; the wording follows the
// message catalogue's popup menus.
const std::map<std::string, std::string>& JapaneseMenuTexts()
{
    static const std::map<std::string, std::string> texts = {
        {"&File", "ファイル(&F)"},
        {"&Open...", "開く(&O)..."},
        {"&Save", "保存(&S)"},
        {"Save &As...", "名前を付けて保存(&A)..."},
        {"Import S&MF...", "SMF をインポート(&M)..."},
        {"Export SM&F...", "SMF をエクスポート(&F)..."},
        {"E&xit", "終了(&X)"},
        {"&Edit", "編集(&E)"},
        {"&Initialize Patch", "パッチの初期化(&I)"},
        {"&Copy", "コピー(&C)"},
        {"&Paste", "貼り付け(&P)"},
        {"Copy &MIDI Message to Clipboard", "MIDI メッセージをクリップボードにコピー(&M)"},
        {"&View", "表示(&V)"},
        {"&Tool Bar", "ツール バー(&T)"},
        {"&Status Bar", "ステータス バー(&S)"},
        {"&Diagnostics", "診断メッセージ(&D)"},
        {"&Setup", "設定(&S)"},
        {"Set Up &MIDI Devices...", "MIDI 機器の設定(&M)..."},
        {"&Help", "ヘルプ(&H)"},
        {"Talvarix Editor &Manual", "Talvarix Editor の使いかた(&M)"},
        {"&About Talvarix Editor...", "Talvarix Editor について(&A)..."},
        // The tool bar's buttons.
        {"Open", "開く"},
        {"Save", "保存"},
        {"Import SMF", "SMF インポート"},
        {"Export SMF", "SMF エクスポート"},
        {"About", "情報"},
    };
    return texts;
}
}

std::vector<CBarMenu> CEditorMainFrame::MainMenu()
{
    std::vector<CBarMenu> menus = EnglishMainMenu();
    if (LoadResourceString(IDS_LANGUAGE) != "English")
        TranslateBarMenus(menus, JapaneseMenuTexts());
    return menus;
}

std::vector<CBarMenu> CEditorMainFrame::EnglishMainMenu()
{
    using C = CEditorCommands;
    auto patchParts = [](UINT tone1, UINT mfx, UINT chorus, UINT reverb) {
        std::vector<CBarCommand> parts;
        for (UINT tone = 0; tone < 4; ++tone)
            parts.push_back({tone1 + tone, "Patch Tone " + std::to_string(tone + 1), ""});
        parts.push_back({0, "", ""});
        parts.push_back({mfx, "Patch MFX", ""});
        parts.push_back({chorus, "Patch Chorus", ""});
        parts.push_back({reverb, "Patch Reverb", ""});
        return parts;
    };
    CBarMenu file("&File", {{C::kOpen, "&Open...", "Ctrl+O"},
                            {0, "", ""},
                            {C::kSave, "&Save", "Ctrl+S"},
                            {C::kSaveAs, "Save &As...", ""},
                            {0, "", ""},
                            {C::kImportSmf, "Import S&MF...", ""},
                            {C::kExportSmf, "Export SM&F...", ""},
                            {0, "", ""},
                            {C::kExit, "E&xit", ""}});
    CBarMenu edit("&Edit", {{C::kInitializePatch, "&Initialize Patch", ""},
                            {CBarMenu::kSubMenu, "&Copy", ""},
                            {CBarMenu::kSubMenu, "&Paste", ""},
                            {0, "", ""},
                            {C::kCopyMidiMessage, "Copy &MIDI Message to Clipboard", ""}});
    edit.subMenus.emplace_back("&Copy", patchParts(C::kCopyTone1, C::kCopyMfx, C::kCopyChorus, C::kCopyReverb));
    edit.subMenus.emplace_back("&Paste", patchParts(C::kPasteTone1, C::kPasteMfx, C::kPasteChorus, C::kPasteReverb));
    CBarMenu view("&View", {{kToolBarCommand, "&Tool Bar", ""},
                            {kStatusBarCommand, "&Status Bar", ""},
                            {0, "", ""},
                            {kDiagnosticsCommand, "&Diagnostics", ""}});
    CBarMenu setup("&Setup", {{C::kSetUpMidi, "Set Up &MIDI Devices...", ""}});
    return {file, edit, view, setup, HelpMenu()};
}

std::vector<CBarCommand> CEditorMainFrame::ToolBar()
{
    using C = CEditorCommands;
    std::vector<CBarCommand> tools{{C::kOpen, "Open", ""},     {C::kSave, "Save", ""},
                                   {0, "", ""},                {C::kImportSmf, "Import SMF", ""},
                                   {C::kExportSmf, "Export SMF", ""}, {0, "", ""},
                                   {C::kSetUpMidi, "MIDI", ""}, {C::kAbout, "About", ""}};
    if (LoadResourceString(IDS_LANGUAGE) != "English")
        TranslateBarCommands(tools, JapaneseMenuTexts());
    return tools;
}

std::string CEditorMainFrame::CommandPrompt(UINT id)
{
    using C = CEditorCommands;
    struct SPrompt
    {
        const char* english;
        const char* japanese;
    };
    static const std::map<UINT, SPrompt> prompts = {
        {C::kOpen, {"Open an existing document", "既存のドキュメントを開きます"}},
        {C::kSave, {"Save the active document", "作業中のドキュメントを保存します"}},
        {C::kSaveAs, {"Save the active document with a new name", "作業中のドキュメントを新しい名前で保存します"}},
        {C::kImportSmf, {"Import SMF", "SMF をインポートします"}},
        {C::kExportSmf, {"Export Patch as SMF", "パッチを SMF としてエクスポートします"}},
        {C::kExit, {"Quit the application; prompts to save documents",
                    "アプリケーションを終了します。ドキュメントを保存するかどうか確認します"}},
        {C::kInitializePatch, {"Initialize Patch", "パッチを初期化します"}},
        {C::kCopyMfx, {"Copy Patch MFX", "パッチ MFX をコピーします"}},
        {C::kCopyChorus, {"Copy Patch Chorus", "パッチ コーラスをコピーします"}},
        {C::kCopyReverb, {"Copy Patch Reverb", "パッチ リバーブをコピーします"}},
        {C::kPasteMfx, {"Paste Patch MFX", "パッチ MFX を貼り付けます"}},
        {C::kPasteChorus, {"Paste Patch Chorus", "パッチ コーラスを貼り付けます"}},
        {C::kPasteReverb, {"Paste Patch Reverb", "パッチ リバーブを貼り付けます"}},
        {C::kCopyMidiMessage, {"Copy MIDI message to clipboard", "MIDI メッセージをクリップボードにコピーします"}},
        {kToolBarCommand, {"Show or hide the tool bar", "ツール バーの表示／非表示を切り替えます"}},
        {kStatusBarCommand, {"Show or hide the status bar", "ステータス バーの表示／非表示を切り替えます"}},
        {kDiagnosticsCommand, {"Show or hide the window of the diagnostic messages",
                               "診断メッセージのウィンドウの表示／非表示を切り替えます"}},
        {C::kSetUpMidi, {"Set up MIDI devices", "MIDI 機器を設定します"}},
        {C::kManual, {"Display the Talvarix editor manual", "Talvarix Editor の使いかたを表示します"}},
        {C::kAbout, {"Display program information, version number and copyright",
                     "プログラム情報、バージョン、著作権を表示します"}},
    };
    const bool english = LoadResourceString(IDS_LANGUAGE) == "English";
    auto text = [english](const std::string& englishText, const std::string& japanese) {
        return english ? englishText : japanese;
    };
    if (id >= C::kCopyTone1 && id <= C::kCopyTone4)
    {
        const std::string tone = std::to_string(id - C::kCopyTone1 + 1);
        return text("Copy Patch Tone " + tone, "パッチ トーン " + tone + " をコピーします");
    }
    if (id >= C::kPasteTone1 && id <= C::kPasteTone4)
    {
        const std::string tone = std::to_string(id - C::kPasteTone1 + 1);
        return text("Paste Patch Tone " + tone, "パッチ トーン " + tone + " を貼り付けます");
    }
    const auto found = prompts.find(id);
    return found == prompts.end() ? std::string() : text(found->second.english, found->second.japanese);
}

CBarMenu CEditorMainFrame::HelpMenu()
{
    using C = CEditorCommands;
    return CBarMenu("&Help", {{C::kManual, "Talvarix Editor &Manual", ""}, {C::kAbout, "&About Talvarix Editor...", ""}});
}

namespace
{
CDocumentDialog* DocumentDialog()
{
    auto* app = CEditorApp::GetEditorApp();
    return app ? dynamic_cast<CDocumentDialog*>(&app->GetDocumentRecord()) : nullptr;
}
}

bool CEditorMainFrame::IsCommandEnabled(UINT id) const
{
    if (id == CEditorCommands::kExit || id == CEditorCommands::kSetUpMidi || id == kToolBarCommand ||
        id == kStatusBarCommand || id == kDiagnosticsCommand)
        return true;
    CDocumentDialog* documents = DocumentDialog();
    if (!documents)
        return false;
    bool enabled = false;
    return CEditorCommands(CBufferAccessor::GetInstance(), *documents).IsEnabled(id, enabled) && enabled;
}

void CEditorMainFrame::RunCommand(UINT id)
{
    if (id == CEditorCommands::kExit)
    {
        // As the window's close box: the save prompt may keep the program open.
        PostMessage(WM_CLOSE, 0, 0);
        return;
    }
    if (id == CEditorCommands::kSetUpMidi)
    {
        ShowEditorMidiSetUp(this);
        return;
    }
    if (id == kToolBarCommand)
    {
        m_menuBar.ShowToolBar(!m_menuBar.IsToolBarShown());
        return;
    }
    if (id == kStatusBarCommand)
    {
        m_menuBar.ShowStatusBar(!m_menuBar.IsStatusBarShown());
        return;
    }
    if (id == kDiagnosticsCommand)
    {
        ShowTraceTextOutWindow(!IsTraceTextOutWindowShown());
        return;
    }
    if (!IsCommandEnabled(id))
        return;
    if (CDocumentDialog* documents = DocumentDialog())
        CEditorCommands(CBufferAccessor::GetInstance(), *documents).Run(id);
}

void CEditorMainFrame::OnTimer(UINT_PTR id)
{
    if (IsTransferRunning())
        return;
    m_menuBar.UpdateToolStates();
    CPanelWindow::OnTimer(id);
}

void CEditorMainFrame::OnClose()
{
    auto* app = CEditorApp::GetEditorApp();
    if (app)
    {
        const int result = app->QuerySaveOnClose();
        if (result == CEditorApp::kCancelled || result == CEditorApp::kFailed)
            return;
    }
    GT::SaveFileVersion();
    GT::CIniProfile& profile = GT::CIniProfile::Instance();
    profile.SetInt(kToolBarKey, m_menuBar.IsToolBarShown() ? 1 : 0);
    profile.SetInt(kStatusBarKey, m_menuBar.IsStatusBarShown() ? 1 : 0);
    SetWindowMaximized(kClassName, IsCaptionlessMaximized());
    // The window stays until the managers go, so that its position reaches "WindowPosition.txt".
    PostQuitMessage(0);
}

void CEditorMainFrame::OnDestroy()
{
    m_menuBar.Destroy();
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
    CPanelWindow::OnDestroy();
}

CEditorSubFrame::CEditorSubFrame(CWindowRootPanel* panel, UINT iconId) : CPanelWindow(panel), m_iconId(iconId) {}

bool CEditorSubFrame::Create()
{
    if (!CPanelWindow::Create())
        return false;
    KeepOnScreen(*this);
    return true;
}

void CEditorSubFrame::OnTimer(UINT_PTR id)
{
    if (!IsTransferRunning())
        CPanelWindow::OnTimer(id);
}

CPanelWindow* CRootPanel::NewWindow()
{
    const UINT iconId = CPanelFactory::GetInstance().m_iconId;
    if (GetName() == kMainPanelName)
        return new CEditorMainFrame(this, iconId);
    return new CEditorSubFrame(this, iconId);
}

CPanelFactory& CPanelFactory::GetInstance()
{
    static CPanelFactory factory;
    return factory;
}

std::unique_ptr<CVeyRootPanel> CPanelFactory::CreateRootPanel() { return std::make_unique<CRootPanel>(); }
