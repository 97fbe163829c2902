// The physics world: creation, the class filter in the
// broadphase and the narrowphase, the fixed-step update, the contact pass and
// teardown.
#include "core/Physics.h"

#include <BulletDynamics/Vehicle/btRaycastVehicle.h>

#include "common/Keywords.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/Settings.h"

PhysicsObjectAccess g_PhysicsObjectAccess = {};
void (*g_BeforePhysicsSubstep)(float step) = nullptr;
PhysicsWorld g_PhysicsWorld = {};
btUserOverlapFilterCallback* g_OverlapFilter = nullptr;

const int g_CollisionTable[5][5] = {
    // landscape, static, dynamic, human, vehicle
    {0, 0, 1, 1, 1},   // landscape
    {0, 0, 1, 1, 1},   // static
    {1, 1, 1, 1, 1},   // dynamic
    {1, 1, 1, 1, 1},   // human
    {1, 1, 1, 1, 1},   // vehicle
};

namespace
{
const int kMaxSubSteps = 100;
const btScalar kFixedSubStep = btScalar(1.0) / btScalar(60.0);
const btScalar kWorldExtent = 1000;
const unsigned short kMaxHandles = 16384;

// Bullet's activation states that count as not moving.
const int kSleeping = ISLAND_SLEEPING;           // 2
const int kSimulationOff = DISABLE_SIMULATION;   // 5

void BeforeSubstep(btDynamicsWorld*, btScalar step)
{
    if (g_BeforePhysicsSubstep)
        g_BeforePhysicsSubstep((float)step);
}

int ClassOf(const void* object)
{
    if (!object || !g_PhysicsObjectAccess.objectClass)
        return GCLASS_NONE;
    return g_PhysicsObjectAccess.objectClass(static_cast<const CStaticObject*>(object));
}

int TypeOf(const void* object)
{
    if (!object || !g_PhysicsObjectAccess.objectType)
        return GTYPE_NONE;
    return g_PhysicsObjectAccess.objectType(static_cast<const CStaticObject*>(object));
}

bool IsLandscape(const void* object)
{
    return object && object == g_PhysicsObjectAccess.landscape;
}

bool IsRider(const void* object)
{
    return !IsLandscape(object) && ClassOf(object) == GCLASS_HUMAN;
}

bool IsMotorcycle(const void* object)
{
    return !IsLandscape(object) && TypeOf(object) == GTYPE_VEHICLE;
}

// A rider still on its motorcycle touching that same motorcycle.
bool RiderOnOwnMotorcycle(const void* rider, const void* other)
{
    if (!IsRider(rider) || !g_PhysicsObjectAccess.ridingOn)
        return false;
    const CStaticObject* vehicle = g_PhysicsObjectAccess.ridingOn(static_cast<const CStaticObject*>(rider));
    return vehicle && static_cast<const void*>(vehicle) == other;
}

void Store(float out[3], const btVector3& v)
{
    out[0] = v.x();
    out[1] = v.y();
    out[2] = v.z();
}
}   // namespace

int GetCollisionIndex(const void* userPointer)
{
    if (!userPointer)
        return -1;
    if (IsLandscape(userPointer))
        return 0;
    switch (ClassOf(userPointer))
    {
    case GCLASS_STATIC:
        return 1;
    case GCLASS_DYNAMIC:
        return 2;
    case GCLASS_HUMAN:
        return 3;
    case GCLASS_VEHICLE:
        return 4;
    default:
        return -1;
    }
}

int GetCollisionFlag(const void* a, const void* b)
{
    if (a == b)
        return 0;
    const int ia = GetCollisionIndex(a);
    const int ib = GetCollisionIndex(b);
    if (ia < 0 || ib < 0)
        return 0;
    return g_CollisionTable[ia][ib];
}

bool btUserOverlapFilterCallback::needBroadphaseCollision(btBroadphaseProxy* proxy0, btBroadphaseProxy* proxy1) const
{
    const btCollisionObject* a = static_cast<const btCollisionObject*>(proxy0->m_clientObject);
    const btCollisionObject* b = static_cast<const btCollisionObject*>(proxy1->m_clientObject);
    if (!a || !b || a == b)
        return false;
    return GetCollisionFlag(a->getUserPointer(), b->getUserPointer()) != 0;
}

void NearCallback(btBroadphasePair& pair, btCollisionDispatcher& dispatcher, const btDispatcherInfo& info)
{
    const btCollisionObject* a = static_cast<const btCollisionObject*>(pair.m_pProxy0->m_clientObject);
    const btCollisionObject* b = static_cast<const btCollisionObject*>(pair.m_pProxy1->m_clientObject);
    if (!a || !b || a == b)
        return;
    if (!GetCollisionFlag(a->getUserPointer(), b->getUserPointer()))
        return;
    btCollisionDispatcher::defaultNearCallback(pair, dispatcher, info);
}

void CollectContactReactions(btDispatcher* dispatcher, std::vector<ContactReaction>& out)
{
    if (!dispatcher)
        return;
    const int manifolds = dispatcher->getNumManifolds();
    for (int m = 0; m < manifolds; m++)
    {
        const btPersistentManifold* manifold = dispatcher->getManifoldByIndexInternal(m);
        const btCollisionObject* body0 = manifold->getBody0();
        const btCollisionObject* body1 = manifold->getBody1();
        if (!body0 || !body1 || body0 == body1)
            continue;
        void* a = body0->getUserPointer();
        void* b = body1->getUserPointer();
        if (!a || !b || a == b)
            continue;

        if (g_PhysicsObjectAccess.setTouched)
        {
            if (!IsLandscape(a))
                g_PhysicsObjectAccess.setTouched(static_cast<CStaticObject*>(a));
            if (!IsLandscape(b))
                g_PhysicsObjectAccess.setTouched(static_cast<CStaticObject*>(b));
        }

        if ((!IsLandscape(a) && ClassOf(a) == GCLASS_LANDSCAPE) || (!IsLandscape(b) && ClassOf(b) == GCLASS_LANDSCAPE))
            continue;
        if (RiderOnOwnMotorcycle(a, b) || RiderOnOwnMotorcycle(b, a))
            continue;
        const int n = manifold->getNumContacts();
        if (n <= 0)
            continue;

        btVector3 localA(0, 0, 0), localB(0, 0, 0), worldB(0, 0, 0), normal(0, 0, 0);
        for (int i = 0; i < n; i++)
        {
            const btManifoldPoint& p = manifold->getContactPoint(i);
            localA += p.m_localPointA;
            localB += p.m_localPointB;
            worldB += p.m_positionWorldOnB;
            normal += p.m_normalWorldOnB;
        }
        const btScalar inv = btScalar(1) / btScalar(n);
        localA *= inv;
        localB *= inv;
        worldB *= inv;
        normal *= inv;

        CStaticObject* objA = IsLandscape(a) ? nullptr : static_cast<CStaticObject*>(a);
        CStaticObject* objB = IsLandscape(b) ? nullptr : static_cast<CStaticObject*>(b);
        ContactReaction r = {};

        if (IsMotorcycle(a))
        {
            r = {};
            r.kind = ContactReaction::IMPACT;
            r.object = objA;
            r.partner = static_cast<CStaticObject*>(b);
            Store(r.point, localA);
            Store(r.normal, normal);
            out.push_back(r);
        }
        if (IsMotorcycle(b))
        {
            r = {};
            r.kind = ContactReaction::IMPACT;
            r.object = objB;
            r.partner = static_cast<CStaticObject*>(a);
            Store(r.point, localB);
            Store(r.normal, -normal);
            out.push_back(r);
        }
        if (IsRider(a))
        {
            r = {};
            r.kind = ContactReaction::THROW_OFF;
            r.object = objA;
            out.push_back(r);
        }
        if (IsRider(b))
        {
            r = {};
            r.kind = ContactReaction::THROW_OFF;
            r.object = objB;
            out.push_back(r);
        }
        if (IsRider(a) && IsLandscape(b))
        {
            r = {};
            r.kind = ContactReaction::DUST;
            r.object = objA;
            Store(r.point, worldB);
            out.push_back(r);
        }
        if (IsRider(b) && IsLandscape(a))
        {
            r = {};
            r.kind = ContactReaction::DUST;
            r.object = objB;
            Store(r.point, worldB);
            out.push_back(r);
        }
    }
}

void ApplyContactReaction(const ContactReaction& r)
{
    switch (r.kind)
    {
    case ContactReaction::IMPACT:
        if (g_PhysicsObjectAccess.onImpact)
            g_PhysicsObjectAccess.onImpact(r.object, r.point, r.normal, r.partner);
        break;
    case ContactReaction::THROW_OFF:
        if (g_PhysicsObjectAccess.throwOff)
            g_PhysicsObjectAccess.throwOff(r.object);
        break;
    case ContactReaction::DUST:
        if (g_PhysicsObjectAccess.spawnDust)
            g_PhysicsObjectAccess.spawnDust(r.object, r.point);
        break;
    }
}

int PhysicsWorld::Create()
{
    collisionConfiguration = new btDefaultCollisionConfiguration();
    broadphase = new btAxisSweep3(btVector3(-kWorldExtent, -kWorldExtent, -kWorldExtent),
                                  btVector3(kWorldExtent, kWorldExtent, kWorldExtent), kMaxHandles, nullptr, false);
    dispatcher = new btCollisionDispatcher(collisionConfiguration);
    solver = new btSequentialImpulseConstraintSolver();
    dynamicsWorld = new btDiscreteDynamicsWorld(dispatcher, broadphase, solver, collisionConfiguration);
    vehicleRaycaster = new btDefaultVehicleRaycaster(dynamicsWorld);
    dynamicsWorld->setGravity(btVector3(0, -10, 0));
    dispatcher->setNearCallback(NearCallback);
    // Bullet's aligned allocator gives the 16-byte alignment its objects expect.
    void* memory = btAlignedAlloc(sizeof(btUserOverlapFilterCallback), 16);
    g_OverlapFilter = new (memory) btUserOverlapFilterCallback();
    broadphase->getOverlappingPairCache()->setOverlapFilterCallback(g_OverlapFilter);
    // Applies to every wheel of every motorcycle for the whole run.
    sideFrictionStiffness2 = btScalar(0.65);
    // Motion states report the body where the last step left it, as the
    // motorcycles' per-frame read-back expects: this library otherwise shows
    // them one step late, which turns the lean correction into an
    // oscillation that throws the motorcycle over.
    dynamicsWorld->setLatencyMotionStateInterpolation(false);
    dynamicsWorld->setInternalTickCallback(BeforeSubstep, nullptr, true);
    activeBodies = 0;
    return 1;
}

void PhysicsWorld::Step()
{
    if (!dynamicsWorld)
        return;
    // Developer freeze: racers and ragdolls stand still, camera and interface go on.
    if (g_DebugMode && g_KeyFlags[KEY_DELETE])
        return;
    dynamicsWorld->stepSimulation(g_Clock.m_GameStep, kMaxSubSteps, kFixedSubStep);
    ProcessContacts();
    activeBodies = 0;
    if (g_DebugMode)
    {
        const btCollisionObjectArray& objects = dynamicsWorld->getCollisionObjectArray();
        for (int i = 0; i < objects.size(); i++)
        {
            const btRigidBody* body = btRigidBody::upcast(objects[i]);
            if (!body)
                continue;
            const int state = body->getActivationState();
            if (state != kSleeping && state != kSimulationOff)
                activeBodies++;
        }
    }
}

void PhysicsWorld::ProcessContacts()
{
    // Collected first, applied after the walk: throwing a rider off takes its
    // body out of the world, which frees and reorders the manifolds.
    std::vector<ContactReaction> reactions;
    CollectContactReactions(dispatcher, reactions);
    for (const ContactReaction& r : reactions)
        ApplyContactReaction(r);
}

void EmptyPhysicsWorld(btDynamicsWorld* world)
{
    if (!world)
        return;
    for (int i = world->getNumCollisionObjects() - 1; i >= 0; i--)
    {
        btCollisionObject* object = world->getCollisionObjectArray()[i];
        btRigidBody* body = btRigidBody::upcast(object);
        if (body && body->getMotionState())
            delete body->getMotionState();
        world->removeCollisionObject(object);
        delete object;
    }
}

void PhysicsWorld::Destroy()
{
    EmptyPhysicsWorld(dynamicsWorld);
    delete vehicleRaycaster;
    vehicleRaycaster = nullptr;
    delete dynamicsWorld;
    dynamicsWorld = nullptr;
    delete solver;
    solver = nullptr;
    delete dispatcher;
    dispatcher = nullptr;
    delete broadphase;
    broadphase = nullptr;
    delete collisionConfiguration;
    collisionConfiguration = nullptr;
    if (g_OverlapFilter)
    {
        g_OverlapFilter->~btUserOverlapFilterCallback();
        btAlignedFree(g_OverlapFilter);
        g_OverlapFilter = nullptr;
    }
}
