#include "editor/instrument/InstrumentFunctors.h"

#include "editor/CApplicationMenus.h"
#include "editor/CEditorCommands.h"
#include "editor/controls/CPatchNameList.h"
#include "editor/instrument/AReader.h"
#include "editor/instrument/CBufferAccessor.h"
#include "editor/instrument/CWriter.h"
#include "midi/framework/CVeyFunctorRegistry.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "midi/framework/VeyFunctors.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"
#include "toolkit/ul/Cursor.h"

#include <functional>

namespace
{
// A named command: ignores its argument, answers an empty text and shows the wait cursor.
class FInstrumentCommand : public IVeyFunctor
{
public:
    explicit FInstrumentCommand(std::function<void(CBufferAccessor&)> run) : m_run(std::move(run)) {}
    void Run(std::string& result, const std::string&) override
    {
        UL::CWaitCursor wait;
        result.clear();
        m_run(CBufferAccessor::GetInstance());
    }

private:
    std::function<void(CBufferAccessor&)> m_run;
};

// Every transfer with the instrument needs its devices: without them the user is told, and
// nothing is sent.
bool MidiReadyOrSay(const CBufferAccessor& accessor)
{
    if (accessor.IsMidiReady())
        return true;
    CVeyMidiRequester::ShowMessage(CBufferAccessor::kMessageMidiNotSetUp);
    return false;
}

void ReadAll(CBufferAccessor& accessor)
{
    if (MidiReadyOrSay(accessor))
        accessor.ReadAll();
}

// The whole image onto the instrument, once it answered as ours.
void Synchronize(CBufferAccessor& accessor)
{
    if (!MidiReadyOrSay(accessor))
        return;
    AReader* reader = accessor.GetReader();
    if (reader && reader->RequestIdentity())
        accessor.Synchronize();
}

// The current patch into the user slot chosen in the patch name list, once the instrument
// answered as ours. Without a chosen row, or without MIDI, nothing happens.
void WritePatch(CBufferAccessor& accessor)
{
    const CBufferAccessor::CBindings& b = accessor.Bound();
    AReader* reader = accessor.GetReader();
    CWriter* writer = accessor.GetWriter();
    if (!reader || !writer || !b.patchNameListCurrentNumber || !b.listCurrentBank)
        return;
    const int32_t index = b.patchNameListCurrentNumber->GetNumber() - 1;
    if (index < 0)
        return;
    const CVeyEntityId id = CPatchBanks::MakePatchEntityId(b.listCurrentBank->GetNumber(), index);
    if (!id.HasNoNegativeField() || !accessor.IsMidiReady() || !reader->RequestIdentity())
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
        if (reserved.IsMarked(0))
        {
            CEditContext& context = CBufferAccessor::GetInstance().GetEditContext();
            const CVeyEntityId id = context.GetCurrentEntityId();
            if (id.HasNoNegativeField())
            {
                UL::CWaitCursor wait;
                context.SelectProgram(id, true, true);
            }
        }
        reserved.Reset();
    }
};

// Opens one of the application's popup menus (the main panel's FILE, EDIT, SETUP and HELP
// buttons). No wait cursor: the user is choosing.
class FSelectMenu : public IVeyFunctor
{
public:
    explicit FSelectMenu(std::function<void()> run) : m_run(std::move(run)) {}
    void Run(std::string& result, const std::string&) override
    {
        result.clear();
        m_run();
    }

private:
    std::function<void()> m_run;
};

void RunFileMenu()
{
    // The documents are the application's: without it there is nothing to open or save.
    if (std::optional<CEditorCommands> commands = CEditorCommands::ForApplication())
        ApplicationMenus::RunFileMenu(*commands);
}
}

void RegisterInstrumentFunctors(CBufferAccessor&)
{
    static FInstrumentCommand read(ReadAll);
    static FInstrumentCommand sync(Synchronize);
    static FInstrumentCommand writePatch(WritePatch);
    static FReadReservedPatches readReservedPatches;
    static FSelectMenu selectFileMenu(RunFileMenu);
    static FSelectMenu selectEditMenu([] { ApplicationMenus::RunEditMenu(CBufferAccessor::GetInstance()); });
    static FSelectMenu selectSetupMenu([] { ApplicationMenus::RunSetupMenu(); });
    static FSelectMenu selectHelpMenu([] { ApplicationMenus::RunHelpMenu(); });
    CVeyFunctorRegistry& registry = CVeyFunctorRegistry::GetInstance();
    registry.Register("Read", &read);
    registry.Register("Sync", &sync);
    registry.Register("WritePatch", &writePatch);
    registry.Register("ReadReservedPatches", &readReservedPatches);
    registry.Register("SelectFileMenu", &selectFileMenu);
    registry.Register("SelectEditMenu", &selectEditMenu);
    registry.Register("SelectSetupMenu", &selectSetupMenu);
    registry.Register("SelectHelpMenu", &selectHelpMenu);
}
