// What upgrades make of a motorcycle, and how hard a crash throws its rider.
#include <cmath>

#include "racers/VehicleObject.h"

void CVehicleObject::ApplyUpgrades(int k)
{
    const float e = (float)UpgradeLevels[0], t = (float)UpgradeLevels[1], c = (float)UpgradeLevels[2];
    EnginePower = BaseEnginePower + (float)k * e * 50.0f;
    MaxSpeed = Mass > 0.0f ? EnginePower / Mass * 40.0f : 0.0f;
    Transmission = BaseTransmission + (float)k * t * 0.2f;
    Chassis = BaseChassis + (float)k * c * 0.2f;
    FrontFrictionSlip = BaseFrontFrictionSlip + (float)k * c * 0.05f;
    RearFrictionSlip = BaseRearFrictionSlip + (float)k * c * 0.05f;
}

int RiderThrowVelocity(const float previous[3], const float current[3], const float up[3], float throwVelocity[3])
{
    const float dx = previous[0] - current[0];
    const float dz = previous[2] - current[2];
    const float lost = std::sqrt(dx * dx + dz * dz);
    if (!(lost > 10.0f))
        return 0;
    float v[3] = {0.8f * dx, 0.0f, 0.8f * dz};
    const float lift = std::sqrt(v[0] * v[0] + v[2] * v[2]) * 0.25f;
    for (int i = 0; i < 3; ++i)
        throwVelocity[i] = v[i] + up[i] * lift;
    return 1;
}
