#pragma once
// One panel position for two parameters: a slider and a text-or-picture display that act on one
// of two values, chosen by a switch value; and the tone buttons that choose the active tone and
// the set of selected tones of a patch.
#include "ui/controls/CVeyButtons.h"
#include "ui/controls/CVeySliderControl.h"
#include "ui/controls/CVeyStaticTextControls.h"

#include <cstdint>
#include <string>

// References: 0 the switch ("valueRef"), 1 "value0Ref", 2 "value1Ref".
class CSwitchableSliderControl : public CVeySliderControl
{
public:
    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    // The value the switch selects, whatever index is asked.
    CVeyValue* GetValue(int32_t index) const override;
};

class CSwitchableStaticTextPictureControl : public CVeyStaticTextPictureControl
{
public:
    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    // The first value as text, the second as a picture.
    void UpdateFromValue() override;
};

class CToneSelectButton : public CVeyButton
{
public:
    enum : int32_t
    {
        kActiveRef = 0,
        kStateRef = 1,
    };
    enum EClickMode : int32_t
    {
        kPlain = 0,
        kShift = 1,
        kCtrl = 2,
    };

    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void OnPress(UL::CMouseInfo& info) override;
    void OnRelease(UL::CMouseInfo& info) override;
    void UpdateFromValue() override;

    int32_t GetToneId() const { return m_toneId; }

private:
    int32_t m_toneId = 0;
    int32_t m_clickMode = kPlain;
};
