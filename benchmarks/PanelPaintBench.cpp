// Repainting a panel of 500 knobs: the panel's background and every knob's current frame drawn
// from its bitmap strip through the device context, as the knob controls do, against Qt drawing
// the same frames with drawImage onto an image of the same format. Both produce the same pixels;
// the benchmark checks that before it measures.
#include "benchmarks/support/PairedRounds.h"
#include "platform/Gdi.h"
#include "toolkit/ul/Picture.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace
{
constexpr int kColumns = 25;
constexpr int kRows = 20;
constexpr int kKnob = 32;
constexpr int kStates = 64;
constexpr int kPitch = 40;
constexpr int kWidth = kColumns * kPitch;
constexpr int kHeight = kRows * kPitch;
constexpr uint32_t kBackground = 0xFF403830u;   // RGB(40h, 38h, 30h) as a pixel

// An opaque frame strip as a knob bitmap read from a file is: every frame a different picture.
uint32_t StripPixel(int x, int y)
{
    return 0xFF000000u | static_cast<uint32_t>((x * 7 + y * 3) & 0xFF) << 16 |
           static_cast<uint32_t>((y / kKnob) * 4 & 0xFF) << 8 | static_cast<uint32_t>((x ^ y) & 0xFF);
}

int StateOf(int knob)
{
    return (knob * 13) % kStates;
}

CPoint PositionOf(int knob)
{
    return CPoint((knob % kColumns) * kPitch + 4, (knob / kColumns) * kPitch + 4);
}

struct COurPanel
{
    COurPanel()
    {
        CBitmap& strip = static_cast<UL::CPicture&>(knob.GetPicture()).GetBitmap();
        strip.CreateBitmap(kKnob, kKnob * kStates);
        for (int y = 0; y < kKnob * kStates; ++y)
            for (int x = 0; x < kKnob; ++x)
                strip.GetRow(y)[x] = StripPixel(x, y);
        knob.SetStateCount(kStates);
        window.CreateBitmap(kWidth, kHeight);
        dc.SelectObject(&window);
    }
    bool Paint()
    {
        dc.FillSolidRect(RECT{0, 0, kWidth, kHeight}, RGB(0x40, 0x38, 0x30));
        bool ok = true;
        for (int i = 0; i < kColumns * kRows; ++i)
            ok = knob.DrawState(&dc, PositionOf(i), StateOf(i)) && ok;
        return ok;
    }

    UL::CStatePicture knob;
    CBitmap window;
    CDC dc;
};

struct CQtPanel
{
    CQtPanel()
        : strip(kKnob, kKnob * kStates, QImage::Format_ARGB32_Premultiplied),
          window(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied)
    {
        for (int y = 0; y < strip.height(); ++y)
            for (int x = 0; x < kKnob; ++x)
                reinterpret_cast<uint32_t*>(strip.scanLine(y))[x] = StripPixel(x, y);
    }
    bool Paint()
    {
        QPainter painter(&window);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(window.rect(), QColor::fromRgba(kBackground));
        for (int i = 0; i < kColumns * kRows; ++i)
        {
            const CPoint at = PositionOf(i);
            painter.drawImage(at.x, at.y, strip, 0, StateOf(i) * kKnob, kKnob, kKnob);
        }
        return true;
    }

    QImage strip;
    QImage window;
};

bool SamePixels(COurPanel& ours, CQtPanel& qt)
{
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (ours.window.GetRow(y)[x] != reinterpret_cast<const uint32_t*>(qt.window.constScanLine(y))[x])
                return false;
    return true;
}

void RepaintPanelOf500Knobs(benchmark::State& state)
{
    COurPanel ours;
    CQtPanel qt;
    if (!ours.Paint() || !qt.Paint() || !SamePixels(ours, qt))
    {
        state.SkipWithError("the two panels differ");
        return;
    }
    Bench::RunPairedRounds(
        state, 2.0, [&] { return Bench::Timed(Bench::EClock::kProcess, [&] { return ours.Paint(); }); },
        [&] { return Bench::Timed(Bench::EClock::kProcess, [&] { return qt.Paint(); }); });
}
BENCHMARK(RepaintPanelOf500Knobs)->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);
}
