// The route as the area load builds it: from the small test area's loop and
// the demo areas, the messages and the stopped load for broken maps, and the
// race path of the current race-table row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/RaceTable.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/LandscapeTestSupport.h"
#include "world/Route.h"

using landtest::AreaSpec;

namespace
{

class RouteLoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearRaceBlock();
        FillCareerRows();
        g_CurrentRace = 0;
    }
    void TearDown() override
    {
        g_Landscape.Release();
        ClearRaceBlock();
        g_CurrentRace = 0;
    }
    landtest::RecordingDevice m_Device;
};

TEST_F(RouteLoadTest, BrokenRouteMapsStopTheLoadWithTheirMessage)
{
    struct Case
    {
        const char* name;
        void (*edit)(AreaSpec&, std::vector<uint8_t>&);
        const char* message;
    };
    const Case cases[] = {
        {"no way points map", [](AreaSpec&, std::vector<uint8_t>& m) { m.clear(); },
         "CreateRoute() error!|Can't open way points map!"},
        {"way points map too short", [](AreaSpec&, std::vector<uint8_t>& m) { m.resize(m.size() - 1); },
         "CreateRoute() error!|Can't open way points map!"},
        {"no route power", [](AreaSpec& s, std::vector<uint8_t>&) { s.routePower = false; },
         "CreateRoute() error!|Can't open route power map!"},
        {"no start", [](AreaSpec&, std::vector<uint8_t>& m) { m[2 * 36 + 22] = 100; },
         "CreateRoute() error!|Way points map has no start point!"},
        {"no second point", [](AreaSpec&, std::vector<uint8_t>& m) { m[2 * 36 + 23] = 100; },
         "CreateRoute() error!|Way points map has no second point!"},
        {"start and second alone",
         [](AreaSpec&, std::vector<uint8_t>& m) {
             for (uint8_t& b : m)
                 b = b == 100 ? 0 : b;
         },
         "CreateRoute() error!|Way points map route is too short!"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        AreaSpec shape;
        shape.wayPoints = false;
        std::vector<uint8_t> map = landtest::RouteLoopMap(shape.grid);
        c.edit(shape, map);
        DataTree tree;
        landtest::AddArea(tree, shape);
        if (!map.empty())
            tree.Add(landtest::AreaFolder(1) + "/WayPointsMap.dat", map);
        testdata::DataFolder folder(tree, true);
        testdata::MessageCapture capture;
        EXPECT_EQ(g_Landscape.LoadArea(0, 0), 0);
        ASSERT_EQ(testdata::Messages().size(), 1u);
        EXPECT_EQ(testdata::Messages()[0], c.message);
        // Stopped before the mesh, the parts and the race path.
        EXPECT_EQ(g_Landscape.loadedArea, -1);
        EXPECT_EQ(g_Landscape.routeCount, 0);
        EXPECT_EQ(g_Landscape.routePos, nullptr);
        EXPECT_EQ(g_Landscape.parts[0], nullptr);
        EXPECT_EQ(g_RacePathCount, 0);
        EXPECT_EQ(g_RacePath, nullptr);
    }
}

// A route that winds over the whole grid, one line every second row: about
// 63000 points on a 360-cell grid.
std::vector<uint8_t> WindingRouteMap(int n)
{
    std::vector<uint8_t> map((size_t)n * n, 0);
    bool right = true;
    for (int r = 2; r + 2 < n; r += 2, right = !right)
    {
        for (int c = 2; c < n - 2; ++c)
            map[(size_t)r * n + c] = 100;
        // The turn down to the next line, at the end the line runs to.
        if (r + 4 < n)
            map[(size_t)(r + 1) * n + (right ? n - 3 : 2)] = 100;
    }
    map[2 * n + 2] = WAYPOINT_START;
    map[2 * n + 3] = WAYPOINT_SECOND;
    return map;
}

// The levelling reaches 5 / cell size cells around every route point, and
// its blur repeats once per cell of that reach: a long winding route at the
// smallest cell size would keep the load busy for many seconds. Such a load
// stops with a message before any ground changes; the same route at the demo
// areas' cell size loads.
TEST_F(RouteLoadTest, LevellingThatWouldRunForSecondsStopsTheLoad)
{
    struct Case
    {
        const char* cellSize;
        int loaded;
    } cases[] = {{"0.25", 0}, {"2.0", 1}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.cellSize);
        AreaSpec shape;
        shape.grid = 360;
        shape.parts = 20;
        shape.cells = 18;
        shape.cellSize = c.cellSize;
        shape.wayPoints = false;
        DataTree tree;
        landtest::AddArea(tree, shape);
        tree.Add(landtest::AreaFolder(1) + "/WayPointsMap.dat", WindingRouteMap(shape.grid));
        testdata::DataFolder folder(tree, true);
        testdata::MessageCapture capture;
        EXPECT_EQ(g_Landscape.LoadArea(0, 0), c.loaded);
        if (c.loaded)
        {
            EXPECT_TRUE(testdata::Messages().empty());
            EXPECT_GT(g_Landscape.routeCount, 30000);
        }
        else
        {
            ASSERT_EQ(testdata::Messages().size(), 1u);
            EXPECT_EQ(testdata::Messages()[0], "CreateRoute() error!|Way points map route is too long for the "
                                               "cell size!");
            EXPECT_EQ(g_Landscape.loadedArea, -1);
            EXPECT_EQ(g_Landscape.routeCount, 0);
            EXPECT_EQ(g_Landscape.routePos, nullptr);
        }
        g_Landscape.FreeArea();
    }
}

TEST_F(RouteLoadTest, SmallLoopIsTracedHalvedAndClosed)
{
    DataTree tree;
    landtest::AddArea(tree, AreaSpec());
    testdata::DataFolder folder(tree, true);
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    const CLandscape& land = g_Landscape;
    // The rectangle of 38 cells loses two corners to the diagonal steps: 36
    // traced points and the closing copy, halved to 19.
    ASSERT_EQ(land.routeCount, 19);
    EXPECT_EQ(land.routeType[0], WAYPOINT_START);
    EXPECT_EQ(land.routeType[land.routeCount - 1], WAYPOINT_START);
    EXPECT_EQ(land.routePos[land.routeCount - 1][0], land.routePos[0][0]);
    EXPECT_EQ(land.routePos[land.routeCount - 1][2], land.routePos[0][2]);
    // The start lies on its cell: row 2, column 22 of the 36 x 36 grid of 2.
    EXPECT_NEAR(land.routePos[0][0], 22 * 2 - 36 + 1 + 0.1f, 1e-4);
    EXPECT_NEAR(land.routePos[0][2], 36 - 2 * 2 - 1 + 0.1f, 1e-4);
    // Every point stands on the levelled ground (before the last smoothing,
    // which moves x and z a little).
    for (int i = 0; i < land.routeCount; i++)
    {
        EXPECT_GE(land.routePos[i][0], 19 * 2 - 36 - 1.0f);
        EXPECT_LE(land.routePos[i][0], 31 * 2 - 36 + 1.0f);
        EXPECT_LE(std::fabs(land.routePos[i][1] - land.GetHeight(land.routePos[i])), 1.5f) << i;
    }
}

TEST_F(RouteLoadTest, RacePathFollowsTheRowAndIsRebuiltOnTheLoadedArea)
{
    DataTree tree;
    landtest::AddArea(tree, AreaSpec());
    testdata::DataFolder folder(tree, true);
    // Row 0: one lap forward with 8 racers on the 19-point route.
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    const int m = g_Landscape.routeCount;
    EXPECT_EQ(g_RacePathCount, 4 + (m - 1) + 1);
    EXPECT_FLOAT_EQ(g_RacePathLength, g_RacePathCount * 2.0f * 2.0f);
    EXPECT_EQ(g_RacePathTypes[4], WAYPOINT_START);
    EXPECT_EQ(g_RacePathTypes[g_RacePathCount - 1], WAYPOINT_START);

    // Row 15: four laps backwards with 14 racers; only the path changes.
    IDirect3DVertexBuffer9* vb = g_Landscape.terrainVB;
    CLandPart* part = g_Landscape.parts[0];
    g_CurrentRace = 15;
    g_RaceTable.area[15] = 0;
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    EXPECT_EQ(g_Landscape.terrainVB, vb);
    EXPECT_EQ(g_Landscape.parts[0], part);
    EXPECT_EQ(g_Landscape.routeCount, m);
    // Run-up 16, 14 .. 4 ahead of the start, driven backwards.
    EXPECT_EQ(g_RacePathCount, 7 + 4 * (m - 1) + 1);
    EXPECT_EQ(g_RacePath[0][0], g_Landscape.routePos[16][0]);
    EXPECT_EQ(g_RacePath[7][0], g_Landscape.routePos[m - 1][0]);

    // Freeing the area frees the path.
    g_Landscape.FreeArea();
    EXPECT_EQ(g_RacePathCount, 0);
    EXPECT_EQ(g_RacePath, nullptr);
}

TEST_F(RouteLoadTest, DemoDataAreasHaveLongClosedRoutes)
{
    testdata::DataFolder folder(testsupport::DemoDataDir(), true);
    testdata::MessageCapture capture;
    for (int area = 0; area < 3; area++)
    {
        SCOPED_TRACE(area);
        g_CurrentRace = area;
        ASSERT_EQ(g_Landscape.LoadArea(area, 0), 1);
        const CLandscape& land = g_Landscape;
        EXPECT_GT(land.routeCount, 100);
        EXPECT_EQ(land.routePos[land.routeCount - 1][0], land.routePos[0][0]);
        // Neighbouring points about two cells apart: the route has no jumps.
        for (int i = 0; i + 1 < land.routeCount; i++)
        {
            const float dx = land.routePos[i + 1][0] - land.routePos[i][0];
            const float dz = land.routePos[i + 1][2] - land.routePos[i][2];
            EXPECT_LT(std::sqrt(dx * dx + dz * dz), 3.0f * 2 * land.cellSize) << i;
        }
        EXPECT_EQ(g_RacePathCount, 4 + (land.routeCount - 1) + 1);
    }
    EXPECT_TRUE(testdata::Messages().empty()) << testdata::Messages()[0];
}

// Each demo road keeps, after the load has levelled and smoothed the ground
// under the route, a crest that a fast motorcycle flies off: it stands more
// than three units above the road around it. Its ramps stay gentle, no
// steeper than one in six either way, so that the far side falls away
// along a flight from the top instead of a kicker throwing the motorcycle
// up and the road dropping away from under it.
TEST_F(RouteLoadTest, DemoDataAreasHaveACrestToJumpFrom)
{
    testdata::DataFolder folder(testsupport::DemoDataDir(), true);
    testdata::MessageCapture capture;
    for (int area = 0; area < 3; area++)
    {
        SCOPED_TRACE(area);
        g_CurrentRace = area;
        ASSERT_EQ(g_Landscape.LoadArea(area, 0), 1);
        const CLandscape& land = g_Landscape;
        const int n = land.routeCount;
        ASSERT_GT(n, 40);
        auto at = [&](int i) { return land.routePos[((i % n) + n) % n]; };
        // The crest: the point standing highest above the road 15 points
        // before and after it.
        int crest = 0;
        float rise = -1e9f;
        for (int i = 0; i < n; i++)
        {
            const float r = land.GetHeight(at(i)) - 0.5f * (land.GetHeight(at(i - 15)) + land.GetHeight(at(i + 15)));
            if (r > rise)
            {
                rise = r;
                crest = i;
            }
        }
        EXPECT_GT(rise, 3.0f);
        // The steepest slope over two points (about 8 units) on the crest.
        float steepest = 0.0f;
        for (int i = crest - 18; i < crest + 18; i++)
        {
            const float* a = at(i);
            const float* b = at(i + 2);
            const float run = std::hypot(b[0] - a[0], b[2] - a[2]);
            if (run > 0.0f)
                steepest = std::max(steepest, std::fabs(land.GetHeight(b) - land.GetHeight(a)) / run);
        }
        EXPECT_LT(steepest, 0.17f);
    }
    EXPECT_TRUE(testdata::Messages().empty()) << testdata::Messages()[0];
}

}   // namespace
