// The pause menu and the key help: Esc and F1, the race held with an orbit
// and given back, the items acting once the overlay has faded in.
#include "interface/HudFixture.h"
#include "interface/MainMenu.h"

namespace
{

using hudtest::HudFixture;
using hudtest::Note;

class HudOverlayTest : public HudFixture
{
protected:
    static void Press(int key)
    {
        g_KeyFlags[key] = 1;
        Frame(0.02f);
    }
    // Long enough for the overlay to fade in fully.
    static void Settle() { Frame(1.0f); }
};

TEST_F(HudOverlayTest, EscPausesTheRaceWithAnOrbitAndEscAgainResumesIt)
{
    Press(KEY_ESC);
    EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_PAUSE);
    EXPECT_EQ(g_GameHUD.overlayOpen, 1);
    EXPECT_EQ(GameRunning(), 0);
    EXPECT_TRUE(g_Clock.IsPaused());
    EXPECT_EQ(g_GameHUD.cameraOrbit, 1);
    EXPECT_EQ(g_Views.mainCamera.viewMode, VIEWMODE_SCRIPTED);
    EXPECT_EQ(g_Views.mainCamera.moveEye, D3DXVECTOR3(15, 7, 1));   // centre + (5, 5, 5)
    EXPECT_EQ(g_KeyFlags[KEY_ESC], 0);

    Settle();
    Press(KEY_ESC);
    EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_CLOSED);
    EXPECT_EQ(g_GameHUD.previousMenuMode, HUDMENU_PAUSE);
    EXPECT_EQ(GameRunning(), 1);
    EXPECT_FALSE(g_Clock.IsPaused());
    EXPECT_EQ(g_GameHUD.cameraOrbit, 0);
    EXPECT_EQ(g_Views.mainCamera.viewMode, VIEWMODE_CHASE_NEAR);
}

TEST_F(HudOverlayTest, NoOrbitFromAScriptedCameraAndNoPauseOrHelpWhileAnEventRunsOrTheMenuIsUp)
{
    g_Views.mainCamera.viewMode = VIEWMODE_LOOKAT;
    Press(KEY_ESC);
    EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_PAUSE);
    EXPECT_EQ(g_GameHUD.cameraOrbit, 0);
    EXPECT_EQ(g_Views.mainCamera.viewMode, VIEWMODE_LOOKAT);
    EXPECT_EQ(GameRunning(), 0);
    Press(KEY_ESC);   // closes during the fade in, from the frame's own Esc
    EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_CLOSED);
    EXPECT_EQ(g_Views.mainCamera.viewMode, VIEWMODE_LOOKAT);

    g_GameEventHooks.running = [] { return 1; };
    Press(KEY_ESC);
    EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_CLOSED);
    EXPECT_EQ(GameRunning(), 1);
    g_GameEventHooks.running = nullptr;

    // While the front-end menu is up its pages read Esc and F1: the display
    // leaves them there and neither pauses nor helps.
    g_MainMenu.active = 1;
    const struct
    {
        const char* name;
        int key;
    } keys[] = {{"Esc", KEY_ESC}, {"F1", KEY_F1}};
    for (const auto& k : keys)
    {
        SCOPED_TRACE(k.name);
        const int key = k.key;
        Press(key);
        EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_CLOSED);
        EXPECT_EQ(g_GameHUD.overlayOpen, 0);
        EXPECT_EQ(GameRunning(), 1);
        EXPECT_EQ(g_KeyFlags[key], 1) << "the key is left for the menu";
        g_KeyFlags[key] = 0;
    }
    g_MainMenu.active = 0;
}

TEST_F(HudOverlayTest, F1OpensTheHelpDoesNothingOverThePauseMenuAndEscClosesTheHelp)
{
    Press(KEY_F1);
    EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_HELP);
    EXPECT_EQ(GameRunning(), 0);
    Settle();
    Press(KEY_ESC);
    EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_CLOSED);
    EXPECT_EQ(GameRunning(), 1);

    Press(KEY_ESC);
    ASSERT_EQ(g_GameHUD.menuMode, HUDMENU_PAUSE);
    Settle();
    Press(KEY_F1);
    EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_PAUSE);
}

TEST_F(HudOverlayTest, PauseItemsActOnceTheOverlayHasFadedIn)
{
    Press(KEY_ESC);
    // Still fading in: the keys wait.
    Press(KEY_DOWN);
    EXPECT_EQ(g_GameHUD.pauseItem, 0);
    Settle();
    Press(KEY_UP);
    EXPECT_EQ(g_GameHUD.pauseItem, 0);   // not past the first
    Press(KEY_DOWN);
    Press(KEY_DOWN);
    Press(KEY_DOWN);
    EXPECT_EQ(g_GameHUD.pauseItem, 2);   // not past the last
    Press(KEY_ENTER);                    // CONTINUE
    EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_CLOSED);
    EXPECT_EQ(GameRunning(), 1);
    EXPECT_TRUE(Note().events.empty());

    const struct
    {
        int item;
        int gameMenu;
        int event;
        int quit;
    } cases[] = {
        {0, 1, GEVENT_TO_MENU, 0},
        {0, 0, -1, 1},
        {1, 1, GEVENT_RESTART, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.item);
        Note().events.clear();
        g_GameMenu = c.gameMenu;
        ResetQuit();
        Press(KEY_ESC);
        Settle();
        for (int i = 0; i < c.item; ++i)
            Press(KEY_DOWN);
        Press(KEY_ENTER);
        EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_CLOSED);
        EXPECT_EQ(g_GameHUD.overlayOpen, 0);
        EXPECT_EQ(g_GameHUD.cameraOrbit, 0);
        EXPECT_EQ(QuitRequested(), c.quit);
        if (c.event >= 0)
        {
            EXPECT_EQ(Note().events, std::vector<int>{c.event});
        }
        // The event, not the display, gives the race back.
        EXPECT_EQ(GameRunning(), 0);
        RunGame();
        g_Clock.Resume();
    }
    g_GameMenu = 1;
    ResetQuit();
}

TEST_F(HudOverlayTest, TheActiveCameraOrbitsAndReturnsToTheFarViewThePlayerChose)
{
    CCamera& camera = g_Views.mainCamera;
    camera.lastPlayerMode = VIEWMODE_CHASE_FAR;
    camera.viewMode = VIEWMODE_CHASE_FAR;
    Press(KEY_ESC);
    EXPECT_EQ(camera.viewMode, VIEWMODE_SCRIPTED);
    EXPECT_EQ(g_GameHUD.cameraOrbit, 1);
    Settle();
    Press(KEY_ESC);
    EXPECT_EQ(camera.viewMode, VIEWMODE_CHASE_FAR);
    EXPECT_EQ(camera.target, &m_Player);
    EXPECT_EQ(g_GameHUD.cameraOrbit, 0);
}

}   // namespace
