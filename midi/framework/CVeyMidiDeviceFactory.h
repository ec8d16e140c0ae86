#pragma once
// The device factory interface through which the MIDI setup creates device objects by name, and
// the names the setup shows for devices.
#include "midi/framework/CVeyMidiInDevice.h"

#include <cstdint>
#include <string>
#include <vector>

class IVeyMidiDeviceFactory
{
public:
    virtual ~IVeyMidiDeviceFactory() = default;
    virtual bool Open() = 0;
    virtual bool Close() = 0;
    virtual std::vector<std::string> GetInputNames() = 0;
    virtual std::vector<std::string> GetOutputNames() = 0;
    // A new device of that name, not opened; the caller puts it in its device list.
    virtual CVeyMidiInDevice* CreateInputDevice(const std::string& name) = 0;
    virtual void ReleaseInputDevice(CVeyMidiInDevice* device) = 0;
    virtual CVeyMidiOutDevice* CreateOutputDevice(const std::string& name) = 0;
    virtual void ReleaseOutputDevice(CVeyMidiOutDevice* device) = 0;
};

// The two operations a device factory offers another process besides the common ones; the
// editor's factory answers both with false.
class IMidiDeviceFactory
{
public:
    virtual ~IMidiDeviceFactory() = default;
    virtual bool ConfigureDevice(const std::string& name, int32_t value, int32_t& result) = 0;
    virtual bool QueryDevice(const std::string& name, int32_t& result) = 0;
};

// The program's device factory: the application installs it at start-up (the editor and the
// librarian install CNormalMidiDeviceFactory); null until then.
IVeyMidiDeviceFactory* GetVeyMidiDeviceFactory();
void SetVeyMidiDeviceFactory(IVeyMidiDeviceFactory* factory);

// "(none)": no device chosen.
extern const char* const kVeyMidiNoDevice;
// " (Unconnected)": suffix of a device that is chosen but not open.
extern const char* const kVeyMidiUnconnected;

// The device's name, with " (Unconnected)" when it is not open.
std::string VeyMidiDisplayName(CVeyMidiDevice& device);
// A shown name without its " (Unconnected)" suffix.
std::string VeyMidiStripDisplayName(const std::string& shown);
