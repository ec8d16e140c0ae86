#pragma once
// Shared ground of the drag control tests: a small model of values of several ranges, state
// bitmaps drawn into a fresh folder, mouse records and a canvas to probe what a control draws.
#include "ViewTestSupport.h"

#include "model/CVeyResourceManager.h"
#include "model/CVeyValue.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <gtest/gtest.h>

#include <memory>

// r.d (10 00 00 00): level 0..127 default 100, one (a single index), title (text), wide (ten million
// indexes), pan 0..127 default 64, low 10..20 default 12.
inline bool BuildDragTestModel()
{
    CVeyBufferManager::GetInstance().Clear();
    CVeyScriptDefinitions::GetInstance().Clear();
    const char* script = R"(<script>
<structType><type>dragT</type><name>$name</name><address>$address</address>
  <value><type>int1x7</type><name>level</name><default>100</default></value>
  <value><type>int1x7</type><name>one</name><range>5,5</range><default>5</default></value>
  <value><type>string</type><name>title</name><size>04</size><default>INIT</default></value>
  <value><type>int5x7</type><name>wide</name><range>0,9999999</range></value>
  <value><type>int1x7</type><name>pan</name><default>64</default></value>
  <value><type>int1x7</type><name>low</name><range>10,20</range><default>12</default></value>
</structType>
<structType><type>rootT</type><name>$name</name><address>$address</address>
  <struct><type>dragT</type><name>d</name><address>00 00</address></struct>
</structType>
<struct><type>rootT</type><name>r</name><address>10 00 00 00</address></struct>
</script>)";
    return CVeyScriptReader::GetInstance().ReadText(script) && CVeyBufferManager::GetInstance().CreateStructs();
}

struct CCanvas
{
    CBitmap bitmap;
    CDC dc;
    UL::CDrawInfo info{&dc, nullptr, nullptr};
    CCanvas(int width, int height)
    {
        bitmap.CreateBitmap(width, height);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(RECT{0, 0, width, height}, RGB(0, 0, 0));
    }
    COLORREF At(int x, int y) { return dc.GetPixel(x, y); }
};

inline UL::CMouseInfo Mouse(uint32_t kind, int x, int y, uint32_t flags = 0)
{
    UL::CMouseInfo info(0, CPoint(x, y), 0);
    info.m_kind = kind;
    info.m_flags = flags;
    return info;
}

// The colour of state s in the test bitmaps.
inline COLORREF StateColour(int state)
{
    return RGB(100 + state, 0, 0);
}

struct DragTest : ::testing::Test
{
    void SetUp() override
    {
        parent.SetName("main");
        CTraceCapture trace;
        ASSERT_TRUE(BuildDragTestModel()) << trace.Text();
        CVeyStateBitmap::SetBitmapFolder(folder.Path() + "/");
    }
    void TearDown() override
    {
        CVeyViewPointers::GetInstance() = CVeyViewPointers();
        CVeyResourceManager::GetInstance().Clear();
        CVeyStateBitmap::SetBitmapFolder("");
        ClearViewTestModel();
    }
    // A vertical strip of `states` states of width x height, state s filled with StateColour(s),
    // known to the resource manager as `name`.
    void AddBitmap(const std::string& name, int states, int width, int height)
    {
        CBitmap strip;
        strip.CreateBitmap(width, height * states);
        CDC dc;
        dc.SelectObject(&strip);
        for (int s = 0; s < states; ++s)
            dc.FillSolidRect(RECT{0, s * height, width, (s + 1) * height}, StateColour(s));
        ASSERT_TRUE(strip.SaveFile(folder.File(name + ".bmp").c_str(), "BMP"));
        auto bitmap = std::make_unique<CVeyStateBitmap>();
        auto attributes = TestAttributes({{"name", name}, {"stateCount", std::to_string(states)}});
        ASSERT_TRUE(bitmap->Load(attributes));
        CVeyResourceManager::GetInstance().GetBitmaps().Insert(name, std::move(bitmap));
    }
    // Reads the attributes and creates the control in the test parent; false at the first failure.
    template <class T>
    bool Make(T& control, CVeyElementDefinition::CAttributes attributes)
    {
        return control.LoadAttributes(attributes) && control.Create(&parent);
    }
    static CVeyValue* Value(const std::string& name) { return FindTestValue("r.d." + name); }

    CTempDir folder;
    CTestParentView parent;
};
