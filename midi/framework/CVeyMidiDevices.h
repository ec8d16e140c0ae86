#pragma once
// The process-wide lists of MIDI device objects. They own their devices: DeleteAll and the
// destructors at exit delete every device.
#include "midi/framework/CVeyMidiDevice.h"

#include <string>
#include <vector>

template <class TDevice>
class CVeyMidiDeviceList : public std::vector<TDevice*>
{
public:
    CVeyMidiDeviceList() = default;
    CVeyMidiDeviceList(const CVeyMidiDeviceList&) = delete;
    CVeyMidiDeviceList& operator=(const CVeyMidiDeviceList&) = delete;
    virtual ~CVeyMidiDeviceList() { DeleteAll(); }

    // The first device whose name equals `name` exactly, or null.
    TDevice* Find(const std::string& name) const
    {
        for (TDevice* device : *this)
        {
            if (device && device->GetName() == name)
                return device;
        }
        return nullptr;
    }

    void DeleteAll()
    {
        std::vector<TDevice*> devices;
        devices.swap(*this);
        for (TDevice* device : devices)
            delete device;
    }
};

class CVeyMidiInDevices : public CVeyMidiDeviceList<CVeyMidiInDevice>
{
public:
    static CVeyMidiInDevices& GetInstance();
};

class CVeyMidiOutDevices : public CVeyMidiDeviceList<CVeyMidiOutDevice>
{
public:
    static CVeyMidiOutDevices& GetInstance();
};
