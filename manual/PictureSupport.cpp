#include "manual/PictureSupport.h"

#include "platform/Dialog.h"
#include "platform/GuiBootstrap.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/UiDriver.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace
{
constexpr UINT kActionMessage = WM_USER + 0x300;
}

// A message window whose posted messages each run the next queued action.
class CPictureSession::CActions : public CWnd
{
public:
    CActions() { CreateMessageWindow(); }
    ~CActions() override { DestroyWindow(); }

    void Post(std::function<void()> action)
    {
        m_actions.push_back(std::move(action));
        PostMessage(kActionMessage);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != kActionMessage)
            return CWnd::WindowProc(message, wParam, lParam);
        if (!m_actions.empty())
        {
            std::function<void()> action = std::move(m_actions.front());
            m_actions.pop_front();
            action();
        }
        return 0;
    }

private:
    std::deque<std::function<void()>> m_actions;
};

CPictureSession::CPictureSession(const std::string& outputFolder) : m_output(outputFolder)
{
    std::filesystem::create_directories(m_output);
    std::string pattern = (std::filesystem::temp_directory_path() / "q9-manual-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        m_root = pattern;
    for (const char* name : {"config", "data", "channel"})
        mkdir(Folder(name).c_str(), 0700);
    if (const char* home = std::getenv("XDG_DATA_HOME"))
    {
        m_hadDataHome = true;
        m_savedDataHome = home;
    }
    setenv("XDG_DATA_HOME", Folder("data").c_str(), 1);
    SetProfileFolder(Folder("config"));
    m_savedHook = SetMessageBoxHook([](const char*, const char*, UINT) { return IDOK; });
    // The ports a musician's machine might offer: the instrument on a USB interface, and a
    // software synthesizer.
    for (const char* port : {"Talvarix MIDI 1", "USB MIDI Interface", "Software Synth"})
    {
        m_backend.AddInput(port);
        m_backend.AddOutput(port, [](const std::vector<BYTE>&) {});
    }
    m_scoped = std::make_unique<CScopedMidiBackend>(&m_backend);
    m_actions = std::make_unique<CActions>();
}

CPictureSession::~CPictureSession()
{
    m_actions.reset();
    Settle();
    m_scoped.reset();
    SetMessageBoxHook(m_savedHook);
    SetProfileFolder("");
    if (m_hadDataHome)
        setenv("XDG_DATA_HOME", m_savedDataHome.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
    std::error_code error;
    if (!m_root.empty())
        std::filesystem::remove_all(m_root, error);
}

std::string CPictureSession::Folder(const std::string& name) const { return m_root + "/" + name; }

void CPictureSession::Save(CWnd& window, const std::string& name)
{
    Settle();
    const std::string path = m_output + "/" + name;
    if (!UiDriver::SaveWindowPicture(window, path))
    {
        std::fprintf(stderr, "cannot write the picture %s\n", path.c_str());
        ++m_failures;
    }
}

void CPictureSession::Fail(const std::string& why)
{
    std::fprintf(stderr, "%s\n", why.c_str());
    ++m_failures;
}

CDialog* CPictureSession::FindDialog(UINT templateId)
{
    for (CWnd* window : CWnd::GetTopLevelWindows())
        if (auto* dialog = dynamic_cast<CDialog*>(window); dialog && dialog->GetTemplateId() == templateId)
            return dialog;
    return nullptr;
}

void CPictureSession::Post(std::function<void()> action) { m_actions->Post(std::move(action)); }

void CPictureSession::Settle()
{
    while (PumpAllMessages())
    {
    }
}

void CPictureSession::PostMidiSetupPicture(UINT templateId, const std::vector<int>& deviceLists, const std::string& name)
{
    Post([this, templateId, deviceLists, name] {
        CDialog* dialog = FindDialog(templateId);
        if (!dialog)
        {
            Fail("the MIDI set-up dialog did not open");
            CModalLoop::EndAll(IDCANCEL);
            return;
        }
        for (int list : deviceLists)
            if (CWnd* combo = dialog->GetDlgItem(list))
                UiDriver::ClickComboDropDown(*combo, 1);
        Save(*dialog, name);
        dialog->EndDialog(IDCANCEL);
    });
}

int RunPictureTool(int argc, char** argv,
                   const std::function<bool(CPictureSession& session, const std::string& programFolder)>& takePictures)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s <program folder> <output folder>\n", argv[0]);
        return 2;
    }
    int qtArgc = 1;
    CGuiBootstrap bootstrap(qtArgc, argv);
    CPictureSession session(argv[2]);
    if (!takePictures(session, argv[1]))
    {
        std::fprintf(stderr, "%s: the program did not start\n", argv[0]);
        return 1;
    }
    return session.Failures() == 0 ? 0 : 1;
}
