#pragma once
// What the graph controls (bias, envelope, fade range, LFO) share: one palette, the graph drawer
// they take from the resource factory, and the curve drawn twice, wide in a glow colour and thin
// on top of it.
#include "model/CVeyGraphDrawer.h"
#include "toolkit/gt/ValueTypes.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace UL
{
class CDrawInfo;
}

// A colour of three 16-bit components as the script writes them (0xDE00); the drawer uses the
// high byte of each.
constexpr GT::CShortTriple VeyGraphColour(uint16_t red, uint16_t green, uint16_t blue)
{
    return GT::CShortTriple{static_cast<int16_t>(red), static_cast<int16_t>(green), static_cast<int16_t>(blue)};
}

struct VeyGraphPalette
{
    static constexpr GT::CShortTriple kBackground = VeyGraphColour(0x2B00, 0x1300, 0x5800);
    static constexpr GT::CShortTriple kAxes = VeyGraphColour(0xDE00, 0x0000, 0xFF00);
    static constexpr GT::CShortTriple kCurve = VeyGraphColour(0x0000, 0xFF00, 0xDE00);
    // How far the wide stroke under a curve lies from the background towards the curve colour.
    static constexpr double kGlowRatio = 0.3;
};

// The colour `ratio` of the way from `from` to `to`, each component truncated. Components are
// read as the unsigned 16-bit numbers the drawer takes its high byte from, so a blend towards
// 0xFF00 brightens even though the triple stores it as a negative short.
GT::CShortTriple VeyBlendGraphColour(const GT::CShortTriple& from, const GT::CShortTriple& to, double ratio);

// The resource factory's graph drawer; the toolkit's own when no factory is installed or it
// makes none, so a graph control always has something to draw with.
std::unique_ptr<CVeyGraphDrawer> VeyCreateGraphDrawer();

// The points as a polyline of width 3 in the glow colour between background and curve colour,
// then of width 1 in the curve colour.
void VeyDrawGlowingCurve(CVeyGraphDrawer& drawer, const UL::CDrawInfo& info, const std::vector<CPoint>& points,
                         const GT::CShortTriple& background, const GT::CShortTriple& curve);

// A straight line of width 1 that covers both end points.
void VeyDrawLine(CVeyGraphDrawer& drawer, const UL::CDrawInfo& info, const CPoint& from, const CPoint& to,
                 const GT::CShortTriple& colour);
