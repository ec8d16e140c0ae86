#include "platform/CommonControls.h"

#include "platform/Wnd_p.h"

#include <QApplication>
#include <QStyleHints>

#include <algorithm>

namespace
{
int g_delayOverride = -1;
int g_speedOverride = -1;

int DesktopKeyboardSpeed()
{
    // Qt gives repeats per second; Windows' scale runs from 2.5 (0) to 30 (31) a second.
    const int rate = QGuiApplication::styleHints() ? QGuiApplication::styleHints()->keyboardAutoRepeatRate() : 30;
    const double speed = (rate - 2.5) / 27.5 * 31.0;
    return std::clamp(static_cast<int>(speed + 0.5), 0, 31);
}
}

BOOL SystemParametersInfoA(UINT action, UINT, void* value, UINT)
{
    if (!value)
        return FALSE;
    int* result = static_cast<int*>(value);
    switch (action)
    {
    case SPI_GETKEYBOARDDELAY:
        // Qt does not report the desktop's repeat delay; 1 (500 ms) is the common default.
        *result = g_delayOverride >= 0 ? g_delayOverride : 1;
        return TRUE;
    case SPI_GETKEYBOARDSPEED:
        *result = g_speedOverride >= 0 ? g_speedOverride : DesktopKeyboardSpeed();
        return TRUE;
    default:
        return FALSE;
    }
}

void SetKeyboardRepeatSettings(int delay, int speed)
{
    g_delayOverride = delay < 0 ? -1 : std::min(delay, 3);
    g_speedOverride = speed < 0 ? -1 : std::min(speed, 31);
}

CWnd* GetFocus()
{
    QWidget* focused = QApplication::focusWidget();
    return focused ? OwnerOfWidget(focused) : nullptr;
}
