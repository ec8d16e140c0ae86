#include "midi/framework/CVeyFunctorRegistry.h"

#include "platform/Clock.h"

CVeyFunctorRegistry& CVeyFunctorRegistry::GetInstance()
{
    static CVeyFunctorRegistry registry;
    return registry;
}

CVeyFunctorRegistry::CVeyFunctorRegistry()
{
    Register("RequestRq1Dt1", &FVeyRequestRq1Dt1::GetInstance());
    Register("SendDt1", &FVeySendDt1::GetInstance());
    Register("SendRq1", &FVeySendRq1::GetInstance());
}

bool CVeyFunctorRegistry::Register(const std::string& name, IVeyFunctor* functor)
{
    if (!functor)
        return false;
    return m_functors.emplace(name, functor).second;
}

std::string CVeyFunctorRegistry::Invoke(const std::string& name, const std::string& argument, int32_t delay)
{
    const auto found = m_functors.find(name);
    if (found == m_functors.end())
        return std::string();
    if (delay == kRunNow)
    {
        std::string result;
        found->second->Run(result, argument);
        return result;
    }
    m_queue.push_back({GetTickCount() + static_cast<uint32_t>(delay), name, found->second, argument});
    return std::string();
}

void CVeyFunctorRegistry::RunDueCalls()
{
    std::list<CCall> taken;
    taken.swap(m_queue);
    for (auto call = taken.begin(); call != taken.end();)
    {
        // Due once the tick has moved past the due tick (compared across the wrap).
        if (TickDifference(GetTickCount(), call->due) > 0)
        {
            std::string result;
            call->functor->Run(result, call->argument);
            call = taken.erase(call);
        }
        else
        {
            ++call;
        }
    }
    m_queue.splice(m_queue.begin(), taken);
}
