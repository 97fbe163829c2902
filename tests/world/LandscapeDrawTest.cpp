// Per-frame landscape work on the recording device: part order, visibility,
// occlusion, the terrain draws with their levels of detail and texture
// stages, the shadow caster and the route display switch.
#include "world/LandscapeDraw.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/Controls.h"
#include "core/RaceTable.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/D3DRender.h"
#include "render/Views.h"
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

TEST(TerrainSort, NearestFirstWithTiesInTheOrderTheExchangeSortLeaves)
{
    // The exchange sort swaps a part with every later, nearer one, so equal
    // distances do not keep their order: the two parts at 30 (columns 0 and 2)
    // come out reversed, the two at 12 (columns 3 and 6) in order. The order
    // of equal parts decides which is drawn first.
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
    std::vector<int> columns;
    for (const CLandPart* part : parts)
        columns.push_back(part->col);
    EXPECT_EQ(columns, (std::vector<int>{1, 4, 3, 6, 2, 0, 5}));
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
        g_CurrentRace = 0;
        ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
        ASSERT_GT(g_RacePathCount, 1);
        const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 1);
        g_Views.mainCamera.Init(&origin, &ahead, D3DX_PI / 2, 4.0f / 3.0f * 0.85f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE,
                                VIEWMODE_FREE, CAMERA_MAIN);
        ASSERT_EQ(LookAlongRacePath(&g_Views.mainCamera), 1);
        g_Views.activeCamera = &g_Views.mainCamera;
        // The shadow camera sees the whole area from above.
        const D3DXVECTOR3 eye(0, 200, 0), at(0, 0, 0.01f);
        g_Views.shadowCamera.Init(&eye, &at, D3DX_PI / 2, 1.0f, 1.0f, 400.0f, VIEWMODE_LOOKAT, CAMERA_MAIN);
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
        g_Views.activeCamera = nullptr;
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
    g_Views.mainCamera.eye.x += land.partRadius * 0.12f;
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
    g_Views.mainCamera.eye.x += land.partRadius * 0.13f;
    g_Landscape.Update();
    EXPECT_FLOAT_EQ(land.sortEye[0], g_Views.mainCamera.eye.x);
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

// One terrain draw as the device saw it: the part (by its base vertex), the
// index list and triangle count, and the colour operations of the detail
// stage (1) and the shadow stage (2) in force at the draw.
struct TerrainDraw
{
    int baseVertex;
    std::string indices;
    int triangles;
    DWORD detailOp, shadowOp;
    bool operator==(const TerrainDraw& o) const
    {
        return baseVertex == o.baseVertex && indices == o.indices && triangles == o.triangles &&
               detailOp == o.detailOp && shadowOp == o.shadowOp;
    }
};

void PrintTo(const TerrainDraw& d, std::ostream* os)
{
    *os << "{base " << d.baseVertex << ", " << d.indices << ", " << d.triangles << " triangles, detail op "
        << d.detailOp << ", shadow op " << d.shadowOp << "}";
}

// Walks the recorded calls, following the stage operations from the ones the
// device held before them, and lists each indexed draw with what was in force.
std::vector<TerrainDraw> TerrainDraws(DWORD detailOp, DWORD shadowOp)
{
    std::vector<TerrainDraw> draws;
    std::string indices;
    for (const std::string& call : D3DRecordedCalls())
    {
        unsigned value = 0;
        int base = 0, triangles = 0;
        char name[32] = {};
        if (std::sscanf(call.c_str(), "SetTextureStageState(1, COLOROP, %u)", &value) == 1)
            detailOp = value;
        else if (std::sscanf(call.c_str(), "SetTextureStageState(2, COLOROP, %u)", &value) == 1)
            shadowOp = value;
        else if (std::sscanf(call.c_str(), "SetIndices(%31[^)])", name) == 1)
            indices = name;
        else if (std::sscanf(call.c_str(), "DrawIndexedPrimitive(TRIANGLELIST, %d, %*d, %*d, %*d, %d)", &base,
                             &triangles) == 2)
            draws.push_back(TerrainDraw{base, indices, triangles, detailOp, shadowOp});
    }
    return draws;
}

float GroundDistance(const float a[3], const float b[3])
{
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

TEST_F(LandscapeDrawTest, OneDrawPerVisiblePartAtItsLevel)
{
    Frame();
    CLandscape& land = g_Landscape;
    ASSERT_EQ(land.partCount, 4);
    IDirect3DDevice9* device = g_Render.device;

    // The recording's names of the three index lists.
    std::string lodName[3];
    for (int lod = 0; lod < 3; lod++)
    {
        ASSERT_NE(land.lodIndices[lod], nullptr) << lod;
        D3DClearRecordedCalls();
        device->SetIndices(land.lodIndices[lod]);
        ASSERT_EQ(D3DRecordedCalls().size(), 1u);
        lodName[lod] = D3DRecordedCalls()[0].substr(std::strlen("SetIndices("));
        lodName[lod].pop_back();
    }
    EXPECT_EQ(land.lodTriangles[0], 18 * 18 * 2);
    EXPECT_EQ(land.lodTriangles[1], 9 * 9 * 2);
    EXPECT_EQ(land.lodTriangles[2], 6 * 6 * 2);

    // A shadow map, and its focus just outside the third part, away from the
    // others, so only that part samples it.
    IDirect3DTexture9* shadowMap = nullptr;
    ASSERT_EQ(
        device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT, &shadowMap, nullptr),
        D3D_OK);
    g_Render.shadowTarget1 = shadowMap;
    g_ShadowQuality = 1;
    const D3DXVECTOR3 savedFocus = g_Views.shadowFocus;
    CLandPart* const shaded = land.parts[2];
    float middle[3] = {0, 0, 0};
    for (int i = 0; i < 4; i++)
        for (int k = 0; k < 3; k++)
            middle[k] += land.parts[i]->centre[k] / 4;
    D3DXVECTOR3 outwards(shaded->centre[0] - middle[0], 0, shaded->centre[2] - middle[2]);
    D3DXVec3Normalize(&outwards, &outwards);
    const float reach = shaded->radius + TERRAIN_SHADOW_REACH / 2;
    g_Views.shadowFocus =
        D3DXVECTOR3(shaded->centre[0] + outwards.x * reach, shaded->centre[1], shaded->centre[2] + outwards.z * reach);
    const float focus[3] = {g_Views.shadowFocus.x, g_Views.shadowFocus.y, g_Views.shadowFocus.z};
    for (int i = 0; i < 4; i++)
    {
        if (land.parts[i] != shaded)
        {
            ASSERT_GE(GroundDistance(focus, land.parts[i]->centre) - land.parts[i]->radius, TERRAIN_SHADOW_REACH) << i;
        }
    }

    // Distances of the middle level, the finest and the coarsest, so the
    // detail stage goes off, on and off again between the parts; the fourth
    // part is out of sight.
    const float distances[4] = {75.0f, 10.0f, 150.0f, 10.0f};
    for (int i = 0; i < 4; i++)
    {
        land.parts[i]->distance = distances[i];
        land.parts[i]->visible = i < 3;
    }
    // The terrain alone: the road drawn after it has tests of its own.
    for (int i = 0; i < land.partCount; i++)
        land.parts[i]->ReleaseBuffers();
    DWORD detailOp = 0, shadowOp = 0;
    device->GetTextureStageState(1, D3DTSS_COLOROP, &detailOp);
    device->GetTextureStageState(2, D3DTSS_COLOROP, &shadowOp);
    D3DClearRecordedCalls();
    land.Draw();
    const std::vector<TerrainDraw> expected = {
        {land.parts[0]->baseVertex, lodName[1], land.lodTriangles[1], D3DTOP_DISABLE, D3DTOP_DISABLE},
        {land.parts[1]->baseVertex, lodName[0], land.lodTriangles[0], D3DTOP_MODULATE2X, D3DTOP_DISABLE},
        {land.parts[2]->baseVertex, lodName[2], land.lodTriangles[2], D3DTOP_DISABLE, D3DTOP_MODULATE},
    };
    EXPECT_EQ(TerrainDraws(detailOp, shadowOp), expected);
    // Lit and textured without the vertex colours; the stages are back to one
    // texture afterwards.
    EXPECT_TRUE(Recorded("SetRenderState(LIGHTING, 1)"));
    EXPECT_TRUE(Recorded("SetRenderState(COLORVERTEX, 0)"));
    EXPECT_TRUE(Recorded("SetTextureStageState(1, TEXTURETRANSFORMFLAGS, 2)"));
    EXPECT_TRUE(Recorded("SetTextureStageState(2, COLOROP, " + std::to_string(D3DTOP_DISABLE) + ")"));
    EXPECT_TRUE(Recorded("SetRenderState(COLORVERTEX, 1)"));
    device->GetTextureStageState(1, D3DTSS_COLOROP, &detailOp);
    device->GetTextureStageState(2, D3DTSS_COLOROP, &shadowOp);
    EXPECT_EQ(detailOp, (DWORD)D3DTOP_DISABLE);
    EXPECT_EQ(shadowOp, (DWORD)D3DTOP_DISABLE);

    // The reflection pass draws every visible part coarsest, with culling off
    // and back, and leaves the stages alone between the parts.
    D3DClearRecordedCalls();
    g_ReflectionPass = 1;
    land.Draw();
    g_ReflectionPass = 0;
    EXPECT_EQ(DrawnTriangles(), (std::vector<int>{land.lodTriangles[2], land.lodTriangles[2], land.lodTriangles[2]}));
    EXPECT_TRUE(Recorded("SetRenderState(CULLMODE, 1)"));

    g_Views.shadowFocus = savedFocus;
    g_Render.shadowTarget1 = nullptr;
    shadowMap->Release();
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
