#include "platform/Dialog.h"

#include "platform/Controls.h"
#include "platform/Gdi.h"
#include "platform/WinApp.h"
#include "platform/Wnd_p.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <map>

namespace
{
std::map<UINT, CDialogTemplate>& Templates()
{
    static std::map<UINT, CDialogTemplate> templates;
    return templates;
}
}

void RegisterDialogTemplate(UINT templateId, const CDialogTemplate& dialogTemplate)
{
    Templates()[templateId] = dialogTemplate;
}

bool HasDialogTemplate(UINT templateId) { return Templates().count(templateId) != 0; }

const CDialogTemplate* FindDialogTemplate(UINT templateId)
{
    const auto it = Templates().find(templateId);
    return it == Templates().end() ? nullptr : &it->second;
}

// ---- CModalLoop ----

struct CModalLoop::Impl
{
    QPointer<QEventLoop> loop;
    bool ended = false;
    int result = 0;
};

namespace
{
std::vector<CModalLoop*>& RunningLoops()
{
    static std::vector<CModalLoop*> loops;
    return loops;
}
}

CModalLoop::CModalLoop() : d(std::make_unique<Impl>()) {}

CModalLoop::~CModalLoop()
{
    if (d->loop)
        d->loop->exit(d->result);
}

int CModalLoop::Run()
{
    if (d->ended || !QCoreApplication::instance())
        return d->result;
    QEventLoop loop;
    d->loop = &loop;
    RunningLoops().push_back(this);
    loop.exec(QEventLoop::DialogExec);
    auto& loops = RunningLoops();
    loops.erase(std::remove(loops.begin(), loops.end(), this), loops.end());
    d->loop = nullptr;
    return d->result;
}

void CModalLoop::End(int result)
{
    if (d->ended)
        return;
    d->ended = true;
    d->result = result;
    if (d->loop)
        d->loop->exit(result);
}

bool CModalLoop::IsRunning() const { return d->loop && !d->ended; }

int CModalLoop::EndAll(int result)
{
    int ended = 0;
    const std::vector<CModalLoop*> loops = RunningLoops();
    for (auto it = loops.rbegin(); it != loops.rend(); ++it)
        if ((*it)->IsRunning())
        {
            (*it)->End(result);
            ++ended;
        }
    return ended;
}

// ---- CDialog ----

// Enter and Escape anywhere in the dialog: the dialog's own keys, as IsDialogMessage gives them.
struct CDialogKeys final : public QObject
{
    explicit CDialogKeys(CDialog* dialog) : m_dialog(dialog) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        if (key->key() == Qt::Key_Escape)
        {
            m_dialog->HandleDialogKey(VK_ESCAPE);
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        {
            // A focused push button takes Enter as its click.
            if (qobject_cast<QPushButton*>(watched))
                return false;
            m_dialog->HandleDialogKey(VK_RETURN);
            return true;
        }
        return false;
    }
    CDialog* m_dialog;
};

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog()
{
    if (m_loop)
        m_loop->End(IDCANCEL);
    if (GetSafeHwnd())
        DestroyWindow();
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    auto it = Templates().find(templateId);
    if (it == Templates().end() || GetSafeHwnd())
        return FALSE;
    m_templateId = templateId;
    m_parent = parent;
    // A dialog shown again before its last window was deleted: that window must no longer reach
    // this object when it goes, or it would take the new window's place.
    if (CWndWidget* old = GetImpl()->widget)
    {
        old->Detach();
        GetImpl()->widget = nullptr;
    }
    const CDialogTemplate& t = it->second;
    if (!CreateEx(0, t.caption.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, CRect(0, 0, t.width, t.height), parent))
        return FALSE;
    CreateControls(t);
    CenterWindow();
    OnInitDialog();
    return TRUE;
}

std::unique_ptr<CWnd> CreateDialogControl(const CDialogItemTemplate& item, CWnd* parent)
{
    std::unique_ptr<CWnd> control;
    BOOL ok = FALSE;
    switch (item.kind)
    {
    case EDialogControl::Button:
    {
        auto button = std::make_unique<CButton>();
        ok = button->Create(item.text.c_str(), item.style, item.rect, parent, item.id);
        control = std::move(button);
        break;
    }
    case EDialogControl::Static:
    {
        auto label = std::make_unique<CStatic>();
        ok = label->Create(item.text.c_str(), item.style, item.rect, parent, item.id);
        control = std::move(label);
        break;
    }
    case EDialogControl::Edit:
    {
        auto edit = std::make_unique<CEdit>();
        ok = edit->Create(item.style, item.rect, parent, item.id);
        if (ok)
            edit->SetWindowText(item.text.c_str());
        control = std::move(edit);
        break;
    }
    case EDialogControl::ComboBox:
    {
        auto combo = std::make_unique<CComboBox>();
        ok = combo->Create(item.style, item.rect, parent, item.id);
        control = std::move(combo);
        break;
    }
    case EDialogControl::Progress:
    {
        auto bar = std::make_unique<CProgressCtrl>();
        ok = bar->Create(item.style, item.rect, parent, item.id);
        control = std::move(bar);
        break;
    }
    }
    return ok ? std::move(control) : nullptr;
}

void CDialog::CreateControls(const CDialogTemplate& t)
{
    m_controls.clear();
    auto* keys = new CDialogKeys(this);
    keys->setParent(GetImpl()->widget);
    GetImpl()->widget->installEventFilter(keys);
    for (const CDialogItemTemplate& item : t.items)
    {
        std::unique_ptr<CWnd> control = CreateDialogControl(item, this);
        const bool ok = control != nullptr;
        if (!ok)
            continue;
        if (QWidget* content = control->GetImpl()->content)
            content->installEventFilter(keys);
        control->ShowWindow((item.style & WS_VISIBLE) ? SW_SHOW : SW_HIDE);
        m_controls.push_back(std::move(control));
    }
    // Group boxes go under the controls they frame.
    for (auto& control : m_controls)
        if (control->GetImpl()->widget->testAttribute(Qt::WA_TransparentForMouseEvents))
            control->GetImpl()->widget->lower();
}

intptr_t CDialog::DoModal()
{
    CWnd* owner = m_parent;
    if (!owner)
        for (CWnd* w : CWnd::GetTopLevelWindows())
            if (w->IsActiveWindow())
                owner = w;
    if (!owner && AfxGetApp())
        owner = AfxGetApp()->m_pMainWnd;
    if (owner == this)
        owner = nullptr;
    if (!Create(m_templateId, owner))
        return -1;
    const bool disabledOwner = owner && owner->IsWindowEnabled();
    HWND ownerHandle = owner ? owner->GetSafeHwnd() : nullptr;
    if (disabledOwner)
        owner->EnableWindow(FALSE);
    CModalLoop loop;
    m_loop = &loop;
    if (GetSafeHwnd())
    {
        ShowWindow(SW_SHOW);
        ActivateDialog();
        m_result = loop.Run();
    }
    m_loop = nullptr;
    // The owner may have gone while the dialog ran.
    if (disabledOwner && IsWindow(ownerHandle))
    {
        owner->EnableWindow(TRUE);
        owner->SetActiveWindow();
    }
    if (GetSafeHwnd())
        DestroyWindow();
    return m_result;
}

void CDialog::EndDialog(int result)
{
    m_result = result;
    if (m_loop)
        m_loop->End(result);
    else
        ShowWindow(SW_HIDE);
}

BOOL CDialog::SetDlgItemText(UINT id, const char* text)
{
    CWnd* item = GetDlgItem(id);
    if (!item)
        return FALSE;
    item->SetWindowText(text);
    return TRUE;
}

std::string CDialog::GetDlgItemText(UINT id) const
{
    CWnd* item = GetDlgItem(id);
    return item ? item->GetWindowText() : std::string();
}

void CDialog::ActivateDialog()
{
    QWidget* widget = GetImpl()->widget;
    if (!widget || !widget->isVisible())
        return;
    widget->activateWindow();
    QApplication::setActiveWindow(widget);
    for (auto& control : m_controls)
    {
        QWidget* content = control->GetImpl()->content;
        if (content && content->isVisible() && content->isEnabled() && (content->focusPolicy() & Qt::TabFocus))
        {
            content->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    widget->setFocus(Qt::ActiveWindowFocusReason);
}

void CDialog::CenterWindow()
{
    QWidget* widget = GetImpl()->widget;
    if (!widget)
        return;
    QRect area;
    if (m_parent && m_parent->GetImpl()->widget && m_parent->GetImpl()->widget->isVisible())
        area = m_parent->GetImpl()->widget->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        widget->move(area.center() - widget->rect().center());
}

BOOL CDialog::OnInitDialog() { return TRUE; }
void CDialog::OnOK() { EndDialog(IDOK); }
void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCommand(UINT id, UINT code)
{
    if (code != BN_CLICKED)
        return FALSE;
    if (id == IDOK)
    {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL)
    {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

void CDialog::HandleDialogKey(UINT virtualKey)
{
    if (virtualKey == VK_ESCAPE)
        OnCommand(IDCANCEL, BN_CLICKED);
    else if (virtualKey == VK_RETURN)
    {
        CWnd* ok = GetDlgItem(IDOK);
        if (ok && ok->IsWindowEnabled())
            OnCommand(IDOK, BN_CLICKED);
    }
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        return OnCommand(LOWORD(wParam), HIWORD(wParam));
    return CWnd::WindowProc(message, wParam, lParam);
}

void CDialog::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
}

void CDialog::OnClose() { OnCommand(IDCANCEL, BN_CLICKED); }
