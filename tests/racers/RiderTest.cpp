// Riders on the demo motorcycles in a real physics world: falling off and
// getting back on, the rest check, dust, the action machine, kicks, the
// rider list, drawing a fallen rider, and the motorcycle's reactions to its
// rider.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/Keywords.h"
#include "core/Controls.h"
#include "core/RaceState.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Rand.h"
#include "racers/RiderTestSupport.h"
#include "racers/VehicleFixture.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "tools/RiderFigure.h"

namespace
{

using ridertest::RiderWorld;
using vehicletest::kStep;

bool Finite(const btVector3& v)
{
    return std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z());
}

bool BodiesFinite(const CRagDoll* r)
{
    for (const btRigidBody* b : r->bodies)
        if (!Finite(b->getWorldTransform().getOrigin()) || !Finite(b->getLinearVelocity()))
            return false;
    return true;
}

// Frames until the rider's ragdoll leaves the world (at most `seconds`);
// -1 when it does not, or when a body leaves the finite numbers.
int FramesToRest(CHumanObject* rider, float seconds)
{
    const int frames = (int)(seconds / kStep);
    for (int i = 0; i < frames; ++i)
    {
        g_PhysicsWorld.Step();
        g_HumanManager.Update();
        if (!rider->RagDoll || !BodiesFinite(rider->RagDoll))
            return -1;
        if (!rider->inWorld)
            return i + 1;
    }
    return -1;
}

class RiderDemoDataTest : public RiderWorld
{
protected:
    void SetUp() override
    {
        OpenWithRiders(false);
        GameSrand(11);
    }
};

TEST_F(RiderDemoDataTest, FallAddsElevenBodiesAndTenJointsOnce)
{
    CVehicleObject* v = PlaceWithRider(0, 0.8f, 0);
    CHumanObject* r = v->Rider;
    ASSERT_NE(r->body, nullptr);
    EXPECT_TRUE(r->body->isInWorld());
    const int objects = Objects(), joints = Joints();

    r->SetRagdoll(1);
    ASSERT_NE(r->RagDoll, nullptr);
    EXPECT_EQ(Objects(), objects - 1 + 11) << "the riding box out, eleven parts in";
    EXPECT_EQ(Joints(), joints + 10);
    EXPECT_FALSE(r->body->isInWorld());
    EXPECT_EQ(r->inWorld, 1) << "the rest check reads the flag";
    EXPECT_EQ(v->RaceStats.Falls, 1);
    EXPECT_EQ(r->Action, ACTION_NONE);
    for (const btRigidBody* b : r->RagDoll->bodies)
    {
        EXPECT_FLOAT_EQ(1.0f / b->getInvMass(), 10.0f) << "every part weighs 10";
        EXPECT_EQ(b->getUserPointer(), static_cast<CStaticObject*>(r));
    }

    const CRagDoll* first = r->RagDoll;
    r->SetRagdoll(1);
    EXPECT_EQ(r->RagDoll, first) << "a fallen rider is not thrown again";
    EXPECT_EQ(Objects(), objects + 10);
    EXPECT_EQ(v->RaceStats.Falls, 1);

    r->SetRagdoll(0);
    EXPECT_EQ(r->RagDoll, nullptr);
    EXPECT_EQ(Objects(), objects);
    EXPECT_EQ(Joints(), joints);
    EXPECT_TRUE(r->body->isInWorld());
    EXPECT_EQ(r->Action, ACTION_STEERING);
    r->SetRagdoll(0);
    EXPECT_EQ(Objects(), objects) << "a riding rider is not put back again";
}

TEST_F(RiderDemoDataTest, ThrownWithTheGivenVelocityOrTheMotorcycles)
{
    CVehicleObject* v = PlaceWithRider(0, 0.8f, 0);
    const float given[3] = {4.0f, 1.0f, -2.0f};
    v->Rider->SetRagdoll(1, given);
    const btVector3 got = v->Rider->RagDoll->bodies[5]->getLinearVelocity();
    EXPECT_FLOAT_EQ(got.x(), 4.0f);
    EXPECT_FLOAT_EQ(got.z(), -2.0f);
    v->Rider->SetRagdoll(0);
    v->linearVelocity[0] = 7.0f;
    v->Rider->SetRagdoll(1);
    EXPECT_FLOAT_EQ(v->Rider->RagDoll->bodies[0]->getLinearVelocity().x(), 7.0f);
}

TEST_F(RiderDemoDataTest, DropFromTwoMetresRestsLeavesTheWorldAndFallsAgainAlike)
{
    CVehicleObject* v = PlaceWithRider(0, 1.2f, 0);
    Freeze(v);
    CHumanObject* r = v->Rider;
    const int before = Objects();
    for (int fall = 0; fall < 2; ++fall)
    {
        SCOPED_TRACE(fall);
        r->SetRagdoll(1);
        ASSERT_NE(r->RagDoll, nullptr);
        EXPECT_GT(r->RagDoll->bodies[0]->getWorldTransform().getOrigin().y(), 2.0f);
        const int frames = FramesToRest(r, 10.0f);
        ASSERT_GT(frames, 0) << "comes to rest within 10 s with finite numbers";
        EXPECT_EQ(r->inWorld, 0);
        for (const btRigidBody* b : r->RagDoll->bodies)
            EXPECT_FALSE(b->isInWorld());
        EXPECT_EQ(Objects(), before - 1) << "neither the ragdoll nor the riding box is simulated";
        EXPECT_EQ(Joints(), 0);
        EXPECT_LT(r->Position[1], 0.6f) << "on the ground";
        // Still there to draw, at the pelvis.
        const btVector3 pelvis = r->RagDoll->bodies[0]->getWorldTransform().getOrigin();
        EXPECT_NEAR(r->Position[0], pelvis.x(), 1e-4f);

        r->SetRagdoll(0);
        EXPECT_EQ(r->RagDoll, nullptr);
        EXPECT_EQ(r->inWorld, 1);
        EXPECT_EQ(Objects(), before);
    }
}

TEST_F(RiderDemoDataTest, DustAtMostTenTimesASecondAndNeverWhenSlow)
{
    CVehicleObject* v = PlaceWithRider(0, 0.8f, 0);
    CHumanObject* r = v->Rider;
    const float point[3] = {0, 0, 0};
    for (float speed : {3.0f, 1.9f})
    {
        SCOPED_TRACE(speed);
        int puffs = 0;
        r->DustTimer = 0.0f;
        for (int i = 0; i < 600; ++i)
        {
            r->DustTimer += kStep;
            r->linearVelocity[0] = speed;
            r->linearVelocity[1] = r->linearVelocity[2] = 0.0f;
            r->SpawnDust(point);
            puffs += r->DustTimer == 0.0f;
        }
        if (speed >= 2.0f)
        {
            EXPECT_LE(puffs, 100);
            EXPECT_GE(puffs, 80);
        }
        else
            EXPECT_EQ(puffs, 0);
    }
    const float v3[3] = {4, 0, 0};
    const RiderDustPuff summer = MakeRiderDustPuff(point, v3, 0.1f, 0);
    EXPECT_FLOAT_EQ(summer.colour[0], 0.55f * 0.25f) << "the light never drops below 0.25";
    EXPECT_FLOAT_EQ(summer.colour[2], 0.15f * 0.25f);
    EXPECT_FLOAT_EQ(summer.velocity[1], 0.5f);
    EXPECT_FLOAT_EQ(summer.growth, 0.2f * std::sqrt(3.0f * 3.0f + 0.25f));
    const RiderDustPuff winter = MakeRiderDustPuff(point, v3, 1.0f, 1);
    EXPECT_FLOAT_EQ(winter.colour[1], winter.colour[0]);
    EXPECT_FLOAT_EQ(winter.colour[2], winter.colour[0]);
}

TEST_F(RiderDemoDataTest, SteeringFrameFollowsTheHandlebar)
{
    CVehicleObject* v = PlaceWithRider(0, 0.8f, 0);
    CHumanObject* r = v->Rider;
    const struct
    {
        float handlebar;
        int frame;
    } cases[] = {{-0.465f, 1}, {0.0f, 5}, {0.465f, 9}, {0.9f, 9}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.handlebar);
        v->HandlebarAngle = c.handlebar;
        for (int i = 0; i < 60; ++i)
            r->UpdateAnimation();
        EXPECT_EQ(r->currentPart, c.frame);
        EXPECT_EQ(r->Action, ACTION_STEERING);
    }
}

TEST_F(RiderDemoDataTest, StandUpLiftsAlongItsCurveAndReturnsAtHalfRate)
{
    CVehicleObject* v = PlaceWithRider(0, 0.8f, 0);
    CHumanObject* r = v->Rider;
    const int first = r->ActionFrames[ACTION_STANDUP][0], last = r->ActionFrames[ACTION_STANDUP][1];
    const float pi = 3.14159265f;

    // Held to the top.
    r->StandUpRequest = 1;
    float topLift = 0.0f;
    for (int i = 0; i < 600 && r->AnimFrame < (float)last + 0.5f; ++i)
    {
        r->UpdateAnimation();
        ASSERT_EQ(r->Action, ACTION_STANDUP);
        if (r->AnimFrame < (float)(last + 1))
        {
            const float expected = 1.0f - std::cos((r->AnimFrame - first) / (float)(last - first) * pi * 0.5f);
            EXPECT_NEAR(r->StandUpLift, expected, 1e-5f);
            topLift = r->StandUpLift;
        }
        EXPECT_LE(r->currentPart, last);
        EXPECT_GE(r->currentPart, first);
    }
    EXPECT_GT(topLift, 0.95f);

    // Risen half-way, then released: back at half the rising rate.
    r->SetAction(ACTION_STEERING);
    r->StandUpRequest = 1;
    int rising = 0;
    while (r->AnimFrame < first + (last - first) * 0.5f && rising < 600)
    {
        r->UpdateAnimation();
        ++rising;
    }
    const float from = r->AnimFrame;
    r->StandUpRequest = 0;
    int returning = 0;
    while (r->Action == ACTION_STANDUP && returning < 1200)
    {
        r->UpdateAnimation();
        // The frame that notices the release only turns back.
        if (returning > 0)
        {
            EXPECT_FLOAT_EQ(r->StandUpLift, 0.0f);
        }
        ++returning;
    }
    EXPECT_EQ(r->Action, ACTION_STEERING);
    // Rising covered (from - first) frames, returning (from - first + 1).
    const float risingRate = (from - first) / (float)(rising - 1);
    const float returnRate = (from - first + 1.0f) / (float)(returning - 1);
    EXPECT_NEAR(returnRate / risingRate, 0.5f, 0.12f);
}

TEST_F(RiderDemoDataTest, PlayerCannotKickWhileSteeringHardNorStandUpWhileKicking)
{
    CVehicleObject* v = PlaceWithRider(0, 0.8f, 0);
    g_PlayerVehicle = v;
    v->ControlMode = CONTROL_KEYBOARD;
    CHumanObject* r = v->Rider;
    g_ControlFlags[CTRL_KICK_LEFT] = 1;
    v->Steer = 0.3f;
    r->ReadPlayerKeys();
    EXPECT_EQ(r->KickLeftRequest, 0);
    v->Steer = 0.1f;
    r->ReadPlayerKeys();
    EXPECT_EQ(r->KickLeftRequest, 1);
    r->SetAction(ACTION_KICK_LEFT);
    g_ControlFlags[CTRL_JUMP] = 1;
    r->ReadPlayerKeys();
    EXPECT_EQ(r->StandUpRequest, 0);
    g_ControlFlags[CTRL_KICK_LEFT] = g_ControlFlags[CTRL_JUMP] = 0;
    g_PlayerVehicle = nullptr;
}

struct KickCase
{
    float step;    // game step
    float speed;   // frames per second of the kick
};

class RiderKickDemoDataTest : public RiderDemoDataTest, public ::testing::WithParamInterface<KickCase>
{};

// The kicker rides with a rival 0.8 to its right; the kick to the right
// strikes it once, when the frame reaches or passes the strike frame, also
// at a low frame rate where the animation steps over that frame.
TEST_P(RiderKickDemoDataTest, StrikesOnceAndNotWhileKicked)
{
    const KickCase c = GetParam();
    CVehicleObject* kicker = PlaceWithRider(0, 0.8f, 0);
    CVehicleObject* rival = PlaceWithRider(0.8f, 0.8f, 0.1f);
    Freeze(kicker);
    Freeze(rival);
    kicker->Update();
    rival->Update();
    CHumanObject* r = kicker->Rider;
    r->ActionSpeed[ACTION_KICK_RIGHT] = c.speed;
    const int strikeFrame = r->ActionFrames[ACTION_KICK_RIGHT][0] + 8;
    g_Clock.m_GameStep = c.step;

    for (float ownKicked : {0.0f, 0.5f})
    {
        SCOPED_TRACE(ownKicked);
        kicker->KickedTimer = ownKicked;
        rival->KickedTimer = 0.0f;
        rival->Steer = 0.0f;
        r->SetAction(ACTION_STEERING);
        r->KickRightRequest = 1;
        r->UpdateAnimation();
        ASSERT_EQ(r->Action, ACTION_KICK_RIGHT);
        int strikes = 0, frames = 0;
        while (r->Action == ACTION_KICK_RIGHT && frames < 1000)
        {
            const int before = r->currentPart;
            r->UpdateAnimation();
            ++frames;
            if (rival->KickedTimer == 1.0f)
            {
                ++strikes;
                EXPECT_FLOAT_EQ(rival->Steer, 0.6f) << "pushed away to its right";
                // The frame that reaches or passes the strike frame, not one before it.
                EXPECT_LT(before, strikeFrame);
                EXPECT_GE(r->currentPart, strikeFrame);
                rival->KickedTimer = 0.0f;
            }
        }
        EXPECT_EQ(r->Action, ACTION_STEERING);
        EXPECT_EQ(r->KickRightRequest, 0);
        EXPECT_EQ(strikes, ownKicked > 0.0f ? 0 : 1);
    }
    g_Clock.m_GameStep = kStep;
}

INSTANTIATE_TEST_SUITE_P(FrameRates, RiderKickDemoDataTest,
                         ::testing::Values(KickCase{1.0f / 60.0f, 22.0f}, KickCase{0.05f, 22.0f},
                                           KickCase{0.05f, 50.0f}));

TEST_F(RiderDemoDataTest, ListKeepsOrderAndHoldsSixtyFour)
{
    g_HumanManager.DeleteAll();
    CHumanObject* a = g_HumanManager.Add(g_HumanFile, nullptr, nullptr, nullptr);
    CHumanObject* b = g_HumanManager.Add(g_HumanFile, nullptr, nullptr, nullptr);
    CHumanObject* c = g_HumanManager.Add(g_HumanFile, nullptr, nullptr, nullptr);
    g_HumanManager.Remove(b);
    ASSERT_EQ(g_HumanManager.count, 2);
    EXPECT_EQ(g_HumanManager.riders[0], a);
    EXPECT_EQ(g_HumanManager.riders[1], c);
    EXPECT_EQ(g_HumanManager.riders[2], nullptr);
    g_HumanManager.Remove(b);
    EXPECT_EQ(g_HumanManager.count, 2) << "a rider not in the list is ignored";

    while (g_HumanManager.count < HUMAN_MAX_RIDERS)
        ASSERT_NE(g_HumanManager.Add(g_HumanFile, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(g_HumanManager.Add(g_HumanFile, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(g_HumanManager.count, HUMAN_MAX_RIDERS);
    // A full list leaves a new motorcycle riderless.
    CVehicleObject* v = Place(0, 0, 0.8f, 0);
    v->CreateRider();
    EXPECT_EQ(v->Rider, nullptr);
    g_HumanManager.DeleteAll();
    EXPECT_EQ(g_HumanManager.count, 0);
}

TEST_F(RiderDemoDataTest, FallenRiderDrawsElevenPartsWithTheFilesRanges)
{
    const RiderFigure figure = BuildRiderFigure();
    CVehicleObject* v = PlaceWithRider(0, 0.8f, 0);
    Freeze(v);
    CHumanObject* r = v->Rider;
    r->SetRagdoll(1);
    ASSERT_GT(FramesToRest(r, 10.0f), 0);
    r->visible = 1;
    r->inShadow = 1;
    r->cameraDistance = 10.0f;
    for (bool shadowPass : {false, true})
    {
        SCOPED_TRACE(shadowPass);
        D3DClearRecordedCalls();
        if (shadowPass)
            g_HumanManager.RenderShadows();
        else
            g_HumanManager.Render();
        std::vector<std::string> draws;
        for (const std::string& call : D3DRecordedCalls())
            if (call.rfind("DrawIndexedPrimitive", 0) == 0)
                draws.push_back(call);
        ASSERT_EQ(draws.size(), (size_t)HUMAN_PARTS);
        for (int k = 0; k < HUMAN_PARTS; ++k)
        {
            char expected[128];
            std::snprintf(expected, sizeof(expected), "DrawIndexedPrimitive(TRIANGLELIST, 0, %d, %d, %d, %d)",
                          figure.partVertices[k][0], figure.partVertices[k][1], 3 * figure.partTriangles[k][0],
                          figure.partTriangles[k][1]);
            EXPECT_EQ(draws[(size_t)k], expected);
        }
    }
}

TEST_F(RiderDemoDataTest, ContactWithAnotherBodyThrowsTheRiderThroughTheContactPass)
{
    CVehicleObject* v = PlaceWithRider(0, 0.8f, 0);
    for (int i = 0; i < 10; ++i)
        RiderFrame(v);
    CHumanObject* r = v->Rider;
    ASSERT_EQ(r->RagDoll, nullptr);

    // A crate dropped onto the rider's head.
    CStaticObject crate;
    crate.objectClass = GCLASS_DYNAMIC;
    btBoxShape shape(btVector3(0.2f, 0.2f, 0.2f));
    btVector3 inertia;
    shape.calculateLocalInertia(5.0f, inertia);
    const btVector3 head = r->body->getWorldTransform().getOrigin();
    btTransform at;
    at.setIdentity();
    at.setOrigin(head + btVector3(0, 0.6f, 0));
    btDefaultMotionState motion(at);
    btRigidBody box(5.0f, &motion, &shape, inertia);
    box.setUserPointer(&crate);
    g_PhysicsWorld.dynamicsWorld->addRigidBody(&box);
    for (int i = 0; i < 120 && !r->RagDoll; ++i)
        RiderFrame(v);
    ASSERT_NE(r->RagDoll, nullptr);
    EXPECT_EQ(r->inWorld, 1);
    RemoveBodyFromWorld(&box);
    Freeze(v);
    // Once it rests the ragdoll leaves the world: the flag was left for it.
    EXPECT_GT(FramesToRest(r, 10.0f), 0);
}

TEST_F(RiderDemoDataTest, MotorcycleThrowsItsRiderOnASuddenStopOrTurnedOver)
{
    CVehicleObject* v = PlaceWithRider(0, 0.8f, 0);
    for (int i = 0; i < 10; ++i)
        RiderFrame(v);
    // A stop from 15 to 0 along x in one frame.
    v->body->setLinearVelocity(btVector3(0, 0, 0));
    v->PreviousVelocity[0] = 15.0f;
    v->SyncFromBody();
    ASSERT_NE(v->Rider->RagDoll, nullptr);
    const btVector3 thrown = v->Rider->RagDoll->bodies[0]->getLinearVelocity();
    EXPECT_NEAR(thrown.x(), 12.0f, 0.1f);
    EXPECT_NEAR(thrown.y(), 3.0f, 0.1f);

    // While fallen the motorcycle does not lean.
    v->Lean = 0.3f;
    v->Steer = 0.5f;
    v->UpdateLean();
    EXPECT_FLOAT_EQ(v->Lean, 0.3f);

    v->Rider->SetRagdoll(0);
    const float pos[3] = {0, 0.8f, 0}, target[3] = {0, 0.8f, 10}, down[3] = {0, -1, 0};
    v->SetPosition(pos, target, down, CONTROL_COMPUTER, RACER_PLAYER);
    v->SyncFromBody();
    EXPECT_NE(v->Rider->RagDoll, nullptr) << "turned over";
}

TEST_F(RiderDemoDataTest, HandlebarStaysStraightWhileTheRiderKicks)
{
    CVehicleObject* v = PlaceWithRider(0, 0.8f, 0);
    g_HumanManager.Update();
    v->SteerInput = 1.0f;
    v->Update();
    EXPECT_GT(v->HandlebarAngle, 0.0f);
    v->Rider->SetAction(ACTION_KICK_LEFT);
    v->SteerInput = 1.0f;
    v->Update();
    EXPECT_FLOAT_EQ(v->HandlebarAngle, 0.0f);
}

TEST_F(RiderDemoDataTest, ReleasedMotorcycleTakesItsRiderAlong)
{
    CVehicleObject* v = PlaceWithRider(0, 0.8f, 0);
    v->Rider->SetRagdoll(1);
    const int riders = g_HumanManager.count;
    g_Vehicles.RemoveVehicle(v);
    EXPECT_EQ(g_HumanManager.count, riders - 1);
    EXPECT_EQ(Joints(), 0) << "the ragdoll's joints left with it";
}

TEST(RiderManagerTest, WithoutRiderDataGoesOnAndNobodyFalls)
{
    testdata::MessageCapture messages;
    testdata::DataFolder folder(DataTree(), true);
    ASSERT_EQ(g_PhysicsWorld.Create(), 1);
    EXPECT_EQ(g_HumanManager.Create(), 1);
    EXPECT_EQ(g_HumanPartShapes[0], nullptr);
    bool told = false;
    for (const std::string& m : testdata::Messages())
        told = told || m.rfind("CHumanManager::Create() error!|", 0) == 0;
    EXPECT_TRUE(told);
    CHumanObject* r = g_HumanManager.Add(g_HumanFile, nullptr, nullptr, nullptr);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Usable(), 0);
    r->SetRagdoll(1);
    EXPECT_EQ(r->RagDoll, nullptr);
    g_HumanManager.Release();
    g_PhysicsWorld.Destroy();
}

TEST(RiderSeatTest, MotorcycleWithoutASeatPointGetsNoRider)
{
    testdata::MessageCapture messages;
    landtest::RecordingDevice device;
    vehiclefixture::Options o;
    o.seatPoint = false;
    testdata::DataFolder folder(vehiclefixture::Tree(o), true);
    ASSERT_EQ(g_PhysicsWorld.Create(), 1);
    CVehicleObject* v = g_Vehicles.AddVehicle(vehiclefixture::kFile);
    const float pos[3] = {0, 1, 0}, target[3] = {0, 1, 1}, up[3] = {0, 1, 0};
    v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_AI);
    ASSERT_NE(v->body, nullptr);
    v->CreateRider();
    EXPECT_EQ(v->Rider, nullptr);
    ASSERT_FALSE(testdata::Messages().empty());
    EXPECT_EQ(testdata::Messages().back(), "CreateRider() error!|Motorcycle has no seat point!");
    g_Vehicles.Clear();
    g_PhysicsWorld.Destroy();
}

}   // namespace
