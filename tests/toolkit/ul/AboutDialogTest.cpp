#include "toolkit/ul/AboutDialog.h"

#include "InteractiveTestSupport.h"

#include "toolkit/gt/VersionInfo.h"

#include <gtest/gtest.h>

TEST(AboutDialog, VersionText)
{
    struct Case
    {
        const char* name;
        const char* product;
        bool detailed;
        const char* text;
    } cases[] = {
        {"without Ctrl only the file version", "1,2,0,5", false, "Version 1.2.0.5"},
        {"with Ctrl the four product numbers", "1,2,0,5", true, "Version 1.2.0.5 (1205)"},
        {"missing numbers count 0", "3,1", true, "Version 1.2.0.5 (3100)"},
        {"no numbers at all", "", true, "Version 1.2.0.5 (0000)"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(UL::CAboutDialog::VersionText("1.2.0.5", c.product, c.detailed), c.text);
    }
}

TEST(AboutDialog, FilledFromTheVersionBlock)
{
    constexpr UINT kTemplate = 9201;
    CDialogTemplate t;
    t.caption = "About";
    t.width = 300;
    t.height = 120;
    t.items = {
        {EDialogControl::Static, 10, "", RECT{12, 12, 44, 44}, WS_VISIBLE | SS_ICON},
        {EDialogControl::Static, 11, "", RECT{56, 12, 290, 30}},
        {EDialogControl::Static, 12, "", RECT{56, 34, 290, 52}},
        {EDialogControl::Static, 13, "", RECT{56, 56, 290, 74}},
        {EDialogControl::Button, IDOK, "OK", RECT{214, 84, 290, 110}, WS_VISIBLE | BS_DEFPUSHBUTTON},
    };
    RegisterDialogTemplate(kTemplate, t);
    GT::SetVersionString("FileDescription", "Talvarix Editor");
    GT::SetVersionString("LegalCopyright", "Copyright (C) Vantor");

    UL::CAboutDialog about(kTemplate, UL::CAboutDialog::kSystemIcon, 10, 11, 12, 13);
    std::string caption, description, version, legal;
    UlTest::CPostedActions actions;
    actions.Post([&] {
        caption = about.GetWindowText();
        description = about.GetDlgItemText(11);
        version = about.GetDlgItemText(12);
        legal = about.GetDlgItemText(13);
        UiDriver::PressKey(VK_RETURN);
    });
    actions.PostEndEverything();
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_EQ(caption, "About Talvarix Editor");
    EXPECT_EQ(description, "Talvarix Editor");
    EXPECT_EQ(version, "Version " + GT::GetVersionString("FileVersion"));
    EXPECT_EQ(legal, "Copyright (C) Vantor");
}
