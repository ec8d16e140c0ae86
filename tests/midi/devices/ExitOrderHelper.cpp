// A program that ends with MIDI devices still open in the process-wide device lists, for the test
// of shut-down order (MidiDevicesTest.cpp). The lists are made first, so static destruction tears
// them down last, after everything the platform made later on first use.
//   exit_order_helper open      leaves an input and an output open at exit
//   exit_order_helper released  deletes the devices before the end of main, as the managers do
#include "midi/devices/CNormalMidiDeviceFactory.h"
#include "platform/GuiBootstrap.h"
#include "platform/VirtualMidiBackend.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const bool release = argc > 1 && std::strcmp(argv[1], "released") == 0;
    CVeyMidiInDevices& inputs = CVeyMidiInDevices::GetInstance();
    CVeyMidiOutDevices& outputs = CVeyMidiOutDevices::GetInstance();

    // The backend of a test lives as long as the process, as the default one does.
    static CVirtualMidiBackend& backend = *new CVirtualMidiBackend;
    backend.AddInput("Synth");
    backend.AddOutput("Synth", [](const std::vector<BYTE>&) {});
    SetMidiBackend(&backend);

    CGuiBootstrap application(argc, argv);
    CNormalMidiDeviceFactory& factory = CNormalMidiDeviceFactory::GetInstance();
    inputs.push_back(factory.CreateInputDevice("Synth"));
    outputs.push_back(factory.CreateOutputDevice("Synth"));
    if (!inputs.back()->Open() || !outputs.back()->Open())
    {
        std::puts("not opened");
        return 1;
    }
    if (release)
    {
        inputs.DeleteAll();
        outputs.DeleteAll();
    }
    std::puts("opened");
    std::fflush(stdout);
    return 0;
}
