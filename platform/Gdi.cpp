#include "platform/Gdi.h"
#include "platform/GifEncoder.h"

#include "platform/Gdi_p.h"
#include "platform/TextCodec_p.h"
#include "platform/Wnd_p.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPolygon>
#include <QScreen>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

const char* const kDefaultFontFace = "DejaVu Sans";

namespace
{
constexpr int kMaxBitmapSide = 16384;

uint32_t PixelFromColour(COLORREF c)
{
    return 0xFF000000u | (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
           static_cast<uint32_t>(GetBValue(c));
}

COLORREF ColourFromPixel(uint32_t p)
{
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

QColor QColorFrom(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Coordinates far out (they may come from scripts) are brought in first, so that no width
// overflows; nothing is drawn that far out anyway.
QRect QRectFrom(const RECT& r)
{
    const auto in = [](int32_t v) { return std::clamp<int32_t>(v, -(1 << 28), 1 << 28); };
    return QRect(QPoint(in(r.left), in(r.top)), QPoint(in(r.right) - 1, in(r.bottom) - 1));
}

QString TextFrom(const char* text, int length)
{
    if (!text || length <= 0)
        return QString();
    return PlatformDetail::TextFromBytes(text, strnlen(text, static_cast<size_t>(length)));
}

int RegionKind(const QRegion& region)
{
    if (region.isEmpty())
        return NULLREGION;
    return region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// A logical coordinate in device pixels, kept far inside int's range (coordinates come from
// scripts, and nothing is drawn that far out anyway).
int DeviceFromLogical(int v, qreal ratio)
{
    constexpr double kFar = 1 << 28;
    return static_cast<int>(std::floor(std::clamp(v * ratio, -kFar, kFar) + 0.5));
}

// Nearest-neighbour source coordinate of destination offset `d` of `dSize` over `sSize`.
int MapCoordinate(int d, int dSize, int sSize)
{
    return static_cast<int>(static_cast<int64_t>(d) * sSize / dSize);
}

// Calls `rect(r)` for each rectangle `r` of `pixelArea` (in the target's device pixels) that the
// clip of `dc` lets through on `target`, none of them empty. A clip of one rectangle, the common
// case of a paint, is met without building a region.
template <typename Rect>
void ForEachPixelRect(const CDC::Impl& dc, const QImage& target, const QRect& pixelArea, Rect rect)
{
    QRect clip;
    if (!dc.hasSystemClip && !dc.state.hasClip)
        clip = target.rect();
    else if (!dc.SimplePixelClip(target, clip))
    {
        for (const QRect& r : dc.PixelClip().intersected(pixelArea))
            rect(r);
        return;
    }
    const QRect visible = pixelArea & clip;
    if (!visible.isEmpty())
        rect(visible);
}

// Calls `row(pixels, y, left, right)` for each row stretch of `pixelArea` (in the target's device
// pixels) that the clip of `dc` lets through on `target`, `pixels` being the target's row y. The
// target is detached once, not per row.
template <typename Row>
void ForEachPixelRow(const CDC::Impl& dc, QImage& target, const QRect& pixelArea, Row row)
{
    uchar* const bits = target.bits();
    const qsizetype bytesPerLine = target.bytesPerLine();
    ForEachPixelRect(dc, target, pixelArea, [&](const QRect& r) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            row(reinterpret_cast<uint32_t*>(bits + y * bytesPerLine), y, r.left(), r.right());
    });
}

// As ForEachPixelRow for the device pixels under `area`, in logical coordinates after the origin.
template <typename Row>
void ForEachRow(const CDC::Impl& dc, QImage& target, const QRect& area, Row row)
{
    ForEachPixelRow(dc, target, PixelsFromLogical(area, target.devicePixelRatio()), row);
}

// Calls `pixel(source, destination)` for each destination pixel of a blit of the `sourceArea`
// device pixels of `source` onto the `destination` device pixels of the target, scaled
// nearest-neighbour, inside the clip and the source. Unscaled rows go without per-pixel mapping.
template <typename Pixel>
void ForEachBlitPixel(const CDC::Impl& dc, QImage& target, const QImage& source, const QRect& destination,
                      const QRect& sourceArea, Pixel pixel)
{
    const QPoint origin = destination.topLeft();
    const QSize size = destination.size();
    const QPoint sourceOrigin = sourceArea.topLeft();
    const QSize sourceSize = sourceArea.size();
    const bool unscaled = size == sourceSize;
    const uchar* const sourceBits = source.constBits();
    const qsizetype sourceBytesPerLine = source.bytesPerLine();
    const int sourceWidth = source.width();
    const int sourceHeight = source.height();
    ForEachPixelRow(dc, target, destination, [&](uint32_t* out, int y, int left, int right) {
        const int sy = sourceOrigin.y() + MapCoordinate(y - origin.y(), size.height(), sourceSize.height());
        if (sy < 0 || sy >= sourceHeight)
            return;
        const auto* in = reinterpret_cast<const uint32_t*>(sourceBits + sy * sourceBytesPerLine);
        if (unscaled)
        {
            // Source column = x + shift; keep the columns that fall inside the source.
            const int shift = sourceOrigin.x() - origin.x();
            const int from = std::max(left, -shift);
            const int to = std::min(right, sourceWidth - 1 - shift);
            for (int x = from; x <= to; ++x)
                pixel(in[x + shift], out[x]);
            return;
        }
        for (int x = left; x <= right; ++x)
        {
            const int sx = sourceOrigin.x() + MapCoordinate(x - origin.x(), size.width(), sourceSize.width());
            if (sx >= 0 && sx < sourceWidth)
                pixel(in[sx], out[x]);
        }
    });
}

// The device pixels of a blit: the destination's on the target and the source's on the source
// image, each mapped from logical rectangles by its own image's ratio. Empty when either is.
struct SBlitArea
{
    QRect destination;
    QRect source;
    bool IsEmpty() const { return destination.isEmpty() || source.isEmpty(); }
};

SBlitArea BlitArea(const QImage& target, QRect destination, const QImage& source, QRect sourceArea)
{
    return SBlitArea{PixelsFromLogical(destination, target.devicePixelRatio()),
                     PixelsFromLogical(sourceArea, source.devicePixelRatio())};
}

// Bresenham from a to b without b itself, as GDI draws a one-pixel line.
template <typename Plot>
void ForEachLinePixel(QPoint a, QPoint b, Plot plot)
{
    int x = a.x(), y = a.y();
    const int dx = std::abs(b.x() - x), dy = -std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
    int error = dx + dy;
    while (x != b.x() || y != b.y())
    {
        plot(x, y);
        const int e2 = 2 * error;
        if (e2 >= dy)
        {
            error += dy;
            x += sx;
        }
        if (e2 <= dx)
        {
            error += dx;
            y += sy;
        }
    }
}

QImage* SourceImage(CDC* source)
{
    return source ? source->GetImpl()->Target() : nullptr;
}

// The source's pixels as a blit reads them: a copy when the source is also the destination, so
// overlapping copies read old pixels, and otherwise the source itself.
const QImage& SourceSnapshot(const QImage* source, const QImage* target, std::optional<QImage>& copy)
{
    if (source != target)
        return *source;
    return copy.emplace(source->copy());
}

uint32_t Blend(uint32_t src, uint32_t dst, int constantAlpha, bool sourceAlpha)
{
    const int srcAlpha = sourceAlpha ? static_cast<int>(src >> 24) : 255;
    const int effective = srcAlpha * constantAlpha / 255;
    uint32_t out = 0;
    for (int shift = 0; shift <= 24; shift += 8)
    {
        const int s = static_cast<int>((src >> shift) & 0xFF);
        const int sv = shift == 24 && !sourceAlpha ? 255 : s;
        const int dv = static_cast<int>((dst >> shift) & 0xFF);
        const int v = std::min(255, sv * constantAlpha / 255 + dv * (255 - effective) / 255);
        out |= static_cast<uint32_t>(v) << shift;
    }
    return out;
}

uint32_t ApplyRop(uint32_t src, uint32_t dst, DWORD rop)
{
    switch (rop)
    {
    case SRCCOPY: return src;
    case SRCAND: return src & dst;
    case SRCPAINT: return src | dst;
    case SRCINVERT: return (src ^ dst) | 0xFF000000u;
    case BLACKNESS: return 0xFF000000u;
    case WHITENESS: return 0xFFFFFFFFu;
    default: return src;
    }
}
}

// ---- fonts ----

QFont QFontFromLogFont(const LOGFONT& log)
{
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, log.lfFaceName, LF_FACESIZE);
    const std::string name(face);
    QFont font(name.empty() || name == "DEFAULT_GUI_FONT" || name == "MS Shell Dlg" ? QString::fromLatin1(kDefaultFontFace)
                                                                                     : PlatformDetail::TextFromBytes(name));
    // A negative height is the character height; a positive one the cell height, which for the
    // fallback face is about 1.16 times the character height.
    int pixels = log.lfHeight < 0 ? -log.lfHeight : static_cast<int>(std::lround(log.lfHeight / 1.164));
    if (log.lfHeight == 0)
        pixels = 12;
    font.setPixelSize(std::clamp(pixels, 1, 2000));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(log.lfWeight == 0 ? FW_NORMAL : log.lfWeight, 1, 1000)));
    font.setItalic(log.lfItalic != 0);
    font.setUnderline(log.lfUnderline != 0);
    font.setStrikeOut(log.lfStrikeOut != 0);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    return font;
}

BOOL CFont::CreateFontIndirect(const LOGFONT* font)
{
    if (!font)
        return FALSE;
    m_log = *font;
    m_log.lfFaceName[LF_FACESIZE - 1] = '\0';
    m_created = true;
    return TRUE;
}

BOOL CFont::CreatePointFont(int tenthsOfPoint, const char* face)
{
    LOGFONT log;
    log.lfHeight = -std::max(1, tenthsOfPoint * 96 / 720);
    std::strncpy(log.lfFaceName, face ? face : "", LF_FACESIZE - 1);
    return CreateFontIndirect(&log);
}

BOOL CFont::GetLogFont(LOGFONT* font) const
{
    if (!font || !m_created)
        return FALSE;
    *font = m_log;
    return TRUE;
}

CFont* GetDefaultGuiFont()
{
    static CFont font = [] {
        CFont f;
        LOGFONT log;
        log.lfHeight = -11;
        std::strncpy(log.lfFaceName, kDefaultFontFace, LF_FACESIZE - 1);
        f.CreateFontIndirect(&log);
        return f;
    }();
    return &font;
}

// ---- bitmaps ----

CBitmap::CBitmap() : d(std::make_unique<Impl>()) {}
CBitmap::~CBitmap() = default;

BOOL CBitmap::CreateBitmap(int width, int height, double devicePixelRatio)
{
    if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        !(devicePixelRatio >= 1.0 && devicePixelRatio <= 8.0))
        return FALSE;
    const QSize pixels = PixelsFromLogical(QRect(0, 0, width, height), devicePixelRatio).size();
    if (pixels.width() > kMaxBitmapSide || pixels.height() > kMaxBitmapSide)
        return FALSE;
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return FALSE;
    image.fill(0xFF000000u);
    image.setDevicePixelRatio(devicePixelRatio);
    d->image = image;
    return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    return CreateBitmap(width, height, dc ? dc->GetDevicePixelRatio() : 1.0);
}

BOOL CBitmap::CreateDIBSection(int width, int height, double devicePixelRatio)
{
    if (!CreateBitmap(width, height, devicePixelRatio))
        return FALSE;
    d->image.fill(0u);
    return TRUE;
}

BOOL CBitmap::CopyFrom(const CBitmap& other)
{
    d->image = other.d->image.copy();
    d->image.setDevicePixelRatio(other.d->image.devicePixelRatio());
    return d->image.isNull() == other.d->image.isNull();
}

void CBitmap::DeleteObject() { d->image = QImage(); }
bool CBitmap::IsNull() const { return d->image.isNull(); }

CSize CBitmap::GetSize() const
{
    const QSize size = LogicalSize(d->image);
    return CSize(size.width(), size.height());
}

CSize CBitmap::GetPixelSize() const { return CSize(d->image.width(), d->image.height()); }
double CBitmap::GetDevicePixelRatio() const { return d->image.devicePixelRatio(); }

uint32_t* CBitmap::GetRow(int y)
{
    if (d->image.isNull() || y < 0 || y >= d->image.height())
        return nullptr;
    return reinterpret_cast<uint32_t*>(d->image.scanLine(y));
}

const uint32_t* CBitmap::GetRow(int y) const
{
    if (d->image.isNull() || y < 0 || y >= d->image.height())
        return nullptr;
    return reinterpret_cast<const uint32_t*>(d->image.constScanLine(y));
}

BOOL CBitmap::LoadFile(const char* path, bool* hasAlpha)
{
    QImageReader reader(QString::fromLocal8Bit(path ? path : ""));
    reader.setDecideFormatFromContent(true);
    QImage loaded = reader.read();
    if (loaded.isNull() || loaded.width() > kMaxBitmapSide || loaded.height() > kMaxBitmapSide)
        return FALSE;
    const bool alpha = loaded.hasAlphaChannel();
    const QImage straight = loaded.convertToFormat(QImage::Format_ARGB32);
    const int width = straight.width();
    const int height = straight.height();
    QImage result(width, height, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return FALSE;
    // Premultiply by integer division, as the alpha-blending draw expects, straight into the
    // result's rows; opaque and fully transparent pixels, most of a picture, need no division.
    for (int y = 0; y < height; ++y)
    {
        const auto* from = reinterpret_cast<const uint32_t*>(straight.constScanLine(y));
        auto* to = reinterpret_cast<uint32_t*>(result.scanLine(y));
        if (!alpha)
        {
            std::memcpy(to, from, static_cast<size_t>(width) * 4);
            continue;
        }
        for (int x = 0; x < width; ++x)
        {
            const uint32_t p = from[x];
            const uint32_t a = p >> 24;
            if (a == 255)
                to[x] = p;
            else if (a == 0)
                to[x] = 0;
            else
                to[x] = (a << 24) | ((((p >> 16) & 0xFF) * a / 255) << 16) | ((((p >> 8) & 0xFF) * a / 255) << 8) |
                        ((p & 0xFF) * a / 255);
        }
    }
    d->image = result;
    if (hasAlpha)
        *hasAlpha = alpha;
    return TRUE;
}

std::string GetDoubleScalePicturePath(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + "@2x";
    return path.substr(0, dot) + "@2x" + path.substr(dot);
}

double GetScreenDevicePixelRatio()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 1.0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

BOOL CBitmap::LoadPicture(const char* path, double devicePixelRatio, bool* hasAlpha)
{
    if (path && devicePixelRatio > 1.0)
    {
        // The twin is taken only when it fits the file exactly: frames and offsets are counted in
        // the file's pixels, and a twin of another size would cut them wrongly.
        const QString file = QString::fromLocal8Bit(path);
        const QString twin = QString::fromLocal8Bit(GetDoubleScalePicturePath(path).c_str());
        QImageReader fileReader(file), twinReader(twin);
        fileReader.setDecideFormatFromContent(true);
        twinReader.setDecideFormatFromContent(true);
        const QSize size = fileReader.size();
        if (size.isValid() && QFileInfo::exists(twin) && twinReader.size() == size * 2 &&
            LoadFile(twin.toLocal8Bit().constData(), hasAlpha))
        {
            if (GetPixelSize() == CSize(size.width() * 2, size.height() * 2))
            {
                d->image.setDevicePixelRatio(2.0);
                return TRUE;
            }
        }
    }
    return LoadFile(path, hasAlpha);
}

BOOL CBitmap::SaveFile(const char* path, const char* format, bool straightAlpha) const
{
    if (d->image.isNull() || !path || !format)
        return FALSE;
    QImage image = d->image;
    if (straightAlpha)
        image.reinterpretAsFormat(QImage::Format_ARGB32);
    if (std::strcmp(format, "PNG") != 0)
        image = image.convertToFormat(QImage::Format_RGB32);
    // Encoded in memory first, then put in place whole: a format that cannot be written, a full
    // disk or a folder that refuses the file leaves an existing file untouched.
    QByteArray encoded;
    if (std::strcmp(format, "GIF") == 0)
    {
        // Qt reads GIF but cannot write it.
        std::vector<uint8_t> gif;
        const GifEncoding::CPixels pixels{reinterpret_cast<const uint32_t*>(image.constBits()), image.width(),
                                          image.height(), static_cast<size_t>(image.bytesPerLine()) / 4};
        if (!GifEncoding::Encode(pixels, gif))
            return FALSE;
        encoded = QByteArray(reinterpret_cast<const char*>(gif.data()), static_cast<qsizetype>(gif.size()));
    }
    else
    {
        QBuffer buffer(&encoded);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, QByteArray(format).toLower());
        if (!writer.write(image))
            return FALSE;
    }
    // Unbuffered: a write the disk refuses fails here, instead of in the flush on closing, whose
    // failure would not stop the half-written file from replacing the old one.
    QSaveFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(encoded) == encoded.size() &&
                   file.commit()
               ? TRUE
               : FALSE;
}

// ---- device contexts ----

QImage* CDC::Impl::Target() const
{
    if (state.bitmap && !state.bitmap->GetImpl()->image.isNull())
        return &state.bitmap->GetImpl()->image;
    if (windowBuffer && !windowBuffer->isNull())
        return windowBuffer;
    return nullptr;
}

qreal CDC::Impl::Ratio() const
{
    const QImage* target = Target();
    return target ? target->devicePixelRatio() : compatibleRatio;
}

QRegion CDC::Impl::EffectiveClip() const
{
    QImage* target = Target();
    if (!target)
        return QRegion();
    QRegion clip(QRect(QPoint(0, 0), LogicalSize(*target)));
    if (hasSystemClip)
        clip &= systemClip;
    if (state.hasClip)
        clip &= state.clip;
    return clip;
}

bool CDC::Impl::SimplePixelClip(const QImage& target, QRect& pixels) const
{
    if ((hasSystemClip && systemClip.rectCount() > 1) || (state.hasClip && state.clip.rectCount() > 1))
        return false;
    QRect clip(QPoint(0, 0), LogicalSize(target));
    if (hasSystemClip)
        clip &= systemClip.boundingRect();
    if (state.hasClip)
        clip &= state.clip.boundingRect();
    pixels = clip.isEmpty() ? QRect() : PixelsFromLogical(clip, target.devicePixelRatio()) & target.rect();
    return true;
}

QRegion CDC::Impl::PixelClip() const
{
    QImage* target = Target();
    if (!target)
        return QRegion();
    const qreal ratio = target->devicePixelRatio();
    const QRegion clip = EffectiveClip();
    if (ratio == 1.0)
        return clip;
    std::vector<QRect> rects;
    for (const QRect& r : clip)
        rects.push_back(PixelsFromLogical(r, ratio));
    QRegion pixels;
    pixels.setRects(rects.data(), static_cast<int>(rects.size()));
    return pixels & target->rect();
}

QRect PixelsFromLogical(const QRect& logical, qreal ratio)
{
    if (ratio == 1.0)
        return logical;
    const int left = DeviceFromLogical(logical.left(), ratio);
    const int top = DeviceFromLogical(logical.top(), ratio);
    return QRect(left, top, DeviceFromLogical(logical.left() + logical.width(), ratio) - left,
                 DeviceFromLogical(logical.top() + logical.height(), ratio) - top);
}

QSize LogicalSize(const QImage& image)
{
    const qreal ratio = image.devicePixelRatio();
    if (ratio == 1.0)
        return image.size();
    return QSize(qRound(image.width() / ratio), qRound(image.height() / ratio));
}

CDC::CDC() : d(std::make_unique<Impl>()) {}
CDC::~CDC() = default;

BOOL CDC::CreateCompatibleDC(CDC* dc)
{
    d->compatibleRatio = dc ? dc->d->Ratio() : 1.0;
    return TRUE;
}

double CDC::GetDevicePixelRatio() const { return d->Ratio(); }

CBitmap* CDC::SelectObject(CBitmap* bitmap) { return std::exchange(d->state.bitmap, bitmap); }
CPen* CDC::SelectObject(CPen* pen) { return std::exchange(d->state.pen, pen); }
CBrush* CDC::SelectObject(CBrush* brush) { return std::exchange(d->state.brush, brush); }
CFont* CDC::SelectObject(CFont* font) { return std::exchange(d->state.font, font); }

COLORREF CDC::SetTextColor(COLORREF c) { return std::exchange(d->state.textColour, c); }
COLORREF CDC::GetTextColor() const { return d->state.textColour; }
COLORREF CDC::SetBkColor(COLORREF c) { return std::exchange(d->state.bkColour, c); }
COLORREF CDC::GetBkColor() const { return d->state.bkColour; }
int CDC::SetBkMode(int mode) { return std::exchange(d->state.bkMode, mode); }
int CDC::GetBkMode() const { return d->state.bkMode; }
UINT CDC::SetTextAlign(UINT align) { return std::exchange(d->state.textAlign, align); }
UINT CDC::GetTextAlign() const { return d->state.textAlign; }

int CDC::SaveDC()
{
    d->saved.push_back(d->state);
    return static_cast<int>(d->saved.size());
}

BOOL CDC::RestoreDC(int saved)
{
    const int count = static_cast<int>(d->saved.size());
    const int index = saved < 0 ? count + saved : saved - 1;
    if (index < 0 || index >= count)
        return FALSE;
    d->state = d->saved[static_cast<size_t>(index)];
    d->saved.resize(static_cast<size_t>(index));
    return TRUE;
}

int CDC::IntersectClipRect(const RECT& rect)
{
    QRect r = QRectFrom(rect).translated(d->state.origin);
    if (!d->state.hasClip)
    {
        QImage* target = d->Target();
        d->state.clip = target ? QRegion(QRect(QPoint(0, 0), LogicalSize(*target))) : QRegion(r);
        d->state.hasClip = true;
    }
    d->state.clip &= QRegion(r.isValid() ? r : QRect());
    return RegionKind(d->EffectiveClip());
}

int CDC::ExcludeClipRect(const RECT& rect)
{
    if (!d->state.hasClip)
    {
        QImage* target = d->Target();
        d->state.clip = target ? QRegion(QRect(QPoint(0, 0), LogicalSize(*target))) : QRegion();
        d->state.hasClip = true;
    }
    const QRect r = QRectFrom(rect).translated(d->state.origin);
    if (r.isValid())
        d->state.clip -= QRegion(r);
    return RegionKind(d->EffectiveClip());
}

int CDC::SelectClipRect(const RECT* rect)
{
    if (!rect)
    {
        d->state.hasClip = false;
        d->state.clip = QRegion();
    }
    else
    {
        const QRect r = QRectFrom(*rect).translated(d->state.origin);
        d->state.hasClip = true;
        d->state.clip = r.isValid() ? QRegion(r) : QRegion();
    }
    return RegionKind(d->EffectiveClip());
}

int CDC::GetClipBox(RECT* rect) const
{
    const QRegion clip = d->EffectiveClip();
    const QRect box = clip.boundingRect().translated(-d->state.origin);
    if (rect)
        *rect = clip.isEmpty() ? RECT{0, 0, 0, 0} : RECT{box.left(), box.top(), box.right() + 1, box.bottom() + 1};
    return RegionKind(clip);
}

BOOL CDC::RectVisible(const RECT& rect) const
{
    const QRect r = QRectFrom(rect).translated(d->state.origin);
    return r.isValid() && d->EffectiveClip().intersects(r);
}

BOOL CDC::PtVisible(int x, int y) const
{
    return d->EffectiveClip().contains(QPoint(x, y) + d->state.origin);
}

std::vector<RECT> CDC::GetClipRects() const
{
    std::vector<RECT> rects;
    for (const QRect& r : d->EffectiveClip())
        rects.push_back(RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    return rects;
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    const QPoint old = std::exchange(d->state.origin, QPoint(x, y));
    return CPoint(old.x(), old.y());
}

CPoint CDC::GetViewportOrg() const { return CPoint(d->state.origin.x(), d->state.origin.y()); }

CBitmap* CDC::GetTargetBitmap() const { return d->state.bitmap; }

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop)
{
    if (rop == BLACKNESS || rop == WHITENESS)
    {
        FillSolidRect(RECT{x, y, x + width, y + height}, rop == BLACKNESS ? RGB(0, 0, 0) : RGB(255, 255, 255));
        return TRUE;
    }
    return StretchBlt(x, y, width, height, source, sx, sy, width, height, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, int sw, int sh, DWORD rop)
{
    QImage* target = d->Target();
    QImage* src = SourceImage(source);
    if (!target || !src || width <= 0 || height <= 0 || sw <= 0 || sh <= 0)
        return FALSE;
    std::optional<QImage> copy;
    const QImage& image = SourceSnapshot(src, target, copy);
    const SBlitArea area = BlitArea(*target, QRect(QPoint(x, y) + d->state.origin, QSize(width, height)), *src,
                                    QRect(QPoint(sx, sy) + source->d->state.origin, QSize(sw, sh)));
    if (area.IsEmpty())
        return TRUE;
    if (rop == SRCCOPY && area.destination.size() == area.source.size())
    {
        // A plain copy of device pixels, row by row: the rows and columns that fall inside the
        // source are found once for each clip rectangle.
        const QPoint shift = area.source.topLeft() - area.destination.topLeft();
        const QRect inSource = image.rect().translated(-shift);
        uchar* const targetBits = target->bits();
        const qsizetype targetBytesPerLine = target->bytesPerLine();
        const uchar* const sourceBits = image.constBits();
        const qsizetype sourceBytesPerLine = image.bytesPerLine();
        ForEachPixelRect(*d, *target, area.destination, [&](const QRect& clipped) {
            const QRect r = clipped & inSource;
            if (r.isEmpty())
                return;
            const size_t bytes = static_cast<size_t>(r.width()) * sizeof(uint32_t);
            const uchar* in = sourceBits + (r.top() + shift.y()) * sourceBytesPerLine +
                              static_cast<qsizetype>(r.left() + shift.x()) * 4;
            uchar* out = targetBits + r.top() * targetBytesPerLine + static_cast<qsizetype>(r.left()) * 4;
            for (int y = r.top(); y <= r.bottom(); ++y, in += sourceBytesPerLine, out += targetBytesPerLine)
                std::memcpy(out, in, bytes);
        });
        return TRUE;
    }
    ForEachBlitPixel(*d, *target, image, area.destination, area.source,
                     [rop](uint32_t in, uint32_t& out) { out = ApplyRop(in, out, rop); });
    return TRUE;
}

BOOL CDC::TransparentBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, int sw, int sh,
                         COLORREF transparent)
{
    QImage* target = d->Target();
    QImage* src = SourceImage(source);
    if (!target || !src || width <= 0 || height <= 0 || sw <= 0 || sh <= 0)
        return FALSE;
    std::optional<QImage> copy;
    const QImage& image = SourceSnapshot(src, target, copy);
    const uint32_t key = PixelFromColour(transparent) & 0x00FFFFFFu;
    const SBlitArea area = BlitArea(*target, QRect(QPoint(x, y) + d->state.origin, QSize(width, height)), *src,
                                    QRect(QPoint(sx, sy) + source->d->state.origin, QSize(sw, sh)));
    if (area.IsEmpty())
        return TRUE;
    ForEachBlitPixel(*d, *target, image, area.destination, area.source, [key](uint32_t in, uint32_t& out) {
        if ((in & 0x00FFFFFFu) != key)
            out = in | 0xFF000000u;
    });
    return TRUE;
}

BOOL CDC::AlphaBlend(int x, int y, int width, int height, CDC* source, int sx, int sy, int sw, int sh,
                     BLENDFUNCTION blend)
{
    QImage* target = d->Target();
    QImage* src = SourceImage(source);
    if (!target || !src || width <= 0 || height <= 0 || sw <= 0 || sh <= 0)
        return FALSE;
    std::optional<QImage> copy;
    const QImage& image = SourceSnapshot(src, target, copy);
    const bool sourceAlpha = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    const SBlitArea area = BlitArea(*target, QRect(QPoint(x, y) + d->state.origin, QSize(width, height)), *src,
                                    QRect(QPoint(sx, sy) + source->d->state.origin, QSize(sw, sh)));
    if (area.IsEmpty())
        return TRUE;
    ForEachBlitPixel(*d, *target, image, area.destination, area.source,
                     [&](uint32_t in, uint32_t& out) { out = Blend(in, out, blend.SourceConstantAlpha, sourceAlpha); });
    return TRUE;
}

void CDC::FillSolidRect(const RECT& rect, COLORREF colour)
{
    QImage* target = d->Target();
    if (!target)
        return;
    const uint32_t pixel = PixelFromColour(colour);
    // The first row of a stretch is filled pixel by pixel; the rows under it copy the row above.
    const uint32_t* above = nullptr;
    int aboveLeft = 0, aboveRight = -1;
    ForEachRow(*d, *target, QRectFrom(rect).translated(d->state.origin), [&](uint32_t* out, int, int left, int right) {
        if (above && left == aboveLeft && right == aboveRight)
            std::memcpy(out + left, above + left, static_cast<size_t>(right - left + 1) * sizeof(uint32_t));
        else
            std::fill(out + left, out + right + 1, pixel);
        above = out;
        aboveLeft = left;
        aboveRight = right;
    });
}

void CDC::FillRect(const RECT& rect, CBrush* brush)
{
    if (brush && !brush->m_null)
        FillSolidRect(rect, brush->m_colour);
}

void CDC::FrameRect(const RECT& rect, CBrush* brush)
{
    const CRect r(rect);
    if (!brush || brush->m_null || r.IsRectEmpty())
        return;
    FillSolidRect(RECT{r.left, r.top, r.right, r.top + 1}, brush->m_colour);
    FillSolidRect(RECT{r.left, r.bottom - 1, r.right, r.bottom}, brush->m_colour);
    FillSolidRect(RECT{r.left, r.top, r.left + 1, r.bottom}, brush->m_colour);
    FillSolidRect(RECT{r.right - 1, r.top, r.right, r.bottom}, brush->m_colour);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour)
{
    QImage* target = d->Target();
    const QPoint p = QPoint(x, y) + d->state.origin;
    if (!target || !d->EffectiveClip().contains(p))
        return CLR_INVALID;
    const uint32_t pixel = PixelFromColour(colour);
    // A logical pixel is a block of device pixels.
    for (const QRect& r : QRegion(PixelsFromLogical(QRect(p, QSize(1, 1)), target->devicePixelRatio())) & target->rect())
        for (int row = r.top(); row <= r.bottom(); ++row)
            std::fill_n(reinterpret_cast<uint32_t*>(target->scanLine(row)) + r.left(), r.width(), pixel);
    return colour;
}

COLORREF CDC::GetPixel(int x, int y) const
{
    QImage* target = d->Target();
    const QPoint p = QPoint(x, y) + d->state.origin;
    if (!target || !d->EffectiveClip().contains(p))
        return CLR_INVALID;
    // The first device pixel of the logical one.
    const QPoint at = PixelsFromLogical(QRect(p, QSize(1, 1)), target->devicePixelRatio()).topLeft();
    if (!target->rect().contains(at))
        return CLR_INVALID;
    return ColourFromPixel(reinterpret_cast<const uint32_t*>(target->constScanLine(at.y()))[at.x()]);
}

CPoint CDC::MoveTo(int x, int y)
{
    const QPoint old = std::exchange(d->state.position, QPoint(x, y));
    return CPoint(old.x(), old.y());
}

CPoint CDC::GetCurrentPosition() const { return CPoint(d->state.position.x(), d->state.position.y()); }

namespace
{
// Draws the segments of `points` with the pen: one-pixel pens by GDI's rule (no last pixel),
// wider pens with round ends and joins.
void StrokePath(CDC::Impl* d, const std::vector<QPoint>& points, bool closed)
{
    QImage* target = d->Target();
    const CPen defaultPen;
    const CPen* pen = d->state.pen ? d->state.pen : &defaultPen;
    if (!target || points.size() < 2 || pen->m_style == PS_NULL)
        return;
    const QRegion clip = d->EffectiveClip();
    if (pen->m_width <= 1)
    {
        const uint32_t pixel = PixelFromColour(pen->m_colour);
        const qreal ratio = target->devicePixelRatio();
        const QRect pixels = target->rect();
        const QRegion pixelClip = ratio == 1.0 ? QRegion() : d->PixelClip();
        const size_t segments = closed ? points.size() : points.size() - 1;
        for (size_t i = 0; i < segments; ++i)
        {
            const QPoint a = points[i] + d->state.origin;
            const QPoint b = points[(i + 1) % points.size()] + d->state.origin;
            if (ratio != 1.0 && a.x() != b.x() && a.y() != b.y())
            {
                // A slanted line steps in device pixels: a pen of one logical pixel walks from the
                // first device pixel of its start to that of its end, still leaving out the end.
                const int penPixels = DeviceFromLogical(1, ratio);
                const QRect end = PixelsFromLogical(QRect(b, QSize(1, 1)), ratio);
                const QPoint from = PixelsFromLogical(QRect(a, QSize(1, 1)), ratio).topLeft();
                ForEachLinePixel(from, end.topLeft(), [&](int x, int y) {
                    const QRect stamp = QRect(x, y, penPixels, penPixels) & pixels;
                    for (int row = stamp.top(); row <= stamp.bottom(); ++row)
                        for (int column = stamp.left(); column <= stamp.right(); ++column)
                            if (!end.contains(column, row) && pixelClip.contains(QPoint(column, row)))
                                reinterpret_cast<uint32_t*>(target->scanLine(row))[column] = pixel;
                });
                continue;
            }
            ForEachLinePixel(a, b, [&](int x, int y) {
                if (!clip.contains(QPoint(x, y)))
                    return;
                if (ratio == 1.0)
                {
                    reinterpret_cast<uint32_t*>(target->scanLine(y))[x] = pixel;
                    return;
                }
                // GDI's pixel set in logical pixels, each a block of device pixels.
                const QRect block = PixelsFromLogical(QRect(x, y, 1, 1), ratio) & pixels;
                for (int row = block.top(); row <= block.bottom(); ++row)
                    std::fill_n(reinterpret_cast<uint32_t*>(target->scanLine(row)) + block.left(), block.width(), pixel);
            });
        }
        return;
    }
    QPainter painter(target);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRegion(clip);
    painter.translate(d->state.origin);
    painter.setPen(QPen(QColorFrom(pen->m_colour), pen->m_width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPolygon polygon;
    for (const QPoint& p : points)
        polygon << p;
    if (closed)
        painter.drawPolygon(polygon);
    else
        painter.drawPolyline(polygon);
}
}

BOOL CDC::LineTo(int x, int y)
{
    StrokePath(d.get(), {d->state.position, QPoint(x, y)}, false);
    d->state.position = QPoint(x, y);
    return TRUE;
}

BOOL CDC::Polyline(const POINT* points, int count)
{
    if (!points || count < 2)
        return FALSE;
    std::vector<QPoint> path;
    for (int i = 0; i < count; ++i)
        path.emplace_back(points[i].x, points[i].y);
    StrokePath(d.get(), path, false);
    return TRUE;
}

BOOL CDC::Polygon(const POINT* points, int count)
{
    if (!points || count < 2)
        return FALSE;
    QImage* target = d->Target();
    if (!target)
        return FALSE;
    std::vector<QPoint> path;
    QPolygon polygon;
    for (int i = 0; i < count; ++i)
    {
        path.emplace_back(points[i].x, points[i].y);
        polygon << path.back();
    }
    if (d->state.brush && !d->state.brush->m_null)
    {
        QPainter painter(target);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setClipRegion(d->EffectiveClip());
        painter.translate(d->state.origin);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColorFrom(d->state.brush->m_colour));
        painter.drawPolygon(polygon, Qt::OddEvenFill);
    }
    StrokePath(d.get(), path, true);
    return TRUE;
}

BOOL CDC::Rectangle(const RECT& rect)
{
    const CRect r(rect);
    if (r.IsRectEmpty())
        return FALSE;
    if (d->state.brush && !d->state.brush->m_null)
        FillSolidRect(RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, d->state.brush->m_colour);
    StrokePath(d.get(), {QPoint(r.left, r.top), QPoint(r.right - 1, r.top), QPoint(r.right - 1, r.bottom - 1),
                         QPoint(r.left, r.bottom - 1)}, true);
    return TRUE;
}

// ---- text ----

namespace
{
QFont CurrentFont(const CDC::Impl* d)
{
    return QFontFromLogFont(d->state.font && !d->state.font->IsNull() ? d->state.font->Log() : GetDefaultGuiFont()->Log());
}

int Escapement(const CDC::Impl* d)
{
    return d->state.font && !d->state.font->IsNull() ? d->state.font->Log().lfEscapement : 0;
}

// Removes the '&' mnemonic markers ("&&" stands for one '&').
QString StripPrefixes(const QString& text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i)
    {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        else if (text[i] == QLatin1Char('&'))
            continue;
        out += text[i];
    }
    return out;
}

// The longest start of `text` that fits `width` together with "...", followed by "...".
QString WithEllipsis(const QFontMetrics& metrics, QString text, int width)
{
    const QString ellipsis = QStringLiteral("...");
    // Widths grow with the length of the start (no kerning), so the cut is found by halving.
    qsizetype fits = 0, tooLong = text.size() + 1;
    while (tooLong - fits > 1)
    {
        const qsizetype middle = fits + (tooLong - fits) / 2;
        if (metrics.horizontalAdvance(text.left(middle) + ellipsis) <= width)
            fits = middle;
        else
            tooLong = middle;
    }
    text.truncate(fits);
    return text + ellipsis;
}
}

BOOL CDC::TextOut(int x, int y, const char* text, int length)
{
    QImage* target = d->Target();
    const QString str = TextFrom(text, length);
    if (!target)
        return FALSE;
    const QFont font = CurrentFont(d.get());
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(str);
    const UINT align = d->state.textAlign;
    int left = 0;
    if ((align & TA_CENTER) == TA_CENTER)
        left = -width / 2;
    else if (align & TA_RIGHT)
        left = -width;
    int baseline = metrics.ascent();
    if ((align & TA_BASELINE) == TA_BASELINE)
        baseline = 0;
    else if (align & TA_BOTTOM)
        baseline = -metrics.descent();
    QPainter painter(target);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setClipRegion(d->EffectiveClip());
    painter.translate(d->state.origin + QPoint(x, y));
    painter.rotate(-Escapement(d.get()) / 10.0);
    if (d->state.bkMode == OPAQUE)
        painter.fillRect(QRect(left, baseline - metrics.ascent(), width, metrics.height()), QColorFrom(d->state.bkColour));
    painter.setFont(font);
    painter.setPen(QColorFrom(d->state.textColour));
    painter.drawText(QPoint(left, baseline), str);
    return TRUE;
}

CSize CDC::GetTextExtent(const char* text, int length) const
{
    const QFontMetrics metrics(CurrentFont(d.get()));
    return CSize(metrics.horizontalAdvance(TextFrom(text, length)), metrics.height());
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const
{
    if (!tm)
        return FALSE;
    const QFontMetrics metrics(CurrentFont(d.get()));
    *tm = TEXTMETRIC{metrics.height(), metrics.ascent(), metrics.descent(), metrics.averageCharWidth(),
                     metrics.maxWidth()};
    return TRUE;
}

int CDC::DrawText(const char* text, int length, RECT* rect, UINT format)
{
    if (!rect)
        return 0;
    if (length < 0)
        length = text ? static_cast<int>(std::strlen(text)) : 0;
    QString str = TextFrom(text, length);
    if (!(format & DT_NOPREFIX))
        str = StripPrefixes(str);
    const QFont font = CurrentFont(d.get());
    const QFontMetrics metrics(font);
    str.remove(QLatin1Char('\r'));
    QStringList lines = (format & DT_SINGLELINE) ? QStringList{str.replace(QLatin1Char('\n'), QLatin1Char(' '))}
                                                 : str.split(QLatin1Char('\n'));
    const CRect box(*rect);
    if (format & DT_END_ELLIPSIS)
        for (QString& line : lines)
            if (metrics.horizontalAdvance(line) > box.Width())
                line = WithEllipsis(metrics, line, box.Width());
    const int lineHeight = metrics.height();
    const int total = lineHeight * static_cast<int>(lines.size());
    if (format & DT_CALCRECT)
    {
        int widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }
    int top = box.top;
    if (format & DT_SINGLELINE)
    {
        if (format & DT_BOTTOM)
            top = box.bottom - total;
        else if (format & DT_VCENTER)
            top = box.top + (box.Height() - total) / 2;
    }
    QImage* target = d->Target();
    if (!target)
        return total;
    QPainter painter(target);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    QRegion clip = d->EffectiveClip();
    if (!(format & DT_NOCLIP))
        clip &= QRegion(QRectFrom(box).translated(d->state.origin));
    painter.setClipRegion(clip);
    painter.translate(d->state.origin);
    painter.setFont(font);
    painter.setPen(QColorFrom(d->state.textColour));
    for (int i = 0; i < lines.size(); ++i)
    {
        const int width = metrics.horizontalAdvance(lines[i]);
        int left = box.left;
        if (format & DT_RIGHT)
            left = box.right - width;
        else if (format & DT_CENTER)
            left = box.left + (box.Width() - width) / 2;
        const int y = top + i * lineHeight;
        if (d->state.bkMode == OPAQUE)
            painter.fillRect(QRect(left, y, width, lineHeight), QColorFrom(d->state.bkColour));
        painter.drawText(QPoint(left, y + metrics.ascent()), lines[i]);
    }
    return total;
}

// ---- window device contexts ----

CPaintDC::CPaintDC(CWnd* window) : m_rcPaint{0, 0, 0, 0}
{
    CWnd::Impl* w = window ? window->GetImpl() : nullptr;
    if (!w || !w->painting)
        return;
    d->windowBuffer = &w->backBuffer;
    d->hasSystemClip = true;
    d->systemClip = w->paintRegion;
    const QRect box = w->paintRegion.boundingRect();
    m_rcPaint = RECT{box.left(), box.top(), box.right() + 1, box.bottom() + 1};
}

CPaintDC::~CPaintDC() = default;

std::vector<RECT> CPaintDC::GetUpdateRects() const
{
    std::vector<RECT> rects;
    for (const QRect& r : d->systemClip)
        rects.push_back(RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    return rects;
}

CClientDC::CClientDC(CWnd* window) : m_window(window)
{
    CWnd::Impl* w = window ? window->GetImpl() : nullptr;
    if (!w || !w->widget)
        return;
    PlatformDetail::FitBackBuffer(*w, *w->widget, false);
    d->windowBuffer = &w->backBuffer;
}

CClientDC::~CClientDC()
{
    if (m_window && m_window->GetImpl()->widget)
        m_window->GetImpl()->widget->update();
}
