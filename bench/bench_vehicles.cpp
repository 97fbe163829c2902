// Sixteen demo motorcycles riding on the first demo area: the physics step
// (one game step of 1/60 s and of 3/60 s, i.e. one and three fixed substeps,
// with the contact pass), the per-frame update of one motorcycle, and the
// drawing of one motorcycle of each model with its draw calls and triangles
// in the main and shadow-map passes (recording device). The demo data comes
// from the generator: the tests' make_demo_data step writes <build>/testdata,
// or set TRALLOWMERE_TESTDATA.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "LayeredMain.h"
#include "app/Game.h"
#include "bench/DemoDataSetup.h"
#include "core/FileManager.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/MessageBox.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "tests/support/Paths.h"
#include "tests/support/TestDevice.h"
#include "world/Landscape.h"

namespace
{

const int kRacers = 16;

using benchsetup::Once;

// Sixteen motorcycles of all four models in pairs along the race path, on
// the ground and riding at full throttle for two seconds.
struct Field
{
    Field()
    {
        Once();
        g_PhysicsWorld.Create();
        ok = g_Landscape.LoadArea(0, 0) && g_RacePathCount > kRacers;
        if (!ok)
            return;
        g_Landscape.Update();
        for (int i = 0; i < kRacers; ++i)
            benchsetup::AddOnGrid(i);
        g_Clock.m_GameStep = g_Clock.m_RealStep = 1.0f / 60.0f;
        for (int frame = 0; frame < 120; ++frame)
            Frame();
    }
    ~Field()
    {
        g_Vehicles.Clear();
        g_Landscape.FreeArea();
        g_PhysicsWorld.Destroy();
    }
    static void Drive()
    {
        for (int i = 0; i < g_Vehicles.racerCount; ++i)
        {
            g_Vehicles.racers[i]->Throttle = 2000.0f;
            g_Vehicles.racers[i]->Update();
        }
    }
    static void Frame()
    {
        Drive();
        g_PhysicsWorld.Step();
    }
    bool ok = false;
};

// One physics step of the whole field: arg 1 = 1/60 s (one substep), arg 3 =
// 3/60 s (three substeps). The motorcycles' own updates between the steps
// are not timed.
void BM_StepPhysics16Motorcycles(benchmark::State& state)
{
    Field field;
    if (!field.ok)
    {
        state.SkipWithError("demo area or race path missing");
        return;
    }
    const float step = (float)state.range(0) / 60.0f;
    for (auto _ : state)
    {
        state.PauseTiming();
        g_Clock.m_GameStep = 1.0f / 60.0f;
        Field::Drive();
        g_Clock.m_GameStep = step;
        state.ResumeTiming();
        g_PhysicsWorld.Step();
    }
    state.counters["racers"] = g_Vehicles.racerCount;
    state.counters["manifolds"] = g_PhysicsWorld.dispatcher->getNumManifolds();
}
BENCHMARK(BM_StepPhysics16Motorcycles)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

// The per-frame update of one motorcycle (controller, steering, engine, body
// sync, wheels, assemblies, lean), taken over the field in turn.
void BM_VehicleUpdatePerMotorcycle(benchmark::State& state)
{
    Field field;
    if (!field.ok)
    {
        state.SkipWithError("demo area or race path missing");
        return;
    }
    g_Clock.m_GameStep = 1.0f / 60.0f;
    int next = 0;
    for (auto _ : state)
    {
        CVehicleObject* v = g_Vehicles.racers[next];
        v->Throttle = 2000.0f;
        v->Update();
        if (++next == g_Vehicles.racerCount)
        {
            next = 0;
            state.PauseTiming();
            g_PhysicsWorld.Step();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_VehicleUpdatePerMotorcycle)->Unit(benchmark::kNanosecond);

int CountDraws()
{
    int n = 0;
    for (const std::string& call : D3DRecordedCalls())
        n += call.compare(0, 20, "DrawIndexedPrimitive") == 0 ? 1 : 0;
    return n;
}

// One motorcycle of the model (arg 0..3) near the camera, in view and in the
// shadow camera's view: its main passes (body, parts, lamps, wheels, chrome)
// and its shadow casters, with the draw calls and triangles of each.
void BM_DrawOneMotorcycle(benchmark::State& state)
{
    Field field;
    if (!field.ok)
    {
        state.SkipWithError("demo area or race path missing");
        return;
    }
    CVehicleObject* v = g_Vehicles.racers[state.range(0)];
    g_Views.activeCamera = &g_Views.mainCamera;
    g_Views.mainCamera.viewMode = VIEWMODE_FREE;
    v->visible = v->inShadow = 1;
    v->cameraDistance = 5.0f;
    v->BodyMaterial.Diffuse.a = v->material.Diffuse.a = 1.0f;
    int mainDraws = 0, shadowDraws = 0, mainFaces = 0, shadowFaces = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        D3DClearRecordedCalls();
        g_Render.mainFaces = g_Render.shadowFaces = 0;
        state.ResumeTiming();
        g_Vehicles.Render(v);
        g_Vehicles.RenderChrome(v);
        state.PauseTiming();
        mainDraws = CountDraws();
        D3DClearRecordedCalls();
        g_ShadowPass = 1;
        state.ResumeTiming();
        v->RenderShadow();
        state.PauseTiming();
        g_ShadowPass = 0;
        shadowDraws = CountDraws();
        mainFaces = g_Render.mainFaces;
        shadowFaces = g_Render.shadowFaces;
        state.ResumeTiming();
    }
    D3DClearRecordedCalls();
    state.counters["main_draws"] = mainDraws;
    state.counters["main_triangles"] = mainFaces;
    state.counters["shadow_draws"] = shadowDraws;
    state.counters["shadow_triangles"] = shadowFaces;
}
BENCHMARK(BM_DrawOneMotorcycle)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

}   // namespace

LAYERED_BENCHMARK_MAIN();
