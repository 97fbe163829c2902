// Nature placement and fields on a small area (two by two land parts of
// 18 x 18 cells) with the generated stone and tree objects, on the
// recording device: the place-map rules, the same nature on every load, the
// field lists and their limits, the grass clump on level ground, the draw
// distances and the bodies' reach.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/MathUtil.h"
#include "core/DebugLog.h"
#include "core/RaceState.h"
#include "core/RunFlags.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Rand.h"
#include "render/Views.h"
#include "tests/support/Files.h"
#include "tests/world/LandscapeTestSupport.h"
#include "world/LandPart.h"
#include "world/NatureManager.h"
#include "world/NatureMesh.h"
#include "world/Sky.h"
#include "world/TreeObject.h"

namespace
{

using landtest::AreaSpec;

// ---------------------------------------------------------------------------
// Place-map values.

TEST(NaturePlaceTest, ValuesGrowWhatTheirRangesSay)
{
    struct Case
    {
        int v, clumps, stone, size, tree, code;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 0},   {1, 1, 0, 0, 0, 0},    {2, 1, 0, 0, 0, 0},    {3, 2, 0, 0, 0, 0},    {16, 7, 0, 0, 0, 0},
        {29, 12, 0, 0, 0, 0}, {31, 12, 0, 0, 0, 0},  {32, 0, 1, -3, 0, 0},  {33, 0, 1, -2, 0, 0},  {55, 0, 1, -2, 0, 0},
        {56, 0, 1, -1, 0, 0}, {77, 0, 1, -1, 0, 0},  {78, 0, 1, 0, 0, 0},   {122, 0, 1, 0, 0, 0},  {123, 0, 1, 1, 0, 0},
        {144, 0, 1, 1, 0, 0}, {145, 0, 1, 2, 0, 0},  {167, 0, 1, 2, 0, 0},  {168, 0, 1, 3, 0, 0},  {249, 0, 1, 3, 0, 0},
        {250, 0, 0, 0, 1, 0}, {251, 12, 0, 0, 1, 1}, {254, 12, 0, 0, 1, 4}, {255, 12, 0, 0, 0, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.v);
        const NaturePlace p = NaturePlaceOf(c.v);
        EXPECT_EQ(p.clumps, c.clumps);
        EXPECT_EQ(p.stone, c.stone);
        if (c.stone)
        {
            EXPECT_EQ(p.stoneSize, c.size);
        }
        EXPECT_EQ(p.tree, c.tree);
        EXPECT_EQ(p.treeCode, c.code);
    }
    // The whole grass run, 1 to 31.
    const int counts[31] = {1, 1, 2, 2, 2, 3, 3, 4,  4,  4,  5,  5,  6,  6,  6, 7,
                            7, 7, 8, 8, 9, 9, 9, 10, 10, 11, 11, 11, 12, 12, 12};
    for (int v = 1; v <= 31; ++v)
        EXPECT_EQ(NaturePlaceOf(v).clumps, counts[v - 1]) << v;
}

// ---------------------------------------------------------------------------
// Small area with nature.

// Place map: part (0, 0) grass of every kind and a few trees and stones;
// part (1, 0) only stones in every cell (more than a field holds); part
// (0, 1) trees; part (1, 1) nothing.
std::vector<uint8_t> PlaceMap(int n)
{
    std::vector<uint8_t> map((size_t)n * n, 0);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
        {
            uint8_t& v = map[(size_t)r * n + c];
            if (r < 18 && c < 18)
                v = (uint8_t)((r * 18 + c) % 37 == 5   ? 251 + (r + c) % 3
                              : (r * 18 + c) % 41 == 7 ? 150
                                                       : 1 + (r + c) % 31);
            else if (r < 18)
                v = 200;
            else if (c < 18)
                v = (r + c) % 3 == 0 ? 250 + (r + c) % 4 : 0;
        }
    return map;
}

class NatureAreaTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AreaSpec s;
        s.placeMap = false;
        landtest::AddArea(tree, s);
        tree.Add(landtest::AreaFolder(1) + "/StaticObjectsPlaceMap.dat", PlaceMap(36));
        ASSERT_TRUE(RunGenerator("natureobjects", tree));
        folder.reset(new testdata::DataFolder(tree, false));
        g_CurrentRace = 0;
        g_RaceTable.season[0] = 0;
        g_Nature.Create();
    }
    void TearDown() override
    {
        g_Landscape.FreeArea();
        g_Nature.Release();
        folder.reset();
    }
    CLandPart* Part(int col, int row) { return g_Landscape.parts[row * 2 + col]; }

    landtest::RecordingDevice device;
    DataTree tree;
    std::unique_ptr<testdata::DataFolder> folder;
};

struct Snapshot
{
    std::vector<GrassVertex> grass;
    std::vector<float> placements;   // each object's matrix and scale
    int stones = 0, trees = 0;
};

Snapshot Take()
{
    Snapshot s;
    s.grass.assign(g_Nature.grassVertices, g_Nature.grassVertices + g_Nature.grassVertexCount);
    for (int list = 0; list < 2; ++list)
    {
        for (int i = 0; i < g_Nature.stoneFieldCount[list]; ++i)
            for (int k = 0; k < g_Nature.stoneFields[list][i]->objectCount; ++k)
            {
                const CStoneObject* o = g_Nature.stoneFields[list][i]->objects[k];
                s.placements.insert(s.placements.end(), &o->placement.m[0][0], &o->placement.m[0][0] + 16);
                ++s.stones;
            }
        for (int i = 0; i < g_Nature.treeFieldCount[list]; ++i)
            for (int k = 0; k < g_Nature.treeFields[list][i]->objectCount; ++k)
            {
                const CTreeObject* o = g_Nature.treeFields[list][i]->objects[k];
                s.placements.insert(s.placements.end(), &o->placement.m[0][0], &o->placement.m[0][0] + 16);
                s.placements.push_back(o->scale[0]);
                ++s.trees;
            }
    }
    return s;
}

TEST_F(NatureAreaTest, EachPartPlacesTheSameNatureOnEveryLoad)
{
    testdata::MessageCapture capture;
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    const Snapshot first = Take();
    EXPECT_GT(first.grass.size(), 1000u);
    EXPECT_GT(first.stones, 100);
    EXPECT_GT(first.trees, 50);
    EXPECT_TRUE(testdata::Messages().empty()) << testdata::Messages()[0];

    g_Landscape.FreeArea();
    g_Nature.Clear();
    for (int i = 0; i < 1000; ++i)
        GameRand();   // whatever ran before
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    const Snapshot second = Take();
    // Places, sizes, turns, atlas cells and waves; the colours follow the
    // time of day of each load.
    ASSERT_EQ(first.grass.size(), second.grass.size());
    for (size_t i = 0; i < first.grass.size(); ++i)
    {
        const GrassVertex &a = first.grass[i], &b = second.grass[i];
        ASSERT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z && a.u == b.u && a.v == b.v && a.wave == b.wave) << i;
    }
    EXPECT_EQ(first.stones, second.stones);
    EXPECT_EQ(first.trees, second.trees);
    EXPECT_EQ(first.placements, second.placements);
}

// A tree's sphere is its scaled description's, placed with it: it holds the
// tree's own base, whatever the tree's scale.
TEST_F(NatureAreaTest, ATreesSphereFollowsItsScaleAndHoldsItsBase)
{
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    int trees = 0, large = 0;
    for (int list = 0; list < 2; ++list)
        for (int i = 0; i < g_Nature.treeFieldCount[list]; ++i)
            for (int k = 0; k < g_Nature.treeFields[list][i]->objectCount; ++k)
            {
                const CTreeObject* t = g_Nature.treeFields[list][i]->objects[k];
                if (!t->meshRecord)
                    continue;
                ++trees;
                large += t->scale[0] > 1.5f;
                const D3DXVECTOR3 local(t->boundCentre[0], t->boundCentre[1], t->boundCentre[2]);
                D3DXVECTOR3 centre;
                const D3DXMATRIX placement(t->placement);
                D3DXVec3TransformCoord(&centre, &local, &placement);
                const D3DXVECTOR3 at(t->worldCentre[0], t->worldCentre[1], t->worldCentre[2]);
                EXPECT_LT(VecDistance(at, centre), 1e-3f) << "scale " << t->scale[0];
                const D3DXVECTOR3 base(t->placement._41, t->placement._42, t->placement._43);
                EXPECT_LE(VecDistance(base, at), t->boundRadius) << "scale " << t->scale[0];
            }
    EXPECT_GT(trees, 50);
    EXPECT_GT(large, 10);
}

// On the shader path a leaf quad is lit along the line from the leaves'
// centre to its own centre in the scaled crown.
TEST_F(NatureAreaTest, LeavesOnTheShaderPathAreLitFromTheScaledCrown)
{
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    const int savedShaders = g_Render.vs11;
    g_Render.vs11 = 1;
    CLandPart* part = Part(0, 1);   // trees
    int checked = 0;
    for (int attempt = 0; attempt < 20 && checked < 3; ++attempt)
    {
        const float at[3] = {part->centre[0] + attempt * 0.7f, 0.0f, part->centre[2] - attempt * 0.9f};
        const float ground[3] = {at[0], g_Landscape.GetHeight(at), at[2]};
        CTreeObject tree;
        if (!tree.Create(ground, 1 + attempt % 4, 0, 0, 0))
            continue;
        const float s = tree.scale[0];
        ID3DXMesh* mesh = NatureSlotMesh(tree.meshRecord, MESH_SLOT_LIGHTMAP);
        if (tree.leafVertexCount >= 4 && mesh && s > 1.2f)
        {
            void* data = nullptr;
            ASSERT_TRUE(SUCCEEDED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data)));
            const MeshVertexPT* q = static_cast<const MeshVertexPT*>(data);
            const float* L = tree.meshRecord->partCentre[MESH_SLOT_LIGHTMAP][0];
            float c[4] = {0, 0, 0, 0};
            g_Landscape.GetColor(c, tree.worldCentre);
            D3DXCOLOR C;
            ColorNormalize(C, D3DXCOLOR(c));
            for (int quad = 0; quad < tree.leafVertexCount / 4; quad += 7)
            {
                const MeshVertexPT* v = q + 4 * quad;
                const D3DXVECTOR3 m((v[0].x + v[1].x + v[2].x + v[3].x) / 4, (v[0].y + v[1].y + v[2].y + v[3].y) / 4,
                                    (v[0].z + v[1].z + v[2].z + v[3].z) / 4);
                D3DXVECTOR3 n = m * s - D3DXVECTOR3(L[0], L[1], L[2]), w;
                D3DXVec3Normalize(&n, &n);
                const D3DXMATRIX placement(tree.placement);
                D3DXVec3TransformNormal(&w, &n, &placement);
                const float normal[3] = {w.x, w.y, w.z};
                float lit[4];
                g_Sky.GetLitColor(lit, normal, C.r, C.g, C.b, C.a);
                const D3DCOLOR got = tree.leafVertices[4 * quad].colour;
                EXPECT_NEAR((int)((got >> 16) & 0xFF), ColorChannelByte(lit[0]), 1) << quad;
                EXPECT_NEAR((int)((got >> 8) & 0xFF), ColorChannelByte(lit[1]), 1) << quad;
                EXPECT_NEAR((int)(got & 0xFF), ColorChannelByte(lit[2]), 1) << quad;
            }
            mesh->UnlockVertexBuffer();
            ++checked;
        }
        tree.FreeGeometry();
        tree.Release();
    }
    g_Render.vs11 = savedShaders;
    EXPECT_EQ(checked, 3);
}

TEST_F(NatureAreaTest, FieldsFollowTheirPartsAndKeepTheirLimits)
{
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    // A part with nothing of a type has no field of it.
    EXPECT_FALSE(g_Nature.HasField(NATURE_GRASS, 0, Part(1, 1)));
    EXPECT_FALSE(g_Nature.HasField(NATURE_TREES, 0, Part(1, 1)));
    EXPECT_FALSE(g_Nature.HasField(NATURE_GRASS, 0, Part(1, 0)));
    // The stone part has a stone in all 324 cells; its field keeps 100.
    ASSERT_TRUE(g_Nature.HasField(NATURE_STONES, 0, Part(1, 0)));
    for (int i = 0; i < g_Nature.stoneFieldCount[0]; ++i)
        if (g_Nature.stoneFields[0][i]->part == Part(1, 0))
        {
            EXPECT_EQ(g_Nature.stoneFields[0][i]->objectCount, NATURE_FIELD_OBJECTS);
        }

    // Leaving range parks the field and takes the bodies out of the world;
    // coming back makes it active again.
    CLandPart* stonePart = Part(1, 0);
    StoneField* field = nullptr;
    for (int i = 0; i < g_Nature.stoneFieldCount[0]; ++i)
        if (g_Nature.stoneFields[0][i]->part == stonePart)
            field = g_Nature.stoneFields[0][i];
    ASSERT_NE(field, nullptr);
    field->objects[0]->EnablePhysics(1);
    g_Nature.SetFieldActive(NATURE_STONES, 1, stonePart);   // first time near: stays in the active list
    EXPECT_EQ(stonePart->stonesActive, 1);
    EXPECT_TRUE(g_Nature.HasField(NATURE_STONES, 0, stonePart));
    g_Nature.SetFieldActive(NATURE_STONES, 0, stonePart);
    EXPECT_EQ(stonePart->stonesActive, 0);
    EXPECT_FALSE(g_Nature.HasField(NATURE_STONES, 0, stonePart));
    EXPECT_TRUE(g_Nature.HasField(NATURE_STONES, 1, stonePart));
    EXPECT_EQ(field->objects[0]->inWorld, 0);
    g_Nature.SetFieldActive(NATURE_STONES, 1, stonePart);
    EXPECT_TRUE(g_Nature.HasField(NATURE_STONES, 0, stonePart));
    EXPECT_FALSE(g_Nature.HasField(NATURE_STONES, 1, stonePart));

    // Freeing the area with fields in both lists removes them all.
    g_Nature.SetFieldActive(NATURE_GRASS, 0, Part(0, 0));
    g_Landscape.FreeArea();
    for (int type = 0; type < 3; ++type)
        for (int list = 0; list < 2; ++list)
            EXPECT_EQ(g_Nature.FieldCount(type, list), 0) << type << " " << list;
    g_Nature.Clear();
}

// A place map asking for a tree with grass in every cell of a large area:
// the load ends with the grass and the trees an area holds, the first ones in
// land-part order, and says once in the log what was left out.
TEST(NatureDenseMapTest, EveryCellATreeWithGrassIsCappedAndTheLoadFinishes)
{
    landtest::RecordingDevice device;
    DataTree tree;
    AreaSpec s;
    s.grid = 216;   // 12 x 12 parts: 560,000 clumps and 14,400 trees asked for
    s.parts = 12;
    s.placeMap = false;
    landtest::AddArea(tree, s);
    tree.Add(landtest::AreaFolder(1) + "/StaticObjectsPlaceMap.dat", std::vector<uint8_t>(216 * 216, 251));
    ASSERT_TRUE(RunGenerator("natureobjects", tree));
    testdata::DataFolder folder(tree, false);
    g_CurrentRace = 0;
    g_RaceTable.season[0] = 0;
    g_Nature.Create();
    const int savedLog = g_DebugLog;
    g_DebugLog = 1;
    Log(nullptr);

    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    // The caps as numbers: a cap changed by mistake must show here.
    EXPECT_EQ(g_Nature.grassVertexCount, 200000 * 16);
    EXPECT_EQ(g_Nature.treeCount, 8000);
    g_DebugLog = savedLog;
    const std::string log = testsupport::ReadFileText("debug.txt");
    for (const char* what : {"grass clumps", "trees"})
    {
        const std::string line = std::string("asks for more ") + what + " than an area holds";
        const size_t at = log.find(line);
        EXPECT_NE(at, std::string::npos) << what;
        EXPECT_EQ(log.find(line, at + 1), std::string::npos) << what << " logged more than once";
    }
    // The first parts have their fill; the last have none.
    EXPECT_TRUE(g_Nature.HasField(NATURE_GRASS, 0, g_Landscape.parts[0]));
    EXPECT_TRUE(g_Nature.HasField(NATURE_TREES, 0, g_Landscape.parts[0]));
    EXPECT_FALSE(g_Nature.HasField(NATURE_GRASS, 0, g_Landscape.parts[143]));
    EXPECT_FALSE(g_Nature.HasField(NATURE_TREES, 0, g_Landscape.parts[143]));
    g_Landscape.FreeArea();
    g_Nature.Release();
}

TEST(NatureFieldListTest, AFullListTakesNoMoreFields)
{
    landtest::RecordingDevice device;
    CNatureManager nature;
    nature.Reset();
    std::vector<CLandPart> parts(NATURE_MAX_FIELDS + 1);
    const float at[3] = {0, 0, 0};
    for (CLandPart& p : parts)
    {
        nature.BeginField(NATURE_GRASS, &p);
        nature.AddObject(NATURE_GRASS, at, 0);
        nature.EndField(NATURE_GRASS, &p);
    }
    EXPECT_EQ(nature.grassFieldCount[0], NATURE_MAX_FIELDS);
    EXPECT_FALSE(nature.HasField(NATURE_GRASS, 0, &parts.back()));
    // Only the fields that exist got clumps.
    EXPECT_EQ(nature.clumpCount, NATURE_MAX_FIELDS);
    // A field whose other list is full stays where it is.
    for (int i = 0; i < NATURE_MAX_FIELDS; ++i)
        nature.SetFieldActive(NATURE_GRASS, 0, &parts[(size_t)i]);
    EXPECT_EQ(nature.grassFieldCount[1], NATURE_MAX_FIELDS);
    nature.BeginField(NATURE_GRASS, &parts.back());
    nature.EndField(NATURE_GRASS, &parts.back());
    nature.PackGeometry();
    for (CLandPart& p : parts)
        nature.RemoveFields(NATURE_GRASS, &p);
    EXPECT_EQ(nature.grassFieldCount[0] + nature.grassFieldCount[1], 0);
    nature.Release();
}

// ---------------------------------------------------------------------------
// The grass clump on level ground.

TEST(GrassClumpTest, LevelGroundVertexTable)
{
    landtest::RecordingDevice device;
    DataTree tree;
    AreaSpec s;
    s.heightMap = false;
    landtest::AddArea(tree, s);
    tree.Add(landtest::AreaFolder(1) + "/HeightMap.dat", std::vector<uint8_t>(36 * 36, 100));
    testdata::DataFolder folder(tree, false);
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    FillGrassAtlas();

    // A seed whose third draw (the turn) is 0.
    unsigned seed = 0;
    int draws[4] = {};
    for (;; ++seed)
    {
        GameSrand(seed);
        for (int& d : draws)
            d = GameRand();
        if (draws[2] % 101 == 0)
            break;
    }
    const float w = (draws[0] % 101) * 0.004f + 0.5f, h = (draws[1] % 101) * 0.004f + 1.0f;
    const float phase = (draws[3] % 1001) * 0.001f;
    GameSrand(seed);
    CGrassObject clump;
    const float at[3] = {-4.0f, 99.0f, 6.0f};
    clump.Create(at, 5);
    const float y = g_Landscape.GetHeight(at);
    const float r = 0.70710678f;
    // F = (-r, 0, r), S = (r, 0, r), U = (0, 1, 0).
    const float F[3] = {-r, 0, r}, S[3] = {r, 0, r};
    struct Row
    {
        float f, s, u;   // multiples of w along F and S, of h up (0.3 h for the low tips)
    };
    const Row rows[16] = {{1, 0, 0},    {-1, 0, 0},    {1, 0, 1},    {-1, 0, 1},   {1, 1, .3f}, {-1, 1, .3f},
                          {1, -1, .3f}, {-1, -1, .3f}, {0, 1, 0},    {0, -1, 0},   {0, 1, 1},   {0, -1, 1},
                          {1, 1, .3f},  {1, -1, .3f},  {-1, 1, .3f}, {-1, -1, .3f}};
    const D3DCOLOR still = 0xFF7F7F7F;
    const unsigned a = (unsigned)(phase * 255.0f);
    // d = (1, 0, 0): red (w + 1) / 2, green and blue the middle.
    const D3DCOLOR upright = (a << 24) | (255u << 16) | (127u << 8) | 127u;
    const D3DCOLOR low = (a << 24) | ((unsigned)(0.75f * 255.0f) << 16) | (127u << 8) | 127u;
    for (int i = 0; i < 16; ++i)
    {
        SCOPED_TRACE(i);
        const GrassVertex& v = clump.vertices[i];
        EXPECT_NEAR(v.x, at[0] + rows[i].f * w * F[0] + rows[i].s * w * S[0], 1e-4f);
        EXPECT_NEAR(v.y, y + rows[i].u * h, 1e-4f);
        EXPECT_NEAR(v.z, at[2] + rows[i].f * w * F[2] + rows[i].s * w * S[2], 1e-4f);
        const bool ground = i == 0 || i == 1 || i == 8 || i == 9;
        const bool tall = i == 2 || i == 3 || i == 10 || i == 11;
        EXPECT_EQ(v.wave, ground ? still : tall ? upright : low);
        // Atlas cell 5: (0.25, 0.25); ground edge at the bottom, tips at the top.
        EXPECT_NEAR(v.u, i % 2 == 0 ? 0.255f : 0.495f, 1e-6f);
        EXPECT_NEAR(v.v, ground ? 0.495f : 0.255f, 1e-6f);
        EXPECT_EQ(v.diffuse >> 24, 0xFFu);
    }
    g_Landscape.FreeArea();
}

// ---------------------------------------------------------------------------
// Draw distances, counted on the recording device.

class NatureDrawTest : public NatureAreaTest
{
protected:
    // Triangles drawn by `draw` with every field's part at distance d.
    int Triangles(float d, void (CNatureManager::*draw)())
    {
        for (int i = 0; i < g_Landscape.partCount; ++i)
        {
            g_Landscape.parts[i]->distance = d;
            g_Landscape.parts[i]->visible = 1;
            g_Landscape.parts[i]->inShadow = 1;
        }
        g_Render.mainFaces = g_Render.shadowFaces = g_Render.reflectionFaces = 0;
        (g_Nature.*draw)();
        return g_Render.mainFaces + g_Render.shadowFaces + g_Render.reflectionFaces;
    }
    int GrassClumps() const
    {
        int n = 0;
        for (int i = 0; i < g_Nature.grassFieldCount[0]; ++i)
            n += g_Nature.grassFields[0][i]->vertexCount / 16;
        return n;
    }
};

TEST_F(NatureDrawTest, GrassStemsLeavesAndShadowsStopAtTheirDistances)
{
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    const int clumps = GrassClumps();
    ASSERT_GT(clumps, 0);
    const struct
    {
        float d;
        int perClump;
    } grass[] = {{0, 12}, {15, 12}, {15.01f, 4}, {60, 4}, {60.01f, 2}, {112.49f, 2}, {112.5f, 0}};
    for (const auto& c : grass)
        EXPECT_EQ(Triangles(c.d, &CNatureManager::DrawGrass), clumps * c.perClump) << c.d;

    g_ShadowPass = 1;
    EXPECT_EQ(Triangles(25.9f, &CNatureManager::DrawGrassShadow), clumps * 4);
    EXPECT_EQ(Triangles(26.0f, &CNatureManager::DrawGrassShadow), 0);
    g_ShadowPass = 0;

    int stems = 0, lowStems = 0, leafVertices = 0;
    for (int i = 0; i < g_Nature.treeFieldCount[0]; ++i)
    {
        stems += g_Nature.treeFields[0][i]->stemIndexCount / 3;
        lowStems += g_Nature.treeFields[0][i]->lowStemIndexCount / 3;
        leafVertices += g_Nature.treeFields[0][i]->leafVertexCount;
    }
    ASSERT_GT(leafVertices, 0);
    // Stones of those parts are drawn with the stems; count them apart.
    const int stones = Triangles(200.0f, &CNatureManager::DrawTreeStems);
    EXPECT_EQ(stones, 0);
    const int nearStones = Triangles(139.9f, &CNatureManager::DrawTreeStems) - lowStems;
    EXPECT_EQ(Triangles(35.0f, &CNatureManager::DrawTreeStems), stems + nearStones);
    EXPECT_EQ(Triangles(35.01f, &CNatureManager::DrawTreeStems), lowStems + nearStones);
    EXPECT_EQ(Triangles(140.0f, &CNatureManager::DrawTreeStems), nearStones);

    EXPECT_EQ(Triangles(70.0f, &CNatureManager::DrawTreeLeafs), leafVertices / 2);
    EXPECT_EQ(Triangles(70.01f, &CNatureManager::DrawTreeLeafs), leafVertices / 4);
    EXPECT_EQ(Triangles(262.5f, &CNatureManager::DrawTreeLeafs), 0);
    g_ReflectionPass = 1;
    EXPECT_EQ(Triangles(10.0f, &CNatureManager::DrawTreeLeafs), leafVertices / 4);
    g_ReflectionPass = 0;
}

// The leaves cast their grey into the shadow map blended by their texture's
// alpha, without writing depth, so the casters drawn after them still blend
// over them; found with the opposite states set, the pass sets its own.
TEST_F(NatureDrawTest, LeafShadowsBlendWithoutDepthWrites)
{
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    g_Render.SetAlphaBlend(0);
    g_Render.SetZWrite(1);
    g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
    std::map<std::string, std::string> state = {{"ALPHABLENDENABLE", "0"},
                                                {"ZWRITEENABLE", "1"},
                                                {"SRCBLEND", std::to_string(D3DBLEND_ONE)},
                                                {"DESTBLEND", std::to_string(D3DBLEND_ZERO)},
                                                {"ALPHATESTENABLE", "0"}};
    g_ShadowPass = 1;
    D3DClearRecordedCalls();
    ASSERT_GT(Triangles(10.0f, &CNatureManager::DrawTreeLeafsShadow), 0);
    g_ShadowPass = 0;
    std::map<std::string, std::string> atDraw;
    for (const std::string& call : D3DRecordedCalls())
    {
        char name[64] = {0}, value[32] = {0};
        if (std::sscanf(call.c_str(), "SetRenderState(%63[A-Z], %31[0-9])", name, value) == 2)
            state[name] = value;
        if (call.compare(0, 21, "DrawIndexedPrimitive(") == 0)
            atDraw = state;
    }
    EXPECT_EQ(atDraw["ALPHABLENDENABLE"], "1");
    EXPECT_EQ(atDraw["SRCBLEND"], std::to_string(D3DBLEND_SRCALPHA));
    EXPECT_EQ(atDraw["DESTBLEND"], std::to_string(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(atDraw["ZWRITEENABLE"], "0");
    EXPECT_EQ(atDraw["ALPHATESTENABLE"], "0");
}

TEST(NatureFadeTest, StemFadeAndGrassLevels)
{
    EXPECT_EQ(NatureStemFade(105.0f), 0.0f);
    EXPECT_NEAR(NatureStemFade(122.5f), 0.5f, 1e-4f);
    EXPECT_NEAR(NatureStemFade(140.0f), 1.0f, 1e-5f);
    EXPECT_EQ(NatureGrassLevel(15.0f), 0);
    EXPECT_EQ(NatureGrassLevel(15.01f), 1);
    EXPECT_EQ(NatureGrassLevel(60.0f), 1);
    EXPECT_EQ(NatureGrassLevel(60.01f), 2);
}

// ---------------------------------------------------------------------------
// Bodies.

TEST_F(NatureAreaTest, ABodyIsInTheWorldOnlyWithinItsReach)
{
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    ASSERT_GT(g_Nature.stoneFieldCount[0], 0);
    CStoneObject* stone = g_Nature.stoneFields[0][0]->objects[0];
    ASSERT_NE(stone->body, nullptr);
    const struct
    {
        float distance;
        int inWorldBefore, inWorldAfter;
    } cases[] = {{23.9f, 0, 1}, {24.0f, 0, 0}, {24.0f, 1, 1}, {24.1f, 1, 0}, {30.0f, 0, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.distance);
        stone->EnablePhysics(c.inWorldBefore);
        stone->cameraDistance = c.distance;
        NatureUpdateBody(stone);
        EXPECT_EQ(stone->inWorld, c.inWorldAfter);
    }
    stone->EnablePhysics(0);
}

}   // namespace

namespace
{

// Packing frees only the copies a stone or tree made: the mesh record its
// description shares keeps every slot, so another object of the same file
// still has its geometry.
TEST_F(NatureAreaTest, PackingLeavesTheSharedMeshRecordWhole)
{
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    ASSERT_GT(g_Nature.treeFieldCount[0], 0);
    const CTreeObject* tree = g_Nature.treeFields[0][0]->objects[0];
    ASSERT_NE(tree->meshRecord, nullptr);
    EXPECT_EQ(tree->stemVertexCount, 0);   // its copies are gone
    for (int slot : {MESH_SLOT_MAIN, MESH_SLOT_SECOND, MESH_SLOT_LIGHTMAP, MESH_SLOT_SHADOW, MESH_SLOT_COLLISION})
        EXPECT_GT(tree->meshRecord->partCount[slot], 0) << slot;
    CStaticObject other;
    ASSERT_NE(other.Create(tree->path, 1, 0, D3DXMESH_SYSTEMMEM, 1), -1);
    EXPECT_EQ(other.meshRecord, tree->meshRecord);
    EXPECT_NE(NatureSlotMesh(other.meshRecord, MESH_SLOT_MAIN), nullptr);
    other.Release();
}

// A tree or stone description whose mesh file is missing places an object
// without geometry or body, quietly; the rest of the part is placed as usual.
TEST_F(NatureAreaTest, DescriptionsWithoutTheirMeshPlaceNothingDrawable)
{
    DataTree broken;
    broken.AddText("Data/Static/Nature/Trees/Main00.obj",
                   "// tree\n//\n//\nClass:                          GCLASS_STATIC\n"
                   "Type:                           GTYPE_TREE\n// Geometry\n"
                   "Mesh:                           Data/Static/Nature/Trees/Missing.msh\n"
                   "Texture:\n// End\nEnd:                            //--\n");
    broken.WriteAll(".");
    testdata::MessageCapture capture;
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    EXPECT_GT(g_Nature.treeCount + g_Nature.FieldCount(NATURE_TREES, 0), 0);
    int withoutMesh = 0;
    for (int i = 0; i < g_Nature.treeFieldCount[0]; ++i)
        for (int k = 0; k < g_Nature.treeFields[0][i]->objectCount; ++k)
        {
            const CTreeObject* t = g_Nature.treeFields[0][i]->objects[k];
            if (!t->meshRecord)
            {
                ++withoutMesh;
                EXPECT_EQ(t->body, nullptr);
            }
        }
    EXPECT_GT(withoutMesh, 0);
    EXPECT_GT(g_Nature.stemVertexCount, 0);   // the other trees kept theirs
    // One message for the missing file, none per tree.
    for (const std::string& m : testdata::Messages())
        EXPECT_EQ(m.find("Collision shape"), std::string::npos) << m;
}

}   // namespace

namespace
{

// The land part's own upkeep switches its fields by its distance from the
// eye: grass on within 150, stones 200, trees 350, parked beyond.
TEST_F(NatureAreaTest, PartsParkAndReturnTheirFieldsByDistance)
{
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    CLandPart* part = Part(0, 0);   // grass, stones and trees
    CCamera* saved = g_Views.activeCamera;
    g_Views.activeCamera = &g_Views.mainCamera;
    struct Step
    {
        float away;   // eye distance from the part's edge, roughly
        int grass, stones, trees;
    } steps[] = {{0, 1, 1, 1}, {180, 0, 1, 1}, {300, 0, 0, 1}, {1000, 0, 0, 0}, {0, 1, 1, 1}};
    for (const Step& s : steps)
    {
        SCOPED_TRACE(s.away);
        g_Views.mainCamera.eye = D3DXVECTOR3(part->centre[0] + part->radius + s.away, 10.0f, part->centre[2]);
        part->Update();
        EXPECT_EQ(g_Nature.HasField(NATURE_GRASS, 0, part), s.grass);
        EXPECT_EQ(g_Nature.HasField(NATURE_GRASS, 1, part), 1 - s.grass);
        EXPECT_EQ(g_Nature.HasField(NATURE_STONES, 0, part), s.stones);
        EXPECT_EQ(g_Nature.HasField(NATURE_TREES, 0, part), s.trees);
        EXPECT_EQ(g_Nature.HasField(NATURE_TREES, 1, part), 1 - s.trees);
    }
    g_Views.activeCamera = saved;
}

}   // namespace
