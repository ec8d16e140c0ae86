#include "ui/controls/CVeyStateBitmap.h"

#include "model/CVeyResourceManager.h"
#include "model/CVeyTable.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "toolkit/ul/Input.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
constexpr COLORREF kBlack = RGB(0, 0, 0);

CVeyElementDefinition::CAttributes Attributes(std::initializer_list<CVeyElementDefinition::CAttribute> list)
{
    return CVeyElementDefinition::CAttributes(list);
}

struct CCanvas
{
    CBitmap bitmap;
    CDC dc;
    UL::CDrawInfo info{&dc, nullptr, nullptr};
    CCanvas(int width, int height, COLORREF fill = kBlack)
    {
        bitmap.CreateBitmap(width, height);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(RECT{0, 0, width, height}, fill);
    }
};

// Files in a fresh bitmap folder: "knob01.bmp", a vertical strip of two 10 x 10 states, state s
// filled with RGB(100 + s, 0, 0) and its corners marked in green, blue, white and yellow.
struct StateBitmap : ::testing::Test
{
    void SetUp() override
    {
        CVeyStateBitmap::SetBitmapFolder(dir.Path() + "/");
        CCanvas strip(10, 20);
        for (int s = 0; s < 2; ++s)
        {
            const int top = s * 10;
            strip.dc.FillSolidRect(RECT{0, top, 10, top + 10}, RGB(100 + s, 0, 0));
            strip.dc.SetPixel(0, top, RGB(0, 255, 0));
            strip.dc.SetPixel(9, top, RGB(0, 0, 255));
            strip.dc.SetPixel(0, top + 9, RGB(255, 255, 255));
            strip.dc.SetPixel(9, top + 9, RGB(255, 255, 0));
        }
        ASSERT_TRUE(strip.bitmap.SaveFile(dir.File("knob01.bmp").c_str(), "BMP"));
        ASSERT_TRUE(strip.bitmap.SaveFile(dir.File("knob01.png").c_str(), "PNG"));
    }
    void TearDown() override
    {
        CVeyResourceManager::GetInstance().Clear();
        CVeyStateBitmap::SetBitmapFolder("");
    }
    CTempDir dir;
};
}

TEST_F(StateBitmap, FileNamesGetBmpOnlyWithoutAnExtension)
{
    for (const char* name : {"knob01", "knob01.png"})
    {
        SCOPED_TRACE(name);
        CVeyStateBitmap bitmap;
        auto attributes = Attributes({{"name", name}, {"stateCount", "2"}});
        ASSERT_TRUE(bitmap.Load(attributes));
        EXPECT_TRUE(bitmap.AddRef());
        EXPECT_EQ(bitmap.GetStatePicture().GetPicture().GetSize(), CSize(10, 20));
    }
    CVeyStateBitmap missing;
    missing.SetName("knob02");
    EXPECT_FALSE(missing.AddRef());
    EXPECT_EQ(missing.GetRefCount(), 0);
}

TEST_F(StateBitmap, TheImageLivesWhileReferenced)
{
    CVeyStateBitmap bitmap;
    bitmap.SetName("knob01");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(bitmap.AddRef());
    bitmap.Release();
    bitmap.Release();
    EXPECT_TRUE(bitmap.IsLoaded());
    bitmap.Release();
    EXPECT_FALSE(bitmap.IsLoaded());
    bitmap.Release();
    EXPECT_EQ(bitmap.GetRefCount(), 0);
    ASSERT_TRUE(bitmap.AddRef());   // loads again
    EXPECT_TRUE(bitmap.IsLoaded());
}

TEST_F(StateBitmap, AReferenceLetsGoOfWhatItHeldAndNothingElse)
{
    CVeyStateBitmap knob;
    knob.SetName("knob01");
    CVeyStateBitmap missing;
    missing.SetName("knob02");
    ASSERT_TRUE(knob.AddRef());   // someone else's hold
    {
        CVeyBitmapRef first;
        CVeyBitmapRef second;
        first = &knob;
        second = &knob;
        EXPECT_EQ(knob.GetRefCount(), 1) << "pointing at a bitmap holds nothing yet";
        EXPECT_TRUE(first.Hold());
        EXPECT_TRUE(first.Hold());
        EXPECT_TRUE(second.Hold());
        EXPECT_EQ(knob.GetRefCount(), 3) << "one hold a reference";
        second = &missing;   // re-pointed: lets go of the old one
        EXPECT_EQ(knob.GetRefCount(), 2);
        EXPECT_FALSE(second.Hold()) << "an image that cannot be read";
        EXPECT_FALSE(second.IsHeld());
        second.Drop();
        EXPECT_EQ(missing.GetRefCount(), 0);
        first.Drop();
        first.Drop();
        EXPECT_EQ(knob.GetRefCount(), 1) << "a failed or repeated drop takes no one else's hold";
        EXPECT_TRUE(first.Hold());
        CVeyBitmapRef none;
        EXPECT_FALSE(none.Hold());
    }
    EXPECT_EQ(knob.GetRefCount(), 1) << "the references let go as they end";
    knob.Release();
    EXPECT_FALSE(knob.IsLoaded());
}

TEST_F(StateBitmap, BadAttributes)
{
    struct Case
    {
        const char* name;
        const char* value;
        const char* line;
    };
    const Case cases[] = {
        {"stateCount", "many", "Bitmap state count is invalid. : b : many\n"},
        {"stateCount", "0", "Bitmap state count must be greater than 0. : b : 0\n"},
        {"direction", "up", "Bitmap direction is invalid. : b : up\n"},
        {"direction", "2", "Bitmap direction must be 0 (vertical) or 1 (horizontal). : b : 2\n"},
        {"mask", "x", "Bitmap maskColor is invalid. : b : x\n"},
        {"mask", "-1", "Bitmap mask must be 0 (do not use) or 1 (use). : b : -1\n"},
        {"xOffsetNumberTableRef", "none", "Unable to find number table. : b : none\n"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        CTraceCapture trace;
        CVeyStateBitmap bitmap;
        auto attributes = Attributes({{"name", "b"}, {c.name, c.value}, {"stateCount", "3"}});
        EXPECT_FALSE(bitmap.Load(attributes));
        EXPECT_EQ(trace.Text(), c.line);
    }
    CVeyStateBitmap good;
    auto attributes = Attributes({{"name", "b"}, {"direction", "0x1"}, {"mask", "1"}, {"colour", "red"}});
    EXPECT_TRUE(good.Load(attributes));
    EXPECT_EQ(attributes, Attributes({{"colour", "red"}}));
    EXPECT_TRUE(good.GetStatePicture().IsHorizontal());
    EXPECT_TRUE(good.GetStatePicture().HasMasks());
}

TEST_F(StateBitmap, OffsetTablesMoveAndSizeTheStates)
{
    auto table = std::make_unique<CVeyIntegerTable>();
    for (const int32_t n : {3, 10, 5, 12})
        table->Append(n);
    ASSERT_TRUE(CVeyResourceManager::GetInstance().GetIntegerTables().Insert("offsets", std::move(table)));
    CVeyStateBitmap bitmap;
    auto attributes = Attributes({{"name", "knob01"}, {"stateCount", "2"}, {"xOffsetNumberTableRef", "offsets"}});
    ASSERT_TRUE(bitmap.Load(attributes));
    ASSERT_TRUE(bitmap.AddRef());
    CSize size;
    bitmap.GetStateSize(size, 1);
    EXPECT_EQ(size, CSize(12, 10));
    bitmap.GetStateSize(size, -1);
    EXPECT_EQ(size, CSize(10, 10));
    bitmap.GetStateSize(size, 7);   // beyond the table: the plain size
    EXPECT_EQ(size, CSize(10, 10));

    CCanvas canvas(30, 20);
    bitmap.DrawState(canvas.info, CPoint(10, 5), 1);
    EXPECT_EQ(canvas.dc.GetPixel(5, 5), RGB(0, 255, 0));    // state 1 starts 5 pixels left
    EXPECT_EQ(canvas.dc.GetPixel(7, 8), RGB(101, 0, 0));
    EXPECT_EQ(canvas.dc.GetPixel(15, 8), kBlack);
}

TEST_F(StateBitmap, QuartersKeepTheCornersOfAShrunkState)
{
    CVeyStateBitmap bitmap;
    auto attributes = Attributes({{"name", "knob01"}, {"stateCount", "2"}});
    ASSERT_TRUE(bitmap.Load(attributes));
    ASSERT_TRUE(bitmap.AddRef());
    CCanvas canvas(20, 20);
    bitmap.DrawQuarters(canvas.info, CPoint(2, 2), CSize(5, 7), 1);
    EXPECT_EQ(canvas.dc.GetPixel(2, 2), RGB(0, 255, 0));
    EXPECT_EQ(canvas.dc.GetPixel(6, 2), RGB(0, 0, 255));
    EXPECT_EQ(canvas.dc.GetPixel(2, 8), RGB(255, 255, 255));
    EXPECT_EQ(canvas.dc.GetPixel(6, 8), RGB(255, 255, 0));
    EXPECT_EQ(canvas.dc.GetPixel(4, 5), RGB(101, 0, 0));
    EXPECT_EQ(canvas.dc.GetPixel(7, 2), kBlack);
    EXPECT_EQ(canvas.dc.GetPixel(2, 9), kBlack);
    bitmap.DrawQuarters(canvas.info, CPoint(0, 0), CSize(0, 5), 0);   // nothing to draw
}
