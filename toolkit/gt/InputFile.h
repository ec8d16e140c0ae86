#pragma once
// A regular file read with plain system calls, straight into the caller's memory: its length is
// known before anything is read, and no buffer stands between the file and the reader, so each
// read, however large, is one copy from the system's cache.
#include <cstddef>
#include <cstdint>
#include <string>

namespace GT
{
class CInputFile
{
public:
    CInputFile() = default;
    ~CInputFile();
    CInputFile(const CInputFile&) = delete;
    CInputFile& operator=(const CInputFile&) = delete;

    // False when `path` cannot be opened or is no regular file: a folder, a pipe or a device has
    // no length to check what is read against. Opening never waits for a pipe's writer.
    bool Open(const std::string& path);
    // The file's length when it was opened.
    uint64_t GetSize() const { return m_size; }
    // Reads the next `size` bytes into `to`; false when the file ends before them or a read fails.
    bool Read(void* to, size_t size);

private:
    int m_fd = -1;
    uint64_t m_size = 0;
};
}
