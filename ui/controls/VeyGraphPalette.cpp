#include "ui/controls/VeyGraphPalette.h"

#include "model/CVeyResourceManager.h"
#include "toolkit/gt/Interpolate.h"

#include <cmath>

GT::CShortTriple VeyBlendGraphColour(const GT::CShortTriple& from, const GT::CShortTriple& to, double ratio)
{
    const auto channel = [ratio](int16_t a, int16_t b) {
        const double start = static_cast<uint16_t>(a);
        const double end = static_cast<uint16_t>(b);
        const double value = std::trunc(GT::LinearInterpolate(0.0, start, 1.0, end, ratio));
        const double limited = value < 0.0 ? 0.0 : (value > 65535.0 ? 65535.0 : value);
        return static_cast<int16_t>(static_cast<uint16_t>(limited));
    };
    return GT::CShortTriple{channel(from.red, to.red), channel(from.green, to.green), channel(from.blue, to.blue)};
}

std::unique_ptr<CVeyGraphDrawer> VeyCreateGraphDrawer()
{
    std::unique_ptr<CVeyGraphDrawer> drawer;
    if (IVeyResourceFactory* factory = CVeyResourceManager::GetInstance().GetResourceFactory())
        drawer = factory->CreateGraphDrawer();
    if (!drawer)
        drawer = std::make_unique<CGraphDrawer>();
    return drawer;
}

void VeyDrawGlowingCurve(CVeyGraphDrawer& drawer, const UL::CDrawInfo& info, const std::vector<CPoint>& points,
                         const GT::CShortTriple& background, const GT::CShortTriple& curve)
{
    drawer.Polyline(info, points, 3, VeyBlendGraphColour(background, curve, VeyGraphPalette::kGlowRatio));
    drawer.Polyline(info, points, 1, curve);
}

void VeyDrawLine(CVeyGraphDrawer& drawer, const UL::CDrawInfo& info, const CPoint& from, const CPoint& to,
                 const GT::CShortTriple& colour)
{
    drawer.MoveTo(info, from);
    drawer.LineTo(info, to, 1, colour);
}
