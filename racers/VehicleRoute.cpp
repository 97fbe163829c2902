// A motorcycle on the race path: the nearest path point, the distance left to
// the finish, and the respawn that puts it back on the path. The rest of the
// route progress (the player's progress, leaving the course, jumps and
// impacts) joins this file with its own work.
#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>

#include "core/GameClock.h"
#include "core/RaceState.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "world/Landscape.h"

namespace
{

float DistanceTo(const float a[3], const float b[3])
{
    const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}   // namespace

int CVehicleObject::FindNearestPathPoint(const float* point) const
{
    const int count = g_RacePathCount;
    if (!g_RacePath || PathPoint >= count - 1)
        return -1;
    int nearest = -1;
    float best = 0.0f;
    for (int i = std::max(0, PathPoint); i <= count - 2; ++i)
    {
        const float d = DistanceTo(point, g_RacePath[i]);
        if (nearest < 0 || d < best)
        {
            nearest = i;
            best = d;
        }
    }
    return nearest;
}

void CVehicleObject::UpdateDistanceLeft()
{
    const int count = g_RacePathCount;
    float left = 0.0f;
    if (g_RacePath && PathPoint >= 0 && PathPoint < count - 1)
        left =
            (float)(count - PathPoint) * g_Landscape.cellSize * 2.0f + DistanceTo(worldCentre, g_RacePath[PathPoint]);
    RaceStats.DistanceLeft = std::max(0.0f, std::min(g_RacePathLength, left));
}

void CVehicleObject::Respawn()
{
    StuckTimer = 0.0f;
    OffRouteTimer = 0.0f;
    PathPoint = std::max(0, PathPoint - 5);
    const int count = g_RacePathCount;
    if (!g_RacePath || count < 2)
        return;
    PathPoint = std::min(PathPoint, count - 2);

    int at = PathPoint;
    if (g_RaceRunning)
    {
        // Never onto a racer standing on the path: a point further back.
        while (PathPoint > 0 && g_Vehicles.FindNearest(g_RacePath[PathPoint], 4.0f * boundRadius, this))
            --PathPoint;
        at = PathPoint;
    }
    else
    {
        const int nearest = FindNearestPathPoint(worldCentre);
        if (nearest >= 0)
            at = std::min(nearest, count - 2);
    }

    const float pos[3] = {g_RacePath[at][0], g_RacePath[at][1] + 2.5f, g_RacePath[at][2]};
    const float target[3] = {g_RacePath[at + 1][0], g_RacePath[at + 1][1] + 2.5f, g_RacePath[at + 1][2]};
    const float up[3] = {0.0f, 1.0f, 0.0f};
    for (int i = 0; i < 3; ++i)
        Position[i] = worldCentre[i] = pos[i];
    CreatePhysics(Mass, pos, target, up);
    // The new physics start from the base power again, so a rubber-band
    // adjustment no longer applies and must not be taken back later.
    RubberBand = 0;

    if (Rider)
        Rider->SetRagdoll(0);
    // The camera's return to the player's view and the skid strips' end join
    // here with their own work.
    LastImpactTime = (int)g_Clock.GameTimeMs();
    LastImpactPartner = nullptr;
}
