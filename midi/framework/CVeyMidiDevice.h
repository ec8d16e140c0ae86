#pragma once
// A MIDI device object stands for one MIDI port of the computer, known by its name. The script's
// MIDI ports hand their messages to output devices; the devices helper supplies the real ones.
#include <cstdint>
#include <string>
#include <vector>

class CVeyMidiDevice
{
public:
    explicit CVeyMidiDevice(const std::string& name = std::string()) : m_name(name) {}
    virtual ~CVeyMidiDevice() = default;
    CVeyMidiDevice(const CVeyMidiDevice&) = delete;
    CVeyMidiDevice& operator=(const CVeyMidiDevice&) = delete;

    const std::string& GetName() const { return m_name; }

    virtual bool Open() { return true; }
    virtual bool IsOpen() { return true; }

private:
    std::string m_name;
};

class CVeyMidiOutDevice : public CVeyMidiDevice
{
public:
    using CVeyMidiDevice::CVeyMidiDevice;

    // Sends one whole message given as its bytes: a system-exclusive message F0 ... F7, or a short
    // message of one to three bytes. True only when the device is open and took the message, so
    // that a write to an unplugged instrument is not reported as done.
    virtual bool Send(const std::vector<uint8_t>& bytes) = 0;
};
