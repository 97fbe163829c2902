// The motorcycle's physics: the compound chassis, the body and its ray-cast
// vehicle (created once, re-placed at every respawn), and the per-frame read
// back of body and wheels.
//
// The body's origin is the centre of mass. A model-space point c lies at
// c + (0, CentreOfMassHeight, 0) in the body's frame, so the model origin is
// the body origin plus that offset turned by the body's rotation.
#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/MathUtil.h"
#include "core/CareerData.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "platform/os/Rand.h"
#include "racers/HumanObject.h"
#include "racers/VehicleObject.h"
#include "racers/VehicleWheels.h"
#include "render/Views.h"
#include "scene/Dusts.h"
#include "scene/ObjectPhysics.h"
#include "scene/WheelSkids.h"
#include "world/Landscape.h"
#include "world/Sky.h"

namespace
{

// Row-vector world matrices (rows side, up, forward, origin) hold the same
// sixteen numbers as the library's column-major OpenGL matrices.
btTransform TransformFromMatrix(const D3DMATRIX& m)
{
    btTransform t;
    t.setFromOpenGLMatrix(&m._11);
    return t;
}

void MatrixFromTransform(D3DMATRIX& m, const btTransform& t)
{
    t.getOpenGLMatrix(&m._11);
}

btVector3 Bt(const D3DXVECTOR3& v)
{
    return btVector3(v.x, v.y, v.z);
}

void Store(float out[3], const btVector3& v)
{
    out[0] = v.x();
    out[1] = v.y();
    out[2] = v.z();
}

float RandomFactor()
{
    return (float)(GameRand() % 101) * 0.001f + 0.75f;
}

// The player rides with the career's upgrade levels: what the upgrade page
// bought is what the motorcycle has on the track. A level out of range in
// memory is held to 0..10.
void PlayerUpgradeLevels(int levels[3])
{
    for (int i = 0; i < 3; ++i)
        levels[i] = std::max(0, std::min(10, (int)g_Career.upgradeLevel[i]));
}

}   // namespace

void CVehicleObject::SetPosition(const float* pos, const float* target, const float* up, int controlMode, int racerKind)
{
    D3DXVECTOR3 p, t, u;
    if (pos)
    {
        p = D3DXVECTOR3(pos[0], pos[1], pos[2]);
        t = target ? D3DXVECTOR3(target[0], target[1], target[2]) : p + D3DXVECTOR3(0, 0, 1);
        u = up ? D3DXVECTOR3(up[0], up[1], up[2]) : D3DXVECTOR3(0, 1, 0);
        RacerKind = racerKind;
    }
    else
    {
        // Back to the stored placement frame, upright.
        p = D3DXVECTOR3(placement._41, placement._42, placement._43);
        t = p + D3DXVECTOR3(placement._31, placement._32, placement._33) * 100.0f;
        u = D3DXVECTOR3(placement._21, placement._22, placement._23);
    }
    SetOrientation(p, t, u);
    placement = world;
    Position[0] = worldCentre[0] = p.x;
    Position[1] = worldCentre[1] = p.y;
    Position[2] = worldCentre[2] = p.z;
    const float pp[3] = {p.x, p.y, p.z}, tt[3] = {t.x, t.y, t.z}, uu[3] = {u.x, u.y, u.z};
    CreatePhysics(Mass, pp, tt, uu);
    ControlMode = controlMode;
    StuckTimer = KickedTimer = 0.0f;
    RubberBand = 0;
    KickTimer = -(float)(GameRand() % 101) * 0.04f;
}

void CVehicleObject::ApplyRacerTuning()
{
    switch (RacerKind)
    {
    case RACER_AI:
    {
        // The race's bonus and the racer's own factors are applied to the
        // file's values, never to what an earlier respawn left, so a racer
        // keeps the same power all race long.
        int bonus = 0;
        if (g_CurrentRace >= 0 && g_CurrentRace < RACE_ROWS)
            bonus = std::max(0, g_RaceTable.difficulty[g_CurrentRace]);
        for (int i = 0; i < 3; ++i)
            UpgradeLevels[i] = std::min(10, FileUpgradeLevels[i] + std::min(bonus, 10));
        if (PowerFactor == 0.0f)
        {
            PowerFactor = RandomFactor();
            TransmissionFactor = RandomFactor();
        }
        BaseEnginePower = FileEnginePower * PowerFactor;
        BaseTransmission = FileTransmission * TransmissionFactor;
        ApplyUpgrades(1);
        break;
    }
    case RACER_PLAYER:
        PlayerUpgradeLevels(UpgradeLevels);
        ApplyUpgrades(1);
        break;
    default:
        break;   // showroom models keep the file's levels and values
    }
}

void CVehicleObject::CreateCollisionShape(const float* offset)
{
    if (ChassisShape || !meshRecord)
        return;
    const int cylinders = meshRecord->partCount[MESH_SLOT_CYLINDERS];
    const int boxes = meshRecord->partCount[MESH_SLOT_BOXES];
    if (cylinders <= 0 && boxes <= 0)
        return;
    ChassisShape = new btCompoundShape(true);
    for (int slot : {(int)MESH_SLOT_CYLINDERS, (int)MESH_SLOT_BOXES})
    {
        for (int i = 0; i < meshRecord->partCount[slot]; ++i)
        {
            const float* low = meshRecord->partBox[slot][i];
            const float* size = meshRecord->partSize[slot][i];
            const btVector3 half(size[0] * 0.5f, size[1] * 0.5f, size[2] * 0.5f);
            btCollisionShape* child;
            if (slot == MESH_SLOT_CYLINDERS)
                child = new btCylinderShapeX(half);   // axis along the axles
            else
                child = new btBoxShape(half);
            btTransform t;
            t.setIdentity();
            t.setOrigin(
                btVector3(low[0] + half.x() - offset[0], low[1] + half.y() - offset[1], low[2] + half.z() - offset[2]));
            ChassisShape->addChildShape(t, child);
        }
    }
}

void CVehicleObject::CreatePhysics(float bodyMass, const float* pos, const float* target, const float* up)
{
    const D3DXVECTOR3 p(pos[0], pos[1], pos[2]);
    Position[0] = p.x;
    Position[1] = p.y;
    Position[2] = p.z;
    SetOrientation(p, D3DXVECTOR3(target[0], target[1], target[2]), D3DXVECTOR3(up[0], up[1], up[2]));
    const btTransform start = TransformFromMatrix(world);
    mass = bodyMass;

    ApplyRacerTuning();

    if (!body)
    {
        // A refused motorcycle (missing file, mesh, points or collision
        // parts) gets no body; the list drops it.
        if (!Loaded || !meshRecord)
            return;
        massCentreOffset[1] = CentreOfMassHeight;
        const float offset[3] = {0.0f, -CentreOfMassHeight, 0.0f};
        CreateCollisionShape(offset);
        if (!ChassisShape)
            return;
        btDefaultMotionState* motion = new btDefaultMotionState(start);
        const btVector3 inertia(bodyMass * 0.5f, bodyMass * 0.5f, bodyMass * 0.5f);
        body = new btRigidBody(bodyMass, motion, ChassisShape, inertia);
        body->setUserPointer(static_cast<CStaticObject*>(this));

        const D3DXVECTOR3* pt = meshRecord->points[VEHICLE_POINT_SET_WHEELS];
        const D3DXVECTOR3 lift(0.0f, CentreOfMassHeight, 0.0f);
        RestLength = (pt[2].y - pt[0].y) * 0.5f;
        Tuning.m_suspensionStiffness = SuspensionStiffness;
        Tuning.m_suspensionCompression = SuspensionCompression;
        Tuning.m_suspensionDamping = SuspensionDamping;
        Tuning.m_maxSuspensionTravelCm = RestLength * 200.0f;
        Tuning.m_frictionSlip = 0.0f;
        Vehicle = new btRaycastVehicle(Tuning, body, g_PhysicsWorld.vehicleRaycaster);
        Vehicle->setCoordinateSystem(0, 1, 2);
        D3DXVECTOR3 frontDirection = pt[0] - pt[2], rearDirection = pt[1] - pt[3];
        VecNormalize(frontDirection, frontDirection);
        VecNormalize(rearDirection, rearDirection);
        const btVector3 axle(-1.0f, 0.0f, 0.0f);
        Vehicle->addWheel(Bt((pt[0] + pt[2]) * 0.5f + lift), Bt(frontDirection), axle, RestLength,
                          WheelRadius[0] + 0.1f, Tuning, true);
        Vehicle->addWheel(Bt((pt[1] + pt[3]) * 0.5f + lift), Bt(rearDirection), axle, RestLength, WheelRadius[1],
                          Tuning, false);
        Vehicle->resetSuspension();
        for (int i = 0; i < Vehicle->getNumWheels(); ++i)
        {
            btWheelInfo& wheel = Vehicle->getWheelInfo(i);
            wheel.m_frictionSlip = i == 0 ? FrontFrictionSlip : RearFrictionSlip;
            wheel.m_rollInfluence = i == 0 ? FrontRollInfluence : RearRollInfluence;
            wheel.m_raycastInfo.m_suspensionLength = 0.0f;
            // Bullet leaves the ray cast's findings undefined until the first
            // physics step, and the wheels are read before that step: they
            // start off the ground.
            wheel.m_raycastInfo.m_isInContact = false;
            wheel.m_raycastInfo.m_groundObject = nullptr;
        }
    }
    else
    {
        // Re-placement (a respawn): the same body and vehicle at the new frame.
        btDefaultMotionState* motion = static_cast<btDefaultMotionState*>(body->getMotionState());
        if (motion)
        {
            motion->m_startWorldTrans = start;
            motion->m_graphicsWorldTrans = start;
        }
        body->setCenterOfMassTransform(start);   // world and interpolation transforms
        if (inWorld && body->getBroadphaseHandle() && g_PhysicsWorld.broadphase)
            g_PhysicsWorld.broadphase->getOverlappingPairCache()->cleanProxyFromPairs(body->getBroadphaseHandle(),
                                                                                      g_PhysicsWorld.dispatcher);
        Vehicle->resetSuspension();
        EngineForce = 0.0f;
        Speed = 0.0f;
    }

    // Put somewhere else (a respawn, the start grid, a restart): a mark
    // carried on from the old place would be drawn straight across to the new.
    for (int i = 0; i < VEHICLE_WHEEL_SLOTS; ++i)
    {
        if (SkidTrail[i])
            SkidTrail[i]->End();
        WheelSliding[i] = 0;
        SlideChange[i] = -1.0f;
    }

    // Only racers enter the world; showroom models keep theirs outside. The
    // in-world flag is what the list's update checks to keep a racer.
    if (RacerKind != RACER_SHOWROOM && !inWorld && g_PhysicsWorld.dynamicsWorld && g_PhysicsWorld.vehicleRaycaster)
    {
        g_PhysicsWorld.dynamicsWorld->addRigidBody(body);
        g_PhysicsWorld.dynamicsWorld->addVehicle(Vehicle);
        inWorld = 1;
    }

    SetRacerBodyResponse(body, 1.0f, 0.05f, 0.5f, DISABLE_DEACTIVATION);
    body->setLinearVelocity(btVector3(0, 0, 0));
    body->setAngularVelocity(btVector3(0, 0, 0));
    body->setAngularFactor(btVector3(1, 1, 1));

    const D3DXVECTOR3 toEye = D3DXVECTOR3(worldCentre[0], worldCentre[1], worldCentre[2]) - g_Views.Current()->eye;
    cameraDistance = D3DXVec3Length(&toEye) - boundRadius;

    Speed = 0.0f;
    std::memset(linearVelocity, 0, sizeof(linearVelocity));
    std::memset(angularVelocity, 0, sizeof(angularVelocity));
    std::memset(PreviousVelocity, 0, sizeof(PreviousVelocity));
    std::memset(PreviousAngularVelocity, 0, sizeof(PreviousAngularVelocity));
    Throttle = EngineForce = BrakeInput = BrakeRamp = 0.0f;
    RearBrake = 0;
    SteerInput = Steer = Lean = KickedTimer = 0.0f;
}

void CVehicleObject::SyncFromBody()
{
    if (!body)
        return;
    btTransform t;
    if (body->getMotionState())
        body->getMotionState()->getWorldTransform(t);
    else
        t = body->getWorldTransform();
    D3DXMATRIX m;
    MatrixFromTransform(m, t);
    const D3DXVECTOR3 offset(massCentreOffset[0], massCentreOffset[1], massCentreOffset[2]);
    D3DXVECTOR3 origin;
    D3DXVec3TransformCoord(&origin, &offset, &m);
    Position[0] = m._41 = origin.x;
    Position[1] = m._42 = origin.y;
    Position[2] = m._43 = origin.z;
    world = m;
    const D3DXVECTOR3 centre(boundCentre[0], boundCentre[1], boundCentre[2]);
    D3DXVECTOR3 c;
    D3DXVec3TransformCoord(&c, &centre, &m);
    worldCentre[0] = c.x;
    worldCentre[1] = c.y;
    worldCentre[2] = c.z;
    Store(linearVelocity, body->getLinearVelocity());
    Store(angularVelocity, body->getAngularVelocity());

    // A riding rider is thrown off by a sudden stop, or when the motorcycle
    // has turned over outside a jump.
    if (Rider && !Rider->RagDoll)
    {
        const float up[3] = {m._21, m._22, m._23};
        float throwVelocity[3];
        if (RiderThrowVelocity(PreviousVelocity, linearVelocity, up, throwVelocity))
            Rider->SetRagdoll(1, throwVelocity);
        else if (!Airborne && m._22 < -0.25f)
            Rider->SetRagdoll(1, linearVelocity);
    }

    std::memcpy(PreviousVelocity, linearVelocity, sizeof(PreviousVelocity));
    std::memcpy(PreviousAngularVelocity, angularVelocity, sizeof(PreviousAngularVelocity));
}

void CVehicleObject::UpdateWheels()
{
    WheelsOnGround = 0;
    if (!Vehicle || !meshRecord)
        return;
    const D3DXVECTOR3* pt = meshRecord->points[VEHICLE_POINT_SET_WHEELS];
    D3DXMATRIX own = world, inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &own))
        D3DXMatrixIdentity(&inverse);
    const float k = 1.0f / (pt[2].y - pt[0].y);
    const float dt = g_Clock.m_GameStep;
    const int wheels = std::min(2, Vehicle->getNumWheels());
    for (int i = 0; i < wheels; ++i)
    {
        Vehicle->updateWheelTransform(i, true);
        btWheelInfo& wheel = Vehicle->getWheelInfo(i);
        MatrixFromTransform(WheelMatrix[i], wheel.m_worldTransform);

        const D3DXVECTOR3 hub(WheelMatrix[i]._41, WheelMatrix[i]._42, WheelMatrix[i]._43);
        D3DXVECTOR3 local;
        D3DXVec3TransformCoord(&local, &hub, &inverse);
        const float top = i == 0 ? pt[2].y : pt[3].y;
        WheelCompression[i] = 1.0f - std::min(1.0f, std::max(0.0f, (top - local.y) * k));

        const bool onGround = wheel.m_raycastInfo.m_groundObject != nullptr;
        if (onGround)
            WheelContact[i] = std::min(1.0f, WheelContact[i] + 10.0f * dt);
        else
            WheelContact[i] = std::max(-1.0f, WheelContact[i] - 10.0f * dt);
        const bool touching = WheelContact[i] > 0.0f;
        if (touching)
            ++WheelsOnGround;

        DustTimer[i] += g_Clock.m_RealStep;
        SkidTimer[i] += g_Clock.m_RealStep;

        const float hubPoint[3] = {hub.x, hub.y, hub.z};
        SettleSlide(onGround && wheel.m_skidInfo < 1.0f, dt, &WheelSliding[i], &SlideChange[i]);
        WheelReading reading;
        reading.routePower = g_Landscape.GetRoutePower(hubPoint);
        reading.skid = wheel.m_skidInfo;
        reading.sliding = WheelSliding[i];
        reading.speed = Speed;
        reading.contact = WheelContact[i];
        reading.touching = onGround;
        // The front wheel has had its turn: the rear marks with it.
        reading.rearFollowsFront = i == 1 && SkidTrail[0];
        LeaveWheelMarks(i, GetWheelMarks(reading), hub);

        // Grip builds up over 0.4 s on the ground and fades in the air.
        const float target = i == 0 ? FrontFrictionSlip : RearFrictionSlip;
        if (touching)
            wheel.m_frictionSlip = std::min(target, wheel.m_frictionSlip + target * 2.5f * dt);
        else
            wheel.m_frictionSlip = std::max(0.0f, wheel.m_frictionSlip - target * 4.0f * dt);
    }
    UpdateTyreSound();
}

void CVehicleObject::LeaveWheelMarks(int i, const WheelMarks& marks, const D3DXVECTOR3& hub)
{
    const float origin[3] = {hub.x, hub.y, hub.z};
    if (marks.marks)
    {
        if (!SkidTrail[i])
        {
            SkidTrail[i] = g_Skids.NewStrip(this);
            SkidTimer[i] = 1.0f;
        }
        if (SkidTrail[i] && SkidTimer[i] > 0.075f && SkidTrail[i]->AddPoint(origin, marks.strength))
            SkidTimer[i] = 0.0f;
    }
    else if (SkidTrail[i])
        SkidTrail[i]->End();

    if (marks.dust && DustTimer[i] > 0.075f)
    {
        const float at[3] = {hub.x, g_Landscape.GetHeight(origin), hub.z};
        const float velocity[3] = {0.75f * linearVelocity[0], 0.75f * linearVelocity[1] + 0.5f,
                                   0.75f * linearVelocity[2]};
        const float size = WheelRadius[i] * 0.5f * marks.dustScale;
        const float light = std::max(0.25f, g_Sky.sunIntensity);
        const bool winter = g_CurrentRace >= 0 && g_CurrentRace < RACE_ROWS && g_RaceTable.season[g_CurrentRace] == 2;
        const float colour[4] = {0.55f * light, (winter ? 0.55f : 0.35f) * light, (winter ? 0.55f : 0.15f) * light,
                                 0.5f * marks.offRoad};
        g_Dusts.Emit(at, velocity, size, 2.0f, marks.dustGrowth, colour);
        DustTimer[i] = 0.0f;
    }
}
