#include "toolkit/ul/AboutDialog.h"

#include "platform/Controls.h"
#include "toolkit/gt/VersionInfo.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace UL
{
CAboutDialog::CAboutDialog(UINT templateId, UINT iconResourceId, UINT iconItemId, UINT descriptionItemId,
                           UINT versionItemId, UINT legalItemId)
    : CDialog(templateId),
      m_iconResourceId(iconResourceId),
      m_iconItemId(iconItemId),
      m_descriptionItemId(descriptionItemId),
      m_versionItemId(versionItemId),
      m_legalItemId(legalItemId)
{
}

std::string CAboutDialog::VersionText(const std::string& fileVersion, const std::string& productVersion, bool detailed)
{
    std::string text = "Version " + fileVersion;
    if (!detailed)
        return text;
    // Read as "%d,%d,%d,%d" would: up to four comma-separated numbers, the missing ones 0.
    int32_t numbers[4] = {0, 0, 0, 0};
    const char* p = productVersion.c_str();
    for (int i = 0; i < 4; ++i)
    {
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(p, &end, 10);
        if (end == p)
            break;
        numbers[i] = static_cast<int32_t>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
        p = end;
        if (*p != ',')
            break;
        ++p;
    }
    text += " (" + std::to_string(numbers[0]) + std::to_string(numbers[1]) + std::to_string(numbers[2]) +
            std::to_string(numbers[3]) + ")";
    return text;
}

BOOL CAboutDialog::OnInitDialog()
{
    const std::string description = GT::GetModuleVersionString("FileDescription");
    SetWindowText(("About " + description).c_str());
    // The program's icon stands for every icon resource: there are no icon resources here.
    if (auto* icon = static_cast<CStatic*>(GetDlgItem(m_iconItemId)))
        icon->SetApplicationIcon();
    SetDlgItemText(m_descriptionItemId, description.c_str());
    const bool detailed = GetKeyState(VK_CONTROL) < 0;
    SetDlgItemText(m_versionItemId, VersionText(GT::GetModuleVersionString("FileVersion"),
                                                GT::GetModuleVersionString("ProductVersion"), detailed)
                                        .c_str());
    SetDlgItemText(m_legalItemId, GT::GetModuleVersionString("LegalCopyright").c_str());
    return CDialog::OnInitDialog();
}
}
