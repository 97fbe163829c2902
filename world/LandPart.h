#pragma once
// One square of partCells x partCells terrain cells: the unit of visibility,
// shadow tests, road and water meshes and of the nature fields. It draws the
// landscape's shared level-of-detail index lists from its own base vertex, so
// it holds no terrain geometry of its own.
#include "platform/d3d/D3D9.h"

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
    // Entry points of the work that hangs on a part and arrives with its own
    // subsystem (road meshes, water); they do nothing yet.
    void LoadRoad(int handle);
    void LoadRoadMarks(int handle);
    void CreateWater();
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
