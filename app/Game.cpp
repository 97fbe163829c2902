// The game object: creation in order, the frame (clock, drawing, the update
// branches, present, audio), the visibility update and release in order.
#include "app/Game.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <btBulletDynamicsCommon.h>

#include "app/GameEvent.h"
#include "app/PickedObject.h"
#include "audio/AudioManager.h"
#include "core/CareerData.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "core/RaceTable.h"
#include "core/RacerNames.h"
#include "core/Records.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "interface/MenuBackground.h"
#include "racers/HumanManager.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"
#include "render/LightManager.h"
#include "scene/Dusts.h"
#include "scene/StaticObjectManager.h"
#include "scene/WheelSkids.h"
#include "world/Landscape.h"
#include "world/LandscapeDraw.h"
#include "world/NatureManager.h"
#include "world/Sky.h"

CGame g_Game;

namespace
{
const float kPi = 3.14159265358979f;

// Wraps a call that has no result as a step.
GameStep Step(const char* name, std::function<void()> call)
{
    return GameStep{name, [call]() {
                        call();
                        return 1;
                    }};
}

void RunAll(const GameStepList& steps)
{
    for (const GameStep& s : steps)
        s.run();
}
}   // namespace

namespace
{
// The player before any profile is loaded: "Player", a zero career with the
// first area in summer open and the first model's base upgrade levels.
void SetProfileDefaults()
{
    std::snprintf(g_PlayerName, sizeof(g_PlayerName), "%s", "Player");
    int base[CAREER_SYSTEMS] = {};
    if (const CVehicleObject* model = g_Vehicles.showroom[0])
        std::copy(model->FileUpgradeLevels, model->FileUpgradeLevels + CAREER_SYSTEMS, base);
    SetDefaultCareer(&g_Career, base);
}
}   // namespace

CGame::CGame()
{
    // The cameras' own construction sets their fade colour to white.
    SetDefaultSteps();
}

void CGame::SetDefaultSteps()
{
    createSteps = {
        {"CGameClock::Init",
         [] {
             g_Clock.Init();
             return 1;
         }},
        {"CCamera::Init main",
         [] {
             const D3DXVECTOR3 eye(-150, 33, 305), at(-50, 33, 305);
             const float w = g_Render.screenWidth, h = g_Render.screenHeight;
             const float aspect = (w > 0 && h > 0 ? w / h : 800.0f / 600.0f) * 0.85f;
             g_Views.mainCamera.Init(&eye, &at, kPi / 2, aspect, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, VIEWMODE_FREE,
                                     CAMERA_MAIN);
             return 1;
         }},
        {"CCamera::Init auxiliary",
         [] {
             const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1);
             g_Views.auxCamera.Init(&eye, &at, kPi / 2, 1.0f, CAMERA_NEAR_PLANE, 200.0f, VIEWMODE_FREE, CAMERA_AUX);
             return 1;
         }},
        {"CCamera::Init shadow",
         [] {
             const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1);
             g_Views.shadowCamera.Init(&eye, &at, kPi / 2, 1.0f, CAMERA_NEAR_PLANE, 1000.0f, VIEWMODE_FREE,
                                       CAMERA_SHADOW);
             return 1;
         }},
        {"reflection camera",
         [] {
             // A plain copy: it shares the main camera's font and is never released.
             std::memcpy(static_cast<void*>(&g_Views.reflectionCamera), &g_Views.mainCamera, sizeof(CCamera));
             g_Views.activeCamera = &g_Views.mainCamera;
             return 1;
         }},
        {"CGame::CreatePhysicsWorld", [] { return g_PhysicsWorld.Create(); }},
        {"CMainMenu::Create", [] { return g_MainMenu.Create(); }},
        {"CMenuBackground::Create", [] { return g_MenuBackground.Create(); }},
        {"CLightManager::Init", [] { return g_LightManager.Init(); }},
        {"CLandscape::LoadSurfaces", [] { return g_Landscape.LoadSurfaces(); }},
        {"CStaticObjectManager::Create", [] { return g_StaticObjects.Create(); }},
        {"CNatureManager::Create", [] { return g_Nature.Create(); }},
        {"CVehicleManager::Create", [] { return g_Vehicles.Create(); }},
        {"CHumanManager::Create", [] { return g_HumanManager.Create(); }},
        {"CDusts::Create", [] { return g_Dusts.Create(); }},
        {"CWheelSkids::Create", [] { return g_Skids.Create(); }},
        {"CSky::Create", [] { return g_Sky.Create(); }},
        {"CPickedObject::Init", [] { return g_PickedObject.Init(); }},
        {"CGameEvent::Init", [] { return g_GameEvent.Init(); }},
        {"CGameHUD::Create", [] { return g_GameHUD.Create(); }},
        Step("profile defaults", [] { SetProfileDefaults(); }),
        Step("CGame::InitRaceTable", [this] { InitRaceTable(); }),
        Step("CGame::LoadRecords", [this] { LoadRecords(); }),
    };

    drawSteps = {
        Step("CGame::Render", [this] { Render(); }),
        Step("CGameHUD::Render", [] { g_GameHUD.Render(); }),
        Step("CMainMenu::Render", [] { g_MainMenu.Render(); }),
        Step("CMouseCursor::Draw", [] { g_GameHUD.cursor.Draw(); }),
        Step("CCamera::DrawFade",
             [] {
                 if (g_Views.activeCamera)
                     g_Views.activeCamera->DrawFade();
             }),
        Step("CCamera::DrawDebugInfo",
             [] {
                 if (g_Views.activeCamera)
                     g_Views.activeCamera->DrawDebugInfo();
             }),
        // Developer view of one render target in the upper right quarter.
        Step("render target view",
             [] {
                 if (!g_DebugMode || !g_KeyFlags[KEY_TAB] || !g_KeyFlags[KEY_CTRL])
                     return;
                 IDirect3DTexture9* shown = g_KeyFlags[KEY_SHIFT] ? g_Render.shadowTarget1 : g_Render.glowTexture0;
                 DrawTextureRect(400, 0, 800, 300, 0xFFFFFFFF, shown);
             }),
    };

    heldUpdateSteps = {
        Step("CCamera::Update",
             [] {
                 if (g_Views.activeCamera)
                     g_Views.activeCamera->Update();
             }),
        Step("CMainMenu::Update", [] { g_MainMenu.Update(); }),
        Step("CGameEvent::Update", [] { g_GameEvent.Update(); }),
    };

    runningUpdateSteps = {
        // The player's motorcycle goes first.
        Step("CVehicleObject::Update player",
             [] {
                 if (g_PlayerVehicle)
                     g_PlayerVehicle->Update();
             }),
        Step("CGame::StepPhysics", [] { g_PhysicsWorld.Step(); }),
        Step("CCamera::Update",
             [] {
                 if (g_Views.activeCamera)
                     g_Views.activeCamera->Update();
             }),
        Step("CMainMenu::Update", [] { g_MainMenu.Update(); }),
        Step("CSky::Update", [] { g_Sky.Update(); }),
        Step("CLightManager::Update", [] { g_LightManager.Update(); }),
        Step("CLandscape::Update", [] { g_Landscape.Update(); }),
        Step("CNatureManager::Update", [] { g_Nature.Update(); }),
        Step("CStaticObjectManager::Update", [] { g_StaticObjects.Update(); }),
        Step("CVehicleManager::Update", [] { g_Vehicles.Update(); }),
        Step("CHumanManager::Update", [] { g_HumanManager.Update(); }),
        Step("CDusts::Update", [] { g_Dusts.Update(); }),
        Step("CWheelSkids::Update", [] { g_Skids.Update(); }),
        Step("CGameEvent::Update", [] { g_GameEvent.Update(); }),
        Step("CGame::UpdateVisibility", [this] { UpdateVisibility(); }),
    };

    visibilitySteps = {
        Step("CLandscape::UpdateVisibility", [] { g_Landscape.UpdateVisibility(); }),
        Step("CStaticObjectManager::UpdateVisibility", [] { g_StaticObjects.UpdateVisibility(); }),
        Step("CVehicleManager::UpdateVisibility", [] { g_Vehicles.UpdateVisibility(); }),
        Step("CHumanManager::UpdateVisibility", [] { g_HumanManager.UpdateVisibility(); }),
        Step("CStaticObjectManager::CheckOcclusion", [] { g_StaticObjects.CheckOcclusion(); }),
    };

    releaseSteps = {
        Step("CGame::FreeRace", [this] { FreeRace(); }),
        Step("CGameHUD::Release", [] { g_GameHUD.Release(); }),
        Step("CMainMenu::Release", [] { g_MainMenu.Release(); }),
        Step("CMenuBackground::Release", [] { g_MenuBackground.Release(); }),
        Step("CLightManager::FreeAll", [] { g_LightManager.FreeAll(); }),
        Step("CVehicleManager::Release", [] { g_Vehicles.Release(); }),
        Step("CHumanManager::Release", [] { g_HumanManager.Release(); }),
        Step("CLandscape::Release", [] { g_Landscape.Release(); }),
        Step("CStaticObjectManager::Release", [] { g_StaticObjects.Release(); }),
        Step("CNatureManager::Release", [] { g_Nature.Release(); }),
        Step("CDusts::Release", [] { g_Dusts.Release(); }),
        Step("CWheelSkids::Release", [] { g_Skids.Release(); }),
        Step("CSky::Release", [] { g_Sky.Release(); }),
        Step("clear running event", [] { g_GameEvent.Clear(); }),
    };

    SetDefaultPassSteps();
}

int CGame::Create()
{
    // A failing step stops the chain; nothing created so far is released.
    for (const GameStep& s : createSteps)
        if (s.run() != 1)
            return 0;
    return 1;
}

void CGame::Frame()
{
    if (!g_AppActive)
        return;
    g_Clock.Update();

    // Drawing comes first: each frame shows the state the previous update left.
    IDirect3DDevice9* device = g_Render.device;
    if (device && SUCCEEDED(device->BeginScene()))
    {
        RunAll(drawSteps);
        device->EndScene();
    }

    if (!GameRunning())
        RunAll(heldUpdateSteps);
    else if (g_Clock.m_GameStep > 0.0f)
        RunAll(runningUpdateSteps);

    g_Render.PresentFrame();
    g_AudioManager.Update();
}

void CGame::UpdateVisibility()
{
    RunAll(visibilitySteps);
}

void CGame::Release()
{
    RunAll(releaseSteps);
    // The reflection camera is a copy sharing the main camera's resources.
    g_Views.mainCamera.Release();
    g_Views.auxCamera.Release();
    g_Views.shadowCamera.Release();
    g_Views.activeCamera = nullptr;
    g_PhysicsWorld.Destroy();
}

int CGame::StartRace(int row)
{
    if (row != -1)
    {
        // A row outside the table would index past every column.
        if (row < 0 || row >= RACE_ROWS)
            return 0;
        g_CurrentRace = row;
    }
    const int loaded = g_Landscape.LoadArea(g_RaceTable.area[g_CurrentRace], g_RaceTable.season[g_CurrentRace]);
    // The racers of the last race go, their riders with them.
    g_Vehicles.Clear();
    g_HumanManager.DeleteAll();

    // Without an area there is no race path to put anyone on.
    if (!loaded)
        return 0;

    // The main camera starts on the start line looking along the race path;
    // the race-start event moves it from there.
    LookAlongRacePath(&g_Views.mainCamera);

    if (g_EditorMode)
        return 1;   // the area alone
    // The player's motorcycle on the start of the race path. Behind a menu
    // page the race starts at once as a demonstration. A race the menu starts
    // from its loading page (the menu is still up then) is posted by the menu
    // itself, once; with "Game menu" 0 the player rides the area alone.
    g_Vehicles.CreatePlayer(nullptr, nullptr, nullptr);
    if (g_MainMenu.active && g_MainMenu.state != MENU_LOADING)
        g_GameEvent.Post(GEVENT_RACE_START, g_PlayerVehicle, 0);
    else if (g_PlayerVehicle)
    {
        // Riding the area alone: the chase view behind the player.
        g_Views.mainCamera.SetMode(VIEWMODE_CHASE_NEAR, g_PlayerVehicle);
        g_Views.mainCamera.SnapChase();
    }
    return 1;
}

void CGame::InitRaceTable()
{
    ClearRaceBlock();
    FillCareerRows();
}

void CGame::LoadRecords()
{
    // The default score table, made when there is no records file yet, is
    // named from the racer names.
    LoadRacerNames();
    ::LoadRecords();
}

void CGame::FreeRace()
{
    g_Landscape.FreeArea();
    g_Nature.Clear();
    // The racers and riders leave the world before it is emptied below: they
    // hold their bodies and the ragdolls' joints.
    g_Vehicles.Clear();
    g_HumanManager.DeleteAll();
    g_StaticObjects.Clear();
    g_Dusts.Reset();
    g_Skids.Reset();
    // The record must not go on naming an object of the race just freed.
    g_PickedObject.Init();

    g_GameEvent.Clear();
    // The camera must not go on following a motorcycle of the race just freed.
    g_Views.mainCamera.target = nullptr;

    g_AudioManager.StopAllEffects();

    // Whatever a race left in the physics world goes.
    EmptyPhysicsWorld(g_PhysicsWorld.dynamicsWorld);
}
