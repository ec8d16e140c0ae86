// Scripts a new user could write by mistake, one control each, read through the script reader and
// the control factory: each is refused with its line, or made and then pressed, dragged far
// outside, released, turned and drawn without a fault (the sanitizer builds watch the arithmetic).
#include "ControlResourceSupport.h"

#include "model/CVeyValue.h"
#include "tests/support/TraceCapture.h"
#include "ui/controls/CVeyControlFactory.h"

#include <gtest/gtest.h>

namespace
{
struct ControlScripts : ControlFixture
{
    // Reads `control` (one "control" element) as the only child of a panel type, makes it with
    // the control factory, loads its attributes and creates it in the test parent.
    std::unique_ptr<CVeyControl> Make(const std::string& control, bool& made)
    {
        made = false;
        CVeyScriptDefinitions::GetInstance().GetViewGroup().Clear();
        if (!CVeyScriptReader::GetInstance().ReadText("<panelType><type>t</type><name>p</name>" + control +
                                                      "</panelType>"))
            return nullptr;
        const CVeyTypeDefinitions& types = CVeyScriptDefinitions::GetInstance().GetViewGroup().panelTypes;
        if (types.size() != 1 || types[0].GetLeafChildren().size() != 1)
            return nullptr;
        const CVeyElementDefinition& definition = types[0].GetLeafChildren()[0];
        std::unique_ptr<CVeyControl> made_ = CVeyControlFactory::GetInstance().CreateControl(definition);
        if (!made_)
            return nullptr;
        CVeyElementDefinition::CAttributes attributes = definition.GetAttributes();
        made = made_->LoadAttributes(attributes) && attributes.empty() && made_->Create(&parent);
        if (made)
        {
            recorder.views.push_back(made_.get());
            made_->Refresh();
        }
        return made_;
    }

    // Everything a user can do to a control with the mouse, then a redraw.
    static void Poke(CVeyControl& control)
    {
        const CRect rect = control.GetRect();
        const CPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        const auto mouse = [&control](UINT message, CPoint point, UINT flags) {
            UL::CMouseInfo info(message, point, flags);
            control.OnMouse(info);
        };
        mouse(WM_LBUTTONDOWN, centre, MK_LBUTTON);
        mouse(WM_MOUSEMOVE, CPoint(centre.x + 100000, centre.y + 100000), MK_LBUTTON);
        mouse(WM_MOUSEMOVE, CPoint(centre.x - 100000, centre.y - 100000), MK_LBUTTON);
        mouse(WM_MOUSEMOVE, CPoint(rect.left, rect.top), MK_LBUTTON);
        mouse(WM_LBUTTONUP, CPoint(rect.left, rect.top), 0);
        mouse(WM_LBUTTONDBLCLK, centre, MK_LBUTTON);
        mouse(WM_LBUTTONUP, centre, 0);
        for (short amount : {120, -120, 32000})
        {
            UL::CWheelInfo wheel(0, amount, centre, 0);
            control.OnMouseWheel(wheel);
        }
        CCanvas canvas(400, 300);
        control.Draw(canvas.info);
    }
};

const char* const kLevel = "<valueRef>fm.pat.common.level</valueRef>";
}

TEST_F(ControlScripts, MistakenScriptsAreRefusedWithTheirLine)
{
    const struct
    {
        const char* name;
        std::string control;
        const char* line;   // a part of the diagnostic output
    } cases[] = {
        {"list rows of no height",
         "<control><type>listControl</type><name>l</name><size>60,40</size><rowHeight>0</rowHeight></control>",
         "Row height must be positive for list control. : l : 0\n"},
        {"increment button bound to nothing",
         "<control><type>incrementButton</type><name>i</name><bitmapRef>s2</bitmapRef></control>",
         "There is no value reference."},
        {"fade range of no width",
         "<control><type>fadeRange</type><name>f</name><size>60,20</size><displayRange>5,5</displayRange>"
         "<rangeLowerValueRef>fm.pat.common.page</rangeLowerValueRef>"
         "<rangeUpperValueRef>fm.pat.common.idx</rangeUpperValueRef></control>",
         "Display range lower is invalid for fade range. : f : 5,5\n"},
        {"combo bound to nothing",
         "<control><type>comboA</type><name>c</name><size>60,20</size><textWriterRef>w0</textWriterRef></control>",
         "There is no value reference."},
        {"pop combo bound to nothing",
         "<control><type>combo</type><name>c</name><size>60,20</size><textWriterRef>w0</textWriterRef></control>",
         "There is no value reference"},
        {"edit bound to nothing",
         "<control><type>edit</type><name>e</name><size>60,20</size><textWriterRef>w0</textWriterRef></control>",
         "There is no value reference"},
        {"display bound to nothing",
         "<control><type>display</type><name>d</name><size>60,20</size><textWriterRef>w0</textWriterRef></control>",
         "There is no value reference."},
        {"knob with a tip-bar table bound to nothing",
         "<control><type>knob</type><name>k</name><bitmapRef>s5</bitmapRef><stringTableRef>names</stringTableRef>"
         "</control>",
         "There is no value reference. : knob : main.k\n"},
        {"slider bound to text",
         "<control><type>slider</type><name>s</name><size>60,20</size><bitmapRef>s2</bitmapRef>"
         "<valueRef>fm.pat.common.patchName</valueRef></control>",
         "Referred value must be integer for slider. : main.s\n"},
        {"bar slider bound to a one-index value",
         "<control><type>barSlider</type><name>s</name><size>60,20</size>"
         "<valueRef>fm.pat.common.patchName</valueRef></control>",
         "for bar slider. : main.s"},
        {"bar graph without its two values",
         "<control><type>barGraph</type><name>g</name><size>20,10</size><bitmapRef>s2</bitmapRef>" +
             std::string(kLevel) + "</control>",
         "Two value references are necessary."},
        {"picture bound to nothing",
         "<control><type>picture</type><name>p</name><bitmapRef>s2</bitmapRef></control>",
         "There is no value reference for picture control main.p.\n"},
        {"static text bound to nothing",
         "<control><type>staticText</type><name>t</name><textWriterRef>w0</textWriterRef></control>",
         "There is no value reference.\n"},
        {"lfo short of its values",
         "<control><type>lfo</type><name>o</name><size>60,20</size></control>", "Unable to create LFO control o.\n"},
        {"envelope short of its values",
         "<control><type>envelope</type><name>v</name><size>60,20</size></control>",
         "There is no value reference L1, "},
        {"scroll bound to nothing",
         "<control><type>scroll</type><name>r</name><size>10,60</size><direction>0</direction></control>",
         "Unable to create scroll. : r\n"},
        {"latch button whose on value divides by zero",
         "<control><type>latchButton</type><name>b</name><bitmapRef>s5</bitmapRef>" + std::string(kLevel) +
             "<onValue>1,0,/</onValue></control>",
         "Unable to interpret on value for latch button. : b : 1,0,/\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTraceCapture trace;
        bool made = true;
        std::unique_ptr<CVeyControl> control = Make(c.control, made);
        ASSERT_NE(control, nullptr);
        EXPECT_FALSE(made);
        EXPECT_NE(trace.Text().find(c.line), std::string::npos) << trace.Text();
        recorder.views.clear();
    }
}

TEST_F(ControlScripts, DegenerateSizesAndRangesSurviveInput)
{
    const struct
    {
        const char* name;
        std::string control;
    } cases[] = {
        {"bias 3 pixels wide",
         "<control><type>bias</type><name>b</name><size>3,40</size>"
         "<levelValueRef>fm.pat.common.level</levelValueRef><positionValueRef>fm.pat.common.idx</positionValueRef>"
         "<directionValueRef>fm.pat.common.page</directionValueRef></control>"},
        {"bias 2 pixels high",
         "<control><type>bias</type><name>b</name><size>40,2</size>"
         "<levelValueRef>fm.pat.common.level</levelValueRef><positionValueRef>fm.pat.common.idx</positionValueRef>"
         "<directionValueRef>fm.pat.common.page</directionValueRef></control>"},
        {"bar slider without a size", "<control><type>barSlider</type><name>s</name>" + std::string(kLevel) +
                                          "<baseValue>64</baseValue></control>"},
        {"bar slider two pixels long", "<control><type>barSlider</type><name>s</name><size>2,10</size>" +
                                           std::string(kLevel) + "<baseValue>64</baseValue></control>"},
        {"slider one pixel longer than its knob",
         "<control><type>slider</type><name>s</name><size>20,11</size><bitmapRef>s2</bitmapRef>" +
             std::string(kLevel) + "</control>"},
        {"knob with the narrowest angle range",
         "<control><type>knob</type><name>k</name><bitmapRef>s5</bitmapRef><angleRange>0,1</angleRange>" +
             std::string(kLevel) + "</control>"},
        {"scroll whose knob fills the track",
         "<control><type>scroll</type><name>r</name><size>10,5</size><direction>0</direction>"
         "<currentRangeLowerValueRef>fm.pat.tone[0].cutoff</currentRangeLowerValueRef>"
         "<currentRangeUpperValueRef>fm.pat.tone[1].cutoff</currentRangeUpperValueRef>"
         "<scrollRangeLowerValueRef>fm.pat.tone[2].cutoff</scrollRangeLowerValueRef>"
         "<scrollRangeUpperValueRef>fm.pat.tone[3].cutoff</scrollRangeUpperValueRef>"
         "<operatedValueRef>fm.pat.common.page</operatedValueRef></control>"},
        {"fade range at the narrowest display",
         "<control><type>fadeRange</type><name>f</name><size>1,1</size><displayRange>0,1</displayRange>"
         "<rangeLowerValueRef>fm.pat.common.page</rangeLowerValueRef>"
         "<rangeUpperValueRef>fm.pat.common.idx</rangeUpperValueRef></control>"},
        {"envelope of no size",
         "<control><type>envelope</type><name>v</name>"
         "<t1ValueRef>fm.pat.common.level</t1ValueRef><l1ValueRef>fm.pat.common.level</l1ValueRef>"
         "<t2ValueRef>fm.pat.common.level</t2ValueRef><l2ValueRef>fm.pat.common.level</l2ValueRef>"
         "<t3ValueRef>fm.pat.common.level</t3ValueRef><l3ValueRef>fm.pat.common.level</l3ValueRef>"
         "<t4ValueRef>fm.pat.common.level</t4ValueRef></control>"},
        {"lfo of no size on out-of-range wave and fade",
         "<control><type>lfo</type><name>o</name>"
         "<waveFormValueRef>fm.pat.common.level</waveFormValueRef><rateValueRef>fm.pat.common.level</rateValueRef>"
         "<offsetValueRef>fm.pat.common.level</offsetValueRef><delayTimeValueRef>fm.pat.common.level</delayTimeValueRef>"
         "<fadeModeValueRef>fm.pat.common.level</fadeModeValueRef><fadeTimeValueRef>fm.pat.common.level</fadeTimeValueRef>"
         "</control>"},
        {"list one row high",
         "<control><type>listControl</type><name>l</name><size>60,1</size><rowHeight>8</rowHeight>"
         "<textWriterRef>w0</textWriterRef><headerWriterRef>w1</headerWriterRef><currentWriterRef>w2</currentWriterRef>"
         "<selectWriterRef>w3</selectWriterRef><inactiveCurrentWriterRef>w4</inactiveCurrentWriterRef>"
         "<inactiveSelectWriterRef>w4</inactiveSelectWriterRef>"
         "<firstRowValueRef>fm.pat.common.page</firstRowValueRef><lastRowValueRef>fm.pat.common.level</lastRowValueRef>"
         "<currentRowValueRef>fm.pat.common.idx</currentRowValueRef>"
         "<firstVisibleRowValueRef>fm.pat.tone[0].cutoff</firstVisibleRowValueRef>"
         "<lastVisibleRowValueRef>fm.pat.tone[1].cutoff</lastVisibleRowValueRef></control>"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTraceCapture trace;
        // A scroll range of one row of room over most of the value.
        Value("fm.pat.tone[0].cutoff")->SetIndex(0);
        Value("fm.pat.tone[1].cutoff")->SetIndex(126);
        Value("fm.pat.tone[2].cutoff")->SetIndex(0);
        Value("fm.pat.tone[3].cutoff")->SetIndex(127);
        bool made = false;
        std::unique_ptr<CVeyControl> control = Make(c.control, made);
        ASSERT_NE(control, nullptr);
        if (made)
            Poke(*control);
        recorder.views.clear();
    }
}

TEST_F(ControlScripts, ADragFollowsThePointerAfterADoubleClickOrAValueReceivedWhileHeld)
{
    const struct
    {
        const char* name;
        std::string control;
    } cases[] = {
        {"knob", "<control><type>knob</type><name>k</name><position>10,20</position><bitmapRef>s5</bitmapRef>" +
                     std::string(kLevel) + "</control>"},
        {"slider", "<control><type>slider</type><name>s</name><position>10,20</position><size>20,60</size>"
                   "<bitmapRef>s2</bitmapRef>" +
                       std::string(kLevel) + "</control>"},
        {"bar slider", "<control><type>barSlider</type><name>b</name><position>10,20</position><size>60,20</size>"
                       "<direction>1</direction>" +
                           std::string(kLevel) + "</control>"},
    };
    CVeyValue* level = Value("fm.pat.common.level");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        // The same press and move three times: plainly, with a double-click for the press (the second
        // click of a double-click presses again), and with a value received while held. The
        // pointer rules the drag, so all three end on the same value.
        int32_t dragged = -1;
        for (const UINT pressMessage : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN})
        {
            const bool receive = dragged >= 0 && pressMessage == WM_LBUTTONDOWN;
            level->SetIndex(100);
            bool made = false;
            std::unique_ptr<CVeyControl> control = Make(c.control, made);
            ASSERT_TRUE(made);
            const CRect rect = control->GetRect();
            const CPoint grab(rect.left + 3, (rect.top + rect.bottom) / 2);
            const CPoint target(rect.right - 2, rect.top + 1);
            UL::CMouseInfo press(pressMessage, grab, MK_LBUTTON);
            ASSERT_TRUE(control->OnMouse(press));
            ASSERT_TRUE(control->IsCapturing());
            if (receive)
            {
                // Shown at once, the drag still held.
                CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
                const size_t commits = recorder.commits.size();
                parent.invalidated.clear();
                buffers.SetValueByIndex(level, (level->GetIndex() + 50) % 128);
                buffers.UpdateViews();
                buffers.ClearChanges();
                EXPECT_EQ(recorder.commits.size(), commits + 1);
                EXPECT_FALSE(parent.invalidated.empty()) << "redrawn with the received value";
                EXPECT_TRUE(control->IsCapturing());
            }
            UL::CMouseInfo move(WM_MOUSEMOVE, target, MK_LBUTTON);
            EXPECT_TRUE(control->OnMouse(move));
            if (dragged >= 0)
            {
                EXPECT_EQ(level->GetIndex(), dragged);
            }
            dragged = level->GetIndex();
            UL::CMouseInfo release(WM_LBUTTONUP, target, 0);
            EXPECT_TRUE(control->OnMouse(release));
            EXPECT_FALSE(control->IsCapturing());
            EXPECT_EQ(CVeyViewPointers::GetInstance().capturing, nullptr);
            recorder.views.clear();
        }
        EXPECT_NE(dragged, 100) << "the move changed the value";
    }
}
