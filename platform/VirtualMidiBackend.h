#pragma once
// An in-process MIDI system for tests and headless runs. Its ports are named endpoints whose far
// side is a program object: what the program sends on an output endpoint is handed to that
// endpoint's receiver, and what the far side sends on an input endpoint arrives at every open
// connection to it. Each endpoint can be unplugged and plugged in again, made to refuse the next
// opens, hide its name, delay its deliveries or never report a long message done.
#include "platform/MidiBackend.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CVirtualMidiBackend final : public IMidiBackend
{
public:
    using FReceiver = std::function<void(const std::vector<BYTE>& bytes)>;
    // Runs an action after a delay in milliseconds (tests pass the virtual clock's After).
    using FScheduler = std::function<void(DWORD delay, std::function<void()> action)>;

    CVirtualMidiBackend();
    ~CVirtualMidiBackend() override;

    // An output of the program; `receiver` gets every message sent to it, on the sending thread.
    void AddOutput(const std::string& name, FReceiver receiver);
    // An input of the program, fed through Send.
    void AddInput(const std::string& name);

    // The far side sends `bytes` on the input endpoint `name`: a system-exclusive message whole,
    // anything else as one short message of up to three bytes. False when the endpoint is absent.
    bool Send(const std::string& name, const std::vector<BYTE>& bytes);

    // Unplugging makes every connection to the endpoints of that name dead for good; plugging
    // in again lists them again, for new connections.
    void SetPresent(const std::string& name, bool present);
    // The next `count` opens of endpoints of that name fail with MMSYSERR_ALLOCATED.
    void FailNextOpens(const std::string& name, int count);
    void SetCapsReadable(const std::string& name, bool readable);
    // Long messages sent to the output `name` are done after `delay` ms (needs a scheduler), or never.
    void SetDoneDelay(const std::string& name, DWORD delay);
    void SetNeverDone(const std::string& name, bool never);
    // Long messages are done once their bytes have had their time on a 3125-byte-per-second
    // wire, as with a hardware port (needs a scheduler).
    void SetDoneAtWireRate(const std::string& name, bool atWireRate);
    // Messages sent on the input `name` arrive after `delay` ms (needs a scheduler).
    void SetDeliveryDelay(const std::string& name, DWORD delay);
    void SetScheduler(FScheduler scheduler);

    // Number of open connections to endpoints of that name (both directions).
    int GetOpenCount(const std::string& name) const;

    std::vector<CMidiPortEntry> GetInputPorts() override;
    std::vector<CMidiPortEntry> GetOutputPorts() override;
    MMRESULT OpenInput(UINT deviceId, IMidiInputSink* sink,
                       std::unique_ptr<IMidiInputConnection>& connection) override;
    MMRESULT OpenOutput(UINT deviceId, std::unique_ptr<IMidiOutputConnection>& connection) override;
    std::string GetProblem() override;

    struct Impl;

private:
    std::shared_ptr<Impl> d;
};

// Installs a backend for the lifetime of the object and restores the previous one afterwards.
class CScopedMidiBackend
{
public:
    explicit CScopedMidiBackend(IMidiBackend* backend) : m_previous(SetMidiBackend(backend)) {}
    ~CScopedMidiBackend() { SetMidiBackend(m_previous); }
    CScopedMidiBackend(const CScopedMidiBackend&) = delete;
    CScopedMidiBackend& operator=(const CScopedMidiBackend&) = delete;

private:
    IMidiBackend* m_previous;
};
