// The light manager on the recording device with the demo technique file:
// the sun follows the sky's values every 0.05 s of game time, its light never
// comes in flatter than y = -0.1, and the device states and effect parameters
// carry the sun, ambient and fog colours.
#include "render/LightManager.h"

#include <gtest/gtest.h>

#include <string>

#include "core/GameClock.h"
#include "platform/d3d/D3D9Backend.h"
#include "tests/render/RenderTestSupport.h"

using namespace render_test;

namespace
{

// The sky's values as the light manager reads them.
struct FakeSky
{
    float sunDirection[3] = {0.3f, -0.5f, -0.8f};
    float sunColor[4] = {1.0f, 0.8f, 0.4f, 1.0f};
    float sunIntensity = 1.0f;
    float ambientColor[4] = {0.2f, 0.25f, 0.3f, 1.0f};
    float fogColor[4] = {0.3f, 0.375f, 0.45f, 1.5f};

    SkyLightInputs Inputs() { return SkyLightInputs{sunDirection, sunColor, &sunIntensity, ambientColor, fogColor}; }
};

class LightManagerDemoDataTest : public RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        UseDemoData(true);
        StartDevice();
        ASSERT_NE(g_Render.effect, nullptr);
        g_Clock.Init();
        lights = CLightManager();
        ASSERT_EQ(lights.Init(), 1);
        lights.ConnectSky(sky.Inputs());
    }
    void TearDown() override
    {
        lights.FreeAll();
        RenderFixture::TearDown();
    }

    D3DLIGHT9 DeviceSun()
    {
        D3DLIGHT9 l = {};
        g_Render.device->GetLight(0, &l);
        return l;
    }
    BOOL DeviceSunOn()
    {
        BOOL on = FALSE;
        g_Render.device->GetLightEnable(0, &on);
        return on;
    }
    D3DXVECTOR4 Parameter(const char* name)
    {
        D3DXVECTOR4 v(-9, -9, -9, -9);
        EXPECT_EQ(g_Render.effect->GetVector(name, &v), D3D_OK) << name;
        return v;
    }
    DWORD RenderState(D3DRENDERSTATETYPE state)
    {
        DWORD v = 0;
        g_Render.device->GetRenderState(state, &v);
        return v;
    }

    FakeSky sky;
    CLightManager lights;
};

void ExpectVec4(const D3DXVECTOR4& v, float x, float y, float z, float w)
{
    EXPECT_NEAR(v.x, x, 1e-3f);
    EXPECT_NEAR(v.y, y, 1e-3f);
    EXPECT_NEAR(v.z, z, 1e-3f);
    EXPECT_NEAR(v.w, w, 1e-3f);
}

TEST_F(LightManagerDemoDataTest, InitMakesTheSunADirectionalLightInSlotZero)
{
    EXPECT_EQ(lights.sunSlot, 0);
    EXPECT_EQ(lights.slots[0].index, 0);
    EXPECT_EQ(lights.slots[0].kind, LIGHT_KIND_DIRECTIONAL);
    EXPECT_EQ(lights.slots[0].enabled, 1);
    for (int i = 1; i < LIGHT_SLOTS; ++i)
        EXPECT_EQ(lights.slots[i].index, -1) << i;
    const D3DLIGHT9 l = DeviceSun();
    EXPECT_EQ(l.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_FLOAT_EQ(l.Direction.y, -1.0f);
    EXPECT_FLOAT_EQ(l.Diffuse.r, 0.0f);
    EXPECT_TRUE(DeviceSunOn());
}

TEST_F(LightManagerDemoDataTest, FollowsTheSkyEveryTwentiethOfASecondOfGameTime)
{
    lights.Update();   // the clock starts 60 s after time stamp 0
    EXPECT_NEAR(DeviceSun().Diffuse.g, 0.8f, 1e-6f);
    ExpectVec4(Parameter("DirLight_Diff"), 1.0f, 0.8f, 0.4f, 1.0f);

    sky.sunColor[1] = 0.2f;
    sky.sunIntensity = 0.5f;
    g_Clock.m_GameClock += 30.0f;
    lights.Update();   // 0.03 s later: nothing
    EXPECT_NEAR(DeviceSun().Diffuse.g, 0.8f, 1e-6f);
    EXPECT_NEAR(lights.sunColor[1], 0.8f, 1e-6f);

    g_Clock.m_GameClock += 20.0f;
    lights.Update();   // exactly 0.05 s: still nothing
    EXPECT_NEAR(DeviceSun().Diffuse.g, 0.8f, 1e-6f);

    g_Clock.m_GameClock += 1.0f;
    lights.Update();
    // The colour times the intensity, alpha included.
    EXPECT_NEAR(DeviceSun().Diffuse.g, 0.1f, 1e-6f);
    EXPECT_NEAR(DeviceSun().Specular.r, 0.5f, 1e-6f);
    ExpectVec4(Parameter("DirLight_Spec"), 0.5f, 0.1f, 0.2f, 0.5f);
    EXPECT_EQ(lights.lastUpdate, (uint32_t)g_Clock.m_GameClock);

    // A paused clock stands still: the lights keep what they have.
    sky.sunColor[0] = 0.0f;
    g_Clock.Pause();
    for (int i = 0; i < 5; ++i)
    {
        g_Clock.Update();
        lights.Update();
    }
    EXPECT_NEAR(DeviceSun().Diffuse.r, 0.5f, 1e-6f);
}

TEST_F(LightManagerDemoDataTest, SunLightNeverFlatterThanATenthDown)
{
    struct Case
    {
        float x, y, z, lightY;
    };
    const Case cases[] = {
        {0.3f, 0.2f, -0.9f, -0.1f},    // a sun below the horizon: position (-30000, 10000, 90000)
        {0.6f, -0.05f, 0.8f, -0.1f},   // a grazing sun
        {0.0f, -0.1f, 1.0f, -0.1f},    // just at the limit
        {0.1f, -0.7f, -0.7f, -0.7f},   // a high sun is left alone
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.y);
        sky.sunDirection[0] = c.x;
        sky.sunDirection[1] = c.y;
        sky.sunDirection[2] = c.z;
        lights.lastUpdate = 0;
        lights.Update();
        const D3DLIGHT9 l = DeviceSun();
        EXPECT_FLOAT_EQ(l.Direction.x, c.x);
        EXPECT_FLOAT_EQ(l.Direction.y, c.lightY);
        EXPECT_FLOAT_EQ(l.Direction.z, c.z);
        ExpectVec4(Parameter("DirLight_Dir"), c.x, c.lightY, c.z, 1.0f);
        const D3DXVECTOR4 pos = Parameter("DirLight_Pos");
        EXPECT_NEAR(pos.x, -100000.0f * c.x, 0.5f);
        EXPECT_NEAR(pos.y, -100000.0f * c.lightY, 0.5f);
        EXPECT_NEAR(pos.z, -100000.0f * c.z, 0.5f);
        EXPECT_FLOAT_EQ(pos.w, 1.0f);
    }
}

TEST_F(LightManagerDemoDataTest, AmbientAndFogAsRenderStatesAndParameters)
{
    lights.Update();
    // Each channel times 255, truncated, alpha 255.
    EXPECT_EQ(RenderState(D3DRS_AMBIENT), 0xFF333F4Cu);
    ExpectVec4(Parameter("GlobalAmbient"), 0.2f, 0.25f, 0.3f, 1.0f);
    EXPECT_EQ(RenderState(D3DRS_FOGCOLOR), 0xFF4C5F72u);
    ExpectVec4(Parameter("FogColor"), 0.3f, 0.375f, 0.45f, 1.5f);

    // A pass may change the fog colour; ResetFogColor brings the sky's back.
    const float red[4] = {1, 0, 0, 1};
    lights.SetFogColor(red);
    EXPECT_EQ(RenderState(D3DRS_FOGCOLOR), 0xFFFF0000u);
    lights.ResetFogColor();
    EXPECT_EQ(RenderState(D3DRS_FOGCOLOR), 0xFF4C5F72u);

    // Channels outside 0..1 are held at the ends rather than wrapping.
    const float bright[4] = {1.5f, -0.2f, 0.5f, 1};
    lights.SetFogColor(bright);
    EXPECT_EQ(RenderState(D3DRS_FOGCOLOR), 0xFFFF007Fu);
}

TEST_F(LightManagerDemoDataTest, NightSwitchesTheSunOffButStillWritesIt)
{
    sky.sunIntensity = 0.0f;
    sky.sunDirection[1] = 0.4f;
    D3DClearRecordedCalls();
    lights.Update();
    EXPECT_FALSE(DeviceSunOn());
    EXPECT_EQ(lights.slots[0].enabled, 0);
    EXPECT_FLOAT_EQ(DeviceSun().Diffuse.r, 0.0f);
    EXPECT_FLOAT_EQ(DeviceSun().Direction.y, -0.1f);
    EXPECT_GT(CountCalls("SetLight(0"), 0u);
    EXPECT_EQ(CountCalls("LightEnable(0, 0)"), 1u);

    sky.sunIntensity = 0.3f;
    lights.lastUpdate = 0;
    lights.Update();
    EXPECT_TRUE(DeviceSunOn());
    EXPECT_EQ(lights.slots[0].enabled, 1);
}

TEST_F(LightManagerDemoDataTest, SaveChangeRestoreGivesTheSunBack)
{
    sky.sunIntensity = 0.0f;   // off, so the on/off state comes back too
    lights.Update();
    const D3DLIGHT9 before = DeviceSun();
    lights.SaveSun();

    const float red[4] = {1, 0, 0, 1};
    lights.SetSunColor(red);
    const D3DXVECTOR3 down(0, -1, 0);
    lights.SetSunDirection(&down);
    g_Render.device->LightEnable(0, TRUE);
    lights.slots[0].enabled = 1;
    EXPECT_FLOAT_EQ(DeviceSun().Diffuse.r, 1.0f);

    lights.RestoreSun();
    const D3DLIGHT9 after = DeviceSun();
    EXPECT_FLOAT_EQ(after.Diffuse.r, before.Diffuse.r);
    EXPECT_FLOAT_EQ(after.Diffuse.g, before.Diffuse.g);
    EXPECT_FLOAT_EQ(after.Direction.x, before.Direction.x);
    EXPECT_FLOAT_EQ(after.Direction.y, before.Direction.y);
    EXPECT_FLOAT_EQ(after.Direction.z, before.Direction.z);
    EXPECT_FALSE(DeviceSunOn());
    EXPECT_EQ(lights.slots[0].enabled, 0);
    ExpectVec4(Parameter("DirLight_Diff"), 0.0f, 0.0f, 0.0f, 0.0f);
}

TEST_F(LightManagerDemoDataTest, LightKinds)
{
    const D3DXVECTOR3 point(1, 2, 3);
    struct Case
    {
        int kind;
        D3DLIGHTTYPE type;
        float range, theta, phi, falloff, attenuation2, x;
        bool enabled;
    };
    const Case cases[] = {
        {LIGHT_KIND_POINT, D3DLIGHT_POINT, 25.0f, 0, 0, 0, 0, 1.0f, true},
        {LIGHT_KIND_DIRECTIONAL, D3DLIGHT_DIRECTIONAL, 0.0f, 0, 0, 0, 0, 0.0f, true},
        {LIGHT_KIND_SPOT, D3DLIGHT_SPOT, 25.0f, 0.6283185f, 1.5707964f, 1.0f, 0.05f, 1.0f, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.kind);
        lights.SetLight(2, 5, c.kind, &point, 25.0f);
        D3DLIGHT9 l = {};
        g_Render.device->GetLight(5, &l);
        EXPECT_EQ(l.Type, c.type);
        EXPECT_FLOAT_EQ(l.Range, c.range);
        EXPECT_FLOAT_EQ(l.Position.x, c.x);
        EXPECT_FLOAT_EQ(l.Theta, c.theta);
        EXPECT_FLOAT_EQ(l.Phi, c.phi);
        EXPECT_FLOAT_EQ(l.Falloff, c.falloff);
        EXPECT_FLOAT_EQ(l.Attenuation2, c.attenuation2);
        EXPECT_EQ(lights.slots[2].index, 5);
        EXPECT_EQ(lights.slots[2].enabled, 1);
    }
    // An unknown kind keeps its index and kind and touches the device no more.
    lights.FreeAll();
    D3DClearRecordedCalls();
    lights.SetLight(3, 6, 9, &point, 1.0f);
    EXPECT_EQ(lights.slots[3].index, 6);
    EXPECT_EQ(lights.slots[3].kind, 9);
    EXPECT_EQ(lights.slots[3].enabled, 0);
    EXPECT_TRUE(D3DRecordedCalls().empty());
}

// Around a device reset the lights go off and come back, the sun as it was.
TEST_F(LightManagerDemoDataTest, DisableEnableAndFreeAll)
{
    lights.SetLight(1, 3, LIGHT_KIND_POINT, nullptr, 10.0f);
    lights.Update();
    lights.DisableAll();
    EXPECT_FALSE(DeviceSunOn());
    EXPECT_EQ(lights.slots[0].enabled, 0);
    EXPECT_EQ(lights.slots[1].enabled, 0);
    EXPECT_EQ(lights.slots[1].index, 3);

    // A reset device forgets its lights: EnableAll sets them again.
    D3DLIGHT9 blank = {};
    blank.Type = D3DLIGHT_DIRECTIONAL;
    g_Render.device->SetLight(0, &blank);
    lights.EnableAll();
    EXPECT_TRUE(DeviceSunOn());
    EXPECT_NEAR(DeviceSun().Diffuse.g, 0.8f, 1e-6f);
    EXPECT_EQ(lights.slots[1].enabled, 1);

    lights.FreeAll();
    EXPECT_FALSE(DeviceSunOn());
    for (const LightSlot& s : lights.slots)
    {
        EXPECT_EQ(s.index, -1);
        EXPECT_EQ(s.enabled, 0);
    }
    // With no sun left every sun operation is harmless.
    lights.lastUpdate = 0;
    lights.Update();
    lights.SaveSun();
    lights.RestoreSun();
    EXPECT_FALSE(DeviceSunOn());
}

// The render device switches the lights off and on around its own restore.
TEST_F(LightManagerDemoDataTest, DeviceRestoreEnablesTheLights)
{
    g_LightManager.Init();
    g_LightManager.DisableAll();
    EXPECT_FALSE(DeviceSunOn());
    ASSERT_EQ(g_Render.RestoreDeviceObjects(), 0);
    EXPECT_TRUE(DeviceSunOn());
    g_Render.InvalidateDeviceObjects();
    EXPECT_FALSE(DeviceSunOn());
    g_LightManager.FreeAll();
}

TEST(LightManagerNoDevice, EveryOperationIsSafeWithoutADevice)
{
    g_Render = CD3DRender();
    FakeSky sky;
    CLightManager lights;
    EXPECT_EQ(lights.Init(), 1);
    lights.ConnectSky(sky.Inputs());
    g_Clock.Init();
    lights.Update();
    EXPECT_FLOAT_EQ(lights.sunColor[1], 0.8f);
    lights.DisableAll();
    lights.EnableAll();
    lights.SaveSun();
    lights.RestoreSun();
    lights.ResetFogColor();
    lights.FreeAll();
}

TEST(LightManagerNoSky, UpdateLeavesTheLightsAloneUntilTheSkyIsConnected)
{
    g_Render = CD3DRender();
    CLightManager lights;
    lights.Init();
    g_Clock.Init();
    lights.Update();
    EXPECT_FLOAT_EQ(lights.sunColor[0], 1.0f);   // the constructor's white
    lights.ResetFogColor();
}

}   // namespace
