#include "toolkit/gt/SystemPaths.h"

#include "platform/ShellOpen.h"
#include "platform/SystemFolders.h"
#include "toolkit/gt/Tokenizer.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace GT
{
namespace
{
bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

std::string Join(const CTokenizer& tokens, int first, int end)
{
    std::string out;
    for (int i = first; i < end; ++i)
    {
        if (i > first)
            out += '/';
        out += tokens.GetToken(i, "");
    }
    return out;
}

bool Exists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

bool IsSymlink(const std::string& path)
{
    std::error_code ignored;
    return fs::is_symlink(fs::symlink_status(path, ignored));
}
}

std::string ConvertPathSeparators(const std::string& path, bool toSlash)
{
    std::string out = path;
    const char from = toSlash ? '\\' : '/';
    const char to = toSlash ? '/' : '\\';
    for (char& c : out)
    {
        if (c == from)
            c = to;
    }
    return out;
}

std::string GetModuleFileName()
{
    return GetProgramFilePath();
}

void SplitPath(const std::string& path, std::string* drive, std::string* directory, std::string* name,
               std::string* extension)
{
    size_t position = 0;
    if (path.size() >= 2 && path[1] == ':')
        position = 2;
    if (drive)
        *drive = path.substr(0, position);
    size_t lastSeparator = std::string::npos;
    for (size_t i = position; i < path.size(); ++i)
    {
        if (IsSeparator(path[i]))
            lastSeparator = i;
    }
    const size_t nameStart = lastSeparator == std::string::npos ? position : lastSeparator + 1;
    if (directory)
        *directory = path.substr(position, nameStart - position);
    const std::string file = path.substr(nameStart);
    const size_t dot = file.rfind('.');
    if (name)
        *name = dot == std::string::npos ? file : file.substr(0, dot);
    if (extension)
        *extension = dot == std::string::npos ? std::string() : file.substr(dot);
}

std::string GetModuleDirectory()
{
    std::string drive, directory;
    SplitPath(GetModuleFileName(), &drive, &directory, nullptr, nullptr);
    std::string folder = drive + directory;
    if (folder.size() > 1 && IsSeparator(folder.back()))
        folder.pop_back();
    return folder;
}

const std::string& GetProgramDirectory()
{
    static std::string directory;
    if (directory.empty())
        directory = GetModuleDirectory();
    return directory;
}

std::string GetCurrentModuleDirectory()
{
    return GetProgramDirectory();
}

void SplitSlashPath(const std::string& path, std::string* root, std::string* directory, std::string* name,
                    std::string* extension)
{
    const CTokenizer tokens(path, '/', false);
    const int count = path.empty() ? 0 : tokens.GetCount();
    // A share root is //server/share (two empty tokens, server, share). A path with one leading
    // slash is an absolute path of this system: its root is the empty text before the slash.
    const bool share = path.size() >= 2 && path[0] == '/' && path[1] == '/';
    const int rootCount = std::min(count, share ? 4 : 1);
    if (root)
        *root = Join(tokens, 0, rootCount);
    if (directory)
        *directory = count > rootCount ? Join(tokens, rootCount, count - 1) : std::string();
    std::string last = count > rootCount ? tokens.GetToken(count - 1, "") : "";
    const size_t dot = last.rfind('.');
    if (name)
        *name = dot == std::string::npos ? last : last.substr(0, dot);
    if (extension)
        *extension = dot == std::string::npos ? std::string() : last.substr(dot);
}

bool IsRootPath(const std::string& path)
{
    const std::string slashed = ConvertPathSeparators(path, true);
    if (slashed == "/")
        return true;
    std::string root, directory, name, extension;
    SplitSlashPath(slashed, &root, &directory, &name, &extension);
    if (!directory.empty() || !name.empty() || !extension.empty())
        return false;
    const bool drive = root.size() == 2 && root[1] == ':' &&
                       ((root[0] >= 'A' && root[0] <= 'Z') || (root[0] >= 'a' && root[0] <= 'z'));
    if (drive)
        return true;
    if (root.compare(0, 2, "//") != 0)
        return false;
    const size_t shareSlash = root.find('/', 3);
    return shareSlash != std::string::npos && shareSlash + 1 < root.size();
}

std::string NormalizeFolderPath(const std::string& path, bool alwaysTrailing)
{
    if (path.empty())
        return alwaysTrailing ? "/" : "";
    const bool trailing = IsSeparator(path.back());
    if (alwaysTrailing)
        return trailing ? path : path + '/';
    if (IsRootPath(path))
        return trailing ? path : path + '/';
    return trailing ? path.substr(0, path.size() - 1) : path;
}

std::string GetSpecialFolderPath(int folderId)
{
    return GetSpecialFolder(folderId);
}

std::string ParseShellPath(const std::string& name)
{
    return name;
}

namespace
{
std::string WithPath(std::string text, const std::string& path)
{
    if (const size_t slot = text.find("%s"); slot != std::string::npos)
        text.replace(slot, 2, path);
    return text;
}
}

std::string OpenManualFile(const std::string& path, std::string missing, std::string notOpened,
                           std::function<void(const std::string& problem)> reportLater)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return WithPath(missing, path);
    std::string problem = WithPath(notOpened, path);
    std::function<void(bool)> done;
    if (reportLater)
        done = [reportLater, problem](bool opened) {
            if (!opened)
                reportLater(problem);
        };
    return ShellOpen(path, std::move(done)) ? std::string() : problem;
}

bool IsShortcutPath(const std::string& path)
{
    const std::string slashed = ConvertPathSeparators(path, true);
    if (IsSymlink(slashed))
        return true;
    return slashed.size() >= 4 && slashed.compare(slashed.size() - 4, 4, ".lnk") == 0;
}

std::string ResolveShortcut(const std::string& path)
{
    const std::string slashed = ConvertPathSeparators(path, true);
    std::string candidate;
    if (IsShortcutPath(slashed))
        candidate = slashed;
    else if (Exists(slashed))
        return path;
    else
        candidate = slashed + ".lnk";
    if (!IsSymlink(candidate))
        return path;
    std::error_code error;
    const fs::path target = fs::canonical(candidate, error);
    if (error)
        return path;
    return target.string();
}

bool CreateFolder(const std::string& path, bool open)
{
    const std::string slashed = ConvertPathSeparators(path, true);
    if (slashed.empty())
        return false;
    std::error_code error;
    fs::create_directories(slashed, error);
    if (error || !fs::is_directory(slashed, error))
        return false;
    if (open)
    {
        ClearReadOnlyRecursive(slashed);
        GrantEveryoneFullAccess(slashed);
    }
    return true;
}

bool ClearReadOnlyRecursive(const std::string& path)
{
    const std::string slashed = ConvertPathSeparators(path, true);
    bool allChanged = true;
    const auto makeWritable = [&allChanged](const fs::path& file, const fs::file_status& status) {
        if (!fs::is_regular_file(status) || (status.permissions() & fs::perms::owner_write) != fs::perms::none)
            return;
        std::error_code error;
        fs::permissions(file, fs::perms::owner_write, fs::perm_options::add, error);
        if (error)
            allChanged = false;
    };
    std::error_code error;
    const fs::file_status status = fs::symlink_status(slashed, error);
    if (error)
        return false;
    if (!fs::is_directory(status))
    {
        makeWritable(slashed, status);
        return allChanged;
    }
    fs::recursive_directory_iterator walk(slashed, fs::directory_options::skip_permission_denied, error);
    if (error)
        return false;
    for (; walk != fs::recursive_directory_iterator(); walk.increment(error))
    {
        if (error)
            return false;
        std::error_code statusError;
        const fs::file_status entryStatus = walk->symlink_status(statusError);
        if (statusError)
            allChanged = false;
        else
            makeWritable(walk->path(), entryStatus);
    }
    return !error && allChanged;
}

bool GrantEveryoneFullAccess(const std::string&)
{
    return false;
}
}
