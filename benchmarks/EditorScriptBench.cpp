// The editor's start on its bundled script, without windows shown: reading the script and
// creating the managers (pictures, lettering, tables, the instrument's memory, the MIDI ports and
// every root panel with its controls), then also opening every root panel and drawing it.
#include "benchmarks/support/OffscreenApplication.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/VeyManagers.h"
#include "platform/Gdi.h"
#include "tests/editor/resources/BundledScript.h"
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/ul/Input.h"
#include "ui/panels/CVeyPanel.h"
#include "ui/panels/CVeyViewManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace
{
void ReadBundledScriptAndCreateManagers(benchmark::State& state)
{
    Bench::COffscreenApplication application;
    for (auto _ : state)
    {
        state.PauseTiming();
        auto script = std::make_unique<CBundledScript>();
        state.ResumeTiming();
        const bool read = script->Read();
        state.PauseTiming();
        script.reset();   // the teardown is not part of the start
        state.ResumeTiming();
        if (!read)
        {
            state.SkipWithError(GetTraceTextOut().GetText().c_str());
            break;
        }
    }
}
BENCHMARK(ReadBundledScriptAndCreateManagers)->Unit(benchmark::kMillisecond);

void ReadBundledScriptOnly(benchmark::State& state)
{
    std::string text;
    {
        std::ostringstream file;
        file << std::ifstream(CBundledScript::Folder() + "Script.xml").rdbuf();
        text = file.str();
    }
    for (auto _ : state)
    {
        std::istringstream stream(text);
        benchmark::DoNotOptimize(CVeyScriptReader::GetInstance().Read(stream));
        state.PauseTiming();
        CVeyScriptDefinitions::GetInstance().Clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(ReadBundledScriptOnly)->Unit(benchmark::kMillisecond);

void OpenAndDrawEveryRootPanel(benchmark::State& state)
{
    Bench::COffscreenApplication application;
    CBundledScript script;
    if (!script.Read())
    {
        state.SkipWithError("the bundled script does not read");
        return;
    }
    CVeyViewManager& views = CVeyViewManager::GetInstance();
    for (auto _ : state)
    {
        for (const auto& root : views.GetRootPanels())
        {
            views.OpenRootPanel(root->GetName());
            const CRect& rect = root->GetRect();
            CBitmap picture;
            picture.CreateBitmap(rect.Width(), rect.Height());
            CDC dc;
            dc.SelectObject(&picture);
            root->Draw(UL::CDrawInfo(&dc, nullptr, nullptr));
        }
        state.PauseTiming();
        for (const auto& root : views.GetRootPanels())
            root->Close();
        state.ResumeTiming();
    }
}
BENCHMARK(OpenAndDrawEveryRootPanel)->Unit(benchmark::kMillisecond);
}
