// Fuzz target for "LandscapeData.obj" and the area load that follows it.
// Input: [mode byte][file bytes]. The bytes are the area's "LandscapeData.obj"
// (in-memory Objects pack when the low bit of the mode byte is 1 and bit 1 is
// clear, a loose file otherwise); with bit 1 set, a fixed height map, place
// map and route power map of 360 x 360 are present as loose files too, so that
// values that pass the checks go on into the full load and the ground queries.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "app/FileManager.h"
#include "app/Settings.h"
#include "platform/MessageBox.h"
#include "world/Landscape.h"

namespace {

const char kFolder[] = "Data/Landscape/Area01";
const char* const kGrids[] = {"HeightMap.dat", "StaticObjectsPlaceMap.dat", "RoutePower.dat"};

int QuietBox(HWND, const char*, const char*, UINT)
{
    return IDOK;
}

std::string g_Folder;

// The game opens its files relative to the working folder; the fuzzer writes
// its corpus relative to it too, so the scratch folder is entered only while
// one input runs.
struct InScratch
{
    InScratch()
    {
        if (getcwd(saved, sizeof(saved)) && chdir(g_Folder.c_str()) == 0)
            entered = true;
    }
    ~InScratch()
    {
        if (entered && chdir(saved) != 0)
            std::abort();
    }
    char saved[4096];
    bool entered = false;
};

void RemoveScratch()
{
    if (g_Folder.empty())
        return;
    std::remove((g_Folder + "/" + kFolder + "/LandscapeData.obj").c_str());
    for (const char* grid : kGrids)
        std::remove((g_Folder + "/" + kFolder + "/" + grid).c_str());
    rmdir((g_Folder + "/" + kFolder).c_str());
    rmdir((g_Folder + "/Data/Landscape").c_str());
    rmdir((g_Folder + "/Data").c_str());
    rmdir(g_Folder.c_str());
}

void WriteBytes(const std::string& name, const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f)
        return;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
}

bool EnterScratch()
{
    if (!g_Folder.empty())
        return true;
    char pattern[] = "/tmp/fuzzlandXXXXXX";
    if (!mkdtemp(pattern))
        return false;
    g_Folder = pattern;
    if (mkdir((g_Folder + "/Data").c_str(), 0755) != 0 ||
        mkdir((g_Folder + "/Data/Landscape").c_str(), 0755) != 0 ||
        mkdir((g_Folder + "/" + kFolder).c_str(), 0755) != 0)
        return false;
    std::atexit(RemoveScratch);
    SetMessageBoxHook(QuietBox);
    return true;
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
            WriteBytes(std::string(kFolder) + "/" + grid, bytes.data(), bytes.size());
        written = true;
    }
    else if (!present && written)
    {
        for (const char* grid : kGrids)
            std::remove((std::string(kFolder) + "/" + grid).c_str());
        written = false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 4096 || !EnterScratch())
        return 0;
    InScratch scratch;
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
    {
        g_FileManager.m_LooseFiles = 0;
        g_FileManager.m_Objects = new PackEntry[1];
        PackEntry& e = g_FileManager.m_Objects[0];
        std::memset(&e, 0, sizeof(e));
        std::snprintf(e.name, sizeof(e.name), "%s", name.c_str());
        e.size = (uint32_t)size;
        e.data = new unsigned char[size ? size : 1];
        if (size)
            std::memcpy(e.data, data, size);
        g_FileManager.m_ObjectsCount = 1;
    }
    else
    {
        WriteBytes(name, data, size);
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
