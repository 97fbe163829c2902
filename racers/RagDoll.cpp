// Falling off and getting back on: the ragdoll's bodies and joints, the
// switch between riding and fallen, the rest check and the ground dust.
#include "racers/RagDoll.h"

#include <btBulletDynamicsCommon.h>

#include <cmath>
#include <cstring>

#include "audio/AudioManager.h"
#include "common/Keywords.h"
#include "common/MathUtil.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "racers/BulletMatrix.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/MeshContainer.h"
#include "render/Views.h"
#include "scene/Dusts.h"
#include "scene/ObjectPhysics.h"
#include "world/Sky.h"

btBoxShape* g_HumanPartShapes[HUMAN_PARTS] = {};

namespace
{

const float kPi = 3.14159265358979f;

// Each part's parent, and the start pose: the turn about the rider's z axis
// of the limb chains, around the chain's first pivot.
const int kParent[HUMAN_PARTS] = {-1, 0, 1, 0, 3, 0, 5, 1, 7, 1, 9};
const int kChainRoot[HUMAN_PARTS] = {-1, -1, -1, 3, 3, 5, 5, 7, 7, 9, 9};
const float kStartTurn[HUMAN_PARTS] = {0.0f,     0.0f,     0.0f,     -kPi / 16, -kPi / 16, kPi / 16,
                                       kPi / 16, -kPi / 4, -kPi / 4, kPi / 4,   kPi / 4};

struct Joint
{
    bool hinge;
    int a, b;
    float turnA, turnB;            // cone-twist frames: turn about z
    float low, high;               // hinge limits
    float swing1, swing2, twist;   // cone-twist limits
};

const Joint kJoints[RAGDOLL_JOINTS] = {
    {true, 0, 1, 0, 0, -kPi / 2, kPi / 8, 0, 0, 0},
    {false, 1, 2, kPi / 2, kPi / 2, 0, 0, kPi / 8, kPi / 8, kPi / 4},
    {false, 0, 3, -3 * kPi / 4, -3 * kPi / 4, 0, 0, kPi / 4, kPi / 4, 0},
    {true, 3, 4, 0, 0, -kPi / 2, 0, 0, 0, 0},
    {false, 0, 5, 3 * kPi / 4, 3 * kPi / 4, 0, 0, kPi / 4, kPi / 4, 0},
    {true, 5, 6, 0, 0, -kPi / 2, 0, 0, 0, 0},
    {false, 1, 7, -kPi, -kPi / 2, 0, 0, kPi / 2, kPi / 2, 0},
    {true, 7, 8, 0, 0, 0, kPi / 2, 0, 0, 0},
    {false, 1, 9, 0, -kPi / 2, 0, 0, kPi / 2, kPi / 2, 0},
    {true, 9, 10, 0, 0, 0, kPi / 2, 0, 0, 0},
};

btVector3 Bt(const D3DXVECTOR3& v)
{
    return btVector3(v.x, v.y, v.z);
}

D3DXVECTOR3 Centre(const MeshRecord* parts, int i)
{
    if (!parts || i < 0 || i >= parts->partCount[HUMAN_PARTS_SLOT])
        return D3DXVECTOR3(0, 0, 0);
    const float* c = parts->partCentre[HUMAN_PARTS_SLOT][i];
    return D3DXVECTOR3(c[0], c[1], c[2]);
}

D3DXVECTOR3 Pivot(const MeshRecord* parts, int i)
{
    if (!parts || i < 0 || i >= parts->pointCount[HUMAN_PIVOT_POINT_SET])
        return D3DXVECTOR3(0, 0, 0);
    return parts->points[HUMAN_PIVOT_POINT_SET][i];
}

btTransform TurnedFrame(float turn, const D3DXVECTOR3& origin)
{
    btTransform t;
    t.setIdentity();
    t.setRotation(btQuaternion(btVector3(0, 0, 1), turn));
    t.setOrigin(Bt(origin));
    return t;
}

}   // namespace

// --- Part geometry -------------------------------------------------------------

D3DXVECTOR3 CHumanObject::GetPartSize(int i) const
{
    if (!PartsMesh || i < 0 || i >= PartsMesh->partCount[HUMAN_PARTS_SLOT])
        return D3DXVECTOR3(0.1f, 0.2f, 0.1f);
    const float* s = PartsMesh->partSize[HUMAN_PARTS_SLOT][i];
    return D3DXVECTOR3(s[0] + 0.1f, s[1] + 0.2f, s[2] + 0.1f);
}

D3DXVECTOR3 CHumanObject::GetPivotInPart(int i) const
{
    return Pivot(PartsMesh, i) - Centre(PartsMesh, i);
}

D3DXVECTOR3 CHumanObject::GetPivotInParent(int i) const
{
    const int parent = i >= 0 && i < HUMAN_PARTS ? kParent[i] : -1;
    return Pivot(PartsMesh, i) - Centre(PartsMesh, parent < 0 ? i : parent);
}

// --- CRagDoll ------------------------------------------------------------------

CRagDoll::CRagDoll(CHumanObject* rider, const btTransform& start, const float* velocity)
{
    const btVector3 v = velocity ? btVector3(velocity[0], velocity[1], velocity[2]) : btVector3(0, 0, 0);
    for (int i = 0; i < HUMAN_PARTS; ++i)
    {
        shapes[i] = g_HumanPartShapes[i];
        const D3DXVECTOR3 c = Centre(rider->PartsMesh, i);
        btTransform local;
        local.setIdentity();
        if (kChainRoot[i] < 0)
            local.setOrigin(Bt(c));
        else
        {
            const btVector3 pivot = Bt(Pivot(rider->PartsMesh, kChainRoot[i]));
            const btQuaternion turn(btVector3(0, 0, 1), kStartTurn[i]);
            local.setRotation(turn);
            local.setOrigin(pivot + quatRotate(turn, Bt(c) - pivot));
        }
        bodies[i] = CreateBody(RAGDOLL_PART_MASS, start * local, shapes[i], rider);
        btRigidBody* b = bodies[i];
        b->setFriction(0.75f);
        b->setDamping(0.05f, 0.85f);
        b->setRestitution(0.0f);
        b->setHitFraction(1.0f);
        b->setActivationState(ACTIVE_TAG);
        b->forceActivationState(ACTIVE_TAG);
        b->setDeactivationTime(0.8f);
        b->setSleepingThresholds(1.6f, 2.5f);
        b->setLinearVelocity(v);
        b->setAngularVelocity(btVector3(0, 0, 0));
    }

    // Each joint right after the bodies are placed: a hinge takes its frame
    // from the first body's place in the world.
    for (int j = 0; j < RAGDOLL_JOINTS; ++j)
    {
        const Joint& d = kJoints[j];
        const btVector3 inA = Bt(rider->GetPivotInParent(d.b)), inB = Bt(rider->GetPivotInPart(d.b));
        if (d.hinge)
        {
            btHingeConstraint* hinge =
                new btHingeConstraint(*bodies[d.a], *bodies[d.b], inA, inB, btVector3(1, 0, 0), btVector3(1, 0, 0));
            hinge->setLimit(d.low, d.high, 0.9f, 0.3f, 1.0f);
            joints[j] = hinge;
        }
        else
        {
            const btTransform frameA = TurnedFrame(d.turnA, rider->GetPivotInParent(d.b));
            const btTransform frameB = TurnedFrame(d.turnB, rider->GetPivotInPart(d.b));
            btConeTwistConstraint* cone = new btConeTwistConstraint(*bodies[d.a], *bodies[d.b], frameA, frameB);
            cone->setLimit(d.swing1, d.swing2, d.twist, 1.0f, 0.3f, 1.0f);
            joints[j] = cone;
        }
        if (g_PhysicsWorld.dynamicsWorld)
            g_PhysicsWorld.dynamicsWorld->addConstraint(joints[j], true);
    }
    inWorld = g_PhysicsWorld.dynamicsWorld != nullptr;
}

btRigidBody* CRagDoll::CreateBody(float mass, const btTransform& transform, btBoxShape* shape, CHumanObject* rider)
{
    btVector3 inertia(0, 0, 0);
    if (mass != 0.0f)
        shape->calculateLocalInertia(mass, inertia);
    btRigidBody* body = new btRigidBody(mass, new btDefaultMotionState(transform), shape, inertia);
    body->setUserPointer(static_cast<CStaticObject*>(rider));
    AddBodyToWorld(body);
    return body;
}

void CRagDoll::RemoveFromWorld()
{
    if (!inWorld)
        return;
    if (g_PhysicsWorld.dynamicsWorld)
        for (btTypedConstraint* joint : joints)
            g_PhysicsWorld.dynamicsWorld->removeConstraint(joint);
    for (btRigidBody* body : bodies)
        if (body->isInWorld())
            RemoveBodyFromWorld(body);
    inWorld = false;
}

CRagDoll::~CRagDoll()
{
    RemoveFromWorld();
    for (btTypedConstraint*& joint : joints)
    {
        delete joint;
        joint = nullptr;
    }
    for (btRigidBody*& body : bodies)
    {
        delete body->getMotionState();
        delete body;
        body = nullptr;
    }
}

// --- Falling off and getting back on -----------------------------------------

void CHumanObject::SetRagdoll(int fall, const float* velocity)
{
    if (fall)
    {
        // Only a riding rider falls, and only with everything a ragdoll is
        // made of: a motorcycle with a seat, the shared part shapes, a world.
        D3DXVECTOR3 seat;
        if (RagDoll || !Loaded || !PartsMesh || !VehicleSeatPoint(Vehicle, &seat) || !g_PhysicsWorld.dynamicsWorld)
            return;
        for (btBoxShape* shape : g_HumanPartShapes)
            if (!shape)
                return;

        ++Vehicle->RaceStats.Falls;
        // Straight out of the world: the in-world flag stays, since the rest
        // check reads it for the ragdoll.
        if (body && body->isInWorld())
            RemoveBodyFromWorld(body);

        const D3DMATRIX own = Vehicle->world;
        const D3DXVECTOR3 back = seat - D3DXVECTOR3(0.0f, 0.0f, 0.1f);
        D3DXVECTOR3 q;
        D3DXVec3TransformCoord(&q, &back, reinterpret_cast<const D3DXMATRIX*>(&own));
        const D3DXVECTOR3 forward(own._31, own._32, own._33), up(own._21, own._22, own._23);
        D3DXMATRIX frame;
        MatrixFromPosTargetUp(frame, q, q + forward - up * 0.35f, up);
        world = frame;
        Position[0] = q.x;
        Position[1] = q.y;
        Position[2] = q.z;
        const btTransform start = TransformFromMatrix(frame);

        RagDoll = new CRagDoll(this, start, velocity ? velocity : Vehicle->linearVelocity);

        // The chase camera's own view-mode switch (on-board to far chase)
        // joins here with the camera's view modes; the mode is remembered.
        if (Vehicle == g_PlayerVehicle && g_Views.activeCamera)
            g_Views.activeCamera->lastPlayerMode = g_Views.activeCamera->viewMode;
        g_AudioManager.PlayVoice(VoiceIndex == 0 ? VOICE_MS : VOICE_FS, VoicePitch, this);
        SetAction(ACTION_NONE);
        return;
    }

    if (!RagDoll)
        return;
    delete RagDoll;
    RagDoll = nullptr;
    FollowVehicle();
    if (body && !body->isInWorld())
        AddBodyToWorld(body);
    inWorld = 1;
    SetAction(ACTION_STEERING);
}

void CHumanObject::CheckRagdollRest()
{
    if (!RagDoll || !inWorld)
        return;
    for (btRigidBody* b : RagDoll->bodies)
    {
        const int state = b->getActivationState();
        if (state != ISLAND_SLEEPING && state != DISABLE_SIMULATION)
            return;
    }
    RagDoll->RemoveFromWorld();
    inWorld = 0;
}

RiderDustPuff MakeRiderDustPuff(const float* point, const float* v, float sunIntensity, int winter)
{
    RiderDustPuff puff;
    for (int i = 0; i < 3; ++i)
        puff.position[i] = point[i];
    puff.velocity[0] = 0.75f * v[0];
    puff.velocity[1] = 0.75f * v[1] + 0.5f;
    puff.velocity[2] = 0.75f * v[2];
    puff.size = 0.25f;
    puff.life = 2.0f;
    puff.growth = 0.2f * std::sqrt(puff.velocity[0] * puff.velocity[0] + puff.velocity[1] * puff.velocity[1] +
                                   puff.velocity[2] * puff.velocity[2]);
    const float l = std::fmax(0.25f, sunIntensity);
    puff.colour[0] = 0.55f * l;
    puff.colour[1] = winter ? 0.55f * l : 0.35f * l;
    puff.colour[2] = winter ? 0.55f * l : 0.15f * l;
    puff.colour[3] = 0.5f;
    return puff;
}

void CHumanObject::SpawnDust(const float* point)
{
    if (!point || DustTimer < 0.1f)
        return;
    const float speed = std::sqrt(linearVelocity[0] * linearVelocity[0] + linearVelocity[1] * linearVelocity[1] +
                                  linearVelocity[2] * linearVelocity[2]);
    if (!(speed >= 2.0f))
        return;
    const int winter =
        g_CurrentRace >= 0 && g_CurrentRace < RACE_ROWS && g_RaceTable.season[g_CurrentRace] == 2 ? 1 : 0;
    const RiderDustPuff puff = MakeRiderDustPuff(point, linearVelocity, g_Sky.sunIntensity, winter);
    g_Dusts.Emit(puff.position, puff.velocity, puff.size, puff.life, puff.growth, puff.colour);
    DustTimer = 0.0f;
}
