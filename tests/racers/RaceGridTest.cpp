// The start grid on the first demo area, the start signal and the end of a
// race, the race order by distance left and the finish.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "VehicleTestSupport.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/RaceState.h"
#include "core/Records.h"

namespace
{

using vehicletest::VehicleWorld;

std::vector<int>& PostedCodes()
{
    static std::vector<int> codes;
    return codes;
}

int MenuUp()
{
    return 1;
}

class RaceGridDemoDataTest : public VehicleWorld
{
protected:
    void SetUp() override
    {
        Open(true);
        ASSERT_GT(g_RacePathCount, 10);
        for (int i = 0; i < SCORE_ENTRIES; ++i)
            std::snprintf(g_Records.name[i], RECORD_NAME_SIZE, "Entry%02d", i);
        g_Records.playerEntry = SCORE_ENTRIES - 1;
        PostedCodes().clear();
        g_GameEventHooks.post = [](int code, CVehicleObject*, int) { PostedCodes().push_back(code); };
    }
    void TearDown() override
    {
        g_GameEventHooks = m_SavedEventHooks;
        g_ControlHooks = m_SavedControlHooks;
        VehicleWorld::TearDown();
    }

    CVehicleObject* Player()
    {
        CVehicleObject* player = g_Vehicles.CreatePlayer(nullptr, nullptr, nullptr);
        EXPECT_NE(player, nullptr);
        return player;
    }

    static float Across(const CVehicleObject* v, int point)
    {
        // Signed distance to the right of the path at `point`, looking on
        // to point + 2.
        const float* a = g_RacePath[point];
        const float* b = g_RacePath[point + 2];
        float fx = b[0] - a[0], fz = b[2] - a[2];
        const float length = std::hypot(fx, fz);
        fx /= length;
        fz /= length;
        const float dx = v->Position[0] - a[0], dz = v->Position[2] - a[2];
        return dx * fz - dz * fx;
    }
    static float Along(const CVehicleObject* v, int point)
    {
        const float* a = g_RacePath[point];
        const float* b = g_RacePath[point + 2];
        const float fx = b[0] - a[0], fz = b[2] - a[2];
        const float length = std::hypot(fx, fz);
        return ((v->Position[0] - a[0]) * fx + (v->Position[2] - a[2]) * fz) / length;
    }

    // The hooks as the game object wired them, put back after the test.
    GameEventHooks m_SavedEventHooks = g_GameEventHooks;
    ControlHooks m_SavedControlHooks = g_ControlHooks;
};

TEST_F(RaceGridDemoDataTest, EightRacersStandInFourPairsWithThePlayerLastOnTheRight)
{
    CVehicleObject* player = Player();
    g_RaceRunning = 1;
    g_RaceTime = 12.0f;
    g_Vehicles.CreateGrid();
    EXPECT_EQ(g_RaceRunning, 0);
    EXPECT_EQ(g_RaceTime, 0.0f);
    ASSERT_EQ(g_RaceOrderCount, 8);
    ASSERT_EQ(g_Vehicles.racerCount, 8);
    EXPECT_EQ(g_Vehicles.racers[0], player);
    EXPECT_EQ(g_RaceOrder[7], player);
    const int points[8] = {3, 3, 2, 2, 1, 1, 0, 0};
    for (int i = 0; i < 8; ++i)
    {
        SCOPED_TRACE(i);
        const CVehicleObject* v = g_RaceOrder[i];
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->PathPoint, points[i] + 1);
        EXPECT_NEAR(Across(v, points[i]), (i % 2) ? 2.25f : -2.25f, 0.01f);
        EXPECT_NEAR(Along(v, points[i]), 0.0f, 0.01f);
        // Lifted so that the lowest part (the shadow caster) clears the
        // ground by 0.25.
        ASSERT_GT(v->meshRecord->partCount[MESH_SLOT_SHADOW], 0);
        const float lift = std::fabs(v->meshRecord->partBox[MESH_SLOT_SHADOW][0][1]) + 0.25f;
        EXPECT_NEAR(v->Position[1], g_RacePath[points[i]][1] + lift, 1e-3f);
        EXPECT_EQ(v->DriveState, DRIVE_HOLD);
        EXPECT_EQ(v->PreviousDriveState, DRIVE_STOP);
        EXPECT_EQ(v->ControlMode, CONTROL_COMPUTER);
        EXPECT_FLOAT_EQ(v->LaneOffset, (i % 2) ? 1.0f : -1.0f);
        EXPECT_EQ(v->RacerKind, v == player ? RACER_PLAYER : RACER_AI);
        EXPECT_EQ(v->inWorld, 1);
        if (v != player)
        {
            EXPECT_EQ(std::string(v->Name), "Entry0" + std::to_string(i));
        }
    }
    EXPECT_STREQ(player->Name, g_PlayerName);
}

TEST_F(RaceGridDemoDataTest, RivalsAreNamedAfterTheScoreTablePassingThePlayersEntry)
{
    struct Case
    {
        int playerEntry;
        int names[7];
    };
    const Case cases[] = {{0, {1, 2, 3, 4, 5, 6, 7}}, {2, {0, 1, 3, 4, 5, 6, 7}}, {15, {0, 1, 2, 3, 4, 5, 6}}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.playerEntry);
        g_Vehicles.Clear();
        Player();
        g_Records.playerEntry = c.playerEntry;
        g_Vehicles.CreateGrid();
        ASSERT_EQ(g_RaceOrderCount, 8);
        for (int i = 0; i < 7; ++i)
        {
            char expected[RECORD_NAME_SIZE];
            std::snprintf(expected, sizeof(expected), "Entry%02d", c.names[i]);
            EXPECT_STREQ(g_RaceOrder[i]->Name, expected) << "slot " << i;
        }
    }
}

TEST_F(RaceGridDemoDataTest, ARestartKeepsTheRivalsAndPutsThePlayerBackLast)
{
    CVehicleObject* player = Player();
    g_Vehicles.CreateGrid();
    g_Vehicles.StartRace();
    // The race reordered the field and filled the statistics.
    std::swap(g_RaceOrder[7], g_RaceOrder[2]);
    std::swap(g_RaceOrder[0], g_RaceOrder[5]);
    std::vector<CVehicleObject*> before(g_RaceOrder, g_RaceOrder + 8);
    std::vector<std::string> names;
    for (CVehicleObject* v : before)
    {
        names.push_back(v->Name);
        v->RaceStats.RaceTime = 30.0f;
        v->RaceStats.Kicks = 2;
        v->PathPoint = 40;
    }
    g_Vehicles.CreateGrid();
    ASSERT_EQ(g_RaceOrderCount, 8);
    EXPECT_EQ(g_Vehicles.racerCount, 8);
    EXPECT_EQ(g_RaceOrder[7], player);
    EXPECT_EQ(g_RaceOrder[2], before[7]);   // exchanged with the player
    for (int i = 0; i < 8; ++i)
    {
        if (i == 2 || i == 7)
            continue;
        EXPECT_EQ(g_RaceOrder[i], before[i]) << i;
    }
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(std::string(before[i]->Name), names[i]) << i;
    EXPECT_EQ(g_RaceOrder[0]->PathPoint, 4);
    EXPECT_EQ(player->PathPoint, 1);

    g_Vehicles.StartRace();
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(g_RaceOrder[i]->RaceStats.RaceTime, 0.0f);
        EXPECT_EQ(g_RaceOrder[i]->RaceStats.Kicks, 0);
    }
}

TEST_F(RaceGridDemoDataTest, AnOddGridPutsItsLastSlotAloneOnPointZero)
{
    g_RaceTable.racers[0] = 7;
    CVehicleObject* player = Player();
    g_Vehicles.CreateGrid();
    ASSERT_EQ(g_RaceOrderCount, 7);
    const int points[7] = {3, 3, 2, 2, 1, 1, 0};
    for (int i = 0; i < 7; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(g_RaceOrder[i]->PathPoint, points[i] + 1);
        EXPECT_NEAR(Along(g_RaceOrder[i], points[i]), 0.0f, 0.01f);
    }
    EXPECT_EQ(g_RaceOrder[6], player);
    EXPECT_NEAR(Across(player, 0), -2.25f, 0.01f);
}

TEST_F(RaceGridDemoDataTest, SlotsWithoutRoomForAnotherRacerAreNotUsed)
{
    g_RaceTable.racers[0] = 16;
    CVehicleObject* player = Player();
    // Two racers outside the race take two of the sixteen places.
    g_Vehicles.AddVehicle(g_VehicleModelFiles[0]);
    g_Vehicles.AddVehicle(g_VehicleModelFiles[1]);
    g_Vehicles.CreateGrid();
    EXPECT_EQ(g_Vehicles.racerCount, VEHICLE_MAX_RACERS);
    ASSERT_EQ(g_RaceOrderCount, 14);
    for (int i = 0; i < g_RaceOrderCount; ++i)
        EXPECT_NE(g_RaceOrder[i], nullptr) << i;
    EXPECT_EQ(g_RaceOrder[13], player);
    for (int i = g_RaceOrderCount; i < RACE_ORDER_MAX; ++i)
        EXPECT_EQ(g_RaceOrder[i], nullptr) << i;
}

TEST_F(RaceGridDemoDataTest, TheStartLetsTheRacersGoAndBehindTheMenuEveryoneRidesAlone)
{
    CVehicleObject* player = Player();
    g_Vehicles.CreateGrid();
    for (int i = 0; i < g_Vehicles.racerCount; ++i)
        g_Vehicles.racers[i]->RaceStats.TopSpeed = 50.0f;
    g_Vehicles.StartRace();
    EXPECT_EQ(g_RaceRunning, 1);
    for (int i = 0; i < g_Vehicles.racerCount; ++i)
    {
        const CVehicleObject* v = g_Vehicles.racers[i];
        EXPECT_EQ(v->DriveState, v == player ? DRIVE_PLAYER : DRIVE_AI) << i;
        EXPECT_EQ(v->ControlMode, v == player ? CONTROL_KEYBOARD : CONTROL_COMPUTER) << i;
        EXPECT_EQ(v->RearBrake, 0);
        EXPECT_EQ(v->RaceStats.TopSpeed, 0.0f);
    }

    g_ControlHooks.menuActive = MenuUp;
    g_Vehicles.CreateGrid();
    g_Vehicles.StartRace();
    EXPECT_EQ(g_RaceRunning, 0);
    for (int i = 0; i < g_Vehicles.racerCount; ++i)
    {
        EXPECT_EQ(g_Vehicles.racers[i]->DriveState, DRIVE_AUTOPILOT) << i;
        EXPECT_EQ(g_Vehicles.racers[i]->ControlMode, CONTROL_COMPUTER) << i;
    }
}

// The race order on its own: racers with only their statistics and states.
class RaceOrderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearRaceBlock();
        g_Clock.m_GameStep = 0.5f;
    }
    void TearDown() override
    {
        ClearRaceBlock();
        g_PlayerVehicle = nullptr;
        g_GameEventHooks = m_SavedEventHooks;
    }
    // Entries in order with their distances left; a negative distance marks
    // a finished racer (autopilot, distance 0) with that place.
    void Fill(const std::vector<float>& distances)
    {
        racers.assign(distances.size(), CVehicleObject());
        for (size_t i = 0; i < distances.size(); ++i)
        {
            CVehicleObject& v = racers[i];
            std::snprintf(v.Name, sizeof(v.Name), "%c", (char)('A' + i));
            v.DriveState = distances[i] < 0 ? DRIVE_AUTOPILOT : DRIVE_AI;
            v.RaceStats.DistanceLeft = distances[i] < 0 ? 0.0f : distances[i];
            v.RaceStats.Position = distances[i] < 0 ? (int)-distances[i] - 1 : 99;
            v.RaceStats.RaceTime = 10.0f;
            g_RaceOrder[i] = &v;
        }
        g_RaceOrderCount = (int)distances.size();
    }
    std::string Order() const
    {
        std::string s;
        for (int i = 0; i < g_RaceOrderCount; ++i)
            s += g_RaceOrder[i]->Name;
        return s;
    }
    std::vector<CVehicleObject> racers;
    GameEventHooks m_SavedEventHooks = g_GameEventHooks;
};

TEST_F(RaceOrderTest, RacersSortByDistanceLeftBehindTheFinishers)
{
    struct Case
    {
        const char* name;
        std::vector<float> distances;
        const char* order;
    };
    const Case cases[] = {
        {"already in order", {10, 20, 30}, "ABC"},
        {"reversed", {30, 20, 10}, "CBA"},
        {"one overtakes", {10, 30, 20, 40}, "ACBD"},
        {"the first finisher stays in front", {-1, 50, 20, 30}, "ACDB"},
        {"two finishers", {-1, -2, 80, 10}, "ABDC"},
        // The exchanges are not a stable sort: of two racers with equal
        // distances the later one may come first.
        {"equal distances", {10, 10, 5}, "CBA"},
        {"equal distances kept", {5, 10, 10}, "ABC"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Fill(c.distances);
        g_Vehicles.UpdateRaceOrder();
        EXPECT_EQ(Order(), c.order);
        for (int i = 0; i < g_RaceOrderCount; ++i)
        {
            const CVehicleObject* v = g_RaceOrder[i];
            EXPECT_EQ(v->RaceStats.Position, i) << v->Name;
            // Only racers still racing run their clock.
            EXPECT_FLOAT_EQ(v->RaceStats.RaceTime, v->DriveState == DRIVE_AUTOPILOT ? 10.0f : 10.5f) << v->Name;
        }
    }
}

TEST_F(RaceOrderTest, TheFinishGivesTheAverageSpeedAndOnlyTheOrdersRacersFinish)
{
    g_RacePathLength = 1500.0f;
    g_GameEventHooks.post = [](int code, CVehicleObject*, int) { PostedCodes().push_back(code); };
    PostedCodes().clear();
    Fill({100, 200});
    CVehicleObject& a = racers[0];
    a.PathPoint = 300;
    a.RaceStats.RaceTime = 90.0f;
    a.ControlMode = CONTROL_KEYBOARD;
    g_PlayerVehicle = &a;
    g_Vehicles.OnFinish(&a);
    EXPECT_EQ(a.PathPoint, 0);
    EXPECT_EQ(a.RaceStats.DistanceLeft, 0.0f);
    EXPECT_FLOAT_EQ(a.RaceStats.AverageSpeed, 60.0f);   // 1.5 km in 90 s
    EXPECT_EQ(a.DriveState, DRIVE_AUTOPILOT);
    EXPECT_EQ(a.ControlMode, CONTROL_COMPUTER);
    EXPECT_EQ(PostedCodes(), std::vector<int>{GEVENT_RACE_FINISH});

    // A racer finishing at once has no speed rather than a division by 0.
    CVehicleObject& b = racers[1];
    b.RaceStats.RaceTime = 0.0f;
    g_Vehicles.OnFinish(&b);
    EXPECT_EQ(b.RaceStats.AverageSpeed, 0.0f);
    EXPECT_EQ(b.DriveState, DRIVE_AUTOPILOT);
    EXPECT_EQ(PostedCodes().size(), 1u);   // not the player

    CVehicleObject outsider;
    outsider.PathPoint = 300;
    outsider.DriveState = DRIVE_AI;
    outsider.RaceStats.DistanceLeft = 7.0f;
    outsider.RaceStats.RaceTime = 90.0f;
    g_Vehicles.OnFinish(&outsider);
    g_Vehicles.OnFinish(nullptr);
    EXPECT_EQ(outsider.PathPoint, 300);
    EXPECT_EQ(outsider.DriveState, DRIVE_AI);
    EXPECT_EQ(outsider.RaceStats.DistanceLeft, 7.0f);
    EXPECT_EQ(outsider.RaceStats.AverageSpeed, 0.0f);
}

}   // namespace
