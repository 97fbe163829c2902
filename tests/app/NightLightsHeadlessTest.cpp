// A night race on the first demo area drawn by the game's own passes on the
// OpenGL device: the motorcycles' lamps, glare and beams light up the dark,
// the glow spreads the bright parts, and the menu backdrop is a blurred,
// tinted copy of the frame. The pictures land in the build folder; the
// backdrop, scaled down, is compared with a small golden image.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/Game.h"
#include "core/Controls.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "platform/d3d/D3D9Backend.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/LightManager.h"
#include "scene/LightEffects.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"
#include "world/Sky.h"

namespace
{

const float kMidnight = 150000.0f;

typedef std::vector<uint8_t> Pixels;

int Luma(const Pixels& p, size_t i)
{
    return (p[i + 2] * 3 + p[i + 1] * 6 + p[i]) / 10;
}

// Mean difference between horizontal neighbours: how sharp a picture is.
double Sharpness(const Pixels& p, int w, int h)
{
    double sum = 0;
    for (int y = 0; y < h; y++)
        for (int x = 1; x < w; x++)
            sum += std::abs(Luma(p, ((size_t)y * w + x) * 4) - Luma(p, ((size_t)y * w + x - 1) * 4));
    return sum / ((double)w * h);
}

// Box average down by a whole factor.
Pixels Shrink(const Pixels& p, int w, int h, int factor)
{
    const int sw = w / factor, sh = h / factor;
    Pixels out((size_t)sw * sh * 4);
    for (int y = 0; y < sh; y++)
        for (int x = 0; x < sw; x++)
            for (int c = 0; c < 4; c++)
            {
                int sum = 0;
                for (int dy = 0; dy < factor; dy++)
                    for (int dx = 0; dx < factor; dx++)
                        sum += p[(((size_t)(y * factor + dy)) * w + x * factor + dx) * 4 + c];
                out[((size_t)y * sw + x) * 4 + c] = (uint8_t)(sum / (factor * factor));
            }
    return out;
}

class NightLightsHeadlessDemoDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Messages.reset(new testdata::MessageCapture());
        m_Folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
        m_SavedGlow = g_GlowOn;
        m_SavedBlur = g_BlurOn;
        g_GlowOn = 1;
        g_BlurOn = 1;
        // The race in front of the player, not behind a menu that a program
        // started earlier in this process left open.
        g_MainMenu.active = 0;
    }
    void TearDown() override
    {
        if (m_Raced)
            TearDownHeadlessRace();
        m_Device.Close();
        g_DebugLog = 0;
        g_KeyFlags[KEY_CTRL] = 0;
        g_GlowOn = m_SavedGlow;
        g_BlurOn = m_SavedBlur;
        m_Folder.reset();
        m_Messages.reset();
    }

    // The race of row 0 at midnight, a few seconds after the start.
    bool StartNightRace()
    {
        if (!m_Device.Open(true, kWidth, kHeight))
            return false;
        RaceRunOptions options;
        options.picturePrefix = "night";   // keeps the drawing's visibility steps
        std::string error;
        m_Raced = SetUpHeadlessRace(options, &error);
        EXPECT_TRUE(m_Raced) << error;
        if (!m_Raced)
            return false;
        g_Sky.dayTime = kMidnight;
        g_Sky.moonTime = kMidnight + 1000000.0f;
        for (int i = 0; i < 60; ++i)
            StepHeadlessFrame();
        LetHeadlessRaceGo();
        for (int i = 0; i < 300; ++i)
            StepHeadlessFrame();
        g_Sky.dayTime = kMidnight;
        g_Sky.moonTime = kMidnight + 1000000.0f;
        g_Sky.Update();
        g_LightManager.lastUpdate = 0;
        g_LightManager.Update();
        EXPECT_GT(g_Sky.moonIntensity, 0.5f);
        return true;
    }

    // Ahead of the racer with the most others behind it, looking back at
    // them; or, from behind, at its back.
    void FacePack(bool fromBehind = false)
    {
        const CVehicleObject* best = nullptr;
        int bestCount = -1;
        for (int i = 0; i < g_Vehicles.racerCount; ++i)
        {
            const CVehicleObject* v = g_Vehicles.racers[i];
            int count = 0;
            for (int j = 0; j < g_Vehicles.racerCount; ++j)
            {
                const CVehicleObject* o = g_Vehicles.racers[j];
                const float dx = o->Position[0] - v->Position[0], dz = o->Position[2] - v->Position[2];
                if (dx * v->world._31 + dz * v->world._33 < -2.0f && dx * dx + dz * dz < 900.0f)
                    ++count;
            }
            if (count > bestCount)
            {
                best = v;
                bestCount = count;
            }
        }
        ASSERT_NE(best, nullptr);
        D3DXVECTOR3 ahead(best->world._31, 0.0f, best->world._33);
        D3DXVec3Normalize(&ahead, &ahead);
        const D3DXVECTOR3 at(best->Position[0], best->Position[1] + 0.6f, best->Position[2]);
        CCamera& camera = g_Views.mainCamera;
        if (fromBehind)
        {
            camera.eye = at - ahead * 12.0f + D3DXVECTOR3(ahead.z, 0, -ahead.x) * 2.0f + D3DXVECTOR3(0, 1.0f, 0);
            camera.at = at + ahead * 3.0f;
        }
        else
        {
            camera.eye = at + ahead * 7.0f + D3DXVECTOR3(ahead.z, 0, -ahead.x) * 5.0f + D3DXVECTOR3(0, 2.0f, 0);
            camera.at = at - ahead * 3.0f;
        }
        camera.up = D3DXVECTOR3(0, 1, 0);
        camera.UpdateView();
        g_Views.activeCamera = &camera;
        for (int i = 0; i < g_Vehicles.racerCount; ++i)
            g_Vehicles.racers[i]->UpdateFade();
        g_Game.UpdateVisibility();
    }

    // The game's passes into the back buffer; `after` runs inside the scene.
    Pixels Draw(void (*after)() = nullptr)
    {
        IDirect3DDevice9* device = g_Render.device;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        g_Game.Render();
        if (after)
            after();
        device->EndScene();
        Pixels pixels = testdevice::ReadRenderTargetOf(device);
        EXPECT_EQ(pixels.size(), (size_t)kWidth * kHeight * 4);
        return pixels;
    }

    void Save(const std::string& name, const Pixels& p)
    {
        const std::string path = testsupport::BuildDir() + "/" + name;
        EXPECT_TRUE(golden::WritePng(path, p, kWidth, kHeight)) << path;
    }

    static const int kWidth = 800, kHeight = 600;
    RaceDevice m_Device;
    bool m_Raced = false;
    int m_SavedGlow = 0, m_SavedBlur = 0;
    std::unique_ptr<testdata::MessageCapture> m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

TEST_F(NightLightsHeadlessDemoDataTest, LampsLightTheNightAndTheGlowSpreadsThem)
{
    if (!StartNightRace())
        SKIP_OR_FAIL_IN_CI() << m_Device.Error();
    FacePack();
    ASSERT_GT(g_Vehicles.racerCount, 1);

    // The scene itself is drawn for the glow setting; Ctrl held in debug mode
    // leaves the glow out of that same frame.
    g_DebugLog = 1;
    g_KeyFlags[KEY_CTRL] = 1;
    // Without their lamps the motorcycles stand dark in the night.
    std::vector<CDirectLightsEffect*> lamps;
    for (int i = 0; i < g_Vehicles.racerCount; ++i)
    {
        lamps.push_back(g_Vehicles.racers[i]->directLights);
        ASSERT_NE(lamps.back(), nullptr) << "every demo motorcycle has lamps";
        g_Vehicles.racers[i]->directLights = nullptr;
    }
    const Pixels dark = Draw();
    for (int i = 0; i < g_Vehicles.racerCount; ++i)
        g_Vehicles.racers[i]->directLights = lamps[i];
    const Pixels lit = Draw();
    g_KeyFlags[KEY_CTRL] = 0;
    const Pixels glowing = Draw();
    g_DebugLog = 0;
    Save("night_race_lamps.png", lit);
    Save("night_race_glow.png", glowing);

    int litUp = 0, glowBrighter = 0, glowDarker = 0;
    for (size_t i = 0; i < lit.size(); i += 4)
    {
        if (Luma(lit, i) > Luma(dark, i) + 40)
            ++litUp;
        if (Luma(glowing, i) > Luma(lit, i) + 8)
            ++glowBrighter;
        if (Luma(glowing, i) + 8 < Luma(lit, i))
            ++glowDarker;
    }
    // Lamps, glares and beams light a clear part of the picture; the glow
    // only ever adds light, around them and other bright parts.
    EXPECT_GT(litUp, kWidth * kHeight / 400);
    EXPECT_GT(glowBrighter, kWidth * kHeight / 400);
    EXPECT_LT(glowDarker, kWidth * kHeight / 10000);

    // From behind: the tail and brake lights, and the beams on the ground.
    FacePack(true);
    g_KeyFlags[KEY_CTRL] = 0;
    g_DebugLog = 0;
    Save("night_race_from_behind.png", Draw());
}

TEST_F(NightLightsHeadlessDemoDataTest, MenuBackdropIsABlurredTintedCopyOfTheFrame)
{
    if (!StartNightRace())
        SKIP_OR_FAIL_IN_CI() << m_Device.Error();
    // By day the frame has more to blur.
    g_Sky.dayTime = 1150000.0f;
    g_Sky.moonTime = g_Sky.dayTime + 1000000.0f;
    g_Sky.Update();
    g_LightManager.lastUpdate = 0;
    g_LightManager.Update();
    FacePack();
    g_GlowOn = 0;
    const Pixels frame = Draw();
    const Pixels backdrop = Draw([] { g_Render.RenderMenuScreen(); });
    Save("menu_backdrop_frame.png", frame);
    Save("menu_backdrop.png", backdrop);

    EXPECT_LT(Sharpness(backdrop, kWidth, kHeight), Sharpness(frame, kWidth, kHeight) * 0.6);
    // Warm: red leads blue everywhere the picture is not black.
    double red = 0, blue = 0;
    for (size_t i = 0; i < backdrop.size(); i += 4)
    {
        red += backdrop[i + 2];
        blue += backdrop[i];
    }
    EXPECT_GT(red, blue * 1.5);
    // The small golden picture holds the ground and the racers below the
    // horizon and the trees: the clouds and the leaves move with the wall
    // clock.
    const Pixels small = Shrink(backdrop, kWidth, kHeight, 5);
    const int w = kWidth / 5, top = kHeight / 5 / 2;
    const Pixels ground(small.begin() + (size_t)top * w * 4, small.end());
    EXPECT_EQ(golden::Mismatch("app/menu_backdrop", ground, w, kHeight / 5 - top, 24), "");
}

TEST_F(NightLightsHeadlessDemoDataTest, MotionBlurSmearsTheFrameWhileItsAmountLasts)
{
    if (!StartNightRace())
        SKIP_OR_FAIL_IN_CI() << m_Device.Error();
    g_Sky.dayTime = 1150000.0f;
    g_Sky.moonTime = g_Sky.dayTime + 1000000.0f;
    g_Sky.Update();
    g_LightManager.lastUpdate = 0;
    g_LightManager.Update();
    FacePack();
    g_GlowOn = 0;
    g_Render.blurAmount = 0.0f;
    const Pixels sharp = Draw();
    g_Render.blurAmount = 1.0f;
    const Pixels blurred = Draw();
    Save("race_motion_blur.png", blurred);
    EXPECT_LT(Sharpness(blurred, kWidth, kHeight), Sharpness(sharp, kWidth, kHeight) * 0.9);
    // The middle of the picture is where the zoom starts: it stays put.
    const size_t middle = ((size_t)kHeight / 2 * kWidth + kWidth / 2) * 4;
    EXPECT_NEAR(Luma(blurred, middle), Luma(sharp, middle), 12);
}

}   // namespace
