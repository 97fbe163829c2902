// The player's chase camera over the demo areas' hills: from the race start's
// camera move on, every frame keeps the eye between 2 and 12 above the
// ground and near the player. The statistics panel drawn over the race.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Game.h"
#include "app/GameEvent.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "world/Landscape.h"

namespace
{

class ChaseCameraDemoDataTest : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        m_Messages.reset(new testdata::MessageCapture());
        m_Folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
        ASSERT_TRUE(m_Device.Open(false));
    }
    void TearDown() override
    {
        if (m_Race)
            TearDownHeadlessRace();
        m_Device.Close();
        m_Folder.reset();
        m_Messages.reset();
    }

    RaceDevice m_Device;
    bool m_Race = false;
    std::unique_ptr<testdata::MessageCapture> m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

TEST_P(ChaseCameraDemoDataTest, TheChaseStaysInItsBandAboveTheGroundAndNearThePlayer)
{
    RaceRunOptions options;
    options.area = GetParam();
    options.racers = 4;
    options.gridSeconds = 8.0f;
    std::string error;
    ASSERT_TRUE(SetUpHeadlessRace(options, &error)) << error;
    m_Race = true;
    const CCamera& camera = g_Views.mainCamera;
    int checked = 0;
    for (int frame = 0; frame < 60 * 28; ++frame)
    {
        if (frame == 60 * 8)
            LetHeadlessRaceGo();
        StepHeadlessFrame();
        const float p[3] = {camera.eye.x, camera.eye.y, camera.eye.z};
        const float ground = g_Landscape.GetHeight(p);
        ASSERT_GE(camera.eye.y, ground + 2.0f - 1e-3f) << frame;
        ASSERT_LE(camera.eye.y, ground + 12.0f + 1e-3f) << frame;
        if (frame > 60 * 9 && g_PlayerVehicle && camera.viewMode == VIEWMODE_CHASE_NEAR)
        {
            const D3DXVECTOR3 player(g_PlayerVehicle->worldCentre[0], g_PlayerVehicle->worldCentre[1],
                                     g_PlayerVehicle->worldCentre[2]);
            const D3DXVECTOR3 toPlayer = player - camera.eye;
            ASSERT_LT(D3DXVec3Length(&toPlayer), 15.0f) << frame;
            ++checked;
        }
    }
    // The start's camera move ended in the chase view of the player.
    EXPECT_EQ(camera.target, static_cast<const CStaticObject*>(g_PlayerVehicle));
    EXPECT_GT(checked, 60 * 15);
}

INSTANTIATE_TEST_SUITE_P(DemoAreas, ChaseCameraDemoDataTest, ::testing::Values(0, 1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Area" + std::to_string(info.param + 1);
                         });

}   // namespace

namespace
{

// The statistics panel over the chase view of a race just started: drawn
// with "Debug out", its yellow lines on the dark panel in the upper left.
TEST_F(ChaseCameraDemoDataTest, TheStatisticsPanelShowsOverTheRaceWithDebugOut)
{
    m_Device.Close();
    if (!m_Device.Open(true))
        SKIP_OR_FAIL_IN_CI() << m_Device.Error();
    RaceRunOptions options;
    options.racers = 4;
    options.gridSeconds = 1.0f;
    options.picturePrefix = testsupport::BuildDir() + "/statistics";   // drawing steps kept
    std::string error;
    ASSERT_TRUE(SetUpHeadlessRace(options, &error)) << error;
    m_Race = true;
    for (int frame = 0; frame < 60; ++frame)
        StepHeadlessFrame();
    LetHeadlessRaceGo();
    for (int frame = 0; frame < 60; ++frame)
        StepHeadlessFrame();

    const int savedDebug = g_DebugMode;
    g_DebugMode = 1;
    IDirect3DDevice9* device = g_Render.device;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF8FB4E0, 1.0f, 0);
    ASSERT_TRUE(SUCCEEDED(device->BeginScene()));
    g_Game.Render();
    g_Views.activeCamera->DrawDebugInfo();
    device->EndScene();
    g_DebugMode = savedDebug;

    std::vector<uint8_t> pixels;
    IDirect3DSurface9* target = nullptr;
    UINT w = 0, h = 0;
    ASSERT_TRUE(SUCCEEDED(device->GetRenderTarget(0, &target)));
    ASSERT_TRUE(D3DReadSurfacePixels(target, pixels, w, h));
    target->Release();
    EXPECT_TRUE(golden::WritePng(testsupport::BuildDir() + "/statistics_overlay.png", pixels, (int)w, (int)h));
    // Yellow text from the upper left corner (the lines run wider than the
    // dark panel behind them), none elsewhere.
    int text = 0, elsewhere = 0;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
        {
            const uint8_t* p = &pixels[((size_t)y * w + x) * 4];
            if (!(p[2] > 200 && p[1] > 200 && p[0] < 80))
                continue;
            if (x < w * 300 / 800 && y < h * 230 / 600)
                ++text;
            else
                ++elsewhere;
        }
    EXPECT_GT(text, 300);
    // A yellow motorcycle or lamp may show anywhere in the race, so the text
    // is told apart by how densely its corner is yellow: at least ten times
    // as densely as the rest of the screen.
    const double textArea = (double)(w * 300 / 800) * (double)(h * 230 / 600);
    const double elsewhereArea = (double)w * (double)h - textArea;
    EXPECT_LT((double)elsewhere / elsewhereArea, (double)text / textArea / 10.0)
        << text << " yellow pixels in the corner, " << elsewhere << " elsewhere";
}

}   // namespace
