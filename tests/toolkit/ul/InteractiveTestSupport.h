#pragma once
// Helpers for driving modal loops in tests: actions posted to the message queue run inside
// whatever loop the code under test is running, in the order they were posted. Each test posts a
// last action that ends any loop still running, so a failure never blocks.
#include "platform/Dialog.h"
#include "platform/UiDriver.h"
#include "platform/Wnd.h"

#include <deque>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace UlTest
{
// A message below WM_USER, so the progress window's pump lets it through like input.
constexpr UINT kActionMessage = 0x03F0;

class CPostedActions : public CWnd
{
public:
    CPostedActions() { CreateMessageWindow(); }
    ~CPostedActions() override { DestroyWindow(); }

    void Post(std::function<void()> action)
    {
        m_actions.push_back(std::move(action));
        PostMessage(kActionMessage);
    }

    // The way out: closes menus, file dialogs and modal loops that are still open.
    void PostEndEverything()
    {
        Post([] {
            UiDriver::ClosePopupMenus();
            UiDriver::FinishFileDialog("", false);
            CModalLoop::EndAll(2);
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

// Pictures for a person to look at go to screenshots/ beside the test program.
inline std::string ScreenshotPath(const std::string& name)
{
    mkdir("screenshots", 0755);
    return "screenshots/" + name;
}
}
