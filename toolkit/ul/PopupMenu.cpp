#include "toolkit/ul/PopupMenu.h"

#include "platform/Menu.h"
#include "platform/WinApp.h"
#include "platform/Wnd.h"

namespace UL
{
CPopupMenuItem::CPopupMenuItem(std::string text, std::unique_ptr<CPopupMenuItemList> subItems)
    : m_text(std::move(text)), m_subItems(std::move(subItems))
{
}

void CPopupMenuItem::SetSubItems(std::unique_ptr<CPopupMenuItemList> subItems)
{
    m_subItems = std::move(subItems);
    if (m_subItems)
        m_enabled = true;
}

void CPopupMenuItem::Enable(bool enable)
{
    if (!m_subItems)
        m_enabled = enable;
}

void CPopupMenuItem::Fold(CPopupMenuItem& item)
{
    if (!item.m_subItems)
        return;
    for (auto& child : *item.m_subItems)
        if (child)
            Fold(*child);
    CPopupMenuItemList& list = *item.m_subItems;
    if (list.size() == 1 && list[0] && list[0]->m_subItems)
    {
        // Keep the grandchildren alive while the one-item list and its child go.
        std::unique_ptr<CPopupMenuItemList> grandChildren = std::move(list[0]->m_subItems);
        item.m_subItems = std::move(grandChildren);
    }
}

namespace
{
bool IsNumberedLeaf(const CPopupMenuItem& item) { return !item.GetSubItems() && !item.IsSeparator(); }

// Walks the tree depth first counting numbered leaves; stops at the one numbered `index`.
bool FindLeaf(const CPopupMenuItemList& items, int32_t index, int32_t& counter, CMenuPath& path)
{
    for (size_t i = 0; i < items.size(); ++i)
    {
        const CPopupMenuItem* item = items[i].get();
        if (!item)
            continue;
        path.push_back(static_cast<int32_t>(i));
        if (const CPopupMenuItemList* sub = item->GetSubItems())
        {
            if (FindLeaf(*sub, index, counter, path))
                return true;
        }
        else if (IsNumberedLeaf(*item))
        {
            if (counter == index)
                return true;
            ++counter;
        }
        path.pop_back();
    }
    return false;
}

int32_t CountLeaves(const CPopupMenuItemList& items)
{
    int32_t count = 0;
    for (const auto& item : items)
    {
        if (!item)
            continue;
        if (const CPopupMenuItemList* sub = item->GetSubItems())
            count += CountLeaves(*sub);
        else if (IsNumberedLeaf(*item))
            ++count;
    }
    return count;
}
}

CMenuPath CPopupMenu::IndexToPath(const CItemList& items, int32_t index)
{
    CMenuPath path;
    int32_t counter = 0;
    if (index < 0 || !FindLeaf(items, index, counter, path))
        return CMenuPath();
    return path;
}

int32_t CPopupMenu::PathToIndex(const CItemList& items, const CMenuPath& path)
{
    const CItemList* level = &items;
    int32_t index = 0;
    for (size_t depth = 0; depth < path.size(); ++depth)
    {
        const int32_t position = path[depth];
        if (position < 0 || static_cast<size_t>(position) >= level->size())
            return -1;
        for (int32_t i = 0; i < position; ++i)
        {
            const CPopupMenuItem* before = (*level)[static_cast<size_t>(i)].get();
            if (!before)
                continue;
            if (before->GetSubItems())
                index += CountLeaves(*before->GetSubItems());
            else if (IsNumberedLeaf(*before))
                ++index;
        }
        const CPopupMenuItem* item = (*level)[static_cast<size_t>(position)].get();
        if (!item)
            return -1;
        const bool last = depth + 1 == path.size();
        if (last)
            return IsNumberedLeaf(*item) ? index : -1;
        if (!item->GetSubItems())
            return -1;
        level = item->GetSubItems();
    }
    return -1;
}

std::string CPopupMenu::MenuText(const std::string& text) const
{
    if (m_literalText)
        return text;
    std::string shown;
    shown.reserve(text.size());
    for (char c : text)
    {
        shown += c;
        if (c == '&')
            shown += '&';
    }
    return shown;
}

bool CPopupMenu::BuildLevel(const CItemList& items, const CMenuPath& path, UINT& command,
                            std::vector<std::unique_ptr<CMenu>>& menus, CMenu*& built) const
{
    auto menu = std::make_unique<CMenu>();
    if (!menu->CreatePopupMenu())
        return false;
    const int32_t current = path.empty() ? -1 : path.front();
    const CMenuPath rest = path.size() > 1 ? CMenuPath(path.begin() + 1, path.end()) : CMenuPath();
    for (size_t i = 0; i < items.size(); ++i)
    {
        const CPopupMenuItem* item = items[i].get();
        if (!item)
        {
            menu->AppendMenu(MF_SEPARATOR, UINT_PTR{0}, nullptr);
            continue;
        }
        const std::string text = MenuText(item->GetText());
        const UINT grey = item->IsEnabled() ? 0 : MF_GRAYED;
        if (const CItemList* sub = item->GetSubItems())
        {
            CMenu* subMenu = nullptr;
            if (!BuildLevel(*sub, static_cast<int32_t>(i) == current ? rest : CMenuPath(), command, menus, subMenu))
                return false;
            if (item->IsSeparator())
                menu->AppendMenu(MF_SEPARATOR, UINT_PTR{0}, nullptr);
            else
                menu->AppendMenu(MF_POPUP | grey, subMenu, text.c_str());
        }
        else if (!item->IsSeparator())
            menu->AppendMenu(MF_STRING | grey, command++, text.c_str());
        else
            menu->AppendMenu(MF_SEPARATOR, UINT_PTR{0}, nullptr);
    }
    if (current >= 0 && static_cast<size_t>(current) < items.size())
        menu->CheckMenuRadioItem(0, static_cast<UINT>(items.size() - 1), static_cast<UINT>(current), MF_BYPOSITION);
    built = menu.get();
    menus.push_back(std::move(menu));
    return true;
}

bool CPopupMenu::BuildMenus(const CItemList& items, const CMenuPath& path,
                            std::vector<std::unique_ptr<CMenu>>& menus) const
{
    UINT command = kFirstCommand;
    CMenu* top = nullptr;
    return BuildLevel(items, path, command, menus, top);
}

int32_t CPopupMenu::Track(const CItemList& items, CMenuPath& path, const POINT* point)
{
    std::vector<std::unique_ptr<CMenu>> menus;
    if (!BuildMenus(items, path, menus) || menus.empty())
        return -1;
    CPoint at;
    if (point)
        at = CPoint(*point);
    else
    {
        GetCursorPos(&at);
        at.Offset(10, 5);
    }
    CWnd* owner = AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr;
    const UINT command = static_cast<UINT>(
        menus.back()->TrackPopupMenu(TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD, at.x, at.y, owner));
    menus.clear();
    if (command < kFirstCommand)
        return -1;
    const int32_t index = static_cast<int32_t>(command - kFirstCommand);
    path = IndexToPath(items, index);
    return index;
}

int32_t CPopupMenu::TrackIndex(const CItemList& items, int32_t index, const POINT* point)
{
    CMenuPath path = IndexToPath(items, index);
    return Track(items, path, point);
}

IPopupMenu& GetPopupMenu()
{
    static CPopupMenu menu(false);
    return menu;
}
}
