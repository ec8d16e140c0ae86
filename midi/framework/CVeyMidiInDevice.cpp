#include "midi/framework/CVeyMidiInDevice.h"

#include <algorithm>

void CVeyMidiInDevice::AttachPort(IVeyMidiInPort* port)
{
    if (port && !Serves(port))
        m_ports.push_back(port);
}

bool CVeyMidiInDevice::Serves(const IVeyMidiInPort* port) const
{
    return std::find(m_ports.begin(), m_ports.end(), port) != m_ports.end();
}

void CVeyMidiInDevice::Deliver(const std::vector<uint8_t>& bytes)
{
    // A copy: a port's handler may attach ports or start a nested wait.
    const std::vector<IVeyMidiInPort*> ports = m_ports;
    for (IVeyMidiInPort* port : ports)
        port->OnMessage(bytes);
}

CVeyMidiInDevices& CVeyMidiInDevices::GetInstance()
{
    static CVeyMidiInDevices devices;
    return devices;
}

CVeyMidiInDevices::~CVeyMidiInDevices()
{
    DeleteAll();
}

CVeyMidiInDevice* CVeyMidiInDevices::Find(const std::string& name) const
{
    for (CVeyMidiInDevice* device : *this)
        if (device->GetName() == name)
            return device;
    return nullptr;
}

CVeyMidiInDevice* CVeyMidiInDevices::FindServing(const IVeyMidiInPort* port) const
{
    for (CVeyMidiInDevice* device : *this)
        if (device->Serves(port))
            return device;
    return nullptr;
}

void CVeyMidiInDevices::DeleteAll()
{
    std::vector<CVeyMidiInDevice*> devices;
    devices.swap(*this);
    for (CVeyMidiInDevice* device : devices)
        delete device;
}

CVeyMidiOutDevices& CVeyMidiOutDevices::GetInstance()
{
    static CVeyMidiOutDevices devices;
    return devices;
}

CVeyMidiOutDevices::~CVeyMidiOutDevices()
{
    DeleteAll();
}

CVeyMidiOutDevice* CVeyMidiOutDevices::Find(const std::string& name) const
{
    for (CVeyMidiOutDevice* device : *this)
        if (device->GetName() == name)
            return device;
    return nullptr;
}

void CVeyMidiOutDevices::DeleteAll()
{
    std::vector<CVeyMidiOutDevice*> devices;
    devices.swap(*this);
    for (CVeyMidiOutDevice* device : devices)
        delete device;
}
