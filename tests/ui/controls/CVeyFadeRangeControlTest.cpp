#include "ControlFaultTable.h"
#include "GraphTestSupport.h"

#include "ui/controls/CVeyFadeRangeControl.h"

#include <vector>

namespace
{
using FadeRange = GraphControlTest<CVeyFadeRangeControl>;

constexpr COLORREF kRange = RGB(0x80, 0xF0, 0x40);
constexpr COLORREF kFade = RGB(0x10, 0xA0, 0x10);
constexpr COLORREF kOutside = RGB(0x70, 0x70, 0x70);
constexpr COLORREF kNothing = RGB(0, 0, 0);

CVeyElementDefinition::CAttributes FadeAttributes(const char* displayRange, bool withFades)
{
    CVeyElementDefinition::CAttributes attributes{{"name", "f"},
                                                  {"position", "0,0"},
                                                  {"size", "128,10"},
                                                  {"displayRange", displayRange},
                                                  {"rangeLowerValueRef", "r.g.lo"},
                                                  {"rangeUpperValueRef", "r.g.hi"}};
    if (withFades)
    {
        attributes.emplace_back("fadeWidthLowerValueRef", "r.g.fwl");
        attributes.emplace_back("fadeWidthUpperValueRef", "r.g.fwu");
    }
    return attributes;
}
}

// The strip is 128 x 10 at (100, 50); the middle row (54) shows each box's fill colour.
TEST_F(FadeRange, BoxesCoverTheStripInOrder)
{
    const struct
    {
        const char* name;
        const char* displayRange;
        bool withFades;
        int32_t lower, upper, fadeLower, fadeUpper;
        std::vector<std::pair<int, COLORREF>> probes;   // column of row 54, colour
    } cases[] = {
        {"no fade widths: the range starts one pixel left of its lower position", "0,128", false, 40, 80, 10, 20,
         {{100, kOutside}, {138, kOutside}, {139, kRange}, {179, kRange}, {180, kOutside}, {227, kOutside}}},
        {"fade zones on both sides", "0,128", true, 40, 80, 10, 20,
         {{129, kOutside}, {130, kFade}, {138, kFade}, {139, kRange}, {179, kRange}, {180, kFade}, {199, kFade},
          {200, kOutside}}},
        {"fades past the display range end at the strip's edges", "32,96", true, 40, 90, 20, 20,
         {{100, kFade}, {114, kFade}, {115, kRange}, {215, kRange}, {216, kFade}, {227, kFade}, {228, kNothing}}},
        {"a range beyond the display range stays on the strip", "0,64", false, 32, 127, 0, 0,
         {{162, kOutside}, {163, kRange}, {227, kRange}, {228, kNothing}, {254, kNothing}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto control = Make(FadeAttributes(c.displayRange, c.withFades));
        ASSERT_NE(control, nullptr) << trace.Text();
        Set("lo", c.lower);
        Set("hi", c.upper);
        Set("fwl", c.fadeLower);
        Set("fwu", c.fadeUpper);
        control->UpdateFromValue();
        CGraphCanvas canvas(300, 80);
        control->Draw(canvas.info);
        for (const auto& probe : c.probes)
        {
            SCOPED_TRACE(testing::Message() << "column " << probe.first);
            EXPECT_EQ(canvas.At(probe.first, 54), probe.second);
        }
    }
}

TEST_F(FadeRange, BoxesAreBevelledTowardsWhiteAndBlack)
{
    auto control = Make(FadeAttributes("0,128", false));
    ASSERT_NE(control, nullptr);
    Set("lo", 40);
    Set("hi", 80);
    control->UpdateFromValue();
    CGraphCanvas canvas(300, 80);
    control->Draw(canvas.info);
    const struct
    {
        int y;
        COLORREF colour;
    } rows[] = {
        {50, RGB(0xB2, 0xF6, 0x8C)},   // 40% of the way to white
        {51, RGB(0xE5, 0xFC, 0xD8)},   // 80% of the way to white
        {54, kRange},
        {58, RGB(0x59, 0xA8, 0x2C)},   // 30% of the way to black
        {59, RGB(0x33, 0x60, 0x19)},   // 60% of the way to black
        {60, kNothing},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(testing::Message() << "row " << row.y);
        EXPECT_EQ(canvas.At(160, row.y), row.colour);
    }
    // The lines end on the last column of their box.
    EXPECT_NE(canvas.At(227, 50), kNothing);
    EXPECT_EQ(canvas.At(228, 50), kNothing);
}

TEST_F(FadeRange, FadeWidthsAreReadOnlyWhenBothAreBound)
{
    auto control = Make(FadeAttributes("0,128", false));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->GetValueRefCount(), 2);
    auto withFades = Make(FadeAttributes("0,128", true));
    ASSERT_NE(withFades, nullptr);
    EXPECT_EQ(withFades->GetValueRefCount(), 4);
    EXPECT_EQ(withFades->GetValue(CVeyFadeRangeControl::kFadeWidthUpperRef), FindTestValue("r.g.fwu"));
}

TEST_F(FadeRange, LoadRefusesBadAttributes)
{
    const auto with = [](const char* displayRange, std::initializer_list<const char*> drop) {
        return WithoutAttributes(FadeAttributes(displayRange, true), drop);
    };
    const CControlFault cases[] = {
        {"display 0 to 128", with("0,128", {}), nullptr},
        {"display 0 to 129", with("0,129", {}), "Display range upper is invalid for fade range. : f : 0,129\n"},
        {"display -1 to 10", with("-1,10", {}), "Display range lower is invalid for fade range. : f : -1,10\n"},
        {"display 20 to 10", with("20,10", {}), "Display range lower is invalid for fade range. : f : 20,10\n"},
        {"display of one number", with("5,5", {}), "Display range lower is invalid for fade range. : f : 5,5\n"},
        {"display not two numbers", with("x", {}), "Display range is invalid for fade range. : f :x\n"},
        {"no range upper", with("0,128", {"rangeUpperValueRef"}),
         "Either or both of range value references are not defined for fade range. : f\n"},
        {"one fade width", with("0,128", {"fadeWidthLowerValueRef"}),
         "Either of fade width value references is not defined for fade range. : f\n"},
    };
    ExpectFaultsReported(cases, ETraceMatch::kWhole, [](CVeyElementDefinition::CAttributes attributes) {
        CVeyFadeRangeControl control;
        return !control.LoadAttributes(attributes);
    });
}

TEST_F(FadeRange, WithoutADisplayRangeTheStripIsAllOutside)
{
    CVeyElementDefinition::CAttributes attributes{{"name", "f"},
                                                  {"size", "128,10"},
                                                  {"rangeLowerValueRef", "r.g.lo"},
                                                  {"rangeUpperValueRef", "r.g.hi"}};
    auto control = Make(attributes);
    ASSERT_NE(control, nullptr);
    Set("lo", 40);
    Set("hi", 80);
    control->UpdateFromValue();
    CGraphCanvas canvas(300, 80);
    control->Draw(canvas.info);
    for (int x : {100, 160, 227})
        EXPECT_EQ(canvas.At(x, 54), kOutside) << x;
}
