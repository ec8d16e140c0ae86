#include "platform/FrameBars.h"

#include "platform/Profile.h"
#include "platform/TextCodec_p.h"
#include "platform/Wnd_p.h"

#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QEvent>
#include <QMimeData>
#include <QUrl>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QToolButton>

#include <algorithm>
#include <iterator>
#include <map>

namespace
{
// Keeps the bars on the frame's edges whenever the frame changes size.
class CBarPlacer final : public QObject
{
public:
    CBarPlacer(QWidget* frame, QWidget* top, QWidget* tools, QWidget* status)
        : QObject(frame), m_frame(frame), m_menu(top), m_tools(tools), m_status(status)
    {
        frame->installEventFilter(this);
    }
    void Place()
    {
        const int width = m_frame->width();
        const int menuHeight = m_menu->sizeHint().height();
        // A hidden bar leaves its room to the client area.
        const int toolHeight = m_tools->isHidden() ? 0 : m_tools->sizeHint().height();
        const int statusHeight = m_status->isHidden() ? 0 : m_status->sizeHint().height();
        m_menu->setGeometry(0, 0, width, menuHeight);
        m_tools->setGeometry(0, menuHeight, width, toolHeight);
        m_status->setGeometry(0, m_frame->height() - statusHeight, width, statusHeight);
        m_menu->raise();
        m_tools->raise();
        m_status->raise();
        top = menuHeight + toolHeight;
        bottom = statusHeight;
    }
    int top = 0;
    int bottom = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            Place();
        return false;
    }

private:
    QWidget* m_frame;
    QWidget* m_menu;
    QWidget* m_tools;
    QWidget* m_status;
};
}

namespace
{
// A bar can go from inside its own handler: File > Exit closes the frame while the menu still
// delivers the click, a tool button while it still emits clicked. The bar is hidden and silenced
// now and deleted at the next turn of the main loop, with the window's own widget.
template <class T>
void DisposeLater(QPointer<T>& held)
{
    T* object = held.data();
    held = nullptr;
    if (!object)
        return;
    if (!QCoreApplication::instance())
    {
        delete object;
        return;
    }
    object->setProperty(PlatformDetail::kDisposedProperty, true);
    object->blockSignals(true);
    for (QObject* part : object->template findChildren<QObject*>())
        part->blockSignals(true);
    if (auto* widget = qobject_cast<QWidget*>(object))
        widget->hide();
    if (auto* action = qobject_cast<QAction*>(object))
        action->setEnabled(false);
    object->deleteLater();
}

// The menu shows the key; a separate action of the window takes it, one that is never greyed (a
// greyed action takes no key), so the key always asks afresh whether the command may run now.
QAction* AddShortcutKey(QWidget* widget, const std::string& shortcut, std::function<void()> run)
{
    auto* key = new QAction(widget);
    key->setShortcut(QKeySequence(PlatformDetail::TextFromBytes(shortcut)));
    key->setShortcutContext(Qt::WindowShortcut);
    widget->addAction(key);
    QObject::connect(key, &QAction::triggered, key, std::move(run));
    return key;
}

// A tool bar: a row of flat text buttons, a gap for each separator; `fit` finishes each button
// for its command.
QWidget* MakeToolRow(QWidget* parent, const std::vector<CBarCommand>& tools, int margin,
                     const std::function<void(QToolButton*, const CBarCommand&)>& fit)
{
    auto* row = new QWidget(parent);
    row->setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(2);
    for (const CBarCommand& tool : tools)
    {
        if (tool.id == 0)
        {
            layout->addSpacing(8);
            continue;
        }
        auto* button = new QToolButton(row);
        fit(button, tool);
        button->setAutoRaise(true);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return row;
}

// A status bar of one pane.
QLabel* MakeStatusPane(QWidget* parent)
{
    auto* status = new QLabel(parent);
    status->setContentsMargins(4, 2, 4, 2);
    status->setFrameShape(QFrame::StyledPanel);
    status->setAutoFillBackground(true);
    return status;
}
}

// Takes the files the desktop drops on the frame.
class CDropTarget final : public QObject
{
public:
    CDropTarget(QWidget* frame, CFrameBars::FDropFiles handler) : QObject(frame), m_handler(std::move(handler))
    {
        frame->setAcceptDrops(true);
        frame->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::DragEnter)
        {
            auto* enter = static_cast<QDragEnterEvent*>(event);
            if (enter->mimeData()->hasUrls())
                enter->acceptProposedAction();
            return true;
        }
        if (event->type() != QEvent::Drop)
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        std::vector<std::string> paths;
        for (const QUrl& url : drop->mimeData()->urls())
            if (url.isLocalFile())
                paths.push_back(url.toLocalFile().toLocal8Bit().toStdString());
        drop->acceptProposedAction();
        if (!paths.empty() && m_handler)
            m_handler(paths);
        return true;
    }

private:
    CFrameBars::FDropFiles m_handler;
};

struct CFrameBars::Impl
{
    CMDIFrameWnd* frame = nullptr;
    QPointer<QMenuBar> menuBar;
    QPointer<QWidget> toolBar;
    QPointer<QLabel> status;
    CBarPlacer* placer = nullptr;
    QPointer<CDropTarget> drop;
    std::vector<QPointer<QAction>> keys;
    std::multimap<UINT, QPointer<QAction>> actions;
    std::multimap<UINT, QPointer<QToolButton>> buttons;
    std::map<UINT, bool> enabled;
    // The program's menus outlive the bars: what ties them to the bars goes with the bars.
    std::vector<QMetaObject::Connection> programMenuLinks;

    bool Refresh(UINT id)
    {
        CCmdUI ui(id);
        frame->UpdateCommandUI(&ui);
        enabled[id] = ui.m_enabled;
        auto range = actions.equal_range(id);
        for (auto it = range.first; it != range.second; ++it)
            if (it->second)
            {
                it->second->setEnabled(ui.m_enabled);
                it->second->setCheckable(ui.m_check != 0 || it->second->isCheckable());
                it->second->setChecked(ui.m_check != 0);
            }
        auto buttonRange = buttons.equal_range(id);
        for (auto it = buttonRange.first; it != buttonRange.second; ++it)
            if (it->second)
                it->second->setEnabled(ui.m_enabled);
        return ui.m_enabled;
    }

    void Run(UINT id)
    {
        // A shortcut may fire while the entry shows an old state: ask again first.
        if (frame && frame->GetSafeHwnd() && Refresh(id))
            frame->SendMessage(WM_COMMAND, id, 0);
    }

    // The command entries at the top of a program's menu, tracked for the update pass.
    std::vector<UINT> TrackCommands(QMenu* popup)
    {
        std::vector<UINT> ids;
        for (QAction* action : popup->actions())
        {
            if (action->isSeparator() || action->menu())
                continue;
            const UINT id = static_cast<UINT>(action->data().toULongLong());
            auto range = actions.equal_range(id);
            if (std::none_of(range.first, range.second, [action](const auto& entry) { return entry.second == action; }))
                actions.emplace(id, action);
            ids.push_back(id);
        }
        return ids;
    }

    // A menu the program keeps: the bar shows it, lets the frame rebuild it before it opens, and
    // runs what is chosen in it.
    void AddProgramMenu(const CBarMenu& menu)
    {
        QMenu* popup = PlatformDetail::QtMenuOf(*menu.popup);
        if (!popup)
            return;
        popup->setTitle(PlatformDetail::TextFromBytes(menu.title));
        menuBar->addMenu(popup);
        TrackCommands(popup);
        Impl* impl = this;
        CMenu* owner = menu.popup;
        programMenuLinks.push_back(QObject::connect(popup, &QMenu::aboutToShow, popup, [impl, owner, popup] {
            if (!impl->frame || !impl->frame->GetSafeHwnd())
                return;
            impl->frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(owner));
            for (UINT id : impl->TrackCommands(popup))
                impl->Refresh(id);
        }));
        // Qt tells the top menu of what is chosen in its sub-menus too.
        programMenuLinks.push_back(QObject::connect(popup, &QMenu::triggered, popup, [impl](QAction* action) {
            if (!action->isSeparator() && !action->menu())
                impl->Run(static_cast<UINT>(action->data().toULongLong()));
        }));
    }
};

CFrameBars::CFrameBars() : d(std::make_unique<Impl>()) {}

CFrameBars::~CFrameBars() { Destroy(); }

bool CFrameBars::Create(CMDIFrameWnd* frame, const std::vector<CBarMenu>& menus, const std::vector<CBarCommand>& tools)
{
    QWidget* widget = frame && frame->GetImpl() ? frame->GetImpl()->widget.data() : nullptr;
    if (!widget || d->frame)
        return false;
    d->frame = frame;
    Impl* impl = d.get();
    d->menuBar = new QMenuBar(widget);
    d->menuBar->setNativeMenuBar(false);
    for (const CBarMenu& menu : menus)
    {
        if (menu.popup)
        {
            d->AddProgramMenu(menu);
            continue;
        }
        QMenu* popup = d->menuBar->addMenu(PlatformDetail::TextFromBytes(menu.title));
        std::vector<UINT> ids;
        for (const CBarCommand& command : menu.commands)
        {
            if (command.id == 0)
            {
                popup->addSeparator();
                continue;
            }
            QString text = PlatformDetail::TextFromBytes(command.text);
            const UINT id = command.id;
            if (!command.shortcut.empty())
            {
                text += QLatin1Char('\t') + PlatformDetail::TextFromBytes(command.shortcut);
                d->keys.push_back(AddShortcutKey(widget, command.shortcut, [impl, id] { impl->Run(id); }));
            }
            QAction* action = popup->addAction(text);
            QObject::connect(action, &QAction::triggered, action, [impl, id] { impl->Run(id); });
            if (menu.listItems && id == menu.listFirstId)
            {
                // The list's place holder: no command of its own.
                action->setEnabled(false);
                QPointer<QAction> holder(action);
                auto made = std::make_shared<std::vector<QPointer<QAction>>>();
                const auto items = menu.listItems;
                QObject::connect(popup, &QMenu::aboutToShow, popup, [impl, popup, holder, made, items, id] {
                    for (QPointer<QAction>& old : *made)
                        delete old.data();
                    made->clear();
                    const std::vector<std::string> texts = items();
                    if (holder)
                        holder->setVisible(texts.empty());
                    for (size_t i = 0; i < texts.size(); ++i)
                    {
                        const QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(PlatformDetail::TextFromBytes(texts[i]));
                        auto* entry = new QAction(text, popup);
                        popup->insertAction(holder, entry);
                        const UINT entryId = id + static_cast<UINT>(i);
                        QObject::connect(entry, &QAction::triggered, entry, [impl, entryId] { impl->Run(entryId); });
                        made->push_back(entry);
                    }
                });
                continue;
            }
            d->actions.emplace(id, action);
            ids.push_back(id);
        }
        QObject::connect(popup, &QMenu::aboutToShow, popup, [impl, ids] {
            for (UINT id : ids)
                impl->Refresh(id);
        });
    }
    d->toolBar = MakeToolRow(widget, tools, 2, [impl, this](QToolButton* button, const CBarCommand& tool) {
        button->setText(PlatformDetail::TextFromBytes(tool.text));
        const UINT id = tool.id;
        QObject::connect(button, &QToolButton::clicked, button, [impl, id] { impl->Run(id); });
        d->buttons.emplace(id, button);
    });
    d->status = MakeStatusPane(widget);
    d->status->setText(QStringLiteral("Ready"));
    d->placer = new CBarPlacer(widget, d->menuBar, d->toolBar, d->status);
    d->placer->Place();
    d->menuBar->show();
    d->toolBar->show();
    d->status->show();
    frame->SetClientInsets(d->placer->top, d->placer->bottom);
    UpdateCommandStates();
    return true;
}

void CFrameBars::AcceptDroppedFiles(FDropFiles handler)
{
    QWidget* widget = d->frame && d->frame->GetImpl() ? d->frame->GetImpl()->widget.data() : nullptr;
    if (!widget)
        return;
    delete d->drop.data();
    d->drop = new CDropTarget(widget, std::move(handler));
}

void CFrameBars::Destroy()
{
    delete d->drop.data();
    for (QPointer<QAction>& key : d->keys)
        DisposeLater(key);
    d->keys.clear();
    delete d->placer;
    d->placer = nullptr;
    for (const QMetaObject::Connection& link : d->programMenuLinks)
        QObject::disconnect(link);
    d->programMenuLinks.clear();
    DisposeLater(d->menuBar);
    DisposeLater(d->toolBar);
    DisposeLater(d->status);
    d->actions.clear();
    d->buttons.clear();
    d->frame = nullptr;
}

namespace
{
// Shows or hides one of the frame's bars and gives the client area the room that changed.
void ShowBar(QWidget* bar, bool show, CBarPlacer* placer, CMDIFrameWnd* frame)
{
    if (!bar || !placer || !frame || bar->isHidden() != show)
        return;
    bar->setVisible(show);
    placer->Place();
    frame->SetClientInsets(placer->top, placer->bottom);
}
}

void CFrameBars::ShowToolBar(bool show) { ShowBar(d->toolBar, show, d->placer, d->frame); }

bool CFrameBars::IsToolBarShown() const { return d->toolBar && !d->toolBar->isHidden(); }

void CFrameBars::ShowStatusBar(bool show) { ShowBar(d->status, show, d->placer, d->frame); }

bool CFrameBars::IsStatusBarShown() const { return d->status && !d->status->isHidden(); }

void CFrameBars::SaveBarState(const std::string& profileName) const
{
    if (!d->frame)
        return;
    const std::pair<UINT, bool> bars[] = {{ID_VIEW_TOOLBAR, IsToolBarShown()}, {ID_VIEW_STATUS_BAR, IsStatusBarShown()}};
    WriteProfileInt(profileName + "-Summary", "Bars", static_cast<int32_t>(std::size(bars)));
    for (size_t i = 0; i < std::size(bars); ++i)
    {
        const std::string section = profileName + "-Bar" + std::to_string(i);
        WriteProfileInt(section, "BarID", static_cast<int32_t>(bars[i].first));
        WriteProfileInt(section, "Visible", bars[i].second ? 1 : 0);
    }
}

bool CFrameBars::LoadBarState(const std::string& profileName)
{
    const int32_t count = GetProfileInt(profileName + "-Summary", "Bars", 0);
    if (!d->frame || count <= 0)
        return false;
    // Only as many entries as bars could have been stored: the count is read from a file.
    for (int32_t i = 0; i < std::min<int32_t>(count, 16); ++i)
    {
        const std::string section = profileName + "-Bar" + std::to_string(i);
        const bool visible = GetProfileInt(section, "Visible", 1) != 0;
        switch (static_cast<UINT>(GetProfileInt(section, "BarID", 0)))
        {
        case ID_VIEW_TOOLBAR: ShowToolBar(visible); break;
        case ID_VIEW_STATUS_BAR: ShowStatusBar(visible); break;
        default: break;
        }
    }
    return true;
}

void CFrameBars::UpdateCommandStates()
{
    if (!d->frame || !d->frame->GetSafeHwnd())
        return;
    UINT last = 0;
    for (const auto& entry : d->actions)
        if (entry.first != last)
            d->Refresh(last = entry.first);
    for (const auto& entry : d->buttons)
        if (!d->actions.count(entry.first))
            d->Refresh(entry.first);
}

void CFrameBars::SetStatusText(const std::string& text)
{
    if (d->status)
        d->status->setText(PlatformDetail::TextFromBytes(text));
}

std::string CFrameBars::GetStatusText() const
{
    return d->status ? PlatformDetail::TextToBytes(d->status->text()) : std::string();
}

bool CFrameBars::IsCommandEnabled(UINT id) const
{
    const auto found = d->enabled.find(id);
    return found != d->enabled.end() && found->second;
}

bool CFrameBars::AddKey(UINT id, const std::string& shortcut)
{
    QWidget* widget = d->frame && d->frame->GetImpl() ? d->frame->GetImpl()->widget.data() : nullptr;
    if (!widget || !d->menuBar)
        return false;
    Impl* impl = d.get();
    d->keys.push_back(AddShortcutKey(widget, shortcut, [impl, id] { impl->Run(id); }));
    return true;
}

// ---- a plain window's menu bar ----

namespace
{
// Keeps the bar as wide as the window.
// Runs `react` whenever the watched widget gets an event of the type given: a window's resize
// places its bars, the pointer leaving the tool bar clears the status bar's prompt.
class CEventWatcher final : public QObject
{
public:
    CEventWatcher(QWidget* watched, QEvent::Type type, std::function<void()> react)
        : QObject(watched), m_type(type), m_react(std::move(react))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == m_type)
            m_react();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_react;
};
}

struct CWindowMenuBar::Impl
{
    CWnd* window = nullptr;
    QPointer<QMenuBar> bar;
    QPointer<QWidget> toolBar;
    QPointer<QLabel> status;
    CEventWatcher* placer = nullptr;
    std::vector<QPointer<QAction>> keys;
    std::multimap<UINT, QPointer<QAction>> actions;
    std::map<UINT, bool> enabled;
    FIsEnabled isEnabled;
    FRun run;
    FIsChecked isChecked;
    FPrompt prompt;

    bool Refresh(UINT id)
    {
        const bool on = isEnabled ? isEnabled(id) : true;
        const int check = isChecked ? isChecked(id) : -1;
        enabled[id] = on;
        auto range = actions.equal_range(id);
        for (auto it = range.first; it != range.second; ++it)
            if (it->second)
            {
                it->second->setEnabled(on);
                if (check >= 0)
                {
                    it->second->setCheckable(true);
                    it->second->setChecked(check != 0);
                }
            }
        return on;
    }

    void Run(UINT id)
    {
        // A shortcut may fire while the entry shows an old state: ask again first.
        if (window && window->GetSafeHwnd() && Refresh(id) && run)
            run(id);
    }

    void ShowPrompt(UINT id)
    {
        if (status)
            status->setText(PlatformDetail::TextFromBytes(prompt && id ? prompt(id) : std::string()));
    }

    // The entry's action, shown on the status bar while the pointer is over it.
    QAction* MakeAction(QAction* action, UINT id)
    {
        Impl* impl = this;
        QObject::connect(action, &QAction::triggered, action, [impl, id] { impl->Run(id); });
        QObject::connect(action, &QAction::hovered, action, [impl, id] { impl->ShowPrompt(id); });
        actions.emplace(id, action);
        return action;
    }

    // Fills `popup` with the menu's entries (and its sub-menus, in their places).
    void AddMenu(QMenu* popup, const CBarMenu& menu, QWidget* widget)
    {
        Impl* impl = this;
        std::vector<UINT> ids;
        size_t nextSubMenu = 0;
        for (const CBarCommand& command : menu.commands)
        {
            if (command.id == 0)
            {
                popup->addSeparator();
                continue;
            }
            if (command.id == CBarMenu::kSubMenu)
            {
                if (nextSubMenu < menu.subMenus.size())
                    AddMenu(popup->addMenu(PlatformDetail::TextFromBytes(command.text)), menu.subMenus[nextSubMenu++], widget);
                continue;
            }
            QString text = PlatformDetail::TextFromBytes(command.text);
            const UINT id = command.id;
            if (!command.shortcut.empty())
            {
                text += QLatin1Char('\t') + PlatformDetail::TextFromBytes(command.shortcut);
                keys.push_back(AddShortcutKey(widget, command.shortcut, [impl, id] { impl->Run(id); }));
            }
            MakeAction(popup->addAction(text), id);
            ids.push_back(id);
        }
        QObject::connect(popup, &QMenu::aboutToShow, popup, [impl, ids] {
            for (UINT id : ids)
                impl->Refresh(id);
        });
        QObject::connect(popup, &QMenu::aboutToHide, popup, [impl] { impl->ShowPrompt(0); });
    }

    void ShowBar(QWidget* which, bool show)
    {
        if (!which || show == !which->isHidden())
            return;
        which->setVisible(show);
        Relayout();
    }

    int Height(QWidget* bar) const { return bar && !bar->isHidden() ? bar->sizeHint().height() : 0; }

    // The menu bar at the top, the tool bar below it, the status bar at the bottom.
    void Place()
    {
        QWidget* widget = window ? window->GetImpl()->widget.data() : nullptr;
        if (!widget)
            return;
        const int menuHeight = Height(bar);
        if (bar)
            bar->setGeometry(0, 0, widget->width(), bar->sizeHint().height());
        if (toolBar)
            toolBar->setGeometry(0, menuHeight, widget->width(), toolBar->sizeHint().height());
        if (status)
        {
            const int height = status->sizeHint().height();
            status->setGeometry(0, widget->height() - height, widget->width(), height);
        }
    }

    // Moves the client area between the bars shown, growing or shrinking the window so the client
    // area keeps its size (unless the window is maximised).
    void Relayout()
    {
        CWnd::Impl* w = window->GetImpl();
        QWidget* widget = w->widget;
        if (!widget)
            return;
        const int top = Height(bar) + Height(toolBar);
        const int bottom = Height(status);
        const int change = (top - w->clientTop) + (bottom - w->clientBottom);
        if (top == w->clientTop && bottom == w->clientBottom)
            return;
        w->clientTop = top;
        w->clientBottom = bottom;
        w->backBuffer = QImage();
        // A maximised window keeps its size: the client area gives and takes the room.
        if (!widget->isMaximized() && !widget->isFullScreen())
            widget->resize(widget->width(), widget->height() + change);
        Place();
        widget->update();
    }
};

CWindowMenuBar::CWindowMenuBar() : d(std::make_unique<Impl>()) {}

CWindowMenuBar::~CWindowMenuBar() { Destroy(); }

bool CWindowMenuBar::Create(CWnd* window, const std::vector<CBarMenu>& menus, FIsEnabled isEnabled, FRun run)
{
    QWidget* widget = window && window->GetImpl() ? window->GetImpl()->widget.data() : nullptr;
    if (!widget || d->window)
        return false;
    d->window = window;
    d->isEnabled = std::move(isEnabled);
    d->run = std::move(run);
    d->bar = new QMenuBar(widget);
    d->bar->setNativeMenuBar(false);
    for (const CBarMenu& menu : menus)
        d->AddMenu(d->bar->addMenu(PlatformDetail::TextFromBytes(menu.title)), menu, widget);
    Impl* impl = d.get();
    d->placer = new CEventWatcher(widget, QEvent::Resize, [impl] { impl->Place(); });
    d->bar->show();
    d->Relayout();
    return true;
}

bool CWindowMenuBar::CreateBars(const std::vector<CBarCommand>& tools, FIsChecked isChecked, FPrompt prompt)
{
    QWidget* widget = d->window ? d->window->GetImpl()->widget.data() : nullptr;
    if (!widget || d->toolBar)
        return false;
    d->isChecked = std::move(isChecked);
    d->prompt = std::move(prompt);
    Impl* impl = d.get();
    d->toolBar = MakeToolRow(widget, tools, 3, [impl](QToolButton* button, const CBarCommand& tool) {
        auto* action = new QAction(PlatformDetail::TextFromBytes(tool.text), button);
        if (impl->prompt)
            action->setToolTip(PlatformDetail::TextFromBytes(impl->prompt(tool.id)));
        button->setDefaultAction(impl->MakeAction(action, tool.id));
    });
    new CEventWatcher(d->toolBar, QEvent::Leave, [impl] { impl->ShowPrompt(0); });
    d->status = MakeStatusPane(widget);
    // Both are made hidden: the saved state or the View menu shows them.
    d->toolBar->hide();
    d->status->hide();
    d->Place();
    return true;
}

void CWindowMenuBar::Destroy()
{
    if (!d->window)
        return;
    if (!QCoreApplication::instance())
    {
        // A window destroyed after the application has ended (a static teardown at exit): the
        // bar's shortcuts and menus died with the application's objects; only forget them.
        d->keys.clear();
        d->placer = nullptr;
        d->actions.clear();
        d->window = nullptr;
        return;
    }
    for (QPointer<QAction>& key : d->keys)
        DisposeLater(key);
    d->keys.clear();
    delete d->placer;
    d->placer = nullptr;
    DisposeLater(d->bar);
    DisposeLater(d->toolBar);
    DisposeLater(d->status);
    if (d->window->GetImpl()->widget)
        d->Relayout();
    d->actions.clear();
    d->window = nullptr;
}

void CWindowMenuBar::Show(bool show) { d->ShowBar(d->bar, show); }

bool CWindowMenuBar::IsShown() const { return d->bar && !d->bar->isHidden(); }

void CWindowMenuBar::ShowToolBar(bool show) { d->ShowBar(d->toolBar, show); }

bool CWindowMenuBar::IsToolBarShown() const { return d->toolBar && !d->toolBar->isHidden(); }

void CWindowMenuBar::ShowStatusBar(bool show) { d->ShowBar(d->status, show); }

bool CWindowMenuBar::IsStatusBarShown() const { return d->status && !d->status->isHidden(); }

void CWindowMenuBar::UpdateToolStates()
{
    if (!d->toolBar || d->toolBar->isHidden())
        return;
    for (QToolButton* button : d->toolBar->findChildren<QToolButton*>())
        if (QAction* action = button->defaultAction())
            for (const auto& entry : d->actions)
                if (entry.second == action)
                {
                    d->Refresh(entry.first);
                    break;
                }
}

std::string CWindowMenuBar::GetStatusText() const
{
    return d->status ? PlatformDetail::TextToBytes(d->status->text()) : std::string();
}

bool CWindowMenuBar::IsCommandEnabled(UINT id) const
{
    const auto found = d->enabled.find(id);
    return found != d->enabled.end() && found->second;
}

void TranslateBarCommands(std::vector<CBarCommand>& commands, const std::map<std::string, std::string>& texts)
{
    for (CBarCommand& command : commands)
    {
        const auto found = texts.find(command.text);
        if (found != texts.end())
            command.text = found->second;
    }
}

void TranslateBarMenus(std::vector<CBarMenu>& menus, const std::map<std::string, std::string>& texts)
{
    for (CBarMenu& menu : menus)
    {
        const auto found = texts.find(menu.title);
        if (found != texts.end())
            menu.title = found->second;
        TranslateBarCommands(menu.commands, texts);
        TranslateBarMenus(menu.subMenus, texts);
    }
}
