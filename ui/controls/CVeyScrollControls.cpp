#include "ui/controls/CVeyScrollControls.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyGraphDrawer.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <algorithm>
#include <cmath>

namespace
{
const char* const kReferenceNames[CVeyScrollRange::REFERENCE_COUNT] = {
    "currentRangeLowerValueRef", "currentRangeUpperValueRef", "scrollRangeLowerValueRef",
    "scrollRangeUpperValueRef", "operatedValueRef"};

int32_t IndexOf(const CVeyView& view, int32_t reference)
{
    const CVeyValue* value = view.GetValue(reference);
    return value ? value->GetIndex() : 0;
}

void Commit()
{
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.Flush();
    manager.UpdateViews();
    manager.ClearChanges();
}

int32_t Clip32(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}
}

int32_t VeyMulDivRound(int64_t a, int64_t b, int64_t c)
{
    // Rounded once: adding a half and then rounding to nearest again would push exact odd
    // results up (3 -> 3.5 -> 4) and leave every other index out of reach.
    if (c == 0)
        return 0;
    const double result = std::floor(static_cast<double>(a) * static_cast<double>(b) / static_cast<double>(c) + 0.5);
    return static_cast<int32_t>(std::clamp<double>(result, INT32_MIN, INT32_MAX));
}

// CVeyScrollRange

bool CVeyScrollRange::LoadReferences(CVeyView& view, CVeyElementDefinition::CAttributes& attributes)
{
    if (view.GetValueRefCount() != 0)
        return false;
    std::string paths[REFERENCE_COUNT];
    CVeyAttributeReader reader;
    for (int32_t reference = 0; reference < REFERENCE_COUNT; ++reference)
        reader.Text(kReferenceNames[reference], paths[reference]);
    reader.Read(attributes);
    for (const std::string& path : paths)
        view.GetValueRefs().emplace_back(path);
    return true;
}

CVeyScrollRange CVeyScrollRange::Read(const CVeyView& view)
{
    CVeyScrollRange range;
    range.currentLower = IndexOf(view, CURRENT_LOWER);
    range.currentUpper = IndexOf(view, CURRENT_UPPER);
    range.scrollLower = IndexOf(view, SCROLL_LOWER);
    range.scrollUpper = IndexOf(view, SCROLL_UPPER);
    return range;
}

int32_t CVeyScrollRange::ClipLower(int64_t lower) const
{
    return Clip32(std::clamp<int64_t>(lower, scrollLower, scrollLower + std::max<int64_t>(0, Room())));
}

bool CVeyScrollRange::MoveTo(CVeyView& view, int32_t lower)
{
    CVeyValue* lowerValue = view.GetValue(CURRENT_LOWER);
    CVeyValue* upperValue = view.GetValue(CURRENT_UPPER);
    const CVeyScrollRange range = Read(view);
    if (!lowerValue || !upperValue || lower == range.currentLower)
        return false;
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.SetValueByIndex(lowerValue, lower);
    manager.SetValueByIndex(upperValue, Clip32(int64_t(range.currentUpper) + lower - range.currentLower));
    Commit();
    return true;
}

void CVeyScrollRange::SetOperated(CVeyView& view)
{
    if (CVeyValue* operated = view.GetValue(OPERATED))
    {
        CVeyBufferManager::GetInstance().SetValueByIndex(operated, 1);
        Commit();
    }
}

// CVeyScrollControl::CBitmapKnobDrawer

CVeyScrollControl::CBitmapKnobDrawer::~CBitmapKnobDrawer() = default;

bool CVeyScrollControl::CBitmapKnobDrawer::Load()
{
    return m_bitmap.Hold();
}

void CVeyScrollControl::CBitmapKnobDrawer::SetKnobSize(const CSize& size)
{
    m_size = size;
}

void CVeyScrollControl::CBitmapKnobDrawer::Draw(const UL::CDrawInfo& info, const CRect& rect, int32_t state)
{
    SetKnobSize(rect.Size());
    DrawAt(info, rect.TopLeft(), state);
}

void CVeyScrollControl::CBitmapKnobDrawer::DrawAt(const UL::CDrawInfo& info, const CPoint& point, int32_t state)
{
    if (!m_bitmap.IsHeld())
        return;
    // The corners come from inside one state: a knob larger than the state draws the state's size.
    CSize stateSize;
    m_bitmap->GetStateSize(stateSize, state);
    const CSize size(std::min(m_size.cx, stateSize.cx), std::min(m_size.cy, stateSize.cy));
    m_bitmap->DrawQuarters(info, point, size, state);
}

// CVeyScrollControl

CVeyScrollControl::CVeyScrollControl()
{
    if (IVeyResourceFactory* factory = CVeyResourceManager::GetInstance().GetResourceFactory())
        m_graphDrawer = factory->CreateGraphDrawer();
}

CVeyScrollControl::~CVeyScrollControl()
{
    if (m_capture)
        DragState() = SDragState();
}

CVeyScrollControl::SDragState& CVeyScrollControl::DragState()
{
    static SDragState state;
    return state;
}

const std::string& CVeyScrollControl::GetTypeName() const
{
    static const std::string name("scroll");
    return name;
}

bool CVeyScrollControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyDragControl::LoadAttributes(attributes))
        return false;
    if (!CVeyScrollRange::LoadReferences(*this, attributes))
        return false;
    int32_t direction = m_horizontal ? 1 : 0;
    const bool read =
        CVeyAttributeReader()
            .NumberIn("direction", direction, 0, 1, Says("Direction is invalid for scroll. : %s : %s\n"),
                      Says("Direction must be 0 or 1 for scroll. : %s : %s\n"))
            .Colour("knobColor", m_knobColor, SaysValueFirst("Knob color %s is invalid for scroll. : %s\n"))
            .Take("bitmapRef",
                  [this](const std::string& value) {
                      CVeyStateBitmap* bitmap = CVeyResourceManager::GetInstance().GetBitmaps().Find(value);
                      m_knobDrawer.SetBitmap(bitmap);
                      if (!bitmap)
                          SaysValueFirst("Knob bitmap %s is invalid for scroll. : %s\n")(value);
                      return bitmap != nullptr;
                  })
            .Read(attributes);
    m_horizontal = direction == 1;
    return read;
}

bool CVeyScrollControl::Create(CVeyView* parent)
{
    GT::CTraceTextOut& trace = GetTraceTextOut();
    if (!CVeyDragControl::Create(parent))
    {
        trace.Printf("Unable to create scroll. : %s\n", GetFullName().c_str());
        return false;
    }
    if (GetValueRefCount() < CVeyScrollRange::REFERENCE_COUNT)
    {
        trace.Printf("Value references are necessary for scroll. : %s.\n", GetFullName().c_str());
        return false;
    }
    const CVeyValue* lower = GetValue(CVeyScrollRange::CURRENT_LOWER);
    if (!lower || !lower->GetDefinition()->IsNumeric())
    {
        trace.Printf("Referred value must be integer for scroll. : %s\n", GetFullName().c_str());
        return false;
    }
    if (m_knobDrawer.GetBitmap() && !m_knobDrawer.Load())
    {
        trace.Printf("Unable to create bitmap for %s. : %s\n", GetTypeName().c_str(), GetFullName().c_str());
        return false;
    }
    if (!m_graphDrawer)
    {
        // Created before the application installed its resource factory.
        if (IVeyResourceFactory* factory = CVeyResourceManager::GetInstance().GetResourceFactory())
            m_graphDrawer = factory->CreateGraphDrawer();
    }
    return true;
}

int32_t CVeyScrollControl::IndexToAlong(int32_t index, const CVeyScrollRange& range) const
{
    const int64_t room = range.Room();
    const int32_t travel = GetLength() - GetKnobLength();
    const int32_t origin = GetOrigin();
    if (room <= 0 || travel <= 0)
        return origin;
    return origin + std::clamp(VeyMulDivRound(int64_t(index) - range.scrollLower, travel, room), 0, travel);
}

int32_t CVeyScrollControl::PointToIndex(const CPoint& point) const
{
    const CVeyScrollRange range = CVeyScrollRange::Read(*this);
    const int64_t room = range.Room();
    const int32_t travel = GetLength() - GetKnobLength();
    // A knob as long as the control cannot move: there is no travel to divide by.
    if (room <= 0 || travel <= 0)
        return range.scrollLower;
    const CPoint& grab = DragState().grab;
    const int64_t corner = m_horizontal ? int64_t(point.x) - grab.x : int64_t(point.y) - grab.y;
    return range.ClipLower(int64_t(range.scrollLower) + VeyMulDivRound(corner - GetOrigin(), room, travel));
}

void CVeyScrollControl::UpdateFromValue()
{
    const CVeyScrollRange range = CVeyScrollRange::Read(*this);
    const int32_t extent = GetLength();
    int32_t length = extent;
    if (range.Room() > 0)
    {
        length = VeyMulDivRound(int64_t(range.currentUpper) - range.currentLower, extent,
                                int64_t(range.scrollUpper) - range.scrollLower);
        // At least 10 pixels, but never longer than the control.
        length = extent < 10 ? extent : std::clamp(length, 10, extent);
    }
    m_knobWidth = m_horizontal ? length : m_rect.Width();
    m_knobHeight = m_horizontal ? m_rect.Height() : length;
    const int32_t along = IndexToAlong(range.currentLower, range);
    if (m_horizontal)
    {
        m_knobLeft = along;
        m_knobTop = (m_rect.top + m_rect.bottom) / 2 - m_knobHeight / 2;
    }
    else
    {
        m_knobTop = along;
        m_knobLeft = (m_rect.left + m_rect.right) / 2 - m_knobWidth / 2;
    }
}

void CVeyScrollControl::Draw(const UL::CDrawInfo& info)
{
    if (!info.IsVisible(m_rect))
        return;
    const CRect knob = GetKnobRect();
    if (m_knobDrawer.GetBitmap())
        m_knobDrawer.Draw(info, knob, 0);
    else if (m_graphDrawer)
        m_graphDrawer->FillRect(info, knob, m_knobColor);
}

std::unique_ptr<CVeyWheelOperator> CVeyScrollControl::CreateWheelOperator()
{
    return std::make_unique<CVeyScrollWheelOperator>(this);
}

void CVeyScrollControl::MoveCurrentRange(int32_t lower)
{
    CVeyScrollRange::MoveTo(*this, lower);
}

void CVeyScrollControl::ScrollBy(int32_t rows)
{
    const CVeyScrollRange range = CVeyScrollRange::Read(*this);
    if (range.Room() > 0)
        MoveCurrentRange(range.ClipLower(int64_t(range.currentLower) + rows));
}

void CVeyScrollControl::BeginDrag(UL::CMouseInfo& info)
{
    SDragState& drag = DragState();
    const CPoint point = info.GetPoint();
    drag.last = point;
    m_pageDirection = 0;
    m_paging = false;
    if (GetKnobRect().PtInRect(point))
    {
        drag.grab = CPoint(point.x - m_knobLeft, point.y - m_knobTop);
        return;
    }
    m_paging = true;
    if (m_horizontal)
    {
        drag.grab = CPoint(m_knobWidth / 2, point.y - m_knobTop);
        m_pageDirection = point.x > m_knobLeft ? 1 : -1;
    }
    else
    {
        drag.grab = CPoint(point.x - m_knobLeft, m_knobHeight / 2);
        m_pageDirection = point.y > m_knobTop ? 1 : -1;
    }
    PageStep();
    m_timeouts.Start(kRepeatKey, kFirstRepeatDelay);
    m_repeating = true;
}

void CVeyScrollControl::PageStep()
{
    const CVeyScrollRange range = CVeyScrollRange::Read(*this);
    if (range.Room() <= 0 || m_pageDirection == 0)
    {
        m_pageDirection = 0;
        return;
    }
    const int64_t page = std::max<int64_t>(1, int64_t(range.currentUpper) - range.currentLower - 1);
    const int32_t target = range.ClipLower(range.currentLower + page * m_pageDirection);
    const int32_t underPointer = PointToIndex(DragState().last);
    // Paging goes towards the pointer and stops there; a pointer moved back behind the knob
    // stops it where it is rather than reversing it.
    int32_t lower = m_pageDirection > 0 ? std::min(target, underPointer) : std::max(target, underPointer);
    lower = m_pageDirection > 0 ? std::max(lower, range.currentLower) : std::min(lower, range.currentLower);
    MoveCurrentRange(lower);
    if (lower == range.currentLower)
        m_pageDirection = 0;
}

bool CVeyScrollControl::OnTimer(const GT::CTimerInfo& info)
{
    const bool used = CVeyDragControl::OnTimer(info);
    if (!m_capture || !m_repeating || !m_timeouts.IsExpired(kRepeatKey))
        return used;
    if (m_pageDirection == 0)
    {
        m_timeouts.Erase(kRepeatKey);
        m_repeating = false;
        return used;
    }
    PageStep();
    m_timeouts.Start(kRepeatKey, kRepeatDelay);
    return true;
}

void CVeyScrollControl::DragTo(UL::CMouseInfo& info)
{
    SDragState& drag = DragState();
    const CPoint point = info.GetPoint();
    if (point == drag.last)
        return;
    drag.last = point;
    // While paging the pointer only marks where paging stops.
    if (!m_paging)
        MoveCurrentRange(PointToIndex(point));
}

void CVeyScrollControl::EndDrag(UL::CMouseInfo&)
{
    DragState() = SDragState();
    m_pageDirection = 0;
    m_paging = false;
    m_timeouts.Erase(kRepeatKey);
    m_repeating = false;
    CVeyScrollRange::SetOperated(*this);
}

// CVeyScrollWheelOperator

bool CVeyScrollWheelOperator::OnMouseWheel(UL::CWheelInfo& info)
{
    if (info.m_reserved != 0)
        return true;
    const double rows = std::nearbyint(info.m_amount);
    if (std::isfinite(rows) && std::fabs(rows) < 1e9)
        m_scroll->ScrollBy(-static_cast<int32_t>(rows));
    return true;
}

// CVeyScrollButton

const std::string& CVeyScrollButton::GetTypeName() const
{
    static const std::string name("scrollButton");
    return name;
}

bool CVeyScrollButton::LoadAttributes(CAttributes& attributes)
{
    return CVeyIncrementButton::LoadAttributes(attributes) && CVeyScrollRange::LoadReferences(*this, attributes);
}

bool CVeyScrollButton::Create(CVeyView* parent)
{
    return CVeyButton::Create(parent);
}

void CVeyScrollButton::Step()
{
    const CVeyScrollRange range = CVeyScrollRange::Read(*this);
    const int32_t lower =
        range.Room() > 0 ? range.ClipLower(int64_t(range.currentLower) + m_delta) : range.scrollLower;
    if (lower != range.currentLower)
        CVeyScrollRange::MoveTo(*this, lower);
}

void CVeyScrollButton::OnRelease(UL::CMouseInfo& info)
{
    CVeyIncrementButton::OnRelease(info);
    CVeyScrollRange::SetOperated(*this);
}
