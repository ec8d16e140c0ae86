#include "librarian/app/LibrarianDialogs.h"

#include "librarian/app/LibrarianApp.h"
#include "librarian/app/LibrarianData.h"
#include "librarian/gp/DialogResource.h"
#include "platform/Controls.h"
#include "platform/FileDialog.h"
#include "platform/Profile.h"
#include "platform/WinApp.h"
#include "toolkit/ul/FileDialogA.h"

#include <cstdio>
#include <filesystem>
#include <utility>

using namespace LibrarianIds;

namespace
{
constexpr const char* kOptionSection = "Option";
constexpr const char* kSmfSection = "SMF";
constexpr const char* kDocumentSection = "Document";

CMidiWarningDlg::FAnswer& AnswerHook()
{
    static CMidiWarningDlg::FAnswer hook;
    return hook;
}

FSmfFileAnswer& SmfHook()
{
    static FSmfFileAnswer hook;
    return hook;
}

std::string WithNul(const std::string& text) { return text + std::string(1, '\0'); }

// A text in the program's language; English while no application runs.
std::string InLanguage(const char* english, const char* japanese)
{
    const auto* app = dynamic_cast<const CApp*>(AfxGetApp());
    return !app || app->IsEnglish() ? english : japanese;
}
}

void RegisterLibrarianTemplates(bool english)
{
    auto text = [english](const char* englishText, const char* japanese) { return english ? englishText : japanese; };
    using GP::SDialogResource;
    const DWORD visible = WS_VISIBLE;
    // The image form: the transfer buttons above the list; the list itself is made by the view.
    SDialogResource image;
    image.cx = 360;
    image.cy = 220;
    image.items = {
        {EDialogControl::Button, kReadAllButton, text("Read All", "すべて読込"), 24, 4, 56, 14, visible},
        {EDialogControl::Button, kReadSelectedButton, text("Read Selected", "選択を読込"), 84, 4, 64, 14, visible},
        {EDialogControl::Button, kWriteAllButton, text("Write All", "すべて書込"), 156, 4, 56, 14, visible},
        {EDialogControl::Button, kWriteSelectedButton, text("Write Selected", "選択を書込"), 216, 4, 64, 14, visible},
    };
    GP::RegisterDialog(kImageForm, image);
    SDialogResource file;
    file.cx = 360;
    file.cy = 200;
    GP::RegisterDialog(kFileForm, file);

    SDialogResource warning;
    warning.caption = CLibrarianData::GetApplicationTitle();
    warning.cx = 240;
    warning.cy = 84;
    warning.items = {
        {EDialogControl::Static, kWarningText, "", 10, 8, 220, 32, visible},
        {EDialogControl::Button, kWarningCheck, "", 10, 44, 220, 12, visible | BS_AUTOCHECKBOX},
        {EDialogControl::Button, IDOK, "OK", 70, 62, 46, 14, visible | BS_DEFPUSHBUTTON},
        {EDialogControl::Button, IDCANCEL, text("Cancel", "キャンセル"), 124, 62, 46, 14, visible},
    };
    GP::RegisterDialog(kWarningDialog, warning);

    SDialogResource grid;
    grid.caption = text("Set Up Grid", "グリッドの設定");
    grid.cx = 150;
    grid.cy = 70;
    grid.items = {
        {EDialogControl::Button, 0xFFFF, text("Grid Lines", "グリッド線"), 6, 4, 138, 40, visible | BS_GROUPBOX},
        {EDialogControl::Button, kGridOff, text("Off", "表示しない"), 14, 16, 120, 10, visible | BS_AUTOCHECKBOX},
        {EDialogControl::Button, kGridOn, text("On", "表示する"), 14, 28, 120, 10, visible | BS_AUTOCHECKBOX},
        {EDialogControl::Button, IDOK, "OK", 24, 50, 46, 14, visible | BS_DEFPUSHBUTTON},
        {EDialogControl::Button, IDCANCEL, text("Cancel", "キャンセル"), 80, 50, 46, 14, visible},
    };
    GP::RegisterDialog(kGridDialog, grid);
}

// ---- warning ----

CMidiWarningDlg::CMidiWarningDlg(int kind, CWnd* parent) : CDialog(kWarningDialog, parent), m_kind(kind) {}

const char* CMidiWarningDlg::GetKey(int kind)
{
    static const char* const keys[] = {"ReadUser", "WriteUser", "ReadTemporary", "WriteTemporary", "ImportSMF"};
    return kind >= 0 && kind <= kImportSmf ? keys[kind] : "";
}

int32_t CMidiWarningDlg::GetMessageId(int kind)
{
    static const int32_t ids[] = {CLibrarianData::kMessageReadUser, CLibrarianData::kMessageWriteUser,
                                  CLibrarianData::kMessageReadTemporary, CLibrarianData::kMessageWriteTemporary,
                                  CLibrarianData::kMessageImportSmf};
    return kind >= 0 && kind <= kImportSmf ? ids[kind] : CLibrarianData::kMessageUndefined;
}

void CMidiWarningDlg::SetAnswerHook(FAnswer hook) { AnswerHook() = std::move(hook); }

std::string CMidiWarningDlg::MakeText() const
{
    // The texts name the instrument where "Talvarix" stands; the import warning is shown as is.
    std::string text = CLibrarianData::GetMessage(GetMessageId(m_kind));
    if (m_kind != kImportSmf)
    {
        const std::string mark = "Talvarix";
        const std::string& name = CLibrarianData::GetInstrumentName();
        for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + name.size()))
            text.replace(at, mark.size(), name);
    }
    return text;
}

bool CMidiWarningDlg::Confirm(int kind, CWnd* parent)
{
    const char* key = GetKey(kind);
    if (GetProfileInt(kOptionSection, key, 0) != 0)
        return true;
    CMidiWarningDlg dialog(kind, parent);
    bool confirmed = false;
    if (AnswerHook())
    {
        bool dontShow = false;
        confirmed = AnswerHook()(kind, dialog.MakeText(), dontShow);
        dialog.m_dontShowAgain = dontShow ? 1 : 0;
    }
    else
        confirmed = dialog.DoModal() == IDOK;
    if (confirmed)
        WriteProfileInt(kOptionSection, key, dialog.m_dontShowAgain);
    return confirmed;
}

BOOL CMidiWarningDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(kWarningText, MakeText().c_str());
    SetDlgItemText(kWarningCheck, CLibrarianData::GetMessage(CLibrarianData::kMessageDontShowAgain).c_str());
    if (auto* check = dynamic_cast<CButton*>(GetDlgItem(kWarningCheck)))
        check->SetCheck(m_dontShowAgain);
    CenterWindow();
    return TRUE;
}

void CMidiWarningDlg::OnOK()
{
    if (auto* check = dynamic_cast<CButton*>(GetDlgItem(kWarningCheck)))
        m_dontShowAgain = check->GetCheck();
    CDialog::OnOK();
}

// ---- grid ----

CSetGridDlg::CSetGridDlg(CWnd* parent) : CDialog(kGridDialog, parent) {}

BOOL CSetGridDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (auto* off = dynamic_cast<CButton*>(GetDlgItem(kGridOff)))
        off->SetCheck(m_grid == 0);
    if (auto* on = dynamic_cast<CButton*>(GetDlgItem(kGridOn)))
        on->SetCheck(m_grid != 0);
    CenterWindow();
    return TRUE;
}

BOOL CSetGridDlg::OnCommand(UINT id, UINT code)
{
    // The two choices answer as one radio group.
    if ((id == kGridOff || id == kGridOn) && code == BN_CLICKED)
    {
        if (auto* off = dynamic_cast<CButton*>(GetDlgItem(kGridOff)))
            off->SetCheck(id == kGridOff);
        if (auto* on = dynamic_cast<CButton*>(GetDlgItem(kGridOn)))
            on->SetCheck(id == kGridOn);
        return TRUE;
    }
    return CDialog::OnCommand(id, code);
}

void CSetGridDlg::OnOK()
{
    auto* on = dynamic_cast<CButton*>(GetDlgItem(kGridOn));
    m_grid = on && on->GetCheck() ? 1 : 0;
    CDialog::OnOK();
}

// ---- librarian files ----

BOOL CDocMan::DoPromptFileName(std::string& fileName, UINT captionId, DWORD flags, BOOL openFileDialog, CDocTemplate*)
{
    const std::filesystem::path proposed(fileName);
    std::string folder = proposed.parent_path().string();
    if (folder.empty())
        folder = GetProfileString(kDocumentSection, "InitialDirectory", "");
    const std::string& extension = CLibrarianData::GetExtension();
    const std::string title = captionId == AFX_IDS_SAVEFILECOPY ? InLanguage("Save Copy As", "コピーを保存")
                              : openFileDialog                   ? InLanguage("Open", "開く")
                                                                 : InLanguage("Save As", "名前を付けて保存");
    CWinApp* app = AfxGetApp();
    UL::CFileDialogA dialog(openFileDialog != FALSE, extension, proposed.filename().string(), flags,
                            UL::CFileDialogA::CFilterList{{"Talvarix Librarian", extension}, {"All Files", "*.*"}}, title,
                            app ? app->m_pMainWnd : nullptr);
    dialog.SetInitialDir(folder);
    dialog.SetProfileKey(kDocumentSection, "InitialFilterIndex", 0);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    fileName = dialog.GetPathName();
    return TRUE;
}

// ---- Standard MIDI Files ----

void SetSmfFileHook(FSmfFileAnswer hook) { SmfHook() = std::move(hook); }

std::string PromptSmfFile(bool open, CWnd* parent)
{
    if (SmfHook())
        return SmfHook()(open);
    CFileDialog dialog(open ? TRUE : FALSE, parent);
    dialog.m_ofn.Flags = OFN_HIDEREADONLY | (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
    dialog.m_ofn.lpstrFilter = WithNul("Standard MIDI Files (*.mid)") + WithNul("*.mid") + WithNul("All Files (*.*)") +
                               WithNul("*") + std::string(1, '\0');
    dialog.m_ofn.lpstrDefExt = "mid";
    dialog.m_ofn.lpstrTitle = open ? InLanguage("Open", "開く") : InLanguage("Save As", "名前を付けて保存");
    dialog.m_ofn.lpstrInitialDir = GetProfileString(kSmfSection, "InitialDirectory", "");
    // A file to open is chosen, not proposed: the last name only comes back as a name to save to.
    if (!open)
        dialog.m_ofn.lpstrFile = GetProfileString(kSmfSection, "InitialFileName", "Untitled.mid");
    dialog.m_ofn.nFilterIndex = static_cast<DWORD>(std::max(1, GetProfileInt(kSmfSection, "InitialFilterIndex", 1)));
    if (dialog.DoModal() != IDOK)
        return std::string();
    WriteProfileInt(kSmfSection, "InitialFilterIndex", static_cast<int32_t>(dialog.m_ofn.nFilterIndex));
    return dialog.GetPathName();
}

void RememberSmfFile(const std::string& path)
{
    const std::filesystem::path chosen(path);
    WriteProfileString(kSmfSection, "InitialDirectory", chosen.parent_path().string());
    WriteProfileString(kSmfSection, "InitialFileName", chosen.filename().string());
}
