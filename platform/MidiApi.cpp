#include "platform/MidiApi.h"

#include "platform/Clock.h"
#include "platform/MidiBackend.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <mutex>
#include <set>
#include <thread>
#include <type_traits>
#include <vector>

namespace
{
void OrFlags(MIDIHDR* header, DWORD set, DWORD clear)
{
    const DWORD flags = __atomic_load_n(&header->dwFlags, __ATOMIC_ACQUIRE);
    __atomic_store_n(&header->dwFlags, (flags & ~clear) | set, __ATOMIC_RELEASE);
}
}

// The handles. An input is its own backend sink: the backend calls it on its thread, and it
// turns what arrives into callback messages and filled buffers, as a Windows driver does.
struct HMIDIIN__ final : public IMidiInputSink
{
    // Held by the backend's thread for as long as it turns an arrival into callbacks, and by Stop,
    // Reset and Close, so that no callback is still running once they return. Taken before
    // `mutex`.
    std::mutex deliveryMutex;
    // Guards everything below; never held during a callback, so the program's thread can hand a
    // filled buffer back (midiInAddBuffer) while the callback that passed it on is still running.
    std::mutex mutex;
    std::unique_ptr<IMidiInputConnection> connection;
    std::string name;
    MIDIINPROC callback = nullptr;
    DWORD_PTR instance = 0;
    bool started = false;
    DWORD startTick = 0;
    std::deque<MIDIHDR*> queue;            // added buffers, returned in this order

    void Notify(UINT message, DWORD_PTR param1, DWORD_PTR param2)
    {
        if (callback)
            callback(this, message, instance, param1, param2);
    }

    void OnShortMessage(DWORD packed) override
    {
        std::lock_guard<std::mutex> delivering(deliveryMutex);
        DWORD timestamp = 0;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!started)
                return;
            timestamp = ::GetTickCount() - startTick;
        }
        Notify(MIM_DATA, packed, timestamp);
    }

    // Fills the queued buffers in order; a message longer than a buffer goes on in the next one.
    // What finds no buffer is lost, as with a driver that was given too few.
    void OnSysex(const BYTE* data, size_t size) override
    {
        std::lock_guard<std::mutex> delivering(deliveryMutex);
        size_t offset = 0;
        while (offset < size)
        {
            MIDIHDR* header = nullptr;
            DWORD timestamp = 0;
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (!started || queue.empty())
                    return;
                header = queue.front();
                queue.pop_front();
                const size_t count = std::min<size_t>(size - offset, header->dwBufferLength);
                std::memcpy(header->lpData, data + offset, count);
                header->dwBytesRecorded = static_cast<DWORD>(count);
                offset += count;
                OrFlags(header, MHDR_DONE, MHDR_INQUEUE);
                timestamp = ::GetTickCount() - startTick;
            }
            Notify(MIM_LONGDATA, reinterpret_cast<DWORD_PTR>(header), timestamp);
        }
    }

    // Hands every queued buffer back as done, without data. Called with deliveryMutex held.
    void ReturnAllBuffers()
    {
        std::deque<MIDIHDR*> returned;
        {
            std::lock_guard<std::mutex> lock(mutex);
            returned.swap(queue);
            for (MIDIHDR* header : returned)
            {
                header->dwBytesRecorded = 0;
                OrFlags(header, MHDR_DONE, MHDR_INQUEUE);
            }
        }
        for (MIDIHDR* header : returned)
            Notify(MIM_LONGDATA, reinterpret_cast<DWORD_PTR>(header), 0);
    }
};

namespace
{
// A lock held for a few instructions at a time (a pending list checked or changed), mostly by one
// thread: cheaper than a mutex when free, and it gives the processor away when it is not soon.
class CSpinLock
{
public:
    void lock()
    {
        for (int tries = 0; m_locked.test_and_set(std::memory_order_acquire); ++tries)
        {
            if (tries >= 64)
                std::this_thread::yield();
        }
    }
    void unlock() { m_locked.clear(std::memory_order_release); }

private:
    std::atomic_flag m_locked = ATOMIC_FLAG_INIT;
};

// What the pending long messages of an output share with the backend's completions, which may
// come after the handle has gone. A completion names its message by a ticket that is never
// given twice, so a late one finds nothing to do, whoever holds the slot by then.
struct COutputState
{
    // An output has one long message in flight, rarely a few: a short list that keeps its
    // capacity costs no allocation per message, as a tree would.
    class CPending
    {
    public:
        bool empty() const { return m_sent.empty(); }
        bool Holds(MIDIHDR* header) const { return Find(header) != m_sent.end(); }
        void Insert(MIDIHDR* header, uint64_t ticket) { m_sent.push_back({header, ticket}); }
        void Erase(MIDIHDR* header)
        {
            const auto found = Find(header);
            if (found != m_sent.end())
                m_sent.erase(found);
        }
        // The header sent under `ticket`, taken off the list, or null when it is no longer on it.
        MIDIHDR* Take(uint64_t ticket)
        {
            for (auto at = m_sent.begin(); at != m_sent.end(); ++at)
            {
                if (at->ticket == ticket)
                {
                    MIDIHDR* header = at->header;
                    m_sent.erase(at);
                    return header;
                }
            }
            return nullptr;
        }
        // Hands every pending header to `done` and empties the list.
        template <typename FDone>
        void TakeAll(FDone done)
        {
            for (const CSent& sent : m_sent)
                done(sent.header);
            m_sent.clear();
        }

    private:
        struct CSent
        {
            MIDIHDR* header;
            uint64_t ticket;
        };
        std::vector<CSent>::const_iterator Find(MIDIHDR* header) const
        {
            return std::find_if(m_sent.begin(), m_sent.end(), [header](const CSent& sent) { return sent.header == header; });
        }
        std::vector<CSent> m_sent;
    };

    CSpinLock lock;
    uint64_t nextTicket = 0;   // guarded by lock
    CPending pending;          // guarded by lock
};

// The states live in slots that are never freed, so a completion needs no reference count to
// find its slot safely; a closed output's slot goes to the next output opened.
std::mutex& OutputSlotMutex()
{
    static std::mutex& mutex = *new std::mutex;
    return mutex;
}

std::vector<COutputState*>& FreeOutputSlots()
{
    static std::vector<COutputState*>& slots = *new std::vector<COutputState*>;
    return slots;
}

COutputState* TakeOutputSlot()
{
    std::lock_guard<std::mutex> lock(OutputSlotMutex());
    std::vector<COutputState*>& free = FreeOutputSlots();
    if (free.empty())
        return new COutputState;
    COutputState* slot = free.back();
    free.pop_back();
    return slot;
}

void ReturnOutputSlot(COutputState* slot)
{
    {
        std::lock_guard<CSpinLock> lock(slot->lock);
        slot->pending.TakeAll([](MIDIHDR*) {});
    }
    std::lock_guard<std::mutex> lock(OutputSlotMutex());
    FreeOutputSlots().push_back(slot);
}
}

struct HMIDIOUT__
{
    HMIDIOUT__() : state(TakeOutputSlot()) {}
    ~HMIDIOUT__() { ReturnOutputSlot(state); }
    HMIDIOUT__(const HMIDIOUT__&) = delete;
    HMIDIOUT__& operator=(const HMIDIOUT__&) = delete;

    std::unique_ptr<IMidiOutputConnection> connection;
    std::string name;
    COutputState* const state;
};

namespace
{
// The registry of open handles is never destroyed: devices still open at exit are closed while
// static objects are destroyed, in an order no one controls.
std::mutex& HandleMutex()
{
    static std::mutex& mutex = *new std::mutex;
    return mutex;
}

std::set<const void*>& LiveHandles()
{
    static std::set<const void*>& handles = *new std::set<const void*>;
    return handles;
}

// Bumped, under the registry's lock, whenever a handle leaves it.
std::atomic<uint64_t> g_departures{0};

// The handles this thread last found live, good while no handle has left the registry since: a
// send checks its handles several times, and the registry's lock is then taken once.
struct CLiveCache
{
    static constexpr size_t kSize = 4;
    const void* handles[kSize];
    uint64_t departures;
    size_t next;
};
thread_local CLiveCache t_live{};

bool IsLive(const void* handle)
{
    if (!handle)
        return false;
    CLiveCache& cache = t_live;
    const uint64_t departures = g_departures.load(std::memory_order_acquire);
    if (cache.departures == departures)
    {
        for (const void* known : cache.handles)
        {
            if (known == handle)
                return true;
        }
    }
    else
    {
        cache = CLiveCache{};
        cache.departures = departures;
    }
    bool live = false;
    {
        std::lock_guard<std::mutex> lock(HandleMutex());
        live = LiveHandles().count(handle) != 0;
    }
    if (live)
    {
        cache.handles[cache.next] = handle;
        cache.next = (cache.next + 1) % CLiveCache::kSize;
    }
    return live;
}

void SetLive(const void* handle, bool live)
{
    std::lock_guard<std::mutex> lock(HandleMutex());
    if (live)
    {
        LiveHandles().insert(handle);
    }
    else
    {
        LiveHandles().erase(handle);
        g_departures.fetch_add(1, std::memory_order_release);
    }
}

template <typename TCaps>
MMRESULT FillCaps(const std::vector<CMidiPortEntry>& ports, UINT_PTR deviceId, TCaps* caps, UINT size)
{
    if (!caps || size < sizeof(TCaps))
        return MMSYSERR_INVALPARAM;
    if (deviceId >= ports.size())
        return MMSYSERR_BADDEVICEID;
    if (!ports[deviceId].capsReadable)
        return MMSYSERR_NODRIVER;
    std::memset(caps, 0, sizeof(TCaps));
    std::strncpy(caps->szPname, ports[deviceId].name.c_str(), MAXPNAMELEN - 1);
    return MMSYSERR_NOERROR;
}

// Asked on every send (is the device still there?): the name is copied, not padded twice.
template <typename TCaps>
void FillCapsName(const std::string& name, TCaps* caps)
{
    std::memset(caps, 0, sizeof(TCaps));
    std::memcpy(caps->szPname, name.data(), std::min<size_t>(std::strlen(name.c_str()), MAXPNAMELEN - 1));
}

// The capabilities of a port by number, or of an open handle passed in its place; the ports are
// listed only when a number is asked for.
template <typename THandle, typename TCaps, typename FPorts>
MMRESULT GetDevCaps(FPorts ports, UINT_PTR deviceId, TCaps* caps, UINT size)
{
    auto* handle = reinterpret_cast<THandle>(deviceId);
    if (!IsLive(handle))
        return FillCaps(ports(), deviceId, caps, size);
    if (!caps || size < sizeof(TCaps))
        return MMSYSERR_INVALPARAM;
    if (!handle->connection->IsPresent())
        return MMSYSERR_NODRIVER;
    FillCapsName(handle->name, caps);
    return MMSYSERR_NOERROR;
}

template <typename THandle>
MMRESULT GetPresence(THandle handle)
{
    if (!IsLive(handle))
        return MMSYSERR_INVALHANDLE;
    return handle->connection->IsPresent() ? MMSYSERR_NOERROR : MMSYSERR_NODRIVER;
}

template <typename THandle>
MMRESULT PrepareHeader(THandle handle, MIDIHDR* header, UINT size)
{
    if (!IsLive(handle))
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(MIDIHDR) || !header->lpData)
        return MMSYSERR_INVALPARAM;
    OrFlags(header, MHDR_PREPARED, 0);
    return MMSYSERR_NOERROR;
}

// Unprepares a header the handle no longer holds; `held` says, under the handle's mutex, whether
// it does. The handle is checked before either is asked.
template <typename THandle, typename FMutex, typename FHeld>
MMRESULT UnprepareHeader(THandle handle, MIDIHDR* header, UINT size, FMutex mutexOf, FHeld held)
{
    if (!IsLive(handle))
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(MIDIHDR))
        return MMSYSERR_INVALPARAM;
    auto& mutex = mutexOf(handle);
    std::lock_guard<std::remove_reference_t<decltype(mutex)>> lock(mutex);
    if (held(header))
        return MIDIERR_STILLPLAYING;
    OrFlags(header, 0, MHDR_PREPARED);
    return MMSYSERR_NOERROR;
}
}

// ---------------------------------------------------------------------------------------------
// Input

UINT midiInGetNumDevs()
{
    return static_cast<UINT>(GetMidiBackend().GetInputPorts().size());
}

MMRESULT midiInGetDevCaps(UINT_PTR deviceId, MIDIINCAPS* caps, UINT size)
{
    return GetDevCaps<HMIDIIN>([] { return GetMidiBackend().GetInputPorts(); }, deviceId, caps, size);
}

MMRESULT midiInGetPresence(HMIDIIN handle) { return GetPresence(handle); }

MMRESULT midiInOpen(HMIDIIN* handle, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance, DWORD flags)
{
    if (!handle)
        return MMSYSERR_INVALPARAM;
    *handle = nullptr;
    if (flags != CALLBACK_FUNCTION && flags != CALLBACK_NULL)
        return MMSYSERR_INVALFLAG;
    IMidiBackend& backend = GetMidiBackend();
    const std::vector<CMidiPortEntry> ports = backend.GetInputPorts();
    if (deviceId >= ports.size())
        return MMSYSERR_BADDEVICEID;

    auto input = std::make_unique<HMIDIIN__>();
    input->name = ports[deviceId].name;
    if (flags == CALLBACK_FUNCTION)
    {
        input->callback = reinterpret_cast<MIDIINPROC>(callback);
        input->instance = instance;
    }
    std::unique_ptr<IMidiInputConnection> connection;
    const MMRESULT result = backend.OpenInput(deviceId, input.get(), connection);
    if (result != MMSYSERR_NOERROR)
        return result;
    if (!connection)
        return MMSYSERR_ERROR;
    {
        std::lock_guard<std::mutex> lock(input->mutex);
        input->connection = std::move(connection);
        input->Notify(MIM_OPEN, 0, 0);
    }
    *handle = input.release();
    SetLive(*handle, true);
    return MMSYSERR_NOERROR;
}

MMRESULT midiInClose(HMIDIIN handle)
{
    if (!IsLive(handle))
        return MMSYSERR_INVALHANDLE;
    std::unique_ptr<IMidiInputConnection> connection;
    {
        std::lock_guard<std::mutex> delivering(handle->deliveryMutex);
        std::lock_guard<std::mutex> lock(handle->mutex);
        if (!handle->queue.empty())
            return MIDIERR_STILLPLAYING;
        handle->started = false;
        connection = std::move(handle->connection);
    }
    // Closing the connection waits for the backend's thread, which may be waiting for the lock.
    connection.reset();
    SetLive(handle, false);
    handle->Notify(MIM_CLOSE, 0, 0);
    delete handle;
    return MMSYSERR_NOERROR;
}

MMRESULT midiInPrepareHeader(HMIDIIN handle, MIDIHDR* header, UINT size) { return PrepareHeader(handle, header, size); }

MMRESULT midiInUnprepareHeader(HMIDIIN handle, MIDIHDR* header, UINT size)
{
    return UnprepareHeader(
        handle, header, size, [](HMIDIIN in) -> std::mutex& { return in->mutex; },
        [](MIDIHDR* queued) { return (MidiHeaderFlags(queued) & MHDR_INQUEUE) != 0; });
}

MMRESULT midiInAddBuffer(HMIDIIN handle, MIDIHDR* header, UINT size)
{
    if (!IsLive(handle))
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(MIDIHDR))
        return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lock(handle->mutex);
    const DWORD flags = MidiHeaderFlags(header);
    if (!(flags & MHDR_PREPARED))
        return MIDIERR_UNPREPARED;
    if (flags & MHDR_INQUEUE)
        return MIDIERR_STILLPLAYING;
    OrFlags(header, MHDR_INQUEUE, MHDR_DONE);
    handle->queue.push_back(header);
    return MMSYSERR_NOERROR;
}

MMRESULT midiInStart(HMIDIIN handle)
{
    if (!IsLive(handle))
        return MMSYSERR_INVALHANDLE;
    std::lock_guard<std::mutex> lock(handle->mutex);
    if (!handle->started)
    {
        handle->started = true;
        handle->startTick = ::GetTickCount();
    }
    return MMSYSERR_NOERROR;
}

MMRESULT midiInStop(HMIDIIN handle)
{
    if (!IsLive(handle))
        return MMSYSERR_INVALHANDLE;
    // Buffers are filled whole, so there is never a partly filled one to hand back here.
    std::lock_guard<std::mutex> delivering(handle->deliveryMutex);
    std::lock_guard<std::mutex> lock(handle->mutex);
    handle->started = false;
    return MMSYSERR_NOERROR;
}

MMRESULT midiInReset(HMIDIIN handle)
{
    if (!IsLive(handle))
        return MMSYSERR_INVALHANDLE;
    std::lock_guard<std::mutex> delivering(handle->deliveryMutex);
    {
        std::lock_guard<std::mutex> lock(handle->mutex);
        handle->started = false;
    }
    handle->ReturnAllBuffers();
    return MMSYSERR_NOERROR;
}

// ---------------------------------------------------------------------------------------------
// Output

UINT midiOutGetNumDevs()
{
    return static_cast<UINT>(GetMidiBackend().GetOutputPorts().size());
}

MMRESULT midiOutGetDevCaps(UINT_PTR deviceId, MIDIOUTCAPS* caps, UINT size)
{
    return GetDevCaps<HMIDIOUT>([] { return GetMidiBackend().GetOutputPorts(); }, deviceId, caps, size);
}

MMRESULT midiOutGetPresence(HMIDIOUT handle) { return GetPresence(handle); }

MMRESULT midiOutOpen(HMIDIOUT* handle, UINT deviceId, DWORD_PTR, DWORD_PTR, DWORD flags)
{
    if (!handle)
        return MMSYSERR_INVALPARAM;
    *handle = nullptr;
    if (flags != CALLBACK_NULL)
        return MMSYSERR_INVALFLAG;   // completion is polled through MHDR_DONE only
    IMidiBackend& backend = GetMidiBackend();
    const std::vector<CMidiPortEntry> ports = backend.GetOutputPorts();
    if (deviceId >= ports.size())
        return MMSYSERR_BADDEVICEID;
    auto output = std::make_unique<HMIDIOUT__>();
    output->name = ports[deviceId].name;
    const MMRESULT result = backend.OpenOutput(deviceId, output->connection);
    if (result != MMSYSERR_NOERROR)
        return result;
    if (!output->connection)
        return MMSYSERR_ERROR;
    *handle = output.release();
    SetLive(*handle, true);
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutClose(HMIDIOUT handle)
{
    if (!IsLive(handle))
        return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard<CSpinLock> lock(handle->state->lock);
        if (!handle->state->pending.empty())
            return MIDIERR_STILLPLAYING;
    }
    SetLive(handle, false);
    delete handle;
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutPrepareHeader(HMIDIOUT handle, MIDIHDR* header, UINT size) { return PrepareHeader(handle, header, size); }

MMRESULT midiOutUnprepareHeader(HMIDIOUT handle, MIDIHDR* header, UINT size)
{
    return UnprepareHeader(
        handle, header, size, [](HMIDIOUT out) -> CSpinLock& { return out->state->lock; },
        [handle](MIDIHDR* sent) { return handle->state->pending.Holds(sent); });
}

MMRESULT midiOutShortMsg(HMIDIOUT handle, DWORD message)
{
    if (!IsLive(handle))
        return MMSYSERR_INVALHANDLE;
    if (!handle->connection->IsPresent())
        return MIDIERR_NODEVICE;
    return handle->connection->SendShort(message) ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}

MMRESULT midiOutLongMsg(HMIDIOUT handle, MIDIHDR* header, UINT size)
{
    if (!IsLive(handle))
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(MIDIHDR))
        return MMSYSERR_INVALPARAM;
    COutputState* state = handle->state;
    uint64_t ticket = 0;
    {
        std::lock_guard<CSpinLock> lock(state->lock);
        const DWORD flags = MidiHeaderFlags(header);
        if (!(flags & MHDR_PREPARED))
            return MIDIERR_UNPREPARED;
        if (state->pending.Holds(header))
            return MIDIERR_NOTREADY;
        if (!handle->connection->IsPresent())
            return MIDIERR_NODEVICE;
        OrFlags(header, MHDR_INQUEUE, MHDR_DONE);
        ticket = state->nextTicket++;
        state->pending.Insert(header, ticket);
    }
    // The completion may come on any thread, at once or after the handle has been closed. Two
    // words, so the function holding it needs no allocation.
    auto done = [state, ticket] {
        std::lock_guard<CSpinLock> lock(state->lock);
        if (MIDIHDR* sent = state->pending.Take(ticket))
            OrFlags(sent, MHDR_DONE, MHDR_INQUEUE);
    };
    if (handle->connection->SendLong(reinterpret_cast<const BYTE*>(header->lpData),
                                     header->dwBufferLength, done))
        return MMSYSERR_NOERROR;
    std::lock_guard<CSpinLock> lock(state->lock);
    if (state->pending.Take(ticket))
        OrFlags(header, 0, MHDR_INQUEUE);
    return MMSYSERR_ERROR;
}

MMRESULT midiOutReset(HMIDIOUT handle)
{
    if (!IsLive(handle))
        return MMSYSERR_INVALHANDLE;
    handle->connection->Reset();
    std::lock_guard<CSpinLock> lock(handle->state->lock);
    handle->state->pending.TakeAll([](MIDIHDR* header) { OrFlags(header, MHDR_DONE, MHDR_INQUEUE); });
    return MMSYSERR_NOERROR;
}
