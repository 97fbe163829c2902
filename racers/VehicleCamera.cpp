// The camera's view of a motorcycle it follows.
#include "racers/VehicleCamera.h"

#include "common/Keywords.h"
#include "racers/HumanObject.h"
#include "racers/VehicleObject.h"
#include "render/CameraHooks.h"

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
