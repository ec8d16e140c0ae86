#include "model/CVeyValue.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyStruct.h"
#include "model/IVeyModelLinks.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TextOut.h"
#include "toolkit/gt/TraceTextOut.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <tuple>

// Tens of thousands of values live by value in their leaves: leaf, first byte and definition
// beside the virtual table, nothing more.
static_assert(sizeof(CVeyValue) <= 4 * sizeof(void*), "a value must stay a small record");

namespace
{
const CVeyValueDefinition kEmptyValueDefinition{};

// Bits per byte and sign bit (0: none) of the number encodings, by code.
struct CNumberLayout
{
    int bytes;
    int bitsPerByte;
    uint32_t signBit;
};
const CNumberLayout kLayouts[] = {
    {1, 7, 64}, {2, 7, 8192}, {3, 7, 1048576}, {5, 7, 0}, {2, 4, 128}, {3, 4, 2048}, {4, 4, 32768},
};

int32_t Wrap(int64_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

}

// ---- CVeyValueDefinition ----

bool CVeyValueDefinition::operator<(const CVeyValueDefinition& other) const
{
    return std::tie(name, range.begin, range.end, encoding, min, max, defaultNumber, defaultText, numberTable)
         < std::tie(other.name, other.range.begin, other.range.end, other.encoding, other.min, other.max,
                    other.defaultNumber, other.defaultText, other.numberTable);
}

bool CVeyValueDefinition::operator==(const CVeyValueDefinition& other) const
{
    return range.begin == other.range.begin && range.end == other.range.end && encoding == other.encoding &&
           min == other.min && max == other.max && defaultNumber == other.defaultNumber &&
           numberTable == other.numberTable && name == other.name && defaultText == other.defaultText;
}

size_t CVeyValueDefinition::CHash::operator()(const CVeyValueDefinition& definition) const
{
    size_t hash = std::hash<std::string>()(definition.name);
    for (const int32_t field : {definition.range.begin, definition.range.end, definition.encoding, definition.min,
                                definition.max, definition.defaultNumber})
        hash = hash * 31 + std::hash<int32_t>()(field);
    hash = hash * 31 + std::hash<std::string>()(definition.defaultText);
    return hash * 31 + std::hash<const IVeyNumberTable*>()(definition.numberTable);
}

int32_t CVeyValueDefinition::GetEncodingCode(const std::string& typeName)
{
    static constexpr std::string_view kNames[] = {"int1x7", "int2x7", "int3x7", "int5x7",
                                                  "int2x4", "int3x4", "int4x4", "string"};
    if (typeName.empty())
        return kInt1x7;
    for (int32_t code = 0; code < 8; ++code)
        if (std::string_view(typeName) == kNames[code])
            return code;
    return kUnknown;
}

int32_t CVeyValueDefinition::GetEncodingSize(int32_t encoding)
{
    return encoding >= kInt1x7 && encoding <= kInt4x4 ? kLayouts[encoding].bytes : 0;
}

int32_t CVeyValueDefinition::GetEncodingCenter(int32_t encoding)
{
    switch (encoding)
    {
    case kInt1x7: return 64;
    case kInt2x4: return 128;
    case kInt3x4: return 2048;
    case kInt4x4: return 32768;
    default: return 0;
    }
}

namespace
{
// One number as scanf's %li reads it (strtol with base 0: a leading 0 makes it octal, too large
// a number stops at the limit) from a text without white space or "0x"; false when there is none.
// strtol's locale handling costs more than the rest of a value's declaration.
// Reads the digits of `base` from `at` on into `magnitude`, stopping at the limit when they
// exceed it; true when they did.
template <unsigned long base>
bool ReadDigits(const char*& at, unsigned long limit, unsigned long& magnitude)
{
    const unsigned long cutoff = limit / base;
    const unsigned long lastDigit = limit % base;
    bool overflow = false;
    for (; *at >= '0' && static_cast<unsigned long>(*at - '0') < base; ++at)
    {
        const unsigned long digit = static_cast<unsigned long>(*at - '0');
        if (magnitude > cutoff || (magnitude == cutoff && digit > lastDigit))
            overflow = true;
        else
            magnitude = magnitude * base + digit;
    }
    return overflow;
}

bool ReadLong(const char*& at, long& value)
{
    const char* next = at;
    const bool negative = *next == '-';
    if (*next == '-' || *next == '+')
        ++next;
    if (*next < '0' || *next > '9')
        return false;
    const unsigned long limit = negative ? static_cast<unsigned long>(LONG_MAX) + 1 : LONG_MAX;
    unsigned long magnitude = 0;
    const bool overflow =
        *next == '0' ? ReadDigits<8>(next, limit, magnitude) : ReadDigits<10>(next, limit, magnitude);
    if (overflow)
        value = negative ? LONG_MIN : LONG_MAX;
    else
        value = !negative ? static_cast<long>(magnitude) : magnitude == 0 ? 0 : -static_cast<long>(magnitude - 1) - 1;
    at = next;
    return true;
}

// True when `text` holds nothing but digits, signs, S and (when `commas`) commas.
bool IsPlainNumberText(const std::string& text, bool commas)
{
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'S' || (commas && c == ',')))
            return false;
    return true;
}
}

bool CVeyValueDefinition::ParseNumber(int32_t encoding, const std::string& text, int32_t& number)
{
    long n = 0;
    // Digits, signs and S only, as every script writes a number: read without scanf, the same way
    // ("n" or "nS", anything after the S ignored).
    if (IsPlainNumberText(text, false))
    {
        const char* at = text.c_str();
        if (!ReadLong(at, n) || (*at != 0 && *at != 'S'))
            return false;
        number = *at == 'S' ? Wrap(static_cast<int64_t>(Wrap(n)) + GetEncodingCenter(encoding)) : Wrap(n);
        return true;
    }
    char c = 0;
    const int read = std::sscanf(text.c_str(), "%li%c", &n, &c);
    if (read == 1)
    {
        number = Wrap(n);
        return true;
    }
    if (read == 2 && c == 'S')
    {
        number = Wrap(static_cast<int64_t>(Wrap(n)) + GetEncodingCenter(encoding));
        return true;
    }
    return false;
}

namespace
{

// ParseRange for a text of digits, signs, commas and S only (no white space), as every script
// writes it: the same two forms as there, read without scanf, which costs more than the rest of
// a value's declaration.
bool ParsePlainRange(const char* at, int64_t center, int32_t& minOut, int32_t& maxOut)
{
    const char* const text = at;
    long a = 0, b = 0;
    // "min,max" or "min,maxS" (anything after the S is ignored)
    if (ReadLong(at, a) && *at == ',' && ReadLong(++at, b) && (*at == 0 || *at == 'S'))
    {
        minOut = Wrap(a);
        maxOut = Wrap(static_cast<int64_t>(Wrap(b)) + (*at == 'S' ? center : 0));
        return true;
    }
    // "minS,max" or "minS,maxS"
    at = text;
    if (ReadLong(at, a) && at[0] == 'S' && at[1] == ',' && ReadLong(at += 2, b) && (*at == 0 || *at == 'S'))
    {
        minOut = Wrap(static_cast<int64_t>(Wrap(a)) + center);
        maxOut = Wrap(static_cast<int64_t>(Wrap(b)) + (*at == 'S' ? center : 0));
        return true;
    }
    return false;
}
}

bool CVeyValueDefinition::ParseRange(int32_t encoding, const std::string& text, int32_t& minOut, int32_t& maxOut)
{
    const int64_t center = GetEncodingCenter(encoding);
    if (IsPlainNumberText(text, true))
        return ParsePlainRange(text.c_str(), center, minOut, maxOut);
    long a = 0, b = 0;
    char c = 0, d = 0;
    int read = std::sscanf(text.c_str(), "%li,%li%c", &a, &b, &c);
    if (read == 2 || (read == 3 && c == 'S'))
    {
        minOut = Wrap(a);
        maxOut = Wrap(static_cast<int64_t>(Wrap(b)) + (read == 3 ? center : 0));
        return true;
    }
    c = 0;
    read = std::sscanf(text.c_str(), "%li%c,%li%c", &a, &c, &b, &d);
    if (read >= 3 && c == 'S' && (read == 3 || d == 'S'))
    {
        minOut = Wrap(static_cast<int64_t>(Wrap(a)) + center);
        maxOut = Wrap(static_cast<int64_t>(Wrap(b)) + (read == 4 ? center : 0));
        return true;
    }
    return false;
}

int32_t CVeyValueDefinition::GetValueCount() const
{
    if (numberTable)
        return numberTable->GetNumberCount();
    const int64_t count = static_cast<int64_t>(max) - min + 1;
    return static_cast<int32_t>(std::clamp<int64_t>(count, INT32_MIN, INT32_MAX));
}

int32_t CVeyValueDefinition::IndexToValue(int32_t index) const
{
    if (numberTable)
    {
        // Received data and defaults need not be table entries, so callers may pass the count;
        // the index is kept inside the table rather than read past it.
        const int32_t count = numberTable->GetNumberCount();
        if (count <= 0)
            return min;
        return numberTable->GetNumberAt(std::clamp(index, 0, count - 1));
    }
    return Wrap(static_cast<int64_t>(min) + index);
}

int32_t CVeyValueDefinition::ValueToIndex(int32_t number) const
{
    if (numberTable)
    {
        const int32_t count = numberTable->GetNumberCount();
        for (int32_t i = 0; i < count; ++i)
            if (numberTable->GetNumberAt(i) == number)
                return i;
        return std::max(count, 0);
    }
    return Wrap(static_cast<int64_t>(number) - min);
}

// ---- CVeyValue ----

CVeyValue::CVeyValue() : m_definition(&kEmptyValueDefinition)
{
}

CVeyValue::CVeyValue(const CVeyValueDefinition* definition)
    : m_definition(definition ? definition : &kEmptyValueDefinition)
{
}

bool CVeyValue::Attach(CVeyStruct* leaf)
{
    std::vector<uint8_t>* data = leaf ? leaf->GetData() : nullptr;
    if (!data)
    {
        m_parent = leaf;
        return RefuseAttach();
    }
    const int32_t leafSize = leaf->GetAddressRange().GetSize();
    return AttachToBytes(leaf, data->data(), std::min<size_t>(data->size(), static_cast<size_t>(std::max(leafSize, 0))));
}

bool CVeyValue::RefuseAttach()
{
    m_bytes = nullptr;
    GetTraceTextOut().Printf("Value address range exceeds parent struct's one. : %s\n", GetPathName().c_str());
    return false;
}

bool CVeyValue::SameDefinitions(const std::vector<CVeyValue>& a, const std::vector<CVeyValue>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].m_definition != b[i].m_definition)
            return false;
    return true;
}

int CVeyValue::GetKind() const
{
    if (m_definition->encoding == CVeyValueDefinition::kString)
        return kText;
    if (m_definition->encoding == CVeyValueDefinition::kArray)
        return kArray;
    return kNumber;
}

void CVeyValue::EncodeNumber(int32_t number, uint8_t* bytes) const
{
    const int32_t encoding = m_definition->encoding;
    if (encoding < CVeyValueDefinition::kInt1x7 || encoding > CVeyValueDefinition::kInt4x4 || !bytes)
        return;
    const CNumberLayout& layout = kLayouts[encoding];
    const uint32_t mask = (1u << layout.bitsPerByte) - 1;
    // Shifts keep the sign, so a negative number gives its two's-complement bytes; a shift of 28
    // or more of a 32-bit number only leaves sign bits, which the mask cuts to what fits.
    for (int i = 0; i < layout.bytes; ++i)
    {
        const int shift = layout.bitsPerByte * (layout.bytes - 1 - i);
        const int32_t shifted = shift >= 32 ? (number < 0 ? -1 : 0) : (number >> shift);
        bytes[i] = static_cast<uint8_t>(static_cast<uint32_t>(shifted) & mask);
    }
}

int32_t CVeyValue::DecodeNumber(const uint8_t* bytes) const
{
    const int32_t encoding = m_definition->encoding;
    if (encoding < CVeyValueDefinition::kInt1x7 || encoding > CVeyValueDefinition::kInt4x4 || !bytes)
        return 0;
    const CNumberLayout& layout = kLayouts[encoding];
    uint32_t composed = 0;   // bits above 32 (int5x7) fall away
    for (int i = 0; i < layout.bytes; ++i)
        composed = (composed << layout.bitsPerByte) | bytes[i];
    if (m_definition->min < 0 && layout.signBit != 0 && (composed & layout.signBit))
        composed -= 2 * layout.signBit;
    return static_cast<int32_t>(composed);
}

void CVeyValue::SetNumber(int32_t number)
{
    EncodeNumber(number, m_bytes);
}

void CVeyValue::SetNumberClipped(int32_t number)
{
    const int32_t lo = std::min(m_definition->min, m_definition->max);
    const int32_t hi = std::max(m_definition->min, m_definition->max);
    SetNumber(std::clamp(number, lo, hi));
}

int32_t CVeyValue::GetNumber() const
{
    return DecodeNumber(m_bytes);
}

void CVeyValue::SetIndex(int32_t index)
{
    SetNumber(m_definition->IndexToValue(index));
}

void CVeyValue::SetIndexClipped(int32_t index)
{
    SetNumberClipped(m_definition->IndexToValue(index));
}

int32_t CVeyValue::GetIndex() const
{
    return m_definition->ValueToIndex(GetNumber());
}

void CVeyValue::SetText(const std::string& text)
{
    if (!m_bytes)
        return;
    const size_t count = std::min(text.size(), static_cast<size_t>(std::max(GetSize(), 0)));
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(count), m_bytes);
}

void CVeyValue::SetTextClipped(const std::string& text)
{
    const size_t size = static_cast<size_t>(std::max(GetSize(), 0));
    const int32_t lo = std::min(m_definition->min, m_definition->max);
    const int32_t hi = std::max(m_definition->min, m_definition->max);
    std::string clipped = text.substr(0, size);
    clipped.resize(size, static_cast<char>(m_definition->min));
    for (char& c : clipped)
        c = static_cast<char>(std::clamp<int32_t>(static_cast<unsigned char>(c), lo, hi));
    SetText(clipped);
}

std::string CVeyValue::GetText() const
{
    if (!m_bytes)
        return {};
    return std::string(reinterpret_cast<const char*>(m_bytes), static_cast<size_t>(std::max(GetSize(), 0)));
}

void CVeyValue::SetArray(const std::vector<int32_t>&)
{
}

std::vector<int32_t> CVeyValue::GetArray() const
{
    return {};
}

bool CVeyValue::Transmit()
{
    const CVeyStruct* parent = GetParent();
    if (!parent || !m_bytes)
        return false;
    uint32_t begin = 0;
    CVeyRootStruct* root = parent->GetCachedRootAndBegin(begin);
    IVeyTransmitter* out = root ? root->GetMidiOut() : nullptr;
    if (!out)
        return false;
    begin += static_cast<uint32_t>(GetAddressRange().begin);
    const size_t size = static_cast<size_t>(GetSize());
    if (size + out->GetDt1FrameSize() > kVeyMaxMessageSize)
        return false;
    return out->SendDt1(static_cast<int32_t>(begin), m_bytes, size);
}

void CVeyValue::RevertToDefault()
{
    switch (GetKind())
    {
    case kNumber: SetNumber(m_definition->defaultNumber); break;
    case kText: SetTextClipped(m_definition->defaultText); break;
    default: SetArray({m_definition->defaultNumber}); break;
    }
}

void CVeyValue::DumpContents(GT::ATextOut& out) const
{
    out.Indent(4);
    DumpAddress(out);
    out.Printf("type=%d, range=%ld %ld, ", static_cast<int>(m_definition->encoding), static_cast<long>(m_definition->min),
               static_cast<long>(m_definition->max));
    if (GetKind() == kText)
        out.Printf("default=%s, value=%s\n", m_definition->defaultText.c_str(), GetText().c_str());
    else
        out.Printf("default=%ld, value=%ld\n", static_cast<long>(m_definition->defaultNumber), static_cast<long>(GetNumber()));
    out.Indent(-4);
}

void CVeyValue::DumpAbsoluteNames(GT::ATextOut& out) const
{
    out.Indent(4);
    DumpPath(out);
    out.Indent(-4);
}

// ---- declaration from the script ----

namespace
{
// Takes every attribute called `name` out of the list; the last one's value wins.
bool TakeLast(CVeyElementDefinition::CAttributes& attributes, std::string_view name, std::string& value)
{
    bool found = false;
    for (auto it = attributes.begin(); it != attributes.end();)
    {
        if (it->first == name)
        {
            value = it->second;
            found = true;
            it = attributes.erase(it);
        }
        else
            ++it;
    }
    return found;
}

bool ParseAddressText(const std::string& text, int32_t& value)
{
    GT::CBytes bytes;
    return GT::HexStringToBytes(text, bytes) && CVeyAddress::ParseBytes(bytes, value);
}
}

bool CVeyValue::LoadDefinition(const std::string& typeName, CVeyElementDefinition::CAttributes& attributes,
                               int32_t defaultAddress)
{
    CVeyValueDefinition definition;
    TakeLast(attributes, "name", definition.name);
    const char* const name = definition.name.c_str();
    definition.encoding = CVeyValueDefinition::GetEncodingCode(typeName);
    if (definition.encoding == CVeyValueDefinition::kUnknown)
    {
        GetTraceTextOut().Printf("Value type is unknown. : %s : %s\n", name, typeName.c_str());
        return false;
    }
    const bool isString = definition.encoding == CVeyValueDefinition::kString;
    int32_t begin = defaultAddress;
    int32_t size = CVeyValueDefinition::GetEncodingSize(definition.encoding);
    definition.min = isString ? 32 : 0;
    definition.max = 127;

    for (auto it = attributes.begin(); it != attributes.end();)
    {
        // Compared as views: the lengths first, without a call per name.
        const std::string_view key = it->first;
        const std::string& text = it->second;
        if (key == "address")
        {
            if (!ParseAddressText(text, begin))
            {
                GetTraceTextOut().Printf("Value address is invalid. : %s : %s\n", name, text.c_str());
                return false;
            }
        }
        else if (key == "size")
        {
            if (!ParseAddressText(text, size))
            {
                GetTraceTextOut().Printf("Value size is invalid. : %s : %s\n", name, text.c_str());
                return false;
            }
        }
        else if (key == "range")
        {
            if (!CVeyValueDefinition::ParseRange(definition.encoding, text, definition.min, definition.max))
            {
                GetTraceTextOut().Printf("Value range is invalid. : %s : %s\n", name, text.c_str());
                return false;
            }
        }
        else if (key == "default")
        {
            if (isString)
                definition.defaultText = text;
            else if (!CVeyValueDefinition::ParseNumber(definition.encoding, text, definition.defaultNumber))
            {
                GetTraceTextOut().Printf("Value default is invalid. : %s : %s\n", name, text.c_str());
                return false;
            }
        }
        else if (key == "numberTableRef")
        {
            const IVeyNumberTableProvider* tables = CVeyBufferManager::GetInstance().GetNumberTableProvider();
            definition.numberTable = tables ? tables->FindNumberTable(text) : nullptr;
            if (!definition.numberTable)
            {
                GetTraceTextOut().Printf("Unable to find number table. : %s : %s.\n", name, text.c_str());
                return false;
            }
        }
        else
        {
            ++it;
            continue;
        }
        it = attributes.erase(it);
    }

    // Values laid out one after another from defaults could run past what any struct can hold
    // (and past 32 bits); such a value can never fit, so it is refused here.
    if (static_cast<int64_t>(begin) + size > kVeyAddressLimit)
    {
        GetTraceTextOut().Printf("Value address is invalid. : %s : %08X\n", name, static_cast<unsigned>(begin));
        return false;
    }
    definition.range = CVeyAddressRange(begin, begin + size);
    if (isString)
    {
        if (definition.defaultText.size() > static_cast<size_t>(size))
        {
            GetTraceTextOut().Printf("Value default is too long. : %s : %s\n", name, definition.defaultText.c_str());
            return false;
        }
    }
    else
    {
        const int32_t required = CVeyValueDefinition::GetEncodingSize(definition.encoding);
        if (size != required)
        {
            GetTraceTextOut().Printf("Value size must be %02X. : %s : %02X\n", static_cast<unsigned>(required), name,
                                     static_cast<unsigned>(size));
            return false;
        }
        if (definition.defaultNumber < definition.min || definition.defaultNumber > definition.max)
        {
            GetTraceTextOut().Printf("Value default is out of range [%ld,%ld]. : %s : %ld\n",
                                     static_cast<long>(definition.min), static_cast<long>(definition.max), name,
                                     static_cast<long>(definition.defaultNumber));
            return false;
        }
    }
    m_definition = CVeyBufferManager::GetInstance().InternValueDefinition(definition);
    return true;
}
