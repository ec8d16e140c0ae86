#include "editor/instrument/CWriter.h"

#include "editor/instrument/AReader.h"
#include "editor/instrument/CEditContext.h"
#include "editor/instrument/UserPatchAddresses.h"
#include "midi/framework/CVeyMidi.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyStruct.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/Progress.h"
#include "toolkit/ul/Cursor.h"

#include <ostream>

bool CWriter::WriteStruct(CVeyStruct& s) { return WriteStruct(s, 0); }

bool CWriter::WriteStruct(CVeyStruct& s, int32_t offset)
{
    if (const std::vector<uint8_t>* data = s.GetData())
    {
        if (m_progress)
            m_progress->Step();
        return SendDt1(CVeyAddress(s.GetAbsoluteAddressRange().begin + offset), *data);
    }
    if (CVeyStructList* children = s.GetChildStructs())
        for (const auto& child : *children)
            if (!child || !WriteStruct(*child, offset))
                return false;
    return true;
}

bool CWriter::WritePatch() { return m_bound.pat && WriteStruct(*m_bound.pat); }

bool CWriter::WriteGroups(uint8_t mask)
{
    const CInstrumentBindings& b = m_bound;
    if ((mask & CBufferCounter::kSetup) && !WriteStruct(*b.setup))
        return false;
    if ((mask & CBufferCounter::kSystem) && !WriteStruct(*b.system))
        return false;
    if ((mask & CBufferCounter::kPatch) && !WritePatch())
        return false;
    if ((mask & CBufferCounter::kPatchDirect) && !WriteStruct(*b.pat))
        return false;
    return true;
}

bool CWriter::WritePatchTo(const CVeyEntityId& id)
{
    UL::CWaitCursor wait;
    const int slot = id.GetKey3() * UserPatchArea::kSlotsPerBank + id.GetNumber();
    if (id.GetKey1() != 0 || id.GetKey2() != 0 || id.GetKey3() < 0 || id.GetNumber() < 0 ||
        id.GetNumber() >= UserPatchArea::kSlotsPerBank || slot >= UserPatchArea::kSlotCount)
        return false;
    const CInstrumentBindings& b = m_bound;
    // Every block of the patch goes to the slot: the same distance from the slot's begin as from
    // the temporary patch's. The struct's own addresses are not touched, so nothing is left
    // moved if a send fails.
    const int32_t offset = UserPatchArea::SlotAddress(slot) - b.pat->GetAbsoluteAddressRange().begin;
    const bool written = WriteStruct(*b.pat, offset);
    if (!written)
        return false;

    CVeyEntityManager& entities = m_entities;
    if (CVeyEntityManager::IBank* bank = entities.FindBank(id))
    {
        CVeyEntityManager::IInformation& information = bank->GetInformation(bank->IndexOfEntityId(id));
        if (b.patchCategory)
            information.SetCategory(b.patchCategory->GetNumber());
        if (b.patchName)
            information.SetName(b.patchName->GetText());
    }
    m_context.SelectProgram(id, false, true);
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.Flush();
    buffers.UpdateViews();
    buffers.ClearChanges();
    buffers.UpdateViews();
    return true;
}

bool CWriter::ExportSmf(std::ostream& out, uint8_t mask)
{
    UL::CWaitCursor wait;
    if (!m_file.Begin())
        return false;
    CVeyMidiOut* port = GetMidiOut();
    if (!port || !m_file.BeginTrack())
        return false;
    const std::vector<CVeyMidiOutDevice*> kept = port->GetDevices();
    port->DetachAllDevices();
    port->AttachDevice(&m_file);
    GT::IProgress* progress = m_progress;
    m_progress = nullptr;
    const bool written = WriteGroups(mask);
    m_progress = progress;
    port->DetachAllDevices();
    for (CVeyMidiOutDevice* device : kept)
        port->AttachDevice(device);
    if (!written || !m_file.EndTrack())
        return false;
    m_file.End();
    const ML::Bytes& image = m_file.GetImage();
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    out.flush();
    return static_cast<bool>(out);
}
