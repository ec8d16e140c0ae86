#pragma once
// One backend over several MIDI systems (the ALSA sequencer and JACK): their ports in one list,
// each system's after the one before, so a set-up dialog offers every port present. A system's
// port names carry its label, so the settings tell ports of different systems apart.
#include "platform/MidiBackend.h"

#include <memory>
#include <string>
#include <vector>

class CAllSystemsMidiBackend final : public IMidiBackend
{
public:
    struct CSystem
    {
        std::string label;   // put before each port name; empty: the names stay as they are
        std::unique_ptr<IMidiBackend> backend;
    };

    explicit CAllSystemsMidiBackend(std::vector<CSystem> systems);

    std::vector<CMidiPortEntry> GetInputPorts() override;
    std::vector<CMidiPortEntry> GetOutputPorts() override;
    MMRESULT OpenInput(UINT deviceId, IMidiInputSink* sink,
                       std::unique_ptr<IMidiInputConnection>& connection) override;
    MMRESULT OpenOutput(UINT deviceId, std::unique_ptr<IMidiOutputConnection>& connection) override;
    // Empty while any system can be reached; otherwise every system's reason.
    std::string GetProblem() override;

private:
    std::vector<CMidiPortEntry> List(bool isOutput);
    // The system that has the port of that combined number, and the port's number there; null
    // when no system has it.
    IMidiBackend* Find(UINT deviceId, bool isOutput, UINT& localId);

    std::vector<CSystem> m_systems;
};
