#include "midi/devices/CNormalMidiDeviceFactory.h"

#include "midi/devices/CMidiInDevice.h"
#include "midi/devices/CMidiOutDevice.h"
#include "platform/MidiBackend.h"
#include "toolkit/gt/TraceTextOut.h"

CNormalMidiDeviceFactory& CNormalMidiDeviceFactory::GetInstance()
{
    static CNormalMidiDeviceFactory factory;
    return factory;
}

bool CNormalMidiDeviceFactory::Open()
{
    GetMidiBackend().GetInputPorts();
    const std::string problem = GetMidiBackend().GetProblem();
    if (!problem.empty())
        GetTraceTextOut().Printf("%s\n", problem.c_str());
    return true;
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
