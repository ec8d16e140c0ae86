#include "ControlFaultTable.h"
#include "GraphTestSupport.h"

#include "ui/controls/CVeyBiasControl.h"
#include "ui/controls/VeyGraphPalette.h"

#include <vector>

namespace
{
using Bias = GraphControlTest<CVeyBiasControl>;

CVeyElementDefinition::CAttributes BiasAttributes(const char* size)
{
    return {{"name", "b"},
            {"position", "0,0"},
            {"size", size},
            {"levelValueRef", "r.g.lvl"},
            {"positionValueRef", "r.g.pos"},
            {"directionValueRef", "r.g.dir"}};
}
}

// The control sits at (100, 50). A 40 x 20 control has the plotting box 101 .. 138 by 51 .. 68
// (in hundredths 10100 .. 13800 by 5100 .. 6800, centre line 5950); a 20 x 100 control has
// 101 .. 118 by 51 .. 148 (centre line 9950), steep enough for the line to leave the box.
TEST_F(Bias, PointsFollowLevelPositionAndDirection)
{
    const struct
    {
        const char* name;
        const char* size;
        int32_t level, position, direction;
        std::vector<CPoint> points;
    } cases[] = {
        {"lowest position on the box's left edge", "40,20", 63, 0, 0, {{101, 59}, {101, 59}, {138, 59}}},
        {"highest position on right - 2", "40,20", 63, 127, 0, {{101, 59}, {138, 59}, {138, 59}}},
        {"middle level is flat, direction 0", "40,20", 63, 63, 0, {{101, 59}, {119, 59}, {138, 59}}},
        {"middle level is flat, direction 1", "40,20", 63, 63, 1, {{101, 59}, {119, 59}, {138, 59}}},
        {"middle level is flat, direction 2", "40,20", 63, 63, 2, {{101, 59}, {119, 59}, {138, 59}}},
        {"middle level is flat, direction 3", "40,20", 63, 63, 3, {{101, 59}, {119, 59}, {138, 59}}},
        {"left side slopes", "40,20", 127, 63, 0, {{101, 51}, {119, 59}, {138, 59}}},
        {"right side slopes", "40,20", 127, 63, 1, {{101, 59}, {119, 59}, {138, 51}}},
        {"both sides mirrored", "40,20", 127, 63, 2, {{101, 51}, {119, 59}, {138, 51}}},
        {"one straight line", "40,20", 127, 63, 3, {{101, 67}, {119, 59}, {138, 51}}},
        {"steep rise ends on the top", "20,100", 127, 127, 0, {{109, 51}, {118, 99}, {118, 99}}},
        {"steep fall ends on the bottom", "20,100", 0, 127, 0, {{109, 148}, {118, 99}, {118, 99}}},
        // Degenerate boxes and meaningless directions show the flat centre line.
        {"3 pixels wide: no plotting width", "3,20", 127, 63, 2, {{101, 59}, {101, 59}, {101, 59}}},
        {"2 pixels high: no plotting height", "40,2", 63, 63, 3, {{101, 50}, {119, 50}, {138, 50}}},
        {"direction above 3", "40,20", 127, 63, 5, {{101, 59}, {119, 59}, {138, 59}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto control = Make(BiasAttributes(c.size));
        ASSERT_NE(control, nullptr) << trace.Text();
        Set("lvl", c.level);
        Set("pos", c.position);
        Set("dir", c.direction);
        control->UpdateFromValue();
        EXPECT_EQ(control->GetPoints(), c.points);
    }
}

TEST_F(Bias, CreateRefusesWhatItCannotPlot)
{
    const CControlFault cases[] = {
        {"a fourth reference",
         {{"name", "b"}, {"size", "40,20"}, {"valueRef", "r.g.lvl"}, {"levelValueRef", "r.g.lvl"},
          {"positionValueRef", "r.g.pos"}, {"directionValueRef", "r.g.dir"}},
         "There is no value reference for bias control panel.b.\n"},
        {"a missing reference",
         {{"name", "b"}, {"size", "40,20"}, {"levelValueRef", "r.g.lvl"}, {"directionValueRef", "r.g.dir"}},
         "Unable to create bias control b.\n"},
        {"level of one value",
         {{"name", "b"}, {"size", "40,20"}, {"levelValueRef", "r.g.one"}, {"positionValueRef", "r.g.pos"},
          {"directionValueRef", "r.g.dir"}},
         "Level value for bias control panel.b must have some range.\n"},
        {"position of one value",
         {{"name", "b"}, {"size", "40,20"}, {"levelValueRef", "r.g.lvl"}, {"positionValueRef", "r.g.one"},
          {"directionValueRef", "r.g.dir"}},
         "Position value for bias control panel.b must have some range.\n"},
        {"no width",
         {{"name", "b"}, {"size", "0,20"}, {"levelValueRef", "r.g.lvl"}, {"positionValueRef", "r.g.pos"},
          {"directionValueRef", "r.g.dir"}},
         "Rectangle width for bias control panel.b can not be 0.\n"},
    };
    ExpectFaultsReported(cases, ETraceMatch::kEnd,
                         [this](const CVeyElementDefinition::CAttributes& attributes) { return Make(attributes) == nullptr; });
}

TEST_F(Bias, DrawsAxesAndAGlowingLine)
{
    auto control = Make(BiasAttributes("40,20"));
    ASSERT_NE(control, nullptr);
    Set("lvl", 127);
    Set("pos", 63);
    Set("dir", 0);
    control->UpdateFromValue();   // (101, 51), (119, 59), (138, 59)
    CGraphCanvas canvas(200, 100);
    control->Draw(canvas.info);

    const COLORREF background = kGraphBackground;
    const COLORREF axes = kGraphGrid;
    const COLORREF curve = kGraphCurve;
    const COLORREF glow = kGraphGlow;
    EXPECT_EQ(DrawnColour(VeyGraphPalette::kCurve), curve);
    const CProbe probes[] = {
        {100, 69, background}, {139, 69, background},   // the control's lower corners
        {140, 60, RGB(0, 0, 0)},                        // nothing right of the control
        {100, 60, axes}, {105, 60, axes}, {120, 50, axes}, {120, 69, axes},
        {101, 51, curve}, {119, 59, curve}, {130, 59, curve}, {138, 59, curve},
        {130, 58, glow}, {130, 60, glow},               // the wide stroke under the line
        {110, 65, background},
    };
    ExpectProbes(canvas, probes);

    // A draw whose clip list misses the control leaves the canvas alone.
    CGraphCanvas untouched(200, 100);
    const std::vector<CRect> elsewhere{CRect(0, 0, 10, 10)};
    control->Draw(UL::CDrawInfo(&untouched.dc, &elsewhere, nullptr));
    EXPECT_EQ(untouched.At(120, 60), RGB(0, 0, 0));
}
