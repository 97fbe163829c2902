// The sun flare's steps as plain functions: target size, glare strength, the
// fade, the occlusion ray's timing and the row of discs.
#include "world/SkyFlare.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

TEST(SkyFlare, TargetByWhereTheSunShows)
{
    struct Case
    {
        float x, y, depth, target;
    };
    const Case cases[] = {
        {400, 300, 1, 525},          // at the centre: the largest
        {400, 100, 1, 1.5f * 150},   // 200 from the centre
        {400 + 350, 300, 1, 20},     // far from the centre: at least 20
        {-50, -50, 1, 20},           // on the margin still counts
        {-50.5f, 300, 1, 0},         // past it: nothing
        {850.5f, 300, 1, 0},        {400, 650.5f, 1, 0},   {400, -51, 1, 0}, {400, 300, -0.01f, 0},   // behind the eye
        {400, 300, 0, 525},   // just at the eye's plane
        {std::nanf(""), 300, 1, 0}, {400, INFINITY, 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(FlareTarget(c.x, c.y, c.depth), c.target) << c.x << ", " << c.y << ", " << c.depth;
}

TEST(SkyFlare, GlareWeakensAsTheSunSinks)
{
    EXPECT_FLOAT_EQ(FlareGlare(-0.9f), 0.5f);
    EXPECT_FLOAT_EQ(FlareGlare(-0.41f), 0.5f);
    EXPECT_FLOAT_EQ(FlareGlare(-0.4f), 0.5f);
    EXPECT_FLOAT_EQ(FlareGlare(-0.2f), 0.25f);
    EXPECT_FLOAT_EQ(FlareGlare(-0.01f), 0.0125f);
}

TEST(SkyFlare, ApproachNeverOvershoots)
{
    EXPECT_FLOAT_EQ(FlareApproach(0, 525, 100), 100);
    EXPECT_FLOAT_EQ(FlareApproach(500, 525, 100), 525);
    EXPECT_FLOAT_EQ(FlareApproach(525, 20, 100), 425);
    EXPECT_FLOAT_EQ(FlareApproach(50, 20, 100), 20);
    EXPECT_FLOAT_EQ(FlareApproach(300, 300, 100), 300);
    EXPECT_FLOAT_EQ(FlareApproach(300, 0, 0), 300);
}

// A frame of 1/60 s at game-clock `ms`, the sun where the test puts it.
FlareInput Frame(float ms, float x = 400, float y = 300, float sunY = -0.5f)
{
    FlareInput in = {};
    in.sunY = sunY;
    in.x = x;
    in.y = y;
    in.depth = 1;
    in.realStep = 1.0f / 60.0f;
    in.gameClockMs = ms;
    return in;
}

// The sun at the screen centre with nothing in the way: the glare grows to
// its half size of 525 at 2000 units a second, in about 0.26 s.
TEST(SkyFlare, GrowsToFullSizeInAQuarterSecond)
{
    FlareState s = {0, 1, 0};
    int rays = 0, frames = 0;
    float ms = 60000;
    while (s.size < 525.0f && frames < 100)
    {
        const FlareFrame f = StepFlare(s, Frame(ms), [&rays] { return ++rays, 0; });
        EXPECT_TRUE(f.sunUp);
        EXPECT_TRUE(f.draw);
        EXPECT_TRUE(f.discs);
        EXPECT_FLOAT_EQ(f.target, 525);
        EXPECT_FLOAT_EQ(f.glare, 0.5f);
        ms += 1000.0f / 60.0f;
        frames++;
    }
    EXPECT_EQ(frames, 16);   // 15.75 frames of 1/60 s
    EXPECT_EQ(s.occluded, 0);
    // A ray at the first frame, then at most one every 0.2 s.
    EXPECT_EQ(rays, 2);
}

// An object crossing the sun hides the discs at the next test and shrinks
// the glare at 2000 a second; the discs come back with the next free test.
TEST(SkyFlare, OcclusionHidesTheDiscsAndFadesTheGlare)
{
    FlareState s = {525, 0, 60000};
    bool blocked = true;
    auto hidden = [&blocked] { return blocked ? 1 : 0; };

    // Within 0.2 s of game time no ray: the discs still show.
    FlareFrame f = StepFlare(s, Frame(60150), hidden);
    EXPECT_FALSE(f.rayCast);
    EXPECT_TRUE(f.discs);
    EXPECT_FLOAT_EQ(s.size, 525);

    f = StepFlare(s, Frame(60201), hidden);
    EXPECT_TRUE(f.rayCast);
    EXPECT_EQ(s.occluded, 1);
    EXPECT_EQ(s.lastTest, 60201u);
    EXPECT_FLOAT_EQ(f.target, 0);
    EXPECT_FALSE(f.discs);
    EXPECT_TRUE(f.draw);
    EXPECT_NEAR(s.size, 525 - 2000.0f / 60.0f, 1e-3f);

    blocked = false;
    f = StepFlare(s, Frame(60300), hidden);   // no test yet: still hidden
    EXPECT_FALSE(f.discs);
    EXPECT_NEAR(s.size, 525 - 2 * 2000.0f / 60.0f, 1e-3f);
    f = StepFlare(s, Frame(60402), hidden);
    EXPECT_TRUE(f.discs);
    EXPECT_EQ(s.occluded, 0);
    EXPECT_NEAR(s.size, 525 - 2000.0f / 60.0f, 1e-3f);
}

// While the game clock stands still no ray is cast, but the glare still moves
// with real time.
TEST(SkyFlare, PausedClockCastsNoRayButTheGlareMoves)
{
    FlareState s = {100, 0, 60000};
    int rays = 0;
    for (int i = 0; i < 30; i++)
        StepFlare(s, Frame(60100), [&rays] { return ++rays, 1; });
    EXPECT_EQ(rays, 0);
    EXPECT_FLOAT_EQ(s.size, 525);
}

// Off screen or behind the eye: the target is 0, the glare fades, no ray.
TEST(SkyFlare, OffScreenFadesOutWithoutARay)
{
    FlareState s = {60, 0, 0};
    int rays = 0;
    FlareFrame f = StepFlare(s, Frame(60000, 900, 300), [&rays] { return ++rays, 0; });
    EXPECT_EQ(rays, 0);
    EXPECT_EQ(s.lastTest, 60000u);   // the test was due; it only found nothing to cast
    EXPECT_FLOAT_EQ(f.target, 0);
    EXPECT_NEAR(s.size, 60 - 2000.0f / 60.0f, 1e-3f);
    f = StepFlare(s, Frame(60016, 900, 300), [&rays] { return ++rays, 0; });
    EXPECT_FLOAT_EQ(s.size, 0);
    EXPECT_FALSE(f.draw);
    EXPECT_EQ(rays, 0);
}

// The sun below the horizon: nothing drawn, and the state keeps its values
// until the sun is up again.
TEST(SkyFlare, SunBelowTheHorizonLeavesTheStateAlone)
{
    for (const float sunY : {0.0f, 0.3f})
    {
        FlareState s = {321, 1, 1234};
        int rays = 0;
        const FlareFrame f = StepFlare(s, Frame(90000, 400, 300, sunY), [&rays] { return ++rays, 0; });
        EXPECT_FALSE(f.sunUp);
        EXPECT_FALSE(f.draw);
        EXPECT_FLOAT_EQ(s.size, 321);
        EXPECT_EQ(s.occluded, 1);
        EXPECT_EQ(s.lastTest, 1234u);
        EXPECT_EQ(rays, 0);
    }
}

TEST(SkyFlare, DiscsRunThroughTheCentreToTheMirrorPoint)
{
    FlareDisc d[FLARE_DISCS];
    FlareDiscs(200, 100, 400, 300, d);
    EXPECT_FLOAT_EQ(d[0].x, 250);
    EXPECT_FLOAT_EQ(d[0].y, 150);
    EXPECT_FLOAT_EQ(d[3].x, 400);   // the fourth at the centre
    EXPECT_FLOAT_EQ(d[3].y, 300);
    EXPECT_FLOAT_EQ(d[3].radius, 5);
    EXPECT_FLOAT_EQ(d[7].x, 600);   // the eighth at the mirror point
    EXPECT_FLOAT_EQ(d[7].y, 500);
    EXPECT_NEAR(d[0].radius, std::hypot(150.0f, 150.0f) / 4 + 5, 1e-3f);
    EXPECT_NEAR(d[7].radius, std::hypot(200.0f, 200.0f) / 4 + 5, 1e-3f);
}

}   // namespace
