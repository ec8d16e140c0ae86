#include "tests/midi/framework/PortFixture.h"

#include "midi/framework/CVeyMidiManager.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiStruct.h"
#include "midi/ml/CShortMessage.h"
#include "midi/ml/CVantorMessage.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/VeyManagers.h"
#include "tests/midi/ml/HexBytes.h"

bool CRecordingOutDevice::Send(const std::vector<uint8_t>& bytes)
{
    sent.push_back(ToHex(bytes));
    return accept;
}

bool CRecordingListener::OnShortMessage(const ML::CShortMessage& message)
{
    heard.push_back("short " + ToHex(message));
    return true;
}

bool CRecordingListener::OnLongMessage(const ML::CLongMessage& message)
{
    heard.push_back("long " + ToHex(message));
    return true;
}

bool CRecordingListener::OnDt1(const ML::CVantorMessage& message)
{
    heard.push_back("dt1 " + ToHex(message));
    return true;
}

namespace
{
CVeyElementDefinition Element(const std::string& type, const CVeyElementDefinition::CAttributes& attributes)
{
    CVeyElementDefinition element(type);
    for (const auto& attribute : attributes)
        element.Add(attribute.first, attribute.second);
    return element;
}
}

CFixtureScript::CFixtureScript()
{
    CVeyTypeDefinition block;
    block.SetTypeName("block");
    block.Add("name", "$name");
    block.Add("address", "$address");
    block.GetLeafChildren().push_back(Element("int1x7", {{"name", "level"}}));
    block.GetLeafChildren().push_back(Element("int1x7", {{"name", "pan"}}));
    structTypes.push_back(block);

    CVeyTypeDefinition display;
    display.SetTypeName("display");
    display.Add("name", "$name");
    display.Add("address", "$address");
    display.GetLeafChildren().push_back(Element("string", {{"name", "message"}, {"size", "14"}}));
    structTypes.push_back(display);

    CVeyTypeDefinition root;
    root.SetTypeName("root");
    root.Add("name", "$name");
    root.Add("address", "$address");
    root.GetStructuralChildren().push_back(Element("block", {{"name", "common"}, {"address", "00 00 00 00"}}));
    root.GetStructuralChildren().push_back(Element("block", {{"name", "tone"}, {"address", "00 00 01 00"}}));
    root.GetStructuralChildren().push_back(Element("display", {{"name", "display"}, {"address", "00 00 02 00"}}));
    structTypes.push_back(root);

    rootStructs.push_back(Element("root", {{"name", "fm"}, {"address", "10 00 00 00"}}));
    midiStructs.push_back(Element("", {{"name", "ms"}}));

    inputs.push_back(Element("", {{"name", "in"},
                                  {"modelID", "00 00 3C"},
                                  {"rootStructRef", "fm"},
                                  {"midiStructRef", "ms"},
                                  {"midiOutRef", "thru"}}));
    outputs.push_back(Element("", {{"name", "out"},
                                   {"modelID", "00 00 3C"},
                                   {"rootStructRef", "fm"},
                                   {"midiStructRef", "ms"},
                                   {"midiMessageValueRef", "fm.display.message"}}));
    outputs.push_back(Element("", {{"name", "thru"}, {"modelID", "00 00 3C"}}));
}

bool CPortTest::Create(const CFixtureScript& script)
{
    CVeyScriptDefinitions& definitions = CVeyScriptDefinitions::GetInstance();
    definitions.Clear();
    definitions.GetBufferGroup().structTypes = script.structTypes;
    definitions.GetBufferGroup().rootStructs = script.rootStructs;
    definitions.GetBufferGroup().midiStructs = script.midiStructs;
    definitions.GetMidiGroup().inputs = script.inputs;
    definitions.GetMidiGroup().outputs = script.outputs;
    CVeyBufferManager::RegisterManagerStep();
    CVeyMidiManager::RegisterManagerStep();
    return VeyCreateManagers();
}

void CPortTest::CreateWired()
{
    ASSERT_TRUE(Create());
    CVeyMidiOutputs::GetInstance().Find("out")->AttachDevice(&m_out);
    CVeyMidiOutputs::GetInstance().Find("thru")->AttachDevice(&m_thru);
    CVeyMidiInputs::GetInstance().Find("in")->SetListener(&m_listener);
}

void CPortTest::TearDown()
{
    // The recording devices belong to the test, not to the device lists: detach them first.
    for (CVeyMidiOut& output : CVeyMidiOutputs::GetInstance())
        output.DetachAllDevices();
    VeyDestroyManagers();
    CVeyScriptDefinitions::GetInstance().Clear();
}
