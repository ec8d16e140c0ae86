#include "tests/support/SimulatedInstrument.h"

#include "platform/Clock.h"
#include "platform/VirtualMidiBackend.h"
#include "tests/support/VirtualClock.h"

namespace
{
constexpr BYTE kManufacturer = 0x41;
constexpr BYTE kDataSet = 0x12;
constexpr BYTE kRequest = 0x11;
constexpr BYTE kEveryDevice = 0x7F;
}

CSimulatedInstrument::CSimulatedInstrument(std::vector<CRange> memoryMap, BYTE deviceId,
                                           std::vector<BYTE> modelId, int addressSize)
    : m_deviceId(deviceId), m_modelId(std::move(modelId)), m_addressSize(addressSize)
{
    for (const CRange& range : memoryMap)
        m_memory[range.begin] = range.contents.empty() ? std::vector<BYTE>(range.size, range.fill) : range.contents;
}

void CSimulatedInstrument::SetTransport(FSend send, FSchedule schedule)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_send = std::move(send);
    m_schedule = std::move(schedule);
}

void CSimulatedInstrument::AttachTo(CVirtualMidiBackend& backend, const std::string& name,
                                    CVirtualClock* clock)
{
    backend.AddOutput(name, [this](const std::vector<BYTE>& bytes) { Receive(bytes); });
    backend.AddInput(name);
    FSchedule schedule;
    if (clock)
        schedule = [clock](DWORD delay, std::function<void()> action) { clock->After(delay, std::move(action)); };
    SetTransport([&backend, name](const std::vector<BYTE>& bytes) { backend.Send(name, bytes); }, schedule);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_presence = [&backend, name](bool present) { backend.SetPresent(name, present); };
}

void CSimulatedInstrument::Receive(const std::vector<BYTE>& bytes)
{
    std::vector<std::vector<BYTE>> replies;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_present)
            return;
        m_received.push_back({::GetTickCount(), bytes});
        if (bytes.size() >= 6 && bytes.front() == 0xF0 && bytes.back() == 0xF7)
        {
            if (bytes[1] == kManufacturer)
                HandleVantor(bytes, replies);
            else if (bytes[1] == 0x7E)
                HandleUniversal(bytes, replies);
        }
    }
    Emit(std::move(replies));
}

void CSimulatedInstrument::HandleVantor(const std::vector<BYTE>& bytes, std::vector<std::vector<BYTE>>& replies)
{
    const size_t header = 3 + m_modelId.size();   // F0, manufacturer, device ID, model ID
    const size_t minimum = header + 1 + m_addressSize + 2;
    if (bytes.size() < minimum || bytes[2] != m_deviceId)
        return;
    if (!std::equal(m_modelId.begin(), m_modelId.end(), bytes.begin() + 3))
        return;
    const size_t addressAt = header + 1;
    const size_t payloadAt = addressAt + m_addressSize;
    const size_t sumAt = bytes.size() - 2;
    for (size_t i = 1; i < sumAt; ++i)
        if (bytes[i] >= 0x80)
            return;
    if (Checksum(bytes.data() + addressAt, sumAt - addressAt) != bytes[sumAt])
        return;
    const uint32_t address = AddressNumber(bytes.data() + addressAt, m_addressSize);
    const BYTE command = bytes[header];
    if (command == kDataSet)
    {
        std::vector<BYTE> data(bytes.begin() + payloadAt, bytes.begin() + sumAt);
        m_dataSets.push_back({::GetTickCount(), bytes});
        if (WriteLocked(address, data))
            OnDataSetStored(address, static_cast<uint32_t>(data.size()));
        return;
    }
    if (command != kRequest || sumAt - payloadAt != static_cast<size_t>(m_addressSize))
        return;
    m_requests.push_back({::GetTickCount(), bytes});
    const uint32_t size = AddressNumber(bytes.data() + payloadAt, m_addressSize);
    std::vector<std::vector<BYTE>> special;
    std::vector<BYTE> data;
    const bool answered = AnswerRequest(address, size, special);
    if (!answered && !ReadLocked(address, size, data))
        return;
    if (m_dropReplies > 0)
    {
        --m_dropReplies;
        return;
    }
    if (answered)
    {
        replies.insert(replies.end(), special.begin(), special.end());
        return;
    }
    switch (m_fault)
    {
    case EReplyFault::None:
        replies.push_back(MakeDataSet(address, data, m_deviceId));
        break;
    case EReplyFault::BadChecksum:
    {
        std::vector<BYTE> reply = MakeDataSet(address, data, m_deviceId);
        reply[reply.size() - 2] = (reply[reply.size() - 2] + 1) & 0x7F;
        replies.push_back(reply);
        break;
    }
    case EReplyFault::OneByteShort:
        if (!data.empty())
            data.pop_back();
        replies.push_back(MakeDataSet(address, data, m_deviceId));
        break;
    case EReplyFault::OneByteLong:
        data.push_back(0);
        replies.push_back(MakeDataSet(address, data, m_deviceId));
        break;
    case EReplyFault::SplitInTwo:
    {
        const size_t half = data.size() / 2;
        replies.push_back(MakeDataSet(address, std::vector<BYTE>(data.begin(), data.begin() + half), m_deviceId));
        replies.push_back(MakeDataSet(address + static_cast<uint32_t>(half),
                                      std::vector<BYTE>(data.begin() + half, data.end()), m_deviceId));
        break;
    }
    case EReplyFault::Duplicated:
        replies.push_back(MakeDataSet(address, data, m_deviceId));
        replies.push_back(replies.back());
        break;
    case EReplyFault::WrongDeviceId:
        replies.push_back(MakeDataSet(address, data, static_cast<BYTE>((m_deviceId + 1) & 0x7F)));
        break;
    }
}

bool CSimulatedInstrument::ReadLocked(uint32_t address, uint32_t size, std::vector<BYTE>& data) const
{
    for (const auto& [begin, block] : m_memory)
    {
        if (address >= begin && size <= block.size() && address - begin <= block.size() - size)
        {
            data.assign(block.begin() + (address - begin), block.begin() + (address - begin + size));
            return true;
        }
    }
    return false;
}

bool CSimulatedInstrument::WriteLocked(uint32_t address, const std::vector<BYTE>& data)
{
    for (auto& [begin, block] : m_memory)
    {
        if (address >= begin && data.size() <= block.size() && address - begin <= block.size() - data.size())
        {
            std::copy(data.begin(), data.end(), block.begin() + (address - begin));
            return true;
        }
    }
    return false;
}

void CSimulatedInstrument::HandleUniversal(const std::vector<BYTE>& bytes, std::vector<std::vector<BYTE>>& replies)
{
    // Identity Request: F0 7E dev 06 01 F7, to this device or to every device.
    if (bytes.size() != 6 || bytes[3] != 0x06 || bytes[4] != 0x01)
        return;
    if (bytes[2] != m_deviceId && bytes[2] != kEveryDevice)
        return;
    std::vector<BYTE> reply = IdentityReply();
    switch (m_identity)
    {
    case EIdentity::Normal:
        break;
    case EIdentity::Silent:
        return;
    case EIdentity::WrongFamily:
        reply[6] = 0x3D;
        break;
    case EIdentity::Short:
        reply.erase(reply.end() - 2);
        break;
    case EIdentity::Long:
        reply.insert(reply.end() - 1, 0x00);
        break;
    }
    replies.push_back(reply);
}

void CSimulatedInstrument::Spoil(std::vector<std::vector<BYTE>>& replies, std::vector<std::vector<BYTE>>& late)
{
    std::vector<std::vector<BYTE>> sent;
    for (std::vector<BYTE>& reply : replies)
    {
        if (m_unreliableOneIn == 0 || m_random() % m_unreliableOneIn != 0 || reply.size() < 4)
        {
            sent.push_back(std::move(reply));
            continue;
        }
        ++m_spoiled;
        // Inside the message: after F0, before F7.
        const auto inside = [this, &reply] { return 1 + m_random() % (reply.size() - 2); };
        switch (m_random() % 5)
        {
        case 0:   // lost
            break;
        case 1:   // twice
            sent.push_back(reply);
            sent.push_back(std::move(reply));
            break;
        case 2:   // past the wait
            late.push_back(std::move(reply));
            break;
        case 3:   // cut short: the end of the message lost, its last byte ends it
            reply.erase(reply.begin() + static_cast<std::ptrdiff_t>(inside()), reply.end() - 1);
            sent.push_back(std::move(reply));
            break;
        default:   // one byte garbled
            reply[inside()] = static_cast<BYTE>(m_random() & 0x7F);
            sent.push_back(std::move(reply));
            break;
        }
    }
    replies = std::move(sent);
}

void CSimulatedInstrument::Emit(std::vector<std::vector<BYTE>> replies)
{
    if (replies.empty())
        return;
    FSend send;
    FSchedule schedule;
    DWORD delay = 0;
    DWORD lateDelay = 0;
    std::vector<std::vector<BYTE>> late;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        send = m_send;
        schedule = m_schedule;
        delay = m_replyDelay;
        lateDelay = delay + m_lateMs;
        Spoil(replies, late);
    }
    if (!send)
        return;
    const auto sendLater = [this, &send, &schedule](DWORD after, std::vector<std::vector<BYTE>> messages) {
        if (messages.empty())
            return;
        schedule(after, [this, send, messages] {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (!m_present)
                    return;
            }
            for (const std::vector<BYTE>& message : messages)
                send(message);
        });
    };
    if (schedule)
        sendLater(lateDelay, std::move(late));
    if (delay > 0 && schedule)
    {
        sendLater(delay, std::move(replies));
        return;
    }
    for (const std::vector<BYTE>& reply : replies)
        send(reply);
}

void CSimulatedInstrument::SendDataSet(uint32_t address, const std::vector<BYTE>& data)
{
    SendRaw(MakeDataSet(address, data, m_deviceId));
}

void CSimulatedInstrument::SendRaw(const std::vector<BYTE>& bytes)
{
    FSend send;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        send = m_send;
    }
    if (send)
        send(bytes);
}

bool CSimulatedInstrument::Read(uint32_t address, uint32_t size, std::vector<BYTE>& data) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return ReadLocked(address, size, data);
}

bool CSimulatedInstrument::Write(uint32_t address, const std::vector<BYTE>& data)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return WriteLocked(address, data);
}

void CSimulatedInstrument::SetReplyDelay(DWORD milliseconds)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_replyDelay = milliseconds;
}

void CSimulatedInstrument::DropNextReplies(int count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_dropReplies = count;
}

void CSimulatedInstrument::SetReplyFault(EReplyFault fault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fault = fault;
}

void CSimulatedInstrument::SetUnreliable(uint32_t seed, uint32_t oneIn, DWORD lateMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_random.seed(seed);
    m_unreliableOneIn = oneIn;
    m_lateMs = lateMs;
}

int CSimulatedInstrument::GetSpoiledReplyCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_spoiled;
}

void CSimulatedInstrument::SetIdentity(EIdentity identity)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_identity = identity;
}

void CSimulatedInstrument::SetPresent(bool present)
{
    std::function<void(bool)> presence;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_present = present;
        presence = m_presence;
    }
    if (presence)
        presence(present);
}

std::vector<CSimulatedInstrument::CLogEntry> CSimulatedInstrument::GetReceived() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

std::vector<CSimulatedInstrument::CLogEntry> CSimulatedInstrument::GetAcceptedDataSets() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dataSets;
}

std::vector<CSimulatedInstrument::CLogEntry> CSimulatedInstrument::GetAcceptedRequests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void CSimulatedInstrument::ClearLogs()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.clear();
    m_dataSets.clear();
    m_requests.clear();
}

std::vector<BYTE> CSimulatedInstrument::AddressBytes(uint32_t address, int addressSize)
{
    std::vector<BYTE> bytes;
    for (int i = addressSize - 1; i >= 0; --i)
        bytes.push_back(static_cast<BYTE>((address >> (7 * i)) & 0x7F));
    return bytes;
}

uint32_t CSimulatedInstrument::AddressNumber(const BYTE* bytes, int addressSize)
{
    uint32_t number = 0;
    for (int i = 0; i < addressSize; ++i)
        number = (number << 7) | (bytes[i] & 0x7F);
    return number;
}

BYTE CSimulatedInstrument::Checksum(const BYTE* bytes, size_t count)
{
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<BYTE>((0x80 - (sum & 0x7F)) & 0x7F);
}

std::vector<BYTE> CSimulatedInstrument::MakeDataSet(uint32_t address, const std::vector<BYTE>& data,
                                                    BYTE deviceId) const
{
    std::vector<BYTE> message{0xF0, kManufacturer, deviceId};
    message.insert(message.end(), m_modelId.begin(), m_modelId.end());
    message.push_back(kDataSet);
    const size_t summed = message.size();
    const std::vector<BYTE> addressBytes = AddressBytes(address, m_addressSize);
    message.insert(message.end(), addressBytes.begin(), addressBytes.end());
    message.insert(message.end(), data.begin(), data.end());
    message.push_back(Checksum(message.data() + summed, message.size() - summed));
    message.push_back(0xF7);
    return message;
}

std::vector<BYTE> CSimulatedInstrument::MakeRequest(uint32_t address, uint32_t size) const
{
    std::vector<BYTE> message{0xF0, kManufacturer, m_deviceId};
    message.insert(message.end(), m_modelId.begin(), m_modelId.end());
    message.push_back(kRequest);
    const size_t summed = message.size();
    for (uint32_t number : {address, size})
    {
        const std::vector<BYTE> bytes = AddressBytes(number, m_addressSize);
        message.insert(message.end(), bytes.begin(), bytes.end());
    }
    message.push_back(Checksum(message.data() + summed, message.size() - summed));
    message.push_back(0xF7);
    return message;
}

std::vector<BYTE> CSimulatedInstrument::IdentityReply() const
{
    return {0xF0, 0x7E, m_deviceId, 0x06, 0x02, kManufacturer, 0x3C, 0x02, 0x01, 0x00,
            0x00, 0x01, 0x00, 0x00, 0xF7};
}
