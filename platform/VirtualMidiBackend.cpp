#include "platform/VirtualMidiBackend.h"

#include <algorithm>
#include <mutex>
#include <set>

namespace
{
struct CEndpoint
{
    std::string name;
    bool isOutput = false;
    CVirtualMidiBackend::FReceiver receiver;   // outputs only
    bool present = true;
    int generation = 0;                         // moves on every unplug: older connections stay dead
    int failOpens = 0;
    bool capsReadable = true;
    DWORD doneDelay = 0;
    bool neverDone = false;
    bool doneAtWireRate = false;
    DWORD deliveryDelay = 0;
};

// Number of bytes of a short message, from its status byte; a data byte alone is sent alone.
size_t ShortLength(BYTE status)
{
    if (status < 0x80)
        return 1;
    if (status < 0xF0)
        return (status & 0xE0) == 0xC0 ? 2 : 3;
    switch (status)
    {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    default:
        return 1;
    }
}
}

struct CVirtualMidiBackend::Impl
{
    mutable std::mutex mutex;
    std::vector<CEndpoint> endpoints;
    FScheduler scheduler;
    // Serialises deliveries to the program's inputs with the closing of input connections, so
    // no sink is called after its connection has gone.
    std::recursive_mutex deliveryMutex;
    struct CInput
    {
        std::string name;
        int generation;
        IMidiInputSink* sink;
    };
    std::set<CInput*> inputs;
    std::multiset<std::string> openNames;

    CEndpoint* Find(const std::string& name, bool isOutput)
    {
        for (CEndpoint& endpoint : endpoints)
            if (endpoint.name == name && endpoint.isOutput == isOutput)
                return &endpoint;
        return nullptr;
    }

    std::vector<CEndpoint*> Listed(bool isOutput)
    {
        std::vector<CEndpoint*> listed;
        for (CEndpoint& endpoint : endpoints)
            if (endpoint.isOutput == isOutput && endpoint.present)
                listed.push_back(&endpoint);
        return listed;
    }

    // The port list the backend shows, one entry per listed endpoint.
    std::vector<CMidiPortEntry> Ports(bool isOutput)
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<CMidiPortEntry> ports;
        for (CEndpoint* endpoint : Listed(isOutput))
            ports.push_back({endpoint->name, endpoint->capsReadable});
        return ports;
    }

    // The endpoint an open of port `deviceId` connects to, by name and generation; a planned
    // failure of the endpoint is used up here.
    MMRESULT ClaimForOpen(bool isOutput, UINT deviceId, std::string& name, int& generation)
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<CEndpoint*> listed = Listed(isOutput);
        if (deviceId >= listed.size())
            return MMSYSERR_BADDEVICEID;
        CEndpoint* endpoint = listed[deviceId];
        if (endpoint->failOpens > 0)
        {
            --endpoint->failOpens;
            return MMSYSERR_ALLOCATED;
        }
        name = endpoint->name;
        generation = endpoint->generation;
        return MMSYSERR_NOERROR;
    }

    bool IsPresent(const std::string& name, bool isOutput, int generation)
    {
        std::lock_guard<std::mutex> lock(mutex);
        CEndpoint* endpoint = Find(name, isOutput);
        return endpoint && endpoint->present && endpoint->generation == generation;
    }

    void Deliver(const std::string& name, const std::vector<BYTE>& bytes)
    {
        std::lock_guard<std::recursive_mutex> delivery(deliveryMutex);
        for (CInput* input : inputs)
        {
            if (input->name != name || !IsPresent(name, false, input->generation))
                continue;
            if (!bytes.empty() && bytes[0] == 0xF0)
            {
                input->sink->OnSysex(bytes.data(), bytes.size());
                continue;
            }
            // Anything else goes out as short messages, a status byte and its data at a time.
            size_t offset = 0;
            while (offset < bytes.size())
            {
                const size_t length = std::min(ShortLength(bytes[offset]), bytes.size() - offset);
                DWORD packed = 0;
                for (size_t i = 0; i < length; ++i)
                    packed |= static_cast<DWORD>(bytes[offset + i]) << (8 * i);
                input->sink->OnShortMessage(packed);
                offset += length;
            }
        }
    }
};

namespace
{
class CVirtualInputConnection final : public IMidiInputConnection
{
public:
    CVirtualInputConnection(std::shared_ptr<CVirtualMidiBackend::Impl> backend, const std::string& name,
                            int generation, IMidiInputSink* sink)
        : m_backend(std::move(backend)), m_input{name, generation, sink}
    {
        std::lock_guard<std::recursive_mutex> delivery(m_backend->deliveryMutex);
        m_backend->inputs.insert(&m_input);
        std::lock_guard<std::mutex> lock(m_backend->mutex);
        m_backend->openNames.insert(name);
    }

    ~CVirtualInputConnection() override
    {
        std::lock_guard<std::recursive_mutex> delivery(m_backend->deliveryMutex);
        m_backend->inputs.erase(&m_input);
        std::lock_guard<std::mutex> lock(m_backend->mutex);
        m_backend->openNames.erase(m_backend->openNames.find(m_input.name));
    }

    bool IsPresent() override { return m_backend->IsPresent(m_input.name, false, m_input.generation); }

private:
    std::shared_ptr<CVirtualMidiBackend::Impl> m_backend;
    CVirtualMidiBackend::Impl::CInput m_input;
};

class CVirtualOutputConnection final : public IMidiOutputConnection
{
public:
    CVirtualOutputConnection(std::shared_ptr<CVirtualMidiBackend::Impl> backend, const std::string& name,
                             int generation)
        : m_backend(std::move(backend)), m_name(name), m_generation(generation)
    {
        std::lock_guard<std::mutex> lock(m_backend->mutex);
        m_backend->openNames.insert(name);
    }

    ~CVirtualOutputConnection() override
    {
        std::lock_guard<std::mutex> lock(m_backend->mutex);
        m_backend->openNames.erase(m_backend->openNames.find(m_name));
    }

    bool IsPresent() override { return m_backend->IsPresent(m_name, true, m_generation); }

    bool SendShort(DWORD packed) override
    {
        const size_t length = ShortLength(static_cast<BYTE>(packed & 0xFF));
        std::vector<BYTE> bytes;
        for (size_t i = 0; i < length; ++i)
            bytes.push_back(static_cast<BYTE>(packed >> (8 * i)));
        return Hand(bytes, nullptr);
    }

    bool SendLong(const BYTE* data, size_t size, std::function<void()> done) override
    {
        return Hand(std::vector<BYTE>(data, data + size), std::move(done));
    }

    void Reset() override {}

private:
    bool Hand(const std::vector<BYTE>& bytes, std::function<void()> done)
    {
        CVirtualMidiBackend::FReceiver receiver;
        CVirtualMidiBackend::FScheduler scheduler;
        DWORD doneDelay = 0;
        bool neverDone = false;
        {
            std::lock_guard<std::mutex> lock(m_backend->mutex);
            CEndpoint* endpoint = m_backend->Find(m_name, true);
            if (!endpoint || !endpoint->present || endpoint->generation != m_generation)
                return false;
            receiver = endpoint->receiver;
            scheduler = m_backend->scheduler;
            doneDelay = endpoint->doneDelay;
            if (endpoint->doneAtWireRate)
                doneDelay += static_cast<DWORD>(bytes.size() * 1000 / 3125);
            neverDone = endpoint->neverDone;
        }
        if (receiver)
            receiver(bytes);
        if (done && !neverDone)
        {
            if (doneDelay > 0 && scheduler)
                scheduler(doneDelay, std::move(done));
            else
                done();
        }
        return true;
    }

    std::shared_ptr<CVirtualMidiBackend::Impl> m_backend;
    std::string m_name;
    int m_generation;
};
}

CVirtualMidiBackend::CVirtualMidiBackend() : d(std::make_shared<Impl>())
{
}

CVirtualMidiBackend::~CVirtualMidiBackend() = default;

void CVirtualMidiBackend::AddOutput(const std::string& name, FReceiver receiver)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    CEndpoint endpoint;
    endpoint.name = name;
    endpoint.isOutput = true;
    endpoint.receiver = std::move(receiver);
    d->endpoints.push_back(std::move(endpoint));
}

void CVirtualMidiBackend::AddInput(const std::string& name)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    CEndpoint endpoint;
    endpoint.name = name;
    d->endpoints.push_back(std::move(endpoint));
}

bool CVirtualMidiBackend::Send(const std::string& name, const std::vector<BYTE>& bytes)
{
    DWORD delay = 0;
    FScheduler scheduler;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        CEndpoint* endpoint = d->Find(name, false);
        if (!endpoint || !endpoint->present)
            return false;
        delay = endpoint->deliveryDelay;
        scheduler = d->scheduler;
    }
    if (delay > 0 && scheduler)
    {
        std::weak_ptr<Impl> weak = d;
        scheduler(delay, [weak, name, bytes] {
            if (std::shared_ptr<Impl> impl = weak.lock())
                impl->Deliver(name, bytes);
        });
    }
    else
    {
        d->Deliver(name, bytes);
    }
    return true;
}

void CVirtualMidiBackend::SetPresent(const std::string& name, bool present)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    for (CEndpoint& endpoint : d->endpoints)
    {
        if (endpoint.name != name || endpoint.present == present)
            continue;
        endpoint.present = present;
        if (!present)
            ++endpoint.generation;
    }
}

void CVirtualMidiBackend::FailNextOpens(const std::string& name, int count)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    for (CEndpoint& endpoint : d->endpoints)
        if (endpoint.name == name)
            endpoint.failOpens = count;
}

void CVirtualMidiBackend::SetCapsReadable(const std::string& name, bool readable)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    for (CEndpoint& endpoint : d->endpoints)
        if (endpoint.name == name)
            endpoint.capsReadable = readable;
}

void CVirtualMidiBackend::SetDoneDelay(const std::string& name, DWORD delay)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (CEndpoint* endpoint = d->Find(name, true))
        endpoint->doneDelay = delay;
}

void CVirtualMidiBackend::SetNeverDone(const std::string& name, bool never)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (CEndpoint* endpoint = d->Find(name, true))
        endpoint->neverDone = never;
}

void CVirtualMidiBackend::SetDoneAtWireRate(const std::string& name, bool atWireRate)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (CEndpoint* endpoint = d->Find(name, true))
        endpoint->doneAtWireRate = atWireRate;
}

void CVirtualMidiBackend::SetDeliveryDelay(const std::string& name, DWORD delay)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (CEndpoint* endpoint = d->Find(name, false))
        endpoint->deliveryDelay = delay;
}

void CVirtualMidiBackend::SetScheduler(FScheduler scheduler)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->scheduler = std::move(scheduler);
}

int CVirtualMidiBackend::GetOpenCount(const std::string& name) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return static_cast<int>(d->openNames.count(name));
}

std::vector<CMidiPortEntry> CVirtualMidiBackend::GetInputPorts()
{
    return d->Ports(false);
}

std::vector<CMidiPortEntry> CVirtualMidiBackend::GetOutputPorts()
{
    return d->Ports(true);
}

MMRESULT CVirtualMidiBackend::OpenInput(UINT deviceId, IMidiInputSink* sink,
                                        std::unique_ptr<IMidiInputConnection>& connection)
{
    std::string name;
    int generation = 0;
    if (const MMRESULT claimed = d->ClaimForOpen(false, deviceId, name, generation); claimed != MMSYSERR_NOERROR)
        return claimed;
    connection = std::make_unique<CVirtualInputConnection>(d, name, generation, sink);
    return MMSYSERR_NOERROR;
}

MMRESULT CVirtualMidiBackend::OpenOutput(UINT deviceId, std::unique_ptr<IMidiOutputConnection>& connection)
{
    std::string name;
    int generation = 0;
    if (const MMRESULT claimed = d->ClaimForOpen(true, deviceId, name, generation); claimed != MMSYSERR_NOERROR)
        return claimed;
    connection = std::make_unique<CVirtualOutputConnection>(d, name, generation);
    return MMSYSERR_NOERROR;
}

std::string CVirtualMidiBackend::GetProblem()
{
    return std::string();
}
