#pragma once
// The gear the in-race display shows and the engine sound's pitch ratio, both
// from the forward speed. The ratio climbs from a gear's low to its high value
// as the speed rises through the gear and drops back at each change.

struct EngineGearRow
{
    float speed;   // km/h: the gear lasts up to this speed
    float low;     // pitch ratio at the gear's lowest speed
    float high;    // and at its top speed
};

#define ENGINE_GEARS 4
extern const EngineGearRow EngineGearTable[ENGINE_GEARS];

// 0 up to 30 km/h, 1 up to 70, 2 up to 110, else 3; backwards counts as 0.
int EngineGear(float speed);
// The pitch ratio at the speed (2.9 above 150 km/h).
float EnginePitchRatio(float speed);
