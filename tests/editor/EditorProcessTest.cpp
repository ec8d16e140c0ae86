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
        GTEST_SKIP() << problem;

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

TEST(EditorProgram, InstalledToAPrefixFindsItsScriptBesideItselfAndRegistersWithTheDesktop)
{
    namespace fs = std::filesystem;
    CTempDir prefix;
    CChildProcess install(Q9_CMAKE_COMMAND, {"--install", Q9_BUILD_DIR, "--prefix", prefix.Path()});
    ASSERT_EQ(install.Wait(), 0);

    const fs::path link = fs::path(prefix.Path()) / "bin" / "q9ee";
    ASSERT_TRUE(fs::is_symlink(link));
    const fs::path programFolder = fs::canonical(link).parent_path();
    EXPECT_EQ(programFolder, fs::canonical(fs::path(prefix.Path()) / Q9_PROGRAM_INSTALL_DIR));
    EXPECT_TRUE(fs::exists(programFolder / "Resources" / "Bitmap3074.bmp")) << "the start-up picture";
    const std::string entry = ReadFileBytes(prefix.File("share/applications/q9ee.desktop"));
    EXPECT_NE(entry.find("Exec=\"" + link.string() + "\" %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("MimeType=application/x-talvarixeditor.document;\n"), std::string::npos) << entry;
    EXPECT_TRUE(fs::exists(programFolder / "Resources" / "Icon3072.png")) << "the program's icon";
    EXPECT_NE(entry.find("Icon=" + prefix.Path() + "/" + Q9_PROGRAM_INSTALL_DIR + "/Resources/Icon3072.png\n"),
              std::string::npos)
        << entry;
    const std::string mime = ReadFileBytes(prefix.File("share/mime/packages/talvarixeditor.document.xml"));
    EXPECT_NE(mime.find("<glob pattern=\"*.q9e\"/>"), std::string::npos) << mime;

    // The installation's own script when it has one, else a small one in its place.
    const fs::path script = programFolder / "Script" / "Q9EE" / "Script.xml";
    if (!fs::exists(script))
    {
        fs::create_directories(script.parent_path());
        fs::copy_file(std::string(std::getenv("Q9_TEST_DATA")) + "/editor/Startup.xml", script);
    }
    CTempDir home;
    CScopedEnvironment environment;
    environment.Set("QT_QPA_PLATFORM", "offscreen");
    environment.Set("XDG_CONFIG_HOME", home.File("config"));
    environment.Set("XDG_DATA_HOME", home.File("data"));
    environment.Set("XDG_RUNTIME_DIR", home.Path());
    environment.Set("Q9_MILESTONES", "1");
    CChildProcess editor(link.string(), {});
    // The main window shows only once the script is read and the panel "main" is open.
    EXPECT_EQ(editor.ReadLine(), "milestone main window shown");
    editor.Kill();
}
