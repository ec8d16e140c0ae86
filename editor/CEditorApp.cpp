#include "editor/CEditorApp.h"

#include "midi/framework/CVeyFunctorRegistry.h"
#include "model/CVeyDataFile.h"
#include "model/CVeyErrorOut.h"
#include "model/CVeyStruct.h"
#include "platform/GuiBootstrap.h"
#include "platform/Wnd.h"
#include "toolkit/gt/Strings.h"
#include "toolkit/gt/SystemPaths.h"
#include "toolkit/ul/TipBar.h"

#include <clocale>

CEditorApp::CEditorApp(const char* applicationName)
    : CWinApp(applicationName), m_documents(std::make_unique<CPlainDocumentRecord>())
{
}

CEditorApp::~CEditorApp() = default;

CEditorApp* CEditorApp::GetEditorApp() { return dynamic_cast<CEditorApp*>(AfxGetApp()); }

BOOL CEditorApp::InitInstance()
{
    std::setlocale(LC_CTYPE, "");
    // Numbers in the script, the settings and the files are read and written with '.'.
    UseCNumericLocale();
    return CWinApp::InitInstance();
}

BOOL CEditorApp::OnIdle(LONG count)
{
    const BOOL result = CWinApp::OnIdle(count);
    RefreshTitle();
    UL::GetTipBar()->Update();
    CVeyBufferedErrorOut::GetInstance().Flush();
    CVeyFunctorRegistry::GetInstance().RunDueCalls();
    return result;
}

bool CEditorApp::OpenDocument(const std::string& path) { return m_documents->Open(path); }

std::string CEditorApp::GetDocumentTitle() const
{
    std::string title = GetApplicationName() + " - ";
    const std::string path = m_documents->GetCurrentPath();
    title += path.empty() ? std::string("Untitled") : path;
    const CVeyRootStruct* root = CVeyDataFile::GetInstance().GetRootStruct();
    if (root && root->IsModified())
        title += " *";
    return title;
}

void CEditorApp::RefreshTitle()
{
    if (!m_pMainWnd || !m_pMainWnd->GetSafeHwnd())
        return;
    const std::string title = GetDocumentTitle();
    if (m_pMainWnd->GetWindowText() != title)
        m_pMainWnd->SetWindowText(title.c_str());
}

int CEditorApp::QuerySaveOnClose() { return m_documents->QuerySaveOnClose(); }

std::string CEditorApp::GetCommandLineFile() const
{
    if (m_commandLine.empty())
        return std::string();
    const std::string unquoted = GT::UnquoteCString(m_commandLine.c_str(), false);
    return GT::ParseShellPath(GT::ResolveShortcut(unquoted));
}

void CEditorApp::SetDocumentRecord(std::unique_ptr<IEditorDocumentRecord> record)
{
    if (record)
        m_documents = std::move(record);
}
