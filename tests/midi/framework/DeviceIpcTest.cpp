// The device-sharing receiver as a codec: request bytes in, reply bytes out, over a small factory.
#include "midi/framework/CMidiDeviceIpc.h"
#include "midi/framework/CVeyMidiDeviceFactory.h"
#include "midi/framework/CVeyMidiInDevice.h"
#include "tests/midi/ml/HexBytes.h"

#include <gtest/gtest.h>

namespace
{
class CQuietInDevice : public CVeyMidiInDevice
{
public:
    using CVeyMidiInDevice::CVeyMidiInDevice;
    void Poll() override {}
};

class CQuietOutDevice : public CVeyMidiOutDevice
{
public:
    using CVeyMidiOutDevice::CVeyMidiOutDevice;
    bool Send(const std::vector<uint8_t>&) override { return true; }
};

class CListFactory : public IVeyMidiDeviceFactory, public IMidiDeviceFactory
{
public:
    bool Open() override { return true; }
    bool Close() override { return true; }
    std::vector<std::string> GetInputNames() override { return {"A", "BC"}; }
    std::vector<std::string> GetOutputNames() override { return {"Out"}; }
    CVeyMidiInDevice* CreateInputDevice(const std::string& name) override { return new CQuietInDevice(name); }
    void ReleaseInputDevice(CVeyMidiInDevice*) override {}
    CVeyMidiOutDevice* CreateOutputDevice(const std::string& name) override { return new CQuietOutDevice(name); }
    void ReleaseOutputDevice(CVeyMidiOutDevice*) override {}
    bool ConfigureDevice(const std::string&, int32_t, int32_t&) override { return false; }
    bool QueryDevice(const std::string&, int32_t&) override { return false; }
};

class DeviceIpc : public ::testing::Test
{
protected:
    DeviceIpc() { SetVeyMidiDeviceFactory(&m_factory); }
    ~DeviceIpc() override
    {
        SetVeyMidiDeviceFactory(nullptr);
        CVeyMidiInDevices::GetInstance().DeleteAll();
        CVeyMidiOutDevices::GetInstance().DeleteAll();
    }

    std::string Ask(const std::string& request)
    {
        std::vector<uint8_t> reply{0xEE};
        CMidiDeviceIpc::GetInstance().OnReceive(Hex(request), reply);
        return ToHex(reply);
    }

    CListFactory m_factory;
};

TEST_F(DeviceIpc, RequestsAreDecodedFromTheEnd)
{
    const struct
    {
        const char* name;
        const char* request;
        const char* reply;
    } cases[] = {
        {"fewer than four bytes read as code 0", "01 02", "00 00 00 02 00 00 00 01 41 00 00 00 02 42 43"},
        {"input names", "00 00 00 00", "00 00 00 02 00 00 00 01 41 00 00 00 02 42 43"},
        {"output names", "00 00 00 01", "00 00 00 01 00 00 00 03 4F 75 74"},
        {"create an input device", "55 4D 00 00 00 02", "00 01"},
        {"create an output device", "4F 00 00 00 05", "00 01"},
        {"release", "55 4D 00 00 00 03", ""},
        {"first added operation", "41 00 00 00 07 00 00 00 04", "00 00 00 00 00 00"},
        {"first added operation, arguments missing", "00 00 00 04", "00 00 00 00 00 00"},
        {"second added operation", "41 00 00 00 07", "00 00 00 00 00 00"},
        {"unknown code", "00 00 00 09", ""},
        {"close the program without a main window", "00 00 00 08", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Ask(c.request), c.reply) << c.name;
}

TEST_F(DeviceIpc, CreatedDevicesAreOwnedByTheDeviceLists)
{
    EXPECT_EQ(Ask("55 4D 00 00 00 02"), "00 01");
    EXPECT_EQ(Ask("55 4D 00 00 00 02"), "00 01");
    ASSERT_EQ(CVeyMidiInDevices::GetInstance().size(), 1u) << "asked twice, made once";
    EXPECT_EQ(CVeyMidiInDevices::GetInstance().front()->GetName(), "UM");
    SetVeyMidiDeviceFactory(nullptr);
    EXPECT_EQ(Ask("41 00 00 00 02"), "00 00") << "no factory: nothing created";
    EXPECT_EQ(Ask("00 00 00 00"), "00 00 00 00");
}
}
