#pragma once
// The list of racing motorcycles and the showroom models.
// Only the entry points the game object calls for now, doing nothing yet;
// the subsystem's own work fills them in.

class CVehicleObject;

// The player's motorcycle, null when there is none.
extern CVehicleObject* g_PlayerVehicle;

class CVehicleManager
{
public:
    int Create();
    // The other racers and the race order.
    void Update();
    void UpdateVisibility();
    void Render();
    void RenderChrome();
    void RenderEffects();
    void RenderShadows();
    void Release();
};

extern CVehicleManager g_Vehicles;
