// The per-frame upkeep and visibility of a full placed-object list: 2048 of
// the demo buildings and props on a 64 x 32 grid 12 units apart, the camera
// driving across it (bodies entering and leaving the physics world as it
// passes), on the recording device. Reports the median time of the update
// and visibility of one frame, and the draw calls the placed objects' main
// and fence passes add: for the full list and for demo area 1 seen from its
// start line.
//
// The demo data comes from TRALLOWMERE_TESTDATA (the folder holding "Data"),
// or the build folder's "testdata" (made by the tests' make_demo_data step)
// when it is not set.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "LayeredMain.h"
#include "app/Game.h"
#include "core/FileManager.h"
#include "core/Physics.h"
#include "core/RaceTable.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/MeshContainer.h"
#include "render/Views.h"
#include "scene/StaticObject.h"
#include "scene/StaticObjectManager.h"
#include "tests/support/Paths.h"
#include "tests/support/TestDevice.h"
#include "world/Landscape.h"
#include "world/LandscapeDraw.h"

namespace
{

const char* const kKinds[] = {
    "Data/Static/Barn/Main.obj",   "Data/Static/Cottage/Main.obj",     "Data/Static/Silo/Main.obj",
    "Data/Static/Barrel/Main.obj", "Data/Static/HayBale/Main.obj",     "Data/Static/Cone/Main.obj",
    "Data/Static/Cone/Main.obj",   "Data/Static/ChevronLeft/Main.obj",
};

void Look(const D3DXVECTOR3& eye, const D3DXVECTOR3& at)
{
    CCamera& camera = g_Views.mainCamera;
    camera.SetProjection(D3DX_PI / 2, 800.0f / 600.0f * 0.85f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, CAMERA_MAIN);
    camera.eye = eye;
    camera.at = at;
    camera.up = D3DXVECTOR3(0, 1, 0);
    camera.UpdateView();
    g_Views.activeCamera = &camera;
}

// The draw calls of the placed objects' main and fence passes.
int DrawCalls()
{
    D3DClearRecordedCalls();
    g_StaticObjects.Draw(PASS_MASK_BUILDINGS_AND_OBJECTS);
    g_StaticObjects.Draw(PASS_MASK_FENCES);
    int calls = 0;
    for (const std::string& call : D3DRecordedCalls())
        calls += call.compare(0, 20, "DrawIndexedPrimitive") == 0;
    return calls;
}

class Scene
{
public:
    bool Open(std::string* error)
    {
        const std::string root = testsupport::DemoDataDir();
        if (chdir(root.c_str()) != 0)
        {
            *error = "no demo data in " + root + " (set TRALLOWMERE_TESTDATA)";
            return false;
        }
        g_UseFileManager = 1;
        g_ViewDistance = 500;
        g_ShadowQuality = 0;
        g_EditorMode = 0;
        g_FileManager.Create();
        if (device.Open(D3DBackendKind::Recording, 800, 600) != D3D_OK || g_PhysicsWorld.Create() != 1)
        {
            *error = "no recording device or physics world";
            return false;
        }
        g_StaticObjects.Create();
        return true;
    }

    // Demo area 1 and its list, seen from the start line.
    int AreaDrawCalls()
    {
        ClearRaceBlock();
        FillCareerRows();
        g_CurrentRace = 0;
        if (g_Landscape.LoadArea(g_RaceTable.area[0], g_RaceTable.season[0]) != 1)
            return -1;
        Look(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 1));
        LookAlongRacePath(&g_Views.mainCamera);
        g_StaticObjects.Update();
        g_StaticObjects.UpdateVisibility();
        const int calls = DrawCalls();
        g_StaticObjects.Clear();
        g_Landscape.Release();
        return calls;
    }

    void FillGrid()
    {
        const float up[3] = {0, 1, 0};
        for (int i = 0; i < STATIC_OBJECTS_MAX; ++i)
        {
            const float pos[3] = {(float)(i % 64) * 12.0f - 380.0f, 0.0f, (float)(i / 64) * 12.0f - 190.0f};
            const float target[3] = {pos[0], 0.0f, pos[2] + 10.0f};
            g_StaticObjects.AddObject(kKinds[i % 8], pos, target, up, nullptr);
        }
    }

    // One frame with the camera at step `t` of its drive across the grid.
    void Frame(int t)
    {
        const float x = (float)(t % 600) - 300.0f;
        Look(D3DXVECTOR3(x, 3, -20), D3DXVECTOR3(x + 10, 3, 60));
        g_StaticObjects.Update();
        g_StaticObjects.UpdateVisibility();
    }

    void Close()
    {
        g_StaticObjects.Clear();
        g_PhysicsWorld.Destroy();
        g_MeshContainer.Release();
        g_Render.ReleaseAllTextures();
        device.Close();
        g_FileManager.Release();
    }

    testdevice::TestDevice device;
};

void BM_PlacedObjectsFrame(benchmark::State& state)
{
    Scene scene;
    std::string error;
    if (!scene.Open(&error))
    {
        scene.Close();
        state.SkipWithError(error.c_str());
        return;
    }
    const int areaCalls = scene.AreaDrawCalls();
    scene.FillGrid();
    if (g_StaticObjects.objectCount != STATIC_OBJECTS_MAX)
    {
        scene.Close();
        state.SkipWithError("the demo objects do not load");
        return;
    }
    std::vector<double> times;
    int t = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        scene.Frame(t++);
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times.empty() ? 0.0 : times[times.size() / 2];
    int visible = 0, inWorld = 0;
    for (unsigned int i = 0; i < g_StaticObjects.objectCount; ++i)
    {
        visible += g_StaticObjects.objects[i]->visible;
        inWorld += g_StaticObjects.objects[i]->inWorld;
    }
    state.counters["visible"] = visible;
    state.counters["bodies_in_world"] = inWorld;
    state.counters["draw_calls_full_list"] = DrawCalls();
    state.counters["draw_calls_area01_start"] = areaCalls;
    scene.Close();
}
BENCHMARK(BM_PlacedObjectsFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}   // namespace

LAYERED_BENCHMARK_MAIN();
