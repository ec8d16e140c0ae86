#include "tests/journeys/JourneyFixture.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

void CJourney::SetUp()
{
    const char* valgrind = std::getenv("Q9_JOURNEY_VALGRIND");
    m_valgrind = valgrind && *valgrind == '1';
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(test->test_suite_name()) + "." + test->name() + (m_valgrind ? ".valgrind" : "");
    m_desktop = std::make_unique<CDesktop>(std::string(Q9_JOURNEY_PICTURES) + "/" + name);
    if (const std::string problem = m_desktop->Start(); !problem.empty())
        GTEST_SKIP() << problem;
    m_home = std::make_unique<CTempDir>();
    for (const char* folder : {"config/Vantor", "data", "runtime"})
        std::filesystem::create_directories(m_home->File(folder));
    std::filesystem::permissions(m_home->File("runtime"), std::filesystem::perms::owner_all);
    setenv("XDG_CONFIG_HOME", m_home->File("config").c_str(), 1);
    setenv("XDG_DATA_HOME", m_home->File("data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", m_home->File("runtime").c_str(), 1);
    // Without a JACK server the programs find no ports, as on a machine without MIDI.
    setenv("Q9_MIDI_API", "jack", 1);
    setenv("Q9_MILESTONES", "1", 1);
    unsetenv("QT_QPA_PLATFORM");
}

void CJourney::TearDown()
{
    StopInstrument();
    m_server.reset();
    m_desktop.reset();
}

void CJourney::StartInstrument(const std::string& memory)
{
    // JACK servers of parallel tests take turns, so only a journey with an instrument starts one.
    m_server = std::make_unique<CJackDummyServer>(Q9_JACKD);
    if (const std::string problem = m_server->Start(); !problem.empty())
    {
        if (m_server->IsMissing())
            GTEST_SKIP() << problem;
        FAIL() << problem;
    }
    m_instrument = std::make_unique<CChildProcess>(
        Q9_SIM_INSTRUMENT, std::vector<std::string>{"--api", "jack", "--name", "Talvarix Sim", "--memory", memory});
    ASSERT_EQ(m_instrument->ReadLine(), "ready");
    ASSERT_TRUE(m_server->WaitForPorts({kToInstrument}, {kFromInstrument})) << "the instrument's ports did not appear";
}

void CJourney::StopInstrument()
{
    // In order: a client killed outright keeps the server from unregistering it.
    if (m_instrument && m_instrument->Terminate())
        m_instrument->Wait(10000);
    m_instrument.reset();
}

std::string CJourney::InstrumentText(const std::string& address, int count)
{
    if (!m_instrument || !m_instrument->WriteLine("dump " + address + " " + std::to_string(count)))
        return std::string();
    // Lines of "AA BB CC DD: xx xx ...", 16 bytes a line.
    std::string text;
    for (int line = 0; line < (count + 15) / 16; ++line)
    {
        const std::string answer = m_instrument->ReadLine();
        const size_t colon = answer.find(':');
        if (colon == std::string::npos)
            return std::string();
        std::istringstream bytes(answer.substr(colon + 1));
        for (std::string byte; bytes >> byte;)
            text += byte == "--" ? '?' : static_cast<char>(std::stoi(byte, nullptr, 16));
    }
    return text;
}

std::unique_ptr<CChildProcess> CJourney::Start(const std::string& program, const std::vector<std::string>& arguments)
{
    if (!m_valgrind)
        return std::make_unique<CChildProcess>(program, arguments);
    // Machine code that Qt's regular expressions compile at run time reads words memcheck cannot
    // follow; interpreted, they are checked like the rest.
    setenv("QT_ENABLE_REGEXP_JIT", "0", 1);
    std::vector<std::string> wrapped = {"--tool=memcheck", "--error-exitcode=99", "--leak-check=no",
                                        "--errors-for-leak-kinds=none", "--track-origins=no", "--quiet",
                                        std::string("--suppressions=") + Q9_VALGRIND_SUPPRESSIONS, program};
    wrapped.insert(wrapped.end(), arguments.begin(), arguments.end());
    return std::make_unique<CChildProcess>(Q9_VALGRIND, wrapped);
}

std::string CJourney::Milestone(CChildProcess& program, const std::string& prefix)
{
    for (;;)
    {
        const std::string line = program.ReadLine(180000);
        if (line == "<none>")
            return line;
        const std::string text = line.rfind("milestone ", 0) == 0 ? line.substr(10) : line;
        if (text.rfind(prefix, 0) == 0)
            return text.size() > prefix.size() ? text.substr(prefix.size() + 1) : std::string();
    }
}

std::string CJourney::Settings(const std::string& application) const
{
    return m_home->File("config/Vantor/" + application + ".ini");
}
