#pragma once
// The program's version strings (its version block: "FileVersion", "ProductVersion",
// "FileDescription", "LegalCopyright"...), the stored file version, and the system version code.
#include <string>

namespace GT
{
// A value of the program's version block; empty when the block has no such key. "FileVersion"
// ("1.0.0.0"), "ProductVersion" ("1,0,0,0") and "CompanyName" come from the build's version; the
// program adds its own entries (its "FileDescription", say) with SetVersionString.
std::string GetVersionString(const std::string& key);
// The same for the module whose resources are current (the program's: all is one module).
std::string GetModuleVersionString(const std::string& key);
void SetVersionString(const std::string& key, const std::string& value);

// Stores the program's "FileVersion" in the profile, section "Version", entry "FileVersion".
void SaveFileVersion();
// True when the stored file version (empty when none) differs from the program's.
bool IsFileVersionChanged();

// The Windows version code the progress window asks for; this system has none of those: -1.
int GetOsVersionCode();
}
