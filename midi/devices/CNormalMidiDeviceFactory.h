#pragma once
// Creates the program's MIDI device objects by device name.
#include "midi/framework/CVeyMidiInDevice.h"
#include "midi/framework/CVeyMidiDeviceFactory.h"

#include <cstdint>

class CNormalMidiDeviceFactory : public IMidiDeviceFactory, public IVeyMidiDeviceFactory
{
public:
    static CNormalMidiDeviceFactory& GetInstance();

    // Says in the diagnostic output why no devices can be listed, when the MIDI system cannot be
    // reached; the program goes on without MIDI devices.
    bool Open() override;
    bool Close() override { return true; }
    std::vector<std::string> GetInputNames() override;
    std::vector<std::string> GetOutputNames() override;
    CVeyMidiInDevice* CreateInputDevice(const std::string& name) override;
    void ReleaseInputDevice(CVeyMidiInDevice*) override {}
    CVeyMidiOutDevice* CreateOutputDevice(const std::string& name) override;
    void ReleaseOutputDevice(CVeyMidiOutDevice*) override {}

    bool ConfigureDevice(const std::string&, int32_t, int32_t&) override { return false; }
    bool QueryDevice(const std::string&, int32_t&) override { return false; }
};
