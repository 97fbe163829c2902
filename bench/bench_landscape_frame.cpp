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

#include "LayeredMain.h"
#include "app/Game.h"
#include "bench/AreaFrameScene.h"
#include "core/FileManager.h"
#include "core/RaceTable.h"
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

class Scene : public benchframe::AreaFrameScene
{
public:
    bool Open(std::string* error)
    {
        if (!OpenArea(error))
            return false;
        LookAlongRacePath(&g_Views.mainCamera);
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
        g_Views.mainCamera.UpdateView();
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

    void Close() { CloseArea(); }
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

LAYERED_BENCHMARK_MAIN();
