// Named functors over the small port fixture: argument lists of paths, the messages they send,
// registration, and calls queued for idle time in virtual time.
#include "midi/framework/CVeyFunctorRegistry.h"
#include "tests/midi/framework/PortFixture.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

namespace
{
class CCountingFunctor : public IVeyFunctor
{
public:
    void Run(std::string& result, const std::string& argument) override
    {
        runs.push_back(argument);
        if (onRun)
            onRun();
        result = "ran " + argument;
    }
    std::vector<std::string> runs;
    std::function<void()> onRun;
};

class Functors : public CPortTest
{
protected:
    void SetUp() override { CreateWired(); }
    CVirtualClock m_clock{5000};
};

TEST_F(Functors, SendDt1TransmitsEveryStructAndValueNamedInTheList)
{
    const std::string result =
        CVeyFunctorRegistry::GetInstance().Invoke("SendDt1", "  fm.common , , fm.tone.level ,no.such.path ", -1);
    EXPECT_EQ(result, "1");
    EXPECT_EQ(m_out.sent, (std::vector<std::string>{
                              "F0 41 10 00 00 3C 12 10 00 00 00 00 00 70 F7",
                              "F0 41 10 00 00 3C 12 10 00 01 00 00 6F F7",
                          }));
}

TEST_F(Functors, SendRq1AsksForTheAbsoluteRange)
{
    EXPECT_EQ(CVeyFunctorRegistry::GetInstance().Invoke("SendRq1", "fm.tone,fm.common.pan", -1), "1");
    EXPECT_EQ(m_out.sent, (std::vector<std::string>{
                              "F0 41 10 00 00 3C 11 10 00 01 00 00 00 00 02 6D F7",
                              "F0 41 10 00 00 3C 11 10 00 00 01 00 00 00 01 6E F7",
                          }));
}

TEST_F(Functors, RequestWithoutARequesterDoesNothingAndStillAnswers)
{
    // The fixture's input listens with a recorder, not a requester.
    EXPECT_EQ(CVeyFunctorRegistry::GetInstance().Invoke("RequestRq1Dt1", "fm.common", -1), "1");
    EXPECT_TRUE(m_out.sent.empty());
    EXPECT_EQ(CVeyFunctorRegistry::GetInstance().Invoke("NoSuchFunctor", "fm.common", -1), "");
}

TEST_F(Functors, ASecondRegistrationOfANameIsRefused)
{
    CCountingFunctor first;
    CCountingFunctor second;
    CVeyFunctorRegistry& registry = CVeyFunctorRegistry::GetInstance();
    EXPECT_FALSE(registry.Register("SendDt1", &first));
    EXPECT_TRUE(registry.Register("Functors.Once", &first));
    EXPECT_FALSE(registry.Register("Functors.Once", &second));
    EXPECT_EQ(registry.Invoke("Functors.Once", "x", -1), "ran x");
    EXPECT_EQ(first.runs.size(), 1u);
    EXPECT_TRUE(second.runs.empty());
}

TEST_F(Functors, DelayedCallsRunAtTheFirstIdleTimeAfterTheyAreDue)
{
    static CCountingFunctor later;   // registered for the life of the process, as the application's
    CVeyFunctorRegistry& registry = CVeyFunctorRegistry::GetInstance();
    registry.Register("Functors.Later", &later);
    later.runs.clear();

    EXPECT_EQ(registry.Invoke("Functors.Later", "zero", 0), "") << "delay 0 queues";
    EXPECT_EQ(registry.Invoke("Functors.Later", "hundred", 100), "");
    registry.RunDueCalls();
    EXPECT_TRUE(later.runs.empty()) << "the tick has not moved past the queueing tick";
    m_clock.Advance(1);
    registry.RunDueCalls();
    EXPECT_EQ(later.runs, (std::vector<std::string>{"zero"}));

    // A call queued while the due calls run waits for the next idle time, behind the calls that
    // were not due yet.
    later.onRun = [&] { registry.Invoke("Functors.Later", "queued inside", 0); };
    m_clock.Advance(100);
    registry.RunDueCalls();
    later.onRun = nullptr;
    EXPECT_EQ(later.runs, (std::vector<std::string>{"zero", "hundred"}));
    EXPECT_EQ(registry.GetQueuedCount(), 1u);
    m_clock.Advance(1);
    registry.RunDueCalls();
    EXPECT_EQ(later.runs, (std::vector<std::string>{"zero", "hundred", "queued inside"}));
    EXPECT_EQ(registry.GetQueuedCount(), 0u);
}
}
