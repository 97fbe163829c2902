// Road barriers: chain ends, the trace through the fence map (its border and
// its longest chains), the smoothing of a traced chain, and the placed
// objects of a load: the start gate on route point 0 facing point 1, runs,
// raised tyre walls, tyre stacks, and bollards and barrels on the slope.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "scene/StaticObject.h"
#include "scene/StaticObjectManager.h"
#include "world/Fences.h"
#include "world/Landscape.h"
#include "world/LandscapeTestSupport.h"

namespace
{

std::vector<unsigned char> Map(int n, const std::vector<std::pair<int, int>>& cells, unsigned char code)
{
    std::vector<unsigned char> map((size_t)n * n, 0);
    for (const auto& c : cells)
        map[(size_t)(c.first * n + c.second)] = code;
    return map;
}

TEST(FencesTest, TracesAnLShapedChainAndSmoothsIt)
{
    const int n = 8;
    std::vector<unsigned char> map = Map(n, {{2, 2}, {2, 3}, {2, 4}, {3, 4}, {4, 4}}, 1);
    // Only the two ends start a chain.
    EXPECT_EQ(FenceNeighbours(map.data(), n, 2, 2), 1);
    EXPECT_EQ(FenceNeighbours(map.data(), n, 2, 4), 2);
    EXPECT_EQ(FenceNeighbours(map.data(), n, 4, 4), 1);
    std::vector<int> rows, cols;
    int more = 1;
    TraceFenceChain(map.data(), n, 2, 2, 1, &rows, &cols, &more);
    EXPECT_EQ(more, 0);
    EXPECT_EQ(rows, (std::vector<int>{2, 2, 2, 3, 4}));
    EXPECT_EQ(cols, (std::vector<int>{2, 3, 4, 4, 4}));
    for (unsigned char b : map)
        EXPECT_EQ(b, 0);   // traced cells belong to no other chain

    // x = column, z = -row: two passes of the running mean over points 1..2,
    // then the three end corrections, worked out by hand.
    std::vector<FencePoint> p;
    for (size_t k = 0; k < rows.size(); ++k)
        p.push_back({(float)cols[k], 0.0f, (float)-rows[k]});
    SmoothFenceChain(&p);
    const float expected[5][2] = {{115.0f / 54, -101.0f / 54},
                                  {26.0f / 9, -19.0f / 9},
                                  {95.0f / 27, -67.0f / 27},
                                  {311.0f / 81, -256.0f / 81},
                                  {661.0f / 162, -635.0f / 162}};
    for (int k = 0; k < 5; ++k)
    {
        SCOPED_TRACE(k);
        EXPECT_NEAR(p[(size_t)k].x, expected[k][0], 1e-5f);
        EXPECT_NEAR(p[(size_t)k].z, expected[k][1], 1e-5f);
    }
    // Chains of one or two points stay as they are.
    std::vector<FencePoint> two = {{1, 0, 1}, {2, 0, 3}};
    SmoothFenceChain(&two);
    EXPECT_FLOAT_EQ(two[1].z, 3.0f);
}

TEST(FencesTest, ChainsOnTheBorderStayInsideTheMap)
{
    // Along the top row into the last column and down it: every look at a
    // neighbour beyond the border counts it as empty (the sanitizer run
    // would catch a read outside), and no row wraps into the next.
    const int n = 6;
    std::vector<unsigned char> map = Map(n, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 5}, {2, 5}}, 4);
    map[(size_t)(1 * n + 0)] = 4;   // first cell of the next row, beside (0, 5) in memory
    EXPECT_EQ(FenceNeighbours(map.data(), n, 0, 5), 2);
    EXPECT_EQ(FenceNeighbours(map.data(), n, 2, 5), 1);
    std::vector<int> rows, cols;
    int more = 0;
    TraceFenceChain(map.data(), n, 2, 5, 4, &rows, &cols, &more);
    EXPECT_EQ(rows.size(), 8u);
    EXPECT_EQ(cols.back(), 0);
    EXPECT_EQ(rows.back(), 1);   // (0, 0) and (1, 0) are neighbours: the trace ends below the corner
    // A lone cell is a chain of one.
    std::vector<unsigned char> lone = Map(n, {{5, 5}}, 3);
    EXPECT_EQ(FenceNeighbours(lone.data(), n, 5, 5), 0);
    rows.clear();
    cols.clear();
    TraceFenceChain(lone.data(), n, 5, 5, 3, &rows, &cols, &more);
    EXPECT_EQ(rows.size(), 1u);
}

TEST(FencesTest, ALongChainGoesOnInANewOneFromItsLastCell)
{
    const int n = 360;
    std::vector<std::pair<int, int>> cells;
    for (int c = 10; c < 310; ++c)
        cells.push_back({100, c});
    std::vector<unsigned char> map = Map(n, cells, 1);
    std::vector<int> rows, cols;
    int more = 0;
    TraceFenceChain(map.data(), n, 100, 10, 1, &rows, &cols, &more);
    EXPECT_EQ(more, 1);
    ASSERT_EQ(rows.size(), (size_t)FENCE_CHAIN_MAX);
    EXPECT_EQ(map[(size_t)(100 * n + cols.back())], 1);   // the last cell stays painted
    const int restart = cols.back();
    rows.clear();
    cols.clear();
    TraceFenceChain(map.data(), n, 100, restart, 1, &rows, &cols, &more);
    EXPECT_EQ(more, 0);
    EXPECT_EQ(rows.size(), 300u - FENCE_CHAIN_MAX + 1u);
    EXPECT_EQ(cols.back(), 309);
}

class FenceLoadTest : public ::testing::Test
{
protected:
    landtest::RecordingDevice device;
};

const CStaticObject* Gate()
{
    for (unsigned i = 0; i < g_StaticObjects.objectCount; ++i)
        if (std::strcmp(g_StaticObjects.objects[i]->path, g_StartPlaceObject) == 0)
            return g_StaticObjects.objects[i];
    return nullptr;
}

TEST_F(FenceLoadTest, StartGateStandsOnRoutePointZeroFacingPointOne)
{
    DataTree tree;
    landtest::AddArea(tree, landtest::AreaSpec());
    testdata::DataFolder folder(tree, true);
    testdata::MessageCapture capture;
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    const CStaticObject* gate = Gate();
    ASSERT_NE(gate, nullptr);
    const float* p0 = g_Landscape.routePos[0];
    const float* p1 = g_Landscape.routePos[1];
    EXPECT_NEAR(gate->world._41, p0[0], 1e-4f);
    EXPECT_NEAR(gate->world._42, p0[1], 1e-4f);
    EXPECT_NEAR(gate->world._43, p0[2], 1e-4f);
    // Its forward axis points at point 1.
    float f[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const float l = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    EXPECT_NEAR(gate->world._31, f[0] / l, 1e-4f);
    EXPECT_NEAR(gate->world._33, f[2] / l, 1e-4f);

    // Without two route points there is no gate, and nothing is read
    // from the empty route.
    g_StaticObjects.Clear();
    const int count = g_Landscape.routeCount;
    g_Landscape.routeCount = 1;
    g_Landscape.CreateRoadFences();
    EXPECT_EQ(Gate(), nullptr);
    g_Landscape.routeCount = count;
    EXPECT_TRUE(testdata::Messages().empty());
    g_Landscape.FreeArea();
}

TEST_F(FenceLoadTest, AShortOrMissingMapPlacesNothing)
{
    for (int bytes : {-1, 36 * 36 - 1})
    {
        SCOPED_TRACE(bytes);
        DataTree tree;
        landtest::AddArea(tree, landtest::AreaSpec());
        const std::string file = landtest::AreaFolder(1) + "/FencesMap.dat";
        if (bytes < 0)
            tree.Add(file, {});
        else
            tree.Add(file, std::vector<uint8_t>((size_t)bytes, 1));
        testdata::DataFolder folder(tree, false);
        if (bytes < 0)
            std::remove((folder.Dir() + "/" + file).c_str());
        testdata::MessageCapture capture;
        ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
        ASSERT_EQ(testdata::Messages().size(), 1u);
        EXPECT_EQ(testdata::Messages()[0], "CreateRoadFences() error!|Can't open fences map!");
        EXPECT_EQ(Gate(), nullptr);
        g_Landscape.FreeArea();
    }
}

TEST_F(FenceLoadTest, RunsPlaceStretchedPiecesFacingTheNextPoint)
{
    // A straight run of five cells of a code-1 barrier: four pieces, each
    // stretched to half the way to the next point. The test area's gate box
    // stands in for the barrier.
    DataTree tree;
    landtest::AddArea(tree, landtest::AreaSpec());
    std::vector<uint8_t> map((size_t)36 * 36, 0);
    for (int c = 20; c < 25; ++c)
        map[(size_t)(30 * 36 + c)] = 1;
    tree.Add(landtest::AreaFolder(1) + "/FencesMap.dat", map);
    std::vector<uint8_t> gate;
    for (const DataTree::File& f : tree.Files())
        if (f.path == "Data/Static/StartPlace/Main.obj")
            gate = f.bytes;
    tree.Add(g_FenceObjects[0], gate);
    testdata::DataFolder folder(tree, true);
    testdata::MessageCapture capture;
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    std::vector<const CStaticObject*> pieces;
    for (unsigned i = 0; i < g_StaticObjects.objectCount; ++i)
        if (std::strcmp(g_StaticObjects.objects[i]->path, g_FenceObjects[0]) == 0)
            pieces.push_back(g_StaticObjects.objects[i]);
    ASSERT_EQ(pieces.size(), 4u);
    for (size_t k = 0; k + 1 < pieces.size(); ++k)
    {
        SCOPED_TRACE(k);
        const float dx = pieces[k + 1]->world._41 - pieces[k]->world._41;
        const float dy = pieces[k + 1]->world._42 - pieces[k]->world._42;
        const float dz = pieces[k + 1]->world._43 - pieces[k]->world._43;
        EXPECT_GT(dx, 0.0f);
        EXPECT_NEAR(pieces[k]->scale[2], std::sqrt(dx * dx + dy * dy + dz * dz) * 0.5f, 1e-3f);
        EXPECT_NEAR(pieces[k]->scale[0], 1.0f, 1e-6f);
    }
    g_Landscape.FreeArea();
}

// A straight chain of five cells of each of the codes 2 to 5 on the test
// area's sloping ground, every barrier the gate's box (5 high): a tyre wall
// raised by a sixth of its height, facing along the chain; tyre stacks of 2
// to 4 from half a height up; bollards and barrels standing on the ground,
// upright to its slope; one barrel kind for the whole chain.
TEST_F(FenceLoadTest, TyreWallsStacksBollardsAndBarrelsStandOnTheGroundAsTheirCodeSays)
{
    const float height = 5.0f;
    for (int code = 2; code <= 5; ++code)
    {
        SCOPED_TRACE(code);
        DataTree tree;
        landtest::AddArea(tree, landtest::AreaSpec());
        std::vector<uint8_t> map((size_t)36 * 36, 0);
        for (int c = 20; c < 25; ++c)
            map[(size_t)(30 * 36 + c)] = (uint8_t)code;
        tree.Add(landtest::AreaFolder(1) + "/FencesMap.dat", map);
        std::vector<uint8_t> gate;
        for (const DataTree::File& f : tree.Files())
            if (f.path == "Data/Static/StartPlace/Main.obj")
                gate = f.bytes;
        for (int k = 1; k <= 5; ++k)
            tree.Add(g_FenceObjects[k], gate);
        testdata::DataFolder folder(tree, true);
        testdata::MessageCapture capture;
        ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);

        std::vector<const CStaticObject*> pieces;
        for (unsigned i = 0; i < g_StaticObjects.objectCount; ++i)
            if (std::strcmp(g_StaticObjects.objects[i]->path, g_StartPlaceObject) != 0)
                pieces.push_back(g_StaticObjects.objects[i]);
        ASSERT_FALSE(pieces.empty());
        ASSERT_NEAR(pieces[0]->meshRecord->boundsSize[1], height, 1e-5f);
        const float cell = g_Landscape.cellSize;
        auto ground = [](float x, float z) {
            const float p[3] = {x, 0.0f, z};
            return g_Landscape.GetHeight(p);
        };
        int stacks = 0;
        float stackBase = 0.0f;
        int stackHeight = 0;
        for (size_t k = 0; k < pieces.size(); ++k)
        {
            SCOPED_TRACE(k);
            const D3DMATRIX& m = pieces[k]->world;
            const float x = m._41, y = m._42, z = m._43;
            const float floor = ground(x, z);
            if (code == 2)
            {
                EXPECT_NEAR(y, floor + height / 6.0f, 1e-4f);
                // Facing the next piece (all are raised alike); the last one
                // the piece before it.
                const D3DMATRIX& t = pieces[k + 1 < pieces.size() ? k + 1 : k - 1]->world;
                D3DXVECTOR3 towards(t._41 - x, t._42 - y, t._43 - z);
                D3DXVec3Normalize(&towards, &towards);
                EXPECT_NEAR(m._31, towards.x, 1e-4f);
                EXPECT_NEAR(m._32, towards.y, 1e-4f);
                EXPECT_NEAR(m._33, towards.z, 1e-4f);
                continue;
            }
            if (code == 3)
            {
                if (std::fabs(y - (floor + height / 2.0f)) < 1e-4f)
                {
                    if (stacks > 0)
                    {
                        EXPECT_GE(stackHeight, 2);
                        EXPECT_LE(stackHeight, 4);
                    }
                    ++stacks;
                    stackBase = y;
                    stackHeight = 1;
                }
                else
                {
                    EXPECT_NEAR(y, stackBase + height * (float)stackHeight, 1e-3f) << "on the one below";
                    ++stackHeight;
                }
            }
            else
            {
                EXPECT_NEAR(y, floor, 1e-4f);
                if (code == 5)
                {
                    EXPECT_STREQ(pieces[k]->path, pieces[0]->path) << "one barrel kind for the chain";
                }
            }
            // Upright to the slope under the cell: the normal of the ground
            // half a cell to either side behind the point.
            const D3DXVECTOR3 P(x, floor, z);
            const D3DXVECTOR3 A(x - cell / 2, ground(x - cell / 2, z - cell / 2), z - cell / 2);
            const D3DXVECTOR3 B(x + cell / 2, ground(x + cell / 2, z - cell / 2), z - cell / 2);
            const D3DXVECTOR3 pa = A - P, pb = B - P;
            D3DXVECTOR3 up;
            D3DXVec3Cross(&up, &pb, &pa);
            D3DXVec3Normalize(&up, &up);
            ASSERT_LT(up.y, 0.999f) << "the test needs a slope";
            EXPECT_NEAR(m._21, up.x, 1e-4f);
            EXPECT_NEAR(m._22, up.y, 1e-4f);
            EXPECT_NEAR(m._23, up.z, 1e-4f);
        }
        if (code == 2)
        {
            EXPECT_EQ(pieces.size(), 5u) << "one per point";
        }
        else if (code == 3)
        {
            EXPECT_EQ(stacks, 5);
            EXPECT_GE(stackHeight, 2);
            EXPECT_LE(stackHeight, 4);
        }
        else
        {
            EXPECT_EQ(pieces.size(), 5u);
        }
        if (code == 5)
        {
            EXPECT_TRUE(std::strcmp(pieces[0]->path, g_FenceObjects[4]) == 0 ||
                        std::strcmp(pieces[0]->path, g_FenceObjects[5]) == 0);
        }
        g_Landscape.FreeArea();
    }
}

}   // namespace
