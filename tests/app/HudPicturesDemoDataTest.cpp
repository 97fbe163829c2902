// Pictures of the in-race display on the demo data: a race under way with
// the whole display, the pause menu, a hint and the result screen, each over
// the drawn race (written under the build folder to be looked at); and the
// result screen alone on a small screen against its golden image.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/Game.h"
#include "app/GameEvent.h"
#include "core/CareerData.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/RaceState.h"
#include "core/Records.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/DrawTestSupport.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"

namespace
{

std::vector<uint8_t> ReadBack(int* w, int* h)
{
    std::vector<uint8_t> pixels;
    IDirect3DSurface9* target = nullptr;
    UINT tw = 0, th = 0;
    if (SUCCEEDED(g_Render.device->GetRenderTarget(0, &target)) && target)
    {
        D3DReadSurfacePixels(target, pixels, tw, th);
        target->Release();
    }
    *w = int(tw);
    *h = int(th);
    return pixels;
}

// A finished race's statistics for the player, placed second.
void FinishedPlayer(CVehicleObject* player)
{
    RaceStats& s = player->RaceStats;
    s.Position = 1;
    s.RaceTime = 154.37f;
    s.TopSpeed = 187.6f;
    s.AverageSpeed = 121.2f;
    s.Crashes = 7;
    s.Falls = 0;
    s.OffRouteTime = 2.4f;
    s.AirTime = 4.6f;
    s.Kicks = 2;
}

class HudPicturesDemoDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Messages.reset(new testdata::MessageCapture());
        m_Folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
        if (!m_Device.Open(true))
            SKIP_OR_FAIL_IN_CI() << m_Device.Error();
        RaceRunOptions options;
        options.gridSeconds = 1.0f;
        options.drawn = true;
        std::string error;
        ASSERT_TRUE(SetUpHeadlessRace(options, &error)) << error;
        m_Raced = true;
        LetHeadlessRaceGo();
        for (int i = 0; i < 60 * 12; ++i)
            StepHeadlessFrame();
    }

    void TearDown() override
    {
        if (m_Raced)
            TearDownHeadlessRace();
        m_Device.Close();
        m_Folder.reset();
        m_Messages.reset();
    }

    // The race from the chase camera behind the player, with the display
    // drawn over it after `frames` display frames of `realStep` seconds.
    void Picture(const std::string& name, int frames = 1, float realStep = 1.0f, int viewMode = VIEWMODE_CHASE_NEAR)
    {
        CVehicleObject* p = g_PlayerVehicle;
        ASSERT_NE(p, nullptr);
        D3DXVECTOR3 ahead(p->world._31, 0.0f, p->world._33);
        D3DXVec3Normalize(&ahead, &ahead);
        const D3DXVECTOR3 at(p->Position[0], p->Position[1] + 1.0f, p->Position[2]);
        CCamera& camera = g_Views.mainCamera;
        camera.eye = at - ahead * 5.0f + D3DXVECTOR3(0, 1.6f, 0);
        camera.at = at + ahead * 4.0f;
        camera.up = D3DXVECTOR3(0, 1, 0);
        camera.viewMode = viewMode;
        camera.UpdateView();
        g_Views.activeCamera = &camera;
        // Shown as the player's keys drive it.
        p->ControlMode = CONTROL_KEYBOARD;
        for (int i = 0; i < g_Vehicles.racerCount; ++i)
            g_Vehicles.racers[i]->UpdateFade();
        g_Game.UpdateVisibility();

        IDirect3DDevice9* device = g_Render.device;
        for (int f = 0; f < frames; ++f)
        {
            device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF8FB4E0, 1.0f, 0);
            ASSERT_TRUE(SUCCEEDED(device->BeginScene()));
            // The world only in the frame kept: the display's fades do not
            // depend on it, and a world frame is the slow part.
            if (f == frames - 1)
                g_Game.Render();
            g_Clock.m_RealStep = realStep;
            g_Render.blurAmount = 0.0f;
            g_GameHUD.Render();
            device->EndScene();
        }
        int w = 0, h = 0;
        const std::vector<uint8_t> pixels = ReadBack(&w, &h);
        ASSERT_FALSE(pixels.empty());
        const std::string path = testsupport::BuildDir() + "/" + name + ".png";
        EXPECT_TRUE(golden::WritePng(path, pixels, w, h)) << path;
        p->ControlMode = CONTROL_COMPUTER;
    }

    RaceDevice m_Device;
    bool m_Raced = false;
    std::unique_ptr<testdata::MessageCapture> m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

TEST_F(HudPicturesDemoDataTest, RaceFramePauseMenuHintAndResult)
{
    ASSERT_TRUE(g_RaceRunning);
    Picture("hud_race");
    EXPECT_GT(g_GameHUD.raceInfoAlpha, 0.0f);
    EXPECT_GT(g_GameHUD.minimapAlpha, 0.0f);

    g_GameHUD.SetMenuMode(HUDMENU_PAUSE);
    g_GameHUD.pauseItem = 1;
    Picture("hud_pause");
    g_GameHUD.SetMenuMode(HUDMENU_CLOSED);
    Picture("hud_race", 2);   // the overlay faded out again

    g_GameHUD.SetMenuMode(HUDMENU_HELP);
    Picture("hud_help");
    g_GameHUD.SetMenuMode(HUDMENU_CLOSED);
    Picture("hud_race", 2);

    ASSERT_EQ(g_GameHUD.ShowMessage(HUDMSG_JUMP_HINT, 8.0f, nullptr, 0.0f), 1);
    Picture("hud_hint", 1, 0.5f);
    g_GameHUD.ShowMessage(HUDMSG_NONE, 0.0f, nullptr, 0.0f);
    Picture("hud_race", 2);

    FinishedPlayer(g_PlayerVehicle);
    g_Career.totalScore = 400.0f;
    for (int& level : g_Career.upgradeLevel)
        level = 2;
    g_GameHUD.ShowRaceResult(1);
    Picture("hud_result", 30, 0.25f, VIEWMODE_LOOKAT);   // the finish's shot
    EXPECT_EQ(g_GameHUD.resultOpen, 1);
    EXPECT_TRUE(testdata::Messages().empty()) << testdata::Messages()[0];
}

// The finish of a career race through the game's events: the finish opens
// the result screen, CONTINUE runs the career step and posts the finish
// again, which then fades out toward the menu.
TEST_F(HudPicturesDemoDataTest, TheFinishEventOpensTheResultAndContinueRunsTheCareerStep)
{
    CVehicleObject* player = g_PlayerVehicle;
    ASSERT_NE(player, nullptr);
    FinishedPlayer(player);
    player->RaceStats.Position = 3;   // fourth: the race is offered again
    g_CareerMode = 1;
    g_Career = CareerData{};
    g_Career.raceIndex = 4;
    g_Career.totalScore = 1000.0f;

    g_GameEvent.Post(GEVENT_RACE_FINISH, player, 0);
    g_GameEvent.Update();
    ASSERT_EQ(g_GameHUD.resultOpen, 1);
    EXPECT_EQ(g_GameEvent.code, GEVENT_SPECTATOR);   // the race goes on behind the screen

    Picture("hud_result_event", 30, 0.25f, VIEWMODE_LOOKAT);
    g_KeyFlags[KEY_ENTER] = 1;
    Picture("hud_result_event", 1, 0.02f, VIEWMODE_LOOKAT);
    EXPECT_EQ(g_GameHUD.resultOpen, 0);
    EXPECT_EQ(g_GameHUD.resultDismissed, 1);
    EXPECT_EQ(g_Career.raceIndex, 4);
    EXPECT_EQ(g_Career.place[4], 4);
    EXPECT_EQ(g_Career.totalScore, 1000.0f + float(g_RaceResult.total));
    ASSERT_EQ(g_GameEvent.code, GEVENT_RACE_FINISH);

    g_GameEvent.Update();   // the choice read: continue, fading out
    EXPECT_EQ(g_GameEvent.state, 1);
    EXPECT_EQ(g_GameHUD.resultOpen, 0);
}

// The result screen alone, all rows in, on a small screen: its golden image.
class HudResultGoldenDemoDataTest : public drawtest::DeviceFixture
{
protected:
    void SetUp() override
    {
        OpenDevice(D3DBackendKind::OpenGL, 320, 240);
        g_Render.SetDefaultStates();   // the game's culling, blending and stages
        EnterFolder(testsupport::DemoDataDir());
        drawtest::FillDiscFans();
        g_Clock.Init();
        g_GameHUD = CGameHUD();
        g_GameHUD.Create();
        // The menu's pictures the screen shares.
        const char* cups[3] = {"Data/Interface/Cups/Cup1.dds", "Data/Interface/Cups/Cup2.dds",
                               "Data/Interface/Cups/Cup3.dds"};
        for (int i = 0; i < 3; ++i)
            g_MainMenu.cupTextures[i] = g_Render.LoadTexture(cups[i], 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        g_MainMenu.borderTexture =
            g_Render.LoadTexture("Data/Interface/Menu_Main/BorderHider.dds", 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    }
    void TearDown() override
    {
        for (TextureId& id : g_MainMenu.cupTextures)
            id = -1;
        g_MainMenu.borderTexture = -1;
        g_GameHUD.Release();
        g_PlayerVehicle = nullptr;
        ClearRaceBlock();
        LeaveFolder();
        CloseDevice();
    }
};

TEST_F(HudResultGoldenDemoDataTest, TheResultScreenOfASecondPlace)
{
    CVehicleObject player, winner;
    std::snprintf(player.Name, sizeof(player.Name), "Player");
    std::snprintf(winner.Name, sizeof(winner.Name), "Rider Number One");
    FinishedPlayer(&player);
    winner.RaceStats.RaceTime = 151.02f;
    g_PlayerVehicle = &player;
    g_RaceOrder[0] = &winner;
    g_RaceOrder[1] = &player;
    g_RaceOrderCount = 2;
    g_CurrentRace = 0;
    g_RaceTable.prizes[0][1] = 600;
    std::memset(&g_Records, 0, sizeof(g_Records));
    g_Career = CareerData{};
    g_Career.totalScore = 0.0f;   // no upgrade reached: nothing flickers
    g_CareerMode = 1;

    g_GameHUD.ShowRaceResult(1);
    for (int i = 0; i < 40; ++i)
    {
        m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF203040, 1.0f, 0);
        m_Device->BeginScene();
        g_Clock.m_RealStep = 0.5f;
        g_GameHUD.Render();
        m_Device->EndScene();
    }
    UINT w = 0, h = 0;
    const std::vector<uint8_t> pixels = m_Device.ReadRenderTarget(&w, &h);
    ASSERT_EQ(w, 320u);
    EXPECT_EQ(golden::Mismatch("interface/result_screen", pixels, int(w), int(h)), "");
}

// The career-complete screen 13 s in, every cup shown: written to look at.
TEST_F(HudResultGoldenDemoDataTest, TheCareerCompleteScreen)
{
    g_MainMenu.cupTextures[3] =
        g_Render.LoadTexture("Data/Interface/Cups/GoldenCup.dds", 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    g_MainMenu.menuFont.Create("Data/Interface/Fonts/Menu 01");
    g_MainMenu.menuFont.UpdateMetrics();
    g_Career = CareerData{};
    for (int i = 0; i < 18; ++i)
        g_Career.place[i] = 1 + (i * 7) % 3;
    g_GameHUD.careerComplete = 1;
    g_GameHUD.careerCompleteTime = 0.0f;
    for (int i = 0; i < 14; ++i)
    {
        m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF203040, 1.0f, 0);
        m_Device->BeginScene();
        g_Clock.m_GameStep = i < 13 ? 1.0f : 0.0f;
        g_GameHUD.Render();
        m_Device->EndScene();
    }
    EXPECT_NEAR(g_GameHUD.careerCompleteTime, 13.0f, 1e-4f);
    UINT w = 0, h = 0;
    const std::vector<uint8_t> pixels = m_Device.ReadRenderTarget(&w, &h);
    EXPECT_TRUE(golden::WritePng(testsupport::BuildDir() + "/hud_career_complete.png", pixels, int(w), int(h)));
    g_GameHUD.careerComplete = 0;
    g_Career = CareerData{};
    g_MainMenu.menuFont.Release();
}

}   // namespace
