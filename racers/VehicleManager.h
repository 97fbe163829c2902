#pragma once
// The list of motorcycles: the four showroom models the menu shows and up to
// sixteen racers, racer 0 the player's once a race is set up. It creates the
// player and the start grid, updates the racers other than the player, keeps
// the race clock and the race order, and answers the proximity queries of the
// computer drivers and the respawn.
#include "platform/d3d/D3D9.h"
#include "render/TextureManager.h"

class CVehicleObject;

// The player's motorcycle, null when there is none.
extern CVehicleObject* g_PlayerVehicle;

// The four motorcycle files, by model number 0..3.
extern const char* const g_VehicleModelFiles[4];

#define VEHICLE_MAX_RACERS 16
#define VEHICLE_MODELS     4

// Decal 0 means "the model's own paint": a career with it takes the model's
// decal and colours over as its own. Any other decal, -1 (a random scheme)
// among them, is left as it is. Nothing for a null model.
void CareerTakesModelPaint(const CVehicleObject* model);

class CVehicleManager
{
public:
    CVehicleManager();

    // Loads "Data/Vehicles/Elements.bmp", "Data/Vehicles/Wheels.bmp" and the
    // four showroom models (never in the physics world). Returns 1.
    int Create();
    // Every racer, the showroom models and the shared textures go.
    void Release();
    // The player's motorcycle, racer 0: by default the selected model on
    // race-path point 0 looking at point 1, both raised by 1.5. Any non-null
    // argument replaces its default. An existing player is replaced; with
    // other racers in the list nothing is made (the player must come first).
    // A motorcycle whose file is refused or that gets no body is dropped: the
    // result and g_PlayerVehicle are null then.
    CVehicleObject* CreatePlayer(const float* position, const float* target, const char* file);
    // A new racer loaded from the file, or null when 16 racers exist.
    CVehicleObject* AddVehicle(const char* file);
    // Releases and deletes one racer; later racers move down a slot, and the
    // race order lets it go too.
    void RemoveVehicle(CVehicleObject* racer);
    // Every racer gone, the race order empty.
    void Clear();
    // The texture of decal *number ("Data/Vehicles/Decal%02d.bmp"); -1 is
    // first replaced by a random number 1..10 and written back.
    static TextureId LoadDecal(int* number);

    // The racers other than the player (who was updated before the physics
    // step); a racer whose body is not in the world is dropped. While the
    // race runs, the race clock and the race order.
    void Update();
    void UpdateVisibility();
    // In the occlusion pass: every visible racer hidden by the current
    // occluder becomes invisible.
    void CheckOcclusion();

    // --- Proximity queries ----------------------------------

    // The racer other than `asker` reaching deepest into the sphere of radius
    // `distance` around the point; null when none reaches into it.
    CVehicleObject* FindNearest(const float* point, float distance, const CVehicleObject* asker) const;
    // The next racer after `after` in list order (from the first when `after`
    // is null or not listed), other than `excluded`, whose surface lies
    // within `range` of the point. Passing each result back as `after` visits
    // every racer in range once.
    CVehicleObject* FindNearestInRange(const float* point, float range, const CVehicleObject* excluded,
                                       const CVehicleObject* after) const;
    // A racer after `after` in list order that lies in the asker's way to its
    // TargetPoint: the first such racer for the player, the nearest for a
    // computer racer.
    CVehicleObject* FindObstacle(const CVehicleObject* asker, const CVehicleObject* after) const;

    // --- Race grid and race order ---------------------------

    // The start grid of the current race row: computer racers in pairs on the
    // run-up of the race path, the player in the last slot, all held.
    void CreateGrid();
    // The start signal: computer racers race, the player takes the keys, the
    // race clock starts. Behind the menu everyone rides on autopilot instead.
    void StartRace();
    // Every racer on autopilot under computer control, statistics cleared.
    void EndRace();
    // A racer reached the finish: its average speed, then autopilot; the
    // player's finish posts the race-finish event.
    void OnFinish(CVehicleObject* vehicle);
    // Race times of the racers still racing, and their places by distance
    // left.
    void UpdateRaceOrder();
    // Draw passes, of one motorcycle (the garage's) or, with null, of every
    // racer; the shadows are always every racer's.
    void Render(CVehicleObject* only = nullptr);
    void RenderChrome(CVehicleObject* only = nullptr);
    void RenderEffects(CVehicleObject* only = nullptr);
    void RenderShadows();

    CVehicleObject* showroom[VEHICLE_MODELS];
    CVehicleObject* racers[VEHICLE_MAX_RACERS];
    int racerCount;
    TextureId elementsTexture;
    TextureId wheelsTexture;
};

extern CVehicleManager g_Vehicles;
