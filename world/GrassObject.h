#pragma once
// A grass clump: two crossed sets of blades, 16 vertices already placed, lit
// and carrying the wave data the grass technique animates. Built once when
// its land part is created; the nature manager copies its vertices into the
// area's grass buffer and deletes it.
#include <cstdint>

#include "platform/d3d/D3D9.h"

struct GrassVertex
{
    float x, y, z;
    D3DCOLOR diffuse;   // lit colour, alpha 255
    D3DCOLOR wave;      // alpha: phase; red, green, blue: wave vector (w x d + 1) / 2
    float u, v;
};
static_assert(sizeof(GrassVertex) == 28, "grass vertices are handed to the device as they are");

#define GRASSVERTEX_FVF 0x1C2

// Clumps one field (a land part of at most 18 x 18 cells, 12 per cell) can
// hold; the shared index lists cover exactly that many.
#define GRASS_FIELD_CLUMPS 3888
// The wave word of a vertex that does not move.
#define GRASS_STILL_WAVE   0xFF7F7F7Fu

// Top-left texture coordinate of each cell of the 4 x 4 grass atlas.
extern float g_GrassAtlas[16][2];
void FillGrassAtlas();

// Indices per clump and triangles per clump of the three grass lists (all
// blades, the two upright blades, one upright blade).
extern const int kGrassListIndices[3];
// Writes list `level` for GRASS_FIELD_CLUMPS clumps (16 vertices each) into
// `out`, which holds kGrassListIndices[level] x GRASS_FIELD_CLUMPS entries.
void BuildGrassIndices(int level, uint16_t* out);

class CGrassObject
{
public:
    // Seats, turns, sizes, colours and waves the clump at (x, z) of
    // `position` (its y is ignored); atlasCell 0..15. Four random draws:
    // width, height, turn, phase.
    void Create(const float position[3], int atlasCell);

    GrassVertex vertices[16];
};
