// Kicks between racers: the computer racer's check for a rival beside it,
// and the kick itself when the rider's foot strikes.
#include <cmath>

#include "audio/AudioManager.h"
#include "common/Keywords.h"
#include "core/GameClock.h"
#include "core/RaceState.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"

namespace
{

// An origin in the axes of a motorcycle (x right, y up, z ahead).
D3DXVECTOR3 InAxes(const CVehicleObject& v, const float point[3])
{
    const D3DMATRIX& m = v.world;
    const D3DXVECTOR3 r(point[0] - m._41, point[1] - m._42, point[2] - m._43);
    return D3DXVECTOR3(r.x * m._11 + r.y * m._12 + r.z * m._13, r.x * m._21 + r.y * m._22 + r.z * m._23,
                       r.x * m._31 + r.y * m._32 + r.z * m._33);
}

bool InReach(const D3DXVECTOR3& p, float minSide)
{
    const float side = std::fabs(p.x);
    return side >= minSide && side <= 1.25f && std::fabs(p.y) <= 0.5f && std::fabs(p.z) <= 1.25f;
}

}   // namespace

int KickReach(const CVehicleObject& kicker, const CVehicleObject& other, float minSide, float* side)
{
    const D3DXVECTOR3 a = InAxes(kicker, other.Position);
    const D3DXVECTOR3 b = InAxes(other, kicker.Position);
    if (side)
        *side = a.x;
    return InReach(a, minSide) && InReach(b, minSide);
}

int CVehicleObject::AiKickCheck()
{
    // Only a rider on its motorcycle, steering (not standing up or kicking)
    // and straight enough, starts a kick. A motorcycle without a rider is
    // ridden as if its rider steered; it has no foot to kick with, but the
    // check still says who it would kick.
    if (Rider && (Rider->RagDoll || Rider->Action != ACTION_STEERING))
        return 0;
    if (std::fabs(Steer) > 0.3f)
        return 0;
    KickTimer += g_Clock.m_GameStep;
    if (KickTimer < 0.25f)
        return 0;
    KickTimer = 0.0f;
    const float reach = 2.0f * boundRadius;
    for (CVehicleObject* other = g_Vehicles.FindNearestInRange(worldCentre, reach, this, nullptr); other;
         other = g_Vehicles.FindNearestInRange(worldCentre, reach, this, other))
    {
        float side = 0.0f;
        if (!KickReach(*this, *other, 0.3f, &side))
            continue;
        if (Rider)
        {
            if (side < 0.0f)
                Rider->KickLeftRequest = 1;
            else
                Rider->KickRightRequest = 1;
        }
        return side < 0.0f ? -1 : 1;
    }
    return 0;
}

void CVehicleObject::Kick(const float* side)
{
    const float kickSide = side ? side[0] : 0.0f;
    const float reach = 2.0f * boundRadius;
    for (CVehicleObject* other = g_Vehicles.FindNearestInRange(worldCentre, reach, this, nullptr); other;
         other = g_Vehicles.FindNearestInRange(worldCentre, reach, this, other))
    {
        float x = 0.0f;
        if (!KickReach(*this, *other, 0.0f, &x))
            continue;
        if ((x < 0.0f && kickSide > 0.0f) || (x > 0.0f && kickSide < 0.0f))
            continue;   // the other side
        other->KickedTimer = 1.0f;
        other->Steer = x < 0.0f ? -0.6f : 0.6f;   // pushed away
        if (g_RaceRunning && this == g_PlayerVehicle)
            ++RaceStats.Kicks;
        g_AudioManager.PlayImpact(100.0f, other);
    }
}
