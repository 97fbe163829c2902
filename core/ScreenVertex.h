#pragma once
// A pre-transformed vertex of 2D drawing (XYZRHW | DIFFUSE | TEX1, 28 bytes).
#include "platform/os/WinTypes.h"

struct ScreenVertex
{
    float x, y, z, rhw;
    DWORD color;
    float u, v;
};
static_assert(sizeof(ScreenVertex) == 28, "ScreenVertex must stay 28 bytes");

#define SCREENVERTEX_FVF 0x144

// Unit-disc fans (centre, then the rim closing on its first point), filled
// once the settings are read: 16 rim points and 33 rim points.
extern ScreenVertex g_DrawDiscVertices[17];
extern ScreenVertex g_DrawDiscFineVertices[34];
