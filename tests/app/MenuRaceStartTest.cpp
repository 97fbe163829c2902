// A new player's way from the name page to a quick race with the keyboard
// alone, on the small test area: the profile is made, the pages follow, and
// after the loading screen the race of row 18 stands with the player on it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include "app/Game.h"
#include "app/GameEvent.h"
#include "core/CareerData.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/InputState.h"
#include "core/RaceTable.h"
#include "core/Records.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "racers/VehicleManager.h"
#include "tools/DataTree.h"
#include "world/Landscape.h"
#include "world/LandscapeTestSupport.h"

namespace
{

class MenuRaceStartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        landtest::AddArea(m_Tree, landtest::AreaSpec());   // area 0 only
        ASSERT_TRUE(RunGenerator("vehicles", m_Tree));
        m_Folder.reset(new testdata::DataFolder(m_Tree, true));
        g_EditorMode = 0;
        g_SoundOn = 0;
        g_ProfileCounter = 0;
        ASSERT_EQ(g_PhysicsWorld.Create(), 1);
        g_Game.InitRaceTable();
        g_CurrentRace = 0;
        const D3DXVECTOR3 eye(0, 100, 0), at(0, 100, 1);
        g_Views.mainCamera.Init(&eye, &at, D3DX_PI / 2, 1.0f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, VIEWMODE_FREE,
                                CAMERA_MAIN);
        std::memset(&g_Career, 0, sizeof(g_Career));
        g_Career.unlocked[0] = 1;
        std::memset(g_QuickRaceOptions, 0, sizeof(g_QuickRaceOptions));
        std::strcpy(g_PlayerName, "Player");
        std::memset(g_KeyFlags, 0, sizeof(g_KeyFlags));
        g_MainMenu = CMainMenu();
        g_MainMenu.SetWidgets();
        g_Clock.m_RealClock = g_Clock.m_GameClock = 60000.0f;
    }
    void TearDown() override
    {
        g_Views.activeCamera = nullptr;
        g_GameEvent.code = GEVENT_NONE;
        g_MainMenu = CMainMenu();
        g_TextInput = 0;
        StopGame();
        g_Game.FreeRace();
        g_PhysicsWorld.Destroy();
        ClearRaceBlock();
        g_CurrentRace = 0;
        m_Folder.reset();
    }

    // One menu update after `seconds` of real and game time.
    static void Update(float seconds)
    {
        g_Clock.m_GameStep = seconds;
        g_Clock.m_RealClock += seconds * 1000.0f;
        g_Clock.m_GameClock += seconds * 1000.0f;
        g_MainMenu.Update();
    }

    // Enter on the focused button, then time for the press to fire.
    static void PressEnter()
    {
        g_KeyFlags[KEY_ENTER] = 1;
        Update(0.0f);
        Update(0.2f);
    }

    landtest::RecordingDevice m_Device;
    DataTree m_Tree;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

TEST_F(MenuRaceStartTest, NewPlayerReachesAQuickRaceWithTheKeyboard)
{
    g_MainMenu.Show(MENU_PROFILES);
    ASSERT_EQ(g_MainMenu.state, MENU_NEW_PROFILE);

    g_TextInput = 2;   // Enter on the prefilled name
    Update(0.02f);
    ASSERT_EQ(g_MainMenu.state, MENU_MOTORCYCLE);
    struct stat st;
    EXPECT_EQ(stat("Save/Profile01.sav", &st), 0);

    PressEnter();   // OK, the focused button
    ASSERT_EQ(g_MainMenu.state, MENU_MAIN);
    PressEnter();   // QUICK RACE
    ASSERT_EQ(g_MainMenu.state, MENU_QUICK_RACE);
    ASSERT_EQ(g_MainMenu.focused, &g_MainMenu.quickStartButton);
    g_Views.activeCamera = &g_Views.mainCamera;
    PressEnter();   // START!
    ASSERT_EQ(g_MainMenu.state, MENU_LOADING);
    EXPECT_EQ(g_Views.mainCamera.fadeState, 0) << "fading out";

    for (int i = 0; i < 4; ++i)
    {
        Update(0.5f);
        g_MainMenu.Render();
        // From 1 s the screen fades back in over the loading screen.
        EXPECT_EQ(g_Views.mainCamera.fadeState, g_MainMenu.secondsSinceShow >= 1.0f ? 1 : 0) << i;
    }
    EXPECT_EQ(g_MainMenu.active, 1) << "still loading at 2 s";
    Update(0.1f);
    EXPECT_EQ(g_MainMenu.active, 0);
    EXPECT_EQ(g_CurrentRace, RACE_QUICK_ROW);
    EXPECT_EQ(g_Career.raceIndex, RACE_QUICK_ROW);
    EXPECT_EQ(g_Landscape.loadedArea, 0);
    EXPECT_NE(g_PlayerVehicle, nullptr);
    EXPECT_EQ(g_GameEvent.code, GEVENT_RACE_START);
    EXPECT_EQ(GameRunning(), 1);
}

// The race-start event runs its camera flight and grid from where it was
// posted: the race the menu starts from its loading page gets it once, from
// the menu, and so does the demonstration race started behind a menu page.
TEST_F(MenuRaceStartTest, TheRaceStartEventIsPostedOnceForTheMenusRaceAndForTheDemonstration)
{
    static int s_Posts;
    static int (*s_StartRace)(int);
    struct Restore
    {
        GameEventHooks events = g_GameEventHooks;
        MenuHooks menu = g_MenuHooks;
        ~Restore()
        {
            g_GameEventHooks = events;
            g_MenuHooks = menu;
        }
    } restore;
    s_StartRace = g_MenuHooks.startRace;
    ASSERT_NE(s_StartRace, nullptr);
    // The menu posts through the hook; the race start posts to the event
    // directly, seen as a race-start code that was not there before it.
    g_GameEventHooks.post = [](int code, CVehicleObject* vehicle, int argument) {
        if (code == GEVENT_RACE_START)
            ++s_Posts;
        g_GameEvent.Post(code, vehicle, argument);
    };
    g_MenuHooks.startRace = [](int row) {
        g_GameEvent.code = GEVENT_NONE;
        const int started = s_StartRace(row);
        if (g_GameEvent.code == GEVENT_RACE_START)
            ++s_Posts;
        return started;
    };

    s_Posts = 0;
    g_MainMenu.Show(MENU_MAIN);
    ASSERT_EQ(g_MenuHooks.startRace(0), 1);
    EXPECT_EQ(s_Posts, 1) << "the demonstration behind the main page";
    EXPECT_EQ(g_GameEvent.code, GEVENT_RACE_START);

    s_Posts = 0;
    g_GameEvent.code = GEVENT_NONE;
    g_Views.activeCamera = &g_Views.mainCamera;
    g_MainMenu.Show(MENU_LOADING);
    Update(1.0f);
    Update(1.0f);
    ASSERT_EQ(g_MainMenu.active, 1);
    EXPECT_EQ(s_Posts, 0);
    Update(0.1f);
    EXPECT_EQ(g_MainMenu.active, 0);
    EXPECT_EQ(s_Posts, 1) << "the race started from the loading page";
    EXPECT_EQ(g_GameEvent.code, GEVENT_RACE_START);
}

}   // namespace
