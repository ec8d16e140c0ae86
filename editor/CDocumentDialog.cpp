#include "editor/CDocumentDialog.h"

#include "model/CVeyDataFile.h"
#include "model/CVeyStruct.h"
#include "platform/Profile.h"
#include "platform/Shell.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/gt/SystemPaths.h"
#include "toolkit/ul/FileDialogA.h"

namespace
{
const char* const kDocumentSection = "Document";
const char* const kSmfSection = "SMF";
const char* const kInitialDirectory = "InitialDirectory";
const char* const kInitialFileName = "InitialFileName";
const char* const kInitialFilterIndex = "InitialFilterIndex";

std::string FolderOf(const std::string& path)
{
    std::string drive;
    std::string directory;
    GT::SplitPath(path, &drive, &directory, nullptr, nullptr);
    return drive + directory;
}

std::string FileNameOf(const std::string& path)
{
    std::string name;
    std::string extension;
    GT::SplitPath(path, nullptr, nullptr, &name, &extension);
    return name + extension;
}

std::string RunFileDialog(bool open, const std::string& extension, const std::string& filter, const char* section,
                          const std::string& folder, const std::string& fileName)
{
    UL::CFileDialogA dialog(open, extension, fileName, open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT, filter, std::string());
    dialog.SetInitialDir(folder);
    dialog.SetProfileKey(section, kInitialFilterIndex, 0);
    return dialog.DoModal() == IDOK ? dialog.GetPathName() : std::string();
}
}

bool IsDocumentModified()
{
    const CVeyRootStruct* root = CVeyDataFile::GetInstance().GetRootStruct();
    return root && root->IsModified();
}

CDocumentDialog::CDocumentDialog()
{
    m_asker = [](const std::string& text) { return AfxMessageBox(text.c_str(), MB_YESNOCANCEL); };
    m_chooser = [this](bool open, const std::string& folder, const std::string& fileName) {
        return RunFileDialog(open, m_defaultExtension, m_filterString, kDocumentSection, folder, fileName);
    };
}

void CDocumentDialog::SetFilters(const std::string& filterString, const std::string& defaultExtension)
{
    m_filterString = filterString;
    m_defaultExtension = defaultExtension;
}

int CDocumentDialog::AskToSave()
{
    const bool english = GetMessageTable().GetSelectedSet() == GT::CIndexedStringTable::kEnglishSet;
    const std::string name = m_path.empty() ? std::string("Untitled") : m_path;
    return m_asker(english ? "Save changes to " + name + "?" : name + " への変更を保存しますか?");
}

std::string CDocumentDialog::Choose(bool open)
{
    std::string folder;
    std::string fileName;
    if (!m_path.empty())
    {
        folder = FolderOf(m_path);
        if (!open)
            fileName = FileNameOf(m_path);
    }
    else
    {
        folder = GetProfileString(kDocumentSection, kInitialDirectory, std::string());
        if (!open)
            fileName = "Untitled" + m_defaultExtension;
    }
    return m_chooser(open, folder, fileName);
}

void CDocumentDialog::RememberFolder(const std::string& path)
{
    WriteProfileString(kDocumentSection, kInitialDirectory, FolderOf(path));
}

int CDocumentDialog::Load(const std::string& path)
{
    // The data file puts the image back itself when a file breaks off half way.
    if (!CVeyDataFile::GetInstance().Load(path))
        return kFailed;
    m_path = path;
    RememberFolder(path);
    return kDone;
}

int CDocumentDialog::Save()
{
    std::string path = m_path;
    if (path.empty())
        path = Choose(false);
    if (path.empty())
        return kCancelled;
    if (!CVeyDataFile::GetInstance().Save(path))
        return kFailed;
    m_path = path;
    RememberFolder(path);
    return kDone;
}

int CDocumentDialog::SaveAs()
{
    const std::string path = Choose(false);
    if (path.empty())
        return kCancelled;
    if (!CVeyDataFile::GetInstance().Save(path))
        return kFailed;
    m_path = path;
    return kDone;
}

int CDocumentDialog::SaveForPrompt()
{
    std::string path = m_path;
    if (path.empty())
        path = Choose(false);
    // The user asked for the changes to be kept: a cancelled dialog cancels what was to follow,
    // so they are not thrown away after all.
    if (path.empty())
        return kCancelled;
    if (!CVeyDataFile::GetInstance().Save(path))
        return kFailed;
    m_path = path;
    return kDone;
}

int CDocumentDialog::QuerySave()
{
    const int answer = AskToSave();
    if (answer == IDCANCEL)
        return kCancelled;
    if (answer == IDNO)
        return kDone;
    return SaveForPrompt();
}

int CDocumentDialog::QuerySaveOnClose()
{
    if (!IsDocumentModified())
        return kDone;
    return QuerySave();
}

bool CDocumentDialog::Open(const std::string& path)
{
    if (QuerySave() != kDone)
        return false;
    const std::string chosen = path.empty() ? Choose(true) : path;
    return !chosen.empty() && Load(chosen) == kDone;
}

// ---- CSmfDialog

CSmfDialog& CSmfDialog::GetInstance()
{
    static CSmfDialog dialog;
    return dialog;
}

bool CSmfDialog::Choose(bool open)
{
    const std::string folder = GetProfileString(kSmfSection, kInitialDirectory, std::string());
    const std::string fileName = open ? std::string() : GetProfileString(kSmfSection, kInitialFileName, "Untitled.mid");
    std::string path;
    if (m_chooser)
        path = m_chooser(open, folder, fileName);
    else
    {
        const UL::CFileDialogA::CFilterList filters{{"Standard MIDI Files", ".mid"}, {"All Files", "*.*"}};
        path = RunFileDialog(open, ".mid", filters.ToString(), kSmfSection, folder, fileName);
    }
    if (path.empty())
        return false;
    m_path = path;
    return true;
}

void CSmfDialog::RememberPath()
{
    WriteProfileString(kSmfSection, kInitialDirectory, FolderOf(m_path));
    WriteProfileString(kSmfSection, kInitialFileName, FileNameOf(m_path));
}
