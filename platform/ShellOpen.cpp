#include "platform/ShellOpen.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <mutex>

namespace
{
std::mutex& HandlerMutex()
{
    static std::mutex mutex;
    return mutex;
}

ShellOpenHandler& Handler()
{
    static ShellOpenHandler handler;
    return handler;
}

// Starting a program takes a fork and an exec; a machine so loaded that this takes longer has
// no opener to offer.
constexpr int kStartBoundMs = 10000;
}

bool ShellOpen(const std::string& path, std::function<void(bool opened)> done)
{
    ShellOpenHandler handler;
    {
        std::lock_guard<std::mutex> lock(HandlerMutex());
        handler = Handler();
    }
    if (handler)
        return handler(path);
    if (path.empty() || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return false;
    // The opener may run the viewer in the foreground until it is closed: it is watched, not
    // waited for. When the program ends first, the opener is killed (no report then) and the
    // viewer stays open.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(opener);
    process->setArguments({QString::fromUtf8(path.c_str())});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, done](int code, QProcess::ExitStatus status) {
                         if (done && status == QProcess::NormalExit)
                             done(code == 0);
                         process->deleteLater();
                     });
    process->start();
    if (!process->waitForStarted(kStartBoundMs))
    {
        delete process;
        return false;
    }
    return true;
}

void SetShellOpenHandler(ShellOpenHandler handler)
{
    std::lock_guard<std::mutex> lock(HandlerMutex());
    Handler() = std::move(handler);
}
