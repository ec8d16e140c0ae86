#include "platform/GuiBootstrap.h"

#include "platform/Gdi.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

TEST(GuiBootstrap, TestsRunOnTheOffscreenPlatform)
{
    ASSERT_TRUE(CGuiBootstrap::Exists());
    EXPECT_STREQ(CGuiBootstrap::PlatformName(), "offscreen");
}

TEST(GuiBootstrap, NumbersUseTheCLocale)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", 1.25);
    EXPECT_STREQ(text, "1.25");
    EXPECT_DOUBLE_EQ(std::strtod("2.5", nullptr), 2.5);
}

TEST(GuiBootstrap, TheProgramIconComesFromAnImageFileOrStaysAsItWas)
{
    CTempDir folder;
    CBitmap picture;
    ASSERT_TRUE(picture.CreateBitmap(16, 16));
    ASSERT_TRUE(picture.SaveFile(folder.File("icon.png").c_str(), "PNG"));
    EXPECT_TRUE(SetProgramIcon(folder.File("icon.png")));
    EXPECT_FALSE(SetProgramIcon(folder.File("missing.png")));
    std::FILE* text = std::fopen(folder.File("text.png").c_str(), "w");
    ASSERT_NE(text, nullptr);
    std::fputs("not a picture", text);
    std::fclose(text);
    EXPECT_FALSE(SetProgramIcon(folder.File("text.png")));
}
