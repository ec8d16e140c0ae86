// The simulated instrument as a program of its own, on the real MIDI system: it offers an input
// and an output port named after it, answers what arrives there, and runs until it is told to stop
// (SIGTERM, SIGINT) or its standard input closes.
//   q9_sim_instrument [--api jack|alsa] [--name NAME] [--memory small|librarian]
// The librarian's memory holds a regular tone, the temporary patch and all 256 user patches.
#include "platform/MidiPeerPorts.h"
#include "tests/support/SimulatedTalvarix.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>

namespace
{
volatile std::sig_atomic_t g_stop = 0;

void Stop(int)
{
    g_stop = 1;
}
}

int main(int argc, char** argv)
{
    EMidiApi api = EMidiApi::Jack;
    std::string name = "Talvarix Sim";
    bool librarian = false;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        if (std::strcmp(argv[i], "--memory") == 0)
            librarian = std::strcmp(argv[i + 1], "librarian") == 0;
        if (std::strcmp(argv[i], "--api") == 0)
            api = std::strcmp(argv[i + 1], "alsa") == 0 ? EMidiApi::Alsa : EMidiApi::Jack;
        else if (std::strcmp(argv[i], "--name") == 0)
            name = argv[i + 1];
    }
    std::signal(SIGTERM, Stop);
    std::signal(SIGINT, Stop);

    // The editor script's memory (setup, system, the temporary patch and 256 user patches), or the
    // librarian's whole area: a regular tone, the temporary patch and the 256 user patches.
    std::unique_ptr<CSimulatedInstrument> simulated;
    if (librarian)
    {
        std::vector<CSimulatedInstrument::CRange> memory = {{0x0200004, 2, 0x00}, {0x3E00000, 0x1400, 0x11}};
        for (uint32_t slot = 0; slot < 256; ++slot)
            memory.push_back({0x6000000 + slot * 0x4000, 0x1400, static_cast<BYTE>(slot & 0x7F)});
        simulated = std::make_unique<CSimulatedInstrument>(memory);
        simulated->Write(0x0200004, {0x57, 0x00});
    }
    else
        simulated = std::make_unique<CSimulatedTalvarix>();
    CSimulatedInstrument& instrument = *simulated;
    std::unique_ptr<CMidiPeerPorts> ports;
    std::string problem;
    ports = CMidiPeerPorts::Create(api, name, "MIDI In", "MIDI Out",
                                   [&instrument](const std::vector<BYTE>& bytes) { instrument.Receive(bytes); },
                                   problem);
    if (!ports)
    {
        std::fprintf(stderr, "q9_sim_instrument: %s\n", problem.c_str());
        return 1;
    }
    CMidiPeerPorts* out = ports.get();
    instrument.SetTransport([out](const std::vector<BYTE>& bytes) { out->Send(bytes); });
    std::printf("ready\n");
    std::fflush(stdout);

    // Standard input closing means the test that started us has gone.
    while (!g_stop)
    {
        fd_set read;
        FD_ZERO(&read);
        FD_SET(0, &read);
        timeval wait{0, 100000};
        const int ready = select(1, &read, nullptr, nullptr, &wait);
        if (ready > 0)
        {
            char buffer[256];
            if (::read(0, buffer, sizeof buffer) <= 0)
                break;
        }
    }
    instrument.SetTransport(nullptr);
    ports.reset();
    return 0;
}
