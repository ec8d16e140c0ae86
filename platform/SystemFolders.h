#pragma once
// The program file and the desktop's special folders (the shell's CSIDL folders on Linux).
#include <string>

// Special folder ids, as the shell numbers them.
constexpr int CSIDL_PERSONAL = 0x0005;           // documents
constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
constexpr int CSIDL_APPDATA = 0x001A;            // roaming application data
constexpr int CSIDL_LOCAL_APPDATA = 0x001C;      // local application data
constexpr int CSIDL_WINDOWS = 0x0024;            // the Windows folder: files kept there go to the config folder

// Full path of the running program file.
std::string GetProgramFilePath();

// The folder a special folder id stands for: application data in the XDG data folder, the
// Windows folder in the XDG config folder, documents and desktop in the user's folders. Empty for
// an id without counterpart.
std::string GetSpecialFolder(int csidl);
