#pragma once
// The editor's instrument layer wired as the application wires it, on the bundled script, with
// the simulated Talvarix behind the virtual MIDI backend in virtual time: the script's first input
// and output have devices of that backend, and the instrument plays user patch 6.
#include "platform/VirtualMidiBackend.h"
#include "tests/editor/resources/BundledScript.h"
#include "tests/support/SimulatedTalvarix.h"
#include "tests/support/VirtualClock.h"

#include <memory>
#include <string>
#include <vector>

class CBufferAccessor;

// Sets the value at `path` as a control does: through the handlers, sent, its views refreshed and
// the change list cleared.
void CommitValue(const std::string& path, int32_t number);

class CInstrumentRig
{
public:
    // fm.setup.kbdPatchBankSelectMsb: 01 00 00 04
    static constexpr uint32_t kMsbAddress = (1 << 21) | 4;

    CInstrumentRig();
    ~CInstrumentRig();
    CInstrumentRig(const CInstrumentRig&) = delete;
    CInstrumentRig& operator=(const CInstrumentRig&) = delete;

    // Reads the script, opens the devices and sets the layer up; false when a step failed (the
    // trace output says why).
    bool SetUp(const std::string& viewStatePath);
    // Devices and script gone, as at the program's end.
    void TearDown();

    // Every block of the setup, the system and the temporary patch, one after another: as the
    // editor holds them, and as the instrument holds them at the same addresses.
    std::vector<BYTE> EditorImage() const;
    std::vector<BYTE> InstrumentImage() const;

    CVirtualClock clock{1000};
    CVirtualMidiBackend backend;
    CScopedMidiBackend scoped{&backend};
    CSimulatedTalvarix instrument;
    std::unique_ptr<CBundledScript> script = std::make_unique<CBundledScript>();
    CBufferAccessor& accessor;
};
