#include "platform/Gdi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

// A memory device context over a small bitmap filled with one colour.
struct CCanvas
{
    CBitmap bitmap;
    CDC dc;
    CCanvas(int width, int height, COLORREF fill = kBlack)
    {
        bitmap.CreateBitmap(width, height);
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(RECT{0, 0, width, height}, fill);
    }
    // The pixels as rows of characters: '#' for `ink`, '.' for anything else.
    std::string Picture(COLORREF ink) const
    {
        std::string out;
        const CSize size = bitmap.GetSize();
        for (int y = 0; y < size.cy; ++y)
        {
            for (int x = 0; x < size.cx; ++x)
                out += dc.GetPixel(x, y) == ink ? '#' : '.';
            out += '\n';
        }
        return out;
    }
    // The bounding box of the pixels that differ from `background`.
    CRect InkBox(COLORREF background) const
    {
        CRect box(1 << 20, 1 << 20, -1, -1);
        const CSize size = bitmap.GetSize();
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x)
                if (dc.GetPixel(x, y) != background)
                    box.SetRect(std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1));
        return box.right < 0 ? CRect() : box;
    }
};

LOGFONT Font(int height, int escapement = 0)
{
    LOGFONT log;
    log.lfHeight = -height;
    log.lfEscapement = escapement;
    std::strncpy(log.lfFaceName, kDefaultFontFace, LF_FACESIZE - 1);
    return log;
}
}

TEST(Gdi, LinesLeaveOutTheirLastPixel)
{
    struct Case
    {
        const char* name;
        POINT from, to;
        const char* picture;
    };
    const Case cases[] = {
        {"horizontal", {1, 1}, {5, 1}, "......\n.####.\n......\n......\n"},
        {"vertical up", {4, 3}, {4, 0}, "......\n....#.\n....#.\n....#.\n"},
        {"diagonal", {0, 0}, {3, 3}, "#.....\n.#....\n..#...\n......\n"},
        {"a point", {2, 2}, {2, 2}, "......\n......\n......\n......\n"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CCanvas canvas(6, 4);
        CPen pen(PS_SOLID, 1, kWhite);
        canvas.dc.SelectObject(&pen);
        canvas.dc.MoveTo(c.from.x, c.from.y);
        canvas.dc.LineTo(c.to.x, c.to.y);
        EXPECT_EQ(canvas.Picture(kWhite), c.picture);
        EXPECT_EQ(canvas.dc.GetCurrentPosition(), CPoint(c.to));
    }
}

TEST(Gdi, PolylineJoinsSegmentsAndPolygonFillsAndOutlines)
{
    CCanvas line(5, 4);
    CPen pen(PS_SOLID, 1, kWhite);
    line.dc.SelectObject(&pen);
    const POINT path[] = {{0, 0}, {4, 0}, {4, 3}};
    line.dc.Polyline(path, 3);
    EXPECT_EQ(line.Picture(kWhite), "#####\n....#\n....#\n.....\n");

    CCanvas shape(6, 6);
    CBrush brush(kRed);
    CPen outline(PS_SOLID, 1, kWhite);
    shape.dc.SelectObject(&brush);
    shape.dc.SelectObject(&outline);
    const POINT square[] = {{1, 1}, {4, 1}, {4, 4}, {1, 4}};
    shape.dc.Polygon(square, 4);
    EXPECT_EQ(shape.Picture(kWhite), "......\n.####.\n.#..#.\n.#..#.\n.####.\n......\n");
    EXPECT_EQ(shape.dc.GetPixel(2, 2), kRed);
    EXPECT_EQ(shape.dc.GetPixel(3, 3), kRed);
}

TEST(Gdi, FillRectHonoursClipAndRestoreDC)
{
    CCanvas canvas(6, 3);
    const int saved = canvas.dc.SaveDC();
    EXPECT_EQ(canvas.dc.IntersectClipRect(RECT{2, 0, 4, 3}), SIMPLEREGION);
    canvas.dc.FillSolidRect(RECT{0, 0, 6, 2}, kWhite);
    EXPECT_FALSE(canvas.dc.RectVisible(RECT{4, 0, 6, 3}));
    canvas.dc.ExcludeClipRect(RECT{2, 2, 3, 3});
    RECT box;
    EXPECT_EQ(canvas.dc.GetClipBox(&box), COMPLEXREGION);
    EXPECT_TRUE(canvas.dc.RestoreDC(saved));
    canvas.dc.FillSolidRect(RECT{0, 2, 1, 3}, kWhite);
    EXPECT_EQ(canvas.Picture(kWhite), "..##..\n..##..\n#.....\n");
    EXPECT_TRUE(canvas.dc.RectVisible(RECT{4, 0, 6, 3}));
}

TEST(Gdi, MaskedDrawingGivesTransparencyWhereTheMaskIsWhite)
{
    // Image and mask side by side: the mask is white where the background should show.
    CCanvas source(4, 1);
    source.dc.SetPixel(0, 0, kRed);      // image: red, black
    source.dc.SetPixel(1, 0, kBlack);
    source.dc.SetPixel(2, 0, kBlack);    // mask: opaque, transparent
    source.dc.SetPixel(3, 0, kWhite);
    CCanvas target(2, 1, RGB(0, 0, 255));
    target.dc.BitBlt(0, 0, 2, 1, &source.dc, 2, 0, SRCAND);
    target.dc.BitBlt(0, 0, 2, 1, &source.dc, 0, 0, SRCPAINT);
    EXPECT_EQ(target.dc.GetPixel(0, 0), kRed);
    EXPECT_EQ(target.dc.GetPixel(1, 0), RGB(0, 0, 255));
}

TEST(Gdi, TransparentBltSkipsTheColourKeyAndStretches)
{
    CCanvas source(2, 1, RGB(255, 0, 255));
    source.dc.SetPixel(1, 0, kWhite);
    CCanvas target(4, 1);
    EXPECT_TRUE(target.dc.TransparentBlt(0, 0, 4, 1, &source.dc, 0, 0, 2, 1, RGB(255, 0, 255)));
    EXPECT_EQ(target.Picture(kWhite), "..##\n");
}

TEST(Gdi, AlphaBlendUsesPremultipliedSourceAlpha)
{
    CBitmap dib;
    ASSERT_TRUE(dib.CreateDIBSection(3, 1));
    uint32_t* row = dib.GetRow(0);
    row[0] = 0x80808080u;   // white at half alpha, premultiplied
    row[1] = 0x00000000u;   // fully transparent
    row[2] = 0xFF00FF00u;   // opaque green
    CDC source;
    source.SelectObject(&dib);
    CCanvas target(3, 1, RGB(0, 0, 200));
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_TRUE(target.dc.AlphaBlend(0, 0, 3, 1, &source, 0, 0, 3, 1, blend));
    EXPECT_EQ(target.dc.GetPixel(0, 0), RGB(128, 128, 128 + 200 * 127 / 255));
    EXPECT_EQ(target.dc.GetPixel(1, 0), RGB(0, 0, 200));
    EXPECT_EQ(target.dc.GetPixel(2, 0), RGB(0, 255, 0));
}

TEST(Gdi, BlitsReadOutsideTheSourceAsNothing)
{
    CCanvas source(2, 2, kWhite);
    CCanvas target(4, 4);
    EXPECT_TRUE(target.dc.BitBlt(-1, -1, 6, 6, &source.dc, -1, -1, SRCCOPY));
    EXPECT_EQ(target.Picture(kWhite), "##..\n##..\n....\n....\n");
    CDC empty;
    EXPECT_FALSE(target.dc.BitBlt(0, 0, 2, 2, &empty, 0, 0, SRCCOPY));
}

TEST(Gdi, TextOutPlacesTheReferencePointByAlignment)
{
    CFont font;
    LOGFONT log = Font(12);
    font.CreateFontIndirect(&log);
    struct Case
    {
        const char* name;
        UINT align;
        int x;
    };
    const Case cases[] = {{"left", TA_LEFT, 10}, {"right", TA_RIGHT, 90}, {"center", TA_CENTER, 50}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CCanvas canvas(100, 30);
        canvas.dc.SelectObject(&font);
        canvas.dc.SetTextColor(kWhite);
        canvas.dc.SetBkMode(TRANSPARENT);
        canvas.dc.SetTextAlign(c.align);
        const CSize extent = canvas.dc.GetTextExtent("Hello");
        canvas.dc.TextOut(c.x, 5, "Hello");
        const CRect ink = canvas.InkBox(kBlack);
        ASSERT_FALSE(ink.IsRectEmpty());
        const int expectedLeft = c.align == TA_LEFT ? c.x : c.align == TA_RIGHT ? c.x - extent.cx : c.x - extent.cx / 2;
        EXPECT_NEAR(ink.left, expectedLeft, 2);
        EXPECT_LE(ink.right, expectedLeft + extent.cx + 1);
        EXPECT_GE(ink.top, 5);
        EXPECT_LE(ink.bottom, 5 + extent.cy);
    }
}

TEST(Gdi, EscapementOf900DrawsUpward)
{
    CFont font;
    LOGFONT log = Font(12, 900);
    font.CreateFontIndirect(&log);
    CCanvas canvas(30, 100);
    canvas.dc.SelectObject(&font);
    canvas.dc.SetTextColor(kWhite);
    canvas.dc.SetBkMode(TRANSPARENT);
    canvas.dc.TextOut(5, 90, "Hello");
    const CRect ink = canvas.InkBox(kBlack);
    EXPECT_GT(ink.Height(), 2 * ink.Width());
    EXPECT_LE(ink.bottom, 91);
    EXPECT_GE(ink.left, 5);
}

TEST(Gdi, DrawTextAlignsAndEndsTooLongTextWithAnEllipsis)
{
    CFont font;
    LOGFONT log = Font(12);
    font.CreateFontIndirect(&log);
    CCanvas canvas(60, 20);
    canvas.dc.SelectObject(&font);
    canvas.dc.SetTextColor(kWhite);
    canvas.dc.SetBkMode(TRANSPARENT);
    RECT rect{0, 0, 60, 20};
    canvas.dc.DrawText("A rather long text", &rect, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX | DT_VCENTER);

    // The same picture as the longest start that fits, followed by "...".
    std::string expected = "A rather long text";
    while (!expected.empty() && canvas.dc.GetTextExtent(expected + "...").cx > 60)
        expected.pop_back();
    CCanvas reference(60, 20);
    reference.dc.SelectObject(&font);
    reference.dc.SetTextColor(kWhite);
    reference.dc.SetBkMode(TRANSPARENT);
    RECT same{0, 0, 60, 20};
    reference.dc.DrawText(expected + "...", &same, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    EXPECT_EQ(canvas.Picture(kWhite), reference.Picture(kWhite));
    EXPECT_LT(expected.size(), 18u);

    CCanvas right(60, 20);
    right.dc.SelectObject(&font);
    right.dc.SetTextColor(kWhite);
    right.dc.SetBkMode(TRANSPARENT);
    RECT box{0, 0, 60, 20};
    right.dc.DrawText("ab", &box, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    const CRect ink = right.InkBox(kBlack);
    EXPECT_GE(ink.left, 60 - right.dc.GetTextExtent("ab").cx);
    EXPECT_GE(ink.top, 20 - right.dc.GetTextExtent("ab").cy);
}

TEST(Gdi, OpaqueTextFillsItsCellWithTheBackground)
{
    CCanvas canvas(40, 20);
    canvas.dc.SetBkColor(kRed);
    canvas.dc.SetBkMode(OPAQUE);
    canvas.dc.TextOut(0, 0, "x");
    const CSize extent = canvas.dc.GetTextExtent("x");
    EXPECT_EQ(canvas.dc.GetPixel(extent.cx - 1, 0), kRed);
    EXPECT_EQ(canvas.dc.GetPixel(extent.cx + 1, 0), kBlack);
}

// Blits against a pixel-by-pixel model of what they must do: each destination pixel inside the
// clip takes the nearest source pixel, when there is one, through the raster operation. The cases
// cover a clip of several rectangles, a viewport origin, a copy within one bitmap that overlaps
// itself, sources partly outside, and stretching.
TEST(Gdi, BlitsMatchAPixelByPixelModel)
{
    constexpr int kSize = 24;
    const auto pattern = [](int x, int y, uint32_t seed) {
        return 0xFF000000u | ((static_cast<uint32_t>(x * 37 + y * 101) + seed) * 2654435761u >> 8);
    };
    const auto apply = [](uint32_t src, uint32_t dst, DWORD rop) -> uint32_t {
        switch (rop)
        {
        case SRCAND: return src & dst;
        case SRCPAINT: return src | dst;
        case SRCINVERT: return (src ^ dst) | 0xFF000000u;
        default: return src;
        }
    };
    enum class EClip
    {
        kNone,
        kHalf,           // the left half: one rectangle
        kHalfWithHole,   // the left half, less a hole in its middle: several rectangles
    };
    struct Case
    {
        const char* name;
        int x, y, w, h, sx, sy, sw, sh;
        DWORD rop;
        EClip clip;
        bool sameBitmap;   // source and target are one bitmap
        int originX;       // viewport origin of the target (x and y alike)
    };
    const Case cases[] = {
        {"plain copy", 3, 4, 10, 8, 2, 1, 10, 8, SRCCOPY, EClip::kNone, false, 0},
        {"copy through a clip of several rectangles", 0, 0, 20, 20, 1, 1, 20, 20, SRCCOPY, EClip::kHalfWithHole, false, 0},
        {"copy through a clip of one rectangle", 0, 0, 20, 20, 1, 1, 20, 20, SRCCOPY, EClip::kHalf, false, 0},
        {"each raster operation", 2, 2, 12, 9, 0, 5, 12, 9, SRCAND, EClip::kHalfWithHole, false, 0},
        {"or", 2, 2, 12, 9, 0, 5, 12, 9, SRCPAINT, EClip::kHalf, false, 0},
        {"xor", 2, 2, 12, 9, 0, 5, 12, 9, SRCINVERT, EClip::kHalfWithHole, false, 0},
        {"source partly outside on every side", -3, -2, 30, 30, -5, -4, 30, 30, SRCCOPY, EClip::kNone, false, 0},
        {"source partly outside, one clip rectangle", -3, -2, 30, 30, -5, -4, 30, 30, SRCCOPY, EClip::kHalf, false, 0},
        {"destination partly outside", 15, 18, 20, 20, 0, 0, 20, 20, SRCCOPY, EClip::kHalfWithHole, false, 0},
        {"source ends inside the destination", 2, 3, 18, 19, 10, 9, 18, 19, SRCCOPY, EClip::kNone, false, 0},
        {"overlapping copy within one bitmap", 2, 3, 16, 16, 0, 0, 16, 16, SRCCOPY, EClip::kNone, true, 0},
        {"overlapping copy backwards", 0, 0, 16, 16, 3, 2, 16, 16, SRCCOPY, EClip::kHalfWithHole, true, 0},
        {"viewport origin", 1, 1, 10, 10, 4, 4, 10, 10, SRCCOPY, EClip::kHalfWithHole, false, 5},
        {"viewport origin, one clip rectangle", 1, 1, 10, 10, 4, 4, 10, 10, SRCCOPY, EClip::kHalf, false, 5},
        {"stretched up", 1, 2, 20, 15, 3, 3, 7, 5, SRCCOPY, EClip::kHalfWithHole, false, 0},
        {"stretched down with a raster operation", 0, 0, 9, 7, 0, 0, 23, 20, SRCINVERT, EClip::kNone, false, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CBitmap targetBitmap, sourceBitmap;
        targetBitmap.CreateBitmap(kSize, kSize);
        sourceBitmap.CreateBitmap(kSize, kSize);
        uint32_t before[kSize][kSize], source[kSize][kSize];
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
            {
                targetBitmap.GetRow(y)[x] = before[y][x] = pattern(x, y, 7);
                sourceBitmap.GetRow(y)[x] = source[y][x] = c.sameBitmap ? before[y][x] : pattern(x, y, 99);
            }
        CDC target, other;
        target.SelectObject(&targetBitmap);
        other.SelectObject(&sourceBitmap);
        CDC* from = c.sameBitmap ? &target : &other;
        if (c.clip != EClip::kNone)
            target.IntersectClipRect(RECT{0, 0, kSize / 2, kSize});
        if (c.clip == EClip::kHalfWithHole)
            target.ExcludeClipRect(RECT{4, 8, 8, 12});
        target.SetViewportOrg(c.originX, c.originX);
        if (c.w == c.sw && c.h == c.sh)
            EXPECT_TRUE(target.BitBlt(c.x, c.y, c.w, c.h, from, c.sx, c.sy, c.rop));
        else
            EXPECT_TRUE(target.StretchBlt(c.x, c.y, c.w, c.h, from, c.sx, c.sy, c.sw, c.sh, c.rop));

        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
            {
                uint32_t expected = before[y][x];
                const bool inHole = x >= 4 && x < 8 && y >= 8 && y < 12;
                const bool inClip = c.clip == EClip::kNone ||
                                    (x < kSize / 2 && !(c.clip == EClip::kHalfWithHole && inHole));
                const int dx = x - c.originX - c.x, dy = y - c.originX - c.y;
                if (inClip && dx >= 0 && dx < c.w && dy >= 0 && dy < c.h)
                {
                    // The source bitmap of the case has no viewport origin of its own.
                    const int ix = c.sx + static_cast<int>(static_cast<int64_t>(dx) * c.sw / c.w);
                    const int iy = c.sy + static_cast<int>(static_cast<int64_t>(dy) * c.sh / c.h);
                    if (ix >= 0 && iy >= 0 && ix < kSize && iy < kSize)
                        expected = apply(source[iy][ix], before[y][x], c.rop);
                }
                ASSERT_EQ(targetBitmap.GetRow(y)[x], expected) << "at " << x << "," << y;
            }
    }
}
