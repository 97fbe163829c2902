// The sky object: construction, creation and release, the drawing of the
// time of day and the per-frame update.
#include "world/Sky.h"

#include <cstring>

#include "core/Settings.h"
#include "platform/os/Clock.h"
#include "platform/os/Rand.h"
#include "render/D3DRender.h"
#include "render/LightManager.h"
#include "scene/MeshEffects.h"
#include "scene/StaticObject.h"

CSky g_Sky;
SkyHooks g_SkyHooks = {};

namespace
{

// Sun colour keys (red, green, blue) and ambient keys in 260ths, one per
// quarter of a half day from midnight to midnight.
const float kSunKeys[SKY_KEYS][3] = {
    {0, 0, 0}, {1, 0, 0}, {1, 0.5f, 0}, {1, 1, 0.5f}, {1, 1, 1}, {1, 1, 0.5f}, {1, 0.5f, 0}, {1, 0, 0}, {0, 0, 0},
};
const float kAmbientKeys[SKY_KEYS][3] = {
    {40, 40, 70},  {70, 70, 40}, {70, 70, 40}, {70, 70, 100}, {100, 100, 130},
    {70, 70, 100}, {70, 70, 40}, {70, 70, 40}, {40, 40, 70},
};
const float kKeyAlpha = 1.0f / 260.0f;

// The day windows the race can fall in, and the editor's fixed time.
const float kMorningStart = 0.3f;
const float kAfternoonEnd = 0.7f;
const float kEditorFraction = 0.35f;

void SetColour(float c[4], float r, float g, float b, float a)
{
    c[0] = r;
    c[1] = g;
    c[2] = b;
    c[3] = a;
}

}   // namespace

float DayTimeOfFraction(float fraction)
{
    // Truncation of a negative or non-finite product would be undefined: such
    // a fraction is no time of this day.
    const float ms = fraction * (float)SKY_DAY_LENGTH;
    if (!(ms >= 0.0f) || ms >= 4294967040.0f)
        return 0.0f;
    return (float)((unsigned)ms % SKY_DAY_LENGTH);
}

float DayFractionOfDraws(int first, int second, int editorMode)
{
    const float d = (float)(first % 101) * 0.01f * 0.1f;
    const float fraction = second % 100 >= 50 ? d + kMorningStart : kAfternoonEnd - d;
    return editorMode ? kEditorFraction : fraction;
}

CSky::CSky()
    : dome(nullptr), sunTexture(-1), backgroundTexture(-1), cloudsTexture(-1), sunIntensity(0.0f), moonIntensity(0.0f),
      shadowStrength(0.0f), dayTime(0.0f), moonTime(0.0f), flareSize(0.0f), flareOccluded(0), lastOcclusionTest(0)
{
    std::memset(sunQuad, 0, sizeof(sunQuad));
    for (int k = 0; k < SKY_KEYS; ++k)
    {
        SetColour(sunKeys[k], 1, 1, 1, 1);
        SetColour(ambientKeys[k], 1, 1, 1, 1);
    }
    SetColour(sunColor, 1, 1, 1, 1);
    SetColour(ambientColor, 1, 1, 1, 1);
    SetColour(fogColor, 1, 1, 1, 1);
    for (int k = 0; k < 3; ++k)
    {
        sunDirection[k] = 0.0f;
        moonDirection[k] = 0.0f;
        shadowDirection[k] = 0.0f;
    }
}

int CSky::Create()
{
    if (dome)
        Release();
    dome = new CStaticObject();
    dome->InitStatic();
    dome->LoadDescription("Data/Sky/Main.obj");
    std::memset(&dome->material, 0, sizeof(dome->material));
    dome->material.Diffuse = D3DCOLORVALUE{0, 0, 0, 1};
    dome->material.Ambient = D3DCOLORVALUE{0, 0, 0, 1};
    dome->material.Specular = D3DCOLORVALUE{0, 0, 0, 1};

    sunTexture = g_Render.LoadTexture("Data/Sky/Sun.bmp", 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    backgroundTexture = -1;
    cloudsTexture = -1;

    static const float kCorners[4][2] = {{0.001f, 0.001f}, {0.001f, 0.999f}, {0.999f, 0.001f}, {0.999f, 0.999f}};
    for (int i = 0; i < 4; ++i)
    {
        sunQuad[i].x = sunQuad[i].y = sunQuad[i].z = 0.0f;
        sunQuad[i].color = 0xFFFFFFFF;
        sunQuad[i].u = kCorners[i][0];
        sunQuad[i].v = kCorners[i][1];
    }

    for (int k = 0; k < SKY_KEYS; ++k)
    {
        SetColour(sunKeys[k], kSunKeys[k][0], kSunKeys[k][1], kSunKeys[k][2], kKeyAlpha);
        SetColour(ambientKeys[k], kAmbientKeys[k][0] / 260.0f, kAmbientKeys[k][1] / 260.0f, kAmbientKeys[k][2] / 260.0f,
                  kKeyAlpha);
    }
    sunIntensity = 1.0f;
    moonIntensity = 0.0f;
    shadowStrength = 1.0f;
    for (int k = 0; k < 3; ++k)
    {
        sunDirection[k] = 0.0f;
        moonDirection[k] = 0.0f;
        shadowDirection[k] = 0.0f;
    }
    dayTime = moonTime = flareSize = 0.0f;
    flareOccluded = 1;
    lastOcclusionTest = 0;

    g_LightManager.ConnectSky(SkyLightInputs{sunDirection, sunColor, &sunIntensity, ambientColor, fogColor});
    g_MeshEffectInputs.moonIntensity = &moonIntensity;
    return 1;
}

void CSky::SetTimeOfDay()
{
    GameSrand(timeGetTime());
    const int first = GameRand();
    const int second = GameRand();
    dayTime = DayTimeOfFraction(DayFractionOfDraws(first, second, g_EditorMode));
    moonTime = dayTime + (float)(SKY_DAY_LENGTH / 2);
    UpdateSun();
}

void CSky::Update()
{
    UpdateSun();
    const float distance = (float)g_ViewDistance;
    g_Render.SetFogRange(0.5f * distance, distance);
}

void CSky::Release()
{
    if (dome)
    {
        dome->Free();
        delete dome;
        dome = nullptr;
    }
    TextureId* ids[3] = {&sunTexture, &backgroundTexture, &cloudsTexture};
    for (TextureId* id : ids)
    {
        if (*id != -1)
            g_Render.ReleaseTexture(*id);
        *id = -1;
    }
    // The light manager must not go on reading a sky that is gone.
    if (g_LightManager.sky.sunColor == sunColor)
        g_LightManager.DisconnectSky();
    if (g_MeshEffectInputs.moonIntensity == &moonIntensity)
        g_MeshEffectInputs.moonIntensity = nullptr;
}
