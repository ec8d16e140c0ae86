// The multimedia MIDI functions over the virtual backend: buffer bookkeeping, completions,
// presence; and the RtMidi backend where no MIDI system can be reached.
#include "platform/AllSystemsMidiBackend.h"
#include "platform/MidiApi.h"
#include "platform/VirtualMidiBackend.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace
{
struct CCallbackLog
{
    std::vector<std::pair<UINT, DWORD_PTR>> calls;

    static void Callback(HMIDIIN, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR)
    {
        reinterpret_cast<CCallbackLog*>(instance)->calls.emplace_back(message, param1);
    }
};

struct CBuffer
{
    MIDIHDR header{};
    char data[4];
    CBuffer()
    {
        header.lpData = data;
        header.dwBufferLength = sizeof data;
    }
};

TEST(MidiApi, InputBuffersAreFilledAndReturnedInTheOrderAdded)
{
    CVirtualMidiBackend backend;
    backend.AddInput("In");
    CScopedMidiBackend scoped(&backend);
    CCallbackLog log;
    HMIDIIN handle = nullptr;
    ASSERT_EQ(midiInOpen(&handle, 0, reinterpret_cast<DWORD_PTR>(&CCallbackLog::Callback),
                         reinterpret_cast<DWORD_PTR>(&log), CALLBACK_FUNCTION), MMSYSERR_NOERROR);
    CBuffer a, b, c;
    EXPECT_EQ(midiInAddBuffer(handle, &a.header, sizeof(MIDIHDR)), MIDIERR_UNPREPARED);
    for (CBuffer* buffer : {&a, &b, &c})
    {
        ASSERT_EQ(midiInPrepareHeader(handle, &buffer->header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(midiInAddBuffer(handle, &buffer->header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(midiInUnprepareHeader(handle, &a.header, sizeof(MIDIHDR)), MIDIERR_STILLPLAYING);

    backend.Send("In", {0x90, 0x40, 0x7F});
    EXPECT_TRUE(log.calls.size() == 1 && log.calls[0].first == MIM_OPEN) << "nothing arrives before start";
    ASSERT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
    backend.Send("In", {0x90, 0x40, 0x7F});
    backend.Send("In", {0xF0, 0x01, 0x02, 0x03, 0x04, 0xF7});   // six bytes: two buffers of four
    ASSERT_EQ(log.calls.size(), 4u);
    EXPECT_EQ(log.calls[1], std::make_pair(MIM_DATA, DWORD_PTR{0x7F4090}));
    EXPECT_EQ(log.calls[2], std::make_pair(MIM_LONGDATA, reinterpret_cast<DWORD_PTR>(&a.header)));
    EXPECT_EQ(log.calls[3], std::make_pair(MIM_LONGDATA, reinterpret_cast<DWORD_PTR>(&b.header)));
    EXPECT_EQ(a.header.dwBytesRecorded, 4u);
    EXPECT_EQ(b.header.dwBytesRecorded, 2u);
    EXPECT_EQ(std::memcmp(b.data, "\x04\xF7", 2), 0);
    EXPECT_EQ(MidiHeaderFlags(&a.header), MHDR_PREPARED | MHDR_DONE);

    EXPECT_EQ(midiInClose(handle), MIDIERR_STILLPLAYING) << "buffer c is still queued";
    ASSERT_EQ(midiInReset(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(log.calls.back(), std::make_pair(MIM_LONGDATA, reinterpret_cast<DWORD_PTR>(&c.header)));
    EXPECT_EQ(c.header.dwBytesRecorded, 0u);
    EXPECT_EQ(midiInUnprepareHeader(handle, &c.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(midiInClose(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(log.calls.back().first, MIM_CLOSE);
    EXPECT_EQ(midiInClose(handle), MMSYSERR_INVALHANDLE);
}

// The program's thread hands a filled buffer back as soon as it is told, while the driver's
// callback that told it may still be running: the handback must not wait for that callback.
TEST(MidiApi, AFilledBufferCanBeHandedBackWhileItsCallbackRuns)
{
    CVirtualMidiBackend backend;
    backend.AddInput("In");
    CScopedMidiBackend scoped(&backend);
    struct CHandback
    {
        HMIDIIN handle = nullptr;
        int filled = 0;
        bool handedBack = false;

        // The first filled buffer is handed back from another thread; Reset's return of it is not.
        static void Callback(HMIDIIN, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR)
        {
            auto* self = reinterpret_cast<CHandback*>(instance);
            if (message != MIM_LONGDATA || self->filled++ > 0)
                return;
            struct CDone
            {
                std::mutex mutex;
                std::condition_variable signal;
                bool finished = false;
            };
            // Shared, so a handback that is still blocked when the wait gives up stays harmless.
            auto done = std::make_shared<CDone>();
            std::thread program([done, handle = self->handle, header = reinterpret_cast<MIDIHDR*>(param1)] {
                midiInAddBuffer(handle, header, sizeof(MIDIHDR));
                std::lock_guard<std::mutex> lock(done->mutex);
                done->finished = true;
                done->signal.notify_one();
            });
            {
                std::unique_lock<std::mutex> lock(done->mutex);
                self->handedBack =
                    done->signal.wait_for(lock, std::chrono::seconds(10), [&] { return done->finished; });
            }
            if (self->handedBack)
                program.join();
            else
                program.detach();
        }
    } handback;
    ASSERT_EQ(midiInOpen(&handback.handle, 0, reinterpret_cast<DWORD_PTR>(&CHandback::Callback),
                         reinterpret_cast<DWORD_PTR>(&handback), CALLBACK_FUNCTION), MMSYSERR_NOERROR);
    CBuffer buffer;
    ASSERT_EQ(midiInPrepareHeader(handback.handle, &buffer.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(midiInAddBuffer(handback.handle, &buffer.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(midiInStart(handback.handle), MMSYSERR_NOERROR);

    backend.Send("In", {0xF0, 0x01, 0xF7});
    EXPECT_TRUE(handback.handedBack);
    EXPECT_EQ(MidiHeaderFlags(&buffer.header), MHDR_PREPARED | MHDR_INQUEUE) << "queued again";

    ASSERT_EQ(midiInReset(handback.handle), MMSYSERR_NOERROR);
    ASSERT_EQ(midiInUnprepareHeader(handback.handle, &buffer.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(midiInClose(handback.handle), MMSYSERR_NOERROR);
}

TEST(MidiApi, OutputReportsLongMessagesDoneWhenTheDriverSaysSo)
{
    CVirtualClock clock;
    CVirtualMidiBackend backend;
    std::vector<std::vector<BYTE>> received;
    backend.AddOutput("Out", [&](const std::vector<BYTE>& bytes) { received.push_back(bytes); });
    backend.SetScheduler([&](DWORD delay, std::function<void()> action) { clock.After(delay, std::move(action)); });
    backend.SetDoneDelay("Out", 40);
    CScopedMidiBackend scoped(&backend);

    HMIDIOUT handle = nullptr;
    EXPECT_EQ(midiOutOpen(&handle, 0, 0, 0, CALLBACK_FUNCTION), MMSYSERR_INVALFLAG);
    ASSERT_EQ(midiOutOpen(&handle, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    char data[] = {'\xF0', '\x7E', '\xF7'};
    MIDIHDR header{};
    header.lpData = data;
    header.dwBufferLength = 3;
    EXPECT_EQ(midiOutLongMsg(handle, &header, sizeof header), MIDIERR_UNPREPARED);
    ASSERT_EQ(midiOutPrepareHeader(handle, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(midiOutLongMsg(handle, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_FALSE(MidiHeaderFlags(&header) & MHDR_DONE);
    EXPECT_EQ(midiOutUnprepareHeader(handle, &header, sizeof header), MIDIERR_STILLPLAYING);
    EXPECT_EQ(midiOutClose(handle), MIDIERR_STILLPLAYING);
    clock.Advance(40);
    EXPECT_TRUE(MidiHeaderFlags(&header) & MHDR_DONE);

    // A reset hands back what never got done; a completion after the close touches nothing.
    backend.SetNeverDone("Out", true);
    ASSERT_EQ(midiOutLongMsg(handle, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(midiOutReset(handle), MMSYSERR_NOERROR);
    EXPECT_TRUE(MidiHeaderFlags(&header) & MHDR_DONE);
    backend.SetNeverDone("Out", false);
    ASSERT_EQ(midiOutLongMsg(handle, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(midiOutReset(handle), MMSYSERR_NOERROR);
    ASSERT_EQ(midiOutUnprepareHeader(handle, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(midiOutClose(handle), MMSYSERR_NOERROR);

    // Nor does it touch the same header sent again through the next output opened, which takes
    // over what the closed one left behind.
    HMIDIOUT next = nullptr;
    ASSERT_EQ(midiOutOpen(&next, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    backend.SetNeverDone("Out", true);
    ASSERT_EQ(midiOutPrepareHeader(next, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(midiOutLongMsg(next, &header, sizeof header), MMSYSERR_NOERROR);
    clock.Advance(100);
    EXPECT_FALSE(MidiHeaderFlags(&header) & MHDR_DONE);
    EXPECT_EQ(midiOutClose(next), MIDIERR_STILLPLAYING);
    ASSERT_EQ(midiOutReset(next), MMSYSERR_NOERROR);
    EXPECT_TRUE(MidiHeaderFlags(&header) & MHDR_DONE);
    ASSERT_EQ(midiOutUnprepareHeader(next, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(midiOutClose(next), MMSYSERR_NOERROR);
    EXPECT_EQ(received.size(), 4u);
}

TEST(MidiApi, UnpluggedDevicesLeaveTheListsAndTheirHandlesDie)
{
    CVirtualMidiBackend backend;
    backend.AddOutput("Out", nullptr);
    backend.AddOutput("Other", nullptr);
    CScopedMidiBackend scoped(&backend);
    HMIDIOUT handle = nullptr;
    ASSERT_EQ(midiOutOpen(&handle, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    MIDIOUTCAPS caps;
    ASSERT_EQ(midiOutGetDevCaps(reinterpret_cast<UINT_PTR>(handle), &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "Out");
    backend.SetPresent("Out", false);
    EXPECT_EQ(midiOutGetNumDevs(), 1u);
    ASSERT_EQ(midiOutGetDevCaps(UINT_PTR{0}, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "Other");
    EXPECT_NE(midiOutGetDevCaps(reinterpret_cast<UINT_PTR>(handle), &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_NE(midiOutShortMsg(handle, 0x90), MMSYSERR_NOERROR);
    backend.SetPresent("Out", true);
    EXPECT_NE(midiOutGetDevCaps(reinterpret_cast<UINT_PTR>(handle), &caps, sizeof caps), MMSYSERR_NOERROR)
        << "a replugged device needs a new handle";
    EXPECT_EQ(midiOutClose(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutGetDevCaps(UINT_PTR{5}, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
}

TEST(MidiApi, AlsaPortNumbersAreStripped)
{
    const struct
    {
        const char* shown;
        const char* stored;
    } cases[] = {
        {"Talvarix:Talvarix MIDI 1 20:0", "Talvarix:Talvarix MIDI 1"},
        {"Midi Through:Midi Through Port-0 14:0", "Midi Through:Midi Through Port-0"},
        {"Synth:Port2:0", "Synth:Port2:0"},   // no blank before the numbers: part of the name
        {"Synth 128:10 ", "Synth 128:10 "},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripAlsaPortNumbers(c.shown), c.stored) << c.shown;
}

// Where the MIDI system cannot be reached (no ALSA sequencer, no JACK server), the backend
// lists nothing, opens nothing, and says why instead of failing.
TEST(MidiApi, RtMidiBackendWithoutAMidiSystemListsNothingAndSaysWhy)
{
    for (EMidiApi api : {EMidiApi::Alsa, EMidiApi::Jack})
    {
        SCOPED_TRACE(api == EMidiApi::Alsa ? "ALSA" : "JACK");
        if (api == EMidiApi::Jack)
            setenv("JACK_DEFAULT_SERVER", "q9-no-such-server", 1);
        std::unique_ptr<IMidiBackend> backend = CreateRtMidiBackend(api);
        const auto inputs = backend->GetInputPorts();
        const auto outputs = backend->GetOutputPorts();
        if (api == EMidiApi::Jack)
            unsetenv("JACK_DEFAULT_SERVER");
        if (backend->GetProblem().empty())
            continue;   // this machine has the MIDI system: nothing to check here
        EXPECT_TRUE(inputs.empty());
        EXPECT_TRUE(outputs.empty());
        std::unique_ptr<IMidiOutputConnection> connection;
        EXPECT_NE(backend->OpenOutput(0, connection), MMSYSERR_NOERROR);
        EXPECT_FALSE(connection);
    }
}

// A MIDI system that cannot be reached.
class CUnreachableBackend final : public IMidiBackend
{
public:
    explicit CUnreachableBackend(std::string problem) : m_problem(std::move(problem)) {}
    std::vector<CMidiPortEntry> GetInputPorts() override { return {}; }
    std::vector<CMidiPortEntry> GetOutputPorts() override { return {}; }
    MMRESULT OpenInput(UINT, IMidiInputSink*, std::unique_ptr<IMidiInputConnection>&) override
    {
        return MMSYSERR_BADDEVICEID;
    }
    MMRESULT OpenOutput(UINT, std::unique_ptr<IMidiOutputConnection>&) override { return MMSYSERR_BADDEVICEID; }
    std::string GetProblem() override { return m_problem; }

private:
    std::string m_problem;
};

std::vector<std::string> Names(const std::vector<CMidiPortEntry>& entries)
{
    std::vector<std::string> names;
    for (const CMidiPortEntry& entry : entries)
        names.push_back(entry.name);
    return names;
}

// Both systems' ports in one list, the second's labelled; a number opens the port of that system.
TEST(MidiApi, AllSystemsBackendListsAndOpensEverySystemsPorts)
{
    auto alsa = std::make_unique<CVirtualMidiBackend>();
    auto jack = std::make_unique<CVirtualMidiBackend>();
    CVirtualMidiBackend& alsaPorts = *alsa;
    CVirtualMidiBackend& jackPorts = *jack;
    alsaPorts.AddInput("Midi Through:Midi Through Port-0");
    alsaPorts.AddOutput("Midi Through:Midi Through Port-0", nullptr);
    alsaPorts.AddOutput("USB Talvarix:Talvarix MIDI 1", nullptr);
    jackPorts.AddInput("Talvarix Sim Out:MIDI Out");
    jackPorts.AddOutput("Talvarix Sim:MIDI In", nullptr);
    std::vector<CAllSystemsMidiBackend::CSystem> systems;
    systems.push_back({"", std::move(alsa)});
    systems.push_back({kJackPortLabel, std::move(jack)});
    CAllSystemsMidiBackend all(std::move(systems));

    EXPECT_EQ((std::vector<std::string>{"Midi Through:Midi Through Port-0", "JACK: Talvarix Sim Out:MIDI Out"}),
              Names(all.GetInputPorts()));
    EXPECT_EQ((std::vector<std::string>{"Midi Through:Midi Through Port-0", "USB Talvarix:Talvarix MIDI 1",
                                        "JACK: Talvarix Sim:MIDI In"}),
              Names(all.GetOutputPorts()));

    std::unique_ptr<IMidiOutputConnection> output;
    ASSERT_EQ(MMSYSERR_NOERROR, all.OpenOutput(2, output));
    EXPECT_EQ(1, jackPorts.GetOpenCount("Talvarix Sim:MIDI In"));
    EXPECT_EQ(0, alsaPorts.GetOpenCount("USB Talvarix:Talvarix MIDI 1"));
    std::unique_ptr<IMidiOutputConnection> alsaOutput;
    ASSERT_EQ(MMSYSERR_NOERROR, all.OpenOutput(1, alsaOutput));
    EXPECT_EQ(1, alsaPorts.GetOpenCount("USB Talvarix:Talvarix MIDI 1"));
    std::unique_ptr<IMidiOutputConnection> none;
    EXPECT_EQ(MMSYSERR_BADDEVICEID, all.OpenOutput(3, none));
    EXPECT_EQ(MMSYSERR_BADDEVICEID, all.OpenOutput(~0u, none));
    EXPECT_FALSE(none);
    EXPECT_EQ("", all.GetProblem());
}

// The problem is told only when no system can be reached, and then every system's reason.
TEST(MidiApi, AllSystemsBackendTellsAProblemOnlyWhenNoSystemAnswers)
{
    std::vector<CAllSystemsMidiBackend::CSystem> oneDown;
    oneDown.push_back({"", std::make_unique<CUnreachableBackend>("no ALSA sequencer")});
    oneDown.push_back({kJackPortLabel, std::make_unique<CVirtualMidiBackend>()});
    EXPECT_EQ("", CAllSystemsMidiBackend(std::move(oneDown)).GetProblem());

    std::vector<CAllSystemsMidiBackend::CSystem> bothDown;
    bothDown.push_back({"", std::make_unique<CUnreachableBackend>("no ALSA sequencer")});
    bothDown.push_back({kJackPortLabel, std::make_unique<CUnreachableBackend>("no JACK server")});
    CAllSystemsMidiBackend all(std::move(bothDown));
    EXPECT_TRUE(all.GetInputPorts().empty());
    EXPECT_EQ("no ALSA sequencer\nno JACK server", all.GetProblem());
}
}
