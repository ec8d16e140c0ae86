#include "librarian/gp/DlgLayout.h"

#include <gtest/gtest.h>

namespace
{
// A template of 200 x 100 pixels; the window grew to 300 x 150.
const RECT kDialog{0, 0, 200, 100};
const RECT kClient{0, 0, 300, 150};
const RECT kItem{20, 10, 60, 30};

TEST(DlgLayoutTest, AnchorsMoveStretchOrScaleEachEdge)
{
    struct Case
    {
        const char* name;
        UINT anchors;
        POINT scroll;
        RECT expected;
    } cases[] = {
        {"no anchors keep the place", 0x00, {0, 0}, {20, 10, 60, 30}},
        {"left and top anchors keep the place", 0x05, {0, 0}, {20, 10, 60, 30}},
        {"right anchor follows the right edge", 0x02, {0, 0}, {120, 10, 160, 30}},
        {"left and right anchors stretch", 0x03, {0, 0}, {20, 10, 160, 30}},
        {"left anchor with proportional right", 0x11, {0, 0}, {20, 10, 90, 30}},
        {"right anchor with proportional left", 0x12, {0, 0}, {30, 10, 160, 30}},
        {"both edges proportional", 0x13, {0, 0}, {30, 10, 90, 30}},
        {"proportional alone counts as no anchor", 0x10, {0, 0}, {20, 10, 60, 30}},
        {"bottom anchor follows the bottom", 0x08, {0, 0}, {20, 60, 60, 80}},
        {"top and bottom stretch", 0x0C, {0, 0}, {20, 10, 60, 80}},
        {"top with proportional bottom", 0x24, {0, 0}, {20, 10, 60, 45}},
        {"bottom with proportional top", 0x28, {0, 0}, {20, 15, 60, 80}},
        {"both vertical edges proportional", 0x2C, {0, 0}, {20, 15, 60, 45}},
        {"list box stretched both ways", 0x0F, {0, 0}, {20, 10, 160, 80}},
        {"scrolled view moves controls up and left", 0x00, {7, 40}, {13, -30, 53, -10}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CRect(c.expected), CRect(GP::CDlgLayout::ComputeRect(kDialog, kClient, kItem, c.anchors, c.scroll)));
    }
}

TEST(DlgLayoutTest, ProportionalFlagsIgnoredForTemplateWithoutExtent)
{
    const RECT flat{0, 0, 0, 0};
    EXPECT_EQ(CRect(20, 10, 360, 30), CRect(GP::CDlgLayout::ComputeRect(flat, kClient, kItem, 0x33, {0, 0})));
    EXPECT_EQ(CRect(20, 10, 360, 180), CRect(GP::CDlgLayout::ComputeRect(flat, kClient, kItem, 0x3F, {0, 0})));
}

TEST(DlgLayoutTest, ScalingTruncatesTowardZeroWithoutOverflow)
{
    // 301 * 20 / 200 = 30.1 and with a negative client origin the result is negative.
    EXPECT_EQ(30, GP::CDlgLayout::ComputeRect(kDialog, {0, 0, 301, 100}, kItem, 0x13, {0, 0}).left);
    EXPECT_EQ(-3, GP::CDlgLayout::ComputeRect(kDialog, {0, 0, -35, 100}, kItem, 0x13, {0, 0}).left);
    const RECT huge = GP::CDlgLayout::ComputeRect(kDialog, {0, 0, 2000000000, 100}, {0, 0, 200, 10}, 0x13, {0, 0});
    EXPECT_EQ(2000000000, huge.right);
}
}
