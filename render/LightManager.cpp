// Stand-in: until the light manager follows the sky, a fixed afternoon sun
// and a soft ambient light, so the lit world is not black. The subsystem's
// own work replaces it.
#include "render/LightManager.h"

#include "render/D3DRender.h"

CLightManager g_LightManager;

namespace
{

void SetFixedSun()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device)
        return;
    D3DLIGHT9 sun = {};
    sun.Type = D3DLIGHT_DIRECTIONAL;
    sun.Diffuse = D3DCOLORVALUE{0.9f, 0.85f, 0.75f, 1.0f};
    sun.Direction = D3DVECTOR{0.45f, -0.75f, 0.35f};
    device->SetLight(0, &sun);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF4A5058);
}

}   // namespace

int CLightManager::Init()
{
    SetFixedSun();
    return 1;
}

void CLightManager::Update()
{
    // Again every frame: a reset device comes back without its lights.
    SetFixedSun();
}

void CLightManager::FreeAll() {}
