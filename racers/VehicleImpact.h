#pragma once
// How hard an impact is, from the two bodies that touched.

// One side of an impact.
struct ImpactBody
{
    float maxSpeed = 0.0f;   // km/h; held at 60 at least
    float mass = 0.0f;       // 0: fixed
    float velocity[3] = {0.0f, 0.0f, 0.0f};
    int vehicle = 0;   // a motorcycle (its top speed counts)
};

// The impact's strength before it is capped at 1. Without a partner, or with
// a fixed one: the speed into the surface (normal pointing away from it) over
// a fifth of the top speed. With a moving partner: the relative speed
// weighed by the masses against a tenth of the two top speeds (one for a
// partner that is not a motorcycle).
float ImpactStrength(const ImpactBody& self, const ImpactBody* partner, const float normal[3]);
// The impact sound's volume for a capped strength: 60 + 100 k, at most 100.
float ImpactVolume(float k);
