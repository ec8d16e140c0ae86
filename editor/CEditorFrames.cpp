#include "editor/CEditorFrames.h"

#include "editor/CEditorApp.h"
#include "editor/EditorNames.h"
#include "platform/WinApp.h"
#include "platform/WindowPlacement.h"
#include "toolkit/gt/IniProfile.h"
#include "toolkit/gt/VersionInfo.h"
#include "toolkit/ul/TipBar.h"

namespace
{
std::string MaximizedKey(const std::string& className) { return "IsWindowMaximized/" + className; }

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
    KeepOnScreen(*this);
    SetWindowText(CEditorNames::GetApplicationName().c_str());
    m_maximized = IsWindowMaximized(kClassName);
    if (!UL::GetTipBar()->Create())
    {
        DestroyWindow();
        return false;
    }
    ShowWindow(SW_SHOW);
    return true;
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
    SetWindowMaximized(kClassName, IsCaptionlessMaximized());
    // The window stays until the managers go, so that its position reaches "WindowPosition.txt".
    PostQuitMessage(0);
}

void CEditorMainFrame::OnDestroy()
{
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
