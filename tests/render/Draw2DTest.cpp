// 2D drawing: the states, primitives and face counts of every routine on a
// recording device, and what they put on a real back buffer at two sizes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DrawTestSupport.h"
#include "render/Draw2D.h"
#include "render/Font.h"
#include "tests/support/GoldenImage.h"

namespace
{

class Draw2DRecordingTest : public drawtest::DeviceFixture
{
protected:
    void SetUp() override { OpenDevice(D3DBackendKind::Recording, 1024, 768); }
    void TearDown() override { CloseDevice(); }
};

// Blending a routine must leave in the render-state cache.
struct Blend
{
    int alpha, src, dst;
};

const Blend kOpaque = {0, D3DBLEND_ONE, D3DBLEND_ZERO};
const Blend kAlpha = {1, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA};
const Blend kAdd = {1, D3DBLEND_ONE, D3DBLEND_ONE};

}   // namespace

TEST_F(Draw2DRecordingTest, EachRoutineSetsItsStatesAndDrawsOnce)
{
    const D3DXVECTOR3 p0(0, 0, 0), p1(0, 1, 0), p2(1, 0, 0), p3(1, 1, 0);
    struct Case
    {
        const char* what;
        std::function<void()> draw;
        Blend blend;
        std::vector<std::string> draws;
        int faces;
        bool screen;   // fog, Z test, Z write and lighting all off
    } cases[] = {
        {"opaque rect",
         [] { DrawRect(0, 0, 10, 10, 0xFF102030); },
         kOpaque,
         {"DrawPrimitiveUP(TRIANGLESTRIP, 2, 28)"},
         2,
         true},
        {"one corner below full alpha",
         [] { DrawRectGradient(0, 0, 10, 10, 0xFFFFFFFF, 0xFFFFFFFF, 0xFEFFFFFF, 0xFFFFFFFF); },
         kAlpha,
         {"DrawPrimitiveUP(TRIANGLESTRIP, 2, 28)"},
         2,
         true},
        {"texture rect without texture",
         [] { DrawTextureRect(0, 0, 5, 5, 0xFFFFFFFF, nullptr); },
         kOpaque,
         {"DrawPrimitiveUP(TRIANGLESTRIP, 2, 28)"},
         2,
         true},
        {"texture rect, translucent",
         [] { DrawTextureRect(0, 0, 5, 5, 0x80FFFFFF, nullptr); },
         kAlpha,
         {"DrawPrimitiveUP(TRIANGLESTRIP, 2, 28)"},
         2,
         true},
        {"additive rect",
         [] { DrawRectAdditive(0, 0, 10, 10, 0xFF808080); },
         kAdd,
         {"DrawPrimitiveUP(TRIANGLESTRIP, 2, 28)"},
         2,
         true},
        {"disc",
         [] { DrawDisc(50, 50, 10, 0xFFFFFFFF, 0xFF000000, 1, 1); },
         kOpaque,
         {"DrawPrimitiveUP(TRIANGLEFAN, 15, 28)"},
         16,
         true},
        {"disc fading out",
         [] { DrawDisc(50, 50, 10, 0xFFFFFFFF, 0x00FFFFFF, 1, 1); },
         kAlpha,
         {"DrawPrimitiveUP(TRIANGLEFAN, 15, 28)"},
         16,
         true},
        {"fine disc",
         [] { DrawDiscFine(50, 50, 10, 0xFFFFFFFF, 0xFFFFFFFF, 2, 1); },
         kOpaque,
         {"DrawPrimitiveUP(TRIANGLEFAN, 32, 28)"},
         32,
         true},
        {"flat disc",
         [] { DrawFlatDisc(50, 50, 10, 0xFFFFFFFF, 0xFF000000, 1, 1); },
         kAdd,
         {"DrawPrimitiveUP(TRIANGLEFAN, 15, 28)"},
         16,
         true},
        {"outline",
         [] { DrawRectOutline(0, 0, 10, 10, 0xFFFFFFFF); },
         kOpaque,
         {"DrawPrimitiveUP(LINESTRIP, 4, 28)"},
         2,
         true},
        {"panel",
         [] { DrawPanel(0, 0, 100, 50, 0xC0000000); },
         kAlpha,
         {"DrawPrimitiveUP(TRIANGLESTRIP, 6, 28)"},
         6,
         true},
        {"frame",
         [] { DrawFrame(10, 10, 100, 50, 0xFFFFFFFF); },
         kAlpha,
         {"DrawPrimitiveUP(LINESTRIP, 8, 28)", "DrawPrimitiveUP(LINESTRIP, 8, 28)",
          "DrawPrimitiveUP(LINESTRIP, 8, 28)"},
         18,
         true},
        {"world quad",
         [&] { DrawWorldQuad(p0, p1, p2, p3, 0xFFFFFFFF); },
         kOpaque,
         {"DrawPrimitiveUP(TRIANGLESTRIP, 2, 24)"},
         2,
         false},
        {"world quad, translucent",
         [&] { DrawWorldQuad(p0, p1, p2, p3, 0x7FFFFFFF); },
         kAlpha,
         {"DrawPrimitiveUP(TRIANGLESTRIP, 2, 24)"},
         2,
         false},
        {"world line",
         [&] { DrawWorldLine(p0, p3, 0xFF00FF00); },
         kOpaque,
         {"DrawPrimitiveUP(LINELIST, 1, 24)"},
         0,
         false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        D3DClearRecordedCalls();
        g_Render.mainFaces = 0;
        g_Render.zEnable = g_Render.zWrite = g_Render.lighting = g_Render.fogEnable = 1;
        g_Render.alphaBlend = g_Render.srcBlend = g_Render.destBlend = -1;
        g_Render.stage0Texture = 7;
        c.draw();
        EXPECT_EQ(Calls("Draw"), c.draws);
        EXPECT_EQ(Calls("SetFVF"),
                  std::vector<std::string>(c.draws.size(), c.screen ? "SetFVF(0x144)" : "SetFVF(0x142)"));
        EXPECT_EQ(g_Render.mainFaces, c.faces);
        EXPECT_EQ(g_Render.alphaBlend, c.blend.alpha);
        EXPECT_EQ(g_Render.srcBlend, c.blend.src);
        EXPECT_EQ(g_Render.destBlend, c.blend.dst);
        EXPECT_EQ(g_Render.stage0Texture, -1);   // untextured
        EXPECT_EQ(g_Render.fogEnable, 0);
        EXPECT_EQ(g_Render.lighting, 0);
        EXPECT_EQ(g_Render.zEnable, c.screen ? 0 : 1);
        EXPECT_EQ(g_Render.zWrite, c.screen ? 0 : 1);
        EXPECT_TRUE(Calls("SetRenderState(CULLMODE").empty());
    }
}

TEST_F(Draw2DRecordingTest, TextureObjectsBlendAndWireframeDrawsUntextured)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(g_Render.device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);

    // An opaque colour over a texture object still blends; the stage-0
    // record forgets the last id.
    g_Render.stage0Texture = 3;
    DrawTextureRect(0, 0, 10, 10, 0xFFFFFFFF, texture);
    EXPECT_EQ(g_Render.alphaBlend, 1);
    EXPECT_EQ(g_Render.srcBlend, int(D3DBLEND_SRCALPHA));
    EXPECT_EQ(g_Render.stage0Texture, -1);
    ASSERT_EQ(Calls("SetTexture(0,").size(), 1u);
    EXPECT_EQ(Calls("SetTexture(0,")[0].find("null"), std::string::npos);

    // In wireframe every routine binds no texture and does not blend, while
    // the additive ones keep ONE / ONE.
    g_Render.fillMode = D3DFILL_WIREFRAME;
    struct Case
    {
        const char* what;
        std::function<void()> draw;
        int src, dst;
    } cases[] = {
        {"texture rect", [&] { DrawTextureRect(0, 0, 10, 10, 0x80FFFFFF, texture); }, -2, -2},
        {"disc", [&] { DrawDisc(5, 5, 5, 0x80FFFFFF, 0x00FFFFFF, 1, 1, texture); }, -2, -2},
        {"additive rect", [&] { DrawRectAdditive(0, 0, 10, 10, 0xFFFFFFFF, 3); }, D3DBLEND_ONE, D3DBLEND_ONE},
        {"flat disc", [&] { DrawFlatDisc(5, 5, 5, 0xFFFFFFFF, 0xFF000000, 1, 1); }, D3DBLEND_ONE, D3DBLEND_ONE},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        D3DClearRecordedCalls();
        g_Render.alphaBlend = 1;
        c.draw();
        EXPECT_EQ(Calls("SetTexture(0,"), std::vector<std::string>{"SetTexture(0, null)"});
        EXPECT_EQ(g_Render.alphaBlend, 0);
        EXPECT_EQ(g_Render.stage0Texture, -1);
        if (c.src != -2)
        {
            EXPECT_EQ(g_Render.srcBlend, c.src);
            EXPECT_EQ(g_Render.destBlend, c.dst);
        }
    }
    g_Render.fillMode = D3DFILL_SOLID;
    texture->Release();
}

TEST_F(Draw2DRecordingTest, FrameWithAnotherCornerLeavesTheStatesAlone)
{
    g_Render.alphaBlend = g_Render.zEnable = g_Render.stage0Texture = 5;
    DrawFrameGradient(10, 10, 100, 50, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 3.0f);
    EXPECT_EQ(Calls("Draw"), std::vector<std::string>{"DrawPrimitiveUP(LINESTRIP, 8, 28)"});
    EXPECT_TRUE(Calls("SetRenderState").empty());
    EXPECT_EQ(g_Render.alphaBlend, 5);
    EXPECT_EQ(g_Render.zEnable, 5);
    EXPECT_EQ(g_Render.stage0Texture, 5);
    EXPECT_EQ(g_Render.mainFaces, 6);
}

TEST_F(Draw2DRecordingTest, NothingIsDrawnWithoutADevice)
{
    IDirect3DDevice9* device = g_Render.device;
    g_Render.device = nullptr;
    DrawRect(0, 0, 800, 600, 0xFFFFFFFF);
    DrawDisc(1, 1, 1, 0, 0, 1, 1);
    DrawFrame(0, 0, 5, 5, 0xFFFFFFFF);
    DrawWorldLine(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1), 0xFFFFFFFF);
    g_Render.device = device;
    EXPECT_TRUE(D3DRecordedCalls().empty());
    EXPECT_EQ(g_Render.mainFaces, 0);
}

namespace
{

// Draws on a real back buffer of the given size.
class Draw2DPixelDemoDataTest : public drawtest::DeviceFixture, public ::testing::WithParamInterface<int>
{
protected:
    void SetUp() override
    {
        m_Width = GetParam();
        m_Height = m_Width * 3 / 4;
        OpenDevice(D3DBackendKind::OpenGL, m_Width, m_Height);
        if (IsSkipped() || HasFatalFailure())
            return;
        EnterFolder(testsupport::DemoDataDir());
        // The game's defaults: clockwise culling, so the 2D strips face the viewer.
        g_Render.SetDefaultStates();
        drawtest::FillDiscFans();
        g_Render.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        g_Render.device->BeginScene();
    }
    void TearDown() override
    {
        if (!m_SavedCwd.empty())
            LeaveFolder();
        CloseDevice();
    }

    std::vector<uint8_t> Pixels()
    {
        g_Render.device->EndScene();
        std::vector<uint8_t> bgra;
        IDirect3DSurface9* target = nullptr;
        UINT w = 0, h = 0;
        EXPECT_EQ(g_Render.device->GetRenderTarget(0, &target), D3D_OK);
        if (target)
        {
            EXPECT_TRUE(D3DReadSurfacePixels(target, bgra, w, h));
            target->Release();
        }
        EXPECT_EQ(int(w), m_Width);
        EXPECT_EQ(int(h), m_Height);
        g_Render.device->BeginScene();
        return bgra;
    }

    // Colour channels only: the back buffer's alpha is not part of the picture.
    uint32_t Rgb(const std::vector<uint8_t>& bgra, int x, int y)
    {
        return golden::PixelAt(bgra, m_Width, x, y) & 0x00FFFFFFu;
    }

    int m_Width = 0, m_Height = 0;
};

}   // namespace

TEST_P(Draw2DPixelDemoDataTest, FullScreenRectCoversEveryPixel)
{
    DrawRect(0, 0, 800, 600, 0xFF336699);
    const std::vector<uint8_t> bgra = Pixels();
    ASSERT_EQ(bgra.size(), size_t(m_Width) * m_Height * 4);
    int uncovered = 0;
    for (int y = 0; y < m_Height; ++y)
        for (int x = 0; x < m_Width; ++x)
            uncovered += Rgb(bgra, x, y) != 0x336699u;
    EXPECT_EQ(uncovered, 0);
}

TEST_P(Draw2DPixelDemoDataTest, PanelCornerCutStaysFivePixels)
{
    DrawPanel(100, 100, 300, 200, 0xFFFFFFFF);
    const std::vector<uint8_t> bgra = Pixels();
    const float sx = g_Render.scaleX, sy = g_Render.scaleY;
    const int x1 = int(100 * sx), y1 = int(100 * sy);
    // On the top edge the panel starts 5 pixels in from the corner.
    EXPECT_EQ(Rgb(bgra, x1 + 2, y1), 0u);
    EXPECT_EQ(Rgb(bgra, x1 + 7, y1 + 1), 0xFFFFFFu);
    EXPECT_EQ(Rgb(bgra, x1, y1 + 2), 0u);
    EXPECT_EQ(Rgb(bgra, x1 + 1, y1 + 7), 0xFFFFFFu);
    EXPECT_EQ(Rgb(bgra, x1 + 20, y1 + 20), 0xFFFFFFu);
}

TEST_P(Draw2DPixelDemoDataTest, ShapesAndGlowingTextMatchTheReference)
{
    CFont font;
    font.Create("Data/Interface/Fonts/Menu 01");
    ASSERT_GT(font.charCount, 0);
    ASSERT_NE(font.texture, -1);

    DrawRect(0, 0, 800, 600, 0xFF202830);
    DrawRectGradient(40, 40, 360, 200, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF);
    DrawRect(200, 120, 440, 260, 0x80FFFF00);
    DrawRectAdditive(60, 230, 220, 330, 0xFF404040);
    DrawDisc(540, 130, 90, 0xFFFFFFFF, 0x00FF4000, 1.0f, 1.0f);
    DrawDiscFine(700, 130, 50, 0xFF00C0FF, 0xFF004080, 1.0f, 1.6f);
    DrawFlatDisc(640, 300, 70, 0xFF606060, 0xFF000000, 1.5f, 1.0f);
    DrawRectOutline(470, 240, 560, 330, 0xFFFFFFFF);
    DrawPanel(40, 380, 380, 560, 0xC0103050);
    DrawFrame(40, 380, 380, 560, 0xC0FFFFFF);
    font.DrawTextGlow(60, 400, "Trallowmere 2:07.45", 0xFFFFFFFF, 0xC0FF6000, 0.8f);
    font.DrawText(60, 470, "Fixed 0123", 0xFFFFE080, 0xFFFF8000, 0.6f, 1);
    const std::vector<uint8_t> bgra = Pixels();
    font.Release();

    // Compared at a quarter of the size (4 x 4 box average) to keep the
    // reference small; every shape and glyph row still shows.
    const int w = m_Width / 4, h = m_Height / 4;
    std::vector<uint8_t> small(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c)
            {
                int sum = 0;
                for (int dy = 0; dy < 4; ++dy)
                    for (int dx = 0; dx < 4; ++dx)
                        sum += bgra[((size_t(y) * 4 + dy) * m_Width + x * 4 + dx) * 4 + c];
                small[(size_t(y) * w + x) * 4 + c] = uint8_t((sum + 8) / 16);
            }
    EXPECT_EQ(golden::Mismatch("render/draw2d_" + std::to_string(m_Width), small, w, h, 8), "");
}

INSTANTIATE_TEST_SUITE_P(BackBuffers, Draw2DPixelDemoDataTest, ::testing::Values(800, 1024),
                         [](const ::testing::TestParamInfo<int>& i) {
                             return std::to_string(i.param) + "x" + std::to_string(i.param * 3 / 4);
                         });
