#include "ui/controls/CVeyListControl.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/CVeyTextWriter.h"
#include "platform/Messages.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/VirtualClock.h"
#include "tests/ui/controls/ViewTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace
{
struct SDrawnText
{
    std::string writer;
    CRect rect;
    std::string text;
};

class CRecordingWriter : public CVeyTextWriter
{
public:
    explicit CRecordingWriter(std::vector<SDrawnText>* log) : m_log(log) {}
    bool SetFont(const CVeyFontSettings&) override { return true; }
    bool GetFont(CVeyFontSettings&) const override { return true; }
    void Draw(const UL::CDrawInfo&, const CRect& rect, const std::string& text) override
    {
        m_log->push_back({GetName(), rect, text});
    }

private:
    std::vector<SDrawnText>* m_log;
};

// A list whose rows show their own number, as a derived list fills its texts.
class CNumberedList : public CVeyListControl
{
public:
    using CVeyListControl::CVeyListControl;
    void FillTexts()
    {
        m_rowTexts.clear();
        for (int32_t row = GetFirstVisibleRow(); row < GetLastShownRow(); ++row)
            m_rowTexts.push_back({std::to_string(row)});
    }
};

const CVeyElementDefinition::CAttributes kWriters = {
    {"textWriterRef", "text"},     {"headerWriterRef", "header"},
    {"currentWriterRef", "current"}, {"selectWriterRef", "select"},
    {"inactiveCurrentWriterRef", "inactiveCurrent"}, {"inactiveSelectWriterRef", "inactiveSelect"},
};
const CVeyElementDefinition::CAttributes kRowRefs = {
    {"firstRowValueRef", "ls.rows.first"},         {"lastRowValueRef", "ls.rows.last"},
    {"currentRowValueRef", "ls.rows.current"},     {"firstVisibleRowValueRef", "ls.rows.top"},
    {"lastVisibleRowValueRef", "ls.rows.bottom"},  {"activateValueRef", "ls.rows.activate"},
};

std::set<int32_t> Rows(std::initializer_list<int32_t> rows)
{
    return std::set<int32_t>(rows);
}

std::set<int32_t> RowRange(int32_t from, int32_t to)
{
    std::set<int32_t> rows;
    for (int32_t row = from; row < to; ++row)
        rows.insert(row);
    return rows;
}

struct SKeyName
{
    uint32_t key;
    const char* name;
};

// The list sits at (0, 0) in a parent at (100, 50): 200 x 200, rows 20 high under the header,
// rows 0..127 (last row value 128).
class ListControl : public ::testing::Test
{
protected:
    void SetUp() override
    {
        parent.SetName("p");
        CVeyBufferManager::GetInstance().Clear();
        CVeyScriptDefinitions::GetInstance().Clear();
        const char* script = R"(<script>
<structType><type>rowsT</type><name>$name</name><address>$address</address>
  <value><type>int2x7</type><name>first</name><range>0,300</range></value>
  <value><type>int2x7</type><name>last</name><range>0,300</range><default>128</default></value>
  <value><type>int2x7</type><name>current</name><range>0,300</range></value>
  <value><type>int2x7</type><name>top</name><range>0,300</range></value>
  <value><type>int2x7</type><name>bottom</name><range>0,300</range></value>
  <value><type>int1x7</type><name>activate</name><range>0,1</range></value>
  <value><type>int1x7</type><name>other</name><default>77</default></value>
</structType>
<structType><type>lsT</type><name>$name</name><address>$address</address>
  <struct><type>rowsT</type><name>rows</name><address>00 00</address></struct>
</structType>
<struct><type>lsT</type><name>ls</name><address>10 00 00 00</address></struct>
</script>)";
        ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(script));
        ASSERT_TRUE(CVeyBufferManager::GetInstance().CreateStructs());
        for (const char* name : {"text", "header", "current", "select", "inactiveCurrent", "inactiveSelect"})
        {
            auto writer = std::make_unique<CRecordingWriter>(&drawn);
            writer->SetName(name);
            CVeyResourceManager::GetInstance().GetTextWriters().Insert(name, std::move(writer));
        }
    }
    void TearDown() override
    {
        list.reset();
        CVeyResourceManager::GetInstance().Clear();
        ClearViewTestModel();
    }

    static CVeyValue* Value(const char* name) { return FindTestValue(std::string("ls.rows.") + name); }
    static int32_t Number(const char* name) { return Value(name)->GetNumber(); }

    // Loads and creates a list with the writers, the row references and `extra`.
    bool Make(CVeyElementDefinition::CAttributes extra = {}, bool currentRowOnly = false,
              const char* size = "200,200")
    {
        list = std::make_unique<CNumberedList>(currentRowOnly);
        CVeyElementDefinition::CAttributes attributes = {{"name", "names"}, {"position", "0,0"}, {"size", size}};
        attributes.insert(attributes.end(), kWriters.begin(), kWriters.end());
        attributes.insert(attributes.end(), kRowRefs.begin(), kRowRefs.end());
        attributes.push_back({"rowHeight", "20"});
        attributes.insert(attributes.end(), extra.begin(), extra.end());
        // Later attributes win: a test replaces a reference or writer by listing it again.
        return list->LoadAttributes(attributes) && list->Create(&parent);
    }

    // A point in the row's slot (rows of the window's first row start one row below the header).
    CPoint RowPoint(int32_t row) const
    {
        const CRect& rect = list->GetRect();
        return CPoint(rect.left + 30, rect.top + (row - list->GetFirstVisibleRow() + 1) * 20 + 10);
    }

    bool Mouse(UINT message, CPoint point, uint32_t flags = 0)
    {
        UL::CMouseInfo info(message, point, 0);
        info.m_flags = flags;
        return list->OnMouse(info);
    }
    bool Click(int32_t row, uint32_t flags = 0)
    {
        const bool down = Mouse(WM_LBUTTONDOWN, RowPoint(row), flags);
        Mouse(WM_LBUTTONUP, RowPoint(row), flags);
        return down;
    }
    bool Key(uint32_t kind, uint32_t key, uint32_t modifiers = 0)
    {
        return list->OnKey(UL::KeyInfo{kind, key, modifiers});
    }
    bool Tick()
    {
        clock.Advance(50);
        return list->OnTimer(GT::CTimerInfo());
    }

    CVirtualClock clock;
    CTestParentView parent;
    std::vector<SDrawnText> drawn;
    std::unique_ptr<CNumberedList> list;
};
}

TEST_F(ListControl, LaysOutColumnsAndRefusesBadAttributes)
{
    struct Case
    {
        const char* name;
        CVeyElementDefinition::CAttributes extra;
        bool loads;
        std::vector<int32_t> widths;
        std::vector<std::string> headers;
        int32_t rowHeight;
        const char* trace;
    };
    const Case cases[] = {
        {"two widths and a rest", {{"columnWidths", "50,60"}, {"headerTexts", "Bank, Name\\cTone"}}, true,
         {50, 60, 90}, {"Bank", "Name,Tone", ""}, 8, ""},
        {"headers cut to the columns", {{"headerTexts", "a,b,c"}}, true, {200}, {"a"}, 8, ""},
        {"widths read up to a bad item", {{"columnWidths", "50,x,20"}}, true, {50, 150}, {"", ""}, 8, ""},
        {"row height", {{"rowHeight", "25"}}, true, {200}, {""}, 25, ""},
        {"row height not a number", {{"rowHeight", "tall"}}, true, {200}, {""}, 8, ""},
        {"widths fill the list", {{"columnWidths", "100,100"}}, false, {}, {}, 0,
         "Sum of column width must be less than control width for list control. : names\n"},
        {"row height zero", {{"rowHeight", "0"}}, false, {}, {}, 0,
         "Row height must be positive for list control. : names : 0\n"},
        {"unknown writer", {{"selectWriterRef", "none"}}, false, {}, {}, 0,
         "Unable to find select text writer for list control. : names : none\n"},
        {"unknown inactive current writer", {{"inactiveCurrentWriterRef", "none"}}, false, {}, {}, 0,
         "Unable to find inactive current text writer for list control. : names : none\n"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTraceCapture trace;
        list = std::make_unique<CNumberedList>();
        CVeyElementDefinition::CAttributes attributes = {{"name", "names"}, {"size", "200,200"}};
        attributes.insert(attributes.end(), kWriters.begin(), kWriters.end());
        attributes.insert(attributes.end(), c.extra.begin(), c.extra.end());
        ASSERT_EQ(list->LoadAttributes(attributes), c.loads);
        EXPECT_EQ(trace.Text(), c.trace);
        if (!c.loads)
            continue;
        EXPECT_EQ(list->GetColumnWidths(), c.widths);
        EXPECT_EQ(list->GetHeaderTexts(), c.headers);
        EXPECT_EQ(list->GetRowHeight(), c.rowHeight);
    }
}

TEST_F(ListControl, CreationRequiresWritersAndRowValues)
{
    // A list without its last-visible reference would write the window into reference 0.
    list = std::make_unique<CNumberedList>();
    CVeyElementDefinition::CAttributes attributes = {{"name", "names"}, {"size", "200,200"},
                                                     {"valueRef", "ls.rows.other"}};
    attributes.insert(attributes.end(), kWriters.begin(), kWriters.end());
    for (const auto& ref : kRowRefs)
        if (ref.first != "lastVisibleRowValueRef")
            attributes.push_back(ref);
    ASSERT_TRUE(list->LoadAttributes(attributes));
    {
        CTraceCapture trace;
        EXPECT_FALSE(list->Create(&parent));
        EXPECT_EQ(trace.Text(), "There is no row value reference for list control. : p.names\n");
    }
    EXPECT_EQ(Number("other"), 77);

    list = std::make_unique<CNumberedList>();
    attributes = {{"name", "names"}, {"size", "200,200"}, {"textWriterRef", "text"}};
    attributes.insert(attributes.end(), kRowRefs.begin(), kRowRefs.end());
    ASSERT_TRUE(list->LoadAttributes(attributes));
    CTraceCapture trace;
    EXPECT_FALSE(list->Create(&parent));
    EXPECT_EQ(trace.Text(), "There is no text writer reference for list control. : p.names\n");
}

TEST_F(ListControl, WindowStaysInsideTheRows)
{
    Value("top")->SetNumber(3);
    ASSERT_TRUE(Make());
    EXPECT_EQ(list->GetVisibleRowCount(), 9);
    EXPECT_EQ(Number("bottom"), 12);   // set at creation
    EXPECT_TRUE(CVeyBufferManager::GetInstance().GetChangeList().empty());
    struct Case
    {
        int32_t asked;
        int32_t top;
    };
    const Case cases[] = {{0, 0}, {50, 50}, {119, 119}, {120, 119}, {5000, 119}, {-4, 0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.asked);
        list->SetRows(c.asked, 0, CVeyListControl::kSetFirstVisible);
        EXPECT_EQ(Number("top"), c.top);
        EXPECT_EQ(Number("bottom"), c.top + 9);
        EXPECT_TRUE(CVeyBufferManager::GetInstance().GetChangeList().empty());
    }
    list->SetRows(119, 0, CVeyListControl::kSetFirstVisible);
    CRect cell;
    list->GetCellRect(cell, 119, 0);
    EXPECT_EQ(cell, CRect(100, 70, 300, 90));
    EXPECT_EQ(list->GetRowAt(CPoint(150, 75)), 119);
    EXPECT_EQ(list->GetLastShownRow(), 128);

    // Fewer rows than the window: the window starts at the first row.
    Value("last")->SetNumber(4);
    list->SetRows(2, 0, CVeyListControl::kSetFirstVisible);
    EXPECT_EQ(Number("top"), 0);
    EXPECT_EQ(list->GetLastShownRow(), 4);
}

TEST_F(ListControl, ClicksWithShiftAndCtrlSelectRows)
{
    ASSERT_TRUE(Make());
    struct Step
    {
        const char* name;
        int32_t row;
        uint32_t flags;
        std::set<int32_t> selection;
        int32_t current;
    };
    const Step steps[] = {
        {"click", 5, 0, Rows({5}), 5},
        {"shift-click below", 8, UL::MOUSE_SHIFT, RowRange(5, 9), 8},
        {"shift-click further", 1, UL::MOUSE_SHIFT, RowRange(1, 9), 1},
        {"click again", 5, 0, Rows({5}), 5},
        {"shift-click", 8, UL::MOUSE_SHIFT, RowRange(5, 9), 8},
        {"ctrl-click deselects, current stays", 7, UL::MOUSE_CTRL, Rows({5, 6, 8}), 8},
        {"ctrl-click selects and moves", 7, UL::MOUSE_CTRL, Rows({5, 6, 7, 8}), 7},
        {"ctrl-click on the current row", 7, UL::MOUSE_CTRL, Rows({5, 6, 7, 8}), 7},
    };
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.name);
        EXPECT_TRUE(Click(step.row, step.flags));
        EXPECT_EQ(list->GetSelection(), step.selection);
        EXPECT_EQ(Number("current"), step.current);
        EXPECT_FALSE(list->IsCapturing());
    }
    EXPECT_TRUE(list->HasFocus());

    // The header and the slots below the last row take no clicks.
    EXPECT_FALSE(Mouse(WM_LBUTTONDOWN, CPoint(150, 55)));
    Value("last")->SetNumber(3);
    EXPECT_FALSE(Mouse(WM_LBUTTONDOWN, RowPoint(3)));
    EXPECT_FALSE(Mouse(WM_LBUTTONDOWN, CPoint(350, 100)));
    EXPECT_FALSE(list->IsCapturing());
}

TEST_F(ListControl, DraggingBeyondAnEdgeScrollsOneRowPerTick)
{
    ASSERT_TRUE(Make());
    ASSERT_TRUE(Mouse(WM_LBUTTONDOWN, RowPoint(5)));
    const CPoint below(150, list->GetRect().bottom + 10);
    ASSERT_TRUE(Mouse(WM_MOUSEMOVE, below));
    EXPECT_EQ(Number("top"), 1);
    EXPECT_EQ(Number("current"), 9);
    EXPECT_EQ(list->GetRepeatMode(), CVeyListControl::kMouseRepeat);
    for (int32_t tick = 1; tick <= 5; ++tick)
        EXPECT_TRUE(Tick());
    EXPECT_EQ(Number("top"), 6);
    EXPECT_EQ(Number("current"), 14);
    for (int tick = 0; tick < 200; ++tick)
        Tick();
    EXPECT_EQ(Number("top"), 119);
    EXPECT_EQ(Number("current"), 127);
    EXPECT_EQ(list->GetSelection(), RowRange(5, 128));

    // Back inside the window the scrolling stops; above it, it runs upwards.
    ASSERT_TRUE(Mouse(WM_MOUSEMOVE, RowPoint(125)));
    EXPECT_EQ(list->GetRepeatMode(), CVeyListControl::kNoRepeat);
    EXPECT_FALSE(Tick());
    ASSERT_TRUE(Mouse(WM_MOUSEMOVE, CPoint(150, list->GetRect().top - 10)));
    EXPECT_EQ(Number("top"), 118);
    EXPECT_TRUE(Tick());
    EXPECT_EQ(Number("top"), 117);
    EXPECT_EQ(Number("current"), 117);
    EXPECT_EQ(list->GetSelection(), RowRange(5, 118));

    ASSERT_TRUE(Mouse(WM_LBUTTONUP, RowPoint(120)));
    EXPECT_FALSE(list->IsCapturing());
    EXPECT_EQ(list->GetAnchorRow(), 120);
    EXPECT_FALSE(Tick());
    EXPECT_EQ(Number("top"), 117);
}

TEST_F(ListControl, CtrlDragGivesTheAnchorsStateToTheRowsPassed)
{
    ASSERT_TRUE(Make());
    Click(2);
    Click(6, UL::MOUSE_SHIFT);   // 2..6 selected, current 6
    ASSERT_TRUE(Mouse(WM_LBUTTONDOWN, RowPoint(4), UL::MOUSE_CTRL));   // 4 off, anchor 4
    ASSERT_TRUE(Mouse(WM_MOUSEMOVE, RowPoint(3), UL::MOUSE_CTRL));
    EXPECT_EQ(list->GetSelection(), Rows({2, 5, 6}));
    EXPECT_EQ(Number("current"), 6);   // the anchor is not selected: the current row stays
}

TEST_F(ListControl, LosingTheFocusEndsADrag)
{
    ASSERT_TRUE(Make());
    ASSERT_TRUE(Mouse(WM_LBUTTONDOWN, RowPoint(5)));
    ASSERT_TRUE(Mouse(WM_MOUSEMOVE, CPoint(150, list->GetRect().bottom + 10)));
    list->SetFocus(false);
    EXPECT_FALSE(list->IsCapturing());
    const int32_t top = Number("top");
    EXPECT_FALSE(Tick());
    EXPECT_EQ(Number("top"), top);
}

TEST_F(ListControl, KeysMoveTheCurrentRowAndTheWindow)
{
    ASSERT_TRUE(Make());
    struct Case
    {
        const char* name;
        uint32_t key;
        uint32_t modifiers;
        int32_t current;
        int32_t top;
        std::set<int32_t> selection;   // before
        int32_t newCurrent;
        int32_t newTop;
        std::set<int32_t> newSelection;
    };
    const Case cases[] = {
        {"down", UL::KEY_DOWN, 0, 4, 0, {}, 5, 0, Rows({5})},
        {"down at the window's end", UL::KEY_DOWN, 0, 8, 0, {}, 9, 1, Rows({9})},
        {"down at the last row", UL::KEY_DOWN, 0, 127, 119, {}, 127, 119, Rows({127})},
        {"up at the first row", UL::KEY_UP, 0, 0, 0, {}, 0, 0, Rows({0})},
        {"up above the window", UL::KEY_UP, 0, 10, 10, {}, 9, 9, Rows({9})},
        {"home", UL::KEY_HOME, 0, 60, 55, {}, 0, 0, Rows({0})},
        {"end", UL::KEY_END, 0, 3, 0, {}, 127, 119, Rows({127})},
        {"page down to the window's end", UL::KEY_PAGEDOWN, 0, 3, 0, {}, 8, 0, Rows({8})},
        {"page down from the window's end", UL::KEY_PAGEDOWN, 0, 8, 0, {}, 16, 8, Rows({16})},
        {"page down near the end", UL::KEY_PAGEDOWN, 0, 127, 119, {}, 127, 119, Rows({127})},
        {"page up to the window's top", UL::KEY_PAGEUP, 0, 15, 10, {}, 10, 10, Rows({10})},
        {"page up from the top", UL::KEY_PAGEUP, 0, 10, 10, {}, 2, 2, Rows({2})},
        {"shift-down grows the selection", UL::KEY_DOWN, UL::KEYMOD_SHIFT, 6, 0, Rows({4, 5, 6}), 7, 0,
         RowRange(4, 8)},
        {"shift-up from the lowest selected", UL::KEY_UP, UL::KEYMOD_SHIFT, 6, 0, Rows({4, 5, 6}), 3, 0,
         RowRange(3, 7)},
        {"shift-down with nothing selected", UL::KEY_DOWN, UL::KEYMOD_SHIFT, 6, 0, {}, 0, 0, Rows({0})},
        {"shift-end", UL::KEY_END, UL::KEYMOD_SHIFT, 6, 0, Rows({6}), 127, 119, RowRange(6, 128)},
        {"ctrl-down after the highest selected", UL::KEY_DOWN, UL::KEYMOD_CTRL, 2, 0, Rows({4, 6}), 7, 0,
         Rows({7})},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Value("current")->SetNumber(c.current);
        list->SetRows(c.top, 0, CVeyListControl::kSetFirstVisible);
        list->SelectRows(0, 0, true, true);
        for (int32_t row : c.selection)
            list->SelectRow(row, true, false);
        EXPECT_TRUE(Key(UL::KEYKIND_DOWN, c.key, c.modifiers));
        EXPECT_TRUE(Key(UL::KEYKIND_UP, c.key, c.modifiers));
        EXPECT_EQ(Number("current"), c.newCurrent);
        EXPECT_EQ(Number("top"), c.newTop);
        EXPECT_EQ(list->GetSelection(), c.newSelection);
    }
    EXPECT_FALSE(Key(UL::KEYKIND_DOWN, UL::KEY_LEFT));
    EXPECT_FALSE(Key(UL::KEYKIND_DOWN, UL::KEY_RETURN));
    EXPECT_FALSE(Key(UL::KEYKIND_UP, UL::KEY_RIGHT));
}

TEST_F(ListControl, HeldKeyRepeatsAfter200MsThenEveryTick)
{
    ASSERT_TRUE(Make());
    Value("current")->SetNumber(120);
    ASSERT_TRUE(Key(UL::KEYKIND_DOWN, UL::KEY_DOWN));
    EXPECT_EQ(Number("current"), 121);
    std::vector<int32_t> rows;
    for (int tick = 0; tick < 12; ++tick)
    {
        Tick();
        rows.push_back(Number("current"));
    }
    // Ticks at 50, 100 and 150 ms wait; the one at 200 ms repeats, then every tick until the end.
    EXPECT_EQ(rows, (std::vector<int32_t>{121, 121, 121, 122, 123, 124, 125, 126, 127, 127, 127, 127}));
    ASSERT_TRUE(Key(UL::KEYKIND_UP, UL::KEY_DOWN));
    Value("current")->SetNumber(50);
    EXPECT_FALSE(Tick());
    EXPECT_EQ(Number("current"), 50);
}

TEST_F(ListControl, WheelScrollsTheWindow)
{
    ASSERT_TRUE(Make());
    struct Case
    {
        const char* name;
        double amount;
        uint32_t reserved;
        int32_t top;
    };
    const Case cases[] = {
        {"towards the user", -1.0, 0, 1}, {"three notches", -3.0, 0, 4},   {"away", 2.0, 0, 2},
        {"a part notch", -0.5, 0, 2},     {"reserved", -3.0, 1, 2},        {"past the top", 9.0, 0, 0},
        {"past the end", -500.0, 0, 119},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        UL::CWheelInfo wheel(0, 0, CPoint(150, 100), 0);
        wheel.m_amount = c.amount;
        wheel.m_reserved = c.reserved;
        EXPECT_TRUE(list->OnMouseWheel(wheel));
        EXPECT_EQ(Number("top"), c.top);
    }
    UL::CWheelInfo outside(0, 0, CPoint(50, 100), 0);
    outside.m_amount = -1.0;
    EXPECT_FALSE(list->OnMouseWheel(outside));
}

TEST_F(ListControl, ActivateValueGivesTheFocus)
{
    ASSERT_TRUE(Make());
    EXPECT_FALSE(list->HasFocus());
    Value("activate")->SetNumber(1);
    EXPECT_TRUE(list->OnValuesChanged({Value("activate")}));
    EXPECT_TRUE(list->HasFocus());
    EXPECT_EQ(Number("activate"), 0);
    EXPECT_TRUE(CVeyBufferManager::GetInstance().GetChangeList().empty());
    list->SetFocus(false);

    // Without an activate reference a change leaves reference 0 alone.
    list = std::make_unique<CNumberedList>();
    CVeyElementDefinition::CAttributes attributes = {{"name", "names"}, {"size", "200,200"},
                                                     {"valueRef", "ls.rows.other"}};
    attributes.insert(attributes.end(), kWriters.begin(), kWriters.end());
    attributes.insert(attributes.end(), kRowRefs.begin(), kRowRefs.end() - 1);
    ASSERT_TRUE(list->LoadAttributes(attributes));
    ASSERT_TRUE(list->Create(&parent));
    EXPECT_TRUE(list->OnValuesChanged({Value("other")}));
    EXPECT_EQ(Number("other"), 77);
    EXPECT_FALSE(list->HasFocus());
}

TEST_F(ListControl, CurrentRowOnlyModeSelectsNothing)
{
    Value("first")->SetNumber(1);
    ASSERT_TRUE(Make({}, true));
    Click(3);
    Click(6, UL::MOUSE_SHIFT);
    Key(UL::KEYKIND_DOWN, UL::KEY_DOWN, UL::KEYMOD_SHIFT);
    EXPECT_TRUE(list->GetSelection().empty());
    EXPECT_EQ(Number("current"), 7);
    list->SetRows(0, -10, CVeyListControl::kSetCurrent);
    EXPECT_EQ(Number("current"), 0);   // one before the first row
}

TEST_F(ListControl, DrawsHeaderAndRowsWithTheirWriters)
{
    ASSERT_TRUE(Make({{"columnWidths", "50,60"}, {"headerTexts", "No,Name"}, {"rowHeight", "40"}}));
    // 200 / 40 - 1 = 4 row slots; rows 0..1 only, so two slots draw blank.
    Value("last")->SetNumber(2);
    Value("current")->SetNumber(1);
    list->SelectRow(0, true, true);
    list->FillTexts();
    const std::vector<CRect> clip = {list->GetRect()};
    UL::CDrawInfo info(nullptr, &clip, nullptr);

    list->Draw(info);
    ASSERT_EQ(drawn.size(), 3u + 4u * 3u);
    EXPECT_EQ(drawn[0].writer, "header");
    EXPECT_EQ(drawn[0].rect, CRect(100, 50, 148, 89));
    EXPECT_EQ(drawn[0].text, " No");
    EXPECT_EQ(drawn[1].rect, CRect(150, 50, 208, 89));
    EXPECT_EQ(drawn[2].rect, CRect(210, 50, 300, 89));
    EXPECT_EQ(drawn[2].text, " ");
    EXPECT_EQ(drawn[3].writer, "inactiveSelect");
    EXPECT_EQ(drawn[3].rect, CRect(100, 90, 150, 130));
    EXPECT_EQ(drawn[3].text, " 0");
    EXPECT_EQ(drawn[4].text, " ");
    EXPECT_EQ(drawn[6].writer, "inactiveCurrent");
    EXPECT_EQ(drawn[6].text, " 1");
    EXPECT_EQ(drawn[9].writer, "text");
    EXPECT_EQ(drawn[9].rect, CRect(100, 170, 150, 210));
    EXPECT_EQ(drawn[9].text, " ");

    drawn.clear();
    list->SetFocus(true);
    list->Draw(info);
    EXPECT_EQ(drawn[3].writer, "select");
    EXPECT_EQ(drawn[6].writer, "current");
    list->SetFocus(false);

    drawn.clear();
    const std::vector<CRect> elsewhere = {CRect(0, 0, 10, 10)};
    list->Draw(UL::CDrawInfo(nullptr, &elsewhere, nullptr));
    EXPECT_TRUE(drawn.empty());
}
