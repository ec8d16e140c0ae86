#include "librarian/gp/FontEx.h"

#include "tests/librarian/gp/GpTestSupport.h"

#include <cstring>
#include <string>

namespace
{
class FontExTest : public GpTest::CProfileFixture
{
};

TEST_F(FontExTest, ProfileRoundTripKeepsAllThirteenNumbersFaceAndColour)
{
    LOGFONT log;
    log.lfHeight = -15;
    log.lfWidth = 3;
    log.lfEscapement = 900;
    log.lfOrientation = 900;
    log.lfWeight = 700;
    log.lfItalic = 1;
    log.lfUnderline = 1;
    log.lfStrikeOut = 0;
    log.lfCharSet = 128;
    log.lfOutPrecision = 3;
    log.lfClipPrecision = 2;
    log.lfQuality = 1;
    log.lfPitchAndFamily = 49;
    std::strcpy(log.lfFaceName, "Mono Face");
    GP::CFontEx written;
    ASSERT_TRUE(written.CreateFontIndirect(&log));
    written.SetColor(RGB(10, 20, 30));
    written.WriteProfile("Option", "Font");

    EXPECT_EQ("-15,3,900,900,700,1,1,0,128,3,2,1,49", GetProfileString("Option", "FontAttribute"));
    EXPECT_EQ("Mono Face", GetProfileString("Option", "FontFaceName"));

    GP::CFontEx read;
    EXPECT_TRUE(read.IsNull());
    read.ReadProfile("Option", "Font");
    ASSERT_FALSE(read.IsNull());
    LOGFONT back;
    read.GetLogFont(&back);
    EXPECT_EQ(0, std::memcmp(&log, &back, sizeof log));
    EXPECT_EQ(RGB(10, 20, 30), read.GetColor());
}

TEST_F(FontExTest, StoredAttributesFallBackWhereMissingOrUnusable)
{
    LOGFONT gui;
    GetDefaultGuiFont()->GetLogFont(&gui);
    struct Case
    {
        const char* name;
        const char* face;
        const char* attribute;
        bool usesStored;
    } cases[] = {
        {"five numbers take the usual byte fields", "Face", "-12,0,0,0,400", true},
        {"fewer than five numbers use the interface font", "Face", "-12,0,0", false},
        {"garbage uses the interface font", "Face", "big,font", false},
        {"empty face uses the interface font", "", "-12,0,0,0,400", false},
        {"missing attribute uses the interface font", "Face", "", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        WriteProfileString("Option", "FontFaceName", c.face);
        WriteProfileString("Option", "FontAttribute", c.attribute);
        GP::CFontEx font;
        font.ReadProfile("Option", "Font");
        LOGFONT log;
        font.GetLogFont(&log);
        if (c.usesStored)
        {
            EXPECT_EQ(-12, log.lfHeight);
            EXPECT_EQ(400, log.lfWeight);
            EXPECT_EQ("0,0,0,128,3,2,0,49",
                      GP::CFontEx::FormatAttribute(log).substr(GP::CFontEx::FormatAttribute(log).find("400,") + 4));
        }
        else
        {
            EXPECT_EQ(gui.lfHeight, log.lfHeight);
            EXPECT_STREQ(gui.lfFaceName, log.lfFaceName);
        }
    }
}

TEST_F(FontExTest, LongFaceNameIsCutToThirtyOneCharacters)
{
    WriteProfileString("Option", "FontFaceName", std::string(80, 'F'));
    WriteProfileString("Option", "FontAttribute", "-12,0,0,0,400,0,0,0,128,3,2,0,49");
    GP::CFontEx font;
    font.ReadProfile("Option", "Font");
    LOGFONT log;
    font.GetLogFont(&log);
    EXPECT_EQ(std::string(31, 'F'), std::string(log.lfFaceName));
}

TEST_F(FontExTest, ReadProfileLeavesAnAttachedFontAlone)
{
    GP::CFontEx font;
    LOGFONT log;
    log.lfHeight = -20;
    font.CreateFontIndirect(&log);
    WriteProfileString("Option", "FontFaceName", "Face");
    WriteProfileString("Option", "FontAttribute", "-12,0,0,0,400");
    font.ReadProfile("Option", "Font");
    font.GetLogFont(&log);
    EXPECT_EQ(-20, log.lfHeight);

    GP::CFontEx empty;
    empty.WriteProfile("Option", "Empty");
    EXPECT_EQ("none", GetProfileString("Option", "EmptyAttribute", "none"));
}

TEST_F(FontExTest, ChooseFontTakesTheChoiceOnOkAndKeepsTheFontOnCancel)
{
    GP::CFontEx font;
    font.ReadProfile("Option", "Font");
    font.SetColor(RGB(1, 2, 3));
    LOGFONT before;
    font.GetLogFont(&before);

    GpTest::CPostedActions actions;
    actions.Post([] { EXPECT_TRUE(UiDriver::FinishFontDialog("", 0, 0, false, false)); });
    actions.PostEndEverything();
    EXPECT_EQ(IDCANCEL, font.ChooseFont(CF_SCREENFONTS | CF_EFFECTS));
    LOGFONT after;
    font.GetLogFont(&after);
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before));

    const std::string face = before.lfFaceName;
    actions.Post([face] { EXPECT_TRUE(UiDriver::FinishFontDialog(face.c_str(), 30, 700, true, true)); });
    actions.PostEndEverything();
    EXPECT_EQ(IDOK, font.ChooseFont(CF_SCREENFONTS | CF_EFFECTS));
    font.GetLogFont(&after);
    EXPECT_FALSE(font.IsNull());
    EXPECT_NEAR(-30, after.lfHeight, 1);   // the dialog counts in whole points
    EXPECT_EQ(700, after.lfWeight);
    EXPECT_EQ(1, after.lfItalic);
    EXPECT_EQ(RGB(1, 2, 3), font.GetColor());
}
}
