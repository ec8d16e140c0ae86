#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end.
#include <string>
#include <vector>

class CTempDir
{
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Path of a file inside the folder.
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Whole contents of a file as bytes, or empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Writes `bytes` to `path`, replacing the file; true on success.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// The names of the entries of a folder, sorted; empty when it cannot be read.
std::vector<std::string> FolderEntryNames(const std::string& folder);
