#include "model/CVeyTextWriter.h"

#include "model/CVeyResourceManager.h"
#include "model/IVeyStateImage.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/Strings.h"
#include "toolkit/ul/Input.h"

#include <algorithm>
#include <cstring>

COLORREF VeyColorFromTriple(const GT::CShortTriple& colour)
{
    const auto high = [](int16_t component) { return static_cast<uint16_t>(component) >> 8; };
    return RGB(high(colour.red), high(colour.green), high(colour.blue));
}

namespace
{
// The index of `text` (trimmed, any letter case) among `words`, or -1.
int32_t WordIndex(const std::string& text, std::initializer_list<const char*> words)
{
    const std::string word = GT::MakeLower(GT::TrimCopy(text));
    int32_t index = 0;
    for (const char* candidate : words)
    {
        if (word == candidate)
            return index;
        ++index;
    }
    return -1;
}
}

bool CVeyTextWriter::Load(CAttributes& attributes)
{
    if (!CVeyResource::Load(attributes))
        return false;
    CVeyFontSettings settings;
    CAttributes rest;
    bool ok = true;
    // In list order, so that of two spellings of one attribute the later wins.
    for (const CVeyElementDefinition::CAttribute& attribute : attributes)
    {
        const std::string& name = attribute.first;
        const std::string& value = attribute.second;
        if (!ok)
        {
            rest.push_back(attribute);
            continue;
        }
        int32_t number = 0;
        int32_t word = 0;
        if (name == "fontFaceName")
        {
            if (!GT::Trim(value, settings.faceName))
                ReportErrorWithDetail("Text writer fontFaceName is invalid.", value);
        }
        else if (name == "fontHeight")
        {
            if ((ok = GT::StringToLong(value, &number)))
                settings.height = number;
            else
                ReportErrorWithDetail("Text writer fontHeight is invalid.", value);
        }
        else if (name == "fontColor")
        {
            if (!(ok = GT::StringToShortTriple(value, &settings.fontColor)))
                ReportErrorWithDetail("Text writer fontColor is invalid.", value);
        }
        else if (name == "backgroundColor")
        {
            if (!(ok = GT::StringToShortTriple(value, &settings.backgroundColor)))
                ReportErrorWithDetail("Text writer backgroundColor is invalid.", value);
        }
        else if (name == "verticalFont")
        {
            if ((ok = (word = WordIndex(value, {"false", "true"})) >= 0))
                settings.vertical = word == 1;
            else
                ReportErrorWithDetail("Text writer verticalFont is invalid.", value);
        }
        else if (name == "textAlignmentHorizontal" || name == "textAlignment")
        {
            if ((ok = (word = WordIndex(value, {"left", "center", "right"})) >= 0))
                settings.horizontalAlignment = word;
            else
                ReportErrorWithDetail("Text writer textAlignmentHorizontal is invalid.", value);
        }
        else if (name == "textAlignmentVertical")
        {
            if ((ok = (word = WordIndex(value, {"top", "center", "bottom"})) >= 0))
                settings.verticalAlignment = word;
            else
                ReportErrorWithDetail("Text writer textAlignmentVertical is invalid.", value);
        }
        else if (name == "backgroundMode")
        {
            if ((ok = (word = WordIndex(value, {"opaque", "transparent"})) >= 0))
                settings.backgroundMode = word;
            else
                ReportErrorWithDetail("Text writer backgroundMode is invalid.", value);
        }
        else if (name == "truncate")
        {
            if ((ok = GT::StringToLong(value, &number)))
                m_truncate = number != 0;
            else
                ReportErrorWithDetail("Text writer truncate is invalid.", value);
        }
        else if (name == "bitmapRef")
        {
            auto* bitmap =
                dynamic_cast<IVeyStateImage*>(CVeyResourceManager::GetInstance().GetBitmaps().FindResource(value));
            if ((ok = bitmap != nullptr))
                m_bitmapFont = bitmap;
            else
                ReportErrorWithDetail("Unable to find bitmap.", value);
        }
        else
            rest.push_back(attribute);
    }
    attributes.swap(rest);
    if (!ok)
        return false;
    if (m_bitmapFont && !m_bitmapFont->AddRef())
    {
        ReportError("Unable to create bitmap.");
        m_bitmapFont = nullptr;
        return false;
    }
    return SetFont(settings);
}

bool CTextWriter::SetFont(const CVeyFontSettings& settings)
{
    LOGFONT log;
    log.lfHeight = -settings.height;
    log.lfWidth = 0;
    log.lfEscapement = log.lfOrientation = settings.vertical ? 900 : 0;
    log.lfWeight = FW_NORMAL;
    log.lfCharSet = 1;
    log.lfOutPrecision = 7;
    log.lfClipPrecision = 16;
    const std::string face = settings.faceName == "DEFAULT" ? std::string("DEFAULT_GUI_FONT") : settings.faceName;
    // A logical font holds 31 characters of face name; longer names are cut.
    std::strncpy(log.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    CFont font;
    if (!font.CreateFontIndirect(&log))
        return false;
    m_font.CreateFontIndirect(&log);
    m_settings = settings;
    m_settings.faceName = log.lfFaceName;
    m_ellipsisWidth = -1;
    return true;
}

bool CTextWriter::GetFont(CVeyFontSettings& settings) const
{
    LOGFONT log;
    if (!m_font.GetLogFont(&log))
        return false;
    settings = m_settings;
    settings.faceName = log.lfFaceName;
    settings.height = log.lfHeight < 0 ? -log.lfHeight : log.lfHeight;
    return true;
}

void CTextWriter::DrawBitmapText(const UL::CDrawInfo& info, const CRect& rect, const std::string& text)
{
    const int32_t states = m_bitmapFont->GetStateCount();
    if (states < 1)
        return;
    int32_t x = rect.left;
    for (const char c : text)
    {
        if (m_truncate && x >= rect.right)
            break;
        const int32_t code = static_cast<signed char>(c);
        const int32_t state = std::min(std::min(std::max(code, 32), 126) - 32, states - 1);
        CSize size;
        m_bitmapFont->GetStateSize(size, state);
        m_bitmapFont->DrawState(info, CPoint(x, rect.top), state);
        x += std::max<int32_t>(size.cx, 0);
    }
}

std::string CTextWriter::Truncated(CDC& dc, const std::string& text, int32_t room, bool* truncated)
{
    *truncated = false;
    if (!m_truncate || dc.GetTextExtent(text).cx <= room)
        return text;
    if (m_ellipsisWidth < 0)
        m_ellipsisWidth = dc.GetTextExtent("...").cx;
    // Cut from the end until the rest and "..." are narrower than the room; a room narrower than
    // "..." itself ends with "..." alone.
    // Widths grow with the length of the start, so the cut is found by halving; long texts
    // cost a few measurements, not one per character.
    size_t fits = 0, tooLong = text.size() + 1;
    while (tooLong - fits > 1)
    {
        const size_t middle = fits + (tooLong - fits) / 2;
        if (dc.GetTextExtent(text.substr(0, middle)).cx + m_ellipsisWidth < room)
            fits = middle;
        else
            tooLong = middle;
    }
    *truncated = true;
    return text.substr(0, fits) + "...";
}

void CTextWriter::Draw(const UL::CDrawInfo& info, const CRect& rect, const std::string& text)
{
    if (m_bitmapFont)
    {
        DrawBitmapText(info, rect, text);
        return;
    }
    CDC* dc = info.m_dc;
    if (!dc || m_font.IsNull())
        return;
    const int saved = dc->SaveDC();
    if (saved <= 0)
        return;
    dc->SelectObject(&m_font);
    dc->SetTextColor(VeyColorFromTriple(m_settings.fontColor));
    dc->SetBkColor(VeyColorFromTriple(m_settings.backgroundColor));
    const bool opaque = m_settings.backgroundMode == CVeyFontSettings::OPAQUE_BACKGROUND;
    dc->SetBkMode(opaque ? OPAQUE : TRANSPARENT);
    dc->IntersectClipRect(rect);
    if (opaque)
        dc->FillSolidRect(rect, VeyColorFromTriple(m_settings.backgroundColor));
    // The rectangle is filled already; the text itself needs no second background.
    dc->SetBkMode(TRANSPARENT);

    const int32_t h = m_settings.horizontalAlignment;
    const int32_t v = m_settings.verticalAlignment;
    bool truncated = false;
    if (!m_settings.vertical)
    {
        const std::string shown = Truncated(*dc, text, rect.Width(), &truncated);
        UINT format = DT_SINGLELINE | DT_NOPREFIX;
        if (!truncated)
            format |= h == CVeyFontSettings::RIGHT ? DT_RIGHT : h == CVeyFontSettings::CENTER ? DT_CENTER : DT_LEFT;
        format |= v == CVeyFontSettings::TOP ? DT_TOP : v == CVeyFontSettings::BOTTOM ? DT_BOTTOM : DT_VCENTER;
        RECT box = rect;
        dc->DrawText(shown, &box, format);
    }
    else
    {
        // The text runs upward: along the rectangle's height, its top facing left.
        const std::string shown = Truncated(*dc, text, rect.Height(), &truncated);
        TEXTMETRIC metrics{};
        dc->GetTextMetrics(&metrics);
        int32_t x = rect.left;
        UINT align = TA_TOP;
        if (h == CVeyFontSettings::CENTER)
            x = rect.left + (rect.Width() - metrics.tmHeight) / 2;
        else if (h == CVeyFontSettings::RIGHT)
        {
            x = rect.right;
            align = TA_BOTTOM;
        }
        int32_t y = rect.top + rect.Height() / 2;
        UINT along = TA_CENTER;
        if (truncated || v == CVeyFontSettings::BOTTOM)
        {
            y = rect.bottom;
            along = TA_LEFT;
        }
        else if (v == CVeyFontSettings::TOP)
        {
            y = rect.top;
            along = TA_RIGHT;
        }
        dc->SetTextAlign(align | along);
        dc->TextOut(x, y, shown);
    }
    dc->RestoreDC(saved);
}
