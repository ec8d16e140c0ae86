#include "platform/AllSystemsMidiBackend.h"

CAllSystemsMidiBackend::CAllSystemsMidiBackend(std::vector<CSystem> systems) : m_systems(std::move(systems)) {}

std::vector<CMidiPortEntry> CAllSystemsMidiBackend::List(bool isOutput)
{
    std::vector<CMidiPortEntry> all;
    for (CSystem& system : m_systems)
        for (CMidiPortEntry entry : isOutput ? system.backend->GetOutputPorts() : system.backend->GetInputPorts())
        {
            entry.name = system.label + entry.name;
            all.push_back(std::move(entry));
        }
    return all;
}

std::vector<CMidiPortEntry> CAllSystemsMidiBackend::GetInputPorts() { return List(false); }

std::vector<CMidiPortEntry> CAllSystemsMidiBackend::GetOutputPorts() { return List(true); }

IMidiBackend* CAllSystemsMidiBackend::Find(UINT deviceId, bool isOutput, UINT& localId)
{
    // The numbers are those of a fresh list: the caller has just listed the ports by name.
    UINT first = 0;
    for (CSystem& system : m_systems)
    {
        const size_t count = (isOutput ? system.backend->GetOutputPorts() : system.backend->GetInputPorts()).size();
        if (deviceId - first < count)
        {
            localId = deviceId - first;
            return system.backend.get();
        }
        first += static_cast<UINT>(count);
        if (first > deviceId)
            break;
    }
    return nullptr;
}

MMRESULT CAllSystemsMidiBackend::OpenInput(UINT deviceId, IMidiInputSink* sink,
                                           std::unique_ptr<IMidiInputConnection>& connection)
{
    UINT localId = 0;
    IMidiBackend* backend = Find(deviceId, false, localId);
    return backend ? backend->OpenInput(localId, sink, connection) : MMSYSERR_BADDEVICEID;
}

MMRESULT CAllSystemsMidiBackend::OpenOutput(UINT deviceId, std::unique_ptr<IMidiOutputConnection>& connection)
{
    UINT localId = 0;
    IMidiBackend* backend = Find(deviceId, true, localId);
    return backend ? backend->OpenOutput(localId, connection) : MMSYSERR_BADDEVICEID;
}

std::string CAllSystemsMidiBackend::GetProblem()
{
    std::string problems;
    for (CSystem& system : m_systems)
    {
        const std::string problem = system.backend->GetProblem();
        if (problem.empty())
            return std::string();
        problems += (problems.empty() ? "" : "\n") + problem;
    }
    return problems;
}
