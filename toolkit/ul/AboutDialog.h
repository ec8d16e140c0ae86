#pragma once
// The about box, filled from the program's version block when it opens: the caption and the
// description from "FileDescription", "Version " and "FileVersion" (with the product version's
// four numbers behind it while Ctrl is held), and "LegalCopyright".
#include "platform/Dialog.h"

#include <cstdint>
#include <string>

namespace UL
{
class CAboutDialog : public CDialog
{
public:
    static constexpr UINT kSystemIcon = 0xFFFFFFFF;

    CAboutDialog(UINT templateId, UINT iconResourceId, UINT iconItemId, UINT descriptionItemId, UINT versionItemId,
                 UINT legalItemId);

    // "Version " + file version; with `detailed`, " (abcd)" of the product version's "a,b,c,d"
    // (missing numbers count 0).
    static std::string VersionText(const std::string& fileVersion, const std::string& productVersion, bool detailed);

protected:
    BOOL OnInitDialog() override;

private:
    UINT m_iconResourceId;
    UINT m_iconItemId;
    UINT m_descriptionItemId;
    UINT m_versionItemId;
    UINT m_legalItemId;
};
}
