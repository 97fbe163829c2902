// Dust puffs and skid marks drawn on the real OpenGL device over the first
// demo area by day, as the main pass draws them after the terrain: saved as a
// PNG picture in the build folder, and compared with the same view without
// them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/Game.h"
#include "app/LayerLinks.h"
#include "core/GameClock.h"
#include "core/RaceTable.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Clock.h"
#include "racers/VehicleWheels.h"
#include "render/LightManager.h"
#include "scene/Dusts.h"
#include "scene/StaticObjectManager.h"
#include "scene/WheelSkids.h"
#include "tests/render/DrawTestSupport.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"
#include "world/Landscape.h"
#include "world/LandscapeDraw.h"
#include "world/Sky.h"

using namespace render_test;

namespace
{

const float kDay = 1150000.0f;

class EffectsHeadlessDemoDataTest : public RenderFixture
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
        savedHooks = g_SkidHooks;
    }

    void TearDown() override
    {
        g_SkidHooks = savedHooks;
        g_Dusts.Release();
        g_Skids.Release();
        g_Views.mainCamera.Release();
        // The area's placed objects hold meshes of this device: they go
        // before it, or the next area's load frees them a second time.
        g_StaticObjects.Clear();
        g_Landscape.Release();
        g_Sky.Release();
        g_LightManager.FreeAll();
        g_Render.FreeD3DRender();
        hidden.Close();
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
        D3DOverrideAdapterModes({D3DDISPLAYMODE{width, height, 60, D3DFMT_X8R8G8B8}});
        g_Render = CD3DRender();
        EXPECT_EQ(g_Render.InitD3D(1), 0);
        EXPECT_EQ(g_Render.CreateDevice(hidden.get(), 1, 0, 0), 0);
        EXPECT_EQ(g_Landscape.LoadSurfaces(), 1);
        EXPECT_EQ(g_LightManager.Init(), 1);
        EXPECT_EQ(g_Sky.Create(), 1);
        EXPECT_EQ(g_Dusts.Create(), 1);
        EXPECT_EQ(g_Skids.Create(), 1);
        EXPECT_NE(g_Dusts.texture, -1);
        EXPECT_NE(g_Skids.texture, -1);
        ClockSetManual(1000);
        g_Clock.Init();
        g_CurrentRace = 0;
        EXPECT_EQ(g_Landscape.LoadArea(g_RaceTable.area[0], g_RaceTable.season[0]), 1);
        ConnectLayers();
        // No motorcycle owns the strips here: the side comes from the path.
        g_SkidHooks.ownerSide = [](const CVehicleObject*, float side[3]) {
            side[0] = 1;
            side[1] = side[2] = 0;
        };
        g_SkidHooks.releaseOwner = [](CVehicleObject*, const CSkidStrip*) {};

        g_Sky.dayTime = kDay;
        g_Sky.moonTime = kDay + 1000000.0f;
        g_Sky.Update();
        g_LightManager.lastUpdate = 0;
        g_LightManager.Update();
        const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 1);
        g_Views.mainCamera.Init(&origin, &ahead, D3DX_PI / 2, (float)width / height * 0.85f, CAMERA_NEAR_PLANE,
                                CAMERA_FAR_PLANE, VIEWMODE_FREE, CAMERA_MAIN);
        EXPECT_EQ(LookAlongRacePath(&g_Views.mainCamera), 1);
        // Look down at the ground ahead.
        D3DXVECTOR3 forward = g_Views.mainCamera.at - g_Views.mainCamera.eye;
        forward.y = 0;
        D3DXVec3Normalize(&forward, &forward);
        g_Views.mainCamera.at = g_Views.mainCamera.eye + forward * 10.0f - D3DXVECTOR3(0, 4.0f, 0);
        g_Views.mainCamera.UpdateView();
        g_Views.activeCamera = &g_Views.mainCamera;
        return true;
    }

    // Two wavy skid trails and a dust cloud in front of the camera.
    void LayEffects()
    {
        const D3DXVECTOR3 eye = g_Views.mainCamera.eye;
        D3DXVECTOR3 forward = g_Views.mainCamera.at - eye;
        forward.y = 0;
        D3DXVec3Normalize(&forward, &forward);
        const D3DXVECTOR3 side(forward.z, 0, -forward.x);
        CVehicleObject* owner = reinterpret_cast<CVehicleObject*>(this);
        for (int trail = 0; trail < 2; ++trail)
        {
            CSkidStrip* strip = g_Skids.NewStrip(owner);
            ASSERT_NE(strip, nullptr);
            for (int i = 0; i < 60; ++i)
            {
                const float d = 2.0f + float(i) * 0.3f;
                const float sway = std::sin(d * 0.4f) * 1.2f + (trail ? 0.5f : -0.5f);
                const D3DXVECTOR3 p = eye + forward * d + side * sway;
                const float point[3] = {p.x, p.y, p.z};
                strip->AddPoint(point, 0.9f);
            }
            strip->End();
        }
        // A cloud raised along the trails, thicker near their start.
        for (int i = 0; i < 60; ++i)
        {
            const float d = 3.0f + float(i % 20) * 0.45f;
            const float sway = std::sin(d * 0.4f) * 1.2f + float(i / 20 - 1) * 0.7f;
            const D3DXVECTOR3 p = eye + forward * d + side * sway;
            const float at[3] = {p.x, 0, p.z};
            const float ground = g_Landscape.GetHeight(at);
            const float position[3] = {p.x, ground + 0.2f + float(i % 3) * 0.15f, p.z};
            const float velocity[3] = {0.4f * side.x, 0.5f, 0.4f * side.z};
            const float colour[4] = {0.78f, 0.66f, 0.5f, 0.55f};
            g_Dusts.Emit(position, velocity, 0.3f + float(i % 4) * 0.12f, 3.0f, 0.4f, colour);
        }
    }

    std::vector<uint8_t> Render(UINT& w, UINT& h)
    {
        IDirect3DDevice9* device = g_Render.device;
        for (int frame = 0; frame < 4; frame++)
        {
            ClockAdvance(50);
            g_Clock.Update();
            g_Clock.m_GameStep = 0.05f;
            g_Dusts.Update();
            g_Skids.Update();
            device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFF00FF, 1.0f, 0);
            device->BeginScene();
            g_Views.mainCamera.UpdateView();
            g_Landscape.Update();
            g_Landscape.UpdateVisibility();
            g_Sky.Draw();
            g_Landscape.Draw();
            g_Skids.Render();
            g_Dusts.Render();
            device->EndScene();
        }
        return testdevice::ReadRenderTargetOf(device, &w, &h);
    }

    testdevice::HiddenWindow hidden;
    SkidHooks savedHooks;
};

TEST_F(EffectsHeadlessDemoDataTest, SkidMarksAndDustOverTheGround)
{
    const UINT w = 640, h = 480;
    if (!Start(w, h))
        SKIP_OR_FAIL_IN_CI() << "no video driver";
    UINT bw = 0, bh = 0;
    const std::vector<uint8_t> bare = Render(bw, bh);
    LayEffects();
    UINT ew = 0, eh = 0;
    const std::vector<uint8_t> marked = Render(ew, eh);
    ASSERT_EQ(marked.size(), (size_t)w * h * 4);
    ASSERT_EQ(bare.size(), marked.size());
    const std::string path = testsupport::BuildDir() + "/effects_dust_skids.png";
    EXPECT_TRUE(golden::WritePng(path, marked, (int)w, (int)h)) << path;

    // The marks and the dust change a fair part of the ground; in the sky
    // only the drifting clouds move.
    int changedGround = 0, changedSky = 0;
    for (UINT y = 0; y < h; y++)
        for (UINT x = 0; x < w; x++)
        {
            const size_t i = ((size_t)y * w + x) * 4;
            const int diff = std::abs(bare[i] - marked[i]) + std::abs(bare[i + 1] - marked[i + 1]) +
                             std::abs(bare[i + 2] - marked[i + 2]);
            if (diff > 24)
                (y > h / 4 ? changedGround : changedSky)++;
        }
    EXPECT_GT(changedGround, int(w * h / 50));
    EXPECT_LT(changedSky, int(w * h / 200));
}

}   // namespace
