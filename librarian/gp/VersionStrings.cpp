#include "librarian/gp/VersionStrings.h"

#include "platform/Profile.h"
#include "toolkit/gt/VersionInfo.h"

namespace GP
{
std::string GetVersionString(const char* name)
{
    return GT::GetVersionString(name ? name : "");
}

void StoreFileVersion()
{
    WriteProfileString("Version", "FileVersion", GetVersionString("FileVersion"));
}

bool IsFileVersionChanged()
{
    return GetProfileString("Version", "FileVersion", "") != GetVersionString("FileVersion");
}
}
