// The motorcycle's side of its rider: giving it one. The kick the rider lands
// on a rival alongside is the controllers' (VehicleKick.cpp).
#include "common/Keywords.h"
#include "core/DebugLog.h"
#include "racers/HumanManager.h"
#include "racers/HumanObject.h"
#include "racers/VehicleObject.h"

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
