#pragma once
// The per-frame side of the landscape: the choices its drawing makes, kept as
// plain functions so they can be checked without a device.
#include "platform/d3d/D3D9.h"

// 1 while the debug display of the route is on (Insert with "Debug out" 1).
extern int g_ShowRoute;

// Terrain parts beyond this eye distance leave out the detail map (a tenth of
// the far plane).
#define TERRAIN_DETAIL_DISTANCE 50.0f
// Beyond this distance a part uses the coarsest level of detail.
#define TERRAIN_COARSE_DISTANCE 100.0f
// A part whose sphere comes nearer than this to the shadow focus samples the
// shadow map.
#define TERRAIN_SHADOW_REACH    32.0f

// Level of detail (0 finest .. 2 coarsest) of a part at `distance`: level 2
// beyond 100 or in the reflection pass, level 1 beyond 50, each only when its
// index list exists.
int ChooseTerrainLod(float distance, int reflectionPass, IDirect3DIndexBuffer9* const lodIndices[3]);

// Exchange sort of a part table by distance, nearest first.
class CLandPart;
void SortPartsByDistance(CLandPart** parts, int count);

// Puts the camera a little above the first race-path point, looking along the
// path; its projection stays and the view is updated. Nothing when the path
// has fewer than two points. Returns 1 when the camera moved.
class CCamera;
int LookAlongRacePath(CCamera* camera);
