#include "editor/instrument/CLayerInstrumentLink.h"

#include "editor/instrument/AReader.h"
#include "editor/instrument/CEditContext.h"

CVeyEntityId CLayerInstrumentLink::GetCurrentEntityId() const
{
    return m_context.GetCurrentEntityId();
}

bool CLayerInstrumentLink::SelectProgram(const CVeyEntityId& id)
{
    // The program values go through the handlers; the caller flushes.
    return m_context.SelectProgram(id, false, true);
}

void CLayerInstrumentLink::MarkReservedRead()
{
    // The temporary patch is the only one whose data is read again on return.
    CReadReserved::GetInstance().Mark(0);
}

bool CLayerInstrumentLink::RequestCurrentPatchName()
{
    AReader* reader = m_context.GetReader();
    return reader && reader->RequestCurrentPatchName();
}

bool CLayerInstrumentLink::RequestUserPatchNames(int32_t bank, int32_t first, int32_t count)
{
    AReader* reader = m_context.GetReader();
    return reader && reader->RequestUserPatchNames(bank, first, count);
}

bool CLayerInstrumentLink::RequestWrite()
{
    AReader* reader = m_context.GetReader();
    return reader && reader->RequestWrite();
}
