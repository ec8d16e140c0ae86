#include "tests/soak/SoakSession.h"

#include "benchmarks/support/OffscreenApplication.h"
#include "platform/Wnd.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <unistd.h>

namespace Soak
{
namespace
{
long ResidentKiB()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r"))
    {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// What each open file handle refers to.
std::vector<std::string> OpenFileHandles()
{
    std::vector<std::string> handles;
    std::error_code error;
    for (std::filesystem::directory_iterator it("/proc/self/fd", error), end; !error && it != end; it.increment(error))
    {
        std::error_code unreadable;
        const std::filesystem::path target = std::filesystem::read_symlink(it->path(), unreadable);
        if (target != "/proc/self/fd" && target.parent_path().filename() != "fd")   // the listing's own
            handles.push_back(target.string());
    }
    return handles;
}
}

CSession::CSession(const char* name) : m_name(name), m_start(std::chrono::steady_clock::now()) {}

void CSession::MarkFirstRound()
{
    m_firstResident = ResidentKiB();
    m_firstHandles = OpenFileHandles();
    m_firstWindows = CWnd::GetTopLevelWindows().size();
}

void CSession::Check(bool held, const std::string& what, int round)
{
    if (!held && m_failures++ < 20)
        std::printf("%s, round %d: %s\n", m_name, round, what.c_str());
}

bool CSession::Report(int rounds, int seeds, int spoiledDone, int spoiledFailed, int spoiledReplies)
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    const long resident = ResidentKiB();
    const std::vector<std::string> handles = OpenFileHandles();
    const size_t windows = CWnd::GetTopLevelWindows().size();
    std::printf("%s: %d rounds and %d seeds in %.1f s (%.1f ms a round or seed)\n", m_name, rounds, seeds, seconds,
                1000.0 * seconds / std::max(rounds + seeds, 1));
    std::printf("  resident memory: %ld KiB after the first round, %ld KiB at the end (%+ld KiB)\n", m_firstResident,
                resident, resident - m_firstResident);
    std::printf("  file handles: %zu after the first round, %zu at the end; windows: %zu, %zu\n", m_firstHandles.size(),
                handles.size(), m_firstWindows, windows);
    std::printf("  unreliable instrument: %d replies spoiled; %d transfers done, %d failed with their message\n",
                spoiledReplies, spoiledDone, spoiledFailed);
    Check(resident - m_firstResident <= 1024, "resident memory grew by more than 1 MiB", rounds);
    // Handles of the same kind are told apart by count only.
    std::vector<std::string> leftOver = handles;
    for (const std::string& handle : m_firstHandles)
        if (const auto found = std::find(leftOver.begin(), leftOver.end(), handle); found != leftOver.end())
            leftOver.erase(found);
    for (const std::string& handle : leftOver)
        Check(false, "file handle left over: " + handle, rounds);
    Check(windows == m_firstWindows, "windows left over", rounds);
    std::printf("  %s\n", m_failures == 0 ? "held" : "FAILED");
    std::fflush(stdout);
    return m_failures == 0;
}

int Argument(int argc, char** argv, int index, int fallback)
{
    return argc > index ? std::max(0, std::atoi(argv[index])) : fallback;
}

int Run(bool (*soak)(int rounds, int seeds), int argc, char** argv, int rounds, int seeds)
{
    Bench::COffscreenApplication application;
    return soak(Argument(argc, argv, 1, rounds), Argument(argc, argv, 2, seeds)) ? 0 : 1;
}
}
