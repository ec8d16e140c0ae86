#pragma once
// The ways a save can fail on a real disk, set up around one file for a test: the disk fills up,
// the folder is read-only, the file itself may not be written, or a folder stands at its path.
// A failed save must leave what was there as it was and say that it failed.
//
//   for (ESaveFault kind : AllSaveFaults())
//   {
//       CSaveFault fault(kind, path, "old contents");
//       if (!fault.IsPossible())
//           continue;   // told on the test's output
//       EXPECT_FALSE(Save(path));
//       EXPECT_TRUE(fault.IsUntouched());
//   }
#include <string>
#include <sys/resource.h>
#include <vector>

enum class ESaveFault
{
    kDiskFull,           // every file is limited to a few bytes (RLIMIT_FSIZE)
    kReadOnlyFolder,     // the folder holding the file may not be written
    kPermissionDenied,   // the file may not be written
    kPathIsFolder,       // a folder, with a file in it, stands where the file would go
};

std::vector<ESaveFault> AllSaveFaults();
const char* SaveFaultName(ESaveFault kind);

class CSaveFault
{
public:
    // Writes `oldContents` to `path` (or makes the folder) and sets the fault up; the folder of
    // `path` must exist. The destructor takes the fault away again.
    CSaveFault(ESaveFault kind, const std::string& path, const std::string& oldContents);
    ~CSaveFault();
    CSaveFault(const CSaveFault&) = delete;
    CSaveFault& operator=(const CSaveFault&) = delete;

    // False when this process cannot be stopped this way (the superuser writes wherever it
    // likes); the reason is then printed and the case is to be skipped.
    bool IsPossible() const { return m_possible; }
    // What stood at the path is there as before, and the folder holds nothing else.
    bool IsUntouched() const;

private:
    void Lift();

    ESaveFault m_kind;
    std::string m_path;
    std::string m_folder;
    std::string m_oldContents;
    bool m_possible = true;
    bool m_lifted = false;
    struct rlimit m_savedLimit = {};
    void (*m_savedHandler)(int) = nullptr;
};
