#pragma once
// Where the instrument keeps its 256 user patches: slot i begins at base + i x stride, and a
// slot's name lies at its begin. Addresses are 7-bit packed values.
#include <cstdint>

namespace UserPatchArea
{
// 30 00 00 00, 00 01 00 00, 32 00 00 00, 00 00 00 00 packed seven bits per byte.
constexpr int32_t Pack(uint32_t bytes)
{
    return static_cast<int32_t>(((bytes >> 24) & 0x7F) << 21 | ((bytes >> 16) & 0x7F) << 14 | ((bytes >> 8) & 0x7F) << 7 |
                                (bytes & 0x7F));
}

constexpr int kSlotCount = 256;
constexpr int kSlotsPerBank = 32;
constexpr int32_t kBase = Pack(0x30000000);
constexpr int32_t kStride = Pack(0x00010000);
constexpr int32_t kEnd = kBase + kSlotCount * kStride;
constexpr int32_t kNameOffset = Pack(0x00000000);

constexpr int32_t SlotAddress(int slot) { return kBase + slot * kStride; }

static_assert(kBase == 100663296 && kStride == 16384 && kEnd == 104857600, "user patch area");
}
