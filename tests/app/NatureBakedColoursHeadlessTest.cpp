// Grass, stones and trees keep the colours they were given when the area was
// built, whatever the sky does afterwards, while the terrain and the placed
// objects are lit by the sky of every frame: a race on the first demo area
// drawn by the game's own passes at noon and at midnight, from a stretch of
// the race path away from the racers and their lamps. The grass's and the
// trees' pixels are those that change when their draw steps are left out.
// The pictures land in the build folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/Game.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "render/D3DRender.h"
#include "render/LightManager.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "world/Landscape.h"
#include "world/Sky.h"

namespace
{

const float kNoon = 1000000.0f;
const float kMidnight = 0.0f;
const int kWidth = 640, kHeight = 480;

typedef std::vector<uint8_t> Pixels;

int Luma(const Pixels& p, size_t i)
{
    return (p[i + 2] * 3 + p[i + 1] * 6 + p[i]) / 10;
}

void SetTimeOfDay(float dayTime)
{
    g_Sky.dayTime = dayTime;
    g_Sky.moonTime = dayTime + 1000000.0f;
    g_Sky.Update();
    g_LightManager.lastUpdate = 0;
    g_LightManager.Update();
}

// The steps of a list (draw steps or shadow casters) whose names do not
// start with `prefix`.
template <class Step>
std::vector<Step> Without(const std::vector<Step>& steps, const std::string& prefix)
{
    std::vector<Step> kept;
    for (const Step& s : steps)
        if (std::string(s.name).rfind(prefix, 0) != 0)
            kept.push_back(s);
    return kept;
}

// Mean brightness of the pixels a mask picks, by day and at night.
struct Brightness
{
    double day = 0, night = 0;
    int pixels = 0;
    void Add(const Pixels& d, const Pixels& n, size_t i)
    {
        day += Luma(d, i);
        night += Luma(n, i);
        ++pixels;
    }
    double Ratio() const { return day > 0 ? night / day : 1.0; }
};

// A device with shaders, and one without, on which nature draws through the
// fixed pipeline.
struct DeviceCase
{
    const char* name;
    DWORD vertexShader;
    DWORD pixelShader;
};

void PrintTo(const DeviceCase& c, std::ostream* os)
{
    *os << c.name;
}

class NatureBakedColoursHeadlessDemoDataTest : public ::testing::TestWithParam<DeviceCase>
{
protected:
    void SetUp() override
    {
        D3DOverrideShaderVersions(GetParam().vertexShader, GetParam().pixelShader);
        m_Messages.reset(new testdata::MessageCapture());
        m_Folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
        m_SavedGlow = g_GlowOn;
        m_SavedBlur = g_BlurOn;
        // A device without the post effects' shaders lowers the glow and
        // blur limits, and the settings with them, for the program's life.
        m_SavedLimits = g_SettingLimits;
        g_GlowOn = 0;   // the glow would spread the lit parts over the nature
    }
    void TearDown() override
    {
        if (m_Raced)
            TearDownHeadlessRace();
        m_Device.Close();
        D3DOverrideShaderVersions(0, 0);
        g_SettingLimits = m_SavedLimits;
        g_GlowOn = m_SavedGlow;
        g_BlurOn = m_SavedBlur;
        m_Folder.reset();
        m_Messages.reset();
    }

    // The race of row 0 two seconds under way, the camera far from the racers.
    bool StartRace()
    {
        if (!m_Device.Open(true, kWidth, kHeight))
            return false;
        RaceRunOptions options;
        options.picturePrefix = "nature_light";   // keeps the drawing's visibility steps
        std::string error;
        m_Raced = SetUpHeadlessRace(options, &error);
        EXPECT_TRUE(m_Raced) << error;
        if (!m_Raced)
            return false;
        for (int i = 0; i < 60; ++i)
            StepHeadlessFrame();
        LetHeadlessRaceGo();
        for (int i = 0; i < 120; ++i)
            StepHeadlessFrame();
        EXPECT_GT(g_RacePathCount, 12);
        if (g_RacePathCount <= 12)
            return false;
        // Seven tenths of the way round, looking half right across the
        // roadside: grass in front, trees behind it.
        const int from = g_RacePathCount * 7 / 10;
        const float* eye = g_RacePath[from];
        const float* next = g_RacePath[from + 6];
        D3DXVECTOR3 ahead(next[0] - eye[0], 0.0f, next[2] - eye[2]);
        D3DXVec3Normalize(&ahead, &ahead);
        const D3DXVECTOR3 right(ahead.z, 0.0f, -ahead.x);
        CCamera& camera = g_Views.mainCamera;
        camera.eye = D3DXVECTOR3(eye[0], eye[1] + 2.5f, eye[2]);
        camera.at = camera.eye + (ahead + right) * 10.0f - D3DXVECTOR3(0.0f, 1.0f, 0.0f);
        camera.up = D3DXVECTOR3(0, 1, 0);
        camera.UpdateView();
        g_Views.activeCamera = &camera;
        g_Render.blurAmount = 0.0f;
        return true;
    }

    Pixels Draw()
    {
        // The land parts take the eye's distance and switch their nature
        // fields on by it, as the frame's update would.
        for (int i = 0; i < 2; ++i)
        {
            g_Landscape.Update();
            g_Game.UpdateVisibility();
        }
        IDirect3DDevice9* device = g_Render.device;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        g_Game.Render();
        device->EndScene();
        Pixels pixels;
        IDirect3DSurface9* target = nullptr;
        UINT w = 0, h = 0;
        if (SUCCEEDED(device->GetRenderTarget(0, &target)) && target)
        {
            D3DReadSurfacePixels(target, pixels, w, h);
            target->Release();
        }
        EXPECT_EQ(pixels.size(), (size_t)kWidth * kHeight * 4);
        return pixels;
    }

    // The frame as drawn without the steps whose names start with `prefix`:
    // in the main and reflection passes, and with `shadows` also among the
    // shadow casters.
    Pixels DrawWithout(const std::string& prefix, bool shadows)
    {
        const std::vector<GameStep> main = g_Game.mainPassSteps, reflection = g_Game.reflectionSteps;
        const std::vector<ShadowCaster> casters = g_Game.shadowCasters;
        g_Game.mainPassSteps = Without(main, prefix);
        g_Game.reflectionSteps = Without(reflection, prefix);
        if (shadows)
            g_Game.shadowCasters = Without(casters, prefix);
        const Pixels without = Draw();
        g_Game.mainPassSteps = main;
        g_Game.reflectionSteps = reflection;
        g_Game.shadowCasters = casters;
        return without;
    }

    void Save(const std::string& name, const Pixels& p)
    {
        const std::string path = testsupport::BuildDir() + "/" + name;
        EXPECT_TRUE(golden::WritePng(path, p, kWidth, kHeight)) << path;
    }

    RaceDevice m_Device;
    bool m_Raced = false;
    int m_SavedGlow = 0;
    int m_SavedBlur = 0;
    SettingLimits m_SavedLimits = {};
    std::unique_ptr<testdata::MessageCapture> m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

TEST_P(NatureBakedColoursHeadlessDemoDataTest, GrassAndTreesKeepTheirBakedColoursWhenTheGroundDarkens)
{
    if (!StartRace())
        SKIP_OR_FAIL_IN_CI() << m_Device.Error();

    const char* const kGrass = "CNatureManager::DrawGrass";
    const char* const kTrees = "CNatureManager::DrawTree";
    SetTimeOfDay(kNoon);
    // Their shadows stay: the blades and leaves themselves are measured.
    const Pixels day = Draw(), dayNoGrass = DrawWithout(kGrass, false), dayNoTrees = DrawWithout(kTrees, false);
    const Pixels dayBare = DrawWithout("CNatureManager::", true);
    SetTimeOfDay(kMidnight);
    const Pixels night = Draw(), nightBare = DrawWithout("CNatureManager::", true);
    const std::string suffix = GetParam().name;
    Save("nature_day_race_" + suffix + ".png", day);
    Save("nature_night_race_" + suffix + ".png", night);

    // Grass and trees are where leaving out their steps changes the day
    // picture; the ground and the objects are what shows without nature.
    const int kChange = 6;
    Brightness grass, trees, rest;
    for (size_t i = 0; i < day.size(); i += 4)
    {
        const int byGrass = std::abs(Luma(day, i) - Luma(dayNoGrass, i));
        const int byTrees = std::abs(Luma(day, i) - Luma(dayNoTrees, i));
        if (byGrass > kChange && byTrees <= kChange)
            grass.Add(day, night, i);
        else if (byTrees > kChange && byGrass <= kChange)
            trees.Add(day, night, i);
        else if (byGrass <= kChange && byTrees <= kChange && Luma(dayBare, i) > 30)
            rest.Add(dayBare, nightBare, i);
    }
    std::printf("night/day: grass %.3f over %d pixels, trees %.3f over %d, the rest %.3f over %d\n", grass.Ratio(),
                grass.pixels, trees.Ratio(), trees.pixels, rest.Ratio(), rest.pixels);
    ASSERT_GT(grass.pixels, kWidth * kHeight / 150) << "the view shows little grass";
    ASSERT_GT(trees.pixels, kWidth * kHeight / 20) << "the view shows few trees";
    ASSERT_GT(rest.pixels, kWidth * kHeight / 20);
    // The ground darkens to an eighth at midnight. Grass and trees keep
    // their noon colours: only the edges they blend over the darker ground
    // (and the distance fog of the stems) lose some of their light, so they
    // keep far more of it than the ground (darkened with the hour, they
    // would fall as far as the ground does).
    EXPECT_LT(rest.Ratio(), 0.2);
    EXPECT_GT(grass.Ratio(), 0.4);
    EXPECT_GT(trees.Ratio(), 0.4);
}

INSTANTIATE_TEST_SUITE_P(Devices, NatureBakedColoursHeadlessDemoDataTest,
                         ::testing::Values(DeviceCase{"shaders", 0, 0},
                                           DeviceCase{"fixed", D3DVS_VERSION(1, 0), D3DPS_VERSION(1, 0)}),
                         [](const ::testing::TestParamInfo<DeviceCase>& info) { return std::string(info.param.name); });

}   // namespace
