#pragma once
// A desktop for the journeys: a virtual X server (Xvfb) with a small window manager (openbox),
// driven the way a person drives it, by synthetic pointer and key events (xdotool), and watched
// from outside: window titles and frames, pictures of the windows. Every wait is bounded and ends
// as soon as what it waits for is there.
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

struct CWindowFrame
{
    int x = 0, y = 0;                 // the client area's top-left on the screen
    int width = 0, height = 0;        // the client area's size
    int left = 0, right = 0, top = 0, bottom = 0;   // the frame around it (_NET_FRAME_EXTENTS)
    int FrameTop() const { return y - top; }
};

class CDesktop
{
public:
    static constexpr int kBoundMs = 30000;

    // `pictures` is the folder the pictures go to.
    explicit CDesktop(std::string pictures);
    // Ends the window manager and the server.
    ~CDesktop();
    CDesktop(const CDesktop&) = delete;
    CDesktop& operator=(const CDesktop&) = delete;

    // Starts both and makes the display this process's (programs started later inherit it).
    // Empty when up, else why not (for the test to skip with).
    std::string Start();

    // A tool's standard output; `status` gets its exit status.
    static std::string Run(const std::vector<std::string>& command, int* status = nullptr);

    // Visible windows whose title matches the regular expression, oldest first.
    std::vector<std::string> FindWindows(const std::string& title) const;
    // The first such window once there is one; empty when none came within the bound.
    std::string WaitForWindow(const std::string& title, int boundMs = kBoundMs) const;
    // True once no visible window matches.
    bool WaitForNoWindow(const std::string& title, int boundMs = kBoundMs) const;
    // The visible windows of a program (its X class, "q9el"), titled or not.
    std::vector<std::string> ProgramWindows(const std::string& program) const;
    // A visible window of the program that is not among `before` (a menu, a combo box's list);
    // empty when none came within the bound.
    std::string WaitForNewWindow(const std::string& program, const std::vector<std::string>& before,
                                 int boundMs = kBoundMs) const;
    // Waits until `done` holds, asking again every few milliseconds; false when the bound passed.
    static bool WaitUntil(const std::function<bool()>& done, int boundMs = kBoundMs);

    std::string Title(const std::string& window) const;
    CWindowFrame Frame(const std::string& window) const;

    // Brings the window forward with the input focus, as a click on its title bar does.
    void Activate(const std::string& window) const;
    // A click with the left button at a point of the window's client area.
    void Click(const std::string& window, int x, int y, int count = 1) const;
    // Chooses a menu entry as a mouse does: a click on the bar's title at `titleX`, then on the
    // entry, which is `entry` entries and `separators` separators below the menu's top.
    bool ChooseMenu(const std::string& window, int titleX, int entry, int separators,
                    const std::string& program) const;
    // Keys pressed in the window (xdotool key names, "ctrl+s", "Return").
    void Keys(const std::string& window, const std::string& keys) const;
    void Type(const std::string& window, const std::string& text) const;
    // Keys and text where the input focus is now, without bringing a window forward first: for a
    // dialog's controls after the first key, and for a combo box's open list, which has no title.
    void KeysHere(const std::string& keys) const;
    void TypeHere(const std::string& text) const;

    // True once the window shows more than one colour: a window the program has not painted yet
    // is one black (or blank) rectangle on the virtual server.
    bool WaitUntilDrawn(const std::string& window, int boundMs = kBoundMs) const;
    // A picture of the window with its frame, saved as NAME.png in the pictures folder.
    bool Picture(const std::string& window, const std::string& name) const;

    // Turns the mouse wheel at a point of the window's client area: notches away from the user
    // when positive, toward when negative.
    void Wheel(const std::string& window, int x, int y, int notches) const;
    // Brings the window to the top without a click, for windows without a title bar; a picture
    // taken of a covered window shows black where it is covered.
    void Raise(const std::string& window) const;

    // A message box titled so, once there is one: the newest such window no taller than a box,
    // since the program's main window may bear the same title while it opens.
    std::string WaitForBox(const std::string& title, int boundMs = kBoundMs) const;

private:
    std::string m_pictures;
    std::string m_display;
    pid_t m_server = -1;
    pid_t m_manager = -1;
};
