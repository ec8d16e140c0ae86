#pragma once
// One parameter: a named stretch of a leaf's bytes with an encoding, a range, a default and an
// optional number table.
#include "model/CVeyBuffer.h"
#include "model/CVeyElementDefinition.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class IVeyNumberTable;

// Shared, pooled by the buffer manager: one record per distinct combination of all fields.
class CVeyValueDefinition
{
public:
    enum Encoding
    {
        kInt1x7 = 0, kInt2x7 = 1, kInt3x7 = 2, kInt5x7 = 3,
        kInt2x4 = 4, kInt3x4 = 5, kInt4x4 = 6, kString = 7, kArray = 8, kUnknown = 9
    };

    std::string name;
    CVeyAddressRange range;          // relative to the leaf's begin
    int32_t encoding = kInt1x7;
    int32_t min = 0;
    int32_t max = 127;
    int32_t defaultNumber = 0;
    std::string defaultText;
    const IVeyNumberTable* numberTable = nullptr;

    bool operator<(const CVeyValueDefinition& other) const;
    bool operator==(const CVeyValueDefinition& other) const;
    // For the pool: a hash of every field.
    struct CHash
    {
        size_t operator()(const CVeyValueDefinition& definition) const;
    };

    int32_t GetMin() const { return min; }
    int32_t GetMax() const { return max; }
    int32_t GetEncoding() const { return encoding; }
    const IVeyNumberTable* GetNumberTable() const { return numberTable; }

    // The script's type name ("int1x7" or "" ... "string") to its code; kUnknown otherwise.
    static int32_t GetEncodingCode(const std::string& typeName);
    // Bytes of a number encoding (1, 2, 3, 5, 2, 3, 4); 0 for the others.
    static int32_t GetEncodingSize(int32_t encoding);
    // Added by the "S" form: 64, 128, 2048, 32768 for int1x7, int2x4, int3x4, int4x4; else 0.
    static int32_t GetEncodingCenter(int32_t encoding);
    // "%li%c": a bare number, or a number directly followed by "S" (the center is added).
    static bool ParseNumber(int32_t encoding, const std::string& text, int32_t& number);
    // "a,b", "a,bS", "aS,b", "aS,bS"; a single number is not a range.
    static bool ParseRange(int32_t encoding, const std::string& text, int32_t& min, int32_t& max);

    bool IsNumeric() const { return encoding >= kInt1x7 && encoding <= kInt4x4; }
    // The table's count, else max - min + 1 (saturated at the largest 32-bit number).
    int32_t GetValueCount() const;
    // The table's entry (index clamped into the table), else min + index.
    int32_t IndexToValue(int32_t index) const;
    // The table index of the first equal entry (the count when absent), else number - min.
    int32_t ValueToIndex(int32_t number) const;
    int32_t GetDefaultIndex() const { return ValueToIndex(defaultNumber); }
};

class CVeyValue : public CVeyBuffer
{
public:
    enum Kind { kNumber = 0, kText = 1, kArray = 2 };

    CVeyValue();
    explicit CVeyValue(const CVeyValueDefinition* definition);
    CVeyValue(const CVeyValue&) = default;
    // A copy of `other` for another leaf whose bytes `data` are a copy of `otherData`, the bytes
    // `other` points into: the copy points at the same place in them.
    CVeyValue(const CVeyValue& other, CVeyStruct* leaf, const uint8_t* otherData, uint8_t* data)
        : CVeyBuffer(other), m_parent(leaf), m_bytes(data + (other.m_bytes - otherData)), m_definition(other.m_definition)
    {
    }
    CVeyValue& operator=(const CVeyValue&) = default;
    ~CVeyValue() = default;

    const std::string& GetName() const override { return m_definition->name; }
    const CVeyAddressRange& GetAddressRange() const override { return m_definition->range; }
    CVeyStruct* GetParent() const override { return m_parent; }
    // Points the value at its bytes inside `leaf`; false with a diagnostic line when it does not fit.
    bool Attach(CVeyStruct* leaf) override;
    // Attach for a leaf that already knows its bytes: `size` of them at `data`. Inline, as a
    // model is built with one call per value.
    bool AttachToBytes(CVeyStruct* leaf, uint8_t* data, size_t size)
    {
        m_parent = leaf;
        const CVeyAddressRange& range = m_definition->range;
        if (range.begin < 0 || range.end < range.begin || size < static_cast<size_t>(range.end))
            return RefuseAttach();
        m_bytes = data + range.begin;
        return true;
    }
    // True when both lists hold values of the same records, in the same order.
    static bool SameDefinitions(const std::vector<CVeyValue>& a, const std::vector<CVeyValue>& b);
    void DumpContents(GT::ATextOut& out) const override;
    void DumpAbsoluteNames(GT::ATextOut& out) const override;

    virtual const CVeyValueDefinition* GetDefinition() const { return m_definition; }
    virtual int GetKind() const;
    // Stores the encoding's bytes; no range check, bits that do not fit are dropped.
    virtual void SetNumber(int32_t number);
    virtual void SetNumberClipped(int32_t number);
    virtual int32_t GetNumber() const;
    virtual void SetIndex(int32_t index);
    virtual void SetIndexClipped(int32_t index);
    virtual int32_t GetIndex() const;
    // Copies the characters from the first byte on; never past the value's bytes.
    virtual void SetText(const std::string& text);
    virtual void SetTextClipped(const std::string& text);
    virtual std::string GetText() const;
    virtual void SetArray(const std::vector<int32_t>& numbers);
    virtual std::vector<int32_t> GetArray() const;
    // One data-set message with the value's bytes through its root's MIDI output.
    virtual bool Transmit();
    virtual void RevertToDefault();

    // Declares the value from a script value element; see the struct creation for the caller.
    // Recognised attributes are taken out of `attributes`; the caller reports what is left.
    bool LoadDefinition(const std::string& typeName, CVeyElementDefinition::CAttributes& attributes,
                        int32_t defaultAddress);

    int32_t GetSize() const { return m_definition->range.GetSize(); }
    uint8_t* GetBytes() const { return m_bytes; }
    // The number that `bytes` (laid out like this value's) would read as.
    int32_t DecodeNumber(const uint8_t* bytes) const;

private:
    void EncodeNumber(int32_t number, uint8_t* bytes) const;

    // Leaves the value without bytes, after a diagnostic line; false.
    bool RefuseAttach();

    CVeyStruct* m_parent = nullptr;
    uint8_t* m_bytes = nullptr;
    const CVeyValueDefinition* m_definition;
};
