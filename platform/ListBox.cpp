#include "platform/ListBox.h"

#include "platform/Controls_p.h"
#include "platform/DialogUnits.h"
#include "platform/Gdi_p.h"
#include "platform/TextCodec_p.h"
#include "platform/Wnd_p.h"

#include <QListWidget>

struct CListBox::Impl
{
    QPointer<QListWidget> list;
    std::vector<std::string> texts;   // as given, tabs included
    int tabStop = 32;                 // dialog units, Windows' default
};

namespace
{
QString Display(const std::string& text, int tabStop)
{
    // Tabs show as the run of spaces that reaches the next stop (about four dialog units each).
    const int spaces = std::max(1, tabStop / 4);
    QString shown;
    for (QChar c : PlatformDetail::TextFromBytes(text))
    {
        if (c == QLatin1Char('\t'))
            shown += QString(spaces - (shown.size() % spaces), QLatin1Char(' '));
        else
            shown += c;
    }
    return shown;
}
}

CListBox::CListBox() : m(std::make_unique<Impl>()) {}

CListBox::~CListBox() = default;

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CreateEx(0, "", (style & ~WS_VISIBLE) | WS_CHILD, rect, parent, id))
        return FALSE;
    auto* list = new QListWidget;
    list->setFont(QFontFromLogFont(GetDefaultGuiFont()->Log()));
    list->setSelectionMode((style & LBS_EXTENDEDSEL) ? QAbstractItemView::ExtendedSelection
                                                     : QAbstractItemView::SingleSelection);
    m->list = list;
    PlatformDetail::AttachContent(*this, list, [](const QString&) {});
    if (style & LBS_NOTIFY)
    {
        QObject::connect(list, &QListWidget::itemSelectionChanged, list, [this] {
            if (CWnd* parent = GetParent())
                parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), LBN_SELCHANGE),
                                    reinterpret_cast<LPARAM>(GetSafeHwnd()));
        });
        QObject::connect(list, &QListWidget::itemDoubleClicked, list, [this](QListWidgetItem*) {
            if (CWnd* parent = GetParent())
                parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), LBN_DBLCLK),
                                    reinterpret_cast<LPARAM>(GetSafeHwnd()));
        });
    }
    if (style & WS_VISIBLE)
        ShowWindow(SW_SHOW);
    return TRUE;
}

int CListBox::AddString(const char* text)
{
    if (!m->list)
        return LB_ERR;
    m->texts.push_back(text ? text : "");
    m->list->addItem(Display(m->texts.back(), m->tabStop));
    return static_cast<int>(m->texts.size()) - 1;
}

void CListBox::ResetContent()
{
    m->texts.clear();
    if (m->list)
        m->list->clear();
}

int CListBox::GetCount() const
{
    return static_cast<int>(m->texts.size());
}

int CListBox::GetText(int index, std::string& text) const
{
    if (index < 0 || index >= GetCount())
        return LB_ERR;
    text = m->texts[static_cast<size_t>(index)];
    return static_cast<int>(text.size());
}

int CListBox::SetSel(int index, BOOL select)
{
    if (!m->list || index < -1 || index >= GetCount())
        return LB_ERR;
    const QSignalBlocker quiet(m->list);
    if (index == -1)
    {
        for (int i = 0; i < GetCount(); ++i)
            m->list->item(i)->setSelected(select != FALSE);
        return 0;
    }
    m->list->item(index)->setSelected(select != FALSE);
    return 0;
}

int CListBox::GetSel(int index) const
{
    if (!m->list || index < 0 || index >= GetCount())
        return LB_ERR;
    return m->list->item(index)->isSelected() ? 1 : 0;
}

int CListBox::GetSelCount() const
{
    return static_cast<int>(GetSelItems().size());
}

std::vector<int> CListBox::GetSelItems() const
{
    std::vector<int> selected;
    for (int i = 0; m->list && i < GetCount(); ++i)
        if (m->list->item(i)->isSelected())
            selected.push_back(i);
    return selected;
}

int CListBox::SetCurSel(int index)
{
    if (!m->list || index < -1 || index >= GetCount())
        return LB_ERR;
    const QSignalBlocker quiet(m->list);
    m->list->clearSelection();
    if (index >= 0)
    {
        m->list->item(index)->setSelected(true);
        m->list->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    }
    return index;
}

int CListBox::GetCurSel() const
{
    const std::vector<int> selected = GetSelItems();
    return selected.empty() ? LB_ERR : selected.front();
}

int CListBox::GetCaretIndex() const
{
    return m->list ? m->list->currentRow() : LB_ERR;
}

int CListBox::SetCaretIndex(int index)
{
    if (!m->list || index < 0 || index >= GetCount())
        return LB_ERR;
    const QSignalBlocker quiet(m->list);
    m->list->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    return 0;
}

BOOL CListBox::SetTabStops(int dialogUnits)
{
    m->tabStop = std::max(dialogUnits, 4);
    for (int i = 0; m->list && i < GetCount(); ++i)
        m->list->item(i)->setText(Display(m->texts[static_cast<size_t>(i)], m->tabStop));
    return TRUE;
}

void CListBox::SetRedraw(BOOL redraw)
{
    if (m->list)
        m->list->setUpdatesEnabled(redraw != FALSE);
}
