#include "toolkit/ul/TipBar.h"

#include "platform/Controls.h"
#include "platform/Gdi.h"
#include "platform/Messages.h"
#include "platform/WinApp.h"

#include <algorithm>

namespace UL
{
void ATipBar::SetLines(const std::vector<std::string>& lines, const CPoint& point)
{
    m_lines = lines;
    m_point = point;
    m_changed = true;
}

void ATipBar::SetText(const std::string& text, const CPoint& point) { SetLines({text}, point); }
void ATipBar::SetText(const std::string& text) { SetLines({text}, m_point); }
void ATipBar::SetLines(const std::vector<std::string>& lines) { SetLines(lines, m_point); }
void ATipBar::SetPoint(const CPoint& point) { SetLines(std::vector<std::string>(m_lines), point); }
void ATipBar::SetOffset(const CSize& offset) { m_offset = offset; }
void ATipBar::SetMargins(const CRect& margins) { m_margins = margins; }
void ATipBar::Show(bool show) { m_shown = show; }
bool ATipBar::IsShown() const { return m_shown; }

CTipBar::CTipBar() = default;
CTipBar::~CTipBar() = default;

CSize CTipBar::MeasureLines(const std::vector<std::string>& lines)
{
    CDC dc;
    dc.SelectObject(GetDefaultGuiFont());
    int32_t width = 0;
    int32_t height = 0;
    for (const std::string& line : lines)
    {
        const CSize extent = dc.GetTextExtent(line);
        width = std::max(width, extent.cx);
        height += extent.cy;
    }
    return CSize(width + 1, height);
}

bool CTipBar::Create()
{
    if (GetSafeHwnd())
        return true;
    CWnd* owner = AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr;
    if (!CreateEx(WS_EX_TOOLWINDOW, "", WS_POPUP, CRect(0, 0, 0, 0), owner))
        return false;
    MakeTipWindow(*this, GetSysColor(COLOR_INFOBK));
    return GetSafeHwnd() != nullptr;
}

bool CTipBar::Destroy()
{
    if (GetSafeHwnd())
        DestroyWindow();
    return true;
}

void CTipBar::Update()
{
    if (!GetSafeHwnd())
        return;
    if (m_shown && m_changed)
    {
        const CSize text = MeasureLines(m_lines);
        SetWindowPos(nullptr, m_point.x + m_offset.cx, m_point.y + m_offset.cy,
                     text.cx + m_margins.left + m_margins.right, text.cy + m_margins.top + m_margins.bottom,
                     SWP_NOACTIVATE);
        Invalidate();
        m_changed = false;
    }
    if (IsWindowVisible() && !m_shown)
        ShowWindow(SW_HIDE);
    else if (!IsWindowVisible() && m_shown)
        ShowWindow(SW_SHOWNA);
}

void CTipBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(client, GetSysColor(COLOR_INFOBK));
    CBrush frame;
    frame.CreateSolidBrush(GetSysColor(COLOR_INFOTEXT));
    dc.FrameRect(client, &frame);
    dc.SelectObject(GetDefaultGuiFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(COLOR_INFOTEXT));
    const int32_t count = static_cast<int32_t>(m_lines.size());
    const int32_t height = MeasureLines(m_lines).cy;
    // Equal steps of the average line height.
    for (int32_t i = 0; i < count; ++i)
        dc.TextOut(m_margins.left, m_margins.top + static_cast<int32_t>(static_cast<int64_t>(i) * height / count),
                   m_lines[static_cast<size_t>(i)]);
}

ITipBar* GetTipBar()
{
    static CTipBar tipBar;
    // Its window goes with the platform, before the application object ends.
    static const bool registered = [] {
        AddShutdownHandler([] { tipBar.Destroy(); });
        return true;
    }();
    (void)registered;
    return &tipBar;
}
}
