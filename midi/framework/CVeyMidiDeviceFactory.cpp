#include "midi/framework/CVeyMidiDeviceFactory.h"

namespace
{
IVeyMidiDeviceFactory* g_factory = nullptr;
}

IVeyMidiDeviceFactory* GetVeyMidiDeviceFactory()
{
    return g_factory;
}

void SetVeyMidiDeviceFactory(IVeyMidiDeviceFactory* factory)
{
    g_factory = factory;
}

const char* const kVeyMidiNoDevice = "(none)";
const char* const kVeyMidiUnconnected = " (Unconnected)";

std::string VeyMidiDisplayName(CVeyMidiDevice& device)
{
    if (device.IsOpen())
        return device.GetName();
    return VeyMidiStripDisplayName(device.GetName()) + kVeyMidiUnconnected;
}

std::string VeyMidiStripDisplayName(const std::string& shown)
{
    const std::string suffix = kVeyMidiUnconnected;
    if (shown.size() >= suffix.size() && shown.compare(shown.size() - suffix.size(), suffix.size(), suffix) == 0)
        return shown.substr(0, shown.size() - suffix.size());
    return shown;
}
