// The simulated instrument as a program of its own, on the real MIDI system: it offers an input
// and an output port named after it, answers what arrives there, and runs until it is told to stop
// (SIGTERM, SIGINT, "quit") or its standard input closes. Commands on standard input let a tester
// look at its memory; run it with --help for the details.
#include "platform/MidiPeerPorts.h"
#include "tests/support/SimulatedTalvarix.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace
{
volatile std::sig_atomic_t g_stop = 0;

void Stop(int)
{
    g_stop = 1;
}

const char* const kUsage =
    "Usage: q9_sim_instrument [--api alsa|jack] [--name NAME] [--memory editor|librarian]\n"
    "\n"
    "A simulated Talvarix on the real MIDI system. It offers the ports \"MIDI In\" and \"MIDI Out\"\n"
    "of a client called NAME (default \"Talvarix Sim\"), answers the Identity Request and data\n"
    "requests from its memory, and stores the data sets it receives. It prints \"ready\" once its\n"
    "ports exist.\n"
    "\n"
    "  --api alsa|jack    the MIDI system (default jack; a JACK server must run)\n"
    "  --name NAME        the client's name, as the programs' MIDI set-up dialogs list it\n"
    "  --memory editor    the editor's memory map: setup, system, the temporary patch at\n"
    "                     1F 00 00 00 and 256 user patches from 30 00 00 00 (the default)\n"
    "  --memory librarian a regular tone selected at 01 00 00 04, the temporary patch at\n"
    "                     1F 00 00 00 and 256 user patches from 30 00 00 00, filled with\n"
    "                     the slot number\n"
    "  --help             this text\n"
    "\n"
    "Commands on standard input, one a line:\n"
    "  dump AA BB CC DD COUNT   prints COUNT bytes (decimal, at most 65536) from the address\n"
    "                           given as four hexadecimal bytes, as on the wire, 16 a line;\n"
    "                           \"--\" marks an address outside the memory\n"
    "  set AA BB CC DD XX...    stores the bytes XX (hexadecimal, 00 to 7F) from that address,\n"
    "                           as if the instrument's own panel had changed them; prints \"ok\"\n"
    "  quit                     ends the program\n";

bool ParseHexByte(const std::string& text, uint32_t& value)
{
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    value = static_cast<uint32_t>(std::stoul(text, nullptr, 16));
    return value <= 0x7F;
}

// The address at the start of a command: four hexadecimal bytes, as on the wire.
bool ParseAddress(std::istringstream& words, uint32_t& address)
{
    std::string part;
    address = 0;
    for (int i = 0; i < 4; ++i)
    {
        uint32_t digit = 0;
        if (!(words >> part) || !ParseHexByte(part, digit))
        {
            std::printf("error: the address is four hexadecimal bytes of 00 to 7F\n");
            return false;
        }
        address = (address << 7) | digit;
    }
    return true;
}

// "dump AA BB CC DD COUNT": the memory from that address, as the instrument holds it now.
void Dump(const CSimulatedInstrument& instrument, std::istringstream& words)
{
    uint32_t address = 0;
    if (!ParseAddress(words, address))
        return;
    std::string countText;
    if (!(words >> countText) || countText.find_first_not_of("0123456789") != std::string::npos ||
        countText.size() > 6 || std::stoul(countText) == 0 || std::stoul(countText) > 65536)
    {
        std::printf("error: the count is a number of bytes from 1 to 65536\n");
        return;
    }
    const uint32_t count = static_cast<uint32_t>(std::stoul(countText));
    for (uint32_t offset = 0; offset < count; offset += 16)
    {
        const uint32_t line = address + offset;
        const std::vector<BYTE> wire = CSimulatedInstrument::AddressBytes(line, 4);
        std::printf("%02X %02X %02X %02X:", wire[0], wire[1], wire[2], wire[3]);
        for (uint32_t i = offset; i < count && i < offset + 16; ++i)
        {
            std::vector<BYTE> byte;
            if (instrument.Read(address + i, 1, byte))
                std::printf(" %02X", byte[0]);
            else
                std::printf(" --");
        }
        std::printf("\n");
    }
}

// "set AA BB CC DD XX...": changes the memory behind the programs' back, all or nothing.
void Set(CSimulatedInstrument& instrument, std::istringstream& words)
{
    uint32_t address = 0;
    if (!ParseAddress(words, address))
        return;
    std::vector<BYTE> bytes;
    for (std::string part; words >> part;)
    {
        uint32_t value = 0;
        if (!ParseHexByte(part, value) || bytes.size() >= 65536)
        {
            std::printf("error: the data are hexadecimal bytes of 00 to 7F\n");
            return;
        }
        bytes.push_back(static_cast<BYTE>(value));
    }
    if (bytes.empty())
        std::printf("error: no bytes to store\n");
    else if (!instrument.Write(address, bytes))
        std::printf("error: the bytes do not lie inside the memory\n");
    else
        std::printf("ok\n");
}

// Runs the commands in `line`; false for "quit".
bool RunCommand(CSimulatedInstrument& instrument, const std::string& line)
{
    std::istringstream words(line);
    std::string command;
    if (!(words >> command))
        return true;
    if (command == "quit")
        return false;
    if (command == "dump")
        Dump(instrument, words);
    else if (command == "set")
        Set(instrument, words);
    else
        std::printf("error: unknown command \"%s\" (dump, set, quit)\n", command.c_str());
    std::fflush(stdout);
    return true;
}

std::unique_ptr<CSimulatedInstrument> MakeInstrument(bool librarian)
{
    if (!librarian)
        return std::make_unique<CSimulatedTalvarix>();
    // A regular tone, the temporary patch and the 256 user patches.
    std::vector<CSimulatedInstrument::CRange> memory = {{0x0200004, 2, 0x00}, {0x3E00000, 0x1400, 0x11}};
    for (uint32_t slot = 0; slot < 256; ++slot)
        memory.push_back({0x6000000 + slot * 0x4000, 0x1400, static_cast<BYTE>(slot & 0x7F)});
    auto instrument = std::make_unique<CSimulatedInstrument>(memory);
    instrument->Write(0x0200004, {0x57, 0x00});
    return instrument;
}
}

int main(int argc, char** argv)
{
    EMidiApi api = EMidiApi::Jack;
    std::string name = "Talvarix Sim";
    bool librarian = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h")
        {
            std::fputs(kUsage, stdout);
            return 0;
        }
        const bool known = option == "--api" || option == "--name" || option == "--memory";
        if (!known || i + 1 >= argc)
        {
            std::fprintf(stderr, "q9_sim_instrument: %s \"%s\"\n\n%s", known ? "a value is missing after" : "unknown option",
                         option.c_str(), kUsage);
            return 2;
        }
        const std::string value = argv[++i];
        bool valid = true;
        if (option == "--api")
        {
            valid = value == "alsa" || value == "jack";
            api = value == "alsa" ? EMidiApi::Alsa : EMidiApi::Jack;
        }
        else if (option == "--memory")
        {
            // "small" is the editor's map under its former name.
            valid = value == "editor" || value == "small" || value == "librarian";
            librarian = value == "librarian";
        }
        else
        {
            valid = !value.empty();
            name = value;
        }
        if (!valid)
        {
            std::fprintf(stderr, "q9_sim_instrument: \"%s\" is not a value for %s\n\n%s", value.c_str(), option.c_str(),
                         kUsage);
            return 2;
        }
    }
    std::signal(SIGTERM, Stop);
    std::signal(SIGINT, Stop);

    std::unique_ptr<CSimulatedInstrument> simulated = MakeInstrument(librarian);
    CSimulatedInstrument& instrument = *simulated;
    std::string problem;
    std::unique_ptr<CMidiPeerPorts> ports = CMidiPeerPorts::Create(
        api, name, "MIDI In", "MIDI Out", [&instrument](const std::vector<BYTE>& bytes) { instrument.Receive(bytes); },
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

    // Standard input closing means the test (or the tester) that started us has gone.
    std::string pending;
    while (!g_stop)
    {
        fd_set read;
        FD_ZERO(&read);
        FD_SET(0, &read);
        timeval wait{0, 100000};
        const int ready = select(1, &read, nullptr, nullptr, &wait);
        if (ready <= 0)
            continue;
        char buffer[256];
        const ssize_t got = ::read(0, buffer, sizeof buffer);
        if (got <= 0)
            break;
        pending.append(buffer, static_cast<size_t>(got));
        // A line longer than any command is dropped rather than kept growing.
        if (pending.size() > 4096 && pending.find('\n') == std::string::npos)
            pending.clear();
        for (size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n'))
        {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!RunCommand(instrument, line))
                g_stop = 1;
        }
    }
    instrument.SetTransport(nullptr);
    ports.reset();
    return 0;
}
