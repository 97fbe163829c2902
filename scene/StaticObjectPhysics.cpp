// The rigid body of a world object: placing, building the body from the
// collision shape of its mesh (or re-seating an existing one), adding it to
// and taking it out of the dynamics world, and reading a moved body back into
// the drawn matrix. Bodies start outside the world and asleep; the object's
// update brings them in when the camera comes near.
#include <btBulletDynamicsCommon.h>

#include <cmath>

#include "common/Keywords.h"
#include "common/MathUtil.h"
#include "core/DebugLog.h"
#include "scene/ObjectPhysics.h"
#include "scene/StaticObject.h"

namespace
{

const float kFriction = 1.0f;
const float kRestitution = 0.0f;
const float kLinearSleep = 1.6f;
const float kAngularSleep = 2.5f;
const float kDeactivationTime = 0.8f;
const float kLinearDamping = 0.05f;
const float kAngularDamping = 0.85f;
const float kPlacementTargetReach = 100.0f;

// Row-vector matrices and the physics library's column-vector transforms
// share one memory layout: the rows side, up, forward, position of the one
// are the basis columns and origin of the other.
btTransform TransformOf(const D3DXMATRIX& m)
{
    btTransform t;
    t.setFromOpenGLMatrix(&m._11);
    return t;
}

void MatrixOf(const btTransform& t, D3DXMATRIX& m)
{
    t.getOpenGLMatrix(&m._11);
}

D3DXVECTOR3 Vec(const float v[3])
{
    return D3DXVECTOR3(v[0], v[1], v[2]);
}

// The settings of every new or re-seated body.
void ApplyBodySettings(btRigidBody* body, float mass)
{
    body->setFriction(kFriction);
    body->setRestitution(kRestitution);
    body->setHitFraction(1.0f);
    body->setSleepingThresholds(kLinearSleep, kAngularSleep);
    body->setDeactivationTime(kDeactivationTime);
    body->setActivationState(ISLAND_SLEEPING);
    body->forceActivationState(ISLAND_SLEEPING);
    if (mass == 0.0f)
        body->setCollisionFlags(body->getCollisionFlags() | btCollisionObject::CF_STATIC_OBJECT);
    else
    {
        body->setDamping(kLinearDamping, kAngularDamping);
        body->setLinearVelocity(btVector3(0, 0, 0));
        body->setAngularVelocity(btVector3(0, 0, 0));
    }
}

}   // namespace

void CStaticObject::Place(const float pos[3], const float target[3], const float up[3])
{
    D3DXMATRIX m;
    MatrixFromPosTargetUp(m, Vec(pos), Vec(target), Vec(up));
    world = m;
    placement = m;
    D3DXVECTOR3 centre;
    const D3DXVECTOR3 local = Vec(boundCentre);
    D3DXVec3TransformCoord(&centre, &local, &m);
    worldCentre[0] = centre.x;
    worldCentre[1] = centre.y;
    worldCentre[2] = centre.z;

    if (objectType == GTYPE_BUILDING && meshRecord && meshRecord->partCount[MESH_SLOT_MAIN] > 0)
    {
        const float* box = meshRecord->partBox[MESH_SLOT_MAIN][0];
        const float* size = meshRecord->partSize[MESH_SLOT_MAIN][0];
        GetBoxCorners(&corners, D3DXVECTOR3(box[0], box[1], box[2]), D3DXVECTOR3(size[0], size[1], size[2]), m);
        boundRadius = 0.5f * std::sqrt(size[0] * size[0] + size[2] * size[2]);
        worldCentre[0] = pos[0];
        worldCentre[1] = pos[1];
        worldCentre[2] = pos[2];
    }

    float p[3] = {pos[0], pos[1], pos[2]};
    float t[3] = {target[0], target[1], target[2]};
    float u[3] = {up[0], up[1], up[2]};
    InitPhysics(mass, p, t, u);
}

void CStaticObject::InitPhysics(float newMass, float pos[3], float target[3], float up[3])
{
    if (newMass == -1.0f)
    {
        newMass = mass;
        for (int k = 0; k < 3; ++k)
        {
            pos[k] = placement.m[3][k];
            target[k] = placement.m[3][k] + kPlacementTargetReach * placement.m[2][k];
            up[k] = placement.m[1][k];
        }
    }
    // The shape comes from the mesh record: an object whose description or
    // mesh could not be read has none and stays without a body.
    if (!meshRecord)
        return;
    D3DXMATRIX m;
    MatrixFromPosTargetUp(m, Vec(pos), Vec(target), Vec(up));
    mass = newMass;

    if (body)
    {
        for (int k = 0; k < 3; ++k)
            massCentreOffset[k] = meshRecord->compoundCentre[k];
        btTransform frame = TransformOf(m);
        frame.setOrigin(frame * btVector3(massCentreOffset[0], massCentreOffset[1], massCentreOffset[2]));
        if (btMotionState* motion = body->getMotionState())
        {
            btDefaultMotionState* state = static_cast<btDefaultMotionState*>(motion);
            state->m_startWorldTrans = frame;
            state->m_graphicsWorldTrans = frame;
        }
        body->setWorldTransform(frame);
        body->setInterpolationWorldTransform(frame);
        RemoveBodyPairs(body);
        ApplyBodySettings(body, mass);
        return;
    }

    if (useScale)
        BuildScaledShape();
    else
    {
        switch (meshRecord->shapeKind)
        {
        case SHAPE_TYPE_NONE:
            if (mass == 0.0f)
                meshRecord->BuildTriangleShape();
            else
                meshRecord->BuildCompoundShape(nullptr, 0);
            break;
        case SHAPE_TYPE_TRIMESH:
            meshRecord->BuildTriangleShape();
            break;
        case SHAPE_TYPE_CONVEXHULL:
            meshRecord->BuildConvexHull();
            break;
        case SHAPE_TYPE_COMPOUND:
            meshRecord->BuildCompoundShape(nullptr, 0);
            break;
        default:
            break;   // none is built; one built earlier for the record still counts
        }
    }

    btCollisionShape* used = shape;
    if (!used)
        used = meshRecord->triangleShape;
    if (!used)
        used = meshRecord->hullShape;
    if (!used)
        used = meshRecord->compoundShape;
    if (!used)
    {
        ShowMessage("Collision shape is empty!", "InitPhysics() error!", MB_OK);
        return;
    }

    for (int k = 0; k < 3; ++k)
        massCentreOffset[k] = meshRecord->compoundCentre[k];
    btVector3 inertia(0, 0, 0);
    if (mass != 0.0f)
        used->calculateLocalInertia(mass, inertia);
    btTransform frame = TransformOf(m);
    frame.setOrigin(frame * btVector3(massCentreOffset[0], massCentreOffset[1], massCentreOffset[2]));
    btDefaultMotionState* state = new btDefaultMotionState(frame);
    body = new btRigidBody(mass, state, used, inertia);
    body->setUserPointer(this);
    ApplyBodySettings(body, mass);
}

void CStaticObject::EnablePhysics(int on)
{
    if (!body || on == inWorld)
        return;
    inWorld = on;
    if (on)
        AddBodyToWorld(body);
    else
        RemoveBodyFromWorld(body);
}

void CStaticObject::SyncFromBody()
{
    if (!body || mass == 0.0f)
        return;
    btTransform frame;
    if (btMotionState* state = body->getMotionState())
        state->getWorldTransform(frame);
    else
        frame = body->getWorldTransform();
    const btVector3 origin =
        frame.getOrigin() - frame.getBasis() * btVector3(massCentreOffset[0], massCentreOffset[1], massCentreOffset[2]);
    frame.setOrigin(origin);
    D3DXMATRIX m;
    MatrixOf(frame, m);
    world = m;
}
