// The instrument's own controls on the bundled script: the processor time from one step of a knob
// (as a drag or the wheel makes it) to the data set message handed to the MIDI output, beside the
// wire time of that message at 31250 baud; and one redraw of the LFO picture (plot and paint).
#include "editor/controls/CLfoControl.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiDevice.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyValue.h"
#include "platform/Gdi.h"
#include "platform/GuiBootstrap.h"
#include "tests/editor/resources/BundledScript.h"
#include "toolkit/ul/Input.h"
#include "ui/panels/CVeyPanel.h"
#include "ui/panels/CVeyViewManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace
{
class CApplication
{
public:
    CApplication()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        if (!CGuiBootstrap::Exists())
            m_application = std::make_unique<CGuiBootstrap>(m_argc, m_argv);
    }

private:
    int m_argc = 1;
    char m_name[32] = "bench_instrument_controls";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<CGuiBootstrap> m_application;
};

// Counts what reaches the instrument's cable.
class CCountingCable : public CVeyMidiOutDevice
{
public:
    CCountingCable() : CVeyMidiOutDevice("cable") {}
    bool Send(const std::vector<uint8_t>& bytes) override
    {
        ++messages;
        lastSize = bytes.size();
        return true;
    }
    size_t messages = 0;
    size_t lastSize = 0;
};

CVeyControl* FindIn(const CVeyPanel& panel, const std::string& name)
{
    for (const auto& control : panel.GetChildControls())
        if (control->GetName() == name)
            return control.get();
    for (const auto& child : panel.GetChildPanels())
        if (CVeyControl* found = FindIn(*child, name))
            return found;
    return nullptr;
}

CVeyControl* FindOnMain(const std::string& name)
{
    const CVeyPanel* main = CVeyViewManager::GetInstance().FindRootPanel("main");
    return main ? FindIn(*main, name) : nullptr;
}

// The first knob of the main panel.
CVeyControl* FirstKnob(const CVeyPanel& panel)
{
    for (const auto& control : panel.GetChildControls())
        if (control->GetTypeName() == "knob")
            return control.get();
    for (const auto& child : panel.GetChildPanels())
        if (CVeyControl* found = FirstKnob(*child))
            return found;
    return nullptr;
}

void KnobStepToDataSet(benchmark::State& state)
{
    CApplication application;
    CBundledScript script;
    if (!script.Read())
    {
        state.SkipWithError("the bundled script does not read");
        return;
    }
    CCountingCable cable;
    CVeyMidiOut* out = CVeyMidiOutputs::GetInstance().Find("Talvarix");
    const CVeyPanel* main = CVeyViewManager::GetInstance().FindRootPanel("main");
    auto* knob = main ? dynamic_cast<IVeySingleControl*>(FirstKnob(*main)) : nullptr;
    if (!out || !knob || knob->GetValueCount() < 2)
    {
        state.SkipWithError("no output port or knob");
        return;
    }
    out->AttachDevice(&cable);
    int32_t index = 0;
    for (auto _ : state)
    {
        index = index == 0 ? 1 : 0;
        knob->SetValue(index);
    }
    out->DetachDevice(&cable);
    state.counters["messages_per_step"] = double(cable.messages) / double(state.iterations());
    state.counters["message_bytes"] = double(cable.lastSize);
    // Ten bits per byte at 31250 baud.
    state.counters["wire_us"] = double(cable.lastSize) * 10.0 * 1e6 / 31250.0;
}

void LfoRedraw(benchmark::State& state)
{
    CApplication application;
    CBundledScript script;
    auto* lfo = script.Read() ? dynamic_cast<CLfoControl*>(FindOnMain("lfo1")) : nullptr;
    if (!lfo)
    {
        state.SkipWithError("no LFO picture");
        return;
    }
    CVeyValue* waveform = lfo->GetValue(CLfoControl::kWaveformRef);
    const CRect& rect = lfo->GetRect();
    CBitmap picture;
    picture.CreateBitmap(rect.right + 1, rect.bottom + 1);
    CDC dc;
    dc.SelectObject(&picture);
    const UL::CDrawInfo info(&dc, nullptr, nullptr);
    waveform->SetNumber(int32_t(state.range(0)));
    for (auto _ : state)
    {
        lfo->Plot();
        lfo->Draw(info);
    }
}
}

BENCHMARK(KnobStepToDataSet)->Unit(benchmark::kMicrosecond);
// Sine, random and step waveforms.
BENCHMARK(LfoRedraw)->Arg(0)->Arg(5)->Arg(12)->Unit(benchmark::kMicrosecond);
