// A race from the grid to the start: the start grid on the run-up of the race
// path, the start signal, and the end of the race.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/MathUtil.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/RaceState.h"
#include "core/Records.h"
#include "platform/os/Rand.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"

namespace
{

const float kLaneHalfWidth = 2.25f;

D3DXVECTOR3 PathAt(int i)
{
    i = std::max(0, std::min(g_RacePathCount - 1, i));
    return D3DXVECTOR3(g_RacePath[i][0], g_RacePath[i][1], g_RacePath[i][2]);
}

// How far the grid lifts a motorcycle: its shadow caster reaches this far
// below the model origin.
float GridLift(const CVehicleObject& v)
{
    const MeshRecord* mesh = v.meshRecord;
    float below = 0.0f;
    if (mesh && mesh->partCount[MESH_SLOT_SHADOW] > 0 && mesh->partBox[MESH_SLOT_SHADOW])
        below = std::fabs(mesh->partBox[MESH_SLOT_SHADOW][0][1]);
    if (!(below < 100.0f))
        below = 0.0f;   // a damaged mesh must not throw it into the sky
    return below + 0.25f;
}

bool MenuActive()
{
    return g_ControlHooks.menuActive && g_ControlHooks.menuActive();
}

}   // namespace

void CVehicleManager::CreateGrid()
{
    g_RaceRunning = 0;
    g_RaceTime = 0.0f;
    if (!g_RacePath || g_RacePathCount < 2)
        return;   // no path to stand on

    // A restart: the player goes back to the last slot, the others keep
    // theirs.
    const int previous = g_RaceOrderCount;
    for (int i = 0; i < previous; ++i)
        if (g_PlayerVehicle && g_RaceOrder[i] == g_PlayerVehicle)
            std::swap(g_RaceOrder[i], g_RaceOrder[previous - 1]);

    const int row = std::max(0, std::min(RACE_ROWS - 1, g_CurrentRace));
    const int n = std::max(1, std::min(RACE_ORDER_MAX, g_RaceTable.racers[row]));
    if (previous > n)
    {
        // A smaller grid than last time: the player keeps the last slot and
        // the racers past the grid leave.
        for (int i = n; i < previous; ++i)
            if (g_PlayerVehicle && g_RaceOrder[i] == g_PlayerVehicle)
                std::swap(g_RaceOrder[i], g_RaceOrder[n - 1]);
        CVehicleObject* leaving[RACE_ORDER_MAX];
        const int count = previous - n;
        std::copy(g_RaceOrder + n, g_RaceOrder + previous, leaving);
        for (int i = 0; i < count; ++i)
            if (leaving[i])
                RemoveVehicle(leaving[i]);
    }
    for (int i = g_RaceOrderCount; i < RACE_ORDER_MAX; ++i)
        g_RaceOrder[i] = nullptr;
    g_RaceOrderCount = n;

    // The computer racers take the score table's names in order, passing
    // over the player's own entry.
    const int playerEntry = ScorePlayerEntry();
    int nameCursor = playerEntry == 0 ? 1 : 0;

    // Pairs from the front: with an odd count the last slot stands alone on
    // point 0, so the first pair stands on point (n + 1) / 2 - 1.
    int k = (n + 1) / 2;
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    for (int i = 0; i < n; ++i)
    {
        const D3DXVECTOR3 spot = PathAt(k - 1);
        D3DXVECTOR3 ahead = PathAt(k + 1) - spot;
        if (std::fabs(ahead.x) + std::fabs(ahead.z) < 1e-6f)
            ahead = PathAt(g_RacePathCount - 1) - PathAt(0);   // a path too short for the grid
        if (std::fabs(ahead.x) + std::fabs(ahead.z) < 1e-6f)
            ahead = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
        D3DXMATRIX m;
        MatrixFromPosTargetUp(m, spot, spot + ahead, up);
        const D3DXVECTOR3 right(m._11, m._12, m._13), forward(m._31, m._32, m._33);
        const bool left = (i % 2) == 0;
        D3DXVECTOR3 pos = spot + right * (left ? -kLaneHalfWidth : kLaneHalfWidth);
        D3DXVECTOR3 target = pos + forward * 2.0f;

        CVehicleObject* v = g_RaceOrder[i];
        const bool made = !v;
        if (!v)
        {
            if (i < n - 1)
            {
                const int model = GameRand() % VEHICLE_MODELS;
                v = AddVehicle(g_VehicleModelFiles[model]);   // null at 16 racers: the slot stays empty
            }
            else
                v = g_PlayerVehicle;
            g_RaceOrder[i] = v;
        }
        if (v)
        {
            const float lift = GridLift(*v);
            pos.y += lift;
            target.y += lift;
            const float p[3] = {pos.x, pos.y, pos.z}, t[3] = {target.x, target.y, target.z}, u[3] = {0, 1, 0};
            if (v == g_PlayerVehicle)
            {
                v->SetPosition(p, t, u, CONTROL_COMPUTER, RACER_PLAYER);
                std::snprintf(v->Name, sizeof(v->Name), "%s", g_PlayerName);
            }
            else
            {
                v->SetPosition(p, t, u, CONTROL_COMPUTER, RACER_AI);
                // A restart keeps each rival's name; the race has sorted the
                // rivals, so naming them by slot would swap their names.
                if (made)
                    std::snprintf(v->Name, sizeof(v->Name), "%s", g_Records.name[nameCursor % SCORE_ENTRIES]);
                ++nameCursor;
                if (nameCursor == playerEntry)
                    ++nameCursor;
            }
            v->LaneOffset = left ? -1.0f : 1.0f;
            v->ResetDriving();
            v->SetState(DRIVE_HOLD);
            v->PathPoint = k;
            if (!v->Rider && v != g_PlayerVehicle)
                v->CreateRider();
            if (v->Rider)
                v->Rider->SetRagdoll(0);
        }
        if (!left)
            --k;
    }

    // Slots left empty (no room for another racer, no player) are not used.
    int kept = 0;
    for (int i = 0; i < n; ++i)
        if (g_RaceOrder[i])
            g_RaceOrder[kept++] = g_RaceOrder[i];
    for (int i = kept; i < RACE_ORDER_MAX; ++i)
        g_RaceOrder[i] = nullptr;
    g_RaceOrderCount = kept;
}

void CVehicleManager::StartRace()
{
    if (MenuActive())
    {
        EndRace();   // the demonstration race behind the menu
        return;
    }
    for (int i = 0; i < racerCount; ++i)
    {
        CVehicleObject* v = racers[i];
        if (v == g_PlayerVehicle || v->RacerKind != RACER_AI)
            continue;
        v->DriveState = DRIVE_AI;
        v->RearBrake = 0;
        std::memset(&v->RaceStats, 0, sizeof(v->RaceStats));
    }
    if (g_PlayerVehicle)
    {
        g_PlayerVehicle->DriveState = DRIVE_PLAYER;
        g_PlayerVehicle->ControlMode = CONTROL_KEYBOARD;
        g_PlayerVehicle->RearBrake = 0;
        std::memset(&g_PlayerVehicle->RaceStats, 0, sizeof(g_PlayerVehicle->RaceStats));
    }
    g_RaceRunning = 1;
    g_RaceTime = 0.0f;
}

void CVehicleManager::EndRace()
{
    for (int i = 0; i < racerCount; ++i)
    {
        CVehicleObject* v = racers[i];
        v->DriveState = DRIVE_AUTOPILOT;
        v->ControlMode = CONTROL_COMPUTER;
        v->RearBrake = 0;
        std::memset(&v->RaceStats, 0, sizeof(v->RaceStats));
    }
}
