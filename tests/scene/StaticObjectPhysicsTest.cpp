// Bodies of placed objects: built when placed, entering and leaving the
// physics world by camera distance, fences that stay while touched, re-seating
// at the placement, reading a moved body back, and objects that can have no
// body.
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <cmath>

#include "common/Keywords.h"
#include "scene/PlacedObjectFixture.h"

using placedtest::PlacedObjectTest;

namespace
{

class PlacedBodyTest : public PlacedObjectTest
{};

TEST_F(PlacedBodyTest, BuildingCentreIsItsPositionAndItsRadiusIgnoresHeight)
{
    CStaticObject* tall = Make("Data/T/Tall.obj", 10, 5, 20);
    CStaticObject* low = Make("Data/T/Low.obj", 10, 5, 20);
    for (CStaticObject* o : {tall, low})
    {
        EXPECT_FLOAT_EQ(o->worldCentre[0], 10);
        EXPECT_FLOAT_EQ(o->worldCentre[1], 5);
        EXPECT_FLOAT_EQ(o->worldCentre[2], 20);
        // Half the diagonal of the 4 x 6 footprint, whatever the height.
        EXPECT_NEAR(o->boundRadius, 0.5f * std::sqrt(16.0f + 36.0f), 1e-5f);
        ASSERT_NE(o->corners, nullptr);
        EXPECT_NEAR(o->corners[7].y - o->corners[0].y, o == tall ? 40.0f : 20.0f, 1e-4f);
        ASSERT_NE(o->body, nullptr);
        EXPECT_EQ(o->inWorld, 0);
        EXPECT_EQ(o->body->getActivationState(), ISLAND_SLEEPING);
        EXPECT_EQ(o->body->getUserPointer(), o);
    }
    Drop(tall);
    Drop(low);
}

TEST_F(PlacedBodyTest, BodyEntersNearerThan24AndLeavesBeyond)
{
    struct Case
    {
        const char* path;
        int startInWorld;
        float distance;   // of the sphere's surface from the eye
        int inWorld;
    };
    const Case cases[] = {
        {"Data/T/Sign.obj", 0, 23.9f, 1}, {"Data/T/Sign.obj", 0, 24.0f, 0},  {"Data/T/Sign.obj", 1, 24.0f, 1},
        {"Data/T/Sign.obj", 1, 24.1f, 0}, {"Data/T/Low.obj", 0, 10.0f, 1},   {"Data/T/Low.obj", 1, 80.0f, 0},
        {"Data/T/Fence.obj", 0, 5.0f, 1}, {"Data/T/Fence.obj", 1, 30.0f, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.path) + " " + std::to_string(c.distance));
        CStaticObject* o = Make(c.path, 0, 0, 0);
        ASSERT_NE(o->body, nullptr);
        o->EnablePhysics(c.startInWorld);
        const int before = BodiesInWorld();
        // The eye straight above the world centre, so the distance is exact.
        const D3DXVECTOR3 eye(o->worldCentre[0], o->worldCentre[1] + o->boundRadius + c.distance, o->worldCentre[2]);
        Look(eye, eye + D3DXVECTOR3(0, -1, 0.01f));
        o->touched = 1;
        o->body->forceActivationState(ISLAND_SLEEPING);
        o->Update();
        EXPECT_NEAR(o->cameraDistance, c.distance, 1e-3f);
        EXPECT_EQ(o->inWorld, c.inWorld);
        EXPECT_EQ(BodiesInWorld() - before, c.inWorld - c.startInWorld);
        Drop(o);
    }
}

TEST_F(PlacedBodyTest, TouchedFenceStaysInTheWorldUntilItsBodySleeps)
{
    CStaticObject* fence = Make("Data/T/Fence.obj", 0, 0, 0);
    ASSERT_NE(fence->body, nullptr);
    EXPECT_FLOAT_EQ(fence->mass, 4.0f);
    Look(D3DXVECTOR3(0, 2, -5), D3DXVECTOR3(0, 0, 0));
    fence->Update();
    ASSERT_EQ(fence->inWorld, 1);

    // Hit and pushed: awake and touched; the camera goes far away.
    fence->touched = 1;
    fence->body->activate(true);
    fence->body->setLinearVelocity(btVector3(3, 0, 0));
    Look(D3DXVECTOR3(0, 2, -200), D3DXVECTOR3(0, 0, 0));
    for (int frame = 0; frame < 3; ++frame)
    {
        fence->Update();
        EXPECT_EQ(fence->inWorld, 1);
        EXPECT_EQ(fence->touched, 1);
    }
    // Once at rest it leaves on the next frame beyond the distance.
    fence->body->forceActivationState(ISLAND_SLEEPING);
    fence->Update();
    EXPECT_EQ(fence->touched, 0);
    EXPECT_EQ(fence->inWorld, 0);
    Drop(fence);
}

TEST_F(PlacedBodyTest, ReseatingPutsAFallenFenceBackAtRestAndKeepsItInTheWorld)
{
    CStaticObject* fence = Make("Data/T/Fence.obj", 3, 1, 4);
    fence->EnablePhysics(1);
    // Knocked over: moved, turned and moving.
    btTransform fallen(btQuaternion(btVector3(0, 0, 1), 1.2f), btVector3(8, 0.2f, 9));
    fence->body->setWorldTransform(fallen);
    fence->body->getMotionState()->setWorldTransform(fallen);
    fence->body->activate(true);
    fence->body->setLinearVelocity(btVector3(2, 1, 0));
    fence->body->setAngularVelocity(btVector3(0, 3, 0));

    float pos[3], target[3], up[3];
    fence->InitPhysics(-1.0f, pos, target, up);
    EXPECT_FLOAT_EQ(pos[0], 3);
    EXPECT_FLOAT_EQ(pos[1], 1);
    EXPECT_FLOAT_EQ(pos[2], 4);
    EXPECT_NEAR(target[2], 104, 1e-4f);
    EXPECT_NEAR(up[1], 1, 1e-6f);
    const btTransform& t = fence->body->getWorldTransform();
    // The compound is centred on its box: the body sits half a unit up.
    EXPECT_NEAR(t.getOrigin().x(), 3, 1e-5f);
    EXPECT_NEAR(t.getOrigin().y(), 1.5f, 1e-5f);
    EXPECT_NEAR(t.getOrigin().z(), 4, 1e-5f);
    EXPECT_NEAR(t.getBasis().getRow(1).y(), 1, 1e-5f);
    EXPECT_EQ(fence->body->getLinearVelocity().length(), 0);
    EXPECT_EQ(fence->body->getAngularVelocity().length(), 0);
    EXPECT_EQ(fence->body->getActivationState(), ISLAND_SLEEPING);
    EXPECT_EQ(fence->inWorld, 1);
    EXPECT_TRUE(fence->body->isInWorld());
    // The drawn mesh follows on the next update.
    fence->Update();
    EXPECT_NEAR(fence->world._42, 1, 1e-5f);
    Drop(fence);
}

TEST_F(PlacedBodyTest, MasslessBodiesAreStaticAndBodiesWithMassAreDamped)
{
    CStaticObject* sign = Make("Data/T/Sign.obj", 0, 0, 0);
    CStaticObject* fence = Make("Data/T/Fence.obj", 5, 0, 0);
    EXPECT_TRUE(sign->body->getCollisionFlags() & btCollisionObject::CF_STATIC_OBJECT);
    EXPECT_EQ(sign->body->getLinearDamping(), 0);
    EXPECT_FALSE(fence->body->getCollisionFlags() & btCollisionObject::CF_STATIC_OBJECT);
    EXPECT_NEAR(fence->body->getLinearDamping(), 0.05f, 1e-6f);
    EXPECT_NEAR(fence->body->getAngularDamping(), 0.85f, 1e-6f);
    for (CStaticObject* o : {sign, fence})
    {
        EXPECT_EQ(o->body->getFriction(), 1);
        EXPECT_EQ(o->body->getRestitution(), 0);
        EXPECT_NEAR(o->body->getLinearSleepingThreshold(), 1.6f, 1e-6f);
        EXPECT_NEAR(o->body->getAngularSleepingThreshold(), 2.5f, 1e-6f);
    }
    // The sign has no shape kind of its own: massless, it gets the triangle mesh.
    EXPECT_EQ(sign->body->getCollisionShape(), sign->meshRecord->triangleShape);
    EXPECT_EQ(fence->body->getCollisionShape(), fence->meshRecord->compoundShape);
    Drop(sign);
    Drop(fence);
}

TEST_F(PlacedBodyTest, ScaledObjectGetsItsOwnScaledMeshWhateverTheRecordAsks)
{
    const float scale[3] = {4, 1, 1};
    CStaticObject* first = Make("Data/T/Sign.obj", 0, 0, 0);
    first->meshRecord->shapeKind = SHAPE_TYPE_CONVEXHULL;
    CStaticObject* scaled = Make("Data/T/Sign.obj", 0, 0, 5, scale);
    ASSERT_NE(scaled->shape, nullptr);
    EXPECT_EQ(scaled->body->getCollisionShape(), scaled->shape);
    EXPECT_EQ(scaled->shape->getShapeType(), SCALED_TRIANGLE_MESH_SHAPE_PROXYTYPE);
    EXPECT_FLOAT_EQ(scaled->shape->getLocalScaling().x(), 4);
    Drop(first);
    Drop(scaled);
}

TEST_F(PlacedBodyTest, EnablingTwiceAddsTheBodyOnceAndNothingHappensWithoutABody)
{
    CStaticObject* sign = Make("Data/T/Sign.obj", 0, 0, 0);
    const int before = BodiesInWorld();
    sign->EnablePhysics(1);
    sign->EnablePhysics(1);
    EXPECT_EQ(BodiesInWorld(), before + 1);
    sign->EnablePhysics(0);
    sign->EnablePhysics(0);
    EXPECT_EQ(BodiesInWorld(), before);

    CStaticObject bodiless;
    bodiless.EnablePhysics(1);
    EXPECT_EQ(bodiless.inWorld, 0);
    EXPECT_EQ(BodiesInWorld(), before);
    bodiless.SyncFromBody();
    bodiless.RemoveBody();
    Drop(sign);
}

TEST_F(PlacedBodyTest, TurnedBodyTurnsTheDrawnMeshAboutTheBodyOrigin)
{
    CStaticObject* fence = Make("Data/T/Fence.obj", 2, 0, 3);
    // A quarter turn about y around the body's origin (half a unit above the
    // object's origin, where the compound is centred).
    btTransform turned(btQuaternion(btVector3(0, 1, 0), SIMD_HALF_PI), btVector3(2, 0.5f, 3));
    fence->body->getMotionState()->setWorldTransform(turned);
    fence->SyncFromBody();
    // Object +x now points along world -z; the origin is back at y 0.
    EXPECT_NEAR(fence->world._11, 0, 1e-5f);
    EXPECT_NEAR(fence->world._13, -1, 1e-5f);
    EXPECT_NEAR(fence->world._41, 2, 1e-5f);
    EXPECT_NEAR(fence->world._42, 0, 1e-5f);
    EXPECT_NEAR(fence->world._43, 3, 1e-5f);
    Drop(fence);
}

TEST_F(PlacedBodyTest, ObjectsWithoutMeshOrShapeGetNoBody)
{
    // No mesh record at all: nothing to build a shape from, no message of its own.
    CStaticObject* missing = Make("Data/T/NoMesh.obj", 0, 0, 0);
    EXPECT_EQ(missing->meshRecord, nullptr);
    EXPECT_EQ(missing->body, nullptr);
    CStaticObject nothing;
    const float p[3] = {0, 0, 0}, t[3] = {0, 0, 1}, u[3] = {0, 1, 0};
    nothing.objectType = GTYPE_BUILDING;
    nothing.Place(p, t, u);
    EXPECT_EQ(nothing.body, nullptr);
    EXPECT_EQ(nothing.corners, nullptr);

    // A mesh without collision slots: reported, no body.
    testdata::Messages().clear();
    CStaticObject* bare = Make("Data/T/Bare.obj", 0, 0, 0);
    EXPECT_EQ(bare->body, nullptr);
    ASSERT_EQ(testdata::Messages().size(), 1u);
    EXPECT_EQ(testdata::Messages()[0], "InitPhysics() error!|Collision shape is empty!");
    Drop(missing);
    Drop(bare);
}

TEST_F(PlacedBodyTest, AMotorcycleThatHitsAPropPushesIt)
{
    // Level ground, a movable fence standing on it, and a heavy box of the
    // motorcycle class driven into it.
    btStaticPlaneShape ground(btVector3(0, 1, 0), 0);
    btRigidBody groundBody(0, nullptr, &ground);
    const auto savedLandscape = g_PhysicsObjectAccess.landscape;   // the game's terrain, put back below
    g_PhysicsObjectAccess.landscape = &ground;
    groundBody.setUserPointer(&ground);
    g_PhysicsWorld.dynamicsWorld->addRigidBody(&groundBody);

    CStaticObject* fence = Make("Data/T/Fence.obj", 0, 0, 0);
    Look(D3DXVECTOR3(0, 2, -6), D3DXVECTOR3(0, 0, 0));
    fence->Update();
    ASSERT_EQ(fence->inWorld, 1);

    CStaticObject rider;
    rider.objectClass = GCLASS_VEHICLE;
    btBoxShape box(btVector3(0.4f, 0.5f, 1.0f));
    btVector3 inertia;
    box.calculateLocalInertia(200, inertia);
    btDefaultMotionState* state =
        new btDefaultMotionState(btTransform(btQuaternion::getIdentity(), btVector3(0, 0.55f, -4)));
    btRigidBody bike(200, state, &box, inertia);
    bike.setUserPointer(&rider);
    bike.setLinearVelocity(btVector3(0, 0, 12));
    g_PhysicsWorld.dynamicsWorld->addRigidBody(&bike);

    for (int step = 0; step < 60; ++step)
    {
        g_PhysicsWorld.dynamicsWorld->stepSimulation(1.0f / 60.0f, 1, 1.0f / 60.0f);
        g_PhysicsWorld.ProcessContacts();
        fence->Update();
    }
    EXPECT_EQ(fence->touched, 1);
    EXPECT_GT(fence->body->getWorldTransform().getOrigin().z(), 1.0f);
    EXPECT_GT(fence->world._43, 1.0f);

    g_PhysicsWorld.dynamicsWorld->removeRigidBody(&bike);
    g_PhysicsWorld.dynamicsWorld->removeRigidBody(&groundBody);
    delete state;
    g_PhysicsObjectAccess.landscape = savedLandscape;
    Drop(fence);
}

}   // namespace
