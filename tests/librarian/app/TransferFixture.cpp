#include "tests/librarian/app/TransferFixture.h"

#include "midi/devices/CNormalMidiDeviceFactory.h"
#include "midi/framework/CVeyMidiManager.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiSetupState.h"
#include "platform/Messages.h"
#include "tests/midi/ml/HexBytes.h"

std::vector<CSimulatedInstrument::CRange> InstrumentMemoryMap()
{
    std::vector<CSimulatedInstrument::CRange> map{{kToneType, 2, 0}, {kTemporaryPatch, kPatchSpan, 0}};
    for (uint32_t slot = 0; slot < 256; ++slot)
        map.push_back({kUserPatches + slot * kUserStride, kPatchSpan, 0});
    return map;
}

void SeedInstrument(CSimulatedInstrument& instrument)
{
    instrument.Write(kToneType, {0x57, 0x00});
    for (uint32_t slot = 0; slot < 256; ++slot)
    {
        Bytes bytes(kPatchSpan);
        for (uint32_t offset = 0; offset < kPatchSpan; ++offset)
            bytes[offset] = SeedByte(slot, offset);
        instrument.Write(kUserPatches + slot * kUserStride, bytes);
    }
}

namespace
{
std::string AddressText(const Bytes& message, size_t at)
{
    return ToHex(Bytes(message.begin() + static_cast<std::ptrdiff_t>(at),
                       message.begin() + static_cast<std::ptrdiff_t>(at + 4)));
}
}

uint8_t SeedByte(uint32_t slot, uint32_t offset)
{
    return static_cast<uint8_t>((slot * 7 + offset * 3 + (offset >> 7)) & 0x7F);
}

CPatchArray MakeDistinctImage(uint8_t salt)
{
    CPatchArray image;
    image.Resize(256);
    for (size_t i = 0; i < image.GetSize(); ++i)
    {
        CParameter& patch = image[i];
        for (auto& part : patch.GetParts())
            for (auto& block : part)
                for (size_t j = 0; j < block.size(); ++j)
                    block[j] = static_cast<uint8_t>((i * 11 + j * 5 + salt) & 0x7F);
        patch.SetText(0, "memo " + std::to_string(i));
    }
    return image;
}

CTransferTest::CTransferTest() : m_instrument(InstrumentMemoryMap())
{
}

void CTransferTest::SetUp()
{
    m_backend.SetScheduler([this](DWORD delay, std::function<void()> action) { m_clock.After(delay, std::move(action)); });
    m_instrument.AttachTo(m_backend, "Talvarix", &m_clock);
    m_backend.SetDoneAtWireRate("Talvarix", true);
    SeedInstrument(m_instrument);

    ASSERT_TRUE(CVeyMidiManager::GetInstance().CreatePorts(2, 2, "Talvarix", {0x00, 0x00, 0x3C}));
    CVeyMidiIn& input = CVeyMidiInputs::GetInstance()[0];
    CVeyMidiOut& output = CVeyMidiOutputs::GetInstance()[0];
    CNormalMidiDeviceFactory& factory = CNormalMidiDeviceFactory::GetInstance();
    CVeyMidiInDevice* inDevice = factory.CreateInputDevice("Talvarix");
    CVeyMidiInDevices::GetInstance().push_back(inDevice);
    inDevice->AttachPort(&input);
    CVeyMidiOutDevice* outDevice = factory.CreateOutputDevice("Talvarix");
    CVeyMidiOutDevices::GetInstance().push_back(outDevice);
    output.AttachDevice(outDevice);
    CVeyMidiSetupState::GetInstance().SetStateSilently(inDevice->Open() && outDevice->Open());

    input.SetListener(&m_reader);
    m_reader.SetMidiIn(&input);
    m_reader.SetMidiOut(&output);
    m_reader.SetProgress(&m_progress);
    m_writer.SetMidiOut(&output);
    m_writer.SetProgress(&m_progress);
    m_writer.SetChecker(&m_reader);
    CVeyMidiRequester::SetMessageShower([this](int32_t id) { m_shown.push_back(id); });
    m_instrument.ClearLogs();
}

void CTransferTest::TearDown()
{
    CVeyMidiRequester::SetMessageShower(nullptr);
    for (CVeyMidiOut& output : CVeyMidiOutputs::GetInstance())
        output.DetachAllDevices();
    CVeyMidiInDevices::GetInstance().DeleteAll();
    CVeyMidiOutDevices::GetInstance().DeleteAll();
    while (PumpAllMessages())
    {
    }
    CVeyMidiManager::GetInstance().DestroyPorts();
}

CPatch CTransferTest::InstrumentPatch(int slot) const { return InstrumentPatchOf(m_instrument, slot); }

CPatch InstrumentPatchOf(const CSimulatedInstrument& instrument, int slot)
{
    const uint32_t base = slot < 0 ? kTemporaryPatch : kUserPatches + static_cast<uint32_t>(slot) * kUserStride;
    CPatch patch;
    patch.Initialize();
    patch.SetName("");
    for (int part = 0; part < CPatch::kPartCount; ++part)
    {
        const CPatch::CPartLayout& layout = *CPatch::GetPartLayout(part);
        for (int block = 0; block < layout.blockCount; ++block)
        {
            Bytes bytes;
            instrument.Read(base + layout.offset + layout.step * static_cast<uint32_t>(block),
                              static_cast<uint32_t>(layout.blockSize), bytes);
            patch.GetParts()[static_cast<size_t>(part)][static_cast<size_t>(block)].assign(bytes.begin(), bytes.end());
        }
    }
    return patch;
}

std::vector<std::string> CTransferTest::BlockRequests() const
{
    std::vector<std::string> requests;
    for (const auto& entry : m_instrument.GetAcceptedRequests())
    {
        if (CSimulatedInstrument::AddressNumber(entry.bytes.data() + 7, 4) == kToneType)
            continue;
        requests.push_back(AddressText(entry.bytes, 7) + " " + AddressText(entry.bytes, 11));
    }
    return requests;
}

std::vector<std::string> CTransferTest::DataSetAddresses() const
{
    std::vector<std::string> addresses;
    for (const auto& entry : m_instrument.GetAcceptedDataSets())
        addresses.push_back(AddressText(entry.bytes, 7));
    return addresses;
}

std::vector<DWORD> CTransferTest::DataSetTicks() const
{
    std::vector<DWORD> ticks;
    for (const auto& entry : m_instrument.GetAcceptedDataSets())
        ticks.push_back(entry.tick);
    return ticks;
}

void CTransferTest::RemoveOutputDevice()
{
    CVeyMidiOutputs::GetInstance()[0].DetachAllDevices();
}

void CTransferTest::RestoreOutputDevice()
{
    CVeyMidiOut& output = CVeyMidiOutputs::GetInstance()[0];
    output.DetachAllDevices();
    output.AttachDevice(CVeyMidiOutDevices::GetInstance().front());
}

void CTransferTest::ResetInstrument()
{
    m_instrument.SetIdentity(CSimulatedInstrument::EIdentity::Normal);
    m_instrument.DropNextReplies(0);
    m_instrument.SetReplyFault(CSimulatedInstrument::EReplyFault::None);
    m_instrument.Write(kToneType, {0x57, 0x00});
    m_instrument.ClearLogs();
}
