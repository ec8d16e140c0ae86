#include "toolkit/gt/Timeout.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

// Every test starts shortly before the 32-bit tick counter wraps, so each run crosses it.
constexpr DWORD kNearWrap = 0xFFFFFF00u;

TEST(TimeoutTable, CountsDownAcrossTheTickWrap)
{
    CVirtualClock clock(kNearWrap);
    GT::CTimeoutTable table;
    table.Start(7, 0x200);
    clock.Advance(0x150);   // now 0x50, past the wrap
    EXPECT_EQ(table.Elapsed(7), 0x150u);
    EXPECT_EQ(table.Remaining(7), 0xB0);
    EXPECT_FALSE(table.IsExpired(7));
    clock.Advance(0xAF);
    EXPECT_EQ(table.Remaining(7), 1);
    EXPECT_FALSE(table.IsExpired(7));
    clock.Advance(1);
    EXPECT_TRUE(table.IsExpired(7));
    clock.Advance(10);
    EXPECT_EQ(table.Remaining(7), -10);
    EXPECT_EQ(table.Elapsed(7), 0x20Au);
}

TEST(TimeoutTable, EntriesWithoutStartAndZeroDurations)
{
    CVirtualClock clock(kNearWrap);
    GT::CTimeoutTable table;
    // An id that was never started is expired, with nothing elapsed and nothing remaining.
    EXPECT_TRUE(table.IsExpired(3));
    EXPECT_EQ(table.Elapsed(3), 0u);
    EXPECT_EQ(table.Remaining(3), 0);
    // Duration 0 is expired at once.
    table.Start(0, 0);
    EXPECT_TRUE(table.IsExpired(0));
}

TEST(TimeoutTable, RestartPushesTheEndAndEraseForgets)
{
    CVirtualClock clock(kNearWrap);
    GT::CTimeoutTable table;
    table.Start(0, 200);
    table.Start(1, 500);
    clock.Advance(150);
    table.Start(0, 200);   // restart before expiry: the end moves to now + 200
    clock.Advance(199);
    EXPECT_FALSE(table.IsExpired(0));
    EXPECT_EQ(table.Elapsed(0), 199u);
    clock.Advance(1);
    EXPECT_TRUE(table.IsExpired(0));

    table.Erase(1);
    EXPECT_TRUE(table.IsExpired(1));
    EXPECT_EQ(table.Elapsed(1), 0u);
    table.Start(2, 1000);
    table.Clear();
    EXPECT_TRUE(table.IsExpired(2));
    EXPECT_EQ(table.Remaining(2), 0);
}

TEST(Timeout, RunsAcrossTheWrapAndRestarts)
{
    CVirtualClock clock(kNearWrap);
    GT::CTimeout timeout;
    timeout.SetDuration(2000);
    timeout.Start();
    clock.Advance(1999);
    EXPECT_EQ(timeout.Remaining(), 1);
    EXPECT_FALSE(timeout.IsExpired());
    clock.Advance(1);
    EXPECT_TRUE(timeout.IsExpired());
    timeout.Start();
    EXPECT_EQ(timeout.Remaining(), 2000);
}

TEST(Timeout, NeverStartedOrWithoutDurationIsExpired)
{
    // Tick values on both sides of 2^31: an unstarted timeout must read expired at every uptime.
    for (const DWORD now : {DWORD{0}, DWORD{1000}, DWORD{0x80000001u}, DWORD{0xFFFFFFF0u}})
    {
        SCOPED_TRACE(now);
        CVirtualClock clock(now);
        GT::CTimeout unstarted;
        unstarted.SetDuration(5000);
        EXPECT_TRUE(unstarted.IsExpired());

        GT::CTimeout zero;
        zero.Start();
        EXPECT_TRUE(zero.IsExpired());
    }
}

TEST(Timeout, SleepRunsOnThePlatformClock)
{
    CVirtualClock clock(kNearWrap);
    GT::CTimeoutTable table;
    table.Start(0, 20);
    GT::Sleep(20);
    EXPECT_TRUE(table.IsExpired(0));
    EXPECT_EQ(clock.SleptMilliseconds(), 20u);
}
