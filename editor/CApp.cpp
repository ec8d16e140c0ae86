#include "editor/CApp.h"

#include "editor/CApplicationMenus.h"
#include "editor/CEditorCommands.h"
#include "editor/CEditorFrames.h"
#include "editor/CViewUpdateProgress.h"
#include "editor/CResourceFactory.h"
#include "editor/controls/CControlFactory.h"
#include "editor/CScriptLocation.h"
#include "editor/CSplashWindow.h"
#include "editor/EditorResources.h"
#include "editor/EditorTextWindows.h"
#include "midi/devices/CNormalMidiDeviceFactory.h"
#include "midi/framework/CMidiDeviceIpc.h"
#include "midi/framework/CVeyFunctorRegistry.h"
#include "midi/framework/CVeyMidiDeviceFactory.h"
#include "midi/framework/CVeyMidiManager.h"
#include "midi/framework/CVeyMidiSetup.h"
#include "midi/framework/CVeyMidiSetupState.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"
#include "model/CVeyErrorOut.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyStruct.h"
#include "model/VeyManagers.h"
#include "platform/Profile.h"
#include "platform/Shell.h"
#include "platform/SystemFolders.h"
#include "platform/WindowPlacement.h"
#include "toolkit/gt/DocumentType.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/gt/InstanceManager.h"
#include "toolkit/gt/SystemPaths.h"
#include "toolkit/ul/Cursor.h"
#include "toolkit/ul/FileDialogA.h"
#include "toolkit/ul/TipBar.h"
#include "ui/controls/VeyTipBar.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/panels/CVeyViewManager.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace
{
// The diagnostic lines written since the mark was set: the reasons of a failed step.
class CTraceMark
{
public:
    CTraceMark() : m_length(GetTraceTextOut().GetText().size()) {}

    // At most `maxLines` lines, without the trailing line break.
    std::string Since(size_t maxLines = 8) const
    {
        const std::string text = GetTraceTextOut().GetText();
        std::string lines = text.size() > m_length ? text.substr(m_length) : std::string();
        size_t end = 0;
        for (size_t count = 0; count < maxLines && end < lines.size(); ++count)
        {
            const size_t next = lines.find('\n', end);
            end = next == std::string::npos ? lines.size() : next + 1;
        }
        lines.erase(std::min(end, lines.size()));
        while (!lines.empty() && (lines.back() == '\n' || lines.back() == ' '))
            lines.pop_back();
        return lines;
    }

private:
    size_t m_length;
};

// Why a file cannot be read; empty when it can.
std::string FileProblem(const std::string& path)
{
    if (access(path.c_str(), R_OK) == 0)
        return std::string();
    return std::strerror(errno);
}

// Why a folder cannot hold the editor's files; empty when it can. Creates it when missing.
std::string FolderProblem(const std::string& folder)
{
    if (GT::CreateFolder(folder, true) && access(folder.c_str(), W_OK | X_OK) == 0)
        return std::string();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return error.message();
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        return std::strerror(errno);
    return "The folder cannot be created.";
}

// A save at exit that failed: the file and why, as far as its folder tells.
void ReportSaveFailure(const char* what, const std::string& path)
{
    const std::string folder = std::filesystem::path(path).parent_path().string();
    std::string reason = "The file cannot be written.";
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        reason = std::filesystem::exists(folder, error) ? "Its folder is not a folder." : "Its folder does not exist.";
    else if (access(folder.c_str(), W_OK | X_OK) != 0)
        reason = std::strerror(errno);
    GetTraceTextOut().Printf("%s : %s : %s\n", what, path.c_str(), reason.c_str());
}
}

CApp::CApp() : CEditorApp(CEditorNames::GetApplicationName().c_str())
{
    CMidiDeviceIpc::GetInstance().SetProgramName(GetShortName());
}

CApp::~CApp() = default;

void CApp::ShowStartupMessage(const char* text) { AfxMessageBox(text, MB_OK); }

std::string CApp::DescribeFailure(const std::string& text, const std::string& file, const std::string& reason)
{
    std::string message = text;
    if (!message.empty() && message.back() != '\n')
        message += '\n';
    message += '\n' + file;
    if (!reason.empty())
        message += '\n' + reason;
    return message;
}

std::string CApp::MakeOpenRequest(const std::string& path) { return "[open(\"" + path + "\")]"; }

std::string CApp::ParseOpenRequest(const std::string& request)
{
    static const std::string head("[open(\"");
    static const std::string tail("\")]");
    if (request.size() < head.size() + tail.size() || request.compare(0, head.size(), head) != 0 ||
        request.compare(request.size() - tail.size(), tail.size(), tail) != 0)
        return std::string();
    return request.substr(head.size(), request.size() - head.size() - tail.size());
}

void CApp::OnInstanceRequest(const std::string& request) { m_pendingRequests.push_back(request); }

BOOL CApp::OnIdle(LONG count)
{
    const BOOL result = CEditorApp::OnIdle(count);
    // One request per pass: opening a document may ask the user and run its own loops, and the
    // next request waits for the next pass.
    if (!m_pendingRequests.empty())
    {
        const std::string request = std::move(m_pendingRequests.front());
        m_pendingRequests.pop_front();
        RunInstanceRequest(request);
        return TRUE;
    }
    return result;
}

void CApp::RunInstanceRequest(const std::string& request)
{
    if (m_pMainWnd && m_pMainWnd->GetSafeHwnd())
    {
        // As far as the window manager lets a program raise itself.
        if (IsIconic(m_pMainWnd))
            ShowWindowState(m_pMainWnd, SW_RESTORE);
        SetForegroundWindow(m_pMainWnd);
    }
    const std::string path = ParseOpenRequest(request);
    if (!path.empty())
        OpenDocument(path);
}

BOOL CApp::InitInstance()
{
    m_started = false;
    m_stopCode = 1;
    if (!CEditorApp::InitInstance())
        return FALSE;

    // Settings, the single-instance channel and the desktop entry go by the application's name.
    SetApplicationName(GetApplicationName());
    const std::string commandLineFile = GetCommandLineFile();
    // A later start hands its document over; requests wait until this start-up has finished
    // (the manager publishes the main window when it goes out of scope).
    GT::CInstanceManager instance(std::string(), commandLineFile.empty() ? std::string() : MakeOpenRequest(commandLineFile));
    if (!instance.IsFirstInstance())
    {
        m_stopCode = 0;
        return FALSE;
    }
    GT::CInstanceManager::SetRequestHandler([](const std::string& request) {
        if (auto* app = dynamic_cast<CApp*>(AfxGetApp()))
            app->OnInstanceRequest(request);
    });

    SetRegistryKey(GetMakerName());
    GT::RegisterDocumentType(GetDocumentExtension(), GetModelName() + "Editor.Document", GetModelName() + " Editor Document",
                             0, false);
    LocateScript();

    CVeyMidiSetup::GetInstance().CloseAllDevices();
    if (!OpenMainPanel())
        return FALSE;
    m_pMainWnd->DragAcceptFiles(TRUE);
    m_started = true;
    return TRUE;
}

void CApp::LocateScript()
{
    std::string folder = GetProgramFolder() + "/" + GetScriptFolderName();
    folder = GT::ConvertPathSeparators(GT::ResolveShortcut(GT::ConvertPathSeparators(folder, false)), true) + "/";
    CScriptLocation& location = CScriptLocation::GetInstance();
    location.SetFolder(folder);
    location.SetFileName(GetScriptFileName());
}

bool CApp::OpenMainPanel()
{
    // A step of PrepareManagers that fails has said why in its own box; the main panel is then
    // missing and start-up ends here without a second box.
    const bool prepared = PrepareManagers();
    // The diagnostics window is made when the user first asks for it (View > Diagnostics): it
    // takes over every line kept so far, and a start that never shows it does not pay for it.

    const CTraceMark mark;
    if (!CVeyViewManager::GetInstance().OpenRootPanel(CRootPanel::kMainPanelName) || !m_pMainWnd)
    {
        if (prepared)
        {
            std::string reason = mark.Since();
            if (reason.empty())
                reason = "The script has no root panel \"" + std::string(CRootPanel::kMainPanelName) + "\" that can be opened.";
            ShowStartupMessage(DescribeFailure("Unable to open main panel.", CScriptLocation::GetInstance().GetPath(), reason).c_str());
        }
        CloseSplash();
        return false;
    }
    BringWindowToTop(m_pMainWnd);
    ApplicationMenus::RegisterMenuFunctors();
    if (!ChooseLanguage())
    {
        CloseSplash();
        return false;
    }

    CNormalMidiDeviceFactory::GetInstance().Open();
    CVeyMidiSetup& midiSetup = CVeyMidiSetup::GetInstance();
    midiSetup.Load();

    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    CVeyRootStruct* root = CVeyDataFile::GetInstance().GetRootStruct();
    const std::string file = GetCommandLineFile();
    if (file.empty())
    {
        if (midiSetup.IsConnected())
        {
            UL::CWaitCursor wait;
            if (m_instrument)
                m_instrument->ReadAll();
            if (root)
                root->SetModified(false);
        }
        else
            CVeyErrorOut::ShowMessage(kMidiNotSetUpMessage);
    }
    else
    {
        const CTraceMark loadMark;
        if (m_documents->Load(file) != kDone)
        {
            ShowDocumentFailure(file, loadMark.Since());
            CloseSplash();
            return false;
        }
        if (midiSetup.IsConnected())
        {
            UL::CWaitCursor wait;
            if (m_instrument)
                m_instrument->WriteAllChecked();
        }
        else
            CVeyErrorOut::ShowMessage(kMidiNotSetUpMessage);
        buffers.UpdateViews();
        buffers.ClearChanges();
        if (root)
            root->SetModified(false);
    }
    RefreshTitle();
    CloseSplash();
    return true;
}

void CApp::ShowDocumentFailure(const std::string& path, const std::string& diagnostics)
{
    // The buffered reasons appear at once, with the file they are about.
    CVeyBufferedErrorOut& buffered = CVeyBufferedErrorOut::GetInstance();
    std::string text = buffered.GetBufferedText();
    if (text.empty())
        text = GetMessageTable().Find(CVeyDataFile::kLoadFailedMessage);
    std::string reason = FileProblem(path);
    if (reason.empty())
        reason = diagnostics;
    const int32_t mode = buffered.GetMode();
    buffered.SetMode(CVeyBufferedErrorOut::kKeepLatest);
    buffered.Write(DescribeFailure(text, path, reason));
    buffered.SetMode(mode);
    buffered.Flush();
}

bool CApp::PrepareManagers()
{
    // A program folder without its icon still starts: the windows keep the desktop's own.
    LoadProgramIcon();
    CSplash& splash = CSplash::GetInstance();
    splash.Show(kSplashBitmapId, kFrameResourceId, 0);

    // Each manager's owner registers its create and destroy steps; the order of creation is
    // fixed by VeyCreateManagers.
    CVeyResourceManager::RegisterManagerStep();
    CVeyBufferManager::RegisterManagerStep();
    CVeyMidiManager::RegisterManagerStep();
    CVeyViewManager::RegisterManagerStep();
    SetVeyMidiDeviceFactory(&CNormalMidiDeviceFactory::GetInstance());

    CVeyResourceManager::GetInstance().SetResourceFactory(std::make_unique<CResourceFactory>());
    // The instrument's own control types, before the script's panels are read.
    CControlFactory::GetInstance();
    CPanelFactory& panelFactory = CPanelFactory::GetInstance();
    panelFactory.m_iconId = kFrameResourceId;
    CVeyViewManager::GetInstance().SetPanelFactory(&panelFactory);
    CVeyViewManager::GetInstance().SetProgressSource([]() -> IVeyUpdateProgress* { return &CViewUpdateProgress::GetInstance(); });
    // "MIDI connect error." and "MIDI reconnected." show in the timed notice window.
    CVeyMidiSetupState::SetMessageOut(&GetTimerTextOutWindow());
    // The standard functors ("SendRq1", "SendDt1", "RequestRq1Dt1") come with the registry.
    CVeyFunctorRegistry::GetInstance();

    CVeyFolders& folders = CVeyFolders::GetInstance();
    const std::string scriptFolder = GT::ConvertPathSeparators(CScriptLocation::GetInstance().GetFolder(), true);
    folders.scriptFolder = scriptFolder;
    CVeyStateBitmap::SetBitmapFolder(scriptFolder);

    // Done whatever happens below: a failed start-up still has its filters and its cursor.
    UL::CFileDialogA::CFilterList filters{{GetApplicationName(), GetDocumentExtension()}, {"All Files", "*.*"}};
    m_documents->SetFilters(filters.ToString(), GetDocumentExtension());
    UL::CCursor::Instance();

    // The view state and the window positions are kept here. The editor works without them: a
    // folder that cannot be made is named in a diagnostic line, and each save into it at exit
    // says why it failed.
    const std::string localData = GetSpecialFolder(CSIDL_LOCAL_APPDATA);
    const std::string userData = localData.empty() ? std::string() : localData + "/" + GetMakerName() + "/" + GetApplicationName() + "/";
    const std::string folderProblem = userData.empty() ? std::string("There is no data folder for this user.") : FolderProblem(userData);
    if (!folderProblem.empty())
        GetTraceTextOut().Printf("Unable to create the folder for the editor's settings. : %s : %s\n", userData.c_str(), folderProblem.c_str());
    folders.userDataFolder = userData;

    splash.Refresh();
    const std::string& script = CScriptLocation::GetInstance().GetPath();
    CTraceMark mark;
    if (!CScriptLocation::GetInstance().Read())
    {
        std::string reason = FileProblem(script);
        if (reason.empty())
            reason = mark.Since();
        ShowStartupMessage(DescribeFailure("Unable to open script.\n", script, reason).c_str());
        return false;
    }
    splash.Refresh();
    mark = CTraceMark();
    if (!VeyCreateManagers())
    {
        ShowStartupMessage(DescribeFailure("Unable to create.\n", script, mark.Since()).c_str());
        return false;
    }
    CVeyViewManager::GetInstance().LoadWindowPositions();
    splash.Refresh();

    CVeyStruct* found = nullptr;
    CVeyRootStruct* root = nullptr;
    if (CVeyBufferManager::GetInstance().FindStruct(GetRootStructName(), found))
        root = dynamic_cast<CVeyRootStruct*>(found);
    CVeyDataFile& dataFile = CVeyDataFile::GetInstance();
    if (!root)
    {
        // Without its data the editor has nothing to edit: the panels are not opened at all.
        ShowStartupMessage(DescribeFailure("Unable to find root struct for data file.\n", script,
                                           "The script declares no root struct \"" + GetRootStructName() + "\".")
                               .c_str());
        VeyDestroyManagers();
        dataFile.SetRootStruct(nullptr);
        return false;
    }
    dataFile.SetRootStruct(root);
    dataFile.SetProductName(GetModelName());
    CloseSplash();
    return true;
}

bool CApp::ChooseLanguage()
{
    const bool english = LoadResourceString(kLanguageStringId) == "English";
    GetMessageTable().SelectSet(english ? GT::CIndexedStringTable::kEnglishSet : GT::CIndexedStringTable::kJapaneseSet);
    CSplash::GetInstance().Refresh();
    const CTraceMark mark;
    if (m_instrument && !m_instrument->Initialize())
    {
        // A script that lacks a value the instrument layer binds would leave it working on
        // nothing: the start ends with the paths that are missing.
        ShowStartupMessage(DescribeFailure("Unable to bind the script's values.\n", CScriptLocation::GetInstance().GetPath(),
                                           mark.Since())
                               .c_str());
        return false;
    }
    return true;
}

bool CApp::OpenDocument(const std::string& path)
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    if (!CEditorApp::OpenDocument(path))
    {
        buffers.UpdateViews();
        buffers.ClearChanges();
        return false;
    }
    {
        UL::CWaitCursor wait;
        if (m_instrument && CVeyMidiSetup::GetInstance().IsConnected())
            m_instrument->WriteAll();
    }
    buffers.UpdateViews();
    buffers.ClearChanges();
    RefreshTitle();
    return true;
}

int CApp::ExitInstance()
{
    ReleaseDevices();
    DestroyManagers();
    CloseSplash();
    // A start from now on is the first one: it does not wait on a program that is going.
    GT::CInstanceManager::Close();
    const int result = CEditorApp::ExitInstance();
    // A start-up that failed ends the program with a failure.
    return m_started ? result : m_stopCode;
}

void CApp::ReleaseDevices()
{
    if (m_instrument && m_started && !CVeyFolders::GetInstance().userDataFolder.empty())
    {
        const std::string path = GetViewStatePath();
        if (!m_instrument->SaveViewState(path))
            ReportSaveFailure("Unable to save the view state.", path);
    }
    CVeyMidiSetup::GetInstance().CloseAllDevices();
    CNormalMidiDeviceFactory::GetInstance().Close();
    ReleaseTimerTextOutWindow();
    ReleaseTraceTextOutWindow();
    VeySetTipBar(nullptr);
    UL::GetTipBar()->Destroy();
}

void CApp::DestroyManagers()
{
    if (!CVeyFolders::GetInstance().userDataFolder.empty() && m_started && !CVeyViewManager::GetInstance().SaveWindowPositions())
        ReportSaveFailure("Unable to save the window positions.", CVeyViewManager::GetInstance().GetWindowPositionPath());
    VeyDestroyManagers();
    CVeyDataFile::GetInstance().SetRootStruct(nullptr);
    if (m_pMainWnd)
        m_pMainWnd = nullptr;
}

void CApp::CloseSplash() { CSplash::GetInstance().Close(); }

bool CApp::OpenManual() { return CEditorCommands::OpenManual(); }

void CApp::ShowAbout() { CEditorCommands::ShowAbout(); }
