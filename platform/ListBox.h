#pragma once
// A list box with CListBox's shape: text entries, single or extended (multiple) selection, the
// caret entry, tab stops, and LBN_SELCHANGE and LBN_DBLCLK notifications to the parent.
#include "platform/Wnd.h"

#include <memory>
#include <string>
#include <vector>

constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_USETABSTOPS = 0x0080;
constexpr DWORD LBS_EXTENDEDSEL = 0x0800;
constexpr DWORD WS_VSCROLL = 0x00200000;

constexpr UINT LBN_SELCHANGE = 1;
constexpr UINT LBN_DBLCLK = 2;
constexpr int LB_ERR = -1;

class CListBox : public CWnd
{
public:
    CListBox();
    ~CListBox() override;

    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    int AddString(const char* text);
    void ResetContent();
    int GetCount() const;
    int GetText(int index, std::string& text) const;
    // Extended selection: selects or clears one entry (-1: all entries).
    int SetSel(int index, BOOL select = TRUE);
    int GetSel(int index) const;
    int GetSelCount() const;
    // The selected entries in ascending order.
    std::vector<int> GetSelItems() const;
    // Single selection.
    int SetCurSel(int index);
    int GetCurSel() const;
    int GetCaretIndex() const;
    int SetCaretIndex(int index);
    // One tab stop, in dialog units.
    BOOL SetTabStops(int dialogUnits);
    void SetRedraw(BOOL redraw = TRUE);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};
