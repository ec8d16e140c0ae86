#include "librarian/app/InitialFileDocument.h"
#include "librarian/app/Patch.h"

CInitialFileDocument& CInitialFileDocument::GetInstance()
{
    static CInitialFileDocument instance;
    return instance;
}

// Every patch initialised from now on copies this file's first patch, once one is accepted.
CInitialFileDocument::CInitialFileDocument()
{
    CParameter::SetInitialTemplateSource([]() -> const CParameter* { return GetInstance().GetFirstPatch(); });
}

std::string CInitialFileDocument::MakePath(const std::string& programDirectory)
{
    return programDirectory + "/Script/Q9EL/InitialData.q9l";
}

bool CInitialFileDocument::Load(const std::string& path)
{
    m_accepted = false;
    if (!m_document.ReadFile(path))
        return false;
    const CPatchArray& patches = m_document.GetCurrent().GetPatches();
    if (patches.IsEmpty() || !patches[0].FitsLayout())
        return false;
    m_accepted = true;
    return true;
}

const CPatch* CInitialFileDocument::GetFirstPatch() const
{
    return m_accepted ? &m_document.GetCurrent().GetPatches().At(0) : nullptr;
}

void CInitialFileDocument::Reset()
{
    m_accepted = false;
    m_document.GetCurrent().GetPatches().RemoveAll();
}
