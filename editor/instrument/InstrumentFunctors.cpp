#include "editor/instrument/InstrumentFunctors.h"

#include "editor/CApplicationMenus.h"
#include "editor/CEditorCommands.h"
#include "editor/instrument/AReader.h"
#include "editor/instrument/CBufferAccessor.h"
#include "editor/instrument/CWriter.h"
#include "midi/framework/CVeyFunctorRegistry.h"
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

// The current patch into the user slot chosen in the patch name list, after the instrument
// agreed to store it.
void WritePatch(CBufferAccessor& accessor)
{
    const CBufferAccessor::CBindings& b = accessor.Bound();
    AReader* reader = accessor.GetReader();
    CWriter* writer = accessor.GetWriter();
    if (!reader || !writer || !b.patchNameListCurrentNumber || !b.listCurrentBank)
        return;
    const int32_t number = b.patchNameListCurrentNumber->GetNumber() - 1;
    const CVeyEntityId id(0, 0, b.listCurrentBank->GetNumber(), number);
    reader->RequestWrite();
    if (!reader->WasWriteCompleted())
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
    static FInstrumentCommand read([](CBufferAccessor& accessor) { accessor.ReadAll(); });
    static FInstrumentCommand sync([](CBufferAccessor& accessor) { accessor.Synchronize(); });
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
