#pragma once
// The world of one race area: the height grid and its terrain mesh cut into
// land parts, the terrain body of the physics world, the place map, the
// season colours and the per-area textures. One instance, g_Landscape.
//
// An area folder "Data/Landscape/Area%02d" holds "LandscapeData.obj" (five
// labelled values: grid size, parts per side, cells per part, cell size,
// height scale; Objects pack) and, in the World pack, "HeightMap.dat",
// "StaticObjectsPlaceMap.dat", "LandscapeColor%02d.dat" per season and the
// route, road and fence maps.
#include <cstdint>

#include "platform/d3d/D3D9.h"
#include "render/TextureManager.h"

class CLandPart;
struct RoadGround;
class btHeightfieldTerrainShape;
class btRigidBody;
struct TerrainVertex;

// Capacity of the grid arrays (and the side of the terrain body).
#define LANDSCAPE_MAX_GRID           360
#define LANDSCAPE_MAX_PARTS          1024
#define LANDSCAPE_MAX_PARTS_PER_SIDE 32

// The five values of "LandscapeData.obj".
struct LandscapeData
{
    int gridSize;
    int partsPerSide;
    int partCells;
    float cellSize;
    float heightScale;
};

// Range of "Cell size". Route points lie 0.1 beyond their cell centres, so a
// cell of 0.2 or less would put them in the next cell; the quarter unit is
// also where the route levelling (5 units across the road) reaches its
// largest square of 20 cells. Above 100 units the area would stretch beyond
// 18000 units from its centre, where float positions lose the millimetres the
// physics needs.
#define LANDSCAPE_MIN_CELL_SIZE    0.25
#define LANDSCAPE_MAX_CELL_SIZE    100.0
#define LANDSCAPE_MAX_HEIGHT_SCALE 1.0e6

// Reads "LandscapeData.obj" from an open handle (label line of at most 25
// characters, then the value line, five times). Returns 1 when the values fit
// the landscape: a grid of 1..360, 1..32 parts per side whose product with
// the cells per part is the grid, a cell size in the range above and a
// positive height scale up to LANDSCAPE_MAX_HEIGHT_SCALE; 0 otherwise. Each
// value is checked as read, before any conversion.
int ReadLandscapeData(int handle, LandscapeData* data);

// Reads the first `bytes` bytes of a World-pack file into `out`. 0 when it is
// missing, shorter than that (logged) or the read falls short.
int ReadSizedFile(const char* name, void* out, long long bytes);

class CLandscape
{
public:
    CLandscape();
    ~CLandscape();

    // Constructor state: nothing loaded, texture ids -1, materials set.
    void Reset();
    // Terrain diffuse by the glow setting as it is now: (1, 1, 1, 1) with
    // glow, (2, 2, 2, 1) without. Every area load applies it.
    void ApplyGlowToTerrain();

    // The three shared surfaces, once at start-up. Returns 1.
    int LoadSurfaces();
    // Loads area `area` (0..2) in season `season` (0..2), or only refreshes
    // time of day, season textures, race path and movable objects when that
    // area is already loaded. Returns 1, or 0 with the area freed.
    int LoadArea(int area, int season);
    int LoadHeightMap();
    // "RoutePower.dat" (rows of 360 bytes) into routePowerMap; 0 with the
    // message when it is missing or shorter than the grid.
    int LoadRoutePowerMap();
    void LoadTextures(int area, int season);
    void LoadRouteMap(int area);
    void FreeArea();
    void Release();
    void ReleaseBuffers();
    void ReleaseTextures();
    void FreeRoute();
    void FreeLandParts();

    // Terrain mesh and land parts.
    void CreateMesh();
    static void CalcTerrainNormals(TerrainVertex* vertices, const uint32_t* indices, int vertexCount, int indexCount);
    void CreateLandParts();

    // Per frame while the world runs: builds the terrain body on the first
    // call after an area load.
    void Update();
    // The terrain body (a heightfield whose user pointer is g_Landscape),
    // added to the game's dynamics world when there is one. Only for a loaded
    // area; nothing when the body exists.
    void CreatePhysics();

    // Ground queries at the world point (x, z); y is ignored.
    float GetCellHeight(const float position[3]) const;
    float GetHeight(const float position[3]) const;
    float GetRoutePower(const float position[3]) const;
    // Colour of the cell; white while the season's colour file is missing.
    void GetColor(float colour[4], const float position[3]) const;
    // Closest hit of the segment on the terrain body alone.
    int RayTest(const float from[3], const float to[3], float hit[3]) const;
    // Grid cell of a world point (row 0 at z = size / 2), clamped to the grid.
    void CellOf(float x, float z, int* row, int* col) const;

    // Visibility of the parts for the active and the shadow camera; nothing
    // in the reflection pass.
    void UpdateVisibility();
    // Exchange sort of the part table by distance, nearest first, from the
    // eye of this frame.
    void SortLandParts();
    // Hides the visible parts whose grown boxes lie wholly inside the current
    // occluder; the caller passes its box test.
    void CheckOcclusion(int (*isBoxOccluded)(const float points[8][3]));
    // The terrain of the visible parts, nearest first: main pass with detail
    // and shadow map, reflection pass at the coarsest level; then the route
    // display when it is on.
    void Draw();
    // Debug display of the route near the eye (g_ShowRoute).
    void DrawRoute();
    // The terrain into the shadow map: parts both visible and in the shadow
    // camera, at the middle level of detail.
    void DrawShadow();
    // The water pass of the main frame: near parts their water cells, far
    // parts a flat grid, with the reflection and the waves.
    void DrawWater();
    // Where the visible parts' water falls on the screen of the camera with
    // this view-projection, as texture coordinates of a picture over the
    // whole screen (0..1, v down): bounds = u0, v0, u1, v1, clipped to the
    // screen. Only what lies before the near plane counts. 0 when no water is
    // on the screen.
    int WaterScreenBounds(const D3DXMATRIX& viewProj, float bounds[4]) const;
    // The start gate on route point 0 and the barriers traced from
    // "FencesMap.dat", as placed objects.
    void CreateRoadFences();
    // Reads "WayPointsMap.dat" and "RoutePower.dat", traces, smooths and
    // halves the route and levels the ground under it; the road cache is
    // read or built from the full route on the way. Returns 1, or 0 with its
    // message and an empty route.
    int CreateRoute();
    // The trace, smoothing and levelling of CreateRoute on a way-point map in
    // memory (gridSize squared bytes) and the route power map as loaded:
    // the full route, not yet halved. Returns 1, or 0 with its message.
    int ShapeRoute(const unsigned char* wayPoints);
    // Reads "RoadData.dat" (World pack) and keeps it when it is whole and was
    // built from this area's maps; otherwise builds both road passes from the
    // full route, writes the file and keeps what was built.
    void CreateRoadData();
    // The grid and ground as the road builder sees them.
    RoadGround RoadGroundOf() const;
    // Identity of the road the current route and ground give.
    uint64_t RoadIdentity() const;
    // Hands each land part its road and mark pieces from the kept cache,
    // then lets the cache go.
    void LoadRoadPieces();
    // The road and its marks on the visible parts (main pass only).
    void DrawRoadSurface();
    // The race path of the current race-table row from the route.
    void CreateRacePath();

    char areaPath[256];
    float size;
    int gridSize;
    int partCells;
    int partsPerSide;
    float cellSize;
    float heightScale;
    float waterAltitude;
    int partCount;
    int visibleParts;
    int visibleWaterParts;
    float partRadius;
    IDirect3DVertexBuffer9* terrainVB;
    int terrainVertexCount;
    float sortEye[3];
    CLandPart* parts[LANDSCAPE_MAX_PARTS];
    float heights[LANDSCAPE_MAX_GRID][LANDSCAPE_MAX_GRID];
    unsigned char routePowerMap[LANDSCAPE_MAX_GRID][LANDSCAPE_MAX_GRID];
    float (*routePos)[3];
    int* routeType;
    float* routePower;
    int routeCount;
    unsigned char placeMap[LANDSCAPE_MAX_GRID * LANDSCAPE_MAX_GRID];
    TextureId landscapeTexture;
    TextureId detailMapTexture;
    TextureId roadTexture1;
    TextureId roadTexture2;
    TextureId roadAlphaTexture;
    TextureId roadSectoringTexture;
    TextureId waterNoiseTexture;
    TextureId routeMapTexture;
    unsigned char* colors;
    D3DMATERIAL9 terrainMaterial;
    D3DMATERIAL9 waterMaterial;
    D3DMATERIAL9 roadMaterial;
    D3DMATERIAL9 markMaterial;
    int loadedArea;
    int loadedSeason;
    btHeightfieldTerrainShape* heightShape;
    btRigidBody* heightBody;
    IDirect3DIndexBuffer9* lodIndices[3];
    int lodTriangles[3];
    IDirect3DIndexBuffer9* waterGridIndices;
    int waterGridVertexCount;
    int waterGridTriangles;

    // The samples handed to the terrain shape (rows reversed), owned here.
    float* heightSamples;

    // The checked road cache between CreateRoadData and CreateLandParts.
    unsigned char* roadCache;
    long long roadCacheSize;
    uint64_t roadCacheIdentity;
    // 1 when the last CreateRoadData had to build the road.
    int roadCacheBuilt;

private:
    // A failed load: the area freed and no size left for the queries. Returns 0.
    int FailArea();
};

extern CLandscape g_Landscape;
