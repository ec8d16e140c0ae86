#include "platform/GuiBootstrap.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    UseCNumericLocale();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
