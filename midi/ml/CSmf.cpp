#include "midi/ml/CSmf.h"

namespace ML
{
size_t CSmf::PutVariableLength(uint8_t* out, uint32_t value)
{
    size_t count = 0;
    for (int shift = 21; shift > 0; shift -= 7)
    {
        const uint8_t group = static_cast<uint8_t>((value >> shift) & 0x7F);
        if (group != 0 || count > 0)
            out[count++] = group | 0x80;
    }
    out[count++] = static_cast<uint8_t>(value & 0x7F);
    return count;
}

void CSmf::AppendVariableLength(Bytes& out, uint32_t value)
{
    uint8_t bytes[kMaxVariableLengthBytes];
    out.insert(out.end(), bytes, bytes + PutVariableLength(bytes, value));
}

void CSmf::AppendBigEndian(Bytes& out, uint32_t value, size_t byteCount)
{
    for (size_t i = byteCount; i-- > 0;)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t CSmf::ReadBigEndian(const uint8_t* bytes, size_t byteCount)
{
    uint32_t value = 0;
    for (size_t i = 0; i < byteCount; ++i)
        value = value << 8 | bytes[i];
    return value;
}

uint32_t SysexSpacingTicks(size_t byteCount)
{
    return static_cast<uint32_t>((static_cast<uint64_t>(byteCount) * 192 + 12000) / 3125 + 1);
}
}
