#pragma once
// What a rolling wheel leaves on the ground: skid marks and dust. Off the road
// (road intensity 50 or less) a wheel always marks and dusts; on the road
// (83 or more) only a sliding wheel marks, and none dusts.

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

// routePower 0..100 under the wheel; skid 1 while the wheel grips and below 1
// while it slides; speed in km/h; contact the wheel's ground-contact ramp;
// rearFollowsFront 1 for a rear wheel without a strip behind a marking front.
WheelMarks GetWheelMarks(float routePower, float skid, float speed, float contact, int rearFollowsFront);

// Lets the skid marks read the ground and reach the motorcycles that own
// their strips.
void ConnectSkidHooks();
