#include "ui/controls/CVeyListControl.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyTextWriter.h"
#include "model/CVeyValue.h"
#include "platform/Messages.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/Strings.h"
#include "toolkit/gt/TraceTextOut.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace
{
bool IsListKey(uint32_t key)
{
    switch (key)
    {
    case UL::KEY_UP:
    case UL::KEY_DOWN:
    case UL::KEY_HOME:
    case UL::KEY_END:
    case UL::KEY_PAGEUP:
    case UL::KEY_PAGEDOWN: return true;
    default: return false;
    }
}

struct SWriterAttribute
{
    const char* name;
    int writer;
    const char* failure;
};
}

CVeyListControl::CVeyListControl(bool currentRowOnly)
    : m_currentRowOnly(currentRowOnly), m_repeatMouse(WM_MOUSEMOVE, CPoint(0, 0), 0)
{
}

const std::string& CVeyListControl::GetTypeName() const
{
    static const std::string name("listControl");
    return name;
}

bool CVeyListControl::LoadAttributes(CAttributes& attributes)
{
    m_headerTexts.clear();
    m_columnWidths.clear();
    if (!CVeyControl::LoadAttributes(attributes))
        return false;

    static const SWriterAttribute writers[] = {
        {"textWriterRef", kTextWriter, "Unable to find text writer for list control."},
        {"headerWriterRef", kHeaderWriter, "Unable to find header text writer for list control."},
        {"currentWriterRef", kCurrentWriter, "Unable to find current text writer for list control."},
        {"selectWriterRef", kSelectWriter, "Unable to find select text writer for list control."},
        {"inactiveCurrentWriterRef", kInactiveCurrentWriter,
         "Unable to find inactive current text writer for list control."},
        {"inactiveSelectWriterRef", kInactiveSelectWriter,
         "Unable to find inactive select text writer for list control."},
    };
    static const char* const rowRefNames[kRefCount] = {
        "firstRowValueRef",        "lastRowValueRef",        "currentRowValueRef",
        "firstVisibleRowValueRef", "lastVisibleRowValueRef", "activateValueRef",
    };

    CVeyResourceManager& resources = CVeyResourceManager::GetInstance();
    std::string rowRefPaths[kRefCount];
    bool rowRefGiven[kRefCount] = {};
    CVeyAttributeReader reader;
    for (const SWriterAttribute& writer : writers)
        reader.Resource(writer.name, m_writers[writer.writer], resources.GetTextWriters(),
                        Says(std::string(writer.failure) + " : %s : %s\n"));
    for (int ref = 0; ref < kRefCount; ++ref)
        reader.Take(rowRefNames[ref], [&rowRefPaths, &rowRefGiven, ref](const std::string& value) {
            rowRefPaths[ref] = value;
            rowRefGiven[ref] = true;
            return true;
        });
    reader
        .Take("headerTexts",
              [this](const std::string& value) {
                  GT::SplitEscapedList(value, m_headerTexts);
                  return true;
              })
        .Take("columnWidths",
              [this](const std::string& value) {
                  GT::StringToLongList(value, m_columnWidths);
                  return true;
              })
        .Take("rowHeight", [this](const std::string& value) {
            // Rows are found by dividing by the height: a height below one pixel cannot work. Text
            // that is no number leaves the default.
            int32_t height = 0;
            if (!GT::StringToLong(value, &height))
                return true;
            if (height < 1)
            {
                Says("Row height must be positive for list control. : %s : %s\n")(value);
                return false;
            }
            m_rowHeight = height;
            return true;
        });
    if (!reader.Read(attributes))
        return false;

    int64_t sum = 0;
    for (int32_t width : m_columnWidths)
        sum += width;
    if (sum >= m_rect.Width())
    {
        GetTraceTextOut().Printf("Sum of column width must be less than control width for list control. : %s\n",
                                 GetFullName().c_str());
        return false;
    }
    m_columnWidths.push_back(static_cast<int32_t>(m_rect.Width() - sum));
    m_headerTexts.resize(m_columnWidths.size());

    for (int ref = 0; ref < kRefCount; ++ref)
    {
        if (!rowRefGiven[ref])
            continue;
        m_refIndexes[ref] = GetValueRefCount();
        m_valueRefs.emplace_back(rowRefPaths[ref]);
    }
    return true;
}

bool CVeyListControl::Create(CVeyView* parent)
{
    if (!CVeyControl::Create(parent))
    {
        GetTraceTextOut().Printf("Unable to create list control. : %s\n", GetFullName().c_str());
        return false;
    }
    for (CVeyTextWriter* writer : m_writers)
    {
        if (!writer)
        {
            GetTraceTextOut().Printf("There is no text writer reference for list control. : %s\n",
                                     GetFullName().c_str());
            return false;
        }
    }
    // Every row value but the activate flag is read on each draw and input: without one the list
    // would fall back on some other reference and write rows into it.
    for (int ref = kFirstRowRef; ref <= kLastVisibleRef; ++ref)
    {
        if (!RowValue(ref))
        {
            GetTraceTextOut().Printf("There is no row value reference for list control. : %s\n",
                                     GetFullName().c_str());
            return false;
        }
    }
    RowValue(kLastVisibleRef)->SetNumberClipped(GetFirstVisibleRow() + GetVisibleRowCount());
    return true;
}

CVeyValue* CVeyListControl::RowValue(int32_t ref) const
{
    const int32_t index = m_refIndexes[ref];
    return index < 0 ? nullptr : GetValue(index);
}

int32_t CVeyListControl::RowNumber(int32_t ref) const
{
    const CVeyValue* value = RowValue(ref);
    return value ? value->GetNumber() : 0;
}

void CVeyListControl::SelectRows(int32_t from, int32_t to, bool select, bool exclusive)
{
    if (m_currentRowOnly)
        return;
    const int32_t first = GetFirstRow();
    const int32_t last = GetLastRow();
    from = std::max(from, first);
    to = std::min(to, last);
    if (exclusive)
    {
        m_selection.clear();
        if (!select)
            for (int32_t row = first; row < last; ++row)
                m_selection.insert(m_selection.end(), row);
    }
    for (int32_t row = from; row < to; ++row)
    {
        if (select)
            m_selection.insert(row);
        else
            m_selection.erase(row);
    }
}

void CVeyListControl::SelectRow(int32_t row, bool select, bool exclusive)
{
    SelectRows(row, row + 1, select, exclusive);
}

void CVeyListControl::SelectRowRange(int32_t a, int32_t b, bool select, bool exclusive)
{
    SelectRows(std::min(a, b), std::max(a, b) + 1, select, exclusive);
}

void CVeyListControl::SetRows(int32_t firstVisible, int32_t current, int32_t flags)
{
    if (flags & kSetCurrent)
        SetCurrentRow(current);
    if (flags & kSetFirstVisible)
        SetFirstVisibleRow(firstVisible);
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.Flush();
    manager.UpdateViews();
    manager.ClearChanges();
}

int32_t CVeyListControl::GetFirstRow() const { return RowNumber(kFirstRowRef); }
int32_t CVeyListControl::GetLastRow() const { return RowNumber(kLastRowRef); }
int32_t CVeyListControl::GetRowSpan() const { return GetLastRow() - GetFirstRow(); }
int32_t CVeyListControl::GetCurrentRow() const { return RowNumber(kCurrentRowRef); }
int32_t CVeyListControl::GetFirstVisibleRow() const { return RowNumber(kFirstVisibleRef); }
int32_t CVeyListControl::GetLastVisibleRow() const { return GetFirstVisibleRow() + GetVisibleRowCount(); }
int32_t CVeyListControl::GetLastShownRow() const { return std::min(GetLastVisibleRow(), GetLastRow()); }

void CVeyListControl::SetCurrentRow(int32_t row)
{
    CVeyValue* value = RowValue(kCurrentRowRef);
    if (!value)
        return;
    const int32_t lowest = m_currentRowOnly ? GetFirstRow() - 1 : GetFirstRow();
    row = std::max(std::min(row, GetLastRow() - 1), lowest);
    CVeyBufferManager::GetInstance().SetValue(value, row);
}

void CVeyListControl::SetFirstVisibleRow(int32_t row)
{
    CVeyValue* first = RowValue(kFirstVisibleRef);
    CVeyValue* last = RowValue(kLastVisibleRef);
    if (!first || !last)
        return;
    const int32_t count = GetVisibleRowCount();
    row = std::max(std::min(row, GetLastRow() - count), GetFirstRow());
    CVeyBufferManager::GetInstance().SetValues({{first, row}, {last, row + count}});
}

int32_t CVeyListControl::GetVisibleRowCount() const
{
    return std::max(m_rect.Height() / m_rowHeight - 1, 0);
}

CVeyWheelOperator* CVeyListControl::CreateWheelOperator()
{
    return new CVeyListWheelOperator(this);
}

void CVeyListControl::GetCellRect(CRect& rect, int32_t row, int32_t column) const
{
    rect.top = (row - GetFirstVisibleRow() + 1) * m_rowHeight + m_rect.top;
    rect.bottom = rect.top + m_rowHeight;
    if (column < 0 || static_cast<size_t>(column) >= m_columnWidths.size())
    {
        rect.left = m_rect.left;
        rect.right = m_rect.right;
        return;
    }
    rect.left = m_rect.left;
    for (int32_t c = 0; c < column; ++c)
        rect.left += m_columnWidths[static_cast<size_t>(c)];
    rect.right = rect.left + m_columnWidths[static_cast<size_t>(column)];
}

int32_t CVeyListControl::GetRowAt(const CPoint& point) const
{
    return GetFirstVisibleRow() + (point.y - m_rect.top) / m_rowHeight - 1;
}

void CVeyListControl::ExtendSelection(int32_t row)
{
    if (m_selection.empty())
    {
        m_anchorRow = row;
        SelectRow(row, true, true);
        return;
    }
    SelectRows(std::min(LowestSelected(), row), std::max(HighestSelected(), row) + 1, true, true);
}

void CVeyListControl::StopRepeat()
{
    m_repeatMode = kNoRepeat;
}

bool CVeyListControl::OnMouse(UL::CMouseInfo& info)
{
    if (CVeyControl::OnMouse(info))
        return true;
    const CPoint point = info.GetPoint();
    if (!IsCapturing() && !m_rect.PtInRect(point))
        return false;
    const bool shift = (info.m_flags & UL::MOUSE_SHIFT) != 0;
    const bool ctrl = (info.m_flags & UL::MOUSE_CTRL) != 0;

    if (info.m_kind == UL::MOUSE_DOWN)
    {
        const int32_t row = GetRowAt(point);
        if (row < GetFirstVisibleRow() || row >= GetLastShownRow())
            return false;
        if (!HasFocus())
            SetFocus(true);
        SetCapture(true);
        int32_t current = GetCurrentRow();
        if (shift)
        {
            ExtendSelection(row);
            current = row;
        }
        else if (ctrl)
        {
            m_anchorRow = row;
            if (row != current)
            {
                const bool select = m_selection.count(row) == 0;
                SelectRow(row, select, false);
                if (select)
                    current = row;
            }
        }
        else
        {
            m_anchorRow = row;
            SelectRow(row, true, true);
            current = row;
        }
        SetRows(GetFirstVisibleRow(), current, kSetCurrent);
        return true;
    }
    if (info.m_kind == UL::MOUSE_UP)
    {
        if (!IsCapturing())
            return false;
        SetCapture(false);
        m_anchorRow = GetRowAt(point);
        StopRepeat();
        return true;
    }
    if (info.m_kind == UL::MOUSE_MOVE)
    {
        if (!IsCapturing())
            return false;
        const int32_t row = std::max(std::min(GetRowAt(point), GetLastRow() - 1), GetFirstRow());
        int32_t current = GetCurrentRow();
        if (shift)
        {
            ExtendSelection(row);
            current = row;
        }
        else if (ctrl)
        {
            const bool anchorSelected = m_selection.count(m_anchorRow) != 0;
            SelectRowRange(m_anchorRow, row, anchorSelected, false);
            SelectRow(current, true, false);
            if (anchorSelected)
                current = row;
        }
        else
        {
            SelectRowRange(m_anchorRow, row, true, true);
            current = row;
        }
        int32_t firstVisible = GetFirstVisibleRow();
        if (row < firstVisible)
        {
            firstVisible = row;
            m_repeatMouse = info;
            m_repeatMode = kMouseRepeat;
        }
        else if (row >= GetLastShownRow())
        {
            firstVisible = row - GetVisibleRowCount() + 1;
            m_repeatMouse = info;
            m_repeatMode = kMouseRepeat;
        }
        else
            StopRepeat();
        SetRows(firstVisible, current, kSetCurrent | kSetFirstVisible);
        return true;
    }
    return false;
}

bool CVeyListControl::OnMouseWheel(UL::CWheelInfo& info)
{
    if (CVeyControl::OnMouseWheel(info))
        return true;
    if (!m_rect.PtInRect(info.GetPoint()))
        return false;
    std::unique_ptr<CVeyWheelOperator> wheel(CreateWheelOperator());
    wheel->OnMouseWheel(info);
    return true;
}

bool CVeyListWheelOperator::OnMouseWheel(UL::CWheelInfo& info)
{
    if (info.m_reserved != 0)
        return true;
    // Far beyond any row count; keeps the conversion of a wild amount defined.
    const double amount = std::max(-1.0e6, std::min(1.0e6, -info.m_amount));
    const int32_t steps = std::isnan(amount) ? 0 : static_cast<int32_t>(amount);
    const int32_t first = m_list->GetFirstRow();
    const int32_t end = m_list->GetLastRow() - m_list->GetVisibleRowCount();
    if (end > 0)
    {
        const int32_t row = std::max(std::min(m_list->GetFirstVisibleRow() + steps, end), first);
        m_list->SetRows(row, m_list->GetCurrentRow(), CVeyListControl::kSetFirstVisible);
    }
    return true;
}

bool CVeyListControl::OnKey(const UL::KeyInfo& info)
{
    if (CVeyControl::OnKey(info))
        return true;
    if (!IsListKey(info.key))
        return false;
    if (info.kind == UL::KEYKIND_UP)
    {
        StopRepeat();
        return true;
    }
    if (info.kind != UL::KEYKIND_DOWN)
        return false;

    const int32_t first = GetFirstRow();
    const int32_t last = GetLastRow();
    const int32_t current = GetCurrentRow();
    const int32_t count = GetVisibleRowCount();
    int32_t firstVisible = GetFirstVisibleRow();
    int32_t row = current;
    switch (info.key)
    {
    case UL::KEY_UP: row = current > first ? current - 1 : current; break;
    case UL::KEY_DOWN: row = current < last - 1 ? current + 1 : current; break;
    case UL::KEY_HOME: row = first; break;
    case UL::KEY_END: row = last - 1; break;
    case UL::KEY_PAGEUP:
        row = firstVisible;
        if (current == row)
            row = std::max(firstVisible - count + 1, first);
        break;
    case UL::KEY_PAGEDOWN:
        row = GetLastVisibleRow() - 1;
        if (current == row)
            row = row + count - 1;
        row = std::min(row, last - 1);
        break;
    default: break;
    }

    if (!m_currentRowOnly)
    {
        const bool shift = (info.modifiers & UL::KEYMOD_SHIFT) != 0;
        const bool ctrl = (info.modifiers & UL::KEYMOD_CTRL) != 0;
        if (shift || ctrl)
        {
            if (info.key == UL::KEY_UP)
                row = std::max(first, LowestSelected() - 1);
            else if (info.key == UL::KEY_DOWN)
                row = std::min(last - 1, HighestSelected() + 1);
        }
        if (shift)
        {
            if (m_selection.empty())
                SelectRow(row, true, true);
            else
                SelectRows(std::min(LowestSelected(), row), std::max(HighestSelected(), row) + 1, true, true);
        }
        else
            SelectRow(row, true, true);
    }

    if (row < firstVisible)
        firstVisible = row;
    else if (row >= GetLastShownRow())
        firstVisible = row - count + 1;
    m_repeatTimer.Start(kRepeatKey, kFirstRepeatDelay);
    m_repeatKeyStarted = true;
    m_repeatKey = info;
    m_repeatMode = kKeyRepeat;
    SetRows(firstVisible, row, kSetCurrent | kSetFirstVisible);
    return true;
}

bool CVeyListControl::OnTimer(const GT::CTimerInfo& info)
{
    if (CVeyControl::OnTimer(info))
        return true;
    if (m_repeatMode == kMouseRepeat)
    {
        UL::CMouseInfo record = m_repeatMouse;
        OnMouse(record);
        return true;
    }
    if (m_repeatMode == kKeyRepeat && m_repeatKeyStarted && m_repeatTimer.IsExpired(kRepeatKey))
    {
        const UL::KeyInfo record = m_repeatKey;
        OnKey(record);
        m_repeatTimer.Start(kRepeatKey, 0);
        return true;
    }
    return false;
}

bool CVeyListControl::OnValuesChanged(const std::vector<CVeyValue*>& changes)
{
    const bool changed = CVeyControl::OnValuesChanged(changes);
    CVeyValue* activate = RowValue(kActivateRef);
    if (changed && activate && activate->GetNumber() != 0)
    {
        activate->SetNumber(0);
        SetFocus(true);
    }
    return changed;
}

void CVeyListControl::SetFocus(bool focus)
{
    CVeyControl::SetFocus(focus);
    if (!focus)
    {
        if (IsCapturing())
            SetCapture(false);
        m_repeatTimer.Erase(kRepeatKey);
        m_repeatKeyStarted = false;
        // Without the capture a kept mouse record would scroll on with nobody dragging.
        StopRepeat();
    }
    Invalidate(nullptr);
}

void CVeyListControl::Draw(const UL::CDrawInfo& info)
{
    if (!info.IsVisible(m_rect))
        return;
    const int32_t columns = static_cast<int32_t>(m_columnWidths.size());
    const int32_t firstVisible = GetFirstVisibleRow();
    if (m_writers[kHeaderWriter])
    {
        for (int32_t c = 0; c < columns; ++c)
        {
            CRect cell;
            GetCellRect(cell, firstVisible - 1, c);
            if (c < columns - 1)
                cell.right -= 2;
            cell.bottom -= 1;
            const std::string& header = static_cast<size_t>(c) < m_headerTexts.size() ? m_headerTexts[c] : "";
            m_writers[kHeaderWriter]->Draw(info, cell, " " + header);
        }
    }
    const bool focused = HasFocus();
    const int32_t current = GetCurrentRow();
    const int32_t end = GetLastVisibleRow();
    for (int32_t row = firstVisible; row < end; ++row)
    {
        CVeyTextWriter* writer = m_writers[kTextWriter];
        if (row == current)
            writer = m_writers[focused ? kCurrentWriter : kInactiveCurrentWriter];
        else if (m_selection.count(row))
            writer = m_writers[focused ? kSelectWriter : kInactiveSelectWriter];
        if (!writer)
            continue;
        const size_t slot = static_cast<size_t>(row - firstVisible);
        for (int32_t c = 0; c < columns; ++c)
        {
            CRect cell;
            GetCellRect(cell, row, c);
            std::string text = " ";
            if (slot < m_rowTexts.size() && static_cast<size_t>(c) < m_rowTexts[slot].size())
                text += m_rowTexts[slot][static_cast<size_t>(c)];
            writer->Draw(info, cell, text);
        }
    }
}
