// Reading and writing a librarian file of 10,000 patches, in memory and through the file system
// (the file save includes the flush to disk and the rename).
#include "librarian/app/ImageDocument.h"
#include "librarian/app/LibrarianFile.h"
#include "benchmarks/support/PairedRounds.h"
#include "benchmarks/support/RawFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

namespace
{
constexpr size_t kPatchCount = 10000;

CPatchArray MakePatches()
{
    CPatchArray patches;
    patches.Resize(kPatchCount);
    for (size_t i = 0; i < kPatchCount; ++i)
    {
        CPatch& patch = patches.At(i);
        patch.SetName("Patch " + std::to_string(i));
        patch.SetText(0, "memo " + std::to_string(i));
        for (CParameter::CPart& part : patch.GetParts())
            for (CParameter::CBlock& block : part)
                for (size_t b = 12; b < block.size(); ++b)
                    block[b] = static_cast<uint8_t>((i + b) & 0x7F);
    }
    return patches;
}

std::string SerializedPatches()
{
    std::ostringstream out;
    WriteLibrarianFile(out, MakePatches());
    return out.str();
}

// Counts what it is given and keeps nothing, so the figure is the serialisation alone.
class CCountingBuffer : public std::streambuf
{
public:
    int64_t count = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override
    {
        count += n;
        return n;
    }
    int_type overflow(int_type c) override
    {
        ++count;
        return traits_type::not_eof(c);
    }
};

void Serialize(benchmark::State& state)
{
    const CPatchArray patches = MakePatches();
    for (auto _ : state)
    {
        CCountingBuffer buffer;
        std::ostream out(&buffer);
        benchmark::DoNotOptimize(WriteLibrarianFile(out, patches));
        state.SetBytesProcessed(state.bytes_processed() + buffer.count);
    }
}
BENCHMARK(Serialize)->Unit(benchmark::kMillisecond);

void ReadFromMemory(benchmark::State& state)
{
    const std::string bytes = SerializedPatches();
    for (auto _ : state)
    {
        std::istringstream in(bytes);
        CPatchArray patches;
        if (ReadLibrarianFile(in, patches) != kFileMessageNone || patches.GetSize() != kPatchCount)
            state.SkipWithError("read failed");
        state.SetBytesProcessed(state.bytes_processed() + static_cast<int64_t>(bytes.size()));
    }
}
BENCHMARK(ReadFromMemory)->Unit(benchmark::kMillisecond);

void SaveFile(benchmark::State& state)
{
    Bench::CScratchFolder folder;
    CImageDocument document;
    document.GetCurrent().GetPatches() = MakePatches();
    for (auto _ : state)
        if (!document.WriteFile(folder.File("bench.q9l")))
            state.SkipWithError("save failed");
}
BENCHMARK(SaveFile)->Unit(benchmark::kMillisecond);

void OpenFile(benchmark::State& state)
{
    Bench::CScratchFolder folder;
    {
        CImageDocument document;
        document.GetCurrent().GetPatches() = MakePatches();
        document.WriteFile(folder.File("bench.q9l"));
    }
    for (auto _ : state)
    {
        CFileDocument document;
        if (!document.ReadFile(folder.File("bench.q9l")))
            state.SkipWithError("open failed");
    }
}
BENCHMARK(OpenFile)->Unit(benchmark::kMillisecond);

// Opening the file (read and checked into a list of patches) against a raw read of its bytes.
void OpenAgainstRawRead(benchmark::State& state)
{
    Bench::CScratchFolder folder;
    const std::string path = folder.File("bench.q9l");
    const std::string bytes = SerializedPatches();
    if (!Bench::RawWriteFile(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()))
        state.SkipWithError("the file was not written");
    Bench::RunPairedRounds(
        state, 2.0,
        [&] {
            // A new, empty document each round; closing it is no part of opening the file.
            auto document = std::make_unique<CFileDocument>();
            return Bench::Timed(Bench::EClock::kProcess, [&] {
                return document->ReadFile(path) && document->GetCurrent().GetPatches().GetSize() == kPatchCount;
            });
        },
        [&] {
            return Bench::Timed(Bench::EClock::kProcess, [&] { return Bench::RawReadFile(path); });
        });
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(OpenAgainstRawRead)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

// Saving the file (a new file flushed to the disk and renamed over the old one) against the
// same bytes written, flushed and renamed with plain system calls.
void SaveAgainstRawWrite(benchmark::State& state)
{
    Bench::CScratchFolder folder;
    const std::string ours = folder.File("ours.q9l");
    const std::string peer = folder.File("peer.q9l");
    const std::string bytes = SerializedPatches();
    CImageDocument document;
    document.GetCurrent().GetPatches() = MakePatches();
    Bench::RunPairedRounds(
        state, 1.5, [&] { return Bench::Timed(Bench::EClock::kWall, [&] { return document.WriteFile(ours); }); },
        [&] {
            return Bench::Timed(Bench::EClock::kWall, [&] {
                return Bench::RawWriteFile(peer, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), true);
            });
        });
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(SaveAgainstRawWrite)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);
}
