// Light sprites, lamps, beams and spots written into the dynamic batch of the
// recording device: the moon's share in the lamps, the glare by the angle to
// the eye, the brake flare, the night beams' quads and their spacing, the
// size with distance, colours that saturate instead of wrapping, and point
// sets too small for a beam or a spot.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/Keywords.h"
#include "render/BatchVertex.h"
#include "render/MeshContainer.h"
#include "render/Views.h"
#include "scene/LightEffects.h"
#include "scene/LightSprite.h"
#include "scene/MeshEffects.h"
#include "scene/StaticObject.h"
#include "tests/render/RenderTestSupport.h"

using namespace render_test;

namespace
{

float g_Brake = -1.0f;
float Brake(const CStaticObject*)
{
    return g_Brake;
}

// Red, green and blue bytes of an ARGB colour.
int Channel(DWORD argb, int shift)
{
    return int((argb >> shift) & 0xFF);
}

class LightSpriteDemoDataTest : public RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        UseDemoData(true);
        StartDevice();
        g_ViewDistance = 500;
        g_MeshEffectInputs.moonIntensity = &moon;
        cellSize = 2.0f;
        g_LightSpriteInputs = LightSpriteInputs{Brake, &cellSize};
        g_Brake = -1.0f;

        // The motorcycle at the origin facing +z, the eye ahead of it.
        owner.objectType = GTYPE_VEHICLE;
        owner.visible = 1;
        owner.cameraDistance = 5.0f;
        owner.material.Diffuse.a = 1.0f;
        owner.boundRadius = 1.0f;
        D3DXMatrixIdentity(reinterpret_cast<D3DXMATRIX*>(&owner.world));
        owner.meshRecord = &record;
        Look(D3DXVECTOR3(0, 1, 10), D3DXVECTOR3(0, 0, 0));
    }
    void TearDown() override
    {
        owner.meshRecord = nullptr;
        for (std::vector<D3DXVECTOR3>& set : points)
            set.clear();
        g_MeshEffectInputs.moonIntensity = nullptr;
        g_LightSpriteInputs = LightSpriteInputs{nullptr, nullptr};
        g_Views.mainCamera.Release();
        g_Views.activeCamera = nullptr;
        RenderFixture::TearDown();
    }

    void Look(const D3DXVECTOR3& eye, const D3DXVECTOR3& at)
    {
        g_Views.mainCamera.Init(&eye, &at, D3DX_PI / 2, 4.0f / 3.0f, 0.5f, 1000.0f, VIEWMODE_FREE, CAMERA_AUX);
        g_Views.activeCamera = &g_Views.mainCamera;
    }

    void SetPoints(int set, const std::vector<D3DXVECTOR3>& p)
    {
        points[set] = p;
        record.pointCount[set] = (int)p.size();
        record.points[set] = points[set].empty() ? nullptr : points[set].data();
    }

    // Lamps on point sets 1 (two), 2 and 3; file colours and sizes.
    void MakeLamps(CDirectLightsEffect& lamps)
    {
        SetPoints(1, {D3DXVECTOR3(-0.05f, 1, 1), D3DXVECTOR3(0.05f, 1, 1)});
        SetPoints(2, {D3DXVECTOR3(0, 0.8f, -1)});
        SetPoints(3, {D3DXVECTOR3(-0.2f, 0.8f, -1), D3DXVECTOR3(0.2f, 0.8f, -1)});
        lamps.owner = &owner;
        const float colours[3][4] = {{1, 0.8f, 0.6f, 1}, {0.6f, 0.1f, 0.1f, 1}, {1, 0.5f, 0, 1}};
        for (int i = 0; i < 3; ++i)
            for (int c = 0; c < 4; ++c)
                lamps.colours[i][c] = colours[i][c];
        lamps.sizes[0] = 0.2f;
        lamps.sizes[1] = 0.1f;
        lamps.sizes[2] = 0.05f;
        lamps.Build();
    }

    const BatchVertex* Batch() const { return static_cast<const BatchVertex*>(g_Render.batchVertices); }

    float moon = 0.0f;
    float cellSize = 2.0f;
    MeshRecord record;
    std::vector<D3DXVECTOR3> points[MESH_POINT_SETS];
    CStaticObject owner;
};

TEST_F(LightSpriteDemoDataTest, LampsTakeTheMoonsShareAndSaturateInsteadOfWrapping)
{
    CDirectLightsEffect lamps;
    MakeLamps(lamps);
    ASSERT_EQ(lamps.sets[1].spriteCount, 2u);
    ASSERT_EQ(lamps.sets[2].spriteCount, 1u);
    ASSERT_EQ(lamps.sets[3].spriteCount, 2u);
    struct Case
    {
        float moon;
        float lampShare, brakeShare;
        int beamVertices;   // two beams of ten quads at night
    } cases[] = {{0.0f, 0.5f, 0.5f, 0}, {0.6f, 1.1f, 1.0f, 80}, {1.0f, 1.5f, 1.0f, 80}};
    for (const Case& c : cases)
    {
        moon = c.moon;
        g_Render.BeginBatch();
        lamps.Update();
        const int sprites = g_Render.batchVertexCount;
        lamps.RenderBeams();
        EXPECT_EQ(g_Render.batchVertexCount - sprites, c.beamVertices) << c.moon;
        for (int ch = 0; ch < 3; ++ch)
        {
            EXPECT_NEAR(lamps.sets[1].colour[ch], lamps.colours[0][ch] * c.lampShare, 1e-5) << c.moon;
            EXPECT_NEAR(lamps.sets[2].colour[ch], lamps.colours[1][ch] * c.brakeShare, 1e-5) << c.moon;
        }
        // The lamps' red passes 1 at night: its byte stays at 255.
        const BatchVertex* v = Batch();
        const int red = Channel(v[0].colour, 16);
        EXPECT_EQ(red, std::min(255, int(c.lampShare * 255.0f))) << c.moon;
        if (c.moon == 0.6f)
        {
            // The first beam quad: a tenth of the lamp colour.
            const BatchVertex& beam = v[sprites];
            EXPECT_NEAR(Channel(beam.colour, 16), 0.1f * 255.0f, 1.5f);
            EXPECT_NEAR(Channel(beam.colour, 8), 0.08f * 255.0f, 1.5f);
        }
        g_Render.EndBatch();
    }
    lamps.Free();
}

// Each night beam is ten quads growing from the lamp towards a point two
// cells ahead and a little down: half sizes 0.2, 0.24, 0.32, 0.44 ... 1.4, and
// centres C0 + k (a + k c), ever further apart, from the first twentieth of
// the way on.
TEST_F(LightSpriteDemoDataTest, NightBeamsGrowAndSpreadTowardsTwoCellsAhead)
{
    CDirectLightsEffect lamps;
    MakeLamps(lamps);
    moon = 1.0f;
    g_Render.BeginBatch();
    lamps.RenderBeams();
    ASSERT_EQ(g_Render.batchVertexCount, 80);
    const float sizes[10] = {0.2f, 0.24f, 0.32f, 0.44f, 0.6f, 0.76f, 0.92f, 1.08f, 1.24f, 1.4f};
    for (int b = 0; b < 2; ++b)
    {
        // The owner stands on the identity: world and object space agree.
        const D3DXVECTOR3 S = points[1][(size_t)b];
        D3DXVECTOR3 reach(0.0f, -0.1f, 1.0f);
        D3DXVec3Normalize(&reach, &reach);
        const D3DXVECTOR3 E = S + reach * (2.0f * cellSize);
        const D3DXVECTOR3 t = (E - S) / 20.0f, c0 = S + t / 2.0f, a = t / 10.0f, c = (E - c0) * 0.005f;
        for (int k = 0; k < 10; ++k)
        {
            SCOPED_TRACE(testing::Message() << "beam " << b << " quad " << k);
            const D3DXVECTOR3 centre = c0 + (a + c * (float)k) * (float)k;
            for (int n = 0; n < 4; ++n)
            {
                const BatchVertex& v = Batch()[40 * b + 4 * k + n];
                EXPECT_NEAR(std::fabs(v.x), sizes[k], 1e-5f);
                EXPECT_NEAR(std::fabs(v.y), sizes[k], 1e-5f);
                EXPECT_NEAR(v.centre[0], centre.x, 1e-5f);
                EXPECT_NEAR(v.centre[1], centre.y, 1e-5f);
                EXPECT_NEAR(v.centre[2], centre.z, 1e-5f);
            }
        }
    }
    g_Render.EndBatch();
    lamps.Free();
}

TEST_F(LightSpriteDemoDataTest, FrontGlareShowsOnlyFromTheFrontAndNarrowsWithTheAngle)
{
    struct Strength
    {
        float x, z, q;
    } strengths[] = {{0, 1, 1},  {0.5f, 0.866f, 0.45f}, {0.909f, 0.417f, 0.0001f}, {0.91f, 0.41f, 0}, {0.95f, 0.31f, 0},
                     {0, -1, 0}, {0.3f, -0.95f, 0}};
    for (const Strength& s : strengths)
        EXPECT_NEAR(FrontGlareStrength(s.x, s.z), s.q, 1e-3) << s.x << " " << s.z;

    CDirectLightsEffect lamps;
    MakeLamps(lamps);
    moon = 0.0f;
    // Ahead: drawn with half the lamp colour by day (q = 1); from the side
    // (|e.x| near 1): drawn in black; behind: not drawn.
    struct Case
    {
        D3DXVECTOR3 eye;
        bool glare;
        float red;
    } cases[] = {{D3DXVECTOR3(0, 0, 10), true, 0.5f},
                 {D3DXVECTOR3(10, 0, 0.5f), true, 0.0f},
                 {D3DXVECTOR3(0, 0, -10), false, 0.0f}};
    const int withoutGlare = 4 * (2 + 1 + 2);
    for (const Case& c : cases)
    {
        Look(c.eye, D3DXVECTOR3(0, 0, 0));
        lamps.sets[0].colour[0] = 0.0f;
        g_Render.BeginBatch();
        lamps.Update();
        EXPECT_EQ(g_Render.batchVertexCount, withoutGlare + (c.glare ? 8 : 0)) << c.eye.x << " " << c.eye.z;
        EXPECT_NEAR(lamps.sets[0].colour[0], c.red, 1e-5) << c.eye.x << " " << c.eye.z;
        g_Render.EndBatch();
    }
    lamps.Free();
}

TEST_F(LightSpriteDemoDataTest, BrakeLightFlaresAboveTwentyAndKeepsItsSize)
{
    CDirectLightsEffect lamps;
    MakeLamps(lamps);
    moon = 0.0f;
    struct Case
    {
        float brake;
        float red;    // set 2's red
        float size;   // the brake sprite's half size
    } cases[] = {
        {0, 0.3f, 0.1f},       // half the file's 0.6 by day
        {20, 0.3f, 0.1f},      // not above 20
        {100, 1.0f, 0.12f},    // fully red, 1.2 times the size
        {10, 0.3f, 0.12f},     // released: the size stays
        {60, 0.84f, 0.112f},   // 0.6 + 0.4 x 0.6
    };
    for (const Case& c : cases)
    {
        g_Brake = c.brake;
        g_Render.BeginBatch();
        lamps.Update();
        g_Render.EndBatch();
        EXPECT_NEAR(lamps.sets[2].colour[0], c.red, 1e-5) << c.brake;
        EXPECT_NEAR(lamps.sets[2].pointSizes[0][0], c.size, 1e-5) << c.brake;
        EXPECT_NEAR(lamps.sets[2].pointSizes[0][2], c.size / 2, 1e-5) << c.brake;
    }
    lamps.Free();
}

TEST_F(LightSpriteDemoDataTest, FarMotorcycleSpritesGrowAndOthersKeepTheirSize)
{
    struct Case
    {
        int type;
        float distance, k;
    } cases[] = {{GTYPE_VEHICLE, 5, 1},
                 {GTYPE_VEHICLE, 10, 1},
                 {GTYPE_VEHICLE, 55, 2},
                 {GTYPE_VEHICLE, 100, 3},
                 {GTYPE_STATIC, 55, 1}};
    SetPoints(1, {D3DXVECTOR3(0, 2, 0)});
    for (const Case& c : cases)
    {
        owner.objectType = c.type;
        owner.cameraDistance = c.distance;
        EXPECT_NEAR(LightSpriteScale(&owner), c.k, 1e-5) << c.distance;
        CLightsEffect lights;
        lights.owner = &owner;
        lights.spriteSize[0] = lights.spriteSize[1] = 0.5f;
        lights.spriteSize[2] = 0.125f;
        g_Render.BeginBatch();
        lights.Render();
        ASSERT_EQ(g_Render.batchVertexCount, 4);
        EXPECT_NEAR(Batch()[0].x, 0.5f * c.k, 1e-5);
        EXPECT_NEAR(Batch()[3].y, -0.5f * c.k, 1e-5);
        EXPECT_NEAR(Batch()[0].z, 0.125f * c.k, 1e-5);
        g_Render.EndBatch();
        lights.Free();
    }
    // Past 100 nothing is drawn at all.
    owner.cameraDistance = 101;
    EXPECT_EQ(LightSpriteAllowed(&owner), 0);
}

TEST_F(LightSpriteDemoDataTest, NoPointSetMeansNoSpritesAndOnePointMeansNoSecondBeam)
{
    // Lights on a mesh without point set 1 build nothing.
    CLightsEffect lights;
    lights.owner = &owner;
    g_Render.BeginBatch();
    lights.Render();
    EXPECT_EQ(lights.spriteCount, 0u);
    EXPECT_EQ(lights.vertices, nullptr);
    EXPECT_EQ(g_Render.batchVertexCount, 0);
    g_Render.EndBatch();

    // A single lamp point: one beam, and nothing is read past the point.
    SetPoints(1, {D3DXVECTOR3(0, 1, 1)});
    CDirectLightsEffect lamps;
    lamps.owner = &owner;
    lamps.sizes[0] = 0.2f;
    lamps.Build();
    moon = 1.0f;
    g_Render.BeginBatch();
    lamps.RenderBeams();
    EXPECT_EQ(g_Render.batchVertexCount, 40);
    EXPECT_EQ(g_Render.batchIndexCount, 60);
    g_Render.EndBatch();
    lamps.Free();

    // A single spot point makes no pair and no beam.
    SetPoints(3, {D3DXVECTOR3(0, 3, 0)});
    CSpotsEffect spots;
    spots.owner = &owner;
    g_Render.BeginBatch();
    spots.Render();
    EXPECT_EQ(spots.beamCount, 0u);
    EXPECT_EQ(g_Render.batchVertexCount, 0);
    g_Render.EndBatch();
}

TEST_F(LightSpriteDemoDataTest, SpotBeamsOfAParkedObjectKeepTheirFirstCentres)
{
    owner.objectType = GTYPE_BUILDING;
    // A level pair (turns about the depth axis) and a falling one; a fifth
    // point without a partner is left out.
    SetPoints(3, {D3DXVECTOR3(0, 5, 0), D3DXVECTOR3(3, 5, 0), D3DXVECTOR3(0, 5, 2), D3DXVECTOR3(0, 0, 2),
                  D3DXVECTOR3(9, 9, 9)});
    CSpotsEffect spots;
    spots.owner = &owner;
    spots.colour[0] = 1.5f;   // saturates
    spots.colour[1] = 0.5f;
    spots.colour[2] = 0.0f;
    g_Render.BeginBatch();
    spots.Render();
    ASSERT_EQ(spots.beamCount, 2u);
    EXPECT_NEAR(spots.beamWidth, 1.0f, 1e-3);
    ASSERT_EQ(g_Render.batchVertexCount, 6);
    const BatchVertex* v = Batch();
    EXPECT_EQ(v[0].axis[2], 1.0f);     // level pair
    EXPECT_EQ(v[3].axis[1], 1.0f);     // falling pair
    EXPECT_EQ(v[1].centre[0], 0.0f);   // vertex 1 at A, 0 and 2 at B
    EXPECT_EQ(v[0].centre[0], 3.0f);
    EXPECT_EQ(Channel(v[0].colour, 16), 255);
    EXPECT_EQ(Channel(v[0].colour, 8), 127);
    g_Render.EndBatch();

    // Moved after its first draw, a parked object's beams stay where they were.
    reinterpret_cast<D3DXMATRIX*>(&owner.world)->_41 = 50.0f;
    g_Render.BeginBatch();
    spots.Render();
    ASSERT_EQ(g_Render.batchVertexCount, 6);
    EXPECT_EQ(Batch()[0].centre[0], 3.0f);
    g_Render.EndBatch();
    spots.Free();
}

}   // namespace
