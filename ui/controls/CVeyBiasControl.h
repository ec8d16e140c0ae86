#pragma once
// A passive graph of a bias setting: a point on the centre line placed by the position value and a
// line through it whose steepness follows the level value; the direction value chooses which side
// slopes (0 left, 1 right, 2 both mirrored, 3 one straight line).
#include "model/CVeyGraphDrawer.h"
#include "ui/controls/CVeyView.h"

#include <memory>
#include <vector>

class CVeyBiasControl : public CVeyControl
{
public:
    enum { kLevelRef = 0, kPositionRef = 1, kDirectionRef = 2 };

    CVeyBiasControl();
    ~CVeyBiasControl() override;

    const std::string& GetTypeName() const override;
    // Appends the level, position and direction references, in that order, after the base's.
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    void UpdateFromValue() override;

    // Left end, bias point, right end, in panel client coordinates.
    const std::vector<CPoint>& GetPoints() const { return m_points; }

private:
    std::unique_ptr<CVeyGraphDrawer> m_drawer;
    std::vector<CPoint> m_points;
};
