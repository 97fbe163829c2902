// The ragdoll's bodies and joints, and the part geometry they are built from.
#include "racers/RagDoll.h"

#include <btBulletDynamicsCommon.h>

#include <cmath>
#include <cstring>

#include "common/MathUtil.h"
#include "core/Physics.h"
#include "render/MeshContainer.h"
#include "scene/ObjectPhysics.h"
#include "scene/StaticObject.h"

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

D3DXVECTOR3 RagdollPartSize(const MeshRecord* parts, int i)
{
    if (!parts || i < 0 || i >= parts->partCount[HUMAN_PARTS_SLOT])
        return D3DXVECTOR3(0.1f, 0.2f, 0.1f);
    const float* s = parts->partSize[HUMAN_PARTS_SLOT][i];
    return D3DXVECTOR3(s[0] + 0.1f, s[1] + 0.2f, s[2] + 0.1f);
}

D3DXVECTOR3 RagdollPivotInPart(const MeshRecord* parts, int i)
{
    return Pivot(parts, i) - Centre(parts, i);
}

D3DXVECTOR3 RagdollPivotInParent(const MeshRecord* parts, int i)
{
    const int parent = i >= 0 && i < HUMAN_PARTS ? kParent[i] : -1;
    return Pivot(parts, i) - Centre(parts, parent < 0 ? i : parent);
}

// --- CRagDoll ------------------------------------------------------------------

CRagDoll::CRagDoll(const MeshRecord* parts, CStaticObject* owner, const btTransform& start, const float* velocity)
{
    const btVector3 v = velocity ? btVector3(velocity[0], velocity[1], velocity[2]) : btVector3(0, 0, 0);
    for (int i = 0; i < HUMAN_PARTS; ++i)
    {
        shapes[i] = g_HumanPartShapes[i];
        const D3DXVECTOR3 c = Centre(parts, i);
        btTransform local;
        local.setIdentity();
        if (kChainRoot[i] < 0)
            local.setOrigin(Bt(c));
        else
        {
            const btVector3 pivot = Bt(Pivot(parts, kChainRoot[i]));
            const btQuaternion turn(btVector3(0, 0, 1), kStartTurn[i]);
            local.setRotation(turn);
            local.setOrigin(pivot + quatRotate(turn, Bt(c) - pivot));
        }
        bodies[i] = CreateBody(RAGDOLL_PART_MASS, start * local, shapes[i], owner);
        btRigidBody* b = bodies[i];
        SetRacerBodyResponse(b, 0.75f, 0.05f, 0.85f, ACTIVE_TAG);
        b->setLinearVelocity(v);
        b->setAngularVelocity(btVector3(0, 0, 0));
    }

    // Each joint right after the bodies are placed: a hinge takes its frame
    // from the first body's place in the world.
    for (int j = 0; j < RAGDOLL_JOINTS; ++j)
    {
        const Joint& d = kJoints[j];
        const btVector3 inA = Bt(RagdollPivotInParent(parts, d.b)), inB = Bt(RagdollPivotInPart(parts, d.b));
        if (d.hinge)
        {
            btHingeConstraint* hinge =
                new btHingeConstraint(*bodies[d.a], *bodies[d.b], inA, inB, btVector3(1, 0, 0), btVector3(1, 0, 0));
            hinge->setLimit(d.low, d.high, 0.9f, 0.3f, 1.0f);
            joints[j] = hinge;
        }
        else
        {
            const btTransform frameA = TurnedFrame(d.turnA, RagdollPivotInParent(parts, d.b));
            const btTransform frameB = TurnedFrame(d.turnB, RagdollPivotInPart(parts, d.b));
            btConeTwistConstraint* cone = new btConeTwistConstraint(*bodies[d.a], *bodies[d.b], frameA, frameB);
            cone->setLimit(d.swing1, d.swing2, d.twist, 1.0f, 0.3f, 1.0f);
            joints[j] = cone;
        }
        if (g_PhysicsWorld.dynamicsWorld)
            g_PhysicsWorld.dynamicsWorld->addConstraint(joints[j], true);
    }
    inWorld = g_PhysicsWorld.dynamicsWorld != nullptr;
}

btRigidBody* CRagDoll::CreateBody(float mass, const btTransform& transform, btBoxShape* shape, CStaticObject* owner)
{
    btVector3 inertia(0, 0, 0);
    if (mass != 0.0f)
        shape->calculateLocalInertia(mass, inertia);
    btRigidBody* body = new btRigidBody(mass, new btDefaultMotionState(transform), shape, inertia);
    body->setUserPointer(owner);
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
