#include "toolkit/gt/InputFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace GT
{
CInputFile::~CInputFile()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool CInputFile::Open(const std::string& path)
{
    if (m_fd >= 0)
        return false;
    // Without O_NONBLOCK, opening a pipe would wait for a writer that may never come; reads of a
    // regular file are not affected by it.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0)
    {
        close(fd);
        return false;
    }
    m_fd = fd;
    m_size = static_cast<uint64_t>(info.st_size);
    return true;
}

bool CInputFile::Read(void* to, size_t size)
{
    if (m_fd < 0)
        return false;
    auto* bytes = static_cast<unsigned char*>(to);
    while (size > 0)
    {
        const ssize_t got = read(m_fd, bytes, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}
}
