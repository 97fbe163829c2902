#include "core/GameClock.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/Controls.h"
#include "core/Settings.h"
#include "platform/os/Clock.h"

namespace
{

class GameClockTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedDebug = g_DebugMode;
        g_DebugMode = 0;
        ClockSetManual(1000);
        g_Clock.Init();
    }
    void TearDown() override
    {
        g_DebugMode = m_SavedDebug;
        g_KeyFlags[KEY_PGUP] = 0;
        g_KeyFlags[KEY_PGDN] = 0;
        ClockUseSystem();
    }
    void Frame(DWORD ms)
    {
        ClockAdvance(ms);
        g_Clock.Update();
    }
    int m_SavedDebug = 0;
};

TEST_F(GameClockTest, StartsSixtySecondsIn)
{
    EXPECT_FLOAT_EQ(g_Clock.m_GameClock, 60000.0f);
    EXPECT_FLOAT_EQ(g_Clock.m_RealClock, 60000.0f);
    EXPECT_FLOAT_EQ(g_Clock.m_TimeScale, 1.0f);
    EXPECT_FLOAT_EQ(g_Clock.GameSecondsSince(0), 60.0f);
    EXPECT_FLOAT_EQ(g_Clock.RealSecondsSince(0), 60.0f);
    EXPECT_EQ(g_Clock.GameTimeMs(), 60000u);
}

TEST_F(GameClockTest, FrameStepsAreCappedAndWrapSafe)
{
    struct Case
    {
        DWORD start;
        DWORD elapsed;
        float expectedMs;
    };
    const Case cases[] = {
        {1000, 16, 16.0f},          {1000, 200, 50.0f},   // a slow frame advances only 50 ms
        {0xFFFFFFF0u, 0x20, 32.0f},                       // the counter wraps from 0xFFFFFFF0 to 0x10
        {0xFFFFFFFFu, 1, 1.0f},     {5, 0, 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.start);
        ClockSetManual(c.start);
        g_Clock.Init();
        Frame(c.elapsed);
        EXPECT_FLOAT_EQ(g_Clock.m_RealClock, 60000.0f + c.expectedMs);
        EXPECT_FLOAT_EQ(g_Clock.m_GameClock, 60000.0f + c.expectedMs);
        EXPECT_FLOAT_EQ(g_Clock.m_RealStep, c.expectedMs * 0.001f);
        EXPECT_FLOAT_EQ(g_Clock.m_GameStep, c.expectedMs * 0.001f);
    }
}

TEST_F(GameClockTest, TimeScaleSlowsOnlyTheGameClock)
{
    g_Clock.m_TimeScale = 0.4f;
    Frame(20);
    EXPECT_FLOAT_EQ(g_Clock.m_RealClock, 60020.0f);
    EXPECT_FLOAT_EQ(g_Clock.m_GameClock, 60008.0f);
    EXPECT_FLOAT_EQ(g_Clock.m_GameStep, 0.008f);
}

TEST_F(GameClockTest, PauseHoldsTheGameClockAndResumeContinuesIt)
{
    Frame(40);
    g_Clock.Pause();
    EXPECT_TRUE(g_Clock.IsPaused());
    Frame(30);
    Frame(30);
    EXPECT_FLOAT_EQ(g_Clock.m_GameClock, 60040.0f);
    EXPECT_FLOAT_EQ(g_Clock.m_RealClock, 60100.0f);
    EXPECT_FLOAT_EQ(g_Clock.m_GameStep, 0.0f);
    g_Clock.Pause();   // pausing again keeps the saved clock
    EXPECT_FLOAT_EQ(g_Clock.m_SavedGameClock, 60040.0f);

    ClockAdvance(5000);   // time spent paused without frames is not a step
    g_Clock.Resume();
    EXPECT_FLOAT_EQ(g_Clock.m_TimeScale, 1.0f);
    Frame(10);
    EXPECT_FLOAT_EQ(g_Clock.m_GameClock, 60050.0f);
    EXPECT_FLOAT_EQ(g_Clock.m_RealClock, 60110.0f);
}

TEST_F(GameClockTest, ResumeWithoutPauseChangesNothing)
{
    Frame(40);
    g_Clock.Pause();
    g_Clock.Resume();
    Frame(25);
    g_Clock.m_TimeScale = 0.4f;   // slow motion set while running
    ClockAdvance(7);
    g_Clock.Resume();   // unpaired: must not rewind to the last pause
    EXPECT_FLOAT_EQ(g_Clock.m_GameClock, 60065.0f);
    EXPECT_FLOAT_EQ(g_Clock.m_TimeScale, 0.4f);
    g_Clock.Update();   // and the 7 ms still count
    EXPECT_FLOAT_EQ(g_Clock.m_RealClock, 60072.0f);
}

TEST_F(GameClockTest, DebugKeysStepTheScaleWithinLimits)
{
    struct Case
    {
        int key;
        std::vector<float> scales;   // after each press
    };
    const Case cases[] = {
        {KEY_PGUP, {2, 4, 8, 16, 32, 32, 32, 32, 32}},
        {KEY_PGDN, {0.5f, 0.25f, 0.125f, 0.125f, 0.125f}},
    };
    g_DebugMode = 1;
    for (const Case& c : cases)
    {
        g_Clock.Init();
        for (size_t i = 0; i < c.scales.size(); ++i)
        {
            SCOPED_TRACE(i);
            g_KeyFlags[c.key] = 1;
            Frame(1);
            EXPECT_FLOAT_EQ(g_Clock.m_TimeScale, c.scales[i]);
            EXPECT_EQ(g_KeyFlags[c.key], 0);
        }
    }
    // Without "Debug out" the keys do nothing to the scale.
    g_DebugMode = 0;
    g_Clock.Init();
    g_KeyFlags[KEY_PGUP] = 1;
    Frame(1);
    EXPECT_FLOAT_EQ(g_Clock.m_TimeScale, 1.0f);
    EXPECT_EQ(g_KeyFlags[KEY_PGUP], 1);
}

}   // namespace
