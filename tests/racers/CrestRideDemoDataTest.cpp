// The crest of every demo road, ridden by the computer racer's driver at
// racing speeds in both directions (the reverse races take it backwards) on
// every demo motorcycle: no rider is thrown off on the way up, over the top
// or on landing, and the fastest still leave the ground over it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "core/RaceState.h"
#include "racers/RiderTestSupport.h"
#include "world/Landscape.h"

namespace
{

using ridertest::RiderWorld;

class CrestRideDemoDataTest : public RiderWorld
{
protected:
    void SetUp() override { OpenWithRiders(true); }

    void TearDown() override
    {
        g_RaceTable.reverse[g_CurrentRace] = 0;
        RiderWorld::TearDown();
    }

    // The race path point on the top of the crest: the one standing highest
    // above the road 15 points before and after it.
    static int CrestPoint()
    {
        int best = -1;
        float height = 0.0f;
        for (int i = 15; i + 15 < g_RacePathCount; ++i)
        {
            const float rise = g_RacePath[i][1] - 0.5f * (g_RacePath[i - 15][1] + g_RacePath[i + 15][1]);
            if (best < 0 || rise > height)
            {
                best = i;
                height = rise;
            }
        }
        return best;
    }

    struct Ride
    {
        bool thrown = false;
        bool tookOff = false;
    };

    // Model `model` with its rider, rolling at `kmh` along the path from 20
    // points before the crest, driven by the computer racer's driver with
    // that speed as its top, until 25 points past it.
    Ride RideOver(int model, int crest, float kmh)
    {
        const int from = crest - 20;
        const float* a = g_RacePath[from];
        const float* b = g_RacePath[from + 1];
        const float pos[3] = {a[0], g_Landscape.GetHeight(a) + 0.1f, a[2]};
        const float target[3] = {b[0], pos[1], b[2]}, up[3] = {0, 1, 0};
        CVehicleObject* v = g_Vehicles.AddVehicle(g_VehicleModelFiles[model]);
        EXPECT_NE(v, nullptr);
        if (!v)
            return Ride{true, false};
        v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_PLAYER);
        v->CreateRider();
        v->PathPoint = from;
        v->DriveState = DRIVE_AI;
        // The motorcycle's own power, the given speed the driver's top.
        v->MaxSpeed = kmh;
        float dx = b[0] - a[0], dz = b[2] - a[2];
        const float length = std::sqrt(dx * dx + dz * dz);
        const float speed = kmh / 3.6f;
        const float velocity[3] = {dx / length * speed, 0.0f, dz / length * speed};
        v->body->setLinearVelocity(btVector3(velocity[0], velocity[1], velocity[2]));
        // Already rolling at that speed the frame before, or the start would
        // count as a sudden change of speed that throws the rider.
        for (int i = 0; i < 3; ++i)
            v->PreviousVelocity[i] = v->linearVelocity[i] = velocity[i];

        Ride ride;
        for (int frame = 0; frame < 30 * 60 && v->PathPoint < crest + 25; ++frame)
        {
            RiderFrame(v);
            ride.tookOff = ride.tookOff || v->Airborne;
            if (v->Rider->RagDoll)
            {
                ride.thrown = true;
                break;
            }
        }
        EXPECT_TRUE(ride.thrown || v->PathPoint >= crest + 25) << "the ride did not get past the crest";
        g_Vehicles.RemoveVehicle(v);
        return ride;
    }
};

TEST_F(CrestRideDemoDataTest, EveryModelRidesOverTheCrestBothWaysAndTheFastestTakeOff)
{
    const float speeds[] = {70.0f, 100.0f, 130.0f, 160.0f};
    int takeOffs = 0;
    for (int area = 0; area < 3; ++area)
    {
        if (area > 0)
        {
            ASSERT_EQ(g_Landscape.LoadArea(area, 0), 1);
            g_Landscape.Update();
            ASSERT_NE(g_Landscape.heightBody, nullptr);
        }
        for (int reverse = 0; reverse < 2; ++reverse)
        {
            g_RaceTable.reverse[g_CurrentRace] = reverse;
            g_Landscape.CreateRacePath();
            const int crest = CrestPoint();
            ASSERT_GE(crest, 20);
            ASSERT_LT(crest + 26, g_RacePathCount);
            for (int model = 0; model < VEHICLE_MODELS; ++model)
                for (float kmh : speeds)
                {
                    SCOPED_TRACE("area " + std::to_string(area + 1) + (reverse ? " reverse" : " forward") + ", model " +
                                 std::to_string(model + 1) + " at " + std::to_string((int)kmh) + " km/h");
                    const Ride ride = RideOver(model, crest, kmh);
                    EXPECT_FALSE(ride.thrown);
                    if (kmh == speeds[3] && ride.tookOff)
                        ++takeOffs;
                }
        }
    }
    EXPECT_GT(takeOffs, 0) << "nobody leaves the ground over the crests any more";
}

}   // namespace
