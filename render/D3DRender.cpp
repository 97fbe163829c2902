#include "render/D3DRender.h"

#include <cstring>

CD3DRender g_Render;

CD3DRender::CD3DRender()
{
    Reset();
}

void CD3DRender::Reset()
{
    stage0Texture = -1;
    zWrite = zEnable = lighting = srcBlend = destBlend = alphaBlend = fogEnable = 0;
    cullMode = savedCullMode = 2;
    batchVertices = batchIndices = nullptr;
    batchVB = nullptr;
    batchIB = nullptr;
    batchVertexCount = batchIndexCount = 0;
    textures.Clear();
    deviceLost = vs11 = ps14 = sm20 = 0;
    adapterFormat = D3DFMT_UNKNOWN;
    screenWidth = savedScreenWidth = scaleX = savedScaleX = 0.0f;
    screenHeight = savedScreenHeight = scaleY = savedScaleY = 0.0f;
    std::memset(modes, 0, sizeof(modes));
    modeCount = 0;
    std::memset(&desktopMode, 0, sizeof(desktopMode));
    d3d = nullptr;
    device = nullptr;
    fillMode = D3DFILL_SOLID;
    shadeMode = D3DSHADE_GOURAUD;
    fogStart = fogEnd = 0.0f;
    mainFaces = reflectionFaces = shadowFaces = frameCount = 0;
    keptRenderTarget = keptDepthStencil = nullptr;
    effect = nullptr;
    currentTechnique = nullptr;
    envCubeTexture = nullptr;
    lightMapTexture = blackTexture = whiteTexture = -1;
    reflectionTarget = shadowTarget0 = shadowTarget1 = shadowTarget2 = nullptr;
    shadowDepth = reflectionDepth = nullptr;
    screenQuad = nullptr;
    glowTexture0 = glowTexture1 = blurTexture = nullptr;
    glowReady = blurReady = 0;
    blurAmount = 0.0f;
}

int CD3DRender::InitD3D(int) { Reset(); return 0; }
HRESULT CD3DRender::CreateDevice(HWND, int, int, int) { return 0; }
int CD3DRender::FreeD3DRender() { return 0; }
int CD3DRender::SetDefaultStates() { return 0; }
HRESULT CD3DRender::LoadRenderTechniques() { return 0; }
HRESULT CD3DRender::PresentFrame() { return 0; }
void CD3DRender::ToggleFillMode() { fillMode = fillMode == D3DFILL_SOLID ? D3DFILL_WIREFRAME : D3DFILL_SOLID; }
void CD3DRender::ToggleShadeMode() { shadeMode = shadeMode == D3DSHADE_GOURAUD ? D3DSHADE_FLAT : D3DSHADE_GOURAUD; }
TextureId CD3DRender::LoadTexture(const char*, int, int, int) { return -1; }
void CD3DRender::ReleaseAllTextures() {}
void CD3DRender::ReleaseTexture(TextureId) {}
void CD3DRender::ReleaseTextureByName(const char*) {}
void CD3DRender::SetZWrite(int on) { zWrite = on; }
void CD3DRender::SetZEnable(int on) { zEnable = on; }
void CD3DRender::SetLighting(int on) { lighting = on; }
void CD3DRender::SetBlend(int src, int dst) { srcBlend = src; destBlend = dst; }
void CD3DRender::SetAlphaBlend(int on) { alphaBlend = on; }
void CD3DRender::SetFog(int) { fogEnable = 0; }
float CD3DRender::GetFPS() { return 0.0f; }
void CD3DRender::SetCursor(float, float) {}
HRESULT CD3DRender::RestoreDeviceObjects() { return 0; }
void CD3DRender::InvalidateDeviceObjects() {}
void CD3DRender::CreateDefaultResources() {}
void CD3DRender::ReleaseDefaultResources() {}
void CD3DRender::LoadCubeTexture(const char*, IDirect3DCubeTexture9**) {}
void CD3DRender::SetCullMode(int mode) { cullMode = mode; }
void CD3DRender::SaveCullMode() { savedCullMode = cullMode; }
void CD3DRender::RestoreCullMode() { cullMode = savedCullMode; }
void CD3DRender::SetStageColorOp(DWORD, DWORD, DWORD, DWORD, DWORD, DWORD) {}
void CD3DRender::SetStageAlphaOp(DWORD, DWORD, DWORD, DWORD, DWORD) {}
void CD3DRender::SetMipLodBias(DWORD, int) {}
void CD3DRender::SetFogRange(float start, float end) { fogStart = start; fogEnd = end; }
void CD3DRender::SetTechnique(const char* name, int) { currentTechnique = name; }
void CD3DRender::BindTexture(TextureId id, int, int, int) { stage0Texture = id; }
void CD3DRender::BindTextureObject(IDirect3DBaseTexture9*, int, int) { stage0Texture = -1; }
void CD3DRender::SetEffectTexture(const char*, IDirect3DBaseTexture9*) { stage0Texture = -1; }
IDirect3DTexture9* CD3DRender::GetTexture(TextureId id) const { return textures.GetTexture(id); }
void CD3DRender::SaveRenderTarget() {}
void CD3DRender::RestoreRenderTarget() {}
void CD3DRender::SaveDepthStencil() {}
void CD3DRender::RestoreDepthStencil() {}

void CD3DRender::CountFaces(int n)
{
    if (g_ReflectionPass)
        reflectionFaces += n;
    else if (g_ShadowPass)
        shadowFaces += n;
    else
        mainFaces += n;
}

// The render passes own these flags; these weak definitions only let the
// device link before the passes exist.
__attribute__((weak)) int g_ShadowPass = 0;
__attribute__((weak)) int g_ReflectionPass = 0;
void CD3DRender::SetMaterial(const D3DMATERIAL9*, int) {}
