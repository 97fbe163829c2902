#pragma once
// The list of racing motorcycles. For now it holds the player's motorcycle on
// the start line and the textures all motorcycles share; the showroom models,
// the computer racers, the race grid and the race order join it with the
// racers' own work.
#include "render/TextureManager.h"

class CVehicleObject;

// The player's motorcycle, null when there is none.
extern CVehicleObject* g_PlayerVehicle;

// The four motorcycle files, by model number 0..3.
extern const char* const g_VehicleModelFiles[4];

#define VEHICLE_MAX_RACERS 16

class CVehicleManager
{
public:
    CVehicleManager();

    // Loads "Data/Vehicles/Elements.bmp" and "Data/Vehicles/Wheels.bmp".
    // Returns 1.
    int Create();
    // Every racer and the shared textures go.
    void Release();
    // The player's motorcycle: by default the selected model on race-path
    // point 0 looking at point 1, both raised by 1.5. Any non-null argument
    // replaces its default. An existing player is removed first. A motorcycle
    // whose file is refused or that gets no body is dropped: the result and
    // g_PlayerVehicle are null then.
    CVehicleObject* CreatePlayer(const float* position, const float* target, const char* file);
    // A new racer loaded from the file, or null when 16 racers exist.
    CVehicleObject* AddVehicle(const char* file);
    // Releases and deletes one racer; later racers move down a slot.
    void RemoveVehicle(CVehicleObject* racer);
    // Every racer gone.
    void Clear();
    // The texture of decal *number ("Data/Vehicles/Decal%02d.bmp"); -1 is
    // first replaced by a random number 1..10 and written back.
    static TextureId LoadDecal(int* number);

    // The racers other than the player (who was updated before the physics
    // step); a racer whose body is not in the world is dropped.
    void Update();
    void UpdateVisibility();
    // Draw passes (VehicleDraw.cpp), of one motorcycle (the garage's) or,
    // with null, of every racer; the shadows are always every racer's.
    void Render(CVehicleObject* only = nullptr);
    void RenderChrome(CVehicleObject* only = nullptr);
    void RenderEffects(CVehicleObject* only = nullptr);
    void RenderShadows();

    CVehicleObject* racers[VEHICLE_MAX_RACERS];
    int racerCount;
    TextureId elementsTexture;
    TextureId wheelsTexture;
};

extern CVehicleManager g_Vehicles;
