#include "ui/controls/CVeyKeyboardControl.h"

#include "midi/framework/CVeyMidiPortLists.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyResourceManager.h"
#include "platform/Messages.h"
#include "tests/midi/framework/PortFixture.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "tests/ui/controls/ViewTestSupport.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
// The key sheet: the upside pictures of C D E F G A B and the ebony key in a row 40 high, the
// one ivory downside below them, and the pressed pictures 100 pixels lower. Laid out, an octave
// is 98 pixels wide: seven 14-pixel downsides, with the ebony keys over the ivory keys' corners.
const CVeyElementDefinition::CAttributes kSheet = {
    {"cKeyUpsideRectangle", "0,0,11,40"},          {"dKeyUpsideRectangle", "20,0,28,40"},
    {"eKeyUpsideRectangle", "30,0,41,40"},         {"fKeyUpsideRectangle", "50,0,61,40"},
    {"gKeyUpsideRectangle", "70,0,78,40"},         {"aKeyUpsideRectangle", "80,0,88,40"},
    {"bKeyUpsideRectangle", "90,0,101,40"},        {"ebonyKeyRectangle", "110,0,116,40"},
    {"ivoryKeyDownsideRectangle", "0,40,14,60"},
    {"cKeyUpsideRectanglePressed", "0,100,11,140"},   {"dKeyUpsideRectanglePressed", "20,100,28,140"},
    {"eKeyUpsideRectanglePressed", "30,100,41,140"},  {"fKeyUpsideRectanglePressed", "50,100,61,140"},
    {"gKeyUpsideRectanglePressed", "70,100,78,140"},  {"aKeyUpsideRectanglePressed", "80,100,88,140"},
    {"bKeyUpsideRectanglePressed", "90,100,101,140"}, {"ebonyKeyRectanglePressed", "110,100,116,140"},
    {"ivoryKeyDownsideRectanglePressed", "0,140,14,160"},
};
const int kUpsideLefts[8] = {0, 20, 30, 50, 70, 80, 90, 110};
const int kUpsideRights[8] = {11, 28, 41, 61, 78, 88, 101, 116};

COLORREF UpsideColour(int kind, bool pressed)
{
    return pressed ? RGB(0, 20 + 20 * kind, 0) : RGB(20 + 20 * kind, 0, 0);
}
COLORREF DownsideColour(bool pressed)
{
    return pressed ? RGB(0, 0, 100) : RGB(0, 0, 200);
}

struct CCanvas
{
    CBitmap bitmap;
    CDC dc;
    CCanvas(int width, int height)
    {
        bitmap.CreateBitmap(width, height);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(RECT{0, 0, width, height}, RGB(255, 255, 255));
    }
};

// Keys 48 (C) to 71 (B) at (10, 10) in a parent at (100, 50); notes on channel 1 of "ms", the octave
// in fm.common.level (64: keys are notes) and the velocity in fm.tone.level (100).
class KeyboardControl : public CPortTest
{
protected:
    void SetUp() override
    {
        CreateWired();
        parent.SetName("p");
        CVeyStateBitmap::SetBitmapFolder(dir.Path() + "/");
        CCanvas sheet(120, 160);
        for (int pressed = 0; pressed < 2; ++pressed)
        {
            for (int kind = 0; kind < 8; ++kind)
                sheet.dc.FillSolidRect(RECT{kUpsideLefts[kind], pressed * 100, kUpsideRights[kind], pressed * 100 + 40},
                                       UpsideColour(kind, pressed));
            sheet.dc.FillSolidRect(RECT{0, pressed * 100 + 40, 14, pressed * 100 + 60}, DownsideColour(pressed));
        }
        ASSERT_TRUE(sheet.bitmap.SaveFile(dir.File("keys.bmp").c_str(), "BMP"));
        auto bitmap = std::make_unique<CVeyStateBitmap>();
        CVeyElementDefinition::CAttributes attributes = {{"name", "keys"}};
        ASSERT_TRUE(bitmap->Load(attributes));
        CVeyResourceManager::GetInstance().GetBitmaps().Insert("keys", std::move(bitmap));
        Octave()->SetNumber(64);
        FindTestValue("fm.tone.level")->SetNumber(100);
    }
    void TearDown() override
    {
        keyboard.reset();
        CVeyResourceManager::GetInstance().Clear();
        CVeyStateBitmap::SetBitmapFolder("");
        CPortTest::TearDown();
    }

    static CVeyValue* Octave() { return FindTestValue("fm.common.level"); }
    static CVeyValue* Notes() { return FindTestValue("ms.ch[1].note"); }

    CVeyElementDefinition::CAttributes Attributes(const CVeyElementDefinition::CAttributes& extra = {}) const
    {
        CVeyElementDefinition::CAttributes attributes = {
            {"name", "keys"},
            {"position", "10,10"},
            {"valueRef", "ms.ch[1].note"},
            {"bitmapRef", "keys"},
            {"physicalKeyRange", "48,71"},
            {"octaveValueRef", "fm.common.level"},
            {"onVelocityValueRef", "fm.tone.level"},
        };
        attributes.insert(attributes.end(), kSheet.begin(), kSheet.end());
        attributes.insert(attributes.end(), extra.begin(), extra.end());
        return attributes;
    }
    bool Make(const CVeyElementDefinition::CAttributes& extra = {})
    {
        keyboard = std::make_unique<CVeyKeyboardControl>();
        CVeyElementDefinition::CAttributes attributes = Attributes(extra);
        return keyboard->LoadAttributes(attributes) && keyboard->Create(&parent);
    }
    bool Mouse(UINT message, CPoint point)
    {
        UL::CMouseInfo info(message, point, 0);
        info.m_flags = 0;
        return keyboard->OnMouse(info);
    }
    // Keyboard left 110, top 60; octaves from key 48 every 98 pixels, the lower row from y 100.
    static CPoint Upper(int32_t octave, int32_t x) { return CPoint(110 + 98 * octave + x, 80); }
    static CPoint Lower(int32_t octave, int32_t x) { return CPoint(110 + 98 * octave + x, 110); }

    CTempDir dir;
    CTestParentView parent;
    std::unique_ptr<CVeyKeyboardControl> keyboard;
};
}

TEST_F(KeyboardControl, SizesItselfAndFindsKeysInBothRows)
{
    ASSERT_TRUE(Make());
    EXPECT_EQ(keyboard->GetRect(), CRect(110, 60, 306, 120));
    EXPECT_EQ(keyboard->GetOctaveWidth(), 98);
    struct Case
    {
        const char* name;
        CPoint point;
        int32_t key;
    };
    const Case cases[] = {
        {"lowest C upper", Upper(0, 5), 48},       {"C-sharp", Upper(0, 12), 49},
        {"D upper", Upper(0, 20), 50},             {"E upper", Upper(0, 40), 52},
        {"F upper", Upper(0, 42), 53},             {"B upper", Upper(0, 90), 59},
        {"C4 upper", Upper(1, 0), 60},             {"A-sharp 4", Upper(1, 86), 70},
        {"highest B upper", Upper(1, 97), 71},     {"C lower", Lower(0, 13), 48},
        {"D lower under C-sharp", Lower(0, 14), 50}, {"B4 lower", Lower(1, 90), 71},
        {"E4 lower", Lower(1, 30), 64},
        {"left of the control", CPoint(0, 80), 48},
        {"right of the control, lower row", CPoint(900, 300), 71},
        {"above the control", CPoint(110 + 98 + 12, -40), 61},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(keyboard->HitTest(c.point), c.key);
    }
}

TEST_F(KeyboardControl, PlaysNotesOffBeforeOn)
{
    ASSERT_TRUE(Make());
    struct Step
    {
        const char* name;
        UINT message;
        CPoint point;
        int32_t octave;
        bool taken;
        std::vector<std::string> sent;
    };
    const Step steps[] = {
        {"press C4", WM_LBUTTONDOWN, Upper(1, 5), 64, true, {"91 3C 64"}},
        {"same key", WM_MOUSEMOVE, Upper(1, 6), 64, true, {}},
        {"slide to C-sharp", WM_MOUSEMOVE, Upper(1, 12), 64, true, {"81 3C 64", "91 3D 64"}},
        {"slide past the right edge", WM_MOUSEMOVE, CPoint(800, 110), 64, true, {"81 3D 64", "91 47 64"}},
        {"release", WM_LBUTTONUP, CPoint(800, 110), 64, true, {"81 47 64"}},
        {"move without capture", WM_MOUSEMOVE, Upper(1, 5), 64, false, {}},
        {"octave up", WM_LBUTTONDOWN, Upper(1, 5), 65, true, {"91 48 64"}},
        {"release an octave up", WM_LBUTTONUP, Upper(1, 5), 65, true, {"81 48 64"}},
        {"double click plays", WM_LBUTTONDBLCLK, Upper(0, 5), 64, true, {"91 30 64"}},
        {"release the double click", WM_LBUTTONUP, Upper(0, 5), 64, true, {"81 30 64"}},
        {"notes beyond 127", WM_LBUTTONDOWN, Upper(1, 5), 70, true, {}},
        {"release beyond 127", WM_LBUTTONUP, Upper(1, 5), 70, true, {}},
        {"press outside", WM_LBUTTONDOWN, CPoint(50, 50), 64, false, {}},
    };
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.name);
        m_out.sent.clear();
        Octave()->SetNumber(step.octave);
        EXPECT_EQ(Mouse(step.message, step.point), step.taken);
        EXPECT_EQ(m_out.sent, step.sent);
        EXPECT_TRUE(CVeyBufferManager::GetInstance().GetChangeList().empty());
    }
}

TEST_F(KeyboardControl, NoteHeldAcrossAnOctaveChangeStillGoesOff)
{
    ASSERT_TRUE(Make());
    ASSERT_TRUE(Mouse(WM_LBUTTONDOWN, Upper(1, 5)));
    Octave()->SetNumber(70);   // key 60 now plays note 132; note 60 is off the shown keys
    m_out.sent.clear();
    ASSERT_TRUE(Mouse(WM_LBUTTONUP, Upper(1, 5)));
    EXPECT_EQ(m_out.sent, std::vector<std::string>{"81 3C 64"});
}

TEST_F(KeyboardControl, NotesGoOffWhenTheMouseIsLostMidPlay)
{
    ASSERT_TRUE(Make());
    ASSERT_TRUE(Mouse(WM_LBUTTONDOWN, Upper(1, 5)));
    ASSERT_TRUE(Mouse(WM_MOUSEMOVE, Upper(1, 12)));
    Octave()->SetNumber(65);
    m_out.sent.clear();
    keyboard->OnCaptureLost();
    EXPECT_EQ(m_out.sent, std::vector<std::string>{"81 3D 64"});
    EXPECT_FALSE(keyboard->IsCapturing());
    m_out.sent.clear();
    keyboard->OnCaptureLost();
    EXPECT_FALSE(Mouse(WM_LBUTTONUP, Upper(1, 5))) << "the button-up that comes late finds nothing held";
    EXPECT_TRUE(m_out.sent.empty());
}

TEST_F(KeyboardControl, DrawsKeysPressedFromTheNoteValue)
{
    ASSERT_TRUE(Make());
    std::vector<int32_t> states(128, 0);
    states[61] = 90;   // C-sharp 4 held elsewhere
    states[62] = -40;  // released
    Notes()->SetArray(states);
    keyboard->UpdateFromValue();
    CCanvas canvas(400, 200);
    const std::vector<CRect> clip = {keyboard->GetRect()};
    keyboard->Draw(UL::CDrawInfo(&canvas.dc, &clip, nullptr));
    struct Probe
    {
        const char* name;
        CPoint point;
        COLORREF colour;
    };
    const Probe probes[] = {
        {"lowest C from the C picture", Upper(0, 5), UpsideColour(0, false)},
        {"C-sharp 4 pressed", Upper(1, 13), UpsideColour(7, true)},
        {"D4 released", Upper(1, 20), UpsideColour(1, false)},
        {"F upper", Upper(0, 45), UpsideColour(3, false)},
        {"B4 highest from the B picture", Upper(1, 95), UpsideColour(6, false)},
        {"a downside", Lower(1, 20), DownsideColour(false)},
        {"outside", CPoint(105, 80), RGB(255, 255, 255)},
    };
    for (const Probe& probe : probes)
    {
        SCOPED_TRACE(probe.name);
        EXPECT_EQ(canvas.dc.GetPixel(probe.point.x, probe.point.y), probe.colour);
    }
}

TEST_F(KeyboardControl, RefusesBadPicturesAndRanges)
{
    struct Case
    {
        const char* name;
        CVeyElementDefinition::CAttributes extra;
        bool loads;
        const char* trace;
    };
    const Case cases[] = {
        {"range 0 to 127 ending on own pictures",
         {{"physicalKeyRange", "0,127"}, {"highestKeyUpsideRectangle", "0,0,11,40"},
          {"highestKeyUpsideRectanglePressed", "0,100,11,140"}, {"highestKeyDownsideRectangle", "0,40,14,60"},
          {"highestKeyDownsideRectanglePressed", "0,140,14,160"}},
         true, ""},
        // The range is taken; key 128 is a G-sharp, and an ebony key cannot end the keyboard.
        {"range 0 to 128", {{"physicalKeyRange", "0,128"}}, false, ""},
        {"range from -1", {{"physicalKeyRange", "-1,10"}}, false, "Keyboard physicalKeyRange is invalid. : -1,10\n"},
        {"range reversed", {{"physicalKeyRange", "20,10"}}, false, "Keyboard physicalKeyRange is invalid. : 20,10\n"},
        {"range to 129", {{"physicalKeyRange", "0,129"}}, false, "Keyboard physicalKeyRange is invalid. : 0,129\n"},
        {"bad rectangle", {{"gKeyUpsideRectanglePressed", "1,2,3"}}, false,
         "Keyboard gKeyUpsideRectanglePressed is invalid. : 1,2,3\n"},
        {"unknown bitmap", {{"bitmapRef", "none"}}, false, "Unable to find bitmap none.\n"},
        {"lowest without its pressed twin", {{"lowestKeyUpsideRectangle", "0,0,11,40"}}, false, ""},
        {"pressed of another size", {{"dKeyUpsideRectanglePressed", "20,100,29,140"}}, false, ""},
        {"layout that breaks the octave", {{"dKeyUpsideRectangle", "20,0,29,40"},
                                           {"dKeyUpsideRectanglePressed", "20,100,29,140"}},
         false, ""},
        {"empty pictures", {{"ebonyKeyRectangle", "0,0,0,40"}, {"ebonyKeyRectanglePressed", "0,0,0,40"}}, false, ""},
        {"highest key an ebony key", {{"physicalKeyRange", "48,70"}}, false, ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTraceCapture trace;
        keyboard = std::make_unique<CVeyKeyboardControl>();
        CVeyElementDefinition::CAttributes attributes = Attributes(c.extra);
        EXPECT_EQ(keyboard->LoadAttributes(attributes), c.loads);
        EXPECT_EQ(trace.Text(), c.trace);
    }

    CTraceCapture trace;
    keyboard = std::make_unique<CVeyKeyboardControl>();
    CVeyElementDefinition::CAttributes attributes = {{"name", "keys"}};
    attributes.insert(attributes.end(), kSheet.begin(), kSheet.end());
    EXPECT_FALSE(keyboard->LoadAttributes(attributes));
    EXPECT_EQ(trace.Text(), "Keyboard control keys needs bitmap. : keyboard\n");
}

TEST_F(KeyboardControl, CreationNeedsANoteArray)
{
    struct Case
    {
        const char* name;
        const char* valueRef;   // null: none
        const char* trace;
    };
    const Case cases[] = {
        {"plain value", "fm.common.pan", "Keyboard control needs a note value. : p.keys\n"},
        {"no note reference", nullptr, "Keyboard control needs a note value. : p.keys\n"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        keyboard = std::make_unique<CVeyKeyboardControl>();
        CVeyElementDefinition::CAttributes attributes;
        for (const auto& attribute : Attributes())
            if (attribute.first != "valueRef")
                attributes.push_back(attribute);
        if (c.valueRef)
            attributes.push_back({"valueRef", c.valueRef});
        ASSERT_TRUE(keyboard->LoadAttributes(attributes));
        CTraceCapture trace;
        EXPECT_FALSE(keyboard->Create(&parent));
        EXPECT_EQ(trace.Text(), c.trace);
    }
}
