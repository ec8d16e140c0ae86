#pragma once
// A scroll bar over a window of rows, held entirely in model values: the current range (the rows
// shown) moves inside the scroll range (all rows), and an "operated" value is set whenever the
// user finishes a move. The scroll control drags or pages a knob; the scroll button steps the
// range like an increment button.
#include "toolkit/gt/Timeout.h"
#include "toolkit/gt/ValueTypes.h"
#include "ui/controls/CVeyButtons.h"
#include "ui/controls/CVeyDragControl.h"

#include <cstdint>
#include <memory>

class CVeyGraphDrawer;

// The five references of both classes, in this order, and the moves on them. Positions are value
// indexes.
struct CVeyScrollRange
{
    enum : int32_t
    {
        CURRENT_LOWER = 0,
        CURRENT_UPPER = 1,
        SCROLL_LOWER = 2,
        SCROLL_UPPER = 3,
        OPERATED = 4,
        REFERENCE_COUNT = 5
    };

    // False, with no line, when the view has references already; otherwise takes the five
    // attributes out of the list and appends their references (an omitted one with an empty
    // name, which fails at creation).
    static bool LoadReferences(CVeyView& view, CVeyElementDefinition::CAttributes& attributes);
    static CVeyScrollRange Read(const CVeyView& view);
    // Moves the current range so that its lower end is `lower`, keeping its width, and commits.
    // False when it is there already.
    static bool MoveTo(CVeyView& view, int32_t lower);
    // Sets the operated value to index 1 and commits, moved or not.
    static void SetOperated(CVeyView& view);

    // How far the current range's lower end can move above the scroll range's lower end.
    int64_t Room() const { return (int64_t(scrollUpper) - scrollLower) - (int64_t(currentUpper) - currentLower); }
    int32_t ClipLower(int64_t lower) const;

    int32_t currentLower = 0;
    int32_t currentUpper = 0;
    int32_t scrollLower = 0;
    int32_t scrollUpper = 0;
};

// floor(a x b / c + 0.5), clipped to 32 bits; 0 when c is 0.
int32_t VeyMulDivRound(int64_t a, int64_t b, int64_t c);

class CVeyScrollControl : public CVeyDragControl
{
public:
    // Draws the knob from the four corners of one bitmap state, unscaled, so that a knob of any
    // size up to the state's shows the state's corners.
    class CBitmapKnobDrawer
    {
    public:
        CBitmapKnobDrawer() = default;
        CBitmapKnobDrawer(const CBitmapKnobDrawer&) = delete;
        CBitmapKnobDrawer& operator=(const CBitmapKnobDrawer&) = delete;
        virtual ~CBitmapKnobDrawer();
        void SetBitmap(CVeyStateBitmap* bitmap) { m_bitmap = bitmap; }
        CVeyStateBitmap* GetBitmap() const { return m_bitmap.Get(); }
        // Loads the bitmap's image; false without a bitmap or when it does not load.
        virtual bool Load();
        virtual void SetKnobSize(const CSize& size);
        virtual void Draw(const UL::CDrawInfo& info, const CRect& rect, int32_t state);
        virtual void DrawAt(const UL::CDrawInfo& info, const CPoint& point, int32_t state);

    private:
        CVeyBitmapRef m_bitmap;
        CSize m_size;
    };

    static constexpr uint32_t kFirstRepeatDelay = 200;
    static constexpr uint32_t kRepeatDelay = 50;

    CVeyScrollControl();
    ~CVeyScrollControl() override;

    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    // True when the tick paged.
    bool OnTimer(const GT::CTimerInfo& info) override;
    void UpdateFromValue() override;

    std::unique_ptr<CVeyWheelOperator> CreateWheelOperator() override;
    void BeginDrag(UL::CMouseInfo& info) override;
    void EndDrag(UL::CMouseInfo& info) override;
    void DragTo(UL::CMouseInfo& info) override;
    // Every move of the current range goes through here.
    virtual void MoveCurrentRange(int32_t lower);
    virtual void PageStep();

    // Moves the current range by `rows`, within the scroll range.
    void ScrollBy(int32_t rows);
    bool IsHorizontal() const { return m_horizontal; }
    CRect GetKnobRect() const { return CRect(m_knobLeft, m_knobTop, m_knobLeft + m_knobWidth, m_knobTop + m_knobHeight); }
    int32_t GetPageDirection() const { return m_pageDirection; }
    // The lower index the knob would have with its grab point at `point`.
    int32_t PointToIndex(const CPoint& point) const;

protected:
    int32_t IndexToAlong(int32_t index, const CVeyScrollRange& range) const;
    int32_t GetLength() const { return m_horizontal ? m_rect.Width() : m_rect.Height(); }
    int32_t GetKnobLength() const { return m_horizontal ? m_knobWidth : m_knobHeight; }
    int32_t GetOrigin() const { return m_horizontal ? m_rect.left : m_rect.top; }

    bool m_horizontal = false;   // vertical unless the script says otherwise
    int32_t m_knobLeft = 0;
    int32_t m_knobTop = 0;
    int32_t m_knobWidth = 0;
    int32_t m_knobHeight = 0;
    int32_t m_pageDirection = 0;
    GT::CTimeoutTable m_timeouts;
    std::unique_ptr<CVeyGraphDrawer> m_graphDrawer;
    GT::CShortTriple m_knobColor{0, 0, 0};
    CBitmapKnobDrawer m_knobDrawer;

private:
    static constexpr int32_t kRepeatKey = 0;
    // One drag at a time (the mouse capture allows no more): the state is the class's.
    struct SDragState
    {
        CPoint last = NoPoint();
        CPoint grab;
    };
    static SDragState& DragState();
    bool m_paging = false;     // the press was on the track; the direction drops to 0 at the pointer
    bool m_repeating = false;  // repeat key 0 is running
};

class CVeyScrollWheelOperator : public CVeyWheelOperator
{
public:
    explicit CVeyScrollWheelOperator(CVeyScrollControl* scroll) : CVeyWheelOperator(scroll), m_scroll(scroll) {}
    // Turning towards the user moves to higher rows. Always true.
    bool OnMouseWheel(UL::CWheelInfo& info) override;

private:
    CVeyScrollControl* m_scroll;
};

class CVeyScrollButton : public CVeyIncrementButton
{
public:
    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void OnRelease(UL::CMouseInfo& info) override;
    void Step() override;
};
