#pragma once
// A main frame's bars: a menu bar of pop-up menus, a tool bar of text buttons and a status bar
// with one pane. Every entry sends its command to the frame as WM_COMMAND; entries are enabled
// and checked from the frame's update pass (UpdateCommandUI) before a menu opens, before a
// command runs, and whenever the program asks (its idle time).
#include "platform/MdiFrame.h"
#include "platform/Menu.h"

#include <functional>
#include <memory>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The commands that show and hide a frame's tool bar and status bar.
constexpr UINT ID_VIEW_TOOLBAR = 59392;
constexpr UINT ID_VIEW_STATUS_BAR = 59393;

struct CBarCommand
{
    UINT id = 0;               // 0: a separator
    std::string text;          // '&' marks the mnemonic
    std::string shortcut;      // "Ctrl+Z", "Del"...; empty for none
};

struct CBarMenu
{
    // A command entry with this id stands for the next of `subMenus`, shown as a sub-menu
    // (window menu bars only).
    static constexpr UINT kSubMenu = 0xFFFFFFFFu;

    CBarMenu(std::string menuTitle, std::vector<CBarCommand> menuCommands)
        : title(std::move(menuTitle)), commands(std::move(menuCommands))
    {
    }

    std::string title;
    std::vector<CBarCommand> commands;
    // Entries made anew whenever the menu opens (the recent files): entry i runs command
    // listFirstId + i and shows "&<i + 1> <text>". They stand where the command listFirstId
    // stands, which is shown greyed while the list is empty.
    UINT listFirstId = 0;
    std::function<std::vector<std::string>()> listItems;
    std::vector<CBarMenu> subMenus;
    // A menu the program builds and changes itself (frame bars only): shown under `title` in place
    // of `commands`; it must outlive the bars. Before it opens the frame is sent WM_INITMENUPOPUP
    // with the menu as wParam, then its command entries are enabled and checked as the frame
    // says; a command chosen in it or in its sub-menus goes to the frame as WM_COMMAND.
    CMenu* popup = nullptr;
};

// Replaces every menu title and command text (sub-menus included) that `texts` has an entry for:
// the menus of another language built from the same command lists. Shortcuts stay.
void TranslateBarMenus(std::vector<CBarMenu>& menus, const std::map<std::string, std::string>& texts);
// The same for a tool bar's buttons.
void TranslateBarCommands(std::vector<CBarCommand>& commands, const std::map<std::string, std::string>& texts);

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
    // A key that sends command `id` with no entry of its own (an accelerator), asking the frame
    // first whether it may run; false without bars.
    bool AddKey(UINT id, const std::string& shortcut);

    // Files dropped on the frame go to `handler` as local paths, in the order given.
    using FDropFiles = std::function<void(const std::vector<std::string>& paths)>;
    void AcceptDroppedFiles(FDropFiles handler);

    // The tool bar and the status bar can be hidden; the MDI client takes their room.
    void ShowToolBar(bool show);
    bool IsToolBarShown() const;
    void ShowStatusBar(bool show);
    bool IsStatusBarShown() const;
    // What the user can change of the bars (whether each is shown) kept in the profile: section
    // "<profileName>-Summary" holds "Bars", the count, and "<profileName>-Bar<n>" holds "BarID"
    // (ID_VIEW_TOOLBAR or ID_VIEW_STATUS_BAR) and "Visible" for each. Loading applies what is
    // stored and leaves the rest as it is; false when nothing is stored.
    void SaveBarState(const std::string& profileName) const;
    bool LoadBarState(const std::string& profileName);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// A menu bar over a plain top-level window that draws its own client area: the client area starts
// below the bar, and the window grows by the bar's height so the client area keeps its size.
// Entries are enabled by asking `isEnabled` when their menu opens and again before one runs.
class CWindowMenuBar
{
public:
    using FIsEnabled = std::function<bool(UINT id)>;
    using FRun = std::function<void(UINT id)>;

    CWindowMenuBar();
    ~CWindowMenuBar();
    CWindowMenuBar(const CWindowMenuBar&) = delete;
    CWindowMenuBar& operator=(const CWindowMenuBar&) = delete;

    // `window` must exist. False when it has no native window or already has a bar.
    bool Create(CWnd* window, const std::vector<CBarMenu>& menus, FIsEnabled isEnabled, FRun run);
    void Destroy();
    // Hides the bar (the client area moves up into its place) or shows it again; the client area
    // keeps its size.
    void Show(bool show);
    bool IsShown() const;

    // An entry's check mark: -1 for an entry that has none, 0 or 1.
    using FIsChecked = std::function<int(UINT id)>;
    // The one-line prompt of a command, shown on the status bar while the pointer is over its
    // entry or tool button, and as the button's tip.
    using FPrompt = std::function<std::string(UINT id)>;
    // Adds a tool bar of text buttons below the menu bar and a status bar of one pane at the
    // bottom, both hidden. Call after Create; false when there is no bar or the bars exist.
    bool CreateBars(const std::vector<CBarCommand>& tools, FIsChecked isChecked, FPrompt prompt);
    // Shown bars take their room from the window, not from the client area.
    void ShowToolBar(bool show);
    bool IsToolBarShown() const;
    void ShowStatusBar(bool show);
    bool IsStatusBarShown() const;
    std::string GetStatusText() const;
    // Enables the shown tool bar's buttons as `isEnabled` says now (the program's idle time).
    void UpdateToolStates();
    // The entry's state after its menu last opened; false for an unknown id.
    bool IsCommandEnabled(UINT id) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
