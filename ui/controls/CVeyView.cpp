#include "ui/controls/CVeyView.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/Strings.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/controls/VeyTipBar.h"

#include <algorithm>

CVeyViewPointers& CVeyViewPointers::GetInstance()
{
    static CVeyViewPointers pointers;
    return pointers;
}

void CVeyViewPointers::Forget(const CVeyView* view)
{
    if (focused == view)
        focused = nullptr;
    if (capturing == view)
        capturing = nullptr;
    if (tipBar == view)
        tipBar = nullptr;
}

CVeyView::~CVeyView()
{
    CVeyViewPointers::GetInstance().Forget(this);
}

void CVeyView::OnRefresh(const CPoint& screenPoint)
{
    if (m_capture)
        return;
    CPoint client;
    ScreenToClient(client, screenPoint);
    if (!m_rect.PtInRect(client))
        Restore();
}

void CVeyView::SetCapture(bool capture)
{
    m_capture = capture;
    CVeyViewPointers::GetInstance().capturing = capture ? this : nullptr;
}

bool CVeyView::LoadAttributes(CAttributes& attributes)
{
    GT::CPoint32 position;
    GT::CPoint32 size;
    CVeyAttributeReader reader;
    reader.EscapedText("name", m_name)
        .Point("position", position, Detail("Position is invalid for view."))
        .Point("size", size, Detail("Size is invalid for view."));
    if (!reader.Read(attributes))
        return false;
    m_rect.SetRect(position.x, position.y, position.x + size.x, position.y + size.y);
    return true;
}

CVeyAttributeReader::FReport CVeyView::Detail(const char* message) const
{
    return [this, message](const std::string& value) { ReportErrorWithDetail(message, value); };
}

CVeyAttributeReader::FReport CVeyView::Says(std::string format) const
{
    return [this, format = std::move(format)](const std::string& value) {
        GetTraceTextOut().Printf(format.c_str(), GetFullName().c_str(), value.c_str());
    };
}

bool CVeyView::Create(CVeyView* parent)
{
    if (parent)
        m_rect.OffsetRect(parent->GetRect().left, parent->GetRect().top);
    if (!ResolveValueRefs())
    {
        ReportError("Unable to associate view.");
        return false;
    }
    return true;
}

bool CVeyView::OnMouse(UL::CMouseInfo&) { return false; }
bool CVeyView::OnMouseWheel(UL::CWheelInfo&) { return false; }
bool CVeyView::OnKey(const UL::KeyInfo&) { return false; }
bool CVeyView::OnTimer(const GT::CTimerInfo&) { return false; }
bool CVeyView::OnLocatedEvent(CVeyLocatedEvent&) { return false; }
void CVeyView::OnCaptureLost() {}

bool CVeyView::ReresolveValueRef(CVeyValueRef& ref)
{
    const CVeyValueRef previous = ref;
    if (ref.Resolve())
        return true;
    GetTraceTextOut().Printf("Unable to convert value reference name %s to value.\n", ref.GetName().c_str());
    ref = previous;
    return false;
}

bool CVeyView::OnValuesChanged(const std::vector<CVeyValue*>& changes)
{
    bool changed = false;
    for (CVeyValueRef& ref : m_valueRefs)
    {
        if (ref.DependsOnAny(changes))
        {
            ReresolveValueRef(ref);
            changed = true;
        }
        else if (ref.GetValue() && std::find(changes.begin(), changes.end(), ref.GetValue()) != changes.end())
            changed = true;
    }
    if (!changed)
        return false;
    UpdateFromValue();
    Invalidate(nullptr);
    return true;
}

bool CVeyView::Refresh()
{
    // A reference whose path names no value now keeps the value it had (see ReresolveValueRef).
    for (CVeyValueRef& ref : m_valueRefs)
        ReresolveValueRef(ref);
    UpdateFromValue();
    Invalidate(nullptr);
    OnValuesChanged({});
    return true;
}

bool CVeyView::Open()
{
    m_open = true;
    return true;
}

bool CVeyView::Close()
{
    m_open = false;
    return true;
}

void CVeyView::UpdateFromValue() {}

void CVeyView::SetFocus(bool focus)
{
    CVeyViewPointers& pointers = CVeyViewPointers::GetInstance();
    if (focus)
    {
        if (pointers.focused && pointers.focused != this)
            pointers.focused->SetFocus(false);
        pointers.focused = this;
        pointers.tipBar = this;
        return;
    }
    if (pointers.focused == this)
        pointers.focused = nullptr;
    if (pointers.tipBar == this)
    {
        pointers.tipBar = nullptr;
        VeyGetTipBar().Show(false);
    }
}

bool CVeyView::HasFocus() const
{
    return CVeyViewPointers::GetInstance().focused == this;
}

CVeyValueRef& CVeyView::GetValueRef(int32_t index)
{
    static CVeyValueRef none;
    if (index < 0)
        index = 0;
    if (static_cast<size_t>(index) >= m_valueRefs.size())
    {
        none = CVeyValueRef();
        return none;
    }
    return m_valueRefs[static_cast<size_t>(index)];
}

const CVeyValueRef& CVeyView::GetValueRef(int32_t index) const
{
    return const_cast<CVeyView*>(this)->GetValueRef(index);
}

CVeyValue* CVeyView::GetValue(int32_t index) const
{
    return GetValueRef(index).GetValue();
}

void CVeyView::SetRect(const RECT& rect)
{
    m_rect = rect;
}

void CVeyView::ReportErrorWithDetail(const std::string& message, const std::string& detail) const
{
    GetTraceTextOut().Printf("%s : %s : %s\n", message.c_str(), GetFullName().c_str(), detail.c_str());
}

void CVeyView::ReportError(const std::string& message) const
{
    GetTraceTextOut().Printf("%s : %s\n", message.c_str(), GetFullName().c_str());
}

void CVeyView::DumpAttributes(GT::ATextOut& out) const
{
    out.Printf("%s, ", GetFullName().c_str());
    out.Printf("position=%d %d, ", m_rect.left, m_rect.top);
    out.Printf("size=%d %d, ", m_rect.Width(), m_rect.Height());
}

void CVeyView::DumpNames(GT::ATextOut& out) const
{
    out.Printf("%s\n", GetFullName().c_str());
}

std::string CVeyView::GetFullName() const
{
    std::string name = m_name;
    // Bounded by the depth of the panel tree; a cycle cannot be built through Create.
    for (const CVeyView* parent = GetParent(); parent; parent = parent->GetParent())
        name = parent->GetName() + "." + name;
    return name;
}

CVeyView* CVeyView::GetRootView()
{
    CVeyView* view = this;
    while (CVeyView* parent = view->GetParent())
        view = parent;
    return view;
}

bool CVeyView::SetOpen(bool open)
{
    if (open == m_open)
        return false;
    if (open)
        Open();
    else
        Close();
    return true;
}

bool CVeyView::ResolveValueRefs()
{
    return ::ResolveValueRefs(m_valueRefs);
}

// CVeyControl

void CVeyControl::SetCapture(bool capture)
{
    if (m_parent)
        m_parent->SetCapture(capture);
    CVeyView::SetCapture(capture);
}

CPoint& CVeyControl::ClientToScreen(CPoint& out, const CPoint& point) const
{
    if (!m_parent)
        return out = point;
    return m_parent->ClientToScreen(out, point);
}

CPoint& CVeyControl::ScreenToClient(CPoint& out, const CPoint& point) const
{
    if (!m_parent)
        return out = point;
    return m_parent->ScreenToClient(out, point);
}

bool CVeyControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyView::LoadAttributes(attributes))
        return false;
    return CVeyAttributeReader().Take("valueRef", TakeValueRef()).Read(attributes);
}

CVeyAttributeReader::FReport CVeyView::SaysValueFirst(std::string format) const
{
    return [this, format = std::move(format)](const std::string& value) {
        GetTraceTextOut().Printf(format.c_str(), value.c_str(), GetFullName().c_str());
    };
}

CVeyAttributeReader::FTake CVeyView::TakeValueRef(int32_t* index)
{
    return [this, index](const std::string& path) {
        m_valueRefs.emplace_back(path);
        if (index)
            *index = GetValueRefCount() - 1;
        return true;
    };
}

bool CVeyControl::Create(CVeyView* parent)
{
    if (!CVeyView::Create(parent))
    {
        GetTraceTextOut().Printf("Unable to create control %s.\n", m_name.c_str());
        return false;
    }
    m_parent = parent;
    return true;
}

void CVeyControl::Invalidate(const CRect* rect)
{
    if (m_parent)
        m_parent->Invalidate(rect ? rect : &m_rect);
}

void CVeyControl::Redraw(const CRect* rect)
{
    if (m_parent)
        m_parent->Redraw(rect ? rect : &m_rect);
}

bool CVeyControl::OnValuesChanged(const std::vector<CVeyValue*>& changes)
{
    const bool changed = CVeyView::OnValuesChanged(changes);
    const bool toggled = SetOpen(m_parent && m_parent->IsOpen());
    return changed || toggled;
}

void CVeyControl::ReportErrorWithDetail(const std::string& message, const std::string& detail) const
{
    GetTraceTextOut().Printf("%s : %s : %s : %s\n", message.c_str(), GetTypeName().c_str(), GetFullName().c_str(),
                             detail.c_str());
}

void CVeyControl::ReportError(const std::string& message) const
{
    GetTraceTextOut().Printf("%s : %s : %s\n", message.c_str(), GetTypeName().c_str(), GetFullName().c_str());
}

void CVeyControl::DumpAttributes(GT::ATextOut& out) const
{
    out.Indent(4);
    CVeyView::DumpAttributes(out);
    out.Printf("\n");
    out.Indent(-4);
}

void CVeyControl::DumpNames(GT::ATextOut& out) const
{
    out.Indent(4);
    CVeyView::DumpNames(out);
    out.Indent(-4);
}

bool CVeyControl::HoldBitmap(CVeyBitmapRef& bitmap, const std::string& word) const
{
    if (bitmap.Hold())
        return true;
    GetTraceTextOut().Printf("Unable to create bitmap for %s. : %s\n", word.c_str(), GetFullName().c_str());
    return false;
}

bool CVeyControl::RequireValueRef() const
{
    if (!m_valueRefs.empty())
        return true;
    ReportError("There is no value reference.");
    return false;
}

// IVeySingleControl

int32_t IVeySingleControl::CountValues(const CVeyValue* value)
{
    return value ? value->GetDefinition()->GetValueCount() : 0;
}

bool IVeySingleControl::CommitIndex(CVeyValue* value, int32_t index)
{
    if (!value || index == value->GetIndex())
        return false;
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.SetValueByIndex(value, index);
    manager.Flush();
    manager.UpdateViews();
    manager.ClearChanges();
    return true;
}
