#include "librarian/app/LibrarianFile.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <limits>
#include <new>
#include <ostream>
#include <vector>

namespace
{
uint32_t ReadBigEndian(const uint8_t* bytes)
{
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | uint32_t(bytes[3]);
}

void AppendBigEndian(std::vector<uint8_t>& out, uint32_t value)
{
    const uint8_t bytes[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
    out.insert(out.end(), bytes, bytes + 4);
}

// A cursor over one record body; every read is checked against the bytes left in the body.
class CBodyCursor
{
public:
    CBodyCursor(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool ReadWord(uint32_t& value)
    {
        if (m_size - m_position < 4)
            return false;
        value = ReadBigEndian(m_data + m_position);
        m_position += 4;
        return true;
    }

    bool ReadBytes(size_t count, CParameter::CBlock& out)
    {
        if (m_size - m_position < count)
            return false;
        out.assign(m_data + m_position, m_data + m_position + count);
        m_position += count;
        return true;
    }

    // A text up to its 00 byte, which is consumed too.
    bool ReadText(const char*& text, size_t& length)
    {
        const void* end = std::memchr(m_data + m_position, 0, m_size - m_position);
        if (!end)
            return false;
        text = reinterpret_cast<const char*>(m_data + m_position);
        length = static_cast<size_t>(static_cast<const uint8_t*>(end) - (m_data + m_position));
        m_position += length + 1;
        return true;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
};

// Parses one record body into `patch` (a new element without parts). Counts and sizes must be the
// layout's: anything else would later be sent to the instrument at the wrong addresses.
bool ParseRecordBody(const uint8_t* body, size_t size, CParameter& patch)
{
    CBodyCursor cursor(body, size);
    CParameter::CParts& parts = patch.GetParts();
    parts.resize(patch.GetPartCount());
    for (int part = 0; part < patch.GetPartCount(); ++part)
    {
        uint32_t blockCount = 0;
        if (!cursor.ReadWord(blockCount) || blockCount != static_cast<uint32_t>(patch.GetBlockCount(part)))
            return false;
        parts[part].resize(blockCount);
        for (CParameter::CBlock& block : parts[part])
        {
            uint32_t byteCount = 0;
            if (!cursor.ReadWord(byteCount) || byteCount != static_cast<uint32_t>(patch.GetBlockSize(part)))
                return false;
            if (!cursor.ReadBytes(byteCount, block))
                return false;
        }
    }
    for (int i = 0; i < CParameter::kTextCount; ++i)
    {
        const char* text = nullptr;
        size_t length = 0;
        if (!cursor.ReadText(text, length))
            return false;
        patch.SetText(i, std::string(text, length));
    }
    return true;
}

// The records pass through a window of the stream a chunk at a time rather than through one copy
// of the whole file: the bytes are then copied out of a buffer the processor still holds in its
// cache, and the memory for them is not needed twice.
class CRecordWindow
{
public:
    static constexpr size_t kChunkSize = size_t(1) << 18;

    // `unread` is the number of bytes the stream holds from its position on.
    CRecordWindow(std::istream& in, size_t unread) : m_in(in), m_unread(unread) {}

    // Makes the next `count` bytes readable at Data(). False when they cannot be read (the caller
    // has made sure the stream holds them) or there is no memory for them.
    bool Ensure(size_t count)
    {
        const size_t held = m_end - m_begin;
        if (held >= count)
            return true;
        if (count - held > m_unread)
            return false;
        // A record longer than a chunk gets a buffer of its own length, never more than is there.
        const size_t capacity = std::max(count, std::min(kChunkSize, held + m_unread));
        if (capacity > m_capacity)
        {
            std::unique_ptr<uint8_t[]> larger(new (std::nothrow) uint8_t[capacity]);
            if (!larger)
                return false;
            if (held > 0)
                std::memcpy(larger.get(), Data(), held);
            m_buffer = std::move(larger);
            m_capacity = capacity;
        }
        else if (held > 0)
        {
            std::memmove(m_buffer.get(), Data(), held);
        }
        m_begin = 0;
        m_end = held;
        const size_t wanted = std::min(m_capacity - m_end, m_unread);
        const auto size = static_cast<std::streamsize>(wanted);
        if (m_in.read(reinterpret_cast<char*>(m_buffer.get() + m_end), size).gcount() != size)
            return false;
        m_end += wanted;
        m_unread -= wanted;
        return true;
    }

    const uint8_t* Data() const { return m_buffer.get() + m_begin; }
    void Consume(size_t count) { m_begin += count; }

private:
    std::istream& m_in;
    size_t m_unread;
    std::unique_ptr<uint8_t[]> m_buffer;
    size_t m_capacity = 0;
    size_t m_begin = 0;
    size_t m_end = 0;
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

void AppendRecord(std::vector<uint8_t>& out, const CParameter& patch, uint32_t length)
{
    AppendBigEndian(out, length);
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
    for (int i = 0; i < CParameter::kTextCount; ++i)
    {
        const std::string& text = patch.GetText(i);
        out.insert(out.end(), text.begin(), text.end());
        out.push_back(0);
    }
}

// Body length of the record that AppendRecord writes for the patch; GetSerializedSize for every
// patch that fits the layout.
size_t LayoutRecordSize(const CParameter& patch)
{
    size_t size = CParameter::kTextCount;
    for (int part = 0; part < patch.GetPartCount(); ++part)
        size += 4 + static_cast<size_t>(patch.GetBlockCount(part)) * (4 + static_cast<size_t>(patch.GetBlockSize(part)));
    for (int i = 0; i < CParameter::kTextCount; ++i)
        size += patch.GetText(i).size();
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
    return ReadBigEndian(m_bytes.data() + kMagicSize + 4 * index);
}

void CDocumentHeader::SetWord(int index, uint32_t value)
{
    if (index < 0 || index >= kWordCount)
        return;
    uint8_t* word = m_bytes.data() + kMagicSize + 4 * index;
    word[0] = uint8_t(value >> 24);
    word[1] = uint8_t(value >> 16);
    word[2] = uint8_t(value >> 8);
    word[3] = uint8_t(value);
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

    // The window reads no further than the stream's own length, so nothing it allocates exceeds
    // what is there; every length is checked against the bytes left before it is used.
    size_t left = static_cast<size_t>(remaining);
    CRecordWindow window(in, left);
    for (uint32_t record = 0; record < recordCount; ++record)
    {
        if (left < 4)
            return kFileMessageWrongType;
        if (!window.Ensure(4))
            return kFileMessageNotLoaded;
        const uint32_t length = ReadBigEndian(window.Data());
        window.Consume(4);
        left -= 4;
        if (length == 0)
            return kFileMessageWrongType;
        if (length > left)
            return kFileMessageNotLoaded;
        if (!window.Ensure(length))
            return kFileMessageNotLoaded;

        std::unique_ptr<CParameter> patch = patches.CreateElement();
        if (!ParseRecordBody(window.Data(), length, *patch))
            return kFileMessageWrongType;
        window.Consume(length);
        left -= length;
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
