// Pictures for a person to judge: the editing list in the middle of an edit, the window list
// dialog at its first size and grown, written to screenshots/ beside the test program.
#include "GpTestWindows.h"

#include "librarian/gp/EditListCtrl.h"
#include "librarian/gp/MDIChildWndEx.h"
#include "librarian/gp/MDIFrameWndEx.h"
#include "librarian/gp/WindowListDlg.h"
#include "platform/UiDriver.h"
#include "tests/librarian/gp/GpTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
std::string ScreenshotPath(const std::string& name)
{
    mkdir("screenshots", 0755);
    return "screenshots/" + name;
}

// The spin edit pads its text so that the stepping digit has a place.
std::string Trimmed(std::string text)
{
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// A patch list as the librarian shows one: number, name, category and a memo.
class CPatchList : public GP::CEditListCtrl
{
public:
    struct CRow
    {
        const char* name;
        const char* category;
        const char* memo;
        int level;
    };

    void Fill(std::vector<CRow> rows)
    {
        m_rows = std::move(rows);
        struct Column
        {
            const char* title;
            int width;
            uint32_t flags;
        } columns[] = {
            {"No.", 44, 1},
            {"Name", 120, GP::ELVC_EDITABLE | GP::ELVC_EDITBOX},
            {"Category", 90, GP::ELVC_EDITABLE | GP::ELVC_COMBOBOX},
            {"Level", 56, 1 | GP::ELVC_EDITABLE | GP::ELVC_SPINEDIT | GP::ELVC_SPIN_INTEGER},
            {"Memo", 150, GP::ELVC_EDITABLE | GP::ELVC_EDITBOX},
        };
        for (int c = 0; c < 5; ++c)
        {
            LVCOLUMNA column;
            column.text = columns[c].title;
            column.cx = columns[c].width;
            GP::CEditListCtrl::SELVColumn record;
            record.flags = columns[c].flags;
            record.items = {"Brass", "Keys", "Pad", "Strings"};
            record.maximum = 127;
            InsertColumn(c, column, record);
        }
        for (size_t i = 0; i < m_rows.size(); ++i)
            InsertItem(static_cast<int>(i), static_cast<LPARAM>(i));
    }
    bool GetCellNumber(int row, int, double& number) override
    {
        number = m_rows.at(static_cast<size_t>(row)).level;
        return true;
    }
    void SetCellValue(int, int, const GP::CCellValue&) override {}

protected:
    std::string GetDispText(int item, int subItem) const override
    {
        const CRow& row = m_rows.at(static_cast<size_t>(item));
        switch (subItem)
        {
        case 0: return std::to_string(item / 32 + 1) + "-" + std::to_string(item % 32 + 1);
        case 1: return row.name;
        case 2: return row.category;
        case 3: return std::to_string(row.level);
        default: return row.memo;
        }
    }

private:
    std::vector<CRow> m_rows;
};

TEST(GpLooks, EditListWithASelectionAndAnOpenCellEditor)
{
    CRecordingParent parent;
    ASSERT_TRUE(parent.Create(480, 230));
    CPatchList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 480, 230), &parent, 4130));
    list.SetGridLines(true);
    list.Fill({
        {"Warm Strings", "Strings", "layered with a slow pad", 100},
        {"Brass Stab", "Brass", "short release, for riffs", 96},
        {"Glass Pad", "Pad", "sweeps open over 8 bars, the filter follows the mod wheel", 88},
        {"Night Keys", "Keys", "soft velocity curve", 110},
        {"Solar Pad", "Pad", "", 92},
        {"Tape Choir", "Pad", "chorus on", 101},
        {"Low Brass", "Brass", "", 99},
        {"Bell Keys", "Keys", "bright", 104},
    });
    parent.ShowWindow(SW_SHOW);
    list.SelectItems(2, true);
    list.SelectItems(3, true);
    list.SelectItems(4, true);
    list.SetItemState(3, LVIS_FOCUSED, LVIS_FOCUSED);
    list.SetCurrentColumn(1);
    list.SetFocus();
    ASSERT_TRUE(list.BeginEdit(3, 1));
    UiDriver::TypeText("Dawn Pad");
    PumpAllMessages();
    EXPECT_EQ("Dawn Pad", list.GetEditor(2)->GetWnd()->GetWindowText());
    EXPECT_TRUE(UiDriver::SaveWindowPicture(parent, ScreenshotPath("edit-list-editing.png")));
    list.EndEdit(false);

    // A spin column: one step up moves every selected row from its own level.
    list.SetCurrentColumn(3);
    ASSERT_TRUE(list.BeginEdit(3, 3));
    UiDriver::KeyDown(VK_UP);
    UiDriver::KeyUp(VK_UP);
    PumpAllMessages();
    EXPECT_EQ("89", Trimmed(list.GetEditor(2)->GetWnd()->GetWindowText()));
    EXPECT_TRUE(UiDriver::SaveWindowPicture(parent, ScreenshotPath("edit-list-spin-step.png")));
    list.EndEdit(false);
    list.DestroyWindow();
    parent.DestroyWindow();
    PumpAllMessages();
}

class CLooksChild : public GP::CMDIChildWndEx
{
public:
    CLooksChild() : GP::CMDIChildWndEx(0) {}
};

TEST(GpLooks, WindowListDialogAtTwoSizes)
{
    CTempDir folder;
    SetProfileFolder(folder.Path());
    GP::RegisterWindowListDialog();
    GP::CMDIFrameWndEx frame;
    ASSERT_TRUE(frame.Create("Talvarix Librarian", CRect(0, 0, 800, 600)));
    frame.ShowWindow(SW_SHOW);
    std::vector<std::unique_ptr<CLooksChild>> children;
    for (const char* title : {"Main", "Live set.q9l", "Pads and strings.q9l", "Untitled1", "Backup 2024.q9l"})
    {
        children.push_back(std::make_unique<CLooksChild>());
        ASSERT_TRUE(children.back()->Create(title, &frame));
    }
    children[4]->MDIMinimize();
    children[1]->ActivateFrame();
    PumpAllMessages();

    GpTest::CPostedActions actions;
    actions.Post([&] {
        GP::CWindowListDlg* dialog = nullptr;
        for (CWnd* window : CWnd::GetTopLevelWindows())
            if ((dialog = dynamic_cast<GP::CWindowListDlg*>(window)))
                break;
        ASSERT_NE(nullptr, dialog);
        dialog->GetList()->SetSel(2, TRUE);
        PumpAllMessages();
        EXPECT_TRUE(UiDriver::SaveWindowPicture(*dialog, ScreenshotPath("window-list.png")));
        CRect rect;
        dialog->GetWindowRect(&rect);
        dialog->SetWindowPos(nullptr, 0, 0, rect.Width() + 220, rect.Height() + 120, SWP_NOMOVE | SWP_NOZORDER);
        PumpAllMessages();
        EXPECT_TRUE(UiDriver::SaveWindowPicture(*dialog, ScreenshotPath("window-list-grown.png")));
        dialog->EndDialog(IDCANCEL);
    });
    actions.PostEndEverything();
    frame.SendMessage(WM_COMMAND, GP::ID_WINDOW_LIST);
    children.clear();
    frame.DestroyWindow();
    PumpAllMessages();
    SetProfileFolder("");
}
}
