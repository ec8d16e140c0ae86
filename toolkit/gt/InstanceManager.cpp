#include "toolkit/gt/InstanceManager.h"

#include "platform/InstanceChannel.h"
#include "platform/Profile.h"

#include <memory>

namespace GT
{
namespace
{
// How long a second instance waits for the first one to take its request.
constexpr int kHandOverTimeoutMs = 5000;

struct SInstanceState
{
    std::unique_ptr<CInstanceChannel> channel;
    std::string name;
    std::string folder;
    CInstanceManager::RequestHandler handler;
    bool ready = false;

    void Connect()
    {
        if (channel && channel->IsFirst())
            channel->SetHandler(ready ? handler : CInstanceManager::RequestHandler());
    }
};

// The channel lives for the process, like the shared block it stands for, so later starts find it
// after the manager object of the start-up routine is gone.
SInstanceState& State()
{
    static SInstanceState state;
    return state;
}
}

CInstanceManager::CInstanceManager(const std::string& applicationName, const std::string& request)
{
    SInstanceState& state = State();
    const std::string name = "InstanceManager" + (applicationName.empty() ? GetApplicationName() : applicationName);
    if (!state.channel || state.name != name)
    {
        state.channel.reset();
        state.channel = std::make_unique<CInstanceChannel>(name, state.folder);
        state.name = name;
        state.ready = false;
    }
    m_first = state.channel->IsFirst();
    if (!m_first)
        m_handedOver = state.channel->Send(request, kHandOverTimeoutMs);
}

CInstanceManager::~CInstanceManager()
{
    SetMainWindow();
}

void CInstanceManager::SetMainWindow()
{
    if (!m_first)
        return;
    SInstanceState& state = State();
    state.ready = true;
    state.Connect();
}

void CInstanceManager::SetRequestHandler(RequestHandler handler)
{
    SInstanceState& state = State();
    state.handler = std::move(handler);
    state.Connect();
}

void CInstanceManager::SetChannelFolder(const std::string& folder)
{
    State().folder = folder;
}

bool CInstanceManager::WaitForRequests(size_t count, int timeoutMs)
{
    SInstanceState& state = State();
    return state.channel && state.channel->IsFirst() && state.channel->WaitForReceived(count, timeoutMs);
}

void CInstanceManager::Close()
{
    SInstanceState& state = State();
    state.channel.reset();
    state.name.clear();
    state.ready = false;
}
}
