#pragma once
// The application object: one per program, derived by the program. RunApplication creates the
// Qt application, calls InitInstance, runs the main loop (which calls OnIdle whenever the queue
// runs dry), calls ExitInstance and runs the shutdown step before the Qt application ends.
#include "platform/Messages.h"

#include <memory>
#include <string>

class CDocManager;
class CWnd;

class CWinApp
{
public:
    explicit CWinApp(const char* appName);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // FALSE ends the program at once (ExitInstance still runs).
    virtual BOOL InitInstance();
    // Returns the program's exit code.
    virtual int ExitInstance();
    // Runs when the main loop has nothing left to do, with 0, 1, 2... until it returns FALSE or a
    // message arrives.
    virtual BOOL OnIdle(LONG count);

    // The main loop: every message and event until PostQuitMessage; returns its exit code.
    virtual int Run();

    const std::string& GetAppName() const { return m_appName; }
    CWnd* m_pMainWnd = nullptr;
    // The file dialog of Open and Save As (AfxDoPromptFileName); null for the default one. The
    // program owns it and clears this before it goes.
    CDocManager* m_pDocManager = nullptr;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    std::string m_appName;
};

// The program's application object, or null.
CWinApp* AfxGetApp();

// What main() calls: bootstrap, InitInstance, Run, ExitInstance, shutdown. `argc` and `argv`
// must outlive the call. Once started, SIGTERM and SIGINT close the main window as the user would
// (WM_CLOSE), so a session's end or a Ctrl+C in a terminal shuts the program down in order.
int RunApplication(CWinApp& application, int& argc, char** argv);

// Start-up milestones for benchmarks and tests that watch the program from outside: when the
// environment variable Q9_MILESTONES is set, each is printed to standard output as
// "milestone <name>". The platform reports "main window shown" (the first time the application's
// main window shows) and "started" (InitInstance succeeded, the main loop begins).
void ReportMilestone(const char* name);
