// Grass, stones and trees of every demo area in every season drawn on the real
// OpenGL device, headless, from the start of the race path: pictures in the
// build folder, and a small picture of the first area in summer compared
// with its golden image.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/Game.h"
#include "core/GameClock.h"
#include "core/RaceTable.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Clock.h"
#include "scene/StaticObjectManager.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/AreaPictures.h"
#include "tests/support/FixedSun.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/LandscapeDraw.h"
#include "world/NatureManager.h"
#include "world/Sky.h"

using namespace render_test;

namespace
{

const DWORD kSkyColour = 0xFF7FA8D8;

class NatureHeadlessDemoDataTest : public areapictures::AreaPictureTest
{
protected:
    NatureHeadlessDemoDataTest()
    {
        windowWidth = kWidth;
        windowHeight = kHeight;
    }
    void StartDevice()
    {
        // The sky as the program holds it before it is created: white day
        // colours, which the golden picture was taken under, whatever sky an
        // earlier test created.
        g_Sky.Release();
        g_Sky = CSky();
        AreaPictureTest::StartDevice((UINT)kWidth, (UINT)kHeight);
        ASSERT_EQ(g_Nature.Create(), 1);
    }

    // Area and season from the start line a few units up, looking along the
    // road; `seconds` of game clock move the grass.
    std::vector<uint8_t> Render(int area, int season, float seconds = 0.0f)
    {
        g_RaceTable.area[0] = area;
        g_RaceTable.season[0] = season;
        g_CurrentRace = 0;
        EXPECT_EQ(g_Landscape.LoadArea(area, season), 1);
        const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 1);
        g_Views.mainCamera.Init(&origin, &ahead, D3DX_PI / 2, (float)kWidth / kHeight * 0.85f, CAMERA_NEAR_PLANE,
                                CAMERA_FAR_PLANE, VIEWMODE_FREE, CAMERA_MAIN);
        EXPECT_EQ(LookAlongRacePath(&g_Views.mainCamera), 1);
        g_Views.activeCamera = &g_Views.mainCamera;
        g_Clock.m_GameClock = 60000.0f + seconds * 1000.0f;

        IDirect3DDevice9* device = g_Render.device;
        testlight::SetFixedSun(device);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSkyColour, 1.0f, 0);
        device->BeginScene();
        g_Views.mainCamera.UpdateView();
        for (int i = 0; i < 2; i++)
        {
            g_Landscape.Update();
            g_Landscape.UpdateVisibility();
        }
        g_Landscape.Draw();
        g_Nature.DrawTreeStems();
        g_Nature.DrawGrass();
        g_Nature.DrawTreeLeafs();
        device->EndScene();

        std::vector<uint8_t> pixels;
        IDirect3DSurface9* target = nullptr;
        UINT w = 0, h = 0;
        if (SUCCEEDED(device->GetRenderTarget(0, &target)))
        {
            D3DReadSurfacePixels(target, pixels, w, h);
            target->Release();
        }
        return pixels;
    }

    int kWidth = 400, kHeight = 300;
};

TEST_F(NatureHeadlessDemoDataTest, EveryAreaAndSeasonHasGrassStonesAndTrees)
{
    const char* seasons[3] = {"summer", "autumn", "winter"};
    for (int area = 0; area < 3; area++)
        for (int season = 0; season < 3; season++)
        {
            SCOPED_TRACE(std::to_string(area) + " " + seasons[season]);
            StartDevice();
            const std::vector<uint8_t> pixels = Render(area, season);
            EXPECT_GT(g_Nature.clumpCount, 10000);
            EXPECT_GT(g_Nature.stoneCount, 50);
            EXPECT_GT(g_Nature.treeCount, 200);
            EXPECT_GT(g_Nature.visibleGrassFields, 0);
            EXPECT_GT(g_Nature.visibleTreeFields, 0);
            EXPECT_GT(g_Nature.visibleStoneFields, 0);
            StopDevice();
            ASSERT_EQ(pixels.size(), (size_t)kWidth * kHeight * 4);
            const std::string path =
                testsupport::BuildDir() + "/nature_area0" + std::to_string(area + 1) + "_" + seasons[season] + ".png";
            EXPECT_TRUE(golden::WritePng(path, pixels, kWidth, kHeight)) << path;
        }
}

}   // namespace

namespace
{

class NatureGoldenDemoDataTest : public NatureHeadlessDemoDataTest
{
protected:
    NatureGoldenDemoDataTest()
    {
        kWidth = windowWidth = 160;
        kHeight = windowHeight = 120;
    }
};

// The grass moves with the game clock, and the first area in summer looks as
// it did when its golden picture was taken.
TEST_F(NatureGoldenDemoDataTest, GrassWavesAndTheFirstAreaMatchesItsGoldenPicture)
{
    // The time of day, and with it the colours baked into the nature, comes
    // from the clock.
    ClockSetManual(123456);
    StartDevice();
    const std::vector<uint8_t> still = Render(0, 0, 0.0f);
    const std::vector<uint8_t> later = Render(0, 0, 0.7f);
    StopDevice();
    ClockUseSystem();
    ASSERT_EQ(still.size(), (size_t)kWidth * kHeight * 4);
    ASSERT_EQ(later.size(), still.size());
    int moved = 0;
    for (size_t i = 0; i < still.size(); i += 4)
        moved += still[i] != later[i] || still[i + 1] != later[i + 1] || still[i + 2] != later[i + 2];
    EXPECT_GT(moved, 20);
    EXPECT_TRUE(golden::WritePng(testsupport::BuildDir() + "/nature_golden_area01.png", still, kWidth, kHeight));
    EXPECT_EQ(golden::Mismatch("world/nature_area01", still, kWidth, kHeight, 12), "");
}

}   // namespace

namespace
{

// The stems fade by the material's alpha in the technique: drawn over black,
// stems 122.5 units away give about half the light of the same stems at 100.
TEST_F(NatureGoldenDemoDataTest, StemsFadeHalfWayAt122AndAHalf)
{
    ClockSetManual(123456);
    StartDevice();
    Render(0, 0);
    ClockUseSystem();
    // Every tree part in view at one distance; the stones (not faded) left out.
    IDirect3DVertexBuffer9* stones = g_Nature.stoneVB;
    g_Nature.stoneVB = nullptr;
    auto light = [&](float distance) {
        for (int i = 0; i < g_Landscape.partCount; ++i)
            g_Landscape.parts[i]->distance = distance;
        IDirect3DDevice9* device = g_Render.device;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        g_Views.mainCamera.UpdateView();
        g_Nature.DrawTreeStems();
        device->EndScene();
        std::vector<uint8_t> pixels;
        IDirect3DSurface9* target = nullptr;
        UINT w = 0, h = 0;
        if (SUCCEEDED(device->GetRenderTarget(0, &target)))
        {
            D3DReadSurfacePixels(target, pixels, w, h);
            target->Release();
        }
        long long sum = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            sum += pixels[i] + pixels[i + 1] + pixels[i + 2];
        return sum;
    };
    const long long full = light(100.0f), half = light(122.5f), gone = light(140.0f);
    g_Nature.stoneVB = stones;
    StopDevice();
    ASSERT_GT(full, 1000);
    EXPECT_GT(half, full * 3 / 10);
    EXPECT_LT(half, full * 7 / 10);
    EXPECT_EQ(gone, 0);
}

}   // namespace
