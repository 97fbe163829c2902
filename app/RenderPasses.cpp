// The render passes of one frame: the reflection of the world in the water,
// the shadow map seen from the sun, then the main pass; and the texture
// transform with which objects look up the shadow map.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/Game.h"
#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "racers/HumanManager.h"
#include "racers/VehicleManager.h"
#include "render/D3DRender.h"
#include "scene/Dusts.h"
#include "scene/StaticObjectManager.h"
#include "scene/WheelSkids.h"
#include "world/Landscape.h"
#include "world/NatureManager.h"
#include "world/Sky.h"

namespace
{
const float kShadowReach = 32.0f * 1.3f;   // how far ahead of the eye the shadow map is centred
const float kShadowCameraDistance = 100.0f;
const float kPi = 3.14159265358979f;

DWORD FloatBits(float f)
{
    DWORD bits;
    std::memcpy(&bits, &f, sizeof(bits));
    return bits;
}

GameStep Step(const char* name, std::function<void()> call)
{
    return GameStep{name, [call]() {
                        call();
                        return 1;
                    }};
}

// The device's render target and depth surface (kept by the render device)
// and the render device's screen size and scales, kept while a pass draws into
// a smaller target.
void KeepTarget(float size)
{
    g_Render.SaveRenderTarget();
    g_Render.SaveDepthStencil();
    g_Render.savedScreenWidth = g_Render.screenWidth;
    g_Render.savedScreenHeight = g_Render.screenHeight;
    g_Render.savedScaleX = g_Render.scaleX;
    g_Render.savedScaleY = g_Render.scaleY;
    g_Render.screenWidth = size;
    g_Render.screenHeight = size;
    g_Render.scaleX = 1.0f;
    g_Render.scaleY = 1.0f;
}

void RestoreTarget()
{
    g_Render.RestoreRenderTarget();
    g_Render.RestoreDepthStencil();
    g_Render.screenWidth = g_Render.savedScreenWidth;
    g_Render.screenHeight = g_Render.savedScreenHeight;
    g_Render.scaleX = g_Render.savedScaleX;
    g_Render.scaleY = g_Render.savedScaleY;
}

// Sets level 0 of a texture as render target 0.
void TargetLevel0(IDirect3DDevice9* device, IDirect3DTexture9* texture)
{
    IDirect3DSurface9* surface = nullptr;
    if (SUCCEEDED(texture->GetSurfaceLevel(0, &surface)) && surface)
    {
        device->SetRenderTarget(0, surface);
        surface->Release();
    }
}

}   // namespace

// The water looks its reflection up where each of its points falls on the
// screen (the target spans the whole screen), moved by its ripples by up to
// kRippleReach of the target and read with bilinear filtering: the texels
// that can be read are those under the water's screen rectangle grown by
// that much and two texels more.
RECT ReflectionScissor(const CCamera& camera, int size)
{
    const float kRippleReach = 0.025f;
    D3DXMATRIX viewProj;
    D3DXMatrixMultiply(&viewProj, &camera.view, &camera.projection);
    float b[4];
    if (!g_Landscape.WaterScreenBounds(viewProj, b))
        return RECT{0, 0, 0, 0};
    const float pad = kRippleReach * (float)size + 2.0f;
    const auto low = [&](float t) { return (LONG)std::max(0.0f, std::floor(t * (float)size - pad)); };
    const auto high = [&](float t) { return (LONG)std::min((float)size, std::ceil(t * (float)size + pad)); };
    return RECT{low(b[0]), low(b[1]), high(b[2]), high(b[3])};
}

namespace
{

// Up vector of the shadow camera: the horizontal direction from the main eye
// to the focus, turned by -pi/4 about the view direction. When the main camera
// looks straight down or up that direction has no length, and an up vector
// along the view direction makes the view matrix NaN: fixed axes stand in.
D3DXVECTOR3 ShadowUp(const D3DXVECTOR3& mainEye, const D3DXVECTOR3& focus, const D3DXVECTOR3& viewDirection)
{
    D3DXVECTOR3 horizontal(focus.x - mainEye.x, 0.0f, focus.z - mainEye.z);
    if (D3DXVec3Length(&horizontal) < 1e-4f)
        horizontal = D3DXVECTOR3(0, 0, 1);
    D3DXVec3Normalize(&horizontal, &horizontal);

    D3DXMATRIX turn;
    D3DXMatrixRotationAxis(&turn, &viewDirection, -kPi / 4);
    D3DXVECTOR3 up;
    D3DXVec3TransformNormal(&up, &horizontal, &turn);

    D3DXVECTOR3 side;
    D3DXVec3Cross(&side, &up, &viewDirection);
    if (D3DXVec3Length(&side) < 1e-3f)
    {
        // Light along the horizontal direction: any axis across it will do.
        up = std::fabs(viewDirection.y) < 0.9f ? D3DXVECTOR3(0, 1, 0) : D3DXVECTOR3(1, 0, 0);
    }
    return up;
}
}   // namespace

void CGame::SetDefaultPassSteps()
{
    // The light sprites of the pass collect in the dynamic batch and are drawn
    // together, additively, before the dust; the glow and the motion blur go
    // over the finished frame.
    mainPassSteps = {
        Step("CD3DRender::BeginBatch", [] { g_Render.BeginBatch(); }),
        Step("CSky::Draw", [] { g_Sky.Draw(); }),
        Step("CStaticObjectManager::Draw 0x110", [] { g_StaticObjects.Draw(PASS_MASK_BUILDINGS_AND_OBJECTS); }),
        Step("CStaticObjectManager::DrawChromeGlass 0x110",
             [] { g_StaticObjects.DrawChromeGlass(PASS_MASK_BUILDINGS_AND_OBJECTS); }),
        Step("CLandscape::Draw", [] { g_Landscape.Draw(); }),
        Step("CWheelSkids::Render", [] { g_Skids.Render(); }),
        Step("CNatureManager::DrawTreeStems", [] { g_Nature.DrawTreeStems(); }),
        Step("CVehicleManager::Render", [] { g_Vehicles.Render(); }),
        Step("CVehicleManager::RenderChrome", [] { g_Vehicles.RenderChrome(); }),
        Step("CHumanManager::Render", [] { g_HumanManager.Render(); }),
        Step("CStaticObjectManager::Draw 0x20", [] { g_StaticObjects.Draw(PASS_MASK_FENCES); }),
        Step("CStaticObjectManager::DrawChromeGlass 0x20", [] { g_StaticObjects.DrawChromeGlass(PASS_MASK_FENCES); }),
        Step("CNatureManager::DrawGrass", [] { g_Nature.DrawGrass(); }),
        Step("CStaticObjectManager::DrawLightEffects 0x110",
             [] { g_StaticObjects.DrawLightEffects(PASS_MASK_BUILDINGS_AND_OBJECTS); }),
        Step("CVehicleManager::RenderEffects", [] { g_Vehicles.RenderEffects(); }),
        Step("CSky::DrawFlare", [] { g_Sky.DrawFlare(); }),
        Step("CLandscape::DrawWater", [] { g_Landscape.DrawWater(); }),
        Step("CNatureManager::DrawTreeLeafs", [] { g_Nature.DrawTreeLeafs(); }),
        Step("CD3DRender::EndBatch", [] { g_Render.EndBatch(); }),
        Step("CD3DRender::RenderBatch", [] { g_Render.RenderBatch(); }),
        Step("CDusts::Render", [] { g_Dusts.Render(); }),
        Step("CD3DRender::RenderGlow", [] { g_Render.RenderGlow(); }),
        Step("CD3DRender::RenderMotionBlur", [] { g_Render.RenderMotionBlur(); }),
    };

    // Casters after the terrain. The cheap quality 1 draws leaves, motorcycles
    // and riders; 2 adds placed objects and fences; 3 adds buildings and grass.
    shadowCasters = {
        {"CStaticObjectManager::DrawShadows 0x100", 3, 1, [] { g_StaticObjects.DrawShadows(PASS_MASK_BUILDINGS); }},
        {"CNatureManager::DrawTreeLeafsShadow", 1, 1, [] { g_Nature.DrawTreeLeafsShadow(); }},
        {"CStaticObjectManager::DrawShadows 0x30", 2, 0,
         [] { g_StaticObjects.DrawShadows(PASS_MASK_OBJECTS_AND_FENCES); }},
        {"CVehicleManager::RenderShadows", 1, 0, [] { g_Vehicles.RenderShadows(); }},
        {"CHumanManager::RenderShadows", 1, 0, [] { g_HumanManager.RenderShadows(); }},
        {"CNatureManager::DrawGrassShadow", 3, 0, [] { g_Nature.DrawGrassShadow(); }},
    };

    reflectionSteps = {
        Step("CLandscape::Draw", [] { g_Landscape.Draw(); }),
        Step("CStaticObjectManager::Draw 0x100", [] { g_StaticObjects.Draw(PASS_MASK_BUILDINGS); }),
        Step("CStaticObjectManager::DrawLightEffects 0x100",
             [] { g_StaticObjects.DrawLightEffects(PASS_MASK_BUILDINGS); }),
        Step("CNatureManager::DrawTreeLeafs", [] { g_Nature.DrawTreeLeafs(); }),
    };
}

void CGame::Render()
{
    // Behind the menu's pages only their blurred backdrop of the frame is
    // seen: the world (and the display over it) go to the render device's
    // smaller target, from which the backdrop takes its copy.
    if (g_MainMenu.active)
        g_Render.BeginMenuWorld();
    RenderReflection();
    RenderShadowMap();
    for (const GameStep& s : mainPassSteps)
        s.run();
}

void CGame::RenderShadowMap()
{
    IDirect3DDevice9* device = g_Render.device;
    if (g_ShadowQuality <= 0 || !device || !g_Render.shadowTarget0)
        return;

    g_Views.activeCamera = &g_Views.shadowCamera;
    D3DXVECTOR3 d = g_Views.mainCamera.at - g_Views.mainCamera.eye;
    if (D3DXVec3Length(&d) > 0.0f)
        D3DXVec3Normalize(&d, &d);
    // The offset shrinks as the view tilts, d being normalised in three dimensions.
    g_Views.shadowFocus = D3DXVECTOR3(g_Views.mainCamera.eye.x + d.x * kShadowReach, g_Views.mainCamera.eye.y,
                                      g_Views.mainCamera.eye.z + d.z * kShadowReach);

    const D3DXVECTOR3 towardsLight(g_Sky.shadowDirection[0], g_Sky.shadowDirection[1], g_Sky.shadowDirection[2]);
    g_Views.shadowCamera.eye = g_Views.shadowFocus + towardsLight * kShadowCameraDistance;
    g_Views.shadowCamera.at = g_Views.shadowFocus;
    D3DXVECTOR3 viewDirection = g_Views.shadowCamera.at - g_Views.shadowCamera.eye;
    if (D3DXVec3Length(&viewDirection) > 0.0f)
        D3DXVec3Normalize(&viewDirection, &viewDirection);
    else
        viewDirection = D3DXVECTOR3(0, -1, 0);
    g_Views.shadowCamera.up = ShadowUp(g_Views.mainCamera.eye, g_Views.shadowFocus, viewDirection);
    g_Views.shadowCamera.UpdateView();

    KeepTarget((float)SHADOW_MAP_SIZE);
    g_Views.shadowCamera.SetViewport(0, 0, (float)SHADOW_MAP_SIZE, (float)SHADOW_MAP_SIZE);

    TargetLevel0(device, g_Render.shadowTarget0);
    device->SetDepthStencilSurface(g_Render.shadowDepth);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);

    g_Render.SetStageColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_ShadowPass = 1;

    // The terrain occludes in black, every other caster in the shadow's grey.
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF000000);
    g_Landscape.DrawShadow();
    float strength = g_Sky.shadowStrength;
    if (strength < 0.0f)
        strength = 0.0f;
    if (strength > 1.0f)
        strength = 1.0f;
    const DWORD g = (DWORD)(int)(strength * 0.7f * 255.0f);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF000000 | (g << 16) | (g << 8) | g);

    for (const ShadowCaster& c : shadowCasters)
        if (c.beforeLayerCopy && g_ShadowQuality >= c.minQuality)
            c.draw();
    // The second layer holds terrain, buildings and leaves only.
    g_Render.CopyTexture(g_Render.shadowTarget0, g_Render.shadowTarget2);
    for (const ShadowCaster& c : shadowCasters)
        if (!c.beforeLayerCopy && g_ShadowQuality >= c.minQuality)
            c.draw();

    // The smoothed layer softens the shadows' edges.
    g_Render.SmoothSurface(g_Render.shadowTarget0, g_Render.shadowTarget1, 0.001f, 0.25f);
    g_Render.SetEffectTexture("texShadowLayer0", g_Render.shadowTarget1);
    g_Render.SetEffectTexture("texShadowLayer1", g_Render.shadowTarget2);

    g_ShadowPass = 0;
    g_Render.SetStageColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);

    RestoreTarget();
    g_Views.activeCamera = &g_Views.mainCamera;
    g_Views.mainCamera.UpdateView();
    g_Views.mainCamera.SetViewport(0, 0, 800, 600);
}

void CGame::RenderReflection()
{
    IDirect3DDevice9* device = g_Render.device;
    IDirect3DTexture9* const target = g_Render.ReflectionTarget();
    if (!device || !target || g_Landscape.visibleWaterParts == 0)
        return;
    const float size = (float)g_Render.ReflectionSize();
    const CCamera* source = g_Views.activeCamera ? g_Views.activeCamera : &g_Views.mainCamera;

    g_Render.SetMipLodBias(FloatBits(1.0f), -1);

    D3DXPLANE water;
    const D3DXVECTOR3 point(0, g_Landscape.waterAltitude, 0), normal(0, 1, 0);
    D3DXPlaneFromPointNormal(&water, &point, &normal);
    device->SetClipPlane(0, &water.a);

    // The reflection camera starts as a plain copy of the camera it mirrors
    // (it shares that camera's font and is never released).
    D3DXMATRIX mirror;
    D3DXMatrixReflect(&mirror, &water);
    std::memcpy(static_cast<void*>(&g_Views.reflectionCamera), source, sizeof(CCamera));
    D3DXVec3TransformCoord(&g_Views.reflectionCamera.eye, &source->eye, &mirror);
    D3DXVec3TransformCoord(&g_Views.reflectionCamera.at, &source->at, &mirror);
    D3DXVec3TransformNormal(&g_Views.reflectionCamera.up, &source->up, &mirror);
    D3DXMatrixMultiply(&g_Views.reflectionCamera.view, &mirror, &source->view);
    D3DXMatrixInverse(&g_Views.reflectionCamera.inverseView, nullptr, &g_Views.reflectionCamera.view);
    device->SetTransform(D3DTS_VIEW, &g_Views.reflectionCamera.view);
    g_Views.reflectionCamera.SetShaderMatrices();
    g_Views.reflectionCamera.UpdateFrustum();

    KeepTarget(size);
    // The mirror reverses the winding.
    g_Render.SetCullMode(D3DCULL_CCW);
    g_Render.SaveCullMode();

    TargetLevel0(device, target);
    device->SetDepthStencilSurface(g_Render.ReflectionDepth());
    g_Views.activeCamera = &g_Views.reflectionCamera;
    g_Views.reflectionCamera.SetViewport(0, 0, size, size);

    // The water reads the reflection only under its own place on the
    // screen: what is drawn (and cleared) is kept to that rectangle.
    const RECT scissor = ReflectionScissor(*source, (int)size);
    g_Render.SetScissor(&scissor);

    g_Render.BeginBatch();
    g_ReflectionPass = 1;
    g_Sky.Draw();
    g_Render.SetClipPlaneEnable(D3DCLIPPLANE0);
    for (const GameStep& s : reflectionSteps)
        s.run();
    g_Render.SetClipPlaneEnable(0);
    g_Sky.DrawFlare();
    g_Render.EndBatch();
    g_Render.RenderBatch();
    g_Render.SetScissor(nullptr);

    g_ReflectionPass = 0;
    RestoreTarget();
    g_Views.activeCamera = &g_Views.mainCamera;
    g_Views.mainCamera.UpdateView();
    g_Views.mainCamera.SetViewport(0, 0, 800, 600);
    g_Render.SetCullMode(D3DCULL_CW);
    g_Render.SaveCullMode();
    g_Render.SetMipLodBias(FloatBits(0.0f), -1);
}
