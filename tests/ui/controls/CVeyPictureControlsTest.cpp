#include "ControlResourceSupport.h"

#include "model/CVeyValue.h"
#include "tests/support/TraceCapture.h"
#include "ui/controls/CVeyPictureControls.h"

#include <gtest/gtest.h>

namespace
{
using PictureControls = ControlFixture;
}

TEST_F(PictureControls, PictureStateIsTheIndexPlusTheOffsetClipped)
{
    // page has indexes 0..3; bitmap s4 has states 0..3.
    const struct
    {
        const char* offset;
        int32_t page;
        int32_t state;
    } cases[] = {
        {"0", 1, 1}, {"2", 0, 2}, {"2", 3, 3}, {"-2", 1, 0}, {"-2", 3, 1}, {"2147483647", 3, 3}, {"-2147483648", 1, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.offset) + " + " + std::to_string(c.page));
        CVeyPictureControl picture;
        ASSERT_TRUE(Build(picture, {{"valueRef", "fm.pat.common.page"}, {"bitmapRef", "s4"}, {"offsetIndex", c.offset}}));
        Value("fm.pat.common.page")->SetNumber(c.page);
        picture.UpdateFromValue();
        EXPECT_EQ(picture.GetDisplayState(), c.state);
        recorder.views.clear();
    }
}

TEST_F(PictureControls, PictureDrawsItsStateAtItsCornerAndKeepsItsSize)
{
    CVeyPictureControl picture;
    ASSERT_TRUE(Build(picture, {{"valueRef", "fm.pat.common.page"}, {"bitmapRef", "s4"}}));
    EXPECT_EQ(picture.GetRect(), CRect(110, 70, 130, 80));
    Value("fm.pat.common.page")->SetNumber(2);
    picture.UpdateFromValue();
    CCanvas canvas(200, 100);
    picture.Draw(canvas.info);
    EXPECT_EQ(canvas.dc.GetPixel(110, 70), StateColour(2));
    EXPECT_EQ(canvas.dc.GetPixel(129, 79), StateColour(2));
    EXPECT_EQ(canvas.dc.GetPixel(130, 79), RGB(0, 0, 0));
    picture.SetRect(CRect(0, 0, 100, 100));
    EXPECT_EQ(picture.GetRect(), CRect(0, 0, 20, 10));
}

TEST_F(PictureControls, PictureWhoseFileIsMissingCreatesAndDrawsNothing)
{
    auto bitmap = std::make_unique<CVeyStateBitmap>();
    auto attributes = TestAttributes({{"name", "gone"}, {"stateCount", "3"}});
    ASSERT_TRUE(bitmap->Load(attributes));
    CVeyResourceManager::GetInstance().GetBitmaps().Insert("gone", std::move(bitmap));
    CVeyPictureControl picture;
    ASSERT_TRUE(Build(picture, {{"valueRef", "fm.pat.common.page"}, {"bitmapRef", "gone"}}));
    CCanvas canvas(200, 100);
    picture.Draw(canvas.info);
    EXPECT_EQ(canvas.dc.GetPixel(110, 70), RGB(0, 0, 0));
}

TEST_F(PictureControls, PictureFailures)
{
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        const char* line;
    } cases[] = {
        {"unknown bitmap", {{"valueRef", "fm.pat.common.page"}, {"bitmapRef", "none"}},
         "Unable to find bitmap for picture. : b : none.\n"},
        {"offset", {{"valueRef", "fm.pat.common.page"}, {"bitmapRef", "s2"}, {"offsetIndex", "x"}},
         "Offset index is invalid for picture. : b : x\n"},
        // The value reference is checked before the bitmap.
        {"no value", {}, "There is no value reference for picture control main.b.\n"},
        {"no bitmap", {{"valueRef", "fm.pat.common.page"}}, "There is no bitmap reference for picture control main.b.\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTraceCapture trace;
        CVeyPictureControl picture;
        EXPECT_FALSE(Build(picture, c.attributes));
        EXPECT_EQ(trace.Text(), c.line);
    }
}

TEST_F(PictureControls, LabelDrawsItsUnescapedTextInItsRectangle)
{
    CVeyLabelControl label;
    ASSERT_TRUE(Build(label, {{"textWriterRef", "w1"}, {"label", "Lo &amp; Hi"}}));
    CCanvas canvas(200, 100);
    label.Draw(canvas.info);
    ASSERT_EQ(writers[1]->drawn.size(), 1u);
    EXPECT_EQ(writers[1]->drawn[0], std::make_pair(CRect(110, 70, 170, 90), std::string("Lo & Hi")));
    label.SetRect(CRect(1, 2, 3, 4));
    EXPECT_EQ(label.GetRect(), CRect(1, 2, 3, 4));
}

TEST_F(PictureControls, LabelFailures)
{
    {
        CTraceCapture trace;
        CVeyLabelControl label;
        EXPECT_FALSE(Build(label, {{"textWriterRef", "nope"}}));
        EXPECT_EQ(trace.Text(), "Unable to find text writer for label. : b : nope.\n");
    }
    {
        CTraceCapture trace;
        CVeyLabelControl label;
        auto attributes = TestAttributes({{"name", "b"}, {"label", "x"}});
        EXPECT_TRUE(label.LoadAttributes(attributes));
        EXPECT_FALSE(label.Create(&parent));
        EXPECT_EQ(trace.Text(), "There is no text writer reference for label control. : main.b\n");
    }
}
