#pragma once
// Synthetic input for tests and screenshots on the offscreen platform: key presses and clicks
// delivered as the window system would deliver them (through the application's event filters),
// control of the open popup menu and file dialog, activation changes, and window pictures.
#include "platform/Wnd.h"

#include <string>
#include <vector>

namespace UiDriver
{
// A key press and release to the widget that has the keyboard focus; `modifiers` is a set of
// MK_SHIFT, MK_CONTROL and 0x20 for Alt. FALSE when nothing has the focus.
constexpr UINT MK_ALT = 0x20;
BOOL PressKey(UINT virtualKey, UINT modifiers = 0);
// Only the press (an auto-repeat press when `repeat`), or only the release, of a key, to the
// focused widget: for keys held down over time.
BOOL KeyDown(UINT virtualKey, UINT modifiers = 0, bool repeat = false);
BOOL KeyUp(UINT virtualKey, UINT modifiers = 0);
// Only the press, or only the release, of the left (or right) button at a client point; with
// `heldButtons` (MK_LBUTTON, MK_RBUTTON) for the buttons held after the event, with MK_SHIFT and
// MK_CONTROL for the keys held.
BOOL MouseDown(CWnd& window, POINT client, bool right = false, UINT heldButtons = 0);
BOOL MouseUp(CWnd& window, POINT client, bool right = false, UINT heldButtons = 0);
// A move of the mouse to a client point of the window with `heldButtons` held (to the window
// that has the capture when one has it).
BOOL MouseMove(CWnd& window, POINT client, UINT heldButtons = 0);
// Drags a trackbar's thumb (held since a press on it) to `position`, or lets it go.
BOOL DragSliderTo(CWnd& slider, int position);
BOOL ReleaseSlider(CWnd& slider);
// Types the text, one key per character, into the focused widget.
BOOL TypeText(const std::string& text);
// A press and a release of the left (or right) button at a client point of the window, delivered to
// the control under the point. FALSE when the window has no native window.
BOOL Click(CWnd& window, POINT client, bool right = false);
// A double click of the left button at the point.
BOOL DoubleClick(CWnd& window, POINT client);
// A click of the left (or right) button on the window's frame: a child frame's title bar, or the
// frame the window system draws around a top-level window (only the press is seen there).
BOOL ClickFrame(CWnd& window, bool right = false);
// Opens a child frame's system menu as a click on its menu button does, and leaves it open.
// FALSE for a window that is no child frame.
BOOL OpenSystemMenu(CWnd& child);

// Opens a combo box's drop-down list and clicks its entry `index` (the first by default),
// confirming it with Enter when the list is still open.
BOOL ClickComboDropDown(CWnd& combo, int index = 0);
// Takes the activation away from every window of the program, as switching to another program does.
void DeactivateApplication();

// The popup menu shown now: chooses the entry at `positions` (a position per level, separators
// counted) the way the keyboard does, opening sub-menus on the way. FALSE when no menu is open or a
// position does not exist; a greyed entry is not chosen and leaves the menu open.
BOOL ChoosePopupMenuItem(const std::vector<int>& positions);
// Opens the sub-menus at `positions` (a position per level) of the popup menu shown now and leaves
// them open, as hovering does. FALSE when no menu is open or an entry has no sub-menu.
BOOL OpenPopupSubMenus(const std::vector<int>& positions);
// Puts the pointer's highlight on the entry at `positions` of the popup menu shown now without
// choosing it, opening sub-menus on the way. FALSE when no menu is open or a position does not
// exist.
BOOL HoverPopupMenuItem(const std::vector<int>& positions);
// Opens the menu at `index` of the window's menu bar, as a click on its title does. FALSE when the
// window has no menu bar or no such menu.
BOOL OpenMenuBarMenu(CWnd& window, int index);
// The titles of the window's menu bar, empty when it has none.
std::vector<std::string> DescribeMenuBar(CWnd& window);
// Closes every popup menu that is open; returns how many were.
int ClosePopupMenus();
// The open popup menu's entries at the top level as "text", "-" for a separator, with "*" in front
// when marked, "~" when greyed and ">" behind a sub-menu.
std::vector<std::string> DescribePopupMenu(const std::vector<int>& subMenuPath = {});

// The file dialog shown now: its caption; goes to `folder` (as if the user entered it), then
// accepts `fileName` or cancels. FALSE when no file dialog is open.
std::string GetFileDialogCaption();
BOOL EnterFileDialogFolder(const std::string& folder);
BOOL SelectFileDialogFilter(int zeroBasedIndex);
BOOL FinishFileDialog(const std::string& fileName, bool accept);

// Drops local files on the window as the desktop's drag and drop does: FALSE (and nothing
// delivered) when the window does not accept dropped files.
BOOL DropFiles(CWnd& window, const std::vector<std::string>& paths);

// Saves a picture of the window (or of the open popup menu) as a PNG file.
BOOL SaveWindowPicture(CWnd& window, const std::string& path);
BOOL SavePopupMenuPicture(const std::string& path);
// A picture of the open popup menu and its open sub-menus side by side, as the user sees them.
BOOL SaveScreenPicture(const std::string& path, const RECT& area);
// The window with its open popup menus over it where they lie, and nothing of other windows:
// the picture is as large as the window and the menus together.
BOOL SaveWindowWithMenusPicture(CWnd& window, const std::string& path);
// The font dialog shown now: chooses the face, the character height in pixels, the weight and
// italic, then accepts or cancels. FALSE when no font dialog is open.
BOOL FinishFontDialog(const char* face, int pixelHeight, int weight, bool italic, bool accept);
BOOL IsFontDialogOpen();
// The open font dialog's caption; empty without one.
std::string GetFontDialogCaption();
}
