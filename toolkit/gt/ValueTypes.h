#pragma once
// Small value records that the text parsers fill: points, rectangles and colour triples of the
// script and the settings.
#include <cstdint>

namespace GT
{
struct CPoint32
{
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const CPoint32& other) const { return x == other.x && y == other.y; }
    bool operator!=(const CPoint32& other) const { return !(*this == other); }
};

struct CRect32
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const CRect32& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
    bool operator!=(const CRect32& other) const { return !(*this == other); }
};

// Colour components as written in the script ("%hi,%hi,%hi"); drawing uses the high byte.
struct CShortTriple
{
    int16_t red = 0;
    int16_t green = 0;
    int16_t blue = 0;
    bool operator==(const CShortTriple& other) const
    {
        return red == other.red && green == other.green && blue == other.blue;
    }
    bool operator!=(const CShortTriple& other) const { return !(*this == other); }
};
}
