// Camera fades: the rectangle's alpha over a fade out and a fade in, the
// sound's share of the fade frame by frame, the statistics panel's lines,
// and a fade at half drawn on the OpenGL device against a small reference.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/GameClock.h"
#include "render/Camera.h"
#include "render/CameraFade.h"
#include "render/CameraHooks.h"
#include "render/Draw2D.h"
#include "tests/render/DrawTestSupport.h"
#include "tests/support/GoldenImage.h"

namespace
{

std::vector<float> s_Volumes;

class CameraFadeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedHooks = g_CameraHooks;
        m_SavedClock = g_Clock;
        g_CameraHooks = CameraHooks();
        g_CameraHooks.setFadeVolume = [](float percent) { s_Volumes.push_back(percent); };
        s_Volumes.clear();
    }
    void TearDown() override
    {
        g_CameraHooks = m_SavedHooks;
        g_Clock = m_SavedClock;
    }

    // One frame of the fade after `step` seconds of real time.
    DWORD Frame(float step)
    {
        g_Clock.m_RealStep = step;
        camera.DrawFade();
        return FadeColour(camera.fadeState, FadePercent(camera.fadeElapsed, camera.fadeDuration), camera.fadeColour);
    }

    CCamera camera;
    CameraHooks m_SavedHooks;
    CGameClock m_SavedClock;
};

TEST_F(CameraFadeTest, TheRectangleGrowsOpaqueOnTheWayOutAndClearsOnTheWayIn)
{
    struct Case
    {
        const char* name;
        int in;
        float seconds;
        DWORD colour;
    };
    // A 2 s fade to (0.5, 0.1, 0): channels 127, 25, 0.
    const Case cases[] = {
        {"out, start", 0, 0.0f, 0},
        {"out, half", 0, 1.0f, 0x7F7F1900},
        {"out, end", 0, 2.0f, 0xFF7F1900},
        {"out, long after", 0, 30.0f, 0xFF7F1900},
        {"in, start", 1, 0.0f, 0xFF7F1900},
        {"in, half", 1, 1.0f, 0x7F7F1900},
        {"in, end", 1, 2.0f, 0},
        {"in, long after", 1, 30.0f, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        camera.FadeOut(2.0f, 0, D3DXCOLOR(0.5f, 0.1f, 0.0f, 1.0f));
        if (c.in)
            camera.FadeIn(2.0f, 0);
        EXPECT_EQ(Frame(c.seconds), c.colour);
    }
    // No fade, and a fade of no length, are settled at once.
    EXPECT_EQ(FadeColour(-1, 50.0f, camera.fadeColour), 0u);
    EXPECT_EQ(FadePercent(1.0f, 0.0f), 100.0f);
}

TEST_F(CameraFadeTest, TheSoundFollowsTheFadeAndEndsOnItsEndValue)
{
    camera.FadeOut(1.0f, 1, D3DXCOLOR(0, 0, 0, 1));
    for (int i = 0; i < 5; ++i)
        Frame(0.3f);
    // 0.3, 0.6 and 0.9 s, then the frame that passes the end; nothing after.
    const std::vector<float> out = {70.0f, 40.0f, 10.0f, 0.0f};
    ASSERT_EQ(s_Volumes.size(), out.size());
    for (size_t i = 0; i < out.size(); ++i)
        EXPECT_NEAR(s_Volumes[i], out[i], 1e-3f);

    s_Volumes.clear();
    camera.FadeIn(1.0f, 1);
    for (int i = 0; i < 5; ++i)
        Frame(0.3f);
    const std::vector<float> in = {30.0f, 60.0f, 90.0f, 100.0f};
    ASSERT_EQ(s_Volumes.size(), in.size());
    for (size_t i = 0; i < in.size(); ++i)
        EXPECT_NEAR(s_Volumes[i], in[i], 1e-3f);

    // A fade without sound leaves the sound alone.
    s_Volumes.clear();
    camera.FadeOut(1.0f, 0, D3DXCOLOR(0, 0, 0, 1));
    Frame(0.5f);
    EXPECT_TRUE(s_Volumes.empty());
}

TEST_F(CameraFadeTest, TheStatisticsPanelAddsThePlayersLinesOnlyWithAPlayer)
{
    char lines[CAMERA_STAT_LINES][CAMERA_STAT_LINE];
    camera.eye = D3DXVECTOR3(12.4f, 3.6f, -7.0f);
    EXPECT_EQ(CameraStatisticsLines(camera, lines), 13);
    EXPECT_STREQ(lines[7], "Eye Fr: X12, Y4, Z-7");
    EXPECT_STREQ(lines[12], "Active objects: 0");

    g_CameraHooks.playerStatistics = [](CameraPlayerStatistics* out) {
        *out = CameraPlayerStatistics{2, 1500.7f, 40.0f, 88.9f, 0.25f, -1.5f};
        return 1;
    };
    ASSERT_EQ(CameraStatisticsLines(camera, lines), 18);
    EXPECT_STREQ(lines[13], "  Whells in contact: 2");
    EXPECT_STREQ(lines[14], "  EngineForce: 1500, Speed: 88");
    EXPECT_STREQ(lines[17], "  Angular VelY: -1.5000");
}

class CameraFadePictureTest : public drawtest::DeviceFixture
{
protected:
    void SetUp() override
    {
        m_SavedClock = g_Clock;
        OpenDevice(D3DBackendKind::OpenGL, kWidth, kHeight);
        if (IsSkipped() || HasFatalFailure())
            return;
        g_Render.SetDefaultStates();
        g_Render.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        g_Render.device->BeginScene();
    }
    void TearDown() override
    {
        CloseDevice();
        g_Clock = m_SavedClock;
    }

    static constexpr int kWidth = 80, kHeight = 60;
    CGameClock m_SavedClock;
};

TEST_F(CameraFadePictureTest, AFadeAtHalfCoversTheSceneHalfWay)
{
    // A scene of three bands, then half of a 0.5 s fade to the respawn's
    // red-brown.
    DrawRect(0, 0, 800, 200, 0xFF3080FF);
    DrawRect(0, 200, 800, 400, 0xFFFFFFFF);
    DrawRect(0, 400, 800, 600, 0xFF206020);
    CCamera camera;
    camera.FadeOut(0.5f, 0, D3DXCOLOR(0.5f, 0.1f, 0.0f, 1.0f));
    g_Clock.m_RealStep = 0.25f;
    camera.DrawFade();
    g_Render.device->EndScene();

    std::vector<uint8_t> bgra;
    IDirect3DSurface9* target = nullptr;
    UINT w = 0, h = 0;
    ASSERT_EQ(g_Render.device->GetRenderTarget(0, &target), D3D_OK);
    ASSERT_TRUE(D3DReadSurfacePixels(target, bgra, w, h));
    target->Release();
    ASSERT_EQ((int)w, kWidth);
    // The white band is half white and half the fade's colour (127, 25, 0).
    const uint32_t white = golden::PixelAt(bgra, kWidth, kWidth / 2, kHeight / 2);
    EXPECT_NEAR((int)((white >> 16) & 0xFF), (255 + 127) / 2, 3);
    EXPECT_NEAR((int)((white >> 8) & 0xFF), (255 + 25) / 2, 3);
    EXPECT_NEAR((int)(white & 0xFF), 255 / 2, 3);
    EXPECT_EQ(golden::Mismatch("render/fade_half", bgra, (int)w, (int)h), "");
}

}   // namespace
