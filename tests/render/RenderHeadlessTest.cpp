// The real OpenGL device, headless: start-up as the program does it, with the
// technique file from the generated World pack, a few presented frames, and a
// technique file that does not compile.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/os/Window.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"

using namespace render_test;

namespace
{

class RenderHeadlessDemoDataTest : public RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        if (!hidden.Open(800, 600))
            SKIP_OR_FAIL_IN_CI() << "no video driver";
        window = hidden.get();
        // The recording backend lists the common modes; the GL one the
        // display's. Use a mode list that fits the hidden window.
        D3DOverrideAdapterModes({D3DDISPLAYMODE{800, 600, 60, D3DFMT_X8R8G8B8}});
    }
    void TearDown() override
    {
        g_Render.FreeD3DRender();
        hidden.Close();
        RenderFixture::TearDown();
        D3DSelectBackend(D3DBackendKind::Recording);
    }
    testdevice::HiddenWindow hidden;
    HWND window = nullptr;
};

TEST_F(RenderHeadlessDemoDataTest, StartsFromTheWorldPackAndPresentsFrames)
{
    UseDemoData(true);
    ASSERT_EQ(g_Render.InitD3D(1), 0);
    ASSERT_EQ(g_Render.CreateDevice(window, 1, 0, 0), 0) << (Messages().empty() ? "" : Messages()[0]);
    ASSERT_NE(g_Render.effect, nullptr);
    EXPECT_EQ(g_Render.sm20, 1);
    EXPECT_NE(g_Render.envCubeTexture, nullptr);
    EXPECT_GE(g_Render.lightMapTexture, 0);

    // Every technique the device switches to exists in the compiled file.
    for (const char* name :
         {"techDirectVertex", "techGlowScreen", "techSmoothSurface", "techMotionBlur", "techMenuScreen"})
        EXPECT_NE(g_Render.effect->GetTechniqueByName(name), nullptr) << name;

    for (int i = 0; i < 3; i++)
    {
        g_Render.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF204060, 1.0f, 0);
        EXPECT_EQ(g_Render.PresentFrame(), 0);
    }
    EXPECT_EQ(g_Render.frameCount, 3);
    EXPECT_TRUE(Messages().empty()) << Messages()[0];
}

// The back buffer as B,G,R,A rows, read before the frame is presented.
std::vector<uint8_t> ReadBackBuffer(UINT& width, UINT& height)
{
    std::vector<uint8_t> pixels;
    IDirect3DSurface9* back = nullptr;
    if (SUCCEEDED(g_Render.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)) && back)
    {
        D3DReadSurfacePixels(back, pixels, width, height);
        back->Release();
    }
    return pixels;
}

const uint8_t* Pixel(const std::vector<uint8_t>& pixels, UINT width, int x, int y)
{
    return &pixels[(size_t(y) * width + x) * 4];
}

void RunPass()
{
    UINT passes = 0;
    g_Render.effect->Begin(&passes, 0);
    g_Render.effect->BeginPass(0);
    g_Render.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    g_Render.effect->EndPass();
    g_Render.effect->End();
}

TEST_F(RenderHeadlessDemoDataTest, ScreenTechniquesShadeTheQuadAsTheirConstantsSay)
{
    UseDemoData(true);
    ASSERT_EQ(g_Render.InitD3D(1), 0);
    ASSERT_EQ(g_Render.CreateDevice(window, 1, 0, 0), 0);
    IDirect3DDevice9* device = g_Render.device;
    IDirect3DTexture9* white = g_Render.GetTexture(g_Render.whiteTexture);
    IDirect3DTexture9* black = g_Render.GetTexture(g_Render.blackTexture);
    ASSERT_NE(white, nullptr);

    struct Case
    {
        const char* technique;
        IDirect3DTexture9* stage0;    // the frame copy the glow and blur read
        IDirect3DTexture9* baseMap;   // texBaseMap1
        float vs0[4], ps0[4], ps1[4];
        int blend;     // source-alpha blending over the cleared frame
        int r, g, b;   // expected colour in the middle of the screen
    };
    const Case cases[] = {
        // Bright parts come through at full strength, dark ones stay dark.
        {"techGlowScreen", white, nullptr, {}, {5, 6, 2, 0}, {}, 0, 255, 255, 255},
        {"techGlowScreen", black, nullptr, {}, {5, 6, 2, 0}, {}, 0, 0, 0, 0},
        // Four (or eight) taps of white at a quarter each make white again.
        {"techSmoothSurface", nullptr, white, {0, -0.004f, 0.004f, 1}, {}, {0.25f, 0.25f, 0.25f, 0}, 0, 255, 255, 255},
        {"techSmoothSurface",
         nullptr,
         white,
         {0, -0.004f, 0.004f, 1},
         {},
         {0.125f, 0.125f, 0.125f, 0},
         0,
         128,
         128,
         128},
        // The blur lays its copy over the frame with alpha from its strength.
        {"techMotionBlur", white, nullptr, {-0.008f, -0.008f, -0.008f, 0}, {4, 4, 4, 1}, {}, 1, 204, 204, 204},
        {"techMotionBlur", white, nullptr, {-0.002f, -0.002f, -0.002f, 0}, {1, 1, 1, 1}, {}, 1, 51, 51, 51},
        // The menu backdrop greys and warms the frame.
        {"techMenuScreen", nullptr, white, {}, {}, {}, 0, 204, 130, 66},
    };
    for (const Case& c : cases)
    {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        g_Render.SetFog(0);
        g_Render.SetZEnable(0);
        g_Render.SetZWrite(0);
        g_Render.SetLighting(0);
        g_Render.SetCullMode(D3DCULL_NONE);
        g_Render.SetAlphaBlend(c.blend);
        if (c.blend)
            g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        else
            g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
        device->SetStreamSource(0, g_Render.screenQuad, 0, 20);
        device->SetVertexShaderConstantF(0, c.vs0, 1);
        device->SetPixelShaderConstantF(0, c.ps0, 1);
        device->SetPixelShaderConstantF(1, c.ps1, 1);
        device->SetTexture(0, c.stage0);
        g_Render.SetTechnique(c.technique);
        g_Render.SetEffectTexture("texBaseMap1", c.baseMap);
        RunPass();
        device->EndScene();

        UINT w = 0, h = 0;
        std::vector<uint8_t> pixels = ReadBackBuffer(w, h);
        ASSERT_EQ(w, 800u);
        const uint8_t* p = Pixel(pixels, w, 400, 300);
        EXPECT_NEAR(p[2], c.r, 3) << c.technique << " " << c.ps0[0] << " " << c.ps1[0];
        EXPECT_NEAR(p[1], c.g, 3) << c.technique << " " << c.ps0[0] << " " << c.ps1[0];
        EXPECT_NEAR(p[0], c.b, 3) << c.technique << " " << c.ps0[0] << " " << c.ps1[0];
        g_Render.PresentFrame();
    }
}

// One vertex of the light-sprite batch: corner offset, colour, atlas
// coordinates, centre and axis.
struct SpriteVertex
{
    float x, y, z;
    DWORD colour;
    float u, v;
    float centre[3];
    float axis[3];
};
static_assert(sizeof(SpriteVertex) == 48, "batch vertex layout");

TEST_F(RenderHeadlessDemoDataTest, LightSpritesFaceTheEyeAndFadeWithTheFog)
{
    UseDemoData(true);
    ASSERT_EQ(g_Render.InitD3D(1), 0);
    ASSERT_EQ(g_Render.CreateDevice(window, 1, 0, 0), 0);
    IDirect3DDevice9* device = g_Render.device;

    // The eye at the origin looking down +z; 90 degrees of height, 4:3.
    D3DXMATRIX view, proj, viewProj;
    const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&proj, 1.5707964f, 800.0f / 600.0f, 1.0f, 1000.0f);
    D3DXMatrixMultiply(&viewProj, &view, &proj);

    struct Case
    {
        float distance, size;
        bool visible;   // beyond the fog's end a sprite fades out entirely
    };
    const Case cases[] = {{10, 1, true}, {100, 10, true}, {600, 60, false}};
    for (const Case& c : cases)
    {
        // The glow cell of the atlas, in an orange colour; each sprite is
        // 30 pixels from its middle to its edges at this distance and size.
        const float ua = 0.501f, ub = 0.999f, va = 0.501f, vb = 0.999f, s = c.size;
        const DWORD colour = 0xFFFF8040;
        const SpriteVertex quad[4] = {
            {s, s, 0, colour, ua, va, {0, 0, c.distance}, {0, 1, 0}},
            {s, -s, 0, colour, ua, vb, {0, 0, c.distance}, {0, 1, 0}},
            {-s, s, 0, colour, ub, va, {0, 0, c.distance}, {0, 1, 0}},
            {-s, -s, 0, colour, ub, vb, {0, 0, c.distance}, {0, 1, 0}},
        };
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        g_Render.SetZEnable(1);
        g_Render.SetZWrite(0);
        g_Render.SetLighting(0);
        g_Render.SetCullMode(D3DCULL_NONE);
        g_Render.SetAlphaBlend(1);
        g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ONE);
        g_Render.SetTechnique("techDirectVertex");
        g_Render.SetEffectTexture("texBaseMap1", g_Render.GetTexture(g_Render.lightMapTexture));
        g_Render.effect->SetMatrix("matViewProj", &viewProj);
        D3DXVECTOR4 eyePos(0, 0, 0, 1);
        g_Render.effect->SetVector("EyePos", &eyePos);
        device->SetFVF(0x140342);
        UINT passes = 0;
        g_Render.effect->Begin(&passes, 0);
        g_Render.effect->BeginPass(0);
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(SpriteVertex));
        g_Render.effect->EndPass();
        g_Render.effect->End();
        device->EndScene();

        UINT w = 0, h = 0;
        std::vector<uint8_t> pixels = ReadBackBuffer(w, h);
        ASSERT_EQ(w, 800u);
        const uint8_t* middle = Pixel(pixels, w, 400, 300);
        if (c.visible)
        {
            // Bright and orange in the middle, fading to nothing at its edges.
            EXPECT_GT(middle[2], 150) << c.distance;
            EXPECT_GT(middle[2], middle[1] + 30) << c.distance;
            EXPECT_GT(middle[1], middle[0] + 15) << c.distance;
            for (const int d : {27, -27})
            {
                EXPECT_LT(Pixel(pixels, w, 400 + d, 300)[2], 40) << c.distance << " " << d;
                EXPECT_LT(Pixel(pixels, w, 400, 300 + d)[2], 40) << c.distance << " " << d;
            }
            // Half way out it is still lit: the quad faces the eye at full size.
            EXPECT_GT(Pixel(pixels, w, 400 + 8, 300)[2], 60) << c.distance;
            EXPECT_GT(Pixel(pixels, w, 400, 300 + 8)[2], 60) << c.distance;
        }
        else
            EXPECT_LT(middle[2], 8) << c.distance;
        for (const int d : {36, -36})
            EXPECT_EQ(Pixel(pixels, w, 400 + d, 300)[2], 0) << c.distance << " " << d;
        g_Render.PresentFrame();
    }
}

TEST_F(RenderHeadlessDemoDataTest, TechniqueCompileErrorShowsTheCompilerTextAndEndsStartCleanly)
{
    UseLooseCopy();
    {
        // Valid file syntax, but a shader the compiler rejects.
        std::ofstream out("Data/Misc/RenderTechniques_20.dat", std::ios::binary);
        out << "technique techBroken\npass p0\nvertex {{\nvoid main() { gl_Position = undeclaredThing; }\n}}\n"
               "fragment {{\nvoid main() { FragColor = vec4(1.0); }\n}}\n";
    }
    ASSERT_EQ(g_Render.InitD3D(1), 0);
    EXPECT_EQ(g_Render.CreateDevice(window, 1, 0, 0), -1);
    ASSERT_EQ(Messages().size(), 2u);
    const std::string prefix = std::string(g_AppName) + "|16|Create render techniques failed!\n";
    EXPECT_EQ(Messages()[0].compare(0, prefix.size(), prefix), 0) << Messages()[0];
    EXPECT_GT(Messages()[0].size(), prefix.size() + 5) << "no compiler text";
    EXPECT_EQ(Messages()[1], std::string(g_AppName) + "|16|Restore resources failed!");
    EXPECT_EQ(g_Render.device, nullptr);
    EXPECT_EQ(g_Render.effect, nullptr);
    EXPECT_EQ(g_Render.d3d, nullptr);
}

}   // namespace

// The glow's blurs fill the whole of their 256 x 256 targets, even when the
// window's own depth surface is smaller than they are.
TEST_F(RenderHeadlessDemoDataTest, GlowBlursFillTheirTargetsOnAWindowSmallerThanThem)
{
    hidden.Close();
    ASSERT_TRUE(hidden.Open(160, 120));
    window = hidden.get();
    D3DOverrideAdapterModes({D3DDISPLAYMODE{160, 120, 60, D3DFMT_X8R8G8B8}});
    UseDemoData(true);
    ASSERT_EQ(g_Render.InitD3D(1), 0);
    ASSERT_EQ(g_Render.CreateDevice(window, 1, 0, 0), 0);
    ASSERT_TRUE(g_Render.glowReady);
    IDirect3DDevice9* device = g_Render.device;
    for (IDirect3DTexture9* t : {g_Render.glowTexture0, g_Render.glowTexture1})
    {
        IDirect3DSurface9* s = nullptr;
        t->GetSurfaceLevel(0, &s);
        device->ColorFill(s, nullptr, 0xFFFF0000);
        s->Release();
    }
    // A black frame glows nowhere: every texel of both blurs ends black.
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    g_Render.RenderGlow();
    device->EndScene();
    for (IDirect3DTexture9* t : {g_Render.glowTexture0, g_Render.glowTexture1})
    {
        IDirect3DSurface9* s = nullptr;
        t->GetSurfaceLevel(0, &s);
        std::vector<uint8_t> pixels;
        UINT w = 0, h = 0;
        ASSERT_TRUE(D3DReadSurfacePixels(s, pixels, w, h));
        s->Release();
        ASSERT_EQ(w, 256u);
        for (const int xy : {10, 128, 250})
            EXPECT_LT(Pixel(pixels, w, xy, xy)[2], 8) << "texel " << xy;
    }
    // The frame itself keeps the depth surface it had.
    IDirect3DSurface9* depth = nullptr;
    EXPECT_EQ(device->GetDepthStencilSurface(&depth), D3D_OK);
    ASSERT_NE(depth, nullptr);
    depth->Release();
}
