// One frame of each demo area drawn on the real OpenGL device, headless, from
// the start of its race path: saved as PNG pictures in the build folder, and
// a small picture of the first area compared with its golden image.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/Game.h"
#include "core/RaceTable.h"
#include "platform/d3d/D3D9Backend.h"
#include "scene/StaticObjectManager.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/AreaPictures.h"
#include "tests/support/FixedSun.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "world/Landscape.h"
#include "world/LandscapeDraw.h"

using namespace render_test;

namespace
{

const UINT kWidth = 160, kHeight = 120;
const DWORD kSkyColour = 0xFF7FA8D8;

class LandscapeHeadlessDemoDataTest : public areapictures::AreaPictureTest
{
protected:
    // The summer race of `area` from its start line, lit by a fixed sun.
    std::vector<uint8_t> RenderArea(int area)
    {
        g_CurrentRace = area;
        EXPECT_EQ(g_Landscape.LoadArea(g_RaceTable.area[area], g_RaceTable.season[area]), 1);
        // The main camera's projection as the game makes it.
        const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 1);
        g_Views.mainCamera.Init(&origin, &ahead, D3DX_PI / 2, (float)kWidth / kHeight * 0.85f, CAMERA_NEAR_PLANE,
                                CAMERA_FAR_PLANE, VIEWMODE_FREE, CAMERA_MAIN);
        EXPECT_EQ(LookAlongRacePath(&g_Views.mainCamera), 1);
        g_Views.activeCamera = &g_Views.mainCamera;

        IDirect3DDevice9* device = g_Render.device;
        testlight::SetFixedSun(device);

        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSkyColour, 1.0f, 0);
        device->BeginScene();
        g_Views.mainCamera.UpdateView();
        // Two updates: the first pass decides visibility, the second draws it.
        for (int i = 0; i < 2; i++)
        {
            g_Landscape.Update();
            g_Landscape.UpdateVisibility();
        }
        g_Landscape.Draw();
        device->EndScene();
        EXPECT_GT(g_Landscape.visibleParts, 0);

        UINT w = 0, h = 0;
        std::vector<uint8_t> pixels = testdevice::ReadRenderTargetOf(device, &w, &h);
        EXPECT_EQ(w, kWidth);
        EXPECT_EQ(h, kHeight);
        return pixels;
    }
};

TEST_F(LandscapeHeadlessDemoDataTest, EachDemoAreaFromItsStartLine)
{
    for (int area = 0; area < 3; area++)
    {
        SCOPED_TRACE(area);
        StartDevice(kWidth, kHeight);
        const std::vector<uint8_t> pixels = RenderArea(area);
        StopDevice();
        ASSERT_EQ(pixels.size(), (size_t)kWidth * kHeight * 4);
        const std::string path = testsupport::BuildDir() + "/landscape_area0" + std::to_string(area + 1) + ".png";
        EXPECT_TRUE(golden::WritePng(path, pixels, (int)kWidth, (int)kHeight)) << path;

        // Ground fills the lower half, the sky shows above it, and the ground
        // is textured and lit rather than one flat colour or black.
        int ground = 0, sky = 0;
        long long brightness = 0;
        uint32_t first = golden::PixelAt(pixels, (int)kWidth, 0, kHeight - 1) & 0xFFFFFF;
        bool varied = false;
        for (UINT y = 0; y < kHeight; y++)
            for (UINT x = 0; x < kWidth; x++)
            {
                const uint32_t c = golden::PixelAt(pixels, (int)kWidth, (int)x, (int)y) & 0xFFFFFF;
                const bool isSky = c == (kSkyColour & 0xFFFFFF);
                if (y >= kHeight / 2)
                {
                    ground += !isSky;
                    brightness += ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF);
                    varied = varied || (!isSky && c != first);
                }
                else
                    sky += isSky;
            }
        EXPECT_GT(ground, (int)(kWidth * kHeight / 2 * 9 / 10));
        EXPECT_GT(brightness / (kWidth * kHeight / 2) / 3, 40);
        EXPECT_GT(sky, 0);
        EXPECT_TRUE(varied);
        if (area == 0)
        {
            EXPECT_EQ(golden::Mismatch("world/landscape_area01", pixels, (int)kWidth, (int)kHeight, 12), "");
        }
    }
}

}   // namespace
