#pragma once
// Turns the script's "midiIn" and "midiOut" definitions into the ports of CVeyMidiInputs and
// CVeyMidiOutputs, and tears them down again at shut-down.
#include "midi/ml/CMessage.h"

#include <string>

class CVeyMidiManager
{
public:
    static CVeyMidiManager& GetInstance();

    // Builds, reads and resolves every port, outputs read before inputs are resolved so that an
    // input's thru output may name any output. False after one diagnostic line; ports built up to
    // that point stay in the lists.
    bool CreatePorts();
    // Without a script: `inputCount` inputs and `outputCount` outputs, each named `name` with
    // `modelId` (the librarian's ports). False when ports exist already.
    bool CreatePorts(size_t inputCount, size_t outputCount, const std::string& name, const ML::Bytes& modelId);
    // Empties both definition lists and both port lists (unbinding the structs the outputs
    // served) and deletes every input and output device.
    void DestroyPorts();

    // Registers CreatePorts and DestroyPorts as the MIDI manager's step of VeyCreateManagers and
    // VeyDestroyManagers, and the creator of the script's MIDI structs.
    static void RegisterManagerStep();
};
