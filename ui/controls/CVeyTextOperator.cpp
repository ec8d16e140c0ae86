#include "ui/controls/CVeyTextOperator.h"

#include "model/CVeyResourceManager.h"
#include "model/CVeyTable.h"
#include "model/CVeyTextWriter.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/Format.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/Strings.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/controls/CVeyView.h"

#include <algorithm>
#include <cstdlib>

namespace
{
int32_t Clip(int64_t value, int32_t low, int32_t high)
{
    return static_cast<int32_t>(std::max<int64_t>(low, std::min<int64_t>(high, value)));
}
}

CVeySingleTextOperator::~CVeySingleTextOperator() = default;

int32_t CVeySingleTextOperator::LoadAttributes(CAttributes& attributes)
{
    CVeyResourceManager& resources = CVeyResourceManager::GetInstance();
    GT::CPoint32 position{m_textPosition.x, m_textPosition.y};
    GT::CPoint32 size{m_textSize.cx, m_textSize.cy};
    const bool read =
        CVeyAttributeReader()
            .Take("textPosition",
                  [&position, this](const std::string& value) {
                      m_hasTextPosition = GT::StringToPoint(value, &position) || m_hasTextPosition;
                      return true;
                  })
            .Take("textSize",
                  [&size, this](const std::string& value) {
                      m_hasTextSize = GT::StringToPoint(value, &size) || m_hasTextSize;
                      return true;
                  })
            .Take("textWriterRef",
                  [this, &resources](const std::string& value) {
                      CVeyTextWriter* writer = resources.GetTextWriters().Find(value);
                      if (writer)
                          m_textWriters.push_back(writer);
                      else
                          m_control->ReportErrorWithDetail("Unable to find text writer.", value);
                      return writer != nullptr;
                  })
            .Resource("stringTableRef", m_stringTable, resources.GetStringTables(),
                      m_control->Detail("Unable to find string table."))
            .Number("offsetValue", m_offsetValue, m_control->Detail("Offset value is invalid."))
            .Resource("pictorialBitmapRef", m_pictorialBitmap, resources.GetBitmaps(),
                      m_control->Detail("Unable to find pictorial bitmap."))
            .Resource("pictorialStringTableRef", m_pictorialStringTable, resources.GetStringTables(),
                      m_control->Detail("Unable to find pictorial string table."))
            .Text("unit", m_unit)
            .Read(attributes);
    m_textPosition = CPoint(position.x, position.y);
    m_textSize = CSize(size.x, size.y);
    if (!read)
        return kFailed;
    if (m_textWriters.empty())
        return kNotWanted;
    const CRect& control = m_control->GetRect();
    m_textRect = CRect(CPoint(control.left + m_textPosition.x, control.top + m_textPosition.y), m_textSize);
    return kConfigured;
}

bool CVeySingleTextOperator::Check()
{
    if (m_textWriters.empty())
        return true;
    // The control has now been placed in its parent; the text rectangle follows it from the
    // offset as written, so a text position works the same inside a node panel.
    const CRect& control = m_control->GetRect();
    m_textRect = CRect(CPoint(control.left + m_textPosition.x, control.top + m_textPosition.y), m_textSize);
    if (m_textRect.left < control.left || m_textRect.top < control.top)
        m_textRect = CRect(control.TopLeft(), m_textRect.Size());
    if (m_textRect.Width() < 1 || m_textRect.Height() < 1)
    {
        m_textRect.right = control.right;
        m_textRect.bottom = control.bottom;
    }
    if (!control.PtInRect(m_textRect.TopLeft()))
    {
        m_control->ReportError("Text position is invalid.");
        return false;
    }
    if (m_textRect.Width() < 1 || m_textRect.Height() < 1)
    {
        m_control->ReportError("Text size is invalid.");
        return false;
    }
    if (m_control->GetValueRefCount() == 0)
    {
        m_control->ReportError("There is no value reference.");
        return false;
    }
    if (m_pictorialBitmap && !m_pictorialBitmap.Hold())
    {
        m_control->ReportError("Unable to create pictorial bitmap.");
        return false;
    }
    if (m_pictorialStringTable)
    {
        if (!m_pictorialBitmap)
        {
            m_control->ReportError("The pictorial bitmap reference is necessary for pictorial string table.");
            return false;
        }
        if (m_pictorialStringTable->GetCount() != m_pictorialBitmap->GetStateCount())
        {
            m_control->ReportError(
                "'Pictorial bitmap state count and pictorial string table element count must be same.");
            return false;
        }
    }
    return true;
}

void CVeySingleTextOperator::OnControlRectChanged(const RECT& rect)
{
    const CRect& old = m_control->GetRect();
    m_textRect.left += rect.left - old.left;
    m_textRect.top += rect.top - old.top;
    m_textRect.right += rect.right - old.right;
    m_textRect.bottom += rect.bottom - old.bottom;
}

void CVeySingleTextOperator::UpdateFromValue()
{
    const CVeyValue* value = m_control->GetValue(0);
    if (!value)
        return;
    if (value->GetKind() == CVeyValue::kText)
    {
        m_text = value->GetText();
        m_pictorialState = -1;
        return;
    }
    if (value->GetKind() != CVeyValue::kNumber)
        return;
    const int32_t count = value->GetDefinition()->GetValueCount();
    const int32_t index = value->GetIndex();
    const int32_t pictures = m_pictorialBitmap ? m_pictorialBitmap->GetStateCount() : 0;
    // Only a real picture strip takes the top indexes; an index outside the range (a number the
    // value's table lacks, data from the instrument) is shown as text.
    if (pictures > 0 && static_cast<int64_t>(index) >= static_cast<int64_t>(count) - pictures)
    {
        m_pictorialState = Clip(static_cast<int64_t>(index) - (static_cast<int64_t>(count) - pictures), 0, pictures - 1);
        const std::string* entry = m_pictorialStringTable ? m_pictorialStringTable->GetAt(m_pictorialState) : nullptr;
        m_text = entry ? *entry : std::string();
        return;
    }
    m_pictorialState = -1;
    if (m_stringTable && m_stringTable->GetCount() > 0)
        m_text = *m_stringTable->GetAt(Clip(index, 0, m_stringTable->GetCount() - 1));
    else
        GT::Format(m_text, "%d", static_cast<int32_t>(static_cast<uint32_t>(value->GetNumber()) +
                                                       static_cast<uint32_t>(m_offsetValue)));
}

void CVeySingleTextOperator::Draw(const UL::CDrawInfo& info, int32_t writerIndex)
{
    if (m_textRect.IsRectEmpty() || !info.IsVisible(m_textRect))
        return;
    if (m_pictorialState >= 0 && m_pictorialBitmap)
    {
        CSize size;
        m_pictorialBitmap->GetStateSize(size, m_pictorialState);
        const CPoint point(m_textRect.right - size.cx, (m_textRect.top + m_textRect.bottom) / 2 - size.cy / 2);
        m_pictorialBitmap->DrawState(info, point, m_pictorialState);
        return;
    }
    if (m_textWriters.empty())
        return;
    const size_t index = writerIndex >= 0 && static_cast<size_t>(writerIndex) < m_textWriters.size()
                             ? static_cast<size_t>(writerIndex)
                             : 0;
    m_textWriters[index]->Draw(info, m_textRect, m_text + m_unit);
}

std::string CVeySingleTextOperator::FitText(const std::string& text) const
{
    const CVeyValue* value = m_control->GetValue(0);
    if (!value)
        return text;
    const CVeyValueDefinition* definition = value->GetDefinition();
    const size_t size = static_cast<size_t>(std::max(0, value->GetSize()));
    std::string fitted = text.substr(0, std::min(size, text.size()));
    fitted.resize(size, static_cast<char>(definition->GetMin()));
    for (char& c : fitted)
        c = static_cast<char>(Clip(static_cast<signed char>(c), definition->GetMin(), definition->GetMax()));
    return fitted;
}

int32_t CVeySingleTextOperator::FindNearestEntry(const std::vector<std::string>& entries, const std::string& text)
{
    if (entries.empty())
        return -1;
    std::vector<size_t> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return GT::SmartLess(entries[a], entries[b]); });
    const auto found = std::find_if(order.begin(), order.end(),
                                    [&](size_t i) { return !GT::SmartLess(entries[i], text); });
    if (found == order.end())
        return static_cast<int32_t>(order.back());
    if (found == order.begin())
        return static_cast<int32_t>(*found);
    const size_t before = *(found - 1);
    const size_t after = *found;
    return static_cast<int32_t>(GT::ValueDistance(entries[before], text) <= GT::ValueDistance(entries[after], text)
                                    ? before
                                    : after);
}

int32_t CVeySingleTextOperator::TextToIndex(const std::string& text) const
{
    const CVeyValue* value = m_control->GetValue(0);
    if (!value)
        return 0;
    const CVeyValueDefinition* definition = value->GetDefinition();
    const int32_t count = definition->GetValueCount();
    if (count < 1)
        return 0;
    const std::vector<std::string> noEntries;
    const std::vector<std::string>& pictorial = m_pictorialStringTable ? m_pictorialStringTable->GetElements() : noEntries;
    const int64_t pictorialCount = static_cast<int64_t>(pictorial.size());
    int64_t index = 0;
    double number = 0;
    if (m_stringTable)
    {
        std::vector<std::string> entries = m_stringTable->GetElements();
        const int64_t stringCount = static_cast<int64_t>(entries.size());
        entries.insert(entries.end(), pictorial.begin(), pictorial.end());
        const int64_t position = FindNearestEntry(entries, text);
        index = position < stringCount ? position : position + count - stringCount - pictorialCount;
    }
    else if (m_pictorialStringTable && !GT::StringToDouble(text, &number))
        index = FindNearestEntry(pictorial, text) + count - pictorialCount;
    else
    {
        int32_t typed = 0;
        if (GT::StringToLongDecimal(text, &typed))
        {
            const int64_t wanted = static_cast<int64_t>(typed) - m_offsetValue;
            if (const IVeyNumberTable* table = definition->GetNumberTable())
            {
                // The shown text is the table's number, so the typed number is looked up there.
                int64_t best = -1;
                for (int32_t i = 0; i < table->GetNumberCount(); ++i)
                    if (best < 0 || std::llabs(table->GetNumberAt(i) - wanted) <
                                        std::llabs(table->GetNumberAt(static_cast<int32_t>(best)) - wanted))
                        best = i;
                index = best < 0 ? 0 : best;
            }
            else
                index = wanted - definition->GetMin();
        }
    }
    return Clip(index, 0, count - 1);
}
