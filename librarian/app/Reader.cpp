#include "librarian/app/Reader.h"

#include "librarian/app/ParameterAddress.h"
#include "librarian/app/ParameterArray.h"
#include "librarian/app/Patch.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiSetup.h"
#include "midi/ml/CSmfReader.h"
#include "midi/ml/CVantorMessage.h"
#include "midi/ml/IdentityMessage.h"
#include "toolkit/ul/Cursor.h"

#include <fstream>
#include <istream>
#include <set>

namespace
{
constexpr uint8_t kVantor = 0x41;
constexpr uint8_t kFamily[] = {0x3C, 0x02};
const ML::Bytes kModelId = {0x00, 0x00, 0x3C};
constexpr size_t kIdentityReplySize = 15;
constexpr int32_t kToneTypeSize = 2;
constexpr uint8_t kRegularTone = 0x57;

// Marks the reader busy for the length of a transfer and makes sure nothing is stored into the
// caller's patches once it is over.
class CTransferScope
{
public:
    CTransferScope(bool& busy, CParameterArray*& patches) : m_busy(busy), m_patches(patches) { m_busy = true; }
    ~CTransferScope()
    {
        m_patches = nullptr;
        m_busy = false;
    }

private:
    bool& m_busy;
    CParameterArray*& m_patches;
};

struct CDataSet
{
    CParameterAddress address;
    ML::Bytes data;
};

// Collects the data sets of a file that are meant for this instrument; everything else in the
// file is passed over.
class CDataSetCollector : public ML::CSmfMemoryReader
{
public:
    CDataSetCollector(const ML::Bytes& image, uint8_t deviceId) : CSmfMemoryReader(image), m_deviceId(deviceId) {}

    std::vector<CDataSet> dataSets;

protected:
    bool OnSysex(uint32_t, const ML::CSysexView& view) override
    {
        if (view.size() < 2 || view[1] != kVantor)
            return true;
        // In the file the F0 does not lie next to the rest: the message is put together once.
        view.CopyTo(m_message);
        ML::CVantorMessage dataSet;
        if (!dataSet.Parse(m_message, CParameterAddress::kByteCount))
            return true;
        CParameterAddress address;
        if (dataSet.GetManufacturerId() != kVantor || dataSet.GetDeviceId() != m_deviceId ||
            dataSet.GetModelId() != kModelId || dataSet.GetCommand() != ML::CVantorMessage::Dt1Command() ||
            dataSet.GetChecksum() < 0 || dataSet.GetChecksum() != dataSet.ComputeChecksum() ||
            !CParameterAddress::FromBytes(dataSet.GetAddress(), address))
            return true;
        dataSets.push_back({address, dataSet.GetData()});
        return true;
    }

private:
    uint8_t m_deviceId;
    ML::Bytes m_message;
};
}

uint8_t AReader::GetDeviceId() const
{
    return GetMidiOut() ? GetMidiOut()->GetDeviceId() : CVeyMidi::kDefaultDeviceId;
}

bool AReader::CheckInstrument()
{
    return CheckSetUp() && CheckIdentity() && CheckTone();
}

bool AReader::CheckSetUp()
{
    // The reader's own ports must be there too: without them nothing could be asked.
    if (GetMidiIn() && GetMidiOut() && CVeyMidiSetup::GetInstance().IsConnected())
        return true;
    ShowMessage(kMessageNotSetUp);
    return false;
}

bool AReader::CheckIdentity()
{
    m_identityAnswer = -1;
    m_identityDeviceId = GetDeviceId();
    // A failed wait has already said so.
    if (!SendAndWait(ML::MakeIdentityRequest(m_identityDeviceId)))
        return false;
    if (m_identityAnswer == 0)
        return true;
    ShowMessage(kFailureMessage);
    return false;
}

bool AReader::CheckTone()
{
    m_toneAnswer = -1;
    // The request's own result does not matter: only an accepted tone type does.
    Request(CVeyAddress(static_cast<int32_t>(PatchAddressing::kToneType.Get())), kToneTypeSize);
    if (m_toneAnswer == 0)
        return true;
    ShowMessage(kMessageNoRegularTone);
    return false;
}

bool AReader::IsIdentityReply(const ML::CLongMessage& message) const
{
    return message.size() == kIdentityReplySize && message[1] == 0x7E && message[2] == m_identityDeviceId &&
           message[3] == 0x06 && message[4] == 0x02 && message[5] == kVantor;
}

bool AReader::OnLongMessage(const ML::CLongMessage& message)
{
    // Only a reply of the right shape ends the wait; whether it is ours decides the answer.
    if (GetState() != kWaitingForReply || !IsIdentityReply(message))
        return false;
    if (!CVeyMidiRequester::OnLongMessage(message))
        return false;
    if (message[6] == kFamily[0] && message[7] == kFamily[1])
        m_identityAnswer = 0;
    return true;
}

bool AReader::OnDt1(const ML::CVantorMessage& message)
{
    // Only the answer to the current request counts; a data set the instrument sends on its own
    // (a knob turned on it) must not land in a patch.
    if (!CVeyMidiRequester::OnDt1(message))
        return false;
    CParameterAddress address;
    if (!CParameterAddress::FromBytes(message.GetAddress(), address))
        return true;
    const ML::Bytes data = message.GetData();
    if (address == PatchAddressing::kToneType)
    {
        if (data.size() == static_cast<size_t>(kToneTypeSize) && data[0] == kRegularTone && data[1] <= 0x01)
            m_toneAnswer = 0;
        return true;
    }
    if (m_patches)
        PatchAddressing::StoreDataSet(*m_patches, address, data, m_temporaryIndex);
    return true;
}

bool AReader::Read(int area, const std::vector<int>& indices, CParameterArray& patches)
{
    m_lastResult = kTransferFailed;
    // The requester's wait pumps the GUI: a second transfer must not start inside the first.
    if (m_busy)
        return false;
    CTransferScope scope(m_busy, m_patches);
    if (!CheckInstrument())
        return false;
    m_lastResult = ReadPatches(area, indices, patches);
    return m_lastResult == kTransferDone;
}

ETransferResult AReader::ReadPatches(int area, const std::vector<int>& indices, CParameterArray& patches)
{
    CTransferProgress progress(m_progress, static_cast<int32_t>(indices.size()));
    m_patches = &patches;
    m_temporaryIndex = indices.empty() || indices.front() < 0 ? 0 : static_cast<size_t>(indices.front());
    for (int index : indices)
    {
        progress.StepPatch();
        CParameterAddress patchAddress;
        if (index < 0 || static_cast<size_t>(index) >= patches.GetSize() ||
            !PatchAddressing::GetPatchAddress(area, index, patchAddress))
            continue;
        for (int part = 0; part < CPatch::kPartCount; ++part)
        {
            const CPatch::CPartLayout& layout = *CPatch::GetPartLayout(part);
            for (int block = 0; block < layout.blockCount; ++block)
            {
                if (!progress.BeginBlock(DescribeBlock(area, index, layout.code, block)))
                    return kTransferCancelled;
                const CParameterAddress address = PatchAddressing::GetBlockAddress(patchAddress, part, block);
                if (!Request(CVeyAddress(static_cast<int32_t>(address.Get())), layout.blockSize))
                    return kTransferFailed;
            }
        }
    }
    return kTransferDone;
}

bool AReader::ImportSmf(std::istream& in, CParameterArray& patches)
{
    UL::CWaitCursor wait;
    m_lastResult = kTransferFailed;
    m_importedPatches.clear();
    // The length comes from the stream's end; it is checked before anything is allocated.
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (!in || length <= 0 || static_cast<uint64_t>(length) > kMaxImportSize)
        return false;
    in.seekg(0, std::ios::beg);
    ML::Bytes image(static_cast<size_t>(length));
    if (!in.read(reinterpret_cast<char*>(image.data()), length) || in.gcount() != length)
        return false;

    // Nothing is stored before the whole file has been read: a file that breaks off half way
    // leaves the patches as they were.
    CDataSetCollector collector(image, GetDeviceId());
    if (!collector.Parse())
        return false;
    // A readable file with nothing for this instrument (a song, another model's data) changes
    // nothing and is no failure: the result is the file reader's.
    std::set<int> stored;
    for (const CDataSet& dataSet : collector.dataSets)
    {
        PatchAddressing::CLocation location;
        if (PatchAddressing::StoreDataSet(patches, dataSet.address, dataSet.data, 0) &&
            PatchAddressing::Locate(dataSet.address, 0, location))
            stored.insert(static_cast<int>(location.patch));
    }
    m_importedPatches.assign(stored.begin(), stored.end());
    m_lastResult = kTransferDone;
    return true;
}

bool AReader::ImportSmfFile(const std::string& path, CParameterArray& patches)
{
    m_lastResult = kTransferFailed;
    m_importedPatches.clear();
    std::ifstream in(path, std::ios::binary);
    return in && ImportSmf(in, patches);
}
