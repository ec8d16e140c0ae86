// A root panel read from a script through the managers and shown in its window, driven by the
// synthetic input of the window system: presses, drags that leave the window, releases and keys
// reach the controls as the user's would.
#include "midi/framework/CVeyMidiManager.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyGraphDrawer.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/CVeyTextWriter.h"
#include "model/CVeyValue.h"
#include "model/VeyManagers.h"
#include "platform/Gdi.h"
#include "platform/Messages.h"
#include "platform/UiDriver.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/panels/CPanelWindow.h"
#include "ui/panels/CVeyPanel.h"
#include "ui/panels/CVeyViewManager.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class CDrawingFactory : public IVeyResourceFactory
{
public:
    std::unique_ptr<CVeyResource> CreateBitmap() override { return std::make_unique<CVeyStateBitmap>(); }
    std::unique_ptr<CVeyResource> CreateTextWriter() override { return std::make_unique<CTextWriter>(); }
    std::unique_ptr<CVeyGraphDrawer> CreateGraphDrawer() override { return std::make_unique<CGraphDrawer>(); }
};

// A slider (track 10 x 80 at 10,10, thumb 10 x 16), a knob (20 x 20 at 60,10) and a latch button
// (20 x 10 at 100,10) on fm.c.level, fm.c.pan and fm.c.sw.
const char* const kScript = R"(<script>
<structType><type>cT</type><name>$name</name><address>$address</address>
  <value><type>int1x7</type><name>level</name><default>64</default></value>
  <value><type>int1x7</type><name>pan</name><default>64</default></value>
  <value><type>int1x7</type><name>sw</name><range>0,1</range></value>
</structType>
<structType><type>fmT</type><name>$name</name><address>$address</address>
  <struct><type>cT</type><name>c</name><address>00 00 00 00</address></struct>
</structType>
<struct><type>fmT</type><name>fm</name><address>10 00 00 00</address></struct>
<bitmap><name>thumb</name></bitmap>
<bitmap><name>knob</name><stateCount>16</stateCount></bitmap>
<bitmap><name>btn4</name><stateCount>4</stateCount></bitmap>
<panelType><type>mainT</type><name>main</name><size>200,100</size>
  <control><type>slider</type><name>s</name><position>10,10</position><size>10,80</size>
    <bitmapRef>thumb</bitmapRef><valueRef>fm.c.level</valueRef></control>
  <control><type>knob</type><name>k</name><position>60,10</position>
    <bitmapRef>knob</bitmapRef><valueRef>fm.c.pan</valueRef></control>
  <control><type>latchButton</type><name>b</name><position>100,10</position>
    <bitmapRef>btn4</bitmapRef><valueRef>fm.c.sw</valueRef><onValue>1</onValue><offValue>0</offValue></control>
</panelType>
<panel><type>mainT</type></panel>
</script>)";

void WriteStrip(const CTempDir& folder, const std::string& name, int w, int h, int states)
{
    CBitmap bitmap;
    bitmap.CreateBitmap(w, h * states);
    CDC dc;
    dc.SelectObject(&bitmap);
    for (int s = 0; s < states; ++s)
        dc.FillSolidRect(RECT{0, h * s, w, h * s + h}, RGB(40 + 10 * s, 80, 120));
    ASSERT_TRUE(bitmap.SaveFile(folder.File(name + ".bmp").c_str(), "BMP"));
}

struct PanelWindowInput : ::testing::Test
{
    void SetUp() override
    {
        WriteStrip(folder, "thumb", 10, 16, 1);
        WriteStrip(folder, "knob", 20, 20, 16);
        WriteStrip(folder, "btn4", 20, 10, 4);
        CVeyStateBitmap::SetBitmapFolder(folder.Path() + "/");
        CVeyResourceManager::RegisterManagerStep();
        CVeyBufferManager::RegisterManagerStep();
        CVeyMidiManager::RegisterManagerStep();
        CVeyViewManager::RegisterManagerStep();
        CVeyResourceManager::GetInstance().SetResourceFactory(std::make_unique<CDrawingFactory>());
        CTraceCapture trace;
        ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(kScript)) << trace.Text();
        ASSERT_TRUE(VeyCreateManagers()) << trace.Text();
        ASSERT_TRUE(CVeyViewManager::GetInstance().OpenRootPanel("main"));
        auto* panel = dynamic_cast<CWindowRootPanel*>(CVeyViewManager::GetInstance().FindRootPanel("main"));
        ASSERT_NE(panel, nullptr);
        window = panel->GetWindow();
        ASSERT_NE(window, nullptr);
        while (PumpAllMessages())
        {
        }
    }
    void TearDown() override
    {
        VeyDestroyManagers();
        CVeyScriptDefinitions::GetInstance().Clear();
        CVeyStateBitmap::SetBitmapFolder("");
        VeySetManagerStep(EVeyManager::kView, nullptr, nullptr);
        while (PumpAllMessages())
        {
        }
    }
    static CVeyValue* Value(const std::string& path)
    {
        return CVeyBufferManager::GetInstance().FindValueOrNull(path);
    }
    // A press at one client point, moves with the button held, and the release at the last.
    void Drag(std::initializer_list<POINT> points)
    {
        const POINT* last = nullptr;
        for (const POINT& point : points)
        {
            if (!last)
                UiDriver::MouseDown(*window, point, false, MK_LBUTTON);
            else
                UiDriver::MouseMove(*window, point, MK_LBUTTON);
            last = &point;
        }
        UiDriver::MouseUp(*window, *last);
    }

    CTempDir folder;
    CPanelWindow* window = nullptr;
};
}

TEST_F(PanelWindowInput, ASliderDraggedOutOfTheWindowStopsAtItsEnds)
{
    CVeyValue* level = Value("fm.c.level");
    ASSERT_NE(level, nullptr);
    // The thumb of 64 sits half way down the track: grab it and leave the window upwards.
    const int thumbTop = 10 + (80 - 16) - (80 - 16) * 64 / 127;
    Drag({{15, thumbTop + 8}, {15, thumbTop}, {15, -300}});
    EXPECT_EQ(level->GetNumber(), 127);
    Drag({{15, 18}, {15, 500}});
    EXPECT_EQ(level->GetNumber(), 0);
    EXPECT_EQ(CVeyViewManager::GetInstance().GetCapturingView(), nullptr) << "the release let the mouse go";
}

TEST_F(PanelWindowInput, AClickedKnobTakesTheArrowKeys)
{
    CVeyValue* pan = Value("fm.c.pan");
    ASSERT_NE(pan, nullptr);
    // Straight up from the centre is the middle of the knob's travel.
    Drag({{70, 11}});
    const int32_t clicked = pan->GetNumber();
    EXPECT_NEAR(clicked, 64, 1);
    window->SendMessage(WM_KEYDOWN, VK_UP, 0);
    window->SendMessage(WM_KEYUP, VK_UP, 0);
    EXPECT_EQ(pan->GetNumber(), clicked + 1);
    window->SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    window->SendMessage(WM_KEYUP, VK_DOWN, 0);
    window->SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    window->SendMessage(WM_KEYUP, VK_DOWN, 0);
    EXPECT_EQ(pan->GetNumber(), clicked - 1);
}

TEST_F(PanelWindowInput, ALatchButtonTogglesOnAClickReleasedInsideOnly)
{
    CVeyValue* sw = Value("fm.c.sw");
    ASSERT_NE(sw, nullptr);
    Drag({{105, 15}});
    EXPECT_EQ(sw->GetNumber(), 1);
    Drag({{105, 15}, {300, 15}});
    EXPECT_EQ(sw->GetNumber(), 1) << "released outside: nothing";
    Drag({{105, 15}, {300, 15}, {110, 12}});
    EXPECT_EQ(sw->GetNumber(), 0) << "back inside before the release";
}
