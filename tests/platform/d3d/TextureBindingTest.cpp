// Textures made or freed between draws must not disturb what the stages
// sample: GL binds on the active unit and reuses the names of deleted
// textures, both of which the device has to keep out of its stage record.
#include <gtest/gtest.h>

#include "tests/support/GoldenImage.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"

namespace
{

struct QuadVertex
{
    float x, y, z, rhw;
    DWORD color;
    float u, v;
};

IDirect3DTexture9* SolidTexture(IDirect3DDevice9* device, DWORD argb)
{
    IDirect3DTexture9* texture = nullptr;
    if (device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr) != D3D_OK)
        return nullptr;
    D3DLOCKED_RECT locked;
    texture->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            reinterpret_cast<DWORD*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch)[x] = argb;
    texture->UnlockRect(0);
    return texture;
}

// Draws a full-target quad whose colour is stage 1's texture and returns the
// colour at the centre.
DWORD DrawStageOne(testdevice::Device& device)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    QuadVertex v[4] = {{0, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                       {16, 0, 0, 1, 0xFFFFFFFF, 1, 0},
                       {0, 16, 0, 1, 0xFFFFFFFF, 0, 1},
                       {16, 16, 0, 1, 0xFFFFFFFF, 1, 1}};
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(QuadVertex));
    IDirect3DSurface9* back = nullptr;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    std::vector<uint8_t> pixels;
    UINT w = 0, h = 0;
    D3DReadSurfacePixels(back, pixels, w, h);
    back->Release();
    return golden::PixelAt(pixels, static_cast<int>(w), 8, 8) & 0x00FFFFFF;
}

TEST(TextureBinding, NewAndReplacedTexturesLeaveTheStagesAlone)
{
    testdevice::Device device;
    if (!device.OpenHeadless(16, 16, false))
        SKIP_OR_FAIL_IN_CI() << device.error();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);

    IDirect3DTexture9* red = SolidTexture(device.get(), 0xFFFF0000);
    ASSERT_NE(red, nullptr);
    device->SetTexture(1, red);
    EXPECT_EQ(0xFF0000u, DrawStageOne(device));

    // A texture made after a draw does not take stage 1's place.
    IDirect3DTexture9* green = SolidTexture(device.get(), 0xFF00FF00);
    ASSERT_NE(green, nullptr);
    EXPECT_EQ(0xFF0000u, DrawStageOne(device));

    // A freed texture's name comes back for the next one; setting that one on
    // the stage must really bind it.
    device->SetTexture(1, green);
    EXPECT_EQ(0x00FF00u, DrawStageOne(device));
    device->SetTexture(1, nullptr);
    green->Release();
    IDirect3DTexture9* blue = SolidTexture(device.get(), 0xFF0000FF);
    ASSERT_NE(blue, nullptr);
    device->SetTexture(1, blue);
    EXPECT_EQ(0x0000FFu, DrawStageOne(device));

    device->SetTexture(1, nullptr);
    blue->Release();
    red->Release();
}

}   // namespace
