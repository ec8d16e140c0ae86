#include "ui/controls/CVeyBiasControl.h"

#include "model/CVeyValue.h"
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/ul/Input.h"
#include "ui/controls/VeyGraphPalette.h"

namespace
{
// The geometry is worked out in hundredths of a pixel; 64-bit products keep large panels and
// steep slopes from overflowing before the division.
struct CHundredthPoint
{
    int64_t x = 0;
    int64_t y = 0;
};

struct CPlotBox
{
    int64_t left, top, right, bottom;
};

// The point at abscissa x on the line of slope s (hundredths) through p; where the line leaves
// the box first, the point where it crosses the box's top or bottom.
CHundredthPoint LinePoint(const CPlotBox& box, const CHundredthPoint& p, int64_t x, int64_t s)
{
    const int64_t y = p.y + (x - p.x) * s / 100;
    if (box.top <= y && y <= box.bottom)
        return {x, y};
    // s is not 0 here: a flat line runs through the box's centre.
    if ((x - p.x) * s < 0)
        return {(box.top - p.y) * 100 / s + p.x, box.top};
    return {(box.bottom - p.y) * 100 / s + p.x, box.bottom};
}

int32_t IndexOf(const CVeyValue* value)
{
    return value ? value->GetIndex() : 0;
}
}

CVeyBiasControl::CVeyBiasControl() : m_drawer(VeyCreateGraphDrawer()) {}

CVeyBiasControl::~CVeyBiasControl() = default;

const std::string& CVeyBiasControl::GetTypeName() const
{
    static const std::string name("bias");
    return name;
}

bool CVeyBiasControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    // Always three references, in this order; one not given names no value.
    std::string paths[3];
    CVeyAttributeReader()
        .Text("levelValueRef", paths[kLevelRef])
        .Text("positionValueRef", paths[kPositionRef])
        .Text("directionValueRef", paths[kDirectionRef])
        .Read(attributes);
    for (const std::string& path : paths)
        m_valueRefs.emplace_back(path);
    return true;
}

bool CVeyBiasControl::Create(CVeyView* parent)
{
    GT::ATextOut& trace = GetTraceTextOut();
    if (!CVeyControl::Create(parent))
    {
        trace.Printf("Unable to create bias control %s.\n", GetFullName().c_str());
        return false;
    }
    const std::string fullName = GetFullName();
    if (GetValueRefCount() != 3)
    {
        trace.Printf("There is no value reference for bias control %s.\n", fullName.c_str());
        return false;
    }
    if (IVeySingleControl::CountValues(GetValue(kLevelRef)) < 2)
    {
        trace.Printf("Level value for bias control %s must have some range.\n", fullName.c_str());
        return false;
    }
    if (IVeySingleControl::CountValues(GetValue(kPositionRef)) < 2)
    {
        trace.Printf("Position value for bias control %s must have some range.\n", fullName.c_str());
        return false;
    }
    if (m_rect.right == m_rect.left)
    {
        trace.Printf("Rectangle width for bias control %s can not be 0.\n", fullName.c_str());
        return false;
    }
    m_points.assign(3, CPoint(0, 0));
    return true;
}

void CVeyBiasControl::UpdateFromValue()
{
    if (m_points.size() != 3)
        return;   // not created
    const CVeyValue* level = GetValue(kLevelRef);
    const CVeyValue* position = GetValue(kPositionRef);
    const int64_t levelCount = IVeySingleControl::CountValues(level);
    const int64_t positionCount = IVeySingleControl::CountValues(position);
    if (levelCount < 2 || positionCount < 2)
        return;

    const CPlotBox box{(m_rect.left + 1) * int64_t(100), (m_rect.top + 1) * int64_t(100),
                       (m_rect.right - 2) * int64_t(100), (m_rect.bottom - 2) * int64_t(100)};
    const int64_t width = box.right - box.left;
    const int64_t cy = (box.top + box.bottom) / 2;
    const CHundredthPoint bias{IndexOf(position) * width / (positionCount - 1) + box.left, cy};
    const CHundredthPoint flatLeft{box.left, cy};
    const CHundredthPoint flatRight{box.right, cy};

    CHundredthPoint left = flatLeft;
    CHundredthPoint right = flatRight;
    // A box with no width or height has no room for a slope: the line stays flat on the centre.
    if (width > 0 && box.top <= box.bottom)
    {
        const int64_t y = box.bottom - IndexOf(level) * (box.bottom - box.top) / (levelCount - 1);
        const int64_t k = (y - cy) * 200 / width;
        // Any other direction has no meaning; it shows the flat line rather than a line to the
        // panel's origin.
        switch (IndexOf(GetValue(kDirectionRef)))
        {
        case 0:
            left = LinePoint(box, bias, box.left, -k);
            break;
        case 1:
            right = LinePoint(box, bias, box.right, k);
            break;
        case 2:
            left = LinePoint(box, bias, box.left, -k);
            right = LinePoint(box, bias, box.right, k);
            break;
        case 3:
            left = LinePoint(box, bias, box.left, k);
            right = LinePoint(box, bias, box.right, k);
            break;
        default:
            break;
        }
    }
    const CHundredthPoint points[] = {left, bias, right};
    for (size_t i = 0; i < 3; ++i)
        m_points[i] = CPoint(static_cast<int32_t>(points[i].x / 100), static_cast<int32_t>(points[i].y / 100));
}

void CVeyBiasControl::Draw(const UL::CDrawInfo& info)
{
    if (!info.IsVisible(m_rect))
        return;
    m_drawer->FillRect(info, m_rect, VeyGraphPalette::kBackground);
    const int32_t midX = (m_rect.left + m_rect.right) / 2;
    const int32_t midY = (m_rect.top + m_rect.bottom) / 2;
    // The drawer sets both end pixels, so the axes end on the last column and row of the control.
    VeyDrawLine(*m_drawer, info, CPoint(m_rect.left, midY), CPoint(m_rect.right - 1, midY), VeyGraphPalette::kAxes);
    VeyDrawLine(*m_drawer, info, CPoint(midX, m_rect.top), CPoint(midX, m_rect.bottom - 1), VeyGraphPalette::kAxes);
    VeyDrawGlowingCurve(*m_drawer, info, m_points, VeyGraphPalette::kBackground, VeyGraphPalette::kCurve);
}
