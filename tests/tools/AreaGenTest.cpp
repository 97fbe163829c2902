#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "platform/image/ImageDecode.h"
#include "tools/AreaGen.h"
#include "tools/DataTree.h"

namespace
{

const int N = kAreaGridSize;

struct GridCell
{
    int r, c;
    bool operator==(const GridCell& o) const { return r == o.r && c == o.c; }
};

bool Touch(GridCell a, GridCell b)
{
    return std::max(std::abs(a.r - b.r), std::abs(a.c - b.c)) == 1;
}

// The three areas are generated once for the whole suite.
class AreaGenTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        for (int i = 0; i < kAreaCount; ++i)
            s_Areas[i] = GenerateArea(i + 1);
    }
    static const AreaData& Area(int i) { return s_Areas[i]; }
    static AreaData s_Areas[kAreaCount];
};
AreaData AreaGenTest::s_Areas[kAreaCount];

// Follows the way-point map as the landscape does when it builds its route:
// start, second point, then from the second point the first neighbour (upper
// row first, left to right) of value 10..250 or 252, zeroing what it leaves.
std::vector<GridCell> TraceWayPoints(std::vector<uint8_t> map, std::string* problem)
{
    GridCell start{-1, -1}, second{-1, -1};
    for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c)
        {
            if (map[r * N + c] == 254)
                start = {r, c};
            if (map[r * N + c] == 253)
                second = {r, c};
        }
    if (start.r < 0 || second.r < 0)
    {
        *problem = "no start or no second point";
        return {};
    }
    std::vector<GridCell> path{start, second};
    map[start.r * N + start.c] = 0;
    GridCell cur = second;
    for (;;)
    {
        map[cur.r * N + cur.c] = 0;
        bool found = false;
        for (int r = cur.r - 1; r <= cur.r + 1 && !found; ++r)
            for (int c = cur.c - 1; c <= cur.c + 1 && !found; ++c)
            {
                if (r < 0 || c < 0 || r >= N || c >= N)
                {
                    *problem = "trace reaches the border";
                    return path;
                }
                uint8_t v = map[r * N + c];
                if ((v >= 10 && v <= 250) || v == 252)
                {
                    cur = {r, c};
                    found = true;
                }
            }
        if (!found)
            break;
        path.push_back(cur);
    }
    return path;
}

// Reads "LandscapeData.obj" the way the area loader does: a label line of at
// most 25 characters before each of the five values.
bool ReadLandscapeData(const std::string& text, int& n, int& parts, int& cells, float& cellSize, float& heightScale,
                       std::string* problem)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size())
    {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    if (lines.size() < 10)
    {
        *problem = "fewer than ten lines";
        return false;
    }
    for (int i = 0; i < 10; i += 2)
        if (lines[i].size() > 25 || lines[i].empty())
        {
            *problem = "label line " + std::to_string(i + 1) + " does not fit the label read";
            return false;
        }
    n = std::atoi(lines[1].c_str());
    parts = std::atoi(lines[3].c_str());
    cells = std::atoi(lines[5].c_str());
    cellSize = static_cast<float>(std::atof(lines[7].c_str()));
    heightScale = static_cast<float>(std::atof(lines[9].c_str()));
    return true;
}

TEST_F(AreaGenTest, WayPointMapIsOneClosedLoopTracedInDrivingOrder)
{
    for (int i = 0; i < kAreaCount; ++i)
    {
        SCOPED_TRACE("area " + std::to_string(i + 1));
        const AreaData& a = Area(i);
        ASSERT_EQ(a.wayPoints.size(), size_t(N * N));

        int starts = 0, seconds = 0, routeCells = 0;
        for (int r = 0; r < N; ++r)
            for (int c = 0; c < N; ++c)
            {
                uint8_t v = a.wayPoints[r * N + c];
                if (v == 0)
                    continue;
                ASSERT_TRUE((v >= 10 && v <= 250) || v == 253 || v == 254) << "code " << int(v);
                starts += v == 254;
                seconds += v == 253;
                ++routeCells;
                EXPECT_GE(r, 10);
                EXPECT_GE(c, 10);
                EXPECT_LT(r, N - 10);
                EXPECT_LT(c, N - 10);
                int neighbours = 0;
                for (int dr = -1; dr <= 1; ++dr)
                    for (int dc = -1; dc <= 1; ++dc)
                        if ((dr || dc) && a.wayPoints[(r + dr) * N + c + dc] != 0)
                            ++neighbours;
                ASSERT_EQ(neighbours, 2) << "route cell " << r << "," << c;
            }
        EXPECT_EQ(starts, 1);
        EXPECT_EQ(seconds, 1);

        std::string problem;
        std::vector<GridCell> traced = TraceWayPoints(a.wayPoints, &problem);
        ASSERT_EQ(problem, "");
        // Every route cell is reached, and the trace ends beside the start.
        ASSERT_EQ(int(traced.size()), routeCells);
        EXPECT_TRUE(Touch(traced[0], traced[1]));
        EXPECT_TRUE(Touch(traced.back(), traced[0]));
        // The halved route must hold the run-up of a full grid of 16 racers
        // many times over.
        EXPECT_GE(routeCells, 400);

        // The road-mesh builder holds at most 2 x 18 x 18 triangles per land
        // part, 8 for each route point: keep well below 81 points a part.
        std::map<int, int> perPart;
        for (GridCell g : traced)
            ++perPart[(g.r / kAreaPartCells) * kAreaPartsPerSide + g.c / kAreaPartCells];
        for (auto& p : perPart)
            EXPECT_LE(p.second, 60) << "land part " << p.first;

        // The trace runs in the order the generator laid the loop: start,
        // then the second point, then onwards away from the start.
        ASSERT_EQ(a.route.size(), traced.size());
        for (size_t k = 0; k < traced.size(); ++k)
            ASSERT_EQ(a.route[k], traced[k].r * N + traced[k].c) << "at " << k;
    }
}

TEST_F(AreaGenTest, RoutePowerIsFullOnTheRoadAndFallsOffBesideIt)
{
    for (int i = 0; i < kAreaCount; ++i)
    {
        SCOPED_TRACE("area " + std::to_string(i + 1));
        const AreaData& a = Area(i);
        ASSERT_EQ(a.routePower.size(), size_t(N) * kRoutePowerRowBytes);
        for (int idx : a.route)
            ASSERT_EQ(a.routePower[(idx / N) * kRoutePowerRowBytes + idx % N], 255);
        // Full on and next to the road, falling off beside it, nothing
        // further away.
        for (int r = 0; r < N; r += 3)
            for (int c = 0; c < N; c += 3)
            {
                float d = 1e9f;
                for (int idx : a.route)
                    d = std::min(d, std::hypot(float(r - idx / N), float(c - idx % N)));
                int v = a.routePower[r * kRoutePowerRowBytes + c];
                if (d <= 2.0f)
                {
                    ASSERT_EQ(v, 255) << r << "," << c;
                }
                else if (d >= 3.0f && d <= 8.0f)
                {
                    ASSERT_TRUE(v > 0 && v < 255) << r << "," << c << " power " << v;
                }
                else if (d >= 10.0f)
                {
                    ASSERT_EQ(v, 0) << r << "," << c;
                }
            }
        int zero = int(std::count(a.routePower.begin(), a.routePower.end(), uint8_t(0)));
        EXPECT_GT(zero, N * N / 2) << "power must be 0 away from the road";
    }
}

TEST_F(AreaGenTest, HeightMapIsLevelAlongTheRouteWithHillsAndAPond)
{
    const float water = AreaWaterAltitude();
    for (int i = 0; i < kAreaCount; ++i)
    {
        SCOPED_TRACE("area " + std::to_string(i + 1));
        const AreaData& a = Area(i);
        ASSERT_EQ(a.heightMap.size(), size_t(N * N));
        const size_t m = a.route.size();
        ASSERT_GE(a.jumpIndex, 0);
        for (size_t k = 0; k < m; ++k)
        {
            int idx = a.route[k], next = a.route[(k + 1) % m];
            // Along the road, the crest's ramps included: at most 2 height
            // steps (0.47 units) per cell.
            const int step = 2;
            ASSERT_LE(std::abs(a.heightMap[idx] - a.heightMap[next]), step) << "at route cell " << k;
            // Across the road (3 cells either side): level with the nearest
            // route cell.
            int r = idx / N, c = idx % N;
            for (int dr = -3; dr <= 3; ++dr)
                for (int dc = -3; dc <= 3; ++dc)
                {
                    int nearest = idx;
                    float best = 1e9f;
                    for (int j = -8; j <= 8; ++j)
                    {
                        int other = a.route[(k + m + j) % m];
                        float d = std::hypot(float(r + dr - other / N), float(c + dc - other % N));
                        if (d < best)
                            best = d, nearest = other;
                    }
                    ASSERT_LE(std::abs(a.heightMap[(r + dr) * N + c + dc] - a.heightMap[nearest]), step)
                        << "beside route cell " << k;
                }
            // The road stays well above the water.
            ASSERT_GT(AreaByteHeight(a.heightMap[idx]), water + 3.0f);
        }

        // Real hills: the ground spans most of the height scale.
        auto [lo, hi] = std::minmax_element(a.heightMap.begin(), a.heightMap.end());
        EXPECT_GE(AreaByteHeight(*hi) - AreaByteHeight(*lo), 0.6f * kAreaHeightScale);

        // A pond below the water line at its recorded centre, far from the
        // road; it is the only water of the area.
        EXPECT_LT(AreaByteHeight(a.heightMap[a.pondRow * N + a.pondCol]), water - 3.0f);
        int wet = 0;
        for (int r = 0; r < N; ++r)
            for (int c = 0; c < N; ++c)
                if (AreaByteHeight(a.heightMap[r * N + c]) <= water)
                {
                    ++wet;
                    float d = std::hypot(float(r - a.pondRow), float(c - a.pondCol));
                    ASSERT_LE(d, float(a.pondRadius)) << "water outside the pond at " << r << "," << c;
                }
        EXPECT_GE(wet, 100);
        for (int idx : a.route)
            ASSERT_GE(std::hypot(float(idx / N - a.pondRow), float(idx % N - a.pondCol)), a.pondRadius + 4.0f);
    }
}

// The start grid and its run-up stand level either side of the start line
// (forward races line up behind it, reverse races ahead of it), so a
// motorcycle waiting there does not roll. The crest to jump from is the same
// both ways (the reverse races ride it backwards): as high above the road on
// the way up as at the same distance on the way down.
TEST_F(AreaGenTest, TheStartStandsLevelAndTheCrestRisesAndFallsAlike)
{
    for (int i = 0; i < kAreaCount; ++i)
    {
        SCOPED_TRACE("area " + std::to_string(i + 1));
        const AreaData& a = Area(i);
        const int m = int(a.route.size());
        auto heightAt = [&](int k) { return AreaByteHeight(a.heightMap[a.route[((k % m) + m) % m]]); };
        for (int k = -kStartLevel; k <= kStartLevel; ++k)
            ASSERT_EQ(heightAt(k), heightAt(0)) << "route cell " << k;

        // Distance along the route from the crest's middle, in world units.
        auto cellDistance = [&](int from, int to) {
            const int p = a.route[((from % m) + m) % m], q = a.route[((to % m) + m) % m];
            return std::hypot(float(p / N - q / N), float(p % N - q % N)) * kAreaCellSize;
        };
        const float reach = kJumpTop * 0.5f + kJumpRamp + kJumpRound;
        std::vector<std::pair<float, float>> sides[2];   // (distance, height) going back and on
        for (int dir = 0; dir < 2; ++dir)
        {
            float d = 0.0f;
            for (int k = 0; d <= reach + 8.0f; ++k)
            {
                const int cell = a.jumpIndex + (dir ? k : -k);
                if (k > 0)
                    d += cellDistance(cell, dir ? cell - 1 : cell + 1);
                sides[dir].push_back({d, heightAt(cell)});
            }
        }
        // The road's own rise and fall under the crest: the straight line
        // between its two feet.
        const float footBack = sides[0].back().second, footOn = sides[1].back().second;
        const float span = sides[0].back().first + sides[1].back().first;
        auto rise = [&](int dir, float d, float h) {
            const float x = dir ? sides[0].back().first + d : sides[0].back().first - d;
            return h - (footBack + (footOn - footBack) * x / span);
        };
        EXPECT_GT(rise(0, 0.0f, sides[0][0].second), kJumpHeight - 0.5f);
        for (const auto& back : sides[0])
        {
            // The height on the other side at the same distance.
            const auto& on = sides[1];
            auto it = std::lower_bound(on.begin(), on.end(), std::make_pair(back.first, -1e9f));
            if (it == on.end() || it == on.begin())
                continue;
            const auto& q = *(it - 1);
            const auto& r = *it;
            const float h = q.second + (r.second - q.second) * (back.first - q.first) / (r.first - q.first);
            // Within a unit: the road's own curve under the crest is no
            // straight line.
            EXPECT_NEAR(rise(0, back.first, back.second), rise(1, back.first, h), 1.0f) << "at " << back.first;
        }
    }
}

TEST_F(AreaGenTest, SeasonColoursHaveNoBlackCellsAndDifferBySeason)
{
    for (int i = 0; i < kAreaCount; ++i)
    {
        SCOPED_TRACE("area " + std::to_string(i + 1));
        const AreaData& a = Area(i);
        for (int s = 0; s < kSeasonCount; ++s)
        {
            ASSERT_EQ(a.colors[s].size(), size_t(N) * N * 3);
            for (size_t k = 0; k < a.colors[s].size(); k += 3)
                ASSERT_FALSE(a.colors[s][k] == 0 && a.colors[s][k + 1] == 0 && a.colors[s][k + 2] == 0)
                    << "season " << s << " cell " << k / 3;
        }
        EXPECT_NE(a.colors[0], a.colors[1]);
        EXPECT_NE(a.colors[1], a.colors[2]);
        // Summer is green, winter is pale: compare the mean of each.
        auto mean = [&](int s, int ch) {
            double sum = 0;
            for (size_t k = ch; k < a.colors[s].size(); k += 3)
                sum += a.colors[s][k];
            return sum / (N * N);
        };
        EXPECT_GT(mean(0, 1), mean(0, 0));
        EXPECT_GT(mean(2, 2), 180.0);
    }
}

TEST_F(AreaGenTest, FenceMapHoldsOneOpenChainBesideTheRoad)
{
    for (int i = 0; i < kAreaCount; ++i)
    {
        SCOPED_TRACE("area " + std::to_string(i + 1));
        const AreaData& a = Area(i);
        ASSERT_EQ(a.fences.size(), size_t(N * N));
        std::vector<GridCell> cells;
        for (int r = 0; r < N; ++r)
            for (int c = 0; c < N; ++c)
                if (a.fences[r * N + c])
                {
                    ASSERT_EQ(a.fences[r * N + c], kFenceCode);
                    cells.push_back({r, c});
                }
        ASSERT_GE(cells.size(), 3u);
        ASSERT_LE(cells.size(), 256u);
        // A chain starts where a cell has at most one neighbour of its code:
        // exactly the two ends, every other cell has two.
        int ends = 0;
        for (GridCell g : cells)
        {
            int n = 0;
            for (GridCell o : cells)
                n += Touch(g, o);
            ASSERT_LE(n, 2);
            ASSERT_GE(n, 1);
            ends += n == 1;
            for (int idx : a.route)
                ASSERT_GE(std::hypot(float(g.r - idx / N), float(g.c - idx % N)), 5.0f) << "fence on the road";
        }
        EXPECT_EQ(ends, 2);

        // Followed from its first end in scan order, as the fence builder
        // does, the chain takes in every fence cell.
        std::vector<uint8_t> map = a.fences;
        GridCell cur{-1, -1};
        for (GridCell g : cells)
        {
            int n = 0;
            for (GridCell o : cells)
                n += Touch(g, o);
            if (n == 1)
            {
                cur = g;
                break;
            }
        }
        ASSERT_GE(cur.r, 0);
        size_t traced = 1;
        for (;;)
        {
            map[cur.r * N + cur.c] = 0;
            bool found = false;
            for (int r = cur.r - 1; r <= cur.r + 1 && !found; ++r)
                for (int c = cur.c - 1; c <= cur.c + 1 && !found; ++c)
                    if (map[r * N + c] == kFenceCode)
                        cur = {r, c}, found = true;
            if (!found)
                break;
            ++traced;
        }
        EXPECT_EQ(traced, cells.size());
    }
}

TEST_F(AreaGenTest, PlaceMapKeepsNatureOffTheRoadAndTheWaterWithinPartLimits)
{
    const float water = AreaWaterAltitude();
    for (int i = 0; i < kAreaCount; ++i)
    {
        SCOPED_TRACE("area " + std::to_string(i + 1));
        const AreaData& a = Area(i);
        ASSERT_EQ(a.placeMap.size(), size_t(N * N));
        std::set<int> nearRoad;
        for (int idx : a.route)
            for (int dr = -4; dr <= 4; ++dr)
                for (int dc = -4; dc <= 4; ++dc)
                    nearRoad.insert(idx + dr * N + dc);
        std::map<int, int> trees, stones;
        int grass = 0;
        for (int idx = 0; idx < N * N; ++idx)
        {
            uint8_t v = a.placeMap[idx];
            if (!v)
                continue;
            ASSERT_EQ(nearRoad.count(idx), 0u) << "nature on the road at " << idx;
            ASSERT_GT(AreaByteHeight(a.heightMap[idx]), water) << "nature in the water at " << idx;
            int part = (idx / N / kAreaPartCells) * kAreaPartsPerSide + (idx % N) / kAreaPartCells;
            if (v >= 250)
            {
                ASSERT_LE(v, 253) << "tree codes 0 to 3";
                ++trees[part];
            }
            else if (v >= 32)
            {
                // Below 78 the stone size class has no stone file.
                ASSERT_GE(v, 78);
                ++stones[part];
            }
            else
                ++grass;
        }
        for (auto& t : trees)
            EXPECT_LE(t.second, 100);
        for (auto& s : stones)
            EXPECT_LE(s.second, 100);
        EXPECT_GT(trees.size(), 100u);
        EXPECT_GT(stones.size(), 50u);
        EXPECT_GT(grass, 1000);
    }
}

TEST_F(AreaGenTest, AreaFolderHoldsEveryFileAtTheSizeItsReaderExpects)
{
    const AreaData& a = Area(1);
    std::vector<AreaFile> files = AreaFiles(a);
    std::map<std::string, const std::vector<uint8_t>*> byPath;
    for (const AreaFile& f : files)
        byPath[f.path] = &f.bytes;
    const std::string dir = "Data/Landscape/Area02/";
    const size_t grid = size_t(N) * N;
    const struct
    {
        const char* name;
        size_t size;
    } fixed[] = {
        {"HeightMap.dat", grid},
        {"StaticObjectsPlaceMap.dat", grid},
        {"WayPointsMap.dat", grid},
        {"FencesMap.dat", grid},
        {"RoutePower.dat", size_t(N) * kRoutePowerRowBytes},
        {"LandscapeColor01.dat", grid * 3},
        {"LandscapeColor02.dat", grid * 3},
        {"LandscapeColor03.dat", grid * 3},
    };
    for (const auto& f : fixed)
    {
        ASSERT_TRUE(byPath.count(dir + f.name)) << f.name;
        EXPECT_EQ(byPath[dir + f.name]->size(), f.size) << f.name;
    }
    for (const char* name :
         {"LandscapeTex01.bmp", "LandscapeTex02.bmp", "LandscapeTex03.bmp", "RoadAlpha.bmp", "LandscapeTex01.jpg",
          "LandscapeTex02.jpg", "LandscapeTex03.jpg", "RoadAlpha.jpg", "RouteMap.dds"})
        EXPECT_TRUE(byPath.count(dir + name)) << name;

    // The description: five labelled values that fit the landscape's arrays.
    ASSERT_TRUE(byPath.count(dir + "LandscapeData.obj"));
    std::string text(byPath[dir + "LandscapeData.obj"]->begin(), byPath[dir + "LandscapeData.obj"]->end());
    int n = 0, parts = 0, cells = 0;
    float cellSize = 0, heightScale = 0;
    std::string problem;
    ASSERT_TRUE(ReadLandscapeData(text, n, parts, cells, cellSize, heightScale, &problem)) << problem;
    EXPECT_EQ(n, 360);
    EXPECT_EQ(parts, 20);
    EXPECT_EQ(cells, 18);
    EXPECT_EQ(n, parts * cells);
    EXPECT_EQ(cells % 6, 0) << "the coarse levels of detail need whole steps of 2 and 3";
    EXPECT_FLOAT_EQ(cellSize * 100.0f, std::floor(cellSize * 100.0f));
    EXPECT_GT(cellSize, 0.0f);
    EXPECT_FLOAT_EQ(heightScale, kAreaHeightScale);

    // The placed-object list: three free lines, then four lines per placed
    // object, the position in its fixed columns, and "////" after the last.
    ASSERT_TRUE(byPath.count(dir + "StaticObjects.obj"));
    std::string list(byPath[dir + "StaticObjects.obj"]->begin(), byPath[dir + "StaticObjects.obj"]->end());
    std::vector<std::string> lines;
    for (size_t at = 0, next; (next = list.find('\n', at)) != std::string::npos; at = next + 1)
        lines.push_back(list.substr(at, next - at));
    ASSERT_FALSE(a.objects.empty());
    ASSERT_EQ(lines.size(), 3 + 4 * a.objects.size() + 1);
    EXPECT_EQ(lines.back(), "////");
    for (size_t i = 0; i < a.objects.size(); ++i)
    {
        const std::string& path = lines[3 + 4 * i];
        const std::string& position = lines[4 + 4 * i];
        EXPECT_EQ(path.substr(32), a.objects[i].description);
        EXPECT_EQ(path.find("////"), std::string::npos);
        EXPECT_NEAR(std::atof(position.substr(32, 8).c_str()), a.objects[i].position[0], 0.01);
        EXPECT_NEAR(std::atof(position.substr(41, 8).c_str()), a.objects[i].position[1], 0.01);
        EXPECT_NEAR(std::atof(position.substr(50).c_str()), a.objects[i].position[2], 0.01);
    }

    // Text files read from the Objects pack: LF only, no empty line.
    for (const std::string& t : {text, list})
    {
        EXPECT_EQ(t.find('\r'), std::string::npos);
        EXPECT_EQ(t.find("\n\n"), std::string::npos);
        EXPECT_EQ(t.back(), '\n');
    }
}

TEST_F(AreaGenTest, OutputIsIdenticalOnEveryRun)
{
    for (int i = 0; i < kAreaCount; ++i)
    {
        AreaData again = GenerateArea(i + 1);
        const AreaData& a = Area(i);
        EXPECT_EQ(again.heightMap, a.heightMap);
        EXPECT_EQ(again.wayPoints, a.wayPoints);
        EXPECT_EQ(again.routePower, a.routePower);
        EXPECT_EQ(again.fences, a.fences);
        EXPECT_EQ(again.placeMap, a.placeMap);
        for (int s = 0; s < kSeasonCount; ++s)
            EXPECT_EQ(again.colors[s], a.colors[s]);
    }
    std::vector<AreaFile> first = AreaFiles(Area(2)), second = AreaFiles(GenerateArea(3));
    ASSERT_EQ(first.size(), second.size());
    for (size_t k = 0; k < first.size(); ++k)
    {
        EXPECT_EQ(first[k].path, second[k].path);
        EXPECT_TRUE(first[k].bytes == second[k].bytes) << first[k].path;
    }
}

TEST_F(AreaGenTest, AreasDifferInShape)
{
    for (int i = 0; i < kAreaCount; ++i)
        for (int j = i + 1; j < kAreaCount; ++j)
        {
            SCOPED_TRACE("areas " + std::to_string(i + 1) + " and " + std::to_string(j + 1));
            std::set<int> cellsI(Area(i).route.begin(), Area(i).route.end());
            int shared = 0;
            for (int idx : Area(j).route)
                shared += cellsI.count(idx) != 0;
            EXPECT_LT(shared, int(Area(j).route.size()) / 4);
            EXPECT_NE(Area(i).heightMap, Area(j).heightMap);
            EXPECT_NE(Area(i).route[0], Area(j).route[0]);
        }
}

TEST_F(AreaGenTest, GeneratorModuleAddsEveryPictureDecodableAndTheRouteMapOnTheGrid)
{
    DataTree tree;
    AddAreaFiles(tree);
    std::map<std::string, const std::vector<uint8_t>*> byPath;
    for (const DataTree::File& f : tree.Files())
        byPath[f.path] = &f.bytes;

    struct Expected
    {
        std::string path;
        int width, height;
    };
    std::vector<Expected> pictures;
    for (int n = 1; n <= kAreaCount; ++n)
    {
        char dir[64];
        std::snprintf(dir, sizeof dir, "Data/Landscape/Area%02d/", n);
        for (const char* file : {"LandscapeData.obj", "StaticObjects.obj", "HeightMap.dat", "StaticObjectsPlaceMap.dat",
                                 "WayPointsMap.dat", "RoutePower.dat", "FencesMap.dat", "LandscapeColor01.dat",
                                 "LandscapeColor02.dat", "LandscapeColor03.dat"})
            EXPECT_TRUE(byPath.count(std::string(dir) + file)) << dir << file;
        for (const char* ext : {".bmp", ".jpg"})
        {
            for (int s = 1; s <= kSeasonCount; ++s)
                pictures.push_back({std::string(dir) + "LandscapeTex0" + std::to_string(s) + ext, 512, 512});
            pictures.push_back({std::string(dir) + "RoadAlpha" + ext, 512, 512});
        }
        pictures.push_back({std::string(dir) + "RouteMap.dds", 256, 256});
    }
    const std::string surfaces = "Data/Landscape/Surfaces/";
    pictures.push_back({surfaces + "WaterNoise.dds", 256, 256});
    pictures.push_back({surfaces + "RoadSectoring.dds", 256, 256});
    for (const char* ext : {".bmp", ".jpg"})
    {
        pictures.push_back({surfaces + "DetailMap" + ext, 256, 256});
        for (int s = 1; s <= kSeasonCount; ++s)
        {
            pictures.push_back({surfaces + "RoadTex1_0" + std::to_string(s) + ext, 256, 256});
            pictures.push_back({surfaces + "RoadTex2_0" + std::to_string(s) + ext, 256, 256});
        }
    }
    for (const Expected& e : pictures)
    {
        SCOPED_TRACE(e.path);
        ASSERT_TRUE(byPath.count(e.path));
        DecodedImage img;
        std::string error;
        ASSERT_TRUE(DecodeImage(byPath[e.path]->data(), byPath[e.path]->size(), img, &error)) << error;
        EXPECT_EQ(img.width, e.width);
        EXPECT_EQ(img.height, e.height);
    }

    // The route map covers the area with grid row 0 at the top: the start
    // cell is red and opaque, ground far from the road is clear.
    for (int n = 1; n <= kAreaCount; ++n)
    {
        char path[64];
        std::snprintf(path, sizeof path, "Data/Landscape/Area%02d/RouteMap.dds", n);
        DecodedImage img;
        ASSERT_TRUE(DecodeImage(byPath[path]->data(), byPath[path]->size(), img));
        ASSERT_EQ(img.format, PixelFormat::A8R8G8B8);
        const std::vector<uint8_t>& px = img.data[0];
        auto pixel = [&](int gridRow, int gridCol) {
            int x = int((gridCol + 0.5f) * img.width / N), y = int((gridRow + 0.5f) * img.height / N);
            return &px[(size_t(y) * img.width + x) * 4];
        };
        const AreaData& a = Area(n - 1);
        const uint8_t* start = pixel(a.route[0] / N, a.route[0] % N);
        EXPECT_EQ(start[3], 255);
        EXPECT_GT(start[2], 200);   // red
        EXPECT_LT(start[1], 80);
        const uint8_t* other = pixel(a.route[a.route.size() / 2] / N, a.route[a.route.size() / 2] % N);
        EXPECT_EQ(other[3], 255);
        EXPECT_GT(other[1], 200);   // white line
        EXPECT_EQ(pixel(2, 2)[3], 0);
        EXPECT_EQ(pixel(a.pondRow, a.pondCol)[3], 0);
    }
}

}   // namespace
