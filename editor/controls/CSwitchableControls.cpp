#include "editor/controls/CSwitchableControls.h"

#include "editor/controls/CInstrumentSelectControls.h"
#include "model/CVeyAttributeReader.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyTable.h"
#include "model/CVeyTextWriter.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/Format.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"

#include <algorithm>

namespace
{
bool ReadSwitchedRefs(CVeyView& view, CVeyView::CAttributes& attributes)
{
    std::string value0;
    std::string value1;
    if (!CVeyAttributeReader().Text("value0Ref", value0).Text("value1Ref", value1).Read(attributes))
        return false;
    // The switch is reference 0 even when the script forgot it: creation then reports the count.
    if (view.GetValueRefCount() == 0)
        view.GetValueRefs().emplace_back("");
    view.GetValueRefs().emplace_back(value0);
    view.GetValueRefs().emplace_back(value1);
    return true;
}

// The switch's index clipped to 0 .. 1 picks reference 1 or 2.
int32_t SwitchedRef(const CVeyView& view)
{
    const CVeyValue* key = view.GetValueRefs().empty() ? nullptr : view.GetValueRefs()[0].GetValue();
    return 1 + std::clamp(key ? key->GetIndex() : 0, 0, 1);
}

bool CheckSwitchedRefs(const CVeyView& view, bool needsRange)
{
    const std::string full = view.GetFullName();
    if (view.GetValueRefCount() != 3)
    {
        GetTraceTextOut().Printf("Value references are necessary for switchable slider. : %s.\n", full.c_str());
        return false;
    }
    for (const CVeyValueRef& ref : view.GetValueRefs())
    {
        const CVeyValue* value = ref.GetValue();
        if (!value || !value->GetDefinition()->IsNumeric())
        {
            GetTraceTextOut().Printf("Referred value must be integer for switchable slider. : %s\n", full.c_str());
            return false;
        }
        if (needsRange && value->GetDefinition()->GetValueCount() < 2)
        {
            GetTraceTextOut().Printf("Referred value range must be greater than 1 for switchable slider. : %s\n", full.c_str());
            return false;
        }
    }
    return true;
}
}

// CSwitchableSliderControl

const std::string& CSwitchableSliderControl::GetTypeName() const
{
    static const std::string name("norvikZSwSlider");
    return name;
}

bool CSwitchableSliderControl::LoadAttributes(CAttributes& attributes)
{
    return CVeySliderControl::LoadAttributes(attributes) && ReadSwitchedRefs(*this, attributes);
}

bool CSwitchableSliderControl::Create(CVeyView* parent)
{
    if (!CVeySliderControl::Create(parent))
    {
        GetTraceTextOut().Printf("Unable to create switchable slider. : %s\n", GetFullName().c_str());
        return false;
    }
    return CheckSwitchedRefs(*this, true);
}

CVeyValue* CSwitchableSliderControl::GetValue(int32_t) const
{
    return CVeyView::GetValue(SwitchedRef(*this));
}

// CSwitchableStaticTextPictureControl

const std::string& CSwitchableStaticTextPictureControl::GetTypeName() const
{
    static const std::string name("norvikZSwStaticTextPicture");
    return name;
}

bool CSwitchableStaticTextPictureControl::LoadAttributes(CAttributes& attributes)
{
    return CVeyStaticTextPictureControl::LoadAttributes(attributes) && ReadSwitchedRefs(*this, attributes);
}

bool CSwitchableStaticTextPictureControl::Create(CVeyView* parent)
{
    if (!CVeyStaticTextPictureControl::Create(parent))
    {
        GetTraceTextOut().Printf("Unable to create static text control. : %s\n", GetFullName().c_str());
        return false;
    }
    return CheckSwitchedRefs(*this, false);
}

void CSwitchableStaticTextPictureControl::UpdateFromValue()
{
    const int32_t ref = SwitchedRef(*this);
    const CVeyValue* value = CVeyView::GetValue(ref);
    if (!value)
        return;
    std::string text;
    int32_t picture = -1;
    if (ref == 1)
    {
        if (!m_stringTable)
            GT::Format(text, "%d%s", value->GetNumber() + m_offsetValue, m_unit.c_str());
        else if (m_stringTable->GetCount() > 0)
            text = *m_stringTable->GetAt(std::clamp(value->GetIndex(), 0, m_stringTable->GetCount() - 1));
    }
    else if (m_bitmap)
        picture = std::clamp(value->GetIndex(), 0, std::max(0, m_bitmap->GetStateCount() - 1));
    if (text != m_text || picture != m_pictureState)
    {
        m_text = text;
        m_pictureState = picture;
        Invalidate(nullptr);
    }
}

// CToneSelectButton

const std::string& CToneSelectButton::GetTypeName() const
{
    static const std::string name("qdToneSelectButton");
    return name;
}

bool CToneSelectButton::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyButton::LoadAttributes(attributes))
        return false;
    std::string active;
    std::string state;
    const std::string full = GetFullName();
    const bool read =
        CVeyAttributeReader()
            .Text("activeValueRef", active)
            .Text("stateValueRef", state)
            .Take("id",
                  [this, &full](const std::string& text) {
                      int32_t id = 0;
                      if (!GT::StringToLong(text, &id))
                      {
                          GetTraceTextOut().Printf("Tone select button %s ID is invalid. : %s\n", full.c_str(), text.c_str());
                          return false;
                      }
                      if (id < 0 || id > 3)
                      {
                          GetTraceTextOut().Printf("Tone select button %s ID must be 0 through 3. : %s\n", full.c_str(), text.c_str());
                          return false;
                      }
                      m_toneId = id;
                      return true;
                  })
            .Read(attributes);
    if (!read)
        return false;
    // The tone references come first: the enable condition's, if any, follow them.
    m_valueRefs.insert(m_valueRefs.begin(), {CVeyValueRef(active), CVeyValueRef(state)});
    m_scriptRefCount = 2;
    return true;
}

bool CToneSelectButton::Create(CVeyView* parent)
{
    if (!CVeyButton::Create(parent))
        return false;
    if (!GetValue(kActiveRef) || !GetValue(kStateRef))
    {
        GetTraceTextOut().Printf("There is no value reference for tone select button. : %s\n", GetFullName().c_str());
        return false;
    }
    return true;
}

void CToneSelectButton::OnPress(UL::CMouseInfo& info)
{
    CVeyButton::OnPress(info);
    const bool shift = (info.m_flags & UL::MOUSE_SHIFT) != 0;
    const bool ctrl = (info.m_flags & UL::MOUSE_CTRL) != 0;
    m_clickMode = shift && !ctrl ? kShift : ctrl && !shift ? kCtrl : kPlain;
}

void CToneSelectButton::OnRelease(UL::CMouseInfo& info)
{
    CVeyButton::OnRelease(info);
    CVeyValue* activeValue = GetValue(kActiveRef);
    CVeyValue* stateValue = GetValue(kStateRef);
    if (!m_inside || !activeValue || !stateValue)
        return;
    int32_t active = activeValue->GetNumber();
    int32_t state = stateValue->GetNumber();
    const int32_t bit = 1 << m_toneId;
    switch (m_clickMode)
    {
    case kShift:
        if (m_toneId != active)
            state ^= bit;
        break;
    case kCtrl:
        active = m_toneId;
        state = 15;
        break;
    default:
        active = m_toneId;
        state = bit;
        break;
    }
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.SetValue(stateValue, state);
    buffers.SetValue(activeValue, active);
    CommitChanges();
}

void CToneSelectButton::UpdateFromValue()
{
    const CVeyValue* activeValue = GetValue(kActiveRef);
    const CVeyValue* stateValue = GetValue(kStateRef);
    int32_t base = 0;
    if (stateValue && (stateValue->GetNumber() & (1 << m_toneId)) != 0)
        base = activeValue && activeValue->GetNumber() == m_toneId ? 4 : 2;
    SetDisplayState(base + (GetFeedbackState() ? 1 : 0));
}
