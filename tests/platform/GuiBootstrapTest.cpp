#include "platform/GuiBootstrap.h"

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
