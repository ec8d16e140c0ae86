// MIDI messages and files: building and parsing data-set messages, and writing and reading a
// Standard MIDI File of 10,000 system-exclusive messages.
#include "midi/framework/CVeyDataSmfWriter.h"
#include "midi/framework/CVeyMidiManager.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/ml/CSmfReader.h"
#include "midi/ml/CVantorMessage.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/VeyManagers.h"
#include "benchmarks/support/PairedRounds.h"
#include "benchmarks/support/RawFile.h"

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
    bool OnSysex(uint32_t, const ML::CSysexView&) override
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

// `count` data sets of 1 to 64 data bytes, as an export of many patches sends them.
std::vector<ML::Bytes> DataSets(uint32_t count)
{
    std::vector<ML::Bytes> messages;
    messages.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        messages.push_back(BuildDataSet(0x2000000 + (i % 0x40000) * 0x80, ML::Bytes(1 + i % 64, static_cast<uint8_t>(i & 0x7F))));
    return messages;
}

// The data sets one after another in one block, as an export makes them: each is built just
// before it is sent, so it is at hand in the cache and not spread over the heap.
struct CDataSetStream
{
    explicit CDataSetStream(const std::vector<ML::Bytes>& messages)
    {
        for (const ML::Bytes& message : messages)
        {
            ends.push_back(bytes.size() + message.size());
            bytes.insert(bytes.end(), message.begin(), message.end());
        }
    }
    ML::Bytes bytes;
    std::vector<size_t> ends;
};

bool WriteSmfImage(CVeyDataSmfWriter& writer, const CDataSetStream& stream)
{
    if (!writer.Begin() || !writer.BeginTrack())
        return false;
    ML::Bytes message;
    size_t begin = 0;
    for (const size_t end : stream.ends)
    {
        message.assign(stream.bytes.begin() + static_cast<std::ptrdiff_t>(begin),
                       stream.bytes.begin() + static_cast<std::ptrdiff_t>(end));
        if (!writer.Send(message))
            return false;
        begin = end;
    }
    return writer.EndTrack() && writer.End() != 0;
}

// Writing the file: building the image from the data sets and writing it, against write(2) of
// the same bytes.
void SmfWriteAgainstWrite(benchmark::State& state)
{
    const CDataSetStream messages(DataSets(static_cast<uint32_t>(state.range(0))));
    Bench::CScratchFolder folder;
    const std::string ours = folder.File("ours.mid");
    const std::string peer = folder.File("peer.mid");
    CVeyDataSmfWriter reference;
    if (!WriteSmfImage(reference, messages))
        state.SkipWithError("the file was not written");
    const ML::Bytes expected = reference.GetImage();
    Bench::RunPairedRounds(
        state, 5.0,
        [&] {
            return Bench::Timed(Bench::EClock::kProcess, [&] {
                CVeyDataSmfWriter writer;
                return WriteSmfImage(writer, messages) &&
                       Bench::RawWriteFile(ours, writer.GetImage().data(), writer.GetImage().size());
            });
        },
        [&] {
            return Bench::Timed(Bench::EClock::kProcess,
                                [&] { return Bench::RawWriteFile(peer, expected.data(), expected.size()); });
        });
    state.counters["file_bytes"] = static_cast<double>(expected.size());
}
BENCHMARK(SmfWriteAgainstWrite)->Arg(10000)->Arg(100000)->Iterations(30)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Reading the file: the bytes from the disk and every data set through the reader, against
// read(2) of the same bytes.
void SmfReadAgainstRead(benchmark::State& state)
{
    const size_t count = static_cast<size_t>(state.range(0));
    Bench::CScratchFolder folder;
    const std::string path = folder.File("data.mid");
    CVeyDataSmfWriter writer;
    if (!WriteSmfImage(writer, CDataSetStream(DataSets(static_cast<uint32_t>(count)))) ||
        !Bench::RawWriteFile(path, writer.GetImage().data(), writer.GetImage().size()))
        state.SkipWithError("the file was not written");
    Bench::RunPairedRounds(
        state, 5.0,
        [&] {
            return Bench::Timed(Bench::EClock::kProcess, [&] {
                // As an import does: the whole file into memory, then every event. The bytes go
                // into the same kind of buffer as the peer's, so the figure is the reader's own
                // cost and not that of setting a vector to zero first.
                Bench::CRawBuffer image;
                if (!Bench::ReadWholeFile(path, image))
                    return false;
                CCountingReader reader(image.data(), image.size());
                return reader.Parse() && reader.sysexCount == count;
            });
        },
        [&] {
            return Bench::Timed(Bench::EClock::kProcess, [&] { return Bench::RawReadFile(path); });
        });
    state.counters["file_bytes"] = static_cast<double>(writer.GetImage().size());
}
BENCHMARK(SmfReadAgainstRead)->Arg(10000)->Arg(100000)->Iterations(30)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A small script model with one input and one output; a device that only counts stands in for
// the hardware, so the figures are the framework's own cost.
const char* kScript = R"(<script>
<structType><type>block</type><name>$name</name><address>$address</address>
<value><type>int1x7</type><name>level</name></value>
<value><type>int1x7</type><name>pan</name></value>
</structType>
<structType><type>root</type><name>$name</name><address>$address</address>
<struct><type>block</type><name>common</name><address>00 00 00 00</address></struct>
</structType>
<struct><type>root</type><name>fm</name><address>10 00 00 00</address></struct>
<midiIn><name>in</name><modelID>00 00 3C</modelID><rootStructRef>fm</rootStructRef></midiIn>
<midiOut><name>out</name><modelID>00 00 3C</modelID><rootStructRef>fm</rootStructRef></midiOut>
</script>)";

class CCountingDevice : public CVeyMidiOutDevice
{
public:
    bool Send(const std::vector<uint8_t>& bytes) override
    {
        sentBytes += bytes.size();
        return true;
    }
    size_t sentBytes = 0;
};

class CScriptModel
{
public:
    CScriptModel()
    {
        CVeyScriptDefinitions::GetInstance().Clear();
        CVeyScriptReader::GetInstance().ReadText(kScript);
        CVeyBufferManager::RegisterManagerStep();
        CVeyMidiManager::RegisterManagerStep();
        ok = VeyCreateManagers();
        if (ok)
            CVeyMidiOutputs::GetInstance().Find("out")->AttachDevice(&device);
    }
    ~CScriptModel()
    {
        if (ok)
            CVeyMidiOutputs::GetInstance().Find("out")->DetachAllDevices();
        VeyDestroyManagers();
    }
    bool ok = false;
    CCountingDevice device;
};

void BM_ValueChangeSendsDataSet(benchmark::State& state)
{
    CScriptModel model;
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    CVeyValue* level = manager.FindValueOrNull("fm.common.level");
    if (!model.ok || !level)
    {
        state.SkipWithError("model not created");
        return;
    }
    int32_t number = 0;
    for (auto _ : state)
    {
        manager.SetValue(level, number++ & 0x7F);
        manager.Flush();
        manager.ClearChanges();
    }
    benchmark::DoNotOptimize(model.device.sentBytes);
}
BENCHMARK(BM_ValueChangeSendsDataSet);

void BM_ReceiveDataSetIntoModel(benchmark::State& state)
{
    CScriptModel model;
    CVeyMidiIn* input = CVeyMidiInputs::GetInstance().Find("in");
    if (!model.ok || !input)
    {
        state.SkipWithError("model not created");
        return;
    }
    const ML::Bytes dataSet = BuildDataSet(0x2000000, {0x41, 0x42});
    for (auto _ : state)
        input->OnMessage(dataSet);
    if (CVeyBufferManager::GetInstance().FindValueOrNull("fm.common.pan")->GetNumber() != 0x42)
        state.SkipWithError("the data set did not reach the model");
}
BENCHMARK(BM_ReceiveDataSetIntoModel);
}
