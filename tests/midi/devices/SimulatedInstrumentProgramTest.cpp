// The simulated instrument program as a tester uses it by hand: its options, and its memory
// dump showing what a program wrote to it over JACK.
#include "platform/MidiBackend.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/JackServer.h"
#include "tests/support/SimulatedInstrument.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace
{
// Everything the program prints until it ends.
std::string OutputUntilExit(CChildProcess& program, int& exitCode)
{
    std::string output;
    for (std::string line = program.ReadLine(); line != "<none>"; line = program.ReadLine())
        output += line + "\n";
    exitCode = program.Wait();
    return output;
}

TEST(SimulatedInstrumentProgram, HelpAndWrongOptions)
{
    int exitCode = -1;
    CChildProcess help(Q9_SIM_INSTRUMENT, {"--help"});
    const std::string usage = OutputUntilExit(help, exitCode);
    EXPECT_EQ(0, exitCode);
    EXPECT_NE(std::string::npos, usage.find("Usage: q9_sim_instrument")) << usage;
    EXPECT_NE(std::string::npos, usage.find("--memory editor")) << usage;
    EXPECT_NE(std::string::npos, usage.find("dump AA BB CC DD COUNT")) << usage;

    const std::vector<std::vector<std::string>> wrong = {
        {"--memory", "huge"}, {"--api", "coreaudio"}, {"--name"}, {"--verbose"}};
    for (const std::vector<std::string>& arguments : wrong)
    {
        SCOPED_TRACE(arguments[0]);
        CChildProcess program(Q9_SIM_INSTRUMENT, arguments);
        EXPECT_EQ(2, program.Wait());
    }
}

TEST(SimulatedInstrumentProgram, DumpShowsWhatWasWrittenOverJack)
{
    CJackDummyServer server(Q9_JACKD);
    if (const std::string problem = server.Start(); !problem.empty())
    {
        if (server.IsMissing())
            GTEST_SKIP() << problem;
        FAIL() << problem;
    }
    CChildProcess instrument(Q9_SIM_INSTRUMENT, {"--api", "jack", "--name", "Sim Dump", "--memory", "librarian"});
    ASSERT_EQ("ready", instrument.ReadLine());
    const std::string toInstrument = "Sim Dump:MIDI In";
    ASSERT_TRUE(server.WaitForPorts({toInstrument}, {}));

    // The librarian's map: user patch 1 is filled with its slot number; outside the map is "--";
    // a wrong command is answered, not fatal.
    struct Case
    {
        std::string command;
        std::vector<std::string> lines;
    } cases[] = {
        {"dump 30 01 00 00 4", {"30 01 00 00: 01 01 01 01"}},
        {"dump 01 00 00 04 3", {"01 00 00 04: 57 00 --"}},
        {"dump 30 00 00 7E 18", {"30 00 00 7E: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00", "30 00 01 0E: 00 00"}},
        {"dump 80 00 00 00 1", {"error: the address is four hexadecimal bytes of 00 to 7F"}},
        {"dump 30 00 00 00 0", {"error: the count is a number of bytes from 1 to 65536"}},
        {"peek", {"error: unknown command \"peek\" (dump, set, quit)"}},
        // "set" stores what the instrument's own panel would, all or nothing.
        {"set 30 01 00 01 2A 7F", {"ok"}},
        {"dump 30 01 00 00 4", {"30 01 00 00: 01 2A 7F 01"}},
        {"set 30 01 00 01 2A 80", {"error: the data are hexadecimal bytes of 00 to 7F"}},
        {"set 30 01 00 01", {"error: no bytes to store"}},
        {"set 01 00 00 05 00 00", {"error: the bytes do not lie inside the memory"}},
        {"dump 30 01 00 00 4", {"30 01 00 00: 01 2A 7F 01"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.command);
        ASSERT_TRUE(instrument.WriteLine(c.command));
        for (const std::string& line : c.lines)
            EXPECT_EQ(line, instrument.ReadLine());
    }

    std::unique_ptr<IMidiBackend> backend = CreateRtMidiBackend(EMidiApi::Jack, "Q9 Dump Test");
    std::unique_ptr<IMidiOutputConnection> output;
    const std::vector<CMidiPortEntry> ports = backend->GetOutputPorts();
    for (UINT i = 0; i < ports.size() && !output; ++i)
    {
        if (ports[i].name == toInstrument)
        {
            ASSERT_EQ(MMSYSERR_NOERROR, backend->OpenOutput(i, output));
        }
    }
    ASSERT_TRUE(output) << "the instrument's input is not listed";
    const CSimulatedInstrument wire({});
    const std::vector<BYTE> written = {0x41, 0x42, 0x43};
    const std::vector<BYTE> dataSet = wire.MakeDataSet(0x6004000 + 0x10, written, 0x10);

    // A port that was just connected may miss the first message: sent again until the dump shows it.
    bool seen = false;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!seen && std::chrono::steady_clock::now() < until)
    {
        ASSERT_TRUE(output->SendLong(dataSet.data(), dataSet.size(), nullptr));
        ASSERT_TRUE(instrument.WriteLine("dump 30 01 00 10 3"));
        seen = instrument.ReadLine() == "30 01 00 10: 41 42 43";
    }
    EXPECT_TRUE(seen);
    output.reset();
    ASSERT_TRUE(instrument.WriteLine("quit"));
    EXPECT_EQ(0, instrument.Wait());
}
}
