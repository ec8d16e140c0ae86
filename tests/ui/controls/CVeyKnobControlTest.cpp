#include "ControlFaultTable.h"
#include "DragTestSupport.h"

#include "tests/support/TraceCapture.h"
#include "ui/controls/CVeyControlFactory.h"
#include "ui/controls/CVeyKnobControl.h"

namespace
{
// A knob at (10, 20) in the parent at (100, 50): 20 x 20 from its bitmap, so (110, 70, 130, 90)
// with its centre at (120, 80).
struct Knob : DragTest
{
    void SetUp() override
    {
        DragTest::SetUp();
        AddBitmap("k64", 64, 20, 20);
        AddBitmap("k4", 4, 20, 20);
    }
    CVeyElementDefinition::CAttributes Attributes(const std::string& value, const std::string& bitmap = "k64")
    {
        return TestAttributes({{"name", "k"}, {"position", "10,20"}, {"size", "5,5"}, {"valueRef", "r.d." + value},
                               {"bitmapRef", bitmap}});
    }
};
}

TEST_F(Knob, PointsBecomeAnglesAroundTheCentre)
{
    CVeyKnobControl knob;
    ASSERT_TRUE(Make(knob, Attributes("level")));
    EXPECT_EQ(knob.GetRect(), CRect(110, 70, 130, 90));   // the bitmap's size, not the script's
    const struct
    {
        int x, y, angle;
    } cases[] = {
        {120, 90, 0},   {110, 80, 90},  {120, 70, 180}, {130, 80, 270}, {120, 80, 270},
        {110, 90, 45},  {110, 70, 135}, {130, 70, 225}, {130, 90, 315}, {121, 200, 360},   // just right of straight down rounds up to a full turn
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(knob.PointToAngle(CPoint(c.x, c.y)), c.angle);
    }
}

TEST_F(Knob, AnglesBecomeIndexesAndIndexesStates)
{
    CVeyKnobControl knob;
    ASSERT_TRUE(Make(knob, Attributes("level")));
    Value("level")->SetNumber(7);
    const struct
    {
        int32_t angle, index;
    } angles[] = {{180, 64}, {30, 0}, {330, 127}, {10, 0}, {350, 127}, {31, 0}, {32, 1}, {-1, 7}};
    for (const auto& c : angles)
    {
        SCOPED_TRACE(c.angle);
        EXPECT_EQ(knob.AngleToIndex(c.angle), c.index);
    }
    // 64 states over 128 indexes: 1 is 0.496 of a state and rounds down.
    const struct
    {
        int32_t index, state;
    } states[] = {{0, 0}, {1, 0}, {2, 1}, {64, 32}, {127, 63}, {500, 63}, {-3, 0}};
    for (const auto& c : states)
    {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(knob.IndexToState(c.index), c.state);
    }

    // Ten million indexes: the arithmetic must not overflow 32 bits.
    CVeyKnobControl wide;
    ASSERT_TRUE(Make(wide, Attributes("wide")));
    EXPECT_EQ(wide.AngleToIndex(180), 5000000);
    EXPECT_EQ(wide.AngleToIndex(330), 9999999);
    EXPECT_EQ(wide.IndexToState(9999999), 63);

    CVeyKnobControl narrow;
    auto attributes = Attributes("level");
    attributes.push_back({"angleRange", "90,270"});
    ASSERT_TRUE(Make(narrow, attributes));
    EXPECT_EQ(narrow.AngleToIndex(180), 64);
    EXPECT_EQ(narrow.AngleToIndex(45), 0);
    EXPECT_EQ(narrow.AngleToIndex(300), 127);
}

TEST_F(Knob, DraggingFollowsThePointersAngle)
{
    CVeyKnobControl knob;
    ASSERT_TRUE(Make(knob, Attributes("level")));
    CVeyValue* level = Value("level");
    level->SetNumber(0);

    auto press = Mouse(UL::MOUSE_DOWN, 120, 70);   // straight up: a press alone changes nothing
    EXPECT_TRUE(knob.OnMouse(press));
    EXPECT_TRUE(knob.IsCapturing());
    EXPECT_TRUE(knob.HasFocus());
    EXPECT_EQ(level->GetIndex(), 0);
    EXPECT_EQ(CVeyKnobControl::Anchor(), CPoint(120, 70));

    const struct
    {
        const char* name;
        int x, y;
        int32_t index;
    } moves[] = {
        {"right", 130, 80, 102},
        {"far outside, still captured", 400, 80, 102},
        {"lower right", 130, 90, 121},   // 315 degrees
        {"across the gap to the lower left is ignored", 110, 90, 121},
        {"back to the right", 130, 80, 102},
        {"up", 120, 60, 64},
    };
    for (const auto& m : moves)
    {
        SCOPED_TRACE(m.name);
        auto move = Mouse(UL::MOUSE_MOVE, m.x, m.y);
        EXPECT_TRUE(knob.OnMouse(move));
        EXPECT_EQ(level->GetIndex(), m.index);
    }
    knob.UpdateFromValue();
    EXPECT_EQ(knob.GetCurrentState(), 32);

    auto release = Mouse(UL::MOUSE_UP, 0, 0);
    EXPECT_TRUE(knob.OnMouse(release));
    EXPECT_FALSE(knob.IsCapturing());
    EXPECT_EQ(CVeyKnobControl::Anchor(), CVeyDragControl::NoPoint());
    // Not captured: moves and releases outside are not the knob's.
    auto outside = Mouse(UL::MOUSE_MOVE, 400, 80);
    EXPECT_FALSE(knob.OnMouse(outside));
    auto hover = Mouse(UL::MOUSE_MOVE, 120, 60);
    EXPECT_FALSE(knob.OnMouse(hover));
}

TEST_F(Knob, DrawsTheStateOfItsValue)
{
    CVeyKnobControl knob;
    ASSERT_TRUE(Make(knob, Attributes("level", "k4")));
    const struct
    {
        int32_t number, state;
    } cases[] = {{0, 0}, {43, 1}, {64, 2}, {127, 3}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.number);
        Value("level")->SetNumber(c.number);
        knob.UpdateFromValue();
        CCanvas canvas(200, 200);
        knob.Draw(canvas.info);
        EXPECT_EQ(canvas.At(110, 70), StateColour(c.state));
        EXPECT_EQ(canvas.At(129, 89), StateColour(c.state));
        EXPECT_EQ(canvas.At(130, 90), RGB(0, 0, 0));
    }
    // Moving keeps the bitmap's size and follows the value at once.
    Value("level")->SetNumber(127);
    knob.SetRect(CRect(0, 0, 100, 100));
    EXPECT_EQ(knob.GetRect(), CRect(0, 0, 20, 20));
    EXPECT_EQ(knob.GetCurrentState(), 3);
}

TEST_F(Knob, WheelKeysAndFocusGoThroughTheOperators)
{
    for (const char* useTipBar : {"1", "0"})
    {
        SCOPED_TRACE(useTipBar);
        CVeyKnobControl knob;
        auto attributes = Attributes("level");
        attributes.push_back({"useTipBar", useTipBar});
        ASSERT_TRUE(Make(knob, attributes));
        EXPECT_EQ(knob.GetTipBarOperator() != nullptr, std::string(useTipBar) == "1");
        Value("level")->SetNumber(10);

        UL::CWheelInfo wheel(0, 240, CPoint(120, 80), 0);
        EXPECT_TRUE(knob.OnMouseWheel(wheel));
        EXPECT_TRUE(knob.HasFocus());
        EXPECT_EQ(Value("level")->GetIndex(), 12);
        UL::CWheelInfo away(0, 240, CPoint(20, 80), 0);
        EXPECT_FALSE(knob.OnMouseWheel(away));
        EXPECT_TRUE(knob.OnValuesChanged({Value("level")}));

        UL::KeyInfo down{UL::KEYKIND_DOWN, UL::KEY_DOWN, 0};
        EXPECT_TRUE(knob.OnKey(down));
        EXPECT_EQ(Value("level")->GetIndex(), 11);

        // Losing the focus in the middle of a drag ends the drag.
        auto press = Mouse(UL::MOUSE_DOWN, 120, 70);
        knob.OnMouse(press);
        EXPECT_TRUE(knob.IsCapturing());
        knob.SetFocus(false);
        EXPECT_FALSE(knob.IsCapturing());
        knob.SetFocus(true);
        EXPECT_TRUE(knob.Close());
        EXPECT_FALSE(knob.HasFocus());
    }
}

TEST_F(Knob, ScriptFaultsAreReported)
{
    const CControlFault cases[] = {
        {"no bitmap", {{"name", "k"}, {"valueRef", "r.d.level"}}, "There is no bitmap reference for knob. : k.\n"},
        {"unknown bitmap", {{"name", "k"}, {"valueRef", "r.d.level"}, {"bitmapRef", "x"}},
         "Unable to find bitmap for knob. : k : x\n"},
        {"angle range not a pair", {{"name", "k"}, {"bitmapRef", "k4"}, {"angleRange", "90"}},
         "Angle range is invalid for knob. : k : 90\n"},
        {"angle range reversed", {{"name", "k"}, {"bitmapRef", "k4"}, {"angleRange", "200,100"}},
         "Angle max must be greater than angle min for knob. : k : 200,100\n"},
        {"angle range empty", {{"name", "k"}, {"bitmapRef", "k4"}, {"angleRange", "100,100"}},
         "Angle max must be greater than angle min for knob. : k : 100,100\n"},
        {"bad tip bar", {{"name", "k"}, {"bitmapRef", "k4"}, {"useTipBar", "2"}},
         "Use tip bar value must be 0 or 1. : k : 2\n"
         "Unable to convert tip bar operator for drag control. : k\n"},
        {"no value", {{"name", "k"}, {"bitmapRef", "k4"}}, "Value references are necessary for knob. : main.k.\n"},
        {"unknown value", {{"name", "k"}, {"bitmapRef", "k4"}, {"valueRef", "r.d.none"}},
         "Unable to convert value reference name r.d.none to value.\n"
         "Unable to associate view. : knob : k\n"
         "Unable to create control k.\n"
         "Unable to create drag control. : k\n"
         "Unable to create knob. : k\n"},
        {"text value", {{"name", "k"}, {"bitmapRef", "k4"}, {"valueRef", "r.d.title"}},
         "Referred value must be integer for knob. : main.k\n"},
        {"single index", {{"name", "k"}, {"bitmapRef", "k4"}, {"valueRef", "r.d.one"}},
         "Referred value range must be greater than 1 for knob. : main.k\n"},
        {"missing image", {{"name", "k"}, {"bitmapRef", "gone"}, {"valueRef", "r.d.level"}},
         "Unable to read bitmap file. : gone : $folder/gone.bmp\n"
         "Unable to create bitmap for knob. : main.k\n"},
        {"string table without a value",
         {{"name", "k"}, {"bitmapRef", "k4"}, {"stringTableRef", "names"}},
         "There is no value reference. : knob : main.k\n"
         "Unable to create tip bar operator for drag control. : main.k\n"
         "Unable to create knob. : main.k\n"},
    };
    auto missing = std::make_unique<CVeyStateBitmap>();
    missing->SetName("gone");
    CVeyResourceManager::GetInstance().GetBitmaps().Insert("gone", std::move(missing));
    auto table = CVeyStringTable::Create();
    table->Append("a");
    CVeyResourceManager::GetInstance().GetStringTables().Insert("names", std::move(table));
    // "$folder" stands for the bitmap folder, which is made afresh for each test.
    ExpectFaultsReported(cases, ETraceMatch::kWhole, [this](const CVeyElementDefinition::CAttributes& attributes) {
        CVeyKnobControl knob;
        return !Make(knob, attributes);
    }, folder.Path());
}

TEST_F(Knob, TheFactoryMakesKnobs)
{
    auto control = CVeyControlFactory::GetInstance().CreateControl(CVeyElementDefinition("knob"));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->GetTypeName(), "knob");
    EXPECT_NE(dynamic_cast<CVeyKnobControl*>(control.get()), nullptr);
}
