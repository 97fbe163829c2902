// Per-frame upkeep of a placed object (camera distance, its body in or out of
// the physics world), its visibility for the next drawing, the main-pass draw
// with the distance fades and the received shadow map, and the ray test
// against its body.
#include <btBulletDynamicsCommon.h>

#include <cmath>

#include "common/Keywords.h"
#include "core/Settings.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "scene/LightEffects.h"
#include "scene/MeshEffects.h"
#include "scene/RayPick.h"
#include "scene/StaticObject.h"

RayPickHooks g_RayPickHooks = {nullptr, nullptr, nullptr};

namespace
{

// A body comes into the world nearer than this and leaves beyond it.
const float kActivationDistance = 24.0f;
// Fences fade out between these camera distances.
const float kFenceFadeStart = 70.0f;
const float kFenceFadeEnd = 100.0f;
// Buildings beyond this draw their simpler second slot, when they have one.
const float kFarSlotDistance = 100.0f;
// Buildings taller than this fade out towards the far plane.
const float kTallBuilding = 30.0f;
const float kTallFadeStart = CAMERA_FAR_PLANE - 125.0f;
const float kTallFadeEnd = CAMERA_FAR_PLANE - 75.0f;

const CCamera& Eye()
{
    return *g_Views.Current();
}

bool ReceivesShadow(int type)
{
    return type == GTYPE_STATIC || type == GTYPE_STONE || type == GTYPE_FENCES;
}

// The smoothed shadow map, or null while no shadow pass fills it: an unfilled
// target would darken objects with whatever it last held.
IDirect3DTexture9* ShadowMap()
{
    return g_ShadowQuality > 0 ? g_Render.shadowTarget1 : nullptr;
}

// Stage 1 multiplies by the complement of the shadow map, looked up from the
// camera-space position through the object's shadow matrix.
void BeginShadowStage(IDirect3DDevice9* device, IDirect3DTexture9* map, const D3DXMATRIX& drawn, int blend)
{
    g_Render.SetTextureAddress(1, D3DTADDRESS_BORDER);
    g_Render.BindTextureObject(map, blend, 1);
    D3DXMATRIX shadow;
    GetShadowMatrix(&shadow, &drawn);
    device->SetTransform(D3DTS_TEXTURE1, &shadow);
    g_Render.SetTexCoordIndex(1, D3DTSS_TCI_CAMERASPACEPOSITION);
    g_Render.SetTextureTransformFlags(1, D3DTTFF_COUNT3);
    g_Render.SetStageColorOp(1, D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_CURRENT,
                             D3DTA_CURRENT);
}

void EndShadowStage(IDirect3DDevice9* device)
{
    g_Render.SetTextureAddress(1, D3DTADDRESS_WRAP);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_TEXTURE1, &identity);
    g_Render.SetTexCoordIndex(1, 0);
    g_Render.SetTextureTransformFlags(1, D3DTTFF_DISABLE);
    g_Render.SetStageColorOp(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    // Nothing drawn later may sample the shadow map by accident.
    device->SetTexture(1, nullptr);
}

void SolidStates()
{
    g_Render.SetFog(0);
    g_Render.SetLighting(1);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
}

}   // namespace

float FenceFade(float distance)
{
    if (distance <= kFenceFadeStart)
        return 1.0f;
    if (distance >= kFenceFadeEnd)
        return 0.0f;
    return 1.0f - (distance - kFenceFadeStart) / (kFenceFadeEnd - kFenceFadeStart);
}

float BuildingFade(float height, float distance)
{
    if (height <= kTallBuilding || distance <= kTallFadeStart)
        return 1.0f;
    if (distance > kTallFadeEnd)
        return 0.0f;
    return 1.0f - (distance - kTallFadeStart) * (1.0f / (kTallFadeEnd - kTallFadeStart));
}

void CStaticObject::Update()
{
    const D3DXVECTOR3& eye = Eye().eye;
    const float dx = worldCentre[0] - eye.x, dy = worldCentre[1] - eye.y, dz = worldCentre[2] - eye.z;
    cameraDistance = std::sqrt(dx * dx + dy * dy + dz * dz) - boundRadius;
    // Placed objects never enter the physics world in the editor.
    if (g_EditorMode || !body)
        return;

    if (objectType == GTYPE_STATIC || objectType == GTYPE_BUILDING)
    {
        if (!inWorld && cameraDistance < kActivationDistance)
        {
            EnablePhysics(1);
            touched = 0;
        }
        else if (inWorld && cameraDistance > kActivationDistance)
        {
            EnablePhysics(0);
            touched = 0;
        }
    }
    else if (objectType == GTYPE_FENCES)
    {
        // A fence that was hit stays in the world, however far the camera
        // goes, until its body has come to rest.
        const int state = body->getActivationState();
        if (touched && (state == ISLAND_SLEEPING || state == DISABLE_SIMULATION))
            touched = 0;
        if (!inWorld && cameraDistance < kActivationDistance)
        {
            EnablePhysics(1);
            touched = 0;
        }
        else if (inWorld && cameraDistance > kActivationDistance && !touched)
        {
            EnablePhysics(0);
            touched = 0;
        }
        SyncFromBody();
        D3DXVECTOR3 centre;
        const D3DXVECTOR3 local(boundCentre[0], boundCentre[1], boundCentre[2]);
        D3DXMATRIX m;
        m = world;
        D3DXVec3TransformCoord(&centre, &local, &m);
        worldCentre[0] = centre.x;
        worldCentre[1] = centre.y;
        worldCentre[2] = centre.z;
    }
}

int CStaticObject::UpdateVisibility()
{
    const D3DXVECTOR3 centre(worldCentre[0], worldCentre[1], worldCentre[2]);
    const bool byCorners = objectType == GTYPE_BUILDING && corners;
    const CCamera& shadowCamera = g_Views.shadowCamera;
    inShadow = byCorners ? shadowCamera.BoxVisible(corners) : shadowCamera.SphereVisible(&centre, boundRadius);
    if (cameraDistance > (float)g_ViewDistance)
        visible = 0;
    else
        visible = byCorners ? Eye().BoxVisible(corners) : Eye().SphereVisible(&centre, boundRadius);
    return visible;
}

void CStaticObject::Render(int slot)
{
    if (!visible)
        return;
    float fade = material.Diffuse.a;
    bool bind = true;
    switch (objectType)
    {
    case GTYPE_STATIC:
    case GTYPE_STONE:
    case GTYPE_TREE:
        SolidStates();
        break;
    case GTYPE_FENCES:
        SolidStates();
        fade = FenceFade(cameraDistance);
        material.Diffuse.a = fade;
        break;
    case GTYPE_BUILDING:
        SolidStates();
        if (meshRecord && meshRecord->partCount[MESH_SLOT_SECOND] > 0 && cameraDistance > kFarSlotDistance)
            slot = MESH_SLOT_SECOND;
        fade = BuildingFade(meshRecord ? meshRecord->boundsSize[1] : 0.0f, cameraDistance);
        material.Diffuse.a = fade;
        break;
    case GTYPE_VEHICLE:
    case GTYPE_WHEEL:
        g_Render.SetZEnable(1);
        g_Render.SetZWrite(1);
        g_Render.SetLighting(1);
        break;
    default:
        bind = false;   // the owner has set its states
        break;
    }
    if (bind && fade <= 0.0f)
        return;
    const int blend = bind && fade < 1.0f ? 1 : 0;
    if (bind)
        g_Render.BindTexture(textureIds[0], blend, 0);

    IDirect3DDevice9* device = g_Render.device;
    IDirect3DTexture9* map = ShadowMap();
    const bool shadowed = device && map && ReceivesShadow(objectType);
    if (shadowed)
    {
        D3DXMATRIX drawn;
        drawn = world;
        if (useScale)
        {
            D3DXMATRIX scaling;
            D3DXMatrixScaling(&scaling, scale[0], scale[1], scale[2]);
            const D3DXMATRIX unscaled = drawn;
            D3DXMatrixMultiply(&drawn, &scaling, &unscaled);
        }
        BeginShadowStage(device, map, drawn, blend);
    }
    RenderSlot(slot);
    if (shadowed)
        EndShadowStage(device);
}

void CStaticObject::RenderChromeGlass()
{
    if (chrome)
        chrome->RenderChrome();
    if (glass)
        glass->RenderGlass();
}

void CStaticObject::RenderLightEffects()
{
    if (selfIllum)
        selfIllum->RenderSelfIllum();
    if (lightMaps)
        lightMaps->Render();
    // Sprites, lamps and spot beams go into the pass's dynamic batch.
    if (lights)
        lights->Render();
    if (directLights)
        directLights->Update();
    if (spots)
        spots->Render();
}

void CStaticObject::DrawShadowPart()
{
    if (shadow)
        shadow->RenderShadow();
}

int CStaticObject::RayTest(const float from[3], const float to[3], float hitOut[3])
{
    if (!body)
        return 0;
    const D3DXVECTOR3 start(from[0], from[1], from[2]);
    D3DXVECTOR3 direction(to[0] - from[0], to[1] - from[1], to[2] - from[2]);
    const float length = std::sqrt(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z);
    if (!(length > 0.0f) || !std::isfinite(length))
        return 0;
    direction /= length;

    if (meshRecord)
    {
        // A quick reject against the mesh box in object space. The box is
        // taken at the drawn scale, so stretched objects are not missed.
        D3DXMATRIX m, inverse;
        m = world;
        if (!D3DXMatrixInverse(&inverse, nullptr, &m))
            return 0;
        D3DXVECTOR3 localStart, localDirection;
        D3DXVec3TransformCoord(&localStart, &start, &inverse);
        D3DXVec3TransformNormal(&localDirection, &direction, &inverse);
        D3DXVECTOR3 lo, hi;
        float* l = &lo.x;
        float* h = &hi.x;
        for (int k = 0; k < 3; ++k)
        {
            const float s = useScale ? scale[k] : 1.0f;
            const float a = meshRecord->boundsMin[k] * s, b = meshRecord->boundsMax[k] * s;
            l[k] = a < b ? a : b;
            h[k] = a < b ? b : a;
        }
        if (!D3DXBoxBoundProbe(&lo, &hi, &localStart, &localDirection))
            return 0;
    }

    const btVector3 a(from[0], from[1], from[2]), b(to[0], to[1], to[2]);
    btCollisionWorld::ClosestRayResultCallback result(a, b);
    btTransform fromFrame, toFrame;
    fromFrame.setIdentity();
    fromFrame.setOrigin(a);
    toFrame.setIdentity();
    toFrame.setOrigin(b);
    btCollisionWorld::rayTestSingle(fromFrame, toFrame, body, body->getCollisionShape(), body->getWorldTransform(),
                                    result);
    if (!result.hasHit())
        return 0;
    if (hitOut)
    {
        hitOut[0] = result.m_hitPointWorld.x();
        hitOut[1] = result.m_hitPointWorld.y();
        hitOut[2] = result.m_hitPointWorld.z();
    }
    if (g_RayPickHooks.objectHit)
        g_RayPickHooks.objectHit(this);
    return 1;
}
