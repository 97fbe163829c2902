// soak: the demonstration race behind the menu, race after race, for a long
// time, with a report every minute.
//
//   soak DATA_DIR [--seconds N] [--device recording|gl|headless] [--size WxH]
//                 [--report SECONDS] [--racers N] [--laps N] [--race-limit SECONDS]
//                 [--stuck SECONDS] [--growth MIB] [--warmup RACES]
//                 [--min-races N] [--seed N]
//
// The game is made as the program makes it and the menu is shown as at the
// program's start, so the race of the settings' race row starts at once as a
// demonstration: every racer on autopilot, the spectator shots running. When
// every racer has ridden the row's laps (or the race limit of game time is
// up) the next race starts the way the program starts one, on the next area
// and, after each round of areas, the next season, with the menu still up.
//
// The clock is stepped by hand at 60 frames a game second, so the game time
// does not depend on how fast the machine draws. Each report line (every
// --report wall seconds, 60 by default) has the frames, game time, races
// finished/started, non-finite positions or velocities, stuck racers and the
// resident memory (the live heap under AddressSanitizer, whose quarantine
// makes the resident size grow by design). Exits 1 on a non-finite value, a
// stuck racer, that memory growing more than --growth MiB above the highest
// it was while the warm-up races ran (each area loaded once), or fewer than
// --min-races races finished.
//
// --device recording (the default) runs the program's whole frame, drawing
// included, on the recording backend (its log emptied every frame): the
// game's own drawing code runs, and the run does not wait on the software
// OpenGL, which draws a handful of frames a second on a busy machine (a race
// would take a quarter of an hour). gl draws with the game's own OpenGL device
// on a hidden window (SDL_VIDEODRIVER=offscreen), so the driver's resources
// are watched too, slowly; headless leaves the drawing out (the updates still
// set camera transforms on the recording device) for many races quickly.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/Game.h"
#include "app/LayerLinks.h"
#include "app/WinMain.h"
#include "audio/AudioManager.h"
#include "core/FileManager.h"
#include "core/GameClock.h"
#include "core/InputPacing.h"
#include "core/RaceState.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Clock.h"
#include "platform/os/MessageBox.h"
#include "platform/os/Rand.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "tools/SoakMonitor.h"

namespace
{

// The row the program uses for a quick race; the soak's later races are
// ridden on it so that the career rows stay as they are.
const int kSoakRow = RACE_ROWS - 1;

int PrintBox(HWND, const char* text, const char* caption, UINT)
{
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    return IDOK;
}

int Usage()
{
    std::fprintf(stderr, "usage: soak DATA_DIR [--seconds N] [--device recording|gl|headless] [--size WxH]\n"
                         "            [--report SECONDS] [--racers N] [--laps N] [--race-limit SECONDS]\n"
                         "            [--stuck SECONDS] [--growth MIB] [--warmup RACES] [--min-races N] [--seed N]\n");
    return 2;
}

struct Options
{
    double seconds = 60.0;
    std::string device = "recording";
    int width = 640, height = 480;
    double report = 60.0;
    int racers = 0;
    int laps = 0;
    float raceLimit = 600.0f;
    int minRaces = 0;
    unsigned seed = 1;
    SoakLimits limits;
};

bool Parse(int argc, char** argv, Options& o)
{
    for (int i = 2; i < argc; ++i)
    {
        const std::string flag = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* value = argv[++i];
        if (flag == "--device")
        {
            o.device = value;
            if (o.device != "gl" && o.device != "recording" && o.device != "headless")
                return false;
            continue;
        }
        if (flag == "--size")
        {
            if (std::sscanf(value, "%dx%d", &o.width, &o.height) != 2 || o.width < 64 || o.height < 64 ||
                o.width > 4096 || o.height > 4096)
                return false;
            continue;
        }
        char* end = nullptr;
        const double number = std::strtod(value, &end);
        if (!end || end == value || *end != '\0' || !(number >= 0.0 && number < 1e7))
            return false;
        if (flag == "--seconds")
            o.seconds = number;
        else if (flag == "--report")
            o.report = number > 1.0 ? number : 1.0;
        else if (flag == "--racers")
            o.racers = (int)number;
        else if (flag == "--laps")
            o.laps = (int)number;
        else if (flag == "--race-limit")
            o.raceLimit = (float)number;
        else if (flag == "--stuck")
            o.limits.stuckSeconds = (float)number;
        else if (flag == "--growth")
            o.limits.growthMiB = (float)number;
        else if (flag == "--warmup")
            o.limits.warmupRaces = (int)number;
        else if (flag == "--min-races")
            o.minRaces = (int)number;
        else if (flag == "--seed")
            o.seed = (unsigned)number;
        else
            return false;
    }
    return true;
}

std::vector<SoakRacerSample> Racers()
{
    std::vector<SoakRacerSample> samples;
    for (int i = 0; i < g_Vehicles.racerCount; ++i)
    {
        const CVehicleObject* v = g_Vehicles.racers[i];
        if (!v)
            continue;
        SoakRacerSample s;
        s.id = v;
        s.name = v->Name;
        for (int k = 0; k < 3; ++k)
        {
            s.position[k] = v->Position[k];
            s.velocity[k] = v->linearVelocity[k];
        }
        s.pathPoint = v->PathPoint;
        s.racing = v->DriveState != DRIVE_HOLD && v->DriveState != DRIVE_STOP;
        samples.push_back(s);
    }
    return samples;
}

// What a stuck racer was doing, for finding out why.
void PrintStuck(const std::string& what)
{
    std::printf("stuck: %s\n", what.c_str());
    for (int i = 0; i < g_Vehicles.racerCount; ++i)
    {
        const CVehicleObject* v = g_Vehicles.racers[i];
        if (v && what.compare(0, std::strlen(v->Name), v->Name) == 0)
            std::printf("  drive state %d (previous %d), %.1f km/h, at (%.1f, %.1f, %.1f), path point %d of %d, "
                        "airborne %d, wheels on ground %d, rider %s, %s, throttle %.0f, brake %.0f, rear brake %d, "
                        "engine force %.0f, gear %d, stuck timer %.2f\n",
                        v->DriveState, v->PreviousDriveState, v->Speed, v->Position[0], v->Position[1], v->Position[2],
                        v->PathPoint, g_RacePathCount, v->Airborne, v->WheelsOnGround,
                        !v->Rider           ? "none"
                        : v->Rider->RagDoll ? "fallen"
                                            : "riding",
                        v->visible ? "in view" : "unseen", v->Throttle, v->BrakeInput, v->RearBrake, v->EngineForce,
                        v->Gear, v->StuckTimer);
    }
}

// One frame as the program's main loop runs it; headless leaves out the
// drawing, the recording device's log is emptied after it.
void Frame(const Options& o)
{
    DrainMessages(nullptr);
    if (o.device != "headless")
        g_Game.Frame();
    else
    {
        g_Clock.Update();
        const GameStepList& steps = GameRunning() ? g_Game.runningUpdateSteps : g_Game.heldUpdateSteps;
        if (!GameRunning() || g_Clock.m_GameStep > 0.0f)
            for (const GameStep& s : steps)
                s.run();
        g_AudioManager.Update();
    }
    InputFrameDone();
    // The updates set camera transforms on the device even without drawing.
    if (o.device != "gl")
        D3DClearRecordedCalls();
}

}   // namespace

int main(int argc, char** argv)
{
    Options o;
    if (argc < 2 || !Parse(argc, argv, o))
        return Usage();
    if (chdir(argv[1]) != 0)
    {
        std::fprintf(stderr, "soak: no data folder %s\n", argv[1]);
        return 2;
    }
    SetMessageBoxHook(PrintBox);
    ConnectLayers();
    if (!UnsetLayerLinks().empty())
    {
        std::fprintf(stderr, "soak: unconnected link %s\n", UnsetLayerLinks().front().c_str());
        return 2;
    }
    g_UseFileManager = 1;
    g_FileManager.Create();
    g_AppActive = 1;
    ResetQuit();
    g_GameMenu = 1;

    RaceDevice device;
    if (!device.Open(o.device == "gl", o.width, o.height))
    {
        std::fprintf(stderr, "soak: %s\n", device.Error().c_str());
        return 2;
    }
    // Sound on the null driver when there is one; the run goes on without.
    const bool audio = g_AudioManager.Create(nullptr) >= 0;

    // The score table stays in memory: nothing is written into the data.
    KeepScoresInMemory();
    DWORD clockMs = 1000;
    ClockSetManual(clockMs);
    GameSrand(o.seed);
    if (g_Game.Create() != 1)
    {
        std::fprintf(stderr, "soak: the game could not be created\n");
        return 2;
    }
    if (audio)
        g_AudioManager.Compact();
    int row = g_RaceID;
    if (o.racers > 0)
        g_RaceTable.racers[row] = o.racers;
    if (o.laps > 0)
        g_RaceTable.laps[row] = o.laps;
    g_MainMenu.Show(MENU_PROFILES);
    SoakMonitor monitor(o.limits);
    if (g_Game.StartRace(row) != 1)
    {
        std::fprintf(stderr, "soak: the first race could not be started\n");
        return 2;
    }
    RunGame();
    g_MainMenu.secondsSinceShow = 0.0f;
    monitor.BeginRace(g_RacePathCount, g_RaceTable.laps[row]);
    std::printf("race 1: area %d season %d, %d racers, %d laps of %d path points\n", g_RaceTable.area[row] + 1,
                g_RaceTable.season[row], g_RaceTable.racers[row], g_RaceTable.laps[row], g_RacePathCount);

    const auto started = std::chrono::steady_clock::now();
    auto wall = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(); };
    long frames = 0, lastFrames = 0;
    double nextReport = o.report;
    float raceSeconds = 0.0f;
    int minute = 0;
    const float step = 1.0f / 60.0f;
    bool failed = false;
    std::printf("%6s %9s %8s %9s %7s %5s %5s %9s %9s\n", "report", "frames", "fps", "game s", "races", "NaN", "stuck",
                WatchedMemoryLabel(), "growth");
    std::fflush(stdout);
    while (!failed)
    {
        ++frames;
        // 60 frames a game second: the manual clock advances 1000/60 ms.
        clockMs = 1000 + (DWORD)((frames * 1000) / 60);
        ClockSetManual(clockMs);
        Frame(o);
        raceSeconds += step;
        const size_t stuckBefore = monitor.StuckRacers().size();
        monitor.Sample(Racers(), step);
        for (size_t i = stuckBefore; i < monitor.StuckRacers().size(); ++i)
            PrintStuck(monitor.StuckRacers()[i]);
        failed = monitor.NonFinite() > 0 || !monitor.StuckRacers().empty();
        if (frames % 600 == 0)
            monitor.MemorySample(WatchedMemoryMiB());

        if (monitor.RaceDone() || raceSeconds >= o.raceLimit)
        {
            const int next = monitor.RacesStarted();
            g_RaceTable.area[kSoakRow] = next % 3;
            g_RaceTable.season[kSoakRow] = (next / 3) % 3;
            g_RaceTable.racers[kSoakRow] = g_RaceTable.racers[row];
            g_RaceTable.laps[kSoakRow] = g_RaceTable.laps[row];
            g_RaceTable.reverse[kSoakRow] = 0;
            g_RaceTable.difficulty[kSoakRow] = g_RaceTable.difficulty[row];
            if (g_Game.StartRace(kSoakRow) != 1)
            {
                std::fprintf(stderr, "soak: race %d could not be started\n", next + 1);
                failed = true;
                break;
            }
            monitor.BeginRace(g_RacePathCount, g_RaceTable.laps[kSoakRow]);
            monitor.MemorySample(WatchedMemoryMiB());
            raceSeconds = 0.0f;
            std::printf("race %d: area %d season %d at %.1f game s, RSS %.1f MiB, heap in use %.1f MiB\n", next + 1,
                        g_RaceTable.area[kSoakRow] + 1, g_RaceTable.season[kSoakRow], (double)frames / 60.0,
                        ResidentMiB(), HeapInUseMiB());
            std::fflush(stdout);
        }

        const double now = wall();
        if (now >= nextReport || now >= o.seconds || failed)
        {
            monitor.MemorySample(WatchedMemoryMiB());
            ++minute;
            char growth[32] = "-";
            if (monitor.HaveBaseline())
                std::snprintf(growth, sizeof growth, "%.1f", monitor.GrowthMiB());
            std::printf("%6d %9ld %8.1f %9.1f %3d/%-3d %5d %5zu %9.1f %9s\n", minute, frames,
                        (double)(frames - lastFrames) / (now - (nextReport - o.report)), (double)frames / 60.0,
                        monitor.RacesFinished(), monitor.RacesStarted(), monitor.NonFinite(),
                        monitor.StuckRacers().size(), WatchedMemoryMiB(), growth);
            std::fflush(stdout);
            lastFrames = frames;
            nextReport += o.report;
            if (now >= o.seconds)
                break;
        }
    }

    std::vector<std::string> faults = monitor.Faults();
    if (monitor.RacesFinished() < o.minRaces)
        faults.push_back("only " + std::to_string(monitor.RacesFinished()) + " races finished, " +
                         std::to_string(o.minRaces) + " asked for");
    if (!monitor.HaveBaseline())
        std::printf("memory: no growth measured (fewer than %d races started)\n", o.limits.warmupRaces + 1);
    else
        std::printf("memory: at most %.1f MiB in the warm-up races, at most %.1f MiB after them\n",
                    monitor.BaselineMiB(), monitor.PeakAfterBaselineMiB());

    g_Game.Release();
    if (audio)
        g_AudioManager.Release();
    device.Close();
    g_FileManager.Release();

    std::printf("%ld frames, %.1f game s, %d/%d races finished/started\n", frames, (double)frames / 60.0,
                monitor.RacesFinished(), monitor.RacesStarted());
    for (const std::string& f : faults)
        std::printf("FAULT %s\n", f.c_str());
    std::printf(faults.empty() ? "soak: sound\n" : "soak: FAILED\n");
    return faults.empty() ? 0 : 1;
}
