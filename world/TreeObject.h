#pragma once
// A tree standing on the terrain: a world object read from one of the five
// tree descriptions, seated leaning with half the ground's slope, scaled 1 to
// 2, with a static body. Its stems (two levels of detail) and leaf quads are
// copied out lit and placed for the nature manager to pack; on shader
// hardware each leaf vertex holds its corner offset, the quad's centre and a
// jitter, and the leaf technique builds the quad around the centre.
#include <cstdint>

#include "render/BatchVertex.h"
#include "world/LitVertex.h"
#include "world/StoneObject.h"

typedef BatchVertex LeafVertex;
#define LEAFVERTEX_FVF 0x140342

// Leaf vertices one field may hold (the leaf index lists cover 8000 quads).
#define NATURE_FIELD_LEAF_VERTICES 32000
// Trees whose up axis leans further than this get no leaves.
#define TREE_LEAF_MIN_UP           0.75f

void TreeFileName(char* out, int outSize, int fileNumber);

class CTreeObject : public CStaticObject
{
public:
    CTreeObject();
    // Places the tree at `position` with tree code 0..4; the bases are the
    // stem, low-stem and leaf vertices already in its field. Returns this, or
    // null with the object released.
    CTreeObject* Create(const float position[3], int treeCode, int stemBase, int lowStemBase, int leafBase);
    void Update();
    void FreeGeometry();

    LitVertex* stemVertices;
    LitVertex* lowStemVertices;
    uint16_t* stemIndices;
    uint16_t* lowStemIndices;
    int stemVertexCount, stemIndexCount, lowStemVertexCount, lowStemIndexCount;
    LeafVertex* leafVertices;
    int leafVertexCount;

private:
    int CopyStems(int slot, float scale, const D3DXMATRIX& m, int treeCode, int base, LitVertex** v, uint16_t** i,
                  int* vc, int* ic);
    int CopyLeaves(float scale, const D3DXMATRIX& m, int treeCode, int leafCell, int leafBase);
};
