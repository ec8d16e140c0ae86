#include "librarian/app/LibrarianFile.h"
#include "librarian/app/PatchRecord.h"
#include "toolkit/gt/InputFile.h"
#include "toolkit/gt/OutOfMemory.h"

#include <algorithm>
#include <cstring>
#include <functional>
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

// Reads exactly `size` bytes into `to`, from where the last read ended; false when it cannot.
using CReadBytes = std::function<bool(uint8_t* to, size_t size)>;

// The bytes after the header, read into one buffer a chunk at a time as the records need them:
// each record is checked while its chunk is still in the processor's cache, and the patches keep
// their parts packed in this buffer, so no block is copied on opening.
class CFileBytes
{
public:
    static constexpr size_t kChunkSize = size_t(1) << 18;

    // `size` is the number of bytes `read` can give; nothing beyond them is read or allocated.
    CFileBytes(const CReadBytes& read, size_t size) : m_read(read), m_size(size) {}

    // False when there is no memory for the bytes.
    bool Allocate()
    {
        if (m_size == 0)
            return true;
        m_bytes = CSharedBytes::Allocate(m_size);
        return static_cast<bool>(m_bytes);
    }

    // Makes the bytes up to `end` readable (the caller has made sure the file holds them).
    // False when they cannot be read.
    bool Ensure(size_t end)
    {
        while (m_done < end)
        {
            const size_t wanted = std::min(std::max(kChunkSize, end - m_done), m_size - m_done);
            if (!m_read(m_bytes.Data() + m_done, wanted))
                return false;
            m_done += wanted;
        }
        return true;
    }

    const uint8_t* At(size_t position) const { return m_bytes.Data() + position; }
    const CSharedBytes& Shared() const { return m_bytes; }

private:
    const CReadBytes& m_read;
    size_t m_size;
    size_t m_done = 0;
    CSharedBytes m_bytes;
};

// Reads the header and the records that follow it; `size` is the number of bytes `read` can
// give.
int ReadRecords(const CReadBytes& read, uint64_t size, CParameterArray& patches)
{
    CDocumentHeader header;
    if (size < CDocumentHeader::kSize || !read(header.Data(), CDocumentHeader::kSize) || !header.HasMagic())
        return kFileMessageWrongType;
    if (size - CDocumentHeader::kSize > std::numeric_limits<size_t>::max())
        return kFileMessageNotLoaded;
    const size_t total = static_cast<size_t>(size - CDocumentHeader::kSize);

    const uint32_t recordCount = header.GetWord(CDocumentHeader::kRecordCountWord);
    // Every record is at least its length word and one byte: a count beyond that cannot be met,
    // and must not size anything.
    const size_t possibleRecords = total / 5;
    // Patches are collected aside, so a failure leaves the caller's list alone.
    const std::unique_ptr<CParameterArray> collected = patches.CreateEmpty();
    collected->Reserve(std::min<size_t>(recordCount, possibleRecords));

    // Every length is checked against the bytes that are there before it is used.
    CFileBytes bytes(read, total);
    if (recordCount > 0 && !bytes.Allocate())
        return kFileMessageNotLoaded;
    const std::unique_ptr<CParameter> layout = patches.CreateElement();
    const PatchRecord::CShape shape(*layout);
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

        const uint8_t* body = bytes.At(position);
        size_t partsSize = 0;
        size_t textsSize = 0;
        // Block counts and sizes other than the layout's are taken as they stand.
        const bool fitsLayout = shape.Check(body, length, partsSize, textsSize);
        if (!fitsLayout && !PatchRecord::CheckAsStored(body, length, *layout, partsSize, textsSize))
            return kFileMessageWrongType;
        collected->AppendNew().SetPackedRecord(bytes.Shared(), body, partsSize, textsSize, fitsLayout);
        position += length;
    }

    patches.Swap(*collected);
    return kFileMessageNone;
}

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

// The parts as the patch holds them, each block with its own byte count: one entry per part of
// the layout, a part the patch lacks with no blocks. Parts past the layout have no place in a
// record. False when a part or block is larger than a file can hold.
bool AppendParts(std::vector<uint8_t>& out, const CParameter& patch)
{
    const CParameter::CParts& parts = patch.GetParts();
    for (size_t part = 0; part < static_cast<size_t>(patch.GetPartCount()); ++part)
    {
        const size_t blockCount = part < parts.size() ? parts[part].size() : 0;
        if (blockCount > PatchRecord::kMaxBlocksPerPart)
            return false;
        AppendBigEndian(out, static_cast<uint32_t>(blockCount));
        for (size_t index = 0; index < blockCount; ++index)
        {
            const CParameter::CBlock& block = parts[part][index];
            if (block.size() > std::numeric_limits<uint32_t>::max())
                return false;
            AppendBigEndian(out, static_cast<uint32_t>(block.size()));
            out.insert(out.end(), block.begin(), block.end());
        }
    }
    return true;
}

bool AppendRecord(std::vector<uint8_t>& out, const CParameter& patch, uint32_t length)
{
    AppendBigEndian(out, length);
    size_t packedSize = 0;
    if (const uint8_t* packed = patch.GetPackedParts(packedSize))
        out.insert(out.end(), packed, packed + packedSize);
    else if (!AppendParts(out, patch))
        return false;
    size_t textsSize = 0;
    const char* texts = patch.GetTextSection(textsSize);
    out.insert(out.end(), texts, texts + textsSize);
    return true;
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

// As ReadRecords; a file that exhausts memory is not loaded.
static int ReadFrom(const CReadBytes& read, uint64_t size, CParameterArray& patches)
{
    int result = kFileMessageNotLoaded;
    GT::ReadWithinMemory("the librarian file", [&] {
        result = ReadRecords(read, size, patches);
        return true;
    });
    return result;
}

int ReadLibrarianFile(const std::string& path, CParameterArray& patches)
{
    GT::CInputFile file;
    if (!file.Open(path))
        return kFileMessageNotLoaded;
    return ReadFrom([&file](uint8_t* to, size_t size) { return file.Read(to, size); }, file.GetSize(), patches);
}

int ReadLibrarianFile(std::istream& in, CParameterArray& patches)
{
    const std::streamoff remaining = RemainingBytes(in);
    if (remaining < 0)
        return kFileMessageNotLoaded;
    return ReadFrom(
        [&in](uint8_t* to, size_t size) {
            const auto wanted = static_cast<std::streamsize>(size);
            return in.read(reinterpret_cast<char*>(to), wanted).gcount() == wanted;
        },
        static_cast<uint64_t>(remaining), patches);
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
        const size_t length = patches[i].GetSerializedSize();
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
        if (!AppendRecord(image, patch, static_cast<uint32_t>(patch.GetSerializedSize())))
            return false;
    }
    return out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size())) &&
           out.flush();
}
