#include "toolkit/ul/ProgressBar.h"

#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/WinApp.h"
#include "toolkit/gt/VersionInfo.h"
#include "toolkit/ul/Cursor.h"

#include <algorithm>
#include <cmath>

namespace UL
{
namespace
{
constexpr int32_t kMaxControlRange = 1000;
constexpr int kWindowsVistaCode = 8;

// The window the dialog belongs to: the active window's top-level window, else the first visible
// top-level window, else the main window; null stands for the desktop.
CWnd* FindOwner()
{
    for (CWnd* window : CWnd::GetTopLevelWindows())
        if (window->IsActiveWindow())
            return window;
    for (CWnd* window : CWnd::GetTopLevelWindows())
        if (window->IsWindowVisible())
            return window;
    return AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr;
}
}

CProgressBar::CProgressBar(UINT templateId, UINT messageItemId, UINT progressId)
    : CDialog(templateId), m_messageItemId(messageItemId), m_progressId(progressId)
{
    // A window made before the application object takes the program's name when it shows.
    if (AfxGetApp())
        m_title = AfxGetApp()->GetAppName();
}

std::string CProgressBar::GetTitle() const
{
    if (!m_title.empty())
        return m_title;
    return AfxGetApp() ? AfxGetApp()->GetAppName() : GetApplicationName();
}

CProgressBar::~CProgressBar() { End(); }

int32_t CProgressBar::ControlRange(int32_t range) { return std::clamp(range, 0, kMaxControlRange); }

int32_t CProgressBar::ControlPos(int32_t position, int32_t range)
{
    // A range of 0 or less has no steps to divide into.
    if (range <= 0)
        return 0;
    const double scaled = static_cast<double>(position) * ControlRange(range) / range;
    return static_cast<int32_t>(std::lround(std::clamp(scaled, -2147483648.0, 2147483647.0)));
}

CProgressCtrl* CProgressBar::Control() const
{
    return IsShown() ? static_cast<CProgressCtrl*>(GetDlgItem(m_progressId)) : nullptr;
}

bool CProgressBar::ApplyRange()
{
    const int32_t range = ControlRange(m_range);
    if (range == m_shownRange)
        return false;
    if (CProgressCtrl* control = Control())
        control->SetRange32(0, range);
    m_shownRange = range;
    return true;
}

bool CProgressBar::ApplyPos()
{
    const int32_t position = ControlPos(m_pos, m_range);
    if (position == m_shownPos)
        return false;
    if (CProgressCtrl* control = Control())
        control->SetPos(position);
    m_shownPos = position;
    return true;
}

bool CProgressBar::ApplyMessage()
{
    CWnd* item = IsShown() ? GetDlgItem(m_messageItemId) : nullptr;
    if (!item || item->GetWindowText() == m_message)
        return false;
    item->SetWindowText(m_message.c_str());
    return true;
}

void CProgressBar::ApplyCancelable()
{
    if (CWnd* cancel = IsShown() ? GetDlgItem(IDCANCEL) : nullptr)
        cancel->ShowWindow(m_cancelable ? SW_SHOW : SW_HIDE);
}

bool CProgressBar::Open()
{
    CWnd* owner = FindOwner();
    m_owner = owner ? owner->GetSafeHwnd() : nullptr;
    m_ownerDisabled = owner && owner->IsWindowEnabled();
    if (m_ownerDisabled)
        owner->EnableWindow(FALSE);
    if (!Create(GetTemplateId(), owner))
    {
        if (m_ownerDisabled && IsWindow(m_owner))
            owner->EnableWindow(TRUE);
        m_owner = nullptr;
        m_ownerDisabled = false;
        return false;
    }
    m_shownRange = -1;
    m_shownPos = -1;
    SetWindowText(GetTitle().c_str());
    ApplyMessage();
    ApplyRange();
    ApplyPos();
    ApplyCancelable();
    CenterWindow();
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(SW_SHOW);
    ActivateDialog();
    UpdateWindow();
    return true;
}

void CProgressBar::PumpWaitingMessages() { PumpAllMessages(); }

void CProgressBar::PumpAndRefreshCursor()
{
    PumpWaitingMessages();
    CPoint point;
    GetCursorPos(&point);
    CCursor::GetCursor().Refresh(point);
}

void CProgressBar::Begin()
{
    m_pos = 0;
    m_canceled = false;
    if (IsShown())
        ApplyPos();
    else
        Open();
}

void CProgressBar::SetRange(int32_t range)
{
    m_range = range;
    if (IsShown())
        ApplyRange();
}

void CProgressBar::SetPos(int32_t position)
{
    m_pos = position;
    const bool changed = IsShown() ? ApplyPos() : Open();
    if (changed)
        PumpAndRefreshCursor();
}

void CProgressBar::SetTitle(const std::string& title)
{
    // An empty title means the program's name: the window is never left untitled.
    m_title = title;
    if (IsShown())
        SetWindowText(GetTitle().c_str());
}

void CProgressBar::SetMessage(const std::string& message)
{
    m_message = message;
    const bool changed = IsShown() ? ApplyMessage() : Open();
    if (changed)
        PumpAndRefreshCursor();
}

void CProgressBar::SetCancelable(bool cancelable)
{
    m_cancelable = cancelable;
    ApplyCancelable();
}

bool CProgressBar::IsCanceled()
{
    if (IsShown())
        PumpAndRefreshCursor();
    return m_canceled;
}

void CProgressBar::OnCancel()
{
    // The dialog stays: the operation asks IsCanceled and ends itself.
    if (m_cancelable)
        m_canceled = true;
}

void CProgressBar::End()
{
    if (!IsShown())
        return;
    if (GT::GetOsVersionCode() == kWindowsVistaCode)
    {
        // That system animates the bar towards its position; give the animation its second.
        const DWORD start = GetTickCount();
        while (!TickReached(GetTickCount(), start + 1000))
        {
            PumpMessagesBelowUser();
            Sleep(10);
        }
    }
    if (m_ownerDisabled && IsWindow(m_owner))
        if (CWnd* owner = CWnd::FromHandle(m_owner))
            owner->EnableWindow(TRUE);
    DestroyWindow();
    m_owner = nullptr;
    m_ownerDisabled = false;
}

void CProgressBarA::PumpWaitingMessages() { PumpMessagesBelowUser(); }
}
