// One frame of the terrain of demo area 1 from the start line of its race,
// at 800 x 600 with a view distance of 500, on the OpenGL device of a hidden
// window (headless on llvmpipe with SDL_VIDEODRIVER=offscreen): part update,
// visibility, the terrain draw and the present. Reports the median frame time
// and the draw calls and triangles of one frame.
//
// The demo data comes from TRALLOWMERE_TESTDATA (the folder holding "Data"),
// or the build folder's "testdata" (made by the tests' make_demo_data step)
// when it is not set.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/Game.h"
#include "app/RaceTable.h"
#include "core/FileManager.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/D3DRender.h"
#include "scene/StaticObjectManager.h"
#include "tests/support/FixedSun.h"
#include "tests/support/Paths.h"
#include "tests/support/TestDevice.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/LandscapeDraw.h"

namespace
{

const int kWidth = 800, kHeight = 600;

class Scene
{
public:
    bool Open(std::string* error)
    {
        const std::string root = testsupport::DemoDataDir();
        if (chdir(root.c_str()) != 0)
            return Fail(error, "no demo data in " + root + " (set TRALLOWMERE_TESTDATA)");
        g_Windowed = 1;
        g_VideoMode = 0;
        g_ShadowQuality = 0;
        g_UseFileManager = 1;
        g_ViewDistance = 500;
        g_FileManager.Create();
        if (!window.Open(kWidth, kHeight))
            return Fail(error, "no window (set SDL_VIDEODRIVER=offscreen)");
        D3DOverrideAdapterModes({D3DDISPLAYMODE{kWidth, kHeight, 60, D3DFMT_X8R8G8B8}});
        if (g_Render.InitD3D(1) != 0 || g_Render.CreateDevice(window.get(), 1, 0, 0) != 0)
            return Fail(error, "no render device");
        g_Landscape.LoadSurfaces();
        ClearRaceBlock();
        FillCareerRows();
        g_Game.currentRace = 0;   // area 1 in summer
        if (g_Landscape.LoadArea(g_RaceTable.area[0], g_RaceTable.season[0]) != 1)
            return Fail(error, "area 1 does not load");
        // The main camera's projection as the game makes it.
        const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 1);
        g_Game.mainCamera.Init(&origin, &ahead, D3DX_PI / 2, (float)kWidth / kHeight * 0.85f, CAMERA_NEAR_PLANE,
                               CAMERA_FAR_PLANE, VIEWMODE_FREE, CAMERA_MAIN);
        LookAlongRacePath(&g_Game.mainCamera);
        g_Game.activeCamera = &g_Game.mainCamera;

        testlight::SetFixedSun(g_Render.device);
        Frame();   // the first frame builds the terrain body and decides visibility
        return true;
    }

    // Returns the draw calls of the frame; the triangles go to `triangles`.
    int Frame(int* triangles = nullptr)
    {
        IDirect3DDevice9* device = g_Render.device;
        g_Render.mainFaces = 0;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF7FA8D8, 1.0f, 0);
        device->BeginScene();
        g_Game.mainCamera.UpdateView();
        g_Landscape.Update();
        g_Landscape.UpdateVisibility();
        g_Landscape.Draw();
        device->EndScene();
        if (triangles)
            *triangles = g_Render.mainFaces;   // the present starts a new count
        g_Render.PresentFrame();
        int calls = 0;
        for (int i = 0; i < g_Landscape.partCount; i++)
            calls += g_Landscape.parts[i]->visible;
        return calls;
    }

    void Close()
    {
        // The placed objects hold meshes of this device.
        g_StaticObjects.Clear();
        g_Landscape.Release();
        ClearRaceBlock();
        g_Game.activeCamera = nullptr;
        g_Render.FreeD3DRender();
        window.Close();
        g_FileManager.Release();
    }

private:
    bool Fail(std::string* error, const std::string& why)
    {
        *error = why;
        return false;
    }
    testdevice::HiddenWindow window;
};

void BM_LandscapeFrame(benchmark::State& state)
{
    Scene scene;
    std::string error;
    if (!scene.Open(&error))
    {
        scene.Close();
        state.SkipWithError(error.c_str());
        return;
    }
    std::vector<double> times;
    int calls = 0, triangles = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        calls = scene.Frame(&triangles);
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times.empty() ? 0.0 : times[times.size() / 2];
    state.counters["draw_calls"] = calls;
    state.counters["triangles"] = triangles;
    scene.Close();
}
BENCHMARK(BM_LandscapeFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}   // namespace

BENCHMARK_MAIN();
