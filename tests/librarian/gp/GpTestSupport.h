#pragma once
// Helpers for the toolkit's window tests: actions posted to the message queue run inside whatever
// modal loop the code under test runs, in order; a last action ends every loop still open, so a
// failure never blocks. A fixture keeps the profile in a temporary folder.
#include "platform/Dialog.h"
#include "platform/FontDialog.h"
#include "platform/Profile.h"
#include "platform/UiDriver.h"
#include "platform/Wnd.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace GpTest
{
constexpr UINT kActionMessage = 0x03F1;

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

class CProfileFixture : public ::testing::Test
{
protected:
    void SetUp() override { SetProfileFolder(m_folder.Path()); }
    void TearDown() override { SetProfileFolder(""); }
    CTempDir m_folder;
};
}
