// The demo areas with their buildings and props, drawn on the real OpenGL
// device, headless: a view of a building and of a corner from the road of
// each area saved as PNG pictures in the build folder, and a small picture of
// the first area's barn compared with its golden image.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/Game.h"
#include "common/Keywords.h"
#include "core/Controls.h"
#include "core/RaceTable.h"
#include "platform/d3d/D3D9Backend.h"
#include "scene/LightEffects.h"
#include "scene/MeshEffects.h"
#include "scene/StaticObject.h"
#include "scene/StaticObjectManager.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/AreaPictures.h"
#include "tests/support/FixedSun.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "world/Landscape.h"

using namespace render_test;

namespace
{

const DWORD kSkyColour = 0xFF7FA8D8;

class PlacedObjectsHeadlessDemoDataTest : public areapictures::AreaPictureTest
{
protected:
    PlacedObjectsHeadlessDemoDataTest()
    {
        windowWidth = 320;
        windowHeight = 240;
    }
    void SetUp() override
    {
        AreaPictureTest::SetUp();
        g_ViewDistance = 500;
    }
    void StartDevice(UINT width, UINT height)
    {
        AreaPictureTest::StartDevice(width, height);
        w = width;
        h = height;
    }

    void LoadArea(int row)
    {
        g_CurrentRace = row;
        ASSERT_EQ(g_Landscape.LoadArea(g_RaceTable.area[row], g_RaceTable.season[row]), 1);
        ASSERT_GT(g_StaticObjects.objectCount, 0u);
    }

    // The first placed object of the type mask, or null.
    CStaticObject* First(int typeMask, int skip = 0)
    {
        for (unsigned int i = 0; i < g_StaticObjects.objectCount; ++i)
            if ((g_StaticObjects.objects[i]->objectType & typeMask) && skip-- == 0)
                return g_StaticObjects.objects[i];
        return nullptr;
    }

    // The first placed object whose description path holds `name`.
    CStaticObject* Named(const char* name)
    {
        for (unsigned int i = 0; i < g_StaticObjects.objectCount; ++i)
            if (std::strstr(g_StaticObjects.objects[i]->path, name))
                return g_StaticObjects.objects[i];
        return nullptr;
    }

    // A view from the road side of the object: `back` units out along the
    // way it faces, `aside` to its right, `high` above the ground.
    // With `fromSide` the view comes from the object's +x side instead (the
    // cottage turns its long side to the road).
    std::vector<uint8_t> ViewOf(const CStaticObject* o, float back, float aside, float high, float lookUp,
                                bool fromSide = false)
    {
        const D3DXVECTOR3 pos(o->placement._41, o->placement._42, o->placement._43);
        D3DXVECTOR3 forward(o->placement._31, o->placement._32, o->placement._33);
        D3DXVECTOR3 side(o->placement._11, o->placement._12, o->placement._13);
        if (fromSide)
        {
            const D3DXVECTOR3 f = forward;
            forward = side;
            side = -f;
        }
        D3DXVECTOR3 eye = pos + forward * back + side * aside;
        const float ground[3] = {eye.x, 0, eye.z};
        eye.y = g_Landscape.GetHeight(ground) + high;
        const D3DXVECTOR3 at = pos + D3DXVECTOR3(0, lookUp, 0);
        g_Views.mainCamera.Init(&eye, &at, D3DX_PI / 2, (float)w / h * 0.85f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE,
                                VIEWMODE_FREE, CAMERA_MAIN);
        g_Views.activeCamera = &g_Views.mainCamera;
        return Draw();
    }

    // The placed objects and the terrain; with effects, the view as the main
    // pass draws it, with the glass after the objects and the light effects
    // collected in the batch and drawn last.
    std::vector<uint8_t> Draw(bool effects = false)
    {
        IDirect3DDevice9* device = g_Render.device;
        testlight::SetFixedSun(device);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSkyColour, 1.0f, 0);
        device->BeginScene();
        g_Views.mainCamera.UpdateView();
        for (int i = 0; i < 2; i++)
        {
            g_Landscape.Update();
            g_StaticObjects.Update();
            g_Landscape.UpdateVisibility();
            g_StaticObjects.UpdateVisibility();
        }
        if (effects)
            g_Render.BeginBatch();
        g_StaticObjects.Draw(PASS_MASK_BUILDINGS_AND_OBJECTS);
        if (effects)
            g_StaticObjects.DrawChromeGlass(PASS_MASK_BUILDINGS_AND_OBJECTS);
        g_Landscape.Draw();
        g_StaticObjects.Draw(PASS_MASK_FENCES);
        if (effects)
        {
            g_StaticObjects.DrawLightEffects(PASS_MASK_BUILDINGS_AND_OBJECTS);
            g_Render.EndBatch();
            g_Render.RenderBatch();
        }
        device->EndScene();

        UINT rw = 0, rh = 0;
        std::vector<uint8_t> pixels = testdevice::ReadRenderTargetOf(device, &rw, &rh);
        if (!effects)
        {
            EXPECT_EQ(rw, w);
            EXPECT_EQ(rh, h);
        }
        return pixels;
    }

    void Save(const std::vector<uint8_t>& pixels, const std::string& name)
    {
        const std::string path = testsupport::BuildDir() + "/" + name + ".png";
        EXPECT_TRUE(golden::WritePng(path, pixels, (int)w, (int)h)) << path;
    }

    // Pixels that differ from the same view drawn without the placed objects.
    int ObjectPixels(const std::vector<uint8_t>& with)
    {
        const int shown = g_ShowStaticObjects;
        g_ShowStaticObjects = 0;
        const std::vector<uint8_t> without = Draw();
        g_ShowStaticObjects = shown;
        int differ = 0;
        for (size_t i = 0; i + 3 < with.size() && i + 3 < without.size(); i += 4)
            differ += (golden::PixelAt(with, (int)w, (int)(i / 4 % w), (int)(i / 4 / w)) & 0xFFFFFF) !=
                      (golden::PixelAt(without, (int)w, (int)(i / 4 % w), (int)(i / 4 / w)) & 0xFFFFFF);
        return differ;
    }

    UINT w = 0, h = 0;
};

TEST_F(PlacedObjectsHeadlessDemoDataTest, BuildingsAndPropsStandBesideTheRoadOfEachArea)
{
    for (int area = 0; area < 3; area++)
    {
        SCOPED_TRACE(area);
        StartDevice(320, 240);
        LoadArea(area);
        const std::string n = "0" + std::to_string(area + 1);

        // A different kind of building in each area.
        const char* kinds[3] = {"Barn", "Cottage", "Silo"};
        CStaticObject* building = Named(kinds[area]);
        ASSERT_NE(building, nullptr);
        std::vector<uint8_t> pixels = ViewOf(building, 26.0f, 8.0f, 2.5f, 4.0f, area == 1);
        Save(pixels, "objects_area" + n + "_building");
        EXPECT_TRUE(building->visible);
        // The building stands out against the terrain behind it.
        EXPECT_GT(ObjectPixels(pixels), (int)(w * h / 60));

        CStaticObject* sign = First(GTYPE_STATIC);
        ASSERT_NE(sign, nullptr);
        pixels = ViewOf(sign, 9.0f, -3.0f, 1.4f, 0.8f);
        Save(pixels, "objects_area" + n + "_corner");
        EXPECT_GT(ObjectPixels(pixels), (int)(w * h / 150));
        StopDevice();
    }
}

TEST_F(PlacedObjectsHeadlessDemoDataTest, BarnOfTheFirstAreaMatchesItsGoldenImage)
{
    StartDevice(160, 120);
    LoadArea(0);
    CStaticObject* building = Named("Barn");
    ASSERT_NE(building, nullptr);
    const std::vector<uint8_t> pixels = ViewOf(building, 30.0f, 10.0f, 2.5f, 4.0f);
    Save(pixels, "objects_area01_golden");
    EXPECT_EQ(golden::Mismatch("scene/objects_area01", pixels, (int)w, (int)h, 12), "");
    StopDevice();
}

TEST_F(PlacedObjectsHeadlessDemoDataTest, CottageWindowsReflectAndItsDoorLampShines)
{
    // The cottage of the second area carries every effect of a placed
    // object that draws without geometry of its own or over other slots:
    // reflective panes, the lamp's light on the wall, its sprite and its beam.
    StartDevice(320, 240);
    LoadArea(1);
    CStaticObject* cottage = Named("Cottage");
    ASSERT_NE(cottage, nullptr);
    ASSERT_NE(cottage->glass, nullptr);
    ASSERT_NE(cottage->lightMaps, nullptr);
    ASSERT_NE(cottage->lights, nullptr);
    ASSERT_NE(cottage->spots, nullptr);

    // Close to the road side, where the door and its lamp are.
    ViewOf(cottage, 9.0f, 3.0f, 1.8f, 2.2f, true);
    const std::vector<uint8_t> with = Draw(true);
    Save(with, "objects_area02_cottage_effects");
    EXPECT_GT(cottage->lights->spriteCount, 0u);
    EXPECT_GT(cottage->spots->beamCount, 0u);

    // The same view with the cottage's effects taken off: the panes, the
    // light on the wall, the lamp and its beam change a good share of it.
    CEffectMeshObject* glass = cottage->glass;
    CLightMapsObject* lightMaps = cottage->lightMaps;
    CLightsEffect* lights = cottage->lights;
    CSpotsEffect* spots = cottage->spots;
    cottage->glass = nullptr;
    cottage->lightMaps = nullptr;
    cottage->lights = nullptr;
    cottage->spots = nullptr;
    const std::vector<uint8_t> without = Draw(true);
    cottage->glass = glass;
    cottage->lightMaps = lightMaps;
    cottage->lights = lights;
    cottage->spots = spots;
    Save(without, "objects_area02_cottage_plain");

    int changed = 0, brighter = 0;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
        {
            const DWORD a = golden::PixelAt(with, (int)w, (int)x, (int)y);
            const DWORD b = golden::PixelAt(without, (int)w, (int)x, (int)y);
            const int sa = int(a >> 16 & 0xFF) + int(a >> 8 & 0xFF) + int(a & 0xFF);
            const int sb = int(b >> 16 & 0xFF) + int(b >> 8 & 0xFF) + int(b & 0xFF);
            changed += std::abs(sa - sb) > 12;
            brighter += sa - sb > 30;
        }
    EXPECT_GT(changed, (int)(w * h / 100)) << "effects barely visible";
    // The lamp, its beam and its light only ever add light.
    EXPECT_GT(brighter, (int)(w * h / 400)) << "no lamp light";
    StopDevice();
}

}   // namespace
