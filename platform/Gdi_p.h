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
    bool hasSystemClip = false;
    QRegion systemClip;               // the region being painted
    State state;
    std::vector<State> saved;

    QImage* Target() const;
    // Where drawing may change pixels now, in device coordinates.
    QRegion EffectiveClip() const;
};

// The Qt font of a logical font.
QFont QFontFromLogFont(const LOGFONT& font);
