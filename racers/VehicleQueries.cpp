// Which racers are near a point or in a racer's way: for the computer
// drivers' lanes and kicks and for the respawn.
#include <cmath>

#include "common/MathUtil.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"

namespace
{

D3DXVECTOR3 Vec(const float v[3])
{
    return D3DXVECTOR3(v[0], v[1], v[2]);
}

}   // namespace

CVehicleObject* CVehicleManager::FindNearest(const float* point, float distance, const CVehicleObject* asker) const
{
    const D3DXVECTOR3 p = Vec(point);
    CVehicleObject* nearest = nullptr;
    float deepest = 0.0f;
    for (int i = 0; i < racerCount; ++i)
    {
        CVehicleObject* v = racers[i];
        if (v == asker)
            continue;
        const float reach = VecDistance(p, Vec(v->worldCentre)) - distance - v->boundRadius;
        if (reach < deepest)
        {
            deepest = reach;
            nearest = v;
        }
    }
    return nearest;
}

CVehicleObject* CVehicleManager::FindNearestInRange(const float* point, float range, const CVehicleObject* excluded,
                                                    const CVehicleObject* after) const
{
    int start = 0;
    for (int i = 0; i < racerCount && after; ++i)
        if (racers[i] == after)
        {
            start = i + 1;
            break;
        }
    // The next one in list order, not the nearest of the rest: the callers
    // walk every racer in range by passing each result back, and a nearest
    // pick would skip the farther racers listed before it.
    const D3DXVECTOR3 p = Vec(point);
    for (int i = start; i < racerCount; ++i)
    {
        CVehicleObject* v = racers[i];
        if (v == excluded)
            continue;
        if (VecDistance(p, Vec(v->worldCentre)) - v->boundRadius < range)
            return v;
    }
    return nullptr;
}

CVehicleObject* CVehicleManager::FindObstacle(const CVehicleObject* asker, const CVehicleObject* after) const
{
    if (!asker)
        return nullptr;
    int start = 0;
    for (int i = 0; i < racerCount && after; ++i)
        if (racers[i] == after)
        {
            start = i + 1;
            break;
        }
    const D3DXVECTOR3 origin = Vec(asker->worldCentre);
    const D3DXVECTOR3 askerVelocity = Vec(asker->linearVelocity);
    const float lookAhead = (asker->Speed > 0.0f ? VecLength(askerVelocity) : 0.0f) + 1.5f * asker->boundRadius;
    const D3DXVECTOR3 direction = Vec(asker->TargetPoint) - origin;
    const bool computer = asker->RacerKind == RACER_AI;
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);

    CVehicleObject* found = nullptr;
    float nearest = 0.0f;
    for (int i = start; i < racerCount; ++i)
    {
        CVehicleObject* r = racers[i];
        if (r == asker || !r->meshRecord || r->meshRecord->partCount[0] <= 0 || !r->meshRecord->partSize[0])
            continue;
        const D3DXVECTOR3 centre = Vec(r->worldCentre);
        const float gap = VecDistance(origin, centre);
        if (gap - 1.5f * r->boundRadius > lookAhead)
            continue;

        // Its box, stretched forward by its own length and, for a player
        // asking, by how far it travels in a second.
        const float* s = r->meshRecord->partSize[0][0];
        float extend = 1.5f * r->boundRadius;
        if (r->Speed > 0.0f && !computer)
            extend += VecLength(Vec(r->linearVelocity));
        const D3DXVECTOR3 low(-1.5f * s[0], -2.0f * s[1], -0.75f * s[2]);
        const D3DXVECTOR3 high(1.5f * s[0], 2.0f * s[1], 0.75f * s[2] + extend);

        // Its frame: the motorcycle itself when the player steers it, else
        // the way it is heading to.
        D3DXMATRIX frame;
        if (r->RacerKind == RACER_PLAYER && r->ControlMode == CONTROL_KEYBOARD)
            frame = r->world;
        else
        {
            D3DXVECTOR3 heading = Vec(r->TargetPoint) - centre;
            if (std::fabs(heading.x) + std::fabs(heading.z) < 1e-6f)
                heading = D3DXVECTOR3(r->world._31, r->world._32, r->world._33);
            MatrixFromPosTargetUp(frame, centre, centre + heading, up);
        }
        D3DXMATRIX inverse;
        if (!D3DXMatrixInverse(&inverse, nullptr, &frame))
            continue;
        D3DXVECTOR3 localOrigin, localDirection;
        D3DXVec3TransformCoord(&localOrigin, &origin, &inverse);
        D3DXVec3TransformNormal(&localDirection, &direction, &inverse);
        if (!D3DXBoxBoundProbe(&low, &high, &localOrigin, &localDirection))
            continue;
        if (!computer)
            return r;
        if (!found || gap < nearest)
        {
            found = r;
            nearest = gap;
        }
    }
    return found;
}
