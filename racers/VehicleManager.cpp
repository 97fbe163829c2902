// The list of racing motorcycles: the player's motorcycle on the start line
// and its update. The list's draw passes are in VehicleDraw.cpp.
#include "racers/VehicleManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/MathUtil.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/os/Rand.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "scene/WheelSkids.h"

CVehicleObject* g_PlayerVehicle = nullptr;

const char* const g_VehicleModelFiles[4] = {
    "Data/Vehicles/01/Main.obj",
    "Data/Vehicles/02/Main.obj",
    "Data/Vehicles/03/Main.obj",
    "Data/Vehicles/04/Main.obj",
};

CVehicleManager g_Vehicles;

namespace
{

// Until profiles exist the player rides the first model, as a new career does.
const int kSelectedModel = 0;

// Until the camera's chase views arrive, the main camera trails the player's
// motorcycle so that it can be seen and ridden.
void TrailWithMainCamera(const CVehicleObject& vehicle)
{
    CCamera& camera = g_Views.mainCamera;
    if (g_Views.activeCamera && g_Views.activeCamera != &camera)
        return;
    D3DXVECTOR3 ahead(vehicle.world._31, 0.0f, vehicle.world._33);
    if (D3DXVec3Length(&ahead) < 0.1f)
        ahead = D3DXVECTOR3(0, 0, 1);
    VecNormalize(ahead, ahead);
    // Behind and a little to the right, so the side of the motorcycle shows.
    const D3DXVECTOR3 right(ahead.z, 0.0f, -ahead.x);
    const D3DXVECTOR3 origin(vehicle.Position[0], vehicle.Position[1], vehicle.Position[2]);
    camera.eye = origin - ahead * 4.0f + right * 1.8f + D3DXVECTOR3(0, 1.6f, 0);
    camera.at = origin + ahead * 1.0f + D3DXVECTOR3(0, 0.6f, 0);
    camera.up = D3DXVECTOR3(0, 1, 0);
    camera.UpdateView();
}

}   // namespace

CVehicleManager::CVehicleManager() : racerCount(0), elementsTexture(-1), wheelsTexture(-1)
{
    for (CVehicleObject*& r : racers)
        r = nullptr;
}

int CVehicleManager::Create()
{
    for (CVehicleObject*& r : racers)
        r = nullptr;
    racerCount = 0;
    elementsTexture = g_Render.LoadTexture("Data/Vehicles/Elements.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    wheelsTexture = g_Render.LoadTexture("Data/Vehicles/Wheels.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    // The four showroom models are loaded here with the menu's motorcycle page.
    return 1;
}

void CVehicleManager::Release()
{
    Clear();
    g_Render.ReleaseTexture(elementsTexture);
    g_Render.ReleaseTexture(wheelsTexture);
    elementsTexture = wheelsTexture = -1;
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
        file = g_VehicleModelFiles[kSelectedModel];

    if (g_PlayerVehicle)
        RemoveVehicle(g_PlayerVehicle);
    CVehicleObject* player = AddVehicle(file);
    if (!player)
        return nullptr;
    const float up[3] = {0.0f, 1.0f, 0.0f};
    player->SetPosition(pos, at, up, CONTROL_KEYBOARD, RACER_PLAYER);
    player->DriveState = DRIVE_PLAYER;
    if (!player->inWorld)
    {
        // A refused motorcycle has no body to ride.
        RemoveVehicle(player);
        return nullptr;
    }
    // The career's paint joins the player here with the profiles.
    g_PlayerVehicle = player;
    player->CreateRider();
    return player;
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
}

TextureId CVehicleManager::LoadDecal(int* number)
{
    if (!number)
        return -1;
    if (*number == -1)
        *number = GameRand() % 10 + 1;
    char name[64];
    std::snprintf(name, sizeof(name), "Data/Vehicles/Decal%02d.bmp", *number);
    return g_Render.LoadTexture(name, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
}

void CVehicleManager::Update()
{
    if (g_EditorMode)
        return;
    for (int i = 1; i < racerCount;)
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
    if (g_PlayerVehicle)
        TrailWithMainCamera(*g_PlayerVehicle);
}

void CVehicleManager::UpdateVisibility()
{
    for (int i = 0; i < racerCount; ++i)
        racers[i]->UpdateVisibility();
}
