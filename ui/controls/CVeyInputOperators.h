#pragma once
// The operators of a control's focus and input: the tip bar that shows the value while the control
// has the focus, wheel stepping, and keyboard stepping with auto-repeat and a focus time-out. The
// "single" kinds serve controls that edit one integer value by index (IVeySingleControl).
#include "toolkit/gt/Timeout.h"
#include "toolkit/ul/Input.h"
#include "ui/controls/CVeyTextOperator.h"

#include <cstdint>

class IVeySingleControl;

class CVeyTipBarOperator : public CVeyControlOperator
{
public:
    using CVeyControlOperator::CVeyControlOperator;

    virtual bool Check() = 0;
    // Gives the control the focus when it lacks it; false (the event goes on).
    virtual bool OnMouse(UL::CMouseInfo& info) = 0;
    virtual void Show(bool show) = 0;
    virtual void UpdateText() = 0;
};

class CVeySingleTipBarOperator : public CVeyTipBarOperator
{
public:
    using CVeyTipBarOperator::CVeyTipBarOperator;

    // "useTipBar" (0 or 1, default 1), "offsetValue", "stringTableRef". kNotWanted for useTipBar 0.
    int32_t LoadAttributes(CAttributes& attributes) override;
    bool Check() override;
    bool OnMouse(UL::CMouseInfo& info) override;
    // Shown at the control's bottom-left corner.
    void Show(bool show) override;
    // While the control has the focus: the value as text, through the string table or plus the offset.
    void UpdateText() override;

private:
    int32_t m_offsetValue = 0;
    const CVeyStringTable* m_stringTable = nullptr;
};

class CVeyWheelOperator
{
public:
    explicit CVeyWheelOperator(CVeyControl* control) : m_control(control) {}
    virtual ~CVeyWheelOperator() = default;
    virtual bool OnMouseWheel(UL::CWheelInfo& info) = 0;

protected:
    CVeyControl* m_control;
};

class CVeySingleWheelOperator : public CVeyWheelOperator
{
public:
    explicit CVeySingleWheelOperator(IVeySingleControl* single);

    // Steps by the wheel amount rounded to whole notches; with shift by ten times that, at most
    // half the value count. Always true.
    bool OnMouseWheel(UL::CWheelInfo& info) override;
    int32_t GetValueCount() const;
    // Moves the value by the steps; controls with their own rule for the wheel override it.
    virtual void Step(int32_t steps);

protected:
    IVeySingleControl* m_single;
};

class CVeyKeyOperator
{
public:
    explicit CVeyKeyOperator(CVeyControl* control) : m_control(control) {}
    virtual ~CVeyKeyOperator() = default;
    CVeyKeyOperator(const CVeyKeyOperator&) = delete;
    CVeyKeyOperator& operator=(const CVeyKeyOperator&) = delete;

    virtual bool LoadAttributes(CVeyControlOperator::CAttributes& attributes) = 0;
    virtual bool Check() = 0;
    virtual bool OnMouse(UL::CMouseInfo& info) = 0;
    virtual bool OnMouseWheel(UL::CWheelInfo& info) = 0;
    virtual bool OnKey(const UL::KeyInfo& info) = 0;
    virtual bool OnTimer(const GT::CTimerInfo& info) = 0;
    virtual void OnFocus(bool focus) = 0;

protected:
    CVeyControl* m_control;
};

class CVeySingleKeyOperator : public CVeyKeyOperator
{
public:
    // Timer phases of the one timeout entry: focus time-out, first repeat, later repeats, stopped.
    enum : int32_t
    {
        kFocusPhase = 0,
        kFirstRepeatPhase = 1,
        kRepeatPhase = 2,
        kStoppedPhase = 3,
    };
    static constexpr uint32_t kFocusTimeout = 4000;
    static constexpr uint32_t kFirstRepeatDelay = 200;
    static constexpr uint32_t kRepeatPeriod = 50;

    explicit CVeySingleKeyOperator(IVeySingleControl* single);

    bool LoadAttributes(CVeyControlOperator::CAttributes&) override { return true; }
    bool Check() override { return true; }
    bool OnMouse(UL::CMouseInfo& info) override;
    bool OnMouseWheel(UL::CWheelInfo& info) override;
    // Arrow keys step by one (with shift by ten, at most half the value count) and repeat while held.
    bool OnKey(const UL::KeyInfo& info) override;
    bool OnTimer(const GT::CTimerInfo& info) override;
    void OnFocus(bool focus) override;

    int32_t GetValueCount() const;
    void Step(int32_t step);
    void SetRepeatPhase(int32_t phase);
    bool IsRepeatDue() const;
    int32_t GetPhase() const { return m_phase; }
    int32_t GetStep() const { return m_step; }

protected:
    IVeySingleControl* m_single;
    GT::CTimeoutTable m_timeouts;
    int32_t m_step = 0;
    int32_t m_phase = kStoppedPhase;
};
