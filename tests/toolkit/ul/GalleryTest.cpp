// Renders one sample of every drawing primitive and picture kind into gallery.png in the test's
// build folder, for a person to look at; a few probes check that each sample landed.
#include "toolkit/ul/Picture.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
constexpr COLORREF kGrey = RGB(64, 64, 64);

void Label(CDC& dc, int x, int y, const char* text)
{
    dc.SetTextColor(RGB(255, 255, 255));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.SelectObject(GetDefaultGuiFont());
    dc.TextOut(x, y, text);
}

// A 4-state strip, horizontal, with a mask row: a coloured disc-ish square per state.
void MakeStrip(CBitmap& bitmap)
{
    bitmap.CreateBitmap(64, 32);
    CDC dc;
    dc.SelectObject(&bitmap);
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 128, 255), RGB(255, 255, 0)};
    for (int s = 0; s < 4; ++s)
    {
        dc.FillSolidRect(RECT{s * 16 + 3, 3, s * 16 + 13, 13}, colours[s]);
        dc.FillSolidRect(RECT{s * 16, 16, s * 16 + 16, 32}, RGB(255, 255, 255));
        dc.FillSolidRect(RECT{s * 16 + 3, 19, s * 16 + 13, 29}, RGB(0, 0, 0));
    }
}
}

TEST(Gallery, EveryPrimitiveAndPictureKind)
{
    CBitmap canvas;
    ASSERT_TRUE(canvas.CreateBitmap(420, 260));
    CDC dc;
    dc.SelectObject(&canvas);
    dc.FillSolidRect(RECT{0, 0, 420, 260}, kGrey);

    // Row 1: fills, lines, polyline, polygon, wide pen.
    Label(dc, 5, 2, "FillRect");
    dc.FillSolidRect(RECT{5, 18, 55, 58}, RGB(200, 40, 40));
    Label(dc, 65, 2, "LineTo");
    CPen white(PS_SOLID, 1, RGB(255, 255, 255));
    dc.SelectObject(&white);
    for (int i = 0; i < 5; ++i)
    {
        dc.MoveTo(65, 18 + i * 10);
        dc.LineTo(115, 58 - i * 10);
    }
    Label(dc, 125, 2, "Polyline");
    const POINT zigzag[] = {{125, 58}, {137, 18}, {149, 58}, {161, 18}, {173, 58}};
    CPen wide(PS_SOLID, 3, RGB(255, 200, 0));
    dc.SelectObject(&wide);
    dc.Polyline(zigzag, 5);
    Label(dc, 185, 2, "Polygon");
    CBrush green(RGB(40, 180, 80));
    CPen outline(PS_SOLID, 1, RGB(255, 255, 255));
    dc.SelectObject(&green);
    dc.SelectObject(&outline);
    const POINT star[] = {{210, 18}, {220, 55}, {188, 32}, {232, 32}, {200, 55}};
    dc.Polygon(star, 5);

    // Row 2: text.
    LOGFONT log;
    log.lfHeight = -14;
    std::strncpy(log.lfFaceName, kDefaultFontFace, LF_FACESIZE - 1);
    CFont font;
    font.CreateFontIndirect(&log);
    dc.SelectObject(&font);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetBkColor(RGB(255, 255, 200));
    dc.SetBkMode(OPAQUE);
    dc.TextOut(5, 75, "Opaque TextOut");
    RECT box{5, 100, 125, 120};
    dc.FillSolidRect(box, RGB(30, 30, 90));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    dc.DrawText("A text that is far too long", &box, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    RECT right{5, 125, 125, 145};
    dc.FillSolidRect(right, RGB(30, 30, 90));
    dc.DrawText("right", &right, DT_SINGLELINE | DT_RIGHT | DT_VCENTER);
    LOGFONT vertical = log;
    vertical.lfEscapement = 900;
    CFont up;
    up.CreateFontIndirect(&vertical);
    dc.SelectObject(&up);
    dc.TextOut(135, 145, "Vertical");
    dc.SelectObject(&font);

    // Row 2, right: blits.
    CBitmap strip;
    MakeStrip(strip);
    CDC source;
    source.SelectObject(&strip);
    Label(dc, 170, 75, "BitBlt");
    dc.BitBlt(170, 92, 64, 32, &source, 0, 0, SRCCOPY);
    Label(dc, 245, 75, "Transparent");
    dc.TransparentBlt(245, 92, 64, 16, &source, 0, 0, 64, 16, RGB(0, 0, 0));
    Label(dc, 320, 75, "Stretch");
    dc.StretchBlt(320, 92, 96, 24, &source, 0, 0, 64, 16, SRCCOPY);

    CBitmap glass;
    glass.CreateDIBSection(40, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
        {
            const uint32_t a = static_cast<uint32_t>(x * 255 / 39);
            glass.GetRow(y)[x] = (a << 24) | (a << 16) | (a << 8) | a;   // white fading in
        }
    CDC glassDC;
    glassDC.SelectObject(&glass);
    Label(dc, 170, 130, "AlphaBlend");
    dc.FillSolidRect(RECT{170, 147, 210, 167}, RGB(0, 0, 160));
    dc.AlphaBlend(170, 147, 40, 20, &glassDC, 0, 0, 40, 20, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});

    // Row 3: pictures: state frames through masks, stretched and resized pictures.
    CTempDir dir;
    ASSERT_TRUE(strip.SaveFile(dir.File("strip.bmp").c_str(), "BMP"));
    UL::CStatePicture states;
    ASSERT_TRUE(states.GetPicture().Load(dir.File("strip.bmp")));
    states.SetStateCount(4);
    states.SetHorizontal(true);
    states.SetMasks(true);
    Label(dc, 5, 180, "States (masked)");
    dc.FillSolidRect(RECT{5, 197, 85, 217}, RGB(120, 60, 160));
    for (int s = 0; s < 4; ++s)
        states.DrawState(&dc, CPoint(5 + s * 20, 199), s);
    UL::CPicture picture(true);
    ASSERT_TRUE(picture.Load(dir.File("strip.bmp")));
    Label(dc, 120, 180, "Stretched");
    picture.DrawStretched(&dc, CPoint(120, 197), CSize(96, 48), CPoint(0, 0), CSize(32, 16));
    Label(dc, 230, 180, "Resized");
    ASSERT_TRUE(picture.Resize(CSize(128, 40), true));
    picture.Draw(&dc, CPoint(230, 197), CSize(0, 0), CPoint(0, 0));

    ASSERT_TRUE(canvas.SaveFile("gallery.png", "PNG"));

    EXPECT_EQ(dc.GetPixel(30, 40), RGB(200, 40, 40));
    EXPECT_EQ(dc.GetPixel(210, 27), RGB(40, 180, 80));   // a point of the star
    EXPECT_EQ(dc.GetPixel(210, 38), kGrey);              // the alternate rule leaves the middle open
    EXPECT_EQ(dc.GetPixel(5 + 20 * 2 + 8, 199 + 8), RGB(0, 128, 255));   // state 2's square
    EXPECT_EQ(dc.GetPixel(5 + 20 * 2 + 1, 199 + 1), RGB(120, 60, 160));   // masked out
    EXPECT_EQ(dc.GetPixel(245 + 1, 92 + 1), kGrey);                      // colour key
    EXPECT_EQ(picture.GetSize(), CSize(80, 40));
}
