#include "racers/VehicleWheels.h"

#include <algorithm>
#include <cmath>

#include "racers/VehicleObject.h"
#include "scene/WheelSkids.h"
#include "world/Landscape.h"

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
