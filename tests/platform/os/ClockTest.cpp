#include "platform/os/Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(ClockTest, ManualClockSetsStepsAndWraps)
{
    ClockSetManual(0xFFFFFFF0u);
    EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
    ClockAdvance(0x20);
    EXPECT_EQ(timeGetTime(), 0x10u);   // 32-bit wrap, as the system clock does
    const DWORD before = timeGetTime();
    ClockAdvance(200);
    EXPECT_EQ((DWORD)(timeGetTime() - before), 200u);
    ClockUseSystem();
}

TEST(ClockTest, SystemClockCountsMilliseconds)
{
    ClockUseSystem();
    const DWORD a = timeGetTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const DWORD elapsed = timeGetTime() - a;
    EXPECT_GE(elapsed, 29u);
    EXPECT_LT(elapsed, 2000u);
}
