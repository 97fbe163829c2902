#pragma once
// The three demo race areas ("Data/Landscape/Area01" to "Area03"): height
// grid, route, road power, fences, nature place map, season colours and the
// area textures. Everything is procedural and seeded per area, so two runs
// give byte-identical files.
#include <cstdint>
#include <string>
#include <vector>

class DataTree;

// Grid layout shared by every demo area. The terrain body and all grid arrays
// of the landscape are 360 x 360, so the grid is always that size.
constexpr int kAreaCount = 3;
constexpr int kAreaGridSize = 360;
constexpr int kAreaPartsPerSide = 20;
constexpr int kAreaPartCells = 18;
constexpr float kAreaCellSize = 2.0f;
constexpr float kAreaHeightScale = 60.0f;
// The water surface lies at this fraction of the height scale.
constexpr float kAreaWaterFraction = 0.09f;
// "RoutePower.dat" rows are always 360 bytes long, whatever the grid.
constexpr int kRoutePowerRowBytes = 360;

// Way-point map codes.
constexpr uint8_t kWayPointRoute = 100;    // an ordinary route cell
constexpr uint8_t kWayPointSecond = 253;   // the cell after the start: driving direction
constexpr uint8_t kWayPointStart = 254;

// Fence map code of the one barrier chain (a fence run).
constexpr uint8_t kFenceCode = 1;

constexpr int kSeasonCount = 3;   // summer, autumn, winter

// Route cells either side of the start line that lie level (the grid of
// fourteen and its run-up need 34), and the cells over which the road's own
// rise and fall come back beyond them.
constexpr int kStartLevel = 38;
constexpr int kStartBlend = 80;

// The crest to jump from, in world units: its height, the length of the
// ramp on either side, the level top between them and the rounding of each
// edge (half its length).
constexpr float kJumpHeight = 3.5f;
constexpr float kJumpRamp = 44.0f;
constexpr float kJumpTop = 12.0f;
constexpr float kJumpRound = 5.0f;

// One generated area, before it is turned into files.
struct AreaData
{
    int number = 0;       // 1..3
    std::string folder;   // "Data/Landscape/Area01"
    int gridSize = kAreaGridSize;

    std::vector<uint8_t> heightMap;              // N x N, row-major
    std::vector<uint8_t> wayPoints;              // N x N
    std::vector<uint8_t> routePower;             // N x 360
    std::vector<uint8_t> fences;                 // N x N
    std::vector<uint8_t> placeMap;               // N x N
    std::vector<uint8_t> colors[kSeasonCount];   // N x N x 3 (R, G, B)

    // The route loop in driving order as cell indices (row x N + col),
    // starting with the start cell; the last cell touches the first.
    std::vector<int> route;
    // Centre cell and radius (in cells) of the pond below the water line.
    int pondRow = 0, pondCol = 0, pondRadius = 0;
    // Index in `route` of the middle of the top of the crest the riders jump
    // from (kJumpTop long, with a ramp of kJumpRamp either side).
    int jumpIndex = -1;

    // The buildings and props beside the road, in list order.
    struct Placed
    {
        std::string description;
        float position[3];
        float target[3];
        int building = 0;   // 1: a building, which hides what lies behind it
    };
    std::vector<Placed> objects;
};

// Builds area `number` (1..3). Pure and deterministic.
AreaData GenerateArea(int number);

// Height of a height-map byte in world units.
inline float AreaByteHeight(uint8_t b)
{
    return b * (1.0f / 255.0f) * kAreaHeightScale;
}
inline float AreaWaterAltitude()
{
    return kAreaHeightScale * kAreaWaterFraction;
}

// Text of "LandscapeData.obj": five label lines each followed by its value.
std::string AreaLandscapeDataText();
// Places the demo buildings and props beside the road of a generated area
// (AreaGenObjects.cpp) and clears the nature place map under them.
void PlaceAreaObjects(AreaData& area);
// Text of "StaticObjects.obj": the placed-object list of the area.
std::string AreaStaticObjectsText(const AreaData& area);

// One file of the area folder (or of the shared landscape folder)
// with its game path.
struct AreaFile
{
    std::string path;
    std::vector<uint8_t> bytes;
};

// Every file of area `number`: grids, description texts and per-area
// textures (".bmp" names also as ".jpg", for the texture cache's switch).
std::vector<AreaFile> AreaFiles(const AreaData& area);
// The pictures shared by all areas: road surfaces, water noise, detail map
// and road sectoring.
std::vector<AreaFile> SharedLandscapeFiles();

// "RoadData.dat" of the area as the game builds it (GenRoadData.cpp): the
// route shaped and the road built by the landscape's own code. Empty when the
// route cannot be traced.
std::vector<uint8_t> BuildAreaRoadData(const AreaData& area);
// The barrier chains beside the road (GenRoadFences.cpp): the area's fence
// map with tyre walls, tyre stacks, bollards, barrels and a banner fence
// added at its corners and along the start straight.
std::vector<uint8_t> AreaFenceMap(const AreaData& area);

// The generator module: adds all of the above to `tree`.
void AddAreaFiles(DataTree& tree);
