// Fuzz target for the barrier chains read from an area's "FencesMap.dat".
// Input: [side byte][map bytes]. The map is side x side bytes (side 1..64,
// missing bytes 0), scanned and traced the way the area load does it. Every
// traced cell must lie in the map and carry the chain's code, each cell must
// touch the one before it, no chain may be longer than the limit, the tracing
// must end, and smoothing must keep the points finite.
#include <cmath>
#include <cstdint>
#include <vector>

#include "world/Fences.h"

namespace
{

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int n = 1 + data[0] % 64;
    std::vector<unsigned char> map((size_t)n * n, 0);
    for (size_t i = 0; i + 1 < size && i < map.size(); ++i)
        map[i] = data[i + 1];
    const std::vector<unsigned char> original = map;

    size_t painted = 0;
    for (unsigned char cell : map)
        painted += cell >= 1 && cell <= 6;

    std::vector<int> rows, cols;
    std::vector<FencePoint> points;
    size_t traced = 0, chains = 0;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
        {
            const int code = map[(size_t)r * n + c];
            const int neighbours = FenceNeighbours(map.data(), n, r, c);
            Check(neighbours >= 0 && neighbours <= 8);
            if (code < 1 || code > 6 || neighbours > 1)
                continue;
            int row = r, col = c, more = 1;
            while (more)
            {
                rows.clear();
                cols.clear();
                TraceFenceChain(map.data(), n, row, col, code, &rows, &cols, &more);
                Check(!rows.empty() && rows.size() == cols.size() && rows.size() <= FENCE_CHAIN_MAX);
                Check(rows[0] == row && cols[0] == col);
                for (size_t k = 0; k < rows.size(); ++k)
                {
                    Check(rows[k] >= 0 && rows[k] < n && cols[k] >= 0 && cols[k] < n);
                    Check(original[(size_t)rows[k] * n + cols[k]] == code);
                    if (k > 0)
                        Check(std::abs(rows[k] - rows[k - 1]) <= 1 && std::abs(cols[k] - cols[k - 1]) <= 1 &&
                              (rows[k] != rows[k - 1] || cols[k] != cols[k - 1]));
                }
                // A chain cut at the limit starts the next one at its last
                // cell, which is then listed twice.
                traced += rows.size();
                ++chains;
                Check(traced <= painted + chains);
                points.clear();
                for (size_t k = 0; k < rows.size(); ++k)
                    points.push_back({cols[k] * 2.0f, (float)(k % 7), -rows[k] * 2.0f});
                SmoothFenceChain(&points);
                Check(points.size() == rows.size());
                for (const FencePoint& p : points)
                    Check(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
                row = rows.back();
                col = cols.back();
            }
        }
    return 0;
}
