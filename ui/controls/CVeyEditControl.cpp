#include "ui/controls/CVeyEditControl.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyTable.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/Format.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyPopupEdit.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>

namespace
{
// The most decimals an "editDouble" shows; a larger script value would only pad with zeros.
constexpr int32_t kMaxPrecision = 30;

void CommitChanges()
{
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.Flush();
    manager.UpdateViews();
    manager.ClearChanges();
}

// The typed number less the offset, clamped into the value's range (computed wide, so that a
// number near the 32-bit limits cannot wrap to the other end).
int32_t ClampTyped(double number, int32_t offset, const CVeyValueDefinition* definition)
{
    const double stored = number - offset;
    if (std::isnan(stored))
        return definition->GetMin();
    return static_cast<int32_t>(std::max<double>(definition->GetMin(), std::min<double>(definition->GetMax(), stored)));
}

// The popup edit below the control: the same size, two pixels under its bottom.
CRect EditRectBelow(const CRect& control)
{
    const int32_t height = control.Height();
    return CRect(control.left, control.top + height + 2, control.right, control.bottom + height + 2);
}

// A leading decimal number as the C library's "%lf" reads it, whatever the process locale.
bool ReadDouble(const std::string& text, double& number)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    in >> number;
    return !in.fail() && std::isfinite(number);
}

// The product truncated toward zero, except that a product a rounding error below a whole number
// counts as that number: 0.29 x 100 is 28.999999999999996 in binary and means 29.
double TruncateProduct(double product)
{
    const double nearest = std::nearbyint(product);
    if (std::fabs(product - nearest) <= 1e-9 * std::max(1.0, std::fabs(product)))
        return nearest;
    return std::trunc(product);
}
}

// CVeyPopEditControl

const std::string& CVeyPopEditControl::GetTypeName() const
{
    static const std::string name("edit");
    return name;
}

bool CVeyPopEditControl::Create(CVeyView* parent)
{
    const auto fail = [this](const char* format) {
        GetTraceTextOut().Printf(format, GetFullName().c_str());
        return false;
    };
    if (!CVeyPopControl::Create(parent))
        return fail("Unable to create edit. : %s\n");
    if (m_buttonPosition.x < m_rect.left || m_buttonPosition.y < m_rect.top)
        m_buttonPosition = m_rect.TopLeft();
    if (m_textRect.left < m_rect.left || m_textRect.top < m_rect.top)
    {
        const CRect button = GetButtonRect();
        m_textRect = CRect(CPoint(button.right, button.top), m_textRect.Size());
    }
    if (m_textRect.IsRectEmpty())
        m_textRect.SetRect(m_textRect.left, m_textRect.top, m_rect.right, m_rect.bottom);
    if (m_bitmap && !m_rect.PtInRect(m_buttonPosition))
        return fail("Button position is invalid for edit control. : %s\n");
    if (!m_rect.PtInRect(m_textRect.TopLeft()))
        return fail("Text position is invalid for edit control. : %s\n");
    if (m_textRect.Width() < 1 || m_textRect.Height() < 1)
        return fail("Text size is invalid for edit control. : %s\n");
    return true;
}

void CVeyPopEditControl::UpdateFromValue()
{
    const CVeyValue* value = GetValue(0);
    if (!value)
        return;
    if (value->GetKind() == CVeyValue::kNumber)
    {
        if (m_stringTable && m_stringTable->GetCount() > 0)
            m_text = *m_stringTable->GetAt(std::max(0, std::min(m_stringTable->GetCount() - 1, value->GetIndex())));
        else
            GT::Format(m_text, "%d",
                       static_cast<int32_t>(static_cast<uint32_t>(value->GetNumber()) + static_cast<uint32_t>(m_offsetValue)));
    }
    else if (value->GetKind() == CVeyValue::kText)
        m_text = value->GetText();
}

void CVeyPopEditControl::OpenPopup()
{
    std::string result;
    if (VeyGetPopupEdit().Run(*GetRootView(), EditRectBelow(m_rect), result, GetTextRecord(), m_textWriter))
        CommitText(result);
    ReleaseButton();
    SetFocus(false);
}

void CVeyPopEditControl::CommitText(const std::string& text)
{
    CVeyValue* value = GetValue(0);
    if (!value)
        return;
    const CVeyValueDefinition* definition = value->GetDefinition();
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    if (value->GetKind() == CVeyValue::kNumber && !m_stringTable)
    {
        int32_t typed = 0;
        const double number =
            GT::StringToLongDecimal(text, &typed) ? typed : static_cast<double>(definition->GetMin()) + m_offsetValue;
        manager.SetValue(value, ClampTyped(number, m_offsetValue, definition));
    }
    else if (value->GetKind() == CVeyValue::kNumber)
    {
        // The table may list more names than the value has indexes.
        const int32_t count = std::min(m_stringTable->GetCount(), definition->GetValueCount());
        if (count > 0)
            manager.SetValueByIndex(value, std::max(0, std::min(count - 1, m_stringTable->FindNearestIndex(text))));
    }
    else if (value->GetKind() == CVeyValue::kText)
    {
        const size_t size = static_cast<size_t>(std::max(0, value->GetSize()));
        std::string fitted = text.substr(0, std::min(size, text.size()));
        fitted.resize(size, static_cast<char>(definition->GetMin()));
        for (char& c : fitted)
            c = static_cast<char>(std::max(definition->GetMin(), std::min(definition->GetMax(), int32_t{static_cast<unsigned char>(c)})));
        manager.SetText(value, fitted);
    }
    CommitChanges();
}

// CVeyEditDoubleControl

const std::string& CVeyEditDoubleControl::GetTypeName() const
{
    static const std::string name("editDouble");
    return name;
}

bool CVeyEditDoubleControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyPopEditControl::LoadAttributes(attributes))
        return false;
    const auto invalid = [this](const char* what) {
        return [this, what](const std::string& value) {
            GetTraceTextOut().Printf("%s %s is invalid. : %s\n", m_name.c_str(), what, value.c_str());
        };
    };
    return CVeyAttributeReader()
        .Take("divisionValue",
              [this, report = invalid("divisionValue")](const std::string& value) {
                  // The shown number is the value divided by this: never zero.
                  if (GT::StringToLong(value, &m_divisionValue) && m_divisionValue != 0)
                      return true;
                  report(value);
                  return false;
              })
        .Number("precision", m_precision, invalid("precision"))
        .Read(attributes);
}

bool CVeyEditDoubleControl::Create(CVeyView* parent)
{
    if (!CVeyPopEditControl::Create(parent))
    {
        GetTraceTextOut().Printf("Unable to create edit double control.\n");
        return false;
    }
    const CVeyValue* value = GetValue(0);
    if (!value)
    {
        GetTraceTextOut().Printf("There is no value reference.\n");
        return false;
    }
    if (value->GetKind() != CVeyValue::kNumber)
    {
        GetTraceTextOut().Printf("value type is not integer.\n");
        return false;
    }
    return true;
}

void CVeyEditDoubleControl::UpdateFromValue()
{
    const CVeyValue* value = GetValue(0);
    if (!value || value->GetKind() != CVeyValue::kNumber)
        return;
    const int precision = static_cast<int>(std::max(0, std::min(kMaxPrecision, m_precision)));
    // The offset is added as CommitText takes it away, so that a shown text typed back in stores
    // the number it came from (a signed value stored around its centre shows as signed).
    const double shown = static_cast<double>(value->GetNumber()) + static_cast<double>(m_offsetValue);
    GT::Format(m_text, "%.*f", precision, shown / m_divisionValue);
}

void CVeyEditDoubleControl::CommitText(const std::string& text)
{
    CVeyValue* value = GetValue(0);
    if (!value || value->GetKind() != CVeyValue::kNumber)
        return;
    const CVeyValueDefinition* definition = value->GetDefinition();
    double typed = 0;
    const double number = ReadDouble(text, typed) ? TruncateProduct(typed * m_divisionValue)
                                                  : static_cast<double>(definition->GetMin()) + m_offsetValue;
    CVeyBufferManager::GetInstance().SetValue(value, ClampTyped(number, m_offsetValue, definition));
    CommitChanges();
}

// CVeyDisplayControl

const std::string& CVeyDisplayControl::GetTypeName() const
{
    static const std::string name("display");
    return name;
}

bool CVeyDisplayControl::Create(CVeyView* parent)
{
    const bool hasTextPosition = m_textOperator && m_textOperator->HasTextPosition();
    const bool hasTextSize = m_textOperator && m_textOperator->HasTextSize();
    if (!CVeyPopControlX::Create(parent))
    {
        ReportError("Unable to create display.");
        return false;
    }
    CRect text = m_textOperator->GetTextRect();
    if (!hasTextPosition)
    {
        const CRect button = GetButtonRect();
        text = CRect(CPoint(button.right, button.top), text.Size());
    }
    if (!hasTextSize)
        text.SetRect(text.left, text.top, m_rect.right, m_rect.bottom);
    m_textOperator->SetTextRect(text);
    return true;
}

void CVeyDisplayControl::Draw(const UL::CDrawInfo& info)
{
    if (m_textOperator)
        m_textOperator->Draw(info, 0);
}

void CVeyDisplayControl::UpdateFromValue()
{
    if (m_textOperator)
        m_textOperator->UpdateFromValue();
}

void CVeyDisplayControl::OpenPopup()
{
    if (!m_textOperator)
    {
        ReleaseButton();
        return;
    }
    const std::vector<CVeyTextWriter*>& writers = m_textOperator->GetTextWriters();
    std::string result;
    if (VeyGetPopupEdit().Run(*GetRootView(), EditRectBelow(m_rect), result, GetText(),
                              writers.empty() ? nullptr : writers.front()))
        CommitText(result);
    ReleaseButton();
    SetFocus(false);
}

void CVeyDisplayControl::CommitText(const std::string& text)
{
    CVeyValue* value = GetValue(0);
    if (!value || !m_textOperator)
        return;
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    if (value->GetKind() == CVeyValue::kNumber)
        manager.SetValueByIndex(value, m_textOperator->TextToIndex(text));
    else if (value->GetKind() == CVeyValue::kText)
        manager.SetText(value, m_textOperator->FitText(text));
    CommitChanges();
}
