#include "ControlFaultTable.h"
#include "GraphTestSupport.h"

#include "ui/controls/CVeyEnvelopeControl.h"

#include "platform/Messages.h"
#include "platform/Wnd.h"

#include <vector>

namespace
{
using Envelope = GraphControlTest<CVeyEnvelopeControl>;

CVeyElementDefinition::CAttributes EnvelopeAttributes(bool withL0, bool withL4)
{
    CVeyElementDefinition::CAttributes attributes{
        {"name", "e"},          {"position", "0,0"},    {"size", "60,30"},      {"L1ValueRef", "r.g.l1"},
        {"L2ValueRef", "r.g.l2"}, {"L3ValueRef", "r.g.l3"}, {"T1ValueRef", "r.g.t1"}, {"T2ValueRef", "r.g.t2"},
        {"T3ValueRef", "r.g.t3"}, {"T4ValueRef", "r.g.t4"}};
    if (withL0)
        attributes.emplace_back("L0ValueRef", "r.g.l0");
    if (withL4)
        attributes.emplace_back("L4ValueRef", "r.g.l4");
    return attributes;
}
}

// The control is 60 x 30 at (100, 50): w = 58, h = 28, a time of index 127 of 128 steps
// (58 * 127 / 128) / 5 = 11 pixels, the sustain stretch 60 / 5 = 12 pixels, and a level of index i
// lies at 80 - 28 * i / 128 - 2.
TEST_F(Envelope, PointsFollowLevelsAndTimes)
{
    const struct
    {
        const char* name;
        bool withL0, withL4;
        int32_t l0, l1, l2, l3, l4, time;
        std::vector<CPoint> points;
    } cases[] = {
        {"without L0 and L4 the envelope starts and ends on the bottom line", false, false, 127, 127, 64, 32, 127, 127,
         {{101, 78}, {112, 51}, {123, 64}, {134, 71}, {146, 71}, {157, 78}, {158, 78}}},
        {"with L0 and L4", true, true, 64, 127, 64, 32, 127, 127,
         {{101, 64}, {112, 51}, {123, 64}, {134, 71}, {146, 71}, {157, 51}, {158, 51}}},
        {"times at index 0 stack the points", true, true, 127, 0, 64, 32, 64, 0,
         {{101, 51}, {101, 78}, {101, 64}, {101, 71}, {113, 71}, {113, 64}, {158, 64}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto control = Make(EnvelopeAttributes(c.withL0, c.withL4));
        ASSERT_NE(control, nullptr) << trace.Text();
        Set("l0", c.l0);
        Set("l1", c.l1);
        Set("l2", c.l2);
        Set("l3", c.l3);
        Set("l4", c.l4);
        for (const char* time : {"t1", "t2", "t3", "t4"})
            Set(time, c.time);
        control->UpdateFromValue();
        EXPECT_EQ(control->GetPoints(), c.points);
    }
}

TEST_F(Envelope, ALaterAttributeRepointsItsKey)
{
    auto attributes = EnvelopeAttributes(false, false);
    attributes.emplace_back("L1ValueRef", "r.g.l2");   // L1 now reads l2
    auto control = Make(attributes);
    ASSERT_NE(control, nullptr);
    Set("l1", 127);
    Set("l2", 0);
    control->UpdateFromValue();
    EXPECT_EQ(control->GetPoints()[1].y, 78);
}

TEST_F(Envelope, CreateListsTheMissingReferences)
{
    const auto without = [](std::initializer_list<const char*> names) {
        return WithoutAttributes(EnvelopeAttributes(true, true), names);
    };
    const CControlFault cases[] = {
        {"L2 and T4", without({"L2ValueRef", "T4ValueRef"}),
         "There is no value reference L2, T4 for envelope control e.\n"},
        {"all required ones",
         without({"L1ValueRef", "L2ValueRef", "L3ValueRef", "T1ValueRef", "T2ValueRef", "T3ValueRef", "T4ValueRef"}),
         "There is no value reference L1, L2, L3, T1, T2, T3, T4 for envelope control e.\n"},
        {"a path that names no value", [] {
             auto attributes = EnvelopeAttributes(false, false);
             attributes.emplace_back("L4ValueRef", "r.g.nothing");
             return attributes;
         }(),
         "Unable to create envelope control e.\n"},
    };
    ExpectFaultsReported(cases, ETraceMatch::kEnd,
                         [this](const CVeyElementDefinition::CAttributes& attributes) { return Make(attributes) == nullptr; });
}

TEST_F(Envelope, DrawsTheCurveWithItsGlow)
{
    auto control = Make(EnvelopeAttributes(false, false));
    ASSERT_NE(control, nullptr);
    Set("l1", 127);
    Set("l2", 64);
    Set("l3", 32);
    for (const char* time : {"t1", "t2", "t3", "t4"})
        Set(time, 127);
    control->UpdateFromValue();   // ... (134, 71), (146, 71) ...
    CGraphCanvas canvas(200, 100);
    control->Draw(canvas.info);
    const COLORREF background = kGraphBackground;
    const COLORREF curve = kGraphCurve;
    const COLORREF glow = kGraphGlow;
    const CProbe probes[] = {
        {100, 50, background}, {159, 55, background}, {160, 79, RGB(0, 0, 0)},
        {112, 51, curve},      {140, 71, curve},      {140, 70, glow},
        {140, 72, glow},       {140, 74, background}, {158, 78, curve},
    };
    ExpectProbes(canvas, probes);
}

// The graphs only display: a drag over one takes no mouse record and leaves the values and the
// change list alone.
TEST_F(Envelope, ADragOverTheGraphChangesNothing)
{
    auto control = Make(EnvelopeAttributes(true, true));
    ASSERT_NE(control, nullptr);
    Set("l1", 100);
    control->UpdateFromValue();
    CVeyBufferManager::GetInstance().ClearChanges();
    const auto before = control->GetPoints();
    const struct
    {
        UINT message;
        CPoint point;
    } gesture[] = {
        {WM_LBUTTONDOWN, CPoint(112, 55)}, {WM_MOUSEMOVE, CPoint(130, 70)}, {WM_LBUTTONUP, CPoint(130, 70)}};
    for (const auto& step : gesture)
    {
        UL::CMouseInfo info(step.message, step.point, step.message == WM_LBUTTONUP ? 0 : MK_LBUTTON);
        EXPECT_FALSE(control->OnMouse(info));
    }
    EXPECT_FALSE(control->IsCapturing());
    EXPECT_EQ(FindTestValue("r.g.l1")->GetIndex(), 100);
    EXPECT_TRUE(CVeyBufferManager::GetInstance().GetChangeList().empty());
    control->UpdateFromValue();
    EXPECT_EQ(control->GetPoints(), before);
}
