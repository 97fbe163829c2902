// The first demo area at day, dusk and night, drawn on the real OpenGL device
// as the main pass draws it (sky, terrain, sun flare) and lit by the light
// manager from the sky: saved as PNG pictures in the build folder, and a
// small daylight picture compared with its golden image.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/Game.h"
#include "core/GameClock.h"
#include "core/RaceTable.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Clock.h"
#include "render/LightManager.h"
#include "scene/StaticObjectManager.h"
#include "tests/render/DrawTestSupport.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"
#include "world/Landscape.h"
#include "world/LandscapeDraw.h"
#include "world/NatureManager.h"
#include "world/Sky.h"

using namespace render_test;

namespace
{

// Noon is 1000000; the race's windows lie between 600000 and 1400000.
const float kDay = 1250000.0f;      // afternoon, the sun 30 degrees up
const float kDusk = 1470000.0f;     // the sun a few degrees above the horizon
const float kNight = 150000.0f;     // past midnight, the moon up
const uint32_t kClockMs = 123456;   // fixes the random clouds picture

struct Picture
{
    std::vector<uint8_t> pixels;
    UINT w = 0, h = 0;
};

class SkyHeadlessDemoDataTest : public RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        g_ShadowQuality = 0;
        g_GlowOn = 0;
        g_ViewDistance = 500;
        UseDemoData(true);
        drawtest::FillDiscFans();
        ClearRaceBlock();
        FillCareerRows();
    }

    void TearDown() override
    {
        Stop();
        ClearRaceBlock();
        g_Views.activeCamera = nullptr;
        ClockUseSystem();
        RenderFixture::TearDown();
        D3DSelectBackend(D3DBackendKind::Recording);
    }

    bool Start(UINT width, UINT height)
    {
        if (!hidden.Open((int)width, (int)height))
            return false;
        window = hidden.get();
        D3DOverrideAdapterModes({D3DDISPLAYMODE{width, height, 60, D3DFMT_X8R8G8B8}});
        g_Render = CD3DRender();
        EXPECT_EQ(g_Render.InitD3D(1), 0);
        EXPECT_EQ(g_Render.CreateDevice(window, 1, 0, 0), 0) << (Messages().empty() ? "" : Messages()[0]);
        EXPECT_EQ(g_Landscape.LoadSurfaces(), 1);
        EXPECT_EQ(g_LightManager.Init(), 1);
        EXPECT_EQ(g_Sky.Create(), 1);
        ClockSetManual(kClockMs);
        g_Clock.Init();
        g_CurrentRace = 0;
        EXPECT_EQ(g_Landscape.LoadArea(g_RaceTable.area[0], g_RaceTable.season[0]), 1);
        return true;
    }

    void Stop()
    {
        // The camera's overlay font holds textures of this device.
        g_Views.mainCamera.Release();
        // The area's placed objects hold meshes of this device: they go
        // before it, or the next area's load frees them a second time.
        g_StaticObjects.Clear();
        g_Landscape.Release();
        g_Nature.Release();
        g_Sky.Release();
        g_LightManager.FreeAll();
        g_Render.FreeD3DRender();
        hidden.Close();
        window = nullptr;
    }

    // The camera on the start line, turned towards the sun's side of the sky
    // and tilted up a little, so the sky fills the upper part of the view.
    void AimTowardsSun(UINT width, UINT height)
    {
        const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 1);
        g_Views.mainCamera.Init(&origin, &ahead, D3DX_PI / 2, (float)width / height * 0.85f, CAMERA_NEAR_PLANE,
                                CAMERA_FAR_PLANE, VIEWMODE_FREE, CAMERA_MAIN);
        ASSERT_EQ(LookAlongRacePath(&g_Views.mainCamera), 1);
        D3DXVECTOR3 towards(-g_Sky.sunDirection[0], 0.0f, -g_Sky.sunDirection[2]);
        if (D3DXVec3Length(&towards) < 1e-3f)
            towards = D3DXVECTOR3(0, 0, -1);
        D3DXVec3Normalize(&towards, &towards);
        // A quarter turn away from the sun's azimuth keeps it in the view's corner.
        const D3DXVECTOR3 side(towards.z, 0.0f, -towards.x);
        const D3DXVECTOR3 look = towards * 0.85f + side * 0.35f + D3DXVECTOR3(0, 0.12f, 0);
        g_Views.mainCamera.at = g_Views.mainCamera.eye + look * 10.0f;
        g_Views.mainCamera.UpdateView();
        g_Views.activeCamera = &g_Views.mainCamera;
    }

    // The sky set to `dayTime`, the lights following it, then a few frames of
    // 50 ms so the flare's glare has faded in; the last frame is read back.
    Picture Render(float dayTime, UINT width, UINT height)
    {
        g_Sky.dayTime = dayTime;
        g_Sky.moonTime = dayTime + 1000000.0f;
        g_Sky.Update();
        g_LightManager.lastUpdate = 0;
        g_LightManager.Update();
        g_Sky.flareSize = 0.0f;
        g_Sky.lastOcclusionTest = 0;
        AimTowardsSun(width, height);

        IDirect3DDevice9* device = g_Render.device;
        for (int frame = 0; frame < 8; frame++)
        {
            ClockAdvance(50);
            g_Clock.Update();
            device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFF00FF, 1.0f, 0);
            device->BeginScene();
            g_Views.mainCamera.UpdateView();
            g_Landscape.Update();
            g_Landscape.UpdateVisibility();
            g_Sky.Draw();
            g_Landscape.Draw();
            g_Sky.DrawFlare();
            device->EndScene();
        }

        Picture p;
        IDirect3DSurface9* target = nullptr;
        if (SUCCEEDED(device->GetRenderTarget(0, &target)))
        {
            D3DReadSurfacePixels(target, p.pixels, p.w, p.h);
            target->Release();
        }
        return p;
    }

    testdevice::HiddenWindow hidden;
    HWND window = nullptr;
};

// Mean brightness (0..255) and the share of blue over red of a screen band.
struct Band
{
    float brightness = 0, blueOverRed = 0;
    int magenta = 0;   // pixels the clear colour still shows through
};

Band Measure(const Picture& p, UINT y0, UINT y1)
{
    Band b;
    double sum = 0, red = 0, blue = 0;
    int n = 0;
    for (UINT y = y0; y < y1; y++)
        for (UINT x = 0; x < p.w; x++)
        {
            const uint32_t c = golden::PixelAt(p.pixels, (int)p.w, (int)x, (int)y);
            const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, bl = c & 0xFF;
            if (r == 255 && g == 0 && bl == 255)
                b.magenta++;
            sum += (r + g + bl) / 3.0;
            red += r;
            blue += bl;
            n++;
        }
    b.brightness = (float)(sum / n);
    b.blueOverRed = (float)((blue + 1) / (red + 1));
    return b;
}

TEST_F(SkyHeadlessDemoDataTest, FirstAreaAtDayDuskAndNight)
{
    const UINT w = 640, h = 480;
    if (!Start(w, h))
        SKIP_OR_FAIL_IN_CI() << "no video driver";
    const char* names[3] = {"day", "dusk", "night"};
    const float times[3] = {kDay, kDusk, kNight};
    Band sky[3], ground[3];
    for (int i = 0; i < 3; i++)
    {
        SCOPED_TRACE(names[i]);
        const Picture p = Render(times[i], w, h);
        ASSERT_EQ(p.pixels.size(), (size_t)w * h * 4);
        const std::string path = testsupport::BuildDir() + "/sky_area01_" + names[i] + ".png";
        EXPECT_TRUE(golden::WritePng(path, p.pixels, (int)w, (int)h)) << path;
        sky[i] = Measure(p, 0, h / 5);
        ground[i] = Measure(p, h * 4 / 5, h);
        // The sky covers every direction: no clear colour is left anywhere.
        EXPECT_EQ(Measure(p, 0, h).magenta, 0);
    }
    // Day is brighter than dusk, dusk than night, in the sky and on the ground;
    // the day sky is blue, the night sky dark.
    EXPECT_GT(sky[0].brightness, sky[1].brightness);
    EXPECT_GT(sky[1].brightness, sky[2].brightness);
    EXPECT_GT(ground[0].brightness, ground[2].brightness);
    EXPECT_GT(sky[0].blueOverRed, 1.2f);
    EXPECT_LT(sky[2].brightness, 60.0f);
}

TEST_F(SkyHeadlessDemoDataTest, SmallDaylightPictureMatchesGolden)
{
    const UINT w = 160, h = 120;
    if (!Start(w, h))
        SKIP_OR_FAIL_IN_CI() << "no video driver";
    const Picture p = Render(kDay, w, h);
    ASSERT_EQ(p.pixels.size(), (size_t)w * h * 4);
    EXPECT_EQ(golden::Mismatch("world/sky_area01_day", p.pixels, (int)w, (int)h, 12), "");
}

}   // namespace
