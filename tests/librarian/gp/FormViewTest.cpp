#include "librarian/gp/DialogResource.h"
#include "librarian/gp/DlgLayout.h"
#include "librarian/gp/FormViewEx.h"
#include "librarian/gp/MDIChildWndEx.h"
#include "librarian/gp/MDIFrameWndEx.h"
#include "platform/DialogUnits.h"
#include "platform/WinApp.h"
#include "tests/librarian/gp/GpTestSupport.h"

#include <memory>
#include <vector>

namespace
{
constexpr UINT kForm = 9200;
constexpr UINT kList = 100;

class CRecordingFrame : public GP::CMDIFrameWndEx
{
public:
    std::vector<WPARAM> commands;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            commands.push_back(wParam);
        return GP::CMDIFrameWndEx::WindowProc(message, wParam, lParam);
    }
};

class CTestView : public GP::CFormViewEx
{
public:
    CTestView() : GP::CFormViewEx(kForm) {}
    int layouts = 0;
    CRect ControlRect(UINT id)
    {
        CRect rect;
        GetDlgItem(id)->GetWindowRect(&rect);
        ScreenToClient(&rect);
        return rect;
    }
    void Layout(int, int) override
    {
        ++layouts;
        GP::CDlgLayout layout(this, GetTemplate());
        layout.Calculate(kList, 0x0F);
    }
};

class FormViewTest : public GpTest::CProfileFixture
{
protected:
    void SetUp() override
    {
        GpTest::CProfileFixture::SetUp();
        SetDialogBaseUnits(SIZE{8, 16});
        GP::SDialogResource form;
        form.cx = 100;
        form.cy = 50;
        form.items = {{EDialogControl::Edit, kList, "", 5, 5, 40, 10}};
        GP::RegisterDialog(kForm, form);
        m_frame.Create("Main", CRect(0, 0, 700, 500));
        m_frame.ShowWindow(SW_SHOW);
        m_app.m_pMainWnd = &m_frame;
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        m_view.reset();
        m_child.reset();
        m_frame.DestroyWindow();
        PumpAllMessages();
        GP::ChildPlacementMode = 0;
        SetDialogBaseUnits(SIZE{0, 0});
        GpTest::CProfileFixture::TearDown();
    }

    CTestView& OpenView()
    {
        m_child = std::make_unique<GP::CMDIChildWndEx>(1);
        EXPECT_TRUE(m_child->Create("Form", &m_frame));
        m_view = std::make_unique<CTestView>();
        EXPECT_TRUE(m_view->Create(m_child.get()));
        m_view->OnInitialUpdate();
        PumpAllMessages();
        return *m_view;
    }

    CWinApp m_app{"FormViewTest"};
    CRecordingFrame m_frame;
    std::unique_ptr<GP::CMDIChildWndEx> m_child;
    std::unique_ptr<CTestView> m_view;
};

TEST_F(FormViewTest, NewFrameFitsTheFormAndResizingRelaysTheControls)
{
    CTestView& view = OpenView();
    CRect client;
    view.GetClientRect(&client);
    EXPECT_EQ(CSize(200, 100), client.Size());

    CRect frame;
    m_child->GetFrameRect(&frame);
    m_child->MoveFrame(CRect(frame.left, frame.top, frame.right + 100, frame.bottom + 40));
    PumpAllMessages();
    EXPECT_EQ(CRect(10, 10, 190, 70), view.ControlRect(kList));

}

TEST_F(FormViewTest, RestoredFrameKeepsItsSizeAndLaysTheFormOut)
{
    GP::ChildPlacementMode = 2;
    WriteProfileString("Window", "Position1", "10,10,400,300");
    CTestView& view = OpenView();
    CRect frame;
    m_child->GetFrameRect(&frame);
    EXPECT_EQ(CSize(400, 300), frame.Size());
    EXPECT_GT(view.layouts, 0);
    CRect client;
    view.GetClientRect(&client);
    EXPECT_EQ(CRect(10, 10, client.Width() - 110, client.Height() - 70), view.ControlRect(kList));
}

TEST_F(FormViewTest, ControlNotificationsGoToTheMainWindow)
{
    CTestView& view = OpenView();
    m_frame.commands.clear();
    struct Case
    {
        const char* name;
        WPARAM wParam;
        LPARAM lParam;
        bool routed;
    } cases[] = {
        {"notification with a code", MAKEWPARAM(kList, 0x0300), 1, true},
        {"control with a command-range id", MAKEWPARAM(0x8001, 0), 1, true},
        {"plain click of a low id stays", MAKEWPARAM(kList, 0), 1, false},
        {"a menu command stays", MAKEWPARAM(0x9000, 0), 0, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_frame.commands.clear();
        view.SendMessage(WM_COMMAND, c.wParam, c.lParam);
        EXPECT_EQ(c.routed ? std::vector<WPARAM>{c.wParam} : std::vector<WPARAM>{}, m_frame.commands);
    }
}
}
