#include "midi/ml/CIn.h"

#include <chrono>

namespace ML
{
namespace
{
constexpr uint32_t kQueuedPackets = CIn::CPacketRing::kSize / 4;
}

void CIn::ARing::Clear()
{
    m_read.store(0);
    m_write.store(0);
}

CIn::CEventRing::CEventRing()
{
    for (auto& slot : m_slots)
        slot.store(kEmpty, std::memory_order_relaxed);
}

bool CIn::CEventRing::Push(int32_t word)
{
    const uint32_t write = m_write.load(std::memory_order_relaxed);
    const uint32_t next = Next(write);
    if (next == m_read.load(std::memory_order_acquire))
        return false;
    m_slots[write].store(word, std::memory_order_relaxed);
    m_write.store(next, std::memory_order_release);
    return true;
}

int32_t CIn::CEventRing::Pop()
{
    const uint32_t read = m_read.load(std::memory_order_relaxed);
    if (read == m_write.load(std::memory_order_acquire))
        return kEmpty;
    const int32_t word = m_slots[read].exchange(kEmpty, std::memory_order_relaxed);
    m_read.store(Next(read), std::memory_order_release);
    return word;
}

void CIn::CEventRing::Clear()
{
    ARing::Clear();
    for (auto& slot : m_slots)
        slot.store(kEmpty, std::memory_order_relaxed);
}

CIn::CIn() : m_events(std::make_unique<CEventRing>()), m_packets(std::make_unique<CPacketRing>())
{
}

CIn::~CIn()
{
    Close();
}

bool CIn::Open(const std::string& name)
{
    Close();
    m_running.store(false);
    return OpenByName(name, &CIn::Callback, reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
}

void CIn::Callback(HMIDIIN, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR)
{
    auto* self = reinterpret_cast<CIn*>(instance);
    if (!self->m_running.load(std::memory_order_acquire))
        return;
    int32_t word;
    switch (message)
    {
    case MIM_DATA:
        word = static_cast<int32_t>(param1 & 0xFFFFFF);
        break;
    case MIM_LONGDATA:
        word = kLongData;
        break;
    case MIM_OPEN:
        word = kOpen;
        break;
    case MIM_CLOSE:
        word = kClose;
        break;
    case MIM_ERROR:
        word = kError;
        break;
    case MIM_LONGERROR:
        word = kLongError;
        break;
    case MIM_MOREDATA:
        word = kMoreData;
        break;
    default:
        return;
    }
    if (self->m_events->Push(word))
        self->m_pushed.fetch_add(1, std::memory_order_release);
    else
    {
        self->m_overruns.fetch_add(1, std::memory_order_relaxed);
        if (word == kLongData || word == kLongError)
            self->m_lostPackets.fetch_add(1, std::memory_order_release);
    }
    // The mutex is held only to check the flags: never for long.
    self->WakeConsumer();
}

void CIn::WakeWorker()
{
    {
        std::lock_guard<std::mutex> lock(m_wakeMutex);
        m_wakePending = true;
    }
    m_workerWake.notify_one();
}

void CIn::WakeConsumer()
{
    bool toClaimant = false;
    {
        std::lock_guard<std::mutex> lock(m_wakeMutex);
        if (!m_claimed)
            m_wakePending = true;
        else if (m_arrivalSignalled)
            return;   // the claiming thread has been told and has not handled yet
        else
            m_arrivalSignalled = toClaimant = true;
    }
    // Outside the lock: the claiming thread may have let go meanwhile, and then a wake it no
    // longer waits for costs it one early return at most.
    if (toClaimant)
        OnArrival();
    else
        m_workerWake.notify_one();
}

void CIn::ClaimArrivals()
{
    std::lock_guard<std::mutex> lock(m_wakeMutex);
    m_claimed = true;
    m_arrivalSignalled = false;
}

bool CIn::HandleArrivals()
{
    std::lock_guard<std::mutex> handlers(m_handlerMutex);
    {
        // Cleared before the ring is read: an event pushed while it is read calls OnArrival
        // again rather than waiting unseen.
        std::lock_guard<std::mutex> lock(m_wakeMutex);
        m_arrivalSignalled = false;
    }
    if (!m_running.load(std::memory_order_acquire))
        return false;
    return HandleAll();
}

void CIn::ReleaseArrivals()
{
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(m_wakeMutex);
        m_claimed = false;
        m_arrivalSignalled = false;
        // A callback that saw the claim had counted its event before taking the mutex, so an
        // event left in the ring shows here; one that comes later wakes the worker itself.
        if (m_pushed.load() != m_handled.load())
        {
            m_wakePending = true;
            wake = true;
        }
    }
    if (wake)
        m_workerWake.notify_one();
}

bool CIn::QueuePacket()
{
    const uint32_t index = m_packets->WriteIndex();
    CPacket& packet = m_packets->At(index);
    MIDIHDR* header = packet.GetHeader();
    if (!(MidiHeaderFlags(header) & MHDR_PREPARED))
        return false;
    m_packets->AdvanceWrite();
    header->dwBytesRecorded = 0;
    return AddBuffer(header);
}

bool CIn::Start()
{
    if (m_running.load())
        return true;
    // A restarted input starts its rings afresh: the driver has handed every buffer back.
    m_events->Clear();
    m_packets->Clear();
    m_pushed.store(0);
    m_handled.store(0);
    m_lostPackets.store(0);
    m_running.store(true, std::memory_order_release);
    for (uint32_t i = 0; i < CPacketRing::kSize; ++i)
    {
        MIDIHDR* header = m_packets->At(i).GetHeader();
        header->dwFlags = 0;
        header->dwBufferLength = CPacket::kSize;
        header->dwBytesRecorded = 0;
        if (!PrepareHeader(header))
        {
            // Stop undoes what was prepared and clears the running flag, so a later Start tries
            // again instead of reporting an input that does not run.
            Stop();
            return false;
        }
    }
    for (uint32_t i = 0; i < kQueuedPackets; ++i)
    {
        if (!QueuePacket())
        {
            Stop();
            return false;
        }
    }
    if (!CMMIn::Start())
    {
        Stop();
        return false;
    }
    m_worker = std::make_unique<std::thread>(&CIn::Work, this);
    return true;
}

bool CIn::Stop()
{
    if (!m_running.load())
        return true;
    m_running.store(false, std::memory_order_release);
    WakeWorker();
    m_handledWake.notify_all();
    CMMIn::Stop();
    CMMIn::Reset();
    // The worker only drains and hands on, so it ends within one idle pause; it is always joined,
    // never abandoned, because the rings and packets it reads are freed after this.
    if (m_worker)
    {
        m_worker->join();
        m_worker.reset();
    }
    for (uint32_t i = 0; i < CPacketRing::kSize; ++i)
    {
        MIDIHDR* header = m_packets->At(i).GetHeader();
        if (MidiHeaderFlags(header) & MHDR_PREPARED)
            UnprepareHeader(header);
    }
    return true;
}

bool CIn::Close()
{
    Stop();
    return CMMIn::Close();
}

bool CIn::HandleAll()
{
    bool any = false;
    while (DispatchOne())
        any = true;
    return any;
}

void CIn::Work()
{
    while (m_running.load(std::memory_order_acquire))
    {
        {
            std::lock_guard<std::mutex> handlers(m_handlerMutex);
            HandleAll();
        }
        // The ring is empty: sleep until the callback has put something in it (or the input
        // stops, or a claim ends with events left). A word pushed after the ring was found empty
        // has set the flag, so it is not slept through.
        std::unique_lock<std::mutex> lock(m_wakeMutex);
        m_workerWake.wait(lock, [this] { return m_wakePending || !m_running.load(std::memory_order_acquire); });
        m_wakePending = false;
    }
    std::lock_guard<std::mutex> handlers(m_handlerMutex);
    HandleAll();
}

// Takes the packet of one long-data event, and before it those whose events were lost to a full
// ring: the driver returns buffers in the order they were added, so the packets stay in step
// with the events.
void CIn::TakeReturnedPackets(bool isError)
{
    uint32_t count = 1 + m_lostPackets.exchange(0, std::memory_order_acquire);
    while (count-- > 0 && m_packets->ReadIndex() != m_packets->WriteIndex())
    {
        CPacket& packet = m_packets->At(m_packets->ReadIndex());
        MIDIHDR* header = packet.GetHeader();
        if (!(MidiHeaderFlags(header) & MHDR_DONE))
            break;
        m_packets->AdvanceRead();
        if (header->dwBytesRecorded == 0)
            continue;
        if (isError)
            OnLongError(packet.GetData(), header->dwBytesRecorded);
        else
            OnLongMessage(packet.GetData(), header->dwBytesRecorded);
        if (m_running.load(std::memory_order_acquire))
            QueuePacket();
    }
}

bool CIn::DispatchOne()
{
    const int32_t word = m_events->Pop();
    switch (word)
    {
    case kEmpty:
        return false;
    case kLongData:
        TakeReturnedPackets(false);
        break;
    case kLongError:
        TakeReturnedPackets(true);
        break;
    case kOpen:
        OnOpen();
        break;
    case kClose:
        OnClose();
        break;
    case kError:
        OnError();
        break;
    case kMoreData:
        OnMoreData();
        break;
    default:
        OnShortMessage(static_cast<DWORD>(word));
        break;
    }
    // Both sequentially consistent, against WaitUntilHandled's registration and check: either
    // its check sees the new count, or this sees the waiter.
    m_handled.fetch_add(1);
    if (m_handledWaiters.load() > 0)
    {
        {
            // Taken after the count moved, so a waiter that saw the old count is already waiting.
            std::lock_guard<std::mutex> lock(m_wakeMutex);
        }
        m_handledWake.notify_all();
    }
    return true;
}

bool CIn::WaitUntilHandled(DWORD timeoutMs)
{
    const uint32_t target = m_pushed.load(std::memory_order_acquire);
    const auto handled = [&] { return static_cast<int32_t>(m_handled.load() - target) >= 0; };
    std::unique_lock<std::mutex> lock(m_wakeMutex);
    m_handledWaiters.fetch_add(1);
    // Woken by the worker after each event it hands on, not by polling.
    m_handledWake.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return handled() || !m_running.load(std::memory_order_acquire); });
    m_handledWaiters.fetch_sub(1);
    return handled();
}
}
