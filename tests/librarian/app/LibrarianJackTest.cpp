// The librarian over a real inter-process MIDI path: a JACK server with the dummy driver, the
// simulated instrument as a program of its own, and the application's devices opening its ports
// by the names the MIDI set-up stored. Time is real here; every wait is bounded and ends as soon
// as its event comes. A second part starts the q9el program itself twice: the second start hands
// its file over to the first and ends.
#include "librarian/app/LibrarianApp.h"
#include "librarian/app/LibrarianData.h"
#include "librarian/app/LibrarianDialogs.h"
#include "librarian/app/LibrarianDocuments.h"
#include "librarian/app/LibrarianViews.h"
#include "librarian/app/Reader.h"
#include "librarian/app/Writer.h"
#include "platform/MidiBackend.h"
#include "platform/Profile.h"
#include "platform/VirtualMidiBackend.h"
#include "tests/librarian/app/LibrarianFixtures.h"
#include "tests/librarian/app/MessageBoxAnswers.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/JackServer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

TEST(LibrarianJack, ReadsAndWritesPatchesOfAnInstrumentInAnotherProcess)
{
    CJackDummyServer server(Q9_JACKD);
    if (const std::string problem = server.Start(); !problem.empty())
    {
        if (server.IsMissing())
            GTEST_SKIP() << problem;
        FAIL() << problem;
    }
    std::unique_ptr<IMidiBackend> backend = CreateRtMidiBackend(EMidiApi::Jack, "Q9 Librarian Test");
    CScopedMidiBackend scoped(backend.get());
    CChildProcess instrument(Q9_SIM_INSTRUMENT, {"--api", "jack", "--name", "Talvarix Sim", "--memory", "librarian"});
    ASSERT_EQ("ready", instrument.ReadLine());
    const std::string toInstrument = "Talvarix Sim:MIDI In";
    const std::string fromInstrument = "Talvarix Sim Out:MIDI Out";
    ASSERT_TRUE(server.WaitForPorts({toInstrument}, {fromInstrument})) << "the instrument's ports did not appear";

    CTempDir config, program, channel, data;
    CInitialFileReset reset;
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    SetProfileFolder(config.Path());
    SetRegistryKey("Vantor");
    SetApplicationName("Talvarix Librarian");
    WriteProfileString("MIDIConnection", "MIDIInDevice0", fromInstrument);
    WriteProfileString("MIDIConnection", "MIDIOutDevice0", toInstrument);
    WriteProfileInt("Option", "ReadUser", 1);
    WriteProfileInt("Option", "WriteUser", 1);
    std::vector<std::string> boxes;
    {
        CMessageBoxAnswers answers([&boxes](const std::string& text, bool) {
            boxes.push_back(text);
            return 0;
        });
        CApp app;
        app.SetProgramFolder(program.Path());
        app.SetInstanceFolder(channel.Path());
        ASSERT_TRUE(app.InitInstance());
        CLibrarianData::GetInstance().GetReader()->SetProgress(nullptr);
        CLibrarianData::GetInstance().GetWriter()->SetProgress(nullptr);
        CImageView& view = *app.GetImageView();
        CPatchArray& image = app.GetImageDoc()->GetData().GetCurrent().GetPatches();

        // A port that was just connected may miss its first message: the checks ask again.
        view.GetList().SelectItems(1, true);
        view.GetList().SelectItems(2, true);
        bool read = false;
        for (int attempt = 0; attempt < 5 && !read; ++attempt)
            read = view.ReadPatches(false);
        ASSERT_TRUE(read) << (boxes.empty() ? "" : boxes.back());
        EXPECT_EQ(std::string(12, '\x01'), image.At(1).GetName());
        EXPECT_EQ(std::string(12, '\x02'), image.At(2).GetName());

        // Patch 2 goes out with a new name and comes back the same.
        image.At(2).SetName("Over JACK");
        view.GetList().SelectItems(1, false);
        ASSERT_TRUE(view.WritePatches(false));
        image.At(2).SetName("forgotten");
        ASSERT_TRUE(view.ReadPatches(false));
        EXPECT_EQ("Over JACK   ", image.At(2).GetName());
        app.ExitInstance();
    }
    SetProfileFolder("");
    unsetenv("XDG_DATA_HOME");
    // The instrument leaves before the server stops.
    if (instrument.Terminate())
        instrument.Wait();
}

// The program as users start it: offscreen, with a file; a second start with another file hands
// it over and ends at once with success, the first keeps running until it is told to stop.
TEST(LibrarianProcess, ASecondStartHandsItsFileToTheFirst)
{
    CTempDir home, files;
    const std::string first = files.File("first.q9l");
    const std::string second = files.File("second.q9l");
    ASSERT_TRUE(WriteFileBytes(first, WriteBytes(MakeTwoPatchFixture())));
    ASSERT_TRUE(WriteFileBytes(second, WriteBytes(MakeTwoPatchFixture())));
    const std::string environment = "env HOME=" + home.Path() + " XDG_CONFIG_HOME=" + home.Path() +
                                    " XDG_RUNTIME_DIR=" + home.Path() + " XDG_DATA_HOME=" + home.Path() + " QT_QPA_PLATFORM=offscreen ";
    CChildProcess running("/bin/sh", {"-c", "exec " + environment + Q9EL_PROGRAM + " " + first + " 2>/dev/null"});
    // The first start has claimed its channel once its socket is there.
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    const auto hasSocket = [&home] {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(home.Path(), error))
            if (entry.path().extension() == ".socket")
                return true;
        return false;
    };
    bool claimed = false;
    while (!(claimed = hasSocket()) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(claimed) << "the first start never claimed its channel";
    CChildProcess later("/bin/sh", {"-c", "exec " + environment + Q9EL_PROGRAM + " " + second + " 2>/dev/null"});
    EXPECT_EQ(0, later.Wait());
    EXPECT_EQ(-1, running.Wait(300)) << "the first start keeps running";
    running.Kill();
}
}
