#pragma once
// Not part of the interface: the drawing context's private state.
#include "platform/Gdi.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRegion>

struct CBitmap::Impl
{
    QImage image;
};

struct CDC::Impl
{
    struct State
    {
        CBitmap* bitmap = nullptr;
        CPen* pen = nullptr;
        CBrush* brush = nullptr;
        CFont* font = nullptr;
        COLORREF textColour = RGB(0, 0, 0);
        COLORREF bkColour = RGB(255, 255, 255);
        int bkMode = OPAQUE;
        UINT textAlign = TA_LEFT | TA_TOP;
        bool hasClip = false;
        QRegion clip;   // device coordinates
        QPoint origin;
        QPoint position;
    };

    QImage* windowBuffer = nullptr;   // a window's back buffer (paint and client DCs)
    qreal compatibleRatio = 1.0;      // the ratio of the context a memory context was made for
    bool hasSystemClip = false;
    QRegion systemClip;               // the region being painted
    State state;
    std::vector<State> saved;

    QImage* Target() const;
    // Device pixels per logical pixel of the target.
    qreal Ratio() const;
    // Where drawing may change pixels now, in logical coordinates after the viewport origin.
    QRegion EffectiveClip() const;
    // The same region in the target's device pixels.
    QRegion PixelClip() const;
    // The same as one rectangle of `target`'s device pixels, empty when nothing may be drawn;
    // false when the clip is more than one rectangle.
    bool SimplePixelClip(const QImage& target, QRect& pixels) const;
};

// The Qt font of a logical font.
QFont QFontFromLogFont(const LOGFONT& font);

// The device pixels a logical rectangle covers at `ratio`: its edges are mapped and rounded, so
// rectangles that meet in logical pixels meet in device pixels too.
QRect PixelsFromLogical(const QRect& logical, qreal ratio);
// The size of an image in logical pixels.
QSize LogicalSize(const QImage& image);
