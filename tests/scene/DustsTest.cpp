// Dust puffs without a device: the pool limit, the random draws of a new puff,
// the fades by age, distance and nearness, the drag, the far-to-near order and
// the removal rules; and on the recording device, the blend the puffs are
// drawn with.
#include "scene/Dusts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "core/GameClock.h"
#include "platform/math/D3DXMath.h"
#include "platform/os/Rand.h"
#include "render/Camera.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/Skip.h"

namespace
{

const float kPi = 3.14159265f;

class DustsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        savedClock = g_Clock;
        savedActive = g_Views.activeCamera;
        g_Render.screenWidth = 800;
        g_Render.screenHeight = 600;
        g_Render.scaleX = g_Render.scaleY = 1;
        // At the origin looking along +z.
        const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1);
        camera.Init(&eye, &at, kPi / 2, 1.0f, 0.2f, 500.0f, VIEWMODE_FREE, CAMERA_AUX);
        g_Views.activeCamera = &camera;
        dusts = std::make_unique<CDusts>();
    }
    void TearDown() override
    {
        g_Views.activeCamera = savedActive;
        camera.Release();
        g_Clock = savedClock;
    }

    void Emit(float x, float y, float z, float size = 0.2f, float life = 10.0f, float vz = 0.0f)
    {
        const float p[3] = {x, y, z}, v[3] = {0, 0, vz}, c[4] = {0.5f, 0.4f, 0.3f, 0.8f};
        dusts->Emit(p, v, size, life, 0.0f, c);
    }
    void Step(float dt)
    {
        g_Clock.m_GameStep = dt;
        dusts->Update();
    }

    CGameClock savedClock;
    CCamera* savedActive = nullptr;
    CCamera camera;
    std::unique_ptr<CDusts> dusts;
};

TEST_F(DustsTest, TheFiveHundredThirteenthEmitIsRefused)
{
    for (int i = 0; i < CDusts::MAX_PARTICLES; ++i)
        Emit(0, 0, 5.0f + float(i) * 0.01f);
    ASSERT_EQ(dusts->liveCount, 512);
    Emit(0, 0, 99);
    EXPECT_EQ(dusts->liveCount, 512);
    EXPECT_FLOAT_EQ(dusts->particles[511].position[2], 5.0f + 511 * 0.01f);
}

TEST_F(DustsTest, SpawnKeepsTheColourBelowOneAndTheSpinAwayFromZero)
{
    const float p[3] = {0, 0, 5}, v[3] = {0, 0, 0}, bright[4] = {1.0f, 0.9f, 0.1f, 0.5f};
    for (int i = 0; i < 200; ++i)
        dusts->Emit(p, v, 1, 1, 0, bright);
    for (int i = 0; i < dusts->liveCount; ++i)
    {
        const CDustParticle& d = dusts->particles[i];
        EXPECT_LE(std::fmax(d.colour[0], std::fmax(d.colour[1], d.colour[2])), 1.0f);
        EXPECT_FLOAT_EQ(d.colour[3], 0.5f);
        EXPECT_GE(std::fabs(d.spin), 0.2f - 1e-6f);
        EXPECT_LE(std::fabs(d.spin), 0.5f + 1e-6f);
        EXPECT_NEAR(std::hypot(d.axis[0], d.axis[1]), 1.0f, 1e-5f);
        EXPECT_EQ(d.axis[2], 0.0f);
    }
}

// A puff draws four numbers from the game's generator, in this order: spin,
// colour, then the axis across and up; the C library's generator is left alone.
TEST_F(DustsTest, SpawnDrawsFromTheGamesGeneratorInItsOrder)
{
    GameSrand(1234);
    int draw[5];
    for (int& d : draw)
        d = GameRand();
    std::srand(77);
    const int libraryFirst = std::rand();
    std::srand(77);

    GameSrand(1234);
    const float p[3] = {0, 0, 5}, v[3] = {0, 0, 0}, c[4] = {0.3f, 0.2f, 0.1f, 0.5f};
    dusts->Emit(p, v, 1, 1, 0, c);
    const CDustParticle& d = dusts->particles[0];
    const float x = float(draw[0] % 601) * 0.001f - 0.3f;
    EXPECT_FLOAT_EQ(d.spin, x >= 0.0f ? x + 0.2f : x - 0.2f);
    EXPECT_FLOAT_EQ(d.colour[0], 0.3f + float(draw[1] % 101) * 0.002f);
    const float ax = float(draw[2] % 10001 - 5000), ay = float(draw[3] % 10001 - 5000);
    EXPECT_NEAR(d.axis[0], ax / std::hypot(ax, ay), 1e-6f);
    EXPECT_NEAR(d.axis[1], ay / std::hypot(ax, ay), 1e-6f);
    EXPECT_EQ(GameRand(), draw[4]);
    EXPECT_EQ(std::rand(), libraryFirst);
}

TEST_F(DustsTest, FullAlphaForHalfTheLifeThenALinearFade)
{
    Emit(0, 0, 10, 0.2f, 2.0f);
    const struct
    {
        float age, alpha;
    } expected[] = {{0.5f, 0.8f}, {1.0f, 0.8f}, {1.5f, 0.4f}};
    for (const auto& e : expected)
    {
        Step(0.5f);
        ASSERT_EQ(dusts->liveCount, 1);
        EXPECT_NEAR(dusts->particles[0].colour[3], e.alpha, 1e-5f) << e.age;
    }
    Step(0.5f);
    EXPECT_EQ(dusts->liveCount, 0);
}

TEST_F(DustsTest, DistanceFadesFarPuffsAndPuffsAroundTheEye)
{
    const struct
    {
        float z, size;
        int alive;
        float alpha;
    } cases[] = {
        {87.6f, 0.2f, 1, 0.4f},    // 87.5 away: half the alpha
        {50.0f, 0.2f, 1, 0.8f},    // near enough: untouched
        {100.6f, 0.2f, 0, 0.0f},   // 100.5 away: removed
        {4.0f, 4.0f, 1, 0.4f},     // size 4 at distance 2: half
    };
    for (const auto& c : cases)
    {
        dusts->Reset();
        Emit(0, 0, c.z, c.size);
        Step(0.01f);
        ASSERT_EQ(dusts->liveCount, c.alive) << c.z;
        if (c.alive)
        {
            EXPECT_NEAR(dusts->particles[0].colour[3], c.alpha, 1e-3f) << c.z;
        }
    }
}

TEST_F(DustsTest, DragHalvesTheVelocityAtHalfSecondStepsAndStopsItOnLongSteps)
{
    Emit(0, 0, 10, 0.2f, 100.0f, 4.0f);
    Step(0.5f);
    EXPECT_FLOAT_EQ(dusts->particles[0].velocity[2], 2.0f);
    EXPECT_FLOAT_EQ(dusts->particles[0].position[2], 12.0f);
    Step(0.5f);
    EXPECT_FLOAT_EQ(dusts->particles[0].velocity[2], 1.0f);

    for (float dt : {1.0f, 3.0f})
    {
        dusts->Reset();
        Emit(0, 0, 10, 0.2f, 100.0f, 4.0f);
        Step(dt);
        // Stopped, never turned round by a step longer than a second.
        EXPECT_EQ(dusts->particles[0].velocity[2], 0.0f) << dt;
        EXPECT_FLOAT_EQ(dusts->particles[0].position[2], 10.0f + 4.0f * dt) << dt;
    }
}

TEST_F(DustsTest, VisiblePuffsAreOrderedFromFarToNear)
{
    for (float z : {10.0f, 30.0f, 20.0f, 5.0f, 25.0f})
        Emit(0, 0, z);
    Emit(0, 0, -10);   // behind the eye: alive, not drawn
    Step(0.01f);
    ASSERT_EQ(dusts->visibleCount, 5);
    for (int i = 1; i < dusts->visibleCount; ++i)
        EXPECT_GT(dusts->visibleParticles[i - 1]->cameraDistance, dusts->visibleParticles[i]->cameraDistance);
    EXPECT_NEAR(dusts->visibleParticles[0]->position[2], 30.0f, 1e-4f);
    EXPECT_EQ(dusts->liveCount, 6);
}

TEST_F(DustsTest, PuffsBehindTheEyeAgeAndDieOnTime)
{
    Emit(0, 0, -10, 0.2f, 1.0f);
    Step(0.6f);
    EXPECT_EQ(dusts->liveCount, 1);
    EXPECT_EQ(dusts->visibleCount, 0);
    Step(0.6f);
    EXPECT_EQ(dusts->liveCount, 0);
}

TEST_F(DustsTest, ADeadSlotTakesTheLastPuffWhichIsAdvancedOnce)
{
    Emit(0, 0, 10, 0.2f, 0.1f);
    Emit(0, 0, 20, 0.2f, 10.0f);
    Step(0.2f);
    ASSERT_EQ(dusts->liveCount, 1);
    EXPECT_FLOAT_EQ(dusts->particles[0].age, 0.2f);
    EXPECT_EQ(dusts->particles[1].active, 0);
}

TEST_F(DustsTest, AnAxisAlongTheLineToTheEyeStaysFinite)
{
    Emit(0, 0, 10);
    dusts->particles[0].axis[0] = 0;
    dusts->particles[0].axis[1] = 0;
    dusts->particles[0].axis[2] = -1;
    Step(0.1f);
    Step(0.1f);
    const float* a = dusts->particles[0].axis;
    for (int k = 0; k < 3; ++k)
        EXPECT_TRUE(std::isfinite(a[k]));
    EXPECT_NEAR(std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]), 1.0f, 1e-4f);
}

TEST_F(DustsTest, TheAxisTurnsAndStaysUnitLength)
{
    Emit(0, 0, 10);
    const float before[3] = {dusts->particles[0].axis[0], dusts->particles[0].axis[1], dusts->particles[0].axis[2]};
    Step(0.1f);
    const float* a = dusts->particles[0].axis;
    EXPECT_NEAR(std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]), 1.0f, 1e-4f);
    const float dot = a[0] * before[0] + a[1] * before[1] + a[2] * before[2];
    EXPECT_NEAR(dot, std::cos(dusts->particles[0].spin * 0.1f * 5.0f), 1e-4f);
}

// The puffs are drawn over the scene blended by their alpha, so a fading
// puff thins out instead of brightening the picture: the blend as the draw
// call is made.
class DustsDrawDemoDataTest : public render_test::RenderFixture
{};

TEST_F(DustsDrawDemoDataTest, PuffsAreBlendedByTheirAlpha)
{
    UseDemoData(true);
    StartDevice();
    if (!g_Render.vs11 || !g_Render.effect)
        SKIP_OR_FAIL_IN_CI() << "no vertex shaders on this device";
    CCamera* const savedActive = g_Views.activeCamera;
    CCamera camera;
    const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1);
    camera.Init(&eye, &at, kPi / 2, 1.0f, 0.2f, 500.0f, VIEWMODE_FREE, CAMERA_AUX);
    g_Views.activeCamera = &camera;
    std::unique_ptr<CDusts> dusts = std::make_unique<CDusts>();
    ASSERT_EQ(dusts->Create(), 1);
    const float p[3] = {0, 0, 10}, v[3] = {0, 0, 0}, c[4] = {0.5f, 0.4f, 0.3f, 0.8f};
    dusts->Emit(p, v, 0.5f, 10.0f, 0.0f, c);
    const CGameClock savedClock = g_Clock;
    g_Clock.m_GameStep = 0.01f;
    dusts->Update();
    g_Clock = savedClock;
    ASSERT_EQ(dusts->visibleCount, 1);

    D3DClearRecordedCalls();
    dusts->Render();
    const std::vector<std::string>& calls = D3DRecordedCalls();
    size_t draw = 0;
    while (draw < calls.size() && calls[draw].rfind("DrawIndexedPrimitive", 0) != 0)
        ++draw;
    ASSERT_LT(draw, calls.size()) << "the puffs were drawn";
    // The last value a render state was given before the draw, -1 for none.
    auto atDraw = [&](const std::string& state) {
        const std::string prefix = "SetRenderState(" + state + ", ";
        for (size_t i = draw; i-- > 0;)
            if (calls[i].rfind(prefix, 0) == 0)
                return std::stol(calls[i].substr(prefix.size()));
        return -1L;
    };
    EXPECT_EQ(atDraw("ALPHABLENDENABLE"), 1L);
    EXPECT_EQ(atDraw("SRCBLEND"), (long)D3DBLEND_SRCALPHA);
    EXPECT_EQ(atDraw("DESTBLEND"), (long)D3DBLEND_INVSRCALPHA);
    dusts->Release();
    camera.Release();
    g_Views.activeCamera = savedActive;
}

}   // namespace
