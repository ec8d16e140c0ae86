#pragma once
// A buffered MIDI input. The driver's callback only stores 32-bit event words in a lock-free ring
// and wakes the worker; the worker thread drains the ring, takes the returned system-exclusive
// buffers in order and calls the handlers, and sleeps while the ring is empty. A thread that waits
// for input may claim the handlers' work meanwhile (ClaimArrivals), so the callback wakes it
// directly instead of waking the worker that would then wake it. The handlers run on the worker
// thread or on the claiming one, never on two at once and always in arrival order; they must not
// touch GUI state, nor stop the input.
#include "midi/ml/CMMDevice.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace ML
{
class CIn : public CMMIn
{
public:
    // Event words; any other word is a packed short message.
    static constexpr int32_t kEmpty = -1;
    static constexpr int32_t kLongData = -2;
    static constexpr int32_t kOpen = -3;
    static constexpr int32_t kClose = -4;
    static constexpr int32_t kError = -5;
    static constexpr int32_t kLongError = -6;
    static constexpr int32_t kMoreData = -7;

    // Read and write indexes of a ring with one producer and one consumer; equal means empty.
    class ARing
    {
    public:
        virtual ~ARing() = default;
        virtual uint32_t GetSize() const = 0;
        uint32_t Next(uint32_t index) const { return (index + 1) % GetSize(); }
        void Clear();

    protected:
        std::atomic<uint32_t> m_read{0};
        std::atomic<uint32_t> m_write{0};
    };

    class CEventRing final : public ARing
    {
    public:
        static constexpr uint32_t kSize = 2048;
        CEventRing();
        uint32_t GetSize() const override { return kSize; }
        // Producer side; false (the word is lost) when the ring is full, since the callback
        // must not wait.
        bool Push(int32_t word);
        // Consumer side; kEmpty when there is nothing to read.
        int32_t Pop();
        void Clear();

    private:
        std::atomic<int32_t> m_slots[kSize];
    };

    class CPacketRing final : public ARing
    {
    public:
        static constexpr uint32_t kSize = 128;
        uint32_t GetSize() const override { return kSize; }
        CPacket& At(uint32_t index) { return m_packets[index]; }
        // The packet to hand to the driver next, and the one it will return next.
        uint32_t WriteIndex() const { return m_write.load(std::memory_order_acquire); }
        uint32_t ReadIndex() const { return m_read.load(std::memory_order_acquire); }
        void AdvanceWrite() { m_write.store(Next(m_write.load()), std::memory_order_release); }
        void AdvanceRead() { m_read.store(Next(m_read.load()), std::memory_order_release); }

    private:
        CPacket m_packets[kSize];
    };

    CIn();
    // A derived class that fills handlers must call Close in its own destructor, so the worker
    // thread has ended before the derived part goes.
    ~CIn() override;

    bool Open(const std::string& name);
    // False when the input could not be started; it is then stopped, and Start may be tried again.
    bool Start();
    bool Stop();
    bool Close();

    bool IsRunning() const { return m_running.load(); }
    // Waits, up to `timeoutMs` of real time, until every event the driver has delivered so far
    // has been through its handler. Used by callers that must see everything received up to now;
    // not while the caller holds a claim, since the worker leaves claimed events alone.
    bool WaitUntilHandled(DWORD timeoutMs);

    // A running input's events go to the calling thread until ReleaseArrivals: the callback calls
    // OnArrival at the first event after the claim (and after each HandleArrivals) instead of
    // waking the worker, and HandleArrivals runs the handlers on the calling thread. Events the
    // worker was woken for before the claim, it still handles.
    void ClaimArrivals();
    // Hands every event delivered so far to its handler, on the calling thread; true when there
    // was any. Waits while the worker is in the middle of handling.
    bool HandleArrivals();
    // Gives the events back to the worker, waking it for any that came after the last
    // HandleArrivals.
    void ReleaseArrivals();
    // Events lost because the ring was full.
    uint32_t GetOverrunCount() const { return m_overruns.load(); }

protected:
    virtual void OnOpen() {}
    virtual void OnClose() {}
    virtual void OnShortMessage(DWORD /*message*/) {}
    virtual void OnLongMessage(const BYTE* /*data*/, DWORD /*count*/) {}
    virtual void OnError() {}
    virtual void OnLongError(const BYTE* /*data*/, DWORD /*count*/) {}
    virtual void OnMoreData() {}
    // On the driver's thread, while a claim is held: an event has arrived for the claiming
    // thread. Must return quickly.
    virtual void OnArrival() {}

private:
    static void Callback(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);
    bool QueuePacket();
    bool DispatchOne();
    void TakeReturnedPackets(bool isError);
    void Work();
    // Handles every event in the ring; the caller holds m_handlerMutex.
    bool HandleAll();
    // Wakes the worker: an event is in the ring, or the input stops.
    void WakeWorker();
    // The callback's wake-up: the claiming thread's when there is a claim, else the worker's.
    void WakeConsumer();

    // Held while handlers run, by the worker or by a claiming thread: one at a time, in order.
    std::mutex m_handlerMutex;
    // The worker's sleep, the claim and the handover wait: the flags and the counters are read
    // under the mutex, so no wake-up is lost between a check and a wait.
    std::mutex m_wakeMutex;
    std::condition_variable m_workerWake;
    std::condition_variable m_handledWake;
    bool m_wakePending = false;
    bool m_claimed = false;
    bool m_arrivalSignalled = false;   // OnArrival was called since the claim or the last handling
    // Threads in WaitUntilHandled: the worker takes the mutex to wake them only when there are any.
    std::atomic<uint32_t> m_handledWaiters{0};

    std::unique_ptr<std::thread> m_worker;
    std::atomic<bool> m_running{false};
    std::unique_ptr<CEventRing> m_events;
    std::unique_ptr<CPacketRing> m_packets;
    std::atomic<uint32_t> m_pushed{0};
    std::atomic<uint32_t> m_handled{0};
    std::atomic<uint32_t> m_overruns{0};
    std::atomic<uint32_t> m_lostPackets{0};   // long-data events lost to a full ring
};
}
