#pragma once
// The program's version strings and the file version stored in the application's profile, by
// which the frames tell whether the stored window layout came from another build.
#include <string>

namespace GP
{
// A value of the program's version block ("FileVersion", "ProductVersion"...); empty when none.
std::string GetVersionString(const char* name);
// Stores the program's "FileVersion" under section "Version", entry "FileVersion".
void StoreFileVersion();
// True when the stored file version (empty when none) differs from the program's.
bool IsFileVersionChanged();
}
