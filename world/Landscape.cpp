// The landscape object: the height, place and colour maps, the
// area textures, the terrain body and the ground queries.
#include "world/Landscape.h"

#include <BulletCollision/CollisionShapes/btHeightfieldTerrainShape.h>
#include <btBulletDynamicsCommon.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/os/Clock.h"
#include "platform/os/Rand.h"
#include "render/D3DRender.h"
#include "scene/ObjectPhysics.h"
#include "scene/RayPick.h"
#include "world/Sky.h"
#include "world/Terrain.h"

CLandscape g_Landscape;

namespace
{

const float kByteToUnit = 0.003921569f;   // 1 / 255

void SetColour(D3DCOLORVALUE& c, float r, float g, float b, float a)
{
    c.r = r;
    c.g = g;
    c.b = b;
    c.a = a;
}

TextureId LoadTextureFile(const char* name, int mipLevels)
{
    return g_Render.LoadTexture(name, mipLevels, 1, 0);
}

void GiveBack(TextureId& id)
{
    if (id != -1)
        g_Render.ReleaseTexture(id);
    id = -1;
}

template <class T>
void ReleaseBuffer(T*& buffer)
{
    if (buffer)
        buffer->Release();
    buffer = nullptr;
}

// A whole number as atoi reads it (leading digits, 0 for none); 0 also for
// one beyond the range of a long, which every range below refuses anyway.
long WholeValue(const char* text)
{
    errno = 0;
    const long v = std::strtol(text, nullptr, 10);
    return errno == ERANGE ? 0 : v;
}

bool InRange(long v, long low, long high)
{
    return v >= low && v <= high;
}

bool InRange(double v, double low, double high)
{
    return v >= low && v <= high;   // false for NaN
}

}   // namespace

// Reads the first `bytes` bytes of a World-pack file into `out`. 0 when it is
// missing, shorter than that (logged) or the read falls short.
int ReadSizedFile(const char* name, void* out, long long bytes)
{
    int fileSize = 0;
    const int handle = g_FileManager.Open(name, FILE_WORLD, &fileSize);
    if (handle == -1)
        return 0;
    if ((long long)fileSize < bytes)
    {
        LogString("%s is shorter than its grid", name);
        g_FileManager.Close(handle);
        return 0;
    }
    const size_t got = g_FileManager.Read(out, 1, (size_t)bytes, handle);
    g_FileManager.Close(handle);
    return got == (size_t)bytes;
}

int ReadLandscapeData(int handle, LandscapeData* data)
{
    char label[26];
    char value[5][100];
    for (int i = 0; i < 5; ++i)
    {
        if (!g_FileManager.ReadLine(label, sizeof(label), handle) ||
            !g_FileManager.ReadLine(value[i], sizeof(value[i]), handle))
            return 0;
    }
    // Every value is checked in the type it was read in, before it becomes
    // an int or a float: a huge cell size must be refused, not converted.
    const long grid = WholeValue(value[0]);
    const long parts = WholeValue(value[1]);
    const long cells = WholeValue(value[2]);
    const double cellSize = std::strtod(value[3], nullptr);
    const double heightScale = std::strtod(value[4], nullptr);
    if (!InRange(grid, 1, LANDSCAPE_MAX_GRID) || !InRange(parts, 1, LANDSCAPE_MAX_PARTS_PER_SIDE) ||
        !InRange(cells, 1, LANDSCAPE_MAX_GRID) || parts * cells != grid)
        return 0;
    // The part lists index the terrain with 16 bits from a part's corner.
    if ((grid + 1) * cells + cells > 65535)
        return 0;
    if (!InRange(cellSize, LANDSCAPE_MIN_CELL_SIZE, LANDSCAPE_MAX_CELL_SIZE))
        return 0;
    if (!(heightScale > 0.0) || heightScale > LANDSCAPE_MAX_HEIGHT_SCALE)
        return 0;
    data->gridSize = (int)grid;
    data->partsPerSide = (int)parts;
    data->partCells = (int)cells;
    data->cellSize = (float)cellSize;
    data->heightScale = (float)heightScale;
    return 1;
}

CLandscape::CLandscape()
    : terrainVB(nullptr), colors(nullptr), heightShape(nullptr), heightBody(nullptr), heightSamples(nullptr)
{
    routePos = nullptr;
    routeType = nullptr;
    routePower = nullptr;
    waterGridIndices = nullptr;
    for (int i = 0; i < LANDSCAPE_MAX_PARTS; ++i)
        parts[i] = nullptr;
    for (int i = 0; i < 3; ++i)
        lodIndices[i] = nullptr;
    Reset();
}

CLandscape::~CLandscape() {}

void CLandscape::Reset()
{
    areaPath[0] = '\0';
    size = 0.0f;
    gridSize = 0;
    partCells = 0;
    partsPerSide = 0;
    cellSize = 0.0f;
    heightScale = 0.0f;
    waterAltitude = 0.0f;
    partCount = 0;
    visibleParts = 0;
    visibleWaterParts = 0;
    partRadius = 0.0f;
    terrainVB = nullptr;
    terrainVertexCount = 0;
    sortEye[0] = sortEye[1] = sortEye[2] = 10000.0f;
    for (int i = 0; i < LANDSCAPE_MAX_PARTS; ++i)
        parts[i] = nullptr;
    std::memset(heights, 0, sizeof(heights));
    std::memset(routePowerMap, 0, sizeof(routePowerMap));
    routePos = nullptr;
    routeType = nullptr;
    routePower = nullptr;
    routeCount = 0;
    std::memset(placeMap, 0, sizeof(placeMap));
    landscapeTexture = detailMapTexture = roadTexture1 = roadTexture2 = -1;
    roadAlphaTexture = roadSectoringTexture = waterNoiseTexture = routeMapTexture = -1;
    colors = nullptr;
    std::memset(&terrainMaterial, 0, sizeof(terrainMaterial));
    std::memset(&waterMaterial, 0, sizeof(waterMaterial));
    std::memset(&roadMaterial, 0, sizeof(roadMaterial));
    std::memset(&markMaterial, 0, sizeof(markMaterial));
    ApplyGlowToTerrain();
    SetColour(terrainMaterial.Ambient, 1.0f, 1.0f, 1.0f, 1.0f);
    SetColour(waterMaterial.Diffuse, 1.0f, 1.0f, 1.0f, 1.0f);
    SetColour(waterMaterial.Ambient, 1.0f, 1.0f, 1.0f, 1.0f);
    SetColour(waterMaterial.Specular, 1.0f, 1.0f, 1.0f, 1.0f);
    waterMaterial.Power = 16.0f;
    SetColour(roadMaterial.Diffuse, 1.0f, 1.0f, 1.0f, 1.0f);
    SetColour(roadMaterial.Ambient, 1.0f, 1.0f, 1.0f, 1.0f);
    SetColour(markMaterial.Diffuse, 1.0f, 1.0f, 1.0f, 1.0f);
    SetColour(markMaterial.Ambient, 1.0f, 1.0f, 1.0f, 1.0f);
    SetColour(markMaterial.Specular, 1.0f, 1.0f, 1.0f, 1.0f);
    markMaterial.Power = 32.0f;
    loadedArea = -1;
    loadedSeason = -1;
    heightShape = nullptr;
    heightBody = nullptr;
    heightSamples = nullptr;
    roadCache = nullptr;
    roadCacheSize = 0;
    roadCacheIdentity = 0;
    roadCacheBuilt = 0;
    for (int i = 0; i < 3; ++i)
    {
        lodIndices[i] = nullptr;
        lodTriangles[i] = 0;
    }
    waterGridIndices = nullptr;
    waterGridVertexCount = 0;
    waterGridTriangles = 0;
}

void CLandscape::ApplyGlowToTerrain()
{
    // Without the glow pass the terrain is lit twice as bright.
    const float terrainDiffuse = g_GlowOn ? 1.0f : 2.0f;
    SetColour(terrainMaterial.Diffuse, terrainDiffuse, terrainDiffuse, terrainDiffuse, 1.0f);
}

int CLandscape::LoadSurfaces()
{
    waterNoiseTexture = LoadTextureFile("Data/Landscape/Surfaces/WaterNoise.dds", 0);
    detailMapTexture = LoadTextureFile("Data/Landscape/Surfaces/DetailMap.bmp", 0);
    roadSectoringTexture = LoadTextureFile("Data/Landscape/Surfaces/RoadSectoring.dds", 0);
    return 1;
}

int CLandscape::LoadHeightMap()
{
    char name[512];
    std::snprintf(name, sizeof(name), "%s/HeightMap.dat", areaPath);
    const long long bytes = (long long)gridSize * gridSize;
    unsigned char* buffer = new unsigned char[(size_t)bytes];
    if (!ReadSizedFile(name, buffer, bytes))
    {
        delete[] buffer;
        ShowMessage("Can't open height map data!", "Error!", MB_OK);
        return 0;
    }
    for (int r = 0; r < gridSize; ++r)
        for (int c = 0; c < gridSize; ++c)
            heights[r][c] = buffer[r * gridSize + c] * kByteToUnit * heightScale;
    delete[] buffer;
    return 1;
}

void CLandscape::LoadTextures(int area, int season)
{
    GameSrand(timeGetTime());
    char name[512];
    if (loadedSeason == season)
    {
        // The same season keeps its textures; only the sky's clouds change.
        GiveBack(g_Sky.cloudsTexture);
        std::snprintf(name, sizeof(name), "Data/Sky/Clouds%02d.bmp", GameRand() % 9 + 1);
        g_Sky.cloudsTexture = LoadTextureFile(name, 1);
        return;
    }

    ReleaseTextures();
    std::snprintf(name, sizeof(name), "%s/LandscapeTex%02d.bmp", areaPath, season + 1);
    landscapeTexture = LoadTextureFile(name, 0);
    std::snprintf(name, sizeof(name), "%s/RouteMap.dds", areaPath);
    routeMapTexture = LoadTextureFile(name, 1);
    std::snprintf(name, sizeof(name), "%s/RoadAlpha.bmp", areaPath);
    roadAlphaTexture = LoadTextureFile(name, 0);
    std::snprintf(name, sizeof(name), "Data/Landscape/Surfaces/RoadTex1_%02d.bmp", season + 1);
    roadTexture1 = LoadTextureFile(name, 0);
    std::snprintf(name, sizeof(name), "Data/Landscape/Surfaces/RoadTex2_%02d.bmp", season + 1);
    roadTexture2 = LoadTextureFile(name, 0);
    std::snprintf(name, sizeof(name), "Data/Sky/Background%d_%02d.dds", area + 1, season + 1);
    g_Sky.backgroundTexture = LoadTextureFile(name, 1);
    std::snprintf(name, sizeof(name), "Data/Sky/Clouds%02d.bmp", GameRand() % 9 + 1);
    g_Sky.cloudsTexture = LoadTextureFile(name, 1);

    std::snprintf(name, sizeof(name), "%s/LandscapeColor%02d.dat", areaPath, season + 1);
    const long long bytes = (long long)gridSize * gridSize * 3;
    // A season change on the loaded area replaces the colours of the last season.
    delete[] colors;
    colors = nullptr;
    if (bytes > 0)
    {
        colors = new unsigned char[(size_t)bytes];
        if (!ReadSizedFile(name, colors, bytes))
        {
            delete[] colors;
            colors = nullptr;
        }
    }
    loadedSeason = season;
}

void CLandscape::LoadRouteMap(int area)
{
    GiveBack(routeMapTexture);
    char name[512];
    std::snprintf(name, sizeof(name), "Data/Landscape/Area%02d/RouteMap.dds", area + 1);
    routeMapTexture = LoadTextureFile(name, 1);
}

void CLandscape::ReleaseBuffers()
{
    ReleaseBuffer(terrainVB);
    terrainVertexCount = 0;
    for (int i = 0; i < 3; ++i)
    {
        ReleaseBuffer(lodIndices[i]);
        lodTriangles[i] = 0;
    }
    ReleaseBuffer(waterGridIndices);
    waterGridVertexCount = 0;
    waterGridTriangles = 0;
    ReleaseTextures();
}

void CLandscape::ReleaseTextures()
{
    GiveBack(landscapeTexture);
    GiveBack(routeMapTexture);
    GiveBack(roadTexture1);
    GiveBack(roadTexture2);
    GiveBack(roadAlphaTexture);
    GiveBack(g_Sky.backgroundTexture);
    GiveBack(g_Sky.cloudsTexture);
    delete[] colors;
    colors = nullptr;
    loadedSeason = -1;
}

void CLandscape::CreatePhysics()
{
    // Only a loaded area has a grid: with no area the cell size is 0, which
    // the shape would divide by.
    if (heightBody || loadedArea == -1 || gridSize < 1 || cellSize <= 0.0f)
        return;
    const int n = gridSize;
    heightSamples = new float[(size_t)n * n];
    for (int k = 0; k < n; ++k)
        std::memcpy(heightSamples + (size_t)k * n, heights[n - 1 - k], (size_t)n * sizeof(float));

    heightShape =
        new btHeightfieldTerrainShape(n, n, static_cast<const void*>(heightSamples), 2.0f * heightScale, 1, true, true);
    heightShape->setUseDiamondSubdivision(false);
    heightShape->setLocalScaling(btVector3(cellSize, 1.0f, cellSize));

    // With this origin sample (r, c) lies at the world point of grid point (r, c).
    btTransform start;
    start.setIdentity();
    start.setOrigin(btVector3(-cellSize / 2.0f, heightScale, cellSize / 2.0f));
    btDefaultMotionState* motion = new btDefaultMotionState(start);
    btRigidBody::btRigidBodyConstructionInfo info(0.0f, motion, heightShape, btVector3(0, 0, 0));
    heightBody = new btRigidBody(info);
    heightBody->setUserPointer(this);
    AddBodyToWorld(heightBody);
    heightBody->setCollisionFlags(heightBody->getCollisionFlags() | btCollisionObject::CF_STATIC_OBJECT);
    heightBody->setActivationState(DISABLE_DEACTIVATION);
    heightBody->forceActivationState(DISABLE_DEACTIVATION);
    heightBody->setFriction(0.5f);
    heightBody->setRestitution(0.0f);
}

// ---------------------------------------------------------------------------
// Ground queries

// A grid coordinate as a cell index on the grid. The clamp comes before the
// conversion: a motorcycle flung far away (or a NaN from a broken body) must
// give a border cell, not an out-of-range float-to-int conversion.
static int GridIndex(double g, int last)
{
    if (!(g >= 0.0))
        return 0;
    if (g >= (double)last)
        return last;
    return (int)g;
}

void CLandscape::CellOf(float x, float z, int* row, int* col) const
{
    const double inv = 1.0 / cellSize;
    const int last = gridSize - 1;
    *col = GridIndex(((double)x + size / 2.0) * inv, last);
    *row = GridIndex((size / 2.0 - (double)z) * inv, last);
}

float CLandscape::GetCellHeight(const float position[3]) const
{
    if (size == 0.0f)
        return 0.0f;
    int r, c;
    CellOf(position[0], position[2], &r, &c);
    return heights[r][c];
}

float CLandscape::GetHeight(const float position[3]) const
{
    if (size == 0.0f)
        return 0.0f;
    // One cell index for the corner samples and the fractions within the
    // cell, so a point on a grid line never mixes two cells. Floor (not
    // truncation) keeps points just outside the first row and column on the
    // border samples.
    const double half = size / 2.0;
    // Held to one cell beyond the grid (NaN included) before the floor, so
    // the conversions below always fit an int; the samples clamp to the border.
    auto held = [&](double g) { return !(g >= -1.0) ? -1.0 : (g > gridSize ? (double)gridSize : g); };
    const double gx = held((position[0] + half) / cellSize);
    const double gz = held((half - position[2]) / cellSize);
    const int c = (int)std::floor(gx);
    const int r = (int)std::floor(gz);
    const float m = (float)(gx - c);
    const float w = 1.0f - (float)(gz - r);

    const int last = gridSize - 1;
    auto sample = [&](int rr, int cc) {
        rr = rr < 0 ? 0 : (rr > last ? last : rr);
        cc = cc < 0 ? 0 : (cc > last ? last : cc);
        return heights[rr][cc];
    };
    const float hA = sample(r, c);
    const float hB = sample(r + 1, c);
    const float hC = sample(r, c + 1);
    const float hD = sample(r + 1, c + 1);

    const float upper = hA + (hB - hA) * (1.0f - w) + (hC - hA) * m;
    const float lower = hD + (hB - hD) * (1.0f - m) + (hC - hD) * w;
    if (w > m)
        return upper;
    if (w < m)
        return lower;
    return (upper + lower) / 2.0f;
}

float CLandscape::GetRoutePower(const float position[3]) const
{
    if (size == 0.0f)
        return 0.0f;
    int r, c;
    CellOf(position[0], position[2], &r, &c);
    return routePowerMap[r][c] * kByteToUnit * 100.0f;
}

void CLandscape::GetColor(float colour[4], const float position[3]) const
{
    colour[3] = 1.0f;
    if (!colors || size == 0.0f)
    {
        // No colour file for this season: untinted.
        colour[0] = colour[1] = colour[2] = 1.0f;
        return;
    }
    int r, c;
    CellOf(position[0], position[2], &r, &c);
    const unsigned char* rgb = colors + ((size_t)r * gridSize + c) * 3;
    colour[0] = rgb[0] * kByteToUnit;
    colour[1] = rgb[1] * kByteToUnit;
    colour[2] = rgb[2] * kByteToUnit;
}

int CLandscape::RayTest(const float from[3], const float to[3], float hit[3]) const
{
    if (size == 0.0f || !heightBody)
        return 0;
    btTransform a, b;
    a.setIdentity();
    b.setIdentity();
    a.setOrigin(btVector3(from[0], from[1], from[2]));
    b.setOrigin(btVector3(to[0], to[1], to[2]));
    btCollisionWorld::ClosestRayResultCallback callback(a.getOrigin(), b.getOrigin());
    btCollisionWorld::rayTestSingle(a, b, heightBody, heightShape, heightBody->getWorldTransform(), callback);
    if (!callback.hasHit())
        return 0;
    if (hit)
    {
        hit[0] = callback.m_hitPointWorld.x();
        hit[1] = callback.m_hitPointWorld.y();
        hit[2] = callback.m_hitPointWorld.z();
    }
    if (g_RayPickHooks.landscapeHit)
        g_RayPickHooks.landscapeHit();
    return 1;
}

// ---------------------------------------------------------------------------
// Work that arrives with the water and the fences.
