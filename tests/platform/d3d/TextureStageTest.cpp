// Fixed-function texture stages: each combination the game sets up gives the
// colour Direct3D's stage arithmetic gives, alpha included.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/support/GoldenImage.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"

namespace
{

struct Rgba
{
    float r, g, b, a;
};

Rgba FromArgb(DWORD c)
{
    return {((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f, (c >> 24) / 255.0f};
}

const DWORD kTexture = 0x808040FF;   // a .5, r .5, g .25, b 1
const DWORD kDiffuse = 0xC080FF40;   // a .75, r .5, g 1, b .25
const DWORD kFactor = 0x40FF0080;    // a .25, r 1, g 0, b .5

struct ScreenVertex
{
    float x, y, z, rhw;
    DWORD color;
    float u, v;
};

using Setup = std::function<void(IDirect3DDevice9*, IDirect3DTexture9*)>;
using Expect = std::function<Rgba(Rgba t, Rgba d, Rgba f)>;

struct StageCase
{
    const char* name;
    Setup setup;
    Expect expect;
};

void Color(IDirect3DDevice9* d, DWORD stage, DWORD op, DWORD arg1, DWORD arg2)
{
    d->SetTextureStageState(stage, D3DTSS_COLOROP, op);
    d->SetTextureStageState(stage, D3DTSS_COLORARG1, arg1);
    d->SetTextureStageState(stage, D3DTSS_COLORARG2, arg2);
}

void Alpha(IDirect3DDevice9* d, DWORD stage, DWORD op, DWORD arg1, DWORD arg2)
{
    d->SetTextureStageState(stage, D3DTSS_ALPHAOP, op);
    d->SetTextureStageState(stage, D3DTSS_ALPHAARG1, arg1);
    d->SetTextureStageState(stage, D3DTSS_ALPHAARG2, arg2);
}

float Sat(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}

const StageCase kCases[] = {
    {"ModulateTextureDiffuse",
     [](IDirect3DDevice9* d, IDirect3DTexture9* t) {
         d->SetTexture(0, t);
         Color(d, 0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
         Alpha(d, 0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
     },
     [](Rgba t, Rgba d, Rgba) {
         return Rgba{t.r * d.r, t.g * d.g, t.b * d.b, t.a * d.a};
     }},
    {"Modulate2X",
     [](IDirect3DDevice9* d, IDirect3DTexture9* t) {
         d->SetTexture(0, t);
         Color(d, 0, D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE);
         Alpha(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
     },
     [](Rgba t, Rgba d, Rgba) {
         return Rgba{Sat(2 * t.r * d.r), Sat(2 * t.g * d.g), Sat(2 * t.b * d.b), t.a};
     }},
    {"SelectTextureFactor",
     [](IDirect3DDevice9* d, IDirect3DTexture9* t) {
         d->SetTexture(0, t);
         Color(d, 0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT);
         Alpha(d, 0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT);
     },
     [](Rgba, Rgba, Rgba f) { return f; }},
    {"ComplementOfTexture",
     [](IDirect3DDevice9* d, IDirect3DTexture9* t) {
         d->SetTexture(0, t);
         Color(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_CURRENT);
         Alpha(d, 0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT);
     },
     [](Rgba t, Rgba d, Rgba) {
         return Rgba{1 - t.r, 1 - t.g, 1 - t.b, d.a};
     }},
    {"MultiplyAddOnSecondStage",
     [](IDirect3DDevice9* d, IDirect3DTexture9* t) {
         Color(d, 0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT);
         Alpha(d, 0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT);
         d->SetTexture(1, t);
         Color(d, 1, D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_TFACTOR);
         d->SetTextureStageState(1, D3DTSS_COLORARG0, D3DTA_CURRENT);
         Alpha(d, 1, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT);
     },
     [](Rgba t, Rgba d, Rgba f) {
         return Rgba{Sat(d.r + t.r * f.r), Sat(d.g + t.g * f.g), Sat(d.b + t.b * f.b), d.a};
     }},
    {"LerpWithTemporaryRegister",
     [](IDirect3DDevice9* d, IDirect3DTexture9* t) {
         d->SetTexture(0, t);
         Color(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT);
         Alpha(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT);
         d->SetTextureStageState(0, D3DTSS_RESULTARG, D3DTA_TEMP);
         Color(d, 1, D3DTOP_LERP, D3DTA_DIFFUSE, D3DTA_TEMP | D3DTA_COMPLEMENT);
         d->SetTextureStageState(1, D3DTSS_COLORARG0, D3DTA_TFACTOR);
         Alpha(d, 1, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT);
     },
     [](Rgba t, Rgba d, Rgba f) {
         return Rgba{f.r * d.r + (1 - f.r) * (1 - t.r), f.g * d.g + (1 - f.g) * (1 - t.g),
                     f.b * d.b + (1 - f.b) * (1 - t.b), d.a};
     }},
    {"BlendFactorAlpha",
     [](IDirect3DDevice9* d, IDirect3DTexture9* t) {
         d->SetTexture(0, t);
         Color(d, 0, D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_DIFFUSE);
         Alpha(d, 0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
     },
     [](Rgba t, Rgba d, Rgba f) {
         return Rgba{t.r * f.a + d.r * (1 - f.a), t.g * f.a + d.g * (1 - f.a), t.b * f.a + d.b * (1 - f.a), t.a * d.a};
     }},
    {"DisabledFirstStageGivesDiffuse",
     [](IDirect3DDevice9* d, IDirect3DTexture9* t) {
         d->SetTexture(0, t);
         Color(d, 0, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
         Alpha(d, 0, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
     },
     [](Rgba, Rgba d, Rgba) { return d; }},
    {"MissingTextureReadsWhite",
     [](IDirect3DDevice9* d, IDirect3DTexture9*) {
         d->SetTexture(0, nullptr);
         Color(d, 0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
         Alpha(d, 0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
     },
     [](Rgba, Rgba d, Rgba) { return d; }},
    {"RiderChainThroughTemporaryRegister",
     // suit texture into temp; decal blend by texture factor; shadow complement; times diffuse into current
     [](IDirect3DDevice9* d, IDirect3DTexture9* t) {
         d->SetTexture(0, t);
         Color(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT);
         d->SetTextureStageState(0, D3DTSS_RESULTARG, D3DTA_TEMP);
         Alpha(d, 0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT);
         Color(d, 1, D3DTOP_MODULATE, D3DTA_TEMP, D3DTA_TFACTOR);
         d->SetTextureStageState(1, D3DTSS_RESULTARG, D3DTA_TEMP);
         Alpha(d, 1, D3DTOP_DISABLE, D3DTA_CURRENT, D3DTA_CURRENT);
         Color(d, 2, D3DTOP_MODULATE, D3DTA_TEMP, D3DTA_DIFFUSE);
         d->SetTextureStageState(2, D3DTSS_RESULTARG, D3DTA_CURRENT);
         Alpha(d, 2, D3DTOP_DISABLE, D3DTA_CURRENT, D3DTA_CURRENT);
     },
     [](Rgba t, Rgba d, Rgba f) {
         return Rgba{t.r * f.r * d.r, t.g * f.g * d.g, t.b * f.b * d.b, d.a};
     }},
};

class TextureStageTest : public ::testing::TestWithParam<StageCase>
{};

TEST_P(TextureStageTest, StageArithmetic)
{
    const StageCase& c = GetParam();
    testdevice::Device device;
    if (!device.OpenHeadless(16, 16, false))
        SKIP_OR_FAIL_IN_CI() << device.error();
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
    D3DLOCKED_RECT locked;
    ASSERT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, 0));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            reinterpret_cast<DWORD*>((uint8_t*)locked.pBits + y * locked.Pitch)[x] = kTexture;
    texture->UnlockRect(0);

    // Draw into an A8R8G8B8 target so the alpha result can be read too.
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                            nullptr));
    IDirect3DSurface9* surface = nullptr;
    target->GetSurfaceLevel(0, &surface);
    device->SetRenderTarget(0, surface);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, kFactor);
    c.setup(device.get(), texture);
    ScreenVertex v[4] = {{0, 0, 0, 1, kDiffuse, 0, 0},
                         {16, 0, 0, 1, kDiffuse, 1, 0},
                         {0, 16, 0, 1, kDiffuse, 0, 1},
                         {16, 16, 0, 1, kDiffuse, 1, 1}};
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    ASSERT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ScreenVertex)));

    std::vector<uint8_t> pixels;
    UINT w = 0, h = 0;
    ASSERT_TRUE(D3DReadSurfacePixels(surface, pixels, w, h));
    Rgba got = FromArgb(golden::PixelAt(pixels, (int)w, 8, 8));
    Rgba want = c.expect(FromArgb(kTexture), FromArgb(kDiffuse), FromArgb(kFactor));
    const float tol = 2.5f / 255.0f;
    EXPECT_NEAR(want.r, got.r, tol) << "red";
    EXPECT_NEAR(want.g, got.g, tol) << "green";
    EXPECT_NEAR(want.b, got.b, tol) << "blue";
    EXPECT_NEAR(want.a, got.a, tol) << "alpha";
    surface->Release();
    target->Release();
    texture->Release();
}

INSTANTIATE_TEST_SUITE_P(Combinations, TextureStageTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<StageCase>& info) { return std::string(info.param.name); });

}   // namespace
