#pragma once
// What a MIDI system has to offer the multimedia MIDI functions of MidiApi.h: lists of ports and
// connections to them. Two implementations: RtMidi (ALSA sequencer or JACK) and the virtual
// backend of VirtualMidiBackend.h. The buffers, flags and callbacks of the MIDI functions are
// kept above this interface, so both backends behave alike there.
#include "platform/MidiApi.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct CMidiPortEntry
{
    std::string name;
    bool capsReadable = true;   // false: the port is counted but its name cannot be read
};

// Receives what arrives on an open input; called on the backend's thread, one call at a time,
// in arrival order.
class IMidiInputSink
{
public:
    virtual ~IMidiInputSink() = default;
    virtual void OnShortMessage(DWORD packed) = 0;
    // One whole system-exclusive message, F0 to F7; the bytes are valid during the call only.
    virtual void OnSysex(const BYTE* data, size_t size) = 0;
};

class IMidiInputConnection
{
public:
    // Closes the connection; once it returns the sink is never called again.
    virtual ~IMidiInputConnection() = default;
    // False once the port has gone (unplugged, its program ended).
    virtual bool IsPresent() = 0;
};

class IMidiOutputConnection
{
public:
    virtual ~IMidiOutputConnection() = default;
    virtual bool IsPresent() = 0;
    virtual bool SendShort(DWORD packed) = 0;
    // Hands a long message over. `done` runs once it has left: before the return, later on any
    // thread, or never (a stuck driver). False when the message was refused; `done` then never runs.
    virtual bool SendLong(const BYTE* data, size_t size, std::function<void()> done) = 0;
    // Drops what has not left yet.
    virtual void Reset() = 0;
};

class IMidiBackend
{
public:
    virtual ~IMidiBackend() = default;
    // Ports in device-number order.
    virtual std::vector<CMidiPortEntry> GetInputPorts() = 0;
    virtual std::vector<CMidiPortEntry> GetOutputPorts() = 0;
    // Opens the port with that device number; on success `connection` is set.
    virtual MMRESULT OpenInput(UINT deviceId, IMidiInputSink* sink,
                               std::unique_ptr<IMidiInputConnection>& connection) = 0;
    virtual MMRESULT OpenOutput(UINT deviceId, std::unique_ptr<IMidiOutputConnection>& connection) = 0;
    // Why the backend has no ports, when it cannot reach its MIDI system; empty otherwise.
    virtual std::string GetProblem() = 0;
};

// Installs a backend for the whole process and returns the one it replaces (null for the
// default). Null restores the default: every MIDI system present (CreateAllSystemsMidiBackend),
// or only the one the environment variable Q9_MIDI_API names ("alsa" or "jack"), with its ports'
// own names. The caller keeps ownership and restores the previous backend, with no MIDI handle
// open, before destroying its own.
IMidiBackend* SetMidiBackend(IMidiBackend* backend);
IMidiBackend& GetMidiBackend();

enum class EMidiApi
{
    Alsa,
    Jack
};

// A backend over RtMidi with the given API; each call makes a new one, owned by the caller.
// `clientName` names this program's clients; ports of clients with that name are not listed, so
// the program never sees its own ports.
std::unique_ptr<IMidiBackend> CreateRtMidiBackend(EMidiApi api, const std::string& clientName = "Q9 MIDI");

// The ports of the ALSA sequencer and of JACK, when a server runs, in one list: the ALSA ports
// under their names, then the JACK ports with kJackPortLabel before theirs.
constexpr const char* kJackPortLabel = "JACK: ";
std::unique_ptr<IMidiBackend> CreateAllSystemsMidiBackend(const std::string& clientName);

// The name this program's MIDI clients carry, so a patchbay tells the programs apart: the
// application's name ("Talvarix Editor"), "Q9 MIDI" without an application object.
std::string GetMidiClientName();

// Strips the trailing " client:port" numbers that ALSA adds to a port name; they change when a
// device is plugged in again, and the settings keep names.
std::string StripAlsaPortNumbers(const std::string& name);
