#include "librarian/app/PatchRecord.h"

#include <cstring>

namespace
{
// The four bytes of a count as a file holds them (big-endian), as one native word.
uint32_t InFileOrder(uint32_t value)
{
    uint8_t bytes[4];
    PatchRecord::WriteWord(bytes, value);
    uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// A cursor over one record body; every read is checked against the bytes left in the body.
class CBodyCursor
{
public:
    CBodyCursor(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    // The next word, when it is there.
    bool ReadWord(uint32_t& word)
    {
        if (m_size - m_position < 4)
            return false;
        word = PatchRecord::ReadWord(m_data + m_position);
        m_position += 4;
        return true;
    }

    // The next block count, when it is there and no larger than a part may hold.
    bool ReadBlockCount(uint32_t& count)
    {
        return ReadWord(count) && count <= PatchRecord::kMaxBlocksPerPart;
    }

    // The next `count` bytes, or null when the body ends before them.
    const uint8_t* Take(size_t count)
    {
        if (m_size - m_position < count)
            return nullptr;
        const uint8_t* bytes = m_data + m_position;
        m_position += count;
        return bytes;
    }

    size_t Position() const { return m_position; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
};

// Length of the texts section that starts at `position`: up to and with the fourth 00 byte. False
// when the body ends before it.
bool MeasureTexts(const uint8_t* body, size_t size, size_t position, size_t& textsSize)
{
    // Most texts are empty or short.
    const size_t start = position;
    int ended = 0;
    while (position < size && ended < CParameter::kTextCount)
        ended += body[position++] == 0;
    textsSize = position - start;
    return ended == CParameter::kTextCount;
}
}

namespace PatchRecord
{
CShape::CShape(const CParameter& layout)
{
    // The words of a record of exactly the layout: what nearly every record is, checked without
    // walking it.
    for (int part = 0; part < layout.GetPartCount(); ++part)
    {
        const int blockCount = layout.GetBlockCount(part);
        const int blockSize = layout.GetBlockSize(part);
        m_words.push_back({m_partsSize, InFileOrder(static_cast<uint32_t>(blockCount))});
        m_partsSize += 4;
        for (int block = 0; block < blockCount; ++block)
        {
            m_words.push_back({m_partsSize, InFileOrder(static_cast<uint32_t>(blockSize))});
            m_partsSize += 4 + static_cast<size_t>(blockSize);
        }
    }
}

uint32_t CShape::Difference(const uint8_t* body, const CWord& word)
{
    uint32_t bytes;
    std::memcpy(&bytes, body + word.offset, sizeof bytes);
    return bytes ^ word.bytes;
}

bool CShape::Check(const uint8_t* body, size_t size, size_t& partsSize, size_t& textsSize) const
{
    if (size < m_partsSize)
        return false;
    // Every word is compared before the one branch: a file is read record after record, and
    // nearly every record is right.
    uint32_t differences = 0;
    const CWord* word = m_words.data();
    const CWord* const end = word + m_words.size();
    // Four at a time: the loads are independent, and the loop's own work would cost as much as
    // the comparisons.
    for (; end - word >= 4; word += 4)
        differences |= Difference(body, word[0]) | Difference(body, word[1]) | Difference(body, word[2]) |
                       Difference(body, word[3]);
    for (; word != end; ++word)
        differences |= Difference(body, *word);
    if (differences != 0)
        return false;
    partsSize = m_partsSize;
    return MeasureTexts(body, size, m_partsSize, textsSize);
}

bool CheckAsStored(const uint8_t* body, size_t size, const CParameter& layout, size_t& partsSize,
                   size_t& textsSize)
{
    CBodyCursor cursor(body, size);
    for (int part = 0; part < layout.GetPartCount(); ++part)
    {
        uint32_t blockCount = 0;
        if (!cursor.ReadBlockCount(blockCount))
            return false;
        for (uint32_t block = 0; block < blockCount; ++block)
        {
            uint32_t blockSize = 0;
            if (!cursor.ReadWord(blockSize) || !cursor.Take(blockSize))
                return false;
        }
    }
    partsSize = cursor.Position();
    return MeasureTexts(body, size, partsSize, textsSize);
}

void UnpackParts(const uint8_t* section, size_t size, const CParameter& layout, CParameter::CParts& parts)
{
    CBodyCursor cursor(section, size);
    parts.clear();
    for (int part = 0; part < layout.GetPartCount(); ++part)
    {
        uint32_t blockCount = 0;
        if (!cursor.ReadBlockCount(blockCount))
            return;
        parts.emplace_back();
        CParameter::CPart& blocks = parts.back();
        blocks.reserve(blockCount);
        for (uint32_t block = 0; block < blockCount; ++block)
        {
            uint32_t blockSize = 0;
            const uint8_t* bytes = nullptr;
            if (!cursor.ReadWord(blockSize) || !(bytes = cursor.Take(blockSize)))
                return;
            blocks.emplace_back(bytes, bytes + blockSize);
        }
    }
}
}
