#pragma once
// 7-bit packed addresses of the instrument's parameter memory, and the half-open ranges built
// from them. Offsets, sizes and absolute addresses all live in this one number space.
#include <cstdint>
#include <string>
#include <vector>

// Largest address a 4-byte wire form can carry: 28 bits.
constexpr int32_t kVeyAddressLimit = 0x10000000;

class CVeyAddress
{
public:
    CVeyAddress(int32_t value = 0) : m_value(value) {}
    operator int32_t() const { return m_value; }
    int32_t Get() const { return m_value; }

    // a = a * 128 + byte for each byte; bytes are not masked. Wraps at 32 bits.
    void SetFromBytes(const std::vector<uint8_t>& bytes);
    void SetFromBytes(const uint8_t* bytes, size_t count);
    // `addressSize` 7-bit groups, most significant first (below 1: one byte, above 4: four).
    std::vector<uint8_t> ToBytes(int addressSize) const;

    // Reads an address or size from its blank-separated hexadecimal bytes. Unlike SetFromBytes it
    // refuses what the wire cannot carry: more than 4 bytes, or a number of 28 bits or more.
    static bool ParseBytes(const std::vector<uint8_t>& bytes, int32_t& value);

private:
    int32_t m_value;
};

class CVeyAddressRange
{
public:
    CVeyAddressRange() = default;
    CVeyAddressRange(int32_t begin, int32_t end) : begin(begin), end(end) {}

    bool Contains(int32_t address) const { return begin <= address && address < end; }
    int32_t GetSize() const { return end - begin; }
    bool Overlaps(const CVeyAddressRange& other) const
    {
        return begin < other.end && other.begin < end && begin < end && other.begin < other.end;
    }
    // This range becomes the intersection of a and b (written even when empty); true when non-empty.
    bool Intersect(const CVeyAddressRange& a, const CVeyAddressRange& b);

    bool operator==(const CVeyAddressRange& o) const { return begin == o.begin && end == o.end; }
    bool operator!=(const CVeyAddressRange& o) const { return !(*this == o); }

    int32_t begin = 0;
    int32_t end = 0;
};

// "%s[%d]": the name of an array member.
std::string MakeArrayElementName(const std::string& name, int index);

// True when `path` equals `name` (rest empty) or starts with `name` + "." and at least one more
// character (rest = what follows the "."). Whole components only: "fmx.pat" does not match "fm".
bool MatchPathPrefix(const std::string& path, const std::string& name, std::string& rest);
// Components first .. first + count - 1 of a dotted path joined by "."; count -1 runs to the end;
// "" when the range lies outside the path.
std::string GetPathComponents(const std::string& path, int first, int count);
