// The editor's main panel in its window on a screen of the ratio this program was built for: 100 %,
// or 200 % (Q9_TEST_SCREEN_SCALE). The same checks hold at both: the window's picture has the
// screen's device pixels and is what the panel draws on a bitmap of that ratio, the background
// shows its picture for that ratio one to one, and a click lands on the control drawn under it.
// The window's picture is kept under the build folder.
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"
#include "platform/Gdi.h"
#include "platform/Messages.h"
#include "platform/UiDriver.h"
#include "tests/editor/resources/BundledScript.h"
#include "tests/support/TraceCapture.h"
#include "toolkit/ul/Input.h"
#include "ui/panels/CPanelWindow.h"
#include "ui/panels/CVeyPanel.h"
#include "ui/panels/CVeyViewManager.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace
{
#ifdef Q9_TEST_SCREEN_SCALE
// The screen's scale is read when the application object is made, before main's first line.
const bool kScaledScreen = [] { return setenv("QT_SCALE_FACTOR", Q9_TEST_SCREEN_SCALE, 1) == 0; }();
constexpr int kRatio = 2;
#else
constexpr int kRatio = 1;
#endif

std::string PictureFolder()
{
    ::mkdir(Q9_PANEL_PICTURE_FOLDER, 0755);
    return Q9_PANEL_PICTURE_FOLDER;
}

// The window's picture as the screen shows it, in device pixels.
bool GrabWindow(CWnd& window, const std::string& path, CBitmap& picture)
{
    return UiDriver::SaveWindowPicture(window, path) && picture.LoadFile(path.c_str());
}

struct PanelWindowScale : ::testing::Test
{
    void SetUp() override
    {
        ASSERT_TRUE(m_script.Read()) << m_trace.Text();
        ASSERT_TRUE(CVeyViewManager::GetInstance().OpenRootPanel("main")) << m_trace.Text();
        auto* panel = dynamic_cast<CWindowRootPanel*>(CVeyViewManager::GetInstance().FindRootPanel("main"));
        ASSERT_NE(panel, nullptr);
        m_window = panel->GetWindow();
        ASSERT_NE(m_window, nullptr);
        Settle();
    }
    static void Settle()
    {
        while (PumpAllMessages())
        {
        }
    }
    std::string PicturePath(const std::string& what) const
    {
        return PictureFolder() + "/" + what + "-" + std::to_string(kRatio * 100) + ".png";
    }

    CTraceCapture m_trace;
    CBundledScript m_script;
    CWnd* m_window = nullptr;
};

// The tests carry the screen's scale in their names.
#ifdef Q9_TEST_SCREEN_SCALE
using PanelWindowAt200Percent = PanelWindowScale;
#define PANEL_WINDOW_SUITE PanelWindowAt200Percent
#else
using PanelWindowAt100Percent = PanelWindowScale;
#define PANEL_WINDOW_SUITE PanelWindowAt100Percent
#endif
}

TEST_F(PANEL_WINDOW_SUITE, TheWindowShowsThePanelInTheScreensDevicePixels)
{
    EXPECT_EQ(GetScreenDevicePixelRatio(), kRatio);
    RECT client;
    m_window->GetClientRect(&client);
    EXPECT_EQ(CRect(client).Size(), CSize(1000, 660)) << "the panel keeps its logical size";

    CBitmap shown;
    ASSERT_TRUE(GrabWindow(*m_window, PicturePath("main-window"), shown));
    ASSERT_EQ(shown.GetPixelSize(), CSize(1000 * kRatio, 660 * kRatio));

    // The strip left of the first panel shows only the background, which is the picture drawn
    // for this ratio, device pixel for device pixel: nothing enlarged, nothing smoothed.
    const std::string file = CBundledScript::Folder() + (kRatio == 1 ? "mainPanel.png" : "mainPanel@2x.png");
    CBitmap background;
    ASSERT_TRUE(background.LoadFile(file.c_str()));
    ASSERT_EQ(background.GetPixelSize(), shown.GetPixelSize());
    int differences = 0;
    for (int y = 0; y < 660 * kRatio; ++y)
        for (int x = 0; x < 10 * kRatio; ++x)
            differences += (shown.GetRow(y)[x] & 0xFFFFFFu) != (background.GetRow(y)[x] & 0xFFFFFFu);
    EXPECT_EQ(differences, 0);

    // The window shows exactly what the panel draws on a bitmap of the screen's ratio.
    CBitmap drawn;
    ASSERT_TRUE(drawn.CreateBitmap(1000, 660, kRatio));
    CDC dc;
    dc.SelectObject(&drawn);
    CVeyViewManager::GetInstance().FindRootPanel("main")->Draw(UL::CDrawInfo(&dc, nullptr, nullptr));
    differences = 0;
    for (int y = 0; y < 660 * kRatio; ++y)
        for (int x = 0; x < 1000 * kRatio; ++x)
            differences += (shown.GetRow(y)[x] & 0xFFFFFFu) != (drawn.GetRow(y)[x] & 0xFFFFFFu);
    EXPECT_EQ(differences, 0);

    // The panel's bevel is a hard edge one logical pixel wide: as many device pixels of the bevel's
    // colour, then at once the panel's face, with nothing in between.
    const int y = 300 * kRatio;
    for (int x = 0; x < kRatio; ++x)
        EXPECT_EQ(shown.GetRow(y)[x] & 0xFFFFFFu, 0x565C68u) << x;
    const uint32_t face = shown.GetRow(y)[kRatio] & 0xFFFFFFu;
    EXPECT_EQ(face, shown.GetRow(y)[kRatio + 1] & 0xFFFFFFu);
    EXPECT_LT((face >> 16) & 0xFF, 0x40u) << "the face is darker than the bevel, not a blend of the two";
}

// A click at a logical point reaches the control drawn there: the tone's switch under the pointer
// changes its value, and the window changes only inside that switch and its lamp, in device pixels.
TEST_F(PANEL_WINDOW_SUITE, AClickLandsOnTheControlDrawnUnderIt)
{
    CVeyValue* toneSwitch = CVeyBufferManager::GetInstance().FindValueOrNull("fm.pat.tmt.tmtToneSwitch[0]");
    ASSERT_NE(toneSwitch, nullptr);
    const int32_t before = toneSwitch->GetIndex();
    CBitmap shownBefore, shownAfter;
    ASSERT_TRUE(GrabWindow(*m_window, PicturePath("click-before"), shownBefore));

    // The switch lies at (448, 72)-(492, 90) of the window; its lamp at (496, 76)-(506, 86).
    const CRect switchRect(448, 72, 492, 90), lampRect(496, 76, 506, 86);
    struct Case
    {
        POINT point;
        bool hits;
    };
    for (const Case& c : {Case{{447, 80}, false}, Case{{470, 71}, false}, Case{{448, 72}, true}, Case{{491, 89}, true}})
    {
        SCOPED_TRACE(std::to_string(c.point.x) + "," + std::to_string(c.point.y));
        const int32_t was = toneSwitch->GetIndex();
        ASSERT_TRUE(UiDriver::Click(*m_window, c.point));
        Settle();
        EXPECT_EQ(toneSwitch->GetIndex() != was, c.hits);
    }
    ASSERT_EQ(toneSwitch->GetIndex(), before) << "two clicks on the switch and none beside it";
    // One more, so that the picture shows the change.
    ASSERT_TRUE(UiDriver::Click(*m_window, POINT{470, 80}));
    Settle();
    ASSERT_NE(toneSwitch->GetIndex(), before);
    ASSERT_TRUE(GrabWindow(*m_window, PicturePath("click-after"), shownAfter));
    ASSERT_EQ(shownAfter.GetPixelSize(), shownBefore.GetPixelSize());

    CRect changed(1 << 20, 1 << 20, -1, -1);
    bool outside = false;
    const CSize pixels = shownAfter.GetPixelSize();
    for (int y = 0; y < pixels.cy; ++y)
        for (int x = 0; x < pixels.cx; ++x)
            if (shownAfter.GetRow(y)[x] != shownBefore.GetRow(y)[x])
            {
                const CPoint logical(x / kRatio, y / kRatio);
                outside |= !switchRect.PtInRect(logical) && !lampRect.PtInRect(logical);
                changed.SetRect(std::min(changed.left, x), std::min(changed.top, y), std::max(changed.right, x + 1),
                                std::max(changed.bottom, y + 1));
            }
    EXPECT_FALSE(outside) << "changed device pixels " << changed.left << "," << changed.top << " - " << changed.right
                          << "," << changed.bottom;
    EXPECT_GT(changed.right, changed.left) << "the switch shows its new state";
}

// Every window of the script as the user opens it, kept as a picture for a person to look at: the
// window shows its whole panel at the screen's ratio.
TEST_F(PANEL_WINDOW_SUITE, EveryWindowShowsItsWholePanel)
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    const struct
    {
        const char* panel;
        const char* path;
        int32_t number;
    } windows[] = {
        {"select", "vs.control.selectPanelSw", 2},     {"write", "vs.control.writePanelSw", 2},
        {"system", "vs.navigation.patpat.state", 0},   {"commonList", "vs.navigation.patpat.state", 4},
        {"effectsList", "vs.navigation.patpat.state", 5}, {"toneList", "vs.navigation.patpat.state", 6},
    };
    for (const auto& w : windows)
    {
        SCOPED_TRACE(w.panel);
        buffers.SetValue(buffers.FindValueOrNull(w.path), w.number);
        buffers.Flush();
        buffers.UpdateViews();
        buffers.ClearChanges();
        Settle();
        auto* panel = dynamic_cast<CWindowRootPanel*>(CVeyViewManager::GetInstance().FindRootPanel(w.panel));
        ASSERT_NE(panel, nullptr);
        ASSERT_NE(panel->GetWindow(), nullptr) << "its button's value opens it";
        CBitmap shown;
        ASSERT_TRUE(GrabWindow(*panel->GetWindow(), PicturePath(w.panel), shown));
        EXPECT_EQ(shown.GetPixelSize(), CSize(panel->GetRect().Width() * kRatio, panel->GetRect().Height() * kRatio));
    }
    EXPECT_EQ(m_trace.Text(), "");
}
