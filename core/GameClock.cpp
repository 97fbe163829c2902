#include "core/GameClock.h"

#include "core/Controls.h"
#include "core/Settings.h"
#include "platform/os/Clock.h"

CGameClock g_Clock;
ClockHooks g_ClockHooks = {};

namespace
{
// A slow frame advances the clocks by at most this much: the game slows down
// instead of jumping.
const float kMaxFrameMs = 50.0f;
const float kStartClockMs = 60000.0f;
const float kMaxScale = 32.0f;
const float kMinScaleToHalve = 0.25f;
}   // namespace

void CGameClock::Init()
{
    m_GameClock = kStartClockMs;
    m_RealClock = kStartClockMs;
    m_SavedGameClock = kStartClockMs;
    m_TimeScale = 1.0f;
    m_GameStep = 0.0f;
    m_RealStep = 0.0f;
    m_LastTick = timeGetTime();
}

void CGameClock::Update()
{
    // Developer time-scale keys: one step per key-down (repeats step again).
    if (g_DebugMode)
    {
        if (g_KeyFlags[KEY_PGUP])
        {
            if (m_TimeScale < kMaxScale)
                m_TimeScale *= 2.0f;
            ConsumeKey(KEY_PGUP);
        }
        if (g_KeyFlags[KEY_PGDN])
        {
            if (m_TimeScale >= kMinScaleToHalve)
                m_TimeScale *= 0.5f;
            ConsumeKey(KEY_PGDN);
        }
    }

    DWORD now = timeGetTime();
    DWORD elapsed = now - m_LastTick;   // unsigned: right across the 32-bit wrap
    m_LastTick = now;

    float realMs = (float)elapsed;
    if (realMs > kMaxFrameMs)
        realMs = kMaxFrameMs;
    m_RealClock += realMs;
    m_RealStep = realMs * 0.001f;

    float gameMs = realMs * m_TimeScale;
    m_GameStep = gameMs * 0.001f;
    m_GameClock += gameMs;
}

void CGameClock::Pause()
{
    // Pausing again keeps the clock: with the scale at 0 nothing advanced it.
    m_SavedGameClock = m_GameClock;
    m_TimeScale = 0.0f;
    if (g_ClockHooks.pauseSounds)
        g_ClockHooks.pauseSounds();
}

void CGameClock::Resume()
{
    // Only a paused clock resumes: restoring the saved clock while running
    // would rewind the game to the last pause.
    if (!IsPaused())
        return;
    m_GameClock = m_SavedGameClock;
    m_TimeScale = 1.0f;
    m_LastTick = timeGetTime();   // the paused time is no real step
    if (g_ClockHooks.resumeSounds)
        g_ClockHooks.resumeSounds();
}

float CGameClock::GameSecondsSince(DWORD stamp) const
{
    return (m_GameClock - (float)stamp) * 0.001f;
}

float CGameClock::RealSecondsSince(DWORD stamp) const
{
    return (m_RealClock - (float)stamp) * 0.001f;
}
