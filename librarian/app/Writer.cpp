#include "librarian/app/Writer.h"

#include "librarian/app/ParameterAddress.h"
#include "librarian/app/ParameterArray.h"
#include "librarian/app/Patch.h"
#include "librarian/app/Reader.h"
#include "toolkit/gt/SafeFile.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/ml/CVantorMessage.h"
#include "toolkit/ul/Cursor.h"

#include <ostream>

ETransferResult CWriter::SendBlocks(int area, const std::vector<int>& indices, const CParameterArray& patches,
                                    GT::IProgress* progress, const FSendBlock& send)
{
    CTransferProgress shown(progress, static_cast<int32_t>(indices.size()));
    for (int index : indices)
    {
        shown.StepPatch();
        CParameterAddress patchAddress;
        if (index < 0 || static_cast<size_t>(index) >= patches.GetSize() ||
            !PatchAddressing::GetPatchAddress(area, index, patchAddress))
            continue;
        const CParameter& patch = patches[static_cast<size_t>(index)];
        const size_t partCount = patch.GetParts().size();
        for (int part = 0; part < CPatch::kPartCount && static_cast<size_t>(part) < partCount; ++part)
        {
            const CPatch::CPartLayout& layout = *CPatch::GetPartLayout(part);
            // Only the layout's blocks: a block beyond them would land on the next part's address.
            const size_t heldBlocks = patch.GetParts()[static_cast<size_t>(part)].size();
            for (int block = 0; block < layout.blockCount && static_cast<size_t>(block) < heldBlocks; ++block)
            {
                if (!shown.BeginBlock(DescribeBlock(area, index, layout.code, block)))
                    return kTransferCancelled;
                const std::vector<uint8_t> data = PatchAddressing::GetBlockData(patch, part, block);
                if (data.empty())
                    continue;
                const CParameterAddress address = PatchAddressing::GetBlockAddress(patchAddress, part, block);
                if (!send(address.ToBytes(), data))
                    return kTransferFailed;
            }
        }
    }
    return kTransferDone;
}

bool CWriter::Write(int area, const std::vector<int>& indices, const CParameterArray& patches)
{
    m_lastResult = kTransferFailed;
    if (!m_checker || !m_checker->CheckInstrument())
        return false;
    m_lastResult = SendBlocks(area, indices, patches, m_progress,
                              [this](const std::vector<uint8_t>& address, const std::vector<uint8_t>& data) {
                                  CVeyAddress wire;
                                  wire.SetFromBytes(address);
                                  return SendDt1(wire, data);
                              });
    return m_lastResult == kTransferDone;
}

std::vector<uint8_t> CWriter::MakeDataSet(const std::vector<uint8_t>& address, const std::vector<uint8_t>& data) const
{
    ML::CVantorMessage message;
    message.SetManufacturerId(GetMidiOut()->GetManufacturerId());
    message.SetDeviceId(GetMidiOut()->GetDeviceId());
    message.SetModelId(ML::Bytes(std::begin(kModelId), std::end(kModelId)));
    message.SetCommand(ML::CVantorMessage::Dt1Command());
    message.SetAddress(address);
    message.SetData(data);
    message.UpdateChecksum();
    return message;
}

bool CWriter::ExportSmf(std::ostream& out, int area, const std::vector<int>& indices, const CParameterArray& patches)
{
    UL::CWaitCursor wait;
    m_lastResult = kTransferFailed;
    // The device ID of the file's messages is the output port's.
    if (!GetMidiOut() || !m_smf.Begin() || !m_smf.BeginTrack())
        return false;
    // The file writer spaces the events itself: 0 before the first, then each message's wire
    // time and the instrument's pause after the one before.
    const ETransferResult result =
        SendBlocks(area, indices, patches, nullptr,
                   [this](const std::vector<uint8_t>& address, const std::vector<uint8_t>& data) {
                       return m_smf.Send(MakeDataSet(address, data));
                   });
    if (result != kTransferDone || !m_smf.EndTrack() || m_smf.End() == 0)
        return false;
    const ML::Bytes& image = m_smf.GetImage();
    if (!out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size())) ||
        !out.flush())
        return false;
    m_lastResult = kTransferDone;
    return true;
}

bool CWriter::ExportSmfFile(const std::string& path, int area, const std::vector<int>& indices,
                            const CParameterArray& patches)
{
    m_lastResult = kTransferFailed;
    const bool saved = GT::SaveFileAtomically(
        path, [&](std::ostream& out) { return ExportSmf(out, area, indices, patches); });
    if (!saved)
        m_lastResult = kTransferFailed;
    return saved;
}
