// The route levelling of an area load on a full 360-cell grid: a loop of
// about 1300 points around the grid at several cell sizes. The counters give
// the grid cells visited and the rate, from which the time of the largest
// levelling an area may ask for (ROUTE_MAX_LEVELLING_CELLS) follows.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "world/Route.h"

namespace
{

const int kGrid = 360;

float NearestHeight(const RouteGround& g, float x, float z)
{
    float c = std::floor((x + g.size * 0.5f) / g.cellSize);
    float r = std::floor((g.size * 0.5f - z) / g.cellSize);
    const float last = (float)(g.gridSize - 1);
    c = c >= 0 ? (c <= last ? c : last) : 0;
    r = r >= 0 ? (r <= last ? r : last) : 0;
    return g.heights[(int)r * g.stride + (int)c];
}

// The cells of a rectangle 20 cells in from the border, clockwise, closed.
std::vector<std::vector<float>> RingPoints(const RouteGround& g)
{
    std::vector<std::pair<int, int>> cells;
    const int lo = 20, hi = kGrid - 21;
    for (int c = lo; c < hi; ++c)
        cells.push_back({lo, c});
    for (int r = lo; r < hi; ++r)
        cells.push_back({r, hi});
    for (int c = hi; c > lo; --c)
        cells.push_back({hi, c});
    for (int r = hi; r > lo; --r)
        cells.push_back({r, lo});
    cells.push_back(cells.front());
    std::vector<std::vector<float>> points;
    for (const auto& cell : cells)
    {
        std::vector<float> p(3);
        RouteCellCentre(g, cell.first, cell.second, p.data());
        p[1] = 0.0f;
        points.push_back(p);
    }
    return points;
}

void BM_FlattenRing(benchmark::State& state)
{
    const float cellSize = (float)state.range(0) / 100.0f;
    std::vector<float> heights((size_t)kGrid * kGrid);
    RouteGround g{heights.data(), kGrid, kGrid, kGrid * cellSize, cellSize, NearestHeight, nullptr};
    const std::vector<std::vector<float>> ring = RingPoints(g);
    std::vector<float> pos(ring.size() * 3);
    long long cells = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        for (size_t i = 0; i < heights.size(); ++i)
            heights[i] = (float)((i * 7 + i / kGrid) % 23);
        for (size_t i = 0; i < ring.size(); ++i)
            for (int k = 0; k < 3; ++k)
                pos[i * 3 + k] = ring[i][k];
        float(*p)[3] = reinterpret_cast<float(*)[3]>(pos.data());
        cells = FlattenRouteCells(g, p, (int)ring.size());
        state.ResumeTiming();
        if (!FlattenRoute(g, p, (int)ring.size()))
            state.SkipWithError("levelling refused");
    }
    state.counters["points"] = (double)ring.size();
    state.counters["cells"] = (double)cells;
    state.counters["cells_per_s"] = benchmark::Counter((double)cells, benchmark::Counter::kIsIterationInvariantRate);
}
// Cell sizes in hundredths: the demo areas' 2, then down to the smallest an
// area may have.
BENCHMARK(BM_FlattenRing)->ArgName("cell_x100")->Arg(200)->Arg(100)->Arg(50)->Arg(25)->Unit(benchmark::kMillisecond);

}   // namespace

BENCHMARK_MAIN();
