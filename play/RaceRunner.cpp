// The headless race: see RaceRunner.h.
#include "play/RaceRunner.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>

#include "app/Game.h"
#include "app/GameEvent.h"
#include "app/LayerLinks.h"
#include "audio/AudioManager.h"
#include "common/Keywords.h"
#include "core/GameClock.h"
#include "core/RaceState.h"
#include "core/RacerNames.h"
#include "core/Records.h"
#include "core/RunFlags.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Rand.h"
#include "play/FallLog.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "scene/Occlusion.h"
#include "scene/StaticObject.h"
#include "scene/StaticObjectManager.h"
#include "scene/WheelSkids.h"

namespace
{

// The clock's fixed step: 1/60 s unless a run asks for another rate.
int g_FramesPerSecond = 60;
float FrameStep()
{
    return 1.0f / (float)g_FramesPerSecond;
}
// The chase picture: three seconds after the start signal, once the chase
// has settled behind the player.
const float kChaseSeconds = 3.0f;

uint64_t Mix(uint64_t hash, const float* values, int count)
{
    // FNV-1a over the bits of the floats.
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(values);
    for (size_t i = 0; i < sizeof(float) * (size_t)count; ++i)
    {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

int ModelOf(const CVehicleObject& v)
{
    for (int i = 0; i < VEHICLE_MODELS; ++i)
        if (std::strcmp(v.path, g_VehicleModelFiles[i]) == 0)
            return i;
    return -1;
}

bool Finite(const float* v, int n)
{
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i]))
            return false;
    return true;
}

// What the runner follows of one racer.
struct Watch
{
    CVehicleObject* vehicle;
    float still;
    int lastPathPoint;
    int wasAirborne;
    int falls;
    RacerOutcome outcome;
    float previousVelocity[3];   // the frame before, for the fall log
};

D3DXVECTOR3 Ahead(const CVehicleObject& v)
{
    D3DXVECTOR3 a(v.world._31, 0.0f, v.world._33);
    const float length = D3DXVec3Length(&a);
    return length > 1e-4f ? a / length : D3DXVECTOR3(0, 0, 1);
}

// Draws the frame as the game would from the active camera (its fade too
// when `fadeSeconds` is not negative: the fade as it stands that long after
// it began) and writes it as PNG.
bool SaveView(const std::string& path, float fadeSeconds)
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device || D3DGetSelectedBackend() != D3DBackendKind::OpenGL)
        return false;
    CCamera& camera = g_Views.activeCamera ? *g_Views.activeCamera : g_Views.mainCamera;
    camera.UpdateView();
    for (int i = 0; i < g_Vehicles.racerCount; ++i)
        g_Vehicles.racers[i]->UpdateFade();
    g_Game.UpdateVisibility();

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF8FB4E0, 1.0f, 0);
    if (FAILED(device->BeginScene()))
        return false;
    g_Game.Render();
    if (fadeSeconds >= 0.0f)
    {
        // The headless frames draw nothing, so the fade has not counted its
        // time: it is given the time it would have counted, less this
        // frame's step, which the drawing adds.
        camera.fadeElapsed = fadeSeconds - g_Clock.m_RealStep;
        camera.DrawFade();
    }
    device->EndScene();

    UINT w = 0, h = 0;
    std::vector<uint8_t> pixels = D3DReadRenderTarget(device, &w, &h);
    if (pixels.empty())
        return false;
    return D3DWritePng(path, pixels, (int)w, (int)h);
}

// Draws the frame from the given eye; the main camera is left as it was.
bool SavePicture(const std::string& path, const D3DXVECTOR3& eye, const D3DXVECTOR3& at)
{
    CCamera& camera = g_Views.mainCamera;
    const D3DXVECTOR3 savedEye = camera.eye, savedAt = camera.at, savedUp = camera.up;
    CCamera* savedActive = g_Views.activeCamera;
    camera.eye = eye;
    camera.at = at;
    camera.up = D3DXVECTOR3(0, 1, 0);
    g_Views.activeCamera = &camera;
    const bool saved = SaveView(path, -1.0f);
    camera.eye = savedEye;
    camera.at = savedAt;
    camera.up = savedUp;
    camera.UpdateView();
    g_Views.activeCamera = savedActive;
    return saved;
}

// The race start's fade in, half-way.
void FadePicture(const RaceRunOptions& options, RaceRunResult& result, float seconds)
{
    if (options.picturePrefix.empty())
        return;
    const std::string path = options.picturePrefix + "_fade.png";
    if (SaveView(path, seconds))
        result.pictures.push_back(path);
}

// The player's chase view, as the race starts.
void ChasePicture(const RaceRunOptions& options, RaceRunResult& result)
{
    if (options.picturePrefix.empty())
        return;
    const std::string path = options.picturePrefix + "_chase.png";
    if (SaveView(path, -1.0f))
        result.pictures.push_back(path);
}

void GridPicture(const RaceRunOptions& options, RaceRunResult& result)
{
    if (options.picturePrefix.empty() || g_RacePathCount < 2)
        return;
    // From behind the last row and above, looking over the grid.
    const int rows = std::min(g_RacePathCount - 1, std::max(1, (g_RaceOrderCount + 1) / 2));
    const D3DXVECTOR3 back(g_RacePath[0][0], g_RacePath[0][1], g_RacePath[0][2]);
    const int middle = std::max(1, rows / 2);
    const D3DXVECTOR3 centre(g_RacePath[middle][0], g_RacePath[middle][1], g_RacePath[middle][2]);
    D3DXVECTOR3 along = centre - back;
    along.y = 0.0f;
    if (D3DXVec3Length(&along) < 1e-3f)
        along = D3DXVECTOR3(0, 0, 1);
    D3DXVec3Normalize(&along, &along);
    const D3DXVECTOR3 side(along.z, 0.0f, -along.x);
    const D3DXVECTOR3 eye = back - along * 6.0f + side * 2.0f + D3DXVECTOR3(0, 4.5f, 0);
    const std::string path = options.picturePrefix + "_grid.png";
    if (SavePicture(path, eye, centre))
        result.pictures.push_back(path);
}

void RacePicture(const RaceRunOptions& options, RaceRunResult& result)
{
    if (options.picturePrefix.empty() || g_RaceOrderCount == 0)
        return;
    // Behind the racer that sees the most others ahead of it.
    const CVehicleObject* best = nullptr;
    int bestCount = -1;
    for (int i = 0; i < g_RaceOrderCount; ++i)
    {
        const CVehicleObject* v = g_RaceOrder[i];
        const D3DXVECTOR3 ahead = Ahead(*v);
        int count = 0;
        for (int j = 0; j < g_RaceOrderCount; ++j)
        {
            const CVehicleObject* o = g_RaceOrder[j];
            const D3DXVECTOR3 d(o->Position[0] - v->Position[0], 0.0f, o->Position[2] - v->Position[2]);
            const float along = D3DXVec3Dot(&d, &ahead);
            if (o != v && along > 3.0f && along < 30.0f && std::fabs(d.x * ahead.z - d.z * ahead.x) < along * 0.6f)
                ++count;
        }
        if (count > bestCount)
        {
            best = v;
            bestCount = count;
        }
    }
    const D3DXVECTOR3 at(best->Position[0], best->Position[1], best->Position[2]);
    const D3DXVECTOR3 ahead = Ahead(*best);
    const D3DXVECTOR3 side(ahead.z, 0.0f, -ahead.x);
    const std::string path = options.picturePrefix + "_race.png";
    if (SavePicture(path, at - ahead * 8.0f + side * 3.5f + D3DXVECTOR3(0, 5.0f, 0), at + ahead * 12.0f))
        result.pictures.push_back(path);
}

// Props (placed objects other than buildings) still visible after the
// occlusion pass that a visible building covers all the same: what the
// pass's list order let through.
int PropsBehindBuildings()
{
    std::vector<char> behind(g_StaticObjects.objectCount, 0);
    for (unsigned int i = 0; i < g_StaticObjects.objectCount; ++i)
    {
        CStaticObject* building = g_StaticObjects.objects[i];
        if (building->objectType != GTYPE_BUILDING || !building->visible || !building->BuildOccluder())
            continue;
        for (unsigned int j = 0; j < g_StaticObjects.objectCount; ++j)
        {
            CStaticObject* o = g_StaticObjects.objects[j];
            if (o->objectType != GTYPE_BUILDING && o->visible && o->IsOccluded())
                behind[j] = 1;
        }
    }
    g_OccluderPlaneCount = 0;
    int count = 0;
    for (char b : behind)
        count += b;
    return count;
}

// The landscape's visibility only prepares its drawing. A run without
// pictures leaves it out; the step is given back at the end.
const char kLandscapeVisibility[] = "CLandscape::UpdateVisibility";
std::function<int()> g_SkippedStep;

void SkipDrawingOnlySteps()
{
    for (GameStep& s : g_Game.visibilitySteps)
        if (std::strcmp(s.name, kLandscapeVisibility) == 0 && !g_SkippedStep)
        {
            g_SkippedStep = s.run;
            s.run = [] { return 1; };
        }
}

void RestoreSkippedSteps()
{
    for (GameStep& s : g_Game.visibilitySteps)
        if (std::strcmp(s.name, kLandscapeVisibility) == 0 && g_SkippedStep)
            s.run = g_SkippedStep;
    g_SkippedStep = nullptr;
}

}   // namespace

void KeepScoresInMemory()
{
    for (GameStep& s : g_Game.createSteps)
        if (std::strcmp(s.name, "CGame::LoadRecords") == 0)
            s.run = [] {
                LoadRacerNames();
                FillDefaultScores();
                return 1;
            };
}

void StepHeadlessFrame()
{
    // What CGame::Frame does after its drawing, with the fixed step in place
    // of the real clock.
    g_Clock.m_TimeScale = 1.0f;
    const float step = FrameStep();
    g_Clock.m_GameStep = step;
    g_Clock.m_RealStep = step;
    g_Clock.m_GameClock += step * 1000.0f;
    g_Clock.m_RealClock += step * 1000.0f;
    for (const GameStep& s : g_Game.runningUpdateSteps)
        s.run();
}

bool SetUpHeadlessRace(const RaceRunOptions& options, std::string* error)
{
    if (options.row < 0 || options.row >= RACE_ROWS)
    {
        *error = "no such race row";
        return false;
    }
    ConnectLayers();
    if (!UnsetLayerLinks().empty())
    {
        *error = "unconnected link " + UnsetLayerLinks().front();
        return false;
    }
    // The score table's names are drawn while the game is made.
    GameSrand(options.seed);
    KeepScoresInMemory();
    if (g_Game.Create() != 1)
    {
        *error = "the game could not be created";
        g_Game.Release();
        return false;
    }
    RunGame();
    if (options.area >= 0)
        g_RaceTable.area[options.row] = options.area;
    if (options.racers > 0)
        g_RaceTable.racers[options.row] = options.racers;
    if (options.laps > 0)
        g_RaceTable.laps[options.row] = options.laps;
    if (g_Game.StartRace(options.row) != 1 || !g_PlayerVehicle)
    {
        *error = "the race could not be started";
        TearDownHeadlessRace();
        return false;
    }
    // The area load reseeds from the clock; from here on the run is seeded.
    GameSrand(options.seed);
    if (options.picturePrefix.empty() && !options.drawn)
        SkipDrawingOnlySteps();
    // The race starts through its event: the grid, the camera's move down
    // to the player and the fade in; the start signal follows when the
    // event's wait is over, held here to the grid time asked for.
    g_GameEvent.Post(GEVENT_RACE_START, g_PlayerVehicle, 0);
    g_GameEvent.Update();
    if (g_GameEvent.code != GEVENT_RACE_START)
    {
        *error = "the race-start event did not start";
        TearDownHeadlessRace();
        return false;
    }
    const float grid = std::max(0.0f, options.gridSeconds);
    g_GameEvent.startTime = g_Clock.GameTimeMs() + (unsigned)std::lround(grid * 1000.0f) - 8000u;
    return true;
}

void LetHeadlessRaceGo()
{
    // The race-start event's end (now, when its wait is not over yet), with
    // the player ridden like the computer racers.
    if (g_GameEvent.code == GEVENT_RACE_START)
    {
        g_GameEvent.startTime = g_Clock.GameTimeMs() - 8000u;
        g_GameEvent.Update();
    }
    if (g_PlayerVehicle)
    {
        g_PlayerVehicle->DriveState = DRIVE_AI;
        g_PlayerVehicle->ControlMode = CONTROL_COMPUTER;
    }
}

void TearDownHeadlessRace()
{
    RestoreSkippedSteps();
    g_Game.Release();
    StopGame();
}

bool RaceRunResult::AllFinished() const
{
    if (!ran || order.empty())
        return false;
    for (const RacerOutcome& r : order)
        if (!r.finished)
            return false;
    return true;
}

int RaceRunResult::Falls() const
{
    int falls = 0;
    for (const RacerOutcome& r : order)
        falls += r.falls;
    return falls;
}

float RaceRunResult::LongestStill() const
{
    float longest = 0.0f;
    for (const RacerOutcome& r : order)
        longest = std::max(longest, r.longestStill);
    return longest;
}

RaceRunResult RunRace(const RaceRunOptions& options)
{
    RaceRunResult result;
    const auto started = std::chrono::steady_clock::now();
    if (!SetUpHeadlessRace(options, &result.error))
        return result;
    uint64_t checksum = 1469598103934665603ull;
    std::vector<Watch> watches;
    auto sample = [&](int second) {
        for (int i = 0; i < g_Vehicles.racerCount; ++i)
        {
            const CVehicleObject* v = g_Vehicles.racers[i];
            checksum = Mix(checksum, v->Position, 3);
            checksum = Mix(checksum, v->linearVelocity, 3);
            if (!Finite(v->Position, 3) || !Finite(v->linearVelocity, 3))
                ++result.nonFinite;
        }
        if (options.trace)
            std::fprintf(options.trace, "t %4d  checksum %016llx\n", second, (unsigned long long)checksum);
    };

    g_FramesPerSecond = std::max(20, std::min(240, options.framesPerSecond));
    const int framesPerSecond = g_FramesPerSecond;
    const float step = FrameStep();
    const int holdFrames = (int)std::lround(options.gridSeconds * framesPerSecond);
    // The race start fades in over 2 s: the picture at half of it.
    const int fadeFrame = std::min(holdFrames, framesPerSecond);
    for (int f = 0; f < holdFrames; ++f)
    {
        StepHeadlessFrame();
        ++result.frames;
        if (result.frames % framesPerSecond == 0)
            sample(result.frames / framesPerSecond);
        if (result.frames == fadeFrame)
            FadePicture(options, result, (float)fadeFrame * step);
    }
    GridPicture(options, result);
    LetHeadlessRaceGo();
    if (g_CurrentRace >= 0 && g_CurrentRace < RACE_ROWS)
        result.laps = g_RaceTable.laps[g_CurrentRace];
    for (int i = 0; i < g_RaceOrderCount; ++i)
    {
        CVehicleObject* v = g_RaceOrder[i];
        Watch w{v, 0.0f, v->PathPoint, 0, v->RaceStats.Falls, RacerOutcome(), {0, 0, 0}};
        w.outcome.name = v->Name;
        w.outcome.model = ModelOf(*v);
        w.outcome.player = v == g_PlayerVehicle;
        watches.push_back(w);
    }

    StartFallLog(options.fallLog);
    std::vector<RacerOutcome> finishers;
    const int raceFrames = (int)std::lround(options.timeLimit * framesPerSecond);
    const int pictureFrame = (int)std::lround(options.pictureSeconds * framesPerSecond);
    for (int f = 1; f <= raceFrames && (int)finishers.size() < (int)watches.size(); ++f)
    {
        FallLogTime(f * step);
        StepHeadlessFrame();
        ++result.frames;
        for (Watch& w : watches)
        {
            CVehicleObject* v = w.vehicle;
            if (w.outcome.finished)
                continue;
            FallLogRacer(*v, (int)(&w - watches.data()), result.laps, v->RaceStats.Falls > w.falls, w.wasAirborne,
                         w.previousVelocity, v->PathPoint < w.lastPathPoint);
            std::copy(v->linearVelocity, v->linearVelocity + 3, w.previousVelocity);
            if (v->RaceStats.Falls > w.falls)
            {
                // The airborne flag is cleared by the fall itself: the frame
                // before tells whether the motorcycle was in the air.
                w.outcome.falls += v->RaceStats.Falls - w.falls;
                if (w.wasAirborne)
                    w.outcome.airFalls += v->RaceStats.Falls - w.falls;
            }
            w.falls = v->RaceStats.Falls;
            if (v->DriveState == DRIVE_AUTOPILOT)
            {
                w.outcome.finished = true;
                w.outcome.raceTime = v->RaceStats.RaceTime;
                w.outcome.averageSpeed = v->RaceStats.AverageSpeed;
                finishers.push_back(w.outcome);
                continue;
            }
            if (std::fabs(v->Speed) < 5.0f)
                w.still += step;
            else
                w.still = 0.0f;
            w.outcome.longestStill = std::max(w.outcome.longestStill, w.still);
            if (v->PathPoint < w.lastPathPoint)
                ++w.outcome.respawns;
            w.lastPathPoint = v->PathPoint;
            if (v->Airborne && !w.wasAirborne)
                ++w.outcome.jumps;
            if (v->Airborne)
                w.outcome.bestRise = std::max(w.outcome.bestRise, v->linearVelocity[1]);
            w.wasAirborne = v->Airborne;
            w.outcome.airTime = v->RaceStats.AirTime;
        }
        result.objectsHidden += (int)g_StaticObjects.hiddenCount;
        result.propsBehindBuildings += PropsBehindBuildings();
        if (result.frames % framesPerSecond == 0)
            sample(result.frames / framesPerSecond);
        if (f == (int)std::lround(kChaseSeconds * framesPerSecond))
            ChasePicture(options, result);
        if (f == pictureFrame)
            RacePicture(options, result);
    }

    StopFallLog();
    g_FramesPerSecond = 60;
    result.order = finishers;
    for (int i = 0; i < g_RaceOrderCount; ++i)
        for (Watch& w : watches)
            if (w.vehicle == g_RaceOrder[i] && !w.outcome.finished)
            {
                w.outcome.raceTime = w.vehicle->RaceStats.RaceTime;
                result.order.push_back(w.outcome);
            }
    result.checksum = checksum;
    result.simulatedSeconds = (float)result.frames / framesPerSecond;
    result.ran = true;

    TearDownHeadlessRace();
    // Read after the race is cleared, which frees the strips still in use.
    result.skidStripsOpened = g_Skids.stats.opened;
    result.skidRequestsRefused = g_Skids.stats.refused;
    result.skidStripsRetired = g_Skids.stats.retired;
    result.skidStripsShown = g_Skids.stats.shown;
    result.skidLongestStrip = g_Skids.stats.longestStrip;
    result.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

void PrintRaceResult(FILE* out, const RaceRunResult& result)
{
    if (!result.ran)
    {
        std::fprintf(out, "race not run: %s\n", result.error.c_str());
        return;
    }
    std::fprintf(out, "place  racer            model  time (s)  km/h   longest still (s)  respawns  jumps  air (s)  "
                      "rise  falls  in air\n");
    int place = 1;
    for (const RacerOutcome& r : result.order)
    {
        if (r.finished)
            std::fprintf(out, "%5d  %-15s%s  %5d  %8.2f  %5.1f  %17.2f  %8d  %5d  %7.2f  %4.1f  %5d  %6d\n", place++,
                         r.name.c_str(), r.player ? "*" : " ", r.model + 1, r.raceTime, r.averageSpeed, r.longestStill,
                         r.respawns, r.jumps, r.airTime, r.bestRise, r.falls, r.airFalls);
        else
            std::fprintf(out, "    -  %-15s%s  %5d  not finished (%.2f s)  %17.2f  %8d  %5d  %7.2f  %4.1f  %5d  %6d\n",
                         r.name.c_str(), r.player ? "*" : " ", r.model + 1, r.raceTime, r.longestStill, r.respawns,
                         r.jumps, r.airTime, r.bestRise, r.falls, r.airFalls);
    }
    const int racers = (int)result.order.size();
    int airFalls = 0;
    for (const RacerOutcome& r : result.order)
        airFalls += r.airFalls;
    std::fprintf(out, "falls %d (%d in the air) among %d racers over %d laps: %.3f per racer per lap\n", result.Falls(),
                 airFalls, racers, result.laps,
                 racers > 0 && result.laps > 0 ? (double)result.Falls() / (racers * result.laps) : 0.0);
    std::fprintf(out, "simulated %.1f s in %d frames, %.2f s wall (%.0f times real time)\n", result.simulatedSeconds,
                 result.frames, result.wallSeconds,
                 result.wallSeconds > 0 ? result.simulatedSeconds / result.wallSeconds : 0.0);
    std::fprintf(out, "non-finite samples %d\n", result.nonFinite);
    std::fprintf(out, "skid strips %d opened, %d shown of %d freed, %d requests refused, longest strip %.1f\n",
                 result.skidStripsOpened, result.skidStripsShown, result.skidStripsRetired, result.skidRequestsRefused,
                 result.skidLongestStrip);
    std::fprintf(out, "placed objects hidden %d, props drawn behind a building %d (object-frames)\n",
                 result.objectsHidden, result.propsBehindBuildings);
    std::fprintf(out, "checksum %016llx\n", (unsigned long long)result.checksum);
}
