#pragma once
// Keeps the program's top-level windows behaving as one group while a modal root panel is open:
// opening it disables every other window, closing it enables them again, and a panel window that
// is disabled by any modal dialog takes the other windows along.
#include "platform/Messages.h"

#include <vector>

class CWnd;

class CPanelWindowGroup
{
public:
    static CPanelWindowGroup& GetInstance();

    // Disables every enabled top-level window of the program and remembers them as one list.
    void DisableOthers();
    // Enables the windows of the latest list that still exist and forgets the list; nothing when
    // there is none.
    void Restore();
    // A panel window was disabled (false) or enabled (true).
    void OnEnable(bool enable);
    // A panel window is about to come forward (`flags` as SetWindowPos takes them). When it is a
    // visible, disabled window (a modal panel is open) the visible windows that stay enabled are
    // raised above it, so the modal window is never hidden behind the window the user clicked.
    void OnWindowPosChanging(CWnd* window, UINT flags);
    // A panel window came forward. The window system keeps the others in their order, so only
    // the bookkeeping of the z-order handlers remains.
    void OnWindowPosChanged(CWnd* window, UINT flags);

    size_t GetDepth() const { return m_stack.size(); }

private:
    std::vector<std::vector<HWND>> m_stack;
    // Enabling and disabling windows reports back through OnEnable; those reports are ours.
    bool m_busy = false;
};
