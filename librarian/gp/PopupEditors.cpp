#include "librarian/gp/PopupEditors.h"

#include "platform/Dialog.h"
#include "platform/Gdi.h"
#include "platform/MouseHook.h"

#include <algorithm>

namespace GP
{
namespace
{
IPopup* g_modal = nullptr;          // the popup whose loop runs
HHOOK g_modalHook = nullptr;
bool g_asking = false;              // the owner's Accept runs: the hook lets presses through
constexpr int ScrollBarWidth = 16;

CWnd* TopLevelOf(CWnd* window)
{
    while (window && window->GetParent())
        window = window->GetParent();
    return window;
}
}

struct CPopupHook
{
    static LRESULT Procedure(int code, WPARAM message, LPARAM hookStruct)
    {
        IPopup* popup = g_modal;
        if (code != HC_ACTION || !popup || g_asking || !popup->m_loop)
            return CallNextHookEx(g_modalHook, code, message, hookStruct);
        if (message == WM_NCLBUTTONDOWN)
        {
            if (popup->m_owner)
            {
                g_asking = true;
                const bool accepted = popup->m_owner->Accept(*popup);
                g_asking = false;
                if (!accepted)
                    return 1;
            }
            popup->m_loop->End(1);
            return 1;
        }
        if (message == WM_NCRBUTTONDOWN)
        {
            popup->m_loop->End(2);
            return 1;
        }
        return CallNextHookEx(g_modalHook, code, message, hookStruct);
    }
};

IPopup::~IPopup()
{
    if (g_modal == this)
        g_modal = nullptr;
}

IPopup* IPopup::GetRunningModal() { return g_modal; }

int IPopup::DoModal(const RECT& rect, CWnd* parent)
{
    if (g_modal)
        return -1;   // one modal popup at a time: its hook and loop are process-wide
    CWnd* owner = TopLevelOf(parent);
    const bool ownerWasEnabled = owner && owner->IsWindowEnabled();
    if (ownerWasEnabled)
        owner->EnableWindow(FALSE);
    CModalLoop loop;
    m_loop = &loop;
    int result = -1;
    if (CreatePopup(rect, parent))
    {
        m_changed = false;
        g_modal = this;
        g_modalHook = SetWindowsHookEx(WH_MOUSE, &CPopupHook::Procedure, nullptr, GetCurrentThreadId());
        result = loop.Run();
        if (g_modalHook)
            UnhookWindowsHookEx(g_modalHook);
        g_modalHook = nullptr;
        g_modal = nullptr;
    }
    CWnd* window = GetWnd();
    const bool wasActive = window->GetSafeHwnd() && window->IsActiveWindow();
    if (window->GetSafeHwnd())
        window->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    if (ownerWasEnabled)
        owner->EnableWindow(TRUE);
    if (wasActive && owner)
        owner->SetActiveWindow();
    if (window->GetSafeHwnd())
    {
        KeepResult();
        window->DestroyWindow();
    }
    m_loop = nullptr;
    return result;
}

BOOL IPopup::EndByKey(bool enter)
{
    if (m_loop)
    {
        if (enter && m_owner)
        {
            g_asking = true;
            const bool accepted = m_owner->Accept(*this);
            g_asking = false;
            if (!accepted)
                return TRUE;
        }
        m_loop->End(enter ? 1 : 2);
        return TRUE;
    }
    CWnd* window = GetWnd();
    if (CWnd* parent = window->GetParent())
    {
        NMHDR header{window->GetSafeHwnd(), window->GetDlgCtrlID(), NM_RETURN};
        parent->SendMessage(WM_NOTIFY, enter ? 1 : 2, reinterpret_cast<LPARAM>(&header));
    }
    return TRUE;
}

void IPopup::NotifyParent(UINT code)
{
    CWnd* window = GetWnd();
    if (m_loop || m_creating || !window->GetSafeHwnd())
        return;
    if (CWnd* parent = window->GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(window->GetDlgCtrlID(), code),
                            reinterpret_cast<LPARAM>(window->GetSafeHwnd()));
}

void IPopup::SizeToText(int textWidth, bool growLeft)
{
    CWnd* window = GetWnd();
    if (!window->GetSafeHwnd())
        return;
    const int cellWidth = m_cell.right - m_cell.left;
    const int width = std::max(textWidth, cellWidth);
    RECT rect = m_cell;
    if (growLeft)
        rect.left = rect.right - width;
    else
        rect.right = rect.left + width;
    RECT current;
    window->GetWindowRect(&current);
    if (current.right - current.left != width)
        window->MoveWindow(rect);
}

// ---- CPopupEdit ----

CPopupEdit::CPopupEdit(IPopupOwner* owner) : IPopup(EditBox, owner) {}

CPopupEdit::~CPopupEdit()
{
    if (GetSafeHwnd())
        DestroyWindow();
}

BOOL CPopupEdit::CreateInPlace(DWORD style, const RECT& cell, CWnd* parent, UINT id, const std::string& text)
{
    m_cell = cell;
    m_creating = true;
    const BOOL created = Create(style, cell, parent, id);
    m_creating = false;
    if (!created)
        return FALSE;
    m_creating = true;
    SetWindowText(text.c_str());
    SetSel(0, -1);
    FitText();
    m_creating = false;
    m_changed = false;
    return TRUE;
}

BOOL CPopupEdit::CreatePopup(const RECT& rect, CWnd* parent)
{
    m_cell = rect;
    if (!Create(WS_POPUP | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, rect, parent, 0))
        return FALSE;
    SetWindowText(m_text.c_str());
    SetSel(0, -1);
    FitText();
    return TRUE;
}

void CPopupEdit::KeepResult() { m_text = GetWindowText(); }

void CPopupEdit::FitText()
{
    const DWORD margins = GetMargins();
    const int width = static_cast<int>(LOWORD(margins) + HIWORD(margins)) + GetTextExtent(GetWindowText()).cx +
                      GetTextExtent("W").cx + 4;
    SizeToText(width, (GetStyle() & ES_RIGHT) != 0);
}

BOOL CPopupEdit::PreTranslateKey(UINT message, UINT virtualKey)
{
    if (message != WM_KEYDOWN)
        return TRUE;   // system keys do not reach menus while an editor runs
    if (virtualKey == VK_RETURN || virtualKey == VK_ESCAPE)
        return EndByKey(virtualKey == VK_RETURN);
    return FALSE;
}

void CPopupEdit::OnEditUpdate() { FitText(); }

void CPopupEdit::OnEditChange()
{
    m_changed = true;
    NotifyParent(EN_CHANGE);
}

// ---- CPopupComboBox ----

CPopupComboBox::CPopupComboBox(const std::vector<std::string>& items, IPopupOwner* owner)
    : IPopup(ComboBox, owner), m_items(items)
{
}

CPopupComboBox::~CPopupComboBox()
{
    if (GetSafeHwnd())
        DestroyWindow();
}

BOOL CPopupComboBox::Fill(const RECT& cell)
{
    m_cell = cell;
    int widest = 0;
    CClientDC dc(this);
    for (const std::string& item : m_items)
    {
        AddString(item.c_str());
        widest = std::max(widest, static_cast<int>(dc.GetTextExtent(item).cx));
    }
    const int cellHeight = cell.bottom - cell.top;
    SizeToText(widest + cellHeight + ScrollBarWidth, false);
    Invalidate();
    return TRUE;
}

BOOL CPopupComboBox::CreateInPlace(DWORD style, const RECT& cell, CWnd* parent, UINT id, const std::string& text)
{
    if (!Create(style, cell, parent, id))
        return FALSE;
    m_creating = true;
    Fill(cell);
    SetCurSel(FindStringExact(-1, text.c_str()));
    m_creating = false;
    m_changed = false;
    return TRUE;
}

BOOL CPopupComboBox::CreatePopup(const RECT& rect, CWnd* parent)
{
    if (!Create(WS_POPUP | WS_VISIBLE, rect, parent, 0))
        return FALSE;
    Fill(rect);
    SetCurSel(m_selected);
    ShowDropDown(TRUE);
    return TRUE;
}

void CPopupComboBox::KeepResult() { m_selected = GetCurSel(); }

BOOL CPopupComboBox::PreTranslateKey(UINT message, UINT virtualKey)
{
    if (message != WM_KEYDOWN)
        return TRUE;
    if ((virtualKey == VK_RETURN || virtualKey == VK_ESCAPE) && !GetDroppedState())
        return EndByKey(virtualKey == VK_RETURN);
    return FALSE;
}

void CPopupComboBox::OnSelEndOk()
{
    m_changed = true;
    NotifyParent(CBN_SELENDOK);
}

// ---- CPopupSpinEdit ----

CPopupSpinEdit::CPopupSpinEdit(int32_t numberKind, int32_t format, int32_t digit, double minimum, double maximum,
                               int32_t precision, uint32_t formatFlags, IPopupOwner* owner)
    : CSpinEdit(numberKind, format, digit, minimum, maximum, precision, formatFlags), IPopup(SpinEdit, owner)
{
}

CPopupSpinEdit::~CPopupSpinEdit()
{
    if (GetSafeHwnd())
        DestroyWindow();
}

BOOL CPopupSpinEdit::CreateInPlace(DWORD style, const RECT& cell, CWnd* parent, UINT id, const std::string& text)
{
    m_cell = cell;
    m_creating = true;
    const BOOL created = Create(style, cell, parent, id);
    m_creating = false;
    if (!created)
        return FALSE;
    m_creating = true;
    if (!text.empty())
        SetWindowText(text.c_str());
    SetValue(GetValue());
    SetSel(0, -1);
    FitText();
    m_creating = false;
    m_changed = false;
    return TRUE;
}

void CPopupSpinEdit::ShowStartValue(double number)
{
    m_creating = true;
    SetValue(number);
    SetSel(0, -1);
    FitText();
    m_creating = false;
    m_changed = false;
}

BOOL CPopupSpinEdit::CreatePopup(const RECT& rect, CWnd* parent)
{
    m_cell = rect;
    const double value = GetValue();
    if (!Create(WS_POPUP | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, rect, parent, 0))
        return FALSE;
    SetValue(value);
    SetSel(0, -1);
    FitText();
    return TRUE;
}

void CPopupSpinEdit::FitText()
{
    const DWORD margins = GetMargins();
    const int width = static_cast<int>(LOWORD(margins) + HIWORD(margins)) + GetTextExtent(GetWindowText()).cx +
                      GetTextExtent("W").cx + 4 + ScrollBarWidth;
    SizeToText(width, true);
}

BOOL CPopupSpinEdit::PreTranslateKey(UINT message, UINT virtualKey)
{
    if (message != WM_KEYDOWN)
        return TRUE;
    if ((virtualKey == VK_RETURN || virtualKey == VK_ESCAPE) && GetMode() == Typing)
        return EndByKey(virtualKey == VK_RETURN);
    return CSpinEdit::PreTranslateKey(message, virtualKey);
}

void CPopupSpinEdit::OnEditUpdate() { FitText(); }

void CPopupSpinEdit::OnEditChange()
{
    CSpinEdit::OnEditChange();
    m_changed = true;
    IPopup::NotifyParent(EN_CHANGE);
}
}
