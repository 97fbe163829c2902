#pragma once
// Small area folders for the landscape tests, and a recording device so that
// the terrain buffers and area textures are really made.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "render/D3DRender.h"
#include "scene/StaticObjectFixture.h"
#include "scene/StaticObjectManager.h"
#include "tests/support/TestDevice.h"
#include "tools/DataTree.h"
#include "tools/MeshWriter.h"
#include "world/Landscape.h"
#include "world/NatureManager.h"

namespace landtest
{

// A recording-backend device in g_Render while it lives.
class RecordingDevice
{
public:
    RecordingDevice() { EXPECT_EQ(m_Device.Open(D3DBackendKind::Recording, 320, 240), D3D_OK); }
    ~RecordingDevice()
    {
        // Placed objects hold meshes of this device.
        g_StaticObjects.Clear();
        g_Landscape.Release();
        // An area load gives nature its season's textures too: their ids
        // must not outlive this device's texture table, or the next device
        // would draw nature with whatever textures it loads at those ids.
        g_Nature.Release();
        g_Render.ReleaseAllTextures();
        m_Device.Close();
    }

private:
    testdevice::TestDevice m_Device;
};

inline std::string Text(int v)
{
    return std::to_string(v);
}

// One small area: grid n of `parts` parts per side, cell size 2, height scale 20.
struct AreaSpec
{
    int number = 1;   // folder Area%02d
    int grid = 36;
    int parts = 2;
    int cells = 18;
    std::string cellSize = "2.0";
    std::string heightScale = "20.0";
    bool landscapeData = true;
    bool heightMap = true;
    bool placeMap = true;
    bool routePower = true;
    bool colours = true;
    bool wayPoints = true;   // a closed route loop, see RouteLoopMap
    int heightBytes = -1;    // -1: grid x grid
    int placeBytes = -1;
    int powerBytes = -1;    // -1: grid x 360
    std::string dataText;   // replaces the generated "LandscapeData.obj" when set
};

inline std::string AreaFolder(int number)
{
    char folder[64];
    std::snprintf(folder, sizeof(folder), "Data/Landscape/Area%02d", number);
    return folder;
}

// Height byte of sample (r, c): a pattern with slopes both ways and a bump.
inline uint8_t HeightByte(int r, int c)
{
    return (uint8_t)((r * 7 + c * 13 + (r * c) % 17) % 256);
}

// "WayPointsMap.dat" of a small area: a rectangle of route cells, rows 2..10
// and columns 19..30, started at its top edge and driven to the right. It
// keeps clear of the cells the ground-query tests look at, since the route
// levels the ground around it.
inline std::vector<uint8_t> RouteLoopMap(int n)
{
    std::vector<uint8_t> map((size_t)n * n, 0);
    if (n < 32)
        return map;
    for (int r = 2; r <= 10; ++r)
        for (int c = 19; c <= 30; ++c)
            if (r == 2 || r == 10 || c == 19 || c == 30)
                map[(size_t)r * n + c] = 100;
    map[2 * n + 22] = 254;
    map[2 * n + 23] = 253;
    return map;
}

inline void AddArea(DataTree& tree, const AreaSpec& s)
{
    const std::string folder = AreaFolder(s.number);
    if (s.landscapeData)
    {
        std::string text = s.dataText;
        if (text.empty())
            text = "Grid size\n" + Text(s.grid) + "\nParts per side\n" + Text(s.parts) + "\nPart cells\n" +
                   Text(s.cells) + "\nCell size\n" + s.cellSize + "\nHeight scale\n" + s.heightScale + "\n";
        tree.AddText(folder + "/LandscapeData.obj", text);
    }
    const int n = s.grid;
    if (s.heightMap)
    {
        std::vector<uint8_t> h((size_t)(s.heightBytes >= 0 ? s.heightBytes : n * n));
        for (size_t i = 0; i < h.size(); ++i)
            h[i] = HeightByte((int)i / n, (int)i % n);
        tree.Add(folder + "/HeightMap.dat", h);
    }
    if (s.placeMap)
        tree.Add(folder + "/StaticObjectsPlaceMap.dat",
                 std::vector<uint8_t>((size_t)(s.placeBytes >= 0 ? s.placeBytes : n * n), 3));
    if (s.routePower)
    {
        std::vector<uint8_t> p((size_t)(s.powerBytes >= 0 ? s.powerBytes : n * 360));
        for (size_t i = 0; i < p.size(); ++i)
            p[i] = (uint8_t)((i / 360) * 5 + (i % 360));
        tree.Add(folder + "/RoutePower.dat", p);
    }
    if (s.wayPoints)
        tree.Add(folder + "/WayPointsMap.dat", RouteLoopMap(n));
    // No barriers painted: an empty fence map; the start gate a plain box.
    tree.Add(folder + "/FencesMap.dat", std::vector<uint8_t>((size_t)n * n, 0));
    MeshDesc gate;
    const float gateLo[3] = {-4, 0, -0.5f}, gateHi[3] = {4, 5, 0.5f};
    AddBoxPart(gate.slots[0], gateLo, gateHi);
    AddBoxPart(gate.slots[12], gateLo, gateHi);
    tree.Add("Data/Static/StartPlace/Main.msh", WriteMesh(gate));
    using testdata::Line;
    tree.AddText("Data/Static/StartPlace/Main.obj",
                 Line("Object") + Line("Author") + Line("Version") + Line("Class", "GCLASS_STATIC") +
                     Line("Type", "GTYPE_STATIC") + Line("Geometry") + Line("Mesh", "Data/Static/StartPlace/Main.msh") +
                     Line("Texture") + Line("-") + Line("End", "//--"));
    if (s.colours)
    {
        for (int season = 1; season <= 3; ++season)
        {
            std::vector<uint8_t> rgb((size_t)n * n * 3);
            for (int i = 0; i < n * n; ++i)
            {
                rgb[(size_t)i * 3] = (uint8_t)(i % 251);
                rgb[(size_t)i * 3 + 1] = (uint8_t)(season * 40);
                rgb[(size_t)i * 3 + 2] = (uint8_t)(i / n);
            }
            char name[32];
            std::snprintf(name, sizeof(name), "/LandscapeColor%02d.dat", season);
            tree.Add(folder + name, rgb);
        }
    }
}

}   // namespace landtest
