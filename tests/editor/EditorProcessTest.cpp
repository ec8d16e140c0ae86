// The real q9ee program, started as its own process on the offscreen platform, against the
// simulated instrument program over a JACK server with the dummy driver: it finds its script
// beside itself, opens the devices its settings name, reads the instrument's data without a word
// to the user, and a termination signal shuts it down in order. Every wait is bounded and ends at the awaited event.
#include "tests/support/ChildProcess.h"
#include "tests/support/JackServer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace
{
// Asks a child program to end and waits for it, when the scope ends.
class CEndsInOrder
{
public:
    explicit CEndsInOrder(CChildProcess& child) : m_child(child) {}
    ~CEndsInOrder()
    {
        if (m_child.Terminate())
            m_child.Wait(10000);
    }

private:
    CChildProcess& m_child;
};

// Environment variables set for the programs this test starts, put back afterwards.
class CScopedEnvironment
{
public:
    void Set(const std::string& name, const std::string& value)
    {
        if (!m_saved.count(name))
        {
            const char* old = std::getenv(name.c_str());
            m_saved[name] = old ? std::make_pair(true, std::string(old)) : std::make_pair(false, std::string());
        }
        setenv(name.c_str(), value.c_str(), 1);
    }

    ~CScopedEnvironment()
    {
        for (const auto& [name, old] : m_saved)
        {
            if (old.first)
                setenv(name.c_str(), old.second.c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::pair<bool, std::string>> m_saved;
};
}

TEST(EditorProgram, StartsAgainstTheSimulatedInstrumentOverJackAndEndsInOrderOnATerminationSignal)
{
    CTempDir home;
    const std::string config = home.File("config");
    const std::string data = home.File("data");
    const std::string runtime = home.File("runtime");
    std::filesystem::create_directories(config + "/Vantor");
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    // The program as the build leaves it, with the bundled script beside it.
    const std::string program = Q9EE_PROGRAM;

    CJackDummyServer server(Q9_JACKD);
    if (const std::string problem = server.Start(); !problem.empty())
    {
        if (server.IsMissing())
            GTEST_SKIP() << problem;
        FAIL() << problem;
    }

    CChildProcess instrument(Q9_SIM_INSTRUMENT, {"--api", "jack", "--name", "Talvarix Sim"});
    // However the test ends, the instrument leaves the server in order before the server stops: a
    // client killed outright keeps the server from unregistering, and the machine's few server
    // slots fill up.
    const CEndsInOrder endsInOrder(instrument);
    ASSERT_EQ(instrument.ReadLine(), "ready");
    const std::string toInstrument = "Talvarix Sim:MIDI In";
    const std::string fromInstrument = "Talvarix Sim Out:MIDI Out";
    ASSERT_TRUE(server.WaitForPorts({toInstrument}, {fromInstrument})) << "the instrument's ports did not appear";

    // The settings name the instrument's ports for the script's first input and output, as the
    // set-up dialog lists them: no variable tells the program to use JACK, its ports are listed
    // beside the ALSA sequencer's.
    const std::string settings = config + "/Vantor/Talvarix Editor.ini";
    ASSERT_TRUE(WriteFileBytes(settings, "[MIDIConnection]\nMIDIInDevice0=JACK: " + fromInstrument +
                                             "\nMIDIOutDevice0=JACK: " + toInstrument + "\n"));
    CScopedEnvironment environment;
    environment.Set("QT_QPA_PLATFORM", "offscreen");
    environment.Set("XDG_CONFIG_HOME", config);
    environment.Set("XDG_DATA_HOME", data);
    environment.Set("XDG_RUNTIME_DIR", runtime);
    environment.Set("Q9_MIDI_API", "");   // empty: every MIDI system
    environment.Set("Q9_MILESTONES", "1");

    CChildProcess editor(program, {});
    // The devices open and the editor reads the instrument's data; a message box (MIDI not set
    // up, a request without an answer) would hold the start-up before "started".
    EXPECT_EQ(editor.ReadLine(), "milestone main window shown");
    ASSERT_EQ(editor.ReadLine(), "milestone started");

    ASSERT_TRUE(editor.Terminate());
    EXPECT_EQ(editor.Wait(), 0) << "the signal closes the main window and the program ends in order";
    const std::string userData = data + "/Vantor/Talvarix Editor/";
    EXPECT_NE(ReadFileBytes(userData + "WindowPosition.txt").find("main"), std::string::npos)
        << "the window positions are saved at exit";
    EXPECT_FALSE(ReadFileBytes(userData + "ViewState.txt").empty()) << "the view state is saved at exit";
    const std::string kept = ReadFileBytes(settings);
    EXPECT_NE(kept.find("JACK: " + toInstrument), std::string::npos) << kept;
    EXPECT_NE(kept.find("IsWindowMaximized"), std::string::npos) << "the main frame's close ran: " << kept;
}

// Both programs installed into a prefix: each finds its script, pictures and manuals beside
// itself, is registered with the desktop with its document type, and reaches its main window.
TEST(InstalledPrograms, FindTheirFilesBesideThemselvesRegisterWithTheDesktopAndReachTheirMainWindows)
{
    namespace fs = std::filesystem;
    CTempDir prefix;
    CChildProcess install(Q9_CMAKE_COMMAND, {"--install", Q9_BUILD_DIR, "--prefix", prefix.Path()});
    ASSERT_EQ(install.Wait(), 0);

    const fs::path programFolder = fs::canonical(fs::path(prefix.Path()) / Q9_PROGRAM_INSTALL_DIR);
    const struct
    {
        const char* program;
        const char* mimeType;
        const char* mimePackage;
        const char* extension;
    } programs[] = {
        {"q9ee", "application/x-talvarixeditor.document", "talvarixeditor.document.xml", "*.q9e"},
        {"q9el", "application/x-talvarixlibrarian.document", "talvarixlibrarian.document.xml", "*.q9l"},
    };
    for (const auto& p : programs)
    {
        SCOPED_TRACE(p.program);
        const fs::path link = fs::path(prefix.Path()) / "bin" / p.program;
        ASSERT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::canonical(link).parent_path(), programFolder);
        const std::string entry = ReadFileBytes(prefix.File(std::string("share/applications/") + p.program + ".desktop"));
        EXPECT_NE(entry.find("Exec=\"" + link.string() + "\" %f\n"), std::string::npos) << entry;
        EXPECT_NE(entry.find(std::string("MimeType=") + p.mimeType + ";\n"), std::string::npos) << entry;
        EXPECT_NE(entry.find("Icon=" + prefix.Path() + "/" + Q9_PROGRAM_INSTALL_DIR + "/Resources/Icon3072.png\n"),
                  std::string::npos)
            << entry;
        const std::string mime = ReadFileBytes(prefix.File(std::string("share/mime/packages/") + p.mimePackage));
        EXPECT_NE(mime.find(std::string("<glob pattern=\"") + p.extension + "\"/>"), std::string::npos) << mime;
    }
    EXPECT_TRUE(fs::exists(programFolder / "Resources" / "Bitmap3074.bmp")) << "the start-up picture";
    EXPECT_TRUE(fs::exists(programFolder / "Resources" / "Icon3072.png")) << "the programs' icon";
    EXPECT_TRUE(fs::exists(programFolder / "Script" / "Q9EL" / "InitialData.q9l")) << "the librarian's initial file";
    for (const char* manual : {"TalvarixEditorManualE.pdf", "TalvarixEditorManualJ.pdf", "TalvarixLibrarianManualE.pdf",
                               "TalvarixLibrarianManualJ.pdf"})
        EXPECT_TRUE(fs::is_regular_file(programFolder / "Manual" / manual)) << manual;

    // The installation's own script when it has one, else a small one in its place.
    const fs::path script = programFolder / "Script" / "Q9EE" / "Script.xml";
    if (!fs::exists(script))
    {
        fs::create_directories(script.parent_path());
        fs::copy_file(std::string(std::getenv("Q9_TEST_DATA")) + "/editor/Startup.xml", script);
    }
    CTempDir home;
    const std::string runtime = home.File("runtime");
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    CScopedEnvironment environment;
    environment.Set("QT_QPA_PLATFORM", "offscreen");
    environment.Set("XDG_CONFIG_HOME", home.File("config"));
    environment.Set("XDG_DATA_HOME", home.File("data"));
    environment.Set("XDG_RUNTIME_DIR", runtime);
    environment.Set("Q9_MILESTONES", "1");
    for (const auto& p : programs)
    {
        SCOPED_TRACE(p.program);
        CChildProcess started((fs::path(prefix.Path()) / "bin" / p.program).string(), {});
        // The main window shows only once the start-up found what it reads beside the program.
        EXPECT_EQ(started.ReadLine(), "milestone main window shown");
        started.Kill();
    }
}
