#pragma once
// Shared by the graph control tests: a model with the values the graphs read, a canvas to draw on
// and probe, and a fixture that creates a control from script attributes inside a test parent.
#include "ViewTestSupport.h"

#include "model/CVeyValue.h"
#include "platform/Gdi.h"
#include "toolkit/gt/ValueTypes.h"
#include "tests/support/TraceCapture.h"
#include "toolkit/ul/Input.h"

#include <gtest/gtest.h>

#include <memory>

// r.g (20 00 00 00): lvl, pos (0..127), dir (0..7), one (a single value), l0..l4 and t1..t4 (0..127),
// lo, hi, fwl, fwu (0..127), and the LFO's wave (0..15), rate (0..255), ofs (0..4), delay, fmode
// (0..7), fade (0..127).
inline bool BuildGraphTestModel()
{
    CVeyBufferManager::GetInstance().Clear();
    CVeyScriptDefinitions::GetInstance().Clear();
    const char* script = R"(<script>
<structType><type>graphT</type><name>$name</name><address>$address</address>
  <value><type>int1x7</type><name>lvl</name></value>
  <value><type>int1x7</type><name>pos</name></value>
  <value><type>int1x7</type><name>dir</name><range>0,7</range></value>
  <value><type>int1x7</type><name>one</name><range>5,5</range><default>5</default></value>
  <value><type>int1x7</type><name>l0</name></value>
  <value><type>int1x7</type><name>l1</name></value>
  <value><type>int1x7</type><name>l2</name></value>
  <value><type>int1x7</type><name>l3</name></value>
  <value><type>int1x7</type><name>l4</name></value>
  <value><type>int1x7</type><name>t1</name></value>
  <value><type>int1x7</type><name>t2</name></value>
  <value><type>int1x7</type><name>t3</name></value>
  <value><type>int1x7</type><name>t4</name></value>
  <value><type>int1x7</type><name>lo</name></value>
  <value><type>int1x7</type><name>hi</name></value>
  <value><type>int1x7</type><name>fwl</name></value>
  <value><type>int1x7</type><name>fwu</name></value>
  <value><type>int1x7</type><name>wave</name><range>0,15</range></value>
  <value><type>int2x7</type><name>rate</name><range>0,255</range></value>
  <value><type>int1x7</type><name>ofs</name><range>0,4</range></value>
  <value><type>int1x7</type><name>delay</name></value>
  <value><type>int1x7</type><name>fmode</name><range>0,7</range></value>
  <value><type>int1x7</type><name>fade</name></value>
</structType>
<structType><type>rootT</type><name>$name</name><address>$address</address>
  <struct><type>graphT</type><name>g</name><address>00 00 00 00</address></struct>
</structType>
<struct><type>rootT</type><name>r</name><address>20 00 00 00</address></struct>
</script>)";
    return CVeyScriptReader::GetInstance().ReadText(script) && CVeyBufferManager::GetInstance().CreateStructs();
}

// The colour a control's triple draws with: the high byte of each component.
inline COLORREF DrawnColour(const GT::CShortTriple& triple)
{
    return RGB(static_cast<uint16_t>(triple.red) >> 8, static_cast<uint16_t>(triple.green) >> 8,
               static_cast<uint16_t>(triple.blue) >> 8);
}

struct CGraphCanvas
{
    CBitmap bitmap;
    CDC dc;
    UL::CDrawInfo info{&dc, nullptr, nullptr};
    CGraphCanvas(int width, int height)
    {
        bitmap.CreateBitmap(width, height);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(RECT{0, 0, width, height}, RGB(0, 0, 0));
    }
    COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
};

// The graphs' palette as drawn: the background, the grid (axes, centre line, markers), the curve
// and its glow (30% of the way from the background to the curve, component by component).
constexpr COLORREF kGraphBackground = RGB(0x2B, 0x13, 0x58);
constexpr COLORREF kGraphGrid = RGB(0xDE, 0x00, 0xFF);
constexpr COLORREF kGraphCurve = RGB(0x00, 0xFF, 0xDE);
constexpr COLORREF kGraphGlow = RGB(0x1E, 0x59, 0x80);

// A pixel a drawing must have.
struct CProbe
{
    int x, y;
    COLORREF colour;
};

template <size_t N>
void ExpectProbes(const CGraphCanvas& canvas, const CProbe (&probes)[N])
{
    for (const CProbe& p : probes)
    {
        SCOPED_TRACE(testing::Message() << "(" << p.x << ", " << p.y << ")");
        EXPECT_EQ(canvas.At(p.x, p.y), p.colour);
    }
}

// The test parent places its children at (100, 50) of the panel.
template <class TControl>
struct GraphControlTest : ::testing::Test
{
    void SetUp() override
    {
        parent.SetName("panel");
        ASSERT_TRUE(BuildGraphTestModel()) << trace.Text();
    }
    void TearDown() override { ClearViewTestModel(); }

    // A control read from the attributes and created in the parent; null when either step fails.
    std::unique_ptr<TControl> Make(CVeyElementDefinition::CAttributes attributes)
    {
        auto control = std::make_unique<TControl>();
        if (!control->LoadAttributes(attributes) || !control->Create(&parent))
            return nullptr;
        return control;
    }

    static void Set(const char* name, int32_t index)
    {
        CVeyValue* value = FindTestValue(std::string("r.g.") + name);
        ASSERT_NE(value, nullptr) << name;
        value->SetIndex(index);
    }

    CTestParentView parent;
    CTraceCapture trace;
};
