#pragma once
// Ports that this program offers to other programs on the MIDI system, as an instrument or a
// patch bay does: other programs see an input and an output named after this program and connect
// to them. Used by the stand-alone simulated instrument of the tests.
#include "platform/MidiBackend.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CMidiPeerPorts
{
public:
    using FReceiver = std::function<void(const std::vector<BYTE>& bytes)>;

    // Creates the client `clientName` with the port `receivePort` (others send to it; every
    // message arrives at `receiver` on the MIDI system's thread) and the client
    // "<clientName> Out" with the port `sendPort` (others receive from it). Null with `problem` set when the MIDI system cannot be reached.
    static std::unique_ptr<CMidiPeerPorts> Create(EMidiApi api, const std::string& clientName,
                                                  const std::string& receivePort,
                                                  const std::string& sendPort, FReceiver receiver,
                                                  std::string& problem);
    ~CMidiPeerPorts();

    bool Send(const std::vector<BYTE>& bytes);

private:
    CMidiPeerPorts();
    struct Impl;
    std::unique_ptr<Impl> d;
};
