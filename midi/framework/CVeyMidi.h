#pragma once
// The MIDI ports the script declares: "midiIn" elements become CVeyMidiIn (where the instrument's
// messages arrive), "midiOut" elements CVeyMidiOut (through which the model's values leave). A port
// knows the instrument's identity on the wire, the root structs it serves, an optional MIDI struct
// for channel messages, and the devices attached to it.
#include "midi/framework/CVeyMidiInDevice.h"
#include "midi/ml/CVantorMessage.h"
#include "model/CVeyAddress.h"
#include "model/CVeyElementDefinition.h"
#include "model/IVeyModelLinks.h"

#include <cstdint>
#include <string>
#include <vector>

class CVeyMidiOut;
class CVeyMidiOutDevice;
class CVeyMidiStruct;
class CVeyRootStruct;
class IVeyMidiListener;

// What both port kinds share.
class CVeyMidi
{
public:
    static constexpr int8_t kDefaultManufacturerId = 0x41;
    static constexpr uint8_t kDefaultDeviceId = 0x10;
    static constexpr int32_t kDefaultAddressSize = 4;

    const std::string& GetName() const { return m_name; }
    int8_t GetManufacturerId() const { return m_manufacturerId; }
    uint8_t GetDeviceId() const { return m_deviceId; }
    // From the settings and the setup dialog.
    void SetDeviceId(uint8_t deviceId) { m_deviceId = deviceId; }
    // The librarian names its ports without a script.
    void SetName(const std::string& name) { m_name = name; }
    void SetModelId(const ML::Bytes& modelId) { m_modelId = modelId; }
    ML::Bytes GetModelId() const { return m_modelId; }
    int32_t GetAddressSize() const { return m_addressSize; }
    const std::vector<std::string>& GetRootStructNames() const { return m_rootStructNames; }
    const std::string& GetMidiStructName() const { return m_midiStructName; }

    // Takes "name", "modelID", "addressSize", "rootStructRef"/"rootStruct" and "midiStructRef" out
    // of the list; false, after a diagnostic line, on a bad value.
    bool LoadAttributes(CVeyElementDefinition::CAttributes& attributes);

protected:
    // A message addressed to this port's instrument: maker, device ID, model ID and `command`.
    void PrepareMessage(ML::CVantorMessage& message, const ML::Bytes& command) const;

    std::string m_name;
    int8_t m_manufacturerId = kDefaultManufacturerId;
    uint8_t m_deviceId = kDefaultDeviceId;
    ML::Bytes m_modelId;
    int32_t m_addressSize = kDefaultAddressSize;
    std::vector<std::string> m_rootStructNames;
    std::string m_midiStructName;
};

class CVeyMidiIn : public CVeyMidi, public IVeyMidiInPort
{
public:
    CVeyMidiIn() = default;
    CVeyMidiIn(const CVeyMidiIn&) = default;
    CVeyMidiIn& operator=(const CVeyMidiIn&) = default;

    // The attributes of both kinds, then "midiOutRef".
    bool LoadAttributes(CVeyElementDefinition::CAttributes& attributes);
    // Turns the names into pointers; false after a diagnostic line.
    bool Resolve();

    // The receive path, for one complete message; runs on the GUI thread.
    void OnMessage(const std::vector<uint8_t>& bytes) override;
    // Lets the input device serving this port deliver what it has received (none: nothing); when
    // there was nothing, the device may wait up to `longestWait` ms for the next message.
    void PollDevice(uint32_t longestWait = 1);

    const std::vector<CVeyRootStruct*>& GetReceivers() const { return m_receivers; }
    CVeyMidiStruct* GetMidiStruct() const { return m_midiStruct; }
    IVeyMidiListener* GetListener() const { return m_listener; }
    void SetListener(IVeyMidiListener* listener) { m_listener = listener; }
    const std::string& GetThruOutputName() const { return m_thruOutputName; }
    CVeyMidiOut* GetThruOutput() const { return m_thruOutput; }
    // Programs that make their ports themselves name the thru output directly.
    void SetThruOutput(CVeyMidiOut* output) { m_thruOutput = output; }

private:
    void Receive(const std::vector<uint8_t>& bytes);
    void ReceiveShort(const std::vector<uint8_t>& bytes);
    void ReceiveUniversal(const std::vector<uint8_t>& bytes);
    void ReceiveVantor(const std::vector<uint8_t>& bytes);
    bool IsAddressedToThisPort(const ML::CVantorMessage& message) const;
    void ForwardThru(const std::vector<uint8_t>& bytes) const;
    static void RefreshViews();

    std::vector<CVeyRootStruct*> m_receivers;
    CVeyMidiStruct* m_midiStruct = nullptr;
    IVeyMidiListener* m_listener = nullptr;
    std::string m_thruOutputName;
    CVeyMidiOut* m_thruOutput = nullptr;
};

class CVeyMidiOut : public CVeyMidi, public IVeyTransmitter
{
public:
    CVeyMidiOut() = default;
    CVeyMidiOut(const CVeyMidiOut&) = default;
    CVeyMidiOut& operator=(const CVeyMidiOut&) = default;

    // The attributes of both kinds, then "midiMessageValueRef".
    bool LoadAttributes(CVeyElementDefinition::CAttributes& attributes);
    // Binds the root structs and the MIDI struct to this port and links the MIDI message value;
    // false after a diagnostic line.
    bool Resolve();

    // One data-set message: address and data after the port's identity, then the checksum. False,
    // with nothing sent, when the message could not be a valid system-exclusive message (a data
    // byte of 80h or more, as an 8-bit character of a text value would give), or when a device
    // did not take it.
    bool SendDt1(const CVeyAddress& address, const ML::Bytes& data);
    // One data request for `size` bytes at `address`, the size packed like an address.
    bool SendRq1(const CVeyAddress& address, const CVeyAddress& size);
    // Hands the bytes to every attached device, in list order, and keeps them as the last message
    // (even with no device attached). True when every device took them.
    bool SendToDevices(const std::vector<uint8_t>& bytes);

    // The model's transmit seam: a changed value or a leaf sends itself through here.
    bool SendDt1(CVeyAddress address, const uint8_t* data, size_t size) override;
    size_t GetDt1FrameSize() const override;

    // Devices are attached by the MIDI setup; they are not owned.
    const std::vector<CVeyMidiOutDevice*>& GetDevices() const { return m_devices; }
    void AttachDevice(CVeyMidiOutDevice* device);
    void DetachDevice(CVeyMidiOutDevice* device);
    void DetachAllDevices() { m_devices.clear(); }

    const ML::Bytes& GetLastMessage() const { return m_lastMessage; }
    const std::string& GetMidiMessageValueName() const { return m_midiMessageValueName; }

private:
    bool SendVantor(uint8_t command, const CVeyAddress& address, const uint8_t* payload, size_t size);
    // SendToDevices without keeping the bytes as the last message.
    bool HandToDevices(const std::vector<uint8_t>& bytes);

    std::vector<CVeyMidiOutDevice*> m_devices;
    ML::Bytes m_lastMessage;
    ML::Bytes m_outgoing;    // the message being built and sent
    bool m_sending = false;  // m_outgoing is in use by a send further up the stack
    std::string m_midiMessageValueName;
};
