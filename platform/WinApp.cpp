#include "platform/WinApp.h"

#include "platform/GuiBootstrap.h"
#include "platform/Messages_p.h"
#include "platform/Wnd_p.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

namespace
{
CWinApp* g_application = nullptr;
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
        code = application.Run();
    const int exitCode = application.ExitInstance();
    RunShutdownHandlers();
    return code != 0 ? code : exitCode;
}
