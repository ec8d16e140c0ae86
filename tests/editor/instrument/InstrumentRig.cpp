#include "tests/editor/instrument/InstrumentRig.h"

#include "editor/instrument/CBufferAccessor.h"
#include "midi/devices/CNormalMidiDeviceFactory.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiInDevice.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiSetupState.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"
#include "model/CVeyStruct.h"
#include "platform/Messages.h"

#include <functional>

CInstrumentRig::CInstrumentRig() : accessor(CBufferAccessor::GetInstance())
{
    backend.SetScheduler([this](DWORD delay, std::function<void()> action) { clock.After(delay, std::move(action)); });
    instrument.AttachTo(backend, "Talvarix", &clock);
    backend.SetDoneAtWireRate("Talvarix", true);
}

CInstrumentRig::~CInstrumentRig() { TearDown(); }

bool CInstrumentRig::SetUp(const std::string& viewStatePath)
{
    if (!script || !script->Read())
        return false;
    // The instrument layer is the program's one object: what an earlier test copied must not be
    // there to paste when tests share a process.
    CBufferAccessor::GetInstance().GetPatchClipboard() = CPatchClipboard();
    CVeyMidiIn& input = CVeyMidiInputs::GetInstance()[0];
    CVeyMidiOut& output = CVeyMidiOutputs::GetInstance()[0];
    CNormalMidiDeviceFactory& factory = CNormalMidiDeviceFactory::GetInstance();
    CVeyMidiInDevice* inDevice = factory.CreateInputDevice("Talvarix");
    CVeyMidiInDevices::GetInstance().push_back(inDevice);
    inDevice->AttachPort(&input);
    CVeyMidiOutDevice* outDevice = factory.CreateOutputDevice("Talvarix");
    CVeyMidiOutDevices::GetInstance().push_back(outDevice);
    output.AttachDevice(outDevice);
    CVeyMidiSetupState::GetInstance().SetStateSilently(inDevice->Open() && outDevice->Open());

    CVeyDataFile& dataFile = CVeyDataFile::GetInstance();
    dataFile.SetRootStruct(dynamic_cast<CVeyRootStruct*>(CVeyBufferManager::GetInstance().FindStructOrNull("fm")));
    dataFile.SetProductName("Talvarix");
    accessor.SetInitialDataPath(CBundledScript::Folder() + "InitialData.q9e");
    accessor.SetViewStatePath(viewStatePath);
    if (!accessor.Initialize())
        return false;
    instrument.Receive(instrument.MakeDataSet(kMsbAddress, {87, 0, 5}, 0x10));
    instrument.ClearLogs();
    return true;
}

void CInstrumentRig::TearDown()
{
    accessor.SetProgress(nullptr);
    for (CVeyMidiOut& output : CVeyMidiOutputs::GetInstance())
        output.DetachAllDevices();
    for (CVeyMidiIn& input : CVeyMidiInputs::GetInstance())
        input.SetListener(nullptr);
    CVeyMidiInDevices::GetInstance().DeleteAll();
    CVeyMidiOutDevices::GetInstance().DeleteAll();
    while (PumpAllMessages())
    {
    }
    CVeyDataFile::GetInstance().SetRootStruct(nullptr);
}

namespace
{
// Calls `visit` for each block below the groups an image transfer moves, in tree order.
void ForEachImageBlock(const std::function<void(const CVeyStruct&)>& visit)
{
    const std::function<void(const CVeyStruct&)> walk = [&](const CVeyStruct& s) {
        if (s.GetData())
            visit(s);
        else if (const CVeyStructList* children = s.GetChildStructs())
            for (const auto& child : *children)
                walk(*child);
    };
    for (const char* group : {"fm.setup", "fm.system", "fm.pat"})
        if (const CVeyStruct* s = CVeyBufferManager::GetInstance().FindStructOrNull(group))
            walk(*s);
}
}

std::vector<BYTE> CInstrumentRig::EditorImage() const
{
    std::vector<BYTE> image;
    ForEachImageBlock([&image](const CVeyStruct& block) { image.insert(image.end(), block.GetData()->begin(), block.GetData()->end()); });
    return image;
}

std::vector<BYTE> CInstrumentRig::InstrumentImage() const
{
    std::vector<BYTE> image;
    ForEachImageBlock([this, &image](const CVeyStruct& block) {
        const CVeyAddressRange range = block.GetAbsoluteAddressRange();
        std::vector<BYTE> bytes;
        if (!instrument.Read(uint32_t(range.begin), uint32_t(range.GetSize()), bytes))
            bytes.assign(size_t(range.GetSize()), 0xFF);   // not a 7-bit byte: never equal to the editor's
        image.insert(image.end(), bytes.begin(), bytes.end());
    });
    return image;
}

void CommitValue(const std::string& path, int32_t number)
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.SetValue(buffers.FindValueOrNull(path), number);
    buffers.Flush();
    buffers.UpdateViews();
    buffers.ClearChanges();
}
