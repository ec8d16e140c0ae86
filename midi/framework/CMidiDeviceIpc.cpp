#include "midi/framework/CMidiDeviceIpc.h"

#include "midi/framework/CVeyMidiDeviceFactory.h"
#include "midi/framework/CVeyMidiInDevice.h"
#include "platform/Messages.h"
#include "platform/WinApp.h"
#include "platform/Wnd.h"

namespace
{
// Reads the request from its end. A number needs four bytes: fewer read as an empty field, which
// converts to 0, and are used up.
class CRequestReader
{
public:
    explicit CRequestReader(const std::vector<uint8_t>& bytes) : m_end(bytes.size()), m_bytes(bytes) {}

    uint32_t TakeUInt32()
    {
        if (m_end < 4)
        {
            m_end = 0;
            return 0;
        }
        uint32_t value = 0;
        for (size_t i = m_end - 4; i < m_end; ++i)
            value = (value << 8) | m_bytes[i];
        m_end -= 4;
        return value;
    }

    std::string TakeRest()
    {
        std::string rest(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(m_end));
        m_end = 0;
        return rest;
    }

private:
    size_t m_end;
    const std::vector<uint8_t>& m_bytes;
};

void PutUInt32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutTruth(std::vector<uint8_t>& out, bool value)
{
    out.push_back(0);
    out.push_back(value ? 1 : 0);
}

void PutNames(std::vector<uint8_t>& out, const std::vector<std::string>& names)
{
    PutUInt32(out, static_cast<uint32_t>(names.size()));
    for (const std::string& name : names)
    {
        PutUInt32(out, static_cast<uint32_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
    }
}
}

CMidiDeviceIpc& CMidiDeviceIpc::GetInstance()
{
    static CMidiDeviceIpc receiver;
    return receiver;
}

IVeyMidiDeviceFactory* CMidiDeviceIpc::GetFactory()
{
    return GetVeyMidiDeviceFactory();
}

void CMidiDeviceIpc::OnReceive(const std::vector<uint8_t>& request, std::vector<uint8_t>& reply)
{
    reply.clear();
    CRequestReader reader(request);
    const uint32_t code = reader.TakeUInt32();
    IVeyMidiDeviceFactory* factory = GetFactory();
    auto* extra = dynamic_cast<IMidiDeviceFactory*>(factory);
    switch (code)
    {
    case kGetInputNames:
        PutNames(reply, factory ? factory->GetInputNames() : std::vector<std::string>());
        break;
    case kGetOutputNames:
        PutNames(reply, factory ? factory->GetOutputNames() : std::vector<std::string>());
        break;
    // A created device goes into the device list, which owns it: a device that nobody holds
    // would be lost on every request.
    case kCreateInputDevice:
    {
        const std::string name = reader.TakeRest();
        CVeyMidiInDevices& devices = CVeyMidiInDevices::GetInstance();
        bool created = devices.Find(name) != nullptr;
        if (!created && factory)
        {
            if (CVeyMidiInDevice* device = factory->CreateInputDevice(name))
            {
                devices.push_back(device);
                created = true;
            }
        }
        PutTruth(reply, created);
        break;
    }
    case kCreateOutputDevice:
    {
        const std::string name = reader.TakeRest();
        CVeyMidiOutDevices& devices = CVeyMidiOutDevices::GetInstance();
        bool created = devices.Find(name) != nullptr;
        if (!created && factory)
        {
            if (CVeyMidiOutDevice* device = factory->CreateOutputDevice(name))
            {
                devices.push_back(device);
                created = true;
            }
        }
        PutTruth(reply, created);
        break;
    }
    case kReleaseInputDevice:
        if (factory)
            factory->ReleaseInputDevice(CVeyMidiInDevices::GetInstance().Find(reader.TakeRest()));
        break;
    case kReleaseOutputDevice:
        if (factory)
            factory->ReleaseOutputDevice(CVeyMidiOutDevices::GetInstance().Find(reader.TakeRest()));
        break;
    case kConfigureDevice:
    {
        const int32_t value = static_cast<int32_t>(reader.TakeUInt32());
        const std::string name = reader.TakeRest();
        int32_t result = 0;
        PutTruth(reply, extra && extra->ConfigureDevice(name, value, result));
        PutUInt32(reply, static_cast<uint32_t>(result));
        break;
    }
    case kQueryDevice:
    {
        int32_t result = 0;
        PutTruth(reply, extra && extra->QueryDevice(reader.TakeRest(), result));
        PutUInt32(reply, static_cast<uint32_t>(result));
        break;
    }
    case kCloseProgram:
        if (CWinApp* app = AfxGetApp())
            if (app->m_pMainWnd)
                app->m_pMainWnd->PostMessage(WM_CLOSE);
        break;
    default:
        break;
    }
}
