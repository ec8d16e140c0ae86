#include "ui/controls/CVeyButtons.h"

#include "midi/framework/CVeyFunctorRegistry.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyExpression.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyTextWriter.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/Strings.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <algorithm>

namespace
{
void Trace(const char* format, const std::string& name)
{
    GetTraceTextOut().Printf(format, name.c_str());
}

void Trace(const char* format, const std::string& name, const std::string& detail)
{
    GetTraceTextOut().Printf(format, name.c_str(), detail.c_str());
}
}

// CVeyButton

CVeyButton::~CVeyButton() = default;

bool CVeyButton::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    m_scriptRefCount = m_valueRefs.size();
    CVeyResourceManager& resources = CVeyResourceManager::GetInstance();
    CVeyAttributeReader reader;
    reader
        .Resource("bitmapRef", m_bitmap, resources.GetBitmaps(), Says("Unable to find bitmap for button. : %s : %s\n"))
        .Take("textWriterRef",
              [this, &resources](const std::string& value) {
                  CVeyTextWriter* writer = resources.GetTextWriters().Find(value);
                  if (writer)
                      m_textWriters.push_back(writer);
                  else
                      Says("Unable to find text writer for button. : %s : %s.\n")(value);
                  return writer != nullptr;
              })
        .EscapedText("label", m_label)
        .Flag("flatLabel", m_flatLabel, Says("Flat label is invalid for button. : %s\n"))
        .Text("enableCondition", m_enableCondition)
        .Number("feedback", m_feedback, Says("Feedback is invalid for button. : %s\n"));
    if (!reader.Read(attributes))
        return false;
    if (!m_bitmap)
    {
        Trace("There is no bitmap reference for button. : %s\n", GetFullName());
        return false;
    }
    if (!RegisterExpression(m_enableCondition))
    {
        Trace("Unable to interpret enable condition for button. : %s : %s\n", GetFullName(), m_enableCondition);
        return false;
    }
    return true;
}

bool CVeyButton::RegisterExpression(const std::string& expression)
{
    // The script's own references are resolved at creation; the expression may name them already,
    // so they are looked up here too (quietly: Create reports a reference that names nothing).
    for (CVeyValueRef& ref : m_valueRefs)
        if (!ref.GetValue())
            ref.Resolve();
    int32_t result = 0;
    return CVeyExpression::EvaluateLenient(expression, m_valueRefs, result);
}

bool CVeyButton::Create(CVeyView* parent)
{
    if (!CVeyControl::Create(parent))
    {
        Trace("Unable to create button. : %s\n", GetFullName());
        return false;
    }
    if (!m_bitmap)
    {
        Trace("There is no bitmap reference for button. : %s\n", GetFullName());
        return false;
    }
    if (!HoldBitmap(m_bitmap, "button"))
        return false;
    CSize size;
    m_bitmap->GetStateSize(size, 0);
    m_rect.right = m_rect.left + size.cx;
    m_rect.bottom = m_rect.top + size.cy;
    return true;
}

void CVeyButton::SetRect(const RECT& rect)
{
    const int32_t width = m_rect.Width();
    const int32_t height = m_rect.Height();
    m_rect.SetRect(rect.left, rect.top, rect.left + width, rect.top + height);
}

int32_t CVeyButton::GetStateCount() const
{
    return m_bitmap ? m_bitmap->GetStateCount() : 0;
}

CRect CVeyButton::GetLabelRect() const
{
    CRect rect = m_rect;
    if ((m_displayState & 1) != 0 && !m_flatLabel)
        rect.OffsetRect(1, 1);
    return rect;
}

CVeyTextWriter* CVeyButton::GetLabelWriter() const
{
    const int32_t count = static_cast<int32_t>(m_textWriters.size());
    if (count == 0)
        return nullptr;
    const int32_t states = GetStateCount();
    int32_t index = 0;
    if (count < states / 2)
        index = 0;
    else if (count >= states)
        index = m_displayState;
    else
        index = m_displayState / 2;
    // The display state is kept below the state count, but a bitmap without states leaves it at 0.
    index = std::clamp(index, 0, count - 1);
    return m_textWriters[static_cast<size_t>(index)];
}

void CVeyButton::Draw(const UL::CDrawInfo& info)
{
    if (!info.IsVisible(m_rect))
        return;
    if (m_bitmap)
        m_bitmap->DrawState(info, m_rect.TopLeft(), m_displayState);
    if (CVeyTextWriter* writer = GetLabelWriter())
        writer->Draw(info, GetLabelRect(), GetLabel());
}

void CVeyButton::StepEnterLeave(bool wasInside, UL::CMouseInfo& info)
{
    if (wasInside && !m_inside)
        OnLeave(info);
    else if (!wasInside && m_inside)
        OnEnter(info);
}

void CVeyButton::Disengage()
{
    m_inside = false;
    if (m_capture)
        SetCapture(false);
    SetFocus(false);
}

bool CVeyButton::OnMouse(UL::CMouseInfo& info)
{
    if (CVeyControl::OnMouse(info))
        return true;
    const uint32_t kind = info.m_kind;
    if (!IsEnabled())
    {
        // A button disabled while held (its condition changed under it) still lets go of the
        // mouse, or the window would keep the capture and other buttons lose their hover look.
        if (m_capture && kind == UL::MOUSE_UP)
        {
            Disengage();
            Invalidate(nullptr);
            return true;
        }
        return false;
    }
    const bool wasInside = m_inside;
    const CPoint point = info.GetPoint();
    m_inside = point.x >= m_rect.left && point.x < m_rect.right && point.y >= m_rect.top && point.y < m_rect.bottom;
    if (kind == UL::MOUSE_DOWN || kind == UL::MOUSE_DOUBLE)
    {
        if (m_capture || !m_inside)
            return false;
        SetCapture(true);
        SetFocus(true);
        StepEnterLeave(wasInside, info);
        OnPress(info);
        return true;
    }
    if (kind == UL::MOUSE_UP)
    {
        if (!m_capture)
            return false;
        SetCapture(false);
        SetFocus(false);
        StepEnterLeave(wasInside, info);
        OnRelease(info);
        return true;
    }
    if (kind == UL::MOUSE_MOVE)
    {
        if (!m_capture)
            return false;
        StepEnterLeave(wasInside, info);
        return true;
    }
    return false;
}

bool CVeyButton::OnTimer(const GT::CTimerInfo& info)
{
    const bool used = CVeyControl::OnTimer(info);
    if (m_feedback == HOVER && IsEnabled())
        UpdateFeedback();
    return used;
}

CPoint CVeyButton::GetCursorScreenPoint() const
{
    return UL::GetCursorPosition();
}

bool CVeyButton::GetFeedbackState() const
{
    if (m_feedback == PRESSED_WHILE_HELD)
        return m_capture && m_inside;
    if (m_feedback != HOVER)
        return false;
    CPoint client;
    CVeyView* root = const_cast<CVeyButton*>(this)->GetRootView();
    root->ScreenToClient(client, GetCursorScreenPoint());
    CVeyView* capturing = CVeyViewPointers::GetInstance().capturing;
    return m_rect.PtInRect(client) && root->IsOpen() && (!capturing || capturing == this);
}

void CVeyButton::SetDisplayState(int32_t state)
{
    state = std::clamp(state, 0, std::max(0, GetStateCount() - 1));
    if (state == m_displayState)
        return;
    m_displayState = state;
    Invalidate(nullptr);
}

void CVeyButton::UpdateFeedback()
{
    SetDisplayState(m_displayState / 2 * 2 + (GetFeedbackState() ? 1 : 0));
}

bool CVeyButton::IsConditionTrue()
{
    int32_t result = 0;
    return CVeyExpression::EvaluateStrict(m_enableCondition, m_valueRefs, result) && result != 0;
}

void CVeyButton::OnPress(UL::CMouseInfo&) { UpdateFeedback(); }
void CVeyButton::OnRelease(UL::CMouseInfo&) { UpdateFeedback(); }
void CVeyButton::OnEnter(UL::CMouseInfo&) { UpdateFeedback(); }
void CVeyButton::OnLeave(UL::CMouseInfo&) { UpdateFeedback(); }
bool CVeyButton::IsEnabled() const { return true; }
const std::string& CVeyButton::GetLabel() const { return m_label; }

// CVeyLatchButton

const std::string& CVeyLatchButton::GetTypeName() const
{
    static const std::string name("latchButton");
    return name;
}

bool CVeyLatchButton::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyButton::LoadAttributes(attributes))
        return false;
    CVeyAttributeReader().Text("onValue", m_onValue).Text("offValue", m_offValue).Read(attributes);
    // Only a "valueRef" binds the button: a value that the condition names is no bound value.
    if (m_scriptRefCount == 0)
    {
        Trace("There is no value reference for latch button. : %s\n", GetFullName());
        return false;
    }
    if (!RegisterExpression(m_onValue))
    {
        Trace("Unable to interpret on value for latch button. : %s : %s\n", GetFullName(), m_onValue);
        return false;
    }
    if (!RegisterExpression(m_offValue))
    {
        Trace("Unable to interpret off value for latch button. : %s : %s\n", GetFullName(), m_offValue);
        return false;
    }
    return true;
}

bool CVeyLatchButton::Create(CVeyView* parent)
{
    if (!CVeyButton::Create(parent))
    {
        Trace("Unable to create latch button. : %s\n", GetFullName());
        return false;
    }
    const int32_t required = m_enableCondition == "1" ? 4 : 5;
    if (GetStateCount() < required)
    {
        GetTraceTextOut().Printf("Latch button bitmap must have %d states. : %s\n", required, GetFullName().c_str());
        return false;
    }
    const CVeyValue* value = GetValue(-1);
    if (!value || !value->GetDefinition()->IsNumeric())
    {
        Trace("Referred value type must be integer for latch button. : %s\n", GetFullName());
        return false;
    }
    return true;
}

void CVeyLatchButton::UpdateFromValue()
{
    if (!IsConditionTrue())
    {
        SetDisplayState(4);
        return;
    }
    const CVeyValue* value = GetValue(-1);
    int32_t on = 0;
    const bool isOn = value && CVeyExpression::EvaluateStrict(m_onValue, m_valueRefs, on) && value->GetNumber() == on;
    SetDisplayState((isOn ? 2 : 0) + (GetFeedbackState() ? 1 : 0));
}

bool CVeyLatchButton::EvaluateOnOff(int32_t& on, int32_t& off)
{
    return CVeyExpression::EvaluateStrict(m_onValue, m_valueRefs, on) &&
           CVeyExpression::EvaluateStrict(m_offValue, m_valueRefs, off);
}

bool CVeyLatchButton::IsEnabled() const
{
    return m_displayState < 4;
}

void CVeyLatchButton::OnRelease(UL::CMouseInfo& info)
{
    CVeyButton::OnRelease(info);
    CVeyValue* value = GetValue(-1);
    if (!m_inside || !value)
        return;
    // A value that cannot be worked out (a division by zero in the script's expression) changes
    // nothing rather than sending a made-up number.
    int32_t on = 0;
    int32_t off = 0;
    if (!EvaluateOnOff(on, off))
        return;
    const CVeyValueDefinition* definition = value->GetDefinition();
    const int32_t number = value->GetNumber() == on ? off : on;
    const int32_t clipped = std::clamp(number, std::min(definition->GetMin(), definition->GetMax()),
                                       std::max(definition->GetMin(), definition->GetMax()));
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.SetValue(value, clipped);
    manager.Flush();
    manager.UpdateViews();
    manager.ClearChanges();
}

// CVeyUnlatchButton

const std::string& CVeyUnlatchButton::GetTypeName() const
{
    static const std::string name("unlatchButton");
    return name;
}

bool CVeyUnlatchButton::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyButton::LoadAttributes(attributes))
        return false;
    return CVeyAttributeReader()
        .Text("function", m_function)
        .Text("arguments", m_arguments)
        .Take("action",
              [this](const std::string& value) {
                  // Anything but a number is no action.
                  int32_t action = 0;
                  m_action = GT::StringToLong(value, &action) ? action : 0;
                  return true;
              })
        .Read(attributes);
}

bool CVeyUnlatchButton::Create(CVeyView* parent)
{
    if (!CVeyButton::Create(parent))
    {
        Trace("Unable to create unlatch button. : %s\n", GetFullName());
        return false;
    }
    const int32_t required = m_enableCondition == "1" ? 2 : 3;
    if (GetStateCount() < required)
    {
        GetTraceTextOut().Printf("Unlatch button bitmap must have %d states. : %s\n", required, GetFullName().c_str());
        return false;
    }
    return true;
}

void CVeyUnlatchButton::UpdateFromValue()
{
    if (!IsConditionTrue())
        SetDisplayState(2);
    else
        SetDisplayState(GetFeedbackState() ? 1 : 0);
}

bool CVeyUnlatchButton::IsEnabled() const
{
    return m_displayState < 2;
}

void CVeyUnlatchButton::OnPress(UL::CMouseInfo& info)
{
    CVeyButton::OnPress(info);
    if (m_action != 0)
        return;
    CVeyFunctorRegistry::GetInstance().Invoke(m_function, m_arguments, CVeyFunctorRegistry::kRunNow);
    // Springs back at once: the later button-up finds no capture and goes to others.
    Disengage();
    OnLeave(info);
    OnRelease(info);
    Invalidate(nullptr);
}

void CVeyUnlatchButton::OnRelease(UL::CMouseInfo& info)
{
    CVeyButton::OnRelease(info);
    if (m_action != 0 && m_inside)
        CVeyFunctorRegistry::GetInstance().Invoke(m_function, m_arguments, 0);
}

// CVeyIncrementButton

const std::string& CVeyIncrementButton::GetTypeName() const
{
    static const std::string name("incrementButton");
    return name;
}

bool CVeyIncrementButton::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyButton::LoadAttributes(attributes))
        return false;
    return CVeyAttributeReader()
        .Number("deltaValue", m_delta, Says("Increment button delta value is invalid. : %s : %s\n"))
        .Read(attributes);
}

bool CVeyIncrementButton::Create(CVeyView* parent)
{
    if (!CVeyButton::Create(parent))
        return false;
    // Step works on the bound value's index, so the button needs a number value to step.
    if (m_scriptRefCount == 0)
        return RequireValueRef();
    const CVeyValue* value = GetValue(-1);
    if (!value || !value->GetDefinition()->IsNumeric())
    {
        Trace("Referred value type must be integer for increment button. : %s\n", GetFullName());
        return false;
    }
    return true;
}

void CVeyIncrementButton::Step()
{
    CVeyValue* value = GetValue(-1);
    const int32_t count = IVeySingleControl::CountValues(value);
    if (count < 1)
        return;
    const int64_t index = static_cast<int64_t>(value->GetIndex()) + m_delta;
    IVeySingleControl::CommitIndex(value, static_cast<int32_t>(std::clamp<int64_t>(index, 0, count - 1)));
}

void CVeyIncrementButton::OnPress(UL::CMouseInfo& info)
{
    CVeyButton::OnPress(info);
    Step();
    m_timeouts.Start(kRepeatKey, kFirstRepeatDelay);
}

void CVeyIncrementButton::OnRelease(UL::CMouseInfo& info)
{
    CVeyButton::OnRelease(info);
    m_timeouts.Erase(kRepeatKey);
}

bool CVeyIncrementButton::OnTimer(const GT::CTimerInfo& info)
{
    const bool used = CVeyButton::OnTimer(info);
    if (!HasFocus() || !m_capture || !m_inside || !m_timeouts.IsExpired(kRepeatKey))
        return used;
    Step();
    m_timeouts.Start(kRepeatKey, kRepeatDelay);
    return true;
}
