#pragma once
// Keeps the program's top-level windows behaving as one group: a modal root panel disables every
// other window while it is open, a panel window that is disabled by any modal dialog takes the
// other windows along, and a panel window that comes forward brings the others up behind it.
#include "platform/Messages.h"

#include <vector>

class CWnd;

class CPanelWindowGroup
{
public:
    static CPanelWindowGroup& GetInstance();

    CPanelWindowGroup() = default;
    CPanelWindowGroup(const CPanelWindowGroup&) = delete;
    CPanelWindowGroup& operator=(const CPanelWindowGroup&) = delete;
    virtual ~CPanelWindowGroup() = default;

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
    // A panel window came forward (`flags` as above). When it is a visible, enabled window the
    // program's other visible windows come forward with it, just behind it, so that the panels of
    // the program stay together above other programs' windows.
    void OnWindowPosChanged(CWnd* window, UINT flags);

    size_t GetDepth() const { return m_stack.size(); }

protected:
    // Puts the window on top of the others without activating it.
    virtual void BringToTop(CWnd& window);

private:
    std::vector<std::vector<HWND>> m_stack;
    // Enabling and disabling windows reports back through OnEnable; those reports are ours.
    bool m_busy = false;
};
