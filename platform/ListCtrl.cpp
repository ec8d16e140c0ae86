#include "platform/ListCtrl.h"

#include "platform/Dialog.h"
#include "platform/Wnd_p.h"

#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <QScrollBar>

#include <algorithm>

// Character keys of the list: the list sees them before shortcuts and gets them as characters.
struct CListKeys final : public QObject
{
    explicit CListKeys(CListCtrl* list) : m_list(list) {}

    static UINT CharacterOf(const QKeyEvent* key)
    {
        if ((key->modifiers() & Qt::ControlModifier) && key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z)
            return static_cast<UINT>(key->key() - Qt::Key_A + 1);
        const QString text = key->text();
        if (text.size() != 1 || text[0].unicode() < 0x20 || text[0].unicode() > 0xFF)
            return 0;
        return text[0].unicode();
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const UINT vk = VirtualKeyFromQt(key->key(), key->modifiers());
        const UINT character = CharacterOf(key);
        if (event->type() == QEvent::ShortcutOverride)
        {
            if (m_list->WantsKey(vk, character))
                event->accept();
            return false;
        }
        // Typed characters go to OnListChar and not on to OnKeyDown, whose key codes would read
        // some of them ('$' shares its code with Home) as named keys.
        if (character >= 0x20)
        {
            m_list->OnListChar(character);
            return true;
        }
        if (character != 0)
            return m_list->OnListChar(character) != FALSE;
        return false;
    }

    CListCtrl* m_list;
};

struct CListCtrl::VerticalBar
{
    QPointer<QScrollBar> bar;
    bool updating = false;
};

CListCtrl::CListCtrl() : m_bar(std::make_unique<VerticalBar>()) {}
CListCtrl::~CListCtrl() = default;

void CListCtrl::UpdateScrollBar()
{
    QWidget* widget = GetImpl() ? GetImpl()->widget.data() : nullptr;
    if (!widget)
        return;
    QScrollBar* bar = m_bar->bar;
    if (!bar)
    {
        bar = new QScrollBar(Qt::Vertical, widget);
        bar->setFocusPolicy(Qt::NoFocus);
        m_bar->bar = bar;
        QObject::connect(bar, &QScrollBar::valueChanged, bar, [this](int value) {
            if (!m_bar->updating)
                Scroll(CSize(0, value - m_top));
        });
    }
    const int page = std::max(GetCountPerPage(), 1);
    const int last = std::max(0, GetItemCount() - page);
    m_bar->updating = true;
    bar->setRange(0, last);
    bar->setPageStep(page);
    bar->setValue(m_top);
    m_bar->updating = false;
    const int width = bar->sizeHint().width();
    bar->setGeometry(widget->width() - width, GetHeaderHeight(), width, std::max(0, widget->height() - GetHeaderHeight()));
    bar->setVisible(last > 0);
}

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    m_style = style;
    if (!CreateEx(0, "", style | WS_CHILD, rect, parent, id))
        return FALSE;
    if (QWidget* widget = GetImpl()->widget)
    {
        widget->setFocusPolicy(Qt::StrongFocus);
        auto* keys = new CListKeys(this);
        keys->setParent(widget);
        widget->installEventFilter(keys);
    }
    return TRUE;
}

DWORD CListCtrl::SetExtendedStyle(DWORD exStyle)
{
    const DWORD old = m_exStyle;
    m_exStyle = exStyle;
    Redraw();
    return old;
}

int CListCtrl::InsertColumn(int index, const LVCOLUMNA& column)
{
    index = std::clamp(index, 0, GetColumnCount());
    m_columns.insert(m_columns.begin() + index, column);
    if (m_columns[static_cast<size_t>(index)].cx == LVSCW_AUTOSIZE_USEHEADER)
        SetColumnWidth(index, LVSCW_AUTOSIZE_USEHEADER);
    Redraw();
    return index;
}

BOOL CListCtrl::DeleteColumn(int index)
{
    if (index < 0 || index >= GetColumnCount())
        return FALSE;
    m_columns.erase(m_columns.begin() + index);
    Redraw();
    return TRUE;
}

BOOL CListCtrl::GetColumn(int index, LVCOLUMNA& column) const
{
    if (index < 0 || index >= GetColumnCount())
        return FALSE;
    column = m_columns[static_cast<size_t>(index)];
    return TRUE;
}

BOOL CListCtrl::SetColumn(int index, const LVCOLUMNA& column)
{
    if (index < 0 || index >= GetColumnCount())
        return FALSE;
    m_columns[static_cast<size_t>(index)] = column;
    Redraw();
    return TRUE;
}

int CListCtrl::GetColumnWidth(int index) const
{
    return index >= 0 && index < GetColumnCount() ? m_columns[static_cast<size_t>(index)].cx : 0;
}

BOOL CListCtrl::SetColumnWidth(int index, int width)
{
    if (index < 0 || index >= GetColumnCount())
        return FALSE;
    if (width == LVSCW_AUTOSIZE_USEHEADER || width < 0)
    {
        CClientDC dc(this);
        dc.SelectObject(GetFont());
        width = dc.GetTextExtent(m_columns[static_cast<size_t>(index)].text).cx + 12;
    }
    m_columns[static_cast<size_t>(index)].cx = std::min(width, 32767);
    Redraw();
    return TRUE;
}

int CListCtrl::InsertItem(int index, LPARAM data)
{
    index = std::clamp(index, 0, GetItemCount());
    m_items.insert(m_items.begin() + index, CItem{data, 0});
    Redraw();
    return index;
}

BOOL CListCtrl::DeleteItem(int index)
{
    if (index < 0 || index >= GetItemCount())
        return FALSE;
    m_items.erase(m_items.begin() + index);
    m_top = ClampTop(m_top);
    if (m_selectionMark >= GetItemCount())
        m_selectionMark = -1;
    Redraw();
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems()
{
    m_items.clear();
    m_top = 0;
    m_selectionMark = -1;
    Redraw();
    return TRUE;
}

LPARAM CListCtrl::GetItemData(int item) const
{
    return item >= 0 && item < GetItemCount() ? m_items[static_cast<size_t>(item)].data : 0;
}

UINT CListCtrl::GetItemState(int item, UINT mask) const
{
    return item >= 0 && item < GetItemCount() ? m_items[static_cast<size_t>(item)].state & mask : 0;
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask)
{
    if (item < 0 || item >= GetItemCount())
        return FALSE;
    // One focused item at a time, as the list view keeps it.
    if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
        for (CItem& other : m_items)
            other.state &= ~LVIS_FOCUSED;
    CItem& target = m_items[static_cast<size_t>(item)];
    target.state = (target.state & ~mask) | (state & mask);
    Redraw();
    return TRUE;
}

std::string CListCtrl::GetItemText(int item, int subItem) const
{
    if (item < 0 || item >= GetItemCount() || subItem < 0 || subItem >= GetColumnCount())
        return std::string();
    return GetDispText(item, subItem);
}

std::string CListCtrl::GetDispText(int, int) const { return std::string(); }

int CListCtrl::GetHeaderHeight() const { return m_headerHeight; }
int CListCtrl::GetRowHeight() const { return m_rowHeight; }

CFont* CListCtrl::GetFont() const { return m_font ? m_font : GetDefaultGuiFont(); }

void CListCtrl::SetFont(CFont* font)
{
    m_font = font;
    m_rowHeight = 18;
    m_headerHeight = 20;
    if (m_font && GetSafeHwnd())
    {
        CClientDC dc(this);
        dc.SelectObject(m_font);
        TEXTMETRIC metrics{};
        if (dc.GetTextMetrics(&metrics))
        {
            m_rowHeight = std::max(m_rowHeight, static_cast<int>(metrics.tmHeight) + 4);
            m_headerHeight = std::max(m_headerHeight, static_cast<int>(metrics.tmHeight) + 6);
        }
    }
    m_top = ClampTop(m_top);
    Redraw();
}

int CListCtrl::GetCountPerPage() const
{
    RECT client;
    GetClientRect(&client);
    return std::max(0, static_cast<int>(client.bottom - client.top - GetHeaderHeight()) / GetRowHeight());
}

int CListCtrl::ClampTop(int top) const
{
    return std::clamp(top, 0, std::max(0, GetItemCount() - std::max(GetCountPerPage(), 1)));
}

BOOL CListCtrl::Scroll(CSize size)
{
    int width = 0;
    for (const LVCOLUMNA& column : m_columns)
        width += column.cx;
    RECT client;
    GetClientRect(&client);
    m_scrollX = std::clamp(m_scrollX + static_cast<int>(size.cx), 0, std::max(0, width - static_cast<int>(client.right)));
    const int top = ClampTop(m_top + static_cast<int>(size.cy));
    const bool moved = top != m_top;
    m_top = top;
    Redraw();
    if (moved)
        OnVScroll();
    return TRUE;
}

BOOL CListCtrl::EnsureVisible(int item)
{
    if (item < 0 || item >= GetItemCount())
        return FALSE;
    const int page = std::max(GetCountPerPage(), 1);
    if (item < m_top)
        Scroll(CSize(0, item - m_top));
    else if (item >= m_top + page)
        Scroll(CSize(0, item - (m_top + page - 1)));
    return TRUE;
}

int CListCtrl::SetSelectionMark(int item)
{
    const int old = m_selectionMark;
    m_selectionMark = item;
    return old;
}

int CListCtrl::GetSelectedCount() const
{
    return static_cast<int>(std::count_if(m_items.begin(), m_items.end(),
                                          [](const CItem& item) { return (item.state & LVIS_SELECTED) != 0; }));
}

BOOL CListCtrl::GetSubItemRect(int item, int subItem, RECT* rect) const
{
    if (!rect || subItem < 0 || subItem >= GetColumnCount())
        return FALSE;
    int left = -m_scrollX;
    for (int c = 0; c < subItem; ++c)
        left += m_columns[static_cast<size_t>(c)].cx;
    const int top = GetHeaderHeight() + (item - m_top) * GetRowHeight();
    *rect = RECT{left, top, left + m_columns[static_cast<size_t>(subItem)].cx, top + GetRowHeight()};
    return TRUE;
}

int CListCtrl::SubItemHitTest(POINT point, int* subItem) const
{
    if (subItem)
        *subItem = -1;
    if (point.y < GetHeaderHeight())
        return -1;
    const int row = m_top + static_cast<int>(point.y - GetHeaderHeight()) / GetRowHeight();
    if (row < 0 || row >= GetItemCount())
        return -1;
    int left = -m_scrollX;
    for (int c = 0; c < GetColumnCount(); ++c)
    {
        const int right = left + m_columns[static_cast<size_t>(c)].cx;
        if (point.x >= left && point.x < right)
        {
            if (subItem)
                *subItem = c;
            return row;
        }
        left = right;
    }
    return -1;
}

int CListCtrl::HeaderHitTest(POINT point) const
{
    if (point.y < 0 || point.y >= GetHeaderHeight())
        return -1;
    int left = -m_scrollX;
    for (int c = 0; c < GetColumnCount(); ++c)
    {
        const int right = left + m_columns[static_cast<size_t>(c)].cx;
        if (point.x >= left && point.x < right)
            return c;
        left = right;
    }
    return -1;
}

void CListCtrl::SetRedraw(BOOL redraw)
{
    m_redraw = redraw != FALSE;
    Redraw();
}

void CListCtrl::Redraw()
{
    if (!m_redraw)
        return;
    UpdateScrollBar();
    if (GetSafeHwnd())
        Invalidate(FALSE);
}

void CListCtrl::DrawItem(DRAWITEMSTRUCT* drawItem)
{
    const bool selected = (drawItem->itemState & ODS_SELECTED) != 0;
    CDC& dc = *drawItem->pDC;
    dc.SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    for (int c = 0; c < GetColumnCount(); ++c)
    {
        RECT cell;
        GetSubItemRect(static_cast<int>(drawItem->itemID), c, &cell);
        dc.FillSolidRect(cell, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        cell.left += 4;
        dc.DrawText(GetItemText(static_cast<int>(drawItem->itemID), c), &cell, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

void CListCtrl::OnPaint()
{
    CPaintDC dc(this);
    RECT client;
    GetClientRect(&client);
    dc.FillSolidRect(client, GetSysColor(COLOR_WINDOW));
    dc.SelectObject(GetFont());
    dc.SetBkMode(1 /* TRANSPARENT */);
    // The header row.
    int left = -m_scrollX;
    for (const LVCOLUMNA& column : m_columns)
    {
        RECT cell{left, 0, left + column.cx, GetHeaderHeight()};
        dc.FillSolidRect(cell, GetSysColor(COLOR_BTNFACE));
        dc.FillSolidRect(RECT{cell.right - 1, 0, cell.right, cell.bottom}, RGB(160, 160, 160));
        RECT text{cell.left + 4, cell.top, cell.right - 4, cell.bottom};
        const UINT align = column.fmt == LVCFMT_RIGHT ? DT_RIGHT : column.fmt == LVCFMT_CENTER ? DT_CENTER : DT_LEFT;
        dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        dc.DrawText(column.text, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | align);
        left += column.cx;
    }
    const int last = std::min(GetItemCount(), m_top + GetCountPerPage() + 1);
    const bool focused = GetFocus() == this;
    for (int item = m_top; item < last; ++item)
    {
        DRAWITEMSTRUCT drawItem{};
        drawItem.itemID = static_cast<UINT>(item);
        const UINT state = m_items[static_cast<size_t>(item)].state;
        drawItem.itemState = ((state & LVIS_SELECTED) ? ODS_SELECTED : 0) |
                             ((state & LVIS_FOCUSED) && focused ? ODS_FOCUS : 0) | (IsWindowEnabled() ? 0 : ODS_DISABLED);
        const int top = GetHeaderHeight() + (item - m_top) * GetRowHeight();
        drawItem.rcItem = RECT{-m_scrollX, top, client.right, top + GetRowHeight()};
        drawItem.pDC = &dc;
        drawItem.itemData = m_items[static_cast<size_t>(item)].data;
        DrawItem(&drawItem);
        if (m_exStyle & LVS_EX_GRIDLINES)
            dc.FillSolidRect(RECT{0, top + GetRowHeight() - 1, client.right, top + GetRowHeight()}, RGB(192, 192, 192));
    }
    // Grid lines also part the columns, over the rows that exist.
    if ((m_exStyle & LVS_EX_GRIDLINES) && last > m_top)
    {
        const int bottom = GetHeaderHeight() + (last - m_top) * GetRowHeight();
        int right = -m_scrollX;
        for (const LVCOLUMNA& column : m_columns)
        {
            right += column.cx;
            dc.FillSolidRect(RECT{right - 1, GetHeaderHeight(), right, bottom}, RGB(192, 192, 192));
        }
    }
}

void CListCtrl::FocusAndSelect(int item, bool extend)
{
    if (item < 0 || item >= GetItemCount())
        return;
    if (extend && m_selectionMark >= 0 && !(m_style & LVS_SINGLESEL))
    {
        const int low = std::min(item, m_selectionMark);
        const int high = std::max(item, m_selectionMark);
        for (int i = 0; i < GetItemCount(); ++i)
            SetItemState(i, (i >= low && i <= high) ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    else
    {
        for (int i = 0; i < GetItemCount(); ++i)
            if (i != item && GetItemState(i, LVIS_SELECTED))
                SetItemState(i, 0, LVIS_SELECTED);
        SetItemState(item, LVIS_SELECTED, LVIS_SELECTED);
        m_selectionMark = item;
    }
    SetItemState(item, LVIS_FOCUSED, LVIS_FOCUSED);
    EnsureVisible(item);
}

void CListCtrl::OnLButtonDown(UINT flags, CPoint point)
{
    SetFocus();
    const int column = HeaderHitTest(point);
    if (column >= 0)
    {
        OnColumnClick(column);
        return;
    }
    const int item = SubItemHitTest(point, nullptr);
    if (item < 0)
        return;
    if ((flags & MK_CONTROL) && !(m_style & LVS_SINGLESEL))
    {
        SetItemState(item, GetItemState(item, LVIS_SELECTED) ^ LVIS_SELECTED, LVIS_SELECTED);
        SetItemState(item, LVIS_FOCUSED, LVIS_FOCUSED);
        m_selectionMark = item;
    }
    else
        FocusAndSelect(item, (flags & MK_SHIFT) != 0);
}

void CListCtrl::OnKeyDown(UINT virtualKey, UINT, UINT)
{
    int focused = -1;
    for (int i = 0; i < GetItemCount(); ++i)
        if (GetItemState(i, LVIS_FOCUSED))
        {
            focused = i;
            break;
        }
    const int page = std::max(GetCountPerPage(), 1);
    int target = -1;
    switch (virtualKey)
    {
    case VK_UP: target = std::max(focused - 1, 0); break;
    case VK_DOWN: target = std::min(focused + 1, GetItemCount() - 1); break;
    case VK_PRIOR: target = std::max(focused - page, 0); break;
    case VK_NEXT: target = std::min(focused + page, GetItemCount() - 1); break;
    case VK_HOME: target = 0; break;
    case VK_END: target = GetItemCount() - 1; break;
    default: return;
    }
    FocusAndSelect(target, GetKeyState(VK_SHIFT) < 0);
}

BOOL CListCtrl::OnMouseWheel(UINT, short delta, CPoint)
{
    Scroll(CSize(0, delta > 0 ? -3 : 3));
    return TRUE;
}

void CListCtrl::OnSize(UINT, int, int)
{
    m_top = ClampTop(m_top);
    Redraw();
}

void CListCtrl::OnSetFocus(CWnd*) { Redraw(); }
void CListCtrl::OnKillFocus(CWnd*) { Redraw(); }

void CListCtrl::OnColumnClick(int column)
{
    if (CWnd* parent = GetParent())
    {
        NMLISTVIEW record{{GetSafeHwnd(), GetDlgCtrlID(), LVN_COLUMNCLICK}, -1, column};
        parent->SendMessage(WM_NOTIFY, GetDlgCtrlID(), reinterpret_cast<LPARAM>(&record));
    }
}

void CListCtrl::OnVScroll() {}
BOOL CListCtrl::OnListChar(UINT) { return FALSE; }
bool CListCtrl::WantsKey(UINT, UINT) const { return false; }
