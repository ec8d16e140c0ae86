#include "platform/FrameBars.h"
#include "platform/Gdi.h"
#include "platform/Shell.h"
#include "platform/UiDriver.h"
#include "platform/Wnd.h"
#include "platform/Wnd_p.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
// Writes every handler call as one line.
class CLoggingWindow : public CWnd
{
public:
    std::vector<std::string> log;

protected:
    void Add(const char* what, UINT flags, CPoint p)
    {
        log.push_back(std::string(what) + " " + std::to_string(flags) + " " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    void OnLButtonDown(UINT f, CPoint p) override { Add("ldown", f, p); }
    void OnLButtonUp(UINT f, CPoint p) override { Add("lup", f, p); }
    void OnLButtonDblClk(UINT f, CPoint p) override { Add("ldbl", f, p); }
    void OnRButtonDown(UINT f, CPoint p) override { Add("rdown", f, p); }
    void OnRButtonUp(UINT f, CPoint p) override { Add("rup", f, p); }
    void OnMouseMove(UINT f, CPoint p) override { Add("move", f, p); }
    BOOL OnMouseWheel(UINT f, short delta, CPoint) override
    {
        log.push_back("wheel " + std::to_string(f) + " " + std::to_string(delta));
        return TRUE;
    }
    void OnKeyDown(UINT vk, UINT, UINT flags) override
    {
        log.push_back("keydown " + std::to_string(vk) + " " + std::to_string(flags));
    }
    void OnKeyUp(UINT vk, UINT, UINT) override { log.push_back("keyup " + std::to_string(vk)); }
    void OnEnable(BOOL enable) override { log.push_back(enable ? "enable" : "disable"); }
    void OnActivate(UINT state, CWnd*, BOOL) override { log.push_back(state == WA_INACTIVE ? "inactive" : "active"); }
    void OnPaint() override
    {
        CPaintDC dc(this);
        dc.FillSolidRect(RECT{0, 0, 100, 100}, RGB(0, 255, 0));
        log.push_back("paint");
    }
};

QWidget* WidgetOf(CWnd& window)
{
    return window.GetImpl()->widget;
}

void Mouse(CWnd& window, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* widget = WidgetOf(window);
    QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), button, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

void Key(CWnd& window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, bool repeat = false)
{
    QKeyEvent event(type, key, modifiers, QString(), repeat);
    QApplication::sendEvent(WidgetOf(window), &event);
}

struct TwoWindows : ::testing::Test
{
    void SetUp() override
    {
        ASSERT_TRUE(a.CreateEx(0, "a", WS_VISIBLE, RECT{0, 0, 50, 50}, nullptr));
        ASSERT_TRUE(b.CreateEx(0, "b", WS_VISIBLE, RECT{100, 0, 150, 50}, nullptr));
    }
    CLoggingWindow a, b;
};
}

TEST_F(TwoWindows, MouseMessagesCarryButtonAndKeyFlags)
{
    Mouse(a, QEvent::MouseButtonPress, {3, 4}, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    Mouse(a, QEvent::MouseMove, {5, 6}, Qt::NoButton, Qt::LeftButton);
    Mouse(a, QEvent::MouseButtonRelease, {5, 6}, Qt::LeftButton, Qt::NoButton);
    Mouse(a, QEvent::MouseButtonDblClick, {5, 6}, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    Mouse(a, QEvent::MouseButtonPress, {1, 1}, Qt::RightButton, Qt::RightButton);
    Mouse(a, QEvent::MouseButtonPress, {1, 1}, Qt::MiddleButton, Qt::MiddleButton);   // no handler
    EXPECT_EQ(a.log, (std::vector<std::string>{"ldown 5 3,4", "move 1 5,6", "lup 0 5,6", "ldbl 9 5,6", "rdown 2 1,1"}));
}

TEST_F(TwoWindows, CaptureTakesTheMouseMessagesOfOtherWindows)
{
    a.SetCapture();
    EXPECT_EQ(CWnd::GetCapture(), &a);
    Mouse(b, QEvent::MouseMove, {10, 10}, Qt::NoButton, Qt::NoButton);
    ReleaseCapture();
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    Mouse(b, QEvent::MouseMove, {10, 10}, Qt::NoButton, Qt::NoButton);
    ASSERT_EQ(a.log.size(), 1u);
    // b's (10, 10) is 110 pixels right of a's origin: the point may lie outside the captor.
    EXPECT_EQ(a.log[0], "move 0 110,10");
    EXPECT_EQ(b.log, (std::vector<std::string>{"move 0 10,10"}));
}

TEST_F(TwoWindows, WheelAndKeysWithAutoRepeatReleasesDropped)
{
    QWheelEvent wheel(QPointF(1, 1), QPointF(WidgetOf(a)->mapToGlobal(QPoint(1, 1))), QPoint(), QPoint(0, -240),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(WidgetOf(a), &wheel);
    Key(a, QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    Key(a, QEvent::KeyRelease, Qt::Key_F5, Qt::NoModifier, true);
    Key(a, QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier, true);
    Key(a, QEvent::KeyRelease, Qt::Key_F5, Qt::NoModifier);
    Key(a, QEvent::KeyPress, Qt::Key_5, Qt::KeypadModifier);
    Key(a, QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    EXPECT_EQ(a.log, (std::vector<std::string>{"wheel 8 -240", "keydown 116 0", "keydown 116 16384", "keyup 116",
                                               "keydown 101 0", "keydown 65 0"}));
}

TEST_F(TwoWindows, PaintDrawsIntoTheBackBufferThroughAPaintDC)
{
    while (PumpAllMessages())
    {
    }
    a.log.clear();
    a.Invalidate();
    a.UpdateWindow();
    ASSERT_EQ(a.log, (std::vector<std::string>{"paint"}));
    const QImage& buffer = a.GetImpl()->backBuffer;
    ASSERT_EQ(buffer.size(), QSize(50, 50));
    EXPECT_EQ(buffer.pixel(49, 49), 0xFF00FF00u);
    a.UpdateWindow();   // nothing is invalid any more
    EXPECT_EQ(a.log.size(), 1u);
}

namespace
{
// Fills its whole client area with one colour at each paint, and then copies a bitmap that is
// transparent black (a 32-bit bitmap nobody drew on) over a part of it when one is given.
class CFillingWindow : public CWnd
{
public:
    COLORREF colour = RGB(255, 0, 0);
    CBitmap* transparent = nullptr;
    RECT transparentArea{0, 0, 0, 0};

protected:
    void OnPaint() override
    {
        CPaintDC dc(this);
        dc.FillSolidRect(RECT{0, 0, 50, 50}, colour);
        if (!transparent)
            return;
        CDC source;
        source.CreateCompatibleDC(&dc);
        source.SelectObject(transparent);
        const CRect area(transparentArea);
        dc.BitBlt(area.left, area.top, area.Width(), area.Height(), &source, 0, 0, SRCCOPY);
    }
};

// What the window shows now, read from its surface without painting it again.
QImage Shown(CWnd& window)
{
    QWidget* widget = WidgetOf(window);
    return QGuiApplication::primaryScreen()->grabWindow(widget->winId()).toImage();
}

void PumpAll()
{
    while (PumpAllMessages())
    {
    }
}
}

TEST(WindowPaint, APartialRepaintChangesTheInvalidRegionOnlyInTheBufferAndOnTheWindow)
{
    struct Case
    {
        const char* name;
        std::vector<RECT> invalid;
    };
    const Case cases[] = {
        {"one rectangle", {RECT{10, 10, 20, 30}}},
        {"two rectangles", {RECT{10, 10, 20, 30}, RECT{30, 5, 45, 15}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CFillingWindow window;
        ASSERT_TRUE(window.CreateEx(0, "fill", WS_VISIBLE, RECT{0, 0, 50, 50}, nullptr));
        PumpAll();
        window.Invalidate();
        window.UpdateWindow();
        ASSERT_EQ(Shown(window).pixel(25, 25), 0xFFFF0000u);

        window.colour = RGB(0, 0, 255);
        for (const RECT& r : c.invalid)
            window.InvalidateRect(&r);
        window.UpdateWindow();
        const QImage& buffer = window.GetImpl()->backBuffer;
        const QImage shown = Shown(window);
        ASSERT_EQ(buffer.size(), QSize(50, 50));
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x)
            {
                const bool inside = std::any_of(c.invalid.begin(), c.invalid.end(),
                                                [&](const RECT& r) { return CRect(r).PtInRect(CPoint(x, y)); });
                const QRgb expected = inside ? 0xFF0000FFu : 0xFFFF0000u;
                ASSERT_EQ(buffer.pixel(x, y), expected) << "buffer at " << x << "," << y;
                ASSERT_EQ(shown.pixel(x, y), expected) << "window at " << x << "," << y;
            }
        window.DestroyWindow();
        PumpAll();
    }
}

TEST(WindowPaint, TransparentBufferPixelsShowBlackNotWhatTheWindowShowedBefore)
{
    CBitmap transparent;
    ASSERT_TRUE(transparent.CreateDIBSection(10, 10));
    CFillingWindow window;
    ASSERT_TRUE(window.CreateEx(0, "fill", WS_VISIBLE, RECT{0, 0, 50, 50}, nullptr));
    PumpAll();
    window.Invalidate();
    window.UpdateWindow();
    ASSERT_EQ(Shown(window).pixel(25, 25), 0xFFFF0000u);

    // A blit to a window shows the colour channels of the pixels it copies, whatever their alpha.
    window.transparent = &transparent;
    window.transparentArea = RECT{20, 20, 30, 30};
    window.Invalidate();
    window.UpdateWindow();
    const QImage shown = Shown(window);
    EXPECT_EQ(shown.pixel(25, 25), 0xFF000000u);
    EXPECT_EQ(shown.pixel(19, 25), 0xFFFF0000u);
    EXPECT_EQ(shown.pixel(30, 25), 0xFFFF0000u);
    window.DestroyWindow();
    PumpAll();
}

TEST_F(TwoWindows, MenuBarStandsAboveAClientAreaThatKeepsItsSizeAndCoordinates)
{
    std::vector<UINT> ran;
    CWindowMenuBar bar;
    ASSERT_TRUE(bar.Create(&a, {CBarMenu("&Menu", {{1, "&One", ""}, {0, "", ""}, {2, "&Two", ""}})},
                           [](UINT id) { return id != 2; }, [&](UINT id) { ran.push_back(id); }));
    const int top = a.GetImpl()->clientTop;
    ASSERT_GT(top, 0);
    EXPECT_EQ(WidgetOf(a)->height(), 50 + top);
    CRect client;
    a.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 50, 50));

    // Input, drawing and screen points all use the client area below the bar.
    Mouse(a, QEvent::MouseButtonPress, {3, top + 4}, Qt::LeftButton, Qt::LeftButton);
    UiDriver::Click(a, POINT{7, 8});
    EXPECT_EQ(a.log.front(), "ldown 1 3,4");
    EXPECT_NE(std::find(a.log.begin(), a.log.end(), "ldown 1 7,8"), a.log.end());
    POINT origin{0, 0};
    a.ClientToScreen(&origin);
    EXPECT_EQ(QPoint(origin.x, origin.y), WidgetOf(a)->mapToGlobal(QPoint(0, top)));
    a.ScreenToClient(&origin);
    EXPECT_EQ(origin.y, 0);
    while (PumpAllMessages())
    {
    }
    a.Invalidate();
    a.UpdateWindow();
    EXPECT_EQ(a.GetImpl()->backBuffer.size(), QSize(50, 50));
    const QImage picture = WidgetOf(a)->grab().toImage();
    EXPECT_EQ(picture.pixel(49, top + 49), 0xFF00FF00u);
    EXPECT_NE(picture.pixel(49, top - 1), 0xFF00FF00u);

    // A greyed entry runs nothing; an enabled one runs its command.
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(a, 0));
    EXPECT_EQ(UiDriver::DescribePopupMenu(), (std::vector<std::string>{"&One", "-", "~&Two"}));
    UiDriver::ChoosePopupMenuItem({2});
    UiDriver::ClosePopupMenus();
    ASSERT_TRUE(UiDriver::OpenMenuBarMenu(a, 0));
    ASSERT_TRUE(UiDriver::ChoosePopupMenuItem({0}));
    EXPECT_EQ(ran, std::vector<UINT>{1});
    EXPECT_FALSE(bar.IsCommandEnabled(2));

    // Hidden, the bar gives its room back; the client area still keeps its size.
    bar.Show(false);
    EXPECT_EQ(a.GetImpl()->clientTop, 0);
    EXPECT_EQ(WidgetOf(a)->height(), 50);
    EXPECT_FALSE(UiDriver::OpenMenuBarMenu(a, 0));
    bar.Show(true);
    EXPECT_EQ(a.GetImpl()->clientTop, top);
    bar.Destroy();
    EXPECT_EQ(WidgetOf(a)->height(), 50);
    EXPECT_TRUE(UiDriver::DescribeMenuBar(a).empty());
}

TEST_F(TwoWindows, EnablingAndActivationReachTheirHandlers)
{
    while (PumpAllMessages())
    {
    }
    a.log.clear();
    b.log.clear();
    EXPECT_FALSE(a.EnableWindow(FALSE));
    EXPECT_TRUE(a.EnableWindow(TRUE));
    EXPECT_EQ(a.log, (std::vector<std::string>{"disable", "enable"}));
    a.log.clear();
    a.SetActiveWindow();
    PumpAllMessages();
    b.SetActiveWindow();
    PumpAllMessages();
    a.log.erase(std::remove(a.log.begin(), a.log.end(), "paint"), a.log.end());
    EXPECT_EQ(a.log, (std::vector<std::string>{"active", "inactive"}));
    EXPECT_TRUE(b.IsActiveWindow());
}

TEST(Shell, MessageBoxesGoThroughTheHook)
{
    std::vector<std::string> shown;
    auto previous = SetMessageBoxHook([&](const char* text, const char* caption, UINT type) {
        shown.push_back(std::string(caption) + ":" + text + ":" + std::to_string(type));
        return IDNO;
    });
    EXPECT_EQ(MessageBox(nullptr, "Save?", "Q9", MB_YESNO | MB_ICONQUESTION), IDNO);
    SetMessageBoxHook(previous);
    EXPECT_EQ(shown, (std::vector<std::string>{"Q9:Save?:36"}));
}

// Other programs read and write the clipboard as UTF-8: Japanese goes both ways unchanged, a
// stray byte as the Latin-1 character it shows.
TEST(Shell, ClipboardTextIsUtf8)
{
    const struct
    {
        const char* set;
        const char* got;
    } cases[] = {{"F0 41 10 音色 1", "F0 41 10 音色 1"}, {"caf\xe9 1", "caf\xc3\xa9 1"}};
    for (const auto& c : cases)
    {
        ASSERT_TRUE(SetClipboardText(c.set));
        std::string text;
        ASSERT_TRUE(GetClipboardText(&text));
        EXPECT_EQ(text, c.got);
    }
}

TEST(Shell, ProgramCursorsAreKnownByTheirIds)
{
    EXPECT_TRUE(SetProgramCursor(IDC_WAIT, true));
    EXPECT_EQ(GetProgramCursor(), IDC_WAIT);
    EXPECT_TRUE(SetProgramCursor(26643, false));
    EXPECT_FALSE(SetProgramCursor(26644, false));
    EXPECT_EQ(GetProgramCursor(), 26643);
    RestoreWindowCursors();
    EXPECT_EQ(GetProgramCursor(), -1);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

namespace
{
class CDropTarget : public CWnd
{
public:
    std::vector<std::vector<std::string>> drops;

protected:
    void OnDropFiles(const std::vector<std::string>& paths) override { drops.push_back(paths); }
};
}

TEST(WindowDrop, OnlyAWindowThatAcceptsFilesGetsThemInTheOrderGiven)
{
    CDropTarget window;
    ASSERT_TRUE(window.CreateEx(0, "target", WS_CAPTION, CRect(10, 10, 110, 60), nullptr));
    window.ShowWindow(SW_SHOW);
    const std::vector<std::string> files = {"/tmp/b patch.q9e", "/tmp/a.q9e", "/tmp/\xC3\xA9t\xC3\xA9.q9e"};
    EXPECT_FALSE(UiDriver::DropFiles(window, files));
    EXPECT_TRUE(window.drops.empty());
    window.DragAcceptFiles(TRUE);
    EXPECT_TRUE(UiDriver::DropFiles(window, files));
    ASSERT_EQ(window.drops.size(), 1u);
    EXPECT_EQ(window.drops[0], files);
    window.DragAcceptFiles(FALSE);
    EXPECT_FALSE(UiDriver::DropFiles(window, files));
    window.DestroyWindow();
}
