#pragma once
// The demo rider as an articulated figure of eleven body parts: pelvis,
// chest, head, then thigh and shin of the left leg, of the right leg, upper
// arm and forearm of the left arm, of the right arm (parts 3, 4, 7, 8 on the
// -x side, 5, 6, 9, 10 on the +x side).
//
// The rider mesh has one slot of 44 frames sharing one triangle list, each
// frame the eleven parts one after the other. Frame 0 is the ragdoll pose:
// every part centred on its own origin, in the axes of the fallen rider's
// start frame (the seat point moved 0.1 back, pitched forward so that its z
// axis runs along forward - 0.35 up). Frames 1 to 43 are the animation in
// the motorcycle's axes with the origin at the seat point: steering 1-9,
// standing up 10-19, kick left 20-31 and kick right 32-43.
//
// The parts mesh holds the part boxes (slot 15, each the part's extent less
// the padding the ragdoll's shapes add) and the joint pivots (point set 8).
#include <vector>

#include "tools/MeshWriter.h"

enum
{
    RIDER_PARTS = 11,
    RIDER_FRAMES = 44,
};

struct RiderActionRow
{
    const char* keyword;
    float speed;   // frames per second as the game scales them
    int first;
    int last;
};
// Steering, standing up, kick left, kick right.
extern const RiderActionRow g_RiderActions[4];

struct RiderFigure
{
    MeshDesc mesh;    // slot 0: the 44 frames
    MeshDesc parts;   // slot 15: part boxes; point set 8: pivots
    int partVertices[RIDER_PARTS][2];
    int partTriangles[RIDER_PARTS][2];
};

RiderFigure BuildRiderFigure();

// Texture atlas cells of the suit pictures (u0, v0, u1, v1).
extern const float g_RiderCells[8][4];
enum RiderCell
{
    CELL_JACKET = 0,
    CELL_LEGS,
    CELL_SLEEVES,
    CELL_HELMET,
    CELL_VISOR,
    CELL_LEATHER,
    CELL_ARMOUR,
    CELL_BELT,
};
