#include "librarian/app/LibrarianApp.h"

#include "librarian/app/InitialFileDocument.h"
#include "librarian/app/LibrarianCommands.h"
#include "librarian/app/LibrarianData.h"
#include "librarian/app/LibrarianDialogs.h"
#include "librarian/app/LibrarianDocuments.h"
#include "librarian/app/LibrarianFrames.h"
#include "librarian/app/LibrarianViews.h"
#include "librarian/app/Reader.h"
#include "librarian/app/RecentFiles.h"
#include "librarian/app/Writer.h"
#include "librarian/gp/AboutDialogA.h"
#include "librarian/gp/DialogResource.h"
#include "librarian/gp/SingleInstance.h"
#include "librarian/gp/WindowListDlg.h"
#include "midi/devices/CNormalMidiDeviceFactory.h"
#include "midi/framework/CMidiSetupDialog.h"
#include "midi/framework/CVeyMidiDeviceFactory.h"
#include "midi/framework/CVeyMidiManager.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "midi/framework/CVeyMidiSetup.h"
#include "midi/framework/CVeyMidiSetupState.h"
#include "model/CVeyErrorOut.h"
#include "platform/FontDialog.h"
#include "platform/GuiBootstrap.h"
#include "platform/Profile.h"
#include "platform/FileDialog.h"
#include "toolkit/gt/DocumentType.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/gt/Strings.h"
#include "toolkit/gt/SystemPaths.h"
#include "toolkit/gt/VersionInfo.h"
#include "toolkit/progress/CProgressBarB.h"

#include <algorithm>
#include <cctype>
#include <clocale>

using namespace LibrarianCommands;

namespace
{
constexpr const char* kMakerName = "Vantor";
const ML::Bytes kModelId{0x00, 0x00, 0x3C};

CLibrarianData& Data() { return CLibrarianData::GetInstance(); }

void RegisterAppTemplates()
{
    RegisterLibrarianTemplates();
    GP::RegisterWindowListDialog();
    const DWORD visible = WS_VISIBLE;
    GP::SDialogResource about;
    about.caption = "About " + CLibrarianData::GetApplicationTitle();
    about.cx = 220;
    about.cy = 70;
    about.items = {
        {EDialogControl::Static, 0xFFFF, "", 8, 8, 20, 20, visible | SS_ICON},
        {EDialogControl::Static, 32825, "", 36, 8, 176, 10, visible},
        {EDialogControl::Static, 32826, "", 36, 22, 176, 10, visible},
        {EDialogControl::Static, 32866, "", 36, 36, 176, 10, visible},
        {EDialogControl::Button, IDOK, "OK", 166, 50, 46, 14, visible | BS_DEFPUSHBUTTON},
    };
    GP::RegisterDialog(CApp::kAboutTemplateId, about);

    // Two inputs (the instrument, a controller), two outputs (the instrument, thru) and one
    // device ID for all four. A combo box is as high as its closed box: its list sizes itself.
    GP::SDialogResource midi;
    midi.caption = "Set Up MIDI Devices";
    midi.cx = 260;
    midi.cy = 154;
    midi.items = {
        {EDialogControl::Button, 4110, "Talvarix", 6, 4, 248, 126, visible | BS_GROUPBOX},
        {EDialogControl::Static, 0xFFFF, "MIDI IN 1", 14, 18, 56, 10, visible},
        {EDialogControl::ComboBox, 4101, "", 72, 16, 174, 12, visible},
        {EDialogControl::Static, 0xFFFF, "MIDI IN 2", 14, 40, 56, 10, visible},
        {EDialogControl::ComboBox, 4111, "", 72, 38, 174, 12, visible},
        {EDialogControl::Static, 0xFFFF, "MIDI OUT 1", 14, 62, 56, 10, visible},
        {EDialogControl::ComboBox, 4104, "", 72, 60, 174, 12, visible},
        {EDialogControl::Static, 0xFFFF, "MIDI OUT 2", 14, 84, 56, 10, visible},
        {EDialogControl::ComboBox, 4112, "", 72, 82, 174, 12, visible},
        {EDialogControl::Static, 0xFFFF, "Device ID", 14, 108, 56, 10, visible},
        {EDialogControl::ComboBox, LibrarianIds::kMidiDeviceId, "", 72, 106, 48, 12, visible},
        {EDialogControl::Button, IDOK, "OK", 150, 136, 50, 14, visible | BS_DEFPUSHBUTTON},
        {EDialogControl::Button, IDCANCEL, "Cancel", 204, 136, 50, 14, visible},
    };
    GP::RegisterDialog(LibrarianIds::kMidiSetupDialog, midi);
}

// Settings of earlier versions may hold a device ID per port, but the set-up dialog has one box for
// all four, which would show the last row's ID and give it to every port on OK. Every port takes
// the ID the instrument is addressed with (the first output's) instead, so the dialog shows that
// one and a working set-up stays working.
void ShareOneDeviceId()
{
    CVeyMidiOutputs& outputs = CVeyMidiOutputs::GetInstance();
    if (outputs.size() == 0)
        return;
    const uint8_t deviceId = outputs[0].GetDeviceId();
    for (size_t k = 1; k < outputs.size(); ++k)
        outputs[k].SetDeviceId(deviceId);
    CVeyMidiInputs& inputs = CVeyMidiInputs::GetInstance();
    for (size_t k = 0; k < inputs.size(); ++k)
        inputs[k].SetDeviceId(deviceId);
}

bool EndsWithLnk(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".lnk";
}
}

CApp::CApp() : CWinApp("Talvarix Librarian")
{
    GT::SetVersionString("FileDescription", CLibrarianData::GetApplicationTitle());
}

CApp::~CApp() = default;

std::string CApp::GetProgramFolder() const
{
    return m_programFolder.empty() ? GT::GetProgramDirectory() : m_programFolder;
}

std::string CApp::GetCommandLineFile() const
{
    if (m_commandLine.empty())
        return std::string();
    std::string path = GT::UnquoteCString(m_commandLine.c_str(), false);
    if (EndsWithLnk(path))
        path.resize(path.size() - 4);
    path = GT::ResolveShortcut(path);
    return GT::ParseShellPath(path);
}

std::string CApp::ParseOpenCommand(const std::string& command, bool* valid)
{
    static const std::string head("[open(\"");
    if (valid)
        *valid = false;
    if (command.compare(0, head.size(), head) != 0)
        return std::string();
    const size_t end = command.find('"', head.size());
    if (end == std::string::npos)
        return std::string();
    if (valid)
        *valid = true;
    return command.substr(head.size(), end - head.size());
}

BOOL CApp::InitInstance()
{
    m_started = false;
    m_stopCode = 1;
    std::setlocale(LC_CTYPE, "");
    // Numbers in the settings are read and written with '.'.
    UseCNumericLocale();
    if (!CWinApp::InitInstance())
        return FALSE;

    SetApplicationName(CLibrarianData::GetApplicationTitle());
    const std::string file = GetCommandLineFile();
    {
        // A later start hands its file over to this one and ends.
        GP::CSingleInstance guard(file.empty() ? std::string() : "[open(\"" + file + "\")]", std::string(), m_instanceFolder);
        if (!guard.IsFirstInstance())
        {
            m_stopCode = 0;
            return FALSE;
        }
    }
    GP::CSingleInstance::SetCommandHandler([this](const std::string& command) { OnDDECommand(command); });

    SetRegistryKey(kMakerName);
    RegisterAppTemplates();
    CreateDocManager();
    GT::RegisterDocumentType(CLibrarianData::GetExtension(), "TalvarixLibrarian.Document", "Talvarix Librarian Document",
                             0, false);

    m_frame = std::make_unique<CMainFrame>();
    CLibrarianTemplate::SetMainFrame(m_frame.get());
    if (!m_frame->LoadFrame(CLibrarianData::GetApplicationTitle()))
        return FALSE;
    m_pMainWnd = m_frame.get();
    // Shown before any child exists, so that children are placed in the client area's real size.
    m_frame->ShowWindow(SW_SHOW);

    CLibrarianData& data = Data();
    data.LoadOptions();
    CImageDocument::SetMessageShower([](int id) { CLibrarianData::ShowMessage(id); });
    CVeyMidiRequester::SetMessageShower([](int32_t id) { CLibrarianData::ShowMessage(id); });
    CVeyMidiSetupState::SetMessageOut(&m_frame->GetStatusOut());
    if (!CreateMidi())
    {
        CLibrarianData::ShowText("Unable to create MIDI manager.\n");
        return FALSE;
    }
    GetMessageTable().SelectSet(m_language == "English" ? GT::CIndexedStringTable::kEnglishSet
                                                         : GT::CIndexedStringTable::kJapaneseSet);
    CNormalMidiDeviceFactory::GetInstance().Open();
    CVeyMidiSetup::GetInstance().Load();
    ShareOneDeviceId();

    // A refused initial file gets one message of its own, not the reader's too.
    const std::string initial = CInitialFileDocument::MakePath(GetProgramFolder());
    CImageDocument::MessageShower shower = CImageDocument::SetMessageShower(nullptr);
    const bool accepted = CInitialFileDocument::GetInstance().Load(initial);
    CImageDocument::SetMessageShower(std::move(shower));
    if (!accepted)
        CLibrarianData::ShowText("Unable to read initial file.");

    if (!OpenImage())
        return FALSE;

    if (!file.empty() && !OpenFile(file))
    {
        CVeyBufferedErrorOut::GetInstance().Flush();
        return FALSE;
    }
    m_frame->UpdateWindow();
    m_frame->RefreshTitle();
    m_started = true;
    return TRUE;
}

void CApp::CreateDocManager()
{
    m_docManager = std::make_unique<CDocMan>();
    m_pDocManager = m_docManager.get();
    auto files = std::make_unique<CLibrarianTemplate>(
        CDoc::kFileTemplateId,
        "\nUntitled\nTalvarixLibrarian\nTalvarix Librarian Files (*.q9l)\n.q9l\nTalvarixLibrarian.Document\nTalvarix "
        "Librarian Document",
        [] { return std::make_unique<CFileDoc>(); }, [] { return std::make_unique<CFileFrame>(); },
        [] { return std::make_unique<CFileView>(); });
    auto image = std::make_unique<CLibrarianTemplate>(
        CDoc::kImageTemplateId, "", [] { return std::make_unique<CImageDoc>(); },
        [] { return std::make_unique<CImageFrame>(); }, [] { return std::make_unique<CImageView>(); });
    AfxAddDocTemplate(files.get());
    AfxAddDocTemplate(image.get());
    m_templates[CDoc::kFileTemplateId] = std::move(files);
    m_templates[CDoc::kImageTemplateId] = std::move(image);
}

bool CApp::CreateMidi()
{
    SetVeyMidiDeviceFactory(&CNormalMidiDeviceFactory::GetInstance());
    const std::string& name = CLibrarianData::GetInstrumentName();
    if (!CVeyMidiManager::GetInstance().CreatePorts(2, 2, name, kModelId))
        return false;
    m_midiCreated = true;
    CVeyMidiIn& input = CVeyMidiInputs::GetInstance()[0];
    CVeyMidiOut& output = CVeyMidiOutputs::GetInstance()[0];
    auto reader = std::make_unique<AReader>();
    auto writer = std::make_unique<CWriter>();
    input.SetListener(reader.get());
    // What the instrument sends goes on to the second output (its thru).
    input.SetThruOutput(&CVeyMidiOutputs::GetInstance()[1]);
    reader->SetMidiIn(&input);
    reader->SetMidiOut(&output);
    writer->SetMidiOut(&output);
    writer->SetChecker(reader.get());
    reader->SetProgress(&CProgressBarB::GetInstance());
    writer->SetProgress(&CProgressBarB::GetInstance());
    Data().SetTransfers(std::move(reader), std::move(writer));
    return true;
}

bool CApp::OpenImage()
{
    CLibrarianTemplate* image = GetTemplate(CDoc::kImageTemplateId);
    CDoc* document = image ? image->OpenDocumentFile(nullptr) : nullptr;
    if (!document)
        return false;
    document->SetTitle("Main");
    if (document->GetFrame())
        document->GetFrame()->SetTitle("Main");
    return true;
}

void CApp::ReleaseMidi()
{
    if (CVeyMidiInputs::GetInstance().size() > 0)
        CVeyMidiInputs::GetInstance()[0].SetListener(nullptr);
    Data().ReleaseTransfers();
    if (!m_midiCreated)
        return;
    CVeyMidiSetup::GetInstance().Save();
    CVeyMidiSetup::GetInstance().CloseAllDevices();
    CNormalMidiDeviceFactory::GetInstance().Close();
    CVeyMidiManager::GetInstance().DestroyPorts();
    m_midiCreated = false;
}

int CApp::ExitInstance()
{
    // Each step releases only what still exists, so a start-up that stopped half-way ends cleanly.
    if (!m_templates.empty())
    {
        if (m_started)
            Data().SaveOptions();
        for (auto& entry : m_templates)
        {
            entry.second->CloseAllDocuments();
            entry.second->PurgeClosed();
        }
    }
    ReleaseMidi();
    CImageDocument::SetMessageShower(nullptr);
    CVeyMidiRequester::SetMessageShower(nullptr);
    CVeyMidiSetupState::SetMessageOut(nullptr);
    GP::CSingleInstance::ReleaseChannel();
    CLibrarianTemplate::SetMainFrame(nullptr);
    if (m_frame && m_frame->GetSafeHwnd())
        m_frame->DestroyWindow();
    m_pMainWnd = nullptr;
    for (auto& entry : m_templates)
        AfxRemoveDocTemplate(entry.second.get());
    m_templates.clear();
    m_pDocManager = nullptr;
    m_docManager.reset();
    m_frame.reset();
    CInitialFileDocument::GetInstance().Reset();
    const int result = CWinApp::ExitInstance();
    return m_started ? result : m_stopCode;
}

BOOL CApp::OnIdle(LONG count)
{
    const BOOL result = CWinApp::OnIdle(count);
    for (auto& entry : m_templates)
        entry.second->PurgeClosed();
    if (m_frame)
        m_frame->RefreshTitle();
    CVeyBufferedErrorOut::GetInstance().Flush();
    return result;
}

CLibrarianTemplate* CApp::GetTemplate(UINT id) const
{
    const auto found = m_templates.find(id);
    return found == m_templates.end() ? nullptr : found->second.get();
}

CImageDoc* CApp::GetImageDoc() const
{
    CLibrarianTemplate* image = GetTemplate(CDoc::kImageTemplateId);
    return image ? dynamic_cast<CImageDoc*>(image->GetFirstDocument()) : nullptr;
}

CImageView* CApp::GetImageView() const
{
    CImageDoc* document = GetImageDoc();
    return document ? dynamic_cast<CImageView*>(document->GetView()) : nullptr;
}

bool CApp::OpenFile(const std::string& path)
{
    CLibrarianTemplate* files = GetTemplate(CDoc::kFileTemplateId);
    return files && !path.empty() && files->OpenDocumentFile(path.c_str()) != nullptr;
}

bool CApp::OnDDECommand(const std::string& command)
{
    bool valid = false;
    const std::string path = ParseOpenCommand(command, &valid);
    if (!valid)
        return false;
    GP::CSingleInstance::ActivateMainWindow();
    return OpenFile(path);
}

void CApp::CloseDocument(CDoc* document)
{
    if (!document || document->IsImage())
        return;
    if (CLibrarianTemplate* files = GetTemplate(CDoc::kFileTemplateId))
        files->CloseDocument(document);
}

bool CApp::SaveAllModified()
{
    CLibrarianTemplate* files = GetTemplate(CDoc::kFileTemplateId);
    if (!files)
        return true;
    const std::vector<CDocument*> documents = files->GetDocuments();
    for (CDocument* document : documents)
        if (!SaveModified(dynamic_cast<CDoc*>(document)))
            return false;
    return true;
}

void CApp::OnDocumentCommand(CDoc* document, UINT id)
{
    switch (id)
    {
    case kFileClose:
        if (SaveModified(document))
            CloseDocument(document);
        break;
    case kFileSave: document->DoSave(document->GetPathName().c_str()); break;
    case kFileSaveAs: document->DoSave(nullptr); break;
    default: break;
    }
}

bool CApp::OnAppCommand(UINT id)
{
    if (id >= kFileRecent && id < kFileRecent + 8)
    {
        const std::vector<std::string> recent = RecentFiles::Get();
        const size_t index = id - kFileRecent;
        if (index < recent.size())
            OpenFile(recent[index]);
        return true;
    }
    switch (id)
    {
    case kFileNew:
        if (CLibrarianTemplate* files = GetTemplate(CDoc::kFileTemplateId))
            files->OpenDocumentFile(nullptr);
        return true;
    case kFileOpen:
    {
        // No name proposed: the dialog starts in the folder of the last librarian file.
        std::string path;
        if (AfxDoPromptFileName(path, AFX_IDS_SAVEFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE,
                                GetTemplate(CDoc::kFileTemplateId)))
            OpenFile(path);
        return true;
    }
    case kAppExit:
        if (m_frame)
            m_frame->SendMessage(WM_CLOSE);
        return true;
    case kSetUpMidi: ShowMidiSetUp(); return true;
    case kSetUpFont: ShowFontDialog(); return true;
    case kManual: OpenManual(); return true;
    case kAbout: ShowAbout(); return true;
    default: return false;
    }
}

void CApp::ShowFontDialog()
{
    if (Data().GetListFont().ChooseFont(CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT, m_pMainWnd) != IDOK)
        return;
    for (auto& entry : m_templates)
        for (CDocument* document : entry.second->GetDocuments())
            if (auto* doc = dynamic_cast<CDoc*>(document))
                doc->UpdateAllViews(IPatchView::kFontHint);
}

void CApp::ShowMidiSetUp()
{
    CMidiSetupDialogSettings settings;
    settings.templateId = LibrarianIds::kMidiSetupDialog;
    settings.groupBoxId = 4110;
    settings.groupBoxCaption = CLibrarianData::GetInstrumentName();
    const UINT deviceId = LibrarianIds::kMidiDeviceId;
    settings.inputRows = {{4101, deviceId, 16, 31}, {4111, deviceId, 16, 31}};
    settings.outputRows = {{4104, deviceId, 16, 31}, {4112, deviceId, 16, 31}};
    CMidiSetupDialog dialog(settings, m_pMainWnd);
    dialog.DoModal();
}

void CApp::ShowAbout()
{
    UL::CAboutDialogA about(kFrameResourceId, kAboutTemplateId, 0xFFFF, 32825, 32826, 32866);
    about.DoModal();
}

void CApp::OpenManual()
{
    static const std::string path = [this] {
        std::string relative = CLibrarianData::GetMessage(CLibrarianData::kMessageManualPath);
        std::replace(relative.begin(), relative.end(), '\\', '/');
        return GetProgramFolder() + "/" + relative;
    }();
    const std::string problem = GT::OpenManualFile(path, CLibrarianData::GetMessage(CLibrarianData::kMessageManualMissing),
                                                   CLibrarianData::GetMessage(CLibrarianData::kMessageManualNotOpened));
    if (!problem.empty())
        CLibrarianData::ShowText(problem);
}
