#include "platform/RichEdit.h"

#include "platform/TextCodec_p.h"
#include "platform/Wnd_p.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

struct CRichEditCtrl::Data
{
    QPointer<QPlainTextEdit> edit;
    long selStart = 0;
    long selEnd = 0;
};

CRichEditCtrl::CRichEditCtrl() : m(std::make_unique<Data>()) {}
CRichEditCtrl::~CRichEditCtrl() = default;

BOOL CRichEditCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CreateEx(0, "", style | WS_CHILD, rect, parent, id))
        return FALSE;
    auto* edit = new QPlainTextEdit(GetImpl()->widget);
    edit->setReadOnly(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setGeometry(GetImpl()->widget->rect());
    edit->show();
    GetImpl()->content = edit;
    m->edit = edit;
    return TRUE;
}

void CRichEditCtrl::SetFixedFont(int height)
{
    if (!m->edit)
        return;
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamily(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(std::max(height, 1));
    m->edit->setFont(font);
}

void CRichEditCtrl::SetSel(long start, long end)
{
    const long length = m->edit ? static_cast<long>(m->edit->document()->characterCount() - 1) : 0;
    if (start < 0)
        start = end = length;
    m->selStart = std::clamp(start, 0L, length);
    m->selEnd = std::clamp(end < 0 ? length : end, m->selStart, length);
}

void CRichEditCtrl::ReplaceSel(const char* text)
{
    if (!m->edit)
        return;
    QString str = PlatformDetail::TextFromBytes(text);
    str.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor cursor(m->edit->document());
    cursor.setPosition(static_cast<int>(m->selStart));
    cursor.setPosition(static_cast<int>(m->selEnd), QTextCursor::KeepAnchor);
    cursor.insertText(str);
    m->selStart = m->selEnd = cursor.position();
}

int CRichEditCtrl::GetLineCount() const
{
    return m->edit ? m->edit->document()->blockCount() : 0;
}

long CRichEditCtrl::LineIndex(int line) const
{
    if (!m->edit)
        return -1;
    const QTextBlock block = m->edit->document()->findBlockByNumber(line);
    return block.isValid() ? block.position() : -1;
}

int CRichEditCtrl::GetFirstVisibleLine() const
{
    return m->edit ? m->edit->verticalScrollBar()->value() : 0;
}

void CRichEditCtrl::LineScroll(int lines)
{
    if (m->edit)
        m->edit->verticalScrollBar()->setValue(m->edit->verticalScrollBar()->value() + lines);
}

void CRichEditCtrl::SetRedraw(BOOL redraw)
{
    if (m->edit)
        m->edit->setUpdatesEnabled(redraw != FALSE);
}

std::string CRichEditCtrl::GetText() const
{
    return m->edit ? PlatformDetail::TextToBytes(m->edit->toPlainText()) : std::string();
}
