// Sixteen demo motorcycles riding on the first demo area: the physics step
// (one game step of 1/60 s and of 3/60 s, i.e. one and three fixed substeps,
// with the contact pass) and the per-frame update of one motorcycle. The
// demo data comes from the generator: the tests' make_demo_data step writes
// <build>/testdata, or set TRALLOWMERE_TESTDATA.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Game.h"
#include "core/FileManager.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/os/MessageBox.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "tests/support/Paths.h"
#include "tests/support/TestDevice.h"
#include "world/Landscape.h"

namespace
{

const int kRacers = 16;

int QuietBox(HWND, const char*, const char*, UINT)
{
    return IDOK;
}

struct Setup
{
    Setup()
    {
        const std::string root = testsupport::DemoDataDir();
        if (chdir(root.c_str()) != 0)
            std::fprintf(stderr, "no demo data in %s\n", root.c_str());
        SetMessageBoxHook(QuietBox);
        g_UseFileManager = 1;
        g_FileManager.Create();
        device.Open(D3DBackendKind::Recording, 320, 240, true, nullptr, false);
        g_Game.InitRaceTable();
        g_CurrentRace = 0;
    }
    testdevice::TestDevice device;
};

Setup& Once()
{
    static Setup setup;
    return setup;
}

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
        {
            const float* a = g_RacePath[i / 2 * 2 + 2];
            const float* b = g_RacePath[i / 2 * 2 + 3];
            const float side = (i % 2) ? 2.25f : -2.25f;
            const float ground[3] = {a[0], 0, a[2]};
            const float pos[3] = {a[0] + side, g_Landscape.GetHeight(ground) + 1.0f, a[2]};
            const float target[3] = {b[0] + side, pos[1], b[2]}, up[3] = {0, 1, 0};
            CVehicleObject* v = g_Vehicles.AddVehicle(g_VehicleModelFiles[i % 4]);
            if (!v)
                continue;
            v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_AI);
        }
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

}   // namespace

BENCHMARK_MAIN();
