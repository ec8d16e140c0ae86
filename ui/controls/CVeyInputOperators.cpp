#include "ui/controls/CVeyInputOperators.h"

#include "model/CVeyResourceManager.h"
#include "model/CVeyTable.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/Format.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyView.h"
#include "ui/controls/VeyTipBar.h"

#include <algorithm>
#include <cmath>

namespace
{
// New index = current + steps, clipped into the value's range; committed when it differs.
void StepSingle(IVeySingleControl* single, int64_t steps)
{
    CVeyValue* value = single->GetControl()->GetValue(0);
    if (!value || !value->GetDefinition()->IsNumeric())
        return;
    const int32_t count = single->GetValueCount();
    if (count < 1)
        return;
    const int64_t wanted = std::max<int64_t>(0, std::min<int64_t>(count - 1, int64_t{value->GetIndex()} + steps));
    if (wanted != value->GetIndex())
        single->SetValue(static_cast<int32_t>(wanted));
}

bool IsArrowKey(uint32_t key)
{
    return key == UL::KEY_UP || key == UL::KEY_DOWN || key == UL::KEY_LEFT || key == UL::KEY_RIGHT;
}
}

// CVeySingleTipBarOperator

int32_t CVeySingleTipBarOperator::LoadAttributes(CAttributes& attributes)
{
    int32_t useTipBar = 1;
    const bool read =
        CVeyAttributeReader()
            .NumberIn("useTipBar", useTipBar, 0, 1, m_control->Says("Use tip bar description is invalid. : %s : %s\n"),
                      m_control->Says("Use tip bar value must be 0 or 1. : %s : %s\n"))
            .Number("offsetValue", m_offsetValue, m_control->Says("Offset value is invalid for tip bar. : %s : %s\n"))
            .Resource("stringTableRef", m_stringTable, CVeyResourceManager::GetInstance().GetStringTables(),
                      m_control->Says("Unable to find string table for tip bar. : %s : %s\n"))
            .Read(attributes);
    if (!read)
        return kFailed;
    return useTipBar == 1 ? kConfigured : kNotWanted;
}

bool CVeySingleTipBarOperator::Check()
{
    if (!m_stringTable)
        return true;
    const CVeyValue* value = m_control->GetValue(0);
    if (!value)
    {
        m_control->RequireValueRef();
        return false;
    }
    if (!value->GetDefinition()->IsNumeric())
    {
        GetTraceTextOut().Printf("Referred value type must be integer when string table is referred for tip bar. : %s\n",
                                 m_control->GetFullName().c_str());
        return false;
    }
    return true;
}

bool CVeySingleTipBarOperator::OnMouse(UL::CMouseInfo&)
{
    if (!m_control->HasFocus())
        m_control->SetFocus(true);
    return false;
}

void CVeySingleTipBarOperator::Show(bool show)
{
    IVeyTipBar& tipBar = VeyGetTipBar();
    if (!show)
    {
        tipBar.Show(false);
        return;
    }
    const CRect& rect = m_control->GetRect();
    CPoint screen;
    m_control->ClientToScreen(screen, CPoint(rect.left, rect.bottom));
    tipBar.SetPoint(screen);
    UpdateText();
    tipBar.Show(true);
}

void CVeySingleTipBarOperator::UpdateText()
{
    if (!m_control->HasFocus())
        return;
    const CVeyValue* value = m_control->GetValue(0);
    if (!value)
        return;
    std::string text;
    if (value->GetDefinition()->IsNumeric())
    {
        if (m_stringTable && m_stringTable->GetCount() > 0)
            text = *m_stringTable->GetAt(std::max(0, std::min(m_stringTable->GetCount() - 1, value->GetIndex())));
        else
            GT::Format(text, "%d", static_cast<int32_t>(static_cast<uint32_t>(value->GetNumber()) +
                                                         static_cast<uint32_t>(m_offsetValue)));
    }
    else if (value->GetKind() == CVeyValue::kText)
        text = value->GetText();
    VeyGetTipBar().SetText(text);
}

// CVeySingleWheelOperator

CVeySingleWheelOperator::CVeySingleWheelOperator(IVeySingleControl* single)
    : CVeyWheelOperator(single->GetControl()), m_single(single)
{
}

bool CVeySingleWheelOperator::OnMouseWheel(UL::CWheelInfo& info)
{
    if (info.m_reserved != 0)
        return true;
    // Whole notches only: a part of a notch is dropped, toward zero (-1.7 notches are -1). The
    // amount is bounded first, so a wild delta cannot overflow the conversion.
    int64_t steps = static_cast<int64_t>(std::trunc(std::max(-1.0e12, std::min(1.0e12, info.m_amount))));
    if (info.m_flags & UL::MOUSE_SHIFT)
        steps = std::min<int64_t>(steps * 10, GetValueCount() / 2);
    Step(static_cast<int32_t>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, steps))));
    return true;
}

int32_t CVeySingleWheelOperator::GetValueCount() const
{
    return m_single->GetValueCount();
}

void CVeySingleWheelOperator::Step(int32_t steps)
{
    StepSingle(m_single, steps);
}

// CVeySingleKeyOperator

CVeySingleKeyOperator::CVeySingleKeyOperator(IVeySingleControl* single)
    : CVeyKeyOperator(single->GetControl()), m_single(single)
{
}

bool CVeySingleKeyOperator::OnMouse(UL::CMouseInfo& info)
{
    if (info.m_kind == UL::MOUSE_DOWN || info.m_kind == UL::MOUSE_DOUBLE)
    {
        if (!m_control->HasFocus())
            m_control->SetFocus(true);
        return true;
    }
    if ((info.m_kind == UL::MOUSE_UP || info.m_kind == UL::MOUSE_MOVE) && m_control->IsCapturing())
    {
        SetRepeatPhase(kFocusPhase);
        return true;
    }
    return false;
}

bool CVeySingleKeyOperator::OnMouseWheel(UL::CWheelInfo&)
{
    if (!m_control->HasFocus())
        m_control->SetFocus(true);
    return false;
}

bool CVeySingleKeyOperator::OnKey(const UL::KeyInfo& info)
{
    if (!IsArrowKey(info.key))
        return false;
    if (info.kind == UL::KEYKIND_DOWN)
    {
        const int32_t amount = (info.modifiers & UL::KEYMOD_SHIFT) ? std::min(10, GetValueCount() / 2) : 1;
        m_step = (info.key == UL::KEY_UP || info.key == UL::KEY_RIGHT) ? amount : -amount;
        Step(m_step);
        SetRepeatPhase(kFirstRepeatPhase);
        return true;
    }
    if (info.kind == UL::KEYKIND_UP)
    {
        m_step = 0;
        SetRepeatPhase(kFocusPhase);
        return true;
    }
    return false;
}

bool CVeySingleKeyOperator::OnTimer(const GT::CTimerInfo&)
{
    if (!m_control->HasFocus())
        return false;
    if (m_step == 0)
    {
        // Four seconds without mouse or key action: the control lets the focus go by itself.
        if (!m_control->IsCapturing() && IsRepeatDue())
            m_control->SetFocus(false);
        return false;
    }
    if (IsRepeatDue())
    {
        Step(m_step);
        SetRepeatPhase(kRepeatPhase);
    }
    return false;
}

void CVeySingleKeyOperator::OnFocus(bool focus)
{
    m_step = 0;
    SetRepeatPhase(focus ? kFocusPhase : kStoppedPhase);
}

int32_t CVeySingleKeyOperator::GetValueCount() const
{
    return m_single->GetValueCount();
}

void CVeySingleKeyOperator::Step(int32_t step)
{
    StepSingle(m_single, step);
}

void CVeySingleKeyOperator::SetRepeatPhase(int32_t phase)
{
    m_phase = phase;
    switch (phase)
    {
    case kFocusPhase: m_timeouts.Start(0, kFocusTimeout); break;
    case kFirstRepeatPhase: m_timeouts.Start(0, kFirstRepeatDelay); break;
    case kRepeatPhase: m_timeouts.Start(0, kRepeatPeriod); break;
    default:
        m_phase = kStoppedPhase;
        m_timeouts.Erase(0);
        break;
    }
}

bool CVeySingleKeyOperator::IsRepeatDue() const
{
    return m_phase != kStoppedPhase && m_timeouts.IsExpired(0);
}
