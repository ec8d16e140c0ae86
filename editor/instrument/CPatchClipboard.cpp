#include "editor/instrument/CPatchClipboard.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyStruct.h"
#include "model/CVeyTable.h"

#include <string>

namespace
{
enum : int32_t
{
    kCopy = 1,
    kPaste = 2,
    kInitialize = 0,
    kGroupPatch = 2,
    kGroupTone = 4,
    kGroupEffect = 6,
    kItemMfx = 0x20,
    kItemChorus = 0x24,
    kItemReverb = 0x25,
    kItemTone1 = 0x10,
    kItemTone4 = 0x13,
};

int32_t OperationOf(int32_t code) { return (code >> 16) & 0xFF; }
int32_t GroupOf(int32_t code) { return (code >> 8) & 0xFF; }
int32_t ItemOf(int32_t code) { return code & 0xFF; }

bool IsPart(int32_t group, int32_t item)
{
    if (group == kGroupTone)
        return item >= kItemTone1 && item <= kItemTone4;
    return group == kGroupEffect && (item == kItemMfx || item == kItemChorus || item == kItemReverb);
}
}

std::vector<uint8_t>* CPatchClipboard::BufferOf(int32_t group, int32_t item)
{
    return const_cast<std::vector<uint8_t>*>(static_cast<const CPatchClipboard*>(this)->BufferOf(group, item));
}

const std::vector<uint8_t>* CPatchClipboard::BufferOf(int32_t group, int32_t item) const
{
    if (!IsPart(group, item))
        return nullptr;
    if (group == kGroupTone)
        return &m_tone;
    return item == kItemMfx ? &m_mfx : item == kItemChorus ? &m_chorus : &m_reverb;
}

CVeyStruct* CPatchClipboard::TargetOf(int32_t group, int32_t item)
{
    std::string path;
    if (group == kGroupPatch)
        path = "fm.pat";
    else if (group == kGroupTone)
        path = "fm.pat.tone[" + std::to_string(item - kItemTone1) + "]";
    else if (group == kGroupEffect)
        path = item == kItemMfx ? "fm.pat.mfx" : item == kItemChorus ? "fm.pat.cho" : "fm.pat.rev";
    return CVeyBufferManager::GetInstance().FindStructOrNull(path);
}

bool CPatchClipboard::IsCommandEnabled(int32_t code) const
{
    const int32_t operation = OperationOf(code);
    const int32_t group = GroupOf(code);
    const int32_t item = ItemOf(code);
    if (operation == kInitialize)
        return group == kGroupPatch && item == 0;
    if (operation != kCopy && operation != kPaste)
        return false;
    const std::vector<uint8_t>* buffer = BufferOf(group, item);
    return buffer && (operation == kCopy || !buffer->empty());
}

bool CPatchClipboard::Execute(int32_t code)
{
    if (!IsCommandEnabled(code))
        return false;
    const int32_t operation = OperationOf(code);
    const int32_t group = GroupOf(code);
    const int32_t item = ItemOf(code);
    CVeyStruct* target = TargetOf(group, item);
    if (!target)
        return false;
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    if (operation == kInitialize)
        buffers.RevertStructToDefault(target);
    else
    {
        const std::vector<uint8_t>* data = target->GetData();
        std::vector<uint8_t>* buffer = BufferOf(group, item);
        if (!data)
            return false;
        if (operation == kCopy)
        {
            // Each copy takes the part as it is now, whatever size an earlier copy had.
            *buffer = *data;
            return true;
        }
        // A block of another size belongs to no part of this patch: nothing is changed or sent.
        if (buffer->size() != data->size() || !buffers.CopyStructValues(target, *buffer))
            return false;
    }
    target->Transmit();
    buffers.UpdateViews();
    buffers.ClearChanges();
    return true;
}

CEffectSwapper::CEffectSwapper(const CInstrumentBindings& bound)
{
    const CInstrumentBindings& b = bound;
    AddEffect(b.mfxType, b.mfx, 0, 13);
    AddEffect(b.chorusType, b.chorus, 1, 4);
    AddEffect(b.reverbType, b.reverb, 2, 3);
    CVeyResources<CVeyStringTable>& tables = CVeyResourceManager::GetInstance().GetStringTables();
    SetValuePaths(0, tables.Find("mfxValuePathTable"), b.mfx);
    SetValuePaths(1, tables.Find("chorusValuePathTable"));
    SetValuePaths(2, tables.Find("reverbValuePathTable"));
    m_effects = {{b.mfxType, b.mfx}, {b.chorusType, b.chorus}, {b.reverbType, b.reverb}};
}

bool CEffectSwapper::OnSetValues(const CVeyValueNumbers& changes)
{
    if (changes.size() != 1)
        return CVeyEffectSwapper::OnSetValues(changes);
    CVeyValue* type = changes.front().first;
    const int32_t before = type ? type->GetNumber() : 0;
    const bool taken = CVeyEffectSwapper::OnSetValues(changes);
    if (!taken || !type || type->GetNumber() == before)
        return taken;
    for (const auto& [effectType, parameters] : m_effects)
    {
        if (effectType != type || !parameters || !parameters->GetValues())
            continue;
        // The parameters changed as bytes, behind the values' backs: their views are refreshed
        // here, without listing them for sending (the struct has sent itself whole).
        CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
        CVeyValueList& list = buffers.GetChangeList();
        CVeyValueList kept;
        kept.swap(list);
        for (CVeyValue& value : *parameters->GetValues())
            list.push_back(&value);
        buffers.UpdateViews();
        list.swap(kept);
    }
    return taken;
}
