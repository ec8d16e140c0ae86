// Draws the editor's start-up picture (bitmap resource 3074) and, when asked, the program's icon
// (resource 3072) at build time, so the program carries no binary picture in its sources: the
// application's name, what it is for, its version and maker; the icon is a knob on the
// instrument's dark panel. Beside the start-up picture goes its "@2x" twin for 200 % screens.
// Usage: q9ee_make_splash <output.bmp | output.png> [<icon.png>]
#include "generated/Version.h"
#include "platform/Gdi.h"
#include "platform/GuiBootstrap.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace
{
constexpr int kWidth = 420;
constexpr int kHeight = 220;

void SelectFont(CDC& dc, CFont& font, int pixels, int weight)
{
    LOGFONT description;
    description.lfHeight = -pixels;
    description.lfWeight = weight;
    std::strncpy(description.lfFaceName, "DejaVu Sans", LF_FACESIZE - 1);
    font.CreateFontIndirect(&description);
    dc.SelectObject(&font);
}

// A 64-pixel square: the dark panel with an amber knob whose pointer stands at two o'clock.
bool DrawIcon(const char* path)
{
    constexpr int kSize = 64;
    CBitmap icon;
    if (!icon.CreateBitmap(kSize, kSize))
        return false;
    for (int y = 0; y < kSize; ++y)
    {
        const uint32_t shade = static_cast<uint32_t>(70 - y * 36 / kSize);
        uint32_t* row = icon.GetRow(y);
        for (int x = 0; x < kSize; ++x)
            row[x] = 0xFF000000u | (shade << 16) | (shade << 8) | (shade + 4);
    }
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr))
        return false;
    CBitmap* old = dc.SelectObject(&icon);
    // The knob as a 16-sided polygon, then its pointer.
    POINT rim[16];
    for (int i = 0; i < 16; ++i)
    {
        const double angle = i * 3.14159265358979 / 8;
        rim[i] = POINT{32 + static_cast<int>(22 * std::cos(angle)), 32 + static_cast<int>(22 * std::sin(angle))};
    }
    CBrush amber;
    amber.CreateSolidBrush(RGB(240, 168, 40));
    CPen edge;
    edge.CreatePen(PS_SOLID, 1, RGB(150, 96, 16));
    CBrush* oldBrush = dc.SelectObject(&amber);
    CPen* oldPen = dc.SelectObject(&edge);
    dc.Polygon(rim, 16);
    CPen pointer;
    pointer.CreatePen(PS_SOLID, 4, RGB(40, 40, 44));
    dc.SelectObject(&pointer);
    dc.MoveTo(32, 32);
    dc.LineTo(48, 20);
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
    dc.SelectObject(old);
    return icon.SaveFile(path, "PNG") != FALSE;
}

// The picture at `scale` device pixels per pixel: the same drawing, with twice the detail at 2.
bool DrawPicture(CBitmap& picture, int scale)
{
    if (!picture.CreateBitmap(kWidth, kHeight, scale))
        return false;
    // A dark panel, lighter at the top, as the instrument's front panel.
    const CSize pixels = picture.GetPixelSize();
    for (int y = 0; y < pixels.cy; ++y)
    {
        const uint32_t shade = static_cast<uint32_t>(58 - y * 36 / pixels.cy);
        uint32_t* row = picture.GetRow(y);
        for (int x = 0; x < pixels.cx; ++x)
            row[x] = 0xFF000000u | (shade << 16) | (shade << 8) | (shade + 4);
    }

    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr))
        return false;
    CBitmap* old = dc.SelectObject(&picture);
    dc.SetBkMode(TRANSPARENT);
    // An amber line under the name, the colour of the instrument's display.
    dc.FillSolidRect(CRect(32, 108, kWidth - 32, 111), RGB(240, 168, 40));

    CFont title;
    SelectFont(dc, title, 34, FW_BOLD);
    dc.SetTextColor(RGB(244, 244, 240));
    CRect area(32, 46, kWidth - 32, 104);
    dc.DrawText("Talvarix Editor", &area, DT_LEFT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);

    CFont subtitle;
    SelectFont(dc, subtitle, 14, FW_NORMAL);
    dc.SetTextColor(RGB(196, 196, 190));
    area = CRect(32, 120, kWidth - 32, 142);
    dc.DrawText("Patches and settings of the Talvarix synthesizer", &area, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);

    CFont small;
    SelectFont(dc, small, 12, FW_NORMAL);
    dc.SetTextColor(RGB(150, 150, 146));
    area = CRect(32, kHeight - 38, kWidth - 32, kHeight - 18);
    dc.DrawText("Version " Q9_VERSION_STRING, &area, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc.DrawText("Vantor", &area, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc.SelectObject(old);
    return true;
}
}

// Writes the picture for 100 % screens at the path given and its twin for 200 % screens beside it,
// then the icon where asked.
int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3)
    {
        std::fprintf(stderr, "usage: %s <output.bmp> [<icon.png>]\n", argv[0]);
        return 2;
    }
    int qtArgc = 1;
    CGuiBootstrap bootstrap(qtArgc, argv);
    if (argc == 3 && !DrawIcon(argv[2]))
    {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }

    // The program reads its resources as BMP files; a PNG is written for a person to look at.
    const std::string path = argv[1];
    const bool png = path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0;
    for (int scale : {1, 2})
    {
        const std::string file = scale == 1 ? path : GetDoubleScalePicturePath(path);
        CBitmap picture;
        if (!DrawPicture(picture, scale) || !picture.SaveFile(file.c_str(), png ? "PNG" : "BMP"))
        {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], file.c_str());
            return 1;
        }
    }
    return 0;
}
