#include "librarian/gp/DialogResource.h"

#include "librarian/gp/DlgTempl.h"
#include "platform/DialogUnits.h"

namespace GP
{
namespace
{
class CWriter
{
public:
    void Word(uint16_t v)
    {
        m_bytes.push_back(static_cast<uint8_t>(v));
        m_bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void DWord(uint32_t v)
    {
        Word(static_cast<uint16_t>(v));
        Word(static_cast<uint16_t>(v >> 16));
    }
    // 8-bit text widened character by character.
    void String(const std::string& text)
    {
        for (unsigned char c : text)
            Word(c);
        Word(0);
    }
    void Ordinal(uint16_t v)
    {
        Word(0xFFFF);
        Word(v);
    }
    void Align()
    {
        while (m_bytes.size() % 4)
            m_bytes.push_back(0);
    }
    std::vector<uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

constexpr DWORD WS_TABSTOP = 0x00010000;
}

std::vector<uint8_t> BuildDialogResource(const SDialogResource& dialog)
{
    CWriter w;
    w.Word(1);        // version
    w.Word(0xFFFF);   // signature of the extended form
    w.DWord(0);       // help id
    w.DWord(0);       // extended style
    w.DWord(DS_SETFONT | WS_CAPTION | WS_SYSMENU | WS_POPUP);
    w.Word(static_cast<uint16_t>(dialog.items.size()));
    w.Word(0);
    w.Word(0);
    w.Word(static_cast<uint16_t>(dialog.cx));
    w.Word(static_cast<uint16_t>(dialog.cy));
    w.Word(0);   // no menu
    w.Word(0);   // the standard dialog class
    w.String(dialog.caption);
    w.Word(dialog.fontPoints);
    w.Word(400);   // weight
    w.Word(0);     // italic, character set
    w.String(dialog.fontFace);
    for (const SDialogResourceItem& item : dialog.items)
    {
        w.Align();
        w.DWord(0);   // help id
        w.DWord(0);   // extended style
        w.DWord(item.style | WS_CHILD | WS_TABSTOP);
        w.Word(static_cast<uint16_t>(item.x));
        w.Word(static_cast<uint16_t>(item.y));
        w.Word(static_cast<uint16_t>(item.cx));
        w.Word(static_cast<uint16_t>(item.cy));
        w.DWord(item.id);
        switch (item.kind)
        {
        case EDialogControl::Button: w.Ordinal(0x80); break;
        case EDialogControl::Edit: w.Ordinal(0x81); break;
        case EDialogControl::Static: w.Ordinal(0x82); break;
        case EDialogControl::ComboBox: w.Ordinal(0x85); break;
        default: w.String("msctls_control"); break;
        }
        w.String(item.text);
        w.Word(0);   // no creation data
    }
    return w.Take();
}

void RegisterDialog(UINT templateId, const SDialogResource& dialog)
{
    RegisterDialogResource(templateId, BuildDialogResource(dialog));
    CDialogTemplate platformTemplate;
    platformTemplate.caption = dialog.caption;
    RECT size{0, 0, dialog.cx, dialog.cy};
    MapDialogRect(nullptr, &size);
    platformTemplate.width = size.right;
    platformTemplate.height = size.bottom;
    for (const SDialogResourceItem& item : dialog.items)
    {
        RECT rect{item.x, item.y, item.x + item.cx, item.y + item.cy};
        MapDialogRect(nullptr, &rect);
        platformTemplate.items.push_back(CDialogItemTemplate{item.kind, item.id, item.text, rect, item.style});
    }
    RegisterDialogTemplate(templateId, platformTemplate);
}
}
