#include "editor/CEditorAbout.h"

#include "editor/EditorNames.h"
#include "editor/EditorResources.h"
#include "platform/Dialog.h"
#include "toolkit/gt/VersionInfo.h"
#include "toolkit/ul/AboutDialog.h"

namespace
{
// The template and the version block's entries the box shows, made once.
void RegisterAboutBox()
{
    static const bool registered = [] {
        GT::SetVersionString("FileDescription", CEditorNames::GetApplicationName());
        GT::SetVersionString("LegalCopyright", "Copyright (C) 2026 " + CEditorNames::GetMakerName());
        CDialogTemplate t;
        t.caption = "About";
        t.width = 340;
        t.height = 124;
        t.items = {
            {EDialogControl::Static, IDC_ABOUT_ICON, "", RECT{16, 16, 48, 48}, WS_VISIBLE | SS_ICON},
            {EDialogControl::Static, IDC_ABOUT_DESCRIPTION, "", RECT{64, 16, 324, 34}},
            {EDialogControl::Static, IDC_ABOUT_VERSION, "", RECT{64, 38, 324, 56}},
            {EDialogControl::Static, IDC_ABOUT_LEGAL, "", RECT{64, 60, 324, 78}},
            {EDialogControl::Button, IDOK, "OK", RECT{248, 88, 324, 114}, WS_VISIBLE | BS_DEFPUSHBUTTON},
        };
        RegisterDialogTemplate(IDD_ABOUTBOX, t);
        return true;
    }();
    (void)registered;
}
}

void ShowEditorAbout()
{
    RegisterAboutBox();
    // Normally loaded at start-up; again here so the box shows it whoever opens it.
    LoadProgramIcon();
    UL::CAboutDialog about(IDD_ABOUTBOX, IDI_PROGRAM, IDC_ABOUT_ICON, IDC_ABOUT_DESCRIPTION, IDC_ABOUT_VERSION,
                           IDC_ABOUT_LEGAL);
    about.DoModal();
}
