#include "ui/controls/CVeySliderControl.h"

#include "model/CVeyValue.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <algorithm>
#include <cstdlib>

namespace
{
int32_t Clip(int64_t number, int64_t low, int64_t high)
{
    if (low > high)
        std::swap(low, high);
    return static_cast<int32_t>(std::max(low, std::min(high, number)));
}
}

CVeySliderControl::~CVeySliderControl() = default;

CPoint& CVeySliderControl::LastPoint()
{
    static CPoint point = NoPoint();
    return point;
}

CPoint& CVeySliderControl::GrabOffset()
{
    static CPoint offset;
    return offset;
}

const std::string& CVeySliderControl::GetTypeName() const
{
    static const std::string name("slider");
    return name;
}

CSize CVeySliderControl::GetKnobSize() const
{
    CSize size(0, 0);
    if (m_bitmap)
        m_bitmap->GetStateSize(size, 0);
    return size;
}

bool CVeySliderControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeySingleDragControl::LoadAttributes(attributes))
        return false;
    int32_t direction = m_horizontal ? 1 : 0;
    CVeyAttributeReader reader;
    reader
        .NumberIn("direction", direction, 0, 1, Says("Direction is invalid for slider. : %s : %s\n"),
                  Says("Direction must be 0 or 1 for slider. : %s : %s\n"))
        .NumberIn("resolution", m_resolution, 1, INT32_MAX, Says("Resolution is invalid for slider. : %s : %s\n"),
                  Says("Resolution must be 1 over for slider. : %s : %s\n"));
    const bool read = ReadWithBitmap(attributes, reader, m_bitmap, "slider");
    m_horizontal = direction == 1;
    return read;
}

bool CVeySliderControl::Create(CVeyView* parent)
{
    if (!CreateBound(parent, GetValueRefCount(), "slider") || !HoldBitmap(m_bitmap, "slider"))
        return false;
    GT::CTraceTextOut& trace = GetTraceTextOut();
    const CSize knob = GetKnobSize();
    if (m_horizontal && m_rect.Width() <= knob.cx)
    {
        trace.Printf("Knob width must be less than base width for slider. : %s\n", GetFullName().c_str());
        return false;
    }
    if (!m_horizontal && m_rect.Height() <= knob.cy)
    {
        trace.Printf("Knob height must be less than base height for slider. : %s\n", GetFullName().c_str());
        return false;
    }
    UpdateFromValue();
    return true;
}

void CVeySliderControl::Draw(const UL::CDrawInfo& info)
{
    if (m_bitmap.IsHeld() && info.IsVisible(m_rect))
        m_bitmap->DrawState(info, m_knobPosition, 0);
}

void CVeySliderControl::UpdateFromValue()
{
    if (const CVeyValue* value = GetValue(0))
        IndexToPosition(m_knobPosition, value->GetIndex());
}

void CVeySliderControl::IndexToPosition(CPoint& position, int32_t index) const
{
    const CSize knob = GetKnobSize();
    const int64_t start = m_horizontal ? m_rect.left : m_rect.bottom - knob.cy;
    const int64_t end = m_horizontal ? m_rect.right - knob.cx : m_rect.top;
    const int64_t count = GetValueCount();
    // A value bound later to one without a range sits at the start rather than dividing by zero.
    const int64_t along =
        count < 2 ? start : Clip((10 * (end - start) * index / (count - 1) + 10 * start + 5) / 10, start, end);
    if (m_horizontal)
        position = CPoint(static_cast<int32_t>(along), (m_rect.top + m_rect.bottom) / 2 - knob.cy / 2);
    else
        position = CPoint((m_rect.left + m_rect.right) / 2 - knob.cx / 2, static_cast<int32_t>(along));
}

int32_t CVeySliderControl::PositionToIndex(const CPoint& point) const
{
    const CVeyValue* value = GetValue(0);
    const int64_t count = GetValueCount();
    if (!value || count < 2)
        return 0;
    const CSize knob = GetKnobSize();
    const CPoint& grab = GrabOffset();
    const int64_t along = m_horizontal ? int64_t{point.x} - grab.x : int64_t{point.y} - grab.y;
    const int64_t distance = m_horizontal ? point.y - (m_rect.top + m_rect.bottom) / 2
                                          : point.x - (m_rect.left + m_rect.right) / 2;
    const int64_t extent = m_horizontal ? m_rect.Height() : m_rect.Width();
    const int64_t excess = std::max<int64_t>(0, std::abs(distance) - extent);
    const int64_t start = m_horizontal ? m_rect.left - excess : m_rect.bottom - knob.cy + excess;
    const int64_t end = m_horizontal ? m_rect.right - knob.cx + excess : m_rect.top - excess;
    // Create keeps the track longer than the knob; a rectangle moved in later may not.
    if (end == start)
        return value->GetIndex();
    int64_t index = ((along - start) * (count - 1) * 10 / (end - start) + 5) / 10;
    if (m_resolution > 1)
        index = index / m_resolution * m_resolution + value->GetIndex() % m_resolution;
    return Clip(index, 0, count - 1);
}

void CVeySliderControl::BeginDrag(UL::CMouseInfo& info)
{
    const CPoint point = info.GetPoint();
    LastPoint() = point;
    if (ResetOnCtrlClick(info))
    {
        LastPoint() = NoPoint();
        return;
    }
    const CSize knob = GetKnobSize();
    const CRect knobRect(m_knobPosition.x, m_knobPosition.y, m_knobPosition.x + knob.cx, m_knobPosition.y + knob.cy);
    if (knobRect.PtInRect(point))
    {
        GrabOffset() = CPoint(point.x - m_knobPosition.x, point.y - m_knobPosition.y);
        return;
    }
    // A press beside the knob centres the knob under the pointer along the track.
    GrabOffset() = m_horizontal ? CPoint(knob.cx / 2, point.y - m_knobPosition.y)
                                : CPoint(point.x - m_knobPosition.x, knob.cy / 2);
    SetValue(PositionToIndex(point));
}

void CVeySliderControl::DragTo(UL::CMouseInfo& info)
{
    const CPoint point = info.GetPoint();
    if (point == LastPoint())
        return;
    LastPoint() = point;
    SetValue(PositionToIndex(point));
}

void CVeySliderControl::EndDrag(UL::CMouseInfo&)
{
    LastPoint() = NoPoint();
}
