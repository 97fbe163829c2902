#pragma once
// The vertex of lit, placed world geometry (stones, tree stems, the sun
// billboard): a world-space position, the colour already lit, one set of
// texture coordinates. 24 bytes, XYZ | DIFFUSE | TEX1.
#include "platform/d3d/D3D9.h"

struct LitVertex
{
    float x, y, z;
    D3DCOLOR color;   // ARGB, alpha 255
    float u, v;
};
static_assert(sizeof(LitVertex) == 24, "LitVertex is handed to the device as it is");

#define LITVERTEX_FVF 0x142
