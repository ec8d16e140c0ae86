#include "midi/framework/CVeyMidiManager.h"

#include "midi/framework/CVeyMidiInDevice.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiStruct.h"
#include "model/CVeyAttributeReader.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/VeyManagers.h"
#include "toolkit/gt/TraceTextOut.h"

namespace
{
// Reads every definition into the port of the same index; false after the diagnostic lines.
template <class TPorts>
bool LoadPorts(TPorts& ports, const CVeyElementDefinitions& definitions, const char* failure)
{
    for (size_t i = 0; i < definitions.size(); ++i)
    {
        CVeyElementDefinition::CAttributes attributes = definitions[i].GetAttributes();
        auto& port = ports[i];
        if (!port.LoadAttributes(attributes))
        {
            GetTraceTextOut().Printf(failure, definitions[i].GetTypeName().c_str());
            return false;
        }
        if (!attributes.empty())
        {
            CVeyAttributeReader::ReportUnknownTags("Midi", port.GetName(), attributes);
            return false;
        }
    }
    return true;
}

template <class TPorts>
bool ResolvePorts(TPorts& ports, const char* failure)
{
    for (auto& port : ports)
    {
        if (!port.Resolve())
        {
            GetTraceTextOut().Printf(failure, port.GetName().c_str());
            return false;
        }
    }
    return true;
}

void UnbindFrom(const CVeyStructList& structs)
{
    for (const auto& s : structs)
    {
        auto* root = dynamic_cast<CVeyRootStruct*>(s.get());
        if (root && root->GetMidiOut() &&
            CVeyMidiOutputs::GetInstance().Contains(dynamic_cast<CVeyMidiOut*>(root->GetMidiOut())))
            root->SetMidiOut(nullptr);
    }
}
}

CVeyMidiManager& CVeyMidiManager::GetInstance()
{
    static CVeyMidiManager manager;
    return manager;
}

bool CVeyMidiManager::CreatePorts()
{
    CVeyScriptDefinitions::CMidiGroup& definitions = CVeyScriptDefinitions::GetInstance().GetMidiGroup();
    CVeyMidiInputs& inputs = CVeyMidiInputs::GetInstance();
    CVeyMidiOutputs& outputs = CVeyMidiOutputs::GetInstance();
    if (!inputs.Create(definitions.inputs.size()))
        return false;
    if (!LoadPorts(inputs, definitions.inputs, "Unable to convert element definitions %s to MIDI input.\n"))
        return false;
    if (!outputs.Create(definitions.outputs.size()))
        return false;
    if (!LoadPorts(outputs, definitions.outputs, "Unable to convert element definitions %s to MIDI output.\n"))
        return false;
    return ResolvePorts(inputs, "Unable to create MIDI input %s.\n") &&
           ResolvePorts(outputs, "Unable to create MIDI output %s.\n");
}

bool CVeyMidiManager::CreatePorts(size_t inputCount, size_t outputCount, const std::string& name,
                                  const ML::Bytes& modelId)
{
    CVeyMidiInputs& inputs = CVeyMidiInputs::GetInstance();
    CVeyMidiOutputs& outputs = CVeyMidiOutputs::GetInstance();
    if (!inputs.empty() || !outputs.empty())
        return false;
    inputs.Create(inputCount);
    outputs.Create(outputCount);
    for (CVeyMidiIn& input : inputs)
    {
        input.SetName(name);
        input.SetModelId(modelId);
    }
    for (CVeyMidiOut& output : outputs)
    {
        output.SetName(name);
        output.SetModelId(modelId);
    }
    return true;
}

void CVeyMidiManager::DestroyPorts()
{
    CVeyScriptDefinitions::GetInstance().GetMidiGroup().Clear();
    // The structs may outlive the ports (the buffer manager is torn down after this manager).
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    UnbindFrom(buffers.GetRootStructs());
    UnbindFrom(buffers.GetMidiStructs());
    CVeyMidiInDevices::GetInstance().DeleteAll();
    CVeyMidiOutDevices::GetInstance().DeleteAll();
    CVeyMidiInputs::GetInstance().Destroy();
    CVeyMidiOutputs::GetInstance().Destroy();
}

void CVeyMidiManager::RegisterManagerStep()
{
    // The buffer manager makes the script's MIDI structs, before the ports, through this creator.
    CVeyMidiStruct::RegisterCreator();
    VeySetManagerStep(
        EVeyManager::kMidi, [] { return GetInstance().CreatePorts(); }, [] { GetInstance().DestroyPorts(); });
}
