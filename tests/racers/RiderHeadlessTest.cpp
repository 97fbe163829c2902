// A demo rider drawn on the real OpenGL device, headless: on its motorcycle,
// and fallen on the ground after a throw. The pictures are saved in the build
// folder and compared with their golden images.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/Game.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Rand.h"
#include "racers/HumanManager.h"
#include "racers/HumanObject.h"
#include "racers/RagDoll.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/CameraHooks.h"
#include "render/Views.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/FixedSun.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"
#include "world/Landscape.h"

using namespace render_test;

namespace
{

const UINT kWidth = 320, kHeight = 240;
const DWORD kSkyColour = 0xFF8FB4DC;
const float kStep = 1.0f / 60.0f;

struct GroundVertex
{
    float x, y, z, nx, ny, nz;
};

class RiderHeadlessDemoDataTest : public RenderFixture
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
        g_ShadowQuality = 0;
        UseDemoData(true);
        ClearRaceBlock();
        g_CurrentRace = 0;
        ASSERT_EQ(g_Render.InitD3D(1), 0);
        ASSERT_EQ(g_Render.CreateDevice(window, 1, 0, 0), 0) << (Messages().empty() ? "" : Messages()[0]);
        // A plane at 0 stands for the ground, also for the camera's ground
        // clearance: the heights of an area an earlier test loaded stay in
        // the landscape and would lift the camera far above the plane.
        m_GroundHeight = g_CameraHooks.groundHeight;
        g_CameraHooks.groundHeight = [](const D3DXVECTOR3&) { return 0.0f; };
        ASSERT_EQ(g_PhysicsWorld.Create(), 1);
        plane.reset(new btStaticPlaneShape(btVector3(0, 1, 0), 0));
        btRigidBody* ground = new btRigidBody(0.0f, new btDefaultMotionState(), plane.get());
        ground->setUserPointer(&g_Landscape);
        g_PhysicsWorld.dynamicsWorld->addRigidBody(ground);
        g_Clock.m_GameStep = g_Clock.m_RealStep = kStep;
        ASSERT_EQ(g_Vehicles.Create(), 1);
        ASSERT_EQ(g_HumanManager.Create(), 1);
        GameSrand(7);
        // The objects measure their distance to the camera every frame (far
        // ones leave the physics and go unseen): the camera looks at the
        // scene from the start, wherever an earlier race left it.
        LookAt(D3DXVECTOR3(3.2f, 2.5f, 2.2f), D3DXVECTOR3(0.0f, 1.6f, 0.0f));
    }

    void TearDown() override
    {
        g_CameraHooks.groundHeight = m_GroundHeight;
        g_Vehicles.Release();
        g_HumanManager.Release();
        g_PhysicsWorld.Destroy();
        plane.reset();
        ClearRaceBlock();
        g_Views.activeCamera = nullptr;
        g_Views.mainCamera.Release();
        g_Render.FreeD3DRender();
        hidden.Close();
        window = nullptr;
        RenderFixture::TearDown();
        D3DSelectBackend(D3DBackendKind::Recording);
    }

    CVehicleObject* PlaceMotorcycle(float x = 0.0f, float z = 0.0f)
    {
        CVehicleObject* v = g_Vehicles.AddVehicle(g_VehicleModelFiles[0]);
        const float pos[3] = {x, 0.8f, z}, target[3] = {x, 0.8f, z + 10}, up[3] = {0, 1, 0};
        v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_PLAYER);
        v->CreateRider();
        return v;
    }

    static void Frame(CVehicleObject* v)
    {
        v->Update();
        g_PhysicsWorld.Step();
        g_HumanManager.Update();
    }

    static void LookAt(const D3DXVECTOR3& eye, const D3DXVECTOR3& at)
    {
        CCamera& camera = g_Views.mainCamera;
        camera.Init(&eye, &at, D3DX_PI / 4, (float)kWidth / kHeight, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, VIEWMODE_FREE,
                    CAMERA_MAIN);
        g_Views.activeCamera = &camera;
        camera.UpdateView();
    }

    std::vector<uint8_t> Draw(const D3DXVECTOR3& eye, const D3DXVECTOR3& at)
    {
        LookAt(eye, at);
        return DrawScene();
    }

    // The scene from the main camera as it stands (without the motorcycles
    // when asked: the riders alone).
    std::vector<uint8_t> DrawScene(bool motorcycles = true)
    {
        g_HumanManager.Update();
        g_HumanManager.UpdateVisibility();
        g_Vehicles.UpdateVisibility();

        IDirect3DDevice9* device = g_Render.device;
        testlight::SetFixedSun(device);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSkyColour, 1.0f, 0);
        device->BeginScene();
        DrawGround(device);
        if (motorcycles)
            g_Vehicles.Render();
        g_HumanManager.Render();
        device->EndScene();

        UINT w = 0, h = 0;
        std::vector<uint8_t> pixels = testdevice::ReadRenderTargetOf(device, &w, &h);
        EXPECT_EQ(w, kWidth);
        EXPECT_EQ(h, kHeight);
        return pixels;
    }

    // The ground and the sky alone, from the main camera.
    std::vector<uint8_t> DrawSceneWithoutAnything()
    {
        IDirect3DDevice9* device = g_Render.device;
        testlight::SetFixedSun(device);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kSkyColour, 1.0f, 0);
        device->BeginScene();
        DrawGround(device);
        device->EndScene();
        UINT w = 0, h = 0;
        return testdevice::ReadRenderTargetOf(device, &w, &h);
    }

    // A plain lit ground under the scene.
    static void DrawGround(IDirect3DDevice9* device)
    {
        g_Render.SetLighting(1);
        g_Render.SetCullMode(D3DCULL_NONE);
        g_Render.SetZEnable(1);
        g_Render.SetZWrite(1);
        g_Render.SetAlphaBlend(0);
        g_Render.BindTexture(-1, 0, 0);
        g_Render.SetStageColorOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
        D3DMATERIAL9 m = {};
        m.Diffuse = D3DCOLORVALUE{0.55f, 0.6f, 0.45f, 1.0f};
        m.Ambient = m.Diffuse;
        g_Render.SetMaterial(&m, 0);
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        device->SetTransform(D3DTS_WORLD, &identity);
        const float g = 40.0f;
        const GroundVertex quad[4] = {
            {-g, 0, -g, 0, 1, 0}, {-g, 0, g, 0, 1, 0}, {g, 0, -g, 0, 1, 0}, {g, 0, g, 0, 1, 0}};
        device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(GroundVertex));
        g_Render.SetStageColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
        g_Render.SetCullMode(D3DCULL_CW);
    }

    void Save(const std::vector<uint8_t>& pixels, const std::string& name)
    {
        const std::string path = testsupport::BuildDir() + "/" + name + ".png";
        EXPECT_TRUE(golden::WritePng(path, pixels, (int)kWidth, (int)kHeight)) << path;
    }

    testdevice::HiddenWindow hidden;
    HWND window = nullptr;
    std::unique_ptr<btStaticPlaneShape> plane;
    decltype(g_CameraHooks.groundHeight) m_GroundHeight = nullptr;
};

TEST_F(RiderHeadlessDemoDataTest, RiderOnItsMotorcycle)
{
    CVehicleObject* v = PlaceMotorcycle();
    ASSERT_NE(v->Rider, nullptr);
    for (int i = 0; i < 60; ++i)
        Frame(v);
    ASSERT_EQ(v->Rider->RagDoll, nullptr);
    const D3DXVECTOR3 at(v->Position[0], v->Position[1] + 0.8f, v->Position[2]);
    const std::vector<uint8_t> pixels = Draw(at + D3DXVECTOR3(3.2f, 0.9f, 2.2f), at);
    ASSERT_EQ(pixels.size(), (size_t)kWidth * kHeight * 4);
    Save(pixels, "rider_on_motorcycle");
    EXPECT_EQ(golden::Mismatch("racers/rider_on_motorcycle", pixels, (int)kWidth, (int)kHeight, 12), "");
}

TEST_F(RiderHeadlessDemoDataTest, FallenRiderOnTheGround)
{
    CVehicleObject* v = PlaceMotorcycle();
    ASSERT_NE(v->Rider, nullptr);
    for (int i = 0; i < 30; ++i)
        Frame(v);
    const float throwVelocity[3] = {2.5f, 2.5f, 7.0f};
    v->Rider->SetRagdoll(1, throwVelocity);
    ASSERT_NE(v->Rider->RagDoll, nullptr);
    for (int i = 0; i < 600 && v->Rider->inWorld; ++i)
        Frame(v);
    ASSERT_NE(v->Rider->RagDoll, nullptr);
    EXPECT_EQ(v->Rider->inWorld, 0) << "the ragdoll came to rest";
    const D3DXVECTOR3 at(v->Rider->Position[0], 0.2f, v->Rider->Position[2]);
    const std::vector<uint8_t> pixels = Draw(at + D3DXVECTOR3(2.2f, 1.3f, -1.6f), at);
    ASSERT_EQ(pixels.size(), (size_t)kWidth * kHeight * 4);
    Save(pixels, "rider_fallen");
    EXPECT_EQ(golden::Mismatch("racers/rider_fallen", pixels, (int)kWidth, (int)kHeight, 12), "");
}

// The on-board view looks out from the rider's eye: its own rider is left
// out (its helmet and arms would fill the middle of the picture), a rider
// ahead is drawn. The same eye in the free view still draws both.
TEST_F(RiderHeadlessDemoDataTest, TheOnBoardViewLeavesOutItsOwnRiderOnly)
{
    CVehicleObject* own = PlaceMotorcycle();
    CVehicleObject* ahead = PlaceMotorcycle(0.6f, 6.0f);
    ASSERT_NE(own->Rider, nullptr);
    ASSERT_NE(ahead->Rider, nullptr);
    for (int i = 0; i < 60; ++i)
    {
        Frame(own);
        ahead->Update();
    }
    CCamera& camera = g_Views.mainCamera;
    LookAt(D3DXVECTOR3(0, 2, -3), D3DXVECTOR3(0, 1, 0));
    camera.SetMode(VIEWMODE_ONBOARD, own);
    camera.Update();
    ASSERT_EQ(camera.viewMode, VIEWMODE_ONBOARD);
    const std::vector<uint8_t> onboard = DrawScene();
    ASSERT_EQ(onboard.size(), (size_t)kWidth * kHeight * 4);
    Save(onboard, "rider_onboard");
    EXPECT_EQ(golden::Mismatch("racers/rider_onboard", onboard, (int)kWidth, (int)kHeight, 12), "");

    // The riders alone: in the on-board view only the rider ahead, in the
    // free view from the same eye also the own one, over the lower middle of
    // the picture.
    const std::vector<uint8_t> ridersOnboard = DrawScene(false);
    camera.viewMode = VIEWMODE_FREE;
    const std::vector<uint8_t> ridersFree = DrawScene(false);
    Save(ridersFree, "rider_onboard_free");
    auto differing = [](const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, UINT x0, UINT x1, UINT y0,
                        UINT y1) {
        int n = 0;
        for (UINT y = y0; y < y1; ++y)
            for (UINT x = x0; x < x1; ++x)
            {
                const size_t i = ((size_t)y * kWidth + x) * 4;
                if (std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 60)
                    ++n;
            }
        return n;
    };
    EXPECT_GT(differing(ridersOnboard, ridersFree, 0, kWidth, kHeight / 2, kHeight), (int)(kWidth * kHeight / 20));
    // The rider ahead is in the on-board picture of the riders: it differs
    // from the ground and sky alone around the middle.
    const std::vector<uint8_t> empty = DrawSceneWithoutAnything();
    EXPECT_GT(differing(ridersOnboard, empty, kWidth / 3, kWidth * 2 / 3, kHeight / 3, kHeight * 5 / 6), 400);
}

}   // namespace
