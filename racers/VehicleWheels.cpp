#include "racers/VehicleWheels.h"

#include <algorithm>
#include <cmath>

WheelMarks GetWheelMarks(float routePower, float skid, float speed, float contact, int rearFollowsFront)
{
    WheelMarks m;
    m.offRoad = 1.0f - std::min(1.0f, std::max(0.0f, (routePower - 50.0f) / 33.0f));
    const bool sliding = skid < 1.0f;
    m.strength = (sliding || rearFollowsFront) ? 1.0f : m.offRoad;
    const bool rolling = std::fabs(speed) > 5.0f && contact > 0.0f;
    m.marks = rolling && m.strength > 0.0f;
    m.dust = rolling && m.offRoad > 0.0f;
    m.dustGrowth = 0.1f * std::sqrt(std::fabs(speed));
    m.dustScale = sliding ? 2.0f - skid : 1.0f;
    return m;
}
