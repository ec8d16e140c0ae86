#include "librarian/app/LibrarianViews.h"

#include "librarian/app/LibrarianCommands.h"
#include "librarian/app/LibrarianData.h"
#include "librarian/app/LibrarianDialogs.h"
#include "librarian/app/PatchListOperations.h"
#include "librarian/app/Reader.h"
#include "librarian/app/Writer.h"
#include "librarian/gp/DlgLayout.h"
#include "platform/Controls.h"
#include "platform/DialogUnits.h"
#include "platform/Gdi.h"
#include "platform/MdiFrame.h"
#include "platform/WinApp.h"
#include "toolkit/ul/Cursor.h"

#include <algorithm>
#include <numeric>

using namespace LibrarianCommands;
using namespace LibrarianIds;

namespace
{
// Room left of the list for the row buttons, and the margins around it.
constexpr int kListLeft = 36;
constexpr int kMargin = 4;

CLibrarianData& Data() { return CLibrarianData::GetInstance(); }

CLibrarianTemplate* FileTemplate()
{
    for (CDocTemplate* docTemplate : AfxGetDocTemplates())
        if (docTemplate->GetResourceId() == CDoc::kFileTemplateId)
            return dynamic_cast<CLibrarianTemplate*>(docTemplate);
    return nullptr;
}
}

// ---- the common view ----

CParamView::CParamView(UINT templateId, bool endOfLine)
    : GP::CFormViewEx(templateId), m_list(std::make_unique<CPatchListCtrl>(endOfLine))
{
}

CParamView::~CParamView() = default;

CDoc* CParamView::GetDoc() const { return dynamic_cast<CDoc*>(GetDocument()); }

CImageDocument* CParamView::GetData() const
{
    CDoc* document = GetDoc();
    return document ? &document->GetData() : nullptr;
}

CPatchArray& CParamView::GetPatches() { return GetData()->GetCurrent().GetPatches(); }

void CParamView::OnInitialUpdate()
{
    m_list->Create(LVS_REPORT | LVS_OWNERDRAWFIXED | WS_VISIBLE, CRect(kListLeft, kMargin, kListLeft + 100, 100), this, kList);
    CParameterListCtrl::SHooks hooks;
    hooks.beforeEdit = [this] {
        if (CImageDocument* data = GetData())
            data->RememberUndo(1);
    };
    hooks.afterEdit = [this] {
        CDoc* document = GetDoc();
        if (document && !document->IsImage())
            document->SetModifiedFlag(TRUE);
    };
    hooks.sendPatch = [this](int patch) { SendToTemporary(patch); };
    hooks.scrolled = [this] { RecreateRowButtons(); };
    hooks.deletePressed = [this] { Delete(); };
    m_list->SetHooks(hooks);
    OnDocumentUpdate(0);
    GP::CFormViewEx::OnInitialUpdate();
    CRect client;
    GetClientRect(&client);
    Layout(client.Width(), client.Height());
}

void CParamView::OnDocumentUpdate(int hint)
{
    if (hint == kFontHint && m_list->GetColumnCount() > 0)
        GP::CColumnWidthStore(*m_list, m_list->GetWidthSection(), m_list->GetWidthEntry()).Save();
    CImageDocument* data = GetData();
    // Only user patches are shown: in any other mode the list stays empty.
    m_list->SetArray(data && Data().IsUserMode() ? &data->GetCurrent().GetPatches() : nullptr);
    m_list->Rebuild(Data().GetGridSw() != 0);
    RecreateRowButtons();
}

int CParamView::GetListTop() const
{
    const GP::CDlgTempl::CDlgItemTempl* button = GetTemplate().GetItem(kReadAllButton);
    if (!button)
        return kMargin;
    RECT rect = button->GetRect();
    MapDialogRect(this, &rect);
    return rect.bottom + kMargin;
}

void CParamView::Layout(int cx, int cy)
{
    {
        GP::CDlgLayout layout(this, GetTemplate());
        for (UINT id : {kReadAllButton, kReadSelectedButton, kWriteAllButton, kWriteSelectedButton})
            layout.Calculate(id, GP::kAnchorLeft | GP::kAnchorTop);
    }
    if (m_list->GetSafeHwnd())
    {
        const int top = GetListTop();
        m_list->MoveWindow(CRect(kListLeft, top, std::max(kListLeft + 40, cx - kMargin), std::max(top + 40, cy - kMargin)));
    }
    RecreateRowButtons();
}

RECT CParamView::RowButtonRect(const RECT& row)
{
    RECT button{row.left - 32, row.top + 1, row.left - 12, row.bottom - 1};
    const int height = row.bottom - row.top;
    if (height > 13 && button.bottom - button.top < 14)
        button.bottom = button.top + 14;
    else if (height >= 8 && height <= 13)
        button.bottom = button.top + 8;
    return button;
}

CButton* CParamView::GetRowButton(size_t index) const
{
    return index < m_rowButtons.size() ? m_rowButtons[index].get() : nullptr;
}

void CParamView::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
}

void CParamView::RecreateRowButtons()
{
    m_rowButtons.clear();
    if (!Data().IsUserMode() || !m_list->GetSafeHwnd() || !GetSafeHwnd())
        return;
    const int top = m_list->GetTopIndex();
    int count = m_list->GetItemCount() - top - (m_list->HasEndOfLine() ? 1 : 0);
    count = std::min({count, m_list->GetCountPerPage(), static_cast<int>(kRowButtonCount)});
    CRect listRect;
    m_list->GetWindowRect(&listRect);
    ScreenToClient(&listRect);
    for (int i = 0; i < count; ++i)
    {
        RECT row;
        if (!m_list->GetSubItemRect(top + i, 0, &row))
            break;
        // The row in view coordinates, its left edge at the list's.
        const RECT inView{listRect.left, listRect.top + row.top, listRect.right, listRect.top + row.bottom};
        auto button = std::make_unique<CButton>();
        if (!button->Create("", BS_PUSHBUTTON | WS_VISIBLE, RowButtonRect(inView), this, kFirstRowButton + static_cast<UINT>(i)))
            break;
        m_rowButtons.push_back(std::move(button));
    }
}

LRESULT CParamView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
    {
        const UINT id = LOWORD(wParam);
        if (id >= kFirstRowButton && id < kFirstRowButton + kRowButtonCount)
        {
            const int patch = m_list->GetPatchOfRow(m_list->GetTopIndex() + static_cast<int>(id - kFirstRowButton));
            if (patch >= 0)
                SendToTemporary(patch);
            return 0;
        }
    }
    return GP::CFormViewEx::WindowProc(message, wParam, lParam);
}

bool CParamView::HasSelection() const { return m_list->GetFirstSelectedRow() >= 0; }

bool CParamView::HasEditableSelection() const
{
    return HasSelection() && !m_list->IsEndOfLineFirstSelected();
}

bool CParamView::BeginEditCommand()
{
    CImageDocument* data = GetData();
    if (!data || !Data().IsUserMode())
        return false;
    data->RememberUndo(Data().GetMode());
    return true;
}

void CParamView::EndEditCommand(bool reselect, int count)
{
    m_list->Refresh(reselect, count);
    CDoc* document = GetDoc();
    if (document && !document->IsImage())
        document->SetModifiedFlag(TRUE);
    RecreateRowButtons();
}

void CParamView::KeepImageSize()
{
    if (IsImageView())
        GetPatches().Resize(PatchList::kImageSize);
}

void CParamView::Undo()
{
    CImageDocument* data = GetData();
    if (!data || !data->CanUndo(Data().GetMode()))
        return;
    UL::CWaitCursor wait;
    data->Undo();
    EndEditCommand(false, 0);
}

void CParamView::Copy()
{
    if (!HasEditableSelection() || !GetData())
        return;
    UL::CWaitCursor wait;
    PatchList::Copy(GetPatches(), m_list->GetSelection(), Data().GetClipboard());
}

void CParamView::Cut()
{
    if (!HasEditableSelection() || !BeginEditCommand())
        return;
    UL::CWaitCursor wait;
    const std::vector<int> selection = m_list->GetSelection();
    PatchList::Copy(GetPatches(), selection, Data().GetClipboard());
    PatchList::Delete(GetPatches(), selection);
    KeepImageSize();
    EndEditCommand(false, 0);
}

void CParamView::Delete()
{
    if (!HasEditableSelection() || !BeginEditCommand())
        return;
    UL::CWaitCursor wait;
    PatchList::Delete(GetPatches(), m_list->GetSelection());
    KeepImageSize();
    EndEditCommand(false, 0);
}

void CParamView::Insert()
{
    if (!HasSelection() || Data().GetClipboard().IsEmpty() || !BeginEditCommand())
        return;
    UL::CWaitCursor wait;
    const size_t count = PatchList::Insert(GetPatches(), m_list->GetInsertPosition(), Data().GetClipboard());
    KeepImageSize();
    EndEditCommand(true, static_cast<int>(count));
}

void CParamView::Replace()
{
    if (!HasEditableSelection() || Data().GetClipboard().IsEmpty() || !BeginEditCommand())
        return;
    UL::CWaitCursor wait;
    PatchList::Replace(GetPatches(), m_list->GetSelection(), Data().GetClipboard());
    EndEditCommand(true, 0);
}

void CParamView::Initialize()
{
    if (!HasEditableSelection() || !BeginEditCommand())
        return;
    UL::CWaitCursor wait;
    PatchList::Initialize(GetPatches(), m_list->GetSelection());
    EndEditCommand(true, 0);
}

void CParamView::SelectAll()
{
    m_list->SelectAll();
}

CDoc* CParamView::Duplicate()
{
    CLibrarianTemplate* files = FileTemplate();
    CImageDocument* data = GetData();
    if (!files || !data)
        return nullptr;
    UL::CWaitCursor wait;
    CDoc* copy = files->OpenCopy(data->GetCurrent().GetPatches());
    if (copy && Data().IsUserMode())
        if (auto* view = dynamic_cast<CParamView*>(copy->GetView()))
            view->GetList().Refresh(true, 0);
    return copy;
}

bool CParamView::SendToTemporary(int patch)
{
    CImageDocument* data = GetData();
    CWriter* writer = Data().GetWriter();
    if (!data || !writer || patch < 0 || static_cast<size_t>(patch) >= GetPatches().GetSize())
        return false;
    if (!CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteTemporary, this))
        return false;
    UL::CWaitCursor wait;
    return writer->Write(CLibrarianData::kTemporaryArea, {patch}, GetPatches());
}

BOOL CParamView::OnViewCommand(UINT id)
{
    switch (id)
    {
    case kEditUndo: Undo(); return TRUE;
    case kEditCut: Cut(); return TRUE;
    case kEditCopy: Copy(); return TRUE;
    case kEditInsert: Insert(); return TRUE;
    case kEditReplace: Replace(); return TRUE;
    case kEditDelete: Delete(); return TRUE;
    case kEditInitialize: Initialize(); return TRUE;
    case kEditSelectAll: SelectAll(); return TRUE;
    case kFileDuplicate: Duplicate(); return TRUE;
    default: return FALSE;
    }
}

void CParamView::OnViewUpdateCommandUI(CCmdUI* ui)
{
    CImageDocument* data = GetData();
    const bool clipboard = !Data().GetClipboard().IsEmpty();
    // The image has no "End of Line" row: any selection is editable there.
    const bool editable = HasEditableSelection();
    switch (ui->m_nID)
    {
    case kEditUndo: ui->Enable(data && data->CanUndo(Data().GetMode())); break;
    case kEditCut:
    case kEditCopy:
    case kEditDelete:
    case kEditInitialize: ui->Enable(editable); break;
    case kEditInsert: ui->Enable(HasSelection() && clipboard); break;
    case kEditReplace: ui->Enable(editable && clipboard); break;
    case kEditSelectAll:
    case kFileDuplicate: ui->Enable(data != nullptr); break;
    default: break;
    }
}

CFileView::CFileView() : CParamView(kFileForm, true) {}

// ---- the image view ----

CImageView::CImageView() : CParamView(kImageForm, false) {}

std::vector<int> CImageView::AllIndices() const
{
    std::vector<int> indices(PatchList::kImageSize);
    std::iota(indices.begin(), indices.end(), 0);
    return indices;
}

void CImageView::OnInitialUpdate()
{
    CParamView::OnInitialUpdate();
    UpdateButtons();
}

void CImageView::UpdateButtons()
{
    const bool selected = HasSelection();
    for (UINT id : {kReadSelectedButton, kWriteSelectedButton})
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(selected);
}

LRESULT CImageView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        switch (LOWORD(wParam))
        {
        case kReadAllButton: ReadPatches(true); return 0;
        case kReadSelectedButton: ReadPatches(false); return 0;
        case kWriteAllButton: WritePatches(true); return 0;
        case kWriteSelectedButton: WritePatches(false); return 0;
        default: break;
        }
    return CParamView::WindowProc(message, wParam, lParam);
}

bool CImageView::ReadPatches(bool all)
{
    AReader* reader = Data().GetReader();
    CImageDocument* data = GetData();
    if (!reader || !data || (!all && !HasSelection()))
        return false;
    if (!CMidiWarningDlg::Confirm(CMidiWarningDlg::kReadUser, this))
        return false;
    UL::CWaitCursor wait;
    data->RememberUndo(Data().GetMode());
    const bool read = reader->Read(Data().GetArea(), all ? AllIndices() : m_list->GetSelection(), GetPatches());
    // A read that failed or was cancelled leaves the image as it was, and no undo step that would
    // bring the half-read state back.
    if (!read)
        data->RestoreRemembered();
    m_list->Refresh(true, 0);
    RecreateRowButtons();
    return read;
}

bool CImageView::WritePatches(bool all)
{
    CWriter* writer = Data().GetWriter();
    if (!writer || !GetData() || (!all && !HasSelection()))
        return false;
    if (!CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteUser, this))
        return false;
    UL::CWaitCursor wait;
    return writer->Write(Data().GetArea(), all ? AllIndices() : m_list->GetSelection(), GetPatches());
}

int CImageView::ExportSmf(bool all)
{
    CWriter* writer = Data().GetWriter();
    if (!writer || !GetData() || (!all && !HasSelection()))
        return kTransferFailed;
    const std::string path = PromptSmfFile(false, this);
    if (path.empty())
        return kTransferCancelled;
    UL::CWaitCursor wait;
    if (!writer->ExportSmfFile(path, Data().GetArea(), all ? AllIndices() : m_list->GetSelection(), GetPatches()))
    {
        CLibrarianData::ShowMessage(CLibrarianData::kMessageNotSaved);
        return kTransferFailed;
    }
    RememberSmfFile(path);
    return kTransferDone;
}

int CImageView::ImportSmf()
{
    AReader* reader = Data().GetReader();
    CImageDocument* data = GetData();
    if (!reader || !data)
        return kTransferFailed;
    if (!CMidiWarningDlg::Confirm(CMidiWarningDlg::kImportSmf, this))
        return kTransferCancelled;
    data->RememberUndo(0);
    const std::string path = PromptSmfFile(true, this);
    if (path.empty())
        return kTransferCancelled;
    UL::CWaitCursor wait;
    const bool imported = reader->ImportSmfFile(path, GetPatches());
    if (!imported)
        CLibrarianData::ShowMessage(CLibrarianData::kMessageNotLoaded);
    else
        RememberSmfFile(path);
    m_list->Refresh(true, 0);
    RecreateRowButtons();
    // The rows that took the file's data are shown selected, wherever the list was scrolled.
    if (imported)
        m_list->SelectPatches(reader->GetImportedPatches());
    return imported ? kTransferDone : kTransferFailed;
}

void CImageView::SetUpGrid()
{
    CSetGridDlg dialog(AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr);
    dialog.m_grid = Data().GetGridSw();
    if (dialog.DoModal() != IDOK)
        return;
    Data().SetGridSw(dialog.m_grid);
    for (CDocTemplate* docTemplate : AfxGetDocTemplates())
        for (CDocument* document : docTemplate->GetDocuments())
            for (CView* view : document->GetViews())
                if (auto* patchView = dynamic_cast<CParamView*>(view))
                    patchView->GetList().SetGridLines(dialog.m_grid != 0);
}

BOOL CImageView::OnViewCommand(UINT id)
{
    switch (id)
    {
    case kReadAll: ReadPatches(true); return TRUE;
    case kReadSelected: ReadPatches(false); return TRUE;
    case kWriteAll: WritePatches(true); return TRUE;
    case kWriteSelected: WritePatches(false); return TRUE;
    case kExportSmfAll: ExportSmf(true); return TRUE;
    case kExportSmfSelected: ExportSmf(false); return TRUE;
    case kImportSmf: ImportSmf(); return TRUE;
    case kSetUpGrid: SetUpGrid(); return TRUE;
    default: return CParamView::OnViewCommand(id);
    }
}

void CImageView::OnViewUpdateCommandUI(CCmdUI* ui)
{
    UpdateButtons();
    // In any "Mode" but 1 the transfers still run their checks with the instrument and then
    // address no patch (the area is -1); the list shows no rows, so nothing can be selected.
    switch (ui->m_nID)
    {
    case kReadSelected:
    case kWriteSelected:
    case kExportSmfSelected: ui->Enable(HasSelection()); break;
    case kReadAll:
    case kWriteAll:
    case kExportSmfAll:
    case kImportSmf: ui->Enable(TRUE); break;
    case kFileClose:
    case kFileSave:
    case kFileSaveAs: ui->Enable(FALSE); break;
    default: CParamView::OnViewUpdateCommandUI(ui);
    }
}
