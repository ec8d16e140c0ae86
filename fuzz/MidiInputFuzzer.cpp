// Bytes from the instrument through the whole input chain into the model: the driver's
// deliveries, the input device's buffers and reassembly of system-exclusive pieces, the script's
// MIDI input and its data sets stored in the sample model.
//
// Input: a series of deliveries, each a length byte and that many bytes. A delivery that begins
// with F0 arrives as (a piece of) a system-exclusive message, any other as one short message, as
// a driver hands them over.
#include "fuzz/FuzzSupport.h"
#include "midi/framework/CVeyMidiInDevice.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiSetup.h"
#include "model/CVeyBufferManager.h"
#include "platform/Messages.h"
#include "platform/VirtualMidiBackend.h"

#include <cstdlib>

namespace
{
CVirtualMidiBackend& Backend()
{
    static CVirtualMidiBackend& backend = *new CVirtualMidiBackend;
    return backend;
}
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Backend().AddInput("Synth");
    Backend().AddOutput("Synth", [](const std::vector<BYTE>&) {});
    SetMidiBackend(&Backend());
    Fuzz::CreateSampleModel();
    CVeyMidiSetup& setup = CVeyMidiSetup::GetInstance();
    CVeyMidiInputs& inputs = CVeyMidiInputs::GetInstance();
    CVeyMidiOutputs& outputs = CVeyMidiOutputs::GetInstance();
    if (inputs.empty() || outputs.empty())
        std::abort();
    setup.AttachInput(inputs[0], "Synth");
    setup.AttachOutput(outputs[0], "Synth");
    if (!setup.OpenAllDevices())
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    size_t at = 0;
    while (at < size)
    {
        const size_t length = std::min<size_t>(data[at], size - at - 1);
        ++at;
        if (length > 0)
            Backend().Send("Synth", std::vector<BYTE>(data + at, data + at + length));
        at += length;
    }
    // A poll delivers everything the driver has handed over so far.
    CVeyMidiInDevices::GetInstance().front()->Poll();
    while (PumpAllMessages())
    {
    }
    CVeyBufferManager::GetInstance().ClearChanges();
    return 0;
}
