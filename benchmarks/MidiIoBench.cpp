// Processor time of the MIDI layer per message: a data set received (from the backend's callback
// through the input's ring, its worker, the posted-message queue and the port into the model) and
// a data set sent (from the port through the device and the paced output to the backend). The
// virtual backend stands in for the driver; a virtual clock takes the pacing waits, so only work
// is measured.
#include "midi/devices/CNormalMidiDeviceFactory.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiManager.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "midi/framework/CVeyMidiSetupState.h"
#include "midi/framework/IVeyMidiListener.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/VeyManagers.h"
#include "platform/GuiBootstrap.h"
#include "platform/Messages.h"
#include "platform/VirtualMidiBackend.h"
#include "tests/support/SimulatedInstrument.h"
#include "tests/support/VirtualClock.h"
#include "benchmarks/support/PairedRounds.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <thread>

namespace
{
constexpr uint32_t kFm = 0x2000000;   // 10 00 00 00

CVeyElementDefinition Element(const std::string& type, const CVeyElementDefinition::CAttributes& attributes)
{
    CVeyElementDefinition element(type);
    for (const auto& attribute : attributes)
        element.Add(attribute.first, attribute.second);
    return element;
}

// Root "fm" at 10 00 00 00 with one leaf of 64 one-byte values; input "in" and output "out".
bool CreateModel()
{
    CVeyTypeDefinition block;
    block.SetTypeName("block");
    block.Add("name", "$name");
    block.Add("address", "$address");
    for (int i = 0; i < 64; ++i)
        block.GetLeafChildren().push_back(Element("int1x7", {{"name", "v" + std::to_string(i)}}));
    CVeyTypeDefinition root;
    root.SetTypeName("root");
    root.Add("name", "$name");
    root.Add("address", "$address");
    root.GetStructuralChildren().push_back(Element("block", {{"name", "common"}, {"address", "00 00 00 00"}}));

    CVeyScriptDefinitions& definitions = CVeyScriptDefinitions::GetInstance();
    definitions.Clear();
    definitions.GetBufferGroup().structTypes = {block, root};
    definitions.GetBufferGroup().rootStructs = {Element("root", {{"name", "fm"}, {"address", "10 00 00 00"}})};
    definitions.GetMidiGroup().inputs = {Element("", {{"name", "in"}, {"modelID", "00 00 3C"}, {"rootStructRef", "fm"}})};
    definitions.GetMidiGroup().outputs = {Element("", {{"name", "out"}, {"modelID", "00 00 3C"}, {"rootStructRef", "fm"}})};
    CVeyBufferManager::RegisterManagerStep();
    CVeyMidiManager::RegisterManagerStep();
    return VeyCreateManagers();
}

class CCountingListener : public IVeyMidiListener
{
public:
    bool OnShortMessage(const ML::CShortMessage&) override { return true; }
    bool OnLongMessage(const ML::CLongMessage&) override { return true; }
    bool OnDt1(const ML::CVantorMessage&) override
    {
        ++dataSets;
        return true;
    }
    size_t dataSets = 0;
};

// The program's side of one instrument connection, built once per benchmark.
struct CRig
{
    // Carries the instrument's handling of what the program sent to a thread of its own.
    using FCable = std::function<void(std::function<void()> handling)>;

    // Without a cable the instrument handles what the program sends at once, on the sending
    // thread.
    explicit CRig(FCable cable = nullptr)
    {
        static int argc = 1;
        static char name[] = "bench_midi_io";
        static char* argv[] = {name, nullptr};
        // No window is shown: the message queue is all that is needed.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        if (!CGuiBootstrap::Exists())
            application = std::make_unique<CGuiBootstrap>(argc, argv);
        if (cable)
        {
            backend.AddOutput("Talvarix", [this, cable](const std::vector<BYTE>& bytes) {
                cable([this, bytes] { instrument.Receive(bytes); });
            });
            backend.AddInput("Talvarix");
            instrument.SetTransport([this](const std::vector<BYTE>& bytes) { backend.Send("Talvarix", bytes); });
        }
        else
        {
            instrument.AttachTo(backend, "Talvarix", nullptr);
        }
        ok = CreateModel();
        if (!ok)
            return;
        in = CVeyMidiInputs::GetInstance().Find("in");
        out = CVeyMidiOutputs::GetInstance().Find("out");
        CVeyMidiInDevice* input = CNormalMidiDeviceFactory::GetInstance().CreateInputDevice("Talvarix");
        CVeyMidiInDevices::GetInstance().push_back(input);
        input->AttachPort(in);
        CVeyMidiOutDevice* output = CNormalMidiDeviceFactory::GetInstance().CreateOutputDevice("Talvarix");
        CVeyMidiOutDevices::GetInstance().push_back(output);
        out->AttachDevice(output);
        in->SetListener(&listener);
        ok = input->Open() && output->Open();
        CVeyMidiSetupState::GetInstance().SetStateSilently(ok);
    }

    ~CRig()
    {
        for (CVeyMidiOut& output : CVeyMidiOutputs::GetInstance())
            output.DetachAllDevices();
        CVeyMidiInDevices::GetInstance().DeleteAll();
        CVeyMidiOutDevices::GetInstance().DeleteAll();
        while (PumpAllMessages())
        {
        }
        VeyDestroyManagers();
        CVeyScriptDefinitions::GetInstance().Clear();
    }

    std::unique_ptr<CGuiBootstrap> application;
    CVirtualMidiBackend backend;
    CScopedMidiBackend scoped{&backend};
    CSimulatedInstrument instrument{{{kFm, 0x40, 0}}};
    CCountingListener listener;
    CVeyMidiIn* in = nullptr;
    CVeyMidiOut* out = nullptr;
    bool ok = false;
};

// Received data sets of 64 data bytes, in bursts of 1 to 30 (below the 32 buffers the input keeps
// queued), each burst pumped into the model as a request's wait does. The wait's pump passes
// while the worker sleeps are part of the cost; larger bursts share them out.
void BM_ReceiveDataSet(benchmark::State& state)
{
    CRig rig;
    if (!rig.ok)
    {
        state.SkipWithError("the rig could not be built");
        return;
    }
    std::vector<uint8_t> data(64);
    const int kBurst = static_cast<int>(state.range(0));
    int64_t messages = 0;
    for (auto _ : state)
    {
        const size_t target = rig.listener.dataSets + kBurst;
        for (int i = 0; i < kBurst; ++i)
        {
            data[0] = static_cast<uint8_t>(i);
            rig.instrument.SendDataSet(kFm, data);
        }
        while (rig.listener.dataSets < target)
            rig.in->PollDevice();
        messages += kBurst;
    }
    state.SetItemsProcessed(messages);
    state.counters["cpu_us_per_message"] = benchmark::Counter(
        static_cast<double>(messages), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReceiveDataSet)->Arg(1)->Arg(8)->Arg(30)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

// Sent data sets of 64 data bytes through the port; the pacing waits run on a virtual clock.
void BM_SendDataSet(benchmark::State& state)
{
    CVirtualClock clock;
    CRig rig;
    if (!rig.ok)
    {
        state.SkipWithError("the rig could not be built");
        return;
    }
    std::vector<uint8_t> data(64, 0x01);
    for (auto _ : state)
        benchmark::DoNotOptimize(rig.out->SendDt1(CVeyAddress(kFm), data));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SendDataSet)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

// One value change as a turned knob makes it: SetValue, the changes flushed to the instrument's
// output and cleared, down to the bytes the driver is handed, beside the same data set built by
// hand into a fixed buffer and handed to the same driver output (ratio_*, bound 10). The driver only
// counts and reports every message done at once; the clock moves on between messages, as a
// user's changes come far apart on the wire's scale, so the output never waits for pacing.
class CCountingDriver final : public IMidiBackend
{
public:
    std::vector<CMidiPortEntry> GetInputPorts() override { return {}; }
    std::vector<CMidiPortEntry> GetOutputPorts() override { return {{"Counter"}}; }
    MMRESULT OpenInput(UINT, IMidiInputSink*, std::unique_ptr<IMidiInputConnection>&) override
    {
        return MMSYSERR_BADDEVICEID;
    }
    MMRESULT OpenOutput(UINT deviceId, std::unique_ptr<IMidiOutputConnection>& connection) override
    {
        if (deviceId != 0)
            return MMSYSERR_BADDEVICEID;
        connection = std::make_unique<COutput>(*this);
        opened = connection.get();
        return MMSYSERR_NOERROR;
    }
    std::string GetProblem() override { return {}; }

    void Take(const BYTE* data, size_t size)
    {
        bytes += size;
        last = data[size - 2];
    }
    uint64_t bytes = 0;
    BYTE last = 0;
    // The output the program opened: where both sides hand their bytes over.
    IMidiOutputConnection* opened = nullptr;

private:
    class COutput final : public IMidiOutputConnection
    {
    public:
        explicit COutput(CCountingDriver& driver) : m_driver(driver) {}
        bool IsPresent() override { return true; }
        bool SendShort(DWORD) override { return true; }
        bool SendLong(const BYTE* data, size_t size, std::function<void()> done) override
        {
            m_driver.Take(data, size);
            done();
            return true;
        }
        void Reset() override {}

    private:
        CCountingDriver& m_driver;
    };
};

// Every reading is a second later than the last.
class CStridingClock final : public IClock
{
public:
    CStridingClock() : m_previous(SetClock(this)) {}
    ~CStridingClock() override { SetClock(m_previous); }
    DWORD GetTickCount() override { return m_now += 1000; }
    void Sleep(DWORD milliseconds) override { m_now += milliseconds; }

private:
    DWORD m_now = 0;
    IClock* m_previous;
};

void ValueChangeAgainstHandBuiltMessage(benchmark::State& state)
{
    constexpr int kChangesPerRound = 2000;
    CStridingClock clock;
    CCountingDriver driver;
    CScopedMidiBackend scoped{&driver};
    if (!CreateModel())
    {
        state.SkipWithError("the model could not be built");
        return;
    }
    CVeyMidiOutDevice* output = CNormalMidiDeviceFactory::GetInstance().CreateOutputDevice("Counter");
    CVeyMidiOutDevices::GetInstance().push_back(output);
    CVeyMidiOutputs::GetInstance().Find("out")->AttachDevice(output);
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    CVeyValue* value = manager.FindValueOrNull("fm.common.v5");
    if (!output->Open() || !value || !driver.opened)
    {
        state.SkipWithError("the output could not be opened");
        return;
    }
    CVeyMidiSetupState::GetInstance().SetStateSilently(true);

    int32_t number = 0;
    const auto ours = [&] {
        return Bench::Timed(Bench::EClock::kProcess, [&] {
            const uint64_t before = driver.bytes;
            for (int i = 0; i < kChangesPerRound; ++i)
            {
                manager.SetValue(value, number++ & 0x7F);
                manager.Flush();
                manager.ClearChanges();
            }
            return driver.bytes - before == 14u * kChangesPerRound;
        });
    };
    const auto peer = [&] {
        return Bench::Timed(Bench::EClock::kProcess, [&] {
            const uint64_t before = driver.bytes;
            for (int i = 0; i < kChangesPerRound; ++i)
            {
                // F0 41 device model(3) 12 address(4) data checksum F7
                BYTE message[16] = {0xF0, 0x41, 0x10, 0x00, 0x00, 0x3C, 0x12, 0x10, 0x00, 0x00, 0x05};
                message[11] = static_cast<BYTE>(number++ & 0x7F);
                int sum = 0;
                for (int at = 7; at < 12; ++at)
                    sum += message[at];
                message[12] = static_cast<BYTE>(-sum & 0x7F);
                message[13] = 0xF7;
                driver.opened->SendLong(message, 14, [] {});
            }
            return driver.bytes - before == 14u * kChangesPerRound;
        });
    };
    Bench::RunPairedRounds(state, 10, ours, peer);

    for (CVeyMidiOut& port : CVeyMidiOutputs::GetInstance())
        port.DetachAllDevices();
    CVeyMidiOutDevices::GetInstance().DeleteAll();
    VeyDestroyManagers();
    CVeyScriptDefinitions::GetInstance().Clear();
}
BENCHMARK(ValueChangeAgainstHandBuiltMessage)->Iterations(30)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The wire's delay in real time: actions run on a thread of their own once their time has come,
// as the instrument's answer arrives from the driver's thread after it has crossed the cable. The
// thread's processor time is kept apart in two parts: the driver's actions (its delivery, the
// input's callback included) and the rest, its own waiting and waking and the instrument's own
// actions, which stand for the instrument and the cable and are none of the program's work.
class CRealTimeWire
{
public:
    // Whose work an action is: the driver's (counted as the program's) or the instrument's own.
    enum class EWork
    {
        kDriver,
        kInstrument,
    };

    CRealTimeWire() : m_thread([this] { Run(); }) { pthread_getcpuclockid(m_thread.native_handle(), &m_clock); }
    ~CRealTimeWire()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_one();
        m_thread.join();
    }
    void After(DWORD milliseconds, std::function<void()> action, EWork work = EWork::kDriver)
    {
        At(std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds), std::move(action), work);
    }
    void At(std::chrono::steady_clock::time_point due, std::function<void()> action, EWork work = EWork::kDriver)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_due.emplace(due, CAction{std::move(action), work});
        }
        m_changed.notify_one();
    }
    // Returns once every action due so far has run to its end, so that the two figures below
    // are read between actions, never halfway through one.
    void WaitUntilIdle()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_idle.wait(lock, [this] { return !m_running && m_due.empty(); });
    }
    // Seconds of processor time of the wire's thread so far: all of it, and its actions'.
    double ThreadSeconds() const { return Bench::ClockSeconds(m_clock); }
    double ActionSeconds() const { return static_cast<double>(m_actionNanoseconds.load()) * 1e-9; }

private:
    void Run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stopping)
        {
            if (m_due.empty())
            {
                m_changed.wait(lock);
                continue;
            }
            const auto next = m_due.begin();
            if (m_changed.wait_until(lock, next->first) == std::cv_status::no_timeout)
                continue;
            CAction action = std::move(next->second);
            m_due.erase(next);
            m_running = true;
            lock.unlock();
            if (action.work == EWork::kInstrument)
            {
                action.run();
            }
            else
            {
                const double start = Bench::ClockSeconds(CLOCK_THREAD_CPUTIME_ID);
                action.run();
                const double spent = Bench::ClockSeconds(CLOCK_THREAD_CPUTIME_ID) - start;
                m_actionNanoseconds += static_cast<int64_t>(spent * 1e9);
            }
            lock.lock();
            m_running = false;
            if (m_due.empty())
                m_idle.notify_all();
        }
    }

    struct CAction
    {
        std::function<void()> run;
        EWork work;
    };

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::condition_variable m_idle;
    std::multimap<std::chrono::steady_clock::time_point, CAction> m_due;
    bool m_stopping = false;
    bool m_running = false;
    std::atomic<int64_t> m_actionNanoseconds{0};
    clockid_t m_clock{};
    std::thread m_thread;
};

// Sorted figures as min and median counters under `name`.
void ReportMinAndMedian(benchmark::State& state, const std::string& name, std::vector<double> figures)
{
    if (figures.empty())
        return;
    std::sort(figures.begin(), figures.end());
    state.counters[name + "_min"] = figures.front();
    state.counters[name + "_median"] = figures[figures.size() / 2];
}

// The least a block's wait can cost in a Qt program, measured like the program's figure below:
// the main thread sleeps on a condition variable until the wire's thread delivers a 100-byte
// message the answer's delay after it was told, copies it into a 2 KB buffer, posts one event
// and runs one event pass. The processor time of the process, the wire thread's own waiting and
// waking left out (its delivery is counted, as the driver's is for the program), in us.
class CWaitYardstick
{
public:
    double Round(CRealTimeWire& wire, DWORD delay)
    {
        wire.WaitUntilIdle();
        const double wireStart = wire.ThreadSeconds() - wire.ActionSeconds();
        const double cpuStart = Bench::Now(Bench::EClock::kProcess);
        std::unique_lock<std::mutex> lock(m_mutex);
        m_arrived = false;
        wire.After(delay, [this] {
            std::array<uint8_t, 100> message;
            message.fill(0x41);
            {
                std::lock_guard<std::mutex> inner(m_mutex);
                m_message = message;
                m_arrived = true;
            }
            m_woken.notify_one();
        });
        m_woken.wait(lock, [this] { return m_arrived; });
        std::memcpy(m_buffer.data(), m_message.data(), m_message.size());
        lock.unlock();
        QCoreApplication::postEvent(&m_receiver, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(m_buffer.data());
        const double cpu = (Bench::Now(Bench::EClock::kProcess) - cpuStart) * 1e6;
        return cpu - (wire.ThreadSeconds() - wire.ActionSeconds() - wireStart) * 1e6;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_woken;
    bool m_arrived = false;
    std::array<uint8_t, 100> m_message{};
    std::array<uint8_t, 2048> m_buffer{};
    QObject m_receiver;
};

// One requested block of 64 bytes, answered after the 25 ms a 78-byte data set takes on the wire,
// on the machine's own clock: the program's processor time per block (waiting included) beside
// the yardstick above, one round of it before each block (ratio_*), and against the 50 us it may
// cost (limit_ratio_*); and the elapsed time against the answer's own delay plus the output's
// send time (the wait must not add to the wire's timing). cpu_us is the whole process;
// program_us leaves out the wire thread's own waiting and waking and the instrument's handling of
// the request (wire_us), which stand for the instrument and the cable, and keeps the driver's
// delivery and the input's callback that run on it.
void BM_WaitForRequestedBlock(benchmark::State& state)
{
    constexpr DWORD kAnswerDelay = 25;
    constexpr double kBoundMicroseconds = 50;
    constexpr double kYardstickBound = 1.2;
    // The request crosses the cable to the instrument's thread, which reads its memory and builds
    // the answer there: that is the instrument's work, none of the program's. Its answer is due
    // the answer's delay after the request left the program, so the hop adds nothing to the wire.
    CRealTimeWire wire;
    std::chrono::steady_clock::time_point requestSent{};   // the wire's thread only
    CRig rig([&wire, &requestSent](std::function<void()> handling) {
        const auto sent = std::chrono::steady_clock::now();
        wire.After(
            0,
            [&requestSent, sent, handling = std::move(handling)] {
                requestSent = sent;
                handling();
            },
            CRealTimeWire::EWork::kInstrument);
    });
    if (!rig.ok)
    {
        state.SkipWithError("the rig could not be built");
        return;
    }
    rig.instrument.SetTransport([&rig](const std::vector<BYTE>& bytes) { rig.backend.Send("Talvarix", bytes); },
                                [&wire, &requestSent](DWORD delay, std::function<void()> action) {
                                    wire.At(requestSent + std::chrono::milliseconds(delay), std::move(action));
                                });
    rig.instrument.SetReplyDelay(kAnswerDelay);
    CVeyMidiRequester requester;
    requester.SetMidiIn(rig.in);
    requester.SetMidiOut(rig.out);
    rig.in->SetListener(&requester);
    // One block first, so the figures leave out what happens once (lazy binding, first pages).
    if (!requester.Request(CVeyAddress(kFm), 64))
        state.SkipWithError("the block did not come");
    std::vector<double> processor;
    std::vector<double> program;
    std::vector<double> wireOwn;
    std::vector<double> yardstick;
    Bench::CRatios ratios;
    CWaitYardstick measure;
    double elapsed = 0;
    for (auto _ : state)
    {
        const double yard = measure.Round(wire, kAnswerDelay);
        yardstick.push_back(yard);
        // Reading the wire thread's clock is a system call of this thread: it is read before the
        // process clock starts and after it stops, so the measurement does not charge itself.
        // The wire thread sleeps meanwhile, so its own figure is the same either way; it may
        // still be finishing the last block's delivery, which is awaited first.
        wire.WaitUntilIdle();
        const double wireStart = wire.ThreadSeconds() - wire.ActionSeconds();
        const double cpuStart = Bench::Now(Bench::EClock::kProcess);
        const double wallStart = Bench::Now(Bench::EClock::kWall);
        if (!requester.Request(CVeyAddress(kFm), 64))
        {
            state.SkipWithError("the block did not come");
            break;
        }
        const double wall = Bench::Now(Bench::EClock::kWall) - wallStart;
        const double cpu = (Bench::Now(Bench::EClock::kProcess) - cpuStart) * 1e6;
        const double wireCpu = (wire.ThreadSeconds() - wire.ActionSeconds() - wireStart) * 1e6;
        processor.push_back(cpu);
        program.push_back(cpu - wireCpu);
        wireOwn.push_back(wireCpu);
        ratios.Add(cpu - wireCpu, yard);
        elapsed += wall;
        state.SetIterationTime(wall);
    }
    rig.in->SetListener(&rig.listener);
    if (processor.empty())
        return;
    ReportMinAndMedian(state, "cpu_us", processor);
    ReportMinAndMedian(state, "program_us", program);
    ReportMinAndMedian(state, "wire_us", wireOwn);
    ReportMinAndMedian(state, "yardstick_us", yardstick);
    // The bound is the program's: the wire's own thread stands for the cable and the instrument.
    // ratio_* pairs each block with the yardstick's round just before it (bound 1.2);
    // limit_ratio_* is the program's time against the 50 us it may cost.
    ratios.Report(state, kYardstickBound);
    std::sort(program.begin(), program.end());
    state.counters["bound_us"] = kBoundMicroseconds;
    state.counters["limit_ratio_min"] = program.front() / kBoundMicroseconds;
    state.counters["limit_ratio_median"] = program[program.size() / 2] / kBoundMicroseconds;
    state.counters["wall_ms_per_block"] = elapsed / static_cast<double>(processor.size()) * 1e3;
    state.counters["answer_delay_ms"] = kAnswerDelay;
}
BENCHMARK(BM_WaitForRequestedBlock)->Iterations(100)->UseManualTime()->Unit(benchmark::kMillisecond);

// What the machine itself charges for a wait of the same length, as a yardstick for the figures
// above: one thread sleeps on a condition variable until another, woken by its timer after 25 ms
// as the wire's thread is, wakes it. waiter_us is the sleeping thread alone (one wake: the least a
// wait that does not poll can cost), cpu_us the whole process.
void BM_WakeAfterWireDelay(benchmark::State& state)
{
    CRealTimeWire wire;
    std::mutex mutex;
    std::condition_variable woken;
    uint64_t wakes = 0;
    std::vector<double> waiter;
    std::vector<double> processor;
    for (auto _ : state)
    {
        const double cpuStart = Bench::Now(Bench::EClock::kProcess);
        const double threadStart = Bench::ClockSeconds(CLOCK_THREAD_CPUTIME_ID);
        const double wallStart = Bench::Now(Bench::EClock::kWall);
        std::unique_lock<std::mutex> lock(mutex);
        const uint64_t target = wakes + 1;
        wire.After(25, [&] {
            {
                std::lock_guard<std::mutex> inner(mutex);
                ++wakes;
            }
            woken.notify_one();
        });
        woken.wait(lock, [&] { return wakes >= target; });
        lock.unlock();
        waiter.push_back((Bench::ClockSeconds(CLOCK_THREAD_CPUTIME_ID) - threadStart) * 1e6);
        processor.push_back((Bench::Now(Bench::EClock::kProcess) - cpuStart) * 1e6);
        state.SetIterationTime(Bench::Now(Bench::EClock::kWall) - wallStart);
    }
    ReportMinAndMedian(state, "waiter_us", waiter);
    ReportMinAndMedian(state, "cpu_us", processor);
}
BENCHMARK(BM_WakeAfterWireDelay)->Iterations(100)->UseManualTime()->Unit(benchmark::kMillisecond);

// A second yardstick: the processor time of one pass of the request wait's pump (Qt's event pass
// and the posted-message queue, both empty), run right after the last one (warm_us) and after the
// thread has slept for the answer's delay (after_wait_us), as the wait's pass runs once the answer
// has come. The difference is what the machine charges for code and data that went cold while
// the thread slept; every step of a block's handling after its wait pays it in the same way.
void BM_PumpPassAfterWireDelay(benchmark::State& state)
{
    CRig rig;
    if (!rig.ok)
    {
        state.SkipWithError("the rig could not be built");
        return;
    }
    const auto timedPass = [] {
        const double start = Bench::ClockSeconds(CLOCK_THREAD_CPUTIME_ID);
        PumpRequestWaitMessages();
        return (Bench::ClockSeconds(CLOCK_THREAD_CPUTIME_ID) - start) * 1e6;
    };
    std::vector<double> warm;
    std::vector<double> afterWait;
    for (auto _ : state)
    {
        const double wallStart = Bench::Now(Bench::EClock::kWall);
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        afterWait.push_back(timedPass());
        warm.push_back(timedPass());
        state.SetIterationTime(Bench::Now(Bench::EClock::kWall) - wallStart);
    }
    ReportMinAndMedian(state, "warm_us", warm);
    ReportMinAndMedian(state, "after_wait_us", afterWait);
}
BENCHMARK(BM_PumpPassAfterWireDelay)->Iterations(100)->UseManualTime()->Unit(benchmark::kMillisecond);
}
