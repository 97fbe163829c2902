#pragma once
// The road surface and its painted marks, built from the full route on plain
// arrays: cross-sections, triangles, vertex normals, the cut into one piece
// per land part, and the "RoadData.dat" cache that holds those pieces. The
// landscape calls these at area load; the demo-data generator calls the same
// code, so the cache it ships is the one the game would build.
//
// "RoadData.dat" (little-endian): pass 1 (road), then pass 2 (marks), each a
// record per land part, row-major: i32 vertex count V, i32 index count I,
// then, when V is not 0, V x 44-byte RoadVertex and I x u16 indices. After
// pass 2 an identity trailer (the four bytes "RDID" and a 64-bit hash of the
// grid, the ground and the route the cache was built from) lets a load tell a
// cache of older maps from a current one.
#include <cstddef>
#include <cstdint>
#include <vector>

// Position, normal, diffuse, two coordinate sets.
#define ROAD_FVF 0x252

struct RoadVertex
{
    float x, y, z;
    float nx, ny, nz;
    uint32_t diffuse;   // ARGB: red, green, blue 255, alpha the fade
    float u0, v0;       // road or mark texture
    float u1, v1;       // area-wide coordinates (road only)
};
static_assert(sizeof(RoadVertex) == 44, "RoadVertex is 44 bytes");

// The grid the road lies on and the ground under it.
struct RoadGround
{
    int gridSize;
    int partsPerSide;
    int partCells;
    float cellSize;
    float size;   // gridSize x cellSize
    float (*height)(const void* user, float x, float z);
    const void* user;
};

// Width factor of the road at a point of power q: 7 .. about 9.6.
float RoadWidth(float power);
// Alpha byte of the marks at power q: transparent at 40 or below, opaque at 100
// and above.
uint32_t RoadMarkAlpha(float power);
// Alpha factor of one inner road vertex: 1 above power 50 without drawing a
// random number, otherwise from one or two GameRand draws (0.5 .. 1).
float RoadInnerFade(float power);

// Pass 1: M + 1 cross-sections of five vertices over a route of M points
// (nothing for fewer than two points) and the 24 indices between each pair.
void BuildRoadSections(const RoadGround& ground, const float (*pos)[3], const float* power, int count,
                       std::vector<RoadVertex>* vertices, std::vector<uint32_t>* indices);
// Pass 2: six vertices per mark section on route points 1 .. M - 3, both edge
// lines on every pair of sections and the centre dash on every second pair.
void BuildRoadMarks(const RoadGround& ground, const float (*pos)[3], const float* power, int count,
                    std::vector<RoadVertex>* vertices, std::vector<uint32_t>* indices);
// Vertex normals: the mean of the unit normals of the triangles at a vertex,
// (R - P) x (Q - P) for the triangle (P, Q, R), as the terrain's.
void CalcRoadNormals(RoadVertex* vertices, const uint32_t* indices, int vertexCount, int indexCount);

// One land part's piece of a pass.
struct RoadBucket
{
    std::vector<RoadVertex> vertices;
    std::vector<uint16_t> indices;
};

// Most vertices of one piece: its indices are 16-bit.
#define ROAD_BUCKET_MAX_VERTICES 65535

// Appends triangle indices[first .. first + 2] to the bucket, sharing a
// vertex already there with equal road coordinates and a position within 0.1
// (the first triangle copies its three corners). Returns 0, with the bucket
// unchanged, when the piece would outgrow its 16-bit indices.
int AddRoadTriangle(RoadBucket* bucket, const RoadVertex* vertices, const uint32_t* indices, int first);
// The part (row x partsPerSide + col) holding the triangle's centroid, or -1
// when the centroid lies outside the grid or is not finite.
int RoadTrianglePart(const RoadGround& ground, const RoadVertex* vertices, const uint32_t* indices, int first);
// Every triangle into the bucket of its part, in list order;
// `buckets` gets partsPerSide squared entries.
void BucketRoad(const RoadGround& ground, const std::vector<RoadVertex>& vertices, const std::vector<uint32_t>& indices,
                std::vector<RoadBucket>* buckets);

// Hash of what the road is built from: the grid values, the ground heights of
// the grid (gridSize x gridSize, row stride `heightStride`) and the route.
uint64_t RoadCacheIdentity(const RoadGround& ground, const float* heights, int heightStride, const float (*pos)[3],
                           const float* power, int count);

// Both passes of the route as "RoadData.dat" bytes with the identity trailer.
std::vector<uint8_t> BuildRoadCache(const RoadGround& ground, const float (*pos)[3], const float* power, int count,
                                    uint64_t identity);

// One part's record in a checked cache: pointers into the cache's bytes.
struct RoadPieceView
{
    int vertexCount;
    int indexCount;
    const uint8_t* vertices;   // vertexCount x 44 bytes, unaligned
    const uint8_t* indices;    // indexCount x 2 bytes, unaligned
};

enum RoadCacheResult
{
    ROAD_CACHE_OK = 0,
    ROAD_CACHE_TRUNCATED,     // a count or an array reaches past the end
    ROAD_CACHE_BAD_COUNT,     // a negative or impossible count
    ROAD_CACHE_BAD_INDEX,     // an index at or past its record's vertices
    ROAD_CACHE_BAD_VALUE,     // a position, normal or coordinate not finite
    ROAD_CACHE_NO_IDENTITY,   // no trailer, or bytes after it
    ROAD_CACHE_STALE,         // built from other maps
};

// Checks a whole cache of `partCount` parts per pass before anything is made
// from it: every count, index and float, the trailer and the identity. On
// ROAD_CACHE_OK `pieces` holds 2 x partCount views (pass 1, then pass 2).
int ParseRoadCache(const uint8_t* data, size_t size, int partCount, uint64_t identity,
                   std::vector<RoadPieceView>* pieces);
