#include "midi/framework/CVeyMidiSetupState.h"

#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/gt/TextOut.h"
#include "toolkit/gt/TraceTextOut.h"

#include <atomic>

namespace
{
std::atomic<CVeyMidiSetupState*> g_installed{nullptr};
std::atomic<GT::ITextOut*> g_messageOut{nullptr};
}

CVeyMidiSetupState& CVeyMidiSetupState::GetInstance()
{
    static CVeyMidiSetupState state;
    CVeyMidiSetupState* installed = g_installed.load();
    return installed ? *installed : state;
}

void CVeyMidiSetupState::SetInstance(CVeyMidiSetupState* state)
{
    g_installed.store(state);
}

void CVeyMidiSetupState::SetMessageOut(GT::ITextOut* out)
{
    g_messageOut.store(out);
}

void CVeyMidiSetupState::SetStateSilently(bool allOpen)
{
    m_allOpen = allOpen;
}

void CVeyMidiSetupState::SetState(bool allOpen)
{
    if (allOpen == m_allOpen)
        return;
    m_allOpen = allOpen;
    GT::ITextOut* out = g_messageOut.load();
    if (!out)
        out = &GetTraceTextOut();
    out->Write(GetMessageTable().Find(allOpen ? kReconnectedMessage : kConnectErrorMessage));
}
