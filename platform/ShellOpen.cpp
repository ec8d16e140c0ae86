#include "platform/ShellOpen.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QString>
#include <QUrl>

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
}

bool ShellOpen(const std::string& path)
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
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromUtf8(path.c_str())));
}

void SetShellOpenHandler(ShellOpenHandler handler)
{
    std::lock_guard<std::mutex> lock(HandlerMutex());
    Handler() = std::move(handler);
}
