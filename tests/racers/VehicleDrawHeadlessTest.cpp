// Each demo motorcycle standing on a flat ground, drawn on the real OpenGL
// device at 800 x 600 as the game draws it: the shadow-map pass, then the
// ground with the shadow map, the motorcycle's body, parts, wheels and
// chrome. Each picture is compared with its golden image and also written to
// the build folder.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/Game.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "platform/d3d/D3D9Backend.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Views.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/FixedSun.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"
#include "world/Sky.h"

using namespace render_test;

namespace
{

const UINT kWidth = 800, kHeight = 600;
const DWORD kSkyColour = 0xFFA9C6E2;
const float kStep = 1.0f / 60.0f;

struct GroundVertex
{
    float x, y, z;
    DWORD colour;
};

// A paint and decal per model, chosen to show both colours and the decal.
struct Paint
{
    int decal;
    float colour1[4];
    float colour2[4];
};
const Paint kPaints[4] = {
    {1, {0.85f, 0.08f, 0.06f, 1.0f}, {0.95f, 0.95f, 0.92f, 1.0f}},
    {4, {0.98f, 0.62f, 0.05f, 1.0f}, {0.08f, 0.08f, 0.1f, 1.0f}},
    {3, {0.1f, 0.25f, 0.8f, 1.0f}, {0.96f, 0.85f, 0.1f, 1.0f}},
    {7, {0.12f, 0.45f, 0.2f, 1.0f}, {0.86f, 0.86f, 0.8f, 1.0f}},
};

class VehicleHeadlessDemoDataTest : public RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        D3DSelectBackend(D3DBackendKind::OpenGL);
        if (!hidden.Open((int)kWidth, (int)kHeight))
            SKIP_OR_FAIL_IN_CI() << "no video driver";
        window = hidden.get();
        D3DOverrideAdapterModes({D3DDISPLAYMODE{kWidth, kHeight, 60, D3DFMT_X8R8G8B8}});
        g_ShadowQuality = 3;
        UseDemoData(true);
        ASSERT_EQ(g_Render.InitD3D(1), 0);
        ASSERT_EQ(g_Render.CreateDevice(window, 1, 0, 0), 0) << (Messages().empty() ? "" : Messages()[0]);
        ASSERT_EQ(g_Vehicles.Create(), 1);
        ASSERT_EQ(g_PhysicsWorld.Create(), 1);
        plane.reset(new btStaticPlaneShape(btVector3(0, 1, 0), 0));
        ground = new btRigidBody(0.0f, new btDefaultMotionState(), plane.get());
        g_PhysicsWorld.dynamicsWorld->addRigidBody(ground);
        savedClock = g_Clock;
        g_Clock.m_GameStep = g_Clock.m_RealStep = kStep;
    }

    void TearDown() override
    {
        if (window)
        {
            g_Vehicles.Release();
            g_PhysicsWorld.Destroy();
            g_Views.activeCamera = nullptr;
            g_Views.mainCamera.Release();
            g_Views.shadowCamera.Release();
            g_Render.FreeD3DRender();
            hidden.Close();
            window = nullptr;
        }
        plane.reset();
        g_Clock = savedClock;
        g_Sky = CSky();
        RenderFixture::TearDown();
        D3DSelectBackend(D3DBackendKind::Recording);
    }

    // The motorcycle of `model` settled on the ground at the origin, facing +z.
    CVehicleObject* Settle(int model)
    {
        CVehicleObject* v = g_Vehicles.AddVehicle(g_VehicleModelFiles[model]);
        const float pos[3] = {0, 1.0f, 0}, target[3] = {0, 1.0f, 10}, up[3] = {0, 1, 0};
        v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_PLAYER);
        const Paint& p = kPaints[model];
        int decal = p.decal;
        v->SetPaint(&decal, p.colour1, p.colour2);
        for (int i = 0; i < 120; ++i)
        {
            v->Update();
            g_PhysicsWorld.Step();
        }
        return v;
    }

    // The ground: a road strip along z with lighter shoulders, darkened by
    // the smoothed shadow map looked up at each point's camera-space position.
    void DrawGround(IDirect3DDevice9* device)
    {
        D3DXMATRIX identity, shadow;
        D3DXMatrixIdentity(&identity);
        GetShadowMatrix(&shadow, &identity);
        device->SetTransform(D3DTS_WORLD, &identity);
        device->SetTransform(D3DTS_TEXTURE0, &shadow);
        g_Render.SetLighting(0);
        g_Render.SetCullMode(D3DCULL_NONE);
        g_Render.SetZEnable(1);
        g_Render.SetZWrite(1);
        g_Render.SetAlphaBlend(0);
        g_Render.BindTextureObject(g_Render.shadowTarget1, 0, 0);
        g_Render.SetTexCoordIndex(0, D3DTSS_TCI_CAMERASPACEPOSITION);
        g_Render.SetTextureTransformFlags(0, D3DTTFF_COUNT3);
        g_Render.SetTextureAddress(0, D3DTADDRESS_BORDER);
        g_Render.SetStageColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE, D3DTA_CURRENT,
                                 D3DTA_CURRENT);
        g_Render.SetStageAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        auto strip = [&](float x0, float x1, DWORD near, DWORD far) {
            const GroundVertex v[4] = {{x0, 0, -30, near}, {x0, 0, 30, far}, {x1, 0, -30, near}, {x1, 0, 30, far}};
            device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(GroundVertex));
        };
        strip(-30.0f, -2.2f, 0xFFB9B49F, 0xFFA7A690);
        strip(-2.2f, 2.2f, 0xFF7C7F86, 0xFF6E7178);
        strip(2.2f, 30.0f, 0xFFB9B49F, 0xFFA7A690);
        g_Render.SetTexCoordIndex(0, 0);
        g_Render.SetTextureTransformFlags(0, D3DTTFF_DISABLE);
        g_Render.SetTextureAddress(0, D3DTADDRESS_WRAP);
        g_Render.SetStageColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
        g_Render.SetStageAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
        g_Render.SetLighting(1);
        g_Render.SetCullMode(D3DCULL_CW);
    }

    std::vector<uint8_t> Picture(CVehicleObject* v)
    {
        IDirect3DDevice9* device = g_Render.device;
        CGame game;
        const D3DXVECTOR3 eye(2.35f, 1.25f, 2.05f), at(-0.05f, 0.5f, -0.05f), o(0, 0, 0), z(0, 0, 1);
        g_Views.mainCamera.Init(&eye, &at, D3DX_PI / 4, (float)kWidth / kHeight, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE,
                                VIEWMODE_FREE, CAMERA_MAIN);
        g_Views.shadowCamera.Init(&o, &z, D3DX_PI / 2, 1.0f, CAMERA_NEAR_PLANE, 1000.0f, VIEWMODE_FREE, CAMERA_SHADOW);
        g_Views.activeCamera = &g_Views.mainCamera;
        g_Views.mainCamera.UpdateView();

        testlight::SetFixedSun(device);
        // The sun's light travels along (0.45, -0.75, 0.35): the shadows fall
        // forward and to the right, towards the camera's side.
        D3DXVECTOR3 towardsSun(-0.45f, 0.75f, -0.35f);
        D3DXVec3Normalize(&towardsSun, &towardsSun);
        std::memcpy(g_Sky.shadowDirection, &towardsSun, sizeof(float) * 3);
        g_Sky.shadowStrength = 1.0f;

        device->BeginScene();
        // One update measures the distance and fades the motorcycle in, a
        // shadow pass places the shadow camera, and the visibility then holds
        // for the frame that is drawn.
        v->Update();
        game.RenderShadowMap();
        g_Vehicles.UpdateVisibility();
        game.RenderShadowMap();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSkyColour, 1.0f, 0);
        DrawGround(device);
        g_Vehicles.Render();
        g_Vehicles.RenderChrome();
        device->EndScene();

        UINT w = 0, h = 0;
        std::vector<uint8_t> pixels = testdevice::ReadRenderTargetOf(device, &w, &h);
        EXPECT_EQ(w, kWidth);
        EXPECT_EQ(h, kHeight);
        g_Views.activeCamera = nullptr;
        return pixels;
    }

    testdevice::HiddenWindow hidden;
    HWND window = nullptr;
    std::unique_ptr<btStaticPlaneShape> plane;
    btRigidBody* ground = nullptr;   // owned by the world once added
    CGameClock savedClock;
};

// Hue in degrees and saturation of an R, G, B colour (0..1).
void HueOf(float r, float g, float b, float* hue, float* saturation)
{
    const float hi = std::max(r, std::max(g, b)), lo = std::min(r, std::min(g, b));
    *saturation = hi > 0.0f ? (hi - lo) / hi : 0.0f;
    float h = 0.0f;
    if (hi > lo)
    {
        if (hi == r)
            h = 60.0f * std::fmod((g - b) / (hi - lo), 6.0f);
        else if (hi == g)
            h = 60.0f * ((b - r) / (hi - lo) + 2.0f);
        else
            h = 60.0f * ((r - g) / (hi - lo) + 4.0f);
    }
    *hue = h < 0.0f ? h + 360.0f : h;
}

// Pixels of a strongly coloured paint: the same hue (within 15 degrees) and
// saturated, whatever the light makes of its brightness.
int CountPaint(const std::vector<uint8_t>& bgra, const float* paint)
{
    float hue = 0, saturation = 0;
    HueOf(paint[0], paint[1], paint[2], &hue, &saturation);
    int n = 0;
    for (size_t i = 0; i + 3 < bgra.size(); i += 4)
    {
        float h = 0, s = 0;
        HueOf(bgra[i + 2] / 255.0f, bgra[i + 1] / 255.0f, bgra[i] / 255.0f, &h, &s);
        const float d = std::fabs(h - hue);
        if (s > 0.5f && std::min(d, 360.0f - d) < 15.0f)
            ++n;
    }
    return n;
}

TEST_F(VehicleHeadlessDemoDataTest, EachDemoMotorcycleOnTheGround)
{
    for (int model = 0; model < 4; ++model)
    {
        SCOPED_TRACE(model);
        CVehicleObject* v = Settle(model);
        ASSERT_NE(v, nullptr);
        const std::vector<uint8_t> pixels = Picture(v);
        ASSERT_EQ(pixels.size(), (size_t)kWidth * kHeight * 4);
        const std::string name = "motorcycle_0" + std::to_string(model + 1);
        EXPECT_TRUE(golden::WritePng(testsupport::BuildDir() + "/" + name + ".png", pixels, (int)kWidth, (int)kHeight));

        // The paint shows, the second colour too where it is a colour of its
        // own, and the motorcycle's shadow lies on the road in front of it.
        const Paint& p = kPaints[model];
        EXPECT_GT(CountPaint(pixels, p.colour1), 2000) << "paint colour 1";
        if (model == 2)
        {
            EXPECT_GT(CountPaint(pixels, p.colour2), 500) << "paint colour 2 through the decal";
        }
        const uint32_t shadowed = golden::PixelAt(pixels, (int)kWidth, 400, 480) & 0xFF;
        const uint32_t open = golden::PixelAt(pixels, (int)kWidth, 700, 480) & 0xFF;
        EXPECT_LT(shadowed + 30, open) << "shadow on the road";
        EXPECT_EQ(golden::Mismatch("racers/" + name, pixels, (int)kWidth, (int)kHeight), "");
        g_Vehicles.RemoveVehicle(v);
    }
}

}   // namespace
