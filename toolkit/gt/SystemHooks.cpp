#include "toolkit/gt/SystemHooks.h"

#include <atomic>

namespace GT
{
namespace
{
std::atomic<IDeviceChangeHandler*>& Installed()
{
    static std::atomic<IDeviceChangeHandler*> handler{nullptr};
    return handler;
}
}

bool IDeviceChangeHandler::OnVolumeChange(int, const std::string&)
{
    return false;
}

IDeviceChangeHandler& IDeviceChangeHandler::GetDefault()
{
    static IDeviceChangeHandler handler;
    return handler;
}

IDeviceChangeHandler& IDeviceChangeHandler::GetCurrent()
{
    IDeviceChangeHandler* handler = Installed().load();
    return handler ? *handler : GetDefault();
}

void IDeviceChangeHandler::Install(IDeviceChangeHandler* handler)
{
    Installed().store(handler);
}
}
