#include "ControlFaultTable.h"
#include "DragTestSupport.h"

#include "model/CVeyTextWriter.h"
#include "tests/support/TraceCapture.h"
#include "ui/controls/CVeyBarControls.h"
#include "ui/controls/CVeyTextOperator.h"

namespace
{
class CRecordingTextWriter : public CVeyTextWriter
{
public:
    bool SetFont(const CVeyFontSettings&) override { return true; }
    bool GetFont(CVeyFontSettings&) const override { return true; }
    void Draw(const UL::CDrawInfo&, const CRect&, const std::string& text) override { drawn.push_back(text); }
    std::vector<std::string> drawn;
};

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// In the parent at (100, 50): vertical controls at (110, 70, 120, 170), horizontal ones at
// (110, 70, 210, 80). "bar" is one 100 x 100 state marked green in its bottom-right pixel.
struct BarControls : DragTest
{
    void SetUp() override
    {
        DragTest::SetUp();
        AddBitmap("small", 1, 50, 50);
        CBitmap strip;
        strip.CreateBitmap(100, 100);
        CDC dc;
        dc.SelectObject(&strip);
        dc.FillSolidRect(RECT{0, 0, 100, 100}, StateColour(0));
        dc.SetPixel(99, 99, kGreen);
        ASSERT_TRUE(strip.SaveFile(folder.File("bar.bmp").c_str(), "BMP"));
        auto bitmap = std::make_unique<CVeyStateBitmap>();
        auto attributes = TestAttributes({{"name", "bar"}, {"stateCount", "1"}});
        ASSERT_TRUE(bitmap->Load(attributes));
        CVeyResourceManager::GetInstance().GetBitmaps().Insert("bar", std::move(bitmap));
        for (const char* name : {"w0", "w1"})
        {
            auto writer = std::make_unique<CRecordingTextWriter>();
            writers.push_back(writer.get());
            CVeyResourceManager::GetInstance().GetTextWriters().Insert(name, std::move(writer));
        }
    }
    static CVeyElementDefinition::CAttributes Placed(bool horizontal, CVeyElementDefinition::CAttributes more)
    {
        auto attributes = TestAttributes({{"name", "b"},
                                          {"position", "10,20"},
                                          {"size", horizontal ? "100,10" : "10,100"},
                                          {"direction", horizontal ? "1" : "0"}});
        attributes.insert(attributes.end(), more.begin(), more.end());
        return attributes;
    }
    std::vector<CRecordingTextWriter*> writers;
};
}

TEST_F(BarControls, TheBarGraphShowsTheLevelAgainstTheFullScale)
{
    const struct
    {
        const char* name;
        bool horizontal;
        int32_t full, level;
        CRect bar;
    } cases[] = {
        {"half", false, 100, 50, {110, 120, 120, 170}},
        {"over full", false, 50, 60, {110, 70, 120, 170}},
        {"full scale 0", false, 0, 50, {110, 170, 120, 170}},
        {"nothing", false, 100, 0, {110, 170, 120, 170}},
        {"horizontal quarter", true, 100, 25, {110, 70, 135, 80}},
        {"horizontal third", true, 120, 40, {110, 70, 143, 80}},
        {"negative level", false, 100, -20, {110, 170, 120, 170}},
        {"negative level, horizontal", true, 100, -20, {110, 70, 110, 80}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CVeyBarGraphControl graph;
        ASSERT_TRUE(Make(graph, Placed(c.horizontal, {{"bitmapRef", "bar"}, {"valueRef", "r.d.level"},
                                                      {"valueRef", "r.d.signed"}})));
        Value("level")->SetNumber(c.full);
        Value("signed")->SetNumber(c.level);
        ASSERT_EQ(Value("signed")->GetNumber(), c.level);
        graph.UpdateFromValue();
        EXPECT_EQ(graph.GetBarRect(), c.bar);
    }

    // The bar is cut from the state's corners: its bottom-right pixel is the state's.
    CVeyBarGraphControl graph;
    ASSERT_TRUE(Make(graph, Placed(false, {{"bitmapRef", "bar"}, {"valueRef", "r.d.level"}, {"valueRef", "r.d.pan"}})));
    Value("level")->SetNumber(100);
    Value("pan")->SetNumber(50);
    graph.SetRect(graph.GetRect());
    CCanvas canvas(300, 200);
    graph.Draw(canvas.info);
    EXPECT_EQ(canvas.At(110, 120), StateColour(0));
    EXPECT_EQ(canvas.At(119, 169), kGreen);
    EXPECT_EQ(canvas.At(110, 119), kBlack);
}

TEST_F(BarControls, BarGraphFaultsAreReported)
{
    const CControlFault cases[] = {
        {"no bitmap", {{"name", "g"}}, "There is no bitmap reference. : barGraph : g\n"},
        {"unknown bitmap", {{"name", "g"}, {"bitmapRef", "x"}}, "Unable to find bitmap. : barGraph : g : x\n"},
        {"direction not a number", {{"name", "g"}, {"bitmapRef", "bar"}, {"direction", "up"}},
         "Direction is invalid. : barGraph : g : up\n"},
        {"direction 2", {{"name", "g"}, {"bitmapRef", "bar"}, {"direction", "2"}},
         "Direction must be 0 or 1. : barGraph : g : 2\n"},
        {"one value", {{"name", "g"}, {"bitmapRef", "bar"}, {"valueRef", "r.d.level"}},
         "Two value references are necessary. : barGraph : main.g\n"},
        {"state smaller than the control",
         {{"name", "g"}, {"bitmapRef", "small"}, {"size", "50,51"}, {"valueRef", "r.d.level"}, {"valueRef", "r.d.pan"}},
         "Bitmap state size must be larger than draw area. : barGraph : main.g\n"},
    };
    ExpectFaultsReported(cases, ETraceMatch::kWhole, [this](const CVeyElementDefinition::CAttributes& attributes) {
        CVeyBarGraphControl graph;
        return !Make(graph, attributes);
    });
}

TEST_F(BarControls, TheBarSliderRunsFromItsBase)
{
    // Horizontal over pan (0..127) with its base at 64: the base line sits at 159..161.
    CVeyBarSliderControl slider;
    ASSERT_TRUE(Make(slider, Placed(true, {{"valueRef", "r.d.pan"}, {"baseValue", "64"}})));
    EXPECT_TRUE(slider.HasBaseLine());
    EXPECT_EQ(slider.GetBaseLineRect(), CRect(159, 70, 161, 80));
    const struct
    {
        int32_t number;
        CRect bar;
    } bars[] = {
        {100, {161, 70, 189, 80}}, {30, {133, 70, 159, 80}}, {64, {159, 70, 159, 80}},
        {127, {161, 70, 210, 80}}, {0, {110, 70, 159, 80}},
    };
    for (const auto& c : bars)
    {
        SCOPED_TRACE(c.number);
        Value("pan")->SetNumber(c.number);
        slider.UpdateFromValue();
        EXPECT_EQ(slider.GetBarRect(), c.bar);
    }
    const struct
    {
        const char* name;
        int x, y;
        int32_t index;
    } points[] = {
        {"on the base line", 160, 75, 64}, {"base line's left edge", 159, 75, 64},
        {"base line's right edge", 161, 75, 64}, {"right of the base", 189, 75, 100},
        {"left of the base", 133, 75, 30}, {"start", 110, 75, 0},
        {"end", 210, 75, 127}, {"far above: finer", 189, -25, 76},
    };
    for (const auto& c : points)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(slider.PointToIndex(CPoint(c.x, c.y)), c.index);
    }

    // At the end of the range: no base line, no gap. Vertical over low (10..20), base 10.
    CVeyBarSliderControl vertical;
    ASSERT_TRUE(Make(vertical, Placed(false, {{"valueRef", "r.d.low"}, {"baseValue", "10"}})));
    EXPECT_FALSE(vertical.HasBaseLine());
    Value("low")->SetNumber(12);
    vertical.UpdateFromValue();
    EXPECT_EQ(vertical.GetBarRect(), CRect(110, 150, 120, 170));
    EXPECT_EQ(vertical.PointToIndex(CPoint(115, 150)), 2);
    EXPECT_EQ(vertical.PointToIndex(CPoint(115, 70)), 10);
    EXPECT_EQ(vertical.PointToIndex(CPoint(115, 170)), 0);
}

TEST_F(BarControls, TheBarSliderDrawsBaseLineBarAndText)
{
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        COLORREF baseLine;
    } cases[] = {
        {"own base line colour", {{"baseLineColor", "32512,0,0"}}, RGB(127, 0, 0)},
        {"base line in the bar colour", {}, RGB(0, 0, 127)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto attributes = Placed(true, {{"valueRef", "r.d.pan"}, {"baseValue", "64"}, {"barColor", "0,0,32512"}});
        attributes.insert(attributes.end(), c.attributes.begin(), c.attributes.end());
        CVeyBarSliderControl slider;
        ASSERT_TRUE(Make(slider, attributes));
        Value("pan")->SetNumber(100);
        slider.UpdateFromValue();
        CCanvas canvas(300, 200);
        slider.Draw(canvas.info);
        EXPECT_EQ(canvas.At(159, 75), c.baseLine);
        EXPECT_EQ(canvas.At(161, 75), RGB(0, 0, 127));
        EXPECT_EQ(canvas.At(188, 79), RGB(0, 0, 127));
        EXPECT_EQ(canvas.At(189, 75), kBlack);
        EXPECT_EQ(canvas.At(158, 75), kBlack);
    }

    // With a bitmap the bar is cut from it; the text shows the value.
    CVeyBarSliderControl slider;
    ASSERT_TRUE(Make(slider, Placed(true, {{"valueRef", "r.d.pan"}, {"bitmapRef", "bar"}, {"textWriterRef", "w0"},
                                          {"textWriterRef", "w1"}, {"offsetValue", "-64"}})));
    ASSERT_NE(slider.GetTextOperator(), nullptr);
    EXPECT_NE(slider.GetTipBarOperator(), nullptr);
    Value("pan")->SetNumber(100);
    slider.UpdateFromValue();
    EXPECT_EQ(slider.GetBarRect(), CRect(110, 70, 189, 80));
    CCanvas canvas(300, 200);
    slider.Draw(canvas.info);
    EXPECT_EQ(canvas.At(110, 70), StateColour(0));
    EXPECT_EQ(canvas.At(188, 79), kGreen);
    EXPECT_EQ(writers[0]->drawn, std::vector<std::string>{"36"});
}

TEST_F(BarControls, ADisabledBarSliderIgnoresInputAndDrawsWithTheSecondWriter)
{
    CVeyBarSliderControl slider;
    ASSERT_TRUE(Make(slider, Placed(true, {{"valueRef", "r.d.pan"}, {"enableCondition", "r.d.level,50,&gt;"},
                                          {"textWriterRef", "w0"}, {"textWriterRef", "w1"}})));
    EXPECT_EQ(slider.GetValueRefCount(), 2);   // the condition's value joined the references
    Value("level")->SetNumber(10);
    Value("pan")->SetNumber(3);
    EXPECT_FALSE(slider.IsEnabled());
    auto press = Mouse(UL::MOUSE_DOWN, 189, 75);
    EXPECT_FALSE(slider.OnMouse(press));
    UL::CWheelInfo wheel(0, 120, CPoint(150, 75), 0);
    EXPECT_FALSE(slider.OnMouseWheel(wheel));
    UL::KeyInfo up{UL::KEYKIND_DOWN, UL::KEY_UP, 0};
    EXPECT_FALSE(slider.OnKey(up));
    EXPECT_EQ(Value("pan")->GetIndex(), 3);
    CCanvas canvas(300, 200);
    slider.Draw(canvas.info);
    EXPECT_TRUE(writers[0]->drawn.empty());
    EXPECT_EQ(writers[1]->drawn.size(), 1u);

    Value("level")->SetNumber(60);
    EXPECT_TRUE(slider.IsEnabled());
    EXPECT_TRUE(slider.OnMouse(press));
    EXPECT_EQ(Value("pan")->GetIndex(), 100);
    EXPECT_TRUE(slider.OnMouseWheel(wheel));
    EXPECT_EQ(Value("pan")->GetIndex(), 101);
    slider.Draw(canvas.info);
    EXPECT_EQ(writers[0]->drawn.size(), 1u);
}

TEST_F(BarControls, ADragThatDisablesTheSliderStillEnds)
{
    // Enabled while pan is below 100: dragging past it must not leave the capture held.
    CVeyBarSliderControl slider;
    CTraceCapture trace;
    ASSERT_TRUE(Make(slider, Placed(true, {{"valueRef", "r.d.pan"}, {"enableCondition", "r.d.pan,100,&lt;"}})))
        << trace.Text();
    Value("pan")->SetNumber(3);
    auto press = Mouse(UL::MOUSE_DOWN, 133, 75);
    EXPECT_TRUE(slider.OnMouse(press));
    auto move = Mouse(UL::MOUSE_MOVE, 200, 75);
    EXPECT_TRUE(slider.OnMouse(move));
    EXPECT_FALSE(slider.IsEnabled());
    auto back = Mouse(UL::MOUSE_MOVE, 133, 75);
    EXPECT_FALSE(slider.OnMouse(back));
    EXPECT_GE(Value("pan")->GetIndex(), 100);
    auto release = Mouse(UL::MOUSE_UP, 133, 75);
    EXPECT_TRUE(slider.OnMouse(release));
    EXPECT_FALSE(slider.IsCapturing());
    EXPECT_EQ(CVeyBarSliderControl::LastPoint(), CVeyDragControl::NoPoint());
}

TEST_F(BarControls, BarSliderFaultsAreReported)
{
    const CControlFault cases[] = {
        {"unknown bitmap", {{"bitmapRef", "x"}}, "Unable to find bitmap for bar slider. : b : x\n"},
        {"direction not a number", {{"direction", "up"}}, "Direction is invalid for bar slider. : b : up\n"},
        {"direction 2", {{"direction", "2"}}, "Direction must be 0 or 1 for bar slider. : b : 2\n"},
        {"base not a number", {{"baseValue", "mid"}}, "Base value is invalid for bar slider. : b : mid\n"},
        {"base line colour", {{"baseLineColor", "red"}}, "Base line color red is invalid for bar slider. : b\n"},
        {"bar colour", {{"barColor", "1,2"}}, "Bar color 1,2 is invalid for bar slider. : b\n"},
        {"unknown text writer", {{"textWriterRef", "w9"}},
         "Unable to find text writer. : barSlider : b : w9\n"
         "Unable to convert text operator for bar slider. : b\n"},
        {"no value", {}, "Value references are necessary for bar slider. : main.b.\n"},
        // The condition's value is not one to edit.
        {"only the condition's value", {{"enableCondition", "r.d.level,50,&gt;"}},
         "Value references are necessary for bar slider. : main.b.\n"},
        {"text value", {{"valueRef", "r.d.title"}}, "Referred value must be integer for bar slider. : main.b\n"},
        {"single index", {{"valueRef", "r.d.one"}, {"baseValue", "5"}},
         "Referred value range must be greater than 1 for bar slider. : main.b\n"},
        {"base below the range", {{"valueRef", "r.d.low"}}, "Base value is out of range for bar slider. : main.b\n"},
        {"base above the range", {{"valueRef", "r.d.low"}, {"baseValue", "21"}},
         "Base value is out of range for bar slider. : main.b\n"},
    };
    ExpectFaultsReported(cases, ETraceMatch::kWhole, [this](const CVeyElementDefinition::CAttributes& own) {
        CVeyBarSliderControl slider;
        auto attributes = TestAttributes({{"name", "b"}, {"size", "10,100"}});
        attributes.insert(attributes.end(), own.begin(), own.end());
        return !Make(slider, attributes);
    });
}

TEST_F(BarControls, ABarOfNoLengthDoesNotDivideByZero)
{
    for (const char* size : {"0,0", "2,10", "1,1"})
    {
        SCOPED_TRACE(size);
        CVeyBarSliderControl slider;
        ASSERT_TRUE(Make(slider, TestAttributes({{"name", "b"}, {"size", size}, {"direction", "1"},
                                                 {"valueRef", "r.d.pan"}, {"baseValue", "64"}})));
        Value("pan")->SetNumber(7);
        const CRect rect = slider.GetRect();
        for (int dx = -4; dx <= 4; ++dx)
            for (int dy = -4; dy <= 4; ++dy)
            {
                const int32_t index = slider.PointToIndex(CPoint(rect.left + dx, rect.top + dy));
                EXPECT_TRUE(index >= 0 && index <= 127) << dx << "," << dy << ": " << index;
            }
    }
}
