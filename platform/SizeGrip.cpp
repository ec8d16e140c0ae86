#include "platform/SizeGrip.h"

#include "platform/Dialog.h"
#include "platform/Gdi.h"
#include "platform/Wnd_p.h"

#include <QSizeGrip>

SIZE CSizeGrip::StandardSize()
{
    return SIZE{16, 16};
}

BOOL CSizeGrip::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    const SIZE size = StandardSize();
    const RECT corner{rect.right - size.cx, rect.bottom - size.cy, rect.right, rect.bottom};
    if (!CreateEx(0, "", style | WS_CHILD, corner, parent, id))
        return FALSE;
    QWidget* widget = GetImpl()->widget.data();
    auto* grip = new QSizeGrip(widget);
    grip->setGeometry(0, 0, size.cx, size.cy);
    grip->show();
    GetImpl()->content = grip;
    return TRUE;
}

void CSizeGrip::OnPaint()
{
    // The grip draws only its dots; the corner under them is the dialog's face.
    CPaintDC dc(this);
    RECT client;
    GetClientRect(&client);
    dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
}

void SetMinTrackSize(CWnd* window, SIZE size)
{
    QWidget* widget = window && window->GetImpl() ? window->GetImpl()->widget.data() : nullptr;
    if (widget)
        widget->setMinimumSize(std::max(size.cx, 0), std::max(size.cy, 0));
}
