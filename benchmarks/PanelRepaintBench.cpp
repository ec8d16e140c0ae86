// A root panel of 500 knobs repainted through its real window: the window's back buffer, the
// panel's background and every knob drawn by its control, and the copy to the widget, beside a
// plain Qt widget that draws the same background and the same 500 frames straight into its
// backing store. Both are repainted at once by the toolkit (QWidget::repaint underneath), one
// after the other in each round; the processor time of each is paired (ratio_*, bound 1.2).
// The peer is a benchmark-only widget and includes Qt directly.
#include "editor/CResourceFactory.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/VeyManagers.h"
#include "platform/GuiBootstrap.h"
#include "platform/Messages.h"
#include "tests/support/TempDir.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/panels/CPanelWindow.h"
#include "ui/panels/CVeyViewManager.h"
#include "benchmarks/support/PairedRounds.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace
{
constexpr int kColumns = 25;
constexpr int kRows = 20;
constexpr int kPitch = 40;
constexpr int kKnob = 32;
constexpr int kStates = 32;
constexpr int kWidth = kColumns * kPitch;
constexpr int kHeight = kRows * kPitch;
// Every knob's value is its default, 64 of 0-127: the middle of the strip.
constexpr int kShownState = 64 * kStates / 128;
constexpr int kValuesPerPart = 100;
constexpr int kParts = kColumns * kRows / kValuesPerPart;

std::string MakeScript()
{
    std::string script = "<script>\n<bitmap><name>back</name></bitmap>\n"
                         "<bitmap><name>knob.png</name><stateCount>32</stateCount><direction>1</direction></bitmap>\n"
                         "<structType><type>partT</type><name>$name</name><address>$address</address>\n";
    for (int v = 0; v < kValuesPerPart; ++v)
        script += "  <value><type>int1x7</type><name>p" + std::to_string(v) + "</name><default>64</default></value>\n";
    script += "</structType>\n<structType><type>fmT</type><name>$name</name><address>$address</address>"
              "<struct><type>partT</type><name>part</name>";
    for (int part = 0; part < kParts; ++part)
        script += "<address>00 00 0" + std::to_string(part) + " 00</address>";
    script += "</struct></structType>\n<struct><type>fmT</type><name>fm</name><address>10 00 00 00</address></struct>\n"
              "<panelType><type>benchT</type><name>bench</name><size>" +
              std::to_string(kWidth) + "," + std::to_string(kHeight) + "</size><bitmapRef>back</bitmapRef>\n";
    for (int i = 0; i < kColumns * kRows; ++i)
        script += "  <control><type>knob</type><name>k" + std::to_string(i) + "</name><position>" +
                  std::to_string((i % kColumns) * kPitch + 4) + "," + std::to_string((i / kColumns) * kPitch + 4) +
                  "</position><valueRef>fm.part[" + std::to_string(i / kValuesPerPart) + "].p" +
                  std::to_string(i % kValuesPerPart) + "</valueRef><bitmapRef>knob.png</bitmapRef></control>\n";
    return script + "</panelType>\n<panel><type>benchT</type></panel>\n</script>\n";
}

// The background and a knob strip whose frames differ; the peer draws from the same pictures.
QImage Background()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            reinterpret_cast<uint32_t*>(image.scanLine(y))[x] = 0xFF000000u | static_cast<uint32_t>((x + y) & 0x3F) << 8 | 0x30;
    return image;
}

QImage KnobStrip()
{
    QImage image(kKnob * kStates, kKnob, QImage::Format_RGB32);
    for (int y = 0; y < kKnob; ++y)
        for (int x = 0; x < kKnob * kStates; ++x)
            reinterpret_cast<uint32_t*>(image.scanLine(y))[x] =
                0xFF000000u | static_cast<uint32_t>((x * 7 + y * 3) & 0xFF) << 16 | static_cast<uint32_t>((x / kKnob) * 8) << 8;
    return image;
}

class CPeerPanel final : public QWidget
{
public:
    CPeerPanel(QImage background, QImage strip) : m_background(std::move(background)), m_strip(std::move(strip))
    {
        setFixedSize(kWidth, kHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, m_background);
        for (int i = 0; i < kColumns * kRows; ++i)
            painter.drawImage((i % kColumns) * kPitch + 4, (i / kColumns) * kPitch + 4, m_strip, kShownState * kKnob, 0,
                              kKnob, kKnob);
    }

private:
    QImage m_background;
    QImage m_strip;
};

void PumpMessages()
{
    while (PumpAllMessages())
    {
    }
}

void RepaintPanelOf500KnobsAgainstQtWidget(benchmark::State& state)
{
    static int argc = 1;
    static char name[] = "bench_panel_repaint";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    CGuiBootstrap application(argc, argv);
    CTempDir folder;
    const QImage background = Background();
    const QImage strip = KnobStrip();
    if (!background.save(QString::fromStdString(folder.File("back.bmp")), "BMP") ||
        !strip.save(QString::fromStdString(folder.File("knob.png")), "PNG"))
        return state.SkipWithError("the pictures could not be written");
    CVeyStateBitmap::SetBitmapFolder(folder.Path() + "/");
    CVeyResourceManager::RegisterManagerStep();
    CVeyBufferManager::RegisterManagerStep();
    CVeyViewManager::RegisterManagerStep();
    CVeyResourceManager::GetInstance().SetResourceFactory(std::make_unique<CResourceFactory>());
    CVeyViewManager& views = CVeyViewManager::GetInstance();
    CWnd* window = nullptr;
    if (CVeyScriptReader::GetInstance().ReadText(MakeScript()) && VeyCreateManagers() && views.OpenRootPanel("bench"))
        if (CVeyRootPanel* panel = views.FindRootPanel("bench"))
            if (auto* windowPanel = dynamic_cast<CWindowRootPanel*>(panel))
                window = windowPanel->GetWindow();
    CPeerPanel peer(background, strip);
    peer.show();
    PumpMessages();
    if (!window)
        state.SkipWithError("the panel could not be opened");
    else
    {
        window->UpdateWindow();
        Bench::RunPairedRounds(
            state, 1.2,
            [&] {
                return Bench::Timed(Bench::EClock::kProcess, [&] {
                    window->InvalidateRect(nullptr);
                    window->UpdateWindow();
                    return true;
                });
            },
            [&] {
                return Bench::Timed(Bench::EClock::kProcess, [&] {
                    peer.repaint();
                    return true;
                });
            });
    }
    peer.hide();
    VeyDestroyManagers();
    CVeyScriptDefinitions::GetInstance().Clear();
    CVeyStateBitmap::SetBitmapFolder("");
    PumpMessages();
}
BENCHMARK(RepaintPanelOf500KnobsAgainstQtWidget)->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);
}
