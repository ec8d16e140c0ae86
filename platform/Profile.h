#pragma once
// The application's settings profile: the store behind CWinApp's GetProfileString, WriteProfileString,
// GetProfileInt and WriteProfileInt. Settings are texts addressed by a section and an entry, kept in
// an INI file per user: <config folder>/<organisation>/<application>.ini, where the config folder is
// the XDG config folder unless SetProfileFolder chose another one. All functions are thread-safe.
#include <cstdint>
#include <string>

// The application's name, as CWinApp's m_pszAppName: it names the settings file and the
// single-instance channel. Until set, the program file's name.
void SetApplicationName(const std::string& name);
std::string GetApplicationName();

// The maker's name under which the settings live, as CWinApp::SetRegistryKey ("Vantor").
// Until set, the settings file lies directly in the config folder.
void SetRegistryKey(const std::string& organisation);
std::string GetRegistryKey();

// The folder that holds the organisation folders; empty returns to the XDG config folder.
// Tests point this at a temporary folder.
void SetProfileFolder(const std::string& folder);
// The settings file in use.
std::string GetProfileFilePath();

// The text stored under (section, entry), or `defaultValue` when none is stored.
std::string GetProfileString(const std::string& section, const std::string& entry,
                             const std::string& defaultValue = std::string());
// Stores a text; false when the settings file could not be written (the old file then stays intact).
bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& value);

// The number stored under (section, entry) as decimal text, or `defaultValue` when nothing is
// stored or the text does not begin with a decimal number.
int32_t GetProfileInt(const std::string& section, const std::string& entry, int32_t defaultValue);
// Stores a number as decimal text.
bool WriteProfileInt(const std::string& section, const std::string& entry, int32_t value);
