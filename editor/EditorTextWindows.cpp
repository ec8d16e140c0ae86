#include "editor/EditorTextWindows.h"

#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/WindowPlacement.h"

#include <cstdio>

UL::CTimerTextOutWindow& GetTimerTextOutWindow()
{
    static UL::CTimerTextOutWindow* window = [] {
        auto* made = new UL::CTimerTextOutWindow;
        AddShutdownHandler([made] { made->Destroy(); });
        return made;
    }();
    return *window;
}

void ReleaseTimerTextOutWindow() { GetTimerTextOutWindow().Destroy(); }

namespace
{
// The placement stored at the last exit; a default one beside the main window's usual place when
// none is stored or it is not a window's.
RECT StoredTracePlacement()
{
    const std::string text = GetProfileString("TextOutWindow", "Position");
    long left = 0, top = 0, right = 0, bottom = 0;
    int minimized = 0;
    if (std::sscanf(text.c_str(), "%ld,%ld,%ld,%ld,%d", &left, &top, &right, &bottom, &minimized) >= 4 &&
        right - left >= 100 && bottom - top >= 60 && right - left <= 10000 && bottom - top <= 10000)
        return RECT{int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
    return RECT{60, 60, 700, 360};
}
}

UL::CTextOutWindow* CreateTraceTextOutWindow()
{
    UL::CTextOutWindow* window = UL::GetTraceWindow();
    if (window)
        return window;
    const RECT placement = StoredTracePlacement();
    window = UL::CreateTraceWindow(placement, "Diagnostics");
    if (!window)
        return nullptr;
    // The stored rectangle is the window's outer one, as it was left: the platform places it so,
    // also where the window manager adds the frame only once the window is shown.
    SetWindowOuterRect(window, placement);
    window->SetProfileWriter([](const std::string& section, const std::string& entry, const std::string& value) {
        WriteProfileString(section, entry, value);
    });
    return window;
}

void ShowTraceTextOutWindow(bool show)
{
    if (UL::CTextOutWindow* window = CreateTraceTextOutWindow())
        window->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

bool IsTraceTextOutWindowShown()
{
    const UL::CTextOutWindow* window = UL::GetTraceWindow();
    return window && window->IsWindowVisible();
}

void ReleaseTraceTextOutWindow() { UL::HideTraceWindow(); }
