#include "model/CVeyGraphDrawer.h"

#include "model/CVeyTextWriter.h"
#include "toolkit/ul/Input.h"

void CGraphDrawer::FillRect(const UL::CDrawInfo& info, const CRect& rect, const GT::CShortTriple& colour)
{
    CDC* dc = info.m_dc;
    const int saved = dc ? dc->SaveDC() : 0;
    if (saved <= 0)
        return;
    dc->IntersectClipRect(rect);
    dc->FillSolidRect(rect, VeyColorFromTriple(colour));
    dc->RestoreDC(saved);
}

void CGraphDrawer::Polyline(const UL::CDrawInfo& info, const std::vector<CPoint>& points, int32_t width,
                            const GT::CShortTriple& colour)
{
    CDC* dc = info.m_dc;
    if (!dc || points.empty())
        return;
    CPen pen(PS_SOLID, width, VeyColorFromTriple(colour));
    CPen* previous = dc->SelectObject(&pen);
    dc->Polyline(points.data(), static_cast<int>(points.size()));
    dc->SetPixel(points.back().x, points.back().y, VeyColorFromTriple(colour));
    dc->SelectObject(previous);
}

void CGraphDrawer::MoveTo(const UL::CDrawInfo& info, const CPoint& point)
{
    if (info.m_dc)
        info.m_dc->MoveTo(point.x, point.y);
}

void CGraphDrawer::LineTo(const UL::CDrawInfo& info, const CPoint& point, int32_t width, const GT::CShortTriple& colour)
{
    CDC* dc = info.m_dc;
    if (!dc)
        return;
    CPen pen(PS_SOLID, width, VeyColorFromTriple(colour));
    CPen* previous = dc->SelectObject(&pen);
    dc->LineTo(point.x, point.y);
    dc->SetPixel(point.x, point.y, VeyColorFromTriple(colour));
    dc->SelectObject(previous);
}

void CGraphDrawer::Polygon(const UL::CDrawInfo& info, const std::vector<CPoint>& points, const GT::CShortTriple& colour)
{
    CDC* dc = info.m_dc;
    if (!dc || points.empty())
        return;
    CBrush brush(VeyColorFromTriple(colour));
    CPen pen(PS_SOLID, 1, VeyColorFromTriple(colour));
    CBrush* previousBrush = dc->SelectObject(&brush);
    CPen* previousPen = dc->SelectObject(&pen);
    dc->Polygon(points.data(), static_cast<int>(points.size()));
    dc->SelectObject(previousPen);
    dc->SelectObject(previousBrush);
}

bool CGraphDrawer::BeginClip(const UL::CDrawInfo& info, const CRect& rect)
{
    CDC* dc = info.m_dc;
    const int saved = dc ? dc->SaveDC() : 0;
    if (saved <= 0)
        return false;
    m_saved.push_back(saved);
    return dc->IntersectClipRect(rect) == COMPLEXREGION;
}

bool CGraphDrawer::EndClip(const UL::CDrawInfo& info)
{
    if (!info.m_dc || m_saved.empty())
        return false;
    const int saved = m_saved.back();
    m_saved.pop_back();
    return info.m_dc->RestoreDC(saved) != FALSE;
}
