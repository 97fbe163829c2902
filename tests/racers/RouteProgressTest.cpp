// Route progress on a straight test path, impacts and jumps of motorcycles
// made without files: passing points, leaving the course and its penalty,
// shortcuts, the distance left, paths too short to follow, the impact's
// strength, volume and repeat guard, take-off and landing, the rider's hop,
// and the message when a kick wears off.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "common/Keywords.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "racers/HumanObject.h"
#include "racers/VehicleImpact.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Views.h"
#include "world/Landscape.h"

namespace
{

const int kPoints = 30;
const float kSpacing = 8.0f;   // along +z

std::vector<int> s_Posted;
std::vector<int> s_Messages;

class RouteProgressTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedEventHooks = g_GameEventHooks;
        m_SavedMessageHooks = g_RaceMessageHooks;
        m_SavedCell = g_Landscape.cellSize;
        m_SavedSound = g_SoundOn;
        m_SavedClock = g_Clock;
        g_SoundOn = 0;
        g_Clock.Init();
        g_Clock.m_GameStep = g_Clock.m_RealStep = 1.0f / 60.0f;
        s_Posted.clear();
        s_Messages.clear();
        g_GameEventHooks = GameEventHooks();
        g_GameEventHooks.post = [](int code, CVehicleObject*, int) { s_Posted.push_back(code); };
        g_GameEventHooks.running = [] { return s_Posted.empty() ? 0 : 1; };
        g_RaceMessageHooks.show = [](int message, float, const float*, float) {
            s_Messages.push_back(message);
            return 1;
        };
        g_RaceMessageHooks.showing = [] { return 0; };
        MakePath(kPoints);
        g_Landscape.cellSize = 4.0f;
        m_Vehicle.boundRadius = 1.0f;
        m_Vehicle.objectType = GTYPE_VEHICLE;
    }
    void TearDown() override
    {
        FreeRacePath();
        g_GameEventHooks = m_SavedEventHooks;
        g_RaceMessageHooks = m_SavedMessageHooks;
        g_Landscape.cellSize = m_SavedCell;
        g_SoundOn = m_SavedSound;
        g_Clock = m_SavedClock;
        m_Vehicle.Rider = nullptr;
    }

    static void MakePath(int count)
    {
        FreeRacePath();
        if (count <= 0)
            return;
        // The race block frees its path with free().
        g_RacePath = static_cast<float(*)[3]>(std::calloc((size_t)count, sizeof(float[3])));
        g_RacePathTypes = static_cast<int*>(std::calloc((size_t)count, sizeof(int)));
        for (int i = 0; i < count; ++i)
        {
            g_RacePath[i][0] = 0.0f;
            g_RacePath[i][1] = 0.0f;
            g_RacePath[i][2] = kSpacing * (float)i;
        }
        g_RacePathCount = count;
        g_RacePathLength = (float)count * 4.0f * 2.0f;
    }

    void PlaceAt(float x, float z)
    {
        m_Vehicle.worldCentre[0] = x;
        m_Vehicle.worldCentre[1] = 0.5f;
        m_Vehicle.worldCentre[2] = z;
    }

    CVehicleObject m_Vehicle;
    GameEventHooks m_SavedEventHooks;
    RaceMessageHooks m_SavedMessageHooks;
    float m_SavedCell = 0.0f;
    int m_SavedSound = 0;
    CGameClock m_SavedClock;
};

TEST_F(RouteProgressTest, PassingAPointEvenToTheSideAdvancesOnePointPerFrame)
{
    m_Vehicle.PathPoint = 5;
    PlaceAt(3.0f, kSpacing * 6.0f);   // at the next point, 3 to the side
    m_Vehicle.UpdateRouteProgress();
    EXPECT_EQ(m_Vehicle.PathPoint, 6);
    m_Vehicle.UpdateRouteProgress();
    EXPECT_EQ(m_Vehicle.PathPoint, 7);   // point 6 is passed too
    m_Vehicle.UpdateRouteProgress();
    EXPECT_EQ(m_Vehicle.PathPoint, 7);   // point 7 is still ahead
    EXPECT_FLOAT_EQ(m_Vehicle.TargetPoint[2], kSpacing * 7.0f);
}

TEST_F(RouteProgressTest, OffTheCourseThePenaltyShowsFromOneSecondAndTheRespawnComesAfterFour)
{
    m_Vehicle.PathPoint = 5;
    PlaceAt(30.0f, kSpacing * 5.0f);
    for (int frame = 1; frame <= 245; ++frame)
    {
        m_Vehicle.UpdateRouteProgress();
        if (frame == 55)
        {
            EXPECT_TRUE(s_Messages.empty());
            EXPECT_EQ(m_Vehicle.RaceStats.OffRouteTime, 0.0f);
        }
        if (frame == 65)
        {
            ASSERT_FALSE(s_Messages.empty());
            EXPECT_EQ(s_Messages[0], RACE_MESSAGE_PENALTY);
            EXPECT_NEAR(m_Vehicle.RaceStats.OffRouteTime, 5.0f / 60.0f, 1.5f / 60.0f);
        }
        if (frame == 235)
        {
            EXPECT_TRUE(s_Posted.empty());
        }
    }
    ASSERT_EQ(s_Posted.size(), 1u);   // once: the respawn event then runs
    EXPECT_EQ(s_Posted[0], GEVENT_RESPAWN);
    EXPECT_EQ(m_Vehicle.PathPoint, 5);

    // Back on the path the timer is cleared.
    PlaceAt(0.0f, kSpacing * 5.0f - 3.0f);
    m_Vehicle.UpdateRouteProgress();
    EXPECT_EQ(m_Vehicle.OffRouteTimer, 0.0f);
}

TEST_F(RouteProgressTest, ARejoinTenPointsAheadIsAShortcutThatDoesNotCount)
{
    struct Case
    {
        int ahead;
        int pathPoint;
        bool offCourse;
    };
    const Case cases[] = {{9, 14, false}, {10, 5, true}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.ahead);
        m_Vehicle.PathPoint = 5;
        m_Vehicle.OffRouteTimer = 0.5f;
        PlaceAt(5.0f, kSpacing * (float)(5 + c.ahead));   // 5 beside that point
        m_Vehicle.UpdateRouteProgress();
        EXPECT_EQ(m_Vehicle.PathPoint, c.pathPoint);
        EXPECT_EQ(m_Vehicle.OffRouteTimer > 0.5f, c.offCourse);
    }
}

TEST_F(RouteProgressTest, TheDistanceLeftIsZeroAtTheLastPointAndNeverAboveThePathLength)
{
    struct Case
    {
        int pathPoint;
        float x, z, expected;
    };
    const Case cases[] = {
        {kPoints - 1, 0.0f, 0.0f, 0.0f},
        {kPoints - 2, 0.0f, kSpacing * (kPoints - 2), 2.0f * 8.0f},
        {20, 0.0f, kSpacing * 20 - 3.0f, 10.0f * 8.0f + 3.0f},
        {0, 5000.0f, 0.0f, kPoints * 8.0f},   // held to the path's length
        {-4, 0.0f, 0.0f, 0.0f},               // a point before the path counts nothing
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pathPoint);
        m_Vehicle.PathPoint = c.pathPoint;
        PlaceAt(c.x, c.z);
        m_Vehicle.worldCentre[1] = 0.0f;   // on the path's height
        m_Vehicle.UpdateDistanceLeft();
        EXPECT_NEAR(m_Vehicle.RaceStats.DistanceLeft, c.expected, 1e-3f);
    }
}

TEST_F(RouteProgressTest, PathsTooShortToFollowFindNoPointAndMoveNothing)
{
    for (int count : {0, 1})
    {
        SCOPED_TRACE(count);
        MakePath(count);
        m_Vehicle.PathPoint = 0;
        PlaceAt(50.0f, 50.0f);
        EXPECT_EQ(m_Vehicle.FindNearestPathPoint(m_Vehicle.worldCentre), -1);
        m_Vehicle.UpdateRouteProgress();
        m_Vehicle.UpdateDistanceLeft();
        EXPECT_EQ(m_Vehicle.PathPoint, 0);
        EXPECT_EQ(m_Vehicle.RaceStats.DistanceLeft, 0.0f);
        EXPECT_TRUE(s_Posted.empty());
    }
    // A point index past the end is held to the last point.
    MakePath(kPoints);
    m_Vehicle.PathPoint = kPoints + 7;
    m_Vehicle.UpdateRouteProgress();
    EXPECT_EQ(m_Vehicle.PathPoint, kPoints - 1);
}

TEST(ImpactStrength, TheTableOfHardAndSoftImpacts)
{
    struct Case
    {
        const char* name;
        float speedA, speedB;   // along x
        bool partner;
        float partnerMass;
        float k, volume;
    };
    const float normal[3] = {-1.0f, 0.0f, 0.0f};   // pointing back at the motorcycle
    const Case cases[] = {
        {"two motorcycles at 10", 10.0f, 0.0f, true, 100.0f, 0.25f, 85.0f},
        {"two motorcycles at 20", 20.0f, 0.0f, true, 100.0f, 0.5f, 100.0f},
        {"head-on into a wall at 30", 30.0f, 0.0f, false, 0.0f, 1.0f, 100.0f},
        {"a fixed partner counts as a wall", 30.0f, 0.0f, true, 0.0f, 1.0f, 100.0f},
        {"standing still", 0.0f, 0.0f, false, 0.0f, 0.0f, 60.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ImpactBody a;
        a.maxSpeed = 100.0f;
        a.mass = 100.0f;
        a.velocity[0] = c.speedA;
        a.vehicle = 1;
        ImpactBody b;
        b.maxSpeed = 100.0f;
        b.mass = c.partnerMass;
        b.velocity[0] = c.speedB;
        b.vehicle = 1;
        const float k = std::min(1.0f, ImpactStrength(a, c.partner ? &b : nullptr, normal));
        EXPECT_NEAR(k, c.k, 1e-5f);
        EXPECT_NEAR(ImpactVolume(k), c.volume, 1e-4f);
    }
    // The wall at 30 with a top speed below 60: 30 / 12 before the cap.
    ImpactBody slow;
    slow.maxSpeed = 40.0f;
    slow.mass = 100.0f;
    slow.velocity[0] = 30.0f;
    EXPECT_NEAR(ImpactStrength(slow, nullptr, normal), 2.5f, 1e-5f);
    // Sliding along the wall is no impact.
    slow.velocity[0] = 0.0f;
    slow.velocity[2] = 30.0f;
    const float along[3] = {0.0f, 0.0f, 1.0f};
    EXPECT_NEAR(ImpactStrength(slow, nullptr, along), 0.0f, 1e-5f);
}

TEST_F(RouteProgressTest, TheSamePairTouchingAgainWithinAnEighthOfASecondIsSilent)
{
    CVehicleObject other;
    other.objectType = GTYPE_VEHICLE;
    other.mass = 100.0f;
    other.MaxSpeed = 100.0f;
    m_Vehicle.mass = 100.0f;
    m_Vehicle.MaxSpeed = 100.0f;
    m_Vehicle.linearVelocity[0] = 20.0f;
    m_Vehicle.cameraDistance = 10.0f;
    m_Vehicle.LastImpactTime = 0;
    const float point[3] = {0, 0, 0}, normal[3] = {-1, 0, 0};

    m_Vehicle.OnImpact(point, normal, &other);
    EXPECT_EQ(m_Vehicle.RaceStats.Crashes, 1);
    g_Clock.m_GameClock += 100.0f;
    m_Vehicle.OnImpact(point, normal, &other);
    EXPECT_EQ(m_Vehicle.RaceStats.Crashes, 1);
    g_Clock.m_GameClock += 150.0f;
    m_Vehicle.OnImpact(point, normal, &other);
    EXPECT_EQ(m_Vehicle.RaceStats.Crashes, 2);
    // Another partner at once is another impact.
    m_Vehicle.OnImpact(point, normal, nullptr);
    EXPECT_EQ(m_Vehicle.RaceStats.Crashes, 3);

    // Too far from the camera, too soft, or a rider: no sound, no crash.
    struct Case
    {
        const char* name;
        float distance, speed;
        int partnerType;
    };
    const Case quiet[] = {{"far", 80.0f, 20.0f, GTYPE_VEHICLE},
                          {"soft", 10.0f, 3.0f, GTYPE_VEHICLE},
                          {"a rider", 10.0f, 20.0f, GTYPE_HUMAN}};
    for (const Case& c : quiet)
    {
        SCOPED_TRACE(c.name);
        g_Clock.m_GameClock += 1000.0f;
        m_Vehicle.cameraDistance = c.distance;
        m_Vehicle.linearVelocity[0] = c.speed;
        other.objectType = c.partnerType;
        m_Vehicle.OnImpact(point, normal, &other);
        EXPECT_EQ(m_Vehicle.RaceStats.Crashes, 3);
    }
}

TEST_F(RouteProgressTest, AirborneIsSetOnTakeOffAndClearedOnLanding)
{
    CHumanObject rider;
    m_Vehicle.Rider = &rider;
    m_Vehicle.DriveState = DRIVE_AI;
    struct Case
    {
        const char* name;
        int wheels;
        float rise, forward;
        int airborne;
    };
    const Case takeOffs[] = {
        {"off the ground, rising fast", 0, 3.0f, 12.0f, 1},
        {"a wheel still down", 1, 3.0f, 12.0f, 0},
        {"too slow", 0, 3.0f, 5.0f, 0},
        {"not rising", 0, 0.2f, 20.0f, 0},
    };
    for (const Case& c : takeOffs)
    {
        SCOPED_TRACE(c.name);
        m_Vehicle.Airborne = 0;
        m_Vehicle.WheelsOnGround = c.wheels;
        m_Vehicle.linearVelocity[1] = c.rise;
        m_Vehicle.linearVelocity[2] = c.forward;
        m_Vehicle.UpdateJump();
        EXPECT_EQ(m_Vehicle.Airborne, c.airborne);
    }

    // In the air: air time counts until a wheel touches while no longer rising.
    m_Vehicle.Airborne = 1;
    m_Vehicle.WheelsOnGround = 0;
    m_Vehicle.RaceStats.AirTime = 0.0f;
    for (int i = 0; i < 30; ++i)
        m_Vehicle.UpdateJump();
    EXPECT_NEAR(m_Vehicle.RaceStats.AirTime, 0.5f, 1e-4f);
    m_Vehicle.WheelsOnGround = 1;
    m_Vehicle.linearVelocity[1] = 2.0f;   // still rising: not landed yet
    m_Vehicle.UpdateJump();
    EXPECT_EQ(m_Vehicle.Airborne, 1);
    m_Vehicle.linearVelocity[1] = -1.0f;
    m_Vehicle.UpdateJump();
    EXPECT_EQ(m_Vehicle.Airborne, 0);

    // Without its rider a motorcycle never takes off.
    m_Vehicle.Rider = nullptr;
    m_Vehicle.WheelsOnGround = 0;
    m_Vehicle.linearVelocity[1] = 3.0f;
    m_Vehicle.UpdateJump();
    EXPECT_EQ(m_Vehicle.Airborne, 0);
}

// A rider standing up near the top of the move with both wheels down hops:
// the motorcycle gets an upward impulse of 200 times the lift.
TEST_F(RouteProgressTest, TheRidersHopLiftsTheMotorcycleFromBothWheelsNearTheTopOfTheStandUp)
{
    const float mass = 250.0f;
    btSphereShape shape(0.5f);
    btRigidBody body(mass, nullptr, &shape, btVector3(1, 1, 1));
    CHumanObject rider;
    m_Vehicle.Rider = &rider;
    m_Vehicle.body = &body;
    struct Case
    {
        const char* name;
        int wheels;
        float lift;
        bool fallen;
        float rise;   // m/s the hop adds
    };
    const Case cases[] = {
        {"at the top", 2, 1.0f, false, 200.0f / mass}, {"near the top", 2, 0.95f, false, 0.95f * 200.0f / mass},
        {"not yet high enough", 2, 0.9f, false, 0.0f}, {"one wheel down", 1, 1.0f, false, 0.0f},
        {"the rider fallen", 2, 1.0f, true, 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        body.setLinearVelocity(btVector3(0, 0, 0));
        m_Vehicle.Airborne = 0;
        m_Vehicle.WheelsOnGround = c.wheels;
        rider.StandUpLift = c.lift;
        rider.RagDoll = c.fallen ? reinterpret_cast<CRagDoll*>(&rider) : nullptr;
        m_Vehicle.UpdateJump();
        const btVector3 v = body.getLinearVelocity();
        EXPECT_NEAR(v.y(), c.rise, 1e-5f);
        EXPECT_EQ(v.x(), 0.0f);
        EXPECT_EQ(v.z(), 0.0f);
    }
    rider.RagDoll = nullptr;
    m_Vehicle.body = nullptr;
}

}   // namespace

TEST_F(RouteProgressTest, TheKickedMessageShowsOnceWhenAKickOnThePlayerWearsOff)
{
    CVehicleObject* const savedPlayer = g_PlayerVehicle;
    const struct
    {
        bool player;
        int control;
        bool otherMessageShowing;
        std::vector<int> expected;
    } cases[] = {
        {true, CONTROL_KEYBOARD, false, {RACE_MESSAGE_KICKED}},
        {false, CONTROL_KEYBOARD, false, {}},   // a computer racer's kick is not the player's news
        {true, CONTROL_COMPUTER, false, {}},    // the player's motorcycle on autopilot (behind the menu)
        {true, CONTROL_KEYBOARD, true, {}},     // another message already on the screen wins
    };
    for (const auto& c : cases)
    {
        s_Messages.clear();
        g_PlayerVehicle = c.player ? &m_Vehicle : nullptr;
        m_Vehicle.ControlMode = c.control;
        g_RaceMessageHooks.showing = c.otherMessageShowing ? [] { return 1; } : [] { return 0; };
        m_Vehicle.KickedTimer = 0.05f;
        m_Vehicle.UpdateKicked(1.0f / 60.0f);   // still kicked
        EXPECT_TRUE(s_Messages.empty());
        for (int frame = 0; frame < 10; ++frame)
            m_Vehicle.UpdateKicked(1.0f / 60.0f);   // wears off, then stays off
        EXPECT_EQ(m_Vehicle.KickedTimer, 0.0f);
        EXPECT_EQ(s_Messages, c.expected)
            << "player " << c.player << ", control " << c.control << ", other message " << c.otherMessageShowing;
    }
    g_PlayerVehicle = savedPlayer;
}
