#pragma once
// A stand-in for the desktop's opener (xdg-open) for the scope: a shell script in a temporary
// folder that is the whole PATH, so nothing of the real desktop is started. Each open appends the
// path it was given to a log, then the script ends with the chosen exit status (0 shown, 3 no
// application for the file, as xdg-open answers).
#include "tests/support/TempDir.h"

#include <string>

class CStandInOpener
{
public:
    explicit CStandInOpener(int exitStatus);
    ~CStandInOpener();
    CStandInOpener(const CStandInOpener&) = delete;
    CStandInOpener& operator=(const CStandInOpener&) = delete;

    void SetExitStatus(int exitStatus);
    // Removes the opener: the PATH then holds none.
    void Remove();
    // The paths opened so far, one a line.
    std::string OpenedPaths() const;

private:
    CTempDir m_folder;
    std::string m_oldPath;
};
