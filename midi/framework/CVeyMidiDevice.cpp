#include "midi/framework/CVeyMidiDevice.h"

#include "midi/framework/CVeyMidi.h"

#include <algorithm>

void CVeyMidiInDevice::AttachPort(CVeyMidiIn* port)
{
    if (port && !Serves(port))
        m_ports.push_back(port);
}

void CVeyMidiInDevice::DetachPort(CVeyMidiIn* port)
{
    m_ports.erase(std::remove(m_ports.begin(), m_ports.end(), port), m_ports.end());
}

bool CVeyMidiInDevice::Serves(const CVeyMidiIn* port) const
{
    return std::find(m_ports.begin(), m_ports.end(), port) != m_ports.end();
}

void CVeyMidiInDevice::Deliver(const std::vector<uint8_t>& bytes)
{
    // Copied first: a port's receive path may run a pump that changes the list.
    const std::vector<CVeyMidiIn*> ports = m_ports;
    for (CVeyMidiIn* port : ports)
        port->OnMessage(bytes);
}
