// The sky's drawing on the recording device with the demo data: the depth
// clear, the dome, sun and background with their states and materials, the
// wireframe case, the dome's own glow over the day, and the flare's choice
// for the reflection pass.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/GameClock.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/LightManager.h"
#include "render/Views.h"
#include "tests/render/DrawTestSupport.h"
#include "tests/render/RenderTestSupport.h"
#include "world/Sky.h"

using namespace render_test;

namespace
{

class SkyDrawDemoDataTest : public RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        UseDemoData(true);
        StartDevice();
        drawtest::FillDiscFans();
        g_GlowOn = 0;
        g_Clock.Init();
        ASSERT_EQ(g_Sky.Create(), 1);
        SetTime(700000);
        const D3DXVECTOR3 eye(10, 5, 20), at(10, 5, 30);
        g_Views.mainCamera.Init(&eye, &at, D3DX_PI / 2, 4.0f / 3.0f * 0.85f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE,
                                VIEWMODE_FREE, CAMERA_MAIN);
        g_Views.activeCamera = nullptr;
        D3DClearRecordedCalls();
    }
    void TearDown() override
    {
        // The camera's overlay font holds textures of this device.
        g_Views.mainCamera.Release();
        g_Sky.Release();
        g_ReflectionPass = 0;
        RenderFixture::TearDown();
    }
    static void SetTime(float dayTime)
    {
        g_Sky.dayTime = dayTime;
        g_Sky.moonTime = dayTime + 1000000.0f;
        g_Sky.UpdateSun();
    }
    static std::vector<std::string> Calls(const std::string& prefix)
    {
        std::vector<std::string> out;
        for (const std::string& c : D3DRecordedCalls())
            if (c.compare(0, prefix.size(), prefix) == 0)
                out.push_back(c);
        return out;
    }
    static int IndexOf(const std::string& prefix, int from = 0)
    {
        const std::vector<std::string>& calls = D3DRecordedCalls();
        for (size_t i = (size_t)from; i < calls.size(); i++)
            if (calls[i].compare(0, prefix.size(), prefix) == 0)
                return (int)i;
        return -1;
    }
};

// Each channel within one step of the truncated product.
void ExpectArgb(DWORD c, int a, int r, int g, int b)
{
    EXPECT_EQ((int)(c >> 24), a);
    EXPECT_NEAR((int)((c >> 16) & 0xFF), r, 1);
    EXPECT_NEAR((int)((c >> 8) & 0xFF), g, 1);
    EXPECT_NEAR((int)(c & 0xFF), b, 1);
}

// Diffuse, ambient and emissive of a recorded SetMaterial call.
void ExpectMaterial(const std::string& call, std::vector<float> diffuse, std::vector<float> ambient,
                    std::vector<float> emissive)
{
    SCOPED_TRACE(call);
    float m[17];
    ASSERT_EQ(std::sscanf(call.c_str(), "SetMaterial(D %f %f %f %f, A %f %f %f %f, S %f %f %f %f, E %f %f %f %f, P %f)",
                          &m[0], &m[1], &m[2], &m[3], &m[4], &m[5], &m[6], &m[7], &m[8], &m[9], &m[10], &m[11], &m[12],
                          &m[13], &m[14], &m[15], &m[16]),
              17);
    for (int k = 0; k < 4; k++)
    {
        EXPECT_NEAR(m[k], diffuse[k], 1e-4f);
        EXPECT_NEAR(m[4 + k], ambient[k], 1e-4f);
        EXPECT_NEAR(m[8 + k], 0.0f, 1e-6f);
        EXPECT_NEAR(m[12 + k], emissive[k], 1e-4f);
    }
}

TEST_F(SkyDrawDemoDataTest, ClearsDepthThenDomeSunAndBackground)
{
    g_Sky.Draw();
    const std::vector<std::string>& calls = D3DRecordedCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0], "Clear(0, 2, 0x00000000, 1, 0)");   // depth only
    const std::vector<std::string> meshes = Calls("DrawIndexedPrimitive");
    ASSERT_EQ(meshes.size(), 2u);
    const int dome = IndexOf("DrawIndexedPrimitive"), background = IndexOf("DrawIndexedPrimitive", dome + 1);
    const int sun = IndexOf("DrawPrimitiveUP");
    ASSERT_GE(sun, 0);
    EXPECT_LT(dome, sun);
    EXPECT_LT(sun, background);
    EXPECT_EQ(calls[sun], "DrawPrimitiveUP(TRIANGLESTRIP, 2, 24)");

    // The dome without culling, the cull mode put back after it.
    const int cullNone = IndexOf("SetRenderState(CULLMODE, 1)");
    ASSERT_GE(cullNone, 0);
    EXPECT_LT(cullNone, dome);
    const int cullBack = IndexOf("SetRenderState(CULLMODE, 2)", cullNone);
    EXPECT_GT(cullBack, dome);
    EXPECT_LT(cullBack, sun);

    // Materials: the dome lit by the sun's colour and shining by itself, the
    // background by the sun and the normalised ambient with a little glow.
    const std::vector<std::string> materials = Calls("SetMaterial");
    ASSERT_GE(materials.size(), 2u);
    ExpectMaterial(materials[0], {0.8f, 0.72f, 0.32f, 0.8f}, {0, 0, 0, 0}, {1, 1, 1, 1});
    ExpectMaterial(materials.back(), {1, 0.9f, 0.4f, 1}, {70.0f / 88, 70.0f / 88, 1, 1}, {0.25f, 0.25f, 0.25f, 1});
    g_GlowOn = 1;
    D3DClearRecordedCalls();
    g_Sky.Draw();
    ExpectMaterial(Calls("SetMaterial")[0], {0.4f, 0.36f, 0.16f, 0.4f}, {0, 0, 0, 0}, {0.6f, 0.6f, 0.6f, 0.6f});

    // Depth and lighting on again for what follows.
    EXPECT_EQ(calls[calls.size() - 1], "SetRenderState(ZWRITEENABLE, 1)");
    EXPECT_EQ(g_Render.zEnable, 1);
    EXPECT_EQ(g_Render.lighting, 1);
    EXPECT_EQ(g_Render.cullMode, D3DCULL_CW);
}

// The sun billboard: 15 units from the eye towards the sun, 6 x 6, facing
// the eye, in the sun's pure colour.
TEST_F(SkyDrawDemoDataTest, SunBillboardFacesTheEye)
{
    g_Sky.Draw();
    const D3DXVECTOR3 eye = g_Views.mainCamera.eye;
    D3DXVECTOR3 centre(0, 0, 0);
    for (const LitVertex& v : g_Sky.sunQuad)
        centre += D3DXVECTOR3(v.x, v.y, v.z) * 0.25f;
    const D3DXVECTOR3 expected =
        eye - 15.0f * D3DXVECTOR3(g_Sky.sunDirection[0], g_Sky.sunDirection[1], g_Sky.sunDirection[2]);
    EXPECT_NEAR(centre.x, expected.x, 1e-3f);
    EXPECT_NEAR(centre.y, expected.y, 1e-3f);
    EXPECT_NEAR(centre.z, expected.z, 1e-3f);
    const D3DXVECTOR3 side(g_Sky.sunQuad[0].x - g_Sky.sunQuad[2].x, g_Sky.sunQuad[0].y - g_Sky.sunQuad[2].y,
                           g_Sky.sunQuad[0].z - g_Sky.sunQuad[2].z);
    const D3DXVECTOR3 up(g_Sky.sunQuad[0].x - g_Sky.sunQuad[1].x, g_Sky.sunQuad[0].y - g_Sky.sunQuad[1].y,
                         g_Sky.sunQuad[0].z - g_Sky.sunQuad[1].z);
    EXPECT_NEAR(D3DXVec3Length(&side), 6.0f, 1e-3f);
    EXPECT_NEAR(D3DXVec3Length(&up), 6.0f, 1e-3f);
    const D3DXVECTOR3 toEye = eye - centre;
    EXPECT_NEAR(D3DXVec3Dot(&side, &toEye), 0.0f, 1e-2f);
    EXPECT_NEAR(D3DXVec3Dot(&up, &toEye), 0.0f, 1e-2f);
    // (1, 0.9, 0.4) is already pure: its largest channel is 1.
    ExpectArgb(g_Sky.sunQuad[0].color, 255, 255, 229, 102);

    // Glow halves it.
    g_GlowOn = 1;
    g_Sky.Draw();
    ExpectArgb(g_Sky.sunQuad[3].color, 255, 127, 114, 51);
}

TEST_F(SkyDrawDemoDataTest, AWeakSunLeavesOutOnlyTheBillboard)
{
    SetTime(150000);   // night
    ASSERT_LT(g_Sky.sunIntensity, 0.2f);
    g_Sky.Draw();
    EXPECT_TRUE(Calls("DrawPrimitiveUP").empty());
    EXPECT_EQ(Calls("DrawIndexedPrimitive").size(), 2u);
}

TEST_F(SkyDrawDemoDataTest, WireframeOnlyClears)
{
    g_Render.ToggleFillMode();
    D3DClearRecordedCalls();
    g_Sky.Draw();
    g_Sky.flareSize = 300;
    g_Sky.DrawFlare();
    ASSERT_EQ(D3DRecordedCalls().size(), 1u);
    EXPECT_EQ(D3DRecordedCalls()[0], "Clear(0, 3, 0x00000000, 1, 0)");
    EXPECT_FLOAT_EQ(g_Sky.flareSize, 300);
    g_Render.ToggleFillMode();
}

// The flare belongs to the main view: the reflection pass draws none and
// leaves the fade and the occlusion ray to it.
TEST_F(SkyDrawDemoDataTest, ReflectionPassLeavesTheFlareToTheMainPass)
{
    // The sun straight ahead of the camera.
    SetTime(1000000);
    const D3DXVECTOR3 eye(0, 5, 0), at(0, 5 + 0.707f, -0.707f);
    g_Views.mainCamera.eye = eye;
    g_Views.mainCamera.at = at;
    g_Views.mainCamera.UpdateView();
    g_Clock.m_RealStep = 0.1f;

    g_ReflectionPass = 1;
    g_Sky.flareSize = 100;
    g_Sky.lastOcclusionTest = 0;
    D3DClearRecordedCalls();
    g_Sky.DrawFlare();
    EXPECT_TRUE(D3DRecordedCalls().empty());
    EXPECT_FLOAT_EQ(g_Sky.flareSize, 100);
    EXPECT_EQ(g_Sky.lastOcclusionTest, 0u);

    g_ReflectionPass = 0;
    g_Sky.DrawFlare();
    EXPECT_FLOAT_EQ(g_Sky.flareSize, 300);   // 2000 a second for 0.1 s
    EXPECT_EQ(g_Sky.flareOccluded, 0);
    EXPECT_EQ(g_Sky.lastOcclusionTest, g_Clock.GameTimeMs());
    // The glare (a strip) and eight discs (fans).
    EXPECT_EQ(Calls("DrawPrimitiveUP(TRIANGLESTRIP").size(), 1u);
    EXPECT_EQ(Calls("DrawPrimitiveUP(TRIANGLEFAN").size(), 8u);
}

// The occlusion ray goes through the game's hook, from the eye towards the sun.
TEST_F(SkyDrawDemoDataTest, HiddenSunDrawsNoDiscs)
{
    SetTime(1000000);
    g_Views.mainCamera.eye = D3DXVECTOR3(0, 5, 0);
    g_Views.mainCamera.at = D3DXVECTOR3(0, 5.707f, -0.707f);
    g_Views.mainCamera.UpdateView();
    g_Clock.m_RealStep = 0.1f;
    static float seenFrom[3], seenTo[3];
    const SkyHooks saved = g_SkyHooks;
    g_SkyHooks.sunHidden = [](const float from[3], const float to[3]) {
        for (int k = 0; k < 3; k++)
            seenFrom[k] = from[k], seenTo[k] = to[k];
        return 1;
    };
    g_Sky.flareSize = 200;
    g_Sky.lastOcclusionTest = 0;
    D3DClearRecordedCalls();
    g_Sky.DrawFlare();
    g_SkyHooks = saved;
    EXPECT_EQ(g_Sky.flareOccluded, 1);
    EXPECT_FLOAT_EQ(g_Sky.flareSize, 0);
    EXPECT_TRUE(Calls("DrawPrimitiveUP").empty());
    EXPECT_FLOAT_EQ(seenFrom[1], 5.0f);
    EXPECT_NEAR(seenTo[1], 5.0f + 100000.0f * 0.70710678f, 1.0f);
    EXPECT_NEAR(seenTo[2], -100000.0f * 0.70710678f, 1.0f);
}

TEST_F(SkyDrawDemoDataTest, UpdateSunHandsTheShadowStrengthToTheEffect)
{
    SetTime(700000);
    EXPECT_EQ(Calls("Effect.SetVector(ShadowParam, 48, 64, 0.6, 0)").size(), 1u);
}

// The dome's own glow is the picture as it is at every hour a race can have,
// and fades to a dim blue at night.
TEST(SkyDomeGlow, FullInEveryRaceHourDimAtNight)
{
    CSky sky;
    for (float day = 600000; day <= 1400000; day += 2000)
    {
        if (day > 800000 && day < 1200000)
            continue;   // noon lies between the two windows and is higher still
        sky.dayTime = day;
        sky.moonTime = day + 1000000;
        sky.UpdateSun();
        float glow[3];
        DomeGlowColour(sky.sunDirection[1], sky.moonIntensity, glow);
        for (float g : glow)
            ASSERT_FLOAT_EQ(g, 1.0f) << day;
    }
    float night[3], moonless[3], dusk[3];
    DomeGlowColour(0.7f, 1.0f, night);
    DomeGlowColour(0.7f, 0.0f, moonless);
    DomeGlowColour(-0.05f, 0.0f, dusk);
    EXPECT_LT(night[0], 0.15f);
    EXPECT_GT(night[2], night[0]);   // blue
    EXPECT_GT(night[2], moonless[2]);
    EXPECT_GT(dusk[0], night[0]);
    EXPECT_LT(dusk[0], 1.0f);
}

}   // namespace
