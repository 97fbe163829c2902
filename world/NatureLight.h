#pragma once
// Grass, stones and trees bake their light into their vertex colours once,
// when an area is built, under the sun of that moment. The time of day may
// have moved since (a night race, or the same area raced again at another
// hour): their draw passes then scale the baked colours by how the sky's
// light now compares with the light they were baked under, so nature darkens
// and brightens with the terrain and the placed objects, which the device
// lights every frame.
#include "platform/d3d/D3D9.h"

// The most a baked colour is scaled up by (the fixed pipeline's double
// modulation reaches no further).
#define NATURE_LIGHT_MAX 2.0f

// The sky's light, per channel, on a surface half turned to the sun: the
// ambient colour and half the sun's colour at its present intensity.
void NatureSkyLight(float out[3]);

// The scale of the baked colours, per channel: `now` over `baked`, held to
// 0..NATURE_LIGHT_MAX; 1 where nothing was baked (a channel near 0). With
// `grey` both are first taken as the mean of their channels: in winter the
// sky greys its colours only once the season's textures are loaded, after
// nature was baked, and the baked colours keep their hue.
void NatureLightFactor(const float baked[3], const float now[3], int grey, float out[3]);

// For one draw pass of nature: the factor of `baked` against the sky now
// goes to the technique as "NatureLight" (shader) or through the texture
// factor on stage 1 (fixed pipeline), which the end of the scope puts back.
class NatureLightScope
{
public:
    NatureLightScope(const float baked[3], bool shader);
    ~NatureLightScope();
    NatureLightScope(const NatureLightScope&) = delete;
    NatureLightScope& operator=(const NatureLightScope&) = delete;

private:
    bool m_Fixed;
    DWORD m_SavedFactor;
};
