#pragma once
// Where the script file is: one full path, kept as a folder (with its trailing separator) and a
// file name that can be changed independently.
#include <string>

class CScriptLocation
{
public:
    static CScriptLocation& GetInstance();

    // Drive and directory, with the trailing separator.
    std::string GetFolder() const;
    // Name and extension.
    std::string GetFileName() const;
    // A new folder (expected to end with its separator), the same file name.
    void SetFolder(const std::string& folder);
    // The same folder, a new file name.
    void SetFileName(const std::string& fileName);
    const std::string& GetPath() const { return m_path; }

    // Reads the script at the path; the reasons of a failure go to the diagnostic output.
    bool Read() const;

private:
    CScriptLocation();
    std::string m_path;
};
