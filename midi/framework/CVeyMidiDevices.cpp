#include "midi/framework/CVeyMidiDevices.h"

CVeyMidiInDevices& CVeyMidiInDevices::GetInstance()
{
    static CVeyMidiInDevices devices;
    return devices;
}

CVeyMidiOutDevices& CVeyMidiOutDevices::GetInstance()
{
    static CVeyMidiOutDevices devices;
    return devices;
}
