#pragma once
// The render device's state records held against the device itself: a record
// that disagrees with the device makes the next setter of that value skip a
// change the device needs, so every known record must match.
#include <string>
#include <vector>

#include "render/D3DRender.h"

namespace render_test
{

// One line per known record of g_Render that the device does not hold.
inline std::vector<std::string> StaleRecords()
{
    std::vector<std::string> stale;
    IDirect3DDevice9* device = g_Render.device;
    if (!device)
        return stale;
    auto check = [&stale](const std::string& name, int record, DWORD held) {
        if (record != -1 && DWORD(record) != held)
            stale.push_back(name + ": record " + std::to_string(record) + ", device " + std::to_string(held));
    };
    auto renderState = [device](D3DRENDERSTATETYPE state) {
        DWORD value = 0;
        device->GetRenderState(state, &value);
        return value;
    };
    check("ZWRITEENABLE", g_Render.zWrite, renderState(D3DRS_ZWRITEENABLE));
    check("ZENABLE", g_Render.zEnable, renderState(D3DRS_ZENABLE));
    check("LIGHTING", g_Render.lighting, renderState(D3DRS_LIGHTING));
    check("SRCBLEND", g_Render.srcBlend, renderState(D3DRS_SRCBLEND));
    check("DESTBLEND", g_Render.destBlend, renderState(D3DRS_DESTBLEND));
    check("ALPHABLENDENABLE", g_Render.alphaBlend, renderState(D3DRS_ALPHABLENDENABLE));
    check("FOGENABLE", g_Render.fogEnable, renderState(D3DRS_FOGENABLE));
    check("CULLMODE", g_Render.cullMode, renderState(D3DRS_CULLMODE));
    check("COLORVERTEX", g_Render.colorVertex, renderState(D3DRS_COLORVERTEX));
    check("CLIPPLANEENABLE", g_Render.clipPlaneEnable, renderState(D3DRS_CLIPPLANEENABLE));

    if (g_Render.stage0Texture != -1)
    {
        IDirect3DBaseTexture9* bound = nullptr;
        device->GetTexture(0, &bound);
        IDirect3DBaseTexture9* recorded = g_Render.GetTexture(g_Render.stage0Texture);
        if (bound != recorded)
            stale.push_back("stage 0 texture: record " + std::to_string(g_Render.stage0Texture) +
                            " is not the bound one");
        if (bound)
            bound->Release();
    }

    for (DWORD stage = 0; stage < CD3DRender::MAX_STAGES; stage++)
    {
        const std::string at = " of stage " + std::to_string(stage);
        DWORD u = 0, v = 0, index = 0, flags = 0;
        device->GetSamplerState(stage, D3DSAMP_ADDRESSU, &u);
        device->GetSamplerState(stage, D3DSAMP_ADDRESSV, &v);
        device->GetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, &index);
        device->GetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, &flags);
        check("ADDRESSU" + at, g_Render.textureAddress[stage], u);
        check("ADDRESSV" + at, g_Render.textureAddress[stage], v);
        check("TEXCOORDINDEX" + at, g_Render.texCoordIndex[stage], index);
        check("TEXTURETRANSFORMFLAGS" + at, g_Render.textureTransformFlags[stage], flags);
    }
    return stale;
}

}   // namespace render_test
