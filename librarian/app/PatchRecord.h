#pragma once
// The body of one patch record in a librarian file: for each part of the patch's layout, its
// block count, then for each block its byte count and bytes (counts are unsigned 32-bit
// big-endian); then the four memo texts, each followed by one 00 byte. The first section, the
// parts, is what a patch read from a file keeps packed until its parts are first asked for.
#include "librarian/app/Parameter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace PatchRecord
{
// An unsigned 32-bit big-endian word, as every count and length of a librarian file is stored.
inline uint32_t ReadWord(const uint8_t* bytes)
{
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | uint32_t(bytes[3]);
}

// Stores `value` in the same order into the four bytes at `bytes`.
inline void WriteWord(uint8_t* bytes, uint32_t value)
{
    bytes[0] = uint8_t(value >> 24);
    bytes[1] = uint8_t(value >> 16);
    bytes[2] = uint8_t(value >> 8);
    bytes[3] = uint8_t(value);
}

// The parts section that every record of one layout has: its length, and its count words at
// their places, worked out once for all the records of a file.
class CShape
{
public:
    explicit CShape(const CParameter& layout);

    // Checks that `body` holds exactly the layout's parts and blocks followed by four ended
    // texts, and gives the length of the parts section (where the texts begin) and of the texts
    // section (up to and with the fourth 00 byte). Nothing is copied. A record that fails here
    // may still be one of other counts: see CheckAsStored.
    bool Check(const uint8_t* body, size_t size, size_t& partsSize, size_t& textsSize) const;

private:
    struct CWord
    {
        size_t offset;
        uint32_t bytes;   // the count as it lies in the file, to be compared without a byte swap
    };
    // The bits in which the word at its place in `body` differs from what it must be.
    static uint32_t Difference(const uint8_t* body, const CWord& word);
    std::vector<CWord> m_words;
    size_t m_partsSize = 0;
};

// The most blocks one part of a record may hold. The layout's parts hold one to four; a count far
// past that is no patch, and would only have the reader make room for blocks that are not there.
constexpr uint32_t kMaxBlocksPerPart = 64;

// Checks a record body whose parts differ from the layout, taking its counts as they stand: for
// each part of the layout, its block count (at most kMaxBlocksPerPart), then each block's byte
// count and bytes, then four ended texts, all within `size`. Gives the two sections' lengths as
// CShape::Check does. Nothing is copied.
bool CheckAsStored(const uint8_t* body, size_t size, const CParameter& layout, size_t& partsSize,
                   size_t& textsSize);

// Replaces `parts` with the blocks of a parts section, one part per part of the layout, with the
// counts the section holds. A section that CheckAsStored would refuse leaves the parts cut short
// where it stops being readable.
void UnpackParts(const uint8_t* section, size_t size, const CParameter& layout, CParameter::CParts& parts);
}
