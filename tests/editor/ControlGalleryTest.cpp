// One panel with every framework control type (tests/data/scripts/Gallery.xml), bound to a model
// in interesting states, built by the script loader with the editor's resource factory and
// rendered offscreen into control-gallery.png in the test's build folder, for a person to look
// at. The bitmaps the script names are painted here, so the picture is the same on every machine.
#include "editor/CResourceFactory.h"

#include "midi/framework/CVeyMidiManager.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/CVeyValue.h"
#include "model/VeyManagers.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "toolkit/ul/Input.h"
#include "ui/controls/CVeyControlFactory.h"
#include "ui/controls/CVeyListControl.h"
#include "ui/controls/CVeyPopControl.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/panels/CVeyViewManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
constexpr double kPi = 3.14159265358979323846;

// Straight (not premultiplied) 0xAARRGGBB.
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// A small painter over a 32-bit image: fills, discs, thick lines and frames, blended by how much
// of each pixel they cover, so the generated pictures have clean edges and never vary.
class CArt
{
public:
    CArt(int width, int height, uint32_t fill = 0) : m_width(width), m_height(height)
    {
        m_image.CreateDIBSection(width, height);
        Fill(0, 0, width, height, fill);
    }

    void Fill(int left, int top, int right, int bottom, uint32_t argb)
    {
        for (int y = std::max(top, 0); y < std::min(bottom, m_height); ++y)
            for (int x = std::max(left, 0); x < std::min(right, m_width); ++x)
                m_image.GetRow(y)[x] = argb;
    }
    // A fill from one colour at the top to another at the bottom.
    void Gradient(int left, int top, int right, int bottom, uint32_t from, uint32_t to)
    {
        for (int y = top; y < bottom; ++y)
        {
            const double t = bottom - top > 1 ? double(y - top) / (bottom - top - 1) : 0.0;
            Fill(left, y, right, y + 1, Mix(from, to, t));
        }
    }
    void Frame(int left, int top, int right, int bottom, uint32_t argb)
    {
        Fill(left, top, right, top + 1, argb);
        Fill(left, bottom - 1, right, bottom, argb);
        Fill(left, top, left + 1, bottom, argb);
        Fill(right - 1, top, right, bottom, argb);
    }
    void Disc(double cx, double cy, double radius, uint32_t argb)
    {
        Shape(cx - radius - 1, cy - radius - 1, cx + radius + 1, cy + radius + 1, argb,
              [&](double x, double y) { return radius + 0.5 - std::hypot(x - cx, y - cy); });
    }
    void Line(double x0, double y0, double x1, double y1, double width, uint32_t argb)
    {
        const double reach = width / 2 + 1;
        const double dx = x1 - x0, dy = y1 - y0, length = dx * dx + dy * dy;
        auto inside = [&](double x, double y) {
            const double t = length > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / length, 0.0, 1.0) : 0.0;
            return width / 2 + 0.5 - std::hypot(x - (x0 + t * dx), y - (y0 + t * dy));
        };
        Shape(std::min(x0, x1) - reach, std::min(y0, y1) - reach, std::max(x0, x1) + reach, std::max(y0, y1) + reach,
              argb, inside);
    }
    // A polyline through f(t) for t from 0 to 1, sampled finely.
    template <class F>
    void Curve(F f, double width, uint32_t argb)
    {
        double px = 0, py = 0;
        for (int i = 0; i <= 64; ++i)
        {
            double x = 0, y = 0;
            f(i / 64.0, x, y);
            if (i > 0)
                Line(px, py, x, y, width, argb);
            px = x, py = y;
        }
    }
    bool Save(const std::string& path, const char* format) const { return m_image.SaveFile(path.c_str(), format, true); }

private:
    static uint32_t Mix(uint32_t a, uint32_t b, double t)
    {
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8)
        {
            const double va = (a >> shift) & 0xFF, vb = (b >> shift) & 0xFF;
            out |= static_cast<uint32_t>(std::lround(va + (vb - va) * t)) << shift;
        }
        return out;
    }
    // Paints where `coverage` (about the distance inside the shape, in pixels) is positive, within
    // the shape's bounds.
    template <class F>
    void Shape(double left, double top, double right, double bottom, uint32_t argb, F coverage)
    {
        for (int y = std::max(0, int(top)); y < std::min(m_height, int(bottom) + 1); ++y)
            for (int x = std::max(0, int(left)); x < std::min(m_width, int(right) + 1); ++x)
            {
                const double c = std::clamp(coverage(x + 0.5, y + 0.5), 0.0, 1.0);
                if (c > 0)
                    Blend(x, y, argb, c);
            }
    }
    void Blend(int x, int y, uint32_t argb, double coverage)
    {
        uint32_t& pixel = m_image.GetRow(y)[x];
        const double sa = ((argb >> 24) / 255.0) * coverage, da = (pixel >> 24) / 255.0;
        const double oa = sa + da * (1 - sa);
        if (oa <= 0)
            return;
        uint32_t out = static_cast<uint32_t>(std::lround(oa * 255)) << 24;
        for (int shift = 0; shift < 24; shift += 8)
        {
            const double s = (argb >> shift) & 0xFF, d = (pixel >> shift) & 0xFF;
            out |= static_cast<uint32_t>(std::lround((s * sa + d * da * (1 - sa)) / oa)) << shift;
        }
        pixel = out;
    }

    int m_width, m_height;
    CBitmap m_image;
};

const uint32_t kPanel = Rgb(35, 39, 46);
const uint32_t kCell = Rgb(44, 49, 58);
const uint32_t kCellEdge = Rgb(60, 66, 77);
const uint32_t kGroove = Rgb(18, 21, 25);
const uint32_t kAccent = Rgb(255, 160, 40);
const uint32_t kFace = Rgb(70, 76, 88);
const uint32_t kFacePressed = Rgb(54, 59, 69);
const uint32_t kWhite = Rgb(235, 238, 242);

// The panel's background: a cell per control, with grooves under the slider and the bar sliders.
void PaintBackground(const std::string& path)
{
    CArt art(680, 626, kPanel);
    const int rows[] = {10, 102, 194, 286, 378, 518, 618};
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c)
        {
            const bool wide = (r == 4 && c == 2) || (r == 5 && c == 0);
            if ((r == 4 && c == 3) || (r == 5 && c == 1))
                continue;
            const int left = 10 + 165 * c, right = left + (wide ? 325 : 160);
            art.Fill(left, rows[r], right, rows[r + 1] - 4, kCell);
            art.Frame(left, rows[r], right, rows[r + 1] - 4, kCellEdge);
        }
    art.Fill(189, 52, 325, 54, kGroove);     // the slider's track
    art.Fill(644, 414, 658, 490, kGroove);   // the scroll control's track
    art.Fill(348, 44, 496, 62, kGroove);     // the bar sliders' beds
    art.Fill(513, 550, 661, 568, kGroove);
    ASSERT_TRUE(art.Save(path, "BMP"));
}

// 32 positions of a knob 40 x 40 side by side, transparent around the knob: a lit arc up to the
// pointer over 270 degrees, starting at the lower left.
void PaintKnob(const std::string& path)
{
    const int states = 32, size = 40;
    CArt art(states * size, size);
    for (int s = 0; s < states; ++s)
    {
        const double cx = s * size + 20, cy = 20;
        const double angle = (-225 + 270.0 * s / (states - 1)) * kPi / 180;   // screen angle, y down
        for (int dot = 0; dot < 28; ++dot)
        {
            const double a = (-225 + 10.0 * dot) * kPi / 180;
            const bool lit = a <= angle + 1e-9;
            art.Disc(cx + 18 * std::cos(a), cy + 18 * std::sin(a), 1.2, lit ? kAccent : Rgb(75, 80, 90));
        }
        art.Disc(cx, cy + 1, 14.5, Rgb(0, 0, 0, 110));
        art.Disc(cx, cy, 14, Rgb(88, 95, 108));
        art.Disc(cx, cy, 11.5, Rgb(60, 65, 76));
        art.Line(cx + 4 * std::cos(angle), cy + 4 * std::sin(angle), cx + 12 * std::cos(angle),
                 cy + 12 * std::sin(angle), 2.4, kWhite);
    }
    ASSERT_TRUE(art.Save(path, "PNG"));
}

// A button face of the size per state, stacked top to bottom; `lamps` gives each state's lamp
// colour (0: no lamp) and `pressed` which states look pushed in.
void PaintButton(const std::string& path, int width, int height, const std::vector<uint32_t>& lamps,
                 const std::vector<bool>& pressed, const std::vector<bool>& greyed)
{
    CArt art(width, height * static_cast<int>(lamps.size()));
    for (size_t s = 0; s < lamps.size(); ++s)
    {
        const int top = static_cast<int>(s) * height;
        const uint32_t face = greyed[s] ? Rgb(52, 56, 63) : pressed[s] ? kFacePressed : kFace;
        art.Fill(0, top, width, top + height, Rgb(20, 22, 26));
        art.Gradient(1, top + 1, width - 1, top + height - 1, face, pressed[s] ? face : Rgb(58, 63, 74));
        if (!pressed[s] && !greyed[s])
            art.Fill(1, top + 1, width - 1, top + 2, Rgb(98, 105, 118));
        if (lamps[s])
            art.Fill(4, top + 4, 7, top + height - 4, lamps[s]);
    }
    ASSERT_TRUE(art.Save(path, "BMP"));
}

// The bar graph's bar, 148 x 12. The bar is cut from the picture by its four corners, so the
// picture is a bar with end caps that stays whole at any length: lit green, shaded top to bottom.
void PaintMeter(const std::string& path)
{
    CArt art(148, 12, Rgb(10, 40, 18));
    art.Gradient(1, 1, 147, 11, Rgb(120, 240, 140), Rgb(30, 150, 60));
    art.Fill(145, 1, 147, 11, Rgb(200, 255, 210));
    ASSERT_TRUE(art.Save(path, "BMP"));
}

// The six wave forms of the "wave" value, 48 x 28 each, side by side.
void PaintWaves(const std::string& path)
{
    CArt art(6 * 48, 28, Rgb(14, 18, 24));
    const uint32_t line = Rgb(120, 225, 255);
    for (int s = 0; s < 6; ++s)
    {
        const double left = s * 48 + 6, width = 36, mid = 14, amp = 9;
        art.Frame(s * 48, 0, s * 48 + 48, 28, Rgb(60, 66, 77));
        auto at = [&](double t, double v, double& x, double& y) { x = left + t * width, y = mid - v * amp; };
        switch (s)
        {
        case 0: art.Curve([&](double t, double& x, double& y) { at(t, std::sin(t * 2 * kPi), x, y); }, 1.6, line); break;
        case 1: art.Curve([&](double t, double& x, double& y) { at(t, 1 - 4 * std::abs(t - 0.5), x, y); }, 1.6, line); break;
        case 2:
            art.Line(left, mid + amp, left + width, mid - amp, 1.6, line);
            art.Line(left + width, mid - amp, left + width, mid + amp, 1.6, line);
            break;
        case 3:
            art.Line(left, mid - amp, left + width, mid + amp, 1.6, line);
            art.Line(left + width, mid + amp, left + width, mid - amp, 1.6, line);
            break;
        case 4:
            art.Line(left, mid - amp, left + width / 2, mid - amp, 1.6, line);
            art.Line(left + width / 2, mid - amp, left + width / 2, mid + amp, 1.6, line);
            art.Line(left + width / 2, mid + amp, left + width, mid + amp, 1.6, line);
            break;
        default:
        {
            const double levels[] = {0.3, -0.8, 0.9, -0.2, 0.6, -0.9};
            for (int i = 0; i < 6; ++i)
                art.Line(left + i * 6, mid - levels[i] * amp, left + i * 6 + 6, mid - levels[i] * amp, 1.6, line);
            break;
        }
        }
    }
    ASSERT_TRUE(art.Save(path, "PNG"));
}

// The pictures of the two highest "rate" values: a quarter note and two eighth notes, 24 x 20.
void PaintSyncIcons(const std::string& path)
{
    CArt art(48, 20, Rgb(14, 18, 24));
    const uint32_t ink = Rgb(120, 225, 255);
    art.Disc(9, 15, 3, ink);
    art.Line(11.5, 15, 11.5, 3, 1.4, ink);
    for (double x : {30.0, 40.0})
    {
        art.Disc(x, 15, 3, ink);
        art.Line(x + 2.5, 15, x + 2.5, 4, 1.4, ink);
    }
    art.Line(32.5, 4, 42.5, 4, 2, ink);
    ASSERT_TRUE(art.Save(path, "BMP"));
}

// A small drop-down button 16 x 20 (up, pressed) and the scroll arrows 14 x 14 (up, pressed).
void PaintArrows(const std::string& drop, const std::string& up, const std::string& down)
{
    CArt popup(16, 40);
    CArt arrows[2] = {CArt(14, 28), CArt(14, 28)};
    for (int pressed = 0; pressed < 2; ++pressed)
    {
        const uint32_t face = pressed ? kFacePressed : kFace;
        popup.Fill(0, pressed * 20, 16, pressed * 20 + 20, Rgb(20, 22, 26));
        popup.Fill(1, pressed * 20 + 1, 15, pressed * 20 + 19, face);
        for (int row = 0; row < 4; ++row)
            popup.Fill(4 + row, pressed * 20 + 8 + row + pressed, 12 - row, pressed * 20 + 9 + row + pressed, kWhite);
        for (int a = 0; a < 2; ++a)
        {
            CArt& art = arrows[a];
            art.Fill(0, pressed * 14, 14, pressed * 14 + 14, Rgb(20, 22, 26));
            art.Fill(1, pressed * 14 + 1, 13, pressed * 14 + 13, face);
            for (int row = 0; row < 4; ++row)
            {
                const int y = pressed * 14 + 5 + (a == 0 ? row : 3 - row) + pressed;
                art.Fill(6 - row, y, 8 + row, y + 1, kWhite);
            }
        }
    }
    ASSERT_TRUE(popup.Save(drop, "BMP"));
    ASSERT_TRUE(arrows[0].Save(up, "BMP"));
    ASSERT_TRUE(arrows[1].Save(down, "BMP"));
}

// The key sheet: the upsides of C D E F G A B and the ebony key in a row 44 high with the ivory
// downside (16 x 20) below, and the same pressed 70 pixels lower, as the script's rectangles say.
void PaintKeys(const std::string& path)
{
    CArt art(120, 140, Rgb(0, 0, 0));
    const int lefts[] = {0, 20, 30, 50, 70, 80, 90};
    const int widths[] = {12, 8, 12, 12, 8, 8, 12};
    // Which upsides meet an ebony key on their left or right edge.
    const bool ebonyLeft[] = {false, true, true, false, true, true, true};
    const bool ebonyRight[] = {true, true, false, true, true, true, false};
    for (int pressed = 0; pressed < 2; ++pressed)
    {
        const int top = pressed * 70;
        const uint32_t ivory = pressed ? Rgb(150, 200, 250) : Rgb(246, 244, 236);
        const uint32_t edge = Rgb(120, 122, 128);
        for (int k = 0; k < 7; ++k)
        {
            const int left = lefts[k], right = left + widths[k];
            art.Fill(left, top, right, top + 44, ivory);
            if (!ebonyLeft[k])
                art.Fill(left, top, left + 1, top + 44, edge);
            if (!ebonyRight[k])
                art.Fill(right - 1, top, right, top + 44, edge);
        }
        // The ebony key: black with a lighter top face, ivory showing beside its lower end.
        art.Fill(110, top, 118, top + 44, Rgb(0, 0, 0));
        art.Fill(111, top, 117, top + 40, pressed ? Rgb(70, 110, 170) : Rgb(30, 30, 34));
        art.Fill(112, top + 2, 116, top + 34, pressed ? Rgb(90, 140, 210) : Rgb(52, 52, 58));
        art.Fill(0, top + 44, 16, top + 64, ivory);
        art.Fill(0, top + 44, 1, top + 64, edge);
        art.Fill(0, top + 62, 16, top + 64, Rgb(190, 190, 184));
    }
    ASSERT_TRUE(art.Save(path, "BMP"));
}

// The list as the editor's patch list would show it: a number and a name in the visible rows.
class CGalleryList : public CVeyListControl
{
public:
    void UpdateFromValue() override
    {
        CVeyListControl::UpdateFromValue();
        static const char* const names[] = {"Warm Pad", "Glass Bells", "Deep Bass", "Analog Brass",
                                            "Soft Strings", "Pluck Lead", "Noise Sweep", "Tine Piano"};
        m_rowTexts.clear();
        for (int32_t row = GetFirstVisibleRow(); row < GetLastShownRow(); ++row)
        {
            const std::string number = std::to_string(row + 1);
            m_rowTexts.push_back({std::string(3 - std::min<size_t>(number.size(), 3), '0') + number, names[row % 8]});
        }
    }
};

std::string TestDataFile(const std::string& name)
{
    const char* folder = std::getenv("Q9_TEST_DATA");
    return std::string(folder ? folder : "tests/data") + "/" + name;
}

struct ControlGallery : ::testing::Test
{
    void SetUp() override
    {
        const std::string dir = folder.Path() + "/";
        PaintBackground(dir + "galleryBack.bmp");
        PaintKnob(dir + "knob.png");
        PaintButton(dir + "sliderKnob.bmp", 12, 22, {0}, {false}, {false});
        PaintMeter(dir + "meter.bmp");
        const uint32_t dim = Rgb(90, 60, 30), lit = kAccent, off = Rgb(60, 60, 60);
        PaintButton(dir + "latch.bmp", 56, 22, {dim, dim, lit, lit, off}, {false, true, false, true, false},
                    {false, false, false, false, true});
        PaintButton(dir + "unlatch.bmp", 56, 22, {0, 0, 0}, {false, true, false}, {false, false, true});
        PaintButton(dir + "step.bmp", 22, 22, {0, 0}, {false, true}, {false, false});
        PaintWaves(dir + "waves.png");
        PaintSyncIcons(dir + "syncIcons.bmp");
        PaintArrows(dir + "drop.bmp", dir + "scrollUp.bmp", dir + "scrollDown.bmp");
        PaintKeys(dir + "keys.bmp");
        CVeyStateBitmap::SetBitmapFolder(dir);

        CVeyControlFactory::SetFrameworkType("listControl", &CVeyControlFactory::Make<CGalleryList>);
        CVeyResourceManager::RegisterManagerStep();
        CVeyBufferManager::RegisterManagerStep();
        CVeyMidiManager::RegisterManagerStep();
        CVeyViewManager::RegisterManagerStep();
        CVeyResourceManager::GetInstance().SetResourceFactory(std::make_unique<CResourceFactory>());
    }
    void TearDown() override
    {
        VeyDestroyManagers();
        for (EVeyManager step : {EVeyManager::kResource, EVeyManager::kBuffer, EVeyManager::kMidi, EVeyManager::kView})
            VeySetManagerStep(step, nullptr, nullptr);
        CVeyScriptDefinitions::GetInstance().Clear();
        CVeyControlFactory::SetFrameworkType("listControl", &CVeyControlFactory::Make<CVeyListControl>);
        CVeyStateBitmap::SetBitmapFolder("");
    }
    static CVeyValue* Value(const std::string& path) { return CVeyBufferManager::GetInstance().FindValueOrNull(path); }

    CTempDir folder;
};
}

TEST_F(ControlGallery, EveryControlTypeDrawsItsStateIntoThePicture)
{
    CTraceCapture trace;
    ASSERT_TRUE(CVeyScriptReader::GetInstance().Load(TestDataFile("scripts/Gallery.xml")));
    ASSERT_TRUE(VeyCreateManagers()) << trace.Text();

    const struct
    {
        const char* path;
        int32_t number;
    } numbers[] = {
        {"level", 90}, {"cutoff", 700}, {"pan", 64 + 30}, {"meterScale", 127}, {"sync", 1}, {"lock", 1},
        {"step", 7}, {"wave", 2}, {"rate", 129}, {"lfoWave", 8}, {"tune", 128 - 25},
        {"biasLevel", 100}, {"biasPosition", 40}, {"biasDirection", 2},
        {"L0", 0}, {"L1", 127}, {"L2", 92}, {"L3", 70}, {"L4", 0}, {"T1", 18}, {"T2", 45}, {"T3", 60}, {"T4", 80},
        {"lfoRate", 12}, {"lfoOffset", 2}, {"lfoDelay", 24}, {"lfoFadeMode", 0}, {"lfoFadeTime", 40},
        {"rangeLower", 36}, {"rangeUpper", 84}, {"fadeLower", 12}, {"fadeUpper", 20},
        {"listFirst", 0}, {"listLast", 32}, {"listCurrent", 3}, {"listTop", 1}, {"listBottom", 6},
        {"octave", 64}, {"velocity", 100},
    };
    for (const auto& n : numbers)
    {
        CVeyValue* value = Value(std::string("fm.g.") + n.path);
        ASSERT_NE(value, nullptr) << n.path;
        value->SetNumber(n.number);
    }
    Value("fm.g.name")->SetText("Warm Pad");
    std::vector<int32_t> notes(128, 0);
    for (int key : {52, 60, 64, 67})
        notes[static_cast<size_t>(key)] = 100;
    Value("ms.ch[0].note")->SetArray(notes);

    CVeyViewManager& views = CVeyViewManager::GetInstance();
    ASSERT_TRUE(views.OpenRootPanel("gallery")) << trace.Text();
    CVeyRootPanel* panel = views.FindRootPanel("gallery");
    ASSERT_NE(panel, nullptr);
    CVeyControl* found = nullptr;
    ASSERT_TRUE(panel->FindControl("gallery.list", found));
    static_cast<CVeyListControl*>(found)->SelectRowRange(2, 4, true, true);
    EXPECT_EQ(trace.Text(), "");

    CBitmap picture;
    ASSERT_TRUE(picture.CreateBitmap(680, 626));
    CDC dc;
    dc.SelectObject(&picture);
    UL::CDrawInfo info(&dc, nullptr, nullptr);
    panel->Draw(info);
    ASSERT_TRUE(picture.SaveFile("control-gallery.png", "PNG"));
    // The same on a 200 % screen's bitmap, for a person to look at too.
    CBitmap twice;
    ASSERT_TRUE(twice.CreateBitmap(680, 626, 2));
    CDC twiceDc;
    twiceDc.SelectObject(&twice);
    panel->Draw(UL::CDrawInfo(&twiceDc, nullptr, nullptr));
    EXPECT_EQ(twice.GetPixelSize(), CSize(1360, 1252));
    ASSERT_TRUE(twice.SaveFile("control-gallery-200.png", "PNG"));

    // The text boxes carry their drop-down arrow at their right end, as the combo boxes do.
    for (const char* name : {"gallery.edit", "gallery.editDouble"})
    {
        ASSERT_TRUE(panel->FindControl(name, found)) << name;
        auto* edit = dynamic_cast<CVeyPopControl*>(found);
        ASSERT_NE(edit, nullptr) << name;
        EXPECT_EQ(edit->GetButtonRect().right, edit->GetRect().right) << name;
        EXPECT_LT(edit->GetTextRect().right, edit->GetButtonRect().left + 1) << name;
    }

    // Every control put something of its own over the background.
    CBitmap background;
    ASSERT_TRUE(background.LoadFile(folder.File("galleryBack.bmp").c_str()));
    size_t types = 0;
    std::vector<std::string> seen;
    for (const auto& control : panel->GetChildControls())
    {
        const CRect rect = control->GetRect();
        int differing = 0;
        for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, 626); ++y)
            for (int x = std::max(rect.left, 0); x < std::min(rect.right, 680); ++x)
                differing += (picture.GetRow(y)[x] & 0xFFFFFF) != (background.GetRow(y)[x] & 0xFFFFFF);
        EXPECT_GT(differing, 10) << control->GetFullName() << " draws nothing";
        const std::string& type = control->GetTypeName();
        if (std::find(seen.begin(), seen.end(), type) == seen.end())
            seen.push_back(type), ++types;
    }
    EXPECT_EQ(types, CVeyControlFactory::GetFrameworkTypes().size()) << "one of each framework type";
}
