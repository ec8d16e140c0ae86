#pragma once
// Where the librarian's patches live in the instrument's memory, and where received data belongs.
// Addresses are 7-bit packed: four wire bytes of 7 bits, most significant first, kept as one
// unpacked integer (30 00 00 00 is 0x6000000).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CParameter;
class CParameterArray;

class CParameterAddress
{
public:
    static constexpr int kByteCount = 4;

    constexpr CParameterAddress(uint32_t value = 0) : m_value(value) {}
    // Four wire bytes, most significant first.
    static constexpr CParameterAddress FromBytes(uint8_t a, uint8_t b, uint8_t c, uint8_t d)
    {
        return CParameterAddress((uint32_t(a & 0x7F) << 21) | (uint32_t(b & 0x7F) << 14) |
                                 (uint32_t(c & 0x7F) << 7) | uint32_t(d & 0x7F));
    }
    // False, `address` unchanged, unless there are exactly four bytes, each below 80h.
    static bool FromBytes(const std::vector<uint8_t>& bytes, CParameterAddress& address);

    constexpr uint32_t Get() const { return m_value; }
    std::vector<uint8_t> ToBytes() const;

    constexpr bool operator==(CParameterAddress other) const { return m_value == other.m_value; }
    constexpr bool operator!=(CParameterAddress other) const { return m_value != other.m_value; }

private:
    uint32_t m_value;
};

// What a transfer addresses. Only these two codes address anything; any other code (the views
// pass -1 outside "Mode" 1) makes a transfer skip every patch.
enum : int
{
    kAreaTemporaryPatch = 0x11,
    kAreaUserPatches = 0x21,
};

namespace PatchAddressing
{
constexpr CParameterAddress kTemporaryPatch = CParameterAddress::FromBytes(0x1F, 0, 0, 0);
constexpr CParameterAddress kUserPatches = CParameterAddress::FromBytes(0x30, 0, 0, 0);
constexpr uint32_t kUserPatchStride = CParameterAddress::FromBytes(0, 1, 0, 0).Get();
constexpr size_t kUserPatchCount = 256;
// Where received data counts as temporary-patch data (up to the user area) and as user-patch
// data (up to 32 00 00 00).
constexpr uint32_t kTemporaryAreaEnd = kUserPatches.Get();
constexpr uint32_t kUserAreaEnd = kUserPatches.Get() + kUserPatchStride * kUserPatchCount;
// The instrument's tone type, read before every transfer: 2 bytes.
constexpr CParameterAddress kToneType = CParameterAddress::FromBytes(0x01, 0, 0, 0x04);

// The address of patch `index` in `area`; false when the area holds no such patch (an unknown
// area, or a user patch outside 0 to 255). The temporary patch takes any index.
bool GetPatchAddress(int area, int index, CParameterAddress& address);
// The address of block `block` of part `part` (index 0 to 5) of the patch at `patch`.
CParameterAddress GetBlockAddress(CParameterAddress patch, int part, int block);

// Where a received data set belongs.
struct CLocation
{
    int area = 0;
    size_t patch = 0;     // index in the patch list
    int part = 0;         // part index
    int block = 0;
    uint32_t offset = 0;  // from the block's first byte
};
// False for an address outside both areas or beyond a patch's last tone. Temporary-patch data
// goes to `temporaryIndex`.
bool Locate(CParameterAddress address, size_t temporaryIndex, CLocation& location);

// Copies a received data set into the patch it addresses, at its place in the block, never past
// the layout's block size. A patch lacking the block, or holding it shorter than the layout,
// gets it first at the layout's size. A COMMON block empties the patch's memo texts. False, with
// nothing changed, when the address belongs to no patch of the list or no byte would land.
bool StoreDataSet(CParameterArray& patches, CParameterAddress address, const std::vector<uint8_t>& data,
                  size_t temporaryIndex);

// The bytes of a block as they go to the instrument: the block's bytes, cut at the layout's
// size. Empty when the patch lacks the block.
std::vector<uint8_t> GetBlockData(const CParameter& patch, int part, int block);
}

// The progress text before a block: "Temporary Patch: " or "User Patch %d-%d: " followed by the
// part's name; empty for other areas.
std::string DescribeBlock(int area, int patch, int partCode, int block);
