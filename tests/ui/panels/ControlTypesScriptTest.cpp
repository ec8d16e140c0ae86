// One script with one control of every framework control type, read and created through the
// managers as the programs do: a type whose name creates nothing, or whose control does not load
// from its script element, fails the test with the type's name and the diagnostic it gave.
#include "midi/framework/CVeyMidiManager.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyGraphDrawer.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/CVeyTextWriter.h"
#include "model/VeyManagers.h"
#include "platform/Gdi.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "ui/controls/CVeyControlFactory.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/panels/CVeyPanel.h"
#include "ui/panels/CVeyViewManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
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

// A strip of `states` solid pictures of w x h, stacked vertically, as a BMP file.
void WriteStrip(const CTempDir& folder, const std::string& name, int w, int h, int states)
{
    CBitmap bitmap;
    bitmap.CreateBitmap(w, h * states);
    CDC dc;
    dc.SelectObject(&bitmap);
    for (int s = 0; s < states; ++s)
        dc.FillSolidRect(RECT{0, h * s, w, h * s + h}, RGB(40 + 20 * s, 80, 120));
    ASSERT_TRUE(bitmap.SaveFile(folder.File(name + ".bmp").c_str(), "BMP"));
}

// The model: fm.c holds numbers for every control, fm.rows the row references of the list;
// ms is the MIDI struct whose channel notes the keyboard plays.
const char* const kModel = R"(
<structType><type>cT</type><name>$name</name><address>$address</address>
  <value><type>int1x7</type><name>level</name><range>0,127</range><default>64</default></value>
  <value><type>int1x7</type><name>sw</name><range>0,1</range></value>
  <value><type>int1x7</type><name>pick</name><range>0,2</range></value>
  <value><type>int1x7</type><name>l1</name></value>
  <value><type>int1x7</type><name>l2</name></value>
  <value><type>int1x7</type><name>l3</name></value>
  <value><type>int1x7</type><name>t1</name></value>
  <value><type>int1x7</type><name>t2</name></value>
  <value><type>int1x7</type><name>t3</name></value>
  <value><type>int1x7</type><name>t4</name></value>
  <value><type>int1x7</type><name>lower</name><range>0,127</range></value>
  <value><type>int1x7</type><name>upper</name><range>0,127</range><default>127</default></value>
  <value><type>int1x7</type><name>octave</name><range>61,67</range><default>64</default></value>
  <value><type>string</type><name>title</name><size>08</size><default>Gallery</default></value>
</structType>
<structType><type>rowsT</type><name>$name</name><address>$address</address>
  <value><type>int2x7</type><name>first</name><range>0,300</range></value>
  <value><type>int2x7</type><name>last</name><range>0,300</range><default>127</default></value>
  <value><type>int2x7</type><name>current</name><range>0,300</range></value>
  <value><type>int2x7</type><name>top</name><range>0,300</range></value>
  <value><type>int2x7</type><name>bottom</name><range>0,300</range><default>9</default></value>
</structType>
<structType><type>fmT</type><name>$name</name><address>$address</address>
  <struct><type>cT</type><name>c</name><address>00 00 00 00</address></struct>
  <struct><type>rowsT</type><name>rows</name><address>00 01 00 00</address></struct>
</structType>
<struct><type>fmT</type><name>fm</name><address>10 00 00 00</address></struct>
<midiStruct><name>ms</name></midiStruct>
)";

const char* const kResources = R"(
<bitmap><name>btn4</name><stateCount>4</stateCount></bitmap>
<bitmap><name>btn2</name><stateCount>2</stateCount></bitmap>
<bitmap><name>knob</name><stateCount>16</stateCount></bitmap>
<bitmap><name>thumb</name></bitmap>
<bitmap><name>pic</name><stateCount>3</stateCount></bitmap>
<bitmap><name>bar</name></bitmap>
<bitmap><name>keys</name></bitmap>
<textWriter><name>tw</name><fontFaceName>DEFAULT</fontFaceName></textWriter>
<stringTable><name>choices</name><table>off,on,auto</table></stringTable>
)";

const char* const kRange = R"(<currentRangeLowerValueRef>fm.rows.top</currentRangeLowerValueRef>
    <currentRangeUpperValueRef>fm.rows.bottom</currentRangeUpperValueRef>
    <scrollRangeLowerValueRef>fm.rows.first</scrollRangeLowerValueRef>
    <scrollRangeUpperValueRef>fm.rows.last</scrollRangeUpperValueRef>
    <operatedValueRef>fm.rows.current</operatedValueRef>)";

std::string Keyboard()
{
    std::string keys = R"(<valueRef>ms.ch[0].note</valueRef><bitmapRef>keys</bitmapRef>
    <octaveValueRef>fm.c.octave</octaveValueRef><onVelocityValueRef>fm.c.level</onVelocityValueRef>
    <physicalKeyRange>48,71</physicalKeyRange>)";
    const char* kinds[] = {"c", "d", "e", "f", "g", "a", "b"};
    const int lefts[] = {0, 20, 30, 50, 70, 80, 90};
    const int rights[] = {11, 28, 41, 61, 78, 88, 101};
    for (const char* suffix : {"", "Pressed"})
    {
        const int top = *suffix ? 100 : 0;
        auto rect = [top](int l, int t, int r, int b) {
            return std::to_string(l) + "," + std::to_string(t + top) + "," + std::to_string(r) + "," +
                   std::to_string(b + top);
        };
        for (int k = 0; k < 7; ++k)
        {
            const std::string tag = std::string(kinds[k]) + "KeyUpsideRectangle" + suffix;
            keys += "<" + tag + ">" + rect(lefts[k], 0, rights[k], 40) + "</" + tag + ">";
        }
        keys += std::string("<ebonyKeyRectangle") + suffix + ">" + rect(110, 0, 116, 40) + "</ebonyKeyRectangle" +
                suffix + ">";
        keys += std::string("<ivoryKeyDownsideRectangle") + suffix + ">" + rect(0, 40, 14, 60) +
                "</ivoryKeyDownsideRectangle" + suffix + ">";
    }
    return keys;
}

// Every framework type with the attributes its script element needs.
std::string Controls()
{
    const std::pair<const char*, std::string> controls[] = {
        {"slider", "<size>100,16</size><direction>1</direction><bitmapRef>thumb</bitmapRef><valueRef>fm.c.level</valueRef>"},
        {"knob", "<bitmapRef>knob</bitmapRef><valueRef>fm.c.level</valueRef>"},
        {"staticText", "<size>60,14</size><textWriterRef>tw</textWriterRef><valueRef>fm.c.title</valueRef>"},
        {"picture", "<size>16,16</size><bitmapRef>pic</bitmapRef><valueRef>fm.c.pick</valueRef>"},
        {"staticTextPicture",
         "<size>60,16</size><textWriterRef>tw</textWriterRef><bitmapRef>pic</bitmapRef><valueRef>fm.c.pick</valueRef>"},
        {"combo", "<size>60,16</size><textWriterRef>tw</textWriterRef><stringTableRef>choices</stringTableRef>"
                  "<valueRef>fm.c.pick</valueRef>"},
        {"comboA", "<size>60,16</size><textWriterRef>tw</textWriterRef><valueRef>fm.c.level</valueRef>"},
        {"unlatchButton", "<size>20,10</size><bitmapRef>btn2</bitmapRef><label>Go</label><textWriterRef>tw</textWriterRef>"},
        {"latchButton", "<size>20,10</size><bitmapRef>btn4</bitmapRef><valueRef>fm.c.sw</valueRef>"},
        {"incrementButton", "<size>20,10</size><bitmapRef>btn2</bitmapRef><valueRef>fm.c.level</valueRef>"},
        {"bias", "<size>60,40</size><levelValueRef>fm.c.level</levelValueRef><positionValueRef>fm.c.l1</positionValueRef>"
                 "<directionValueRef>fm.c.pick</directionValueRef>"},
        {"envelope", "<size>100,50</size><L1ValueRef>fm.c.l1</L1ValueRef><L2ValueRef>fm.c.l2</L2ValueRef>"
                     "<L3ValueRef>fm.c.l3</L3ValueRef><T1ValueRef>fm.c.t1</T1ValueRef><T2ValueRef>fm.c.t2</T2ValueRef>"
                     "<T3ValueRef>fm.c.t3</T3ValueRef><T4ValueRef>fm.c.t4</T4ValueRef>"},
        {"fadeRange", "<size>128,20</size><displayRange>0,128</displayRange>"
                      "<rangeLowerValueRef>fm.c.lower</rangeLowerValueRef><rangeUpperValueRef>fm.c.upper</rangeUpperValueRef>"},
        {"lfo", "<size>100,40</size><waveFormValueRef>fm.c.pick</waveFormValueRef><rateValueRef>fm.c.level</rateValueRef>"
                "<offsetValueRef>fm.c.l1</offsetValueRef><delayTimeValueRef>fm.c.t1</delayTimeValueRef>"
                "<fadeModeValueRef>fm.c.sw</fadeModeValueRef><fadeTimeValueRef>fm.c.t2</fadeTimeValueRef>"},
        {"keyboard", Keyboard()},
        {"listControl", "<size>120,80</size><textWriterRef>tw</textWriterRef><headerWriterRef>tw</headerWriterRef>"
                        "<currentWriterRef>tw</currentWriterRef><selectWriterRef>tw</selectWriterRef>"
                        "<inactiveCurrentWriterRef>tw</inactiveCurrentWriterRef>"
                        "<inactiveSelectWriterRef>tw</inactiveSelectWriterRef>"
                        "<firstRowValueRef>fm.rows.first</firstRowValueRef><lastRowValueRef>fm.rows.last</lastRowValueRef>"
                        "<currentRowValueRef>fm.rows.current</currentRowValueRef>"
                        "<firstVisibleRowValueRef>fm.rows.top</firstVisibleRowValueRef>"
                        "<lastVisibleRowValueRef>fm.rows.bottom</lastVisibleRowValueRef>"},
        {"scroll", std::string("<size>10,80</size><direction>0</direction>") + kRange},
        {"scrollButton", std::string("<size>20,10</size><bitmapRef>btn2</bitmapRef>") + kRange},
        {"label", "<size>60,14</size><textWriterRef>tw</textWriterRef><label>Level</label>"},
        {"barGraph", "<size>10,60</size><bitmapRef>bar</bitmapRef><valueRef>fm.c.upper</valueRef>"
                     "<valueRef>fm.c.level</valueRef>"},
        {"edit", "<size>60,16</size><textWriterRef>tw</textWriterRef><valueRef>fm.c.title</valueRef>"},
        {"editDouble", "<size>60,16</size><textWriterRef>tw</textWriterRef><valueRef>fm.c.level</valueRef>"},
        {"display", "<size>60,16</size><textWriterRef>tw</textWriterRef><valueRef>fm.c.title</valueRef>"},
        {"barSlider", "<size>10,60</size><valueRef>fm.c.level</valueRef>"},
    };
    std::string panel;
    int y = 0;
    for (const auto& [type, attributes] : controls)
    {
        panel += std::string("<control><type>") + type + "</type><name>" + type + "</name><position>0," +
                 std::to_string(y) + "</position>" + attributes + "</control>\n";
        y += 100;
    }
    return panel;
}

const char* const kFrameworkTypes[] = {
    "slider", "knob", "staticText", "picture", "staticTextPicture", "combo", "comboA", "unlatchButton",
    "latchButton", "incrementButton", "bias", "envelope", "fadeRange", "lfo", "keyboard", "listControl",
    "scroll", "scrollButton", "label", "barGraph", "edit", "editDouble", "display", "barSlider"};

struct ControlTypes : ::testing::Test
{
    void SetUp() override
    {
        WriteStrip(folder, "btn4", 20, 10, 4);
        WriteStrip(folder, "btn2", 20, 10, 2);
        WriteStrip(folder, "knob", 20, 20, 16);
        WriteStrip(folder, "thumb", 10, 16, 1);
        WriteStrip(folder, "pic", 16, 16, 3);
        WriteStrip(folder, "bar", 10, 60, 1);
        WriteStrip(folder, "keys", 120, 160, 1);
        CVeyStateBitmap::SetBitmapFolder(folder.Path() + "/");
        CVeyResourceManager::RegisterManagerStep();
        CVeyBufferManager::RegisterManagerStep();
        CVeyMidiManager::RegisterManagerStep();
        CVeyViewManager::RegisterManagerStep();
        CVeyResourceManager::GetInstance().SetResourceFactory(std::make_unique<CDrawingFactory>());
    }
    void TearDown() override
    {
        VeyDestroyManagers();
        CVeyScriptDefinitions::GetInstance().Clear();
        CVeyStateBitmap::SetBitmapFolder("");
        VeySetManagerStep(EVeyManager::kView, nullptr, nullptr);
    }
    CTempDir folder;
};
}

TEST_F(ControlTypes, EveryFrameworkTypeLoadsFromOneScript)
{
    const std::string script = std::string("<script>") + kModel + kResources +
                               "<panelType><type>allT</type><name>all</name><position>0,0</position>"
                               "<size>200,2400</size>\n" +
                               Controls() + "</panelType>\n<panel><type>allT</type></panel>\n</script>";
    CTraceCapture trace;
    ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(script)) << trace.Text();
    ASSERT_TRUE(VeyCreateManagers()) << trace.Text();
    EXPECT_EQ(trace.Text(), "") << "the script reads and every control loads without a diagnostic";

    CVeyRootPanel* root = CVeyViewManager::GetInstance().FindRootPanel("all");
    ASSERT_NE(root, nullptr);
    // Every framework type the factory knows must create a control here. Another test of the
    // same process may have added a name of its own for a while: only a name with a creator
    // counts, and the 24 types of the framework must all be among them.
    std::set<std::string> created;
    for (const auto& type : CVeyControlFactory::GetFrameworkTypes())
    {
        if (!type.create && std::find(std::begin(kFrameworkTypes), std::end(kFrameworkTypes), type.name) ==
                                std::end(kFrameworkTypes))
            continue;
        SCOPED_TRACE(type.name);
        EXPECT_NE(type.create, nullptr) << "the type has no creator";
        CVeyControl* control = nullptr;
        ASSERT_TRUE(root->FindControl("all." + type.name, control)) << "no control was created";
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->GetTypeName(), type.name);
        created.insert(type.name);
    }
    for (const char* name : kFrameworkTypes)
        EXPECT_EQ(created.count(name), 1u) << name << " is in the factory and in the script";
}
