#include "midi/framework/CVeyMidiSetup.h"

#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiDeviceFactory.h"
#include "midi/framework/CVeyMidiInDevice.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiSetupState.h"
#include "toolkit/gt/Format.h"
#include "toolkit/gt/IniProfile.h"

#include <algorithm>
#include <cstdlib>

namespace
{
std::string Key(const char* name, size_t index)
{
    std::string entry;
    GT::Format(entry, "%s%d", name, static_cast<int>(index));
    std::string key;
    GT::Format(key, CVeyMidiSetup::kKeyFormat, entry.c_str());
    return key;
}

// The port a stored row belongs to: the port at the row's own index when its name matches, so
// that two ports of one name keep their rows apart; otherwise the first port of that name that
// no earlier row has taken.
template <class TList, class TPort>
TPort* MatchPort(TList& ports, size_t index, const std::string& name, std::vector<const TPort*>& matched)
{
    auto isTaken = [&](const TPort* port) { return std::find(matched.begin(), matched.end(), port) != matched.end(); };
    if (index < ports.size() && ports[index].GetName() == name && !isTaken(&ports[index]))
        return &ports[index];
    for (TPort& port : ports)
        if (port.GetName() == name && !isTaken(&port))
            return &port;
    return nullptr;
}

bool IsDataByte(int32_t value)
{
    return value >= 0 && value <= 0x7F;
}
}

CVeyMidiSetup& CVeyMidiSetup::GetInstance()
{
    static CVeyMidiSetup setup;
    return setup;
}

CVeyMidiInDevice* CVeyMidiSetup::GetInputDevice(const std::string& shownName)
{
    const std::string name = VeyMidiStripDisplayName(shownName);
    CVeyMidiInDevices& devices = CVeyMidiInDevices::GetInstance();
    if (CVeyMidiInDevice* device = devices.Find(name))
        return device;
    IVeyMidiDeviceFactory* factory = GetVeyMidiDeviceFactory();
    CVeyMidiInDevice* device = factory ? factory->CreateInputDevice(name) : nullptr;
    if (device)
        devices.push_back(device);
    return device;
}

CVeyMidiOutDevice* CVeyMidiSetup::GetOutputDevice(const std::string& shownName)
{
    const std::string name = VeyMidiStripDisplayName(shownName);
    CVeyMidiOutDevices& devices = CVeyMidiOutDevices::GetInstance();
    if (CVeyMidiOutDevice* device = devices.Find(name))
        return device;
    IVeyMidiDeviceFactory* factory = GetVeyMidiDeviceFactory();
    CVeyMidiOutDevice* device = factory ? factory->CreateOutputDevice(name) : nullptr;
    if (device)
        devices.push_back(device);
    return device;
}

void CVeyMidiSetup::AttachInput(CVeyMidiIn& port, const std::string& shownName)
{
    if (shownName == kVeyMidiNoDevice)
        return;
    if (CVeyMidiInDevice* device = GetInputDevice(shownName))
        device->AttachPort(&port);
}

void CVeyMidiSetup::AttachOutput(CVeyMidiOut& port, const std::string& shownName)
{
    if (shownName == kVeyMidiNoDevice)
        return;
    if (CVeyMidiOutDevice* device = GetOutputDevice(shownName))
        port.AttachDevice(device);
}

CVeyMidiInDevice* CVeyMidiSetup::GetDeviceOf(const CVeyMidiIn& port)
{
    for (CVeyMidiInDevice* device : CVeyMidiInDevices::GetInstance())
        if (device->Serves(&port))
            return device;
    return nullptr;
}

CVeyMidiOutDevice* CVeyMidiSetup::GetDeviceOf(const CVeyMidiOut& port)
{
    return port.GetDevices().empty() ? nullptr : port.GetDevices().front();
}

std::string CVeyMidiSetup::GetSettingName(const CVeyMidiIn& port)
{
    CVeyMidiInDevice* device = GetDeviceOf(port);
    return device ? device->GetName() : kVeyMidiNoDevice;
}

std::string CVeyMidiSetup::GetSettingName(const CVeyMidiOut& port)
{
    CVeyMidiOutDevice* device = GetDeviceOf(port);
    return device ? device->GetName() : kVeyMidiNoDevice;
}

std::string CVeyMidiSetup::GetShownName(const CVeyMidiIn& port)
{
    CVeyMidiInDevice* device = GetDeviceOf(port);
    return device ? VeyMidiDisplayName(*device) : kVeyMidiNoDevice;
}

std::string CVeyMidiSetup::GetShownName(const CVeyMidiOut& port)
{
    CVeyMidiOutDevice* device = GetDeviceOf(port);
    return device ? VeyMidiDisplayName(*device) : kVeyMidiNoDevice;
}

bool CVeyMidiSetup::IsConnected() const
{
    CVeyMidiInputs& inputs = CVeyMidiInputs::GetInstance();
    CVeyMidiOutputs& outputs = CVeyMidiOutputs::GetInstance();
    return !inputs.empty() && !outputs.empty() && GetDeviceOf(inputs[0]) && GetDeviceOf(outputs[0]);
}

bool CVeyMidiSetup::OpenAllDevices()
{
    bool allOpen = true;
    for (CVeyMidiInDevice* device : std::vector<CVeyMidiInDevice*>(CVeyMidiInDevices::GetInstance()))
        allOpen = device->Open() && allOpen;
    for (CVeyMidiOutDevice* device : std::vector<CVeyMidiOutDevice*>(CVeyMidiOutDevices::GetInstance()))
        allOpen = device->Open() && allOpen;
    return allOpen;
}

void CVeyMidiSetup::CloseAllDevices()
{
    for (CVeyMidiOut& output : CVeyMidiOutputs::GetInstance())
        output.DetachAllDevices();
    CVeyMidiInDevices::GetInstance().DeleteAll();
    CVeyMidiOutDevices::GetInstance().DeleteAll();
}

void CVeyMidiSetup::Load()
{
    CloseAllDevices();
    GT::IProfile& profile = *GT::CIniProfile::GetProfile();

    CVeyMidiInputs& inputs = CVeyMidiInputs::GetInstance();
    std::vector<const CVeyMidiIn*> matchedInputs;
    for (size_t i = 0; i < inputs.size(); ++i)
    {
        const std::string name = profile.GetString(Key("In", i), inputs[i].GetName());
        const std::string device = profile.GetString(Key("InDevice", i), kVeyMidiNoDevice);
        const int32_t deviceId = profile.GetInt(Key("InVantorMessageDeviceId", i), inputs[i].GetDeviceId());
        CVeyMidiIn* port = MatchPort<CVeyMidiInputs, CVeyMidiIn>(inputs, i, name, matchedInputs);
        if (!port)
            continue;
        matchedInputs.push_back(port);
        // Only a data byte can go out as the device ID of a message; anything else keeps the port's.
        if (IsDataByte(deviceId))
            port->SetDeviceId(static_cast<uint8_t>(deviceId));
        AttachInput(*port, device);
    }

    CVeyMidiOutputs& outputs = CVeyMidiOutputs::GetInstance();
    std::vector<const CVeyMidiOut*> matchedOutputs;
    for (size_t i = 0; i < outputs.size(); ++i)
    {
        const std::string name = profile.GetString(Key("Out", i), outputs[i].GetName());
        const std::string device = profile.GetString(Key("OutDevice", i), kVeyMidiNoDevice);
        const int32_t deviceId = profile.GetInt(Key("OutVantorMessageDeviceId", i), outputs[i].GetDeviceId());
        CVeyMidiOut* port = MatchPort<CVeyMidiOutputs, CVeyMidiOut>(outputs, i, name, matchedOutputs);
        if (!port)
            continue;
        matchedOutputs.push_back(port);
        if (IsDataByte(deviceId))
            port->SetDeviceId(static_cast<uint8_t>(deviceId));
        AttachOutput(*port, device);
    }

    CVeyMidiSetupState::GetInstance().SetStateSilently(OpenAllDevices());
}

void CVeyMidiSetup::Save()
{
    GT::IProfile& profile = *GT::CIniProfile::GetProfile();
    CVeyMidiInputs& inputs = CVeyMidiInputs::GetInstance();
    for (size_t i = 0; i < inputs.size(); ++i)
    {
        profile.SetString(Key("In", i), inputs[i].GetName());
        profile.SetString(Key("InDevice", i), GetSettingName(inputs[i]));
        profile.SetInt(Key("InVantorMessageDeviceId", i), inputs[i].GetDeviceId());
    }
    CVeyMidiOutputs& outputs = CVeyMidiOutputs::GetInstance();
    for (size_t i = 0; i < outputs.size(); ++i)
    {
        profile.SetString(Key("Out", i), outputs[i].GetName());
        profile.SetString(Key("OutDevice", i), GetSettingName(outputs[i]));
        profile.SetInt(Key("OutVantorMessageDeviceId", i), outputs[i].GetDeviceId());
    }
}

std::vector<std::string> CVeyMidiSetup::GetInputChoices(const CVeyMidiIn& port)
{
    IVeyMidiDeviceFactory* factory = GetVeyMidiDeviceFactory();
    std::vector<std::string> choices;
    if (factory)
        choices = factory->GetInputNames();
    choices.push_back(kVeyMidiNoDevice);
    const std::string shown = GetShownName(port);
    if (std::find(choices.begin(), choices.end(), shown) == choices.end())
        choices.push_back(shown);
    return choices;
}

std::vector<std::string> CVeyMidiSetup::GetOutputChoices(const CVeyMidiOut& port)
{
    IVeyMidiDeviceFactory* factory = GetVeyMidiDeviceFactory();
    std::vector<std::string> choices;
    if (factory)
        choices = factory->GetOutputNames();
    choices.push_back(kVeyMidiNoDevice);
    const std::string shown = GetShownName(port);
    if (std::find(choices.begin(), choices.end(), shown) == choices.end())
        choices.push_back(shown);
    return choices;
}

bool CVeyMidiSetup::ParseShownDeviceId(const std::string& text, int lowest, int highest, uint8_t& deviceId)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const long shown = std::strtol(text.c_str(), &end, 10);
    if (!end || *end != '\0' || shown < lowest + 1L || shown > highest + 1L || !IsDataByte(static_cast<int32_t>(shown - 1)))
        return false;
    deviceId = static_cast<uint8_t>(shown - 1);
    return true;
}
