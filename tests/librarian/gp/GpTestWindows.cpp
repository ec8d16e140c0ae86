#include "GpTestWindows.h"

#include "librarian/gp/SpinEdit.h"
#include "platform/Dialog.h"

#include <chrono>
#include <cstdio>
#include <thread>

BOOL CRecordingParent::Create(int width, int height)
{
    if (!CreateEx(0, "test parent", WS_POPUP | WS_VISIBLE, CRect(20, 20, 20 + width, 20 + height), nullptr))
        return FALSE;
    SetActiveWindow();
    // The window system confirms the activation later (an X server: some milliseconds); focus
    // only reaches an active window. Wait for it, two seconds at most.
    for (int i = 0; i < 400 && !IsActiveWindow(); ++i)
    {
        PumpAllMessages();
        if (!IsActiveWindow())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return IsActiveWindow();
}

std::string CRecordingParent::Codes() const
{
    std::string text;
    for (const CNotice& notice : notices)
    {
        if (!text.empty())
            text += ' ';
        if (notice.message == WM_NOTIFY && notice.code == GP::SEN_STEP)
            text += "step";
        else if (notice.message == WM_NOTIFY && notice.code == NM_RETURN)
            text += notice.wParam == 1 ? "enter" : "escape";
        else
        {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%x", notice.code);
            text += buffer;
        }
    }
    return text;
}

LRESULT CRecordingParent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
    {
        notices.push_back({message, HIWORD(wParam), LOWORD(wParam), wParam});
        return 0;
    }
    if (message == WM_NOTIFY && lParam)
    {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        CNotice notice{message, header->code, static_cast<UINT>(header->idFrom), wParam};
        if (header->code == GP::SEN_STEP)
        {
            const auto* step = reinterpret_cast<const GP::NMSPINEDIT*>(lParam);
            notice.value = step->value;
            notice.change = step->change;
            notices.push_back(notice);
            return stepAnswer;
        }
        notices.push_back(notice);
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
