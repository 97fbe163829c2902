// The readouts: the lap shown, the racers listed around the player, the gap's
// sign and colour, the speedometer's texts, the minimap's geometry and when
// the readouts fade in.
#include <algorithm>
#include <cmath>
#include <string>

#include "interface/HudFixture.h"
#include "interface/Minimap.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/Paths.h"
#include "world/Landscape.h"

namespace
{

TEST(HudLapTest, TheLapFollowsThePathPointAndSurvivesShortPathsAndNoLaps)
{
    const struct
    {
        int point, count, laps, lap;
    } cases[] = {
        {0, 300, 3, 1}, {99, 300, 3, 1}, {100, 300, 3, 2}, {199, 300, 3, 2}, {200, 300, 3, 3}, {299, 300, 3, 3},
        {5, 300, 0, 1}, {1, 2, 3, 1},    {0, 0, 1, 1},     {-4, 300, 3, 1},  {7, 21, 7, 3},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.point << " of " << c.count << ", " << c.laps << " laps");
        EXPECT_EQ(HudCurrentLap(c.point, c.count, c.laps), c.lap);
    }
}

TEST(HudRacerListTest, TheWindowStartsAtTheRacerAheadAndStopsAtTheLastRacerThere)
{
    const struct
    {
        const char* name;
        int position, order, rowRacers, first, count;
    } cases[] = {
        {"leader", 0, 8, 8, 0, 3},
        {"second", 1, 8, 8, 0, 3},
        {"middle", 4, 8, 8, 3, 3},
        {"last", 7, 8, 8, 6, 2},
        {"alone", 0, 1, 1, 0, 1},
        {"order shorter than the row", 3, 4, 8, 2, 2},
        {"row shorter than the order", 3, 16, 4, 2, 2},
        {"row of 18 racers", 15, 16, 18, 14, 2},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        int first = -1;
        EXPECT_EQ(HudRacerWindow(c.position, c.order, c.rowRacers, &first), c.count);
        EXPECT_EQ(first, c.first);
    }
}

TEST(HudGapTest, ARacerAheadShowsAPositiveRedGapAndOneBehindANegativeGreenOne)
{
    const struct
    {
        float gap;
        const char* text;
        DWORD colour;
    } cases[] = {
        {12.4f, "+12\xEC", 0xFFE00000u}, {-3.6f, "-4\xEC", 0xFF00E000u},    {0.0f, "+0\xEC", 0xFF00E000u},
        {NAN, "+0\xEC", 0xFF00E000u},    {INFINITY, "+0\xEC", 0xFF00E000u},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.gap);
        char text[32];
        EXPECT_EQ(HudGapText(c.gap, text, sizeof(text), 0xFF), c.colour);
        EXPECT_STREQ(text, c.text);
    }
}

TEST(HudSpeedometerTest, SpeedIsTruncatedKilometresAndTheGearCountsFromOne)
{
    const struct
    {
        float speed;
        int gear;
        const char* speedText;
        const char* gearText;
    } cases[] = {
        {87.9f, 0, "87", "1"}, {199.99f, 4, "199", "5"}, {-3.7f, 0, "-3", "1"},
        {NAN, 2, "0", "3"},    {1.0e30f, 1, "0", "2"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.speed);
        char speed[16], gear[16];
        HudSpeedTexts(c.speed, c.gear, speed, gear, sizeof(speed));
        EXPECT_STREQ(speed, c.speedText);
        EXPECT_STREQ(gear, c.gearText);
    }
}

TEST(HudSpeedometerTest, TheReadoutIsTheSpeedAlongTheHeading)
{
    const struct
    {
        const char* name;
        float velocity[3], forward[3];
        float kmh;
    } cases[] = {
        {"straight ahead", {0, 0, 25}, {0, 0, 1}, 90},
        {"backwards", {-2, 0, 0}, {1, 0, 0}, -7.2f},
        {"up a hill", {0, 3, 4}, {0, 0.6f, 0.8f}, 18},
        {"dropping straight down", {0, -7, 0}, {0, 0.05f, 0.9987f}, -1.26f},
        {"sliding sideways", {10, 0, 0}, {0, 0, 1}, 0},
        {"no heading", {10, 0, 0}, {0, 0, 0}, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(HudRoadSpeed(c.velocity, c.forward), c.kmh, 0.01f);
    }
}

// After a respawn the motorcycle drops onto the road from above it: its
// speed (that of its whole velocity) reads some 25 km/h, either sign, while
// the readout shows it standing.
TEST(HudSpeedometerDemoDataTest, ARespawnDropShowsNoSpeed)
{
    testdata::MessageCapture messages;
    testdata::DataFolder folder(testsupport::DemoDataDir(), true);
    RaceDevice device;
    ASSERT_TRUE(device.Open(false)) << device.Error();
    RaceRunOptions options;
    options.racers = 2;
    std::string error;
    ASSERT_TRUE(SetUpHeadlessRace(options, &error)) << error;
    LetHeadlessRaceGo();
    CVehicleObject* v = g_PlayerVehicle;
    v->PathPoint = 40;
    v->Respawn();
    float fastestDrop = 0.0f, shown = 0.0f;
    for (int f = 0; f < 40; ++f)   // until it meets the road
    {
        StepHeadlessFrame();
        fastestDrop = std::max(fastestDrop, std::fabs(v->Speed));
        shown = std::max(shown, std::fabs(HudShownSpeed(*v)));
    }
    EXPECT_GT(fastestDrop, 15.0f);
    EXPECT_LT(shown, 3.0f);
    TearDownHeadlessRace();
}

TEST(MinimapTest, WorldPointsLandOnTheMapWithZUpward)
{
    const float s = 1200.0f;
    const struct
    {
        float x, z, mx, my;
    } cases[] = {
        {0, 0, 80, 500},
        {-s / 2, s / 2, 0, 400},
        {s / 2, -s / 2, 160, 600},
        {s / 4, 0, 120, 500},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.x << ", " << c.z);
        float mx = -1, my = -1;
        ASSERT_EQ(MinimapPoint(c.x, c.z, s, &mx, &my), 1);
        EXPECT_NEAR(mx, c.mx, 1e-3f);
        EXPECT_NEAR(my, c.my, 1e-3f);
    }
    // No area loaded: nothing to place.
    float mx = -1, my = -1;
    EXPECT_EQ(MinimapPoint(0, 0, 0.0f, &mx, &my), 0);
    EXPECT_EQ(MinimapPoint(0, 0, NAN, &mx, &my), 0);
    EXPECT_EQ(MinimapPoint(NAN, 0, s, &mx, &my), 0);
    EXPECT_EQ(mx, -1.0f);
}

TEST(MinimapTest, TheArrowTurnsWithTheHeading)
{
    float c[4][3];
    // Along +z the icon stands upright: its top-left corner at (mx - 7, my - 8).
    ASSERT_EQ(MinimapArrowCorners(D3DXVECTOR3(0, 0, 1), 1.0f, 100, 500, c), 1);
    // Strip order: top-left, bottom-left, top-right, bottom-right.
    const float upright[4][2] = {{93, 492}, {93, 508}, {107, 492}, {107, 508}};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_NEAR(c[i][0], upright[i][0], 1e-4f) << i;
        EXPECT_NEAR(c[i][1], upright[i][1], 1e-4f) << i;
    }
    // Along +x, with a slope, a quarter turn: the icon's top points right.
    ASSERT_EQ(MinimapArrowCorners(D3DXVECTOR3(2, 1, 0), 0.5f, 100, 500, c), 1);
    const float turned[4][2] = {{104, 496.5f}, {96, 496.5f}, {104, 503.5f}, {96, 503.5f}};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_NEAR(c[i][0], turned[i][0], 1e-4f) << i;
        EXPECT_NEAR(c[i][1], turned[i][1], 1e-4f) << i;
    }
    EXPECT_EQ(MinimapArrowCorners(D3DXVECTOR3(0, 1, 0), 1.0f, 100, 500, c), 0);
}

using hudtest::HudFixture;

class HudMinimapTest : public HudFixture
{};

// The rivals' arrows show only while the race runs (before the start and
// behind the menu the order is the grid's or the demonstration's); the
// player's own arrow always.
TEST_F(HudMinimapTest, RivalsHaveArrowsOnlyInARace)
{
    const float savedSize = g_Landscape.size;
    g_Landscape.size = 1200.0f;
    CVehicleObject rivals[2];
    for (CVehicleObject* v : {&m_Player, &rivals[0], &rivals[1]})
        D3DXMatrixIdentity(reinterpret_cast<D3DXMATRIX*>(&v->world));
    rivals[0].Position[0] = 100.0f;
    rivals[1].Position[2] = -200.0f;
    g_RaceOrder[0] = &rivals[0];
    g_RaceOrder[1] = &m_Player;
    g_RaceOrder[2] = &rivals[1];
    g_RaceOrderCount = 3;
    int draws[2] = {0, 0};
    for (int running : {0, 1})
    {
        g_RaceRunning = running;
        g_GameHUD.minimapAlpha = 1.0f;
        D3DClearRecordedCalls();
        g_GameHUD.DrawMiniMap();
        draws[running] = (int)Calls("DrawPrimitiveUP(TRIANGLESTRIP, 2,").size();
    }
    EXPECT_GT(draws[0], 0);
    EXPECT_EQ(draws[1], draws[0] + 2) << "one arrow for each rival";
    g_RaceRunning = 0;
    g_RaceOrderCount = 0;
    for (int i = 0; i < 3; ++i)
        g_RaceOrder[i] = nullptr;
    g_Landscape.size = savedSize;
}

class HudReadoutFadeTest : public HudFixture
{};

TEST_F(HudReadoutFadeTest, ReadoutsShowOnlyForTheRidingPlayerInTheDrivingViews)
{
    CHumanObject rider;
    rider.RagDoll = nullptr;
    m_Player.Rider = &rider;
    const struct
    {
        const char* name;
        int control, viewMode;
        bool fallen, shown;
    } cases[] = {
        {"chase", CONTROL_KEYBOARD, VIEWMODE_CHASE_NEAR, false, true},
        {"on board", CONTROL_KEYBOARD, VIEWMODE_ONBOARD, false, true},
        {"far chase", CONTROL_KEYBOARD, VIEWMODE_CHASE_FAR, false, true},
        {"look-at shot", CONTROL_KEYBOARD, VIEWMODE_LOOKAT, false, false},
        {"free camera", CONTROL_KEYBOARD, VIEWMODE_FREE, false, false},
        {"computer driving", CONTROL_COMPUTER, VIEWMODE_CHASE_NEAR, false, false},
        {"rider fallen", CONTROL_KEYBOARD, VIEWMODE_CHASE_NEAR, true, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_Player.ControlMode = c.control;
        g_Views.mainCamera.viewMode = c.viewMode;
        rider.RagDoll = c.fallen ? reinterpret_cast<CRagDoll*>(&rider) : nullptr;
        EXPECT_EQ(g_GameHUD.ReadoutsShown(), c.shown ? 1 : 0);
        g_GameHUD.raceInfoAlpha = g_GameHUD.speedometerAlpha = g_GameHUD.minimapAlpha = 0.5f;
        Frame(0.1f);   // 2.5 per second
        const float expected = c.shown ? 0.75f : 0.25f;
        EXPECT_NEAR(g_GameHUD.raceInfoAlpha, expected, 1e-5f);
        EXPECT_NEAR(g_GameHUD.speedometerAlpha, expected, 1e-5f);
        EXPECT_NEAR(g_GameHUD.minimapAlpha, expected, 1e-5f);
    }
    rider.RagDoll = nullptr;
    m_Player.Rider = nullptr;
}

}   // namespace
