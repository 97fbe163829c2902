// Drawing of the motorcycles. A motorcycle is four pieces: its body, the front
// and rear assemblies (forks and swing arm, one mesh part per suspension
// frame) and the wheels (one part per wheel). The list's passes set the
// fixed-function stages once and each motorcycle draws its pieces into them:
//
//   bodies  stage 0  paint colour 1 (an 8 x 8 texture)           -> temp
//           stage 1  paint colour 2 (texture factor) where the decal is
//                    light, per channel of the decal's colour     -> temp
//           stage 2  a quarter of the environment cube over it    -> temp
//           stage 3  darkened by the shadow layer                 -> temp
//           stage 4  times the lit colour                         -> current
//   parts, self-illumination, wheels
//           stage 0  the shared picture times the lit colour
//           stage 1  darkened by the shadow layer
//
// then the chrome of every motorcycle, and in the shadow-map pass the body's
// and the wheels' shadow casters.
#include "racers/VehicleDraw.h"

#include <algorithm>

#include "core/Settings.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "scene/LightEffects.h"
#include "scene/LightSprite.h"
#include "scene/MeshEffects.h"
#include "world/Landscape.h"

namespace
{

// Nothing of a motorcycle farther than this is drawn.
const float kDrawDistance = 100.0f;
// The body's texture factor carries this alpha: the share of the
// environment reflection in the paint.
const DWORD kPaintReflection = 0x3F;
// The mesh format of every motorcycle piece: position, normal, one
// coordinate set.
const DWORD kVehicleFVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

int PartsIn(const CStaticObject* object, int slot)
{
    return object && object->meshRecord ? object->meshRecord->partCount[slot] : 0;
}

// One part of a slot, with the given matrix and material (or the object's).
void DrawPart(CStaticObject* object, int slot, int part, const D3DMATRIX* matrix, const D3DMATERIAL9* material)
{
    if (PartsIn(object, slot) <= 0)
        return;
    object->currentPart = part;
    object->RenderSlot(slot, matrix, material);
}

DWORD Channel(float c)
{
    // A paint colour from a damaged file must not wrap into another colour.
    if (!(c > 0.0f))
        return 0;
    return (DWORD)(std::min(c, 1.0f) * 255.0f) & 0xFF;
}

void SetShadowTransform(IDirect3DDevice9* device, int stage, const D3DMATRIX& world)
{
    D3DXMATRIX shadow, drawn;
    drawn = world;
    GetShadowMatrix(&shadow, &drawn);
    device->SetTransform((D3DTRANSFORMSTATETYPE)(D3DTS_TEXTURE0 + stage), &shadow);
}

void SetIdentityTransform(IDirect3DDevice9* device, int stage)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform((D3DTRANSFORMSTATETYPE)(D3DTS_TEXTURE0 + stage), &identity);
}

// The copy layer of the shadow map (terrain, buildings and leaves, not the
// motorcycles themselves), or null when no shadow pass fills it.
IDirect3DBaseTexture9* ShadowLayer()
{
    return g_ShadowQuality > 0 ? g_Render.shadowTarget2 : nullptr;
}

// The stage that darkens `arg` by the shadow layer looked up at the
// camera-space position, into `result`. Without a layer the stage passes
// its argument on unchanged.
void BeginShadowStage(DWORD stage, DWORD arg, DWORD result)
{
    IDirect3DBaseTexture9* layer = ShadowLayer();
    g_Render.BindTextureObject(layer, 0, stage);
    if (layer)
        g_Render.SetStageColorOp(stage, D3DTOP_MODULATE, D3DTA_TEXTURE | D3DTA_COMPLEMENT, arg, D3DTA_CURRENT, result);
    else
        g_Render.SetStageColorOp(stage, D3DTOP_SELECTARG1, arg, D3DTA_CURRENT, D3DTA_CURRENT, result);
    g_Render.SetStageAlphaOp(stage, D3DTOP_SELECTARG1, arg, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetTexCoordIndex(stage, D3DTSS_TCI_CAMERASPACEPOSITION);
    g_Render.SetTextureTransformFlags(stage, D3DTTFF_COUNT3);
    g_Render.SetTextureAddress(stage, D3DTADDRESS_BORDER);
}

void EndShadowStage(IDirect3DDevice9* device, DWORD stage)
{
    SetIdentityTransform(device, (int)stage);
    g_Render.SetTexCoordIndex(stage, 0);
    g_Render.SetTextureTransformFlags(stage, D3DTTFF_DISABLE);
    g_Render.SetTextureAddress(stage, D3DTADDRESS_WRAP);
}

void DisableStage(DWORD stage)
{
    g_Render.SetStageColorOp(stage, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(stage, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.BindTexture(-1, 0, (int)stage);
}

void PlainStage0()
{
    g_Render.SetStageColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
}

void BeginBodyStages(IDirect3DDevice9* device)
{
    g_Render.SetStageColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_TEMP);
    g_Render.SetStageAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetTexCoordIndex(0, 0);

    // The decal's colour weighs paint colour 2 against paint colour 1 per
    // channel: a decal read without alpha still splits the two.
    g_Render.SetStageColorOp(1, D3DTOP_LERP, D3DTA_TFACTOR, D3DTA_TEMP, D3DTA_TEXTURE, D3DTA_TEMP);
    g_Render.SetStageAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_TEMP, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetTexCoordIndex(1, 0);
    g_Render.SetTextureTransformFlags(1, D3DTTFF_DISABLE);

    g_Render.BindTextureObject(g_Render.envCubeTexture, 0, 2);
    g_Render.SetStageColorOp(2, D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_TEMP, D3DTA_CURRENT, D3DTA_TEMP);
    g_Render.SetStageAlphaOp(2, D3DTOP_SELECTARG1, D3DTA_TEMP, D3DTA_CURRENT, D3DTA_CURRENT);
    D3DXMATRIX axes = g_Views.Current()->inverseView;
    axes._41 = axes._42 = axes._43 = 0.0f;
    device->SetTransform(D3DTS_TEXTURE2, &axes);
    g_Render.SetTexCoordIndex(2, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
    g_Render.SetTextureTransformFlags(2, D3DTTFF_COUNT3);

    BeginShadowStage(3, D3DTA_TEMP, D3DTA_TEMP);

    g_Render.SetStageColorOp(4, D3DTOP_MODULATE, D3DTA_TEMP, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(4, D3DTOP_SELECTARG1, D3DTA_TEMP, D3DTA_CURRENT, D3DTA_CURRENT);
}

void EndBodyStages(IDirect3DDevice9* device)
{
    SetIdentityTransform(device, 2);
    g_Render.SetTexCoordIndex(2, 0);
    g_Render.SetTextureTransformFlags(2, D3DTTFF_DISABLE);
    EndShadowStage(device, 3);
    PlainStage0();
    for (DWORD stage = 1; stage <= 4; ++stage)
        DisableStage(stage);
}

}   // namespace

int SuspensionFrame(int parts, float compression)
{
    if (parts <= 0)
        return 0;
    // A compression outside 0..1 (or none at all) is kept to the frames there are.
    const float c = compression > 0.0f ? std::min(compression, 1.0f) : 0.0f;
    const int frame = (int)((float)parts * c + 1.75f);
    return std::min(parts - 1, frame);
}

int VehicleDrawAllowed(const CVehicleObject& v)
{
    return v.visible && v.cameraDistance <= kDrawDistance && !IsOnboardTarget(&v) && v.BodyMaterial.Diffuse.a != 0.0f;
}

int VehicleShadowAllowed(const CVehicleObject& v)
{
    return v.inShadow && v.cameraDistance <= kDrawDistance && v.BodyMaterial.Diffuse.a != 0.0f;
}

// ---------------------------------------------------------------------------
// One motorcycle
// ---------------------------------------------------------------------------

void CVehicleObject::RenderBody()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device || !VehicleDrawAllowed(*this))
        return;
    const float fade = BodyMaterial.Diffuse.a;
    const int blend = (int)(fade * 255.0f) < 255;
    BodyMaterial.Specular.a = fade;
    g_Render.SetMaterial(&BodyMaterial, 0);
    material = BodyMaterial;

    device->SetRenderState(D3DRS_TEXTUREFACTOR, (kPaintReflection << 24) | (Channel(PaintColor2[0]) << 16) |
                                                    (Channel(PaintColor2[1]) << 8) | Channel(PaintColor2[2]));
    g_Render.BindTextureObject(PaintTexture, blend, 0);
    g_Render.BindTexture(DecalTexture, blend, 1);
    SetShadowTransform(device, 3, world);

    DrawPart(this, MESH_SLOT_MAIN, 0, nullptr, &BodyMaterial);
    CStaticObject* assemblies[2] = {FrontAssembly, RearAssembly};
    for (int k = 0; k < 2; ++k)
    {
        CStaticObject* a = assemblies[k];
        if (PartsIn(a, MESH_SLOT_MAIN) <= 0)
            continue;
        a->visible = visible;
        a->cameraDistance = cameraDistance;
        a->material = BodyMaterial;
        DrawPart(a, MESH_SLOT_MAIN, SuspensionFrame(PartsIn(a, MESH_SLOT_MAIN), WheelCompression[k]), nullptr, nullptr);
    }
}

void CVehicleObject::RenderParts()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device || !VehicleDrawAllowed(*this))
        return;
    const float fade = BodyMaterial.Diffuse.a;
    // The parts fade with the body instead of standing out opaque around it.
    g_Render.SetAlphaBlend(fade < 1.0f);
    if (fade < 1.0f)
        g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);

    PartsMaterial.Diffuse.a = fade;
    g_Render.SetMaterial(&PartsMaterial, 0);
    SetShadowTransform(device, 1, world);
    DrawPart(this, MESH_SLOT_SECOND, 0, nullptr, &PartsMaterial);

    CStaticObject* assemblies[2] = {FrontAssembly, RearAssembly};
    for (int k = 0; k < 2; ++k)
    {
        CStaticObject* a = assemblies[k];
        if (PartsIn(a, MESH_SLOT_SECOND) <= 0)
            continue;
        SetShadowTransform(device, 1, a->world);
        a->material = PartsMaterial;
        DrawPart(a, MESH_SLOT_SECOND, SuspensionFrame(PartsIn(a, MESH_SLOT_SECOND), WheelCompression[k]), nullptr,
                 nullptr);
    }

    WheelsMaterial.Diffuse.a = fade;
    if (PartsIn(Wheels, MESH_SLOT_SECOND) <= 0)
        return;
    for (int k = 0; k < 2; ++k)
    {
        SetShadowTransform(device, 1, WheelMatrix[k]);
        DrawPart(Wheels, MESH_SLOT_SECOND, k, &WheelMatrix[k], &WheelsMaterial);
    }
}

void CVehicleObject::RenderChrome()
{
    if (!g_Render.device || !VehicleDrawAllowed(*this))
        return;
    if (chrome)
        chrome->RenderChrome();

    CStaticObject* assemblies[2] = {FrontAssembly, RearAssembly};
    for (int k = 0; k < 2; ++k)
    {
        CStaticObject* a = assemblies[k];
        const int parts = PartsIn(a, MESH_SLOT_CHROME);
        if (!a || !a->chrome || parts <= 0)
            continue;
        a->visible = visible;
        a->cameraDistance = cameraDistance;
        a->material.Diffuse.a = BodyMaterial.Diffuse.a;
        a->chrome->currentPart = a->currentPart = SuspensionFrame(parts, WheelCompression[k]);
        a->chrome->RenderChrome();
    }

    if (!Wheels || !Wheels->chrome)
        return;
    for (int k = 0; k < 2; ++k)
    {
        Wheels->visible = visible;
        Wheels->cameraDistance = cameraDistance;
        Wheels->world = WheelMatrix[k];
        Wheels->chrome->material = Wheels->material;
        Wheels->chrome->currentPart = k;
        Wheels->chrome->RenderChrome();
    }
}

void CVehicleObject::RenderSelfIllum()
{
    if (!g_Render.device || !VehicleDrawAllowed(*this))
        return;
    if (selfIllum)
        selfIllum->RenderSelfIllum();
    CStaticObject* assemblies[2] = {FrontAssembly, RearAssembly};
    for (int k = 0; k < 2; ++k)
    {
        CStaticObject* a = assemblies[k];
        const int parts = PartsIn(a, MESH_SLOT_SELFILLUM);
        if (!a || !a->selfIllum || parts <= 0)
            continue;
        a->selfIllum->currentPart = a->currentPart = SuspensionFrame(parts, WheelCompression[k]);
        a->selfIllum->RenderSelfIllum();
    }
}

void CVehicleObject::RenderWheelsBlended()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device || !Wheels || !VehicleDrawAllowed(*this))
        return;
    WheelsMaterial.Diffuse.a = BodyMaterial.Diffuse.a;
    g_Render.SetAlphaBlend(1);
    g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    for (int k = 0; k < 2; ++k)
    {
        SetShadowTransform(device, 1, WheelMatrix[k]);
        DrawPart(Wheels, MESH_SLOT_MAIN, k, &WheelMatrix[k], &WheelsMaterial);
    }
}

void CVehicleObject::RenderShadow()
{
    if (!g_Render.device || !VehicleShadowAllowed(*this))
        return;
    // The wheels cast only with a body that does: a body without a caster
    // leaves no wheel shadows hanging in the air.
    if (!shadow || !shadow->RenderShadow() || PartsIn(Wheels, MESH_SLOT_SHADOW) <= 0)
        return;
    for (int k = 0; k < 2; ++k)
    {
        D3DMATRIX raised = WheelMatrix[k];
        raised._42 += 0.1f;
        DrawPart(Wheels, MESH_SLOT_SHADOW, 0, &raised, nullptr);
    }
}

// ---------------------------------------------------------------------------
// The list's passes
// ---------------------------------------------------------------------------

void CVehicleManager::Render(CVehicleObject* only)
{
    IDirect3DDevice9* device = g_Render.device;
    // The one motorcycle given (the garage's showroom model), or every racer.
    CVehicleObject* const* list = only ? &only : racers;
    const int count = only ? 1 : racerCount;
    if (g_EditorMode || !device || count == 0)
        return;
    g_Render.SetFog(0);
    g_Render.SetLighting(1);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
    device->SetFVF(kVehicleFVF);

    BeginBodyStages(device);
    for (int i = 0; i < count; ++i)
        list[i]->RenderBody();
    EndBodyStages(device);

    g_Render.BindTexture(elementsTexture, 0, 0);
    BeginShadowStage(1, D3DTA_CURRENT, D3DTA_CURRENT);
    for (int i = 0; i < count; ++i)
        list[i]->RenderParts();
    for (int i = 0; i < count; ++i)
        list[i]->RenderSelfIllum();
    g_Render.BindTexture(wheelsTexture, 0, 0);
    for (int i = 0; i < count; ++i)
        list[i]->RenderWheelsBlended();
    EndShadowStage(device, 1);
    PlainStage0();
    DisableStage(1);
}

void CVehicleManager::RenderChrome(CVehicleObject* only)
{
    // The one motorcycle given (the garage's showroom model), or every racer.
    CVehicleObject* const* list = only ? &only : racers;
    const int count = only ? 1 : racerCount;
    if (g_EditorMode || !g_Render.device || count == 0)
        return;
    g_Render.SetFog(0);
    g_Render.SetLighting(1);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
    for (int i = 0; i < count; ++i)
        list[i]->RenderChrome();
}

namespace
{
// The motorcycle whose lamps are being drawn: its brake lights flare.
const CVehicleObject* g_LampOwner = nullptr;
}   // namespace

float LampOwnerBrake(const CStaticObject* owner)
{
    return owner && owner == g_LampOwner ? g_LampOwner->BrakeRamp : -1.0f;
}

void CVehicleManager::RenderEffects(CVehicleObject* only)
{
    // The lamps, their glare, the brake flare and the night beams, into the
    // dynamic batch of the pass.
    CVehicleObject* const* list = only ? &only : racers;
    const int count = only ? 1 : racerCount;
    if (g_EditorMode || count == 0)
        return;
    for (int i = 0; i < count; ++i)
    {
        CVehicleObject* v = list[i];
        if (!v || !v->directLights)
            continue;
        g_LampOwner = v;
        v->directLights->Update();
        v->directLights->RenderBeams();
    }
    g_LampOwner = nullptr;
}

void CVehicleManager::RenderShadows()
{
    if (g_EditorMode || !g_Render.device || racerCount == 0)
        return;
    // The shadow pass has put the casters' grey into the texture factor.
    g_Render.SetFog(0);
    g_Render.SetLighting(0);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(0);
    g_Render.SetAlphaBlend(0);
    g_Render.SetStageColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    for (int i = 0; i < racerCount; ++i)
        racers[i]->RenderShadow();
}
