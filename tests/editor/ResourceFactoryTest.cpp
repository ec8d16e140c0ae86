// The editor's resource factory behind the resource manager: a script's bitmaps are read from
// generated BMP and PNG files in a temporary script folder, its text writers draw with real fonts,
// and image files that are missing or cannot be decoded are named in the diagnostic output.
#include "editor/CResourceFactory.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/CVeyTextWriter.h"
#include "model/VeyManagers.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"
#include "toolkit/ul/Input.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/panels/CVeyViewManager.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
constexpr uint32_t kOpaque = 0xFF000000;

struct CCanvas
{
    CBitmap bitmap;
    CDC dc;
    UL::CDrawInfo info{&dc, nullptr, nullptr};
    CCanvas(int width, int height, COLORREF fill)
    {
        bitmap.CreateBitmap(width, height);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(RECT{0, 0, width, height}, fill);
    }
    COLORREF Pixel(int x, int y) { return dc.GetPixel(x, y) & 0xFFFFFF; }
};

// Writes an image file of the size made of the filled rectangles, with pixels as the file formats
// hold them: straight (not premultiplied) 0xAARRGGBB.
void WriteImage(const std::string& path, const char* format, CSize size,
                std::initializer_list<std::pair<RECT, uint32_t>> fills)
{
    CBitmap image;
    ASSERT_TRUE(image.CreateDIBSection(size.cx, size.cy));
    for (const auto& fill : fills)
        for (int y = fill.first.top; y < fill.first.bottom; ++y)
            for (int x = fill.first.left; x < fill.first.right; ++x)
                image.GetRow(y)[x] = fill.second;
    ASSERT_TRUE(image.SaveFile(path.c_str(), format, true));
}

struct ResourceFactory : ::testing::Test
{
    void SetUp() override
    {
        CVeyStateBitmap::SetBitmapFolder(folder.Path() + "/");
        CVeyResourceManager::GetInstance().SetResourceFactory(std::make_unique<CResourceFactory>());
    }
    void TearDown() override
    {
        VeyDestroyManagers();
        for (EVeyManager step : {EVeyManager::kResource, EVeyManager::kBuffer, EVeyManager::kView})
            VeySetManagerStep(step, nullptr, nullptr);
        CVeyResourceManager::GetInstance().Clear();
        CVeyScriptDefinitions::GetInstance().Clear();
        CVeyStateBitmap::SetBitmapFolder("");
    }
    // Reads the script and builds its resources with the editor's factory.
    bool Create(const std::string& script)
    {
        CVeyResourceManager::GetInstance().SetResourceFactory(std::make_unique<CResourceFactory>());
        return CVeyScriptReader::GetInstance().ReadText(script) && CVeyResourceManager::GetInstance().Create();
    }
    static CVeyStateBitmap* Bitmap(const std::string& name)
    {
        return CVeyResourceManager::GetInstance().GetBitmaps().Find(name);
    }

    CTempDir folder;
};
}

TEST_F(ResourceFactory, ScriptBitmapsAreReadFromBmpAndPngFilesOfTheScriptFolder)
{
    // "plain": a vertical strip of two 8 x 8 states, red and green, in plain.bmp.
    WriteImage(folder.File("plain.bmp"), "BMP", CSize(8, 16),
               {{RECT{0, 0, 8, 8}, kOpaque | 0xFF0000}, {RECT{0, 8, 8, 16}, kOpaque | 0x00FF00}});
    // "lamp.png": four 6 x 6 states side by side; the last one is white at half opacity.
    WriteImage(folder.File("lamp.png"), "PNG", CSize(24, 6),
               {{RECT{0, 0, 6, 6}, kOpaque | 0x000000},
                {RECT{6, 0, 12, 6}, kOpaque | 0x404040},
                {RECT{12, 0, 18, 6}, kOpaque | 0xFFA000},
                {RECT{18, 0, 24, 6}, 0x80FFFFFF}});

    CTraceCapture trace;
    ASSERT_TRUE(Create("<bitmap><name>plain</name><stateCount>2</stateCount></bitmap>"
                       "<bitmap><name>lamp.png</name><stateCount>4</stateCount><direction>1</direction></bitmap>"));
    EXPECT_EQ(trace.Text(), "");

    CVeyStateBitmap* red = Bitmap("plain");
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->GetRefCount(), 0) << "nothing is read before a user takes the bitmap";
    ASSERT_TRUE(red->AddRef());
    CSize size;
    red->GetStateSize(size, 1);
    EXPECT_EQ(size, CSize(8, 8));
    CCanvas canvas(40, 20, RGB(0, 0, 255));
    red->DrawState(canvas.info, CPoint(2, 2), 1);
    EXPECT_EQ(canvas.Pixel(2, 2), RGB(0, 255, 0));
    EXPECT_EQ(canvas.Pixel(9, 9), RGB(0, 255, 0));
    EXPECT_EQ(canvas.Pixel(10, 10), RGB(0, 0, 255));

    CVeyStateBitmap* png = Bitmap("lamp.png");
    ASSERT_NE(png, nullptr);
    ASSERT_TRUE(png->AddRef());
    png->GetStateSize(size, 0);
    EXPECT_EQ(size, CSize(6, 6));
    png->DrawState(canvas.info, CPoint(20, 2), 2);
    png->DrawState(canvas.info, CPoint(30, 2), 3);
    EXPECT_EQ(canvas.Pixel(20, 2), RGB(255, 160, 0));
    // Half-transparent white over blue: about half of each, as the alpha channel says.
    const COLORREF blended = canvas.Pixel(33, 5);
    EXPECT_NEAR(GetRValue(blended), 128, 2);
    EXPECT_NEAR(GetGValue(blended), 128, 2);
    EXPECT_NEAR(GetBValue(blended), 255, 1);
    red->Release();
    png->Release();
    EXPECT_FALSE(red->IsLoaded()) << "the last user's release frees the image";
}

TEST_F(ResourceFactory, TextWritersDrawWithThePlatformsFontsAndBitmapFonts)
{
    // "glyphs": the bitmap font's states for the characters 32 (blank, grey) and 33 ('!', white),
    // 3 x 5 pixels each.
    WriteImage(folder.File("glyphs.bmp"), "BMP", CSize(6, 5),
               {{RECT{0, 0, 3, 5}, kOpaque | 0x808080}, {RECT{3, 0, 6, 5}, kOpaque | 0xFFFFFF}});

    ASSERT_TRUE(Create("<bitmap><name>glyphs</name><stateCount>2</stateCount><direction>1</direction></bitmap>"
                       "<textWriter><name>title</name><fontFaceName>DEFAULT</fontFaceName><fontHeight>14</fontHeight>"
                       "<fontColor>65280,65280,0</fontColor><backgroundColor>0,0,32768</backgroundColor>"
                       "<textAlignment>center</textAlignment></textWriter>"
                       "<textWriter><name>lcd</name><bitmapRef>glyphs</bitmapRef></textWriter>"));
    CVeyTextWriter* title = CVeyResourceManager::GetInstance().GetTextWriters().Find("title");
    ASSERT_NE(title, nullptr);
    CVeyFontSettings settings;
    ASSERT_TRUE(title->GetFont(settings));
    EXPECT_EQ(settings.height, 14);

    CCanvas canvas(100, 40, RGB(0, 0, 0));
    title->Draw(canvas.info, CRect(10, 10, 90, 30), "Cutoff");
    EXPECT_EQ(canvas.Pixel(11, 11), RGB(0, 0, 128)) << "the opaque background fills the rectangle";
    EXPECT_EQ(canvas.Pixel(9, 9), RGB(0, 0, 0)) << "nothing is drawn outside it";
    int yellow = 0, left = 100, right = 0;
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 90; ++x)
            if (canvas.Pixel(x, y) == RGB(255, 255, 0))
            {
                ++yellow;
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_GT(yellow, 20) << "the letters are drawn in the font colour";
    EXPECT_NEAR((left - 10) - (89 - right), 0, 3) << "centred";

    CVeyTextWriter* lcd = CVeyResourceManager::GetInstance().GetTextWriters().Find("lcd");
    ASSERT_NE(lcd, nullptr);
    CCanvas strip(20, 10, RGB(0, 0, 0));
    lcd->Draw(strip.info, CRect(0, 0, 20, 10), "! !");
    EXPECT_EQ(strip.Pixel(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(strip.Pixel(4, 1), RGB(128, 128, 128));
    EXPECT_EQ(strip.Pixel(7, 1), RGB(255, 255, 255));
    EXPECT_EQ(strip.Pixel(10, 1), RGB(0, 0, 0));
}

TEST_F(ResourceFactory, ImageFilesThatCannotBeReadAreNamedAndFailTheirUser)
{
    // A valid PNG to cut short, and a BMP header that claims an image far too large to hold.
    CBitmap small;
    ASSERT_TRUE(small.CreateBitmap(16, 16));
    ASSERT_TRUE(small.SaveFile(folder.File("whole.png").c_str(), "PNG"));
    const std::string png = ReadFileBytes(folder.File("whole.png"));
    ASSERT_GT(png.size(), 40u);
    std::string huge("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\xA0\x86\x01\0\xA0\x86\x01\0\x01\0\x18\0", 30);
    huge.append(24, '\0');

    const struct
    {
        const char* name;    // the bitmap's name in the script
        const char* file;    // the file written for it, null for none
        std::string bytes;
    } cases[] = {
        {"missing", nullptr, ""},
        {"empty", "empty.bmp", ""},
        {"text.png", "text.png", "this is not an image"},
        {"cut.png", "cut.png", png.substr(0, 40)},
        {"huge", "huge.bmp", huge},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        if (c.file)
        {
            ASSERT_TRUE(WriteFileBytes(folder.File(c.file), c.bytes));
        }
        const std::string script = std::string("<bitmap><name>") + c.name + "</name></bitmap>";
        ASSERT_TRUE(Create(script));
        CVeyStateBitmap* bitmap = Bitmap(c.name);
        ASSERT_NE(bitmap, nullptr);
        CTraceCapture trace;
        EXPECT_FALSE(bitmap->AddRef());
        EXPECT_EQ(bitmap->GetRefCount(), 0);
        const std::string file = c.file ? c.file : "missing.bmp";
        EXPECT_EQ(trace.Text(), "Unable to read bitmap file. : " + std::string(c.name) + " : " + folder.File(file) + "\n");
        // Drawing an image that never loaded draws nothing.
        CCanvas canvas(8, 8, RGB(1, 2, 3));
        bitmap->DrawState(canvas.info, CPoint(0, 0), 0);
        EXPECT_EQ(canvas.Pixel(0, 0), RGB(1, 2, 3));
        CVeyResourceManager::GetInstance().Clear();
    }
}

TEST_F(ResourceFactory, AMissingImageStopsStartUpWithTheFileAndItsUserNamed)
{
    const std::string model = "<structType><type>commonT</type><name>$name</name><address>$address</address>"
                              "<value><type>int1x7</type><name>level</name></value></structType>"
                              "<structType><type>fmT</type><name>$name</name><address>$address</address>"
                              "<struct><type>commonT</type><name>common</name><address>00 00 00 00</address></struct>"
                              "</structType>"
                              "<struct><type>fmT</type><name>fm</name><address>10 00 00 00</address></struct>";
    const struct
    {
        const char* name;
        std::string script;
        std::string trace;
    } cases[] = {
        {"knob", "<bitmap><name>knob01</name><stateCount>8</stateCount></bitmap>"
                 "<panelType><type>mainT</type><name>main</name><size>100,100</size>"
                 "<control><type>knob</type><name>k</name><position>10,10</position>"
                 "<bitmapRef>knob01</bitmapRef><valueRef>fm.common.level</valueRef></control></panelType>"
                 "<panel><type>mainT</type></panel>",
         "Unable to read bitmap file. : knob01 : " + folder.File("knob01.bmp") + "\n"
         "Unable to create bitmap for knob. : main.k\n"
         "Unable to create child control k.\n"
         "Unable to create root panel main.\n"
         "Unable to create root panel main.\n"
         "Unable to create view manager.\n"},
        {"bitmap font", "<bitmap><name>font.png</name></bitmap>"
                        "<textWriter><name>lcd</name><bitmapRef>font.png</bitmapRef></textWriter>",
         "Unable to read bitmap file. : font.png : " + folder.File("font.png") + "\n"
         "Unable to create bitmap. : lcd\n"
         "Unable to convert element definitions  to text writer.\n"
         "Unable to create resource manager.\n"},
    };
    CVeyResourceManager::RegisterManagerStep();
    CVeyBufferManager::RegisterManagerStep();
    CVeyViewManager::RegisterManagerStep();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CVeyResourceManager::GetInstance().SetResourceFactory(std::make_unique<CResourceFactory>());
        ASSERT_TRUE(CVeyScriptReader::GetInstance().ReadText(model + c.script));
        CTraceCapture trace;
        EXPECT_FALSE(VeyCreateManagers());
        EXPECT_EQ(trace.Text(), c.trace);
        CVeyScriptDefinitions::GetInstance().Clear();
    }
}
