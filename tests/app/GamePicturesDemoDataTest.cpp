// Every page of the front end, the splash and loading screens, and the
// in-race display (a race frame with all its readouts, the pause menu, the
// key help, a hint, the result screen and the career-complete screen), each
// drawn headless on the demo data in a started game the way a frame of the
// game draws it.
//
// Each is drawn twice. Once as the player sees it, over the race behind
// it, written to build/pictures/pages/<name>.png to be looked at. And once
// over a fixed backdrop in place of the 3D world, made five times smaller
// and compared with tests/golden/pages/<name>.png: a lost panel, text,
// picture or a moved column shows there, while changes of the landscape,
// sky or racers behind the pages do not. The race frame is the one picture
// compared over the real race (its terrain, racers and display together).
// After an intended change, run this test with TRALLOWMERE_UPDATE_GOLDEN=1
// and look at the pictures before committing them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Game.h"
#include "core/CareerData.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/InputState.h"
#include "core/RaceState.h"
#include "core/Records.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "interface/Splash.h"
#include "platform/os/Clock.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TempFolder.h"

namespace
{

const int kShrink = 5;   // goldens of 160 x 120

class GamePicturesDemoDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A working folder of its own, the demo data linked in: the profile
        // pages write their profiles there.
        m_Scratch = testsupport::MakeTempFolder("trallowmere-pages-");
        ASSERT_FALSE(m_Scratch.empty());
        ASSERT_EQ(symlink((testsupport::DemoDataDir() + "/Data").c_str(), (m_Scratch + "/Data").c_str()), 0);
        ASSERT_EQ(mkdir((m_Scratch + "/Save").c_str(), 0700), 0);
        m_Messages.reset(new testdata::MessageCapture());
        // The settings of a first start (no ini file): every effect on, the
        // pictures read as a player's game reads them.
        ReadGameIni("no-such-settings.ini");
        m_Folder.reset(new testdata::DataFolder(m_Scratch, true));
        m_SavedRecords = g_Records;
        m_Pictures = testsupport::BuildDir() + "/pictures/pages";
        std::filesystem::create_directories(m_Pictures);
    }

    void TearDown() override
    {
        g_MainMenu.active = 0;
        g_MainMenu.state = MENU_NONE;
        g_TextInput = 0;
        std::memset(g_QuickRaceOptions, 0, sizeof(g_QuickRaceOptions));
        std::memset(g_KeyFlags, 0, sizeof(g_KeyFlags));
        if (m_Raced)
            TearDownHeadlessRace();
        m_Device.Close();
        ClockUseSystem();
        g_Records = m_SavedRecords;
        m_Folder.reset();
        m_Messages.reset();
        testsupport::RemoveFolder(m_Scratch);
    }

    bool StartGame(bool menu, float gridSeconds)
    {
        // The system clock held still: the area load seeds the racers' paint
        // from it, and every run is to draw the same pictures.
        ClockSetManual(1000);
        if (!m_Device.Open(true))
            return false;
        RaceRunOptions options;
        options.drawn = true;
        options.gridSeconds = gridSeconds;
        // With the menu open the race behind it starts without the race
        // start's camera move and fade.
        g_MainMenu.active = menu ? 1 : 0;
        std::string error;
        EXPECT_TRUE(SetUpHeadlessRace(options, &error)) << error;
        m_Raced = true;
        return error.empty();
    }

    // The fixed backdrop in place of the 3D world: a dusk sky over a dark
    // ground, the same in every run.
    static void Backdrop()
    {
        DrawRectGradient(0, 0, 800, 600, 0xFF36506E, 0xFF5A4630, 0xFF7A6A60, 0xFF3A3020);
        DrawRectGradient(0, 330, 800, 600, 0x00403020, 0xFF403020, 0x00403020, 0xFF403020);
    }

    // One frame through the game's own drawing steps; with `backdrop` the
    // world's step draws the fixed backdrop instead. `only` draws in place
    // of the steps (the splash passes, which come before the game's frames).
    std::vector<uint8_t> Frame(bool backdrop, const std::function<void()>& only = nullptr)
    {
        IDirect3DDevice9* device = g_Render.device;
        // The blinks and pulses of the pages at one phase.
        g_Clock.m_GameClock = 90100.0f;
        g_Clock.m_RealClock = 90300.0f;
        g_Clock.m_GameStep = 0.0f;
        g_Clock.m_RealStep = m_RealStep;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        std::vector<uint8_t> pixels;
        if (FAILED(device->BeginScene()))
            return pixels;
        if (only)
            only();
        else
            for (const GameStep& s : g_Game.drawSteps)
            {
                if (backdrop && std::strcmp(s.name, "CGame::Render") == 0)
                    Backdrop();
                else
                    s.run();
            }
        device->EndScene();
        IDirect3DSurface9* target = nullptr;
        UINT w = 0, h = 0;
        if (SUCCEEDED(device->GetRenderTarget(0, &target)) && target)
        {
            D3DReadSurfacePixels(target, pixels, w, h);
            target->Release();
        }
        EXPECT_EQ(w, 800u);
        EXPECT_EQ(h, 600u);
        return pixels;
    }

    void Save(const std::string& name, const std::vector<uint8_t>& pixels)
    {
        const std::string path = m_Pictures + "/" + name + ".png";
        EXPECT_TRUE(golden::WritePng(path, pixels, 800, 600)) << path;
    }

    // The golden comparison of a picture, made small.
    static std::string Compare(const std::string& name, const std::vector<uint8_t>& pixels, int tolerance = 6)
    {
        int w = 0, h = 0;
        const std::vector<uint8_t> small = golden::Downscale(pixels, 800, 600, kShrink, &w, &h);
        return golden::Mismatch("pages/" + name, small, w, h, tolerance);
    }

    // The page as the player sees it, then over the backdrop against its
    // golden picture.
    void Page(const std::string& name)
    {
        Save(name, Frame(false));
        EXPECT_EQ(Compare(name, Frame(true)), "");
    }

    RaceDevice m_Device;
    float m_RealStep = 1.0f / 60.0f;   // of every frame drawn
    bool m_Raced = false;
    std::string m_Scratch;
    std::string m_Pictures;
    RecordsTable m_SavedRecords{};
    std::unique_ptr<testdata::MessageCapture> m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

TEST(GoldenDownscaleTest, EachPixelIsTheRoundedMeanOfItsBlock)
{
    // 5 x 4 pixels made two times smaller: 2 x 2, the fifth column and
    // nothing else left out.
    std::vector<uint8_t> px(5 * 4 * 4, 0);
    auto set = [&](int x, int y, uint8_t v) {
        for (int c = 0; c < 4; ++c)
            px[((size_t)y * 5 + x) * 4 + c] = v;
    };
    set(0, 0, 255);                                                   // block (0, 0): 255, 0, 0, 0 -> 64
    set(3, 1, 10);                                                    // block (1, 0): 0, 0, 0, 10 -> 3 (2.5 rounded)
    set(4, 1, 200);                                                   // the column left out
    set(0, 2, 100), set(1, 2, 100), set(0, 3, 100), set(1, 3, 101);   // block (0, 1) -> 100
    int w = 0, h = 0;
    const std::vector<uint8_t> small = golden::Downscale(px, 5, 4, 2, &w, &h);
    ASSERT_EQ(w, 2);
    ASSERT_EQ(h, 2);
    ASSERT_EQ(small.size(), 16u);
    EXPECT_EQ(small[0], 64);
    EXPECT_EQ(small[4], 3);
    EXPECT_EQ(small[8], 100);
    EXPECT_EQ(small[12], 0);
    // Too few pixels for the size given: nothing.
    px.resize(10);
    EXPECT_TRUE(golden::Downscale(px, 5, 4, 2, &w, &h).empty());
    EXPECT_EQ(w, 0);
}

TEST_F(GamePicturesDemoDataTest, EveryPageOfTheFrontEnd)
{
    if (!StartGame(true, 8.0f))
        SKIP_OR_FAIL_IN_CI() << m_Device.Error();
    // The pointer where it covers nothing of any page.
    g_MouseX = 770;
    g_MouseY = 575;
    g_Views.mainCamera.fadeState = -1;   // no race-start fade over the pages

    // The splash sequence before the game: the picture and the logo.
    const TextureId splash = g_Render.LoadTexture("Data/splash.jpg", 1, 1, 0);
    const TextureId logo = g_Render.LoadTexture("Data/Interface/Menu_Main/Logo_Brenhold.dds", 1, 1, 0);
    ASSERT_NE(splash, -1);
    ASSERT_NE(logo, -1);
    for (const auto& pass :
         {std::make_pair("splash_picture", SPLASH_DRAW_PICTURE), std::make_pair("splash_logo", SPLASH_DRAW_LOGO)})
    {
        const std::vector<uint8_t> px = Frame(false, [&] { DrawSplashPass(pass.second, 254, splash, logo); });
        Save(pass.first, px);
        EXPECT_EQ(Compare(pass.first, px), "");
    }
    g_Render.ReleaseTexture(splash);
    g_Render.ReleaseTexture(logo);

    // No profile yet: the menu opens on the name page, its pictures faded in.
    g_MainMenu.Show(MENU_PROFILES);
    ASSERT_EQ(g_MainMenu.state, MENU_NEW_PROFILE);
    g_MainMenu.secondsSinceShow = 5.0f;
    Page("new_profile");
    for (const char* name : {"Player", "Marta", "Oskar"})
    {
        std::snprintf(g_PlayerName, sizeof(g_PlayerName), "%s", name);
        ASSERT_EQ(g_MainMenu.CreateNewProfile(), 1);
    }
    g_TextInput = 0;
    g_MainMenu.SetState(MENU_PROFILES);
    ASSERT_EQ(g_MainMenu.state, MENU_PROFILES);
    ASSERT_EQ(g_MainMenu.profileCount, 3);
    g_CurrentProfile = 1;
    Page("profiles");

    // A career well under way: cups in summer, upgrades, a point to spend.
    g_Career = CareerData{};
    g_Career.unlocked[0] = g_Career.unlocked[1] = g_Career.unlocked[3] = 1;
    g_Career.place[0] = 1;
    g_Career.place[1] = 2;
    g_Career.place[2] = 3;
    g_Career.place[3] = 4;
    g_Career.raceIndex = 4;
    g_Career.totalScore = 5230.0f;
    g_Career.upgradeLevel[0] = 4;
    g_Career.upgradeLevel[1] = 2;
    g_Career.upgradeLevel[2] = 6;
    g_Career.upgradePoints = 1;
    g_Career.motorcycle = 1;

    // The records: the made-up rivals' scores with the player fourth, one
    // name as long as the table keeps, a few best times.
    FillDefaultScores();
    for (int row = 0; row < RACE_ROWS; ++row)
    {
        g_Records.best[row] = 0.0f;
        g_Records.holder[row][0] = 0;
    }
    std::snprintf(g_Records.name[3], RECORD_NAME_SIZE, "%s", "Player");
    g_Records.playerEntry = 3;
    std::snprintf(g_Records.name[6], RECORD_NAME_SIZE, "%s", "Wilhelmina Worthingt");
    g_Records.best[0] = 83.456f;
    std::snprintf(g_Records.holder[0], RECORD_NAME_SIZE, "%s", "Player");
    g_Records.best[4] = 127.31f;
    std::snprintf(g_Records.holder[4], RECORD_NAME_SIZE, "%s", "Wilhelmina Worthingt");
    g_Records.best[13] = 301.09f;
    std::snprintf(g_Records.holder[13], RECORD_NAME_SIZE, "%s", "Fast Fred");

    struct Entry
    {
        int state;
        const char* name;
    };
    const Entry pages[] = {
        {MENU_MAIN, "main"},
        {MENU_QUICK_RACE, "quick_race"},
        {MENU_CAREER, "career"},
        {MENU_NEW_CAREER, "new_career"},
        {MENU_MOTORCYCLE, "motorcycle"},
        {MENU_UPGRADE, "upgrade"},
        {MENU_RECORDS, "records"},
        {MENU_OPTIONS, "options"},
        {MENU_AUDIO, "audio"},
        {MENU_CONTROLS, "controls"},
        {MENU_CREDITS, "credits"},
    };
    for (const Entry& p : pages)
    {
        g_MainMenu.SetState(p.state);
        ASSERT_EQ(g_MainMenu.state, p.state) << p.name;
        Page(p.name);
    }

    // A graphics change that waits for the next start: the note shows.
    g_MainMenu.SetState(MENU_GRAPHICS);
    g_MainMenu.pendingGlow = g_GlowOn ? 0 : 1;
    g_MainMenu.UpdateOptionTexts();
    Page("graphics");
    g_MainMenu.pendingGlow = g_GlowOn;

    // A combination the career has not opened: no START!, the red notice.
    g_MainMenu.SetState(MENU_QUICK_RACE);
    g_QuickRaceOptions[0] = 2;
    g_QuickRaceOptions[1] = 2;
    g_MainMenu.SetState(MENU_QUICK_RACE);
    EXPECT_EQ(g_MainMenu.quickStartButton.enabled, 0);
    Page("quick_race_locked");

    // The loading screen of a race start, once the screen has gone dark.
    g_MainMenu.SetState(MENU_LOADING);
    g_MainMenu.secondsSinceShow = 1.5f;
    Page("loading");
    g_MainMenu.Show(MENU_NONE);

    EXPECT_TRUE(testdata::Messages().empty()) << testdata::Messages()[0];
}

TEST_F(GamePicturesDemoDataTest, TheInRaceDisplay)
{
    if (!StartGame(false, 1.0f))
        SKIP_OR_FAIL_IN_CI() << m_Device.Error();
    LetHeadlessRaceGo();
    for (int i = 0; i < 60 * 12; ++i)
        StepHeadlessFrame();
    CVehicleObject* player = g_PlayerVehicle;
    ASSERT_NE(player, nullptr);

    // The chase view close behind the player, shown as the player's keys
    // drive it.
    D3DXVECTOR3 ahead(player->world._31, 0.0f, player->world._33);
    D3DXVec3Normalize(&ahead, &ahead);
    const D3DXVECTOR3 at(player->Position[0], player->Position[1] + 1.0f, player->Position[2]);
    CCamera& camera = g_Views.mainCamera;
    camera.eye = at - ahead * 5.0f + D3DXVECTOR3(0, 1.6f, 0);
    camera.at = at + ahead * 4.0f;
    camera.up = D3DXVECTOR3(0, 1, 0);
    camera.viewMode = VIEWMODE_CHASE_NEAR;
    camera.UpdateView();
    g_Views.activeCamera = &camera;
    camera.fadeState = -1;
    player->ControlMode = CONTROL_KEYBOARD;
    for (int i = 0; i < g_Vehicles.racerCount; ++i)
        g_Vehicles.racers[i]->UpdateFade();
    g_Game.UpdateVisibility();
    g_Render.blurAmount = 0.0f;

    // The race with every readout and the minimap, the panels faded in.
    // (The frames of a fade are drawn over the backdrop: quicker, and the
    // display's state does not depend on what lies behind it.)
    m_RealStep = 0.1f;
    for (int i = 0; i < 10; ++i)
        Frame(true);
    m_RealStep = 1.0f / 60.0f;
    const std::vector<uint8_t> race = Frame(false);
    Save("race", race);
    EXPECT_GT(g_GameHUD.raceInfoAlpha, 0.99f);
    EXPECT_GT(g_GameHUD.speedometerAlpha, 0.99f);
    EXPECT_GT(g_GameHUD.minimapAlpha, 0.99f);
    // Compared over the real race: every racer is held where it stands, the
    // frame is the same in every run. The wider tolerance lets small changes
    // of the world's shading pass while a lost panel or line of text still
    // shows; a change to what the world shows needs the golden picture made
    // again.
    EXPECT_EQ(Compare("race", race, 24), "");

    // The penalty message of a player off the course, its bar a little over
    // half full.
    player->OffRouteTimer = 0.6f;
    ASSERT_EQ(g_GameHUD.ShowMessage(HUDMSG_PENALTY, 30.0f, nullptr, 0.0f), 1);
    m_RealStep = 0.1f;
    for (int i = 0; i < 6; ++i)
        Frame(true);
    m_RealStep = 1.0f / 60.0f;
    Save("penalty", Frame(false));
    EXPECT_EQ(Compare("penalty", Frame(true)), "");
    EXPECT_EQ(g_GameHUD.messageId, HUDMSG_PENALTY);
    g_GameHUD.ShowMessage(HUDMSG_NONE, 0.0f, nullptr, 0.0f);
    player->OffRouteTimer = 0.0f;
    m_RealStep = 0.1f;
    for (int i = 0; i < 6; ++i)
        Frame(true);   // faded out again
    m_RealStep = 1.0f / 60.0f;

    // The overlays, each after its fade has run.
    struct Overlay
    {
        const char* name;
        std::function<void()> open, close;
    };
    const Overlay overlays[] = {
        {"pause",
         [] {
             g_GameHUD.SetMenuMode(HUDMENU_PAUSE);
             g_GameHUD.pauseItem = 1;
         },
         [] { g_GameHUD.SetMenuMode(HUDMENU_CLOSED); }},
        {"help", [] { g_GameHUD.SetMenuMode(HUDMENU_HELP); }, [] { g_GameHUD.SetMenuMode(HUDMENU_CLOSED); }},
        {"hint",
         [] {
             g_GameHUD.lastHintTime = -100000;   // the penalty above was no hint
             ASSERT_EQ(g_GameHUD.ShowMessage(HUDMSG_JUMP_HINT, 8.0f, nullptr, 0.0f), 1);
         },
         [] { g_GameHUD.ShowMessage(HUDMSG_NONE, 0.0f, nullptr, 0.0f); }},
    };
    for (const Overlay& o : overlays)
    {
        o.open();
        m_RealStep = 0.1f;
        for (int i = 0; i < 6; ++i)
            Frame(true);
        m_RealStep = 1.0f / 60.0f;
        Save(o.name, Frame(false));
        EXPECT_EQ(Compare(o.name, Frame(true)), "") << o.name;
        o.close();
        m_RealStep = 0.1f;
        for (int i = 0; i < 6; ++i)
            Frame(true);   // faded out again
        m_RealStep = 1.0f / 60.0f;
    }

    // The result of a second place with an upgrade reached, all rows in.
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
    g_CareerMode = 1;
    g_Career = CareerData{};
    g_Career.raceIndex = 4;
    // No best times yet: the winner's becomes the first.
    for (int row = 0; row < RACE_ROWS; ++row)
    {
        g_Records.best[row] = 0.0f;
        g_Records.holder[row][0] = 0;
    }
    g_Career.totalScore = 400.0f;
    for (int& level : g_Career.upgradeLevel)
        level = 2;
    // Past the line the autopilot rides the motorcycle: the readouts fade.
    player->ControlMode = CONTROL_COMPUTER;
    g_GameHUD.ShowRaceResult(1);
    m_RealStep = 0.5f;
    for (int i = 0; i < 40; ++i)
        Frame(true);
    Save("result", Frame(false));
    EXPECT_EQ(Compare("result", Frame(true)), "");
    g_GameHUD.ShowRaceResult(0);
    m_RealStep = 1.0f / 60.0f;

    // The career complete 13 s in, every cup shown; then, 16 s in, the
    // records table.
    for (int i = 0; i < 18; ++i)
        g_Career.place[i] = 1 + (i * 7) % 3;
    g_GameHUD.careerComplete = 1;
    g_GameHUD.careerCompleteTime = 13.0f;
    Save("career_complete", Frame(false));
    EXPECT_EQ(Compare("career_complete", Frame(true)), "");
    g_GameHUD.careerCompleteTime = 16.0f;   // then the records table
    Save("career_complete_records", Frame(false));
    EXPECT_EQ(Compare("career_complete_records", Frame(true)), "");
    g_GameHUD.careerComplete = 0;
    EXPECT_TRUE(testdata::Messages().empty()) << testdata::Messages()[0];
}

}   // namespace
