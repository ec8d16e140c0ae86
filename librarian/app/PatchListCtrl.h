#pragma once
// The patch lists of the librarian's views: one row per patch with its number, name and four
// memo texts, edited in place, sorted by any column, and the selection that the edit commands
// and transfers work on. File lists end with an "End of Line" row, which stands for the place
// after the last patch and always stays last.
#include "librarian/app/Data.h"
#include "librarian/gp/EditListCtrl.h"

#include <functional>
#include <string>
#include <vector>

class CParameterListCtrl : public GP::CEditListCtrl
{
public:
    // A column: its header, what it shows (0 the number, 1 to 4 the memo texts, 5 the name; also
    // the sort key) and its editing record.
    struct SColumn
    {
        const char* title;
        int type;
        SELVColumn record;
    };

    explicit CParameterListCtrl(bool endOfLine);

    // What the list reports to its view.
    struct SHooks
    {
        std::function<void()> beforeEdit;          // an in-place change is about to be stored
        std::function<void()> afterEdit;           // one was stored
        std::function<void(int patch)> sendPatch;  // a patch row was double-clicked
        std::function<void()> scrolled;            // the top row may have moved
        std::function<void()> deletePressed;       // the Delete key (the menu's key) on the list
    };
    void SetHooks(SHooks hooks) { m_hooks = std::move(hooks); }

    virtual CParameterArray* GetArray() const = 0;
    virtual CParameterArray& GetClipboard() const = 0;
    virtual const std::vector<SColumn>& GetColumns() const = 0;
    virtual const char* GetWidthSection() const = 0;
    virtual const char* GetWidthEntry() const = 0;
    // Column widths before the user sets any, as the profile stores them.
    virtual std::string GetDefaultWidths() const = 0;
    // Width of a column that shows `text` whole in the list's font, margins included.
    int ColumnWidthFor(const std::string& text) const;

    bool HasEndOfLine() const { return m_endOfLine; }
    size_t GetPatchCount() const;
    // The patch a row shows, or -1 (the "End of Line" row, or no such row).
    int GetPatchOfRow(int row) const;
    int GetFirstSelectedRow() const;
    int GetLastSelectedRow() const;
    // The patches of the selected rows, in the order the list shows them.
    std::vector<int> GetSelection() const;
    // The topmost selected row is the "End of Line" row.
    bool IsEndOfLineFirstSelected() const;
    // Where Insert puts the clipboard: before the topmost selected row's patch.
    size_t GetInsertPosition() const;

    // One row per patch (+ "End of Line"), item data = patch index; no rows without an array.
    void SetItems();
    // After an edit: the rows are made anew, keeping the top row, the focused row and the current
    // column. With `reselect`, `count` > 0 selects the `count` patches from the topmost selected
    // row's patch on; 0 selects again the patches that were selected.
    void Refresh(bool reselect, int count);
    // After a font or grid change: columns and rows anew.
    void Rebuild(bool gridLines);
    void SelectAll();
    // Selects only the rows of `patches` and brings the topmost of them into view, focused.
    void SelectPatches(const std::vector<int>& patches);

    // The column sort: a header click sorts ascending by that column, a second click descending.
    void SortByColumn(int column);
    int GetSortType() const { return m_sortType; }
    bool IsAscending() const { return m_ascending; }
    // Sorts again by the current sort column, if any.
    void Resort();

    std::string GetDispText(int item, int subItem) const override;
    void SetCellValue(int row, int column, const GP::CCellValue& value) override;
    bool BeginEdit(int row, int column) override;
    bool EndEdit(bool commit) override;
    bool ReplaceString(int column) override;

protected:
    void OnColumnClick(int column) override;
    void OnVScroll() override;
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override;
    void OnKeyDown(UINT virtualKey, UINT repeatCount, UINT flags) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    // Stores the edited text into the row's patch.
    virtual void StoreText(CParameter& patch, int type, const std::string& text);

private:
    void InsertColumns();
    void SortRows();
    void TellScrolled();

    int m_sortType = -1;
    bool m_ascending = true;
    bool m_endOfLine;
    // Set while one in-place change is stored (edit or replace): undo is remembered once.
    bool m_undoTaken = false;
    bool m_replacing = false;
    SHooks m_hooks;
};

class CPatchListCtrl : public CParameterListCtrl
{
public:
    explicit CPatchListCtrl(bool endOfLine) : CParameterListCtrl(endOfLine) {}

    void SetArray(CPatchArray* patches) { m_patches = patches; }
    CParameterArray* GetArray() const override { return m_patches; }
    CParameterArray& GetClipboard() const override;
    const std::vector<SColumn>& GetColumns() const override;
    const char* GetWidthSection() const override { return "PatchListCtrl"; }
    const char* GetWidthEntry() const override { return "ColumnWidth"; }
    // The name column takes twelve of the font's widest characters.
    std::string GetDefaultWidths() const override;

protected:
    void StoreText(CParameter& patch, int type, const std::string& text) override;

private:
    CPatchArray* m_patches = nullptr;
};
