#pragma once
// The limits the file benchmarks are held against: the plain system calls, with no parsing or
// buffering on top, and a scratch folder for the files.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Bench
{
// Opens, sizes, reads with read(2) into `out` (resized to the file's length) and closes; false
// on any failure.
template <typename TBuffer>
bool ReadWholeFile(const std::string& path, TBuffer& out)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    bool ok = fstat(fd, &info) == 0;
    if (ok)
    {
        out.resize(static_cast<size_t>(info.st_size));
        size_t done = 0;
        while (ok && done < out.size())
        {
            const ssize_t got = read(fd, out.data() + done, out.size() - done);
            ok = got > 0;
            done += ok ? static_cast<size_t>(got) : 0;
        }
    }
    return close(fd) == 0 && ok;
}

// Bytes left as they were allocated, not set to zero first: what a raw read would read into.
class CRawBuffer
{
public:
    void resize(size_t size)
    {
        m_bytes.reset(new uint8_t[size]);
        m_size = size;
    }
    uint8_t* data() { return m_bytes.get(); }
    size_t size() const { return m_size; }

private:
    std::unique_ptr<uint8_t[]> m_bytes;
    size_t m_size = 0;
};

// The limit for reading a file: its bytes with read(2) into a new buffer.
inline bool RawReadFile(const std::string& path)
{
    CRawBuffer buffer;
    return ReadWholeFile(path, buffer);
}

// Creates or truncates the file and writes the bytes with write(2); with `durable`, the bytes go
// to a new file that is flushed with fsync and renamed over the target, as a safe save does.
inline bool RawWriteFile(const std::string& path, const uint8_t* bytes, size_t size, bool durable = false)
{
    const std::string written = durable ? path + ".raw-new" : path;
    const int fd = open(written.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = true;
    size_t done = 0;
    while (ok && done < size)
    {
        const ssize_t put = write(fd, bytes + done, size - done);
        ok = put > 0;
        done += ok ? static_cast<size_t>(put) : 0;
    }
    if (durable)
        ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (durable)
        ok = ok && std::rename(written.c_str(), path.c_str()) == 0;
    return ok;
}

// A scratch folder, removed with everything in it.
class CScratchFolder
{
public:
    CScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "q9bench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~CScratchFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    std::string File(const char* name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};
}
