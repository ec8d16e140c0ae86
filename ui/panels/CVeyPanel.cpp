#include "ui/panels/CVeyPanel.h"

#include "model/CVeyAddress.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyExpression.h"
#include "model/CVeyResourceManager.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyStateBitmap.h"

CVeyPanel::~CVeyPanel() = default;

bool CVeyPanel::FindControl(const std::string& path, CVeyControl*& control)
{
    std::string rest;
    if (!MatchPathPrefix(path, m_name, rest))
        return false;
    for (const auto& child : m_childControls)
        if (child->GetName() == rest)
        {
            control = child.get();
            return true;
        }
    for (const auto& child : m_childPanels)
        if (child->FindControl(rest, control))
            return true;
    return false;
}

bool CVeyPanel::FindPanel(const std::string& path, CVeyPanel*& panel)
{
    std::string rest;
    if (!MatchPathPrefix(path, m_name, rest))
        return false;
    if (rest.empty())
    {
        panel = this;
        return true;
    }
    for (const auto& child : m_childPanels)
        if (child->FindPanel(rest, panel))
            return true;
    return false;
}

bool CVeyPanel::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyView::LoadAttributes(attributes))
        return false;
    return CVeyAttributeReader()
        .Resource("bitmapRef", m_bitmap, CVeyResourceManager::GetInstance().GetBitmaps(),
                  Detail("Unable to find bitmap for panel."))
        .Take("openCondition",
              [this](const std::string& value) {
                  m_openCondition = value;
                  if (CVeyExpression::EvaluateLenient(m_openCondition, m_valueRefs, m_conditionResult))
                      return true;
                  ReportErrorWithDetail("Unable to interpret open condition for panel.", value);
                  return false;
              })
        .Flag("reverseHandleMouse", m_reverseMouse, Says("Panel %s reverseHandleMouse is invalid. : %s\n"))
        .Read(attributes);
}

bool CVeyPanel::CreateChildren()
{
    for (const auto& child : m_childPanels)
        if (!child->Create(this))
        {
            GetTraceTextOut().Printf("Unable to create child panel %s.\n", child->GetName().c_str());
            return false;
        }
    for (const auto& child : m_childControls)
        if (!child->Create(this))
        {
            GetTraceTextOut().Printf("Unable to create child control %s.\n", child->GetName().c_str());
            return false;
        }
    return true;
}

void CVeyPanel::Draw(const UL::CDrawInfo& info)
{
    if (!m_open || !info.IsVisible(m_rect))
        return;
    if (m_bitmap)
        m_bitmap->DrawState(info, m_rect.TopLeft(), 0);
    for (const auto& child : m_childPanels)
        child->Draw(info);
    for (const auto& child : m_childControls)
        if (child->IsOpen())
            child->Draw(info);
}

bool CVeyPanel::AcceptsPoint(const CPoint& point) const
{
    return m_capture || m_rect.PtInRect(point);
}

bool CVeyPanel::OnMouse(UL::CMouseInfo& info)
{
    if (!m_open || !AcceptsPoint(info.GetPoint()))
        return false;
    if (m_reverseMouse)
    {
        for (const auto& child : m_childPanels)
            if (child->OnMouse(info))
                return true;
        for (const auto& child : m_childControls)
            if (child->IsOpen() && child->OnMouse(info))
                return true;
        return false;
    }
    for (auto it = m_childControls.rbegin(); it != m_childControls.rend(); ++it)
        if ((*it)->IsOpen() && (*it)->OnMouse(info))
            return true;
    for (auto it = m_childPanels.rbegin(); it != m_childPanels.rend(); ++it)
        if ((*it)->OnMouse(info))
            return true;
    return false;
}

bool CVeyPanel::OnMouseWheel(UL::CWheelInfo& info)
{
    if (!m_open || !AcceptsPoint(info.GetPoint()))
        return false;
    for (const auto& child : m_childPanels)
        if (child->OnMouseWheel(info))
            return true;
    for (const auto& child : m_childControls)
        if (child->IsOpen() && child->OnMouseWheel(info))
            return true;
    return false;
}

bool CVeyPanel::OnLocatedEvent(CVeyLocatedEvent& event)
{
    if (!m_open || !AcceptsPoint(event.GetPoint()))
        return false;
    for (const auto& child : m_childPanels)
        if (child->OnLocatedEvent(event))
            return true;
    for (const auto& child : m_childControls)
        if (child->IsOpen() && child->OnLocatedEvent(event))
            return true;
    return false;
}

bool CVeyPanel::OnTimer(const GT::CTimerInfo& info)
{
    if (!m_open)
        return false;
    for (const auto& child : m_childPanels)
        if (child->OnTimer(info))
            return true;
    for (const auto& child : m_childControls)
        if (child->IsOpen() && child->OnTimer(info))
            return true;
    return false;
}

bool CVeyPanel::OnValuesChanged(const std::vector<CVeyValue*>& changes)
{
    bool reacted = CVeyView::OnValuesChanged(changes);
    const CVeyView* parent = GetParent();
    const bool shouldOpen = (!parent || parent->IsOpen()) && m_conditionResult != 0;
    if (shouldOpen != m_open)
    {
        SetOpen(shouldOpen);
        // Children follow at once: a closing panel closes them, an opening one lets each take its
        // own state from its condition and its values.
        for (const auto& child : m_childPanels)
            child->Refresh();
        for (const auto& child : m_childControls)
            child->Refresh();
        reacted = true;
    }
    if (m_open)
    {
        for (const auto& child : m_childPanels)
            reacted = child->OnValuesChanged(changes) || reacted;
        for (const auto& child : m_childControls)
            reacted = child->OnValuesChanged(changes) || reacted;
    }
    return reacted;
}

bool CVeyPanel::Open()
{
    CVeyView::Open();
    // The background is read while some panel showing it is open.
    m_bitmap.Hold();
    return true;
}

bool CVeyPanel::Close()
{
    CVeyView::Close();
    m_bitmap.Drop();
    return true;
}

void CVeyPanel::UpdateFromValue()
{
    int32_t result = 0;
    // A condition that cannot be evaluated now (a value gone) keeps the panel closed.
    m_conditionResult = CVeyExpression::EvaluateStrict(m_openCondition, m_valueRefs, result) ? result : 0;
}

void CVeyPanel::SetRect(const RECT& rect)
{
    const int32_t dx = rect.left - m_rect.left;
    const int32_t dy = rect.top - m_rect.top;
    CVeyView::SetRect(rect);
    for (const auto& child : m_childPanels)
    {
        CRect moved = child->GetRect();
        moved.OffsetRect(dx, dy);
        child->SetRect(moved);
    }
    for (const auto& child : m_childControls)
    {
        CRect moved = child->GetRect();
        moved.OffsetRect(dx, dy);
        child->SetRect(moved);
    }
}

void CVeyPanel::DumpAttributes(GT::ATextOut& out) const
{
    out.Indent(4);
    CVeyView::DumpAttributes(out);
    if (m_bitmap)
        out.Printf("bitmap=%s, ", m_bitmap->GetName().c_str());
    out.Printf("openCondition=%s\n", m_openCondition.c_str());
    out.Printf("<!--child panels-->\n");
    for (const auto& child : m_childPanels)
        child->DumpAttributes(out);
    out.Printf("<!--child controls-->\n");
    for (const auto& child : m_childControls)
        child->DumpAttributes(out);
    out.Indent(-4);
}

void CVeyPanel::DumpNames(GT::ATextOut& out) const
{
    out.Indent(4);
    CVeyView::DumpNames(out);
    for (const auto& child : m_childPanels)
        child->DumpNames(out);
    for (const auto& child : m_childControls)
        child->DumpNames(out);
    out.Indent(-4);
}

CVeyPanel* CVeyPanel::AddChildPanel(std::unique_ptr<CVeyPanel> panel)
{
    m_childPanels.push_back(std::move(panel));
    return m_childPanels.back().get();
}

CVeyControl* CVeyPanel::AddChildControl(std::unique_ptr<CVeyControl> control)
{
    m_childControls.push_back(std::move(control));
    return m_childControls.back().get();
}

// CVeyRootPanel

bool CVeyRootPanel::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyPanel::LoadAttributes(attributes))
        return false;
    GT::CPoint32 windowPosition{m_windowPosition.x, m_windowPosition.y};
    bool hasCloseValueRef = false;
    const bool read =
        CVeyAttributeReader()
            .Point("windowPosition", windowPosition, Detail("Window position is invalid for root panel."))
            .Take("closeValueRef",
                  [&hasCloseValueRef, take = TakeValueRef(&m_closeValueIndex)](const std::string& value) {
                      hasCloseValueRef = true;
                      return take(value);
                  })
            .Number("closeValue", m_closeValue, Detail("Close value is invalid for root panel."))
            .Flag("modal", m_modal, Detail("Modal is invalid for root panel."))
            .Read(attributes);
    m_windowPosition = CPoint(windowPosition.x, windowPosition.y);
    if (!hasCloseValueRef)
        m_closeValueIndex = m_valueRefs.empty() ? -1 : 0;
    return read;
}

bool CVeyRootPanel::Create(CVeyView* parent)
{
    if (!CVeyView::Create(parent) || !CreateChildren())
    {
        GetTraceTextOut().Printf("Unable to create root panel %s.\n", m_name.c_str());
        return false;
    }
    return true;
}

bool CVeyRootPanel::OnKey(const UL::KeyInfo& info)
{
    CVeyView* focused = CVeyViewPointers::GetInstance().focused;
    if (!focused || focused == this)
        return false;
    return focused->OnKey(info);
}

void CVeyRootPanel::OnActivate(bool active)
{
    if (!active)
        KillViewFocus();
}

void CVeyRootPanel::EndCapture()
{
    CVeyView* capturing = CVeyViewPointers::GetInstance().capturing;
    if (capturing && capturing->GetRootView() == this)
        capturing->OnCaptureLost();
}

void CVeyRootPanel::KillViewFocus()
{
    if (CVeyView* focused = CVeyViewPointers::GetInstance().focused)
        focused->SetFocus(false);
}

void CVeyRootPanel::WriteCloseValue()
{
    CVeyValue* value = m_closeValueIndex >= 0 ? GetValue(m_closeValueIndex) : nullptr;
    if (!value)
    {
        SetOpen(false);
        return;
    }
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.SetValue(value, m_closeValue);
    manager.Flush();
    manager.UpdateViews();
    manager.ClearChanges();
}

// CVeyNodePanel

void CVeyNodePanel::SetCapture(bool capture)
{
    if (m_parent)
        m_parent->SetCapture(capture);
    CVeyView::SetCapture(capture);
}

CPoint& CVeyNodePanel::ClientToScreen(CPoint& out, const CPoint& point) const
{
    if (!m_parent)
        return out = point;
    return m_parent->ClientToScreen(out, point);
}

CPoint& CVeyNodePanel::ScreenToClient(CPoint& out, const CPoint& point) const
{
    if (!m_parent)
        return out = point;
    return m_parent->ScreenToClient(out, point);
}

bool CVeyNodePanel::Create(CVeyView* parent)
{
    if (!CVeyView::Create(parent))
    {
        GetTraceTextOut().Printf("Unable to create node panel %s.\n", m_name.c_str());
        return false;
    }
    m_parent = parent;
    if (!CreateChildren())
    {
        GetTraceTextOut().Printf("Unable to create node panel %s.\n", m_name.c_str());
        return false;
    }
    return true;
}

void CVeyNodePanel::Invalidate(const CRect* rect)
{
    if (m_parent)
        m_parent->Invalidate(rect ? rect : &m_rect);
}

void CVeyNodePanel::Redraw(const CRect* rect)
{
    if (m_parent)
        m_parent->Redraw(rect ? rect : &m_rect);
}

std::unique_ptr<CVeyNodePanel> CVeyPanelFactory::CreateNodePanel()
{
    return std::make_unique<CVeyNodePanel>();
}
