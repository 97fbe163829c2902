// Steering, engine force, brake and reverse, gear and pitch, the ground marks
// of a wheel and the rider's fall from a sudden stop: the rules on their own,
// without a body (the motorcycle's speed is set by the test).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/GameClock.h"
#include "racers/VehicleEngine.h"
#include "racers/VehicleObject.h"
#include "racers/VehicleWheels.h"

namespace
{

const float kStep = 1.0f / 60.0f;

class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_Clock.m_GameStep = kStep;
        v.EnginePower = 400.0f;
        v.Transmission = 1.5f;
        v.Chassis = 2.0f;
    }
    // Runs the engine step n times with the same requests (no area is loaded:
    // the road intensity is 0, so the force limit is half the power).
    void Engine(int n, float throttle, float brake)
    {
        for (int i = 0; i < n; ++i)
        {
            v.Throttle = throttle;
            v.BrakeInput = brake;
            v.UpdateEngine();
        }
    }
    CVehicleObject v;
};

TEST(EngineGearTable, GearAndPitchAtTheNamedSpeeds)
{
    struct Case
    {
        float speed;
        int gear;
        float ratio;
    };
    const Case cases[] = {
        {-20.0f, 0, 0.9f}, {0.0f, 0, 0.9f},   {15.0f, 0, 1.75f}, {30.0f, 0, 2.6f},  {30.001f, 1, 1.2f},
        {50.0f, 1, 1.95f}, {70.0f, 1, 2.7f},  {90.0f, 2, 2.15f}, {110.0f, 2, 2.8f}, {130.0f, 3, 2.35f},
        {150.0f, 3, 2.9f}, {150.5f, 3, 2.9f}, {400.0f, 3, 2.9f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.speed);
        EXPECT_EQ(EngineGear(c.speed), c.gear);
        EXPECT_NEAR(EnginePitchRatio(c.speed), c.ratio, 1e-3f);
    }
}

TEST_F(EngineTest, SteeringRateFallsWithSpeed)
{
    // At rest the wheel turns at Chassis per second per unit of input.
    v.Speed = 0.0f;
    for (int i = 0; i < 6; ++i)
    {
        v.SteerInput = 1.0f;
        v.UpdateSteering();
    }
    EXPECT_NEAR(v.Steer, 2.0f * 0.1f, 1e-4f);
    EXPECT_EQ(v.SteerInput, 0.0f);   // consumed
    // At 100 km/h at a fifth of that.
    v.Steer = 0.0f;
    v.Speed = 100.0f;
    for (int i = 0; i < 6; ++i)
    {
        v.SteerInput = 1.0f;
        v.UpdateSteering();
    }
    EXPECT_NEAR(v.Steer, 2.0f * 0.1f / 5.0f, 1e-4f);
    // Never beyond 0.6; the handlebar shows at most 0.465.
    v.Speed = 0.0f;
    for (int i = 0; i < 120; ++i)
    {
        v.SteerInput = -1.0f;
        v.UpdateSteering();
    }
    EXPECT_FLOAT_EQ(v.Steer, -0.6f);
    EXPECT_FLOAT_EQ(v.HandlebarAngle, -0.465f);
    // Let go: back to straight at twice max(Chassis, 1) per second, not past 0.
    for (int i = 0; i < 9; ++i)
        v.UpdateSteering();
    EXPECT_NEAR(v.Steer, -0.6f + 9 * 2.0f * 2.0f * kStep, 1e-4f);
    for (int i = 0; i < 30; ++i)
        v.UpdateSteering();
    EXPECT_EQ(v.Steer, 0.0f);
}

TEST_F(EngineTest, ForceLimitIsHalfThePowerOffTheRoad)
{
    Engine(600, 2000.0f, 0.0f);
    EXPECT_FLOAT_EQ(v.EngineForce, 200.0f);
    EXPECT_EQ(v.Throttle, 0.0f);   // the request lasts one step
    // Releasing the throttle lets the force fall at 400 x Transmission per
    // second.
    Engine(6, 0.0f, 0.0f);
    EXPECT_NEAR(v.EngineForce, 200.0f - 400.0f * 1.5f * 0.1f, 1e-3f);
    Engine(60, 0.0f, 0.0f);
    EXPECT_EQ(v.EngineForce, 0.0f);
}

TEST_F(EngineTest, BrakeFromRestTurnsIntoFadingReverse)
{
    v.Speed = 0.0f;
    // The ramp fills in 0.4 s (24 steps, one more for the float sum), and
    // only a full ramp starts pushing back.
    int steps = 0;
    while (v.BrakeRamp < 100.0f && steps < 100)
    {
        EXPECT_EQ(v.EngineForce, 0.0f);
        Engine(1, 0.0f, 100.0f);
        ++steps;
    }
    EXPECT_GE(steps, 24);
    EXPECT_LE(steps, 25);
    EXPECT_NEAR(v.EngineForce, -kStep * 2000.0f * 1.5f * 2.0f, 1e-3f);
    Engine(60, 0.0f, 100.0f);
    EXPECT_FLOAT_EQ(v.EngineForce, -200.0f);   // floored at the limit
    // Rolling back, the reverse force fades out towards 80 km/h.
    struct Case
    {
        float speed;
        float force;
    };
    for (const Case& c :
         {Case{-1.0f, -200.0f * (1 - 0.0125f)}, Case{-40.0f, -100.0f}, Case{-80.0f, 0.0f}, Case{-100.0f, 0.0f}})
    {
        v.Speed = c.speed;
        Engine(1, 0.0f, 100.0f);
        EXPECT_NEAR(v.EngineForce, c.force, 1e-3f) << c.speed;
    }
    // Throttle while still backing up brakes first.
    v.Speed = -10.0f;
    v.EngineForce = -100.0f;
    v.Throttle = 2000.0f;
    v.BrakeInput = 0.0f;
    v.UpdateEngine();
    EXPECT_GT(v.EngineForce, -100.0f);
    EXPECT_EQ(v.BrakeInput, 0.0f);   // the step's own brake request is over again
}

TEST_F(EngineTest, HandbrakeKeepsBrakingAfterTheStep)
{
    v.RearBrake = 1;
    v.Speed = 30.0f;
    Engine(30, 0.0f, 100.0f);
    EXPECT_EQ(v.EngineForce, 0.0f);
    EXPECT_EQ(v.BrakeInput, 100.0f);
}

WheelReading Reading(float routePower, float skid, int sliding, float speed, float contact, int touching,
                     int follows = 0)
{
    return WheelReading{routePower, skid, sliding, speed, contact, touching, follows};
}

// Grass (20) lies off the road, 90 on it, 66.5 halfway between.
TEST(WheelMarks, GrassTakesMarksFromEveryRollingWheelTheRoadOnlyFromSlides)
{
    struct Case
    {
        const char* what;
        WheelReading reading;
        int marks;
        float strength;   // of the marks, when there are any
        int dust;
    };
    const Case cases[] = {
        {"rolling on grass", Reading(20, 1, 0, 60, 1, 1), 1, 1.0f, 1},
        {"rolling on grass just over 5 km/h", Reading(20, 1, 0, 5.01f, 1, 1), 1, 1.0f, 1},
        {"rolling on grass at 5 km/h", Reading(20, 1, 0, 5, 1, 1), 0, 0, 0},
        {"rolling on grass below 5 km/h", Reading(20, 1, 0, 3, 1, 1), 0, 0, 0},
        {"reversing on grass", Reading(20, 1, 0, -20, 1, 1), 1, 1.0f, 1},
        {"rolling halfway off the road", Reading(66.5f, 1, 0, 60, 1, 1), 1, 0.5f, 1},
        {"rolling on the road", Reading(90, 1, 0, 60, 1, 1), 0, 0, 0},
        {"sliding on the road", Reading(90, 0.4f, 1, 60, 1, 1), 1, 1.0f, 0},
        {"sliding on grass", Reading(20, 0.4f, 1, 60, 1, 1), 1, 1.0f, 1},
        {"sliding halfway off the road", Reading(66.5f, 0.4f, 1, 60, 1, 1), 1, 1.0f, 1},
        {"a one-step spike of the tyre on the road", Reading(90, 0.4f, 0, 60, 1, 1), 0, 0, 0},
        {"still counted as sliding for a step of grip", Reading(90, 1, 1, 60, 1, 1), 1, 1.0f, 0},
        {"a rear wheel behind a marking front", Reading(90, 1, 0, 60, 1, 1, 1), 1, 1.0f, 0},
        {"sliding but slow", Reading(20, 0.4f, 1, 5, 1, 1), 0, 0, 0},
        {"on grass, its ray just off the ground", Reading(20, 1, 1, 60, 0.8f, 0), 0, 0, 1},
        {"on grass, off the ground, the contact spent", Reading(20, 1, 0, 60, 0, 0), 0, 0, 0},
        {"on grass, the ray touching, the contact not yet up", Reading(20, 1, 0, 60, -0.5f, 1), 0, 0, 0},
    };
    for (const Case& c : cases)
    {
        const WheelMarks m = GetWheelMarks(c.reading);
        EXPECT_EQ(m.marks, c.marks) << c.what;
        EXPECT_EQ(m.dust, c.dust) << c.what;
        if (m.marks)
        {
            EXPECT_NEAR(m.strength, c.strength, 1e-4f) << c.what;
        }
    }
    EXPECT_FLOAT_EQ(GetWheelMarks(Reading(90, 0.4f, 1, 60, 1, 1)).dustScale, 1.6f);
    EXPECT_EQ(GetWheelMarks(Reading(20, 1, 0, 60, 1, 1)).dustScale, 1.0f);
    // Halfway between road and grass, half the dust.
    EXPECT_NEAR(GetWheelMarks(Reading(66.5f, 1, 0, 60, 1, 1)).offRoad, 0.5f, 1e-4f);
    // Reversing on grass: dust growing with the magnitude of the speed.
    EXPECT_NEAR(GetWheelMarks(Reading(20, 1, 0, -20, 1, 1)).dustGrowth, 0.1f * std::sqrt(20.0f), 1e-5f);
}

TEST(WheelMarks, ASlideCountsOnceItHoldsForATenthOfASecond)
{
    struct Case
    {
        const char* what;
        float dt;
        const char* readings;   // one character per frame: 's' sliding, 'g' gripping
        const char* settled;    // the settled slide after each frame
    };
    const Case cases[] = {
        {"spikes at 60 frames a second", 1.0f / 60, "sgsgggsg", "gggggggg"},
        {"a slide of six steps at 60", 1.0f / 60, "ssssssgg", "gggggggg"},
        {"a slide of seven steps at 60", 1.0f / 60, "ssssssss", "ggggggss"},
        {"one step of grip keeps the slide", 1.0f / 60, "sssssssgss", "ggggggssss"},
        {"seven steps of grip end it", 1.0f / 60, "sssssssggggggg", "ggggggsssssssg"},
        {"a single frame at 7 a second", 1.0f / 7, "sgsg", "gggg"},
        {"two frames at 7 a second", 1.0f / 7, "ssg", "gss"},
        {"a 50 ms frame", 0.05f, "ssssg", "ggsss"},
    };
    for (const Case& c : cases)
    {
        int sliding = 0;
        float change = -1.0f;
        std::string got;
        for (const char* r = c.readings; *r; ++r)
        {
            SettleSlide(*r == 's', c.dt, &sliding, &change);
            got += sliding ? 's' : 'g';
        }
        EXPECT_EQ(got, c.settled) << c.what;
    }
}

TEST(RiderThrow, ASuddenStopAboveTenThrowsTheRiderForwardAndUp)
{
    const float up[3] = {0, 1, 0};
    float v[3];
    const float before[3] = {0, 0, 20}, exactlyTen[3] = {0, 0, 10}, stopped[3] = {0, -3, 0};
    EXPECT_EQ(RiderThrowVelocity(before, exactlyTen, up, v), 0);
    ASSERT_EQ(RiderThrowVelocity(before, stopped, up, v), 1);
    EXPECT_FLOAT_EQ(v[0], 0.0f);
    EXPECT_FLOAT_EQ(v[2], 16.0f);
    EXPECT_FLOAT_EQ(v[1], 4.0f);   // a quarter of 16 along up
}

}   // namespace
