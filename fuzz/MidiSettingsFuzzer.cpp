// The settings file as the MIDI setup reads it: which device serves which of the sample script's
// ports, and with which device ID. The chosen devices are opened on the virtual MIDI system and
// closed again.
#include "fuzz/FuzzSupport.h"
#include "midi/framework/CVeyMidiSetup.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/VirtualMidiBackend.h"

#include <filesystem>
#include <fstream>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static CVirtualMidiBackend& backend = *new CVirtualMidiBackend;
    backend.AddInput("Synth");
    backend.AddOutput("Synth", [](const std::vector<BYTE>&) {});
    backend.AddOutput("Thru Box", [](const std::vector<BYTE>&) {});
    SetMidiBackend(&backend);
    Fuzz::CreateSampleModel();
    SetApplicationName("q9ee");
    SetRegistryKey("Vantor");
    SetProfileFolder(Fuzz::ScratchFolder() + "/settings");
    std::filesystem::create_directories(std::filesystem::path(GetProfileFilePath()).parent_path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        std::ofstream file(GetProfileFilePath(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    // Choosing the folder again forgets what was read before.
    SetProfileFolder(Fuzz::ScratchFolder() + "/settings");
    CVeyMidiSetup& setup = CVeyMidiSetup::GetInstance();
    setup.Load();
    setup.CloseAllDevices();
    while (PumpAllMessages())
    {
    }
    // The programs' main loop lets go of closed devices' windows at its next turn; without one
    // here, they go as they do at shut-down.
    RunShutdownHandlers();
    return 0;
}
