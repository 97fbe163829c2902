// The road and the water: an area load reading the road cache against one
// that has to build the road (the cache removed before each load), and one
// frame of the terrain with the road and with the road and the water (its
// reflection pass included), on the OpenGL device of a hidden window
// (headless on llvmpipe with SDL_VIDEODRIVER=offscreen), from beside the
// pond of demo area 1 looking over it.
//
// The loads run in loose-file mode on a copy of the demo data made of links
// (the road cache a load writes replaces its link, never the demo data). The
// demo data comes from TRALLOWMERE_TESTDATA or the build folder's "testdata".
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "LayeredMain.h"
#include "app/Game.h"
#include "bench/AreaFrameScene.h"
#include "core/FileManager.h"
#include "core/RaceTable.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/MessageBox.h"
#include "render/D3DRender.h"
#include "scene/StaticObjectManager.h"
#include "tests/support/FixedSun.h"
#include "tests/support/Paths.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestDevice.h"
#include "world/LandPart.h"
#include "world/Landscape.h"

namespace fs = std::filesystem;

namespace
{

int QuietBox(HWND, const char*, const char*, UINT)
{
    return IDOK;
}

// A linked copy of the demo data, entered in loose-file mode.
struct LinkedData
{
    LinkedData()
    {
        root = testsupport::MakeTempFolder("trallowmere-road-bench-");
        std::error_code ec;
        const fs::path from = fs::absolute(testsupport::DemoDataDir());
        for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
        {
            const fs::path to = fs::path(root) / fs::relative(it->path(), from);
            if (it->is_directory())
                fs::create_directories(to, ec);
            else
                fs::create_symlink(it->path(), to, ec);
        }
        if (ec)
            std::fprintf(stderr, "copying the demo data: %s\n", ec.message().c_str());
        ok = !ec && chdir(root.c_str()) == 0;
        SetMessageBoxHook(QuietBox);
        g_UseFileManager = 0;
        g_FileManager.Create();
    }
    ~LinkedData()
    {
        g_FileManager.Release();
        testsupport::RemoveFolder(root);
    }
    std::string root;
    bool ok = false;
};

void RemoveCaches()
{
    for (int area = 1; area <= 3; ++area)
    {
        char name[64];
        std::snprintf(name, sizeof(name), "Data/Landscape/Area%02d/RoadData.dat", area);
        std::remove(name);
    }
}

// Arg 0: the cache is read. Arg 1: there is none, the road is built and written.
void BM_LoadAreaRoadCache(benchmark::State& state)
{
    LinkedData data;
    testdevice::TestDevice device;
    device.Open(D3DBackendKind::Recording, 320, 240, true, nullptr, false);
    if (!data.ok)
    {
        state.SkipWithError("no demo data");
        return;
    }
    const bool build = state.range(0) != 0;
    int built = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        g_Landscape.FreeArea();
        g_StaticObjects.Clear();
        if (build)
            RemoveCaches();
        state.ResumeTiming();
        if (!g_Landscape.LoadArea(0, 0))
            state.SkipWithError("area did not load");
        built += g_Landscape.roadCacheBuilt;
    }
    state.counters["road_built"] = built;
    g_Landscape.FreeArea();
    g_StaticObjects.Clear();
}
BENCHMARK(BM_LoadAreaRoadCache)->ArgName("build")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

class Scene : public benchframe::AreaFrameScene
{
public:
    bool Open(std::string* error)
    {
        if (!OpenArea(error))
            return false;
        AimAtPond();
        for (int i = 0; i < g_Landscape.partCount; ++i)
        {
            roadVB.push_back(g_Landscape.parts[i]->roadVB);
            markVB.push_back(g_Landscape.parts[i]->markVB);
        }
        Frame(true, true);
        return true;
    }

    // From the route point nearest the pond's lowest cell, over the road.
    void AimAtPond()
    {
        CLandscape& land = g_Landscape;
        int low = 0;
        for (int k = 1; k < land.gridSize * land.gridSize; ++k)
            if (land.heights[k / land.gridSize][k % land.gridSize] <
                land.heights[low / land.gridSize][low % land.gridSize])
                low = k;
        const D3DXVECTOR3 pond((low % land.gridSize) * land.cellSize - land.size / 2, land.waterAltitude,
                               land.size / 2 - (low / land.gridSize) * land.cellSize);
        D3DXVECTOR3 nearest(land.routePos[0][0], land.routePos[0][1], land.routePos[0][2]);
        for (int i = 1; i < land.routeCount; ++i)
        {
            const D3DXVECTOR3 p(land.routePos[i][0], land.routePos[i][1], land.routePos[i][2]);
            const D3DXVECTOR3 a = p - pond, b = nearest - pond;
            if (D3DXVec3Length(&a) < D3DXVec3Length(&b))
                nearest = p;
        }
        CCamera& camera = g_Views.mainCamera;
        camera.eye = nearest + D3DXVECTOR3(0, 6.0f, 0);
        camera.at = pond;
        camera.up = D3DXVECTOR3(0, 1, 0);
    }

    // The road (its buffers put back or taken away) and the water.
    int Frame(bool road, bool water, int* triangles = nullptr)
    {
        for (int i = 0; i < g_Landscape.partCount; ++i)
        {
            g_Landscape.parts[i]->roadVB = road ? roadVB[(size_t)i] : nullptr;
            g_Landscape.parts[i]->markVB = road ? markVB[(size_t)i] : nullptr;
        }
        IDirect3DDevice9* device = g_Render.device;
        g_Render.mainFaces = 0;
        g_Views.mainCamera.UpdateView();
        g_Landscape.Update();
        g_Landscape.UpdateVisibility();
        if (water)
            g_Game.RenderReflection();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF7FA8D8, 1.0f, 0);
        device->BeginScene();
        g_Landscape.Draw();
        if (water)
            g_Landscape.DrawWater();
        device->EndScene();
        if (triangles)
            *triangles = g_Render.mainFaces;
        g_Render.PresentFrame();
        return g_Landscape.visibleWaterParts;
    }

    void Close()
    {
        for (int i = 0; i < g_Landscape.partCount && i < (int)roadVB.size(); ++i)
        {
            g_Landscape.parts[i]->roadVB = roadVB[(size_t)i];
            g_Landscape.parts[i]->markVB = markVB[(size_t)i];
        }
        CloseArea();
    }

private:
    std::vector<IDirect3DVertexBuffer9*> roadVB, markVB;
};

// Arg 0: terrain only; 1: with the road and its marks; 2: road and water.
void BM_RoadWaterFrame(benchmark::State& state)
{
    Scene scene;
    std::string error;
    if (!scene.Open(&error))
    {
        scene.Close();
        state.SkipWithError(error.c_str());
        return;
    }
    const bool road = state.range(0) >= 1, water = state.range(0) >= 2;
    std::vector<double> times;
    int triangles = 0, waterParts = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        waterParts = scene.Frame(road, water, &triangles);
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times.empty() ? 0.0 : times[times.size() / 2];
    state.counters["triangles"] = triangles;
    state.counters["water_parts"] = waterParts;
    scene.Close();
}
BENCHMARK(BM_RoadWaterFrame)
    ->ArgName("layers")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

}   // namespace

LAYERED_BENCHMARK_MAIN();
