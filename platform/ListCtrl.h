#pragma once
// The list view in report mode, as CListCtrl: columns with a header row, items whose texts come on
// demand (the text callback), item states (selected, focused), a selection mark, a top row and
// vertical scrolling by rows, horizontal scrolling by pixels. Rows are owner-drawn through DrawItem.
// The default mouse and keyboard handling selects as the list view does; derived lists override
// the handlers. Character keys reach OnListChar before anything else (menu shortcuts included) when
// WantsChar says so.
#include "platform/CommonControls.h"
#include "platform/Dialog.h"   // system colours
#include "platform/Gdi.h"

#include <memory>
#include <string>
#include <vector>

constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SINGLESEL = 0x0004;
constexpr DWORD LVS_OWNERDRAWFIXED = 0x0400;
constexpr DWORD LVS_EX_GRIDLINES = 0x0001;
constexpr DWORD LVS_EX_FULLROWSELECT = 0x0020;

constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_IMAGE = 0x0002;
constexpr UINT LVIF_PARAM = 0x0004;
constexpr UINT LVIF_STATE = 0x0008;
constexpr int LVCFMT_LEFT = 0;
constexpr int LVCFMT_RIGHT = 1;
constexpr int LVCFMT_CENTER = 2;
constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

constexpr UINT LVN_BEGINLABELEDIT = static_cast<UINT>(-105);
constexpr UINT LVN_ENDLABELEDIT = static_cast<UINT>(-106);
constexpr UINT LVN_COLUMNCLICK = static_cast<UINT>(-108);

constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_FOCUS = 0x0010;

struct LVITEMA
{
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    char* pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};

struct NMLVDISPINFOA
{
    NMHDR hdr;
    LVITEMA item;
};

struct NMLISTVIEW
{
    NMHDR hdr;
    int iItem;
    int iSubItem;
};

struct LVCOLUMNA
{
    int fmt = LVCFMT_LEFT;
    int cx = 80;
    std::string text;
};

struct DRAWITEMSTRUCT
{
    UINT itemID;
    UINT itemState;   // ODS_ flags
    RECT rcItem;      // the whole row
    CDC* pDC;
    LPARAM itemData;
};

class CListCtrl : public CWnd
{
public:
    CListCtrl();
    ~CListCtrl() override;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    DWORD GetStyle() const { return m_style; }
    DWORD GetExtendedStyle() const { return m_exStyle; }
    DWORD SetExtendedStyle(DWORD exStyle);

    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    int InsertColumn(int index, const LVCOLUMNA& column);
    BOOL DeleteColumn(int index);
    BOOL GetColumn(int index, LVCOLUMNA& column) const;
    BOOL SetColumn(int index, const LVCOLUMNA& column);
    int GetColumnWidth(int index) const;
    // LVSCW_AUTOSIZE_USEHEADER sizes the column to its header text.
    BOOL SetColumnWidth(int index, int width);

    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    // The item's texts come from GetItemText's callback.
    int InsertItem(int index, LPARAM data);
    BOOL DeleteItem(int index);
    BOOL DeleteAllItems();
    LPARAM GetItemData(int item) const;
    UINT GetItemState(int item, UINT mask) const;
    BOOL SetItemState(int item, UINT state, UINT mask);
    std::string GetItemText(int item, int subItem) const;

    int GetTopIndex() const { return m_top; }
    int GetCountPerPage() const;
    // Scrolls by cx pixels horizontally and cy rows vertically.
    BOOL Scroll(CSize size);
    BOOL EnsureVisible(int item);
    int GetScrollX() const { return m_scrollX; }
    int GetSelectionMark() const { return m_selectionMark; }
    int SetSelectionMark(int item);
    int GetSelectedCount() const;
    int GetHeaderHeight() const;
    int GetRowHeight() const;
    // The cell's rectangle in client coordinates (a column's width, the row's height).
    BOOL GetSubItemRect(int item, int subItem, RECT* rect) const;
    // The row under the point (-1 outside the rows) and its column in `subItem`.
    int SubItemHitTest(POINT point, int* subItem) const;
    // The column whose header lies under the point, -1 when none.
    int HeaderHitTest(POINT point) const;
    void SetRedraw(BOOL redraw);
    // The font of the header and the rows (null: the interface font); rows and header are made
    // as high as the font needs, never lower than with the interface font.
    void SetFont(CFont* font);
    CFont* GetFont() const;

protected:
    // The text of a cell (the text callback, LVN_GETDISPINFO); the default has none.
    virtual std::string GetDispText(int item, int subItem) const;
    // Draws one row; the default draws the cells' texts.
    virtual void DrawItem(DRAWITEMSTRUCT* drawItem);
    // A click on a column header: the default tells the parent LVN_COLUMNCLICK.
    virtual void OnColumnClick(int column);
    // After the rows scrolled (scroll bar, wheel or keys).
    virtual void OnVScroll();
    // A character typed while the list has the focus (after OnKeyDown); TRUE when handled.
    virtual BOOL OnListChar(UINT character);
    // Whether the key or character goes straight to the list, before menu shortcuts and dialog keys.
    virtual bool WantsKey(UINT virtualKey, UINT character) const;

    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnKeyDown(UINT virtualKey, UINT repeatCount, UINT flags) override;
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnSetFocus(CWnd* oldWindow) override;
    void OnKillFocus(CWnd* newWindow) override;

    // Moves the focus (and the selection, as the list view's keys do) to `item`.
    void FocusAndSelect(int item, bool extend);

private:
    friend struct CListKeys;
    struct CItem
    {
        LPARAM data;
        UINT state;
    };
    void Redraw();
    int ClampTop(int top) const;

    DWORD m_style = 0;
    DWORD m_exStyle = 0;
    std::vector<LVCOLUMNA> m_columns;
    std::vector<CItem> m_items;
    int m_top = 0;
    int m_scrollX = 0;
    int m_selectionMark = -1;
    bool m_redraw = true;
    CFont* m_font = nullptr;
    int m_rowHeight = 18;
    int m_headerHeight = 20;
    // The vertical scroll bar, shown while the rows do not all fit.
    struct VerticalBar;
    std::unique_ptr<VerticalBar> m_bar;
    void UpdateScrollBar();
};
