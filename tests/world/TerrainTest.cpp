#include "world/Terrain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <vector>

#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/LandscapeTestSupport.h"

namespace
{

// Twice the area of a triangle of grid vertices (in cells squared).
int DoubleArea(int a, int b, int c, int g)
{
    const int ax = a % g, ay = a / g, bx = b % g, by = b / g, cx = c % g, cy = c / g;
    return std::abs((bx - ax) * (cy - ay) - (cx - ax) * (by - ay));
}

TEST(TerrainTest, LevelOfDetailListsOfOnePart)
{
    struct Case
    {
        int cells, grid, step, triangles;
    };
    const Case cases[] = {
        {18, 360, 1, 648}, {18, 360, 2, 162}, {18, 360, 3, 72}, {12, 36, 1, 288}, {12, 36, 2, 72}, {12, 36, 3, 32},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.cells << " cells, step " << c.step);
        std::vector<uint16_t> list((size_t)c.cells * c.cells * 6);
        int triangles = 0;
        BuildPartLodIndices(c.cells, c.grid, c.step, list.data(), &triangles);
        EXPECT_EQ(triangles, c.triangles);
        const int g = c.grid + 1;
        int area = 0;
        int highest = 0;
        for (int t = 0; t < triangles; ++t)
        {
            const int a = list[t * 3], b = list[t * 3 + 1], d = list[t * 3 + 2];
            area += DoubleArea(a, b, d, g);
            highest = std::max({highest, a, b, d});
            // Same winding as the full grid: up-facing for a flat part.
            const int ax = a % g, ay = a / g;
            const int cross = (b % g - ax) * (d / g - ay) - (d % g - ax) * (b / g - ay);
            EXPECT_LT(cross, 0);
        }
        // The whole part is covered, and no index reaches past the part's rows.
        EXPECT_EQ(area, 2 * c.cells * c.cells);
        EXPECT_EQ(highest, c.cells * g + c.cells);
        EXPECT_LT(highest, (2 * c.cells + 1) * g);
    }
}

TEST(TerrainTest, WaterDepthAlpha)
{
    struct Case
    {
        float h;
        uint32_t alpha;
    };
    const float w = 5.4f;
    const Case cases[] = {{w + 0.01f, 0}, {w + 10.0f, 0}, {w, 128}, {w - 1.5f, 191}, {w - 3.0f, 255}, {w - 9.0f, 255}};
    for (const Case& c : cases)
        EXPECT_EQ(TerrainWaterAlpha(c.h, w), c.alpha) << c.h;
}

TEST(TerrainTest, NormalsOfFlatAndSlopedGround)
{
    // 3 x 3 vertices, two cells per side, in the grid's triangle order.
    TerrainVertex v[9] = {};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
        {
            v[r * 3 + c].x = (float)c;
            v[r * 3 + c].z = (float)-r;
            v[r * 3 + c].y = 0.5f * c;   // rising towards +x
        }
    std::vector<uint32_t> idx;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
        {
            const uint32_t a = r * 3 + c, b = a + 1, d = a + 3, e = d + 1;
            idx.insert(idx.end(), {a, d, b, b, d, e});
        }
    CLandscape::CalcTerrainNormals(v, idx.data(), 9, (int)idx.size());
    const float len = std::sqrt(1.0f + 0.25f);
    for (const TerrainVertex& t : v)
    {
        EXPECT_NEAR(t.nx, -0.5f / len, 1e-5);
        EXPECT_NEAR(t.ny, 1.0f / len, 1e-5);
        EXPECT_NEAR(t.nz, 0.0f, 1e-5);
    }
}

TEST(TerrainTest, MeshAndPartsOfSmallArea)
{
    landtest::RecordingDevice device;
    DataTree tree;
    landtest::AreaSpec shape;
    shape.grid = 36;
    shape.parts = 3;
    shape.cells = 12;
    landtest::AddArea(tree, shape);
    testdata::DataFolder folder(tree, true);
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    CLandscape& land = g_Landscape;
    ASSERT_NE(land.terrainVB, nullptr);
    EXPECT_EQ(land.terrainVertexCount, 37 * 37);
    EXPECT_EQ(land.lodTriangles[0], 288);
    EXPECT_EQ(land.lodTriangles[1], 72);
    EXPECT_EQ(land.lodTriangles[2], 32);
    EXPECT_EQ(land.waterGridVertexCount, 16);
    EXPECT_EQ(land.waterGridTriangles, 18);

    void* data = nullptr;
    ASSERT_EQ(land.terrainVB->Lock(0, 0, &data, 0), D3D_OK);
    const TerrainVertex* v = static_cast<const TerrainVertex*>(data);
    struct Case
    {
        int r, c, sr, sc;
    };
    // The last row and column repeat the samples before them.
    const Case cases[] = {{0, 0, 0, 0}, {5, 7, 5, 7}, {36, 4, 35, 4}, {4, 36, 4, 35}, {36, 36, 35, 35}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.r << "," << c.c);
        const TerrainVertex& t = v[c.r * 37 + c.c];
        EXPECT_FLOAT_EQ(t.x, c.c * 2.0f - 36.0f);
        EXPECT_FLOAT_EQ(t.z, 36.0f - c.r * 2.0f);
        EXPECT_FLOAT_EQ(t.y, land.heights[c.sr][c.sc]);
        EXPECT_FLOAT_EQ(t.u, c.c / 36.0f);
        EXPECT_FLOAT_EQ(t.v, c.r / 36.0f);
        EXPECT_EQ(t.diffuse & 0x00FFFFFFu, 0x00FFFFFFu);
        EXPECT_EQ(t.diffuse >> 24, TerrainWaterAlpha(t.y, land.waterAltitude));
        EXPECT_NEAR(t.nx * t.nx + t.ny * t.ny + t.nz * t.nz, 1.0f, 1e-4);
        EXPECT_GT(t.ny, 0.0f);
    }
    land.terrainVB->Unlock();

    // The optimised lists hold the same triangles as the plain ones.
    for (int step = 1; step <= 3; ++step)
    {
        std::vector<uint16_t> plain(12 * 12 * 6);
        int count = 0;
        BuildPartLodIndices(12, 36, step, plain.data(), &count);
        ASSERT_NE(land.lodIndices[step - 1], nullptr);
        ASSERT_EQ(land.lodIndices[step - 1]->Lock(0, 0, &data, 0), D3D_OK);
        const uint16_t* got = static_cast<const uint16_t*>(data);
        auto key = [](const uint16_t* t) {
            // Rotate so the smallest index leads, keeping the winding.
            int m = t[0] <= t[1] && t[0] <= t[2] ? 0 : (t[1] <= t[2] ? 1 : 2);
            return std::array<int, 3>{t[m], t[(m + 1) % 3], t[(m + 2) % 3]};
        };
        std::multiset<std::array<int, 3>> a, b;
        for (int t = 0; t < count; ++t)
        {
            a.insert(key(&plain[t * 3]));
            b.insert(key(&got[t * 3]));
        }
        land.lodIndices[step - 1]->Unlock();
        EXPECT_EQ(a, b) << "step " << step;
    }

    // Parts: row-major table, base vertex, seed, name and box.
    ASSERT_EQ(land.partCount, 9);
    const CLandPart* part = land.parts[1 * 3 + 2];   // row 1, column 2
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->col, 2);
    EXPECT_EQ(part->row, 1);
    EXPECT_EQ(part->seed, 1 * 3 + 2 + 123);
    EXPECT_EQ(part->baseVertex, (37 * 1 + 2) * 12);
    EXPECT_STREQ(part->name, "Data/Landscape/Area01/02_01");
    EXPECT_FLOAT_EQ(part->boundsMin[0], 2 * 24.0f - 36.0f);
    EXPECT_FLOAT_EQ(part->boundsMin[2], 36.0f - 2 * 24.0f);
    EXPECT_FLOAT_EQ(part->boundsMax[1], 20.0f);
    EXPECT_FLOAT_EQ(part->corners[0][0], part->boundsMin[0] - 4.0f);
    EXPECT_FLOAT_EQ(part->corners[0][2], part->boundsMax[2] + 4.0f);
    EXPECT_FLOAT_EQ(part->corners[7][1], 20.0f);
    EXPECT_FLOAT_EQ(part->corners[3][2], part->boundsMin[2] - 4.0f);
    EXPECT_FLOAT_EQ(part->radius, std::sqrt(16.0f * 16.0f * 2.0f + 10.0f * 10.0f));
    // A part's base vertex is the grid point of its top-left corner.
    const int g = 37;
    EXPECT_EQ(part->baseVertex % g * 2.0f - 36.0f, part->boundsMin[0]);
    EXPECT_EQ(36.0f - part->baseVertex / g * 2.0f, part->boundsMax[2]);
}

}   // namespace
