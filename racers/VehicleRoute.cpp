// A motorcycle on the race path: the player's progress along it, leaving the
// course and the shortcuts that do not count, the nearest path point, the
// distance left to the finish, and the respawn that puts it back on the path.
#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>

#include "common/MathUtil.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/RaceState.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Views.h"
#include "scene/WheelSkids.h"
#include "world/Landscape.h"

namespace
{

float DistanceTo(const float a[3], const float b[3])
{
    const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool IsPlayerView(int mode)
{
    return mode == VIEWMODE_ONBOARD || mode == VIEWMODE_CHASE_NEAR || mode == VIEWMODE_CHASE_FAR;
}

}   // namespace

void CVehicleObject::UpdateRouteProgress()
{
    const int count = g_RacePathCount;
    if (!g_RacePath || count < 2)
        return;
    PathPoint = std::max(0, std::min(PathPoint, count - 1));
    if (PathPoint >= count - 1)
        return;
    const float dt = g_Clock.m_GameStep;

    // Where the motorcycle is in the frame of the current segment: x across,
    // z along.
    const D3DXVECTOR3 from(g_RacePath[PathPoint][0], g_RacePath[PathPoint][1], g_RacePath[PathPoint][2]);
    const D3DXVECTOR3 to(g_RacePath[PathPoint + 1][0], g_RacePath[PathPoint + 1][1], g_RacePath[PathPoint + 1][2]);
    D3DXMATRIX frame;
    MatrixFromPosTargetUp(frame, from, to, D3DXVECTOR3(0, 1, 0));
    const D3DXVECTOR3 d(worldCentre[0] - from.x, worldCentre[1] - from.y, worldCentre[2] - from.z);
    const float across = d.x * frame._11 + d.y * frame._12 + d.z * frame._13;
    const float along = d.x * frame._31 + d.y * frame._32 + d.z * frame._33;

    if (Rider && Rider->RagDoll)
        OffRouteTimer = 0.0f;
    if (std::fabs(across) < 10.0f && std::fabs(along) < 10.0f)
    {
        if (along > -boundRadius)
            ++PathPoint;
        OffRouteTimer = 0.0f;
    }
    else
    {
        // Back on the path near where it was left; a rejoin 10 or more points
        // ahead is a shortcut and does not count.
        const int n = FindNearestPathPoint(worldCentre);
        if (n >= 0 && DistanceTo(worldCentre, g_RacePath[n]) < 8.0f && std::abs(n - PathPoint) < 10)
        {
            PathPoint = n;
            OffRouteTimer = 0.0f;
        }
        else
        {
            OffRouteTimer += 0.25f * dt;
            if (OffRouteTimer >= 1.0f && !GameEventRunning())
            {
                CCamera* camera = g_Views.activeCamera;
                if (camera && IsPlayerView(camera->viewMode))
                    camera->lastPlayerMode = camera->viewMode;
                PostGameEvent(GEVENT_RESPAWN, this, 0);
            }
            if (OffRouteTimer > 0.25f)
                ShowRaceMessage(RACE_MESSAGE_PENALTY, 5.0f, 0.375f);
        }
    }
    if (OffRouteTimer > 0.25f)
        RaceStats.OffRouteTime += dt;
    const int target = std::min(PathPoint, count - 1);
    for (int i = 0; i < 3; ++i)
        TargetPoint[i] = g_RacePath[target][i];
    if (this == g_PlayerVehicle && g_RaceRunning && PathPoint >= count - 1)
        g_Vehicles.OnFinish(this);
}

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
        auto taken = [this](int i) {
            return g_Vehicles.FindNearest(g_RacePath[i], 4.0f * boundRadius, this) != nullptr;
        };
        const int back = PathPoint;
        while (PathPoint > 0 && taken(PathPoint))
            --PathPoint;
        // Every point back to the first is taken (racers fallen together
        // near the start): the first free point ahead instead, up to where
        // the motorcycle fell, rather than into the racer on the first.
        if (PathPoint == 0 && taken(0))
            for (int i = back + 1; i <= back + 5 && i < count - 1; ++i)
                if (!taken(i))
                {
                    PathPoint = i;
                    break;
                }
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

    CCamera* camera = g_Views.activeCamera;
    if (this == g_PlayerVehicle && camera && camera->viewMode != VIEWMODE_FREE)
    {
        // Back to the view the player had before the fall or the fade.
        camera->SetMode(camera->lastPlayerMode, this);
        if (!IsPlayerView(camera->lastPlayerMode))
        {
            camera->lastPlayerMode = VIEWMODE_CHASE_NEAR;
            camera->SetMode(VIEWMODE_CHASE_NEAR, this);
        }
        camera->SnapChase();
        if (!g_Clock.IsPaused())
            g_Clock.m_TimeScale = 1.0f;
    }

    if (Rider)
        Rider->SetRagdoll(0);
    for (int i = 0; i < 2; ++i)
        if (SkidTrail[i])
            SkidTrail[i]->End();
    LastImpactTime = (int)g_Clock.GameTimeMs();
    LastImpactPartner = nullptr;
}
