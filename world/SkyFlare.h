#pragma once
// The sun flare's steps, free of the device and the clocks: the glare's
// strength and target size from where the sun shows on the virtual screen,
// the occlusion ray at most every 0.2 s of game time, the fade of the glare
// at 2000 virtual units per second of real time, and the row of eight discs
// from the sun through the screen centre.
#include <cstdint>
#include <functional>

// The part of the sky the flare keeps from frame to frame.
struct FlareState
{
    float size;          // current half size of the glare
    int occluded;        // 1: the last occlusion ray was blocked
    uint32_t lastTest;   // game-clock ms of the last occlusion ray
};

// The sun as the active camera sees it, and the clocks of this frame.
struct FlareInput
{
    float sunY;          // y of the sky's sun direction (below 0 while the sun is up)
    float x, y;          // the sun's projection on the virtual 800 x 600 screen
    float depth;         // below 0: behind the eye
    float realStep;      // seconds of real time this frame
    float gameClockMs;   // the game clock
};

struct FlareFrame
{
    int sunUp;      // 0: nothing happened, the state is as it was
    float glare;    // strength of the glare colour
    float target;   // the size the glare moves towards
    int rayCast;    // 1 when this frame cast the occlusion ray
    int draw;       // 1: draw the glare at the state's size
    int discs;      // 1: and the discs
};

// One disc of the row.
struct FlareDisc
{
    float x, y, radius;
};

#define FLARE_DISCS 8

// Glare strength: 0.5 with the sun high, weaker as it sinks (-1.25 x sunY).
float FlareGlare(float sunY);
// 0 off screen (50 units of margin) or behind the eye; otherwise larger the
// nearer the sun is to the screen centre: 1.5 x (350 - distance), at least 20.
float FlareTarget(float x, float y, float depth);
// `size` moved towards `target` by at most `maxStep`, never past it.
float FlareApproach(float size, float target, float maxStep);
// The steps of one frame. `sunHidden` is asked only when a ray is due and the
// sun is on screen.
FlareFrame StepFlare(FlareState& state, const FlareInput& in, const std::function<int()>& sunHidden);
// Eight discs from the sun at (x, y) in quarter steps towards the centre
// (cx, cy) and on past it: the fourth at the centre, the eighth at the sun's
// mirror point.
void FlareDiscs(float x, float y, float cx, float cy, FlareDisc out[FLARE_DISCS]);
