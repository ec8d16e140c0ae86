#include "librarian/gp/SpinEdit.h"

#include "librarian/gp/SpinNumber.h"
#include "platform/Gdi.h"
#include "platform/SystemFolders.h"

#include <algorithm>
#include <cmath>

namespace GP
{
namespace
{
double g_repeatDelay = 500;
double g_repeatInterval = 33.3;
double g_speedFactor = -1;

constexpr UINT_PTR DelayTimer = 1;
constexpr UINT_PTR RepeatTimer = 2;
constexpr int ButtonWidth = 16;   // one vertical scroll-bar width
}

// ---- CSpinEditButton ----

CSpinEditButton::CSpinEditButton(CSpinEdit& edit) : m_edit(edit) {}

BOOL CSpinEditButton::Create(const RECT& rect)
{
    return CreateEx(0, "", WS_CHILD | WS_VISIBLE, rect, &m_edit, 0);
}

void CSpinEditButton::SetLook(ELook look)
{
    if (look == m_look)
        return;
    m_look = look;
    EnableWindow(look != Disabled);
    Invalidate(FALSE);
}

void CSpinEditButton::OnPaint()
{
    CPaintDC dc(this);
    RECT client;
    GetClientRect(&client);
    const bool pushed = m_look == Increasing || m_look == Decreasing;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF light = RGB(255, 255, 255);
    const COLORREF dark = RGB(128, 128, 128);
    dc.FillSolidRect(client, face);
    // A push-button frame: light top and left, dark bottom and right; swapped while pushed.
    const COLORREF topLeft = pushed ? dark : light;
    const COLORREF bottomRight = pushed ? light : dark;
    dc.FillSolidRect(RECT{client.left, client.top, client.right, client.top + 1}, topLeft);
    dc.FillSolidRect(RECT{client.left, client.top, client.left + 1, client.bottom}, topLeft);
    dc.FillSolidRect(RECT{client.left, client.bottom - 1, client.right, client.bottom}, bottomRight);
    dc.FillSolidRect(RECT{client.right - 1, client.top, client.right, client.bottom}, bottomRight);
    // The glyph: an up arrow over a down arrow; the active one darker, both grey when disabled.
    const int cx = (client.left + client.right) / 2 + (pushed ? 1 : 0);
    const int cy = (client.top + client.bottom) / 2 + (pushed ? 1 : 0);
    const COLORREF normal = m_look == Disabled ? dark : GetSysColor(COLOR_WINDOWTEXT);
    for (int row = 0; row < 3; ++row)
    {
        const COLORREF up = m_look == Increasing ? RGB(0, 0, 160) : normal;
        const COLORREF down = m_look == Decreasing ? RGB(0, 0, 160) : normal;
        dc.FillSolidRect(RECT{cx - row, cy - 4 + row, cx + row + 1, cy - 3 + row}, up);
        dc.FillSolidRect(RECT{cx - row, cy + 4 - row, cx + row + 1, cy + 5 - row}, down);
    }
}

void CSpinEditButton::OnLButtonDown(UINT, CPoint) { m_edit.OnButtonDown(false); }
void CSpinEditButton::OnLButtonDblClk(UINT, CPoint) { m_edit.OnButtonDown(false); }
void CSpinEditButton::OnRButtonDown(UINT, CPoint) { m_edit.OnButtonDown(true); }
void CSpinEditButton::OnRButtonDblClk(UINT, CPoint) { m_edit.OnButtonDown(true); }
void CSpinEditButton::OnLButtonUp(UINT flags, CPoint) { m_edit.OnButtonUp(false, flags); }
void CSpinEditButton::OnRButtonUp(UINT flags, CPoint) { m_edit.OnButtonUp(true, flags); }

// ---- CSpinEdit ----

CSpinEdit::CSpinEdit(int32_t numberKind, int32_t format, int32_t digit, double minimum, double maximum,
                     int32_t precision, uint32_t formatFlags)
    : m_numberKind(numberKind == 0 ? 0 : 1),
      m_minimum(minimum),
      m_maximum(maximum),
      m_format(std::clamp(format, 0, 2)),
      m_precision(numberKind == 0 ? 0 : precision),
      m_formatFlags(numberKind == 0 ? 0 : formatFlags),
      m_digit(numberKind == 0 ? std::max(digit, 0) : digit)
{
    int delay = 1;
    int speed = 31;
    SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delay, 0);
    SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &speed, 0);
    g_repeatDelay = SpinNumber::RepeatDelay(delay);
    g_repeatInterval = SpinNumber::RepeatInterval(speed);
    if (g_speedFactor == -1)
    {
        const std::string folder = GetSpecialFolder(CSIDL_WINDOWS);
        g_speedFactor = folder.empty() ? 1 : SpinNumber::ReadSpeedFactor(folder + "/SpinEdit.ini");
    }
}

CSpinEdit::~CSpinEdit()
{
    if (GetSafeHwnd())
        DestroyWindow();
}

double CSpinEdit::GetRepeatDelay() { return g_repeatDelay; }
double CSpinEdit::GetRepeatInterval() { return g_repeatInterval; }
double CSpinEdit::GetSpeedFactor() { return g_speedFactor; }
void CSpinEdit::ForgetSpeedFactor() { g_speedFactor = -1; }

BOOL CSpinEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CEdit::Create(style, rect, parent, id))
        return FALSE;
    m_button = std::make_unique<CSpinEditButton>(*this);
    RECT client;
    GetClientRect(&client);
    if (!m_button->Create(RECT{std::max<LONG>(client.right - ButtonWidth, 0), 0, client.right, client.bottom}))
        return FALSE;
    ReadText();
    ShowValue();
    SelectDigit();
    if (!IsWindowEnabled())
        m_button->SetLook(CSpinEditButton::Disabled);
    return TRUE;
}

std::string CSpinEdit::FormatValue() const
{
    const std::string text = IsIntegerMode()
        ? SpinNumber::FormatInteger(static_cast<int32_t>(std::clamp(m_value, -2147483648.0, 2147483647.0)), m_format)
        : SpinNumber::FormatReal(m_value, m_format, m_precision, m_formatFlags);
    return SpinNumber::PadForDigit(text, m_digit);
}

void CSpinEdit::SetValue(double value)
{
    m_value = SpinNumber::Clamp(value, m_minimum, m_maximum, IsIntegerMode());
    ShowValue();
    // Setting the text moves the caret; keep it on the stepping digit.
    if (GetSafeHwnd() && m_mode == Typing)
        SelectDigit();
}

void CSpinEdit::ShowValue()
{
    m_text = FormatValue();
    if (!GetSafeHwnd())
        return;
    m_settingText = true;
    SetWindowText(m_text.c_str());
    m_settingText = false;
    if (m_mode != Typing)
    {
        const int caret = SpinNumber::CaretAfterDigit(m_text, m_digit);
        SetSel(caret, caret);
    }
}

void CSpinEdit::ReadText()
{
    m_text = GetWindowText();
    double value = 0;
    SpinNumber::ParseReal(m_text, value);
    m_value = IsIntegerMode() ? std::round(value) : value;
}

void CSpinEdit::OnEditChange()
{
    if (!m_settingText)
        ReadText();
}

void CSpinEdit::SelectDigit()
{
    const std::string text = GetWindowText();
    const int caret = SpinNumber::CaretAfterDigit(text, m_digit);
    SetSel(caret, caret);
    Invalidate(FALSE);
}

void CSpinEdit::TakeDigitFromCaret()
{
    int start = 0;
    int end = 0;
    GetSel(start, end);
    m_digit = SpinNumber::DigitFromCaret(GetWindowText(), end, IsIntegerMode());
}

bool CSpinEdit::HasFocusHere() const
{
    const CWnd* focus = GetFocus();
    return focus && (focus == this || focus == m_button.get());
}

void CSpinEdit::NotifyParent(UINT code)
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), code), reinterpret_cast<LPARAM>(GetSafeHwnd()));
}

bool CSpinEdit::OfferChange(double newValue)
{
    CWnd* parent = GetParent();
    if (!parent)
        return true;
    NMSPINEDIT record{};
    record.hdr.hwndFrom = GetSafeHwnd();
    record.hdr.idFrom = GetDlgCtrlID();
    record.hdr.code = SEN_STEP;
    record.value = m_value;
    record.change = newValue - m_value;
    return parent->SendMessage(WM_NOTIFY, GetDlgCtrlID(), reinterpret_cast<LPARAM>(&record)) == 0;
}

bool CSpinEdit::Step()
{
    const double size = SpinNumber::StepSize(m_format, m_digit, m_acceleration);
    const double newValue = m_value + (m_increase ? size : -size);
    if (!OfferChange(newValue))
        return false;
    m_value = SpinNumber::Clamp(newValue, m_minimum, m_maximum, IsIntegerMode());
    ShowValue();
    return true;
}

void CSpinEdit::LeaveMode()
{
    switch (m_mode)
    {
    case Typing:
    {
        if (!HasFocusHere())
        {
            SetFocus();
            SelectDigit();
            break;
        }
        int start = 0;
        int end = 0;
        GetSel(start, end);
        const int length = GetWindowTextLength();
        if (start == 0 && end == length && length > 0)
            SelectDigit();
        else
            TakeDigitFromCaret();
        break;
    }
    case Stepping:
        if (m_timer)
            KillTimer(static_cast<UINT_PTR>(m_timer));
        m_timer = 0;
        if (m_button && m_button->GetLook() != CSpinEditButton::Disabled)
            m_button->SetLook(CSpinEditButton::Normal);
        NotifyParent(SEN_ENDSTEP);
        break;
    case Sliding:
        break;
    }
}

void CSpinEdit::SetMode(EMode mode)
{
    LeaveMode();
    m_mode = mode;
    switch (mode)
    {
    case Typing:
        SetFocus();
        SelectDigit();
        TakeDigitFromCaret();
        break;
    case Stepping:
        NotifyParent(SEN_BEGINSTEP);
        m_acceleration = 0;
        if (m_button)
            m_button->SetLook(m_increase ? CSpinEditButton::Increasing : CSpinEditButton::Decreasing);
        if (!Step())
        {
            SetMode(Typing);
            return;
        }
        m_timer = static_cast<int32_t>(DelayTimer);
        SetTimer(DelayTimer, static_cast<UINT>(g_repeatDelay));
        break;
    case Sliding:
        break;
    }
}

void CSpinEdit::OnTimer(UINT_PTR id)
{
    if (id != DelayTimer && id != RepeatTimer)
        return CEdit::OnTimer(id);
    if (m_mode != Stepping)
        return;
    if (HasFocusHere() && !Step())
    {
        SetMode(Typing);
        return;
    }
    if (id == DelayTimer && m_mode == Stepping)
    {
        KillTimer(DelayTimer);
        m_timer = static_cast<int32_t>(RepeatTimer);
        SetTimer(RepeatTimer, SpinNumber::RepeatPeriod(g_repeatInterval, g_speedFactor));
    }
}

BOOL CSpinEdit::PreTranslateKey(UINT message, UINT virtualKey)
{
    if (message != WM_KEYDOWN)
        return m_mode != Typing;
    if (virtualKey == VK_UP || virtualKey == VK_DOWN)
    {
        if (IsRepeatedKey())
            return TRUE;
        if (m_mode == Typing)
        {
            m_increase = virtualKey == VK_UP;
            SetMode(Stepping);
        }
        else if (m_mode == Stepping)
            m_acceleration = 1;
        return TRUE;
    }
    if ((virtualKey == VK_END || virtualKey == VK_HOME) && m_mode == Typing && GetKeyState(VK_CONTROL) < 0)
    {
        const double target = virtualKey == VK_END ? std::max(m_minimum, m_maximum) : std::min(m_minimum, m_maximum);
        NotifyParent(SEN_BEGINSTEP);
        if (OfferChange(target))
            SetValue(target);
        NotifyParent(SEN_ENDSTEP);
        return TRUE;
    }
    return m_mode != Typing;
}

BOOL CSpinEdit::PreTranslateKeyUp(UINT virtualKey)
{
    if ((virtualKey != VK_UP && virtualKey != VK_DOWN) || m_mode != Stepping)
        return FALSE;
    if ((virtualKey == VK_UP) == m_increase)
        SetMode(Typing);
    else
        m_acceleration = 0;
    return TRUE;
}

void CSpinEdit::OnButtonDown(bool increase)
{
    if (m_mode == Stepping)
    {
        m_acceleration = 1;
        return;
    }
    if (m_mode != Typing)
        return;
    const bool otherHeld = GetKeyState(increase ? 0x01 : 0x02) < 0;
    if (otherHeld)
        return;
    m_increase = increase;
    if (m_button)
        m_button->SetCapture();
    SetMode(Stepping);
}

void CSpinEdit::OnButtonUp(bool right, UINT heldButtons)
{
    if (m_mode == Typing)
    {
        if (CWnd::GetCapture() == m_button.get())
            ReleaseCapture();
        return;
    }
    if (m_mode != Stepping)
        return;
    const bool anyHeld = (heldButtons & (MK_LBUTTON | MK_RBUTTON)) != 0;
    if (!anyHeld || right == m_increase)
    {
        if (CWnd::GetCapture() == m_button.get())
            ReleaseCapture();
        SetMode(Typing);
    }
    else
        m_acceleration = 0;
}

void CSpinEdit::PlaceButton()
{
    if (!m_button || !m_button->GetSafeHwnd())
        return;
    RECT client;
    GetClientRect(&client);
    m_button->MoveWindow(RECT{std::max<LONG>(client.right - ButtonWidth, 0), 0, client.right, client.bottom});
}

void CSpinEdit::OnSize(UINT type, int cx, int cy)
{
    CEdit::OnSize(type, cx, cy);
    PlaceButton();
}

void CSpinEdit::OnEnable(BOOL enable)
{
    CEdit::OnEnable(enable);
    if (m_button)
        m_button->SetLook(enable ? CSpinEditButton::Normal : CSpinEditButton::Disabled);
}

void CSpinEdit::OnDestroy()
{
    if (m_timer)
        KillTimer(static_cast<UINT_PTR>(m_timer));
    m_timer = 0;
    m_mode = Typing;
    if (m_button && m_button->GetSafeHwnd())
        m_button->DestroyWindow();
    CEdit::OnDestroy();
}

LRESULT CSpinEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT)
    {
        if (wParam)
            ShowValue();
        else
            SetWindowText(reinterpret_cast<const char*>(lParam));
        return TRUE;
    }
    return CEdit::WindowProc(message, wParam, lParam);
}
}
