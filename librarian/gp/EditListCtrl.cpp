#include "librarian/gp/EditListCtrl.h"

#include "librarian/gp/SpinNumber.h"
#include "platform/Dialog.h"
#include "platform/MouseHook.h"
#include "platform/Profile.h"

#include <algorithm>
#include <cstring>

namespace GP
{
namespace
{
CEditListCtrl* g_editingList = nullptr;
HHOOK g_editHook = nullptr;
bool g_writing = false;   // values are being validated or written: the hook lets presses through
int g_lastDragY = 0;

constexpr UINT FirstEditorId = 100;
constexpr UINT LastEditorId = 57343;
constexpr UINT ReplaceDialogId = 28417;
constexpr UINT SearchEditId = 57167;
constexpr UINT ReplacementEditId = 57165;

bool IsShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The length of the character at `i`: two bytes for a double-byte character whose trail is there.
size_t CharLength(const std::string& text, size_t i)
{
    return IsShiftJisLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

std::string ReplaceAll(const std::string& text, const std::string& search, const std::string& replacement)
{
    if (search.empty())
        return replacement;
    std::string result;
    size_t i = 0;
    while (i < text.size())
    {
        if (text.compare(i, search.size(), search) == 0)
        {
            result += replacement;
            i += search.size();
            continue;
        }
        const size_t length = CharLength(text, i);
        result.append(text, i, length);
        i += length;
    }
    return result;
}

std::string WithoutStar(const std::string& text) { return !text.empty() && text[0] == '*' ? text.substr(1) : text; }

class CReplaceDialog : public CDialog
{
public:
    explicit CReplaceDialog(CWnd* parent) : CDialog(ReplaceDialogId, parent)
    {
        if (!HasDialogTemplate(ReplaceDialogId))
        {
            CDialogTemplate dialog;
            dialog.caption = "Replace String";
            dialog.width = 300;
            dialog.height = 110;
            dialog.items = {
                {EDialogControl::Static, IDC_STATIC, "Search:", RECT{10, 12, 90, 30}},
                {EDialogControl::Edit, SearchEditId, "", RECT{90, 10, 200, 30}, WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL},
                {EDialogControl::Static, IDC_STATIC, "Replace with:", RECT{10, 42, 90, 60}},
                {EDialogControl::Edit, ReplacementEditId, "", RECT{90, 40, 200, 60}, WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL},
                {EDialogControl::Button, IDOK, "Replace", RECT{210, 10, 290, 32}, WS_VISIBLE | BS_DEFPUSHBUTTON},
                {EDialogControl::Button, IDCANCEL, "Close", RECT{210, 40, 290, 62}, WS_VISIBLE},
            };
            RegisterDialogTemplate(ReplaceDialogId, dialog);
        }
    }
    std::string search;
    std::string replacement;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetDlgItemText(SearchEditId, search.c_str());
        SetDlgItemText(ReplacementEditId, replacement.c_str());
        return TRUE;
    }
    void OnOK() override
    {
        search = GetDlgItemText(SearchEditId);
        replacement = GetDlgItemText(ReplacementEditId);
        CDialog::OnOK();
    }
};
}

struct CEditListHook
{
    static LRESULT Procedure(int code, WPARAM message, LPARAM hookStruct)
    {
        CEditListCtrl* list = g_editingList;
        if (code != HC_ACTION || !list || g_writing || !list->m_active || !hookStruct)
            return CallNextHookEx(g_editHook, code, message, hookStruct);
        const bool left = message == WM_LBUTTONDOWN || message == WM_NCLBUTTONDOWN;
        const bool right = message == WM_RBUTTONDOWN || message == WM_NCRBUTTONDOWN;
        if (!left && !right)
            return CallNextHookEx(g_editHook, code, message, hookStruct);
        const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(hookStruct);
        // A press in an editor (a spin editor's button included) makes it the active one.
        for (const std::unique_ptr<IPopup>& editor : list->m_editors)
        {
            if (editor && editor->GetWnd()->GetSafeHwnd() && info->hwnd &&
                IsChild(editor->GetWnd()->GetSafeHwnd(), info->hwnd))
            {
                list->m_active = editor.get();
                return CallNextHookEx(g_editHook, code, message, hookStruct);
            }
        }
        if (std::strcmp(info->className, "ComboLBox") == 0)
            return CallNextHookEx(g_editHook, code, message, hookStruct);
        const bool commit = left && list->m_active->IsChanged();
        if (!list->EndEdit(commit))
            return 1;   // a refused value keeps the edit open; the press is swallowed
        return CallNextHookEx(g_editHook, code, message, hookStruct);
    }
};

CEditListCtrl::CEditListCtrl() = default;

CEditListCtrl::~CEditListCtrl()
{
    if (g_editingList == this)
    {
        if (g_editHook)
            UnhookWindowsHookEx(g_editHook);
        g_editHook = nullptr;
        g_editingList = nullptr;
    }
}

CEditListCtrl* CEditListCtrl::GetEditingList() { return g_editingList; }

std::string& CEditListCtrl::LastSearch()
{
    static std::string text;
    return text;
}

std::string& CEditListCtrl::LastReplacement()
{
    static std::string text;
    return text;
}

BOOL CEditListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CListCtrl::Create(style | LVS_REPORT | LVS_OWNERDRAWFIXED, rect, parent, id))
        return FALSE;
    SetExtendedStyle(LVS_EX_FULLROWSELECT);
    return TRUE;
}

int CEditListCtrl::InsertColumn(int index, const LVCOLUMNA& column, const SELVColumn& record)
{
    index = std::clamp(index, 0, GetColumnCount());
    LVCOLUMNA header = column;
    header.fmt = static_cast<int>(record.flags & ELVC_ALIGN_MASK);
    m_records.insert(m_records.begin() + index, record);
    if (m_currentColumn >= index)
        ++m_currentColumn;
    return CListCtrl::InsertColumn(index, header);
}

BOOL CEditListCtrl::DeleteColumn(int index)
{
    if (!CListCtrl::DeleteColumn(index))
        return FALSE;
    m_records.erase(m_records.begin() + index);
    if (m_currentColumn == index)
        m_currentColumn = -1;
    else if (m_currentColumn > index)
        --m_currentColumn;
    return TRUE;
}

int CEditListCtrl::InsertItem(int index, LPARAM data) { return CListCtrl::InsertItem(index, data); }

void CEditListCtrl::SetGridLines(bool on) { SetExtendedStyle(LVS_EX_FULLROWSELECT | (on ? LVS_EX_GRIDLINES : 0)); }

int CEditListCtrl::GetFocusedItem() const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (GetItemState(i, LVIS_FOCUSED))
            return i;
    return -1;
}

void CEditListCtrl::ScrollItemToTop(int item) { Scroll(CSize(0, item - GetTopIndex())); }

void CEditListCtrl::SelectItems(int item, bool select)
{
    const UINT wanted = select ? LVIS_SELECTED : 0;
    for (int i = item < 0 ? 0 : item; i < (item < 0 ? GetItemCount() : std::min(item + 1, GetItemCount())); ++i)
        if (GetItemState(i, LVIS_SELECTED) != wanted)
            SetItemState(i, wanted, LVIS_SELECTED);
}

bool CEditListCtrl::IsItemSelected(int item) const { return GetItemState(item, LVIS_SELECTED) != 0; }

bool CEditListCtrl::HitTestCell(POINT point, int& row, int& column) const
{
    int subItem = -1;
    row = SubItemHitTest(point, &subItem);
    column = subItem;
    const int last = std::min(GetTopIndex() + GetCountPerPage(), GetItemCount());
    return row >= GetTopIndex() && row < last && column >= 0;
}

BOOL CEditListCtrl::GetCellRect(int row, int column, RECT* rect) const { return GetSubItemRect(row, column, rect); }

void CEditListCtrl::SetCurrentColumn(int index)
{
    LVCOLUMNA header;
    if (GetColumn(m_currentColumn, header))
    {
        header.text = WithoutStar(header.text);
        SetColumn(m_currentColumn, header);
    }
    if (GetColumnCount() == 0)
    {
        m_currentColumn = -1;
        return;
    }
    m_currentColumn = std::clamp(index, 0, GetColumnCount() - 1);
    GetColumn(m_currentColumn, header);
    header.text = "*" + header.text;
    SetColumn(m_currentColumn, header);
    // Scroll sideways so that the column shows.
    RECT cell;
    RECT client;
    GetSubItemRect(GetTopIndex(), m_currentColumn, &cell);
    GetClientRect(&client);
    if (cell.left < 0)
        Scroll(CSize(cell.left, 0));
    else if (cell.right > client.right)
        Scroll(CSize(std::min<LONG>(cell.right - client.right, cell.left), 0));
}

IPopup* CEditListCtrl::GetEditor(int row) const
{
    return row >= 0 && row < static_cast<int>(m_editors.size()) ? m_editors[static_cast<size_t>(row)].get() : nullptr;
}

bool CEditListCtrl::AnyColumnEditable() const
{
    return std::any_of(m_records.begin(), m_records.end(), [](const SELVColumn& r) { return (r.flags & ELVC_EDITABLE) != 0; });
}

bool CEditListCtrl::GetCellNumber(int, int, double& number)
{
    number = 0;
    return false;
}

void CEditListCtrl::SetCellValue(int, int, const CCellValue&) {}

bool CEditListCtrl::IsValueValid(int, int column, const CCellValue& value, bool)
{
    if (column < 0 || column >= static_cast<int>(m_records.size()))
        return false;
    const SELVColumn& record = m_records[static_cast<size_t>(column)];
    if ((record.flags & ELVC_EDITOR_MASK) != ELVC_SPINEDIT)
        return true;
    return record.minimum <= value.number && value.number <= record.maximum;
}

void CEditListCtrl::OnSpinBegin(UINT) {}
void CEditListCtrl::OnSpinEnd(UINT) {}

std::unique_ptr<IPopup> CEditListCtrl::MakeEditor(const SELVColumn& record) const
{
    switch (record.flags & ELVC_EDITOR_MASK)
    {
    case ELVC_COMBOBOX: return std::make_unique<CPopupComboBox>(record.items);
    case ELVC_SPINEDIT:
    {
        const int32_t kind = (record.flags & ELVC_SPIN_INTEGER) ? SpinNumber::Integer : SpinNumber::Real;
        const int32_t format = (record.flags & ELVC_SPIN_SIGNEDHEX) ? SpinNumber::SignedHexadecimal : SpinNumber::Decimal;
        return std::make_unique<CPopupSpinEdit>(kind, format, record.digit, record.minimum, record.maximum,
                                                record.precision, record.realFormatFlags);
    }
    default: return std::make_unique<CPopupEdit>();
    }
}

void CEditListCtrl::SendEditNotifications(UINT code, bool committed)
{
    CWnd* parent = GetParent();
    if (!parent)
        return;
    const bool withText = code == LVN_BEGINLABELEDIT || committed;
    for (int row = 0; row < GetItemCount(); ++row)
    {
        if (!IsItemSelected(row))
            continue;
        std::string text = withText ? GetItemText(row, m_currentColumn) : std::string();
        NMLVDISPINFOA info{};
        info.hdr = NMHDR{GetSafeHwnd(), GetDlgCtrlID(), code};
        info.item.mask = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        info.item.iItem = row;
        info.item.iSubItem = m_currentColumn;
        info.item.stateMask = 0xFF0F;
        info.item.state = GetItemState(row, 0xFF0F);
        info.item.lParam = GetItemData(row);
        info.item.pszText = withText ? text.data() : nullptr;
        info.item.cchTextMax = withText ? static_cast<int>(text.size()) : 0;
        parent->SendMessage(WM_NOTIFY, committed ? 1 : 2, reinterpret_cast<LPARAM>(&info));
    }
}

bool CEditListCtrl::BeginEdit(int row, int column)
{
    if (g_editingList || m_active || column < 0 || column >= GetColumnCount())
        return false;
    m_retired.clear();
    const SELVColumn& record = m_records[static_cast<size_t>(column)];
    const int top = GetTopIndex();
    const int last = std::min(top + GetCountPerPage(), GetItemCount()) - 1;
    SendEditNotifications(LVN_BEGINLABELEDIT, true);

    const DWORD align = (record.flags & ELVC_ALIGN_MASK) == 1 ? ES_RIGHT : (record.flags & ELVC_ALIGN_MASK) == 2 ? ES_CENTER : 0;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | align;
    const bool spin = (record.flags & ELVC_EDITOR_MASK) == ELVC_SPINEDIT;
    m_editors.clear();
    m_editors.resize(static_cast<size_t>(GetItemCount()));
    m_editColumn = column;
    IPopup* first = nullptr;
    for (int item = top; item <= last; ++item)
    {
        if (!IsItemSelected(item))
            continue;
        std::unique_ptr<IPopup> editor = MakeEditor(record);
        RECT cell;
        GetCellRect(item, column, &cell);
        const UINT id = static_cast<UINT>(item) + FirstEditorId;
        const std::string text = spin ? std::string() : GetItemText(item, column);
        if (!editor->CreateInPlace(style, cell, this, id, text))
            continue;
        if (spin)
        {
            double number = 0;
            GetCellNumber(item, column, number);
            static_cast<CPopupSpinEdit*>(editor.get())->ShowStartValue(number);
        }
        if (!first)
            first = editor.get();
        if (item == row)
            m_active = editor.get();
        m_editors[static_cast<size_t>(item)] = std::move(editor);
    }
    if (!m_active)
        m_active = first;
    if (!m_active)
    {
        m_editors.clear();
        SendEditNotifications(LVN_ENDLABELEDIT, false);
        return false;
    }
    // Creation set the editors' texts; none of that is a change.
    m_active->GetWnd()->SetFocus();
    if (spin)
    {
        m_editNumber = 0;
        m_deltaMode = true;
    }
    else
    {
        m_editText = m_active->GetWnd()->GetWindowText();
        m_deltaMode = false;
    }
    g_editingList = this;
    g_editHook = SetWindowsHookEx(WH_MOUSE, &CEditListHook::Procedure, nullptr, GetCurrentThreadId());
    return true;
}

std::vector<std::pair<int, CCellValue>> CEditListCtrl::CollectCommitValues()
{
    std::vector<std::pair<int, CCellValue>> values;
    const bool spin = (m_records[static_cast<size_t>(m_editColumn)].flags & ELVC_EDITOR_MASK) == ELVC_SPINEDIT;
    for (int row = 0; row < GetItemCount(); ++row)
    {
        if (!IsItemSelected(row))
            continue;
        CCellValue value;
        if (spin)
        {
            value.isNumber = true;
            double own = 0;
            GetCellNumber(row, m_editColumn, own);
            value.number = m_deltaMode ? own + m_editNumber : m_editNumber;
        }
        else
            value.text = m_editText;
        values.emplace_back(row, value);
    }
    return values;
}

bool CEditListCtrl::WriteValues(int column, const std::vector<std::pair<int, CCellValue>>& values)
{
    g_writing = true;
    for (const auto& [row, value] : values)
        if (!IsValueValid(row, column, value, false))
        {
            g_writing = false;
            return false;
        }
    for (const auto& [row, value] : values)
        SetCellValue(row, column, value);
    g_writing = false;
    return true;
}

bool CEditListCtrl::EndEdit(bool commit)
{
    if (!m_active)
        return true;
    if (commit && !WriteValues(m_editColumn, CollectCommitValues()))
        return false;
    if (g_editingList == this)
    {
        if (g_editHook)
            UnhookWindowsHookEx(g_editHook);
        g_editHook = nullptr;
        g_editingList = nullptr;
    }
    m_active = nullptr;
    for (std::unique_ptr<IPopup>& editor : m_editors)
        if (editor)
        {
            if (editor->GetWnd()->GetSafeHwnd())
                editor->GetWnd()->DestroyWindow();
            m_retired.push_back(std::move(editor));
        }
    m_editors.clear();
    if (GetSafeHwnd())
        SetFocus();
    SendEditNotifications(LVN_ENDLABELEDIT, commit);
    Invalidate(FALSE);
    return true;
}

void CEditListCtrl::OnEditorChange(UINT id)
{
    IPopup* sender = GetEditor(static_cast<int>(id - FirstEditorId));
    if (!sender || sender != m_active)
        return;
    const std::string text = sender->GetWnd()->GetWindowText();
    const bool spin = sender->GetKind() == IPopup::SpinEdit;
    if (spin)
    {
        // The active editor's own steps are mirrored as steps, not as typed text.
        if (static_cast<CPopupSpinEdit*>(sender)->GetMode() != CSpinEdit::Typing)
            return;
        m_deltaMode = false;
        double number = 0;
        SpinNumber::ParseReal(text, number);
        m_editNumber = number;
    }
    else
        m_editText = text;
    for (const std::unique_ptr<IPopup>& editor : m_editors)
        if (editor && editor.get() != sender && editor->GetWnd()->GetWindowText() != text)
            editor->GetWnd()->SetWindowText(text.c_str());
}

void CEditListCtrl::OnEditorSelEndOk(UINT id)
{
    IPopup* sender = GetEditor(static_cast<int>(id - FirstEditorId));
    if (!sender || sender != m_active || sender->GetKind() != IPopup::ComboBox)
        return;
    auto* combo = static_cast<CPopupComboBox*>(sender);
    const int selected = combo->GetCurSel();
    m_editText = combo->GetLBText(selected);
    for (const std::unique_ptr<IPopup>& editor : m_editors)
        if (editor && editor.get() != sender && editor->GetKind() == IPopup::ComboBox)
        {
            auto* other = static_cast<CPopupComboBox*>(editor.get());
            other->SetCurSel(other->FindStringExact(-1, m_editText.c_str()));
        }
}

LRESULT CEditListCtrl::OnStep(const NMHDR* header)
{
    IPopup* sender = GetEditor(static_cast<int>(header->idFrom) - static_cast<int>(FirstEditorId));
    if (!sender || sender != m_active)
        return 0;
    const double change = reinterpret_cast<const NMSPINEDIT*>(header)->change;
    const double saved = m_editNumber;
    m_editNumber += change;
    // In delta mode each row steps from its own number; after typed text every row gets the same.
    for (int row = 0; row < GetItemCount(); ++row)
    {
        if (!IsItemSelected(row))
            continue;
        CCellValue value;
        value.isNumber = true;
        double own = 0;
        GetCellNumber(row, m_editColumn, own);
        value.number = m_deltaMode ? own + m_editNumber : m_editNumber;
        if (!IsValueValid(row, m_editColumn, value, m_deltaMode))
        {
            m_editNumber = saved;
            return 1;
        }
    }
    for (const std::unique_ptr<IPopup>& editor : m_editors)
        if (editor && editor.get() != sender)
        {
            auto* spin = static_cast<CPopupSpinEdit*>(editor.get());
            spin->SetValue(spin->GetValue() + change);
        }
    return 0;
}

LRESULT CEditListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
    {
        const UINT id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        if (id >= FirstEditorId && id <= LastEditorId)
        {
            switch (code)
            {
            case SEN_BEGINSTEP: OnSpinBegin(id); return 0;
            case SEN_ENDSTEP: OnSpinEnd(id); return 0;
            case EN_CHANGE: OnEditorChange(id); return 0;
            case CBN_SELENDOK: OnEditorSelEndOk(id); return 0;
            default: break;
            }
        }
    }
    if (message == WM_NOTIFY && lParam)
    {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == NM_RETURN && m_active)
        {
            if (wParam == 1)
                return EndEdit(m_active->IsChanged()) ? 1 : 0;
            return EndEdit(false) ? 1 : 0;
        }
        if (header->code == SEN_STEP)
            return OnStep(header);
    }
    return CListCtrl::WindowProc(message, wParam, lParam);
}

void CEditListCtrl::Notify(UINT code)
{
    if (CWnd* parent = GetParent())
    {
        NMHDR header{GetSafeHwnd(), GetDlgCtrlID(), code};
        parent->SendMessage(WM_NOTIFY, GetDlgCtrlID(), reinterpret_cast<LPARAM>(&header));
    }
}

void CEditListCtrl::ApplyDragSelection(int row)
{
    const int mark = GetSelectionMark();
    const int low = std::min(mark, row);
    const int high = std::max(mark, row);
    const bool markSelected = m_dragMode == ToggleDrag && mark >= 0 && mark < m_snapshot.GetSize() && m_snapshot[mark];
    for (int i = 0; i < GetItemCount(); ++i)
    {
        bool selected;
        if (m_dragMode == ToggleDrag)
            selected = (i >= low && i <= high) ? markSelected : (i < m_snapshot.GetSize() && m_snapshot[i]);
        else
            selected = i >= low && i <= high;
        SelectItems(i, selected);
    }
    SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
}

void CEditListCtrl::OnLButtonDown(UINT flags, CPoint point)
{
    if (GetStyle() & LVS_SINGLESEL)
        return CListCtrl::OnLButtonDown(flags, point);
    SetFocus();
    m_leftPressed = true;
    if (HeaderHitTest(point) >= 0)
        return CListCtrl::OnLButtonDown(flags, point);
    int row = -1;
    int column = -1;
    if (!HitTestCell(point, row, column))
        return;
    const bool shift = (flags & MK_SHIFT) != 0;
    const bool control = (flags & MK_CONTROL) != 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (alt)
        return;
    if (shift)
    {
        m_dragMode = RangeDrag;
        if (GetSelectionMark() < 0)
            SetSelectionMark(row);
        ApplyDragSelection(row);
    }
    else if (control)
    {
        m_dragMode = ToggleDrag;
        SelectItems(row, !IsItemSelected(row));
        m_snapshot.SetSize(GetItemCount());
        for (int i = 0; i < GetItemCount(); ++i)
            m_snapshot[i] = IsItemSelected(i) ? 1 : 0;
        SetSelectionMark(row);
        SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    else
    {
        m_dragMode = SingleDrag;
        SetSelectionMark(row);
        ApplyDragSelection(row);
    }
    g_lastDragY = point.y;
    SetCapture();
}

void CEditListCtrl::OnMouseMove(UINT flags, CPoint point)
{
    if (m_dragMode == NoDrag)
        return CListCtrl::OnMouseMove(flags, point);
    RECT client;
    GetClientRect(&client);
    int row = -1;
    int column = -1;
    const int pageEnd = std::min(GetTopIndex() + GetCountPerPage(), GetItemCount()) - 1;
    if (point.y < GetHeaderHeight() && point.y < g_lastDragY)
    {
        Scroll(CSize(0, -1));
        row = GetTopIndex();
    }
    else if (point.y >= client.bottom && point.y > g_lastDragY)
    {
        Scroll(CSize(0, 1));
        row = std::min(GetTopIndex() + GetCountPerPage(), GetItemCount()) - 1;
    }
    else if (!HitTestCell(point, row, column))
        row = -1;
    (void)pageEnd;
    g_lastDragY = point.y;
    if (row >= 0)
        ApplyDragSelection(row);
}

void CEditListCtrl::OnLButtonUp(UINT flags, CPoint point)
{
    m_dragMode = NoDrag;
    if (GetCapture() == this)
        ReleaseCapture();
    CListCtrl::OnLButtonUp(flags, point);
    if (m_leftPressed)
    {
        m_leftPressed = false;
        Notify(NM_CLICK);
    }
}

void CEditListCtrl::OnRButtonDown(UINT flags, CPoint point)
{
    SetFocus();
    m_rightPressed = true;
    int row = -1;
    int column = -1;
    if (!HitTestCell(point, row, column) || !(m_records[static_cast<size_t>(column)].flags & ELVC_EDITABLE))
        return CListCtrl::OnRButtonDown(flags, point);
    SetCurrentColumn(column);
    if (IsItemSelected(row))
        BeginEdit(row, column);
}

void CEditListCtrl::OnRButtonUp(UINT flags, CPoint point)
{
    CListCtrl::OnRButtonUp(flags, point);
    if (m_rightPressed)
    {
        m_rightPressed = false;
        Notify(NM_RCLICK);
    }
}

void CEditListCtrl::MoveCurrentColumn(int direction)
{
    for (int c = m_currentColumn + direction; c >= 0 && c < GetColumnCount(); c += direction)
        if (m_records[static_cast<size_t>(c)].flags & ELVC_EDITABLE)
        {
            SetCurrentColumn(c);
            return;
        }
}

void CEditListCtrl::OnKeyDown(UINT virtualKey, UINT repeatCount, UINT flags)
{
    switch (virtualKey)
    {
    case VK_RETURN:
        if (m_currentColumn >= 0 && (m_records[static_cast<size_t>(m_currentColumn)].flags & ELVC_EDITABLE))
        {
            const int last = std::min(GetTopIndex() + GetCountPerPage(), GetItemCount());
            for (int row = GetTopIndex(); row < last; ++row)
                if (IsItemSelected(row))
                {
                    BeginEdit(row, m_currentColumn);
                    break;
                }
        }
        return;
    case VK_LEFT: MoveCurrentColumn(-1); return;
    case VK_RIGHT: MoveCurrentColumn(+1); return;
    default: CListCtrl::OnKeyDown(virtualKey, repeatCount, flags);
    }
}

bool CEditListCtrl::WantsKey(UINT virtualKey, UINT character) const
{
    if (character != 0)
        return std::strchr("$JK^_hjkl|", static_cast<int>(character)) != nullptr || character == 18;
    return (virtualKey == VK_RETURN && AnyColumnEditable()) || virtualKey == VK_LEFT || virtualKey == VK_RIGHT;
}

BOOL CEditListCtrl::OnListChar(UINT character)
{
    switch (character)
    {
    case 'j':
    case 'J': CListCtrl::OnKeyDown(VK_DOWN, 1, 0); return TRUE;
    case 'k':
    case 'K': CListCtrl::OnKeyDown(VK_UP, 1, 0); return TRUE;
    case '^':
    case '_':
    case '|': SetCurrentColumn(0); return TRUE;
    case '$': SetCurrentColumn(GetColumnCount() - 1); return TRUE;
    case 'h': MoveCurrentColumn(-1); return TRUE;
    case 'l': MoveCurrentColumn(+1); return TRUE;
    case 18:
        if (m_currentColumn >= 0 &&
            (m_records[static_cast<size_t>(m_currentColumn)].flags & (ELVC_EDITABLE | ELVC_EDITOR_MASK)) == (ELVC_EDITABLE | ELVC_EDITBOX) &&
            GetSelectedCount() > 0)
            ReplaceString(m_currentColumn);
        return TRUE;
    default: return FALSE;
    }
}

bool CEditListCtrl::ReplaceString(int column)
{
    if (column < 0 || column >= GetColumnCount() || m_active)
        return false;
    // Owned by the top-level window, as dialogs are: disabling a child owner would disable the
    // dialog with it.
    CWnd* owner = this;
    while (owner->GetParent())
        owner = owner->GetParent();
    CReplaceDialog dialog(owner);
    dialog.search = LastSearch();
    dialog.replacement = LastReplacement();
    if (dialog.DoModal() != IDOK)
        return false;
    LastSearch() = dialog.search;
    LastReplacement() = dialog.replacement;
    std::vector<std::pair<int, CCellValue>> values;
    for (int row = 0; row < GetItemCount(); ++row)
        if (IsItemSelected(row))
        {
            CCellValue value;
            value.text = ReplaceAll(GetItemText(row, column), dialog.search, dialog.replacement);
            values.emplace_back(row, value);
        }
    const int saved = m_currentColumn;
    m_currentColumn = column;
    SendEditNotifications(LVN_BEGINLABELEDIT, true);
    const bool written = WriteValues(column, values);
    // Every begin gets its end: a refused replacement ends as an edit without commit.
    SendEditNotifications(LVN_ENDLABELEDIT, written);
    m_currentColumn = saved;
    if (written)
        Invalidate(FALSE);
    return written;
}

void CEditListCtrl::OnVScroll()
{
    if (m_active)
        EndEdit(false);
}

BOOL CEditListCtrl::OnMouseWheel(UINT flags, short delta, CPoint point)
{
    if (m_active)
        EndEdit(false);
    return CListCtrl::OnMouseWheel(flags, delta, point);
}

void CEditListCtrl::OnSetFocus(CWnd* oldWindow)
{
    if (m_active && m_active->GetWnd()->GetSafeHwnd())
        m_active->GetWnd()->SetFocus();
    else
        CListCtrl::OnSetFocus(oldWindow);
}

void CEditListCtrl::OnDestroy()
{
    if (m_active)
        EndEdit(false);
    CListCtrl::OnDestroy();
}

void CEditListCtrl::DrawItem(DRAWITEMSTRUCT* drawItem)
{
    CDC& dc = *drawItem->pDC;
    const int row = static_cast<int>(drawItem->itemID);
    const bool enabled = IsWindowEnabled() != FALSE;
    COLORREF text = enabled ? GetSysColor(COLOR_WINDOWTEXT) : RGB(0x80, 0x80, 0x80);
    COLORREF back = GetSysColor(COLOR_WINDOW);
    if (text == back)
        text = RGB(0xC0, 0xC0, 0xC0);
    if (enabled && (drawItem->itemState & ODS_SELECTED))
    {
        text = GetSysColor(COLOR_HIGHLIGHTTEXT);
        back = GetSysColor(COLOR_HIGHLIGHT);
    }
    dc.SelectObject(GetFont());
    dc.SetTextColor(text);
    const int margin = dc.GetTextExtent(" ").cx;
    const int ellipsisWidth = dc.GetTextExtent("...").cx;
    for (int column = 0; column < GetColumnCount(); ++column)
    {
        RECT cell;
        GetSubItemRect(row, column, &cell);
        dc.FillSolidRect(cell, back);
        std::string shown = GetItemText(row, column);
        RECT area{cell.left + margin, cell.top, cell.right - margin, cell.bottom};
        const int room = area.right - area.left;
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        if (dc.GetTextExtent(shown).cx > room)
        {
            shown = ShortenWithEllipsis(shown, room - ellipsisWidth,
                                        [&dc](const std::string& part) { return dc.GetTextExtent(part).cx; });
        }
        else
        {
            const uint32_t align = m_records[static_cast<size_t>(column)].flags & ELVC_ALIGN_MASK;
            format |= align == 1 ? DT_RIGHT : align == 2 ? DT_CENTER : DT_LEFT;
        }
        dc.DrawText(shown, &area, format);
    }
    if (drawItem->itemState & ODS_FOCUS)
    {
        CBrush brush(RGB(0x80, 0x80, 0x80));
        dc.FrameRect(drawItem->rcItem, &brush);
    }
    if (IPopup* editor = GetEditor(row))
        editor->GetWnd()->Invalidate(FALSE);
}

std::string ShortenWithEllipsis(const std::string& text, int room,
                                const std::function<int(const std::string&)>& width)
{
    // Cut by whole characters, never splitting a double-byte one (which would draw a stray lead
    // byte), and down to nothing for a column dragged narrower than "...".
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); i += CharLength(text, i))
        starts.push_back(i);
    std::string shown = text;
    while (!starts.empty() && width(shown) > room)
    {
        shown.resize(starts.back());
        starts.pop_back();
    }
    return shown + "...";
}

// ---- CColumnWidthStore ----

CColumnWidthStore::CColumnWidthStore(CListCtrl& list, std::string section, std::string entry)
    : m_list(list), m_section(std::move(section)), m_entry(std::move(entry))
{
}

void CColumnWidthStore::Restore()
{
    const std::string stored = GetProfileString(m_section, m_entry, "");
    std::vector<int> widths;
    size_t i = 0;
    while (i < stored.size())
    {
        while (i < stored.size() && stored[i] == ',')
            ++i;
        const size_t end = std::min(stored.find(',', i), stored.size());
        if (end > i)
        {
            double width = 0;
            // A field that is no number sizes its column to the header, as a missing one does.
            widths.push_back(SpinNumber::ParseReal(stored.substr(i, end - i), width) && width >= 0 && width <= 32767
                                 ? static_cast<int>(width)
                                 : LVSCW_AUTOSIZE_USEHEADER);
        }
        i = end;
    }
    for (int column = 0; column < m_list.GetColumnCount(); ++column)
        m_list.SetColumnWidth(column, column < static_cast<int>(widths.size()) ? widths[static_cast<size_t>(column)]
                                                                               : LVSCW_AUTOSIZE_USEHEADER);
}

bool CColumnWidthStore::Save() const
{
    std::string text;
    for (int column = 0; column < m_list.GetColumnCount(); ++column)
    {
        if (column > 0)
            text += ',';
        text += std::to_string(m_list.GetColumnWidth(column));
    }
    return WriteProfileString(m_section, m_entry, text);
}
}
