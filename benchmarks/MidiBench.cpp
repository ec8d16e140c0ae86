// MIDI messages and files: building and parsing data-set messages, and writing and reading a
// Standard MIDI File of 10,000 system-exclusive messages.
#include "midi/framework/CVeyDataSmfWriter.h"
#include "midi/ml/CSmfReader.h"
#include "midi/ml/CVantorMessage.h"

#include <benchmark/benchmark.h>

namespace
{
const ML::Bytes kModelId{0x00, 0x00, 0x3C};

ML::CVantorMessage BuildDataSet(uint32_t address, const ML::Bytes& data)
{
    ML::CVantorMessage message;
    message.SetManufacturerId(0x41);
    message.SetDeviceId(0x10);
    message.SetModelId(kModelId);
    message.SetCommand(ML::CVantorMessage::Dt1Command());
    message.SetAddress({static_cast<uint8_t>(address >> 21 & 0x7F), static_cast<uint8_t>(address >> 14 & 0x7F),
                        static_cast<uint8_t>(address >> 7 & 0x7F), static_cast<uint8_t>(address & 0x7F)});
    message.SetData(data);
    message.UpdateChecksum();
    return message;
}

void BM_BuildDataSetMessage(benchmark::State& state)
{
    const ML::Bytes data{0x40};
    uint32_t address = 0x2000000;
    for (auto _ : state)
    {
        ML::CVantorMessage message = BuildDataSet(address++, data);
        benchmark::DoNotOptimize(message.data());
    }
}
BENCHMARK(BM_BuildDataSetMessage);

void BM_ParseDataSetMessage(benchmark::State& state)
{
    const ML::Bytes bytes = BuildDataSet(0x2000000, {0x40, 0x41});
    ML::CVantorMessage message;
    for (auto _ : state)
    {
        bool ok = message.Parse(bytes, 4) && message.GetChecksum() == message.ComputeChecksum();
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_ParseDataSetMessage);

std::vector<ML::Bytes> TenThousandMessages()
{
    std::vector<ML::Bytes> messages;
    for (uint32_t i = 0; i < 10000; ++i)
        messages.push_back(BuildDataSet(0x2000000 + i * 0x80, ML::Bytes(1 + i % 64, static_cast<uint8_t>(i & 0x7F))));
    return messages;
}

void BM_WriteSmf10000(benchmark::State& state)
{
    const std::vector<ML::Bytes> messages = TenThousandMessages();
    for (auto _ : state)
    {
        CVeyDataSmfWriter writer;
        writer.Begin();
        writer.BeginTrack();
        for (const ML::Bytes& message : messages)
            writer.Send(message);
        writer.EndTrack();
        benchmark::DoNotOptimize(writer.End());
    }
}
BENCHMARK(BM_WriteSmf10000)->Unit(benchmark::kMillisecond);

class CCountingReader : public ML::CSmfMemoryReader
{
public:
    using ML::CSmfMemoryReader::CSmfMemoryReader;
    size_t sysexCount = 0;

protected:
    bool OnSysex(uint32_t, const ML::CLongMessage&) override
    {
        ++sysexCount;
        return true;
    }
};

void BM_ReadSmf10000(benchmark::State& state)
{
    CVeyDataSmfWriter writer;
    writer.Begin();
    writer.BeginTrack();
    for (const ML::Bytes& message : TenThousandMessages())
        writer.Send(message);
    writer.EndTrack();
    writer.End();
    const ML::Bytes image = writer.GetImage();
    for (auto _ : state)
    {
        CCountingReader reader(image);
        bool ok = reader.Parse();
        benchmark::DoNotOptimize(ok);
        if (reader.sysexCount != 10000)
            state.SkipWithError("not every message was read");
    }
    state.counters["file_bytes"] = static_cast<double>(image.size());
}
BENCHMARK(BM_ReadSmf10000)->Unit(benchmark::kMillisecond);
}
