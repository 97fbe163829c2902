// Sixteen demo motorcycles with their riders on the first demo area, every
// rider thrown off: the physics step (one game step of 1/60 s and of 3/60 s,
// with the contact pass) while sixteen ragdolls simulate at once, and the
// riders' per-frame update. A ragdoll that has come to rest is put back and
// thrown again between the timed steps, so all sixteen keep moving. The demo
// data comes from the generator: run from the build folder after the tests'
// make_demo_data step, or set TRALLOWMERE_TESTDATA.
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
#include "platform/os/MessageBox.h"
#include "racers/HumanManager.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "tests/support/Paths.h"
#include "tests/support/TestDevice.h"
#include "world/Landscape.h"

namespace
{

const int kRacers = 16;

using benchsetup::Once;

struct Field
{
    Field()
    {
        Once();
        g_PhysicsWorld.Create();
        ok = g_Landscape.LoadArea(0, 0) && g_RacePathCount > kRacers && g_HumanManager.Create() == 1;
        if (!ok)
            return;
        g_Landscape.Update();
        for (int i = 0; i < kRacers; ++i)
            if (CVehicleObject* v = benchsetup::AddOnGrid(i))
                v->CreateRider();
        g_Clock.m_GameStep = g_Clock.m_RealStep = 1.0f / 60.0f;
        for (int frame = 0; frame < 60; ++frame)
            Frame();
        ThrowAll();
    }
    ~Field()
    {
        g_Vehicles.Clear();
        g_HumanManager.Release();
        g_Landscape.FreeArea();
        g_PhysicsWorld.Destroy();
    }
    // Every rider off its motorcycle; one that rests is put back first.
    static void ThrowAll()
    {
        for (int i = 0; i < g_Vehicles.racerCount; ++i)
        {
            CHumanObject* r = g_Vehicles.racers[i]->Rider;
            if (!r)
                continue;
            if (r->RagDoll && !r->inWorld)
                r->SetRagdoll(0);
            const float v[3] = {(float)(i % 3) - 1.0f, 3.0f, 6.0f};
            r->SetRagdoll(1, v);
        }
    }
    static void Updates()
    {
        for (int i = 0; i < g_Vehicles.racerCount; ++i)
        {
            g_Vehicles.racers[i]->Throttle = 2000.0f;
            g_Vehicles.racers[i]->Update();
        }
    }
    static void Frame()
    {
        Updates();
        g_PhysicsWorld.Step();
        g_HumanManager.Update();
    }
    static int Ragdolls()
    {
        int n = 0;
        for (int i = 0; i < g_HumanManager.count; ++i)
            n += g_HumanManager.riders[i]->RagDoll && g_HumanManager.riders[i]->inWorld;
        return n;
    }
    bool ok = false;
};

// One physics step of the field with sixteen ragdolls simulating: arg 1 =
// 1/60 s (one substep), arg 3 = 3/60 s (three substeps).
void BM_StepPhysics16MotorcyclesAnd16Ragdolls(benchmark::State& state)
{
    Field field;
    if (!field.ok)
    {
        state.SkipWithError("demo area, race path or rider missing");
        return;
    }
    const float step = (float)state.range(0) / 60.0f;
    long ragdolls = 0, steps = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        g_Clock.m_GameStep = 1.0f / 60.0f;
        Field::Updates();
        g_HumanManager.Update();
        if (Field::Ragdolls() < kRacers)
            Field::ThrowAll();
        ragdolls += Field::Ragdolls();
        ++steps;
        g_Clock.m_GameStep = step;
        state.ResumeTiming();
        g_PhysicsWorld.Step();
    }
    state.counters["ragdolls"] = steps ? (double)ragdolls / (double)steps : 0.0;
    state.counters["bodies"] = g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects();
    state.counters["joints"] = g_PhysicsWorld.dynamicsWorld->getNumConstraints();
}
BENCHMARK(BM_StepPhysics16MotorcyclesAnd16Ragdolls)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

// The same field with every rider on its motorcycle, for comparison.
void BM_StepPhysics16MotorcyclesRiding(benchmark::State& state)
{
    Field field;
    if (!field.ok)
    {
        state.SkipWithError("demo area, race path or rider missing");
        return;
    }
    for (int i = 0; i < g_HumanManager.count; ++i)
        g_HumanManager.riders[i]->SetRagdoll(0);
    g_Clock.m_GameStep = 1.0f / 60.0f;
    for (auto _ : state)
    {
        state.PauseTiming();
        Field::Updates();
        g_HumanManager.Update();
        state.ResumeTiming();
        g_PhysicsWorld.Step();
    }
}
BENCHMARK(BM_StepPhysics16MotorcyclesRiding)->Unit(benchmark::kMicrosecond);

// The per-frame update of all sixteen riders (follow, rest check, fade,
// animation), riding.
void BM_RiderUpdate16(benchmark::State& state)
{
    Field field;
    if (!field.ok)
    {
        state.SkipWithError("demo area, race path or rider missing");
        return;
    }
    for (int i = 0; i < g_HumanManager.count; ++i)
        g_HumanManager.riders[i]->SetRagdoll(0);
    g_Clock.m_GameStep = 1.0f / 60.0f;
    for (auto _ : state)
        g_HumanManager.Update();
}
BENCHMARK(BM_RiderUpdate16)->Unit(benchmark::kMicrosecond);

}   // namespace

LAYERED_BENCHMARK_MAIN();
