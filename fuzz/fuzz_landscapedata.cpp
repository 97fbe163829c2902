// Fuzz target for "LandscapeData.obj" and the area load that follows it.
// Input: [mode byte][file bytes]. The bytes are the area's "LandscapeData.obj"
// (in-memory Objects pack when the low bit of the mode byte is 1 and bit 1 is
// clear, a loose file otherwise); with bit 1 set, a fixed height map, place
// map, route power map and way-point map (a loop 20 cells in from the border
// of a 360-cell grid) are present as loose files too, so that values that
// pass the checks go on into the full load, the route levelling and the
// ground queries.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/FileManager.h"
#include "core/Settings.h"
#include "fuzz/FuzzScratch.h"
#include "world/Landscape.h"

namespace
{

const char kFolder[] = "Data/Landscape/Area01";
const char* const kGrids[] = {"HeightMap.dat", "StaticObjectsPlaceMap.dat", "RoutePower.dat"};
const char kWayPoints[] = "WayPointsMap.dat";

std::vector<uint8_t> LoopMap()
{
    const int n = 360, lo = 20, hi = n - 21;
    std::vector<uint8_t> map((size_t)n * n, 0);
    for (int r = lo; r <= hi; ++r)
        for (int c = lo; c <= hi; ++c)
            if (r == lo || r == hi || c == lo || c == hi)
                map[(size_t)r * n + c] = 100;
    map[(size_t)lo * n + 30] = 254;
    map[(size_t)lo * n + 31] = 253;
    return map;
}

// Called inside the scratch folder.
void SetGrids(bool present)
{
    static bool written = false;
    if (present && !written)
    {
        std::vector<uint8_t> bytes(360 * 360);
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = (uint8_t)(i * 7 + i / 360);
        for (const char* grid : kGrids)
            fuzzscratch::WriteBytes((std::string(kFolder) + "/" + grid).c_str(), bytes.data(), bytes.size());
        const std::vector<uint8_t> loop = LoopMap();
        fuzzscratch::WriteBytes((std::string(kFolder) + "/" + kWayPoints).c_str(), loop.data(), loop.size());
        written = true;
    }
    else if (!present && written)
    {
        for (const char* grid : kGrids)
            std::remove((std::string(kFolder) + "/" + grid).c_str());
        std::remove((std::string(kFolder) + "/" + kWayPoints).c_str());
        written = false;
    }
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 4096 ||
        !fuzzscratch::MakeScratch("fuzzland", {"Data", "Data/Landscape", "Data/Landscape/Area01"}))
        return 0;
    fuzzscratch::InScratch scratch;
    if (!scratch.entered)
        return 0;
    const int mode = data[0];
    ++data;
    --size;
    g_FileManager.Release();
    const std::string name = std::string(kFolder) + "/LandscapeData.obj";
    // The grids are loose files, so a full load runs in loose mode only.
    const bool pack = (mode & 1) && !(mode & 2);
    if (pack)
        fuzzscratch::InstallObjectsPack(name.c_str(), data, size);
    else
    {
        fuzzscratch::WriteBytes(name.c_str(), data, size);
        g_FileManager.m_LooseFiles = 1;
    }
    SetGrids((mode & 2) != 0);

    if (g_Landscape.LoadArea(0, 0))
    {
        // A loaded area holds only values the game can work with.
        const CLandscape& land = g_Landscape;
        if (!(land.cellSize >= (float)LANDSCAPE_MIN_CELL_SIZE && land.cellSize <= (float)LANDSCAPE_MAX_CELL_SIZE) ||
            !(land.heightScale > 0.0f && land.heightScale <= (float)LANDSCAPE_MAX_HEIGHT_SCALE) ||
            land.gridSize != land.partsPerSide * land.partCells || land.gridSize > LANDSCAPE_MAX_GRID)
            std::abort();
        g_Landscape.Update();
        const float points[3][3] = {{0, 0, 0}, {-1e6f, 0, 1e6f}, {123.4f, 0, -56.7f}};
        for (const float* p : points)
        {
            g_Landscape.GetHeight(p);
            g_Landscape.GetRoutePower(p);
            float colour[4];
            g_Landscape.GetColor(colour, p);
        }
    }
    g_Landscape.FreeArea();
    g_FileManager.Release();
    if (!pack)
        std::remove(name.c_str());
    return 0;
}
