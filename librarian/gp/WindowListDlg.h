#pragma once
// The window-list dialog: the main frame's open children in a list in which several can be
// opened, closed, kept or tiled at once.
#include "librarian/gp/ResizeDlg.h"
#include "platform/ListBox.h"

#include <memory>
#include <vector>

class CMDIChildWnd;

namespace GP
{
class CMDIFrameWndEx;

constexpr UINT IDD_WINDOW_LIST = 28419;
constexpr UINT IDC_WINDOW_LIST = 57159;
constexpr UINT IDC_WINDOW_OPEN = 57163;
constexpr UINT IDC_WINDOW_CLOSE = 57157;
constexpr UINT IDC_WINDOW_LEAVE = 57162;
constexpr UINT IDC_WINDOW_TILE_HORZ = 57161;
constexpr UINT IDC_WINDOW_TILE_VERT = 57170;
constexpr UINT IDC_WINDOW_HELP = 57160;

// Registers dialog 28419.
void RegisterWindowListDialog();

class CWindowListDlg : public CResizeDlg
{
public:
    CWindowListDlg(CMDIFrameWndEx* frame, CWnd* parent);

    CListBox* GetList() const { return m_list.get(); }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code) override;
    void GetPositionKey(std::string& section, std::string& entry) override;
    void Layout(int cx, int cy) override;

private:
    void Fill();
    void OpenSelected();
    void CloseSelected();
    void ArrangeSelected(UINT tileCommand);
    // Refills the list and puts the caret and the selection back.
    void Refill(bool keepSelection);

    CMDIFrameWndEx* m_frame;
    std::unique_ptr<CListBox> m_list;
    int32_t m_caret = -1;
    std::vector<int> m_selection;
    std::vector<CMDIChildWnd*> m_children;
};
}
