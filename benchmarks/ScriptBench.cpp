// Reading a large generated script: struct types with values, panel types with controls and
// resources, about the mix of a real instrument script.
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "benchmarks/support/PairedRounds.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#ifdef Q9_BENCH_WITH_PUGIXML
#include <pugixml.hpp>
#endif

namespace
{
std::string MakeScript(size_t targetSize)
{
    std::string script = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<script>\r\n";
    for (int n = 0; script.size() < targetSize; ++n)
    {
        const std::string id = std::to_string(n);
        script += "<!-- block " + id + " -->\r\n";
        script += "<stringTable><name>table" + id + "</name><table>OFF, ON, \\sA\\cB</table></stringTable>\r\n";
        script += "<bitmap><name>knob" + id + "</name><stateCount>64</stateCount></bitmap>\r\n";
        script += "<structType><type>toneT" + id + "</type><name>$name</name><address>$address</address>\r\n";
        for (int v = 0; v < 16; ++v)
            script += "  <value><type>int1x7</type><name>p" + std::to_string(v) +
                      "</name><range>0,127</range><default>64</default></value>\r\n";
        script += "</structType>\r\n";
        script += "<panelType><type>panel" + id + "</type><name>$name</name><position>0,0</position>"
                  "<size>400,300</size>\r\n";
        for (int c = 0; c < 8; ++c)
            script += "  <control><type>knob</type><name>k" + std::to_string(c) +
                      "</name><position>10,10</position><size>32,32</size><bitmapRef>knob" + id +
                      "</bitmapRef><valueRef>fm.pat.tone[vs.t,1,+].p" + std::to_string(c) +
                      "</valueRef><enableCondition>vs.x,0,&gt;</enableCondition></control>\r\n";
        script += "</panelType>\r\n";
        script += "<struct><type>toneT" + id + "</type><name>t" + id + "</name><address>10 00 00 00</address></struct>\r\n";
    }
    return script + "</script>\r\n";
}

void ReadScript(benchmark::State& state)
{
    const std::string script = MakeScript(static_cast<size_t>(state.range(0)));
    for (auto _ : state)
    {
        std::istringstream stream(script);
        const bool ok = CVeyScriptReader::GetInstance().Read(stream);
        benchmark::DoNotOptimize(ok);
        state.PauseTiming();
        CVeyScriptDefinitions::GetInstance().Clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(script.size()));
}
}

BENCHMARK(ReadScript)->Arg(5 * 1024 * 1024)->Unit(benchmark::kMillisecond);

#ifdef Q9_BENCH_WITH_PUGIXML
namespace
{
// The script read from its bytes in memory into the definitions, as loading a file does after
// the read, against a general XML parser building its tree from the same bytes.
void ReadScriptAgainstXmlParser(benchmark::State& state)
{
    const std::string script = MakeScript(static_cast<size_t>(state.range(0)));
    Bench::RunPairedRounds(
        state, 1.5,
        [&] {
            std::istringstream stream(script);
            const double seconds =
                Bench::Timed(Bench::EClock::kProcess, [&] { return CVeyScriptReader::GetInstance().Read(stream); });
            CVeyScriptDefinitions::GetInstance().Clear();
            return seconds;
        },
        [&] {
            pugi::xml_document document;
            return Bench::Timed(Bench::EClock::kProcess, [&] {
                return static_cast<bool>(document.load_buffer(script.data(), script.size()));
            });
        });
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(script.size()));
}
}
BENCHMARK(ReadScriptAgainstXmlParser)
    ->Arg(5 * 1000 * 1000)
    ->Arg(50 * 1000 * 1000)
    ->Iterations(7)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
#endif
