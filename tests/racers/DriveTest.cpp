// The drive states and their controllers: look-ahead, target speed, the
// rubber band, state changes and the reset for the grid, the hold on the
// grid, the stop-to-race rule, backing up, the lane away from a racer ahead,
// the controller at the end of the race path, the respawn, the recovery of a
// motorcycle lost under ground and of one wedged where backing up does not
// free it.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <cmath>

#include "VehicleTestSupport.h"
#include "core/GameClock.h"
#include "core/RaceState.h"

namespace
{

using vehicletest::kStep;
using vehicletest::VehicleWorld;

TEST(LookAhead, OnePointMorePerTwentyFiveKmhUpToSixOrSeven)
{
    struct Case
    {
        float speed;
        int racer;
        int ahead;   // points past PathPoint the controller aims at
    };
    const Case cases[] = {{0, 0, 1},   {0, 1, 1},   {-30, 1, 1}, {24.9f, 1, 1}, {25.1f, 1, 2},
                          {150, 0, 7}, {150, 1, 7}, {175, 0, 7}, {175, 1, 8},   {400, 1, 8}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.speed << " km/h, racer " << c.racer);
        EXPECT_EQ(1 + LookAheadPoints(c.speed, c.racer), c.ahead);
    }
}

TEST(TargetSpeed, StraightAheadIsTheTopAndAQuarterTurnIsTwenty)
{
    struct Case
    {
        float x, z;
        int racer;
        float speed;
    };
    const float diagonal = std::sqrt(0.5f);
    const Case cases[] = {
        {0.0f, 1.0f, 0, 120.0f},                         // the autopilot's top
        {0.0f, 1.0f, 1, 150.0f},                         // the racer's own MaxSpeed
        {1.0f, 0.0f, 0, 20.0f},                          // at 90 degrees
        {-1.0f, 0.0f, 1, 20.0f},                         //
        {diagonal, diagonal, 1, (1 - diagonal) * 150},   // less the more to the side
        {0.95f, 0.31f, 1, 20.0f},                        // never below 20
        {0.0f, -1.0f, 1, 20.0f},                         // behind
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.z << " racer " << c.racer);
        const float direction[3] = {c.x, 0.0f, c.z};
        EXPECT_NEAR(PathTargetSpeed(direction, 150.0f, c.racer), c.speed, 1e-3f);
    }
}

TEST(RubberBand, AdjustsThePowerByTheLeadAndRestoresItExactly)
{
    // Each row is one frame's lead over the player, in order, with the power
    // that frame leaves relative to the base of 500.
    struct Step
    {
        int lead;
        float power;
        int band;
    };
    const Step steps[] = {
        {5, -300, -1},   // five points ahead
        {7, -300, -1},   // further ahead changes nothing more
        {4, 0, 0},       // back within four: the base exactly
        {5, -300, -1},   //
        {-5, 400, 1},    // from 5 ahead to 5 behind in one frame: +700
        {-9, 400, 1},    //
        {5, -300, -1},   // and back: -700
        {0, 0, 0},       //
        {-5, 400, 1},    //
        {-4, 0, 0},      //
    };
    CVehicleObject v;
    v.EnginePower = 500.0f;
    for (const Step& s : steps)
    {
        SCOPED_TRACE(s.lead);
        v.ApplyRubberBand(s.lead);
        EXPECT_FLOAT_EQ(v.EnginePower, 500.0f + s.power);
        EXPECT_EQ(v.RubberBand, s.band);
    }
    EXPECT_FLOAT_EQ(v.MaxSpeed, 0.0f);   // only the power moves
}

TEST(DriveState, SetStateKeepsThePreviousAndRestartsTheTimersOnAChange)
{
    CVehicleObject v;
    v.DriveState = DRIVE_AI;
    v.StuckTimer = 0.7f;
    v.KickedTimer = 0.4f;
    v.KickTimer = 0.2f;
    v.SetState(DRIVE_AI);   // the same state
    EXPECT_EQ(v.PreviousDriveState, DRIVE_AI);
    EXPECT_FLOAT_EQ(v.StuckTimer, 0.7f);
    EXPECT_FLOAT_EQ(v.KickedTimer, 0.4f);
    EXPECT_FLOAT_EQ(v.KickTimer, 0.2f);

    v.SetState(DRIVE_UNSTICK);
    EXPECT_EQ(v.DriveState, DRIVE_UNSTICK);
    EXPECT_EQ(v.PreviousDriveState, DRIVE_AI);
    EXPECT_EQ(v.StuckTimer, 0.0f);
    EXPECT_EQ(v.KickedTimer, 0.0f);
    EXPECT_LE(v.KickTimer, 0.0f);
    EXPECT_GE(v.KickTimer, -4.0f);
}

class DriveFlatDemoDataTest : public VehicleWorld
{
protected:
    void SetUp() override { Open(false); }
};

TEST_F(DriveFlatDemoDataTest, ResetDrivingStopsAndBrakesButKeepsTheStatistics)
{
    CVehicleObject* v = Place(0, 0.0f, 0.3f, 0.0f);
    v->body->setLinearVelocity(btVector3(3, 0, 5));
    v->body->setAngularVelocity(btVector3(0, 1, 0));
    v->Speed = v->Throttle = v->EngineForce = 40.0f;
    v->Steer = v->SteerInput = 0.3f;
    v->ControlMode = CONTROL_KEYBOARD;
    v->RaceStats.Kicks = 3;
    v->RaceStats.DistanceLeft = 120.0f;
    v->ResetDriving();
    EXPECT_EQ(v->body->getLinearVelocity().length(), 0.0f);
    EXPECT_EQ(v->body->getAngularVelocity().length(), 0.0f);
    EXPECT_EQ(v->Speed, 0.0f);
    EXPECT_EQ(v->Throttle, 0.0f);
    EXPECT_EQ(v->EngineForce, 0.0f);
    EXPECT_EQ(v->Steer, 0.0f);
    EXPECT_EQ(v->SteerInput, 0.0f);
    EXPECT_EQ(v->BrakeInput, 100.0f);
    EXPECT_EQ(v->BrakeRamp, 100.0f);
    EXPECT_EQ(v->RearBrake, 1);
    EXPECT_EQ(v->ControlMode, CONTROL_COMPUTER);
    EXPECT_EQ(v->DriveState, DRIVE_STOP);
    EXPECT_EQ(v->RaceStats.Kicks, 3);
    EXPECT_EQ(v->RaceStats.DistanceLeft, 120.0f);
}

TEST_F(DriveFlatDemoDataTest, TheGridHoldPinsTheMotorcycleWhereItWasPlaced)
{
    CVehicleObject* v = Place(1, 4.0f, 0.6f, -3.0f);
    v->SetState(DRIVE_HOLD);
    for (int i = 0; i < 120; ++i)
    {
        v->body->applyCentralImpulse(btVector3(20.0f, 0.0f, 15.0f));   // pushed every frame
        v->Update();
        g_PhysicsWorld.Step();
        EXPECT_EQ(v->Throttle, 0.0f);
        EXPECT_EQ(v->RearBrake, 1);
    }
    v->SyncFromBody();
    EXPECT_NEAR(v->Position[0], 4.0f, 0.35f);
    EXPECT_NEAR(v->Position[2], -3.0f, 0.35f);
    EXPECT_LT(v->Position[1], 0.6f);   // it settled onto the ground meanwhile
}

TEST_F(DriveFlatDemoDataTest, AStoppedComputerRacerRacesAgainWhileTheRaceRuns)
{
    CVehicleObject* player = Place(0, -5.0f, 0.3f, 0.0f);
    g_PlayerVehicle = player;
    CVehicleObject* racer = Place(1, 5.0f, 0.3f, 0.0f);
    for (CVehicleObject* v : {player, racer})
    {
        v->ResetDriving();
        v->RaceStats.DistanceLeft = 100.0f;
    }
    g_RaceRunning = 0;
    racer->UpdateController();
    EXPECT_EQ(racer->DriveState, DRIVE_STOP);   // no race yet

    g_RaceRunning = 1;
    racer->UpdateController();
    player->UpdateController();
    EXPECT_EQ(racer->DriveState, DRIVE_AI);
    EXPECT_EQ(racer->PreviousDriveState, DRIVE_AI);
    EXPECT_EQ(player->DriveState, DRIVE_STOP);   // the player is never switched

    racer->ResetDriving();
    racer->RaceStats.DistanceLeft = 0.0f;   // finished
    racer->UpdateController();
    EXPECT_EQ(racer->DriveState, DRIVE_STOP);
    g_PlayerVehicle = nullptr;
}

TEST_F(DriveFlatDemoDataTest, BackingUpLastsASecondAndSteersAwayFromTheTarget)
{
    CVehicleObject* v = Place(0, 0.0f, 0.3f, 0.0f);
    v->DriveState = DRIVE_AI;
    v->SetState(DRIVE_UNSTICK);
    v->TargetDirection[0] = 0.4f;
    int frames = 0;
    while (v->DriveState == DRIVE_UNSTICK && frames < 200)
    {
        v->DriveUnstick();
        ++frames;
        if (v->DriveState == DRIVE_UNSTICK)
        {
            EXPECT_EQ(v->Throttle, 0.0f);
            EXPECT_EQ(v->BrakeInput, 100.0f);
            EXPECT_FLOAT_EQ(v->SteerInput, -0.4f);
        }
    }
    EXPECT_EQ(v->DriveState, DRIVE_AI);
    EXPECT_NEAR(frames * kStep, 1.0f, 2.5f * kStep);
}

TEST_F(DriveFlatDemoDataTest, ARubberBandNeverDrivesAWeakRacerBackwards)
{
    CVehicleObject* v = Place(1, 0.0f, 0.3f, 0.0f);
    for (int i = 0; i < 60; ++i)
        Frame(v);
    v->EnginePower = -60.0f;   // a weak motorcycle 300 below its base
    for (int i = 0; i < 120; ++i)
        Frame(v, 2000.0f);
    EXPECT_GE(v->EngineForce, 0.0f);
    EXPECT_GT(v->Speed, -1.0f);
}

// On the first demo area with its race path.
class DrivePathDemoDataTest : public VehicleWorld
{
protected:
    void SetUp() override
    {
        Open(true);
        ASSERT_GT(g_RacePathCount, 20);
    }

    // A computer racer standing on the path at point i, heading along it.
    CVehicleObject* Racer(int model, int i, float ahead = 0.0f)
    {
        const float* a = g_RacePath[i];
        const float* b = g_RacePath[std::min(i + 1, g_RacePathCount - 1)];
        float dx = b[0] - a[0], dz = b[2] - a[2];
        const float length = std::sqrt(dx * dx + dz * dz);
        dx /= length;
        dz /= length;
        const float ground[3] = {a[0] + dx * ahead, 0.0f, a[2] + dz * ahead};
        const float pos[3] = {ground[0], g_Landscape.GetHeight(ground) + 0.3f, ground[2]};
        const float target[3] = {pos[0] + dx, pos[1], pos[2] + dz}, up[3] = {0, 1, 0};
        CVehicleObject* v = g_Vehicles.AddVehicle(g_VehicleModelFiles[model]);
        v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_AI);
        v->PathPoint = i;
        v->DriveState = DRIVE_AI;
        v->SyncFromBody();
        return v;
    }
};

TEST_F(DrivePathDemoDataTest, NearTheEndTheTargetStaysOnTheLastPoint)
{
    const int last = g_RacePathCount - 1;
    for (int from : {last - 3, last - 2, last - 1})
    {
        SCOPED_TRACE(from);
        CVehicleObject* v = Racer(0, from);
        v->Speed = 175.0f;   // eight points ahead
        v->LaneOffset = 0.0f;
        v->DrivePath(1, kStep);
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_TRUE(std::isfinite(v->TargetPoint[i]));
            EXPECT_FLOAT_EQ(v->TargetPoint[i], g_RacePath[last][i]);
            EXPECT_TRUE(std::isfinite(v->TargetDirection[i]));
        }
        g_Vehicles.RemoveVehicle(v);
    }
}

TEST_F(DrivePathDemoDataTest, TheFinishingFrameHasADirectionAndOutsideARaceStartsOver)
{
    const int last = g_RacePathCount - 1;
    // Standing past the second last point: this frame reaches the last one.
    CVehicleObject* v = Racer(2, last - 1, 3.0f);
    v->LaneOffset = 0.5f;
    g_RaceRunning = 0;
    v->DriveAiRacer();
    EXPECT_EQ(v->PathPoint, 0);   // no race: round again
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_TRUE(std::isfinite(v->TargetPoint[i]));
        EXPECT_TRUE(std::isfinite(v->TargetDirection[i]));
    }
    EXPECT_TRUE(std::isfinite(v->SteerInput));
    EXPECT_TRUE(std::isfinite(v->Throttle + v->BrakeInput));
    const float length = std::hypot(v->TargetDirection[0], v->TargetDirection[2]);
    EXPECT_NEAR(length, 1.0f, 1e-4f);
    // The lane still lies across the way: LaneOffset x 1.5 radii to the side
    // of the last point, across the last segment.
    const float* p = g_RacePath[last];
    const float* q = g_RacePath[last - 1];
    const float across = std::hypot(v->TargetPoint[0] - p[0], v->TargetPoint[2] - p[2]);
    EXPECT_GT(v->LaneOffset, 0.4f);
    EXPECT_NEAR(across, v->LaneOffset * v->boundRadius * 1.5f, 1e-3f);
    const float along = (v->TargetPoint[0] - p[0]) * (p[0] - q[0]) + (v->TargetPoint[2] - p[2]) * (p[2] - q[2]);
    EXPECT_NEAR(along, 0.0f, 1e-3f);
}

TEST_F(DrivePathDemoDataTest, TheRacerPassesItsPointAndAimsAheadOfIt)
{
    CVehicleObject* v = Racer(0, 20, 0.5f);   // just past point 20
    v->Speed = 0.0f;
    v->LaneOffset = 0.0f;
    v->WheelsOnGround = 2;
    v->DrivePath(1, kStep);
    EXPECT_EQ(v->PathPoint, 21);
    EXPECT_FLOAT_EQ(v->TargetPoint[0], g_RacePath[22][0]);   // one ahead at a standstill
    EXPECT_FLOAT_EQ(v->TargetPoint[2], g_RacePath[22][2]);
    EXPECT_GT(v->TargetDirection[2], 0.9f);   // the path runs straight on
    EXPECT_GT(v->Throttle, 1900.0f);          // pulling away from a standstill
}

// A racer closing on another just ahead and a little to one side moves its
// lane away from it: its aim passes the other on the far side.
TEST_F(DrivePathDemoDataTest, ARacerMovesItsLaneAwayFromTheRacerAheadOfIt)
{
    const int at = 30;
    const float* a = g_RacePath[at];
    const float* b = g_RacePath[at + 1];
    D3DXVECTOR3 along(b[0] - a[0], 0.0f, b[2] - a[2]);
    D3DXVec3Normalize(&along, &along);
    const D3DXVECTOR3 across(along.z, 0.0f, -along.x);

    // The aim after half a second of closing in (no physics: the racer stays
    // where it is), with or without the other racer 3 ahead and `side` across.
    auto aimAfterClosingIn = [&](bool other, float side) {
        CVehicleObject* v = Racer(0, at);
        v->Speed = 36.0f;
        for (int i = 0; i < 3; ++i)
        {
            v->linearVelocity[i] = (&along.x)[i] * 10.0f;
            v->TargetPoint[i] = g_RacePath[at + 3][i];
        }
        v->LaneOffset = 0.0f;
        CVehicleObject* o = nullptr;
        if (other)
        {
            o = Racer(1, at, 3.0f);
            const D3DXVECTOR3 moved =
                D3DXVECTOR3(o->Position[0], o->Position[1], o->Position[2]) + across * (0.4f * side);
            const float pos[3] = {moved.x, moved.y, moved.z};
            const float target[3] = {moved.x + along.x, moved.y, moved.z + along.z}, up[3] = {0, 1, 0};
            o->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_AI);
            o->SyncFromBody();
            for (int i = 0; i < 3; ++i)
                o->TargetPoint[i] = g_RacePath[at + 6][i];
        }
        for (int frame = 0; frame < 30; ++frame)
            v->DrivePath(1, kStep);
        const D3DXVECTOR3 aim(v->TargetPoint[0], v->TargetPoint[1], v->TargetPoint[2]);
        g_Vehicles.RemoveVehicle(v);
        if (o)
            g_Vehicles.RemoveVehicle(o);
        return aim;
    };
    const D3DXVECTOR3 alone = aimAfterClosingIn(false, 0.0f);
    for (float side : {1.0f, -1.0f})
    {
        SCOPED_TRACE(side);
        const D3DXVECTOR3 moved = aimAfterClosingIn(true, side) - alone;
        EXPECT_LT(D3DXVec3Dot(&moved, &across) * side, -0.5f) << "the aim moved away from the other";
    }
}

TEST_F(DrivePathDemoDataTest, AKickedRacersSteeringComesBackOverASecond)
{
    struct Case
    {
        float kicked;
        float share;
    };
    const Case cases[] = {{0.0f, 1.0f}, {0.25f, 0.75f}, {0.5f, 0.5f}, {1.0f, 0.0f}};
    // The path point 12 ahead of a racer turned off to the side.
    float steer[4];
    for (int k = 0; k < 4; ++k)
    {
        CVehicleObject* v = Racer(0, 30);
        const float* a = g_RacePath[30];
        const float pos[3] = {a[0], v->Position[1], a[2]};
        const float side[3] = {a[0] + 1.0f, v->Position[1], a[2] + 4.0f}, up[3] = {0, 1, 0};
        v->SetPosition(pos, side, up, CONTROL_COMPUTER, RACER_AI);
        v->SyncFromBody();
        v->PathPoint = 30;
        v->Steer = 0.0f;
        v->LaneOffset = 0.0f;
        v->KickedTimer = cases[k].kicked;
        v->DrivePath(1, kStep);
        steer[k] = v->SteerInput;
        g_Vehicles.RemoveVehicle(v);
    }
    ASSERT_NE(steer[0], 0.0f);
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(steer[k], steer[0] * cases[k].share, 1e-5f) << cases[k].kicked;
}

TEST_F(DrivePathDemoDataTest, TheBandFollowsThePlayerAndLetsGoAfterThePlayersFinish)
{
    CVehicleObject* player = Racer(0, 10);
    player->RacerKind = RACER_PLAYER;
    g_PlayerVehicle = player;
    CVehicleObject* v = Racer(1, 40);
    const float base = v->EnginePower;
    v->DriveAiRacer();
    EXPECT_FLOAT_EQ(v->EnginePower, base - 300.0f);
    player->PathPoint = 38;
    v->DriveAiRacer();
    EXPECT_FLOAT_EQ(v->EnginePower, base);

    player->PathPoint = 2;
    v->DriveAiRacer();
    EXPECT_FLOAT_EQ(v->EnginePower, base - 300.0f);
    player->DriveState = DRIVE_AUTOPILOT;   // the player finished: path point 0 and on
    player->PathPoint = 0;
    v->DriveAiRacer();
    EXPECT_FLOAT_EQ(v->EnginePower, base);
    g_PlayerVehicle = nullptr;
}

// The rubber band takes the same 300 from every racer far ahead of the
// player. With the least power a computer racer can draw (the lowest
// difficulty, whose rows add no upgrade levels, and the lowest random
// factor) every demo model must still ride on along the road, not stand on
// it waiting for the player.
TEST_F(DrivePathDemoDataTest, APenalisedRivalOfEveryDemoModelStillRides)
{
    g_CurrentRace = 0;
    ASSERT_EQ(g_RaceTable.difficulty[g_CurrentRace], 0);
    g_RaceRunning = 1;
    CVehicleObject* player = Racer(0, 10);
    player->RacerKind = RACER_PLAYER;
    g_PlayerVehicle = player;
    for (int model = 0; model < VEHICLE_MODELS; ++model)
    {
        SCOPED_TRACE(model);
        CVehicleObject* v = g_Vehicles.AddVehicle(g_VehicleModelFiles[model]);
        ASSERT_NE(v, nullptr);
        v->PowerFactor = v->TransmissionFactor = 0.75f;
        const float* a = g_RacePath[40];
        const float* b = g_RacePath[41];
        const float pos[3] = {a[0], g_Landscape.GetHeight(a) + 0.3f, a[2]}, target[3] = {b[0], pos[1], b[2]},
                    up[3] = {0, 1, 0};
        v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_AI);
        v->PathPoint = 40;
        v->DriveState = DRIVE_AI;
        const float base = v->EnginePower;
        float fastest = 0.0f;
        for (int i = 0; i < 12 * 60; ++i)
        {
            v->Update();
            g_PhysicsWorld.Step();
            ASSERT_FLOAT_EQ(v->EnginePower, base - 300.0f);   // far ahead all the time
            fastest = std::max(fastest, v->Speed);
        }
        // From a standstill it gets going before the stuck test would
        // have it back up, and rides on at a fair speed.
        EXPECT_GT(fastest, 35.0f);
        EXPECT_GT(v->PathPoint, 40 + 12);
        g_Vehicles.RemoveVehicle(v);
    }
    g_PlayerVehicle = nullptr;
    g_RaceRunning = 0;
}

TEST_F(DrivePathDemoDataTest, RespawnStepsBackPastRacersAndStartsTheBandAgain)
{
    g_RaceRunning = 1;
    CVehicleObject* v = Racer(0, 40);
    CVehicleObject* others[2] = {Racer(1, 35), Racer(2, 34)};   // where the respawn would put it
    const float base = v->EnginePower;
    v->ApplyRubberBand(6);
    ASSERT_FLOAT_EQ(v->EnginePower, base - 300.0f);
    v->Respawn();

    // A racer counts as standing on a point when its surface comes within
    // four of its own radii of it.
    auto occupied = [&](int i) {
        for (CVehicleObject* o : others)
        {
            const float* c = o->worldCentre;
            const float* p = g_RacePath[i];
            const float d = std::sqrt((c[0] - p[0]) * (c[0] - p[0]) + (c[1] - p[1]) * (c[1] - p[1]) +
                                      (c[2] - p[2]) * (c[2] - p[2]));
            if (d - 4.0f * v->boundRadius - o->boundRadius < 0.0f)
                return true;
        }
        return false;
    };
    const int at = v->PathPoint;
    EXPECT_LT(at, 34);
    EXPECT_FALSE(occupied(at));
    EXPECT_TRUE(occupied(at + 1));
    EXPECT_NEAR(v->Position[0], g_RacePath[at][0], 1e-3f);
    EXPECT_NEAR(v->Position[1], g_RacePath[at][1] + 2.5f, 1e-3f);
    EXPECT_NEAR(v->Position[2], g_RacePath[at][2], 1e-3f);
    // The new physics restored the base power: the band starts from there
    // and never adds back the 300 it no longer takes.
    EXPECT_FLOAT_EQ(v->EnginePower, base);
    EXPECT_EQ(v->RubberBand, 0);
    v->ApplyRubberBand(0);
    EXPECT_FLOAT_EQ(v->EnginePower, base);
    g_RaceRunning = 0;
}

// Racers fallen together at the start: the first respawned stands on the
// first point, and the next one, with every point back to the first taken,
// is put on the first free point ahead rather than into the first.
TEST_F(DrivePathDemoDataTest, ARespawnWithEveryPointBackTakenGoesToTheFirstFreeOneAhead)
{
    g_RaceRunning = 1;
    CVehicleObject* first = Racer(1, 0);
    CVehicleObject* v = Racer(0, 3);
    v->Respawn();
    auto clear = [&](int i) {
        const float* c = first->worldCentre;
        const float* p = g_RacePath[i];
        const float d =
            std::sqrt((c[0] - p[0]) * (c[0] - p[0]) + (c[1] - p[1]) * (c[1] - p[1]) + (c[2] - p[2]) * (c[2] - p[2]));
        return d - 4.0f * v->boundRadius - first->boundRadius >= 0.0f;
    };
    ASSERT_FALSE(clear(0));
    EXPECT_GT(v->PathPoint, 0);
    EXPECT_LE(v->PathPoint, 3 + 5);
    EXPECT_TRUE(clear(v->PathPoint));
    for (int i = 1; i < v->PathPoint; ++i)
        EXPECT_FALSE(clear(i)) << i;
    EXPECT_NEAR(v->Position[0], g_RacePath[v->PathPoint][0], 1e-3f);
    EXPECT_NEAR(v->Position[2], g_RacePath[v->PathPoint][2], 1e-3f);
    g_RaceRunning = 0;
}

TEST_F(DrivePathDemoDataTest, AMotorcycleWedgedAgainstAWallIsPutBackOnThePathOnlyUnseen)
{
    // A wall across the path a few units ahead of the motorcycle: pulling
    // into it and backing up off it, over and over, never gets it any
    // further. (Met from much further off, at speed, the motorcycle rears up
    // against it with a wheel off the ground and is put back at once.)
    const int at = 40;
    const float* a = g_RacePath[at];
    const float* b = g_RacePath[at + 1];
    const btVector3 along = btVector3(b[0] - a[0], 0.0f, b[2] - a[2]).normalized();
    const btVector3 wallCentre = btVector3(a[0], a[1], a[2]) + along * 2.0f;
    btBoxShape wallShape(btVector3(30.0f, 6.0f, 0.5f));
    btTransform wallPlace;
    wallPlace.setIdentity();
    wallPlace.setOrigin(wallCentre);
    wallPlace.setRotation(btQuaternion(btVector3(0, 1, 0), std::atan2(along.x(), along.z())));
    btDefaultMotionState wallMotion(wallPlace);
    btRigidBody wall(0.0f, &wallMotion, &wallShape);
    wall.setUserPointer(&g_Landscape);   // it collides as the ground does
    g_PhysicsWorld.dynamicsWorld->addRigidBody(&wall);

    struct Case
    {
        bool seen;
        bool putBack;
    };
    for (const Case c : {Case{false, true}, Case{true, false}})
    {
        SCOPED_TRACE(c.seen ? "in view" : "out of view");
        CVehicleObject* v = Racer(0, at);
        v->DriveState = DRIVE_AUTOPILOT;
        v->visible = c.seen ? 1 : 0;
        bool putBack = false;
        int backups = 0;
        for (int f = 0; f < 60 * 30 && !putBack; ++f)
        {
            const int state = v->DriveState;
            Frame(v);
            v->SyncFromBody();
            backups += state != DRIVE_UNSTICK && v->DriveState == DRIVE_UNSTICK;
            putBack = v->PathPoint < at;
            ASSERT_LE(v->PathPoint, at + 3) << "the wall was passed " << f << " " << v->Position[0] << " "
                                            << v->Position[1] << " " << v->Position[2] << " pts " << a[0] << " " << a[1]
                                            << " " << a[2] << " / " << b[0] << " " << b[1] << " " << b[2];
        }
        EXPECT_EQ(putBack, c.putBack);
        // Out of view it gave up after a few backing-up manoeuvres; in view it
        // keeps trying.
        if (c.putBack)
        {
            EXPECT_GE(backups, 3);
            EXPECT_LE(backups, 8);
            EXPECT_EQ(v->UnstickTries, 0);
        }
        else
            EXPECT_GT(backups, 5);
        g_Vehicles.RemoveVehicle(v);
    }
    g_PhysicsWorld.dynamicsWorld->removeRigidBody(&wall);
}

TEST_F(DrivePathDemoDataTest, AMotorcycleLostUnderTheGroundIsPutBackOnThePath)
{
    CVehicleObject* v = Racer(3, 60);
    btTransform t = v->body->getWorldTransform();
    t.setOrigin(t.getOrigin() - btVector3(0, 40, 0));
    v->body->setCenterOfMassTransform(t);
    v->body->getMotionState()->setWorldTransform(t);
    v->SyncFromBody();
    v->DriveAiRacer();
    v->SyncFromBody();
    EXPECT_EQ(v->PathPoint, 55);
    EXPECT_GT(v->Position[1], g_RacePath[55][1]);
}

}   // namespace

// Outside a race the motorcycle comes back at the path point nearest to it,
// searched from five points before its last one: thrown off again at the same
// place, it comes back there again, while its path point keeps stepping back.
TEST_F(DrivePathDemoDataTest, OutsideARaceARespawnReturnsToTheNearestPointFromFiveBack)
{
    g_RaceRunning = 0;
    CVehicleObject* v = Racer(0, 40);
    for (int k = 1; k <= 3; ++k)
    {
        SCOPED_TRACE(k);
        v->Respawn();
        EXPECT_EQ(v->PathPoint, 40 - 5 * k);
        EXPECT_NEAR(v->Position[0], g_RacePath[40][0], 1e-3f);
        EXPECT_NEAR(v->Position[2], g_RacePath[40][2], 1e-3f);
    }
    g_Vehicles.RemoveVehicle(v);

    // Standing behind the point five back, the search starts there.
    v = Racer(0, 40);
    v->PathPoint = 50;
    v->Respawn();
    EXPECT_EQ(v->PathPoint, 45);
    EXPECT_NEAR(v->Position[0], g_RacePath[45][0], 1e-3f);
    EXPECT_NEAR(v->Position[2], g_RacePath[45][2], 1e-3f);
}
