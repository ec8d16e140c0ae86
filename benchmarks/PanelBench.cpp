// A root panel of 300 script controls (knobs, sliders, static texts, latch buttons, bar sliders and
// combos), each bound to its own value of the model, with the editor's resource factory behind
// its bitmaps and fonts. Measured: opening the panel until its window has painted, one full redraw
// of the window, and a data set from the instrument received through the script's MIDI input until
// the control it moves has repainted. The "frames" counter is each one's time as a share of one
// 60 Hz frame (16.7 ms).
#include "editor/CResourceFactory.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiManager.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/CVeyValue.h"
#include "model/VeyManagers.h"
#include "platform/GuiBootstrap.h"
#include "platform/Messages.h"
#include "tests/support/TempDir.h"
#include "toolkit/ul/Input.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/panels/CPanelWindow.h"
#include "ui/panels/CVeyViewManager.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int kControls = 300;
constexpr int kColumns = 20;
constexpr int kCellWidth = 48, kCellHeight = 40;
constexpr int kValuesPerPart = 100;
constexpr double kFrameSeconds = 1.0 / 60;

const char* const kControlTypes[] = {"knob", "slider", "staticText", "latchButton", "barSlider", "combo"};

// The value of control i: part[i / 100].p(i % 100), one byte each from 10 00 0n 00.
std::string ValuePath(int i)
{
    return "fm.part[" + std::to_string(i / kValuesPerPart) + "].p" + std::to_string(i % kValuesPerPart);
}

std::string MakeScript()
{
    std::string script = "<script>\n<stringTable><name>names</name><table>";
    for (int n = 0; n < 16; ++n)
        script += (n ? ", Item " : "Item ") + std::to_string(n);
    script += "</table></stringTable>\n"
              "<textWriter><name>text</name><fontFaceName>DEFAULT</fontFaceName><fontHeight>11</fontHeight>"
              "<fontColor>51200,52736,54784</fontColor><backgroundColor>7680,8704,10496</backgroundColor>"
              "<textAlignment>center</textAlignment></textWriter>\n"
              "<bitmap><name>back</name></bitmap>\n"
              "<bitmap><name>knob.png</name><stateCount>32</stateCount><direction>1</direction></bitmap>\n"
              "<bitmap><name>thumb</name></bitmap>\n"
              "<bitmap><name>latch</name><stateCount>4</stateCount></bitmap>\n"
              "<bitmap><name>drop</name><stateCount>2</stateCount></bitmap>\n";
    script += "<structType><type>partT</type><name>$name</name><address>$address</address>\n";
    for (int v = 0; v < kValuesPerPart; ++v)
        script += "  <value><type>int1x7</type><name>p" + std::to_string(v) + "</name><default>64</default></value>\n";
    script += "</structType>\n"
              "<structType><type>fmT</type><name>$name</name><address>$address</address>"
              "<struct><type>partT</type><name>part</name><address>00 00 00 00</address>"
              "<address>00 00 01 00</address><address>00 00 02 00</address></struct></structType>\n"
              "<struct><type>fmT</type><name>fm</name><address>10 00 00 00</address></struct>\n"
              "<midiStruct><name>ms</name></midiStruct>\n"
              "<midiIn><name>in</name><modelID>00 00 3C</modelID><addressSize>4</addressSize>"
              "<rootStructRef>fm</rootStructRef><midiStructRef>ms</midiStructRef></midiIn>\n";
    const int rows = (kControls + kColumns - 1) / kColumns;
    script += "<panelType><type>benchT</type><name>bench</name><size>" + std::to_string(kColumns * kCellWidth) + "," +
              std::to_string(rows * kCellHeight) + "</size><bitmapRef>back</bitmapRef>\n";
    for (int i = 0; i < kControls; ++i)
    {
        const std::string type = kControlTypes[i % 6];
        const int x = (i % kColumns) * kCellWidth + 4, y = (i / kColumns) * kCellHeight + 4;
        script += "  <control><type>" + type + "</type><name>c" + std::to_string(i) + "</name><position>" +
                  std::to_string(x) + "," + std::to_string(y) + "</position><valueRef>" + ValuePath(i) + "</valueRef>";
        if (type == "knob")
            script += "<bitmapRef>knob.png</bitmapRef>";
        else if (type == "slider")
            script += "<size>40,14</size><direction>1</direction><bitmapRef>thumb</bitmapRef>";
        else if (type == "staticText")
            script += "<size>40,16</size><textWriterRef>text</textWriterRef>";
        else if (type == "latchButton")
            script += "<bitmapRef>latch</bitmapRef><textWriterRef>text</textWriterRef><label>On</label>";
        else if (type == "barSlider")
            script += "<size>40,10</size><direction>1</direction><barColor>58880,35840,10240</barColor>";
        else
            script += "<size>40,16</size><stringTableRef>names</stringTableRef><textWriterRef>text</textWriterRef>"
                      "<bitmapRef>drop</bitmapRef>";
        script += "</control>\n";
    }
    return script + "</panelType>\n<panel><type>benchT</type></panel>\n</script>\n";
}

// Plain pictures of the sizes the controls need: a knob strip whose states differ, a slider thumb,
// a button of four looks, a drop-down button and the panel's background.
bool WriteBitmaps(const CTempDir& folder)
{
    const auto write = [&](const std::string& name, int width, int height, int states, bool horizontal,
                           const char* format) {
        CBitmap image;
        CDC dc;
        if (!image.CreateBitmap(width, height))
            return false;
        dc.SelectObject(&image);
        dc.FillSolidRect(RECT{0, 0, width, height}, RGB(40, 44, 52));
        for (int s = 0; s < states; ++s)
        {
            const int w = horizontal ? width / states : width, h = horizontal ? height : height / states;
            const int left = horizontal ? s * w : 0, top = horizontal ? 0 : s * h;
            dc.FillSolidRect(RECT{left + 2, top + 2, left + w - 2, top + h - 2}, RGB(80 + 5 * s, 90, 110));
            dc.FillSolidRect(RECT{left + 2 + (w - 6) * s / states, top + 4, left + 6 + (w - 6) * s / states, top + 8},
                             RGB(255, 160, 40));
        }
        return image.SaveFile(folder.File(name).c_str(), format) != FALSE;
    };
    return write("back.bmp", kColumns * kCellWidth, 15 * kCellHeight, 1, false, "BMP") &&
           write("knob.png", 32 * 32, 32, 32, true, "PNG") && write("thumb.bmp", 8, 14, 1, false, "BMP") &&
           write("latch.bmp", 40, 4 * 18, 4, false, "BMP") && write("drop.bmp", 12, 2 * 16, 2, false, "BMP");
}

// A data set of one byte at an address of the model, as the instrument sends it.
std::vector<uint8_t> DataSet(uint32_t address, uint8_t data)
{
    std::vector<uint8_t> bytes = {0xF0, 0x41, 0x10, 0x00, 0x00, 0x3C, 0x12};
    int sum = data;
    for (int shift = 21; shift >= 0; shift -= 7)
    {
        bytes.push_back(static_cast<uint8_t>((address >> shift) & 0x7F));
        sum += bytes.back();
    }
    bytes.push_back(data);
    bytes.push_back(static_cast<uint8_t>((128 - sum % 128) % 128));
    bytes.push_back(0xF7);
    return bytes;
}

void PumpMessages()
{
    while (PumpAllMessages())
    {
    }
}

// The editor's managers over the generated script, built once for all the benchmarks.
struct CBenchPanel
{
    CBenchPanel()
    {
        static int argc = 1;
        static char name[] = "bench_panel";
        static char* argv[] = {name, nullptr};
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        if (!CGuiBootstrap::Exists())
            application = std::make_unique<CGuiBootstrap>(argc, argv);
        if (!WriteBitmaps(folder))
            return;
        CVeyStateBitmap::SetBitmapFolder(folder.Path() + "/");
        CVeyResourceManager::RegisterManagerStep();
        CVeyBufferManager::RegisterManagerStep();
        CVeyMidiManager::RegisterManagerStep();
        CVeyViewManager::RegisterManagerStep();
        CVeyResourceManager::GetInstance().SetResourceFactory(std::make_unique<CResourceFactory>());
        ok = CVeyScriptReader::GetInstance().ReadText(MakeScript()) && VeyCreateManagers();
        panel = ok ? dynamic_cast<CWindowRootPanel*>(CVeyViewManager::GetInstance().FindRootPanel("bench")) : nullptr;
        in = CVeyMidiInputs::GetInstance().Find("in");
        ok = ok && panel && in;
    }
    ~CBenchPanel()
    {
        Close();
        VeyDestroyManagers();
        CVeyScriptDefinitions::GetInstance().Clear();
        CVeyStateBitmap::SetBitmapFolder("");
    }

    // Opens the panel and lets its window paint for the first time.
    bool Open()
    {
        if (!CVeyViewManager::GetInstance().OpenRootPanel("bench") || !panel->GetWindow())
            return false;
        PumpMessages();
        panel->GetWindow()->UpdateWindow();
        return true;
    }
    void Close()
    {
        if (panel && panel->GetWindow())
            panel->Close();
        PumpMessages();
    }

    static CBenchPanel& Get()
    {
        if (!s_instance)
            s_instance = std::make_unique<CBenchPanel>();
        return *s_instance;
    }
    // Ends the panel and its application before main returns: Qt's own statics are gone by the
    // time a static of ours would be destroyed at exit.
    static void Release() { s_instance.reset(); }
    static inline std::unique_ptr<CBenchPanel> s_instance;

    std::unique_ptr<CGuiBootstrap> application;
    CTempDir folder;
    bool ok = false;
    CWindowRootPanel* panel = nullptr;
    CVeyMidiIn* in = nullptr;
};

// Times the body of each iteration and reports, as "frames", the mean of those times as a share of
// one 60 Hz frame.
class CFrameShare
{
public:
    explicit CFrameShare(benchmark::State& state) : m_state(state) {}
    ~CFrameShare()
    {
        m_state.counters["frames"] = benchmark::Counter(m_seconds / kFrameSeconds, benchmark::Counter::kAvgIterations);
    }
    template <class F>
    void Time(F body)
    {
        const auto start = std::chrono::steady_clock::now();
        body();
        m_seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

private:
    benchmark::State& m_state;
    double m_seconds = 0;
};

void OpenPanel(benchmark::State& state)
{
    CBenchPanel& bench = CBenchPanel::Get();
    if (!bench.ok)
        return state.SkipWithError("the panel could not be built");
    bench.Close();
    CFrameShare frames(state);
    for (auto _ : state)
    {
        bool opened = false;
        frames.Time([&] { opened = bench.Open(); });
        if (!opened)
            return state.SkipWithError("the panel did not open");
        state.PauseTiming();
        bench.Close();
        state.ResumeTiming();
    }
}

// The whole window painted again: background, then every control over it, then shown.
void RedrawPanel(benchmark::State& state)
{
    CBenchPanel& bench = CBenchPanel::Get();
    if (!bench.ok || !bench.Open())
        return state.SkipWithError("the panel could not be opened");
    CWnd* window = bench.panel->GetWindow();
    CFrameShare frames(state);
    for (auto _ : state)
    {
        frames.Time([&] {
            window->InvalidateRect(nullptr);
            window->UpdateWindow();
        });
    }
}

// The same drawing into a memory bitmap, without the window: the panel's own share of a redraw.
void DrawPanelOffscreen(benchmark::State& state)
{
    CBenchPanel& bench = CBenchPanel::Get();
    if (!bench.ok || !bench.Open())
        return state.SkipWithError("the panel could not be opened");
    const CRect rect = bench.panel->GetRect();
    CBitmap canvas;
    canvas.CreateBitmap(rect.Width(), rect.Height());
    CDC dc;
    dc.SelectObject(&canvas);
    UL::CDrawInfo info(&dc, nullptr, nullptr);
    CFrameShare frames(state);
    for (auto _ : state)
        frames.Time([&] { bench.panel->Draw(info); });
}

// A data set for the first knob's value from the instrument, through the script's MIDI input into
// the model, the view update and the knob's repaint.
void ValueFromInstrumentToRedraw(benchmark::State& state)
{
    CBenchPanel& bench = CBenchPanel::Get();
    if (!bench.ok || !bench.Open())
        return state.SkipWithError("the panel could not be opened");
    CWnd* window = bench.panel->GetWindow();
    const CVeyValue* knobValue = CVeyBufferManager::GetInstance().FindValueOrNull(ValuePath(0));
    std::vector<std::vector<uint8_t>> messages;
    for (uint8_t data = 0; data < 128; ++data)
        messages.push_back(DataSet(0x10u << 21, data));
    bench.in->OnMessage(messages[100]);
    if (!knobValue || knobValue->GetNumber() != 100)
        return state.SkipWithError("the data set did not reach the model");
    size_t next = 0;
    CFrameShare frames(state);
    for (auto _ : state)
    {
        frames.Time([&] {
            bench.in->OnMessage(messages[next]);
            window->UpdateWindow();
        });
        next = (next + 37) % messages.size();
    }
}
}

BENCHMARK(OpenPanel)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawPanel)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawPanelOffscreen)->Unit(benchmark::kMillisecond);
BENCHMARK(ValueFromInstrumentToRedraw)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    CBenchPanel::Release();
    benchmark::Shutdown();
    return 0;
}
