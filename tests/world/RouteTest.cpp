#include "world/Route.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/RaceTable.h"
#include "tools/AreaGen.h"

namespace
{

const int kGrid = 12;

// A rectangle of route cells, rows 3..8 and columns 3..8, started at its top
// left corner and driven to the right.
std::vector<unsigned char> RectangleMap()
{
    std::vector<unsigned char> map(kGrid * kGrid, 0);
    auto set = [&](int r, int c, unsigned char v) { map[r * kGrid + c] = v; };
    for (int i = 3; i <= 8; i++)
    {
        set(3, i, 100);
        set(8, i, 100);
        set(i, 3, 100);
        set(i, 8, 100);
    }
    set(3, 3, WAYPOINT_START);
    set(3, 4, WAYPOINT_SECOND);
    set(5, 8, WAYPOINT_COPY_POWER);
    set(2, 5, 251);   // touches the route but is never followed
    set(9, 6, 255);
    return map;
}

std::vector<unsigned char> PowerMap()
{
    std::vector<unsigned char> power(kGrid * ROUTE_POWER_ROW, 0);
    for (int r = 0; r < kGrid; r++)
        for (int c = 0; c < kGrid; c++)
            power[r * ROUTE_POWER_ROW + c] = (unsigned char)(90 + r * 12 + c * 5);
    return power;
}

TEST(RouteTrace, FollowsTheLoopWithUpperRowThenSmallerColumnWinningTies)
{
    const std::vector<unsigned char> map = RectangleMap(), power = PowerMap();
    std::vector<RouteCell> cells;
    ASSERT_EQ(TraceRoute(map.data(), kGrid, power.data(), &cells), ROUTE_TRACE_OK);

    // At (7, 8) the cells (8, 7) and (8, 8) both qualify: the smaller column
    // wins. At (8, 4) the cell (7, 3) of the upper row beats (8, 3).
    const std::pair<int, int> expected[] = {
        {3, 3}, {3, 4}, {3, 5}, {3, 6}, {3, 7}, {3, 8}, {4, 8}, {5, 8}, {6, 8}, {7, 8},
        {8, 7}, {8, 6}, {8, 5}, {8, 4}, {7, 3}, {6, 3}, {5, 3}, {4, 3}, {3, 3},
    };
    ASSERT_EQ(cells.size(), sizeof(expected) / sizeof(expected[0]));
    for (size_t i = 0; i < cells.size(); i++)
    {
        EXPECT_EQ(cells[i].row, expected[i].first) << "point " << i;
        EXPECT_EQ(cells[i].col, expected[i].second) << "point " << i;
    }
    EXPECT_EQ(cells[0].type, WAYPOINT_START);
    EXPECT_EQ(cells[1].type, WAYPOINT_SECOND);
    EXPECT_EQ(cells[2].type, 100);
    EXPECT_EQ(cells[7].type, WAYPOINT_COPY_POWER);
    EXPECT_EQ(cells.back().type, WAYPOINT_START);

    auto byteAt = [&](int r, int c) { return power[r * ROUTE_POWER_ROW + c]; };
    EXPECT_FLOAT_EQ(cells[2].power, RoutePowerFromByte(byteAt(3, 5)));
    EXPECT_FLOAT_EQ(cells[6].power, RoutePowerFromByte(byteAt(4, 8)));
    EXPECT_FLOAT_EQ(cells[7].power, cells[6].power);   // the 252 cell copies
    EXPECT_NE(cells[7].power, RoutePowerFromByte(byteAt(5, 8)));
    EXPECT_FLOAT_EQ(cells[0].power, cells[2].power);
    EXPECT_FLOAT_EQ(cells[1].power, cells[2].power);
    EXPECT_FLOAT_EQ(cells.back().power, cells[0].power);
}

TEST(RouteTrace, PowerFromByte)
{
    const std::pair<int, float> cases[] = {{0, 0.0f}, {84, 0.0f}, {170, 43.723f}, {255, 87.013f}};
    for (const auto& c : cases)
        EXPECT_NEAR(RoutePowerFromByte((unsigned char)c.first), c.second, 0.01f) << c.first;
}

TEST(RouteTrace, DemoAreasTraceInTheirDrivingOrder)
{
    for (int number = 1; number <= kAreaCount; number++)
    {
        SCOPED_TRACE(number);
        const AreaData area = GenerateArea(number);
        std::vector<RouteCell> cells;
        ASSERT_EQ(TraceRoute(area.wayPoints.data(), area.gridSize, area.routePower.data(), &cells), ROUTE_TRACE_OK);
        ASSERT_EQ(cells.size(), area.route.size() + 1);
        for (size_t i = 0; i < area.route.size(); i++)
            ASSERT_EQ(cells[i].row * area.gridSize + cells[i].col, area.route[i]) << "point " << i;
        EXPECT_EQ(cells.back().row, cells[0].row);
        EXPECT_EQ(cells.back().col, cells[0].col);
    }
}

TEST(RouteTrace, BrokenMapsAreRefusedWithTheirReason)
{
    struct Case
    {
        const char* name;
        void (*edit)(std::vector<unsigned char>&);
        int result;
    };
    const Case cases[] = {
        {"no start", [](std::vector<unsigned char>& m) { m[3 * kGrid + 3] = 100; }, ROUTE_TRACE_NO_START},
        {"no second", [](std::vector<unsigned char>& m) { m[3 * kGrid + 4] = 100; }, ROUTE_TRACE_NO_SECOND},
        {"empty map", [](std::vector<unsigned char>& m) { std::fill(m.begin(), m.end(), 0); }, ROUTE_TRACE_NO_START},
        {"cut after three cells",
         [](std::vector<unsigned char>& m) {
             m[3 * kGrid + 7] = 0;   // the trace stops at (3, 6)
             for (int r = 4; r <= 8; r++)
                 m[r * kGrid + 3] = 0;   // and cannot come round the other way
         },
         ROUTE_TRACE_TOO_SHORT},
    };
    const std::vector<unsigned char> power = PowerMap();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> map = RectangleMap();
        c.edit(map);
        std::vector<RouteCell> cells(3);
        EXPECT_EQ(TraceRoute(map.data(), kGrid, power.data(), &cells), c.result);
        EXPECT_TRUE(cells.empty());
        EXPECT_STRNE(RouteTraceMessage(c.result), "");
    }
}

TEST(RouteTrace, RouteAlongTheBorderStaysInsideTheGrid)
{
    // A loop on the outermost cells: every neighbourhood reaches past the edge.
    std::vector<unsigned char> map(kGrid * kGrid, 0);
    for (int i = 0; i < kGrid; i++)
        map[i] = map[(kGrid - 1) * kGrid + i] = map[i * kGrid] = map[i * kGrid + kGrid - 1] = 100;
    map[0] = WAYPOINT_START;
    map[1] = WAYPOINT_SECOND;
    const std::vector<unsigned char> power = PowerMap();
    std::vector<RouteCell> cells;
    ASSERT_EQ(TraceRoute(map.data(), kGrid, power.data(), &cells), ROUTE_TRACE_OK);
    // Two corners are cut where a diagonal neighbour comes first.
    EXPECT_EQ(cells.size(), (size_t)(4 * (kGrid - 1) - 2 + 1));
    for (const RouteCell& c : cells)
    {
        EXPECT_GE(c.row, 0);
        EXPECT_LT(c.row, kGrid);
        EXPECT_GE(c.col, 0);
        EXPECT_LT(c.col, kGrid);
    }
}

TEST(RouteShape, HalvingKeepsEvenPointsAndClosesOnTheStart)
{
    struct Case
    {
        int count;
        std::vector<int> kept;   // original indices, the last being the start's copy
    };
    const Case cases[] = {
        {7, {0, 2, 4, 0}}, {8, {0, 2, 4, 0}}, {9, {0, 2, 4, 6, 0}}, {2, {0}}, {1, {0}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.count);
        std::vector<float> pos(c.count * 3);
        std::vector<int> type(c.count);
        std::vector<float> power(c.count);
        for (int i = 0; i < c.count; i++)
        {
            pos[i * 3] = (float)i;
            pos[i * 3 + 1] = 10.0f + i;
            pos[i * 3 + 2] = -(float)i;
            type[i] = 100 + i;
            power[i] = 0.5f * i;
        }
        const int n = HalveRoute(reinterpret_cast<float(*)[3]>(pos.data()), type.data(), power.data(), c.count);
        ASSERT_EQ(n, (int)c.kept.size());
        for (int i = 0; i < n; i++)
        {
            const int k = c.kept[i];
            EXPECT_EQ(pos[i * 3], (float)k) << i;
            EXPECT_EQ(pos[i * 3 + 1], 10.0f + k) << i;
            EXPECT_EQ(pos[i * 3 + 2], -(float)k) << i;
            EXPECT_EQ(type[i], 100 + k) << i;
            EXPECT_EQ(power[i], 0.5f * k) << i;
        }
    }
    EXPECT_EQ(HalveRoute(nullptr, nullptr, nullptr, 0), 0);
}

TEST(RouteShape, SmoothingUsesUpdatedValuesAndKeepsTheEnds)
{
    // A zigzag in x; z follows the index.
    float pos[6][3] = {{0, 5, 0}, {3, 5, 1}, {0, 5, 2}, {3, 5, 3}, {0, 5, 4}, {0, 5, 0}};
    SmoothRoute(pos, 6, 1);
    EXPECT_FLOAT_EQ(pos[0][0], 0.0f);
    EXPECT_FLOAT_EQ(pos[1][0], 1.0f);                       // (0 + 3 + 0) / 3
    EXPECT_FLOAT_EQ(pos[2][0], (1.0f + 0.0f + 3.0f) / 3);   // with point 1 already moved
    EXPECT_FLOAT_EQ(pos[3][0], (pos[2][0] + 3.0f + 0.0f) / 3);
    EXPECT_FLOAT_EQ(pos[4][0], 0.0f);   // M - 2 stays
    EXPECT_FLOAT_EQ(pos[5][0], 0.0f);   // M - 1 stays
    EXPECT_FLOAT_EQ(pos[1][2], 1.0f);
    for (auto& p : pos)
        EXPECT_FLOAT_EQ(p[1], 5.0f);   // y untouched
}

float SampleCell(const RouteGround& g, float x, float z)
{
    int col = (int)std::floor((x + g.size / 2) / g.cellSize);
    int row = (int)std::floor((g.size / 2 - z) / g.cellSize);
    col = col < 0 ? 0 : (col >= g.gridSize ? g.gridSize - 1 : col);
    row = row < 0 ? 0 : (row >= g.gridSize ? g.gridSize - 1 : row);
    return g.heights[row * g.stride + col];
}

TEST(RouteShape, FlatteningPullsTheGroundToTheRouteAndLeavesFarCellsAlone)
{
    const int n = 30;
    std::vector<float> heights(n * n, 8.0f);
    RouteGround g{heights.data(), n, n, 60.0f, 2.0f, SampleCell, nullptr};
    // A straight run along row 15 from column 5 to 24 at height 2.
    std::vector<std::array<float, 3>> points;
    for (int c = 5; c <= 24; c++)
    {
        float p[3];
        RouteCellCentre(g, 15, c, p);
        points.push_back({p[0], 2.0f, p[2]});
    }
    FlattenRoute(g, reinterpret_cast<float(*)[3]>(points.data()), (int)points.size());

    EXPECT_LT(heights[15 * n + 15], 5.0f);                   // under the route
    EXPECT_LT(heights[15 * n + 15], heights[13 * n + 15]);   // lowest on the route's line
    EXPECT_LT(heights[13 * n + 15], 8.0f);                   // across the road, two cells out
    EXPECT_FLOAT_EQ(heights[2 * n + 15], 8.0f);              // far to the side
    EXPECT_FLOAT_EQ(heights[15 * n + 0], 8.0f);              // beyond the end of the run
    // Every point's y is the ground it now stands on.
    for (const auto& p : points)
        EXPECT_FLOAT_EQ(p[1], SampleCell(g, p[0], p[2]));
}

TEST(RouteShape, FlatteningAtTheGridBorderStaysInside)
{
    const int n = 8;
    // Guard cells around the grid catch any write outside it.
    std::vector<float> store(n * n + 2 * n, -1.0f);
    float* heights = store.data() + n;
    for (int i = 0; i < n * n; i++)
        heights[i] = 4.0f;
    RouteGround g{heights, n, n, 16.0f, 2.0f, SampleCell, nullptr};
    float points[4][3];
    const int cells[4][2] = {{0, 0}, {0, 7}, {7, 7}, {0, 0}};
    for (int i = 0; i < 4; i++)
    {
        RouteCellCentre(g, cells[i][0], cells[i][1], points[i]);
        points[i][1] = 1.0f;
    }
    FlattenRoute(g, points, 4);
    for (int i = 0; i < n; i++)
    {
        EXPECT_EQ(store[i], -1.0f);
        EXPECT_EQ(store[n + n * n + i], -1.0f);
    }
    EXPECT_LT(heights[0], 4.0f);
}

TEST(RouteShape, LevellingReachIsCheckedBeforeItBecomesCells)
{
    const float nan = std::nanf("");
    const float inf = std::numeric_limits<float>::infinity();
    const struct
    {
        float cellSize;
        int reach;
    } cases[] = {{2.0f, 2},  {1.0f, 5},   {0.25f, 20},  {0.2499f, -1}, {100.0f, 0}, {1e30f, 0},
                 {0.0f, -1}, {-2.0f, -1}, {1e-30f, -1}, {nan, -1},     {inf, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(RouteReach(c.cellSize), c.reach) << c.cellSize;
}

// The levelling counts its work before it starts. Over the bound it changes
// nothing: neither the ground nor the points.
TEST(RouteShape, LevellingOverItsBoundLeavesEverythingAlone)
{
    const int n = 360;
    std::vector<float> heights(n * n);
    for (int i = 0; i < n * n; i++)
        heights[i] = (float)(i % 13);
    const std::vector<float> before = heights;
    RouteGround g{heights.data(), n, n, n * 0.25f, 0.25f, SampleCell, nullptr};
    // Every cell of every second row: far more levelling than any area needs.
    std::vector<std::array<float, 3>> points;
    for (int r = 2; r < n - 2; r += 2)
        for (int c = 2; c < n - 2; c++)
        {
            float p[3];
            RouteCellCentre(g, r, c, p);
            points.push_back({p[0], 1.0f, p[2]});
        }
    const std::vector<std::array<float, 3>> pointsBefore = points;
    float(*pos)[3] = reinterpret_cast<float(*)[3]>(points.data());
    const int count = (int)points.size();
    ASSERT_GT(FlattenRouteCells(g, pos, count), ROUTE_MAX_LEVELLING_CELLS);

    EXPECT_EQ(FlattenRoute(g, pos, count), 0);
    EXPECT_TRUE(heights == before);
    EXPECT_TRUE(points == pointsBefore);

    // The first few hundred points alone are levelled.
    EXPECT_LT(FlattenRouteCells(g, pos, 400), ROUTE_MAX_LEVELLING_CELLS);
    EXPECT_EQ(FlattenRoute(g, pos, 400), 1);
    EXPECT_FALSE(heights == before);
}

// The count of visited cells is exact: levelling square, blur squares of half
// size 0 .. reach and the last one of reach + 2, each cut to the grid.
TEST(RouteShape, LevellingWorkCountsTheCellsInsideTheGrid)
{
    const int n = 30;
    std::vector<float> heights(n * n, 1.0f);
    RouteGround g{heights.data(), n, n, 60.0f, 2.0f, SampleCell, nullptr};
    float p[2][3];
    RouteCellCentre(g, 15, 15, p[0]);   // reach 2: everything inside
    RouteCellCentre(g, 0, 0, p[1]);     // in the corner: only a quarter and a bit
    EXPECT_EQ(FlattenRouteCells(g, p, 1), 25 + (1 + 9 + 25) + 81);
    EXPECT_EQ(FlattenRouteCells(g, p + 1, 1), 9 + (1 + 4 + 9) + 25);
    // Far outside the grid (or not a number at all): nothing to visit.
    const float far[2][3] = {{1e30f, 0, 1e30f}, {std::nanf(""), 0, -5.0f}};
    EXPECT_EQ(FlattenRouteCells(g, far, 2), 0);
}

// A route whose x is its point index, so paths can be read back as indices.
class RacePathTest : public ::testing::Test
{
protected:
    void MakeRoute(int count)
    {
        pos.assign(count, {0, 0, 0});
        type.assign(count, 0);
        for (int i = 0; i < count; i++)
        {
            pos[i][0] = (float)i;
            type[i] = 100 + i;
        }
        if (count > 0)
        {
            pos[count - 1] = pos[0];
            type[count - 1] = type[0];
        }
    }
    std::vector<int> PathIndices() const
    {
        std::vector<int> out;
        for (int i = 0; i < g_RacePathCount; i++)
        {
            out.push_back((int)g_RacePath[i][0]);
            EXPECT_EQ(g_RacePathTypes[i], 100 + out.back()) << i;
        }
        return out;
    }
    void Build(unsigned laps, int reverse, unsigned racers)
    {
        BuildRacePath(reinterpret_cast<const float(*)[3]>(pos.data()), type.data(), (unsigned)pos.size(), laps, reverse,
                      racers, 2.0f);
    }
    void TearDown() override { FreeRacePath(); }

    std::vector<std::array<float, 3>> pos;
    std::vector<int> type;
};

TEST_F(RacePathTest, PointCountsForwardAndReverse)
{
    struct Case
    {
        int route;
        unsigned laps;
        int reverse;
        unsigned racers;
        int points;
    };
    const Case cases[] = {
        {10, 3, 0, 8, 4 + 27 + 1},
        {10, 3, 1, 6, 3 + 27 + 1},
        {40, 3, 0, 9, 5 + 3 * 39 + 1},   // odd grid: run-up rounded up
        {40, 3, 1, 9, 5 + 3 * 39 + 1},
        {10, 3, 0, 9, 27 + 1},   // more racers than M - 2: no run-up
        {10, 3, 1, 8, 27 + 1},   // the run-up would start past the route's end
        {10, 0, 0, 2, 2},        // an unfilled row: run-up and start only
        {1, 2, 0, 8, 0},
        {0, 2, 0, 8, 0},   // empty route: nothing, no wrapped count
        {0, 2, 1, 8, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.route << " points, " << c.laps << " laps, reverse " << c.reverse << ", "
                                        << c.racers << " racers");
        MakeRoute(c.route);
        Build(c.laps, c.reverse, c.racers);
        EXPECT_EQ(g_RacePathCount, c.points);
        EXPECT_EQ(RacePathPoints(c.route, c.laps, c.reverse, c.racers), (unsigned)c.points);
        EXPECT_FLOAT_EQ(g_RacePathLength, c.points * 2.0f * 2.0f);
        EXPECT_EQ(g_RacePath == nullptr, c.points == 0);
        for (int i : PathIndices())
        {
            EXPECT_GE(i, 0);
            EXPECT_LT(i, c.route);
        }
    }
}

TEST_F(RacePathTest, OrderOfRunUpLapsAndFinish)
{
    MakeRoute(8);
    Build(2, 0, 4);
    EXPECT_EQ(PathIndices(), (std::vector<int>{2, 4, 0, 1, 2, 3, 4, 5, 6, 0, 1, 2, 3, 4, 5, 6, 0}));

    // Backwards each lap starts on point 7, the start's copy.
    Build(2, 1, 4);
    EXPECT_EQ(PathIndices(), (std::vector<int>{6, 4, 0, 6, 5, 4, 3, 2, 1, 0, 6, 5, 4, 3, 2, 1, 0}));
}

}   // namespace
