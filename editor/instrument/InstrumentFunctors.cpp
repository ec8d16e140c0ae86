#include "editor/instrument/InstrumentFunctors.h"

#include "editor/EditorSeams.h"
#include "editor/controls/CPatchNameList.h"
#include "editor/instrument/AReader.h"
#include "editor/instrument/CEditContext.h"
#include "editor/instrument/CWriter.h"
#include "editor/instrument/InstrumentBindings.h"
#include "midi/framework/CVeyFunctorRegistry.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "midi/framework/CVeyMidiSetup.h"
#include "midi/framework/VeyFunctors.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"
#include "platform/WinApp.h"
#include "toolkit/ul/Cursor.h"

#include <functional>

namespace
{
CInstrumentFunctorTargets g_targets;

// Whoever watches the program's milestones learns when a transfer the user started is over, and
// the program takes input again.
void ReportDone(const std::string& name)
{
    ReportMilestone(("done " + name).c_str());
}

// A named command: ignores its argument, answers an empty text and shows the wait cursor. Does
// nothing before the layer registered its targets.
class FInstrumentCommand : public IVeyFunctor
{
public:
    FInstrumentCommand(std::string name, std::function<void(const CInstrumentFunctorTargets&)> run)
        : m_name(std::move(name)), m_run(std::move(run))
    {
    }
    void Run(std::string& result, const std::string&) override
    {
        {
            UL::CWaitCursor wait;
            result.clear();
            if (g_targets.layer && g_targets.bound && g_targets.context)
                m_run(g_targets);
        }
        ReportDone(m_name);
    }

private:
    std::string m_name;
    std::function<void(const CInstrumentFunctorTargets&)> m_run;
};

// Every transfer with the instrument needs its devices: without them the user is told, and
// nothing is sent.
bool MidiReadyOrSay()
{
    if (CVeyMidiSetup::GetInstance().IsConnected())
        return true;
    CVeyMidiRequester::ShowMessage(InstrumentMessage::kMidiNotSetUp);
    return false;
}

void ReadAll(const CInstrumentFunctorTargets& targets)
{
    if (MidiReadyOrSay())
        targets.layer->ReadAll();
}

// The whole image onto the instrument, once it answered as ours.
void Synchronize(const CInstrumentFunctorTargets& targets)
{
    if (!MidiReadyOrSay())
        return;
    AReader* reader = targets.reader;
    if (reader && reader->RequestIdentity())
        targets.layer->WriteAll();
}

// The current patch into the user slot chosen in the patch name list, once the instrument
// answered as ours. Without a chosen row, or without MIDI, nothing happens.
void WritePatch(const CInstrumentFunctorTargets& targets)
{
    const CInstrumentBindings& b = *targets.bound;
    AReader* reader = targets.reader;
    CWriter* writer = targets.writer;
    if (!reader || !writer || !b.patchNameListCurrentNumber || !b.listCurrentBank)
        return;
    const int32_t index = b.patchNameListCurrentNumber->GetNumber() - 1;
    if (index < 0)
        return;
    const CVeyEntityId id = CPatchBanks::MakePatchEntityId(b.listCurrentBank->GetNumber(), index);
    if (!id.HasNoNegativeField() || !CVeyMidiSetup::GetInstance().IsConnected() || !reader->RequestIdentity())
        return;
    if (writer->WritePatchTo(id) && b.writePanelSw)
    {
        CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
        buffers.SetValue(b.writePanelSw, 0);
        buffers.UpdateViews();
        buffers.ClearChanges();
    }
}

// The deferred read of the current patch: once the user settled on a program in the name list,
// select it again with sending so the instrument switches and the patch is read back. The marks
// are cleared whatever happened, so a failed read is not retried on every idle turn.
class FReadReservedPatches : public IVeyFunctor
{
public:
    void Run(std::string& result, const std::string&) override
    {
        result.clear();
        CReadReserved& reserved = CReadReserved::GetInstance();
        if (reserved.IsMarked(0) && g_targets.context)
        {
            CEditContext& context = *g_targets.context;
            const CVeyEntityId id = context.GetCurrentEntityId();
            if (id.HasNoNegativeField())
            {
                UL::CWaitCursor wait;
                context.SelectProgram(id, true, true);
            }
        }
        reserved.Reset();
        ReportDone("ReadReservedPatches");
    }
};
}

void RegisterInstrumentFunctors(const CInstrumentFunctorTargets& targets)
{
    g_targets = targets;
    static FInstrumentCommand read("Read", ReadAll);
    static FInstrumentCommand sync("Sync", Synchronize);
    static FInstrumentCommand writePatch("WritePatch", WritePatch);
    static FReadReservedPatches readReservedPatches;
    CVeyFunctorRegistry& registry = CVeyFunctorRegistry::GetInstance();
    registry.Register("Read", &read);
    registry.Register("Sync", &sync);
    registry.Register("WritePatch", &writePatch);
    registry.Register("ReadReservedPatches", &readReservedPatches);
}
