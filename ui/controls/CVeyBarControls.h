#pragma once
// Controls that show a value as a bar: the bar graph, a passive level display cut out of a state
// bitmap, and the bar slider, an editable bar running from a base value to the value, set by
// pressing or dragging along it.
#include "toolkit/gt/ValueTypes.h"
#include "ui/controls/CVeyDragControl.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <memory>
#include <string>

class CVeyGraphDrawer;
class CVeySingleTextOperator;

class CVeyBarGraphControl : public CVeyControl
{
public:
    ~CVeyBarGraphControl() override;

    // "bitmapRef" (required), "direction" (0 vertical, 1 horizontal).
    bool LoadAttributes(CAttributes& attributes) override;
    // Needs two value references (full scale, level) and a state at least as large as the control.
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    void UpdateFromValue() override;
    void SetRect(const RECT& rect) override;
    const std::string& GetTypeName() const override;

    const CRect& GetBarRect() const { return m_barRect; }

private:
    CVeyBitmapRef m_bitmap;
    bool m_horizontal = false;
    CRect m_barRect;
};

class CVeyBarSliderControl : public CVeySingleDragControl
{
public:
    CVeyBarSliderControl();
    ~CVeyBarSliderControl() override;

    // "bitmapRef", "direction", "baseValue", "baseLineColor", "barColor", "enableCondition" and the
    // text operator's attributes.
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    // A disabled bar slider leaves mouse, wheel and keys alone.
    bool OnMouse(UL::CMouseInfo& info) override;
    bool OnMouseWheel(UL::CWheelInfo& info) override;
    bool OnKey(const UL::KeyInfo& info) override;
    void UpdateFromValue() override;
    void SetRect(const RECT& rect) override;
    const std::string& GetTypeName() const override;
    void BeginDrag(UL::CMouseInfo& info) override;
    void EndDrag(UL::CMouseInfo& info) override;
    void DragTo(UL::CMouseInfo& info) override;

    // The index under a point; away from the bar across it the scale widens beyond its ends.
    virtual int32_t PointToIndex(const CPoint& point) const;
    // The pixel coordinate along the bar where an index ends.
    virtual int32_t IndexToPosition(int32_t index) const;
    virtual std::unique_ptr<CVeySingleTextOperator> CreateTextOperator();

    bool IsEnabled() const;
    // The base lies strictly inside the value's range: a base line and a 2-pixel gap are shown.
    bool HasBaseLine() const;
    int32_t GetBaseIndex() const;
    CRect GetBaseLineRect() const;
    const CRect& GetBarRect() const { return m_barRect; }
    bool IsHorizontal() const { return m_horizontal; }
    int32_t GetBaseValue() const { return m_baseValue; }
    const GT::CShortTriple& GetBaseLineColour() const { return m_baseLineColour; }
    const GT::CShortTriple& GetBarColour() const { return m_barColour; }
    CVeySingleTextOperator* GetTextOperator() const { return m_textOperator.get(); }

    // The last point of the drag, shared by all bar sliders (one drag at a time).
    static CPoint& LastPoint();

private:
    std::unique_ptr<CVeyGraphDrawer> m_graphDrawer;
    std::unique_ptr<CVeySingleTextOperator> m_textOperator;
    CVeyBitmapRef m_bitmap;
    bool m_horizontal = false;
    CRect m_barRect;
    int32_t m_baseValue = 0;
    GT::CShortTriple m_baseLineColour{int16_t(0xff00), int16_t(0xff00), int16_t(0xff00)};
    GT::CShortTriple m_barColour{int16_t(0xff00), int16_t(0xff00), int16_t(0xff00)};
    std::string m_enableCondition = "1";
    // References the script gave with "valueRef"; the enable condition appends its own after them.
    int32_t m_boundRefCount = 0;
};
