#pragma once
// The librarian's about box: the common about box with its first two arguments exchanged.
#include "toolkit/ul/AboutDialog.h"

namespace UL
{
class CAboutDialogA : public CAboutDialog
{
public:
    CAboutDialogA(UINT iconResourceId, UINT templateId, UINT iconItemId, UINT descriptionItemId, UINT versionItemId,
                  UINT legalItemId)
        : CAboutDialog(templateId, iconResourceId, iconItemId, descriptionItemId, versionItemId, legalItemId)
    {
    }
};
}
