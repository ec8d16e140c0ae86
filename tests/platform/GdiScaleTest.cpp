// Drawing on bitmaps of two device pixels per logical pixel, as on a 200 % screen: what is drawn
// in logical pixels covers whole device blocks, pictures of the same ratio are copied device pixel
// for device pixel, text has device detail, and pictures are read from their "@2x" twin.
#include "platform/Gdi.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace
{
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A memory device context over a bitmap of `ratio` device pixels per logical pixel.
struct CScaledCanvas
{
    CBitmap bitmap;
    CDC dc;
    CScaledCanvas(int width, int height, double ratio, COLORREF fill = kBlack)
    {
        EXPECT_TRUE(bitmap.CreateBitmap(width, height, ratio));
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(RECT{0, 0, width, height}, fill);
    }
    uint32_t Pixel(int x, int y) const { return bitmap.GetRow(y)[x]; }
};

// A bitmap whose every device pixel differs from its neighbours, so a copy that is not one to one
// shows.
void FillWithPattern(CBitmap& bitmap, uint32_t seed)
{
    const CSize size = bitmap.GetPixelSize();
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            bitmap.GetRow(y)[x] = 0xFF000000u | ((static_cast<uint32_t>(x * 37 + y * 101) + seed) * 2654435761u >> 8);
}

LOGFONT Font(int height)
{
    LOGFONT log;
    log.lfHeight = -height;
    std::strncpy(log.lfFaceName, kDefaultFontFace, LF_FACESIZE - 1);
    return log;
}
}

// Everything but text and slanted lines draws the same pixel set as at 100 %, each logical pixel a 2 x 2 block: the
// drawing at ratio 2 equals the drawing at ratio 1 with every pixel doubled.
TEST(GdiScale, LogicalDrawingCoversWholeDeviceBlocks)
{
    constexpr int kSize = 16;
    CBitmap source;   // a 100 % picture, drawn onto both
    source.CreateBitmap(kSize, kSize);
    FillWithPattern(source, 5);
    struct Case
    {
        const char* name;
        std::function<void(CDC&, CDC&)> draw;   // target, source context
    };
    const Case cases[] = {
        {"fills and frames", [](CDC& dc, CDC&) {
             dc.FillSolidRect(RECT{1, 2, 7, 5}, kRed);
             CBrush brush(kWhite);
             dc.FrameRect(RECT{3, 3, 12, 14}, &brush);
         }},
        {"pixels", [](CDC& dc, CDC&) {
             dc.SetPixel(0, 0, kRed);
             dc.SetPixel(15, 15, kWhite);
             dc.SetPixel(16, 3, kWhite);   // outside
         }},
        {"lines along the axes and a rectangle", [](CDC& dc, CDC&) {
             CPen pen(PS_SOLID, 1, kWhite);
             CBrush brush(kRed);
             dc.SelectObject(&pen);
             dc.SelectObject(&brush);
             dc.MoveTo(1, 1);
             dc.LineTo(14, 1);
             dc.LineTo(14, 12);
             dc.MoveTo(3, 12);
             dc.LineTo(3, 4);
             dc.Rectangle(RECT{8, 8, 15, 13});
         }},
        {"clip and viewport origin", [](CDC& dc, CDC&) {
             dc.IntersectClipRect(RECT{2, 2, 12, 12});
             dc.ExcludeClipRect(RECT{5, 5, 8, 8});
             dc.SetViewportOrg(1, 2);
             dc.FillSolidRect(RECT{0, 0, 16, 16}, kRed);
         }},
        {"coordinates far outside", [](CDC& dc, CDC& src) {
             dc.FillSolidRect(RECT{-2000000000, 3, 2000000000, 5}, kRed);
             dc.FillSolidRect(RECT{6, -2000000000, 8, 2000000000}, kWhite);
             dc.SetPixel(2000000000, 1, kWhite);
             dc.BitBlt(-2000000000, 9, 2100000000, 3, &src, 0, 0, SRCCOPY);
         }},
        // (A stretch by a factor that is not whole picks its source pixels at device resolution.)
        {"blits of a 100 % picture", [](CDC& dc, CDC& src) {
             dc.BitBlt(2, 3, 9, 7, &src, 4, 1, SRCCOPY);
             dc.StretchBlt(0, 10, 16, 4, &src, 0, 0, 8, 2, SRCINVERT);
             dc.TransparentBlt(10, 0, 6, 6, &src, 0, 0, 3, 3, kBlack);
             dc.AlphaBlend(5, 5, 6, 6, &src, 2, 2, 6, 6, BLENDFUNCTION{AC_SRC_OVER, 0, 128, 0});
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CScaledCanvas single(kSize, kSize, 1.0), twice(kSize, kSize, 2.0);
        CDC sourceDc;
        sourceDc.SelectObject(&source);
        c.draw(single.dc, sourceDc);
        c.draw(twice.dc, sourceDc);
        ASSERT_EQ(twice.bitmap.GetPixelSize(), CSize(2 * kSize, 2 * kSize));
        int differences = 0;
        for (int y = 0; y < 2 * kSize; ++y)
            for (int x = 0; x < 2 * kSize; ++x)
                differences += twice.Pixel(x, y) != single.Pixel(x / 2, y / 2);
        EXPECT_EQ(differences, 0);
        // Reading back is in logical pixels too.
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                ASSERT_EQ(twice.dc.GetPixel(x, y), single.dc.GetPixel(x, y)) << x << "," << y;
    }
}

// A slanted line of a one-pixel pen steps in device pixels, not in doubled logical pixels, and
// still covers its start and leaves out its end, along the line drawn at 100 %.
TEST(GdiScale, SlantedLinesStepInDevicePixels)
{
    CPen pen(PS_SOLID, 1, kWhite);
    for (const POINT end : {POINT{13, 6}, POINT{2, 14}, POINT{14, 14}})
    {
        SCOPED_TRACE(std::to_string(end.x) + "," + std::to_string(end.y));
        CScaledCanvas single(16, 16, 1.0), twice(16, 16, 2.0);
        for (CScaledCanvas* canvas : {&single, &twice})
        {
            canvas->dc.SelectObject(&pen);
            canvas->dc.MoveTo(7, 1);
            canvas->dc.LineTo(end.x, end.y);
        }
        int splitBlocks = 0, strayInk = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
            {
                if (twice.Pixel(x, y) == 0xFFFFFFFFu)
                {
                    // Near the 100 % line: within one logical pixel of one of its pixels.
                    bool near = false;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            near |= single.dc.GetPixel(x / 2 + dx, y / 2 + dy) == kWhite;
                    strayInk += !near;
                }
                if (x % 2 == 0 && y % 2 == 0)
                {
                    const uint32_t p = twice.Pixel(x, y);
                    splitBlocks += p != twice.Pixel(x + 1, y) || p != twice.Pixel(x, y + 1) || p != twice.Pixel(x + 1, y + 1);
                }
            }
        EXPECT_EQ(strayInk, 0);
        EXPECT_GT(splitBlocks, 3) << "steps of one device pixel";
        EXPECT_EQ(twice.dc.GetPixel(7, 1), kWhite) << "the start";
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                EXPECT_EQ(twice.Pixel(2 * end.x + x, 2 * end.y + y), 0xFF000000u) << "the end is left out";
    }
}

// A picture made for the ratio of the target is copied one to one: detail finer than a logical
// pixel (every device pixel differs here) survives plain, keyed, blended and masked copies, so an
// edge in the picture stays as hard as it was drawn.
TEST(GdiScale, APictureOfTheTargetsRatioIsCopiedDevicePixelForDevicePixel)
{
    CBitmap picture;
    ASSERT_TRUE(picture.CreateBitmap(10, 8, 2.0));
    FillWithPattern(picture, 11);
    CDC source;
    source.SelectObject(&picture);
    const std::function<void(CDC&)> copies[] = {
        [&](CDC& dc) { dc.BitBlt(3, 2, 6, 5, &source, 1, 1, SRCCOPY); },
        [&](CDC& dc) { dc.StretchBlt(3, 2, 6, 5, &source, 1, 1, 6, 5, SRCCOPY); },
        [&](CDC& dc) { dc.TransparentBlt(3, 2, 6, 5, &source, 1, 1, 6, 5, RGB(1, 2, 3)); },
        [&](CDC& dc) { dc.AlphaBlend(3, 2, 6, 5, &source, 1, 1, 6, 5, BLENDFUNCTION{AC_SRC_OVER, 0, 255, 0}); },
    };
    for (size_t i = 0; i < std::size(copies); ++i)
    {
        SCOPED_TRACE(i);
        CScaledCanvas target(12, 10, 2.0, kWhite);
        copies[i](target.dc);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x)
                ASSERT_EQ(target.Pixel(6 + x, 4 + y), picture.GetRow(2 + y)[2 + x]) << x << "," << y;
        EXPECT_EQ(target.Pixel(5, 4), 0xFFFFFFFFu) << "nothing outside the destination";
        EXPECT_EQ(target.Pixel(18, 14), 0xFFFFFFFFu);
    }
    // On a 100 % target the picture is reduced to one device pixel per logical pixel.
    CScaledCanvas single(12, 10, 1.0, kWhite);
    single.dc.BitBlt(3, 2, 6, 5, &source, 1, 1, SRCCOPY);
    EXPECT_EQ(single.Pixel(3, 2), picture.GetRow(2)[2]);
    EXPECT_EQ(single.Pixel(8, 6), picture.GetRow(10)[12]);
}

// Text has the detail of the device: the glyphs are not 100 % glyphs enlarged, while its extent
// and where it stands stay in logical pixels.
TEST(GdiScale, TextIsDrawnAtDeviceResolution)
{
    CFont font;
    const LOGFONT log = Font(12);
    font.CreateFontIndirect(&log);
    CScaledCanvas single(60, 20, 1.0), twice(60, 20, 2.0);
    for (CScaledCanvas* canvas : {&single, &twice})
    {
        canvas->dc.SelectObject(&font);
        canvas->dc.SetTextColor(kWhite);
        canvas->dc.SetBkMode(TRANSPARENT);
        canvas->dc.TextOut(4, 3, "Wavy 8");
    }
    EXPECT_EQ(twice.dc.GetTextExtent("Wavy 8"), single.dc.GetTextExtent("Wavy 8"));
    int splitBlocks = 0;
    CRect ink(1000, 1000, -1, -1), singleInk(1000, 1000, -1, -1);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
        {
            if (twice.Pixel(x, y) != 0xFF000000u)
                ink.SetRect(std::min<int>(ink.left, x / 2), std::min<int>(ink.top, y / 2), std::max<int>(ink.right, x / 2 + 1),
                            std::max<int>(ink.bottom, y / 2 + 1));
            if (x % 2 == 0 && y % 2 == 0)
            {
                const uint32_t p = twice.Pixel(x, y);
                splitBlocks += p != twice.Pixel(x + 1, y) || p != twice.Pixel(x, y + 1) || p != twice.Pixel(x + 1, y + 1);
                if (single.Pixel(x / 2, y / 2) != 0xFF000000u)
                    singleInk.SetRect(std::min<int>(singleInk.left, x / 2), std::min<int>(singleInk.top, y / 2),
                                      std::max<int>(singleInk.right, x / 2 + 1), std::max<int>(singleInk.bottom, y / 2 + 1));
            }
        }
    EXPECT_GT(splitBlocks, 10) << "glyph edges fall inside logical pixels";
    // Hinting may move an edge by a pixel, not more.
    EXPECT_LE(std::abs(ink.left - singleInk.left), 1);
    EXPECT_LE(std::abs(ink.top - singleInk.top), 1);
    EXPECT_LE(std::abs(ink.right - singleInk.right), 1);
    EXPECT_LE(std::abs(ink.bottom - singleInk.bottom), 1);
}

TEST(GdiScale, CompatibleBitmapsTakeTheRatioOfTheirContext)
{
    CScaledCanvas screen(20, 20, 2.0);
    CDC memory, plain;
    memory.CreateCompatibleDC(&screen.dc);
    plain.CreateCompatibleDC(nullptr);
    EXPECT_EQ(memory.GetDevicePixelRatio(), 2.0);
    EXPECT_EQ(plain.GetDevicePixelRatio(), 1.0);
    CBitmap buffer;
    ASSERT_TRUE(buffer.CreateCompatibleBitmap(&memory, 10, 7));
    EXPECT_EQ(buffer.GetSize(), CSize(10, 7));
    EXPECT_EQ(buffer.GetPixelSize(), CSize(20, 14));
    CBitmap copy;
    ASSERT_TRUE(copy.CopyFrom(buffer));
    EXPECT_EQ(copy.GetDevicePixelRatio(), 2.0);
    CBitmap refused;
    EXPECT_FALSE(refused.CreateBitmap(10, 10, 0.5));
    EXPECT_FALSE(refused.CreateBitmap(10, 10, 0.0 / 0.0));
    EXPECT_FALSE(refused.CreateBitmap(10000, 10, 2.0)) << "too many device pixels";
}

// A picture is read from its twin only on a scaled screen, and only when the twin is exactly
// twice its size: frames and offsets are counted in the picture's own pixels.
TEST(GdiScale, PicturesComeFromTheirTwinOnAScaledScreen)
{
    EXPECT_EQ(GetDoubleScalePicturePath("dir/knob.png"), "dir/knob@2x.png");
    EXPECT_EQ(GetDoubleScalePicturePath("dir.v2/knob"), "dir.v2/knob@2x");
    EXPECT_EQ(GetDoubleScalePicturePath("a.b.bmp"), "a.b@2x.bmp");

    CTempDir folder;
    const auto write = [&folder](const std::string& name, int w, int h, COLORREF colour) {
        CScaledCanvas canvas(w, h, 1.0, colour);
        ASSERT_TRUE(canvas.bitmap.SaveFile(folder.File(name).c_str(), "PNG"));
    };
    write("knob.png", 3, 2, kRed);
    write("knob@2x.png", 6, 4, kBlue);
    write("lone.png", 3, 2, kRed);
    write("odd.png", 3, 2, kRed);
    write("odd@2x.png", 5, 4, kBlue);
    struct Case
    {
        const char* file;
        double ratio;
        COLORREF colour;
        double loadedRatio;
    };
    const Case cases[] = {
        {"knob.png", 1.0, kRed, 1.0},  {"knob.png", 2.0, kBlue, 2.0}, {"knob.png", 1.5, kBlue, 2.0},
        {"lone.png", 2.0, kRed, 1.0},  {"odd.png", 2.0, kRed, 1.0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.ratio));
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadPicture(folder.File(c.file).c_str(), c.ratio));
        EXPECT_EQ(bitmap.GetSize(), CSize(3, 2));
        EXPECT_EQ(bitmap.GetDevicePixelRatio(), c.loadedRatio);
        CDC dc;
        dc.SelectObject(&bitmap);
        EXPECT_EQ(dc.GetPixel(2, 1), c.colour);
    }
    CBitmap missing;
    EXPECT_FALSE(missing.LoadPicture(folder.File("none.png").c_str(), 2.0));
}
