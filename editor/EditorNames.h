#pragma once
// The editor's fixed names and the folders derived from the program's location.
#include <string>

// Static members, so that the application object reads them as its own names.
class CEditorNames
{
public:
    static const std::string& GetModelName();            // "Talvarix"
    static const std::string& GetApplicationName();      // "Talvarix Editor"
    static const std::string& GetScriptFolderName();     // "Script/Q9EE"
    static const std::string& GetScriptFileName();       // "Script.xml"
    static const std::string& GetDocumentExtension();    // ".q9e"
    static const std::string& GetShortName();            // "Q9EE"
    static const std::string& GetMakerName();            // "Vantor"
    static const std::string& GetRootStructName();       // "fm"
    static const std::string& GetInitialDataFileName();  // "InitialData.q9e"
    // The user data folder followed by "ViewState.txt".
    static std::string GetViewStatePath();
};

// The folder of the program file, without a trailing separator. Tests put a program folder of
// their own in its place (empty returns to the program's).
std::string GetProgramFolder();
void SetProgramFolder(const std::string& folder);
