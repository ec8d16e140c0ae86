#include "editor/entities/CEntitySelector.h"

#include "editor/entities/InstrumentEntities.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyTable.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/Format.h"
#include "toolkit/ul/Cursor.h"

#include <algorithm>
#include <map>

namespace
{
using UL::CPopupMenuItem;
using UL::CPopupMenuItemList;

CPopupMenuItem& AppendSubMenu(CPopupMenuItemList& list, const std::string& title)
{
    list.push_back(std::make_unique<CPopupMenuItem>(title, std::make_unique<CPopupMenuItemList>()));
    return *list.back();
}

// Numbers the leaves depth first, as the popup menu does.
void CollectLeaves(const CPopupMenuItemList& items, const std::map<const CPopupMenuItem*, CVeyEntityId>& ids,
                   std::vector<CVeyEntityId>& leaves)
{
    for (const auto& item : items)
    {
        if (item->GetSubItems())
            CollectLeaves(*item->GetSubItems(), ids, leaves);
        else if (!item->IsSeparator())
        {
            const auto found = ids.find(item.get());
            leaves.push_back(found == ids.end() ? CVeyEntityId() : found->second);
        }
    }
}

std::string DivisionTitle(int32_t number)
{
    std::string title;
    return GT::Format(title, "%3d...", number);
}
}

int32_t CEntitySelector::CMenu::IndexOf(const CVeyEntityId& id) const
{
    const auto found = std::find(leaves.begin(), leaves.end(), id);
    return found == leaves.end() ? -1 : int32_t(found - leaves.begin());
}

std::string CEntitySelector::PrintEntity(int32_t number, const std::string& name)
{
    std::string text;
    return GT::Format(text, "%3d: %s", number, name.empty() ? "------------" : name.c_str());
}

CEntitySelector::CMenu CEntitySelector::BuildWaveMenu(const CVeyEntityId& current)
{
    CMenu menu;
    CVeyEntityManager& manager = CInstrumentEntities::GetInstance().GetManager();
    std::map<const CPopupMenuItem*, CVeyEntityId> ids;
    CPopupMenuItem root("", std::make_unique<CPopupMenuItemList>());
    CPopupMenuItem* large = nullptr;
    CPopupMenuItem* small = nullptr;
    auto walk = manager.CreateEntityId(CVeyEntityId(current.GetKey1(), current.GetKey2(), current.GetKey3(), CVeyEntityId::kWildcard));
    for (; walk->Exists(); walk->MoveNext())
    {
        const CVeyEntityId id = walk->GetMappedKey();
        const int32_t number = id.GetNumber();
        if (!large || number % 1024 == 0)
        {
            large = &AppendSubMenu(*root.GetSubItems(), DivisionTitle(number));
            small = nullptr;
        }
        if (!small || number % 32 == 0)
            small = &AppendSubMenu(*large->GetSubItems(), DivisionTitle(number));
        small->GetSubItems()->push_back(std::make_unique<CPopupMenuItem>(PrintEntity(number, walk->GetInformation().GetName())));
        ids[small->GetSubItems()->back().get()] = id;
    }
    CPopupMenuItem::Fold(root);
    menu.items = std::move(*root.GetSubItems());
    CollectLeaves(menu.items, ids, menu.leaves);
    return menu;
}

CEntitySelector::CMenu CEntitySelector::BuildMfxTypeMenu()
{
    CMenu menu;
    CVeyEntityManager& manager = CInstrumentEntities::GetInstance().GetManager();
    const CVeyStringTable* titles = CVeyResourceManager::GetInstance().GetStringTables().Find("mfxCategoryTable");
    std::map<const CPopupMenuItem*, CVeyEntityId> ids;
    // One sub-menu per category, in category order; a category the table does not name (or names
    // with an empty title, which the menu would turn into a separator) is titled by its number.
    std::map<int, CPopupMenuItem*> categories;
    CPopupMenuItemList byCategory;
    std::vector<std::pair<int, std::unique_ptr<CPopupMenuItem>>> built;
    auto walk = manager.CreateEntityId(CVeyEntityId(kMfxTypeEntity, -2, -2, -2));
    for (; walk->Exists(); walk->MoveNext())
    {
        const CVeyEntityId id = walk->GetMappedKey();
        const int category = walk->GetInformation().GetCategory();
        CPopupMenuItem*& sub = categories[category];
        if (!sub)
        {
            const std::string* title = titles ? titles->GetAt(category) : nullptr;
            std::string text;
            if (title && !title->empty())
                text = *title;
            else
                GT::Format(text, "Category %d", category);
            built.emplace_back(category, std::make_unique<CPopupMenuItem>(text, std::make_unique<CPopupMenuItemList>()));
            sub = built.back().second.get();
        }
        sub->GetSubItems()->push_back(std::make_unique<CPopupMenuItem>(PrintEntity(id.GetNumber(), walk->GetInformation().GetName())));
        ids[sub->GetSubItems()->back().get()] = id;
    }
    std::stable_sort(built.begin(), built.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& entry : built)
        menu.items.push_back(std::move(entry.second));
    CollectLeaves(menu.items, ids, menu.leaves);
    return menu;
}

CVeyEntityId CEntitySelector::TrackWaveMenu(const CVeyEntityId& current, int32_t /*count*/)
{
    CInstrumentEntities::GetInstance().EnsureSetUp();
    CMenu menu;
    {
        UL::CWaitCursor wait;
        menu = BuildWaveMenu(current);
    }
    if (menu.leaves.empty())
        return CVeyEntityId();
    const int32_t chosen = UL::GetPopupMenu().TrackIndex(menu.items, menu.IndexOf(current), nullptr);
    return chosen >= 0 && size_t(chosen) < menu.leaves.size() ? menu.leaves[size_t(chosen)] : CVeyEntityId();
}

bool CEntitySelector::TrackMfxTypeMenu(CVeyValue* value)
{
    if (!value)
        return false;
    CInstrumentEntities::GetInstance().EnsureSetUp();
    CMenu menu;
    {
        UL::CWaitCursor wait;
        menu = BuildMfxTypeMenu();
    }
    const int32_t current = menu.IndexOf(CVeyEntityId(kMfxTypeEntity, 1, 0, value->GetNumber()));
    const int32_t chosen = UL::GetPopupMenu().TrackIndex(menu.items, current, nullptr);
    if (chosen < 0 || size_t(chosen) >= menu.leaves.size())
        return false;
    UL::CWaitCursor wait;
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.SetValue(value, menu.leaves[size_t(chosen)].GetNumber());
    buffers.Flush();
    buffers.UpdateViews();
    buffers.ClearChanges();
    return true;
}
