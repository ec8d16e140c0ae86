#include "librarian/gp/WindowListDlg.h"

#include "librarian/gp/DialogResource.h"
#include "librarian/gp/DlgLayout.h"
#include "librarian/gp/MDIChildWndEx.h"
#include "librarian/gp/MDIFrameWndEx.h"
#include "platform/DialogUnits.h"

namespace GP
{
void RegisterWindowListDialog()
{
    SDialogResource dialog;
    dialog.caption = "Window";
    dialog.cx = 213;
    dialog.cy = 159;
    dialog.items = {
        {EDialogControl::Button, IDC_WINDOW_OPEN, "Open(&O)", 165, 5, 40, 15, WS_VISIBLE | BS_DEFPUSHBUTTON},
        {EDialogControl::Button, IDC_WINDOW_CLOSE, "Close(&C)", 165, 25, 40, 15},
        {EDialogControl::Button, IDC_WINDOW_LEAVE, "Leave(&L)", 165, 45, 40, 15},
        {EDialogControl::Button, IDC_WINDOW_TILE_HORZ, "TileH(&T)", 165, 65, 40, 15},
        {EDialogControl::Button, IDC_WINDOW_TILE_VERT, "TileV(&V)", 165, 85, 40, 15},
        {EDialogControl::Button, IDCANCEL, "Done", 165, 105, 40, 15},
        {EDialogControl::Button, IDC_WINDOW_HELP, "Help(&H)", 165, 125, 40, 15},
    };
    RegisterDialog(IDD_WINDOW_LIST, dialog);
    // The list box is not among the platform's template controls: the dialog makes it itself at
    // this place, and the layout finds it in the resource image.
    SDialogResource withList = dialog;
    withList.items.insert(withList.items.begin(),
                          SDialogResourceItem{EDialogControl::Static, IDC_WINDOW_LIST, "", 5, 5, 150, 150});
    RegisterDialogResource(IDD_WINDOW_LIST, BuildDialogResource(withList));
}

CWindowListDlg::CWindowListDlg(CMDIFrameWndEx* frame, CWnd* parent)
    : CResizeDlg(IDD_WINDOW_LIST, parent, true), m_frame(frame)
{
}

BOOL CWindowListDlg::OnInitDialog()
{
    RECT place{5, 5, 155, 155};
    MapDialogRect(this, &place);
    m_list = std::make_unique<CListBox>();
    m_list->Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_USETABSTOPS,
                   place, this, IDC_WINDOW_LIST);
    m_list->SetTabStops(10);
    const BOOL result = CResizeDlg::OnInitDialog();
    Fill();
    return result;
}

void CWindowListDlg::GetPositionKey(std::string& section, std::string& entry)
{
    section = "Window";
    entry = "WindowListDialogSize";
}

void CWindowListDlg::Layout(int, int)
{
    CDlgLayout layout(this, GetTemplate());
    layout.Calculate(IDC_WINDOW_LIST, 0x0F);
    for (UINT id : {IDC_WINDOW_OPEN, IDC_WINDOW_CLOSE, IDC_WINDOW_LEAVE, IDC_WINDOW_TILE_HORZ, IDC_WINDOW_TILE_VERT,
                    static_cast<UINT>(IDCANCEL), IDC_WINDOW_HELP})
        layout.Calculate(id, 0x02);
}

void CWindowListDlg::Fill()
{
    if (!m_list || !m_frame)
        return;
    const int active = m_frame->CollectChildren(m_children);
    m_list->SetRedraw(FALSE);
    m_list->ResetContent();
    for (CMDIChildWnd* child : m_children)
    {
        auto* ex = dynamic_cast<CMDIChildWndEx*>(child);
        const std::string title = ex ? ex->GetTitle() : child->GetWindowText();
        m_list->AddString(((child->IsIconic() ? "\t" : "*\t") + title).c_str());
    }
    if (active >= 0)
    {
        m_list->SetSel(active, TRUE);
        m_list->SetCaretIndex(active);
    }
    m_list->SetRedraw(TRUE);
}

void CWindowListDlg::Refill(bool keepSelection)
{
    if (keepSelection)
    {
        m_caret = m_list->GetCaretIndex();
        m_selection.assign(static_cast<size_t>(m_list->GetCount()), 0);
        for (int index : m_list->GetSelItems())
            m_selection[static_cast<size_t>(index)] = 1;
    }
    Fill();
    if (!keepSelection)
        return;
    m_list->SetSel(-1, FALSE);
    for (size_t i = 0; i < m_selection.size() && static_cast<int>(i) < m_list->GetCount(); ++i)
        if (m_selection[i])
            m_list->SetSel(static_cast<int>(i), TRUE);
    if (m_caret >= 0)
        m_list->SetCaretIndex(m_caret);
}

void CWindowListDlg::OpenSelected()
{
    const std::vector<int> selected = m_list->GetSelItems();
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        if (*it < static_cast<int>(m_children.size()))
        {
            CMDIChildWnd* child = m_children[static_cast<size_t>(*it)];
            child->ActivateFrame(-1);
            if (child->IsIconic())
                child->MDIRestore();
        }
}

void CWindowListDlg::CloseSelected()
{
    const std::vector<int> selected = m_list->GetSelItems();
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        if (*it < static_cast<int>(m_children.size()))
        {
            CMDIChildWnd* child = m_children[static_cast<size_t>(*it)];
            // A frame the user must not close is left alone, not asked.
            auto* ex = dynamic_cast<CMDIChildWndEx*>(child);
            if (child->GetSafeHwnd() && (!ex || ex->CanUserClose()))
                child->SendMessage(WM_CLOSE);
        }
}

void CWindowListDlg::ArrangeSelected(UINT tileCommand)
{
    for (int i = static_cast<int>(m_children.size()) - 1; i >= 0; --i)
    {
        CMDIChildWnd* child = m_children[static_cast<size_t>(i)];
        if (m_list->GetSel(i) > 0)
        {
            child->ActivateFrame(-1);
            if (child->IsIconic())
                child->MDIRestore();
        }
        else
            child->MDIMinimize();
    }
    if (tileCommand)
        m_frame->SendMessage(WM_COMMAND, tileCommand);
}

BOOL CWindowListDlg::OnCommand(UINT id, UINT code)
{
    switch (id)
    {
    case IDC_WINDOW_LIST:
        if (code != LBN_DBLCLK)
            return TRUE;
        OpenSelected();
        Refill(true);
        return TRUE;
    case IDC_WINDOW_OPEN:
        OpenSelected();
        Refill(true);
        return TRUE;
    case IDC_WINDOW_CLOSE:
        CloseSelected();
        Refill(false);
        return TRUE;
    case IDC_WINDOW_LEAVE:
        ArrangeSelected(0);
        Refill(true);
        return TRUE;
    case IDC_WINDOW_TILE_HORZ:
        ArrangeSelected(ID_WINDOW_TILE_HORZ);
        Refill(true);
        return TRUE;
    case IDC_WINDOW_TILE_VERT:
        ArrangeSelected(ID_WINDOW_TILE_VERT);
        Refill(true);
        return TRUE;
    case IDC_WINDOW_HELP: return TRUE;
    default: return CResizeDlg::OnCommand(id, code);
    }
}
}
