// The parameter model at the size of a large instrument: a generated script of 50,000 values in
// 1,000 leaves (100 leaf types, each instantiated 10 times through an array), read and turned into
// the tree, then walked, written out as a data file body, and one value set, sent and cleared.
#include "model/CVeyBufferManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/IVeyModelLinks.h"
#include "benchmarks/support/PairedRounds.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace
{
constexpr int kLeafTypes = 100;
constexpr int kValuesPerLeaf = 50;
constexpr int kBanks = 10;

// `banks` instances of a bank of every leaf type: 5,000 values each.
std::string MakeScript(int banks)
{
    static const char* const kValues[] = {
        "<type>int1x7</type><range>-64S,63S</range><default>0S</default>",
        "<type>int2x7</type><range>0,1023</range><default>512</default>",
        "<type>int2x4</type><range>-100S,100S</range><default>0S</default>",
        "<type>int4x4</type><range>0,65535</range><default>100</default>",
        "<type>int1x7</type><range>0,1</range>",
    };
    std::string script = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<script>\n";
    std::string bank = "<structType><type>bankT</type><name>$name</name><address>$address</address>\n";
    for (int t = 0; t < kLeafTypes; ++t)
    {
        const std::string id = std::to_string(t);
        script += "<structType><type>leafT" + id + "</type><name>$name</name>\n";
        script += "  <value><type>string</type><name>label</name><size>0C</size><default>LEAF " + id + "</default></value>\n";
        for (int v = 1; v < kValuesPerLeaf; ++v)
            script += "  <value>" + std::string(kValues[v % 5]) + "<name>p" + std::to_string(v) + "</name></value>\n";
        script += "</structType>\n";
        bank += "  <struct><type>leafT" + id + "</type><name>leaf" + id + "</name></struct>\n";
    }
    script += bank + "</structType>\n";
    script += "<structType><type>fmT</type><name>$name</name><address>$address</address>\n  <struct><type>bankT</type>"
              "<name>bank</name>";
    for (int b = 0; b < banks; ++b)
    {
        char address[32];
        std::snprintf(address, sizeof address, "<address>%02X 00 00</address>", b);
        script += address;
    }
    script += "</struct>\n</structType>\n";
    script += "<struct><type>fmT</type><name>fm</name><address>10 00 00 00</address></struct>\n</script>\n";
    return script;
}

const std::string& Script()
{
    static const std::string script = MakeScript(kBanks);
    return script;
}

bool BuildModel()
{
    CVeyBufferManager::GetInstance().Clear();
    CVeyScriptDefinitions::GetInstance().Clear();
    return CVeyScriptReader::GetInstance().ReadText(Script()) && CVeyBufferManager::GetInstance().CreateStructs();
}

class CNullTransmitter : public IVeyTransmitter
{
public:
    bool SendDt1(CVeyAddress address, const uint8_t* data, size_t size) override
    {
        benchmark::DoNotOptimize(address);
        benchmark::DoNotOptimize(data);
        sent += size;
        return true;
    }
    size_t GetDt1FrameSize() const override { return 15; }
    size_t sent = 0;
};

class CCountingBuffer : public std::streambuf
{
public:
    size_t count = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override
    {
        count += static_cast<size_t>(n);
        return n;
    }
    int_type overflow(int_type c) override
    {
        ++count;
        return c;
    }
};

void CreateModelFromScript(benchmark::State& state)
{
    for (auto _ : state)
    {
        if (!BuildModel())
            state.SkipWithError("the model was not created");
    }
    size_t values = 0;
    CVeyStruct* fm = CVeyBufferManager::GetInstance().FindStructOrNull("fm");
    struct CCount : CVeyBufferOperation::IVisitor
    {
        size_t* values;
        void Enter(CVeyStruct& s) override { *values += s.GetValues() ? s.GetValues()->size() : 0; }
        void Leave(CVeyStruct&) override {}
    } count;
    count.values = &values;
    if (fm)
        CVeyBufferOperation::Walk(*fm, count);
    state.counters["values"] = static_cast<double>(values);
    state.counters["valueRecords"] = static_cast<double>(CVeyBufferManager::GetInstance().GetValueDefinitionCount());
    state.counters["structRecords"] = static_cast<double>(CVeyBufferManager::GetInstance().GetStructDefinitionCount());
}

void WalkModel(benchmark::State& state)
{
    if (!BuildModel())
        state.SkipWithError("the model was not created");
    CVeyStruct* fm = CVeyBufferManager::GetInstance().FindStructOrNull("fm");
    struct CSum : CVeyBufferOperation::IVisitor
    {
        int64_t sum = 0;
        void Enter(CVeyStruct& s) override
        {
            if (std::vector<CVeyValue>* values = s.GetValues())
                for (const CVeyValue& value : *values)
                    sum += value.GetNumber();
        }
        void Leave(CVeyStruct&) override {}
    } visitor;
    for (auto _ : state)
    {
        CVeyBufferOperation::Walk(*fm, visitor);
        benchmark::DoNotOptimize(visitor.sum);
    }
}

void WriteAllData(benchmark::State& state)
{
    if (!BuildModel())
        state.SkipWithError("the model was not created");
    CVeyStruct* fm = CVeyBufferManager::GetInstance().FindStructOrNull("fm");
    size_t bytes = 0;
    for (auto _ : state)
    {
        CCountingBuffer buffer;
        std::ostream stream(&buffer);
        WriteStructData(*fm, stream);
        bytes = buffer.count;
    }
    state.counters["bodyBytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void SetValueFlushClear(benchmark::State& state)
{
    if (!BuildModel())
        state.SkipWithError("the model was not created");
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    CNullTransmitter out;
    static_cast<CVeyRootStruct*>(manager.FindStructOrNull("fm"))->SetMidiOut(&out);
    CVeyValue* value = manager.FindValueOrNull("fm.bank[9].leaf99.p49");
    if (!value)
        state.SkipWithError("value not found");
    int32_t n = 0;
    for (auto _ : state)
    {
        manager.SetValue(value, n++ & 1);
        manager.Flush();
        manager.UpdateViews();
        manager.ClearChanges();
    }
    static_cast<CVeyRootStruct*>(manager.FindStructOrNull("fm"))->SetMidiOut(nullptr);
}
}

namespace
{
// A script of `roots` root structs, each of a type of its own over one shared leaf type, as an
// instrument with thousands of addressable blocks has.
std::string MakeManyRootsScript(int roots)
{
    std::string script = "<script>\n<structType><type>leafT</type><name>$name</name><address>$address</address>\n";
    for (int v = 0; v < 4; ++v)
        script += "  <value><type>int1x7</type><name>v" + std::to_string(v) + "</name></value>\n";
    script += "</structType>\n";
    for (int r = 0; r < roots; ++r)
    {
        const std::string id = std::to_string(r);
        script += "<structType><type>rootT" + id + "</type><name>$name</name><address>$address</address>\n"
                  "  <struct><type>leafT</type><name>block</name><address>00 00 00 00</address></struct>\n"
                  "</structType>\n";
    }
    for (int r = 0; r < roots; ++r)
    {
        const std::string id = std::to_string(r);
        char address[32];
        std::snprintf(address, sizeof address, "%02X %02X 00 00", 0x10 + r / 128, r % 128);
        script += "<struct><type>rootT" + id + "</type><name>r" + id + "</name><address>" + address +
                  "</address></struct>\n";
    }
    return script + "</script>\n";
}

// The processor time of creating the model alone; the script is read before the clock starts.
double TimedCreation(const std::string& script)
{
    CVeyBufferManager::GetInstance().Clear();
    CVeyScriptDefinitions::GetInstance().Clear();
    if (!CVeyScriptReader::GetInstance().ReadText(script))
        return -1;
    return Bench::Timed(Bench::EClock::kProcess, [] { return CVeyBufferManager::GetInstance().CreateStructs(); });
}

// Cost per root at the given count against the cost per root at 100 roots: flat means linear.
void CreateManyRoots(benchmark::State& state)
{
    constexpr int kBaseRoots = 100;
    const int roots = static_cast<int>(state.range(0));
    const std::string base = MakeManyRootsScript(kBaseRoots);
    const std::string large = MakeManyRootsScript(roots);
    Bench::RunPairedRounds(
        state, 1.2, [&] { return TimedCreation(large); }, [&] { return TimedCreation(base); },
        static_cast<double>(roots) / kBaseRoots);
    state.counters["us_per_root"] = benchmark::Counter(static_cast<double>(state.iterations()) * roots,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    CVeyBufferManager::GetInstance().Clear();
}

// The model of 500,000 values (100 banks of the script above) beside filling a plain array with
// the same records: per value its leaf, its bytes and its definition, and every leaf's bytes
// holding the defaults. Both sides are timed from their first allocation; the script is read
// and the last model cleared before the clock starts.
void CreateModelAgainstPlainArray(benchmark::State& state)
{
    constexpr int kLargeBanks = 100;
    const std::string script = MakeScript(kLargeBanks);
    struct CRecord
    {
        const void* leaf;
        uint8_t* bytes;
        const CVeyValueDefinition* definition;
    };
    // What the plain array is filled from: every value's definition and offset in its leaf, and
    // every leaf's default bytes, taken from a model built once.
    struct CLeafSource
    {
        std::vector<uint8_t> defaults;
        std::vector<std::pair<const CVeyValueDefinition*, int32_t>> values;
    };
    std::vector<CLeafSource> leaves;
    size_t valueCount = 0;
    size_t byteCount = 0;
    {
        if (TimedCreation(script) < 0)
        {
            state.SkipWithError("the model was not created");
            return;
        }
        struct CCollect : CVeyBufferOperation::IVisitor
        {
            std::vector<CLeafSource>* leaves;
            void Enter(CVeyStruct& s) override
            {
                const std::vector<CVeyValue>* values = s.GetValues();
                if (!values)
                    return;
                CLeafSource leaf;
                leaf.defaults = *s.GetData();
                for (const CVeyValue& value : *values)
                    leaf.values.emplace_back(value.GetDefinition(), value.GetAddressRange().begin);
                leaves->push_back(std::move(leaf));
            }
            void Leave(CVeyStruct&) override {}
        } collect;
        collect.leaves = &leaves;
        CVeyBufferOperation::Walk(*CVeyBufferManager::GetInstance().FindStructOrNull("fm"), collect);
        for (const CLeafSource& leaf : leaves)
        {
            valueCount += leaf.values.size();
            byteCount += leaf.defaults.size();
        }
    }
    const auto peer = [&] {
        return Bench::Timed(Bench::EClock::kProcess, [&] {
            std::unique_ptr<CRecord[]> records(new CRecord[valueCount]);
            std::unique_ptr<uint8_t[]> bytes(new uint8_t[byteCount]);
            size_t record = 0;
            size_t at = 0;
            for (const CLeafSource& leaf : leaves)
            {
                uint8_t* data = bytes.get() + at;
                std::memcpy(data, leaf.defaults.data(), leaf.defaults.size());
                for (const auto& [definition, offset] : leaf.values)
                    records[record++] = CRecord{&leaf, data + offset, definition};
                at += leaf.defaults.size();
            }
            benchmark::DoNotOptimize(records.get());
            benchmark::DoNotOptimize(bytes.get());
            return record == valueCount;
        });
    };
    Bench::RunPairedRounds(state, 5, [&] { return TimedCreation(script); }, peer);
    state.counters["values"] = static_cast<double>(valueCount);
    CVeyBufferManager::GetInstance().Clear();
}
}

BENCHMARK(CreateModelFromScript)->Unit(benchmark::kMillisecond);
BENCHMARK(WalkModel)->Unit(benchmark::kMicrosecond);
BENCHMARK(WriteAllData)->Unit(benchmark::kMicrosecond);
BENCHMARK(SetValueFlushClear)->Unit(benchmark::kNanosecond);
BENCHMARK(CreateManyRoots)->Arg(1000)->Arg(10000)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(CreateModelAgainstPlainArray)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);
