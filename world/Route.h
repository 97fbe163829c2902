#pragma once
// The route of an area on plain arrays: tracing the way-point map into an
// ordered loop, smoothing it, levelling the ground under it, halving it, and
// building the race path from it. CLandscape's route members call these; they
// hold no state of their own.
#include <vector>

// Way-point map codes.
#define WAYPOINT_MIN_ROUTE  10   // 10..250: a route cell with its own power
#define WAYPOINT_MAX_ROUTE  250
#define WAYPOINT_COPY_POWER 252   // a route cell with the power of the point before
#define WAYPOINT_SECOND     253   // the point after the start: the driving direction
#define WAYPOINT_START      254

// Bytes per row of "RoutePower.dat", whatever the grid.
#define ROUTE_POWER_ROW 360

// Fewest points of a traced, closed route (before halving). Shorter loops
// cannot carry a race path, a grid or the smoothing windows.
#define ROUTE_MIN_POINTS 8

// One traced cell.
struct RouteCell
{
    int row, col;
    int type;      // the way-point code it came from
    float power;   // road power 0..100
};

enum RouteTraceResult
{
    ROUTE_TRACE_OK = 0,
    ROUTE_TRACE_NO_START,
    ROUTE_TRACE_NO_SECOND,
    ROUTE_TRACE_TOO_SHORT,
};

// Road power of a route point from its "RoutePower.dat" byte: the lowest
// third of the range gives 0, the rest is stretched to 0..~87.
float RoutePowerFromByte(unsigned char b);

// Traces the gridSize x gridSize way-point map (row-major; not changed) from
// the start and second cells along the route cells into `cells`, closed by a
// copy of the first cell. `powerMap` holds ROUTE_POWER_ROW bytes per row and
// at least gridSize rows. Returns ROUTE_TRACE_OK, or the reason with `cells`
// left empty.
int TraceRoute(const unsigned char* wayPoints, int gridSize, const unsigned char* powerMap,
               std::vector<RouteCell>* cells);

// The message of a failed trace.
const char* RouteTraceMessage(int result);

// `passes` passes of the running three-point mean over x and z; the first
// and the last two points stay put.
void SmoothRoute(float (*pos)[3], int count, int passes);

// The grid a route lies on: heights[row][col] with row 0 at z = size / 2.
struct RouteGround
{
    float* heights;   // row r, column c at heights[r * stride + c]
    int stride;
    int gridSize;
    float size;   // side of the area in world units
    float cellSize;
    // Height of the ground at (x, z), read from `heights` as it is now.
    float (*height)(const RouteGround& ground, float x, float z);
    void* user;
};

// World centre of cell (row, col) as route points use it (y left 0).
void RouteCellCentre(const RouteGround& ground, int row, int col, float out[3]);

// Farthest the levelling reaches, in cells: 5 units across the road, so 20
// cells at the smallest cell size an area may have (a quarter unit).
#define ROUTE_MAX_REACH 20

// Most grid cells the levelling of one route may visit. A loop around a
// whole 360-cell grid at the smallest cell size stays well below it (about
// 1500 points of about 16000 cells each); a route that packs the grid with
// tight turns at that cell size does not, and would keep the program busy for
// many seconds.
#define ROUTE_MAX_LEVELLING_CELLS 40000000LL

// Levelling reach in cells for a cell size: trunc(5 / cell size), or -1 when
// the cell size is not a finite positive value or the reach would exceed
// ROUTE_MAX_REACH.
int RouteReach(float cellSize);

// Grid cells FlattenRoute visits for these points (cells outside the grid
// are not counted), or -1 when the cell size gives no reach.
long long FlattenRouteCells(const RouteGround& ground, const float (*pos)[3], int count);

// Levels the ground across the route, blurs it along the route, then sets
// every point's y to the new ground. Cells outside the grid are left out.
// Returns 1; or 0 with the ground and the points untouched when the cell
// size gives no reach or the work would exceed ROUTE_MAX_LEVELLING_CELLS.
int FlattenRoute(RouteGround& ground, float (*pos)[3], int count);

// Keeps the points of even index, the last of them replaced by a copy of
// point 0. Works in place; returns the new count, ceil(count / 2).
int HalveRoute(float (*pos)[3], int* type, float* power, int count);

// Number of race-path points for a route of `routeCount` points (0 for a
// route of fewer than two points).
unsigned RacePathPoints(unsigned routeCount, unsigned laps, int reverse, unsigned racers);

// Rebuilds g_RacePath, g_RacePathTypes, g_RacePathCount and g_RacePathLength:
// the run-up of the grid, `laps` laps (backwards when `reverse`), and the
// start point. A route of fewer than two points gives an empty path.
void BuildRacePath(const float (*routePos)[3], const int* routeType, unsigned routeCount, unsigned laps, int reverse,
                   unsigned racers, float cellSize);
