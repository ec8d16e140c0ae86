#include "platform/Profile.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace
{
std::string ProgramFileBaseName()
{
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return "Q9";
    const std::string path(buffer, static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

QString FromBytes(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToBytes(const QString& text)
{
    return text.toUtf8().toStdString();
}

// QSettings reads an unquoted INI value that holds commas as a list; the profile only holds
// texts, so such a value is put back together as the one text it was.
std::string VariantText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList)
        return ToBytes(value.toStringList().join(QLatin1Char(',')));
    return ToBytes(value.toString());
}

// An empty entry names the section's unnamed value (the registry's default value); QSettings has
// no empty keys, so it gets a reserved name.
QString EntryKey(const std::string& entry)
{
    return entry.empty() ? QStringLiteral("@Default") : FromBytes(entry);
}

class CProfileStore
{
public:
    static CProfileStore& Instance()
    {
        static CProfileStore store;
        return store;
    }

    std::mutex mutex;
    std::string application;
    std::string organisation;
    std::string folder;

    std::string FilePath() const
    {
        std::string base = folder;
        if (base.empty())
            base = ToBytes(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        if (!organisation.empty())
            base += "/" + organisation;
        return base + "/" + (application.empty() ? ProgramFileBaseName() : application) + ".ini";
    }

    // The settings object of the current file; made again when the names or the folder change.
    QSettings& Settings()
    {
        const std::string path = FilePath();
        if (!m_settings || path != m_path)
        {
            m_settings = std::make_unique<QSettings>(FromBytes(path), QSettings::IniFormat);
            m_path = path;
        }
        return *m_settings;
    }

    void Forget()
    {
        m_settings.reset();
        m_path.clear();
    }

private:
    std::unique_ptr<QSettings> m_settings;
    std::string m_path;
};

bool ReadStored(const std::string& section, const std::string& entry, std::string& out)
{
    CProfileStore& store = CProfileStore::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    QSettings& settings = store.Settings();
    settings.beginGroup(FromBytes(section));
    const QString key = EntryKey(entry);
    const bool found = settings.contains(key);
    if (found)
        out = VariantText(settings.value(key));
    settings.endGroup();
    return found;
}
}

void SetApplicationName(const std::string& name)
{
    CProfileStore& store = CProfileStore::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.application = name;
}

std::string GetApplicationName()
{
    CProfileStore& store = CProfileStore::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    return store.application.empty() ? ProgramFileBaseName() : store.application;
}

void SetRegistryKey(const std::string& organisation)
{
    CProfileStore& store = CProfileStore::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.organisation = organisation;
}

std::string GetRegistryKey()
{
    CProfileStore& store = CProfileStore::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    return store.organisation;
}

void SetProfileFolder(const std::string& folder)
{
    CProfileStore& store = CProfileStore::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.folder = folder;
    store.Forget();
}

std::string GetProfileFilePath()
{
    CProfileStore& store = CProfileStore::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    return store.FilePath();
}

std::string GetProfileString(const std::string& section, const std::string& entry,
                             const std::string& defaultValue)
{
    std::string stored;
    return ReadStored(section, entry, stored) ? stored : defaultValue;
}

bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& value)
{
    CProfileStore& store = CProfileStore::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    QSettings& settings = store.Settings();
    settings.beginGroup(FromBytes(section));
    // Stored as a QString, so QSettings quotes a value with commas and reads it back as one text.
    settings.setValue(EntryKey(entry), FromBytes(value));
    settings.endGroup();
    // Written at once (QSettings saves through a temporary file and a rename), so a crash later
    // loses nothing and a failed write is known here.
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    // Drop the unsaved change too, so what is read afterwards is what the file holds.
    store.Forget();
    return false;
}

int32_t GetProfileInt(const std::string& section, const std::string& entry, int32_t defaultValue)
{
    std::string stored;
    if (!ReadStored(section, entry, stored))
        return defaultValue;
    const char* begin = stored.c_str();
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(begin, &end, 10);
    if (end == begin || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return defaultValue;
    return static_cast<int32_t>(value);
}

bool WriteProfileInt(const std::string& section, const std::string& entry, int32_t value)
{
    return WriteProfileString(section, entry, std::to_string(value));
}
