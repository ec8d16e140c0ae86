#include "platform/MidiBackend.h"

#include "platform/Profile.h"

#include <rtmidi/RtMidi.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <regex>

namespace
{
RtMidi::Api ToRtMidiApi(EMidiApi api)
{
    return api == EMidiApi::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
}

// RtMidi reports through this instead of printing or throwing: the last error of an object is
// kept so the operation that caused it can fail.
struct CErrorTrap
{
    std::mutex mutex;
    bool failed = false;
    std::string text;

    static void Callback(RtMidiError::Type type, const std::string& text, void* user)
    {
        auto* trap = static_cast<CErrorTrap*>(user);
        std::lock_guard<std::mutex> lock(trap->mutex);
        // Debug notes are not failures.
        if (type == RtMidiError::DEBUG_WARNING)
            return;
        trap->failed = true;
        trap->text = text;
    }

    // True when an error came since the last call; clears it.
    bool Take(std::string* text = nullptr)
    {
        std::lock_guard<std::mutex> lock(mutex);
        const bool failed_ = failed;
        if (text)
            *text = this->text;
        failed = false;
        return failed_;
    }
};

struct CRawPort
{
    std::string rawName;   // as RtMidi names it; needed to find the port again
    std::string name;      // as the program shows and stores it
};

class CRtMidiBackend;

class CRtInputConnection final : public IMidiInputConnection
{
public:
    CRtInputConnection(CRtMidiBackend& backend, std::string rawName, IMidiInputSink* sink)
        : m_backend(backend), m_rawName(std::move(rawName)), m_sink(sink)
    {
    }

    ~CRtInputConnection() override
    {
        // Deleting RtMidiIn closes the port and joins RtMidi's input thread.
        m_input.reset();
    }

    MMRESULT Open(RtMidi::Api api, const std::string& clientName);
    bool IsPresent() override;

private:
    static void Received(double, std::vector<unsigned char>* message, void* user)
    {
        auto* self = static_cast<CRtInputConnection*>(user);
        if (!message || message->empty())
            return;
        if ((*message)[0] == 0xF0)
        {
            self->m_sink->OnSysex(message->data(), message->size());
            return;
        }
        DWORD packed = 0;
        for (size_t i = 0; i < message->size() && i < 3; ++i)
            packed |= static_cast<DWORD>((*message)[i]) << (8 * i);
        self->m_sink->OnShortMessage(packed);
    }

    CRtMidiBackend& m_backend;
    std::string m_rawName;
    IMidiInputSink* m_sink;
    CErrorTrap m_trap;
    std::unique_ptr<RtMidiIn> m_input;
};

class CRtOutputConnection final : public IMidiOutputConnection
{
public:
    CRtOutputConnection(CRtMidiBackend& backend, std::string rawName)
        : m_backend(backend), m_rawName(std::move(rawName))
    {
    }

    MMRESULT Open(RtMidi::Api api, const std::string& clientName);
    bool IsPresent() override;

    bool SendShort(DWORD packed) override
    {
        const BYTE status = static_cast<BYTE>(packed & 0xFF);
        size_t length = 3;
        if (status >= 0xF0)
            length = (status == 0xF1 || status == 0xF3) ? 2 : (status == 0xF2 ? 3 : 1);
        else if ((status & 0xE0) == 0xC0)
            length = 2;
        BYTE bytes[3] = {status, static_cast<BYTE>(packed >> 8), static_cast<BYTE>(packed >> 16)};
        return Send(bytes, length);
    }

    // RtMidi gives no completion: a message it took without complaint has left.
    bool SendLong(const BYTE* data, size_t size, std::function<void()> done) override
    {
        if (!Send(data, size))
            return false;
        if (done)
            done();
        return true;
    }

    void Reset() override {}

private:
    bool Send(const BYTE* data, size_t size)
    {
        m_trap.Take();
        m_output->sendMessage(data, size);
        return !m_trap.Take();
    }

    CRtMidiBackend& m_backend;
    std::string m_rawName;
    CErrorTrap m_trap;
    std::unique_ptr<RtMidiOut> m_output;
};

class CRtMidiBackend final : public IMidiBackend
{
public:
    CRtMidiBackend(EMidiApi api, std::string clientName)
        : m_api(ToRtMidiApi(api)), m_isAlsa(api == EMidiApi::Alsa), m_clientName(std::move(clientName))
    {
    }

    std::vector<CMidiPortEntry> GetInputPorts() override { return Entries(List(false)); }
    std::vector<CMidiPortEntry> GetOutputPorts() override { return Entries(List(true)); }

    MMRESULT OpenInput(UINT deviceId, IMidiInputSink* sink,
                       std::unique_ptr<IMidiInputConnection>& connection) override
    {
        const std::vector<CRawPort> ports = List(false);
        if (deviceId >= ports.size())
            return MMSYSERR_BADDEVICEID;
        auto input = std::make_unique<CRtInputConnection>(*this, ports[deviceId].rawName, sink);
        const MMRESULT result = input->Open(m_api, m_clientName);
        if (result == MMSYSERR_NOERROR)
            connection = std::move(input);
        return result;
    }

    MMRESULT OpenOutput(UINT deviceId, std::unique_ptr<IMidiOutputConnection>& connection) override
    {
        const std::vector<CRawPort> ports = List(true);
        if (deviceId >= ports.size())
            return MMSYSERR_BADDEVICEID;
        auto output = std::make_unique<CRtOutputConnection>(*this, ports[deviceId].rawName);
        const MMRESULT result = output->Open(m_api, m_clientName);
        if (result == MMSYSERR_NOERROR)
            connection = std::move(output);
        return result;
    }

    std::string GetProblem() override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_problem;
    }

    // Whether a port of that raw name is still there. Every send asks, so the answer is cached
    // for a quarter of a second.
    bool IsListed(const std::string& rawName, bool isOutput)
    {
        using namespace std::chrono;
        const auto now = steady_clock::now();
        std::vector<CRawPort> ports;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            CCache& cache = isOutput ? m_outputCache : m_inputCache;
            if (cache.valid && now - cache.taken < milliseconds(250))
                ports = cache.ports;
            else
                ports = ListLocked(isOutput);
        }
        for (const CRawPort& port : ports)
            if (port.rawName == rawName)
                return true;
        return false;
    }

private:
    struct CCache
    {
        bool valid = false;
        std::chrono::steady_clock::time_point taken;
        std::vector<CRawPort> ports;
    };

    static std::vector<CMidiPortEntry> Entries(const std::vector<CRawPort>& ports)
    {
        std::vector<CMidiPortEntry> entries;
        for (const CRawPort& port : ports)
            entries.push_back({port.name, true});
        return entries;
    }

    std::vector<CRawPort> List(bool isOutput)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return ListLocked(isOutput);
    }

    // The enumerating objects are made on first use; where the MIDI system cannot be reached
    // their construction fails, and the backend lists nothing and says why.
    std::vector<CRawPort> ListLocked(bool isOutput)
    {
        // RtMidi's JACK output allocates buffers on every failed attempt to reach the server and
        // never frees them: ask through the input side first, which does not.
        if (isOutput && !m_isAlsa && !m_outputLister)
        {
            ListLocked(false);
            if (!m_problem.empty())
                return {};
        }
        RtMidi* lister = nullptr;
        try
        {
            if (isOutput)
            {
                if (!m_outputLister)
                {
                    m_outputLister = std::make_unique<RtMidiOut>(m_api, m_clientName + " List");
                    m_outputLister->setErrorCallback(&CErrorTrap::Callback, &m_listTrap);
                }
                lister = m_outputLister.get();
            }
            else
            {
                if (!m_inputLister)
                {
                    m_inputLister = std::make_unique<RtMidiIn>(m_api, m_clientName + " List");
                    m_inputLister->setErrorCallback(&CErrorTrap::Callback, &m_listTrap);
                }
                lister = m_inputLister.get();
            }
        }
        catch (const RtMidiError& error)
        {
            m_problem = std::string(m_isAlsa ? "The ALSA sequencer" : "The JACK server") +
                        " cannot be reached, so no MIDI devices are listed: " + error.getMessage();
            return {};
        }

        std::vector<CRawPort> ports;
        m_listTrap.Take();
        const unsigned count = lister->getPortCount();
        std::string text;
        if (m_listTrap.Take(&text))
        {
            m_problem = std::string(m_isAlsa ? "The ALSA sequencer" : "The JACK server") +
                        " cannot be reached, so no MIDI devices are listed: " + text;
            return {};
        }
        m_problem.clear();
        for (unsigned i = 0; i < count; ++i)
        {
            const std::string raw = lister->getPortName(i);
            if (raw.empty() || raw.compare(0, m_clientName.size(), m_clientName) == 0)
                continue;   // our own ports, opened by other connections of this program
            ports.push_back({raw, m_isAlsa ? StripAlsaPortNumbers(raw) : raw});
        }
        CCache& cache = isOutput ? m_outputCache : m_inputCache;
        cache.valid = true;
        cache.taken = std::chrono::steady_clock::now();
        cache.ports = ports;
        return ports;
    }

    RtMidi::Api m_api;
    bool m_isAlsa;
    std::string m_clientName;
    std::mutex m_mutex;
    CErrorTrap m_listTrap;
    std::unique_ptr<RtMidiIn> m_inputLister;
    std::unique_ptr<RtMidiOut> m_outputLister;
    std::string m_problem;
    CCache m_inputCache;
    CCache m_outputCache;
};

// Finds the RtMidi port number of a raw name in a freshly made object.
template <typename TRtMidi>
bool FindPortNumber(TRtMidi& rtMidi, const std::string& rawName, unsigned& number)
{
    const unsigned count = rtMidi.getPortCount();
    for (unsigned i = 0; i < count; ++i)
    {
        if (rtMidi.getPortName(i) == rawName)
        {
            number = i;
            return true;
        }
    }
    return false;
}

MMRESULT CRtInputConnection::Open(RtMidi::Api api, const std::string& clientName)
{
    try
    {
        m_input = std::make_unique<RtMidiIn>(api, clientName);
    }
    catch (const RtMidiError&)
    {
        return MMSYSERR_NODRIVER;
    }
    m_input->setErrorCallback(&CErrorTrap::Callback, &m_trap);
    m_input->ignoreTypes(false, true, true);   // keep system-exclusive; drop clock and sensing
    m_input->setCallback(&CRtInputConnection::Received, this);
    unsigned number = 0;
    if (!FindPortNumber(*m_input, m_rawName, number))
        return MMSYSERR_BADDEVICEID;
    m_trap.Take();
    m_input->openPort(number, "In");
    if (m_trap.Take() || !m_input->isPortOpen())
    {
        m_input.reset();
        return MMSYSERR_ALLOCATED;
    }
    return MMSYSERR_NOERROR;
}

bool CRtInputConnection::IsPresent()
{
    return m_backend.IsListed(m_rawName, false);
}

MMRESULT CRtOutputConnection::Open(RtMidi::Api api, const std::string& clientName)
{
    try
    {
        m_output = std::make_unique<RtMidiOut>(api, clientName);
    }
    catch (const RtMidiError&)
    {
        return MMSYSERR_NODRIVER;
    }
    m_output->setErrorCallback(&CErrorTrap::Callback, &m_trap);
    unsigned number = 0;
    if (!FindPortNumber(*m_output, m_rawName, number))
        return MMSYSERR_BADDEVICEID;
    m_trap.Take();
    m_output->openPort(number, "Out");
    if (m_trap.Take() || !m_output->isPortOpen())
        return MMSYSERR_ALLOCATED;
    return MMSYSERR_NOERROR;
}

bool CRtOutputConnection::IsPresent()
{
    return m_backend.IsListed(m_rawName, true);
}

// The default backend and its lock are never destroyed: devices still open at exit are closed
// through them while static objects are destroyed, in an order no one controls.
std::unique_ptr<IMidiBackend>& DefaultBackend()
{
    static std::unique_ptr<IMidiBackend>& backend = *new std::unique_ptr<IMidiBackend>;
    return backend;
}

std::mutex& BackendMutex()
{
    static std::mutex& mutex = *new std::mutex;
    return mutex;
}

std::atomic<IMidiBackend*>& InstalledBackend()
{
    static std::atomic<IMidiBackend*> installed{nullptr};
    return installed;
}
}

std::string StripAlsaPortNumbers(const std::string& name)
{
    static const std::regex numbers(" [0-9]+:[0-9]+$");
    return std::regex_replace(name, numbers, "");
}

std::unique_ptr<IMidiBackend> CreateRtMidiBackend(EMidiApi api, const std::string& clientName)
{
    return std::make_unique<CRtMidiBackend>(api, clientName);
}

IMidiBackend* SetMidiBackend(IMidiBackend* backend)
{
    return InstalledBackend().exchange(backend);
}

IMidiBackend& GetMidiBackend()
{
    if (IMidiBackend* installed = InstalledBackend().load())
        return *installed;
    std::lock_guard<std::mutex> lock(BackendMutex());
    std::unique_ptr<IMidiBackend>& backend = DefaultBackend();
    if (!backend)
    {
        const char* name = std::getenv("Q9_MIDI_API");
        const EMidiApi api = (name && std::strcmp(name, "jack") == 0) ? EMidiApi::Jack : EMidiApi::Alsa;
        // The program's clients carry its name, so a patch bay tells the editor from the librarian.
        const std::string program = GetApplicationName();
        backend = CreateRtMidiBackend(api, program.empty() ? std::string("Q9 MIDI") : program);
    }
    return *backend;
}
