// Game events on the small test area with the player's motorcycle: the
// jump shot's spacing, end and slow motion, the race start behind the menu
// and out of it, the spectator shots and the orbit, the respawn's fade and
// its wait on the game clock, the restart's and the return to the menu's
// waits on the real clock, the page after the result screen, and events
// without a motorcycle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "app/Game.h"
#include "app/GameEvent.h"
#include "audio/AudioManager.h"
#include "core/CareerData.h"
#include "core/GameClock.h"
#include "core/RaceState.h"
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

float Gap(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const D3DXVECTOR3 d = a - b;
    return D3DXVec3Length(&d);
}

class GameEventTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        landtest::AddArea(m_Tree, landtest::AreaSpec());
        ASSERT_TRUE(RunGenerator("vehicles", m_Tree));
        m_Folder.reset(new testdata::DataFolder(m_Tree, true));
        m_SavedEditor = g_EditorMode;
        m_SavedRunning = GameRunning();
        m_SavedFadeColour = g_Views.mainCamera.fadeColour;
        g_EditorMode = 0;
        g_MainMenu.active = 0;
        g_Clock.Init();
        ASSERT_EQ(g_PhysicsWorld.Create(), 1);
        g_Game.InitRaceTable();
        g_CurrentRace = 0;
        const D3DXVECTOR3 eye(0, 100, 0), at(0, 100, 1);
        g_Views.mainCamera.Init(&eye, &at, D3DX_PI / 2, 1.0f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, VIEWMODE_FREE,
                                CAMERA_MAIN);
        g_Views.activeCamera = &g_Views.mainCamera;
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
        g_PhysicsWorld.Destroy();
        ClearRaceBlock();
        g_CurrentRace = 0;
        g_EditorMode = m_SavedEditor;
        m_SavedRunning ? RunGame() : StopGame();
        // The fades out to black or to the respawn colour stay the colour
        // the next fade in comes back from.
        g_Views.mainCamera.fadeColour = m_SavedFadeColour;
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
    D3DXCOLOR m_SavedFadeColour;
};

TEST_F(GameEventTest, JumpsTenSecondsApartGiveOneSlowMotionShot)
{
    Jumping();
    g_GameEvent.Post(GEVENT_JUMP_CAMERA, g_PlayerVehicle, 0);
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.state, 1);
    EXPECT_FLOAT_EQ(g_Clock.m_TimeScale, 0.4f);
    EXPECT_EQ(g_Views.mainCamera.viewMode, VIEWMODE_SCRIPTED);
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
            EXPECT_EQ(g_Views.mainCamera.target, static_cast<CStaticObject*>(g_PlayerVehicle));
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
    EXPECT_EQ(g_Views.mainCamera.fadeState, 0);
    // A dark red fade, without the fade's sound.
    const D3DXCOLOR colour = g_Views.mainCamera.fadeColour;
    EXPECT_FLOAT_EQ(colour.r, 0.5f);
    EXPECT_FLOAT_EQ(colour.g, 0.1f);
    EXPECT_FLOAT_EQ(colour.b, 0.0f);
    EXPECT_FLOAT_EQ(colour.a, 1.0f);
    EXPECT_EQ(g_Views.mainCamera.fadeWithSound, 0);
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
    EXPECT_EQ(g_Views.mainCamera.fadeState, 1);
}

// The pause menu's RESTART RACE and TERMINATE RACE hold the game clock; their
// fades must end on the real clock, or the screen would stay black for good.
TEST_F(GameEventTest, TheFadesToARestartAndBackToTheMenuWaitOnTheRealClockWhileTheGameIsHeld)
{
    struct Case
    {
        const char* name;
        int code;
        float seconds;
        int next;
        int page;
    };
    const Case cases[] = {
        {"RESTART RACE", GEVENT_RESTART, 2.0f, GEVENT_RACE_START, MENU_NONE},
        {"TERMINATE RACE", GEVENT_TO_MENU, 1.0f, GEVENT_SPECTATOR, MENU_MAIN},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        g_MainMenu.Show(MENU_NONE);
        StopGame();
        g_Clock.Pause();
        g_GameEvent.Post(c.code, g_PlayerVehicle, 0);
        g_GameEvent.Update();
        Advance(c.seconds - 0.1f);
        g_GameEvent.Update();
        EXPECT_EQ(g_GameEvent.code, c.code);
        EXPECT_EQ(g_MainMenu.active, 0);
        Advance(0.2f);
        g_GameEvent.Update();
        EXPECT_EQ(g_GameEvent.code, c.next);
        EXPECT_EQ(g_MainMenu.state, c.page);
        EXPECT_EQ(GameRunning(), 1);
        EXPECT_FALSE(g_Clock.IsPaused());
    }
    g_MainMenu.Show(MENU_NONE);
}

// The result screen's CONTINUE leads, after its fade, to the page the race
// calls for; RESTART starts the same race again without the menu.
TEST_F(GameEventTest, AfterTheResultScreenContinueOpensThePageTheRaceCallsForAndRestartRacesAgain)
{
    struct Case
    {
        const char* name;
        int choice, career, points;
        int page, next;
    };
    const Case cases[] = {
        {"CONTINUE after a quick race", 0, 0, 3, MENU_MAIN, GEVENT_SPECTATOR},
        {"CONTINUE in a career with points to spend", 0, 1, 2, MENU_UPGRADE, GEVENT_SPECTATOR},
        {"CONTINUE in a career with a single point", 0, 1, 1, MENU_UPGRADE, GEVENT_SPECTATOR},
        {"CONTINUE in a career without points", 0, 1, 0, MENU_CAREER, GEVENT_SPECTATOR},
        {"RESTART", 1, 1, 2, MENU_NONE, GEVENT_RACE_START},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        // The result screen was dismissed with the case's choice.
        g_GameHUD.resultOpen = 0;
        g_GameHUD.resultDismissed = 1;
        g_GameHUD.resultChoice = c.choice;
        g_CareerMode = c.career;
        g_Career.upgradePoints = c.points;
        g_MainMenu.Show(MENU_NONE);
        g_GameEvent.Post(GEVENT_RACE_FINISH, g_PlayerVehicle, 0);
        g_GameEvent.Update();   // the choice: a fade to black
        EXPECT_EQ(g_Views.mainCamera.fadeState, 0);
        Advance(1.9f);
        g_GameEvent.Update();
        EXPECT_EQ(g_GameEvent.code, GEVENT_RACE_FINISH);
        EXPECT_EQ(g_MainMenu.active, 0);
        Advance(0.2f);
        g_GameEvent.Update();
        EXPECT_EQ(g_GameEvent.code, c.next);
        EXPECT_EQ(g_MainMenu.state, c.page);
        EXPECT_EQ(g_MainMenu.active, c.page != MENU_NONE ? 1 : 0);
        EXPECT_EQ(g_GameHUD.resultDismissed, 0);
    }
    g_GameHUD.resultChoice = 0;
    g_CareerMode = 1;
    g_Career = CareerData{};
    g_MainMenu.Show(MENU_NONE);
}

// Out of the menu the start is flown: from high over the route's start (low
// over its end for a reverse row) to just behind the first path point, while
// the race music comes in at three quarters and the screen fades in.
TEST_F(GameEventTest, TheRaceStartFliesFromOverTheRouteToBehindTheStartWithTheRaceMusic)
{
    const int row = g_CurrentRace;
    const int savedReverse = g_RaceTable.reverse[row];
    const int routeCount = g_Landscape.routeCount;
    ASSERT_GT(routeCount, 6);
    CCamera& camera = g_Views.mainCamera;
    const D3DXVECTOR3 p0(g_RacePath[0][0], g_RacePath[0][1], g_RacePath[0][2]);
    const D3DXVECTOR3 p1(g_RacePath[1][0], g_RacePath[1][1], g_RacePath[1][2]);
    D3DXVECTOR3 along = p1 - p0;
    D3DXVec3Normalize(&along, &along);
    const D3DXVECTOR3 behind = p0 - along * 6.0f + D3DXVECTOR3(0, 1, 0);
    struct Case
    {
        int reverse;
        int routePoint;
        float height;
    };
    const Case cases[] = {{0, 2, 8.0f}, {1, routeCount - 4, 2.0f}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.reverse ? "reverse" : "forward");
        g_RaceTable.reverse[row] = c.reverse;
        g_AudioManager.musicVolume = 100.0f;
        g_GameEvent.Post(GEVENT_RACE_START, g_PlayerVehicle, 0);
        g_GameEvent.Update();
        const float* r = g_Landscape.routePos[c.routePoint];
        const D3DXVECTOR3 centre(g_PlayerVehicle->worldCentre[0], g_PlayerVehicle->worldCentre[1],
                                 g_PlayerVehicle->worldCentre[2]);
        EXPECT_EQ(camera.viewMode, VIEWMODE_SCRIPTED);
        EXPECT_NEAR(camera.moveStartEye.x, r[0], 1e-4f);
        EXPECT_NEAR(camera.moveStartEye.y, r[1] + c.height, 1e-4f);
        EXPECT_NEAR(camera.moveStartEye.z, r[2], 1e-4f);
        EXPECT_LT(Gap(camera.moveEye, behind), 1e-4f);
        EXPECT_LT(Gap(camera.moveAt, centre), 1e-4f);
        EXPECT_FLOAT_EQ(camera.moveDuration, 8.0f);
        EXPECT_EQ(camera.fadeState, 1);
        EXPECT_FLOAT_EQ(camera.fadeDuration, 2.0f);
        EXPECT_FLOAT_EQ(g_AudioManager.musicVolume, 75.0f);
    }
    g_RaceTable.reverse[row] = savedReverse;
}

// The orbit shot circles the followed motorcycle at 3 to 8 out and 0.5 to 1
// times that up, turning at a quarter to three quarters of a radian a second
// either way.
TEST_F(GameEventTest, TheOrbitShotCirclesAtThreeToEightOut)
{
    std::vector<int> distances(16, 0);
    bool bothWays[2] = {false, false};
    for (unsigned seed = 1; seed <= 200; ++seed)
    {
        GameSrand(seed);
        g_GameEvent.Post(GEVENT_SPECTATOR, g_PlayerVehicle, 0);
        g_GameEvent.Update();   // the first shot of the event is the orbit
        ASSERT_EQ(g_GameEvent.state, SHOT_ORBIT);
        g_GameEvent.Update();
        const CCamera& camera = g_Views.mainCamera;
        ASSERT_EQ(camera.moveRelative, 1);
        const float d = camera.moveEye.x;
        ASSERT_EQ(d, std::floor(d));
        ASSERT_GE(d, 0.0f);
        ASSERT_LT(d, 16.0f);
        ++distances[(size_t)d];
        EXPECT_EQ(camera.moveEye.z, d);
        EXPECT_GE(camera.moveEye.y, 0.5f * d - 1e-4f);
        EXPECT_LE(camera.moveEye.y, d + 1e-4f);
        EXPECT_GE(std::fabs(camera.moveSpeed), 0.25f - 1e-6f);
        EXPECT_LE(std::fabs(camera.moveSpeed), 0.75f + 1e-6f);
        bothWays[camera.moveSpeed > 0.0f] = true;
    }
    for (int d = 0; d < 16; ++d)
        EXPECT_EQ(distances[(size_t)d] > 0, d >= 3 && d <= 8) << d;
    EXPECT_TRUE(bothWays[0] && bothWays[1]);
}

// The last career race's CONTINUE completes the career with its result screen
// dismissed and no finish event after it; once the career-complete screen has
// led back to the menu, the next race's finish must open its result screen
// again, not go straight back to the menu without one.
TEST_F(GameEventTest, AfterTheCareersEndTheNextFinishShowsItsResult)
{
    g_Career.totalScore = 31000.0f;
    g_Career.place[17] = 3;
    g_Career.raceTime[4] = 81.5f;
    g_Career.unlocked[5] = 1;
    g_Career.upgradeLevel[0] = 7;
    g_GameHUD.resultOpen = 0;
    g_GameHUD.resultDismissed = 1;
    g_GameHUD.careerComplete = 1;

    g_GameEvent.Post(GEVENT_CAREER_RESET, g_PlayerVehicle, 0);
    g_GameEvent.Update();
    Advance(2.1f);
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.code, GEVENT_SPECTATOR);
    EXPECT_EQ(g_GameHUD.careerComplete, 0);
    // The career's results are cleared; what was opened and bought stays.
    EXPECT_EQ(g_Career.totalScore, 0.0f);
    EXPECT_EQ(g_Career.place[17], 0);
    EXPECT_EQ(g_Career.raceTime[4], 0.0f);
    EXPECT_EQ(g_Career.unlocked[5], 1);
    EXPECT_EQ(g_Career.upgradeLevel[0], 7);

    g_MainMenu.Show(MENU_NONE);
    g_GameEvent.Post(GEVENT_RACE_FINISH, g_PlayerVehicle, 0);
    g_GameEvent.Update();
    EXPECT_EQ(g_GameHUD.resultOpen, 1) << "the finish went by without its result screen";
    EXPECT_EQ(g_GameEvent.code, GEVENT_SPECTATOR);

    g_GameHUD.ShowRaceResult(0);
    g_GameHUD.resultDismissed = 0;
    g_Career = CareerData{};
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
    EXPECT_EQ(g_Views.mainCamera.target, nullptr);
    g_GameEvent.Update();
    EXPECT_EQ(g_GameEvent.code, GEVENT_NONE);
}

}   // namespace
