#include "librarian/app/Patch.h"
#include "toolkit/gt/ObjectPool.h"

namespace
{
const CPatch::CPartLayout kLayout[CPatch::kPartCount] = {
    {0x101, "COMMON", 1, 79, 0x0000, 0},
    {0x201, "MFX", 1, 145, 0x0100, 0},
    {0x301, "CHORUS", 1, 84, 0x0200, 0},
    {0x401, "REVERB", 1, 83, 0x0300, 0},
    {0x501, "TMT", 1, 41, 0x0800, 0},
    {0x601, "TONE %d", 4, 154, 0x1000, 0x0100},
};
}

const CPatch::CPartLayout* CPatch::GetPartLayout(int part)
{
    return part >= 0 && part < kPartCount ? &kLayout[part] : nullptr;
}

int CPatch::PartIndexFromCode(int code)
{
    const int offset = code - 0x101;
    if (offset < 0 || offset % 0x100 != 0 || offset / 0x100 >= kPartCount)
        return -1;
    return offset / 0x100;
}

CPatch::CPatch() = default;

namespace
{
// Never destroyed: patches held by other objects that live to the end of the program are
// destroyed after it would be.
GT::CObjectPool& PatchPool()
{
    static GT::CObjectPool* const pool = new GT::CObjectPool(sizeof(CPatch));
    return *pool;
}
}

void* CPatch::operator new(size_t size)
{
    return PatchPool().Allocate(size);
}

void CPatch::operator delete(void* memory, size_t size) noexcept
{
    PatchPool().Free(memory, size);
}

int CPatch::GetBlockCount(int part) const
{
    const CPartLayout* layout = GetPartLayout(part);
    return layout ? layout->blockCount : 0;
}

int CPatch::GetBlockSize(int part) const
{
    const CPartLayout* layout = GetPartLayout(part);
    return layout ? layout->blockSize : 0;
}

void CPatch::Initialize()
{
    CParameter::Initialize();
    if (!GetInitialTemplate())
        SetName("INIT PATCH");
}

std::unique_ptr<CParameter> CPatch::Clone() const
{
    return std::make_unique<CPatch>(*this);
}

int CPatch::Compare(int column, const CParameter& other, uint32_t thisPosition, uint32_t otherPosition,
                    bool descending) const
{
    const CPatch* otherPatch = dynamic_cast<const CPatch*>(&other);
    if (column != kNameColumn || !otherPatch)
        return CParameter::Compare(column, other, thisPosition, otherPosition, descending);
    const int positionOrder = PositionOrder(thisPosition, otherPosition);
    return CompareTexts(GetName(), otherPatch->GetName(), descending ? -positionOrder : positionOrder);
}

std::string CPatch::GetName() const
{
    std::string name(kNameLength, ' ');
    const CParts& parts = GetParts();
    if (parts.empty() || parts[kCommon].empty())
        return name;
    const CBlock& common = parts[kCommon][0];
    for (size_t i = 0; i < name.size() && i < common.size(); ++i)
        name[i] = static_cast<char>(common[i]);
    return name;
}

void CPatch::SetName(const std::string& name)
{
    // A patch without its COMMON block gets one of the layout's size to hold the name.
    CParts& parts = GetParts();
    if (parts.empty())
        parts.resize(1);
    if (parts[kCommon].empty())
        parts[kCommon].resize(1);
    CBlock& common = parts[kCommon][0];
    if (common.size() < static_cast<size_t>(kNameLength))
        common.resize(GetBlockSize(kCommon), 0);
    for (int i = 0; i < kNameLength; ++i)
    {
        const uint8_t c = i < static_cast<int>(name.size()) ? static_cast<uint8_t>(name[i]) : ' ';
        common[i] = c >= 32 && c <= 127 ? c : ' ';
    }
}
