// The rider record: construction, the rider file, the look, and placement on
// the motorcycle with the riding box.
#include "racers/HumanObject.h"

#include <btBulletDynamicsCommon.h>

#include <cmath>
#include <cstring>

#include "common/Keywords.h"
#include "common/MathUtil.h"
#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "platform/os/Rand.h"
#include "racers/BulletMatrix.h"
#include "racers/HumanManager.h"
#include "racers/RagDoll.h"
#include "racers/VehicleObject.h"
#include "render/MeshContainer.h"
#include "render/Views.h"
#include "scene/ObjectPhysics.h"

namespace
{

const char kLoadError[] = "CHumanObject::Load() error!";
// The riding box hangs this far above the seat, along the rider's up axis.
const float kBoxHeight = 1.25f;

D3DXVECTOR3 Row(const D3DMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

// The riding box: one small box in a compound, shared by every rider through
// the rider mesh's record, which deletes it with the record.
btCollisionShape* RidingBoxShape(MeshRecord* record)
{
    if (!record->compoundShape)
    {
        btCompoundShape* compound = new btCompoundShape(true);
        btBoxShape* box = new btBoxShape(btVector3(0.15f, 0.2f, 0.1f));
        box->setMargin(0.05f);
        btTransform identity;
        identity.setIdentity();
        compound->addChildShape(identity, box);
        record->compoundShape = compound;
    }
    return record->compoundShape;
}

// The body is moved, not simulated: it goes where it is put with no speed.
void PutBody(btRigidBody* body, const btTransform& t)
{
    btDefaultMotionState* motion = static_cast<btDefaultMotionState*>(body->getMotionState());
    if (motion)
    {
        motion->m_centerOfMassOffset.setIdentity();
        motion->m_startWorldTrans = t;
        motion->m_graphicsWorldTrans = t;
    }
    body->setWorldTransform(t);
    body->setInterpolationWorldTransform(t);
    body->setLinearVelocity(btVector3(0, 0, 0));
    body->setAngularVelocity(btVector3(0, 0, 0));
    body->setInterpolationLinearVelocity(btVector3(0, 0, 0));
    body->setInterpolationAngularVelocity(btVector3(0, 0, 0));
}

}   // namespace

bool VehicleSeatPoint(const CVehicleObject* vehicle, D3DXVECTOR3* seat)
{
    const MeshRecord* r = vehicle ? vehicle->meshRecord : nullptr;
    if (!r || r->pointCount[VEHICLE_POINT_SET_SEAT] < 1 || !r->points[VEHICLE_POINT_SET_SEAT])
        return false;
    const D3DXVECTOR3 p = r->points[VEHICLE_POINT_SET_SEAT][0];
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z) || std::fabs(p.x) > 100.0f ||
        std::fabs(p.y) > 100.0f || std::fabs(p.z) > 100.0f)
        return false;
    *seat = p;
    return true;
}

CHumanObject::CHumanObject()
{
    objectClass = GCLASS_HUMAN;
    objectType = GTYPE_HUMAN;
    Vehicle = nullptr;
    std::memset(Position, 0, sizeof(Position));
    std::memset(PartVertices, 0, sizeof(PartVertices));
    std::memset(PartTriangles, 0, sizeof(PartTriangles));
    SuitColour[0] = SuitColour[1] = SuitColour[2] = 0.0f;
    SuitColour[3] = 1.0f;
    DecalTexture = SuitTexture = -1;
    std::memset(ActionFrames, 0, sizeof(ActionFrames));
    std::memset(ActionSpeed, 0, sizeof(ActionSpeed));
    Action = ACTION_STEERING;
    ActionPhase = 1;
    AnimFrame = 0.0f;
    DustTimer = 0.0f;
    StandUpRequest = 0;
    StandUpLift = 0.0f;
    KickLeftRequest = KickRightRequest = 0;
    Mass = 0.0f;
    RagDoll = nullptr;
    PartsMesh = nullptr;
    VoicePitch = (float)(GameRand() % 101) * 0.00625f + 0.9f;
    VoiceIndex = GameRand() % 2;
    Loaded = 0;
}

int CHumanObject::Load(const char* file)
{
    const int handle = Create(file, 0, 0, D3DXMESH_MANAGED, 0);
    if (handle == -1)
        return -1;

    HumanFileValues v;
    char error[128];
    int ok = ReadHumanValues(handle, &v, error, sizeof(error));
    if (ok)
    {
        PartsMesh = g_MeshContainer.Load(v.partsMesh, 0, D3DXMESH_SYSTEMMEM, 0);
        ok = CheckHumanData(v, meshRecord, PartsMesh, error, sizeof(error));
    }
    g_FileManager.Close(handle);
    if (!ok)
    {
        // A rider the file does not describe fully keeps nothing: it draws
        // nothing, has no riding box and never falls.
        ShowMessage(error, kLoadError, MB_OK);
        g_MeshContainer.ReleaseMesh(PartsMesh);
        PartsMesh = nullptr;
        FreeMesh();
        return -1;
    }

    Mass = v.mass;
    std::memcpy(ActionFrames, v.actionFrames, sizeof(ActionFrames));
    std::memcpy(ActionSpeed, v.actionSpeed, sizeof(ActionSpeed));
    std::memcpy(PartVertices, v.partVertices, sizeof(PartVertices));
    std::memcpy(PartTriangles, v.partTriangles, sizeof(PartTriangles));
    RandomizeLook();
    material.Diffuse.a = 0.0f;   // invisible until the first update fades it in
    boundRadius = 1.5f;
    Loaded = 1;
    return handle;
}

void CHumanObject::RandomizeLook()
{
    g_Render.ReleaseTexture(DecalTexture);
    g_Render.ReleaseTexture(SuitTexture);
    DecalTexture = SuitTexture = -1;
    float rgb[3];
    for (float& c : rgb)
        c = (float)(GameRand() % 256) / 255.0f;
    D3DXCOLOR colour;
    ColorNormalize(colour, D3DXCOLOR(rgb[0], rgb[1], rgb[2], 1.0f));
    SuitColour[0] = colour.r;
    SuitColour[1] = colour.g;
    SuitColour[2] = colour.b;
    SuitColour[3] = colour.a;
    DecalTexture = CHumanManager::LoadRandomDecal();
    SuitTexture = CHumanManager::LoadRandomSuit();
}

void CHumanObject::SetPosition(const float* pos, const float* target, const float* up)
{
    D3DXVECTOR3 p, t, u;
    if (pos)
    {
        p = D3DXVECTOR3(pos[0], pos[1], pos[2]);
        t = target ? D3DXVECTOR3(target[0], target[1], target[2]) : p + D3DXVECTOR3(0, 0, 1);
        u = up ? D3DXVECTOR3(up[0], up[1], up[2]) : D3DXVECTOR3(0, 1, 0);
    }
    else
    {
        p = D3DXVECTOR3(placement._41, placement._42, placement._43);
        t = p + Row(placement, 2);
        u = Row(placement, 1);
    }
    SetOrientation(p, t, u);
    placement = world;
    Position[0] = worldCentre[0] = p.x;
    Position[1] = worldCentre[1] = p.y;
    Position[2] = worldCentre[2] = p.z;
    const float pp[3] = {p.x, p.y, p.z}, tt[3] = {t.x, t.y, t.z}, uu[3] = {u.x, u.y, u.z};
    CreateCollisionBody(pp, tt, uu);
    DustTimer = 0.0f;
    SetAction(ACTION_STEERING);
}

void CHumanObject::CreateCollisionBody(const float* pos, const float* target, const float* up)
{
    Position[0] = pos[0];
    Position[1] = pos[1];
    Position[2] = pos[2];
    D3DXMATRIX frame;
    MatrixFromPosTargetUp(frame, D3DXVECTOR3(pos[0], pos[1], pos[2]), D3DXVECTOR3(target[0], target[1], target[2]),
                          D3DXVECTOR3(up[0], up[1], up[2]));
    btTransform t = TransformFromMatrix(frame);
    mass = Mass;

    if (!body)
    {
        // A refused rider has no record to keep the shared shape in.
        if (!Loaded || !meshRecord)
            return;
        massCentreOffset[0] = massCentreOffset[2] = 0.0f;
        massCentreOffset[1] = kBoxHeight;
        t.setOrigin(t.getOrigin() + btVector3(0.0f, kBoxHeight, 0.0f));
        btCollisionShape* shape = RidingBoxShape(meshRecord);
        btVector3 inertia(0, 0, 0);
        shape->calculateLocalInertia(Mass, inertia);
        body = new btRigidBody(Mass, new btDefaultMotionState(t), shape, inertia);
        body->setUserPointer(static_cast<CStaticObject*>(this));
        AddBodyToWorld(body);
        inWorld = 1;
    }
    else
    {
        PutBody(body, t);
        if (body->getBroadphaseHandle() && g_PhysicsWorld.broadphase)
            g_PhysicsWorld.broadphase->getOverlappingPairCache()->cleanProxyFromPairs(body->getBroadphaseHandle(),
                                                                                      g_PhysicsWorld.dispatcher);
    }

    SetRacerBodyResponse(body, 0.75f, 0.05f, 0.85f, DISABLE_DEACTIVATION);
    body->setLinearVelocity(btVector3(0, 0, 0));
    body->setAngularVelocity(btVector3(0, 0, 0));

    const D3DXVECTOR3 toEye = D3DXVECTOR3(worldCentre[0], worldCentre[1], worldCentre[2]) - g_Views.Current()->eye;
    cameraDistance = D3DXVec3Length(&toEye) - boundRadius;
    std::memset(linearVelocity, 0, sizeof(linearVelocity));
    std::memset(angularVelocity, 0, sizeof(angularVelocity));
    SetAction(ACTION_STEERING);
}

void CHumanObject::FollowVehicle()
{
    if (RagDoll)
    {
        btRigidBody* pelvis = RagDoll->bodies[0];
        btTransform t;
        pelvis->getMotionState()->getWorldTransform(t);
        D3DXMATRIX m;
        MatrixFromTransform(m, t);
        world = m;
        Position[0] = worldCentre[0] = m._41;
        Position[1] = worldCentre[1] = m._42;
        Position[2] = worldCentre[2] = m._43;
        const btVector3& v = pelvis->getLinearVelocity();
        linearVelocity[0] = v.x();
        linearVelocity[1] = v.y();
        linearVelocity[2] = v.z();
        return;
    }

    D3DXVECTOR3 seat;
    if (!VehicleSeatPoint(Vehicle, &seat))
        return;
    const D3DXMATRIX own = Vehicle->world;
    D3DXVECTOR3 s;
    D3DXVec3TransformCoord(&s, &seat, &own);
    D3DXMATRIX m = own;
    m._41 = s.x;
    m._42 = s.y;
    m._43 = s.z;
    world = m;

    if (body)
    {
        const D3DXVECTOR3 offset(massCentreOffset[0], massCentreOffset[1], massCentreOffset[2]);
        D3DXVECTOR3 origin;
        D3DXVec3TransformCoord(&origin, &offset, &m);
        D3DXMATRIX boxFrame = m;
        boxFrame._41 = origin.x;
        boxFrame._42 = origin.y;
        boxFrame._43 = origin.z;
        PutBody(body, TransformFromMatrix(boxFrame));
    }
    std::memset(linearVelocity, 0, sizeof(linearVelocity));
    std::memset(angularVelocity, 0, sizeof(angularVelocity));

    // The reference point: the pelvis of the ragdoll pose on this seat.
    const D3DXVECTOR3 back = seat - D3DXVECTOR3(0.0f, 0.0f, 0.1f);
    D3DXVECTOR3 q;
    D3DXVec3TransformCoord(&q, &back, &own);
    const D3DXVECTOR3 forward = Row(own, 2), up = Row(own, 1);
    D3DXMATRIX frame;
    MatrixFromPosTargetUp(frame, q, q + forward - up * 0.35f, up);
    if (PartsMesh && PartsMesh->partCount[HUMAN_PARTS_SLOT] > 0)
    {
        const float* c = PartsMesh->partCentre[HUMAN_PARTS_SLOT][0];
        const D3DXVECTOR3 centre(c[0], c[1], c[2]);
        D3DXVECTOR3 w;
        D3DXVec3TransformCoord(&w, &centre, &frame);
        q = w;
    }
    Position[0] = worldCentre[0] = q.x;
    Position[1] = worldCentre[1] = q.y;
    Position[2] = worldCentre[2] = q.z;
}

void CHumanObject::Release()
{
    delete RagDoll;
    RagDoll = nullptr;
    g_MeshContainer.ReleaseMesh(PartsMesh);
    PartsMesh = nullptr;
    g_Render.ReleaseTexture(DecalTexture);
    g_Render.ReleaseTexture(SuitTexture);
    DecalTexture = SuitTexture = -1;
    Loaded = 0;
    CStaticObject::Release();
}

D3DXVECTOR3 CHumanObject::GetPartSize(int i) const
{
    return RagdollPartSize(PartsMesh, i);
}

D3DXVECTOR3 CHumanObject::GetPivotInPart(int i) const
{
    return RagdollPivotInPart(PartsMesh, i);
}

D3DXVECTOR3 CHumanObject::GetPivotInParent(int i) const
{
    return RagdollPivotInParent(PartsMesh, i);
}
