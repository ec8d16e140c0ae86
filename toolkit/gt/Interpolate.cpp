#include "toolkit/gt/Interpolate.h"

namespace GT
{
double LinearInterpolate(double x0, double y0, double x1, double y1, double x)
{
    return ((x - x0) * y1 + (x1 - x) * y0) / (x1 - x0);
}
}
