// Fuzz target for the route tracing of an area.
// Input: [grid byte][option byte][racers byte][way-point map][route power map].
// The grid side is 1 + grid byte % 64; the way-point map is the next side x
// side bytes and the power map the rest, side bytes of each 360-byte row
// (both filled up with zeros when the input is short). A traced route goes on
// through the shaping a loaded area gives it (smoothing, levelling the ground,
// halving) and into a race path. The option byte picks the cell size (bits
// 0-1), reverse driving (bit 2) and the laps (bits 3-4). Results that break
// the route's rules abort, so the fuzzer reports the input.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/RaceTable.h"
#include "world/Route.h"

namespace
{

const int kMaxGrid = 64;

void Check(bool ok, const char* what)
{
    if (!ok)
    {
        std::fprintf(stderr, "broken rule: %s\n", what);
        std::abort();
    }
}

// Ground of the nearest cell, points outside the grid on its border cells.
float NearestHeight(const RouteGround& g, float x, float z)
{
    float c = std::floor((x + g.size * 0.5f) / g.cellSize);
    float r = std::floor((g.size * 0.5f - z) / g.cellSize);
    const float last = (float)(g.gridSize - 1);
    c = c >= 0 ? (c <= last ? c : last) : 0;   // NaN goes to 0 as well
    r = r >= 0 ? (r <= last ? r : last) : 0;
    return g.heights[(int)r * g.stride + (int)c];
}

bool IsRouteCode(int type)
{
    return (type >= WAYPOINT_MIN_ROUTE && type <= WAYPOINT_MAX_ROUTE) || type == WAYPOINT_COPY_POWER ||
           type == WAYPOINT_SECOND || type == WAYPOINT_START;
}

void CheckTrace(const std::vector<RouteCell>& cells, int n)
{
    Check(cells.size() >= ROUTE_MIN_POINTS, "traced route long enough");
    Check(cells.front().row == cells.back().row && cells.front().col == cells.back().col, "route closed");
    std::vector<char> seen((size_t)n * n, 0);
    for (size_t i = 0; i < cells.size(); ++i)
    {
        const RouteCell& c = cells[i];
        Check(c.row >= 0 && c.row < n && c.col >= 0 && c.col < n, "route cell inside the grid");
        Check(IsRouteCode(c.type), "route cell of a route code");
        Check(c.power >= 0.0f && c.power <= 100.0f, "road power in range");
        if (i + 1 < cells.size())
        {
            Check(!seen[(size_t)c.row * n + c.col], "route cell visited once");
            seen[(size_t)c.row * n + c.col] = 1;
        }
        if (i >= 2 && i + 1 < cells.size())
        {
            const RouteCell& p = cells[i - 1];
            Check(std::abs(c.row - p.row) <= 1 && std::abs(c.col - p.col) <= 1, "route steps to a neighbour");
        }
    }
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3 || size > 64 * 1024)
        return 0;
    const int n = 1 + data[0] % kMaxGrid;
    const int options = data[1];
    const unsigned racers = data[2] % 32;
    data += 3;
    size -= 3;

    std::vector<unsigned char> wayPoints((size_t)n * n, 0);
    const size_t mapBytes = size < wayPoints.size() ? size : wayPoints.size();
    std::memcpy(wayPoints.data(), data, mapBytes);
    data += mapBytes;
    size -= mapBytes;
    std::vector<unsigned char> power((size_t)n * ROUTE_POWER_ROW, 0);
    for (int r = 0; r < n && size > 0; ++r)
    {
        const size_t row = size < (size_t)n ? size : (size_t)n;
        std::memcpy(&power[(size_t)r * ROUTE_POWER_ROW], data, row);
        data += row;
        size -= row;
    }

    const std::vector<unsigned char> original = wayPoints;
    std::vector<RouteCell> cells;
    const int traced = TraceRoute(wayPoints.data(), n, power.data(), &cells);
    Check(wayPoints == original, "way-point map left as it was");
    if (traced != ROUTE_TRACE_OK)
    {
        Check(cells.empty() && RouteTraceMessage(traced)[0] != 0, "failed trace: no cells, a message");
        return 0;
    }
    CheckTrace(cells, n);

    // The shaping of a loaded area, on a sloped ground.
    const float cellSizes[] = {0.5f, 1.0f, 2.5f, 10.0f};
    const float cellSize = cellSizes[options & 3];
    std::vector<float> heights((size_t)n * n);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            heights[(size_t)r * n + c] = (float)((r * 7 + c * 3) % 11) * cellSize;
    RouteGround ground{heights.data(), n, n, n * cellSize, cellSize, NearestHeight, nullptr};

    const int count = (int)cells.size();
    std::vector<float> pos((size_t)(count + 1) * 3);
    std::vector<int> type(count + 1);
    std::vector<float> roadPower(count + 1);
    float(*p)[3] = reinterpret_cast<float(*)[3]>(pos.data());
    for (int i = 0; i < count; ++i)
    {
        RouteCellCentre(ground, cells[i].row, cells[i].col, p[i]);
        p[i][1] = NearestHeight(ground, p[i][0], p[i][2]);
        type[i] = cells[i].type;
        roadPower[i] = cells[i].power;
    }
    SmoothRoute(p, count, 2);
    // Grids of this target stay far below the levelling bound.
    Check(FlattenRouteCells(ground, p, count) <= ROUTE_MAX_LEVELLING_CELLS, "levelling within its bound");
    Check(FlattenRoute(ground, p, count) == 1, "levelling done");
    SmoothRoute(p, count, 2);
    const int halved = HalveRoute(p, type.data(), roadPower.data(), count);
    Check(halved == (count + 1) / 2, "halved count");
    SmoothRoute(p, halved, 2);
    for (int i = 0; i < halved; ++i)
        Check(std::isfinite(p[i][0]) && std::isfinite(p[i][1]) && std::isfinite(p[i][2]), "finite route points");
    for (float h : heights)
        Check(std::isfinite(h), "finite ground");

    const unsigned laps = (unsigned)((options >> 3) & 3);
    const int reverse = (options >> 2) & 1;
    BuildRacePath(p, type.data(), (unsigned)halved, laps, reverse, racers, cellSize);
    Check(g_RacePathCount == (int)RacePathPoints((unsigned)halved, laps, reverse, racers), "race path count");
    for (int i = 0; i < g_RacePathCount; ++i)
        Check(IsRouteCode(g_RacePathTypes[i]), "race path point of the route");
    FreeRacePath();
    return 0;
}
