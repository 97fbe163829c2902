// The four demo motorcycles in a real physics world: settling on the demo
// heightfield, re-placement, top speed, braking and reverse, the full brake,
// leaning into turns, the ground-contact and grip ramps, the player on the
// start line, and the skid marks the wheels lay.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>

#include "VehicleTestSupport.h"
#include "core/Controls.h"
#include "racers/RacerLinks.h"
#include "racers/VehicleEngine.h"
#include "racers/VehicleWheels.h"
#include "render/Views.h"
#include "scene/Dusts.h"
#include "scene/WheelSkids.h"
#include "world/WorldLinks.h"

namespace
{

using vehicletest::kStep;
using vehicletest::VehicleWorld;

// Bullet's linear damping of 0.05 takes this share of the speed per second.
const float kDampingRate = -std::log(0.95f);

float GroundUnder(float x, float z)
{
    const float p[3] = {x, 0.0f, z};
    return g_Landscape.GetHeight(p);
}

class DemoDataAreaTest : public VehicleWorld
{
protected:
    void SetUp() override { Open(true); }
};

class FlatGroundDemoDataTest : public VehicleWorld
{
protected:
    void SetUp() override { Open(false); }

    // A motorcycle standing still on the plane after a second of settling.
    CVehicleObject* Settled(int model)
    {
        CVehicleObject* v = Place(model, 0.0f, 0.3f, 0.0f);
        for (int i = 0; i < 90; ++i)
            Frame(v);
        return v;
    }
    // Gives the settled motorcycle a forward speed in km/h.
    static void Launch(CVehicleObject* v, float kmh)
    {
        const D3DXVECTOR3 f = Forward(v);
        v->body->setLinearVelocity(btVector3(f.x, f.y, f.z) * (kmh / 3.6f));
        Frame(v);
    }
};

// Dropped half a metre above the ground where the race starts, every model
// lands on both wheels at once and stands upright.
TEST_F(DemoDataAreaTest, DroppedMotorcycleSettlesOnBothWheels)
{
    ASSERT_GT(g_RacePathCount, 1);
    for (int model = 0; model < 4; ++model)
    {
        SCOPED_TRACE(model);
        const float x = g_RacePath[0][0], z = g_RacePath[0][2];
        CVehicleObject* v = g_Vehicles.AddVehicle(g_VehicleModelFiles[model]);
        ASSERT_NE(v, nullptr);
        // The wheels hang 0.12 below the model origin, which stands
        // CentreOfMassHeight above the body's origin.
        const float y = GroundUnder(x, z) + 0.5f - v->CentreOfMassHeight + 0.12f;
        const float pos[3] = {x, y, z}, target[3] = {x, y, z + 10.0f}, up[3] = {0, 1, 0};
        v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_PLAYER);
        int firstContact = -1, bothOnGround = -1;
        for (int frame = 0; frame < 180; ++frame)
        {
            Frame(v);
            if (firstContact < 0 && (v->WheelContact[0] > 0.0f || v->WheelContact[1] > 0.0f))
                firstContact = frame;
            if (bothOnGround < 0 && v->WheelsOnGround == 2)
                bothOnGround = frame;
        }
        ASSERT_GE(firstContact, 0);
        // Both wheels within 0.2 s of the first touch, and they stay down.
        EXPECT_LE(bothOnGround - firstContact, 12);
        EXPECT_EQ(v->WheelsOnGround, 2);
        for (int i = 0; i < 60; ++i)
            Frame(v);
        EXPECT_GT(Up(v).y, 0.99f);
        for (int w = 0; w < 2; ++w)
        {
            EXPECT_EQ(v->WheelContact[w], 1.0f);
            EXPECT_GT(v->WheelCompression[w], 0.05f);
            EXPECT_LT(v->WheelCompression[w], 0.6f);
        }
        g_Vehicles.RemoveVehicle(v);
    }
}

TEST_F(DemoDataAreaTest, SecondPlacementMovesTheSameBody)
{
    const float x = g_RacePath[0][0], z = g_RacePath[0][2];
    CVehicleObject* v = Place(0, x, GroundUnder(x, z) + 1.0f, z);
    ASSERT_NE(v->body, nullptr);
    for (int i = 0; i < 30; ++i)
        Frame(v, 2000.0f);
    btRigidBody* body = v->body;
    btCompoundShape* shape = v->ChassisShape;
    btRaycastVehicle* vehicle = v->Vehicle;
    const int objects = g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects();
    const int children = shape->getNumChildShapes();

    const float x2 = g_RacePath[1][0], z2 = g_RacePath[1][2];
    const float pos[3] = {x2, GroundUnder(x2, z2) + 1.0f, z2}, target[3] = {x2 + 5.0f, pos[1], z2}, up[3] = {0, 1, 0};
    v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_PLAYER);
    EXPECT_EQ(v->body, body);
    EXPECT_EQ(v->ChassisShape, shape);
    EXPECT_EQ(v->Vehicle, vehicle);
    EXPECT_EQ(shape->getNumChildShapes(), children);
    EXPECT_EQ(g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(), objects);
    EXPECT_EQ(body->getLinearVelocity().length(), 0.0f);
    EXPECT_EQ(v->EngineForce, 0.0f);
    EXPECT_EQ(v->Speed, 0.0f);
    EXPECT_FLOAT_EQ(body->getWorldTransform().getOrigin().x(), x2);
    // Looking along +x now.
    v->SyncFromBody();
    EXPECT_NEAR(Forward(v).x, 1.0f, 1e-4f);
}

// Full throttle off the road (half power) approaches the speed at which the
// body's damping eats the engine force: the top speed follows power and mass.
TEST_F(FlatGroundDemoDataTest, FullThrottleReachesTheTopSpeedOfItsPower)
{
    float previousTop = 0.0f;
    for (int model = 0; model < 4; ++model)
    {
        SCOPED_TRACE(model);
        CVehicleObject* v = Settled(model);
        for (int i = 0; i < 60 * 60; ++i)
            Frame(v, 2000.0f);
        const float top = 0.5f * v->EnginePower / (v->Mass * kDampingRate) * 3.6f;
        EXPECT_GT(v->Speed, 0.9f * top);
        EXPECT_LT(v->Speed, 1.01f * top);
        EXPECT_NEAR(v->RaceStats.TopSpeed, v->Speed, 1.0f);
        EXPECT_GT(Up(v).y, 0.99f);
        EXPECT_EQ(v->Gear, EngineGear(v->Speed));
        EXPECT_NE(top, previousTop);
        previousTop = top;
        g_Vehicles.RemoveVehicle(v);
    }
}

TEST_F(FlatGroundDemoDataTest, BrakingStopsThenReverseDriveFadesIn)
{
    CVehicleObject* v = Settled(0);
    Launch(v, 60.0f);
    Frame(v);   // the speed the step made: until then it still reads the standstill
    ASSERT_GT(v->Speed, 50.0f);
    const float startZ = v->Position[2];
    int frames = 0;
    while (v->Speed > 1.0f && frames < 600)
    {
        Frame(v, 0.0f, 100.0f);
        ++frames;
    }
    EXPECT_LT(frames, 4 * 60);                   // stopped within 4 s
    EXPECT_LT(v->Position[2] - startZ, 40.0f);   // and within 40 m
    EXPECT_GT(Up(v).y, 0.98f);
    // Holding the brake at a standstill drives backwards, never towards 80 km/h.
    float slowest = 0.0f;
    for (int i = 0; i < 6 * 60; ++i)
    {
        Frame(v, 0.0f, 100.0f);
        slowest = std::min(slowest, v->Speed);
    }
    EXPECT_LT(v->Speed, -5.0f);
    EXPECT_GT(slowest, -80.0f);
    EXPECT_LT(v->EngineForce, 0.0f);
    // Throttle brakes the reversing motorcycle first, then drives it forward.
    for (int i = 0; i < 5 * 60; ++i)
        Frame(v, 2000.0f);
    EXPECT_GT(v->Speed, 5.0f);
}

// The full brake pulls the brake of the driven wheel twice as hard as the
// brake key does.
TEST_F(FlatGroundDemoDataTest, TheFullBrakeBrakesTwiceAsHardAsTheBrakeKey)
{
    CVehicleObject* v = Settled(0);
    Launch(v, 40.0f);
    Frame(v);   // the speed the step made
    ASSERT_GT(v->Speed, 30.0f);
    for (int full : {0, 1, 0})
    {
        SCOPED_TRACE(full);
        v->RearBrake = full;
        v->BrakeRamp = 100.0f;
        v->BrakeInput = 100.0f;
        v->UpdateEngine();
        EXPECT_FLOAT_EQ(v->Vehicle->getWheelInfo(1).m_brake, full ? 100.0f : 50.0f);
    }
}

// Steering into a turn leans the motorcycle into it, and it stays on its
// wheels through the turn.
TEST_F(FlatGroundDemoDataTest, SteeringLeansIntoTheTurnWithoutFallingOver)
{
    struct Case
    {
        int model;
        float speed;
        float steer;
    };
    const Case cases[] = {{0, 60.0f, 1.0f}, {1, 60.0f, -1.0f}, {2, 100.0f, 1.0f}, {3, 100.0f, -1.0f}, {0, 30.0f, 0.4f}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " at " << c.speed << " steering " << c.steer);
        CVehicleObject* v = Settled(c.model);
        Launch(v, c.speed);
        float lowestUp = 1.0f, deepestLean = 0.0f, turned = 0.0f;
        for (int i = 0; i < 3 * 60; ++i)
        {
            const float before = std::atan2(Forward(v).x, Forward(v).z);
            Frame(v, 0.0f, 0.0f, c.steer);
            float change = std::atan2(Forward(v).x, Forward(v).z) - before;
            if (change > D3DX_PI)
                change -= 2.0f * D3DX_PI;
            if (change < -D3DX_PI)
                change += 2.0f * D3DX_PI;
            turned += change;
            lowestUp = std::min(lowestUp, Up(v).y);
            // How far the up vector leans towards the motorcycle's right.
            const D3DXVECTOR3 up = Up(v), f = Forward(v);
            const D3DXVECTOR3 right(f.z, 0.0f, -f.x);
            deepestLean = c.steer > 0 ? std::max(deepestLean, D3DXVec3Dot(&up, &right))
                                      : std::min(deepestLean, D3DXVec3Dot(&up, &right));
        }
        EXPECT_GT(lowestUp, 0.5f);
        EXPECT_EQ(v->WheelsOnGround, 2);
        // Leaning the way it steers, and heading round that way.
        EXPECT_GT(deepestLean * c.steer, 0.05f);
        EXPECT_GT(v->Lean * c.steer, 0.0f);
        EXPECT_GT(turned * c.steer, 0.5f);
        g_Vehicles.RemoveVehicle(v);
    }
}

TEST_F(FlatGroundDemoDataTest, FullSteeringAtSpeedLeansToTheLimit)
{
    CVehicleObject* v = Settled(0);
    Launch(v, 90.0f);
    // The wheel held at full lock: the lean target (above 1) is clamped.
    float deepest = 0.0f;
    for (int i = 0; i < 30; ++i)
    {
        v->Steer = 0.6f;
        Frame(v, 2000.0f, 0.0f, 1.0f);
        deepest = std::max(deepest, v->Lean);
    }
    EXPECT_FLOAT_EQ(deepest, 0.65f);
    EXPECT_GT(Up(v).y, 0.5f);
}

// The game really runs at 7 to 20 frames a second here, where every frame
// is the clock's longest step of 50 ms. A motorcycle knocked sideways at
// speed, heavier than any demo model, rights itself and rides on upright;
// corrected once per frame with the frame's step instead of before each
// physics step, it rocks itself over within a second.
TEST_F(FlatGroundDemoDataTest, AtTwentyFramesASecondAHeavyMotorcycleRightsItself)
{
    for (int model = 0; model < 4; ++model)
    {
        SCOPED_TRACE(model);
        CVehicleObject* v = Settled(model);
        v->LeanMass = std::max(v->LeanMass, 500.0f);
        Launch(v, 60.0f);
        const D3DXVECTOR3 f = Forward(v);
        v->body->setAngularVelocity(btVector3(f.x, f.y, f.z) * 1.5f);
        g_Clock.m_GameStep = g_Clock.m_RealStep = 0.05f;
        float lowestUp = 1.0f;
        for (int frame = 0; frame < 8 * 20; ++frame)
        {
            Frame(v, v->Speed < 60.0f ? 1000.0f : 0.0f);
            lowestUp = std::min(lowestUp, Up(v).y);
        }
        g_Clock.m_GameStep = g_Clock.m_RealStep = kStep;
        EXPECT_GT(lowestUp, 0.5f);
        EXPECT_GT(Up(v).y, 0.98f);
        EXPECT_EQ(v->WheelsOnGround, 2);
        EXPECT_GT(v->Speed, 40.0f);
        g_Vehicles.RemoveVehicle(v);
    }
}

// Leaving the ground, the contact ramps from 1 to -1 in 0.2 s and the grip
// drains; back on the ground it builds up again over 0.4 s.
TEST_F(FlatGroundDemoDataTest, ContactAndGripRampsInTheAirAndBack)
{
    CVehicleObject* v = Settled(0);
    const float front = v->FrontFrictionSlip;
    ASSERT_FLOAT_EQ(v->Vehicle->getWheelInfo(0).m_frictionSlip, front);
    // Lift it well clear of the ground (the same body, re-placed).
    const float pos[3] = {0.0f, 30.0f, 0.0f}, target[3] = {0.0f, 30.0f, 10.0f}, up[3] = {0, 1, 0};
    v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_PLAYER);
    g_PhysicsWorld.Step();   // the rays find nothing now
    for (int frame = 1; frame <= 12; ++frame)
    {
        v->Update();
        g_PhysicsWorld.Step();
        EXPECT_NEAR(v->WheelContact[0], std::max(-1.0f, 1.0f - 10.0f * kStep * frame), 1e-4f) << frame;
        EXPECT_EQ(v->WheelsOnGround, v->WheelContact[0] > 0.0f ? 2 : 0) << frame;
    }
    EXPECT_FLOAT_EQ(v->WheelContact[1], -1.0f);
    // Hanging wheels are fully extended.
    EXPECT_LT(v->WheelCompression[0], 0.02f);
    EXPECT_LT(v->WheelCompression[1], 0.02f);
    // Grip has been draining at four times its value per second since the
    // contact went out (frame 6): six frames so far.
    EXPECT_NEAR(v->Vehicle->getWheelInfo(0).m_frictionSlip, front * (1.0f - 7 * 4.0f * kStep), 1e-3f);
    for (int i = 0; i < 30; ++i)
        Frame(v);
    EXPECT_EQ(v->Vehicle->getWheelInfo(0).m_frictionSlip, 0.0f);
    // Dropped from just above the wheels' reach so that it settles rather
    // than bouncing: back on the plane the grip builds up at 2.5 times per
    // second.
    const float low[3] = {0.0f, 1.0f, 0.0f}, lowTarget[3] = {0.0f, 1.0f, 10.0f};
    v->SetPosition(low, lowTarget, up, CONTROL_COMPUTER, RACER_PLAYER);
    int landed = -1;
    for (int frame = 0; frame < 300 && landed < 0; ++frame)
    {
        Frame(v);
        if (v->WheelContact[0] > 0.0f)
            landed = frame;
    }
    ASSERT_GE(landed, 0);
    for (int i = 0; i < 12; ++i)
        Frame(v);
    const float grip = v->Vehicle->getWheelInfo(0).m_frictionSlip;
    EXPECT_GT(grip, 0.0f);
    EXPECT_LT(grip, front);
    for (int i = 0; i < 24; ++i)
        Frame(v);
    EXPECT_FLOAT_EQ(v->Vehicle->getWheelInfo(0).m_frictionSlip, front);
}

// The race start puts the player's motorcycle on the start line, and the
// control keys ride it.
TEST_F(DemoDataAreaTest, RaceStartPutsThePlayerOnTheStartLineAndTheKeysRideIt)
{
    const D3DXVECTOR3 eye(0, 100, 0), at(0, 100, 1);
    g_Views.mainCamera.Init(&eye, &at, D3DX_PI / 2, 1.0f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, VIEWMODE_FREE,
                            CAMERA_MAIN);
    for (int start = 0; start < 2; ++start)   // a second start replaces the first player
    {
        ASSERT_EQ(g_Game.StartRace(0), 1);
        ASSERT_NE(g_PlayerVehicle, nullptr);
        EXPECT_EQ(g_Vehicles.racerCount, 1);
        EXPECT_EQ(g_Vehicles.racers[0], g_PlayerVehicle);
    }
    g_Landscape.Update();
    CVehicleObject* v = g_PlayerVehicle;
    EXPECT_EQ(v->inWorld, 1);
    EXPECT_EQ(v->ControlMode, CONTROL_KEYBOARD);
    EXPECT_EQ(v->RacerKind, RACER_PLAYER);
    EXPECT_NEAR(v->Position[0], g_RacePath[0][0], 1e-3f);
    EXPECT_NEAR(v->Position[2], g_RacePath[0][2], 1e-3f);
    // Settle, then hold the throttle key.
    for (int i = 0; i < 120; ++i)
    {
        v->Update();
        g_PhysicsWorld.Step();
        g_Vehicles.Update();
    }
    EXPECT_EQ(v->WheelsOnGround, 2);
    g_ControlFlags[CTRL_THROTTLE] = 1;
    for (int i = 0; i < 120; ++i)
    {
        v->Update();
        g_PhysicsWorld.Step();
        g_Vehicles.Update();
    }
    g_ControlFlags[CTRL_THROTTLE] = 0;
    EXPECT_GT(v->Speed, 15.0f);
    // The camera trails the motorcycle (a few lengths behind while it still
    // gathers speed).
    const D3DXVECTOR3 origin(v->Position[0], v->Position[1], v->Position[2]);
    const D3DXVECTOR3 toCamera = g_Views.mainCamera.eye - origin;
    EXPECT_LT(D3DXVec3Length(&toCamera), 12.0f) << v->Speed;
}

// The plane stands for grass (no road under it). Rolling straight, both
// wheels mark it at full strength and raise dust every 0.075 s (every fifth
// frame at 60 a second), each on one strip; slowed to 5 km/h or less they
// leave nothing more; a wheel that leaves the ground ends its strip at once,
// and so does a motorcycle put somewhere else. One lying on its side, its
// wheels off the ground, leaves nothing at all.
TEST_F(FlatGroundDemoDataTest, WheelsRollingOnGrassMarkItWhileTheyTouchTheGround)
{
    ConnectWorldLinks();
    ConnectRacersLinks();
    CVehicleObject* v = Settled(0);
    ASSERT_EQ(v->SkidTrail[0], nullptr) << "standing still";
    g_Skids.Reset();
    g_Skids.stats = SkidStats();
    g_Dusts.Reset();
    Launch(v, 60.0f);
    Frame(v, 1000.0f);
    ASSERT_NE(v->SkidTrail[0], nullptr) << "the front marks as it rolls";
    ASSERT_NE(v->SkidTrail[1], nullptr) << "the rear marks as it rolls";
    const int dustAtLaunch = g_Dusts.liveCount;
    for (int i = 0; i < 90; ++i)
        Frame(v, 1000.0f);
    ASSERT_GT(v->Speed, 40.0f);
    EXPECT_EQ(v->WheelSliding[0] + v->WheelSliding[1], 0) << "rolling, not sliding";
    EXPECT_EQ(g_Skids.stats.opened, 2) << "one strip per wheel, no churn";
    CSkidStrip* front = v->SkidTrail[0];
    ASSERT_NE(front, nullptr);
    EXPECT_GE(front->pointCount, 15);
    for (int p = 1; p < front->pointCount; ++p)
        EXPECT_EQ(front->intensities[p], 255) << "point " << p;
    EXPECT_EQ(g_Dusts.liveCount - dustAtLaunch, 2 * 90 / 5) << "a puff per wheel every fifth frame";

    // Slowed to a walk: the strips end and no more dust rises.
    int frames = 0;
    while (frames < 600 && v->Speed > 5.0f)
    {
        Frame(v, 0.0f, 1000.0f);
        ++frames;
    }
    ASSERT_LT(frames, 600);
    const int dustSlow = g_Dusts.liveCount;
    int slowFrames = 0;
    for (; slowFrames < 20 && std::fabs(v->Speed) <= 5.0f; ++slowFrames)
    {
        Frame(v);
        EXPECT_EQ(v->SkidTrail[0], nullptr);
        EXPECT_EQ(v->SkidTrail[1], nullptr);
    }
    EXPECT_EQ(slowFrames, 20);
    EXPECT_EQ(g_Dusts.liveCount, dustSlow);
    EXPECT_EQ(front->owner, nullptr);

    // Rolling again, then thrown upwards: the strips end as the rays lose
    // the ground.
    Launch(v, 60.0f);
    for (int i = 0; i < 30; ++i)
        Frame(v, 1000.0f);
    ASSERT_NE(v->SkidTrail[0], nullptr);
    ASSERT_NE(v->SkidTrail[1], nullptr);
    front = v->SkidTrail[0];
    v->body->setLinearVelocity(v->body->getLinearVelocity() + btVector3(0, 6, 0));
    frames = 0;
    while (frames < 30 && (v->Vehicle->getWheelInfo(0).m_raycastInfo.m_groundObject ||
                           v->Vehicle->getWheelInfo(1).m_raycastInfo.m_groundObject))
    {
        Frame(v);
        ++frames;
    }
    ASSERT_LT(frames, 30);
    Frame(v);
    EXPECT_GT(v->WheelContact[0], 0.0f) << "the contact ramp still holds";
    EXPECT_EQ(v->SkidTrail[0], nullptr);
    EXPECT_EQ(v->SkidTrail[1], nullptr);
    EXPECT_EQ(front->owner, nullptr);

    // Back down and marking again, then put somewhere else.
    for (int i = 0; i < 240 && !(v->SkidTrail[0] && v->SkidTrail[0]->pointCount >= 2); ++i)
        Frame(v, 1000.0f);
    ASSERT_NE(v->SkidTrail[0], nullptr);
    CSkidStrip* open = v->SkidTrail[0];
    const float pos[3] = {40.0f, 1.0f, 0.0f}, target[3] = {40.0f, 1.0f, 10.0f}, up[3] = {0, 1, 0};
    v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_PLAYER);
    EXPECT_EQ(v->SkidTrail[0], nullptr);
    EXPECT_EQ(open->owner, nullptr);
    EXPECT_EQ(v->WheelSliding[0], 0);

    // A second motorcycle lying on its side, sliding along the grass: while
    // its wheels stay off the ground it leaves neither marks nor dust.
    CVehicleObject* fallen = g_Vehicles.AddVehicle(g_VehicleModelFiles[1]);
    ASSERT_NE(fallen, nullptr);
    const float side[3] = {-40.0f, 0.2f, 0.0f}, ahead[3] = {-40.0f, 0.2f, 10.0f}, flat[3] = {1, 0, 0};
    fallen->SetPosition(side, ahead, flat, CONTROL_COMPUTER, RACER_PLAYER);
    const int opened = g_Skids.stats.opened, dust = g_Dusts.liveCount;
    fallen->body->setLinearVelocity(btVector3(0, 0, 40.0f / 3.6f));
    int sliding = 0;
    for (int i = 0; i < 30 && !fallen->Vehicle->getWheelInfo(0).m_raycastInfo.m_groundObject &&
                    !fallen->Vehicle->getWheelInfo(1).m_raycastInfo.m_groundObject;
         ++i)
    {
        Frame(fallen);
        sliding += std::fabs(fallen->Speed) > 5.0f;
    }
    EXPECT_GE(sliding, 10);
    EXPECT_EQ(g_Skids.stats.opened, opened);
    EXPECT_EQ(fallen->SkidTrail[0], nullptr);
    EXPECT_EQ(g_Dusts.liveCount, dust);
}

}   // namespace
