#pragma once
// The rotary knob: follows the pointer's angle around its centre (absolute positioning) and shows
// one state of its bitmap per position.
#include "ui/controls/CVeyDragControl.h"
#include "ui/controls/CVeyStateBitmap.h"

class CVeyKnobControl : public CVeySingleDragControl
{
public:
    ~CVeyKnobControl() override;

    // "bitmapRef" (required) and "angleRange" ("min,max", default 30,330).
    bool LoadAttributes(CAttributes& attributes) override;
    // Needs a numeric value of at least two indexes; the rectangle takes the size of one state.
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    void UpdateFromValue() override;
    // Moves the knob; its size stays that of the bitmap.
    void SetRect(const RECT& rect) override;
    const std::string& GetTypeName() const override;
    void BeginDrag(UL::CMouseInfo& info) override;
    void EndDrag(UL::CMouseInfo& info) override;
    void DragTo(UL::CMouseInfo& info) override;

    // Whole degrees around the centre, 0 straight down, clockwise on screen (left 90, up 180).
    virtual int32_t PointToAngle(const CPoint& point) const;
    // The index an angle points at, clipped into the value; a negative angle keeps the index.
    virtual int32_t AngleToIndex(int32_t angle) const;
    // The bitmap state that shows an index.
    virtual int32_t IndexToState(int32_t index) const;

    int32_t GetAngleMin() const { return m_angleMin; }
    int32_t GetAngleMax() const { return m_angleMax; }
    int32_t GetCurrentState() const { return m_currentState; }
    // The point the last knob drag followed (NoPoint() when none).
    static CPoint& Anchor();

private:
    CVeyBitmapRef m_bitmap;
    int32_t m_angleMin = 30;
    int32_t m_angleMax = 330;
    int32_t m_currentState = 0;
};
