#pragma once
// A font with a text colour, kept in the profile as a face name, the 13 numbers of its logical
// font and the colour, and chosen with the font dialog.
#include "platform/Gdi.h"

#include <string>

class CWnd;

namespace GP
{
class CFontEx : public CFont
{
public:
    CFontEx() = default;

    // Reads "<prefix>FaceName", "<prefix>Attribute" and "<prefix>Color" from the section, unless a
    // font is already made. Without a usable stored font the interface font's description is used.
    void ReadProfile(const char* section, const char* prefix);
    // Writes the three entries when a font is made.
    void WriteProfile(const char* section, const char* prefix) const;
    // Runs the font dialog on the current font; on OK the font is made anew from the choice.
    intptr_t ChooseFont(DWORD flags, CWnd* parent = nullptr);

    COLORREF GetColor() const { return m_color; }
    void SetColor(COLORREF color) { m_color = color; }

    // The 13 numbers of a logical font as stored, and back. False (font untouched) when the text
    // holds fewer than the five leading numbers; the byte fields missing behind them get their
    // usual values.
    static std::string FormatAttribute(const LOGFONT& font);
    static bool ParseAttribute(const char* text, LOGFONT& font);

private:
    COLORREF m_color = 0;
};
}
