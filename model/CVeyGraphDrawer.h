#pragma once
// Drawing of curves, fills and clip regions for the graph controls, in the script's colours.
#include "platform/Gdi.h"
#include "toolkit/gt/ValueTypes.h"

#include <vector>

namespace UL
{
class CDrawInfo;
}

class CVeyGraphDrawer
{
public:
    virtual ~CVeyGraphDrawer() = default;
    virtual void FillRect(const UL::CDrawInfo& info, const CRect& rect, const GT::CShortTriple& colour) = 0;
    virtual void Polyline(const UL::CDrawInfo& info, const std::vector<CPoint>& points, int32_t width,
                          const GT::CShortTriple& colour) = 0;
    virtual void MoveTo(const UL::CDrawInfo& info, const CPoint& point) = 0;
    virtual void LineTo(const UL::CDrawInfo& info, const CPoint& point, int32_t width, const GT::CShortTriple& colour) = 0;
    virtual void Polygon(const UL::CDrawInfo& info, const std::vector<CPoint>& points, const GT::CShortTriple& colour) = 0;
    // Saves the state and clips to the rectangle; true when the clip region is complex.
    virtual bool BeginClip(const UL::CDrawInfo& info, const CRect& rect) = 0;
    virtual bool EndClip(const UL::CDrawInfo& info) = 0;
};

class CGraphDrawer : public CVeyGraphDrawer
{
public:
    void FillRect(const UL::CDrawInfo& info, const CRect& rect, const GT::CShortTriple& colour) override;
    // Also sets the last point's pixel, which a polyline leaves out.
    void Polyline(const UL::CDrawInfo& info, const std::vector<CPoint>& points, int32_t width,
                  const GT::CShortTriple& colour) override;
    void MoveTo(const UL::CDrawInfo& info, const CPoint& point) override;
    // Also sets the end pixel.
    void LineTo(const UL::CDrawInfo& info, const CPoint& point, int32_t width, const GT::CShortTriple& colour) override;
    void Polygon(const UL::CDrawInfo& info, const std::vector<CPoint>& points, const GT::CShortTriple& colour) override;
    bool BeginClip(const UL::CDrawInfo& info, const CRect& rect) override;
    bool EndClip(const UL::CDrawInfo& info) override;

private:
    std::vector<int> m_saved;   // states saved by BeginClip
};
