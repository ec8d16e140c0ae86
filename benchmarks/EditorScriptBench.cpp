// The editor's start on its bundled script, without windows shown: reading the script and
// creating the managers (pictures, lettering, tables, the instrument's memory, the MIDI ports and
// every root panel with its controls), then also opening every root panel and drawing it.
#include "benchmarks/support/OffscreenApplication.h"
#include "model/CVeyBufferManager.h"
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

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

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

// Every root panel of the bundled script opened and then drawn whole, as a window's first paint
// and every full repaint does; the counters give each panel's own open_ms and draw_ms.
void OpenAndDrawEveryRootPanel(benchmark::State& state)
{
    Bench::COffscreenApplication application;
    CBundledScript script;
    if (!script.Read())
    {
        state.SkipWithError("the bundled script does not read");
        return;
    }
    // The select and write windows show their contents when their switch is set, as their buttons
    // set it; the list windows and the system area are screens of the navigation state, and only
    // one is shown at a time: the tone list, the largest, is measured open.
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    for (const char* path : {"vs.control.selectPanelSw", "vs.control.writePanelSw"})
    {
        if (CVeyValue* value = buffers.FindValueOrNull(path))
            buffers.SetValue(value, 2);
    }
    if (CVeyValue* state = buffers.FindValueOrNull("vs.navigation.patpat.state"))
        buffers.SetValue(state, 6);
    buffers.Flush();
    buffers.UpdateViews();
    buffers.ClearChanges();
    CVeyViewManager& views = CVeyViewManager::GetInstance();
    std::map<std::string, std::pair<double, double>> perPanel;   // seconds opening, drawing
    const auto seconds = [](std::chrono::steady_clock::time_point since) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
    };
    for (auto _ : state)
    {
        for (const auto& root : views.GetRootPanels())
        {
            auto start = std::chrono::steady_clock::now();
            views.OpenRootPanel(root->GetName());
            perPanel[root->GetName()].first += seconds(start);
            start = std::chrono::steady_clock::now();
            const CRect& rect = root->GetRect();
            CBitmap picture;
            picture.CreateBitmap(rect.Width(), rect.Height());
            CDC dc;
            dc.SelectObject(&picture);
            root->Draw(UL::CDrawInfo(&dc, nullptr, nullptr));
            perPanel[root->GetName()].second += seconds(start);
        }
        state.PauseTiming();
        for (const auto& root : views.GetRootPanels())
            root->Close();
        state.ResumeTiming();
    }
    const double rounds = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    for (const auto& panel : perPanel)
    {
        state.counters["open_ms_" + panel.first] = panel.second.first / rounds * 1e3;
        state.counters["draw_ms_" + panel.first] = panel.second.second / rounds * 1e3;
    }
}
BENCHMARK(OpenAndDrawEveryRootPanel)->Unit(benchmark::kMillisecond);
}
