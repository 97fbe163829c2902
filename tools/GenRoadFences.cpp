// Generator module: the barrier chains of each demo area's "FencesMap.dat".
// Besides the fence run the area itself paints along the start straight, a
// banner fence lines the inside of the straight, and the three sharpest
// corners get a tyre wall on the outside, a chain of barrels, tyre stacks at
// the apex or a row of bollards. A chain is painted only where all its cells
// keep clear of the road, the water, the placed objects and other chains.
#include <algorithm>
#include <cmath>

#include "tools/AreaGen.h"
#include "tools/DataTree.h"

namespace
{

const int N = kAreaGridSize;

struct CellF
{
    float r, c;
};

class FencePainter
{
public:
    explicit FencePainter(const AreaData& area) : a(area), map(area.fences)
    {
        for (int cell : a.route)
            loop.push_back({float(cell / N), float(cell % N)});
        for (const CellF& p : loop)
        {
            centroid.r += p.r / loop.size();
            centroid.c += p.c / loop.size();
        }
    }

    int Count() const { return int(loop.size()); }

    // Turning of the loop at i, in radians.
    float Turn(int i) const
    {
        const CellF a0 = At(i - 5), a1 = At(i), a2 = At(i + 5);
        const float t0 = std::atan2(a1.r - a0.r, a1.c - a0.c), t1 = std::atan2(a2.r - a1.r, a2.c - a1.c);
        float d = t1 - t0;
        while (d > 3.14159265f)
            d -= 6.2831853f;
        while (d < -3.14159265f)
            d += 6.2831853f;
        return std::fabs(d);
    }

    // Cell `offset` cells beside loop point i: outside (away from the loop's
    // centre) or inside.
    CellF Beside(int i, float offset, bool outside) const
    {
        const CellF p = At(i), a0 = At(i - 3), a1 = At(i + 3);
        float tr = a1.r - a0.r, tc = a1.c - a0.c;
        const float l = std::sqrt(tr * tr + tc * tc);
        float nr = -tc / l, nc = tr / l;
        const bool away = nr * (p.r - centroid.r) + nc * (p.c - centroid.c) > 0.0f;
        if (away != outside)
            nr = -nr, nc = -nc;
        return {p.r + nr * offset, p.c + nc * offset};
    }

    // A continuous chain beside loop points first..last.
    bool PaintRun(int first, int last, float offset, bool outside, uint8_t code)
    {
        std::vector<int> cells;
        for (int i = first; i <= last; ++i)
        {
            const CellF p = Beside(i, offset, outside);
            const CellF q = Beside(i + 1, offset, outside);
            for (int s = 0; s < 8; ++s)
            {
                const float t = s / 8.0f;
                Append(cells, int(std::floor(p.r + (q.r - p.r) * t)), int(std::floor(p.c + (q.c - p.c) * t)));
            }
        }
        // Drop corner cells: a chain must be one cell wide for its trace.
        for (bool changed = true; changed;)
        {
            changed = false;
            for (size_t k = 1; k + 1 < cells.size(); ++k)
                if (Adjacent(cells[k - 1], cells[k + 1]))
                {
                    cells.erase(cells.begin() + long(k));
                    changed = true;
                    break;
                }
        }
        return Paint(cells, code);
    }

    // Single cells beside every `step`-th loop point of first..last.
    bool PaintSpots(int first, int last, int step, float offset, bool outside, uint8_t code)
    {
        std::vector<int> cells;
        for (int i = first; i <= last; i += step)
        {
            const CellF p = Beside(i, offset, outside);
            const int cell = int(std::floor(p.r)) * N + int(std::floor(p.c));
            if (!cells.empty() && Near(cells.back(), cell, 1))
                continue;
            cells.push_back(cell);
        }
        return Paint(cells, code);
    }

    std::vector<uint8_t> Map() const { return map; }

private:
    CellF At(int i) const
    {
        const int n = int(loop.size());
        return loop[size_t(((i % n) + n) % n)];
    }
    static bool Adjacent(int x, int y) { return Near(x, y, 1); }
    static bool Near(int x, int y, int reach)
    {
        return std::abs(x / N - y / N) <= reach && std::abs(x % N - y % N) <= reach;
    }
    static void Append(std::vector<int>& cells, int r, int c)
    {
        const int cell = r * N + c;
        if (cells.empty() || cells.back() != cell)
            cells.push_back(cell);
    }

    bool Clear(int cell) const
    {
        const int r = cell / N, c = cell % N;
        if (r < 3 || c < 3 || r >= N - 3 || c >= N - 3)
            return false;
        if (a.heightMap[size_t(cell)] <= AreaWaterAltitude() / kAreaHeightScale * 255.0f + 4.0f)
            return false;
        for (const CellF& p : loop)
            if ((p.r - r) * (p.r - r) + (p.c - c) * (p.c - c) < 3.4f * 3.4f)
                return false;
        // Other chains: two cells apart, so no two chains join.
        for (int dr = -2; dr <= 2; ++dr)
            for (int dc = -2; dc <= 2; ++dc)
                if (map[size_t((r + dr) * N + c + dc)] != 0)
                    return false;
        const float x = c * kAreaCellSize - N * kAreaCellSize / 2 + kAreaCellSize / 2;
        const float z = N * kAreaCellSize / 2 - r * kAreaCellSize - kAreaCellSize / 2;
        for (const AreaData::Placed& o : a.objects)
        {
            const float dx = o.position[0] - x, dz = o.position[2] - z;
            if (dx * dx + dz * dz < 8.0f * 8.0f)
                return false;
        }
        return true;
    }

    bool Paint(const std::vector<int>& cells, uint8_t code)
    {
        if (cells.empty())
            return false;
        for (int cell : cells)
            if (!Clear(cell))
                return false;
        for (int cell : cells)
            map[size_t(cell)] = code;
        return true;
    }

    const AreaData& a;
    std::vector<uint8_t> map;
    std::vector<CellF> loop;
    CellF centroid{0.0f, 0.0f};
};

}   // namespace

std::vector<uint8_t> AreaFenceMap(const AreaData& area)
{
    FencePainter painter(area);
    const int n = painter.Count();
    if (n < 60)
        return area.fences;
    // Along the start straight, inside: the banner fence.
    painter.PaintRun(n - 14, n + 16, 4.6f, false, 6);

    // The sharpest corners, well apart and away from the start.
    std::vector<int> corners;
    std::vector<int> order;
    for (int i = 30; i < n - 30; ++i)
        order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return painter.Turn(x) > painter.Turn(y); });
    for (int i : order)
    {
        bool apart = true;
        for (int k : corners)
            if (std::abs(k - i) < 40)
                apart = false;
        if (apart)
            corners.push_back(i);
        if (corners.size() == 3)
            break;
    }
    for (size_t k = 0; k < corners.size(); ++k)
    {
        const int i = corners[k];
        switch (k)
        {
        case 0:
            painter.PaintRun(i - 9, i + 9, 5.6f, true, 2);
            painter.PaintSpots(i - 4, i + 4, 4, 5.4f, false, 3);
            break;
        case 1:
            painter.PaintRun(i - 5, i + 5, 5.4f, true, 5);
            painter.PaintSpots(i - 9, i + 9, 3, 5.2f, false, 4);
            break;
        default:
            painter.PaintRun(i - 8, i + 8, 5.6f, true, 2);
            painter.PaintSpots(i - 3, i + 3, 3, 5.4f, false, 3);
            break;
        }
    }
    return painter.Map();
}

namespace
{

void AddRoadFences(DataTree& tree)
{
    for (int number = 1; number <= kAreaCount; ++number)
    {
        const AreaData area = GenerateArea(number);
        tree.Add(area.folder + "/FencesMap.dat", AreaFenceMap(area));
    }
}

}   // namespace

// Runs after "areas", whose fence map it replaces.
REGISTER_GENERATOR("roadfences", AddRoadFences);
