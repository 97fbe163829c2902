#pragma once
// Per-frame time steps from the millisecond system clock. Two clocks: the real
// clock runs whenever frames run; the game clock runs at the time scale (1
// normally, 0.4 in slow motion, 0 while paused). World updates read the game
// step; interface animations that go on during pauses read the real step.
#include "platform/os/WinTypes.h"

class CGameClock
{
public:
    // The starting values: both clocks and the saved clock at 60000 ms (so a
    // time stamp of 0 is already 60 s old), scale 1, step 0, last tick = now.
    void Init();
    // Once per frame, first thing in the frame.
    void Update();
    // Stops the game clock and pauses the sounds.
    void Pause();
    // Continues the game clock from the pause; does nothing unless paused.
    void Resume();
    int IsPaused() const { return m_TimeScale == 0.0f; }

    // Seconds from a time stamp (ms) to the game or real clock.
    float GameSecondsSince(DWORD stamp) const;
    float RealSecondsSince(DWORD stamp) const;

    // Time stamps as kept by other objects: the clock in whole milliseconds.
    DWORD GameTimeMs() const { return (DWORD)m_GameClock; }
    DWORD RealTimeMs() const { return (DWORD)m_RealClock; }

    // Read directly by the rest of the game; the scale is also written
    // directly (slow motion 0.4, back to 1).
    DWORD m_LastTick;
    float m_GameStep;         // seconds of game time this frame
    float m_RealStep;         // seconds of real time this frame
    float m_GameClock;        // ms
    float m_RealClock;        // ms
    float m_SavedGameClock;   // ms, the game clock at the last pause
    float m_TimeScale;
};

// No constructor: zero-filled until CGame::Create calls Init.
extern CGameClock g_Clock;

// The sounds a pause holds and a resume lets go (every sound but the music).
// ConnectAudioLinks connects them to the audio manager; unset does nothing.
struct ClockHooks
{
    void (*pauseSounds)();
    void (*resumeSounds)();
};
extern ClockHooks g_ClockHooks;
