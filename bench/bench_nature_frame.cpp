// One frame of demo area 1 with its nature from the start line of its race,
// at 800 x 600, at each view distance of the options (the argument), on the
// OpenGL device of a hidden window (headless on llvmpipe with
// SDL_VIDEODRIVER=offscreen): part update, visibility, the nature update, the
// terrain, stems and stones, grass and leaves, and the present. Reports the
// median frame time and the draw calls and triangles of one frame (terrain
// and nature), and the nature's own share of both.
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
#include "app/LayerLinks.h"
#include "bench/AreaFrameScene.h"
#include "core/FileManager.h"
#include "core/GameClock.h"
#include "core/RaceTable.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/D3DRender.h"
#include "tests/support/FixedSun.h"
#include "tests/support/Paths.h"
#include "tests/support/TestDevice.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/LandscapeDraw.h"
#include "world/NatureManager.h"

namespace
{

class Scene : public benchframe::AreaFrameScene
{
public:
    bool Open(std::string* error)
    {
        if (!OpenArea(error, true))
            return false;
        LookAlongRacePath(&g_Views.mainCamera);
        Frame();   // the first frame builds the terrain body and decides visibility
        return true;
    }

    // Returns the draw calls of the frame; the triangles go to `triangles`.
    int Frame(int* triangles = nullptr, int* natureCalls = nullptr, int* natureTriangles = nullptr)
    {
        IDirect3DDevice9* device = g_Render.device;
        g_Render.mainFaces = 0;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF7FA8D8, 1.0f, 0);
        device->BeginScene();
        g_Views.mainCamera.UpdateView();
        g_Landscape.Update();
        g_Landscape.UpdateVisibility();
        g_Clock.m_GameStep = 1.0f / 60.0f;
        g_Clock.m_GameClock += 1000.0f / 60.0f;
        g_Nature.Update();
        g_Landscape.Draw();
        const int before = g_Render.mainFaces;
        g_Nature.DrawTreeStems();
        g_Nature.DrawGrass();
        g_Nature.DrawTreeLeafs();
        device->EndScene();
        if (natureTriangles)
            *natureTriangles = g_Render.mainFaces - before;
        const int nature = g_Nature.visibleTreeFields * 2 + g_Nature.visibleGrassFields + g_Nature.visibleStoneFields;
        if (natureCalls)
            *natureCalls = nature;
        if (triangles)
            *triangles = g_Render.mainFaces;   // the present starts a new count
        g_Render.PresentFrame();
        int calls = 0;
        for (int i = 0; i < g_Landscape.partCount; i++)
            calls += g_Landscape.parts[i]->visible;
        return calls + nature;
    }

    void Close() { CloseArea(); }
};

// One scene for every view distance: closing and opening the device again
// in one process upsets the software driver, and the distance is read anew
// by every frame's visibility.
Scene s_Scene;
int s_SceneState = 0;   // 0 not tried, 1 open, -1 failed

Scene* SharedScene(std::string* error)
{
    if (s_SceneState == 0)
        s_SceneState = s_Scene.Open(error) ? 1 : -1;
    return s_SceneState == 1 ? &s_Scene : nullptr;
}

void BM_NatureFrame(benchmark::State& state)
{
    std::string error = "the scene did not open";
    Scene* scene = SharedScene(&error);
    if (!scene)
    {
        state.SkipWithError(error.c_str());
        return;
    }
    g_ViewDistance = (int)state.range(0);
    scene->Frame();   // visibility at this distance
    std::vector<double> times;
    int calls = 0, triangles = 0, natureCalls = 0, natureTriangles = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        calls = scene->Frame(&triangles, &natureCalls, &natureTriangles);
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times.empty() ? 0.0 : times[times.size() / 2];
    state.counters["draw_calls"] = calls;
    state.counters["triangles"] = triangles;
    state.counters["nature_calls"] = natureCalls;
    state.counters["nature_triangles"] = natureTriangles;
    state.counters["clumps"] = g_Nature.grassVertexCount / 16;
    state.counters["trees"] = g_Nature.treeCount;
    state.counters["stones"] = g_Nature.stoneCount;
    state.counters["leaf_quads"] = g_Nature.leafVertexCount / 4;
}
BENCHMARK(BM_NatureFrame)->Arg(300)->Arg(400)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}   // namespace

int main(int argc, char** argv)
{
    ConnectLayers();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    // The shared scene is closed here, while the window layer still stands:
    // left to the exit, its window would be destroyed after the layer's own
    // records of its windows are gone.
    if (s_SceneState == 1)
        s_Scene.Close();
    benchmark::Shutdown();
    return 0;
}
