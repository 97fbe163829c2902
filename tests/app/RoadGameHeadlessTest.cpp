// The running game on each demo area, drawn headless on the OpenGL device:
// the start gate over the road with its marks, the pond, a tyre wall at a
// corner, and a building hiding what stands behind it. The pictures are
// saved in the build folder; a small one of the first area's start is
// compared with its golden image.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/Game.h"
#include "common/Keywords.h"
#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "platform/d3d/D3D9Backend.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "racers/HumanManager.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/LightManager.h"
#include "scene/Occlusion.h"
#include "scene/StaticObject.h"
#include "scene/StaticObjectFixture.h"
#include "scene/StaticObjectManager.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/Sky.h"

namespace
{

D3DXVECTOR3 Vec(const float p[3])
{
    return D3DXVECTOR3(p[0], p[1], p[2]);
}

D3DXVECTOR3 Flat(D3DXVECTOR3 v)
{
    v.y = 0.0f;
    const float l = D3DXVec3Length(&v);
    return l > 1e-4f ? v / l : D3DXVECTOR3(0, 0, 1);
}

float Ground(const D3DXVECTOR3& p)
{
    const float q[3] = {p.x, p.y, p.z};
    return g_Landscape.GetHeight(q);
}

void Look(const D3DXVECTOR3& eye, const D3DXVECTOR3& at)
{
    CCamera& camera = g_Views.mainCamera;
    camera.eye = eye;
    camera.at = at;
    camera.up = D3DXVECTOR3(0, 1, 0);
    camera.UpdateView();
    g_Views.activeCamera = &camera;
}

// The visibility steps of the game's frame without the buildings' occlusion
// (the race runner leaves the landscape's out of the game's own steps).
void PlainVisibility()
{
    g_Landscape.UpdateVisibility();
    g_StaticObjects.UpdateVisibility();
    g_Vehicles.UpdateVisibility();
    g_HumanManager.UpdateVisibility();
}

int VisibleCount()
{
    int n = 0;
    for (unsigned i = 0; i < g_StaticObjects.objectCount; ++i)
        n += g_StaticObjects.objects[i]->visible != 0;
    for (int i = 0; i < g_Landscape.partCount; ++i)
        n += g_Landscape.parts[i]->visible != 0;
    return n;
}

std::vector<uint8_t> Frame(bool occlusion)
{
    IDirect3DDevice9* device = g_Render.device;
    // Two rounds: the landscape's update counts what the visibility set.
    for (int k = 0; k < 2; ++k)
    {
        g_Landscape.Update();
        // Camera distances (and the fences' fades) from this eye.
        g_StaticObjects.Update();
        PlainVisibility();
        if (occlusion)
            g_StaticObjects.CheckOcclusion();
    }
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF8FB4E0, 1.0f, 0);
    device->BeginScene();
    g_Game.Render();
    device->EndScene();
    UINT w = 0, h = 0;
    std::vector<uint8_t> pixels = testdevice::ReadRenderTargetOf(device, &w, &h);
    return pixels;
}

class RoadGameHeadlessDemoDataTest : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        m_Messages.reset(new testdata::MessageCapture());
        m_Folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
        // The game's default shadows and glow, whatever an earlier test chose.
        m_Shadows = g_ShadowQuality;
        m_Glow = g_GlowOn;
        g_ShadowQuality = 3;
        g_GlowOn = 1;
        // The race in front of the player, not behind a menu that a program
        // started earlier in this process left open.
        g_MainMenu.active = 0;
    }
    void TearDown() override
    {
        TearDownHeadlessRace();
        m_Device.Close();
        m_Folder.reset();
        m_Messages.reset();
        g_ShadowQuality = m_Shadows;
        g_GlowOn = m_Glow;
    }

    bool Start(int area, int width, int height)
    {
        if (!m_Device.Open(true, width, height))
            return false;
        RaceRunOptions options;
        options.area = area;
        options.racers = 4;
        std::string error;
        EXPECT_TRUE(SetUpHeadlessRace(options, &error)) << error;
        for (int k = 0; k < 30; ++k)
            StepHeadlessFrame();
        m_Width = width;
        m_Height = height;
        return true;
    }

    void Save(const std::string& name, const std::vector<uint8_t>& pixels)
    {
        ASSERT_EQ(pixels.size(), (size_t)m_Width * m_Height * 4);
        EXPECT_TRUE(golden::WritePng(testsupport::BuildDir() + "/" + name + ".png", pixels, m_Width, m_Height));
    }

    // Behind the start line, looking along the route through the gate.
    std::vector<uint8_t> StartView()
    {
        const D3DXVECTOR3 p0 = Vec(g_Landscape.routePos[0]), p1 = Vec(g_Landscape.routePos[3]);
        const D3DXVECTOR3 along = Flat(p1 - p0);
        const D3DXVECTOR3 eye = p0 - along * 16.0f + D3DXVECTOR3(0, 3.0f, 0);
        Look(D3DXVECTOR3(eye.x, Ground(eye) + 3.0f, eye.z), p0 + along * 12.0f + D3DXVECTOR3(0, 1.0f, 0));
        return Frame(true);
    }

    RaceDevice m_Device;
    int m_Shadows = 0;
    int m_Glow = 1;
    int m_Width = 0, m_Height = 0;
    std::unique_ptr<testdata::MessageCapture> m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

TEST_P(RoadGameHeadlessDemoDataTest, RoadFencesGateWaterAndOcclusion)
{
    const int area = GetParam();
    if (!Start(area, 640, 480))
        SKIP_OR_FAIL_IN_CI() << m_Device.Error();
    const std::string prefix = "road_area0" + std::to_string(area + 1);
    // The shipped cache fits the maps: nothing was built at load.
    EXPECT_EQ(g_Landscape.roadCacheBuilt, 0);
    int roadParts = 0, markParts = 0, waterParts = 0;
    for (int i = 0; i < g_Landscape.partCount; ++i)
    {
        roadParts += g_Landscape.parts[i]->roadVB != nullptr;
        markParts += g_Landscape.parts[i]->markVB != nullptr;
        waterParts += g_Landscape.parts[i]->waterIB != nullptr;
    }
    EXPECT_GT(roadParts, 20);
    EXPECT_GT(markParts, 20);
    EXPECT_GT(waterParts, 0);

    // The gate and the barriers are placed objects.
    const CStaticObject* gate = nullptr;
    const CStaticObject* tyres = nullptr;
    int barriers = 0;
    for (unsigned i = 0; i < g_StaticObjects.objectCount; ++i)
    {
        const CStaticObject* o = g_StaticObjects.objects[i];
        if (std::strstr(o->path, "StartPlace"))
            gate = o;
        if (std::strstr(o->path, "Fences/"))
            ++barriers;
        if (!tyres && std::strstr(o->path, "Fences/Wheels/Main01"))
            tyres = o;
    }
    ASSERT_NE(gate, nullptr);
    EXPECT_GT(barriers, 20);

    Save(prefix + "_start", StartView());

    // The pond: its lowest cell, seen from its shore on the road's side.
    int low = 0;
    for (int k = 1; k < g_Landscape.gridSize * g_Landscape.gridSize; ++k)
        if (g_Landscape.heights[k / g_Landscape.gridSize][k % g_Landscape.gridSize] <
            g_Landscape.heights[low / g_Landscape.gridSize][low % g_Landscape.gridSize])
            low = k;
    const float cs = g_Landscape.cellSize, half = g_Landscape.size / 2;
    const D3DXVECTOR3 pond((low % g_Landscape.gridSize) * cs - half, g_Landscape.waterAltitude,
                           half - (low / g_Landscape.gridSize) * cs);
    D3DXVECTOR3 nearest = Vec(g_Landscape.routePos[0]);
    for (int i = 1; i < g_Landscape.routeCount; ++i)
    {
        const D3DXVECTOR3 p = Vec(g_Landscape.routePos[i]), a = p - pond, b = nearest - pond;
        if (D3DXVec3Length(&a) < D3DXVec3Length(&b))
            nearest = p;
    }
    const D3DXVECTOR3 toPond = Flat(pond - nearest);
    D3DXVECTOR3 shore = pond - toPond * 28.0f;
    shore.y = std::max(Ground(shore), g_Landscape.waterAltitude) + 7.0f;
    Look(shore, pond + toPond * 6.0f);
    Save(prefix + "_water", Frame(true));

    // A tyre wall at a corner, from the road.
    if (tyres)
    {
        const D3DXVECTOR3 t = Vec(tyres->worldCentre);
        D3DXVECTOR3 from = Vec(g_Landscape.routePos[0]);
        for (int i = 1; i < g_Landscape.routeCount; ++i)
        {
            const D3DXVECTOR3 p = Vec(g_Landscape.routePos[i]), a = p - t, b = from - t;
            if (D3DXVec3Length(&a) < D3DXVec3Length(&b))
                from = p;
        }
        const D3DXVECTOR3 back = Flat(from - t);

        Look(from + back * 6.0f + D3DXVECTOR3(0, 2.5f, 0), t);
        Save(prefix + "_fences", Frame(true));
    }

    // A building hides what stands behind it: from in front of each
    // building, looking over it at the objects behind, until one is hidden.
    int hidden = 0;
    std::vector<uint8_t> withOcclusion, without;
    for (unsigned i = 0; i < g_StaticObjects.objectCount && hidden == 0; ++i)
    {
        const CStaticObject* b = g_StaticObjects.objects[i];
        if (b->objectType != GTYPE_BUILDING)
            continue;
        for (unsigned j = 0; j < g_StaticObjects.objectCount && hidden == 0; ++j)
        {
            const CStaticObject* o = g_StaticObjects.objects[j];
            const D3DXVECTOR3 bc = Vec(b->worldCentre), oc = Vec(o->worldCentre), d = oc - bc;
            if (o == b || D3DXVec3Length(&d) < 15.0f || D3DXVec3Length(&d) > 150.0f)
                continue;
            const D3DXVECTOR3 eye = bc - Flat(d) * 16.0f;
            Look(D3DXVECTOR3(eye.x, Ground(eye) + 1.8f, eye.z), bc);
            // A first frame at this eye brings the shadow map along.
            Frame(false);
            without = Frame(false);
            const int all = VisibleCount();
            withOcclusion = Frame(true);
            hidden = all - VisibleCount();
        }
    }
    EXPECT_GT(hidden, 0);
    if (hidden > 0)
    {
        Save(prefix + "_occlusion", withOcclusion);
        // What was hidden could not be seen: the two frames hardly differ.
        ASSERT_EQ(without.size(), withOcclusion.size());
        int differ = 0;
        for (size_t k = 0; k + 3 < without.size(); k += 4)
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(without[k + c]) - int(withOcclusion[k + c])) > 24)
                {
                    ++differ;
                    break;
                }
        EXPECT_LT(differ, m_Width * m_Height / 100) << hidden << " hidden";
    }
    EXPECT_TRUE(testdata::Messages().empty()) << testdata::Messages()[0];
}

INSTANTIATE_TEST_SUITE_P(DemoAreas, RoadGameHeadlessDemoDataTest, ::testing::Values(0, 1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Area0" + std::to_string(info.param + 1);
                         });

TEST_F(RoadGameHeadlessDemoDataTest, StartGateMatchesItsGoldenImage)
{
    if (!Start(0, 160, 120))
        SKIP_OR_FAIL_IN_CI() << m_Device.Error();
    // An afternoon sun and the first clouds, whatever the load drew.
    g_Sky.dayTime = 1250000.0f;
    g_Sky.moonTime = g_Sky.dayTime + 1000000.0f;
    g_Sky.Update();
    g_LightManager.lastUpdate = 0;
    g_LightManager.Update();
    g_Sky.flareSize = 0.0f;
    if (g_Sky.cloudsTexture != -1)
        g_Render.ReleaseTexture(g_Sky.cloudsTexture);
    g_Sky.cloudsTexture = g_Render.LoadTexture("Data/Sky/Clouds01.bmp", 1, 1, 0);
    StartView();
    const std::vector<uint8_t> pixels = StartView();
    Save("road_area01_start_small", pixels);
    // The lower third only: the clouds drift with the clock and the trees on
    // the horizon sway.
    const int top = m_Height * 2 / 3;
    const std::vector<uint8_t> ground(pixels.begin() + (size_t)top * m_Width * 4, pixels.end());
    EXPECT_EQ(golden::Mismatch("world/road_area01_start", ground, m_Width, m_Height - top, 12), "");
}

}   // namespace
