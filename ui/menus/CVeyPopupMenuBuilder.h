#pragma once
// Turns a sequence of values into a popup menu tree through a stack of item creators: creator 0
// makes the leaves, each outer creator opens the sub-menu (division, category) that the following
// leaves go into. A sub-menu is opened by the first value that belongs to it.
#include "toolkit/gt/Iterator.h"
#include "toolkit/ul/PopupMenu.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

template <class T>
class CVeyPopupMenuBuilder
{
public:
    class IItemCreator
    {
    public:
        class IPrinter
        {
        public:
            virtual ~IPrinter() = default;
            virtual std::string Print(T value) = 0;
        };

        // What a creator answers for one value: a new item for the tree, an item it made before
        // (which becomes the level's current item again), or neither (the level is skipped).
        struct CCreation
        {
            std::unique_ptr<UL::CPopupMenuItem> created;
            UL::CPopupMenuItem* known = nullptr;
        };

        virtual ~IItemCreator() = default;
        virtual CCreation Create(T value) = 0;
    };

    // `creators` (borrowed), innermost level first.
    explicit CVeyPopupMenuBuilder(std::vector<IItemCreator*> creators)
        : m_creators(std::move(creators)), m_current(m_creators.size(), nullptr)
    {
    }

    // Appends the items of every value to the root's sub-item list.
    void Build(UL::CPopupMenuItem& root, GT::IIterator<T>& values)
    {
        while (values.HasNext())
        {
            T value = values.Next();
            for (size_t level = m_creators.size(); level-- > 0;)
            {
                typename IItemCreator::CCreation creation = m_creators[level]->Create(value);
                if (creation.created)
                {
                    UL::CPopupMenuItem* parent =
                        level + 1 < m_creators.size() && m_current[level + 1] ? m_current[level + 1] : &root;
                    m_current[level] = Append(*parent, std::move(creation.created));
                }
                else if (creation.known)
                    m_current[level] = creation.known;
            }
        }
    }

    static UL::CPopupMenuItem* Append(UL::CPopupMenuItem& parent, std::unique_ptr<UL::CPopupMenuItem> item)
    {
        if (!parent.GetSubItems())
            parent.SetSubItems(std::make_unique<UL::CPopupMenuItemList>());
        parent.GetSubItems()->push_back(std::move(item));
        return parent.GetSubItems()->back().get();
    }

private:
    std::vector<IItemCreator*> m_creators;
    std::vector<UL::CPopupMenuItem*> m_current;
};
