#include "librarian/gp/DialogResource.h"
#include "librarian/gp/DlgTempl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<uint8_t> FromHex(const std::string& hex)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size();)
    {
        if (hex[i] == ' ')
        {
            ++i;
            continue;
        }
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

// A plain template with a font, an ordinal class, creation data (3 bytes, so the second item
// needs alignment padding) and a class given by name.
const char* const kPlainTemplate =
    "40000000 00000000 0200 0000 0000 6400 3200"   // DS_SETFONT, 2 items, 100 x 50
    "0000 0000 4100 0000"                          // no menu, standard class, title "A"
    "0800 4200 0000"                               // 8 points, face "B"
    "00000050 00000000 0500 0600 1400 0A00 0700"   // item id 7 at 5,6 size 20x10
    "FFFF 8200 7800 0000 0300 AABBCC 00"           // static, "x", 3 bytes of data, padding
    "00000000 00000000 0100 0200 0300 0400 3412"   // item id 0x1234 at 1,2 size 3x4
    "4500 0000 0000 0000";                         // class "E", no title, no data

TEST(DlgTemplTest, ParsesPlainTemplateWithFontAndAlignedItems)
{
    const std::vector<uint8_t> image = FromHex(kPlainTemplate);
    GP::CDlgTempl dialog;
    ASSERT_TRUE(dialog.Parse(image.data(), image.size()));
    EXPECT_FALSE(dialog.IsExtended());
    EXPECT_EQ(CRect(0, 0, 100, 50), dialog.GetRect());
    ASSERT_NE(nullptr, dialog.GetItem(7));
    EXPECT_EQ(CRect(5, 6, 25, 16), dialog.GetItem(7)->GetRect());
    EXPECT_EQ(0x50000000u, dialog.GetItem(7)->GetStyle());
    ASSERT_NE(nullptr, dialog.GetItem(0x1234));
    EXPECT_EQ(CRect(1, 2, 4, 6), dialog.GetItem(0x1234)->GetRect());
}

TEST(DlgTemplTest, TruncatedImageIsRefusedAndLeavesTheCopyEmpty)
{
    const std::vector<uint8_t> image = FromHex(kPlainTemplate);
    for (size_t size = 0; size < image.size(); ++size)
    {
        SCOPED_TRACE(size);
        GP::CDlgTempl dialog;
        EXPECT_FALSE(dialog.Parse(image.data(), size));
        EXPECT_FALSE(dialog.IsLoaded());
        EXPECT_EQ(nullptr, dialog.GetItem(7));
    }
}

TEST(DlgTemplTest, ExtendedTemplateRoundTripAndSharedIdsAreNotFound)
{
    GP::SDialogResource resource;
    resource.caption = "Window";
    resource.cx = 213;
    resource.cy = 159;
    resource.items = {
        {EDialogControl::Static, IDC_STATIC, "one", 5, 5, 40, 8},
        {EDialogControl::Static, IDC_STATIC, "two", 5, 15, 40, 8},
        {EDialogControl::Button, 57163, "Open(&O)", 165, 5, 40, 15},
        {EDialogControl::Edit, 70000, "", 1, 2, 3, 4},
    };
    GP::RegisterDialogResource(9001, GP::BuildDialogResource(resource));
    GP::CDlgTempl dialog;
    ASSERT_TRUE(dialog.Load(9001));
    EXPECT_TRUE(dialog.IsExtended());
    EXPECT_EQ(4, dialog.GetItemCount());
    EXPECT_EQ(CRect(0, 0, 213, 159), dialog.GetRect());
    EXPECT_EQ(nullptr, dialog.GetItem(IDC_STATIC));
    ASSERT_NE(nullptr, dialog.GetItem(57163));
    EXPECT_EQ(CRect(165, 5, 205, 20), dialog.GetItem(57163)->GetRect());
    ASSERT_NE(nullptr, dialog.GetItem(70000));   // extended items have 32-bit ids

    // Loading again, or a missing resource, discards the previous copy.
    EXPECT_FALSE(dialog.Load(9002));
    EXPECT_EQ(nullptr, dialog.GetItem(57163));
}
}
