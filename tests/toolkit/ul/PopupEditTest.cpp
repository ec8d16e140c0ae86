#include "toolkit/ul/PopupEdit.h"

#include "InteractiveTestSupport.h"

#include "platform/Controls.h"
#include "platform/Gdi.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
// The program's window behind the edit: counts the clicks that reach it.
class CClickCounter : public CWnd
{
public:
    int clicks = 0;

protected:
    void OnLButtonDown(UINT, CPoint) override { ++clicks; }
    void OnRButtonDown(UINT, CPoint) override { ++clicks; }
    void OnPaint() override
    {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
        dc.SelectObject(GetDefaultGuiFont());
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(70, 80, "Filter cutoff:");
    }
};

class PopupEdit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(main.CreateEx(0, "Main", WS_CAPTION | WS_VISIBLE, CRect(0, 0, 400, 300), nullptr));
        main.SetActiveWindow();
    }

    // Runs an edit over "start" (all selected) while `steps` run inside its loop.
    bool RunEdit(std::vector<std::function<void()>> steps, std::string& text, DWORD align = ES_LEFT)
    {
        for (auto& step : steps)
            actions.Post(step);
        actions.PostEndEverything();
        UL::CPopupEdit edit;
        edit.SetAlignment(align);
        current = &edit;
        const bool committed = edit.Edit(CRect(100, 100, 160, 120), text, "start", 0, -1, nullptr);
        current = nullptr;
        return committed;
    }

    CClickCounter main;
    CClickCounter late;
    UlTest::CPostedActions actions;
    UL::CPopupEdit* current = nullptr;
};

std::function<void()> Type(const std::string& text)
{
    return [text] { UiDriver::TypeText(text); };
}
std::function<void()> Key(UINT vk, UINT modifiers = 0)
{
    return [vk, modifiers] { UiDriver::PressKey(vk, modifiers); };
}
}

// Every way an edit ends, with what the caller gets back.
TEST_F(PopupEdit, EndsOnEnterEscapeClicksAndDeactivation)
{
    struct Case
    {
        const char* name;
        std::function<std::vector<std::function<void()>>(CClickCounter&, CClickCounter&)> steps;
        bool committed;
        std::string text;
        int clicksReachingMain;
    } cases[] = {
        {"enter commits", [](CClickCounter&, CClickCounter&) { return std::vector<std::function<void()>>{Type("abc"), Key(VK_RETURN)}; },
         true, "abc", 0},
        {"escape cancels and still returns the typed text",
         [](CClickCounter&, CClickCounter&) { return std::vector<std::function<void()>>{Type("abc"), Key(VK_ESCAPE)}; }, false, "abc", 0},
        {"left click elsewhere commits and is swallowed",
         [](CClickCounter& m, CClickCounter&) {
             return std::vector<std::function<void()>>{Type("x1"), [&m] { UiDriver::Click(m, POINT{10, 10}); }};
         },
         true, "x1", 0},
        {"right click elsewhere cancels and is swallowed",
         [](CClickCounter& m, CClickCounter&) {
             return std::vector<std::function<void()>>{Type("x2"), [&m] { UiDriver::Click(m, POINT{10, 10}, true); }};
         },
         false, "x2", 0},
        {"left click on a window frame commits",
         [](CClickCounter& m, CClickCounter&) {
             return std::vector<std::function<void()>>{Type("x3"), [&m] { UiDriver::ClickFrame(m); }};
         },
         true, "x3", 0},
        {"switching to another program cancels",
         [](CClickCounter&, CClickCounter&) {
             return std::vector<std::function<void()>>{Type("x4"), [] { UiDriver::DeactivateApplication(); }};
         },
         false, "x4", 0},
        {"a click on a window that opened meanwhile commits and never reaches it",
         [](CClickCounter& m, CClickCounter& late) {
             return std::vector<std::function<void()>>{Type("x5"), [&m, &late] {
                 // Windows that open during the edit are not disabled: the hook alone stops the click.
                 late.CreateEx(0, "Late", WS_CAPTION | WS_VISIBLE, CRect(450, 0, 600, 100), nullptr);
                 UiDriver::Click(late, POINT{10, 10});
                 m.clicks = late.clicks;
                 late.DestroyWindow();
             }};
         },
         true, "x5", 0},
        {"Alt combinations are swallowed",
         [](CClickCounter&, CClickCounter&) {
             return std::vector<std::function<void()>>{Type("k"), Key('F', UiDriver::MK_ALT), Key(VK_RETURN)};
         },
         true, "k", 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        main.clicks = 0;
        std::string text;
        EXPECT_EQ(RunEdit(c.steps(main, late), text), c.committed);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(main.clicks, c.clicksReachingMain);
        EXPECT_FALSE(UL::CMouseHookManager::Instance().IsHookInstalled()) << "the hook goes with the last edit";
        EXPECT_TRUE(main.IsWindowEnabled()) << "the program's window is enabled again";
    }
}

TEST_F(PopupEdit, ClickInsideTheEditAndInAComboDropDownDoNotEndIt)
{
    // A panel that opened during the edit (so it is not disabled) holds the combo box.
    CWnd panel;
    CComboBox combo;
    // Neither click ends the edit, so the Escape that follows decides: a cancel.
    std::string text;
    const bool committed = RunEdit({Type("in"),
                                    [&] { UiDriver::Click(*current, POINT{3, 3}); },
                                    [&] {
                                        panel.CreateEx(0, "Panel", WS_CAPTION | WS_VISIBLE, CRect(450, 0, 650, 100), nullptr);
                                        combo.Create(WS_VISIBLE, CRect(10, 10, 150, 34), &panel, 50);
                                        combo.AddString("one");
                                        combo.AddString("two");
                                        EXPECT_TRUE(UiDriver::ClickComboDropDown(combo));
                                    },
                                    Key(VK_ESCAPE)},
                                   text);
    EXPECT_FALSE(committed);
    EXPECT_EQ(text, "in");
    EXPECT_EQ(combo.GetCurSel(), 0) << "the click reached the list";
}

TEST_F(PopupEdit, GrowsWithItsTextAndNeverBelowTheInitialRectangle)
{
    const std::string longText(40, 'W');
    struct Case
    {
        const char* name;
        DWORD align;
    } cases[] = {{"left-aligned grows right", ES_LEFT}, {"right-aligned grows left", ES_RIGHT}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CRect grown, shrunk;
        std::string text;
        RunEdit({Type(longText), [&] { current->GetWindowRect(&grown); },
                 [&] {
                     for (size_t i = 0; i < longText.size(); ++i)
                         UiDriver::PressKey(VK_BACK);
                 },
                 [&] { current->GetWindowRect(&shrunk); }, Key(VK_RETURN)},
                text, c.align);
        EXPECT_EQ(text, "");
        EXPECT_GT(grown.Width(), 60);
        if (c.align == ES_RIGHT)
        {
            EXPECT_EQ(grown.right, 160) << "keeps its right edge";
            EXPECT_LT(grown.left, 100);
        }
        else
        {
            EXPECT_EQ(grown.left, 100) << "keeps its left edge";
            EXPECT_GT(grown.right, 160);
        }
        EXPECT_EQ(shrunk, CRect(100, 100, 160, 120)) << "deleting the text never makes it smaller than at first";
    }
}

TEST_F(PopupEdit, TwoEditsInTurnShareOneHook)
{
    size_t handlersDuringFirst = 0, handlersDuringSecond = 0;
    bool hookDuringSecond = false;
    std::string text;
    RunEdit({[&] { handlersDuringFirst = UL::CMouseHookManager::Instance().GetHandlerCount(); }, Key(VK_RETURN)}, text);
    RunEdit({[&] {
                 handlersDuringSecond = UL::CMouseHookManager::Instance().GetHandlerCount();
                 hookDuringSecond = UL::CMouseHookManager::Instance().IsHookInstalled();
             },
             Key(VK_ESCAPE)},
            text);
    EXPECT_EQ(handlersDuringFirst, 1u);
    EXPECT_EQ(handlersDuringSecond, 1u);
    EXPECT_TRUE(hookDuringSecond);
    EXPECT_FALSE(UL::CMouseHookManager::Instance().IsHookInstalled());
}

TEST_F(PopupEdit, Screenshot)
{
    bool saved = false;
    std::string text;
    RunEdit({Type("Cutoff 64"),
             [&] {
                 saved = UiDriver::SaveScreenPicture(UlTest::ScreenshotPath("popup-edit.png"), RECT{40, 60, 300, 160}) != FALSE;
             },
             Key(VK_RETURN)},
            text);
    EXPECT_TRUE(saved);
    EXPECT_EQ(text, "Cutoff 64");
}
