#include "racers/VehicleWheels.h"

#include <algorithm>
#include <cmath>

#include "racers/VehicleObject.h"
#include "scene/WheelSkids.h"
#include "world/Landscape.h"

WheelMarks GetWheelMarks(const WheelReading& r)
{
    WheelMarks m;
    m.offRoad = 1.0f - std::min(1.0f, std::max(0.0f, (r.routePower - 50.0f) / 33.0f));
    const bool rawSlide = r.skid < 1.0f;
    const bool rolling = std::fabs(r.speed) > 5.0f && r.contact > 0.0f;
    // Marks follow the settled slide of a wheel on the ground; a rear wheel
    // marks along with a marking front one.
    m.strength = (r.sliding || r.rearFollowsFront) ? 1.0f : 0.0f;
    m.marks = rolling && r.touching && m.strength > 0.0f;
    m.dust = rolling && m.offRoad > 0.0f;
    m.dustGrowth = 0.1f * std::sqrt(std::fabs(r.speed));
    m.dustScale = rawSlide ? 2.0f - r.skid : 1.0f;
    return m;
}

void SettleSlide(int reading, float dt, int* sliding, float* change)
{
    if ((reading != 0) == (*sliding != 0))
    {
        *change = -1.0f;
        return;
    }
    // The first differing reading only starts the count.
    *change = *change < 0.0f ? 0.0f : *change + dt;
    if (*change + 1e-4f >= WHEEL_SLIDE_SETTLE)
    {
        *sliding = reading != 0;
        *change = -1.0f;
    }
}

void ConnectSkidHooks()
{
    g_SkidHooks.groundHeight = [](const float position[3]) { return g_Landscape.GetHeight(position); };
    g_SkidHooks.routePower = [](const float position[3]) { return g_Landscape.GetRoutePower(position); };
    g_SkidHooks.ownerSide = [](const CVehicleObject* owner, float side[3]) {
        side[0] = owner->world._11;
        side[1] = owner->world._12;
        side[2] = owner->world._13;
    };
    g_SkidHooks.releaseOwner = [](CVehicleObject* owner, const CSkidStrip* strip) {
        for (int i = 0; i < 2; ++i)
            if (owner->SkidTrail[i] == strip)
            {
                owner->SkidTrail[i] = nullptr;
                return;
            }
    };
}
