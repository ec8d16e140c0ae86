#pragma once
// The edit controls: a value shown as text that the user changes by typing into the popup edit
// opened just below the control. "edit" and "editDouble" draw their own text (CVeyPopControl);
// "display" uses a text operator (CVeyPopControlX) and draws no button.
#include "ui/controls/CVeyPopControl.h"

#include <cstdint>
#include <string>

class CVeyPopEditControl : public CVeyPopControl
{
public:
    CVeyPopEditControl() : CVeyPopControl(1) {}

    bool Create(CVeyView* parent) override;
    // A string table's element, the number plus the offset, or the value's text.
    void UpdateFromValue() override;
    const std::string& GetTypeName() const override;
    void OpenPopup() override;
    // Turns a typed text into the value and commits it: numbers are clamped into the range, a text
    // that is no number gives the minimum.
    virtual void CommitText(const std::string& text);
};

class CVeyEditDoubleControl : public CVeyPopEditControl
{
public:
    // "divisionValue" (not 0) and "precision".
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    // The number divided by the division value, with `precision` decimals.
    void UpdateFromValue() override;
    const std::string& GetTypeName() const override;
    void CommitText(const std::string& text) override;

    int32_t GetPrecision() const { return m_precision; }
    int32_t GetDivisionValue() const { return m_divisionValue; }

private:
    int32_t m_precision = 0;
    int32_t m_divisionValue = 1;
};

class CVeyDisplayControl : public CVeyPopControlX
{
public:
    CVeyDisplayControl() : CVeyPopControlX(1) {}

    bool Create(CVeyView* parent) override;
    // The text only: a button bitmap may be named but is not drawn.
    void Draw(const UL::CDrawInfo& info) override;
    void UpdateFromValue() override;
    const std::string& GetTypeName() const override;
    void OpenPopup() override;
    virtual void CommitText(const std::string& text);
};
