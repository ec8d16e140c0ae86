#pragma once
// Drives modal loops in GUI tests: actions posted to the message queue run inside whatever loop
// the code under test is running, in the order they were posted. Each test posts a last action
// that ends every loop still open, so a failure never blocks.
#include "platform/Dialog.h"
#include "platform/UiDriver.h"
#include "platform/Wnd.h"

#include <deque>
#include <functional>

class CPostedActions : public CWnd
{
public:
    // A message below WM_USER, so the progress window's pump lets it through like input.
    static constexpr UINT kActionMessage = 0x03F0;

    CPostedActions() { CreateMessageWindow(); }
    ~CPostedActions() override { DestroyWindow(); }

    void Post(std::function<void()> action)
    {
        m_actions.push_back(std::move(action));
        PostMessage(kActionMessage);
    }

    // The way out: closes menus, file and font dialogs and modal loops that are still open.
    void PostEndEverything()
    {
        Post([] {
            UiDriver::ClosePopupMenus();
            UiDriver::FinishFileDialog("", false);
            UiDriver::FinishFontDialog("", 0, 0, false, false);
            CModalLoop::EndAll(IDCANCEL);
        });
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != kActionMessage)
            return CWnd::WindowProc(message, wParam, lParam);
        if (m_actions.empty())
            return 0;
        std::function<void()> action = std::move(m_actions.front());
        m_actions.pop_front();
        action();
        return 0;
    }

private:
    std::deque<std::function<void()>> m_actions;
};
