#include "editor/CScriptLocation.h"

#include "model/CVeyScriptReader.h"
#include "toolkit/gt/SystemPaths.h"

CScriptLocation& CScriptLocation::GetInstance()
{
    static CScriptLocation location;
    return location;
}

CScriptLocation::CScriptLocation() : m_path(GT::GetProgramDirectory() + "/Script/Script.xml") {}

std::string CScriptLocation::GetFolder() const
{
    std::string drive, directory;
    GT::SplitPath(m_path, &drive, &directory, nullptr, nullptr);
    return drive + directory;
}

std::string CScriptLocation::GetFileName() const
{
    std::string name, extension;
    GT::SplitPath(m_path, nullptr, nullptr, &name, &extension);
    return name + extension;
}

void CScriptLocation::SetFolder(const std::string& folder) { m_path = folder + GetFileName(); }

void CScriptLocation::SetFileName(const std::string& fileName) { m_path = GetFolder() + fileName; }

bool CScriptLocation::Read() const { return CVeyScriptReader::GetInstance().Load(m_path); }
