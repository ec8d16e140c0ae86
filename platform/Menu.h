#pragma once
// Pop-up menus with Windows' shapes: entries appended in order (commands, sub-menus, separators),
// greyed entries, a radio mark by position, and TrackPopupMenu's modal choice returned as the
// command number. Texts are 8-bit; '&' marks the mnemonic and "&&" shows one ampersand.
#include "platform/Messages.h"

#include <memory>
#include <string>

class CWnd;

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;

constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

class CMenu
{
public:
    CMenu();
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    BOOL CreatePopupMenu();
    BOOL DestroyMenu();
    bool IsNull() const;

    // A command entry (MF_STRING), a separator (MF_SEPARATOR) or, with MF_POPUP, a sub-menu
    // entry; the sub-menu must live as long as this menu is shown.
    BOOL AppendMenu(UINT flags, UINT_PTR commandId, const char* text);
    BOOL AppendMenu(UINT flags, CMenu* subMenu, const char* text);
    // A sub-menu entry (MF_POPUP | MF_BYPOSITION) put before `position`, or appended when the menu
    // has no entry there.
    BOOL InsertMenu(UINT position, UINT flags, CMenu* subMenu, const char* text);
    // Removes the entry at `position` (MF_BYPOSITION only); a sub-menu stays with its owner.
    BOOL DeleteMenu(UINT position, UINT flags);
    // Marks the entry at position `check` with the radio mark and clears the others in
    // first..last (MF_BYPOSITION only).
    BOOL CheckMenuRadioItem(UINT first, UINT last, UINT check, UINT flags);

    int GetMenuItemCount() const;
    // MF_GRAYED, MF_CHECKED, MF_POPUP and MF_SEPARATOR of the entry at `position`; 0xFFFFFFFF when
    // there is none.
    UINT GetMenuState(UINT position, UINT flags) const;
    std::string GetMenuString(UINT position, UINT flags) const;
    UINT GetMenuItemID(int position) const;
    CMenu* GetSubMenu(int position) const;

    // Shows the menu at the screen point and runs a modal loop until the user chooses or
    // dismisses it. With TPM_RETURNCMD returns the chosen command, 0 when none.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner);

    struct Impl;
    Impl* GetImpl() const { return d.get(); }

private:
    std::unique_ptr<Impl> d;
};
