// Skid strips without a device: the strip pool, the spacing of points, the
// hidden ends, the colours by season and ground, the fade and expiry, the
// owner's trail entry cleared when a strip ends, and the figures kept.
#include "scene/WheelSkids.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "core/GameClock.h"
#include "core/RaceState.h"

namespace
{

float g_Power = 0.0f;
std::vector<const CSkidStrip*> g_Released;

class WheelSkidsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        savedHooks = g_SkidHooks;
        savedClock = g_Clock;
        savedRace = g_CurrentRace;
        savedSeason = g_RaceTable.season[0];
        g_CurrentRace = 0;
        g_RaceTable.season[0] = 0;
        g_Power = 0.0f;
        g_Released.clear();
        g_SkidHooks.groundHeight = [](const float p[3]) { return p[0] * 0.5f; };
        g_SkidHooks.routePower = [](const float*) { return g_Power; };
        g_SkidHooks.ownerSide = [](const CVehicleObject*, float side[3]) {
            side[0] = 1;
            side[1] = side[2] = 0;
        };
        g_SkidHooks.releaseOwner = [](CVehicleObject*, const CSkidStrip* s) { g_Released.push_back(s); };
        skids = std::make_unique<CWheelSkids>();
    }
    void TearDown() override
    {
        g_SkidHooks = savedHooks;
        g_Clock = savedClock;
        g_CurrentRace = savedRace;
        g_RaceTable.season[0] = savedSeason;
    }
    void Step(float dt)
    {
        g_Clock.m_GameStep = dt;
        skids->Update();
    }
    static int Alpha(const SkidVertex& v) { return int(v.colour >> 24); }
    static int Red(const SkidVertex& v) { return int((v.colour >> 16) & 0xFF); }
    static int Green(const SkidVertex& v) { return int((v.colour >> 8) & 0xFF); }
    static int Blue(const SkidVertex& v) { return int(v.colour & 0xFF); }

    CVehicleObject* owner = reinterpret_cast<CVehicleObject*>(&ownerStandIn);
    int ownerStandIn = 0;
    SkidHooks savedHooks;
    CGameClock savedClock;
    int savedRace = 0, savedSeason = 0;
    std::unique_ptr<CWheelSkids> skids;
};

TEST_F(WheelSkidsTest, TheHundredTwentyNinthStripIsRefused)
{
    for (int i = 0; i < CWheelSkids::MAX_STRIPS; ++i)
        ASSERT_EQ(skids->NewStrip(owner), &skids->strips[i]);
    EXPECT_EQ(skids->NewStrip(owner), nullptr);
}

TEST_F(WheelSkidsTest, PointsNearerThanAQuarterAreRefused)
{
    CSkidStrip* s = skids->NewStrip(owner);
    const float a[3] = {0, 0, 0}, b[3] = {0, 0, 0.2f}, c[3] = {0, 0, 0.3f};
    EXPECT_EQ(s->AddPoint(a, 1.0f), 1);
    EXPECT_EQ(s->AddPoint(b, 1.0f), 0);
    EXPECT_EQ(s->pointCount, 1);
    EXPECT_EQ(s->AddPoint(c, 1.0f), 1);
    // Measured from the left vertex of the last pair, which sits beside and
    // above the point.
    const SkidVertex& left = s->skidVertices[0];
    const float expected = std::sqrt(left.x * left.x + left.y * left.y + (0.3f - left.z) * (0.3f - left.z));
    EXPECT_NEAR(s->length, expected, 1e-5f);
    EXPECT_NEAR(s->skidVertices[3].v, 3.0f * expected, 1e-5f);
}

TEST_F(WheelSkidsTest, VerticesSitBesideThePointJustAboveTheGround)
{
    CSkidStrip* s = skids->NewStrip(owner);
    const float a[3] = {2, 5, 0};
    s->AddPoint(a, 1.0f);
    EXPECT_NEAR(s->skidVertices[0].x, 1.94f, 1e-5f);
    EXPECT_NEAR(s->skidVertices[1].x, 2.06f, 1e-5f);
    EXPECT_NEAR(s->skidVertices[0].y, 1.94f * 0.5f + 0.1f, 1e-5f);
    EXPECT_EQ(s->skidVertices[0].u, 0.0f);
    EXPECT_EQ(s->skidVertices[1].u, 1.0f);
}

TEST_F(WheelSkidsTest, TheFirstPointAndTheLastPointOfAnEndedStripAreInvisible)
{
    CSkidStrip* s = skids->NewStrip(owner);
    for (int i = 0; i < 3; ++i)
    {
        const float p[3] = {0, 0, float(i)};
        ASSERT_EQ(s->AddPoint(p, 1.0f), 1);
    }
    EXPECT_EQ(Alpha(s->skidVertices[0]), 0);
    EXPECT_EQ(Alpha(s->skidVertices[2]), 255);
    EXPECT_EQ(Alpha(s->skidVertices[4]), 255);
    s->End();
    EXPECT_EQ(Alpha(s->skidVertices[4]), 0);
    EXPECT_EQ(Alpha(s->skidVertices[5]), 0);
    EXPECT_EQ(s->owner, nullptr);
    EXPECT_EQ(g_Released, std::vector<const CSkidStrip*>{s});
    EXPECT_EQ(s->used, 1);

    // Without an owner further points are refused.
    const float p[3] = {0, 0, 9};
    EXPECT_EQ(s->AddPoint(p, 1.0f), 0);
}

TEST_F(WheelSkidsTest, ColourFollowsSeasonAndGround)
{
    const struct
    {
        int season;
        float power;
        int r, g, b;
    } cases[] = {
        {0, 0.0f, 153, 51, 0},      // brown earth
        {2, 0.0f, 153, 153, 153},   // winter grass: grey
        {2, 80.0f, 0, 0, 0},        // road: black
        {0, 62.5f, 76, 25, 0},      // half way onto the road: red 0.3
        {2, 62.5f, 76, 76, 76},
    };
    for (const auto& c : cases)
    {
        skids->Reset();
        g_RaceTable.season[0] = c.season;
        g_Power = c.power;
        CSkidStrip* s = skids->NewStrip(owner);
        const float a[3] = {0, 0, 0}, b[3] = {0, 0, 1};
        s->AddPoint(a, 1.0f);
        s->AddPoint(b, 1.0f);
        const SkidVertex& v = s->skidVertices[2];
        EXPECT_EQ(Red(v), c.r) << c.season << " " << c.power;
        EXPECT_EQ(Green(v), c.g) << c.season << " " << c.power;
        EXPECT_EQ(Blue(v), c.b) << c.season << " " << c.power;
    }
}

TEST_F(WheelSkidsTest, StripsFadeFromFourSecondsAndAreFreedAfterEight)
{
    CSkidStrip* s = skids->NewStrip(owner);
    for (int i = 0; i < 3; ++i)
    {
        const float p[3] = {0, 0, float(i)};
        s->AddPoint(p, 1.0f);
    }
    s->intensities[1] = 200;
    Step(4.0f);
    EXPECT_EQ(Alpha(s->skidVertices[2]), 255);   // not yet fading
    Step(2.0f);
    EXPECT_EQ(Alpha(s->skidVertices[2]), 100);
    EXPECT_EQ(Alpha(s->skidVertices[3]), 100);
    EXPECT_EQ(Alpha(s->skidVertices[0]), 0);
    EXPECT_EQ(Alpha(s->skidVertices[4]), 127);   // still owned: the last point shows
    EXPECT_EQ(Red(s->skidVertices[2]), 153);     // colour kept
    Step(2.01f);
    EXPECT_EQ(s->used, 0);
    EXPECT_EQ(s->pointCount, 0);
    EXPECT_EQ(g_Released, std::vector<const CSkidStrip*>{s});
    EXPECT_EQ(skids->NewStrip(owner), s);
}

TEST_F(WheelSkidsTest, TheHundredTwentyEighthPointEndsTheStrip)
{
    CSkidStrip* s = skids->NewStrip(owner);
    for (int i = 0; i < CSkidStrip::MAX_POINTS; ++i)
    {
        const float p[3] = {0, 0, float(i) * 0.5f};
        ASSERT_EQ(s->AddPoint(p, 1.0f), 1) << i;
    }
    EXPECT_EQ(s->owner, nullptr);
    EXPECT_EQ(g_Released.size(), 1u);
    EXPECT_EQ(Alpha(s->skidVertices[2 * CSkidStrip::MAX_POINTS - 1]), 0);
    const float p[3] = {0, 0, 100};
    EXPECT_EQ(s->AddPoint(p, 1.0f), 0);
}

TEST_F(WheelSkidsTest, ResetFreesEveryStripWithoutTellingTheOwners)
{
    skids->NewStrip(owner);
    skids->NewStrip(owner);
    skids->Reset();
    EXPECT_TRUE(g_Released.empty());
    for (const CSkidStrip& s : skids->strips)
        EXPECT_EQ(s.used, 0);
}

// The figures a race reports: strips handed out and refused, and of the
// strips freed again those that had something to show between their ends.
TEST_F(WheelSkidsTest, StatsCountStripsRefusedFreedAndShown)
{
    auto lay = [&](int points) {
        CSkidStrip* s = skids->NewStrip(owner);
        for (int i = 0; i < points; ++i)
        {
            const float p[3] = {0, 0, float(i)};
            s->AddPoint(p, 1.0f);
        }
        s->End();
        return s;
    };
    lay(2);   // its first and its last point are hidden
    lay(3);
    CSkidStrip* open = skids->NewStrip(owner);
    const float a[3] = {0, 0, 0}, b[3] = {0, 0, 1};
    open->AddPoint(a, 1.0f);
    open->AddPoint(b, 1.0f);   // still owned: its last point shows
    Step(9.0f);
    EXPECT_EQ(skids->stats.opened, 3);
    EXPECT_EQ(skids->stats.retired, 3);
    EXPECT_EQ(skids->stats.shown, 2);
    EXPECT_NEAR(skids->stats.longestStrip, 2.0f, 0.05f);

    for (int i = 0; i <= CWheelSkids::MAX_STRIPS; ++i)
        skids->NewStrip(owner);
    EXPECT_EQ(skids->stats.refused, 1);
    skids->Reset();
    EXPECT_EQ(skids->stats.retired, 3 + CWheelSkids::MAX_STRIPS);
    EXPECT_EQ(skids->stats.shown, 2);
}

}   // namespace
