#include "ui/controls/CVeyComboControl.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyTable.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/Format.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/ul/PopupMenu.h"
#include "ui/menus/CVeyStringTablePopupMenuUtility.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace
{
constexpr int32_t kMaxDivisionSize = 32;

int32_t TableCount(const CVeyStringTable* table)
{
    return table ? table->GetCount() : 0;
}

int32_t SelectableCount(int32_t valueCount, const CVeyStringTable* table)
{
    return table ? std::min(valueCount, table->GetCount()) : valueCount;
}

// Sets the index (kept within 0 .. count - 1) and commits it, also when it is the current one.
void CommitComboIndex(CVeyValue* value, int32_t index, int32_t count)
{
    if (!value || count < 1)
        return;
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.SetValueByIndex(value, std::max(0, std::min(count - 1, index)));
    manager.Flush();
    manager.UpdateViews();
    manager.ClearChanges();
}

// Shows the combo menu below the text rectangle and returns the chosen index, or -1.
int32_t TrackComboMenu(CVeyControl& control, const CVeyComboDivisions& divisions, int32_t count,
                       const CVeyStringTable* table, int32_t offset, std::unique_ptr<CVeyComboDivisions::IPrinter> printer,
                       const CRect& textRect)
{
    std::unique_ptr<UL::CPopupMenuItem> root = divisions.BuildMenu(count, table, offset, std::move(printer));
    const CVeyValue* value = control.GetValue(0);
    const int32_t current = value ? value->GetIndex() : -1;
    const int32_t marked = current >= 0 && current < count ? current : -1;
    CPoint point;
    control.ClientToScreen(point, CPoint(textRect.left, textRect.bottom + 2));
    const UL::CPopupMenuItemList empty;
    const UL::CPopupMenuItemList* items = root->GetSubItems() ? root->GetSubItems() : &empty;
    const int32_t chosen = UL::GetPopupMenu().TrackIndex(*items, marked, &point);
    // Greyed entries cannot be chosen; the check keeps an index past the value's range out anyway.
    return chosen >= 0 && chosen < count ? chosen : -1;
}

// Position defaults of the combos: the button in the top-right corner, the text from the
// control's top-left up to the button.
void PlaceComboButton(CPoint& button, const CRect& control, int32_t buttonWidth)
{
    button = CPoint(control.right - buttonWidth, control.top);
}
}

// CVeyComboDivisions

bool CVeyComboDivisions::LoadAttributes(CVeyElementDefinition::CAttributes& attributes,
                                        CVeyAttributeReader::FReport badOffset,
                                        CVeyAttributeReader::FReport missingTable)
{
    return CVeyAttributeReader()
        .Number("divisionItemOffset", m_divisionItemOffset, std::move(badOffset))
        .Resource("divisionStringTableRef", m_divisionTable, CVeyResourceManager::GetInstance().GetStringTables(),
                  std::move(missingTable))
        .Text("delimiter", m_delimiter)
        .Read(attributes);
}

bool CVeyComboDivisions::IsCountEntry(const std::string& entry)
{
    return !entry.empty() && std::isdigit(static_cast<unsigned char>(entry[0]));
}

int32_t CVeyComboDivisions::CountOf(const std::string& entry)
{
    int64_t count = 0;
    for (char c : entry)
    {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            break;
        count = std::min<int64_t>(INT32_MAX, count * 10 + (c - '0'));
    }
    return static_cast<int32_t>(count);
}

int64_t CVeyComboDivisions::SumCounts() const
{
    int64_t sum = 0;
    if (m_divisionTable)
        for (const std::string& entry : m_divisionTable->GetElements())
            if (IsCountEntry(entry))
                sum += CountOf(entry);
    return sum;
}

std::vector<std::string> CVeyComboDivisions::GetTitles(int32_t index) const
{
    std::vector<std::string> titles;
    if (!m_divisionTable)
        return titles;
    int64_t sum = 0;
    for (const std::string& entry : m_divisionTable->GetElements())
    {
        if (!IsCountEntry(entry))
        {
            titles.push_back(entry.substr(1));
            continue;
        }
        sum += CountOf(entry);
        if (sum > index)
            return titles;
        titles.clear();
    }
    return {};
}

std::string CVeyComboDivisions::Print(int32_t index, const CVeyStringTable* table, int32_t offset) const
{
    std::string text;
    if (!table || table->GetCount() < 1)
        return GT::Format(text, "%d", static_cast<int32_t>(static_cast<uint32_t>(offset) + static_cast<uint32_t>(index)));
    index = std::max(0, std::min(table->GetCount() - 1, index));
    if (!m_delimiter.empty() && m_divisionTable)
        for (const std::string& title : GetTitles(index))
            text += title + m_delimiter;
    return text + *table->GetAt(index);
}

std::unique_ptr<UL::CPopupMenuItem> CVeyComboDivisions::BuildMenu(int32_t count, const CVeyStringTable* table,
                                                                  int32_t offset,
                                                                  std::unique_ptr<IPrinter> printer) const
{
    auto root = std::make_unique<UL::CPopupMenuItem>("", std::make_unique<UL::CPopupMenuItemList>());
    if (!m_divisionTable)
    {
        using CUtility = CVeyStringTablePopupMenuUtility;
        std::unique_ptr<CUtility::IPrinter> titles;
        const int32_t width =
            CUtility::CountDigits(std::max<int64_t>(int64_t{m_divisionItemOffset} + count - 1, 1));
        if (!table)
            titles = std::make_unique<CUtility::CDivisionItemPrinter>(width, offset);
        else if (m_divisionItemOffset == 0 || m_divisionItemOffset == 1)
            titles = std::make_unique<CUtility::CDivisionItemPrinter>(width, m_divisionItemOffset);
        else
            titles = std::make_unique<CUtility::CDivisionItemPrinter>(table);
        CUtility::CElementItemCreator elements(std::move(printer));
        CUtility::CDivisionItemCreator divisions(count, kMaxDivisionSize, std::move(titles));
        CVeyPopupMenuBuilder<int32_t> builder({&elements, &divisions});
        GT::CCountingIterator<int32_t> values(0, std::max(0, count));
        builder.Build(*root, values);
        UL::CPopupMenuItem::Fold(*root);
        return root;
    }
    // From the division table: titles open (or find) nested sub-menus, counts fill them with the
    // next elements. Elements beyond the value's range are shown greyed.
    UL::CPopupMenuItemList* current = root->GetSubItems();
    int32_t element = 0;
    const int32_t elementCount = TableCount(table);
    for (const std::string& entry : m_divisionTable->GetElements())
    {
        if (!IsCountEntry(entry))
        {
            const std::string title = entry.substr(1);
            const auto found = std::find_if(current->begin(), current->end(), [&](const auto& item) {
                return item->GetSubItems() && item->GetText() == title;
            });
            if (found != current->end())
                current = (*found)->GetSubItems();
            else
            {
                current->push_back(
                    std::make_unique<UL::CPopupMenuItem>(title, std::make_unique<UL::CPopupMenuItemList>()));
                current = current->back()->GetSubItems();
            }
            continue;
        }
        for (int32_t n = CountOf(entry); n > 0 && element < elementCount; --n, ++element)
        {
            current->push_back(std::make_unique<UL::CPopupMenuItem>(*table->GetAt(element)));
            if (element >= count)
                current->back()->Enable(false);
        }
        current = root->GetSubItems();
    }
    return root;
}

// CVeyPopComboControl

std::string CVeyPopComboControl::CPrinter::Print(int32_t index)
{
    return m_control->GetDivisions().Print(index, m_control->GetStringTable(), m_control->GetOffsetValue());
}

const std::string& CVeyPopComboControl::GetTypeName() const
{
    static const std::string name("combo");
    return name;
}

bool CVeyPopComboControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyPopControl::LoadAttributes(attributes))
        return false;
    return m_divisions.LoadAttributes(
        attributes, Says("Division item offset value is invalid for pop combo control. : %s : %s\n"),
        Says("Unable to find division string table for pop combo control\x81\x44: %s : %s\n"));
}

bool CVeyPopComboControl::Create(CVeyView* parent)
{
    const auto fail = [this](const char* format) {
        GetTraceTextOut().Printf(format, GetFullName().c_str());
        return false;
    };
    if (!CVeyPopControl::Create(parent))
        return fail("Unable to create combo conrol. : %s\n");
    if (m_buttonPosition.x < m_rect.left || m_buttonPosition.y < m_rect.top)
        PlaceComboButton(m_buttonPosition, m_rect, GetButtonRect().Width());
    if (m_textRect.left < m_rect.left || m_textRect.top < m_rect.top)
        m_textRect = CRect(m_rect.TopLeft(), m_textRect.Size());
    if (m_textRect.Width() < 1 || m_textRect.Height() < 1)
        m_textRect.SetRect(m_textRect.left, m_textRect.top, m_buttonPosition.x, m_rect.bottom);
    if (m_bitmap && !m_rect.PtInRect(m_buttonPosition))
        return fail("Button position is invalid for combo control. : %s\n");
    if (!m_rect.PtInRect(m_textRect.TopLeft()))
        return fail("Text position is invalid for combo control. : %s\n");
    if (m_textRect.Width() < 1 || m_textRect.Height() < 1)
        return fail("Text size is invalid for combo control. : %s\n");
    const CVeyValue* value = GetValue(0);
    if (!value || value->GetKind() != CVeyValue::kNumber)
        return fail("Referred value type must be integer for combo control. : %s\n");
    if (m_divisions.GetDivisionTable())
    {
        if (!m_stringTable)
            return fail("String table must be specified when using division string table for combo control. : %s\n");
        if (m_divisions.SumCounts() != m_stringTable->GetCount())
            return fail("Summation of element count in division string table must be same as string table element "
                        "count for combo control. : %s\n");
    }
    return true;
}

void CVeyPopComboControl::UpdateFromValue()
{
    if (const CVeyValue* value = GetValue(0))
        m_text = CPrinter(this).Print(value->GetIndex());
}

void CVeyPopComboControl::OpenPopup()
{
    const int32_t chosen = TrackComboMenu(*this, m_divisions, GetValueCount(), m_stringTable, m_offsetValue,
                                          std::make_unique<CPrinter>(this), m_textRect);
    if (chosen != -1)
        SetValue(chosen);
    ReleaseButton();
    SetFocus(false);
}

int32_t CVeyPopComboControl::GetValueCount() const
{
    return SelectableCount(CountValues(GetValue(0)), m_stringTable);
}

void CVeyPopComboControl::SetValue(int32_t index)
{
    CommitComboIndex(GetValue(0), index, GetValueCount());
}

// CVeyComboControl

std::string CVeyComboControl::CPrinter::Print(int32_t index)
{
    const CVeySingleTextOperator* text = m_control->GetTextOperator();
    return m_control->GetDivisions().Print(index, text->GetStringTable(), text->GetOffsetValue());
}

const std::string& CVeyComboControl::GetTypeName() const
{
    static const std::string name("comboA");
    return name;
}

bool CVeyComboControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyPopControlX::LoadAttributes(attributes))
        return false;
    return m_divisions.LoadAttributes(attributes, Detail("Division item offset value is invalid."),
                                      Detail("Unable to find division string table"));
}

bool CVeyComboControl::Create(CVeyView* parent)
{
    const bool buttonGiven = HasButtonPosition();
    const bool hasTextPosition = m_textOperator && m_textOperator->HasTextPosition();
    const bool hasTextSize = m_textOperator && m_textOperator->HasTextSize();
    if (!CVeyPopControlX::Create(parent))
    {
        ReportError("Unable to create.");
        return false;
    }
    if (!buttonGiven)
        PlaceComboButton(m_buttonPosition, m_rect, GetButtonRect().Width());
    CRect text = m_textOperator->GetTextRect();
    if (!hasTextPosition)
        text = CRect(m_rect.TopLeft(), text.Size());
    if (!hasTextSize)
        text.SetRect(text.left, text.top, m_buttonPosition.x, m_rect.bottom);
    m_textOperator->SetTextRect(text);
    const CVeyValue* value = GetValue(0);
    if (!value || value->GetKind() != CVeyValue::kNumber)
    {
        ReportError("Referred value type must be integer.");
        return false;
    }
    if (m_divisions.GetDivisionTable())
    {
        const CVeyStringTable* table = m_textOperator->GetStringTable();
        if (!table)
        {
            ReportError("String table must be specified when using division string table.");
            return false;
        }
        if (m_divisions.SumCounts() != table->GetCount())
        {
            ReportError("Summation of element count in division string table must be same as string table element "
                        "count.");
            return false;
        }
    }
    return true;
}

void CVeyComboControl::UpdateFromValue()
{
    if (!m_textOperator)
        return;
    if (const CVeyValue* value = GetValue(0))
        SetText(CPrinter(this).Print(value->GetIndex()));
}

void CVeyComboControl::OpenPopup()
{
    const CVeySingleTextOperator* text = m_textOperator.get();
    if (!text)
    {
        ReleaseButton();
        return;
    }
    const int32_t chosen = TrackComboMenu(*this, m_divisions, GetValueCount(), text->GetStringTable(),
                                          text->GetOffsetValue(), std::make_unique<CPrinter>(this),
                                          text->GetTextRect());
    if (chosen != -1)
        SetValue(chosen);
    ReleaseButton();
    SetFocus(false);
}

int32_t CVeyComboControl::GetValueCount() const
{
    return SelectableCount(CountValues(GetValue(0)), m_textOperator ? m_textOperator->GetStringTable() : nullptr);
}

void CVeyComboControl::SetValue(int32_t index)
{
    CommitComboIndex(GetValue(0), index, GetValueCount());
}
