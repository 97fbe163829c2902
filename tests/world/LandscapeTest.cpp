#include "world/Landscape.h"

#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "core/Settings.h"
#include "platform/os/Rand.h"
#include "world/LandPart.h"
#include "world/LandscapeTestSupport.h"
#include "world/NatureManager.h"

using landtest::AreaSpec;

namespace
{

float Pos(float x, float z, float p[3])
{
    p[0] = x;
    p[1] = 0.0f;
    p[2] = z;
    return 0.0f;
}

struct FailureCase
{
    const char* name;
    AreaSpec shape;
    const char* message;   // "caption|text", or "" for none
};

std::vector<FailureCase> FailureCases()
{
    std::vector<FailureCase> cases;
    auto add = [&](const char* name, const char* message, auto change) {
        AreaSpec s;
        s.number = 2;
        change(s);
        cases.push_back({name, s, message});
    };
    add("NoLandscapeData", "", [](AreaSpec& s) { s.landscapeData = false; });
    add("NoHeightMap", "Error!|Can't open height map data!", [](AreaSpec& s) { s.heightMap = false; });
    add("ShortHeightMap", "Error!|Can't open height map data!", [](AreaSpec& s) { s.heightBytes = 36 * 36 - 1; });
    add("NoPlaceMap", "LoadArea() error!|Open static objects place map error!",
        [](AreaSpec& s) { s.placeMap = false; });
    add("ShortPlaceMap", "LoadArea() error!|Open static objects place map error!",
        [](AreaSpec& s) { s.placeBytes = 100; });
    add("GridOver360", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) {
        s.grid = 380;
        s.parts = 20;
        s.cells = 19;
    });
    add("PartsTimesCellsNotGrid", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) { s.cells = 17; });
    add("PartsOver32", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) {
        s.parts = 36;
        s.cells = 1;
    });
    add("CellSizeZero", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) { s.cellSize = "0"; });
    add("CellSizeBelowHundredth", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) { s.cellSize = "0.004"; });
    // The route levelling reaches 5 / cell size cells: a hundredth would keep
    // the load busy for minutes on a full grid.
    add("CellSizeHundredth", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) { s.cellSize = "0.01"; });
    add("CellSizeJustBelowQuarter", "LoadArea() error!|Wrong landscape data!",
        [](AreaSpec& s) { s.cellSize = "0.2499"; });
    add("CellSizeOver100", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) { s.cellSize = "100.01"; });
    // Far beyond an int once scaled, beyond a float, and no number at all:
    // each refused before any conversion.
    add("CellSizeHuge", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) { s.cellSize = "1e30"; });
    add("CellSizeBeyondFloat", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) { s.cellSize = "1e300"; });
    add("CellSizeInfinite", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) { s.cellSize = "inf"; });
    add("CellSizeNaN", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) { s.cellSize = "nan"; });
    add("HeightScaleBeyondFloat", "LoadArea() error!|Wrong landscape data!",
        [](AreaSpec& s) { s.heightScale = "1e300"; });
    add("HeightScaleNaN", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) { s.heightScale = "nan"; });
    add("GridBeyondLong", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) {
        s.dataText = "Grid size\n99999999999999999999\nParts per side\n2\nPart "
                     "cells\n18\n"
                     "Cell size\n2.0\nHeight scale\n20.0\n";
    });
    add("NegativeHeightScale", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) { s.heightScale = "-5"; });
    add("PartListsBeyond16Bits", "LoadArea() error!|Wrong landscape data!", [](AreaSpec& s) {
        s.grid = 360;
        s.parts = 1;
        s.cells = 360;
    });
    add("TruncatedData", "LoadArea() error!|Wrong landscape data!",
        [](AreaSpec& s) { s.dataText = "Grid size\n36\nParts per side\n2\n"; });
    add("TextValues", "LoadArea() error!|Wrong landscape data!",
        [](AreaSpec& s) { s.dataText = "a\nb\nc\nd\ne\nf\ng\nh\ni\nj\n"; });
    return cases;
}

class LandscapeLoadTest : public ::testing::TestWithParam<bool>
{};

// Each missing or damaged file fails the load with its message, and no area
// is left loaded: the next load of a good area starts from scratch.
TEST_P(LandscapeLoadTest, FailuresLeaveNoAreaLoaded)
{
    landtest::RecordingDevice device;
    for (const FailureCase& c : FailureCases())
    {
        SCOPED_TRACE(c.name);
        DataTree tree;
        landtest::AddArea(tree, AreaSpec());   // area 1 is good
        landtest::AddArea(tree, c.shape);      // area 2 is not
        testdata::DataFolder folder(tree, GetParam());
        testdata::MessageCapture capture;

        ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
        EXPECT_EQ(g_Landscape.loadedArea, 0);
        testdata::Messages().clear();

        EXPECT_EQ(g_Landscape.LoadArea(1, 0), 0);
        if (c.message[0])
        {
            ASSERT_EQ(testdata::Messages().size(), 1u);
            EXPECT_EQ(testdata::Messages()[0], c.message);
        }
        else
        {
            EXPECT_TRUE(testdata::Messages().empty());
        }
        EXPECT_EQ(g_Landscape.loadedArea, -1);
        EXPECT_EQ(g_Landscape.partCount, 0);
        EXPECT_EQ(g_Landscape.parts[0], nullptr);
        EXPECT_EQ(g_Landscape.terrainVB, nullptr);
        EXPECT_EQ(g_Landscape.size, 0.0f);
        float p[3];
        Pos(1.0f, 1.0f, p);
        EXPECT_EQ(g_Landscape.GetHeight(p), 0.0f);
        // No body for an area that is not loaded.
        g_Landscape.Update();
        EXPECT_EQ(g_Landscape.heightBody, nullptr);

        // Area 1 again is a full load, not a refresh of a freed area.
        EXPECT_EQ(g_Landscape.LoadArea(0, 0), 1);
        EXPECT_EQ(g_Landscape.loadedArea, 0);
        EXPECT_NE(g_Landscape.parts[0], nullptr);
        g_Landscape.FreeArea();
    }
}

// The ends of the cell size range load.
TEST_P(LandscapeLoadTest, CellSizeRangeEndsLoad)
{
    landtest::RecordingDevice device;
    for (const char* cellSize : {"0.25", "100"})
    {
        SCOPED_TRACE(cellSize);
        AreaSpec shape;
        shape.cellSize = cellSize;
        DataTree tree;
        landtest::AddArea(tree, shape);
        testdata::DataFolder folder(tree, GetParam());
        testdata::MessageCapture capture;
        EXPECT_EQ(g_Landscape.LoadArea(0, 0), 1);
        EXPECT_TRUE(testdata::Messages().empty());
        EXPECT_FLOAT_EQ(g_Landscape.size, 36 * std::stof(cellSize));
        g_Landscape.FreeArea();
    }
}

TEST_P(LandscapeLoadTest, MissingColoursDoNotStopTheLoad)
{
    landtest::RecordingDevice device;
    DataTree tree;
    AreaSpec s;
    s.colours = false;
    landtest::AddArea(tree, s);
    testdata::DataFolder folder(tree, GetParam());
    testdata::MessageCapture capture;
    ASSERT_EQ(g_Landscape.LoadArea(0, 1), 1);
    EXPECT_TRUE(testdata::Messages().empty());
    EXPECT_EQ(g_Landscape.colors, nullptr);
    float p[3], colour[4];
    Pos(3.0f, 3.0f, p);
    g_Landscape.GetColor(colour, p);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[3], 1.0f);
}

// A second load of the loaded area keeps terrain and parts; only the season's
// textures and colours follow a new season.
TEST_P(LandscapeLoadTest, SameAreaOnlyRefreshes)
{
    landtest::RecordingDevice device;
    DataTree tree;
    landtest::AddArea(tree, AreaSpec());
    testdata::DataFolder folder(tree, GetParam());
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    g_Landscape.Update();
    CLandPart* part = g_Landscape.parts[3];
    IDirect3DVertexBuffer9* vb = g_Landscape.terrainVB;
    btRigidBody* body = g_Landscape.heightBody;
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(g_Landscape.loadedSeason, 0);
    const unsigned char summerGreen = g_Landscape.colors[1];

    EXPECT_EQ(g_Landscape.LoadArea(0, 0), 1);
    EXPECT_EQ(g_Landscape.parts[3], part);
    EXPECT_EQ(g_Landscape.terrainVB, vb);
    EXPECT_EQ(g_Landscape.heightBody, body);

    EXPECT_EQ(g_Landscape.LoadArea(0, 2), 1);
    EXPECT_EQ(g_Landscape.parts[3], part);
    EXPECT_EQ(g_Landscape.heightBody, body);
    EXPECT_EQ(g_Landscape.loadedSeason, 2);
    ASSERT_NE(g_Landscape.colors, nullptr);
    EXPECT_NE(g_Landscape.colors[1], summerGreen);
}

// The nature's season textures come with an area's load and go with the
// landscape's release: a later load, on another device, loads them anew
// instead of drawing with ids of a device that is gone.
TEST_P(LandscapeLoadTest, ReleaseGivesBackTheNatureTexturesOfTheLoad)
{
    DataTree tree;
    landtest::AddArea(tree, AreaSpec());
    testdata::DataFolder folder(tree, GetParam());
    {
        landtest::RecordingDevice device;
        ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
        ASSERT_EQ(g_Nature.loadedSeason, 0);
        g_Landscape.Release();
    }
    EXPECT_EQ(g_Nature.loadedSeason, -1);
    for (TextureId id : {g_Nature.grassTexture, g_Nature.leafTexture, g_Nature.stemTexture, g_Nature.stoneTexture})
        EXPECT_EQ(id, -1);
}

// "Game.ini" is read after the landscape is built, and glow may be changed in
// the options or switched off by the device later: every load, a same-area
// refresh included, takes the terrain diffuse from the setting as it is then.
TEST_P(LandscapeLoadTest, TerrainDiffuseFollowsGlowAtEveryLoad)
{
    landtest::RecordingDevice device;
    DataTree tree;
    landtest::AddArea(tree, AreaSpec());
    testdata::DataFolder folder(tree, GetParam());
    const int savedGlow = g_GlowOn;
    for (int glow : {0, 1})
    {
        SCOPED_TRACE(glow);
        g_Landscape.FreeArea();
        g_GlowOn = glow;
        ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
        const float expected = glow ? 1.0f : 2.0f;
        const D3DCOLORVALUE& diffuse = g_Landscape.terrainMaterial.Diffuse;
        EXPECT_EQ(diffuse.r, expected);
        EXPECT_EQ(diffuse.g, expected);
        EXPECT_EQ(diffuse.b, expected);
        EXPECT_EQ(diffuse.a, 1.0f);

        // Switched before the next race on the same area.
        g_GlowOn = !glow;
        ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
        EXPECT_EQ(diffuse.r, glow ? 2.0f : 1.0f);
    }
    g_GlowOn = savedGlow;
}

// The generated demo areas, from the packs and as loose files.
TEST_P(LandscapeLoadTest, DemoDataAreasLoad)
{
    landtest::RecordingDevice device;
    testdata::DataFolder folder(testsupport::DemoDataDir(), GetParam());
    testdata::MessageCapture capture;
    ASSERT_EQ(g_Landscape.LoadSurfaces(), 1);
    EXPECT_NE(g_Landscape.waterNoiseTexture, -1);
    EXPECT_NE(g_Landscape.detailMapTexture, -1);
    EXPECT_NE(g_Landscape.roadSectoringTexture, -1);
    float firstHeights[3] = {};
    for (int area = 0; area < 3; ++area)
    {
        SCOPED_TRACE(area);
        ASSERT_EQ(g_Landscape.LoadArea(area, area), 1);
        EXPECT_EQ(g_Landscape.loadedArea, area);
        EXPECT_EQ(g_Landscape.gridSize, 360);
        EXPECT_EQ(g_Landscape.partCount, 400);
        EXPECT_EQ(g_Landscape.partCells, 18);
        EXPECT_FLOAT_EQ(g_Landscape.size, 720.0f);
        EXPECT_NE(g_Landscape.parts[399], nullptr);
        EXPECT_NE(g_Landscape.terrainVB, nullptr);
        EXPECT_EQ(g_Landscape.terrainVertexCount, 361 * 361);
        EXPECT_EQ(g_Landscape.lodTriangles[0], 648);
        EXPECT_EQ(g_Landscape.lodTriangles[1], 162);
        EXPECT_EQ(g_Landscape.lodTriangles[2], 72);
        EXPECT_NE(g_Landscape.lodIndices[2], nullptr);
        EXPECT_NE(g_Landscape.waterGridIndices, nullptr);
        EXPECT_NE(g_Landscape.colors, nullptr);
        EXPECT_NE(g_Landscape.landscapeTexture, -1);
        EXPECT_NE(g_Landscape.routeMapTexture, -1);
        EXPECT_NE(g_Landscape.roadAlphaTexture, -1);
        EXPECT_NE(g_Landscape.roadTexture1, -1);
        EXPECT_NE(g_Landscape.roadTexture2, -1);
        // Real hills, and a pond below the water line.
        float low = 1e9f, high = -1e9f;
        for (int r = 0; r < 360; ++r)
            for (int c = 0; c < 360; ++c)
            {
                low = std::min(low, g_Landscape.heights[r][c]);
                high = std::max(high, g_Landscape.heights[r][c]);
            }
        EXPECT_GT(high - low, 15.0f);
        EXPECT_LT(low, g_Landscape.waterAltitude);
        // Some road power somewhere, none at the border.
        int road = 0;
        for (int r = 0; r < 360; ++r)
            for (int c = 0; c < 360; ++c)
                road += g_Landscape.routePowerMap[r][c] > 0;
        EXPECT_GT(road, 100);
        EXPECT_EQ(g_Landscape.routePowerMap[0][0], 0);
        firstHeights[area] = g_Landscape.heights[100][200];
    }
    EXPECT_TRUE(testdata::Messages().empty()) << testdata::Messages()[0];
    EXPECT_TRUE(firstHeights[0] != firstHeights[1] || firstHeights[1] != firstHeights[2]);
    g_Landscape.Release();
    EXPECT_EQ(g_Landscape.waterNoiseTexture, -1);
    EXPECT_EQ(g_Landscape.landscapeTexture, -1);
}

INSTANTIATE_TEST_SUITE_P(PackAndLoose, LandscapeLoadTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Packs" : "Loose"; });

// ---------------------------------------------------------------------------
// Ground queries on the small area: heights of the pattern in landtest.

class GroundQueryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        landtest::AddArea(m_Tree, AreaSpec());
        m_Folder.reset(new testdata::DataFolder(m_Tree, true));
        ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    }
    void TearDown() override
    {
        g_Landscape.Release();
        m_Folder.reset();
    }
    static float H(int r, int c) { return landtest::HeightByte(r, c) * 0.003921569f * 20.0f; }
    DataTree m_Tree;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

TEST_F(GroundQueryTest, HeightOnGridPointsLinesAndCells)
{
    // Area of 36 cells of 2: x from -36 to 36, z from 36 down to -36.
    struct Case
    {
        const char* name;
        float x, z;
        float expect;
    };
    const Case cases[] = {
        {"grid point", -36.0f + 2 * 5, 36.0f - 2 * 7, H(7, 5)},
        {"grid point far corner", -36.0f + 2 * 35, 36.0f - 2 * 35, H(35, 35)},
        // On a vertical grid line halfway down a cell: between the two samples of that line.
        {"vertical line", -36.0f + 2 * 9, 36.0f - 2 * 4 - 1.0f, (H(4, 9) + H(5, 9)) / 2},
        // On a horizontal grid line halfway along a cell.
        {"horizontal line", -36.0f + 2 * 9 + 1.0f, 36.0f - 2 * 4, (H(4, 9) + H(4, 10)) / 2},
        // Cell centre: mean of the two diagonal corners.
        {"cell centre", -36.0f + 2 * 12 + 1.0f, 36.0f - 2 * 20 - 1.0f, (H(21, 12) + H(20, 13)) / 2},
        // Beyond the last row and column: flat continuation of the border samples.
        {"beyond last corner", 50.0f, -50.0f, H(35, 35)},
        {"before first corner", -50.0f, 50.0f, H(0, 0)},
        {"just before first column", -36.5f, 36.0f - 2 * 3, H(3, 0)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        float p[3] = {c.x, 123.0f, c.z};
        EXPECT_NEAR(g_Landscape.GetHeight(p), c.expect, 1e-4);
    }
    // Points on both sides of a grid line meet on it.
    for (int r = 2; r < 30; r += 3)
    {
        const float z = 36.0f - 2.0f * r;
        for (float x = -30.0f; x < 30.0f; x += 0.37f)
        {
            float above[3] = {x, 0, z + 1e-4f}, on[3] = {x, 0, z}, below[3] = {x, 0, z - 1e-4f};
            EXPECT_NEAR(g_Landscape.GetHeight(above), g_Landscape.GetHeight(on), 2e-3);
            EXPECT_NEAR(g_Landscape.GetHeight(below), g_Landscape.GetHeight(on), 2e-3);
        }
    }
}

TEST_F(GroundQueryTest, CellHeightRoutePowerAndColour)
{
    struct Case
    {
        float x, z;
        int row, col;
    };
    const Case cases[] = {
        {-35.0f, 35.0f, 0, 0},     {-36.0f + 2 * 7 + 0.5f, 36.0f - 2 * 3 - 1.5f, 3, 7},
        {35.9f, -35.9f, 35, 35},   {100.0f, 0.5f, 17, 35},
        {-100.0f, -100.0f, 35, 0},   // outside: the nearest border cell
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.row << "," << c.col);
        float p[3] = {c.x, 0.0f, c.z};
        EXPECT_FLOAT_EQ(g_Landscape.GetCellHeight(p), H(c.row, c.col));
        const int powerByte = (c.row * 5 + c.col) % 256;
        EXPECT_NEAR(g_Landscape.GetRoutePower(p), powerByte / 255.0f * 100.0f, 1e-3);
        float colour[4];
        g_Landscape.GetColor(colour, p);
        const int i = c.row * 36 + c.col;
        EXPECT_NEAR(colour[0], (i % 251) / 255.0f, 1e-5);
        EXPECT_NEAR(colour[1], 40 / 255.0f, 1e-5);
        EXPECT_NEAR(colour[2], c.row / 255.0f, 1e-5);
        EXPECT_EQ(colour[3], 1.0f);
    }
}

TEST_F(GroundQueryTest, FarAndNonFinitePositionsGiveBorderCells)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case
    {
        float x, z;
        int row, col;
    };
    const Case cases[] = {
        {1e30f, -1e30f, 35, 35}, {-1e30f, 1e30f, 0, 0}, {inf, 2.0f, 17, 35}, {-inf, -inf, 35, 0}, {nan, nan, 0, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.z);
        float p[3] = {c.x, 0.0f, c.z};
        EXPECT_FLOAT_EQ(g_Landscape.GetCellHeight(p), H(c.row, c.col));
        EXPECT_FLOAT_EQ(g_Landscape.GetHeight(p), H(c.row, c.col));
        EXPECT_TRUE(std::isfinite(g_Landscape.GetRoutePower(p)));
        float colour[4];
        g_Landscape.GetColor(colour, p);
        EXPECT_NEAR(colour[2], c.row / 255.0f, 1e-5);
    }
}

// The terrain body and GetHeight describe the same surface: a vertical ray
// meets the body where GetHeight says the ground is.
void ExpectHeightMatchesRays(int samples, unsigned seed)
{
    g_Landscape.Update();
    ASSERT_NE(g_Landscape.heightBody, nullptr);
    EXPECT_EQ(g_Landscape.heightBody->getUserPointer(), &g_Landscape);
    const float half = g_Landscape.size / 2.0f;
    const float cs = g_Landscape.cellSize;
    const int n = g_Landscape.gridSize;
    std::vector<std::pair<float, float>> points;
    GameSrand(seed);
    auto unit = [] { return GameRand() / 32767.0f; };
    for (int i = 0; i < samples; ++i)
    {
        const int r = 1 + GameRand() % (n - 2), c = 1 + GameRand() % (n - 2);
        const float x0 = c * cs - half, z0 = half - r * cs;
        points.push_back({x0, z0});                     // grid point
        points.push_back({x0 + unit() * cs, z0});       // horizontal grid line
        points.push_back({x0, z0 - unit() * cs});       // vertical grid line
        points.push_back({x0 + cs / 2, z0 - cs / 2});   // cell centre (diagonal)
        const float t = unit();
        points.push_back({x0 + t * cs, z0 - (1 - t) * cs});       // on the diagonal
        points.push_back({x0 + unit() * cs, z0 - unit() * cs});   // anywhere in the cell
    }
    int checked = 0;
    for (const auto& pt : points)
    {
        const float from[3] = {pt.first, 1000.0f, pt.second};
        const float to[3] = {pt.first, -1000.0f, pt.second};
        float hit[3];
        ASSERT_EQ(g_Landscape.RayTest(from, to, hit), 1) << pt.first << "," << pt.second;
        float p[3] = {pt.first, 0.0f, pt.second};
        EXPECT_NEAR(g_Landscape.GetHeight(p), hit[1], 1e-3) << pt.first << "," << pt.second;
        ++checked;
    }
    EXPECT_EQ(checked, (int)points.size());
}

TEST_F(GroundQueryTest, HeightAgreesWithTerrainBody)
{
    ExpectHeightMatchesRays(60, 5);
    // A ray that misses the terrain reports nothing.
    const float from[3] = {0.0f, 500.0f, 0.0f}, to[3] = {0.0f, 400.0f, 0.0f};
    EXPECT_EQ(g_Landscape.RayTest(from, to, nullptr), 0);
}

TEST(GroundQueryDemoDataTest, HeightAgreesWithTerrainBodyOnDemoArea)
{
    testdata::DataFolder folder(testsupport::DemoDataDir(), true);
    ASSERT_EQ(g_Landscape.LoadArea(1, 0), 1);
    ExpectHeightMatchesRays(300, 11);
    g_Landscape.Release();
}

TEST(GroundQueryDemoDataTest, NothingLoadedMeansNoBodyAndZeroHeight)
{
    std::unique_ptr<CLandscape> land(new CLandscape());
    land->Update();
    land->CreatePhysics();
    EXPECT_EQ(land->heightBody, nullptr);
    const float p[3] = {1.0f, 2.0f, 3.0f};
    EXPECT_EQ(land->GetHeight(p), 0.0f);
    EXPECT_EQ(land->GetCellHeight(p), 0.0f);
    EXPECT_EQ(land->RayTest(p, p, nullptr), 0);
    // After an area is freed its body is gone and none is built again.
    testdata::DataFolder folder(testsupport::DemoDataDir(), true);
    ASSERT_EQ(g_Landscape.LoadArea(2, 0), 1);
    g_Landscape.Update();
    EXPECT_NE(g_Landscape.heightBody, nullptr);
    g_Landscape.FreeArea();
    EXPECT_EQ(g_Landscape.heightBody, nullptr);
    g_Landscape.Update();
    EXPECT_EQ(g_Landscape.heightBody, nullptr);
    EXPECT_EQ(g_Landscape.RayTest(p, p, nullptr), 0);
    g_Landscape.Release();
}

}   // namespace

#include "common/Keywords.h"
#include "core/Physics.h"
#include "scene/StaticObject.h"

namespace
{

// The terrain body goes into the game's world on the first update after a
// load, is recognised as the landscape by the class filter, and leaves the
// world with the area.
TEST(TerrainBodyTest, JoinsAndLeavesTheWorld)
{
    ASSERT_EQ(g_PhysicsWorld.Create(), 1);
    {
        DataTree tree;
        landtest::AddArea(tree, AreaSpec());
        testdata::DataFolder folder(tree, true);
        ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
        EXPECT_EQ(g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(), 0);
        g_Landscape.Update();
        ASSERT_NE(g_Landscape.heightBody, nullptr);
        g_Landscape.Update();   // built once
        EXPECT_EQ(g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(), 1);
        const btRigidBody* body = g_Landscape.heightBody;
        EXPECT_EQ(GetCollisionIndex(body->getUserPointer()), 0);
        EXPECT_TRUE(body->isStaticObject());
        EXPECT_EQ(body->getActivationState(), DISABLE_DEACTIVATION);
        EXPECT_FLOAT_EQ(body->getFriction(), 0.5f);
        EXPECT_FLOAT_EQ(body->getRestitution(), 0.0f);

        // A dynamic ball dropped on the ground comes to rest on the height
        // GetHeight gives.
        CStaticObject holder;
        holder.objectClass = GCLASS_DYNAMIC;
        btSphereShape ball(0.5f);
        btVector3 inertia(0, 0, 0);
        ball.calculateLocalInertia(1.0f, inertia);
        btTransform start;
        start.setIdentity();
        start.setOrigin(btVector3(3.3f, 30.0f, -5.7f));
        btDefaultMotionState motion(start);
        btRigidBody drop(btRigidBody::btRigidBodyConstructionInfo(1.0f, &motion, &ball, inertia));
        drop.setUserPointer(&holder);
        drop.setDamping(0.5f, 0.9f);
        g_PhysicsWorld.dynamicsWorld->addRigidBody(&drop);
        for (int i = 0; i < 600; ++i)
        {
            g_PhysicsWorld.dynamicsWorld->stepSimulation(1.0f / 60.0f, 1, 1.0f / 60.0f);
            g_PhysicsWorld.ProcessContacts();   // marks both partners of a contact as touched
        }
        const btVector3 at = drop.getWorldTransform().getOrigin();
        const float p[3] = {at.x(), 0.0f, at.z()};
        EXPECT_TRUE(holder.touched);
        EXPECT_GT(at.y(), g_Landscape.GetHeight(p) + 0.3f);
        EXPECT_LT(at.y(), g_Landscape.GetHeight(p) + 0.6f);
        g_PhysicsWorld.dynamicsWorld->removeRigidBody(&drop);

        g_Landscape.FreeArea();
        EXPECT_EQ(g_Landscape.heightBody, nullptr);
        EXPECT_EQ(g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(), 0);
        // The season's textures too, or a later load would take them as
        // loaded.
        g_Landscape.Release();
    }
    g_PhysicsWorld.Destroy();
}

}   // namespace
