#include "librarian/app/ParameterAddress.h"

#include "librarian/app/ParameterArray.h"
#include "librarian/app/Patch.h"
#include "toolkit/gt/Format.h"

#include <algorithm>

bool CParameterAddress::FromBytes(const std::vector<uint8_t>& bytes, CParameterAddress& address)
{
    if (bytes.size() != kByteCount)
        return false;
    for (uint8_t byte : bytes)
        if (byte >= 0x80)
            return false;
    address = FromBytes(bytes[0], bytes[1], bytes[2], bytes[3]);
    return true;
}

std::vector<uint8_t> CParameterAddress::ToBytes() const
{
    return {static_cast<uint8_t>((m_value >> 21) & 0x7F), static_cast<uint8_t>((m_value >> 14) & 0x7F),
            static_cast<uint8_t>((m_value >> 7) & 0x7F), static_cast<uint8_t>(m_value & 0x7F)};
}

namespace PatchAddressing
{
namespace
{
// Part of a patch-relative offset, by where the next part begins (the gaps belong to the part
// before them).
int PartOfOffset(uint32_t offset)
{
    for (int part = CPatch::kPartCount - 1; part > 0; --part)
        if (offset >= CPatch::GetPartLayout(part)->offset)
            return part;
    return 0;
}
}

bool GetPatchAddress(int area, int index, CParameterAddress& address)
{
    switch (area)
    {
    case kAreaTemporaryPatch:
        address = kTemporaryPatch;
        return true;
    case kAreaUserPatches:
        if (index < 0 || static_cast<size_t>(index) >= kUserPatchCount)
            return false;
        address = kUserPatches.Get() + kUserPatchStride * static_cast<uint32_t>(index);
        return true;
    default:
        return false;
    }
}

CParameterAddress GetBlockAddress(CParameterAddress patch, int part, int block)
{
    const CPatch::CPartLayout* layout = CPatch::GetPartLayout(part);
    if (!layout)
        return patch;
    return patch.Get() + layout->offset + layout->step * static_cast<uint32_t>(block);
}

bool Locate(CParameterAddress address, size_t temporaryIndex, CLocation& location)
{
    const uint32_t a = address.Get();
    uint32_t patchAddress = 0;
    if (a >= kTemporaryPatch.Get() && a < kTemporaryAreaEnd)
    {
        location.area = kAreaTemporaryPatch;
        location.patch = temporaryIndex;
        patchAddress = kTemporaryPatch.Get();
    }
    else if (a >= kUserPatches.Get() && a < kUserAreaEnd)
    {
        location.area = kAreaUserPatches;
        location.patch = (a - kUserPatches.Get()) / kUserPatchStride;
        patchAddress = kUserPatches.Get() + kUserPatchStride * static_cast<uint32_t>(location.patch);
    }
    else
    {
        return false;
    }
    const uint32_t offset = a - patchAddress;
    const int part = PartOfOffset(offset);
    const CPatch::CPartLayout* layout = CPatch::GetPartLayout(part);
    uint32_t blockStart = layout->offset;
    int block = 0;
    if (layout->step > 0)
    {
        const uint32_t index = (offset - layout->offset) / layout->step;
        if (index >= static_cast<uint32_t>(layout->blockCount))
            return false;   // past the last tone
        block = static_cast<int>(index);
        blockStart += layout->step * index;
    }
    location.part = part;
    location.block = block;
    location.offset = offset - blockStart;
    return true;
}

bool StoreDataSet(CParameterArray& patches, CParameterAddress address, const std::vector<uint8_t>& data,
                  size_t temporaryIndex)
{
    CLocation location;
    if (!Locate(address, temporaryIndex, location) || location.patch >= patches.GetSize())
        return false;
    const CPatch::CPartLayout* layout = CPatch::GetPartLayout(location.part);
    const size_t size = static_cast<size_t>(layout->blockSize);
    // Data that starts beyond the block's end, in the gap before the next block, fits nowhere.
    if (location.offset >= size || data.empty())
        return false;
    CParameter& patch = patches[location.patch];
    CParameter::CParts& parts = patch.GetParts();
    if (parts.size() <= static_cast<size_t>(location.part))
        parts.resize(static_cast<size_t>(location.part) + 1);
    CParameter::CPart& blocks = parts[static_cast<size_t>(location.part)];
    if (blocks.size() <= static_cast<size_t>(location.block))
        blocks.resize(static_cast<size_t>(location.block) + 1);
    CParameter::CBlock& block = blocks[static_cast<size_t>(location.block)];
    if (block.size() < size)
        block.resize(size, 0);
    const size_t count = std::min(data.size(), size - location.offset);
    std::copy(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(count),
              block.begin() + static_cast<std::ptrdiff_t>(location.offset));
    // The memos describe what the patch was; new COMMON data makes it another patch.
    if (location.part == CPatch::kCommon)
        patch.ClearTexts();
    return true;
}

std::vector<uint8_t> GetBlockData(const CParameter& patch, int part, int block)
{
    const CPatch::CPartLayout* layout = CPatch::GetPartLayout(part);
    const CParameter::CParts& parts = patch.GetParts();
    if (!layout || part < 0 || static_cast<size_t>(part) >= parts.size() || block < 0 ||
        static_cast<size_t>(block) >= parts[static_cast<size_t>(part)].size())
        return {};
    const CParameter::CBlock& bytes = parts[static_cast<size_t>(part)][static_cast<size_t>(block)];
    const size_t count = std::min(bytes.size(), static_cast<size_t>(layout->blockSize));
    return std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}
}

std::string DescribeBlock(int area, int patch, int partCode, int block)
{
    std::string text;
    if (area >= 0x10 && area <= 0x1F)
        text = "Temporary Patch: ";
    else if (area >= 0x20 && area <= 0x2F)
        GT::Format(text, "User Patch %d-%d: ", patch / 32 + 1, patch % 32 + 1);
    else
        return text;
    const CPatch::CPartLayout* layout = CPatch::GetPartLayout(CPatch::PartIndexFromCode(partCode));
    if (!layout)
        return text;
    std::string name;
    if (layout->step > 0)
        GT::Format(name, "TONE %d", block + 1);
    else
        name = layout->name;
    return text + name;
}
