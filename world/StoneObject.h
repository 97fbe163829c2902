#pragma once
// A stone lying on the terrain: a world object read from one of the sixteen
// stone descriptions (four shapes in four sizes), seated at a random turn on
// the ground with a static body, its geometry copied out lit and placed for
// the nature manager to pack.
#include <cstdint>

#include "scene/StaticObject.h"
#include "world/LitVertex.h"

// Camera distances of the stone and tree upkeep: beyond them an object is not
// visible; within the body reach its body is in the dynamics world.
#define STONE_VISIBLE_DISTANCE 200.0f
#define TREE_VISIBLE_DISTANCE  350.0f
#define NATURE_BODY_DISTANCE   24.0f
// Vertices one field may hold of stones or stems.
#define NATURE_FIELD_VERTICES  65000

// The stone description of a variant (0..3) and size class (0..3).
void StoneFileName(char* out, int outSize, int variant, int size);

// Moves a nature object's body into the dynamics world within the body reach
// and out beyond it (exactly at the reach it stays where it is).
void NatureUpdateBody(CStaticObject* object);
// A stone's or tree's upkeep: its camera distance (to the near side of its
// bound sphere), whether it is visible (never beyond `visibleDistance`), and
// its body by distance.
void NatureUpdateObject(CStaticObject* object, float visibleDistance);

class CStoneObject : public CStaticObject
{
public:
    CStoneObject();
    // Places the stone near `position` (one cell's jitter), size class `size`;
    // vertexBase = the stone vertices already in its field. Returns this, or
    // null with the object released.
    CStoneObject* Create(const float position[3], int size, int vertexBase);
    // Camera distance, visibility and the body by distance.
    void Update();
    // Frees the copied geometry after packing.
    void FreeGeometry();

    LitVertex* vertices;
    uint16_t* indices;
    int vertexCount;
    int indexCount;
    int size;
};
