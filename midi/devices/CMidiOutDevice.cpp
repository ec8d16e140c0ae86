#include "midi/devices/CMidiOutDevice.h"

#include "midi/framework/CVeyMidiInDevice.h"
#include "midi/framework/CVeyMidiSetupState.h"
#include "midi/ml/CShortMessage.h"

CMidiOutDevice::CMidiOutDevice(const std::string& name) : CVeyMidiOutDevice(name)
{
}

CMidiOutDevice::~CMidiOutDevice()
{
    ML::COut::Close();
}

bool CMidiOutDevice::Open()
{
    if (IsOpen())
        return true;
    ML::COut::Close();
    return ML::COut::Open(GetName());
}

bool CMidiOutDevice::IsOpen()
{
    return ML::COut::IsOpen();
}

bool CMidiOutDevice::Send(const std::vector<uint8_t>& bytes)
{
    // Every send opens again what has closed (a device unplugged and back). Indexed, as opening
    // may change the lists; this device's own answer is kept rather than asked for twice.
    bool allOpen = true;
    int selfOpen = -1;
    const CVeyMidiInDevices& inputs = CVeyMidiInDevices::GetInstance();
    for (size_t i = 0; i < inputs.size(); ++i)
        allOpen = inputs[i]->Open() && allOpen;
    const CVeyMidiOutDevices& outputs = CVeyMidiOutDevices::GetInstance();
    for (size_t i = 0; i < outputs.size(); ++i)
    {
        CVeyMidiOutDevice* device = outputs[i];
        const bool open = device->Open();
        if (device == this)
            selfOpen = open ? 1 : 0;
        allOpen = open && allOpen;
    }
    CVeyMidiSetupState::GetInstance().SetState(allOpen);

    if (bytes.empty() || !(selfOpen < 0 ? IsOpen() : selfOpen == 1))
        return false;
    if (bytes.front() == 0xF0)
        return SendLong(bytes);
    // A byte below 80h is no status: nothing to send.
    if (bytes.front() < 0x80)
        return false;
    return SendShort(ML::CShortMessage(bytes).Pack());
}
