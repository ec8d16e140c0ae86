#pragma once
// A passive strip that shows a key or velocity range with optional fade zones: the range in one
// colour, the fade zones below and above it in a second, the rest in a third, each a bevelled box.
// The model's fade-range clipper keeps the values consistent; this control only reads them.
#include "model/CVeyGraphDrawer.h"
#include "ui/controls/CVeyView.h"

#include <cstdint>
#include <memory>

class CVeyFadeRangeControl : public CVeyControl
{
public:
    enum { kRangeLowerRef = 0, kRangeUpperRef = 1, kFadeWidthLowerRef = 2, kFadeWidthUpperRef = 3 };

    CVeyFadeRangeControl();
    ~CVeyFadeRangeControl() override;

    const std::string& GetTypeName() const override;
    // "displayRange" (lower,upper with 0 <= lower < upper <= 128), the two range references and,
    // both or neither, the two fade-width references.
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    void UpdateFromValue() override;

    // The strip position of a number, inside the control's columns.
    int32_t MapToStrip(int64_t number) const;

private:
    void DrawBevelledBox(const UL::CDrawInfo& info, const CRect& rect, const GT::CShortTriple& colour);

    std::unique_ptr<CVeyGraphDrawer> m_drawer;
    int32_t m_displayLower = 0;
    int32_t m_displayUpper = 0;
    int32_t m_rangeLower = 0;
    int32_t m_rangeUpper = 0;
    int32_t m_fadeWidthLower = 0;
    int32_t m_fadeWidthUpper = 0;
};
