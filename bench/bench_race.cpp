// The headless race with sixteen racers on the first demo area: simulated
// seconds per wall second of the whole game frame (controllers, physics,
// landscape, race order), and the per-frame update of all racers alone (the
// player's update and the list's update, without the physics step). The
// demo data comes from the generator: run from the build folder after the
// tests' make_demo_data step, or set TRALLOWMERE_TESTDATA.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "LayeredMain.h"
#include "core/FileManager.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/os/MessageBox.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"

namespace
{

int QuietBox(HWND, const char*, const char*, UINT)
{
    return IDOK;
}

struct Setup
{
    Setup()
    {
        const char* env = std::getenv("TRALLOWMERE_TESTDATA");
        const std::string root = env && env[0] ? env : "testdata";
        if (chdir(root.c_str()) != 0)
            std::fprintf(stderr, "no demo data in %s\n", root.c_str());
        SetMessageBoxHook(QuietBox);
        g_UseFileManager = 1;
        g_FileManager.Create();
        device.Open(false);
    }
    RaceDevice device;
};

Setup& Once()
{
    static Setup setup;
    return setup;
}

RaceRunOptions SixteenRacers()
{
    RaceRunOptions options;
    options.row = RACE_QUICK_ROW;   // the quick race, set to the largest grid
    options.area = 0;
    options.racers = 16;
    options.laps = 1;
    options.gridSeconds = 2.0f;
    return options;
}

// Whole frames of a race under way: the counter is simulated seconds per
// wall second.
void BM_HeadlessRace16Racers(benchmark::State& state)
{
    Once();
    std::string error;
    if (!SetUpHeadlessRace(SixteenRacers(), &error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    for (int i = 0; i < 120; ++i)
        StepHeadlessFrame();
    LetHeadlessRaceGo();
    for (int i = 0; i < 300; ++i)   // under way, the field spread out
        StepHeadlessFrame();
    for (auto _ : state)
        StepHeadlessFrame();
    state.counters["racers"] = g_Vehicles.racerCount;
    state.counters["simulated_per_wall"] =
        benchmark::Counter((double)state.iterations() / 60.0, benchmark::Counter::kIsRate);
    TearDownHeadlessRace();
}
BENCHMARK(BM_HeadlessRace16Racers)->Unit(benchmark::kMicrosecond)->MinTime(3.0)->UseRealTime();

// The update of all sixteen racers in one frame (controllers with their
// proximity queries, steering, engine, wheels, lean) and the race order;
// the physics step between frames is not timed.
void BM_UpdateAllRacers16(benchmark::State& state)
{
    Once();
    std::string error;
    if (!SetUpHeadlessRace(SixteenRacers(), &error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    for (int i = 0; i < 120; ++i)
        StepHeadlessFrame();
    LetHeadlessRaceGo();
    for (int i = 0; i < 300; ++i)
        StepHeadlessFrame();
    for (auto _ : state)
    {
        g_PlayerVehicle->Update();
        g_Vehicles.Update();
        state.PauseTiming();
        g_PhysicsWorld.Step();
        state.ResumeTiming();
    }
    state.counters["racers"] = g_Vehicles.racerCount;
    TearDownHeadlessRace();
}
BENCHMARK(BM_UpdateAllRacers16)->Unit(benchmark::kMicrosecond);

}   // namespace

LAYERED_BENCHMARK_MAIN();
