#include "platform/Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace
{
class CSystemClock final : public IClock
{
public:
    DWORD GetTickCount() override
    {
        const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
        return static_cast<DWORD>(static_cast<uint64_t>(ms));
    }

    void Sleep(DWORD milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

// Never destroyed: code that runs during static destruction (closing MIDI devices) still asks the time.
CSystemClock& SystemClock()
{
    static CSystemClock& clock = *new CSystemClock;
    return clock;
}

std::atomic<IClock*>& CurrentClock()
{
    static std::atomic<IClock*> current{&SystemClock()};
    return current;
}
}

IClock* SetClock(IClock* clock)
{
    IClock* previous = CurrentClock().exchange(clock ? clock : &SystemClock());
    return previous == &SystemClock() ? nullptr : previous;
}

bool UsesSystemClock()
{
    return CurrentClock().load() == &SystemClock();
}

DWORD GetTickCount()
{
    return CurrentClock().load()->GetTickCount();
}

void Sleep(DWORD milliseconds)
{
    CurrentClock().load()->Sleep(milliseconds);
}
