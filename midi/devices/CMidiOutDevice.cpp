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
    bool allOpen = true;
    for (CVeyMidiInDevice* device : std::vector<CVeyMidiInDevice*>(CVeyMidiInDevices::GetInstance()))
        allOpen = device->Open() && allOpen;
    for (CVeyMidiOutDevice* device : std::vector<CVeyMidiOutDevice*>(CVeyMidiOutDevices::GetInstance()))
        allOpen = device->Open() && allOpen;
    CVeyMidiSetupState::GetInstance().SetState(allOpen);

    if (bytes.empty() || !IsOpen())
        return false;
    if (bytes.front() == 0xF0)
        return SendLong(bytes);
    // A byte below 80h is no status: nothing to send.
    if (bytes.front() < 0x80)
        return false;
    return SendShort(ML::CShortMessage(bytes).Pack());
}
