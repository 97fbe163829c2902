#pragma once
// The fixed sun and ambient light of the terrain pictures and the terrain
// frame benchmark, kept apart from the light manager so that those pictures
// stay the same whatever the game's lighting becomes. Free of the test
// framework, so that the benchmarks can use it as well.
#include "platform/d3d/D3D9.h"

namespace testlight
{

inline void SetFixedSun(IDirect3DDevice9* device)
{
    D3DLIGHT9 sun = {};
    sun.Type = D3DLIGHT_DIRECTIONAL;
    sun.Diffuse = D3DCOLORVALUE{0.9f, 0.85f, 0.75f, 1.0f};
    sun.Direction = D3DVECTOR{0.45f, -0.75f, 0.35f};
    device->SetLight(0, &sun);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF4A5058);
}

}   // namespace testlight
