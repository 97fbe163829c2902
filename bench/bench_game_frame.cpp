// The whole game frame of a race with sixteen racers on each demo area (the
// argument), at 800 x 600 on the game's OpenGL render device on a hidden
// window (headless on llvmpipe with SDL_VIDEODRIVER=offscreen), with every
// effect of the options on: the longest view distance, the best shadows,
// glow and blur. One frame is what the main loop runs: the draw steps (the
// shadow and reflection passes, the main pass with terrain, road, water,
// nature, objects, racers, dust, skids and lights, the post effects, the
// display), the running update steps (racers, physics, camera, world,
// visibility) and the present, on a fixed 1/60 s game step.
//
// BM_GameFrame reports the median and 99th-percentile frame time, the CPU
// time of a frame over every thread (the rasterizer's too: the work itself,
// which a busy machine does not stretch as it does the wall time), the draw
// calls, triangles and pixels shaded (the driver's fragment-shader
// invocations) of a frame (averaged), and the share of the update
// steps inside the frame. BM_GameSimulation is the same race stepped without
// drawing and without the drawing's visibility: the simulation's cost per
// frame. The load average of the machine is reported beside each figure, as
// the machine may be shared.
//
// The drawn benchmarks take the time of day as their second argument, in
// hundredths of the day: the race's draw picks a time in the morning (0.30 to
// 0.40) or the afternoon (0.60 to 0.70), and the sun's height changes the
// shadow map's content and cost most of all (at 30 it stands low, at 40
// high). The clock is held while the race loads, so that the time of
// day, the lighting baked into the nature and the racers' colours are the
// same on every run.
//
// LP_NUM_THREADS sets llvmpipe's rasterizer threads; `taskset` pins cores.
// BENCH_OPTIONS (see EveryEffectOn) runs the race at other options.
// With BENCH_PICTURES set to a folder, BM_GameFrame leaves there, after its
// timed frames, the next frame of each area ("frame_area<N>...png") and the
// shadow map as that frame drew it: the whole map ("shadow_area<N>.png") and
// the layer copied half-way ("shadow_layer_area<N>.png"), for comparing the
// look of two builds; each name ends in "_day<D>" (the time of day, below).
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "LayeredMain.h"
#include "app/Game.h"
#include "bench/DemoDataSetup.h"
#include "bench/PixelQuery.h"
#include "core/GameClock.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Clock.h"
#include "platform/os/Rand.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "racers/VehicleManager.h"
#include "render/D3DRender.h"
#include "tests/support/GoldenImage.h"
#include "world/Sky.h"

namespace
{

const float kStep = 1.0f / 60.0f;
const int kWidth = 800, kHeight = 600;
const int kGridFrames = 120;       // held on the grid
const int kUnderWayFrames = 300;   // after the start, before timing: the field spread out
const int kDrawnWarmUpFrames = 20;
const int kTimedFrames = 300;   // five simulated seconds

double LoadAverage()
{
    double load[1] = {0.0};
    FILE* f = std::fopen("/proc/loadavg", "r");
    if (f)
    {
        if (std::fscanf(f, "%lf", &load[0]) != 1)
            load[0] = -1.0;
        std::fclose(f);
    }
    return load[0];
}

// Every effect on, or the options BENCH_OPTIONS gives as "D,S,G,B": the
// view distance 0..2, shadows 0..3, glow and blur 0 or 1, as in the
// options page (for example BENCH_OPTIONS=0,1,0,0).
void EveryEffectOn()
{
    g_ViewDistance = g_SettingLimits.viewDistance;
    g_ShadowQuality = g_SettingLimits.shadowQuality;
    g_GlowOn = g_SettingLimits.glow;
    g_BlurOn = g_SettingLimits.blur;
    const char* options = std::getenv("BENCH_OPTIONS");
    int d = 0, s = 0, g = 0, b = 0;
    if (options && std::sscanf(options, "%d,%d,%d,%d", &d, &s, &g, &b) == 4)
    {
        g_ViewDistance = 300 + 100 * d;
        g_ShadowQuality = s;
        g_GlowOn = g;
        g_BlurOn = b;
        ClampSettings();
    }
}

// The demo data mounted (through the recording device of the racer
// benchmarks' setup, closed again) and the game's OpenGL device opened once:
// closing and opening it again in one process upsets the software driver.
RaceDevice* SharedDevice(std::string* error)
{
    static RaceDevice device;
    static int state = 0;   // 0 not tried, 1 open, -1 failed
    if (state == 0)
    {
        benchsetup::Once().device.Close();
        EveryEffectOn();
        state = device.Open(true, kWidth, kHeight) ? 1 : -1;
        if (state != 1)
            *error = device.Error();
        // The device may lower glow and blur when it cannot run them.
        ClampSettings();
    }
    return state == 1 ? &device : nullptr;
}

benchpixels::PixelQuery& Pixels()
{
    static benchpixels::PixelQuery query;
    static bool loaded = false;
    if (!loaded && g_Render.device)
    {
        query.Load();
        loaded = true;
    }
    return query;
}

RaceRunOptions SixteenRacers(int area, bool drawn)
{
    RaceRunOptions options;
    options.row = RACE_QUICK_ROW;   // the quick race, set to the largest grid
    options.area = area;
    options.racers = 16;
    options.laps = 3;
    options.gridSeconds = 2.0f;
    // A picture prefix keeps the landscape's visibility step in the frame;
    // no picture is taken here.
    if (drawn)
        options.picturePrefix = "frame";
    return options;
}

// A clock reading from which the sky draws a time of day in the given
// hundredth of the day (the first found; 0 when none is).
DWORD ClockForDayTime(int hundredths)
{
    for (DWORD ms = 1; ms < 1000000; ++ms)
    {
        GameSrand(ms);
        const int first = GameRand();
        const int second = GameRand();
        const float fraction = DayFractionOfDraws(first, second, 0);
        if ((int)(fraction * 100.0f + 0.5f) == hundredths)
            return ms;
    }
    return 0;
}

// The race of sixteen set up with its time of day fixed (see above).
bool SetUpRace(int area, int dayHundredths, bool drawn, std::string* error)
{
    const DWORD clock = dayHundredths > 0 ? ClockForDayTime(dayHundredths) : 0;
    if (clock)
        ClockSetManual(clock);
    const bool made = SetUpHeadlessRace(SixteenRacers(area, drawn), error);
    ClockUseSystem();
    return made;
}

void FixedStep()
{
    g_Clock.m_TimeScale = 1.0f;
    g_Clock.m_GameStep = kStep;
    g_Clock.m_RealStep = kStep;
    g_Clock.m_GameClock += kStep * 1000.0f;
    g_Clock.m_RealClock += kStep * 1000.0f;
}

// CPU time of every thread of the process, the rasterizer's included.
double ProcessCpuMs()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double)t.tv_sec * 1000.0 + (double)t.tv_nsec * 1e-6;
}

typedef std::chrono::steady_clock Clock;

double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// One main-loop frame as CGame::Frame runs it, on the fixed step; returns
// the milliseconds of the update steps inside it.
double GameFrame()
{
    FixedStep();
    IDirect3DDevice9* device = g_Render.device;
    if (SUCCEEDED(device->BeginScene()))
    {
        for (const GameStep& s : g_Game.drawSteps)
            s.run();
        device->EndScene();
    }
    const Clock::time_point start = Clock::now();
    for (const GameStep& s : g_Game.runningUpdateSteps)
        s.run();
    const double update = Ms(start, Clock::now());
    g_Render.PresentFrame();
    return update;
}

bool SaveSurface(IDirect3DSurface9* surface, const std::string& path)
{
    std::vector<uint8_t> pixels;
    UINT w = 0, h = 0;
    if (!surface || !D3DReadSurfacePixels(surface, pixels, w, h) || pixels.empty())
        return false;
    return golden::WritePng(path, pixels, (int)w, (int)h);
}

bool SaveTexture(IDirect3DTexture9* texture, const std::string& path)
{
    IDirect3DSurface9* surface = nullptr;
    if (!texture || FAILED(texture->GetSurfaceLevel(0, &surface)) || !surface)
        return false;
    const bool saved = SaveSurface(surface, path);
    surface->Release();
    return saved;
}

// One more frame, its picture and its shadow map written before the present.
void SaveFramePictures(int area, int day)
{
    const char* folder = std::getenv("BENCH_PICTURES");
    if (!folder || !*folder)
        return;
    const std::string prefix = std::string(folder) + "/";
    const std::string suffix = "_area" + std::to_string(area) + "_day" + std::to_string(day) + ".png";
    FixedStep();
    IDirect3DDevice9* device = g_Render.device;
    if (FAILED(device->BeginScene()))
        return;
    for (const GameStep& s : g_Game.drawSteps)
        s.run();
    device->EndScene();
    IDirect3DSurface9* target = nullptr;
    bool saved = SUCCEEDED(device->GetRenderTarget(0, &target)) && target;
    if (saved)
    {
        saved = SaveSurface(target, prefix + "frame" + suffix);
        target->Release();
    }
    saved = SaveTexture(g_Render.shadowTarget0, prefix + "shadow" + suffix) && saved;
    saved = SaveTexture(g_Render.shadowTarget2, prefix + "shadow_layer" + suffix) && saved;
    if (!saved)
        std::fprintf(stderr, "area %d: the pictures could not all be written to %s\n", area, folder);
    for (const GameStep& s : g_Game.runningUpdateSteps)
        s.run();
    g_Render.PresentFrame();
}

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, (size_t)(p * (double)(v.size() - 1) + 0.5));
    return v[i];
}

// The race of the benchmark's area and day with every effect on, the field
// spread out without drawing and the last frames before timing drawn, so
// that every buffer and texture is made. False (the benchmark skipped) when
// the device or the race cannot be made.
bool ReadyRace(benchmark::State& state)
{
    std::string error = "the render device could not be made";
    if (!SharedDevice(&error))
    {
        state.SkipWithError(error.c_str());
        return false;
    }
    EveryEffectOn();
    ClampSettings();
    if (!SetUpRace((int)state.range(0), (int)state.range(1), true, &error))
    {
        state.SkipWithError(error.c_str());
        return false;
    }
    for (int i = 0; i < kGridFrames; ++i)
        StepHeadlessFrame();
    LetHeadlessRaceGo();
    for (int i = 0; i < kUnderWayFrames; ++i)
        StepHeadlessFrame();
    for (int i = 0; i < kDrawnWarmUpFrames; ++i)
        GameFrame();
    return true;
}

void BM_GameFrame(benchmark::State& state)
{
    if (!ReadyRace(state))
        return;

    std::vector<double> frames, updates;
    double pixels = 0.0;
    D3DTakeDrawStats();
    const double loadBefore = LoadAverage();
    const double cpuBefore = ProcessCpuMs();
    for (auto _ : state)
    {
        Pixels().Begin();
        const Clock::time_point start = Clock::now();
        updates.push_back(GameFrame());
        frames.push_back(Ms(start, Clock::now()));
        pixels += (double)Pixels().End();
    }
    const double cpu = ProcessCpuMs() - cpuBefore;
    const D3DDrawStats draws = D3DTakeDrawStats();
    const double n = (double)std::max<size_t>(1, frames.size());
    state.counters["cpu_ms"] = cpu / n;
    state.counters["median_ms"] = Percentile(frames, 0.5);
    state.counters["p99_ms"] = Percentile(frames, 0.99);
    state.counters["worst_ms"] = Percentile(frames, 1.0);
    state.counters["fps_median"] = 1000.0 / std::max(1e-6, Percentile(frames, 0.5));
    state.counters["update_median_ms"] = Percentile(updates, 0.5);
    state.counters["draw_calls"] = (double)draws.drawCalls / n;
    state.counters["triangles"] = (double)draws.triangles / n;
    state.counters["pixels_shaded"] = Pixels().ok ? pixels / n : -1.0;
    state.counters["racers"] = g_Vehicles.racerCount;
    state.counters["load_avg"] = (loadBefore + LoadAverage()) * 0.5;
    SaveFramePictures((int)state.range(0), (int)state.range(1));
    TearDownHeadlessRace();
}
BENCHMARK(BM_GameFrame)
    ->ArgsProduct({{0, 1, 2}, {30, 40}})
    ->ArgNames({"area", "day"})
    ->Iterations(kTimedFrames)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Where a frame goes: every step of the draw lists (main pass, shadow
// casters, reflection) and of the update list timed on its own, with the
// rasterizer's work finished before and after each (which makes the whole
// frame slower than BM_GameFrame: only the shares count). Each step's
// milliseconds per frame are reported as a counter; the passes' remainder
// (terrain shadows, target copies, clears) as "other_draw".
typedef void (*FinishFn)();

struct StepTimes
{
    std::map<std::string, double> ms;
    std::map<std::string, double> triangles;
    std::map<std::string, double> pixels;
    std::map<std::string, double> cpuMs;      // of the calling thread: the game and the driver's front end
    std::map<std::string, double> allCpuMs;   // of every thread, the rasterizer's included: the work
                                              // itself, whatever else the machine is running
};

double ThreadCpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec * 1000.0 + (double)t.tv_nsec * 1e-6;
}

FinishFn Finish()
{
    static FinishFn finish = reinterpret_cast<FinishFn>(SDL_GL_GetProcAddress("glFinish"));
    return finish;
}

template <typename F>
F Timed(const std::string& name, F run, StepTimes* times)
{
    return [name, run, times]() {
        Finish()();
        D3DTakeDrawStats();   // the step's own count starts here
        // Queries do not nest: the whole render's own is left out.
        const bool count = name.compare(0, 6, "frame ") != 0;
        if (count)
            Pixels().Begin();
        const Clock::time_point start = Clock::now();
        const double cpu = ThreadCpuMs(), all = ProcessCpuMs();
        run();
        if (count)
            times->pixels[name] += (double)Pixels().End();
        Finish()();
        times->cpuMs[name] += ThreadCpuMs() - cpu;
        times->allCpuMs[name] += ProcessCpuMs() - all;
        times->ms[name] += Ms(start, Clock::now());
        times->triangles[name] += (double)D3DTakeDrawStats().triangles;
        return decltype(run())();
    };
}

void BM_GameFrameSteps(benchmark::State& state)
{
    if (!ReadyRace(state))
        return;
    if (!Finish())
    {
        state.SkipWithError("the driver has no glFinish");
        return;
    }

    StepTimes times;
    const GameStepList mainPass = g_Game.mainPassSteps, reflection = g_Game.reflectionSteps,
                       updates = g_Game.runningUpdateSteps, draws = g_Game.drawSteps;
    // The whole render, the off-screen passes apart: their own share is
    // what their steps below leave of it.
    for (GameStep& s : g_Game.drawSteps)
        s.run = Timed(std::string("frame ") + s.name, s.run, &times);
    const std::vector<ShadowCaster> casters = g_Game.shadowCasters;
    for (GameStep& s : g_Game.mainPassSteps)
        s.run = Timed(std::string("main ") + s.name, s.run, &times);
    for (GameStep& s : g_Game.reflectionSteps)
        s.run = Timed(std::string("reflection ") + s.name, s.run, &times);
    for (ShadowCaster& c : g_Game.shadowCasters)
        c.draw = Timed(std::string("shadow ") + c.name, c.draw, &times);
    for (GameStep& s : g_Game.runningUpdateSteps)
        s.run = Timed(std::string("update ") + s.name, s.run, &times);
    double total = 0.0, drawTotal = 0.0;
    for (auto _ : state)
    {
        FixedStep();
        Finish()();
        const Clock::time_point start = Clock::now();
        IDirect3DDevice9* device = g_Render.device;
        if (SUCCEEDED(device->BeginScene()))
        {
            for (const GameStep& s : g_Game.drawSteps)
                s.run();
            device->EndScene();
        }
        Finish()();
        drawTotal += Ms(start, Clock::now());
        for (const GameStep& s : g_Game.runningUpdateSteps)
            s.run();
        g_Render.PresentFrame();
        Finish()();
        total += Ms(start, Clock::now());
    }
    g_Game.mainPassSteps = mainPass;
    g_Game.reflectionSteps = reflection;
    g_Game.runningUpdateSteps = updates;
    g_Game.shadowCasters = casters;
    g_Game.drawSteps = draws;
    const double n = (double)std::max<int64_t>(1, state.iterations());
    double drawn = 0.0;
    std::vector<std::pair<double, std::string>> order;
    for (const auto& t : times.ms)
    {
        state.counters[t.first] = t.second / n;
        if (t.first.compare(0, 7, "update ") != 0 && t.first.compare(0, 6, "frame ") != 0)
            drawn += t.second;
        order.push_back({t.second / n, t.first});
    }
    state.counters["frame_ms"] = total / n;
    state.counters["draw_ms"] = drawTotal / n;
    state.counters["other_draw"] = (drawTotal - drawn) / n;
    state.counters["load_avg"] = LoadAverage();
    std::sort(order.rbegin(), order.rend());
    std::fprintf(stderr, "area %d day %d: %.2f ms a frame, drawing %.2f (other draw %.2f)\n", (int)state.range(0),
                 (int)state.range(1), total / n, drawTotal / n, (drawTotal - drawn) / n);
    for (const auto& o : order)
        std::fprintf(stderr,
                     "  %8.3f ms (CPU: %7.3f ms all threads, %7.3f ms calling thread)  %8.0f triangles %9.0f pixels"
                     "  %s\n",
                     o.first, times.allCpuMs[o.second] / n, times.cpuMs[o.second] / n, times.triangles[o.second] / n,
                     times.pixels[o.second] / n, o.second.c_str());
    TearDownHeadlessRace();
}
BENCHMARK(BM_GameFrameSteps)
    ->ArgsProduct({{0, 1, 2}, {30, 40}})
    ->ArgNames({"area", "day"})
    ->Iterations(60)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same race without drawing: the update steps on the fixed step, the
// landscape's visibility (which only prepares drawing) left out.
void BM_GameSimulation(benchmark::State& state)
{
    std::string error = "the render device could not be made";
    if (!SharedDevice(&error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    EveryEffectOn();
    ClampSettings();
    if (!SetUpRace((int)state.range(0), 0, false, &error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    for (int i = 0; i < kGridFrames; ++i)
        StepHeadlessFrame();
    LetHeadlessRaceGo();
    for (int i = 0; i < kUnderWayFrames; ++i)
        StepHeadlessFrame();
    std::vector<double> frames;
    const double loadBefore = LoadAverage();
    for (auto _ : state)
    {
        const Clock::time_point start = Clock::now();
        StepHeadlessFrame();
        frames.push_back(Ms(start, Clock::now()));
    }
    state.counters["median_ms"] = Percentile(frames, 0.5);
    state.counters["p99_ms"] = Percentile(frames, 0.99);
    state.counters["racers"] = g_Vehicles.racerCount;
    state.counters["load_avg"] = (loadBefore + LoadAverage()) * 0.5;
    TearDownHeadlessRace();
}
BENCHMARK(BM_GameSimulation)
    ->DenseRange(0, 2)
    ->ArgName("area")
    ->Iterations(kTimedFrames)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}   // namespace

LAYERED_BENCHMARK_MAIN();
