#include "toolkit/ul/Input.h"

#include <algorithm>

namespace UL
{
uint32_t LibraryKeyCode(UINT vk)
{
    switch (vk)
    {
    case VK_UP: return KEY_UP;
    case VK_DOWN: return KEY_DOWN;
    case VK_LEFT: return KEY_LEFT;
    case VK_RIGHT: return KEY_RIGHT;
    case VK_HOME: return KEY_HOME;
    case VK_END: return KEY_END;
    case VK_PRIOR: return KEY_PAGEUP;
    case VK_NEXT: return KEY_PAGEDOWN;
    case VK_RETURN: return KEY_RETURN;
    case VK_ESCAPE: return KEY_ESCAPE;
    case VK_BACK: return KEY_BACKSPACE;
    case VK_DELETE: return KEY_DELETE;
    case VK_TAB: return KEY_TAB;
    case VK_DECIMAL: return KEY_NUMPAD_DECIMAL;
    case VK_ADD: return KEY_NUMPAD_PLUS;
    case VK_SUBTRACT: return KEY_NUMPAD_MINUS;
    case VK_MULTIPLY: return KEY_NUMPAD_MULTIPLY;
    case VK_DIVIDE: return KEY_NUMPAD_DIVIDE;
    default: break;
    }
    if (vk >= VK_F1 && vk <= VK_F12)
        return KEY_F1 + (vk - VK_F1);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
        return KEY_NUMPAD0 + (vk - VK_NUMPAD0);
    return vk;
}

uint32_t MouseFlags(UINT message, UINT messageFlags, bool alt)
{
    uint32_t flags = 0;
    if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_RBUTTONDBLCLK)
        flags |= MOUSE_RIGHT;
    if (messageFlags & MK_SHIFT)
        flags |= MOUSE_SHIFT;
    if (messageFlags & MK_CONTROL)
        flags |= MOUSE_CTRL;
    if (alt)
        flags |= MOUSE_ALT;
    return flags;
}

CMouseInfo::CMouseInfo(UINT message, CPoint point, UINT messageFlags)
    : m_point(point), m_flags(MouseFlags(message, messageFlags, GetKeyState(VK_MENU) < 0))
{
    switch (message)
    {
    case WM_MOUSEMOVE: m_kind = MOUSE_MOVE; break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: m_kind = MOUSE_DOWN; break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: m_kind = MOUSE_UP; break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK: m_kind = MOUSE_DOUBLE; break;
    default: m_kind = message; break;
    }
}

CWheelInfo::CWheelInfo(UINT message, short delta, CPoint point, UINT messageFlags)
    : m_amount(delta / 120.0), m_point(point), m_flags(MouseFlags(message, messageFlags, GetKeyState(VK_MENU) < 0))
{
}

KeyInfo MakeKeyInfo(UINT message, UINT virtualKey, bool shift, bool ctrl, bool alt)
{
    KeyInfo info{};
    info.kind = message == WM_KEYDOWN ? uint32_t{KEYKIND_DOWN} : message == WM_KEYUP ? uint32_t{KEYKIND_UP} : message;
    info.key = LibraryKeyCode(virtualKey);
    info.modifiers = (shift ? uint32_t{KEYMOD_SHIFT} : 0u) | (ctrl ? uint32_t{KEYMOD_CTRL} : 0u) | (alt ? uint32_t{KEYMOD_ALT} : 0u);
    return info;
}

KeyInfo MakeKeyInfo(UINT message, UINT virtualKey)
{
    return MakeKeyInfo(message, virtualKey, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0,
                       GetAsyncKeyState(VK_MENU) < 0);
}

CDrawInfo::CDrawInfo(CDC* dc, const std::vector<CRect>* clipList, std::vector<CRect>* directRects)
    : m_dc(dc), m_clipList(clipList), m_directRects(directRects)
{
}

bool CDrawInfo::IsVisible(const CRect& rect) const
{
    if (m_clipList)
    {
        for (const CRect& clip : *m_clipList)
        {
            const int32_t left = std::max(rect.left, clip.left), top = std::max(rect.top, clip.top);
            const int32_t right = std::min(rect.right, clip.right), bottom = std::min(rect.bottom, clip.bottom);
            // A meeting of zero width or height still counts.
            if (right >= left && bottom >= top)
                return true;
        }
        return false;
    }
    if (!m_dc)
        return false;
    const int saved = m_dc->SaveDC();
    const bool visible = m_dc->RectVisible(rect) != FALSE;
    m_dc->RestoreDC(saved);
    return visible;
}

void GetRegionRects(const CPaintDC& dc, std::vector<CRect>& list)
{
    for (const RECT& r : dc.GetUpdateRects())
        list.emplace_back(r);
}

CPoint GetCursorPosition()
{
    POINT p{0, 0};
    ::GetCursorPos(&p);
    return CPoint(p);
}

void SetWindowText(CWnd* window, const std::string& text)
{
    if (window)
        window->SetWindowText(text.c_str());
}

std::string GetWindowText(CWnd* window)
{
    return window ? window->GetWindowText() : std::string();
}

void SetDlgItemText(CWnd* dialog, UINT id, const std::string& text)
{
    SetWindowText(dialog ? dialog->GetDlgItem(id) : nullptr, text);
}

std::string GetDlgItemText(CWnd* dialog, UINT id)
{
    return GetWindowText(dialog ? dialog->GetDlgItem(id) : nullptr);
}

namespace
{
template <typename Action>
void ForDlgItems(CWnd* dialog, UINT firstId, UINT lastId, Action action)
{
    CWnd* first = dialog ? dialog->GetDlgItem(firstId) : nullptr;
    CWnd* last = dialog ? dialog->GetDlgItem(lastId) : nullptr;
    if (!first || !last)
        return;
    for (CWnd* item = first; item; item = item->GetNextSibling())
    {
        action(item);
        if (item == last)
            break;
    }
}
}

void ShowDlgItems(CWnd* dialog, UINT firstId, UINT lastId, bool show)
{
    ForDlgItems(dialog, firstId, lastId, [show](CWnd* item) { item->ShowWindow(show ? SW_SHOWNORMAL : SW_HIDE); });
}

void EnableDlgItems(CWnd* dialog, UINT firstId, UINT lastId, bool enable)
{
    ForDlgItems(dialog, firstId, lastId, [enable](CWnd* item) { item->EnableWindow(enable); });
}

void EnumProcessWindows(std::vector<CWnd*>& list)
{
    const std::vector<CWnd*> windows = CWnd::GetTopLevelWindows();
    list.insert(list.end(), windows.begin(), windows.end());
}

void EnumThreadWindows(std::vector<CWnd*>& list)
{
    EnumProcessWindows(list);
}
}
