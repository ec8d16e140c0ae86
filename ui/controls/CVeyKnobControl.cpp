#include "ui/controls/CVeyKnobControl.h"

#include "model/CVeyValue.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// CVeyKnobControl

CVeyKnobControl::~CVeyKnobControl() = default;

CPoint& CVeyKnobControl::Anchor()
{
    static CPoint anchor = NoPoint();
    return anchor;
}

const std::string& CVeyKnobControl::GetTypeName() const
{
    static const std::string name("knob");
    return name;
}

bool CVeyKnobControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeySingleDragControl::LoadAttributes(attributes))
        return false;
    CVeyAttributeReader reader;
    reader.Take("angleRange", [this](const std::string& value) {
        int32_t low = 0;
        int32_t high = 0;
        if (!GT::StringToLongPair(value, &low, &high))
            Says("Angle range is invalid for knob. : %s : %s\n")(value);
        else if (high <= low)
            Says("Angle max must be greater than angle min for knob. : %s : %s\n")(value);
        else
        {
            m_angleMin = low;
            m_angleMax = high;
            return true;
        }
        return false;
    });
    return ReadWithBitmap(attributes, reader, m_bitmap, "knob");
}

bool CVeyKnobControl::Create(CVeyView* parent)
{
    if (!CreateBound(parent, GetValueRefCount(), "knob") || !HoldBitmap(m_bitmap, "knob"))
        return false;
    CSize size;
    m_bitmap->GetStateSize(size, 0);
    m_rect.right = m_rect.left + size.cx;
    m_rect.bottom = m_rect.top + size.cy;
    UpdateFromValue();
    return true;
}

void CVeyKnobControl::Draw(const UL::CDrawInfo& info)
{
    if (m_bitmap.IsHeld() && info.IsVisible(m_rect))
        m_bitmap->DrawState(info, CPoint(m_rect.left, m_rect.top), m_currentState);
}

void CVeyKnobControl::UpdateFromValue()
{
    if (const CVeyValue* value = GetValue(0))
        m_currentState = IndexToState(value->GetIndex());
}

void CVeyKnobControl::SetRect(const RECT& rect)
{
    const int32_t width = m_rect.Width();
    const int32_t height = m_rect.Height();
    CRect moved(rect.left, rect.top, rect.left + width, rect.top + height);
    CVeySingleDragControl::SetRect(moved);
}

int32_t CVeyKnobControl::PointToAngle(const CPoint& point) const
{
    const int32_t cx = (m_rect.left + m_rect.right) / 2;
    const int32_t cy = (m_rect.top + m_rect.bottom) / 2;
    if (point.y == cy)
        return point.x >= cx ? 270 : 90;
    const double degrees = std::atan2(double(point.x) - cx, double(point.y) - cy) * -180.0 / M_PI;
    return static_cast<int32_t>(std::lrint(degrees < 0 ? degrees + 360.0 : degrees));
}

int32_t CVeyKnobControl::AngleToIndex(int32_t angle) const
{
    const CVeyValue* value = GetValue(0);
    if (!value)
        return 0;
    if (angle < 0)
        return value->GetIndex();
    const int64_t count = GetValueCount();
    if (count < 2)
        return 0;
    // 64-bit products: wide values have millions of indexes.
    const int64_t index =
        ((int64_t{angle} - m_angleMin) * (count - 1) * 10 / (int64_t{m_angleMax} - m_angleMin) + 5) / 10;
    return static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(count - 1, index)));
}

int32_t CVeyKnobControl::IndexToState(int32_t index) const
{
    const int64_t states = m_bitmap ? m_bitmap->GetStateCount() : 0;
    const int64_t count = GetValueCount();
    // A value re-bound to one without a range shows the first state rather than dividing by zero.
    if (states < 1 || count < 2)
        return 0;
    const int64_t state = (int64_t{index} * (states - 1) * 10 / (count - 1) + 5) / 10;
    return static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(states - 1, state)));
}

void CVeyKnobControl::BeginDrag(UL::CMouseInfo& info)
{
    Anchor() = info.GetPoint();
    if (ResetOnCtrlClick(info))
        Anchor() = NoPoint();
}

void CVeyKnobControl::DragTo(UL::CMouseInfo& info)
{
    const CPoint point = info.GetPoint();
    CPoint& anchor = Anchor();
    if (point == anchor)
        return;
    const int32_t angle = PointToAngle(point);
    // More than half a turn between two moves is a jump across the gap at the bottom.
    if (std::abs(PointToAngle(anchor) - angle) > 180)
        return;
    anchor = point;
    SetValue(AngleToIndex(angle));
}

void CVeyKnobControl::EndDrag(UL::CMouseInfo&)
{
    Anchor() = NoPoint();
}
