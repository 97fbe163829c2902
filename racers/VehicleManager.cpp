// The list of motorcycles: showroom models, the player and the racers, and
// their update with the race clock. The list's draw passes are in
// VehicleDraw.cpp.
#include "racers/VehicleManager.h"

#include "core/CareerData.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/MathUtil.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/os/Rand.h"
#include "racers/HumanObject.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "scene/WheelSkids.h"

namespace
{

// The career's motorcycle, the first model when the career names none.
int SelectedModel()
{
    return (g_Career.motorcycle >= 0 && g_Career.motorcycle < VEHICLE_MODELS) ? g_Career.motorcycle : 0;
}

}   // namespace

int CVehicleManager::Create()
{
    for (CVehicleObject*& r : racers)
        r = nullptr;
    racerCount = 0;
    elementsTexture = g_Render.LoadTexture("Data/Vehicles/Elements.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    wheelsTexture = g_Render.LoadTexture("Data/Vehicles/Wheels.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    // The menu's garage shows these; they never race and never enter the
    // physics world.
    const float pos[3] = {1000.0f, 1000.0f, 1000.0f}, at[3] = {1000.0f, 1000.0f, 1001.0f}, up[3] = {0, 1, 0};
    for (int i = 0; i < VEHICLE_MODELS; ++i)
    {
        if (showroom[i])
            continue;
        CVehicleObject* model = new CVehicleObject();
        model->LoadVehicle(g_VehicleModelFiles[i]);
        model->SetPosition(pos, at, up, CONTROL_COMPUTER, RACER_SHOWROOM);
        model->SyncFromBody();
        showroom[i] = model;
    }
    return 1;
}

void CVehicleManager::Release()
{
    Clear();
    g_Render.ReleaseTexture(elementsTexture);
    g_Render.ReleaseTexture(wheelsTexture);
    elementsTexture = wheelsTexture = -1;
    for (CVehicleObject*& model : showroom)
    {
        if (!model)
            continue;
        model->Release();
        delete model;
        model = nullptr;
    }
}

CVehicleObject* CVehicleManager::CreatePlayer(const float* position, const float* target, const char* file)
{
    if (g_EditorMode)
        return nullptr;
    float pos[3], at[3];
    if (!position || !target)
    {
        if (!g_RacePath || g_RacePathCount < 2)
            return nullptr;   // nowhere to stand
        for (int i = 0; i < 3; ++i)
        {
            pos[i] = g_RacePath[0][i];
            at[i] = g_RacePath[1][i];
        }
        pos[1] += 1.5f;
        at[1] += 1.5f;
    }
    if (position)
        std::copy(position, position + 3, pos);
    if (target)
        std::copy(target, target + 3, at);
    if (!file)
        file = g_VehicleModelFiles[SelectedModel()];

    // The update takes racer 0 for the player: a player appended behind
    // other racers would be updated twice and another racer never.
    if (racerCount > (g_PlayerVehicle ? 1 : 0))
        return nullptr;
    if (g_PlayerVehicle)
        RemoveVehicle(g_PlayerVehicle);
    CVehicleObject* player = AddVehicle(file);
    if (!player)
        return nullptr;
    const float up[3] = {0.0f, 1.0f, 0.0f};
    player->SetPosition(pos, at, up, CONTROL_KEYBOARD, RACER_PLAYER);
    player->SetState(DRIVE_PLAYER);
    if (!player->inWorld)
    {
        // A refused motorcycle has no body to ride.
        RemoveVehicle(player);
        return nullptr;
    }
    g_PlayerVehicle = player;
    player->CreateRider();
    if (player->Rider)
    {
        // A career never given a voice keeps the rider's own.
        if (g_Career.voicePitch > 0.0f)
            player->Rider->VoicePitch = g_Career.voicePitch;
        player->Rider->VoiceIndex = g_Career.voiceIndex;
    }
    // Decal -1 gives every new player's motorcycle a random scheme.
    CareerTakesModelPaint(showroom[SelectedModel()]);
    player->SetPaint(&g_Career.decalId, g_Career.colour1, g_Career.colour2);
    return player;
}

void CareerTakesModelPaint(const CVehicleObject* model)
{
    if (!model || g_Career.decalId != 0)
        return;
    g_Career.decalId = model->DecalId;
    std::copy(model->PaintColor1, model->PaintColor1 + 4, g_Career.colour1);
    std::copy(model->PaintColor2, model->PaintColor2 + 4, g_Career.colour2);
}

CVehicleObject* CVehicleManager::AddVehicle(const char* file)
{
    if (racerCount >= VEHICLE_MAX_RACERS)
        return nullptr;
    CVehicleObject* v = new CVehicleObject();
    racers[racerCount++] = v;
    v->LoadVehicle(file);
    return v;
}

void CVehicleManager::RemoveVehicle(CVehicleObject* racer)
{
    for (int i = 0; i < racerCount; ++i)
    {
        if (racers[i] != racer)
            continue;
        // The race order must never hold a motorcycle that is gone.
        for (int k = 0; k < g_RaceOrderCount; ++k)
            if (g_RaceOrder[k] == racer)
            {
                for (int m = k; m + 1 < g_RaceOrderCount; ++m)
                    g_RaceOrder[m] = g_RaceOrder[m + 1];
                g_RaceOrder[--g_RaceOrderCount] = nullptr;
                break;
            }
        // Nothing may go on following a motorcycle that is gone.
        for (CCamera* camera : {&g_Views.mainCamera, &g_Views.auxCamera})
            if (camera->target == racer)
                camera->target = nullptr;
        ForgetGameEventVehicle(racer);
        racer->Release();
        delete racer;
        for (int j = i; j + 1 < racerCount; ++j)
            racers[j] = racers[j + 1];
        racers[--racerCount] = nullptr;
        if (g_PlayerVehicle == racer)
            g_PlayerVehicle = nullptr;
        break;
    }
    if (racerCount == 0)
        g_PlayerVehicle = nullptr;
}

void CVehicleManager::Clear()
{
    while (racerCount > 0)
        RemoveVehicle(racers[0]);
    g_PlayerVehicle = nullptr;
    // The strips' owners are gone: they are cleared without telling them.
    g_Skids.Reset();
    for (CVehicleObject*& entry : g_RaceOrder)
        entry = nullptr;
    g_RaceOrderCount = 0;
}

void CVehicleManager::Update()
{
    if (g_EditorMode)
        return;
    // The player, racer 0, went before the physics step; without a player
    // every racer is updated here.
    const int first = racerCount > 0 && racers[0] == g_PlayerVehicle ? 1 : 0;
    for (int i = first; i < racerCount;)
    {
        CVehicleObject* racer = racers[i];
        racer->Update();
        if (!racer->inWorld)
        {
            RemoveVehicle(racer);
            continue;   // the next racer moved into this slot
        }
        ++i;
    }
    if (g_RaceRunning)
    {
        g_RaceTime += g_Clock.m_GameStep;
        UpdateRaceOrder();
    }
}

void CVehicleManager::UpdateVisibility()
{
    for (int i = 0; i < racerCount; ++i)
        racers[i]->UpdateVisibility();
}

void CVehicleManager::CheckOcclusion()
{
    for (int i = 0; i < racerCount; ++i)
        if (racers[i] && racers[i]->visible && racers[i]->IsOccluded())
            racers[i]->visible = 0;
}
