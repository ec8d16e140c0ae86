#include "platform/GuiBootstrap.h"

#include <gtest/gtest.h>

#include <cstdlib>

// Tests that need windows, fonts or the event loop run on Qt's offscreen platform.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    CGuiBootstrap application(argc, argv);
    return RUN_ALL_TESTS();
}
