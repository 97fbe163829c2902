// The motorcycle list: the player first, the showroom models, removal with
// the race order, the update without a player, the race clock, and the
// proximity queries and kicks the computer drivers use.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <vector>

#include "VehicleTestSupport.h"
#include "core/GameClock.h"
#include "core/RaceState.h"

namespace
{

using vehicletest::VehicleWorld;

class VehicleListDemoDataTest : public VehicleWorld
{
protected:
    void SetUp() override { Open(false); }

    // A racer standing at (x, z) heading toward (tx, tz), as the queries read
    // it: its centre, target, speed and velocity.
    CVehicleObject* Put(float x, float z, float tx, float tz, int kind = RACER_AI, float speed = 0.0f, float vx = 0.0f,
                        float vz = 0.0f)
    {
        CVehicleObject* v = g_Vehicles.AddVehicle(g_VehicleModelFiles[0]);
        const float pos[3] = {x, 1.0f, z}, target[3] = {tx, 1.0f, tz}, up[3] = {0, 1, 0};
        v->SetPosition(pos, target, up, CONTROL_COMPUTER, kind);
        v->worldCentre[0] = x;
        v->worldCentre[1] = 1.0f;
        v->worldCentre[2] = z;
        v->TargetPoint[0] = tx;
        v->TargetPoint[1] = 1.0f;
        v->TargetPoint[2] = tz;
        v->Speed = speed;
        v->linearVelocity[0] = vx;
        v->linearVelocity[1] = 0.0f;
        v->linearVelocity[2] = vz;
        return v;
    }
};

TEST_F(VehicleListDemoDataTest, ASecondPlayerReplacesTheFirstAndNeverJoinsOtherRacers)
{
    const float pos[3] = {0, 0.5f, 0}, target[3] = {0, 0.5f, 5};
    CVehicleObject* first = g_Vehicles.CreatePlayer(pos, target, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(g_PlayerVehicle, first);
    EXPECT_EQ(g_Vehicles.racers[0], first);
    EXPECT_EQ(first->DriveState, DRIVE_PLAYER);
    EXPECT_EQ(first->ControlMode, CONTROL_KEYBOARD);
    EXPECT_EQ(first->RacerKind, RACER_PLAYER);

    CVehicleObject* second = g_Vehicles.CreatePlayer(pos, target, g_VehicleModelFiles[2]);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(g_Vehicles.racerCount, 1);
    EXPECT_EQ(g_Vehicles.racers[0], second);
    EXPECT_EQ(g_PlayerVehicle, second);
    EXPECT_STREQ(second->path, g_VehicleModelFiles[2]);

    // With a computer racer in the list the player would not be racer 0.
    CVehicleObject* racer = g_Vehicles.AddVehicle(g_VehicleModelFiles[1]);
    EXPECT_EQ(g_Vehicles.CreatePlayer(pos, target, nullptr), nullptr);
    EXPECT_EQ(g_Vehicles.racerCount, 2);
    EXPECT_EQ(g_Vehicles.racers[0], second);
    EXPECT_EQ(g_Vehicles.racers[1], racer);
    EXPECT_EQ(g_PlayerVehicle, second);
}

TEST_F(VehicleListDemoDataTest, ARemovedRacerLeavesTheRaceOrderAndClearEmptiesIt)
{
    CVehicleObject* a = Put(0, 0, 0, 10);
    CVehicleObject* b = Put(5, 0, 5, 10);
    CVehicleObject* c = Put(10, 0, 10, 10);
    g_RaceOrder[0] = c;
    g_RaceOrder[1] = b;
    g_RaceOrder[2] = a;
    g_RaceOrderCount = 3;
    g_Vehicles.RemoveVehicle(b);
    EXPECT_EQ(g_RaceOrderCount, 2);
    EXPECT_EQ(g_RaceOrder[0], c);
    EXPECT_EQ(g_RaceOrder[1], a);
    EXPECT_EQ(g_RaceOrder[2], nullptr);

    g_PlayerVehicle = a;
    g_Vehicles.Clear();
    EXPECT_EQ(g_Vehicles.racerCount, 0);
    EXPECT_EQ(g_PlayerVehicle, nullptr);
    EXPECT_EQ(g_RaceOrderCount, 0);
    for (CVehicleObject* entry : g_RaceOrder)
        EXPECT_EQ(entry, nullptr);
}

TEST_F(VehicleListDemoDataTest, TheUpdateLeavesThePlayerAloneAndRunsTheRaceClock)
{
    CVehicleObject* player = Put(0, 0, 0, 10, RACER_PLAYER);
    CVehicleObject* racer = Put(5, 0, 5, 10);
    g_PlayerVehicle = player;
    player->cameraDistance = racer->cameraDistance = -1000.0f;
    g_RaceRunning = 1;
    g_RaceTime = 2.0f;
    g_Vehicles.Update();
    EXPECT_EQ(player->cameraDistance, -1000.0f);   // updated earlier in the frame
    EXPECT_NE(racer->cameraDistance, -1000.0f);
    EXPECT_FLOAT_EQ(g_RaceTime, 2.0f + g_Clock.m_GameStep);

    // Without a player every racer belongs to the list's update.
    g_PlayerVehicle = nullptr;
    player->cameraDistance = -1000.0f;
    g_RaceRunning = 0;
    g_Vehicles.Update();
    EXPECT_NE(player->cameraDistance, -1000.0f);
    EXPECT_FLOAT_EQ(g_RaceTime, 2.0f + g_Clock.m_GameStep);
}

TEST_F(VehicleListDemoDataTest, FindNearestTakesTheRacerReachingDeepestIntoTheSphere)
{
    // Around (0, 5) with radius 3: the racers at z 0, 6 and 9 reach in by
    // 0 (only touching), 4 and 1.
    CVehicleObject* asker = Put(0, 0, 0, 10);
    CVehicleObject* deep = Put(0, 6, 0, 10);
    CVehicleObject* shallow = Put(0, 9, 0, 10);
    const float point[3] = {0, 1, 5};
    EXPECT_EQ(g_Vehicles.FindNearest(point, 3.0f, asker), deep);
    EXPECT_EQ(g_Vehicles.FindNearest(point, 3.0f, deep), shallow);
    g_Vehicles.RemoveVehicle(shallow);
    EXPECT_EQ(g_Vehicles.FindNearest(point, 3.0f, deep), nullptr);
    const float far[3] = {50, 1, 50};
    EXPECT_EQ(g_Vehicles.FindNearest(far, 3.0f, nullptr), nullptr);
}

TEST_F(VehicleListDemoDataTest, FindNearestInRangeVisitsEveryRacerInRangeOnce)
{
    // Surface distances from the origin: 7, 1, 30, 4, 0 (the asker), 2.
    CVehicleObject* a = Put(0, 9, 0, 20);
    CVehicleObject* b = Put(3, 0, 3, 20);
    Put(32, 0, 32, 20);
    CVehicleObject* d = Put(-6, 0, -6, 20);
    CVehicleObject* asker = Put(0, 0, 0, 20);
    CVehicleObject* f = Put(0, -4, 0, 20);
    const float origin[3] = {0, 1, 0};
    std::vector<CVehicleObject*> seen;
    for (CVehicleObject* v = g_Vehicles.FindNearestInRange(origin, 8.0f, asker, nullptr); v;
         v = g_Vehicles.FindNearestInRange(origin, 8.0f, asker, v))
    {
        seen.push_back(v);
        ASSERT_LT(seen.size(), 10u);
    }
    const std::vector<CVehicleObject*> expected = {a, b, d, f};
    EXPECT_EQ(seen, expected);
    // A racer that is not listed starts the walk from the first racer.
    CVehicleObject stranger;
    EXPECT_EQ(g_Vehicles.FindNearestInRange(origin, 8.0f, asker, &stranger), a);
}

TEST_F(VehicleListDemoDataTest, FindObstacleLooksAlongTheWayToTheTarget)
{
    struct Case
    {
        const char* name;
        float x, z, tx, tz;   // the other racer and its target
        float speed, vx, vz;
        int askerKind;
        int otherKind;
        bool keyboard;   // the other is the player riding by keyboard
        bool hit;
    };
    // The asker stands at the origin heading for (0, 20) at 50 km/h.
    const Case cases[] = {
        {"ahead", 0, 8, 0, 30, 0, 0, 0, RACER_AI, RACER_AI, false, true},
        {"behind", 0, -8, 0, 30, 0, 0, 0, RACER_AI, RACER_AI, false, false},
        {"to the side at 2.5 radii", 5, 8, 5, 30, 0, 0, 0, RACER_AI, RACER_AI, false, false},
        {"beyond the look-ahead", 0, 30, 0, 60, 0, 0, 0, RACER_AI, RACER_AI, false, false},
        // Crossing from the right: its box reaches the way only when
        // stretched by how far it travels in a second, as the player's
        // question stretches it.
        {"crossing, the player asks", 6, 8, -20, 8, 40, -11.1f, 0, RACER_PLAYER, RACER_AI, false, true},
        {"crossing, a racer asks", 6, 8, -20, 8, 40, -11.1f, 0, RACER_AI, RACER_AI, false, false},
        // The player steering by keyboard is seen as it stands (turned
        // across the way), not by where a target would lead it.
        {"the keyboard player across", 3, 8, 3, 30, 0, 0, 0, RACER_AI, RACER_PLAYER, true, true},
        {"a computer player along", 3, 8, 3, 30, 0, 0, 0, RACER_AI, RACER_PLAYER, false, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CVehicleObject* asker = Put(0, 0, 0, 20, c.askerKind, 50.0f, 0.0f, 13.9f);
        CVehicleObject* other = Put(c.x, c.z, c.tx, c.tz, c.otherKind, c.speed, c.vx, c.vz);
        if (c.keyboard)
        {
            // Turned to face the asker's way from the right.
            const float pos[3] = {c.x, 1.0f, c.z}, target[3] = {c.x - 10.0f, 1.0f, c.z}, up[3] = {0, 1, 0};
            other->SetPosition(pos, target, up, CONTROL_KEYBOARD, RACER_PLAYER);
        }
        EXPECT_EQ(g_Vehicles.FindObstacle(asker, nullptr), c.hit ? other : nullptr);
        g_Vehicles.Clear();
    }
}

TEST_F(VehicleListDemoDataTest, AComputerRacerSeesTheNearestObstacleThePlayerTheFirst)
{
    CVehicleObject* far = Put(0, 11, 0, 40);
    CVehicleObject* near = Put(0, 5, 0, 40);
    CVehicleObject* racer = Put(0, 0, 0, 20, RACER_AI, 50.0f, 0.0f, 13.9f);
    EXPECT_EQ(g_Vehicles.FindObstacle(racer, nullptr), near);
    EXPECT_EQ(g_Vehicles.FindObstacle(racer, near), nullptr);   // nothing listed after it
    racer->RacerKind = RACER_PLAYER;
    EXPECT_EQ(g_Vehicles.FindObstacle(racer, nullptr), far);
    EXPECT_EQ(g_Vehicles.FindObstacle(racer, far), near);
}

TEST_F(VehicleListDemoDataTest, KickReachIsASideBySideBoxBothWays)
{
    struct Case
    {
        float x, y, z;
        float minSide;
        bool reach;
    };
    const Case cases[] = {
        {0.8f, 0, 0, 0.3f, true},  {-1.2f, 0, 0.5f, 0.3f, true}, {0.2f, 0, 0, 0.3f, false},    {0.2f, 0, 0, 0.0f, true},
        {1.3f, 0, 0, 0.3f, false}, {0.8f, 0, 1.3f, 0.3f, false}, {0.8f, 0.6f, 0, 0.3f, false},
    };
    CVehicleObject* kicker = Put(0, 0, 0, 10);
    kicker->SetPosition(kicker->worldCentre, kicker->TargetPoint, nullptr, CONTROL_COMPUTER, RACER_AI);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.x << " " << c.y << " " << c.z << " min " << c.minSide);
        CVehicleObject other;
        other.world = kicker->world;
        other.world._41 = other.Position[0] = kicker->Position[0] + c.x;
        other.world._42 = other.Position[1] = kicker->Position[1] + c.y;
        other.world._43 = other.Position[2] = kicker->Position[2] + c.z;
        float side = 0.0f;
        EXPECT_EQ(KickReach(*kicker, other, c.minSide, &side) != 0, c.reach);
        EXPECT_NEAR(side, c.x, 1e-4f);
    }
    // Each one's origin in the other's axes: beside the kicker and heading
    // the same way a rival is in reach; turned across the way at the same
    // spot, the kicker stands behind it, not beside it.
    CVehicleObject* rival = Put(1.0f, 0.2f, 1.0f, 10.0f);
    EXPECT_TRUE(KickReach(*kicker, *rival, 0.3f, nullptr));
    const float pos[3] = {1.0f, 1.0f, 0.2f}, turned[3] = {11.0f, 1.0f, 0.2f}, up[3] = {0, 1, 0};
    rival->SetPosition(pos, turned, up, CONTROL_COMPUTER, RACER_AI);
    EXPECT_FALSE(KickReach(*kicker, *rival, 0.3f, nullptr));
    EXPECT_TRUE(KickReach(*kicker, *rival, 0.0f, nullptr));
}

TEST_F(VehicleListDemoDataTest, AKickPushesRacersOnThatSideAwayAndCountsThePlayersKicks)
{
    CVehicleObject* kicker = Put(0, 0, 0, 10, RACER_PLAYER);
    CVehicleObject* left = Put(-0.9f, 0.2f, -0.9f, 10);
    CVehicleObject* right = Put(0.9f, -0.3f, 0.9f, 10);
    CVehicleObject* far = Put(-4.0f, 0, -4.0f, 10);
    g_PlayerVehicle = kicker;
    g_RaceRunning = 1;
    const float toTheLeft[3] = {-1, 0, 0};
    kicker->Kick(toTheLeft);
    EXPECT_EQ(left->KickedTimer, 1.0f);
    EXPECT_FLOAT_EQ(left->Steer, -0.6f);
    EXPECT_EQ(right->KickedTimer, 0.0f);
    EXPECT_EQ(right->Steer, 0.0f);
    EXPECT_EQ(far->KickedTimer, 0.0f);
    EXPECT_EQ(kicker->RaceStats.Kicks, 1);

    const float toTheRight[3] = {1, 0, 0};
    right->Kick(toTheLeft);   // a computer racer's kick counts nothing
    EXPECT_EQ(right->RaceStats.Kicks, 0);
    kicker->Kick(toTheRight);
    EXPECT_FLOAT_EQ(right->Steer, 0.6f);
    EXPECT_EQ(kicker->RaceStats.Kicks, 2);

    g_RaceRunning = 0;
    kicker->Kick(toTheRight);
    EXPECT_EQ(kicker->RaceStats.Kicks, 2);
}

TEST_F(VehicleListDemoDataTest, TheKickCheckLooksEveryQuarterSecondWhileSteeringStraight)
{
    CVehicleObject* racer = Put(0, 0, 0, 10);
    Put(1.0f, 0.2f, 1.0f, 10);   // on the right, within reach
    racer->KickTimer = -0.1f;
    racer->Steer = 0.0f;
    int frames = 0, side = 0;
    while (side == 0 && frames < 100)
    {
        side = racer->AiKickCheck();
        ++frames;
    }
    EXPECT_EQ(side, 1);
    EXPECT_NEAR(frames, 21, 1);   // 0.35 s at 1/60 s
    EXPECT_EQ(racer->KickTimer, 0.0f);
    EXPECT_EQ(racer->AiKickCheck(), 0);   // the next check is 0.25 s away

    racer->KickTimer = 1.0f;
    racer->Steer = 0.35f;   // turning: no kick
    EXPECT_EQ(racer->AiKickCheck(), 0);
    EXPECT_EQ(racer->KickTimer, 1.0f);
}

// The showroom models come with the list and never race.
class ShowroomDemoDataTest : public VehicleWorld
{
protected:
    void SetUp() override { Open(false); }
};

TEST_F(ShowroomDemoDataTest, TheFourModelsStandOutsideThePhysicsWorld)
{
    const int bodies = g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects();
    ASSERT_EQ(g_Vehicles.Create(), 1);
    for (int i = 0; i < VEHICLE_MODELS; ++i)
    {
        SCOPED_TRACE(i);
        const CVehicleObject* m = g_Vehicles.showroom[i];
        ASSERT_NE(m, nullptr);
        EXPECT_STREQ(m->path, g_VehicleModelFiles[i]);
        EXPECT_EQ(m->RacerKind, RACER_SHOWROOM);
        EXPECT_EQ(m->inWorld, 0);
        EXPECT_NEAR(m->Position[2], 1000.0f, 1e-3f);
    }
    EXPECT_EQ(g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(), bodies);
    EXPECT_EQ(g_Vehicles.racerCount, 0);
    g_Vehicles.Release();
    for (CVehicleObject* m : g_Vehicles.showroom)
        EXPECT_EQ(m, nullptr);
}

}   // namespace
