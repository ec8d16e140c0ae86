#pragma once
// A patch of the instrument as plain bytes: four memo texts the instrument never sees, and parts,
// each a list of blocks, each block exactly one data-set message's payload. The concrete class
// fixes the layout; this base knows nothing of what the bytes mean.
//
// A patch usually holds exactly its layout, but may hold fewer or more parts and blocks, and
// blocks of other lengths (one filled by a transfer, one made by hand): everything that reads
// the parts checks their shape. The containers keep the usual shape in one block of memory, so
// the parts of a patch of the layout cost one allocation, not one per block.
//
// A patch read from a librarian file keeps its parts and texts packed, as the file's bytes,
// until its parts are first asked for or its texts are changed: opening a file of thousands of
// patches copies no block, and patches copied from it share those bytes (which stay in memory
// while any patch still reads from them).
#include "librarian/app/SharedBytes.h"
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
    CParameter(const CParameter& other);
    // Copies the texts and all parts; the kind of either object is not changed.
    CParameter& operator=(const CParameter& other);
    virtual ~CParameter();

    // Becomes a copy of the initial template (the accepted initial file's first patch); without
    // one, empty texts and the layout's blocks, every byte 0.
    virtual void Initialize();
    // Where Initialize finds its template: the initial file installs its first patch while it has
    // one accepted. Null, or a source that answers null, means no template.
    using FTemplateSource = const CParameter* (*)();
    static void SetInitialTemplateSource(FTemplateSource source);
    static const CParameter* GetInitialTemplate();
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
    std::string GetText(int index) const;
    void SetText(int index, const std::string& text);
    void ClearTexts();
    // The four texts as a librarian file holds them, each followed by one 00 byte; the bytes
    // are the patch's and last until it changes.
    const char* GetTextSection(size_t& size) const;

    // The parts, unpacked first if the patch still holds them packed.
    CParts& GetParts() { return Unpacked(); }
    const CParts& GetParts() const { return Unpacked(); }

    // True when the parts, block counts and block sizes are exactly those of the layout.
    bool FitsLayout() const;

    // Takes a record body that PatchRecord::CShape::Check accepted for this patch's layout, in a
    // file's bytes that `file` keeps alive: the parts section of `partsSize` bytes, then the
    // texts section of `textsSize` bytes. Parts and texts stay there until they are asked for
    // or changed.
    void SetPackedRecord(const CSharedBytes& file, const uint8_t* body, size_t partsSize, size_t textsSize);
    // The packed parts section, or null (and size 0) once the parts are unpacked or were never
    // packed. It is exactly what a librarian file holds for parts of the layout.
    const uint8_t* GetPackedParts(size_t& size) const;

protected:
    // Result for two texts: the tie result when they are equal byte for byte, else the order of
    // their upper-case forms, and for texts equal but for case, their byte order.
    static int CompareTexts(const std::string& mine, const std::string& other, int tieResult);
    // Tie result of Compare: the order of the two list positions, negated when descending.
    static int PositionOrder(uint32_t thisPosition, uint32_t otherPosition);

private:
    // Where a patch read from a file still finds its parts and texts in the file's bytes.
    struct CPackedRecord
    {
        CSharedBytes file;
        const uint8_t* parts = nullptr;   // null once the parts are unpacked
        size_t partsSize = 0;
        const char* texts = nullptr;      // null once the texts are changed
        size_t textsSize = 0;
    };

    // The parts, unpacking them from the file's bytes on the first call. Const callers unpack
    // too: the patch's value does not change, only where its bytes are kept.
    CParts& Unpacked() const;
    // The bytes of the file go when nothing is read from them any longer.
    void ReleaseUnusedFile() const;

    mutable CPackedRecord m_packed;
    // The texts section when it is not packed, or empty while all four texts are.
    std::string m_textSection;
    // Null while the parts are packed, and for a new patch until its parts are asked for.
    mutable std::unique_ptr<CParts> m_parts;
};
