// Skid marks laid by real motorcycles on the grass of the first demo area and
// drawn after its terrain on the OpenGL device, seen from above: one
// motorcycle rolls straight, one slides round a full turn, and one slides,
// is put somewhere else and slides again. Every one of them marks the grass,
// rolling or sliding, in the earth colour the marks take there, and nothing
// joins the two stretches of the motorcycle that was moved. The picture is
// kept in the build folder.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/LayerLinks.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "platform/os/Clock.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "racers/VehicleWheels.h"
#include "render/LightManager.h"
#include "scene/WheelSkids.h"
#include "tests/support/AreaPictures.h"
#include "tests/support/GoldenImage.h"
#include "world/Sky.h"

namespace
{

const float kStep = 1.0f / 60.0f;
const float kDay = 1150000.0f;
const UINT kWidth = 640, kHeight = 480;

class SkidMarksHeadlessDemoDataTest : public areapictures::AreaPictureTest
{
protected:
    SkidMarksHeadlessDemoDataTest()
    {
        windowWidth = (int)kWidth;
        windowHeight = (int)kHeight;
    }

    void SetUp() override
    {
        AreaPictureTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        savedHooks = g_SkidHooks;
        g_GlowOn = 0;
        g_ViewDistance = 500;
        StartDevice(kWidth, kHeight);
        ASSERT_EQ(g_LightManager.Init(), 1);
        ASSERT_EQ(g_Sky.Create(), 1);
        ASSERT_EQ(g_Skids.Create(), 1);
        ASSERT_EQ(g_PhysicsWorld.Create(), 1);
        ClockSetManual(1000);
        g_Clock.Init();
        g_CurrentRace = 0;
        g_CurrentRace = 0;
        ASSERT_EQ(g_Landscape.LoadArea(g_RaceTable.area[0], g_RaceTable.season[0]), 1);
        g_Landscape.Update();
        ASSERT_NE(g_Landscape.heightBody, nullptr);
        ConnectLayers();
        g_Sky.dayTime = kDay;
        g_Sky.moonTime = kDay + 1000000.0f;
        g_Sky.Update();
        g_LightManager.lastUpdate = 0;
        g_LightManager.Update();
        g_Clock.m_GameStep = kStep;
        g_Clock.m_RealStep = kStep;
        started = true;
    }

    void TearDown() override
    {
        if (started)
        {
            g_Vehicles.Clear();
            // The terrain body leaves the world before the world goes.
            ReleaseArea();
            g_PhysicsWorld.Destroy();
            g_Skids.Release();
            g_Sky.Release();
            g_LightManager.FreeAll();
            g_SkidHooks = savedHooks;
            ClockUseSystem();
        }
        AreaPictureTest::TearDown();
    }

    // The most level stretch of grass beside the road, `size` across: its
    // middle and the direction along it.
    bool FindGrass(float size, D3DXVECTOR3* middle, D3DXVECTOR3* along)
    {
        float best = 2.5f;
        for (int i = 4; i + 4 < g_RacePathCount; i += 3)
            for (float away = 25.0f; away <= 80.0f; away += 5.0f)
                for (float sign : {1.0f, -1.0f})
                {
                    const D3DXVECTOR3 a(g_RacePath[i][0], 0, g_RacePath[i][2]);
                    const D3DXVECTOR3 b(g_RacePath[i + 4][0], 0, g_RacePath[i + 4][2]);
                    D3DXVECTOR3 f = b - a;
                    D3DXVec3Normalize(&f, &f);
                    const D3DXVECTOR3 side(f.z, 0, -f.x);
                    const D3DXVECTOR3 m = a + side * (away * sign);
                    float low = 1e9f, high = -1e9f, power = 0.0f;
                    for (float u = -0.5f; u <= 0.5f; u += 0.1f)
                        for (float v = -0.5f; v <= 0.5f; v += 0.1f)
                        {
                            const D3DXVECTOR3 p = m + f * (u * size) + side * (v * size);
                            const float at[3] = {p.x, 0, p.z};
                            low = std::min(low, g_Landscape.GetHeight(at));
                            high = std::max(high, g_Landscape.GetHeight(at));
                            power = std::max(power, g_Landscape.GetRoutePower(at));
                        }
                    if (power <= 20.0f && high - low < best)
                    {
                        best = high - low;
                        const float at[3] = {m.x, 0, m.z};
                        *middle = D3DXVECTOR3(m.x, g_Landscape.GetHeight(at), m.z);
                        *along = f;
                    }
                }
        return best < 2.5f;
    }

    // A motorcycle standing on the ground at p, looking along f.
    CVehicleObject* Place(int model, const D3DXVECTOR3& p, const D3DXVECTOR3& f)
    {
        CVehicleObject* v = g_Vehicles.AddVehicle(g_VehicleModelFiles[model]);
        EXPECT_NE(v, nullptr);
        if (!v)
            return nullptr;
        const float at[3] = {p.x, 0, p.z};
        const float y = g_Landscape.GetHeight(at) + 1.0f;
        const float pos[3] = {p.x, y, p.z}, target[3] = {p.x + f.x * 10, y, p.z + f.z * 10}, up[3] = {0, 1, 0};
        v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_PLAYER);
        return v;
    }

    static void Launch(CVehicleObject* v, float kmh)
    {
        const btVector3 f(v->world._31, 0.0f, v->world._33);
        v->body->setLinearVelocity(f.normalized() * (kmh / 3.6f));
    }

    struct Rider
    {
        CVehicleObject* v;
        float throttle, steer;
    };

    static void Frames(std::vector<Rider>& riders, int count)
    {
        for (int n = 0; n < count; ++n)
        {
            for (Rider& r : riders)
            {
                r.v->Throttle = r.throttle;
                r.v->BrakeInput = 0.0f;
                r.v->SteerInput = r.steer;
                r.v->Update();
            }
            g_PhysicsWorld.Step();
        }
    }

    std::vector<uint8_t> Draw(bool marks)
    {
        IDirect3DDevice9* device = g_Render.device;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFF00FF, 1.0f, 0);
        device->BeginScene();
        g_Views.mainCamera.UpdateView();
        g_Landscape.UpdateVisibility();
        g_Sky.Draw();
        g_Landscape.Draw();
        if (marks)
            g_Skids.Render();
        device->EndScene();
        UINT w = 0, h = 0;
        std::vector<uint8_t> pixels = testdevice::ReadRenderTargetOf(device, &w, &h);
        EXPECT_EQ(w, kWidth);
        EXPECT_EQ(h, kHeight);
        return pixels;
    }

    // The screen pixel of a ground point, or false when it is off the screen.
    static bool Pixel(const D3DXVECTOR3& p, int* x, int* y)
    {
        D3DXMATRIX vp;
        g_Views.mainCamera.GetViewProj(&vp);
        D3DXVECTOR4 clip;
        D3DXVec3Transform(&clip, &p, &vp);
        if (clip.w <= 0.0f)
            return false;
        *x = (int)((clip.x / clip.w + 1.0f) * 0.5f * kWidth);
        *y = (int)((1.0f - clip.y / clip.w) * 0.5f * kHeight);
        return *x >= 2 && *y >= 2 && *x < (int)kWidth - 2 && *y < (int)kHeight - 2;
    }

    // Pixels within two of the point whose colour the marks changed.
    static int Changed(const std::vector<uint8_t>& bare, const std::vector<uint8_t>& marked, const D3DXVECTOR3& p)
    {
        int x = 0, y = 0, changed = 0;
        if (!Pixel(p, &x, &y))
            return -1;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
            {
                const size_t i = ((size_t)(y + dy) * kWidth + (size_t)(x + dx)) * 4;
                if (std::abs(bare[i] - marked[i]) + std::abs(bare[i + 1] - marked[i + 1]) +
                        std::abs(bare[i + 2] - marked[i + 2]) >
                    6)
                    ++changed;
            }
        return changed;
    }

    SkidHooks savedHooks;
    bool started = false;
};

D3DXVECTOR3 Ground(const CVehicleObject* v)
{
    const float at[3] = {v->Position[0], 0, v->Position[2]};
    return D3DXVECTOR3(v->Position[0], g_Landscape.GetHeight(at), v->Position[2]);
}

TEST_F(SkidMarksHeadlessDemoDataTest, RollingAndSlidingWheelsMarkTheGrassInTheEarthColour)
{
    D3DXVECTOR3 middle(0, 0, 0), along(0, 0, 1);
    ASSERT_TRUE(FindGrass(36.0f, &middle, &along));
    const D3DXVECTOR3 side(along.z, 0, -along.x);

    // Rolling straight, sliding round, and sliding, moved and sliding again.
    CVehicleObject* rolling = Place(0, middle - along * 12.0f - side * 9.0f, along);
    CVehicleObject* turning = Place(1, middle - along * 8.0f, along);
    CVehicleObject* moved = Place(2, middle - along * 12.0f + side * 9.0f, along);
    ASSERT_TRUE(rolling && turning && moved);
    std::vector<Rider> riders = {{rolling, 0, 0}, {turning, 0, 0}, {moved, 0, 0}};
    Frames(riders, 60);   // settled on the ground
    for (Rider& r : riders)
        Launch(r.v, 45.0f);
    riders[0].throttle = 600.0f;
    riders[1].steer = 1.0f;
    riders[2].steer = -1.0f;
    // Where the rolling motorcycle went with both wheels on the ground for
    // the last 12 frames or more: its strips are open and past their faded-in
    // first point there. It hops now and then on the uneven grass, and a
    // wheel off the ground ends its strip.
    std::vector<D3DXVECTOR3> rolled;
    int onGroundFor = 0;
    const auto roll = [&] {
        const bool both = rolling->Vehicle->getWheelInfo(0).m_raycastInfo.m_groundObject &&
                          rolling->Vehicle->getWheelInfo(1).m_raycastInfo.m_groundObject;
        onGroundFor = both ? onGroundFor + 1 : 0;
        if (onGroundFor >= 12)
            rolled.push_back(Ground(rolling));
    };
    for (int n = 0; n < 50; ++n)
    {
        Frames(riders, 1);
        roll();
    }
    ASSERT_NE(moved->SkidTrail[0], nullptr) << "the third motorcycle slides";
    const D3DXVECTOR3 before = Ground(moved);
    const float pos[3] = {before.x + along.x * 10.0f, before.y + 1.0f, before.z + along.z * 10.0f};
    const float target[3] = {pos[0] + along.x * 10.0f, pos[1], pos[2] + along.z * 10.0f}, up[3] = {0, 1, 0};
    moved->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_PLAYER);
    Launch(moved, 45.0f);
    const D3DXVECTOR3 after = Ground(moved);
    for (int n = 0; n < 40; ++n)
    {
        Frames(riders, 1);
        roll();
    }
    EXPECT_GT(rolling->Speed, 30.0f);
    EXPECT_EQ(rolling->WheelSliding[0] + rolling->WheelSliding[1], 0) << "it rolls";
    EXPECT_NE(rolling->SkidTrail[0], nullptr);
    EXPECT_NE(rolling->SkidTrail[1], nullptr);

    // From above the middle of the stretch, by day.
    const D3DXVECTOR3 eye = middle + D3DXVECTOR3(0, 24.0f, 0) - along * 2.0f, at = middle + along * 1.0f;
    g_Views.mainCamera.Init(&eye, &at, D3DX_PI / 3, (float)kWidth / kHeight, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE,
                            VIEWMODE_FREE, CAMERA_MAIN);
    g_Views.activeCamera = &g_Views.mainCamera;
    g_Landscape.Update();
    const std::vector<uint8_t> bare = Draw(false);
    const std::vector<uint8_t> marked = Draw(true);
    ASSERT_EQ(marked.size(), (size_t)kWidth * kHeight * 4);
    const std::string path = testsupport::BuildDir() + "/skid_marks_grass.png";
    EXPECT_TRUE(golden::WritePng(path, marked, (int)kWidth, (int)kHeight)) << path;

    // A mark along the way the rolling motorcycle went.
    int rolledMarked = 0, rolledSeen = 0;
    for (const D3DXVECTOR3& p : rolled)
    {
        const int c = Changed(bare, marked, p);
        if (c >= 0)
        {
            ++rolledSeen;
            rolledMarked += c > 0;
        }
    }
    EXPECT_GT(rolledSeen, 40);
    EXPECT_GE(rolledMarked, rolledSeen * 9 / 10) << rolledMarked << " of " << rolledSeen;

    // Nothing between where the moved motorcycle was and where it went.
    int gapChanged = 0;
    for (float t = 0.3f; t <= 0.7f; t += 0.05f)
        gapChanged += std::max(0, Changed(bare, marked, before + (after - before) * t));
    EXPECT_EQ(gapChanged, 0);

    // The slides: marks whose colour, blended over the grass, is the
    // earth colour (0.6, 0.2, 0) of the marks. With m = g (1 - a) + c a and
    // c = k (153, 51, 0): the blue channel gives a, red and green then k.
    int markedPixels = 0, earth = 0;
    for (size_t i = 0; i < bare.size(); i += 4)
    {
        // The pixels are read as blue, green, red, alpha.
        const float b0 = bare[i], g0 = bare[i + 1], r0 = bare[i + 2];
        const float b1 = marked[i], g1 = marked[i + 1], r1 = marked[i + 2];
        if (std::fabs(r1 - r0) + std::fabs(g1 - g0) + std::fabs(b1 - b0) < 30.0f || b0 < 20.0f)
            continue;
        ++markedPixels;
        const float a = (b0 - b1) / b0;
        if (a < 0.2f)
            continue;
        const float redShare = (r1 - r0 * (1.0f - a)) / a, greenShare = (g1 - g0 * (1.0f - a)) / a;
        if (std::fabs(redShare - 3.0f * greenShare) < 0.25f * redShare + 12.0f && redShare > 60.0f)
            ++earth;
    }
    EXPECT_GT(markedPixels, 300);
    EXPECT_GT(earth, markedPixels * 7 / 10) << earth << " of " << markedPixels;
}

}   // namespace
