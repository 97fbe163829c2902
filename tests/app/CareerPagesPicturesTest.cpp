// Pictures of the race-choice, career, new-career, motorcycle and upgrade
// pages over a race of the demo data, drawn headless the way a frame of the
// game draws them, written under the build folder to be looked at. The test
// also checks what the pictures must show: the track picture on the race
// pages and the live motorcycle in its rectangle, painted in a new random
// scheme on each visit of the career page by a career without one.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Game.h"
#include "core/CareerData.h"
#include "core/GameClock.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "interface/MenuBackground.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Rand.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "render/D3DRender.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"

namespace
{

class CareerPagesDemoDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Messages.reset(new testdata::MessageCapture());
        m_Folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
    }
    void TearDown() override
    {
        g_MainMenu.active = 0;
        g_MainMenu.state = MENU_NONE;
        std::memset(g_QuickRaceOptions, 0, sizeof(g_QuickRaceOptions));
        TearDownHeadlessRace();
        m_Device.Close();
        m_Folder.reset();
        m_Messages.reset();
    }

    // One frame of the game with the menu on the given page; the pixels of
    // the back buffer.
    std::vector<uint8_t> Draw(int page, UINT* w, UINT* h)
    {
        g_MainMenu.active = 1;
        g_MainMenu.secondsSinceShow = 3.0f;
        g_MainMenu.SetState(page);
        // The pages themselves, without the race start's screen fade.
        g_Views.mainCamera.fadeState = -1;
        IDirect3DDevice9* device = g_Render.device;
        std::vector<uint8_t> pixels;
        // A few frames so the showroom camera and the blink move on.
        for (int frame = 0; frame < 3; ++frame)
        {
            device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF8FB4E0, 1.0f, 0);
            if (FAILED(device->BeginScene()))
                return pixels;
            for (const GameStep& s : g_Game.drawSteps)
                s.run();
            device->EndScene();
            StepHeadlessFrame();
        }
        IDirect3DSurface9* target = nullptr;
        if (SUCCEEDED(device->GetRenderTarget(0, &target)) && target)
        {
            D3DReadSurfacePixels(target, pixels, *w, *h);
            target->Release();
        }
        return pixels;
    }

    // The menu alone on the page just entered, drawn without moving the game
    // on or drawing the race behind it; the pixels of the back buffer.
    std::vector<uint8_t> DrawMenuAlone(UINT* w, UINT* h)
    {
        IDirect3DDevice9* device = g_Render.device;
        std::vector<uint8_t> pixels;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF203040, 1.0f, 0);
        if (FAILED(device->BeginScene()))
            return pixels;
        g_MainMenu.Render();
        device->EndScene();
        IDirect3DSurface9* target = nullptr;
        if (SUCCEEDED(device->GetRenderTarget(0, &target)) && target)
        {
            D3DReadSurfacePixels(target, pixels, *w, *h);
            target->Release();
        }
        return pixels;
    }

    RaceDevice m_Device;
    std::unique_ptr<testdata::MessageCapture> m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

// Mean colour spread inside a rectangle of an 800 x 600 picture: a flat
// untextured fill has none, a picture or a model has plenty.
double Detail(const std::vector<uint8_t>& px, UINT w, int x1, int y1, int x2, int y2)
{
    double sum = 0;
    int n = 0;
    for (int y = y1; y < y2; ++y)
        for (int x = x1 + 1; x < x2; ++x)
        {
            const uint8_t* a = &px[((size_t)y * w + x) * 4];
            const uint8_t* b = a - 4;
            sum += std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
            ++n;
        }
    return n ? sum / n : 0;
}

TEST_F(CareerPagesDemoDataTest, PicturesOfTheRaceChoiceCareerMotorcycleAndUpgradePages)
{
    // The settings as a fresh start has them (no ini file), which also lays
    // out the discs' fans.
    ReadGameIni("no-such-settings.ini");
    ASSERT_TRUE(m_Device.Open(true)) << m_Device.Error();
    RaceRunOptions options;
    options.drawn = true;
    std::string error;
    // The demonstration race behind the menu starts without the race start's
    // camera move and fade.
    g_MainMenu.active = 1;
    ASSERT_TRUE(SetUpHeadlessRace(options, &error)) << error;

    // A career well under way: cups in summer, some upgrades, a point to spend.
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
    g_Career.decalId = 0;

    const std::string folder = testsupport::BuildDir() + "/pictures/career";
    std::filesystem::create_directories(folder);
    struct Page
    {
        int state;
        const char* name;
    };
    const Page pages[] = {{MENU_QUICK_RACE, "quick_race"},
                          {MENU_CAREER, "career"},
                          {MENU_NEW_CAREER, "new_career"},
                          {MENU_MOTORCYCLE, "motorcycle"},
                          {MENU_UPGRADE, "upgrade"}};
    for (const Page& page : pages)
    {
        UINT w = 0, h = 0;
        const std::vector<uint8_t> px = Draw(page.state, &w, &h);
        ASSERT_EQ(w, 800u) << page.name;
        ASSERT_EQ(h, 600u) << page.name;
        EXPECT_TRUE(golden::WritePng(folder + "/" + page.name + ".png", px, (int)w, (int)h)) << page.name;
        if (page.state == MENU_QUICK_RACE)
        {
            EXPECT_GT(Detail(px, w, 260, 400, 420, 490), 4.0) << "the track picture";
        }
        else if (page.state == MENU_CAREER)
        {
            EXPECT_GT(Detail(px, w, 60, 260, 240, 400), 4.0) << "the motorcycle";
        }
        else if (page.state == MENU_MOTORCYCLE)
        {
            EXPECT_GT(Detail(px, w, 500, 260, 700, 400), 4.0) << "the motorcycle";
        }
    }

    // A combination the career has not opened: no START!, the red notice.
    g_QuickRaceOptions[0] = 2;
    g_QuickRaceOptions[1] = 2;
    UINT w = 0, h = 0;
    const std::vector<uint8_t> px = Draw(MENU_QUICK_RACE, &w, &h);
    EXPECT_EQ(g_MainMenu.quickStartButton.enabled, 0);
    EXPECT_TRUE(golden::WritePng(folder + "/quick_race_locked.png", px, (int)w, (int)h));
    EXPECT_TRUE(testdata::Messages().empty()) << testdata::Messages()[0];
}

// A career whose scheme was never chosen (a new profile's decal -1) shows the
// motorcycle in a scheme drawn from the game's generator on each visit of the
// career page: two visits entered with the generator in the same state draw
// the same picture, a visit entered with it in another state another one.
TEST_F(CareerPagesDemoDataTest, TheCareerPageShowsANewSchemeOnEveryVisit)
{
    ReadGameIni("no-such-settings.ini");
    ASSERT_TRUE(m_Device.Open(true)) << m_Device.Error();
    RaceRunOptions options;
    options.drawn = true;
    std::string error;
    g_MainMenu.active = 1;
    ASSERT_TRUE(SetUpHeadlessRace(options, &error)) << error;
    g_MainMenu.secondsSinceShow = 3.0f;
    std::memset(&g_Career, 0, sizeof(g_Career));
    g_Career.unlocked[0] = 1;
    g_Career.motorcycle = 2;
    g_Career.decalId = -1;
    // The clock, the showroom camera's orbit and the drifting background as
    // they were, for each visit.
    const CGameClock clock = g_Clock;
    const CCamera showroom = g_MainMenu.showroomCamera;
    const CMenuBackground background = g_MenuBackground;
    const unsigned seeds[3] = {31, 31, 32};
    std::vector<uint8_t> visits[3];
    UINT w = 0, h = 0;
    for (int v = 0; v < 3; ++v)
    {
        g_MainMenu.SetState(MENU_MAIN);
        g_Clock = clock;
        g_MainMenu.showroomCamera = showroom;
        g_MenuBackground = background;
        GameSrand(seeds[v]);
        g_MainMenu.SetState(MENU_CAREER);
        EXPECT_EQ(g_Career.decalId, -1) << "the career keeps asking for a random scheme";
        visits[v] = DrawMenuAlone(&w, &h);
        ASSERT_EQ(visits[v].size(), (size_t)800 * 600 * 4);
    }
    const std::string folder = testsupport::BuildDir() + "/pictures/career";
    std::filesystem::create_directories(folder);
    for (int v = 0; v < 3; ++v)
        EXPECT_TRUE(
            golden::WritePng(folder + "/career_visit_" + std::to_string(v + 1) + ".png", visits[v], (int)w, (int)h));
    // The motorcycle's rectangle, where the showroom model is drawn.
    EXPECT_GT(Detail(visits[0], w, 60, 260, 240, 400), 4.0) << "the motorcycle";
    const auto differ = [&](const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
        int n = 0;
        for (int y = 200; y < 480; ++y)
            for (int x = 0; x < 300; ++x)
            {
                const uint8_t* p = &a[((size_t)y * w + x) * 4];
                const uint8_t* q = &b[((size_t)y * w + x) * 4];
                n += std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 6;
            }
        return n;
    };
    EXPECT_EQ(differ(visits[0], visits[1]), 0) << "the same draws, the same motorcycle";
    EXPECT_GT(differ(visits[0], visits[2]), 2000) << "other draws, another scheme";
}

}   // namespace
