#pragma once
// Bitmap buttons of the script's panels: a face drawn from a multi-state bitmap with an optional
// label, a pressed (or hover) look, and three kinds that toggle a value, run a named functor, or
// step a value with auto-repeat.
//
// Display states are 2 x base + look, where look is 1 while the button looks pressed.
#include "toolkit/gt/Timeout.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/controls/CVeyView.h"

#include <string>
#include <vector>

class CVeyTextWriter;

class CVeyButton : public CVeyControl
{
public:
    ~CVeyButton() override;

    bool LoadAttributes(CAttributes& attributes) override;
    // The control, then the bitmap; the rectangle becomes one bitmap state.
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    bool OnMouse(UL::CMouseInfo& info) override;
    // Polls the hover look in feedback mode 1; never claims the tick.
    bool OnTimer(const GT::CTimerInfo& info) override;
    // Takes only the top-left corner: the size stays that of a bitmap state.
    void SetRect(const RECT& rect) override;

    virtual void OnPress(UL::CMouseInfo& info);
    virtual void OnRelease(UL::CMouseInfo& info);
    virtual void OnEnter(UL::CMouseInfo& info);
    virtual void OnLeave(UL::CMouseInfo& info);
    virtual bool IsEnabled() const;
    virtual const std::string& GetLabel() const;

    int32_t GetDisplayState() const { return m_displayState; }
    bool IsInside() const { return m_inside; }
    CVeyStateBitmap* GetBitmap() const { return m_bitmap; }
    // The rectangle the label is drawn into: one pixel right and down while pressed, unless flat.
    CRect GetLabelRect() const;
    // The writer of the label in the current display state, or null without writers.
    CVeyTextWriter* GetLabelWriter() const;

protected:
    enum EFeedback : int32_t
    {
        PRESSED_WHILE_HELD = 0,
        HOVER = 1
    };

    bool GetFeedbackState() const;
    // Keeps the base of the display state and sets its look bit from GetFeedbackState.
    void UpdateFeedback();
    // Stores the state clipped to the bitmap's states; invalidates when it changed.
    void SetDisplayState(int32_t state);
    int32_t GetStateCount() const;
    // The enable condition, strictly; a failed evaluation counts as disabled.
    bool IsConditionTrue();
    // The cursor in screen coordinates (for the hover look).
    virtual CPoint GetCursorScreenPoint() const;
    // Evaluates an expression once, leniently, so that the values it names join the references.
    bool RegisterExpression(const std::string& expression);
    // Ends a press without acting: capture, focus and the inside flag go.
    void Disengage();

    CVeyBitmapRef m_bitmap;
    int32_t m_displayState = 0;
    std::string m_label;
    std::vector<CVeyTextWriter*> m_textWriters;
    bool m_flatLabel = false;
    std::string m_enableCondition = "1";
    int32_t m_feedback = PRESSED_WHILE_HELD;
    bool m_inside = false;
    // The references the script gave ("valueRef"); those of the expressions follow them.
    size_t m_scriptRefCount = 0;

private:
    void StepEnterLeave(bool wasInside, UL::CMouseInfo& info);
};

// Toggles its value between the on and off numbers when released inside.
class CVeyLatchButton : public CVeyButton
{
public:
    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void UpdateFromValue() override;
    void OnRelease(UL::CMouseInfo& info) override;
    bool IsEnabled() const override;

protected:
    // The on and off numbers now; false when an expression cannot be worked out.
    bool EvaluateOnOff(int32_t& on, int32_t& off);

private:
    std::string m_onValue = "1";
    std::string m_offValue = "0";
};

// Runs a named functor: at once on the press (action 0, and the button springs back), or queued
// for the next idle pass on a release inside (any other action).
class CVeyUnlatchButton : public CVeyButton
{
public:
    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void UpdateFromValue() override;
    void OnPress(UL::CMouseInfo& info) override;
    void OnRelease(UL::CMouseInfo& info) override;
    bool IsEnabled() const override;

private:
    std::string m_function;
    std::string m_arguments;
    int32_t m_action = 0;
};

// Steps its value's index by the delta: once on the press, again after 200 ms, then at every
// panel tick while held inside.
class CVeyIncrementButton : public CVeyButton
{
public:
    static constexpr uint32_t kFirstRepeatDelay = 200;
    static constexpr uint32_t kRepeatDelay = 50;

    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    // True when the tick stepped the value.
    bool OnTimer(const GT::CTimerInfo& info) override;
    void OnPress(UL::CMouseInfo& info) override;
    void OnRelease(UL::CMouseInfo& info) override;

    virtual void Step();
    int32_t GetDelta() const { return m_delta; }

protected:
    // Key 0 times the auto-repeat; derived buttons use other keys.
    static constexpr int32_t kRepeatKey = 0;

    int32_t m_delta = 1;
    GT::CTimeoutTable m_timeouts;
};
