#include "toolkit/ul/PopupEdit.h"

#include "platform/WinApp.h"

#include <algorithm>
#include <cstring>

namespace UL
{
// ---- CMouseHookManager ----

CMouseHookManager& CMouseHookManager::Instance()
{
    static CMouseHookManager manager;
    return manager;
}

CMouseHookManager::~CMouseHookManager()
{
    if (m_hook)
        UnhookWindowsHookEx(m_hook);
    m_hook = nullptr;
}

void CMouseHookManager::AddHandler(IMouseHookHandler* handler)
{
    if (!handler)
        return;
    if (m_handlers.empty() && !m_hook)
        m_hook = SetWindowsHookEx(WH_MOUSE, &CMouseHookManager::HookProc, nullptr, GetCurrentThreadId());
    m_handlers.insert(handler);
}

void CMouseHookManager::RemoveHandler(IMouseHookHandler* handler)
{
    if (m_handlers.erase(handler) == 0 || !m_handlers.empty())
        return;
    if (m_hook)
        UnhookWindowsHookEx(m_hook);
    m_hook = nullptr;
}

LRESULT CMouseHookManager::HookProc(int code, WPARAM message, LPARAM info)
{
    CMouseHookManager& self = Instance();
    const HHOOK hook = self.m_hook;
    if (self.m_enabled && code >= 0 && info)
    {
        // A handler may end its edit and so leave the set: walk a copy, and skip handlers that
        // have left meanwhile.
        const std::set<IMouseHookHandler*> handlers = self.m_handlers;
        for (IMouseHookHandler* handler : handlers)
        {
            if (!self.m_handlers.count(handler))
                continue;
            if (handler->OnMouseHook(code, static_cast<UINT>(message), *reinterpret_cast<const MOUSEHOOKSTRUCT*>(info)))
                return 1;
        }
    }
    return CallNextHookEx(hook, code, message, info);
}

// ---- CEditA ----

CEditA::CEditA() = default;
CEditA::~CEditA() = default;

BOOL CEditA::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    m_creating = true;
    PreCreate();
    const BOOL created = CEdit::Create(style, rect, parent, id);
    m_creating = false;
    if (!created)
        return FALSE;
    SetWindowText(m_text.c_str());
    SetSel(m_selStart, m_selEnd);
    OnCreated();
    return TRUE;
}

void CEditA::SetText(const std::string& text)
{
    m_text = text;
    if (GetSafeHwnd() && !m_creating)
        SetWindowText(m_text.c_str());
}

std::string CEditA::GetText() const { return GetSafeHwnd() ? GetWindowText() : m_text; }

void CEditA::SetSelection(int32_t start, int32_t end)
{
    m_selStart = start;
    m_selEnd = end;
    if (GetSafeHwnd() && !m_creating)
        SetSel(start, end);
}

void CEditA::GetSelection(int32_t& start, int32_t& end) const
{
    if (GetSafeHwnd())
    {
        int s = 0, e = 0;
        GetSel(s, e);
        start = s;
        end = e;
        return;
    }
    start = m_selStart;
    end = m_selEnd;
}

void CEditA::KeepWindowState()
{
    if (!GetSafeHwnd())
        return;
    m_text = GetWindowText();
    int start = 0, end = 0;
    GetSel(start, end);
    m_selStart = start;
    m_selEnd = end;
}

void CEditA::OnEditChange()
{
    if (m_creating || !GetSafeHwnd())
        return;
    m_text = GetWindowText();
    const std::vector<IEditListener*> listeners = m_listeners;
    for (IEditListener* listener : listeners)
        listener->OnCommitOrChange(CEditEvent(std::any(this)));
}

// ---- CPopupEdit ----

namespace
{
CWnd* ActiveTopLevel()
{
    for (CWnd* window : CWnd::GetTopLevelWindows())
        if (window->IsActiveWindow())
            return window;
    return nullptr;
}
}

CPopupEdit::CPopupEdit() = default;
CPopupEdit::~CPopupEdit() = default;

bool CPopupEdit::Edit(const RECT& rect, std::string& textOut, const std::string& initialText, int32_t selStart,
                      int32_t selEnd, const CTextStyle* style)
{
    m_font.reset();
    if (style)
    {
        LOGFONT log;
        log.lfHeight = -std::abs(style->height);
        log.lfWeight = FW_NORMAL;
        std::strncpy(log.lfFaceName, style->faceName.c_str(), LF_FACESIZE - 1);
        m_font = std::make_unique<CFont>();
        if (!m_font->CreateFontIndirect(&log))
            m_font.reset();
    }
    const bool committed = Open(rect, nullptr, initialText, selStart, selEnd, m_font.get());
    textOut = m_text;
    return committed;
}

bool CPopupEdit::Open(const RECT& rect, CWnd* parent, const std::string& text, int32_t selStart, int32_t selEnd,
                      const CFont* font)
{
    if (GetSafeHwnd())
        return false;
    m_text = text;
    m_selStart = selStart;
    m_selEnd = selEnd;
    m_useFont = font;
    if (!parent)
        parent = ActiveTopLevel();
    if (!parent && AfxGetApp())
        parent = AfxGetApp()->m_pMainWnd;
    HWND parentHandle = parent ? parent->GetSafeHwnd() : nullptr;
    if (parent)
        parent->SetActiveWindow();
    // The parent and every other window of the program wait while the edit runs.
    std::vector<HWND> disabled;
    for (CWnd* window : CWnd::GetTopLevelWindows())
        if (window->IsWindowEnabled() && window->IsWindowVisible())
        {
            window->EnableWindow(FALSE);
            disabled.push_back(window->GetSafeHwnd());
        }
    m_initialRect = CRect(rect);
    int result = 2;
    if (Create(WS_POPUP | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | m_alignStyle, rect, parent, 0))
        result = RunModalLoop();
    KeepWindowState();
    const bool wasActive = GetSafeHwnd() && IsActiveWindow();
    for (HWND handle : disabled)
        if (CWnd* window = CWnd::FromHandle(handle))
            window->EnableWindow(TRUE);
    if (CWnd* window = CWnd::FromHandle(parentHandle); window && (wasActive || !ActiveTopLevel()))
        window->SetActiveWindow();
    if (GetSafeHwnd())
        DestroyWindow();
    m_useFont = nullptr;
    return result == 1;
}

void CPopupEdit::OnCreated()
{
    CPopupImplementer<CEditA>::OnCreated();
    SetFont(m_useFont);
    Resize();
    SetSel(m_selStart, m_selEnd);
}

void CPopupEdit::OnEditUpdate()
{
    CPopupImplementer<CEditA>::OnEditUpdate();
    if (!m_creating && GetSafeHwnd())
        Resize();
}

CRect CPopupEdit::NeededRect(const std::string& text) const
{
    const CSize extent = GetTextExtent(text.empty() ? std::string("|") : text);
    const DWORD margins = GetMargins();
    const int32_t neededWidth = extent.cx + static_cast<int32_t>(LOWORD(margins) + HIWORD(margins)) + 4;
    const int32_t neededHeight = extent.cy + 4;
    const int32_t width = std::max(neededWidth, m_initialRect.Width());
    const int32_t height = std::max(neededHeight, m_initialRect.Height());
    CRect rect = m_initialRect;
    // A right-aligned edit keeps its right edge and grows to the left.
    if (GetStyle() & ES_RIGHT)
        rect.left = rect.right - width;
    else
        rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return rect;
}

void CPopupEdit::Resize()
{
    const CRect rect = NeededRect(GetWindowText());
    CRect now;
    GetWindowRect(&now);
    if (now != rect)
        MoveWindow(rect);
}
}
