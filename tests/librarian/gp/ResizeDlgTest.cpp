#include "librarian/gp/DialogResource.h"
#include "librarian/gp/DlgLayout.h"
#include "librarian/gp/ResizeDlg.h"
#include "librarian/gp/Numbers.h"
#include "platform/DialogUnits.h"
#include "platform/WindowPlacement.h"
#include "tests/librarian/gp/GpTestSupport.h"

#include <string>

namespace
{
constexpr UINT kTemplate = 9100;
constexpr UINT kEdit = 100;
constexpr UINT kButton = 101;
constexpr UINT kSharedLabel = 102;   // two labels share it, as labels often do

class CTestDlg : public GP::CResizeDlg
{
public:
    CTestDlg(bool positionKey, bool sizeKey)
        : GP::CResizeDlg(kTemplate, nullptr, true), m_positionKey(positionKey), m_sizeKey(sizeKey)
    {
    }
    std::function<void(CTestDlg&)> onShown;
    CRect ControlRect(UINT id)
    {
        CRect rect;
        GetDlgItem(id)->GetWindowRect(&rect);
        ScreenToClient(&rect);
        return rect;
    }
    using GP::CResizeDlg::GetMinimumSize;
    using GP::CResizeDlg::GetTemplate;

protected:
    // A dialog may leave either key empty, as the window list leaves its size key.
    void GetPositionKey(std::string& section, std::string& entry) override
    {
        if (!m_positionKey)
            return;
        section = "Window";
        entry = "TestPosition";
    }
    void GetSizeKey(std::string& section, std::string& entry) override
    {
        if (!m_sizeKey)
            return;
        section = "Window";
        entry = "TestSize";
    }
    void Layout(int, int) override
    {
        GP::CDlgLayout layout(this, GetTemplate());
        layout.Calculate(kEdit, GP::kAnchorLeft | GP::kAnchorRight);
        layout.Calculate(kButton, GP::kAnchorRight | GP::kAnchorBottom);
    }

private:
    bool m_positionKey;
    bool m_sizeKey;
};

class ResizeDlgTest : public GpTest::CProfileFixture
{
protected:
    void SetUp() override
    {
        GpTest::CProfileFixture::SetUp();
        // Two pixels per dialog unit both ways keeps the expected pixels readable.
        SetDialogBaseUnits(SIZE{8, 16});
        GP::SDialogResource resource;
        resource.caption = "Resize";
        resource.cx = 100;
        resource.cy = 50;
        resource.items = {
            {EDialogControl::Edit, kEdit, "", 5, 5, 40, 10},
            {EDialogControl::Button, kButton, "Go", 60, 30, 30, 10},
            {EDialogControl::Static, kSharedLabel, "One", 5, 20, 20, 8},
            {EDialogControl::Static, kSharedLabel, "Two", 5, 30, 20, 8},
        };
        GP::RegisterDialog(kTemplate, resource);
    }
    void TearDown() override
    {
        SetDialogBaseUnits(SIZE{0, 0});
        GpTest::CProfileFixture::TearDown();
    }

    // Runs the dialog with `check` posted once it shows; returns the window rectangle it had.
    CRect RunDialog(const std::function<void(CTestDlg&)>& check, bool positionKey = true, bool sizeKey = true)
    {
        CTestDlg dialog(positionKey, sizeKey);
        CRect shown;
        GpTest::CPostedActions actions;
        actions.Post([&] {
            dialog.GetWindowRect(&shown);
            check(dialog);
            dialog.EndDialog(IDOK);
        });
        actions.PostEndEverything();
        EXPECT_EQ(IDOK, dialog.DoModal());
        return shown;
    }
};

TEST_F(ResizeDlgTest, GrowingMovesAnchoredControlsAndStoresSizeAndPosition)
{
    CRect final;
    RunDialog([&](CTestDlg& dialog) {
        EXPECT_EQ(CRect(10, 10, 90, 30), dialog.ControlRect(kEdit));
        CRect client;
        dialog.GetClientRect(&client);
        EXPECT_EQ(CSize(200, 100), client.Size());
        dialog.SetWindowPos(nullptr, 40, 30, 300, 150, SWP_NOZORDER);
        EXPECT_EQ(CRect(10, 10, 190, 30), dialog.ControlRect(kEdit));     // stretched by 100
        EXPECT_EQ(CRect(220, 110, 280, 130), dialog.ControlRect(kButton)); // moved by 100 and 50
        const CRect grip = dialog.ControlRect(GP::CResizeDlg::kGripId);
        EXPECT_EQ(CPoint(300, 150), grip.BottomRight());
        dialog.GetWindowRect(&final);
    });
    EXPECT_EQ(GP::Format("%d,%d", final.Width(), final.Height()), GetProfileString("Window", "TestSize"));
    EXPECT_EQ(GP::Format("%d,%d,%d,%d", final.left, final.top, final.right, final.bottom),
              GetProfileString("Window", "TestPosition"));

    // The next time the dialog opens where and as large as it was.
    const CRect reopened = RunDialog([](CTestDlg&) {});
    EXPECT_EQ(final, reopened);
}

TEST_F(ResizeDlgTest, StoredRectanglesAreFittedToScreenAndMinimum)
{
    const CSize minimum = RunDialog([](CTestDlg&) {}).Size();
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    struct Case
    {
        const char* name;
        std::string position;
        CRect expected;
    } cases[] = {
        {"larger than the screen is cut and moved inside", "-500,-400,99999,99999",
         CRect(0, 0, screenWidth, screenHeight)},
        {"beyond the bottom right moves back", GP::Format("%d,%d,%d,%d", screenWidth - 50, screenHeight - 50,
                                                          screenWidth + 250, screenHeight + 150),
         CRect(screenWidth - 300, screenHeight - 200, screenWidth, screenHeight)},
        {"smaller than the minimum is enlarged", "10,20,30,40", CRect(10, 20, 10 + minimum.cx, 20 + minimum.cy)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        WriteProfileString("Window", "TestPosition", c.position);
        WriteProfileString("Window", "TestSize", "garbage");
        EXPECT_EQ(c.expected, RunDialog([](CTestDlg&) {}));
    }

    // Values that do not scan leave the template's size.
    WriteProfileString("Window", "TestPosition", "1,2,x");
    WriteProfileString("Window", "TestSize", "-7,-9");
    EXPECT_EQ(minimum, RunDialog([](CTestDlg&) {}).Size());
}

TEST_F(ResizeDlgTest, EmptyKeysShareTheProfilesUnnamedEntryForTheSize)
{
    const auto grow = [](CTestDlg& dialog) { dialog.SetWindowPos(nullptr, 30, 20, 320, 160, SWP_NOZORDER); };

    // Only a position key: the size goes to the unnamed entry, the rectangle to its own key, and
    // the dialog comes back as it was.
    CRect grown;
    RunDialog([&](CTestDlg& dialog) { grow(dialog); dialog.GetWindowRect(&grown); }, true, false);
    EXPECT_EQ(GP::Format("%d,%d", grown.Width(), grown.Height()), GetProfileString("", ""));
    EXPECT_EQ(GP::Format("%d,%d,%d,%d", grown.left, grown.top, grown.right, grown.bottom),
              GetProfileString("Window", "TestPosition"));
    EXPECT_EQ(grown, RunDialog([](CTestDlg&) {}, true, false));

    // No key at all: the rectangle must not overwrite the size, which would come back as a size
    // made of the old left and top.
    WriteProfileString("", "", "");
    RunDialog([&](CTestDlg& dialog) { grow(dialog); dialog.GetWindowRect(&grown); }, false, false);
    EXPECT_EQ(GP::Format("%d,%d", grown.Width(), grown.Height()), GetProfileString("", ""));
    EXPECT_EQ(grown.Size(), RunDialog([](CTestDlg&) {}, false, false).Size());
}

TEST_F(ResizeDlgTest, ControlsWithoutAUniqueIdAreNotMoved)
{
    RunDialog([](CTestDlg& dialog) {
        GP::CDlgLayout layout(&dialog, dialog.GetTemplate());
        layout.Calculate(kSharedLabel, GP::kAnchorLeft | GP::kAnchorRight);
        layout.Calculate(999, GP::kAnchorRight);
        EXPECT_TRUE(layout.GetQueue().empty());
        layout.Calculate(kEdit, GP::kAnchorRight);
        ASSERT_EQ(1u, layout.GetQueue().size());
        EXPECT_EQ(static_cast<int32_t>(kEdit), layout.GetQueue()[0].id);
    });
}
}
