#include "editor/instrument/AReader.h"

#include "editor/instrument/CEditContext.h"
#include "editor/instrument/UserPatchAddresses.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/ml/CLongMessage.h"
#include "midi/ml/CSmfReader.h"
#include "midi/ml/CVantorMessage.h"
#include "midi/ml/IdentityMessage.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyStruct.h"
#include "model/CVeyValue.h"
#include "platform/Clock.h"
#include "toolkit/gt/Timeout.h"
#include "toolkit/ul/Cursor.h"

#include <algorithm>
#include <istream>

namespace
{
constexpr size_t kIdentityReplySize = 15;
constexpr uint8_t kVantor = 0x41;
// The size field of the write request: 5A 00 7F 7F.
constexpr int32_t kWriteRequestSize = (0x5A << 21) | (0x00 << 14) | (0x7F << 7) | 0x7F;
constexpr size_t kWriteCompleteSize = 7;

// Collects the data sets of a file meant for this instrument; everything else is passed over.
class CDataSetCollector : public ML::CSmfMemoryReader
{
public:
    CDataSetCollector(const ML::Bytes& image, const CVeyMidiOut& port, GT::IProgress* progress)
        : CSmfMemoryReader(image), m_port(port), m_progress(progress)
    {
    }

    std::vector<ML::CVantorMessage> dataSets;

protected:
    size_t Read(uint8_t* out, size_t offset, size_t count) override
    {
        if (m_progress)
            m_progress->SetPos(static_cast<int32_t>(offset));
        return CSmfMemoryReader::Read(out, offset, count);
    }

    bool OnSysex(uint32_t, const ML::CSysexView& message) override
    {
        if (message.size() < 2 || message[0] != 0xF0 || message[1] != kVantor)
            return true;
        ML::CVantorMessage dataSet;
        if (!dataSet.Parse(message.ToBytes(), m_port.GetAddressSize()))
            return true;
        if (dataSet.GetManufacturerId() != static_cast<uint8_t>(m_port.GetManufacturerId()) ||
            dataSet.GetModelId() != m_port.GetModelId() || dataSet.GetDeviceId() != m_port.GetDeviceId() ||
            dataSet.GetCommand() != ML::CVantorMessage::Dt1Command() || dataSet.GetChecksum() < 0 ||
            dataSet.GetChecksum() != dataSet.ComputeChecksum())
            return true;
        dataSets.push_back(dataSet);
        return true;
    }

private:
    const CVeyMidiOut& m_port;
    GT::IProgress* m_progress;
};
}

// ---- CVantorMessageHandler

void CVantorMessageHandler::Register(const CVeyAddressRange& range, FHandler handler)
{
    m_handlers.emplace(range, std::move(handler));
}

bool CVantorMessageHandler::Dispatch(const ML::CVantorMessage& message) const
{
    int32_t address = 0;
    if (!CVeyAddress::ParseBytes(message.GetAddress(), address))
        return false;
    for (const auto& [range, handler] : m_handlers)
        if (range.Contains(address))
            return handler(message);
    return false;
}

// ---- CReadReserved

CReadReserved& CReadReserved::GetInstance()
{
    static CReadReserved reserved;
    return reserved;
}

void CReadReserved::Mark(int index)
{
    if (index >= 0 && static_cast<size_t>(index) < m_marks.size())
        m_marks[static_cast<size_t>(index)] = true;
}

bool CReadReserved::IsMarked(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_marks.size() && m_marks[static_cast<size_t>(index)];
}

void CReadReserved::Reset()
{
    m_flag = false;
    m_marks.assign(m_marks.size(), false);
}

// ---- CBufferCounter

int32_t CBufferCounter::CountBlocks(const CVeyStruct* s)
{
    if (!s)
        return -1;
    const CVeyStructList* children = s->GetChildStructs();
    if (!children)
        return 1;
    int32_t count = 0;
    for (const auto& child : *children)
    {
        const int32_t blocks = CountBlocks(child.get());
        if (blocks < 0)
            return -1;
        count += blocks;
    }
    return count;
}

int32_t CBufferCounter::CountGroups(const CInstrumentBindings& bound, const CEditContext& context, uint8_t mask)
{
    const CInstrumentBindings& b = bound;
    int32_t count = 0;
    auto add = [&count](const CVeyStruct* s) {
        const int32_t blocks = CountBlocks(s);
        if (blocks < 0 || count < 0)
            count = -1;
        else
            count += blocks;
    };
    if (mask & kSetup)
        add(b.setup);
    if (mask & kSystem)
        add(b.system);
    if ((mask & kPatch) && context.IsCurrentUserPatch())
        add(b.pat);
    if (mask & kPatchDirect)
        add(b.pat);
    return count;
}

// ---- AReader

AReader::AReader(const CInstrumentBindings& bound, CEditContext& context, CVeyEntityManager& entities)
    : m_bound(bound), m_context(context), m_entities(entities), m_handler(std::make_shared<CVantorMessageHandler>())
{
    m_handler->Register(CVeyAddressRange(UserPatchArea::kBase, UserPatchArea::kEnd),
                        [this](const ML::CVantorMessage& message) { return OnUserPatchName(message); });
    const CInstrumentBindings& b = bound;
    if (b.writeStart)
        m_handler->Register(b.writeStart->GetAbsoluteAddressRange(),
                            [this](const ML::CVantorMessage&) { return m_pending == EPending::kWrite && GetState() == kWaitingForDt1; });
    if (b.writeComplete)
        m_handler->Register(b.writeComplete->GetAbsoluteAddressRange(),
                            [this](const ML::CVantorMessage& message) { return OnWriteComplete(message); });
}

AReader::~AReader() = default;

uint8_t AReader::GetDeviceId() const { return GetMidiOut() ? GetMidiOut()->GetDeviceId() : CVeyMidi::kDefaultDeviceId; }

bool AReader::RequestIdentity()
{
    m_identifiedModel = -1;
    if (!SendAndWait(ML::MakeIdentityRequest(GetDeviceId())))
        return false;
    if (m_identifiedModel != -1)
        return true;
    ShowMessage(kFailureMessage);
    return false;
}

bool AReader::OnLongMessage(const ML::CLongMessage& message)
{
    if (GetState() != kWaitingForReply)
        return false;
    if (message.size() != kIdentityReplySize || message[2] != GetDeviceId() || message[3] != 0x06 || message[4] != 0x02 ||
        message[5] != kVantor)
        return false;
    if (message[6] == kAcceptedFamily[0] && message[7] == kAcceptedFamily[1])
    {
        m_identifiedModel = 0;
        return CVeyMidiRequester::OnLongMessage(message);
    }
    // Another instrument of the maker: the wait ends at once, and the caller says so.
    SetState(kReplyReceived);
    return false;
}

bool AReader::CheckRegularTone()
{
    const CInstrumentBindings& b = m_bound;
    CEditContext& context = m_context;
    if (!RequestValue(*b.kbdPatchBankSelectMsb, m_progress))
        return false;
    if (!context.IsNotRegular() && !RequestValue(*b.kbdPatchBankSelectLsb, m_progress))
        return false;
    if (!context.IsNotRegular())
        return true;
    ShowMessage(InstrumentMessage::kNotRegular);
    return false;
}

bool AReader::RequestPatch()
{
    if (!m_context.IsCurrentUserPatch())
        return false;
    return RequestStruct(*m_bound.pat, m_progress);
}

bool AReader::RequestGroups(uint8_t mask)
{
    const CInstrumentBindings& b = m_bound;
    if ((mask & CBufferCounter::kSetup) && !RequestStruct(*b.setup, m_progress))
        return false;
    if ((mask & CBufferCounter::kSystem) && !RequestStruct(*b.system, m_progress))
        return false;
    if ((mask & CBufferCounter::kPatch) && !RequestPatch())
        return false;
    return true;
}

bool AReader::RequestCurrentPatchName()
{
    const CVeyValue* name = m_bound.patchName;
    if (!GetMidiOut() || !name)
        return true;
    const CVeyAddressRange range = name->GetAbsoluteAddressRange();
    GetMidiOut()->SendRq1(CVeyAddress(range.begin), CVeyAddress(range.GetSize()));
    return true;
}

bool AReader::QuietRequest(const CVeyAddress& address, int32_t size)
{
    CVeyMidiIn* in = GetMidiIn();
    CVeyMidiOut* out = GetMidiOut();
    if (!in || !out)
        return false;
    GT::CTimeoutTable timeouts;
    constexpr long kWaitKey = 0;
    for (int32_t attempt = 0; attempt < GetAttempts(); ++attempt)
    {
        SetState(kWaitingForDt1);
        out->SendRq1(address, CVeyAddress(size));
        timeouts.Start(kWaitKey, static_cast<uint32_t>(GetTimeout()));
        while (!timeouts.IsExpired(kWaitKey))
        {
            const DWORD before = GetTickCount();
            in->PollDevice();
            if (GetState() == kDt1Received)
            {
                SetState(kIdle);
                return true;
            }
            if (GetTickCount() == before)
                Sleep(1);
        }
    }
    SetState(kIdle);
    return false;
}

bool AReader::RequestUserPatchNames(int bank, int first, int count)
{
    if (first < 0 || count < 0)
        return false;
    if (bank < 0 || bank >= CInstrumentBindings::kUserBankCount)
        return true;
    // A bank has 32 slots: the names asked for stay inside it.
    if (first >= UserPatchArea::kSlotsPerBank)
        return false;
    count = std::min(count, UserPatchArea::kSlotsPerBank - first);
    const CInstrumentBindings& b = m_bound;
    const int32_t nameSize = b.patchName ? b.patchName->GetAbsoluteAddressRange().GetSize() : 0;
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    for (int i = 0; i < count; ++i)
    {
        const int slot = bank * UserPatchArea::kSlotsPerBank + first + i;
        m_pending = EPending::kName;
        m_pendingAddress = UserPatchArea::SlotAddress(slot) + UserPatchArea::kNameOffset;
        const bool answered = QuietRequest(CVeyAddress(m_pendingAddress), nameSize);
        m_pending = EPending::kNone;
        if (!answered)
            return false;
        if (CVeyValue* current = b.patchNameListCurrentNumber)
        {
            buffers.SetValue(current, current->GetNumber());
            buffers.UpdateViews();
            buffers.ClearChanges();
        }
    }
    return true;
}

bool AReader::OnUserPatchName(const ML::CVantorMessage& message)
{
    if (GetState() != kWaitingForDt1 || m_pending != EPending::kName)
        return false;
    int32_t address = 0;
    if (!CVeyAddress::ParseBytes(message.GetAddress(), address) || address != m_pendingAddress)
        return false;
    const int slot = (address - UserPatchArea::kBase) / UserPatchArea::kStride;
    const CVeyValue* nameValue = m_bound.patchName;
    const size_t nameSize = nameValue ? static_cast<size_t>(nameValue->GetAbsoluteAddressRange().GetSize()) : 0;
    const ML::Bytes data = message.GetData();
    if (slot < 0 || slot >= UserPatchArea::kSlotCount || nameSize == 0 || data.size() < nameSize)
        return false;
    // A zero byte ends the name; a short one is padded with blanks.
    std::string name(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(nameSize));
    name.erase(std::min(name.find('\0'), name.size()));
    if (name.size() < 12)
        name.resize(12, ' ');
    const CVeyEntityId id(0, 0, slot / UserPatchArea::kSlotsPerBank, slot % UserPatchArea::kSlotsPerBank);
    if (CVeyEntityManager::IBank* bank = m_entities.FindBank(id))
        bank->GetInformation(bank->IndexOfEntityId(id)).SetName(name);
    SetState(kDt1Received);
    return true;
}

bool AReader::RequestWrite()
{
    UL::CWaitCursor wait;
    const int32_t timeout = GetTimeout();
    const int32_t attempts = GetAttempts();
    SetTimeout(kWriteTimeout);
    SetAttempts(1);
    m_writeAnswer = -1;
    m_writeCompleted = false;
    const CVeyValue* request = m_bound.writeRequest;
    m_pending = EPending::kWrite;
    if (request)
        m_writeCompleted = Request(CVeyAddress(request->GetAbsoluteAddressRange().begin), kWriteRequestSize);
    else
        ShowMessage(kFailureMessage);
    m_pending = EPending::kNone;
    SetTimeout(timeout);
    SetAttempts(attempts);
    return true;
}

bool AReader::OnWriteComplete(const ML::CVantorMessage& message)
{
    if (GetState() != kWaitingForDt1 || m_pending != EPending::kWrite)
        return false;
    const ML::Bytes data = message.GetData();
    if (data.size() != kWriteCompleteSize || data[3] != 0x5A || data[4] != 0x00 || data[5] != 0x7F)
        return false;
    m_writeAnswer = 0;
    SetState(kDt1Received);
    return true;
}

bool AReader::OnDt1(const ML::CVantorMessage& message)
{
    if (m_handler->Dispatch(message))
        return true;
    return CVeyMidiRequester::OnDt1(message);
}

bool AReader::ReadSmf(std::istream& in)
{
    UL::CWaitCursor wait;
    CVeyMidiOut* port = GetMidiOut();
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (!in || length < 0 || static_cast<uint64_t>(length) > kMaxSmfSize)
        return false;
    in.seekg(0, std::ios::beg);
    m_fileBytes.assign(static_cast<size_t>(length), 0);
    if (length > 0 && (!in.read(reinterpret_cast<char*>(m_fileBytes.data()), length) || in.gcount() != length))
        return false;
    if (!port)
        return false;
    // Nothing is applied before the whole file has been parsed: a file that breaks off half way
    // leaves the model and the instrument as they were.
    CDataSetCollector collector(m_fileBytes, *port, m_progress);
    if (!collector.Parse())
        return false;
    CVeyRootStruct* root = dynamic_cast<CVeyRootStruct*>(m_bound.fm);
    for (const ML::CVantorMessage& dataSet : collector.dataSets)
    {
        if (root)
            root->ReceiveDt1(dataSet.GetAddress(), dataSet.GetData());
        port->SendToDevices(ML::Bytes(dataSet.begin(), dataSet.end()));
    }
    return true;
}
