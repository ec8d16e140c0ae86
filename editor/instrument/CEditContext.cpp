#include "editor/instrument/CEditContext.h"

#include "editor/instrument/AReader.h"
#include "editor/instrument/InstrumentHandlers.h"
#include "midi/framework/CVeyMidiSetup.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"
#include "platform/Clock.h"

#include <algorithm>

CVeyEntityId CEditContext::GetCurrentEntityId() const
{
    const CInstrumentBindings& b = m_bound;
    if (!b.kbdPatchBankSelectMsb || !b.kbdPatchBankSelectLsb || !b.kbdPatchProgramNumber)
        return CVeyEntityId();
    const CVeyProgramId program(b.kbdPatchBankSelectMsb->GetNumber(), b.kbdPatchBankSelectLsb->GetNumber(),
                                b.kbdPatchProgramNumber->GetNumber());
    return m_entities.ToEntityId(program);
}

bool CEditContext::IsCurrentUserPatch() const { return GetCurrentEntityId().GetKey1() == 0; }

int32_t CEditContext::GetPatchState() const
{
    const CVeyValue* state = m_bound.navigationState;
    const int32_t number = state ? state->GetNumber() : 0;
    return number < 0 ? kNegativeState : number == 0 ? kSystemArea : kPatchScreen;
}

int32_t CEditContext::GetEditMode() const
{
    const CVeyValue* mode = m_bound.editMode;
    return mode ? mode->GetNumber() : 0;
}

void CEditContext::OnEditModeChanged(int32_t newMode)
{
    m_currentEditMode = GetEditMode();
    CNavigationStateManager::Navigate(m_currentEditMode, newMode);
}

bool CEditContext::SelectProgram(const CVeyEntityId& id, bool send, bool throughHandlers)
{
    const CInstrumentBindings& b = m_bound;
    const CVeyProgramId program = m_entities.ToProgramId(id);
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
    if (!CVeyMidiSetup::GetInstance().IsConnected())
    {
        CVeyMidiRequester::ShowMessage(InstrumentMessage::kMidiNotSetUp);
        return false;
    }
    // The instrument needs a moment to switch its patch.
    Sleep(50);
    AReader* reader = m_reader;
    if (!reader || !reader->CheckRegularTone())
        return false;
    return reader->RequestPatch();
}

CContextHandler::CContextHandler(const CInstrumentBindings& bound, CEditContext& context)
    : m_bound(bound), m_context(context)
{
    const CInstrumentBindings& b = bound;
    m_watched = {b.kbdPatchBankSelectMsb, b.kbdPatchBankSelectLsb, b.kbdPatchProgramNumber};
}

bool CContextHandler::OnSetValues(const CVeyValueNumbers& changes)
{
    for (const auto& [value, number] : changes)
        if (value && value == m_bound.editMode)
            m_context.OnEditModeChanged(number);
    return false;
}

bool CContextHandler::OnValuesChanged(const CVeyValueList& values)
{
    const bool watched = std::any_of(values.begin(), values.end(), [this](const CVeyValue* value) {
        return value && std::find(m_watched.begin(), m_watched.end(), value) != m_watched.end();
    });
    if (!watched)
        return false;
    CEditContext& context = m_context;
    context.SetNotRegular(false);
    if (context.GetCurrentEntityId().GetKey1() == 0)
        return false;
    context.SelectProgram(CVeyEntityId(0, 0, 0, 0), false, false);
    context.SetNotRegular(true);
    return false;
}
