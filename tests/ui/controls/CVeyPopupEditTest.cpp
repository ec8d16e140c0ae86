#include "ViewTestSupport.h"

#include "tests/toolkit/ul/InteractiveTestSupport.h"
#include "ui/controls/CVeyPopupEdit.h"

#include <gtest/gtest.h>

namespace
{
// A root view shown in a real window: client coordinates are the window's.
class CWindowView : public CTestParentView
{
public:
    explicit CWindowView(CWnd& window) : m_window(window) {}
    CPoint& ClientToScreen(CPoint& out, const CPoint& point) const override
    {
        POINT screen = point;
        m_window.ClientToScreen(&screen);
        return out = CPoint(screen.x, screen.y);
    }

private:
    CWnd& m_window;
};

class ModalPopupEdit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.CreateEx(0, "Panel", WS_CAPTION | WS_VISIBLE, CRect(50, 60, 450, 360), nullptr));
        window.SetActiveWindow();
    }
    void TearDown() override { window.DestroyWindow(); }

    bool Run(std::vector<std::function<void()>> steps, std::string& result, const std::string& current)
    {
        for (auto& step : steps)
            actions.Post(std::move(step));
        actions.PostEndEverything();
        return CModalPopupEdit::GetInstance().Run(view, CRect(10, 20, 70, 40), result, current, nullptr);
    }

    CWnd window;
    CWindowView view{window};
    UlTest::CPostedActions actions;
};
}

TEST_F(ModalPopupEdit, CommitsOrCancels)
{
    const struct
    {
        const char* name;
        std::vector<std::function<void()>> steps;
        const char* current;
        bool committed;
        std::string result;
    } cases[] = {
        {"typing replaces the selected text", {[] { UiDriver::TypeText("42"); }, [] { UiDriver::PressKey(VK_RETURN); }},
         "17", true, "42"},
        {"escape cancels", {[] { UiDriver::TypeText("42"); }, [] { UiDriver::PressKey(VK_ESCAPE); }}, "17", false, "unchanged"},
        {"right click elsewhere cancels", {[] { UiDriver::TypeText("5"); }, [this] { UiDriver::Click(window, POINT{5, 5}, true); }},
         "17", false, "unchanged"},
        {"left click elsewhere commits", {[] { UiDriver::TypeText("5"); }, [this] { UiDriver::Click(window, POINT{5, 5}); }},
         "17", true, "5"},
        {"switching away cancels", {[] { UiDriver::DeactivateApplication(); }}, "17", false, "unchanged"},
        {"a text value shows up to its first zero byte", {[] { UiDriver::PressKey(VK_RETURN); }}, "AB\0\0", true, "AB"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::string result = "unchanged";
        const std::string current = std::string(c.current, std::string(c.name).find("zero") != std::string::npos ? 4 : 2);
        EXPECT_EQ(Run(c.steps, result, current), c.committed);
        EXPECT_EQ(result, c.result);
        EXPECT_TRUE(window.IsWindowEnabled());
        window.SetActiveWindow();
    }
}

TEST_F(ModalPopupEdit, OpensAtTheRectangleMappedToTheScreen)
{
    CRect shown;
    std::string result;
    Run({[&] {
             for (CWnd* top : CWnd::GetTopLevelWindows())
                 if (top != &window && top->IsWindowVisible())
                     top->GetWindowRect(&shown);
         },
         [] { UiDriver::PressKey(VK_ESCAPE); }},
        result, "x");
    POINT origin{10, 20};
    window.ClientToScreen(&origin);
    EXPECT_EQ(shown.TopLeft(), CPoint(origin.x, origin.y));
    EXPECT_GE(shown.Width(), 60);
}
