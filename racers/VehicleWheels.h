#pragma once
// What a rolling wheel leaves on the ground: skid marks, only while its ray
// meets the ground, and dust. Off the road (road intensity 50 or less) a
// rolling wheel marks and raises dust; on the road (83 or more) only a
// sliding wheel marks, and none raises dust.

struct WheelMarks
{
    float offRoad;      // 1 at road intensity 50 or less, 0 at 83 or more
    float strength;     // skid-mark strength, 0..1
    int marks;          // 1: the wheel marks the ground this frame
    int dust;           // 1: a dust puff is due once its 0.075 s have passed
    float dustGrowth;   // growth of the puff: 0.1 x sqrt(|speed|)
    float dustScale;    // puff size over half the wheel radius: 2 - skid while
                        // sliding, else 1
};

// What one wheel reads this frame.
struct WheelReading
{
    float routePower;       // 0..100 under the wheel
    float skid;             // the tyre's skid value: 1 while it grips, below 1 while it slides
    int sliding;            // the wheel's settled slide (SettleSlide)
    float speed;            // km/h
    float contact;          // the wheel's ground-contact ramp
    int touching;           // its ray meets the ground this frame
    int rearFollowsFront;   // 1 for a rear wheel behind a marking front
};

WheelMarks GetWheelMarks(const WheelReading& r);

// Seconds a tyre must read sliding (or gripping) before the wheel counts as
// sliding (or no longer): its skid value jumps below 1 and back within a
// single physics step far more often than a tyre really slides, and a mark
// that followed every jump would be a scatter of strips too short to show.
#define WHEEL_SLIDE_SETTLE 0.1f

// Brings the settled slide `*sliding` up to date with this frame's reading
// (1 sliding, 0 gripping) after a game step of dt: a reading that differs
// from it takes over once it has held over at least two readings spanning
// WHEEL_SLIDE_SETTLE seconds. `*change` is how long the differing reading has
// held (-1 while the reading agrees).
void SettleSlide(int reading, float dt, int* sliding, float* change);
