// The post effects on the recording device: the settings and the debug key
// that switch the glow off, how long a blur amount lasts and how strong it
// is, the fallbacks of a device without vertex shaders, and the glow that
// switches itself off when its frame copy fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Controls.h"
#include "core/GameClock.h"
#include "platform/d3d/D3D9Backend.h"
#include "tests/render/RenderTestSupport.h"

using namespace render_test;

namespace
{

std::vector<std::string> CallsStartingWith(const std::string& prefix)
{
    std::vector<std::string> out;
    for (const std::string& call : D3DRecordedCalls())
        if (call.compare(0, prefix.size(), prefix) == 0)
            out.push_back(call);
    return out;
}

class PostEffectsDemoDataTest : public RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        UseDemoData(true);
        StartDevice();
        ASSERT_TRUE(g_Render.glowTexture0 && g_Render.glowTexture1 && g_Render.blurTexture);
        ASSERT_TRUE(g_Render.glowReady && g_Render.blurReady && g_Render.vs11);
        D3DClearRecordedCalls();
    }
    void TearDown() override
    {
        g_KeyFlags[KEY_CTRL] = 0;
        g_DebugLog = 0;
        RenderFixture::TearDown();
    }
};

TEST_F(PostEffectsDemoDataTest, GlowRunsOnlyWithItsSettingAndNotWhileCtrlIsHeldInDebugMode)
{
    struct Case
    {
        int glow, debug, ctrl;
        bool runs;
    } cases[] = {
        {1, 0, 0, true},  {0, 0, 0, false},   // the textures exist either way
        {1, 1, 1, false}, {1, 1, 0, true},  {1, 0, 1, true},
    };
    for (const Case& c : cases)
    {
        g_GlowOn = c.glow;
        g_DebugLog = c.debug;
        g_KeyFlags[KEY_CTRL] = c.ctrl;
        D3DClearRecordedCalls();
        g_Render.RenderGlow();
        const bool ran = CountCalls("StretchRect(") > 0;
        EXPECT_EQ(ran, c.runs) << c.glow << c.debug << c.ctrl;
        if (c.runs)
        {
            // The bright pass and two blurs at the glow's size, then the
            // blurred glow added onto the frame by a plain copy.
            EXPECT_EQ(CountCalls("DrawPrimitive(TRIANGLESTRIP, 0, 2)"), 4u);
            EXPECT_EQ(CountCalls("SetPixelShaderConstantF(0, 5, 6, 2, 0)"), 1u);
            EXPECT_EQ(CountCalls("SetVertexShaderConstantF(0, 0, -0.004, 0.004, 1)"), 2u);
            EXPECT_EQ(CountCalls("Effect.SetTechnique(techCopyScreen)"), 1u);
        }
    }
}

TEST_F(PostEffectsDemoDataTest, BlurLastsWhileItsAmountIsAboveZeroAndItsStrengthIsCapped)
{
    g_Render.blurAmount = 0.75f;
    g_Clock.m_RealStep = 0.25f;
    std::vector<std::string> strengths;
    for (int frame = 0; frame < 4; ++frame)
    {
        D3DClearRecordedCalls();
        g_Render.RenderMotionBlur();
        for (const std::string& s : CallsStartingWith("SetPixelShaderConstantF(0,"))
            strengths.push_back(s);
        EXPECT_EQ(CountCalls("DrawPrimitive(TRIANGLESTRIP, 0, 2)"), frame < 3 ? 1u : 0u) << frame;
    }
    // 0.75 x 8 = 6 is capped at 4; 0.5 gives 4, 0.25 gives 2; at 0 nothing.
    const std::vector<std::string> expected = {"SetPixelShaderConstantF(0, 4, 4, 4, 1)",
                                               "SetPixelShaderConstantF(0, 4, 4, 4, 1)",
                                               "SetPixelShaderConstantF(0, 2, 2, 2, 1)"};
    EXPECT_EQ(strengths, expected);
    EXPECT_FLOAT_EQ(g_Render.blurAmount, 0.0f);

    // Switched off in the settings, a blur amount changes nothing.
    g_BlurOn = 0;
    g_Render.blurAmount = 1.0f;
    D3DClearRecordedCalls();
    g_Render.RenderMotionBlur();
    EXPECT_EQ(CountCalls("StretchRect("), 0u);
    EXPECT_FLOAT_EQ(g_Render.blurAmount, 1.0f);
}

TEST_F(PostEffectsDemoDataTest, WithoutVertexShadersTheBackdropIsATintedCopyAndSmoothingACopy)
{
    g_Render.vs11 = 0;
    g_Render.RenderMenuScreen();
    // One frame copy, then the copy drawn back through the orange tint.
    EXPECT_EQ(CountCalls("StretchRect("), 1u);
    EXPECT_EQ(CountCalls("DrawPrimitiveUP(TRIANGLESTRIP, 2"), 1u);
    EXPECT_EQ(CountCalls("Effect.Begin"), 0u);

    D3DClearRecordedCalls();
    g_Render.SmoothSurface(g_Render.glowTexture0, g_Render.glowTexture1, 0.004f, 0.25f);
    EXPECT_EQ(CountCalls("StretchRect("), 1u);
    EXPECT_EQ(CountCalls("Effect.Begin"), 0u);
    EXPECT_EQ(CountCalls("SetRenderTarget("), 0u);

    // With shaders: the tint and two blurs at 256 x 256, the copy laid
    // over the frame, and no tinted rectangle.
    g_Render.vs11 = 1;
    D3DClearRecordedCalls();
    g_Render.RenderMenuScreen();
    EXPECT_EQ(CountCalls("DrawPrimitive(TRIANGLESTRIP, 0, 2)"), 4u);
    EXPECT_EQ(CountCalls("Effect.SetTechnique(techCopyScreen)"), 1u);
    EXPECT_EQ(CountCalls("DrawPrimitiveUP("), 0u);
}

// Width and height of the device's render target and of its depth surface.
std::string TargetSizes()
{
    std::string out;
    IDirect3DSurface9* target = nullptr;
    IDirect3DSurface9* depth = nullptr;
    D3DSURFACE_DESC desc{};
    if (SUCCEEDED(g_Render.device->GetRenderTarget(0, &target)) && target)
    {
        target->GetDesc(&desc);
        out += std::to_string(desc.Width) + "x" + std::to_string(desc.Height);
        target->Release();
    }
    if (SUCCEEDED(g_Render.device->GetDepthStencilSurface(&depth)) && depth)
    {
        depth->GetDesc(&desc);
        out += " depth " + std::to_string(desc.Width) + "x" + std::to_string(desc.Height);
        depth->Release();
    }
    return out;
}

TEST_F(PostEffectsDemoDataTest, TheWorldBehindTheMenuGoesToASmallerTargetFromWhichTheBackdropIsCopied)
{
    const std::string screen = TargetSizes();
    const float width = g_Render.screenWidth, scaleX = g_Render.scaleX, scaleY = g_Render.scaleY;
    ASSERT_EQ(screen, std::to_string((int)width) + "x" + std::to_string((int)g_Render.screenHeight) + " depth " +
                          std::to_string((int)width) + "x" + std::to_string((int)g_Render.screenHeight));

    // The world and the 2D drawn over it go to the small target, on its own
    // scales of the virtual screen.
    ASSERT_EQ(g_Render.BeginMenuWorld(), 1);
    EXPECT_EQ(TargetSizes(), "320x240 depth 320x240");
    EXPECT_FLOAT_EQ(g_Render.screenWidth, 320.0f);
    EXPECT_FLOAT_EQ(g_Render.scaleX, 0.4f);
    EXPECT_FLOAT_EQ(g_Render.scaleY, 0.4f);
    EXPECT_EQ(g_Render.BeginMenuWorld(), 0);   // once a frame

    // The motion blur copies that small world into the glow's second 256 x
    // 256 target, not into its own 512 x 512 one (named as the recording
    // device names their level 0).
    const auto levelName = [](IDirect3DTexture9* t) {
        IDirect3DSurface9* level = nullptr;
        EXPECT_EQ(t->GetSurfaceLevel(0, &level), D3D_OK);
        D3DClearRecordedCalls();
        g_Render.device->ColorFill(level, nullptr, 0);
        level->Release();
        const std::string fill = CallsStartingWith("ColorFill(").at(0);
        return fill.substr(10, fill.find(',') - 10);
    };
    const std::string small = levelName(g_Render.glowTexture1), full = levelName(g_Render.blurTexture);
    g_Render.blurAmount = 0.5f;
    D3DClearRecordedCalls();
    g_Render.RenderMotionBlur();
    ASSERT_EQ(CallsStartingWith("StretchRect(").size(), 1u);
    EXPECT_NE(CallsStartingWith("StretchRect(")[0].find(", " + small + ","), std::string::npos)
        << CallsStartingWith("StretchRect(")[0] << " " << small << " " << full;
    g_Render.blurAmount = 0.0f;

    // The backdrop copies it, over the back buffer put back.
    D3DClearRecordedCalls();
    g_Render.RenderMenuScreen();
    EXPECT_EQ(TargetSizes(), screen);
    EXPECT_FLOAT_EQ(g_Render.screenWidth, width);
    EXPECT_FLOAT_EQ(g_Render.scaleX, scaleX);
    EXPECT_FLOAT_EQ(g_Render.scaleY, scaleY);
    EXPECT_EQ(CountCalls("StretchRect("), 1u);
    EXPECT_EQ(CountCalls("DrawPrimitive(TRIANGLESTRIP, 0, 2)"), 4u);
    D3DClearRecordedCalls();
    g_Render.PresentFrame();
    EXPECT_EQ(CountCalls("StretchRect("), 0u);

    // A world no backdrop took is shown before the present as it is.
    ASSERT_EQ(g_Render.BeginMenuWorld(), 1);
    D3DClearRecordedCalls();
    g_Render.PresentFrame();
    EXPECT_EQ(CountCalls("StretchRect("), 1u);
    EXPECT_EQ(TargetSizes(), screen);
    EXPECT_FLOAT_EQ(g_Render.scaleX, scaleX);

    // Without shaders the backdrop is the tinted frame itself: the world
    // stays on the back buffer.
    g_Render.vs11 = 0;
    EXPECT_EQ(g_Render.BeginMenuWorld(), 0);
    EXPECT_EQ(TargetSizes(), screen);
    g_Render.vs11 = 1;

    // Over the full-size frame the motion blur keeps its own target.
    g_Render.blurAmount = 0.5f;
    D3DClearRecordedCalls();
    g_Render.RenderMotionBlur();
    ASSERT_EQ(CallsStartingWith("StretchRect(").size(), 1u);
    EXPECT_NE(CallsStartingWith("StretchRect(")[0].find(", " + full + ","), std::string::npos)
        << CallsStartingWith("StretchRect(")[0] << " " << full;
    g_Render.blurAmount = 0.0f;
}

TEST_F(PostEffectsDemoDataTest, NullTexturesAreIgnoredAndAFailedFrameCopySwitchesTheEffectOff)
{
    g_Render.CopyTexture(nullptr, g_Render.glowTexture0);
    g_Render.CopyTexture(g_Render.glowTexture0, nullptr);
    g_Render.SmoothSurface(nullptr, g_Render.glowTexture0, 0.004f, 0.25f);
    EXPECT_TRUE(D3DRecordedCalls().empty());

    // The glow target lost: the copy fails, the glow goes off and is saved.
    IDirect3DTexture9* glow = g_Render.glowTexture0;
    g_Render.glowTexture0 = nullptr;
    g_GlowOn = 1;
    g_Render.RenderGlow();
    g_Render.glowTexture0 = glow;
    EXPECT_EQ(g_GlowOn, 0);
    EXPECT_NE(ReadFileText("Game.ini").find("Glow=0"), std::string::npos) << ReadFileText("Game.ini");
    EXPECT_EQ(CountCalls("DrawPrimitive("), 0u);

    // The same for the blur.
    IDirect3DTexture9* blur = g_Render.blurTexture;
    g_Render.blurTexture = nullptr;
    g_Render.blurAmount = 1.0f;
    g_Render.RenderMotionBlur();
    g_Render.blurTexture = blur;
    EXPECT_EQ(g_BlurOn, 0);
    EXPECT_NE(ReadFileText("Game.ini").find("Blur=0"), std::string::npos);
}

}   // namespace
