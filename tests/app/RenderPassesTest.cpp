// Render passes: the shadow casters of each shadow quality around the layer
// copy, the restoring of everything a pass changes, the reflection pass only
// with visible water, and one picture of a box's shadow on a plane.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Game.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/RaceState.h"
#include "core/RaceTable.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "render/D3DRender.h"
#include "tests/render/RenderStateRecords.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"
#include "tests/world/OneWaterPart.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/LandscapeDraw.h"
#include "world/LandscapeTestSupport.h"
#include "world/Sky.h"

namespace
{
const float kPi = 3.14159265358979f;

// The render device's fields the passes read, kept and put back around each test.
struct SavedRender
{
    SavedRender()
    {
        device = g_Render.device;
        effect = g_Render.effect;
        std::memcpy(sizes, &g_Render.screenWidth, sizeof(sizes));
        targets[0] = g_Render.reflectionTarget;
        targets[1] = g_Render.shadowTarget0;
        targets[2] = g_Render.shadowTarget1;
        targets[3] = g_Render.shadowTarget2;
        shadowDepth = g_Render.shadowDepth;
        reflectionDepth = g_Render.reflectionDepth;
        cull = g_Render.cullMode;
        savedCull = g_Render.savedCullMode;
        quality = g_ShadowQuality;
        std::memcpy(shadowDirection, g_Sky.shadowDirection, sizeof(shadowDirection));
        shadowStrength = g_Sky.shadowStrength;
        water = g_Landscape.visibleWaterParts;
        waterAltitude = g_Landscape.waterAltitude;
    }
    ~SavedRender()
    {
        g_Render.device = device;
        g_Render.effect = effect;
        std::memcpy(&g_Render.screenWidth, sizes, sizeof(sizes));
        g_Render.reflectionTarget = targets[0];
        g_Render.shadowTarget0 = targets[1];
        g_Render.shadowTarget1 = targets[2];
        g_Render.shadowTarget2 = targets[3];
        g_Render.shadowDepth = shadowDepth;
        g_Render.reflectionDepth = reflectionDepth;
        g_Render.cullMode = cull;
        g_Render.savedCullMode = savedCull;
        g_ShadowQuality = quality;
        std::memcpy(g_Sky.shadowDirection, shadowDirection, sizeof(shadowDirection));
        g_Sky.shadowStrength = shadowStrength;
        g_Landscape.visibleWaterParts = water;
        g_Landscape.waterAltitude = waterAltitude;
    }
    IDirect3DDevice9* device;
    ID3DXEffect* effect;
    float sizes[8];
    IDirect3DTexture9* targets[4];
    IDirect3DSurface9* shadowDepth;
    IDirect3DSurface9* reflectionDepth;
    int cull, savedCull, quality;
    float shadowDirection[3];
    float shadowStrength;
    int water;
    float waterAltitude;
};

// Render targets of the sizes and formats the render device makes.
struct PassTargets
{
    bool Create(IDirect3DDevice9* device)
    {
        const UINT map = 1024;
        return SUCCEEDED(device->CreateTexture(map, map, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                               &shadow0, nullptr)) &&
               SUCCEEDED(device->CreateTexture(512, 512, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                               &shadow1, nullptr)) &&
               SUCCEEDED(device->CreateTexture(map, map, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                               &shadow2, nullptr)) &&
               SUCCEEDED(device->CreateTexture(512, 512, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                               &reflection, nullptr)) &&
               SUCCEEDED(device->CreateDepthStencilSurface(map, map, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                                           &shadowDepth, nullptr)) &&
               SUCCEEDED(device->CreateDepthStencilSurface(512, 512, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                                           &reflectionDepth, nullptr));
    }
    void Install(IDirect3DDevice9* device)
    {
        g_Render.device = device;
        g_Render.effect = nullptr;
        g_Render.shadowTarget0 = shadow0;
        g_Render.shadowTarget1 = shadow1;
        g_Render.shadowTarget2 = shadow2;
        g_Render.reflectionTarget = reflection;
        g_Render.shadowDepth = shadowDepth;
        g_Render.reflectionDepth = reflectionDepth;
        // What the render device recorded belongs to the device before.
        g_Render.ForgetStates();
    }
    ~PassTargets()
    {
        for (IUnknown* u : std::vector<IUnknown*>{shadow0, shadow1, shadow2, reflection, shadowDepth, reflectionDepth})
            if (u)
                u->Release();
    }
    IDirect3DTexture9* shadow0 = nullptr;
    IDirect3DTexture9* shadow1 = nullptr;
    IDirect3DTexture9* shadow2 = nullptr;
    IDirect3DTexture9* reflection = nullptr;
    IDirect3DSurface9* shadowDepth = nullptr;
    IDirect3DSurface9* reflectionDepth = nullptr;
};

void SetScreen(float w, float h)
{
    g_Render.screenWidth = w;
    g_Render.screenHeight = h;
    g_Render.scaleX = w / 800.0f;
    g_Render.scaleY = h / 600.0f;
}

void InitMainCamera(const D3DXVECTOR3& eye, const D3DXVECTOR3& at, float aspect)
{
    g_Views.mainCamera.Init(&eye, &at, kPi / 3, aspect, 0.2f, 500.0f, VIEWMODE_FREE, CAMERA_MAIN);
    const D3DXVECTOR3 o(0, 0, 0), z(0, 0, 1);
    g_Views.shadowCamera.Init(&o, &z, kPi / 2, 1.0f, 0.2f, 1000.0f, VIEWMODE_FREE, CAMERA_SHADOW);
    g_Views.reflectionCamera = g_Views.mainCamera;
    g_Views.activeCamera = &g_Views.mainCamera;
}

int IndexOf(const std::vector<std::string>& calls, const std::string& prefix, size_t from = 0)
{
    for (size_t i = from; i < calls.size(); i++)
        if (calls[i].compare(0, prefix.size(), prefix) == 0)
            return (int)i;
    return -1;
}

// The recorded call that sets the shadow map's viewport.
std::string ShadowViewport()
{
    return "SetViewport(0, 0, 1024, 1024";
}

class RecordingPassTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The passes find the device through the targets' installation below.
        ASSERT_EQ(D3D_OK, testDevice.Open(D3DBackendKind::Recording, 800, 600, false));
        device = testDevice.device;
        ASSERT_TRUE(targets.Create(device));
        targets.Install(device);
        SetScreen(800, 600);
        InitMainCamera(D3DXVECTOR3(-150, 33, 305), D3DXVECTOR3(-50, 33, 305), 4.0f / 3.0f * 0.85f);
        g_Sky.shadowDirection[0] = 0.6f;
        g_Sky.shadowDirection[1] = 0.7f;
        g_Sky.shadowDirection[2] = 0.3f;
        g_Sky.shadowStrength = 0.5f;
        device->GetRenderTarget(0, &backBuffer);
        // The smoothed layer is the second texture the targets make.
        int made = 0;
        for (const std::string& line : D3DRecordedCalls())
            if (line.compare(0, 14, "CreateTexture(") == 0 && ++made == 2)
                smoothedName = line.substr(line.rfind(' ') + 1);
        D3DClearRecordedCalls();
    }
    void TearDown() override
    {
        g_Views.mainCamera.Release();
        g_Views.shadowCamera.Release();
        if (backBuffer)
            backBuffer->Release();
        // The device goes with the targets' owner below; release order: targets first.
        targets.~PassTargets();
        new (&targets) PassTargets();
        testDevice.Close();
        device = nullptr;
    }

    std::vector<std::string> casters;
    // Each caster records its name and where in the device log it drew.
    void RecordCasters()
    {
        for (ShadowCaster& c : game.shadowCasters)
        {
            const std::string name = c.name;
            c.draw = [this, name] {
                casters.push_back(name);
                casterPositions.push_back((int)D3DRecordedCalls().size());
                EXPECT_EQ(1, g_ShadowPass);
            };
        }
    }
    std::vector<int> casterPositions;
    std::string smoothedName;   // the recording's name of the smoothed shadow layer

    SavedRender saved;
    testdevice::TestDevice testDevice;
    IDirect3DDevice9* device = nullptr;
    IDirect3DSurface9* backBuffer = nullptr;
    PassTargets targets;
    CGame game;
};

TEST_F(RecordingPassTest, ShadowCastersFollowTheQualityAndOnlyTerrainBuildingsAndLeavesReachTheCopy)
{
    const std::string buildings = "CStaticObjectManager::DrawShadows 0x100";
    const std::string leaves = "CNatureManager::DrawTreeLeafsShadow";
    const std::string objects = "CStaticObjectManager::DrawShadows 0x30";
    const std::string vehicles = "CVehicleManager::RenderShadows";
    const std::string riders = "CHumanManager::RenderShadows";
    const std::string grass = "CNatureManager::DrawGrassShadow";
    struct Case
    {
        int quality;
        std::vector<std::string> beforeCopy;
        std::vector<std::string> afterCopy;
    } cases[] = {
        {1, {leaves}, {vehicles, riders}},
        {2, {leaves}, {objects, vehicles, riders}},
        {3, {buildings, leaves}, {objects, vehicles, riders, grass}},
    };
    for (const Case& c : cases)
    {
        g_ShadowQuality = c.quality;
        casters.clear();
        casterPositions.clear();
        RecordCasters();
        D3DClearRecordedCalls();
        game.RenderShadowMap();
        const std::vector<std::string> calls = D3DRecordedCalls();
        const int copy = IndexOf(calls, "StretchRect(");
        ASSERT_GE(copy, 0) << c.quality;
        std::vector<std::string> before, after;
        for (size_t i = 0; i < casters.size(); i++)
            (casterPositions[i] <= copy ? before : after).push_back(casters[i]);
        EXPECT_EQ(c.beforeCopy, before) << "quality " << c.quality;
        EXPECT_EQ(c.afterCopy, after) << "quality " << c.quality;

        // Terrain in black, the other casters in the shadow grey of strength 0.5.
        const int black = IndexOf(calls, "SetRenderState(TEXTUREFACTOR, 4278190080)");
        const int grey = IndexOf(calls, "SetRenderState(TEXTUREFACTOR, 4284045657)");   // 0xFF595959
        EXPECT_GE(black, 0);
        EXPECT_GT(grey, black);
        EXPECT_LT(grey, copy);
        EXPECT_GE(IndexOf(calls, "Clear(0, 3, 0x00000000, 1"), 0);
    }
}

TEST_F(RecordingPassTest, CastersAfterTheTerrainDrawInTheGreyOfTheShadowStrength)
{
    g_ShadowQuality = 1;
    struct Case
    {
        float strength;
        DWORD factor;
    } cases[] = {{0.0f, 0xFF000000}, {0.5f, 0xFF595959}, {1.0f, 0xFFB2B2B2}, {3.0f, 0xFFB2B2B2}};
    for (const Case& c : cases)
    {
        g_Sky.shadowStrength = c.strength;
        D3DClearRecordedCalls();
        game.RenderShadowMap();
        std::vector<std::string> factors;
        for (const std::string& line : D3DRecordedCalls())
            if (line.compare(0, 29, "SetRenderState(TEXTUREFACTOR,") == 0)
                factors.push_back(line);
        const std::vector<std::string> expected = {"SetRenderState(TEXTUREFACTOR, 4278190080)",
                                                   "SetRenderState(TEXTUREFACTOR, " + std::to_string(c.factor) + ")"};
        EXPECT_EQ(expected, factors) << c.strength;
    }
}

TEST_F(RecordingPassTest, ShadowPassRestoresEverythingItChanged)
{
    g_ShadowQuality = 2;
    const CCamera mainBefore = g_Views.mainCamera;
    game.RenderShadowMap();
    EXPECT_EQ(&g_Views.mainCamera, g_Views.activeCamera);
    EXPECT_EQ(0, g_ShadowPass);
    EXPECT_FLOAT_EQ(800.0f, g_Render.screenWidth);
    EXPECT_FLOAT_EQ(600.0f, g_Render.screenHeight);
    EXPECT_FLOAT_EQ(1.0f, g_Render.scaleX);
    IDirect3DSurface9* target = nullptr;
    device->GetRenderTarget(0, &target);
    EXPECT_EQ(backBuffer, target);
    if (target)
        target->Release();
    D3DVIEWPORT9 vp;
    device->GetViewport(&vp);
    EXPECT_EQ(800u, vp.Width);
    EXPECT_EQ(600u, vp.Height);
    EXPECT_EQ(0, std::memcmp(&mainBefore.view, &g_Views.mainCamera.view, sizeof(D3DXMATRIX)));
    // The shadow camera looked at the focus 41.6 ahead of the eye at eye height.
    EXPECT_NEAR(-150.0f + 41.6f, g_Views.shadowFocus.x, 1e-3f);
    EXPECT_NEAR(33.0f, g_Views.shadowFocus.y, 1e-3f);
    EXPECT_NEAR(g_Views.shadowFocus.x + 60.0f, g_Views.shadowCamera.eye.x, 1e-3f);

    const std::vector<std::string> calls = D3DRecordedCalls();
    EXPECT_GE(IndexOf(calls, ShadowViewport()), 0);
    EXPECT_GE(IndexOf(calls, "SetTextureStageState(0, COLOROP, 4)"), 0) << "back to texture x current";
}

TEST_F(RecordingPassTest, ShadowCameraStaysFiniteLookingStraightDownOrUp)
{
    g_ShadowQuality = 1;
    struct Case
    {
        D3DXVECTOR3 eye, at;
        float lightX, lightY, lightZ;
    } cases[] = {
        {D3DXVECTOR3(5, 50, 5), D3DXVECTOR3(5, 0, 5), 0.6f, 0.7f, 0.3f},   // straight down
        {D3DXVECTOR3(5, 0, 5), D3DXVECTOR3(5, 50, 5), 0.6f, 0.7f, 0.3f},   // straight up
        {D3DXVECTOR3(5, 50, 5), D3DXVECTOR3(5, 0, 5), 0.0f, 1.0f, 0.0f},   // and the sun overhead
        {D3DXVECTOR3(0, 5, 0), D3DXVECTOR3(10, 5, 0), 1.0f, 0.0f, 0.0f},   // light along the view
    };
    for (const Case& c : cases)
    {
        InitMainCamera(c.eye, c.at, 1.0f);
        g_Sky.shadowDirection[0] = c.lightX;
        g_Sky.shadowDirection[1] = c.lightY;
        g_Sky.shadowDirection[2] = c.lightZ;
        game.RenderShadowMap();
        for (int i = 0; i < 16; i++)
            ASSERT_TRUE(std::isfinite((&g_Views.shadowCamera.view._11)[i])) << c.eye.y << " " << c.lightY;
        for (const D3DXPLANE& p : g_Views.shadowCamera.frustum)
            ASSERT_TRUE(std::isfinite(p.a) && std::isfinite(p.d));
    }
}

TEST_F(RecordingPassTest, NoShadowQualityNoShadowPass)
{
    g_ShadowQuality = 0;
    RecordCasters();
    game.RenderShadowMap();
    EXPECT_TRUE(casters.empty());
    EXPECT_TRUE(D3DRecordedCalls().empty());
}

// Behind the menu, where the world is drawn at 320 x 240, the reflection
// goes to the smaller target (the one the water then reads) on a viewport
// of its size; with that target missing, or the menu closed, to the full one.
TEST_F(RecordingPassTest, BehindTheMenuTheReflectionGoesToTheSmallerTarget)
{
    IDirect3DTexture9* small = nullptr;
    IDirect3DSurface9* smallDepth = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateTexture(MENU_REFLECTION_SIZE, MENU_REFLECTION_SIZE, 1, D3DUSAGE_RENDERTARGET,
                                            D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &small, nullptr));
    ASSERT_EQ(D3D_OK, device->CreateDepthStencilSurface(MENU_REFLECTION_SIZE, MENU_REFLECTION_SIZE, D3DFMT_D24S8,
                                                        D3DMULTISAMPLE_NONE, 0, FALSE, &smallDepth, nullptr));
    g_Render.menuReflectionTarget = small;
    g_Render.menuReflectionDepth = smallDepth;
    g_Landscape.visibleWaterParts = 2;
    g_Landscape.waterAltitude = 10.0f;
    const std::string full =
        "SetViewport(0, 0, " + std::to_string(REFLECTION_SIZE) + ", " + std::to_string(REFLECTION_SIZE);
    const std::string menu =
        "SetViewport(0, 0, " + std::to_string(MENU_REFLECTION_SIZE) + ", " + std::to_string(MENU_REFLECTION_SIZE);
    const struct
    {
        int menuOpen;
        bool smallMissing;
        bool smallUsed;
    } cases[] = {{1, false, true}, {0, false, false}, {1, true, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.menuOpen) + (c.smallMissing ? " missing" : ""));
        g_Render.menuWorldOpen = c.menuOpen;
        if (c.smallMissing)
            g_Render.menuReflectionDepth = nullptr;
        D3DClearRecordedCalls();
        game.RenderReflection();
        const std::vector<std::string> calls = D3DRecordedCalls();
        EXPECT_EQ(g_Render.ReflectionTarget(), c.smallUsed ? small : g_Render.reflectionTarget);
        EXPECT_EQ(g_Render.ReflectionDepth(), c.smallUsed ? smallDepth : g_Render.reflectionDepth);
        EXPECT_EQ(IndexOf(calls, menu) >= 0, c.smallUsed);
        EXPECT_EQ(IndexOf(calls, full) >= 0, !c.smallUsed);
        EXPECT_FLOAT_EQ(g_Render.screenWidth, 800.0f) << "the screen size put back";
        g_Render.menuReflectionDepth = smallDepth;
    }
    g_Render.menuWorldOpen = 0;
    g_Render.menuReflectionTarget = nullptr;
    g_Render.menuReflectionDepth = nullptr;
    small->Release();
    smallDepth->Release();
}

TEST_F(RecordingPassTest, ReflectionRunsOnlyWithVisibleWaterAndUndoesItsStates)
{
    std::vector<std::string> drawn;
    for (GameStep& s : game.reflectionSteps)
    {
        const std::string name = s.name;
        s.run = [&drawn, name] {
            drawn.push_back(name);
            EXPECT_EQ(1, g_ReflectionPass);
            return 1;
        };
    }
    g_Landscape.visibleWaterParts = 0;
    game.RenderReflection();
    EXPECT_TRUE(drawn.empty());
    EXPECT_TRUE(D3DRecordedCalls().empty()) << "no pass, and the mip bias is never touched";

    g_Landscape.visibleWaterParts = 2;
    g_Landscape.waterAltitude = 10.0f;
    IDirect3DTexture9* target = g_Render.reflectionTarget;
    g_Render.reflectionTarget = nullptr;
    game.RenderReflection();
    EXPECT_TRUE(drawn.empty()) << "no reflection target, no pass";
    g_Render.reflectionTarget = target;

    game.RenderReflection();
    const std::vector<std::string> expected = {"CLandscape::Draw", "CStaticObjectManager::Draw 0x100",
                                               "CStaticObjectManager::DrawLightEffects 0x100",
                                               "CNatureManager::DrawTreeLeafs"};
    EXPECT_EQ(expected, drawn);
    EXPECT_EQ(0, g_ReflectionPass);
    EXPECT_NEAR(-13.0f, g_Views.reflectionCamera.eye.y, 1e-4f) << "the eye mirrored in the water at 10";
    EXPECT_EQ(&g_Views.mainCamera, g_Views.activeCamera);
    EXPECT_EQ(D3DCULL_CW, g_Render.cullMode);
    EXPECT_EQ(D3DCULL_CW, g_Render.savedCullMode);

    const std::vector<std::string> calls = D3DRecordedCalls();
    const int biasOn = IndexOf(calls, "SetSamplerState(0, MIPMAPLODBIAS, 1065353216)");
    const int clip = IndexOf(calls, "SetClipPlane(0, 0, 1, 0, -10)");
    const int ccw = IndexOf(calls, "SetRenderState(CULLMODE, 3)");
    const int clipOn = IndexOf(calls, "SetRenderState(CLIPPLANEENABLE, 1)");
    const int clipOff = IndexOf(calls, "SetRenderState(CLIPPLANEENABLE, 0)");
    const int cw = IndexOf(calls, "SetRenderState(CULLMODE, 2)");
    const int biasOff = IndexOf(calls, "SetSamplerState(1, MIPMAPLODBIAS, 0)");
    EXPECT_GE(biasOn, 0);
    EXPECT_GT(clip, biasOn);
    EXPECT_GT(ccw, clip);
    EXPECT_GT(clipOn, ccw);
    EXPECT_GT(clipOff, clipOn);
    EXPECT_GT(cw, clipOff);
    EXPECT_GT(biasOff, cw);
    EXPECT_GE(IndexOf(calls, "SetViewport(0, 0, 512, 512"), 0);
    // The scissor is set on the reflection target (a new target resets its
    // rectangle) before anything is drawn, and off again before the screen's
    // target returns.
    const int reflectionTarget = IndexOf(calls, "SetRenderTarget(0, ");
    const int rect = IndexOf(calls, "SetScissorRect(");
    const int scissorOn = IndexOf(calls, "SetRenderState(SCISSORTESTENABLE, 1)");
    const int scissorOff = IndexOf(calls, "SetRenderState(SCISSORTESTENABLE, 0)");
    const int screenTarget = IndexOf(calls, "SetRenderTarget(0, ", (size_t)reflectionTarget + 1);
    EXPECT_GT(rect, reflectionTarget);
    EXPECT_GT(scissorOn, rect);
    EXPECT_LT(scissorOn, clipOn);
    EXPECT_GT(scissorOff, clipOff);
    EXPECT_LT(scissorOff, screenTarget);
    IDirect3DSurface9* now = nullptr;
    device->GetRenderTarget(0, &now);
    EXPECT_EQ(backBuffer, now);
    if (now)
        now->Release();
}

// The reflection is drawn only where the water can read it: the water's
// screen rectangle on the target, grown by the ripples' reach (a fortieth of
// the target) and two texels, kept inside the target; nothing without water
// on the screen.
TEST(ReflectionScissorTest, TheWatersScreenRectangleGrownByTheRipplesReach)
{
    landtest::OneWaterPart water;
    CLandPart& part = water.part;

    // From above: x -100..100 across the screen, z -100..100 up it.
    CCamera camera;
    std::memset(static_cast<void*>(&camera), 0, sizeof camera);
    const D3DXVECTOR3 high(0, 100, 0), origin(0, 0, 0), north(0, 0, 1);
    D3DXMatrixLookAtLH(&camera.view, &high, &origin, &north);
    D3DXMatrixOrthoLH(&camera.projection, 200.0f, 200.0f, 1.0f, 1000.0f);
    const struct
    {
        float x0, z0, x1, z1;
        int size;
        RECT expected;
    } cases[] = {
        // u 0.5..0.75, v 0.25..0.5; the reach 0.025 * 512 + 2 = 14.8 texels.
        {0, 0, 50, 50, 512, {241, 113, 399, 271}},
        {0, 0, 50, 50, 256, {119, 55, 201, 137}},    // 0.025 * 256 + 2 = 8.4
        {-150, 90, -90, 150, 512, {0, 0, 41, 41}},   // cut at the screen's corner
        {300, 0, 350, 50, 512, {0, 0, 0, 0}},        // off the screen
    };
    for (const auto& c : cases)
    {
        part.boundsMin[0] = c.x0, part.boundsMin[2] = c.z0;
        part.boundsMax[0] = c.x1, part.boundsMax[2] = c.z1;
        const RECT r = ReflectionScissor(camera, c.size);
        SCOPED_TRACE(std::to_string(c.x0) + " " + std::to_string(c.size));
        EXPECT_EQ(c.expected.left, r.left);
        EXPECT_EQ(c.expected.top, r.top);
        EXPECT_EQ(c.expected.right, r.right);
        EXPECT_EQ(c.expected.bottom, r.bottom);
    }
}

TEST_F(RecordingPassTest, PassesLeaveTheRenderStateCacheTrueToTheDevice)
{
    // The terrain of the reflection turns culling off and back as the real one does.
    for (GameStep& s : game.reflectionSteps)
        s.run = [] {
            g_Render.SaveCullMode();
            g_Render.SetCullMode(D3DCULL_NONE);
            g_Render.RestoreCullMode();
            return 1;
        };
    for (ShadowCaster& c : game.shadowCasters)
        c.draw = [] {};
    g_ShadowQuality = 3;
    g_Landscape.visibleWaterParts = 1;
    const int stage0 = g_Render.stage0Texture;
    g_Render.SetCullMode(D3DCULL_CW);
    g_Render.stage0Texture = 5;
    game.RenderReflection();
    game.RenderShadowMap();

    DWORD cull = 0;
    device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(D3DCULL_CW, (int)cull);
    EXPECT_EQ(g_Render.cullMode, (int)cull) << "the cull record follows the device";
    EXPECT_EQ(-1, g_Render.stage0Texture) << "the shadow layers bound through the effect";
    EXPECT_EQ(nullptr, g_Render.keptRenderTarget) << "each pass gives back the target it kept";
    EXPECT_EQ(nullptr, g_Render.keptDepthStencil);
    const std::vector<std::string> calls = D3DRecordedCalls();
    EXPECT_GE(IndexOf(calls, "SetSamplerState(1, MIPMAPLODBIAS, 1065353216)"), 0) << "bias on both stages";
    g_Render.stage0Texture = stage0;
}

TEST_F(RecordingPassTest, ClipPlaneGoesOnAndOffThroughTheRecordSoTheNextSetterStillReachesTheDevice)
{
    // The reflection's steps as they are, over an empty world; the clip plane
    // is found on while they run.
    DWORD clipDuringSteps = 0;
    game.reflectionSteps.push_back(GameStep{"clip plane probe", [this, &clipDuringSteps] {
                                                device->GetRenderState(D3DRS_CLIPPLANEENABLE, &clipDuringSteps);
                                                return 1;
                                            }});
    g_Landscape.visibleWaterParts = 1;
    g_ShadowQuality = 3;
    // Recorded on before the pass: the pass turns it off at its end.
    g_Render.SetClipPlaneEnable(D3DCLIPPLANE0);
    game.RenderReflection();
    game.RenderShadowMap();
    EXPECT_EQ(DWORD(D3DCLIPPLANE0), clipDuringSteps);
    for (const std::string& line : render_test::StaleRecords())
        ADD_FAILURE() << line;

    DWORD clip = 0;
    device->GetRenderState(D3DRS_CLIPPLANEENABLE, &clip);
    EXPECT_EQ(0u, clip);
    g_Render.SetClipPlaneEnable(D3DCLIPPLANE0);
    device->GetRenderState(D3DRS_CLIPPLANEENABLE, &clip);
    EXPECT_EQ(DWORD(D3DCLIPPLANE0), clip) << "the record followed the pass's change";
}

// A frame's passes over a small loaded area: each drawing step notes its pass,
// its name and the stretch of the device log it made, and then draws as the
// game's step does.
class MainPassOrderTest : public RecordingPassTest
{
protected:
    struct Drawn
    {
        std::string step;
        size_t from, to;   // its calls in D3DRecordedCalls()
    };

    void SetUp() override
    {
        RecordingPassTest::SetUp();
        if (HasFatalFailure())
            return;
        landtest::AddArea(tree, landtest::AreaSpec());
        folder.reset(new testdata::DataFolder(tree, true));
        ClearRaceBlock();
        FillCareerRows();
        ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
        ASSERT_EQ(LookAlongRacePath(&g_Views.mainCamera), 1);
        g_Views.activeCamera = &g_Views.mainCamera;
        g_Landscape.Update();
        g_Landscape.UpdateVisibility();
        g_Landscape.visibleWaterParts = 1;   // so the reflection pass runs
        g_ShadowQuality = 1;                 // leaves, motorcycles and riders cast shadows

        for (GameStep& s : game.reflectionSteps)
            s.run = Noting(std::string("reflection: ") + s.name, s.run);
        for (ShadowCaster& c : game.shadowCasters)
        {
            const std::function<void()> draw = c.draw;
            c.draw = [this, name = "shadow: " + std::string(c.name), draw] {
                Note(name, [draw] {
                    draw();
                    return 1;
                });
            };
        }
        for (GameStep& s : game.mainPassSteps)
            s.run = Noting(std::string("main: ") + s.name, s.run);
        D3DClearRecordedCalls();
    }
    void TearDown() override
    {
        g_Landscape.Release();
        ClearRaceBlock();
        folder.reset();
        RecordingPassTest::TearDown();
    }

    std::function<int()> Noting(const std::string& name, std::function<int()> run)
    {
        return [this, name, run] { return Note(name, run); };
    }
    int Note(const std::string& name, const std::function<int()>& run)
    {
        // The main pass draws into the back buffer, from the main camera, with
        // neither off-screen pass running.
        if (name.compare(0, 5, "main:") == 0)
        {
            IDirect3DSurface9* target = nullptr;
            device->GetRenderTarget(0, &target);
            EXPECT_EQ(backBuffer, target) << name;
            if (target)
                target->Release();
            EXPECT_EQ(0, g_ShadowPass) << name;
            EXPECT_EQ(0, g_ReflectionPass) << name;
            EXPECT_EQ(&g_Views.mainCamera, g_Views.activeCamera) << name;
        }
        const size_t from = D3DRecordedCalls().size();
        const int result = run();
        drawn.push_back(Drawn{name, from, D3DRecordedCalls().size()});
        return result;
    }

    // The steps whose stretch of the log holds a terrain draw: an indexed
    // list over the terrain's vertex count (grass and trees draw lists too).
    std::vector<std::string> StepsDrawingTerrain() const
    {
        const std::vector<std::string>& calls = D3DRecordedCalls();
        const std::string terrainCount = ", " + std::to_string(g_Landscape.terrainVertexCount) + ", ";
        std::vector<std::string> steps;
        for (const Drawn& d : drawn)
            for (size_t i = d.from; i < d.to; i++)
                if (calls[i].compare(0, 35, "DrawIndexedPrimitive(TRIANGLELIST, ") == 0 &&
                    calls[i].find(terrainCount) != std::string::npos)
                {
                    steps.push_back(d.step);
                    break;
                }
        return steps;
    }

    DataTree tree;
    std::unique_ptr<testdata::DataFolder> folder;
    std::vector<Drawn> drawn;
};

TEST_F(MainPassOrderTest, MainPassDrawsInTheGameOrderAfterTheReflectionAndTheShadowMap)
{
    game.Render();

    const std::vector<std::string> expected = {
        "reflection: CLandscape::Draw",
        "reflection: CStaticObjectManager::Draw 0x100",
        "reflection: CStaticObjectManager::DrawLightEffects 0x100",
        "reflection: CNatureManager::DrawTreeLeafs",
        "shadow: CNatureManager::DrawTreeLeafsShadow",
        "shadow: CVehicleManager::RenderShadows",
        "shadow: CHumanManager::RenderShadows",
        "main: CD3DRender::BeginBatch",
        "main: CSky::Draw",
        "main: CStaticObjectManager::Draw 0x110",
        "main: CStaticObjectManager::DrawChromeGlass 0x110",
        "main: CLandscape::Draw",
        "main: CWheelSkids::Render",
        "main: CNatureManager::DrawTreeStems",
        "main: CVehicleManager::Render",
        "main: CVehicleManager::RenderChrome",
        "main: CHumanManager::Render",
        "main: CStaticObjectManager::Draw 0x20",
        "main: CStaticObjectManager::DrawChromeGlass 0x20",
        "main: CNatureManager::DrawGrass",
        "main: CStaticObjectManager::DrawLightEffects 0x110",
        "main: CVehicleManager::RenderEffects",
        "main: CSky::DrawFlare",
        "main: CLandscape::DrawWater",
        "main: CNatureManager::DrawTreeLeafs",
        "main: CD3DRender::EndBatch",
        "main: CD3DRender::RenderBatch",
        "main: CDusts::Render",
        "main: CD3DRender::RenderGlow",
        "main: CD3DRender::RenderMotionBlur",
    };
    std::vector<std::string> order;
    for (const Drawn& d : drawn)
        order.push_back(d.step);
    EXPECT_EQ(expected, order);

    // The terrain is drawn where its step stands in each pass and nowhere
    // else: the steps are what their names say. The water pass draws the
    // terrain's cells that reach the water, from the terrain's own vertices.
    EXPECT_EQ(StepsDrawingTerrain(), (std::vector<std::string>{"reflection: CLandscape::Draw", "main: CLandscape::Draw",
                                                               "main: CLandscape::DrawWater"}));

    // On the device: the reflection target, then the shadow target, then the
    // back buffer's viewport again before the first main step.
    const std::vector<std::string> calls = D3DRecordedCalls();
    ASSERT_EQ(expected.size(), drawn.size());
    const int reflectionView = IndexOf(calls, "SetViewport(0, 0, 512, 512");
    const int shadowView = IndexOf(calls, ShadowViewport(), (size_t)std::max(reflectionView + 1, 0));
    const int mainView = IndexOf(calls, "SetViewport(0, 0, 800, 600", (size_t)std::max(shadowView, 0));
    EXPECT_GE(reflectionView, 0);
    EXPECT_LT((size_t)reflectionView, drawn[0].from);
    EXPECT_GE((size_t)shadowView, drawn[3].to);
    EXPECT_LT((size_t)shadowView, drawn[4].from);
    EXPECT_GE((size_t)mainView, drawn[6].to);
    EXPECT_LT((size_t)mainView, drawn[7].from);
}

TEST_F(RecordingPassTest, DebugKeysShowTheSmoothedShadowLayerInTheUpperRightQuarter)
{
    ASSERT_FALSE(smoothedName.empty());
    const int savedDebug = g_DebugMode, savedActive = g_AppActive;
    const CGameClock savedClock = g_Clock;
    g_ShadowQuality = 0;
    g_AppActive = 1;
    g_Clock.Init();
    struct Case
    {
        int debug, tab, ctrl, shift;
        bool shown;
    } cases[] = {{1, 1, 1, 1, true}, {0, 1, 1, 1, false}, {1, 0, 1, 1, false}, {1, 1, 0, 1, false}};
    for (const Case& c : cases)
    {
        g_DebugMode = c.debug;
        g_KeyFlags[KEY_TAB] = c.tab;
        g_KeyFlags[KEY_CTRL] = c.ctrl;
        g_KeyFlags[KEY_SHIFT] = c.shift;
        D3DClearRecordedCalls();
        game.Frame();
        const std::vector<std::string> calls = D3DRecordedCalls();
        const int begin = IndexOf(calls, "BeginScene"), end = IndexOf(calls, "EndScene");
        const int bound = IndexOf(calls, "SetTexture(0, " + smoothedName + ")");
        EXPECT_GE(begin, 0);
        EXPECT_GT(end, begin);
        if (c.shown)
        {
            EXPECT_GT(bound, begin);
            EXPECT_LT(bound, end);
        }
        else
            EXPECT_EQ(-1, bound) << c.debug << c.tab << c.ctrl;
    }
    g_KeyFlags[KEY_TAB] = g_KeyFlags[KEY_CTRL] = g_KeyFlags[KEY_SHIFT] = 0;
    g_DebugMode = savedDebug;
    g_AppActive = savedActive;
    g_Clock = savedClock;
}

struct ColorVertex
{
    float x, y, z;
    DWORD color;
};

void DrawQuads(IDirect3DDevice9* device, const std::vector<ColorVertex>& v)
{
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    for (size_t i = 0; i + 3 < v.size(); i += 4)
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, &v[i], sizeof(ColorVertex));
}

// A 2 x 2 x 2 box standing on the ground at the origin, as four side quads and the top.
std::vector<ColorVertex> Box(DWORD color)
{
    const float a = -1, b = 1, h = 2;
    return {{a, 0, a, color}, {a, h, a, color}, {b, 0, a, color}, {b, h, a, color}, {b, 0, a, color},
            {b, h, a, color}, {b, 0, b, color}, {b, h, b, color}, {b, 0, b, color}, {b, h, b, color},
            {a, 0, b, color}, {a, h, b, color}, {a, 0, b, color}, {a, h, b, color}, {a, 0, a, color},
            {a, h, a, color}, {a, h, a, color}, {a, h, b, color}, {b, h, a, color}, {b, h, b, color}};
}

TEST(ShadowPicture, BoxCastsItsShadowWhereTheSunPutsIt)
{
    testdevice::TestDevice device;
    if (!device.OpenHeadless(256, 256))
        SKIP_OR_FAIL_IN_CI() << device.error();
    SavedRender saved;
    PassTargets targets;
    ASSERT_TRUE(targets.Create(device.get()));
    targets.Install(device.get());
    SetScreen(256, 256);

    CGame game;
    InitMainCamera(D3DXVECTOR3(2, 9, -10), D3DXVECTOR3(-1, 0, 0), 1.0f);
    // The sun high on the +x, +z side: the shadow falls towards -x, -z.
    D3DXVECTOR3 light(0.6f, 1.0f, 0.3f);
    D3DXVec3Normalize(&light, &light);
    std::memcpy(g_Sky.shadowDirection, &light, sizeof(float) * 3);
    g_Sky.shadowStrength = 1.0f;
    g_ShadowQuality = 3;
    for (ShadowCaster& c : game.shadowCasters)
        c.draw = [] {};
    game.shadowCasters[0].draw = [&device] { DrawQuads(device.get(), Box(0xFFFFFFFF)); };

    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->BeginScene();
    game.RenderShadowMap();

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF203040, 1.0f, 0);
    // The ground: white, darkened by the copy layer looked up through the shadow matrix.
    D3DXMATRIX shadowMatrix;
    GetShadowMatrix(&shadowMatrix, &identity);
    device->SetTexture(0, targets.shadow2);
    device->SetTransform(D3DTS_TEXTURE0, &shadowMatrix);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    const float g = 12.0f;
    DrawQuads(device.get(),
              {{-g, 0, -g, 0xFFFFFFFF}, {-g, 0, g, 0xFFFFFFFF}, {g, 0, -g, 0xFFFFFFFF}, {g, 0, g, 0xFFFFFFFF}});
    // The box itself in red, untextured.
    device->SetTexture(0, nullptr);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    DrawQuads(device.get(), Box(0xFFC02020));
    device->EndScene();

    UINT w = 0, h = 0;
    const std::vector<uint8_t> pixels = device.ReadRenderTarget(&w, &h);
    ASSERT_EQ(256u, w);
    auto brightnessAt = [&](const D3DXVECTOR3& ground) {
        float x = 0, y = 0;
        EXPECT_EQ(1, g_Views.mainCamera.ProjectToScreen(&x, &y, &ground, nullptr));
        const int px = (int)(x * g_Render.scaleX), py = (int)(y * g_Render.scaleY);
        return (int)(golden::PixelAt(pixels, (int)w, px, py) & 0xFF);
    };
    // The top of the box throws its outline 2 x (0.6, 0.3) away from the sun.
    EXPECT_LT(brightnessAt(D3DXVECTOR3(-1.7f, 0, -1.2f)), 96) << "in the shadow";
    EXPECT_GT(brightnessAt(D3DXVECTOR3(1.7f, 0, 1.3f)), 200) << "on the sunny side";
    EXPECT_GT(brightnessAt(D3DXVECTOR3(1.7f, 0, -1.2f)), 200) << "not mirrored to the other side";
    EXPECT_GT(brightnessAt(D3DXVECTOR3(-4.0f, 0, -3.0f)), 200) << "the shadow ends";
    EXPECT_EQ(golden::Mismatch("game/box_shadow", pixels, (int)w, (int)h), "");
    g_Views.mainCamera.Release();
    g_Views.shadowCamera.Release();
}
}   // namespace
