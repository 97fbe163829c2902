#pragma once
// The physics world's game side: which object classes may collide (checked in
// the broadphase and again in the narrowphase), and the contact pass that
// turns each step's contacts into game reactions.
//
// Every body carries as its user pointer either g_Landscape (the terrain
// body) or a world object (CStaticObject: placed objects, stones, trees,
// motorcycles, riders and their ragdoll parts). The physics code reaches
// those objects only through PhysicsObjectAccess, which the world-object and
// racer code fill in, so the world does not depend on their layout.
//
// The world itself is g_PhysicsWorld: the game object creates, steps and
// destroys it, and every subsystem below the game adds its bodies to it.
#include <vector>

#include <btBulletDynamicsCommon.h>

class CStaticObject;

// The library's ray-cast vehicle side-friction factor: exported by Bullet but
// declared in none of its headers.
extern btScalar sideFrictionStiffness2;

// What the physics code reads from and does to a world object. Three layers
// answer, each in its own connect function: ConnectWorldLinks the terrain
// body (landscape), ConnectSceneLinks every world object (objectClass,
// objectType, setTouched), ConnectRacersLinks the motorcycles and riders
// (ridingOn, onImpact, throwOff, spawnDust). An unset entry reads as 0 / null
// and does nothing.
struct PhysicsObjectAccess
{
    // The terrain body's user pointer (the landscape sets it to itself).
    const void* landscape;
    int (*objectClass)(const CStaticObject* object);   // a GCLASS_ value
    int (*objectType)(const CStaticObject* object);    // a GTYPE_ value
    void (*setTouched)(CStaticObject* object);         // the object's touched flag = 1
    // For a rider (GCLASS_HUMAN): its motorcycle while it is riding (no
    // ragdoll), null once it has fallen.
    const CStaticObject* (*ridingOn)(const CStaticObject* rider);
    // CVehicleObject::OnImpact of a motorcycle (GTYPE_VEHICLE).
    void (*onImpact)(CStaticObject* vehicle, const float* contactPoint, const float* normal, CStaticObject* partner);
    // CHumanObject::SetRagdoll (rider, 1): the rider falls off.
    void (*throwOff)(CStaticObject* rider);
    // CHumanObject::SpawnDust at a world point.
    void (*spawnDust)(CStaticObject* rider, const float* point);
};
extern PhysicsObjectAccess g_PhysicsObjectAccess;

// Called before each fixed substep of the world's step with the substep's
// length in seconds: the motorcycles' lean correction, set by
// ConnectRacersLinks. Null does nothing.
extern void (*g_BeforePhysicsSubstep)(float step);

// Collision index of a body's user pointer: 0 the landscape, 1 static,
// 2 dynamic, 3 human, 4 vehicle; -1 for anything else (effects, other
// landscape-class objects, null).
int GetCollisionIndex(const void* userPointer);

// [first index][second index]: 1 when the two may collide.
extern const int g_CollisionTable[5][5];

// The table entry for two user pointers; 0 when they are the same object or
// either has no index.
int GetCollisionFlag(const void* a, const void* b);

// The game's broadphase filter; it replaces the library's group and mask test.
class btUserOverlapFilterCallback : public btOverlapFilterCallback
{
public:
    ~btUserOverlapFilterCallback() override {}
    bool needBroadphaseCollision(btBroadphaseProxy* proxy0, btBroadphaseProxy* proxy1) const override;
};
extern btUserOverlapFilterCallback* g_OverlapFilter;

// The dispatcher's near callback: the class filter again, then the library's
// default narrowphase work.
void NearCallback(btBroadphasePair& pair, btCollisionDispatcher& dispatcher, const btDispatcherInfo& info);

// One game reaction to one touching pair, collected while the contact pass
// walks the manifolds and applied after the walk: a reaction may take bodies
// out of the world, which frees and reorders the manifolds being walked.
struct ContactReaction
{
    enum Kind
    {
        IMPACT,      // onImpact (object, point, normal, partner)
        THROW_OFF,   // throwOff (object)
        DUST,        // spawnDust (object, point)
    };
    Kind kind;
    CStaticObject* object;
    CStaticObject* partner;
    float point[3];
    float normal[3];
};

// Walks the dispatcher's manifolds in order: sets the touched flags and
// appends the reactions of every pair (see Physics.cpp for the rules).
void CollectContactReactions(btDispatcher* dispatcher, std::vector<ContactReaction>& out);
// Carries out one reaction through g_PhysicsObjectAccess.
void ApplyContactReaction(const ContactReaction& reaction);

// Takes every collision object out of the world, last to first, and deletes it
// with its motion state; the world itself stays. Null does nothing.
void EmptyPhysicsWorld(btDynamicsWorld* world);

class btDefaultCollisionConfiguration;
class btAxisSweep3;
class btCollisionDispatcher;
class btSequentialImpulseConstraintSolver;
class btDiscreteDynamicsWorld;
class btDefaultVehicleRaycaster;

// The physics world: null pointers while none exists.
struct PhysicsWorld
{
    btDefaultCollisionConfiguration* collisionConfiguration;
    btAxisSweep3* broadphase;
    btCollisionDispatcher* dispatcher;
    btSequentialImpulseConstraintSolver* solver;
    btDiscreteDynamicsWorld* dynamicsWorld;
    btDefaultVehicleRaycaster* vehicleRaycaster;
    int activeBodies;   // with "Debug out": bodies neither asleep nor disabled

    int Create();   // 1 on success
    void Step();    // one game step in fixed 1/60 s substeps, then the contact pass
    void ProcessContacts();
    void Destroy();   // every body first, then the world; safe to repeat
};
extern PhysicsWorld g_PhysicsWorld;
