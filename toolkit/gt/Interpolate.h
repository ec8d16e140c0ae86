#pragma once
// Straight-line interpolation shared by the graph controls and the colour blending.

namespace GT
{
// The value at x on the line through (x0, y0) and (x1, y1). Callers keep x1 and x0 apart.
double LinearInterpolate(double x0, double y0, double x1, double y1, double x);
}
