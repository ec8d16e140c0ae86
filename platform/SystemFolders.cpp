#include "platform/SystemFolders.h"

#include <QStandardPaths>
#include <QString>

#include <unistd.h>

std::string GetProgramFilePath()
{
    std::string buffer(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0)
        return std::string();
    buffer.resize(static_cast<size_t>(length));
    return buffer;
}

std::string GetSpecialFolder(int csidl)
{
    QStandardPaths::StandardLocation location;
    switch (csidl)
    {
    case CSIDL_APPDATA:
    case CSIDL_LOCAL_APPDATA:
        location = QStandardPaths::GenericDataLocation;
        break;
    case CSIDL_WINDOWS:
        location = QStandardPaths::GenericConfigLocation;
        break;
    case CSIDL_PERSONAL:
        location = QStandardPaths::DocumentsLocation;
        break;
    case CSIDL_DESKTOPDIRECTORY:
        location = QStandardPaths::DesktopLocation;
        break;
    default:
        return std::string();
    }
    return QStandardPaths::writableLocation(location).toStdString();
}
