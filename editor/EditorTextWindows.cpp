#include "editor/EditorTextWindows.h"

#include "platform/Messages.h"

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
