#pragma once
// Creators for menus over entities of the entity manager (waves, effect types): leaves that record
// the entity id of each item so that a chosen leaf number maps back to an entity, numbered
// divisions, and category sub-menus.
#include "model/CVeyEntityManager.h"
#include "ui/menus/CVeyPopupMenuBuilder.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CVeyEntitySelectionPopupMenuUtility
{
public:
    // One entity as the menu sees it; the application implements it.
    class IMenuItemSource
    {
    public:
        virtual ~IMenuItemSource() = default;
        virtual CVeyEntityId GetEntityId() const = 0;
        virtual std::string GetName() const = 0;
        virtual int32_t GetCategory() const = 0;
        virtual int32_t GetUserData() const { return 0; }
    };

    using CBuilder = CVeyPopupMenuBuilder<const IMenuItemSource&>;
    using IItemCreator = CBuilder::IItemCreator;
    using IPrinter = IItemCreator::IPrinter;

    // One leaf per entity, in the order the entities come.
    class CEntityItemCreator : public IItemCreator
    {
    public:
        explicit CEntityItemCreator(std::unique_ptr<IPrinter> printer) : m_printer(std::move(printer)) {}
        CCreation Create(const IMenuItemSource& source) override;
        const std::vector<CVeyEntityId>& GetEntityIds() const { return m_ids; }

    private:
        std::vector<CVeyEntityId> m_ids;
        std::unique_ptr<IPrinter> m_printer;
    };

    // One leaf per entity; the ids are kept per category, for categories 0 .. count - 1. An entity
    // of a category outside that range still gets its item but no place in the mapping.
    class CCategorizedEntityItemCreator : public IItemCreator
    {
    public:
        CCategorizedEntityItemCreator(int32_t categoryCount, std::unique_ptr<IPrinter> printer);
        CCreation Create(const IMenuItemSource& source) override;
        const std::vector<std::vector<CVeyEntityId>>& GetCategoryIds() const { return m_ids; }

    private:
        std::vector<std::vector<CVeyEntityId>> m_ids;
        std::unique_ptr<IPrinter> m_printer;
    };

    // A sub-menu per category, titled by the first entity of the category.
    class CCategoryItemCreator : public IItemCreator
    {
    public:
        explicit CCategoryItemCreator(std::unique_ptr<IPrinter> printer) : m_printer(std::move(printer)) {}
        CCreation Create(const IMenuItemSource& source) override;

    private:
        std::map<int32_t, UL::CPopupMenuItem*> m_items;   // owned by the menu tree
        std::unique_ptr<IPrinter> m_printer;
    };

    // A division at every entity whose number is a multiple of the division size, titled
    // (offset + number) right-aligned in three characters and "...".
    class CDivisionItemCreator : public IItemCreator
    {
    public:
        CDivisionItemCreator(int32_t divisionSize, int32_t numberOffset)
            : m_divisionSize(divisionSize), m_numberOffset(numberOffset)
        {
        }
        CCreation Create(const IMenuItemSource& source) override;

    private:
        int32_t m_divisionSize;
        int32_t m_numberOffset;
    };

    // The id at that leaf number; every field -2 when there is none.
    static CVeyEntityId GetEntityAt(const CEntityItemCreator& creator, int32_t index);
    // The leaf number of the first id equal in all four fields; -1 when absent.
    static int32_t FindEntityIndex(const CEntityItemCreator& creator, const CVeyEntityId& id);
    // The same counted through the category lists in category-number order.
    static CVeyEntityId GetCategorizedEntityAt(const CCategorizedEntityItemCreator& creator, int32_t index);
    static int32_t FindCategorizedEntityIndex(const CCategorizedEntityItemCreator& creator, const CVeyEntityId& id);
};
