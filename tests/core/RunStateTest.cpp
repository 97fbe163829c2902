// The run state's verbs: the game held and released with its clock, a race
// start that leaves the clock alone, the program's end, and a key, control
// or click taken once.
#include <gtest/gtest.h>

#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/InputState.h"
#include "core/RunFlags.h"

namespace
{

class RunStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedClock = g_Clock;
        g_Clock.Init();
        StopGame();
        ResetQuit();
    }
    void TearDown() override
    {
        g_Clock = m_SavedClock;
        StopGame();
        ResetQuit();
        g_KeyFlags[KEY_ESC] = 0;
        g_ControlFlags[CTRL_JUMP] = 0;
        g_MouseButtons[0] = 0;
    }
    CGameClock m_SavedClock;
};

TEST_F(RunStateTest, AHoldStopsTheGameAndItsClockAndTheReleaseGivesBothBack)
{
    RunGame();
    HoldGame();
    EXPECT_EQ(GameRunning(), 0);
    EXPECT_TRUE(g_Clock.IsPaused());
    ReleaseGame();
    EXPECT_EQ(GameRunning(), 1);
    EXPECT_FALSE(g_Clock.IsPaused());
}

// A race start runs the game and a headless race's end stops it; neither
// touches the clock, paused or not.
TEST_F(RunStateTest, RunAndStopLeaveTheClockAsItIs)
{
    for (const bool paused : {false, true})
    {
        SCOPED_TRACE(paused);
        g_Clock.Init();
        if (paused)
            g_Clock.Pause();
        RunGame();
        EXPECT_EQ(GameRunning(), 1);
        EXPECT_EQ(g_Clock.IsPaused() != 0, paused);
        StopGame();
        EXPECT_EQ(GameRunning(), 0);
        EXPECT_EQ(g_Clock.IsPaused() != 0, paused);
    }
}

TEST_F(RunStateTest, AQuitStaysAskedForUntilTheNextStart)
{
    EXPECT_EQ(QuitRequested(), 0);
    RequestQuit();
    RequestQuit();
    EXPECT_EQ(QuitRequested(), 1);
    ResetQuit();
    EXPECT_EQ(QuitRequested(), 0);
}

// The first reader of a press takes it; the next one in the frame sees
// nothing, until the key is pressed again.
TEST_F(RunStateTest, APressIsTakenOnce)
{
    const struct
    {
        const char* name;
        int* flag;
        int (*consume)();
    } cases[] = {
        {"key", &g_KeyFlags[KEY_ESC], [] { return ConsumeKey(KEY_ESC); }},
        {"control", &g_ControlFlags[CTRL_JUMP], [] { return ConsumeControl(CTRL_JUMP); }},
        {"click", &g_MouseButtons[0], [] { return ConsumeClick(); }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        *c.flag = 0;
        EXPECT_EQ(c.consume(), 0);
        *c.flag = 1;
        EXPECT_EQ(c.consume(), 1);
        EXPECT_EQ(*c.flag, 0);
        EXPECT_EQ(c.consume(), 0);
    }
    PressControl(CTRL_JUMP);
    EXPECT_EQ(ConsumeControl(CTRL_JUMP), 1);
    SetMouseButton(0, 1);
    EXPECT_EQ(ConsumeClick(), 1);
    SetMouseButton(1, 1);
    EXPECT_EQ(g_MouseButtons[1], 1);
    SetMouseButton(1, 0);
    EXPECT_EQ(g_MouseButtons[1], 0);
}

}   // namespace
