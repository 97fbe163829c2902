#pragma once
// What the light sprites, lamps, beams and spots read besides their owner,
// and the small rules they share. The sprites are drawn by the scene layer,
// but the brake of a motorcycle and the landscape's cell size live in layers
// above it: ConnectRacersLinks and ConnectWorldLinks connect them here. The
// moon comes from the sky while it exists (g_MeshEffectInputs).
class CStaticObject;

struct LightSpriteInputs
{
    // The brake ramp (0..100) of a motorcycle owner, or -1 for any other
    // object; null: nobody brakes.
    float (*brakeRamp)(const CStaticObject* owner);
    // The landscape's cell size, the unit of the beams' length; null: 1.
    const float* cellSize;
};
extern LightSpriteInputs g_LightSpriteInputs;

// Gate shared by the sprite drawings: the owner is visible, no farther than
// the view distance and 100, not faded out, and not the motorcycle the
// on-board camera rides on.
int LightSpriteAllowed(const CStaticObject* owner);
// Size factor of the sprites of an owner at a camera distance: 1, and for a
// motorcycle farther than 10 growing to 3 at 100, so far lamps stay visible.
float LightSpriteScale(const CStaticObject* owner);
// Front glare strength for the eye direction in the owner's axes (unit):
// 0 behind the owner, else max(0, 1 - 1.1 |x|).
float FrontGlareStrength(float eyeX, float eyeZ);
// Half size of quad k (0..9) of a night beam: 0.2 growing to 1.4.
float BeamQuadSize(int k);
// The moon's intensity as the sky reports it (0 by day, 1 at night).
float LightMoonIntensity();
