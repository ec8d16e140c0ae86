#include "platform/Menu.h"

#include "platform/TextCodec_p.h"
#include "platform/Wnd_p.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QPointer>

#include <algorithm>
#include <vector>

struct CMenu::Impl
{
    std::unique_ptr<QMenu> menu;
    std::vector<CMenu*> subMenus;   // per position, null for commands and separators
};

QMenu* PlatformDetail::QtMenuOf(const CMenu& menu)
{
    return menu.GetImpl() ? menu.GetImpl()->menu.get() : nullptr;
}

using PlatformDetail::TextFromBytes;

CMenu::CMenu() : d(std::make_unique<Impl>()) {}
CMenu::~CMenu() { DestroyMenu(); }

BOOL CMenu::CreatePopupMenu()
{
    if (d->menu || !QApplication::instance())
        return FALSE;
    d->menu = std::make_unique<QMenu>();
    d->menu->setSeparatorsCollapsible(false);
    return TRUE;
}

BOOL CMenu::DestroyMenu()
{
    if (!d->menu)
        return FALSE;
    d->menu.reset();
    d->subMenus.clear();
    return TRUE;
}

bool CMenu::IsNull() const { return !d->menu; }

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR commandId, const char* text)
{
    if (!d->menu || (flags & MF_POPUP))
        return FALSE;
    QAction* action;
    if (flags & MF_SEPARATOR)
        action = d->menu->addSeparator();
    else
    {
        action = d->menu->addAction(TextFromBytes(text));
        action->setData(QVariant::fromValue<qulonglong>(commandId));
        action->setEnabled(!(flags & (MF_GRAYED | MF_DISABLED)));
        if (flags & MF_CHECKED)
        {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
    d->subMenus.push_back(nullptr);
    return TRUE;
}

BOOL CMenu::AppendMenu(UINT flags, CMenu* subMenu, const char* text)
{
    if (!d->menu || !(flags & MF_POPUP) || !subMenu || !subMenu->d->menu || subMenu == this)
        return FALSE;
    QMenu* sub = subMenu->d->menu.get();
    sub->setTitle(TextFromBytes(text));
    QAction* action = d->menu->addMenu(sub);
    action->setEnabled(!(flags & (MF_GRAYED | MF_DISABLED)));
    d->subMenus.push_back(subMenu);
    return TRUE;
}

BOOL CMenu::CheckMenuRadioItem(UINT first, UINT last, UINT check, UINT flags)
{
    if (!d->menu || !(flags & MF_BYPOSITION))
        return FALSE;
    const QList<QAction*> actions = d->menu->actions();
    if (check < first || check > last || check >= static_cast<UINT>(actions.size()))
        return FALSE;
    for (UINT i = first; i <= last && i < static_cast<UINT>(actions.size()); ++i)
    {
        QAction* action = actions[static_cast<int>(i)];
        if (action->isSeparator())
            continue;
        action->setCheckable(i == check || action->isCheckable());
        action->setChecked(i == check);
    }
    return TRUE;
}

int CMenu::GetMenuItemCount() const { return d->menu ? static_cast<int>(d->menu->actions().size()) : -1; }

namespace
{
QAction* ActionAt(const QMenu* menu, UINT position)
{
    if (!menu)
        return nullptr;
    const QList<QAction*> actions = menu->actions();
    return position < static_cast<UINT>(actions.size()) ? actions[static_cast<int>(position)] : nullptr;
}
}

UINT CMenu::GetMenuState(UINT position, UINT flags) const
{
    QAction* action = (flags & MF_BYPOSITION) ? ActionAt(d->menu.get(), position) : nullptr;
    if (!action)
        return 0xFFFFFFFF;
    UINT state = 0;
    if (action->isSeparator())
        return MF_SEPARATOR;
    if (!action->isEnabled())
        state |= MF_GRAYED;
    if (action->isChecked())
        state |= MF_CHECKED;
    if (action->menu())
        state |= MF_POPUP;
    return state;
}

std::string CMenu::GetMenuString(UINT position, UINT flags) const
{
    QAction* action = (flags & MF_BYPOSITION) ? ActionAt(d->menu.get(), position) : nullptr;
    return action ? PlatformDetail::TextToBytes(action->text()) : std::string();
}

UINT CMenu::GetMenuItemID(int position) const
{
    QAction* action = position >= 0 ? ActionAt(d->menu.get(), static_cast<UINT>(position)) : nullptr;
    if (!action || action->isSeparator())
        return 0;
    if (action->menu())
        return 0xFFFFFFFF;
    return static_cast<UINT>(action->data().toULongLong());
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, CMenu* subMenu, const char* text)
{
    if (!d->menu || (flags & (MF_POPUP | MF_BYPOSITION)) != (MF_POPUP | MF_BYPOSITION) || !subMenu ||
        !subMenu->d->menu || subMenu == this)
        return FALSE;
    QMenu* sub = subMenu->d->menu.get();
    sub->setTitle(TextFromBytes(text));
    QAction* before = ActionAt(d->menu.get(), position);
    QAction* action = before ? d->menu->insertMenu(before, sub) : d->menu->addMenu(sub);
    action->setEnabled(!(flags & (MF_GRAYED | MF_DISABLED)));
    const size_t at = std::min<size_t>(position, d->subMenus.size());
    d->subMenus.insert(d->subMenus.begin() + static_cast<std::ptrdiff_t>(at), subMenu);
    return TRUE;
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags)
{
    QAction* action = (flags & MF_BYPOSITION) ? ActionAt(d->menu.get(), position) : nullptr;
    if (!action)
        return FALSE;
    d->menu->removeAction(action);
    // A sub-menu's entry belongs to the sub-menu; commands and separators belong to this menu.
    if (!action->menu())
        delete action;
    d->subMenus.erase(d->subMenus.begin() + static_cast<std::ptrdiff_t>(position));
    return TRUE;
}

CMenu* CMenu::GetSubMenu(int position) const
{
    if (position < 0 || position >= static_cast<int>(d->subMenus.size()))
        return nullptr;
    return d->subMenus[static_cast<size_t>(position)];
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd*)
{
    if (!d->menu)
        return FALSE;
    // The menu may be destroyed by a handler that runs inside its loop; guard the pointer.
    QPointer<QMenu> menu(d->menu.get());
    QAction* chosen = menu->exec(QPoint(x, y));
    if (!(flags & TPM_RETURNCMD))
        return chosen ? TRUE : FALSE;
    if (!chosen || chosen->menu() || chosen->isSeparator())
        return 0;
    return static_cast<BOOL>(chosen->data().toULongLong());
}
