// The whole game frame of a night race under way (eight racers on demo area
// 1, the camera behind the player), at 800 x 600 on the OpenGL device of a
// hidden window (headless on llvmpipe with SDL_VIDEODRIVER=offscreen): the
// update, the reflection, shadow-map and main passes and the present. Run
// twice in one program, side by side: with every effect off (no lamps,
// glares or beams, no skid marks, no dust, no glow, no motion blur) and with
// every effect on (a motion blur as at speed). Reports the frame time and
// the frames per second; then each post effect alone.
//
// The demo data comes from TRALLOWMERE_TESTDATA (the folder holding "Data"),
// or the build folder's "testdata" (made by the tests' make_demo_data step)
// when it is not set.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "LayeredMain.h"
#include "app/Game.h"
#include "core/FileManager.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9.h"
#include "platform/os/MessageBox.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/LightManager.h"
#include "tests/support/Paths.h"
#include "world/Sky.h"

namespace
{

const int kWidth = 800, kHeight = 600;
const float kMidnight = 150000.0f;

// The main-pass steps that draw effects.
const char* const kEffectSteps[] = {"CWheelSkids::Render",
                                    "CStaticObjectManager::DrawLightEffects 0x110",
                                    "CVehicleManager::RenderEffects",
                                    "CD3DRender::RenderBatch",
                                    "CDusts::Render",
                                    "CD3DRender::RenderGlow",
                                    "CD3DRender::RenderMotionBlur"};

int QuietBox(HWND, const char*, const char*, UINT)
{
    return IDOK;
}

struct NightRace
{
    NightRace()
    {
        const std::string root = testsupport::DemoDataDir();
        if (chdir(root.c_str()) != 0)
        {
            error = "no demo data in " + root + " (set TRALLOWMERE_TESTDATA)";
            return;
        }
        SetMessageBoxHook(QuietBox);
        g_UseFileManager = 1;
        g_FileManager.Create();
        g_ViewDistance = 500;
        g_ShadowQuality = 1;
        // The glow and blur targets are made at the device's restore.
        g_GlowOn = g_BlurOn = 1;
        if (!device.Open(true, kWidth, kHeight))
        {
            error = device.Error();
            return;
        }
        RaceRunOptions options;
        options.picturePrefix = "bench";   // keeps the drawing's visibility steps
        if (!SetUpHeadlessRace(options, &error))
            return;
        for (int i = 0; i < 60; ++i)
            StepHeadlessFrame();
        LetHeadlessRaceGo();
        for (int i = 0; i < 240; ++i)
            StepHeadlessFrame();
        savedSteps = g_Game.mainPassSteps;
        ready = true;
    }

    void Effects(bool on)
    {
        g_Game.mainPassSteps = savedSteps;
        if (!on)
            for (GameStep& s : g_Game.mainPassSteps)
                for (const char* name : kEffectSteps)
                    if (std::strcmp(s.name, name) == 0)
                        s.run = [] { return 1; };
        g_GlowOn = g_BlurOn = on ? 1 : 0;
    }

    // One game frame: the update, then the drawing from behind the player.
    void Frame(bool effects)
    {
        StepHeadlessFrame();
        g_Sky.dayTime = kMidnight;
        g_Sky.moonTime = kMidnight + 1000000.0f;
        const CVehicleObject* player = g_PlayerVehicle;
        if (player)
        {
            D3DXVECTOR3 ahead(player->world._31, 0.0f, player->world._33);
            D3DXVec3Normalize(&ahead, &ahead);
            const D3DXVECTOR3 at(player->Position[0], player->Position[1] + 1.0f, player->Position[2]);
            CCamera& camera = g_Views.mainCamera;
            camera.eye = at - ahead * 5.0f + D3DXVECTOR3(0, 1.5f, 0);
            camera.at = at + ahead * 10.0f;
            camera.up = D3DXVECTOR3(0, 1, 0);
            camera.UpdateView();
            g_Views.activeCamera = &camera;
            g_Game.UpdateVisibility();
        }
        if (effects)
            g_Render.blurAmount = 0.5f;
        IDirect3DDevice9* d = g_Render.device;
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        d->BeginScene();
        g_Game.Render();
        d->EndScene();
        g_Render.PresentFrame();
    }

    RaceDevice device;
    GameStepList savedSteps;
    std::string error;
    bool ready = false;
};

NightRace& Once()
{
    static NightRace race;
    return race;
}

void BM_NightRaceFrame(benchmark::State& state)
{
    NightRace& race = Once();
    if (!race.ready)
    {
        state.SkipWithError(race.error.c_str());
        return;
    }
    const bool on = state.range(0) != 0;
    race.Effects(on);
    for (int i = 0; i < 40; ++i)   // settle the caches of this setting
        race.Frame(on);
    for (auto _ : state)
        race.Frame(on);
    state.SetLabel(on ? "every effect on" : "every effect off");
    state.counters["fps"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    race.Effects(true);
}
BENCHMARK(BM_NightRaceFrame)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("effects")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0)
    ->UseRealTime();

// Each post effect alone over the last frame, with the present: nothing, the
// glow, the motion blur, the shadow layer's smoothing and the texture copy.
void BM_PostEffectAlone(benchmark::State& state)
{
    NightRace& race = Once();
    if (!race.ready)
    {
        state.SkipWithError(race.error.c_str());
        return;
    }
    race.Effects(true);
    race.Frame(true);
    const char* const labels[] = {"present only", "glow", "motion blur", "shadow smoothing", "texture copy"};
    const int which = (int)state.range(0);
    IDirect3DDevice9* d = g_Render.device;
    for (auto _ : state)
    {
        d->BeginScene();
        switch (which)
        {
        case 1:
            g_Render.RenderGlow();
            break;
        case 2:
            g_Render.blurAmount = 1.0f;
            g_Render.RenderMotionBlur();
            break;
        case 3:
            g_Render.SmoothSurface(g_Render.shadowTarget0, g_Render.shadowTarget1, 0.001f, 0.25f);
            break;
        case 4:
            g_Render.CopyTexture(g_Render.shadowTarget0, g_Render.shadowTarget2);
            break;
        default:
            break;
        }
        d->EndScene();
        g_Render.PresentFrame();
    }
    state.SetLabel(labels[which]);
}
BENCHMARK(BM_PostEffectAlone)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->UseRealTime();

}   // namespace

LAYERED_BENCHMARK_MAIN();
