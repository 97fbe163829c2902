// The physics world on a real Bullet world: the class filter in both phases,
// the deferred contact reactions, the fixed substeps and the teardown.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/Keywords.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "core/Settings.h"
#include "world/Landscape.h"

namespace
{
// The little a body's owner needs to be for the contact pass.
struct TestObject
{
    int objectClass = GCLASS_NONE;
    int objectType = GTYPE_NONE;
    int touched = 0;
    TestObject* ridingOn = nullptr;   // riders: their motorcycle while riding
    btRigidBody* body = nullptr;
};

TestObject* Obj(CStaticObject* o)
{
    return reinterpret_cast<TestObject*>(o);
}
const TestObject* Obj(const CStaticObject* o)
{
    return reinterpret_cast<const TestObject*>(o);
}

struct Reaction
{
    std::string kind;
    const void* object;
    const void* partner;
    btVector3 normal;
    btVector3 point;
};
std::vector<Reaction> g_Reactions;
btDiscreteDynamicsWorld* g_World = nullptr;

// What a real throw-off does to the world: the riding box leaves it and is
// deleted, which frees the manifolds it had.
void ThrowOffRemovingBody(CStaticObject* rider)
{
    TestObject* r = Obj(rider);
    g_Reactions.push_back({"throw", rider, nullptr, btVector3(0, 0, 0), btVector3(0, 0, 0)});
    if (r->ridingOn && r->body)
    {
        g_World->removeRigidBody(r->body);
        delete r->body->getMotionState();
        delete r->body;
        r->body = nullptr;
    }
    r->ridingOn = nullptr;
}

class PhysicsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        saved = g_PhysicsObjectAccess;
        g_PhysicsObjectAccess.objectClass = [](const CStaticObject* o) { return Obj(o)->objectClass; };
        g_PhysicsObjectAccess.objectType = [](const CStaticObject* o) { return Obj(o)->objectType; };
        g_PhysicsObjectAccess.setTouched = [](CStaticObject* o) { Obj(o)->touched = 1; };
        g_PhysicsObjectAccess.ridingOn = [](const CStaticObject* o) {
            return reinterpret_cast<const CStaticObject*>(Obj(o)->ridingOn);
        };
        g_PhysicsObjectAccess.onImpact = [](CStaticObject* v, const float* p, const float* n, CStaticObject* partner) {
            g_Reactions.push_back({"impact", v, partner, btVector3(n[0], n[1], n[2]), btVector3(p[0], p[1], p[2])});
        };
        g_PhysicsObjectAccess.throwOff = ThrowOffRemovingBody;
        g_PhysicsObjectAccess.spawnDust = [](CStaticObject* r, const float* p) {
            g_Reactions.push_back({"dust", r, nullptr, btVector3(0, 0, 0), btVector3(p[0], p[1], p[2])});
        };
        g_Reactions.clear();
        savedDebug = g_DebugMode;
        ASSERT_EQ(1, g_PhysicsWorld.Create());
        g_World = g_PhysicsWorld.dynamicsWorld;
    }

    void TearDown() override
    {
        g_PhysicsWorld.Destroy();
        g_World = nullptr;
        g_PhysicsObjectAccess = saved;
        g_DebugMode = savedDebug;
        g_KeyFlags[KEY_DELETE] = 0;
    }

    // A box body owned by `owner` (user pointer), added to the world.
    btRigidBody* AddBox(void* owner, const btVector3& centre, const btVector3& half, float mass)
    {
        shapes.emplace_back(new btBoxShape(half));
        btVector3 inertia(0, 0, 0);
        if (mass > 0)
            shapes.back()->calculateLocalInertia(mass, inertia);
        btTransform t;
        t.setIdentity();
        t.setOrigin(centre);
        btRigidBody* body = new btRigidBody(mass, new btDefaultMotionState(t), shapes.back().get(), inertia);
        body->setUserPointer(owner);
        g_PhysicsWorld.dynamicsWorld->addRigidBody(body);
        return body;
    }

    // The ground as the landscape's own body.
    btRigidBody* AddGround() { return AddBox(&g_Landscape, btVector3(0, -1, 0), btVector3(50, 1, 50), 0); }

    void Step(float seconds)
    {
        g_Clock.m_GameStep = seconds;
        g_PhysicsWorld.Step();
    }

    int PairsBetween(const btCollisionObject* a, const btCollisionObject* b)
    {
        btOverlappingPairCache* cache = g_PhysicsWorld.broadphase->getOverlappingPairCache();
        int n = 0;
        for (int i = 0; i < cache->getNumOverlappingPairs(); i++)
        {
            const btBroadphasePair& p = cache->getOverlappingPairArray()[i];
            const void* o0 = p.m_pProxy0->m_clientObject;
            const void* o1 = p.m_pProxy1->m_clientObject;
            if ((o0 == a && o1 == b) || (o0 == b && o1 == a))
                n++;
        }
        return n;
    }

    int Count(const std::string& kind, const void* object)
    {
        int n = 0;
        for (const Reaction& r : g_Reactions)
            if (r.kind == kind && r.object == object)
                n++;
        return n;
    }

    PhysicsObjectAccess saved;
    int savedDebug = 0;
    std::vector<std::unique_ptr<btBoxShape>> shapes;
};

TEST(CollisionTable, FlagsFollowTheClassesOfBothObjects)
{
    PhysicsObjectAccess saved = g_PhysicsObjectAccess;
    g_PhysicsObjectAccess = {};
    g_PhysicsObjectAccess.landscape = &g_Landscape;
    g_PhysicsObjectAccess.objectClass = [](const CStaticObject* o) { return Obj(o)->objectClass; };
    TestObject st, dyn, hum, veh, eff, land, none;
    st.objectClass = GCLASS_STATIC;
    dyn.objectClass = GCLASS_DYNAMIC;
    hum.objectClass = GCLASS_HUMAN;
    veh.objectClass = GCLASS_VEHICLE;
    eff.objectClass = GCLASS_EFFECT;
    land.objectClass = GCLASS_LANDSCAPE;
    const void* L = &g_Landscape;
    struct Case
    {
        const void* a;
        const void* b;
        int flag;
    } cases[] = {
        {L, &st, 0},     {&st, L, 0},      {&st, &st + 0, 0}, {L, &dyn, 1},     {&dyn, L, 1},       {L, &hum, 1},
        {L, &veh, 1},    {&st, &dyn, 1},   {&hum, &veh, 1},   {&dyn, &dyn, 0},  {&eff, L, 0},       {&eff, &dyn, 0},
        {&veh, &eff, 0}, {&land, &dyn, 0}, {&land, L, 0},     {&none, &dyn, 0}, {nullptr, &dyn, 0}, {L, L, 0},
    };
    TestObject st2;
    st2.objectClass = GCLASS_STATIC;
    for (const Case& c : cases)
        EXPECT_EQ(c.flag, GetCollisionFlag(c.a, c.b)) << GetCollisionIndex(c.a) << " " << GetCollisionIndex(c.b);
    EXPECT_EQ(0, GetCollisionFlag(&st, &st2)) << "static objects never test among themselves";
    g_PhysicsObjectAccess = saved;
}

TEST_F(PhysicsTest, StaticObjectNeverPairsWithTheLandscapeDynamicOneDoes)
{
    btRigidBody* ground = AddGround();
    TestObject placed, crate;
    placed.objectClass = GCLASS_STATIC;
    crate.objectClass = GCLASS_DYNAMIC;
    btRigidBody* placedBody = AddBox(&placed, btVector3(-5, 0.4f, 0), btVector3(0.5f, 0.5f, 0.5f), 0);
    btRigidBody* crateBody = AddBox(&crate, btVector3(5, 0.45f, 0), btVector3(0.5f, 0.5f, 0.5f), 1);
    for (int i = 0; i < 10; i++)
        Step(0.05f);
    EXPECT_EQ(0, PairsBetween(ground, placedBody)) << "filtered in the broadphase";
    EXPECT_EQ(1, PairsBetween(ground, crateBody));
    EXPECT_EQ(0, placed.touched);
    EXPECT_EQ(1, crate.touched);
    EXPECT_NEAR(0.5f, crateBody->getCenterOfMassPosition().y(), 0.05f) << "the crate rests on the ground";
}

TEST_F(PhysicsTest, EffectsAndForeignLandscapeObjectsFallThroughEverything)
{
    AddGround();
    TestObject crate;
    crate.objectClass = GCLASS_DYNAMIC;
    AddBox(&crate, btVector3(0, 0.5f, 0), btVector3(2, 0.5f, 2), 0);   // a resting crate under them
    for (int cls : {GCLASS_EFFECT, GCLASS_LANDSCAPE})
    {
        TestObject falling;
        falling.objectClass = cls;
        btRigidBody* body = AddBox(&falling, btVector3(0, 3, 0), btVector3(0.5f, 0.5f, 0.5f), 1);
        for (int i = 0; i < 30; i++)
            Step(0.05f);
        EXPECT_LT(body->getCenterOfMassPosition().y(), -4.0f) << "class " << cls;
        EXPECT_EQ(0, falling.touched) << "class " << cls;
        g_PhysicsWorld.dynamicsWorld->removeRigidBody(body);
        delete body->getMotionState();
        delete body;
    }
}

TEST_F(PhysicsTest, RiderStaysOnItsOwnMotorcycleAndFallsWhenAnotherTouchesIt)
{
    TestObject own, other, rider;
    own.objectClass = other.objectClass = GCLASS_VEHICLE;
    own.objectType = other.objectType = GTYPE_VEHICLE;
    rider.objectClass = GCLASS_HUMAN;
    rider.objectType = GTYPE_HUMAN;
    rider.ridingOn = &own;
    AddBox(&own, btVector3(0, 0, 0), btVector3(1, 0.5f, 1), 0);
    rider.body = AddBox(&rider, btVector3(0, 0.8f, 0), btVector3(0.3f, 0.4f, 0.3f), 1);
    Step(1.0f / 60);
    EXPECT_EQ(1, rider.touched);
    EXPECT_EQ(0, Count("throw", &rider)) << "its own motorcycle does not throw it";
    EXPECT_EQ(0, Count("impact", &own)) << "nor does it count as an impact";
    EXPECT_NE(nullptr, rider.body);

    AddBox(&other, btVector3(0.5f, 1.2f, 0), btVector3(0.5f, 0.3f, 0.5f), 0);
    Step(1.0f / 60);
    EXPECT_EQ(1, Count("throw", &rider));
    EXPECT_EQ(1, Count("impact", &other));
    EXPECT_EQ(nullptr, rider.body) << "thrown off after the walk";
}

TEST_F(PhysicsTest, TwoRidersThrownOffInOneContactPass)
{
    AddGround();
    TestObject bikeA, bikeB, riderA, riderB;
    bikeA.objectClass = bikeB.objectClass = GCLASS_VEHICLE;
    bikeA.objectType = bikeB.objectType = GTYPE_VEHICLE;
    riderA.objectClass = riderB.objectClass = GCLASS_HUMAN;
    riderA.ridingOn = &bikeA;
    riderB.ridingOn = &bikeB;
    // Each rider sits on the ground and on the other's motorcycle: several
    // manifolds per rider, all freed by the first throw-off of each.
    AddBox(&bikeA, btVector3(-3, 0.5f, 0), btVector3(1, 0.5f, 1), 0);
    AddBox(&bikeB, btVector3(3, 0.5f, 0), btVector3(1, 0.5f, 1), 0);
    riderA.body = AddBox(&riderA, btVector3(2.5f, 0.45f, 0), btVector3(0.6f, 0.5f, 0.3f), 1);
    riderB.body = AddBox(&riderB, btVector3(-2.5f, 0.45f, 0), btVector3(0.6f, 0.5f, 0.3f), 1);
    Step(1.0f / 60);
    EXPECT_GE(Count("throw", &riderA), 1);
    EXPECT_GE(Count("throw", &riderB), 1);
    EXPECT_EQ(nullptr, riderA.body);
    EXPECT_EQ(nullptr, riderB.body);
    EXPECT_GE(Count("dust", &riderA), 1) << "the ground contact raises dust";
    EXPECT_EQ(3, g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects());
    Step(1.0f / 60);   // the world goes on without the removed bodies
}

TEST_F(PhysicsTest, TwoMotorcyclesImpactEachOtherWithOppositeNormals)
{
    TestObject a, b;
    a.objectClass = b.objectClass = GCLASS_VEHICLE;
    a.objectType = b.objectType = GTYPE_VEHICLE;
    AddBox(&a, btVector3(0, 0, 0), btVector3(1, 1, 1), 0);
    AddBox(&b, btVector3(1.9f, 0, 0), btVector3(1, 1, 1), 1);
    g_PhysicsWorld.dynamicsWorld->setGravity(btVector3(0, 0, 0));
    Step(1.0f / 60);
    ASSERT_EQ(2u, g_Reactions.size());
    const Reaction& first = g_Reactions[0];
    const Reaction& second = g_Reactions[1];
    EXPECT_EQ("impact", first.kind);
    EXPECT_EQ("impact", second.kind);
    EXPECT_EQ(first.partner, second.object);
    EXPECT_EQ(second.partner, first.object);
    EXPECT_NEAR(-1.0f, first.normal.dot(second.normal), 1e-4f);
    EXPECT_NEAR(1.0f, std::fabs(first.normal.x()), 1e-3f) << "the boxes meet along x";
}

TEST_F(PhysicsTest, StepRunsFixedSubstepsUpToOneHundred)
{
    static int substeps;
    g_PhysicsWorld.dynamicsWorld->setInternalTickCallback([](btDynamicsWorld*, btScalar) { substeps++; });
    struct Case
    {
        float step;
        int expected;
    } cases[] = {{0.05f, 3}, {5.0f, 100}};
    for (const Case& c : cases)
    {
        g_PhysicsWorld.Destroy();
        g_PhysicsWorld.Create();
        g_World = g_PhysicsWorld.dynamicsWorld;
        g_PhysicsWorld.dynamicsWorld->setInternalTickCallback([](btDynamicsWorld*, btScalar) { substeps++; });
        substeps = 0;
        Step(c.step);
        EXPECT_EQ(c.expected, substeps) << c.step;
    }
}

TEST_F(PhysicsTest, DebugDeleteKeyFreezesTheWorldAndActiveBodiesAreCounted)
{
    TestObject crate;
    crate.objectClass = GCLASS_DYNAMIC;
    btRigidBody* body = AddBox(&crate, btVector3(0, 10, 0), btVector3(0.5f, 0.5f, 0.5f), 1);
    g_DebugMode = 1;
    g_KeyFlags[KEY_DELETE] = 1;
    Step(0.05f);
    EXPECT_FLOAT_EQ(10.0f, body->getCenterOfMassPosition().y());
    g_KeyFlags[KEY_DELETE] = 0;
    Step(0.05f);
    EXPECT_LT(body->getCenterOfMassPosition().y(), 10.0f);
    EXPECT_EQ(1, g_PhysicsWorld.activeBodies);
    body->forceActivationState(ISLAND_SLEEPING);
    Step(0.05f);
    EXPECT_EQ(0, g_PhysicsWorld.activeBodies);
    g_DebugMode = 0;
    body->activate(true);
    Step(0.05f);
    EXPECT_EQ(0, g_PhysicsWorld.activeBodies) << "counted only in debug mode";
}

TEST_F(PhysicsTest, WorldSetsSideFrictionAndGravityAndTearsDownEverything)
{
    sideFrictionStiffness2 = 0.0f;
    g_PhysicsWorld.Destroy();
    g_PhysicsWorld.Create();
    EXPECT_FLOAT_EQ(0.65f, sideFrictionStiffness2);
    EXPECT_FLOAT_EQ(-10.0f, g_PhysicsWorld.dynamicsWorld->getGravity().y());
    EXPECT_EQ(g_OverlapFilter, g_PhysicsWorld.broadphase->getOverlappingPairCache()->getOverlapFilterCallback());
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(g_OverlapFilter) % 16);
    TestObject crate;
    crate.objectClass = GCLASS_DYNAMIC;
    AddBox(&crate, btVector3(0, 1, 0), btVector3(0.5f, 0.5f, 0.5f), 1);
    AddBox(&crate, btVector3(0, 3, 0), btVector3(0.5f, 0.5f, 0.5f), 1);
    g_PhysicsWorld.Destroy();   // deletes the bodies and motion states left in it
    EXPECT_EQ(nullptr, g_PhysicsWorld.dynamicsWorld);
    EXPECT_EQ(nullptr, g_PhysicsWorld.broadphase);
    EXPECT_EQ(nullptr, g_PhysicsWorld.dispatcher);
    EXPECT_EQ(nullptr, g_PhysicsWorld.solver);
    EXPECT_EQ(nullptr, g_PhysicsWorld.collisionConfiguration);
    EXPECT_EQ(nullptr, g_PhysicsWorld.vehicleRaycaster);
    EXPECT_EQ(nullptr, g_OverlapFilter);
    g_PhysicsWorld.Create();
}
}   // namespace
