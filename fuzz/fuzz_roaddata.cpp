// Fuzz target for the road cache "RoadData.dat".
// Input: [side byte][cache bytes]. The land parts per side are 1 + side % 8;
// the rest is the cache as read from disk, checked against the identity 42
// (the corpus holds caches made with it). A cache the check accepts is then
// read piece by piece as the land parts read it: every count, pointer and
// index must lie inside the input, or the target aborts.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "world/RoadBuild.h"

namespace
{

void Check(bool ok, const char* what)
{
    if (!ok)
    {
        std::fprintf(stderr, "broken rule: %s\n", what);
        std::abort();
    }
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int side = 1 + data[0] % 8;
    const int parts = side * side;
    const uint8_t* cache = data + 1;
    const size_t bytes = size - 1;
    std::vector<RoadPieceView> pieces;
    const int result = ParseRoadCache(cache, bytes, parts, 42, &pieces);
    if (result != ROAD_CACHE_OK)
    {
        Check(pieces.empty(), "a refused cache hands out no pieces");
        return 0;
    }
    Check(pieces.size() == (size_t)parts * 2, "two pieces per part");
    for (const RoadPieceView& p : pieces)
    {
        Check(p.vertexCount >= 0 && p.vertexCount <= ROAD_BUCKET_MAX_VERTICES, "vertex count in range");
        Check(p.indexCount >= 0 && p.indexCount % 3 == 0, "whole triangles");
        if (p.vertexCount == 0)
        {
            Check(p.indexCount == 0, "no indices without vertices");
            continue;
        }
        Check(p.vertices >= cache && p.vertices + (size_t)p.vertexCount * sizeof(RoadVertex) <= cache + bytes,
              "vertices inside the input");
        Check(p.indices >= cache && p.indices + (size_t)p.indexCount * 2 <= cache + bytes, "indices inside the input");
        // What a land part copies into its buffers.
        std::vector<RoadVertex> v((size_t)p.vertexCount);
        std::vector<uint16_t> i((size_t)p.indexCount);
        std::memcpy(v.data(), p.vertices, v.size() * sizeof(RoadVertex));
        std::memcpy(i.data(), p.indices, i.size() * 2);
        for (uint16_t index : i)
            Check(index < p.vertexCount, "index inside its piece");
        for (const RoadVertex& r : v)
            Check(std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.z) && std::isfinite(r.u0) &&
                      std::isfinite(r.v1),
                  "finite vertex");
    }
    return 0;
}
