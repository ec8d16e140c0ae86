#pragma once
// Message boxes, the clipboard as text, and the mouse cursor shown over the program's windows.
#include "platform/Win32Types.h"

#include <functional>
#include <string>

class CWnd;

constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_ICONSTOP = 0x0010;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr UINT MB_ICONINFORMATION = 0x0040;
constexpr UINT MB_TYPEMASK = 0x000F;
constexpr UINT MB_ICONMASK = 0x00F0;

constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows a modal message box and returns the button chosen (IDOK, IDCANCEL, IDYES, IDNO).
// Closing the box counts as Cancel where there is one, else as the only or the "No" button.
int MessageBox(CWnd* owner, const char* text, const char* caption, UINT type);
// The application's message box: its main window owns it and its name is the caption.
int AfxMessageBox(const char* text, UINT type = MB_OK);

// Replaces how message boxes are shown (tests record them and answer at once); an empty hook
// restores the real box. Returns the previous hook.
using MessageBoxHook = std::function<int(const char* text, const char* caption, UINT type)>;
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// The clipboard's plain text (bytes as Latin-1). False when it holds no text.
bool GetClipboardText(std::string* text);
bool SetClipboardText(const std::string& text);

// Cursor images: the system ones by their standard ids, the program's own by resource id.
constexpr int IDC_ARROW = 32512;
constexpr int IDC_IBEAM = 32513;
constexpr int IDC_WAIT = 32514;
constexpr int IDC_CROSS = 32515;
constexpr int kFirstProgramCursor = 26629;
constexpr int kLastProgramCursor = 26643;

// Shows the cursor over every window of the program; false (and no change) for an unknown id.
bool SetProgramCursor(int imageId, bool system);
// Lets every window show its own cursor again.
void RestoreWindowCursors();
// The image id in force through SetProgramCursor, -1 when none.
int GetProgramCursor();
