#pragma once
// The editor's application object: start-up from the single-instance guard to the panel "main"
// bound to the instrument's data, document opening with the instrument kept in step, and the
// shut-down of devices, windows and managers in a fixed order.
#include "editor/CEditorApp.h"

#include <deque>
#include <string>

class CApp : public CEditorApp
{
public:
    // Resource ids the start-up uses.
    static constexpr UINT kFrameResourceId = 3072;
    static constexpr UINT kSplashBitmapId = 3074;
    static constexpr UINT kLanguageStringId = 10021;
    static constexpr int32_t kMidiNotSetUpMessage = 10;

    CApp();
    ~CApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    // The base's idle pass, then the requests handed over by later starts.
    BOOL OnIdle(LONG count) override;
    bool OpenDocument(const std::string& path) override;
    bool OpenMainPanel() override;

    // Requests handed over by later starts: "[open(\"path\")]" opens the document; any request
    // brings the main window forward. They arrive whenever the event loop runs, also inside a
    // transfer's wait or the progress window's pump, so they are kept and carried out at the next
    // idle pass of the main loop, never nested in a running operation.
    void OnInstanceRequest(const std::string& request);
    size_t GetPendingRequestCount() const { return m_pendingRequests.size(); }
    // The path of an "[open(\"path\")]" request; empty for anything else.
    static std::string ParseOpenRequest(const std::string& request);
    static std::string MakeOpenRequest(const std::string& path);

    bool HasStarted() const { return m_started; }

    // The Help menu's operations without a command id: the manual in the desktop's viewer (a box
    // names the file when it cannot be shown) and the modal about box.
    bool OpenManual();
    void ShowAbout();

protected:
    void RunInstanceRequest(const std::string& request);
    // False when a step failed; that step has shown its message box.
    bool PrepareManagers();
    // Chooses the message language and sets up the instrument layer; false (after a message box)
    // when the instrument layer cannot bind the script's values.
    bool ChooseLanguage();
    void ReleaseDevices();
    void DestroyManagers();
    void CloseSplash();
    // Fixes the script's folder below the program folder, following a shortcut to it.
    void LocateScript();
    // A message box of the start-up: plain OK.
    static void ShowStartupMessage(const char* text);
    // A start-up failure's text, then the file it is about and the reason.
    static std::string DescribeFailure(const std::string& text, const std::string& file, const std::string& reason);
    // The command-line document could not be loaded: the buffered reasons at once, with the file.
    void ShowDocumentFailure(const std::string& path, const std::string& diagnostics);

private:
    std::deque<std::string> m_pendingRequests;
    bool m_started = false;
    // The exit code of a start that did not get to the main loop: a failure, except for a later
    // start that handed its request to the running program.
    int m_stopCode = 1;
};
