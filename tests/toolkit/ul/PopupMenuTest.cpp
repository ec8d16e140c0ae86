#include "toolkit/ul/PopupMenu.h"

#include "InteractiveTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using UL::CMenuPath;
using UL::CPopupMenu;
using UL::CPopupMenuItem;
using UL::CPopupMenuItemList;

namespace
{
std::unique_ptr<CPopupMenuItem> Leaf(const std::string& text) { return std::make_unique<CPopupMenuItem>(text); }

std::unique_ptr<CPopupMenuItem> Sub(const std::string& text, std::vector<std::unique_ptr<CPopupMenuItem>> children)
{
    auto list = std::make_unique<CPopupMenuItemList>();
    for (auto& child : children)
        list->push_back(std::move(child));
    return std::make_unique<CPopupMenuItem>(text, std::move(list));
}

template <class... T>
std::vector<std::unique_ptr<CPopupMenuItem>> Items(T... items)
{
    std::vector<std::unique_ptr<CPopupMenuItem>> list;
    (list.push_back(std::move(items)), ...);
    return list;
}

// File-menu shape: a separator before selectable leaves, and a sub-menu with one inside.
CPopupMenuItemList FileMenu()
{
    CPopupMenuItemList items;
    items.push_back(Leaf("Open"));
    items.push_back(Leaf(""));
    items.push_back(Leaf("Save"));
    items.push_back(Sub("Export", Items(Leaf("SMF"), Leaf(""), Leaf("Text"))));
    items.push_back(Leaf("Quit"));
    return items;
}
}

// Index and path must name the same entry in both directions; separators take no number.
TEST(PopupMenuNumbering, IndexAndPathAgreeAcrossSeparators)
{
    const CPopupMenuItemList items = FileMenu();
    struct Case
    {
        const char* name;
        int32_t index;
        CMenuPath path;
    } cases[] = {
        {"first leaf", 0, {0}},
        {"leaf after a separator", 1, {2}},
        {"first leaf of a sub-menu", 2, {3, 0}},
        {"sub-menu leaf after a separator", 3, {3, 2}},
        {"leaf after a sub-menu", 4, {4}},
        {"beyond the last leaf", 5, {}},
        {"negative", -1, {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CPopupMenu::IndexToPath(items, c.index), c.path);
        if (!c.path.empty())
        {
            EXPECT_EQ(CPopupMenu::PathToIndex(items, c.path), c.index);
        }
    }
    EXPECT_EQ(CPopupMenu::PathToIndex(items, {1}), -1) << "a separator has no number";
    EXPECT_EQ(CPopupMenu::PathToIndex(items, {3}), -1) << "a sub-menu has no number";
    EXPECT_EQ(CPopupMenu::PathToIndex(items, {9}), -1);
}

TEST(PopupMenuItem, FoldTakesOverSingleSubMenuChains)
{
    // Top -> Only -> Inner -> [a, b, c] folds to Top -> [a, b, c]; a single leaf child stays.
    auto top = Sub("Top", Items(Sub("Only", Items(Sub("Inner", Items(Leaf("a"), Leaf("b"), Leaf("c")))))));
    auto keep = Sub("Keep", Items(Leaf("single")));
    CPopupMenuItem::Fold(*top);
    CPopupMenuItem::Fold(*keep);
    ASSERT_NE(top->GetSubItems(), nullptr);
    ASSERT_EQ(top->GetSubItems()->size(), 3u);
    EXPECT_EQ(top->GetText(), "Top");
    EXPECT_EQ((*top->GetSubItems())[2]->GetText(), "c");
    ASSERT_EQ(keep->GetSubItems()->size(), 1u);
    EXPECT_EQ((*keep->GetSubItems())[0]->GetText(), "single");
}

TEST(PopupMenuItem, EnableOnlyChangesLeavesAndSubItemsEnable)
{
    auto leaf = Leaf("x");
    leaf->Enable(false);
    EXPECT_FALSE(leaf->IsEnabled());
    leaf->SetSubItems(std::make_unique<CPopupMenuItemList>());
    EXPECT_TRUE(leaf->IsEnabled()) << "a disabled leaf that gets sub-items becomes an enabled sub-menu";
    leaf->Enable(false);
    EXPECT_TRUE(leaf->IsEnabled()) << "a sub-menu's flag cannot be changed by Enable";
}

class PopupMenuTrack : public ::testing::Test
{
protected:
    UlTest::CPostedActions actions;
    const POINT at{40, 40};
};

TEST_F(PopupMenuTrack, ReturnsChosenLeafAndMarksTheCurrentPath)
{
    CPopupMenuItemList items = FileMenu();
    CMenuPath path{3, 2};
    std::vector<std::string> top;
    actions.Post([&] {
        top = UiDriver::DescribePopupMenu();
        UiDriver::ClosePopupMenus();
    });
    actions.PostEndEverything();
    EXPECT_EQ(UL::GetPopupMenu().Track(items, path, &at), -1);
    EXPECT_EQ(path, (CMenuPath{3, 2})) << "cancelling leaves the caller's path";
    EXPECT_EQ(top, (std::vector<std::string>{"Open", "-", "Save", "*Export>", "Quit"}));

    actions.Post([&] {
        EXPECT_TRUE(UiDriver::ChoosePopupMenuItem({2}));
    });
    actions.PostEndEverything();
    EXPECT_EQ(UL::GetPopupMenu().Track(items, path, &at), 1);
    EXPECT_EQ(path, (CMenuPath{2})) << "the path names Save, not the separator before it";

    actions.Post([&] {
        EXPECT_TRUE(UiDriver::ChoosePopupMenuItem({3, 2}));
    });
    actions.PostEndEverything();
    EXPECT_EQ(UL::GetPopupMenu().TrackIndex(items, 0, &at), 3);
    EXPECT_EQ(UL::CPopupMenu::IndexToPath(items, 3), (CMenuPath{3, 2}));
}

TEST_F(PopupMenuTrack, SubMenuMarkFollowsThePathAndTheIndexRoundTrips)
{
    CPopupMenuItemList items = FileMenu();
    std::vector<std::string> sub;
    // Choose "Text" once, then show again with the returned index: the mark is on "Text".
    actions.Post([&] { EXPECT_TRUE(UiDriver::ChoosePopupMenuItem({3, 2})); });
    actions.PostEndEverything();
    const int32_t chosen = UL::GetPopupMenu().TrackIndex(items, -1, &at);
    ASSERT_EQ(chosen, 3);
    actions.Post([&] { sub = UiDriver::DescribePopupMenu({3}); });
    actions.PostEndEverything();
    EXPECT_EQ(UL::GetPopupMenu().TrackIndex(items, chosen, &at), -1);
    EXPECT_EQ(sub, (std::vector<std::string>{"SMF", "-", "*Text"}));
}

TEST_F(PopupMenuTrack, AmpersandsAndGreyedLeaves)
{
    CPopupMenuItemList items;
    items.push_back(Leaf("Bass & Drums"));
    items.push_back(Leaf("Locked"));
    items.back()->Enable(false);
    CMenuPath path;
    std::vector<std::string> shown;
    actions.Post([&] {
        shown = UiDriver::DescribePopupMenu();
        UiDriver::ChoosePopupMenuItem({1});   // greyed: stays open, nothing chosen
    });
    actions.PostEndEverything();
    EXPECT_EQ(UL::GetPopupMenu().Track(items, path, &at), -1);
    EXPECT_EQ(shown, (std::vector<std::string>{"Bass && Drums", "~Locked"})) << "'&' doubled shows one ampersand";
    EXPECT_TRUE(path.empty());

    CPopupMenu literal(true);
    EXPECT_EQ(literal.MenuText("&Save"), "&Save");
    EXPECT_EQ(CPopupMenu().MenuText("A&B&&"), "A&&B&&&&");
}

TEST_F(PopupMenuTrack, ScreenshotWithOpenSubMenu)
{
    CPopupMenuItemList items = FileMenu();
    items[0]->Enable(false);
    CMenuPath path{3, 0};
    bool saved = false;
    actions.Post([&] {
        UiDriver::ChoosePopupMenuItem({3, 0});   // opens the sub-menu on the way
    });
    actions.PostEndEverything();
    // Choosing ends the loop; show again and take the picture with the sub-menu open instead.
    UL::GetPopupMenu().Track(items, path, &at);
    actions.Post([&] {
        // Right arrow on the marked sub-menu entry opens it without choosing.
        UiDriver::PressKey(VK_DOWN);
        UiDriver::PressKey(VK_DOWN);
        UiDriver::PressKey(VK_RIGHT);
        saved = UiDriver::SaveScreenPicture(UlTest::ScreenshotPath("popup-menu.png"), RECT{30, 30, 330, 230}) != FALSE;
    });
    actions.PostEndEverything();
    UL::GetPopupMenu().Track(items, path, &at);
    EXPECT_TRUE(saved);
}
