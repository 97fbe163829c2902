// The splash sequence: picture, logo, skipping, and its own message loop.
#include "interface/Splash.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "audio/AudioManager.h"
#include "core/Controls.h"
#include "core/InputPacing.h"
#include "core/InputState.h"
#include "core/RunFlags.h"
#include "platform/os/Clock.h"
#include "platform/os/Window.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"

namespace
{
// Fade speed: t grows by 1 in 1 / 0.0006 ms (about 1.67 s).
const float kFadePerMs = 0.0006f;
// The 2D routines draw an alpha of 255 without blending, so fades stop below.
const float kTopAlpha = 254.0f;
const char* kLogoName = "Data/Interface/Menu_Main/Logo_Brenhold.dds";
const char* kPictureName = "Data/splash.jpg";
const char* kJingleName = "Data/Audio/Start logo.wav";

int FadeIn(float t)
{
    return (int)std::min(kTopAlpha, t * kTopAlpha);
}

int FadeOut(float t)
{
    return (int)std::max(0.0f, kTopAlpha - t * kTopAlpha);
}

// A click, Esc, Space or Enter since the last pass.
int SkipPressed()
{
    return g_MouseButtons[0] || g_KeyFlags[KEY_ESC] || g_KeyFlags[KEY_SPACE] || g_KeyFlags[KEY_ENTER];
}

void ClearSkipFlags()
{
    ConsumeClick();
    ConsumeKey(KEY_ESC);
    ConsumeKey(KEY_SPACE);
    ConsumeKey(KEY_ENTER);
}

void TakeMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
}   // namespace

void CSplashSequence::Start(DWORD now, int picture, int logo)
{
    phase = PHASE_PICTURE_IN;
    phaseStart = now;
    wait = 1.0f;
    t = 0.0f;
    havePicture = picture;
    haveLogo = logo;
}

int CSplashSequence::Prepare(DWORD now, int skip)
{
    if (skip && phase < PHASE_DONE)
    {
        phaseStart = now;
        wait = 0.0f;
        if (phase == PHASE_PICTURE_IN || phase == PHASE_PICTURE_OUT)
            phase = PHASE_LOGO_IN;
        else if (phase == PHASE_TO_LOGO)
            phase = haveLogo ? PHASE_LOGO_IN : PHASE_DONE;
        else
            phase = PHASE_DONE;
    }
    // Unsigned difference: right across a wrap of the millisecond clock.
    t = (float)(DWORD)(now - phaseStart) * kFadePerMs;
    if (wait != 0.0f)
    {
        if (t < wait)
            return 0;
        phaseStart = now;
        t = 0.0f;
        wait = 0.0f;
    }
    return 1;
}

SplashDraw CSplashSequence::Advance(DWORD now, int* alpha, int* jingle)
{
    *alpha = 0;
    *jingle = 0;
    if ((phase == PHASE_PICTURE_IN && !havePicture) || phase == PHASE_TO_LOGO)
        phase = PHASE_LOGO_IN;

    switch (phase)
    {
    case PHASE_PICTURE_IN:
        *jingle = 1;
        *alpha = FadeIn(t);
        if (t >= 1.0f)
        {
            phase = PHASE_PICTURE_OUT;
            phaseStart = now;
            wait = 2.0f;
        }
        return SPLASH_DRAW_PICTURE;
    case PHASE_PICTURE_OUT:
        *alpha = FadeOut(t);
        if (t >= 1.0f)
        {
            // The logo follows in the very next pass.
            phase = PHASE_TO_LOGO;
            phaseStart = now;
            wait = 0.0f;
        }
        return SPLASH_DRAW_PICTURE;
    case PHASE_LOGO_IN:
        *alpha = FadeIn(t);
        if (t >= 1.0f)
        {
            phase = PHASE_LOGO_OUT;
            phaseStart = now;
            wait = 2.0f;
        }
        return SPLASH_DRAW_LOGO;
    case PHASE_LOGO_OUT:
        *alpha = FadeOut(t);
        if (t >= 1.0f)
        {
            phase = PHASE_DONE;
            phaseStart = now;
            wait = 0.0f;
        }
        return SPLASH_DRAW_LOGO;
    default:
        return SPLASH_DRAW_NOTHING;
    }
}

void DrawSplashPass(SplashDraw what, int alpha, TextureId picture, TextureId logo)
{
    const DWORD color = (DWORD)alpha << 24 | 0xFFFFFFu;
    if (what == SPLASH_DRAW_PICTURE)
    {
        // The picture keeps its 800 x 600 proportions at the screen's height:
        // for this one draw x is scaled like y, and the picture is centred.
        const float keptScaleX = g_Render.scaleX;
        const float s = g_Render.scaleY;
        if (s > 0.0f)
        {
            g_Render.scaleX = s;
            const float across = g_Render.screenWidth / s;
            DrawRect((across - 800.0f) * 0.5f - 1.0f, -1.0f, (across + 800.0f) * 0.5f + 1.0f, 601.0f, color, picture);
            g_Render.scaleX = keptScaleX;
        }
    }
    else if (what == SPLASH_DRAW_LOGO)
    {
        // A missing logo leaves the id at -1, which draws a plain white square.
        DrawRect(360.0f, 260.0f, 440.0f, 340.0f, color, logo);
    }
}

void ShowSplashScreens()
{
    const TextureId logo = g_Render.LoadTexture(kLogoName, 1, 1, 0);
    const TextureId picture = g_Render.LoadTexture(kPictureName, 1, 1, 0);
    CSplashSequence sequence;
    sequence.Start(timeGetTime(), picture != -1, logo != -1);
    // Headless test runs count main-loop frames, not the passes of this loop.
    SetDrainCounting(0);

    // Closing the window ends the sequence too: the program is on its way out.
    while (!sequence.Done() && !QuitRequested())
    {
        TakeMessages();
        const int skip = (SkipPressed() || TestRunSkipsIntro()) && sequence.phase < CSplashSequence::PHASE_DONE;
        if (skip)
            ClearSkipFlags();
        // The pass has read its input: a quick second press skips in the next.
        InputFrameDone();
        const DWORD now = timeGetTime();
        if (!sequence.Prepare(now, skip))
        {
            // The last presented picture stays; give the processor back.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        IDirect3DDevice9* device = g_Render.device;
        if (!device || FAILED(device->BeginScene()))
        {
            // Without a device no pass can ever draw: end at once instead
            // of spinning for good.
            if (!device)
                break;
            continue;
        }
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        int alpha = 0, jingle = 0;
        const SplashDraw what = sequence.Advance(now, &alpha, &jingle);
        if (jingle && !g_AudioManager.currentMusic)
            g_AudioManager.PlayMusic(1, kJingleName, 0, 100.0f);
        DrawSplashPass(what, alpha, picture, logo);
        device->EndScene();
        g_Render.PresentFrame();
    }

    SetDrainCounting(1);
    if (logo != -1)
        g_Render.ReleaseTexture(logo);
    if (picture != -1)
        g_Render.ReleaseTexture(picture);
    // Switching the music off stops the jingle.
    g_AudioManager.PlayMusic(0, nullptr, 0, 100.0f);
}
