#include "ui/controls/CVeyBarControls.h"

#include "model/CVeyExpression.h"
#include "model/CVeyGraphDrawer.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyValue.h"
#include "model/IVeyResourceFactory.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/controls/CVeyTextOperator.h"

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

// CVeyBarGraphControl

CVeyBarGraphControl::~CVeyBarGraphControl() = default;

const std::string& CVeyBarGraphControl::GetTypeName() const
{
    static const std::string name("barGraph");
    return name;
}

bool CVeyBarGraphControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    int32_t direction = m_horizontal ? 1 : 0;
    CVeyAttributeReader reader;
    reader
        .Resource("bitmapRef", m_bitmap, CVeyResourceManager::GetInstance().GetBitmaps(),
                  Detail("Unable to find bitmap."))
        .NumberIn("direction", direction, 0, 1, Detail("Direction is invalid."), Detail("Direction must be 0 or 1."));
    const bool read = reader.Read(attributes);
    m_horizontal = direction == 1;
    if (!read)
        return false;
    if (!m_bitmap)
    {
        ReportError("There is no bitmap reference.");
        return false;
    }
    return true;
}

bool CVeyBarGraphControl::Create(CVeyView* parent)
{
    if (!CVeyControl::Create(parent))
    {
        ReportError("Unable to create.");
        return false;
    }
    // Full scale and level: without both the bar has nothing to show.
    if (GetValueRefCount() < 2)
    {
        ReportError("Two value references are necessary.");
        return false;
    }
    if (!m_bitmap.Hold())
    {
        ReportError("Unable to create bitmap.");
        return false;
    }
    CSize state;
    m_bitmap->GetStateSize(state, 0);
    if (state.cx < m_rect.Width() || state.cy < m_rect.Height())
    {
        ReportError("Bitmap state size must be larger than draw area.");
        return false;
    }
    UpdateFromValue();
    return true;
}

void CVeyBarGraphControl::UpdateFromValue()
{
    const CVeyValue* fullValue = GetValue(0);
    const CVeyValue* levelValue = GetValue(1);
    if (!fullValue || !levelValue)
        return;
    const int64_t full = fullValue->GetNumber();
    // A negative level shows an empty bar rather than one reaching out of the control.
    const int64_t level = std::max<int64_t>(0, std::min<int64_t>(levelValue->GetNumber(), full));
    if (!m_horizontal)
    {
        m_barRect = CRect(m_rect.left, m_rect.bottom, m_rect.right, m_rect.bottom);
        if (full > 0)
            m_barRect.top = static_cast<int32_t>(m_rect.bottom - int64_t{m_rect.bottom - m_rect.top} * level / full);
    }
    else
    {
        m_barRect = CRect(m_rect.left, m_rect.top, m_rect.left, m_rect.bottom);
        if (full > 0)
            m_barRect.right = static_cast<int32_t>(m_rect.left + int64_t{m_rect.right - m_rect.left} * level / full);
    }
}

void CVeyBarGraphControl::Draw(const UL::CDrawInfo& info)
{
    if (m_bitmap.IsHeld() && info.IsVisible(m_rect))
        m_bitmap->DrawQuarters(info, CPoint(m_barRect.left, m_barRect.top), CSize(m_barRect.Width(), m_barRect.Height()),
                               0);
}

void CVeyBarGraphControl::SetRect(const RECT& rect)
{
    CVeyControl::SetRect(rect);
    UpdateFromValue();
}

// CVeyBarSliderControl

CVeyBarSliderControl::CVeyBarSliderControl()
{
    if (IVeyResourceFactory* factory = CVeyResourceManager::GetInstance().GetResourceFactory())
        m_graphDrawer = factory->CreateGraphDrawer();
    if (!m_graphDrawer)
        m_graphDrawer = std::make_unique<CGraphDrawer>();
}

CVeyBarSliderControl::~CVeyBarSliderControl() = default;

CPoint& CVeyBarSliderControl::LastPoint()
{
    static CPoint point = NoPoint();
    return point;
}

const std::string& CVeyBarSliderControl::GetTypeName() const
{
    static const std::string name("barSlider");
    return name;
}

std::unique_ptr<CVeySingleTextOperator> CVeyBarSliderControl::CreateTextOperator()
{
    return std::make_unique<CVeySingleTextOperator>(this);
}

bool CVeyBarSliderControl::LoadAttributes(CAttributes& attributes)
{
    // The tip bar takes these; the text overlay reads them as well.
    CAttributes shared;
    for (const CVeyElementDefinition::CAttribute& attribute : attributes)
        if (attribute.first == "stringTableRef" || attribute.first == "offsetValue")
            shared.push_back(attribute);
    if (!CVeySingleDragControl::LoadAttributes(attributes))
        return false;
    m_boundRefCount = GetValueRefCount();

    GT::CTraceTextOut& trace = GetTraceTextOut();
    const std::string fullName = GetFullName();
    int32_t direction = m_horizontal ? 1 : 0;
    bool baseLineColourGiven = false;
    CVeyAttributeReader reader;
    reader
        .Resource("bitmapRef", m_bitmap, CVeyResourceManager::GetInstance().GetBitmaps(),
                  Says("Unable to find bitmap for bar slider. : %s : %s\n"))
        .NumberIn("direction", direction, 0, 1, Says("Direction is invalid for bar slider. : %s : %s\n"),
                  Says("Direction must be 0 or 1 for bar slider. : %s : %s\n"))
        .Number("baseValue", m_baseValue, Says("Base value is invalid for bar slider. : %s : %s\n"))
        .Take("baseLineColor",
              [this, &baseLineColourGiven, invalid = SaysValueFirst("Base line color %s is invalid for bar slider. : %s\n")](const std::string& value) {
                  // Without one the base line takes the bar's colour.
                  baseLineColourGiven = true;
                  if (GT::StringToShortTriple(value, &m_baseLineColour))
                      return true;
                  invalid(value);
                  return false;
              })
        .Colour("barColor", m_barColour, SaysValueFirst("Bar color %s is invalid for bar slider. : %s\n"))
        .Take("enableCondition", [this](const std::string& value) {
            // Evaluated once so that the values it names join the references and their changes
            // reach the control.
            int32_t result = 0;
            m_enableCondition = value;
            // The script's own references are resolved only at creation; a condition that names
            // the bound value needs it now. Failures are left for creation to report.
            for (CVeyValueRef& ref : m_valueRefs)
                if (!ref.GetValue())
                    ref.Resolve();
            if (CVeyExpression::EvaluateLenient(value, m_valueRefs, result))
                return true;
            Says("Unable to interpret enable condition for bar slider. : %s : %s\n")(value);
            return false;
        });
    const bool read = reader.Read(attributes);
    m_horizontal = direction == 1;
    if (!read)
        return false;

    attributes.insert(attributes.end(), shared.begin(), shared.end());
    m_textOperator = CreateTextOperator();
    if (m_textOperator)
    {
        switch (m_textOperator->LoadAttributes(attributes))
        {
        case CVeyControlOperator::kConfigured: break;
        case CVeyControlOperator::kFailed:
            m_textOperator.reset();
            trace.Printf("Unable to convert text operator for bar slider. : %s\n", fullName.c_str());
            return false;
        default: m_textOperator.reset(); break;
        }
    }
    if (!baseLineColourGiven)
        m_baseLineColour = m_barColour;
    return true;
}

bool CVeyBarSliderControl::Create(CVeyView* parent)
{
    // The enable condition's values do not count: the slider edits a value the script bound.
    if (!CreateBound(parent, m_boundRefCount, "bar slider"))
        return false;
    GT::CTraceTextOut& trace = GetTraceTextOut();
    const CVeyValueDefinition* definition = GetValue(0)->GetDefinition();
    if (m_baseValue < definition->GetMin() || m_baseValue > definition->GetMax())
    {
        trace.Printf("Base value is out of range for bar slider. : %s\n", GetFullName().c_str());
        return false;
    }
    if (m_bitmap && !HoldBitmap(m_bitmap, "bar slider"))
        return false;
    if (m_textOperator && !m_textOperator->Check())
    {
        trace.Printf("Unable to create text operator for bar slider. : %s\n", GetFullName().c_str());
        return false;
    }
    UpdateFromValue();
    return true;
}

bool CVeyBarSliderControl::IsEnabled() const
{
    int32_t result = 0;
    CVeyExpression::EvaluateStrict(m_enableCondition, const_cast<CVeyValueRefs&>(m_valueRefs), result);
    return result != 0;
}

bool CVeyBarSliderControl::HasBaseLine() const
{
    const CVeyValue* value = GetValue(0);
    if (!value)
        return false;
    const CVeyValueDefinition* definition = value->GetDefinition();
    return m_baseValue != definition->GetMin() && m_baseValue != definition->GetMax();
}

int32_t CVeyBarSliderControl::GetBaseIndex() const
{
    const CVeyValue* value = GetValue(0);
    return value ? value->GetDefinition()->ValueToIndex(m_baseValue) : 0;
}

int32_t CVeyBarSliderControl::IndexToPosition(int32_t index) const
{
    const int64_t gap = HasBaseLine() ? 2 : 0;
    const int64_t lo = m_horizontal ? m_rect.left : m_rect.bottom - gap;
    const int64_t hi = m_horizontal ? m_rect.right - gap : m_rect.top;
    const int64_t count = GetValueCount();
    int64_t position = count < 2 ? lo : Clip((lo * 10 + (hi - lo) * index * 10 / (count - 1) + 5) / 10, lo, hi);
    const int32_t base = GetBaseIndex();
    if (m_horizontal ? index > base : index < base)
        position += gap;
    return static_cast<int32_t>(position);
}

CRect CVeyBarSliderControl::GetBaseLineRect() const
{
    const int32_t basePos = IndexToPosition(GetBaseIndex());
    if (m_horizontal)
        return CRect(basePos, m_rect.top, std::min(basePos + 2, m_rect.right), m_rect.bottom);
    return CRect(m_rect.left, basePos, m_rect.right, std::min(basePos + 2, m_rect.bottom));
}

void CVeyBarSliderControl::UpdateFromValue()
{
    if (m_textOperator)
        m_textOperator->UpdateFromValue();
    const CVeyValue* value = GetValue(0);
    if (!value)
        return;
    const int32_t pos = IndexToPosition(value->GetIndex());
    int32_t basePos = IndexToPosition(GetBaseIndex());
    if (HasBaseLine())
    {
        const int32_t number = value->GetNumber();
        if (m_horizontal ? m_baseValue < number : m_baseValue > number)
            basePos += 2;
    }
    if (m_horizontal)
        m_barRect = CRect(std::min(basePos, pos), m_rect.top, std::max(basePos, pos), m_rect.bottom);
    else
        m_barRect = CRect(m_rect.left, std::min(basePos, pos), m_rect.right, std::max(basePos, pos));
}

int32_t CVeyBarSliderControl::PointToIndex(const CPoint& point) const
{
    const CVeyValue* value = GetValue(0);
    const int64_t count = GetValueCount();
    if (!value || count < 2)
        return 0;
    int64_t a = m_horizontal ? point.x : point.y;
    const int64_t b = m_horizontal ? point.y : point.x;
    const int64_t centre = m_horizontal ? (int64_t{m_rect.top} + m_rect.bottom) / 2 : (int64_t{m_rect.left} + m_rect.right) / 2;
    const int64_t thickness = m_horizontal ? m_rect.Height() : m_rect.Width();
    const int64_t d = std::max<int64_t>(std::abs(b - centre) - thickness, 0);
    int64_t lo = m_horizontal ? m_rect.left - d : m_rect.bottom + d;
    int64_t hi = m_horizontal ? m_rect.right + d : m_rect.top - d;
    if (HasBaseLine())
    {
        const CRect base = GetBaseLineRect();
        if (point.x >= base.left && point.x <= base.right && point.y >= base.top && point.y <= base.bottom)
            return GetBaseIndex();
        if (m_horizontal)
        {
            if (a < base.left)
                hi -= 2;
            else if (a > base.right)
                a -= 2, hi -= 2;
        }
        else
        {
            if (a < base.top)
                lo -= 2;
            else if (a > base.bottom)
                a -= 2, lo -= 2;
        }
    }
    // A bar of no length (a script size of 0, or 2 with a base line) has no scale.
    if (hi == lo)
        return value->GetIndex();
    return Clip(((a - lo) * (count - 1) * 10 / (hi - lo) + 5) / 10, 0, count - 1);
}

bool CVeyBarSliderControl::OnMouse(UL::CMouseInfo& info)
{
    if (CVeyControl::OnMouse(info))
        return true;
    // A drag that made the condition false still ends, so the capture is not left held.
    const bool endsDrag = m_capture && info.m_kind == UL::MOUSE_UP;
    if (!endsDrag && !IsEnabled())
        return false;
    return CVeySingleDragControl::OnMouse(info);
}

bool CVeyBarSliderControl::OnMouseWheel(UL::CWheelInfo& info)
{
    return IsEnabled() && CVeySingleDragControl::OnMouseWheel(info);
}

bool CVeyBarSliderControl::OnKey(const UL::KeyInfo& info)
{
    if (CVeyControl::OnKey(info))
        return true;
    return IsEnabled() && CVeySingleDragControl::OnKey(info);
}

void CVeyBarSliderControl::SetRect(const RECT& rect)
{
    if (m_textOperator)
        m_textOperator->OnControlRectChanged(rect);
    CVeySingleDragControl::SetRect(rect);
}

void CVeyBarSliderControl::Draw(const UL::CDrawInfo& info)
{
    if (!info.IsVisible(m_rect))
        return;
    if (HasBaseLine())
        m_graphDrawer->FillRect(info, GetBaseLineRect(), m_baseLineColour);
    if (m_bitmap.IsHeld())
        m_bitmap->DrawQuarters(info, CPoint(m_barRect.left, m_barRect.top), CSize(m_barRect.Width(), m_barRect.Height()),
                               0);
    else
        m_graphDrawer->FillRect(info, m_barRect, m_barColour);
    if (m_textOperator)
        m_textOperator->Draw(info, IsEnabled() ? 0 : 1);
}

void CVeyBarSliderControl::BeginDrag(UL::CMouseInfo& info)
{
    LastPoint() = info.GetPoint();
    if (ResetOnCtrlClick(info))
    {
        LastPoint() = NoPoint();
        return;
    }
    SetValue(PointToIndex(info.GetPoint()));
}

void CVeyBarSliderControl::DragTo(UL::CMouseInfo& info)
{
    const CPoint point = info.GetPoint();
    if (point == LastPoint())
        return;
    LastPoint() = point;
    SetValue(PointToIndex(point));
}

void CVeyBarSliderControl::EndDrag(UL::CMouseInfo&)
{
    LastPoint() = NoPoint();
}
