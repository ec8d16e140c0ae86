#pragma once
// What every journey stands on: a desktop (tests/journeys/Desktop.h), a JACK server with the
// dummy driver, the simulated instrument as a program of its own, and a home of the journey's own
// (settings, user data, the single-instance channel), so nothing of the machine's user is touched.
// The programs run as built; Q9_JOURNEY_VALGRIND=1 runs them under valgrind's memcheck.
#include "tests/journeys/Desktop.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/JackServer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class CJourney : public ::testing::Test
{
protected:
    static constexpr const char* kToInstrument = "Talvarix Sim:MIDI In";
    static constexpr const char* kFromInstrument = "Talvarix Sim Out:MIDI Out";

    void SetUp() override;
    void TearDown() override;

    // Starts the simulated instrument ("small": the editor's memory, "librarian": all user patches).
    void StartInstrument(const std::string& memory);
    void StopInstrument();
    // The instrument's memory from an address ("30 00 00 00", as on the wire): `count` bytes as
    // text, a byte outside the memory as '?'; empty when the instrument did not answer.
    std::string InstrumentText(const std::string& address, int count);

    // A program of the build, with its milestones on standard output.
    std::unique_ptr<CChildProcess> Start(const std::string& program, const std::vector<std::string>& arguments = {});
    // The program's next milestone that starts with `prefix` ("message", "started"); the
    // milestone's text after the prefix, or "<none>" when none came in time.
    static std::string Milestone(CChildProcess& program, const std::string& prefix);
    // The bound for a program's own work: longer under valgrind.
    int Bound() const { return m_valgrind ? 180000 : 30000; }

    // The settings file of the program named so (its profile under the maker's folder).
    std::string Settings(const std::string& application) const;
    std::string Home(const std::string& name) const { return m_home->File(name); }

    std::unique_ptr<CDesktop> m_desktop;
    std::unique_ptr<CJackDummyServer> m_server;
    std::unique_ptr<CChildProcess> m_instrument;
    std::unique_ptr<CTempDir> m_home;
    bool m_valgrind = false;
    std::string m_skip;
};
