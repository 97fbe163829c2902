// The road builder: cross-sections and their fades, the marks and their
// dashes, the cut into land-part pieces, and the "RoadData.dat" cache with
// its checks; the landscape rebuilding a damaged or out-of-date cache; a
// part's marks drawn only near the eye.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/os/Rand.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/LandscapeTestSupport.h"
#include "world/RoadBuild.h"

namespace
{

float FlatGround(const void*, float, float)
{
    return 1.0f;
}

// A 36 x 36 grid of 2-unit cells in 2 x 2 parts, flat at height 1.
RoadGround Grid()
{
    return RoadGround{36, 2, 18, 2.0f, 72.0f, FlatGround, nullptr};
}

// A straight route along +z through the middle of the grid, points 2 apart.
struct Route
{
    explicit Route(int n, float power, float x = -20.0f)
    {
        for (int i = 0; i < n; ++i)
        {
            pos.push_back({x, 1.0f, -30.0f + 2.0f * i});
            powers.push_back(power);
        }
    }
    const float (*Pos() const)[3] { return reinterpret_cast<const float(*)[3]>(pos.data()); }
    struct P
    {
        float x, y, z;
    };
    std::vector<P> pos;
    std::vector<float> powers;
};

uint32_t Alpha(const RoadVertex& v)
{
    return v.diffuse >> 24;
}

TEST(RoadBuildTest, SectionsFadeAtTheEdgesAndAboveFiftyDrawNoRandomNumber)
{
    const Route route(6, 60.0f);
    std::vector<RoadVertex> v;
    std::vector<uint32_t> idx;
    GameSrand(77);
    BuildRoadSections(Grid(), route.Pos(), route.powers.data(), 6, &v, &idx);
    const int next = GameRand();
    GameSrand(77);
    EXPECT_EQ(GameRand(), next);   // nothing was drawn
    ASSERT_EQ(v.size(), 35u);      // M + 1 sections of five
    EXPECT_EQ(idx.size(), 6u * 24u);
    for (int s = 0; s <= 6; ++s)
        for (int k = 0; k < 5; ++k)
        {
            SCOPED_TRACE(testing::Message() << "section " << s << " vertex " << k);
            const RoadVertex& r = v[(size_t)(5 * s + k)];
            const bool outer = k == 0 || k == 4;
            EXPECT_EQ(Alpha(r), s == 0 || outer ? 0u : 255u);
            // The first and last sections lie on the ground, the others above it.
            const float lift = (s == 0 || s == 6) ? 0.0f : (outer ? 0.05f : (k == 2 ? 0.15f : 0.1f));
            EXPECT_NEAR(r.y, 1.0f + lift, 1e-5f);
            EXPECT_FLOAT_EQ(r.v0, 0.4f * s);
        }
    // Across the road to the right of the way driven (+x when driving +z),
    // 0.6 W out: W = 60 x 0.03 + 7.
    EXPECT_NEAR(v[5].x, -20.0f + 0.6f * 8.8f, 1e-4f);
    EXPECT_NEAR(v[9].x, -20.0f - 0.6f * 8.8f, 1e-4f);
    EXPECT_FLOAT_EQ(v[5].u0, -1.0f);
    EXPECT_FLOAT_EQ(v[9].u0, 1.0f);
    // The first section lies one step behind point 0, where the road fades in.
    EXPECT_NEAR(v[2].x, -20.0f, 1e-5f);
    EXPECT_NEAR(v[2].z, -32.0f, 1e-5f);
    EXPECT_NEAR(v[7].z, -30.0f, 1e-5f);
    // Area-wide coordinates.
    EXPECT_NEAR(v[7].u1, (36.0f - 20.0f) / 72.0f, 1e-6f);
    // Normals of the straight road point up (it is lit like the ground).
    CalcRoadNormals(v.data(), idx.data(), (int)v.size(), (int)idx.size());
    EXPECT_GT(v[12].ny, 0.95f);
}

TEST(RoadBuildTest, AtFiftyOrBelowInnerFadesLieBetweenHalfAndFull)
{
    const Route route(12, 50.0f);
    std::vector<RoadVertex> v;
    std::vector<uint32_t> idx;
    GameSrand(5);
    BuildRoadSections(Grid(), route.Pos(), route.powers.data(), 12, &v, &idx);
    const int next = GameRand();
    GameSrand(5);
    EXPECT_NE(GameRand(), next);
    bool below = false;
    for (int s = 1; s < 12; ++s)
        for (int k = 1; k <= 3; ++k)
        {
            const uint32_t a = Alpha(v[(size_t)(5 * s + k)]);
            EXPECT_GE(a, 127u);
            EXPECT_LE(a, 255u);
            below = below || a < 255u;
        }
    EXPECT_TRUE(below);
}

TEST(RoadBuildTest, MarkAlphaFollowsThePowerAndStopsAtOpaque)
{
    const struct
    {
        float power;
        uint32_t alpha;
    } cases[] = {{0.0f, 0}, {40.0f, 0}, {70.0f, 127}, {87.01f, 199}, {100.0f, 255}, {130.0f, 255}, {1e9f, 255}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.power);
        EXPECT_EQ(RoadMarkAlpha(c.power), c.alpha);
    }
    EXPECT_EQ(RoadMarkAlpha(std::numeric_limits<float>::quiet_NaN()), 0u);
}

TEST(RoadBuildTest, CentreDashOnEverySecondMarkSegmentFromTheSecond)
{
    const Route route(10, 87.0f);
    std::vector<RoadVertex> v;
    std::vector<uint32_t> idx;
    BuildRoadMarks(Grid(), route.Pos(), route.powers.data(), 10, &v, &idx);
    // Mark sections on points 1 .. 7: seven of six vertices, six pairs.
    ASSERT_EQ(v.size(), 42u);
    // Both lines on every pair (12 indices), the dash on pairs 1, 3, 5 (6).
    ASSERT_EQ(idx.size(), 6u * 12u + 3u * 6u);
    size_t at = 0;
    for (uint32_t k = 0; k < 6; ++k)
    {
        SCOPED_TRACE(k);
        const uint32_t q = 6 * (k + 1);
        EXPECT_EQ(idx[at], q - 6);
        EXPECT_EQ(idx[at + 6], q - 4);
        at += 12;
        if (k % 2 == 1)
        {
            const uint32_t dash[6] = {q - 2, q + 4, q - 1, q - 1, q + 4, q + 5};
            for (int j = 0; j < 6; ++j)
                EXPECT_EQ(idx[at + j], dash[j]);
            at += 6;
        }
    }
    // v toggles from the first mark section; the dash sits across the middle.
    EXPECT_FLOAT_EQ(v[0].v0, 0.0f);
    EXPECT_FLOAT_EQ(v[6].v0, 1.0f);
    EXPECT_NEAR(v[4].x, -20.0f + 0.15f, 1e-5f);
    EXPECT_NEAR(v[4].y, 1.15f, 1e-5f);
    // Too short a route has no marks.
    BuildRoadMarks(Grid(), route.Pos(), route.powers.data(), 4, &v, &idx);
    EXPECT_TRUE(v.empty());
    EXPECT_TRUE(idx.empty());
}

TEST(RoadBuildTest, TrianglesGoWholeToThePartOfTheirCentroidAndShareCorners)
{
    // Three triangles: two in part (row 1, col 0) sharing an edge, one whose
    // centroid lies in part (row 1, col 1) though a corner reaches back.
    std::vector<RoadVertex> v(6);
    const float xz[6][2] = {{-10, -10}, {-10, -8}, {-8, -10}, {-8, -8}, {8, -10}, {10, -10}};
    for (int i = 0; i < 6; ++i)
    {
        std::memset(&v[(size_t)i], 0, sizeof(RoadVertex));
        v[(size_t)i].x = xz[i][0];
        v[(size_t)i].z = xz[i][1];
    }
    const std::vector<uint32_t> idx = {0, 1, 2, 2, 1, 3, 4, 3, 5};
    std::vector<RoadBucket> buckets;
    BucketRoad(Grid(), v, idx, &buckets);
    ASSERT_EQ(buckets.size(), 4u);
    EXPECT_EQ(buckets[2].vertices.size(), 4u);   // corners 1 and 2 shared
    EXPECT_EQ(buckets[2].indices, (std::vector<uint16_t>{0, 1, 2, 2, 1, 3}));
    EXPECT_EQ(buckets[3].vertices.size(), 3u);   // whole, with the corner at x = -8
    EXPECT_FLOAT_EQ(buckets[3].vertices[1].x, -8.0f);
    EXPECT_TRUE(buckets[0].vertices.empty());
    // A triangle off the grid, or with a centroid that is not a number, has no part.
    v[0].x = v[1].x = v[2].x = 500.0f;
    EXPECT_EQ(RoadTrianglePart(Grid(), v.data(), idx.data(), 0), -1);
    v[0].x = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(RoadTrianglePart(Grid(), v.data(), idx.data(), 0), -1);
}

// A cache with the road in part 2 only (the route at x = -20 runs through
// parts (row 1, col 0) and (row 0, col 0)) written and read back.
std::vector<uint8_t> SmallCache(uint64_t identity)
{
    const Route route(30, 87.0f);
    return BuildRoadCache(Grid(), route.Pos(), route.powers.data(), 30, identity);
}

TEST(RoadBuildTest, CacheRoundTripKeepsEveryPieceAndEmptyParts)
{
    const std::vector<uint8_t> bytes = SmallCache(42);
    std::vector<RoadPieceView> pieces;
    ASSERT_EQ(ParseRoadCache(bytes.data(), bytes.size(), 4, 42, &pieces), ROAD_CACHE_OK);
    ASSERT_EQ(pieces.size(), 8u);
    // Built again by hand: the same counts per part and pass.
    const Route route(30, 87.0f);
    std::vector<RoadVertex> v;
    std::vector<uint32_t> idx;
    std::vector<RoadBucket> buckets;
    size_t expectedSize = 12;
    for (int pass = 0; pass < 2; ++pass)
    {
        if (pass == 0)
            BuildRoadSections(Grid(), route.Pos(), route.powers.data(), 30, &v, &idx);
        else
            BuildRoadMarks(Grid(), route.Pos(), route.powers.data(), 30, &v, &idx);
        CalcRoadNormals(v.data(), idx.data(), (int)v.size(), (int)idx.size());
        BucketRoad(Grid(), v, idx, &buckets);
        for (int p = 0; p < 4; ++p)
        {
            SCOPED_TRACE(testing::Message() << "pass " << pass << " part " << p);
            const RoadPieceView& piece = pieces[(size_t)(pass * 4 + p)];
            EXPECT_EQ(piece.vertexCount, (int)buckets[(size_t)p].vertices.size());
            EXPECT_EQ(piece.indexCount, (int)buckets[(size_t)p].indices.size());
            expectedSize += 8 + buckets[(size_t)p].vertices.size() * 44 + buckets[(size_t)p].indices.size() * 2;
            if (piece.vertexCount > 0)
            {
                RoadVertex first;
                std::memcpy(&first, piece.vertices, sizeof(first));
                EXPECT_EQ(std::memcmp(&first, &buckets[(size_t)p].vertices[0], sizeof(first)), 0);
            }
        }
    }
    // The parts on the other side have no road: two counts and nothing more.
    EXPECT_EQ(pieces[1].vertexCount, 0);
    EXPECT_EQ(pieces[3].vertexCount, 0);
    EXPECT_GT(pieces[0].vertexCount, 0);
    EXPECT_GT(pieces[2].vertexCount, 0);
    EXPECT_EQ(bytes.size(), expectedSize);
}

TEST(RoadBuildTest, DamagedOrStaleCachesAreRefused)
{
    const std::vector<uint8_t> good = SmallCache(42);
    auto patched = [&](size_t at, int32_t value) {
        std::vector<uint8_t> b = good;
        std::memcpy(b.data() + at, &value, 4);
        return b;
    };
    // The first record (part 0, pass 1): counts at 0 and 4, then its vertices.
    int32_t v0 = 0, i0 = 0;
    std::memcpy(&v0, good.data(), 4);
    std::memcpy(&i0, good.data() + 4, 4);
    const size_t firstIndex = 8 + (size_t)v0 * 44;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    int32_t nanBits;
    std::memcpy(&nanBits, &nan, 4);
    std::vector<uint8_t> badIndex = good;
    const uint16_t past = (uint16_t)v0;
    std::memcpy(badIndex.data() + firstIndex, &past, 2);
    std::vector<uint8_t> trailing = good;
    trailing.push_back(0);
    const struct
    {
        const char* name;
        std::vector<uint8_t> bytes;
        uint64_t identity;
        int result;
    } cases[] = {
        {"good", good, 42, ROAD_CACHE_OK},
        {"stale", good, 43, ROAD_CACHE_STALE},
        {"cut short", std::vector<uint8_t>(good.begin(), good.begin() + (long)good.size() / 2), 42,
         ROAD_CACHE_TRUNCATED},
        {"empty", {}, 42, ROAD_CACHE_TRUNCATED},
        {"huge vertex count", patched(0, 0x7FFFFFFF), 42, ROAD_CACHE_BAD_COUNT},
        {"negative index count", patched(4, -3), 42, ROAD_CACHE_BAD_COUNT},
        {"index count not of triangles", patched(4, i0 - 1), 42, ROAD_CACHE_BAD_COUNT},
        {"index count past the end", patched(4, 0x3FFFFFFF), 42, ROAD_CACHE_TRUNCATED},
        {"index past the vertices", badIndex, 42, ROAD_CACHE_BAD_INDEX},
        {"position not a number", patched(8, nanBits), 42, ROAD_CACHE_BAD_VALUE},
        {"no trailer", std::vector<uint8_t>(good.begin(), good.end() - 12), 42, ROAD_CACHE_NO_IDENTITY},
        {"bytes after the trailer", trailing, 42, ROAD_CACHE_NO_IDENTITY},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::vector<RoadPieceView> pieces;
        EXPECT_EQ(ParseRoadCache(c.bytes.data(), c.bytes.size(), 4, c.identity, &pieces), c.result);
        EXPECT_EQ(pieces.empty(), c.result != ROAD_CACHE_OK);
    }
}

TEST(RoadBuildTest, ShortRoutesBuildNothing)
{
    const Route route(1, 80.0f);
    std::vector<RoadVertex> v;
    std::vector<uint32_t> idx;
    BuildRoadSections(Grid(), route.Pos(), route.powers.data(), 1, &v, &idx);
    EXPECT_TRUE(v.empty());
    BuildRoadSections(Grid(), route.Pos(), route.powers.data(), 0, &v, &idx);
    EXPECT_TRUE(idx.empty());
    const std::vector<uint8_t> bytes = BuildRoadCache(Grid(), route.Pos(), route.powers.data(), 0, 9);
    std::vector<RoadPieceView> pieces;
    EXPECT_EQ(ParseRoadCache(bytes.data(), bytes.size(), 4, 9, &pieces), ROAD_CACHE_OK);
    EXPECT_EQ(bytes.size(), 8u * 8u + 12u);
}

// The landscape's side: a load reads a good cache, and builds, writes and
// uses the road again when the file is damaged or from other maps.
TEST(RoadCacheLoadTest, DamagedOrStaleCacheIsBuiltAgainAndWritten)
{
    landtest::RecordingDevice device;
    const std::string file = landtest::AreaFolder(1) + "/RoadData.dat";
    const struct
    {
        const char* name;
        std::vector<uint8_t> bytes;   // empty: no file
    } cases[] = {
        {"missing", {}},
        {"damaged", std::vector<uint8_t>(100, 0xFF)},
        {"of other maps", SmallCache(1)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        DataTree tree;
        landtest::AddArea(tree, landtest::AreaSpec());
        if (!c.bytes.empty())
            tree.Add(file, c.bytes);
        testdata::DataFolder folder(tree, false);
        testdata::MessageCapture capture;
        ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
        EXPECT_TRUE(testdata::Messages().empty());
        EXPECT_EQ(g_Landscape.roadCacheBuilt, 1);
        int road = 0;
        for (int i = 0; i < g_Landscape.partCount; ++i)
            road += g_Landscape.parts[i]->roadVB != nullptr;
        EXPECT_GT(road, 0);
        const uint64_t identity = g_Landscape.roadCacheIdentity;
        g_Landscape.FreeArea();

        // The file written is whole and current: the next load reads it.
        FILE* f = std::fopen((folder.Dir() + "/" + file).c_str(), "rb");
        ASSERT_NE(f, nullptr);
        std::vector<uint8_t> written(1 << 22);
        written.resize(std::fread(written.data(), 1, written.size(), f));
        std::fclose(f);
        std::vector<RoadPieceView> pieces;
        EXPECT_EQ(ParseRoadCache(written.data(), written.size(), 4, identity, &pieces), ROAD_CACHE_OK);
        ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
        EXPECT_EQ(g_Landscape.roadCacheBuilt, 0);
        g_Landscape.FreeArea();
    }
}

// The painted marks are drawn only up to 80 away; the road itself at any
// distance.
TEST(RoadDrawTest, MarksAreDrawnUpToEightyAway)
{
    landtest::RecordingDevice device;
    IDirect3DDevice9* d = g_Render.device;
    CLandPart part;
    ASSERT_EQ(d->CreateVertexBuffer(6 * sizeof(RoadVertex), D3DUSAGE_WRITEONLY, ROAD_FVF, D3DPOOL_MANAGED, &part.markVB,
                                    nullptr),
              D3D_OK);
    ASSERT_EQ(d->CreateIndexBuffer(12 * sizeof(uint16_t), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                   &part.markIB, nullptr),
              D3D_OK);
    ASSERT_EQ(d->CreateVertexBuffer(6 * sizeof(RoadVertex), D3DUSAGE_WRITEONLY, ROAD_FVF, D3DPOOL_MANAGED, &part.roadVB,
                                    nullptr),
              D3D_OK);
    ASSERT_EQ(d->CreateIndexBuffer(12 * sizeof(uint16_t), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                   &part.roadIB, nullptr),
              D3D_OK);
    part.markVertexCount = part.roadVertexCount = 6;
    part.markTriangleCount = 4;
    part.roadTriangleCount = 3;
    part.visible = 1;
    const struct
    {
        float distance;
        int marks;
    } cases[] = {{10.0f, 4}, {80.0f, 4}, {80.5f, 0}, {300.0f, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.distance);
        part.distance = c.distance;
        g_Render.mainFaces = 0;
        part.DrawRoadMarks();
        EXPECT_EQ(g_Render.mainFaces, c.marks);
        g_Render.mainFaces = 0;
        part.DrawRoad();
        EXPECT_EQ(g_Render.mainFaces, 3);
    }
    part.ReleaseBuffers();
}

}   // namespace
