// Draws every picture the editor's script names: knob filmstrips, button and switch states,
// slider thumbs, LEDs, the keyboard sheet and the window backgrounds. Everything is computed from
// code, so the build can make the same files on every machine:
//   q9_make_editor_bitmaps OUTPUT_FOLDER
// Every picture is drawn twice from the same code: "name.png" for 100 % screens and "name@2x.png",
// twice as large, for 200 % screens. Shapes are given in 100 % pixels; the canvas samples each
// of its own pixels 4 x 4 times, so the larger picture has twice the detail, not enlarged pixels.
// Colours are straight RGB with alpha.
#include "platform/Gdi.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace
{
constexpr double kPi = 3.14159265358979323846;

struct SColour
{
    double r, g, b, a;
};

SColour Rgb(int r, int g, int b, double a = 1.0) { return {r / 255.0, g / 255.0, b / 255.0, a}; }

SColour Mix(const SColour& x, const SColour& y, double t)
{
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

// A picture of floating-point straight-alpha pixels, written out as one premultiplied bitmap. Its
// coordinates are 100 % pixels; it holds `scale` x `scale` pixels of its own for each of them.
class CCanvas
{
public:
    CCanvas(int width, int height, int scale)
        : m_width(width), m_height(height), m_scale(scale), m_pixelWidth(width * scale), m_pixelHeight(height * scale),
          m_pixels(size_t(m_pixelWidth) * m_pixelHeight, {0, 0, 0, 0})
    {
    }

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Paints `colour` over the canvas's own pixel with the given coverage (0..1).
    void Blend(int x, int y, const SColour& colour, double coverage)
    {
        if (x < 0 || y < 0 || x >= m_pixelWidth || y >= m_pixelHeight || coverage <= 0)
            return;
        SColour& d = m_pixels[size_t(y) * m_pixelWidth + x];
        const double a = colour.a * std::min(coverage, 1.0);
        const double outA = a + d.a * (1 - a);
        if (outA <= 0)
            return;
        d.r = (colour.r * a + d.r * d.a * (1 - a)) / outA;
        d.g = (colour.g * a + d.g * d.a * (1 - a)) / outA;
        d.b = (colour.b * a + d.b * d.a * (1 - a)) / outA;
        d.a = outA;
    }

    // Fills the shape given by `inside` (in 100 % pixel coordinates, pixel centres at +0.5) with a
    // colour that may vary with the position, within the box [x0, x1) x [y0, y1). Without
    // `inside` the whole box is covered, each pixel the box touches fully.
    void Fill(double x0, double y0, double x1, double y1, const std::function<bool(double, double)>& inside,
              const std::function<SColour(double, double)>& colour)
    {
        const double k = m_scale;
        const int left = std::max(0, int(std::floor(x0 * k))), top = std::max(0, int(std::floor(y0 * k)));
        const int right = std::min(m_pixelWidth, int(std::ceil(x1 * k)));
        const int bottom = std::min(m_pixelHeight, int(std::ceil(y1 * k)));
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
            {
                int hits = inside ? 0 : 16;
                for (int sy = 0; inside && sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        hits += inside((x + (sx + 0.5) / 4) / k, (y + (sy + 0.5) / 4) / k) ? 1 : 0;
                if (hits)
                    Blend(x, y, colour((x + 0.5) / k, (y + 0.5) / k), hits / 16.0);
            }
    }
    void Fill(double x0, double y0, double x1, double y1, const std::function<bool(double, double)>& inside,
              const SColour& colour)
    {
        Fill(x0, y0, x1, y1, inside, [colour](double, double) { return colour; });
    }

    void Circle(double cx, double cy, double radius, const std::function<SColour(double, double)>& colour)
    {
        Fill(cx - radius, cy - radius, cx + radius, cy + radius,
             [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; }, colour);
    }
    void Circle(double cx, double cy, double radius, const SColour& colour)
    {
        Circle(cx, cy, radius, [colour](double, double) { return colour; });
    }

    void RoundRect(double x0, double y0, double x1, double y1, double radius,
                   const std::function<SColour(double, double)>& colour)
    {
        Fill(x0, y0, x1, y1,
             [=](double x, double y) {
                 if (x < x0 || x > x1 || y < y0 || y > y1)
                     return false;
                 const double cx = std::clamp(x, x0 + radius, x1 - radius);
                 const double cy = std::clamp(y, y0 + radius, y1 - radius);
                 return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
             },
             colour);
    }
    void RoundRect(double x0, double y0, double x1, double y1, double radius, const SColour& colour)
    {
        RoundRect(x0, y0, x1, y1, radius, [colour](double, double) { return colour; });
    }

    // A line of the given width with round ends.
    void Line(double ax, double ay, double bx, double by, double width, const SColour& colour)
    {
        const double half = width / 2;
        Fill(std::min(ax, bx) - half, std::min(ay, by) - half, std::max(ax, bx) + half, std::max(ay, by) + half,
             [=](double x, double y) {
                 const double dx = bx - ax, dy = by - ay;
                 const double length2 = dx * dx + dy * dy;
                 double t = length2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / length2 : 0;
                 t = std::clamp(t, 0.0, 1.0);
                 const double px = ax + t * dx - x, py = ay + t * dy - y;
                 return px * px + py * py <= half * half;
             },
             colour);
    }

    // Copies the canvas's own pixels into rows [top, top + its pixel height) of a bitmap of its
    // pixel width.
    void CopyInto(CBitmap& bitmap, int top) const
    {
        for (int y = 0; y < m_pixelHeight; ++y)
        {
            uint32_t* row = bitmap.GetRow(top + y);
            for (int x = 0; x < m_pixelWidth; ++x)
            {
                const SColour& c = m_pixels[size_t(y) * m_pixelWidth + x];
                auto channel = [&c](double v) { return uint32_t(std::lround(std::clamp(v * c.a, 0.0, 1.0) * 255)); };
                row[x] = uint32_t(std::lround(std::clamp(c.a, 0.0, 1.0) * 255)) << 24 | channel(c.r) << 16 |
                         channel(c.g) << 8 | channel(c.b);
            }
        }
    }

private:
    int m_width, m_height, m_scale, m_pixelWidth, m_pixelHeight;
    std::vector<SColour> m_pixels;
};

// Palette of the hardware: dark anodised panel, light grey lettering, amber highlights.
const SColour kPanel = Rgb(38, 42, 50);
const SColour kPanelLight = Rgb(52, 57, 67);
const SColour kAmber = Rgb(240, 190, 90);
const SColour kCyan = Rgb(120, 220, 255);
const SColour kBlack = Rgb(14, 15, 18);

// The `inside` of a fill that covers its whole box.
const std::function<bool(double, double)> kWholeBox;

std::string g_folder;
int g_failures = 0;

// Stacks the states vertically, as the script's bitmaps expect, and writes a PNG at `scale`.
void SaveAt(const std::string& name, int scale, int width, int height, int states,
            const std::function<void(CCanvas&, int)>& draw)
{
    const std::string file = scale == 1 ? name + ".png" : name + "@" + std::to_string(scale) + "x.png";
    CBitmap bitmap;
    if (!bitmap.CreateDIBSection(width * scale, height * scale * states))
    {
        std::fprintf(stderr, "q9_make_editor_bitmaps: cannot make %s\n", file.c_str());
        ++g_failures;
        return;
    }
    for (int state = 0; state < states; ++state)
    {
        CCanvas canvas(width, height, scale);
        draw(canvas, state);
        canvas.CopyInto(bitmap, state * height * scale);
    }
    const std::string path = g_folder + "/" + file;
    if (!bitmap.SaveFile(path.c_str(), "PNG"))
    {
        std::fprintf(stderr, "q9_make_editor_bitmaps: cannot write %s\n", path.c_str());
        ++g_failures;
    }
}

// The picture for 100 % screens and its twin for 200 % screens.
void Save(const std::string& name, int width, int height, int states, const std::function<void(CCanvas&, int)>& draw)
{
    SaveAt(name, 1, width, height, states, draw);
    SaveAt(name, 2, width, height, states, draw);
}

void Knob(CCanvas& c, int state, int states)
{
    const double size = c.Width();
    const double cx = size / 2, cy = size / 2, radius = size / 2 - 1.5;
    // Drop shadow, skirt, cap with a light from above, then the pointer.
    c.Circle(cx + 0.6, cy + 1.2, radius + 0.8, Rgb(0, 0, 0, 0.45));
    c.Circle(cx, cy, radius, [&](double, double y) { return Mix(Rgb(96, 102, 114), Rgb(22, 24, 28), (y - (cy - radius)) / (2 * radius)); });
    const double cap = radius * 0.78;
    c.Circle(cx, cy, cap, [&](double x, double y) {
        const double t = std::clamp(((y - cy) + (x - cx) * 0.3) / (2 * cap) + 0.5, 0.0, 1.0);
        return Mix(Rgb(84, 90, 101), Rgb(40, 43, 50), t);
    });
    const double angle = (-135.0 + 270.0 * state / (states - 1)) * kPi / 180.0;
    const double sx = std::sin(angle), sy = -std::cos(angle);
    c.Line(cx + sx * cap * 0.25, cy + sy * cap * 0.25, cx + sx * (radius - 1), cy + sy * (radius - 1),
           std::max(1.6, size / 14), kAmber);
}

void Key(CCanvas& c, double x0, double y0, double x1, double y1, bool ebony, bool pressed, bool roundBottom)
{
    if (ebony)
    {
        c.RoundRect(x0, y0 - 2, x1, y1, 1.5, [&](double x, double) {
            const double t = (x - x0) / (x1 - x0);
            return pressed ? Mix(Rgb(40, 42, 48), Rgb(20, 21, 24), t) : Mix(Rgb(58, 60, 66), Rgb(12, 12, 14), t);
        });
        if (!pressed)
            c.Fill(x0 + 1.5, y1 - 6, x1 - 1.5, y1 - 1.5, kWholeBox, Rgb(90, 92, 98));
        return;
    }
    const SColour top = pressed ? Rgb(200, 196, 186) : Rgb(246, 244, 238);
    const SColour bottom = pressed ? Rgb(176, 172, 160) : Rgb(222, 219, 210);
    auto shade = [&](double, double y) { return Mix(top, bottom, std::clamp((y - y0) / 90.0, 0.0, 1.0)); };
    if (roundBottom)
        c.RoundRect(x0, y0 - 3, x1, y1, 2.0, shade);
    else
        c.Fill(x0, y0, x1, y1, kWholeBox, shade);
}
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: q9_make_editor_bitmaps OUTPUT_FOLDER\n");
        return 2;
    }
    g_folder = argv[1];

    Save("knob", 32, 32, 64, [](CCanvas& c, int s) { Knob(c, s, 64); });
    Save("knobSmall", 24, 24, 64, [](CCanvas& c, int s) { Knob(c, s, 64); });

    // The arrow button of a choice box: up, pressed.
    Save("popButton", 14, 16, 2, [](CCanvas& c, int s) {
        c.Fill(0, 0, 14, 16, kWholeBox, s ? Rgb(60, 66, 78) : Rgb(46, 51, 60));
        c.Fill(0, 0, 1, 16, kWholeBox, Rgb(22, 24, 28));
        const double dy = s ? 1 : 0;
        c.Fill(3, 5 + dy, 11, 11 + dy, [dy](double x, double y) { return y - (5 + dy) <= 4 - std::fabs(x - 7) * 1.0 && y >= 6 + dy; },
               kAmber);
    });

    // Push buttons: up, pressed, disabled. The label is drawn over them by the script's lettering.
    auto pushButton = [](CCanvas& c, int s) {
        const double w = c.Width(), h = c.Height();
        const SColour face = s == 2 ? Rgb(120, 123, 128) : s == 1 ? Rgb(176, 180, 186) : Rgb(206, 209, 214);
        c.RoundRect(0.5, 1.5, w - 0.5, h - 0.5, 3, Rgb(0, 0, 0, 0.5));
        c.RoundRect(0.5, 0.5 + (s == 1), w - 0.5, h - 1.5 + (s == 1), 3, [&](double, double y) {
            return Mix(face, Mix(face, kBlack, 0.25), y / h);
        });
    };
    Save("button", 56, 20, 3, pushButton);
    Save("buttonWide", 80, 20, 3, pushButton);

    // Switches: off, off pressed, on, on pressed, disabled. An LED strip shows the state.
    auto switchButton = [](CCanvas& c, int s) {
        const double w = c.Width(), h = c.Height();
        const bool pressed = s == 1 || s == 3;
        const bool on = s == 2 || s == 3;
        const SColour face = s == 4 ? Rgb(110, 113, 118) : pressed ? Rgb(170, 174, 180) : Rgb(200, 204, 210);
        c.RoundRect(0.5, 1.5, w - 0.5, h - 0.5, 3, Rgb(0, 0, 0, 0.5));
        c.RoundRect(0.5, 0.5 + pressed, w - 0.5, h - 1.5 + pressed, 3,
                    [&](double, double y) { return Mix(face, Mix(face, kBlack, 0.25), y / h); });
        c.RoundRect(4, h - 5 + pressed, w - 4, h - 3 + pressed, 1, on ? kAmber : Rgb(90, 80, 60));
    };
    Save("latch", 44, 18, 5, switchButton);
    Save("latchWide", 64, 18, 5, switchButton);

    // Tone select: off, off pressed, selected, selected pressed, playing, playing pressed.
    Save("toneSelect", 64, 22, 6, [](CCanvas& c, int s) {
        const bool pressed = s % 2 == 1;
        const int kind = s / 2;
        const SColour face = kind == 1 ? Rgb(240, 190, 90) : kind == 2 ? Rgb(150, 205, 230) : Rgb(196, 200, 206);
        c.RoundRect(0.5, 1.5, 63.5, 21.5, 3, Rgb(0, 0, 0, 0.5));
        c.RoundRect(0.5, 0.5 + pressed, 63.5, 20.5 + pressed, 3,
                    [&](double, double y) { return Mix(face, Mix(face, kBlack, 0.3), y / 22); });
    });

    Save("sliderThumb", 12, 16, 1, [](CCanvas& c, int) {
        c.RoundRect(0.5, 0.5, 11.5, 15.5, 2, [](double x, double) { return Mix(Rgb(220, 222, 226), Rgb(130, 134, 140), x / 12); });
        c.Fill(5, 2, 7, 14, kWholeBox, kBlack);
    });
    Save("sliderThumbVertical", 16, 10, 1, [](CCanvas& c, int) {
        c.RoundRect(0.5, 0.5, 15.5, 9.5, 2, [](double, double y) { return Mix(Rgb(220, 222, 226), Rgb(130, 134, 140), y / 10); });
        c.Fill(2, 4, 14, 6, kWholeBox, kBlack);
    });

    // Tracks drawn behind the sliders: a recessed groove the thumb or the bar runs in.
    auto groove = [](CCanvas& c, double x0, double y0, double x1, double y1) {
        c.RoundRect(x0, y0, x1, y1, 1.5, Rgb(14, 15, 18));
        c.RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 1, Rgb(40, 43, 50));
        c.Fill(x0 + 1, y1 - 1, x1 - 1, y1, kWholeBox, Rgb(96, 102, 114));
    };
    Save("sliderTrack", 96, 16, 1, [groove](CCanvas& c, int) {
        groove(c, 2, 5.5, 94, 10.5);
        for (int i = 0; i <= 8; ++i)
            c.Fill(6 + i * 10.5, 13, 7 + i * 10.5, 16, kWholeBox, Rgb(110, 116, 128));
    });
    Save("sliderTrackVertical", 16, 36, 1, [groove](CCanvas& c, int) { groove(c, 5.5, 2, 10.5, 34); });
    Save("barTrack", 12, 48, 1, [groove](CCanvas& c, int) { groove(c, 0, 0, 12, 48); });

    Save("led", 10, 10, 2, [](CCanvas& c, int s) {
        c.Circle(5, 5, 4.5, kBlack);
        c.Circle(5, 5, 3.5, [s](double x, double y) {
            const double d = std::hypot(x - 4, y - 4) / 4;
            return s ? Mix(Rgb(255, 236, 170), Rgb(230, 120, 30), d) : Mix(Rgb(96, 60, 30), Rgb(50, 32, 20), d);
        });
    });

    // Small arrow buttons: up, pressed, disabled.
    auto arrow = [](bool up) {
        return [up](CCanvas& c, int s) {
            const double w = c.Width(), h = c.Height();
            c.RoundRect(0.5, 0.5, w - 0.5, h - 0.5, 2, s == 1 ? Rgb(60, 66, 78) : Rgb(70, 76, 88));
            const SColour ink = s == 2 ? Rgb(110, 110, 110) : kAmber;
            const double cx = w / 2, cy = h / 2 + (s == 1 ? 0.5 : 0);
            c.Fill(cx - 4, cy - 3, cx + 4, cy + 3, [=](double x, double y) {
                const double t = up ? (y - (cy - 2.5)) : ((cy + 2.5) - y);
                return t >= 0 && t <= 5 && std::fabs(x - cx) <= t * 0.8;
            }, ink);
        };
    };
    Save("incrementUp", 16, 14, 3, arrow(true));
    Save("incrementDown", 16, 14, 3, arrow(false));
    Save("scrollUp", 14, 14, 3, arrow(true));
    Save("scrollDown", 14, 14, 3, arrow(false));

    // A lit level meter, cut to the level by the bar graph: segments from cyan at the bottom to
    // amber at the top.
    Save("barMeter", 12, 60, 1, [](CCanvas& c, int) {
        c.Fill(0, 0, 12, 60, kWholeBox, Rgb(12, 13, 16));
        for (int k = 0; k < 15; ++k)
        {
            const double top = 60 - (k + 1) * 4 + 1;
            c.Fill(1, top, 11, top + 3, kWholeBox, Mix(kCyan, kAmber, k / 14.0));
        }
    });

    // The filter's response: off, low pass, band pass, high pass, peaking, two steeper low passes.
    Save("filterTypePicture", 40, 20, 7, [](CCanvas& c, int s) {
        c.RoundRect(0, 0, 40, 20, 2, Rgb(20, 22, 26));
        auto curve = [s](double x) {
            const double f = x / 40.0;
            switch (s)
            {
            case 1: return f < 0.55 ? 0.3 : 0.3 + (f - 0.55) * 1.9;
            case 2: return 0.3 + std::fabs(f - 0.5) * 1.6;
            case 3: return f > 0.45 ? 0.3 : 0.3 + (0.45 - f) * 1.9;
            case 4: return 0.55 - 0.35 * std::exp(-std::pow((f - 0.5) * 8, 2));
            case 5: return f < 0.5 ? 0.3 : 0.3 + (f - 0.5) * 2.6;
            case 6: return f < 0.45 ? 0.3 : 0.3 + (f - 0.45) * 3.4;
            default: return 0.3;
            }
        };
        for (int x = 2; x < 38; ++x)
            c.Line(x, 2 + curve(x) * 16, x + 1, 2 + curve(x + 1) * 16, 1.4, s ? kCyan : Rgb(90, 96, 110));
    });

    // The keyboard sheet: the upside pieces c d e f g a b and the ebony key, then the downside of an
    // ivory key, then the upside of the top key (a C with no ebony key beside it), in a normal row
    // and a pressed row (the script's rectangles use this layout).
    Save("keyboard", 114, 2 * (56 + 28 + 2), 1, [](CCanvas& c, int) {
        const int widths[8] = {9, 8, 9, 9, 7, 7, 9, 8};
        for (int row = 0; row < 2; ++row)
        {
            const int top = row * (56 + 28 + 2);
            int x = 0;
            for (int kind = 0; kind < 8; ++kind)
            {
                Key(c, x, top, x + widths[kind], top + 56, kind == 7, row == 1, false);
                // A gap line where the key meets its left neighbour (c and f begin an ivory key).
                if (kind == 0 || kind == 3)
                    c.Fill(x, top, x + 1, top + 56, kWholeBox, Rgb(120, 118, 112));
                x += widths[kind] + 2;
            }
            Key(c, x, top + 56, x + 14, top + 84, false, row == 1, true);
            c.Fill(x, top + 56, x + 1, top + 84, kWholeBox, Rgb(120, 118, 112));
            x += 16;
            Key(c, x, top, x + 14, top + 56, false, row == 1, false);
            c.Fill(x, top, x + 1, top + 56, kWholeBox, Rgb(120, 118, 112));
        }
    });

    // Window backgrounds: anodised panel with a fine brushed grain and a bevelled edge.
    auto background = [](CCanvas& c, int) {
        const double w = c.Width(), h = c.Height();
        uint32_t seed = 12345;
        std::vector<double> grain(size_t(c.Height()));
        for (double& g : grain)
        {
            seed = seed * 1103515245u + 12345u;
            g = ((seed >> 16) & 0xFF) / 255.0 - 0.5;
        }
        c.Fill(0, 0, w, h, kWholeBox, [&](double, double y) {
            const SColour base = Mix(kPanelLight, kPanel, y / h);
            return Mix(base, grain[size_t(y)] > 0 ? Rgb(70, 76, 88) : Rgb(28, 30, 36), std::fabs(grain[size_t(y)]) * 0.12);
        });
        c.Fill(0, 0, w, 1, kWholeBox, Rgb(86, 92, 104));
        c.Fill(0, 0, 1, h, kWholeBox, Rgb(86, 92, 104));
        c.Fill(0, h - 1, w, h, kWholeBox, Rgb(16, 17, 20));
        c.Fill(w - 1, 0, w, h, kWholeBox, Rgb(16, 17, 20));
        for (double sx : {8.0, w - 8}) // screws
            for (double sy : {8.0, h - 8})
            {
                c.Circle(sx, sy, 3.5, Rgb(24, 26, 30));
                c.Circle(sx, sy, 2.8, Rgb(120, 124, 132));
                c.Line(sx - 2, sy - 2, sx + 2, sy + 2, 0.9, Rgb(40, 42, 48));
            }
    };
    Save("mainPanel", 1000, 660, 1, background);
    Save("selectPanel", 280, 340, 1, background);
    Save("writePanel", 280, 390, 1, background);
    Save("systemPanel", 380, 432, 1, background);
    Save("commonList", 1124, 552, 1, background);
    Save("effectsList", 820, 480, 1, background);
    Save("toneList", 1124, 696, 1, background);
    return g_failures == 0 ? 0 : 1;
}
