#pragma once
// The terrain mesh: one vertex per grid point of the whole area and three
// index lists of one land part at cell steps 1, 2 and 3.
#include <cstdint>

#include "platform/d3d/D3D9.h"

// Position, normal, diffuse (water-depth alpha), uv.
struct TerrainVertex
{
    float x, y, z;
    float nx, ny, nz;
    uint32_t diffuse;
    float u, v;
};
static_assert(sizeof(TerrainVertex) == 36, "terrain vertex layout");

#define TERRAIN_FVF (D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1)

// Alpha of a terrain vertex at height h against the water surface w: 0 above
// it, 128 at the line, rising to 255 three units below.
uint32_t TerrainWaterAlpha(float h, float w);

// The level-of-detail list of one part at cell step `step` (1, 2 or 3), with
// indices relative to the part's base vertex on a grid of gridSize + 1
// vertices per row. Its triangle count is (partCells / step)^2 x 2.
void BuildPartLodIndices(int partCells, int gridSize, int step, uint16_t* out, int* triangleCount);

// Vertex-cache ordering of one index list through a system-memory D3DX mesh;
// the result goes into a new managed, write-only 16-bit index buffer and the
// triangle count is written back. Returns D3D_OK or the failing call's code.
HRESULT OptimizeMeshIndices(const TerrainVertex* vertices, int vertexCount, const uint16_t* indices, int* triangleCount,
                            DWORD fvf, D3DPOOL pool, IDirect3DIndexBuffer9** out);
