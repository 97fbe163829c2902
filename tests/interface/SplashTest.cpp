// The splash sequence: its steps through time, skipping from every phase, a
// missing picture or logo, and the two pictures drawn on the real device.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "interface/Splash.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/D3DRender.h"
#include "tests/render/DrawTestSupport.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"

namespace
{

struct Pass
{
    DWORD ms;
    SplashDraw what;
    int alpha;
    int jingle;
};

struct SplashRun
{
    std::vector<Pass> passes;   // the passes that drew
    DWORD endMs = 0;            // the pass that finished the sequence
    bool done = false;
};

// Runs the sequence from time 0 with a pass every 10 ms; a skip key is seen
// in the first pass at or after each time of `skips`.
SplashRun Simulate(int picture, int logo, std::vector<DWORD> skips)
{
    SplashRun run;
    CSplashSequence s;
    s.Start(0, picture, logo);
    for (DWORD now = 0; now <= 30000 && !s.Done(); now += 10)
    {
        int skip = 0;
        while (!skips.empty() && skips.front() <= now)
        {
            skip = 1;
            skips.erase(skips.begin());
        }
        if (!s.Prepare(now, skip))
            continue;
        Pass p{now, SPLASH_DRAW_NOTHING, 0, 0};
        p.what = s.Advance(now, &p.alpha, &p.jingle);
        run.passes.push_back(p);
        if (s.Done())
        {
            run.done = true;
            run.endMs = now;
        }
    }
    return run;
}

// The kinds of drawing in order, repeats folded: "PL" = picture then logo.
std::string Kinds(const SplashRun& run)
{
    std::string kinds;
    for (const Pass& p : run.passes)
    {
        const char k = p.what == SPLASH_DRAW_PICTURE ? 'P' : (p.what == SPLASH_DRAW_LOGO ? 'L' : '-');
        if (kinds.empty() || kinds.back() != k)
            kinds += k;
    }
    return kinds;
}

DWORD FirstLogoMs(const SplashRun& run)
{
    for (const Pass& p : run.passes)
        if (p.what == SPLASH_DRAW_LOGO)
            return p.ms;
    return 0;
}

struct RunCase
{
    const char* name;
    int picture, logo;
    std::vector<DWORD> skips;
    const char* kinds;
    DWORD firstLogoMs;   // 0: not checked
    DWORD endMs;
    bool jingle;
};

class SplashRunTest : public ::testing::TestWithParam<RunCase>
{};

TEST_P(SplashRunTest, StepsThroughItsPhases)
{
    const RunCase& c = GetParam();
    const SplashRun run = Simulate(c.picture, c.logo, c.skips);
    ASSERT_TRUE(run.done);
    EXPECT_EQ(Kinds(run), c.kinds);
    if (c.firstLogoMs)
    {
        EXPECT_NEAR((double)FirstLogoMs(run), (double)c.firstLogoMs, 20.0);
    }
    EXPECT_NEAR((double)run.endMs, (double)c.endMs, 40.0);
    const bool jingle = std::any_of(run.passes.begin(), run.passes.end(), [](const Pass& p) { return p.jingle; });
    EXPECT_EQ(jingle, c.jingle);
    // Fades stop at 254: an alpha of 255 would be drawn without blending.
    for (const Pass& p : run.passes)
    {
        EXPECT_GE(p.alpha, 0);
        EXPECT_LE(p.alpha, 254);
    }
}

// One fade is 1 / 0.0006 ms = 1667 ms; holds are twice that.
INSTANTIATE_TEST_SUITE_P(Cases, SplashRunTest,
                         ::testing::Values(
                             // Pause, picture in, hold, out, logo in, hold, out: 15 s.
                             RunCase{"Whole", 1, 1, {}, "PL", 8350, 15030, true},
                             RunCase{"NoPicture", 0, 1, {}, "L", 1670, 8350, false},
                             // A missing logo is drawn as a white square in its place.
                             RunCase{"NoLogo", 1, 0, {}, "PL", 8350, 15030, true},
                             RunCase{"Nothing", 0, 0, {}, "L", 1670, 8350, false},
                             RunCase{"SkipInFirstPause", 1, 1, {500}, "L", 500, 7170, false},
                             RunCase{"SkipInPictureFade", 1, 1, {2500}, "PL", 2500, 9170, true},
                             // During a hold nothing is redrawn, but a key still skips at once.
                             RunCase{"SkipInPictureHold", 1, 1, {5000}, "PL", 5000, 11670, true},
                             RunCase{"SkipInPictureFadeOut", 1, 1, {7500}, "PL", 7500, 14170, true},
                             RunCase{"SkipInLogoFade", 1, 1, {500, 1000}, "L-", 500, 1000, false},
                             RunCase{"SkipInLogoHold", 1, 1, {500, 4000}, "L-", 500, 4000, false},
                             RunCase{"SkipInLogoFadeOut", 1, 1, {500, 6000}, "L-", 500, 6000, false}),
                         [](const ::testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

TEST(SplashSequenceTest, HoldsDrawNothingUntilTheyEnd)
{
    CSplashSequence s;
    s.Start(0, 1, 1);
    // The first pause: 1 fade long.
    EXPECT_EQ(s.Prepare(0, 0), 0);
    EXPECT_EQ(s.Prepare(1600, 0), 0);
    ASSERT_EQ(s.Prepare(1700, 0), 1);
    int alpha = 0, jingle = 0;
    EXPECT_EQ(s.Advance(1700, &alpha, &jingle), SPLASH_DRAW_PICTURE);
    EXPECT_EQ(alpha, 0);   // the fade starts where the pause ended
    EXPECT_EQ(jingle, 1);
    ASSERT_EQ(s.Prepare(2533, 0), 1);
    EXPECT_EQ(s.Advance(2533, &alpha, &jingle), SPLASH_DRAW_PICTURE);
    EXPECT_NEAR(alpha, 127, 1);
}

struct SkipCase
{
    int phase;
    int logo;
    int after;
};

TEST(SplashSequenceTest, SkipGoesToTheLogoOrTheEnd)
{
    const SkipCase cases[] = {
        {CSplashSequence::PHASE_PICTURE_IN, 1, CSplashSequence::PHASE_LOGO_IN},
        {CSplashSequence::PHASE_PICTURE_OUT, 1, CSplashSequence::PHASE_LOGO_IN},
        {CSplashSequence::PHASE_TO_LOGO, 1, CSplashSequence::PHASE_LOGO_IN},
        {CSplashSequence::PHASE_TO_LOGO, 0, CSplashSequence::PHASE_DONE},
        {CSplashSequence::PHASE_LOGO_IN, 1, CSplashSequence::PHASE_DONE},
        {CSplashSequence::PHASE_LOGO_OUT, 1, CSplashSequence::PHASE_DONE},
        {CSplashSequence::PHASE_DONE, 1, CSplashSequence::PHASE_DONE},
    };
    for (const SkipCase& c : cases)
    {
        CSplashSequence s;
        s.Start(100, 1, c.logo);
        s.phase = c.phase;
        s.wait = 2.0f;
        EXPECT_EQ(s.Prepare(200, 1), c.phase == CSplashSequence::PHASE_DONE ? 0 : 1) << c.phase;
        EXPECT_EQ(s.phase, c.after) << c.phase;
    }
}

TEST(SplashSequenceTest, ClockWrapDoesNotStallTheFade)
{
    CSplashSequence s;
    const DWORD start = 0xFFFFFF00u;
    s.Start(start, 1, 1);
    EXPECT_EQ(s.Prepare(start + 1000u, 0), 0);
    EXPECT_EQ(s.Prepare(start + 1700u, 0), 1);   // past the wrap
}

// The two pictures on the real device, on a 16:9 back buffer.
class SplashHeadlessDemoDataTest : public render_test::RenderFixture
{
protected:
    void TearDown() override
    {
        g_Render.FreeD3DRender();
        hidden.Close();
        RenderFixture::TearDown();
        D3DSelectBackend(D3DBackendKind::Recording);
    }

    bool Start(UINT width, UINT height)
    {
        if (!hidden.Open((int)width, (int)height))
            return false;
        D3DOverrideAdapterModes({D3DDISPLAYMODE{width, height, 60, D3DFMT_X8R8G8B8}});
        g_Render = CD3DRender();
        EXPECT_EQ(g_Render.InitD3D(1), 0);
        EXPECT_EQ(g_Render.CreateDevice(hidden.get(), 1, 0, 0), 0);
        drawtest::FillDiscFans();
        return g_Render.device != nullptr;
    }

    std::vector<uint8_t> Draw(SplashDraw what, int alpha, TextureId picture, TextureId logo, UINT& w, UINT& h)
    {
        IDirect3DDevice9* device = g_Render.device;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        DrawSplashPass(what, alpha, picture, logo);
        device->EndScene();
        std::vector<uint8_t> pixels;
        IDirect3DSurface9* target = nullptr;
        if (SUCCEEDED(device->GetRenderTarget(0, &target)))
        {
            D3DReadSurfacePixels(target, pixels, w, h);
            target->Release();
        }
        return pixels;
    }

    testdevice::HiddenWindow hidden;
};

bool Dark(uint32_t argb)
{
    return ((argb >> 16) & 0xFF) < 8 && ((argb >> 8) & 0xFF) < 8 && (argb & 0xFF) < 8;
}

TEST_F(SplashHeadlessDemoDataTest, PictureKeepsItsProportionsAndTheLogoSitsInTheMiddle)
{
    const UINT w = 1280, h = 720;
    UseDemoData(true);
    if (!Start(w, h))
        SKIP_OR_FAIL_IN_CI() << "no video driver";
    const TextureId picture = g_Render.LoadTexture("Data/splash.jpg", 1, 1, 0);
    const TextureId logo = g_Render.LoadTexture("Data/Interface/Menu_Main/Logo_Brenhold.dds", 1, 1, 0);
    ASSERT_NE(picture, -1);
    ASSERT_NE(logo, -1);

    UINT pw = 0, ph = 0;
    const std::vector<uint8_t> shot = Draw(SPLASH_DRAW_PICTURE, 254, picture, logo, pw, ph);
    ASSERT_EQ(shot.size(), (size_t)w * h * 4);
    EXPECT_TRUE(golden::WritePng(testsupport::BuildDir() + "/splash_picture.png", shot, (int)w, (int)h));
    // 4:3 at the full height is 960 pixels wide: black bands of 160 pixels.
    const float scaleY = g_Render.scaleY;
    EXPECT_FLOAT_EQ(g_Render.scaleX, 1280.0f / 800.0f);   // put back after the draw
    const int band = (int)((1280.0f / scaleY - 800.0f) * 0.5f * scaleY);
    EXPECT_NEAR(band, 160, 2);
    for (int y : {10, 360, 700})
    {
        EXPECT_TRUE(Dark(golden::PixelAt(shot, (int)w, band - 6, y))) << y;
        EXPECT_TRUE(Dark(golden::PixelAt(shot, (int)w, (int)w - band + 5, y))) << y;
        EXPECT_FALSE(Dark(golden::PixelAt(shot, (int)w, band + 20, y))) << y;
        EXPECT_FALSE(Dark(golden::PixelAt(shot, (int)w, (int)w - band - 20, y))) << y;
    }

    const std::vector<uint8_t> emblem = Draw(SPLASH_DRAW_LOGO, 254, picture, logo, pw, ph);
    EXPECT_TRUE(golden::WritePng(testsupport::BuildDir() + "/splash_logo.png", emblem, (int)w, (int)h));
    EXPECT_FALSE(Dark(golden::PixelAt(emblem, (int)w, 640, 360)));
    EXPECT_TRUE(Dark(golden::PixelAt(emblem, (int)w, 300, 360)));

    // Half way through a fade the picture is dimmer than at full strength.
    const std::vector<uint8_t> half = Draw(SPLASH_DRAW_PICTURE, 127, picture, logo, pw, ph);
    const uint32_t full = golden::PixelAt(shot, (int)w, 640, 300), dim = golden::PixelAt(half, (int)w, 640, 300);
    EXPECT_LT((dim >> 16) & 0xFF, (full >> 16) & 0xFF);
}

}   // namespace
