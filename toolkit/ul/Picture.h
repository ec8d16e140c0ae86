#pragma once
// Bitmap pictures of the script-driven interface: loaded from image files for the screen's device
// pixel ratio (a "@2x" twin on a 200 % screen; 32-bit images with alpha are kept premultiplied),
// optionally resized once, and drawn whole, in parts, stretched with an own nearest-neighbour
// resampler, or through a mask, always in logical pixels. A state picture treats one bitmap as a
// strip of equally sized frames and draws one of them.
#include "platform/Gdi.h"

#include <memory>
#include <string>

namespace UL
{
// Save formats.
enum : int
{
    PICTURE_BMP = 4,
    PICTURE_JPEG = 5,
    PICTURE_PNG = 6,
    PICTURE_GIF = 7,
};

class APicture
{
public:
    virtual ~APicture() = default;
    virtual CSize GetSize() const = 0;
    // A size of (0, 0) draws the whole picture.
    virtual bool Draw(CDC* dc, CPoint dest, CSize size, CPoint source) = 0;
    virtual bool DrawStretched(CDC* dc, CPoint dest, CSize destSize, CPoint source, CSize sourceSize) = 0;
    virtual bool DrawMasked(CDC* dc, CPoint dest, CSize size, CPoint imageSource, CPoint maskSource) = 0;
    virtual bool CopyFrom(const APicture& picture) = 0;
    virtual bool Resize(CSize size, bool keepAspect) = 0;
    virtual bool Load(const std::string& path) = 0;
    virtual bool Save(const std::string& path, int format) const = 0;
    virtual void Clear() = 0;
};

class CPicture : public APicture
{
public:
    explicit CPicture(bool ownResampling);

    CSize GetSize() const override;
    bool Draw(CDC* dc, CPoint dest, CSize size, CPoint source) override;
    bool DrawStretched(CDC* dc, CPoint dest, CSize destSize, CPoint source, CSize sourceSize) override;
    bool DrawMasked(CDC* dc, CPoint dest, CSize size, CPoint imageSource, CPoint maskSource) override;
    bool CopyFrom(const APicture& picture) override;
    bool Resize(CSize size, bool keepAspect) override;
    bool Load(const std::string& path) override;
    bool Save(const std::string& path, int format) const override;
    void Clear() override;

    bool HasAlpha() const { return m_hasAlpha; }
    const CBitmap& GetBitmap() const { return m_bitmap; }
    CBitmap& GetBitmap() { return m_bitmap; }
    // Marks the bitmap as holding premultiplied alpha (for pictures built in memory).
    void SetHasAlpha(bool hasAlpha) { m_hasAlpha = hasAlpha; }

private:
    bool m_ownResampling;
    CBitmap m_bitmap;
    // A memory device context with m_bitmap selected: the source of the picture's blits, made
    // once instead of for every draw.
    CDC m_source;
    bool m_hasAlpha = false;
    int32_t m_transparentColour = -1;
};

// Nearest-neighbour resampling of `source` (a part of `from`, in its logical pixels) to the whole
// of `to`: destination device pixel (x, y) takes source device pixel (x * source width /
// destination width, y * ...), truncated, the source counted in `from`'s device pixels.
bool Resample(const CBitmap& from, const CRect& source, CBitmap& to);

class IPictureFactory
{
public:
    virtual ~IPictureFactory() = default;
    virtual APicture* CreatePicture() = 0;   // the caller owns the picture
};

class CPictureFactory : public IPictureFactory
{
public:
    static CPictureFactory& Instance();
    APicture* CreatePicture() override { return new CPicture(true); }
};

class CStatePicture
{
public:
    CStatePicture();
    virtual ~CStatePicture() = default;

    APicture& GetPicture() { return *m_picture; }
    const APicture& GetPicture() const { return *m_picture; }
    int32_t GetStateCount() const { return m_states; }
    void SetStateCount(int32_t states) { m_states = states; }
    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal) { m_horizontal = horizontal; }
    bool HasMasks() const { return m_twoRows; }
    void SetMasks(bool twoRows) { m_twoRows = twoRows; }

    // The size of one frame; a state count below 1 counts as 1.
    CSize GetStateSize() const;
    bool DrawState(CDC* dc, CPoint dest, int32_t state);

private:
    std::unique_ptr<APicture> m_picture;
    int32_t m_states = 1;
    bool m_horizontal = false;
    bool m_twoRows = false;
};
}
