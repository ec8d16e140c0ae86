#include "toolkit/gt/SafeFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Creates a file that did not exist beside `target`; returns its path, or "" when none could be made.
std::string CreateSiblingFile(const std::string& target)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        const std::string candidate = target + ".saving-" + std::to_string(getpid()) + "-" +
                                      std::to_string(counter.fetch_add(1));
        const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
        {
            struct stat existing;
            if (stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
                fchmod(fd, existing.st_mode & 07777);
            close(fd);
            return candidate;
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
}

// The new file until it has replaced the target; removed when the save ends any other way,
// an exception included.
struct CTemporaryFile
{
    explicit CTemporaryFile(std::string created) : path(std::move(created)) {}
    ~CTemporaryFile()
    {
        if (!path.empty())
            std::remove(path.c_str());
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    std::string path;
};

bool SyncFile(const std::string& path, int flags)
{
    const int fd = open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = fsync(fd) == 0;
    return close(fd) == 0 && synced;
}
}

namespace GT
{
bool SaveFileAtomically(const std::string& path, const std::function<bool(std::ostream&)>& write)
{
    std::string target = path;
    std::error_code error;
    if (std::filesystem::is_symlink(path, error))
    {
        target = std::filesystem::weakly_canonical(path, error).string();
        if (error || target.empty())
            return false;
    }

    // A file the user may not write is not replaced behind its back through its folder.
    if (access(target.c_str(), F_OK) == 0 && access(target.c_str(), W_OK) != 0)
        return false;

    CTemporaryFile temporary(CreateSiblingFile(target));
    if (temporary.path.empty())
        return false;

    bool written = false;
    {
        std::ofstream out(temporary.path, std::ios::binary | std::ios::trunc);
        written = out && write(out) && out.flush();
        out.close();
        written = written && !out.fail();
    }
    if (!written || !SyncFile(temporary.path, O_RDONLY) || std::rename(temporary.path.c_str(), target.c_str()) != 0)
        return false;
    temporary.path.clear();

    // The rename itself reaches the disk with the folder's entry.
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    SyncFile(folder.empty() ? std::string(".") : folder.string(), O_RDONLY | O_DIRECTORY);
    return true;
}
}
