// Game events on the small test area with the player's motorcycle: the
// jump shot's spacing, end and slow motion, the race start behind the menu,
// the spectator shots, the respawn's wait on the game clock, the restart's
// wait on the real clock, and events without a motorcycle.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/Game.h"
#include "app/GameEvent.h"
#include "core/GameClock.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "platform/os/Rand.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "tools/DataTree.h"
#include "world/Landscape.h"
#include "world/LandscapeTestSupport.h"

namespace
{

class GameEventTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        landtest::AddArea(m_Tree, landtest::AreaSpec());
        ASSERT_TRUE(RunGenerator("vehicles", m_Tree));
        m_Folder.reset(new testdata::DataFolder(m_Tree, true));
        m_SavedEditor = g_EditorMode;
        m_SavedRunning = g_GameRunning;
        g_EditorMode = 0;
        g_MainMenu.active = 0;
        g_Clock.Init();
        ASSERT_EQ(g_Game.CreatePhysicsWorld(), 1);
        g_Game.InitRaceTable();
        g_Game.currentRace = 0;
        const D3DXVECTOR3 eye(0, 100, 0), at(0, 100, 1);
        g_Game.mainCamera.Init(&eye, &at, D3DX_PI / 2, 1.0f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, VIEWMODE_FREE,
                               CAMERA_MAIN);
        g_Game.activeCamera = &g_Game.mainCamera;
        g_GameEvent.Init();
        ASSERT_EQ(g_Game.StartRace(0), 1);
        ASSERT_NE(g_PlayerVehicle, nullptr);
        ASSERT_GT(g_RacePathCount, 12);
    }
    void TearDown() override
    {
        g_Clock.Init();
        g_MainMenu.active = 0;
        g_Game.FreeRace();
        g_Game.DestroyPhysicsWorld();
        ClearRaceBlock();
        g_Game.currentRace = 0;
        g_EditorMode = m_SavedEditor;
        g_GameRunning = m_SavedRunning;
        m_Folder.reset();
    }

    // Moves the clocks on as frames would (the game clock at its scale).
    static void Advance(float realSeconds)
    {
        g_Clock.m_RealStep = realSeconds;
        g_Clock.m_GameStep = realSeconds * g_Clock.m_TimeScale;
        g_Clock.m_RealClock += realSeconds * 1000.0f;
        g_Clock.m_GameClock += g_Clock.m_GameStep * 1000.0f;
    }

    // The player in mid-air, rising.
    static void Jumping()
    {
        g_PlayerVehicle->Airborne = 1;
        g_PlayerVehicle->WheelsOnGround = 0;
        g_PlayerVehicle->PathPoint = 3;
    }

    landtest::RecordingDevice m_Device;
    DataTree m_Tree;
    std::unique_ptr<testdata::DataFolder> m_Folder;
    int m_SavedEditor = 0;
    int m_SavedRunning = 0;
};

TEST_F(GameEventTest, JumpsTenSecondsApartGiveOneSlowMotionShot)
{
    Jumping();
    g_GameEvent.Post(GEVENT_JUMP_CAMERA, g_PlayerVehicle, 0);
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.state, 1);
    EXPECT_FLOAT_EQ(g_Clock.m_TimeScale, 0.4f);
    EXPECT_EQ(g_Game.mainCamera.viewMode, VIEWMODE_SCRIPTED);
    g_PlayerVehicle->Airborne = 0;   // landed
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.code, GEVENT_NONE);
    EXPECT_FLOAT_EQ(g_Clock.m_TimeScale, 1.0f);

    Advance(10.0f);
    Jumping();
    g_GameEvent.Post(GEVENT_JUMP_CAMERA, g_PlayerVehicle, 0);
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.code, GEVENT_NONE);
    EXPECT_FLOAT_EQ(g_Clock.m_TimeScale, 1.0f);

    Advance(21.0f);   // 31 s after the first
    g_GameEvent.Post(GEVENT_JUMP_CAMERA, g_PlayerVehicle, 0);
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.code, GEVENT_JUMP_CAMERA);
    EXPECT_EQ(g_GameEvent.state, 1);
}

TEST_F(GameEventTest, AJumpShotEndsOnLandingOnBothWheelsOrAfterFourSecondsOfRealTime)
{
    struct Case
    {
        const char* name;
        int airborne, wheels;
        float realSeconds;
        bool ended;
    };
    const Case cases[] = {
        {"still flying", 1, 0, 3.9f, false},    {"landed", 0, 1, 0.1f, true},
        {"both wheels down", 1, 2, 0.1f, true}, {"four seconds of real time", 1, 0, 4.1f, true},
        {"one wheel down", 1, 1, 0.1f, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Advance(40.0f);   // past the spacing of shots
        Jumping();
        g_GameEvent.Post(GEVENT_JUMP_CAMERA, g_PlayerVehicle, 0);
        g_GameEvent.Update();
        ASSERT_EQ(g_GameEvent.state, 1);
        // In slow motion 4 s of real time are only 1.6 s of game time.
        Advance(c.realSeconds);
        g_PlayerVehicle->Airborne = c.airborne;
        g_PlayerVehicle->WheelsOnGround = c.wheels;
        g_GameEvent.Update();
        EXPECT_EQ(g_GameEvent.code, c.ended ? GEVENT_NONE : GEVENT_JUMP_CAMERA);
        EXPECT_FLOAT_EQ(g_Clock.m_TimeScale, c.ended ? 1.0f : 0.4f);
        if (c.ended)
        {
            EXPECT_EQ(g_Game.mainCamera.target, static_cast<CStaticObject*>(g_PlayerVehicle));
        }
        g_GameEvent.Post(GEVENT_NONE, nullptr, 0);
    }
}

TEST_F(GameEventTest, AnEventThatReplacesAJumpShotEndsTheSlowMotion)
{
    for (int code : {GEVENT_RACE_FINISH, GEVENT_RESPAWN, GEVENT_TO_MENU, GEVENT_NONE})
    {
        SCOPED_TRACE(code);
        Advance(40.0f);
        Jumping();
        g_GameEvent.Post(GEVENT_JUMP_CAMERA, g_PlayerVehicle, 0);
        g_GameEvent.Update();
        ASSERT_FLOAT_EQ(g_Clock.m_TimeScale, 0.4f);
        g_GameEvent.Post(code, g_PlayerVehicle, 0);
        EXPECT_FLOAT_EQ(g_Clock.m_TimeScale, 1.0f);
    }
    // A pause is not undone by a post.
    g_Clock.Pause();
    g_GameEvent.Post(GEVENT_RESPAWN, g_PlayerVehicle, 0);
    EXPECT_TRUE(g_Clock.IsPaused());
}

TEST_F(GameEventTest, BehindTheMenuTheRaceStartBecomesSpectatorShotsOnTheNextFrame)
{
    g_MainMenu.active = 1;
    ASSERT_EQ(g_Game.StartRace(0), 1);
    ASSERT_EQ(g_GameEvent.code, GEVENT_RACE_START);
    g_GameEvent.Update();   // the grid
    EXPECT_EQ(g_GameEvent.code, GEVENT_RACE_START);
    EXPECT_GT(g_RaceOrderCount, 1);
    Advance(1.0f / 60.0f);
    g_GameEvent.Update();   // the start: no camera move to wait for
    EXPECT_EQ(g_GameEvent.code, GEVENT_SPECTATOR);
    for (int i = 0; i < g_Vehicles.racerCount; ++i)
        EXPECT_EQ(g_Vehicles.racers[i]->DriveState, DRIVE_AUTOPILOT) << i;
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.lastShots[0], SHOT_ORBIT);
    EXPECT_EQ(g_GameEvent.state, SHOT_ORBIT);
}

TEST_F(GameEventTest, SeededSpectatorShotsNeverRepeatOneOfTheLastThree)
{
    GameSrand(7);
    g_GameEvent.Post(GEVENT_SPECTATOR, g_PlayerVehicle, 0);
    std::vector<int> shots;
    for (int i = 0; i < 60; ++i)
    {
        g_GameEvent.Update();   // the choice
        shots.push_back(g_GameEvent.state);
        g_GameEvent.Update();   // the shot
        ASSERT_EQ(g_GameEvent.state, SHOT_WAIT);
        Advance(3.9f);
        g_GameEvent.Update();
        ASSERT_EQ(g_GameEvent.state, SHOT_WAIT);   // 4 s per shot
        Advance(0.2f);
        g_GameEvent.Update();
        ASSERT_EQ(g_GameEvent.state, SHOT_CHOOSE);
    }
    EXPECT_EQ(shots[0], SHOT_ORBIT);
    std::vector<int> seen(16, 0);
    for (size_t i = 0; i < shots.size(); ++i)
    {
        ASSERT_GE(shots[i], SHOT_ONBOARD);
        ASSERT_LE(shots[i], SHOT_ROADSIDE);
        seen[shots[i]] = 1;
        for (size_t back = 1; back <= 3 && back <= i; ++back)
            EXPECT_NE(shots[i], shots[i - back]) << i;
    }
    for (int s = SHOT_ONBOARD; s <= SHOT_ROADSIDE; ++s)
        EXPECT_TRUE(seen[s]) << s;
}

TEST_F(GameEventTest, ARespawnWaitsOnTheGameClockThroughAPause)
{
    g_PlayerVehicle->PathPoint = 9;
    g_GameEvent.Post(GEVENT_RESPAWN, g_PlayerVehicle, 0);
    g_GameEvent.Update();
    EXPECT_EQ(g_Game.mainCamera.fadeState, 0);
    g_Clock.Pause();
    Advance(5.0f);   // real time only
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.code, GEVENT_RESPAWN);
    EXPECT_EQ(g_PlayerVehicle->PathPoint, 9);

    g_Clock.Resume();
    Advance(0.5f);
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.code, GEVENT_NONE);
    EXPECT_EQ(g_PlayerVehicle->PathPoint, 4);
    EXPECT_EQ(g_Game.mainCamera.fadeState, 1);
}

TEST_F(GameEventTest, ARestartWaitsOnTheRealClockWhileTheGameIsHeld)
{
    g_GameRunning = 0;
    g_Clock.Pause();
    g_GameEvent.Post(GEVENT_RESTART, g_PlayerVehicle, 0);
    g_GameEvent.Update();
    Advance(1.9f);
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.code, GEVENT_RESTART);
    Advance(0.2f);
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.code, GEVENT_RACE_START);
    EXPECT_EQ(g_GameRunning, 1);
    EXPECT_FALSE(g_Clock.IsPaused());
}

// The last career race's CONTINUE completes the career with its result screen
// dismissed and no finish event after it; once the career-complete screen has
// led back to the menu, the next race's finish must open its result screen
// again, not go straight back to the menu without one.
TEST_F(GameEventTest, AfterTheCareersEndTheNextFinishShowsItsResult)
{
    static int shown;
    shown = 0;
    const GameEventAccess saved = g_GameEventAccess;
    g_GameEventAccess.showRaceResult = [](int show) { shown += show; };
    g_GameEventAccess.resetCareer = nullptr;   // no profile to save
    g_GameHUD.resultOpen = 0;
    g_GameHUD.resultDismissed = 1;
    g_GameHUD.careerComplete = 1;

    g_GameEvent.Post(GEVENT_CAREER_RESET, g_PlayerVehicle, 0);
    g_GameEvent.Update();
    Advance(2.1f);
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.code, GEVENT_SPECTATOR);
    EXPECT_EQ(g_GameHUD.careerComplete, 0);

    g_MainMenu.Show(MENU_NONE);
    g_GameEvent.Post(GEVENT_RACE_FINISH, g_PlayerVehicle, 0);
    g_GameEvent.Update();
    EXPECT_EQ(shown, 1) << "the finish went by without its result screen";
    EXPECT_EQ(g_GameEvent.code, GEVENT_SPECTATOR);

    g_GameEventAccess = saved;
    g_GameHUD.resultDismissed = 0;
}

TEST_F(GameEventTest, EventsWithoutTheirMotorcycleEndAsNone)
{
    for (int code : {GEVENT_RACE_START, GEVENT_RACE_FINISH, GEVENT_JUMP_CAMERA, GEVENT_SPECTATOR})
    {
        SCOPED_TRACE(code);
        g_GameEvent.Post(code, nullptr, 0);
        for (int frame = 0; frame < 3; ++frame)
            g_GameEvent.Update();
        EXPECT_EQ(g_GameEvent.code, GEVENT_NONE);
    }
    // A motorcycle that goes away is let go of by the running event.
    g_GameEvent.Post(GEVENT_SPECTATOR, g_PlayerVehicle, 0);
    g_Vehicles.RemoveVehicle(g_PlayerVehicle);
    EXPECT_EQ(g_GameEvent.vehicle, nullptr);
    EXPECT_EQ(g_Game.mainCamera.target, nullptr);
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.code, GEVENT_NONE);
}

}   // namespace
