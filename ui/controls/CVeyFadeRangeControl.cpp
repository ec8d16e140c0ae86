#include "ui/controls/CVeyFadeRangeControl.h"

#include "model/CVeyValue.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/ul/Input.h"
#include "ui/controls/VeyGraphPalette.h"

#include <algorithm>

namespace
{
constexpr GT::CShortTriple kRangeColour = VeyGraphColour(0x8000, 0xF000, 0x4000);
constexpr GT::CShortTriple kFadeColour = VeyGraphColour(0x1000, 0xA000, 0x1000);
constexpr GT::CShortTriple kOutsideColour = VeyGraphColour(0x7000, 0x7000, 0x7000);
constexpr GT::CShortTriple kWhite = VeyGraphColour(0xFF00, 0xFF00, 0xFF00);
constexpr GT::CShortTriple kBlack = VeyGraphColour(0, 0, 0);
constexpr int32_t kHighestDisplayUpper = 128;

int32_t NumberOf(const CVeyValue* value, int32_t fallback)
{
    return value ? value->GetNumber() : fallback;
}
}

CVeyFadeRangeControl::CVeyFadeRangeControl() : m_drawer(VeyCreateGraphDrawer()) {}

CVeyFadeRangeControl::~CVeyFadeRangeControl() = default;

const std::string& CVeyFadeRangeControl::GetTypeName() const
{
    static const std::string name("fadeRange");
    return name;
}

bool CVeyFadeRangeControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    enum { kRangeLower, kRangeUpper, kFadeLower, kFadeUpper, kPathCount };
    static const char* const names[kPathCount] = {"rangeLowerValueRef", "rangeUpperValueRef", "fadeWidthLowerValueRef",
                                                  "fadeWidthUpperValueRef"};
    std::string paths[kPathCount];
    bool given[kPathCount] = {};
    CVeyAttributeReader reader;
    reader.Take("displayRange", [this](const std::string& text) {
        int32_t lower = 0, upper = 0;
        if (!GT::StringToLongPair(text, &lower, &upper))
            Says("Display range is invalid for fade range. : %s :%s\n")(text);
        // An empty range has no width to map onto the strip, so it is refused like a reversed one.
        else if (lower < 0 || lower >= upper)
            Says("Display range lower is invalid for fade range. : %s : %s\n")(text);
        else if (upper > kHighestDisplayUpper)
            Says("Display range upper is invalid for fade range. : %s : %s\n")(text);
        else
        {
            m_displayLower = lower;
            m_displayUpper = upper;
            return true;
        }
        return false;
    });
    for (int32_t path = 0; path < kPathCount; ++path)
        reader.Take(names[path], [&paths, &given, path](const std::string& text) {
            paths[path] = text;
            given[path] = true;
            return true;
        });
    if (!reader.Read(attributes))
        return false;
    const std::string fullName = GetFullName();
    GT::ATextOut& trace = GetTraceTextOut();
    if (!given[kRangeLower] || !given[kRangeUpper])
    {
        trace.Printf("Either or both of range value references are not defined for fade range. : %s\n",
                     fullName.c_str());
        return false;
    }
    if (given[kFadeLower] != given[kFadeUpper])
    {
        trace.Printf("Either of fade width value references is not defined for fade range. : %s\n",
                     fullName.c_str());
        return false;
    }
    const int32_t count = given[kFadeLower] ? kPathCount : kFadeLower;
    for (int32_t path = 0; path < count; ++path)
        m_valueRefs.emplace_back(paths[path]);
    return true;
}

bool CVeyFadeRangeControl::Create(CVeyView* parent)
{
    if (!CVeyControl::Create(parent))
    {
        GetTraceTextOut().Printf("Unable to create fade range control. : %s\n", GetFullName().c_str());
        return false;
    }
    return true;
}

void CVeyFadeRangeControl::UpdateFromValue()
{
    m_rangeLower = NumberOf(GetValue(kRangeLowerRef), m_rangeLower);
    m_rangeUpper = NumberOf(GetValue(kRangeUpperRef), m_rangeUpper);
    if (GetValueRefCount() == 4)
    {
        m_fadeWidthLower = NumberOf(GetValue(kFadeWidthLowerRef), m_fadeWidthLower);
        m_fadeWidthUpper = NumberOf(GetValue(kFadeWidthUpperRef), m_fadeWidthUpper);
    }
}

int32_t CVeyFadeRangeControl::MapToStrip(int64_t number) const
{
    // Without a display range (the attribute was not given) nothing maps: every box but the last
    // outside one is empty.
    if (m_displayUpper <= m_displayLower)
        return m_rect.left;
    const int64_t x = m_rect.left + int64_t(m_rect.right - m_rect.left) * (number - m_displayLower) /
                                        (int64_t(m_displayUpper) - m_displayLower);
    // Numbers outside the display range stay on the strip instead of painting over the neighbours.
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(x, m_rect.left), m_rect.right));
}

void CVeyFadeRangeControl::DrawBevelledBox(const UL::CDrawInfo& info, const CRect& rect, const GT::CShortTriple& colour)
{
    if (rect.right <= rect.left)
        return;
    m_drawer->FillRect(info, rect, colour);
    const struct
    {
        int32_t y;
        const GT::CShortTriple& towards;
        double ratio;
    } lines[] = {
        {rect.top, kWhite, 0.4},
        {rect.top + 1, kWhite, 0.8},
        {rect.bottom - 2, kBlack, 0.3},
        {rect.bottom - 1, kBlack, 0.6},
    };
    for (const auto& line : lines)
    {
        const GT::CShortTriple shade = VeyBlendGraphColour(colour, line.towards, line.ratio);
        // The drawer sets the end pixel: the line ends on the box's last column.
        m_drawer->Polyline(info, {CPoint(rect.left, line.y), CPoint(rect.right - 1, line.y)}, 1, shade);
    }
}

void CVeyFadeRangeControl::Draw(const UL::CDrawInfo& info)
{
    if (!info.IsVisible(m_rect))
        return;
    const int64_t fadeLowerEnd = std::max<int64_t>(int64_t(m_rangeLower) - m_fadeWidthLower, m_displayLower);
    const int64_t fadeUpperEnd = std::min<int64_t>(int64_t(m_rangeUpper) + m_fadeWidthUpper, m_displayUpper);
    const int32_t a = std::max(MapToStrip(m_rangeLower) - 1, static_cast<int32_t>(m_rect.left));
    const int32_t b = MapToStrip(m_rangeUpper);
    const int32_t fl = MapToStrip(fadeLowerEnd);
    const int32_t fu = MapToStrip(fadeUpperEnd);
    const int32_t top = m_rect.top;
    const int32_t bottom = m_rect.bottom;
    DrawBevelledBox(info, CRect(m_rect.left, top, fl, bottom), kOutsideColour);
    DrawBevelledBox(info, CRect(fl, top, a, bottom), kFadeColour);
    DrawBevelledBox(info, CRect(a, top, b, bottom), kRangeColour);
    DrawBevelledBox(info, CRect(b, top, fu, bottom), kFadeColour);
    DrawBevelledBox(info, CRect(fu, top, m_rect.right, bottom), kOutsideColour);
}
