#include "platform/Controls.h"
#include "platform/MouseHook.h"
#include "platform/UiDriver.h"
#include "platform/Wnd_p.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

namespace
{
QLineEdit* LineOf(CEdit& edit) { return qobject_cast<QLineEdit*>(edit.GetImpl()->content.data()); }
}

// While an edit takes every key, neither a Ctrl shortcut nor a plain-letter shortcut of the
// program's menus fires; an ordinary edit lets Ctrl shortcuts through (which shows the test can
// see them) and keeps only typing keys.
TEST(EditKeys, ShortcutsDoNotFireWhileTheEditTakesAllKeys)
{
    QWidget menuOwner;
    auto* save = new QAction(&menuOwner);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    save->setShortcutContext(Qt::ApplicationShortcut);
    menuOwner.addAction(save);
    auto* mute = new QAction(&menuOwner);
    mute->setShortcut(QKeySequence(Qt::Key_M));
    mute->setShortcutContext(Qt::ApplicationShortcut);
    menuOwner.addAction(mute);
    menuOwner.show();
    int fired = 0;
    QObject::connect(save, &QAction::triggered, [&] { ++fired; });
    QObject::connect(mute, &QAction::triggered, [&] { ++fired; });

    for (bool takesAll : {false, true})
    {
        SCOPED_TRACE(takesAll ? "takes all keys" : "ordinary edit");
        fired = 0;
        CEdit edit;
        ASSERT_TRUE(edit.Create(WS_POPUP | WS_VISIBLE, CRect(10, 10, 110, 30), nullptr, 0));
        edit.SetTakesAllKeys(takesAll);
        QLineEdit* line = LineOf(edit);
        ASSERT_NE(line, nullptr);
        QTest::keyClick(line, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(line, Qt::Key_M);
        EXPECT_EQ(fired, takesAll ? 0 : 1);
        EXPECT_EQ(line->text(), QString("m"));
        edit.DestroyWindow();
    }
}

namespace
{
std::vector<std::string> g_calls;
HHOOK g_first = nullptr;
HHOOK g_second = nullptr;
bool g_swallow = false;

LRESULT FirstHook(int code, WPARAM message, LPARAM info)
{
    g_calls.push_back("first " + std::to_string(message));
    return CallNextHookEx(g_first, code, message, info);
}

LRESULT SecondHook(int code, WPARAM message, LPARAM info)
{
    const auto* hook = reinterpret_cast<const MOUSEHOOKSTRUCT*>(info);
    g_calls.push_back("second " + std::to_string(message) + " " + hook->className);
    if (g_swallow && message == WM_LBUTTONDOWN)
        return 1;
    return CallNextHookEx(g_second, code, message, info);
}

class CPressCounter : public CWnd
{
public:
    int presses = 0;

protected:
    void OnLButtonDown(UINT, CPoint) override { ++presses; }
};
}

TEST(MouseHook, LatestHookFirstAndANonZeroResultSwallows)
{
    CPressCounter window;
    ASSERT_TRUE(window.CreateEx(0, "Target", WS_VISIBLE, CRect(0, 0, 100, 100), nullptr));
    g_first = SetWindowsHookEx(WH_MOUSE, &FirstHook, nullptr, GetCurrentThreadId());
    g_second = SetWindowsHookEx(WH_MOUSE, &SecondHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_first, nullptr);
    ASSERT_NE(g_second, nullptr);

    g_calls.clear();
    UiDriver::Click(window, POINT{5, 5});
    EXPECT_EQ(window.presses, 1);
    ASSERT_GE(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0], "second 513 ") << "the hook set last is asked first";
    EXPECT_EQ(g_calls[1], "first 513");

    g_swallow = true;
    g_calls.clear();
    UiDriver::Click(window, POINT{5, 5});
    EXPECT_EQ(window.presses, 1) << "a swallowed press never reaches the window";
    EXPECT_EQ(g_calls.front(), "second 513 ");
    EXPECT_NE(g_calls.size() > 1 ? g_calls[1] : std::string(), "first 513");

    EXPECT_TRUE(UnhookWindowsHookEx(g_second));
    EXPECT_TRUE(UnhookWindowsHookEx(g_first));
    EXPECT_FALSE(UnhookWindowsHookEx(g_first));
    g_swallow = false;
    UiDriver::Click(window, POINT{5, 5});
    EXPECT_EQ(window.presses, 2);
    window.DestroyWindow();
}
