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
constexpr int ScrollBarSize = 16;
bool g_dragStart = true;          // the next trackbar notification starts a drag
}

// ---- CSpinEditSlider ----

BOOL CSpinEditSlider::Open(POINT cursor, POINT buttonCentre)
{
    const bool horizontal = std::abs(cursor.y - buttonCentre.y) > std::abs(cursor.x - buttonCentre.x);
    m_sign = horizontal ? 1 : -1;
    const int width = horizontal ? 10 * ScrollBarSize : 2 * ScrollBarSize;
    const int height = horizontal ? 2 * ScrollBarSize : 10 * ScrollBarSize;
    RECT rect{cursor.x - width / 2, cursor.y - height / 2, cursor.x + width / 2, cursor.y + height / 2};
    const DWORD style = WS_POPUP | WS_DLGFRAME | TBS_BOTH | TBS_NOTICKS | (horizontal ? 0 : TBS_VERT);
    if (!Create(style, rect, &m_edit, 0))
        return FALSE;
    SetRange(0, SpinNumber::ThumbRange);
    SetLineSize(0);
    SetPageSize(0);
    ShowValue();
    // The thumb's centre goes under the cursor; then the trackbar moves off the edit.
    RECT thumb;
    GetThumbRect(&thumb);
    int dx = cursor.x - (rect.left + (thumb.left + thumb.right) / 2);
    int dy = cursor.y - (rect.top + (thumb.top + thumb.bottom) / 2);
    RECT placed{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
    RECT edit;
    m_edit.GetWindowRect(&edit);
    const bool overlaps = placed.left < edit.right && edit.left < placed.right && placed.top < edit.bottom && edit.top < placed.bottom;
    if (overlaps)
    {
        if (horizontal)
        {
            const LONG shift = cursor.y >= buttonCentre.y ? edit.bottom - placed.top : edit.top - placed.bottom;
            placed.top += shift;
            placed.bottom += shift;
        }
        else
        {
            const LONG shift = cursor.x >= buttonCentre.x ? edit.right - placed.left : edit.left - placed.right;
            placed.left += shift;
            placed.right += shift;
        }
    }
    MoveWindow(placed);
    ShowWindow(SW_SHOWNA);
    GetThumbRect(&thumb);
    SetCursorPos(placed.left + (thumb.left + thumb.right) / 2, placed.top + (thumb.top + thumb.bottom) / 2);
    PressThumb();
    return TRUE;
}

void CSpinEditSlider::ShowValue()
{
    ++m_suppress;
    SetPos(SpinNumber::ThumbFromValue(m_edit.GetValue(), m_edit.m_minimum, m_edit.m_maximum, m_sign < 0));
    --m_suppress;
}

void CSpinEditSlider::OnTrackbarScroll(UINT code, int position)
{
    if (m_suppress > 0)
        return;
    if (g_dragStart)
    {
        g_dragStart = false;
        m_edit.NotifyParent(SEN_BEGINSTEP);
    }
    const double lineUnit = SpinNumber::StepSize(m_edit.m_format, m_edit.m_digit, 0);
    const double pageUnit = SpinNumber::StepSize(m_edit.m_format, m_edit.m_digit, 1);
    // Line and page "up" decrease a horizontal trackbar and increase a vertical one.
    const double up = m_sign > 0 ? -1 : 1;
    const double low = std::min(m_edit.m_minimum, m_edit.m_maximum);
    const double high = std::max(m_edit.m_minimum, m_edit.m_maximum);
    const double value = m_edit.GetValue();
    switch (code)
    {
    case TB_LINEUP: m_edit.SlideTo(value + up * lineUnit); break;
    case TB_LINEDOWN: m_edit.SlideTo(value - up * lineUnit); break;
    case TB_PAGEUP: m_edit.SlideTo(value + up * pageUnit); break;
    case TB_PAGEDOWN: m_edit.SlideTo(value - up * pageUnit); break;
    case TB_THUMBTRACK:
        m_edit.SlideTo(SpinNumber::ValueFromThumb(position, m_edit.m_minimum, m_edit.m_maximum, m_sign < 0));
        break;
    case TB_TOP: m_edit.SlideTo(m_sign < 0 ? high : low); break;
    case TB_BOTTOM: m_edit.SlideTo(m_sign < 0 ? low : high); break;
    case TB_ENDTRACK:
        m_edit.NotifyParent(SEN_ENDSTEP);
        g_dragStart = true;
        // Closing returns the edit to typing, after this notification has run its course.
        PostMessage(WM_KEYDOWN, VK_RETURN);
        return;
    default: return;
    }
    ShowValue();
}

void CSpinEditSlider::OnTrackbarOtherButton()
{
    const double low = std::min(m_edit.m_minimum, m_edit.m_maximum);
    const double high = std::max(m_edit.m_minimum, m_edit.m_maximum);
    if (low > 0 || high < 0 || !m_edit.SlideTo(0))
        return;
    ShowValue();
    // The drag goes on from the thumb's new place.
    RECT thumb;
    RECT window;
    GetThumbRect(&thumb);
    GetWindowRect(&window);
    SetCursorPos(window.left + (thumb.left + thumb.right) / 2, window.top + (thumb.top + thumb.bottom) / 2);
}

LRESULT CSpinEditSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN)
        return PreTranslateKey(static_cast<UINT>(wParam));
    return CSliderCtrl::WindowProc(message, wParam, lParam);
}

BOOL CSpinEditSlider::PreTranslateKey(UINT virtualKey)
{
    if (virtualKey != VK_RETURN && virtualKey != VK_ESCAPE)
        return FALSE;
    if (m_edit.m_mode == CSpinEdit::Sliding)
        m_edit.SetMode(CSpinEdit::Typing);
    return TRUE;
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
    // The text keeps clear of the button.
    SetMargins(0, ButtonWidth);
    RECT client;
    GetClientRect(&client);
    if (!m_button->Create(RECT{std::max<LONG>(client.right - ButtonWidth, 0), 0, client.right, client.bottom}))
        return FALSE;
    ReadText();
    ShowValue();
    SelectDigit();
    ShowAvailability();
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
        if (m_slider && m_slider->GetSafeHwnd())
            m_slider->DestroyWindow();
        break;
    }
}

CSpinEditSlider* CSpinEdit::GetSlider() const
{
    return m_mode == Sliding && m_slider && m_slider->GetSafeHwnd() ? m_slider.get() : nullptr;
}

bool CSpinEdit::SlideTo(double value)
{
    if (!OfferChange(value))
        return false;
    m_value = SpinNumber::Clamp(value, m_minimum, m_maximum, IsIntegerMode());
    ShowValue();
    return true;
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
    {
        POINT cursor;
        GetCursorPos(&cursor);
        RECT button{0, 0, 0, 0};
        if (m_button)
            m_button->GetWindowRect(&button);
        const POINT centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
        m_slider = std::make_unique<CSpinEditSlider>(*this);
        if (!m_slider->Open(cursor, centre))
            SetMode(Typing);
        break;
    }
    }
}

void CSpinEdit::OnTimer(UINT_PTR id)
{
    if (id != DelayTimer && id != RepeatTimer)
        return CEdit::OnTimer(id);
    if (m_mode != Stepping)
        return;
    // Dragging off the held button opens the trackbar.
    if (m_button && CWnd::GetCapture() == m_button.get())
    {
        POINT cursor;
        GetCursorPos(&cursor);
        RECT button;
        m_button->GetWindowRect(&button);
        if (cursor.x < button.left || cursor.x >= button.right || cursor.y < button.top || cursor.y >= button.bottom)
        {
            ReleaseCapture();
            SetMode(Sliding);
            return;
        }
    }
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

void CSpinEdit::ShowAvailability()
{
    // A disabled or read-only edit cannot step: its button says so.
    if (m_button)
        m_button->SetLook(IsWindowEnabled() && !(GetStyle() & ES_READONLY) ? CSpinEditButton::Normal
                                                                            : CSpinEditButton::Disabled);
}

void CSpinEdit::OnEnable(BOOL enable)
{
    CEdit::OnEnable(enable);
    ShowAvailability();
}

void CSpinEdit::OnDestroy()
{
    if (m_timer)
        KillTimer(static_cast<UINT_PTR>(m_timer));
    m_timer = 0;
    m_mode = Typing;
    if (m_button && m_button->GetSafeHwnd())
        m_button->DestroyWindow();
    if (m_slider && m_slider->GetSafeHwnd())
        m_slider->DestroyWindow();
    CEdit::OnDestroy();
}

LRESULT CSpinEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == EM_SETREADONLY)
    {
        const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
        ShowAvailability();
        return result;
    }
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
