#include "ui/controls/CVeyPictureControls.h"

#include "model/CVeyResourceManager.h"
#include "model/CVeyTextWriter.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/Strings.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <algorithm>

// CVeyPictureControl

CVeyPictureControl::~CVeyPictureControl() = default;

const std::string& CVeyPictureControl::GetTypeName() const
{
    static const std::string name("picture");
    return name;
}

bool CVeyPictureControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    return CVeyAttributeReader()
        .Resource("bitmapRef", m_bitmap, CVeyResourceManager::GetInstance().GetBitmaps(),
                  Says("Unable to find bitmap for picture. : %s : %s.\n"))
        .Number("offsetIndex", m_offsetIndex, Says("Offset index is invalid for picture. : %s : %s\n"))
        .Read(attributes);
}

bool CVeyPictureControl::Create(CVeyView* parent)
{
    if (!CVeyControl::Create(parent))
    {
        GetTraceTextOut().Printf("Unable to create picture control %s.\n", m_name.c_str());
        return false;
    }
    if (m_valueRefs.empty())
    {
        GetTraceTextOut().Printf("There is no value reference for picture control %s.\n", GetFullName().c_str());
        return false;
    }
    if (!m_bitmap)
    {
        GetTraceTextOut().Printf("There is no bitmap reference for picture control %s.\n", GetFullName().c_str());
        return false;
    }
    // An image that cannot be read leaves the picture blank, not the panel unmade.
    m_bitmap.Hold();
    CSize size;
    m_bitmap->GetStateSize(size, 0);
    m_rect.right = m_rect.left + size.cx;
    m_rect.bottom = m_rect.top + size.cy;
    return true;
}

void CVeyPictureControl::SetRect(const RECT& rect)
{
    const int32_t width = m_rect.Width();
    const int32_t height = m_rect.Height();
    m_rect.SetRect(rect.left, rect.top, rect.left + width, rect.top + height);
}

void CVeyPictureControl::UpdateFromValue()
{
    const CVeyValue* value = GetValue(0);
    if (!value || !m_bitmap)
        return;
    const int64_t state = static_cast<int64_t>(value->GetIndex()) + m_offsetIndex;
    const int64_t last = std::max<int64_t>(0, m_bitmap->GetStateCount() - 1);
    m_displayState = static_cast<int32_t>(std::clamp<int64_t>(state, 0, last));
}

void CVeyPictureControl::Draw(const UL::CDrawInfo& info)
{
    // An image that failed to load has nothing to draw.
    if (!m_bitmap.IsHeld() || !info.IsVisible(m_rect))
        return;
    m_bitmap->DrawState(info, m_rect.TopLeft(), m_displayState);
}

// CVeyLabelControl

const std::string& CVeyLabelControl::GetTypeName() const
{
    static const std::string name("label");
    return name;
}

bool CVeyLabelControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    return CVeyAttributeReader()
        .Resource("textWriterRef", m_textWriter, CVeyResourceManager::GetInstance().GetTextWriters(),
                  Says("Unable to find text writer for label. : %s : %s.\n"))
        .EscapedText("label", m_label)
        .Read(attributes);
}

bool CVeyLabelControl::Create(CVeyView* parent)
{
    if (!CVeyControl::Create(parent))
    {
        GetTraceTextOut().Printf("Unable to create label control. : %s.\n", GetFullName().c_str());
        return false;
    }
    if (!m_textWriter)
    {
        GetTraceTextOut().Printf("There is no text writer reference for label control. : %s\n", GetFullName().c_str());
        return false;
    }
    return true;
}

void CVeyLabelControl::Draw(const UL::CDrawInfo& info)
{
    if (m_textWriter && info.IsVisible(m_rect))
        m_textWriter->Draw(info, m_rect, GetLabel());
}
