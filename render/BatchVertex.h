#pragma once
// One corner of a camera-facing quad or beam triangle in the dynamic batch and
// the dust buffer: the position holds the corner's offset in the quad's own
// plane, set 1 the quad's centre in the world and set 2 its axis; the
// technique "techDirectVertex" turns the quad about the axis to face the eye.
#include <cstdint>

#include "platform/d3d/D3D9.h"

struct BatchVertex
{
    float x, y, z;
    DWORD colour;   // ARGB
    float u, v;
    float centre[3];
    float axis[3];
};
static_assert(sizeof(BatchVertex) == 48, "batch vertices are 48 bytes");

// XYZ | DIFFUSE | TEX3, set 0 of two floats and sets 1 and 2 of three.
const DWORD BATCH_FVF = 0x140342;
const unsigned BATCH_MAX_VERTICES = 5000;
const unsigned BATCH_MAX_INDICES = 7500;

// Colour channels 0..1 to ARGB; values outside are clamped first, so a light
// brighter than 1 saturates instead of wrapping round to dark.
DWORD BatchColour(float r, float g, float b, float a);
