#include "tests/support/StandInOpener.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

CStandInOpener::CStandInOpener(int exitStatus)
{
    if (const char* old = std::getenv("PATH"))
        m_oldPath = old;
    setenv("PATH", m_folder.Path().c_str(), 1);
    SetExitStatus(exitStatus);
}

CStandInOpener::~CStandInOpener() { setenv("PATH", m_oldPath.c_str(), 1); }

void CStandInOpener::SetExitStatus(int exitStatus)
{
    // Only shell built-ins: the PATH holds nothing else.
    const std::string script = m_folder.File("xdg-open");
    WriteFileBytes(script, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + m_folder.File("opened") + "'\nexit " +
                               std::to_string(exitStatus) + "\n");
    chmod(script.c_str(), 0700);
}

void CStandInOpener::Remove() { std::remove(m_folder.File("xdg-open").c_str()); }

std::string CStandInOpener::OpenedPaths() const { return ReadFileBytes(m_folder.File("opened")); }
