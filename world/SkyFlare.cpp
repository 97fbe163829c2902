// The sun flare: its steps as plain functions, and the drawing that feeds
// them from the sky, the active camera and the clocks.
#include "world/SkyFlare.h"

#include <cmath>

#include "common/MathUtil.h"
#include "core/GameClock.h"
#include "core/Settings.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"
#include "render/Views.h"
#include "world/Sky.h"

namespace
{

const float kScreenCentreX = 400.0f;
const float kScreenCentreY = 300.0f;
const float kOffScreenMargin = 50.0f;
const float kFadeSpeed = 2000.0f;        // virtual units per second of real time
const float kOcclusionInterval = 0.2f;   // seconds of game time between rays
const float kSunDistance = 100000.0f;

DWORD OpaqueArgb(float r, float g, float b)
{
    return 0xFF000000u | ((DWORD)ColorChannelByte(r) << 16) | ((DWORD)ColorChannelByte(g) << 8) |
           (DWORD)ColorChannelByte(b);
}

}   // namespace

float FlareGlare(float sunY)
{
    return sunY < -0.4f ? 0.5f : -1.25f * sunY;
}

float FlareTarget(float x, float y, float depth)
{
    if (!std::isfinite(x) || !std::isfinite(y) || depth < 0.0f || x < -kOffScreenMargin ||
        x > 800.0f + kOffScreenMargin || y < -kOffScreenMargin || y > 600.0f + kOffScreenMargin)
        return 0.0f;
    const float v = 1.5f * (350.0f - VecLength(D3DXVECTOR3(x - kScreenCentreX, y - kScreenCentreY, 0.0f)));
    return v < 20.0f ? 20.0f : v;
}

float FlareApproach(float size, float target, float maxStep)
{
    if (size > target)
    {
        size -= maxStep;
        if (size < target)
            size = target;
    }
    else if (size < target)
    {
        size += maxStep;
        if (size > target)
            size = target;
    }
    return size;
}

FlareFrame StepFlare(FlareState& state, const FlareInput& in, const std::function<int()>& sunHidden)
{
    FlareFrame frame = {};
    // A sun below the horizon leaves everything as it was.
    if (!(in.sunY < 0.0f))
        return frame;
    frame.sunUp = 1;
    frame.glare = FlareGlare(in.sunY);
    float target = FlareTarget(in.x, in.y, in.depth);

    if ((in.gameClockMs - (float)state.lastTest) * 0.001f > kOcclusionInterval)
    {
        state.lastTest = (uint32_t)in.gameClockMs;
        state.occluded = 0;
        if (target != 0.0f)
        {
            frame.rayCast = 1;
            if (sunHidden && sunHidden())
                state.occluded = 1;
        }
    }
    if (state.occluded)
        target = 0.0f;
    frame.target = target;

    state.size = FlareApproach(state.size, target, kFadeSpeed * in.realStep);
    frame.draw = state.size != 0.0f;
    frame.discs = frame.draw && !state.occluded;
    return frame;
}

void FlareDiscs(float x, float y, float cx, float cy, FlareDisc out[FLARE_DISCS])
{
    const float stepX = (cx - x) / 4.0f, stepY = (cy - y) / 4.0f;
    for (int i = 0; i < FLARE_DISCS; ++i)
    {
        x += stepX;
        y += stepY;
        out[i].x = x;
        out[i].y = y;
        out[i].radius = VecLength(D3DXVECTOR3(x - cx, y - cy, 0.0f)) / 4.0f + 5.0f;
    }
}

void CSky::DrawFlare()
{
    // The flare belongs to the eye's own view: the water reflects the sun
    // billboard, and a second fade step per frame would double the speed.
    if (g_ReflectionPass || g_Render.fillMode == D3DFILL_WIREFRAME || !g_Render.device)
        return;

    const CCamera* camera = g_Views.Current();
    const D3DXVECTOR3 sun(camera->eye.x - kSunDistance * sunDirection[0],
                          camera->eye.y - kSunDistance * sunDirection[1],
                          camera->eye.z - kSunDistance * sunDirection[2]);
    FlareInput in = {};
    in.sunY = sunDirection[1];
    camera->ProjectToScreen(&in.x, &in.y, &sun, &in.depth);
    in.realStep = g_Clock.m_RealStep;
    in.gameClockMs = g_Clock.m_GameClock;

    FlareState state = {flareSize, flareOccluded, lastOcclusionTest};
    const D3DXVECTOR3 eye = camera->eye;
    const FlareFrame frame = StepFlare(state, in, [&eye, &sun]() {
        const float from[3] = {eye.x, eye.y, eye.z}, to[3] = {sun.x, sun.y, sun.z};
        return g_SkyHooks.sunHidden ? g_SkyHooks.sunHidden(from, to) : 0;
    });
    flareSize = state.size;
    flareOccluded = state.occluded;
    lastOcclusionTest = state.lastTest;
    if (!frame.draw)
        return;

    g_Render.SetFog(0);
    g_Render.SetLighting(0);
    g_Render.BindTexture(sunTexture, 1, 0);
    const float k = frame.glare * (1.0f - 0.5f * (float)g_GlowOn);
    DrawRectAdditive(in.x - flareSize, in.y - flareSize, in.x + flareSize, in.y + flareSize,
                     OpaqueArgb(sunColor[0] * k, sunColor[1] * k, sunColor[2] * k), sunTexture);
    if (!frame.discs)
        return;

    D3DXCOLOR pure;
    ColorNormalize(pure, D3DXCOLOR(sunColor[0], sunColor[1], sunColor[2], sunColor[3]));
    const DWORD discColour = OpaqueArgb(pure.r * 0.2f, pure.g * 0.2f, pure.b * 0.2f);
    FlareDisc discs[FLARE_DISCS];
    FlareDiscs(in.x, in.y, kScreenCentreX, kScreenCentreY, discs);
    for (const FlareDisc& d : discs)
        DrawFlatDisc(d.x, d.y, d.radius, discColour, 0, 1.0f, 1.0f);
}
