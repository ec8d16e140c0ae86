#include "librarian/gp/MDIDocument.h"

#include "platform/FileDialog.h"
#include "platform/Shell.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/ul/Cursor.h"

#include <filesystem>

namespace GP
{
namespace
{
// The path with links, "." and ".." resolved, so two spellings of one file compare equal; parts
// that do not exist yet are normalised as written.
std::string CanonicalPath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? std::filesystem::path(path).lexically_normal().string() : canonical.string();
}
}

const char* const CMDIDocument::kInUseMessage = "Cannot overwrite this file because it is already in use.";

std::string CMDIDocument::InUseMessage()
{
    const std::string text = GetMessageTable().Find(kInUseMessageId);
    return text.empty() ? kInUseMessage : text;
}

bool CMDIDocument::IsPathHeldByOtherDocument(const std::string& path) const
{
    const std::string wanted = CanonicalPath(path);
    for (CDocTemplate* docTemplate : AfxGetDocTemplates())
        for (CDocument* document : docTemplate->GetDocuments())
            if (document != this && !document->GetPathName().empty() &&
                CanonicalPath(document->GetPathName()) == wanted)
                return true;
    return false;
}

BOOL CMDIDocument::DoSave(const char* path, BOOL replace)
{
    std::string name = path ? path : "";
    if (name.empty())
        name = GetPathName();
    if (name.empty() && replace)
    {
        name = GetTitle().substr(0, GetTitle().find_first_of(":/\\"));
        std::string extension;
        if (GetDocTemplate() && GetDocTemplate()->GetDocString(extension, CDocTemplate::filterExt))
            name += extension.substr(0, extension.find(';'));
    }
    if (!path || !*path)
    {
        // The system's save dialog asks before it replaces an existing file.
        if (!AfxDoPromptFileName(name, replace ? AFX_IDS_SAVEFILE : AFX_IDS_SAVEFILECOPY,
                                 OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT, FALSE, GetDocTemplate()))
            return FALSE;
    }
    UL::CWaitCursor wait;
    if (IsPathHeldByOtherDocument(name))
    {
        AfxMessageBox(InUseMessage().c_str());
        return FALSE;
    }
    if (!OnSaveDocument(name.c_str()))
        return FALSE;
    if (replace)
        SetPathName(name.c_str());
    return TRUE;
}
}
