#include "tests/journeys/Desktop.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

// Starts a program with its standard output on `out` (or /dev/null when -1).
pid_t Spawn(const std::vector<std::string>& command, int out, int keepOpen = -1)
{
    std::vector<std::string> copies = command;
    std::vector<char*> argv;
    for (std::string& part : copies)
        argv.push_back(part.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0)
    {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(out >= 0 ? out : null, 1);
        dup2(null, 2);
        if (keepOpen >= 0)
            fcntl(keepOpen, F_SETFD, 0);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

void Stop(pid_t& pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (waitpid(pid, nullptr, WNOHANG) == 0)
    {
        if (Clock::now() > deadline)
        {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid = -1;
}

int Field(const std::string& text, const std::string& label)
{
    const size_t at = text.find(label);
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + label.size());
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}
}

CDesktop::CDesktop(std::string pictures) : m_pictures(std::move(pictures)) {}

CDesktop::~CDesktop()
{
    Stop(m_manager);
    Stop(m_server);
}

std::string CDesktop::Start()
{
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "xwininfo", "xprop", "xwd", "xwdtopnm", "pnmtopng"})
        if (Run({"sh", "-c", std::string("command -v ") + tool}).empty())
            return std::string(tool) + " is not installed";
    std::filesystem::create_directories(m_pictures);
    // The server picks a free display and writes its number to the pipe once it accepts clients.
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return "no pipe";
    m_server = Spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                      "-noreset"},
                     -1, ready[1]);
    close(ready[1]);
    std::string number;
    pollfd wait{ready[0], POLLIN, 0};
    const auto deadline = Clock::now() + std::chrono::milliseconds(kBoundMs);
    while (number.find('\n') == std::string::npos && Clock::now() < deadline)
    {
        if (poll(&wait, 1, 100) <= 0)
            continue;
        char buffer[32];
        const ssize_t got = read(ready[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        number.append(buffer, static_cast<size_t>(got));
    }
    close(ready[0]);
    if (number.find('\n') == std::string::npos)
        return "the X server did not start";
    m_display = ":" + Trimmed(number);
    setenv("DISPLAY", m_display.c_str(), 1);
    m_manager = Spawn({"openbox"}, -1);
    // The window manager is there once it has named itself on the root window.
    if (!WaitUntil([] { return Run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).find("window id") != std::string::npos; }))
        return "the window manager did not start";
    return std::string();
}

std::string CDesktop::Run(const std::vector<std::string>& command, int* status)
{
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return std::string();
    const pid_t pid = Spawn(command, out[1]);
    close(out[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) != 0;)
    {
        if (got < 0)
        {
            if (errno == EINTR)
                continue;
            break;
        }
        text.append(buffer, static_cast<size_t>(got));
    }
    close(out[0]);
    int code = -1;
    if (pid > 0)
        waitpid(pid, &code, 0);
    if (status)
        *status = WIFEXITED(code) ? WEXITSTATUS(code) : -1;
    return text;
}

bool CDesktop::WaitUntil(const std::function<bool()>& done, int boundMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(boundMs);
    for (;;)
    {
        if (done())
            return true;
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
}

std::vector<std::string> CDesktop::FindWindows(const std::string& title) const
{
    std::istringstream lines(Run({"xdotool", "search", "--onlyvisible", "--name", title}));
    std::vector<std::string> windows;
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            windows.push_back(line);
    return windows;
}

std::string CDesktop::WaitForWindow(const std::string& title, int boundMs) const
{
    std::string found;
    WaitUntil(
        [&] {
            const std::vector<std::string> windows = FindWindows(title);
            if (!windows.empty())
                found = windows.back();
            return !found.empty();
        },
        boundMs);
    return found;
}

bool CDesktop::WaitForNoWindow(const std::string& title, int boundMs) const
{
    return WaitUntil([&] { return FindWindows(title).empty(); }, boundMs);
}

std::string CDesktop::Title(const std::string& window) const
{
    std::string title = Run({"xdotool", "getwindowname", window});
    if (!title.empty() && title.back() == '\n')
        title.pop_back();
    return title;
}

CWindowFrame CDesktop::Frame(const std::string& window) const
{
    // Without an id xwininfo waits for a click on a window, which never comes.
    if (window.empty())
        return CWindowFrame{};
    const std::string info = Run({"xwininfo", "-id", window});
    CWindowFrame frame;
    frame.x = Field(info, "Absolute upper-left X:");
    frame.y = Field(info, "Absolute upper-left Y:");
    frame.width = Field(info, "Width:");
    frame.height = Field(info, "Height:");
    const std::string extents = Run({"xprop", "-id", window, "_NET_FRAME_EXTENTS"});
    const size_t at = extents.find('=');
    if (at != std::string::npos)
        std::sscanf(extents.c_str() + at + 1, " %d, %d, %d, %d", &frame.left, &frame.right, &frame.top, &frame.bottom);
    return frame;
}

void CDesktop::Activate(const std::string& window) const
{
    // A click on the title bar, as a person brings a window forward; the window manager keeps it.
    const CWindowFrame frame = Frame(window);
    if (frame.top > 0)
        Run({"xdotool", "mousemove", "--sync", std::to_string(frame.x + frame.width / 2),
             std::to_string(frame.y - frame.top / 2), "click", "1"});
    WaitUntil([&] { return Run({"xdotool", "getactivewindow"}).find(window) != std::string::npos; }, 5000);
}

void CDesktop::Click(const std::string& window, int x, int y, int count) const
{
    const CWindowFrame frame = Frame(window);
    Run({"xdotool", "mousemove", "--sync", std::to_string(frame.x + x), std::to_string(frame.y + y), "click", "--repeat",
         std::to_string(count), "1"});
}

std::vector<std::string> CDesktop::ProgramWindows(const std::string& program) const
{
    std::istringstream lines(Run({"xdotool", "search", "--onlyvisible", "--class", "^" + program + "$"}));
    std::vector<std::string> windows;
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            windows.push_back(line);
    return windows;
}

std::string CDesktop::WaitForNewWindow(const std::string& program, const std::vector<std::string>& before,
                                       int boundMs) const
{
    std::string found;
    WaitUntil(
        [&] {
            for (const std::string& candidate : ProgramWindows(program))
                if (std::find(before.begin(), before.end(), candidate) == before.end())
                    found = candidate;
            return !found.empty();
        },
        boundMs);
    return found;
}

bool CDesktop::ChooseMenu(const std::string& window, int titleX, int entry, int separators, const std::string& program) const
{
    // The menu is a window of the program's own, untitled: the one that was not there before.
    const std::vector<std::string> before = ProgramWindows(program);
    Activate(window);
    std::string menu;
    // A click that only brings the window forward opens nothing: the title is clicked again.
    for (int attempt = 0; attempt < 5 && menu.empty(); ++attempt)
    {
        Click(window, titleX, 8);
        WaitUntil(
            [&] {
                for (const std::string& candidate : ProgramWindows(program))
                    if (std::find(before.begin(), before.end(), candidate) == before.end())
                        menu = candidate;
                return !menu.empty();
            },
            2000);
    }
    if (menu.empty())
        return false;
    // Fusion's entries are 22 pixels high in the desktop's font, its separators 2.
    Click(menu, 40, 11 + 22 * entry + 2 * separators);
    return true;
}

void CDesktop::Keys(const std::string& window, const std::string& keys) const
{
    Activate(window);
    KeysHere(keys);
}

void CDesktop::Type(const std::string& window, const std::string& text) const
{
    Activate(window);
    TypeHere(text);
}

void CDesktop::KeysHere(const std::string& keys) const
{
    std::istringstream each(keys);
    for (std::string key; each >> key;)
        Run({"xdotool", "key", "--clearmodifiers", key});
}

void CDesktop::TypeHere(const std::string& text) const
{
    Run({"xdotool", "type", "--delay", "5", text});
}

bool CDesktop::WaitUntilDrawn(const std::string& window, int boundMs) const
{
    return WaitUntil(
        [&] {
            const std::string colours =
                Run({"sh", "-c", "xwd -silent -id " + window + " | xwdtopnm 2>/dev/null | ppmhist -noheader | wc -l"});
            return std::atoi(colours.c_str()) > 1;
        },
        boundMs);
}

bool CDesktop::Picture(const std::string& window, const std::string& name) const
{
    const std::string path = m_pictures + "/" + name + ".png";
    int status = -1;
    Run({"sh", "-c", "xwd -silent -frame -id " + window + " | xwdtopnm 2>/dev/null | pnmtopng > '" + path + "'"}, &status);
    return status == 0 && std::filesystem::file_size(path) > 0;
}

void CDesktop::Wheel(const std::string& window, int x, int y, int notches) const
{
    const CWindowFrame frame = Frame(window);
    Run({"xdotool", "mousemove", "--sync", std::to_string(frame.x + x), std::to_string(frame.y + y)});
    if (notches != 0)
        Run({"xdotool", "click", "--repeat", std::to_string(notches > 0 ? notches : -notches), notches > 0 ? "4" : "5"});
}

void CDesktop::Raise(const std::string& window) const
{
    Run({"xdotool", "windowraise", window});
}

std::string CDesktop::WaitForBox(const std::string& title, int boundMs) const
{
    std::string box;
    WaitUntil(
        [&] {
            for (const std::string& window : FindWindows(title))
                if (Frame(window).height < 300)
                    box = window;
            return !box.empty();
        },
        boundMs);
    return box;
}

void CDesktop::ClickWith(const std::string& window, int button, int x, int y) const
{
    const CWindowFrame frame = Frame(window);
    Run({"xdotool", "mousemove", "--sync", std::to_string(frame.x + x), std::to_string(frame.y + y), "click",
         std::to_string(button)});
}

unsigned CPicture::Colour(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0;
    const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return (unsigned(rgb[at]) << 16) | (unsigned(rgb[at + 1]) << 8) | unsigned(rgb[at + 2]);
}

CPicture CDesktop::Capture(const std::string& window) const
{
    // The X dump as a binary portable pixmap: "P6 width height maxval" and the pixels.
    const std::string image = Run({"sh", "-c", "xwd -silent -id " + window + " | xwdtopnm 2>/dev/null"});
    CPicture picture;
    std::istringstream header(image);
    std::string magic;
    int maxval = 0;
    if (!(header >> magic >> picture.width >> picture.height >> maxval) || magic != "P6" || maxval != 255)
        return CPicture();
    const size_t start = static_cast<size_t>(header.tellg()) + 1;
    const size_t size = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 3;
    if (picture.width <= 0 || picture.height <= 0 || image.size() < start + size)
        return CPicture();
    picture.rgb.assign(image.begin() + static_cast<std::ptrdiff_t>(start),
                       image.begin() + static_cast<std::ptrdiff_t>(start + size));
    return picture;
}

CWindowFrame CDesktop::SettledFrame(const std::string& window, int boundMs) const
{
    // Settled: the same frame seen throughout two seconds.
    CWindowFrame frame = Frame(window);
    auto since = Clock::now();
    WaitUntil(
        [&] {
            const CWindowFrame now = Frame(window);
            if (!(now == frame))
            {
                frame = now;
                since = Clock::now();
            }
            return Clock::now() - since >= std::chrono::seconds(2);
        },
        boundMs);
    return frame;
}
