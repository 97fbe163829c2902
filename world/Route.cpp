// Route tracing and the race path. Everything here reads and writes only the
// arrays it is given, and every grid access is checked against the grid, so
// a hand-painted map with a route touching the border cannot reach outside.
#include "world/Route.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/MathUtil.h"
#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/RaceState.h"
#include "platform/math/D3DXMath.h"
#include "world/Landscape.h"

namespace
{

bool IsTraceable(unsigned char v)
{
    return (v >= WAYPOINT_MIN_ROUTE && v <= WAYPOINT_MAX_ROUTE) || v == WAYPOINT_COPY_POWER;
}

float& HeightAt(RouteGround& g, int row, int col)
{
    return g.heights[row * g.stride + col];
}

// One blur step: half way towards the mean of the 3 x 3 samples around the
// cell, those beyond the border taken from the nearest border cell.
void Blur(RouteGround& g, int row, int col)
{
    float sum = 0;
    for (int dr = -1; dr <= 1; dr++)
        for (int dc = -1; dc <= 1; dc++)
        {
            int r = row + dr, c = col + dc;
            r = r < 0 ? 0 : (r >= g.gridSize ? g.gridSize - 1 : r);
            c = c < 0 ? 0 : (c >= g.gridSize ? g.gridSize - 1 : c);
            sum += HeightAt(g, r, c);
        }
    float& h = HeightAt(g, row, col);
    h = h + (sum / 9.0f - h) * 0.5f;
}

// Squares are cut to the grid: a tiny cell size gives a reach far beyond it.
void ClipSpan(const RouteGround& g, int centre, int half, int* first, int* last)
{
    *first = centre - half < 0 ? 0 : centre - half;
    *last = centre + half >= g.gridSize ? g.gridSize - 1 : centre + half;
}

void BlurSquare(RouteGround& g, int row, int col, int half)
{
    int r0, r1, c0, c1;
    ClipSpan(g, row, half, &r0, &r1);
    ClipSpan(g, col, half, &c0, &c1);
    for (int r = r0; r <= r1; r++)
        for (int c = c0; c <= c1; c++)
            Blur(g, r, c);
}

// A grid coordinate as a cell index. Anything further out than `margin`
// cells beyond the grid (NaN included) is held there before the conversion:
// no square of that half size reaches the grid from there either way.
int HeldCell(double g, int gridSize, int margin)
{
    const double low = -(double)margin - 1.0;
    const double high = (double)gridSize + margin;
    if (!(g >= low))
        return (int)low;
    if (g > high)
        return (int)high;
    return (int)std::floor(g);
}

void CellOfPoint(const RouteGround& g, const float p[3], int margin, int* row, int* col)
{
    *col = HeldCell((p[0] + g.size * 0.5f) / g.cellSize, g.gridSize, margin);
    *row = HeldCell((g.size * 0.5f - p[2]) / g.cellSize, g.gridSize, margin);
}

// Cells of the square of half size `half` around (row, col) that lie inside
// the grid.
long long SquareCells(const RouteGround& g, int row, int col, int half)
{
    int r0, r1, c0, c1;
    ClipSpan(g, row, half, &r0, &r1);
    ClipSpan(g, col, half, &c0, &c1);
    if (r1 < r0 || c1 < c0)
        return 0;
    return (long long)(r1 - r0 + 1) * (c1 - c0 + 1);
}

}   // namespace

float RoutePowerFromByte(unsigned char b)
{
    float p = b * 0.003921569f * 100.0f - 33.0f;
    if (p < 0)
        p = 0;
    return p * 0.012987013f * 100.0f;
}

int TraceRoute(const unsigned char* wayPoints, int gridSize, const unsigned char* powerMap,
               std::vector<RouteCell>* cells)
{
    cells->clear();
    const int n = gridSize;
    std::vector<unsigned char> map(wayPoints, wayPoints + (size_t)n * n);

    int startRow = -1, startCol = -1, secondRow = -1, secondCol = -1;
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++)
        {
            // When a code is painted twice the later cell counts.
            if (map[r * n + c] == WAYPOINT_START)
                startRow = r, startCol = c;
            else if (map[r * n + c] == WAYPOINT_SECOND)
                secondRow = r, secondCol = c;
        }
    if (startRow < 0)
        return ROUTE_TRACE_NO_START;
    if (secondRow < 0)
        return ROUTE_TRACE_NO_SECOND;

    std::vector<RouteCell> trace;
    trace.push_back({startRow, startCol, WAYPOINT_START, 0});
    trace.push_back({secondRow, secondCol, WAYPOINT_SECOND, 0});
    map[startRow * n + startCol] = 0;

    int row = secondRow, col = secondCol;
    for (;;)
    {
        map[row * n + col] = 0;
        int nextRow = -1, nextCol = -1;
        // Upper rows first, then smaller columns: the first match wins.
        for (int r = row - 1; r <= row + 1 && nextRow < 0; r++)
            for (int c = col - 1; c <= col + 1; c++)
            {
                if (r < 0 || c < 0 || r >= n || c >= n || !IsTraceable(map[r * n + c]))
                    continue;
                nextRow = r, nextCol = c;
                break;
            }
        if (nextRow < 0)
            break;
        const int type = map[nextRow * n + nextCol];
        const float power = type == WAYPOINT_COPY_POWER
                                ? trace.back().power
                                : RoutePowerFromByte(powerMap[nextRow * ROUTE_POWER_ROW + nextCol]);
        trace.push_back({nextRow, nextCol, type, power});
        row = nextRow, col = nextCol;
    }

    // The closing copy of the start is the last point.
    if ((int)trace.size() + 1 < ROUTE_MIN_POINTS)
        return ROUTE_TRACE_TOO_SHORT;
    trace[1].power = trace[2].power;
    trace[0].power = trace[1].power;
    trace.push_back(trace[0]);
    cells->swap(trace);
    return ROUTE_TRACE_OK;
}

const char* RouteTraceMessage(int result)
{
    switch (result)
    {
    case ROUTE_TRACE_NO_START:
        return "Way points map has no start point!";
    case ROUTE_TRACE_NO_SECOND:
        return "Way points map has no second point!";
    case ROUTE_TRACE_TOO_SHORT:
        return "Way points map route is too short!";
    default:
        return "";
    }
}

void SmoothRoute(float (*pos)[3], int count, int passes)
{
    for (int pass = 0; pass < passes; pass++)
        for (int j = 0; j <= count - 4; j++)
        {
            pos[j + 1][0] = (pos[j][0] + pos[j + 1][0] + pos[j + 2][0]) / 3.0f;
            pos[j + 1][2] = (pos[j][2] + pos[j + 1][2] + pos[j + 2][2]) / 3.0f;
        }
}

void RouteCellCentre(const RouteGround& g, int row, int col, float out[3])
{
    out[0] = col * g.cellSize - g.size / 2 + g.cellSize / 2 + 0.1f;
    out[1] = 0;
    out[2] = g.size / 2 - row * g.cellSize - g.cellSize / 2 + 0.1f;
}

int RouteReach(float cellSize)
{
    // Checked as a float before it becomes a count of cells: a cell size of
    // 0, below zero, NaN or tiny gives no reach at all.
    if (!(cellSize > 0.0f) || !std::isfinite(cellSize))
        return -1;
    const double reach = 5.0 / cellSize;
    return reach > ROUTE_MAX_REACH ? -1 : (int)reach;
}

long long FlattenRouteCells(const RouteGround& g, const float (*pos)[3], int count)
{
    const int reach = RouteReach(g.cellSize);
    if (reach < 0)
        return -1;
    long long cells = 0;
    for (int i = 0; i < count; i++)
    {
        int rp, cp;
        CellOfPoint(g, pos[i], reach + 2, &rp, &cp);
        // Levelling square, the growing blur squares, the last wide one.
        cells += SquareCells(g, rp, cp, reach);
        for (int t = 0; t <= reach; t++)
            cells += SquareCells(g, rp, cp, t);
        cells += SquareCells(g, rp, cp, reach + 2);
    }
    return cells;
}

int FlattenRoute(RouteGround& g, float (*pos)[3], int count)
{
    if (count <= 0)
        return 1;
    // The work grows with the route and with the cube of the reach: all of
    // it is counted before anything changes, so an area that would keep the
    // program busy for seconds is refused instead.
    const long long work = FlattenRouteCells(g, pos, count);
    if (work < 0 || work > ROUTE_MAX_LEVELLING_CELLS)
        return 0;
    const int reach = RouteReach(g.cellSize);
    const float along = 2.0f * g.cellSize;

    for (int i = 0; i < count; i++)
    {
        const D3DXVECTOR3 p(pos[i][0], pos[i][1], pos[i][2]);
        // The closing point lies on point 0; it looks towards point 1.
        const int next = i + 1 < count ? i + 1 : (count > 1 ? 1 : 0);
        const D3DXVECTOR3 q(pos[next][0], pos[next][1], pos[next][2]);
        if (q.x == p.x && q.y == p.y && q.z == p.z)
            continue;   // no direction to level across
        D3DXMATRIX frame;
        MatrixFromPosTargetUp(frame, p, q, D3DXVECTOR3(0, 1, 0));
        // Rotating into the frame, the along-route component is the offset
        // projected on the frame's forward row.
        const D3DXVECTOR3 forward(frame._31, frame._32, frame._33);

        int rp, cp, r0, r1, c0, c1;
        CellOfPoint(g, pos[i], reach + 2, &rp, &cp);
        ClipSpan(g, rp, reach, &r0, &r1);
        ClipSpan(g, cp, reach, &c0, &c1);
        for (int r = r0; r <= r1; r++)
            for (int c = c0; c <= c1; c++)
            {
                float centre[3];
                RouteCellCentre(g, r, c, centre);
                centre[1] = g.height(g, centre[0], centre[2]);
                const float a =
                    (centre[0] - p.x) * forward.x + (centre[1] - p.y) * forward.y + (centre[2] - p.z) * forward.z;
                if (std::fabs(a) <= along)
                {
                    float& h = HeightAt(g, r, c);
                    h = h + (p.y - h) * (1.0f - std::fabs(a) / along * 0.5f);
                }
            }
    }

    for (int i = 0; i < count; i++)
    {
        int rp, cp;
        CellOfPoint(g, pos[i], reach + 2, &rp, &cp);
        for (int t = 0; t <= reach; t++)
            BlurSquare(g, rp, cp, t);
        BlurSquare(g, rp, cp, reach + 2);
    }

    for (int i = 0; i < count; i++)
        pos[i][1] = g.height(g, pos[i][0], pos[i][2]);
    return 1;
}

int HalveRoute(float (*pos)[3], int* type, float* power, int count)
{
    if (count <= 0)
        return 0;
    int kept = 0;
    for (int i = 0; i < count; i += 2, kept++)
    {
        pos[kept][0] = pos[i][0];
        pos[kept][1] = pos[i][1];
        pos[kept][2] = pos[i][2];
        type[kept] = type[i];
        power[kept] = power[i];
    }
    pos[kept - 1][0] = pos[0][0];
    pos[kept - 1][1] = pos[0][1];
    pos[kept - 1][2] = pos[0][2];
    type[kept - 1] = type[0];
    power[kept - 1] = power[0];
    return kept;
}

namespace
{

// Run-up indices; both directions stay inside the route.
void RunUp(unsigned m, int reverse, unsigned racers, std::vector<unsigned>* out)
{
    const long long M = m, rn = racers;
    if (!reverse)
    {
        // Behind the start line: none when the grid is longer than the route.
        for (long long i = M - rn - 2; i >= 0 && i < M - 2; i += 2)
            out->push_back((unsigned)i);
    }
    else if (rn + 2 <= M - 1)
    {
        // Ahead of the start line, driven backwards.
        for (long long i = rn + 2; i > 2; i -= 2)
            out->push_back((unsigned)i);
    }
}

}   // namespace

unsigned RacePathPoints(unsigned routeCount, unsigned laps, int reverse, unsigned racers)
{
    if (routeCount < 2)
        return 0;
    std::vector<unsigned> runUp;
    RunUp(routeCount, reverse, racers, &runUp);
    return (unsigned)runUp.size() + (routeCount - 1) * laps + 1;
}

void BuildRacePath(const float (*routePos)[3], const int* routeType, unsigned routeCount, unsigned laps, int reverse,
                   unsigned racers, float cellSize)
{
    FreeRacePath();
    const unsigned total = RacePathPoints(routeCount, laps, reverse, racers);
    if (total == 0)
        return;
    g_RacePath = static_cast<float(*)[3]>(std::malloc(sizeof(float[3]) * total));
    g_RacePathTypes = static_cast<int*>(std::malloc(sizeof(int) * total));
    if (!g_RacePath || !g_RacePathTypes)
    {
        FreeRacePath();
        return;
    }

    auto append = [&](unsigned i) {
        g_RacePath[g_RacePathCount][0] = routePos[i][0];
        g_RacePath[g_RacePathCount][1] = routePos[i][1];
        g_RacePath[g_RacePathCount][2] = routePos[i][2];
        g_RacePathTypes[g_RacePathCount] = routeType[i];
        g_RacePathCount++;
    };

    std::vector<unsigned> runUp;
    RunUp(routeCount, reverse, racers, &runUp);
    for (unsigned i : runUp)
        append(i);
    for (unsigned lap = 0; lap < laps; lap++)
    {
        if (!reverse)
            for (unsigned i = 0; i + 1 < routeCount; i++)
                append(i);
        else
            for (unsigned i = routeCount - 1; i >= 1; i--)
                append(i);
    }
    append(0);
    g_RacePathLength = g_RacePathCount * cellSize * 2;
}

// ---------------------------------------------------------------------------
// The landscape's route: read, traced, shaped and halved at area load; the
// race path rebuilt at every race start.

namespace
{

const char kLevellingMessage[] = "Way points map route is too long for the cell size!";

float LandscapeGroundHeight(const RouteGround& ground, float x, float z)
{
    const float p[3] = {x, 0.0f, z};
    return static_cast<const CLandscape*>(ground.user)->GetHeight(p);
}

}   // namespace

int CLandscape::CreateRoute()
{
    FreeRoute();
    const int n = gridSize;
    if (n < 1 || n > LANDSCAPE_MAX_GRID)
        return 0;

    char name[512];
    std::snprintf(name, sizeof(name), "%s/WayPointsMap.dat", areaPath);
    int bytes = 0;
    const int handle = g_FileManager.Open(name, FILE_WORLD, &bytes);
    std::vector<unsigned char> map((size_t)n * n);
    // A map shorter than the grid would leave the trace reading past its end.
    const bool read =
        handle != -1 && bytes >= n * n && g_FileManager.Read(map.data(), 1, map.size(), handle) == map.size();
    g_FileManager.Close(handle);
    if (!read)
    {
        ShowMessage("Can't open way points map!", "CreateRoute() error!", MB_OK);
        return 0;
    }
    if (!LoadRoutePowerMap())
        return 0;

    if (!ShapeRoute(map.data()))
        return 0;
    // The road meshes come from the full route; the rest of the game uses
    // every second point.
    CreateRoadData();
    routeCount = HalveRoute(routePos, routeType, routePower, routeCount);
    SmoothRoute(routePos, routeCount, 2);
    return 1;
}

int CLandscape::ShapeRoute(const unsigned char* map)
{
    FreeRoute();
    const int n = gridSize;
    std::vector<RouteCell> cells;
    const int traced = TraceRoute(map, n, &routePowerMap[0][0], &cells);
    if (traced != ROUTE_TRACE_OK)
    {
        ShowMessage(RouteTraceMessage(traced), "CreateRoute() error!", MB_OK);
        return 0;
    }

    const int count = (int)cells.size();
    routePos = new float[count + 1][3];
    routeType = new int[count + 1];
    routePower = new float[count + 1];
    routeCount = count;
    RouteGround ground{&heights[0][0], LANDSCAPE_MAX_GRID, n, size, cellSize, LandscapeGroundHeight, this};
    for (int i = 0; i < count; i++)
    {
        RouteCellCentre(ground, cells[i].row, cells[i].col, routePos[i]);
        routePos[i][1] = GetHeight(routePos[i]);
        routeType[i] = cells[i].type;
        routePower[i] = cells[i].power;
    }

    SmoothRoute(routePos, routeCount, 2);
    if (!FlattenRoute(ground, routePos, routeCount))
    {
        FreeRoute();
        ShowMessage(kLevellingMessage, "CreateRoute() error!", MB_OK);
        return 0;
    }
    SmoothRoute(routePos, routeCount, 2);
    return 1;
}

void CLandscape::CreateRacePath()
{
    int row = g_CurrentRace;
    if (row < 0 || row >= RACE_ROWS)
        row = 0;
    const int laps = g_RaceTable.laps[row] > 0 ? g_RaceTable.laps[row] : 0;
    const int racers = g_RaceTable.racers[row] > 0 ? g_RaceTable.racers[row] : 0;
    BuildRacePath(routePos, routeType, routeCount > 0 ? (unsigned)routeCount : 0u, (unsigned)laps,
                  g_RaceTable.reverse[row], (unsigned)racers, cellSize);
}

int CLandscape::LoadRoutePowerMap()
{
    char name[512];
    std::snprintf(name, sizeof(name), "%s/RoutePower.dat", areaPath);
    // Rows are 360 bytes whatever the grid.
    const long long bytes = (long long)gridSize * LANDSCAPE_MAX_GRID;
    if (!ReadSizedFile(name, routePowerMap, bytes))
    {
        std::memset(routePowerMap, 0, sizeof(routePowerMap));
        ShowMessage("Can't open route power map!", "CreateRoute() error!", MB_OK);
        return 0;
    }
    return 1;
}

void CLandscape::FreeRoute()
{
    delete[] routePos;
    routePos = nullptr;
    delete[] routeType;
    routeType = nullptr;
    delete[] routePower;
    routePower = nullptr;
    routeCount = 0;
}
