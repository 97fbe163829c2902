// Generator module: "RoadData.dat" of each demo area, built by the game's own
// route shaping and road builder from the area's maps, so the shipped cache
// is exactly the one a load accepts.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tools/AreaGen.h"
#include "tools/DataTree.h"
#include "world/Landscape.h"
#include "world/RoadBuild.h"

std::vector<uint8_t> BuildAreaRoadData(const AreaData& area)
{
    CLandscape& land = g_Landscape;
    land.FreeRoute();
    std::snprintf(land.areaPath, sizeof(land.areaPath), "%s", area.folder.c_str());
    land.gridSize = area.gridSize;
    land.partsPerSide = kAreaPartsPerSide;
    land.partCells = kAreaPartCells;
    land.cellSize = kAreaCellSize;
    land.heightScale = kAreaHeightScale;
    land.size = land.gridSize * land.cellSize;
    land.partCount = land.partsPerSide * land.partsPerSide;
    const int n = land.gridSize;
    // As the game reads "HeightMap.dat".
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            land.heights[r][c] = area.heightMap[(size_t)r * n + c] * 0.003921569f * land.heightScale;
    std::memcpy(land.routePowerMap, area.routePower.data(),
                std::min(area.routePower.size(), sizeof(land.routePowerMap)));
    std::vector<uint8_t> bytes;
    if (land.ShapeRoute(area.wayPoints.data()))
        bytes =
            BuildRoadCache(land.RoadGroundOf(), land.routePos, land.routePower, land.routeCount, land.RoadIdentity());
    land.FreeRoute();
    land.Reset();
    return bytes;
}

namespace
{

void AddRoadData(DataTree& tree)
{
    for (int number = 1; number <= kAreaCount; ++number)
    {
        const AreaData area = GenerateArea(number);
        std::vector<uint8_t> bytes = BuildAreaRoadData(area);
        if (!bytes.empty())
            tree.Add(area.folder + "/RoadData.dat", std::move(bytes));
    }
}

}   // namespace

REGISTER_GENERATOR("roaddata", AddRoadData);
