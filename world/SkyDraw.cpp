// The sky's layers, drawn first in a pass behind everything else: the cloud
// dome turning slowly around the eye, the sun billboard and the horizon
// background with its hills.
#include <cstring>

#include "common/MathUtil.h"
#include "core/GameClock.h"
#include "core/Settings.h"
#include "render/D3DRender.h"
#include "render/MeshContainer.h"
#include "render/Views.h"
#include "scene/StaticObject.h"
#include "world/Sky.h"

namespace
{

const float kDomeLift = 0.55f;       // the dome's centre above the eye
const float kCloudTurn = 0.00001f;   // radians per millisecond of game time
const float kSunBillboardDistance = 15.0f;
const float kSunBillboardHalfSize = 3.0f;
const float kLowestDrawnSun = 0.2f;   // sun intensity below which the billboard is left out

// The sun's height (-y of its direction) from which the dome shines at its
// full daylight, and the height below which it is wholly night. Every time
// of day a race can have lies above the first.
const float kDomeDayHeight = 0.2f;
const float kDomeNightHeight = -0.12f;
// The dome's own light in a moonless night, and how much the full moon adds.
const float kDomeNight[3] = {0.045f, 0.06f, 0.15f};
const float kDomeMoonGain = 0.8f;
const float kBackgroundGlow = 0.25f;

float SmoothStep(float edge0, float edge1, float x)
{
    float t = (x - edge0) / (edge1 - edge0);
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return t * t * (3.0f - 2.0f * t);
}

D3DCOLORVALUE Value(float r, float g, float b, float a)
{
    return D3DCOLORVALUE{r, g, b, a};
}

}   // namespace

void DomeGlowColour(float sunY, float moonIntensity, float out[3])
{
    const float day = SmoothStep(kDomeNightHeight, kDomeDayHeight, -sunY);
    const float moon = 1.0f + kDomeMoonGain * (moonIntensity < 0.0f ? 0.0f : moonIntensity);
    for (int k = 0; k < 3; ++k)
    {
        const float night = kDomeNight[k] * moon;
        out[k] = night + (1.0f - night) * day;
    }
}

void CSky::Draw()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device)
        return;
    if (g_Render.fillMode == D3DFILL_WIREFRAME)
    {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);
        return;
    }
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);
    // The layers are the texture times the lit colour, the background's
    // alpha its picture's: whatever drew last may have left other stages.
    g_Render.SetStageColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageColorOp(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    DrawDome();
    DrawSun();
    DrawBackground();
    g_Render.SetFog(0);
    g_Render.SetLighting(1);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
}

void CSky::DrawDome()
{
    if (!dome)
        return;
    const CCamera* camera = g_Views.Current();
    D3DXMATRIX turn, place, world;
    D3DXMatrixRotationY(&turn, (float)g_Clock.GameTimeMs() * kCloudTurn);
    D3DXMatrixTranslation(&place, camera->eye.x, camera->eye.y + kDomeLift, camera->eye.z);
    D3DXMatrixMultiply(&world, &turn, &place);

    g_Render.SetFog(0);
    g_Render.SetLighting(1);
    g_Render.SetZEnable(0);
    g_Render.SetZWrite(0);
    g_Render.SaveCullMode();
    g_Render.SetCullMode(D3DCULL_NONE);

    // The sun's colour lights the side of the dome towards it; the dome's own
    // glow is white while the sun is well up (the picture as it is) and fades
    // to a moonlit night blue once it has set.
    const float glow = 1.0f - 0.4f * (float)g_GlowOn;
    const float diffuse = 0.8f - 0.4f * (float)g_GlowOn;
    float own[3];
    DomeGlowColour(sunDirection[1], moonIntensity, own);
    D3DMATERIAL9 material;
    std::memset(&material, 0, sizeof(material));
    material.Diffuse =
        Value(sunColor[0] * diffuse, sunColor[1] * diffuse, sunColor[2] * diffuse, sunColor[3] * diffuse);
    material.Emissive = Value(glow * own[0], glow * own[1], glow * own[2], glow);

    g_Render.BindTexture(cloudsTexture, 0, 0);
    dome->RenderSlot(MESH_SLOT_SKYDOME, &world, &material);
    g_Render.RestoreCullMode();
}

void CSky::DrawSun()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device || sunIntensity < kLowestDrawnSun)
        return;
    const CCamera* camera = g_Views.Current();
    const D3DXVECTOR3 towardsSun(-kSunBillboardDistance * sunDirection[0], -kSunBillboardDistance * sunDirection[1],
                                 -kSunBillboardDistance * sunDirection[2]);
    D3DXMATRIX m;
    MatrixFromPosTargetUp(m, towardsSun, D3DXVECTOR3(0, 0, 0), camera->up);
    m._41 += camera->eye.x;
    m._42 += camera->eye.y;
    m._43 += camera->eye.z;

    const float h = kSunBillboardHalfSize;
    const D3DXVECTOR3 corners[4] = {D3DXVECTOR3(h, h, 0), D3DXVECTOR3(h, -h, 0), D3DXVECTOR3(-h, h, 0),
                                    D3DXVECTOR3(-h, -h, 0)};
    D3DXCOLOR pure;
    ColorNormalize(pure, D3DXCOLOR(sunColor[0], sunColor[1], sunColor[2], sunColor[3]));
    const float k = 1.0f - 0.5f * (float)g_GlowOn;
    const D3DCOLOR colour = 0xFF000000u | ((DWORD)ColorChannelByte(pure.r * k) << 16) |
                            ((DWORD)ColorChannelByte(pure.g * k) << 8) | (DWORD)ColorChannelByte(pure.b * k);
    for (int i = 0; i < 4; ++i)
    {
        D3DXVECTOR3 p;
        D3DXVec3TransformCoord(&p, &corners[i], &m);
        sunQuad[i].x = p.x;
        sunQuad[i].y = p.y;
        sunQuad[i].z = p.z;
        sunQuad[i].color = colour;
    }

    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);
    g_Render.SetFog(0);
    g_Render.SetLighting(0);
    g_Render.SetZEnable(0);
    g_Render.SetZWrite(0);
    g_Render.BindTexture(sunTexture, 1, 0);
    g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ONE);
    device->SetFVF(LITVERTEX_FVF);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, sunQuad, sizeof(LitVertex));
    g_Render.CountFaces(2);
}

void CSky::DrawBackground()
{
    if (!dome)
        return;
    const CCamera* camera = g_Views.Current();
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    world._41 = camera->eye.x;
    world._42 = camera->eye.y;
    world._43 = camera->eye.z;
    dome->world = world;

    g_Render.SetFog(0);
    g_Render.SetLighting(1);
    g_Render.SetZEnable(0);
    g_Render.SetZWrite(0);

    D3DXCOLOR ambient;
    ColorNormalize(ambient, D3DXCOLOR(ambientColor[0], ambientColor[1], ambientColor[2], ambientColor[3]));
    std::memset(&dome->material, 0, sizeof(dome->material));
    dome->material.Diffuse = Value(sunColor[0], sunColor[1], sunColor[2], sunColor[3]);
    dome->material.Ambient = Value(ambient.r, ambient.g, ambient.b, ambient.a);
    // The hills' own glow fades with the dome's, so that they stand dark
    // against the night sky instead of shining grey.
    float own[3];
    DomeGlowColour(sunDirection[1], moonIntensity, own);
    dome->material.Emissive = Value(kBackgroundGlow * own[0], kBackgroundGlow * own[1], kBackgroundGlow * own[2], 1.0f);

    g_Render.BindTexture(backgroundTexture, 1, 0);
    dome->RenderSlot(MESH_SLOT_SECOND);
}
