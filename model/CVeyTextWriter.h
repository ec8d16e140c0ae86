#pragma once
// Named text writers ("textWriter" elements): the font, colours, alignment and background that
// controls draw their texts with, or a bitmap font whose states are the characters 32..126.
#include "model/CVeyResource.h"
#include "platform/Gdi.h"
#include "toolkit/gt/ValueTypes.h"

#include <string>

class IVeyStateImage;
namespace UL
{
class CDrawInfo;
}

// Colours are three 16-bit components; drawing uses the high byte of each. Components are read
// with "%hi", so "65280" is stored as -256: the high byte is taken from the 16 bits as they stand.
COLORREF VeyColorFromTriple(const GT::CShortTriple& colour);

struct CVeyFontSettings
{
    enum EHorizontal : int32_t
    {
        LEFT = 0,
        CENTER = 1,
        RIGHT = 2
    };
    enum EVertical : int32_t
    {
        TOP = 0,
        MIDDLE = 1,
        BOTTOM = 2
    };
    enum EBackground : int32_t
    {
        OPAQUE_BACKGROUND = 0,
        TRANSPARENT_BACKGROUND = 1
    };

    std::string faceName;
    int32_t height = 10;
    GT::CShortTriple fontColor{0, 0, 0};
    GT::CShortTriple backgroundColor{-256, -256, -256};   // 65280,65280,65280
    bool vertical = false;
    int32_t horizontalAlignment = LEFT;
    int32_t verticalAlignment = MIDDLE;
    int32_t backgroundMode = OPAQUE_BACKGROUND;
};

class CVeyTextWriter : public CVeyResource
{
public:
    // "name", then the writer's attributes; ends with SetFont. False at the first bad value.
    bool Load(CAttributes& attributes) override;

    virtual bool SetFont(const CVeyFontSettings& settings) = 0;
    virtual bool GetFont(CVeyFontSettings& settings) const = 0;
    // One line of text into the rectangle.
    virtual void Draw(const UL::CDrawInfo& info, const CRect& rect, const std::string& text) = 0;

    bool GetTruncate() const { return m_truncate; }
    void SetTruncate(bool truncate) { m_truncate = truncate; }
    IVeyStateImage* GetBitmapFont() const { return m_bitmapFont; }
    void SetBitmapFont(IVeyStateImage* bitmap) { m_bitmapFont = bitmap; }

protected:
    bool m_truncate = true;
    IVeyStateImage* m_bitmapFont = nullptr;   // a bitmap resource of the resource manager
};

// The text writer that draws with a GDI font.
class CTextWriter : public CVeyTextWriter
{
public:
    bool SetFont(const CVeyFontSettings& settings) override;
    bool GetFont(CVeyFontSettings& settings) const override;
    void Draw(const UL::CDrawInfo& info, const CRect& rect, const std::string& text) override;

private:
    void DrawBitmapText(const UL::CDrawInfo& info, const CRect& rect, const std::string& text);
    // The text cut to fit `room` pixels with "..." appended, or the text itself when it fits.
    std::string Truncated(CDC& dc, const std::string& text, int32_t room, bool* truncated);

    CFont m_font;
    CVeyFontSettings m_settings;
    int32_t m_ellipsisWidth = -1;   // of "..." in this writer's font, measured on first use
};
