// The race order by distance left, and a racer crossing the finish.
#include <algorithm>

#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/RaceState.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"

namespace
{

bool Racing(const CVehicleObject* v)
{
    return v->DriveState != DRIVE_AUTOPILOT && v->RaceStats.DistanceLeft > 0.0f;
}

}   // namespace

void CVehicleManager::UpdateRaceOrder()
{
    const int c = std::min(g_RaceOrderCount, RACE_ORDER_MAX);
    const float dt = g_Clock.m_GameStep;
    for (int i = 0; i < c; ++i)
        if (g_RaceOrder[i] && Racing(g_RaceOrder[i]))
            g_RaceOrder[i]->RaceStats.RaceTime += dt;

    // Each racing entry in turn takes the place of every racing entry behind
    // it that has less distance left. This is a selection by exchanges, not a
    // stable sort: two racers with equal distances left may change places
    // when a third one is exchanged past them. Entries no longer racing keep
    // their slot and their place, and no racing entry passes them.
    for (int i = 0; i < c; ++i)
    {
        if (!g_RaceOrder[i] || !Racing(g_RaceOrder[i]))
            continue;
        g_RaceOrder[i]->RaceStats.Position = i;
        for (int j = i + 1; j < c; ++j)
        {
            CVehicleObject* a = g_RaceOrder[i];
            CVehicleObject* b = g_RaceOrder[j];
            if (!b || !Racing(b) || !(b->RaceStats.DistanceLeft < a->RaceStats.DistanceLeft))
                continue;
            a->RaceStats.Position = j;
            b->RaceStats.Position = i;
            g_RaceOrder[i] = b;
            g_RaceOrder[j] = a;
        }
    }
}

void CVehicleManager::OnFinish(CVehicleObject* vehicle)
{
    if (!vehicle || std::find(g_RaceOrder, g_RaceOrder + g_RaceOrderCount, vehicle) == g_RaceOrder + g_RaceOrderCount)
        return;
    vehicle->PathPoint = 0;
    RaceStats& stats = vehicle->RaceStats;
    stats.DistanceLeft = 0.0f;
    // km/h from world units taken as metres; a race time of 0 has no speed.
    stats.AverageSpeed = stats.RaceTime > 0.0f ? g_RacePathLength * 0.001f / (stats.RaceTime / 3600.0f) : 0.0f;
    vehicle->DriveState = DRIVE_AUTOPILOT;
    if (vehicle == g_PlayerVehicle)
    {
        PostGameEvent(GEVENT_RACE_FINISH, vehicle, 0);
        vehicle->ControlMode = CONTROL_COMPUTER;
    }
}
