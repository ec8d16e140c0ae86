// Reading and writing a librarian file of 10,000 patches, in memory and through the file system
// (the file save includes the flush to disk and the rename).
#include "librarian/app/ImageDocument.h"
#include "librarian/app/LibrarianFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
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

class CBenchFolder
{
public:
    CBenchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "q9bench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~CBenchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    std::string File(const char* name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

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
    CBenchFolder folder;
    CImageDocument document;
    document.GetCurrent().GetPatches() = MakePatches();
    for (auto _ : state)
        if (!document.WriteFile(folder.File("bench.q9l")))
            state.SkipWithError("save failed");
}
BENCHMARK(SaveFile)->Unit(benchmark::kMillisecond);

void OpenFile(benchmark::State& state)
{
    CBenchFolder folder;
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
}
