#pragma once
// Context menus built from a tree of items, shown at the pointer and answered with the number of
// the chosen leaf. Callers describe their choices as an item tree, optionally fold chains of single
// sub-menus, and call Track; they get back a flat index of the chosen leaf and the path to it, which
// they pass in again next time so that the current choice is marked.
//
// Numbering: only leaves with text are numbered (depth first, a sub-menu's leaves before the items
// that follow it). Separators take no number in either direction, so the flat index, the returned
// path and the mark always name the same entry.
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CMenu;

namespace UL
{
class CPopupMenuItem;
using CPopupMenuItemList = std::vector<std::unique_ptr<CPopupMenuItem>>;
// One index per menu level, from the top level down to the leaf; positions count separators.
using CMenuPath = std::vector<int32_t>;

// An entry of the tree: an empty text makes it a separator; with sub-items it is a sub-menu.
class CPopupMenuItem
{
public:
    explicit CPopupMenuItem(std::string text, std::unique_ptr<CPopupMenuItemList> subItems = nullptr);

    // Attaches the list (replacing and freeing an earlier one); a disabled item becomes enabled
    // when the list is not null.
    void SetSubItems(std::unique_ptr<CPopupMenuItemList> subItems);
    // Only a leaf's flag can be changed: a sub-menu stays as it is.
    void Enable(bool enable);
    // Depth first: an item whose only child has a sub-list of its own takes over that sub-list
    // (keeping its own text). A single leaf child is not folded away.
    static void Fold(CPopupMenuItem& item);

    const std::string& GetText() const { return m_text; }
    const CPopupMenuItemList* GetSubItems() const { return m_subItems.get(); }
    CPopupMenuItemList* GetSubItems() { return m_subItems.get(); }
    bool IsEnabled() const { return m_enabled; }
    bool IsSeparator() const { return m_text.empty(); }

private:
    std::string m_text;
    std::unique_ptr<CPopupMenuItemList> m_subItems;
    bool m_enabled = true;
};

class IPopupMenu
{
public:
    virtual ~IPopupMenu() = default;
    // Shows the menu at `point` (screen), or beside the pointer without one, with the entries along
    // `path` marked. Returns the flat index of the chosen leaf and sets `path` to it; -1 when
    // nothing was chosen (the path is left as it was).
    virtual int32_t Track(const CPopupMenuItemList& items, CMenuPath& path, const POINT* point) = 0;
    // The same with the current choice given as a flat index.
    virtual int32_t TrackIndex(const CPopupMenuItemList& items, int32_t index, const POINT* point) = 0;
};

class CPopupMenu : public IPopupMenu
{
public:
    using CItem = CPopupMenuItem;
    using CItemList = CPopupMenuItemList;

    // With `literalText` clear every '&' of an item text shows as an ampersand; set, '&' marks
    // the mnemonic.
    explicit CPopupMenu(bool literalText = false) : m_literalText(literalText) {}

    int32_t Track(const CItemList& items, CMenuPath& path, const POINT* point) override;
    int32_t TrackIndex(const CItemList& items, int32_t index, const POINT* point) override;

    // The path of the leaf numbered `index`; empty when there is none.
    static CMenuPath IndexToPath(const CItemList& items, int32_t index);
    // The number of the leaf at `path`; -1 when the path names no numbered leaf.
    static int32_t PathToIndex(const CItemList& items, const CMenuPath& path);
    static void DeleteItems(CItemList& items) { items.clear(); }

    // Builds the menus for the tree with the marks along `path`; the top menu is the last one of
    // `menus`. Command numbers start at kFirstCommand. False when a menu cannot be made.
    static constexpr UINT kFirstCommand = 1000;
    bool BuildMenus(const CItemList& items, const CMenuPath& path, std::vector<std::unique_ptr<CMenu>>& menus) const;

    std::string MenuText(const std::string& text) const;

private:
    bool BuildLevel(const CItemList& items, const CMenuPath& path, UINT& command,
                    std::vector<std::unique_ptr<CMenu>>& menus, CMenu*& built) const;

    bool m_literalText;
};

// The process-wide popup menu (texts shown literally: '&' is an ampersand).
IPopupMenu& GetPopupMenu();
}
