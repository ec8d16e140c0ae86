#include "tests/librarian/app/LibrarianAppFixture.h"

#include "librarian/app/LibrarianData.h"
#include "librarian/app/LibrarianDialogs.h"
#include "librarian/app/LibrarianFile.h"
#include "librarian/app/Reader.h"
#include "librarian/app/Writer.h"
#include "librarian/gp/SingleInstance.h"
#include "platform/Messages.h"
#include "platform/Profile.h"

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

CLibrarianAppTest::CLibrarianAppTest() : m_instrument(InstrumentMemoryMap()) {}

void CLibrarianAppTest::SetUp()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    m_savedDataHome = dataHome ? dataHome : "";
    setenv("XDG_DATA_HOME", m_data.Path().c_str(), 1);
    SetProfileFolder(m_config.Path());
    // The settings file goes by the program's names, which the start-up sets.
    SetRegistryKey("Vantor");
    SetApplicationName("Talvarix Librarian");
    m_backend.SetScheduler([this](DWORD delay, std::function<void()> action) { m_clock.After(delay, std::move(action)); });
    m_instrument.AttachTo(m_backend, "Talvarix", &m_clock);
    m_backend.SetDoneAtWireRate("Talvarix", true);
    SeedInstrument(m_instrument);
    // The saved MIDI set-up connects the first input and output to the instrument.
    WriteProfileString("MIDIConnection", "MIDIInDevice0", "Talvarix");
    WriteProfileString("MIDIConnection", "MIDIOutDevice0", "Talvarix");

    m_answers = std::make_unique<CMessageBoxAnswers>([this](const std::string& text, bool) {
        m_boxes.push_back(text);
        return m_saveAnswer;
    });
    CMidiWarningDlg::SetAnswerHook([this](int kind, const std::string&, bool& dontShow) {
        m_warnings.push_back(kind);
        dontShow = m_dontShowAgain;
        return m_warningAnswer;
    });
    SetSmfFileHook([this](bool) { return m_smfFile; });
    m_app = std::make_unique<CApp>();
    m_app->SetProgramFolder(m_program.Path());
    m_app->SetInstanceFolder(m_channel.Path());
}

void CLibrarianAppTest::TearDown()
{
    if (m_app && !m_exited)
        Exit();
    m_app.reset();
    while (PumpAllMessages())
    {
    }
    SetSmfFileHook(nullptr);
    CMidiWarningDlg::SetAnswerHook(nullptr);
    m_answers.reset();
    CLibrarianData::GetInstance().GetClipboard().RemoveAll();
    SetProfileFolder("");
    if (m_savedDataHome.empty())
        unsetenv("XDG_DATA_HOME");
    else
        setenv("XDG_DATA_HOME", m_savedDataHome.c_str(), 1);
}

void CLibrarianAppTest::WriteInitialFile(const CParameterArray& patches)
{
    mkdir((m_program.Path() + "/Script").c_str(), 0700);
    mkdir((m_program.Path() + "/Script/Q9EL").c_str(), 0700);
    ASSERT_TRUE(WriteFileBytes(m_program.Path() + "/Script/Q9EL/InitialData.q9l", WriteBytes(patches)));
}

bool CLibrarianAppTest::Start(const std::string& commandLine)
{
    m_app->SetCommandLine(commandLine);
    const bool started = m_app->InitInstance() != FALSE;
    if (started)
    {
        // Transfers report to a recording progress, which can cancel at a chosen block.
        CLibrarianData& data = CLibrarianData::GetInstance();
        data.GetReader()->SetProgress(&m_progress);
        data.GetWriter()->SetProgress(&m_progress);
    }
    Idle();
    m_instrument.ClearLogs();
    return started;
}

int CLibrarianAppTest::Exit()
{
    m_exited = true;
    const int code = m_app->ExitInstance();
    while (PumpAllMessages())
    {
    }
    return code;
}

void CLibrarianAppTest::Idle()
{
    while (PumpAllMessages())
    {
    }
    m_app->OnIdle(0);
}

CImageDoc& CLibrarianAppTest::ImageDoc()
{
    CImageDoc* document = m_app->GetImageDoc();
    EXPECT_NE(nullptr, document);
    return *document;
}

CImageView& CLibrarianAppTest::ImageView()
{
    CImageView* view = m_app->GetImageView();
    EXPECT_NE(nullptr, view);
    return *view;
}

CPatchArray& CLibrarianAppTest::Image() { return ImageDoc().GetData().GetCurrent().GetPatches(); }

std::vector<CFileDoc*> CLibrarianAppTest::FileDocs()
{
    std::vector<CFileDoc*> documents;
    if (CLibrarianTemplate* files = m_app->GetTemplate(CDoc::kFileTemplateId))
        for (CDocument* document : files->GetDocuments())
            documents.push_back(dynamic_cast<CFileDoc*>(document));
    return documents;
}

CParamView& CLibrarianAppTest::ViewOf(CDoc& document)
{
    auto* view = dynamic_cast<CParamView*>(document.GetView());
    EXPECT_NE(nullptr, view);
    return *view;
}

void CLibrarianAppTest::SelectRows(CParamView& view, const std::vector<int>& rows)
{
    CPatchListCtrl& list = view.GetList();
    list.SelectItems(-1, false);
    for (int row : rows)
        list.SelectItems(row, true);
}
