#pragma once
// A report list whose cells are edited in place over several selected rows at once. Each column
// carries a record that says whether it can be edited and with which editor (edit box, drop-down
// list or spin edit). Editing opens one editor over the cell of every selected visible row; what is
// typed or chosen in the focused editor is mirrored into the others; on commit the value (for spin
// columns, the same step added to each row's own number) is validated for every selected row and
// then written through SetCellValue, which the derived list implements. The list also has its own
// drag selection, column navigation with a marked current column ("*" in its header), vi-style
// keys, search and replace over one column, and column widths kept in the profile.
#include "librarian/gp/PopupEditors.h"
#include "platform/ListCtrl.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace GP
{
// CArray<int,int> with copy and a virtual clear: the selection snapshot of drag selection.
template <class TYPE, class ARG_TYPE>
class CValArray
{
public:
    virtual ~CValArray() = default;
    int GetSize() const { return static_cast<int>(m_values.size()); }
    void SetSize(int size) { m_values.assign(static_cast<size_t>(std::max(size, 0)), TYPE()); }
    int Add(ARG_TYPE value)
    {
        m_values.push_back(value);
        return GetSize() - 1;
    }
    // Index errors are programming errors: at() throws as the class library's array does.
    TYPE& operator[](int index) { return m_values.at(static_cast<size_t>(index)); }
    const TYPE& operator[](int index) const { return m_values.at(static_cast<size_t>(index)); }
    virtual void RemoveAll() { m_values.clear(); }

private:
    std::vector<TYPE> m_values;
};

// Column record flags.
constexpr uint32_t ELVC_ALIGN_MASK = 0x3;         // 0 left, 1 right, 2 centre
constexpr uint32_t ELVC_EDITBOX = 0x10;
constexpr uint32_t ELVC_COMBOBOX = 0x20;
constexpr uint32_t ELVC_SPINEDIT = 0x40;
constexpr uint32_t ELVC_EDITOR_MASK = 0x70;
constexpr uint32_t ELVC_SPIN_INTEGER = 0x100;     // 0 or 0x200: real
constexpr uint32_t ELVC_SPIN_REAL = 0x200;
constexpr uint32_t ELVC_SPIN_SIGNEDHEX = 0x2000;  // 0 or 0x1000: decimal
constexpr uint32_t ELVC_EDITABLE = 0x10000;

// A value on its way into a cell: text for edit-box and combo columns, a number for spin columns.
struct CCellValue
{
    bool isNumber = false;
    double number = 0;
    std::string text;
};

class CEditListCtrl : public CListCtrl
{
public:
    struct SELVColumn
    {
        uint32_t flags = 0;
        double minimum = 0;
        double maximum = 0;
        int32_t digit = 0;
        int32_t precision = 0;
        uint32_t realFormatFlags = 0;
        std::vector<std::string> items;   // combo box entries
    };

    CEditListCtrl();
    ~CEditListCtrl() override;
    // A report list with owner-drawn rows and exactly full-row selection.
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    int InsertColumn(int index, const LVCOLUMNA& column, const SELVColumn& record);
    BOOL DeleteColumn(int index);
    int InsertItem(int index, LPARAM data);
    void SetGridLines(bool on);
    int GetFocusedItem() const;
    void ScrollItemToTop(int item);
    // Selects or clears one item, or every item with -1, touching only items whose state changes.
    void SelectItems(int item, bool select);
    bool IsItemSelected(int item) const;
    // Row and column of a cell of the visible page under the point.
    bool HitTestCell(POINT point, int& row, int& column) const;
    BOOL GetCellRect(int row, int column, RECT* rect) const;
    void SetCurrentColumn(int index);
    int GetCurrentColumn() const { return m_currentColumn; }
    const SELVColumn& GetColumnRecord(int index) const { return m_records.at(static_cast<size_t>(index)); }

    bool IsEditing() const { return m_active != nullptr; }
    IPopup* GetActiveEditor() const { return m_active; }
    // The editor over `row` while editing, or null.
    IPopup* GetEditor(int row) const;
    // The list that edits now (one in the process at a time), or null.
    static CEditListCtrl* GetEditingList();

    // What the derived list provides.
    virtual bool GetCellNumber(int row, int column, double& number);
    virtual void SetCellValue(int row, int column, const CCellValue& value);
    // Edit and combo columns: always; spin columns: minimum <= value <= maximum.
    virtual bool IsValueValid(int row, int column, const CCellValue& value, bool delta);
    virtual void OnSpinBegin(UINT id);
    virtual void OnSpinEnd(UINT id);
    // Mirrors the active editor's text into the others.
    virtual void OnEditorChange(UINT id);
    // Mirrors the active combo's selection into the others.
    virtual void OnEditorSelEndOk(UINT id);
    // Opens an editor over `column` in every selected visible row; `row` (or with -1 the first of
    // them) gets the focus. False when nothing could be opened or another list edits.
    virtual bool BeginEdit(int row, int column);
    // Closes the editors, after writing the values on commit; false (and the edit stays open) when
    // a value was refused.
    virtual bool EndEdit(bool commit);
    // Replaces a search text in the column's cells of the selected rows (dialog 28417).
    virtual bool ReplaceString(int column);

    // The replace dialog's last strings (process-wide).
    static std::string& LastSearch();
    static std::string& LastReplacement();

protected:
    void DrawItem(DRAWITEMSTRUCT* drawItem) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    void OnRButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnKeyDown(UINT virtualKey, UINT repeatCount, UINT flags) override;
    BOOL OnListChar(UINT character) override;
    bool WantsKey(UINT virtualKey, UINT character) const override;
    void OnVScroll() override;
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override;
    void OnSetFocus(CWnd* oldWindow) override;
    void OnDestroy() override;

    // Which records the derived list sees; the edit number and text of the running edit.
    const std::string& GetEditText() const { return m_editText; }
    double GetEditNumber() const { return m_editNumber; }
    bool IsDeltaMode() const { return m_deltaMode; }

private:
    friend struct CEditListHook;
    enum EDragMode { NoDrag = 0, SingleDrag = 1, RangeDrag = 2, ToggleDrag = 3 };

    std::unique_ptr<IPopup> MakeEditor(const SELVColumn& record) const;
    void SendEditNotifications(UINT code, bool committed);
    bool WriteValues(int column, const std::vector<std::pair<int, CCellValue>>& values);
    std::vector<std::pair<int, CCellValue>> CollectCommitValues();
    LRESULT OnStep(const NMHDR* header);
    void MoveCurrentColumn(int direction);
    void ApplyDragSelection(int row);
    void Notify(UINT code);
    int ColumnOfEditor() const { return m_editColumn; }
    bool AnyColumnEditable() const;

    std::vector<SELVColumn> m_records;
    int m_currentColumn = -1;
    IPopup* m_active = nullptr;
    std::vector<std::unique_ptr<IPopup>> m_editors;   // one slot per item while editing
    // Closed editors wait here: one may be closing from inside its own key handler.
    std::vector<std::unique_ptr<IPopup>> m_retired;
    int m_editColumn = -1;
    bool m_deltaMode = false;
    std::string m_editText;
    double m_editNumber = 0;
    EDragMode m_dragMode = NoDrag;
    CValArray<int, int> m_snapshot;
    bool m_leftPressed = false;
    bool m_rightPressed = false;
};

// The text shortened from its end by whole characters (a Shift-JIS double-byte character counts as
// one) until `width` of it fits `room`, with "..." behind; "..." alone when no character fits.
std::string ShortenWithEllipsis(const std::string& text, int room,
                                const std::function<int(const std::string&)>& width);

// Column widths in the profile as "%d" joined by ",".
class CColumnWidthStore
{
public:
    CColumnWidthStore(CListCtrl& list, std::string section, std::string entry);
    // Each column from the stored list in order (runs of commas count as one); a column without a
    // number is sized to its header.
    void Restore();
    bool Save() const;

private:
    CListCtrl& m_list;
    std::string m_section;
    std::string m_entry;
};
}
