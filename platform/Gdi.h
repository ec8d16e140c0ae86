#pragma once
// A GDI-shaped drawing context over an image back buffer (32-bit premultiplied ARGB, no
// antialiasing). Memory device contexts draw into the bitmap selected into them; a CPaintDC draws
// into a window's back buffer during OnPaint. Lines keep GDI's pixel set: a line leaves out its
// last pixel.
//
// Everything above the platform works in logical pixels. A bitmap has a device pixel ratio: 1 for
// the bitmaps made here and pictures read at 100 %, the screen's ratio for a window's back buffer,
// 2 for a picture read from its "@2x" file. Drawing maps logical coordinates onto the target's
// device pixels: fills and blits by their edges, text and shapes at device resolution, and a blit
// between bitmaps of the same ratio copies device pixels one to one.
#include "platform/Geometry.h"

#include <memory>
#include <string>
#include <vector>

class CWnd;
class CDC;

// Raster operations of BitBlt and StretchBlt.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;   // OR
constexpr DWORD SRCAND = 0x008800C6;     // AND
constexpr DWORD SRCINVERT = 0x00660046;  // XOR
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// DrawText formats.
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

// SetTextAlign.
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;

// SetBkMode.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_NULL = 5;

// Clip region kinds.
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// AlphaBlend.
constexpr BYTE AC_SRC_OVER = 0;
constexpr BYTE AC_SRC_ALPHA = 1;
struct BLENDFUNCTION
{
    BYTE BlendOp;
    BYTE BlendFlags;
    BYTE SourceConstantAlpha;
    BYTE AlphaFormat;
};

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr int LF_FACESIZE = 32;

struct LOGFONT
{
    int32_t lfHeight = 0;       // negative: character height in pixels; positive: cell height
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;   // tenths of a degree; 900 draws text running upward
    int32_t lfOrientation = 0;
    int32_t lfWeight = FW_NORMAL;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 1;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};
};

struct TEXTMETRIC
{
    int32_t tmHeight;
    int32_t tmAscent;
    int32_t tmDescent;
    int32_t tmAveCharWidth;
    int32_t tmMaxCharWidth;
};

// The face every font falls back to, so that text looks the same on every machine.
extern const char* const kDefaultFontFace;

class CGdiObject
{
public:
    virtual ~CGdiObject() = default;
};

// A 32-bit bitmap (premultiplied ARGB, top-down rows of 32-bit pixels 0xAARRGGBB).
class CBitmap : public CGdiObject
{
public:
    CBitmap();
    ~CBitmap() override;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // Black, opaque, `width` x `height` logical pixels of `devicePixelRatio` device pixels each.
    // FALSE for sizes below 1 or above 16384 device pixels on a side, or a ratio outside 1..8.
    BOOL CreateBitmap(int width, int height, double devicePixelRatio = 1.0);
    // A bitmap of the device pixel ratio of what `dc` draws into (1 without a context).
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    // As CreateBitmap, with the pixels zeroed (transparent black).
    BOOL CreateDIBSection(int width, int height, double devicePixelRatio = 1.0);
    BOOL CopyFrom(const CBitmap& other);
    void DeleteObject();
    bool IsNull() const;

    // The size in logical pixels.
    CSize GetSize() const;
    // The size in device pixels, the unit of GetRow.
    CSize GetPixelSize() const;
    double GetDevicePixelRatio() const;
    // Row `y` of device pixels, or null out of range.
    uint32_t* GetRow(int y);
    const uint32_t* GetRow(int y) const;

    // Reads an image file, choosing the codec from its contents. With `hasAlpha`, tells whether
    // the file had an alpha channel; the pixels are then premultiplied as value * alpha / 255.
    // The bitmap's device pixel ratio is 1.
    BOOL LoadFile(const char* path, bool* hasAlpha = nullptr);
    // Reads a picture for a screen of `devicePixelRatio`: above 1, the file's "@2x" twin beside it
    // ("knob@2x.png" for "knob.png") when there is one exactly twice the size of the file, as a
    // bitmap of ratio 2 and the file's logical size; otherwise the file itself, which drawing
    // then scales up pixel by pixel.
    BOOL LoadPicture(const char* path, double devicePixelRatio, bool* hasAlpha = nullptr);
    // Writes the bitmap with the codec of `format` ("BMP", "PNG", "JPG", "GIF"). With
    // `straightAlpha` the pixels are taken as they stand, not as premultiplied.
    BOOL SaveFile(const char* path, const char* format, bool straightAlpha = false) const;

    struct Impl;
    Impl* GetImpl() const { return d.get(); }

private:
    std::unique_ptr<Impl> d;
};

class CPen : public CGdiObject
{
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
    BOOL CreatePen(int style, int width, COLORREF colour)
    {
        m_style = style;
        m_width = width;
        m_colour = colour;
        return TRUE;
    }
    int m_style = PS_SOLID;
    int m_width = 1;
    COLORREF m_colour = 0;
};

class CBrush : public CGdiObject
{
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    BOOL CreateSolidBrush(COLORREF colour)
    {
        m_colour = colour;
        m_null = false;
        return TRUE;
    }
    COLORREF m_colour = 0;
    bool m_null = true;
};

class CFont : public CGdiObject
{
public:
    CFont() = default;
    BOOL CreateFontIndirect(const LOGFONT* font);
    BOOL CreatePointFont(int tenthsOfPoint, const char* face);
    BOOL GetLogFont(LOGFONT* font) const;
    void DeleteObject() { m_created = false; }
    bool IsNull() const { return !m_created; }
    const LOGFONT& Log() const { return m_log; }

private:
    LOGFONT m_log;
    bool m_created = false;
};

// The font for plain interface text (DEFAULT_GUI_FONT).
CFont* GetDefaultGuiFont();

// Device pixels per logical pixel of the primary screen (1 without one); pictures are read for it.
double GetScreenDevicePixelRatio();
// The "@2x" twin of a picture file's path: "dir/name@2x.ext" for "dir/name.ext".
std::string GetDoubleScalePicturePath(const std::string& path);

class CDC
{
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A memory device context; it draws nothing until a bitmap is selected into it.
    BOOL CreateCompatibleDC(CDC* dc);

    // Select returns the object selected before (null when it was the default).
    CBitmap* SelectObject(CBitmap* bitmap);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);

    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    UINT SetTextAlign(UINT align);
    UINT GetTextAlign() const;

    // Saved states are numbered from 1; RestoreDC(-1) restores the latest.
    int SaveDC();
    BOOL RestoreDC(int saved);

    int IntersectClipRect(const RECT& rect);
    int ExcludeClipRect(const RECT& rect);
    // Null removes the clip rectangle set on this context.
    int SelectClipRect(const RECT* rect);
    int GetClipBox(RECT* rect) const;
    BOOL RectVisible(const RECT& rect) const;
    BOOL PtVisible(int x, int y) const;
    // The clip region as its rectangles (logical, before the viewport origin is taken off).
    std::vector<RECT> GetClipRects() const;

    // Device pixels per logical pixel of what the context draws into: its bitmap, its window's
    // back buffer, or for a memory context without a bitmap the context it was made compatible with.
    double GetDevicePixelRatio() const;

    // Shifts every later drawing by (x, y) logical pixels.
    CPoint SetViewportOrg(int x, int y);
    CPoint GetViewportOrg() const;

    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, int sw, int sh, DWORD rop);
    // Copies the pixels whose colour is not `transparent`, stretching when the sizes differ.
    BOOL TransparentBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, int sw, int sh,
                        COLORREF transparent);
    // Premultiplied source-over blend, with a constant alpha on top.
    BOOL AlphaBlend(int x, int y, int width, int height, CDC* source, int sx, int sy, int sw, int sh,
                    BLENDFUNCTION blend);

    void FillRect(const RECT& rect, CBrush* brush);
    void FillSolidRect(const RECT& rect, COLORREF colour);
    void FrameRect(const RECT& rect, CBrush* brush);
    COLORREF SetPixel(int x, int y, COLORREF colour);
    // CLR_INVALID outside the bitmap or the clip.
    COLORREF GetPixel(int x, int y) const;
    CPoint MoveTo(int x, int y);
    CPoint GetCurrentPosition() const;
    // Draws with the selected pen from the current position to (x, y), leaving out (x, y) itself.
    BOOL LineTo(int x, int y);
    BOOL Polyline(const POINT* points, int count);
    // Fills with the selected brush (alternate rule) and outlines with the selected pen.
    BOOL Polygon(const POINT* points, int count);
    BOOL Rectangle(const RECT& rect);

    // Draws text into the rectangle: single or multiple lines, alignment, end ellipsis,
    // DT_CALCRECT. Returns the text height.
    int DrawText(const char* text, int length, RECT* rect, UINT format);
    int DrawText(const std::string& text, RECT* rect, UINT format)
    {
        return DrawText(text.c_str(), static_cast<int>(text.size()), rect, format);
    }
    // Draws text at the reference point set by the text alignment, in the direction of the font's
    // escapement.
    BOOL TextOut(int x, int y, const char* text, int length);
    BOOL TextOut(int x, int y, const std::string& text)
    {
        return TextOut(x, y, text.c_str(), static_cast<int>(text.size()));
    }
    // Width and height of the text along its own direction, in the selected font.
    CSize GetTextExtent(const char* text, int length) const;
    CSize GetTextExtent(const std::string& text) const
    {
        return GetTextExtent(text.c_str(), static_cast<int>(text.size()));
    }
    BOOL GetTextMetrics(TEXTMETRIC* metrics) const;

    // The bitmap drawn into (null when none).
    CBitmap* GetTargetBitmap() const;

    struct Impl;
    Impl* GetImpl() const { return d.get(); }

protected:
    std::unique_ptr<Impl> d;
};

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Draws into a window's back buffer from OnPaint, clipped to the region being painted.
class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC() override;
    // The bounding rectangle of the region being painted.
    RECT m_rcPaint;
    // The rectangles that make up that region.
    std::vector<RECT> GetUpdateRects() const;
};

// Draws into a window's back buffer outside OnPaint; the window shows it at its next paint.
class CClientDC : public CDC
{
public:
    explicit CClientDC(CWnd* window);
    ~CClientDC() override;

private:
    CWnd* m_window;
};
