#include "ui/controls/CVeyDragControl.h"

#include "model/CVeyResourceManager.h"
#include "model/CVeyValue.h"
#include "platform/Messages.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <algorithm>

// CVeyDragControl

CVeyDragControl::~CVeyDragControl() = default;

bool CVeyDragControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    GT::CTraceTextOut& trace = GetTraceTextOut();
    m_keyOperator = CreateKeyOperator();
    if (m_keyOperator && !m_keyOperator->LoadAttributes(attributes))
    {
        trace.Printf("Unable to convert key operator for drag control. : %s\n", GetFullName().c_str());
        m_keyOperator.reset();
        return false;
    }
    m_tipBarOperator = CreateTipBarOperator();
    if (m_tipBarOperator)
    {
        switch (m_tipBarOperator->LoadAttributes(attributes))
        {
        case CVeyControlOperator::kFailed:
            trace.Printf("Unable to convert tip bar operator for drag control. : %s\n", GetFullName().c_str());
            m_tipBarOperator.reset();
            return false;
        case CVeyControlOperator::kConfigured: break;
        default: m_tipBarOperator.reset(); break;
        }
    }
    return true;
}

bool CVeyDragControl::Create(CVeyView* parent)
{
    GT::CTraceTextOut& trace = GetTraceTextOut();
    if (!CVeyControl::Create(parent))
    {
        trace.Printf("Unable to create drag control. : %s\n", GetFullName().c_str());
        return false;
    }
    if (m_keyOperator && !m_keyOperator->Check())
    {
        trace.Printf("Unable to create key operator for drag control. : %s\n", GetFullName().c_str());
        return false;
    }
    if (m_tipBarOperator && !m_tipBarOperator->Check())
    {
        trace.Printf("Unable to create tip bar operator for drag control. : %s\n", GetFullName().c_str());
        return false;
    }
    return true;
}

bool CVeyDragControl::OnMouse(UL::CMouseInfo& info)
{
    if (!m_capture && !m_rect.PtInRect(info.GetPoint()))
        return false;
    if (m_keyOperator)
        m_keyOperator->OnMouse(info);
    switch (info.m_kind)
    {
    case UL::MOUSE_DOWN:
    case UL::MOUSE_DOUBLE:
        // Without a key operator nothing else would give the control the focus.
        if (!HasFocus() && !m_keyOperator)
            SetFocus(true);
        SetCapture(true);
        BeginDrag(info);
        return true;
    case UL::MOUSE_UP:
        if (!m_capture)
            return false;
        SetCapture(false);
        EndDrag(info);
        if (HasFocus() && !m_keyOperator)
            SetFocus(false);
        return true;
    case UL::MOUSE_MOVE:
        if (!m_capture)
            return false;
        DragTo(info);
        return true;
    default: return false;
    }
}

bool CVeyDragControl::OnMouseWheel(UL::CWheelInfo& info)
{
    if (!m_rect.PtInRect(info.GetPoint()))
        return false;
    if (m_keyOperator)
        m_keyOperator->OnMouseWheel(info);
    if (m_tipBarOperator)
    {
        UL::CMouseInfo mouse(WM_MOUSEWHEEL, info.GetPoint(), 0);
        mouse.m_flags = info.m_flags;
        m_tipBarOperator->OnMouse(mouse);
    }
    if (std::unique_ptr<CVeyWheelOperator> wheel = CreateWheelOperator())
        wheel->OnMouseWheel(info);
    return true;
}

bool CVeyDragControl::OnKey(const UL::KeyInfo& info)
{
    return m_keyOperator ? m_keyOperator->OnKey(info) : CVeyControl::OnKey(info);
}

bool CVeyDragControl::OnTimer(const GT::CTimerInfo& info)
{
    return m_keyOperator ? m_keyOperator->OnTimer(info) : CVeyControl::OnTimer(info);
}

bool CVeyDragControl::OnValuesChanged(const std::vector<CVeyValue*>& changes)
{
    if (!CVeyControl::OnValuesChanged(changes))
        return false;
    if (m_tipBarOperator)
        m_tipBarOperator->UpdateText();
    return true;
}

bool CVeyDragControl::Close()
{
    if (HasFocus())
        SetFocus(false);
    return CVeyControl::Close();
}

void CVeyDragControl::SetFocus(bool focus)
{
    CVeyControl::SetFocus(focus);
    // A drag never outlives the focus.
    if (!focus && m_capture)
        SetCapture(false);
    if (m_keyOperator)
        m_keyOperator->OnFocus(focus);
    if (m_tipBarOperator)
        m_tipBarOperator->Show(focus);
}

// CVeySingleDragControl

std::unique_ptr<CVeyKeyOperator> CVeySingleDragControl::CreateKeyOperator()
{
    return std::make_unique<CVeySingleKeyOperator>(this);
}

std::unique_ptr<CVeyTipBarOperator> CVeySingleDragControl::CreateTipBarOperator()
{
    return std::make_unique<CVeySingleTipBarOperator>(this);
}

std::unique_ptr<CVeyWheelOperator> CVeySingleDragControl::CreateWheelOperator()
{
    return std::make_unique<CVeySingleWheelOperator>(this);
}

void CVeySingleDragControl::SetRect(const RECT& rect)
{
    CVeyDragControl::SetRect(rect);
    UpdateFromValue();
}

bool CVeySingleDragControl::ResetOnCtrlClick(const UL::CMouseInfo& info)
{
    if (info.m_flags != UL::MOUSE_CTRL)
        return false;
    if (const CVeyValue* value = GetValue(0))
    {
        // A default missing from a number table reads as the table's count: keep it inside.
        const int32_t count = GetValueCount();
        if (count > 0)
            SetValue(std::max(0, std::min(count - 1, value->GetDefinition()->GetDefaultIndex())));
    }
    SetCapture(false);
    return true;
}

bool CVeySingleDragControl::ReadWithBitmap(CAttributes& attributes, CVeyAttributeReader& reader,
                                           CVeyBitmapRef& bitmap, const std::string& word)
{
    reader.Resource("bitmapRef", bitmap, CVeyResourceManager::GetInstance().GetBitmaps(),
                    Says("Unable to find bitmap for " + word + ". : %s : %s\n"));
    if (!reader.Read(attributes))
        return false;
    if (!bitmap)
    {
        GetTraceTextOut().Printf("There is no bitmap reference for %s. : %s.\n", word.c_str(), GetFullName().c_str());
        return false;
    }
    return true;
}

bool CVeySingleDragControl::CreateBound(CVeyView* parent, int32_t boundRefCount, const std::string& word)
{
    const auto fail = [this, &word](const char* format) {
        GetTraceTextOut().Printf(format, word.c_str(), GetFullName().c_str());
        return false;
    };
    if (!CVeyDragControl::Create(parent))
        return fail("Unable to create %s. : %s\n");
    const CVeyValue* value = GetValue(0);
    if (boundRefCount < 1 || !value)
        return fail("Value references are necessary for %s. : %s.\n");
    if (!value->GetDefinition()->IsNumeric())
        return fail("Referred value must be integer for %s. : %s\n");
    if (GetValueCount() <= 1)
        return fail("Referred value range must be greater than 1 for %s. : %s\n");
    return true;
}
