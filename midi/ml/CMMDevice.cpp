#include "midi/ml/CMMDevice.h"

#include <atomic>
#include <cstring>

namespace ML
{
namespace
{
std::atomic<AMMReporter*> g_inputReporter{nullptr};
std::atomic<AMMReporter*> g_outputReporter{nullptr};

// The names of the ports the system lists, in port order; a port whose capabilities cannot be
// read is left out.
template <typename TCaps>
std::vector<std::string> PortNames(UINT (*count)(), MMRESULT (*getCaps)(UINT_PTR, TCaps*, UINT))
{
    std::vector<std::string> names;
    const UINT ports = count();
    for (UINT id = 0; id < ports; ++id)
    {
        TCaps caps;
        if (getCaps(id, &caps, sizeof caps) == MMSYSERR_NOERROR)
            names.emplace_back(caps.szPname);
    }
    return names;
}

// The number of the first port named `name`, or -1.
template <typename TCaps>
int64_t FindPort(const std::string& name, UINT (*count)(), MMRESULT (*getCaps)(UINT_PTR, TCaps*, UINT))
{
    const UINT ports = count();
    for (UINT id = 0; id < ports; ++id)
    {
        TCaps caps;
        if (getCaps(id, &caps, sizeof caps) == MMSYSERR_NOERROR && name == caps.szPname)
            return id;
    }
    return -1;
}
}

bool AMMReporter::Report(MMRESULT result)
{
    return result == MMSYSERR_NOERROR;
}

AMMReporter& GetInputReporter()
{
    // Never destroyed: devices still open at exit are closed during static destruction.
    static AMMReporter& reporter = *new AMMReporter;
    AMMReporter* installed = g_inputReporter.load();
    return installed ? *installed : reporter;
}

AMMReporter& GetOutputReporter()
{
    // Never destroyed: devices still open at exit are closed during static destruction.
    static AMMReporter& reporter = *new AMMReporter;
    AMMReporter* installed = g_outputReporter.load();
    return installed ? *installed : reporter;
}

namespace
{
// A call's verdict: the installed reporter's, or the default one's without a virtual call, as
// every send asks several times.
bool ReportInput(MMRESULT result)
{
    AMMReporter* installed = g_inputReporter.load(std::memory_order_acquire);
    return installed ? installed->Report(result) : result == MMSYSERR_NOERROR;
}

bool ReportOutput(MMRESULT result)
{
    AMMReporter* installed = g_outputReporter.load(std::memory_order_acquire);
    return installed ? installed->Report(result) : result == MMSYSERR_NOERROR;
}
}

void SetInputReporter(AMMReporter* reporter)
{
    g_inputReporter.store(reporter);
}

void SetOutputReporter(AMMReporter* reporter)
{
    g_outputReporter.store(reporter);
}

// ---------------------------------------------------------------------------------------------

bool CMMIn::GetDevCaps(MIDIINCAPS& caps) const
{
    if (!m_handle)
        return false;
    return ReportInput(midiInGetDevCaps(reinterpret_cast<UINT_PTR>(m_handle), &caps, sizeof caps));
}

bool CMMIn::Open(UINT deviceId, MIDIINPROC callback, DWORD_PTR instance, DWORD flags)
{
    return ReportInput(
        midiInOpen(&m_handle, deviceId, reinterpret_cast<DWORD_PTR>(callback), instance, flags));
}

bool CMMIn::Close()
{
    if (!m_handle)
        return true;
    const bool closed = ReportInput(midiInClose(m_handle));
    if (closed)
        m_handle = nullptr;
    return closed;
}

bool CMMIn::PrepareHeader(MIDIHDR* header)
{
    return m_handle && ReportInput(midiInPrepareHeader(m_handle, header, sizeof(MIDIHDR)));
}

bool CMMIn::UnprepareHeader(MIDIHDR* header)
{
    return m_handle && ReportInput(midiInUnprepareHeader(m_handle, header, sizeof(MIDIHDR)));
}

bool CMMIn::AddBuffer(MIDIHDR* header)
{
    return m_handle && ReportInput(midiInAddBuffer(m_handle, header, sizeof(MIDIHDR)));
}

bool CMMIn::Start()
{
    return m_handle && ReportInput(midiInStart(m_handle));
}

bool CMMIn::Stop()
{
    return m_handle && ReportInput(midiInStop(m_handle));
}

bool CMMIn::Reset()
{
    return m_handle && ReportInput(midiInReset(m_handle));
}

bool CMMIn::IsOpen() const
{
    return m_handle && ReportInput(midiInGetPresence(m_handle));
}

std::vector<std::string> CMMIn::GetInputNames() { return PortNames(midiInGetNumDevs, midiInGetDevCaps); }

bool CMMIn::OpenByName(const std::string& name, MIDIINPROC callback, DWORD_PTR instance, DWORD flags)
{
    const int64_t id = FindPort(name, midiInGetNumDevs, midiInGetDevCaps);
    return id >= 0 && Open(static_cast<UINT>(id), callback, instance, flags);
}

// ---------------------------------------------------------------------------------------------

bool CMMOut::GetDevCaps(MIDIOUTCAPS& caps) const
{
    if (!m_handle)
        return true;
    return ReportOutput(midiOutGetDevCaps(reinterpret_cast<UINT_PTR>(m_handle), &caps, sizeof caps));
}

bool CMMOut::Open(UINT deviceId, DWORD_PTR callback, DWORD_PTR instance, DWORD flags)
{
    return ReportOutput(midiOutOpen(&m_handle, deviceId, callback, instance, flags));
}

bool CMMOut::Close()
{
    if (!m_handle)
        return true;
    const bool closed = ReportOutput(midiOutClose(m_handle));
    if (closed)
        m_handle = nullptr;
    return closed;
}

bool CMMOut::PrepareHeader(MIDIHDR* header)
{
    return !m_handle || ReportOutput(midiOutPrepareHeader(m_handle, header, sizeof(MIDIHDR)));
}

bool CMMOut::UnprepareHeader(MIDIHDR* header)
{
    return !m_handle || ReportOutput(midiOutUnprepareHeader(m_handle, header, sizeof(MIDIHDR)));
}

bool CMMOut::Reset()
{
    return !m_handle || ReportOutput(midiOutReset(m_handle));
}

bool CMMOut::LongMsg(MIDIHDR* header)
{
    return !m_handle || ReportOutput(midiOutLongMsg(m_handle, header, sizeof(MIDIHDR)));
}

bool CMMOut::ShortMsg(DWORD message)
{
    return !m_handle || ReportOutput(midiOutShortMsg(m_handle, message));
}

bool CMMOut::IsOpen() const
{
    return m_handle && ReportOutput(midiOutGetPresence(m_handle));
}

std::vector<std::string> CMMOut::GetOutputNames() { return PortNames(midiOutGetNumDevs, midiOutGetDevCaps); }

bool CMMOut::OpenByName(const std::string& name, DWORD_PTR callback, DWORD_PTR instance, DWORD flags)
{
    const int64_t id = FindPort(name, midiOutGetNumDevs, midiOutGetDevCaps);
    return id >= 0 && Open(static_cast<UINT>(id), callback, instance, flags);
}

// ---------------------------------------------------------------------------------------------

CPacket::CPacket()
{
    std::memset(&m_header, 0, sizeof m_header);
    m_header.lpData = reinterpret_cast<char*>(m_buffer);
    m_header.dwBufferLength = kSize;
}
}
