#pragma once
// The instrument at the far side of a MIDI connection, for tests: it answers the Identity
// Request, answers data requests (RQ1) from its memory with data sets (DT1), stores the data sets
// it receives, and logs everything with the tick at which it arrived. Its memory is a table of
// address ranges; addresses and sizes are 7-bit packed numbers, as on the wire. Switches make it
// answer late, never, with a bad checksum, with a wrong length or in two pieces, or vanish; or
// misbehave at random, as a failing cable or instrument does over a long session.
#include "platform/Win32Types.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

class CVirtualClock;
class CVirtualMidiBackend;

class CSimulatedInstrument
{
public:
    struct CRange
    {
        uint32_t begin;      // packed address number: 10 00 00 00 is 0x2000000
        uint32_t size;       // bytes
        BYTE fill = 0;       // initial contents
        std::vector<BYTE> contents = {};   // initial contents instead of `fill` when not empty
    };

    enum class EReplyFault
    {
        None,
        BadChecksum,
        OneByteShort,
        OneByteLong,
        SplitInTwo,
        Duplicated,      // the same answer twice
        WrongDeviceId,   // the answer carries the next device ID
    };

    enum class EIdentity
    {
        Normal,
        Silent,
        WrongFamily,
        Short,     // 14 bytes
        Long,      // 16 bytes
    };

    struct CLogEntry
    {
        DWORD tick;
        std::vector<BYTE> bytes;
    };

    using FSend = std::function<void(const std::vector<BYTE>& bytes)>;
    using FSchedule = std::function<void(DWORD delay, std::function<void()> action)>;

    explicit CSimulatedInstrument(std::vector<CRange> memoryMap, BYTE deviceId = 0x10,
                                  std::vector<BYTE> modelId = {0x00, 0x00, 0x3C}, int addressSize = 4);
    virtual ~CSimulatedInstrument() = default;

    // Where the instrument's own messages go, and how it waits (null: answers go out at once).
    void SetTransport(FSend send, FSchedule schedule = nullptr);
    // Connects it to a virtual backend: the program's output `name` reaches the instrument and the
    // program's input `name` carries its answers; delays run on `clock`.
    void AttachTo(CVirtualMidiBackend& backend, const std::string& name, CVirtualClock* clock);

    // A message from the program.
    void Receive(const std::vector<BYTE>& bytes);

    // Sends a data set on its own, as when a knob on the instrument is turned.
    void SendDataSet(uint32_t address, const std::vector<BYTE>& data);
    void SendRaw(const std::vector<BYTE>& bytes);

    bool Read(uint32_t address, uint32_t size, std::vector<BYTE>& data) const;
    bool Write(uint32_t address, const std::vector<BYTE>& data);

    void SetReplyDelay(DWORD milliseconds);
    // The next `count` data requests get no answer at all.
    void DropNextReplies(int count);
    void SetReplyFault(EReplyFault fault);
    void SetIdentity(EIdentity identity);
    // A vanished instrument neither answers nor stores anything, and its ports leave the MIDI
    // system when it is attached to a virtual backend.
    void SetPresent(bool present);
    // From now on one reply in `oneIn` (0: none) is dropped, sent twice, sent `lateMs` late (with
    // a schedule), cut short or garbled, each chosen at random from `seed`: the same seed gives
    // the same misbehaviour for the same conversation.
    void SetUnreliable(uint32_t seed, uint32_t oneIn, DWORD lateMs);
    // How many replies were spoiled so far.
    int GetSpoiledReplyCount() const;

    std::vector<CLogEntry> GetReceived() const;
    // The data sets and requests it accepted, in order.
    std::vector<CLogEntry> GetAcceptedDataSets() const;
    std::vector<CLogEntry> GetAcceptedRequests() const;
    void ClearLogs();

    // Wire helpers shared with the tests.
    static std::vector<BYTE> AddressBytes(uint32_t address, int addressSize);
    static uint32_t AddressNumber(const BYTE* bytes, int addressSize);
    std::vector<BYTE> MakeDataSet(uint32_t address, const std::vector<BYTE>& data, BYTE deviceId) const;
    std::vector<BYTE> MakeRequest(uint32_t address, uint32_t size) const;
    std::vector<BYTE> IdentityReply() const;
    static BYTE Checksum(const BYTE* bytes, size_t count);

protected:
    // What a particular instrument does beyond storing and answering, called with the lock held:
    // after a data set was stored at [address, address + size), and for a data request before the
    // memory answers it (true when the request was answered here).
    virtual void OnDataSetStored(uint32_t /*address*/, uint32_t /*size*/) {}
    virtual bool AnswerRequest(uint32_t /*address*/, uint32_t /*size*/, std::vector<std::vector<BYTE>>& /*replies*/)
    {
        return false;
    }
    // Memory access for those hooks (the lock is already held).
    bool ReadLocked(uint32_t address, uint32_t size, std::vector<BYTE>& data) const;
    bool WriteLocked(uint32_t address, const std::vector<BYTE>& data);
    BYTE GetDeviceId() const { return m_deviceId; }
    mutable std::mutex m_mutex;

private:
    void HandleVantor(const std::vector<BYTE>& bytes, std::vector<std::vector<BYTE>>& replies);
    void HandleUniversal(const std::vector<BYTE>& bytes, std::vector<std::vector<BYTE>>& replies);
    void Emit(std::vector<std::vector<BYTE>> replies);
    // The replies as the unreliable instrument sends them: now, and `late` after a delay.
    void Spoil(std::vector<std::vector<BYTE>>& replies, std::vector<std::vector<BYTE>>& late);

    BYTE m_deviceId;
    std::vector<BYTE> m_modelId;
    int m_addressSize;
    std::map<uint32_t, std::vector<BYTE>> m_memory;   // range begin -> bytes
    FSend m_send;
    FSchedule m_schedule;
    std::function<void(bool)> m_presence;
    DWORD m_replyDelay = 0;
    int m_dropReplies = 0;
    EReplyFault m_fault = EReplyFault::None;
    EIdentity m_identity = EIdentity::Normal;
    bool m_present = true;
    uint32_t m_unreliableOneIn = 0;
    DWORD m_lateMs = 0;
    std::mt19937 m_random;
    int m_spoiled = 0;
    std::vector<CLogEntry> m_received;
    std::vector<CLogEntry> m_dataSets;
    std::vector<CLogEntry> m_requests;
};
