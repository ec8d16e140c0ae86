// What the drag controls share, as one table of cases across the types: a Ctrl+click puts the
// value back to its default and starts no drag; with Shift or the right button as well, or
// without Ctrl, the press drags as usual.
#include "DragTestSupport.h"

#include "ui/controls/CVeyBarControls.h"
#include "ui/controls/CVeyKnobControl.h"
#include "ui/controls/CVeySliderControl.h"

#include <functional>
#include <memory>
#include <vector>

namespace
{
struct CPress
{
    const char* name;
    uint32_t flags;
    int32_t index;   // of the value after the press
    bool capturing;
};

// One control type in the parent at (100, 50): how it is made over its value, where it is
// pressed, its cases, and what else a press leaves.
struct CDragType
{
    const char* name;
    const char* value;   // below r.d, set to 3 before each press
    CPoint press;
    std::function<CVeyElementDefinition::CAttributes()> attributes;
    std::function<std::unique_ptr<CVeyDragControl>()> make;
    std::vector<CPress> presses;
    std::function<void(CVeyDragControl&, const CPress&)> after;
};

struct DragControls : DragTest
{
    void SetUp() override
    {
        DragTest::SetUp();
        AddBitmap("k64", 64, 20, 20);
        AddBitmap("wide", 1, 10, 6);
    }
};
}

TEST_F(DragControls, CtrlClickRestoresTheDefaultAndOtherPressesDrag)
{
    const CDragType types[] = {
        {"knob at (110, 70, 130, 90)", "level", {125, 75},
         [] {
             return TestAttributes({{"name", "k"}, {"position", "10,20"}, {"size", "5,5"}, {"valueRef", "r.d.level"},
                                    {"bitmapRef", "k64"}});
         },
         [] { return std::make_unique<CVeyKnobControl>(); },
         {
             {"ctrl", UL::MOUSE_CTRL, 100, false},
             {"ctrl shift", UL::MOUSE_CTRL | UL::MOUSE_SHIFT, 3, true},
             {"ctrl right button", UL::MOUSE_CTRL | UL::MOUSE_RIGHT, 3, true},
             {"plain", 0, 3, true},
         },
         [](CVeyDragControl&, const CPress& c) {
             // A drag keeps its anchor; a restored default leaves none behind.
             EXPECT_EQ(CVeyKnobControl::Anchor() == CVeyDragControl::NoPoint(), !c.capturing);
         }},
        {"horizontal slider on the track (110, 70, 210, 80)", "level", {160, 75},
         [] {
             return TestAttributes({{"name", "s"}, {"position", "10,20"}, {"size", "100,10"}, {"valueRef", "r.d.level"},
                                    {"bitmapRef", "wide"}, {"direction", "1"}});
         },
         [] { return std::make_unique<CVeySliderControl>(); },
         {
             {"ctrl", UL::MOUSE_CTRL, 100, false},
             {"ctrl shift drags", UL::MOUSE_CTRL | UL::MOUSE_SHIFT, 64, true},
             {"ctrl right button drags", UL::MOUSE_CTRL | UL::MOUSE_RIGHT, 64, true},
         },
         nullptr},
        {"horizontal bar slider over pan with its base at 64", "pan", {189, 75},
         [] {
             return TestAttributes({{"name", "b"}, {"position", "10,20"}, {"size", "100,10"}, {"direction", "1"},
                                    {"valueRef", "r.d.pan"}, {"baseValue", "64"}});
         },
         [] { return std::make_unique<CVeyBarSliderControl>(); },
         {
             {"plain", 0, 100, true},
             {"ctrl", UL::MOUSE_CTRL, 64, false},
             {"ctrl shift", UL::MOUSE_CTRL | UL::MOUSE_SHIFT, 100, true},
             {"ctrl right button", UL::MOUSE_CTRL | UL::MOUSE_RIGHT, 100, true},
         },
         [](CVeyDragControl& slider, const CPress& c) {
             if (!c.capturing)
                 return;
             // The drag follows the pointer and ends with the release.
             auto move = Mouse(UL::MOUSE_MOVE, 133, 75);
             EXPECT_TRUE(slider.OnMouse(move));
             EXPECT_EQ(FindTestValue("r.d.pan")->GetIndex(), 30);
             auto release = Mouse(UL::MOUSE_UP, 133, 75);
             EXPECT_TRUE(slider.OnMouse(release));
             EXPECT_EQ(CVeyBarSliderControl::LastPoint(), CVeyDragControl::NoPoint());
         }},
    };
    for (const CDragType& type : types)
        for (const CPress& c : type.presses)
        {
            SCOPED_TRACE(std::string(type.name) + ": " + c.name);
            std::unique_ptr<CVeyDragControl> control = type.make();
            ASSERT_TRUE(Make(*control, type.attributes()));
            Value(type.value)->SetNumber(3);
            control->UpdateFromValue();
            auto press = Mouse(UL::MOUSE_DOWN, type.press.x, type.press.y, c.flags);
            EXPECT_TRUE(control->OnMouse(press));
            EXPECT_EQ(Value(type.value)->GetIndex(), c.index);
            EXPECT_EQ(control->IsCapturing(), c.capturing);
            if (type.after)
                type.after(*control, c);
            control->SetFocus(false);
        }
}
