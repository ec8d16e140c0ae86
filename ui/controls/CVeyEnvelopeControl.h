#pragma once
// A passive line graph of an envelope of five levels and four times: start level L0, three timed
// segments to L1, L2 and L3, a sustain stretch of fixed width at L3, a fourth timed segment to L4,
// and a flat stretch to the right edge.
#include "model/CVeyGraphDrawer.h"
#include "ui/controls/CVeyView.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

class CVeyEnvelopeControl : public CVeyControl
{
public:
    // Keys of the parameter map.
    enum EParameter { kL0 = 0, kL1, kL2, kL3, kL4, kT1, kT2, kT3, kT4 };

    CVeyEnvelopeControl();
    ~CVeyEnvelopeControl() override;

    const std::string& GetTypeName() const override;
    // Each "L<n>ValueRef" and "T<n>ValueRef" appends a reference and points its key at it; a
    // repeated attribute re-points the key to the later reference.
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    void UpdateFromValue() override;

    // P0 .. P6 in panel client coordinates.
    const std::vector<CPoint>& GetPoints() const { return m_points; }

private:
    // (index, count) of the parameter's value; (0, 1) when the key has no reference.
    std::pair<int32_t, int32_t> ReadParameter(EParameter key) const;

    std::map<int32_t, int32_t> m_parameters;   // key -> index into the value references
    std::unique_ptr<CVeyGraphDrawer> m_drawer;
    std::vector<CPoint> m_points;
};
