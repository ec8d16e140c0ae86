#pragma once
// The process-wide lists of the script's MIDI ports, in script order. Each list is sized once,
// before any pointer to a port is handed out, and never resized while it holds ports: root
// structs, devices and the application keep plain pointers to them.
#include "midi/framework/CVeyMidi.h"

#include <string>
#include <vector>

template <class TPort>
class CVeyMidiPortList
{
public:
    CVeyMidiPortList() = default;
    CVeyMidiPortList(const CVeyMidiPortList&) = delete;
    CVeyMidiPortList& operator=(const CVeyMidiPortList&) = delete;

    // `count` default ports; refused (false) while the list holds ports.
    bool Create(size_t count)
    {
        if (!m_ports.empty())
            return false;
        m_ports.resize(count);
        return true;
    }
    void Destroy() { m_ports.clear(); }

    // The port whose name equals `name` exactly, or null.
    TPort* Find(const std::string& name)
    {
        for (TPort& port : m_ports)
        {
            if (port.GetName() == name)
                return &port;
        }
        return nullptr;
    }
    bool Contains(const TPort* port) const
    {
        return !m_ports.empty() && port >= m_ports.data() && port < m_ports.data() + m_ports.size();
    }

    size_t size() const { return m_ports.size(); }
    bool empty() const { return m_ports.empty(); }
    TPort& operator[](size_t index) { return m_ports[index]; }
    const TPort& operator[](size_t index) const { return m_ports[index]; }
    typename std::vector<TPort>::iterator begin() { return m_ports.begin(); }
    typename std::vector<TPort>::iterator end() { return m_ports.end(); }

private:
    std::vector<TPort> m_ports;
};

class CVeyMidiInputs : public CVeyMidiPortList<CVeyMidiIn>
{
public:
    static CVeyMidiInputs& GetInstance();
};

class CVeyMidiOutputs : public CVeyMidiPortList<CVeyMidiOut>
{
public:
    static CVeyMidiOutputs& GetInstance();
};
