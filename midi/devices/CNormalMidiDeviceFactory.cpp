#include "midi/devices/CNormalMidiDeviceFactory.h"

#include "midi/devices/CMidiInDevice.h"
#include "midi/devices/CMidiOutDevice.h"

CNormalMidiDeviceFactory& CNormalMidiDeviceFactory::GetInstance()
{
    static CNormalMidiDeviceFactory factory;
    return factory;
}

std::vector<std::string> CNormalMidiDeviceFactory::GetInputNames()
{
    return ML::CMMIn::GetInputNames();
}

std::vector<std::string> CNormalMidiDeviceFactory::GetOutputNames()
{
    return ML::CMMOut::GetOutputNames();
}

CVeyMidiInDevice* CNormalMidiDeviceFactory::CreateInputDevice(const std::string& name)
{
    return new CMidiInDevice(name);
}

CVeyMidiOutDevice* CNormalMidiDeviceFactory::CreateOutputDevice(const std::string& name)
{
    return new CMidiOutDevice(name);
}
