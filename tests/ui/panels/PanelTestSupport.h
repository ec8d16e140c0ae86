#pragma once
// A script control for the panel tests that uses the operators as the concrete controls will: it
// fills its rectangle with a colour made from its value's index, steps the value by one on a
// click, with the wheel and with the arrow keys (auto-repeat through the key operator), and shows
// its value in the tip bar while it has the focus.
#include "model/CVeyValue.h"
#include "platform/Gdi.h"
#include "ui/controls/CVeyInputOperators.h"
#include "ui/controls/CVeyView.h"

#include <memory>
#include <string>

class CSteppingControl : public CVeyControl, public IVeySingleControl
{
public:
    CSteppingControl() : m_keys(this), m_tipBar(std::make_unique<CVeySingleTipBarOperator>(this)) {}

    static const std::string& TypeName()
    {
        static const std::string name("steppingControl");
        return name;
    }
    // The colour a value index is drawn in.
    static COLORREF ColourOf(int32_t index) { return RGB(index & 0xFF, 200, 40); }

    const std::string& GetTypeName() const override { return TypeName(); }
    CVeyControl* GetControl() override { return this; }
    int32_t GetValueCount() const override { return CountValues(GetValue(0)); }
    void SetValue(int32_t index) override { CommitIndex(GetValue(0), index); }

    bool LoadAttributes(CAttributes& attributes) override
    {
        if (!CVeyControl::LoadAttributes(attributes))
            return false;
        const int32_t tip = m_tipBar->LoadAttributes(attributes);
        if (tip == CVeyControlOperator::kNotWanted)
            m_tipBar.reset();
        return tip != CVeyControlOperator::kFailed;
    }
    bool Create(CVeyView* parent) override
    {
        return CVeyControl::Create(parent) && RequireValueRef() && (!m_tipBar || m_tipBar->Check());
    }
    void Draw(const UL::CDrawInfo& info) override
    {
        ++draws;
        const CVeyValue* value = GetValue(0);
        if (value && info.IsVisible(m_rect))
            info.m_dc->FillSolidRect(m_rect, ColourOf(value->GetIndex()));
    }
    bool OnMouse(UL::CMouseInfo& info) override
    {
        if (!m_capture && !m_rect.PtInRect(info.GetPoint()))
            return false;
        if (m_tipBar)
            m_tipBar->OnMouse(info);
        m_keys.OnMouse(info);
        if (info.m_kind == UL::MOUSE_DOWN)
        {
            SetCapture(true);
            if (const CVeyValue* value = GetValue(0))
                SetValue(std::min(GetValueCount() - 1, value->GetIndex() + 1));
        }
        else if (info.m_kind == UL::MOUSE_UP && m_capture)
            SetCapture(false);
        ++clicks;
        return true;
    }
    bool OnMouseWheel(UL::CWheelInfo& info) override
    {
        if (!m_rect.PtInRect(info.GetPoint()))
            return false;
        m_keys.OnMouseWheel(info);
        CVeySingleWheelOperator wheel(this);
        return wheel.OnMouseWheel(info);
    }
    bool OnKey(const UL::KeyInfo& info) override { return m_keys.OnKey(info); }
    void OnCaptureLost() override
    {
        ++capturesLost;
        SetCapture(false);
    }
    bool OnTimer(const GT::CTimerInfo& info) override { return m_keys.OnTimer(info); }
    void SetFocus(bool focus) override
    {
        CVeyControl::SetFocus(focus);
        m_keys.OnFocus(focus);
        if (m_tipBar)
            m_tipBar->Show(focus);
    }
    bool OnValuesChanged(const std::vector<CVeyValue*>& changes) override
    {
        const bool changed = CVeyControl::OnValuesChanged(changes);
        if (changed && m_tipBar)
            m_tipBar->UpdateText();
        return changed;
    }

    CVeySingleKeyOperator& GetKeys() { return m_keys; }
    bool HasTipBar() const { return m_tipBar != nullptr; }

    int draws = 0;
    int clicks = 0;
    int capturesLost = 0;

private:
    CVeySingleKeyOperator m_keys;
    std::unique_ptr<CVeySingleTipBarOperator> m_tipBar;
};
