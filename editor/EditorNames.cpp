#include "editor/EditorNames.h"

#include "model/CVeyErrorOut.h"
#include "toolkit/gt/SystemPaths.h"

namespace
{
std::string& ProgramFolderOverride()
{
    static std::string folder;
    return folder;
}
}

const std::string& CEditorNames::GetModelName()
{
    static const std::string name("Talvarix");
    return name;
}

const std::string& CEditorNames::GetApplicationName()
{
    static const std::string name("Talvarix Editor");
    return name;
}

const std::string& CEditorNames::GetScriptFolderName()
{
    static const std::string name("Script/Q9EE");
    return name;
}

const std::string& CEditorNames::GetScriptFileName()
{
    static const std::string name("Script.xml");
    return name;
}

const std::string& CEditorNames::GetDocumentExtension()
{
    static const std::string name(".q9e");
    return name;
}

const std::string& CEditorNames::GetShortName()
{
    static const std::string name("Q9EE");
    return name;
}

const std::string& CEditorNames::GetMakerName()
{
    static const std::string name("Vantor");
    return name;
}

const std::string& CEditorNames::GetRootStructName()
{
    static const std::string name("fm");
    return name;
}

const std::string& CEditorNames::GetInitialDataFileName()
{
    static const std::string name("InitialData.q9e");
    return name;
}

std::string GetProgramFolder()
{
    const std::string& folder = ProgramFolderOverride();
    return folder.empty() ? GT::GetProgramDirectory() : folder;
}

void SetProgramFolder(const std::string& folder) { ProgramFolderOverride() = folder; }

std::string CEditorNames::GetViewStatePath() { return CVeyFolders::GetInstance().userDataFolder + "ViewState.txt"; }
