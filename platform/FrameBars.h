#pragma once
// A main frame's bars: a menu bar of pop-up menus, a tool bar of text buttons and a status bar
// with one pane. Every entry sends its command to the frame as WM_COMMAND; entries are enabled
// and checked from the frame's update pass (UpdateCommandUI) before a menu opens, before a
// command runs, and whenever the program asks (its idle time).
#include "platform/MdiFrame.h"

#include <memory>
#include <string>
#include <vector>

struct CBarCommand
{
    UINT id = 0;               // 0: a separator
    std::string text;          // '&' marks the mnemonic
    std::string shortcut;      // "Ctrl+Z", "Del"...; empty for none
};

struct CBarMenu
{
    std::string title;
    std::vector<CBarCommand> commands;
};

class CFrameBars
{
public:
    CFrameBars();
    ~CFrameBars();
    CFrameBars(const CFrameBars&) = delete;
    CFrameBars& operator=(const CFrameBars&) = delete;

    // Builds the bars into `frame` (which must exist) and keeps the MDI client clear of them.
    bool Create(CMDIFrameWnd* frame, const std::vector<CBarMenu>& menus, const std::vector<CBarCommand>& tools);
    void Destroy();

    // Enables and checks every entry as the frame says now.
    void UpdateCommandStates();
    void SetStatusText(const std::string& text);
    std::string GetStatusText() const;
    // The entry's state after the last update; false for an unknown id.
    bool IsCommandEnabled(UINT id) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
