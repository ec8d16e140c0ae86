#pragma once
// A patch of the instrument as plain bytes: four memo texts the instrument never sees, and parts,
// each a list of blocks, each block exactly one data-set message's payload. The concrete class
// fixes the layout; this base knows nothing of what the bytes mean.
//
// A patch usually holds exactly its layout, but may hold fewer or more parts and blocks, and
// blocks of other lengths (one filled by a transfer, one made by hand): everything that reads
// the parts checks their shape. The containers keep the usual shape inside the patch, so a patch
// of the layout costs two allocations, not one per block.
#include "toolkit/gt/InlineVector.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CParameter
{
public:
    // Room inside for the largest block of the instrument's layout, for one block per part and
    // for its six parts; longer ones go to the heap.
    static constexpr size_t kInlineBlockBytes = 160;
    static constexpr size_t kInlineParts = 6;
    using CBlock = GT::CInlineVector<uint8_t, kInlineBlockBytes>;
    using CPart = GT::CInlineVector<CBlock, 1>;
    using CParts = GT::CInlineVector<CPart, kInlineParts>;

    static constexpr int kTextCount = 4;

    CParameter();
    CParameter(const CParameter& other) = default;
    // Copies the texts and all parts; the kind of either object is not changed.
    CParameter& operator=(const CParameter& other);
    virtual ~CParameter();

    // Becomes a copy of the accepted initial file's first patch; without one, empty texts and
    // the layout's blocks, every byte 0.
    virtual void Initialize();
    virtual std::unique_ptr<CParameter> Clone() const = 0;
    // Byte length of this patch's record body in a librarian file.
    virtual size_t GetSerializedSize() const;
    // Ordering for a list's column sort; positions are the two patches' places in the list.
    virtual int Compare(int column, const CParameter& other, uint32_t thisPosition, uint32_t otherPosition,
                        bool descending) const;
    virtual int GetPartCount() const { return 0; }
    virtual int GetBlockCount(int /*part*/) const { return 0; }
    virtual int GetBlockSize(int /*part*/) const { return 0; }
    virtual int GetKind() const { return 0; }

    // Memo text 0 to 3 (shown as "Memo1" to "Memo4"). Texts are bytes in any encoding; a text
    // stops at its first 00 byte, which the librarian file uses as the terminator.
    const std::string& GetText(int index) const;
    void SetText(int index, const std::string& text);
    void ClearTexts();

    CParts& GetParts() { return m_parts; }
    const CParts& GetParts() const { return m_parts; }

    // True when the parts, block counts and block sizes are exactly those of the layout.
    bool FitsLayout() const;

protected:
    // Result for two texts: the tie result when they are equal byte for byte, else the order of
    // their upper-case forms, and for texts equal but for case, their byte order.
    static int CompareTexts(const std::string& mine, const std::string& other, int tieResult);
    // Tie result of Compare: the order of the two list positions, negated when descending.
    static int PositionOrder(uint32_t thisPosition, uint32_t otherPosition);

private:
    std::string m_texts[kTextCount];
    CParts m_parts;
};
