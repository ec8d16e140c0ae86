#include "toolkit/ul/Picture.h"

#include <cmath>

namespace UL
{
namespace
{
// A memory device context with the picture's bitmap selected, as a blit source.
struct CSourceDC
{
    CDC dc;
    explicit CSourceDC(CBitmap& bitmap)
    {
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
    }
};
}

CPicture::CPicture(bool ownResampling) : m_ownResampling(ownResampling)
{
    m_source.CreateCompatibleDC(nullptr);
    m_source.SelectObject(&m_bitmap);
}

CSize CPicture::GetSize() const
{
    return m_bitmap.IsNull() ? CSize(0, 0) : m_bitmap.GetSize();
}

bool CPicture::Draw(CDC* dc, CPoint dest, CSize size, CPoint source)
{
    if (!dc || m_bitmap.IsNull())
        return false;
    if (size.cx == 0 && size.cy == 0)
        size = GetSize();
    if (size.cx < 1 || size.cy < 1)
        return false;
    if (m_hasAlpha)
        return dc->AlphaBlend(dest.x, dest.y, size.cx, size.cy, &m_source, source.x, source.y, size.cx, size.cy,
                              BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}) != FALSE;
    return dc->BitBlt(dest.x, dest.y, size.cx, size.cy, &m_source, source.x, source.y, SRCCOPY) != FALSE;
}

namespace
{
// The device pixels of `from` under a rectangle of its logical pixels.
CRect DevicePixels(const CBitmap& from, const CRect& logical)
{
    const double ratio = from.GetDevicePixelRatio();
    if (ratio == 1.0)
        return logical;
    const auto map = [ratio](int32_t v) { return static_cast<int32_t>(std::floor(v * ratio + 0.5)); };
    return CRect(map(logical.left), map(logical.top), map(logical.right), map(logical.bottom));
}
}

bool Resample(const CBitmap& from, const CRect& logicalSource, CBitmap& to)
{
    const CSize target = to.GetPixelSize();
    if (from.IsNull() || to.IsNull() || logicalSource.IsRectEmpty())
        return false;
    const CRect source = DevicePixels(from, logicalSource);
    const CSize fromSize = from.GetPixelSize();
    // The column of every destination x, computed once per call.
    std::vector<int> columns(static_cast<size_t>(target.cx));
    for (int x = 0; x < target.cx; ++x)
        columns[static_cast<size_t>(x)] =
            source.left + static_cast<int>(static_cast<double>(x) * source.Width() / target.cx);
    for (int y = 0; y < target.cy; ++y)
    {
        const int sy = source.top + static_cast<int>(static_cast<double>(y) * source.Height() / target.cy);
        uint32_t* out = to.GetRow(y);
        const uint32_t* in = from.GetRow(sy);
        for (int x = 0; x < target.cx; ++x)
        {
            const int sx = columns[static_cast<size_t>(x)];
            out[x] = in && sx >= 0 && sx < fromSize.cx ? in[sx] : 0xFF000000u;
        }
    }
    return true;
}

bool CPicture::DrawStretched(CDC* dc, CPoint dest, CSize destSize, CPoint source, CSize sourceSize)
{
    if (!dc || m_bitmap.IsNull() || destSize.cx < 1 || destSize.cy < 1)
        return false;
    if (sourceSize.cx == 0 && sourceSize.cy == 0)
        sourceSize = GetSize();
    if (sourceSize.cx < 1 || sourceSize.cy < 1)
        return false;
    if (!m_ownResampling)
        return dc->StretchBlt(dest.x, dest.y, destSize.cx, destSize.cy, &m_source, source.x, source.y, sourceSize.cx,
                              sourceSize.cy, SRCCOPY) != FALSE;
    // Stretched at the picture's own resolution, so a picture drawn for the screen stays sharp.
    CBitmap stretched;
    if (!stretched.CreateBitmap(destSize.cx, destSize.cy, m_bitmap.GetDevicePixelRatio()) ||
        !Resample(m_bitmap, CRect(source, sourceSize), stretched))
        return false;
    CSourceDC out(stretched);
    return dc->BitBlt(dest.x, dest.y, destSize.cx, destSize.cy, &out.dc, 0, 0, SRCCOPY) != FALSE;
}

bool CPicture::DrawMasked(CDC* dc, CPoint dest, CSize size, CPoint imageSource, CPoint maskSource)
{
    if (!dc || m_bitmap.IsNull() || size.cx < 1 || size.cy < 1)
        return false;
    return dc->BitBlt(dest.x, dest.y, size.cx, size.cy, &m_source, maskSource.x, maskSource.y, SRCAND) &&
           dc->BitBlt(dest.x, dest.y, size.cx, size.cy, &m_source, imageSource.x, imageSource.y, SRCPAINT);
}

bool CPicture::CopyFrom(const APicture& picture)
{
    const auto* other = dynamic_cast<const CPicture*>(&picture);
    if (!other)
        return false;
    if (other == this)
        return true;
    Clear();
    m_ownResampling = other->m_ownResampling;
    m_hasAlpha = other->m_hasAlpha;
    m_transparentColour = other->m_transparentColour;
    if (other->m_bitmap.IsNull())
        return true;
    return m_bitmap.CopyFrom(other->m_bitmap);
}

bool CPicture::Resize(CSize size, bool keepAspect)
{
    const CSize current = GetSize();
    if (current.cx < 1 || current.cy < 1 || size.cx < 1 || size.cy < 1)
        return false;
    if (keepAspect)
    {
        const double widthRatio = static_cast<double>(size.cx) / current.cx;
        const double heightRatio = static_cast<double>(size.cy) / current.cy;
        if (widthRatio > heightRatio)
            size.cx = static_cast<int32_t>(std::lround(current.cx * heightRatio));
        else
            size.cy = static_cast<int32_t>(std::lround(current.cy * widthRatio));
        if (size.cx < 1 || size.cy < 1)
            return false;
    }
    if (size == current)
        return true;
    CBitmap resized;
    if (!resized.CreateBitmap(size.cx, size.cy, m_bitmap.GetDevicePixelRatio()) ||
        !Resample(m_bitmap, CRect(CPoint(0, 0), current), resized))
        return false;
    m_bitmap.CopyFrom(resized);
    return true;
}

bool CPicture::Load(const std::string& path)
{
    CBitmap loaded;
    bool alpha = false;
    if (!loaded.LoadPicture(path.c_str(), GetScreenDevicePixelRatio(), &alpha))
        return false;
    Clear();
    m_bitmap.CopyFrom(loaded);
    m_hasAlpha = alpha;
    return true;
}

bool CPicture::Save(const std::string& path, int format) const
{
    const char* codec = nullptr;
    switch (format)
    {
    case PICTURE_BMP: codec = "BMP"; break;
    case PICTURE_JPEG: codec = "JPG"; break;
    case PICTURE_PNG: codec = "PNG"; break;
    case PICTURE_GIF: codec = "GIF"; break;
    default: return false;
    }
    return m_bitmap.SaveFile(path.c_str(), codec) != FALSE;
}

void CPicture::Clear()
{
    m_bitmap.DeleteObject();
    m_hasAlpha = false;
    m_transparentColour = -1;
}

CPictureFactory& CPictureFactory::Instance()
{
    static CPictureFactory factory;
    return factory;
}

CStatePicture::CStatePicture() : m_picture(CPictureFactory::Instance().CreatePicture()) {}

CSize CStatePicture::GetStateSize() const
{
    CSize size = m_picture->GetSize();
    const int32_t states = std::max<int32_t>(m_states, 1);
    if (m_horizontal)
    {
        size.cx /= states;
        if (m_twoRows)
            size.cy /= 2;
    }
    else
    {
        size.cy /= states;
        if (m_twoRows)
            size.cx /= 2;
    }
    return size;
}

bool CStatePicture::DrawState(CDC* dc, CPoint dest, int32_t state)
{
    const CSize size = GetStateSize();
    if (size.cx < 1 || size.cy < 1)
        return false;
    const int64_t along = static_cast<int64_t>(state) * (m_horizontal ? size.cx : size.cy);
    if (along < INT32_MIN || along > INT32_MAX)
        return false;
    const CPoint source = m_horizontal ? CPoint(static_cast<int32_t>(along), 0) : CPoint(0, static_cast<int32_t>(along));
    if (!m_twoRows)
        return m_picture->Draw(dc, dest, size, source);
    const CPoint mask = m_horizontal ? CPoint(source.x, size.cy) : CPoint(size.cx, source.y);
    return m_picture->DrawMasked(dc, dest, size, source, mask);
}
}
