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
