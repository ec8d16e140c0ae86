#include "ui/controls/CVeyPopControl.h"

#include "model/CVeyResourceManager.h"
#include "model/CVeyTable.h"
#include "model/CVeyTextWriter.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyStateBitmap.h"

namespace
{
CRect ButtonRect(const CVeyStateBitmap* bitmap, const CPoint& position)
{
    CSize size;
    if (bitmap)
        bitmap->GetStateSize(size, -1);
    return CRect(position, size);
}

// The press that opens the popup, shared by both bases once their own checks have passed.
template <class TControl>
bool PressButton(TControl& control, UL::CMouseInfo& info, const CVeyStateBitmap* bitmap, bool& pressed)
{
    if (!control.IsCapturing() && !control.GetRect().PtInRect(info.GetPoint()))
        return false;
    if (info.m_kind != UL::MOUSE_DOWN && info.m_kind != UL::MOUSE_DOUBLE)
        return false;
    if (!control.HasFocus())
        control.SetFocus(true);
    const CRect button = control.GetButtonRect();
    if (bitmap && !button.PtInRect(info.GetPoint()))
        return false;
    pressed = true;
    if (bitmap)
        control.Invalidate(&button);
    control.OpenPopup();
    return true;
}

template <class TControl>
bool TurnWheel(TControl& control, UL::CWheelInfo& info, int32_t wheelUse)
{
    if (!control.IsCapturing() && !control.GetRect().PtInRect(info.GetPoint()))
        return false;
    if (wheelUse == 0)
        return false;
    if (wheelUse == 2)
        info.m_amount = -info.m_amount;
    if (std::unique_ptr<CVeyWheelOperator> wheel = control.CreateWheelOperator())
    {
        control.SetFocus(true);
        wheel->OnMouseWheel(info);
        control.SetFocus(false);
    }
    return true;
}
}

// CVeyPopControl

CVeyPopControl::CVeyPopControl(int32_t wheelDefault) : m_useWheel(wheelDefault) {}

CVeyPopControl::~CVeyPopControl() = default;

bool CVeyPopControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    CVeyResourceManager& resources = CVeyResourceManager::GetInstance();
    GT::CPoint32 textPosition{-1, -1};
    GT::CPoint32 textSize{0, 0};
    GT::CPoint32 buttonPosition{m_buttonPosition.x, m_buttonPosition.y};
    const bool read =
        CVeyAttributeReader()
            .Point("textPosition", textPosition)
            .Point("textSize", textSize)
            .Point("buttonPosition", buttonPosition)
            .Resource("textWriterRef", m_textWriter, resources.GetTextWriters(),
                      Says("Unable to find text writer for pop control. : %s : %s\n"))
            .Resource("bitmapRef", m_bitmap, resources.GetBitmaps(),
                      Says("Unable to find bitmap for pop control. : %s : %s\n"))
            .Resource("stringTableRef", m_stringTable, resources.GetStringTables(),
                      Says("Unable to find string table for pop control\x81\x44: %s : %s\n"))
            .Number("offsetValue", m_offsetValue, Says("Offset value is invalid for pop control. : %s : %s\n"))
            .NumberIn("useWheel", m_useWheel, 0, 2, Says("useWheel is invalid for pop control. : %s : %s\n"),
                      Says("useWheel value must be [0,2] for pop control. : %s : %s\n"))
            .Read(attributes);
    m_buttonPosition = CPoint(buttonPosition.x, buttonPosition.y);
    if (!read)
        return false;
    m_textRect.SetRect(textPosition.x, textPosition.y, textPosition.x + textSize.x, textPosition.y + textSize.y);
    return true;
}

bool CVeyPopControl::Create(CVeyView* parent)
{
    if (!CVeyControl::Create(parent))
        return false;
    const std::string fullName = GetFullName();
    const char* full = fullName.c_str();
    if (!m_textWriter)
    {
        GetTraceTextOut().Printf("There is no text writer reference for pop control. : %s\n", full);
        return false;
    }
    // Every pop control shows and changes value reference 0.
    if (!RequireValueRef())
        return false;
    if (m_bitmap && !HoldBitmap(m_bitmap, "pop control"))
        return false;
    const CVeyValue* value = GetValue(0);
    if (m_stringTable && (!value || value->GetKind() != CVeyValue::kNumber))
    {
        GetTraceTextOut().Printf(
            "Referred value type must be integer when string table is referred for pop control. : %s\n", full);
        return false;
    }
    m_buttonPosition.Offset(m_rect.left, m_rect.top);
    m_textRect.OffsetRect(m_rect.left, m_rect.top);
    return true;
}

void CVeyPopControl::Draw(const UL::CDrawInfo& info)
{
    if (m_textWriter && info.IsVisible(m_textRect))
        m_textWriter->Draw(info, m_textRect, GetTextRecord());
    if (m_bitmap && info.IsVisible(GetButtonRect()))
        m_bitmap->DrawState(info, m_buttonPosition, m_buttonPressed ? 1 : 0);
}

bool CVeyPopControl::OnMouse(UL::CMouseInfo& info)
{
    if (CVeyControl::OnMouse(info))
        return true;
    return PressButton(*this, info, m_bitmap, m_buttonPressed);
}

bool CVeyPopControl::OnMouseWheel(UL::CWheelInfo& info)
{
    if (CVeyControl::OnMouseWheel(info))
        return true;
    return TurnWheel(*this, info, m_useWheel);
}

void CVeyPopControl::SetRect(const RECT& rect)
{
    const CRect old = m_rect;
    CVeyControl::SetRect(rect);
    m_buttonPosition.Offset(rect.left - old.left, rect.top - old.top);
    m_textRect.left += rect.left - old.left;
    m_textRect.top += rect.top - old.top;
    m_textRect.right += rect.right - old.right;
    m_textRect.bottom += rect.bottom - old.bottom;
}

std::unique_ptr<CVeyWheelOperator> CVeyPopControl::CreateWheelOperator()
{
    return std::make_unique<CVeySingleWheelOperator>(this);
}

void CVeyPopControl::ReleaseButton()
{
    m_buttonPressed = false;
    if (m_bitmap)
    {
        const CRect button = GetButtonRect();
        Invalidate(&button);
    }
}

int32_t CVeyPopControl::GetValueCount() const
{
    return CountValues(GetValue(0));
}

void CVeyPopControl::SetValue(int32_t index)
{
    CommitIndex(GetValue(0), index);
}

CRect CVeyPopControl::GetButtonRect() const
{
    return ButtonRect(m_bitmap, m_buttonPosition);
}

// CVeyPopControlX

CVeyPopControlX::CVeyPopControlX(int32_t wheelDefault) : m_useWheel(wheelDefault) {}

CVeyPopControlX::~CVeyPopControlX() = default;

bool CVeyPopControlX::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    m_textOperator = CreateTextOperator();
    if (!m_textOperator || m_textOperator->LoadAttributes(attributes) != CVeyControlOperator::kConfigured)
    {
        ReportError("Unable to convert text operator.");
        return false;
    }
    GT::CPoint32 buttonPosition{m_buttonPosition.x, m_buttonPosition.y};
    int32_t editable = m_editable ? 1 : 0;
    const bool read =
        CVeyAttributeReader()
            .Point("buttonPosition", buttonPosition)
            .Resource("bitmapRef", m_bitmap, CVeyResourceManager::GetInstance().GetBitmaps(),
                      Detail("Unable to find bitmap."))
            .NumberIn("useWheel", m_useWheel, 0, 2, Detail("useWheel value must be [0,2]."),
                      Detail("useWheel value must be [0,2]."))
            .NumberIn("editable", editable, 0, 1, Detail("editable value must be [0,1]."),
                      Detail("editable value must be [0,1]."))
            .Read(attributes);
    m_buttonPosition = CPoint(buttonPosition.x, buttonPosition.y);
    m_editable = editable != 0;
    return read;
}

bool CVeyPopControlX::Create(CVeyView* parent)
{
    if (!CVeyControl::Create(parent))
        return false;
    if (!m_textOperator || !m_textOperator->Check())
    {
        ReportError("Unable to create text operator.");
        return false;
    }
    if (m_bitmap && !m_bitmap.Hold())
    {
        ReportError("Unable to create bitmap.");
        return false;
    }
    // The script's position is relative to the control; one that is not given (or negative)
    // puts the button at the control's top-left, where the subclass may move it.
    if (!HasButtonPosition())
        m_buttonPosition = CPoint(0, 0);
    m_buttonPosition.Offset(m_rect.left, m_rect.top);
    if (m_bitmap && !m_rect.PtInRect(m_buttonPosition))
    {
        ReportError("Button position is invalid.");
        return false;
    }
    return true;
}

void CVeyPopControlX::Draw(const UL::CDrawInfo& info)
{
    if (m_textOperator)
        m_textOperator->Draw(info, 0);
    if (m_bitmap && info.IsVisible(GetButtonRect()))
        m_bitmap->DrawState(info, m_buttonPosition, m_buttonPressed ? 1 : 0);
}

bool CVeyPopControlX::OnMouse(UL::CMouseInfo& info)
{
    if (CVeyControl::OnMouse(info))
        return true;
    if (!m_editable)
        return false;
    return PressButton(*this, info, m_bitmap, m_buttonPressed);
}

bool CVeyPopControlX::OnMouseWheel(UL::CWheelInfo& info)
{
    if (CVeyControl::OnMouseWheel(info))
        return true;
    if (!m_editable)
        return false;
    return TurnWheel(*this, info, m_useWheel);
}

void CVeyPopControlX::SetRect(const RECT& rect)
{
    if (m_textOperator)
        m_textOperator->OnControlRectChanged(rect);
    m_buttonPosition.Offset(rect.left - m_rect.left, rect.top - m_rect.top);
    CVeyControl::SetRect(rect);
}

std::unique_ptr<CVeySingleTextOperator> CVeyPopControlX::CreateTextOperator()
{
    return std::make_unique<CVeySingleTextOperator>(this);
}

std::unique_ptr<CVeyWheelOperator> CVeyPopControlX::CreateWheelOperator()
{
    return std::make_unique<CVeySingleWheelOperator>(this);
}

void CVeyPopControlX::SetText(const std::string& text)
{
    if (m_textOperator)
        m_textOperator->SetText(text);
}

const std::string& CVeyPopControlX::GetText() const
{
    static const std::string none;
    return m_textOperator ? m_textOperator->GetText() : none;
}

void CVeyPopControlX::ReleaseButton()
{
    m_buttonPressed = false;
    if (m_bitmap)
    {
        const CRect button = GetButtonRect();
        Invalidate(&button);
    }
}

int32_t CVeyPopControlX::GetValueCount() const
{
    return CountValues(GetValue(0));
}

void CVeyPopControlX::SetValue(int32_t index)
{
    CommitIndex(GetValue(0), index);
}

CRect CVeyPopControlX::GetButtonRect() const
{
    return ButtonRect(m_bitmap, m_buttonPosition);
}
