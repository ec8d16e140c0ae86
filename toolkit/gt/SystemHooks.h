#pragma once
// Small process-wide hooks of the toolkit: the handler of volume arrival and removal, the memory
// tracking guard, and the names of the inter-process messages.
#include <cstdint>
#include <string>
#include <vector>

namespace GT
{
class IDeviceChangeHandler
{
public:
    enum EVolumeChange
    {
        kArrival = 0,
        kRemoval = 1
    };

    virtual ~IDeviceChangeHandler() = default;
    // A volume arrived or went away; `drive` is a letter and a colon. True when handled.
    virtual bool OnVolumeChange(int change, const std::string& drive);

    // The do-nothing handler.
    static IDeviceChangeHandler& GetDefault();
    // The handler in use: the installed one, otherwise the default.
    static IDeviceChangeHandler& GetCurrent();
    // Installs `handler` (not owned; null returns to the default).
    static void Install(IDeviceChangeHandler* handler);
};

// A scope during which the debug heap would not track allocations; it has no effect here.
class CMemoryTrackingDisabler
{
public:
    virtual ~CMemoryTrackingDisabler() = default;
};

class CInterProcessCommunicator
{
public:
    // A party that answers requests of another process: request bytes in, reply bytes out.
    class IReceiver
    {
    public:
        virtual ~IReceiver() = default;
        virtual void OnReceive(const std::vector<uint8_t>& request, std::vector<uint8_t>& reply) = 0;
        virtual bool IsReceiving() const { return true; }
    };

    static std::string GetMessageNameS() { return "InterProcessCommunicatorS"; }
    static std::string GetMessageNameA() { return "InterProcessCommunicatorA"; }
};
}
