#pragma once
// What the messages a transfer exchanged with the simulated instrument need on a MIDI cable:
// every byte the instrument received, and for each request its answer (a data set of 13 bytes
// around the data) or the identity reply; data sets written are counted for their pauses.
#include "tests/support/SimulatedInstrument.h"

#include <cstdint>

namespace Bench
{
constexpr double kMillisecondsPerByte = 10.0 / 31.25;   // 10 bits a byte at 31250 baud
constexpr double kPauseAfterDataSetMs = 20.0;

inline double WireBytes(const CSimulatedInstrument& instrument, uint32_t& dataSets)
{
    double bytes = 0;
    dataSets = 0;
    for (const auto& entry : instrument.GetReceived())
    {
        bytes += double(entry.bytes.size());
        if (entry.bytes.size() > 4 && entry.bytes[1] == 0x7E)
            bytes += 15;
        else if (entry.bytes.size() >= 15 && entry.bytes[6] == 0x11)   // a request: its size at 11-14
            bytes += 13 + double(CSimulatedInstrument::AddressNumber(entry.bytes.data() + 11, 4));
        else if (entry.bytes.size() > 6 && entry.bytes[6] == 0x12)
            ++dataSets;
    }
    return bytes;
}

// The cable time of the bytes plus the protocol's pauses.
inline double WireAndPausesMs(double bytes, uint32_t dataSets)
{
    return bytes * kMillisecondsPerByte + kPauseAfterDataSetMs * dataSets;
}
}
