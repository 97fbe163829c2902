// Full-screen passes over the finished frame: the glow, the motion blur and
// the blurred menu backdrop, and the smoothing and copy that the shadow pass
// uses too. Each draws the device's screen quad with a technique of the
// technique file, in the 256 x 256 glow targets or the 512 x 512 blur target.
#include <algorithm>

#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/Settings.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"

namespace
{

const char kGlowTechnique[] = "techGlowScreen";
const char kSmoothTechnique[] = "techSmoothSurface";
const char kBlurTechnique[] = "techMotionBlur";
const char kMenuTechnique[] = "techMenuScreen";
const char kCopyTechnique[] = "techCopyScreen";

// The menu backdrop without shaders: the frame through an orange tint.
const DWORD kMenuTint = 0xFFA03C00;

// Two triangles of the screen quad with the current technique.
void QuadPass(CD3DRender& r)
{
    IDirect3DDevice9* device = r.device;
    if (!device || !r.screenQuad)
        return;
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetStreamSource(0, r.screenQuad, 0, 20);
    if (!r.effect)
        return;
    UINT passes = 0;
    r.effect->Begin(&passes, 0);
    r.effect->BeginPass(0);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    r.effect->EndPass();
    r.effect->End();
}

// Render target 0 = level 0 of the texture; false when that fails.
bool TargetTexture(IDirect3DDevice9* device, IDirect3DTexture9* texture)
{
    IDirect3DSurface9* surface = nullptr;
    if (!texture || FAILED(texture->GetSurfaceLevel(0, &surface)) || !surface)
        return false;
    const bool ok = SUCCEEDED(device->SetRenderTarget(0, surface));
    surface->Release();
    return ok;
}

// The whole of render target 0 onto level 0 of the texture.
bool CopyFrame(IDirect3DDevice9* device, IDirect3DTexture9* texture)
{
    if (!device || !texture)
        return false;
    IDirect3DSurface9* frame = nullptr;
    IDirect3DSurface9* level = nullptr;
    bool ok = SUCCEEDED(device->GetRenderTarget(0, &frame)) && frame &&
              SUCCEEDED(texture->GetSurfaceLevel(0, &level)) && level;
    if (ok)
        ok = SUCCEEDED(device->StretchRect(frame, nullptr, level, nullptr, D3DTEXF_LINEAR));
    if (frame)
        frame->Release();
    if (level)
        level->Release();
    return ok;
}

// The depth surface taken off the device while the blurs draw into their
// small targets, and put back at the end of the scope. They test no depth,
// and a depth surface smaller than their target (a window below 256 pixels)
// would leave the target's pixels beyond it undrawn.
class NoDepthSurface
{
public:
    explicit NoDepthSurface(IDirect3DDevice9* device) : m_Device(device)
    {
        if (m_Device && SUCCEEDED(m_Device->GetDepthStencilSurface(&m_Kept)) && m_Kept)
            m_Device->SetDepthStencilSurface(nullptr);
    }
    ~NoDepthSurface()
    {
        if (!m_Kept)
            return;
        m_Device->SetDepthStencilSurface(m_Kept);
        m_Kept->Release();
    }
    NoDepthSurface(const NoDepthSurface&) = delete;
    NoDepthSurface& operator=(const NoDepthSurface&) = delete;

private:
    IDirect3DDevice9* m_Device;
    IDirect3DSurface9* m_Kept = nullptr;
};

void Stage0(CD3DRender& r, IDirect3DTexture9* texture)
{
    r.stage0Texture = -1;
    r.device->SetTexture(0, texture);
}

void ReleaseSurface(IDirect3DSurface9*& surface)
{
    if (surface)
        surface->Release();
    surface = nullptr;
}

void PlainStates(CD3DRender& r)
{
    r.SetFog(0);
    r.SetLighting(0);
    r.SetZEnable(0);
    r.SetZWrite(0);
    r.SetAlphaBlend(0);
    r.SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
}

}   // namespace

void CD3DRender::CopyTexture(IDirect3DTexture9* source, IDirect3DTexture9* target)
{
    if (!device || !source || !target)
        return;
    IDirect3DSurface9* from = nullptr;
    IDirect3DSurface9* to = nullptr;
    source->GetSurfaceLevel(0, &from);
    target->GetSurfaceLevel(0, &to);
    if (from && to)
        device->StretchRect(from, nullptr, to, nullptr, D3DTEXF_LINEAR);
    if (from)
        from->Release();
    if (to)
        to->Release();
}

void CD3DRender::SmoothSurface(IDirect3DTexture9* source, IDirect3DTexture9* target, float offset, float weight)
{
    if (!device || !source)
        return;
    if (!vs11)
    {
        CopyTexture(source, target);
        return;
    }
    if (target && !TargetTexture(device, target))
        return;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);
    SetZEnable(0);
    SetZWrite(0);
    if (target)
    {
        SetAlphaBlend(0);
        SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
    }
    const float taps[4] = {0.0f, -offset, offset, 1.0f};
    const float weights[4] = {weight, weight, weight, 0.0f};
    device->SetVertexShaderConstantF(0, taps, 1);
    device->SetPixelShaderConstantF(1, weights, 1);
    SetTechnique(kSmoothTechnique);
    SetEffectTexture("texBaseMap1", source);
    QuadPass(*this);
}

void CD3DRender::RenderGlow()
{
    if (!device || !glowReady || g_GlowOn <= 0)
        return;
    // Ctrl held in debug mode shows the frame without its glow.
    if (g_DebugLog && g_KeyFlags[KEY_CTRL])
        return;
    if (!CopyFrame(device, glowTexture0))
    {
        g_GlowOn = 0;
        WriteGameIni();
        return;
    }
    SaveRenderTarget();
    PlainStates(*this);
    SetTextureAddress(0, D3DTADDRESS_CLAMP);

    // The bright parts of the frame, then blurred twice, and added onto the
    // frame. Both blurs run at the glow's 256 x 256: the second one made over
    // the whole screen took four taps for each of its pixels, for the same
    // picture within a level (the glow is smooth by then).
    bool blurred = false;
    {
        const NoDepthSurface noDepth(device);
        if (TargetTexture(device, glowTexture1))
        {
            SetTechnique(kGlowTechnique);
            const float gain[4] = {5.0f, 6.0f, 2.0f, 0.0f};
            device->SetPixelShaderConstantF(0, gain, 1);
            Stage0(*this, glowTexture0);
            QuadPass(*this);
            SmoothSurface(glowTexture1, glowTexture0, 0.004f, 0.25f);
            SmoothSurface(glowTexture0, glowTexture1, 0.004f, 0.25f);
            blurred = true;
        }
        RestoreRenderTarget();
    }
    SetAlphaBlend(1);
    SetBlend(D3DBLEND_ONE, D3DBLEND_ONE);
    if (blurred)
        CopyOver(glowTexture1);
    else
        SmoothSurface(glowTexture0, nullptr, 0.004f, 0.25f);
    SetTextureAddress(0, D3DTADDRESS_WRAP);
}

void CD3DRender::RenderMotionBlur()
{
    if (!device || g_BlurOn <= 0 || !blurReady || !(blurAmount > 0.0f))
        return;
    // Behind the menu the frame is the 320 x 240 world: the glow's second
    // 256 x 256 target (free until the backdrop's blurs) holds it with a
    // quarter of the texels the full 512 x 512 copy shades.
    IDirect3DTexture9* const copy = menuWorldOpen && glowTexture1 ? glowTexture1 : blurTexture;
    if (!CopyFrame(device, copy))
    {
        g_BlurOn = 0;
        WriteGameIni();
        return;
    }
    SetFog(0);
    SetZEnable(0);
    SetZWrite(0);
    SetLighting(0);
    SetAlphaBlend(1);
    SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    SetTextureAddress(0, D3DTADDRESS_CLAMP);

    const float a = blurAmount * -0.008f;
    const float b = std::min(blurAmount * 8.0f, 4.0f);
    const float zoom[4] = {a, a, a, 0.0f};
    const float strength[4] = {b, b, b, 1.0f};
    device->SetVertexShaderConstantF(0, zoom, 1);
    device->SetPixelShaderConstantF(0, strength, 1);
    SetTechnique(kBlurTechnique);
    Stage0(*this, copy);
    QuadPass(*this);

    SetTextureAddress(0, D3DTADDRESS_WRAP);
    // It may go below 0: the blur ends until someone sets it again.
    blurAmount -= g_Clock.m_RealStep;
}

int CD3DRender::BeginMenuWorld()
{
    menuWorldFrame = 0;
    if (menuWorldOpen || !device || !vs11 || !effect || !glowTexture0 || !glowTexture1 || !menuWorldTarget ||
        !menuWorldDepth)
        return 0;
    IDirect3DSurface9* level = nullptr;
    if (FAILED(menuWorldTarget->GetSurfaceLevel(0, &level)) || !level)
        return 0;
    device->GetRenderTarget(0, &menuKeptTarget);
    device->GetDepthStencilSurface(&menuKeptDepth);
    const bool ok = SUCCEEDED(device->SetRenderTarget(0, level));
    level->Release();
    if (!ok)
    {
        ReleaseSurface(menuKeptTarget);
        ReleaseSurface(menuKeptDepth);
        return 0;
    }
    device->SetDepthStencilSurface(menuWorldDepth);
    menuKeptSize[0] = screenWidth;
    menuKeptSize[1] = screenHeight;
    menuKeptSize[2] = scaleX;
    menuKeptSize[3] = scaleY;
    screenWidth = (float)MENU_WORLD_WIDTH;
    screenHeight = (float)MENU_WORLD_HEIGHT;
    scaleX = screenWidth / 800.0f;
    scaleY = screenHeight / 600.0f;
    menuWorldOpen = menuWorldFrame = 1;
    return 1;
}

void CD3DRender::EndMenuWorld()
{
    if (!menuWorldOpen)
        return;
    menuWorldOpen = 0;
    if (device && menuKeptTarget)
        device->SetRenderTarget(0, menuKeptTarget);
    if (device)
        device->SetDepthStencilSurface(menuKeptDepth);
    ReleaseSurface(menuKeptTarget);
    ReleaseSurface(menuKeptDepth);
    screenWidth = menuKeptSize[0];
    screenHeight = menuKeptSize[1];
    scaleX = menuKeptSize[2];
    scaleY = menuKeptSize[3];
}

void CD3DRender::ShowMenuWorld()
{
    if (!menuWorldFrame)
        return;
    menuWorldFrame = 0;
    EndMenuWorld();
    IDirect3DSurface9* frame = nullptr;
    if (device && SUCCEEDED(device->GetRenderTarget(0, &frame)) && frame)
    {
        IDirect3DSurface9* world = nullptr;
        if (SUCCEEDED(menuWorldTarget->GetSurfaceLevel(0, &world)) && world)
            device->StretchRect(world, nullptr, frame, nullptr, D3DTEXF_LINEAR);
        ReleaseSurface(world);
    }
    ReleaseSurface(frame);
}

// Behind the menu the reflection is read for a world of 320 x 240 pixels:
// one of 256 x 256 texels shades a quarter of the full one's pixels, and its
// leaves, seen from under the water many deep, were the most of them.
static bool SmallReflection(const CD3DRender& render)
{
    return render.menuWorldOpen && render.menuReflectionTarget && render.menuReflectionDepth;
}

IDirect3DTexture9* CD3DRender::ReflectionTarget() const
{
    return SmallReflection(*this) ? menuReflectionTarget : reflectionTarget;
}

IDirect3DSurface9* CD3DRender::ReflectionDepth() const
{
    return SmallReflection(*this) ? menuReflectionDepth : reflectionDepth;
}

int CD3DRender::ReflectionSize() const
{
    return SmallReflection(*this) ? MENU_REFLECTION_SIZE : REFLECTION_SIZE;
}

void CD3DRender::RenderMenuScreen()
{
    if (!device)
        return;
    // The world of this frame, when it went to the menu's target: the copy
    // is taken from there, onto the back buffer put back.
    const bool smallWorld = menuWorldFrame != 0;
    menuWorldFrame = 0;
    EndMenuWorld();
    PlainStates(*this);
    if (smallWorld)
        CopyTexture(menuWorldTarget, glowTexture0);
    else if (!CopyFrame(device, glowTexture0))
        return;
    if (!vs11 || !glowTexture0 || !glowTexture1)
    {
        DrawTextureRect(-1, -1, 801, 601, kMenuTint, glowTexture0);
        return;
    }
    // Tinted and blurred twice at 256 x 256, then laid over the frame.
    SaveRenderTarget();
    bool blurred = false;
    {
        const NoDepthSurface noDepth(device);
        if (TargetTexture(device, glowTexture1))
        {
            SetTechnique(kMenuTechnique);
            SetEffectTexture("texBaseMap1", glowTexture0);
            QuadPass(*this);
            SmoothSurface(glowTexture1, glowTexture0, 0.004f, 0.25f);
            SmoothSurface(glowTexture0, glowTexture1, 0.004f, 0.25f);
            blurred = true;
        }
        RestoreRenderTarget();
    }
    PlainStates(*this);
    if (blurred)
        CopyOver(glowTexture1);
    else
        SmoothSurface(glowTexture0, nullptr, 0.004f, 0.25f);
}

void CD3DRender::CopyOver(IDirect3DTexture9* source)
{
    if (!device || !source)
        return;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);
    SetZEnable(0);
    SetZWrite(0);
    SetTechnique(kCopyTechnique);
    SetEffectTexture("texBaseMap1", source);
    QuadPass(*this);
}
