#include "editor/instrument/CEditContext.h"

#include "editor/instrument/AReader.h"
#include "editor/instrument/CBufferAccessor.h"
#include "editor/instrument/InstrumentHandlers.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"
#include "platform/Clock.h"

#include <algorithm>

CVeyEntityId CEditContext::GetCurrentEntityId() const
{
    const CBufferAccessor::CBindings& b = m_accessor.Bound();
    if (!b.kbdPatchBankSelectMsb || !b.kbdPatchBankSelectLsb || !b.kbdPatchProgramNumber)
        return CVeyEntityId();
    const CVeyProgramId program(b.kbdPatchBankSelectMsb->GetNumber(), b.kbdPatchBankSelectLsb->GetNumber(),
                                b.kbdPatchProgramNumber->GetNumber());
    return m_accessor.GetEntityManager().ToEntityId(program);
}

bool CEditContext::IsCurrentUserPatch() const { return GetCurrentEntityId().GetKey1() == 0; }

int32_t CEditContext::GetPatchState() const
{
    const CVeyValue* state = m_accessor.Bound().navigationState;
    const int32_t number = state ? state->GetNumber() : 0;
    return number < 0 ? kNegativeState : number == 0 ? kSystemArea : kPatchScreen;
}

int32_t CEditContext::GetEditMode() const
{
    const CVeyValue* mode = m_accessor.Bound().editMode;
    return mode ? mode->GetNumber() : 0;
}

void CEditContext::OnEditModeChanged(int32_t newMode)
{
    m_currentEditMode = GetEditMode();
    CNavigationStateManager::Navigate(m_currentEditMode, newMode);
}

bool CEditContext::SelectProgram(const CVeyEntityId& id, bool send, bool throughHandlers)
{
    const CBufferAccessor::CBindings& b = m_accessor.Bound();
    const CVeyProgramId program = m_accessor.GetEntityManager().ToProgramId(id);
    if (program.IsInvalid() || !b.kbdPatchBankSelectMsb || !b.kbdPatchBankSelectLsb || !b.kbdPatchProgramNumber)
        return false;
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    const CVeyValueNumbers changes = {{b.kbdPatchBankSelectMsb, program.GetBankSelectMsb()},
                                      {b.kbdPatchBankSelectLsb, program.GetBankSelectLsb()},
                                      {b.kbdPatchProgramNumber, program.GetProgram()}};
    if (throughHandlers)
        buffers.SetValues(changes);
    else
    {
        for (const auto& [value, number] : changes)
        {
            value->SetNumber(number);
            buffers.MarkChanged(value);
        }
    }
    if (!send)
        return true;
    buffers.Flush();
    buffers.UpdateViews();
    buffers.ClearChanges();
    if (!m_accessor.IsMidiReady())
    {
        CVeyMidiRequester::ShowMessage(CBufferAccessor::kMessageMidiNotSetUp);
        return false;
    }
    // The instrument needs a moment to switch its patch.
    Sleep(50);
    AReader* reader = m_accessor.GetReader();
    if (!reader || !reader->CheckRegularTone())
        return false;
    return reader->RequestPatch();
}

CContextHandler::CContextHandler(CBufferAccessor& accessor) : m_accessor(accessor)
{
    const CBufferAccessor::CBindings& b = accessor.Bound();
    m_watched = {b.kbdPatchBankSelectMsb, b.kbdPatchBankSelectLsb, b.kbdPatchProgramNumber};
}

bool CContextHandler::OnSetValues(const CVeyValueNumbers& changes)
{
    CVeyValue* editMode = m_accessor.Bound().editMode;
    for (const auto& [value, number] : changes)
        if (value && value == editMode)
            m_accessor.GetEditContext().OnEditModeChanged(number);
    return false;
}

bool CContextHandler::OnValuesChanged(const CVeyValueList& values)
{
    const bool watched = std::any_of(values.begin(), values.end(), [this](const CVeyValue* value) {
        return value && std::find(m_watched.begin(), m_watched.end(), value) != m_watched.end();
    });
    if (!watched)
        return false;
    CEditContext& context = m_accessor.GetEditContext();
    context.SetNotRegular(false);
    if (context.GetCurrentEntityId().GetKey1() == 0)
        return false;
    context.SelectProgram(CVeyEntityId(0, 0, 0, 0), false, false);
    context.SetNotRegular(true);
    return false;
}
