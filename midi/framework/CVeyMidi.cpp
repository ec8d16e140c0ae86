#include "midi/framework/CVeyMidi.h"

#include "midi/framework/CVeyMidiDevice.h"
#include "midi/framework/CVeyMidiInDevice.h"
#include "midi/framework/CVeyMidiMessageValueLink.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiStruct.h"
#include "midi/framework/IVeyMidiListener.h"
#include "midi/ml/CShortMessage.h"
#include "midi/ml/IdentityMessage.h"
#include "model/CVeyAttributeReader.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyStruct.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/OutOfMemory.h"
#include "toolkit/gt/TraceTextOut.h"

#include <algorithm>
#include <array>

namespace
{
using CAttributes = CVeyElementDefinition::CAttributes;

CVeyRootStruct* FindRootStruct(const std::string& name)
{
    return dynamic_cast<CVeyRootStruct*>(CVeyBufferManager::GetInstance().FindStructOrNull(name));
}

CVeyMidiStruct* FindMidiStruct(const std::string& name)
{
    return dynamic_cast<CVeyMidiStruct*>(CVeyBufferManager::GetInstance().FindStructOrNull(name));
}

constexpr uint8_t kUniversalNonRealTime = 0x7E;
constexpr uint8_t kUniversalRealTime = 0x7F;
}

// ---------------------------------------------------------------------------------------------
// CVeyMidi

bool CVeyMidi::LoadAttributes(CAttributes& attributes)
{
    const auto takeRootStructName = [this](const std::string& name) {
        m_rootStructNames.push_back(name);
        return true;
    };
    return CVeyAttributeReader()
        .Text("name", m_name)
        .Take("modelID",
              [this](const std::string& value) {
                  GT::CBytes bytes;
                  // Model ID bytes travel inside a system-exclusive message, so each must be below 80h.
                  if (!GT::HexStringToBytes(value, bytes) ||
                      std::any_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b >= 0x80; }))
                  {
                      GetTraceTextOut().Printf("MIDI %s modelID is invalid. : %s\n", m_name.c_str(), value.c_str());
                      return false;
                  }
                  m_modelId = bytes;
                  return true;
              })
        .Take("rootStructRef", takeRootStructName)
        .Take("rootStruct", takeRootStructName)
        .Text("midiStructRef", m_midiStructName)
        .NumberIn(
            "addressSize", m_addressSize, 1, 4,
            [this](const std::string& value) {
                GetTraceTextOut().Printf("MIDI %s addressSize is invalid. : %s\n", m_name.c_str(), value.c_str());
            },
            [this](const std::string&) {
                GetTraceTextOut().Printf("MIDI %s addressSize must be 1 through 4.\n", m_name.c_str());
            })
        .Read(attributes);
}

void CVeyMidi::PrepareMessage(ML::CVantorMessage& message, const ML::Bytes& command) const
{
    message.SetManufacturerId(m_manufacturerId);
    message.SetDeviceId(m_deviceId);
    message.SetModelId(m_modelId);
    message.SetCommand(command);
}

// ---------------------------------------------------------------------------------------------
// CVeyMidiIn

bool CVeyMidiIn::LoadAttributes(CAttributes& attributes)
{
    return CVeyMidi::LoadAttributes(attributes) &&
           CVeyAttributeReader().Text("midiOutRef", m_thruOutputName).Read(attributes);
}

bool CVeyMidiIn::Resolve()
{
    for (const std::string& name : m_rootStructNames)
    {
        CVeyRootStruct* root = FindRootStruct(name);
        if (!root)
        {
            GetTraceTextOut().Printf("Unable to convert root struct name %s to struct.\n", name.c_str());
            return false;
        }
        m_receivers.push_back(root);
    }
    if (!m_midiStructName.empty())
    {
        m_midiStruct = FindMidiStruct(m_midiStructName);
        if (!m_midiStruct)
        {
            GetTraceTextOut().Printf("Unable to convert MIDI struct name %s to struct.\n", m_midiStructName.c_str());
            return false;
        }
    }
    if (!m_thruOutputName.empty())
    {
        m_thruOutput = CVeyMidiOutputs::GetInstance().Find(m_thruOutputName);
        if (!m_thruOutput)
        {
            GetTraceTextOut().Printf("Unable to convert MIDI output name %s to MIDI output.\n",
                                     m_thruOutputName.c_str());
            return false;
        }
    }
    return true;
}

void CVeyMidiIn::OnMessage(const std::vector<uint8_t>& bytes)
{
    GT::ReadWithinMemory("a MIDI message", [&] {
        Receive(bytes);
        return true;
    });
}

void CVeyMidiIn::Receive(const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
        return;
    const uint8_t first = bytes[0];
    if (first != 0xF0)
    {
        if (first >= 0xF8)
            ForwardThru(bytes);   // real-time: nothing else takes it
        else
            ReceiveShort(bytes);
        return;
    }
    if (bytes.size() >= 2 && bytes[1] == static_cast<uint8_t>(kDefaultManufacturerId))
        ReceiveVantor(bytes);
    else
        ReceiveUniversal(bytes);
}

void CVeyMidiIn::ReceiveShort(const std::vector<uint8_t>& bytes)
{
    // Only whole channel or system messages: a piece of a long system-exclusive message starts
    // with a data byte, and a data byte of 80h or more would be read as a status by a receiver.
    const size_t length = ML::CShortMessage::LengthOfStatus(bytes[0]);
    if (length == 0 || bytes.size() != length ||
        std::any_of(bytes.begin() + 1, bytes.end(), [](uint8_t b) { return b >= 0x80; }))
        return;
    const ML::CShortMessage message(bytes);
    if (m_midiStruct && m_midiStruct->ReceiveShortMessage(message.Pack()))
        RefreshViews();
    if (m_listener)
        m_listener->OnShortMessage(message);
    ForwardThru(bytes);
}

void CVeyMidiIn::ReceiveUniversal(const std::vector<uint8_t>& bytes)
{
    ML::CLongMessage message;
    if (!message.Assign(bytes))
        return;
    const int manufacturer = message.GetManufacturerId();
    if (manufacturer != kUniversalNonRealTime && manufacturer != kUniversalRealTime)
        return;
    // An Identity Request is for a request handler, which this program does not have; it is not
    // forwarded either. Only a message long enough to carry both sub-IDs can be one.
    if (ML::IsIdentityRequest(message))
        return;
    if (m_midiStruct && m_midiStruct->ReceiveUniversal(message))
        RefreshViews();
    if (m_listener)
        m_listener->OnLongMessage(message);
    ForwardThru(bytes);
}

bool CVeyMidiIn::IsAddressedToThisPort(const ML::CVantorMessage& message) const
{
    return message.GetManufacturerId() == m_manufacturerId && message.GetModelId() == m_modelId &&
           message.GetDeviceId() == m_deviceId;
}

void CVeyMidiIn::ReceiveVantor(const std::vector<uint8_t>& bytes)
{
    ML::CVantorMessage message;
    if (!message.Parse(bytes, m_addressSize) || !IsAddressedToThisPort(message))
        return;
    const ML::Bytes command = message.GetCommand();
    // A data request is for a request handler, which this program does not have.
    if (command != ML::CVantorMessage::Dt1Command())
        return;
    if (message.GetChecksum() != message.ComputeChecksum())
        return;
    const ML::Bytes address = message.GetAddress();
    const ML::Bytes data = message.GetData();
    for (CVeyRootStruct* receiver : m_receivers)
    {
        if (receiver->ReceiveDt1(address, data))
            RefreshViews();
    }
    if (m_listener)
        m_listener->OnDt1(message);
    ForwardThru(bytes);
}

void CVeyMidiIn::ForwardThru(const std::vector<uint8_t>& bytes) const
{
    if (!m_thruOutput)
        return;
    // The thru output's last message stays the last one the model sent.
    const std::vector<CVeyMidiOutDevice*> devices = m_thruOutput->GetDevices();
    for (CVeyMidiOutDevice* device : devices)
        device->Send(bytes);
}

void CVeyMidiIn::RefreshViews()
{
    // Received data is shown, never sent back: no Flush.
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.UpdateViews();
    manager.ClearChanges();
}

void CVeyMidiIn::PollDevice(uint32_t longestWait)
{
    if (CVeyMidiInDevice* device = CVeyMidiInDevices::GetInstance().FindServing(this))
        device->PollAndWait(longestWait);
}

// ---------------------------------------------------------------------------------------------
// CVeyMidiOut

bool CVeyMidiOut::LoadAttributes(CAttributes& attributes)
{
    return CVeyMidi::LoadAttributes(attributes) &&
           CVeyAttributeReader().Text("midiMessageValueRef", m_midiMessageValueName).Read(attributes);
}

bool CVeyMidiOut::Resolve()
{
    for (const std::string& name : m_rootStructNames)
    {
        CVeyRootStruct* root = FindRootStruct(name);
        if (!root)
        {
            GetTraceTextOut().Printf("Unable to convert root struct name %s to struct.\n", name.c_str());
            return false;
        }
        if (root->GetMidiOut())
        {
            GetTraceTextOut().Printf("Unable to associate root struct %s to plural MIDI outputs.\n", name.c_str());
            return false;
        }
        if (!root->SetMidiOut(this))
            return false;
    }
    if (!m_midiStructName.empty())
    {
        CVeyMidiStruct* midiStruct = FindMidiStruct(m_midiStructName);
        if (!midiStruct)
        {
            GetTraceTextOut().Printf("Unable to convert MIDI struct name %s to struct.\n", m_midiStructName.c_str());
            return false;
        }
        midiStruct->SetMidiOut(this);
    }
    if (!m_midiMessageValueName.empty())
    {
        auto link = std::make_unique<CVeyMidiMessageValueLink>();
        if (!link->Bind(this, m_midiMessageValueName))
        {
            GetTraceTextOut().Printf("Unable to create MIDI message value operator %s.\n",
                                     m_midiMessageValueName.c_str());
            return false;
        }
        CVeyBufferManager::GetInstance().AddMidiMessageValueLink(std::move(link));
    }
    return true;
}

bool CVeyMidiOut::SendVantor(uint8_t command, const CVeyAddress& address, const uint8_t* payload, size_t size)
{
    // Built in place into a buffer that keeps its capacity: a turned knob sends one message per
    // step. A device's send may pump messages that send again; such a nested send builds its own.
    const bool outermost = !m_sending;
    ML::Bytes nested;
    ML::Bytes& message = outermost ? m_outgoing : nested;
    constexpr uint8_t kDefaultModelId = 0x42;
    const uint8_t* modelId = m_modelId.empty() ? &kDefaultModelId : m_modelId.data();
    const size_t modelIdSize = m_modelId.empty() ? 1 : m_modelId.size();
    const int addressSize = std::clamp(m_addressSize, 1, 4);
    message.resize(4 + modelIdSize + static_cast<size_t>(addressSize) + size + 2);
    uint8_t* at = message.data();
    *at++ = 0xF0;
    *at++ = m_manufacturerId < 0 ? kDefaultManufacturerId : static_cast<uint8_t>(m_manufacturerId);
    *at++ = m_deviceId;
    // A few bytes: copied one by one rather than through a library call.
    for (size_t i = 0; i < modelIdSize; ++i)
        *at++ = modelId[i];
    *at++ = command;
    // The checksum covers the address and the data.
    uint32_t sum = 0;
    const uint32_t value = static_cast<uint32_t>(address.Get());
    // Seven bits a byte, the highest first.
    switch (addressSize)
    {
    case 4: sum += *at++ = static_cast<uint8_t>((value >> 21) & 0x7F); [[fallthrough]];
    case 3: sum += *at++ = static_cast<uint8_t>((value >> 14) & 0x7F); [[fallthrough]];
    case 2: sum += *at++ = static_cast<uint8_t>((value >> 7) & 0x7F); [[fallthrough]];
    default: sum += *at++ = static_cast<uint8_t>(value & 0x7F); break;
    }
    for (size_t i = 0; i < size; ++i)
        sum += *at++ = payload[i];
    *at++ = static_cast<uint8_t>((0u - sum) & 0x7F);
    *at = 0xF7;
    if (!ML::CLongMessage::IsValidSysex(message.data(), message.size()))
        return false;
    m_sending = true;
    const bool sent = HandToDevices(message);
    m_sending = !outermost;
    // The message becomes the last one by a swap: the kept buffer takes the last message's
    // storage for the next build, and nothing is copied.
    if (outermost)
        m_lastMessage.swap(m_outgoing);
    else
        m_lastMessage = message;
    return sent;
}

namespace
{
// The one command byte of each kind of message.
uint8_t CommandByte(const ML::Bytes& command)
{
    return command.empty() ? 0x12 : command.front();
}
}

bool CVeyMidiOut::SendDt1(const CVeyAddress& address, const ML::Bytes& data)
{
    return SendVantor(CommandByte(ML::CVantorMessage::Dt1Command()), address, data.data(), data.size());
}

bool CVeyMidiOut::SendRq1(const CVeyAddress& address, const CVeyAddress& size)
{
    const ML::Bytes packed = size.ToBytes(m_addressSize);
    return SendVantor(CommandByte(ML::CVantorMessage::Rq1Command()), address, packed.data(), packed.size());
}

bool CVeyMidiOut::SendDt1(CVeyAddress address, const uint8_t* data, size_t size)
{
    static const uint8_t dt1 = CommandByte(ML::CVantorMessage::Dt1Command());
    return SendVantor(dt1, address, data, size);
}

size_t CVeyMidiOut::GetDt1FrameSize() const
{
    // F0, maker, device, model ID (42h when the script gives none), command, address, checksum, F7.
    const size_t modelIdSize = m_modelId.empty() ? 1 : m_modelId.size();
    return 6 + modelIdSize + static_cast<size_t>(m_addressSize);
}

bool CVeyMidiOut::SendToDevices(const std::vector<uint8_t>& bytes)
{
    const bool allTook = HandToDevices(bytes);
    m_lastMessage = bytes;
    return allTook;
}

bool CVeyMidiOut::HandToDevices(const std::vector<uint8_t>& bytes)
{
    // Copied first: a device's send may run a pump that changes the list. A port has one device
    // or a few; those are copied without an allocation.
    constexpr size_t kFew = 4;
    std::array<CVeyMidiOutDevice*, kFew> few{};
    std::vector<CVeyMidiOutDevice*> many;
    CVeyMidiOutDevice* const* devices = few.data();
    const size_t count = m_devices.size();
    if (count <= kFew)
    {
        for (size_t i = 0; i < count; ++i)
            few[i] = m_devices[i];
    }
    else
        devices = (many = m_devices).data();
    bool allTook = true;
    for (size_t i = 0; i < count; ++i)
        allTook = devices[i]->Send(bytes) && allTook;
    return allTook;
}

void CVeyMidiOut::AttachDevice(CVeyMidiOutDevice* device)
{
    if (device && std::find(m_devices.begin(), m_devices.end(), device) == m_devices.end())
        m_devices.push_back(device);
}

void CVeyMidiOut::DetachDevice(CVeyMidiOutDevice* device)
{
    m_devices.erase(std::remove(m_devices.begin(), m_devices.end(), device), m_devices.end());
}
