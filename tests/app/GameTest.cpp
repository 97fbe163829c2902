// The game object: the create chain and where it stops, the three update
// branches of the frame, the inactive window, visibility and release order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/Game.h"
#include "core/GameClock.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "platform/os/Clock.h"
#include "tests/support/TempFolder.h"

namespace
{
std::vector<std::string> g_Calls;

// Every step of the list records its name instead of running; the step named
// `failing` returns 0.
void Record(GameStepList& steps, const std::string& failing = "")
{
    for (GameStep& s : steps)
    {
        const std::string name = s.name;
        s.run = [name, failing] {
            g_Calls.push_back(name);
            return name == failing ? 0 : 1;
        };
    }
}

// Every step of the list records its name and then runs as before: the order
// is seen and what the steps take down is taken down, so no later test finds
// the menu, the vehicles or the landscape of this one still made.
void RecordAndRun(GameStepList& steps)
{
    for (GameStep& s : steps)
    {
        const std::string name = s.name;
        s.run = [name, run = s.run] {
            g_Calls.push_back(name);
            return run();
        };
    }
}

std::vector<std::string> Names(const GameStepList& steps)
{
    std::vector<std::string> names;
    for (const GameStep& s : steps)
        names.push_back(s.name);
    return names;
}

class GameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_Calls.clear();
        savedActive = g_AppActive;
        savedRunning = GameRunning();
        savedClock = g_Clock;
        savedLimits = g_SettingLimits;
        for (size_t i = 0; i < kSettingCount; ++i)
            savedSettings[i] = *kSettings[i];
    }
    void TearDown() override
    {
        g_AppActive = savedActive;
        savedRunning ? RunGame() : StopGame();
        g_Clock = savedClock;
        // The real create reads the settings file and lets the device lower
        // the limits; the tests after this one run with the settings they had.
        g_SettingLimits = savedLimits;
        for (size_t i = 0; i < kSettingCount; ++i)
            *kSettings[i] = savedSettings[i];
    }
    void RecordAll(CGame& game)
    {
        Record(game.createSteps);
        Record(game.drawSteps);
        Record(game.heldUpdateSteps);
        Record(game.runningUpdateSteps);
        Record(game.visibilitySteps);
        Record(game.releaseSteps);
        Record(game.mainPassSteps);
    }
    // A clock with some time behind the last tick, so the frame's game step is above 0.
    void ClockWithTimeToRun(float scale)
    {
        g_Clock.Init();
        g_Clock.m_TimeScale = scale;
        g_Clock.m_LastTick = timeGetTime() - 20;
    }

    static constexpr int* kSettings[] = {
        &g_VideoMode, &g_ViewDistance, &g_ShadowQuality, &g_GlowOn,        &g_BlurOn,         &g_Windowed,
        &g_SoundOn,   &g_MasterVolume, &g_MusicVolume,   &g_EffectsVolume, &g_UseFileManager, &g_BmpToJpg,
        &g_GameMenu,  &g_DebugMode,    &g_DebugLog,      &g_EditorMode,    &g_ProfileCounter, &g_RaceID};
    static constexpr size_t kSettingCount = sizeof(kSettings) / sizeof(kSettings[0]);

    int savedActive = 0;
    int savedRunning = 0;
    CGameClock savedClock;
    SettingLimits savedLimits = {};
    int savedSettings[kSettingCount] = {};
};

TEST_F(GameTest, CreatesInOrderAndStopsAtTheFirstFailure)
{
    const std::vector<std::string> order = {"CGameClock::Init",
                                            "CCamera::Init main",
                                            "CCamera::Init auxiliary",
                                            "CCamera::Init shadow",
                                            "reflection camera",
                                            "CGame::CreatePhysicsWorld",
                                            "CMainMenu::Create",
                                            "CMenuBackground::Create",
                                            "CLightManager::Init",
                                            "CLandscape::LoadSurfaces",
                                            "CStaticObjectManager::Create",
                                            "CNatureManager::Create",
                                            "CVehicleManager::Create",
                                            "CHumanManager::Create",
                                            "CDusts::Create",
                                            "CWheelSkids::Create",
                                            "CSky::Create",
                                            "CPickedObject::Init",
                                            "CGameEvent::Init",
                                            "CGameHUD::Create",
                                            "profile defaults",
                                            "CGame::InitRaceTable",
                                            "CGame::LoadRecords"};
    CGame game;
    ASSERT_EQ(order, Names(game.createSteps));

    for (const std::string failing : {"CSky::Create", "CGame::CreatePhysicsWorld", "CGameHUD::Create"})
    {
        g_Calls.clear();
        CGame g;
        Record(g.createSteps, failing);
        EXPECT_EQ(0, g.Create()) << failing;
        ASSERT_FALSE(g_Calls.empty());
        EXPECT_EQ(failing, g_Calls.back()) << "nothing after the failing step runs";
        EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + g_Calls.size()), g_Calls);
    }
    g_Calls.clear();
    Record(game.createSteps);
    EXPECT_EQ(1, game.Create());
    EXPECT_EQ(order, g_Calls);
}

TEST_F(GameTest, RealCreateSetsUpCamerasAndWorldAndReleaseTakesThemDown)
{
    // The create chain writes the records file where it runs.
    TempFolder folder;
    ASSERT_TRUE(folder.MakeAndEnter("trallowmere-game-"));
    CGame game;
    ASSERT_EQ(1, game.Create());
    EXPECT_EQ(&g_Views.mainCamera, g_Views.activeCamera);
    EXPECT_FLOAT_EQ(-150.0f, g_Views.mainCamera.eye.x);
    EXPECT_FLOAT_EQ(-50.0f, g_Views.mainCamera.at.x);
    EXPECT_FLOAT_EQ(500.0f, g_Views.mainCamera.farPlane);
    EXPECT_EQ(CAMERA_MAIN, g_Views.mainCamera.kind);
    EXPECT_EQ(CAMERA_AUX, g_Views.auxCamera.kind);
    EXPECT_FLOAT_EQ(200.0f, g_Views.auxCamera.farPlane);
    EXPECT_EQ(CAMERA_SHADOW, g_Views.shadowCamera.kind);
    EXPECT_FLOAT_EQ(1000.0f, g_Views.shadowCamera.farPlane);
    EXPECT_EQ(0, std::memcmp(&g_Views.reflectionCamera, &g_Views.mainCamera, sizeof(CCamera)))
        << "the reflection camera is a copy of the main camera";
    EXPECT_FLOAT_EQ(60000.0f, g_Clock.m_GameClock);
    ASSERT_NE(nullptr, g_PhysicsWorld.dynamicsWorld);

    g_Calls.clear();
    RecordAndRun(game.releaseSteps);
    game.Release();
    EXPECT_EQ(nullptr, g_Views.activeCamera);
    EXPECT_EQ(nullptr, g_PhysicsWorld.dynamicsWorld);
    EXPECT_EQ(nullptr, g_PhysicsWorld.broadphase);
    const std::vector<std::string> releaseOrder = {"CGame::FreeRace",
                                                   "CGameHUD::Release",
                                                   "CMainMenu::Release",
                                                   "CMenuBackground::Release",
                                                   "CLightManager::FreeAll",
                                                   "CVehicleManager::Release",
                                                   "CHumanManager::Release",
                                                   "CLandscape::Release",
                                                   "CStaticObjectManager::Release",
                                                   "CNatureManager::Release",
                                                   "CDusts::Release",
                                                   "CWheelSkids::Release",
                                                   "CSky::Release",
                                                   "clear running event"};
    EXPECT_EQ(releaseOrder, g_Calls);
}

TEST_F(GameTest, FrameRunsTheUpdateBranchOfTheGameState)
{
    const std::vector<std::string> held = {"CCamera::Update", "CMainMenu::Update", "CGameEvent::Update"};
    const std::vector<std::string> running = {"CVehicleObject::Update player",
                                              "CGame::StepPhysics",
                                              "CCamera::Update",
                                              "CMainMenu::Update",
                                              "CSky::Update",
                                              "CLightManager::Update",
                                              "CLandscape::Update",
                                              "CNatureManager::Update",
                                              "CStaticObjectManager::Update",
                                              "CVehicleManager::Update",
                                              "CHumanManager::Update",
                                              "CDusts::Update",
                                              "CWheelSkids::Update",
                                              "CGameEvent::Update",
                                              "CGame::UpdateVisibility"};
    struct Case
    {
        const char* what;
        int gameRunning;
        float timeScale;
        std::vector<std::string> expected;
    } cases[] = {
        {"an overlay holds the game", 0, 1.0f, held},
        {"the overlay holds the game even with the clock paused", 0, 0.0f, held},
        {"running", 1, 1.0f, running},
        {"running with the game clock paused", 1, 0.0f, {}},
    };
    for (const Case& c : cases)
    {
        CGame game;
        RecordAll(game);
        g_AppActive = 1;
        c.gameRunning ? RunGame() : StopGame();
        ClockWithTimeToRun(c.timeScale);
        g_Calls.clear();
        game.Frame();
        EXPECT_EQ(c.expected, g_Calls) << c.what;
        EXPECT_GT(g_Clock.m_RealStep, 0.0f) << c.what << ": the clock runs in every active frame";
    }
}

TEST_F(GameTest, InactiveWindowDoesNothing)
{
    CGame game;
    RecordAll(game);
    g_AppActive = 0;
    RunGame();
    ClockWithTimeToRun(1.0f);
    const CGameClock before = g_Clock;
    game.Frame();
    EXPECT_TRUE(g_Calls.empty());
    EXPECT_EQ(before.m_LastTick, g_Clock.m_LastTick) << "the clock is not even read";
    EXPECT_EQ(before.m_GameClock, g_Clock.m_GameClock);
}

TEST_F(GameTest, VisibilityFollowsAllMovementInOrder)
{
    CGame game;
    Record(game.visibilitySteps);
    game.UpdateVisibility();
    const std::vector<std::string> expected = {"CLandscape::UpdateVisibility", "CStaticObjectManager::UpdateVisibility",
                                               "CVehicleManager::UpdateVisibility", "CHumanManager::UpdateVisibility",
                                               "CStaticObjectManager::CheckOcclusion"};
    EXPECT_EQ(expected, g_Calls);
}
}   // namespace
