#pragma once
// The controls that work with the patch name list: the bank combo that chooses the bank the list
// shows, the buttons that switch panels (and then turn the list to the current patch's bank), and
// the write button, which opens the write panel on a patch screen or writes the system area after
// a confirmation.
#include "ui/controls/CVeyButtons.h"
#include "ui/controls/CVeyComboControl.h"

#include <cstdint>
#include <string>

// A pop combo whose wheel changes are applied again through SetValue 500 ms after the last step.
class CBankComboControl : public CVeyPopComboControl
{
public:
    static constexpr uint32_t kWheelDelay = 500;

    bool OnTimer(const GT::CTimerInfo& info) override;
    // The combo's own set, without what a derived SetValue adds.
    void SetValueNow(int32_t index) { CVeyPopComboControl::SetValue(index); }
    void StartWheelDelay();
    bool IsWheelDelayRunning() const { return m_wheelPending; }

private:
    GT::CTimeoutTable m_timeouts;
    bool m_wheelPending = false;
};

class CChangePatchBankCombo : public CBankComboControl
{
public:
    const std::string& GetTypeName() const override;
    // "Bank n" of the shown bank.
    void UpdateFromValue() override;
    void OpenPopup() override;
    std::unique_ptr<CVeyWheelOperator> CreateWheelOperator() override;
    int32_t GetValueCount() const override;
    // Shows the bank, then locates the current patch in it and asks for the names.
    void SetValue(int32_t index) override;

    static std::string BankLabel(int32_t index);
};

class CBankComboWheelOperator : public CVeySingleWheelOperator
{
public:
    explicit CBankComboWheelOperator(CBankComboControl* combo) : CVeySingleWheelOperator(combo), m_combo(combo) {}
    void Step(int32_t steps) override;
    // What the last step did.
    bool Changed() const { return m_changed; }

private:
    CBankComboControl* m_combo;
    bool m_changed = false;
};

class CSelectPanelButton : public CVeyLatchButton
{
public:
    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    void UpdateFromValue() override;
    void OnRelease(UL::CMouseInfo& info) override;
    // The part the button stands for, or -1 (no part, or the expression cannot be worked out).
    int32_t GetPartId();

private:
    std::string m_partId = "0,1,-";
};

class CSelectPartButton : public CVeyLatchButton
{
public:
    const std::string& GetTypeName() const override;
    void OnRelease(UL::CMouseInfo& info) override;
};

class CWritePanelButton : public CVeyLatchButton
{
public:
    // "Are you sure you want to overwrite the system area of the Talvarix?"
    static constexpr int32_t kMessageOverwriteSystemArea = 15;

    const std::string& GetTypeName() const override;
    void OnRelease(UL::CMouseInfo& info) override;
};
