// The passes of the mesh effects: chrome, reflective glass, self-illumination,
// light maps and the shadow caster. Each draws another slot of its owner's
// mesh after the owner, with the owner's matrix and fade; the callers (placed
// objects, trees, motorcycles) choose the pass they are drawn in.
#include <algorithm>

#include "common/Keywords.h"
#include "core/Settings.h"
#include "render/D3DRender.h"
#include "render/LightManager.h"
#include "render/Views.h"
#include "scene/MeshEffects.h"
#include "scene/StaticObject.h"

MeshEffectInputs g_MeshEffectInputs = {nullptr};

namespace
{

// Chrome is never drawn farther than this, whatever the view distance.
const float kChromeDistance = 100.0f;
// A motorcycle's effects end at this share of the view distance, and its
// shadow caster at this distance.
const float kVehicleEffectShare = 0.3f;
const float kVehicleShadowDistance = 80.0f;

float Fade(const CStaticObject* owner)
{
    return owner->material.Diffuse.a;
}

int PartsIn(const MeshRecord* record, int slot)
{
    return record ? record->partCount[slot] : 0;
}

// Stage 0 looks up the environment cube with the camera-space reflection
// vector turned into world axes: the inverse view without its translation.
void BeginReflection(IDirect3DDevice9* device, int blend)
{
    g_Render.BindTextureObject(g_Render.envCubeTexture, blend, 0);
    D3DXMATRIX axes = g_Views.Current()->inverseView;
    axes._41 = axes._42 = axes._43 = 0.0f;
    device->SetTransform(D3DTS_TEXTURE0, &axes);
    g_Render.SetTexCoordIndex(0, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
    g_Render.SetTextureTransformFlags(0, D3DTTFF_COUNT3);
}

void EndReflection(IDirect3DDevice9* device)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_TEXTURE0, &identity);
    g_Render.SetTexCoordIndex(0, 0);
    g_Render.SetTextureTransformFlags(0, D3DTTFF_DISABLE);
}

void SolidStates()
{
    g_Render.SetFog(0);
    g_Render.SetLighting(1);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
}

}   // namespace

DWORD ReflectionTint(float moonIntensity)
{
    const float m = std::min(1.0f, std::max(0.0f, moonIntensity));
    const DWORD g = (DWORD)((0.4f + 0.6f * m) * 255.0f) & 0xFF;
    return 0xFF000000u | (g << 16) | (g << 8) | g;
}

int EffectPassAllowed(const CStaticObject* owner, int chrome)
{
    if (!owner || !owner->visible)
        return 0;
    const float view = (float)g_ViewDistance;
    const float limit = chrome ? std::min(view, kChromeDistance) : view;
    if (owner->cameraDistance > limit)
        return 0;
    if (owner->objectType == GTYPE_VEHICLE &&
        (IsOnboardTarget(owner) || owner->cameraDistance > kVehicleEffectShare * view))
        return 0;
    return Fade(owner) != 0.0f ? 1 : 0;
}

void CEffectMeshObject::RenderChrome()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device || !EffectPassAllowed(owner, 1) || PartsIn(meshRecord, MESH_SLOT_CHROME) <= 0)
        return;
    const float fade = Fade(owner);
    world = owner->world;
    material.Diffuse.a = fade;

    SolidStates();
    const float moon = g_MeshEffectInputs.moonIntensity ? *g_MeshEffectInputs.moonIntensity : 0.0f;
    device->SetRenderState(D3DRS_TEXTUREFACTOR, ReflectionTint(moon));
    BeginReflection(device, fade < 1.0f);
    RenderSlot(MESH_SLOT_CHROME);
    EndReflection(device);
}

void CEffectMeshObject::RenderGlass()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device || !EffectPassAllowed(owner, 0) || PartsIn(meshRecord, MESH_SLOT_GLASS) <= 0)
        return;
    const float fade = Fade(owner);
    world = owner->world;
    material.Diffuse.a = fade;
    const int blend = fade < 1.0f;

    const float moon = g_MeshEffectInputs.moonIntensity ? *g_MeshEffectInputs.moonIntensity : 0.0f;
    device->SetRenderState(D3DRS_TEXTUREFACTOR, ReflectionTint(moon));
    BeginReflection(device, blend);
    // The glass picture, tinted by the factor, is added to the reflection;
    // its alpha is the lit fade.
    g_Render.BindTexture(textureIds[0], blend, 1);
    g_Render.SetTexCoordIndex(1, 0);
    g_Render.SetTextureTransformFlags(1, D3DTTFF_DISABLE);
    g_Render.SetStageColorOp(1, D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetAlphaBlend(blend);
    if (blend)
        g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    else
        g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
    SolidStates();

    RenderSlot(MESH_SLOT_GLASS);

    EndReflection(device);
    g_Render.SetStageColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageColorOp(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.BindTexture(-1, 0, 1);
}

void CEffectMeshObject::RenderSelfIllum()
{
    if (!g_Render.device || !EffectPassAllowed(owner, 0) || PartsIn(meshRecord, MESH_SLOT_SELFILLUM) <= 0)
        return;
    const float fade = Fade(owner);
    world = owner->world;
    material.Diffuse.a = fade;
    SolidStates();
    g_Render.BindTexture(textureIds[0], fade < 1.0f, 0);
    RenderSlot(MESH_SLOT_SELFILLUM);
}

void CLightMapsObject::Render()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device || !EffectPassAllowed(owner, 0) || PartsIn(meshRecord, MESH_SLOT_LIGHTMAP) <= 0)
        return;
    const float fade = Fade(owner);
    world = owner->world;
    material.Emissive =
        D3DCOLORVALUE{lightColour[0] * fade, lightColour[1] * fade, lightColour[2] * fade, lightColour[3] * fade};

    // Added light must not be tinted by fog; the sky's fog colour comes back
    // after.
    device->SetRenderState(D3DRS_FOGCOLOR, 0xFF000000);
    g_Render.SetFog(0);
    g_Render.SetLighting(1);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(0);
    const int frame = std::min(std::max((int)textureFrame, 0), (int)MAX_TEXTURES - 1);
    g_Render.BindTexture(textureIds[frame], 1, 0);
    g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ONE);
    RenderSlot(MESH_SLOT_LIGHTMAP);
    g_LightManager.ResetFogColor();
}

int CEffectMeshObject::RenderShadow()
{
    if (!owner || !g_Render.device || PartsIn(owner->meshRecord, MESH_SLOT_SHADOW) <= 0 || !owner->inShadow)
        return 0;
    if (owner->objectType == GTYPE_VEHICLE && owner->cameraDistance > kVehicleShadowDistance)
        return 0;
    // The owner's own matrix (scaled as it is drawn), part and record; the
    // shadow pass has set the states and the caster's colour.
    owner->RenderSlot(MESH_SLOT_SHADOW);
    return 1;
}
