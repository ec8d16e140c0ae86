#include "ui/menus/CVeyEntitySelectionPopupMenuUtility.h"

#include "toolkit/gt/Format.h"

#include <algorithm>

namespace
{
const CVeyEntityId kNoEntity(CVeyEntityId::kWildcard, CVeyEntityId::kWildcard, CVeyEntityId::kWildcard,
                             CVeyEntityId::kWildcard);
}

using CUtility = CVeyEntitySelectionPopupMenuUtility;

CUtility::IItemCreator::CCreation CUtility::CEntityItemCreator::Create(const IMenuItemSource& source)
{
    m_ids.push_back(source.GetEntityId());
    CCreation creation;
    creation.created = std::make_unique<UL::CPopupMenuItem>(m_printer->Print(source));
    return creation;
}

CUtility::CCategorizedEntityItemCreator::CCategorizedEntityItemCreator(int32_t categoryCount,
                                                                       std::unique_ptr<IPrinter> printer)
    : m_ids(static_cast<size_t>(std::max(0, categoryCount))), m_printer(std::move(printer))
{
}

CUtility::IItemCreator::CCreation CUtility::CCategorizedEntityItemCreator::Create(const IMenuItemSource& source)
{
    const int32_t category = source.GetCategory();
    if (category >= 0 && static_cast<size_t>(category) < m_ids.size())
        m_ids[static_cast<size_t>(category)].push_back(source.GetEntityId());
    CCreation creation;
    creation.created = std::make_unique<UL::CPopupMenuItem>(m_printer->Print(source));
    return creation;
}

CUtility::IItemCreator::CCreation CUtility::CCategoryItemCreator::Create(const IMenuItemSource& source)
{
    CCreation creation;
    const int32_t category = source.GetCategory();
    const auto found = m_items.find(category);
    if (found != m_items.end())
    {
        creation.known = found->second;
        return creation;
    }
    creation.created = std::make_unique<UL::CPopupMenuItem>(m_printer->Print(source));
    m_items[category] = creation.created.get();
    return creation;
}

CUtility::IItemCreator::CCreation CUtility::CDivisionItemCreator::Create(const IMenuItemSource& source)
{
    CCreation creation;
    const int32_t number = source.GetEntityId().GetNumber();
    if (m_divisionSize < 1 || number % m_divisionSize != 0)
        return creation;
    std::string title;
    GT::Format(title, "%3lld...", static_cast<long long>(int64_t{m_numberOffset} + number));
    creation.created = std::make_unique<UL::CPopupMenuItem>(title);
    return creation;
}

CVeyEntityId CUtility::GetEntityAt(const CEntityItemCreator& creator, int32_t index)
{
    const std::vector<CVeyEntityId>& ids = creator.GetEntityIds();
    if (index < 0 || static_cast<size_t>(index) >= ids.size())
        return kNoEntity;
    return ids[static_cast<size_t>(index)];
}

int32_t CUtility::FindEntityIndex(const CEntityItemCreator& creator, const CVeyEntityId& id)
{
    const std::vector<CVeyEntityId>& ids = creator.GetEntityIds();
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == id)
            return static_cast<int32_t>(i);
    return -1;
}

CVeyEntityId CUtility::GetCategorizedEntityAt(const CCategorizedEntityItemCreator& creator, int32_t index)
{
    if (index < 0)
        return kNoEntity;
    size_t rest = static_cast<size_t>(index);
    for (const std::vector<CVeyEntityId>& ids : creator.GetCategoryIds())
    {
        if (rest < ids.size())
            return ids[rest];
        rest -= ids.size();
    }
    return kNoEntity;
}

int32_t CUtility::FindCategorizedEntityIndex(const CCategorizedEntityItemCreator& creator, const CVeyEntityId& id)
{
    int32_t position = 0;
    for (const std::vector<CVeyEntityId>& ids : creator.GetCategoryIds())
        for (const CVeyEntityId& known : ids)
        {
            if (known == id)
                return position;
            ++position;
        }
    return -1;
}
