// The pond of the first demo area seen from its bank in a race, drawn by the
// game's own passes on the OpenGL device: the water parts are found visible,
// the reflection pass draws the world upside down into its target and the
// pond, with the reflection on it, matches its golden image. The picture
// lands in the build folder.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/Game.h"
#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Clock.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "render/D3DRender.h"
#include "render/LightManager.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"
#include "world/Landscape.h"
#include "world/NatureManager.h"
#include "world/Sky.h"

namespace
{

class WaterHeadlessDemoDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Messages.reset(new testdata::MessageCapture());
        m_Folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
        // The game's view distance and shadows, whatever an earlier test
        // chose; no glow and no motion blur: each would carry over what
        // earlier frames left in their targets.
        m_Distance = g_ViewDistance;
        m_Shadows = g_ShadowQuality;
        m_Glow = g_GlowOn;
        m_Blur = g_BlurOn;
        g_ViewDistance = 500;
        g_ShadowQuality = 3;
        g_GlowOn = 0;
        g_BlurOn = 0;
        // The race in front of the player, not behind a menu that a program
        // started earlier in this process left open.
        g_MainMenu.active = 0;
    }
    void TearDown() override
    {
        g_ViewDistance = m_Distance;
        g_ShadowQuality = m_Shadows;
        g_GlowOn = m_Glow;
        g_BlurOn = m_Blur;
        if (m_Raced)
            TearDownHeadlessRace();
        ClockUseSystem();
        m_Device.Close();
        m_Folder.reset();
        m_Messages.reset();
    }

    static const int kWidth = 400, kHeight = 300;
    RaceDevice m_Device;
    bool m_Raced = false;
    int m_Distance = 0, m_Shadows = 0, m_Glow = 0, m_Blur = 0;
    std::unique_ptr<testdata::MessageCapture> m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

TEST_F(WaterHeadlessDemoDataTest, PondSeenFromItsBankIsDrawnWithItsReflection)
{
    if (!m_Device.Open(true, kWidth, kHeight))
        SKIP_OR_FAIL_IN_CI() << m_Device.Error();
    // A stopped millisecond clock: the area load's draws (the time of day
    // the nature is lit by, the clouds) are the same at every run.
    ClockSetManual(123456);
    RaceRunOptions options;
    options.picturePrefix = "water";   // keeps the drawing's visibility steps
    std::string error;
    m_Raced = SetUpHeadlessRace(options, &error);
    ASSERT_TRUE(m_Raced) << error;
    // A second of the race: the sky, the lights and the world are updated.
    for (int i = 0; i < 60; ++i)
        StepHeadlessFrame();
    // An afternoon sun and the first clouds, whatever the load drew: the
    // water's colour follows the sun and the sky.
    g_Sky.dayTime = 1250000.0f;
    g_Sky.moonTime = g_Sky.dayTime + 1000000.0f;
    g_Sky.Update();
    g_LightManager.lastUpdate = 0;
    g_LightManager.Update();
    g_Sky.flareSize = 0.0f;
    if (g_Sky.cloudsTexture != -1)
        g_Render.ReleaseTexture(g_Sky.cloudsTexture);
    g_Sky.cloudsTexture = g_Render.LoadTexture("Data/Sky/Clouds01.bmp", 1, 1, 0);

    // The middle of the cells below the water line, and the way out of it
    // to the highest ground within 60 units: the bank to look from.
    const CLandscape& land = g_Landscape;
    double sumX = 0, sumZ = 0;
    int wet = 0;
    auto cellX = [&](int c) { return c * land.cellSize - land.size / 2 + land.cellSize / 2; };
    auto cellZ = [&](int r) { return land.size / 2 - r * land.cellSize - land.cellSize / 2; };
    for (int r = 0; r < land.gridSize; ++r)
        for (int c = 0; c < land.gridSize; ++c)
            if (land.heights[r][c] < land.waterAltitude)
            {
                sumX += cellX(c);
                sumZ += cellZ(r);
                ++wet;
            }
    ASSERT_GT(wet, 0);
    const D3DXVECTOR3 pond((float)(sumX / wet), land.waterAltitude, (float)(sumZ / wet));
    D3DXVECTOR3 eye = pond + D3DXVECTOR3(45.0f, 0.0f, 0.0f);
    const float ground[3] = {eye.x, 0.0f, eye.z};
    eye.y = std::max(land.GetHeight(ground), land.waterAltitude) + 6.0f;

    CCamera& camera = g_Views.mainCamera;
    camera.eye = eye;
    camera.at = pond;
    camera.up = D3DXVECTOR3(0, 1, 0);
    camera.UpdateView();
    g_Views.activeCamera = &camera;
    // The landscape and nature bring their parts up to date for the new
    // eye (distances, level of detail, nature), then the visibility pass.
    for (int i = 0; i < 2; ++i)
    {
        g_Landscape.Update();
        g_Nature.Update();
        g_Game.UpdateVisibility();
    }
    EXPECT_GT(land.visibleWaterParts, 0);

    IDirect3DDevice9* device = g_Render.device;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    g_Game.Render();
    device->EndScene();
    EXPECT_GT(g_Render.reflectionFaces, 0) << "no reflection pass";
    const std::vector<uint8_t> pixels = testdevice::ReadRenderTargetOf(device);
    ASSERT_EQ(pixels.size(), (size_t)kWidth * kHeight * 4);
    const std::string path = testsupport::BuildDir() + "/water_area01_pond.png";
    EXPECT_TRUE(golden::WritePng(path, pixels, kWidth, kHeight)) << path;
    // The band of the pond and its banks (the eye looks at the pond's middle),
    // at half size.
    const int top = kHeight * 2 / 5, bottom = kHeight * 7 / 10;
    const std::vector<uint8_t> band(pixels.begin() + (size_t)top * kWidth * 4,
                                    pixels.begin() + (size_t)bottom * kWidth * 4);
    int w = 0, h = 0;
    const std::vector<uint8_t> small = golden::Downscale(band, kWidth, bottom - top, 2, &w, &h);
    EXPECT_EQ(golden::Mismatch("app/water_area01_pond", small, w, h, 12), "");
}

}   // namespace
