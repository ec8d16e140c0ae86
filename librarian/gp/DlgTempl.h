#pragma once
// An in-memory copy of a dialog resource's geometry: the dialog's head and each control's head,
// by control id. Rectangles are in dialog units. Resources are registered by id at start-up, as
// binary DLGTEMPLATE or DLGTEMPLATEEX images.
#include "platform/Geometry.h"

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace GP
{
constexpr DWORD DS_SETFONT = 0x40;

class CDlgTempl
{
public:
    class CDlgItemTempl
    {
    public:
        CDlgItemTempl(bool extended, const uint8_t* head);
        virtual ~CDlgItemTempl() = default;

        bool IsExtended() const { return m_extended; }
        DWORD GetStyle() const;
        DWORD GetExStyle() const;
        uint32_t GetId() const;
        // left = x, top = y, right = x + cx, bottom = y + cy, in dialog units.
        CRect GetRect() const;

        static constexpr size_t kHeadSize = 18;
        static constexpr size_t kExtendedHeadSize = 24;

    private:
        bool m_extended;
        std::array<uint8_t, kExtendedHeadSize> m_head{};
    };

    CDlgTempl() = default;
    virtual ~CDlgTempl() = default;

    // Loads the registered resource `templateId`; false (and an empty copy) when there is none or
    // it is malformed.
    bool Load(UINT templateId);
    // Parses a resource image; false (and an empty copy) when it is cut short or malformed.
    bool Parse(const uint8_t* data, size_t size);
    void Clear();

    bool IsLoaded() const { return m_loaded; }
    bool IsExtended() const { return m_extended; }
    DWORD GetStyle() const;
    int GetItemCount() const;
    CRect GetRect() const;
    // The item with this id, or null when none or several items have it.
    const CDlgItemTempl* GetItem(uint32_t id) const;

    static constexpr size_t kHeadSize = 18;
    static constexpr size_t kExtendedHeadSize = 26;

private:
    bool m_loaded = false;
    bool m_extended = false;
    std::array<uint8_t, kExtendedHeadSize> m_head{};
    std::multimap<uint32_t, CDlgItemTempl> m_items;
};

// The program's dialog resources, registered once at start-up (a later registration replaces one).
void RegisterDialogResource(UINT templateId, std::vector<uint8_t> image);
const std::vector<uint8_t>* FindDialogResource(UINT templateId);
}
