#pragma once
// The font dialog with CFontDialog's shape: it starts on a logical font and a text colour, and on
// OK gives the chosen font's description. The system's dialog offers no colour choice, so the
// colour given comes back unchanged.
#include "platform/Gdi.h"

#include <memory>

constexpr DWORD CF_SCREENFONTS = 0x00000001;
constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
constexpr DWORD CF_EFFECTS = 0x00000100;

class CWnd;

class CFontDialog
{
public:
    CFontDialog(const LOGFONT* initial, DWORD flags, CWnd* parent = nullptr);
    ~CFontDialog();
    CFontDialog(const CFontDialog&) = delete;
    CFontDialog& operator=(const CFontDialog&) = delete;

    // IDOK or IDCANCEL.
    intptr_t DoModal();
    void GetCurrentFont(LOGFONT* font) const;
    COLORREF GetColor() const { return m_color; }

    // The colour the dialog starts with (CHOOSEFONT's rgbColors).
    COLORREF m_color = 0;

private:
    LOGFONT m_font;
    DWORD m_flags;
    CWnd* m_parent;
};
