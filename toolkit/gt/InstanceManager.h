#pragma once
// The single-instance guard of a program. The first start claims the per-user channel
// "InstanceManager" + application name and keeps it until the process ends; a later start finds
// it taken, hands its request to the first one (bring the main window forward, and open the
// document it was started with) and ends. Requests reach the first instance's handler only once
// its start-up has finished (SetMainWindow); until then they are queued.
#include <cstddef>
#include <functional>
#include <string>

namespace GT
{
class CInstanceManager
{
public:
    // `applicationName` empty: the application's name (platform/Profile.h). A second instance
    // hands `request` over at once: empty asks the first to come forward, "[open(\"path\")]"
    // also opens a document.
    explicit CInstanceManager(const std::string& applicationName, const std::string& request = std::string());
    // Publishes the main window (SetMainWindow), so a manager kept as a local of the start-up
    // routine opens the first instance to requests when that routine returns.
    virtual ~CInstanceManager();
    CInstanceManager(const CInstanceManager&) = delete;
    CInstanceManager& operator=(const CInstanceManager&) = delete;

    // False in a second instance, which should end. True also when the guard could not be set
    // up, so that a broken guard never keeps the program from starting.
    bool IsFirstInstance() const { return m_first; }
    // Second instance: the first one acknowledged the request.
    bool WasHandedOver() const { return m_handedOver; }

    // First instance: start-up is done; queued and later requests go to the request handler.
    void SetMainWindow();

    // The first instance's handler of the requests of later starts, called on the GUI thread with
    // the request text. Installed at any time; it gets nothing before SetMainWindow.
    using RequestHandler = std::function<void(const std::string& request)>;
    static void SetRequestHandler(RequestHandler handler);
    // The folder of the channel (empty: the per-user runtime folder); for tests.
    static void SetChannelFolder(const std::string& folder);
    // Runs the event loop until `count` requests have arrived since the channel was claimed, or
    // `timeoutMs` passed; true when they arrived.
    static bool WaitForRequests(size_t count, int timeoutMs);
    // Ends the channel; part of the program's shutdown, before its Qt application object goes.
    static void Close();

private:
    bool m_first = true;
    bool m_handedOver = false;
};
}
