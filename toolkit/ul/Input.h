#pragma once
// Records of mouse, wheel and key input in the library's own codes, the drawing record that
// tells a control whether a rectangle needs painting, and window-text helpers.
#include "platform/Gdi.h"
#include "platform/Wnd.h"

#include <string>
#include <vector>

namespace UL
{
// Library key codes: virtual keys outside this list keep their own code.
enum : uint32_t
{
    KEY_UP = 256,
    KEY_DOWN,
    KEY_LEFT,
    KEY_RIGHT,
    KEY_HOME,
    KEY_END,
    KEY_PAGEUP,
    KEY_PAGEDOWN,
    KEY_RETURN,
    KEY_ESCAPE,
    KEY_BACKSPACE,
    KEY_DELETE,
    KEY_TAB,
    KEY_F1,                  // F1..F12 = 269..280
    KEY_NUMPAD0 = 281,       // numeric pad 0..9 = 281..290
    KEY_NUMPAD_DECIMAL = 291,
    KEY_NUMPAD_PLUS,
    KEY_NUMPAD_MINUS,
    KEY_NUMPAD_MULTIPLY,
    KEY_NUMPAD_DIVIDE,
};

// Mouse kinds and flags (also the wheel's flags), and key kinds and modifiers.
enum : uint32_t
{
    MOUSE_DOWN = 0,
    MOUSE_UP = 1,
    MOUSE_DOUBLE = 2,
    MOUSE_MOVE = 3,
};
enum : uint32_t
{
    MOUSE_SHIFT = 1,
    MOUSE_CTRL = 2,
    MOUSE_RIGHT = 4,
    MOUSE_ALT = 8,
};
enum : uint32_t
{
    KEYKIND_DOWN = 1,
    KEYKIND_UP = 2,
};
enum : uint32_t
{
    KEYMOD_SHIFT = 1,
    KEYMOD_CTRL = 2,
    KEYMOD_ALT = 8,
};

class CMouseInfo
{
public:
    // `messageFlags` are the message's MK_ flags.
    CMouseInfo(UINT message, CPoint point, UINT messageFlags);
    virtual void SetPoint(const CPoint& point) { m_point = point; }
    virtual CPoint GetPoint() const { return m_point; }

    uint32_t m_kind;
    CPoint m_point;
    uint32_t m_flags;
};

class CWheelInfo
{
public:
    CWheelInfo(UINT message, short delta, CPoint point, UINT messageFlags);
    virtual void SetPoint(const CPoint& point) { m_point = point; }
    virtual CPoint GetPoint() const { return m_point; }

    uint32_t m_reserved = 0;
    double m_amount;
    CPoint m_point;
    uint32_t m_flags;
};

struct KeyInfo
{
    uint32_t kind;
    uint32_t key;
    uint32_t modifiers;
};

// Shift and ctrl from the current message's keyboard state, alt from the keyboard now.
KeyInfo MakeKeyInfo(UINT message, UINT virtualKey);
// The same with the key states given (what MakeKeyInfo asks of the keyboard).
KeyInfo MakeKeyInfo(UINT message, UINT virtualKey, bool shift, bool ctrl, bool alt);
uint32_t LibraryKeyCode(UINT virtualKey);
// Mouse flags from the message flags, the message and the state of the alt key.
uint32_t MouseFlags(UINT message, UINT messageFlags, bool alt);

class ADrawInfo
{
public:
    virtual ~ADrawInfo() = default;
    virtual bool IsVisible(const CRect& rect) const = 0;
};

class CDrawInfo : public ADrawInfo
{
public:
    // `clipList` (optional) holds the rectangles being painted; `directRects` (optional) collects
    // the rectangles a control paints straight onto the window.
    CDrawInfo(CDC* dc, const std::vector<CRect>* clipList, std::vector<CRect>* directRects);
    // True when the rectangle meets a clip rectangle (a meeting of zero width or height counts),
    // or without a list when the device context would draw any of it.
    bool IsVisible(const CRect& rect) const override;

    CDC* m_dc;
    const std::vector<CRect>* m_clipList;
    std::vector<CRect>* m_directRects;
};

// Appends the rectangles of the region being painted.
void GetRegionRects(const CPaintDC& dc, std::vector<CRect>& list);
CPoint GetCursorPosition();

void SetWindowText(CWnd* window, const std::string& text);
std::string GetWindowText(CWnd* window);
void SetDlgItemText(CWnd* dialog, UINT id, const std::string& text);
std::string GetDlgItemText(CWnd* dialog, UINT id);
// Walks from the first item through its following siblings up to the last item; nothing happens
// when either is missing.
void ShowDlgItems(CWnd* dialog, UINT firstId, UINT lastId, bool show);
void EnableDlgItems(CWnd* dialog, UINT firstId, UINT lastId, bool enable);
inline void ShowDlgItem(CWnd* dialog, UINT id, bool show) { ShowDlgItems(dialog, id, id, show); }
inline void EnableDlgItem(CWnd* dialog, UINT id, bool enable) { EnableDlgItems(dialog, id, id, enable); }
// Appends the program's top-level windows (all of them run on the one GUI thread, so the
// thread's windows are the same list).
void EnumProcessWindows(std::vector<CWnd*>& list);
void EnumThreadWindows(std::vector<CWnd*>& list);
}
