// The pond of the first demo area seen from its bank in a race, drawn by the
// game's own passes on the OpenGL device: the water parts are found visible,
// the reflection pass draws the world upside down into its target and the
// pond shows on screen. The picture lands in the build folder.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/Game.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/D3DRender.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/RaceRunner.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"
#include "world/Landscape.h"
#include "world/NatureManager.h"

namespace
{

class WaterHeadlessDemoDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Messages.reset(new testdata::MessageCapture());
        m_Folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
    }
    void TearDown() override
    {
        if (m_Raced)
            TearDownHeadlessRace();
        m_Device.Close();
        m_Folder.reset();
        m_Messages.reset();
    }

    static const int kWidth = 400, kHeight = 300;
    RaceDevice m_Device;
    bool m_Raced = false;
    std::unique_ptr<testdata::MessageCapture> m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

TEST_F(WaterHeadlessDemoDataTest, PondSeenFromItsBankIsDrawnWithItsReflection)
{
    if (!m_Device.Open(true, kWidth, kHeight))
        SKIP_OR_FAIL_IN_CI() << m_Device.Error();
    RaceRunOptions options;
    options.picturePrefix = "water";   // keeps the drawing's visibility steps
    std::string error;
    m_Raced = SetUpHeadlessRace(options, &error);
    ASSERT_TRUE(m_Raced) << error;
    // A second of the race: the sky, the lights and the world are updated.
    for (int i = 0; i < 60; ++i)
        StepHeadlessFrame();

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

    CCamera& camera = g_Game.mainCamera;
    camera.eye = eye;
    camera.at = pond;
    camera.up = D3DXVECTOR3(0, 1, 0);
    camera.UpdateView();
    g_Game.activeCamera = &camera;
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
}

}   // namespace
