#include "platform/Clock.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

TEST(Clock, VirtualClockReplacesAndRestoresTheSystemClock)
{
    {
        CVirtualClock clock(5000);
        EXPECT_EQ(GetTickCount(), 5000u);
        Sleep(250);
        EXPECT_EQ(GetTickCount(), 5250u);
        EXPECT_EQ(clock.SleptMilliseconds(), 250u);
    }
    // Back on the system clock: it moves by itself, so only its plausibility is checked.
    const DWORD a = GetTickCount();
    const DWORD b = GetTickCount();
    EXPECT_GE(TickDifference(b, a), 0);
}

TEST(Clock, TickArithmeticSurvivesTheWrap)
{
    CVirtualClock clock(0xFFFFFF00u);
    const DWORD start = GetTickCount();
    const DWORD deadline = start + 3000;   // wraps past zero
    EXPECT_FALSE(TickReached(GetTickCount(), deadline));
    clock.Advance(2999);
    EXPECT_FALSE(TickReached(GetTickCount(), deadline));
    clock.Advance(1);
    EXPECT_TRUE(TickReached(GetTickCount(), deadline));
    EXPECT_LT(GetTickCount(), start);   // the raw counter did wrap
    EXPECT_EQ(TickDifference(GetTickCount(), start), 3000);
}

TEST(Clock, ScheduledActionsRunInTickOrderAtTheirOwnTime)
{
    CVirtualClock clock(100);
    std::vector<std::pair<int, DWORD>> seen;
    clock.After(30, [&] { seen.emplace_back(2, GetTickCount()); });
    clock.After(10, [&] { seen.emplace_back(1, GetTickCount()); });
    clock.After(500, [&] { seen.emplace_back(3, GetTickCount()); });
    Sleep(100);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(1, DWORD{110}));
    EXPECT_EQ(seen[1], std::make_pair(2, DWORD{130}));
    EXPECT_EQ(GetTickCount(), 200u);
}

TEST(Clock, AnActionCanScheduleAnother)
{
    CVirtualClock clock(0);
    int runs = 0;
    clock.After(10, [&] {
        ++runs;
        clock.After(10, [&] { ++runs; });
    });
    clock.Advance(25);
    EXPECT_EQ(runs, 2);
}
