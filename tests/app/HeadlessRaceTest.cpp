// Headless races on the demo data: a short one that two runs repeat exactly,
// the full race of row 0 on every demo area (every racer finishes, nothing
// goes wrong on the way, and it repeats exactly), the hardest races' falls,
// and the pictures of the start grid and of a race under way.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <cstdint>
#include <string>
#include <vector>

#include "app/GameEvent.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/RaceState.h"
#include "interface/MainMenu.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Views.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"

namespace
{

class HeadlessRaceDemoDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Messages.reset(new testdata::MessageCapture());
        m_Folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
        // The race in front of the player, not behind a menu that a program
        // started earlier in this process left open.
        g_MainMenu.active = 0;
    }
    void TearDown() override
    {
        m_Device.Close();
        m_Folder.reset();
        m_Messages.reset();
    }

    RaceRunResult Run(const RaceRunOptions& options)
    {
        RaceRunResult result = RunRace(options);
        EXPECT_TRUE(result.ran) << result.error;
        EXPECT_TRUE(testdata::Messages().empty()) << testdata::Messages()[0];
        return result;
    }

    RaceDevice m_Device;
    std::unique_ptr<testdata::MessageCapture> m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

TEST_F(HeadlessRaceDemoDataTest, AShortRaceRepeatsExactly)
{
    ASSERT_TRUE(m_Device.Open(false)) << m_Device.Error();
    RaceRunOptions options;
    options.gridSeconds = 3.0f;
    options.timeLimit = 15.0f;
    const RaceRunResult first = Run(options);
    const RaceRunResult second = Run(options);
    EXPECT_EQ(first.frames, 18 * 60);
    EXPECT_EQ(first.nonFinite, 0);
    EXPECT_EQ(first.order.size(), 8u);
    EXPECT_EQ(first.checksum, second.checksum);
    EXPECT_LT(first.LongestStill(), 10.0f);

    options.seed = 2;   // other paint, other motorcycles on the grid
    EXPECT_NE(Run(options).checksum, first.checksum);
}

// Every racer of row 0 (eight on the grid, one lap) finishes on each demo
// area, one area per test so that they run side by side.
class HeadlessRaceAreaDemoDataTest : public HeadlessRaceDemoDataTest, public ::testing::WithParamInterface<int>
{};

TEST_P(HeadlessRaceAreaDemoDataTest, TheFullRaceOfRowZeroFinishesAndRepeats)
{
    ASSERT_TRUE(m_Device.Open(false)) << m_Device.Error();
    RaceRunOptions options;
    options.area = GetParam();
    options.timeLimit = 400.0f;
    const RaceRunResult result = Run(options);
    EXPECT_EQ(result.order.size(), 8u);
    EXPECT_TRUE(result.AllFinished());
    EXPECT_EQ(result.nonFinite, 0);
    EXPECT_LT(result.LongestStill(), 10.0f);
    float last = 0.0f;
    for (const RacerOutcome& r : result.order)
    {
        SCOPED_TRACE(r.name);
        EXPECT_FALSE(r.name.empty());
        EXPECT_GE(r.raceTime, last);   // by finish
        EXPECT_GT(r.averageSpeed, 20.0f);
        EXPECT_LT(r.averageSpeed, 200.0f);
        last = r.raceTime;
    }
    // Skid marks lie where wheels slide: most strips show, and a free one is
    // always there for a wheel that starts to slide.
    EXPECT_GT(result.skidStripsOpened, 20);
    EXPECT_GT(result.skidStripsShown, result.skidStripsRetired * 6 / 10);
    EXPECT_EQ(result.skidRequestsRefused, 0);
    // No prop is drawn that a building in view covers whole.
    EXPECT_GT(result.objectsHidden, 0);
    EXPECT_EQ(result.propsBehindBuildings, 0);
    if (::testing::Test::HasFailure())
        PrintRaceResult(stdout, result);
    EXPECT_EQ(Run(options).checksum, result.checksum);
}

// The hardest career races (fourteen riders, the most difficult rivals):
// over two laps of each area, at 60 frames a second and at the 20 the game
// runs at on a software renderer, riders seldom fall. On the light demo
// motorcycles of old, with their front tyres gripping better than the rear,
// the pack rode into itself: 0.36 to 0.52 falls per rider and lap here.
TEST_P(HeadlessRaceAreaDemoDataTest, TheHardestRacesRidersSeldomFall)
{
    ASSERT_TRUE(m_Device.Open(false)) << m_Device.Error();
    int falls = 0, riderLaps = 0;
    for (int framesPerSecond : {60, 20})
        for (unsigned seed : {1u, 2u})
        {
            RaceRunOptions options;
            options.row = 15 + GetParam();
            options.laps = 2;
            options.seed = seed;
            options.framesPerSecond = framesPerSecond;
            const RaceRunResult result = Run(options);
            EXPECT_EQ(result.order.size(), 14u);
            EXPECT_TRUE(result.AllFinished()) << framesPerSecond << " frames a second, seed " << seed;
            falls += result.Falls();
            riderLaps += (int)result.order.size() * result.laps;
        }
    ASSERT_GT(riderLaps, 0);
    EXPECT_LT((float)falls / (float)riderLaps, 0.2f) << falls << " falls in " << riderLaps << " rider-laps";
}

// Penalty messages the motorcycles ask the in-race display for, counted
// on the way to the display.
int g_Penalties = 0;
int (*g_ShowMessage)(int, float, const float*, float) = nullptr;

int CountPenalty(int message, float seconds, const float* colour, float scale)
{
    if (message == RACE_MESSAGE_PENALTY)
        ++g_Penalties;
    return g_ShowMessage ? g_ShowMessage(message, seconds, colour, scale) : 1;
}

// A player who presses nothing at the start stays where the grid put it:
// on every demo area, forward and in reverse, from the last row of the
// smallest and of the largest grid, the motorcycle neither rolls away nor
// is told it left the course, and no respawn is asked for.
TEST_P(HeadlessRaceAreaDemoDataTest, AWaitingPlayerStaysOnTheGridAndIsNeverPenalised)
{
    ASSERT_TRUE(m_Device.Open(false)) << m_Device.Error();
    struct Case
    {
        int row;   // row 0 runs forward, row 3 in reverse
        int racers;
    };
    const Case cases[] = {{0, 8}, {0, 14}, {3, 8}, {3, 14}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE("row " + std::to_string(c.row) + ", " + std::to_string(c.racers) + " racers");
        RaceRunOptions options;
        options.row = c.row;
        options.area = GetParam();
        options.racers = c.racers;
        std::string error;
        ASSERT_TRUE(SetUpHeadlessRace(options, &error)) << error;
        g_ShowMessage = g_RaceMessageHooks.show;
        g_RaceMessageHooks.show = CountPenalty;
        g_Penalties = 0;
        CVehicleObject* player = g_PlayerVehicle;
        // The grid's hold, then the start signal: the race-start event hands
        // the motorcycle to the keyboard, and no key is down, whatever an
        // earlier test left held.
        std::fill(std::begin(g_ControlFlags), std::end(g_ControlFlags), 0);
        std::fill(std::begin(g_KeyFlags), std::end(g_KeyFlags), 0);
        for (int f = 0; f < 8 * 60 + 1; ++f)
            StepHeadlessFrame();
        EXPECT_EQ(player->DriveState, DRIVE_PLAYER);
        EXPECT_EQ(player->ControlMode, CONTROL_KEYBOARD);
        EXPECT_EQ(g_RaceRunning, 1);
        const float start[3] = {player->Position[0], player->Position[1], player->Position[2]};
        float fastest = 0.0f;
        bool respawn = false;
        for (int f = 0; f < 20 * 60; ++f)
        {
            StepHeadlessFrame();
            fastest = std::max(fastest, std::fabs(player->Speed));
            respawn = respawn || g_GameEvent.code == GEVENT_RESPAWN;
        }
        EXPECT_LT(fastest, 1.0f);
        EXPECT_LT(std::hypot(player->Position[0] - start[0], player->Position[2] - start[2]), 0.25f);
        EXPECT_EQ(player->RaceStats.OffRouteTime, 0.0f);
        EXPECT_EQ(g_Penalties, 0);
        EXPECT_FALSE(respawn);
        g_RaceMessageHooks.show = g_ShowMessage;
        TearDownHeadlessRace();
    }
}

INSTANTIATE_TEST_SUITE_P(DemoAreas, HeadlessRaceAreaDemoDataTest, ::testing::Values(0, 1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Area" + std::to_string(info.param + 1);
                         });

// Dark pixels (tyres, shadows under the motorcycles) in the lower half.
int DarkPixels(const std::string& path)
{
    std::vector<uint8_t> pixels;
    int w = 0, h = 0;
    if (!golden::ReadPng(path, pixels, w, h))
        return -1;
    int dark = 0;
    for (int y = h / 3; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const uint8_t* p = &pixels[((size_t)y * w + x) * 4];
            if (p[0] + p[1] + p[2] < 90)
                ++dark;
        }
    return dark;
}

TEST_F(HeadlessRaceDemoDataTest, PicturesOfTheGridAndOfTheRaceUnderWay)
{
    if (!m_Device.Open(true))
        SKIP_OR_FAIL_IN_CI() << m_Device.Error();
    // A fade in comes back from the colour of the last fade out, and the
    // game's first race start from white, as its cameras are made.
    g_Views.mainCamera.fadeColour = D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f);
    RaceRunOptions options;
    options.gridSeconds = 2.0f;
    options.pictureSeconds = 12.0f;
    options.timeLimit = 13.0f;
    options.picturePrefix = testsupport::BuildDir() + "/race_area01";
    const RaceRunResult result = Run(options);
    ASSERT_EQ(result.pictures.size(), 4u);
    for (const std::string& path : result.pictures)
    {
        SCOPED_TRACE(path);
        std::vector<uint8_t> pixels;
        int w = 0, h = 0;
        ASSERT_TRUE(golden::ReadPng(path, pixels, w, h));
        EXPECT_EQ(w, 800);
        EXPECT_EQ(h, 600);
        if (path.find("_fade.png") != std::string::npos)
        {
            // Half-way through the start's fade in from white: every pixel
            // is at least half white.
            int darkest = 255;
            for (size_t i = 0; i < pixels.size(); i += 4)
                darkest = std::min({darkest, (int)pixels[i], (int)pixels[i + 1], (int)pixels[i + 2]});
            EXPECT_GE(darkest, 126);
            EXPECT_LT(darkest, 250);   // the scene shows through
            continue;
        }
        // The motorcycles stand out dark against the lit ground and sky.
        EXPECT_GT(DarkPixels(path), 150);
    }
    // Drawing changes nothing in the race.
    m_Device.Close();
    ASSERT_TRUE(m_Device.Open(false));
    options.picturePrefix.clear();
    EXPECT_EQ(Run(options).checksum, result.checksum);
}

}   // namespace
