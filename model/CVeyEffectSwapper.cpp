#include "model/CVeyEffectSwapper.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyStruct.h"
#include "model/CVeyTable.h"
#include "model/CVeyValue.h"

#include <algorithm>

namespace
{
// A table path may be written from the root, from the parameter struct's own name, or relative
// to the struct; only values of the struct itself count.
CVeyValue* FindParameterValue(CVeyStruct& parameterStruct, const std::string& path)
{
    CVeyValue* value = nullptr;
    if (!parameterStruct.FindValue(path, value) && !parameterStruct.FindValue(parameterStruct.GetName() + "." + path, value))
        CVeyBufferManager::GetInstance().FindValue(path, value);
    return value != nullptr && value->GetParent() == &parameterStruct ? value : nullptr;
}
}

bool CVeyEffectSwapper::AddEffect(CVeyValue* typeValue, CVeyStruct* parameterStruct, int32_t slot, int32_t firstByte)
{
    if (typeValue == nullptr || parameterStruct == nullptr || parameterStruct->GetData() == nullptr || firstByte < 0)
        return false;
    const size_t end = parameterStruct->GetData()->size();
    if (size_t(firstByte) > end)
        return false;
    m_units[typeValue] = CUnit{typeValue, parameterStruct, slot, size_t(firstByte), end};
    return true;
}

CVeyEffectSwapper::CUnit* CVeyEffectSwapper::FindUnit(int32_t slot, const CVeyStruct* parameterStruct)
{
    for (auto& entry : m_units)
    {
        CUnit& unit = entry.second;
        if (parameterStruct != nullptr ? unit.parameterStruct == parameterStruct : unit.slot == slot)
            return &unit;
    }
    return nullptr;
}

uint8_t* CVeyEffectSwapper::GetRange(const CUnit& unit) const
{
    std::vector<uint8_t>* data = unit.parameterStruct->GetData();
    if (data == nullptr || unit.end > data->size() || unit.first > unit.end)
        return nullptr;
    return data->data() + unit.first;
}

CVeyEffectSwapper::CBlock* CVeyEffectSwapper::FindBlock(const CUnit& unit, int32_t type)
{
    auto blocks = m_blocks.find(unit.slot);
    if (type < 0 || blocks == m_blocks.end() || size_t(type) >= blocks->second.size())
        return nullptr;
    CBlock& block = blocks->second[size_t(type)];
    return block.size() == unit.end - unit.first ? &block : nullptr;
}

size_t CVeyEffectSwapper::GetBlockCount(int32_t slot) const
{
    const auto blocks = m_blocks.find(slot);
    return blocks == m_blocks.end() ? 0 : blocks->second.size();
}

bool CVeyEffectSwapper::SetValuePaths(int32_t slot, const CVeyStringTable* table, CVeyStruct* parameterStruct)
{
    CUnit* unit = FindUnit(slot, parameterStruct);
    if (unit == nullptr || table == nullptr)
        return false;
    uint8_t* range = GetRange(*unit);
    if (range == nullptr)
        return false;

    std::vector<CBlock>& blocks = m_blocks[unit->slot];
    blocks.clear();
    for (const std::string& path : table->GetElements())
    {
        if (path == kDelimiter)
        {
            blocks.emplace_back(range, range + (unit->end - unit->first));
            continue;
        }
        // Set directly: building the blocks sends nothing and lists nothing as changed.
        if (CVeyValue* value = FindParameterValue(*unit->parameterStruct, path))
            value->RevertToDefault();
    }

    // A current type without a block (say, one the instrument sent) keeps the bytes it has.
    if (const CBlock* current = FindBlock(*unit, unit->typeValue->GetNumber()))
        std::copy(current->begin(), current->end(), range);
    return true;
}

bool CVeyEffectSwapper::OnSetValues(const CVeyValueNumbers& changes)
{
    if (changes.size() != 1)
        return false;
    CVeyValue* typeValue = changes.front().first;
    const int32_t requested = changes.front().second;
    const auto found = m_units.find(typeValue);
    if (found == m_units.end())
        return false;
    const CUnit& unit = found->second;
    const int32_t current = typeValue->GetNumber();
    if (requested == current)
        return true;

    uint8_t* range = GetRange(unit);
    CBlock* next = FindBlock(unit, requested);
    // A type without a block cannot be restored: the type stays as it is.
    if (range == nullptr || next == nullptr)
        return true;
    // The current type may have no block (a type the table does not cover came from the
    // instrument or a file); its bytes are then not kept, but the user can still leave it.
    if (CBlock* kept = FindBlock(unit, current))
        std::copy(range, range + kept->size(), kept->begin());
    std::copy(next->begin(), next->end(), range);

    typeValue->SetNumber(requested);
    CVeyBufferManager::GetInstance().MarkChanged(typeValue);
    unit.parameterStruct->Transmit();
    return true;
}
