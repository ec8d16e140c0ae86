#include "editor/CSplashWindow.h"

#include "editor/EditorNames.h"
#include "editor/EditorResources.h"
#include "platform/Clock.h"
#include "platform/WinApp.h"


bool CSplashWindow::Create(CBitmap& bitmap, const std::string& title)
{
    if (!m_bitmap.CopyFrom(bitmap))
        return false;
    const CSize size = m_bitmap.GetSize();
    if (!CreateEx(WS_EX_TOOLWINDOW, title.c_str(), WS_POPUP | WS_SYSMENU, CRect(0, 0, size.cx, size.cy), nullptr))
        return false;
    // Centred on the screen.
    CenterOnScreen();
    ShowWindow(SW_SHOW);
    return true;
}

void CSplashWindow::CenterOnScreen()
{
    CRect screen;
    if (!GetScreenWorkArea(&screen))
        return;
    const CSize size = m_bitmap.GetSize();
    SetWindowPos(nullptr, screen.left + (screen.Width() - size.cx) / 2, screen.top + (screen.Height() - size.cy) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSplashWindow::PaintNow()
{
    Invalidate(FALSE);
    UpdateWindow();
}

void CSplashWindow::OnPaint()
{
    CPaintDC dc(this);
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc))
        return;
    CBitmap* old = memory.SelectObject(&m_bitmap);
    const CSize size = m_bitmap.GetSize();
    dc.BitBlt(0, 0, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
}

CSplash& CSplash::GetInstance()
{
    static CSplash splash;
    return splash;
}

void CSplash::Show(UINT bitmapId, UINT, uint32_t minimumMs)
{
    if (!m_window)
    {
        CBitmap bitmap;
        if (LoadBitmapResource(bitmapId, bitmap))
        {
            auto window = std::make_unique<CSplashWindow>();
            if (window->Create(bitmap, CEditorNames::GetApplicationName()))
            {
                window->PaintNow();
                m_window = std::move(window);
            }
        }
    }
    m_timeouts.Start(kMinimumTimeKey, minimumMs);
}

void CSplash::Refresh()
{
    if (!m_window)
        return;
    m_window->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_window->PaintNow();
}

void CSplash::Close()
{
    if (!m_timeouts.IsExpired(kMinimumTimeKey))
        Sleep(static_cast<uint32_t>(m_timeouts.Remaining(kMinimumTimeKey)));
    m_timeouts.Clear();
    if (m_window)
    {
        m_window->DestroyWindow();
        m_window.reset();
    }
    if (CWinApp* app = AfxGetApp())
        if (app->m_pMainWnd && app->m_pMainWnd->GetSafeHwnd())
            app->m_pMainWnd->Invalidate(FALSE);
}
