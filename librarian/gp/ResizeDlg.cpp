#include "librarian/gp/ResizeDlg.h"

#include "librarian/gp/Numbers.h"
#include "platform/Profile.h"
#include "platform/SizeGrip.h"
#include "platform/WindowPlacement.h"

#include <algorithm>
#include <cstdio>

namespace GP
{
namespace
{
// A dialog that supplies neither key would keep its rectangle where its size lives, and the next
// opening would read the rectangle's left and top as its size: the size wins the shared entry.
bool SharesSizeEntry(const std::string& positionSection, const std::string& positionEntry,
                     const std::string& sizeSection, const std::string& sizeEntry)
{
    return positionSection == sizeSection && positionEntry == sizeEntry;
}
}

CResizeDlg::CResizeDlg(UINT templateId, CWnd* parent, bool grip) : CDialog(templateId, parent), m_hasGrip(grip) {}

CResizeDlg::~CResizeDlg() = default;

void CResizeDlg::GetPositionKey(std::string&, std::string&) {}
void CResizeDlg::GetSizeKey(std::string&, std::string&) {}
void CResizeDlg::Layout(int, int) {}

BOOL CResizeDlg::OnInitDialog()
{
    CRect window;
    GetWindowRect(&window);
    m_minimum = window.Size();
    m_template.Load(GetTemplateId());
    if (m_hasGrip)
    {
        CRect client;
        GetClientRect(&client);
        m_grip = std::make_unique<CSizeGrip>();
        m_grip->Create(WS_CHILD | WS_VISIBLE | WS_GROUP | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, client, this,
                       kGripId);
    }
    const BOOL result = CDialog::OnInitDialog();
    m_ready = true;
    SetMinTrackSize(this, m_minimum);

    std::string sizeSection, sizeEntry, positionSection, positionEntry;
    GetSizeKey(sizeSection, sizeEntry);
    GetPositionKey(positionSection, positionEntry);
    {
        const std::string size =
            GetProfileString(sizeSection, sizeEntry, Format("%d,%d", m_minimum.cx, m_minimum.cy));
        int cx = 0, cy = 0;
        if (std::sscanf(size.c_str(), "%d,%d", &cx, &cy) == 2)
        {
            // A stored size is kept between the minimum and the screen.
            cx = std::clamp(cx, m_minimum.cx, std::max(m_minimum.cx, GetSystemMetrics(SM_CXSCREEN)));
            cy = std::clamp(cy, m_minimum.cy, std::max(m_minimum.cy, GetSystemMetrics(SM_CYSCREEN)));
            SetWindowOuterRect(this, CRect(0, 0, cx, cy), SWP_NOMOVE | SWP_NOZORDER);
        }
    }

    const std::string position = SharesSizeEntry(positionSection, positionEntry, sizeSection, sizeEntry)
                                     ? std::string()
                                     : GetProfileString(positionSection, positionEntry, "");
    CRect rect;
    if (!position.empty() &&
        std::sscanf(position.c_str(), "%d,%d,%d,%d", &rect.left, &rect.top, &rect.right, &rect.bottom) == 4)
    {
        FitRectIntoBounds(rect, CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
        if (rect.Width() < m_minimum.cx)
            rect.right = rect.left + m_minimum.cx;
        if (rect.Height() < m_minimum.cy)
            rect.bottom = rect.top + m_minimum.cy;
        SetWindowOuterRect(this, rect, SWP_NOZORDER);
    }
    return result;
}

void CResizeDlg::OnSize(UINT type, int cx, int cy)
{
    CDialog::OnSize(type, cx, cy);
    if (!m_ready)
        return;
    Layout(cx, cy);
    if (m_grip)
    {
        CRect grip;
        m_grip->GetWindowRect(&grip);
        m_grip->SetWindowPos(nullptr, cx - grip.Width(), cy - grip.Height(), 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CResizeDlg::OnDestroy()
{
    CRect window;
    GetWindowRect(&window);
    std::string sizeSection, sizeEntry, positionSection, positionEntry;
    GetSizeKey(sizeSection, sizeEntry);
    GetPositionKey(positionSection, positionEntry);
    WriteProfileString(sizeSection, sizeEntry, Format("%d,%d", window.Width(), window.Height()));
    if (!SharesSizeEntry(positionSection, positionEntry, sizeSection, sizeEntry))
        WriteProfileString(positionSection, positionEntry,
                           Format("%d,%d,%d,%d", window.left, window.top, window.right, window.bottom));
    CDialog::OnDestroy();
}
}
