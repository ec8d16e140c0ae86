#include "ui/panels/CPanelWindowGroup.h"

#include "platform/Wnd.h"
#include "toolkit/ul/Input.h"

CPanelWindowGroup& CPanelWindowGroup::GetInstance()
{
    static CPanelWindowGroup group;
    return group;
}

void CPanelWindowGroup::DisableOthers()
{
    if (m_busy)
        return;
    m_busy = true;
    std::vector<CWnd*> windows;
    UL::EnumProcessWindows(windows);
    std::vector<HWND> disabled;
    for (CWnd* window : windows)
        if (window->IsWindowEnabled())
            disabled.push_back(window->GetSafeHwnd());
    // Handles first: disabling one window may run code that destroys another.
    for (HWND handle : disabled)
        if (CWnd* window = CWnd::FromHandle(handle))
            window->EnableWindow(FALSE);
    m_stack.push_back(disabled);
    m_busy = false;
}

void CPanelWindowGroup::Restore()
{
    if (m_busy || m_stack.empty())
        return;
    m_busy = true;
    const std::vector<HWND> disabled = m_stack.back();
    m_stack.pop_back();
    for (HWND handle : disabled)
        if (IsWindow(handle))
            if (CWnd* window = CWnd::FromHandle(handle))
                window->EnableWindow(TRUE);
    m_busy = false;
}

void CPanelWindowGroup::OnEnable(bool enable)
{
    if (enable)
        Restore();
    else
        DisableOthers();
}

namespace
{
// SWP_NOACTIVATE, SWP_SHOWWINDOW and SWP_HIDEWINDOW: changes that bring no window forward.
constexpr UINT kNoZOrderChange = 0xD0;
}

void CPanelWindowGroup::OnWindowPosChanging(CWnd* window, UINT flags)
{
    if (m_busy || !window || !window->IsWindowVisible() || window->IsWindowEnabled() || (flags & kNoZOrderChange))
        return;
    m_busy = true;
    std::vector<CWnd*> windows;
    UL::EnumProcessWindows(windows);
    std::vector<HWND> raised;
    for (CWnd* other : windows)
        if (other != window && other->IsWindowVisible() && other->IsWindowEnabled())
            raised.push_back(other->GetSafeHwnd());
    for (HWND handle : raised)
        if (CWnd* other = CWnd::FromHandle(handle))
            BringToTop(*other);
    m_busy = false;
}

void CPanelWindowGroup::OnWindowPosChanged(CWnd* window, UINT flags)
{
    if (m_busy || !window || !window->IsWindowVisible() || !window->IsWindowEnabled() || (flags & kNoZOrderChange))
        return;
    m_busy = true;
    std::vector<CWnd*> windows;
    UL::EnumProcessWindows(windows);
    std::vector<HWND> others;
    for (CWnd* other : windows)
        if (other != window && other->IsWindowVisible())
            others.push_back(other->GetSafeHwnd());
    // Windows are stacked only ever on top here: the others come up first, one after another, and
    // the window that came forward goes back above them.
    const HWND forward = window->GetSafeHwnd();
    for (HWND handle : others)
        if (CWnd* other = CWnd::FromHandle(handle))
            BringToTop(*other);
    if (!others.empty())
        if (CWnd* again = CWnd::FromHandle(forward))
            BringToTop(*again);
    m_busy = false;
}

void CPanelWindowGroup::BringToTop(CWnd& window)
{
    window.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}
