#include "librarian/gp/FormViewEx.h"

#include "librarian/gp/MDIChildWndEx.h"
#include "platform/WinApp.h"

namespace GP
{
CFormViewEx::CFormViewEx(UINT templateId) : CFormView(templateId) {}

bool CFormViewEx::RoutesCommandsToMainWindow() const
{
    return true;
}

void CFormViewEx::Layout(int, int) {}

void CFormViewEx::OnInitialUpdate()
{
    if (!m_ready)
        m_template.Load(GetTemplateId());
    CFormView::OnInitialUpdate();
    m_ready = true;
    auto* frame = dynamic_cast<CMDIChildWndEx*>(GetParentFrame());
    if (!frame || !frame->RestoresPlacement())
    {
        ResizeParentToFit(FALSE);
        return;
    }
    CRect client;
    GetClientRect(&client);
    Layout(client.Width(), client.Height());
}

void CFormViewEx::OnSize(UINT type, int cx, int cy)
{
    CFormView::OnSize(type, cx, cy);
    if (m_ready)
        Layout(cx, cy);
}

void CFormViewEx::OnLButtonDblClk(UINT flags, CPoint point)
{
    CMDIChildWnd* frame = GetParentFrame();
    if (frame && !frame->IsZoomed())
        ResizeParentToFit(FALSE);
    CFormView::OnLButtonDblClk(flags, point);
}

LRESULT CFormViewEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A control's notification with a code, or from a control with a command-range id, is the
    // main window's business; the mark stops it from coming back here.
    if (message == WM_COMMAND && RoutesCommandsToMainWindow() && !m_routing && lParam != 0 && wParam >= 0x8000)
    {
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd && app->m_pMainWnd != this)
        {
            m_routing = true;
            app->m_pMainWnd->SendMessage(WM_COMMAND, wParam, lParam);
            m_routing = false;
        }
        return 0;
    }
    return CFormView::WindowProc(message, wParam, lParam);
}
}
