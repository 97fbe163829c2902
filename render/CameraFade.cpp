// The camera's full-screen fade (with the sound's share of it) and the
// developer statistics panel.
#include <algorithm>
#include <cstdio>

#include "core/GameClock.h"
#include "core/Settings.h"
#include "render/Camera.h"
#include "render/CameraFade.h"
#include "render/CameraHooks.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"
#include "render/Font.h"

void CCamera::FadeOut(float duration, int withSound, D3DXCOLOR colour)
{
    fadeDuration = duration;
    fadeState = 0;
    fadeElapsed = 0.0f;
    fadeWithSound = withSound;
    fadeColour = colour;
}

void CCamera::FadeIn(float duration, int withSound)
{
    fadeState = 1;
    fadeDuration = duration;
    fadeElapsed = 0.0f;
    fadeWithSound = withSound;
}

float FadePercent(float elapsed, float duration)
{
    // A fade of no length is over at once.
    if (!(duration > 0.0f))
        return 100.0f;
    return std::min(100.0f, std::max(0.0f, elapsed / duration * 100.0f));
}

DWORD FadeColour(int fadeState, float percent, const D3DXCOLOR& colour)
{
    float alpha = 0.0f;
    if (fadeState == 0 && percent > 0.0f)
        alpha = percent / 100.0f;
    else if (fadeState == 1 && percent < 100.0f)
        alpha = 1.0f - percent / 100.0f;
    if (alpha <= 0.0f)
        return 0;
    auto channel = [](float c) { return (DWORD)((int)(255.0f * std::min(1.0f, std::max(0.0f, c))) & 0xFF); };
    const DWORD a = (DWORD)((int)(alpha * 255.0f) & 0xFF);
    return a << 24 | channel(colour.r) << 16 | channel(colour.g) << 8 | channel(colour.b);
}

void CCamera::DrawFade()
{
    if (fadeState == -1)
        return;
    const float before = fadeElapsed;
    fadeElapsed += g_Clock.m_RealStep;
    const float p = FadePercent(fadeElapsed, fadeDuration);
    const DWORD colour = FadeColour(fadeState, p, fadeColour);
    if (colour >> 24)
        DrawRect(-1.0f, -1.0f, 801.0f, 601.0f, colour);
    if (fadeWithSound && g_CameraHooks.setFadeVolume)
    {
        // The sound follows the picture. The frame that passes the end sets
        // the end value, so no fade leaves the sound a little short of
        // silent or of full.
        if (fadeElapsed <= fadeDuration)
            g_CameraHooks.setFadeVolume(fadeState == 0 ? 100.0f - p : p);
        else if (before <= fadeDuration)
            g_CameraHooks.setFadeVolume(fadeState == 0 ? 0.0f : 100.0f);
    }
}

int CameraStatisticsLines(const CCamera& camera, char lines[][CAMERA_STAT_LINE])
{
    CameraWorldCounters w = {};
    if (g_CameraHooks.worldCounters)
        g_CameraHooks.worldCounters(&w);
    int n = 0;
    auto line = [&](const char* format, auto... values) {
        std::snprintf(lines[n++], CAMERA_STAT_LINE, format, values...);
    };
    line("FPS: %.0f", (double)g_Render.GetFPS());
    line("FPF (main)  : %d", g_Render.mainFaces);
    line("FPF (water)  : %d", g_Render.reflectionFaces);
    line("FPF (shadow): %d", g_Render.shadowFaces);
    line("All/visible land parts: %d/%d", w.landParts, w.visibleLandParts);
    line("Inner/visible grass fields: %d/%d", w.innerGrassFields, w.visibleGrassFields);
    line("Inner/visible trees fields: %d/%d", w.innerTreeFields, w.visibleTreeFields);
    line("Eye Fr: X%.0f, Y%.0f, Z%.0f", (double)camera.eye.x, (double)camera.eye.y, (double)camera.eye.z);
    line("Eye To: X%.0f, Y%.0f, Z%.0f", (double)camera.at.x, (double)camera.at.y, (double)camera.at.z);
    line("Avrg speed: %0.f", (double)camera.averageSpeed);
    line("Time speed: %.2f", (double)g_Clock.m_TimeScale);
    line("Collision objects: %d", w.collisionObjects);
    line("Active objects: %d", w.activeObjects);
    CameraPlayerStatistics p;
    if (g_CameraHooks.playerStatistics && g_CameraHooks.playerStatistics(&p))
    {
        line("  Whells in contact: %i", p.wheelsOnGround);
        line("  EngineForce: %i, Speed: %i", (int)p.engineForce, (int)p.speed);
        line("  BrakingForce: %i, Speed: %i", (int)p.brakingForce, (int)p.speed);
        line("  JumpPower: %.04f", (double)p.jumpPower);
        line("  Angular VelY: %.04f", (double)p.angularVelocityY);
    }
    return n;
}

void CCamera::DrawDebugInfo()
{
    if (!g_DebugMode || g_Clock.IsPaused())
        return;
    if (g_Render.device)
        g_Render.device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    DrawRect(0.0f, 0.0f, 115.0f, 160.0f, 0x8E000000);
    if (!font)
        return;
    char lines[CAMERA_STAT_LINES][CAMERA_STAT_LINE];
    const int n = CameraStatisticsLines(*this, lines);
    const float scale = 0.525f;
    const float step = font->GetTextHeight(scale);
    for (int i = 0; i < n; ++i)
        font->DrawTextColor(0.0f, step * (float)i, lines[i], 0xFFFFFF00, scale, 0);
}
