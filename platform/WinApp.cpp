#include "platform/WinApp.h"

#include "platform/GuiBootstrap.h"
#include "platform/Messages_p.h"
#include "platform/Wnd_p.h"

#include "platform/Wnd.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace
{
CWinApp* g_application = nullptr;

// A termination signal only writes one byte into this pipe; the main loop reads it and closes the
// main window, so nothing runs inside the signal handler itself.
int g_signalPipe[2] = {-1, -1};

void OnTerminationSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    if (g_signalPipe[1] >= 0)
        (void)!write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

// Closes the main window (or ends the main loop when there is none) for each signal received.
class CTerminationSignals
{
public:
    CTerminationSignals()
    {
        if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        m_notifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [] {
            char bytes[16];
            while (read(g_signalPipe[0], bytes, sizeof bytes) > 0)
            {
            }
            CWinApp* app = AfxGetApp();
            if (app && app->m_pMainWnd && app->m_pMainWnd->GetSafeHwnd())
                app->m_pMainWnd->PostMessage(WM_CLOSE);
            else
                PostQuitMessage(0);
        });
        struct sigaction action = {};
        action.sa_handler = OnTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &action, &m_savedTerm);
        sigaction(SIGINT, &action, &m_savedInt);
        m_installed = true;
    }

    ~CTerminationSignals()
    {
        if (m_installed)
        {
            sigaction(SIGTERM, &m_savedTerm, nullptr);
            sigaction(SIGINT, &m_savedInt, nullptr);
        }
        m_notifier.reset();
        for (int& fd : g_signalPipe)
        {
            if (fd >= 0)
                close(fd);
            fd = -1;
        }
    }

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_savedTerm = {};
    struct sigaction m_savedInt = {};
    bool m_installed = false;
};
}

void ReportMilestone(const char* name)
{
    static const bool enabled = [] {
        const char* value = std::getenv("Q9_MILESTONES");
        return value && *value;
    }();
    if (!enabled)
        return;
    std::printf("milestone %s\n", name);
    std::fflush(stdout);
}

struct CWinApp::Impl
{
    bool inIdle = false;
};

CWinApp::CWinApp(const char* appName) : d(std::make_unique<Impl>()), m_appName(appName ? appName : "")
{
    g_application = this;
}

CWinApp::~CWinApp()
{
    if (g_application == this)
        g_application = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return 0; }
BOOL CWinApp::OnIdle(LONG) { return FALSE; }

int CWinApp::Run()
{
    if (!QCoreApplication::instance())
        return -1;
    PlatformDetail::EnsureDispatcher();
    QEventLoop loop;
    const int mainLevel = QThread::currentThread()->loopLevel() + 1;
    // The idle pass runs when the main loop is about to wait, never from a nested loop (a modal
    // dialog, a menu, a request's wait), just as MFC's idle runs from its own message loop only.
    auto* dispatcher = QAbstractEventDispatcher::instance();
    const auto connection = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this, mainLevel] {
        if (d->inIdle || QThread::currentThread()->loopLevel() != mainLevel)
            return;
        d->inIdle = true;
        for (LONG count = 0; !PlatformDetail::HasPostedMessagesForMainLoop(); ++count)
            if (!OnIdle(count))
                break;
        d->inIdle = false;
    });
    PlatformDetail::SetMainLoop(&loop);
    const int code = loop.exec();
    PlatformDetail::SetMainLoop(nullptr);
    QObject::disconnect(connection);
    return code;
}

CWinApp* AfxGetApp() { return g_application; }

int RunApplication(CWinApp& application, int& argc, char** argv)
{
    CGuiBootstrap bootstrap(argc, argv);
    int code = 0;
    if (application.InitInstance())
    {
        CTerminationSignals termination;
        ReportMilestone("started");
        code = application.Run();
    }
    const int exitCode = application.ExitInstance();
    RunShutdownHandlers();
    return code != 0 ? code : exitCode;
}
