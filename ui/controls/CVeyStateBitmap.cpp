#include "ui/controls/CVeyStateBitmap.h"

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
    CAttributes rest;
    bool ok = true;
    for (const CVeyElementDefinition::CAttribute& attribute : attributes)
    {
        const std::string& name = attribute.first;
        const std::string& value = attribute.second;
        int32_t number = 0;
        if (!ok)
            rest.push_back(attribute);
        else if (name == "stateCount")
        {
            if (!GT::StringToLong(value, &number))
                ReportErrorWithDetail("Bitmap state count is invalid.", value), ok = false;
            else if (number <= 0)
                ReportErrorWithDetail("Bitmap state count must be greater than 0.", value), ok = false;
            else
                SetStateCount(number);
        }
        else if (name == "direction")
        {
            if (!GT::StringToLong(value, &number))
                ReportErrorWithDetail("Bitmap direction is invalid.", value), ok = false;
            else if (number != 0 && number != 1)
                ReportErrorWithDetail("Bitmap direction must be 0 (vertical) or 1 (horizontal).", value), ok = false;
            else
                SetDirection(number == 1);
        }
        else if (name == "mask")
        {
            if (!GT::StringToLong(value, &number))
                ReportErrorWithDetail("Bitmap maskColor is invalid.", value), ok = false;
            else if (number != 0 && number != 1)
                ReportErrorWithDetail("Bitmap mask must be 0 (do not use) or 1 (use).", value), ok = false;
            else
                SetMask(number == 1);
        }
        else if (name == "xOffsetNumberTableRef" || name == "yOffsetNumberTableRef")
        {
            // Number tables are built before bitmaps, so the name resolves now.
            const CVeyIntegerTable* table = CVeyResourceManager::GetInstance().GetIntegerTables().Find(value);
            if (!table)
                ReportErrorWithDetail("Unable to find number table.", value), ok = false;
            else if (name[0] == 'x')
                m_xTable = table;
            else
                m_yTable = table;
        }
        else
            rest.push_back(attribute);
    }
    attributes.swap(rest);
    return ok;
}

bool CVeyStateBitmap::AddRef()
{
    if (m_refCount == 0)
    {
        std::string file = GetName();
        if (file.find('.') == std::string::npos)
            file += ".bmp";
        if (!m_picture.GetPicture().Load(GetBitmapFolder() + file))
        {
            // Say which file, so that a missing or damaged picture can be found.
            ReportErrorWithDetail("Unable to load bitmap file.", file);
            return false;
        }
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
