#include "ui/controls/CVeyStaticTextControls.h"

#include "model/CVeyResourceManager.h"
#include "model/CVeyTable.h"
#include "model/CVeyTextWriter.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/Format.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <algorithm>

namespace
{
// The element at the index clamped to the table; empty for an empty table.
std::string TableText(const CVeyStringTable& table, int32_t index)
{
    const std::string* text = table.GetAt(std::clamp(index, 0, std::max(0, table.GetCount() - 1)));
    return text ? *text : std::string();
}

// The number plus the offset, wrapping as the 32-bit sum of the original does.
std::string NumberText(int32_t number, int32_t offset, const std::string& unit)
{
    const int32_t sum = static_cast<int32_t>(static_cast<uint32_t>(number) + static_cast<uint32_t>(offset));
    std::string text;
    return GT::Format(text, "%d%s", sum, unit.c_str());
}
}

// CVeyStaticTextControl

const std::string& CVeyStaticTextControl::GetTypeName() const
{
    static const std::string name("staticText");
    return name;
}

bool CVeyStaticTextControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    CVeyResourceManager& resources = CVeyResourceManager::GetInstance();
    const auto plain = [](const char* format) {
        return [format](const std::string& value) { GetTraceTextOut().Printf(format, value.c_str()); };
    };
    return CVeyAttributeReader()
        .Resource("textWriterRef", m_textWriter, resources.GetTextWriters(), plain("Unable to find text writer %s.\n"))
        .Number("offsetValue", m_offsetValue,
                [this](const std::string& value) {
                    GetTraceTextOut().Printf("StaticText %s offsetValue is invalid. : %s\n", m_name.c_str(),
                                             value.c_str());
                })
        .Text("unit", m_unit)
        .Resource("stringTableRef", m_stringTable, resources.GetStringTables(),
                  plain("Unable to find string table %s.\n"))
        .Read(attributes);
}

bool CVeyStaticTextControl::Create(CVeyView* parent)
{
    if (!CVeyControl::Create(parent))
    {
        GetTraceTextOut().Printf("Unable to create static text control.\n");
        return false;
    }
    if (m_valueRefs.empty())
    {
        GetTraceTextOut().Printf("There is no value reference.\n");
        return false;
    }
    if (!m_textWriter)
    {
        GetTraceTextOut().Printf("There is no text writer reference.\n");
        return false;
    }
    return true;
}

void CVeyStaticTextControl::UpdateFromValue()
{
    const CVeyValue* value = GetValue(0);
    if (!value)
        return;
    switch (value->GetKind())
    {
    case CVeyValue::kNumber:
        if (m_stringTable)
            m_text = TableText(*m_stringTable, value->GetIndex()) + m_unit;
        else
            m_text = NumberText(value->GetNumber(), m_offsetValue, m_unit);
        break;
    case CVeyValue::kText:
        m_text = value->GetText() + m_unit;
        break;
    default:
        break;
    }
}

void CVeyStaticTextControl::Draw(const UL::CDrawInfo& info)
{
    if (m_textWriter && info.IsVisible(m_rect))
        m_textWriter->Draw(info, m_rect, GetText());
}

// CVeyStaticTextPictureControl

CVeyStaticTextPictureControl::~CVeyStaticTextPictureControl() = default;

const std::string& CVeyStaticTextPictureControl::GetTypeName() const
{
    static const std::string name("staticTextPicture");
    return name;
}

bool CVeyStaticTextPictureControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    CVeyResourceManager& resources = CVeyResourceManager::GetInstance();
    return CVeyAttributeReader()
        .Resource("textWriterRef", m_textWriter, resources.GetTextWriters(),
                  Says("Unable to find text writer for static text picture. : %s : %s.\n"))
        .Number("offsetValue", m_offsetValue, Says("Offset value is invalid for static text picture. : %s : %s\n"))
        .Text("unit", m_unit)
        .Resource("stringTableRef", m_stringTable, resources.GetStringTables(),
                  Says("Unable to find string table for static text picture. : %s : %s.\n"))
        .Resource("bitmapRef", m_bitmap, resources.GetBitmaps(),
                  Says("Unable to find bitmap for static text picture. : %s : %s.\n"))
        .Read(attributes);
}

bool CVeyStaticTextPictureControl::Create(CVeyView* parent)
{
    const char* failure = nullptr;
    if (!CVeyControl::Create(parent))
        failure = "Unable to create static text picture. : %s\n";
    else if (m_valueRefs.empty())
        failure = "There is no value reference for static text picture. : %s\n";
    else if (!m_textWriter)
        failure = "There is no text writer reference for static text picture. : %s\n";
    else if (!m_bitmap)
        failure = "There is no bitmap reference for static text picture. : %s\n";
    else if (!m_bitmap.Hold())
        failure = "Unable to create bitmap for static text picture. : %s\n";
    if (failure)
    {
        GetTraceTextOut().Printf(failure, GetFullName().c_str());
        return false;
    }
    return true;
}

void CVeyStaticTextPictureControl::UpdateFromValue()
{
    const CVeyValue* value = GetValue(0);
    if (!value || !m_bitmap)
        return;
    const int32_t index = value->GetIndex();
    const int32_t count = IVeySingleControl::CountValues(value);
    const int32_t states = m_bitmap->GetStateCount();
    const int64_t firstPicture = static_cast<int64_t>(count) - states;
    if (states > 0 && index >= firstPicture)
    {
        m_text.clear();
        m_pictureState = static_cast<int32_t>(std::clamp<int64_t>(index - firstPicture, 0, states - 1));
        return;
    }
    m_pictureState = -1;
    if (m_stringTable)
        m_text = TableText(*m_stringTable, index);
    else
        m_text = NumberText(value->GetNumber(), m_offsetValue, m_unit);
}

void CVeyStaticTextPictureControl::Draw(const UL::CDrawInfo& info)
{
    if (!info.IsVisible(m_rect))
        return;
    if (m_pictureState < 0)
    {
        if (m_textWriter)
            m_textWriter->Draw(info, m_rect, m_text);
        return;
    }
    if (!m_bitmap)
        return;
    CSize size;
    m_bitmap->GetStateSize(size, m_pictureState);
    const CPoint at(m_rect.right - size.cx, (m_rect.top + m_rect.bottom) / 2 - size.cy / 2);
    m_bitmap->DrawState(info, at, m_pictureState);
}
