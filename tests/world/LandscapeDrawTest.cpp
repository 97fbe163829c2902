// Per-frame landscape work on the recording device: part order, visibility,
// occlusion, the terrain draws with their levels of detail and texture
// stages, the shadow caster and the route display switch.
#include "world/LandscapeDraw.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Game.h"
#include "app/RaceTable.h"
#include "core/Controls.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/D3DRender.h"
#include "tests/render/RenderStateRecords.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/LandscapeTestSupport.h"

namespace
{

IDirect3DIndexBuffer9* const kSome = reinterpret_cast<IDirect3DIndexBuffer9*>(0x10);

TEST(TerrainLod, ByDistanceAndPass)
{
    struct Case
    {
        float distance;
        int reflection;
        bool hasCoarse, hasMiddle;
        int lod;
    };
    const Case cases[] = {
        {0.0f, 0, true, true, 0},    {50.0f, 0, true, true, 0},   {50.01f, 0, true, true, 1},
        {100.0f, 0, true, true, 1},  {100.01f, 0, true, true, 2}, {10.0f, 1, true, true, 2},
        {150.0f, 0, false, true, 1}, {10.0f, 1, false, true, 0},  {150.0f, 0, false, false, 0},
        {150.0f, 0, true, false, 2},
    };
    for (const Case& c : cases)
    {
        IDirect3DIndexBuffer9* const lods[3] = {kSome, c.hasMiddle ? kSome : nullptr, c.hasCoarse ? kSome : nullptr};
        EXPECT_EQ(ChooseTerrainLod(c.distance, c.reflection, lods), c.lod)
            << c.distance << " reflection " << c.reflection;
    }
}

TEST(TerrainSort, NearestFirstAndStableForTies)
{
    std::vector<std::unique_ptr<CLandPart>> store;
    const float distances[] = {30, -5, 30, 12, 0, 99, 12};
    std::vector<CLandPart*> parts;
    for (size_t i = 0; i < sizeof(distances) / sizeof(distances[0]); i++)
    {
        store.emplace_back(new CLandPart());
        store.back()->distance = distances[i];
        store.back()->col = (int)i;
        parts.push_back(store.back().get());
    }
    SortPartsByDistance(parts.data(), (int)parts.size());
    for (size_t i = 1; i < parts.size(); i++)
        EXPECT_LE(parts[i - 1]->distance, parts[i]->distance);
    EXPECT_EQ(parts[0]->col, 1);
    SortPartsByDistance(parts.data(), 0);   // nothing to do, nothing read
}

// The small test area loaded on the recording device, with the main camera
// at the start of the race path.
class LandscapeDrawTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        landtest::AddArea(m_Tree, landtest::AreaSpec());
        m_Folder.reset(new testdata::DataFolder(m_Tree, true));
        ClearRaceBlock();
        FillCareerRows();
        g_Game.currentRace = 0;
        ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
        ASSERT_GT(g_RacePathCount, 1);
        const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 1);
        g_Game.mainCamera.Init(&origin, &ahead, D3DX_PI / 2, 4.0f / 3.0f * 0.85f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE,
                               VIEWMODE_FREE, CAMERA_MAIN);
        ASSERT_EQ(LookAlongRacePath(&g_Game.mainCamera), 1);
        g_Game.activeCamera = &g_Game.mainCamera;
        // The shadow camera sees the whole area from above.
        const D3DXVECTOR3 eye(0, 200, 0), at(0, 0, 0.01f);
        g_Game.shadowCamera.Init(&eye, &at, D3DX_PI / 2, 1.0f, 1.0f, 400.0f, VIEWMODE_LOOKAT, CAMERA_MAIN);
        m_SavedView = g_ViewDistance;
        m_SavedShadow = g_ShadowQuality;
        m_SavedDebug = g_DebugMode;
        g_ViewDistance = 500;
        g_ShadowQuality = 0;
        g_ReflectionPass = 0;
    }
    void TearDown() override
    {
        g_Landscape.Release();
        ClearRaceBlock();
        g_Game.activeCamera = nullptr;
        g_ViewDistance = m_SavedView;
        g_ShadowQuality = m_SavedShadow;
        g_DebugMode = m_SavedDebug;
        g_ReflectionPass = 0;
        g_ShowRoute = 0;
        g_KeyFlags[KEY_INSERT] = g_KeyFlags[KEY_SHIFT] = 0;
        m_Folder.reset();
    }

    void Frame()
    {
        g_Landscape.Update();
        g_Landscape.UpdateVisibility();
    }

    // Triangle counts of the indexed draws recorded since the last clear.
    static std::vector<int> DrawnTriangles()
    {
        std::vector<int> out;
        for (const std::string& call : D3DRecordedCalls())
        {
            int count = 0;
            if (std::sscanf(call.c_str(), "DrawIndexedPrimitive(TRIANGLELIST, %*d, %*d, %*d, %*d, %d)", &count) == 1)
                out.push_back(count);
        }
        return out;
    }
    static bool Recorded(const std::string& call)
    {
        for (const std::string& c : D3DRecordedCalls())
            if (c == call)
                return true;
        return false;
    }

    landtest::RecordingDevice m_Device;
    DataTree m_Tree;
    std::unique_ptr<testdata::DataFolder> m_Folder;
    int m_SavedView = 0, m_SavedShadow = 0, m_SavedDebug = 0;
};

TEST_F(LandscapeDrawTest, UpdateSortsByTheLastDistancesAndCountsVisibleParts)
{
    Frame();
    CLandscape& land = g_Landscape;
    ASSERT_EQ(land.partCount, 4);
    EXPECT_EQ(land.sortEye[1], land.heightScale / 2);
    std::map<const CLandPart*, float> last;
    int visible = 0;
    for (int i = 0; i < land.partCount; i++)
    {
        last[land.parts[i]] = land.parts[i]->distance;
        visible += land.parts[i]->visible;
    }
    EXPECT_GT(visible, 0);

    // A move of less than an eighth of a part radius keeps the order.
    const float sortedFrom = land.sortEye[0];
    CLandPart* const before[4] = {land.parts[0], land.parts[1], land.parts[2], land.parts[3]};
    g_Game.mainCamera.eye.x += land.partRadius * 0.12f;
    g_Landscape.Update();
    EXPECT_EQ(land.sortEye[0], sortedFrom);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(land.parts[i], before[i]);
    // The counters come from the visibility of the frame before.
    EXPECT_EQ(land.visibleParts, visible);

    // Reversed by hand, then a move of an eighth re-sorts, by the distances
    // of the update before.
    std::swap(land.parts[0], land.parts[3]);
    std::swap(land.parts[1], land.parts[2]);
    for (int i = 0; i < 4; i++)
        last[land.parts[i]] = land.parts[i]->distance;
    g_Game.mainCamera.eye.x += land.partRadius * 0.13f;
    g_Landscape.Update();
    EXPECT_FLOAT_EQ(land.sortEye[0], g_Game.mainCamera.eye.x);
    for (int i = 1; i < 4; i++)
        EXPECT_LE(last[land.parts[i - 1]], last[land.parts[i]]) << i;
}

TEST_F(LandscapeDrawTest, ViewDistanceIsAStrictLimit)
{
    Frame();
    CLandPart* nearest = g_Landscape.parts[0];
    ASSERT_EQ(nearest->visible, 1);
    for (float d : {499.99f, 500.0f, 600.0f})
    {
        nearest->distance = d;
        g_Landscape.UpdateVisibility();
        EXPECT_EQ(nearest->visible, d < 500.0f ? 1 : 0) << d;
    }
}

TEST_F(LandscapeDrawTest, OcclusionHidesCoveredPartsUntilTheNextFrame)
{
    Frame();
    ASSERT_EQ(g_Landscape.parts[0]->visible, 1);
    g_ReflectionPass = 1;
    g_Landscape.CheckOcclusion([](const float(*)[3]) { return 1; });
    EXPECT_EQ(g_Landscape.parts[0]->visible, 1);   // not in the reflection pass
    g_ReflectionPass = 0;
    g_Landscape.CheckOcclusion([](const float(*)[3]) { return 0; });
    EXPECT_EQ(g_Landscape.parts[0]->visible, 1);
    g_Landscape.CheckOcclusion([](const float(*)[3]) { return 1; });
    for (int i = 0; i < g_Landscape.partCount; i++)
        EXPECT_EQ(g_Landscape.parts[i]->visible, 0);
    g_Landscape.UpdateVisibility();
    EXPECT_EQ(g_Landscape.parts[0]->visible, 1);
}

TEST_F(LandscapeDrawTest, OneDrawPerVisiblePartAtItsLevel)
{
    Frame();
    // Put the parts at known distances: one per level and one beyond sight.
    const float distances[4] = {10.0f, 75.0f, 150.0f, 10.0f};
    for (int i = 0; i < 4; i++)
    {
        g_Landscape.parts[i]->distance = distances[i];
        g_Landscape.parts[i]->visible = i < 3;
    }
    D3DClearRecordedCalls();
    g_Landscape.Draw();
    const int* t = g_Landscape.lodTriangles;
    EXPECT_EQ(DrawnTriangles(), (std::vector<int>{t[0], t[1], t[2]}));
    EXPECT_EQ(t[0], 18 * 18 * 2);
    EXPECT_EQ(t[1], 9 * 9 * 2);
    EXPECT_EQ(t[2], 6 * 6 * 2);
    // Lit, textured, the detail map modulated in twice on the near part only.
    EXPECT_TRUE(Recorded("SetRenderState(LIGHTING, 1)"));
    EXPECT_TRUE(Recorded("SetRenderState(COLORVERTEX, 0)"));
    EXPECT_TRUE(Recorded("SetTextureStageState(1, COLOROP, " + std::to_string(D3DTOP_MODULATE2X) + ")"));
    EXPECT_TRUE(Recorded("SetTextureStageState(1, TEXTURETRANSFORMFLAGS, 2)"));
    // The stages are back to one texture afterwards.
    const std::vector<std::string>& calls = D3DRecordedCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_TRUE(Recorded("SetTextureStageState(2, COLOROP, " + std::to_string(D3DTOP_DISABLE) + ")"));
    EXPECT_TRUE(Recorded("SetRenderState(COLORVERTEX, 1)"));

    // The reflection pass draws every part coarsest, with culling off and back.
    D3DClearRecordedCalls();
    g_ReflectionPass = 1;
    g_Landscape.Draw();
    g_ReflectionPass = 0;
    EXPECT_EQ(DrawnTriangles(), (std::vector<int>{t[2], t[2], t[2]}));
    EXPECT_TRUE(Recorded("SetRenderState(CULLMODE, 1)"));
}

TEST_F(LandscapeDrawTest, ShadowCasterDrawsVisiblePartsInTheShadowAtTheMiddleLevel)
{
    Frame();
    const int inShadow[4] = {1, 0, 1, 1};
    const int visible[4] = {1, 1, 0, 1};
    for (int i = 0; i < 4; i++)
    {
        g_Landscape.parts[i]->inShadow = inShadow[i];
        g_Landscape.parts[i]->visible = visible[i];
        g_Landscape.parts[i]->distance = 1.0f;
    }
    D3DClearRecordedCalls();
    g_Landscape.DrawShadow();
    const int middle = g_Landscape.lodTriangles[1];
    EXPECT_EQ(DrawnTriangles(), (std::vector<int>{middle, middle}));
    EXPECT_TRUE(Recorded("SetRenderState(LIGHTING, 0)"));
}

// The terrain changes its stage states through the render device, so the
// records stay true: after each of its draws, setting again the values it
// replaced still reaches the device.
TEST_F(LandscapeDrawTest, TerrainKeepsTheStateRecordsTrueSoTheNextSetterStillReachesTheDevice)
{
    Frame();
    for (int i = 0; i < g_Landscape.partCount; i++)
        g_Landscape.parts[i]->inShadow = 1;
    IDirect3DDevice9* device = g_Render.device;
    auto setBefore = [] {
        g_Render.SetColorVertex(FALSE);
        g_Render.SetTextureAddress(0, D3DTADDRESS_MIRROR);
        g_Render.SetTextureAddress(2, D3DTADDRESS_BORDER);
        g_Render.SetTexCoordIndex(2, D3DTSS_TCI_CAMERASPACEPOSITION);
        g_Render.SetTextureTransformFlags(1, D3DTTFF_COUNT2);
    };
    struct Case
    {
        const char* pass;
        int reflection;
        bool shadowCaster;
    };
    const Case cases[] = {{"main", 0, false}, {"reflection", 1, false}, {"shadow map", 0, true}};
    for (const Case& c : cases)
    {
        setBefore();
        g_ReflectionPass = c.reflection;
        if (c.shadowCaster)
            g_Landscape.DrawShadow();
        else
            g_Landscape.Draw();
        g_ReflectionPass = 0;
        for (const std::string& line : render_test::StaleRecords())
            ADD_FAILURE() << c.pass << ": " << line;

        setBefore();
        DWORD colorVertex = 1, address0 = 0, address2 = 0, index2 = 0, flags1 = 0;
        device->GetRenderState(D3DRS_COLORVERTEX, &colorVertex);
        device->GetSamplerState(0, D3DSAMP_ADDRESSV, &address0);
        device->GetSamplerState(2, D3DSAMP_ADDRESSU, &address2);
        device->GetTextureStageState(2, D3DTSS_TEXCOORDINDEX, &index2);
        device->GetTextureStageState(1, D3DTSS_TEXTURETRANSFORMFLAGS, &flags1);
        EXPECT_EQ(colorVertex, DWORD(FALSE)) << c.pass;
        EXPECT_EQ(address0, DWORD(D3DTADDRESS_MIRROR)) << c.pass;
        EXPECT_EQ(address2, DWORD(D3DTADDRESS_BORDER)) << c.pass;
        EXPECT_EQ(index2, DWORD(D3DTSS_TCI_CAMERASPACEPOSITION)) << c.pass;
        EXPECT_EQ(flags1, DWORD(D3DTTFF_COUNT2)) << c.pass;
    }
}

TEST_F(LandscapeDrawTest, InsertTogglesTheRouteDisplayOncePerPress)
{
    Frame();
    struct Case
    {
        int debug, shift;
        int shown;
    };
    const Case cases[] = {{1, 0, 1}, {0, 0, 0}, {1, 1, 0}};
    for (const Case& c : cases)
    {
        g_ShowRoute = 0;
        g_DebugMode = c.debug;
        g_KeyFlags[KEY_SHIFT] = c.shift;
        g_KeyFlags[KEY_INSERT] = 1;
        // A frame with a reflection pass draws the landscape twice.
        g_ReflectionPass = 1;
        g_Landscape.Draw();
        g_ReflectionPass = 0;
        g_Landscape.Draw();
        EXPECT_EQ(g_ShowRoute, c.shown) << "debug " << c.debug << " shift " << c.shift;
        EXPECT_EQ(g_KeyFlags[KEY_INSERT], c.shown ? 0 : 1);
    }
    // Shown: a quad per route point near the eye and a line to the next.
    g_ShowRoute = 1;
    g_KeyFlags[KEY_INSERT] = 0;
    D3DClearRecordedCalls();
    g_Landscape.Draw();
    size_t lines = 0;
    for (const std::string& call : D3DRecordedCalls())
        lines += call.compare(0, 22, "DrawPrimitiveUP(LINELI") == 0;
    EXPECT_EQ(lines, (size_t)g_Landscape.routeCount - 1);
}

TEST_F(LandscapeDrawTest, NothingLoadedDrawsNothing)
{
    g_Landscape.FreeArea();
    D3DClearRecordedCalls();
    g_Landscape.Update();
    g_Landscape.UpdateVisibility();
    g_Landscape.Draw();
    g_Landscape.DrawShadow();
    EXPECT_TRUE(DrawnTriangles().empty());
}

}   // namespace
