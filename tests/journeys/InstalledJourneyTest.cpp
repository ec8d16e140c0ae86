// Both programs as a user installs them: "cmake --install" into a folder of its own, then each
// program started from there reaches its main window. Every file either program opens is traced,
// so a program that still reaches into the build or source tree for its script, pictures or
// libraries fails here, though the same files would be found on the developer's machine.
#include "tests/journeys/JourneyFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace
{
namespace fs = std::filesystem;

// The lines of a trace that name a path under `folder`.
std::vector<std::string> LinesNaming(const std::string& trace, const std::string& folder)
{
    std::vector<std::string> found;
    std::ifstream in(trace);
    for (std::string line; std::getline(in, line);)
        if (line.find("\"" + folder + "/") != std::string::npos || line.find("\"" + folder + "\"") != std::string::npos)
            found.push_back(line);
    return found;
}

bool Opened(const std::string& trace, const std::string& path)
{
    std::ifstream in(trace);
    for (std::string line; std::getline(in, line);)
        if (line.find("open") != std::string::npos && line.find("\"" + path + "\"") != std::string::npos &&
            line.find("= -1") == std::string::npos)
            return true;
    return false;
}

// Changes the working folder for the scope: the installed programs run outside the build tree.
class CWorkingFolder
{
public:
    explicit CWorkingFolder(const std::string& folder) : m_old(fs::current_path()) { fs::current_path(folder); }
    ~CWorkingFolder() { fs::current_path(m_old); }

private:
    fs::path m_old;
};

// The leak check of a sanitizer build cannot run under a tracer: it is left to the other journeys.
class CNoLeakCheckUnderTheTracer
{
public:
    CNoLeakCheckUnderTheTracer()
    {
        const char* options = std::getenv("ASAN_OPTIONS");
        m_had = options != nullptr;
        m_old = options ? options : "";
        setenv("ASAN_OPTIONS", (m_old.empty() ? std::string() : m_old + ":").append("detect_leaks=0").c_str(), 1);
    }
    ~CNoLeakCheckUnderTheTracer()
    {
        if (m_had)
            setenv("ASAN_OPTIONS", m_old.c_str(), 1);
        else
            unsetenv("ASAN_OPTIONS");
    }

private:
    bool m_had = false;
    std::string m_old;
};
}

class InstalledJourney : public CJourney
{
};

TEST_F(InstalledJourney, BothProgramsStartFromTheirInstalledFolderAndNeverReachIntoTheBuildTree)
{
    CTempDir prefix;
    CChildProcess install(Q9_CMAKE_COMMAND, {"--install", Q9_BUILD_DIR, "--prefix", prefix.Path()});
    ASSERT_EQ(install.Wait(Bound() * 4), 0);
    const fs::path programFolder = fs::canonical(fs::path(prefix.Path()) / Q9_PROGRAM_INSTALL_DIR);
    for (const char* file : {"q9ee", "q9el", "Script/Q9EE/Script.xml", "Script/Q9EL/InitialData.q9l",
                             "Resources/Icon3072.png", "Manual/TalvarixEditorManualE.pdf",
                             "Manual/TalvarixLibrarianManualE.pdf"})
        EXPECT_TRUE(fs::is_regular_file(programFolder / file)) << file;
    for (const char* file : {"share/applications/q9ee.desktop", "share/applications/q9el.desktop",
                             "share/mime/packages/talvarixeditor.document.xml",
                             "share/mime/packages/talvarixlibrarian.document.xml"})
        EXPECT_TRUE(fs::is_regular_file(fs::path(prefix.Path()) / file)) << file;

    const CWorkingFolder outside(Home("data"));
    const CNoLeakCheckUnderTheTracer noLeakCheck;
    const struct
    {
        const char* program;
        const char* mainTitle;
        bool notSetUpMessage;   // the editor says so when no MIDI device is chosen
        const char* ownFile;    // a file of its own it reads at start, from its folder
    } programs[] = {
        {"q9ee", "^Talvarix Editor - ", true, "Script/Q9EE/Script.xml"},
        {"q9el", "^Talvarix Librarian - Main$", false, "Script/Q9EL/InitialData.q9l"},
    };
    for (const auto& p : programs)
    {
        SCOPED_TRACE(p.program);
        const std::string trace = Home(std::string(p.program) + ".trace");
        // Started through the link in bin/, as the desktop entry starts it.
        auto program = std::make_unique<CChildProcess>(
            Q9_STRACE, std::vector<std::string>{"-f", "-qq", "-s", "4096", "-e", "trace=%file", "-o", trace,
                                               (fs::path(prefix.Path()) / "bin" / p.program).string()});
        if (p.notSetUpMessage)
        {
            EXPECT_NE(Milestone(*program, "message"), "<none>");
            const std::string box = m_desktop->WaitForWindow("^Talvarix Editor$", Bound());
            ASSERT_FALSE(box.empty());
            m_desktop->Keys(box, "Return");
        }
        ASSERT_EQ(Milestone(*program, "started"), "");
        const std::string main = m_desktop->WaitForWindow(p.mainTitle, Bound());
        ASSERT_FALSE(main.empty()) << "no main window";
        EXPECT_TRUE(m_desktop->WaitUntilDrawn(main, Bound()));
        m_desktop->Picture(main, std::string(p.program) + "-installed");
        // Closed from the window manager: the tracer ends with the program and gives its status.
        m_desktop->Keys(main, "alt+F4");
        EXPECT_EQ(program->Wait(Bound()), 0) << "ends in order";

        EXPECT_TRUE(Opened(trace, (programFolder / p.ownFile).string())) << "reads " << p.ownFile << " beside itself";
        EXPECT_TRUE(Opened(trace, (programFolder / "Resources/Icon3072.png").string())) << "its icon";
        for (const std::string& tree : {std::string(Q9_BUILD_DIR), std::string(Q9_SOURCE_DIR)})
        {
            const std::vector<std::string> reached = LinesNaming(trace, fs::canonical(tree).string());
            EXPECT_TRUE(reached.empty()) << reached.size() << " files of " << tree << ", first: " << reached.front();
        }
    }
}
