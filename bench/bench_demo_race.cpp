// The demonstration race behind the front-end menu, as a player sees it at
// the program's start: the program's own start (settings, start counter,
// window, devices, the game and its first race) in a scratch folder that
// holds a link to the demo data, then passes of its main loop at 800 x 600
// on the game's OpenGL render device (headless on llvmpipe with
// SDL_VIDEODRIVER=offscreen). The race of the first row, on the area of the
// second argument, in summer, with the grid size of the third argument.
//
// The first argument chooses the settings:
//   0  a first start: the start counter is new, so the program sets the
//      options to what this build gives a first start on this renderer;
//   1  every option at its limit (longest view distance, best shadows,
//      glow and blur), written in "Game.ini" of a start that is not the first.
//
// The clock is the program's own but manual: it stands still while the
// program starts (so the time of day, drawn from the clock, is the same on
// every run) and moves 1/60 s a frame after, so every run draws the same
// frames whatever the machine's speed. The race runs on without drawing up
// to kSettleFrames (the field spread out, the menu's camera on its shots),
// a few frames are drawn to make every buffer and program, then the timed
// frames follow.
//
// Counters: the median and 99th-percentile frame time, the CPU time of a
// frame over every thread (the rasterizer's too) and on the program's own
// thread (the game, the driver's front end, vertex work and binning), the draw calls and
// triangles, and the fragment-shader invocations of a frame as the driver
// counts them (its pipeline statistics; "pixels shaded"): the last three do
// not depend on how busy the machine is. "distance", "shadows", "glow" and
// "blur" are the options the frames ran with.
//
// BENCH_STEPS=1 also prints, per frame, each draw step's pixels shaded,
// draw calls and milliseconds (the rasterizer finished before and after
// each step). BENCH_PICTURES=DIR leaves the last timed frame there as
// "demo_s<settings>_a<area>.png".
//
// One race runs per process (choose it with --benchmark_filter): the
// software driver does not take a second start of the program well.
//
// This file (and bench/PixelQuery.h) is kept free of anything newer than
// the benchmark itself, so scripts/bench-compare.sh can build it against an
// older tree.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/Game.h"
#include "app/WinMain.h"
#include "audio/AudioManager.h"
#include "bench/PixelQuery.h"
#include "core/GameClock.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Clock.h"
#include "platform/os/MessageBox.h"
#include "platform/os/Rand.h"
#include "platform/os/StartCounter.h"
#include "platform/os/Window.h"
#include "racers/VehicleManager.h"
#include "render/D3DRender.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "world/Sky.h"

// scripts/bench-compare.sh builds this file in older trees too: from before
// the layers' links were connected by one start-up step, and the race table
// moved to core.
#if __has_include("app/LayerLinks.h")
#include "LayeredMain.h"
#define DEMO_RACE_BENCHMARK_MAIN LAYERED_BENCHMARK_MAIN
#else
#define DEMO_RACE_BENCHMARK_MAIN BENCHMARK_MAIN
#endif
#if __has_include("core/RaceTable.h")
#include "core/RaceTable.h"
#else
#include "app/RaceTable.h"
#endif

namespace
{

const int kWidth = 800, kHeight = 600;
const int kSettleFrames = 900;   // 15 game seconds: the start's camera move over, the field under way
const int kDrawnWarmUpFrames = 10;
const int kTimedFrames = 120;
const int kStepFrames = 30;
const int kDayHundredths = 35;   // the sun between its low morning and its high noon

benchpixels::PixelQuery g_Queries;

int QuietBox(HWND, const char*, const char*, UINT)
{
    return IDOK;
}

// A clock reading from which the sky draws a time of day in the given
// hundredth of the day (the first found; 1 when none is).
DWORD ClockForDayTime(int hundredths)
{
    for (DWORD ms = 100000; ms < 2000000; ++ms)
    {
        GameSrand(ms);
        const int first = GameRand();
        const int second = GameRand();
        if ((int)(DayFractionOfDraws(first, second, 0) * 100.0f + 0.5f) == hundredths)
            return ms;
    }
    return 100000;
}

typedef std::chrono::steady_clock Clock;

double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double ThreadCpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec * 1000.0 + (double)t.tv_nsec * 1e-6;
}

double ProcessCpuMs()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double)t.tv_sec * 1000.0 + (double)t.tv_nsec * 1e-6;
}

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, (size_t)(p * (double)(v.size() - 1) + 0.5));
    return v[i];
}

bool WriteFile(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

// The program started in a scratch folder; its frames on the manual clock.
class DemoRace
{
public:
    bool Start(int settings, int area, int racers, std::string* error)
    {
        char folder[] = "/tmp/bench_demo_race.XXXXXX";
        if (!mkdtemp(folder))
            return Fail(error, "no scratch folder");
        m_Folder = folder;
        const std::string data = testsupport::DemoDataDir() + "/Data";
        if (symlink(data.c_str(), (m_Folder + "/Data").c_str()) != 0)
            return Fail(error, "no link to " + data);
        // A start that is not the first finds a count; a first start none.
        const std::string counter = m_Folder + "/counter";
        mkdir(counter.c_str(), 0700);
        if (settings != 0)
        {
            mkdir((counter + "/Brenhold").c_str(), 0700);
            mkdir((counter + "/Brenhold/Trallowmere").c_str(), 0700);
            if (!WriteFile(counter + "/Brenhold/Trallowmere/Started", std::string("\x05\0\0\0", 4)))
                return Fail(error, "no start count");
        }
        SetStartCounterFolder(counter.c_str());
        // The options at their limits; a first start replaces them.
        if (!WriteFile(m_Folder + "/Game.ini", "[Video]\nMode=0\nDistance=2\nShadows=3\nGlow=1\nBlur=1\nWindowed=1\n"
                                               "[Misc]\nGame menu=1\nRaceID=0\n"))
            return Fail(error, "no Game.ini");

        char home[PATH_MAX];
        if (!getcwd(home, sizeof home) || chdir(m_Folder.c_str()) != 0)
            return Fail(error, "cannot enter the scratch folder");
        m_Home = home;
        SetMessageBoxHook(QuietBox);
        // A counted run skips the splash sequence; the count is never reached.
        setenv("TRALLOWMERE_TEST_CLOSE_AFTER_FRAMES", "2000000000", 1);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return Fail(error, std::string("no video driver: ") + SDL_GetError());
        D3DSelectBackend(D3DBackendKind::OpenGL);
        D3DOverrideAdapterModes({D3DDISPLAYMODE{kWidth, kHeight, 60, D3DFMT_X8R8G8B8}});
        D3DOverrideDesktopMode(D3DDISPLAYMODE{kWidth, kHeight, 60, D3DFMT_X8R8G8B8});

        // The first row's race on the chosen area, in summer, with the
        // chosen grid.
        static int s_Area, s_Racers;
        s_Area = area;
        s_Racers = racers;
        for (GameStep& s : g_Game.createSteps)
            if (std::strcmp(s.name, "CGame::InitRaceTable") == 0)
            {
                const std::function<int()> fill = s.run;
                s.run = [fill] {
                    const int made = fill();
                    g_RaceTable.area[0] = s_Area;
                    g_RaceTable.season[0] = 0;
                    g_RaceTable.racers[0] = s_Racers;
                    return made;
                };
            }

        m_BaseMs = ClockForDayTime(kDayHundredths);
        ClockSetManual(m_BaseMs);
        m_Started = true;
        if (StartProgram(nullptr) != 0)
            return Fail(error, "the program did not start");
        g_Queries.Load();
        return true;
    }

    void End()
    {
        if (!m_Started)
            return;
        m_Started = false;
        EndProgram();
        if (g_hwnd)
            DestroyWindow(g_hwnd);
        g_hwnd = nullptr;
        ClockUseSystem();
        SetStartCounterFolder(nullptr);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        if (!m_Home.empty() && chdir(m_Home.c_str()) != 0)
            std::fprintf(stderr, "cannot go back to %s\n", m_Home.c_str());
        if (!m_Folder.empty())
        {
            const std::string rm = "rm -rf '" + m_Folder + "'";
            if (std::system(rm.c_str()) != 0)
                std::fprintf(stderr, "%s left behind\n", m_Folder.c_str());
        }
    }

    // The main loop's pass: messages, then the game's frame.
    void Frame()
    {
        NextTick();
        DrainMessages(nullptr);
        g_Game.Frame();
    }

    // The same pass without its drawing.
    void UpdateOnly()
    {
        NextTick();
        DrainMessages(nullptr);
        g_Clock.Update();
        if (g_Clock.m_GameStep > 0.0f)
            for (const GameStep& s : g_Game.runningUpdateSteps)
                s.run();
    }

    ~DemoRace() { End(); }

private:
    void NextTick()
    {
        ++m_Frames;
        ClockSetManual(m_BaseMs + (unsigned)((m_Frames * 1000) / 60));
    }

    bool Fail(std::string* error, const std::string& why)
    {
        *error = why;
        return false;
    }

    bool m_Started = false;
    long m_Frames = 0;
    unsigned m_BaseMs = 0;
    std::string m_Folder, m_Home;
};

// Each draw step's pixels shaded, draws and milliseconds.
struct StepCount
{
    double pixels = 0, draws = 0, ms = 0;
    int order = 0;
};
std::map<std::string, StepCount> g_StepCounts;

std::function<int()> Counted(const std::string& name, std::function<int()> run, bool pixels = true)
{
    static int s_Order = 0;
    g_StepCounts[name].order = s_Order++;
    return [name, run, pixels]() {
        g_Queries.Finish();
        if (pixels)
        {
            D3DTakeDrawStats();
            g_Queries.Begin();
        }
        const Clock::time_point start = Clock::now();
        const int result = run();
        StepCount& c = g_StepCounts[name];
        if (pixels)
            c.pixels += (double)g_Queries.End();
        g_Queries.Finish();
        c.ms += Ms(start, Clock::now());
        if (pixels)
            c.draws += (double)D3DTakeDrawStats().drawCalls;
        return result;
    };
}

void CountEachStep()
{
    // Queries do not nest: the whole render is timed alone, its steps are
    // counted; what it takes beyond them is its passes' own work.
    for (GameStep& s : g_Game.drawSteps)
        if (std::strcmp(s.name, "CGame::Render") != 0)
            s.run = Counted(std::string("2D ") + s.name, s.run);
        else
            s.run = Counted("(whole render, ms only)", s.run, false);
    for (GameStep& s : g_Game.mainPassSteps)
        s.run = Counted(std::string("main ") + s.name, s.run);
    for (GameStep& s : g_Game.reflectionSteps)
        s.run = Counted(std::string("reflection ") + s.name, s.run);
    for (GameStep& s : g_Game.runningUpdateSteps)
        s.run = Counted(std::string("update ") + s.name, s.run);
    for (ShadowCaster& c : g_Game.shadowCasters)
    {
        const std::function<void()> draw = c.draw;
        const std::function<int()> counted = Counted(std::string("shadow ") + c.name, [draw] {
            draw();
            return 1;
        });
        c.draw = [counted] { counted(); };
    }
}

void PrintStepCounts(double frames, double framePixels, double frameMs)
{
    std::vector<std::pair<int, std::string>> order;
    for (const auto& c : g_StepCounts)
        order.push_back({c.second.order, c.first});
    std::sort(order.begin(), order.end());
    double counted = 0, countedMs = 0, renderSteps = 0;
    std::fprintf(stderr, "%12s %7s %9s  step (per frame)\n", "pixels", "draws", "ms");
    for (const auto& o : order)
    {
        const StepCount& c = g_StepCounts[o.second];
        counted += c.pixels;
        if (o.second[0] != '(')
            countedMs += c.ms;
        if (o.second.compare(0, 5, "main ") == 0 || o.second.compare(0, 7, "shadow ") == 0 ||
            o.second.compare(0, 11, "reflection ") == 0)
            renderSteps += c.ms;
        std::fprintf(stderr, "%12.0f %7.1f %9.2f  %s\n", c.pixels / frames, c.draws / frames, c.ms / frames,
                     o.second.c_str());
    }
    const double render = g_StepCounts["(whole render, ms only)"].ms;
    std::fprintf(stderr, "%12s %7s %9.2f  the passes' own (terrain shadow, copies, smoothing, clears)\n", "", "",
                 (render - renderSteps) / frames);
    std::fprintf(stderr, "%12.0f %7s %9.2f  the rest (pixels: the passes' own; ms: the present)\n",
                 framePixels - counted / frames, "", frameMs - countedMs / frames - (render - renderSteps) / frames);
}

void BM_DemoRace(benchmark::State& state)
{
    // The software driver does not take a second program start in one
    // process well: one race per run of the program.
    static int s_Runs = 0;
    if (s_Runs++ > 0)
    {
        state.SkipWithError("one race per process: choose it with --benchmark_filter");
        return;
    }
    const int settings = (int)state.range(0);
    DemoRace race;
    std::string error;
    if (!race.Start(settings, (int)state.range(1), (int)state.range(2), &error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    for (int i = 0; i < kSettleFrames; ++i)
        race.UpdateOnly();
    for (int i = 0; i < kDrawnWarmUpFrames; ++i)
        race.Frame();
    std::vector<double> frames;
    double pixels = 0;
    D3DTakeDrawStats();
    const double cpuBefore = ProcessCpuMs(), mainBefore = ThreadCpuMs();
    for (auto _ : state)
    {
        g_Queries.Begin();
        const Clock::time_point start = Clock::now();
        race.Frame();
        frames.push_back(Ms(start, Clock::now()));
        pixels += (double)g_Queries.End();
    }
    const double cpu = ProcessCpuMs() - cpuBefore, mainCpu = ThreadCpuMs() - mainBefore;
    const D3DDrawStats draws = D3DTakeDrawStats();
    const double n = (double)std::max<size_t>(1, frames.size());
    state.counters["median_ms"] = Percentile(frames, 0.5);
    state.counters["p99_ms"] = Percentile(frames, 0.99);
    state.counters["cpu_ms"] = cpu / n;
    state.counters["main_thread_ms"] = mainCpu / n;
    state.counters["draw_calls"] = (double)draws.drawCalls / n;
    state.counters["triangles"] = (double)draws.triangles / n;
    state.counters["pixels_shaded"] = g_Queries.ok ? pixels / n : -1.0;
    state.counters["racers"] = g_Vehicles.racerCount;
    state.counters["distance"] = (g_ViewDistance - 300) / 100;
    state.counters["shadows"] = g_ShadowQuality;
    state.counters["glow"] = g_GlowOn;
    state.counters["blur"] = g_BlurOn;

    // The next frames step by step (which slows them: only the counts count).
    const char* steps = std::getenv("BENCH_STEPS");
    if (steps && steps[0] == '1' && g_Queries.ok)
    {
        CountEachStep();
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < kStepFrames; ++i)
            race.Frame();
        PrintStepCounts(kStepFrames, pixels / n, Ms(start, Clock::now()) / kStepFrames);
    }

    const char* pictures = std::getenv("BENCH_PICTURES");
    if (pictures && *pictures && g_Render.device)
    {
        // One more frame, read back before the present.
        const std::string path = std::string(pictures) + "/demo_s" + std::to_string(settings) + "_a" +
                                 std::to_string((int)state.range(1)) + ".png";
        static std::string s_Path;
        s_Path = path;
        g_Game.drawSteps.push_back({"picture", [] {
                                        std::vector<uint8_t> bgra;
                                        IDirect3DSurface9* target = nullptr;
                                        UINT w = 0, h = 0;
                                        if (SUCCEEDED(g_Render.device->GetRenderTarget(0, &target)) && target)
                                        {
                                            D3DReadSurfacePixels(target, bgra, w, h);
                                            target->Release();
                                        }
                                        if (bgra.empty() || !golden::WritePng(s_Path, bgra, (int)w, (int)h))
                                            std::fprintf(stderr, "no picture written to %s\n", s_Path.c_str());
                                        return 1;
                                    }});
        race.Frame();
    }
}
BENCHMARK(BM_DemoRace)
    ->ArgsProduct({{0, 1}, {0, 1, 2}, {14}})
    ->ArgNames({"settings", "area", "racers"})
    ->Iterations(kTimedFrames)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}   // namespace

DEMO_RACE_BENCHMARK_MAIN();
