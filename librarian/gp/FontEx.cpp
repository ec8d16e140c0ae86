#include "librarian/gp/FontEx.h"

#include "librarian/gp/Numbers.h"
#include "platform/Dialog.h"
#include "platform/FontDialog.h"
#include "platform/Profile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace GP
{
namespace
{
std::string Key(const char* prefix, const char* name)
{
    return std::string(prefix ? prefix : "") + name;
}
}

std::string CFontEx::FormatAttribute(const LOGFONT& f)
{
    return Format("%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d", f.lfHeight, f.lfWidth, f.lfEscapement, f.lfOrientation,
                  f.lfWeight, f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision,
                  f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily);
}

bool CFontEx::ParseAttribute(const char* text, LOGFONT& font)
{
    int v[13] = {0, 0, 0, 0, 0, 0, 0, 0, 128, 3, 2, 0, 49};
    const int count = std::sscanf(text ? text : "", "%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d", &v[0], &v[1], &v[2],
                                  &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11], &v[12]);
    // Fewer than five numbers would leave the size and weight unset.
    if (count < 5)
        return false;
    font.lfHeight = v[0];
    font.lfWidth = v[1];
    font.lfEscapement = v[2];
    font.lfOrientation = v[3];
    font.lfWeight = v[4];
    BYTE* bytes[8] = {&font.lfItalic,       &font.lfUnderline,      &font.lfStrikeOut, &font.lfCharSet,
                      &font.lfOutPrecision, &font.lfClipPrecision, &font.lfQuality,   &font.lfPitchAndFamily};
    for (int i = 0; i < 8; ++i)
        *bytes[i] = static_cast<BYTE>(v[5 + i]);
    return true;
}

void CFontEx::ReadProfile(const char* section, const char* prefix)
{
    if (!IsNull())
        return;
    const std::string face = GetProfileString(section, Key(prefix, "FaceName"), "");
    const std::string attribute = GetProfileString(section, Key(prefix, "Attribute"), "");
    LOGFONT font;
    bool stored = false;
    if (!face.empty() && !attribute.empty())
    {
        stored = ParseAttribute(attribute.c_str(), font);
        // The face field holds 31 characters and the terminator.
        std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
        std::memcpy(font.lfFaceName, face.data(), std::min<size_t>(face.size(), LF_FACESIZE - 1));
    }
    if (!stored)
        GetDefaultGuiFont()->GetLogFont(&font);
    CreateFontIndirect(&font);
    m_color = static_cast<COLORREF>(GetProfileInt(section, Key(prefix, "Color"), 0));
}

void CFontEx::WriteProfile(const char* section, const char* prefix) const
{
    if (IsNull())
        return;
    LOGFONT font;
    GetLogFont(&font);
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, font.lfFaceName, LF_FACESIZE);
    WriteProfileString(section, Key(prefix, "FaceName"), face);
    WriteProfileString(section, Key(prefix, "Attribute"), FormatAttribute(font));
    WriteProfileInt(section, Key(prefix, "Color"), static_cast<int32_t>(m_color));
}

intptr_t CFontEx::ChooseFont(DWORD flags, CWnd* parent)
{
    LOGFONT font;
    if (IsNull())
        GetDefaultGuiFont()->GetLogFont(&font);
    else
        GetLogFont(&font);
    CFontDialog dialog(&font, flags, parent);
    dialog.m_color = m_color;
    const intptr_t result = dialog.DoModal();
    if (result == IDOK)
    {
        m_color = dialog.GetColor();
        dialog.GetCurrentFont(&font);
        DeleteObject();
        CreateFontIndirect(&font);
    }
    return result;
}
}
