#include "GpTestWindows.h"

#include "librarian/gp/EditListCtrl.h"
#include "platform/Profile.h"
#include "platform/UiDriver.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace
{
// Columns: 0 a spin number (0..32), 1 an edit-box text, 2 a combo choice, 3 read-only text.
class CTestList : public GP::CEditListCtrl
{
public:
    struct CRow
    {
        double number;
        std::string text;
        std::string choice;
    };

    void Fill(std::vector<CRow> newRows)
    {
        rows = std::move(newRows);
        const char* titles[] = {"Number", "Name", "Wave", "Info"};
        GP::CEditListCtrl::SELVColumn spin;
        spin.flags = GP::ELVC_EDITABLE | GP::ELVC_SPINEDIT | GP::ELVC_SPIN_INTEGER | 1;
        spin.minimum = 0;
        spin.maximum = 32;
        GP::CEditListCtrl::SELVColumn text;
        text.flags = GP::ELVC_EDITABLE | GP::ELVC_EDITBOX;
        GP::CEditListCtrl::SELVColumn combo;
        combo.flags = GP::ELVC_EDITABLE | GP::ELVC_COMBOBOX;
        combo.items = {"Saw", "Square", "Sine"};
        GP::CEditListCtrl::SELVColumn fixed;
        const GP::CEditListCtrl::SELVColumn records[] = {spin, text, combo, fixed};
        for (int c = 0; c < 4; ++c)
        {
            LVCOLUMNA column;
            column.text = titles[c];
            column.cx = 80;
            InsertColumn(c, column, records[c]);
        }
        for (size_t i = 0; i < rows.size(); ++i)
            InsertItem(static_cast<int>(i), static_cast<LPARAM>(i));
    }

    std::string Header(int column) const
    {
        LVCOLUMNA header;
        GetColumn(column, header);
        return header.text;
    }

    bool GetCellNumber(int row, int, double& number) override
    {
        number = rows.at(static_cast<size_t>(row)).number;
        return true;
    }
    void SetCellValue(int row, int column, const GP::CCellValue& value) override
    {
        CRow& target = rows.at(static_cast<size_t>(row));
        char line[160];
        if (column == 0)
        {
            target.number = value.number;
            std::snprintf(line, sizeof line, "%d=%g", row, value.number);
        }
        else
        {
            (column == 1 ? target.text : target.choice) = value.text;
            std::snprintf(line, sizeof line, "%d=%s", row, value.text.c_str());
        }
        writes.push_back(line);
    }
    bool IsValueValid(int row, int column, const GP::CCellValue& value, bool delta) override
    {
        if (column == 1 && value.text == "bad")
            return false;
        return GP::CEditListCtrl::IsValueValid(row, column, value, delta);
    }

    std::vector<CRow> rows;
    std::vector<std::string> writes;

protected:
    std::string GetDispText(int item, int subItem) const override
    {
        const CRow& row = rows.at(static_cast<size_t>(item));
        switch (subItem)
        {
        case 0: return std::to_string(static_cast<int>(row.number));
        case 1: return row.text;
        case 2: return row.choice;
        default: return "info";
        }
    }
};

struct EditListFixture : public ::testing::Test
{
    void SetUp() override
    {
        ASSERT_TRUE(parent.Create(420, 320));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), &parent, 4130));
        list.Fill({{10, "AXA", "Saw"}, {20, "B", "Saw"}, {30, "C", "Sine"}, {5, "D", "Square"}});
        list.SetFocus();
    }
    void TearDown() override
    {
        if (list.IsEditing())
            list.EndEdit(false);
        list.DestroyWindow();
        parent.DestroyWindow();
        PumpAllMessages();
    }
    void SelectRows(std::initializer_list<int> rows)
    {
        list.SelectItems(-1, false);
        for (int row : rows)
            list.SelectItems(row, true);
    }
    std::string Texts(int first, int last) const
    {
        std::string text;
        for (int row = first; row <= last; ++row)
        {
            GP::IPopup* editor = list.GetEditor(row);
            text += (row > first ? "," : "") + (editor ? editor->GetWnd()->GetWindowText() : std::string("-"));
        }
        return text;
    }
    std::string Writes() const
    {
        std::string text;
        for (const std::string& w : list.writes)
            text += (text.empty() ? "" : " ") + w;
        return text;
    }
    int CountNotices(UINT code) const
    {
        int n = 0;
        for (const auto& notice : parent.notices)
            n += notice.code == code;
        return n;
    }
    POINT CellCentre(int row, int column) const
    {
        RECT cell;
        list.GetCellRect(row, column, &cell);
        return POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }

    CRecordingParent parent;
    CTestList list;
};
}

// Three selected rows with 10, 20 and 30 in a spin column up to 32: a step of +3 is refused since
// 33 is too much; +1 shows 11, 21 and 31; Enter writes them in row order.
TEST_F(EditListFixture, SpinStepsEveryRowFromItsOwnNumber)
{
    SelectRows({0, 1, 2});
    ASSERT_TRUE(list.BeginEdit(1, 0));
    EXPECT_EQ(Texts(0, 3), "10,20,30,-");
    EXPECT_EQ(CountNotices(LVN_BEGINLABELEDIT), 3);
    auto* active = dynamic_cast<GP::CPopupSpinEdit*>(list.GetActiveEditor());
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(GetFocus(), active);

    GP::NMSPINEDIT step{{active->GetSafeHwnd(), active->GetDlgCtrlID(), GP::SEN_STEP}, 0, 20, 3};
    EXPECT_EQ(list.SendMessage(WM_NOTIFY, active->GetDlgCtrlID(), reinterpret_cast<LPARAM>(&step)), 1);

    ASSERT_TRUE(UiDriver::KeyDown(VK_UP));
    UiDriver::KeyUp(VK_UP);
    EXPECT_EQ(Texts(0, 2), "11,21,31");
    ASSERT_TRUE(UiDriver::PressKey(VK_RETURN));
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(Writes(), "0=11 1=21 2=31");
    EXPECT_EQ(CountNotices(LVN_ENDLABELEDIT), 3);
    EXPECT_EQ(GP::CEditListCtrl::GetEditingList(), nullptr);
}

// The rows' own numbers are no change: Enter at once closes the spin editors without writing.
TEST_F(EditListFixture, SpinEditorsOpenedAndLeftAloneWriteNothing)
{
    SelectRows({0, 2});
    ASSERT_TRUE(list.BeginEdit(2, 0));
    EXPECT_EQ(Texts(0, 2), "10,-,30");
    ASSERT_NE(list.GetActiveEditor(), nullptr);
    EXPECT_FALSE(list.GetActiveEditor()->IsChanged());
    UiDriver::PressKey(VK_RETURN);
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(Writes(), "");
}

// Typing "5" in the focused spin editor gives every selected row 5.
TEST_F(EditListFixture, TypedNumberGoesToEveryRow)
{
    SelectRows({0, 1, 2});
    ASSERT_TRUE(list.BeginEdit(-1, 0));
    ASSERT_TRUE(UiDriver::TypeText("5"));
    EXPECT_EQ(Texts(0, 2), "5,5,5");
    UiDriver::PressKey(VK_RETURN);
    EXPECT_EQ(Writes(), "0=5 1=5 2=5");
}

// Text typed into the focused editor is mirrored into the others; a left click elsewhere commits.
// Enter with nothing changed and a right click close without writing; a refused value keeps the
// edit open and writes nothing.
TEST_F(EditListFixture, EditBoxesCommitAndCancelAsTheGestureSays)
{
    SelectRows({1, 3});
    ASSERT_TRUE(list.BeginEdit(3, 1));
    EXPECT_EQ(Texts(1, 3), "B,-,D");
    UiDriver::PressKey(VK_RETURN);
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(Writes(), "");
    ASSERT_FALSE(parent.notices.empty());
    EXPECT_EQ(parent.notices.back().wParam, 2u) << "an end without commit";

    ASSERT_TRUE(list.BeginEdit(3, 1));
    UiDriver::TypeText("xy");
    EXPECT_EQ(Texts(1, 3), "xy,-,xy");
    ASSERT_TRUE(UiDriver::Click(parent, POINT{410, 310}, true));
    EXPECT_FALSE(list.IsEditing()) << "a right press outside the editors cancels";
    EXPECT_EQ(Writes(), "");

    ASSERT_TRUE(list.BeginEdit(3, 1));
    UiDriver::TypeText("bad");
    UiDriver::PressKey(VK_RETURN);
    EXPECT_TRUE(list.IsEditing()) << "a refused value keeps the edit open";
    EXPECT_EQ(Writes(), "");

    UiDriver::TypeText("ok");   // the text was "bad" with the caret at its end
    ASSERT_TRUE(UiDriver::Click(parent, POINT{410, 310}));
    EXPECT_FALSE(list.IsEditing()) << "a left press outside the editors commits";
    EXPECT_EQ(Writes(), "1=badok 3=badok");
}

// A choice in the focused combo is mirrored and written.
TEST_F(EditListFixture, ComboChoiceGoesToEveryRow)
{
    SelectRows({0, 2});
    ASSERT_TRUE(list.BeginEdit(0, 2));
    auto* combo = dynamic_cast<GP::CPopupComboBox*>(list.GetActiveEditor());
    ASSERT_NE(combo, nullptr);
    ASSERT_TRUE(UiDriver::ClickComboDropDown(*combo, 1));
    EXPECT_EQ(Texts(0, 2), "Square,-,Square");
    combo->SetFocus();
    UiDriver::PressKey(VK_RETURN);
    EXPECT_EQ(Writes(), "0=Square 2=Square");
}

// Only one list edits at a time in the process.
TEST_F(EditListFixture, OnlyOneListEditsAtATime)
{
    CTestList other;
    ASSERT_TRUE(other.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), &parent, 4131));
    other.Fill({{1, "a", "Saw"}});
    other.SelectItems(-1, true);
    SelectRows({0});
    ASSERT_TRUE(list.BeginEdit(0, 1));
    EXPECT_FALSE(other.BeginEdit(0, 1));
    list.EndEdit(false);
    EXPECT_TRUE(other.BeginEdit(0, 1));
    other.EndEdit(false);
    other.DestroyWindow();
}

// Clicks: alone selects one row, Shift a range from the mark, Ctrl toggles one row; a drag
// extends the selection from the mark.
TEST_F(EditListFixture, MouseSelectsSinglesRangesAndToggles)
{
    auto selected = [&] {
        std::string text;
        for (int row = 0; row < list.GetItemCount(); ++row)
            text += list.IsItemSelected(row) ? '1' : '0';
        return text;
    };
    UiDriver::MouseDown(list, CellCentre(1, 1));
    UiDriver::MouseUp(list, CellCentre(1, 1));
    EXPECT_EQ(selected(), "0100");
    EXPECT_EQ(CountNotices(NM_CLICK), 1);
    UiDriver::MouseDown(list, CellCentre(3, 1), false, MK_SHIFT);
    UiDriver::MouseUp(list, CellCentre(3, 1), false, MK_SHIFT);
    EXPECT_EQ(selected(), "0111");
    UiDriver::MouseDown(list, CellCentre(2, 1), false, MK_CONTROL);
    UiDriver::MouseUp(list, CellCentre(2, 1), false, MK_CONTROL);
    EXPECT_EQ(selected(), "0101");
    EXPECT_EQ(list.GetFocusedItem(), 2);

    UiDriver::MouseDown(list, CellCentre(0, 1));
    UiDriver::MouseMove(list, CellCentre(2, 1), MK_LBUTTON);
    EXPECT_EQ(selected(), "1110");
    UiDriver::MouseUp(list, CellCentre(2, 1));
    EXPECT_EQ(list.GetFocusedItem(), 2);
}

// Left and Right skip columns that cannot be edited; h, l, $ and ^ move the marked column;
// j and k move the focused row; Enter opens the editors on the current column.
TEST_F(EditListFixture, KeysMoveTheCurrentColumnAndRow)
{
    SelectRows({0});
    list.SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);
    list.SetCurrentColumn(0);
    EXPECT_EQ(list.Header(0), "*Number");
    struct Step { const char* name; UINT key; char character; int column; };
    const Step steps[] = {
        {"Right", VK_RIGHT, 0, 1}, {"Right", VK_RIGHT, 0, 2}, {"Right stops before read-only", VK_RIGHT, 0, 2},
        {"h", 0, 'h', 1}, {"$", 0, '$', 3}, {"^", 0, '^', 0}, {"l", 0, 'l', 1},
    };
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.name);
        if (step.key)
            UiDriver::PressKey(step.key);
        else
            UiDriver::TypeText(std::string(1, step.character));
        EXPECT_EQ(list.GetCurrentColumn(), step.column);
    }
    EXPECT_EQ(list.Header(0), "Number");
    EXPECT_EQ(list.Header(1), "*Name");
    UiDriver::TypeText("jj");
    EXPECT_EQ(list.GetFocusedItem(), 2);
    UiDriver::TypeText("k");
    EXPECT_EQ(list.GetFocusedItem(), 1);
    UiDriver::PressKey(VK_RETURN);
    ASSERT_TRUE(list.IsEditing());
    EXPECT_NE(list.GetEditor(1), nullptr);
}

namespace
{
// Presses a button of the open replace dialog.
void PressReplaceDialogButton(UINT id)
{
    for (CWnd* window : CWnd::GetTopLevelWindows())
        if (auto* dialog = dynamic_cast<CDialog*>(window); dialog && dialog->GetTemplateId() == 28417)
            if (auto* button = dynamic_cast<CButton*>(dialog->GetDlgItem(id)))
                return button->Click();
}
}

// Replace turns AXA into BBXBB for A and BB; an empty search text gives the replacement itself.
TEST_F(EditListFixture, ReplaceOverTheSelectedRows)
{
    SelectRows({0, 1});
    CPostedActions actions;
    struct Case { const char* search; const char* replacement; const char* writes; };
    const Case cases[] = {{"A", "BB", "0=BBXBB 1=B"}, {"", "new", "0=new 1=new"}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.search);
        list.writes.clear();
        GP::CEditListCtrl::LastSearch() = c.search;
        GP::CEditListCtrl::LastReplacement() = c.replacement;
        actions.Post([] { PressReplaceDialogButton(IDOK); });
        actions.PostEndEverything();
        EXPECT_TRUE(list.ReplaceString(1));
        EXPECT_EQ(Writes(), c.writes);
    }
    list.writes.clear();
    actions.Post([] { PressReplaceDialogButton(IDCANCEL); });
    actions.PostEndEverything();
    EXPECT_FALSE(list.ReplaceString(1));
    EXPECT_EQ(Writes(), "");
}

// Widths "80,,120": runs of commas count as one, so the first two columns get 80 and 120 and the
// rest fit their headers; saving writes every width.
TEST_F(EditListFixture, ColumnWidthsComeFromTheProfile)
{
    CTempDir folder;
    SetProfileFolder(folder.Path());
    ASSERT_TRUE(WriteProfileString("PatchListCtrl", "ColumnWidth", "80,,120"));
    list.SetColumnWidth(2, 300);
    GP::CColumnWidthStore store(list, "PatchListCtrl", "ColumnWidth");
    store.Restore();
    EXPECT_EQ(list.GetColumnWidth(0), 80);
    EXPECT_EQ(list.GetColumnWidth(1), 120);
    EXPECT_LT(list.GetColumnWidth(2), 300);
    EXPECT_GT(list.GetColumnWidth(2), 0);
    list.SetColumnWidth(3, 55);
    ASSERT_TRUE(store.Save());
    const std::string saved = GetProfileString("PatchListCtrl", "ColumnWidth", "");
    EXPECT_EQ(saved.substr(0, 7), "80,120,");
    EXPECT_EQ(saved.substr(saved.size() - 3), ",55");
    ASSERT_TRUE(WriteProfileString("PatchListCtrl", "ColumnWidth", "abc,99999999,-5"));
    store.Restore();
    EXPECT_GT(list.GetColumnWidth(1), 0) << "fields that are no width size the column to its header";
    SetProfileFolder("");
}

// A drag past the bottom edge scrolls one row per downward move and takes the last visible row;
// past the top, moving upward, it scrolls back and takes the top row.
TEST_F(EditListFixture, DragPastAnEdgeScrollsOneRowAtATime)
{
    std::vector<CTestList::CRow> rows;
    for (int i = 0; i < 60; ++i)
        rows.push_back({static_cast<double>(i), "row " + std::to_string(i), "Saw"});
    list.DeleteAllItems();
    for (size_t i = 0; i < rows.size(); ++i)
        list.InsertItem(static_cast<int>(i), static_cast<LPARAM>(i));
    list.rows = rows;
    const int perPage = list.GetCountPerPage();
    ASSERT_LT(perPage, 60);

    UiDriver::MouseDown(list, CellCentre(1, 1));
    RECT client;
    list.GetClientRect(&client);
    for (int move = 1; move <= 3; ++move)
    {
        SCOPED_TRACE(move);
        UiDriver::MouseMove(list, POINT{100, static_cast<LONG>(client.bottom + 5 * move)}, MK_LBUTTON);
        EXPECT_EQ(list.GetTopIndex(), move);
        const int last = move + perPage - 1;
        EXPECT_EQ(list.GetFocusedItem(), last);
        EXPECT_TRUE(list.IsItemSelected(1) && list.IsItemSelected(last) && !list.IsItemSelected(0));
        EXPECT_FALSE(list.IsItemSelected(last + 1));
    }
    // Holding still below the list (no downward move) scrolls no further.
    UiDriver::MouseMove(list, POINT{100, static_cast<LONG>(client.bottom + 15)}, MK_LBUTTON);
    EXPECT_EQ(list.GetTopIndex(), 3);

    UiDriver::MouseMove(list, POINT{100, -5}, MK_LBUTTON);
    EXPECT_EQ(list.GetTopIndex(), 2);
    EXPECT_EQ(list.GetFocusedItem(), 2);
    EXPECT_TRUE(list.IsItemSelected(1) && list.IsItemSelected(2) && !list.IsItemSelected(3));
    UiDriver::MouseUp(list, POINT{100, -5});
    EXPECT_EQ(CountNotices(NM_CLICK), 1);
}

// Text wider than its column is cut by whole characters, so a double-byte memo never shows a lone
// lead byte before "...", and a column narrower than "..." shows "..." alone.
TEST(EditListShortening, CutsWholeCharactersDownToNothing)
{
    const auto bytes = [](const std::string& text) { return static_cast<int>(text.size()) * 10; };
    struct Case
    {
        const char* name;
        std::string text;
        int room;
        std::string shown;
    } cases[] = {
        {"plain text", "ABCDEF", 30, "ABC..."},
        {"the cut falls inside a double-byte character", "AB\x82\xA0" "CD", 30, "AB..."},
        {"a whole double-byte character fits", "AB\x82\xA0" "CD", 40, "AB\x82\xA0..."},
        {"nothing fits", "\x82\xA0\x82\xA2", 5, "..."},
        {"no room at all", "ABC", -20, "..."},
        {"a lead byte at the very end counts alone", "A\x82", 10, "A..."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GP::ShortenWithEllipsis(c.text, c.room, bytes), c.shown);
    }
}
