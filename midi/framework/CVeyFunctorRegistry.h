#pragma once
// The named functors by name, and the calls queued to run later, at idle time.
#include "midi/framework/VeyFunctors.h"

#include <cstdint>
#include <list>
#include <map>
#include <string>

class CVeyFunctorRegistry
{
public:
    static constexpr int32_t kRunNow = -1;

    // The registry, with "RequestRq1Dt1", "SendDt1" and "SendRq1" registered.
    static CVeyFunctorRegistry& GetInstance();

    // False when the name is taken (the first functor stays). The functor is not owned.
    bool Register(const std::string& name, IVeyFunctor* functor);
    // kRunNow runs the functor at once and returns its result; any other delay, 0 included,
    // queues the call for GetTickCount() + delay and returns an empty result. Unknown names
    // run nothing.
    std::string Invoke(const std::string& name, const std::string& argument, int32_t delay);
    // Runs the queued calls that are due; called at idle time. Calls queued meanwhile wait for
    // the next idle time.
    void RunDueCalls();

    size_t GetQueuedCount() const { return m_queue.size(); }

private:
    CVeyFunctorRegistry();

    struct CCall
    {
        uint32_t due;
        std::string name;
        IVeyFunctor* functor;
        std::string argument;
    };

    std::map<std::string, IVeyFunctor*> m_functors;
    std::list<CCall> m_queue;
};
