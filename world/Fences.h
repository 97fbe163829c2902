#pragma once
// Road barriers painted into the area's "FencesMap.dat" (gridSize squared
// bytes, row-major; 0 nothing, 1..6 a barrier code, anything else ignored):
// each painted chain is traced into a line of cell centres, smoothed and
// turned into placed objects by CLandscape::CreateRoadFences (Fences.cpp).
// The tracing and smoothing work on plain arrays so they can be checked alone.
#include <vector>

// Most points of one traced chain; a longer chain goes on in a new chain
// that starts at the last cell of the full one.
#define FENCE_CHAIN_MAX 256

// The object descriptions by table index: codes 1..4 use code - 1, code 5
// index 4 or 5 (chosen once per chain), code 6 index 6.
extern const char* const g_FenceObjects[7];
// The start gate, put on route point 0 facing point 1.
extern const char* const g_StartPlaceObject;

struct FencePoint
{
    float x, y, z;
};

// Cells of the same code among the eight neighbours of (row, col); cells
// beyond the border count as empty.
int FenceNeighbours(const unsigned char* map, int gridSize, int row, int col);

// Traces the chain of `code` from (row, col): the start cell, then again and
// again the first cell of the code in the 3 x 3 neighbourhood of the current
// one (upper row first, left to right), zeroing each cell it leaves. Stops
// when no cell follows or when FENCE_CHAIN_MAX cells are listed; in that case
// the last listed cell keeps its code and *more is set to 1, so the caller
// can trace on from it. Cells are appended to `rows` and `cols`.
void TraceFenceChain(unsigned char* map, int gridSize, int row, int col, int code, std::vector<int>* rows,
                     std::vector<int>* cols, int* more);

// Two passes of the running three-point mean over points 1 .. n - 3, then the
// end corrections (first point, second-last, last). Chains of fewer than
// three points are left as they are. y is smoothed too; the caller puts the
// points back on the ground afterwards.
void SmoothFenceChain(std::vector<FencePoint>* points);
