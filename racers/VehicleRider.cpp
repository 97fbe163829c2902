// The motorcycle's side of its rider: giving it one, and the kick the rider
// lands on a rival alongside.
#include <cmath>

#include "audio/AudioManager.h"
#include "common/Keywords.h"
#include "core/DebugLog.h"
#include "core/RaceState.h"
#include "racers/HumanManager.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"

namespace
{

// Whether `p` (in a motorcycle's own axes) lies in the reach of a kick.
bool InKickReach(const D3DXVECTOR3& p)
{
    return std::fabs(p.x) <= 1.25f && std::fabs(p.y) <= 0.5f && std::fabs(p.z) <= 1.25f;
}

D3DXVECTOR3 Origin(const CVehicleObject* v)
{
    return D3DXVECTOR3(v->world._41, v->world._42, v->world._43);
}

}   // namespace

void CVehicleObject::CreateRider()
{
    if (Rider)
    {
        g_HumanManager.Remove(Rider);
        Rider = nullptr;
    }
    D3DXVECTOR3 seat;
    if (!VehicleSeatPoint(this, &seat))
    {
        // A motorcycle without a seat point has nowhere to carry a rider.
        ShowMessage("Motorcycle has no seat point!", "CreateRider() error!", MB_OK);
        return;
    }
    const D3DXMATRIX own = world;
    const D3DXVECTOR3 local = seat + D3DXVECTOR3(massCentreOffset[0], massCentreOffset[1], massCentreOffset[2]);
    D3DXVECTOR3 s;
    D3DXVec3TransformCoord(&s, &local, &own);
    const D3DXVECTOR3 t = s + D3DXVECTOR3(own._31, own._32, own._33);
    const float pos[3] = {s.x, s.y, s.z}, target[3] = {t.x, t.y, t.z}, up[3] = {own._21, own._22, own._23};

    // A full rider list leaves the motorcycle riderless: it is ridden as if
    // its rider sat on it and never falls.
    Rider = g_HumanManager.Add(g_HumanFile, pos, target, up);
    if (!Rider)
        return;
    Rider->Vehicle = this;
    Rider->SetPosition(pos, target, up);
    Rider->SetRagdoll(0);
    Rider->SetAction(ACTION_STEERING);
}

void CVehicleObject::Kick(const float* side)
{
    const D3DXVECTOR3 centre(worldCentre[0], worldCentre[1], worldCentre[2]);
    for (int i = 0; i < g_Vehicles.racerCount; ++i)
    {
        CVehicleObject* other = g_Vehicles.racers[i];
        if (!other || other == this)
            continue;
        const D3DXVECTOR3 otherCentre(other->worldCentre[0], other->worldCentre[1], other->worldCentre[2]);
        const D3DXVECTOR3 apart = otherCentre - centre;
        if (D3DXVec3Length(&apart) > 2.0f * boundRadius)
            continue;
        D3DXVECTOR3 a, b;
        const D3DXVECTOR3 otherOrigin = Origin(other), ownOrigin = Origin(this);
        WorldToLocal(&a, &otherOrigin);
        other->WorldToLocal(&b, &ownOrigin);
        // On the kicked side, within reach both ways.
        if (!InKickReach(a) || !InKickReach(b) || a.x * side[0] < 0.0f)
            continue;
        other->KickedTimer = 1.0f;
        other->Steer = a.x < 0.0f ? -0.6f : 0.6f;
        if (g_RaceRunning && this == g_PlayerVehicle)
            ++RaceStats.Kicks;
        g_AudioManager.PlayImpact(100.0f, other);
    }
}
