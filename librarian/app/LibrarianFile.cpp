#include "librarian/app/LibrarianFile.h"
#include "librarian/app/PatchRecord.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <limits>
#include <ostream>
#include <vector>

namespace
{
void AppendBigEndian(std::vector<uint8_t>& out, uint32_t value)
{
    uint8_t bytes[4];
    PatchRecord::WriteWord(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

// The bytes after the header, read into one buffer a chunk at a time as the records need them:
// each record is checked while its chunk is still in the processor's cache, and the patches keep
// their parts packed in this buffer, so no block is copied on opening.
class CFileBytes
{
public:
    static constexpr size_t kChunkSize = size_t(1) << 18;

    // `unread` is the number of bytes the stream holds from its position on; nothing beyond them
    // is read or allocated.
    CFileBytes(std::istream& in, size_t unread) : m_in(in), m_size(unread) {}

    // False when there is no memory for the bytes.
    bool Allocate()
    {
        if (m_size == 0)
            return true;
        m_bytes = CSharedBytes::Allocate(m_size);
        return static_cast<bool>(m_bytes);
    }

    // Makes the bytes up to `end` readable. False when they cannot be read (the caller has made
    // sure the stream holds them).
    bool Ensure(size_t end)
    {
        while (m_read < end)
        {
            const size_t wanted = std::min(std::max(kChunkSize, end - m_read), m_size - m_read);
            const auto size = static_cast<std::streamsize>(wanted);
            if (m_in.read(reinterpret_cast<char*>(m_bytes.Data() + m_read), size).gcount() != size)
                return false;
            m_read += wanted;
        }
        return true;
    }

    const uint8_t* At(size_t position) const { return m_bytes.Data() + position; }
    const CSharedBytes& Shared() const { return m_bytes; }

private:
    std::istream& m_in;
    size_t m_size;
    size_t m_read = 0;
    CSharedBytes m_bytes;
};

// Bytes from the current position to the end of the stream, or -1 when the stream cannot seek.
std::streamoff RemainingBytes(std::istream& in)
{
    const std::streampos here = in.tellg();
    if (here == std::streampos(-1) || !in.seekg(0, std::ios::end))
        return -1;
    const std::streampos end = in.tellg();
    in.seekg(here);
    if (end == std::streampos(-1) || !in)
        return -1;
    return end - here;
}

// The parts in the layout's shape: missing bytes as 0, extra blocks and bytes left out.
void AppendParts(std::vector<uint8_t>& out, const CParameter& patch)
{
    const CParameter::CParts& parts = patch.GetParts();
    for (int part = 0; part < patch.GetPartCount(); ++part)
    {
        const uint32_t blockCount = static_cast<uint32_t>(patch.GetBlockCount(part));
        const size_t blockSize = static_cast<size_t>(patch.GetBlockSize(part));
        AppendBigEndian(out, blockCount);
        for (uint32_t index = 0; index < blockCount; ++index)
        {
            AppendBigEndian(out, static_cast<uint32_t>(blockSize));
            const CParameter::CBlock* block =
                static_cast<size_t>(part) < parts.size() && index < parts[part].size() ? &parts[part][index] : nullptr;
            const size_t present = block ? std::min(block->size(), blockSize) : 0;
            if (present > 0)
                out.insert(out.end(), block->begin(), block->begin() + static_cast<std::ptrdiff_t>(present));
            out.insert(out.end(), blockSize - present, 0);
        }
    }
}

void AppendRecord(std::vector<uint8_t>& out, const CParameter& patch, uint32_t length)
{
    AppendBigEndian(out, length);
    size_t packedSize = 0;
    if (const uint8_t* packed = patch.GetPackedParts(packedSize))
        out.insert(out.end(), packed, packed + packedSize);
    else
        AppendParts(out, patch);
    size_t textsSize = 0;
    const char* texts = patch.GetTextSection(textsSize);
    out.insert(out.end(), texts, texts + textsSize);
}

// Body length of the record that AppendRecord writes for the patch; GetSerializedSize for every
// patch that fits the layout.
size_t LayoutRecordSize(const CParameter& patch)
{
    size_t size = 0;
    patch.GetTextSection(size);
    for (int part = 0; part < patch.GetPartCount(); ++part)
        size += 4 + static_cast<size_t>(patch.GetBlockCount(part)) * (4 + static_cast<size_t>(patch.GetBlockSize(part)));
    return size;
}
}

CDocumentHeader::CDocumentHeader()
{
    m_bytes.fill(0);
    std::memcpy(m_bytes.data(), Magic().data(), kMagicSize);
}

const std::string& CDocumentHeader::Magic()
{
    static const std::string magic = "Q9ELibrarianFile0000            ";
    return magic;
}

uint32_t CDocumentHeader::GetWord(int index) const
{
    if (index < 0 || index >= kWordCount)
        return 0;
    return PatchRecord::ReadWord(m_bytes.data() + kMagicSize + 4 * index);
}

void CDocumentHeader::SetWord(int index, uint32_t value)
{
    if (index < 0 || index >= kWordCount)
        return;
    PatchRecord::WriteWord(m_bytes.data() + kMagicSize + 4 * index, value);
}

bool CDocumentHeader::HasMagic() const
{
    return std::memcmp(m_bytes.data(), Magic().data(), kMagicSize) == 0;
}

int ReadLibrarianFile(std::istream& in, CParameterArray& patches)
{
    std::streamoff remaining = RemainingBytes(in);
    if (remaining < 0)
        return kFileMessageNotLoaded;

    CDocumentHeader header;
    if (remaining < static_cast<std::streamoff>(CDocumentHeader::kSize) ||
        !in.read(reinterpret_cast<char*>(header.Data()), CDocumentHeader::kSize) || !header.HasMagic())
        return kFileMessageWrongType;
    remaining -= CDocumentHeader::kSize;

    const uint32_t recordCount = header.GetWord(CDocumentHeader::kRecordCountWord);
    // Every record is at least its length word and one byte: a count beyond that cannot be met,
    // and must not size anything.
    const size_t possibleRecords = static_cast<size_t>(remaining / 5);
    // Patches are collected aside, so a failure leaves the caller's list alone.
    std::vector<std::unique_ptr<CParameter>> collected;
    collected.reserve(std::min<size_t>(recordCount, possibleRecords));

    // Every length is checked against the bytes that are there before it is used.
    const size_t total = static_cast<size_t>(remaining);
    CFileBytes bytes(in, total);
    if (recordCount > 0 && !bytes.Allocate())
        return kFileMessageNotLoaded;
    const PatchRecord::CShape shape(*patches.CreateElement());
    size_t position = 0;
    for (uint32_t record = 0; record < recordCount; ++record)
    {
        if (total - position < 4)
            return kFileMessageWrongType;
        if (!bytes.Ensure(position + 4))
            return kFileMessageNotLoaded;
        const uint32_t length = PatchRecord::ReadWord(bytes.At(position));
        position += 4;
        if (length == 0)
            return kFileMessageWrongType;
        if (length > total - position)
            return kFileMessageNotLoaded;
        if (!bytes.Ensure(position + length))
            return kFileMessageNotLoaded;

        std::unique_ptr<CParameter> patch = patches.CreateElement();
        const uint8_t* body = bytes.At(position);
        size_t partsSize = 0;
        size_t textsSize = 0;
        if (!shape.Check(body, length, partsSize, textsSize))
            return kFileMessageWrongType;
        patch->SetPackedRecord(bytes.Shared(), body, partsSize, textsSize);
        position += length;
        collected.push_back(std::move(patch));
    }

    // The elements are the array's own kind, so it takes them all.
    return patches.ReplaceAll(std::move(collected)) ? kFileMessageNone : kFileMessageNotLoaded;
}

bool WriteLibrarianFile(std::ostream& out, const CParameterArray& patches)
{
    if (patches.GetSize() > std::numeric_limits<uint32_t>::max())
        return false;
    CDocumentHeader header;
    header.SetWord(CDocumentHeader::kRecordCountWord, static_cast<uint32_t>(patches.GetSize()));

    // The whole file is built in memory and handed over in one write: a stream passes a write
    // the size of a record straight on to the system.
    size_t total = CDocumentHeader::kSize;
    for (size_t i = 0; i < patches.GetSize(); ++i)
    {
        const size_t length = LayoutRecordSize(patches[i]);
        if (length > std::numeric_limits<uint32_t>::max())
            return false;
        total += 4 + length;
    }
    std::vector<uint8_t> image;
    image.reserve(total);
    image.insert(image.end(), header.Data(), header.Data() + CDocumentHeader::kSize);
    for (size_t i = 0; i < patches.GetSize(); ++i)
    {
        const CParameter& patch = patches[i];
        AppendRecord(image, patch, static_cast<uint32_t>(LayoutRecordSize(patch)));
    }
    return out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size())) &&
           out.flush();
}
