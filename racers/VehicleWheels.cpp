#include "racers/VehicleWheels.h"

#include <algorithm>
#include <cmath>

#include "racers/VehicleObject.h"

WheelMarks GetWheelMarks(const WheelReading& r)
{
    WheelMarks m;
    m.offRoad = 1.0f - std::min(1.0f, std::max(0.0f, (r.routePower - 50.0f) / 33.0f));
    const bool rawSlide = r.skid < 1.0f;
    const bool rolling = std::fabs(r.speed) > 5.0f && r.contact > 0.0f;
    // A wheel in a settled slide, or a rear wheel behind a marking front one,
    // marks at full strength; any other wheel marks as strongly as the
    // ground is off the road: fully on grass, not at all on the road.
    m.strength = (r.sliding || r.rearFollowsFront) ? 1.0f : m.offRoad;
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
