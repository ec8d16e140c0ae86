#include "platform/DesktopRegistration.h"

#include "platform/SystemFolders.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <mutex>

namespace
{
std::mutex& FolderMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::string& FolderOverride()
{
    static std::string folder;
    return folder;
}

std::string DataFolder()
{
    std::lock_guard<std::mutex> lock(FolderMutex());
    return FolderOverride().empty() ? GetSpecialFolder(CSIDL_LOCAL_APPDATA) : FolderOverride();
}

bool UsingDesktopFolder()
{
    std::lock_guard<std::mutex> lock(FolderMutex());
    return FolderOverride().empty();
}

// The type id made safe for a file name and a MIME subtype: lower case letters, digits, '.', '-'.
std::string FileId(const std::string& typeId)
{
    std::string id;
    for (const char c : typeId)
    {
        if (c >= 'A' && c <= 'Z')
            id += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-')
            id += c;
        else
            id += '-';
    }
    return id;
}

std::string XmlEscaped(const std::string& text)
{
    std::string out;
    for (const char c : text)
    {
        switch (c)
        {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// A program path as one argument of a desktop entry's Exec key: quoted, with the quoting rule's
// escapes, then the string rule's backslash escape, and '%' doubled (field codes).
std::string ExecArgument(const std::string& path)
{
    std::string quoted = "\"";
    for (const char c : path)
    {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string out;
    for (const char c : quoted)
    {
        if (c == '\\')
            out += "\\\\";
        else if (c == '%')
            out += "%%";
        else
            out += c;
    }
    return out;
}

// Desktop entry values are single lines.
std::string OneLine(const std::string& text)
{
    std::string out;
    for (const char c : text)
        out += (c == '\n' || c == '\r') ? ' ' : c;
    return out;
}

bool HoldsExactly(const std::string& path, const std::string& content)
{
    QFile file(QString::fromUtf8(path.c_str()));
    if (!file.open(QIODevice::ReadOnly) || file.size() != static_cast<qint64>(content.size()))
        return false;
    const QByteArray held = file.readAll();
    return held.size() == static_cast<qsizetype>(content.size()) && std::equal(held.begin(), held.end(), content.begin());
}

bool WriteWhole(const std::string& path, const std::string& content)
{
    const QString file = QString::fromUtf8(path.c_str());
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(content.data(), static_cast<qint64>(content.size()));
    return out.commit();
}

bool RemoveFile(const std::string& path)
{
    QFile file(QString::fromUtf8(path.c_str()));
    return !file.exists() || file.remove();
}

// The desktop reads MIME types from a cache built by update-mime-database; both tools are
// optional, and they only run on the real data folder.
void RefreshDesktopCaches(const std::string& folder)
{
    if (!UsingDesktopFolder())
        return;
    const struct
    {
        const char* tool;
        std::string argument;
    } tools[] = {{"update-mime-database", folder + "/mime"}, {"update-desktop-database", folder + "/applications"}};
    for (const auto& t : tools)
    {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(t.tool));
        if (!program.isEmpty())
            QProcess::startDetached(program, QStringList{QString::fromUtf8(t.argument.c_str())});
    }
}

bool Usable(const SDesktopDocumentType& type)
{
    return type.extension.size() > 1 && type.extension[0] == '.' && !type.typeId.empty() &&
           type.extension.find_first_of("/\n\r") == std::string::npos;
}
}

std::string DesktopMimeType(const std::string& typeId)
{
    return "application/x-" + FileId(typeId);
}

std::string DesktopMimePackagePath(const std::string& typeId)
{
    return DataFolder() + "/mime/packages/" + FileId(typeId) + ".xml";
}

std::string DesktopEntryPath(const std::string& typeId)
{
    return DataFolder() + "/applications/" + FileId(typeId) + ".desktop";
}

bool RegisterDesktopDocumentType(const SDesktopDocumentType& type)
{
    if (!Usable(type) || type.programPath.empty() || !QFileInfo::exists(QString::fromUtf8(type.programPath.c_str())))
        return false;
    const std::string mime = DesktopMimeType(type.typeId);
    const std::string package =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" + mime + "\">\n"
        "    <comment>" + XmlEscaped(type.description) + "</comment>\n"
        "    <glob pattern=\"*" + XmlEscaped(type.extension) + "\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
    const std::string entry =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=" + OneLine(type.programName) + "\n"
        "Comment=" + OneLine(type.description) + "\n"
        "Exec=" + ExecArgument(type.programPath) + " %f\n"
        "MimeType=" + mime + ";\n"
        "NoDisplay=true\n"
        "Terminal=false\n";
    // The program registers at every start: files that already say the same are left alone, and
    // the desktop's caches are rebuilt only when something changed.
    const std::string packagePath = DesktopMimePackagePath(type.typeId);
    const std::string entryPath = DesktopEntryPath(type.typeId);
    if (HoldsExactly(packagePath, package) && HoldsExactly(entryPath, entry))
        return true;
    if (!WriteWhole(packagePath, package) || !WriteWhole(entryPath, entry))
        return false;
    RefreshDesktopCaches(DataFolder());
    return true;
}

bool RemoveDesktopDocumentType(const SDesktopDocumentType& type)
{
    if (type.typeId.empty())
        return false;
    const bool removed = RemoveFile(DesktopMimePackagePath(type.typeId)) && RemoveFile(DesktopEntryPath(type.typeId));
    RefreshDesktopCaches(DataFolder());
    return removed;
}

void SetDesktopDataFolder(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(FolderMutex());
    FolderOverride() = folder;
}
