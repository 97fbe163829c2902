// Camera: projections, frustum planes, sphere and box culling, projection to
// and from the virtual 800 x 600 screen.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "render/Camera.h"
#include "render/D3DRender.h"

namespace
{
const float kPi = 3.14159265358979f;

class CameraTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::memcpy(saved, &g_Render.screenWidth, sizeof(saved));
        SetBackBuffer(800, 600);
        // At the origin looking along +z; with a square aspect and a 90 degree
        // field the side planes are x = +-z and y = +-z.
        const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1);
        camera.Init(&eye, &at, kPi / 2, 1.0f, 0.2f, 500.0f, VIEWMODE_FREE, CAMERA_AUX);
    }
    void TearDown() override
    {
        camera.Release();
        std::memcpy(&g_Render.screenWidth, saved, sizeof(saved));
    }
    static void SetBackBuffer(float w, float h)
    {
        g_Render.screenWidth = w;
        g_Render.screenHeight = h;
        g_Render.scaleX = w / 800.0f;
        g_Render.scaleY = h / 600.0f;
    }
    // The point at signed distance `outside` beyond the right plane (x = z), at depth 10.
    static D3DXVECTOR3 BeyondRightPlane(float outside)
    {
        const float s = 1.0f / std::sqrt(2.0f);
        return D3DXVECTOR3(10, 0, 10) + D3DXVECTOR3(s, 0, -s) * outside;
    }

    CCamera camera;
    float saved[8];
};

TEST_F(CameraTest, InitSetsUpTheViewAndNormalisedPlanes)
{
    EXPECT_EQ(CAMERA_AUX, camera.kind);
    EXPECT_EQ(VIEWMODE_FREE, camera.viewMode);
    EXPECT_EQ(-1, camera.fadeState);
    EXPECT_FLOAT_EQ(1.0f, camera.up.y);
    for (const D3DXPLANE& p : camera.frustum)
        EXPECT_NEAR(1.0f, std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c), 1e-5f);
    // Plane 0 is the right side: x <= z.
    EXPECT_NEAR(-1.0f / std::sqrt(2.0f), camera.frustum[0].a, 1e-5f);
    EXPECT_NEAR(1.0f / std::sqrt(2.0f), camera.frustum[0].c, 1e-5f);
    D3DXMATRIX product;
    camera.GetViewProj(&product);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXMATRIX viaMul;
    camera.MulViewProj(&viaMul, &identity);
    for (int i = 0; i < 16; i++)
        EXPECT_FLOAT_EQ((&product._11)[i], (&viaMul._11)[i]);
}

TEST_F(CameraTest, SphereIsTestedAtNineTenthsOfItsRadius)
{
    const float r = 2.0f;
    struct Case
    {
        D3DXVECTOR3 centre;
        int visible;
        int plane;
    } cases[] = {
        {D3DXVECTOR3(0, 0, 10), 1, 6},                // straight ahead
        {BeyondRightPlane(0.85f * r), 1, 6},          // mostly outside, still counted
        {BeyondRightPlane(0.9f * r + 0.01f), 0, 0},   // beyond nine tenths: rejected
        {D3DXVECTOR3(-20, 0, 10), 0, 1},              // left
        {D3DXVECTOR3(0, -20, 10), 0, 2},              // below
        {D3DXVECTOR3(0, 20, 10), 0, 3},               // above
        {D3DXVECTOR3(0, 0, 510), 0, 4},               // beyond the far plane
    };
    for (const Case& c : cases)
    {
        int plane = -1;
        EXPECT_EQ(c.visible, camera.SphereVisible(&c.centre, r, &plane)) << c.centre.x << "," << c.centre.y;
        EXPECT_EQ(c.plane, plane) << c.centre.x << "," << c.centre.y;
    }
}

TEST_F(CameraTest, BoxIsRejectedOnlyWhenAllCornersAreBehindOnePlane)
{
    auto box = [](D3DXVECTOR3 lo, D3DXVECTOR3 hi, D3DXVECTOR3 out[8]) {
        for (int i = 0; i < 8; i++)
            out[i] = D3DXVECTOR3(i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z);
    };
    D3DXVECTOR3 corners[8];
    box(D3DXVECTOR3(-12, -1, 9), D3DXVECTOR3(-10.1f, 1, 10), corners);   // just left of x = -z
    EXPECT_EQ(0, camera.BoxVisible(corners));
    box(D3DXVECTOR3(-12, -1, 9), D3DXVECTOR3(-8.9f, 1, 10), corners);   // one corner inside
    EXPECT_EQ(1, camera.BoxVisible(corners));
    box(D3DXVECTOR3(-1000, -1000, -1000), D3DXVECTOR3(1000, 1000, 1000), corners);   // straddles every plane
    EXPECT_EQ(1, camera.BoxVisible(corners));
    box(D3DXVECTOR3(-1, -1, -5), D3DXVECTOR3(1, 1, -3), corners);   // behind the eye
    EXPECT_EQ(0, camera.BoxVisible(corners));
}

TEST_F(CameraTest, ProjectsTheTargetToTheScreenCentreAndRejectsPointsBehind)
{
    camera.SetViewport(0, 0, 800, 600);
    float x = 0, y = 0, depth = 0;
    const D3DXVECTOR3 target = camera.at;
    EXPECT_EQ(1, camera.ProjectToScreen(&x, &y, &target, &depth));
    EXPECT_NEAR(400.0f, x, 1e-3f);
    EXPECT_NEAR(300.0f, y, 1e-3f);
    EXPECT_NEAR(1.0f, depth, 1e-6f);

    const D3DXVECTOR3 behind(0, 0, -5);
    EXPECT_EQ(0, camera.ProjectToScreen(&x, &y, &behind, &depth));
    EXPECT_LT(depth, 0.0f);

    const D3DXVECTOR3 upperLeft(-5, 5, 10);   // y up in the world is up on the screen
    EXPECT_EQ(1, camera.ProjectToScreen(&x, &y, &upperLeft, nullptr));
    EXPECT_NEAR(200.0f, x, 1e-2f);
    EXPECT_NEAR(150.0f, y, 1e-2f);
}

TEST_F(CameraTest, ProjectAndUnprojectRoundTripInVirtualUnitsAtTwoBackBufferSizes)
{
    const D3DXVECTOR3 eye(3, 2, -4), at(10, 1, 20);
    const D3DXVECTOR3 points[] = {D3DXVECTOR3(5, 3, 10), D3DXVECTOR3(12, -1, 40), D3DXVECTOR3(0, 2, 6)};
    for (float width : {800.0f, 1024.0f})
    {
        SetBackBuffer(width, width * 0.75f);
        camera.Init(&eye, &at, kPi / 3, 4.0f / 3.0f, 0.2f, 500.0f, VIEWMODE_FREE, CAMERA_MAIN);
        camera.SetViewport(0, 0, 800, 600);
        EXPECT_EQ((DWORD)width, camera.viewport.Width);
        for (const D3DXVECTOR3& p : points)
        {
            float x = 0, y = 0;
            ASSERT_EQ(1, camera.ProjectToScreen(&x, &y, &p, nullptr));
            EXPECT_GE(x, 0.0f);
            EXPECT_LT(x, 800.0f);
            D3DXVECTOR3 far;
            camera.Unproject(x, y, &far, nullptr);
            // The far-plane point under the projected position lies on the ray through p.
            D3DXVECTOR3 toPoint = p - eye, toFar = far - eye;
            D3DXVec3Normalize(&toPoint, &toPoint);
            D3DXVec3Normalize(&toFar, &toFar);
            EXPECT_NEAR(1.0f, D3DXVec3Dot(&toPoint, &toFar), 1e-5f) << width;
            float depth = 0;
            camera.ProjectToScreen(nullptr, nullptr, &far, &depth);
            EXPECT_NEAR(500.0f, depth, 0.5f) << "on the far plane";
        }
    }
}

TEST_F(CameraTest, ShadowCameraIsAlwaysTheFixedOrthographicBox)
{
    const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1);
    CCamera shadow;
    shadow.Init(&eye, &at, kPi / 2, 1.0f, 5.0f, 10.0f, VIEWMODE_FREE, CAMERA_SHADOW);
    const struct
    {
        D3DXVECTOR3 in;
        D3DXVECTOR3 out;
    } cases[] = {
        {D3DXVECTOR3(32, 32, 1000), D3DXVECTOR3(1, 1, 1)},
        {D3DXVECTOR3(-32, -32, 0.2f), D3DXVECTOR3(-1, -1, 0)},
        {D3DXVECTOR3(16, 0, 500.1f), D3DXVECTOR3(0.5f, 0, 0.5f)},
    };
    for (const auto& c : cases)
    {
        D3DXVECTOR3 clip;
        D3DXVec3TransformCoord(&clip, &c.in, &shadow.projection);
        EXPECT_NEAR(c.out.x, clip.x, 1e-5f);
        EXPECT_NEAR(c.out.y, clip.y, 1e-5f);
        EXPECT_NEAR(c.out.z, clip.z, 1e-4f);
    }
    shadow.Release();
}

TEST_F(CameraTest, ByteCopyKeepsEverythingTheCullingNeeds)
{
    CCamera copy;
    std::memcpy(static_cast<void*>(&copy), &camera, sizeof(CCamera));
    const D3DXVECTOR3 ahead(0, 0, 10), left(-20, 0, 10);
    EXPECT_EQ(1, copy.SphereVisible(&ahead, 1.0f));
    EXPECT_EQ(0, copy.SphereVisible(&left, 1.0f));
    EXPECT_EQ(camera.font, copy.font) << "shared: only the original is released";
}

TEST_F(CameraTest, ReleaseGivesBackTheFontOnce)
{
    const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1);
    camera.Init(&eye, &at, kPi / 2, 1.0f, 0.2f, 500.0f, VIEWMODE_FREE, CAMERA_AUX);   // again: same font object
    ASSERT_NE(nullptr, camera.font);
    camera.Release();
    EXPECT_EQ(nullptr, camera.font);
    camera.Release();
}
}   // namespace
