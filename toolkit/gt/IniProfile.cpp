#include "toolkit/gt/IniProfile.h"

#include "platform/Profile.h"
#include "toolkit/gt/NumberText.h"

namespace GT
{
CIniProfile& CIniProfile::Instance()
{
    static CIniProfile profile('/');
    return profile;
}

IProfile* CIniProfile::GetProfile()
{
    return &Instance();
}

void CIniProfile::SplitKey(const std::string& key, std::string& section, std::string& entry) const
{
    const size_t separator = key.find(m_separator);
    if (separator == std::string::npos)
    {
        section = key;
        entry = key;
        return;
    }
    section = key.substr(0, separator);
    entry = key.substr(separator + 1);
}

int32_t CIniProfile::GetInt(const std::string& key, int32_t defaultValue)
{
    std::string section, entry;
    SplitKey(key, section, entry);
    return ToLong(::GetProfileString(section, entry, LongToString(defaultValue, 0)));
}

std::string CIniProfile::GetString(const std::string& key, const std::string& defaultValue)
{
    std::string section, entry;
    SplitKey(key, section, entry);
    return ::GetProfileString(section, entry, defaultValue);
}

void CIniProfile::SetInt(const std::string& key, int32_t value)
{
    SetString(key, LongToString(value, 0));
}

void CIniProfile::SetString(const std::string& key, const std::string& value)
{
    std::string section, entry;
    SplitKey(key, section, entry);
    ::WriteProfileString(section, entry, value);
}

std::string CIniProfile::GetString(const std::string& section, const std::string& entry,
                                   const std::string& defaultValue)
{
    return ::GetProfileString(section, entry, defaultValue);
}

void CIniProfile::WriteString(const std::string& section, const std::string& entry, const std::string& value)
{
    ::WriteProfileString(section, entry, value);
}
}
