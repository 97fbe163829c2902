// Everything that follows from the time of day: sun and moon, their
// intensities, the shadow light and the sun, ambient and fog colours; and the
// lighting with which nature bakes its vertex colours.
#include <cmath>

#include "common/MathUtil.h"
#include "render/D3DRender.h"
#include "world/Landscape.h"
#include "world/Sky.h"

namespace
{

const float kMsToRadians = 3.1415927e-6f;   // half a day is pi
const float kAmbientScale = 0.75f;
const float kFogScale = 1.5f;
const int kWinterSeason = 2;
// Shadows never fall flatter than this, however low the light.
const float kLowestShadowY = 0.5f;

float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

// `from` turned about `axis` (both normalised here) by `angle`, as a row
// vector through the rotation matrix.
void Turn(float out[3], D3DXVECTOR3 from, D3DXVECTOR3 axis, float angle)
{
    D3DXVec3Normalize(&from, &from);
    D3DXVec3Normalize(&axis, &axis);
    D3DXMATRIX m;
    D3DXMatrixRotationAxis(&m, &axis, angle);
    D3DXVECTOR3 r;
    D3DXVec3TransformNormal(&r, &from, &m);
    out[0] = r.x;
    out[1] = r.y;
    out[2] = r.z;
}

void Grey(float c[4])
{
    const float m = (c[0] + c[1] + c[2]) * 0.33333334f;
    c[0] = c[1] = c[2] = m;
    c[3] = 1.0f;
}

}   // namespace

void CSky::UpdateSun()
{
    const float t = dayTime * kMsToRadians;
    const float u = moonTime * kMsToRadians;
    Turn(sunDirection, D3DXVECTOR3(0, 1, -1), D3DXVECTOR3(0, 1, 1), t);
    Turn(moonDirection, D3DXVECTOR3(0, 1, 1), D3DXVECTOR3(0, 1, -1), -u);

    // The sun casts the shadows while it is up, the moon otherwise.
    const float* light = sunDirection[1] < 0.0f ? sunDirection : moonDirection;
    D3DXVECTOR3 s(-light[0], -light[1], -light[2]);
    if (s.y < kLowestShadowY)
        s.y = kLowestShadowY;
    D3DXVec3Normalize(&s, &s);
    shadowDirection[0] = s.x;
    shadowDirection[1] = s.y;
    shadowDirection[2] = s.z;

    sunIntensity = Clamp01(1.0f - 5.0f * sunDirection[1]);
    moonIntensity = Clamp01(-5.0f * moonDirection[1]);

    shadowStrength = std::fabs(sunDirection[1]) * 5.0f;
    if (shadowStrength > 1.0f)
        shadowStrength = 1.0f;
    if (sunDirection[1] > 0.0f)
        shadowStrength *= 0.8f;

    if (g_Render.effect)
    {
        const D3DXVECTOR4 param(48.0f, 64.0f, 0.6f * shadowStrength, 0.0f);
        g_Render.effect->SetVector("ShadowParam", &param);
    }

    // Key i and the weight towards key i + 1. A dayTime outside the day (only
    // ever set by hand) takes the nearest end of the tables.
    const float position = dayTime * 0.0004f;
    int i = (int)(position * 0.01f);
    float w = (position - 100.0f * (float)i) * 0.01f;
    if (!(position >= 0.0f))
        i = 0, w = 0.0f;
    else if (i >= SKY_KEYS - 1)
        i = SKY_KEYS - 2, w = 1.0f;
    for (int k = 0; k < 3; ++k)
    {
        sunColor[k] = sunKeys[i][k] + (sunKeys[i + 1][k] - sunKeys[i][k]) * w;
        ambientColor[k] = (ambientKeys[i][k] + (ambientKeys[i + 1][k] - ambientKeys[i][k]) * w) * kAmbientScale;
    }
    sunColor[3] = 1.0f;
    ambientColor[3] = 1.0f;

    if (g_Landscape.loadedSeason == kWinterSeason)
    {
        Grey(sunColor);
        Grey(ambientColor);
    }

    for (int k = 0; k < 4; ++k)
        fogColor[k] = ambientColor[k] * kFogScale;
    for (int k = 0; k < 3; ++k)
        if (fogColor[k] > 1.0f)
            fogColor[k] = 1.0f;
}

void CSky::GetLitColor(float out[4], const float normal[3], float r, float g, float b, float a) const
{
    float l = -(sunDirection[0] * normal[0] + sunDirection[1] * normal[1] + sunDirection[2] * normal[2]);
    if (l < 0.0f)
        l = 0.0f;
    const D3DXCOLOR sum(ambientColor[0] + sunColor[0] * l, ambientColor[1] + sunColor[1] * l,
                        ambientColor[2] + sunColor[2] * l, ambientColor[3] + sunColor[3] * l);
    D3DXCOLOR c;
    ColorLimit(c, sum, 1.0f);
    out[0] = c.r * r;
    out[1] = c.g * g;
    out[2] = c.b * b;
    out[3] = c.a * a;
}

D3DCOLOR CSky::GetLitColorPacked(const float normal[3], float factor, const float colour[4]) const
{
    float c[4];
    GetLitColor(c, normal, 1.0f, 1.0f, 1.0f, 1.0f);
    DWORD channel[3];
    for (int k = 0; k < 3; ++k)
    {
        // Held to a byte: a colour or factor above 1 must not wrap round.
        const float v = colour[k] * c[k] * factor * 255.0f;
        channel[k] = !(v > 0.0f) ? 0 : (v >= 255.0f ? 255 : (DWORD)(int)v);
    }
    return 0xFF000000u | (channel[0] << 16) | (channel[1] << 8) | channel[2];
}
