#include "ui/controls/CVeyStateBitmap.h"

#include "model/CVeyAttributeReader.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyTable.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/ul/Input.h"

namespace
{
std::string& BitmapFolder()
{
    static std::string folder;
    return folder;
}

// Entry `index` of the table, or null without a table or beyond its end.
const int32_t* TableEntry(const CVeyIntegerTable* table, int64_t index)
{
    if (!table || index < 0 || index > INT32_MAX)
        return nullptr;
    return table->GetAt(static_cast<int32_t>(index));
}
}

void CVeyStateBitmap::SetBitmapFolder(const std::string& folder) { BitmapFolder() = folder; }
const std::string& CVeyStateBitmap::GetBitmapFolder() { return BitmapFolder(); }

bool CVeyStateBitmap::Load(CAttributes& attributes)
{
    if (!CVeyResource::Load(attributes))
        return false;
    const auto detail = [this](const char* message) {
        return [this, message](const std::string& value) { ReportErrorWithDetail(message, value); };
    };
    // Number tables are built before bitmaps, so the names resolve now.
    const CVeyResources<CVeyIntegerTable>& tables = CVeyResourceManager::GetInstance().GetIntegerTables();
    int32_t stateCount = GetStateCount();
    int32_t direction = m_picture.IsHorizontal() ? 1 : 0;
    int32_t mask = m_picture.HasMasks() ? 1 : 0;
    const bool read =
        CVeyAttributeReader()
            .NumberIn("stateCount", stateCount, 1, INT32_MAX, detail("Bitmap state count is invalid."),
                      detail("Bitmap state count must be greater than 0."))
            .NumberIn("direction", direction, 0, 1, detail("Bitmap direction is invalid."),
                      detail("Bitmap direction must be 0 (vertical) or 1 (horizontal)."))
            .NumberIn("mask", mask, 0, 1, detail("Bitmap maskColor is invalid."),
                      detail("Bitmap mask must be 0 (do not use) or 1 (use)."))
            .Resource("xOffsetNumberTableRef", m_xTable, tables, detail("Unable to find number table."))
            .Resource("yOffsetNumberTableRef", m_yTable, tables, detail("Unable to find number table."))
            .Read(attributes);
    SetStateCount(stateCount);
    SetDirection(direction == 1);
    SetMask(mask == 1);
    return read;
}

std::string CVeyStateBitmap::GetFilePath() const
{
    std::string file = GetName();
    if (file.find('.') == std::string::npos)
        file += ".bmp";
    return GetBitmapFolder() + file;
}

bool CVeyStateBitmap::AddRef()
{
    if (m_refCount == 0 && !m_picture.GetPicture().Load(GetFilePath()))
    {
        // A control that cannot load its bitmap only names itself; the script's author also needs
        // to know which file is missing or cannot be decoded.
        ReportErrorWithDetail("Unable to read bitmap file.", GetFilePath());
        return false;
    }
    ++m_refCount;
    return true;
}

void CVeyStateBitmap::Release()
{
    if (m_refCount <= 0)
        return;
    if (--m_refCount == 0)
        m_picture.GetPicture().Clear();
}

void CVeyStateBitmap::GetStateSize(CSize& size, int32_t state) const
{
    size = m_picture.GetStateSize();
    if (state < 0)
        return;
    if (const int32_t* width = TableEntry(m_xTable, 2 * static_cast<int64_t>(state) + 1))
        size.cx = *width;
    if (const int32_t* height = TableEntry(m_yTable, 2 * static_cast<int64_t>(state) + 1))
        size.cy = *height;
}

void CVeyStateBitmap::DrawState(const UL::CDrawInfo& info, const CPoint& point, int32_t state)
{
    CPoint at = point;
    if (const int32_t* dx = TableEntry(m_xTable, 2 * static_cast<int64_t>(state)))
        at.x -= *dx;
    if (const int32_t* dy = TableEntry(m_yTable, 2 * static_cast<int64_t>(state)))
        at.y -= *dy;
    m_picture.DrawState(info.m_dc, at, state);
}

void CVeyStateBitmap::DrawQuarters(const UL::CDrawInfo& info, const CPoint& point, const CSize& size, int32_t state)
{
    const int32_t w = size.cx, h = size.cy;
    if (!info.m_dc || w <= 0 || h <= 0)
        return;
    const CSize stateSize = m_picture.GetStateSize();
    const int64_t along = static_cast<int64_t>(state) * (m_picture.IsHorizontal() ? stateSize.cx : stateSize.cy);
    if (along < 0 || along > INT32_MAX)
        return;
    const CPoint origin = m_picture.IsHorizontal() ? CPoint(static_cast<int32_t>(along), 0)
                                                   : CPoint(0, static_cast<int32_t>(along));
    const int32_t hw = w / 2, hh = h / 2;
    UL::APicture& picture = m_picture.GetPicture();
    CDC* dc = info.m_dc;
    picture.Draw(dc, point, CSize(hw, hh), origin);
    picture.Draw(dc, CPoint(point.x + hw, point.y), CSize(w - hw, hh),
                 origin + CPoint(stateSize.cx - (w - hw), 0));
    picture.Draw(dc, CPoint(point.x, point.y + hh), CSize(hw, h - hh),
                 origin + CPoint(0, stateSize.cy - (h - hh)));
    picture.Draw(dc, CPoint(point.x + hw, point.y + hh), CSize(w - hw, h - hh),
                 origin + CPoint(stateSize.cx - (w - hw), stateSize.cy - (h - hh)));
}
