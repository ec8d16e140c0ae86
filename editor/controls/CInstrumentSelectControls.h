#pragma once
// The pop controls that choose what the instrument knows by number and the editor shows by name:
// the multi-effect type, the wave group of a tone and a wave of that group. Names come from the
// entity banks, the choices from the entity selector's popup menus.
#include "ui/controls/CVeyPopControl.h"

#include <cstdint>
#include <string>

class CWaveGroupKey;

// Commits the buffer manager's changes: flush to the instrument, update the views, clear.
void CommitChanges();

class CMfxSelectCombo : public CVeyPopControl
{
public:
    CMfxSelectCombo() : CVeyPopControl(1) {}
    const std::string& GetTypeName() const override;
    // "%02d %s" of the effect type; a number without a type leaves the text as it was.
    void UpdateFromValue() override;
    void OpenPopup() override;
};

class CWaveGroupSelectControl : public CVeyPopControl
{
public:
    enum : int32_t
    {
        kGroupTypeRef = 0,
        kGroupIdRef = 1,
        kWaveLeftRef = 2,
        kWaveRightRef = 3,
        kRefCount = 4
    };

    CWaveGroupSelectControl() : CVeyPopControl(1) {}
    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void UpdateFromValue() override;
    std::unique_ptr<CVeyWheelOperator> CreateWheelOperator() override;
    // There is one group: nothing to choose; the button springs back.
    void OpenPopup() override;
    // Group 0 puts the tone into the internal group and brings both waves into it.
    void SetValue(int32_t group) override;
    int32_t GetGroupIndex() const;
};

class CWaveIndexSelectControl : public CVeyPopControl
{
public:
    enum : int32_t
    {
        kWaveRef = 0,
        kGroupTypeRef = 1,
        kGroupIdRef = 2,
        kComplementRef = 3,
        kRefCount = 4
    };

    CWaveIndexSelectControl() : CVeyPopControl(1) {}
    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    // A double click on the text sets the wave next to the other side's.
    bool OnMouse(UL::CMouseInfo& info) override;
    // "%04d %s" of the wave.
    void UpdateFromValue() override;
    void OpenPopup() override;
    // Clamped into the waves of the group; nothing happens when there are none.
    void SetValue(int32_t index) override;
    int32_t GetValueCount() const override;

    int32_t GetComplementDirection() const { return m_complementDirection; }

private:
    CWaveGroupKey GetKey() const;

    int32_t m_complementDirection = 0;
};

// The group select's wheel: the one group index cannot move, so nothing changes.
class CWaveGroupSelectWheelOperator : public CVeySingleWheelOperator
{
public:
    explicit CWaveGroupSelectWheelOperator(CWaveGroupSelectControl* control)
        : CVeySingleWheelOperator(control), m_group(control)
    {
    }
    void Step(int32_t steps) override;

private:
    CWaveGroupSelectControl* m_group;
};
