#include "model/CVeyDataFile.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyErrorOut.h"
#include "model/CVeyStruct.h"
#include "toolkit/ul/Cursor.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr size_t kMagicOffset = 0;
constexpr size_t kRootPathOffset = 16;
constexpr size_t kProductNameOffset = 80;

void PutField(std::vector<uint8_t>& header, size_t offset, size_t size, const std::string& text)
{
    std::fill(header.begin() + offset, header.begin() + offset + size, uint8_t(' '));
    std::copy_n(text.begin(), std::min(size, text.size()), header.begin() + offset);
}

std::string TakeField(const uint8_t* bytes, size_t offset, size_t size)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    std::string field(reinterpret_cast<const char*>(bytes + offset), size);
    const auto first = std::find_if_not(field.begin(), field.end(), isBlank);
    const auto last = std::find_if_not(field.rbegin(), field.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

// The bytes of every leaf, the change list's length and the modified flag: what a failed load
// puts back.
class CModelSnapshot
{
public:
    explicit CModelSnapshot(CVeyRootStruct& root)
        : m_root(root)
        , m_changeCount(CVeyBufferManager::GetInstance().GetChangeList().size())
        , m_modified(root.IsModified())
    {
        Collect(root);
    }

    void Restore()
    {
        size_t next = 0;
        RestoreBlocks(m_root, next);
        CVeyValueList& changes = CVeyBufferManager::GetInstance().GetChangeList();
        if (changes.size() > m_changeCount)
            changes.resize(m_changeCount);
        m_root.SetModified(m_modified);
    }

private:
    void Collect(CVeyStruct& s)
    {
        if (const std::vector<uint8_t>* data = s.GetData())
            m_blocks.push_back(*data);
        if (CVeyStructList* children = s.GetChildStructs())
            for (auto& child : *children)
                Collect(*child);
    }

    void RestoreBlocks(CVeyStruct& s, size_t& next)
    {
        if (std::vector<uint8_t>* data = s.GetData())
        {
            const std::vector<uint8_t>& saved = m_blocks[next++];
            // Values point into the block, so its bytes are copied back, never the vector itself.
            std::copy_n(saved.begin(), std::min(saved.size(), data->size()), data->begin());
        }
        if (CVeyStructList* children = s.GetChildStructs())
            for (auto& child : *children)
                RestoreBlocks(*child, next);
    }

    CVeyRootStruct& m_root;
    std::vector<std::vector<uint8_t>> m_blocks;
    size_t m_changeCount;
    bool m_modified;
};

// Writes `bytes` to a new file beside `path` and renames it over `path`; the old file stays as it
// was until the new one is complete. A replaced file keeps its permissions.
bool ReplaceFile(const std::string& path, const std::string& bytes)
{
    static unsigned serial = 0;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt)
    {
        temporary = path + ".saving-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    struct stat existing;
    bool ok = true;
    if (stat(path.c_str(), &existing) == 0)
        ok = fchmod(fd, existing.st_mode & 07777) == 0;
    size_t written = 0;
    while (ok && written < bytes.size())
    {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            written += size_t(n);
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}
}

CVeyDataFile& CVeyDataFile::GetInstance()
{
    static CVeyDataFile instance;
    return instance;
}

CVeyDataFile::CVeyDataFile() : m_magic("VeyDataFile00001")
{
}

std::vector<uint8_t> CVeyDataFile::MakeHeaderBytes(const CHeader& header)
{
    std::vector<uint8_t> bytes(kHeaderSize, 0);
    PutField(bytes, kMagicOffset, kMagicSize, header.magic);
    PutField(bytes, kRootPathOffset, kRootPathSize, header.rootStructPath);
    PutField(bytes, kProductNameOffset, kProductNameSize, header.productName);
    return bytes;
}

CVeyDataFile::CHeader CVeyDataFile::ParseHeaderBytes(const uint8_t* bytes)
{
    CHeader header;
    header.magic = TakeField(bytes, kMagicOffset, kMagicSize);
    header.rootStructPath = TakeField(bytes, kRootPathOffset, kRootPathSize);
    header.productName = TakeField(bytes, kProductNameOffset, kProductNameSize);
    return header;
}

bool CVeyDataFile::GetHeader(CHeader& header) const
{
    if (m_rootStruct == nullptr)
        return false;
    header.magic = m_magic;
    header.rootStructPath = m_rootStruct->GetPathName();
    header.productName = m_productName;
    return true;
}

bool CVeyDataFile::CheckHeader(const CHeader& header) const
{
    CHeader expected;
    if (!GetHeader(expected))
        return false;
    return header.magic == expected.magic && header.rootStructPath == expected.rootStructPath
        && header.productName == expected.productName;
}

bool CVeyDataFile::WriteImage(std::ostream& stream) const
{
    CHeader header;
    if (!GetHeader(header))
        return false;
    const std::vector<uint8_t> headerBytes = MakeHeaderBytes(header);
    stream.write(reinterpret_cast<const char*>(headerBytes.data()), std::streamsize(headerBytes.size()));
    return stream.good() && WriteStructData(*m_rootStruct, stream) && stream.good();
}

bool CVeyDataFile::Write(std::ostream& stream)
{
    UL::CWaitCursor waitCursor;
    if (!WriteImage(stream))
    {
        CVeyBufferedErrorOut::ShowMessage(kSaveFailedMessage);
        return false;
    }
    m_rootStruct->SetModified(false);
    return true;
}

bool CVeyDataFile::ReadImage(std::istream& stream)
{
    if (m_rootStruct == nullptr)
        return false;
    uint8_t headerBytes[kHeaderSize];
    if (!stream.read(reinterpret_cast<char*>(headerBytes), kHeaderSize))
        return false;
    if (!CheckHeader(ParseHeaderBytes(headerBytes)))
        return false;

    // The whole body is read and its length checked before the model is touched: a short file
    // would leave the model half old and half new, and a longer one was not written by this script.
    std::string body(GetStructDataSize(*m_rootStruct), '\0');
    if (!stream.read(&body[0], std::streamsize(body.size())))
        return false;
    if (stream.peek() != std::char_traits<char>::eof())
        return false;

    CModelSnapshot snapshot(*m_rootStruct);
    std::istringstream bodyStream(body);
    if (!CVeyBufferManager::GetInstance().ReadStructData(m_rootStruct, bodyStream))
    {
        snapshot.Restore();
        return false;
    }
    return true;
}

bool CVeyDataFile::Read(std::istream& stream)
{
    UL::CWaitCursor waitCursor;
    if (!ReadImage(stream))
    {
        CVeyBufferedErrorOut::ShowMessage(kLoadFailedMessage);
        return false;
    }
    m_rootStruct->SetModified(false);
    return true;
}

bool CVeyDataFile::Load(const std::string& path)
{
    UL::CWaitCursor waitCursor;
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        CVeyBufferedErrorOut::ShowMessage(kLoadFailedMessage);
        return false;
    }
    return Read(file);
}

bool CVeyDataFile::Save(const std::string& path)
{
    UL::CWaitCursor waitCursor;
    std::ostringstream image;
    if (!WriteImage(image) || !ReplaceFile(path, image.str()))
    {
        CVeyBufferedErrorOut::ShowMessage(kSaveFailedMessage);
        return false;
    }
    m_rootStruct->SetModified(false);
    return true;
}
