#include "editor/controls/InstrumentLink.h"

#include "editor/entities/InstrumentEntities.h"
#include "midi/framework/CVeyMidiSetup.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"

namespace
{
IInstrumentLink*& InstalledLink()
{
    static IInstrumentLink* link = nullptr;
    return link;
}

const char* const kProgramPaths[3] = {"fm.setup.kbdPatchBankSelectMsb", "fm.setup.kbdPatchBankSelectLsb",
                                      "fm.setup.kbdPatchProgramNumber"};
}

IInstrumentLink& IInstrumentLink::Get()
{
    static CModelInstrumentLink builtIn;
    return InstalledLink() ? *InstalledLink() : builtIn;
}

void IInstrumentLink::Install(IInstrumentLink* link)
{
    InstalledLink() = link;
}

CVeyEntityId CModelInstrumentLink::GetCurrentEntityId() const
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    int32_t fields[3];
    for (int i = 0; i < 3; ++i)
    {
        const CVeyValue* value = buffers.FindValueOrNull(kProgramPaths[i]);
        if (!value)
            return CVeyEntityId();
        fields[i] = value->GetNumber();
    }
    CInstrumentEntities& entities = CInstrumentEntities::GetInstance();
    entities.EnsureSetUp();
    return entities.GetManager().ToEntityId(CVeyProgramId(fields[0], fields[1], fields[2]));
}

int32_t CModelInstrumentLink::GetPatchState() const
{
    const CVeyValue* state = CVeyBufferManager::GetInstance().FindValueOrNull("vs.navigation.patpat.state");
    if (!state)
        return kNegativeState;
    const int32_t number = state->GetNumber();
    return number == 0 ? kSystemArea : number > 0 ? kPatchScreen : kNegativeState;
}

bool CModelInstrumentLink::SelectProgram(const CVeyEntityId& id)
{
    CInstrumentEntities& entities = CInstrumentEntities::GetInstance();
    entities.EnsureSetUp();
    const CVeyProgramId program = entities.GetManager().ToProgramId(id);
    if (!program.HasNoNegativeField())
        return false;
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    CVeyValueNumbers changes;
    const int32_t fields[3] = {program.GetBankSelectMsb(), program.GetBankSelectLsb(), program.GetProgram()};
    for (int i = 0; i < 3; ++i)
        if (CVeyValue* value = buffers.FindValueOrNull(kProgramPaths[i]))
            changes.emplace_back(value, fields[i]);
    if (changes.size() != 3)
        return false;
    buffers.SetValues(changes);
    return true;
}

bool CModelInstrumentLink::IsMidiConnected() const
{
    return CVeyMidiSetup::GetInstance().IsConnected();
}
