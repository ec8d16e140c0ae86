#include "tests/support/SaveFault.h"

#include "tests/support/TempDir.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace
{
constexpr const char* kFolderMarker = "inside";
// Small enough that every file the programs save runs past it.
constexpr rlim_t kDiskFullBytes = 8;

size_t EntryCount(const std::string& folder)
{
    std::error_code error;
    size_t count = 0;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        ++count;
    return count;
}
}

std::vector<ESaveFault> AllSaveFaults()
{
    return {ESaveFault::kDiskFull, ESaveFault::kReadOnlyFolder, ESaveFault::kPermissionDenied,
            ESaveFault::kPathIsFolder};
}

const char* SaveFaultName(ESaveFault kind)
{
    switch (kind)
    {
    case ESaveFault::kDiskFull: return "disk full";
    case ESaveFault::kReadOnlyFolder: return "read-only folder";
    case ESaveFault::kPermissionDenied: return "permission denied";
    case ESaveFault::kPathIsFolder: return "path is a folder";
    }
    return "?";
}

CSaveFault::CSaveFault(ESaveFault kind, const std::string& path, const std::string& oldContents)
    : m_kind(kind)
    , m_path(path)
    , m_folder(std::filesystem::path(path).parent_path().string())
    , m_oldContents(oldContents)
{
    if (kind == ESaveFault::kPathIsFolder)
    {
        std::filesystem::create_directory(path);
        WriteFileBytes(path + "/" + kFolderMarker, oldContents);
        return;
    }
    WriteFileBytes(path, oldContents);
    const bool superuser = geteuid() == 0;
    switch (kind)
    {
    case ESaveFault::kDiskFull:
        getrlimit(RLIMIT_FSIZE, &m_savedLimit);
        {
            struct rlimit small = m_savedLimit;
            small.rlim_cur = kDiskFullBytes;
            // A write past the limit fails with EFBIG instead of ending the process.
            m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &small);
        }
        break;
    case ESaveFault::kReadOnlyFolder:
        m_possible = !superuser;
        std::filesystem::permissions(m_folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        break;
    case ESaveFault::kPermissionDenied:
        m_possible = !superuser;
        std::filesystem::permissions(path, std::filesystem::perms::owner_read);
        break;
    case ESaveFault::kPathIsFolder:
        break;
    }
    if (!m_possible)
        std::printf("Case not tried, %s: the superuser is not stopped by permissions.\n", SaveFaultName(kind));
}

CSaveFault::~CSaveFault()
{
    Lift();
}

void CSaveFault::Lift()
{
    if (m_lifted)
        return;
    m_lifted = true;
    std::error_code error;
    switch (m_kind)
    {
    case ESaveFault::kDiskFull:
        setrlimit(RLIMIT_FSIZE, &m_savedLimit);
        std::signal(SIGXFSZ, m_savedHandler);
        break;
    case ESaveFault::kReadOnlyFolder:
        std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all, error);
        break;
    case ESaveFault::kPermissionDenied:
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                     error);
        break;
    case ESaveFault::kPathIsFolder:
        break;
    }
}

bool CSaveFault::IsUntouched() const
{
    if (m_kind == ESaveFault::kPathIsFolder)
        return std::filesystem::is_directory(m_path) && EntryCount(m_path) == 1 &&
               ReadFileBytes(m_path + "/" + kFolderMarker) == m_oldContents && EntryCount(m_folder) == 1;
    return std::filesystem::is_regular_file(m_path) && ReadFileBytes(m_path) == m_oldContents &&
           EntryCount(m_folder) == 1;
}
