#include "render/LightManager.h"

#include <cstring>

#include "common/MathUtil.h"
#include "core/GameClock.h"
#include "render/D3DRender.h"

CLightManager g_LightManager;

namespace
{

// The sun follows the sky this often (seconds of game time).
const float kUpdateInterval = 0.05f;
// The sun light never comes in flatter than this, so a low or set sun still
// lights the ground from above.
const float kHighestSunY = -0.1f;
const float kSunDistance = 100000.0f;

DWORD OpaqueArgb(const float colour[4])
{
    return 0xFF000000u | ((DWORD)ColorChannelByte(colour[0]) << 16) | ((DWORD)ColorChannelByte(colour[1]) << 8) |
           (DWORD)ColorChannelByte(colour[2]);
}

void SetEffectVector(const char* name, float x, float y, float z, float w)
{
    if (!g_Render.effect)
        return;
    const D3DXVECTOR4 v(x, y, z, w);
    g_Render.effect->SetVector(name, &v);
}

void SetEffectColour(const char* name, const float colour[4])
{
    SetEffectVector(name, colour[0], colour[1], colour[2], colour[3]);
}

void EnableOnDevice(const LightSlot& slot, int on)
{
    if (g_Render.device)
        g_Render.device->LightEnable((DWORD)slot.index, on ? TRUE : FALSE);
}

void SetOnDevice(const LightSlot& slot)
{
    if (g_Render.device)
        g_Render.device->SetLight((DWORD)slot.index, &slot.light);
}

void FreeSlot(LightSlot& slot)
{
    std::memset(&slot.light, 0, sizeof(slot.light));
    slot.index = -1;
    slot.kind = 0;
    slot.enabled = 0;
}

}   // namespace

CLightManager::CLightManager() : sunSlot(-1), savedSunEnabled(0), lastUpdate(0), sky{}
{
    for (LightSlot& slot : slots)
        FreeSlot(slot);
    for (int k = 0; k < 4; ++k)
    {
        savedSunColor[k] = 1.0f;
        sunColor[k] = 1.0f;
    }
    for (float& d : savedSunDirection)
        d = 0.0f;
}

LightSlot* CLightManager::Sun()
{
    if (sunSlot < 0 || sunSlot >= LIGHT_SLOTS || slots[sunSlot].index == -1)
        return nullptr;
    return &slots[sunSlot];
}

void CLightManager::SetLight(int slotNumber, int index, int kind, const D3DXVECTOR3* point, float range)
{
    if (slotNumber < 0 || slotNumber >= LIGHT_SLOTS)
        return;
    LightSlot& slot = slots[slotNumber];
    slot.index = index;
    slot.kind = kind;
    D3DLIGHT9& l = slot.light;
    std::memset(&l, 0, sizeof(l));
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3& p = point ? *point : origin;
    switch (kind)
    {
    case LIGHT_KIND_POINT:
        l.Type = D3DLIGHT_POINT;
        l.Position = D3DVECTOR{p.x, p.y, p.z};
        l.Range = range;
        break;
    case LIGHT_KIND_DIRECTIONAL:
        l.Type = D3DLIGHT_DIRECTIONAL;
        l.Direction = D3DVECTOR{0.0f, -1.0f, 0.0f};
        l.Diffuse = D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 1.0f};
        l.Specular = D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 1.0f};
        break;
    case LIGHT_KIND_SPOT:
        l.Type = D3DLIGHT_SPOT;
        l.Position = D3DVECTOR{p.x, p.y, p.z};
        l.Range = range;
        l.Falloff = 1.0f;
        l.Attenuation2 = 0.05f;
        l.Theta = 0.6283185f;
        l.Phi = 1.5707964f;
        break;
    default:
        return;   // an unknown kind keeps its index and kind, and nothing else happens
    }
    SetOnDevice(slot);
    EnableOnDevice(slot, 1);
    slot.enabled = 1;
}

int CLightManager::Init()
{
    for (LightSlot& slot : slots)
        FreeSlot(slot);
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    SetLight(0, 0, LIGHT_KIND_DIRECTIONAL, &origin, 100.0f);
    sunSlot = 0;
    lastUpdate = 0;
    return 1;
}

void CLightManager::Update()
{
    if (!(g_Clock.GameSecondsSince(lastUpdate) > kUpdateInterval))
        return;
    lastUpdate = g_Clock.GameTimeMs();
    if (!sky.sunDirection || !sky.sunColor || !sky.sunIntensity || !sky.ambientColor || !sky.fogColor)
        return;

    const float intensity = *sky.sunIntensity;
    float colour[4];
    for (int k = 0; k < 4; ++k)
        colour[k] = sky.sunColor[k] * intensity;
    SetSunColor(colour);

    D3DXVECTOR3 direction(sky.sunDirection[0], sky.sunDirection[1], sky.sunDirection[2]);
    if (direction.y > kHighestSunY)
        direction.y = kHighestSunY;
    SetSunDirection(&direction);

    if (LightSlot* sun = Sun())
    {
        sun->enabled = intensity > 0.0f ? 1 : 0;
        EnableOnDevice(*sun, sun->enabled);
    }

    if (g_Render.device)
        g_Render.device->SetRenderState(D3DRS_AMBIENT, OpaqueArgb(sky.ambientColor));
    SetEffectColour("GlobalAmbient", sky.ambientColor);
    SetFogColor(sky.fogColor);
}

void CLightManager::SetSunColor(const float colour[4])
{
    for (int k = 0; k < 4; ++k)
        sunColor[k] = colour[k];
    if (LightSlot* sun = Sun())
    {
        sun->light.Diffuse = D3DCOLORVALUE{colour[0], colour[1], colour[2], colour[3]};
        sun->light.Specular = sun->light.Diffuse;
        SetOnDevice(*sun);
    }
    SetEffectColour("DirLight_Diff", colour);
    SetEffectColour("DirLight_Spec", colour);
}

void CLightManager::SetSunDirection(const D3DXVECTOR3* direction)
{
    if (!direction)
        return;
    const D3DXVECTOR3 d = *direction;
    if (LightSlot* sun = Sun())
    {
        sun->light.Direction = D3DVECTOR{d.x, d.y, d.z};
        SetOnDevice(*sun);
    }
    SetEffectVector("DirLight_Dir", d.x, d.y, d.z, 1.0f);
    SetEffectVector("DirLight_Pos", -kSunDistance * d.x, -kSunDistance * d.y, -kSunDistance * d.z, 1.0f);
}

void CLightManager::SetFogColor(const float colour[4])
{
    if (g_Render.device)
        g_Render.device->SetRenderState(D3DRS_FOGCOLOR, OpaqueArgb(colour));
    SetEffectColour("FogColor", colour);
}

void CLightManager::ResetFogColor()
{
    if (sky.fogColor)
        SetFogColor(sky.fogColor);
}

void CLightManager::SaveSun()
{
    LightSlot* sun = Sun();
    if (!sun)
        return;
    const D3DCOLORVALUE& c = sun->light.Diffuse;
    savedSunColor[0] = c.r;
    savedSunColor[1] = c.g;
    savedSunColor[2] = c.b;
    savedSunColor[3] = c.a;
    savedSunDirection[0] = sun->light.Direction.x;
    savedSunDirection[1] = sun->light.Direction.y;
    savedSunDirection[2] = sun->light.Direction.z;
    savedSunEnabled = sun->enabled;
}

void CLightManager::RestoreSun()
{
    SetSunColor(savedSunColor);
    const D3DXVECTOR3 direction(savedSunDirection[0], savedSunDirection[1], savedSunDirection[2]);
    SetSunDirection(&direction);
    if (LightSlot* sun = Sun())
    {
        sun->enabled = savedSunEnabled;
        EnableOnDevice(*sun, savedSunEnabled);
    }
}

void CLightManager::EnableAll()
{
    for (LightSlot& slot : slots)
    {
        if (slot.index == -1)
            continue;
        // A reset device has forgotten the light itself, not only its switch.
        SetOnDevice(slot);
        EnableOnDevice(slot, 1);
        slot.enabled = 1;
    }
}

void CLightManager::DisableAll()
{
    for (LightSlot& slot : slots)
    {
        if (slot.index == -1)
            continue;
        EnableOnDevice(slot, 0);
        slot.enabled = 0;
    }
}

void CLightManager::FreeAll()
{
    for (LightSlot& slot : slots)
    {
        if (slot.index != -1)
            EnableOnDevice(slot, 0);
        FreeSlot(slot);
    }
}
