#include "platform/InstanceChannel.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <deque>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace
{
constexpr char kAcknowledge = 0x06;
// A client that connects and then sends nothing is dropped after this long.
constexpr int kClientTimeoutMs = 10000;

QString SafeFileName(const std::string& name)
{
    QString safe;
    for (const char c : name)
    {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_' || c == '.';
        safe += plain ? QChar::fromLatin1(c) : QChar::fromLatin1('_');
    }
    // Unix socket paths are short (108 bytes); the name part stays well within that.
    return safe.left(48);
}

QByteArray Frame(const std::string& command)
{
    QByteArray frame;
    const auto length = static_cast<uint32_t>(command.size());
    frame.append(static_cast<char>(length >> 24));
    frame.append(static_cast<char>(length >> 16));
    frame.append(static_cast<char>(length >> 8));
    frame.append(static_cast<char>(length));
    frame.append(command.data(), static_cast<qsizetype>(command.size()));
    return frame;
}
}

struct CInstanceChannel::Impl
{
    QString socketPath;
    // A lock the kernel drops with its process: no stale lock to judge, and taking it writes
    // nothing to disk (a lock file that holds a pid is synced on every start).
    int lockFd = -1;
    std::unique_ptr<QLocalServer> server;
    bool first = true;
    bool open = false;
    std::deque<std::string> queue;
    Handler handler;
    bool delivering = false;
    size_t received = 0;

    void Claim(const std::string& name, const std::string& folder);
    void Accept();
    void Read(QLocalSocket* socket, std::string& buffer);
    void Deliver();

    ~Impl()
    {
        if (lockFd >= 0)
            ::close(lockFd);
    }
};

void CInstanceChannel::Impl::Claim(const std::string& name, const std::string& folder)
{
    QString directory = folder.empty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                                       : QString::fromUtf8(folder.c_str());
    if (directory.isEmpty())
        return;
    const QString base = directory + QLatin1Char('/') + SafeFileName(name);
    socketPath = base + QStringLiteral(".socket");
    lockFd = ::open((base + QStringLiteral(".lock")).toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0)
        return;
    if (::flock(lockFd, LOCK_EX | LOCK_NB) == 0)
    {
        first = true;
        // The lock is ours, so a socket file left here belongs to a process that died.
        QLocalServer::removeServer(socketPath);
        server = std::make_unique<QLocalServer>();
        server->setSocketOptions(QLocalServer::UserAccessOption);
        QObject::connect(server.get(), &QLocalServer::newConnection, server.get(), [this] { Accept(); });
        open = server->listen(socketPath);
        if (!open)
            server.reset();
    }
    else if (errno == EWOULDBLOCK)
    {
        first = false;
        open = true;
    }
}

void CInstanceChannel::Impl::Accept()
{
    while (QLocalSocket* socket = server->nextPendingConnection())
    {
        auto buffer = std::make_shared<std::string>();
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, buffer] { Read(socket, *buffer); });
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kClientTimeoutMs, socket, [socket] { socket->abort(); });
        // Data that arrived before the connection was taken is read at once.
        if (socket->bytesAvailable() > 0)
            Read(socket, *buffer);
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

void CInstanceChannel::Impl::Read(QLocalSocket* socket, std::string& buffer)
{
    if (socket->state() != QLocalSocket::ConnectedState && socket->bytesAvailable() == 0)
        return;
    const QByteArray arrived = socket->readAll();
    buffer.append(arrived.constData(), static_cast<size_t>(arrived.size()));
    std::string command;
    switch (TakeCommand(buffer, command))
    {
    case EFrame::kIncomplete:
        return;
    case EFrame::kRefused:
        socket->abort();
        return;
    case EFrame::kComplete:
        break;
    }
    queue.push_back(std::move(command));
    ++received;
    buffer.clear();
    socket->write(&kAcknowledge, 1);
    socket->flush();
    socket->disconnectFromServer();
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

CInstanceChannel::~CInstanceChannel()
{
    if (d->server)
    {
        d->server->close();
        d->server.reset();
    }
}

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
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    // The first instance takes its lock a moment before it listens; retry until it does.
    for (;;)
    {
        socket.connectToServer(d->socketPath);
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    socket.write(Frame(command));
    while (socket.bytesToWrite() > 0)
    {
        if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            return false;
    }
    while (socket.bytesAvailable() < 1)
    {
        if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return false;
    }
    char answer = 0;
    return socket.read(&answer, 1) == 1 && answer == kAcknowledge;
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
