#include "world/NatureLight.h"

#include "render/D3DRender.h"
#include "world/Landscape.h"
#include "world/Sky.h"

namespace
{

const int kWinterSeason = 2;
// Below this a baked channel held no light worth comparing with.
const float kLeastBaked = 1.0e-3f;
// Closer to 1 than this the texture factor could not tell the difference.
const float kSameFactor = 0.5f / 255.0f;

float Mean(const float c[3])
{
    return (c[0] + c[1] + c[2]) * (1.0f / 3.0f);
}

DWORD FactorByte(float f)
{
    const float v = f * 255.0f;
    return !(v > 0.0f) ? 0 : (v >= 255.0f ? 255 : (DWORD)(v + 0.5f));
}

}   // namespace

void NatureSkyLight(float out[3])
{
    for (int k = 0; k < 3; ++k)
        out[k] = g_Sky.ambientColor[k] + g_Sky.sunColor[k] * g_Sky.sunIntensity * 0.5f;
}

void NatureLightFactor(const float baked[3], const float now[3], int grey, float out[3])
{
    float b[3] = {baked[0], baked[1], baked[2]};
    float n[3] = {now[0], now[1], now[2]};
    if (grey)
    {
        b[0] = b[1] = b[2] = Mean(baked);
        n[0] = n[1] = n[2] = Mean(now);
    }
    for (int k = 0; k < 3; ++k)
    {
        // NaN and a missing bake both leave the colours as baked.
        float f = b[k] > kLeastBaked ? n[k] / b[k] : 1.0f;
        if (!(f == f))
            f = 1.0f;
        out[k] = f < 0.0f ? 0.0f : (f > NATURE_LIGHT_MAX ? NATURE_LIGHT_MAX : f);
    }
}

NatureLightScope::NatureLightScope(const float baked[3], bool shader) : m_Fixed(false), m_SavedFactor(0xFFFFFFFF)
{
    float now[3], factor[3];
    NatureSkyLight(now);
    NatureLightFactor(baked, now, g_Landscape.loadedSeason == kWinterSeason, factor);
    if (shader)
    {
        if (g_Render.effect)
        {
            const D3DXVECTOR4 v(factor[0], factor[1], factor[2], 1.0f);
            g_Render.effect->SetVector("NatureLight", &v);
        }
        return;
    }
    IDirect3DDevice9* device = g_Render.device;
    if (!device)
        return;
    // At the hour of the build the stage is left as it was: the colours
    // stay exactly as baked.
    bool same = true;
    for (float f : factor)
        same = same && f > 1.0f - kSameFactor && f < 1.0f + kSameFactor;
    if (same)
        return;
    // Double modulation: the texture factor holds half the scale.
    m_Fixed = true;
    device->GetRenderState(D3DRS_TEXTUREFACTOR, &m_SavedFactor);
    const DWORD argb = 0xFF000000u | (FactorByte(factor[0] * 0.5f) << 16) | (FactorByte(factor[1] * 0.5f) << 8) |
                       FactorByte(factor[2] * 0.5f);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, argb);
    g_Render.SetStageColorOp(1, D3DTOP_MODULATE2X, D3DTA_CURRENT, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
}

NatureLightScope::~NatureLightScope()
{
    if (!m_Fixed || !g_Render.device)
        return;
    g_Render.SetStageColorOp(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.device->SetRenderState(D3DRS_TEXTUREFACTOR, m_SavedFactor);
}
