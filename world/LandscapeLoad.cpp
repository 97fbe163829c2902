// Loading and freeing an area: the order in which its files, its route and
// race path, its parts and its body come and go. The pieces themselves live
// with the landscape and the route; only this file calls both.
#include "world/Landscape.h"

#include <BulletCollision/CollisionShapes/btHeightfieldTerrainShape.h>

#include <cmath>
#include <cstdio>

#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/os/Clock.h"
#include "platform/os/Rand.h"
#include "render/D3DRender.h"
#include "scene/ObjectPhysics.h"
#include "scene/StaticObjectManager.h"
#include "world/LandPart.h"
#include "world/NatureManager.h"
#include "world/Sky.h"
#include "world/Terrain.h"

int CLandscape::LoadArea(int area, int season)
{
    // The landscape is built before "Game.ini" is read, and the glow setting
    // may change in the options or be switched off by the device since: every
    // race start takes the setting as it is now.
    ApplyGlowToTerrain();
    if (area == loadedArea && loadedArea != -1)
    {
        // Same area: a new time of day, season textures (or new clouds), a
        // new race path and the movable objects back in place; terrain, road,
        // fences and nature stay.
        g_Sky.SetTimeOfDay();
        g_Nature.LoadTextures();
        LoadTextures(area, season);
        CreateRacePath();
        g_StaticObjects.ResetDynamic();
        return 1;
    }

    FreeArea();
    std::snprintf(areaPath, sizeof(areaPath), "Data/Landscape/Area%02d", area + 1);

    char name[512];
    std::snprintf(name, sizeof(name), "%s/LandscapeData.obj", areaPath);
    const int handle = g_FileManager.Open(name, FILE_OBJECTS, nullptr);
    if (handle == -1)
        return FailArea();
    LandscapeData data;
    const int valid = ReadLandscapeData(handle, &data);
    g_FileManager.Close(handle);
    if (!valid)
    {
        ShowMessage("Wrong landscape data!", "LoadArea() error!", MB_OK);
        return FailArea();
    }
    gridSize = data.gridSize;
    partsPerSide = data.partsPerSide;
    partCells = data.partCells;
    cellSize = data.cellSize;
    heightScale = data.heightScale;
    waterAltitude = heightScale * 0.09f;
    size = gridSize * cellSize;
    partCount = partsPerSide * partsPerSide;
    const float half = partCells * cellSize / 2.0f;
    partRadius = std::sqrt(half * half * 2.0f + heightScale * heightScale / 4.0f);

    if (g_Render.effect)
        g_Render.effect->SetFloat("WaterAltitude", waterAltitude);
    g_Sky.SetTimeOfDay();

    if (!LoadHeightMap())
        return FailArea();

    std::snprintf(name, sizeof(name), "%s/StaticObjectsPlaceMap.dat", areaPath);
    const long long placeBytes = (long long)gridSize * gridSize;
    if (!ReadSizedFile(name, placeMap, placeBytes))
    {
        ShowMessage("Open static objects place map error!", "LoadArea() error!", MB_OK);
        return FailArea();
    }
    g_StaticObjects.Clear();
    g_StaticObjects.LoadStaticObjects(areaPath);

    // Without a route there is no start line for the fences, the race path
    // or the player: the load stops here.
    if (!CreateRoute())
        return FailArea();
    CreateMesh();
    CreateRoadFences();
    g_Nature.LoadTextures();
    LoadTextures(area, season);
    CreateLandParts();
    CreateRacePath();
    loadedArea = area;
    return 1;
}

int CLandscape::FailArea()
{
    FreeArea();
    // No query may go on reading a half-loaded grid.
    size = 0.0f;
    partCount = 0;
    return 0;
}

void CLandscape::FreeArea()
{
    ReleaseBuffers();
    FreeLandParts();
    // The packed nature buffers belong to the area too: nothing of it may
    // outlive the device that a shutdown releases next.
    g_Nature.Clear();
    partCount = 0;
    if (heightBody)
    {
        DestroyBody(heightBody);
        heightBody = nullptr;
    }
    delete heightShape;
    heightShape = nullptr;
    delete[] heightSamples;
    heightSamples = nullptr;
    delete[] colors;
    colors = nullptr;
    delete[] roadCache;
    roadCache = nullptr;
    roadCacheSize = 0;
    FreeRacePath();
    FreeRoute();
    loadedArea = -1;
}

void CLandscape::FreeLandParts()
{
    for (int i = 0; i < LANDSCAPE_MAX_PARTS; ++i)
    {
        if (!parts[i])
            continue;
        for (int type : {NATURE_GRASS, NATURE_TREES, NATURE_STONES})
            g_Nature.RemoveFields(type, parts[i]);
        parts[i]->ReleaseBuffers();
        delete parts[i];
        parts[i] = nullptr;
    }
}

void CLandscape::CreateLandParts()
{
    g_Nature.Reset();
    for (int i = 0; i < partsPerSide; ++i)
    {
        for (int j = 0; j < partsPerSide; ++j)
        {
            CLandPart* part = new CLandPart();
            parts[i * partsPerSide + j] = part;
            part->Create(j, i);
        }
    }
    g_Nature.PackGeometry();
    sortEye[0] = sortEye[1] = sortEye[2] = 100000.0f;
    GameSrand(timeGetTime());

    LoadRoadPieces();
    for (int i = 0; i < partCount; ++i)
        parts[i]->CreateWater();
}

void CLandscape::Release()
{
    FreeArea();
    ReleaseTextures();
    for (TextureId* id : {&waterNoiseTexture, &detailMapTexture, &roadSectoringTexture})
    {
        if (*id != -1)
            g_Render.ReleaseTexture(*id);
        *id = -1;
    }
}
