// Fuzz target for "LandscapeData.obj" and the area load that follows it.
// Input: [mode byte][file bytes]. The bytes are the area's "LandscapeData.obj"
// (in-memory Objects pack when the low bit of the mode byte is 1 and bit 1 is
// clear, a loose file otherwise); with bit 1 set, a fixed height map, place
// map and route power map of 360 x 360 are present as loose files too, so that
// values that pass the checks go on into the full load and the ground queries.
#include <cstdint>
#include <cstdio>
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
        written = true;
    }
    else if (!present && written)
    {
        for (const char* grid : kGrids)
            std::remove((std::string(kFolder) + "/" + grid).c_str());
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
