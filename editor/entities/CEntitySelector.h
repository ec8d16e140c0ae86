#pragma once
// Popup menus over the entity banks: the internal waves in sub-menus of 32, and the effect types
// in one sub-menu per effect category in the order of the script's "mfxCategoryTable".
#include "model/CVeyEntityManager.h"
#include "toolkit/ul/PopupMenu.h"

#include <string>
#include <vector>

class CVeyValue;

class CEntitySelector
{
public:
    // A built menu and the entity of each numbered leaf, in the menu's own leaf order, so that a
    // chosen index always maps back to the entry the user clicked.
    struct CMenu
    {
        UL::CPopupMenuItemList items;
        std::vector<CVeyEntityId> leaves;
        int32_t IndexOf(const CVeyEntityId& id) const;
    };

    // "%3d: name", twelve hyphens for an empty name.
    static std::string PrintEntity(int32_t number, const std::string& name);

    static CMenu BuildWaveMenu(const CVeyEntityId& current);
    static CMenu BuildMfxTypeMenu();

    // Shows the wave menu with the current wave marked; the chosen entity, or the invalid id.
    static CVeyEntityId TrackWaveMenu(const CVeyEntityId& current, int32_t count);
    // Shows the effect type menu; a choice sets the value to the type's number and commits it.
    static bool TrackMfxTypeMenu(CVeyValue* value);
};
