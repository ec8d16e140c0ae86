#include "librarian/app/PatchListCtrl.h"

#include "librarian/app/LibrarianData.h"
#include "librarian/app/Patch.h"
#include "librarian/app/PatchListOperations.h"

#include "platform/Gdi.h"
#include "platform/Profile.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace
{
constexpr int kNumberType = 0;
constexpr int kNameType = CPatch::kNameColumn;
const char* const kEndOfLine = "End of Line";
}

CParameterListCtrl::CParameterListCtrl(bool endOfLine) : m_endOfLine(endOfLine) {}

size_t CParameterListCtrl::GetPatchCount() const
{
    const CParameterArray* patches = GetArray();
    return patches ? patches->GetSize() : 0;
}

int CParameterListCtrl::GetPatchOfRow(int row) const
{
    if (row < 0 || row >= GetItemCount())
        return -1;
    const LPARAM data = GetItemData(row);
    return data >= 0 && static_cast<size_t>(data) < GetPatchCount() ? static_cast<int>(data) : -1;
}

int CParameterListCtrl::GetFirstSelectedRow() const
{
    for (int row = 0; row < GetItemCount(); ++row)
        if (GetItemState(row, LVIS_SELECTED))
            return row;
    return -1;
}

int CParameterListCtrl::GetLastSelectedRow() const
{
    for (int row = GetItemCount() - 1; row >= 0; --row)
        if (GetItemState(row, LVIS_SELECTED))
            return row;
    return -1;
}

std::vector<int> CParameterListCtrl::GetSelection() const
{
    std::vector<int> selection;
    for (int row = 0; row < GetItemCount(); ++row)
        if (GetItemState(row, LVIS_SELECTED))
        {
            const int patch = GetPatchOfRow(row);
            if (patch >= 0)
                selection.push_back(patch);
        }
    return selection;
}

bool CParameterListCtrl::IsEndOfLineFirstSelected() const
{
    const int row = GetFirstSelectedRow();
    return row >= 0 && GetPatchOfRow(row) < 0;
}

size_t CParameterListCtrl::GetInsertPosition() const
{
    const int patch = GetPatchOfRow(GetFirstSelectedRow());
    return patch < 0 ? GetPatchCount() : static_cast<size_t>(patch);
}

void CParameterListCtrl::SetItems()
{
    // A list that shows no patches (its view holds no user patches) has no "End of Line" row
    // either: there is nothing to select and nowhere to insert.
    if (!GetArray())
        return;
    const int count = static_cast<int>(GetPatchCount()) + (m_endOfLine ? 1 : 0);
    for (int row = 0; row < count; ++row)
        InsertItem(row, row);
}

int CParameterListCtrl::ColumnWidthFor(const std::string& text) const
{
    CClientDC dc(const_cast<CParameterListCtrl*>(this));
    dc.SelectObject(GetFont());
    // The cells leave a space's width on either side of their text, and the grid takes a pixel.
    return dc.GetTextExtent(text).cx + 2 * dc.GetTextExtent(" ").cx + 1;
}

void CParameterListCtrl::InsertColumns()
{
    const std::vector<SColumn>& columns = GetColumns();
    for (size_t i = 0; i < columns.size(); ++i)
    {
        LVCOLUMNA column;
        const uint32_t align = columns[i].record.flags & GP::ELVC_ALIGN_MASK;
        column.fmt = align == 1 ? LVCFMT_RIGHT : align == 2 ? LVCFMT_CENTER : LVCFMT_LEFT;
        column.text = columns[i].title;
        InsertColumn(static_cast<int>(i), column, columns[i].record);
    }
    // Until the user has set widths of their own, every column shows a whole name or a short memo.
    if (GetProfileString(GetWidthSection(), GetWidthEntry(), "").empty())
        WriteProfileString(GetWidthSection(), GetWidthEntry(), GetDefaultWidths());
    GP::CColumnWidthStore(*this, GetWidthSection(), GetWidthEntry()).Restore();
}

void CParameterListCtrl::Rebuild(bool gridLines)
{
    const int top = GetTopIndex();
    const int focused = GetFocusedItem();
    const int current = GetCurrentColumn();
    SetRedraw(FALSE);
    DeleteAllItems();
    while (GetColumnCount() > 0)
        DeleteColumn(GetColumnCount() - 1);
    SetGridLines(gridLines);
    GP::CFontEx& font = CLibrarianData::GetInstance().GetListFont();
    SetFont(font.IsNull() ? nullptr : &font);
    InsertColumns();
    SetItems();
    SetRedraw(TRUE);
    ScrollItemToTop(std::min(top, std::max(GetItemCount() - 1, 0)));
    if (focused >= 0 && GetItemCount() > 0)
        SetItemState(std::min(focused, GetItemCount() - 1), LVIS_FOCUSED, LVIS_FOCUSED);
    if (current >= 0 && current < GetColumnCount())
        SetCurrentColumn(current);
    if (m_sortType >= 0)
        SortRows();
}

void CParameterListCtrl::Refresh(bool reselect, int count)
{
    const int top = GetTopIndex();
    const int focused = GetFocusedItem();
    const int current = GetCurrentColumn();

    std::set<int> marks;
    if (reselect && count > 0)
    {
        const int first = GetPatchOfRow(GetFirstSelectedRow());
        const int from = first >= 0 ? first : static_cast<int>(GetPatchCount());
        // The patches as they will be after the rebuild: only those still in the list.
        for (int patch = from; patch < from + count; ++patch)
            marks.insert(patch);
    }
    else if (reselect)
    {
        const std::vector<int> selection = GetSelection();
        marks.insert(selection.begin(), selection.end());
    }

    SetRedraw(FALSE);
    DeleteAllItems();
    // The horizontal position stays: only the rows are made anew.
    SetItems();
    ScrollItemToTop(std::min(top, std::max(GetItemCount() - 1, 0)));
    if (focused >= 0 && GetItemCount() > 0)
        SetItemState(std::min(focused, GetItemCount() - 1), LVIS_FOCUSED, LVIS_FOCUSED);
    if (current >= 0)
        SetCurrentColumn(current);
    for (int row = 0; row < GetItemCount(); ++row)
    {
        const int patch = GetPatchOfRow(row);
        if (patch >= 0 && marks.count(patch))
            SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
    if (m_sortType >= 0)
        SortRows();
    SetRedraw(TRUE);
}

void CParameterListCtrl::SelectAll()
{
    for (int row = 0; row < GetItemCount(); ++row)
    {
        const UINT wanted = GetPatchOfRow(row) >= 0 ? LVIS_SELECTED : 0;
        if (GetItemState(row, LVIS_SELECTED) != wanted)
            SetItemState(row, wanted, LVIS_SELECTED);
    }
}

void CParameterListCtrl::SelectPatches(const std::vector<int>& patches)
{
    const std::set<int> wanted(patches.begin(), patches.end());
    int first = -1;
    for (int row = 0; row < GetItemCount(); ++row)
    {
        const int patch = GetPatchOfRow(row);
        const bool selected = patch >= 0 && wanted.count(patch) > 0;
        if (selected && first < 0)
            first = row;
        const UINT state = selected ? LVIS_SELECTED : 0;
        if (GetItemState(row, LVIS_SELECTED) != state)
            SetItemState(row, state, LVIS_SELECTED);
    }
    if (first < 0)
        return;
    SetItemState(first, LVIS_FOCUSED, LVIS_FOCUSED);
    SetSelectionMark(first);
    EnsureVisible(first);
}

void CParameterListCtrl::SortByColumn(int column)
{
    const std::vector<SColumn>& columns = GetColumns();
    if (column < 0 || static_cast<size_t>(column) >= columns.size())
        return;
    const int type = columns[static_cast<size_t>(column)].type;
    m_ascending = type != m_sortType ? true : !m_ascending;
    m_sortType = type;
    SortRows();
}

void CParameterListCtrl::Resort()
{
    if (m_sortType >= 0)
        SortRows();
}

void CParameterListCtrl::SortRows()
{
    const CParameterArray* patches = GetArray();
    if (!patches)
        return;
    struct SRow
    {
        LPARAM data;
        UINT state;
    };
    std::vector<SRow> rows;
    rows.reserve(static_cast<size_t>(GetItemCount()));
    for (int row = 0; row < GetItemCount(); ++row)
        rows.push_back({GetItemData(row), GetItemState(row, LVIS_SELECTED | LVIS_FOCUSED)});
    const size_t count = patches->GetSize();
    const int type = m_sortType;
    const int sign = m_ascending ? 1 : -1;
    // The rows go by position first, so that equal keys keep the list's order. The "End of Line"
    // row stands for the end of the list and stays last whatever the column.
    std::sort(rows.begin(), rows.end(), [](const SRow& a, const SRow& b) { return a.data < b.data; });
    std::stable_sort(rows.begin(), rows.end(), [&](const SRow& a, const SRow& b) {
        const bool aPatch = a.data >= 0 && static_cast<size_t>(a.data) < count;
        const bool bPatch = b.data >= 0 && static_cast<size_t>(b.data) < count;
        if (!aPatch || !bPatch)
            return aPatch && !bPatch;
        const CParameter& left = (*patches)[static_cast<size_t>(a.data)];
        const CParameter& right = (*patches)[static_cast<size_t>(b.data)];
        return sign * left.Compare(type, right, static_cast<uint32_t>(a.data), static_cast<uint32_t>(b.data), false) < 0;
    });
    const int top = GetTopIndex();
    SetRedraw(FALSE);
    DeleteAllItems();
    for (size_t i = 0; i < rows.size(); ++i)
        InsertItem(static_cast<int>(i), rows[i].data);
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].state)
            SetItemState(static_cast<int>(i), rows[i].state, LVIS_SELECTED | LVIS_FOCUSED);
    ScrollItemToTop(std::min(top, std::max(GetItemCount() - 1, 0)));
    SetRedraw(TRUE);
}

std::string CParameterListCtrl::GetDispText(int item, int subItem) const
{
    const std::vector<SColumn>& columns = GetColumns();
    if (subItem < 0 || static_cast<size_t>(subItem) >= columns.size())
        return std::string();
    const int type = columns[static_cast<size_t>(subItem)].type;
    const int patch = GetPatchOfRow(item);
    if (patch < 0)
        return type == kNumberType && item >= 0 && item < GetItemCount() ? kEndOfLine : std::string();
    const CParameter& parameter = (*GetArray())[static_cast<size_t>(patch)];
    char number[32];
    switch (type)
    {
    case kNumberType:
        if (m_endOfLine)
            std::snprintf(number, sizeof number, "%d", patch + 1);
        else
            std::snprintf(number, sizeof number, "%d-%d", patch / 32 + 1, patch % 32 + 1);
        return number;
    case kNameType:
    {
        const auto* named = dynamic_cast<const CPatch*>(&parameter);
        std::string name = named ? named->GetName() : std::string();
        for (char& c : name)
            if (static_cast<unsigned char>(c) < 32)
                c = ' ';
        return name;
    }
    default: return parameter.GetText(type - 1);
    }
}

void CParameterListCtrl::StoreText(CParameter& patch, int type, const std::string& text)
{
    if (type >= 1 && type <= CParameter::kTextCount)
        patch.SetText(type - 1, text);
}

void CParameterListCtrl::SetCellValue(int row, int column, const GP::CCellValue& value)
{
    const int patch = GetPatchOfRow(row);
    const std::vector<SColumn>& columns = GetColumns();
    if (patch < 0 || column < 0 || static_cast<size_t>(column) >= columns.size())
        return;
    // One undo step for the whole change, taken before its first value is stored.
    if (!m_undoTaken)
    {
        m_undoTaken = true;
        if (m_hooks.beforeEdit)
            m_hooks.beforeEdit();
    }
    StoreText((*GetArray())[static_cast<size_t>(patch)], columns[static_cast<size_t>(column)].type, value.text);
}

bool CParameterListCtrl::BeginEdit(int row, int column)
{
    if (row >= 0 && GetPatchOfRow(row) < 0)
        return false;
    m_undoTaken = false;
    return GP::CEditListCtrl::BeginEdit(row, column);
}

bool CParameterListCtrl::EndEdit(bool commit)
{
    if (!GP::CEditListCtrl::EndEdit(commit))
        return false;
    if (commit && m_undoTaken)
    {
        Resort();
        if (m_hooks.afterEdit)
            m_hooks.afterEdit();
    }
    m_undoTaken = false;
    return true;
}

bool CParameterListCtrl::ReplaceString(int column)
{
    // A replacement is an edit of every selected row: one undo step, then sorted and marked
    // modified as an in-place edit is.
    m_undoTaken = false;
    m_replacing = true;
    const bool written = GP::CEditListCtrl::ReplaceString(column);
    m_replacing = false;
    if (written && m_undoTaken)
    {
        Resort();
        if (m_hooks.afterEdit)
            m_hooks.afterEdit();
    }
    m_undoTaken = false;
    return written;
}

void CParameterListCtrl::OnColumnClick(int column)
{
    if (IsEditing())
        EndEdit(false);
    SortByColumn(column);
}

void CParameterListCtrl::TellScrolled()
{
    if (m_hooks.scrolled)
        m_hooks.scrolled();
}

void CParameterListCtrl::OnVScroll()
{
    GP::CEditListCtrl::OnVScroll();
    TellScrolled();
}

BOOL CParameterListCtrl::OnMouseWheel(UINT flags, short delta, CPoint point)
{
    const BOOL result = GP::CEditListCtrl::OnMouseWheel(flags, delta, point);
    TellScrolled();
    return result;
}

void CParameterListCtrl::OnKeyDown(UINT virtualKey, UINT repeatCount, UINT flags)
{
    // Plain keys reach the focused list before the menu's keys: Delete is the menu's here.
    if (virtualKey == VK_DELETE && !IsEditing() && m_hooks.deletePressed)
        return m_hooks.deletePressed();
    GP::CEditListCtrl::OnKeyDown(virtualKey, repeatCount, flags);
    switch (virtualKey)
    {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_UP:
    case VK_DOWN: TellScrolled(); break;
    default: break;
    }
}

void CParameterListCtrl::OnLButtonDblClk(UINT flags, CPoint point)
{
    int row = -1;
    int column = -1;
    if (CLibrarianData::GetInstance().IsUserMode() && HitTestCell(point, row, column))
    {
        const int patch = GetPatchOfRow(row);
        if (patch >= 0 && m_hooks.sendPatch)
            m_hooks.sendPatch(patch);
    }
    GP::CEditListCtrl::OnLButtonDblClk(flags, point);
}

void CParameterListCtrl::OnRButtonDown(UINT flags, CPoint point)
{
    int row = -1;
    int column = -1;
    if (HitTestCell(point, row, column) && GetPatchOfRow(row) < 0)
        return;
    GP::CEditListCtrl::OnRButtonDown(flags, point);
}

CParameterArray& CPatchListCtrl::GetClipboard() const { return CLibrarianData::GetInstance().GetClipboard(); }

const std::vector<CParameterListCtrl::SColumn>& CPatchListCtrl::GetColumns() const
{
    static const std::vector<SColumn> columns = [] {
        SELVColumn number;
        number.flags = 0x1141;
        number.maximum = 127.0;
        number.digit = 2;
        SELVColumn text;
        text.flags = GP::ELVC_EDITABLE | GP::ELVC_EDITBOX;
        text.minimum = -1.0;
        text.maximum = -1.0;
        text.digit = -1;
        text.precision = -1;
        text.realFormatFlags = static_cast<uint32_t>(-1);
        return std::vector<SColumn>{
            {"Number", 0, number},      {"PatchName    ", 5, text}, {"Memo1", 1, text},
            {"Memo2", 2, text},         {"Memo3", 3, text},         {"Memo4", 4, text},
        };
    }();
    return columns;
}

void CPatchListCtrl::StoreText(CParameter& patch, int type, const std::string& text)
{
    if (type == CPatch::kNameColumn)
    {
        if (auto* named = dynamic_cast<CPatch*>(&patch))
            named->SetName(text);
        return;
    }
    CParameterListCtrl::StoreText(patch, type, text);
}

std::string CPatchListCtrl::GetDefaultWidths() const
{
    // Names are printable ASCII: the widest of those, twelve times.
    int nameWidth = 110;
    for (char c = ' '; c < 127; ++c)
        nameWidth = std::max(nameWidth, ColumnWidthFor(std::string(CPatch::kNameLength, c)));
    return "84," + std::to_string(nameWidth) + ",130,130,130,130";
}
