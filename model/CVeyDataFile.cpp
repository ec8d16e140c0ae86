#include "model/CVeyDataFile.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyErrorOut.h"
#include "model/CVeyStruct.h"
#include "toolkit/gt/SafeFile.h"
#include "toolkit/gt/OutOfMemory.h"
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/ul/Cursor.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

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

    // The whole body is read before the model is touched: a short file would leave the model half
    // old and half new. Bytes after the body are no part of the image and are ignored.
    std::string body(GetStructDataSize(*m_rootStruct), '\0');
    if (!stream.read(&body[0], std::streamsize(body.size())))
        return false;
    if (stream.peek() != std::char_traits<char>::eof())
        GetTraceTextOut().Printf("Data file is longer than the data of %s; the bytes after it are ignored.\n",
                                 m_rootStruct->GetPathName().c_str());

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
    if (!GT::ReadWithinMemory("the data file", [&] { return ReadImage(stream); }))
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
    const auto writeImage = [&image](std::ostream& out) {
        const std::string bytes = image.str();
        return bool(out.write(bytes.data(), std::streamsize(bytes.size())));
    };
    if (!WriteImage(image) || !GT::SaveFileAtomically(path, writeImage))
    {
        CVeyBufferedErrorOut::ShowMessage(kSaveFailedMessage);
        return false;
    }
    m_rootStruct->SetModified(false);
    return true;
}
