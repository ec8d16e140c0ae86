#pragma once
// The folders and hooks an editor test runs in: the program's settings, its user data
// (XDG_DATA_HOME) and its single-instance channel in temporary folders, and message boxes
// answered OK and recorded. Enter at the test's start; Leave (or the end of the object) closes
// the single-instance channel and puts everything back as it was.
#include "platform/Shell.h"
#include "tests/support/TempDir.h"

#include <string>
#include <vector>

class CEditorTestHome
{
public:
    CEditorTestHome() = default;
    ~CEditorTestHome();
    CEditorTestHome(const CEditorTestHome&) = delete;
    CEditorTestHome& operator=(const CEditorTestHome&) = delete;

    // The program runs from `programFolder` (where it finds its script folder).
    void Enter(const std::string& programFolder);
    void Leave();

    CTempDir config;
    CTempDir data;
    CTempDir channel;
    std::vector<std::string> boxes;   // the texts of the message boxes shown

private:
    bool m_entered = false;
    std::string m_savedDataHome;
    MessageBoxHook m_savedHook;
};
