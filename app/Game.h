#pragma once
// The game object: the order in which every subsystem is created, updated,
// drawn and released. The cameras (g_Views), the physics world
// (g_PhysicsWorld) and the raced row (g_CurrentRace) live in the layers below,
// which reach them by those names; the game object creates and releases them.
// WinMain calls Create once, Frame once per main-loop iteration and Release
// once at the end.
#include <functional>
#include <vector>

#include "core/Physics.h"
#include "core/RaceState.h"
#include "platform/d3d/D3D9Types.h"
#include "platform/math/D3DXMath.h"
#include "render/Camera.h"
#include "render/Views.h"

// One named step of an ordered list the game object runs. Create steps return
// 1 on success; the value of other steps is not used. The lists are data so
// that their order can be read and checked.
struct GameStep
{
    const char* name;
    std::function<int()> run;
};
typedef std::vector<GameStep> GameStepList;

// Placed-object type masks of the draw passes.
#define PASS_MASK_BUILDINGS_AND_OBJECTS 0x110   // GTYPE_STATIC | GTYPE_BUILDING
#define PASS_MASK_FENCES                0x20    // GTYPE_FENCES
#define PASS_MASK_BUILDINGS             0x100   // GTYPE_BUILDING
#define PASS_MASK_OBJECTS_AND_FENCES    0x30    // GTYPE_STATIC | GTYPE_FENCES

// One shadow caster of the shadow-map pass: drawn from this shadow quality
// up, before or after the copy into the second shadow layer.
struct ShadowCaster
{
    const char* name;
    int minQuality;
    int beforeLayerCopy;   // 1: also in "texShadowLayer1"
    std::function<void()> draw;
};

class CGame
{
public:
    CGame();

    int Create();   // 1 on success, 0 when any step fails
    void Frame();   // one frame; nothing at all while the window is inactive
    void Release();
    // Loads the row's area (-1 keeps the current row) and puts the player on
    // it. Returns 1, or 0 when the row is not in the table or the area does
    // not load; nothing is put on an area that failed.
    int StartRace(int row);
    // What the active camera and the shadow camera see, for the next frame.
    void UpdateVisibility();

    // Render passes.
    void Render();
    void RenderShadowMap();
    void RenderReflection();

    // Race table, records and race unloading: their own work fills these in.
    void InitRaceTable();
    void LoadRecords();
    void FreeRace();

    // The ordered lists. Defaults are the game's own; tests may replace entries.
    GameStepList createSteps;          // the whole create chain, clock first
    GameStepList drawSteps;            // inside the scene, after CGame::Render
    GameStepList heldUpdateSteps;      // GameRunning() 0: an overlay holds the game
    GameStepList runningUpdateSteps;   // GameRunning() 1 and a game step above 0
    GameStepList visibilitySteps;
    GameStepList releaseSteps;                 // before the cameras and the physics world
    GameStepList mainPassSteps;                // CGame::Render after the two off-screen passes
    std::vector<ShadowCaster> shadowCasters;   // after the terrain, in order
    GameStepList reflectionSteps;              // drawn with clip plane 0 in the reflection pass

    // Sets every list above to the game's own steps.
    void SetDefaultSteps();
    void SetDefaultPassSteps();   // the render-pass lists alone
};

extern CGame g_Game;

// The part of a size x size reflection target the water can read, seen by
// camera: the visible water's screen rectangle grown by the ripples' reach;
// empty when no water is on the screen. The reflection pass draws only there.
RECT ReflectionScissor(const CCamera& camera, int size);
