#include "editor/controls/CInstrumentSelectControls.h"

#include "editor/entities/CEntitySelector.h"
#include "editor/entities/InstrumentEntities.h"
#include "model/CVeyAttributeReader.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/Format.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"

#include <algorithm>

void CommitChanges()
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.Flush();
    buffers.UpdateViews();
    buffers.ClearChanges();
}

namespace
{
CVeyEntityManager& Entities()
{
    CInstrumentEntities& entities = CInstrumentEntities::GetInstance();
    entities.EnsureSetUp();
    return entities.GetManager();
}

int32_t NumberOf(const CVeyValue* value, int32_t fallback = 0)
{
    return value ? value->GetNumber() : fallback;
}

// Entities of the bank that holds the key's waves.
int32_t WaveCount(const CWaveGroupKey& key)
{
    const CVeyEntityId any = key.ToEntityId(0);
    return Entities().GetEntityCount(CVeyEntityId(any.GetKey1(), any.GetKey2(), any.GetKey3(), CVeyEntityId::kWildcard));
}

// Appends the references named by `names` in that order; a missing one stays empty, so the
// count stays fixed and creation reports the missing path.
bool ReadRefs(CVeyView& view, CVeyView::CAttributes& attributes, std::initializer_list<const char*> names)
{
    std::vector<std::string> paths(names.size());
    CVeyAttributeReader reader;
    size_t i = 0;
    for (const char* name : names)
        reader.Text(name, paths[i++]);
    if (!reader.Read(attributes))
        return false;
    for (const std::string& path : paths)
        view.GetValueRefs().emplace_back(path);
    return true;
}

bool CheckRefCount(const CVeyView& view, const char* what)
{
    if (view.GetValueRefCount() == 4)
        return true;
    GetTraceTextOut().Printf("There is no value reference for %s %s.\n", what, view.GetFullName().c_str());
    return false;
}

bool CreatePop(CVeyPopControl& control, CVeyView* parent)
{
    if (control.CVeyPopControl::Create(parent))
        return true;
    GetTraceTextOut().Printf("Unable to create combo control %s. \n", control.GetName().c_str());
    return false;
}
}

// CMfxSelectCombo

const std::string& CMfxSelectCombo::GetTypeName() const
{
    static const std::string name("norvikZMfxSelectCombo");
    return name;
}

void CMfxSelectCombo::UpdateFromValue()
{
    const CVeyValue* value = GetValue(0);
    if (!value)
        return;
    const int32_t number = value->GetNumber();
    CVeyEntityManager& manager = Entities();
    const CVeyEntityId id(kMfxTypeEntity, 1, 0, number);
    CVeyEntityManager::IBank* bank = manager.FindBank(id);
    if (!bank || bank->IndexOfEntityId(id) < 0)
        return;
    std::string text;
    GT::Format(text, "%02d %s", number, bank->GetInformation(bank->IndexOfEntityId(id)).GetName().c_str());
    if (text != m_text)
    {
        m_text = text;
        Invalidate(&m_textRect);
    }
}

void CMfxSelectCombo::OpenPopup()
{
    CEntitySelector::TrackMfxTypeMenu(GetValue(0));
    ReleaseButton();
    SetFocus(false);
}

// CWaveGroupSelectControl

const std::string& CWaveGroupSelectControl::GetTypeName() const
{
    static const std::string name("q9eWaveGroupSelect");
    return name;
}

bool CWaveGroupSelectControl::LoadAttributes(CAttributes& attributes)
{
    return CVeyPopControl::LoadAttributes(attributes) &&
           ReadRefs(*this, attributes, {"waveGroupTypeValueRef", "waveGroupIDValueRef", "waveNumberLValueRef", "waveNumberRValueRef"});
}

bool CWaveGroupSelectControl::Create(CVeyView* parent)
{
    return CheckRefCount(*this, "wave group select control") && CreatePop(*this, parent);
}

void CWaveGroupSelectControl::UpdateFromValue()
{
    if (m_text != "INTERNAL")
    {
        m_text = "INTERNAL";
        Invalidate(&m_textRect);
    }
}

std::unique_ptr<CVeyWheelOperator> CWaveGroupSelectControl::CreateWheelOperator()
{
    return std::make_unique<CWaveGroupSelectWheelOperator>(this);
}

void CWaveGroupSelectControl::OpenPopup()
{
    ReleaseButton();
    SetFocus(false);
}

int32_t CWaveGroupSelectControl::GetGroupIndex() const
{
    return CWaveGroupKey(NumberOf(GetValue(kGroupTypeRef)), NumberOf(GetValue(kGroupIdRef))).GetThird();
}

void CWaveGroupSelectControl::SetValue(int32_t group)
{
    if (group != 0)
        return;
    const CWaveGroupKey key = CWaveGroupKey::FromIndex(0);
    const int32_t count = WaveCount(key);
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    if (CVeyValue* type = GetValue(kGroupTypeRef))
        buffers.SetValue(type, key.GetType());
    if (CVeyValue* id = GetValue(kGroupIdRef))
        buffers.SetValue(id, key.GetId());
    // Without a wave bank there is no range to bring the waves into: they stay.
    for (int32_t ref : {int32_t(kWaveLeftRef), int32_t(kWaveRightRef)})
    {
        CVeyValue* wave = GetValue(ref);
        if (!wave || count < 1)
            continue;
        const int32_t index = wave->GetIndex();
        if (index != 0 && (index < 0 || index >= count))
            buffers.SetValueByIndex(wave, std::clamp(index, 0, count - 1));
    }
    CommitChanges();
}

void CWaveGroupSelectWheelOperator::Step(int32_t steps)
{
    const int32_t current = m_group->GetGroupIndex();
    const int32_t wanted = int32_t(std::clamp<int64_t>(int64_t(current) + steps, 0, 0));
    if (wanted != current)
        m_group->SetValue(wanted);
}

// CWaveIndexSelectControl

const std::string& CWaveIndexSelectControl::GetTypeName() const
{
    static const std::string name("q9eWaveIndexSelect");
    return name;
}

bool CWaveIndexSelectControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyPopControl::LoadAttributes(attributes))
        return false;
    // The wave itself is the "valueRef"; the three others follow it in this order.
    if (GetValueRefCount() == 0)
        GetValueRefs().emplace_back("");
    if (!ReadRefs(*this, attributes, {"waveGroupTypeValueRef", "waveGroupIDValueRef", "complementValueRef"}))
        return false;
    return CVeyAttributeReader()
        .Take("complementDirection",
              [this](const std::string& text) {
                  if (GT::StringToLong(text, &m_complementDirection))
                      return true;
                  GetTraceTextOut().Printf("Complement direction is invalid for wave index select. : %s :%s\n",
                                           GetFullName().c_str(), text.c_str());
                  return false;
              })
        .Read(attributes);
}

bool CWaveIndexSelectControl::Create(CVeyView* parent)
{
    return CheckRefCount(*this, "wave index select control") && CreatePop(*this, parent);
}

CWaveGroupKey CWaveIndexSelectControl::GetKey() const
{
    return CWaveGroupKey(NumberOf(GetValue(kGroupTypeRef), -1), NumberOf(GetValue(kGroupIdRef), -1));
}

void CWaveIndexSelectControl::UpdateFromValue()
{
    const CVeyValue* wave = GetValue(kWaveRef);
    if (!wave)
        return;
    const CWaveGroupKey key = GetKey();
    const CVeyEntityId id = key.ToEntityId(wave->GetNumber());
    CVeyEntityManager::IBank* bank = Entities().FindBank(id);
    const int32_t index = bank ? bank->IndexOfEntityId(id) : -1;
    const std::string name = index >= 0 ? bank->GetInformation(index).GetName() : std::string();
    std::string text;
    GT::Format(text, "%04d %s", id.GetNumber(), name.empty() ? "------------" : name.c_str());
    if (text != m_text)
    {
        m_text = text;
        Invalidate(&m_textRect);
    }
}

void CWaveIndexSelectControl::OpenPopup()
{
    const CVeyEntityId current = GetKey().ToEntityId(NumberOf(GetValue(kWaveRef), -1));
    if (current.HasNoNegativeField())
    {
        const CVeyEntityId chosen = CEntitySelector::TrackWaveMenu(current, -1);
        const int32_t wave = chosen.GetNumber();
        if (wave >= 0)
        {
            // A wave of the internal group moves the tone into that group first.
            CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
            CVeyValue* groupId = GetValue(kGroupIdRef);
            CVeyValue* groupType = GetValue(kGroupTypeRef);
            if (wave > 0 && groupId && groupId->GetNumber() != CWaveGroupKey::kInternalId)
                buffers.SetValue(groupId, CWaveGroupKey::kInternalId);
            if (wave > 0 && groupType && groupType->GetNumber() != CWaveGroupKey::kInternalType)
                buffers.SetValue(groupType, CWaveGroupKey::kInternalType);
            if (CVeyValue* value = GetValue(kWaveRef))
                buffers.SetValue(value, wave);
            CommitChanges();
        }
    }
    ReleaseButton();
    SetFocus(false);
}

int32_t CWaveIndexSelectControl::GetValueCount() const
{
    return std::min(CVeyPopControl::GetValueCount(), WaveCount(GetKey()));
}

void CWaveIndexSelectControl::SetValue(int32_t index)
{
    const int32_t count = WaveCount(GetKey());
    if (count < 1)
        return;
    CVeyPopControl::SetValue(std::clamp(index, 0, count - 1));
}

bool CWaveIndexSelectControl::OnMouse(UL::CMouseInfo& info)
{
    if (CVeyPopControl::OnMouse(info))
        return true;
    if (!IsCapturing() && !m_rect.PtInRect(info.GetPoint()))
        return false;
    if (info.m_kind != UL::MOUSE_DOUBLE || !m_textRect.PtInRect(info.GetPoint()))
        return false;
    const int32_t count = WaveCount(GetKey());
    CVeyValue* wave = GetValue(kWaveRef);
    if (count < 1 || !wave)
        return false;
    const int32_t complement = NumberOf(GetValue(kComplementRef));
    int32_t index = 0;
    if (complement != 0 && count > 1)
        index = int32_t(std::clamp<int64_t>(int64_t(complement) - m_complementDirection, 1, count - 1));
    CVeyBufferManager::GetInstance().SetValueByIndex(wave, index);
    CommitChanges();
    return true;
}
