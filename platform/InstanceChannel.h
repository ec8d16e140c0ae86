#pragma once
// The single-instance guard and the hand-over of "open" requests, in one per-user local socket.
// The first process to claim a channel name listens on it; a later process finds it taken, hands
// its command (such as [open("path")]) to the first one and ends. The first process queues what
// arrives until it installs a handler, so requests that come during its start-up are not lost.
// A lock file held for the life of the process decides who is first; the lock of a process that
// died is taken over, and its leftover socket with it.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

class CInstanceChannel
{
public:
    // Claims the channel `name`. Its socket and lock file live in `folder`, by default the
    // per-user runtime folder (XDG_RUNTIME_DIR).
    explicit CInstanceChannel(const std::string& name, const std::string& folder = std::string());
    ~CInstanceChannel();
    CInstanceChannel(const CInstanceChannel&) = delete;
    CInstanceChannel& operator=(const CInstanceChannel&) = delete;

    // True when this process holds the channel (also when the channel could not be set up, so
    // that a broken guard never stops the program from starting).
    bool IsFirst() const;
    // First: listening for commands. Second: a first instance holds the channel.
    bool IsOpen() const;

    // Second instance: hands `command` (empty: only bring the first instance forward) to the
    // first one; true once the first one has acknowledged it within `timeoutMs`.
    bool Send(const std::string& command, int timeoutMs = 5000);

    // First instance: delivers the queued commands and every later one to `handler`, in arrival
    // order, on the thread that runs the Qt event loop. A null handler queues them again.
    using Handler = std::function<void(const std::string& command)>;
    void SetHandler(Handler handler);
    // Commands received and not yet delivered.
    size_t QueuedCount() const;
    // Commands received since the channel was claimed.
    size_t ReceivedCount() const;
    // Runs the event loop until `count` commands have been received in all or `timeoutMs` passed.
    bool WaitForReceived(size_t count, int timeoutMs);

    // Longest command accepted; a longer announced length drops the connection.
    static constexpr size_t kMaxCommandLength = 64 * 1024;

    // A command is framed as its length (4 bytes, most significant first) and its bytes.
    // kComplete puts the first command of `buffer` (the bytes received so far) into `command`;
    // kRefused is a length past kMaxCommandLength.
    enum class EFrame
    {
        kIncomplete,
        kComplete,
        kRefused,
    };
    static EFrame TakeCommand(const std::string& buffer, std::string& command);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
