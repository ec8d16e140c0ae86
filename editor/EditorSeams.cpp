#include "editor/EditorSeams.h"

#include "model/CVeyDataFile.h"

int CPlainDocumentRecord::Load(const std::string& path)
{
    if (!CVeyDataFile::GetInstance().Load(path))
        return kFailed;
    m_path = path;
    return kDone;
}

bool CPlainDocumentRecord::Open(const std::string& path)
{
    return !path.empty() && Load(path) == kDone;
}
