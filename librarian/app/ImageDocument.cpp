#include "librarian/app/ImageDocument.h"
#include "librarian/app/LibrarianFile.h"
#include "toolkit/gt/SafeFile.h"

#include <utility>

namespace
{
CImageDocument::MessageShower& Shower()
{
    static CImageDocument::MessageShower shower;
    return shower;
}

void ShowMessage(int messageId)
{
    if (Shower())
        Shower()(messageId);
}
}

CImageDocument::MessageShower CImageDocument::SetMessageShower(MessageShower shower)
{
    return std::exchange(Shower(), std::move(shower));
}

bool CImageDocument::ReadFile(const std::string& path)
{
    const int message = ReadLibrarianFile(path, m_current.GetPatches());
    if (message != kFileMessageNone)
    {
        ShowMessage(message);
        return false;
    }
    return true;
}

bool CImageDocument::WriteFile(const std::string& path) const
{
    const bool saved = GT::SaveFileAtomically(path, [this](std::ostream& out) {
        return WriteLibrarianFile(out, m_current.GetPatches());
    });
    if (!saved)
        ShowMessage(kFileMessageNotSaved);
    return saved;
}

void CImageDocument::RememberUndo(int mode)
{
    m_undoAvailable = false;
    if (mode != 0 && mode != 1)
        return;
    m_undo.GetPatches() = m_current.GetPatches();
    m_undoAvailable = true;
}

void CImageDocument::Undo()
{
    if (m_undoAvailable)
        m_current.GetPatches().Swap(m_undo.GetPatches());
}

void CImageDocument::RestoreRemembered()
{
    if (!m_undoAvailable)
        return;
    m_current.GetPatches().Swap(m_undo.GetPatches());
    m_undo.GetPatches().RemoveAll();
    m_undoAvailable = false;
}
