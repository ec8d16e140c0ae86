#include "toolkit/gt/VersionInfo.h"

#include "generated/Version.h"
#include "toolkit/gt/Format.h"
#include "toolkit/gt/IniProfile.h"

#include <map>
#include <mutex>

namespace GT
{
namespace
{
struct SVersionBlock
{
    std::mutex mutex;
    std::map<std::string, std::string> values;

    SVersionBlock()
    {
        std::string text;
        values["FileVersion"] = Format(text, "%d.%d.%d.0", Q9_VERSION_MAJOR, Q9_VERSION_MINOR, Q9_VERSION_PATCH);
        values["ProductVersion"] = Format(text, "%d,%d,%d,0", Q9_VERSION_MAJOR, Q9_VERSION_MINOR, Q9_VERSION_PATCH);
        values["CompanyName"] = "Vantor";
    }
};

SVersionBlock& Block()
{
    static SVersionBlock block;
    return block;
}
}

std::string GetVersionString(const std::string& key)
{
    SVersionBlock& block = Block();
    std::lock_guard<std::mutex> lock(block.mutex);
    const auto found = block.values.find(key);
    return found == block.values.end() ? std::string() : found->second;
}

std::string GetModuleVersionString(const std::string& key)
{
    return GetVersionString(key);
}

void SetVersionString(const std::string& key, const std::string& value)
{
    SVersionBlock& block = Block();
    std::lock_guard<std::mutex> lock(block.mutex);
    block.values[key] = value;
}

void SaveFileVersion()
{
    CIniProfile::WriteString("Version", "FileVersion", GetVersionString("FileVersion"));
}

bool IsFileVersionChanged()
{
    return CIniProfile::GetString("Version", "FileVersion", "") != GetVersionString("FileVersion");
}

int GetOsVersionCode()
{
    return -1;
}
}
