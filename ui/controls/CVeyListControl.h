#pragma once
// The script's "listControl": rows of text in columns under a header line, with a current row and
// a selection moved by mouse, keys and wheel. The row range, the current row and the visible
// window are model values, so scroll controls and the application move the same window. The base
// draws every data cell blank; derived lists fill the row texts of the visible rows.
#include "ui/controls/CVeyInputOperators.h"
#include "ui/controls/CVeyView.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

class CVeyTextWriter;

class CVeyListControl : public CVeyControl
{
public:
    // SetRows flags.
    enum : int32_t
    {
        kSetFirstVisible = 1,
        kSetCurrent = 2,
    };
    // Repeat modes of the 50 ms tick.
    enum : int32_t
    {
        kNoRepeat = 0,
        kMouseRepeat = 1,
        kKeyRepeat = 2,
    };
    static constexpr int32_t kRepeatKey = 1;
    static constexpr uint32_t kFirstRepeatDelay = 200;

    explicit CVeyListControl(bool currentRowOnly = false);

    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    bool OnMouse(UL::CMouseInfo& info) override;
    bool OnMouseWheel(UL::CWheelInfo& info) override;
    bool OnKey(const UL::KeyInfo& info) override;
    // True when an auto-repeat used the tick.
    bool OnTimer(const GT::CTimerInfo& info) override;
    bool OnValuesChanged(const std::vector<CVeyValue*>& changes) override;
    void SetFocus(bool focus) override;

    virtual void SelectRows(int32_t from, int32_t to, bool select, bool exclusive);
    virtual void SelectRow(int32_t row, bool select, bool exclusive);
    virtual void SelectRowRange(int32_t a, int32_t b, bool select, bool exclusive);
    // Sets the current row (kSetCurrent) and the window (kSetFirstVisible), then commits.
    virtual void SetRows(int32_t firstVisible, int32_t current, int32_t flags);
    virtual int32_t GetFirstRow() const;
    // One past the last row.
    virtual int32_t GetLastRow() const;
    virtual int32_t GetRowSpan() const;
    virtual void SetCurrentRow(int32_t row);
    virtual int32_t GetCurrentRow() const;
    virtual void SetFirstVisibleRow(int32_t row);
    virtual int32_t GetFirstVisibleRow() const;
    // One past the last row slot of the window.
    virtual int32_t GetLastVisibleRow() const;
    virtual int32_t GetLastShownRow() const;
    // Rows below the header; never negative.
    virtual int32_t GetVisibleRowCount() const;
    virtual CVeyWheelOperator* CreateWheelOperator();
    // Column < 0: the whole width of the row.
    virtual void GetCellRect(CRect& rect, int32_t row, int32_t column) const;
    virtual int32_t GetRowAt(const CPoint& point) const;

    const std::set<int32_t>& GetSelection() const { return m_selection; }
    const std::vector<int32_t>& GetColumnWidths() const { return m_columnWidths; }
    const std::vector<std::string>& GetHeaderTexts() const { return m_headerTexts; }
    int32_t GetRowHeight() const { return m_rowHeight; }
    int32_t GetAnchorRow() const { return m_anchorRow; }
    int32_t GetRepeatMode() const { return m_repeatMode; }
    bool IsCurrentRowOnly() const { return m_currentRowOnly; }
    // The texts shown, by row from the first visible row, each the cells by column.
    const std::vector<std::vector<std::string>>& GetRowTexts() const { return m_rowTexts; }

protected:
    // Rows counted from the first visible row, each the cell texts by column.
    std::vector<std::vector<std::string>> m_rowTexts;

private:
    enum ERef
    {
        kFirstRowRef,
        kLastRowRef,
        kCurrentRowRef,
        kFirstVisibleRef,
        kLastVisibleRef,
        kActivateRef,
        kRefCount
    };
    enum EWriter
    {
        kHeaderWriter,
        kTextWriter,
        kCurrentWriter,
        kSelectWriter,
        kInactiveCurrentWriter,
        kInactiveSelectWriter,
        kWriterCount
    };

    CVeyValue* RowValue(int32_t ref) const;
    int32_t RowNumber(int32_t ref) const;
    int32_t LowestSelected() const { return m_selection.empty() ? -1 : *m_selection.begin(); }
    int32_t HighestSelected() const { return m_selection.empty() ? -1 : *m_selection.rbegin(); }
    // Shift: the selection grows to take in the row (just the row when nothing is selected).
    void ExtendSelection(int32_t row);
    void StopRepeat();

    int32_t m_refIndexes[kRefCount] = {-1, -1, -1, -1, -1, -1};
    CVeyTextWriter* m_writers[kWriterCount] = {};
    std::vector<std::string> m_headerTexts;
    std::vector<int32_t> m_columnWidths;
    int32_t m_rowHeight = 8;
    std::set<int32_t> m_selection;
    GT::CTimeoutTable m_repeatTimer;
    bool m_repeatKeyStarted = false;
    int32_t m_anchorRow = -1;
    bool m_currentRowOnly;
    int32_t m_repeatMode = kNoRepeat;
    UL::CMouseInfo m_repeatMouse;
    UL::KeyInfo m_repeatKey{0, 0, 0};
};

class CVeyListWheelOperator : public CVeyWheelOperator
{
public:
    explicit CVeyListWheelOperator(CVeyListControl* list) : CVeyWheelOperator(list), m_list(list) {}
    // Scrolls the window by the wheel's notches, down for a turn towards the user.
    bool OnMouseWheel(UL::CWheelInfo& info) override;

private:
    CVeyListControl* m_list;
};
