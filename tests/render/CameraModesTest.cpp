// Camera view modes: the view key's order, the chase pose and its smoothing,
// the scripted move's easing and hold, the ground band of a main camera, the
// listener's velocity and the speed blur. The followed motorcycle is a
// stand-in read through the camera's hooks.
#include <gtest/gtest.h>

#include <cmath>

#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/Settings.h"
#include "render/Camera.h"
#include "render/CameraHooks.h"
#include "render/D3DRender.h"

namespace
{

CameraTargetState s_Target;
float s_Ground = 0.0f;
D3DXVECTOR3 s_ListenerVelocity;
// Any address will do: the camera only hands the pointer to its hooks.
int s_TargetStorage;
CStaticObject* const kTarget = reinterpret_cast<CStaticObject*>(&s_TargetStorage);

class CameraModesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedHooks = g_CameraHooks;
        m_SavedClock = g_Clock;
        m_SavedDebug = g_DebugMode;
        m_SavedBlur = g_Render.blurAmount;
        g_DebugMode = 0;
        g_CameraHooks = CameraHooks();
        g_CameraHooks.readTarget = [](const CStaticObject* t, CameraTargetState* out) {
            if (t != kTarget)
                return 0;
            *out = s_Target;
            return 1;
        };
        g_CameraHooks.playerVehicle = []() -> CStaticObject* { return kTarget; };
        g_CameraHooks.groundHeight = [](const D3DXVECTOR3&) { return s_Ground; };
        g_CameraHooks.placeListener = [](const D3DXVECTOR3&, const D3DXVECTOR3&, const D3DXVECTOR3&,
                                         const D3DXVECTOR3& v) { s_ListenerVelocity = v; };
        // At the origin facing +z, at rest, rider on board.
        s_Target = CameraTargetState();
        D3DXMatrixIdentity(&s_Target.world);
        s_Target.boundRadius = 1.0f;
        s_Target.eyePoint = D3DXVECTOR3(0, 1.2f, 0.1f);
        s_Ground = -1.0f;
        for (int& f : g_ControlFlags)
            f = 0;
        g_Clock.m_RealStep = g_Clock.m_GameStep = 1.0f / 60.0f;
        g_Clock.m_RealClock = g_Clock.m_GameClock = 100000.0f;
        g_Clock.m_TimeScale = 1.0f;
        camera.kind = CAMERA_MAIN;
        camera.SetProjection(D3DX_PI / 2, 1.0f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, CAMERA_MAIN);
        camera.eye = D3DXVECTOR3(0, 3, -10);
        camera.at = D3DXVECTOR3(0, 0, 0);
    }
    void TearDown() override
    {
        g_CameraHooks = m_SavedHooks;
        g_Clock = m_SavedClock;
        g_DebugMode = m_SavedDebug;
        g_Render.blurAmount = m_SavedBlur;
        for (int& f : g_ControlFlags)
            f = 0;
        for (int& k : g_KeyFlags)
            k = 0;
    }

    CCamera camera;
    CameraHooks m_SavedHooks;
    CGameClock m_SavedClock;
    int m_SavedDebug = 0;
    float m_SavedBlur = 0.0f;
};

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance = 1e-4f)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST_F(CameraModesTest, TheViewKeyCyclesThePlayerViewsAndTheFreeViewOnlyInDebugMode)
{
    struct Case
    {
        int from, debug, to, last;
    };
    const Case cases[] = {
        {VIEWMODE_ONBOARD, 0, VIEWMODE_CHASE_NEAR, VIEWMODE_ONBOARD},
        {VIEWMODE_CHASE_NEAR, 0, VIEWMODE_CHASE_FAR, VIEWMODE_CHASE_NEAR},
        {VIEWMODE_CHASE_FAR, 0, VIEWMODE_ONBOARD, VIEWMODE_CHASE_FAR},
        {VIEWMODE_CHASE_FAR, 1, VIEWMODE_FREE, VIEWMODE_CHASE_FAR},
        {VIEWMODE_FREE, 1, VIEWMODE_ONBOARD, VIEWMODE_ONBOARD},   // the free view is not remembered
        {VIEWMODE_SCRIPTED, 0, VIEWMODE_LOOKAT, VIEWMODE_ONBOARD},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.from * 10 + c.debug);
        g_DebugMode = c.debug;
        camera.viewMode = c.from;
        camera.lastPlayerMode = VIEWMODE_ONBOARD;
        camera.target = nullptr;
        camera.NextViewMode();
        EXPECT_EQ(camera.viewMode, c.to);
        EXPECT_EQ(camera.lastPlayerMode, c.last);
        EXPECT_EQ(camera.target, c.to >= 1 && c.to <= 3 ? kTarget : nullptr);
    }
}

TEST_F(CameraModesTest, TheViewKeyFlagIsTakenOnlyByAMainCameraInAPlayerOrFreeView)
{
    camera.SetMode(VIEWMODE_CHASE_NEAR, kTarget);
    g_ControlFlags[CTRL_CHANGE_VIEW] = 1;
    camera.Update();
    EXPECT_EQ(camera.viewMode, VIEWMODE_CHASE_FAR);
    EXPECT_EQ(g_ControlFlags[CTRL_CHANGE_VIEW], 0);

    camera.MoveTo(nullptr, nullptr, 1.0f, nullptr, 0.0f, 0);
    g_ControlFlags[CTRL_CHANGE_VIEW] = 1;
    camera.Update();
    EXPECT_EQ(camera.viewMode, VIEWMODE_SCRIPTED);
    EXPECT_EQ(g_ControlFlags[CTRL_CHANGE_VIEW], 1);
}

TEST_F(CameraModesTest, TheChasePoseFollowsTheSpeed)
{
    struct Case
    {
        int mode;
        float speed;
        D3DXVECTOR3 eyeOffset, atOffset;
    };
    const Case cases[] = {
        {VIEWMODE_CHASE_NEAR, 0.0f, D3DXVECTOR3(0, 1.8f, -3.75f), D3DXVECTOR3(0, 0.375f, 3.0f)},
        {VIEWMODE_CHASE_NEAR, 100.0f, D3DXVECTOR3(0, 1.8f, -4.5f), D3DXVECTOR3(0, 0.375f, 2.25f)},
        {VIEWMODE_CHASE_NEAR, -50.0f, D3DXVECTOR3(0, 1.8f, -3.75f), D3DXVECTOR3(0, 0.375f, 3.0f)},
        {VIEWMODE_CHASE_FAR, 0.0f, D3DXVECTOR3(0, 3.0f, -6.25f), D3DXVECTOR3(0, 0.625f, 5.0f)},
        {VIEWMODE_CHASE_FAR, 400.0f, D3DXVECTOR3(0, 3.0f, -7.5f), D3DXVECTOR3(0, 0.625f, 2.5f)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.speed);
        s_Target.speed = c.speed;
        camera.SetMode(c.mode, kTarget);
        camera.SnapChase();
        ExpectNear(camera.chaseEyeOffset, c.eyeOffset);
        ExpectNear(camera.chaseAtOffset, c.atOffset);
        ExpectNear(camera.chaseUp, D3DXVECTOR3(0, 1, 0));
    }

    // A fallen player is watched from 7 away and 7 up, looking along the
    // line from the eye to the motorcycle.
    s_Target.speed = 0.0f;
    s_Target.riderOff = 1;
    camera.eye = D3DXVECTOR3(10, 5, 0);
    camera.SetMode(VIEWMODE_CHASE_NEAR, kTarget);
    camera.SnapChase();
    ExpectNear(camera.chaseEyeOffset, D3DXVECTOR3(8.75f, 7.0f, 0));
}

TEST_F(CameraModesTest, AFastLongFrameTakesTheWholeDifferenceAndAQuarterOfItSideways)
{
    camera.SetMode(VIEWMODE_CHASE_NEAR, kTarget);
    camera.chaseEyeOffset = D3DXVECTOR3(4, 0.5f, 2);
    camera.chaseAtOffset = D3DXVECTOR3(0, 0, 0);
    camera.chaseUp = D3DXVECTOR3(0, 1, 0);
    s_Target.speed = 1000.0f;
    g_Clock.m_RealStep = g_Clock.m_GameStep = 0.05f;
    camera.Update();
    // Wanted at 1000 km/h: eye (0, 1.8, -4.5), look-at (0, 0.375, 1.5).
    ExpectNear(camera.chaseEyeOffset, D3DXVECTOR3(4 - 4 * 0.25f, 1.8f, 2 + (-4.5f - 2) * 0.25f));
    ExpectNear(camera.chaseAtOffset, D3DXVECTOR3(0, 0.375f, 1.5f));

    // In the air the offsets stay as they are.
    const D3DXVECTOR3 held = camera.chaseEyeOffset;
    s_Target.airborne = 1;
    camera.Update();
    ExpectNear(camera.chaseEyeOffset, held);
}

TEST_F(CameraModesTest, AScriptedMoveEasesInAndOutAndHoldsItsGoal)
{
    const D3DXVECTOR3 start(0, 10, 0), goal(8, 2, 4), look(0, 0, 20);
    camera.Set(&start, &look, nullptr);
    camera.viewMode = VIEWMODE_CHASE_FAR;
    camera.MoveTo(&goal, &look, 8.0f, nullptr, 0.0f, 0);
    EXPECT_EQ(camera.viewMode, VIEWMODE_SCRIPTED);
    EXPECT_EQ(camera.lastPlayerMode, VIEWMODE_CHASE_FAR);

    // Eased by (1 - cos(pi t)) / 2: slow at both ends, where a linear move
    // would already be a quarter of the way, and half-way at the middle.
    struct Sample
    {
        float seconds, share;
    };
    const float pi = 3.14159265f;
    const Sample samples[] = {
        {1.0f, (1.0f - std::cos(pi / 8.0f)) / 2.0f},
        {2.0f, (1.0f - std::cos(pi / 4.0f)) / 2.0f},
        {4.0f, 0.5f},
        {6.0f, (1.0f - std::cos(pi * 3.0f / 4.0f)) / 2.0f},
    };
    const float startMs = g_Clock.m_RealClock;
    for (const Sample& sample : samples)
    {
        SCOPED_TRACE(sample.seconds);
        g_Clock.m_RealClock = startMs + sample.seconds * 1000.0f;
        camera.Update();
        ExpectNear(camera.eye, start + (goal - start) * sample.share);
    }

    g_Clock.m_RealClock = startMs + 8000.0f;
    camera.Update();
    ExpectNear(camera.eye, goal);
    EXPECT_EQ(camera.moveDuration, 0.0f);
    g_Clock.m_RealClock += 60000.0f;
    camera.Update();
    ExpectNear(camera.eye, goal);
    ExpectNear(camera.at, look);
    EXPECT_EQ(camera.viewMode, VIEWMODE_SCRIPTED);
}

TEST_F(CameraModesTest, ARelativeOrbitCirclesTheTarget)
{
    s_Target.centre = D3DXVECTOR3(5, 0, 5);
    camera.target = kTarget;
    const D3DXVECTOR3 offset(4, 2, 0), axis(0, 1, 0);
    camera.MoveTo(&offset, nullptr, 0.0f, &axis, D3DX_PI / 2, 1);
    g_Clock.m_RealStep = 1.0f;
    camera.Update();
    // A quarter turn about y in one second, still 4 away and 2 up.
    const D3DXVECTOR3 fromCentre = camera.eye - s_Target.centre;
    EXPECT_NEAR(std::hypot(fromCentre.x, fromCentre.z), 4.0f, 1e-3f);
    EXPECT_NEAR(fromCentre.y, 2.0f, 1e-3f);
    EXPECT_NEAR(std::fabs(fromCentre.z), 4.0f, 1e-3f);
    ExpectNear(camera.at, s_Target.centre);
}

TEST_F(CameraModesTest, AMainCameraStaysInItsBandAboveTheGround)
{
    struct Case
    {
        int mode;
        float eyeY, ground;
        int debug;
        float expected;
    };
    s_Target.centre = D3DXVECTOR3(0, 50, 0);
    const Case cases[] = {
        {VIEWMODE_LOOKAT, -5.0f, 0.0f, 0, 2.0f},     // below: 2 above the ground
        {VIEWMODE_LOOKAT, 40.0f, 10.0f, 0, 22.0f},   // high: 12 above at most
        {VIEWMODE_LOOKAT, 5.0f, 0.0f, 0, 5.0f},      // inside the band: kept
        {VIEWMODE_LOOKAT, -5.0f, 0.0f, 1, -5.0f},    // the developer's camera goes anywhere
        {VIEWMODE_ONBOARD, 0.0f, 0.5f, 0, 1.0f},     // on board: 0.5 above
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.expected);
        g_DebugMode = c.debug;
        s_Ground = c.ground;
        s_Target.eyePoint = D3DXVECTOR3(0, c.eyeY, 0);
        camera.eye = D3DXVECTOR3(0, c.eyeY, -10);
        camera.viewMode = c.mode;
        camera.target = kTarget;
        camera.Update();
        EXPECT_NEAR(camera.eye.y, c.expected, 1e-4f);
    }
}

TEST_F(CameraModesTest, ABuildingBetweenTheMotorcycleAndTheEyePullsTheEyeInFrontOfIt)
{
    // A wall across z = -2 near the eye; the motorcycle at the origin.
    g_CameraHooks.buildingHit = [](const D3DXVECTOR3& nearPoint, float reach, const D3DXVECTOR3& from,
                                   const D3DXVECTOR3& to, D3DXVECTOR3* hit) {
        if (std::fabs(nearPoint.z + 2.0f) > reach || !(from.z > -2.0f && to.z < -2.0f))
            return 0;
        const float t = (from.z + 2.0f) / (from.z - to.z);
        *hit = from + (to - from) * t;
        return 1;
    };
    s_Ground = -50.0f;
    struct Case
    {
        const char* name;
        float eyeZ, expectedZ;
    };
    const Case cases[] = {
        {"behind the wall", -6.0f, -1.25f},
        {"just in front of it", -1.5f, -1.25f},   // within 0.75 of the wall
        {"well in front of it", -1.0f, -1.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        camera.target = kTarget;
        camera.viewMode = VIEWMODE_LOOKAT;
        camera.eye = D3DXVECTOR3(0, 0, c.eyeZ);
        camera.Update();
        EXPECT_NEAR(camera.eye.z, c.expectedZ, 1e-4f);
    }
    // On board the eye is on the motorcycle and never moved.
    camera.viewMode = VIEWMODE_ONBOARD;
    s_Target.eyePoint = D3DXVECTOR3(0, 0, -6);
    camera.Update();
    EXPECT_NEAR(camera.eye.z, -6.0f, 1e-4f);
}

TEST_F(CameraModesTest, TheFreeCameraFliesByKeysAndSlowsDownByItself)
{
    g_DebugMode = 1;   // the developer's camera, not held to the ground
    g_KeyFlags[KEY_A] = 1;
    camera.viewMode = VIEWMODE_FREE;
    camera.eye = D3DXVECTOR3(0, 0, 0);
    camera.at = D3DXVECTOR3(0, 0, 1);
    camera.UpdateView();
    g_Clock.m_RealStep = 0.1f;
    for (int i = 0; i < 20; ++i)
        camera.Update();
    g_KeyFlags[KEY_A] = 0;
    // 200 up, 100 down per second: 10 more each 0.1 s, 100 at most.
    EXPECT_NEAR(camera.freeVelocity.z, 100.0f, 1e-3f);
    EXPECT_GT(camera.eye.z, 50.0f);
    EXPECT_NEAR(camera.eye.x, 0.0f, 1e-3f);
    for (int i = 0; i < 5; ++i)
        camera.Update();
    EXPECT_NEAR(camera.freeVelocity.z, 50.0f, 1e-3f);
}

TEST_F(CameraModesTest, TheListenerMovesWithThePlayerOnlyInThePlayerViews)
{
    s_Target.linearVelocity = D3DXVECTOR3(1, 2, 3);
    camera.SetMode(VIEWMODE_CHASE_NEAR, kTarget);
    camera.Update();
    ExpectNear(s_ListenerVelocity, D3DXVECTOR3(1, 2, 3));
    camera.SetMode(VIEWMODE_LOOKAT, kTarget);
    camera.Update();
    ExpectNear(s_ListenerVelocity, D3DXVECTOR3(0, 0, 0));
}

TEST_F(CameraModesTest, TheSpeedBlurGrowsFrom120To160InThePlayerViews)
{
    struct Case
    {
        int mode;
        float speed, blur;
    };
    const Case cases[] = {
        {VIEWMODE_CHASE_NEAR, 120.0f, 0.0f}, {VIEWMODE_CHASE_NEAR, 140.0f, 0.5f}, {VIEWMODE_ONBOARD, 160.0f, 1.0f},
        {VIEWMODE_CHASE_FAR, 250.0f, 1.0f},  {VIEWMODE_CHASE_FAR, -140.0f, 0.5f}, {VIEWMODE_FREE, 200.0f, 0.0f},
        {VIEWMODE_SCRIPTED, 200.0f, 0.0f},   {VIEWMODE_LOOKAT, 200.0f, 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.speed);
        s_Target.speed = c.speed;
        camera.viewMode = c.mode;
        camera.UpdateSpeedBlur();
        EXPECT_NEAR(g_Render.blurAmount, c.blur, 1e-5f);
    }
}

TEST_F(CameraModesTest, TheSpeedMeterAveragesTheLastFortyFrames)
{
    for (int i = 0; i < 40; ++i)
        camera.UpdateSpeedMeter(D3DXVECTOR3(0, 0, 1.0f / 60.0f));   // 1 unit/s
    EXPECT_NEAR(camera.averageSpeed, 3.6f, 1e-3f);
    for (int i = 0; i < 20; ++i)
        camera.UpdateSpeedMeter(D3DXVECTOR3(0, 0, 0));
    EXPECT_NEAR(camera.averageSpeed, 1.8f, 1e-3f);
    g_Clock.m_GameStep = 0.0f;   // a paused frame measures nothing
    camera.UpdateSpeedMeter(D3DXVECTOR3(100, 0, 0));
    EXPECT_NEAR(camera.averageSpeed, 1.8f, 1e-3f);
}

}   // namespace
