#include "platform/InstanceChannel.h"

// Plain Unix-domain sockets watched by the event loop: the channel carries a few bytes once per
// start, and a socket library of its own would be loaded by every start for it.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
constexpr char kAcknowledge = 0x06;
// A client that connects and then sends nothing is dropped after this long.
constexpr int kClientTimeoutMs = 10000;

std::string SafeFileName(const std::string& name)
{
    std::string safe;
    for (const char c : name)
    {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_' || c == '.';
        safe += plain ? c : '_';
    }
    // Unix socket paths are short (108 bytes); the name part stays well within that.
    return safe.substr(0, 48);
}

std::string Frame(const std::string& command)
{
    std::string frame;
    const auto length = static_cast<uint32_t>(command.size());
    frame += static_cast<char>(length >> 24);
    frame += static_cast<char>(length >> 16);
    frame += static_cast<char>(length >> 8);
    frame += static_cast<char>(length);
    frame += command;
    return frame;
}

// The socket address of `path`; false when the path does not fit.
bool SocketAddress(const std::string& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    return true;
}

// True when only this user can reach into `folder` (the runtime folder is made so).
bool IsPrivateFolder(const std::string& folder)
{
    struct stat info{};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & 077) == 0;
}

// A listening socket at `path` that only this user may connect to, or -1. In a folder others can
// enter, the socket is bound in a private folder of its own, narrowed, and then moved into place,
// so it is never reachable with wider rights.
int Listen(const std::string& folder, const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    sockaddr_un address{};
    bool bound = false;
    if (IsPrivateFolder(folder))
    {
        bound = SocketAddress(path, address) &&
                ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::chmod(path.c_str(), 0600) == 0;
    }
    else
    {
        std::string pattern = folder + "/.XXXXXX";
        if (::mkdtemp(pattern.data()))
        {
            const std::string temporary = pattern + "/s";
            bound = SocketAddress(temporary, address) &&
                    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    ::chmod(temporary.c_str(), 0600) == 0 && ::rename(temporary.c_str(), path.c_str()) == 0;
            ::unlink(temporary.c_str());
            ::rmdir(pattern.c_str());
        }
    }
    if (!bound || ::listen(fd, 16) != 0)
    {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Writes all of `bytes` to the non-blocking socket `fd` before `deadline`.
bool WriteAll(int fd, const std::string& bytes, const QDeadlineTimer& deadline)
{
    size_t done = 0;
    while (done < bytes.size())
    {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n > 0)
        {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        pollfd watch{fd, POLLOUT, 0};
        if (deadline.hasExpired() || ::poll(&watch, 1, static_cast<int>(deadline.remainingTime())) <= 0)
            return false;
    }
    return true;
}
}

// One connection of a later start: its bytes so far, dropped when complete, refused or idle.
struct CInstanceClient
{
    int fd = -1;
    std::string buffer;
    QObject* owner = nullptr;   // holds the notifier and the idle timer; deleted later
};

struct CInstanceChannel::Impl
{
    std::string socketPath;
    // A lock the kernel drops with its process: no stale lock to judge, and taking it writes
    // nothing to disk (a lock file that holds a pid is synced on every start).
    int lockFd = -1;
    int serverFd = -1;
    std::unique_ptr<QSocketNotifier> serverNotifier;
    std::deque<std::shared_ptr<CInstanceClient>> clients;
    bool first = true;
    bool open = false;
    std::deque<std::string> queue;
    Handler handler;
    bool delivering = false;
    size_t received = 0;

    void Claim(const std::string& name, const std::string& folder);
    void Accept();
    void Read(const std::shared_ptr<CInstanceClient>& client);
    // Closes the connection; its watchers go at once with `now`, else when the loop is back (the
    // notifier may be the one calling).
    void Drop(const std::shared_ptr<CInstanceClient>& client, bool now = false);
    void Deliver();

    ~Impl()
    {
        while (!clients.empty())
            Drop(clients.front(), true);
        serverNotifier.reset();
        if (serverFd >= 0)
        {
            ::close(serverFd);
            ::unlink(socketPath.c_str());
        }
        if (lockFd >= 0)
            ::close(lockFd);
    }
};

void CInstanceChannel::Impl::Claim(const std::string& name, const std::string& folder)
{
    const std::string directory =
        folder.empty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toStdString() : folder;
    if (directory.empty())
        return;
    const std::string base = directory + '/' + SafeFileName(name);
    socketPath = base + ".socket";
    lockFd = ::open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0)
        return;
    if (::flock(lockFd, LOCK_EX | LOCK_NB) == 0)
    {
        first = true;
        // The lock is ours, so a socket file left here belongs to a process that died.
        ::unlink(socketPath.c_str());
        serverFd = Listen(directory, socketPath);
        open = serverFd >= 0;
        if (open)
        {
            serverNotifier = std::make_unique<QSocketNotifier>(serverFd, QSocketNotifier::Read);
            QObject::connect(serverNotifier.get(), &QSocketNotifier::activated, serverNotifier.get(), [this] { Accept(); });
        }
    }
    else if (errno == EWOULDBLOCK)
    {
        first = false;
        open = true;
    }
}

void CInstanceChannel::Impl::Accept()
{
    for (;;)
    {
        const int fd = ::accept4(serverFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
        {
            if (errno == EINTR)
                continue;
            return;
        }
        auto client = std::make_shared<CInstanceClient>();
        client->fd = fd;
        client->owner = new QObject;
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, client->owner);
        std::weak_ptr<CInstanceClient> weak = client;
        QObject::connect(notifier, &QSocketNotifier::activated, client->owner, [this, weak] {
            if (auto held = weak.lock())
                Read(held);
        });
        QTimer::singleShot(kClientTimeoutMs, client->owner, [this, weak] {
            if (auto held = weak.lock())
                Drop(held);
        });
        clients.push_back(client);
        // Data that arrived before the connection was taken is read at once.
        Read(client);
    }
}

void CInstanceChannel::Impl::Drop(const std::shared_ptr<CInstanceClient>& client, bool now)
{
    for (auto it = clients.begin(); it != clients.end(); ++it)
    {
        if (*it == client)
        {
            clients.erase(it);
            break;
        }
    }
    if (client->owner)
    {
        for (QSocketNotifier* notifier : client->owner->findChildren<QSocketNotifier*>())
            notifier->setEnabled(false);
        if (now)
            delete client->owner;
        else
            client->owner->deleteLater();
        client->owner = nullptr;
    }
    if (client->fd >= 0)
    {
        ::close(client->fd);
        client->fd = -1;
    }
}

CInstanceChannel::EFrame CInstanceChannel::TakeCommand(const std::string& buffer, std::string& command)
{
    if (buffer.size() < 4)
        return EFrame::kIncomplete;
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
    const uint32_t length = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
    if (length > kMaxCommandLength)
        return EFrame::kRefused;
    if (buffer.size() - 4 < length)
        return EFrame::kIncomplete;
    command.assign(buffer, 4, length);
    return EFrame::kComplete;
}

void CInstanceChannel::Impl::Read(const std::shared_ptr<CInstanceClient>& client)
{
    for (;;)
    {
        char chunk[4096];
        const ssize_t n = ::recv(client->fd, chunk, sizeof chunk, 0);
        if (n > 0)
        {
            client->buffer.append(chunk, static_cast<size_t>(n));
            if (client->buffer.size() > kMaxCommandLength + 4)
                break;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // The peer went away (or the socket failed) before a whole command came.
        std::string command;
        if (TakeCommand(client->buffer, command) != EFrame::kComplete)
        {
            Drop(client);
            return;
        }
        break;
    }
    std::string command;
    switch (TakeCommand(client->buffer, command))
    {
    case EFrame::kIncomplete:
        return;
    case EFrame::kRefused:
        Drop(client);
        return;
    case EFrame::kComplete:
        break;
    }
    queue.push_back(std::move(command));
    ++received;
    ::send(client->fd, &kAcknowledge, 1, MSG_NOSIGNAL);
    Drop(client);
    Deliver();
}

void CInstanceChannel::Impl::Deliver()
{
    // A handler may run a nested event loop (a save prompt, say) in which more commands arrive;
    // the outer pass delivers them in order afterwards.
    if (delivering)
        return;
    delivering = true;
    while (handler && !queue.empty())
    {
        const std::string command = std::move(queue.front());
        queue.pop_front();
        Handler call = handler;
        call(command);
    }
    delivering = false;
}

CInstanceChannel::CInstanceChannel(const std::string& name, const std::string& folder) : d(std::make_unique<Impl>())
{
    d->Claim(name, folder);
}

CInstanceChannel::~CInstanceChannel() = default;

bool CInstanceChannel::IsFirst() const
{
    return d->first;
}

bool CInstanceChannel::IsOpen() const
{
    return d->open;
}

bool CInstanceChannel::Send(const std::string& command, int timeoutMs)
{
    if (d->first || !d->open || command.size() > kMaxCommandLength)
        return false;
    sockaddr_un address{};
    if (!SocketAddress(d->socketPath, address))
        return false;
    QDeadlineTimer deadline(timeoutMs);
    int fd = -1;
    // The first instance takes its lock a moment before it listens; retry until it does.
    for (;;)
    {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            break;
        ::close(fd);
        fd = -1;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    bool acknowledged = false;
    if (WriteAll(fd, Frame(command), deadline))
    {
        for (;;)
        {
            char answer = 0;
            const ssize_t n = ::recv(fd, &answer, 1, 0);
            if (n == 1)
            {
                acknowledged = answer == kAcknowledge;
                break;
            }
            if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
                break;
            pollfd watch{fd, POLLIN, 0};
            if (n < 0 && errno == EINTR)
                continue;
            if (deadline.hasExpired() || ::poll(&watch, 1, static_cast<int>(deadline.remainingTime())) <= 0)
                break;
        }
    }
    ::close(fd);
    return acknowledged;
}

void CInstanceChannel::SetHandler(Handler handler)
{
    d->handler = std::move(handler);
    d->Deliver();
}

size_t CInstanceChannel::QueuedCount() const
{
    return d->queue.size();
}

size_t CInstanceChannel::ReceivedCount() const
{
    return d->received;
}

bool CInstanceChannel::WaitForReceived(size_t count, int timeoutMs)
{
    if (!QCoreApplication::instance())
        return d->received >= count;
    QDeadlineTimer deadline(timeoutMs);
    // Wakes the loop regularly so the deadline is checked even when nothing arrives.
    QTimer ticker;
    ticker.start(20);
    while (d->received < count && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return d->received >= count;
}
