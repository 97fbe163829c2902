// Water cells of a land part: which terrain cells reach the water, and their
// triangles on the terrain's vertex grid; and the water pass on the recording
// device with the demo techniques: the season's colour, a part's own cells
// near the eye and the flat grid from afar, and the wireframe view.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/Views.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/world/OneWaterPart.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/Sky.h"
#include "world/Water.h"

namespace
{

// A 4 x 4 grid in 2 x 2 parts of 2 cells, all above the water at 10.
struct Heights
{
    Heights() { std::fill(&h[0][0], &h[0][0] + 16, 20.0f); }
    float h[4][4];
};

TEST(WaterTest, CellsWithAnyCornerAtOrBelowTheWaterAreListed)
{
    Heights g;
    std::vector<uint16_t> out;
    BuildWaterCellIndices(&g.h[0][0], 4, 4, 2, 0, 0, 10.0f, &out);
    EXPECT_TRUE(out.empty());   // all above: no water buffers for the part

    // One corner under the water: the four cells around it reach it.
    g.h[1][1] = 9.0f;
    BuildWaterCellIndices(&g.h[0][0], 4, 4, 2, 0, 0, 10.0f, &out);
    ASSERT_EQ(out.size(), 4u * 6u);
    // Cell (0, 0) of the part: two triangles on a grid of 5 vertices a row.
    EXPECT_EQ(out,
              (std::vector<uint16_t>{0, 5, 1, 1, 5, 6, 1, 6, 2, 2, 6, 7, 5, 10, 6, 6, 10, 11, 6, 11, 7, 7, 11, 12}));
    // The next part starts at column 2: its cells do not reach that corner.
    BuildWaterCellIndices(&g.h[0][0], 4, 4, 2, 1, 0, 10.0f, &out);
    EXPECT_TRUE(out.empty());

    // On the water exactly counts; the last row and column take the border
    // samples.
    Heights e;
    e.h[3][3] = 10.0f;
    BuildWaterCellIndices(&e.h[0][0], 4, 4, 2, 1, 1, 10.0f, &out);
    EXPECT_EQ(out.size(), 4u * 6u);   // every cell of the corner part reaches row and column 3
}

class WaterDrawDemoDataTest : public render_test::RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        UseDemoData(true);
        StartDevice();
        ASSERT_TRUE(g_Render.sm20 && g_Render.effect) << "the demo techniques have the water shader";
        m_SavedSky = g_Sky;
        m_SavedRace = g_CurrentRace;
        m_SavedSeason = g_RaceTable.season[0];
        g_CurrentRace = 0;
        // A sky that adds nothing: the water shows its season's own colour.
        g_Sky.sunIntensity = g_Sky.moonIntensity = 0.0f;
        const D3DXVECTOR3 eye(0, 10, -50), at(0, 0, 0);
        g_Views.mainCamera.Init(&eye, &at, D3DX_PI / 2, 4.0f / 3.0f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, VIEWMODE_FREE,
                                CAMERA_AUX);
        g_Views.activeCamera = &g_Views.mainCamera;
        m_Part.visible = 1;
        g_Landscape.parts[0] = &m_Part;
        g_Landscape.partCount = 1;
    }
    void TearDown() override
    {
        for (IUnknown* b : std::vector<IUnknown*>{m_Part.waterIB, m_Part.waterVB, g_Landscape.terrainVB,
                                                  g_Landscape.waterGridIndices})
            if (b)
                b->Release();
        m_Part.waterIB = nullptr;
        m_Part.waterVB = nullptr;
        g_Landscape.terrainVB = nullptr;
        g_Landscape.waterGridIndices = nullptr;
        g_Landscape.parts[0] = nullptr;
        g_Landscape.partCount = 0;
        g_Render.fillMode = D3DFILL_SOLID;
        g_Views.mainCamera.Release();
        g_Views.activeCamera = nullptr;
        g_Sky = m_SavedSky;
        g_CurrentRace = m_SavedRace;
        g_RaceTable.season[0] = m_SavedSeason;
        RenderFixture::TearDown();
    }
    static IDirect3DBaseTexture9* EffectTexture(const char* name)
    {
        IDirect3DBaseTexture9* t = nullptr;
        g_Render.effect->GetTexture(name, &t);
        if (t)
            t->Release();
        return t;
    }

    CLandPart m_Part;
    CSky m_SavedSky;
    int m_SavedRace = 0, m_SavedSeason = 0;
};

TEST_F(WaterDrawDemoDataTest, TheRacesSeasonTintsTheWater)
{
    const float colours[3][3] = {{0.6f, 0.5f, 0.3f}, {0.8f, 0.6f, 0.3f}, {0.8f, 0.9f, 1.0f}};
    for (int season = 0; season < 3; ++season)
    {
        SCOPED_TRACE(season);
        g_RaceTable.season[0] = season;
        g_Landscape.DrawWater();
        D3DXVECTOR4 colour(0, 0, 0, 0);
        ASSERT_EQ(g_Render.effect->GetVector("WaterColor", &colour), D3D_OK);
        EXPECT_NEAR(colour.x, colours[season][0], 1e-5f);
        EXPECT_NEAR(colour.y, colours[season][1], 1e-5f);
        EXPECT_NEAR(colour.z, colours[season][2], 1e-5f);
        EXPECT_NEAR(colour.w, 1.0f, 1e-5f);
    }
}

// Up to 100 away a part draws the terrain cells that reach the water (8
// triangles here); beyond, the flat grid over the whole part (18).
TEST_F(WaterDrawDemoDataTest, NearPartsDrawTheirCellsAndFarPartsTheFlatGrid)
{
    IDirect3DDevice9* device = g_Render.device;
    ASSERT_EQ(
        device->CreateIndexBuffer(48, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_Part.waterIB, nullptr),
        D3D_OK);
    ASSERT_EQ(device->CreateVertexBuffer(16 * 40, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &m_Part.waterVB, nullptr),
              D3D_OK);
    ASSERT_EQ(
        device->CreateVertexBuffer(25 * 40, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &g_Landscape.terrainVB, nullptr),
        D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(108, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                        &g_Landscape.waterGridIndices, nullptr),
              D3D_OK);
    m_Part.waterTriangleCount = 8;
    g_Landscape.waterGridVertexCount = 16;
    g_Landscape.waterGridTriangles = 18;
    const struct
    {
        float distance;
        int faces;
    } cases[] = {{40.0f, 8}, {100.0f, 8}, {100.5f, 18}, {300.0f, 18}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.distance);
        m_Part.distance = c.distance;
        g_Render.mainFaces = 0;
        m_Part.DrawWater();
        EXPECT_EQ(g_Render.mainFaces, c.faces);
    }
}

// The wireframe view draws the water's lines alone: neither the reflection
// nor the noise is bound.
TEST_F(WaterDrawDemoDataTest, WireframeDrawsTheWaterWithoutItsPictures)
{
    ASSERT_NE(g_Render.reflectionTarget, nullptr);
    const int savedNoise = g_Landscape.waterNoiseTexture;
    g_Landscape.waterNoiseTexture = g_Render.LoadTexture("Data/Landscape/Surfaces/WaterNoise.dds", 0, 1, 0);
    IDirect3DBaseTexture9* noise = g_Render.GetTexture(g_Landscape.waterNoiseTexture);
    ASSERT_NE(noise, nullptr);
    g_Landscape.DrawWater();
    EXPECT_EQ(EffectTexture("texBaseMap1"), g_Render.reflectionTarget);
    EXPECT_EQ(EffectTexture("texBaseMap2"), noise);
    // Behind the menu the water reads the smaller reflection drawn there.
    ASSERT_NE(g_Render.menuReflectionTarget, nullptr);
    g_Render.menuWorldOpen = 1;
    g_Landscape.DrawWater();
    g_Render.menuWorldOpen = 0;
    EXPECT_EQ(EffectTexture("texBaseMap1"), g_Render.menuReflectionTarget);
    g_Render.fillMode = D3DFILL_WIREFRAME;
    g_Landscape.DrawWater();
    EXPECT_EQ(EffectTexture("texBaseMap1"), nullptr);
    EXPECT_EQ(EffectTexture("texBaseMap2"), nullptr);
    g_Render.ReleaseTexture(g_Landscape.waterNoiseTexture);
    g_Landscape.waterNoiseTexture = savedNoise;
}

}   // namespace

// Where the visible water falls on the screen, as the reflection pass limits
// itself to it: a part's water seen from above, a part hidden or off the
// screen, and a part reaching behind the eye, cut at the near plane.
TEST(WaterTest, ScreenBoundsOfTheVisibleWater)
{
    landtest::OneWaterPart water;
    CLandPart& part = water.part;
    CLandscape& land = g_Landscape;
    part.boundsMin[0] = 0.0f, part.boundsMin[2] = 0.0f;
    part.boundsMax[0] = 50.0f, part.boundsMax[2] = 50.0f;

    // From above: x -100..100 across, z -100..100 up the screen.
    D3DXMATRIX view, proj, above;
    const D3DXVECTOR3 high(0, 100, 0), origin(0, 0, 0), north(0, 0, 1);
    D3DXMatrixLookAtLH(&view, &high, &origin, &north);
    D3DXMatrixOrthoLH(&proj, 200.0f, 200.0f, 1.0f, 1000.0f);
    D3DXMatrixMultiply(&above, &view, &proj);
    float b[4] = {};
    ASSERT_EQ(1, land.WaterScreenBounds(above, b));
    EXPECT_NEAR(0.5f, b[0], 1e-4f);
    EXPECT_NEAR(0.25f, b[1], 1e-4f);
    EXPECT_NEAR(0.75f, b[2], 1e-4f);
    EXPECT_NEAR(0.5f, b[3], 1e-4f);

    part.visible = 0;
    EXPECT_EQ(0, land.WaterScreenBounds(above, b));
    part.visible = 1;
    part.boundsMin[0] = 300.0f, part.boundsMax[0] = 350.0f;
    EXPECT_EQ(0, land.WaterScreenBounds(above, b)) << "off the screen";

    // Standing in the middle of a pond, 2 over it, looking along it: the
    // water from the bottom edge up to below the horizon, not the whole screen.
    part.boundsMin[0] = -50.0f, part.boundsMax[0] = 50.0f;
    part.boundsMin[2] = -50.0f, part.boundsMax[2] = 50.0f;
    const D3DXVECTOR3 eye(0, 12, 0), ahead(0, 12, 10), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &ahead, &up);
    D3DXMatrixPerspectiveFovLH(&proj, 1.0f, 4.0f / 3.0f, 0.5f, 1000.0f);
    D3DXMATRIX along;
    D3DXMatrixMultiply(&along, &view, &proj);
    ASSERT_EQ(1, land.WaterScreenBounds(along, b));
    EXPECT_FLOAT_EQ(0.0f, b[0]);
    EXPECT_FLOAT_EQ(1.0f, b[2]);
    EXPECT_GT(b[1], 0.5f);
    EXPECT_LT(b[1], 0.6f);
    EXPECT_FLOAT_EQ(1.0f, b[3]);
}
