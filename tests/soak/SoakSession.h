#pragma once
// What a long session (q9_soak_editor, q9_soak_librarian; ./build.sh soak) is held to: every round
// gives the same bytes, resident memory at the end is within 1 MiB of its level after the first
// round, and no file handle or window is left over. Failures and the figures are printed.
#include "platform/Win32Types.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace Soak
{
// Replies later than every attempt's wait of a transfer.
constexpr DWORD kLateMs = 10000;

class CSession
{
public:
    explicit CSession(const char* name);

    // Once the first round is done: the level the end is measured against.
    void MarkFirstRound();
    // Prints what did not hold (the first twenty) when `held` is false.
    void Check(bool held, const std::string& what, int round);
    // Prints the figures; true when the session held.
    bool Report(int rounds, int seeds, int spoiledDone, int spoiledFailed, int spoiledReplies);

private:
    const char* m_name;
    std::chrono::steady_clock::time_point m_start;
    long m_firstResident = 0;
    std::vector<std::string> m_firstHandles;
    size_t m_firstWindows = 0;
    int m_failures = 0;
};

// The command line's number at `index`, or `fallback`.
int Argument(int argc, char** argv, int index, int fallback);
// Runs `soak` with a Qt application off screen; the exit code.
int Run(bool (*soak)(int rounds, int seeds), int argc, char** argv, int rounds, int seeds);
}
