// The render-state cache on the recording device: which setters skip a
// repeated value, the records after the default states, texture binding,
// technique switching, fill mode, face counters, frame rate and cursor.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "core/InputState.h"
#include "platform/os/Clock.h"
#include "platform/os/Window.h"
#include "tests/render/RenderStateRecords.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/Skip.h"

using namespace render_test;

namespace
{

class RenderStateCacheDemoDataTest : public RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        UseDemoData();
        StartDevice();
        D3DClearRecordedCalls();
    }
};

TEST_F(RenderStateCacheDemoDataTest, DefaultStatesLeaveRecordsUnknownExceptFogAndCull)
{
    // Records set through a setter during the defaults are known; the rest
    // are -1 until a caller sets them.
    EXPECT_EQ(g_Render.zWrite, -1);
    EXPECT_EQ(g_Render.zEnable, -1);
    EXPECT_EQ(g_Render.lighting, -1);
    EXPECT_EQ(g_Render.srcBlend, -1);
    EXPECT_EQ(g_Render.destBlend, -1);
    EXPECT_EQ(g_Render.alphaBlend, -1);
    EXPECT_EQ(g_Render.stage0Texture, -1);
    EXPECT_EQ(g_Render.fogEnable, 0);
    EXPECT_EQ(g_Render.cullMode, (int)D3DCULL_CW);
    EXPECT_EQ(g_Render.savedCullMode, (int)D3DCULL_CW);
    EXPECT_FLOAT_EQ(g_Render.fogStart, 250.0f);
    EXPECT_FLOAT_EQ(g_Render.fogEnd, 500.0f);

    // The defaults again issue the cull mode even though it is already CW:
    // SetDefaultStates forgets the record first.
    D3DClearRecordedCalls();
    g_Render.SetDefaultStates();
    EXPECT_EQ(CountCalls("SetRenderState(CULLMODE, 2)"), 2u);   // the raw state and the cached setter
    EXPECT_EQ(CountCalls("SetRenderState(ALPHAREF, 128)"), 1u);
}

TEST_F(RenderStateCacheDemoDataTest, CullModeSkipsRepeatsAndRestoresTheSavedMode)
{
    g_Render.SetCullMode(D3DCULL_CW);
    EXPECT_EQ(CountCalls("SetRenderState(CULLMODE"), 0u);

    g_Render.SetCullMode(D3DCULL_CCW);
    g_Render.SaveCullMode();
    g_Render.SetCullMode(D3DCULL_NONE);
    g_Render.SetCullMode(D3DCULL_NONE);
    EXPECT_EQ(CountCalls("SetRenderState(CULLMODE"), 2u);

    D3DClearRecordedCalls();
    g_Render.RestoreCullMode();
    EXPECT_EQ(g_Render.cullMode, (int)D3DCULL_CCW);
    // A restore always reaches the device, even when nothing changed since.
    g_Render.RestoreCullMode();
    EXPECT_EQ(CountCalls("SetRenderState(CULLMODE, 3)"), 2u);
}

TEST_F(RenderStateCacheDemoDataTest, PlainSettersRecordAndAlwaysPassOn)
{
    g_Render.SetZWrite(1);
    g_Render.SetZWrite(1);
    g_Render.SetZEnable(0);
    g_Render.SetLighting(0);
    g_Render.SetAlphaBlend(1);
    g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ONE);
    g_Render.SetFog(1);   // fog is the techniques' business: always off here

    const std::vector<std::string> expected = {
        "SetRenderState(ZWRITEENABLE, 1)", "SetRenderState(ZWRITEENABLE, 1)",     "SetRenderState(ZENABLE, 0)",
        "SetRenderState(LIGHTING, 0)",     "SetRenderState(ALPHABLENDENABLE, 1)", "SetRenderState(SRCBLEND, 2)",
        "SetRenderState(DESTBLEND, 2)",    "SetRenderState(FOGENABLE, 0)",
    };
    EXPECT_EQ(D3DRecordedCalls(), expected);
    EXPECT_EQ(g_Render.zWrite, 1);
    EXPECT_EQ(g_Render.zEnable, 0);
    EXPECT_EQ(g_Render.lighting, 0);
    EXPECT_EQ(g_Render.alphaBlend, 1);
    EXPECT_EQ(g_Render.srcBlend, (int)D3DBLEND_ONE);
    EXPECT_EQ(g_Render.fogEnable, 0);
}

// The setters that skip a repeat: each value reaches the device once, a
// change always does, and after ForgetStates the held value goes out again.
TEST_F(RenderStateCacheDemoDataTest, SkippingSettersPassOnOnlyAChangeUntilTheRecordsAreForgotten)
{
    struct Case
    {
        const char* name;
        std::function<void(DWORD)> set;
        std::vector<std::string> prefixes;   // the device calls of one set
        DWORD first, second;
    };
    const Case cases[] = {
        {"colour vertex", [](DWORD v) { g_Render.SetColorVertex(int(v)); }, {"SetRenderState(COLORVERTEX, "}, 1, 0},
        {"clip planes", [](DWORD v) { g_Render.SetClipPlaneEnable(v); }, {"SetRenderState(CLIPPLANEENABLE, "}, 1, 0},
        {"addressing",
         [](DWORD v) { g_Render.SetTextureAddress(2, v); },
         {"SetSamplerState(2, ADDRESSU, ", "SetSamplerState(2, ADDRESSV, "},
         D3DTADDRESS_CLAMP,
         D3DTADDRESS_BORDER},
        {"coordinate index",
         [](DWORD v) { g_Render.SetTexCoordIndex(7, v); },
         {"SetTextureStageState(7, TEXCOORDINDEX, "},
         D3DTSS_TCI_CAMERASPACEPOSITION,
         0},
        {"transform flags",
         [](DWORD v) { g_Render.SetTextureTransformFlags(1, v); },
         {"SetTextureStageState(1, TEXTURETRANSFORMFLAGS, "},
         D3DTTFF_COUNT2,
         D3DTTFF_DISABLE},
    };
    for (const Case& c : cases)
    {
        auto issued = [&c](DWORD value) {
            size_t n = CountCalls(c.prefixes[0] + std::to_string(value) + ")");
            for (const std::string& prefix : c.prefixes)
                EXPECT_EQ(CountCalls(prefix + std::to_string(value) + ")"), n) << c.name;
            return n;
        };
        D3DClearRecordedCalls();
        c.set(c.first);
        c.set(c.first);
        EXPECT_EQ(issued(c.first), 1u) << c.name;
        c.set(c.second);
        c.set(c.first);
        EXPECT_EQ(issued(c.second), 1u) << c.name;
        EXPECT_EQ(issued(c.first), 2u) << c.name;
        EXPECT_TRUE(StaleRecords().empty()) << c.name;

        g_Render.ForgetStates();
        c.set(c.first);
        EXPECT_EQ(issued(c.first), 3u) << c.name << ": a forgotten record never skips";
    }
}

TEST_F(RenderStateCacheDemoDataTest, StagesPastTheRecordsAndAMissingDeviceRecordNothing)
{
    // No record for stage 8: every set goes out.
    g_Render.SetTexCoordIndex(CD3DRender::MAX_STAGES, 1);
    g_Render.SetTexCoordIndex(CD3DRender::MAX_STAGES, 1);
    EXPECT_EQ(CountCalls("SetTextureStageState(8, TEXCOORDINDEX, 1)"), 2u);

    // Without a device a setter changes no record, so the value still goes out
    // once the device is back.
    IDirect3DDevice9* device = g_Render.device;
    g_Render.SetColorVertex(1);
    g_Render.device = nullptr;
    g_Render.SetColorVertex(0);
    g_Render.SetTextureAddress(0, D3DTADDRESS_CLAMP);
    g_Render.device = device;
    EXPECT_EQ(g_Render.colorVertex, 1);
    EXPECT_EQ(g_Render.textureAddress[0], int(D3DTADDRESS_WRAP));
    D3DClearRecordedCalls();
    g_Render.SetColorVertex(0);
    EXPECT_EQ(CountCalls("SetRenderState(COLORVERTEX, 0)"), 1u);
}

TEST_F(RenderStateCacheDemoDataTest, DefaultStatesRecordTheStagesTheySet)
{
    // The defaults go out through the setters, so their records are known and
    // true to the device: repeating them issues nothing.
    EXPECT_TRUE(StaleRecords().empty());
    for (DWORD stage = 0; stage < 7; stage++)
    {
        g_Render.SetTexCoordIndex(stage, 0);
        g_Render.SetTextureAddress(stage, D3DTADDRESS_WRAP);
    }
    g_Render.SetColorVertex(FALSE);
    EXPECT_TRUE(D3DRecordedCalls().empty());
    EXPECT_EQ(g_Render.clipPlaneEnable, -1);
    EXPECT_EQ(g_Render.textureTransformFlags[0], -1);

    // A device reset sets the defaults again over whatever the records held.
    g_Render.SetTexCoordIndex(1, D3DTSS_TCI_CAMERASPACEPOSITION);
    g_Render.SetColorVertex(TRUE);
    D3DSimulateDeviceLost(g_Render.device);
    g_Render.PresentFrame();
    D3DSimulateDeviceResettable(g_Render.device);
    g_Render.PresentFrame();
    ASSERT_EQ(g_Render.deviceLost, 0);
    EXPECT_EQ(g_Render.texCoordIndex[1], 0);
    EXPECT_EQ(g_Render.colorVertex, 0);
    EXPECT_TRUE(StaleRecords().empty());
}

TEST_F(RenderStateCacheDemoDataTest, StageOpsFogRangeAndMipBiasIssueTheirStatesInOrder)
{
    g_Render.SetStageColorOp(1, D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_TEMP, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(2, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_TEMP);
    const float bias = -0.5f;
    DWORD bits;
    std::memcpy(&bits, &bias, 4);
    g_Render.SetMipLodBias(bits, -1);
    const std::vector<std::string> expected = {
        "SetTextureStageState(1, COLOROP, 7)",
        "SetTextureStageState(1, COLORARG0, 5)",
        "SetTextureStageState(1, COLORARG1, 2)",
        "SetTextureStageState(1, COLORARG2, 0)",
        "SetTextureStageState(1, RESULTARG, 1)",
        "SetTextureStageState(2, ALPHAOP, 2)",
        "SetTextureStageState(2, ALPHAARG0, 5)",
        "SetTextureStageState(2, ALPHAARG1, 3)",
        "SetTextureStageState(2, ALPHAARG2, 1)",
        "SetSamplerState(0, MIPMAPLODBIAS, " + std::to_string(bits) + ")",
        "SetSamplerState(1, MIPMAPLODBIAS, " + std::to_string(bits) + ")",
    };
    EXPECT_EQ(D3DRecordedCalls(), expected);

    g_Render.SetFogRange(100.0f, 300.0f);
    D3DXVECTOR4 fog;
    ASSERT_EQ(g_Render.effect->GetVector("FogParam", &fog), D3D_OK);
    EXPECT_EQ(fog, D3DXVECTOR4(100.0f, 300.0f, 0.0f, 1.0f));
}

TEST_F(RenderStateCacheDemoDataTest, MaterialTurnsSpecularOnOnlyForAColouredHighlight)
{
    struct Case
    {
        float r, g, b;
        int specularOn;
    };
    const Case cases[] = {{0, 0, 0, 0}, {0, 0, 0.1f, 1}, {0.5f, 0, 0, 1}};
    for (const Case& c : cases)
    {
        D3DMATERIAL9 m = {};
        m.Diffuse = D3DCOLORVALUE{0.25f, 0.5f, 0.75f, 1.0f};
        m.Specular = D3DCOLORVALUE{c.r, c.g, c.b, 1.0f};
        m.Power = 12.0f;
        D3DClearRecordedCalls();
        g_Render.SetMaterial(&m, 1);
        EXPECT_EQ(CountCalls("SetRenderState(SPECULARENABLE, " + std::to_string(c.specularOn) + ")"), 1u)
            << c.r << " " << c.g << " " << c.b;
    }
    D3DXVECTOR4 diffuse;
    float power = 0;
    ASSERT_EQ(g_Render.effect->GetVector("MatDiffuse", &diffuse), D3D_OK);
    EXPECT_EQ(diffuse, D3DXVECTOR4(0.25f, 0.5f, 0.75f, 1.0f));
    ASSERT_EQ(g_Render.effect->GetFloat("MatSpecularPow", &power), D3D_OK);
    EXPECT_FLOAT_EQ(power, 12.0f);
}

TEST_F(RenderStateCacheDemoDataTest, BindTextureSkipsTheStageZeroRepeatOnly)
{
    const TextureId white = g_Render.whiteTexture;
    ASSERT_GE(white, 0);

    // Twice on stage 0: bound once.
    g_Render.BindTexture(white, 0, 0);
    g_Render.BindTexture(white, 0, 0);
    EXPECT_EQ(CountCalls("SetTexture(0,"), 1u);

    // A texture bound on stage 1 leaves the stage-0 record alone: the same
    // texture then still reaches stage 0, which held another one.
    D3DClearRecordedCalls();
    g_Render.BindTexture(g_Render.blackTexture, 0, 1);
    g_Render.BindTexture(g_Render.blackTexture, 0, 0);
    EXPECT_EQ(CountCalls("SetTexture(1,"), 1u);
    EXPECT_EQ(CountCalls("SetTexture(0,"), 1u);
    EXPECT_TRUE(StaleRecords().empty());

    // A texture object or an effect texture in between forgets the record.
    D3DClearRecordedCalls();
    g_Render.BindTexture(white, 0, 0);
    g_Render.BindTextureObject(g_Render.GetTexture(g_Render.blackTexture), 0, 0);
    g_Render.BindTexture(white, 0, 0);
    g_Render.SetEffectTexture("texBaseMap1", nullptr);
    g_Render.BindTexture(white, 0, 0);
    g_Render.BindTexture(white, 0, 0, 1);   // forced
    EXPECT_EQ(CountCalls("SetTexture(0,"), 5u);

    // Alpha picks the blend pair.
    g_Render.BindTexture(white, 1, 0);
    EXPECT_EQ(g_Render.alphaBlend, 1);
    EXPECT_EQ(g_Render.srcBlend, (int)D3DBLEND_SRCALPHA);
    EXPECT_EQ(g_Render.destBlend, (int)D3DBLEND_INVSRCALPHA);
    g_Render.BindTexture(white, 0, 0);
    EXPECT_EQ(g_Render.srcBlend, (int)D3DBLEND_ONE);
    EXPECT_EQ(g_Render.destBlend, (int)D3DBLEND_ZERO);

    // -1 clears the stage.
    D3DClearRecordedCalls();
    g_Render.BindTexture(-1, 0, 2);
    EXPECT_EQ(CountCalls("SetTexture(2, null)"), 1u);
}

TEST_F(RenderStateCacheDemoDataTest, WireframeBindsNoTextureAndNoBlending)
{
    g_Render.ToggleFillMode();
    EXPECT_EQ(g_Render.fillMode, D3DFILL_WIREFRAME);
    EXPECT_EQ(CountCalls("SetRenderState(FILLMODE, 2)"), 1u);

    D3DClearRecordedCalls();
    g_Render.BindTexture(g_Render.whiteTexture, 1, 0);
    g_Render.BindTextureObject(g_Render.GetTexture(g_Render.whiteTexture), 1, 0);
    EXPECT_EQ(CountCalls("SetTexture(0, null)"), 2u);
    EXPECT_EQ(CountCalls("SetTexture(0, tex"), 0u);
    EXPECT_EQ(g_Render.alphaBlend, 0);
    EXPECT_EQ(g_Render.stage0Texture, -1);

    g_Render.ToggleFillMode();
    EXPECT_EQ(g_Render.fillMode, D3DFILL_SOLID);
    g_Render.ToggleShadeMode();
    EXPECT_EQ(g_Render.shadeMode, D3DSHADE_FLAT);
    g_Render.ToggleShadeMode();
    EXPECT_EQ(g_Render.shadeMode, D3DSHADE_GOURAUD);
    EXPECT_EQ(CountCalls("SetRenderState(SHADEMODE, 1)"), 1u);
    EXPECT_EQ(CountCalls("SetRenderState(SHADEMODE, 2)"), 1u);
}

TEST_F(RenderStateCacheDemoDataTest, TechniqueIsSetOncePerNamePointer)
{
    static const char kGlow[] = "techGlowScreen";
    static const char kMenu[] = "techMenuScreen";
    g_Render.SetTechnique(kGlow);
    g_Render.SetTechnique(kGlow);
    g_Render.SetTechnique(kMenu);
    g_Render.SetTechnique(kMenu, 1);
    EXPECT_EQ(CountCalls("Effect.SetTechnique(techGlowScreen)"), 1u);
    EXPECT_EQ(CountCalls("Effect.SetTechnique(techMenuScreen)"), 2u);

    // After the effect is made again (a device reset), the same name must
    // reach the new effect, which starts on its first technique.
    D3DSimulateDeviceLost(g_Render.device);
    g_Render.PresentFrame();
    D3DSimulateDeviceResettable(g_Render.device);
    g_Render.PresentFrame();
    ASSERT_EQ(g_Render.deviceLost, 0);
    D3DClearRecordedCalls();
    g_Render.SetTechnique(kMenu);
    EXPECT_EQ(CountCalls("Effect.SetTechnique(techMenuScreen)"), 1u);
}

TEST_F(RenderStateCacheDemoDataTest, FacesGoToTheRunningPassAndPresentClearsThem)
{
    g_Render.CountFaces(10);
    g_ShadowPass = 1;
    g_Render.CountFaces(20);
    g_ReflectionPass = 1;   // the reflection pass wins when both are set
    g_Render.CountFaces(30);
    g_ShadowPass = g_ReflectionPass = 0;
    EXPECT_EQ(g_Render.mainFaces, 10);
    EXPECT_EQ(g_Render.shadowFaces, 20);
    EXPECT_EQ(g_Render.reflectionFaces, 30);

    const int frames = g_Render.frameCount;
    EXPECT_EQ(g_Render.PresentFrame(), 0);
    EXPECT_EQ(g_Render.frameCount, frames + 1);
    EXPECT_EQ(g_Render.mainFaces + g_Render.shadowFaces + g_Render.reflectionFaces, 0);
}

TEST_F(RenderStateCacheDemoDataTest, RenderTargetAndDepthSurfaceComeBackAfterASave)
{
    g_Render.SaveRenderTarget();
    g_Render.SaveDepthStencil();
    ASSERT_NE(g_Render.keptRenderTarget, nullptr);
    ASSERT_NE(g_Render.keptDepthStencil, nullptr);
    D3DClearRecordedCalls();
    g_Render.RestoreRenderTarget();
    g_Render.RestoreDepthStencil();
    EXPECT_EQ(g_Render.keptRenderTarget, nullptr);
    EXPECT_EQ(g_Render.keptDepthStencil, nullptr);
    EXPECT_EQ(CountCalls("SetRenderTarget(0,"), 1u);
    EXPECT_EQ(CountCalls("SetDepthStencilSurface("), 1u);
    // A restore without a save does nothing.
    g_Render.RestoreRenderTarget();
    EXPECT_EQ(CountCalls("SetRenderTarget(0,"), 1u);
}

TEST(RenderFrameRate, MeasuresOncePerSecondOverTheFramesSinceTheLastMeasure)
{
    // Far past any earlier measurement, so this call measures and restarts.
    const DWORD start = 2000000000u;
    ClockSetManual(start);
    const float first = g_Render.GetFPS();

    // 61 calls spread evenly over 1.01 s: only the last is past the second,
    // and it counts all 61.
    float rate = 0;
    for (int k = 1; k <= 61; k++)
    {
        ClockSetManual(start + DWORD(std::lround(k * 1010.0 / 61.0)));
        rate = g_Render.GetFPS();
        if (k < 61)
        {
            ASSERT_EQ(rate, first) << k;
        }
    }
    EXPECT_NEAR(rate, 60.4f, 0.05f);

    // After the clock wraps round, measuring starts again from there.
    ClockSetManual(500);
    EXPECT_NEAR(g_Render.GetFPS(), 60.4f, 0.05f);
    ClockSetManual(1600);
    EXPECT_NEAR(g_Render.GetFPS(), 1.0f / 1.1f, 0.01f);
    ClockUseSystem();
}

TEST_F(RenderStateCacheDemoDataTest, CursorUsesTheScreenScalesAndSetsBothMousePositions)
{
    // The system cursor moves on the main window to the position scaled to
    // the back buffer; the game's own mouse positions stay on the 800 x 600
    // screen. Different scales across and down show which is used where.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "CursorTestClass";
    RegisterClassA(&wc);
    HWND window =
        CreateWindowExA(0, "CursorTestClass", "cursor", WS_POPUP, 0, 0, 1000, 900, nullptr, nullptr, nullptr, nullptr);
    if (!window)
        SKIP_OR_FAIL_IN_CI() << "no video driver";
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        ;   // whatever the new window brought
    g_Render.scaleX = 1.25f;
    g_Render.scaleY = 1.5f;
    g_MouseX = g_MouseY = g_PrevMouseX = g_PrevMouseY = 0;

    g_Render.SetCursor(300.0f, 200.0f);
    EXPECT_EQ(g_MouseX, 300);
    EXPECT_EQ(g_MouseY, 200);
    EXPECT_EQ(g_PrevMouseX, 300);
    EXPECT_EQ(g_PrevMouseY, 200);
    std::vector<std::pair<int, int>> moves;   // where the window saw the cursor go
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_MOUSEMOVE)
            moves.push_back({LOWORD(msg.lParam), HIWORD(msg.lParam)});
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{375, 300}}));
    DestroyWindow(window);
}

}   // namespace
