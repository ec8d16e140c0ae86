#pragma once
// The windows of the root panels: the panel "main" lives in the main frame, every other root
// panel in a sub frame. Both are panel host windows (ui/panels/CPanelWindow.h: timer 1 every
// 50 ms, routed input, painting, activation, enabling, moving, the user's close); the main frame
// adds the application's side: it is the main window, it creates the tip bar, and closing it asks
// to save, records the version and the maximised state, and ends the program.
#include "platform/FrameBars.h"
#include "ui/panels/CPanelWindow.h"

#include <string>
#include <vector>

// True while a transfer shows its progress window. The window's pump lets timer ticks through, and
// a panel's tick may start a request of its own (a name list's delayed selection, a combo's wheel
// step) in the middle of the transfer: the editor's panel windows drop their ticks meanwhile.
bool IsTransferRunning();

// "IsWindowMaximized/<class name>" in the profile, 0 or 1.
bool IsWindowMaximized(const std::string& className);
void SetWindowMaximized(const std::string& className, bool maximized);

class CEditorMainFrame : public CPanelWindow
{
public:
    static constexpr const char* kClassName = "CEditorMainFrame";

    CEditorMainFrame(CWindowRootPanel* panel, UINT iconId);
    ~CEditorMainFrame() override;

    // Becomes the application's main window, creates the window titled with the application's
    // name at the panel's window position (moved back onto the screen when it lies off it), starts the panel's timer, creates the tip bar window
    // and shows itself. False when the window or the tip bar cannot be created.
    bool Create() override;
    CWindowRootPanel* GetRootPanel() const { return GetPanel(); }
    UINT GetIconId() const { return m_iconId; }

    // Maximised, the window has neither caption nor menu bar: the panel stays its size, centred
    // on black. The user enters the mode by maximising the window and leaves it by restoring it
    // or by a double click beside the panel; the mode is stored at close and taken up at the next
    // start.
    bool IsCaptionlessMaximized() const { return m_maximized; }
    void EnterCaptionlessMaximized();
    void LeaveCaptionlessMaximized();

    // Files dropped on the window: each is opened in turn, as the user would one by one.
    void OnDropFiles(const std::vector<std::string>& paths) override;

    // The window's bars: the tool bar and the status bar are made hidden, and shown again as the
    // user left them at the last close ("ControlBar" in the profile), unless the program is of
    // another version since.
    static constexpr UINT kToolBarCommand = 59392;
    static constexpr UINT kStatusBarCommand = 59393;
    // Shows or hides the diagnostic window (EditorTextWindows.h).
    static constexpr UINT kDiagnosticsCommand = 32890;

    // The menu bar: File (documents and Standard MIDI Files), Edit (the patch clipboard and the
    // MIDI message copy), View (the bars and the diagnostic window), Setup, and Help last. Entries
    // are enabled as the editor's commands say when a menu opens. In the resources' language:
    // English when the language string reads "English", Japanese otherwise.
    static std::vector<CBarMenu> MainMenu();
    static std::vector<CBarMenu> EnglishMainMenu();
    // The tool bar's buttons.
    static std::vector<CBarCommand> ToolBar();
    // The status bar's line for a command: the first line of its prompt; empty for none.
    static std::string CommandPrompt(UINT id);
    // The manual and the about box.
    static CBarMenu HelpMenu();
    bool IsCommandEnabled(UINT id) const;
    void RunCommand(UINT id);
    CWindowMenuBar& GetMenuBar() { return m_menuBar; }

protected:
    // The window manager's maximise and restore (WM_SYSCOMMAND) enter and leave the mode.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnPanelResized(int32_t dw, int32_t dh) override;
    void OnTimer(UINT_PTR id) override;
    // The save prompt may keep the program open; otherwise the version and the maximised state
    // are stored and the program ends.
    void OnClose() override;
    void OnDestroy() override;

private:
    SIZE PanelSize() const;

    UINT m_iconId;
    bool m_maximized = false;
    CRect m_normalRect;   // the outer rectangle to return to from the maximised mode
    CWindowMenuBar m_menuBar;
};

class CEditorSubFrame : public CPanelWindow
{
public:
    CEditorSubFrame(CWindowRootPanel* panel, UINT iconId);
    // The panel's window at its saved position, moved back onto the screen when it lies off it.
    bool Create() override;
    CWindowRootPanel* GetRootPanel() const { return GetPanel(); }
    UINT GetIconId() const { return m_iconId; }

protected:
    void OnTimer(UINT_PTR id) override;

private:
    UINT m_iconId;
};

// The application's root panel: "main" opens in the main frame, any other in a sub frame.
class CRootPanel : public CWindowRootPanel
{
public:
    static constexpr const char* kMainPanelName = "main";

protected:
    CPanelWindow* NewWindow() override;
};

// The application's panel factory; its icon resource id goes to the frames.
class CPanelFactory : public CWindowPanelFactory
{
public:
    static CPanelFactory& GetInstance();
    std::unique_ptr<CVeyRootPanel> CreateRootPanel() override;

    UINT m_iconId = 0;
};
