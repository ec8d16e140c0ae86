#include "platform/Controls.h"
#include "platform/ListCtrl.h"

#include "platform/Controls_p.h"
#include "platform/Gdi.h"
#include "platform/Gdi_p.h"
#include "platform/TextCodec_p.h"
#include "platform/Wnd_p.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace
{
QString FromBytes(const char* text) { return PlatformDetail::TextFromBytes(text); }

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

COLORREF ToColorRef(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

// Keeps the window text (the CWnd's title) and the control's text in step, both ways.
class CTextBridge final : public QObject
{
public:
    CTextBridge(QWidget* window, std::function<void(const QString&)> setText)
        : QObject(window), m_window(window), m_setText(std::move(setText))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::WindowTitleChange && !m_syncing && m_setText)
        {
            m_syncing = true;
            m_setText(m_window->windowTitle());
            m_syncing = false;
        }
        return false;
    }

    void FromControl(const QString& text)
    {
        if (m_syncing || m_window->windowTitle() == text)
            return;
        m_syncing = true;
        m_window->setWindowTitle(text);
        m_syncing = false;
    }

private:
    QWidget* m_window;
    std::function<void(const QString&)> m_setText;
    bool m_syncing = false;
};

// A static's text marks its mnemonic with '&' ("&&" is one ampersand); the label shows neither.
QString WithoutMnemonics(const QString& text)
{
    QString shown;
    for (int i = 0; i < text.size(); ++i)
    {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

CTextBridge* BridgeOf(CWnd& window)
{
    QWidget* widget = window.GetImpl()->widget;
    if (!widget)
        return nullptr;
    for (QObject* child : widget->children())
        if (auto* bridge = dynamic_cast<CTextBridge*>(child))
            return bridge;
    return nullptr;
}

void NotifyParent(CWnd& control, UINT code)
{
    if (CWnd* parent = control.GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(control.GetDlgCtrlID(), code),
                            reinterpret_cast<LPARAM>(control.GetSafeHwnd()));
}

BOOL CreateChild(CWnd& window, const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!window.CreateEx(0, text, (style & ~WS_POPUP) | WS_CHILD, rect, parent, id))
        return FALSE;
    if (style & WS_DISABLED)
        window.EnableWindow(FALSE);
    return TRUE;
}
}

namespace PlatformDetail
{
void AttachContent(CWnd& window, QWidget* content, std::function<void(const QString&)> setText)
{
    QWidget* widget = window.GetImpl()->widget;
    content->setParent(widget);
    // The window's own back buffer lies under the control; the control covers it with the face colour.
    content->setAutoFillBackground(true);
    content->setGeometry(widget->rect());
    content->show();
    window.GetImpl()->content = content;
    widget->setFocusProxy(content);
    auto* bridge = new CTextBridge(widget, std::move(setText));
    if (!widget->windowTitle().isEmpty())
        bridge->eventFilter(widget, std::make_unique<QEvent>(QEvent::WindowTitleChange).get());
}

void SyncWindowText(CWnd& window, const QString& text)
{
    if (CTextBridge* bridge = BridgeOf(window))
        bridge->FromControl(text);
}
}

COLORREF GetSysColor(int index)
{
    const QPalette palette = QApplication::instance() ? QApplication::palette() : QPalette();
    switch (index)
    {
    case COLOR_WINDOW: return ToColorRef(palette.color(QPalette::Base));
    case COLOR_WINDOWTEXT: return ToColorRef(palette.color(QPalette::Text));
    case COLOR_HIGHLIGHT: return ToColorRef(palette.color(QPalette::Highlight));
    case COLOR_HIGHLIGHTTEXT: return ToColorRef(palette.color(QPalette::HighlightedText));
    case COLOR_BTNFACE: return ToColorRef(palette.color(QPalette::Window));
    case COLOR_INFOTEXT: return ToColorRef(palette.color(QPalette::ToolTipText));
    case COLOR_INFOBK: return ToColorRef(palette.color(QPalette::ToolTipBase));
    default: return RGB(0, 0, 0);
    }
}

void MakeTipWindow(CWnd& window, COLORREF background)
{
    QWidget* widget = window.GetImpl()->widget;
    if (!widget)
        return;
    const bool visible = widget->isVisible();
    widget->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowStaysOnTopHint);
    widget->setAttribute(Qt::WA_ShowWithoutActivating);
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    widget->setFocusPolicy(Qt::NoFocus);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ToQColor(background));
    widget->setPalette(palette);
    if (visible)
        widget->show();
}

// ---- CButton ----

struct CButton::Data
{
    QPointer<QAbstractButton> button;
};

CButton::CButton() : m(std::make_unique<Data>()) {}
CButton::~CButton() = default;

BOOL CButton::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CreateChild(*this, text, style, rect, parent, id))
        return FALSE;
    const DWORD type = style & BS_TYPEMASK;
    if (type == BS_GROUPBOX)
    {
        auto* box = new QGroupBox;
        box->setFocusPolicy(Qt::NoFocus);
        PlatformDetail::AttachContent(*this, box, [box](const QString& t) { box->setTitle(t); });
        // A group box lies under the controls it frames and takes no clicks.
        GetImpl()->widget->lower();
        GetImpl()->widget->setAttribute(Qt::WA_TransparentForMouseEvents);
        return TRUE;
    }
    QAbstractButton* button;
    if (type == BS_AUTOCHECKBOX)
        button = new QCheckBox;
    else
    {
        auto* push = new QPushButton;
        push->setDefault(type == BS_DEFPUSHBUTTON);
        push->setAutoDefault(false);
        button = push;
    }
    m->button = button;
    PlatformDetail::AttachContent(*this, button, [button](const QString& t) { button->setText(t); });
    QObject::connect(button, &QAbstractButton::clicked, button, [this] { NotifyParent(*this, BN_CLICKED); });
    return TRUE;
}

int CButton::GetCheck() const { return m->button && m->button->isChecked() ? 1 : 0; }

void CButton::SetCheck(int check)
{
    if (m->button && m->button->isCheckable())
        m->button->setChecked(check != 0);
}

void CButton::Click()
{
    if (m->button && m->button->isEnabled())
        m->button->click();
}

// ---- CStatic ----

CStatic::CStatic() = default;
CStatic::~CStatic() = default;

BOOL CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CreateChild(*this, text, style, rect, parent, id))
        return FALSE;
    auto* label = new QLabel;
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFocusPolicy(Qt::NoFocus);
    label->setTextFormat(Qt::PlainText);
    PlatformDetail::AttachContent(*this, label, [label](const QString& t) { label->setText(WithoutMnemonics(t)); });
    GetImpl()->widget->setFocusPolicy(Qt::NoFocus);
    if ((style & 0x1F) == SS_ICON)
        SetApplicationIcon();
    return TRUE;
}

void CStatic::SetApplicationIcon()
{
    auto* label = qobject_cast<QLabel*>(GetImpl()->content.data());
    if (!label)
        return;
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    label->setPixmap(icon.pixmap(32, 32));
}

bool CStatic::HasIcon() const
{
    auto* label = qobject_cast<QLabel*>(GetImpl()->content.data());
    return label && !label->pixmap().isNull();
}

// ---- CComboBox ----

namespace
{
QComboBox* ComboOf(const CWnd& window) { return qobject_cast<QComboBox*>(window.GetImpl()->content.data()); }
}

struct CComboEvents final : public QObject
{
    explicit CComboEvents(CComboBox* combo) : m_combo(combo) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const UINT vk = VirtualKeyFromQt(key->key(), key->modifiers());
        const UINT message = (key->modifiers() & Qt::AltModifier) ? 0x0104u /* WM_SYSKEYDOWN */ : WM_KEYDOWN;
        return m_combo->PreTranslateKey(message, vk) != FALSE;
    }
    void SelEndOk() { m_combo->OnSelEndOk(); }
    CComboBox* m_combo;
};

CComboBox::CComboBox() = default;
CComboBox::~CComboBox() = default;

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CreateChild(*this, "", style, rect, parent, id))
        return FALSE;
    auto* combo = new QComboBox;
    combo->setEditable(false);
    PlatformDetail::AttachContent(*this, combo, [combo](const QString& t) {
        const int index = combo->findText(t, Qt::MatchExactly);
        combo->setCurrentIndex(index);
    });
    QObject::connect(combo, &QComboBox::currentTextChanged, combo,
                     [this](const QString& t) { PlatformDetail::SyncWindowText(*this, t); });
    auto* events = new CComboEvents(this);
    events->setParent(combo);
    combo->installEventFilter(events);
    QObject::connect(combo, qOverload<int>(&QComboBox::activated), combo, [this, events](int) {
        events->SelEndOk();
        NotifyParent(*this, CBN_SELCHANGE);
    });
    return TRUE;
}

BOOL CComboBox::GetDroppedState() const
{
    QComboBox* combo = ComboOf(*this);
    return combo && combo->view() && combo->view()->isVisible();
}

void CComboBox::ShowDropDown(BOOL show)
{
    if (QComboBox* combo = ComboOf(*this))
    {
        if (show)
            combo->showPopup();
        else
            combo->hidePopup();
    }
}

BOOL CComboBox::PreTranslateKey(UINT, UINT) { return FALSE; }
void CComboBox::OnSelEndOk() {}

void CComboBox::ResetContent()
{
    if (QComboBox* combo = ComboOf(*this))
        combo->clear();
}

int CComboBox::AddString(const char* text)
{
    QComboBox* combo = ComboOf(*this);
    if (!combo)
        return CB_ERR;
    combo->addItem(FromBytes(text));
    // A drop-down list starts with no selection, as Windows' does.
    if (combo->count() == 1)
        combo->setCurrentIndex(-1);
    return combo->count() - 1;
}

int CComboBox::GetCount() const
{
    QComboBox* combo = ComboOf(*this);
    return combo ? combo->count() : CB_ERR;
}

int CComboBox::GetCurSel() const
{
    QComboBox* combo = ComboOf(*this);
    return combo ? combo->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int index)
{
    QComboBox* combo = ComboOf(*this);
    if (!combo)
        return CB_ERR;
    if (index < 0 || index >= combo->count())
    {
        combo->setCurrentIndex(-1);
        return CB_ERR;
    }
    combo->setCurrentIndex(index);
    return index;
}

std::string CComboBox::GetLBText(int index) const
{
    QComboBox* combo = ComboOf(*this);
    if (!combo || index < 0 || index >= combo->count())
        return std::string();
    return PlatformDetail::TextToBytes(combo->itemText(index));
}

int CComboBox::FindStringExact(int startAfter, const char* text) const
{
    QComboBox* combo = ComboOf(*this);
    if (!combo)
        return CB_ERR;
    const QString wanted = FromBytes(text);
    for (int i = std::max(startAfter + 1, 0); i < combo->count(); ++i)
        if (combo->itemText(i).compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    return CB_ERR;
}

LRESULT CComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case CB_RESETCONTENT: ResetContent(); return 0;
    case CB_ADDSTRING: return AddString(reinterpret_cast<const char*>(lParam));
    case CB_GETCOUNT: return GetCount();
    case CB_GETCURSEL: return GetCurSel();
    case CB_SETCURSEL: return SetCurSel(static_cast<int>(static_cast<intptr_t>(wParam)));
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

// ---- CProgressCtrl ----

namespace
{
QProgressBar* BarOf(const CWnd& window) { return qobject_cast<QProgressBar*>(window.GetImpl()->content.data()); }
}

CProgressCtrl::CProgressCtrl() = default;
CProgressCtrl::~CProgressCtrl() = default;

BOOL CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CreateChild(*this, "", style, rect, parent, id))
        return FALSE;
    auto* bar = new QProgressBar;
    bar->setRange(0, 100);
    bar->setProperty("lower", 0);
    bar->setProperty("upper", 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setFocusPolicy(Qt::NoFocus);
    PlatformDetail::AttachContent(*this, bar, nullptr);
    GetImpl()->widget->setFocusPolicy(Qt::NoFocus);
    return TRUE;
}

void CProgressCtrl::SetRange32(int lower, int upper)
{
    QProgressBar* bar = BarOf(*this);
    if (!bar)
        return;
    bar->setProperty("lower", lower);
    bar->setProperty("upper", upper);
    // An empty range shows an empty bar, as Windows' does; Qt would show a busy animation.
    bar->setRange(lower, std::max(lower + 1, upper));
    if (upper <= lower)
        bar->setValue(lower);
}

void CProgressCtrl::GetRange(int& lower, int& upper) const
{
    QProgressBar* bar = BarOf(*this);
    lower = bar ? bar->property("lower").toInt() : 0;
    upper = bar ? bar->property("upper").toInt() : 0;
}

int CProgressCtrl::SetPos(int position)
{
    QProgressBar* bar = BarOf(*this);
    if (!bar)
        return 0;
    const int old = bar->value();
    bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
    return old;
}

int CProgressCtrl::GetPos() const
{
    QProgressBar* bar = BarOf(*this);
    return bar ? bar->value() : 0;
}

// ---- CEdit ----

struct CEditEvents final : public QObject
{
    explicit CEditEvents(CEdit* edit) : m_edit(edit) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride && m_takesAll)
        {
            event->accept();
            return false;
        }
        if (event->type() == QEvent::KeyRelease)
        {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->isAutoRepeat())
                return false;
            return m_edit->PreTranslateKeyUp(VirtualKeyFromQt(key->key(), key->modifiers())) != FALSE;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const UINT vk = VirtualKeyFromQt(key->key(), key->modifiers());
        const UINT message = (key->modifiers() & Qt::AltModifier) ? 0x0104u /* WM_SYSKEYDOWN */ : WM_KEYDOWN;
        m_repeat = key->isAutoRepeat();
        const BOOL eaten = m_edit->PreTranslateKey(message, vk);
        m_repeat = false;
        return eaten != FALSE;
    }
    void Update() { m_edit->OnEditUpdate(); }
    void Change() { m_edit->OnEditChange(); }
    CEdit* m_edit;
    bool m_takesAll = false;
    bool m_repeat = false;
};

struct CEdit::Data
{
    QPointer<QLineEdit> line;
    CEditEvents* events = nullptr;
};

CEdit::CEdit() : m(std::make_unique<Data>()) {}
CEdit::~CEdit() = default;

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    m_style = style;
    const bool popup = (style & WS_POPUP) != 0;
    // The edit draws its own thin border; the window itself has no frame.
    const BOOL created = popup ? CreateEx(0, "", style & ~(WS_VISIBLE | WS_BORDER), rect, parent, id)
                               : CreateChild(*this, "", style & ~WS_VISIBLE, rect, parent, id);
    if (!created)
        return FALSE;
    auto* line = new QLineEdit;
    line->setFrame(false);
    line->setFont(QFontFromLogFont(GetDefaultGuiFont()->Log()));
    if (style & WS_BORDER)
        line->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid palette(dark); }"));
    if (style & ES_RIGHT)
        line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    else if (style & ES_CENTER)
        line->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    line->setReadOnly((style & ES_READONLY) != 0);
    m->line = line;
    m->events = new CEditEvents(this);
    m->events->setParent(line);
    line->installEventFilter(m->events);
    PlatformDetail::AttachContent(*this, line, [line](const QString& t) {
        if (line->text() != t)
            line->setText(t);
    });
    QObject::connect(line, &QLineEdit::textChanged, line, [this, events = m->events](const QString& t) {
        PlatformDetail::SyncWindowText(*this, t);
        events->Update();
        events->Change();
    });
    if (style & WS_VISIBLE)
    {
        ShowWindow(SW_SHOW);
        if (popup)
        {
            // A popup edit is active and has the keyboard at once, as Windows makes a new
            // active window; the window system confirms the activation later.
            SetActiveWindow();
            QApplication::setActiveWindow(GetImpl()->widget);
            line->setFocus(Qt::ActiveWindowFocusReason);
        }
    }
    return TRUE;
}

void CEdit::SetSel(int start, int end, BOOL)
{
    QLineEdit* line = m->line;
    if (!line)
        return;
    const int length = static_cast<int>(line->text().size());
    if (start < 0)
    {
        line->deselect();
        return;
    }
    start = std::min(start, length);
    end = (end < 0 || end > length) ? length : end;
    if (end < start)
        std::swap(start, end);
    line->setSelection(start, end - start);
}

void CEdit::GetSel(int& start, int& end) const
{
    QLineEdit* line = m->line;
    start = end = 0;
    if (!line)
        return;
    if (line->hasSelectedText())
    {
        start = line->selectionStart();
        end = line->selectionEnd();
    }
    else
        start = end = line->cursorPosition();
}

DWORD CEdit::GetMargins() const
{
    QLineEdit* line = m->line;
    if (!line)
        return 0;
    // Qt keeps a fixed inner margin of 2 on each side plus the border.
    const QMargins margins = line->textMargins();
    const int left = margins.left() + 2 + ((m_style & WS_BORDER) ? 1 : 0);
    const int right = margins.right() + 2 + ((m_style & WS_BORDER) ? 1 : 0);
    return static_cast<DWORD>((left & 0xFFFF) | ((right & 0xFFFF) << 16));
}

BOOL CEdit::SetReadOnly(BOOL readOnly)
{
    return SendMessage(EM_SETREADONLY, readOnly ? 1 : 0) != 0;
}

LRESULT CEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != EM_SETREADONLY)
        return CWnd::WindowProc(message, wParam, lParam);
    m_style = wParam ? (m_style | ES_READONLY) : (m_style & ~ES_READONLY);
    if (m->line)
        m->line->setReadOnly(wParam != 0);
    return TRUE;
}

void CEdit::SetMargins(UINT left, UINT right)
{
    if (QLineEdit* line = m->line)
    {
        const QMargins margins = line->textMargins();
        line->setTextMargins(static_cast<int>(left), margins.top(), static_cast<int>(right), margins.bottom());
    }
}

void CEdit::SetFont(const CFont* font)
{
    if (m->line)
        m->line->setFont(QFontFromLogFont(font && !font->IsNull() ? font->Log() : GetDefaultGuiFont()->Log()));
}

CSize CEdit::GetTextExtent(const std::string& text) const
{
    const QFont font = m->line ? m->line->font() : QFontFromLogFont(GetDefaultGuiFont()->Log());
    const QFontMetrics metrics(font);
    return CSize(metrics.horizontalAdvance(PlatformDetail::TextFromBytes(text)),
                 metrics.height());
}

void CEdit::SetTakesAllKeys(bool takesAll)
{
    if (m->events)
        m->events->m_takesAll = takesAll;
}

BOOL CEdit::PreTranslateKey(UINT, UINT) { return FALSE; }
BOOL CEdit::PreTranslateKeyUp(UINT) { return FALSE; }
bool CEdit::IsRepeatedKey() const { return m->events && m->events->m_repeat; }
void CEdit::OnEditUpdate() {}
void CEdit::OnEditChange() {}
