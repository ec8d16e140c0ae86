#include "ControlFaultTable.h"
#include "GraphTestSupport.h"

#include "ui/controls/CVeyLfoControl.h"

#include <algorithm>
#include <vector>

namespace
{
struct Lfo : GraphControlTest<CVeyLfoControl>
{
    // A 120 x 60 control at (100, 50): columns 101 .. 218 are plotted, the amplitude is
    // trunc((51 - 109) * 100 / 400) = -14 pixels around the centre row 80, and at rate 0 a period
    // is near(118 / 2 / 1.125) = 52 pixels.
    std::unique_ptr<CVeyLfoControl> MakeLfo()
    {
        return Make({{"name", "l"},
                     {"position", "0,0"},
                     {"size", "120,60"},
                     {"waveFormValueRef", "r.g.wave"},
                     {"rateValueRef", "r.g.rate"},
                     {"offsetValueRef", "r.g.ofs"},
                     {"delayTimeValueRef", "r.g.delay"},
                     {"fadeModeValueRef", "r.g.fmode"},
                     {"fadeTimeValueRef", "r.g.fade"}});
    }

    struct CSettings
    {
        int32_t wave = 0, rate = 0, offset = 2, delay = 0, fadeMode = 0, fade = 0;
    };

    std::vector<CPoint> Plot(CVeyLfoControl& control, const CSettings& s)
    {
        Set("wave", s.wave);
        Set("rate", s.rate);
        Set("ofs", s.offset);
        Set("delay", s.delay);
        Set("fmode", s.fadeMode);
        Set("fade", s.fade);
        control.UpdateFromValue();
        return control.GetPoints();
    }

    // The plotted row of a column.
    static int32_t RowAt(const std::vector<CPoint>& points, int32_t x) { return points.at(x - 101).y; }
};
}

TEST(LfoRandomNumbers, FollowTheCRuntimeSequence)
{
    CVeyLfoControl::CRandomNumbers::Seed(1);
    const int32_t expected[] = {41, 18467, 6334, 26500, 19169};
    for (int32_t value : expected)
        EXPECT_EQ(CVeyLfoControl::CRandomNumbers::Next(), value);
}

TEST(LfoRate, CyclesPerUnitOfTheRateIndex)
{
    const struct
    {
        int32_t rate;
        double cycles;
    } cases[] = {
        {0, 2.0}, {127, 32.0}, {128, 32.0}, {148, 6 * 30.0 / 127.0 + 2.0}, {149, 2.0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.rate);
        EXPECT_DOUBLE_EQ(CVeyLfoControl::CyclesPerUnit(c.rate), c.cycles);
    }
}

TEST_F(Lfo, WaveFormsAtKnownColumns)
{
    auto control = MakeLfo();
    ASSERT_NE(control, nullptr) << trace.Text();
    const struct
    {
        const char* name;
        int32_t wave, offset;
        std::vector<std::pair<int32_t, int32_t>> rows;   // column, row
    } cases[] = {
        // Positive levels go up: a quarter period (13 columns) in, the sine is at its top.
        {"sine", 0, 2, {{101, 80}, {114, 66}, {127, 80}, {140, 94}, {153, 80}}},
        {"sine with offset index 0 sits lower", 0, 0, {{101, 95}, {114, 81}, {140, 109}}},
        {"sine with offset index 4 sits higher", 0, 4, {{101, 65}, {114, 51}, {140, 79}}},
        {"triangle", 1, 2, {{101, 80}, {113, 67}, {114, 66}, {115, 67}, {127, 80}, {140, 94}}},
        {"square switches with no slope", 4, 2, {{101, 66}, {126, 66}, {127, 94}, {152, 94}, {153, 66}}},
        {"saw up", 2, 2, {{101, 94}, {127, 80}, {152, 67}, {153, 94}}},
        {"saw down", 3, 2, {{101, 66}, {127, 80}, {152, 93}, {153, 66}}},
        {"bend up: one ramp, then the offset line", 6, 2, {{101, 94}, {127, 87}, {152, 80}, {153, 80}, {218, 80}}},
        {"bend down", 7, 2, {{101, 66}, {127, 73}, {153, 80}, {218, 80}}},
        {"trapezoid", 8, 2, {{101, 80}, {108, 66}, {120, 66}, {127, 80}, {134, 94}, {146, 94}}},
        {"unknown wave form: the centre line", 11, 2, {{101, 80}, {114, 80}, {218, 80}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CSettings settings;
        settings.wave = c.wave;
        settings.offset = c.offset;
        const auto points = Plot(*control, settings);
        ASSERT_EQ(points.size(), 118u);
        EXPECT_EQ(points.front().x, 101);
        EXPECT_EQ(points.back().x, 218);
        for (const auto& row : c.rows)
            EXPECT_EQ(RowAt(points, row.first), row.second) << "column " << row.first;
    }
}

TEST_F(Lfo, RateSetsThePeriodNeverBelowFourPixels)
{
    auto control = MakeLfo();
    ASSERT_NE(control, nullptr);
    const struct
    {
        int32_t rate;
        int32_t period;
    } cases[] = {
        {0, 52},
        {64, 6},    // near(118 / (64 * 30 / 127 + 2) / 1.125)
        {127, 4},   // 3 pixels by the formula
        {128, 4},   // plots like 127
        {148, 31},  // plots like 6
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.rate);
        CSettings settings;
        settings.wave = 2;   // saw: a jump at every period
        settings.rate = c.rate;
        const auto points = Plot(*control, settings);
        const size_t period = static_cast<size_t>(c.period);
        for (size_t i = 0; i + period < points.size(); ++i)
            ASSERT_EQ(points[i].y, points[i + period].y) << "column " << points[i].x;
        EXPECT_NE(points[period - 1].y, points[period].y);   // the saw jumps back there
    }
}

TEST_F(Lfo, FadeModesAndMarkers)
{
    auto control = MakeLfo();
    ASSERT_NE(control, nullptr);
    CSettings sine;
    const auto full = Plot(*control, sine);
    EXPECT_EQ(control->GetDelayMarkerX(), 101);
    EXPECT_EQ(control->GetFadeMarkerX(), 101);

    CSettings fadeOut = sine;
    fadeOut.fadeMode = 1;   // with no delay and no fade time: flat at once
    for (const CPoint& point : Plot(*control, fadeOut))
        ASSERT_EQ(point.y, 80) << point.x;

    CSettings unknownMode = sine;
    unknownMode.fadeMode = 5;   // does not fade
    EXPECT_EQ(Plot(*control, unknownMode), full);

    // Delay and fade at 127 end at half and the whole of the unit range: columns
    // near(0.5 * 118 / 1.125 + 101) = 153 and near(1.0 * 118 / 1.125 + 101) = 206.
    CSettings slowFadeIn = sine;
    slowFadeIn.delay = 127;
    slowFadeIn.fade = 127;
    const auto faded = Plot(*control, slowFadeIn);
    EXPECT_EQ(control->GetDelayMarkerX(), 153);
    EXPECT_EQ(control->GetFadeMarkerX(), 206);
    EXPECT_EQ(RowAt(faded, 140), 80);                      // still in the delay
    EXPECT_EQ(RowAt(faded, 166), 77);                      // the sine's top (66), faded in to 0.24
    EXPECT_EQ(RowAt(faded, 210), RowAt(full, 210));        // fully faded in
}

TEST_F(Lfo, RandomWaveFormsGiveTheSameCurveOnEveryRedraw)
{
    auto control = MakeLfo();
    auto other = MakeLfo();
    ASSERT_NE(control, nullptr);
    ASSERT_NE(other, nullptr);
    for (int32_t wave : {5, 9, 10})
    {
        for (int32_t rate : {0, 127})
        {
            SCOPED_TRACE(testing::Message() << "wave " << wave << " rate " << rate);
            CSettings settings;
            settings.wave = wave;
            settings.rate = rate;
            const auto first = Plot(*control, settings);
            CVeyLfoControl::CRandomNumbers::Next();   // whatever ran in between
            EXPECT_EQ(Plot(*control, settings), first);
            EXPECT_EQ(Plot(*other, settings), first);
            // Random levels lie between -1 and 1: the curve stays within one amplitude of the
            // centre, also where the random steps are shorter than a column.
            for (const CPoint& point : first)
            {
                ASSERT_GE(point.y, 66) << point.x;
                ASSERT_LE(point.y, 94) << point.x;
            }
            if (wave == 9 && rate == 0)   // sample and hold: one level per period
            {
                for (int32_t x = 101; x < 153; ++x)
                    ASSERT_EQ(RowAt(first, x), RowAt(first, 101)) << x;
            }
        }
    }
}

TEST_F(Lfo, CreateNeedsExactlySixReferences)
{
    const CControlFault cases[] = {
        {"a seventh reference",
         {{"name", "l"}, {"size", "120,60"}, {"valueRef", "r.g.wave"}, {"waveFormValueRef", "r.g.wave"},
          {"rateValueRef", "r.g.rate"}, {"offsetValueRef", "r.g.ofs"}, {"delayTimeValueRef", "r.g.delay"},
          {"fadeModeValueRef", "r.g.fmode"}, {"fadeTimeValueRef", "r.g.fade"}},
         "LFO control l needs exactly six value references.\n"},
        {"a missing reference",
         {{"name", "l"}, {"size", "120,60"}, {"waveFormValueRef", "r.g.wave"}, {"rateValueRef", "r.g.rate"},
          {"offsetValueRef", "r.g.ofs"}, {"delayTimeValueRef", "r.g.delay"}, {"fadeModeValueRef", "r.g.fmode"}},
         "Unable to create LFO control l.\n"},
    };
    ExpectFaultsReported(cases, ETraceMatch::kEnd,
                         [this](const CVeyElementDefinition::CAttributes& attributes) { return Make(attributes) == nullptr; });
}

TEST_F(Lfo, DrawsCentreLineMarkersAndTheCurve)
{
    auto control = MakeLfo();
    ASSERT_NE(control, nullptr);
    CSettings settings;
    settings.delay = 127;
    settings.fade = 127;
    const auto points = Plot(*control, settings);
    CGraphCanvas canvas(300, 150);
    control->Draw(canvas.info);
    const COLORREF background = kGraphBackground;
    const COLORREF grid = kGraphGrid;
    const COLORREF curve = kGraphCurve;
    const COLORREF glow = kGraphGlow;
    const CProbe probes[] = {
        {100, 50, background}, {219, 109, background}, {220, 80, RGB(0, 0, 0)},
        {153, 50, grid},       {153, 109, grid},       {206, 50, grid},       {206, 109, grid},
        {150, 52, background}, {215, 80, grid},        {219, 80, grid},
        {120, 80, curve},      {120, 79, glow},        {120, 81, glow},       {120, 83, background},
    };
    ExpectProbes(canvas, probes);
    for (int32_t x : {170, 190, 210, 218})
        EXPECT_EQ(canvas.At(x, RowAt(points, x)), curve) << x;
}
