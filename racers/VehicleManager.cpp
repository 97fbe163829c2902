// Stand-in: entry points only, filled in by the subsystem's own work.
#include "racers/VehicleManager.h"

CVehicleObject* g_PlayerVehicle = nullptr;

CVehicleManager g_Vehicles;

int CVehicleManager::Create()
{
    return 1;
}

void CVehicleManager::Update() {}

void CVehicleManager::UpdateVisibility() {}

void CVehicleManager::Render() {}

void CVehicleManager::RenderChrome() {}

void CVehicleManager::RenderEffects() {}

void CVehicleManager::RenderShadows() {}

void CVehicleManager::Release() {}
