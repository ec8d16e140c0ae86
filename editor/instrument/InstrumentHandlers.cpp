#include "editor/instrument/InstrumentHandlers.h"

#include "midi/framework/CVeyFunctorRegistry.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"

#include <string>

// CToneSynchronizer

CToneSynchronizer::CToneSynchronizer()
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    m_selection = buffers.FindValueOrNull("vs.control.patchToneStateValue");
    auto synchronizer = std::make_unique<CVeyBufferSynchronizer>(m_selection);
    for (int tone = 0; tone < 4; ++tone)
        if (CVeyStruct* s = buffers.FindStructOrNull("fm.pat.tone[" + std::to_string(tone) + "]"))
            synchronizer->AddStruct(s);
    m_handlers.Append(synchronizer.release());
}

bool CToneSynchronizer::OnValuesChanged(const CVeyValueList& values)
{
    if (!m_selection)
        return false;
    const int32_t selection = m_selection->GetNumber();
    if (selection == 1 || selection == 2 || selection == 4 || selection == 8)
        return false;
    return m_handlers.OnValuesChanged(values);
}

// CFadeRangeClipper

CFadeRangeClipper::CFadeRangeClipper()
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    for (int tone = 0; tone < 4; ++tone)
        for (const char* range : {"Keyboard", "Velocity"})
        {
            const std::string index = "[" + std::to_string(tone) + "]";
            CVeyValue* lower = buffers.FindValueOrNull(std::string("fm.pat.tmt.tmt") + range + "RangeLower" + index);
            CVeyValue* upper = buffers.FindValueOrNull(std::string("fm.pat.tmt.tmt") + range + "RangeUpper" + index);
            if (lower && upper)
                AddPair(lower, upper);
        }
}

// CEntityNameHandler

bool CEntityNameHandler::OnSetValues(const CVeyValueNumbers& changes)
{
    const CVeyValue* selectPanel = CVeyBufferManager::GetInstance().FindValueOrNull("vs.control.selectPanelSw");
    for (const auto& [value, number] : changes)
        if (value && value == selectPanel && value->GetNumber() == 2 && number == 0)
            CVeyFunctorRegistry::GetInstance().Invoke("ReadReservedPatches", "", 0);
    return false;
}

// CNavigationStateManager

int32_t CNavigationStateManager::Convert(int32_t oldMode, int32_t state, int32_t newMode)
{
    if (oldMode < 0 || oldMode > 1 || newMode < 0 || newMode > 1 || state < 0 || state >= kStateCount)
        return state;
    if (oldMode == 0 && newMode == 1)
    {
        if (state >= 6 && state <= 9)
            return state + 7;
        if (state == 4 || state == 5 || (state >= 10 && state <= 12))
            return 13;
    }
    if (oldMode == 1 && newMode == 0 && state >= 13)
        return state - 7;
    return state;
}

void CNavigationStateManager::Navigate(int32_t oldMode, int32_t newMode)
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    CVeyValue* state = buffers.FindValueOrNull("vs.navigation.patpat.state");
    if (!state)
        return;
    state->SetNumber(Convert(oldMode, state->GetNumber(), newMode));
    buffers.MarkChanged(state);
}
