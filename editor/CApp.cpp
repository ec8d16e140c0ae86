#include "editor/CApp.h"

#include "editor/CEditorFrames.h"
#include "editor/CViewUpdateProgress.h"
#include "editor/CResourceFactory.h"
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
#include "toolkit/gt/DocumentType.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/gt/InstanceManager.h"
#include "toolkit/gt/SystemPaths.h"
#include "toolkit/ul/Cursor.h"
#include "toolkit/ul/FileDialogA.h"
#include "toolkit/ul/TipBar.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/panels/CVeyViewManager.h"

CApp::CApp() : CEditorApp(CEditorNames::GetApplicationName().c_str())
{
    CMidiDeviceIpc::GetInstance().SetProgramName(GetShortName());
}

CApp::~CApp() = default;

void CApp::ShowStartupMessage(const char* text) { AfxMessageBox(text, MB_OK); }

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

void CApp::OnInstanceRequest(const std::string& request)
{
    if (m_pMainWnd && m_pMainWnd->GetSafeHwnd())
    {
        m_pMainWnd->ShowWindow(SW_SHOW);
        m_pMainWnd->SetActiveWindow();
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
    PrepareManagers();
    GetTraceTextOut();

    if (!CVeyViewManager::GetInstance().OpenRootPanel(CRootPanel::kMainPanelName) || !m_pMainWnd)
    {
        ShowStartupMessage("Unable to open main panel.");
        CloseSplash();
        return false;
    }
    m_pMainWnd->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ChooseLanguage();

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
        if (m_documents->Load(file) != kDone)
        {
            CVeyBufferedErrorOut::GetInstance().Flush();
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

bool CApp::PrepareManagers()
{
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

    const std::string localData = GetSpecialFolder(CSIDL_LOCAL_APPDATA);
    folders.userDataFolder = localData.empty() ? std::string() : localData + "/" + GetMakerName() + "/" + GetApplicationName() + "/";
    if (!folders.userDataFolder.empty())
        GT::CreateFolder(folders.userDataFolder, true);

    // Done whatever happens below: a failed start-up still has its filters and its cursor.
    UL::CFileDialogA::CFilterList filters{{GetApplicationName(), GetDocumentExtension()}, {"All Files", "*.*"}};
    m_documents->SetFilters(filters.ToString(), GetDocumentExtension());
    UL::CCursor::Instance();

    splash.Refresh();
    if (!CScriptLocation::GetInstance().Read())
    {
        ShowStartupMessage("Unable to open script.\n");
        return false;
    }
    splash.Refresh();
    if (!VeyCreateManagers())
    {
        ShowStartupMessage("Unable to create.\n");
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
        ShowStartupMessage("Unable to find root struct for data file.\n");
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
    if (m_instrument)
        m_instrument->Initialize();
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
    const int result = CEditorApp::ExitInstance();
    // A start-up that failed ends the program with a failure.
    return m_started ? result : m_stopCode;
}

void CApp::ReleaseDevices()
{
    if (m_instrument && m_started)
        m_instrument->SaveViewState(GetViewStatePath());
    CVeyMidiSetup::GetInstance().CloseAllDevices();
    CNormalMidiDeviceFactory::GetInstance().Close();
    ReleaseTimerTextOutWindow();
    UL::GetTipBar()->Destroy();
}

void CApp::DestroyManagers()
{
    if (!CVeyFolders::GetInstance().userDataFolder.empty() && m_started)
        CVeyViewManager::GetInstance().SaveWindowPositions();
    VeyDestroyManagers();
    CVeyDataFile::GetInstance().SetRootStruct(nullptr);
    if (m_pMainWnd)
        m_pMainWnd = nullptr;
}

void CApp::CloseSplash() { CSplash::GetInstance().Close(); }
