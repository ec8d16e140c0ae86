#include "toolkit/ul/Picture.h"

#include "tests/support/SaveFault.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

namespace
{
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

struct CCanvas
{
    CBitmap bitmap;
    CDC dc;
    CCanvas(int width, int height, COLORREF fill = kBlack)
    {
        bitmap.CreateBitmap(width, height);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(RECT{0, 0, width, height}, fill);
    }
};

// A bitmap whose pixel (x, y) has the colour RGB(x, y, 7), written to a file and loaded.
void MakeGradient(UL::CPicture& picture, int width, int height, const std::string& path)
{
    CCanvas canvas(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            canvas.dc.SetPixel(x, y, RGB(x, y, 7));
    ASSERT_TRUE(canvas.bitmap.SaveFile(path.c_str(), "PNG"));
    ASSERT_TRUE(picture.Load(path));
}
}

TEST(Picture, LoadPremultipliesAlphaByIntegerDivision)
{
    CTempDir dir;
    CBitmap straight;
    ASSERT_TRUE(straight.CreateDIBSection(3, 1));
    uint32_t* row = straight.GetRow(0);
    row[0] = 0x00FFFFFFu;   // fully transparent white
    row[1] = 0x80FFFFFFu;   // white at alpha 128
    row[2] = 0xFF204060u;   // opaque
    ASSERT_TRUE(straight.SaveFile(dir.File("alpha.png").c_str(), "PNG", true));
    UL::CPicture picture(true);
    ASSERT_TRUE(picture.Load(dir.File("alpha.png")));
    EXPECT_TRUE(picture.HasAlpha());
    const uint32_t* loaded = picture.GetBitmap().GetRow(0);
    EXPECT_EQ(loaded[0], 0x00000000u);
    EXPECT_EQ(loaded[1], 0x80808080u);
    EXPECT_EQ(loaded[2], 0xFF204060u);

    // Drawn with alpha: the half-transparent white lies over what is there.
    CCanvas canvas(3, 1, RGB(0, 0, 100));
    EXPECT_TRUE(picture.Draw(&canvas.dc, CPoint(0, 0), CSize(0, 0), CPoint(0, 0)));
    EXPECT_EQ(canvas.dc.GetPixel(0, 0), RGB(0, 0, 100));
    EXPECT_EQ(canvas.dc.GetPixel(1, 0), RGB(128, 128, 128 + 100 * 127 / 255));
    EXPECT_EQ(canvas.dc.GetPixel(2, 0), RGB(0x20, 0x40, 0x60));
}

TEST(Picture, LoadAndSaveFailures)
{
    CTempDir dir;
    UL::CPicture picture(true);
    EXPECT_FALSE(picture.Load(dir.File("missing.bmp")));
    ASSERT_TRUE(WriteFileBytes(dir.File("junk.bmp"), "BM not really a bitmap"));
    EXPECT_FALSE(picture.Load(dir.File("junk.bmp")));
    EXPECT_EQ(picture.GetSize(), CSize(0, 0));
    CCanvas canvas(2, 2);
    EXPECT_FALSE(picture.Draw(&canvas.dc, CPoint(0, 0), CSize(0, 0), CPoint(0, 0)));

    MakeGradient(picture, 4, 4, dir.File("g.png"));
    EXPECT_FALSE(picture.Save(dir.File("three.bmp"), 3));
    EXPECT_TRUE(ReadFileBytes(dir.File("three.bmp")).empty());
    // A picture without a bitmap writes nothing over the file already there.
    ASSERT_TRUE(WriteFileBytes(dir.File("old.gif"), "GIF89a the old picture"));
    EXPECT_FALSE(UL::CPicture(true).Save(dir.File("old.gif"), UL::PICTURE_GIF));
    EXPECT_EQ(ReadFileBytes(dir.File("old.gif")), "GIF89a the old picture");
    // A file named .bmp holding PNG bytes: the codec follows the contents.
    ASSERT_TRUE(picture.Save(dir.File("really-png.bmp"), UL::PICTURE_PNG));
    UL::CPicture again(true);
    EXPECT_TRUE(again.Load(dir.File("really-png.bmp")));
    EXPECT_EQ(again.GetSize(), CSize(4, 4));
    ASSERT_TRUE(picture.Save(dir.File("b.bmp"), UL::PICTURE_BMP));
    EXPECT_EQ(ReadFileBytes(dir.File("b.bmp")).substr(0, 2), "BM");
}

TEST(Picture, ResizeKeepsAspectInsideTheRequestedSize)
{
    CTempDir dir;
    struct Case
    {
        const char* name;
        CSize from, request;
        bool keep;
        CSize result;
    };
    const Case cases[] = {
        {"wide into a square", {100, 50}, {60, 60}, true, {60, 30}},
        {"tall into a square", {50, 100}, {60, 60}, true, {30, 60}},
        {"free", {100, 50}, {60, 60}, false, {60, 60}},
        {"same size", {10, 10}, {10, 10}, true, {10, 10}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        UL::CPicture picture(true);
        MakeGradient(picture, c.from.cx, c.from.cy, dir.File("r.png"));
        EXPECT_TRUE(picture.Resize(c.request, c.keep));
        EXPECT_EQ(picture.GetSize(), c.result);
    }
    UL::CPicture empty(true);
    EXPECT_FALSE(empty.Resize(CSize(5, 5), true));
}

TEST(Picture, NearestNeighbourStretchPicksTruncatedSourcePixels)
{
    CTempDir dir;
    UL::CPicture picture(true);
    MakeGradient(picture, 4, 2, dir.File("s.png"));
    CCanvas canvas(8, 3);
    ASSERT_TRUE(picture.DrawStretched(&canvas.dc, CPoint(0, 0), CSize(6, 3), CPoint(1, 0), CSize(3, 2)));
    // x: 0..5 -> 1 + x * 3 / 6 = 1,1,2,2,3,3; y: 0..2 -> y * 2 / 3 = 0,0,1.
    const int columns[] = {1, 1, 2, 2, 3, 3};
    const int rows[] = {0, 0, 1};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(canvas.dc.GetPixel(x, y), RGB(columns[x], rows[y], 7)) << x << "," << y;
    EXPECT_EQ(canvas.dc.GetPixel(6, 0), kBlack);
}

TEST(Picture, StretchingWiderThan1200PixelsStillDrawsThePicture)
{
    CTempDir dir;
    UL::CPicture picture(true);
    MakeGradient(picture, 2, 1, dir.File("w.png"));
    CCanvas canvas(1201, 1);
    ASSERT_TRUE(picture.DrawStretched(&canvas.dc, CPoint(0, 0), CSize(1201, 1), CPoint(0, 0), CSize(0, 0)));
    EXPECT_EQ(canvas.dc.GetPixel(0, 0), RGB(0, 0, 7));
    EXPECT_EQ(canvas.dc.GetPixel(1200, 0), RGB(1, 0, 7));
}

TEST(Picture, CopyFromDuplicatesTheBitmap)
{
    CTempDir dir;
    UL::CPicture source(true), copy(false);
    MakeGradient(source, 3, 3, dir.File("c.png"));
    EXPECT_TRUE(copy.CopyFrom(source));
    source.Clear();
    EXPECT_EQ(copy.GetSize(), CSize(3, 3));
    UL::CPicture empty(true);
    EXPECT_TRUE(copy.CopyFrom(empty));
    EXPECT_EQ(copy.GetSize(), CSize(0, 0));
}

TEST(StatePicture, FramesOfAHorizontalStripWithMasks)
{
    // Five 20 x 20 states side by side, masks in the second row: state s is grey level 40*s
    // on the left half; its mask is white (transparent) on the right half.
    CTempDir dir;
    CCanvas strip(100, 40);
    for (int s = 0; s < 5; ++s)
    {
        strip.dc.FillSolidRect(RECT{s * 20, 0, s * 20 + 10, 20}, RGB(40 * s + 10, 0, 0));
        strip.dc.FillSolidRect(RECT{s * 20 + 10, 20, s * 20 + 20, 40}, kWhite);
    }
    ASSERT_TRUE(strip.bitmap.SaveFile(dir.File("strip.bmp").c_str(), "BMP"));
    UL::CStatePicture states;
    ASSERT_TRUE(states.GetPicture().Load(dir.File("strip.bmp")));
    states.SetStateCount(5);
    states.SetHorizontal(true);
    states.SetMasks(true);
    EXPECT_EQ(states.GetStateSize(), CSize(20, 20));

    CCanvas canvas(30, 30, RGB(0, 0, 255));
    ASSERT_TRUE(states.DrawState(&canvas.dc, CPoint(5, 5), 3));
    EXPECT_EQ(canvas.dc.GetPixel(5, 5), RGB(130, 0, 0));       // image of state 3 (from x 60)
    EXPECT_EQ(canvas.dc.GetPixel(20, 20), RGB(0, 0, 255));     // transparent through the mask
    EXPECT_EQ(canvas.dc.GetPixel(26, 26), RGB(0, 0, 255));     // outside the frame

    // Vertical without masks; a zero state count must not divide by zero.
    states.SetHorizontal(false);
    states.SetMasks(false);
    states.SetStateCount(2);
    EXPECT_EQ(states.GetStateSize(), CSize(100, 20));
    states.SetStateCount(0);
    EXPECT_EQ(states.GetStateSize(), CSize(100, 40));
}

// A picture read for a 200 % screen has two device pixels per logical pixel. Frames, sizes and
// stretches stay in logical pixels; on a 200 % target its device pixels are used one to one.
TEST(StatePicture, FramesOfADoubleScalePictureAreChosenInLogicalPixels)
{
    // Three 4 x 3 frames, one above the other, every device pixel its own colour.
    UL::CStatePicture states;
    auto* picture = dynamic_cast<UL::CPicture*>(&states.GetPicture());
    ASSERT_NE(picture, nullptr);
    CBitmap& bitmap = picture->GetBitmap();
    ASSERT_TRUE(bitmap.CreateBitmap(4, 9, 2.0));
    const auto colour = [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(x << 16 | y << 8 | 0x40); };
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 8; ++x)
            bitmap.GetRow(y)[x] = colour(x, y);
    states.SetStateCount(3);
    EXPECT_EQ(states.GetStateSize(), CSize(4, 3));

    CBitmap target;
    ASSERT_TRUE(target.CreateBitmap(10, 10, 2.0));
    CDC dc;
    dc.SelectObject(&target);
    ASSERT_TRUE(states.DrawState(&dc, CPoint(1, 1), 2));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(target.GetRow(2 + y)[2 + x], colour(x, 12 + y)) << x << "," << y;
    EXPECT_EQ(target.GetRow(8)[2], 0xFF000000u) << "the frame ends after its three logical rows";

    // Stretched to twice its logical size, the picture's own pixels are enlarged, not its
    // 100 % reduction.
    ASSERT_TRUE(picture->DrawStretched(&dc, CPoint(1, 1), CSize(8, 6), CPoint(0, 0), CSize(4, 3)));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(target.GetRow(2 + y)[2 + x], colour(x / 2, y / 2)) << x << "," << y;
}

namespace
{
// A picture whose pixel (x, y) is colourOf(x, y), saved in `format` and loaded again.
template <class FColour>
bool SaveAndLoad(int width, int height, FColour colourOf, int format, const std::string& path, UL::CPicture& loaded)
{
    CBitmap bitmap;
    if (!bitmap.CreateDIBSection(width, height))
        return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.GetRow(y)[x] = 0xFF000000u | colourOf(x, y);
    UL::CPicture picture(true);
    picture.GetBitmap().CopyFrom(bitmap);
    return picture.Save(path, format) && loaded.Load(path);
}
}

// A GIF holds 256 colours: a picture of no more comes back exactly, a photograph comes back
// close, with its colours chosen well.
TEST(Picture, GifKeepsUpTo256ColoursExactlyAndAPhotographClosely)
{
    CTempDir dir;
    const struct
    {
        const char* name;
        int width, height;
        uint32_t (*colour)(int x, int y);
    } exact[] = {
        {"one colour", 1, 1, [](int, int) { return 0x123456u; }},
        {"three colours", 3, 2, [](int x, int) { return x == 0 ? 0xFF0000u : x == 1 ? 0x00FF01u : 0x0000FEu; }},
        {"256 colours", 16, 16,
         [](int x, int y) { return uint32_t(x * 16 + 3) << 16 | uint32_t(y * 16 + 5) << 8 | uint32_t((x ^ y) * 9); }},
    };
    for (const auto& c : exact)
    {
        SCOPED_TRACE(c.name);
        UL::CPicture loaded(true);
        ASSERT_TRUE(SaveAndLoad(c.width, c.height, c.colour, UL::PICTURE_GIF, dir.File("exact.gif"), loaded));
        EXPECT_EQ(ReadFileBytes(dir.File("exact.gif")).substr(0, 6), "GIF89a");
        ASSERT_EQ(loaded.GetSize(), CSize(c.width, c.height));
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                ASSERT_EQ(loaded.GetBitmap().GetRow(y)[x] & 0xFFFFFFu, c.colour(x, y)) << x << "," << y;
    }

    // Smooth gradients under a little grain: thousands of colours.
    auto photo = [](int x, int y) {
        const int grain = static_cast<int>((static_cast<uint32_t>(x * 7919 + y * 104729) * 2654435761u) >> 29) - 4;
        const int r = std::clamp(x * 255 / 159 + grain, 0, 255);
        const int g = std::clamp(y * 255 / 99 + grain, 0, 255);
        const int b = std::clamp(128 + static_cast<int>(90 * std::sin((x + y) / 25.0)) - grain, 0, 255);
        return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
    };
    UL::CPicture loaded(true);
    ASSERT_TRUE(SaveAndLoad(160, 100, photo, UL::PICTURE_GIF, dir.File("photo.gif"), loaded));
    ASSERT_EQ(loaded.GetSize(), CSize(160, 100));
    std::set<uint32_t> colours;
    double total = 0;
    int worst = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 160; ++x)
        {
            const uint32_t got = loaded.GetBitmap().GetRow(y)[x] & 0xFFFFFFu;
            colours.insert(got);
            for (int shift : {0, 8, 16})
            {
                const int error = std::abs(static_cast<int>((got >> shift) & 0xFF) - static_cast<int>((photo(x, y) >> shift) & 0xFF));
                total += error;
                worst = std::max(worst, error);
            }
        }
    EXPECT_LE(colours.size(), 256u);
    EXPECT_GT(colours.size(), 200u) << "the palette is used, not wasted";
    // A fixed palette of 6 x 7 x 6 levels would be off by about 10 on average.
    EXPECT_LT(total / (160 * 100 * 3), 6.0);
    EXPECT_LT(worst, 32);
}

TEST(Picture, AFailedGifSaveLeavesTheOldFile)
{
    for (ESaveFault kind : AllSaveFaults())
    {
        SCOPED_TRACE(SaveFaultName(kind));
        CTempDir dir;
        CSaveFault fault(kind, dir.File("kept.gif"), "GIF89a the old picture");
        if (!fault.IsPossible())
            continue;
        UL::CPicture loaded(true);
        EXPECT_FALSE(SaveAndLoad(40, 30, [](int x, int y) { return uint32_t(x * 6) << 16 | uint32_t(y * 8); },
                                 UL::PICTURE_GIF, dir.File("kept.gif"), loaded));
        EXPECT_TRUE(fault.IsUntouched());
    }
}
