#pragma once
// One square of partCells x partCells terrain cells: the unit of visibility,
// shadow tests, road and water meshes and of the nature fields. It draws the
// landscape's shared level-of-detail index lists from its own base vertex, so
// it holds no terrain geometry of its own.
#include "platform/d3d/D3D9.h"

struct RoadPieceView;

class CLandPart
{
public:
    CLandPart();

    // Position, name, seed, base vertex, bounds, eye distance, then its nature.
    void Create(int col, int row);
    // Box from the grid position (y from 0 to heightScale), corners grown by 4
    // in x and z, centre and radius.
    void CalcBounds();
    // Distance from the active camera's eye (its height replaced by
    // heightScale / 2) to the part's sphere; counts the part in the
    // landscape's visible totals.
    void Update();
    // The part's terrain at its level of detail, when visible.
    void Draw();

    // Places one nature type (grass 0, stones 1, trees 2) of the part from
    // the place map and the part's seed.
    void CreateNature(int type);
    // One piece of the checked road cache into the road (pass 0) or the mark
    // (pass 1) buffers.
    void LoadRoad(int pass, const RoadPieceView& piece);
    // The part's road and marks (not in the reflection pass; the marks only
    // up to 80 away), with the states the landscape has set.
    void DrawRoad();
    void DrawRoadMarks();
    // Index list of the terrain cells reaching down to the water and, when
    // there is one, the flat 4 x 4 grid drawn from afar.
    void CreateWater();
    // The part's water inside the landscape's water pass.
    void DrawWater();
    // Gives back the road, road-mark and water buffers.
    void ReleaseBuffers();

    int col, row;
    char name[256];
    int seed;
    int baseVertex;
    IDirect3DVertexBuffer9* roadVB;
    IDirect3DIndexBuffer9* roadIB;
    int roadVertexCount;
    int roadTriangleCount;
    IDirect3DVertexBuffer9* markVB;
    IDirect3DIndexBuffer9* markIB;
    int markVertexCount;
    int markTriangleCount;
    IDirect3DIndexBuffer9* waterIB;
    IDirect3DVertexBuffer9* waterVB;
    int waterTriangleCount;
    float distance;
    int visible;
    int inShadow;
    int natureFlags[3];
    int grassActive, stonesActive, treesActive;
    float boundsMin[3], boundsMax[3];
    float corners[8][3];
    float extent[3], centre[3], radius;
};
