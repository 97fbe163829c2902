// Drawing with transformed geometry on the OpenGL backend: winding and
// culling, lighting, generated texture coordinates, alpha test, render
// targets with StretchRect, the world-space clip plane, DXT and cube textures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "platform/math/D3DXMath.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"
#include "tools/ImageWriter.h"

namespace
{

struct ColorVertex
{
    float x, y, z;
    DWORD color;
};
const DWORD kColorFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;

struct ScreenVertex
{
    float x, y, z, rhw;
    DWORD color;
    float u, v;
};
const DWORD kScreenFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

const DWORD kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00;

class DrawTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!device.OpenHeadless(64, 64))
            SKIP_OR_FAIL_IN_CI() << device.error();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        // World x and y from -1 to 1 fill the screen, looking along +z.
        D3DXMATRIX identity, ortho;
        D3DXMatrixIdentity(&identity);
        D3DXMatrixOrthoLH(&ortho, 2.0f, 2.0f, 0.0f, 10.0f);
        device->SetTransform(D3DTS_WORLD, &identity);
        device->SetTransform(D3DTS_VIEW, &identity);
        device->SetTransform(D3DTS_PROJECTION, &ortho);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    }

    uint32_t Pixel(int x, int y)
    {
        std::vector<uint8_t> pixels = device.ReadRenderTarget();
        return golden::PixelAt(pixels, 64, x, y) & 0xFFFFFF;
    }

    void DrawColorQuad(float x1, float y1, float x2, float y2, float z, DWORD color)
    {
        ColorVertex v[4] = {{x1, y2, z, color}, {x2, y2, z, color}, {x1, y1, z, color}, {x2, y1, z, color}};
        device->SetFVF(kColorFVF);
        ASSERT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ColorVertex)));
    }

    IDirect3DTexture9* MakeTexture(UINT w, UINT h, const std::vector<DWORD>& texels, DWORD usage = 0,
                                   D3DPOOL pool = D3DPOOL_MANAGED)
    {
        IDirect3DTexture9* t = nullptr;
        EXPECT_EQ(D3D_OK, device->CreateTexture(w, h, 1, usage, D3DFMT_A8R8G8B8, pool, &t, nullptr));
        D3DLOCKED_RECT locked;
        EXPECT_EQ(D3D_OK, t->LockRect(0, &locked, nullptr, 0));
        for (UINT y = 0; y < h; ++y)
            std::memcpy((uint8_t*)locked.pBits + y * locked.Pitch, &texels[y * w], w * 4);
        t->UnlockRect(0);
        return t;
    }

    // Samples `texture` point by point over the whole 64 x 64 screen.
    void DrawTextureOverScreen(IDirect3DBaseTexture9* texture)
    {
        device->SetTexture(0, texture);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
        ScreenVertex screen[4] = {{0, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                                  {64, 0, 0, 1, 0xFFFFFFFF, 1, 0},
                                  {0, 64, 0, 1, 0xFFFFFFFF, 0, 1},
                                  {64, 64, 0, 1, 0xFFFFFFFF, 1, 1}};
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetFVF(kScreenFVF);
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, screen, sizeof(ScreenVertex));
    }

    testdevice::Device device;
};

// ---------------------------------------------------------------------------
struct CullCase
{
    const char* name;
    DWORD cull;
    bool clockwiseDrawn, counterClockwiseDrawn;
};

class CullTest : public DrawTest, public ::testing::WithParamInterface<CullCase>
{};

TEST_P(CullTest, CullModeNamesTheWindingOnScreen)
{
    device->SetRenderState(D3DRS_CULLMODE, GetParam().cull);
    device->SetFVF(kColorFVF);
    // Left: clockwise as seen on screen (top-left, top-right, bottom).
    ColorVertex cw[3] = {{-0.9f, 0.9f, 1, kRed}, {-0.1f, 0.9f, 1, kRed}, {-0.5f, 0.1f, 1, kRed}};
    // Right: the same shape counter-clockwise.
    ColorVertex ccw[3] = {{0.1f, 0.9f, 1, kGreen}, {0.5f, 0.1f, 1, kGreen}, {0.9f, 0.9f, 1, kGreen}};
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, cw, sizeof(ColorVertex));
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, ccw, sizeof(ColorVertex));
    EXPECT_EQ(GetParam().clockwiseDrawn ? 0xFF0000u : 0u, Pixel(16, 8));
    EXPECT_EQ(GetParam().counterClockwiseDrawn ? 0x00FF00u : 0u, Pixel(48, 8));
}

INSTANTIATE_TEST_SUITE_P(Modes, CullTest,
                         ::testing::Values(CullCase{"None", D3DCULL_NONE, true, true},
                                           CullCase{"Clockwise", D3DCULL_CW, false, true},
                                           CullCase{"CounterClockwise", D3DCULL_CCW, true, false}),
                         [](const ::testing::TestParamInfo<CullCase>& i) { return std::string(i.param.name); });

// ---------------------------------------------------------------------------
// A lit, textured cube drawn through a mesh, with the game's clockwise culling.
TEST_F(DrawTest, LitTexturedMeshMatchesGolden)
{
    struct MeshVertex
    {
        float x, y, z, nx, ny, nz, u, v;
    };
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3D_OK, D3DXCreateMeshFVF(12, 24, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1,
                                        device.get(), &mesh));
    MeshVertex* v = nullptr;
    WORD* idx = nullptr;
    ASSERT_EQ(D3D_OK, mesh->LockVertexBuffer(0, (void**)&v));
    ASSERT_EQ(D3D_OK, mesh->LockIndexBuffer(0, (void**)&idx));
    const D3DXVECTOR3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int f = 0; f < 6; ++f)
    {
        D3DXVECTOR3 n = normals[f];
        D3DXVECTOR3 u = std::fabs(n.y) > 0.5f ? D3DXVECTOR3(1, 0, 0) : D3DXVECTOR3(0, 1, 0);
        D3DXVECTOR3 w;
        D3DXVec3Cross(&w, &u, &n);   // u x w = -n: counter-clockwise seen from outside
        const float su[4] = {-1, 1, 1, -1}, sw[4] = {-1, -1, 1, 1};
        for (int k = 0; k < 4; ++k)
        {
            D3DXVECTOR3 p = n + u * su[k] + w * sw[k];
            v[f * 4 + k] = {p.x, p.y, p.z, n.x, n.y, n.z, (su[k] + 1) * 0.5f, (sw[k] + 1) * 0.5f};
        }
        const WORD order[6] = {0, 1, 2, 0, 2, 3};
        for (int k = 0; k < 6; ++k)
            idx[f * 6 + k] = (WORD)(f * 4 + order[k]);
    }
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();

    std::vector<DWORD> checker(8 * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            checker[y * 8 + x] = ((x + y) & 1) ? 0xFFFFFFFF : 0xFF4080C0;
    IDirect3DTexture9* texture = MakeTexture(8, 8, checker);

    D3DXMATRIX world, rx, ry, view, proj;
    D3DXMatrixRotationY(&ry, 0.6f);
    D3DXMatrixRotationX(&rx, 0.5f);
    D3DXMatrixMultiply(&world, &ry, &rx);
    D3DXVECTOR3 eye(0, 0, -4.5f), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 4, 1.0f, 0.5f, 50.0f);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &proj);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF303030);
    device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    D3DMATERIAL9 material = {};
    material.Diffuse = {1, 1, 1, 1};
    material.Ambient = {1, 1, 1, 1};
    device->SetMaterial(&material);
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 0.9f, 0.8f, 1};
    light.Direction = {-0.5f, -1.0f, 0.7f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    ASSERT_EQ(D3D_OK, mesh->DrawSubset(0));

    std::vector<uint8_t> pixels = device.ReadRenderTarget();
    EXPECT_EQ(golden::Mismatch("device/lit_textured_cube", pixels, 64, 64), "");
    device->SetTexture(0, nullptr);
    texture->Release();
    mesh->Release();
}

// ---------------------------------------------------------------------------
// Camera-space positions through a texture transform reach the texel Direct3D
// picks, for the component counts and projections the game uses.
struct CoordCase
{
    const char* name;
    DWORD flags;
    float scale;      // u, v and the divisor all scaled by this
    int divisorRow;   // column of the matrix that holds the divisor (2 = z, 3 = w), -1 none
};

class TexCoordTest : public DrawTest, public ::testing::WithParamInterface<CoordCase>
{};

TEST_P(TexCoordTest, CameraSpacePositionThroughTransform)
{
    const CoordCase& c = GetParam();
    IDirect3DTexture9* texture = MakeTexture(2, 2, {kRed, kGreen, kBlue, kYellow});
    // u = (x + 1) / 2, v = (1 - y) / 2, times `scale`, with the divisor = scale.
    D3DXMATRIX m;
    std::memset(&m, 0, sizeof m);
    m._11 = 0.5f * c.scale;
    m._22 = -0.5f * c.scale;
    m._41 = 0.5f * c.scale;
    m._42 = 0.5f * c.scale;
    if (c.divisorRow == 2)
        m._43 = c.scale;
    if (c.divisorRow == 3)
        m._44 = c.scale;
    if (c.divisorRow < 0)
        m._33 = 1, m._44 = 1;
    device->SetTransform(D3DTS_TEXTURE0, &m);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, c.flags);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    DrawColorQuad(-1, -1, 1, 1, 1, 0xFFFFFFFF);
    EXPECT_EQ(0xFF0000u, Pixel(8, 8));
    EXPECT_EQ(0x00FF00u, Pixel(56, 8));
    EXPECT_EQ(0x0000FFu, Pixel(8, 56));
    EXPECT_EQ(0xFFFF00u, Pixel(56, 56));
    device->SetTexture(0, nullptr);
    texture->Release();
}

INSTANTIATE_TEST_SUITE_P(Transforms, TexCoordTest,
                         ::testing::Values(CoordCase{"Count2", D3DTTFF_COUNT2, 1, -1},
                                           CoordCase{"Count3", D3DTTFF_COUNT3, 1, -1},
                                           CoordCase{"Count3Projected", D3DTTFF_COUNT3 | D3DTTFF_PROJECTED, 2, 2},
                                           CoordCase{"Count4Projected", D3DTTFF_COUNT4 | D3DTTFF_PROJECTED, 2, 3}),
                         [](const ::testing::TestParamInfo<CoordCase>& i) { return std::string(i.param.name); });

// ---------------------------------------------------------------------------
// The reflection vector, turned into world axes by the texture transform,
// picks the cube face a chrome surface shows.
TEST_F(DrawTest, ReflectionVectorLooksUpCubeFaceInWorldAxes)
{
    const DWORD faceColors[6] = {0xFFFF0000, 0xFF00FFFF, 0xFF00FF00, 0xFFFF00FF, 0xFF0000FF, 0xFFFFFF00};
    std::vector<uint8_t> faces[6];
    const uint8_t* facePtrs[6];
    for (int f = 0; f < 6; ++f)
    {
        faces[f].resize(4 * 4 * 4);
        for (int i = 0; i < 16; ++i)
            std::memcpy(&faces[f][i * 4], &faceColors[f], 4);
        facePtrs[f] = faces[f].data();
    }
    std::vector<uint8_t> dds = WriteDdsCube(4, facePtrs, PixelFormat::A8R8G8B8, false);
    IDirect3DCubeTexture9* cube = nullptr;
    ASSERT_EQ(D3D_OK, D3DXCreateCubeTextureFromFileInMemoryEx(device.get(), dds.data(), (UINT)dds.size(), D3DX_DEFAULT,
                                                              D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                              D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &cube));
    EXPECT_EQ(3u, cube->GetLevelCount());

    struct Case
    {
        float yaw;            // camera turned about y
        DWORD expectedFace;   // face seen straight ahead, reflected back
    } cases[] = {{0.0f, 5}, {D3DX_PI / 2, 1}};
    for (const Case& c : cases)
    {
        // The camera looks along its own +z; the quad faces it at distance 1.
        D3DXMATRIX camera, view, inverseView;
        D3DXMatrixRotationY(&camera, c.yaw);
        D3DXMatrixInverse(&view, nullptr, &camera);
        inverseView = camera;
        device->SetTransform(D3DTS_VIEW, &view);
        device->SetTransform(D3DTS_WORLD, &camera);
        device->SetTransform(D3DTS_TEXTURE0, &inverseView);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        struct NormalVertex
        {
            float x, y, z, nx, ny, nz;
        } v[4] = {{-1, -1, 1, 0, 0, -1}, {1, -1, 1, 0, 0, -1}, {-1, 1, 1, 0, 0, -1}, {1, 1, 1, 0, 0, -1}};
        device->SetTexture(0, cube);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
        device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        ASSERT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(NormalVertex)));
        EXPECT_EQ(faceColors[c.expectedFace] & 0xFFFFFF, Pixel(32, 32)) << "yaw " << c.yaw;
    }
    device->SetTexture(0, nullptr);
    cube->Release();
}

// ---------------------------------------------------------------------------
TEST_F(DrawTest, AlphaTestKeepsFragmentsPassingTheReference)
{
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    DrawColorQuad(-1, 0, -0.5f, 1, 1, 0x7FFF0000);   // alpha 127: rejected
    DrawColorQuad(-0.5f, 0, 0, 1, 1, 0x80FF0000);    // 128: kept
    DrawColorQuad(0, 0, 0.5f, 1, 1, 0xC0FF0000);     // 192: kept
    EXPECT_EQ(0u, Pixel(4, 8));
    EXPECT_EQ(0xFF0000u, Pixel(20, 8));
    EXPECT_EQ(0xFF0000u, Pixel(36, 8));
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_LESS);
    DrawColorQuad(-1, -1, -0.5f, 0, 1, 0x7F00FF00);
    DrawColorQuad(-0.5f, -1, 0, 0, 1, 0x8000FF00);
    EXPECT_EQ(0x00FF00u, Pixel(4, 40));
    EXPECT_EQ(0u, Pixel(20, 40));
}

// The scissor rectangle is in the target's texels from its top-left corner,
// as in Direct3D: draws and clears stay inside it while the test is on, and a
// new render target resets it to the whole target.
TEST_F(DrawTest, ScissorKeepsDrawsAndClearsInsideItsRectangleFromTheTop)
{
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    const RECT r = {8, 4, 24, 20};
    ASSERT_EQ(D3D_OK, device->SetScissorRect(&r));
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    DrawColorQuad(-1, -1, 1, 1, 1, kRed);
    EXPECT_EQ(0xFF0000u, Pixel(8, 4));
    EXPECT_EQ(0xFF0000u, Pixel(23, 19));
    EXPECT_EQ(0u, Pixel(7, 10));
    EXPECT_EQ(0u, Pixel(24, 10));
    EXPECT_EQ(0u, Pixel(10, 3));
    EXPECT_EQ(0u, Pixel(10, 20));
    EXPECT_EQ(0u, Pixel(10, 50));   // where a rectangle counted from the bottom would be

    device->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    EXPECT_EQ(0x00FF00u, Pixel(10, 10));
    EXPECT_EQ(0u, Pixel(30, 10));
    EXPECT_EQ(0u, Pixel(10, 50));

    device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
    DrawColorQuad(-1, -1, 1, 1, 1, kBlue);
    EXPECT_EQ(0x0000FFu, Pixel(30, 10));
    EXPECT_EQ(0x0000FFu, Pixel(10, 50));

    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateTexture(32, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                            nullptr));
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(D3D_OK, target->GetSurfaceLevel(0, &surface));
    ASSERT_EQ(D3D_OK, device->SetRenderTarget(0, surface));
    RECT now = {};
    ASSERT_EQ(D3D_OK, device->GetScissorRect(&now));
    EXPECT_EQ(0, now.left);
    EXPECT_EQ(0, now.top);
    EXPECT_EQ(32, now.right);
    EXPECT_EQ(16, now.bottom);
    const RECT inverted = {10, 0, 5, 4};
    EXPECT_EQ(D3DERR_INVALIDCALL, device->SetScissorRect(&inverted));
    surface->Release();
    target->Release();
}

// Every comparison against a reference of 128, each switched in on the same
// device between draws with nothing else changed: the function is part of
// the program drawn with, so a stale program would show here. Switching the
// test off keeps everything whatever the function.
TEST_F(DrawTest, AlphaTestEveryFunctionAgainstTheReference)
{
    struct Case
    {
        DWORD func;
        BOOL enabled;
        bool below, equal, above;   // alpha 127, 128, 129 kept
    } cases[] = {
        {D3DCMP_NEVER, TRUE, false, false, false},      {D3DCMP_LESS, TRUE, true, false, false},
        {D3DCMP_EQUAL, TRUE, false, true, false},       {D3DCMP_LESSEQUAL, TRUE, true, true, false},
        {D3DCMP_GREATER, TRUE, false, false, true},     {D3DCMP_NOTEQUAL, TRUE, true, false, true},
        {D3DCMP_GREATEREQUAL, TRUE, false, true, true}, {D3DCMP_ALWAYS, TRUE, true, true, true},
        {D3DCMP_NEVER, FALSE, true, true, true},
    };
    device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    for (const Case& c : cases)
    {
        device->SetRenderState(D3DRS_ALPHATESTENABLE, c.enabled);
        device->SetRenderState(D3DRS_ALPHAFUNC, c.func);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        DrawColorQuad(-1, -1, -0.5f, 1, 1, 0x7FFF0000);
        DrawColorQuad(-0.5f, -1, 0, 1, 1, 0x80FF0000);
        DrawColorQuad(0, -1, 0.5f, 1, 1, 0x81FF0000);
        EXPECT_EQ(c.below ? 0xFF0000u : 0u, Pixel(8, 32)) << "function " << c.func << " enabled " << c.enabled;
        EXPECT_EQ(c.equal ? 0xFF0000u : 0u, Pixel(24, 32)) << "function " << c.func << " enabled " << c.enabled;
        EXPECT_EQ(c.above ? 0xFF0000u : 0u, Pixel(40, 32)) << "function " << c.func << " enabled " << c.enabled;
    }
}

// ---------------------------------------------------------------------------
// Drawing into a texture, copying it with StretchRect and sampling the copy
// keeps the top-left corner at the top left all the way through.
TEST_F(DrawTest, RenderTargetCopyAndSampleKeepTheOrigin)
{
    IDirect3DTexture9* target = nullptr;
    IDirect3DTexture9* copy = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target,
                                            nullptr));
    ASSERT_EQ(D3D_OK, device->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &copy,
                                            nullptr));
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* targetSurface = nullptr;
    IDirect3DSurface9* copySurface = nullptr;
    device->GetRenderTarget(0, &back);
    target->GetSurfaceLevel(0, &targetSurface);
    copy->GetSurfaceLevel(0, &copySurface);

    ASSERT_EQ(D3D_OK, device->SetRenderTarget(0, targetSurface));
    D3DVIEWPORT9 vp;
    device->GetViewport(&vp);
    EXPECT_EQ(32u, vp.Width);   // a new target resets the viewport to its size
    device->SetDepthStencilSurface(nullptr);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    // World top-left quadrant, wound counter-clockwise so CW culling keeps it.
    ColorVertex quad[4] = {{-1, 0, 1, kRed}, {0, 0, 1, kRed}, {-1, 1, 1, kRed}, {0, 1, 1, kRed}};
    device->SetFVF(kColorFVF);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ColorVertex));
    std::vector<uint8_t> pixels;
    UINT w, h;
    ASSERT_TRUE(D3DReadSurfacePixels(targetSurface, pixels, w, h));
    EXPECT_EQ(0xFF0000u, golden::PixelAt(pixels, 32, 4, 4) & 0xFFFFFF);
    EXPECT_EQ(0x0000FFu, golden::PixelAt(pixels, 32, 28, 28) & 0xFFFFFF);

    ASSERT_EQ(D3D_OK, device->StretchRect(targetSurface, nullptr, copySurface, nullptr, D3DTEXF_LINEAR));

    device->SetRenderTarget(0, back);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    DrawTextureOverScreen(copy);
    EXPECT_EQ(0xFF0000u, Pixel(8, 8));
    EXPECT_EQ(0x0000FFu, Pixel(56, 8));
    EXPECT_EQ(0x0000FFu, Pixel(8, 56));
    device->SetTexture(0, nullptr);
    back->Release();
    targetSurface->Release();
    copySurface->Release();
    target->Release();
    copy->Release();
}

// A copy of the same size moves a rectangle texel for texel to where it is
// asked (the driver copies it without drawing); a scaled copy still filters.
TEST_F(DrawTest, SameSizeCopiesMoveTheirRectangleAndScaledCopiesStillWork)
{
    IDirect3DTexture9* textures[3] = {};
    const UINT sizes[3] = {32, 32, 64};
    IDirect3DSurface9* surfaces[3] = {};
    for (int i = 0; i < 3; ++i)
    {
        ASSERT_EQ(D3D_OK, device->CreateTexture(sizes[i], sizes[i], 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8,
                                                D3DPOOL_DEFAULT, &textures[i], nullptr));
        textures[i]->GetSurfaceLevel(0, &surfaces[i]);
    }
    IDirect3DSurface9* back = nullptr;
    device->GetRenderTarget(0, &back);
    device->SetDepthStencilSurface(nullptr);
    // Source: blue with a red top-left quadrant; the first copy starts green.
    device->SetRenderTarget(0, surfaces[1]);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    device->SetRenderTarget(0, surfaces[0]);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    ColorVertex quad[4] = {{-1, 0, 1, kRed}, {0, 0, 1, kRed}, {-1, 1, 1, kRed}, {0, 1, 1, kRed}};
    device->SetFVF(kColorFVF);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ColorVertex));
    device->SetRenderTarget(0, back);

    // The red quadrant and a blue column beside it, to the lower right.
    const RECT from = {0, 0, 24, 16}, to = {8, 16, 32, 32};
    ASSERT_EQ(D3D_OK, device->StretchRect(surfaces[0], &from, surfaces[1], &to, D3DTEXF_LINEAR));
    std::vector<uint8_t> pixels;
    UINT w, h;
    ASSERT_TRUE(D3DReadSurfacePixels(surfaces[1], pixels, w, h));
    EXPECT_EQ(0x00FF00u, golden::PixelAt(pixels, 32, 4, 4) & 0xFFFFFF);     // outside: untouched
    EXPECT_EQ(0x00FF00u, golden::PixelAt(pixels, 32, 20, 12) & 0xFFFFFF);   // above the rectangle
    EXPECT_EQ(0xFF0000u, golden::PixelAt(pixels, 32, 8, 16) & 0xFFFFFF);    // its first texel
    EXPECT_EQ(0xFF0000u, golden::PixelAt(pixels, 32, 23, 31) & 0xFFFFFF);
    EXPECT_EQ(0x0000FFu, golden::PixelAt(pixels, 32, 24, 16) & 0xFFFFFF);
    EXPECT_EQ(0x0000FFu, golden::PixelAt(pixels, 32, 31, 31) & 0xFFFFFF);

    ASSERT_EQ(D3D_OK, device->StretchRect(surfaces[0], nullptr, surfaces[2], nullptr, D3DTEXF_LINEAR));
    ASSERT_TRUE(D3DReadSurfacePixels(surfaces[2], pixels, w, h));
    EXPECT_EQ(64u, w);
    EXPECT_EQ(0xFF0000u, golden::PixelAt(pixels, 64, 8, 8) & 0xFFFFFF);
    EXPECT_EQ(0x0000FFu, golden::PixelAt(pixels, 64, 56, 56) & 0xFFFFFF);

    back->Release();
    for (int i = 0; i < 3; ++i)
    {
        surfaces[i]->Release();
        textures[i]->Release();
    }
}

// ---------------------------------------------------------------------------
// Clip plane 0 is given in world space, whatever the view.
struct ClipCase
{
    const char* name;
    float viewShiftY;   // camera moved up by this
    int firstKeptRow;   // rows from here down are clipped
};

class ClipPlaneTest : public DrawTest, public ::testing::WithParamInterface<ClipCase>
{};

TEST_P(ClipPlaneTest, KeepsTheSideTheNormalPointsTo)
{
    D3DXMATRIX view;
    D3DXMatrixTranslation(&view, 0, -GetParam().viewShiftY, 0);
    device->SetTransform(D3DTS_VIEW, &view);
    const float plane[4] = {0, 1, 0, 0};   // y >= 0 stays
    device->SetClipPlane(0, plane);
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    DrawColorQuad(-1, -2, 1, 2, 1, kGreen);
    int row = GetParam().firstKeptRow;
    EXPECT_EQ(0x00FF00u, Pixel(32, row - 2));
    EXPECT_EQ(0u, Pixel(32, row + 1));
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
    DrawColorQuad(-1, -2, 1, 2, 1, kGreen);
    EXPECT_EQ(0x00FF00u, Pixel(32, row + 1));
}

INSTANTIATE_TEST_SUITE_P(Views, ClipPlaneTest,
                         ::testing::Values(ClipCase{"Centred", 0.0f, 32}, ClipCase{"CameraRaised", 0.5f, 48}),
                         [](const ::testing::TestParamInfo<ClipCase>& i) { return std::string(i.param.name); });

// ---------------------------------------------------------------------------
// A DXT1 file keeps its compressed data when no mip chain is asked for, and
// gets a full chain made from it when one is.
TEST_F(DrawTest, Dxt1DdsLoadsAndDraws)
{
    std::vector<uint8_t> image(8 * 8 * 4);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
        {
            DWORD c = y < 4 ? (x < 4 ? kRed : kGreen) : (x < 4 ? kBlue : 0xFFFFFFFF);
            std::memcpy(&image[(y * 8 + x) * 4], &c, 4);
        }
    std::vector<uint8_t> dds = WriteDds(8, 8, image.data(), PixelFormat::DXT1, false);
    ASSERT_FALSE(dds.empty());

    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info;
    ASSERT_EQ(D3D_OK, D3DXCreateTextureFromFileInMemoryEx(device.get(), dds.data(), (UINT)dds.size(), D3DX_DEFAULT,
                                                          D3DX_DEFAULT, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED,
                                                          D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &texture));
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(D3DFMT_DXT1, desc.Format);
    EXPECT_EQ(8u, info.Width);
    EXPECT_EQ(D3DXIFF_DDS, info.ImageFileFormat);

    DrawTextureOverScreen(texture);
    EXPECT_EQ(0xFF0000u, Pixel(8, 8));
    EXPECT_EQ(0x00FF00u, Pixel(56, 8));
    EXPECT_EQ(0x0000FFu, Pixel(8, 56));
    EXPECT_EQ(0xFFFFFFu, Pixel(56, 56));
    device->SetTexture(0, nullptr);
    texture->Release();

    // Asked for a full chain: 8x8 down to 1x1, the last level the average.
    ASSERT_EQ(D3D_OK, D3DXCreateTextureFromFileInMemoryEx(device.get(), dds.data(), (UINT)dds.size(), D3DX_DEFAULT,
                                                          D3DX_DEFAULT, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                          D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture));
    ASSERT_EQ(4u, texture->GetLevelCount());
    D3DLOCKED_RECT locked;
    ASSERT_EQ(D3D_OK, texture->LockRect(3, &locked, nullptr, D3DLOCK_READONLY));
    const uint8_t* px = static_cast<const uint8_t*>(locked.pBits);
    EXPECT_NEAR(0x7F, px[0], 2);   // blue: (0 + 0 + 255 + 255) / 4
    EXPECT_NEAR(0x7F, px[1], 2);
    EXPECT_NEAR(0x7F, px[2], 2);
    texture->UnlockRect(3);
    texture->Release();
}

}   // namespace

namespace
{

// ---------------------------------------------------------------------------
// Lighting: emissive + ambient x (global + light ambient) + diffuse x light x
// N.L, with the diffuse and ambient taken from the material or the vertex.
struct LightCase
{
    const char* name;
    BOOL colorVertex;
    float lightAngle;   // between the light and the surface normal, radians
    D3DCOLORVALUE expected;
};

class LightingTest : public DrawTest, public ::testing::WithParamInterface<LightCase>
{};

TEST_P(LightingTest, DirectionalLightOnAQuad)
{
    const LightCase& c = GetParam();
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF202020);   // 0.125
    device->SetRenderState(D3DRS_COLORVERTEX, c.colorVertex);
    device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    D3DMATERIAL9 material = {};
    material.Diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    material.Ambient = {1, 1, 1, 1};
    material.Emissive = {0.0f, 0.125f, 0.0f, 0.0f};
    device->SetMaterial(&material);
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 0.5f, 1.0f, 1.0f};
    light.Ambient = {0.125f, 0.0f, 0.0f, 1.0f};
    // The quad faces the camera (normal -z); the light comes in at the given angle.
    light.Direction = {std::sin(c.lightAngle), 0.0f, std::cos(c.lightAngle)};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    struct V
    {
        float x, y, z, nx, ny, nz;
        DWORD color;
    } v[4];
    const float xs[4] = {-1, 1, -1, 1}, ys[4] = {1, 1, -1, -1};
    for (int i = 0; i < 4; ++i)
        v[i] = {xs[i], ys[i], 1, 0, 0, -1, 0xFF4080C0};   // vertex colour .25 .5 .75
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE);
    ASSERT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(V)));
    uint32_t p = Pixel(32, 32);
    EXPECT_NEAR(c.expected.r * 255, (p >> 16) & 0xFF, 2.5);
    EXPECT_NEAR(c.expected.g * 255, (p >> 8) & 0xFF, 2.5);
    EXPECT_NEAR(c.expected.b * 255, p & 0xFF, 2.5);
}

// base = emissive (0, .125, 0) + ambient 1 x (.125 + (.125, 0, 0)) = (.25, .25, .125)
INSTANTIATE_TEST_SUITE_P(
    Sources, LightingTest,
    ::testing::Values(
        LightCase{"MaterialFacingTheLight", FALSE, 0.0f, {0.25f + 0.5f, 0.25f + 0.125f, 1.0f /* saturated */, 1}},
        LightCase{"MaterialAtSixtyDegrees", FALSE, 1.0471976f, {0.25f + 0.25f, 0.25f + 0.0625f, 0.125f + 0.5f, 1}},
        LightCase{"VertexColourAsDiffuse", TRUE, 0.0f, {0.25f + 0.25098f, 0.25f + 0.25098f, 0.125f + 0.75294f, 1}},
        LightCase{"LightFromBehind", FALSE, 3.14159265f, {0.25f, 0.25f, 0.125f, 1}}),
    [](const ::testing::TestParamInfo<LightCase>& i) { return std::string(i.param.name); });

}   // namespace

namespace
{

TEST_F(DrawTest, FlatShadingTakesTheFirstVertexColour)
{
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    ColorVertex v[3] = {{-1, 1, 1, kRed}, {1, 1, 1, kGreen}, {-1, -1, 1, kBlue}};
    device->SetFVF(kColorFVF);
    ASSERT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(ColorVertex)));
    EXPECT_EQ(0xFF0000u, Pixel(4, 4));
    EXPECT_EQ(0xFF0000u, Pixel(50, 4));
    EXPECT_EQ(0xFF0000u, Pixel(4, 50));
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    ASSERT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(ColorVertex)));
    uint32_t blended = Pixel(50, 4);
    EXPECT_GT((blended >> 8) & 0xFF, 0x80u);   // near the green corner
}

}   // namespace
