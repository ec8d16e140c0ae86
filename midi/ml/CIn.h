#pragma once
// A buffered MIDI input. The driver's callback only stores 32-bit event words in a lock-free ring
// and wakes the worker; the worker thread drains the ring, takes the returned system-exclusive
// buffers in order and calls the handlers, and sleeps while the ring is empty. The handlers run on
// the worker thread: they must not touch GUI state.
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
    // has been through its handler. Used by callers that must see everything received up to now.
    bool WaitUntilHandled(DWORD timeoutMs);
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

private:
    static void Callback(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);
    bool QueuePacket();
    bool DispatchOne();
    void TakeReturnedPackets(bool isError);
    void Work();
    // Wakes the worker: an event is in the ring, or the input stops.
    void WakeWorker();

    // The worker's sleep and the handover wait: the flag and the counters are read under the
    // mutex, so no wake-up is lost between a check and a wait.
    std::mutex m_wakeMutex;
    std::condition_variable m_workerWake;
    std::condition_variable m_handledWake;
    bool m_wakePending = false;

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
