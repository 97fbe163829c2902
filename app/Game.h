#pragma once
// The game object: the four cameras and the active one, the physics world,
// and the order in which every subsystem is created, updated, drawn and
// released. WinMain calls Create once, Frame once per main-loop iteration and
// Release once at the end.
#include <functional>
#include <vector>

#include "core/Physics.h"
#include "core/RaceState.h"
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

    // Physics world.
    int CreatePhysicsWorld() { return g_PhysicsWorld.Create(); }
    void StepPhysics() { g_PhysicsWorld.Step(); }
    void ProcessContacts() { g_PhysicsWorld.ProcessContacts(); }
    void DestroyPhysicsWorld() { g_PhysicsWorld.Destroy(); }

    // Render passes.
    void Render();
    void RenderShadowMap();
    void RenderReflection();
    // Texture transform from the active camera's view space to shadow-map
    // texture coordinates, for an object drawn with the given world matrix.
    D3DXMATRIX* GetShadowMatrix(D3DXMATRIX* out, const D3DXMATRIX* world) { return ::GetShadowMatrix(out, world); }

    // Race table, records and race unloading: their own work fills these in.
    void InitRaceTable();
    void LoadRecords();
    void FreeRace();

    // The cameras, the physics world and the raced row live below the game
    // (g_Views, g_PhysicsWorld, g_CurrentRace) so that the subsystems can
    // reach them without the game object; these names are the game's view.
    CCamera& mainCamera = g_Views.mainCamera;
    CCamera& reflectionCamera = g_Views.reflectionCamera;   // byte copy of the main camera; never released
    CCamera& auxCamera = g_Views.auxCamera;
    CCamera& shadowCamera = g_Views.shadowCamera;
    CCamera*& activeCamera = g_Views.activeCamera;

    btDefaultCollisionConfiguration*& collisionConfiguration = g_PhysicsWorld.collisionConfiguration;
    btAxisSweep3*& broadphase = g_PhysicsWorld.broadphase;
    btCollisionDispatcher*& dispatcher = g_PhysicsWorld.dispatcher;
    btSequentialImpulseConstraintSolver*& solver = g_PhysicsWorld.solver;
    btDiscreteDynamicsWorld*& dynamicsWorld = g_PhysicsWorld.dynamicsWorld;
    btDefaultVehicleRaycaster*& vehicleRaycaster = g_PhysicsWorld.vehicleRaycaster;
    int& activeBodies = g_PhysicsWorld.activeBodies;   // with "Debug out": bodies neither asleep nor disabled

    D3DXVECTOR3& shadowFocus = g_Views.shadowFocus;   // the ground point the shadow camera looks at
    int& currentRace = g_CurrentRace;

    // The ordered lists. Defaults are the game's own; tests may replace entries.
    GameStepList createSteps;          // the whole create chain, clock first
    GameStepList drawSteps;            // inside the scene, after CGame::Render
    GameStepList heldUpdateSteps;      // g_GameRunning 0: an overlay holds the game
    GameStepList runningUpdateSteps;   // g_GameRunning 1 and a game step above 0
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
