// Full area loads of a demo area from the packs, on the recording device (so
// buffers and textures are really made), and the pieces that make up a load.
// The demo data comes from the generator: the tests' make_demo_data step
// writes <build>/testdata, or set TRALLOWMERE_TESTDATA to a generated data
// folder.
#include <benchmark/benchmark.h>

#include "LayeredMain.h"
#include "bench/DemoDataSetup.h"
#include "render/D3DRender.h"
#include "world/Landscape.h"

namespace
{

using benchsetup::OnceData;

// A new area each time: the previous one is freed first, as at a race start
// on another area.
void BM_LoadArea(benchmark::State& state)
{
    OnceData();
    const int area = (int)state.range(0);
    for (auto _ : state)
    {
        g_Landscape.FreeArea();
        if (!g_Landscape.LoadArea(area, 0))
            state.SkipWithError("area did not load");
    }
    g_Landscape.FreeArea();
}
BENCHMARK(BM_LoadArea)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A same-area start: time of day, clouds and race path only.
void BM_ReloadSameArea(benchmark::State& state)
{
    OnceData();
    g_Landscape.LoadArea(0, 0);
    for (auto _ : state)
        g_Landscape.LoadArea(0, 0);
    g_Landscape.FreeArea();
}
BENCHMARK(BM_ReloadSameArea)->Unit(benchmark::kMicrosecond);

// The pieces of a load, each on its own.
void BM_Pieces(benchmark::State& state)
{
    OnceData();
    g_Landscape.FreeArea();
    g_Landscape.LoadArea(0, 0);
    const int piece = (int)state.range(0);
    for (auto _ : state)
    {
        switch (piece)
        {
        case 0:
            g_Landscape.LoadHeightMap();
            break;
        case 1:
            g_Landscape.ReleaseBuffers();   // terrain buffers and season textures
            g_Landscape.CreateMesh();
            break;
        case 2:
            g_Landscape.ReleaseTextures();
            g_Landscape.LoadTextures(0, 0);
            break;
        case 3:
            g_Landscape.FreeLandParts();
            g_Landscape.CreateLandParts();
            break;
        case 4:
            g_Landscape.Update();   // the terrain body, once per load
            state.PauseTiming();
            g_Landscape.FreeArea();
            g_Landscape.LoadArea(0, 0);
            state.ResumeTiming();
            break;
        }
    }
    g_Landscape.FreeArea();
}
BENCHMARK(BM_Pieces)->ArgName("piece")->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}   // namespace

LAYERED_BENCHMARK_MAIN();
