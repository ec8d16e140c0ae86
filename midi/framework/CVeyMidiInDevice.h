#pragma once
// Input devices and the process-wide device lists. An input device hands every message it
// receives, on the GUI thread, to the script ports it serves; the lists own the devices, which
// the MIDI setup creates by name through the device factory (CVeyMidiDeviceFactory.h).
#include "midi/framework/CVeyMidiDevice.h"

#include <string>
#include <vector>

// What an input device delivers to: the script's MIDI inputs.
class IVeyMidiInPort
{
public:
    virtual ~IVeyMidiInPort() = default;
    // One whole message, on the GUI thread.
    virtual void OnMessage(const std::vector<uint8_t>& bytes) = 0;
};

class CVeyMidiInDevice : public CVeyMidiDevice
{
public:
    using CVeyMidiDevice::CVeyMidiDevice;

    // Adds a port once; ports are served in the order they were attached.
    void AttachPort(IVeyMidiInPort* port);
    bool Serves(const IVeyMidiInPort* port) const;
    const std::vector<IVeyMidiInPort*>& GetPorts() const { return m_ports; }

    // OnMessage of every served port, in list order.
    void Deliver(const std::vector<uint8_t>& bytes);

    // Delivers what has been received so far; called while a caller waits for an answer.
    virtual void Poll() = 0;
    // As Poll, and when nothing had come, waits up to `longestWait` ms for the next message so the
    // caller's wait need not poll. A device that cannot wait just polls.
    virtual void PollAndWait(uint32_t /*longestWait*/) { Poll(); }

private:
    std::vector<IVeyMidiInPort*> m_ports;
};

// The owning device lists, made on first use and destroyed at exit.
class CVeyMidiInDevices : public std::vector<CVeyMidiInDevice*>
{
public:
    static CVeyMidiInDevices& GetInstance();
    virtual ~CVeyMidiInDevices();
    CVeyMidiInDevice* Find(const std::string& name) const;
    // The first device serving `port`, or null.
    CVeyMidiInDevice* FindServing(const IVeyMidiInPort* port) const;
    void DeleteAll();
};

class CVeyMidiOutDevices : public std::vector<CVeyMidiOutDevice*>
{
public:
    static CVeyMidiOutDevices& GetInstance();
    virtual ~CVeyMidiOutDevices();
    CVeyMidiOutDevice* Find(const std::string& name) const;
    void DeleteAll();
};
