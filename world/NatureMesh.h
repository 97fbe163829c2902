#pragma once
// Copies the first part of a mesh slot out of a nature object's mesh record
// into lit, placed world geometry.
#include <cstdint>

#include "platform/math/D3DXMath.h"
#include "render/MeshContainer.h"
#include "world/LitVertex.h"

// Part 0 of the slot, or null when the record has none.
ID3DXMesh* NatureSlotMesh(const MeshRecord* record, int slot);

// Where the copied texture coordinates go: u x uScale + uOffset, v x vScale + vOffset.
struct NatureUv
{
    float uScale, uOffset, vScale, vOffset;
};

// Reads part 0 of a position-normal-uv slot: each position times `scale`
// then through `matrix`, the colour lit by the sun on the normal through the
// matrix (white surface, alpha 255), each index plus `base`. The arrays are
// new[]-allocated for the caller. Returns 0 (nothing allocated) when the
// mesh is not of that layout or cannot be read.
int NatureCopyLit(ID3DXMesh* mesh, float scale, const D3DXMATRIX& matrix, const NatureUv& uv, int base,
                  LitVertex** vertices, uint16_t** indices, int* vertexCount, int* indexCount);

// The triangle indices of a mesh as ints (16 or 32 bits in the mesh); 0 when
// unreadable.
int NatureReadIndices(ID3DXMesh* mesh, int* out, int count);
