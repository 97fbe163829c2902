#pragma once
// The sky of the loaded area and its time of day. The time is drawn at random
// in a morning or an afternoon window each time a race loads its area and
// then stands still; sun and moon directions, how strongly each shines, the
// sun, ambient and fog colours (from two tables of nine keys over the day)
// and the direction and strength of cast shadows all follow from it. Other
// code reads the fields directly: the light manager, the shadow-map pass,
// the water, the light effects, the dust and the nature that bakes its
// vertex colours with GetLitColor.
//
// Drawing (SkyDraw.cpp): a cloud dome turning slowly around the eye, a sun
// billboard and the horizon background, all behind everything else; late in
// the pass the sun flare (SkyFlare.cpp).
#include <cstdint>

#include "platform/d3d/D3D9.h"
#include "render/TextureManager.h"
#include "world/LitVertex.h"

class CStaticObject;

// Key k of the colour tables belongs to dayTime = SKY_KEY_SPACING x k.
#define SKY_KEYS        9
#define SKY_KEY_SPACING 250000.0f
// dayTime runs from 0 (midnight) over 500000 (sunrise), 1000000 (noon) and
// 1500000 (sunset) to just below this.
#define SKY_DAY_LENGTH  2000000u

class CSky
{
public:
    // White colours, everything else zero or null.
    CSky();

    // The dome object, the sun texture and billboard, the key tables; the
    // light manager is pointed at this sky's values. Returns 1.
    int Create();
    // Draws a new time of day (seeding the game's random generator from the
    // millisecond clock) and updates everything that follows from it.
    void SetTimeOfDay();
    // Once per frame while the world runs, before the lights.
    void Update();
    // Directions, intensities, shadow, colours and "ShadowParam" from dayTime
    // and moonTime.
    void UpdateSun();
    // Lighting of a surface with normal N by sun and ambient light, times
    // (r, g, b, a); the sum of the lights is scaled down to 1 in its largest
    // channel first.
    void GetLitColor(float out[4], const float normal[3], float r, float g, float b, float a) const;
    // The same as an opaque ARGB colour of colour x light x factor.
    D3DCOLOR GetLitColorPacked(const float normal[3], float factor, const float colour[4]) const;
    // Frees the dome and gives back the three textures.
    void Release();

    // Depth cleared, then dome, sun and background without depth test.
    void Draw();
    void DrawDome();
    void DrawSun();
    void DrawBackground();
    // The glare around the sun's place on the screen and the row of discs.
    void DrawFlare();

    CStaticObject* dome;
    TextureId sunTexture;
    TextureId backgroundTexture;   // loaded and given back by the landscape
    TextureId cloudsTexture;       // loaded and given back by the landscape
    LitVertex sunQuad[4];
    float sunDirection[3];   // unit direction sunlight travels; y < 0 while the sun is up
    float sunKeys[SKY_KEYS][4];
    float sunColor[4];
    float sunIntensity;   // 0 (night) to 1 (day)
    float moonDirection[3];
    float ambientKeys[SKY_KEYS][4];
    float ambientColor[4];
    float moonIntensity;   // 0 (day) to 1 (night)
    float fogColor[4];
    float shadowDirection[3];     // unit direction from the scene towards the light casting shadows
    float shadowStrength;         // 0 to 1
    float dayTime;                // 0 to SKY_DAY_LENGTH
    float moonTime;               // dayTime + half a day, not wrapped
    float flareSize;              // half size of the sun glare on the virtual screen
    int flareOccluded;            // 1: the last occlusion ray was blocked
    uint32_t lastOcclusionTest;   // game-clock ms of the last occlusion ray
};

extern CSky g_Sky;

// What the sky asks of the layers above it, connected by ConnectAppLinks.
struct SkyHooks
{
    // 1 when an object lies on the segment from the eye towards the sun: the
    // picked object's first-hit pick over the placed objects and the racers,
    // which live above the world. Unset: nothing ever hides the sun.
    int (*sunHidden)(const float from[3], const float to[3]);
};
extern SkyHooks g_SkyHooks;

// dayTime of a fraction of the day: truncated to whole milliseconds and
// wrapped into one day.
float DayTimeOfFraction(float fraction);
// The fraction of the day for the two draws of SetTimeOfDay: d = (first mod
// 101) / 1000, then the morning 0.3 + d when (second mod 100) >= 50, else the
// afternoon 0.7 - d; 0.35 in the editor whatever was drawn.
float DayFractionOfDraws(int first, int second, int editorMode);
// The cloud dome's own glow, per channel: 1 (the picture as it is) while the
// sun stands more than about 11.5 degrees high, which holds for every time of
// day a race can have; a lower sun dims it towards a night blue that the moon
// brightens a little.
void DomeGlowColour(float sunY, float moonIntensity, float out[3]);
