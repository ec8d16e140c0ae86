#pragma once
// The librarian's single-instance guard. The first instance claims a per-user channel named after
// the application; a later instance finds it taken, hands its request (its command line, or
// nothing) to the first one, which restores and raises its main window, and ends.
#include <functional>
#include <string>

class CInstanceChannel;

namespace GP
{
class CSingleInstance
{
public:
    // `name` defaults to the application's name; `folder` (tests) holds the channel's socket.
    // A second instance hands `command` over to the first one.
    explicit CSingleInstance(const std::string& command = std::string(), const std::string& name = std::string(),
                             const std::string& folder = std::string());
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    bool IsFirstInstance() const { return m_first; }
    // Second instance: whether the first one took the request.
    bool IsHandedOver() const { return m_handedOver; }

    // First instance: commands that later instances hand over (other than a plain "come forward")
    // go to `handler`, after the main window has been brought forward.
    using CommandHandler = std::function<void(const std::string& command)>;
    static void SetCommandHandler(CommandHandler handler);
    // The channel stays claimed for the life of the process, so later instances find it after the
    // guard object is gone; the program's shutdown step releases it.
    static void ReleaseChannel();
    // Brings the application's main window forward: restored when minimized, raised, activated.
    static void ActivateMainWindow();

private:
    bool m_first = true;
    bool m_handedOver = false;
};
}
