#include "librarian/gp/DlgTempl.h"

#include <cstring>
#include <map>
#include <mutex>

namespace GP
{
namespace
{
uint16_t Word(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t DWord(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

int16_t Short(const uint8_t* p)
{
    return static_cast<int16_t>(Word(p));
}

CRect RectFrom(const uint8_t* xywh)
{
    const int32_t x = Short(xywh), y = Short(xywh + 2), cx = Short(xywh + 4), cy = Short(xywh + 6);
    return CRect(x, y, x + cx, y + cy);
}

// Reads a resource image with every step checked against its end.
class CReader
{
public:
    CReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Skip(size_t bytes)
    {
        if (bytes > m_size - m_position)
            return false;
        m_position += bytes;
        return true;
    }
    bool ReadWord(uint16_t& value)
    {
        if (m_size - m_position < 2)
            return false;
        value = Word(m_data + m_position);
        m_position += 2;
        return true;
    }
    // A field that is 0xFFFF and an ordinal, or a zero-terminated UTF-16 string.
    bool SkipStringOrOrdinal()
    {
        uint16_t first = 0;
        if (!ReadWord(first))
            return false;
        if (first == 0xFFFF)
            return Skip(2);
        return first == 0 || SkipString();
    }
    bool SkipString()
    {
        uint16_t c = 0;
        do
            if (!ReadWord(c))
                return false;
        while (c != 0);
        return true;
    }
    bool AlignToDWord() { return Skip((4 - m_position % 4) % 4); }
    const uint8_t* Here() const { return m_data + m_position; }
    size_t Left() const { return m_size - m_position; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
};

std::mutex g_resourcesMutex;
std::map<UINT, std::vector<uint8_t>>& Resources()
{
    static std::map<UINT, std::vector<uint8_t>> resources;
    return resources;
}
}

CDlgTempl::CDlgItemTempl::CDlgItemTempl(bool extended, const uint8_t* head) : m_extended(extended)
{
    std::memcpy(m_head.data(), head, extended ? kExtendedHeadSize : kHeadSize);
}

DWORD CDlgTempl::CDlgItemTempl::GetStyle() const
{
    return DWord(m_head.data() + (m_extended ? 8 : 0));
}

DWORD CDlgTempl::CDlgItemTempl::GetExStyle() const
{
    return DWord(m_head.data() + 4);
}

uint32_t CDlgTempl::CDlgItemTempl::GetId() const
{
    return m_extended ? DWord(m_head.data() + 20) : Word(m_head.data() + 16);
}

CRect CDlgTempl::CDlgItemTempl::GetRect() const
{
    return RectFrom(m_head.data() + (m_extended ? 12 : 8));
}

void CDlgTempl::Clear()
{
    m_loaded = false;
    m_extended = false;
    m_head.fill(0);
    m_items.clear();
}

bool CDlgTempl::Load(UINT templateId)
{
    Clear();
    const std::vector<uint8_t>* image = FindDialogResource(templateId);
    return image && Parse(image->data(), image->size());
}

bool CDlgTempl::Parse(const uint8_t* data, size_t size)
{
    Clear();
    if (!data || size < kHeadSize)
        return false;
    m_extended = Word(data + 2) == 0xFFFF;
    const size_t headSize = m_extended ? kExtendedHeadSize : kHeadSize;
    CReader reader(data, size);
    if (!reader.Skip(headSize))
        return false;
    std::memcpy(m_head.data(), data, headSize);

    bool ok = reader.SkipStringOrOrdinal() && reader.SkipStringOrOrdinal() && reader.SkipStringOrOrdinal();
    if (ok && (GetStyle() & DS_SETFONT))
        ok = reader.Skip(m_extended ? 6 : 2) && reader.SkipString();
    const int count = GetItemCount();
    const size_t itemHeadSize = m_extended ? CDlgItemTempl::kExtendedHeadSize : CDlgItemTempl::kHeadSize;
    for (int i = 0; ok && i < count; ++i)
    {
        ok = reader.AlignToDWord() && reader.Left() >= itemHeadSize;
        if (!ok)
            break;
        CDlgItemTempl item(m_extended, reader.Here());
        uint16_t creationData = 0;
        ok = reader.Skip(itemHeadSize) && reader.SkipStringOrOrdinal() && reader.SkipStringOrOrdinal() &&
             reader.ReadWord(creationData) && reader.Skip(creationData);
        if (ok)
            m_items.emplace(item.GetId(), item);
    }
    if (!ok)
    {
        Clear();
        return false;
    }
    m_loaded = true;
    return true;
}

DWORD CDlgTempl::GetStyle() const
{
    return DWord(m_head.data() + (m_extended ? 12 : 0));
}

int CDlgTempl::GetItemCount() const
{
    return Word(m_head.data() + (m_extended ? 16 : 8));
}

CRect CDlgTempl::GetRect() const
{
    return RectFrom(m_head.data() + (m_extended ? 18 : 10));
}

const CDlgTempl::CDlgItemTempl* CDlgTempl::GetItem(uint32_t id) const
{
    if (m_items.count(id) != 1)
        return nullptr;
    return &m_items.find(id)->second;
}

void RegisterDialogResource(UINT templateId, std::vector<uint8_t> image)
{
    std::lock_guard<std::mutex> lock(g_resourcesMutex);
    Resources()[templateId] = std::move(image);
}

const std::vector<uint8_t>* FindDialogResource(UINT templateId)
{
    std::lock_guard<std::mutex> lock(g_resourcesMutex);
    const auto it = Resources().find(templateId);
    return it == Resources().end() ? nullptr : &it->second;
}
}
