#pragma once
// The controls the user changes by dragging: the base turns press, moves and release into
// BeginDrag, DragTo and EndDrag and hands keys, wheel, timer ticks and focus to its operators;
// the single kind binds the family to one integer value.
#include "ui/controls/CVeyInputOperators.h"
#include "ui/controls/CVeyView.h"

#include <cstdint>
#include <memory>
#include <string>

class CVeyDragControl : public CVeyControl
{
public:
    ~CVeyDragControl() override;

    // The control's attributes, then the key operator's and the tip-bar operator's.
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    bool OnMouse(UL::CMouseInfo& info) override;
    bool OnMouseWheel(UL::CWheelInfo& info) override;
    bool OnKey(const UL::KeyInfo& info) override;
    bool OnTimer(const GT::CTimerInfo& info) override;
    bool OnValuesChanged(const std::vector<CVeyValue*>& changes) override;
    bool Close() override;
    void SetFocus(bool focus) override;

    virtual std::unique_ptr<CVeyKeyOperator> CreateKeyOperator() { return nullptr; }
    virtual std::unique_ptr<CVeyTipBarOperator> CreateTipBarOperator() { return nullptr; }
    virtual std::unique_ptr<CVeyWheelOperator> CreateWheelOperator() { return nullptr; }
    virtual void BeginDrag(UL::CMouseInfo& info) = 0;
    virtual void EndDrag(UL::CMouseInfo& info) = 0;
    virtual void DragTo(UL::CMouseInfo& info) = 0;

    CVeyKeyOperator* GetKeyOperator() const { return m_keyOperator.get(); }
    CVeyTipBarOperator* GetTipBarOperator() const { return m_tipBarOperator.get(); }

    // The anchor value of the drags that follow the pointer: no point yet.
    static constexpr int32_t kNoCoordinate = -2147483647;
    static CPoint NoPoint() { return CPoint(kNoCoordinate, kNoCoordinate); }

protected:
    std::unique_ptr<CVeyKeyOperator> m_keyOperator;
    std::unique_ptr<CVeyTipBarOperator> m_tipBarOperator;
};

class CVeySingleDragControl : public CVeyDragControl, public IVeySingleControl
{
public:
    std::unique_ptr<CVeyKeyOperator> CreateKeyOperator() override;
    std::unique_ptr<CVeyTipBarOperator> CreateTipBarOperator() override;
    std::unique_ptr<CVeyWheelOperator> CreateWheelOperator() override;
    // Sets the rectangle, then follows the value.
    void SetRect(const RECT& rect) override;

    CVeyControl* GetControl() override { return this; }
    int32_t GetValueCount() const override { return CountValues(GetValue(0)); }
    void SetValue(int32_t index) override { CommitIndex(GetValue(0), index); }

protected:
    // Reads "bitmapRef" together with what `reader` declares, then requires it; the diagnostic
    // lines call the control `word` ("knob", "slider").
    bool ReadWithBitmap(CAttributes& attributes, CVeyAttributeReader& reader, CVeyBitmapRef& bitmap,
                        const std::string& word);
    // The creation every control of the family makes first: the base's, then at least one of
    // `boundRefCount` references the script gave naming a number value of two indexes or more.
    bool CreateBound(CVeyView* parent, int32_t boundRefCount, const std::string& word);

    // The press is a reset (Ctrl alone, left button): the value goes back to its default and the
    // capture is released. True when it was one.
    bool ResetOnCtrlClick(const UL::CMouseInfo& info);
};
