#pragma once
// Paths of the program and its folders, path splitting, shortcuts and folder creation. Paths
// returned here use '/'. On this system '/' is also what the file system takes, so the functions
// that touch files accept either separator and hand '/' to the system.
#include <functional>
#include <string>

namespace GT
{
// '\' to '/' (toSlash) or '/' to '\'. Multi-byte characters pass unchanged (no byte of a UTF-8
// sequence equals either separator).
std::string ConvertPathSeparators(const std::string& path, bool toSlash);

// Full path of the program file (every module is linked into it).
std::string GetModuleFileName();
// The C library's path splitter: drive ("X:" or empty), directory with its trailing separator,
// name, and extension from the last '.'. Any output may be null.
void SplitPath(const std::string& path, std::string* drive, std::string* directory, std::string* name,
               std::string* extension);
// Drive and directory of the program file, without a trailing '/'.
std::string GetModuleDirectory();
// The same, computed once and kept.
const std::string& GetProgramDirectory();
// The folder of the module whose resources are current: the program's.
std::string GetCurrentModuleDirectory();

// Splits a '/' path into root, directory, name and extension: the root is "X:", or
// "//server/share" for a path that begins with two slashes, or empty for a path that begins with
// one; the directory runs from the root to the last component, which is split at its last '.'.
void SplitSlashPath(const std::string& path, std::string* root, std::string* directory, std::string* name,
                    std::string* extension);
// A drive ("C:", "C:/"), a share ("//server/share") or "/"; either separator.
bool IsRootPath(const std::string& path);
// With `alwaysTrailing` the path ends with '/' (an empty path gives "/"); otherwise a root keeps
// (or gets) its trailing separator and any other path loses it.
std::string NormalizeFolderPath(const std::string& path, bool alwaysTrailing);

// The folder of a special folder id (CSIDL_LOCAL_APPDATA and the like, platform/SystemFolders.h);
// empty on failure.
std::string GetSpecialFolderPath(int folderId);
// The file-system path the shell would make of a name; names are paths already here, so the name
// comes back unchanged.
std::string ParseShellPath(const std::string& name);

// Hands the manual at `path` to the desktop. Returns the empty text when the desktop took it;
// otherwise what to tell the user: `missing` when there is no such file, `notOpened` when the
// desktop refused it, with the path in place of the text's "%s". The desktop may find out only
// later that no program can show the file: then `reportLater`, when given, gets the `notOpened`
// text (on the GUI thread).
std::string OpenManualFile(const std::string& path, std::string missing, std::string notOpened,
                           std::function<void(const std::string& problem)> reportLater = nullptr);

// Shortcuts are symbolic links. A path is a shortcut when it is a symbolic link or ends in ".lnk".
bool IsShortcutPath(const std::string& path);
// The target of the shortcut named by the path, or, when no such path exists, by the path +
// ".lnk"; the path unchanged when there is no shortcut or its target is missing.
std::string ResolveShortcut(const std::string& path);

// Creates the folder with all missing parents, with the user's default permissions; false on
// failure. With `open`, files below it that the owner cannot write become writable for the owner.
// Nothing is ever opened to other users.
bool CreateFolder(const std::string& path, bool open);
// Gives the owner write permission on every file at or below `path` (folders are descended into,
// symbolic links are not followed); false when a change failed.
bool ClearReadOnlyRecursive(const std::string& path);
// Opening a folder to every user of the machine is refused: files the program reads back would
// be open to tampering. Always false.
bool GrantEveryoneFullAccess(const std::string& path);
}
