#pragma once
// The settings interface of the program: settings are addressed by one key, section + '/' + entry
// (as "MIDIConnection/MIDIIn0"), and hold a whole number or a text. CIniProfile keeps them in the
// application's profile (platform/Profile.h).
#include <cstdint>
#include <string>

namespace GT
{
class IProfile
{
public:
    virtual ~IProfile() = default;
    virtual int32_t GetInt(const std::string& key, int32_t defaultValue) = 0;
    virtual std::string GetString(const std::string& key, const std::string& defaultValue) = 0;
    virtual void SetInt(const std::string& key, int32_t value) = 0;
    virtual void SetString(const std::string& key, const std::string& value) = 0;
};

class CIniProfile : public IProfile
{
public:
    explicit CIniProfile(char separator = '/') : m_separator(separator) {}

    // The process-wide profile, made on first use; every user in the program goes through it.
    static CIniProfile& Instance();
    static IProfile* GetProfile();

    // A stored text that is no number reads as 0, not as the default; hexadecimal ("0x20") and
    // octal ("010") texts are read as such. Numbers are stored as decimal text.
    int32_t GetInt(const std::string& key, int32_t defaultValue) override;
    std::string GetString(const std::string& key, const std::string& defaultValue) override;
    // Writes are not reported: a setting that cannot be stored is lost.
    void SetInt(const std::string& key, int32_t value) override;
    void SetString(const std::string& key, const std::string& value) override;

    // The application profile by section and entry.
    static std::string GetString(const std::string& section, const std::string& entry,
                                 const std::string& defaultValue);
    static void WriteString(const std::string& section, const std::string& entry, const std::string& value);

    // The key up to the first separator is the section, the rest the entry ("A/B/C": "A" and
    // "B/C"); a key without separator is both.
    void SplitKey(const std::string& key, std::string& section, std::string& entry) const;

private:
    char m_separator;
};
}
