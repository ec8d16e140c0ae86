#pragma once
// The librarian file (".q9l"): a 160-byte header, then one record per patch. All integers are
// unsigned 32-bit big-endian.
//
//   header  32 bytes magic "Q9ELibrarianFile0000" + 12 spaces, word 0 = 0, word 1 = N,
//           words 2 to 31 = 0
//   record  4-byte body length L, then per part of the layout: its block count, then per block
//           its byte count and bytes; then the four memo texts, each followed by one 00 byte
//
// Everything read is checked against the bytes that are really there before it is used or
// allocated: a file with a record that does not hold together is refused whole. Block counts and
// sizes are taken as they stand, as the patches keep them (a patch may lack blocks of its layout
// or hold them short); only a part of more than PatchRecord::kMaxBlocksPerPart blocks is refused.
#include "librarian/app/ParameterArray.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>

// Message-table ids of the file operations' failures.
enum ELibrarianFileMessage
{
    kFileMessageNone = 0,
    kFileMessageWrongType = 3,      // "Cannot read files of this type."
    kFileMessageNotLoaded = 4,      // "The file could not be loaded."
    kFileMessageNotSaved = 5,       // "The file could not be saved."
};

class CDocumentHeader
{
public:
    static constexpr size_t kSize = 160;
    static constexpr size_t kMagicSize = 32;
    static constexpr int kWordCount = 32;
    static constexpr int kRecordCountWord = 1;

    // All zero but the magic.
    CDocumentHeader();

    uint32_t GetWord(int index) const;
    void SetWord(int index, uint32_t value);
    // True when all 32 magic bytes are there.
    bool HasMagic() const;

    uint8_t* Data() { return m_bytes.data(); }
    const uint8_t* Data() const { return m_bytes.data(); }

    // The 32 magic bytes.
    static const std::string& Magic();

private:
    std::array<uint8_t, kSize> m_bytes;
};

// Reads the whole librarian file at `path` into `patches`, which is replaced only when the whole
// file was read; on failure it is left as it was. Returns kFileMessageNone or the message id of
// the failure. Only a regular file is read: a folder or a pipe has no length to check the
// records against.
int ReadLibrarianFile(const std::string& path, CParameterArray& patches);
// The same from a stream that can seek, from its position to its end.
int ReadLibrarianFile(std::istream& in, CParameterArray& patches);

// Writes the patches as a librarian file, every block as the patch holds it, so the file reads
// back as the same patches. Returns false on any write error, and for a patch the file cannot
// hold (a part of more blocks than a file may have).
bool WriteLibrarianFile(std::ostream& out, const CParameterArray& patches);
