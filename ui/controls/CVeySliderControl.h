#pragma once
// The slider: a knob bitmap dragged along a straight track, horizontal (index grows to the right)
// or vertical (index grows upwards). The control's rectangle is the track; only the knob is drawn.
#include "ui/controls/CVeyDragControl.h"
#include "ui/controls/CVeyStateBitmap.h"

class CVeySliderControl : public CVeySingleDragControl
{
public:
    ~CVeySliderControl() override;

    // "bitmapRef" (required), "direction" (0 vertical, 1 horizontal), "resolution" (>= 1).
    bool LoadAttributes(CAttributes& attributes) override;
    // Needs a numeric value of at least two indexes and a track longer than the knob.
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    void UpdateFromValue() override;
    const std::string& GetTypeName() const override;
    void BeginDrag(UL::CMouseInfo& info) override;
    void EndDrag(UL::CMouseInfo& info) override;
    void DragTo(UL::CMouseInfo& info) override;

    // The index for the pointer at `point`, with the grab offset of the drag taken off. The
    // farther the pointer is from the track across it, the longer the track counts, so the
    // steps get finer.
    virtual int32_t PositionToIndex(const CPoint& point) const;
    // The knob's top-left for an index.
    virtual void IndexToPosition(CPoint& position, int32_t index) const;

    bool IsHorizontal() const { return m_horizontal; }
    int32_t GetResolution() const { return m_resolution; }
    const CPoint& GetKnobPosition() const { return m_knobPosition; }
    CSize GetKnobSize() const;

    // One drag at a time (the capture allows one): the last pointer point and the grab offset
    // (pointer minus knob top-left) are shared by all sliders.
    static CPoint& LastPoint();
    static CPoint& GrabOffset();

private:
    CVeyBitmapRef m_bitmap;
    bool m_horizontal = false;
    CPoint m_knobPosition;
    int32_t m_resolution = 1;
};
