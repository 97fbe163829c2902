#pragma once
// Occlusion by buildings: a near building's occluder mesh (mesh slot 10)
// seen from the eye gives its outline, and the outline a set of planes that
// bound the region behind the building. Whatever lies wholly inside every
// plane is hidden for this frame. The planes of one building at a time are
// kept here while the occlusion pass runs.
#include <cstdint>

#include "platform/d3d/D3D9.h"

#define OCCLUDER_MAX_PLANES 100
#define OCCLUDER_MAX_EDGES  500

// A point p is on the inner side of a plane when a p.x + b p.y + c p.z + d >= 0.
extern D3DXPLANE g_OccluderPlanes[OCCLUDER_MAX_PLANES];
// Valid planes; 0 = no occluder.
extern int g_OccluderPlaneCount;
extern float g_OccluderCentre[3];

// Adds the edge (first, second), or removes it when it is listed in either
// direction (the last edge takes its place). Returns 0 when a new edge would
// pass `capacity`.
int ToggleEdge(uint16_t (*edges)[2], int* count, int capacity, uint16_t first, uint16_t second);

// Builds the planes of an occluder mesh given in world space (16-bit
// triangle list) for the eye: the silhouette of the triangles facing the eye,
// a plane through each silhouette edge and the eye's line past it, and last
// the vertical plane through `centre` facing away from the eye. An occluder
// whose outline needs more than the tables hold (500 edges, 100 planes) makes
// no planes. Returns the plane count (0: nothing hidden).
int BuildOccluderPlanes(const D3DXVECTOR3* vertices, int vertexCount, const uint16_t* indices, int indexCount,
                        const D3DXVECTOR3& eye, const float centre[3]);

// 1 when all eight points lie on the inner side of every current plane; 0
// without planes or for a null array.
int IsBoxOccluded(const float points[8][3]);
// 1 when a sphere lies wholly inside every current plane (each plane's value
// at the centre at least the radius), 0 otherwise or without planes.
int IsSphereOccluded(const float centre[3], float radius);

// The parts of the world above the placed objects that the occlusion pass
// also hides (the terrain's land parts, the racers, the riders): each is
// called with the current planes of every occluding building, in this order.
// Filled by ConnectWorldLinks (the land parts) and ConnectRacersLinks (racers,
// riders).
typedef void (*OcclusionHook)();
#define OCCLUSION_LANDSCAPE 0
#define OCCLUSION_RACERS    1
#define OCCLUSION_RIDERS    2
#define OCCLUSION_HOOKS     3
extern OcclusionHook g_OcclusionHooks[OCCLUSION_HOOKS];
