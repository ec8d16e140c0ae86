#include "model/CVeyScriptDefinitions.h"

void CVeyScriptDefinitions::CBufferGroup::Clear()
{
    structTypes.clear();
    rootStructs.clear();
    midiStructs.clear();
}

bool CVeyScriptDefinitions::CBufferGroup::IsEmpty() const
{
    return structTypes.empty() && rootStructs.empty() && midiStructs.empty();
}

void CVeyScriptDefinitions::CMidiGroup::Clear()
{
    inputs.clear();
    outputs.clear();
}

bool CVeyScriptDefinitions::CMidiGroup::IsEmpty() const
{
    return inputs.empty() && outputs.empty();
}

void CVeyScriptDefinitions::CViewGroup::Clear()
{
    panelTypes.clear();
    rootPanels.clear();
}

bool CVeyScriptDefinitions::CViewGroup::IsEmpty() const
{
    return panelTypes.empty() && rootPanels.empty();
}

void CVeyScriptDefinitions::CResourceGroup::Clear()
{
    bitmaps.clear();
    textWriters.clear();
    stringTables.clear();
    numberTables.clear();
}

bool CVeyScriptDefinitions::CResourceGroup::IsEmpty() const
{
    return bitmaps.empty() && textWriters.empty() && stringTables.empty() && numberTables.empty();
}

CVeyScriptDefinitions& CVeyScriptDefinitions::GetInstance()
{
    static CVeyScriptDefinitions instance;
    return instance;
}

void CVeyScriptDefinitions::Clear()
{
    m_buffer.Clear();
    m_midi.Clear();
    m_view.Clear();
    m_resource.Clear();
}

bool CVeyScriptDefinitions::IsEmpty() const
{
    return m_buffer.IsEmpty() && m_midi.IsEmpty() && m_view.IsEmpty() && m_resource.IsEmpty();
}
