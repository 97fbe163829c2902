// The camera's view of the world above it: the followed motorcycle, the
// ground, the buildings, the sound listener and the fade's sound, and the
// statistics overlay's counters.
#include "racers/VehicleCamera.h"

#include <btBulletDynamicsCommon.h>

#include "audio/AudioManager.h"
#include "common/Keywords.h"
#include "core/Physics.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/CameraHooks.h"
#include "scene/StaticObjectManager.h"
#include "world/Landscape.h"
#include "world/NatureManager.h"

namespace
{

D3DXVECTOR3 Vec(const float* p)
{
    return D3DXVECTOR3(p[0], p[1], p[2]);
}

}   // namespace

int ReadCameraTarget(const CStaticObject* object, CameraTargetState* out)
{
    if (!object || object->objectClass != GCLASS_VEHICLE || !out)
        return 0;
    // Only motorcycles are made with the motorcycle class.
    const CVehicleObject* v = static_cast<const CVehicleObject*>(object);
    out->world = D3DXMATRIX(v->world);
    out->centre = Vec(v->worldCentre);
    out->position = Vec(v->Position);
    out->boundRadius = v->boundRadius;
    out->eyePoint = D3DXVECTOR3(0, 0, 0);
    const MeshRecord* r = v->meshRecord;
    if (r && r->pointCount[VEHICLE_POINT_SET_EYE] > 0 && r->points[VEHICLE_POINT_SET_EYE])
        out->eyePoint = r->points[VEHICLE_POINT_SET_EYE][0];
    out->speed = v->Speed;
    out->airborne = v->Airborne;
    out->hasRider = v->Rider ? 1 : 0;
    out->riderOff = v->Rider && v->Rider->RagDoll ? 1 : 0;
    out->riderCentre = v->Rider ? Vec(v->Rider->worldCentre) : out->centre;
    out->linearVelocity = Vec(v->linearVelocity);
    out->keyboard = v->ControlMode == CONTROL_KEYBOARD ? 1 : 0;
    return 1;
}

void ConnectCameraHooks()
{
    g_CameraHooks.readTarget = ReadCameraTarget;
    g_CameraHooks.playerVehicle = []() -> CStaticObject* { return g_PlayerVehicle; };
    g_CameraHooks.groundHeight = [](const D3DXVECTOR3& p) {
        const float point[3] = {p.x, p.y, p.z};
        return g_Landscape.GetHeight(point);
    };
    g_CameraHooks.buildingHit = [](const D3DXVECTOR3& nearPoint, float reach, const D3DXVECTOR3& from,
                                   const D3DXVECTOR3& to, D3DXVECTOR3* hit) {
        const float point[3] = {nearPoint.x, nearPoint.y, nearPoint.z};
        CStaticObject* building = g_StaticObjects.FindNearest(-1, GTYPE_BUILDING, point, reach);
        if (!building)
            return 0;
        const float a[3] = {from.x, from.y, from.z}, b[3] = {to.x, to.y, to.z};
        float h[3];
        if (!building->RayTest(a, b, h))
            return 0;
        *hit = Vec(h);
        return 1;
    };
    g_CameraHooks.placeListener = [](const D3DXVECTOR3& position, const D3DXVECTOR3& front, const D3DXVECTOR3& top,
                                     const D3DXVECTOR3& velocity) {
        g_AudioManager.SetListenerPosition(&position);
        g_AudioManager.SetListenerOrientation(&front, &top);
        g_AudioManager.SetListenerVelocity(&velocity);
    };
    g_CameraHooks.setFadeVolume = [](float percent) { g_AudioManager.SetFadeVolume(percent); };
    g_CameraHooks.playerStatistics = [](CameraPlayerStatistics* out) {
        const CVehicleObject* v = g_PlayerVehicle;
        if (!v)
            return 0;
        out->wheelsOnGround = v->WheelsOnGround;
        out->engineForce = v->EngineForce;
        out->brakingForce = v->BrakeRamp;
        out->speed = v->Speed;
        out->jumpPower = v->Rider ? v->Rider->StandUpLift : 0.0f;
        out->angularVelocityY = v->angularVelocity[1];
        return 1;
    };
    g_CameraHooks.worldCounters = [](CameraWorldCounters* out) {
        *out = CameraWorldCounters();
        out->landParts = g_Landscape.partCount;
        out->visibleLandParts = g_Landscape.visibleParts;
        out->innerGrassFields = g_Nature.grassFieldCount[0];
        out->visibleGrassFields = g_Nature.visibleGrassFields;
        out->innerTreeFields = g_Nature.treeFieldCount[0];
        out->visibleTreeFields = g_Nature.visibleTreeFields;
        if (g_PhysicsWorld.dynamicsWorld)
            out->collisionObjects = g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects();
        out->activeObjects = g_PhysicsWorld.activeBodies;
    };
}
