#include "ControlResourceSupport.h"

#include "model/CVeyValue.h"
#include "tests/support/TraceCapture.h"
#include "ui/controls/CVeyStaticTextControls.h"

#include <gtest/gtest.h>

namespace
{
using StaticText = ControlFixture;
}

TEST_F(StaticText, TextOfTheValue)
{
    const struct
    {
        const char* name;
        const char* path;
        CVeyElementDefinition::CAttributes attributes;
        const char* text;
    } cases[] = {
        {"number plus offset with unit", "fm.pat.tone[0].cutoff", {{"offsetValue", "-64"}, {"unit", "dB"}}, "0dB"},
        {"plain number", "fm.pat.common.level", {}, "100"},
        {"string table entry and unit", "fm.pat.common.page", {{"stringTableRef", "names"}, {"unit", "!"}}, "mid!"},
        {"string table clipped", "fm.pat.common.level", {{"stringTableRef", "names"}}, "mid"},
        {"text value and unit", "fm.pat.common.patchName", {{"unit", "<"}}, "INIT<"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        writers[0]->drawn.clear();
        Value("fm.pat.common.page")->SetNumber(2);
        CVeyStaticTextControl control;
        auto attributes = c.attributes;
        attributes.insert(attributes.end(), {{"valueRef", c.path}, {"textWriterRef", "w0"}});
        ASSERT_TRUE(Build(control, attributes));
        EXPECT_EQ(control.GetText(), c.text);
        CCanvas canvas(200, 100);
        control.Draw(canvas.info);
        ASSERT_EQ(writers[0]->drawn.size(), 1u);
        EXPECT_EQ(writers[0]->drawn[0], std::make_pair(CRect(110, 70, 170, 90), std::string(c.text)));
        recorder.views.clear();
    }
}

TEST_F(StaticText, TextFollowsCommits)
{
    CVeyStaticTextControl control;
    ASSERT_TRUE(Build(control, {{"valueRef", "fm.pat.common.level"}, {"textWriterRef", "w0"}, {"unit", "%"}}));
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.SetValue(Value("fm.pat.common.level"), 7);
    manager.UpdateViews();
    manager.ClearChanges();
    EXPECT_EQ(control.GetText(), "7%");
}

TEST_F(StaticText, Failures)
{
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        const char* line;
    } cases[] = {
        {"unknown writer", {{"textWriterRef", "nope"}}, "Unable to find text writer nope.\n"},
        {"offset", {{"offsetValue", "minus"}}, "StaticText b offsetValue is invalid. : minus\n"},
        {"unknown table", {{"stringTableRef", "nope"}}, "Unable to find string table nope.\n"},
        // The value reference is checked before the writer.
        {"nothing", {}, "There is no value reference.\n"},
        {"no writer", {{"valueRef", "fm.pat.common.level"}}, "There is no text writer reference.\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTraceCapture trace;
        CVeyStaticTextControl control;
        EXPECT_FALSE(Build(control, c.attributes));
        EXPECT_EQ(trace.Text(), c.line);
    }
}

TEST_F(StaticText, PictureVariantShowsTheHighestValuesAsStates)
{
    // level: 128 values; bitmap s2: the two highest values are pictures.
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        int32_t level;
        const char* text;
        int32_t state;
    } cases[] = {
        {"lowest", {{"unit", "dB"}, {"offsetValue", "-1"}}, 0, "-1dB", -1},
        {"last text", {{"unit", "dB"}}, 125, "125dB", -1},
        {"first picture", {{"unit", "dB"}}, 126, "", 0},
        {"last picture", {{"unit", "dB"}}, 127, "", 1},
        {"table without unit", {{"unit", "dB"}, {"stringTableRef", "names"}}, 1, "low", -1},
        {"table clipped", {{"unit", "dB"}, {"stringTableRef", "names"}}, 100, "mid", -1},
        {"table, picture", {{"stringTableRef", "names"}}, 127, "", 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Value("fm.pat.common.level")->SetNumber(c.level);
        CVeyStaticTextPictureControl control;
        auto attributes = c.attributes;
        attributes.insert(attributes.end(),
                          {{"valueRef", "fm.pat.common.level"}, {"textWriterRef", "w0"}, {"bitmapRef", "s2"}});
        ASSERT_TRUE(Build(control, attributes));
        EXPECT_EQ(control.GetText(), c.text);
        EXPECT_EQ(control.GetPictureState(), c.state);
        recorder.views.clear();
    }
}

TEST_F(StaticText, PictureVariantDrawsItsStateRightAlignedAndCentred)
{
    CVeyStaticTextPictureControl control;
    ASSERT_TRUE(Build(control, {{"valueRef", "fm.pat.common.level"}, {"textWriterRef", "w0"}, {"bitmapRef", "s2"}}));
    Value("fm.pat.common.level")->SetNumber(127);
    control.UpdateFromValue();
    // Control (110, 70) - (170, 90); the 20 x 10 state goes to (150, 75) - (170, 85).
    CCanvas canvas(200, 100);
    control.Draw(canvas.info);
    EXPECT_TRUE(writers[0]->drawn.empty());
    EXPECT_EQ(canvas.dc.GetPixel(150, 75), StateColour(1));
    EXPECT_EQ(canvas.dc.GetPixel(169, 84), StateColour(1));
    EXPECT_EQ(canvas.dc.GetPixel(149, 75), RGB(0, 0, 0));
    EXPECT_EQ(canvas.dc.GetPixel(150, 74), RGB(0, 0, 0));
    EXPECT_EQ(canvas.dc.GetPixel(150, 85), RGB(0, 0, 0));

    Value("fm.pat.common.level")->SetNumber(3);
    control.UpdateFromValue();
    control.Draw(canvas.info);
    ASSERT_EQ(writers[0]->drawn.size(), 1u);
    EXPECT_EQ(writers[0]->drawn[0], std::make_pair(CRect(110, 70, 170, 90), std::string("3")));
}

TEST_F(StaticText, PictureVariantWithMoreStatesThanValuesShowsOnlyPictures)
{
    // page has 4 values; bitmap s5 has 5 states: every value is a picture, never past the last state.
    CVeyStaticTextPictureControl control;
    ASSERT_TRUE(Build(control, {{"valueRef", "fm.pat.common.page"}, {"textWriterRef", "w0"}, {"bitmapRef", "s5"}}));
    for (int32_t page = 0; page < 4; ++page)
    {
        Value("fm.pat.common.page")->SetNumber(page);
        control.UpdateFromValue();
        EXPECT_EQ(control.GetPictureState(), page + 1);
    }
}

TEST_F(StaticText, PictureVariantFailures)
{
    const struct
    {
        const char* name;
        CVeyElementDefinition::CAttributes attributes;
        const char* line;
    } cases[] = {
        {"unknown writer", {{"textWriterRef", "nope"}}, "Unable to find text writer for static text picture. : b : nope.\n"},
        {"offset", {{"offsetValue", "x"}}, "Offset value is invalid for static text picture. : b : x\n"},
        {"unknown table", {{"stringTableRef", "nope"}},
         "Unable to find string table for static text picture. : b : nope.\n"},
        {"unknown bitmap", {{"bitmapRef", "nope"}}, "Unable to find bitmap for static text picture. : b : nope.\n"},
        {"nothing", {}, "There is no value reference for static text picture. : main.b\n"},
        {"no writer", {{"valueRef", "fm.pat.common.level"}},
         "There is no text writer reference for static text picture. : main.b\n"},
        {"no bitmap", {{"valueRef", "fm.pat.common.level"}, {"textWriterRef", "w0"}},
         "There is no bitmap reference for static text picture. : main.b\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTraceCapture trace;
        CVeyStaticTextPictureControl control;
        EXPECT_FALSE(Build(control, c.attributes));
        EXPECT_EQ(trace.Text(), c.line);
    }
    // A bitmap whose file is missing fails creation.
    auto bitmap = std::make_unique<CVeyStateBitmap>();
    auto attributes = TestAttributes({{"name", "gone"}, {"stateCount", "2"}});
    ASSERT_TRUE(bitmap->Load(attributes));
    CVeyResourceManager::GetInstance().GetBitmaps().Insert("gone", std::move(bitmap));
    CTraceCapture trace;
    CVeyStaticTextPictureControl control;
    EXPECT_FALSE(Build(control, {{"valueRef", "fm.pat.common.level"}, {"textWriterRef", "w0"}, {"bitmapRef", "gone"}}));
    EXPECT_EQ(trace.Text(), "Unable to read bitmap file. : gone : " + folder.File("gone.bmp") +
                                "\nUnable to create bitmap for static text picture. : main.b\n");
}
