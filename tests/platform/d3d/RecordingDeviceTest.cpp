// The recording backend: the exact calls routines make, device loss and
// reset, the adapter description, and the argument checks every backend shares.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/d3d/D3D9.h"
#include "tests/support/TestDevice.h"
#include "tools/ImageWriter.h"

namespace
{

class RecordingDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        D3DSelectBackend(D3DBackendKind::Recording);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(nullptr, d3d);
        pp = testdevice::WindowedParameters(800, 600);
        pp.BackBufferCount = 2;
        pp.SwapEffect = D3DSWAPEFFECT_FLIP;
        ASSERT_EQ(D3D_OK,
                  d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device));
        D3DClearRecordedCalls();
    }
    void TearDown() override
    {
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
        D3DClearOverrides();
        D3DSelectBackend(D3DBackendKind::OpenGL);
    }

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS pp;
};

TEST_F(RecordingDeviceTest, MeshSubsetDrawsEachRunOfItsFaces)
{
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3D_OK,
              D3DXCreateMeshFVF(4, 6, D3DXMESH_SYSTEMMEM, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, device, &mesh));
    DWORD* attributes = nullptr;
    ASSERT_EQ(D3D_OK, mesh->LockAttributeBuffer(0, &attributes));
    const DWORD ids[4] = {0, 1, 1, 0};
    std::memcpy(attributes, ids, sizeof ids);
    mesh->UnlockAttributeBuffer();
    D3DClearRecordedCalls();
    ASSERT_EQ(D3D_OK, mesh->DrawSubset(1));
    const std::vector<std::string>& calls = D3DRecordedCalls();
    ASSERT_EQ(4u, calls.size());
    EXPECT_EQ("SetFVF(0x112)", calls[0]);
    EXPECT_EQ(0u, calls[1].find("SetStreamSource(0, vb"));
    EXPECT_NE(std::string::npos, calls[1].find(", 0, 32)"));
    EXPECT_EQ(0u, calls[2].find("SetIndices(ib"));
    EXPECT_EQ("DrawIndexedPrimitive(TRIANGLELIST, 0, 0, 6, 3, 2)", calls[3]);

    D3DClearRecordedCalls();
    mesh->DrawSubset(0);
    EXPECT_EQ("DrawIndexedPrimitive(TRIANGLELIST, 0, 0, 6, 0, 1)", D3DRecordedCalls()[3]);
    EXPECT_EQ("DrawIndexedPrimitive(TRIANGLELIST, 0, 0, 6, 9, 1)", D3DRecordedCalls()[4]);
    EXPECT_EQ(4u, mesh->GetNumFaces());
    EXPECT_EQ(6u, mesh->GetNumVertices());
    mesh->Release();
}

TEST_F(RecordingDeviceTest, MeshBuffersReadBackWhatWasWritten)
{
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3D_OK, D3DXCreateMeshFVF(1, 3, D3DXMESH_MANAGED, D3DFVF_XYZ, device, &mesh));
    float* v = nullptr;
    ASSERT_EQ(D3D_OK, mesh->LockVertexBuffer(D3DLOCK_DISCARD, (void**)&v));
    for (int i = 0; i < 9; ++i)
        v[i] = (float)i;
    mesh->UnlockVertexBuffer();
    WORD* idx = nullptr;
    ASSERT_EQ(D3D_OK, mesh->LockIndexBuffer(0, (void**)&idx));
    idx[0] = 2, idx[1] = 1, idx[2] = 0;
    mesh->UnlockIndexBuffer();
    ASSERT_EQ(D3D_OK, mesh->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE | D3DXMESHOPT_IGNOREVERTS, nullptr, nullptr,
                                            nullptr, nullptr));
    ASSERT_EQ(D3D_OK, mesh->LockVertexBuffer(D3DLOCK_READONLY, (void**)&v));
    EXPECT_EQ(8.0f, v[8]);
    mesh->UnlockVertexBuffer();
    ASSERT_EQ(D3D_OK, mesh->LockIndexBuffer(D3DLOCK_READONLY, (void**)&idx));
    EXPECT_EQ(2, idx[0]);
    mesh->UnlockIndexBuffer();
    mesh->Release();
}

TEST_F(RecordingDeviceTest, SixteenBitMeshRefusesTooManyVertices)
{
    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(D3DERR_INVALIDCALL, D3DXCreateMeshFVF(10, 70000, D3DXMESH_MANAGED, D3DFVF_XYZ, device, &mesh));
    EXPECT_EQ(nullptr, mesh);
    ASSERT_EQ(D3D_OK, D3DXCreateMeshFVF(10, 70000, D3DXMESH_MANAGED | D3DXMESH_32BIT, D3DFVF_XYZ, device, &mesh));
    mesh->Release();
}

// ---------------------------------------------------------------------------
TEST_F(RecordingDeviceTest, LostDeviceResetsOnlyOnceDefaultPoolIsReleased)
{
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target,
                                            nullptr));
    IDirect3DTexture9* managed = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed, nullptr));
    EXPECT_EQ(D3D_OK, device->Present(nullptr, nullptr, nullptr, nullptr));

    D3DSimulateDeviceLost(device);
    EXPECT_EQ(D3DERR_DEVICELOST, device->Present(nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(D3DERR_DEVICELOST, device->TestCooperativeLevel());
    EXPECT_EQ(D3DERR_DEVICELOST, device->Reset(&pp));

    D3DSimulateDeviceResettable(device);
    EXPECT_EQ(D3DERR_DEVICENOTRESET, device->TestCooperativeLevel());
    EXPECT_EQ(D3DERR_INVALIDCALL, device->Reset(&pp));   // a default-pool texture is still alive
    target->Release();
    EXPECT_EQ(D3D_OK, device->Reset(&pp));   // managed textures may stay
    EXPECT_EQ(D3D_OK, device->TestCooperativeLevel());
    EXPECT_EQ(D3D_OK, device->Present(nullptr, nullptr, nullptr, nullptr));
    managed->Release();
}

TEST_F(RecordingDeviceTest, FailedResetReportsItsCode)
{
    D3DSimulateDeviceLost(device);
    D3DSimulateDeviceResettable(device);
    D3DSimulateResetResult(device, D3DERR_DRIVERINTERNALERROR);
    EXPECT_EQ(D3DERR_DRIVERINTERNALERROR, device->Reset(&pp));
    EXPECT_EQ(D3DERR_DEVICENOTRESET, device->TestCooperativeLevel());
}

TEST_F(RecordingDeviceTest, ResetPutsStatesBackToTheirDefaults)
{
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    D3DSimulateDeviceLost(device);
    D3DSimulateDeviceResettable(device);
    ASSERT_EQ(D3D_OK, device->Reset(&pp));
    DWORD cull = 0;
    device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ((DWORD)D3DCULL_CCW, cull);
}

// ---------------------------------------------------------------------------
TEST_F(RecordingDeviceTest, DrawsAreCheckedAgainstTheirBuffers)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateVertexBuffer(20 * 4, D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_TEX1, D3DPOOL_MANAGED,
                                                 &vb, nullptr));
    EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2));   // no stream
    device->SetStreamSource(0, vb, 0, 20);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    EXPECT_EQ(D3D_OK, device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2));
    EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 2));   // one vertex past the end
    EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2));    // needs 6 vertices

    void* data = nullptr;
    EXPECT_EQ(D3DERR_INVALIDCALL, vb->Lock(60, 40, &data, 0));
    EXPECT_EQ(D3DERR_INVALIDCALL, vb->Unlock());
    ASSERT_EQ(D3D_OK, vb->Lock(60, 0, &data, 0));   // size 0: to the end
    vb->Unlock();
    device->SetStreamSource(0, nullptr, 0, 0);
    vb->Release();

    IDirect3DIndexBuffer9* ib = nullptr;
    EXPECT_EQ(D3DERR_INVALIDCALL, device->CreateIndexBuffer(12, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &ib, nullptr));
    ASSERT_EQ(D3D_OK, device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr));
    ASSERT_EQ(D3D_OK, device->CreateVertexBuffer(20 * 4, 0, 0, D3DPOOL_MANAGED, &vb, nullptr));
    device->SetStreamSource(0, vb, 0, 20);
    device->SetIndices(ib);
    EXPECT_EQ(D3D_OK, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2));
    EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 1, 2));
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    vb->Release();
    ib->Release();
}

TEST_F(RecordingDeviceTest, ScissorRectangleIsRecordedAndKept)
{
    const RECT r = {3, 5, 40, 30};
    ASSERT_EQ(D3D_OK, device->SetScissorRect(&r));
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    const std::vector<std::string>& calls = D3DRecordedCalls();
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ("SetScissorRect(3, 5, 40, 30)", calls[0]);
    EXPECT_EQ("SetRenderState(SCISSORTESTENABLE, 1)", calls[1]);
    RECT now = {};
    ASSERT_EQ(D3D_OK, device->GetScissorRect(&now));
    EXPECT_EQ(40, now.right);
    EXPECT_EQ(30, now.bottom);
    EXPECT_EQ(D3DERR_INVALIDCALL, device->SetScissorRect(nullptr));
}

TEST_F(RecordingDeviceTest, ClearingDepthNeedsADepthSurface)
{
    EXPECT_EQ(D3D_OK, device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0));
    device->SetDepthStencilSurface(nullptr);
    EXPECT_EQ(D3DERR_INVALIDCALL, device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0));
    EXPECT_EQ(D3D_OK, device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0));
}

struct PitchCase
{
    const char* name;
    D3DFORMAT format;
    UINT width;
    INT pitch;
    size_t rectOffset;   // offset of the rectangle (4, 4)-(8, 8)
};

class PitchTest : public RecordingDeviceTest, public ::testing::WithParamInterface<PitchCase>
{};

TEST_P(PitchTest, LockedRowsFollowTheFormat)
{
    const PitchCase& c = GetParam();
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateTexture(c.width, 8, 1, 0, c.format, D3DPOOL_MANAGED, &texture, nullptr));
    D3DLOCKED_RECT whole, part;
    ASSERT_EQ(D3D_OK, texture->LockRect(0, &whole, nullptr, 0));
    EXPECT_EQ(c.pitch, whole.Pitch);
    texture->UnlockRect(0);
    RECT rect = {4, 4, 8, 8};
    ASSERT_EQ(D3D_OK, texture->LockRect(0, &part, &rect, 0));
    EXPECT_EQ(c.rectOffset, (size_t)((uint8_t*)part.pBits - (uint8_t*)whole.pBits));
    texture->UnlockRect(0);
    RECT outside = {4, 4, (LONG)c.width + 1, 8};
    EXPECT_EQ(D3DERR_INVALIDCALL, texture->LockRect(0, &part, &outside, 0));
    EXPECT_EQ(D3DERR_INVALIDCALL, texture->UnlockRect(0));
    texture->Release();
}

INSTANTIATE_TEST_SUITE_P(Formats, PitchTest,
                         ::testing::Values(PitchCase{"A8R8G8B8", D3DFMT_A8R8G8B8, 12, 48, 4 * 48 + 16},
                                           PitchCase{"R5G6B5", D3DFMT_R5G6B5, 12, 24, 4 * 24 + 8},
                                           PitchCase{"DXT1", D3DFMT_DXT1, 12, 24, 1 * 24 + 8},
                                           PitchCase{"DXT5", D3DFMT_DXT5, 12, 48, 1 * 48 + 16}),
                         [](const ::testing::TestParamInfo<PitchCase>& i) { return std::string(i.param.name); });

// ---------------------------------------------------------------------------
struct FvfCase
{
    DWORD fvf;
    UINT size;
};

class FvfSizeTest : public ::testing::TestWithParam<FvfCase>
{};

TEST_P(FvfSizeTest, VertexSize)
{
    EXPECT_EQ(GetParam().size, D3DXGetFVFVertexSize(GetParam().fvf));
}

INSTANTIATE_TEST_SUITE_P(GameFormats, FvfSizeTest,
                         ::testing::Values(FvfCase{0x012, 24}, FvfCase{0x102, 20}, FvfCase{0x112, 32},
                                           FvfCase{0x142, 24}, FvfCase{0x144, 28}, FvfCase{0x152, 36},
                                           FvfCase{0x1C2, 28}, FvfCase{0x252, 44}, FvfCase{0x140312, 56},
                                           FvfCase{0x140342, 48}),
                         [](const ::testing::TestParamInfo<FvfCase>& i) {
                             char name[32];
                             std::snprintf(name, sizeof(name), "Fvf0x%lX", (unsigned long)i.param.fvf);
                             return std::string(name);
                         });

// ---------------------------------------------------------------------------
TEST_F(RecordingDeviceTest, ModesComeSmallestFirstUpToTheDesktop)
{
    UINT n = d3d->GetAdapterModeCount(0, D3DFMT_X8R8G8B8);
    ASSERT_GE(n, 3u);
    D3DDISPLAYMODE desktop, previous = {}, mode;
    d3d->GetAdapterDisplayMode(0, &desktop);
    for (UINT i = 0; i < n; ++i)
    {
        ASSERT_EQ(D3D_OK, d3d->EnumAdapterModes(0, D3DFMT_X8R8G8B8, i, &mode));
        EXPECT_LE(mode.Width, desktop.Width);
        EXPECT_LE(mode.Height, desktop.Height);
        EXPECT_TRUE(mode.Width > previous.Width || (mode.Width == previous.Width && mode.Height > previous.Height))
            << "mode " << i << " " << mode.Width << "x" << mode.Height;
        previous = mode;
    }
    EXPECT_EQ(desktop.Width, previous.Width);
    EXPECT_EQ(desktop.Height, previous.Height);
    EXPECT_EQ(D3DERR_INVALIDCALL, d3d->EnumAdapterModes(0, D3DFMT_X8R8G8B8, n, &mode));
    EXPECT_EQ(0u, d3d->GetAdapterModeCount(0, D3DFMT_R8G8B8));
}

TEST_F(RecordingDeviceTest, ImposedModesAndDesktopAreReportedAsGiven)
{
    D3DOverrideAdapterModes(
        {{1024, 768, 60, D3DFMT_X8R8G8B8}, {1024, 768, 70, D3DFMT_X8R8G8B8}, {1024, 768, 75, D3DFMT_X8R8G8B8}});
    D3DOverrideDesktopMode({1280, 1024, 60, D3DFMT_X8R8G8B8});
    ASSERT_EQ(3u, d3d->GetAdapterModeCount(0, D3DFMT_X8R8G8B8));
    D3DDISPLAYMODE mode;
    d3d->EnumAdapterModes(0, D3DFMT_X8R8G8B8, 1, &mode);
    EXPECT_EQ(70u, mode.RefreshRate);
    d3d->GetAdapterDisplayMode(0, &mode);
    EXPECT_EQ(1280u, mode.Width);
}

TEST_F(RecordingDeviceTest, BackBufferFormatsAndDepthFormats)
{
    EXPECT_EQ(D3D_OK, d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE));
    EXPECT_EQ(D3D_OK, d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, FALSE));
    EXPECT_NE(D3D_OK, d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R8G8B8, D3DFMT_R8G8B8, TRUE));
    EXPECT_EQ(D3D_OK, d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_D24S8));
    EXPECT_NE(D3D_OK, d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_D24X4S4));
}

TEST_F(RecordingDeviceTest, ShaderVersionsCanBeLowered)
{
    D3DCAPS9 caps;
    ASSERT_EQ(D3D_OK, d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps));
    EXPECT_EQ(D3DVS_VERSION(2, 0), caps.VertexShaderVersion);
    EXPECT_EQ(D3DPS_VERSION(2, 0), caps.PixelShaderVersion);
    D3DOverrideShaderVersions(D3DVS_VERSION(1, 1), D3DPS_VERSION(1, 4));
    ASSERT_EQ(D3D_OK, device->GetDeviceCaps(&caps));
    EXPECT_EQ(D3DVS_VERSION(1, 1), caps.VertexShaderVersion);
    EXPECT_EQ(D3DPS_VERSION(1, 4), caps.PixelShaderVersion);
}

TEST_F(RecordingDeviceTest, CreateDeviceFailureCanBeImposedPerBehaviour)
{
    D3DOverrideCreateDeviceResult(D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DERR_NOTAVAILABLE);
    IDirect3DDevice9* other = nullptr;
    EXPECT_EQ(D3DERR_NOTAVAILABLE,
              d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE,
                                &pp, &other));
    EXPECT_EQ(D3D_OK, d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr,
                                        D3DCREATE_MIXED_VERTEXPROCESSING | D3DCREATE_PUREDEVICE, &pp, &other));
    other->Release();
    EXPECT_STREQ("D3DERR_NOTAVAILABLE", DXGetErrorString9A(D3DERR_NOTAVAILABLE));
}

// A picture file asked for as DXT1 with a mip chain keeps its 32-bit pixels
// (no visible difference) and gets the chain made from its single level.
TEST_F(RecordingDeviceTest, PictureAskedForAsDxt1GetsAFullChain)
{
    std::vector<uint8_t> pixels(8 * 4 * 4);
    for (int i = 0; i < 32; ++i)
    {
        pixels[i * 4 + 0] = 0x10, pixels[i * 4 + 1] = 0x80, pixels[i * 4 + 2] = 0xF0, pixels[i * 4 + 3] = 0xFF;
    }
    std::vector<uint8_t> bmp = WriteBmp24(8, 4, pixels.data());
    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info;
    ASSERT_EQ(D3D_OK, D3DXCreateTextureFromFileInMemoryEx(device, bmp.data(), (UINT)bmp.size(), D3DX_DEFAULT,
                                                          D3DX_DEFAULT, 0, 0, D3DFMT_DXT1, D3DPOOL_MANAGED,
                                                          D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &texture));
    EXPECT_EQ(D3DXIFF_BMP, info.ImageFileFormat);
    EXPECT_EQ(1u, info.MipLevels);
    ASSERT_EQ(4u, texture->GetLevelCount());   // 8x4, 4x2, 2x1, 1x1
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(3, &desc);
    EXPECT_EQ(1u, desc.Width);
    EXPECT_NE(D3DFMT_DXT1, desc.Format);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(D3D_OK, texture->LockRect(3, &locked, nullptr, D3DLOCK_READONLY));
    const uint8_t* p = static_cast<const uint8_t*>(locked.pBits);
    EXPECT_EQ(0x10, p[0]);
    EXPECT_EQ(0x80, p[1]);
    EXPECT_EQ(0xF0, p[2]);
    texture->UnlockRect(3);
    texture->Release();
}

TEST_F(RecordingDeviceTest, UndecodableTextureFilesFailCleanly)
{
    const uint8_t garbage[] = {'D', 'D', 'S', ' ', 124, 0, 0, 0, 1, 2, 3};
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3DXERR_INVALIDDATA,
              D3DXCreateTextureFromFileInMemoryEx(device, garbage, sizeof garbage, D3DX_DEFAULT, D3DX_DEFAULT, 0, 0,
                                                  D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                                  nullptr, nullptr, &texture));
    EXPECT_EQ(nullptr, texture);
    EXPECT_NE(D3D_OK, D3DXCreateTextureFromFileExA(device, "/nonexistent/file.bmp", D3DX_DEFAULT, D3DX_DEFAULT, 0, 0,
                                                   D3DFMT_DXT1, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                                   nullptr, &texture));
    IDirect3DCubeTexture9* cube = nullptr;
    EXPECT_NE(D3D_OK, D3DXCreateCubeTextureFromFileInMemoryEx(device, garbage, sizeof garbage, D3DX_DEFAULT, 0, 0,
                                                              D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                              D3DX_DEFAULT, 0, nullptr, nullptr, &cube));
    EXPECT_EQ(nullptr, cube);
}

}   // namespace
