// Time from process start to the main panel shown, offscreen: the q9ee program with its script
// (the bundled one when the build has placed it beside the program, else a small fixture script)
// against a minimal Qt Widgets program that opens one window. Each run starts a fresh process and
// waits for its "milestone main window shown" line; the process is then ended at once. Wall-clock
// time per start is measured; the editor's is the iteration time, and counters give both programs'
// means and the ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A scratch home for the runs: settings, user data and the single-instance channel.
struct CScratchHome
{
    CScratchHome()
    {
        char pattern[] = "/tmp/q9bench-XXXXXX";
        path = mkdtemp(pattern) ? pattern : "/tmp";
        fs::create_directories(path + "/runtime");
        fs::permissions(path + "/runtime", fs::perms::owner_all);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_CONFIG_HOME", (path + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (path + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (path + "/runtime").c_str(), 1);
        setenv("Q9_MILESTONES", "1", 1);
    }
    ~CScratchHome()
    {
        std::error_code error;
        fs::remove_all(path, error);
    }
    std::string path;
};

CScratchHome& Home()
{
    static CScratchHome home;
    return home;
}

// The editor program to start: the built one when its script is beside it, else a copy beside the
// fixture script.
std::string EditorProgram()
{
    static const std::string program = [] {
        const fs::path built(Q9EE_PROGRAM);
        if (fs::exists(built.parent_path() / "Script" / "Q9EE" / "Script.xml"))
            return built.string();
        const fs::path folder = fs::path(Home().path) / "program";
        std::error_code error;
        fs::create_directories(folder / "Script" / "Q9EE", error);
        fs::copy_file(built, folder / "q9ee", fs::copy_options::overwrite_existing, error);
        fs::copy_file(Q9_EDITOR_FIXTURE_SCRIPT, folder / "Script" / "Q9EE" / "Script.xml",
                      fs::copy_options::overwrite_existing, error);
        return (folder / "q9ee").string();
    }();
    return program;
}

// Starts the program and returns the seconds until it printed the milestone; negative on failure.
double SecondsToWindowShown(const std::string& program)
{
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv{const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = -1;
    const auto start = Clock::now();
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    double seconds = -1;
    if (spawned == 0)
    {
        const std::string expected = "milestone main window shown\n";
        std::string got;
        pollfd watch{out[0], POLLIN, 0};
        while (got.find(expected) == std::string::npos && poll(&watch, 1, 30000) > 0)
        {
            char buffer[256];
            const ssize_t n = read(out[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, static_cast<size_t>(n));
        }
        if (got.find(expected) != std::string::npos)
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    close(out[0]);
    return seconds;
}

// The two programs alternate, so both see the same load on the machine; the iteration time is
// the editor's, and the counters give both means and their ratio.
void BM_EditorStartBesideMinimalQtWindow(benchmark::State& state)
{
    Home();
    const std::string editor = EditorProgram();
    double editorTotal = 0;
    double peerTotal = 0;
    int64_t runs = 0;
    for (auto _ : state)
    {
        const double editorSeconds = SecondsToWindowShown(editor);
        const double peerSeconds = SecondsToWindowShown(Q9_MINIMAL_QT_WINDOW);
        if (editorSeconds < 0 || peerSeconds < 0)
        {
            state.SkipWithError("a program did not show its window");
            break;
        }
        state.SetIterationTime(editorSeconds);
        editorTotal += editorSeconds;
        peerTotal += peerSeconds;
        ++runs;
    }
    if (runs > 0)
    {
        state.counters["editor_ms"] = editorTotal * 1000 / static_cast<double>(runs);
        state.counters["qt_window_ms"] = peerTotal * 1000 / static_cast<double>(runs);
        state.counters["ratio"] = editorTotal / peerTotal;
    }
}
}

BENCHMARK(BM_EditorStartBesideMinimalQtWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
