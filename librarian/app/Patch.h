#pragma once
// One Talvarix patch: six parts in nine blocks, 1048 data bytes, its name in the COMMON block.
#include "librarian/app/Parameter.h"

#include <cstdint>
#include <memory>
#include <string>

class CPatch : public CParameter
{
public:
    static constexpr int kKind = 1;
    static constexpr int kPartCount = 6;
    static constexpr int kNameLength = 12;
    static constexpr int kNameColumn = 5;
    // Unpacked address span of one patch (00 00 28 00 as 7-bit bytes).
    static constexpr uint32_t kAddressSpan = 0x1400;

    enum EPart
    {
        kCommon = 0,
        kMfx,
        kChorus,
        kReverb,
        kTmt,
        kTone
    };

    // One row of the layout. Offsets and steps are unpacked integers of the 7-bit addresses.
    struct CPartLayout
    {
        int code;               // what the transfers pass around: 0x101 + 0x100 x part index
        const char* name;       // progress text; "TONE %d" takes the tone number 1 to 4
        int blockCount;
        int blockSize;
        uint32_t offset;        // address offset of block 0 within the patch
        uint32_t step;          // address step between blocks, 0 for one-block parts
    };

    CPatch();

    // Patches come from a pool: opening a file makes one per record.
    static void* operator new(size_t size);
    static void operator delete(void* memory, size_t size) noexcept;

    void Initialize() override;
    std::unique_ptr<CParameter> Clone() const override;
    int Compare(int column, const CParameter& other, uint32_t thisPosition, uint32_t otherPosition,
                bool descending) const override;
    int GetPartCount() const override { return kPartCount; }
    int GetBlockCount(int part) const override;
    int GetBlockSize(int part) const override;
    int GetKind() const override { return kKind; }

    // Bytes 0 to 11 of the COMMON block, nothing trimmed (spaces for bytes the patch lacks).
    std::string GetName() const;
    // Stores 12 characters: the text's as SevenBitName gives them, padded with spaces.
    void SetName(const std::string& name);
    // A text as the instrument's name bytes: every character outside 32 to 127 (a UTF-8 sequence
    // counts as one) becomes one blank.
    static std::string SevenBitName(const std::string& text);

    // The layout row of a part, null for an index outside 0 to 5.
    static const CPartLayout* GetPartLayout(int part);
    static int PartCodeFromIndex(int part) { return 0x101 + 0x100 * part; }
    // The part index of a part code, -1 for a code that names no part.
    static int PartIndexFromCode(int code);
};
