#include "model/CVeyTable.h"
#include "ui/menus/CVeyEntitySelectionPopupMenuUtility.h"
#include "ui/menus/CVeyStringTablePopupMenuUtility.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using CStrings = CVeyStringTablePopupMenuUtility;
using CEntities = CVeyEntitySelectionPopupMenuUtility;

namespace
{
// The tree as lines: one per item, two blanks of indent per level, ">" behind a sub-menu.
void Outline(const UL::CPopupMenuItemList& items, std::vector<std::string>& lines, const std::string& indent = "")
{
    for (const auto& item : items)
    {
        lines.push_back(indent + item->GetText() + (item->GetSubItems() ? ">" : ""));
        if (item->GetSubItems())
            Outline(*item->GetSubItems(), lines, indent + "  ");
    }
}

std::vector<std::string> Outline(const UL::CPopupMenuItem& root)
{
    std::vector<std::string> lines;
    if (root.GetSubItems())
        Outline(*root.GetSubItems(), lines);
    return lines;
}

class CNumberPrinter : public CStrings::IPrinter
{
public:
    std::string Print(int32_t value) override { return "v" + std::to_string(value); }
};

std::unique_ptr<UL::CPopupMenuItem> BuildDivided(int32_t count, std::unique_ptr<CStrings::IPrinter> titles)
{
    auto root = std::make_unique<UL::CPopupMenuItem>("");
    CStrings::CElementItemCreator elements(std::make_unique<CNumberPrinter>());
    CStrings::CDivisionItemCreator divisions(count, 32, std::move(titles));
    CStrings::CBuilder builder({&elements, &divisions});
    GT::CCountingIterator<int32_t> values(0, count);
    builder.Build(*root, values);
    return root;
}

struct CSource : CEntities::IMenuItemSource
{
    CSource(CVeyEntityId id, std::string name, int32_t category) : id(id), name(std::move(name)), category(category) {}
    CVeyEntityId GetEntityId() const override { return id; }
    std::string GetName() const override { return name; }
    int32_t GetCategory() const override { return category; }
    CVeyEntityId id;
    std::string name;
    int32_t category;
};

class CNamePrinter : public CEntities::IPrinter
{
public:
    std::string Print(const CEntities::IMenuItemSource& source) override { return source.GetName(); }
};

class CSourceIterator : public GT::IIterator<const CEntities::IMenuItemSource&>
{
public:
    explicit CSourceIterator(const std::vector<CSource>& sources) : m_sources(sources) {}
    bool HasNext() const override { return m_next < m_sources.size(); }
    const CEntities::IMenuItemSource& Next() override { return m_sources[m_next++]; }

private:
    const std::vector<CSource>& m_sources;
    size_t m_next = 0;
};
}

TEST(StringTableMenus, DivisionSizes)
{
    const struct
    {
        const char* name;
        int32_t count;
        int32_t maxSize;
        int32_t size;
    } cases[] = {
        {"even split of 100", 100, 32, 25},   {"exact multiple", 64, 32, 32}, {"fits one division", 20, 32, 20},
        {"one more than a division", 33, 32, 17}, {"nothing", 0, 32, 32},  {"size below 1", 5, 0, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CStrings::GetDivisionSize(c.count, c.maxSize), c.size);
    }
    CStrings::CDivisionItemCreator creator(100, 32, std::make_unique<CNumberPrinter>());
    EXPECT_EQ(creator.GetDivisionStarts(), (std::vector<int32_t>{0, 25, 50, 75}));
}

TEST(StringTableMenus, DivisionsOpenAtTheirFirstValueAndNumberLeavesInValueOrder)
{
    auto root = BuildDivided(100, std::make_unique<CStrings::CDivisionItemPrinter>(3, 1));
    const std::vector<std::string> lines = Outline(*root);
    ASSERT_EQ(lines.size(), 104u);
    EXPECT_EQ(lines[0], "  1...>");
    EXPECT_EQ(lines[1], "  v0");
    EXPECT_EQ(lines[26], " 26...>");
    EXPECT_EQ(lines[78], " 76...>");
    // Leaf 30 of the finished menu is value 30, the sixth leaf of the second division.
    EXPECT_EQ(UL::CPopupMenu::IndexToPath(*root->GetSubItems(), 30), (UL::CMenuPath{1, 5}));
    EXPECT_EQ((*(*root->GetSubItems())[1]->GetSubItems())[5]->GetText(), "v30");

    auto small = BuildDivided(20, std::make_unique<CNumberPrinter>());
    UL::CPopupMenuItem::Fold(*small);
    EXPECT_EQ(Outline(*small).front(), "v0") << "one division folds away";
    EXPECT_EQ(Outline(*small).size(), 20u);

    auto empty = BuildDivided(0, std::make_unique<CNumberPrinter>());
    EXPECT_EQ(empty->GetSubItems(), nullptr) << "no values, no sub-items";
}

TEST(StringTableMenus, Printers)
{
    auto table = CVeyStringTable::Create();
    table->Append("Piano");
    table->Append("Organ");
    EXPECT_EQ(CStrings::CDivisionItemPrinter(3, 1).Print(25), " 26...");
    EXPECT_EQ(CStrings::CDivisionItemPrinter(1, 0).Print(7), "7...");
    EXPECT_EQ(CStrings::CDivisionItemPrinter(table.get()).Print(1), "Organ...");
    EXPECT_EQ(CStrings::CElementItemPrinter(table.get()).Print(0), "Piano");
    EXPECT_EQ(CStrings::CElementItemPrinter(table.get()).Print(5), "5") << "never a blank item (a separator)";
    EXPECT_EQ(CStrings::CountDigits(1), 1);
    EXPECT_EQ(CStrings::CountDigits(100), 3);
    EXPECT_EQ(CStrings::CountDigits(99), 2);
}

TEST(EntityMenus, EntityIdsMapBothWays)
{
    const std::vector<CSource> sources = {
        {CVeyEntityId(1, 0, 0, 0), "Saw", 0}, {CVeyEntityId(1, 0, 0, 1), "Square", 0},
        {CVeyEntityId(1, 0, 0, 2), "Sine", 0}, {CVeyEntityId(1, 0, 0, 3), "Noise", 0}};
    UL::CPopupMenuItem root("");
    CEntities::CEntityItemCreator entities(std::make_unique<CNamePrinter>());
    CEntities::CDivisionItemCreator divisions(2, 1);
    CEntities::CBuilder builder({&entities, &divisions});
    CSourceIterator iterator(sources);
    builder.Build(root, iterator);
    EXPECT_EQ(Outline(root), (std::vector<std::string>{"  1...>", "  Saw", "  Square", "  3...>", "  Sine", "  Noise"}));

    EXPECT_EQ(CEntities::GetEntityAt(entities, 2), CVeyEntityId(1, 0, 0, 2));
    const CVeyEntityId none(-2, -2, -2, -2);
    EXPECT_EQ(CEntities::GetEntityAt(entities, -1), none);
    EXPECT_EQ(CEntities::GetEntityAt(entities, 4), none);
    EXPECT_EQ(CEntities::FindEntityIndex(entities, CVeyEntityId(1, 0, 0, 3)), 3);
    for (const CVeyEntityId& differing :
         {CVeyEntityId(2, 0, 0, 3), CVeyEntityId(1, 1, 0, 3), CVeyEntityId(1, 0, 1, 3), CVeyEntityId(1, 0, 0, 4)})
        EXPECT_EQ(CEntities::FindEntityIndex(entities, differing), -1);
}

TEST(EntityMenus, CategoriesOpenInOrderOfFirstAppearance)
{
    const std::vector<CSource> sources = {
        {CVeyEntityId(0, 0, 0, 0), "Strings", 3}, {CVeyEntityId(0, 0, 0, 1), "Bass", 1},
        {CVeyEntityId(0, 0, 0, 2), "Cello", 3}, {CVeyEntityId(0, 0, 0, 3), "Lost", 9}};
    UL::CPopupMenuItem root("");
    CEntities::CCategorizedEntityItemCreator entities(4, std::make_unique<CNamePrinter>());
    CEntities::CCategoryItemCreator categories(std::make_unique<CNamePrinter>());
    CEntities::CBuilder builder({&entities, &categories});
    CSourceIterator iterator(sources);
    builder.Build(root, iterator);
    EXPECT_EQ(Outline(root),
              (std::vector<std::string>{"Strings>", "  Strings", "  Cello", "Bass>", "  Bass", "Lost>", "  Lost"}));

    // Mapping counts through the categories in number order: Bass, Strings, Cello.
    EXPECT_EQ(CEntities::GetCategorizedEntityAt(entities, 0), CVeyEntityId(0, 0, 0, 1));
    EXPECT_EQ(CEntities::GetCategorizedEntityAt(entities, 2), CVeyEntityId(0, 0, 0, 2));
    EXPECT_EQ(CEntities::GetCategorizedEntityAt(entities, 3), CVeyEntityId(-2, -2, -2, -2))
        << "a category beyond the count has no place in the mapping";
    EXPECT_EQ(CEntities::FindCategorizedEntityIndex(entities, CVeyEntityId(0, 0, 0, 0)), 1);
    EXPECT_EQ(CEntities::FindCategorizedEntityIndex(entities, CVeyEntityId(0, 0, 0, 3)), -1);
}
