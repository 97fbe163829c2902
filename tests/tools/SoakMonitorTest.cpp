// The long-run watch: laps and the end of a race from path points, stuck
// racers (standing, or thrown back again and again to the same place), held
// racers left alone, non-finite values, and memory growth measured against
// the warm-up races.
#include "tools/SoakMonitor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace
{

const int kPath = 100;
const float kDt = 0.5f;

SoakRacerSample Racer(int point, bool racing = true)
{
    SoakRacerSample s;
    s.id = reinterpret_cast<const void*>(0x10);
    s.name = "Rider";
    s.pathPoint = point;
    s.racing = racing;
    s.velocity[2] = 10.0f;
    return s;
}

struct Story
{
    const char* name;
    // The racer's path point and racing flag at step i of `steps`.
    std::function<SoakRacerSample(int)> at;
    int steps;
    bool stuck;
    bool finished;
};

TEST(SoakMonitor, StuckAndFinishedFromThePathPoints)
{
    const Story stories[] = {
        // One point a step: a lap of 100 points in 50 s, wrapping to 0.
        {"rides a lap", [](int i) { return Racer((5 + i) % kPath); }, 120, false, true},
        // On the grid for a minute before the start: not yet racing.
        {"held on the grid", [](int) { return Racer(2, false); }, 120, false, false},
        {"stands still", [](int i) { return Racer(i < 20 ? i : 20); }, 120, true, false},
        // Pushed back five points every ten seconds and riding up again to
        // the same place: never any further.
        {"thrown back again and again", [](int i) { return Racer(30 + (i % 20 < 5 ? i % 20 : 5) - 5); }, 200, true,
         false},
        // Slow but getting further every 20 s: not stuck.
        {"slow", [](int i) { return Racer(i / 40); }, 200, false, false},
    };
    for (const Story& s : stories)
    {
        SCOPED_TRACE(s.name);
        SoakLimits limits;
        limits.stuckSeconds = 30.0f;
        SoakMonitor monitor(limits);
        monitor.BeginRace(kPath, 1);
        for (int i = 0; i < s.steps; ++i)
            monitor.Sample({s.at(i)}, kDt);
        EXPECT_EQ(!monitor.StuckRacers().empty(), s.stuck);
        EXPECT_EQ(monitor.RaceDone(), s.finished);
        EXPECT_EQ(monitor.RacesFinished(), s.finished ? 1 : 0);
        EXPECT_EQ(monitor.Faults().empty(), !s.stuck);
    }
}

TEST(SoakMonitor, ARaceEndsWhenEveryRacerHasRiddenItsLaps)
{
    SoakMonitor monitor;
    monitor.BeginRace(kPath, 2);
    SoakRacerSample fast = Racer(0), slow = Racer(0);
    slow.id = reinterpret_cast<const void*>(0x20);
    int fastPoint = 0, slowPoint = 0;
    monitor.Sample({fast, slow}, kDt);   // both on the start line
    int steps = 0;
    while (!monitor.RaceDone() && steps < 1000)
    {
        fastPoint += 2;
        slowPoint += 1;
        fast.pathPoint = fastPoint % kPath;
        slow.pathPoint = slowPoint % kPath;
        monitor.Sample({fast, slow}, kDt);
        ++steps;
    }
    // Two laps of the slower racer, not one lap of the faster.
    EXPECT_EQ(steps, 2 * kPath);
    EXPECT_EQ(monitor.RacesFinished(), 1);
    monitor.Sample({fast, slow}, kDt);
    EXPECT_EQ(monitor.RacesFinished(), 1);   // counted once
    monitor.BeginRace(kPath, 1);
    EXPECT_FALSE(monitor.RaceDone());
    EXPECT_EQ(monitor.RacesStarted(), 2);
}

TEST(SoakMonitor, NonFinitePositionOrVelocityIsAFault)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int field = 0; field < 6; ++field)
    {
        SCOPED_TRACE(field);
        SoakMonitor monitor;
        monitor.BeginRace(kPath, 1);
        SoakRacerSample s = Racer(3);
        monitor.Sample({s}, kDt);
        EXPECT_EQ(monitor.NonFinite(), 0);
        const float bad = field % 2 ? inf : nan;
        if (field < 3)
            s.position[field] = bad;
        else
            s.velocity[field - 3] = bad;
        monitor.Sample({s}, kDt);
        EXPECT_EQ(monitor.NonFinite(), 1);
        ASSERT_EQ(monitor.Faults().size(), 1u);
    }
}

TEST(SoakMonitor, MemoryGrowthIsMeasuredFromTheHighestOfTheWarmUpRaces)
{
    struct Case
    {
        const char* name;
        double after;   // MiB sampled after the warm-up races
        bool fault;
    };
    const Case cases[] = {
        {"back down after the largest area", 280.0, false},
        {"within the allowance", 300.0 + 15.0, false},
        {"beyond the allowance", 300.0 + 17.0, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        SoakLimits limits;
        limits.growthMiB = 16.0f;
        limits.warmupRaces = 2;
        SoakMonitor monitor(limits);
        monitor.BeginRace(kPath, 1);
        monitor.MemorySample(250.0);
        monitor.BeginRace(kPath, 1);
        monitor.MemorySample(300.0);   // the largest area
        monitor.MemorySample(270.0);
        EXPECT_FALSE(monitor.HaveBaseline());
        monitor.BeginRace(kPath, 1);
        monitor.MemorySample(c.after);
        monitor.MemorySample(275.0);
        ASSERT_TRUE(monitor.HaveBaseline());
        EXPECT_DOUBLE_EQ(monitor.BaselineMiB(), 300.0);
        EXPECT_EQ(!monitor.Faults().empty(), c.fault);
    }
}

TEST(SoakMonitor, ResidentMemoryOfThisProcessIsRead)
{
    const double mib = ResidentMiB();
    EXPECT_GT(mib, 1.0);
    EXPECT_LT(mib, 64.0 * 1024.0);
}

}   // namespace
