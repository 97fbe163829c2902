// The generator's road data: the barrier chains it paints beside each demo
// road, and the road cache it ships, which the game's own check accepts.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tools/AreaGen.h"
#include "tools/DataTree.h"
#include "world/Fences.h"
#include "world/RoadBuild.h"

namespace
{

const int N = kAreaGridSize;

TEST(RoadGenTest, BarrierChainsAreCleanAndEveryKindIsPainted)
{
    std::set<int> codes;
    for (int number = 1; number <= kAreaCount; ++number)
    {
        SCOPED_TRACE(number);
        const AreaData area = GenerateArea(number);
        const std::vector<uint8_t> map = AreaFenceMap(area);
        ASSERT_EQ(map.size(), (size_t)N * N);
        int ends = 0, painted = 0;
        for (int r = 0; r < N; ++r)
            for (int c = 0; c < N; ++c)
            {
                const int code = map[(size_t)(r * N + c)];
                if (code == 0)
                    continue;
                ASSERT_LE(code, 6);
                codes.insert(code);
                ++painted;
                // A chain is one cell wide: at most two cells of its code touch
                // any of its cells, and it has ends (no rings).
                const int n = FenceNeighbours(map.data(), N, r, c);
                EXPECT_LE(n, 2) << r << "," << c;
                ends += n <= 1;
                // Nothing stands on the road.
                for (int cell : area.route)
                {
                    const int dr = cell / N - r, dc = cell % N - c;
                    ASSERT_GE(dr * dr + dc * dc, 9) << r << "," << c;
                }
            }
        EXPECT_GT(painted, 40);
        EXPECT_GT(ends, 2);
    }
    EXPECT_EQ(codes, (std::set<int>{1, 2, 3, 4, 5, 6}));
}

TEST(RoadGenTest, ShippedRoadCacheIsWholeAndCoversTheRoute)
{
    const AreaData area = GenerateArea(1);
    const std::vector<uint8_t> bytes = BuildAreaRoadData(area);
    ASSERT_FALSE(bytes.empty());
    // Its identity is the trailer's last eight bytes; the game's check
    // compares it with the maps' own (the headless game test loads it).
    uint64_t identity = 0;
    std::memcpy(&identity, bytes.data() + bytes.size() - 8, 8);
    std::vector<RoadPieceView> pieces;
    ASSERT_EQ(ParseRoadCache(bytes.data(), bytes.size(), kAreaPartsPerSide * kAreaPartsPerSide, identity, &pieces),
              ROAD_CACHE_OK);
    int road = 0, marks = 0;
    for (size_t i = 0; i < pieces.size(); ++i)
        (i < pieces.size() / 2 ? road : marks) += pieces[i].vertexCount > 0;
    EXPECT_GT(road, 30);
    EXPECT_GT(marks, 30);
    EXPECT_LE(marks, road);
    // The same maps give the same bytes.
    EXPECT_EQ(BuildAreaRoadData(area), bytes);
}

TEST(RoadGenTest, EveryBarrierObjectStandsFixedWithItsMesh)
{
    DataTree tree;
    ASSERT_TRUE(RunGenerator("roadobjects", tree));
    auto text = [&](const std::string& path) {
        for (const DataTree::File& f : tree.Files())
            if (f.path == path)
                return std::string(f.bytes.begin(), f.bytes.end());
        return std::string();
    };
    std::vector<std::string> paths(g_FenceObjects, g_FenceObjects + 7);
    paths.push_back(g_StartPlaceObject);
    for (const std::string& path : paths)
    {
        SCOPED_TRACE(path);
        const std::string description = text(path);
        ASSERT_FALSE(description.empty());
        const size_t mesh = description.find(".msh");
        ASSERT_NE(mesh, std::string::npos);
        const size_t start = description.rfind(' ', mesh) + 1;
        EXPECT_FALSE(text(description.substr(start, mesh + 4 - start)).empty());
        EXPECT_NE(description.find("GCLASS_STATIC"), std::string::npos);
        // A moving concave body would fall through the ground: fixed, mass 0.
        if (path.find("Fences/") != std::string::npos)
        {
            const size_t mass = description.find("Mass:");
            ASSERT_NE(mass, std::string::npos);
            EXPECT_EQ(description.substr(description.find_first_not_of(' ', mass + 5), 1), "0");
        }
    }
}

}   // namespace
